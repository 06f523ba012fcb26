#pragma once
// What the windowing side asks of a screen: surfaces for top-level windows,
// the screen's size and resolution, showing what changed, and waiting for
// input. The headless screen keeps everything in memory; a display server
// plugs in behind the same calls.

#include <windows.h>

#include "../gdi/Icon.h"
#include "../gdi/Surface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using SurfaceId = std::uint32_t;

// What a desktop shows of a top-level window besides its pixels.
struct SurfaceIdentity {
    // A main window, a drop-down list or a transient pop-up (a hint).
    enum class Role { Main, DropDown, PopUp };
    Role role = Role::Main;
    // The program's icon, largest first; empty when it has none.
    std::vector<gdi::IconImage> icons;
    // The smallest and largest sizes of the window's inside (PlaceSurface's
    // `inside`) that the window accepts.
    SIZE minimumInside{0, 0};
    SIZE maximumInside{0, 0};
};

class Backend {
public:
    virtual ~Backend() = default;

    // A surface for a top-level window at `screenRect`; 0 when none can be made.
    virtual SurfaceId OpenSurface(HWND window, const RECT& screenRect) = 0;
    virtual void CloseSurface(SurfaceId surface) = 0;
    virtual SIZE ScreenSize() const = 0;
    virtual int PixelsPerInch() const = 0;
    // The pixels of `rects` (window coordinates) changed.
    virtual void Present(SurfaceId surface, const gdi::Surface& pixels,
                         const std::vector<RECT>& rects) = 0;
    // Milliseconds on the screen's clock.
    virtual DWORD Now() const = 0;
    // Waits until input may have arrived or the clock reaches `deadline`.
    // False when nothing can ever arrive.
    virtual bool WaitForInput(std::optional<DWORD> deadline) = 0;
    // Ends a wait early.
    virtual void Wake() = 0;

    // Where a top-level window now is and whether it is shown, minimised or
    // hidden. `inside` (window coordinates) is the part within the border
    // and caption: the client area with the scroll bars, which a display
    // that frames its windows itself shows.
    enum class Showing { Hidden, Shown, Minimized };
    virtual void PlaceSurface(SurfaceId, const RECT& /*screenRect*/, const RECT& /*inside*/,
                              Showing) {}
    // Who a top-level window is, for a desktop that shows it: said once its
    // surface is open, and again when its size limits may have changed.
    virtual void DescribeSurface(SurfaceId, const SurfaceIdentity&) {}
    // Whether DescribeSurface is heard: finding the sizes a window accepts
    // costs it a WM_GETMINMAXINFO, which no other screen should add.
    virtual bool ShowsIdentity() const { return false; }
    // The title a top-level window shows in the display's frame, in UTF-8.
    virtual void NameSurface(SurfaceId, const std::string& /*utf8Title*/) {}
    // Turns what has already arrived into input, without waiting.
    virtual void CollectInput() {}
    // The display server's own handle of a surface; 0 when there is none.
    virtual std::uintptr_t NativeHandle(SurfaceId) const { return 0; }
    // The cursor over the program's windows changed (SetCursor): one of the
    // system's cursors by its IDC_ number with its picture, or the picture of
    // one of the program's own (number 0); no picture: no cursor is shown.
    virtual void ChangeCursor(ULONG_PTR /*systemCursor*/, const gdi::IconImage* /*picture*/) {}
    // Memory for the frame buffer of a surface's window; none: the program's own.
    virtual gdi::PixelMemoryMaker PixelMemoryFor(SurfaceId) { return {}; }
    // Whether the surface shows the window's frame and caption; where the
    // display draws its own frame, the window's is never seen.
    virtual bool ShowsFrame(SurfaceId) const { return true; }
};

// What a display server reports about a top-level window; the points and
// rectangles are in the window's coordinates (0, 0 is the top-left corner
// of its frame) unless they say otherwise (ScreenReports.cpp).
namespace screen {
enum class Button { Left, Right, Middle };
void PointerMoved(HWND top, POINT windowPoint);
void ButtonChanged(HWND top, POINT windowPoint, Button button, bool down);
// The wheel turned by `delta` (WHEEL_DELTA a notch; away from the user or
// to the right is positive) with the pointer at `windowPoint`.
enum class WheelAxis { Vertical, Horizontal };
void WheelTurned(HWND top, POINT windowPoint, WheelAxis axis, int delta);
// A key by its virtual key; `character` is the printable character it
// types as the display's keyboard map says (one or two code page 932
// bytes), 0 to leave it to the platform's own rules (control characters,
// keys that type nothing).
void KeyChanged(BYTE virtualKey, bool down, WORD character);
void FocusChanged(HWND top, bool focused);
void CloseRequested(HWND top);
// The server lost these pixels: they are shown again from the frame buffer.
void Exposed(HWND top, const RECT& windowArea);
// The window's inside (PlaceSurface's `inside`) is at `insideOnScreen`, in
// screen coordinates, wherever the window manager or the user put it.
void Placed(HWND top, const RECT& insideOnScreen);
} // namespace screen

} // namespace platform
