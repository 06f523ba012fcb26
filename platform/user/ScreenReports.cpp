// What a display server reports, turned into the input, activation, close
// requests, repaints and sizes that Windows would make of it.

#include "platform/Screen.h"
#include "platform/Testing.h"

#include "../backends/Screens.h"
#include "InputQueue.h"
#include "UserState.h"

namespace platform::screen {

using namespace platform::user;

namespace {

// The top-level window's point on the platform's screen. The window's
// place follows what the server reports (Placed), so the two agree.
std::optional<POINT> OnScreen(HWND top, POINT windowPoint) {
    const Window* w = Find(top);
    if (w == nullptr) {
        return std::nullopt;
    }
    POINT origin = WindowOriginOnScreen(*w);
    return POINT{origin.x + windowPoint.x, origin.y + windowPoint.y};
}

InputEvent::Button ToButton(Button button) {
    return button == Button::Left    ? InputEvent::Button::Left
           : button == Button::Right ? InputEvent::Button::Right
                                     : InputEvent::Button::Middle;
}

// A press or a turn happens where the pointer is: a move first when the
// server's last motion left it elsewhere.
std::optional<POINT> PointerTo(HWND top, POINT windowPoint) {
    std::optional<POINT> at = OnScreen(top, windowPoint);
    if (at && (at->x != State().cursorPos.x || at->y != State().cursorPos.y)) {
        QueueMouseMove(*at);
    }
    return at;
}

} // namespace

void PointerMoved(HWND top, POINT windowPoint) {
    if (std::optional<POINT> at = OnScreen(top, windowPoint)) {
        QueueMouseMove(*at);
    }
}

void ButtonChanged(HWND top, POINT windowPoint, Button button, bool down) {
    if (PointerTo(top, windowPoint)) {
        QueueMouseButton(ToButton(button), down);
    }
}

void WheelTurned(HWND top, POINT windowPoint, WheelAxis axis, int delta) {
    if (PointerTo(top, windowPoint)) {
        QueueMouseWheel(delta, axis == WheelAxis::Horizontal);
    }
}

void KeyChanged(BYTE virtualKey, bool down, WORD character) {
    QueueKey(virtualKey, down, character);
}

void FocusChanged(HWND top, bool focused) {
    if (!Find(top)) {
        return;
    }
    if (focused && State().active != top && IsWindowEnabled(top)) {
        Activate(top, WA_ACTIVE);
    } else if (!focused && State().active == top) {
        Activate(nullptr, WA_INACTIVE);
    }
}

void CloseRequested(HWND top) {
    // The window manager's close button is the caption's close button.
    QueueCloseRequest(top);
}

void Exposed(HWND top, const RECT& windowArea) {
    if (Find(top)) {
        Present(top, Region(windowArea));
    }
}

void Placed(HWND top, const RECT& insideOnScreen) {
    const Window* w = Find(top);
    if (w == nullptr || (w->style & WS_MINIMIZE)) {
        return;
    }
    const RECT inside = InsideFrame(*w);
    const LONG x = insideOnScreen.left - inside.left;
    const LONG y = insideOnScreen.top - inside.top;
    const LONG width = (w->rect.right - w->rect.left) - (inside.right - inside.left) +
                       (insideOnScreen.right - insideOnScreen.left);
    const LONG height = (w->rect.bottom - w->rect.top) - (inside.bottom - inside.top) +
                        (insideOnScreen.bottom - insideOnScreen.top);
    if (x == w->rect.left && y == w->rect.top && width == w->rect.right - w->rect.left &&
        height == w->rect.bottom - w->rect.top) {
        return;
    }
    // The window hears of it as of any move and resize (WM_WINDOWPOSCHANGED,
    // WM_MOVE, WM_SIZE); the screen is told a place it already has.
    SetWindowPos(top, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace platform::screen

namespace platform {

bool UseX11Screen(const char* display, std::string* whyNot) {
    std::unique_ptr<Backend> x11 = MakeX11Screen(display, whyNot);
    if (!x11) {
        return false;
    }
    SetScreenPixelsPerInch(x11->PixelsPerInch());
    user::State().backend = std::move(x11);
    user::State().monitor = true;
    return true;
}

std::uintptr_t NativeWindowOf(HWND window) {
    const user::Window* w = user::Find(window);
    return w && !w->parent ? user::State().backend->NativeHandle(w->backendSurface) : 0;
}

} // namespace platform
