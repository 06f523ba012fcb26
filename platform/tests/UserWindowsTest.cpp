// Windows, messages, focus, input and timers, driven as small Win32 programs.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

struct Logged {
    HWND window;
    UINT message;
    WPARAM wParam;
};

std::vector<Logged> g_log;
// What the procedure answers, when set, instead of the default handling.
UINT g_answerFor = 0;
LRESULT g_answer = 0;
std::string g_textSeenAtCreate;

bool Interesting(UINT message) {
    switch (message) {
    case WM_SETCURSOR:
    case WM_NCHITTEST:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        return false;
    default:
        return true;
    }
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Interesting(message)) {
        g_log.push_back({window, message, wParam});
    }
    if (message == WM_CREATE) {
        char text[64];
        GetWindowTextA(window, text, sizeof text);
        g_textSeenAtCreate = text;
    }
    if (g_answerFor && message == g_answerFor) {
        return g_answer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC g_original = nullptr;
std::vector<UINT> g_subclassed;
LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_subclassed.push_back(message);
    return CallWindowProcA(g_original, window, message, wParam, lParam);
}

class UserWindows : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_log.clear();
        g_answerFor = 0;
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "Recorder";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wc.style = 0;
        wc.lpszClassName = "PlainRecorder";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { platform::ResetForTesting(); }

    HWND TopLevel(const char* title = "Top", DWORD style = WS_OVERLAPPEDWINDOW) {
        return CreateWindowExA(0, "Recorder", title, style, 100, 80, 410, 309, nullptr, nullptr,
                               nullptr, nullptr);
    }
    HWND Child(HWND parent, int x, int y, int w, int h, DWORD exStyle = 0, int id = 0,
               const char* cls = "Recorder") {
        return CreateWindowExA(exStyle, cls, "child", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                               nullptr);
    }
    static std::vector<UINT> MessagesOf(HWND window) {
        std::vector<UINT> out;
        for (const Logged& l : g_log) {
            if (l.window == window) {
                out.push_back(l.message);
            }
        }
        return out;
    }
};

TEST_F(UserWindows, CreationSendsWindowsSequenceAndTextIsThereForCreate) {
    HWND top = TopLevel("Chart");
    ASSERT_NE(top, nullptr);
    std::vector<UINT> expected{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE};
    EXPECT_EQ(MessagesOf(top), expected) << "an overlapped window hears its size when shown";
    EXPECT_EQ(g_textSeenAtCreate, "Chart");
    g_log.clear();
    ShowWindow(top, SW_SHOW);
    std::vector<UINT> shown = MessagesOf(top);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(std::vector<UINT>(shown.end() - 2, shown.end()),
              (std::vector<UINT>{WM_SIZE, WM_MOVE}));
    g_log.clear();
    ShowWindow(top, SW_HIDE);
    ShowWindow(top, SW_SHOW);
    std::vector<UINT> again = MessagesOf(top);
    EXPECT_EQ(std::count(again.begin(), again.end(), UINT{WM_SIZE}), 0) << "only the first time";

    g_log.clear();
    HWND child = Child(top, 5, 5, 50, 20, 0, 7);
    std::vector<UINT> childExpected{
        WM_NCCREATE,   WM_NCCALCSIZE,        WM_CREATE,          WM_SIZE, WM_MOVE,
        WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
    EXPECT_EQ(MessagesOf(child), childExpected);
    std::vector<UINT> parentExpected{WM_PARENTNOTIFY};
    EXPECT_EQ(MessagesOf(top), parentExpected);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 7);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetDlgCtrlID(top), 0);
    EXPECT_EQ(GetDlgItem(top, 7), child);
    EXPECT_EQ(GetDlgItem(top, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_EQ(GetParent(child), top);
    char name[32];
    EXPECT_EQ(GetClassNameA(child, name, sizeof name), 8);
    EXPECT_STREQ(name, "Recorder");
}

TEST_F(UserWindows, CreationFailsCleanlyWhenCreateAnswersMinusOne) {
    g_answerFor = WM_CREATE;
    g_answer = -1;
    HWND top = TopLevel();
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(platform::CountLiveWindows(), 0u);
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[g_log.size() - 2].message, WM_DESTROY);
    EXPECT_EQ(g_log.back().message, WM_NCDESTROY);
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(CreateWindowExA(0, "Recorder", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST_F(UserWindows, DestroyGoesParentFirstThenChildrenFirst) {
    HWND top = TopLevel();
    HWND a = Child(top, 0, 0, 10, 10);
    HWND b = Child(a, 0, 0, 5, 5);
    g_log.clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Logged& l : g_log) {
        if (l.message == WM_DESTROY || l.message == WM_NCDESTROY) {
            order.push_back({l.window, l.message});
        }
    }
    std::vector<std::pair<HWND, UINT>> expected{{top, WM_DESTROY}, {a, WM_DESTROY},
                                                {b, WM_DESTROY},   {b, WM_NCDESTROY},
                                                {a, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_EQ(GetWindowLongPtrA(a, GWL_STYLE), 0);
    EXPECT_EQ(SendMessageA(b, WM_USER, 0, 0), 0);
    EXPECT_EQ(platform::CountLiveWindows(), 0u);
    EXPECT_FALSE(UnregisterClassA("NoSuchClass", nullptr));
    EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));
}

TEST_F(UserWindows, ClassInfoAndRegistrationRules) {
    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "recorder", &info));
    EXPECT_EQ(info.lpfnWndProc, RecordingProc);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    WNDCLASSA again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "RECORDER";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_TRUE(GetClassInfoA(nullptr, "Button", &info));
    EXPECT_FALSE(GetClassInfoA(nullptr, "Nothing", &info));
    HWND top = TopLevel();
    EXPECT_FALSE(UnregisterClassA("Recorder", nullptr));
    DestroyWindow(top);
    EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));
}

