// The grid's geometry: its counts, the extents of its columns and rows, and
// the layout of its cells in the client area.

#include "TCustomGrid.h"

#include "GridInternals.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

using namespace gridinternals;

namespace {

// An extent array reaches this many entries only in a grid too large to
// lay out.
constexpr std::int32_t kMaxExtents = 0x7FFFFFE;

// Resizes `extents` to `count` entries, new ones `value`.
void UpdateExtents(std::optional<std::vector<std::int32_t>>& extents, std::int32_t count,
                   std::int32_t value) {
    if (count >= kMaxExtents) {
        throw ResourceError<EInvalidGridOperation>(SGridTooLarge);
    }
    if (!extents) {
        extents.emplace();
    }
    extents->resize(static_cast<std::size_t>(count), value);
}

} // namespace

void TCustomGrid::ResetPosition() {
    topLeft_ = {fixedCols_, fixedRows_};
    current_ = topLeft_;
    anchor_ = current_;
    if (HasOption(options_, goRowSelect)) {
        anchor_.X = colCount_ - 1;
    }
}

void TCustomGrid::SetColCount(std::int32_t value) {
    if (value == colCount_) {
        return;
    }
    value = std::max(value, 1);
    if (fixedCols_ >= value) {
        SetFixedCols(value - 1);
    }
    ChangeSize(value, rowCount_);
    if (HasOption(options_, goRowSelect)) {
        anchor_.X = colCount_ - 1;
        Invalidate();
    }
}

void TCustomGrid::SetRowCount(std::int32_t value) {
    if (value == rowCount_) {
        return;
    }
    value = std::max(value, 1);
    if (fixedRows_ >= value) {
        SetFixedRows(value - 1);
    }
    ChangeSize(colCount_, value);
}

