// Placing and showing windows as a program sees it: what SetWindowPos and
// ShowWindow send, in order; the size limits a window answers; what the
// screen DC reads; Windows' default colours and metrics.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct Heard {
    HWND window;
    UINT message;
    // How deep in sent messages it arrived: 0 for a message the test caused.
    int depth;
    WINDOWPOS pos;
};

std::vector<Heard> g_heard;
int g_depth = 0;
// The size limits the window answers, when set.
std::optional<MINMAXINFO> g_limits;

bool Followed(UINT message) {
    switch (message) {
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_GETMINMAXINFO:
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_SIZE:
    case WM_MOVE:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK ListeningProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Followed(message)) {
        Heard heard{window, message, g_depth, {}};
        if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) {
            heard.pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
        }
        g_heard.push_back(heard);
    }
    if (message == WM_GETMINMAXINFO && g_limits) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        *limits = *g_limits;
        return 0;
    }
    ++g_depth;
    LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    --g_depth;
    return result;
}

class UserPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_heard.clear();
        g_depth = 0;
        g_limits.reset();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ListeningProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "Listener";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { platform::ResetForTesting(); }

    static HWND Top(DWORD style = WS_OVERLAPPEDWINDOW, int x = 100, int y = 80) {
        return CreateWindowExA(0, "Listener", "Top", style, x, y, 410, 309, nullptr, nullptr,
                               nullptr, nullptr);
    }
    static HWND Child(HWND parent, int x, int y, int w, int h) {
        return CreateWindowExA(WS_EX_CLIENTEDGE, "Listener", "", WS_CHILD | WS_VISIBLE, x, y, w, h,
                               parent, nullptr, nullptr, nullptr);
    }
    // The messages in the order heard, as "window:message" with the window
    // named by `names`.
    static std::vector<std::string> Story(const std::vector<std::pair<HWND, std::string>>& names) {
        std::vector<std::string> out;
        for (const Heard& h : g_heard) {
            std::string who = "?";
            for (const auto& [window, name] : names) {
                if (window == h.window) {
                    who = name;
                }
            }
            out.push_back(who + ":" + Name(h.message));
        }
        return out;
    }
    static std::string Name(UINT message) {
        switch (message) {
        case WM_SHOWWINDOW:
            return "show";
        case WM_WINDOWPOSCHANGING:
            return "changing";
        case WM_WINDOWPOSCHANGED:
            return "changed";
        case WM_GETMINMAXINFO:
            return "minmax";
        case WM_NCCALCSIZE:
            return "calcsize";
        case WM_NCPAINT:
            return "ncpaint";
        case WM_ERASEBKGND:
            return "erase";
        case WM_PAINT:
            return "paint";
        case WM_SIZE:
            return "size";
        case WM_MOVE:
            return "move";
        default:
            return std::to_string(message);
        }
    }
    static const Heard* First(HWND window, UINT message) {
        for (const Heard& h : g_heard) {
            if (h.window == window && h.message == message) {
                return &h;
            }
        }
        return nullptr;
    }
};

TEST_F(UserPlacement, ShowingPaintsTheFrameAndBackgroundBeforeChangedAndThePaintWaits) {
    HWND top = Top(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    HWND child = Child(top, 10, 10, 100, 50);
    g_heard.clear();
    ShowWindow(top, SW_SHOWNORMAL);
    std::vector<std::string> expected{"top:show",    "top:changing",  "top:ncpaint",
                                      "top:erase",   "child:ncpaint", "child:erase",
                                      "top:changed", "top:size",      "top:move"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), expected);
    // Showing in place names no place, and the z-order did not change.
    const Heard* changing = First(top, WM_WINDOWPOSCHANGING);
    ASSERT_NE(changing, nullptr);
    EXPECT_EQ(changing->pos.x, 0);
    EXPECT_EQ(changing->pos.cx, 0);
    EXPECT_EQ(changing->pos.flags & SWP_NOZORDER, 0u);
    const Heard* changed = First(top, WM_WINDOWPOSCHANGED);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->pos.x, 100);
    EXPECT_EQ(changed->pos.cx, 410);
    EXPECT_NE(changed->pos.flags & SWP_NOZORDER, 0u) << "it was on top already";

    g_heard.clear();
    UpdateWindow(top);
    std::vector<std::string> painted{"top:paint", "child:paint"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), painted) << "nothing erased twice";
}