// As on 64-bit Windows: the 32-bit read gives the style and refuses the
// pointer-sized fields, which only the pointer-sized read gives.
TEST_F(UserWindows, TheClassFieldsAreReadAtTheirWidth) {
    HWND top = TopLevel();
    EXPECT_EQ(GetClassLongA(top, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
    SetLastError(0);
    EXPECT_EQ(GetClassLongA(top, GCLP_WNDPROC), 0u);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetClassLongPtrA(top, GCLP_WNDPROC)), RecordingProc);
    EXPECT_EQ(GetClassLongPtrA(top, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
    DestroyWindow(top);
}

TEST_F(UserWindows, SubclassingSeesMessagesFirstAndPassesThem) {
    HWND top = TopLevel();
    g_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(g_original, RecordingProc);
    g_subclassed.clear();
    g_log.clear();
    SendMessageA(top, WM_USER + 1, 0, 0);
    ASSERT_EQ(g_subclassed.size(), 1u);
    EXPECT_EQ(g_subclassed[0], static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(MessagesOf(top), std::vector<UINT>{WM_USER + 1});
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassProc));
}

TEST_F(UserWindows, StylesTextAndPropertiesWithAtoms) {
    HWND top = TopLevel("Before");
    HWND child = Child(top, 0, 0, 10, 10);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    SetWindowLongA(child, GWL_STYLE, style | WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP);
    SetWindowLongA(child, GWL_STYLE, style | WS_DISABLED);
    EXPECT_FALSE(IsWindowEnabled(child));

    EXPECT_TRUE(SetWindowTextA(top, "After \x83\x65\x83\x58\x83\x67"));
    EXPECT_EQ(GetWindowTextLengthA(top), 12);
    char text[9];
    // The cut falls inside a double-byte character, which is left out whole.
    EXPECT_EQ(GetWindowTextA(top, text, 9), 8);
    EXPECT_STREQ(text, "After \x83\x65");

    std::size_t atomsBefore = platform::CountLiveHandles().atoms;
    ATOM atom = GlobalAddAtomA("ControlOfs0001");
    int object = 42;
    EXPECT_TRUE(SetPropA(top, MAKEINTRESOURCEA(atom), &object));
    EXPECT_EQ(GetPropA(top, "ControlOfs0001"), &object);
    EXPECT_TRUE(SetPropA(top, "Named", &object));
    EXPECT_EQ(platform::CountLiveHandles().atoms, atomsBefore + 2);
    EXPECT_EQ(RemovePropA(top, MAKEINTRESOURCEA(atom)), &object);
    EXPECT_EQ(GetPropA(top, MAKEINTRESOURCEA(atom)), nullptr);
    GlobalDeleteAtom(atom);
    DestroyWindow(top);
    // The string-named property gave its atom back with the window.
    EXPECT_EQ(platform::CountLiveHandles().atoms, atomsBefore);
    EXPECT_EQ(GetPropA(top, "Named"), nullptr);
}

TEST_F(UserWindows, ClientAreasFollowWindowsMetrics) {
    HWND top = TopLevel();
    RECT r;
    GetClientRect(top, &r);
    EXPECT_EQ(r.right, 410 - 8);
    EXPECT_EQ(r.bottom, 309 - 8 - 19);
    HWND grid = Child(top, 10, 20, 401, 257, WS_EX_CLIENTEDGE);
    GetClientRect(grid, &r);
    EXPECT_EQ(r.right, 397);
    EXPECT_EQ(r.bottom, 253);
    SetWindowLongA(grid, GWL_STYLE, GetWindowLongA(grid, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
    SetWindowPos(grid, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    GetClientRect(grid, &r);
    // Windows' scroll bars are 17 pixels across at 96 pixels per inch.
    EXPECT_EQ(r.right, 397 - 17);
    EXPECT_EQ(r.bottom, 253 - 17);
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "Recorder", "", WS_POPUP | WS_CAPTION, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    GetClientRect(dialog, &r);
    EXPECT_EQ(r.right, 200 - 6);
    EXPECT_EQ(r.bottom, 100 - 6 - 19);
    RECT adjusted{0, 0, 402, 282};
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(adjusted.right - adjusted.left, 410);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 309);

    POINT p{0, 0};
    ClientToScreen(grid, &p);
    EXPECT_EQ(p.x, 100 + 4 + 10 + 2);
    EXPECT_EQ(p.y, 80 + 4 + 19 + 20 + 2);
    POINT q = p;
    ScreenToClient(top, &q);
    EXPECT_EQ(q.x, 12);
    POINT pts[1] = {{0, 0}};
    MapWindowPoints(grid, top, pts, 1);
    EXPECT_EQ(pts[0].x, 12);
    EXPECT_EQ(pts[0].y, 22);
}

TEST_F(UserWindows, SetWindowPosSendsItsMessagesAndSkipsUnchangedCalls) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 10, 10);
    g_log.clear();
    SetWindowPos(child, nullptr, 5, 6, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<UINT> expected{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE,
                               WM_SIZE};
    EXPECT_EQ(MessagesOf(child), expected);
    g_log.clear();
    SetWindowPos(child, nullptr, 5, 6, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(MessagesOf(child), std::vector<UINT>{WM_WINDOWPOSCHANGING});
    g_log.clear();
    SetWindowPos(child, nullptr, 7, 6, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    std::vector<UINT> moveOnly{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE};
    EXPECT_EQ(MessagesOf(child), moveOnly);
    RECT r;
    GetWindowRect(child, &r);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(r.left, origin.x + 7);
    EXPECT_EQ(r.right - r.left, 30);
}

TEST_F(UserWindows, ShowWindowCodesAndPlacement) {
    HWND top = TopLevel();
    EXPECT_FALSE(ShowWindow(top, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetFocus(), top);
    g_log.clear();
    ShowWindow(top, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(top));
    bool sawMinimized = false;
    for (const Logged& l : g_log) {
        sawMinimized |= l.message == WM_SIZE && l.wParam == SIZE_MINIMIZED;
    }
    EXPECT_TRUE(sawMinimized);
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(top, &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.right, 510);
    ShowWindow(top, SW_RESTORE);
    EXPECT_FALSE(IsIconic(top));
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 309);
    ShowWindow(top, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(top));
    GetClientRect(top, &r);
    EXPECT_EQ(r.right, 1024);
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(UserWindows, TreeZOrderAndHitPoints) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    HWND a = Child(top, 0, 0, 100, 100, 0, 1);
    HWND b = Child(top, 50, 50, 100, 100, 0, 2);
    // A new child goes below its older siblings.
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
    POINT inBoth{60, 60};
    EXPECT_EQ(ChildWindowFromPoint(top, inBoth), a);
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ChildWindowFromPoint(top, inBoth), b);
    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(ChildWindowFromPoint(top, inBoth), a);
    EXPECT_EQ(WindowFromPoint(platform::ScreenPointOf(top, inBoth)), a);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{300, 200}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{-1, 5}), nullptr);
    EnableWindow(a, FALSE);
    EXPECT_EQ(WindowFromPoint(platform::ScreenPointOf(top, POINT{10, 10})), top);

    HWND other = TopLevel("Other");
    ShowWindow(other, SW_SHOW);
    EXPECT_EQ(GetTopWindow(nullptr), other);
    SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopWindow(nullptr), top);
    BringWindowToTop(other);
    EXPECT_EQ(GetTopWindow(nullptr), top);
    std::vector<HWND> listed;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&listed));
    EXPECT_EQ(listed, (std::vector<HWND>{top, other}));
}

