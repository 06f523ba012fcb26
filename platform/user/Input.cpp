// Focus, activation and capture; routing of mouse and keyboard input; key
// state and the translation of keys to characters; cursors and icons.

#include "../gdi/Icon.h"
#include "Keyboard.h"
#include "SystemCursors.h"
#include "UserState.h"

#include <algorithm>
#include <cstdlib>

namespace platform::user {

namespace {

void SendActivateApp(bool active) {
    std::vector<HWND> windows = State().topLevels;
    for (HWND window : windows) {
        SendMessageA(window, WM_ACTIVATEAPP, active ? TRUE : FALSE,
                     static_cast<LPARAM>(GetCurrentThreadId()));
    }
}

bool Pressed(BYTE state) {
    return (state & 0x80) != 0;
}

WORD ClassStyleDoubleClicks(HWND window) {
    Window* w = Find(window);
    return w && (w->windowClass->info.style & CS_DBLCLKS);
}

UINT ButtonMessage(InputEvent::Button button, InputEvent::Kind kind) {
    int base = button == InputEvent::Button::Left    ? WM_LBUTTONDOWN
               : button == InputEvent::Button::Right ? WM_RBUTTONDOWN
                                                     : WM_MBUTTONDOWN;
    return kind == InputEvent::Kind::MouseDown ? base : base + 1;
}

// The double click of a press, when it follows the last one close enough in
// time and place on the same window; a third press starts again.
bool IsDoubleClick(HWND target, UINT down, POINT point, DWORD time) {
    UserState& state = State();
    bool doubled =
        !state.lastClickWasDouble && state.lastClickWindow == target &&
        state.lastClickMessage == down && time - state.lastClickTime <= GetDoubleClickTime() &&
        std::abs(point.x - state.lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(point.y - state.lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    state.lastClickWindow = target;
    state.lastClickMessage = down;
    state.lastClickTime = time;
    state.lastClickPoint = point;
    state.lastClickWasDouble = doubled;
    return doubled;
}

HWND HitTarget(POINT point, LRESULT& hit) {
    HWND target = DeepestWindowAt(point);
    LPARAM at = MAKELPARAM(point.x, point.y);
    while (target) {
        hit = SendMessageA(target, WM_NCHITTEST, 0, at);
        if (hit != HTTRANSPARENT) {
            break;
        }
        Window* w = Find(target);
        target = w ? w->parent : nullptr;
    }
    return target;
}

std::optional<MSG> RouteMouse(const InputEvent& event) {
    UserState& state = State();
    LRESULT hit = HTCLIENT;
    HWND target = state.capture;
    if (target == nullptr) {
        target = HitTarget(event.point, hit);
    }
    if (target == nullptr || !Find(target)) {
        return std::nullopt;
    }
    bool button = event.kind != InputEvent::Kind::MouseMove;
    UINT clientMessage = button ? ButtonMessage(event.button, event.kind) : WM_MOUSEMOVE;
    // A disabled window only hears of the press through WM_SETCURSOR, whose
    // default handling beeps.
    if (!state.capture && (!IsWindowEnabled(TopLevelOf(target)) || !IsWindowEnabled(target))) {
        SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                     MAKELPARAM(HTERROR, clientMessage));
        return std::nullopt;
    }
    bool client = hit == HTCLIENT;
    if (event.kind == InputEvent::Kind::MouseDown && !state.capture) {
        HWND top = TopLevelOf(target);
        if (top != state.active) {
            LRESULT how = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                       MAKELPARAM(hit, clientMessage));
            if (how == MA_ACTIVATE || how == MA_ACTIVATEANDEAT) {
                Activate(top, WA_CLICKACTIVE);
            }
            if (how == MA_ACTIVATEANDEAT || how == MA_NOACTIVATEANDEAT) {
                return std::nullopt;
            }
        }
        if (!Find(target)) {
            return std::nullopt;
        }
    }
    if (!state.capture) {
        SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                     MAKELPARAM(hit, clientMessage));
        if (!Find(target)) {
            return std::nullopt;
        }
    }
    UINT message = clientMessage;
    if (event.kind == InputEvent::Kind::MouseDown && (!client || ClassStyleDoubleClicks(target)) &&
        IsDoubleClick(target, clientMessage, event.point, event.time)) {
        message = clientMessage + 2;
    } else if (event.kind == InputEvent::Kind::MouseDown) {
        if (!client || !ClassStyleDoubleClicks(target)) {
            IsDoubleClick(target, clientMessage, event.point, event.time);
        }
    }
    MSG result{target, message, 0, 0, event.time, event.point};
    if (client) {
        POINT p = event.point;
        ScreenToClient(target, &p);
        result.wParam = event.keyFlags;
        result.lParam = MAKELPARAM(p.x, p.y);
    } else {
        result.message = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        result.wParam = static_cast<WPARAM>(hit);
        result.lParam = MAKELPARAM(event.point.x, event.point.y);
    }
    return result;
}

std::optional<MSG> RouteKey(const InputEvent& event) {
    UserState& state = State();
    HWND target = state.focus;
    bool system = event.altDown || event.virtualKey == VK_F10 || event.virtualKey == VK_MENU;
    if (target == nullptr) {
        target = state.active;
        system = true;
    }
    if (target == nullptr || !Find(target)) {
        return std::nullopt;
    }
    bool down = event.kind == InputEvent::Kind::KeyDown;
    UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    return MSG{target, message, event.virtualKey, event.keyData, event.time, state.cursorPos};
}

// The wheel turns what has the keyboard focus, wherever the pointer is;
// DefWindowProc passes it up to the parents.
std::optional<MSG> RouteWheel(const InputEvent& event) {
    UserState& state = State();
    HWND target = state.focus ? state.focus : state.active;
    if (target == nullptr || !Find(target)) {
        return std::nullopt;
    }
    UINT message = event.horizontalWheel ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    WPARAM wParam = MAKEWPARAM(event.keyFlags, static_cast<WORD>(event.wheelDelta));
    return MSG{target,     message,    wParam, MAKELPARAM(event.point.x, event.point.y),
               event.time, event.point};
}

} // namespace

