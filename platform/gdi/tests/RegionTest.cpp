#include "../Region.h"
#include "../WindowDC.h"

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
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

namespace {

// The cells of a grid with lines `gap` pixels wide between them, row by row.
std::vector<RECT> GridCells(int columns, int rows, int width, int height, int gap) {
    std::vector<RECT> cells;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            LONG left = column * (width + gap);
            LONG top = row * (height + gap);
            cells.push_back({left, top, left + width, top + height});
        }
    }
    return cells;
}

Region UnionOf(const std::vector<RECT>& rects) {
    Region region;
    for (const RECT& rect : rects) {
        region = region.Union(Region(rect));
    }
    return region;
}

} // namespace

TEST(RegionTest, CellsAddedRowByRowEqualTheSameCellsAddedInAnyOrder) {
    // Invalidating a grid's cells one by one adds rectangles right of and
    // below what is there; the region must be the same, pixel for pixel and
    // in its canonical form, as when they come in any other order.
    std::mt19937 random(7);
    for (int gap : {0, 1, 2}) {
        for (int width : {1, 3}) {
            std::vector<RECT> cells = GridCells(5, 4, width, 2, gap);
            Region rowByRow = UnionOf(cells);
            PixelSet expected;
            for (const RECT& cell : cells) {
                PixelSet part = PixelsOf(cell);
                expected.insert(part.begin(), part.end());
            }
            EXPECT_EQ(Sampled(rowByRow), expected);
            EXPECT_EQ(FromRects(rowByRow), expected);
            // The cells do not overlap, so their exclusive or, which walks
            // both regions whole, is their union in canonical form.
            Region exclusive;
            for (const RECT& cell : cells) {
                exclusive = exclusive.Xor(Region(cell));
            }
            EXPECT_EQ(rowByRow, exclusive);
            for (int shuffle = 0; shuffle < 5; ++shuffle) {
                std::shuffle(cells.begin(), cells.end(), random);
                EXPECT_EQ(UnionOf(cells), rowByRow);
                Region included;
                for (const RECT& cell : cells) {
                    included.Include(Region(cell));
                }
                EXPECT_EQ(included, rowByRow);
            }
            // Touching cells are one rectangle; cells apart are rows of spans.
            EXPECT_EQ(rowByRow.Kind(), gap == 0 ? SIMPLEREGION : COMPLEXREGION);
        }
    }
}

TEST(RegionTest, RegionsStackedOrHeldCombineAsTheGeneralWalkDoes) {
    RandomRegions regions;
    for (int round = 0; round < 300; ++round) {
        auto [a, pixelsA] = regions.Next();
        // A rectangle added: the union is (a xor r) xor (a and r), each
        // worked out by walking both regions.
        Region rect(regions.NextRect());
        Region withRect = a;
        withRect.Include(rect);
        EXPECT_EQ(withRect, a.Xor(rect).Xor(a.Intersect(rect)));
        // Clipping to a rectangle, an inverted one and one beyond the
        // coordinate limit included, is intersecting with its region.
        const RECT clip = regions.NextRect();
        const RECT inverted{clip.right, clip.bottom, clip.left, clip.top};
        const RECT huge{-Region::kCoordinateLimit * 2, clip.top, clip.right, 1 << 30};
        for (const RECT& r : {clip, inverted, huge}) {
            EXPECT_EQ(a.ClippedTo(r), a.Intersect(Region(r)));
            EXPECT_EQ(rect.ClippedTo(r), rect.Intersect(Region(r)));
        }
        EXPECT_EQ(Sampled(withRect),
                  Combine(pixelsA, Sampled(rect), [](bool p, bool q) { return p || q; }));
        auto [b, pixelsB] = regions.Next();
        // b moved wholly below a, touching it or not.
        RECT boundsA = a.Bounds();
        RECT boundsB = b.Bounds();
        Region below = b;
        below.Offset(0, boundsA.bottom - boundsB.top + round % 2);
        Region stacked = a.Union(below);
        EXPECT_EQ(stacked, below.Union(a));
        EXPECT_EQ(stacked, a.Xor(below)); // disjoint: the general walk's answer
        Region above = below;
        above.Include(a);
        EXPECT_EQ(above, stacked);
        EXPECT_EQ(stacked.Subtract(below), a);
        EXPECT_EQ(stacked.Intersect(below), below);
        EXPECT_EQ(stacked.Xor(a), below);
        // A rectangle holding the region, and one inside a rectangle.
        Region holder(RECT{boundsA.left - 1, boundsA.top, boundsA.right, boundsA.bottom + 1});
        EXPECT_EQ(a.Union(holder), holder);
        EXPECT_EQ(holder.Intersect(a), a);
        EXPECT_EQ(a.Intersect(holder), a);
        Region other(regions.NextRect());
        EXPECT_EQ(Sampled(rect.Intersect(other)),
                  Combine(Sampled(rect), Sampled(other), [](bool p, bool q) { return p && q; }));
        EXPECT_EQ(rect.Intersect(other), rect.Subtract(rect.Subtract(other)));
        // A rectangle of the same columns right under another joins it.
        RECT top{round % 5, round % 7, round % 5 + 4, round % 7 + 2};
        RECT under{top.left, top.bottom, top.right, top.bottom + 3};
        EXPECT_EQ(Region(top).Union(Region(under)),
                  Region(RECT{top.left, top.top, top.right, under.bottom}));
    }
}

