// The grid's geometry as plain values: which cells fit, where they start,
// which cell a point falls in, and the rectangle of a range.

#include "grids/GridLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace velbrin::testing {
namespace {

struct AxisGiven {
    std::vector<std::int32_t> extents;
    std::int32_t lineWidth = 1;
    std::int32_t fixed = 0;
    std::int32_t first = 0;
    std::int32_t gridExtent = 0;
};

TAxisLayout Axis(const AxisGiven& given) {
    const std::vector<std::int32_t> extents = given.extents;
    return CalcAxisLayout(
        {given.lineWidth, given.fixed, given.first, static_cast<std::int32_t>(extents.size()),
         given.gridExtent,
         [extents](std::int32_t cell) { return extents.at(static_cast<std::size_t>(cell)); }});
}

std::vector<std::int32_t> Same(std::size_t count, std::int32_t extent) {
    return std::vector<std::int32_t>(count, extent);
}

// The chart's grid: 12 by 12 cells of 32 by 20 pixels in a 397 by 253 client area.
TGridLayout ChartLayout() {
    return {Axis({Same(12, 32), 1, 0, 0, 397}), Axis({Same(12, 20), 1, 0, 0, 253})};
}

bool IsZero(const RECT& rect) {
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

TEST(GridLayout, TheChartGridShowsAllItsCellsWithOnePixelLeftOverOnEachAxis) {
    const TGridLayout layout = ChartLayout();
    EXPECT_EQ(layout.Horz.FixedBoundary, 0);
    EXPECT_EQ(layout.Horz.LastFullVisibleCell, 11);
    EXPECT_EQ(layout.Horz.GridBoundary, 396);
    EXPECT_EQ(layout.Horz.FullVisibleBoundary, 396);
    EXPECT_EQ(layout.Vert.LastFullVisibleCell, 11);
    EXPECT_EQ(layout.Vert.GridBoundary, 252);
    EXPECT_EQ(layout.Vert.FullVisibleBoundary, 252);
    for (std::int32_t row = 0; row < 12; ++row) {
        for (std::int32_t col = 0; col < 12; ++col) {
            const RECT cell = RangeBounds(layout, {col, row, col, row}, TGridLines::Excluded);
            EXPECT_EQ(cell.left, 33 * col);
            EXPECT_EQ(cell.top, 21 * row);
            EXPECT_EQ(cell.right, 33 * col + 32);
            EXPECT_EQ(cell.bottom, 21 * row + 20);
            const RECT lined = RangeBounds(layout, {col, row, col, row}, TGridLines::Included);
            EXPECT_EQ(lined.right, 33 * col + 33);
            EXPECT_EQ(lined.bottom, 21 * row + 21);
        }
    }
    const RECT all = RangeBounds(layout, {0, 0, 11, 11}, TGridLines::Included);
    EXPECT_EQ(all.right, 396);
    EXPECT_EQ(all.bottom, 252);
    EXPECT_EQ(MaxTopLeft(layout, {11, 11}), (TCellCoord{0, 0})) << "nothing ever scrolls";
}

TEST(GridLayout, ACellFitsWhenOnlyItsTrailingLineFallsPastTheEdge) {
    std::vector<std::int32_t> extents = Same(12, 32);
    extents[11] = 33; // 11 x 33 + 33 + 1 = 397, one past a 396-pixel client area
    const TAxisLayout fits = Axis({extents, 1, 0, 0, 396});
    EXPECT_EQ(fits.LastFullVisibleCell, 11);
    EXPECT_EQ(fits.GridBoundary, 397);

    extents[11] = 34; // reaches 398
    const TAxisLayout cut = Axis({extents, 1, 0, 0, 396});
    EXPECT_EQ(cut.LastFullVisibleCell, 10);
    EXPECT_EQ(cut.FullVisibleBoundary, 363);
    EXPECT_EQ(cut.GridBoundary, 396);
}

TEST(GridLayout, FixedCellsComeFirstAndScrolledAwayCellsStartAtZero) {
    const TAxisLayout axis = Axis({{10, 20, 30, 40, 50}, 2, 2, 3, 1000});
    EXPECT_EQ(axis.FixedBoundary, 34);
    EXPECT_EQ(axis.CellStart(0), 0);
    EXPECT_EQ(axis.CellStart(1), 12);
    EXPECT_EQ(axis.CellStart(2), 0) << "column 2 is scrolled away";
    EXPECT_EQ(axis.CellStart(3), 34);
    EXPECT_EQ(axis.CellStart(4), 76);
    EXPECT_EQ(axis.LastFullVisibleCell, 4);
    EXPECT_EQ(axis.GridBoundary, 128);
}

TEST(GridLayout, ACellStartingPastTheClientEdgeStartsAtZero) {
    const TAxisLayout axis = Axis({Same(6, 50), 0, 0, 0, 120});
    EXPECT_EQ(axis.CellStart(2), 100);
    EXPECT_EQ(axis.CellStart(3), 0);
    EXPECT_EQ(axis.LastFullVisibleCell, 1);
    EXPECT_EQ(axis.GridBoundary, 120);
}

TEST(GridLayout, WhenNoCellFitsTheFirstGridCellCountsAsTheLastFullOne) {
    const TAxisLayout axis = Axis({Same(4, 50), 1, 1, 2, 40});
    EXPECT_EQ(axis.FixedBoundary, 51);
    EXPECT_EQ(axis.LastFullVisibleCell, 2);
    EXPECT_EQ(axis.FullVisibleBoundary, 51);
    EXPECT_EQ(axis.GridBoundary, 40);
}

TEST(GridLayout, APointOnAGridLineBelongsToTheCellBeforeIt) {
    const TGridLayout chart = ChartLayout();
    EXPECT_EQ(CellAtPoint(chart, 0, 0), (TCellCoord{0, 0}));
    EXPECT_EQ(CellAtPoint(chart, 32, 20), (TCellCoord{0, 0})) << "on the lines";
    EXPECT_EQ(CellAtPoint(chart, 33, 21), (TCellCoord{1, 1}));
    EXPECT_EQ(CellAtPoint(chart, 395, 251), (TCellCoord{11, 11}));
    EXPECT_EQ(CellAtPoint(chart, 396, 100).X, -1) << "the strip past the last column";
    EXPECT_EQ(CellAtPoint(chart, 100, 252).Y, -1);
    EXPECT_EQ(CellAtPoint(chart, -1, -1), (TCellCoord{-1, -1}));
}

TEST(GridLayout, HitTestingWalksFixedCellsThenScrolledOnesAndPastTheClientEdge) {
    const TAxisLayout axis = Axis({{10, 20, 30, 40, 50, 60}, 1, 2, 4, 100});
    // Fixed: 0 is [0, 11), 1 is [11, 32); then 4 is [32, 83), 5 is [83, 144).
    EXPECT_EQ(axis.CellAt(10), 0);
    EXPECT_EQ(axis.CellAt(11), 1);
    EXPECT_EQ(axis.CellAt(31), 1);
    EXPECT_EQ(axis.CellAt(32), 4) << "scrolled-away cells 2 and 3 are skipped";
    EXPECT_EQ(axis.CellAt(143), 5) << "beyond the 100-pixel client area";
    EXPECT_EQ(axis.CellAt(144), -1);
    EXPECT_EQ(axis.CellAt(-5), 0) << "a point before the grid walks the fixed cells";
    const TAxisLayout unfixed = Axis({{10, 20, 30}, 1, 0, 0, 100});
    EXPECT_EQ(unfixed.CellAt(-5), -1) << "without fixed cells it finds none";
    EXPECT_EQ(unfixed.CellAt(0), 0);
}

// Every pixel of every cell shown, and its trailing line, hits that cell: the
// cells laid end to end by hand, the fixed ones first, then from the first
// scrolled one on.
TEST(GridLayout, HitTestingAgreesWithCellBoundsForIrregularExtents) {
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::int32_t> widths;
        for (int i = 0; i < 15; ++i) {
            widths.push_back(static_cast<std::int32_t>(1 + random() % 40));
        }
        const std::int32_t line = static_cast<std::int32_t>(random() % 4);
        const std::int32_t fixed = static_cast<std::int32_t>(random() % 3);
        const std::int32_t first = fixed + static_cast<std::int32_t>(random() % 4);
        const TGridLayout layout{Axis({widths, line, fixed, first, 250}),
                                 Axis({Same(3, 10), 0, 0, 0, 30})};
        std::vector<std::int32_t> shown;
        for (std::int32_t col = 0; col < 15; ++col) {
            if (col < fixed || col >= first) {
                shown.push_back(col);
            } else {
                EXPECT_TRUE(IsZero(RangeBounds(layout, {col, 0, col, 0}, TGridLines::Excluded)));
            }
        }
        std::int32_t left = 0;
        for (const std::int32_t col : shown) {
            const std::int32_t right = left + widths[static_cast<std::size_t>(col)] + line;
            for (std::int32_t x = left; x < right; ++x) {
                ASSERT_EQ(CellAtPoint(layout, x, 5).X, col) << "round " << round << " x " << x;
            }
            left = right;
        }
        EXPECT_EQ(CellAtPoint(layout, left, 5).X, -1) << "past the last cell";
    }
}

// A cell's leading edge as the rule states it, summed cell by cell: a fixed
// cell after the fixed cells before it, a shown scrolling cell after the
// fixed cells and the shown ones before it, a scrolled-away one at 0, and 0
// as soon as the running sum passes the client edge.
std::int32_t StartByRule(const std::vector<std::int32_t>& extents, std::int32_t defaultExtent,
                         std::int32_t line, std::int32_t fixed, std::int32_t first,
                         std::int32_t client, std::int32_t cell) {
    auto extent = [&](std::int32_t i) {
        return i >= 0 && i < static_cast<std::int32_t>(extents.size())
                   ? extents[static_cast<std::size_t>(i)]
                   : defaultExtent;
    };
    std::int64_t sum = 0;
    std::int32_t from = 0;
    if (cell >= fixed) {
        if (cell < first) {
            return 0;
        }
        for (std::int32_t i = 0; i < fixed; ++i) {
            sum += std::int64_t{extent(i)} + line;
        }
        sum = std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX);
        from = first;
    }
    for (std::int32_t i = from; i < cell; ++i) {
        sum += std::int64_t{extent(i)} + line;
        if (sum > client) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
}

TEST(GridLayout, CellStartsFollowTheRuleForAnyExtentsAndCells) {
    std::mt19937 random(23);
    auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<std::int32_t> extents(static_cast<std::size_t>(pick(0, 12)));
        for (std::int32_t& extent : extents) {
            // Mostly ordinary sizes; now and then a negative or huge one.
            const std::int32_t kind = pick(0, 9);
            extent = kind == 0 ? pick(-30, -1) : kind == 1 ? INT32_MAX - pick(0, 5) : pick(0, 60);
        }
        const auto count = static_cast<std::int32_t>(extents.size());
        const std::int32_t defaultExtent = pick(0, 40);
        const std::int32_t line = pick(0, 3);
        const std::int32_t fixed = pick(0, std::max(count - 1, 0));
        const std::int32_t first = fixed + pick(0, 3);
        const std::int32_t client = pick(0, 300);
        const TAxisLayout axis = CalcAxisLayout(
            {line, fixed, first, count, client, [&extents, defaultExtent](std::int32_t cell) {
                 return cell >= 0 && cell < static_cast<std::int32_t>(extents.size())
                            ? extents[static_cast<std::size_t>(cell)]
                            : defaultExtent;
             }});
        for (std::int32_t cell = -2; cell <= count + 4; ++cell) {
            ASSERT_EQ(axis.CellStart(cell),
                      StartByRule(extents, defaultExtent, line, fixed, first, client, cell))
                << "round " << round << " cell " << cell;
        }
    }
}

