// The system classes this screen offers ("#32770" for dialogs and message
// boxes, "Button" for their buttons), MessageBoxA and IsDialogMessageA.

#include "MouseParams.h"
#include "UserState.h"

#include <algorithm>

namespace platform::user {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kButtonClass[] = "Button";
constexpr char kStaticClass[] = "STATIC";
// The identifiers Windows gives the icon and the text of a message box.
constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;
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

void End(HWND box, int answer) {
    if (MessageBoxRun* run = RunOf(box); run && answer) {
        run->answer = answer;
    }
}

// The system icon a box of this type shows; none for a box without one.
LPCSTR IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return nullptr;
    }
}

bool IsDefaultButton(HWND button) {
    return (GetWindowLongA(button, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        if (GetFocus() == window || IsDefaultButton(window)) {
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
        return DLGC_BUTTON | (IsDefaultButton(window) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageBoxRun* run = RunOf(window);
    switch (message) {
    case WM_COMMAND:
        if (run) {
            // Escape and the close box ask to cancel: OK answers for a box
            // without Cancel, a Yes/No box refuses.
            End(window, LOWORD(wParam) == IDCANCEL ? CancelAnswer(run->type) : LOWORD(wParam));
        }
        return 0;
    case DM_GETDEFID:
        if (run) {
            return MAKELRESULT(run->defaultId, DC_HASDEFID);
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
        for (HWND window : State().topLevels) {
            if (Find(window) && !(Find(window)->style & WS_CHILD)) {
                candidates.push_back(window);
            }
        }
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

HWND MakeChild(HWND box, LPCSTR className, const char* text, DWORD style, RECT r, int id) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, box,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                           nullptr);
}

struct Choice {
    int id;
    const char* label;
};

std::vector<Choice> ChoicesOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b"}};
    case MB_YESNO:
        return {{IDYES, "\x82\xcd\x82\xa2(&Y)"}, {IDNO, "\x82\xa2\x82\xa2\x82\xa6(&N)"}};
    default:
        return {{IDOK, "OK"}};
    }
}

// The box: a dialog whose text and icon are static controls, its buttons in
// a row under them, the default one (MB_DEFBUTTON1 to 4; the first when the
// box has fewer) marked and focused. Above other windows only when asked.
HWND MakeBox(MessageBoxRun& run, HWND owner) {
    SIZE text = MeasureText(run.text);
    LPCSTR icon = IconOf(run.type);
    std::vector<Choice> choices = ChoicesOf(run.type);
    int iconWidth = icon ? kIconSize + kMargin : 0;
    int buttonsWidth = static_cast<int>(choices.size()) * (kButtonWidth + 6) - 6;
    int clientWidth = std::max<int>(iconWidth + text.cx, buttonsWidth);
    clientWidth = std::max(clientWidth + 2 * kMargin, 160);
    int clientHeight = std::max<int>(text.cy, icon ? kIconSize : 0) + 3 * kMargin + kButtonHeight;
    RECT r{0, 0, clientWidth, clientHeight};
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle =
        WS_EX_DLGMODALFRAME | ((run.type & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SIZE screen = State().backend->ScreenSize();
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    HWND box =
        CreateWindowExA(exStyle, kDialogClass, run.caption.c_str(), style, (screen.cx - width) / 2,
                        (screen.cy - height) / 2, width, height, owner, nullptr, nullptr, nullptr);
    if (box == nullptr) {
        return nullptr;
    }
    run.box = box;
    if (icon) {
        HWND iconControl =
            MakeChild(box, kStaticClass, "", SS_ICON,
                      {kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize}, kIconId);
        SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)),
                     0);
    }
    MakeChild(box, kStaticClass, run.text.c_str(), SS_LEFT | SS_NOPREFIX,
              {kMargin + iconWidth, kMargin, clientWidth - kMargin,
               clientHeight - kButtonHeight - 2 * kMargin},
              kTextId);
    std::size_t defaultIndex = (run.type & MB_DEFMASK) >> 8;
    if (defaultIndex >= choices.size()) {
        defaultIndex = 0;
    }
    run.defaultId = choices[defaultIndex].id;
    int x = (clientWidth - buttonsWidth) / 2;
    int y = clientHeight - kMargin - kButtonHeight;
    HWND defaultButton = nullptr;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        bool isDefault = i == defaultIndex;
        HWND button = MakeChild(box, kButtonClass, choices[i].label,
                                WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                {x, y, x + kButtonWidth, y + kButtonHeight}, choices[i].id);
        defaultButton = isDefault ? button : defaultButton;
        x += kButtonWidth + 6;
    }
    ShowWindow(box, SW_SHOW);
    SetFocus(defaultButton ? defaultButton : box);
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
    RegisterStaticClass(state);
    RegisterListBoxClass(state);
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
            if (!IsDialogMessageA(run.box, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
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

namespace {

// What Enter presses: the focused push button, else the dialog's default
// (DM_GETDEFID), else OK.
WORD EnterCommand(HWND dialog, HWND focus, LRESULT focusCode) {
    if (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        return static_cast<WORD>(GetDlgCtrlID(focus));
    }
    LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : WORD{IDOK};
}

} // namespace

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
                SendMessageA(dialog, WM_COMMAND,
                             MAKEWPARAM(EnterCommand(dialog, msg->hwnd, code), 0), 0);
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
