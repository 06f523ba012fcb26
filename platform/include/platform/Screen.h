#pragma once
// Which screen the windows appear on:
//  - a program shows them on the X server of DISPLAY; when it finds none,
//    GetSystemMetrics(SM_CMONITORS) is 0 and the windows go nowhere;
//  - a test (a program that has called ResetForTesting) keeps them on a
//    headless screen in memory;
//  - VELBRIN_DISPLAY=x11 (with DISPLAY set) or VELBRIN_DISPLAY=headless in the
//    environment chooses for either;
//  - UseX11Screen() switches to an X server explicitly; call it before the
//    first window is made.
// On X11 each top-level window is a real X window the size of its client
// area: the window manager draws the frame and caption. The platform still
// lays out its classic frame in the window's frame buffer, so the headless
// and the X11 screen share every line of the drawing code, but it draws no
// frame nobody would see: only the client part of the frame buffer is
// shown. Changes reach the server once a turn of the message loop, when
// the queue runs dry; the frame buffer is shared with a server on this
// machine (MIT-SHM) and sent in XPutImage requests to any other (or when
// VELBRIN_X11_NO_SHM is set). Pointer positions are
// taken relative to the X window and placed on the platform's own idea of
// where the window is.

#include <windows.h>

#include <cstdint>
#include <string>

namespace platform {

// Connects to the X server `display` (DISPLAY when null) and makes it the
// screen, at the display's pixels per inch; false, with the headless screen
// kept, when no server answers or its visual is not 24-bit true colour, and
// then `whyNot` (when given) says which, in a sentence for the user.
//
// Once connected, the program cannot go on without its display: when the
// connection is lost or one of its windows is destroyed by another client,
// the program says so on the error stream and ends with status 1.
bool UseX11Screen(const char* display = nullptr, std::string* whyNot = nullptr);

// The display server's handle of a top-level window (an X window id); 0 on
// the headless screen or before the window has been shown.
std::uintptr_t NativeWindowOf(HWND window);

} // namespace platform