TEST_F(UserWindows, EnableWindowSendsCancelModeThenEnable) {
    HWND top = TopLevel();
    SetCapture(top);
    g_log.clear();
    EXPECT_FALSE(EnableWindow(top, FALSE));
    std::vector<UINT> expected{WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE};
    EXPECT_EQ(MessagesOf(top), expected);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(EnableWindow(top, TRUE));
    EXPECT_TRUE(IsWindowEnabled(top));
}

TEST_F(UserWindows, FocusAndActivationMessagesInOrder) {
    HWND first = TopLevel("First");
    HWND edit = Child(first, 0, 0, 50, 20);
    ShowWindow(first, SW_SHOW);
    HWND second = TopLevel("Second");
    g_log.clear();
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
    std::vector<UINT> focusExpected{WM_KILLFOCUS};
    EXPECT_EQ(MessagesOf(first), focusExpected);
    EXPECT_EQ(MessagesOf(edit), std::vector<UINT>{WM_SETFOCUS});

    g_log.clear();
    ShowWindow(second, SW_SHOW);
    std::vector<UINT> oldSide{WM_NCACTIVATE, WM_ACTIVATE};
    EXPECT_EQ(MessagesOf(first), oldSide);
    EXPECT_EQ(MessagesOf(edit), std::vector<UINT>{WM_KILLFOCUS});
    std::vector<UINT> newSide{
        WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCACTIVATE,       WM_ACTIVATE, WM_SETFOCUS,
        WM_NCPAINT,    WM_ERASEBKGND,        WM_WINDOWPOSCHANGED, WM_SIZE,     WM_MOVE};
    EXPECT_EQ(MessagesOf(second), newSide);
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(GetForegroundWindow(), second);
    DestroyWindow(second);
    EXPECT_EQ(GetActiveWindow(), first);
}

