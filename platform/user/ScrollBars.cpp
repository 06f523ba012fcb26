// The scroll bars of WS_HSCROLL and WS_VSCROLL windows: their state, their
// classic drawing, and the WM_HSCROLL/WM_VSCROLL codes that clicks and drags
// send.

#include "UserState.h"

#include <algorithm>

namespace platform::user {

namespace {

constexpr int kMinThumb = 8;

ScrollBar* BarOf(Window& w, int bar) {
    if (bar == SB_HORZ) {
        return &w.horizontal;
    }
    if (bar == SB_VERT) {
        return &w.vertical;
    }
    return nullptr;
}

int LastPosition(const ScrollBar& s) {
    return std::max(s.min, s.max - std::max<int>(static_cast<int>(s.page) - 1, 0));
}

struct BarLayout {
    RECT bar;
    RECT lessArrow;
    RECT moreArrow;
    // Empty when the bar is too short for a thumb.
    RECT thumb;
    bool vertical;
};

BarLayout Layout(const Window& w, int which) {
    BarLayout l{};
    l.vertical = which == SB_VERT;
    l.bar = l.vertical ? VerticalScrollRect(w) : HorizontalScrollRect(w);
    const ScrollBar& s = l.vertical ? w.vertical : w.horizontal;
    LONG length = l.vertical ? l.bar.bottom - l.bar.top : l.bar.right - l.bar.left;
    // The arrow buttons and a fixed thumb are as long as the bar is wide.
    const LONG wide = GetSystemMetrics(l.vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
    LONG arrow = std::min<LONG>(wide, length / 2);
    LONG start = l.vertical ? l.bar.top : l.bar.left;
    auto span = [&](LONG from, LONG to) {
        return l.vertical ? RECT{l.bar.left, from, l.bar.right, to}
                          : RECT{from, l.bar.top, to, l.bar.bottom};
    };
    l.lessArrow = span(start, start + arrow);
    l.moreArrow = span(start + length - arrow, start + length);
    LONG trough = length - 2 * arrow;
    int range = s.max - s.min + 1;
    LONG thumb =
        s.page ? std::max<LONG>(kMinThumb, trough * static_cast<LONG>(s.page) / std::max(range, 1))
               : wide;
    if (range <= 1 || thumb > trough || s.max <= s.min) {
        return l;
    }
    int last = LastPosition(s);
    LONG offset = last > s.min
                      ? (trough - thumb) * (std::clamp(s.pos, s.min, last) - s.min) / (last - s.min)
                      : 0;
    l.thumb = span(start + arrow + offset, start + arrow + offset + thumb);
    return l;
}

void DrawArrow(HDC dc, RECT r, bool vertical, bool less) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    LONG cx = (r.left + r.right) / 2;
    LONG cy = (r.top + r.bottom) / 2;
    HBRUSH text = GetSysColorBrush(COLOR_BTNTEXT);
    for (int i = 0; i < 4; ++i) {
        int direction = less ? -1 : 1;
        LONG at = (vertical ? cy : cx) + direction * (1 - i) + (less ? 0 : -1);
        RECT line =
            vertical ? RECT{cx - i, at, cx + i + 1, at + 1} : RECT{at, cy - i, at + 1, cy + i + 1};
        FillRect(dc, &line, text);
    }
}

void DrawBar(HDC dc, const Window& w, int which) {
    BarLayout l = Layout(w, which);
    if (l.bar.right <= l.bar.left || l.bar.bottom <= l.bar.top) {
        return;
    }
    FillRect(dc, &l.bar, GetSysColorBrush(COLOR_3DLIGHT));
    HBRUSH highlight = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    for (LONG y = l.bar.top; y < l.bar.bottom; ++y) {
        for (LONG x = l.bar.left + ((y - l.bar.top) & 1); x < l.bar.right; x += 2) {
            RECT dot{x, y, x + 1, y + 1};
            FillRect(dc, &dot, highlight);
        }
    }
    DrawArrow(dc, l.lessArrow, l.vertical, true);
    DrawArrow(dc, l.moreArrow, l.vertical, false);
    if (l.thumb.right > l.thumb.left) {
        RECT thumb = l.thumb;
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

void RedrawBars(HWND window) {
    if (IsWindowVisible(window)) {
        DrawFrame(window);
    }
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void Notify(HWND window, bool vertical, int code, int position) {
    SendMessageA(window, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position), 0);
}

// Follows the mouse while the thumb is held, the way Windows' own loop does:
// the input already queued (and whatever the screen's user does meanwhile)
// is consumed here until the button is released.
void DragThumb(HWND window, bool vertical, const BarLayout& start, POINT press) {
    SetCapture(window);
    LONG grab = vertical ? press.y - start.thumb.top : press.x - start.thumb.left;
    int position = 0;
    for (;;) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            if (!State().input.empty() || !WaitForInput(std::nullopt)) {
                break;
            }
            continue;
        }
        Window* w = Find(window);
        if (w == nullptr) {
            return;
        }
        POINT p = msg.pt;
        RECT screen = ScreenRect(*w);
        p = {p.x - screen.left, p.y - screen.top};
        ScrollBar& s = vertical ? w->vertical : w->horizontal;
        BarLayout l = Layout(*w, vertical ? SB_VERT : SB_HORZ);
        LONG thumb = vertical ? l.thumb.bottom - l.thumb.top : l.thumb.right - l.thumb.left;
        LONG troughStart = vertical ? l.lessArrow.bottom : l.lessArrow.right;
        LONG troughEnd = vertical ? l.moreArrow.top : l.moreArrow.left;
        LONG room = std::max<LONG>(troughEnd - troughStart - thumb, 1);
        LONG at = (vertical ? p.y : p.x) - grab - troughStart;
        int last = LastPosition(s);
        position = s.min + static_cast<int>((last - s.min) * std::clamp<LONG>(at, 0, room) / room);
        s.trackPos = position;
        if (msg.message == WM_LBUTTONUP) {
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            Notify(window, vertical, SB_THUMBTRACK, position);
        }
    }
    if (GetCapture() == window) {
        ReleaseCapture();
    }
    if (Find(window)) {
        Notify(window, vertical, SB_THUMBPOSITION, position);
        Notify(window, vertical, SB_ENDSCROLL, 0);
    }
}

} // namespace

void DrawScrollBars(HWND window, HDC windowDC) {
    Window* w = Find(window);
    if (w->style & WS_VSCROLL) {
        DrawBar(windowDC, *w, SB_VERT);
    }
    if (w->style & WS_HSCROLL) {
        DrawBar(windowDC, *w, SB_HORZ);
    }
    if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL)) {
        RECT corner{w->client.right, w->client.bottom, VerticalScrollRect(*w).right,
                    HorizontalScrollRect(*w).bottom};
        FillRect(windowDC, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

bool TrackScrollClick(HWND window, int hit, POINT screenPoint) {
    Window* w = Find(window);
    if (w == nullptr) {
        return false;
    }
    bool vertical = hit == HTVSCROLL;
    BarLayout l = Layout(*w, vertical ? SB_VERT : SB_HORZ);
    RECT screen = ScreenRect(*w);
    POINT p{screenPoint.x - screen.left, screenPoint.y - screen.top};
    if (Inside(l.lessArrow, p)) {
        Notify(window, vertical, SB_LINEUP, 0);
    } else if (Inside(l.moreArrow, p)) {
        Notify(window, vertical, SB_LINEDOWN, 0);
    } else if (Inside(l.thumb, p)) {
        DragThumb(window, vertical, l, p);
        return true;
    } else if (l.thumb.right > l.thumb.left) {
        bool before = vertical ? p.y < l.thumb.top : p.x < l.thumb.left;
        Notify(window, vertical, before ? SB_PAGEUP : SB_PAGEDOWN, 0);
    } else {
        return false;
    }
    if (Find(window)) {
        Notify(window, vertical, SB_ENDSCROLL, 0);
    }
    return true;
}

} // namespace platform::user

using namespace platform::user;

int SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw) {
    Window* w = Find(window);
    ScrollBar* s = w ? BarOf(*w, bar) : nullptr;
    if (s == nullptr || info == nullptr) {
        return 0;
    }
    if (info->fMask & SIF_RANGE) {
        s->min = info->nMin;
        s->max = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE) {
        s->page = std::min<UINT>(info->nPage, static_cast<UINT>(s->max - s->min + 1));
    }
    if (info->fMask & SIF_POS) {
        s->pos = info->nPos;
    }
    s->pos = std::clamp(s->pos, s->min, LastPosition(*s));
    if (info->fMask & SIF_RANGE) {
        // An empty range hides the bar, unless it is to stay disabled instead.
        bool empty = s->max <= s->min || (s->page && static_cast<int>(s->page) > s->max - s->min);
        if (!(info->fMask & SIF_DISABLENOSCROLL)) {
            ShowScrollBar(window, bar, !empty);
        }
    }
    if (redraw && Find(window)) {
        RedrawBars(window);
    }
    Window* again = Find(window);
    return again ? BarOf(*again, bar)->pos : 0;
}

