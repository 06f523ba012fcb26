#include "../Icon.h"
#include "../Surface.h"

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <vector>

namespace {

constexpr COLORREF kSentinel = RGB(10, 200, 30);
constexpr COLORREF kRed = RGB(255, 0, 0);

class PaintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        dc = platform::CreateMemorySurfaceDC(kWidth, kHeight, kSentinel);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        DeleteDC(dc);
        platform::LiveHandleCounts live = platform::CountLiveHandles();
        EXPECT_EQ(live.gdiObjects, 0u);
        EXPECT_EQ(live.deviceContexts, 0u);
    }

    // Checks every pixel of the surface against `expected`; returns the number
    // of pixels that differ so that a failure reports once.
    int Mismatches(const std::function<COLORREF(int, int)>& expected) {
        int mismatches = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                COLORREF want = expected(x, y);
                COLORREF got = platform::ReadSurfacePixel(dc, x, y);
                if (want != got && mismatches++ < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got
                                  << " instead of " << want;
                }
            }
        }
        return mismatches;
    }

    static bool In(int x, int y, RECT r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    }

    static constexpr int kWidth = 48;
    static constexpr int kHeight = 40;
    HDC dc = nullptr;
};

} // namespace

TEST_F(PaintingTest, FillRectExcludesRightAndBottomAndFollowsOriginsAndClip) {
    HBRUSH red = CreateSolidBrush(kRed);
    RECT rect{10, 10, 20, 15};
    ASSERT_TRUE(FillRect(dc, &rect, red));
    EXPECT_EQ(Mismatches([&](int x, int y) { return In(x, y, rect) ? kRed : kSentinel; }), 0);

    // Logical (0, 0) lands on device (5, 7) - (2, 1); the clip is in device units.
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, 5, 7, nullptr);
    SetWindowOrgEx(dc, 2, 1, nullptr);
    IntersectClipRect(dc, 0, 0, 30, 30);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT big{-100, -100, 100, 100};
    FillRect(dc, &big, blue);
    RECT clip{3, 6, 33, 36};
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  return In(x, y, clip) ? RGB(0, 0, 255) : In(x, y, rect) ? kRed : kSentinel;
              }),
              0);
    RestoreDC(dc, saved);
    FillRect(dc, &big, blue);
    EXPECT_EQ(Mismatches([](int, int) { return RGB(0, 0, 255); }), 0);

    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(FillRect(dc, &rect, reinterpret_cast<HBRUSH>(pen)), 0) << "a pen is no brush";
    DeleteObject(pen);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST_F(PaintingTest, FrameRectAndHatchedBrushes) {
    HBRUSH red = CreateSolidBrush(kRed);
    RECT rect{4, 5, 14, 12};
    FrameRect(dc, &rect, red);
    RECT inner{5, 6, 13, 11};
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  return In(x, y, rect) && !In(x, y, inner) ? kRed : kSentinel;
              }),
              0);
    DeleteObject(red);

    // A transparent hatch changes only the pattern's pixels; an opaque one
    // paints the rest in the background colour.
    HBRUSH cross = CreateHatchBrush(HS_CROSS, RGB(0, 0, 255));
    RECT area{16, 0, 40, 24};
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &area, cross);
    int changed = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            COLORREF pixel = platform::ReadSurfacePixel(dc, x, y);
            if (pixel == RGB(0, 0, 255)) {
                ++changed;
                EXPECT_TRUE(In(x, y, area));
                EXPECT_TRUE(x % 8 == 0 || y % 8 == 0) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(changed, 3 * 24 + 3 * 24 - 9);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(1, 1, 1));
    FillRect(dc, &area, cross);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 17, 1), RGB(1, 1, 1));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 17, 0), RGB(0, 0, 255));
    DeleteObject(cross);
}