TEST(GridLayout, RangeBoundsClipsAPartlyVisibleCellAndRefusesRangesOffScreen) {
    const TGridLayout layout{Axis({Same(8, 30), 1, 0, 0, 100}), Axis({Same(8, 30), 1, 0, 0, 100})};
    const RECT partial = RangeBounds(layout, {3, 0, 3, 0}, TGridLines::Excluded);
    EXPECT_EQ(partial.left, 93);
    EXPECT_EQ(partial.right, 100) << "cut at the client edge";
    const RECT wide = RangeBounds(layout, {1, 1, 50, 2}, TGridLines::Excluded);
    EXPECT_EQ(wide.left, 31);
    EXPECT_EQ(wide.right, 100) << "the range ends with the partly visible cell";
    EXPECT_EQ(wide.top, 31);
    EXPECT_EQ(wide.bottom, 92);
    EXPECT_TRUE(IsZero(RangeBounds(layout, {4, 0, 4, 0}, TGridLines::Included)))
        << "past the partly visible cell";
    EXPECT_TRUE(IsZero(RangeBounds(layout, {2, 0, 1, 0}, TGridLines::Included)))
        << "an empty range";
    EXPECT_TRUE(IsZero(RangeBounds(ChartLayout(), {12, 0, 12, 0}, TGridLines::Excluded)))
        << "a column past the last one";
}

