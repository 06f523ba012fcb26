// Painting through update regions, erase, clipping of children and siblings,
// scrolling, and the classic frame, checked on the window's pixels.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct PaintRecord {
    HWND window;
    RECT paintRect;
    BOOL erase;
};
std::vector<PaintRecord> g_paints;
std::vector<HWND> g_erased;
COLORREF g_fillColor = RGB(255, 0, 0);

// Paints its whole client area in g_fillColor.
LRESULT CALLBACK FillingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        g_erased.push_back(window);
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        g_paints.push_back({window, paint.rcPaint, paint.fErase});
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(g_fillColor);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class UserPainting : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_paints.clear();
        g_erased.clear();
        g_fillColor = RGB(255, 0, 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "Plain";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wc.lpfnWndProc = FillingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "Filler";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { platform::ResetForTesting(); }

    HWND Top(DWORD extraStyle = 0) {
        HWND top = CreateWindowExA(0, "Plain", "Notes View", WS_OVERLAPPEDWINDOW | extraStyle, 40,
                                   30, 410, 309, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(top, SW_SHOW);
        return top;
    }
    static HWND Child(HWND parent, const char* cls, int x, int y, int w, int h, DWORD exStyle = 0,
                      DWORD style = WS_CLIPSIBLINGS) {
        return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               nullptr, nullptr, nullptr);
    }
};

TEST_F(UserPainting, InvalidationPaintsOnceWithEraseAndValidates) {
    HWND top = Top();
    HWND grid = Child(top, "Filler", 10, 10, 401 - 20, 200, WS_EX_CLIENTEDGE);
    platform::RunUntilIdle();
    ASSERT_FALSE(g_paints.empty());
    g_paints.clear();
    g_erased.clear();
    RECT cell{20, 20, 60, 40};
    InvalidateRect(grid, &cell, TRUE);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(grid, &pending, FALSE));
    EXPECT_EQ(pending.left, 20);
    EXPECT_EQ(pending.bottom, 40);
    UpdateWindow(grid);
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].paintRect.left, 20);
    EXPECT_EQ(g_paints[0].paintRect.right, 60);
    EXPECT_FALSE(g_paints[0].erase);
    EXPECT_EQ(g_erased, std::vector<HWND>{grid});
    EXPECT_FALSE(GetUpdateRect(grid, &pending, FALSE));
    EXPECT_EQ(platform::RunUntilIdle(), 0);

    InvalidateRect(grid, nullptr, FALSE);
    ValidateRect(grid, nullptr);
    EXPECT_EQ(platform::RunUntilIdle(), 0);
}

