// Geometry: the non-client frame from the styles, positions and sizes,
// showing and hiding, placement, coordinate mapping, hit points and z-order.

#include "UserState.h"

#include <algorithm>
#include <optional>

namespace platform::user {

namespace {
constexpr int kCaption = 19;
constexpr int kSmallCaption = 16;
constexpr int kSizingFrame = 4;
constexpr int kFixedFrame = 3;
constexpr int kEdge = 2;
constexpr int kMinimizedWidth = 160;
constexpr int kMinimizedHeight = 24;
constexpr LONG kMinimizedPosition = -32000;

LONG Width(const RECT& r) {
    return r.right - r.left;
}
LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

// The window rectangle without its border and caption, in window coordinates.
RECT InsideFrame(const RECT& windowRect, DWORD style, DWORD exStyle) {
    RECT frame = FrameInsets(style, exStyle);
    RECT r{frame.left, frame.top, Width(windowRect) - frame.right,
           Height(windowRect) - frame.bottom};
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}
} // namespace

RECT FrameInsets(DWORD style, DWORD exStyle) {
    int border = 0;
    if (style & WS_THICKFRAME) {
        border = kSizingFrame;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        border = kFixedFrame;
    } else if (style & WS_BORDER) {
        border = 1;
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        border += kEdge;
    }
    if (exStyle & WS_EX_STATICEDGE) {
        border += 1;
    }
    RECT insets{border, border, border, border};
    if (HasCaption(style)) {
        insets.top += (exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
    }
    return insets;
}

RECT InsideFrame(const Window& window) {
    return InsideFrame(window.rect, window.style, window.exStyle);
}

RECT ClientFromWindow(const RECT& windowRect, DWORD style, DWORD exStyle) {
    RECT r = InsideFrame(windowRect, style, exStyle);
    if (style & WS_VSCROLL) {
        r.right = std::max<LONG>(r.left, r.right - GetSystemMetrics(SM_CXVSCROLL));
    }
    if (style & WS_HSCROLL) {
        r.bottom = std::max<LONG>(r.top, r.bottom - GetSystemMetrics(SM_CYHSCROLL));
    }
    return r;
}

RECT CaptionRect(const Window& window) {
    if (!HasCaption(window.style)) {
        return {0, 0, 0, 0};
    }
    RECT frame = FrameInsets(window.style & ~WS_CAPTION, window.exStyle);
    int height = (window.exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
    // The caption's last row is the line between the caption and the client.
    return {frame.left, frame.top, Width(window.rect) - frame.right, frame.top + height - 1};
}

CaptionButtons CaptionButtonRects(const Window& window) {
    CaptionButtons buttons{};
    RECT caption = CaptionRect(window);
    if (caption.right <= caption.left || !(window.style & WS_SYSMENU)) {
        return buttons;
    }
    LONG height = caption.bottom - caption.top;
    LONG buttonHeight = height - 4;
    LONG buttonWidth = buttonHeight + 2;
    LONG top = caption.top + 2;
    buttons.close = {caption.right - 2 - buttonWidth, top, caption.right - 2, top + buttonHeight};
    if (!(window.exStyle & WS_EX_TOOLWINDOW)) {
        buttons.icon = {caption.left + 2, caption.top + 1, caption.left + 18, caption.top + 17};
        if (window.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
            LONG right = buttons.close.left - 2;
            buttons.maximize = {right - buttonWidth, top, right, top + buttonHeight};
            buttons.minimize = {right - 2 * buttonWidth, top, right - buttonWidth,
                                top + buttonHeight};
        }
    }
    return buttons;
}

RECT VerticalScrollRect(const Window& window) {
    if (!(window.style & WS_VSCROLL)) {
        return {0, 0, 0, 0};
    }
    RECT inside = InsideFrame(window.rect, window.style, window.exStyle);
    return {window.client.right, inside.top, inside.right, window.client.bottom};
}

RECT HorizontalScrollRect(const Window& window) {
    if (!(window.style & WS_HSCROLL)) {
        return {0, 0, 0, 0};
    }
    RECT inside = InsideFrame(window.rect, window.style, window.exStyle);
    return {inside.left, window.client.bottom, window.client.right, inside.bottom};
}

POINT WindowOriginOnScreen(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.parent) {
        if (Window* parent = Find(window.parent)) {
            POINT base = ClientOriginOnScreen(*parent);
            origin.x += base.x;
            origin.y += base.y;
        }
    }
    return origin;
}

POINT ClientOriginOnScreen(const Window& window) {
    POINT origin = WindowOriginOnScreen(window);
    return {origin.x + window.client.left, origin.y + window.client.top};
}

RECT ScreenRect(const Window& window) {
    POINT origin = WindowOriginOnScreen(window);
    return {origin.x, origin.y, origin.x + Width(window.rect), origin.y + Height(window.rect)};
}

HWND TopLevelOf(HWND window) {
    Window* w = Find(window);
    while (w && w->parent) {
        window = w->parent;
        w = Find(window);
    }
    return window;
}

bool IsVisibleChain(HWND window) {
    Window* w = Find(window);
    while (w) {
        if (!(w->style & WS_VISIBLE)) {
            return false;
        }
        w = w->parent ? Find(w->parent) : nullptr;
    }
    return Find(window) != nullptr;
}

bool IsDescendant(HWND ancestor, HWND window) {
    for (Window* w = Find(window); w; w = Find(w->parent)) {
        if (window == ancestor) {
            return true;
        }
        window = w->parent;
        if (window == nullptr) {
            break;
        }
    }
    return false;
}

namespace {

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

HWND DeepestChildAt(HWND parent, POINT screenPoint) {
    Window* w = Find(parent);
    POINT origin = ClientOriginOnScreen(*w);
    RECT client{origin.x, origin.y, origin.x + Width(w->client), origin.y + Height(w->client)};
    if (!Contains(client, screenPoint)) {
        return parent;
    }
    for (HWND child : w->children) {
        Window* c = Find(child);
        if ((c->style & WS_VISIBLE) && Contains(ScreenRect(*c), screenPoint)) {
            if (c->style & WS_DISABLED) {
                return parent;
            }
            return DeepestChildAt(child, screenPoint);
        }
    }
    return parent;
}

} // namespace

bool PlaceInZOrder(HWND window, HWND after) {
    Window* w = Find(window);
    auto& list = w->parent ? Find(w->parent)->children : State().topLevels;
    auto position = std::find(list.begin(), list.end(), window);
    std::size_t oldIndex = position - list.begin();
    const DWORD oldTopmost = w->exStyle & WS_EX_TOPMOST;
    list.erase(position);
    bool topLevel = w->parent == nullptr;
    if (topLevel && after == HWND_TOPMOST) {
        w->exStyle |= WS_EX_TOPMOST;
        after = HWND_TOP;
    } else if (topLevel && after == HWND_NOTOPMOST) {
        w->exStyle &= ~WS_EX_TOPMOST;
        after = HWND_TOP;
    } else if (topLevel && after == HWND_BOTTOM) {
        w->exStyle &= ~WS_EX_TOPMOST;
    }
    auto bandStart = list.begin();
    auto bandEnd = list.end();
    if (topLevel) {
        auto firstNormal = std::find_if(list.begin(), list.end(), [](HWND h) {
            return (Find(h)->exStyle & WS_EX_TOPMOST) == 0;
        });
        if (w->exStyle & WS_EX_TOPMOST) {
            bandEnd = firstNormal;
        } else {
            bandStart = firstNormal;
        }
    }
    std::vector<HWND>::iterator target;
    if (after == HWND_TOP) {
        target = bandStart;
    } else if (after == HWND_BOTTOM) {
        target = bandEnd;
    } else {
        auto found = std::find(list.begin(), list.end(), after);
        target = found == list.end() ? bandStart : found + 1;
        target = std::clamp(target, bandStart, bandEnd);
    }
    std::size_t newIndex = target - list.begin();
    list.insert(target, window);
    return newIndex != oldIndex || (w->exStyle & WS_EX_TOPMOST) != oldTopmost;
}

namespace {

Region WholeWindowArea(const Window& w) {
    // The area in the window's own client coordinates.
    return Region(RECT{-w.client.left, -w.client.top, Width(w.rect) - w.client.left,
                       Height(w.rect) - w.client.top});
}

// The part of the parent a child no longer covers is repainted.
void ExposeInParent(HWND parent, const RECT& oldRect, const RECT& newRect) {
    if (Find(parent)) {
        InvalidateArea(parent, Region(oldRect).Subtract(Region(newRect)), true, true);
    }
}

} // namespace

HWND DeepestWindowAt(POINT screenPoint) {
    for (HWND top : State().topLevels) {
        Window* w = Find(top);
        if ((w->style & WS_VISIBLE) && Contains(ScreenRect(*w), screenPoint)) {
            if (w->style & WS_DISABLED) {
                return top;
            }
            return DeepestChildAt(top, screenPoint);
        }
    }
    return nullptr;
}

void RepaintWholeWindow(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    w->framePending = true;
    InvalidateArea(window, WholeWindowArea(*w), true, true);
}

} // namespace platform::user

using namespace platform::user;

namespace {

constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

struct PositionChange {
    WINDOWPOS pos;
    bool moved;
    bool sized;
    bool shown;
    bool hidden;
    bool zOrder;
    bool frame;
};

PositionChange Normalise(const Window& w, HWND insertAfter, int x, int y, int cx, int cy,
                         UINT flags) {
    PositionChange c{};
    c.pos = {w.handle,
             insertAfter,
             BoundedCoordinate(x),
             BoundedCoordinate(y),
             BoundedCoordinate(std::max(cx, 0)),
             BoundedCoordinate(std::max(cy, 0)),
             flags};
    bool visible = (w.style & WS_VISIBLE) != 0;
    if ((flags & SWP_SHOWWINDOW) && visible) {
        c.pos.flags &= ~SWP_SHOWWINDOW;
    }
    if ((flags & SWP_HIDEWINDOW) && !visible) {
        c.pos.flags &= ~SWP_HIDEWINDOW;
    }
    return c;
}

void Measure(const Window& w, PositionChange& c) {
    c.moved = c.pos.x != w.rect.left || c.pos.y != w.rect.top;
    c.sized = c.pos.cx != w.rect.right - w.rect.left || c.pos.cy != w.rect.bottom - w.rect.top;
    c.shown = (c.pos.flags & SWP_SHOWWINDOW) != 0;
    c.hidden = (c.pos.flags & SWP_HIDEWINDOW) != 0;
    c.zOrder = (c.pos.flags & SWP_NOZORDER) == 0;
    c.frame = (c.pos.flags & SWP_FRAMECHANGED) != 0;
    if (!c.moved) {
        c.pos.flags |= SWP_NOMOVE;
    }
    if (!c.sized) {
        c.pos.flags |= SWP_NOSIZE;
    }
}

// A top-level window that went away keeps no focus: the window activated
// in its place took it, or nobody has it.
void MoveFocusOutOf(HWND window) {
    UserState& state = State();
    Window* w = Find(window);
    if (state.focus && IsDescendant(window, state.focus) && w && !w->parent) {
        SetFocus(nullptr);
    }
}

void ReleaseCaptureInside(HWND window) {
    UserState& state = State();
    if (state.capture && IsDescendant(window, state.capture)) {
        ReleaseCapture();
    }
}

// After a top-level window went away from the screen, the next visible one in
// the z-order (its owner first) becomes active.
void ActivateAnother(HWND gone) {
    UserState& state = State();
    if (state.active != gone) {
        return;
    }
    Window* w = Find(gone);
    HWND next = nullptr;
    if (w && w->owner && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner)) {
        next = w->owner;
    } else {
        for (HWND candidate : state.topLevels) {
            if (candidate != gone && IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
                next = candidate;
                break;
            }
        }
    }
    Activate(next, WA_ACTIVE);
}

} // namespace

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(window);
    if (w == nullptr || (w->destroying && (flags & SWP_SHOWWINDOW))) {
        return Fail(1400, FALSE);
    }
    PositionChange c = Normalise(*w, insertAfter, x, y, cx, cy, flags);
    if (!(c.pos.flags & SWP_NOSENDCHANGING)) {
        SendMessageA(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&c.pos));
        if ((w = Find(window)) == nullptr) {
            return FALSE;
        }
    }
    // WM_WINDOWPOSCHANGING hears the values as the caller gave them; what
    // SWP_NOMOVE and SWP_NOSIZE keep is filled in afterwards.
    if (c.pos.flags & SWP_NOMOVE) {
        c.pos.x = w->rect.left;
        c.pos.y = w->rect.top;
    }
    if (c.pos.flags & SWP_NOSIZE) {
        c.pos.cx = w->rect.right - w->rect.left;
        c.pos.cy = w->rect.bottom - w->rect.top;
    }
    // What a WM_WINDOWPOSCHANGING handler asked for is held to the bounds too.
    c.pos.x = BoundedCoordinate(c.pos.x);
    c.pos.y = BoundedCoordinate(c.pos.y);
    c.pos.cx = BoundedCoordinate(std::max(c.pos.cx, 0));
    c.pos.cy = BoundedCoordinate(std::max(c.pos.cy, 0));
    Measure(*w, c);
    if (!c.moved && !c.sized && !c.shown && !c.hidden && !c.frame &&
        (!c.zOrder || c.pos.hwndInsertAfter == w->handle)) {
        return TRUE;
    }
    RECT oldRect = w->rect;
    RECT oldClient = w->client;
    bool wasVisible = IsVisibleChain(window);
    RECT newRect{c.pos.x, c.pos.y, c.pos.x + c.pos.cx, c.pos.y + c.pos.cy};
    RECT newClient = ClientFromWindow(newRect, w->style, w->exStyle);
    // A pure move keeps the client area as it is: only a new size or frame
    // asks the window for it again.
    if (c.sized || c.frame) {
        NCCALCSIZE_PARAMS calc{};
        calc.rgrc[0] = newRect;
        calc.rgrc[1] = oldRect;
        calc.rgrc[2] = {oldRect.left + oldClient.left, oldRect.top + oldClient.top,
                        oldRect.left + oldClient.right, oldRect.top + oldClient.bottom};
        calc.lppos = &c.pos;
        SendMessageA(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc));
        if ((w = Find(window)) == nullptr) {
            return FALSE;
        }
        newClient = {calc.rgrc[0].left - newRect.left, calc.rgrc[0].top - newRect.top,
                     calc.rgrc[0].right - newRect.left, calc.rgrc[0].bottom - newRect.top};
    }
    bool clientSized = (newClient.right - newClient.left) != (oldClient.right - oldClient.left) ||
                       (newClient.bottom - newClient.top) != (oldClient.bottom - oldClient.top);
    bool clientMoved = newRect.left + newClient.left != oldRect.left + oldClient.left ||
                       newRect.top + newClient.top != oldRect.top + oldClient.top;
    if (!clientSized) {
        c.pos.flags |= kNoClientSize;
    }
    if (!clientMoved) {
        c.pos.flags |= kNoClientMove;
    }
    w->rect = newRect;
    w->client = newClient;
    // A window already where it was asked to go hears that its z-order
    // stayed.
    if (c.zOrder && !PlaceInZOrder(window, c.pos.hwndInsertAfter)) {
        c.pos.flags |= SWP_NOZORDER;
    }
    if (c.shown) {
        w->style |= WS_VISIBLE;
    }
    if (c.hidden) {
        w->style &= ~WS_VISIBLE;
    }
    bool nowVisible = IsVisibleChain(window);
    bool redraw = !(c.pos.flags & SWP_NOREDRAW);
    if (!nowVisible) {
        DiscardPainting(*w);
    }
    if (nowVisible && !w->parent) {
        PrepareSurface(*w);
    }
    PlaceOnScreen(*w);
    if (redraw && w->parent && wasVisible && (c.moved || c.sized || c.hidden)) {
        ExposeInParent(w->parent, oldRect, nowVisible ? newRect : RECT{});
    }
    if (redraw && nowVisible && (c.shown || c.sized || c.frame || (c.moved && w->parent))) {
        RepaintWholeWindow(window);
    }
    // Frames and backgrounds are painted before the window hears of the
    // change, their paint waits for the queue: a top-level window that
    // appears has its own painted (a child waits for its paint); one that
    // goes or changes more than its place has its parent's (its own, at the
    // top level), where the change uncovered it.
    const bool reshaped =
        c.sized || clientSized || c.frame || (c.zOrder && !(c.pos.flags & SWP_NOZORDER));
    HWND eraseNow = nullptr;
    if (redraw && c.shown) {
        eraseNow = w->parent ? nullptr : window;
    } else if (redraw && (c.hidden || reshaped)) {
        eraseNow = w->parent ? w->parent : window;
    }
    if (c.hidden) {
        ReleaseCaptureInside(window);
    }
    w = Find(window);
    if (w && !w->parent && nowVisible && !(c.pos.flags & SWP_NOACTIVATE) &&
        !(w->style & WS_DISABLED) && !(w->style & WS_CHILD)) {
        Activate(window, WA_ACTIVE);
    }
    if (eraseNow) {
        EraseNow(eraseNow, EraseChildren::WhereClipped);
    }
    if (!Find(window)) {
        return TRUE;
    }
    SendMessageA(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&c.pos));
    // A hidden top-level window hands on the activation after it has heard
    // that it is hidden, then lets go of the focus.
    if (c.hidden && (w = Find(window)) != nullptr && !w->parent) {
        ActivateAnother(window);
        if (Find(window)) {
            MoveFocusOutOf(window);
        }
    }
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND window) {
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

void RememberNormal(Window& w) {
    if (!(w.style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        w.normalRect = w.rect;
    }
}

void SendSizeState(HWND window, WPARAM kind) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    SendMessageA(window, WM_SIZE, kind,
                 MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
}

BOOL Minimize(HWND window, bool activate) {
    Window* w = Find(window);
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    RememberNormal(*w);
    w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    }
    SetWindowPos(window, HWND_TOP, kMinimizedPosition, kMinimizedPosition, kMinimizedWidth,
                 kMinimizedHeight,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
    SendSizeState(window, SIZE_MINIMIZED);
    if (Find(window)) {
        if (activate) {
            Activate(window, WA_ACTIVE);
        } else {
            ActivateAnother(window);
        }
    }
    return wasVisible;
}

// A maximised window takes the place and size it answers (WM_GETMINMAXINFO).
BOOL Maximize(HWND window) {
    Window* w = Find(window);
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    std::optional<MINMAXINFO> limits = AskSizeLimits(window);
    if (!limits || (w = Find(window)) == nullptr) {
        return wasVisible;
    }
    RememberNormal(*w);
    w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    }
    SetWindowPos(window, HWND_TOP, limits->ptMaxPosition.x, limits->ptMaxPosition.y,
                 limits->ptMaxSize.x, limits->ptMaxSize.y, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    SendSizeState(window, SIZE_MAXIMIZED);
    return wasVisible;
}

BOOL Restore(HWND window, bool activate) {
    Window* w = Find(window);
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
        if ((w = Find(window)) == nullptr) {
            return wasVisible;
        }
    }
    bool wasState = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    // Showing in place names no place: WM_WINDOWPOSCHANGING hears zeros.
    RECT r = wasState ? w->normalRect : RECT{};
    UINT flags =
        SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE) | (wasState ? SWP_FRAMECHANGED : 0);
    if (!wasState) {
        flags |= SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOZORDER);
    }
    SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    if (wasState) {
        SendSizeState(window, SIZE_RESTORED);
    }
    return wasVisible;
}

} // namespace