TEST(RegionTest, ARectangleAddedToManyBandsChangesOnlyItsRowsAndKeepsTheRest) {
    // Cells 3 x 2 apart by a 1-pixel gap, in rows of 6: many bands of many
    // spans, more than a region keeps inside itself.
    const std::vector<RECT> cells = GridCells(6, 6, 3, 2, 1);
    const Region grid = UnionOf(cells);
    const PixelSet gridPixels = Sampled(grid);
    // Every rectangle stays inside the rows and columns Sampled looks at.
    for (int left = -1; left < kGrid - 2; ++left) {
        for (int top = -1; top < kGrid - 3; ++top) {
            for (const SIZE size : {SIZE{1, 1}, SIZE{2, 2}, SIZE{3, 1}, SIZE{4, 2}, SIZE{1, 5},
                                    SIZE{7, 9}, SIZE{13, 3}, SIZE{25, 2}}) {
                const RECT rect{left, top, left + size.cx, top + size.cy};
                if (rect.right > kGrid + 2 || rect.bottom > kGrid + 2) {
                    continue;
                }
                Region included = grid;
                included.Include(Region(rect));
                PixelSet expected = gridPixels;
                PixelSet added = PixelsOf(rect);
                expected.insert(added.begin(), added.end());
                ASSERT_EQ(Sampled(included), expected) << left << "," << top;
                EXPECT_EQ(included, grid.Xor(Region(rect)).Xor(grid.Intersect(Region(rect))));
                if (expected == gridPixels) {
                    EXPECT_EQ(included, grid);
                }
            }
        }
    }
}

TEST(RegionTest, RegionsOfManyBandsCopyAndMoveWhole) {
    const Region grid = UnionOf(GridCells(6, 6, 3, 2, 1));
    Region copied = grid;
    EXPECT_EQ(Sampled(copied), Sampled(grid));
    Region moved = std::move(copied);
    EXPECT_EQ(moved, grid);
    EXPECT_TRUE(copied.IsEmpty());
    copied = Region(RECT{0, 0, 2, 2});
    copied = moved;
    EXPECT_EQ(Sampled(copied), Sampled(grid));
    Region small(RECT{1, 1, 3, 3});
    moved = small;
    EXPECT_EQ(Sampled(moved), PixelsOf({1, 1, 3, 3}));
}

TEST(RegionTest, RectangleQueriesAnswerAsThePixelsDoForRegionsOfManyBands) {
    RandomRegions regions;
    for (int round = 0; round < 200; ++round) {
        auto [region, pixels] = regions.Next();
        // Stacked rows of cells, as a grid's paint area, give many bands.
        for (int row = 0; row < 6; ++row) {
            RECT cell = regions.NextRect();
            cell.top = row * 4;
            cell.bottom = cell.top + 3;
            region.Include(Region(cell));
            PixelSet part = PixelsOf(cell);
            pixels.insert(part.begin(), part.end());
        }
        for (int probe = 0; probe < 20; ++probe) {
            RECT rect = regions.NextRect();
            if (rect.left >= rect.right || rect.top >= rect.bottom) {
                continue;
            }
            PixelSet inside = PixelsOf(rect);
            bool covered =
                std::includes(pixels.begin(), pixels.end(), inside.begin(), inside.end());
            const bool shared = std::any_of(inside.begin(), inside.end(),
                                            [&](const auto& pixel) { return pixels.count(pixel); });
            PixelSet cut;
            std::set_intersection(pixels.begin(), pixels.end(), inside.begin(), inside.end(),
                                  std::inserter(cut, cut.begin()));
            EXPECT_EQ(region.Covers(rect), covered)
                << "round " << round << " rect " << rect.left << "," << rect.top << ","
                << rect.right << "," << rect.bottom;
            EXPECT_EQ(region.Intersects(rect), shared) << "round " << round;
            EXPECT_EQ(Sampled(region.ClippedTo(rect)), cut) << "round " << round;
        }
    }
}
