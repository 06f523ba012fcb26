// A windowed control's window: made when first needed, bound to the
// control, placed among its siblings, destroyed and made again.

#include "TWinControl.h"

#include "TControlCanvas.h"
#include "WinControlInternals.h"
#include "core/TList.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <cstdio>

namespace velbrin {

using namespace wincontrolinternals;

HWND TWinControl::Handle() {
    RequireWindow();
    return handle_;
}

void TWinControl::RequireWindow() {
    if (handle_ != nullptr) {
        return;
    }
    if (Parent() != nullptr) {
        Parent()->RequireWindow();
    }
    MakeWindow();
}

void TWinControl::PrepareWindowSpec(TCreateParams& params) {
    params = TCreateParams{};
    params.Caption = KeptText().c_str();
    params.Style = HasControlStyle(csAcceptsControls) ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
                                                      : WS_CHILD | WS_CLIPSIBLINGS;
    if (!Enabled() && !HasState(csDesigning)) {
        params.Style |= WS_DISABLED;
    }
    if (tabStop_) {
        params.Style |= WS_TABSTOP;
    }
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() != nullptr ? Parent()->Handle() : parentWindow_;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = &DefWindowProcA;
    params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    std::snprintf(params.WinClassName, sizeof params.WinClassName, "%s", ClassName());
}

void TWinControl::BuildWindow() {
    TCreateParams params;
    PrepareWindowSpec(params);
    if (params.WndParent == nullptr && (params.Style & WS_CHILD) != 0) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    priorWindowProc_ = params.WindowClass.lpfnWndProc;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA registered{};
    const bool found = GetClassInfoA(instance, params.WinClassName, &registered) != FALSE;
    if (!found || registered.lpfnWndProc != &ControlCreationProc) {
        if (found) {
            UnregisterClassA(params.WinClassName, instance);
        }
        params.WindowClass.lpfnWndProc = &ControlCreationProc;
        params.WindowClass.hInstance = instance;
        params.WindowClass.lpszClassName = params.WinClassName;
        if (RegisterClassA(&params.WindowClass) == 0) {
            throw ResourceError<EOutOfResources>(SWindowClass);
        }
    }
    creatingControl = this;
    try {
        CreateSystemWindow(params);
    } catch (...) {
        creatingControl = nullptr;
        throw;
    }
    creatingControl = nullptr;
    // The window keeps the caption from now on.
    FreeKeptText();
    ReadBoundsFromWindow();
    SendToSelf(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
}

void TWinControl::CreateSystemWindow(const TCreateParams& params) {
    HWND window = CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption, params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent,
                                  nullptr, GetModuleHandleA(nullptr), params.Param);
    if (window == nullptr) {
        if (handle_ != nullptr) {
            BoundWindows().erase(handle_);
            handle_ = nullptr;
        }
        throw ResourceError<EOutOfResources>(SWindowCreate);
    }
    handle_ = window;
}

void TWinControl::MakeWindow() {
    if (handle_ != nullptr) {
        return;
    }
    BuildWindow();
    SetPropA(handle_, AtomName(Atoms().windowAtom), this);
    SetPropA(handle_, AtomName(Atoms().controlAtom), this);
    if (Parent() != nullptr) {
        PlaceWindowInZOrder();
    }
}

// Directly behind the first later sibling that has a window, else on top.
void TWinControl::PlaceWindowInZOrder() {
    TList* siblings = Parent()->windowedChildren_;
    HWND after = HWND_TOP;
    for (int i = siblings->IndexOf(this) + 1; i < siblings->Count(); ++i) {
        TWinControl* sibling = WinControlAt(siblings, i);
        if (sibling->handle_ != nullptr) {
            after = sibling->handle_;
            break;
        }
    }
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroySystemWindow() {
    HWND window = handle_;
    DestroyWindow(window);
    // WM_NCDESTROY normally clears these; a window destroyed behind the
    // library's back must not leave them stale.
    BoundWindows().erase(window);
    handle_ = nullptr;
    isShowing_ = false;
}

void TWinControl::TearDownWindow() {
    SetKeptText(Text());
    ReleaseAllDCs();
    DestroySystemWindow();
}

void TWinControl::DropWindow() {
    if (handle_ == nullptr) {
        return;
    }
    for (int i = 0; i < CountOf(windowedChildren_); ++i) {
        WinControlAt(windowedChildren_, i)->DropWindow();
    }
    TearDownWindow();
}

void TWinControl::RebuildWindow() {
    if (handle_ != nullptr) {
        SendToSelf(CM_RECREATE_WND);
    }
}

void TWinControl::CMRecreateWnd(TMessage&) {
    const bool hadFocus = Focused();
    DropWindow();
    UpdateShowingState();
    if (hadFocus && handle_ != nullptr) {
        ::SetFocus(handle_);
    }
}

void TWinControl::SetParentWindow(HWND window) {
    if (Parent() != nullptr || window == parentWindow_) {
        return;
    }
    if (parentWindow_ != nullptr && window != nullptr && handle_ != nullptr) {
        parentWindow_ = window;
        ::SetParent(handle_, window);
    } else {
        DropWindow();
        parentWindow_ = window;
    }
    UpdateShowingState();
}

void TWinControl::ReadBoundsFromWindow() {
    RECT rect{};
    if (IsIconic(handle_)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(handle_, &placement);
        rect = placement.rcNormalPosition;
    } else {
        GetWindowRect(handle_, &rect);
    }
    if ((GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) != 0) {
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        MapWindowPoints(nullptr, GetParent(handle_), corners, 2);
        rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    StoreBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TWinControl::WMDestroy(TMessage& message) {
    Inherited(message);
    RemovePropA(handle_, AtomName(Atoms().windowAtom));
    RemovePropA(handle_, AtomName(Atoms().controlAtom));
}

void TWinControl::WMNCDestroy(TMessage& message) {
    Inherited(message);
    BoundWindows().erase(handle_);
    handle_ = nullptr;
    isShowing_ = false;
}

} // namespace velbrin