TEST_F(UserWindows, ClicksActivateRouteToCaptureAndMakeDoubleClicks) {
    HWND top = TopLevel();
    HWND plain = Child(top, 0, 0, 50, 50, 0, 1, "PlainRecorder");
    HWND dbl = Child(top, 100, 0, 50, 50, 0, 2);
    ShowWindow(top, SW_SHOWNOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    g_log.clear();
    platform::ClickAt(plain, {10, 12});
    platform::RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), top);
    std::vector<UINT> plainSeen;
    for (UINT m : MessagesOf(plain)) {
        if (m == WM_MOUSEMOVE || m == WM_MOUSEACTIVATE || m == WM_LBUTTONDOWN ||
            m == WM_LBUTTONUP) {
            plainSeen.push_back(m);
        }
    }
    std::vector<UINT> activation{WM_MOUSEMOVE, WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(plainSeen, activation);

    auto buttonMessages = [](HWND window) {
        std::vector<UINT> out;
        for (UINT m : MessagesOf(window)) {
            if (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) {
                out.push_back(m);
            }
        }
        return out;
    };
    g_log.clear();
    platform::ClickAt(dbl, {5, 5});
    platform::ClickAt(dbl, {6, 5});
    platform::ClickAt(dbl, {6, 5});
    platform::RunUntilIdle();
    std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK,
                               WM_LBUTTONUP,   WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(buttonMessages(dbl), expected);

    g_log.clear();
    platform::ClickAt(plain, {5, 5});
    platform::ClickAt(plain, {5, 5});
    platform::RunUntilIdle();
    std::vector<UINT> noDouble{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(buttonMessages(plain), noDouble);

    g_log.clear();
    platform::ClickAt(dbl, {5, 5});
    platform::AdvanceClock(GetDoubleClickTime() + 1);
    platform::ClickAt(dbl, {5, 5});
    platform::RunUntilIdle();
    EXPECT_EQ(buttonMessages(dbl), noDouble);

    SetCapture(plain);
    g_log.clear();
    platform::ClickAt(dbl, {5, 5});
    platform::RunUntilIdle();
    EXPECT_TRUE(buttonMessages(dbl).empty());
    EXPECT_EQ(buttonMessages(plain), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    ReleaseCapture();
}

TEST_F(UserWindows, KeysGoToTheFocusAndTranslateToCharacters) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    HWND edit = Child(top, 0, 0, 50, 20);
    SetFocus(edit);
    std::vector<MSG> seen;
    auto pump = [&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            seen.push_back(msg);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    };
    platform::TypeText("a!\x83\x65");
    pump();
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const MSG& m : seen) {
        if (m.message == WM_CHAR) {
            got.push_back({m.message, m.wParam});
        }
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
            EXPECT_EQ(m.hwnd, edit);
        }
    }
    std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_CHAR, 'a'}, {WM_CHAR, '!'}, {WM_CHAR, 0x83}, {WM_CHAR, 0x65}};
    EXPECT_EQ(got, expected);
    std::erase_if(seen, [](const MSG& m) { return m.message == WM_PAINT || m.message == WM_CHAR; });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(seen[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ((seen[0].lParam >> 16) & 0xFF, 0x1E);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);

    seen.clear();
    platform::PressKey(VK_SHIFT);
    pump();
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    platform::ReleaseKey(VK_SHIFT);
    platform::PressKey(VK_MENU);
    platform::TapKey('X');
    platform::ReleaseKey(VK_MENU);
    pump();
    std::erase_if(seen, [](const MSG& m) { return m.message == WM_PAINT; });
    std::vector<UINT> sys;
    for (const MSG& m : seen) {
        sys.push_back(m.message);
    }
    std::vector<UINT> expectedSys{WM_KEYDOWN, WM_KEYUP,    WM_SYSKEYDOWN, WM_SYSKEYDOWN,
                                  WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYUP};
    EXPECT_EQ(sys, expectedSys);
    EXPECT_TRUE(seen[3].lParam & (1 << 29));
}

