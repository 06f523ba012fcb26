#include "TScrollingWinControl.h"

#include <algorithm>

namespace velbrin {

// Range comes before Position, so that a position read back is not cut to
// the range of the bar before its own range is read.
VELBRIN_DEFINE_CLASS_TABLES(TControlScrollBar, TPersistent, "Forms") {
    cls.Property("Increment", Call<&TControlScrollBar::Increment>,
                 Call<&TControlScrollBar::SetIncrement>)
        .Default(8);
    cls.Property("Margin", Call<&TControlScrollBar::Margin>, Call<&TControlScrollBar::SetMargin>)
        .Default(0);
    cls.Property("Range", Call<&TControlScrollBar::Range>, Call<&TControlScrollBar::SetRange>)
        .Default(0);
    cls.Property("Position", Call<&TControlScrollBar::Position>,
                 Call<&TControlScrollBar::SetPosition>)
        .Default(0);
    cls.Property("Tracking", Call<&TControlScrollBar::Tracking>,
                 Call<&TControlScrollBar::SetTracking>)
        .Default(0);
    cls.Property("Visible", Call<&TControlScrollBar::Visible>, Call<&TControlScrollBar::SetVisible>)
        .Default(1);
}

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : control_(control), kind_(kind) {}

void TControlScrollBar::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TControlScrollBar*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    increment_ = other->increment_;
    margin_ = other->margin_;
    visible_ = other->visible_;
    tracking_ = other->tracking_;
    SetRange(other->range_);
    SetPosition(other->position_);
}

int TControlScrollBar::MaxPosition() const {
    return std::max(0, calcRange_ - (page_ > 0 ? page_ - 1 : 0));
}

void TControlScrollBar::SetPosition(int value) {
    value = std::clamp(value, 0, MaxPosition());
    if (value == position_) {
        return;
    }
    const int change = position_ - value;
    position_ = value;
    if (kind_ == sbHorizontal) {
        control_->ScrollBy(change, 0);
    } else {
        control_->ScrollBy(0, change);
    }
    if (control_->HasWindow()) {
        SetScrollPos(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, position_,
                     TRUE);
    }
}

void TControlScrollBar::SetRange(int value) {
    range_ = std::max(0, value);
    control_->NoteRangeSetByHand();
    calcRange_ = range_;
    control_->UpdateScrollBars();
}

void TControlScrollBar::SetRangeFromChildren(int value) {
    calcRange_ = std::max(0, value);
}

void TControlScrollBar::ScaleBy(int multiplier, int divider) {
    if (multiplier != divider && !scaled_) {
        range_ = MulDiv(range_, multiplier, divider);
        calcRange_ = MulDiv(calcRange_, multiplier, divider);
    }
    scaled_ = false;
}

void TControlScrollBar::Update(int clientSize) {
    page_ = clientSize + 1;
    showing_ = visible_ && calcRange_ > clientSize;
    // A hidden bar leaves no part of the children out of reach, and a range
    // that shrank below the position lowers it: either way the children
    // scroll back with the position.
    SetPosition(showing_ ? position_ : 0);
    if (!control_->HasWindow()) {
        return;
    }
    const int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMax = showing_ ? calcRange_ : 0;
    info.nPage = showing_ ? static_cast<UINT>(page_) : 0;
    info.nPos = position_;
    SetScrollInfo(control_->Handle(), bar, &info, TRUE);
    ShowScrollBar(control_->Handle(), bar, showing_ ? TRUE : FALSE);
}

