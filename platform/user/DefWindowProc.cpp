// The default handling of window messages, as Windows gives it to every
// message a window procedure passes on.

#include "MouseParams.h"
#include "UserState.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using namespace platform::user;

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

LRESULT FrameHit(const Window& w, POINT local) {
    LONG width = w.rect.right - w.rect.left;
    LONG height = w.rect.bottom - w.rect.top;
    if (!(w.style & WS_THICKFRAME)) {
        return HTBORDER;
    }
    constexpr LONG kCorner = 16;
    bool left = local.x < kCorner;
    bool right = local.x >= width - kCorner;
    bool top = local.y < kCorner;
    bool bottom = local.y >= height - kCorner;
    RECT frame = FrameInsets(w.style & ~WS_CAPTION, w.exStyle);
    if (local.y < frame.top) {
        return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    }
    if (local.y >= height - frame.bottom) {
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    }
    if (local.x < frame.left) {
        return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    }
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
}

LRESULT HitTest(HWND window, LPARAM lParam) {
    Window* w = Find(window);
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT screen = ScreenRect(*w);
    if (!Inside(screen, point)) {
        return HTNOWHERE;
    }
    POINT local{point.x - screen.left, point.y - screen.top};
    if (Inside(w->client, local)) {
        return HTCLIENT;
    }
    CaptionButtons buttons = CaptionButtonRects(*w);
    if (Inside(buttons.close, local)) {
        return HTCLOSE;
    }
    if (Inside(buttons.maximize, local)) {
        return HTMAXBUTTON;
    }
    if (Inside(buttons.minimize, local)) {
        return HTMINBUTTON;
    }
    if (Inside(buttons.icon, local)) {
        return HTSYSMENU;
    }
    RECT caption = CaptionRect(*w);
    caption.bottom += 1;
    if (Inside(caption, local)) {
        return HTCAPTION;
    }
    if (Inside(VerticalScrollRect(*w), local)) {
        return HTVSCROLL;
    }
    if (Inside(HorizontalScrollRect(*w), local)) {
        return HTHSCROLL;
    }
    return FrameHit(*w, local);
}

LRESULT SetText(HWND window, LPARAM lParam) {
    Window* w = Find(window);
    const char* text = reinterpret_cast<const char*>(lParam);
    w->text = text ? text : "";
    if (!w->parent && (w->style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(window)) {
        DrawFrame(window);
    }
    if (!w->parent) {
        NameOnScreen(*w);
    }
    return TRUE;
}

// Copies at most `size` - 1 bytes and never leaves half a double-byte
// character at the end.
LRESULT GetText(HWND window, WPARAM size, LPARAM lParam) {
    char* buffer = reinterpret_cast<char*>(lParam);
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::string& text = Find(window)->text;
    std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    std::size_t whole = 0;
    while (whole < count) {
        std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[whole])) ? 2 : 1;
        if (whole + step > count) {
            break;
        }
        whole += step;
    }
    std::memcpy(buffer, text.data(), whole);
    buffer[whole] = '\0';
    return static_cast<LRESULT>(whole);
}

LRESULT SystemCommand(HWND window, WPARAM command, LPARAM lParam) {
    switch (command & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE:
        TrackMoveSize(window, command, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case SC_CLOSE:
        return SendMessageA(window, WM_CLOSE, 0, 0);
    case SC_MINIMIZE:
        ShowWindow(window, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
        ShowWindow(window, SW_SHOWMAXIMIZED);
        return 0;
    case SC_RESTORE:
        ShowWindow(window, SW_RESTORE);
        return 0;
    default:
        // SC_KEYMENU without a menu bar: nothing to do on this screen.
        return 0;
    }
}

LRESULT SetCursorDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w->parent && (w->style & WS_CHILD)) {
        if (SendMessageA(w->parent, WM_SETCURSOR, wParam, lParam)) {
            return TRUE;
        }
        if ((w = Find(window)) == nullptr) {
            return TRUE;
        }
    }
    short hit = static_cast<short>(LOWORD(lParam));
    if (hit == HTERROR) {
        if (HIWORD(lParam) == WM_LBUTTONDOWN || HIWORD(lParam) == WM_RBUTTONDOWN) {
            MessageBeep(0);
        }
        return FALSE;
    }
    if (hit == HTCLIENT) {
        HCURSOR cursor = w->windowClass->info.hCursor;
        if (cursor) {
            SetCursor(cursor);
            return TRUE;
        }
        return FALSE;
    }
    LPCSTR shape = IDC_ARROW;
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        shape = IDC_SIZEWE;
        break;
    case HTTOP:
    case HTBOTTOM:
        shape = IDC_SIZENS;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        shape = IDC_SIZENWSE;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        shape = IDC_SIZENESW;
        break;
    default:
        break;
    }
    SetCursor(LoadCursorA(nullptr, shape));
    return FALSE;
}

LRESULT MouseActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w->parent && (w->style & WS_CHILD)) {
        LRESULT answer = SendMessageA(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (answer) {
            return answer;
        }
    }
    return MA_ACTIVATE;
}

// A resize of a window that has size limits is held to the track sizes the
// window answers; a minimised window keeps its small size.
LRESULT HoldToTrackSizes(HWND window, LPARAM lParam) {
    WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    Window* w = Find(window);
    if (pos == nullptr || w == nullptr || (pos->flags & SWP_NOSIZE) || !HasSizeLimits(w->style)) {
        return 0;
    }
    std::optional<MINMAXINFO> limits = AskSizeLimits(window);
    if (!limits || (w = Find(window)) == nullptr) {
        return 0;
    }
    pos->cx = std::min<int>(pos->cx, limits->ptMaxTrackSize.x);
    pos->cy = std::min<int>(pos->cy, limits->ptMaxTrackSize.y);
    if (!(w->style & WS_MINIMIZE)) {
        pos->cx = std::max<int>(pos->cx, limits->ptMinTrackSize.x);
        pos->cy = std::max<int>(pos->cy, limits->ptMinTrackSize.y);
    }
    return 0;
}

