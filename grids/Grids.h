#pragma once
// What the grid classes share: the options, the scroll-bar and border
// styles, cell coordinates and ranges, the draw state of a cell and the
// grid's events.

#include "core/Events.h"
#include "core/TypeInfo.h"
#include "forms/TForm.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace velbrin {

enum TGridOption : std::uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
// A set of TGridOption, bit n for element n.
enum TGridOptions : std::uint16_t {};
inline constexpr TGridOptions GridOptionBit(TGridOption option) {
    return static_cast<TGridOptions>(1u << option);
}
inline constexpr bool HasOption(TGridOptions options, TGridOption option) {
    return (options & (1u << option)) != 0;
}
inline constexpr TGridOptions operator|(TGridOptions a, TGridOptions b) {
    return static_cast<TGridOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
inline constexpr TGridOptions WithoutOption(TGridOptions options, TGridOption option) {
    return static_cast<TGridOptions>(options & ~(1u << option));
}
// The bits that name an option.
inline constexpr unsigned kGridOptionMask = (1u << (goThumbTracking + 1)) - 1;
inline constexpr TGridOptions kDefaultGridOptions =
    GridOptionBit(goFixedVertLine) | GridOptionBit(goFixedHorzLine) | GridOptionBit(goVertLine) |
    GridOptionBit(goHorzLine) | GridOptionBit(goRangeSelect);

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// A grid has a single border or none: the first two form border styles.
using TBorderStyle = TFormBorderStyle;

const TypeInfo& TypeInfoOf(TGridOption*);
const TypeInfo& TypeInfoOf(TGridOptions*);
const TypeInfo& TypeInfoOf(TScrollStyle*);
// "TBorderStyle": bsNone and bsSingle.
const TypeInfo& BorderStyleType();

// A cell: X is the column, Y the row.
struct TCellCoord {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TCellCoord&, const TCellCoord&) = default;
};

// Cells from (Left, Top) to (Right, Bottom), both corners included.
struct TCellRange {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TCellRange&, const TCellRange&) = default;
};

// The range between two cells, whichever corners they are.
inline TCellRange NormalizedRange(TCellCoord a, TCellCoord b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

// How a cell is to be drawn: a set of these bits.
using TGridDrawState = std::uint8_t;
inline constexpr TGridDrawState gdsSelected = 1 << 0;
inline constexpr TGridDrawState gdsFocused = 1 << 1;
inline constexpr TGridDrawState gdsFixed = 1 << 2;

// Sender, column, row, the cell's rectangle without its lines, its state.
using TDrawCellEvent = TEvent<TObject*, std::int32_t, std::int32_t, const RECT&, TGridDrawState>;
// Sender, column, row, and whether the cell may become current.
using TSelectCellEvent = TEvent<TObject*, std::int32_t, std::int32_t, bool&>;
// Sender, the index a column or row came from, the index it went to.
using TMovedEvent = TEvent<TObject*, std::int32_t, std::int32_t>;
// Sender, column, row, and the text (or edit mask) the handler may change.
using TGetEditEvent = TEvent<TObject*, std::int32_t, std::int32_t, std::string&>;
// Sender, column, row, and the text the in-place editor stored.
using TSetEditEvent = TEvent<TObject*, std::int32_t, std::int32_t, const std::string&>;

} // namespace velbrin
