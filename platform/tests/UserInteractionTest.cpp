// Interaction the library leaves to the system: dragging a scroll thumb,
// dialog keys, cursor shapes over the frame, RedrawWindow and GetDCEx
// flags, and the queue's waiting calls, driven as small Win32 programs.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Event {
    HWND window;
    UINT message;
    WPARAM wParam;
};
std::vector<Event> g_events;
// The dialog code the "Wants" class answers to WM_GETDLGCODE.
LRESULT g_dialogCode = 0;
// WM_SETCURSOR answer of the "Recorder" class; -1 for the default handling.
LRESULT g_setCursorAnswer = -1;
// WM_MOUSEACTIVATE answer; 0 for the default handling.
LRESULT g_mouseActivateAnswer = 0;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_COMMAND:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CHAR:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        g_events.push_back({window, message, wParam});
        break;
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
    case WM_SIZING:
    case WM_MOVING:
        g_events.push_back({window, message, wParam});
        break;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = {500, 400};
        break;
    case WM_MOUSEACTIVATE:
        if (g_mouseActivateAnswer != 0) {
            return g_mouseActivateAnswer;
        }
        break;
    case WM_SETCURSOR:
        if (g_setCursorAnswer >= 0) {
            return g_setCursorAnswer;
        }
        break;
    case WM_PAINT: {
        g_events.push_back({window, message, wParam});
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_GETDLGCODE:
        if (GetWindowLongPtrA(window, GWLP_USERDATA) != 0) {
            return g_dialogCode;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class UserInteraction : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_events.clear();
        g_dialogCode = 0;
        g_setCursorAnswer = -1;
        g_mouseActivateAnswer = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
        wc.lpszClassName = "Recorder";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { platform::ResetForTesting(); }

    static HWND Top(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
        return CreateWindowExA(0, "Recorder", "Top", style, 100, 80, 410, 309, nullptr, nullptr,
                               nullptr, nullptr);
    }
    static HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = 0, int id = 0) {
        return CreateWindowExA(0, "Recorder", "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                               nullptr);
    }
    static std::vector<Event> Take(UINT message) {
        std::vector<Event> out;
        for (const Event& e : g_events) {
            if (e.message == message) {
                out.push_back(e);
            }
        }
        return out;
    }
    static std::vector<std::pair<int, int>> ScrollCodes(UINT message) {
        std::vector<std::pair<int, int>> out;
        for (const Event& e : Take(message)) {
            out.emplace_back(LOWORD(e.wParam), static_cast<short>(HIWORD(e.wParam)));
        }
        return out;
    }
};

TEST_F(UserInteraction, DraggingTheThumbTracksAndEndsWithItsPosition) {
    HWND top = Top();
    // The bar is 16 wide, its arrows 16 high: a trough of 168 with a thumb
    // of 16 leaves 152 pixels for positions 0 to 90.
    HWND grid = Child(top, 0, 0, 200, 200, WS_VSCROLL);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(grid, SB_VERT, &info, TRUE);
    POINT thumb = platform::ScreenPointOf(grid, {0, 0});
    thumb.x += 192;
    thumb.y += 24;
    g_events.clear();
    platform::MoveMouse(thumb);
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({thumb.x, thumb.y + 76});
    platform::MoveMouse({thumb.x, thumb.y + 400});
    platform::MoveMouse({thumb.x, thumb.y - 400});
    platform::MoveMouse({thumb.x, thumb.y + 38});
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    std::vector<std::pair<int, int>> expected{{SB_THUMBTRACK, 45},    {SB_THUMBTRACK, 90},
                                              {SB_THUMBTRACK, 0},     {SB_THUMBTRACK, 22},
                                              {SB_THUMBPOSITION, 22}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(ScrollCodes(WM_VSCROLL), expected);
    EXPECT_EQ(GetCapture(), nullptr);
    info.fMask = SIF_POS | SIF_TRACKPOS;
    ASSERT_TRUE(GetScrollInfo(grid, SB_VERT, &info));
    // The bar only reports; the program moves the position.
    EXPECT_EQ(info.nPos, 0);
    EXPECT_EQ(info.nTrackPos, 22);
}

TEST_F(UserInteraction, ReleasingTheThumbWithoutMovingKeepsThePosition) {
    HWND top = Top();
    HWND grid = Child(top, 0, 0, 200, 100, WS_HSCROLL);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 45, 0};
    SetScrollInfo(grid, SB_HORZ, &info, TRUE);
    // Arrows 16 wide, trough 168, thumb 16: position 45 puts it at 16 + 76.
    POINT thumb = platform::ScreenPointOf(grid, {16 + 76 + 8, 0});
    RECT window;
    GetWindowRect(grid, &window);
    thumb.y = window.bottom - 8;
    g_events.clear();
    platform::MoveMouse(thumb);
    platform::PressMouse(platform::MouseButton::Left);
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    std::vector<std::pair<int, int>> expected{{SB_THUMBPOSITION, 45}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(ScrollCodes(WM_HSCROLL), expected);
    EXPECT_TRUE(Take(WM_VSCROLL).empty());
}

TEST_F(UserInteraction, DisabledScrollBarStaysWhenTheRangeEmpties) {
    HWND top = Top();
    HWND grid = Child(top, 0, 0, 200, 200, WS_VSCROLL);
    RECT before;
    GetClientRect(grid, &before);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    SetScrollInfo(grid, SB_VERT, &info, TRUE);
    EXPECT_TRUE(GetWindowLongA(grid, GWL_STYLE) & WS_VSCROLL);
    info.fMask = SIF_RANGE;
    SetScrollInfo(grid, SB_VERT, &info, TRUE);
    EXPECT_FALSE(GetWindowLongA(grid, GWL_STYLE) & WS_VSCROLL);
    RECT after;
    GetClientRect(grid, &after);
    EXPECT_EQ(after.right, before.right + GetSystemMetrics(SM_CXVSCROLL));
    ShowScrollBar(grid, SB_BOTH, TRUE);
    GetClientRect(grid, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom - GetSystemMetrics(SM_CYHSCROLL));
}

class DialogKeys : public UserInteraction {
protected:
    void SetUp() override {
        UserInteraction::SetUp();
        dialog = Top();
        first = Child(dialog, 10, 10, 80, 20, WS_TABSTOP, 1);
        noStop = Child(dialog, 10, 40, 80, 20, 0, 2);
        disabled = Child(dialog, 10, 70, 80, 20, WS_TABSTOP | WS_DISABLED, 3);
        last = Child(dialog, 10, 100, 80, 20, WS_TABSTOP, 4);
        SetFocus(first);
        g_events.clear();
    }
    // The modeless dialog's loop: the dialog takes its keys first.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    std::vector<WPARAM> Commands() const {
        std::vector<WPARAM> out;
        for (const Event& e : Take(WM_COMMAND)) {
            if (e.window == dialog) {
                out.push_back(LOWORD(e.wParam));
            }
        }
        return out;
    }
    HWND dialog = nullptr;
    HWND first = nullptr;
    HWND noStop = nullptr;
    HWND disabled = nullptr;
    HWND last = nullptr;
};

TEST_F(DialogKeys, TabMovesAmongTabStopsBothWaysAndWraps) {
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), last);
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), first);
    platform::PressKey(VK_SHIFT);
    platform::TapKey(VK_TAB);
    platform::ReleaseKey(VK_SHIFT);
    Pump();
    EXPECT_EQ(GetFocus(), last);
    EnableWindow(disabled, TRUE);
    platform::PressKey(VK_SHIFT);
    platform::TapKey(VK_TAB);
    platform::ReleaseKey(VK_SHIFT);
    Pump();
    EXPECT_EQ(GetFocus(), disabled);
    // The dialog ate the tabs: no character reached a control.
    EXPECT_TRUE(Take(WM_CHAR).empty());
}

