// How a windowed control looks: its font, colour, 3-D look and cursor.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"
#include "runtime/Messages.h"

namespace velbrin {

using namespace wincontrolinternals;

void TWinControl::CMFontChanged(TMessage& message) {
    Inherited(message);
    if (handle_ != nullptr) {
        SendToSelf(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    }
    TMessage notice{CM_PARENT_FONT_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

// The cursor changes at once when the mouse is over this control.
void TWinControl::CMCursorChanged(TMessage&) {
    if (GetCapture() != nullptr || handle_ == nullptr) {
        return;
    }
    POINT mouse{};
    GetCursorPos(&mouse);
    if (ControlAtScreenPoint(mouse, false) == this) {
        SendToSelf(WM_SETCURSOR, reinterpret_cast<WPARAM>(handle_), HTCLIENT);
    }
}

// The screen's cursor wins over every control's; then the cursor of the
// non-windowed child under the mouse, then the control's own.
void TWinControl::WMSetCursor(TMessage& message) {
    const TControlEnvironment& environment = Environment();
    if (reinterpret_cast<HWND>(message.WParam) == handle_) {
        const auto hit = static_cast<short>(LOWORD(message.LParam));
        if (hit == HTERROR) {
            if (HIWORD(message.LParam) == WM_LBUTTONDOWN && BringLastActivePopupForward()) {
                return;
            }
        } else if (hit == HTCLIENT && !HasState(csDesigning) && environment.CursorHandle) {
            TCursor cursor = environment.ScreenCursor ? environment.ScreenCursor() : crDefault;
            if (cursor == crDefault) {
                POINT mouse{};
                GetCursorPos(&mouse);
                TControl* child = ChildAtPoint(ScreenToClient(mouse), false);
                cursor = child != nullptr ? child->Cursor() : crDefault;
            }
            if (cursor == crDefault) {
                cursor = Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(environment.CursorHandle(cursor));
                message.Result = 1;
                return;
            }
        }
    }
    Inherited(message);
}

// A click on a window that a pop-up of the application disables brings that
// pop-up forward; false when it already is.
bool TWinControl::BringLastActivePopupForward() {
    const TControlEnvironment& environment = Environment();
    HWND application = environment.ApplicationWindow ? environment.ApplicationWindow() : nullptr;
    HWND popup = application != nullptr ? GetLastActivePopup(application) : nullptr;
    if (popup == nullptr || popup == GetForegroundWindow()) {
        return false;
    }
    if (IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        SetForegroundWindow(popup);
    }
    return true;
}

void TWinControl::CMColorChanged(TMessage& message) {
    Inherited(message);
    brush_->SetColor(Color());
    TMessage notice{CM_PARENT_COLOR_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

void TWinControl::SetCtl3D(bool value) {
    if (value == ctl3D_) {
        return;
    }
    ctl3D_ = value;
    parentCtl3D_ = false;
    SendToSelf(CM_CTL3D_CHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
    if (value == parentCtl3D_) {
        return;
    }
    parentCtl3D_ = value;
    if (Parent() != nullptr) {
        SendToSelf(CM_PARENT_CTL3D_CHANGED);
    }
}

void TWinControl::CMCtl3DChanged(TMessage&) {
    if (Parent() != nullptr && HasControlStyle(csFramed) && handle_ != nullptr &&
        IsWindowVisible(handle_)) {
        InvalidateFrame();
    }
    TMessage notice{CM_PARENT_CTL3D_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

void TWinControl::CMParentCtl3DChanged(TMessage&) {
    if (parentCtl3D_ && Parent() != nullptr) {
        SetCtl3D(Parent()->ctl3D_);
        parentCtl3D_ = true;
    }
}

} // namespace velbrin
