#include "TCustomGrid.h"

#include "GridLines.h"
#include "controls/TControlCanvas.h"
#include "core/TFiler.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <climits>

namespace velbrin {

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

[[noreturn]] void RaiseIndexOutOfRange() {
    throw ResourceError<EInvalidGridOperation>(SIndexOutOfRange);
}

[[noreturn]] void RaiseInvalidValue() {
    throw ResourceError<EInvalidGridOperation>(SInvalidPropertyValue);
}

// Windows 4.0 and later draw controls with sunken client edges.
bool NewStyleControls() {
    return (GetVersion() & 0xFF) >= 4;
}

void WriteExtents(TWriter& writer, std::int32_t count,
                  std::int32_t (TCustomGrid::*extent)(std::int32_t) const,
                  const TCustomGrid& grid) {
    writer.WriteListBegin();
    for (std::int32_t i = 0; i < count; ++i) {
        writer.WriteInteger((grid.*extent)(i));
    }
    writer.WriteListEnd();
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TCustomGrid, TCustomControl, "Grids") {
    cls.Handle<CM_CTL3D_CHANGED, &TCustomGrid::CMCtl3DChanged>();
    cls.Handle<WM_SETFOCUS, &TCustomGrid::WMFocusMoved>();
    cls.Handle<WM_KILLFOCUS, &TCustomGrid::WMFocusMoved>();
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    TControlStyle style = csCaptureMouse | csOpaque | csDoubleClicks;
    if (!NewStyleControls()) {
        style |= csFramed;
    }
    SetControlStyle(style);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), colCount_ * defaultColWidth_, rowCount_ * defaultRowHeight_);
    ResetPosition();
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::ColumnMoved(std::int32_t, std::int32_t) {}

void TCustomGrid::RowMoved(std::int32_t, std::int32_t) {}

bool TCustomGrid::CanSelectCell(std::int32_t, std::int32_t) {
    return true;
}

void TCustomGrid::SizeChanged(std::int32_t, std::int32_t) {}

void TCustomGrid::ColumnWidthsModified() {}

void TCustomGrid::RowHeightsModified() {}

// ---------------------------------------------------------------- window

void TCustomGrid::PrepareWindowSpec(TCreateParams& params) {
    TCustomControl::PrepareWindowSpec(params);
    params.Style |= WS_TABSTOP;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        params.Style |= WS_VSCROLL;
    }
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        params.Style |= WS_HSCROLL;
    }
    params.WindowClass.style = CS_DBLCLKS;
    if (borderStyle_ == bsSingle) {
        if (NewStyleControls() && Ctl3D()) {
            params.Style &= ~static_cast<DWORD>(WS_BORDER);
            params.ExStyle |= WS_EX_CLIENTEDGE;
        } else {
            params.Style |= WS_BORDER;
        }
    }
}

// The border depends on the 3-D look.
void TCustomGrid::CMCtl3DChanged(TMessage& message) {
    Inherited(message);
    RebuildWindow();
}

// The selection looks different with the focus and without it.
void TCustomGrid::WMFocusMoved(TMessage& message) {
    Inherited(message);
    InvalidateSelection(Selection());
}

// ---------------------------------------------------------------- counts

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
    if (oldLayout && HasWindow()) {
        InvalidateResizedArea(*oldLayout);
    }
    SizeChanged(oldColCount, oldRowCount);
}

void TCustomGrid::UpdateAfterResize() {
    if (colWidths_) {
        UpdateExtents(colWidths_, colCount_, defaultColWidth_);
    }
    if (rowHeights_) {
        UpdateExtents(rowHeights_, rowCount_, defaultRowHeight_);
    }
    TCellCoord clamped = current_;
    if (clamped.Y >= rowCount_) {
        clamped.Y = rowCount_ - 1;
    }
    if (clamped.X >= colCount_) {
        clamped.X = colCount_ - 1;
    }
    // Not a choice CanSelectCell may refuse: the old cell is gone.
    if (clamped != current_) {
        PlaceCurrentCell(clamped, TAnchorMove::Follows);
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

// ---------------------------------------------------------------- extents

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
        RowHeightsModified();
    }
}