TEST_F(DialogKeys, EnterAndEscapeCommandTheDialogUnlessTheControlWantsThem) {
    platform::TapKey(VK_RETURN);
    platform::TapKey(VK_ESCAPE);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{IDOK, IDCANCEL}));
    EXPECT_TRUE(Take(WM_CHAR).empty());

    g_events.clear();
    SetWindowLongPtrA(first, GWLP_USERDATA, 1);
    g_dialogCode = DLGC_WANTALLKEYS;
    platform::TapKey(VK_RETURN);
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(GetFocus(), first);
    std::vector<Event> chars = Take(WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('\r'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('\t'));

    g_events.clear();
    g_dialogCode = DLGC_WANTTAB;
    platform::TapKey(VK_TAB);
    platform::TapKey(VK_RETURN);
    Pump();
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{IDOK}));
}

TEST_F(DialogKeys, MessagesOfOtherWindowsAreNotTheDialogs) {
    HWND other = Top();
    MSG msg{other, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageA(dialog, &msg));
    EXPECT_FALSE(IsDialogMessageA(dialog, nullptr));
    msg.hwnd = first;
    EXPECT_FALSE(IsDialogMessageA(nullptr, &msg));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(UserInteraction, CursorShapesFollowTheFrameAndTheClass) {
    HWND top = Top();
    HWND child = Child(top, 20, 20, 100, 100);
    struct Case {
        POINT screen;
        LPCSTR shape;
    };
    // The window spans 100..510 x 80..389 with a 4-pixel sizing frame.
    const Case cases[] = {
        {{101, 200}, IDC_SIZEWE},  {{508, 200}, IDC_SIZEWE},   {{300, 81}, IDC_SIZENS},
        {{300, 387}, IDC_SIZENS},  {{101, 81}, IDC_SIZENWSE},  {{508, 387}, IDC_SIZENWSE},
        {{508, 81}, IDC_SIZENESW}, {{101, 387}, IDC_SIZENESW}, {{300, 92}, IDC_ARROW},
    };
    for (const Case& c : cases) {
        SetCursor(nullptr);
        platform::MoveMouse(c.screen);
        platform::RunUntilIdle();
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, c.shape)) << c.screen.x << "," << c.screen.y;
    }
    platform::MoveMouse(platform::ScreenPointOf(child, {50, 50}));
    platform::RunUntilIdle();
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
    // A parent that sets the cursor itself keeps the child's class cursor away.
    SetCursor(nullptr);
    g_setCursorAnswer = TRUE;
    platform::MoveMouse(platform::ScreenPointOf(child, {60, 60}));
    platform::RunUntilIdle();
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_SIZEWE), LoadCursorA(nullptr, IDC_SIZENS));
}

