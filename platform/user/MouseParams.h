#pragma once
// The signed client coordinates packed into a mouse message's lParam. Windows
// keeps these in <windowsx.h>, not <windows.h>, so the library never sees them.

#include <windows.h>

#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))
