#pragma once
// The screens the platform can run on.

#include "Backend.h"

#include <memory>
#include <string>

namespace platform {

// Null when no X server answers at `display` (DISPLAY when null) or its
// visual is not one the screen draws in; `whyNot` (when given) then says which.
std::unique_ptr<Backend> MakeX11Screen(const char* display, std::string* whyNot = nullptr);
// The X11 screen when VELBRIN_DISPLAY=x11 and it can connect, the headless
// screen otherwise.
std::unique_ptr<Backend> MakeDefaultScreen();

} // namespace platform
