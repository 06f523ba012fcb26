#include "TCustomGrid.h"

#include "TInplaceEdit.h"

#include "GridLines.h"
#include "controls/TControlCanvas.h"
#include "core/TFiler.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "forms/Forms.h"
#include "forms/TScreen.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
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
    cls.Handle<WM_SIZE, &TCustomGrid::WMSize>();
    cls.Handle<WM_HSCROLL, &TCustomGrid::WMHScroll>();
    cls.Handle<WM_VSCROLL, &TCustomGrid::WMVScroll>();
    cls.Handle<WM_MOUSEWHEEL, &TCustomGrid::WMMouseWheel>();
    cls.Handle<WM_GETDLGCODE, &TCustomGrid::WMGetDlgCode>();
    cls.Handle<WM_SETCURSOR, &TCustomGrid::WMSetCursor>();
    cls.Handle<WM_TIMER, &TCustomGrid::WMTimer>();
    cls.Handle<WM_CHAR, &TCustomGrid::WMChar>();
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

// The editor follows its cell to where the new extents put it.
void TCustomGrid::ColumnWidthsModified() {
    UpdateScrollRange();
    RefreshEditor();
}

void TCustomGrid::RowHeightsModified() {
    UpdateScrollRange();
    RefreshEditor();
}

// The editor stays over the current cell as the cells move under it.
void TCustomGrid::ScrollOriginChanged() {
    RefreshEditor();
}

std::string TCustomGrid::EditTextFor(std::int32_t, std::int32_t) {
    return {};
}

void TCustomGrid::StoreEditText(std::int32_t, std::int32_t, const std::string&) {}

std::string TCustomGrid::EditMaskFor(std::int32_t, std::int32_t) {
    return {};
}

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

// The selection looks different with the focus and without it. The focus
// passing between the grid and its editor leaves the editor as it is.
void TCustomGrid::WMFocusMoved(TMessage& message) {
    Inherited(message);
    InvalidateSelection(Selection());
    const auto other = reinterpret_cast<HWND>(message.WParam);
    if (editor_ != nullptr && editor_->HasWindow() && other == editor_->Handle()) {
        return;
    }
    if (message.Msg == WM_SETFOCUS) {
        RefreshEditor();
    } else {
        HideEditor();
    }
}

// ---------------------------------------------------------------- editor

void TCustomGrid::SetEditorMode(bool value) {
    editorShown_ = value;
    if (value) {
        RefreshEditor();
    } else {
        HideEditor();
    }
}

void TCustomGrid::ReloadEditor() {
    editorCell_ = {-1, -1};
    RefreshEditor();
}

bool TCustomGrid::EditorAllowed() {
    return HasOption(options_, goEditing) && !HasOption(options_, goRowSelect) && editorShown_ &&
           !HasState(csDesigning) && HasWindow() &&
           (HasOption(options_, goAlwaysShowEditor) || IsActiveControlOfForm());
}

void TCustomGrid::RefreshEditor() {
    if (!EditorAllowed()) {
        return;
    }
    if (editor_ == nullptr) {
        editor_ = new TInplaceEdit(this);
        FillEditor();
    } else if (editorCell_ != current_) {
        HideEditor();
        FillEditor();
    }
    if (EditorAllowed()) {
        editor_->ShowOver(CellBounds(current_.X, current_.Y));
    }
}

void TCustomGrid::FillEditor() {
    editorCell_ = current_;
    editor_->Fill(EditMaskFor(current_.X, current_.Y), EditTextFor(current_.X, current_.Y));
}

// The text goes back to the cell the editor was filled for; the editor is
// hidden and forgets that cell even when storing fails.
void TCustomGrid::HideEditor() {
    if (editor_ == nullptr) {
        return;
    }
    const TCellCoord cell = editorCell_;
    editorCell_ = {-1, -1};
    try {
        if (cell.X != -1) {
            StoreEditText(cell.X, cell.Y, editor_->Text());
        }
    } catch (...) {
        editor_->HideField();
        throw;
    }
    editor_->HideField();
}

void TCustomGrid::EditTextChanged(const std::string& text) {
    if (editorCell_.X != -1) {
        StoreEditText(editorCell_.X, editorCell_.Y, text);
    }
}

void TCustomGrid::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    if (key == '\r' && !HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(!editorShown_);
        key = 0;
    }
}

// A character typed into the grid opens the editor and is typed into it.
void TCustomGrid::WMChar(TMessage& message) {
    const auto code = static_cast<BYTE>(message.WParam);
    if (!HasOption(options_, goEditing) || (code != VK_BACK && code < ' ')) {
        Inherited(message);
        return;
    }
    SetEditorMode(true);
    if (editor_ != nullptr && editor_->Shown()) {
        PostMessageA(editor_->Handle(), WM_CHAR, message.WParam, message.LParam);
    }
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(false);
    }
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

void TCustomGrid::ScaleControl(int multiplier, int divider) {
    TCustomControl::ScaleControl(multiplier, divider);
    if (multiplier == divider) {
        return;
    }
    auto scaled = [=](std::int32_t size) { return MulDiv(size, multiplier, divider); };
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
    // An editor the user opened stays open while the grid still edits.
    if (!editorShown_) {
        SetEditorMode(HasOption(options_, goAlwaysShowEditor));
    } else if (!HasOption(options_, goEditing) || HasOption(options_, goRowSelect)) {
        SetEditorMode(false);
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

void TCustomGrid::MoveCurrentCell(std::int32_t col, std::int32_t row, TAnchorMove anchor,
                                  TReveal reveal) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) {
        RaiseIndexOutOfRange();
    }
    if (CanSelectCell(col, row)) {
        PlaceCurrentCell({col, row}, anchor, reveal);
    }
}

