#pragma once
// The grid that publishes its properties and events: the cell contents are
// the business of its OnDrawCell handler, the moves and edits of the user
// are told through its events.

#include "TCustomGrid.h"

namespace velbrin {

class TDrawGrid : public TCustomGrid {
    VELBRIN_CLASS(TDrawGrid, TCustomGrid)

public:
    explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}

    TMovedEvent OnColumnMoved;
    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TMovedEvent OnRowMoved;
    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

protected:
    // Raise OnColumnMoved, OnRowMoved and OnSelectCell.
    void ColumnMoved(std::int32_t fromIndex, std::int32_t toIndex) override;
    void RowMoved(std::int32_t fromIndex, std::int32_t toIndex) override;
    // Raises OnDrawCell; without a handler the cell keeps its background.
    void PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                   TGridDrawState state) override;
    bool CanSelectCell(std::int32_t col, std::int32_t row) override;
    // Ask OnGetEditText for the editor's text and tell OnSetEditText what
    // it stored.
    std::string EditTextFor(std::int32_t col, std::int32_t row) override;
    void StoreEditText(std::int32_t col, std::int32_t row, const std::string& text) override;
    // Asks OnGetEditMask for the editor's mask.
    std::string EditMaskFor(std::int32_t col, std::int32_t row) override;
    // Raises OnTopLeftChanged.
    void ScrollOriginChanged() override;
};

} // namespace velbrin
