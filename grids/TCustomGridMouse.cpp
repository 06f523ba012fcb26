// How a grid answers the mouse: clicks and drags that select, size
// columns and rows, and the cursor over their lines.

#include "TCustomGrid.h"

#include "GridInternals.h"
#include "controls/TControlCanvas.h"
#include "forms/Forms.h"
#include "forms/TScreen.h"

#include <optional>

namespace velbrin {

using namespace gridinternals;

namespace {

// How close to a line a press sizes its cell, for lines thinner than that.
constexpr std::int32_t kSizingReach = 7;

} // namespace

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

} // namespace velbrin