TEST_F(PaintingTest, LinesLeaveOutTheirLastPointAndMoveThePosition) {
    HPEN red = CreatePen(PS_SOLID, 0, kRed);
    SelectObject(dc, red);
    MoveToEx(dc, 5, 3, nullptr);
    LineTo(dc, 15, 3);  // right
    LineTo(dc, 15, 10); // down
    LineTo(dc, 8, 17);  // down-left diagonal
    POINT position;
    GetCurrentPositionEx(dc, &position);
    EXPECT_EQ(position.x, 8);
    EXPECT_EQ(position.y, 17);
    EXPECT_EQ(Mismatches([](int x, int y) {
                  bool top = y == 3 && x >= 5 && x < 15;
                  bool side = x == 15 && y >= 3 && y < 10;
                  bool diagonal = y >= 10 && y < 17 && x == 15 - (y - 10);
                  return top || side || diagonal ? kRed : kSentinel;
              }),
              0);

    POINT grid[] = {{0, 30}, {10, 30}, {20, 25}, {20, 35}};
    DWORD counts[] = {2, 2};
    ASSERT_TRUE(PolyPolyline(dc, grid, counts, 2));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 9, 30), kRed);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 10, 30), kSentinel);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 20, 34), kRed);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 20, 35), kSentinel);
    DWORD bad[] = {2, 1};
    EXPECT_FALSE(PolyPolyline(dc, grid, bad, 2));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(red);
}

TEST_F(PaintingTest, RasterOperationsOnLines) {
    auto before = std::make_shared<platform::gdi::Surface>(*platform::SurfaceOf(dc));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF0, 0x55));
    SelectObject(dc, pen);
    SetROP2(dc, R2_XORPEN);
    POINT line[] = {{2, 2}, {40, 30}, {2, 38}};
    Polyline(dc, line, 3);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 2, 2), kSentinel ^ RGB(0x0F, 0xF0, 0x55));
    EXPECT_GT(platform::gdi::CountDifferentPixels(*before, *platform::SurfaceOf(dc)), 60u);
    Polyline(dc, line, 3);
    EXPECT_EQ(platform::gdi::CountDifferentPixels(*before, *platform::SurfaceOf(dc)), 0u)
        << "a second XOR restores every pixel";

    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 3, 0);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 1, 0), ~kSentinel & 0xFFFFFF);
    SetROP2(dc, R2_NOP);
    LineTo(dc, 3, 10);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 3, 5), kSentinel);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST_F(PaintingTest, DottedPensFillGapsOnlyWhenOpaque) {
    HPEN dot = CreatePen(PS_DOT, 1, kRed);
    SelectObject(dc, dot);
    SetBkColor(dc, RGB(0, 0, 255));
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 30, 1);
    SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, 0, 3, nullptr);
    LineTo(dc, 30, 3);
    EXPECT_EQ(Mismatches([](int x, int y) {
                  bool on = (x / 3) % 2 == 0;
                  if (x < 30 && y == 1) {
                      return on ? kRed : RGB(0, 0, 255);
                  }
                  return x < 30 && y == 3 && on ? kRed : kSentinel;
              }),
              0);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(dot);
}

TEST_F(PaintingTest, WideGeometricPensHaveFlatEndsAndMitredCorners) {
    LOGBRUSH brush{BS_SOLID, kRed, 0};
    HPEN wide = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, &brush, 0,
                             nullptr);
    ASSERT_NE(wide, nullptr);
    SelectObject(dc, wide);
    POINT corner[] = {{10, 10}, {30, 10}, {30, 30}};
    Polyline(dc, corner, 3);
    // A band five pixels wide centred on each segment, the outer corner
    // filled square, and nothing beyond the flat ends.
    EXPECT_EQ(Mismatches([](int x, int y) {
                  bool across = y >= 8 && y <= 12 && x >= 10 && x <= 32;
                  bool down = x >= 28 && x <= 32 && y >= 8 && y < 30;
                  return across || down ? kRed : kSentinel;
              }),
              0);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &brush, 0, nullptr), nullptr)
        << "a cosmetic pen is one pixel wide";
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
}

