#include "../Region.h"
#include "../WindowDC.h"

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

using platform::gdi::Region;

namespace {

constexpr int kGrid = 24;
using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const RECT& rect) {
    PixelSet pixels;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            pixels.insert({x, y});
        }
    }
    return pixels;
}

// The oracle: what the region covers, asked pixel by pixel over the grid.
PixelSet Sampled(const Region& region) {
    PixelSet pixels;
    for (int y = -2; y < kGrid + 2; ++y) {
        for (int x = -2; x < kGrid + 2; ++x) {
            if (region.Contains(x, y)) {
                pixels.insert({x, y});
            }
        }
    }
    return pixels;
}

PixelSet FromRects(const Region& region) {
    PixelSet pixels;
    for (const RECT& rect : region.Rects()) {
        PixelSet part = PixelsOf(rect);
        for (const auto& pixel : part) {
            EXPECT_TRUE(pixels.insert(pixel).second) << "rectangles overlap";
        }
    }
    return pixels;
}

template <class Keep> PixelSet Combine(const PixelSet& a, const PixelSet& b, Keep keep) {
    PixelSet result;
    for (int y = -2; y < kGrid + 2; ++y) {
        for (int x = -2; x < kGrid + 2; ++x) {
            if (keep(a.count({x, y}) != 0, b.count({x, y}) != 0)) {
                result.insert({x, y});
            }
        }
    }
    return result;
}

struct RandomRegions {
    std::mt19937 random{12345};

    RECT NextRect() {
        std::uniform_int_distribution<int> coordinate(0, kGrid);
        int x0 = coordinate(random), x1 = coordinate(random);
        int y0 = coordinate(random), y1 = coordinate(random);
        return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    }

    // A region of a few rectangles and the same pixels by the oracle.
    std::pair<Region, PixelSet> Next() {
        Region region;
        PixelSet pixels;
        int count = std::uniform_int_distribution<int>(0, 4)(random);
        for (int i = 0; i < count; ++i) {
            RECT rect = NextRect();
            region = region.Union(Region(rect));
            PixelSet part = PixelsOf(rect);
            pixels.insert(part.begin(), part.end());
        }
        return {region, pixels};
    }
};

} // namespace

TEST(RegionTest, BooleanOperationsMatchAPixelByPixelComputation) {
    RandomRegions regions;
    for (int round = 0; round < 150; ++round) {
        auto [a, pixelsA] = regions.Next();
        auto [b, pixelsB] = regions.Next();
        ASSERT_EQ(Sampled(a), pixelsA);
        EXPECT_EQ(Sampled(a.Union(b)),
                  Combine(pixelsA, pixelsB, [](bool p, bool q) { return p || q; }));
        EXPECT_EQ(Sampled(a.Intersect(b)),
                  Combine(pixelsA, pixelsB, [](bool p, bool q) { return p && q; }));
        EXPECT_EQ(Sampled(a.Subtract(b)),
                  Combine(pixelsA, pixelsB, [](bool p, bool q) { return p && !q; }));
        Region exclusive = a.Xor(b);
        EXPECT_EQ(Sampled(exclusive),
                  Combine(pixelsA, pixelsB, [](bool p, bool q) { return p != q; }));
        EXPECT_EQ(FromRects(exclusive), Sampled(exclusive));
    }
}

TEST(RegionTest, EqualPixelSetsGiveEqualRegionsWhateverTheirHistory) {
    RandomRegions regions;
    for (int round = 0; round < 100; ++round) {
        auto [a, pixelsA] = regions.Next();
        auto [b, pixelsB] = regions.Next();
        Region left = a.Union(b);
        Region right = b.Union(a).Subtract(Region()).Union(a.Intersect(b));
        EXPECT_EQ(left, right);
        EXPECT_EQ(left.Subtract(b).Union(b), left);
    }
}

TEST(RegionTest, KindBoundsAndIntersection) {
    Region empty;
    EXPECT_EQ(empty.Kind(), NULLREGION);
    EXPECT_EQ(Region(RECT{5, 5, 5, 9}).Kind(), NULLREGION);
    EXPECT_EQ(Region(RECT{9, 5, 2, 9}).Kind(), NULLREGION);

    Region two = Region(RECT{0, 0, 4, 4}).Union(Region(RECT{4, 0, 8, 4}));
    EXPECT_EQ(two.Kind(), SIMPLEREGION) << "touching rectangles merge into one";
    EXPECT_EQ(two.Rects().size(), 1u);

    Region ring = Region(RECT{0, 0, 10, 10}).Subtract(Region(RECT{3, 3, 7, 7}));
    EXPECT_EQ(ring.Kind(), COMPLEXREGION);
    RECT bounds = ring.Bounds();
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 10);
    EXPECT_EQ(bounds.bottom, 10);
    EXPECT_FALSE(ring.Intersects(RECT{3, 3, 7, 7}));
    EXPECT_TRUE(ring.Intersects(RECT{6, 6, 8, 8}));
    EXPECT_FALSE(ring.Intersects(RECT{10, 0, 12, 10})) << "the right edge is excluded";
    EXPECT_FALSE(ring.Contains(10, 5));
    EXPECT_TRUE(ring.Contains(9, 9));
}

TEST(RegionTest, OffsetMovesEveryPixelAndRefusesToOverflow) {
    Region ring = Region(RECT{0, 0, 10, 10}).Subtract(Region(RECT{3, 3, 7, 7}));
    Region moved = ring;
    ASSERT_TRUE(moved.Offset(-5, 20));
    for (int y = -1; y < 12; ++y) {
        for (int x = -1; x < 12; ++x) {
            EXPECT_EQ(moved.Contains(x - 5, y + 20), ring.Contains(x, y));
        }
    }
    Region far = ring;
    EXPECT_FALSE(far.Offset(0x7FFFFFFF, 0));
    EXPECT_EQ(far, ring);
    Region huge(RECT{-0x7FFFFFFF, 0, 0x7FFFFFFF, 1});
    EXPECT_TRUE(huge.Contains(Region::kCoordinateLimit - 1, 0));
}

TEST(RegionTest, RegionHandlesCombineAndRefuseOtherObjects) {
    platform::ResetForTesting();
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(result, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(result, 14, 14));
    EXPECT_FALSE(PtInRegion(result, 14, 2));
    EXPECT_EQ(CombineRgn(result, a, b, RGN_AND), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(result, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(OffsetRgn(result, 100, 0), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(result, 105, 5));
    EXPECT_EQ(platform::gdi::RegionOf(result)->Bounds().left, 105);

    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(CombineRgn(reinterpret_cast<HRGN>(brush), a, b, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(result, a, b, 99), ERROR);
    EXPECT_EQ(platform::gdi::RegionOf(reinterpret_cast<HRGN>(brush)), nullptr);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(a), static_cast<HGDIOBJ>(b),
                           static_cast<HGDIOBJ>(result), static_cast<HGDIOBJ>(brush)}) {
        EXPECT_TRUE(DeleteObject(object));
    }
    EXPECT_EQ(GetRgnBox(a, &box), ERROR) << "a deleted region is recognised";
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 0u);
}