BOOL GetScrollInfo(HWND window, int bar, LPSCROLLINFO info) {
    Window* w = Find(window);
    ScrollBar* s = w ? BarOf(*w, bar) : nullptr;
    if (s == nullptr || info == nullptr) {
        return FALSE;
    }
    if (info->fMask & SIF_RANGE) {
        info->nMin = s->min;
        info->nMax = s->max;
    }
    if (info->fMask & SIF_PAGE) {
        info->nPage = s->page;
    }
    if (info->fMask & SIF_POS) {
        info->nPos = s->pos;
    }
    if (info->fMask & SIF_TRACKPOS) {
        info->nTrackPos = s->trackPos;
    }
    return TRUE;
}

int SetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
    Window* w = Find(window);
    ScrollBar* s = w ? BarOf(*w, bar) : nullptr;
    if (s == nullptr) {
        return 0;
    }
    int old = s->pos;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(window, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND window, int bar) {
    Window* w = Find(window);
    ScrollBar* s = w ? BarOf(*w, bar) : nullptr;
    return s ? s->pos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw) {
    Window* w = Find(window);
    if (w == nullptr || BarOf(*w, bar) == nullptr) {
        return FALSE;
    }
    SCROLLINFO info{sizeof info, SIF_RANGE, minPos, maxPos, 0, 0, 0};
    SetScrollInfo(window, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, LPINT minPos, LPINT maxPos) {
    Window* w = Find(window);
    ScrollBar* s = w ? BarOf(*w, bar) : nullptr;
    if (s == nullptr || minPos == nullptr || maxPos == nullptr) {
        return FALSE;
    }
    *minPos = s->min;
    *maxPos = s->max;
    return TRUE;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
    Window* w = Find(window);
    if (w == nullptr || bar < SB_HORZ || bar > SB_BOTH || bar == SB_CTL) {
        return FALSE;
    }
    DWORD bits = bar == SB_HORZ   ? WS_HSCROLL
                 : bar == SB_VERT ? WS_VSCROLL
                                  : WS_HSCROLL | WS_VSCROLL;
    DWORD style = show ? (w->style | bits) : (w->style & ~bits);
    if (style == w->style) {
        return TRUE;
    }
    w->style = style;
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}
