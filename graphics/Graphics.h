#pragma once
// Colours, charsets and the attribute types of fonts, pens and brushes; their
// identifier tables; the key records that decide which Windows object a font,
// pen or brush stands for; and the process-wide values set at graphics
// start-up.

#include "core/TypeInfo.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace velbrin {

// 0 or more: 0x00BBGGRR. Top bit set: system colour number (low byte).
using TColor = std::int32_t;
// 0 to 255, as LOGFONT's lfCharSet.
using TFontCharset = std::uint8_t;

inline constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SystemColor(COLOR_MENU);
inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
inline constexpr TColor clNone = 0x1FFFFFFF;

// The RGB value a colour stands for now: system colours are looked up each
// time, so they follow the current scheme; every other value passes through.
COLORREF ResolveColor(TColor color);

// The colour and charset identifier tables. Colour names are compared under
// the user's locale, charset names by ASCII letter case only.
bool ColorToName(TColor color, std::string& name);
bool NameToColor(std::string_view name, TColor& color);
bool CharsetToName(TFontCharset charset, std::string& name);
bool NameToCharset(std::string_view name, TFontCharset& charset);

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };
enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// A set of TFontStyle, bit n for element n.
enum TFontStyles : std::uint8_t {};
enum TPenStyle : std::uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};
enum TPenMode : std::uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle : std::uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

template <class... S> constexpr TFontStyles FontStyles(S... styles) {
    return static_cast<TFontStyles>((0u | ... | (1u << styles)));
}
constexpr bool HasStyle(TFontStyles styles, TFontStyle style) {
    return (styles >> style) & 1u;
}
constexpr TFontStyles operator|(TFontStyles a, TFontStyles b) {
    return static_cast<TFontStyles>(static_cast<unsigned>(a) | b);
}

// The Windows binary raster operation (R2_ code) of a pen mode.
int PenModeRop2(TPenMode mode);

// Type information of the graphics types, for class tables and the reader.
const TypeInfo& ColorType();
const TypeInfo& CharsetType();
const TypeInfo& FontNameType();
const TypeInfo& TypeInfoOf(TFontPitch*);
const TypeInfo& TypeInfoOf(TFontStyle*);
const TypeInfo& TypeInfoOf(TFontStyles*);
const TypeInfo& TypeInfoOf(TPenStyle*);
const TypeInfo& TypeInfoOf(TPenMode*);
const TypeInfo& TypeInfoOf(TBrushStyle*);

// The key records. The resource manager hashes and compares them byte by
// byte, so every byte is a field and unset bytes are zero: always start from
// a value-initialized record or a copy of one. Each starts with the handle
// given explicitly (0 when none); the face name is a length byte and up to 31
// bytes of name, zero-filled.
inline constexpr std::size_t MaxFontNameLength = 31;

struct TFontResData {
    HGDIOBJ Handle = nullptr;
    std::int32_t Height = 0;
    TFontPitch Pitch = fpDefault;
    TFontStyles Style{};
    TFontCharset Charset = 0;
    std::uint8_t NameLength = 0;
    char Name[MaxFontNameLength] = {};
    std::uint8_t Reserved = 0;

    std::string FaceName() const { return std::string(Name, NameLength); }
    // Clears the name field and stores `name` cut to 31 bytes.
    void SetFaceName(std::string_view name);
};

struct TPenResData {
    HGDIOBJ Handle = nullptr;
    TColor Color = clBlack;
    std::int32_t Width = 1;
    TPenStyle Style = psSolid;
    std::uint8_t Reserved[7] = {};
};

struct TBrushResData {
    HGDIOBJ Handle = nullptr;
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    std::uint8_t Reserved[3] = {};
    // The pattern-bitmap slot; nothing sets it.
    HGDIOBJ Bitmap = nullptr;
};

static_assert(std::has_unique_object_representations_v<TFontResData>);
static_assert(std::has_unique_object_representations_v<TPenResData>);
static_assert(std::has_unique_object_representations_v<TBrushResData>);

// The 16-bit hash of a key: rotate left by 5, XOR the next byte into the low
// byte.
std::uint16_t DataHash(const void* data, std::size_t size);

// The values set at graphics start-up, which runs once, on first use of any
// of them (and before any form is read, since every font reaches it).
struct GraphicsDefaults {
    int screenPixelsPerInch = 96;
    HPEN stockBlackPen = nullptr;
    HBRUSH stockHollowBrush = nullptr;
    HFONT stockSystemFont = nullptr;
    HICON defaultApplicationIcon = nullptr;
    TFontResData defaultFont;
    TPenResData defaultPen;
    TBrushResData defaultBrush;
};
const GraphicsDefaults& Graphics();
// Runs graphics start-up again, for a test that starts the platform afresh.
// No font, pen or brush may be alive.
void RestartGraphicsForTesting();

// The default font key for a screen: 8-point "MS Sans Serif" with the default
// charset, or 9-point "ＭＳ Ｐゴシック" with the Shift-JIS charset on a
// double-byte system whose system font is Shift-JIS.
TFontResData DefaultFontFor(bool doubleByteSystem, TFontCharset systemFontCharset,
                            int pixelsPerInch);
// The charset of the stock system font on the screen; DEFAULT_CHARSET when it
// cannot be found out.
TFontCharset QuerySystemFontCharset(HFONT systemFont);

} // namespace velbrin