namespace {

// A hidden child that has the focus, or holds it, hands it to its parent.
void GiveFocusToParent(HWND window) {
    Window* w = Find(window);
    HWND focus = State().focus;
    if (w != nullptr && w->parent && focus && IsDescendant(window, focus)) {
        SetFocus(w->parent);
    }
}

// A child of a window that does not show only hears WM_SHOWWINDOW and
// changes its style: nothing of it can be seen to appear or go.
BOOL ShowOrHideUnseen(HWND window, bool show) {
    Window* w = Find(window);
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    if (show == wasVisible) {
        return wasVisible;
    }
    SendMessageA(window, WM_SHOWWINDOW, show, 0);
    if ((w = Find(window)) == nullptr) {
        return wasVisible;
    }
    if (show) {
        w->style |= WS_VISIBLE;
    } else {
        w->style &= ~WS_VISIBLE;
        GiveFocusToParent(window);
        ReleaseCaptureInside(window);
    }
    return wasVisible;
}

BOOL ShowOrHide(HWND window, int command) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    if (child && command >= SW_HIDE && command <= SW_SHOWDEFAULT && !IsVisibleChain(w->parent)) {
        return ShowOrHideUnseen(window, command != SW_HIDE);
    }
    switch (command) {
    case SW_HIDE:
        if (!wasVisible) {
            return FALSE;
        }
        SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GiveFocusToParent(window);
        return TRUE;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        if (child) {
            break;
        }
        return Minimize(window, command == SW_SHOWMINIMIZED);
    case SW_SHOWMAXIMIZED:
        if (child) {
            break;
        }
        return Maximize(window);
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        return Restore(window, !child);
    case SW_SHOWNOACTIVATE:
        return Restore(window, false);
    case SW_SHOW:
    case SW_SHOWNA:
        break;
    default:
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (wasVisible) {
        return TRUE;
    }
    SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    bool activate = command == SW_SHOW && !child;
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE |
                     (activate ? 0 : SWP_NOACTIVATE | SWP_NOZORDER));
    return FALSE;
}

} // namespace

