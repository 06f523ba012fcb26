#include "X11Placement.h"

namespace platform {

bool X11Placement::Request(Display* display, ::Window window, const RECT& place) {
    if (place.left == place_.left && place.top == place_.top && place.right == place_.right &&
        place.bottom == place_.bottom) {
        return false;
    }
    lastRequest_ = NextRequest(display);
    place_ = place;
    XMoveResizeWindow(display, window, place.left, place.top, static_cast<unsigned>(place.right),
                      static_cast<unsigned>(place.bottom));
    return true;
}

std::optional<RECT> X11Placement::Report(Display* display, const XConfigureEvent& event) {
    if (event.serial < lastRequest_) {
        return std::nullopt;
    }
    int x = event.x;
    int y = event.y;
    if (!event.send_event) {
        ::Window child = 0;
        const ::Window root = RootWindow(display, DefaultScreen(display));
        if (!XTranslateCoordinates(display, event.window, root, 0, 0, &x, &y, &child)) {
            return std::nullopt;
        }
    }
    place_ = {x, y, event.width, event.height};
    return place_;
}

} // namespace platform
