// How a windowed control takes its messages: the entry from its window
// procedure, the routing of mouse messages to non-windowed children, the
// default handling, notifications reflected to the child control they
// come from, and system notices passed down to the children.

#include "TWinControl.h"

#include "SystemCallback.h"
#include "TControlCanvas.h"
#include "WinControlInternals.h"
#include "graphics/TBrush.h"
#include "graphics/TCanvas.h"
#include "graphics/TFont.h"
#include "runtime/Messages.h"

namespace velbrin {

using namespace wincontrolinternals;

void TWinControl::WindowEntry(TMessage& message) {
    try {
        MessageRouter(message);
        ReleaseAllDCs();
    } catch (...) {
        ReleaseAllDCs();
        ReportRaisedException(LiveControls().contains(this) ? this : nullptr,
                              std::current_exception());
    }
}

// The form hears of the focus arriving first and may refuse it; a control
// in the middle of taking the focus hears nothing of losing it.
bool TWinControl::FocusNoticeSwallowed(const TMessage& message) {
    if (message.Msg == WM_SETFOCUS) {
        TWinControl* form = ParentForm();
        return form != nullptr && !form->NoteFocusedControl(this);
    }
    return message.Msg == WM_KILLFOCUS && HasControlState(csFocusing);
}

void TWinControl::HandleWindowMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (FocusNoticeSwallowed(message)) {
            return;
        }
        break;
    case WM_CANCELMODE:
        if (handle_ != nullptr && GetCapture() == handle_) {
            TControl* captured = CaptureControl();
            if (captured != nullptr && captured != this && captured->Parent() == this) {
                captured->SendToSelf(WM_CANCELMODE);
            }
        }
        break;
    case WM_NCHITTEST:
        TControl::HandleWindowMessage(message);
        if (message.Result == HTTRANSPARENT) {
            const POINT screen = PointOfMessage(message);
            if (ChildAtPoint(ScreenToClient(screen), false) != nullptr) {
                message.Result = HTCLIENT;
            }
        }
        return;
    default:
        if (IsClientMouseMessage(message.Msg) && RouteMouseToChild(message)) {
            return;
        }
        if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST && KeyEndsInDrag(message)) {
            return;
        }
        break;
    }
    TControl::HandleWindowMessage(message);
}

// While a control is dragged, Escape cancels the drag, and the dragged
// control hears no keys.
bool TWinControl::KeyEndsInDrag(const TMessage& message) {
    TControl* dragged = DraggedControl();
    if (dragged == nullptr) {
        return false;
    }
    if (message.Msg == WM_KEYDOWN && message.WParam == VK_ESCAPE) {
        dragged->EndDrag(false);
        return true;
    }
    return dragged == this;
}

// Offers a mouse message to the non-windowed child that has the capture or
// lies under the point; true when one took it.
bool TWinControl::RouteMouseToChild(TMessage& message) {
    TControl* target = nullptr;
    if (handle_ != nullptr && GetCapture() == handle_) {
        TControl* captured = CaptureControl();
        if (captured != nullptr && captured != this && captured->Parent() == this) {
            target = captured;
        }
    } else {
        target = ChildAtPoint(PointOfMessage(message), false);
    }
    if (target == nullptr) {
        return false;
    }
    POINT point = PointOfMessage(message);
    point.x -= target->Left();
    point.y -= target->Top();
    message.Result = target->SendToSelf(message.Msg, message.WParam, PointToLParam(point));
    return true;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (handle_ == nullptr) {
        TControl::DefaultHandler(message);
        return;
    }
    if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
        message.Result = SendMessageA(reinterpret_cast<HWND>(message.LParam), message.Msg + CN_BASE,
                                      message.WParam, message.LParam);
        return;
    }
    // A system control asks its parent how to colour itself; the request
    // comes back here, and the answer is this control's font and brush.
    if (message.Msg >= CN_CTLCOLORMSGBOX && message.Msg <= CN_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ResolveColor(Font()->Color()));
        SetBkColor(dc, ResolveColor(brush_->Color()));
        message.Result = reinterpret_cast<LRESULT>(brush_->Handle());
        return;
    }
    message.Result =
        CallWindowProcA(priorWindowProc_ != nullptr ? priorWindowProc_ : &DefWindowProcA, handle_,
                        message.Msg, message.WParam, message.LParam);
}

// Reflects a notification to the library control whose window sent it.
bool TWinControl::ReflectToChild(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (control == nullptr) {
        return false;
    }
    message.Result = control->SendToSelf(message.Msg + CN_BASE, message.WParam, message.LParam);
    return true;
}

void TWinControl::WMCommand(TMessage& message) {
    if (!ReflectToChild(message, reinterpret_cast<HWND>(message.LParam))) {
        Inherited(message);
    }
}

void TWinControl::WMNotify(TMessage& message) {
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    if (header == nullptr || !ReflectToChild(message, header->hwndFrom)) {
        Inherited(message);
    }
}

template <typename ItemRecord> void TWinControl::WMItemMessage(TMessage& message) {
    const auto* item = reinterpret_cast<const ItemRecord*>(message.LParam);
    if (item == nullptr || !ReflectToChild(message, item->hwndItem)) {
        Inherited(message);
    }
}

// The class's message table, in another file, takes these three.
template void TWinControl::WMItemMessage<DRAWITEMSTRUCT>(TMessage&);
template void TWinControl::WMItemMessage<COMPAREITEMSTRUCT>(TMessage&);
template void TWinControl::WMItemMessage<DELETEITEMSTRUCT>(TMessage&);

// The measuring record names no window, only the control's identifier
// among this window's children.
void TWinControl::WMMeasureItem(TMessage& message) {
    const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(message.LParam);
    HWND child = item != nullptr && HasWindow() ? GetDlgItem(handle_, static_cast<int>(item->CtlID))
                                                : nullptr;
    if (child == nullptr || !ReflectToChild(message, child)) {
        Inherited(message);
    }
}

void TWinControl::WMParentNotify(TMessage& message) {
    const WORD event = LOWORD(message.WParam);
    const bool reflected = (event == WM_CREATE || event == WM_DESTROY) &&
                           ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
    if (!reflected) {
        Inherited(message);
    }
}

// System notices are performed as the matching control message, which goes
// down to every child; system colours are resolved afresh first.
void TWinControl::WMSystemChange(TMessage& message) {
    UINT notice = CM_TIME_CHANGE;
    switch (message.Msg) {
    case WM_SYSCOLORCHANGE:
        ReleaseSystemColorObjects();
        notice = CM_SYS_COLOR_CHANGE;
        break;
    case WM_WININICHANGE:
        notice = CM_WIN_INI_CHANGE;
        break;
    case WM_FONTCHANGE:
        notice = CM_FONT_CHANGE;
        break;
    default:
        break;
    }
    SendToSelf(notice, message.WParam, message.LParam);
    Inherited(message);
}

} // namespace velbrin
