// A new surface holds its fill colour in every pixel, whatever the memory it
// was given held before: black surfaces take memory the allocator zeroed
// instead of filling it.

#include "../Surface.h"
#include "../WindowDC.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using platform::gdi::Pixel;
using platform::gdi::Surface;

bool AllPixelsAre(const Surface& surface, Pixel pixel) {
    for (int y = 0; y < surface.Height(); ++y) {
        const Pixel* row = surface.Row(y);
        if (!std::all_of(row, row + surface.Width(), [&](Pixel each) { return each == pixel; })) {
            return false;
        }
    }
    return true;
}

// Frees a white surface of the size, so that the allocator has its memory to
// hand out again, then makes a black one of the same size.
void ExpectBlackAfterWhite(int width, int height) {
    {
        auto white = std::make_unique<Surface>(width, height, 0xFFFFFF);
        ASSERT_TRUE(AllPixelsAre(*white, 0xFFFFFF));
    }
    Surface black(width, height, 0);
    EXPECT_TRUE(AllPixelsAre(black, 0)) << width << " x " << height;
}

} // namespace

TEST(SurfaceTest, ABlackSurfaceIsBlackInMemoryAWhiteOneHeld) {
    ExpectBlackAfterWhite(3, 3);
    ExpectBlackAfterWhite(40, 30);
    ExpectBlackAfterWhite(300, 200);
    ExpectBlackAfterWhite(1024, 768);
}

TEST(SurfaceTest, ResizingABlackSurfaceKeepsItsPixelsAndBlackensTheNewOnes) {
    Surface surface(4, 4, 0);
    surface.Set(1, 1, 0x123456);
    { Surface white(64, 64, 0xFFFFFF); }
    surface.Resize(64, 64, 0);
    EXPECT_EQ(surface.At(1, 1), 0x123456u);
    surface.Set(1, 1, 0);
    EXPECT_TRUE(AllPixelsAre(surface, 0));
}

TEST(SurfaceTest, TheScreenStartsBlackAndKeepsWhatIsDrawnOnIt) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetPixel(screen, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(screen, 1023, 767), RGB(0, 0, 0));
    EXPECT_EQ(SetPixel(screen, 10, 10, RGB(200, 100, 50)), RGB(200, 100, 50));
    EXPECT_EQ(GetPixel(screen, 10, 10), RGB(200, 100, 50));
    SetPixel(screen, 10, 10, RGB(0, 0, 0));
    ReleaseDC(nullptr, screen);
}
