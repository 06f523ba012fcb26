// Solid fills and image copies of every width from a single pixel to several
// wide stores, at every alignment, through clips of one and of many pieces:
// each pixel is checked against the rectangle and the clip asked pixel by
// pixel, so a block that runs past a row's end or stops short of it is caught.

#include "../Region.h"
#include "../Surface.h"
#include "../raster/Raster.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::gdi::Pixel;
using platform::gdi::Region;
using platform::gdi::Surface;
namespace raster = platform::gdi::raster;

constexpr Pixel kSentinel = 0x123456;
constexpr Pixel kInk = 0xA0B0C0;
constexpr int kSide = 48;

bool Inside(const RECT& rect, int x, int y) {
    return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

// The number of pixels that differ from what the rectangle and the clip ask.
int WrongPixels(const Surface& surface, const Region& clip, const RECT& rect) {
    int wrong = 0;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            Pixel expected = Inside(rect, x, y) && clip.Contains(x, y) ? kInk : kSentinel;
            wrong += surface.At(x, y) != expected;
        }
    }
    return wrong;
}

int WrongPixelsAfterFill(const Region& clip, const RECT& rect) {
    Surface surface(kSide, kSide, kSentinel);
    raster::FillRect({surface, clip, R2_COPYPEN}, rect, kInk);
    return WrongPixels(surface, clip, rect);
}

// An image whose every pixel differs from the others and from the sentinel.
std::vector<Pixel> NumberedImage(int width, int height) {
    std::vector<Pixel> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(0x010000u + static_cast<Pixel>(i));
    }
    return pixels;
}

// The number of pixels that differ from the image where the image and the
// clip reach, and from the sentinel elsewhere.
int WrongPixelsAfterCopy(const Region& clip, int x, int y, int width, int height) {
    Surface surface(kSide, kSide, kSentinel);
    const std::vector<Pixel> image = NumberedImage(width, height);
    raster::CopyImage({surface, clip, R2_COPYPEN}, x, y, image.data(), width, height);
    const RECT placed{x, y, x + width, y + height};
    int wrong = 0;
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            Pixel expected = kSentinel;
            if (Inside(placed, column, row) && clip.Contains(column, row)) {
                expected = image[static_cast<std::size_t>((row - y) * width + (column - x))];
            }
            wrong += surface.At(column, row) != expected;
        }
    }
    return wrong;
}

Region ColumnsInBands() {
    // Columns of 1, 3, 5, ... pixels with gaps of 2, in three bands.
    Region clip;
    LONG x = 1;
    for (LONG width = 1; x + width <= kSide; width += 2) {
        clip.Include(Region(RECT{x, 2, x + width, 20}));
        clip.Include(Region(RECT{x + 1, 24, x + width + 1, 30}));
        x += width + 2;
    }
    clip.Include(Region(RECT{0, 33, kSide, 40}));
    return clip;
}

} // namespace

TEST(RasterFillTest, EveryWidthAndAlignmentFillsExactlyItsRectangle) {
    const Region whole(RECT{0, 0, kSide, kSide});
    for (int width = 0; width <= 40; ++width) {
        for (int left = 0; left + width <= kSide; left += 3) {
            const RECT rect{left, 5, left + width, 9};
            EXPECT_EQ(WrongPixelsAfterFill(whole, rect), 0) << "width " << width << " at " << left;
        }
    }
}

TEST(RasterFillTest, ARectangleReachingPastTheSurfaceStopsAtItsEdges) {
    const Region whole(RECT{0, 0, kSide, kSide});
    EXPECT_EQ(WrongPixelsAfterFill(whole, {-7, -3, kSide + 9, 4}), 0);
    EXPECT_EQ(WrongPixelsAfterFill(whole, {kSide - 13, kSide - 2, kSide + 30, kSide + 30}), 0);
}

TEST(RasterFillTest, AClipOfManyPiecesKeepsEachFillInsideItsPieces) {
    const Region clip = ColumnsInBands();
    for (int width = 1; width <= kSide; width += 5) {
        for (int left = 0; left + width <= kSide; left += 7) {
            const RECT rect{left, 0, left + width, kSide};
            EXPECT_EQ(WrongPixelsAfterFill(clip, rect), 0) << "width " << width << " at " << left;
        }
    }
}

TEST(RasterCopyTest, EveryWidthAndAlignmentCopiesEachPixelToItsPlace) {
    const Region whole(RECT{0, 0, kSide, kSide});
    for (int width = 1; width <= 40; ++width) {
        for (int x = 0; x + width <= kSide; x += 5) {
            EXPECT_EQ(WrongPixelsAfterCopy(whole, x, 3, width, 7), 0)
                << "width " << width << " at " << x;
        }
    }
}

TEST(RasterCopyTest, AnImagePartlyOffTheSurfaceOrClippedToPiecesKeepsItsPlace) {
    const Region whole(RECT{0, 0, kSide, kSide});
    EXPECT_EQ(WrongPixelsAfterCopy(whole, -5, -2, 17, 9), 0);
    EXPECT_EQ(WrongPixelsAfterCopy(whole, kSide - 9, kSide - 4, 21, 11), 0);
    const Region clip = ColumnsInBands();
    for (int width : {1, 3, 4, 7, 8, 9, 16, 23, 48}) {
        for (int x = 0; x + width <= kSide; x += 6) {
            EXPECT_EQ(WrongPixelsAfterCopy(clip, x, 0, width, kSide), 0)
                << "width " << width << " at " << x;
        }
    }
}
