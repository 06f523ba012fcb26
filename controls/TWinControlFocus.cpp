// The focus: a windowed control's tab order, moving the focus between
// controls, entering and leaving, and the input method while focused.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "core/TList.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

using namespace wincontrolinternals;

void TWinControl::WMFocusChange(TMessage& message) {
    Inherited(message);
    if (GetSystemMetrics(SM_DBCSENABLED) != 0) {
        AdjustInputMethod(message.Msg == WM_SETFOCUS);
    }
}

// A control may name its own input method, switched to while it has the
// focus; one that disables the input method gets it back as it leaves.
void TWinControl::AdjustInputMethod(bool focused) {
    const TControlEnvironment& environment = Environment();
    const std::string defaultIme = environment.DefaultIme ? environment.DefaultIme() : "";
    if (!imeName_.empty() && imeName_ != defaultIme) {
        HKL layout = nullptr;
        if (focused && imeMode_ != imDisable && environment.ImeLayout) {
            layout = environment.ImeLayout(imeName_);
        } else if (!focused && environment.DefaultKeyboardLayout) {
            layout = environment.DefaultKeyboardLayout();
        }
        if (layout != nullptr) {
            ActivateKeyboardLayout(layout, 0);
        }
    }
    if (imeMode_ != imDisable) {
        return;
    }
    using EnableImeProc = BOOL(WINAPI*)(HWND, BOOL);
    auto enableIme = reinterpret_cast<EnableImeProc>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("USER32.DLL"), "WINNLSEnableIME")));
    if (enableIme != nullptr) {
        enableIme(handle_, focused ? FALSE : TRUE);
    }
}

void TWinControl::WMImeComposition(TMessage& message) {
    imeComposing_ = message.Msg == WM_IME_STARTCOMPOSITION;
    Inherited(message);
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr || Parent()->tabList_ == nullptr) {
        return -1;
    }
    return Parent()->tabList_->IndexOf(this);
}

void TWinControl::SetTabOrder(int value) {
    if (HasControlState(csReadingState)) {
        pendingTabOrder_ = static_cast<std::int16_t>(value);
        return;
    }
    MoveInTabList(value);
}

void TWinControl::MoveInTabList(int position) {
    if (Parent() == nullptr || Parent()->tabList_ == nullptr) {
        return;
    }
    TList& list = *Parent()->tabList_;
    const int current = list.IndexOf(this);
    if (current < 0) {
        return;
    }
    // A 16-bit order with its top bit set is negative: the first place.
    const int target =
        std::clamp(static_cast<int>(static_cast<std::int16_t>(position)), 0, list.Count() - 1);
    if (target != current) {
        list.Delete(current);
        list.Insert(target, this);
    }
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) {
        return;
    }
    tabStop_ = value;
    if (handle_ != nullptr) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        style = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        SetWindowLongA(handle_, GWL_STYLE, style);
    }
    SendToSelf(CM_TAB_STOP_CHANGED);
}

void TWinControl::CollectTabOrder(TList& list) {
    for (int i = 0; i < CountOf(tabList_); ++i) {
        TWinControl* child = WinControlAt(tabList_, i);
        list.Add(child);
        child->CollectTabOrder(list);
    }
}

TWinControl* TWinControl::ParentForm() {
    TWinControl* top = this;
    while (top->Parent() != nullptr) {
        top = top->Parent();
    }
    return top->IsFormRoot() ? top : nullptr;
}

bool TWinControl::IsFocusable() {
    TWinControl* form = ParentForm();
    if (form == nullptr) {
        return false;
    }
    for (TWinControl* c = this; c != form; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) {
            return false;
        }
    }
    return true;
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    TWinControl* form = ParentForm();
    if (form == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    form->FocusDescendant(this);
}

void TWinControl::FocusDescendant(TWinControl* control) {
    ::SetFocus(control->Handle());
}

TWinControl* TWinControl::NextTabControl(TWinControl* current, bool forward, bool checkTabStop,
                                         bool checkParent) {
    TList list;
    CollectTabOrder(list);
    const int count = list.Count();
    if (count == 0) {
        return nullptr;
    }
    int index = list.IndexOf(current);
    if (index < 0) {
        index = forward ? count - 1 : 0;
    }
    for (int step = 0; step < count; ++step) {
        index = forward ? (index + 1) % count : (index + count - 1) % count;
        TWinControl* candidate = WinControlAt(&list, index);
        if (candidate->IsFocusable() && (!checkTabStop || candidate->tabStop_) &&
            (!checkParent || candidate->Parent() == this)) {
            return candidate;
        }
    }
    return nullptr;
}

void TWinControl::FocusNextInTabOrder(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = NextTabControl(current, forward, checkTabStop, !checkTabStop)) {
        next->SetFocus();
    }
}

void TWinControl::CMEnter(TMessage&) {
    DoEnter();
}

void TWinControl::CMExit(TMessage&) {
    DoExit();
}

void TWinControl::DoEnter() {
    OnEnter(this);
}

void TWinControl::DoExit() {
    OnExit(this);
}

} // namespace velbrin