void TCustomGrid::PlaceCurrentCell(TCellCoord cell, TAnchorMove anchor, TReveal reveal) {
    const TCellRange oldSelection = Selection();
    const TCellCoord oldCurrent = current_;
    current_ = cell;
    if (!HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(false);
    }
    if (anchor == TAnchorMove::Follows || !HasOption(options_, goRangeSelect)) {
        anchor_ = current_;
        if (HasOption(options_, goRowSelect)) {
            anchor_.X = colCount_ - 1;
        }
    }
    if (HasOption(options_, goRowSelect)) {
        current_.X = fixedCols_;
    }
    if (reveal == TReveal::Yes) {
        ClampInView(current_);
    }
    InvalidateSelectionChange(oldSelection);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(cell.X, cell.Y);
}

void TCustomGrid::MoveAnchor(TCellCoord cell) {
    if (!HasOption(options_, goRangeSelect) || HasOption(options_, goEditing)) {
        MoveCurrentCell(cell.X, cell.Y, TAnchorMove::Follows, TReveal::Yes);
        return;
    }
    const TCellRange oldSelection = Selection();
    anchor_ = cell;
    if (HasOption(options_, goRowSelect)) {
        anchor_.X = colCount_ - 1;
    }
    ClampInView(cell);
    InvalidateSelectionChange(oldSelection);
}

