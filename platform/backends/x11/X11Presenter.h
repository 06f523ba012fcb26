#pragma once
// Puts frame buffer pixels into X windows. Where the server offers MIT-SHM
// and can attach our memory (it runs on this machine), a top-level window's
// frame buffer lives in a shared segment and a present only names the
// rectangle; elsewhere (a remote display) the pixels travel in XPutImage
// requests. Either way straight from the frame buffer, without a copy.

#include "../../gdi/Surface.h"

#include <windows.h>

#include <X11/Xlib.h>

#include <memory>

namespace platform {

class X11Presenter {
public:
    // Setting VELBRIN_X11_NO_SHM in the environment turns MIT-SHM off, as
    // a remote display would.
    explicit X11Presenter(Display* display);
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // Memory for a frame buffer: shared with the server while MIT-SHM works,
    // else none (the surface takes its own).
    gdi::PixelMemoryMaker MemoryMaker();

    // Sends `area` of `pixels` (frame buffer coordinates, inside it) to
    // `window` at `to`. Queued, not flushed.
    void Put(::Window window, GC gc, const gdi::Surface& pixels, const RECT& area, POINT to);

    // Whether frame buffers made from now on are shared with the server.
    bool SharesMemory() const { return sharing_; }

private:
    class SharedPixels;
    std::unique_ptr<gdi::PixelMemory> MakeShared(std::size_t count);
    XImage* ImageOver(const gdi::Surface& pixels);

    Display* display_;
    Visual* visual_;
    bool sharing_;
    // The header Put hands to Xlib; it points into the frame buffer.
    XImage image_{};
    // Tells the segments still held by surfaces that the connection is gone,
    // so that they no longer ask the server to let go of them.
    std::shared_ptr<bool> connected_ = std::make_shared<bool>(true);
};

} // namespace platform