TEST_F(UserWindows, AltF4ClosesThroughSysCommand) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    platform::PressKey(VK_MENU);
    platform::TapKey(VK_F4);
    platform::ReleaseKey(VK_MENU);
    platform::RunUntilIdle();
    EXPECT_FALSE(IsWindow(top));
    bool sawClose = false;
    for (const Logged& l : g_log) {
        sawClose |= l.message == WM_SYSCOMMAND && l.wParam == SC_CLOSE;
    }
    EXPECT_TRUE(sawClose);
}

TEST_F(UserWindows, RetrievalOrderIsPostedInputPaintTimer) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    platform::RunUntilIdle();
    SetTimer(top, 2, 10, nullptr);
    InvalidateRect(top, nullptr, FALSE);
    platform::MoveMouse(platform::ScreenPointOf(top, {3, 3}));
    PostMessageA(top, WM_USER, 0, 0);
    MSG msg;
    // Peeking without removal shows the posted message and leaves it there.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    std::vector<UINT> order;
    DWORD start = GetTickCount();
    // With nothing else left, waiting moves the headless clock to the timer.
    while (order.size() < 4 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        order.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    KillTimer(top, 2);
    std::vector<UINT> expected{WM_USER, WM_MOUSEMOVE, WM_PAINT, WM_TIMER};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(GetTickCount() - start, 10u);
    PostQuitMessage(3);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
    // Nothing can arrive any more: an error, not a hang.
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
}