TEST_F(UserPainting, PaintingStaysInsideTheUpdateRegionAndTheClient) {
    HWND top = Top();
    HWND grid = Child(top, "Filler", 10, 10, 200, 100, WS_EX_CLIENTEDGE);
    platform::RunUntilIdle();
    g_fillColor = RGB(0, 0, 255);
    RECT band{0, 30, 200, 40};
    InvalidateRect(grid, &band, FALSE);
    UpdateWindow(grid);
    platform::WindowImage image = platform::CaptureWindow(grid, platform::WindowArea::Client);
    ASSERT_EQ(image.width, 196);
    ASSERT_EQ(image.height, 96);
    for (int y = 0; y < image.height; ++y) {
        COLORREF expected = (y >= 30 && y < 40) ? RGB(0, 0, 255) : RGB(255, 0, 0);
        ASSERT_EQ(image.At(0, y), expected) << y;
        ASSERT_EQ(image.At(195, y), expected) << y;
    }
    // The sunken client edge survives: its outer top-left line is button shadow.
    platform::WindowImage whole = platform::CaptureWindow(grid, platform::WindowArea::WithFrame);
    EXPECT_EQ(whole.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(whole.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(whole.At(199, 99), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(UserPainting, ClipChildrenKeepsChildPixelsFromTheParentsPaint) {
    HWND top = Top();
    HWND parent = Child(top, "Filler", 0, 0, 300, 200, 0, WS_CLIPCHILDREN);
    HWND child = Child(parent, "Plain", 50, 50, 40, 40);
    platform::RunUntilIdle();
    g_fillColor = RGB(0, 255, 0);
    InvalidateRect(parent, nullptr, FALSE);
    platform::RunUntilIdle();
    platform::WindowImage image = platform::CaptureWindow(parent, platform::WindowArea::Client);
    EXPECT_EQ(image.At(10, 10), RGB(0, 255, 0));
    EXPECT_EQ(image.At(60, 60), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(image.At(89, 89), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(image.At(90, 90), RGB(0, 255, 0));

    // Without WS_CLIPCHILDREN the parent paints over the child, and the child
    // is invalidated too, so it paints itself again afterwards.
    SetWindowLongA(parent, GWL_STYLE, GetWindowLongA(parent, GWL_STYLE) & ~WS_CLIPCHILDREN);
    InvalidateRect(parent, nullptr, TRUE);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(child, &pending, FALSE));
    platform::RunUntilIdle();
    image = platform::CaptureWindow(parent, platform::WindowArea::Client);
    EXPECT_EQ(image.At(60, 60), GetSysColor(COLOR_BTNFACE));
}

TEST_F(UserPainting, SiblingsClipEachOtherByZOrder) {
    HWND top = Top();
    HWND lower = Child(top, "Filler", 0, 0, 100, 100);
    HWND upper = Child(top, "Plain", 50, 50, 100, 100);
    SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    platform::RunUntilIdle();
    g_fillColor = RGB(0, 0, 0);
    InvalidateRect(lower, nullptr, FALSE);
    platform::RunUntilIdle();
    platform::WindowImage image = platform::CaptureWindow(top, platform::WindowArea::Client);
    EXPECT_EQ(image.At(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(image.At(60, 60), GetSysColor(COLOR_BTNFACE));
    HDC dc = GetDCEx(lower, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    ASSERT_NE(dc, nullptr);
    RECT all{0, 0, 100, 100};
    FillRect(dc, &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(ReleaseDC(lower, dc), 1);
    image = platform::CaptureWindow(top, platform::WindowArea::Client);
    EXPECT_EQ(image.At(10, 10), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(image.At(60, 60), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ReleaseDC(lower, dc), 0);
}

TEST_F(UserPainting, ScrollWindowMovesPixelsAndInvalidatesTheStrip) {
    HWND top = Top();
    HWND area = Child(top, "Filler", 0, 0, 200, 100);
    HWND inner = Child(area, "Plain", 20, 20, 10, 10);
    platform::RunUntilIdle();
    HDC dc = GetDC(area);
    RECT mark{0, 0, 200, 10};
    FillRect(dc, &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
    ReleaseDC(area, dc);
    g_paints.clear();
    ScrollWindow(area, 0, 15, nullptr, nullptr);
    platform::WindowImage image = platform::CaptureWindow(area, platform::WindowArea::Client);
    EXPECT_EQ(image.At(100, 20), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(image.At(100, 26), RGB(255, 0, 0));
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(area, &pending, FALSE));
    EXPECT_EQ(pending.top, 0);
    EXPECT_EQ(pending.bottom, 15);
    RECT moved;
    GetWindowRect(inner, &moved);
    POINT origin{0, 0};
    ClientToScreen(area, &origin);
    EXPECT_EQ(moved.top - origin.y, 35);
    platform::RunUntilIdle();
    ASSERT_FALSE(g_paints.empty());
    EXPECT_EQ(g_paints[0].paintRect.bottom, 15);
}

// A top-level window with the classic frame and a few children, saved as PNG
// for a person to look at, and checked against colours that must be where the
// frame and the children are.
TEST_F(UserPainting, ClassicFrameAndChildrenScreenshot) {
    HWND top = Top();
    HWND label = Child(top, "Plain", 8, 8, 60, 16);
    HWND grid = Child(top, "Filler", 0, 24, 401, 257, WS_EX_CLIENTEDGE);
    HWND combo = Child(top, "Plain", 80, 4, 120, 20, WS_EX_CLIENTEDGE);
    ASSERT_TRUE(label && grid && combo);
    g_fillColor = GetSysColor(COLOR_WINDOW);
    platform::RunUntilIdle();
    const char* directory = std::getenv("VELBRIN_SCREENSHOT_DIR");
    std::string path =
        (directory ? std::string(directory) + "/" : ::testing::TempDir()) + "classic-frame.png";
    EXPECT_TRUE(platform::SaveWindowPng(top, platform::WindowArea::WithFrame, path));
    platform::WindowImage image = platform::CaptureWindow(top, platform::WindowArea::WithFrame);
    ASSERT_EQ(image.width, 410);
    ASSERT_EQ(image.height, 309);
    EXPECT_EQ(image.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(image.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.At(409, 308), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(image.At(5, 10), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(image.At(4, 4 + 18), GetSysColor(COLOR_BTNFACE));
    // The grid's sunken edge starts at the client origin plus its position.
    EXPECT_EQ(image.At(4, 4 + 19 + 24), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(image.At(4 + 100, 4 + 19 + 24 + 100), GetSysColor(COLOR_WINDOW));
    // The close button is a raised face with a dark cross in its middle.
    RECT close{410 - 4 - 2 - 16, 4 + 2, 410 - 4 - 2, 4 + 2 + 14};
    EXPECT_EQ(image.At(close.left + 2, close.top + 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(image.At((close.left + close.right) / 2, (close.top + close.bottom) / 2),
              GetSysColor(COLOR_BTNTEXT));
}

} // namespace

namespace {

class ParentScrollBars : public UserPainting {};

TEST_F(ParentScrollBars, AChildReachingPastTheClientAreaLeavesTheFrameAndTheBarsToItsParent) {
    HWND top = Top(WS_CLIPCHILDREN);
    ShowScrollBar(top, SB_BOTH, TRUE);
    RECT client;
    GetClientRect(top, &client);
    Child(top, "Filler", 20, 30, client.right + 100, client.bottom + 100);
    platform::RunUntilIdle();
    const platform::WindowImage image =
        platform::CaptureWindow(top, platform::WindowArea::WithFrame);
    const POINT origin = platform::ScreenPointOf(top, {0, 0});
    RECT window;
    GetWindowRect(top, &window);
    const RECT clientInImage{origin.x - window.left, origin.y - window.top,
                             origin.x - window.left + client.right,
                             origin.y - window.top + client.bottom};
    int redOutside = 0;
    int redInside = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool inside = x >= clientInImage.left && x < clientInImage.right &&
                                y >= clientInImage.top && y < clientInImage.bottom;
            const bool red = image.At(x, y) == RGB(255, 0, 0);
            (inside ? redInside : redOutside) += red;
        }
    }
    EXPECT_EQ(redOutside, 0) << "nothing of the child on the frame or the scroll bars";
    EXPECT_EQ(redInside, (client.right - 20) * (client.bottom - 30));
    // The vertical bar's trough and the frame's right edge are the parent's.
    const int barX = clientInImage.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int middleY = (clientInImage.top + clientInImage.bottom) / 2;
    int troughNotWhite = 0;
    for (int y = middleY; y < middleY + 4; ++y) {
        for (int x = barX; x < barX + 4; ++x) {
            troughNotWhite += image.At(x, y) != RGB(255, 255, 255);
        }
    }
    EXPECT_GT(troughNotWhite, 0) << "the trough's pattern";
    EXPECT_EQ(image.At(image.width - 1, middleY), image.At(image.width - 1, 10))
        << "the frame's right edge as beside the caption";
}

// Records the clip box of the DC each WM_ERASEBKGND gets, then erases.
std::vector<RECT> g_eraseClips;
LRESULT CALLBACK ClipRecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT box;
        GetClipBox(reinterpret_cast<HDC>(wParam), &box);
        g_eraseClips.push_back(box);
    }
    return FillingProc(window, message, wParam, lParam);
}

TEST_F(UserPainting, EraseNowAndGetUpdateRectEraseOnlyTheUpdateAreaAndLeaveThePaint) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ClipRecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "ClipRecorder";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND top = Top();
    HWND child = Child(top, "ClipRecorder", 10, 10, 200, 150);
    platform::RunUntilIdle();
    g_paints.clear();
    g_eraseClips.clear();
    RECT cell{20, 20, 30, 30};
    InvalidateRect(child, &cell, TRUE);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(child, &pending, TRUE));
    ASSERT_EQ(g_eraseClips.size(), 1u);
    EXPECT_EQ(g_eraseClips[0].left, 20) << "the erase DC is clipped to the update region";
    EXPECT_EQ(g_eraseClips[0].right, 30);
    EXPECT_EQ(g_eraseClips[0].bottom, 30);
    UpdateWindow(child);
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_eraseClips.size(), 1u) << "erased once";
    EXPECT_FALSE(g_paints[0].erase) << "nothing left to erase";

    g_paints.clear();
    g_eraseClips.clear();
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_EQ(g_eraseClips.size(), 1u);
    EXPECT_TRUE(g_paints.empty()) << "the paint stays pending";
    EXPECT_TRUE(GetUpdateRect(child, &pending, FALSE));
    UpdateWindow(child);
    EXPECT_EQ(g_paints.size(), 1u);

    g_paints.clear();
    InvalidateRect(child, &cell, FALSE);
    UpdateWindow(child);
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_FALSE(g_paints[0].erase) << "invalidated without erasing: nothing to erase";
}

TEST_F(UserPainting, NoChildrenLeavesTheChildrensUpdateRegionsAlone) {
    HWND top = Top();
    HWND child = Child(top, "Filler", 10, 10, 100, 80);
    platform::RunUntilIdle();
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(top, &pending, FALSE));
    EXPECT_FALSE(GetUpdateRect(child, &pending, FALSE));
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    EXPECT_TRUE(GetUpdateRect(child, &pending, FALSE)) << "without the flag they are invalidated";
}

} // namespace
