#pragma once
// Where a top-level X window is, as the server last said or the program
// last asked. The window manager has the last word: it may move, resize,
// refuse or ignore any request, so the program never waits for an answer;
// it takes every report that is not older than its own last request.

#include <windows.h>

#include <X11/Xlib.h>

#include <optional>

namespace platform {

class X11Placement {
public:
    // `place`: the X window's position on the root window (left, top) and
    // its size (right, bottom).
    explicit X11Placement(const RECT& place) : place_(place) {}

    const RECT& Place() const { return place_; }

    // Asks the server to put the window at `place`, unless it is there
    // already; true when a request went out.
    bool Request(Display* display, ::Window window, const RECT& place);

    // The place a ConfigureNotify reports on the root window (a reparenting
    // manager's real events are relative to its frame; its synthetic ones
    // are on the root window), which becomes the known place. Nullopt when
    // the event was made before the server saw the last request: the answer
    // to that request (a real event, or a synthetic one when the manager
    // refuses) is still to come.
    std::optional<RECT> Report(Display* display, const XConfigureEvent& event);

private:
    RECT place_;
    unsigned long lastRequest_ = 0;
};

} // namespace platform