TEST_F(PaintingTest, WidePenCapsFollowTheirStyleAndXorTouchesEachPixelOnce) {
    HPEN round = CreatePen(PS_SOLID, 5, kRed);
    SelectObject(dc, round);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 20, 10);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 21, 10), kRed) << "a round cap passes the end";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 22, 12), kSentinel) << "but not at the corner";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 8, 10), kRed);

    LOGBRUSH blue{BS_SOLID, RGB(0, 0, 255), 0};
    HPEN square =
        ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 5, &blue, 0, nullptr);
    SelectObject(dc, square);
    MoveToEx(dc, 10, 25, nullptr);
    LineTo(dc, 20, 25);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 22, 27), RGB(0, 0, 255)) << "a square cap";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 23, 27), kSentinel);

    auto before = std::make_shared<platform::gdi::Surface>(*platform::SurfaceOf(dc));
    LOGBRUSH white{BS_SOLID, RGB(255, 255, 255), 0};
    HPEN mitred =
        ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 7, &white, 0, nullptr);
    SelectObject(dc, mitred);
    SetROP2(dc, R2_XORPEN);
    POINT zigzag[] = {{30, 5}, {40, 15}, {30, 25}, {44, 35}};
    Polyline(dc, zigzag, 4);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 40, 15), kSentinel ^ 0xFFFFFF)
        << "where segment and join overlap the pixel is inverted once";
    Polyline(dc, zigzag, 4);
    EXPECT_EQ(platform::gdi::CountDifferentPixels(*before, *platform::SurfaceOf(dc)), 0u);

    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(round);
    DeleteObject(square);
    DeleteObject(mitred);
}

TEST_F(PaintingTest, RaisedAndSunkenEdgesInWindowsDefaultColours) {
    // Windows' default scheme: highlight, 3-D light, face, shadow, dark shadow.
    const COLORREF white = RGB(255, 255, 255), light = RGB(227, 227, 227);
    const COLORREF face = RGB(240, 240, 240);
    const COLORREF shadow = RGB(160, 160, 160), dark = RGB(105, 105, 105);
    RECT rect{2, 2, 12, 12};
    ASSERT_TRUE(DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(rect.left, 4);
    EXPECT_EQ(rect.bottom, 10);
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  if (!In(x, y, {2, 2, 12, 12})) {
                      return kSentinel;
                  }
                  if (x == 11 || y == 11) {
                      return dark;
                  }
                  if (x == 2 || y == 2) {
                      return light;
                  }
                  if (x == 10 || y == 10) {
                      return shadow;
                  }
                  if (x == 3 || y == 3) {
                      return white;
                  }
                  return face; // the button face in the middle
              }),
              0);

    RECT sunken{20, 2, 30, 12};
    DrawEdge(dc, &sunken, BDR_SUNKENOUTER, BF_TOPLEFT);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 29, 2), shadow) << "top side runs to the right";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 20, 11), shadow);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 29, 11), kSentinel);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 21, 3), kSentinel);

    RECT soft{2, 20, 12, 30};
    DrawEdge(dc, &soft, EDGE_RAISED, BF_RECT | BF_SOFT);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 2, 20), white) << "soft: the outer top-left is white";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 3, 21), light);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 11, 29), dark);

    // The edges follow the system colours.
    INT highlight = COLOR_BTNHIGHLIGHT;
    COLORREF pink = RGB(255, 128, 128);
    SetSysColors(1, &highlight, &pink);
    RECT again{34, 2, 44, 12};
    DrawEdge(dc, &again, BDR_RAISEDINNER, BF_RECT);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 34, 2), pink);
}

TEST_F(PaintingTest, FocusRectangleInvertsEveryOtherFramePixelAndUndoesItself) {
    RECT rect{3, 4, 13, 9};
    ASSERT_TRUE(DrawFocusRect(dc, &rect));
    const COLORREF inverted = kSentinel ^ 0xFFFFFF;
    RECT inner{4, 5, 12, 8};
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  bool frame = In(x, y, rect) && !In(x, y, inner);
                  return frame && (x + y) % 2 == 0 ? inverted : kSentinel;
              }),
              0);
    DrawFocusRect(dc, &rect);
    EXPECT_EQ(Mismatches([](int, int) { return kSentinel; }), 0);
}

TEST_F(PaintingTest, DrawIconBlendsByAlphaAtItsOwnSize) {
    platform::gdi::IconImage image{2, 2, {0xFF0000FF, 0x00FFFFFF, 0x80FF0000, 0xFF00FF00}};
    HICON icon = platform::gdi::CreateIconHandle(image);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(DrawIcon(dc, 5, 6, icon));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 5, 6), RGB(0, 0, 255));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 6, 6), kSentinel) << "transparent";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 5, 7), RGB(133, 100, 15)) << "half red";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 6, 7), RGB(0, 255, 0));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 7, 7), kSentinel);
    EXPECT_EQ(platform::CountLiveHandles().icons, 1u);
    EXPECT_TRUE(platform::gdi::DestroyIconHandle(icon));
    EXPECT_EQ(platform::CountLiveHandles().icons, 0u);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, icon));
    EXPECT_EQ(platform::gdi::CreateIconHandle({2, 2, {1, 2, 3}}), nullptr);
}

TEST_F(PaintingTest, FarOutCoordinatesAreCutToTheSurface) {
    constexpr int kMin = -2147483647 - 1;
    constexpr int kMax = 2147483647;
    HBRUSH red = CreateSolidBrush(kRed);
    RECT everything{kMin, kMin, kMax, kMax};
    FillRect(dc, &everything, red);
    EXPECT_EQ(Mismatches([](int, int) { return kRed; }), 0);

    HPEN black = CreatePen(PS_DOT, 1, 0);
    SelectObject(dc, black);
    MoveToEx(dc, kMin, 5, nullptr);
    LineTo(dc, kMax, 5);
    LineTo(dc, kMin, kMax);
    LineTo(dc, kMax, kMin);
    POINT far[] = {{kMax, kMax}, {kMin, kMin}, {kMax, 0}};
    Polyline(dc, far, 3);
    // The dots keep their rhythm from the far-away start: runs of three.
    for (int x = 0; x + 3 < kWidth; ++x) {
        COLORREF here = platform::ReadSurfacePixel(dc, x, 5);
        EXPECT_TRUE(here == 0 || here == RGB(255, 255, 255));
        int run = 1;
        while (x + run < kWidth && platform::ReadSurfacePixel(dc, x + run, 5) == here) {
            ++run;
        }
        EXPECT_LE(run, 3);
        x += run - 1;
    }

    LOGBRUSH solid{BS_SOLID, 0, 0};
    HPEN wide = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 9, &solid, 0, nullptr);
    SelectObject(dc, wide);
    Polyline(dc, far, 3);
    RECT edge{kMax - 1, kMin, kMax, kMax};
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
    DrawFocusRect(dc, &everything);
    PatBlt(dc, kMax, kMax, kMax, kMax, PATCOPY);
    Rectangle(dc, kMin, kMin, kMax, kMax);
    OffsetViewportOrgEx(dc, kMax, kMax, nullptr);
    OffsetViewportOrgEx(dc, kMax, kMax, nullptr);
    IntersectClipRect(dc, kMin, kMin, kMax, kMax);
    FillRect(dc, &everything, red);
    SetWindowOrgEx(dc, kMin, kMin, nullptr);
    RECT box;
    GetClipBox(dc, &box);
    POINT corner[] = {{kMax, kMax}};
    DPtoLP(dc, corner, 1);
    LPtoDP(dc, corner, 1);

    int dx[] = {kMax, kMax, kMin};
    ExtTextOutA(dc, kMax, kMin, ETO_OPAQUE | ETO_CLIPPED, &everything, "abc", 3, dx);
    RECT text{kMax - 10, kMax - 10, kMax, kMax};
    DrawTextA(dc, "far away", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    DrawTextA(dc, "far away", -1, &text, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(ExtTextOutA(dc, 0, 0, 0, nullptr, "x", 1u << 20, nullptr), FALSE)
        << "a text longer than any line is refused";

    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(black);
    DeleteObject(wide);
    DeleteObject(red);
}

namespace {

TEST_F(PaintingTest, BitBltCopiesABlockThroughTheClipEvenOntoItself) {
    HBRUSH red = CreateSolidBrush(kRed);
    RECT square{2, 2, 6, 6};
    FillRect(dc, &square, red);
    DeleteObject(red);
    // Onto itself, overlapping: the block is read before it is written.
    ASSERT_TRUE(BitBlt(dc, 4, 4, 4, 4, dc, 2, 2, SRCCOPY));
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  return In(x, y, {2, 2, 6, 6}) || In(x, y, {4, 4, 8, 8}) ? kRed : kSentinel;
              }),
              0);

    HDC other = platform::CreateMemorySurfaceDC(16, 16, RGB(0, 0, 255));
    IntersectClipRect(dc, 20, 20, 24, 22);
    ASSERT_TRUE(BitBlt(dc, 18, 18, 10, 10, other, 0, 0, SRCCOPY));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 20, 20), RGB(0, 0, 255));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 23, 21), RGB(0, 0, 255));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 24, 21), kSentinel) << "outside the clip";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 19, 19), kSentinel);
    SelectClipRgn(dc, nullptr);

    ASSERT_TRUE(BitBlt(dc, 30, 2, 2, 2, other, 0, 0, SRCINVERT));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 30, 2), kSentinel ^ RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(dc, 30, 6, 2, 2, other, 0, 0, NOTSRCCOPY));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 31, 7), RGB(255, 255, 0));
    ASSERT_TRUE(BitBlt(dc, 34, 2, 2, 2, nullptr, 0, 0, WHITENESS)) << "no source needed";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 35, 3), RGB(255, 255, 255));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 2, 2, other, 0, 0, 0x12345678u));

    // A block partly outside the source leaves what it cannot read.
    ASSERT_TRUE(BitBlt(dc, 40, 10, 4, 4, other, 14, 14, SRCCOPY));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 41, 11), RGB(0, 0, 255));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 42, 12), kSentinel);
    DeleteDC(other);
}

} // namespace

TEST_F(PaintingTest, AStaircaseOfManyPointsDrawsEveryStepButItsLastPoint) {
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    SelectObject(dc, red);
    // Eleven steps four pixels wide and three high: more points than a line
    // of a grid brings, in one Polyline and again as one of a PolyPolyline.
    std::vector<POINT> stairs;
    for (int step = 0; step <= 11; ++step) {
        stairs.push_back({2 + step * 4, 2 + step * 3});
        if (step < 11) {
            stairs.push_back({2 + (step + 1) * 4, 2 + step * 3});
        }
    }
    auto onStairs = [](int x, int y) {
        for (int step = 0; step < 11; ++step) {
            const int left = 2 + step * 4;
            const int top = 2 + step * 3;
            if ((y == top && x >= left && x < left + 4) ||
                (x == left + 4 && y >= top && y < top + 3)) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(Polyline(dc, stairs.data(), static_cast<int>(stairs.size())));
    EXPECT_EQ(Mismatches([&](int x, int y) { return onStairs(x, y) ? kRed : kSentinel; }), 0);

    HBRUSH paper = CreateSolidBrush(kSentinel);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, paper);
    DeleteObject(paper);
    POINT tick[] = {{40, 1}, {40, 4}};
    std::vector<POINT> both(std::begin(tick), std::end(tick));
    both.insert(both.end(), stairs.begin(), stairs.end());
    DWORD counts[] = {2, static_cast<DWORD>(stairs.size())};
    ASSERT_TRUE(PolyPolyline(dc, both.data(), counts, 2));
    EXPECT_EQ(Mismatches([&](int x, int y) {
                  return onStairs(x, y) || (x == 40 && y >= 1 && y < 4) ? kRed : kSentinel;
              }),
              0);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(red);
}