TEST_F(UserPlacement, AParentThatPaintsOverItsChildrenHasThemErasedAfterItsPaint) {
    HWND top = Top();
    HWND child = Child(top, 10, 10, 100, 50);
    g_heard.clear();
    ShowWindow(top, SW_SHOWNORMAL);
    UpdateWindow(top);
    std::vector<std::string> expected{"top:show",    "top:changing",  "top:ncpaint", "top:erase",
                                      "top:changed", "top:size",      "top:move",    "top:paint",
                                      "child:paint", "child:ncpaint", "child:erase"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), expected);
}

TEST_F(UserPlacement, AChildOfAHiddenWindowOnlyHearsThatItShows) {
    HWND top = Top();
    g_heard.clear();
    HWND child = Child(top, 0, 0, 50, 20);
    std::vector<std::string> created{"child:calcsize", "child:size", "child:move", "child:show"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), created);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));

    g_heard.clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_EQ(Story({{child, "child"}}), std::vector<std::string>{"child:show"});
    EXPECT_FALSE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);

    ShowWindow(child, SW_SHOW);
    ShowWindow(top, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(child)) << "it shows with its parent";
    g_heard.clear();
    ShowWindow(child, SW_HIDE);
    EXPECT_NE(First(child, WM_WINDOWPOSCHANGED), nullptr) << "a shown parent: the place changes";
}

TEST_F(UserPlacement, APureMoveAsksNoClientAreaAndErasesNothing) {
    HWND top = Top();
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    HWND child = Child(top, 0, 0, 100, 50);
    UpdateWindow(top);
    g_heard.clear();
    SetWindowPos(child, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<std::string> expected{"child:changing", "child:changed", "child:move"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), expected);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(top, &pending, FALSE)) << "the uncovered strip waits";
    EXPECT_EQ(pending.left, 0);
    EXPECT_EQ(pending.bottom, 50);
}

TEST_F(UserPlacement, ResizingAChildErasesTheUncoveredPartOfItsParentAtOnce) {
    HWND top = Top();
    ShowWindow(top, SW_SHOW);
    HWND child = Child(top, 0, 0, 100, 50);
    UpdateWindow(top);
    g_heard.clear();
    SetWindowPos(child, nullptr, 0, 0, 60, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<std::string> expected{"child:changing", "child:calcsize", "top:erase",
                                      "child:changed", "child:size"};
    EXPECT_EQ(Story({{top, "top"}, {child, "child"}}), expected);
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(top, &pending, FALSE));
    EXPECT_EQ(pending.right, 100) << "what the child no longer covers";
    EXPECT_EQ(pending.bottom, 50);
}

TEST_F(UserPlacement, AResizeIsHeldToTheTrackSizesTheWindowAnswers) {
    HWND top = Top();
    MINMAXINFO limits{};
    limits.ptMaxSize = {600, 500};
    limits.ptMaxPosition = {10, 20};
    limits.ptMinTrackSize = {200, 150};
    limits.ptMaxTrackSize = {640, 480};
    g_limits = limits;
    g_heard.clear();
    SetWindowPos(top, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_GE(g_heard.size(), 2u);
    EXPECT_EQ(g_heard[0].message, static_cast<UINT>(WM_WINDOWPOSCHANGING));
    EXPECT_EQ(g_heard[1].message, static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_EQ(g_heard[1].depth, 1) << "asked inside WM_WINDOWPOSCHANGING";
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 150);

    SetWindowPos(top, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);

    ShowWindow(top, SW_SHOWMAXIMIZED);
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 10) << "maximised where the window said";
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 480) << "and no larger than its track size";
}

TEST_F(UserPlacement, AChildWithoutASizingFrameHasNoSizeLimits) {
    HWND top = Top();
    HWND child = Child(top, 0, 0, 100, 50);
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {300, 300};
    limits.ptMaxTrackSize = {400, 400};
    g_limits = limits;
    g_heard.clear();
    SetWindowPos(child, nullptr, 0, 0, 20, 10, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(First(child, WM_GETMINMAXINFO), nullptr);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.right - r.left, 20);
}