TEST(GridLayout, ARangeReachingIntoScrolledCellsStartsAtTheFirstGridCell) {
    const TGridLayout layout{Axis({Same(10, 20), 1, 1, 4, 200}), Axis({Same(3, 20), 1, 0, 0, 100})};
    EXPECT_TRUE(IsZero(RangeBounds(layout, {2, 0, 2, 0}, TGridLines::Excluded)))
        << "a scrolled-away column";
    EXPECT_TRUE(IsZero(RangeBounds(layout, {1, 0, 3, 0}, TGridLines::Excluded)));
    const RECT range = RangeBounds(layout, {2, 0, 5, 0}, TGridLines::Excluded);
    EXPECT_EQ(range.left, 21) << "column 4 follows the fixed column";
    EXPECT_EQ(range.right, 21 + 21 + 20);
    const RECT fixedToScrolled = RangeBounds(layout, {0, 0, 4, 0}, TGridLines::Excluded);
    EXPECT_EQ(fixedToScrolled.left, 0);
    EXPECT_EQ(fixedToScrolled.right, 41);
}

TEST(GridLayout, MaxTopLeftIsTheFirstCellOfTheLastPage) {
    const TAxisLayout plain = Axis({Same(100, 10), 0, 0, 0, 95});
    EXPECT_EQ(plain.MaxFirstGridCell(99), 91);
    EXPECT_EQ(plain.MaxFirstGridCell(5), 0);
    const TAxisLayout withFixed = Axis({Same(100, 10), 0, 2, 2, 95});
    EXPECT_EQ(withFixed.MaxFirstGridCell(99), 93);
    const TAxisLayout huge = Axis({Same(5, 500), 1, 0, 0, 95});
    EXPECT_EQ(huge.MaxFirstGridCell(4), 4) << "a cell wider than the client area";
}

TEST(GridLayout, HugeExtentsSaturateInsteadOfOverflowing) {
    const TAxisLayout axis = Axis({Same(4, INT32_MAX), 1, 2, 2, 500});
    EXPECT_EQ(axis.FixedBoundary, INT32_MAX);
    EXPECT_EQ(axis.GridBoundary, 500);
    EXPECT_EQ(axis.CellAt(INT32_MAX - 1), 0);
    EXPECT_EQ(axis.CellStart(1), 0) << "starts beyond the client edge";
    const TGridLayout layout{axis, Axis({Same(2, 10), 1, 0, 0, 50})};
    const RECT rect = RangeBounds(layout, {0, 0, 3, 1}, TGridLines::Included);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 501);
}

} // namespace
} // namespace velbrin::testing
