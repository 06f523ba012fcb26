// Keys: what a windowed control does with key messages, the form's
// dialog keys and short-cuts before the control, and the key events.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "runtime/Messages.h"

namespace velbrin {

using namespace wincontrolinternals;

namespace {

// The dialog code bit a control sets to keep a navigation key; 0 for other keys.
LRESULT DialogCodeForKey(WPARAM key) {
    switch (key) {
    case VK_TAB:
        return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return DLGC_WANTARROWS;
    case VK_CANCEL:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
        return DLGC_WANTALLKEYS;
    default:
        return 0;
    }
}

} // namespace

// Alt with a letter asks the form first, so that the application's menu
// short-cuts reach a form without a menu of its own.
void TWinControl::WMSysCommand(TMessage& message) {
    const bool menuKey = (message.WParam & 0xFFF0) == SC_KEYMENU;
    const auto character = static_cast<char>(LOWORD(message.LParam));
    const TControlEnvironment& environment = Environment();
    const bool mainForm = environment.MainForm && environment.MainForm() == this;
    if (menuKey && character != ' ' && character != '-' && !IsIconic(handle_) &&
        GetCapture() == nullptr && !mainForm) {
        TWinControl* form = ParentForm();
        if (form != nullptr &&
            form->SendToSelf(CM_APP_SYS_COMMAND, 0, reinterpret_cast<LPARAM>(&message)) != 0) {
            return;
        }
    }
    Inherited(message);
}

bool TWinControl::KeyEventsAllowed() const {
    return !HasControlStyle(csNoStdEvents);
}

TShiftState TWinControl::KeyShiftOf(const TMessage& message) const {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= ssShift;
    }
    if ((static_cast<DWORD>(message.LParam) & (1u << 29)) != 0) {
        shift |= ssAlt;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= ssCtrl;
    }
    return shift;
}

// A form that previews keys sees them before its focused control.
bool TWinControl::FormTakesKey(TMessage& message) {
    TWinControl* form = ParentForm();
    return form != nullptr && form != this && form->PreviewKey(message);
}

bool TWinControl::DoKeyDown(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<WORD>(message.WParam);
        const auto watch = LifeWatch();
        KeyDown(key, KeyShiftOf(message));
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = key;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<WORD>(message.WParam);
        const auto watch = LifeWatch();
        KeyUp(key, KeyShiftOf(message));
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = key;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<char>(message.WParam);
        const auto watch = LifeWatch();
        KeyPress(key);
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = static_cast<BYTE>(key);
    }
    return false;
}

void TWinControl::WMKeyDown(TMessage& message) {
    if (!DoKeyDown(message)) {
        Inherited(message);
    }
}

void TWinControl::WMKeyUp(TMessage& message) {
    if (!DoKeyUp(message)) {
        Inherited(message);
    }
}

void TWinControl::WMChar(TMessage& message) {
    if (!DoKeyPress(message)) {
        Inherited(message);
    }
}

LRESULT TWinControl::AskFormForDialogKey(UINT number, const TMessage& message) {
    TWinControl* form = ParentForm();
    return form == nullptr ? 0 : form->SendToSelf(number, message.WParam, message.LParam);
}

// A key the focused control does not keep for itself may be the form's
// (Tab, arrows, Enter, Escape); a non-zero result means it was used.
void TWinControl::CNKeyDown(TMessage& message) {
    message.Result = 1;
    // The main form's menu short-cuts come first; the application knows them.
    const TControlEnvironment& environment = Environment();
    HWND application = environment.ApplicationWindow ? environment.ApplicationWindow() : nullptr;
    if (application != nullptr &&
        SendMessageA(application, CM_APP_KEY_DOWN, message.WParam, message.LParam) != 0) {
        return;
    }
    if (!HasState(csDesigning)) {
        if (SendToSelf(CM_CHILD_KEY, message.WParam, reinterpret_cast<LPARAM>(this)) != 0) {
            return;
        }
        if (message.Msg == CN_SYSKEYDOWN) {
            if (AskFormForDialogKey(CM_DIALOG_KEY, message) != 0) {
                return;
            }
        } else if (const LRESULT wanted = DialogCodeForKey(message.WParam); wanted != 0) {
            if (SendToSelf(CM_WANT_SPECIAL_KEY, message.WParam) == 0 &&
                (SendToSelf(WM_GETDLGCODE) & wanted) == 0 &&
                AskFormForDialogKey(CM_DIALOG_KEY, message) != 0) {
                return;
            }
        }
    }
    message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& message) {
    message.Result = 0;
    if (DialogCodeForKey(message.WParam) != 0) {
        message.Result = SendToSelf(CM_WANT_SPECIAL_KEY, message.WParam);
    }
}

void TWinControl::CNChar(TMessage& message) {
    message.Result = 0;
    if (!HasState(csDesigning) && (SendToSelf(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0 &&
        AskFormForDialogKey(CM_DIALOG_CHAR, message) != 0) {
        message.Result = 1;
    }
}

void TWinControl::CNSysChar(TMessage& message) {
    message.Result = 0;
    if (!HasState(csDesigning) && message.WParam != ' ') {
        message.Result = AskFormForDialogKey(CM_DIALOG_CHAR, message);
    }
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    OnKeyPress(this, key);
}

} // namespace velbrin
