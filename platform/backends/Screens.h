#pragma once
// The screens the platform can run on.

#include "Backend.h"

#include <memory>

namespace platform {

// Null when no X server answers at `display` (DISPLAY when null).
std::unique_ptr<Backend> MakeX11Screen(const char* display);
// The X11 screen when VELBRIN_DISPLAY=x11 and it can connect, the headless
// screen otherwise.
std::unique_ptr<Backend> MakeDefaultScreen();

} // namespace platform
