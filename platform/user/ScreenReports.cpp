// What a display server reports, turned into the input, activation, close
// requests, repaints and sizes that Windows would make of it.

#include "platform/Screen.h"

#include "../backends/Screens.h"
#include "InputQueue.h"
#include "Keyboard.h"
#include "UserState.h"

namespace platform::screen {

using namespace platform::user;

namespace {

// The top-level window's client point on the platform's screen; the
// platform's own idea of where the window is decides, not the server's.
std::optional<POINT> OnScreen(HWND top, POINT clientPoint) {
    const Window* w = Find(top);
    if (w == nullptr) {
        return std::nullopt;
    }
    POINT origin = ClientOriginOnScreen(*w);
    return POINT{origin.x + clientPoint.x, origin.y + clientPoint.y};
}

InputEvent::Button ToButton(Button button) {
    return button == Button::Left    ? InputEvent::Button::Left
           : button == Button::Right ? InputEvent::Button::Right
                                     : InputEvent::Button::Middle;
}

} // namespace

void PointerMoved(HWND top, POINT clientPoint) {
    if (std::optional<POINT> at = OnScreen(top, clientPoint)) {
        QueueMouseMove(*at);
    }
}

void ButtonChanged(HWND top, POINT clientPoint, Button button, bool down) {
    std::optional<POINT> at = OnScreen(top, clientPoint);
    if (!at) {
        return;
    }
    if (at->x != State().cursorPos.x || at->y != State().cursorPos.y) {
        QueueMouseMove(*at);
    }
    QueueMouseButton(ToButton(button), down);
}

void KeyChanged(BYTE virtualKey, bool down) {
    QueueKey(virtualKey, down);
}

void CharacterKeyChanged(char unshifted, bool down) {
    std::optional<KeyStroke> stroke = KeyForCharacter(static_cast<unsigned char>(unshifted));
    if (stroke) {
        QueueKey(static_cast<BYTE>(stroke->virtualKey), down);
    }
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

void Exposed(HWND top, const RECT& clientArea) {
    const Window* w = Find(top);
    if (w == nullptr) {
        return;
    }
    RECT onSurface{clientArea.left + w->client.left, clientArea.top + w->client.top,
                   clientArea.right + w->client.left, clientArea.bottom + w->client.top};
    Present(top, Region(onSurface));
}

void ClientResized(HWND top, SIZE clientSize) {
    const Window* w = Find(top);
    if (w == nullptr || (w->style & WS_MINIMIZE)) {
        return;
    }
    LONG dx = clientSize.cx - (w->client.right - w->client.left);
    LONG dy = clientSize.cy - (w->client.bottom - w->client.top);
    if (dx == 0 && dy == 0) {
        return;
    }
    SetWindowPos(top, nullptr, 0, 0, w->rect.right - w->rect.left + dx,
                 w->rect.bottom - w->rect.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace platform::screen

namespace platform {

bool UseX11Screen(const char* display) {
    std::unique_ptr<Backend> x11 = MakeX11Screen(display);
    if (!x11) {
        return false;
    }
    user::State().backend = std::move(x11);
    user::State().monitor = true;
    return true;
}

std::uintptr_t NativeWindowOf(HWND window) {
    const user::Window* w = user::Find(window);
    return w && !w->parent ? user::State().backend->NativeHandle(w->backendSurface) : 0;
}

} // namespace platform