LRESULT SizeAndMove(HWND window, LPARAM lParam) {
    const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    Window* w = Find(window);
    if (pos == nullptr || w == nullptr) {
        return 0;
    }
    constexpr UINT kNoClientSize = 0x0800;
    constexpr UINT kNoClientMove = 0x1000;
    if (!(pos->flags & kNoClientMove)) {
        SendMessageA(window, WM_MOVE, 0,
                     MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
    }
    if ((w = Find(window)) && !(pos->flags & kNoClientSize)) {
        WPARAM kind = (w->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                      : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                 : SIZE_RESTORED;
        SendMessageA(
            window, WM_SIZE, kind,
            MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    }
    if ((w = Find(window)) && !(pos->flags & (kNoClientMove | kNoClientSize))) {
        w->sizeUntold = false;
    }
    return 0;
}

LRESULT CalcSize(HWND window, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                     : reinterpret_cast<RECT*>(lParam);
    if (r == nullptr) {
        return 0;
    }
    RECT client = ClientFromWindow(*r, w->style, w->exStyle);
    *r = {r->left + client.left, r->top + client.top, r->left + client.right,
          r->top + client.bottom};
    return 0;
}

void CaptionButtonUp(HWND window, WPARAM hit) {
    UserState& state = State();
    int pressed = state.pressedCaptionButton;
    state.pressedCaptionButton = HTNOWHERE;
    if (pressed != static_cast<int>(hit)) {
        return;
    }
    switch (hit) {
    case HTCLOSE:
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case HTMINBUTTON:
        SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case HTMAXBUTTON:
        SendMessageA(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    default:
        break;
    }
}

LRESULT ControlColor(UINT message, WPARAM dc) {
    bool editLike = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    int background = editLike ? COLOR_WINDOW : COLOR_BTNFACE;
    HDC hdc = reinterpret_cast<HDC>(dc);
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

} // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName)) {
            w->text = create->lpszName;
        }
        return TRUE;
    }
    case WM_NCCALCSIZE:
        return CalcSize(window, wParam, lParam);
    case WM_NCHITTEST:
        return HitTest(window, lParam);
    case WM_NCPAINT:
        DrawFrame(window);
        return 0;
    case WM_NCACTIVATE:
        if (!w->parent && IsWindowVisible(window)) {
            DrawFrame(window);
        }
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = BrushOf(w->windowClass->info.hbrBackground);
        if (brush == nullptr || wParam == 0) {
            return 0;
        }
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return 1;
    }
    case WM_SETTEXT:
        return SetText(window, lParam);
    case WM_GETTEXT:
        return GetText(window, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        return SystemCommand(window, wParam, lParam);
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29))) {
            SendMessageA(TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSKEYUP:
        if ((wParam == VK_MENU || wParam == VK_F10) &&
            State().lastKeyDown == static_cast<int>(wParam)) {
            SendMessageA(TopLevelOf(window), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        if (wParam != VK_TAB && wParam != VK_ESCAPE) {
            SendMessageA(TopLevelOf(window), WM_SYSCOMMAND, SC_KEYMENU,
                         static_cast<LPARAM>(wParam));
        }
        return 0;
    case WM_SETICON:
    case WM_GETICON: {
        if (wParam > ICON_BIG) {
            return 0;
        }
        HICON& kept = w->icons[wParam];
        const HICON previous = kept;
        if (message == WM_SETICON) {
            kept = reinterpret_cast<HICON>(lParam);
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_SETCURSOR:
        return SetCursorDefault(window, wParam, lParam);
    case WM_MOUSEACTIVATE:
        return MouseActivate(window, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
            SetFocus(window);
        }
        return 0;
    case WM_CANCELMODE:
        if (State().capture == window) {
            ReleaseCapture();
        }
        return 0;
    case WM_WINDOWPOSCHANGING:
        return HoldToTrackSizes(window, lParam);
    case WM_WINDOWPOSCHANGED:
        return SizeAndMove(window, lParam);
    case WM_NCLBUTTONDOWN:
        State().pressedCaptionButton = static_cast<int>(wParam);
        if (wParam == HTCAPTION) {
            SendMessageA(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        } else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
            SendMessageA(window, WM_SYSCOMMAND, SC_SIZE | (wParam - HTLEFT + WMSZ_LEFT), lParam);
        } else if (wParam == HTVSCROLL || wParam == HTHSCROLL) {
            TrackScrollClick(window, static_cast<int>(wParam),
                             {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        }
        return 0;
    case WM_NCLBUTTONUP:
        CaptionButtonUp(window, wParam);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && (w->style & WS_MAXIMIZEBOX)) {
            SendMessageA(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
        } else if (wParam == HTVSCROLL || wParam == HTHSCROLL) {
            TrackScrollClick(window, static_cast<int>(wParam),
                             {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        }
        return 0;
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &p);
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_CONTEXTMENU:
        if (w->parent && (w->style & WS_CHILD)) {
            SendMessageA(w->parent, WM_CONTEXTMENU, wParam, lParam);
        }
        return 0;
    // A wheel turn that a child leaves alone may scroll its parent.
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (w->parent && (w->style & WS_CHILD)) {
            return SendMessageA(w->parent, message, wParam, lParam);
        }
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return ControlColor(message, wParam);
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(w->windowClass->info.hIcon);
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return -1;
    default:
        return 0;
    }
}