BOOL ShowWindow(HWND window, int command) {
    BOOL wasVisible = ShowOrHide(window, command);
    Window* w = Find(window);
    if (w != nullptr && w->sizeUntold && (w->style & WS_VISIBLE)) {
        TellSizeAndPlace(window);
    }
    return wasVisible;
}

BOOL ShowOwnedPopups(HWND owner, BOOL show) {
    if (!Find(owner)) {
        return FALSE;
    }
    std::vector<HWND> owned;
    State().windows.ForEach([&](std::uintptr_t handle, const Window& w) {
        if (w.owner == owner) {
            owned.push_back(ToHwnd(handle));
        }
    });
    for (HWND h : owned) {
        ShowWindow(h, show ? SW_SHOWNA : SW_HIDE);
    }
    return TRUE;
}

BOOL IsWindowVisible(HWND window) {
    return IsVisibleChain(window);
}

BOOL IsIconic(HWND window) {
    Window* w = Find(window);
    return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND window) {
    Window* w = Find(window);
    return w && (w->style & WS_MAXIMIZE);
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    Window* w = Find(window);
    if (w == nullptr || placement == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags = 0;
    if (w->style & WS_MINIMIZE) {
        placement->showCmd = SW_SHOWMINIMIZED;
    } else if (w->style & WS_MAXIMIZE) {
        placement->showCmd = SW_SHOWMAXIMIZED;
    } else {
        placement->showCmd = (w->style & WS_VISIBLE) ? SW_SHOWNORMAL : SW_HIDE;
    }
    placement->ptMinPosition = w->minPosition;
    placement->ptMaxPosition = w->maxPosition;
    placement->rcNormalPosition =
        (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->normalRect : w->rect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    Window* w = Find(window);
    if (w == nullptr || placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT)) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    w->minPosition = placement->ptMinPosition;
    w->maxPosition = placement->ptMaxPosition;
    const RECT& given = placement->rcNormalPosition;
    w->normalRect = {BoundedCoordinate(given.left), BoundedCoordinate(given.top),
                     BoundedCoordinate(given.right), BoundedCoordinate(given.bottom)};
    if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        const RECT& r = w->normalRect;
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return ShowWindow(window, static_cast<int>(placement->showCmd)) || TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    Window* w = Find(window);
    if (w == nullptr || rect == nullptr) {
        return Fail(1400, FALSE);
    }
    *rect = ScreenRect(*w);
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    Window* w = Find(window);
    if (w == nullptr || rect == nullptr) {
        return Fail(1400, FALSE);
    }
    *rect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
    Window* w = Find(window);
    if (w == nullptr || point == nullptr) {
        return Fail(1400, FALSE);
    }
    POINT origin = ClientOriginOnScreen(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
    Window* w = Find(window);
    if (w == nullptr || point == nullptr) {
        return Fail(1400, FALSE);
    }
    POINT origin = ClientOriginOnScreen(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT fromOrigin{0, 0};
    POINT toOrigin{0, 0};
    if (from) {
        Window* w = Find(from);
        if (w == nullptr) {
            return Fail(1400, 0);
        }
        fromOrigin = ClientOriginOnScreen(*w);
    }
    if (to) {
        Window* w = Find(to);
        if (w == nullptr) {
            return Fail(1400, 0);
        }
        toOrigin = ClientOriginOnScreen(*w);
    }
    LONG dx = fromOrigin.x - toOrigin.x;
    LONG dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND WindowFromPoint(POINT point) {
    return DeepestWindowAt(point);
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
    return ChildWindowFromPointEx(parent, point, CWP_ALL);
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
    Window* w = Find(parent);
    if (w == nullptr) {
        return nullptr;
    }
    RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    if (point.x < client.left || point.x >= client.right || point.y < client.top ||
        point.y >= client.bottom) {
        return nullptr;
    }
    for (HWND child : w->children) {
        Window* c = Find(child);
        if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) {
            continue;
        }
        if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) {
            continue;
        }
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) {
            continue;
        }
        const RECT& r = c->rect;
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
            return child;
        }
    }
    return parent;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (rect == nullptr) {
        return FALSE;
    }
    RECT frame = FrameInsets(style & ~(WS_VSCROLL | WS_HSCROLL), exStyle);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}
