// How a grid scrolls: its first visible cell, its scroll bars and the
// mouse wheel.

#include "TCustomGrid.h"

#include "GridInternals.h"
#include "controls/TControlCanvas.h"

#include <algorithm>
#include <optional>

namespace velbrin {

using namespace gridinternals;

namespace {

// A scroll bar that can scroll runs from 0 to this, whatever the counts.
constexpr int kScrollScale = 127;

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
    try {
        if (horz) {
            UpdateOneRange(SB_HORZ, width, height);
        }
        if (vert) {
            UpdateOneRange(SB_VERT, width, ClientHeight());
        }
        // The columns are judged again in the width a vertical bar leaves
        // them, whether it came now or was there before; a single column's
        // range is in pixels of that width.
        if (horz && ClientWidth() != width) {
            UpdateOneRange(SB_HORZ, ClientWidth(), ClientHeight());
        }
    } catch (...) {
        scrollBars_ = style;
        throw;
    }
    scrollBars_ = style;
    PullBackToLastPage();
    UpdateScrollPos();
    if (topLeft_ != oldTopLeft) {
        TopLeftMoved(oldTopLeft);
    }
}

void TCustomGrid::UpdateOneRange(int bar, std::int32_t width, std::int32_t height) {
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
}

// Against the client area the bars leave, not the one they were planned in:
// a grid scrolled to its last column keeps it in view behind a vertical bar.
// An axis without a bar keeps its first visible cell.
void TCustomGrid::PullBackToLastPage() {
    const TCellCoord farthest = LastMaxTopLeft();
    TCellCoord next = topLeft_;
    if (WantsScrollBar(SB_HORZ)) {
        next.X = KeptBetween(next.X, fixedCols_, farthest.X);
    }
    if (WantsScrollBar(SB_VERT)) {
        next.Y = KeptBetween(next.Y, fixedRows_, farthest.Y);
    }
    if (next != topLeft_) {
        Update();
        topLeft_ = next;
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

// Only a single column scrolls by pixels; once there are more, they scroll
// a whole column at a time, and an offset kept would leave all of them
// shifted left with no bar to bring them back.
void TCustomGrid::DropColOffset() {
    if (colOffset_ == 0) {
        return;
    }
    colOffset_ = 0;
    Invalidate();
}

} // namespace velbrin