std::optional<MSG> RouteInput(const InputEvent& event) {
    if (event.kind == InputEvent::Kind::CloseRequest) {
        if (!Find(event.target) || !IsWindowEnabled(event.target)) {
            return std::nullopt;
        }
        return MSG{event.target, WM_SYSCOMMAND, SC_CLOSE, 0, event.time, State().cursorPos};
    }
    if (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp) {
        return RouteKey(event);
    }
    if (event.kind == InputEvent::Kind::MouseWheel) {
        return RouteWheel(event);
    }
    return RouteMouse(event);
}

void ApplyKeyMessage(const MSG& message) {
    auto& keys = State().keyState;
    auto press = [&](int vk, bool down) {
        if (down && !Pressed(keys[vk])) {
            keys[vk] ^= 0x01;
        }
        keys[vk] = static_cast<BYTE>((keys[vk] & 0x01) | (down ? 0x80 : 0));
    };
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        int vk = static_cast<int>(message.wParam & 0xFF);
        press(vk, down);
        if (down) {
            State().lastKeyDown = vk;
        }
        if (int side = SidedKey(vk); side) {
            press(side, down);
        }
        return;
    }
    default:
        break;
    }
    if (message.message >= WM_LBUTTONDOWN && message.message <= WM_MBUTTONDBLCLK) {
        press(VK_LBUTTON, (message.wParam & MK_LBUTTON) != 0);
        press(VK_RBUTTON, (message.wParam & MK_RBUTTON) != 0);
        press(VK_MBUTTON, (message.wParam & MK_MBUTTON) != 0);
    }
}

