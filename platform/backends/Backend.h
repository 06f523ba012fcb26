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

    // Where a top-level window now is (`client` in window coordinates) and
    // whether it is shown, minimised or hidden.
    enum class Showing { Hidden, Shown, Minimized };
    virtual void PlaceSurface(SurfaceId, const RECT& /*screenRect*/, const RECT& /*client*/,
                              Showing) {}
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
// rectangles are in the window's client coordinates (ScreenReports.cpp).
namespace screen {
enum class Button { Left, Right, Middle };
void PointerMoved(HWND top, POINT clientPoint);
void ButtonChanged(HWND top, POINT clientPoint, Button button, bool down);
// A key that makes no character, by its virtual key.
void KeyChanged(BYTE virtualKey, bool down);
// A key by the character it makes without Shift; the keyboard layout of the
// windowing side finds its virtual key.
void CharacterKeyChanged(char unshifted, bool down);
void FocusChanged(HWND top, bool focused);
void CloseRequested(HWND top);
// The server lost these pixels: they are shown again from the frame buffer.
void Exposed(HWND top, const RECT& clientArea);
// The user resized the window through the window manager.
void ClientResized(HWND top, SIZE clientSize);
} // namespace screen

} // namespace platform
