// Where a windowed control lies: its client area, its bounds kept in
// step with its window, scaling, scrolling its children and its place in
// the z-order.

#include "TWinControl.h"

#include "core/TList.h"

namespace velbrin {

POINT TWinControl::GetClientOrigin() {
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    return origin;
}

RECT TWinControl::GetClientRect() {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    left = Bounded(left);
    top = Bounded(top);
    width = Bounded(width);
    height = Bounded(height);
    if (left == Left() && top == Top() && width == Width() && height == Height()) {
        return;
    }
    if (handle_ != nullptr && !IsIconic(handle_)) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        StoreBounds(left, top, width, height);
        if (handle_ != nullptr) {
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            GetWindowPlacement(handle_, &placement);
            placement.rcNormalPosition = BoundsRect();
            SetWindowPlacement(handle_, &placement);
        }
    }
    RequestRealign();
}

void TWinControl::ScaleControl(int multiplier, int divider) {
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) {
            Controls(i)->ScaleControl(multiplier, divider);
        }
        TControl::ScaleControl(multiplier, divider);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TWinControl::WMSize(TMessage& message) {
    ReadBoundsFromWindow();
    Inherited(message);
    Realign();
}

void TWinControl::WMMove(TMessage& message) {
    Inherited(message);
    ReadBoundsFromWindow();
}

void TWinControl::WMWindowPosChanged(TMessage& message) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    const bool reshaped =
        position != nullptr && (position->flags & SWP_NOREDRAW) == 0 &&
        (position->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
    const bool framed = reshaped && ctl3D_ && HasControlStyle(csFramed) && Parent() != nullptr;
    if (framed) {
        InvalidateFrame();
    }
    if (handle_ != nullptr) {
        ReadBoundsFromWindow();
    }
    Inherited(message);
    if (framed) {
        InvalidateFrame();
    }
}

void TWinControl::ScrollBy(int dx, int dy) {
    const bool visibleWindow = handle_ != nullptr && IsWindowVisible(handle_);
    if (visibleWindow) {
        ScrollWindow(handle_, dx, dy, nullptr, nullptr);
    }
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (windowed == nullptr || windowed->handle_ == nullptr) {
            child->StoreBounds(child->Left() + dx, child->Top() + dy, child->Width(),
                               child->Height());
        } else if (!visibleWindow) {
            SetWindowPos(windowed->handle_, nullptr, child->Left() + dx, child->Top() + dy,
                         child->Width(), child->Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    Realign();
}

void TWinControl::SetZOrder(bool top) {
    if (Parent() == nullptr) {
        if (handle_ != nullptr) {
            SetWindowPos(handle_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE);
        }
        return;
    }
    TList* siblings = Parent()->windowedChildren_;
    const int index = siblings->IndexOf(this);
    const int target = top ? siblings->Count() - 1 : 0;
    if (index >= 0 && index != target) {
        siblings->Delete(index);
        siblings->Insert(target, this);
    }
    if (handle_ != nullptr) {
        SetWindowPos(handle_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

} // namespace velbrin