TEST_F(UserInteraction, APressOnADisabledWindowBeepsOnceAndReachesNoOne) {
    HWND top = Top();
    EnableWindow(top, FALSE);
    g_events.clear();
    const int beeps = platform::CountBeeps();
    platform::MoveMouse(platform::ScreenPointOf(top, {50, 50}));
    platform::RunUntilIdle();
    EXPECT_EQ(platform::CountBeeps(), beeps) << "moving over it is silent";
    platform::ClickAt(top, {50, 50});
    platform::RunUntilIdle();
    EXPECT_EQ(platform::CountBeeps(), beeps + 1);
    for (const auto& event : g_events) {
        EXPECT_FALSE(event.message >= WM_MOUSEFIRST && event.message <= WM_MOUSELAST);
    }
}

TEST_F(UserInteraction, RedrawWindowFlags) {
    HWND top = Top();
    HWND child = Child(top, 20, 20, 100, 100);
    UpdateWindow(top);
    g_events.clear();
    RECT part{0, 0, 10, 10};
    RECT update;

    RedrawWindow(top, &part, nullptr, RDW_INVALIDATE);
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_EQ(update.right, 10);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE);
    EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));

    // Invalidated without RDW_ERASE, the paint comes without an erase.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    EXPECT_EQ(Take(WM_PAINT).size(), 1u);
    EXPECT_TRUE(Take(WM_ERASEBKGND).empty());

    g_events.clear();
    RedrawWindow(top, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::vector<Event> paints = Take(WM_PAINT);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, top);
    EXPECT_EQ(paints[1].window, child);
    EXPECT_EQ(Take(WM_ERASEBKGND).size(), 2u);
    ASSERT_FALSE(Take(WM_NCPAINT).empty());
    EXPECT_EQ(Take(WM_NCPAINT)[0].window, top);

    // An internal paint has nothing to paint and still sends WM_PAINT once.
    g_events.clear();
    RedrawWindow(child, nullptr, nullptr, RDW_INTERNALPAINT);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    platform::RunUntilIdle();
    EXPECT_EQ(Take(WM_PAINT).size(), 1u);
    platform::RunUntilIdle();
    EXPECT_EQ(Take(WM_PAINT).size(), 1u);

    EXPECT_FALSE(RedrawWindow(reinterpret_cast<HWND>(0x1234), nullptr, nullptr, RDW_INVALIDATE));
}

COLORREF Pixel(HWND window, int x, int y) {
    return platform::CaptureWindow(window, platform::WindowArea::Client).At(x, y);
}

