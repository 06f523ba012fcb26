#include "X11Placement.h"

namespace platform {

namespace {

// Where the window's origin is on the root window, whatever frames it.
std::optional<POINT> OriginOnRoot(Display* display, ::Window window) {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    const ::Window root = RootWindow(display, DefaultScreen(display));
    if (!XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    return POINT{x, y};
}

bool SamePlace(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

bool X11Placement::Request(Display* display, ::Window window, const RECT& place) {
    if (SamePlace(place, place_)) {
        return false;
    }
    lastRequest_ = NextRequest(display);
    lastWasQuery_ = false;
    place_ = place;
    XMoveResizeWindow(display, window, place.left, place.top, static_cast<unsigned>(place.right),
                      static_cast<unsigned>(place.bottom));
    return true;
}

std::optional<RECT> X11Placement::Report(Display* display, const XConfigureEvent& event,
                                         Clock::time_point now) {
    if (event.serial < lastRequest_) {
        if (!lastWasQuery_ && !queryDue_) {
            queryDue_ = now + kAnswerWait;
        }
        return std::nullopt;
    }
    queryDue_.reset();
    // A real event is relative to the parent, a reparenting manager's frame;
    // a synthetic one is on the root window already.
    POINT origin{event.x, event.y};
    if (!event.send_event) {
        std::optional<POINT> onRoot = OriginOnRoot(display, event.window);
        if (!onRoot) {
            return std::nullopt;
        }
        origin = *onRoot;
    }
    place_ = {origin.x, origin.y, event.width, event.height};
    return place_;
}

std::optional<RECT> X11Placement::Query(Display* display, ::Window window) {
    queryDue_.reset();
    lastRequest_ = NextRequest(display);
    lastWasQuery_ = true;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return std::nullopt;
    }
    const std::optional<POINT> origin = OriginOnRoot(display, window);
    if (!origin) {
        return std::nullopt;
    }
    const RECT place{origin->x, origin->y, attributes.width, attributes.height};
    if (SamePlace(place, place_)) {
        return std::nullopt;
    }
    place_ = place;
    return place_;
}

} // namespace platform