TEST_F(UserWindows, TimersTickOnTheVirtualClock) {
    HWND top = TopLevel();
    static int threadTicks = 0;
    threadTicks = 0;
    SetTimer(top, 5, 100, nullptr);
    UINT_PTR thread = SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR, DWORD) { ++threadTicks; });
    EXPECT_NE(thread, 0u);
    g_log.clear();
    platform::AdvanceClock(1000);
    int ticks = 0;
    for (const Logged& l : g_log) {
        ticks += l.message == WM_TIMER && l.wParam == 5;
    }
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(threadTicks, 4);
    EXPECT_TRUE(KillTimer(top, 5));
    EXPECT_FALSE(KillTimer(top, 5));
    DestroyWindow(top);
    // A posted WM_TIMER naming a procedure that is no timer's is not called.
    PostMessageA(nullptr, WM_TIMER, 99, 12345);
    EXPECT_EQ(platform::RunUntilIdle(), 1);
}

TEST_F(UserWindows, MessageBoxAnsweredByEnterDisablesAndReenablesOwner) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    std::string seenText;
    bool ownerDisabledMeanwhile = false;
    platform::QueueUserAction([&] {
        seenText = platform::MessageBoxText();
        ownerDisabledMeanwhile = !IsWindowEnabled(top);
        platform::TapKey(VK_RETURN);
    });
    int answer = MessageBoxA(top, "Something failed", "Chart", MB_OK | MB_ICONERROR);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(seenText, "Something failed");
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_FALSE(platform::MessageBoxOpen());
    EXPECT_EQ(GetActiveWindow(), top);

    platform::QueueUserAction([] { platform::TapKey(VK_ESCAPE); });
    EXPECT_EQ(MessageBoxA(top, "Go on?", "Chart", MB_OKCANCEL | MB_TASKMODAL), IDCANCEL);
    // Nobody answers: the box gives up instead of waiting forever.
    EXPECT_EQ(MessageBoxA(nullptr, "Unanswered", nullptr, MB_OK), 0);
    EXPECT_EQ(platform::CountLiveWindows(), 1u);
}

TEST_F(UserWindows, ScrollBarClicksSendScrollCodes) {
    HWND top = TopLevel();
    HWND grid = CreateWindowExA(0, "Recorder", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200,
                                200, top, nullptr, nullptr, nullptr);
    ShowWindow(top, SW_SHOW);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(grid, SB_VERT, &info, TRUE);
    EXPECT_EQ(SetScrollPos(grid, SB_VERT, 500, TRUE), 0);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 90);
    SetScrollPos(grid, SB_VERT, 0, TRUE);
    RECT window;
    GetWindowRect(grid, &window);
    g_log.clear();
    platform::MoveMouse({window.right - 8, window.bottom - 8});
    platform::PressMouse(platform::MouseButton::Left);
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::MoveMouse({window.right - 8, window.top + 150});
    platform::PressMouse(platform::MouseButton::Left);
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    std::vector<WPARAM> codes;
    for (const Logged& l : g_log) {
        if (l.message == WM_VSCROLL) {
            codes.push_back(LOWORD(l.wParam));
        }
    }
    std::vector<WPARAM> expected{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL};
    EXPECT_EQ(codes, expected);
    SetScrollRange(grid, SB_VERT, 0, 0, TRUE);
    EXPECT_FALSE(GetWindowLongA(grid, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(UserWindows, SystemValuesAndAbsentServices) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 1);
    HMENU menu = GetSystemMenu(TopLevel(), FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_FALSE(DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(LoadLibraryA("imm32.dll"), nullptr);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(GetKeyboardLayoutList(0, nullptr), 1);
    ANIMATIONINFO animation{sizeof animation, 1};
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETANIMATION, 0, &animation, 0));
    animation.iMinAnimate = 0;
    SystemParametersInfoA(SPI_GETANIMATION, 0, &animation, 0);
    EXPECT_EQ(animation.iMinAnimate, 1);
    platform::ResetForTesting();
    platform::UseHeadlessScreen(800, 600, 120);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
}

} // namespace