void TCustomGrid::SetFixedCols(std::int32_t value) {
    if (value == fixedCols_) {
        return;
    }
    if (value < 0) {
        RaiseIndexOutOfRange();
    }
    if (value >= colCount_) {
        throw ResourceError<EInvalidGridOperation>(SFixedColTooBig);
    }
    fixedCols_ = value;
    ResetPosition();
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(std::int32_t value) {
    if (value == fixedRows_) {
        return;
    }
    if (value < 0) {
        RaiseIndexOutOfRange();
    }
    if (value >= rowCount_) {
        throw ResourceError<EInvalidGridOperation>(SFixedRowTooBig);
    }
    fixedRows_ = value;
    ResetPosition();
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::ChangeSize(std::int32_t newColCount, std::int32_t newRowCount) {
    std::optional<TGridLayout> oldLayout;
    if (HasWindow()) {
        oldLayout = CalcLayout();
    }
    const std::int32_t oldColCount = colCount_;
    const std::int32_t oldRowCount = rowCount_;
    colCount_ = newColCount;
    rowCount_ = newRowCount;
    if (fixedCols_ >= colCount_) {
        fixedCols_ = colCount_ - 1;
    }
    if (fixedRows_ >= rowCount_) {
        fixedRows_ = rowCount_ - 1;
    }
    try {
        UpdateAfterResize();
    } catch (...) {
        colCount_ = oldColCount;
        rowCount_ = oldRowCount;
        UpdateAfterResize();
        Invalidate();
        throw;
    }
    if (colCount_ != 1) {
        DropColOffset();
    }
    if (oldLayout && HasWindow()) {
        InvalidateResizedArea(*oldLayout);
    }
    UpdateScrollRange();
    SizeChanged(oldColCount, oldRowCount);
}

void TCustomGrid::UpdateAfterResize() {
    if (colWidths_) {
        UpdateExtents(colWidths_, colCount_, defaultColWidth_);
    }
    if (rowHeights_) {
        UpdateExtents(rowHeights_, rowCount_, defaultRowHeight_);
    }
    ExtentsChanged();
    TCellCoord clamped = current_;
    if (clamped.Y >= rowCount_) {
        clamped.Y = rowCount_ - 1;
    }
    if (clamped.X >= colCount_) {
        clamped.X = colCount_ - 1;
    }
    // Not a choice CanSelectCell may refuse: the old cell is gone. It is
    // shown, as a grid without scroll bars has no other way back to it.
    if (clamped != current_) {
        PlaceCurrentCell(clamped, TAnchorMove::Follows, TReveal::Yes);
    }
    if (anchor_ != clamped) {
        MoveAnchor(clamped);
    }
}

// What a count change uncovers or covers: from the last cell that was and
// still is fully visible to the right and bottom edges.
void TCustomGrid::InvalidateResizedArea(const TGridLayout& oldLayout) {
    if (topLeft_.X != oldLayout.Horz.FirstGridCell || topLeft_.Y != oldLayout.Vert.FirstGridCell) {
        Invalidate();
        return;
    }
    const TGridLayout newLayout = CalcLayout();
    const std::int32_t lastCol =
        std::min(oldLayout.Horz.LastFullVisibleCell, newLayout.Horz.LastFullVisibleCell);
    const std::int32_t lastRow =
        std::min(oldLayout.Vert.LastFullVisibleCell, newLayout.Vert.LastFullVisibleCell);
    const RECT fromCol = CellBounds(lastCol, 0);
    const RECT cols{fromCol.left, fromCol.top, Width(), Height()};
    InvalidateRect(Handle(), &cols, FALSE);
    const RECT fromRow = CellBounds(0, lastRow);
    const RECT rows{fromRow.left, fromRow.top, Width(), Height()};
    InvalidateRect(Handle(), &rows, FALSE);
}

std::int32_t TCustomGrid::ColWidths(std::int32_t col) const {
    if (!colWidths_ || col < 0 || col >= colCount_) {
        return defaultColWidth_;
    }
    return (*colWidths_)[static_cast<std::size_t>(col)];
}

std::int32_t TCustomGrid::RowHeights(std::int32_t row) const {
    if (!rowHeights_ || row < 0 || row >= rowCount_) {
        return defaultRowHeight_;
    }
    return (*rowHeights_)[static_cast<std::size_t>(row)];
}

void TCustomGrid::SetColWidths(std::int32_t col, std::int32_t width) {
    if (!colWidths_) {
        UpdateExtents(colWidths_, colCount_, defaultColWidth_);
    }
    if (col < 0 || col >= colCount_) {
        RaiseIndexOutOfRange();
    }
    std::int32_t& stored = (*colWidths_)[static_cast<std::size_t>(col)];
    if (width != stored) {
        InvalidateGrid();
        stored = width;
        ExtentsChanged();
        ColumnWidthsModified();
    }
}

void TCustomGrid::SetRowHeights(std::int32_t row, std::int32_t height) {
    if (!rowHeights_) {
        UpdateExtents(rowHeights_, rowCount_, defaultRowHeight_);
    }
    if (row < 0 || row >= rowCount_) {
        RaiseIndexOutOfRange();
    }
    std::int32_t& stored = (*rowHeights_)[static_cast<std::size_t>(row)];
    if (height != stored) {
        InvalidateGrid();
        stored = height;
        ExtentsChanged();
        RowHeightsModified();
    }
}

void TCustomGrid::ScaleControl(int multiplier, int divider) {
    TCustomControl::ScaleControl(multiplier, divider);
    if (multiplier == divider) {
        return;
    }
    // Rounded down: cells that filled the grid before must still fit it, and
    // every column rounded up would add up past the grid's scaled edge (at
    // 100 pixels per inch, twelve columns of 32 gain four pixels too many).
    auto scaled = [=](std::int32_t size) {
        return static_cast<std::int32_t>(std::int64_t{size} * multiplier / divider);
    };
    // Setting a default drops the sizes set one by one: keep them first.
    std::vector<std::int32_t> widths;
    std::vector<std::int32_t> heights;
    for (std::int32_t col = 0; HasColWidths() && col < colCount_; ++col) {
        widths.push_back(ColWidths(col));
    }
    for (std::int32_t row = 0; HasRowHeights() && row < rowCount_; ++row) {
        heights.push_back(RowHeights(row));
    }
    SetDefaultColWidth(scaled(defaultColWidth_));
    SetDefaultRowHeight(scaled(defaultRowHeight_));
    for (std::size_t col = 0; col < widths.size(); ++col) {
        SetColWidths(static_cast<std::int32_t>(col), scaled(widths[col]));
    }
    for (std::size_t row = 0; row < heights.size(); ++row) {
        SetRowHeights(static_cast<std::int32_t>(row), scaled(heights[row]));
    }
}

void TCustomGrid::SetDefaultColWidth(std::int32_t value) {
    colWidths_.reset();
    defaultColWidth_ = value;
    ExtentsChanged();
    ColumnWidthsModified();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(std::int32_t value) {
    rowHeights_.reset();
    defaultRowHeight_ = value;
    ExtentsChanged();
    RowHeightsModified();
    InvalidateGrid();
}

std::int32_t TCustomGrid::LineWidthFor(TGridOption fixedLines, TGridOption lines) const {
    return HasOption(options_, fixedLines) || HasOption(options_, lines) ? gridLineWidth_ : 0;
}

TCustomGrid::TLayoutInputs TCustomGrid::LayoutInputsFor(std::int32_t width,
                                                        std::int32_t height) const {
    return {LineWidthFor(goFixedVertLine, goVertLine),
            LineWidthFor(goFixedHorzLine, goHorzLine),
            fixedCols_,
            fixedRows_,
            topLeft_,
            colCount_,
            rowCount_,
            width,
            height,
            extentChanges_};
}

TGridLayout TCustomGrid::LayoutFrom(const TLayoutInputs& inputs) const {
    TGridLayout layout;
    layout.Horz =
        CalcAxisLayout({inputs.colLineWidth, inputs.fixedCols, inputs.topLeft.X, inputs.colCount,
                        inputs.width, [this](std::int32_t col) { return ColWidths(col); }});
    layout.Vert =
        CalcAxisLayout({inputs.rowLineWidth, inputs.fixedRows, inputs.topLeft.Y, inputs.rowCount,
                        inputs.height, [this](std::int32_t row) { return RowHeights(row); }});
    return layout;
}

TGridLayout TCustomGrid::CalcLayoutFor(std::int32_t width, std::int32_t height) const {
    return LayoutFrom(LayoutInputsFor(width, height));
}

// Every cell write asks for the layout to find its cell: comparing the
// inputs costs far less than walking the cells again.
const TGridLayout& TCustomGrid::CalcLayout() {
    const RECT client = ClientRect();
    const TLayoutInputs inputs = LayoutInputsFor(client.right, client.bottom);
    if (!keptLayout_ || !(inputs == keptInputs_)) {
        keptLayout_ = LayoutFrom(inputs);
        keptInputs_ = inputs;
    }
    return *keptLayout_;
}

std::int32_t TCustomGrid::VisibleColCount() {
    return CalcLayout().Horz.LastFullVisibleCell - topLeft_.X + 1;
}

std::int32_t TCustomGrid::VisibleRowCount() {
    return CalcLayout().Vert.LastFullVisibleCell - topLeft_.Y + 1;
}

RECT TCustomGrid::RangeBounds(const TCellRange& range, TGridLines lines) {
    return velbrin::RangeBounds(CalcLayout(), range, lines);
}

RECT TCustomGrid::CellBounds(std::int32_t col, std::int32_t row) {
    return RangeBounds({col, row, col, row}, TGridLines::Excluded);
}

TCellCoord TCustomGrid::CellAtPoint(std::int32_t x, std::int32_t y) {
    return velbrin::CellAtPoint(CalcLayout(), x, y);
}

void TCustomGrid::InvalidateCell(std::int32_t col, std::int32_t row) {
    InvalidateSelection({col, row, col, row});
}

// A chart writes a cell at a time into a grid whose whole client area
// waits for its repaint: such a write adds nothing to what is repainted.
void TCustomGrid::InvalidateSelection(const TCellRange& selection) {
    if (!HasWindow() || WholeClientAwaitsPaint()) {
        return;
    }
    const RECT rect = RangeBounds(selection, TGridLines::Included);
    InvalidateRect(Handle(), &rect, FALSE);
}

void TCustomGrid::CMInvalidate(TMessage& message) {
    Inherited(message);
    if (message.WParam == 0 && HasWindow()) {
        wholeClientInvalidated_ = true;
    }
}

// The paint validates the client area; what it draws may invalidate cells
// again.
void TCustomGrid::WMPaint(TMessage& message) {
    wholeClientInvalidated_ = false;
    Inherited(message);
}

// Known cheaply in the common case; the update region itself is read only
// while the whole area was invalidated, as anything may have validated a
// part of it since.
bool TCustomGrid::WholeClientAwaitsPaint() {
    if (!wholeClientInvalidated_) {
        return false;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (updateProbe_ == nullptr) {
        updateProbe_ = CreateRectRgn(0, 0, 0, 0);
    }
    RECT box{};
    const bool whole = GetUpdateRgn(Handle(), updateProbe_, FALSE) == SIMPLEREGION &&
                       GetRgnBox(updateProbe_, &box) != 0 && box.left == client.left &&
                       box.top == client.top && box.right == client.right &&
                       box.bottom == client.bottom;
    wholeClientInvalidated_ = whole;
    return whole;
}

} // namespace velbrin