VELBRIN_DEFINE_CLASS_TABLES(TScrollingWinControl, TWinControl, "Forms") {
    cls.Handle<WM_SIZE, &TScrollingWinControl::WMSize>();
    cls.Handle<WM_HSCROLL, &TScrollingWinControl::WMScroll>();
    cls.Handle<WM_VSCROLL, &TScrollingWinControl::WMScroll>();
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), horzScrollBar_(new TControlScrollBar(this, sbHorizontal)),
      vertScrollBar_(new TControlScrollBar(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() {
    delete horzScrollBar_;
    delete vertScrollBar_;
}

void TScrollingWinControl::SetAutoScroll(bool value) {
    if (value == autoScroll_) {
        return;
    }
    autoScroll_ = value;
    if (!value) {
        horzScrollBar_->SetRangeFromChildren(horzScrollBar_->range_);
        vertScrollBar_->SetRangeFromChildren(vertScrollBar_->range_);
    }
    UpdateScrollBars();
}

// While the control was read the bars stood still; its children are all in
// place now.
void TScrollingWinControl::AfterLoad() {
    TWinControl::AfterLoad();
    UpdateScrollBars();
}

void TScrollingWinControl::BuildWindow() {
    TWinControl::BuildWindow();
    UpdateScrollBars();
}

void TScrollingWinControl::ArrangeChildren(TControl* moved, RECT& rect) {
    TWinControl::ArrangeChildren(moved, rect);
    UpdateScrollBars();
}

void TScrollingWinControl::WMSize(TMessage& message) {
    Inherited(message);
    UpdateScrollBars();
}

SIZE TScrollingWinControl::ChildrenExtent() {
    int right = 0;
    int bottom = 0;
    int rightAligned = 0;
    int bottomAligned = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (!child->Visible()) {
            continue;
        }
        if (child->Align() == alNone) {
            right = std::max(right, horzScrollBar_->position_ + child->Left() + child->Width());
            bottom = std::max(bottom, vertScrollBar_->position_ + child->Top() + child->Height());
        } else if (child->Align() == alRight) {
            rightAligned += child->Width();
        } else if (child->Align() == alBottom) {
            bottomAligned += child->Height();
        }
    }
    return {right + rightAligned + horzScrollBar_->margin_,
            bottom + bottomAligned + vertScrollBar_->margin_};
}

void TScrollingWinControl::UpdateScrollBars() {
    if (updatingScrollBars_ || HasState(csLoading) || !HasWindow()) {
        return;
    }
    updatingScrollBars_ = true;
    try {
        if (autoScroll_) {
            const SIZE extent = ChildrenExtent();
            horzScrollBar_->SetRangeFromChildren(extent.cx);
            vertScrollBar_->SetRangeFromChildren(extent.cy);
        }
        RECT client{};
        ::GetClientRect(Handle(), &client);
        int width = client.right;
        int height = client.bottom;
        // The client area as it is without either bar.
        if (vertScrollBar_->showing_) {
            width += GetSystemMetrics(SM_CXVSCROLL);
        }
        if (horzScrollBar_->showing_) {
            height += GetSystemMetrics(SM_CYHSCROLL);
        }
        const bool needsHorz = horzScrollBar_->calcRange_ > width;
        const bool needsVert = vertScrollBar_->calcRange_ > height;
        // Each bar takes room from the other's direction.
        const bool vertShown =
            needsVert ||
            (needsHorz && vertScrollBar_->calcRange_ > height - GetSystemMetrics(SM_CYHSCROLL));
        const bool horzShown =
            needsHorz ||
            (vertShown && horzScrollBar_->calcRange_ > width - GetSystemMetrics(SM_CXVSCROLL));
        horzScrollBar_->Update(vertShown ? width - GetSystemMetrics(SM_CXVSCROLL) : width);
        vertScrollBar_->Update(horzShown ? height - GetSystemMetrics(SM_CYHSCROLL) : height);
    } catch (...) {
        updatingScrollBars_ = false;
        throw;
    }
    updatingScrollBars_ = false;
}

void TScrollingWinControl::WMScroll(TMessage& message) {
    if (message.LParam != 0) {
        Inherited(message);
        return;
    }
    TControlScrollBar* bar = message.Msg == WM_HSCROLL ? horzScrollBar_ : vertScrollBar_;
    const int page = std::max(1, bar->page_ - 1);
    int position = bar->position_;
    switch (LOWORD(message.WParam)) {
    case SB_LINEUP:
        position -= bar->increment_;
        break;
    case SB_LINEDOWN:
        position += bar->increment_;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBPOSITION:
        position = HIWORD(message.WParam);
        break;
    case SB_THUMBTRACK:
        if (bar->tracking_) {
            position = HIWORD(message.WParam);
        }
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = bar->MaxPosition();
        break;
    default:
        break;
    }
    bar->SetPosition(position);
}

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (control == nullptr || HasState(csLoading) || control->HasState(csLoading) || !HasWindow()) {
        return;
    }
    const POINT origin = ScreenToClient(control->ClientOrigin());
    const RECT own = control->ClientRect();
    const int marginX = horzScrollBar_->margin_;
    const int marginY = vertScrollBar_->margin_;
    const RECT rect{origin.x + own.left - marginX, origin.y + own.top - marginY,
                    origin.x + own.right + marginX, origin.y + own.bottom + marginY};
    const RECT client = ClientRect();
    auto bringInside = [](TControlScrollBar* bar, int low, int high, int size) {
        if (low < 0) {
            bar->SetPosition(bar->Position() + low);
        } else if (high > size) {
            bar->SetPosition(bar->Position() + std::min(high - size, low));
        }
    };
    bringInside(horzScrollBar_, rect.left, rect.right, client.right);
    bringInside(vertScrollBar_, rect.top, rect.bottom, client.bottom);
}

void TScrollingWinControl::ScaleScrollBars(int multiplier, int divider) {
    horzScrollBar_->ScaleBy(multiplier, divider);
    vertScrollBar_->ScaleBy(multiplier, divider);
}

} // namespace velbrin