void TCustomGrid::SetDefaultColWidth(std::int32_t value) {
    colWidths_.reset();
    defaultColWidth_ = value;
    ColumnWidthsModified();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(std::int32_t value) {
    rowHeights_.reset();
    defaultRowHeight_ = value;
    RowHeightsModified();
    InvalidateGrid();
}

// ---------------------------------------------------------------- looks

void TCustomGrid::SetGridLineWidth(std::int32_t value) {
    if (value == gridLineWidth_) {
        return;
    }
    gridLineWidth_ = value;
    InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions value) {
    if ((value & ~kGridOptionMask) != 0) {
        RaiseInvalidValue();
    }
    if (value == options_) {
        return;
    }
    if (HasOption(value, goRowSelect)) {
        value = WithoutOption(value, goAlwaysShowEditor);
    }
    options_ = value;
    if (HasOption(options_, goRowSelect)) {
        MoveCurrentCell(current_.X, current_.Y, TAnchorMove::Follows);
    }
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor value) {
    if (value == fixedColor_) {
        return;
    }
    fixedColor_ = value;
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
    if (value > ssBoth) {
        RaiseInvalidValue();
    }
    if (value == scrollBars_) {
        return;
    }
    scrollBars_ = value;
    RebuildWindow();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
    if (value != bsNone && value != bsSingle) {
        RaiseInvalidValue();
    }
    if (value == borderStyle_) {
        return;
    }
    borderStyle_ = value;
    RebuildWindow();
}

// ---------------------------------------------------------------- layout

std::int32_t TCustomGrid::LineWidthFor(TGridOption fixedLines, TGridOption lines) const {
    return HasOption(options_, fixedLines) || HasOption(options_, lines) ? gridLineWidth_ : 0;
}

TGridLayout TCustomGrid::CalcLayoutFor(std::int32_t width, std::int32_t height) const {
    TGridLayout layout;
    layout.Horz =
        CalcAxisLayout({LineWidthFor(goFixedVertLine, goVertLine), fixedCols_, topLeft_.X,
                        colCount_, width, [this](std::int32_t col) { return ColWidths(col); }});
    layout.Vert =
        CalcAxisLayout({LineWidthFor(goFixedHorzLine, goHorzLine), fixedRows_, topLeft_.Y,
                        rowCount_, height, [this](std::int32_t row) { return RowHeights(row); }});
    return layout;
}

TGridLayout TCustomGrid::CalcLayout() {
    return CalcLayoutFor(ClientWidth(), ClientHeight());
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

void TCustomGrid::InvalidateSelection(const TCellRange& selection) {
    if (!HasWindow()) {
        return;
    }
    const RECT rect = RangeBounds(selection, TGridLines::Included);
    InvalidateRect(Handle(), &rect, FALSE);
}

// ---------------------------------------------------------------- current cell

void TCustomGrid::MoveCurrentCell(std::int32_t col, std::int32_t row, TAnchorMove anchor) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) {
        RaiseIndexOutOfRange();
    }
    if (CanSelectCell(col, row)) {
        PlaceCurrentCell({col, row}, anchor);
    }
}

void TCustomGrid::PlaceCurrentCell(TCellCoord cell, TAnchorMove anchor) {
    const TCellRange oldSelection = Selection();
    const TCellCoord oldCurrent = current_;
    current_ = cell;
    if (anchor == TAnchorMove::Follows || !HasOption(options_, goRangeSelect)) {
        anchor_ = current_;
        if (HasOption(options_, goRowSelect)) {
            anchor_.X = colCount_ - 1;
        }
    }
    if (HasOption(options_, goRowSelect)) {
        current_.X = fixedCols_;
    }
    InvalidateSelectionChange(oldSelection);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(cell.X, cell.Y);
}