void Fill(HDC dc, int width, int height, COLORREF color) {
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

TEST_F(UserInteraction, GetDCExClipsToSiblingsChildrenAndTheGivenRegion) {
    HWND top = Top();
    HWND under = Child(top, 0, 0, 100, 100);
    HWND over = Child(top, 50, 50, 100, 100);
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND inner = Child(over, 60, 60, 20, 20);
    UpdateWindow(top);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    HDC dc = GetDCEx(under, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    Fill(dc, 100, 100, red);
    ReleaseDC(under, dc);
    EXPECT_EQ(Pixel(under, 10, 10), red);
    EXPECT_EQ(Pixel(over, 10, 10), face);

    dc = GetDCEx(under, nullptr, DCX_CACHE);
    Fill(dc, 100, 100, red);
    ReleaseDC(under, dc);
    EXPECT_EQ(Pixel(over, 10, 10), red);

    dc = GetDCEx(over, nullptr, DCX_CLIPCHILDREN);
    Fill(dc, 100, 100, blue);
    ReleaseDC(over, dc);
    EXPECT_EQ(Pixel(over, 10, 10), blue);
    EXPECT_EQ(Pixel(inner, 5, 5), face);

    // The region is in screen coordinates.
    POINT origin = platform::ScreenPointOf(over, {0, 0});
    HRGN region = CreateRectRgn(origin.x, origin.y, origin.x + 10, origin.y + 10);
    dc = GetDCEx(over, region, DCX_INTERSECTRGN);
    Fill(dc, 100, 100, red);
    ReleaseDC(over, dc);
    EXPECT_EQ(Pixel(over, 5, 5), red);
    EXPECT_EQ(Pixel(over, 15, 15), blue);
    dc = GetDCEx(over, region, DCX_EXCLUDERGN | DCX_CLIPCHILDREN);
    Fill(dc, 100, 100, face);
    ReleaseDC(over, dc);
    EXPECT_EQ(Pixel(over, 5, 5), red);
    EXPECT_EQ(Pixel(over, 15, 15), face);
    DeleteObject(region);
    EXPECT_EQ(GetDCEx(reinterpret_cast<HWND>(0x1234), nullptr, 0), nullptr);
}

std::vector<UINT_PTR> g_threadTicks;
void CALLBACK ThreadTick(HWND window, UINT, UINT_PTR id, DWORD) {
    EXPECT_EQ(window, nullptr);
    g_threadTicks.push_back(id);
}

TEST_F(UserInteraction, WaitMessageReturnsForPostsTimersAndInput) {
    HWND top = Top();
    PostMessageA(top, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    platform::RunUntilIdle();

    g_threadTicks.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 250, ThreadTick);
    ASSERT_NE(id, 0u);
    DWORD before = GetTickCount();
    // Nothing else waits: the wait lasts until the timer falls due.
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(GetTickCount() - before, 250u);
    platform::RunUntilIdle();
    EXPECT_EQ(g_threadTicks, std::vector<UINT_PTR>{id});
    EXPECT_TRUE(KillTimer(nullptr, id));

    platform::QueueUserAction([] { platform::TapKey('A'); });
    EXPECT_TRUE(WaitMessage());
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_TRUE(keys['A'] & 0x80);
    platform::RunUntilIdle();
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_FALSE(keys['A'] & 0x80);
    // With nothing left to come, the wait fails instead of blocking forever.
    EXPECT_FALSE(WaitMessage());
}

TEST_F(UserInteraction, SystemCommandsMinimizeRestoreAndPlacement) {
    HWND top = Top();
    SendMessageA(top, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(top));
    SendMessageA(top, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(top));
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 510);

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(top, &placement));
    placement.rcNormalPosition = {10, 20, 210, 170};
    placement.showCmd = SW_SHOWMINIMIZED;
    ASSERT_TRUE(SetWindowPlacement(top, &placement));
    EXPECT_TRUE(IsIconic(top));
    ShowWindow(top, SW_RESTORE);
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 210);
    EXPECT_EQ(rect.bottom, 170);
}