// Only the cells in one selection but not the other change their look, so
// a drag that grows the selection repaints just the cells it adds.
void TCustomGrid::InvalidateSelectionChange(const TCellRange& oldSelection) {
    const TCellRange newSelection = Selection();
    if (newSelection == oldSelection || !HasWindow()) {
        return;
    }
    const RECT oldRect = RangeBounds(oldSelection, TGridLines::Included);
    const RECT newRect = RangeBounds(newSelection, TGridLines::Included);
    HRGN changed = CreateRectRgnIndirect(&oldRect);
    HRGN added = CreateRectRgnIndirect(&newRect);
    CombineRgn(changed, changed, added, RGN_XOR);
    InvalidateRgn(Handle(), changed, FALSE);
    DeleteObject(added);
    DeleteObject(changed);
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
         {horz.FixedBoundary - colOffset_, 0},
         {horz.GridBoundary, vert.FixedBoundary},
         fixedColor_,
         gdsFixed},
        {{0, topLeft_.Y},
         {0, vert.FixedBoundary},
         {horz.FixedBoundary, vert.GridBoundary},
         fixedColor_,
         gdsFixed},
        {topLeft_,
         {horz.FixedBoundary - colOffset_, vert.FixedBoundary},
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
    if (IsUnderEditor(state)) {
        return;
    }
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
    if (!(paintCellFillsCell_ && defaultDrawing_)) {
        canvas->FillRect(rect);
    }
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

// The editor shown over the current cell paints it.
bool TCustomGrid::IsUnderEditor(TGridDrawState state) {
    return (state & gdsFocused) != 0 && HasOption(options_, goEditing) && editorShown_ &&
           !HasState(csDesigning) && editor_ != nullptr && editor_->Shown();
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

// ---------------------------------------------------------------- scrolling

namespace {

// A scroll bar that can scroll runs from 0 to this, whatever the counts.
constexpr int kScrollScale = 127;

// The upper bound when `value` is above it, else the lower one when below.
std::int32_t KeptBetween(std::int32_t value, std::int32_t low, std::int32_t high) {
    if (value > high) {
        return high;
    }
    return value < low ? low : value;
}

// The pixels between first cells `from` and `to` of an axis, negative when
// the grid moved forward; nothing when more than `limit`, as a scroll would
// then uncover the whole area anyway.
std::optional<std::int32_t> ScrollDistance(const TAxisLayout& axis, std::int32_t from,
                                           std::int32_t to, std::int64_t limit) {
    std::int64_t distance = 0;
    for (std::int32_t cell = std::min(from, to); cell < std::max(from, to); ++cell) {
        distance += std::int64_t{axis.Extent(cell)} + axis.LineWidth;
        if (distance > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(to > from ? -distance : distance);
}

bool StyleWants(TScrollStyle style, int bar) {
    return style == ssBoth || style == (bar == SB_HORZ ? ssHorizontal : ssVertical);
}

} // namespace

TCellCoord TCustomGrid::LastMaxTopLeft() {
    return MaxTopLeft(CalcLayout(), {colCount_ - 1, rowCount_ - 1});
}

void TCustomGrid::SetFirstVisibleCol(std::int32_t value) {
    MoveTopLeft(KeptBetween(value, fixedCols_, LastMaxTopLeft().X), topLeft_.Y);
}

void TCustomGrid::SetFirstVisibleRow(std::int32_t value) {
    MoveTopLeft(topLeft_.X, KeptBetween(value, fixedRows_, LastMaxTopLeft().Y));
}

// A fixed cell shows whatever the first visible cell, so it never scrolls
// its axis.
void TCustomGrid::ClampInView(TCellCoord cell) {
    if (!HasWindow()) {
        return;
    }
    const TGridLayout layout = CalcLayout();
    const TCellCoord last{layout.Horz.LastFullVisibleCell, layout.Vert.LastFullVisibleCell};
    const TCellCoord farthest = MaxTopLeft(layout, cell);
    TCellCoord next = topLeft_;
    if (cell.X >= fixedCols_ && cell.X < topLeft_.X) {
        next.X = cell.X;
    } else if (cell.X > last.X) {
        next.X = farthest.X;
    }
    if (cell.Y >= fixedRows_ && cell.Y < topLeft_.Y) {
        next.Y = cell.Y;
    } else if (cell.Y > last.Y) {
        next.Y = farthest.Y;
    }
    if (next == topLeft_) {
        return;
    }
    Update();
    const TCellCoord oldTopLeft = topLeft_;
    topLeft_ = next;
    TopLeftMoved(oldTopLeft);
}

void TCustomGrid::MoveTopLeft(std::int32_t left, std::int32_t top) {
    if (left == topLeft_.X && top == topLeft_.Y) {
        return;
    }
    Update();
    const TCellCoord oldTopLeft = topLeft_;
    topLeft_ = {left, top};
    TopLeftMoved(oldTopLeft);
}

void TCustomGrid::TopLeftMoved(TCellCoord oldTopLeft) {
    if (HasWindow()) {
        UpdateScrollPos();
        const TGridLayout layout = CalcLayout();
        const auto dx = ScrollDistance(layout.Horz, oldTopLeft.X, topLeft_.X,
                                       layout.Horz.GridBoundary - layout.Horz.FixedBoundary);
        const auto dy = ScrollDistance(layout.Vert, oldTopLeft.Y, topLeft_.Y,
                                       layout.Vert.GridBoundary - layout.Vert.FixedBoundary);
        if (dx && dy) {
            ScrollContents(layout, *dx, *dy);
        } else {
            Invalidate();
        }
    }
    ScrollOriginChanged();
}

// The fixed rows move only sideways and the fixed columns only up and down.
void TCustomGrid::ScrollContents(const TGridLayout& layout, std::int32_t dx, std::int32_t dy) {
    const TAxisLayout& horz = layout.Horz;
    const TAxisLayout& vert = layout.Vert;
    if (dx != 0 && dy != 0) {
        ScrollArea({horz.FixedBoundary, 0, horz.GridExtent, vert.FixedBoundary}, dx, 0);
        ScrollArea({0, vert.FixedBoundary, horz.FixedBoundary, vert.GridExtent}, 0, dy);
        ScrollArea({horz.FixedBoundary, vert.FixedBoundary, horz.GridExtent, vert.GridExtent}, dx,
                   dy);
    } else if (dy != 0) {
        ScrollArea({0, vert.FixedBoundary, horz.GridExtent, vert.GridExtent}, 0, dy);
    } else if (dx != 0) {
        ScrollArea({horz.FixedBoundary, 0, horz.GridExtent, vert.GridExtent}, dx, 0);
    }
}

// Without default drawing the cells' handlers may leave pixels unpainted,
// so the uncovered strip is erased first.
void TCustomGrid::ScrollArea(const RECT& area, std::int32_t dx, std::int32_t dy) {
    const UINT flags = SW_INVALIDATE | (defaultDrawing_ ? 0u : static_cast<UINT>(SW_ERASE));
    ScrollWindowEx(Handle(), dx, dy, &area, &area, nullptr, nullptr, flags);
}

bool TCustomGrid::WantsScrollBar(int bar) const {
    return StyleWants(scrollBars_, bar);
}

bool TCustomGrid::ScrollBarShown(int bar) {
    int low = 0;
    int high = 0;
    GetScrollRange(Handle(), bar, &low, &high);
    return high != low;
}

// Planned as if no bar were shown, since the bars come and go with the
// ranges. Showing or hiding a bar resizes the client area, whose size
// message must not start another update meanwhile.
void TCustomGrid::UpdateScrollRange() {
    if (scrollBars_ == ssNone || !HasWindow()) {
        return;
    }
    const TCellCoord oldTopLeft = topLeft_;
    const bool horz = WantsScrollBar(SB_HORZ);
    const bool vert = WantsScrollBar(SB_VERT);
    std::int32_t width = ClientWidth();
    std::int32_t height = ClientHeight();
    if (horz && ScrollBarShown(SB_HORZ)) {
        height += GetSystemMetrics(SM_CYHSCROLL);
    }
    if (vert && ScrollBarShown(SB_VERT)) {
        width += GetSystemMetrics(SM_CXVSCROLL);
    }
    const TScrollStyle style = scrollBars_;
    scrollBars_ = ssNone;
    bool flushed = false;
    try {
        if (horz) {
            UpdateOneRange(SB_HORZ, width, height, flushed);
        }
        const std::int32_t widthAfterHorz = ClientWidth();
        if (vert) {
            UpdateOneRange(SB_VERT, width, ClientHeight(), flushed);
        }
        // A single column's range is in pixels of the client width as it
        // now is, a vertical bar taking its share.
        if (horz && (ClientWidth() != widthAfterHorz || colCount_ == 1)) {
            UpdateOneRange(SB_HORZ, ClientWidth(), ClientHeight(), flushed);
        }
    } catch (...) {
        scrollBars_ = style;
        throw;
    }
    scrollBars_ = style;
    UpdateScrollPos();
    if (topLeft_ != oldTopLeft) {
        TopLeftMoved(oldTopLeft);
    }
}

void TCustomGrid::UpdateOneRange(int bar, std::int32_t width, std::int32_t height, bool& flushed) {
    if (bar == SB_HORZ && colCount_ == 1) {
        SetScrollRange(Handle(), SB_HORZ, 0, std::max(0, ColWidths(0) - width), TRUE);
        return;
    }
    const TCellCoord farthest =
        MaxTopLeft(CalcLayoutFor(width, height), {colCount_ - 1, rowCount_ - 1});
    const bool isHorz = bar == SB_HORZ;
    const std::int32_t fixed = isHorz ? fixedCols_ : fixedRows_;
    const std::int32_t limit = isHorz ? farthest.X : farthest.Y;
    SetScrollRange(Handle(), bar, 0, limit > fixed ? kScrollScale : 0, TRUE);
    std::int32_t& first = isHorz ? topLeft_.X : topLeft_.Y;
    if (first > limit) {
        if (!flushed) {
            Update();
            flushed = true;
        }
        first = std::max(limit, fixed);
    }
}

void TCustomGrid::UpdateScrollPos() {
    if (scrollBars_ == ssNone || !HasWindow()) {
        return;
    }
    const TCellCoord farthest = LastMaxTopLeft();
    if (WantsScrollBar(SB_HORZ)) {
        if (colCount_ == 1) {
            const std::int32_t hidden = ColWidths(0) - ClientWidth();
            if (colOffset_ > 0 && colOffset_ > hidden) {
                ScrollByPixels(SB_THUMBPOSITION, hidden);
            }
            SetScrollPosIfChanged(SB_HORZ, colOffset_);
        } else if (farthest.X > fixedCols_) {
            SetScrollPosIfChanged(
                SB_HORZ, MulDiv(topLeft_.X - fixedCols_, kScrollScale, farthest.X - fixedCols_));
        }
    }
    if (WantsScrollBar(SB_VERT) && farthest.Y > fixedRows_) {
        SetScrollPosIfChanged(
            SB_VERT, MulDiv(topLeft_.Y - fixedRows_, kScrollScale, farthest.Y - fixedRows_));
    }
}

void TCustomGrid::SetScrollPosIfChanged(int bar, int position) {
    if (GetScrollPos(Handle(), bar) != position) {
        SetScrollPos(Handle(), bar, position, TRUE);
    }
}

void TCustomGrid::WMSize(TMessage& message) {
    Inherited(message);
    UpdateScrollRange();
}

void TCustomGrid::WMHScroll(TMessage& message) {
    HandleScrollMessage(SB_HORZ, message);
}

void TCustomGrid::WMVScroll(TMessage& message) {
    HandleScrollMessage(SB_VERT, message);
}

// Each notch scrolls the rows by a line, as the scroll bar's arrows do; a
// wheel that turns in finer steps scrolls once they add up to a notch.
void TCustomGrid::WMMouseWheel(TMessage& message) {
    wheelTurn_ += GET_WHEEL_DELTA_WPARAM(message.WParam);
    for (; wheelTurn_ >= WHEEL_DELTA; wheelTurn_ -= WHEEL_DELTA) {
        ScrollBy(SB_VERT, SB_LINEUP, 0);
    }
    for (; wheelTurn_ <= -WHEEL_DELTA; wheelTurn_ += WHEEL_DELTA) {
        ScrollBy(SB_VERT, SB_LINEDOWN, 0);
    }
    message.Result = 0;
}

void TCustomGrid::HandleScrollMessage(int bar, const TMessage& message) {
    if (Visible() && IsFocusable() && TabStop() && !HasState(csDesigning)) {
        SetFocus();
    }
    ScrollBy(bar, LOWORD(message.WParam), HIWORD(message.WParam));
}

void TCustomGrid::ScrollBy(int bar, int code, int thumb) {
    if (bar == SB_HORZ && colCount_ == 1) {
        ScrollByPixels(code, thumb);
        return;
    }
    TCellCoord next = topLeft_;
    (bar == SB_HORZ ? next.X : next.Y) = ScrolledValue(bar, code, thumb);
    const TCellCoord farthest = LastMaxTopLeft();
    next.X = KeptBetween(next.X, fixedCols_, farthest.X);
    next.Y = KeptBetween(next.Y, fixedRows_, farthest.Y);
    if (next != topLeft_) {
        MoveTopLeft(next.X, next.Y);
    }
}

// The new first visible column or row for a scroll code; the caller keeps
// it in range.
std::int32_t TCustomGrid::ScrolledValue(int bar, int code, int thumb) {
    const bool isHorz = bar == SB_HORZ;
    const TGridLayout layout = CalcLayout();
    const TCellCoord farthest = MaxTopLeft(layout, {colCount_ - 1, rowCount_ - 1});
    const std::int32_t low = isHorz ? fixedCols_ : fixedRows_;
    const std::int32_t high = isHorz ? farthest.X : farthest.Y;
    const std::int32_t value = isHorz ? topLeft_.X : topLeft_.Y;
    switch (code) {
    case SB_LINEUP:
        return value - 1;
    case SB_LINEDOWN:
        return value + 1;
    case SB_PAGEUP: {
        const TCellCoord previousPage = MaxTopLeft(layout, topLeft_);
        return value - std::max(1, value - (isHorz ? previousPage.X : previousPage.Y));
    }
    case SB_PAGEDOWN: {
        const TAxisLayout& axis = isHorz ? layout.Horz : layout.Vert;
        return value + std::max(1, axis.LastFullVisibleCell - value);
    }
    case SB_THUMBTRACK:
        if (!HasOption(options_, goThumbTracking)) {
            return value;
        }
        [[fallthrough]];
    case SB_THUMBPOSITION:
        return MulDiv(thumb, high - low, kScrollScale) + low;
    case SB_TOP:
        return low;
    case SB_BOTTOM:
        return high;
    default:
        return value;
    }
}

// A grid of one column scrolls sideways by pixels, its column being wider
// than the window.
void TCustomGrid::ScrollByPixels(int code, int thumb) {
    const std::int32_t hidden = ColWidths(0) - ClientWidth();
    std::int32_t offset = colOffset_;
    switch (code) {
    case SB_LINEUP:
        offset -= Canvas()->TextWidth("0");
        break;
    case SB_LINEDOWN:
        offset += Canvas()->TextWidth("0");
        break;
    case SB_PAGEUP:
        offset -= ClientWidth();
        break;
    case SB_PAGEDOWN:
        offset += ClientWidth();
        break;
    case SB_THUMBTRACK:
        if (HasOption(options_, goThumbTracking)) {
            offset = thumb;
        }
        break;
    case SB_THUMBPOSITION:
        offset = thumb;
        break;
    case SB_BOTTOM:
        offset = hidden;
        break;
    case SB_TOP:
        offset = 0;
        break;
    default:
        break;
    }
    offset = std::max(std::min(offset, hidden), 0);
    if (offset == colOffset_) {
        return;
    }
    const std::int32_t oldOffset = colOffset_;
    colOffset_ = offset;
    ScrollContents(CalcLayout(), oldOffset - offset, 0);
    InvalidateSelection({0, 0, 0, fixedRows_});
    Update();
    UpdateScrollPos();
}

// ---------------------------------------------------------------- keyboard

namespace {

// The timer that drives a drag beyond the cells.
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragTimerInterval = 60;

// How close to a line a press sizes its cell, for lines thinner than that.
constexpr std::int32_t kSizingReach = 7;

} // namespace

void TCustomGrid::WMGetDlgCode(TMessage& message) {
    message.Result = DLGC_WANTARROWS;
    if (HasOption(options_, goRowSelect)) {
        return;
    }
    if (HasOption(options_, goTabs)) {
        message.Result |= DLGC_WANTTAB;
    }
    if (HasOption(options_, goEditing)) {
        message.Result |= DLGC_WANTCHARS;
    }
}

void TCustomGrid::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    const TGridLayout layout = CalcLayout();
    TKeyMove move{current_, topLeft_, std::max(1, layout.Horz.LastFullVisibleCell - topLeft_.X),
                  std::max(1, layout.Vert.LastFullVisibleCell - topLeft_.Y),
                  layout.Vert.LastFullVisibleCell};
    if ((shift & ssCtrl) != 0) {
        StepWithCtrl(key, move);
    } else {
        StepPlain(key, shift, move);
    }
    const TCellCoord farthest = MaxTopLeft(layout, {colCount_ - 1, rowCount_ - 1});
    const TCellCoord topLeft{KeptBetween(move.topLeft.X, fixedCols_, farthest.X),
                             KeptBetween(move.topLeft.Y, fixedRows_, farthest.Y)};
    if (topLeft != topLeft_) {
        MoveTopLeft(topLeft.X, topLeft.Y);
    }
    const TCellCoord next{KeptBetween(move.current.X, fixedCols_, colCount_ - 1),
                          KeptBetween(move.current.Y, fixedRows_, rowCount_ - 1)};
    if (next != current_) {
        FocusOnCell(next, (shift & ssShift) != 0 ? TAnchorMove::Stays : TAnchorMove::Follows);
    }
    if (key == VK_F2 && (shift & ssCtrl) == 0) {
        SetEditorMode(true);
        if (editor_ != nullptr && editor_->HasWindow()) {
            editor_->Deselect();
        }
    }
}

// With Ctrl the keys work within the page shown, or scroll it.
void TCustomGrid::StepWithCtrl(WORD key, TKeyMove& move) const {
    switch (key) {
    case VK_PRIOR:
        move.current.Y = topLeft_.Y;
        break;
    case VK_NEXT:
        move.current.Y = move.lastRow;
        break;
    case VK_END:
        move.current = {colCount_ - 1, rowCount_ - 1};
        break;
    case VK_HOME:
        move.current = {fixedCols_, fixedRows_};
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!HasOption(options_, goRowSelect)) {
            const std::int32_t step = key == VK_LEFT ? -move.pageWidth : move.pageWidth;
            move.current.X += step;
            move.topLeft.X += step;
        }
        break;
    case VK_UP:
        --move.topLeft.Y;
        break;
    case VK_DOWN:
        ++move.topLeft.Y;
        break;
    default:
        break;
    }
}

// Selecting rows, the sideways keys move between rows.
void TCustomGrid::StepPlain(WORD key, TShiftState& shift, TKeyMove& move) const {
    const bool rowSelect = HasOption(options_, goRowSelect);
    TCellCoord& current = move.current;
    switch (key) {
    case VK_TAB:
        if ((shift & ssAlt) == 0) {
            current = TabbedCell((shift & ssShift) != 0);
            // A step back is a step all the same: the anchor follows.
            shift &= ~ssShift;
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const std::int32_t step = key == VK_PRIOR ? -move.pageHeight : move.pageHeight;
        current.Y += step;
        move.topLeft.Y += step;
        break;
    }
    case VK_END:
        if (rowSelect) {
            current.Y = rowCount_ - 1;
        } else {
            current.X = colCount_ - 1;
        }
        break;
    case VK_HOME:
        if (rowSelect) {
            current.Y = fixedRows_;
        } else {
            current.X = fixedCols_;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
        (rowSelect ? current.Y : current.X) += key == VK_LEFT ? -1 : 1;
        break;
    case VK_UP:
        --current.Y;
        break;
    case VK_DOWN:
        ++current.Y;
        break;
    default:
        break;
    }
}

// Tab runs along the rows and wraps from the last cell to the first.
TCellCoord TCustomGrid::TabbedCell(bool backward) const {
    TCellCoord cell = current_;
    if (!backward) {
        if (++cell.X >= colCount_) {
            cell.X = fixedCols_;
            if (++cell.Y >= rowCount_) {
                cell.Y = fixedRows_;
            }
        }
    } else if (--cell.X < fixedCols_) {
        cell.X = colCount_ - 1;
        if (--cell.Y < fixedRows_) {
            cell.Y = rowCount_ - 1;
        }
    }
    return cell;
}

void TCustomGrid::FocusOnCell(TCellCoord cell, TAnchorMove anchor) {
    MoveCurrentCell(cell.X, cell.Y, anchor, TReveal::Yes);
    RefreshEditor();
    Click();
}

// ---------------------------------------------------------------- mouse

// The editor's text is stored before a press can move the cells under it;
// the release shows the editor again where the current cell then is.
void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    HideEditor();
    if (!HasState(csDesigning) && IsFocusable()) {
        SetFocus();
        // The form may have refused the change.
        if (!IsActiveControlOfForm()) {
            ReleaseCapture();
            return;
        }
    }
    if (button == mbLeft && (shift & ssDouble) != 0) {
        DblClick();
    } else if (button == mbLeft) {
        PressLeft(shift, x, y);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

// A point in no cell counts as a fixed cell, which starts nothing.
void TCustomGrid::PressLeft(TShiftState shift, std::int32_t x, std::int32_t y) {
    const TGridLayout layout = CalcLayout();
    if (const std::optional<TSizingHit> hit = SizingAt(layout, x, y)) {
        mouseState_ = hit->state;
        sizingIndex_ = hit->index;
        sizingPosition_ = hit->position;
        sizingOffset_ = hit->offset;
        DrawSizingLine();
        return;
    }
    const TCellCoord cell = velbrin::CellAtPoint(layout, x, y);
    if (cell.X < 0 || cell.Y < 0) {
        return;
    }
    if (cell.X < fixedCols_ || cell.Y < fixedRows_) {
        PressFixedCell(cell);
        return;
    }
    if (HasOption(options_, goEditing)) {
        if (cell == current_) {
            SetEditorMode(true);
        } else {
            MoveCurrentCell(cell.X, cell.Y, TAnchorMove::Follows, TReveal::Yes);
            RefreshEditor();
        }
        Click();
        return;
    }
    mouseState_ = TMouseState::Selecting;
    SetTimer(Handle(), kDragTimer, kDragTimerInterval, nullptr);
    if ((shift & ssShift) != 0) {
        MoveAnchor(cell);
    } else {
        MoveCurrentCell(cell.X, cell.Y, TAnchorMove::Follows, TReveal::Yes);
    }
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (mouseState_ == TMouseState::Selecting || IsMoving()) {
        const TGridLayout layout = CalcLayout();
        const TCellCoord cell = velbrin::CellAtPoint(layout, x, y);
        const bool reachable = cell.X >= fixedCols_ && cell.Y >= fixedRows_ &&
                               cell.X <= layout.Horz.LastFullVisibleCell + 1 &&
                               cell.Y <= layout.Vert.LastFullVisibleCell + 1;
        if (reachable && mouseState_ == TMouseState::Selecting && cell != anchor_) {
            MoveAnchor(cell);
        } else if (reachable && mouseState_ != TMouseState::Selecting) {
            const bool cols = mouseState_ == TMouseState::ColMoving;
            UpdateDropPosition(cols ? x : y, cols ? cell.X : cell.Y);
        }
    } else if (mouseState_ == TMouseState::ColSizing || mouseState_ == TMouseState::RowSizing) {
        DrawSizingLine();
        sizingPosition_ = (mouseState_ == TMouseState::ColSizing ? x : y) + sizingOffset_;
        DrawSizingLine();
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const TMouseState state = mouseState_;
    try {
        if (state == TMouseState::Selecting) {
            MouseMove(shift, x, y);
            KillTimer(Handle(), kDragTimer);
            mouseState_ = TMouseState::Normal;
            Click();
        } else if (IsMoving()) {
            EndMoving();
        } else if (state != TMouseState::Normal) {
            EndSizing();
        }
    } catch (...) {
        mouseState_ = TMouseState::Normal;
        throw;
    }
    mouseState_ = TMouseState::Normal;
    RefreshEditor();
    TCustomControl::MouseUp(button, shift, x, y);
}

// The new extent runs from the sized cell's leading edge to where its line
// was dropped; one pixel or less is no size at all.
void TCustomGrid::EndSizing() {
    DrawSizingLine();
    const bool cols = mouseState_ == TMouseState::ColSizing;
    const TGridLayout layout = CalcLayout();
    const TAxisLayout& axis = cols ? layout.Horz : layout.Vert;
    std::int64_t start = axis.FixedBoundary;
    for (std::int32_t cell = axis.FirstGridCell; cell < sizingIndex_; ++cell) {
        start += std::int64_t{axis.Extent(cell)} + axis.LineWidth;
    }
    const std::int64_t size = sizingPosition_ - start;
    mouseState_ = TMouseState::Normal;
    if (size <= 1) {
        return;
    }
    if (cols) {
        SetColWidths(sizingIndex_, static_cast<std::int32_t>(size));
    } else {
        SetRowHeights(sizingIndex_, static_cast<std::int32_t>(size));
    }
}

void TCustomGrid::DrawSizingLine() {
    const TGridLayout layout = CalcLayout();
    if (mouseState_ == TMouseState::RowSizing) {
        DrawXorLine({0, sizingPosition_}, {layout.Horz.GridBoundary, sizingPosition_}, 1);
    } else {
        DrawXorLine({sizingPosition_, 0}, {sizingPosition_, layout.Vert.GridBoundary}, 1);
    }
}

// Drawn in XOR, so drawing it again erases it.
void TCustomGrid::DrawXorLine(POINT from, POINT to, std::int32_t width) {
    TCanvas* canvas = Canvas();
    TPen* pen = canvas->Pen();
    const TPenStyle oldStyle = pen->Style();
    const TPenMode oldMode = pen->Mode();
    const std::int32_t oldWidth = pen->Width();
    pen->SetStyle(psDot);
    pen->SetMode(pmXor);
    pen->SetWidth(width);
    canvas->MoveTo(from.x, from.y);
    canvas->LineTo(to.x, to.y);
    pen->SetStyle(oldStyle);
    pen->SetMode(oldMode);
    pen->SetWidth(oldWidth);
}

// Columns are sized from the fixed rows, rows from the fixed columns, a
// few pixels either side of a line thinner than the reach.
std::optional<TCustomGrid::TSizingHit> TCustomGrid::SizingAt(const TGridLayout& layout,
                                                             std::int32_t x, std::int32_t y) {
    TGridOptions options = options_;
    if (HasState(csDesigning)) {
        options = options | GridOptionBit(goRowSizing) | GridOptionBit(goColSizing);
    }
    const TAxisLayout* axis = nullptr;
    std::int32_t position = 0;
    TMouseState state = TMouseState::Normal;
    if (x > layout.Horz.FixedBoundary && HasOption(options, goColSizing) &&
        y < layout.Vert.FixedBoundary) {
        axis = &layout.Horz;
        position = x;
        state = TMouseState::ColSizing;
    } else if (y > layout.Vert.FixedBoundary && HasOption(options, goRowSizing) &&
               x < layout.Horz.FixedBoundary) {
        axis = &layout.Vert;
        position = y;
        state = TMouseState::RowSizing;
    } else {
        return std::nullopt;
    }
    std::int32_t range = axis->LineWidth;
    std::int32_t back = 0;
    if (range < kSizingReach) {
        range = kSizingReach;
        back = (kSizingReach - axis->LineWidth) / 2;
    }
    std::int64_t line = axis->FixedBoundary;
    std::int32_t cell = axis->FirstGridCell;
    for (; cell < axis->GridCellCount; ++cell) {
        line += axis->Extent(cell);
        if (line > axis->GridExtent) {
            break;
        }
        if (position >= line - back && position <= line - back + range) {
            const auto at = static_cast<std::int32_t>(line);
            return TSizingHit{state, cell, at, at - position};
        }
        line += axis->LineWidth;
    }
    if (cell < axis->GridCellCount && position >= axis->GridExtent - back &&
        position <= axis->GridExtent) {
        return TSizingHit{state, cell, axis->GridExtent, axis->GridExtent - position};
    }
    return std::nullopt;
}

void TCustomGrid::WMSetCursor(TMessage& message) {
    if (LOWORD(message.LParam) != HTCLIENT) {
        Inherited(message);
        return;
    }
    TMouseState state = mouseState_;
    if (state == TMouseState::Normal) {
        POINT point{};
        GetCursorPos(&point);
        ::ScreenToClient(Handle(), &point);
        const std::optional<TSizingHit> hit = SizingAt(CalcLayout(), point.x, point.y);
        state = hit ? hit->state : TMouseState::Normal;
    }
    if (state == TMouseState::ColSizing || state == TMouseState::RowSizing) {
        ::SetCursor(Screen->Cursors(state == TMouseState::ColSizing ? crHSplit : crVSplit));
        message.Result = TRUE;
        return;
    }
    Inherited(message);
}

void TCustomGrid::WMTimer(TMessage& message) {
    if (message.WParam != kDragTimer || (mouseState_ != TMouseState::Selecting && !IsMoving())) {
        Inherited(message);
        return;
    }
    if (IsMoving()) {
        POINT point{};
        GetCursorPos(&point);
        ::ScreenToClient(Handle(), &point);
        const TCellCoord cell = CellAtPoint(point.x, point.y);
        const bool cols = mouseState_ == TMouseState::ColMoving;
        UpdateDropPosition(cols ? point.x : point.y, cols ? cell.X : cell.Y);
        return;
    }
    AutoScrollTick();
}

// A drag held beyond the cells moves the selection's end one cell further
// that way on each tick, scrolling it into view.
void TCustomGrid::AutoScrollTick() {
    POINT point{};
    GetCursorPos(&point);
    ::ScreenToClient(Handle(), &point);
    const TGridLayout layout = CalcLayout();
    TCellCoord cell = anchor_;
    if (point.x < layout.Horz.FixedBoundary && cell.X > fixedCols_) {
        --cell.X;
    } else if (point.x > layout.Horz.FullVisibleBoundary && cell.X < colCount_ - 1) {
        ++cell.X;
    }
    if (point.y < layout.Vert.FixedBoundary && cell.Y > fixedRows_) {
        --cell.Y;
    } else if (point.y > layout.Vert.FullVisibleBoundary && cell.Y < rowCount_ - 1) {
        ++cell.Y;
    }
    if (cell != anchor_) {
        MoveAnchor(cell);
    }
}

// ---------------------------------------------------------------- moving

bool TCustomGrid::IsMoving() const {
    return mouseState_ == TMouseState::ColMoving || mouseState_ == TMouseState::RowMoving;
}

// A row is dragged by its fixed column cell, a column by its fixed row cell.
void TCustomGrid::PressFixedCell(TCellCoord cell) {
    if (HasOption(options_, goRowMoving) && cell.X < fixedCols_ && cell.Y >= fixedRows_) {
        StartMoving(TMouseState::RowMoving, cell.Y);
    } else if (HasOption(options_, goColMoving) && cell.Y < fixedRows_ && cell.X >= fixedCols_) {
        StartMoving(TMouseState::ColMoving, cell.X);
    }
}

void TCustomGrid::StartMoving(TMouseState state, std::int32_t index) {
    mouseState_ = state;
    moveIndex_ = index;
    movePosition_ = index;
    Update();
    DrawMoveMarker();
    SetTimer(Handle(), kDragTimer, kDragTimerInterval, nullptr);
}

void TCustomGrid::EndMoving() {
    DrawMoveMarker();
    KillTimer(Handle(), kDragTimer);
    const bool cols = mouseState_ == TMouseState::ColMoving;
    mouseState_ = TMouseState::Normal;
    if (movePosition_ != moveIndex_) {
        if (cols) {
            MoveColumn(moveIndex_, movePosition_);
        } else {
            MoveRow(moveIndex_, movePosition_);
        }
    }
}

// The marker shows where the moved column (row) would land: past the drop
// cell when moving forward, before it when moving back.
void TCustomGrid::DrawMoveMarker() {
    constexpr std::int32_t kMarkerWidth = 5;
    if (mouseState_ == TMouseState::RowMoving) {
        const RECT cell = CellBounds(0, movePosition_);
        const LONG y = moveIndex_ < movePosition_ ? cell.bottom : cell.top;
        DrawXorLine({0, y}, {ClientWidth(), y}, kMarkerWidth);
    } else {
        const RECT cell = CellBounds(movePosition_, 0);
        const LONG x = moveIndex_ < movePosition_ ? cell.right : cell.left;
        DrawXorLine({x, 0}, {x, ClientHeight()}, kMarkerWidth);
    }
}

// Held over the fixed cells or past the last one shown, the drop scrolls
// a line at a time.
void TCustomGrid::UpdateDropPosition(std::int32_t position, std::int32_t hit) {
    const bool cols = mouseState_ == TMouseState::ColMoving;
    const int bar = cols ? SB_HORZ : SB_VERT;
    const std::int32_t firstIndex = cols ? fixedCols_ : fixedRows_;
    const std::int32_t lastIndex = (cols ? colCount_ : rowCount_) - 1;
    TGridLayout layout = CalcLayout();
    const TAxisLayout* axis = cols ? &layout.Horz : &layout.Vert;
    if (hit == movePosition_ || (movePosition_ == firstIndex && position < axis->FixedBoundary) ||
        (movePosition_ == lastIndex && position > axis->GridBoundary)) {
        return;
    }
    DrawMoveMarker();
    if (position < axis->FixedBoundary) {
        if (movePosition_ > firstIndex) {
            ScrollBy(bar, SB_LINEUP, 0);
            Update();
        }
        hit = cols ? topLeft_.X : topLeft_.Y;
    } else if (position >= axis->FullVisibleBoundary) {
        if (movePosition_ == axis->LastFullVisibleCell && movePosition_ != lastIndex) {
            ScrollBy(bar, SB_LINEDOWN, 0);
            Update();
            layout = CalcLayout();
            axis = cols ? &layout.Horz : &layout.Vert;
        }
        hit = axis->LastFullVisibleCell;
    } else if (hit < 0) {
        hit = movePosition_;
    }
    movePosition_ = hit;
    DrawMoveMarker();
}

namespace {

// Where a column (row) at `position` goes when the one at `from` moves to
// `to`: the moved one to its new place, those between one step towards
// the place it left.
std::int32_t MovedPosition(std::int32_t position, std::int32_t from, std::int32_t to) {
    if (position == from) {
        return to;
    }
    if (position >= std::min(from, to) && position <= std::max(from, to)) {
        return to < from ? position + 1 : position - 1;
    }
    return position;
}

void MoveExtent(std::vector<std::int32_t>& extents, std::int32_t from, std::int32_t to) {
    const auto first = extents.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

} // namespace

void TCustomGrid::MoveColumn(std::int32_t from, std::int32_t to) {
    if (from == to) {
        return;
    }
    if (colWidths_) {
        MoveExtent(*colWidths_, from, to);
    }
    current_.X = MovedPosition(current_.X, from, to);
    anchor_.X = MovedPosition(anchor_.X, from, to);
    InvalidateSelection({std::min(from, to), 0, std::max(from, to), rowCount_ - 1});
    ColumnMoved(from, to);
    if (colWidths_) {
        ColumnWidthsModified();
    }
}

void TCustomGrid::MoveRow(std::int32_t from, std::int32_t to) {
    if (from == to) {
        return;
    }
    if (rowHeights_) {
        MoveExtent(*rowHeights_, from, to);
    }
    current_.Y = MovedPosition(current_.Y, from, to);
    anchor_.Y = MovedPosition(anchor_.Y, from, to);
    InvalidateSelection({0, std::min(from, to), colCount_ - 1, std::max(from, to)});
    RowMoved(from, to);
    if (rowHeights_) {
        RowHeightsModified();
    }
}

} // namespace velbrin
