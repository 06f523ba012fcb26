// The testing hooks: input injection, running the queue, the virtual clock,
// window pixels and message boxes.

#include "platform/UserTesting.h"

#include "../backends/headless/HeadlessScreen.h"
#include "InputQueue.h"
#include "Keyboard.h"
#include "UserState.h"

namespace platform {

using namespace user;

namespace {

HeadlessScreen* Headless() {
    return dynamic_cast<HeadlessScreen*>(State().backend.get());
}

InputEvent::Button ToButton(MouseButton button) {
    return button == MouseButton::Left    ? InputEvent::Button::Left
           : button == MouseButton::Right ? InputEvent::Button::Right
                                          : InputEvent::Button::Middle;
}

} // namespace

void UseHeadlessScreen(int width, int height, int pixelsPerInch) {
    State().backend = std::make_unique<HeadlessScreen>(width, height, pixelsPerInch);
}

void MoveMouse(POINT screenPoint) {
    QueueMouseMove(screenPoint);
}

void PressMouse(MouseButton button) {
    QueueMouseButton(ToButton(button), true);
}

void ReleaseMouse(MouseButton button) {
    QueueMouseButton(ToButton(button), false);
}

void TurnMouseWheel(int delta) {
    QueueMouseWheel(delta, false);
}

POINT ScreenPointOf(HWND window, POINT clientPoint) {
    ClientToScreen(window, &clientPoint);
    return clientPoint;
}

void ClickAt(HWND window, POINT clientPoint, MouseButton button) {
    MoveMouse(ScreenPointOf(window, clientPoint));
    PressMouse(button);
    ReleaseMouse(button);
}

void PressKey(BYTE virtualKey) {
    QueueKey(virtualKey, true);
}

void ReleaseKey(BYTE virtualKey) {
    QueueKey(virtualKey, false);
}

void TapKey(BYTE virtualKey) {
    PressKey(virtualKey);
    ReleaseKey(virtualKey);
}

void TypeText(const std::string& shiftJisText) {
    for (std::size_t i = 0; i < shiftJisText.size(); ++i) {
        auto byte = static_cast<unsigned char>(shiftJisText[i]);
        if (IsDBCSLeadByte(byte) && i + 1 < shiftJisText.size()) {
            WORD character =
                static_cast<WORD>((byte << 8) | static_cast<unsigned char>(shiftJisText[++i]));
            QueueKey(VK_PACKET, true, character);
            QueueKey(VK_PACKET, false, character);
            continue;
        }
        std::optional<KeyStroke> stroke = KeyForCharacter(byte);
        if (!stroke) {
            QueueKey(VK_PACKET, true, byte);
            QueueKey(VK_PACKET, false, byte);
            continue;
        }
        bool shiftHeld = (State().asyncKeyState[VK_SHIFT] & 0x80) != 0;
        if (stroke->shift && !shiftHeld) {
            PressKey(VK_SHIFT);
        }
        TapKey(static_cast<BYTE>(stroke->virtualKey));
        if (stroke->shift && !shiftHeld) {
            ReleaseKey(VK_SHIFT);
        }
    }
}

int RunUntilIdle() {
    // A window that never validates its update region would keep this going;
    // the bound turns that fault into a finite run a test can see.
    constexpr int kLimit = 100000;
    int dispatched = 0;
    MSG msg;
    while (dispatched < kLimit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++dispatched;
    }
    return dispatched;
}

void AdvanceClock(DWORD milliseconds) {
    HeadlessScreen* screen = Headless();
    if (screen == nullptr) {
        return;
    }
    DWORD target = screen->Now() + milliseconds;
    for (;;) {
        RunUntilIdle();
        std::optional<DWORD> next;
        for (const Timer& timer : State().timers) {
            if (!next || static_cast<LONG>(timer.due - *next) < 0) {
                next = timer.due;
            }
        }
        if (!next || static_cast<LONG>(*next - target) > 0) {
            break;
        }
        if (static_cast<LONG>(*next - screen->Now()) > 0) {
            screen->Advance(*next - screen->Now());
        }
    }
    if (static_cast<LONG>(target - screen->Now()) > 0) {
        screen->Advance(target - screen->Now());
    }
    RunUntilIdle();
}

void QueueUserAction(std::function<void()> action) {
    if (HeadlessScreen* screen = Headless()) {
        screen->QueueAction(std::move(action));
    }
}

COLORREF WindowImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return gdi::ToColor(pixels[static_cast<std::size_t>(y) * width + x]);
}

WindowImage CaptureWindow(HWND window, WindowArea area) {
    WindowImage image;
    Window* w = Find(window);
    Window* top = w ? Find(TopLevelOf(window)) : nullptr;
    if (top == nullptr || !top->surface) {
        return image;
    }
    RECT screen = ScreenRect(*w);
    RECT r{screen.left - top->rect.left, screen.top - top->rect.top, screen.right - top->rect.left,
           screen.bottom - top->rect.top};
    if (area == WindowArea::Client) {
        r = {r.left + w->client.left, r.top + w->client.top, r.left + w->client.right,
             r.top + w->client.bottom};
    }
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (LONG y = r.top; y < r.bottom; ++y) {
        for (LONG x = r.left; x < r.right; ++x) {
            image.pixels.push_back(top->surface->At(x, y));
        }
    }
    return image;
}

bool SaveWindowPng(HWND window, WindowArea area, const std::string& path) {
    WindowImage image = CaptureWindow(window, area);
    if (image.width == 0 || image.height == 0) {
        return false;
    }
    gdi::Surface surface(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            surface.Set(x, y, image.pixels[static_cast<std::size_t>(y) * image.width + x]);
        }
    }
    return gdi::SavePng(surface, path);
}

bool MessageBoxOpen() {
    return !State().messageBoxes.empty();
}

std::string MessageBoxText() {
    return MessageBoxOpen() ? State().messageBoxes.back()->text : std::string();
}

std::string MessageBoxCaption() {
    return MessageBoxOpen() ? State().messageBoxes.back()->caption : std::string();
}

bool AnswerMessageBox(int answer) {
    if (!MessageBoxOpen() || answer == 0) {
        return false;
    }
    State().messageBoxes.back()->answer = answer;
    return true;
}

std::size_t CountLiveWindows() {
    return State().windows.LiveCount();
}

HWND FindVisibleTopLevel(const std::string& className) {
    struct Search {
        const std::string& className;
        HWND found = nullptr;
    } search{className};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(data);
            char name[64];
            GetClassNameA(window, name, sizeof name);
            if (wanted.className == name && IsWindowVisible(window)) {
                wanted.found = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int CountBeeps() {
    return State().beeps;
}

std::vector<HelpRequest> HelpRequests() {
    return State().helpRequests;
}

} // namespace platform