namespace {

TEST_F(UserWindows, HidingTheFocusedChildHandsTheFocusToItsParent) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    HWND child = Child(top, 0, 0, 40, 20);
    SetFocus(child);
    g_log.clear();
    ShowWindow(child, SW_HIDE);
    EXPECT_EQ(GetFocus(), top);
    std::vector<UINT> childSaw = MessagesOf(child);
    EXPECT_NE(std::find(childSaw.begin(), childSaw.end(), UINT{WM_KILLFOCUS}), childSaw.end());
}

TEST_F(UserWindows, HidingTheActiveWindowTellsPlaceThenActivationThenFocus) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    ASSERT_EQ(GetFocus(), top);
    g_log.clear();
    ShowWindow(top, SW_HIDE);
    std::vector<UINT> seen = MessagesOf(top);
    std::vector<UINT> order;
    for (UINT message : seen) {
        if (message == WM_WINDOWPOSCHANGED || message == WM_NCACTIVATE || message == WM_ACTIVATE ||
            message == WM_ACTIVATEAPP || message == WM_KILLFOCUS) {
            order.push_back(message);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE,
                                        WM_ACTIVATEAPP, WM_KILLFOCUS}));
    EXPECT_EQ(GetFocus(), nullptr);
}

} // namespace

namespace {

std::vector<WINDOWPOS> g_changing;
LRESULT CALLBACK ChangingRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING) {
        g_changing.push_back(*reinterpret_cast<WINDOWPOS*>(lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(UserWindows, ChangingHearsTheValuesAsGivenAndTheWindowKeepsWhatTheFlagsKeep) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ChangingRecorder;
    wc.lpszClassName = "ChangingRecorder";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND top = CreateWindowExA(0, "ChangingRecorder", "", WS_OVERLAPPEDWINDOW, 100, 100, 410, 309,
                               nullptr, nullptr, nullptr, nullptr);
    g_changing.clear();
    SetWindowPos(top, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(g_changing.size(), 1u);
    EXPECT_EQ(g_changing[0].x, 50);
    EXPECT_EQ(g_changing[0].cx, 0) << "as the caller gave it";
    EXPECT_EQ(g_changing[0].cy, 0);
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.right - rect.left, 410) << "SWP_NOSIZE kept the size";
    EXPECT_EQ(rect.bottom - rect.top, 309);
}

} // namespace

namespace {

TEST_F(UserWindows, TakingTheCaptureAgainTellsTheWindowItChanged) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 50, 20);
    EXPECT_EQ(SetCapture(child), nullptr);
    g_log.clear();
    EXPECT_EQ(SetCapture(child), child);
    EXPECT_EQ(MessagesOf(child), std::vector<UINT>{WM_CAPTURECHANGED});
    EXPECT_EQ(GetCapture(), child);
    ReleaseCapture();
    g_log.clear();
    SetCapture(nullptr);
    EXPECT_TRUE(g_log.empty()) << "no capture, nobody to tell";
}

TEST_F(UserWindows, DestroyingAShownChildHidesItAsShowWindowDoes) {
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    HWND child = Child(top, 0, 0, 50, 20);
    g_log.clear();
    DestroyWindow(child);
    std::vector<UINT> heard = MessagesOf(child);
    ASSERT_GE(heard.size(), 4u);
    EXPECT_EQ(heard[0], static_cast<UINT>(WM_SHOWWINDOW));
    EXPECT_EQ(g_log.front().window, top) << "the parent hears first";
    EXPECT_EQ(g_log.front().message, static_cast<UINT>(WM_PARENTNOTIFY));
    EXPECT_EQ(heard[1], static_cast<UINT>(WM_WINDOWPOSCHANGING));
    EXPECT_EQ(heard[2], static_cast<UINT>(WM_WINDOWPOSCHANGED));
    EXPECT_NE(std::find(heard.begin(), heard.end(), UINT{WM_DESTROY}), heard.end());

    HWND topLevel = TopLevel("Other");
    ShowWindow(topLevel, SW_SHOW);
    g_log.clear();
    DestroyWindow(topLevel);
    std::vector<UINT> topHeard = MessagesOf(topLevel);
    EXPECT_EQ(std::find(topHeard.begin(), topHeard.end(), UINT{WM_SHOWWINDOW}), topHeard.end())
        << "a top-level window only changes its place";
}

} // namespace