void TCustomGrid::MoveAnchor(TCellCoord cell) {
    if (!HasOption(options_, goRangeSelect) || HasOption(options_, goEditing)) {
        MoveCurrentCell(cell.X, cell.Y, TAnchorMove::Follows);
        return;
    }
    const TCellRange oldSelection = Selection();
    anchor_ = cell;
    if (HasOption(options_, goRowSelect)) {
        anchor_.X = colCount_ - 1;
    }
    InvalidateSelectionChange(oldSelection);
}

// Both selections are repainted whole: the cells that changed lie in one of
// them.
void TCustomGrid::InvalidateSelectionChange(const TCellRange& oldSelection) {
    const TCellRange newSelection = Selection();
    if (newSelection == oldSelection) {
        return;
    }
    InvalidateSelection(oldSelection);
    InvalidateSelection(newSelection);
}

// ---------------------------------------------------------------- painting

namespace {

constexpr DWORD kGeometricLinePen = PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER;

LONG Clamped(std::int64_t value) {
    return static_cast<LONG>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

bool InRange(const TCellRange& range, TCellCoord cell) {
    return cell.X >= range.Left && cell.X <= range.Right && cell.Y >= range.Top &&
           cell.Y <= range.Bottom;
}

} // namespace

// A part of the client area whose lines are drawn together: which kinds
// show, from which cells on, and in which colour a shown line and a hidden
// one are drawn.
struct TCustomGrid::TLineRegion {
    bool showHorz;
    bool showVert;
    TCellCoord first;
    RECT bounds;
    TColor on;
    TColor off;
};

// A part of the client area whose cells are drawn together.
struct TCustomGrid::TCellRegion {
    TCellCoord first;
    POINT start;
    POINT stop;
    TColor background;
    TGridDrawState baseState;
};

// What one paint works from.
struct TCustomGrid::TPaintPass {
    TGridLayout layout;
    TCellRange selection;
    // The DrawEdge sides of a fixed cell: right and bottom in the shadow
    // colour, then left and top in the light one.
    UINT firstEdges = 0;
    UINT secondEdges = 0;
    // Asked at the first cell drawn, as only that needs the form.
    std::optional<bool> gridIsActive;
};

void TCustomGrid::Paint() {
    TPaintPass pass;
    pass.layout = CalcLayout();
    const TAxisLayout& horz = pass.layout.Horz;
    const TAxisLayout& vert = pass.layout.Vert;
    if (horz.LineWidth > 0 || vert.LineWidth > 0) {
        PaintLines(pass.layout);
    }
    pass.selection = Selection();
    if (HasOption(options_, goFixedVertLine)) {
        pass.firstEdges |= BF_RIGHT;
        pass.secondEdges |= BF_LEFT;
    }
    if (HasOption(options_, goFixedHorzLine)) {
        pass.firstEdges |= BF_BOTTOM;
        pass.secondEdges |= BF_TOP;
    }
    const TCellRegion regions[] = {
        {{0, 0}, {0, 0}, {horz.FixedBoundary, vert.FixedBoundary}, fixedColor_, gdsFixed},
        {{topLeft_.X, 0},
         {horz.FixedBoundary, 0},
         {horz.GridBoundary, vert.FixedBoundary},
         fixedColor_,
         gdsFixed},
        {{0, topLeft_.Y},
         {0, vert.FixedBoundary},
         {horz.FixedBoundary, vert.GridBoundary},
         fixedColor_,
         gdsFixed},
        {topLeft_,
         {horz.FixedBoundary, vert.FixedBoundary},
         {horz.GridBoundary, vert.GridBoundary},
         Color(),
         0},
    };
    for (const TCellRegion& region : regions) {
        PaintCellRegion(pass, region);
    }
    if (!HasState(csDesigning) && HasOption(options_, goRowSelect) && defaultDrawing_ &&
        Focused()) {
        Canvas()->DrawFocusRect(
            velbrin::RangeBounds(pass.layout, pass.selection, TGridLines::Excluded));
    }
    PaintBeyondLastCell(pass.layout);
}

void TCustomGrid::PaintLines(const TGridLayout& layout) {
    const TAxisLayout& horz = layout.Horz;
    const TAxisLayout& vert = layout.Vert;
    // A grid in silver would hide silver lines.
    const TColor lineColor = ResolveColor(Color()) == ResolveColor(clSilver) ? clGray : clSilver;
    const std::int32_t visible = std::max(horz.LastFullVisibleCell - topLeft_.X + fixedCols_,
                                          vert.LastFullVisibleCell - topLeft_.Y + fixedRows_);
    const std::size_t limit = static_cast<std::size_t>(std::max(visible, 0)) + 3;
    const bool fixedHorz = HasOption(options_, goFixedHorzLine);
    const bool fixedVert = HasOption(options_, goFixedVertLine);
    const TLineRegion regions[] = {
        {fixedHorz,
         fixedVert,
         {0, 0},
         {0, 0, horz.FixedBoundary, vert.FixedBoundary},
         clBlack,
         fixedColor_},
        {fixedHorz,
         fixedVert,
         {topLeft_.X, 0},
         {horz.FixedBoundary, 0, horz.GridBoundary, vert.FixedBoundary},
         clBlack,
         fixedColor_},
        {fixedHorz,
         fixedVert,
         {0, topLeft_.Y},
         {0, vert.FixedBoundary, horz.FixedBoundary, vert.GridBoundary},
         clBlack,
         fixedColor_},
        {HasOption(options_, goHorzLine),
         HasOption(options_, goVertLine),
         topLeft_,
         {horz.FixedBoundary, vert.FixedBoundary, horz.GridBoundary, vert.GridBoundary},
         lineColor,
         Color()},
    };
    for (const TLineRegion& region : regions) {
        PaintLineRegion(layout, region, limit);
    }
}

// The kind that shows goes second, so that the hidden kind, drawn in the
// background colour, never covers it.
void TCustomGrid::PaintLineRegion(const TGridLayout& layout, const TLineRegion& region,
                                  std::size_t limit) {
    const RECT& bounds = region.bounds;
    if (bounds.left == bounds.right || bounds.top == bounds.bottom) {
        return;
    }
    if (region.showHorz) {
        PaintLineKind(layout, region, TLineKind::Vertical, limit);
        PaintLineKind(layout, region, TLineKind::Horizontal, limit);
    } else {
        PaintLineKind(layout, region, TLineKind::Horizontal, limit);
        PaintLineKind(layout, region, TLineKind::Vertical, limit);
    }
}

// All lines of one kind in a region go to Windows in one call.
void TCustomGrid::PaintLineKind(const TGridLayout& layout, const TLineRegion& region,
                                TLineKind kind, std::size_t limit) {
    const bool vertical = kind == TLineKind::Vertical;
    const TAxisLayout& axis = vertical ? layout.Horz : layout.Vert;
    if (axis.LineWidth <= 0) {
        return;
    }
    const RECT& bounds = region.bounds;
    const std::vector<std::int32_t> positions =
        vertical ? GridLinePositions(axis, region.first.X, bounds.left, bounds.right, limit)
                 : GridLinePositions(axis, region.first.Y, bounds.top, bounds.bottom, limit);
    if (positions.empty()) {
        return;
    }
    std::vector<POINT> points;
    points.reserve(positions.size() * 2);
    for (const std::int32_t position : positions) {
        if (vertical) {
            points.push_back({position, bounds.top});
            points.push_back({position, bounds.bottom});
        } else {
            points.push_back({bounds.left, position});
            points.push_back({bounds.right, position});
        }
    }
    const std::vector<DWORD> counts(positions.size(), 2);
    SelectLinePen((vertical ? region.showVert : region.showHorz) ? region.on : region.off);
    PolyPolyline(Canvas()->Handle(), points.data(), counts.data(),
                 static_cast<DWORD>(counts.size()));
}

// A line wider than a pixel ends flat at the region's edges and does not
// reach past them as a round cap would.
void TCustomGrid::SelectLinePen(TColor color) {
    TPen* pen = Canvas()->Pen();
    pen->SetWidth(gridLineWidth_);
    pen->SetColor(color);
    if (gridLineWidth_ > 1) {
        const LOGBRUSH brush{BS_SOLID, ResolveColor(color), 0};
        if (HPEN geometric = ExtCreatePen(kGeometricLinePen, static_cast<DWORD>(gridLineWidth_),
                                          &brush, 0, nullptr)) {
            pen->SetHandle(geometric);
        }
    }
}

void TCustomGrid::PaintCellRegion(TPaintPass& pass, const TCellRegion& region) {
    const std::int32_t colLine = pass.layout.Horz.LineWidth;
    const std::int32_t rowLine = pass.layout.Vert.LineWidth;
    std::int64_t top = region.start.y;
    for (std::int32_t row = region.first.Y; top < region.stop.y && row < rowCount_; ++row) {
        const std::int64_t bottom = top + RowHeights(row);
        std::int64_t left = region.start.x;
        for (std::int32_t col = region.first.X; left < region.stop.x && col < colCount_; ++col) {
            const std::int64_t right = left + ColWidths(col);
            const RECT rect{Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
            // A cell outside the area to repaint costs nothing more.
            if (RectVisible(Canvas()->Handle(), &rect)) {
                PaintOneCell(pass, region, {col, row}, rect);
            }
            left = right + colLine;
        }
        top = bottom + rowLine;
    }
}

void TCustomGrid::PaintOneCell(TPaintPass& pass, const TCellRegion& region, TCellCoord cell,
                               const RECT& rect) {
    const TGridDrawState state = DrawStateOf(pass, region, cell);
    if (defaultDrawing_ || HasState(csDesigning)) {
        FillCellBackground(rect, state, region.background);
    }
    PaintCell(cell.X, cell.Y, rect, state);
    if (defaultDrawing_ && (state & gdsFixed) != 0 && Ctl3D() && pass.firstEdges != 0) {
        DrawFixedCellEdges(pass, rect);
    }
    if (ShowsFocusRect(state)) {
        Canvas()->DrawFocusRect(rect);
    }
}

TGridDrawState TCustomGrid::DrawStateOf(TPaintPass& pass, const TCellRegion& region,
                                        TCellCoord cell) {
    if (!pass.gridIsActive) {
        pass.gridIsActive = IsActiveControlOfForm();
    }
    TGridDrawState state = region.baseState;
    if (*pass.gridIsActive && cell == current_) {
        state |= gdsFocused;
    }
    if (InRange(pass.selection, cell)) {
        state |= gdsSelected;
    }
    return state;
}

// A selected cell shows the highlight unless it is the focused one, which
// keeps the normal look under its focus frame.
void TCustomGrid::FillCellBackground(const RECT& rect, TGridDrawState state, TColor background) {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const bool highlighted =
        (state & gdsSelected) != 0 &&
        ((state & gdsFocused) == 0 || HasOption(options_, goDrawFocusSelected) ||
         HasOption(options_, goRowSelect));
    if (highlighted) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    } else {
        canvas->Brush()->SetColor(background);
    }
    canvas->FillRect(rect);
}

// The edges take in the cell's grid line on the side that has no edge, so
// the raised look reaches the black line of the next cell.
void TCustomGrid::DrawFixedCellEdges(const TPaintPass& pass, const RECT& rect) {
    RECT edges = rect;
    if ((pass.firstEdges & BF_RIGHT) == 0) {
        edges.right += pass.layout.Horz.LineWidth;
    } else if ((pass.firstEdges & BF_BOTTOM) == 0) {
        edges.bottom += pass.layout.Vert.LineWidth;
    }
    HDC dc = Canvas()->Handle();
    DrawEdge(dc, &edges, BDR_RAISEDINNER, pass.firstEdges);
    DrawEdge(dc, &edges, BDR_RAISEDINNER, pass.secondEdges);
}

// With the editor always shown the editor marks the cell; with whole rows
// selected one frame goes round the row instead.
bool TCustomGrid::ShowsFocusRect(TGridDrawState state) const {
    return defaultDrawing_ && !HasState(csDesigning) && (state & gdsFocused) != 0 &&
           !(HasOption(options_, goEditing) && HasOption(options_, goAlwaysShowEditor)) &&
           !HasOption(options_, goRowSelect);
}

void TCustomGrid::PaintBeyondLastCell(const TGridLayout& layout) {
    const TAxisLayout& horz = layout.Horz;
    const TAxisLayout& vert = layout.Vert;
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    if (horz.GridBoundary < horz.GridExtent) {
        canvas->FillRect({horz.GridBoundary, 0, horz.GridExtent, vert.GridBoundary});
    }
    if (vert.GridBoundary < vert.GridExtent) {
        canvas->FillRect({0, vert.GridBoundary, horz.GridExtent, vert.GridExtent});
    }
}

// The focused look belongs to the grid its form has made active, which
// need not be the window with the focus.
bool TCustomGrid::IsActiveControlOfForm() {
    auto* form = dynamic_cast<TForm*>(ParentForm());
    if (form == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    return form->ActiveControl() == this;
}

// ---------------------------------------------------------------- streaming

void TCustomGrid::DeclareStoredData(TFiler* filer) {
    TCustomControl::DeclareStoredData(filer);
    const TPersistent* ancestor = filer->Ancestor();
    const auto* ancestorGrid = ancestor != nullptr && ancestor->Is<TCustomGrid>()
                                   ? static_cast<const TCustomGrid*>(ancestor)
                                   : nullptr;
    const bool widthsDiffer =
        ancestorGrid != nullptr ? colWidths_ != ancestorGrid->colWidths_ : colWidths_.has_value();
    const bool heightsDiffer = ancestorGrid != nullptr ? rowHeights_ != ancestorGrid->rowHeights_
                                                       : rowHeights_.has_value();
    filer->DeclareStoredValue(
        "ColWidths", [this](TReader& reader) { ReadColWidths(reader); },
        [this](TWriter& writer) { WriteColWidths(writer); }, widthsDiffer);
    filer->DeclareStoredValue(
        "RowHeights", [this](TReader& reader) { ReadRowHeights(reader); },
        [this](TWriter& writer) { WriteRowHeights(writer); }, heightsDiffer);
}

// A list of another length than the count ends in the reader's invalid
// value error: a missing integer where the list ends, or the end missing.
void TCustomGrid::ReadColWidths(TReader& reader) {
    reader.ReadListBegin();
    for (std::int32_t i = 0; i < colCount_; ++i) {
        SetColWidths(i, reader.ReadInteger());
    }
    reader.ReadListEnd();
}

void TCustomGrid::ReadRowHeights(TReader& reader) {
    reader.ReadListBegin();
    for (std::int32_t i = 0; i < rowCount_; ++i) {
        SetRowHeights(i, reader.ReadInteger());
    }
    reader.ReadListEnd();
}

void TCustomGrid::WriteColWidths(TWriter& writer) const {
    WriteExtents(writer, colCount_, &TCustomGrid::ColWidths, *this);
}

void TCustomGrid::WriteRowHeights(TWriter& writer) const {
    WriteExtents(writer, rowCount_, &TCustomGrid::RowHeights, *this);
}

} // namespace velbrin
