#pragma once
// Hooks for tests and tools that drive windows as a user would; not part of
// the Windows API. Input is queued as the hardware would queue it and becomes
// messages when the program retrieves it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Replaces the headless screen by one of the given size and resolution; call
// it on a fresh platform (after ResetForTesting), before the first window.
void UseHeadlessScreen(int width, int height, int pixelsPerInch);

enum class MouseButton { Left, Right, Middle };

void MoveMouse(POINT screenPoint);
void PressMouse(MouseButton button);
void ReleaseMouse(MouseButton button);
// Turns the wheel by `delta` (WHEEL_DELTA a notch; positive away from the
// user) at the cursor's position.
void TurnMouseWheel(int delta);
// Moves to the point of the window's client area, then presses and releases.
void ClickAt(HWND window, POINT clientPoint, MouseButton button = MouseButton::Left);
// Screen coordinates of a client point.
POINT ScreenPointOf(HWND window, POINT clientPoint);

void PressKey(BYTE virtualKey);
void ReleaseKey(BYTE virtualKey);
void TapKey(BYTE virtualKey);
// Types Shift-JIS text: characters on the keyboard through their keys (with
// Shift as needed), the others (kana, kanji) as VK_PACKET keys.
void TypeText(const std::string& shiftJisText);

// Retrieves, translates and dispatches messages until none is waiting (a
// timer that is not yet due does not count). WM_QUIT stays queued. Returns
// the number of messages dispatched.
int RunUntilIdle();
// Moves the virtual clock on, stopping at each timer that falls due in
// between to run the queue, so a 100 ms timer ticks ten times in a second.
void AdvanceClock(DWORD milliseconds);
// What the screen's user does next while a loop waits with nothing to do
// (a message box waiting for an answer, say). Actions run once, in order.
void QueueUserAction(std::function<void()> action);

// The pixels of a window (0x00RRGGBB), with or without its non-client frame.
struct WindowImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    COLORREF At(int x, int y) const;
};
enum class WindowArea { Client, WithFrame };
WindowImage CaptureWindow(HWND window, WindowArea area);
bool SaveWindowPng(HWND window, WindowArea area, const std::string& path);

// The message box that waits for an answer, if any: its text and caption.
bool MessageBoxOpen();
std::string MessageBoxText();
std::string MessageBoxCaption();
// Ends the waiting message box with the answer; false when none waits.
bool AnswerMessageBox(int answer);

std::size_t CountLiveWindows();
// The visible top-level window of the thread whose class is `className`
// (the last in the thread's list when there are several), or null: a
// combo box's dropped list, say.
HWND FindVisibleTopLevel(const std::string& className);
int CountBeeps();

// What WinHelpA was asked for, oldest first.
struct HelpRequest {
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};
std::vector<HelpRequest> HelpRequests();

} // namespace platform
