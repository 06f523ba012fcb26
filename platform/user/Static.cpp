// The system class "STATIC": a text drawn with word breaks in its parent's
// static colours, or (SS_ICON) an icon set with STM_SETICON.

#include "SystemControls.h"

namespace platform::user {

namespace {

constexpr char kStaticClass[] = "STATIC";

struct StaticState final : ControlState {
    HFONT font = nullptr;
    HICON icon = nullptr;
};

StaticState* StaticOf(HWND window) {
    return ControlStateOf<StaticState>(window);
}

bool ShowsIcon(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & 0x1F) == SS_ICON;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    HBRUSH background = ControlBrush(window, GetParent(window), WM_CTLCOLORSTATIC, dc);
    StaticState* s = StaticOf(window);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, background);
    if (s != nullptr && ShowsIcon(window)) {
        if (s->icon) {
            DrawIcon(dc, 0, 0, s->icon);
        }
    } else if (s != nullptr) {
        const std::string& text = Find(window)->text;
        HGDIOBJ old = SelectObject(dc, FontOrDefault(s->font));
        SetBkMode(dc, TRANSPARENT);
        UINT format = DT_LEFT | DT_WORDBREAK |
                      ((GetWindowLongA(window, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
        SelectObject(dc, old);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Find(window)->control = std::make_unique<StaticState>();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    StaticState* s = StaticOf(window);
    if (s == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) {
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case STM_SETICON: {
        HICON old = s->icon;
        s->icon = reinterpret_cast<HICON>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(s->icon);
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void RegisterStaticClass(UserState& state) {
    WNDCLASSA info{};
    info.style = CS_GLOBALCLASS | CS_PARENTDC | CS_DBLCLKS;
    info.lpfnWndProc = StaticProc;
    info.lpszClassName = kStaticClass;
    RegisterSystemClass(state, info, IDC_ARROW);
}

} // namespace platform::user