TEST_F(UserInteraction, ScrollWindowExMovesChildrenOnlyWhenAsked) {
    HWND top = Top();
    HWND child = Child(top, 30, 40, 20, 20);
    UpdateWindow(top);
    RECT exposed;
    ScrollWindowEx(top, 0, -10, nullptr, nullptr, nullptr, &exposed, SW_INVALIDATE);
    RECT where;
    GetWindowRect(child, &where);
    POINT origin = platform::ScreenPointOf(top, {0, 0});
    EXPECT_EQ(where.top - origin.y, 40);
    RECT client;
    GetClientRect(top, &client);
    EXPECT_EQ(exposed.top, client.bottom - 10);
    EXPECT_EQ(exposed.bottom, client.bottom);
    ScrollWindowEx(top, 5, -10, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    GetWindowRect(child, &where);
    EXPECT_EQ(where.top - origin.y, 30);
    EXPECT_EQ(where.left - origin.x, 35);
}

TEST_F(UserInteraction, ScrollingWithoutARectangleMovesEveryChildEvenOutOfSight) {
    HWND top = Top();
    RECT client;
    GetClientRect(top, &client);
    HWND above = Child(top, 10, -30, 20, 20);
    HWND inside = Child(top, 40, 40, 20, 20);
    HWND below = Child(top, 10, client.bottom + 50, 20, 20);
    HWND beyond = Child(top, client.right + 5, 10, 20, 20);
    UpdateWindow(top);
    const POINT origin = platform::ScreenPointOf(top, {0, 0});
    auto placeOf = [&](HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        return POINT{r.left - origin.x, r.top - origin.y};
    };
    ScrollWindow(top, -7, 30, nullptr, nullptr);
    EXPECT_EQ(placeOf(above).x, 3);
    EXPECT_EQ(placeOf(above).y, 0);
    EXPECT_EQ(placeOf(inside).y, 70);
    EXPECT_EQ(placeOf(below).y, client.bottom + 80);
    EXPECT_EQ(placeOf(beyond).x, client.right - 2);
    EXPECT_EQ(placeOf(beyond).y, 40);
    ScrollWindowEx(top, 0, -100, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    EXPECT_EQ(placeOf(above).y, -100);
    EXPECT_EQ(placeOf(below).y, client.bottom - 20);

    // With a rectangle, only the children that meet it move.
    const RECT band{0, -80, client.right, -50};
    ScrollWindowEx(top, 0, 15, &band, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    EXPECT_EQ(placeOf(inside).y, -30) << "below the band: stays";
    EXPECT_EQ(placeOf(beyond).y, -45) << "meets the band: moves";
    EXPECT_EQ(placeOf(above).y, -100) << "above the band: stays";
}

TEST_F(UserInteraction, MouseActivateAnswersDecideActivationAndTheClick) {
    HWND first = Top();
    HWND second = CreateWindowExA(0, "Recorder", "Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                                  300, 200, 150, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(GetActiveWindow(), second);
    g_events.clear();
    g_mouseActivateAnswer = MA_NOACTIVATE;
    platform::ClickAt(first, {10, 10});
    platform::RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(Take(WM_LBUTTONDOWN).size(), 1u);

    g_events.clear();
    g_mouseActivateAnswer = MA_ACTIVATEANDEAT;
    platform::ClickAt(first, {10, 10});
    platform::RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_TRUE(Take(WM_LBUTTONDOWN).empty());
    // Only the press is eaten: the release still arrives.
    EXPECT_EQ(Take(WM_LBUTTONUP).size(), 1u);

    g_events.clear();
    g_mouseActivateAnswer = MA_NOACTIVATEANDEAT;
    platform::ClickAt(second, {10, 10});
    platform::RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_TRUE(Take(WM_LBUTTONDOWN).empty());
}

TEST_F(UserInteraction, DraggingTheCaptionMovesAndTheFrameSizes) {
    HWND top = Top();
    // The caption, then the bottom-right corner of the sizing frame.
    platform::MoveMouse({300, 90});
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({310, 95});
    platform::MoveMouse({340, 120});
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.left, 140);
    EXPECT_EQ(rect.top, 110);
    EXPECT_EQ(rect.right - rect.left, 410);
    EXPECT_EQ(Take(WM_MOVING).size(), 2u);
    EXPECT_EQ(GetCapture(), nullptr);

    g_events.clear();
    platform::MoveMouse({rect.right - 2, rect.bottom - 2});
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({rect.right + 38, rect.bottom - 102});
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    RECT sized;
    GetWindowRect(top, &sized);
    EXPECT_EQ(sized.left, 140);
    EXPECT_EQ(sized.right - sized.left, 450);
    EXPECT_EQ(sized.bottom - sized.top, 209);
    std::vector<Event> sizing = Take(WM_SIZING);
    ASSERT_EQ(sizing.size(), 1u);
    EXPECT_EQ(sizing[0].wParam, static_cast<WPARAM>(WMSZ_BOTTOMRIGHT));
    EXPECT_EQ(Take(WM_ENTERSIZEMOVE).size(), 1u);
    EXPECT_EQ(Take(WM_EXITSIZEMOVE).size(), 1u);

    // The limits from WM_GETMINMAXINFO hold.
    platform::MoveMouse({sized.right - 2, sized.bottom - 2});
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({sized.right + 300, sized.bottom - 400});
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.right - rect.left, 500);
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYMINTRACK));

    // Escape puts the window back where the drag began.
    RECT before = rect;
    platform::MoveMouse({300, rect.top + 10});
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({200, 300});
    platform::TapKey(VK_ESCAPE);
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.left, before.left);
    EXPECT_EQ(rect.top, before.top);
    EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace
