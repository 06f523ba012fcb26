#include "../WindowDC.h"

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <cstring>

using platform::gdi::Region;
using platform::gdi::Surface;

namespace {

class DeviceContextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetForTesting(); }
    void TearDown() override {
        platform::LiveHandleCounts live = platform::CountLiveHandles();
        EXPECT_EQ(live.deviceContexts, 0u);
        EXPECT_EQ(live.gdiObjects, 0u);
    }
};

RECT ClipBox(HDC dc, int* kind = nullptr) {
    RECT box{-1, -1, -1, -1};
    int result = GetClipBox(dc, &box);
    if (kind) {
        *kind = result;
    }
    return box;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST_F(DeviceContextTest, SurfaceDCDrawsAtItsOriginAndOnlyInsideItsVisibleRegion) {
    auto surface = std::make_shared<Surface>(40, 30, 0x000000);
    Region visible = Region(RECT{10, 5, 30, 25}).Subtract(Region(RECT{10, 5, 15, 10}));
    HDC dc = platform::gdi::CreateSurfaceDC(surface, POINT{10, 5}, visible);
    ASSERT_NE(dc, nullptr);

    for (int y = -2; y < 25; ++y) {
        for (int x = -12; x < 25; ++x) {
            SetPixel(dc, x, y, RGB(255, 0, 0));
        }
    }
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            bool inside = visible.Contains(x, y);
            EXPECT_EQ(surface->At(x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
        }
    }
    int kind = 0;
    EXPECT_TRUE(SameRect(ClipBox(dc, &kind), RECT{0, 0, 20, 20}));
    EXPECT_EQ(kind, COMPLEXREGION);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID) << "outside the visible region";
    EXPECT_EQ(GetPixel(dc, 6, 0), RGB(255, 0, 0));

    ASSERT_TRUE(platform::gdi::SetSurfaceDCVisible(dc, POINT{0, 0}, Region(RECT{0, 0, 5, 5})));
    EXPECT_TRUE(SameRect(ClipBox(dc, &kind), RECT{0, 0, 5, 5}));
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_TRUE(platform::gdi::ReleaseSurfaceDC(dc));
    EXPECT_FALSE(platform::gdi::ReleaseSurfaceDC(dc)) << "a released DC is recognised";
}

// A window's DC sits at an origin inside its top-level's surface; excluding a
// rectangle from it, with no clip region yet, keeps the rest drawable.
TEST_F(DeviceContextTest, ExcludingFromNoClipRegionAtAnOriginKeepsTheRest) {
    auto surface = std::make_shared<Surface>(60, 40, 0x000000);
    Region visible(RECT{20, 10, 50, 35});
    HDC dc = platform::gdi::CreateSurfaceDC(surface, POINT{20, 10}, visible);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ExcludeClipRect(dc, 5, 5, 10, 10), COMPLEXREGION);
    RECT all{0, 0, 30, 25};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    DeleteObject(red);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            bool excluded = x >= 25 && x < 30 && y >= 15 && y < 20;
            bool painted = visible.Contains(x, y) && !excluded;
            EXPECT_EQ(surface->At(x, y), painted ? 0xFF0000u : 0u) << x << "," << y;
        }
    }
    platform::gdi::ReleaseSurfaceDC(dc);
}

TEST_F(DeviceContextTest, ClipRectanglesFollowTheOriginsAndReportTheirKind) {
    HDC dc = platform::CreateMemorySurfaceDC(100, 80);
    ASSERT_NE(dc, nullptr);
    SetViewportOrgEx(dc, 10, 10, nullptr);
    EXPECT_EQ(IntersectClipRect(dc, 0, 0, 50, 40), SIMPLEREGION);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{0, 0, 50, 40}));

    // Moving the origin afterwards does not move the clip region: it is kept
    // in device coordinates.
    SetWindowOrgEx(dc, 5, 0, nullptr);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{5, 0, 55, 40}));
    SetWindowOrgEx(dc, 0, 0, nullptr);

    EXPECT_EQ(ExcludeClipRect(dc, 10, 10, 20, 20), COMPLEXREGION);
    RECT hole{12, 12, 18, 18};
    RECT edge{19, 19, 25, 25};
    EXPECT_FALSE(RectVisible(dc, &hole));
    EXPECT_TRUE(RectVisible(dc, &edge));
    EXPECT_EQ(IntersectClipRect(dc, 60, 0, 70, 10), NULLREGION);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{0, 0, 0, 0}));
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{-10, -10, 90, 70})) << "the whole surface";
    EXPECT_EQ(IntersectClipRect(reinterpret_cast<HDC>(0x12345678), 0, 0, 1, 1), ERROR);
    DeleteDC(dc);
}

TEST_F(DeviceContextTest, RestoreDCGoesBackToNestedStatesByLevelOrFromTheNewest) {
    HDC dc = platform::CreateMemorySurfaceDC(50, 50);
    SetTextColor(dc, RGB(1, 0, 0));
    EXPECT_EQ(SaveDC(dc), 1);
    SetTextColor(dc, RGB(2, 0, 0));
    IntersectClipRect(dc, 0, 0, 10, 10);
    MoveToEx(dc, 7, 8, nullptr);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(3, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(SaveDC(dc), 3);
    SetTextColor(dc, RGB(4, 0, 0));

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(3, 0, 0));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_TRUE(RestoreDC(dc, -2)) << "two back from the newest: level 1";
    EXPECT_EQ(GetTextColor(dc), RGB(1, 0, 0));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{0, 0, 50, 50}));
    EXPECT_FALSE(RestoreDC(dc, -1)) << "nothing is saved any more";
    EXPECT_FALSE(RestoreDC(dc, 0));

    EXPECT_EQ(SaveDC(dc), 1);
    IntersectClipRect(dc, 0, 0, 10, 10);
    MoveToEx(dc, 7, 8, nullptr);
    EXPECT_EQ(SaveDC(dc), 2);
    MoveToEx(dc, 1, 1, nullptr);
    EXPECT_FALSE(RestoreDC(dc, 3));
    EXPECT_TRUE(RestoreDC(dc, 2));
    POINT position;
    GetCurrentPositionEx(dc, &position);
    EXPECT_EQ(position.x, 7);
    EXPECT_EQ(position.y, 8);
    EXPECT_TRUE(SameRect(ClipBox(dc), RECT{0, 0, 10, 10}));
    EXPECT_FALSE(RestoreDC(dc, 2));
    DeleteDC(dc);
}

TEST_F(DeviceContextTest, DeviceCapsAndModes) {
    HDC screen = platform::gdi::CreateScreenDC({});
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    platform::SetScreenPixelsPerInch(120);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 120);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 0);
    EXPECT_EQ(SetROP2(screen, R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(SetROP2(screen, 17), 0);
    EXPECT_EQ(GetROP2(screen), R2_XORPEN);
    EXPECT_EQ(SetBkMode(screen, 3), 0);
    EXPECT_EQ(GetBkColor(screen), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(nullptr, 0), CLR_INVALID);
    DeleteDC(screen);
}

TEST_F(DeviceContextTest, ObjectsAreTypedAndASelectedObjectOutlivesItsDeletion) {
    HDC dc = platform::CreateMemorySurfaceDC(10, 10);
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HGDIOBJ stockPen = SelectObject(dc, pen);
    EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);

    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen) << "still selected, still there";
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 2u);
    EXPECT_EQ(SelectObject(dc, stockPen), pen);
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 1u) << "freed at its deselection";
    EXPECT_EQ(GetObjectType(pen), 0u);

    LOGBRUSH logBrush{};
    EXPECT_EQ(GetObjectA(brush, sizeof logBrush, &logBrush), static_cast<int>(sizeof logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(4, 5, 6));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects ignore deletion";
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));

    // Deleting the DC lets go of what it held.
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 1u);
    DeleteDC(dc);
}

TEST_F(DeviceContextTest, BrushPenAndFontDescriptionsRoundTripAndBadInputFails) {
    for (UINT hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        LOGBRUSH hatched{BS_HATCHED, RGB(9, 8, 7), hatch};
        HBRUSH brush = CreateBrushIndirect(&hatched);
        ASSERT_NE(brush, nullptr);
        LOGBRUSH back{};
        GetObjectA(brush, sizeof back, &back);
        EXPECT_EQ(back.lbStyle, static_cast<UINT>(BS_HATCHED));
        EXPECT_EQ(back.lbHatch, hatch);
        EXPECT_TRUE(UnrealizeObject(brush));
        DeleteObject(brush);
    }
    LOGBRUSH badHatch{BS_HATCHED, 0, 6};
    EXPECT_EQ(CreateBrushIndirect(&badHatch), nullptr);
    LOGBRUSH badStyle{7, 0, 0};
    EXPECT_EQ(CreateBrushIndirect(&badStyle), nullptr);
    LOGBRUSH hollow{BS_HOLLOW, 0, 0};
    HBRUSH clear = CreateBrushIndirect(&hollow);
    EXPECT_NE(clear, nullptr);
    DeleteObject(clear);

    LOGPEN logPen{PS_DASHDOT, {1, 0}, RGB(1, 2, 3)};
    HPEN pen = CreatePenIndirect(&logPen);
    LOGPEN penBack{};
    EXPECT_EQ(GetObjectA(pen, sizeof penBack, &penBack), static_cast<int>(sizeof penBack));
    EXPECT_EQ(penBack.lopnStyle, static_cast<UINT>(PS_DASHDOT));
    EXPECT_EQ(penBack.lopnColor, RGB(1, 2, 3));
    EXPECT_FALSE(UnrealizeObject(pen));
    LOGBRUSH red{BS_SOLID, RGB(255, 0, 0), 0};
    HPEN extended =
        ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 3, &red, 0, nullptr);
    EXTLOGPEN extendedBack{};
    EXPECT_EQ(GetObjectA(extended, sizeof extendedBack, &extendedBack),
              static_cast<int>(sizeof extendedBack));
    EXPECT_EQ(extendedBack.elpWidth, 3u);
    EXPECT_EQ(GetObjectType(extended), static_cast<DWORD>(OBJ_EXTPEN));
    DeleteObject(extended);
    DeleteObject(pen);

    LOGFONTA logFont{};
    logFont.lfHeight = -12;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    std::memset(logFont.lfFaceName, 'x', sizeof logFont.lfFaceName);
    HFONT font = CreateFontIndirectA(&logFont);
    LOGFONTA fontBack{};
    EXPECT_EQ(GetObjectA(font, sizeof fontBack, &fontBack), static_cast<int>(sizeof fontBack));
    EXPECT_EQ(fontBack.lfHeight, -12);
    EXPECT_EQ(std::strlen(fontBack.lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1))
        << "an unterminated face name is cut";
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof fontBack));
    DeleteObject(font);

    // Stale, foreign and made-up handles get the failure results.
    auto bogus = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0x7654321));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(bogus, sizeof fontBack, &fontBack), 0);
    EXPECT_EQ(GetObjectType(bogus), 0u);
    HDC dc = platform::CreateMemorySurfaceDC(4, 4);
    EXPECT_EQ(SelectObject(dc, font), nullptr);
    EXPECT_EQ(SelectObject(dc, bogus), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(bogus), GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);

    // Selecting a region sets the clip region and answers its kind.
    HRGN region = CreateRectRgn(1, 1, 3, 3);
    EXPECT_EQ(SelectObject(dc, region), reinterpret_cast<HGDIOBJ>(SIMPLEREGION));
    RECT box{};
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 3);
    DeleteObject(region);
    DeleteDC(dc);
    EXPECT_FALSE(DeleteDC(dc));
}