TEST_F(UserPlacement, TheDefaultLimitsMaximiseOverTheScreenWithTheBorderBeyondIt) {
    HWND sizable = Top();
    ShowWindow(sizable, SW_SHOWMAXIMIZED);
    RECT r;
    GetWindowRect(sizable, &r);
    const int border = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(r.left, -border);
    EXPECT_EQ(r.top, -border);
    EXPECT_EQ(r.right, 1024 + border);
    EXPECT_EQ(r.bottom, 768 + border);

    HWND bare = CreateWindowExA(0, "Listener", "", WS_POPUP | WS_THICKFRAME, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
    ShowWindow(bare, SW_SHOWMAXIMIZED);
    GetWindowRect(bare, &r);
    EXPECT_EQ(r.bottom - r.top, 768 + 2 * border) << "no caption to take off";
}

LRESULT CALLBACK FillingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT all;
        GetClientRect(window, &all);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, 0)));
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ScreenReading : public UserPlacement {
protected:
    void SetUp() override {
        UserPlacement::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = FillingProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.lpszClassName = "Filled";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    static HWND Filled(COLORREF colour, int x, int y) {
        HWND w = CreateWindowExA(0, "Filled", "", WS_OVERLAPPEDWINDOW, x, y, 200, 150, nullptr,
                                 nullptr, nullptr, nullptr);
        SetWindowLongPtrA(w, 0, static_cast<LONG_PTR>(colour));
        ShowWindow(w, SW_SHOW);
        UpdateWindow(w);
        return w;
    }
    static COLORREF OnScreen(HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        HDC screen = GetDC(nullptr);
        COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return c;
    }
};

TEST_F(ScreenReading, AScreenDCReadsWhatTheTopmostWindowShows) {
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0);
    HWND below = Filled(red, 100, 100);
    EXPECT_EQ(OnScreen(below, 50, 50), red);
    HWND above = Filled(green, 150, 130);
    EXPECT_EQ(OnScreen(below, 150, 100), green) << "where the windows overlap";
    EXPECT_EQ(OnScreen(below, 5, 5), red) << "where only the lower one is";
    HDC screen = GetDC(nullptr);
    const COLORREF uncovered = GetPixel(screen, 900, 700);
    EXPECT_NE(uncovered, red) << "where no window is";
    EXPECT_NE(uncovered, green);
    ReleaseDC(nullptr, screen);
    ShowWindow(above, SW_HIDE);
    EXPECT_EQ(OnScreen(below, 150, 100), red) << "a hidden window shows nothing";
    DestroyWindow(below);
    HDC after = GetDC(nullptr);
    EXPECT_NE(GetPixel(after, 250, 250), red) << "nor does a destroyed one";
    ReleaseDC(nullptr, after);
}

TEST_F(ScreenReading, BitBltFromTheScreenCopiesWhatTheWindowsShow) {
    const COLORREF blue = RGB(0, 0, 255);
    HWND window = Filled(blue, 100, 100);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    HDC copy = platform::CreateMemorySurfaceDC(20, 20, RGB(255, 255, 255));
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(BitBlt(copy, 0, 0, 20, 20, screen, corner.x - 10, corner.y + 10, SRCCOPY));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(platform::ReadSurfacePixel(copy, 15, 5), blue) << "inside the client area";
    EXPECT_NE(platform::ReadSurfacePixel(copy, 2, 5), blue) << "left of the window";
    DeleteDC(copy);
}

TEST(SystemDefaults, ColoursAndMetricsAreWindowsOwnDefaults) {
    platform::ResetForTesting();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(160, 160, 160));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(105, 105, 105));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(227, 227, 227));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 120, 215));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), RGB(100, 100, 100));
    EXPECT_EQ(GetSysColor(COLOR_CAPTIONTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXFOCUSBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_MOUSEWHEELPRESENT), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(GetSystemMetrics(SM_SAMEDISPLAYFORMAT), 1);
    platform::ResetForTesting();
}

} // namespace
