// The system classes this screen offers ("#32770" for dialogs and message
// boxes, "Button" for their buttons), MessageBoxA and IsDialogMessageA.

#include "MouseParams.h"
#include "UserState.h"

#include <algorithm>

namespace platform::user {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kButtonClass[] = "Button";
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

MessageBoxRun* RunOf(HWND box) {
    for (MessageBoxRun* run : State().messageBoxes) {
        if (run->box == box) {
            return run;
        }
    }
    return nullptr;
}

int CancelAnswer(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return 0;
    default:
        return IDOK;
    }
}

int DefaultAnswer(UINT type) {
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

void End(HWND box, int answer) {
    if (MessageBoxRun* run = RunOf(box); run && answer) {
        run->answer = answer;
    }
}

// A filled circle with a white cross: the stop sign of an error box; the
// other icons are drawn as a filled circle of their own colour.
void DrawIconGlyph(HDC dc, int x, int y, UINT type) {
    UINT icon = type & 0xF0;
    if (icon == 0) {
        return;
    }
    COLORREF color = icon == MB_ICONHAND          ? RGB(255, 0, 0)
                     : icon == MB_ICONEXCLAMATION ? RGB(255, 255, 0)
                                                  : RGB(0, 0, 255);
    HBRUSH brush = CreateSolidBrush(color);
    int r = kIconSize / 2;
    for (int row = 0; row < kIconSize; ++row) {
        int dy = row - r;
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= r * r) {
            ++half;
        }
        RECT line{x + r - half, y + row, x + r + half, y + row + 1};
        FillRect(dc, &line, brush);
    }
    DeleteObject(brush);
    if (icon == MB_ICONHAND) {
        HBRUSH white = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
        for (int i = -6; i <= 6; ++i) {
            RECT a{x + r + i - 1, y + r + i - 1, x + r + i + 2, y + r + i + 2};
            RECT b{x + r + i - 1, y + r - i - 1, x + r + i + 2, y + r - i + 2};
            FillRect(dc, &a, white);
            FillRect(dc, &b, white);
        }
    }
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        if (GetFocus() == window) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        char text[64];
        int length = GetWindowTextA(window, text, sizeof text);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(window);
        return 0;
    case WM_LBUTTONUP: {
        bool captured = GetCapture() == window;
        ReleaseCapture();
        RECT r;
        GetClientRect(window, &r);
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (captured && p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
            SendMessageA(GetParent(window), WM_COMMAND,
                         MAKEWPARAM(GetWindowLongPtrA(window, GWLP_ID), 0),
                         reinterpret_cast<LPARAM>(window));
        }
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void PaintBox(HWND box) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box, &paint);
    MessageBoxRun* run = RunOf(box);
    if (run) {
        int left = kMargin;
        if (run->type & 0xF0) {
            DrawIconGlyph(dc, kMargin, kMargin, run->type);
            left += kIconSize + kMargin;
        }
        RECT client;
        GetClientRect(box, &client);
        RECT text{left, kMargin, client.right - kMargin, client.bottom - kButtonHeight - kMargin};
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, run->text.c_str(), static_cast<int>(run->text.size()), &text,
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
    EndPaint(box, &paint);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageBoxRun* run = RunOf(window);
    switch (message) {
    case WM_PAINT:
        if (run) {
            PaintBox(window);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (run) {
            End(window, LOWORD(wParam));
        }
        return 0;
    case WM_KEYDOWN:
        if (run && wParam == VK_RETURN) {
            End(window, DefaultAnswer(run->type));
        } else if (run && wParam == VK_ESCAPE) {
            End(window, CancelAnswer(run->type));
        }
        return 0;
    case WM_CLOSE:
        if (run) {
            End(window, CancelAnswer(run->type));
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

SIZE MeasureText(const std::string& text) {
    HDC dc = GetDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, 400, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ReleaseDC(nullptr, dc);
    return {r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> DisableOwners(HWND owner, UINT type) {
    std::vector<HWND> disabled;
    std::vector<HWND> candidates;
    if (type & MB_TASKMODAL) {
        candidates = State().topLevels;
    } else if (owner) {
        candidates.push_back(TopLevelOf(owner));
    }
    for (HWND window : candidates) {
        if (IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            disabled.push_back(window);
        }
    }
    return disabled;
}

HWND MakeBox(MessageBoxRun& run, HWND owner) {
    SIZE text = MeasureText(run.text);
    int iconWidth = (run.type & 0xF0) ? kIconSize + kMargin : 0;
    int clientWidth = std::max<int>(iconWidth + text.cx, kButtonWidth * ((run.type & 0xF) ? 2 : 1));
    clientWidth = std::max(clientWidth + 2 * kMargin, 160);
    int clientHeight =
        std::max<int>(text.cy, (run.type & 0xF0) ? kIconSize : 0) + 3 * kMargin + kButtonHeight;
    RECT r{0, 0, clientWidth, clientHeight};
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    SIZE screen = State().backend->ScreenSize();
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    HWND box =
        CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kDialogClass, run.caption.c_str(),
                        style, (screen.cx - width) / 2, (screen.cy - height) / 2, width, height,
                        owner, nullptr, nullptr, nullptr);
    if (box == nullptr) {
        return nullptr;
    }
    run.box = box;
    struct Choice {
        int id;
        const char* label;
    };
    std::vector<Choice> choices;
    switch (run.type & 0xF) {
    case MB_OKCANCEL:
        choices = {{IDOK, "OK"}, {IDCANCEL, "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b"}};
        break;
    case MB_YESNO:
        choices = {{IDYES, "\x82\xcd\x82\xa2(&Y)"}, {IDNO, "\x82\xa2\x82\xa2\x82\xa6(&N)"}};
        break;
    default:
        choices = {{IDOK, "OK"}};
        break;
    }
    int total = static_cast<int>(choices.size()) * (kButtonWidth + 6) - 6;
    int x = (clientWidth - total) / 2;
    HWND first = nullptr;
    for (const Choice& choice : choices) {
        HWND button = CreateWindowExA(
            0, kButtonClass, choice.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x,
            clientHeight - kMargin - kButtonHeight, kButtonWidth, kButtonHeight, box,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(choice.id)), nullptr, nullptr);
        first = first ? first : button;
        x += kButtonWidth + 6;
    }
    ShowWindow(box, SW_SHOW);
    SetFocus(box);
    return box;
}

} // namespace

void RegisterSystemClasses(UserState& state) {
    WNDCLASSA dialog{};
    dialog.style = CS_SAVEBITS | CS_DBLCLKS;
    dialog.lpfnWndProc = DialogProc;
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    dialog.lpszClassName = kDialogClass;
    RegisterClass(state, dialog, true);
    WNDCLASSA button{};
    button.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_PARENTDC;
    button.lpfnWndProc = ButtonProc;
    button.lpszClassName = kButtonClass;
    RegisterClass(state, button, true);
    RegisterEditClass(state);
    RegisterComboBoxClasses(state);
}

} // namespace platform::user

using namespace platform::user;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    UserState& state = State();
    if (owner && !Find(owner)) {
        return Fail(1400, 0);
    }
    MessageBoxRun run;
    run.text = text ? text : "";
    // Windows titles an untitled box "Error".
    run.caption = caption ? caption : "\x83\x47\x83\x89\x81\x5b";
    run.type = type;
    state.messageBoxes.push_back(&run);
    HWND focus = GetFocus();
    if (state.capture) {
        SendMessageA(state.capture, WM_CANCELMODE, 0, 0);
    }
    std::vector<HWND> disabled = DisableOwners(owner, type);
    bool quit = false;
    int quitCode = 0;
    if (MakeBox(run, owner)) {
        MSG msg;
        while (run.answer == 0 && Find(run.box)) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                break;
            }
            if (got < 0) {
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    for (HWND window : disabled) {
        EnableWindow(window, TRUE);
    }
    auto& boxes = State().messageBoxes;
    boxes.erase(std::remove(boxes.begin(), boxes.end(), &run), boxes.end());
    if (Find(run.box)) {
        DestroyWindow(run.box);
    }
    if (focus && Find(focus)) {
        SetFocus(focus);
    }
    if (quit) {
        PostQuitMessage(quitCode);
    }
    return run.answer;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (msg == nullptr || !Find(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN) {
        LRESULT code =
            SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
        switch (msg->wParam) {
        case VK_TAB:
            if (!(code & DLGC_WANTTAB) && !wantsAll) {
                HWND next = msg->hwnd;
                bool backwards = GetKeyState(VK_SHIFT) < 0;
                for (int guard = 0; guard < 1000; ++guard) {
                    next = GetWindow(next == dialog ? GetWindow(dialog, GW_CHILD) : next,
                                     backwards ? GW_HWNDPREV : GW_HWNDNEXT);
                    if (next == nullptr) {
                        next = GetWindow(GetWindow(dialog, GW_CHILD),
                                         backwards ? GW_HWNDLAST : GW_HWNDFIRST);
                    }
                    if (next == nullptr || next == msg->hwnd) {
                        break;
                    }
                    if ((GetWindowLongA(next, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(next) &&
                        IsWindowEnabled(next)) {
                        SetFocus(next);
                        break;
                    }
                }
                return TRUE;
            }
            break;
        case VK_RETURN:
            if (!wantsAll) {
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
                return TRUE;
            }
            break;
        case VK_ESCAPE:
            if (!wantsAll) {
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}
