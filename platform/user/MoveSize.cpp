// Moving and sizing a window with the mouse, the way Windows' own loop does
// after a press on the caption or the sizing frame: the window follows the
// mouse until the button is released, and Escape puts it back.

#include "UserState.h"

#include <algorithm>
#include <optional>

namespace platform::user {

namespace {

bool MovesLeft(int edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
bool MovesRight(int edge) {
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
bool MovesTop(int edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
bool MovesBottom(int edge) {
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

// The rectangle after the mouse moved by (dx, dy); the edges that do not
// move hold while the size stays within the limits.
RECT Tracked(const RECT& start, int edge, LONG dx, LONG dy, const MINMAXINFO& limits) {
    if (edge == 0) {
        return {start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
    }
    RECT r = start;
    auto clampWidth = [&](LONG width) {
        return std::clamp<LONG>(width, limits.ptMinTrackSize.x,
                                std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x));
    };
    auto clampHeight = [&](LONG height) {
        return std::clamp<LONG>(height, limits.ptMinTrackSize.y,
                                std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y));
    };
    if (MovesLeft(edge)) {
        r.left = r.right - clampWidth(start.right - start.left - dx);
    } else if (MovesRight(edge)) {
        r.right = r.left + clampWidth(start.right - start.left + dx);
    }
    if (MovesTop(edge)) {
        r.top = r.bottom - clampHeight(start.bottom - start.top - dy);
    } else if (MovesBottom(edge)) {
        r.bottom = r.top + clampHeight(start.bottom - start.top + dy);
    }
    return r;
}

void Place(HWND window, const RECT& r) {
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The next mouse or key message of the loop; false when none will come.
bool NextLoopMessage(MSG& msg) {
    for (;;) {
        if (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
            PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            return true;
        }
        if (!State().input.empty() || !WaitForInput(std::nullopt)) {
            return false;
        }
    }
}

} // namespace

void TrackMoveSize(HWND window, WPARAM command, POINT screenPoint) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        return;
    }
    bool sizing = (command & 0xFFF0) == SC_SIZE;
    int edge = sizing ? static_cast<int>(command & 0x0F) : 0;
    if (sizing && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)) {
        return;
    }
    std::optional<MINMAXINFO> asked = AskSizeLimits(window);
    if (!asked) {
        return;
    }
    const MINMAXINFO limits = *asked;
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    if ((w = Find(window)) == nullptr) {
        return;
    }
    // In the parent's client coordinates for a child, as SetWindowPos takes it.
    const RECT start = w->rect;
    SetCapture(window);
    MSG msg;
    while (NextLoopMessage(msg)) {
        if (!Find(window) || msg.message == WM_LBUTTONUP) {
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Place(window, start);
            break;
        }
        if (msg.message != WM_MOUSEMOVE) {
            continue;
        }
        RECT r = Tracked(start, edge, msg.pt.x - screenPoint.x, msg.pt.y - screenPoint.y, limits);
        SendMessageA(window, sizing ? WM_SIZING : WM_MOVING, static_cast<WPARAM>(edge),
                     reinterpret_cast<LPARAM>(&r));
        Place(window, r);
    }
    if (GetCapture() == window) {
        ReleaseCapture();
    }
    if (Find(window)) {
        SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    }
}

} // namespace platform::user
