#pragma once
// What a top-level X window says about itself to the window manager and the
// desktop: the program it belongs to, its role, its icon and its size hints.

#include "../Backend.h"

#include <X11/Xlib.h>

namespace platform {

// WM_CLASS (the program's name), WM_CLIENT_MACHINE, _NET_WM_PID and
// WM_HINTS: set once, before the window is first mapped.
void AnnounceProgram(Display* display, ::Window window);

// The window's type, icon and WM_NORMAL_HINTS. Sizes are of the X window.
void DescribeWindow(Display* display, ::Window window, const SurfaceIdentity& identity);

// WM_NORMAL_HINTS: the program places its windows itself (a position it
// asks for is the X window's own, whatever frame the manager adds) and
// accepts sizes from `minimum` to `maximum` (0 by 0: no largest size).
void SetSizeHints(Display* display, ::Window window, SIZE minimum, SIZE maximum);

} // namespace platform