void Activate(HWND window, WORD how) {
    UserState& state = State();
    HWND old = state.active;
    if (window == old || (window && !Find(window))) {
        return;
    }
    if (old && Find(old)) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0),
                     reinterpret_cast<LPARAM>(window));
    }
    if (window && !Find(window)) {
        window = nullptr;
    }
    state.active = window;
    if (window == nullptr) {
        // The application hears that it lost the activation, then its
        // window the focus.
        if (state.appActive) {
            state.appActive = false;
            SendActivateApp(false);
        }
        if (state.focus) {
            SetFocus(nullptr);
        }
        return;
    }
    if (!state.appActive) {
        state.appActive = true;
        SendActivateApp(true);
    }
    if (!Find(window) || state.active != window) {
        return;
    }
    PlaceInZOrder(window, HWND_TOP);
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(window) ? 1 : 0),
                 reinterpret_cast<LPARAM>(old));
    if (state.focus && TopLevelOf(state.focus) != state.active) {
        SetFocus(nullptr);
    }
}

void ForgetWindow(HWND window) {
    UserState& state = State();
    if (state.capture == window) {
        ReleaseCapture();
    }
    if (state.focus == window) {
        Window* w = Find(window);
        HWND parent = w ? w->parent : nullptr;
        if (parent && !Find(parent)->destroying) {
            SetFocus(parent);
        } else {
            state.focus = nullptr;
        }
    }
    if (state.active == window) {
        Window* w = Find(window);
        HWND owner = w ? w->owner : nullptr;
        state.active = nullptr;
        if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner)) {
            Activate(owner, WA_ACTIVE);
        } else if (state.appActive) {
            state.appActive = false;
            SendActivateApp(false);
        }
    }
    if (state.lastClickWindow == window) {
        state.lastClickWindow = nullptr;
    }
}

} // namespace platform::user

using namespace platform::user;

