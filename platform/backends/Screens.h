#pragma once
// The screens the platform can run on.

#include "Backend.h"

#include <memory>
#include <string>

namespace platform {

// Null when no X server answers at `display` (DISPLAY when null) or its
// visual is not one the screen draws in; `whyNot` (when given) then says which.
std::unique_ptr<Backend> MakeX11Screen(const char* display, std::string* whyNot = nullptr);
// The screen of a fresh platform state, and whether it stands for a monitor.
struct DefaultScreen {
    std::unique_ptr<Backend> backend;
    bool monitor = true;
};
// VELBRIN_DISPLAY=headless chooses the headless screen and VELBRIN_DISPLAY=x11
// the X server of DISPLAY. Without a choice, a program shows its windows on
// the X server of DISPLAY, while a test keeps to the headless screen. A
// program that wants a display server and finds none gets a headless screen
// without a monitor, so that it can tell its user instead of running unseen;
// why the server could not be used goes to the standard error, as a display
// driver of a system reports it.
DefaultScreen MakeDefaultScreen();

} // namespace platform
