// Whether a windowed control shows: its window shown or hidden as the
// control and every parent are visible, and the focus taken from what
// hides or is disabled.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "runtime/Messages.h"

namespace velbrin {

using namespace wincontrolinternals;

void TWinControl::RefreshShowing() {
    const bool show = ShowsNow() && !HasControlState(csReadingState);
    if (show) {
        if (handle_ == nullptr) {
            MakeWindow();
        }
        for (int i = 0; i < CountOf(windowedChildren_); ++i) {
            WinControlAt(windowedChildren_, i)->RefreshShowing();
        }
    }
    if (handle_ != nullptr && isShowing_ != show) {
        isShowing_ = show;
        try {
            SendToSelf(CM_SHOWING_CHANGED);
        } catch (...) {
            isShowing_ = !show;
            throw;
        }
    }
}

// Refreshes the showing state once every parent shows and the topmost one
// can hold windows: a form, or a control placed in a foreign window.
void TWinControl::UpdateShowingState() {
    const TWinControl* top = this;
    for (const TWinControl* p = Parent(); p != nullptr; p = p->Parent()) {
        if (!p->isShowing_) {
            return;
        }
        top = p;
    }
    if (top->IsFormRoot() || top->parentWindow_ != nullptr) {
        RefreshShowing();
    }
}

void TWinControl::CMShowingChanged(TMessage&) {
    const UINT common = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 common | (isShowing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::DefocusInForm() {
    TWinControl* form = Parent() != nullptr ? ParentForm() : nullptr;
    if (form != nullptr) {
        form->DefocusControl(this, false);
    }
}

void TWinControl::CMVisibleChanged(TMessage&) {
    if (!Visible()) {
        DefocusInForm();
    }
    if (!HasState(csDesigning) || HasControlStyle(csNoDesignVisible)) {
        UpdateShowingState();
    }
}

void TWinControl::CMEnabledChanged(TMessage&) {
    if (!Enabled()) {
        DefocusInForm();
    }
    if (handle_ != nullptr && !HasState(csDesigning)) {
        EnableWindow(handle_, Enabled() ? TRUE : FALSE);
    }
}

void TWinControl::CMShowHintChanged(TMessage& message) {
    Inherited(message);
    TMessage notice{CM_PARENT_SHOW_HINT_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

} // namespace velbrin