HWND SetFocus(HWND window) {
    UserState& state = State();
    HWND old = state.focus;
    if (window == nullptr) {
        state.focus = nullptr;
        if (old && Find(old)) {
            SendMessageA(old, WM_KILLFOCUS, 0, 0);
        }
        return old;
    }
    Window* w = Find(window);
    if (w == nullptr || w->destroying) {
        return Fail(1400, HWND{nullptr});
    }
    if (window == old) {
        return old;
    }
    // A disabled window (or one inside a disabled window) cannot take the
    // focus; a CBT hook may refuse it too.
    for (Window* up = w; up != nullptr; up = (up->style & WS_CHILD) ? Find(up->parent) : nullptr) {
        if (up->style & WS_DISABLED) {
            return nullptr;
        }
    }
    if (CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(window),
                  reinterpret_cast<LPARAM>(old)) != 0) {
        return nullptr;
    }
    HWND top = TopLevelOf(window);
    if (top != state.active) {
        Activate(top, WA_ACTIVE);
        if (!Find(window) || state.active != top) {
            return nullptr;
        }
        old = state.focus;
        if (old == window) {
            return old;
        }
    }
    state.focus = window;
    if (old && Find(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (state.focus == window && Find(window)) {
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    return State().focus;
}

HWND SetActiveWindow(HWND window) {
    UserState& state = State();
    HWND old = state.active;
    Window* w = Find(window);
    if (window && (w == nullptr || (w->style & WS_CHILD))) {
        return Fail(1400, HWND{nullptr});
    }
    Activate(window ? window : nullptr, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    return State().active;
}

HWND GetForegroundWindow() {
    return State().appActive ? State().active : nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    Activate(TopLevelOf(window), WA_ACTIVE);
    return TRUE;
}

HWND GetLastActivePopup(HWND owner) {
    UserState& state = State();
    if (!Find(owner)) {
        return nullptr;
    }
    if (state.active && Find(state.active) && Find(state.active)->owner == owner) {
        return state.active;
    }
    HWND found = owner;
    for (HWND top : state.topLevels) {
        Window* w = Find(top);
        if (w->owner == owner && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) {
            found = top;
            break;
        }
    }
    return found;
}

HWND SetCapture(HWND window) {
    UserState& state = State();
    HWND old = state.capture;
    if (window && !Find(window)) {
        return Fail(1400, HWND{nullptr});
    }
    state.capture = window;
    // The window that had the capture hears that it changed, even when it
    // takes the capture again itself.
    if (old && Find(old)) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return old;
}

BOOL ReleaseCapture() {
    UserState& state = State();
    HWND old = state.capture;
    state.capture = nullptr;
    if (old && Find(old)) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetCapture() {
    return State().capture;
}

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    BYTE state = State().keyState[virtualKey];
    return static_cast<SHORT>((Pressed(state) ? 0xFF80 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    return Pressed(State().asyncKeyState[virtualKey]) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (keyState == nullptr) {
        return FALSE;
    }
    std::copy(State().keyState.begin(), State().keyState.end(), keyState);
    return TRUE;
}

BOOL SetKeyboardState(BYTE* keyState) {
    if (keyState == nullptr) {
        return FALSE;
    }
    std::copy(keyState, keyState + 256, State().keyState.begin());
    return TRUE;
}

namespace {

// A double-byte character arrives as two messages, lead byte first.
void PostCharacter(HWND window, UINT charMessage, WORD typed, LPARAM keyData) {
    if (typed > 0xFF) {
        PostMessageA(window, charMessage, typed >> 8, keyData);
        PostMessageA(window, charMessage, typed & 0xFF, keyData);
    } else if (typed) {
        PostMessageA(window, charMessage, typed, keyData);
    }
}

} // namespace

// Every keyboard message counts as translated, whether or not a character
// follows; only key presses make characters.
BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) {
        return FALSE;
    }
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
        return TRUE;
    }
    bool system = msg->message == WM_SYSKEYDOWN;
    UINT charMessage = system ? WM_SYSCHAR : WM_CHAR;
    if ((msg->wParam & 0xFF) == VK_PACKET) {
        PostCharacter(msg->hwnd, charMessage, State().lastPacketChar, msg->lParam);
        return TRUE;
    }
    const auto& keys = State().keyState;
    const bool control = Pressed(keys[VK_CONTROL]) && !system;
    // The display's keyboard map knows what a key types; with Ctrl held the
    // control characters follow the platform's own rules.
    if (WORD mapped = State().lastPacketChar; mapped != 0 && !control) {
        PostCharacter(msg->hwnd, charMessage, mapped, msg->lParam);
        return TRUE;
    }
    int typed = CharacterOfKey(static_cast<int>(msg->wParam & 0xFF), Pressed(keys[VK_SHIFT]),
                               (keys[VK_CAPITAL] & 0x01) != 0, control);
    if (typed >= 0) {
        PostMessageA(msg->hwnd, charMessage, static_cast<WPARAM>(typed), msg->lParam);
    }
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
    if (point == nullptr) {
        return FALSE;
    }
    *point = State().cursorPos;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    SIZE screen = State().backend->ScreenSize();
    State().cursorPos = {std::clamp<LONG>(x, 0, screen.cx - 1),
                         std::clamp<LONG>(y, 0, screen.cy - 1)};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
    const platform::gdi::IconImage* picture = platform::gdi::IconOf(cursor);
    if (cursor != nullptr && picture == nullptr) {
        return Fail(1402 /* ERROR_INVALID_CURSOR_HANDLE */, HCURSOR{nullptr});
    }
    UserState& state = State();
    HCURSOR old = state.cursor;
    state.cursor = cursor;
    if (cursor != old) {
        state.backend->ChangeCursor(SystemCursorIdOf(cursor), picture);
    }
    return old;
}

HCURSOR GetCursor() {
    return State().cursor;
}

int ShowCursor(BOOL show) {
    return show ? ++State().cursorShowCount : --State().cursorShowCount;
}

UINT GetDoubleClickTime() {
    return 500;
}

BOOL MessageBeep(UINT) {
    ++State().beeps;
    return TRUE;
}
