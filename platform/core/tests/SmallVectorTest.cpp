// The small vector against std::vector as the oracle: through its growth from
// inline to heap storage, copies and moves on both sides of that line, and
// assignments that shrink or grow it.

#include "../SmallVector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::SmallVector;

struct Pair {
    int a;
    int b;
    bool operator==(const Pair&) const = default;
};

using Small = SmallVector<Pair, 3>;

template <class V> std::vector<Pair> Contents(const V& values) {
    return std::vector<Pair>(values.begin(), values.end());
}

Small Filled(int count) {
    Small values;
    for (int i = 0; i < count; ++i) {
        values.push_back({i, -i});
    }
    return values;
}

std::vector<Pair> Expected(int count) {
    std::vector<Pair> values;
    for (int i = 0; i < count; ++i) {
        values.push_back({i, -i});
    }
    return values;
}

} // namespace

TEST(SmallVectorTest, KeepsEveryValueThroughItsGrowth) {
    Small values;
    std::vector<Pair> oracle;
    for (int i = 0; i < 40; ++i) {
        values.push_back({i, i * i});
        oracle.push_back({i, i * i});
        ASSERT_EQ(Contents(values), oracle) << "after " << i + 1;
        EXPECT_EQ(values.front(), oracle.front());
        EXPECT_EQ(values.back(), oracle.back());
        EXPECT_EQ(values.size(), oracle.size());
    }
    values.Append(oracle.data(), oracle.size());
    oracle.insert(oracle.end(), oracle.begin(), oracle.end());
    EXPECT_EQ(Contents(values), oracle);
    values.clear();
    EXPECT_TRUE(values.empty());
    values.push_back({7, 7});
    EXPECT_EQ(Contents(values), (std::vector<Pair>{{7, 7}}));
}

TEST(SmallVectorTest, CopiesAndMovesInlineAndOnTheHeapHoldTheSameValues) {
    for (int count : {0, 1, 3, 4, 17}) {
        const Small original = Filled(count);
        Small copied(original);
        EXPECT_EQ(Contents(copied), Expected(count)) << count;
        EXPECT_EQ(copied, original);
        Small moved(std::move(copied));
        EXPECT_EQ(Contents(moved), Expected(count)) << count;
        EXPECT_TRUE(copied.empty()) << "a moved-from vector is empty";
        copied.push_back({99, 99});
        EXPECT_EQ(Contents(copied), (std::vector<Pair>{{99, 99}})) << "and usable";
        for (int other : {0, 2, 5, 20}) {
            Small assigned = Filled(other);
            assigned = original;
            EXPECT_EQ(Contents(assigned), Expected(count)) << other << " <- " << count;
            Small moveAssigned = Filled(other);
            moveAssigned = Filled(count);
            EXPECT_EQ(Contents(moveAssigned), Expected(count)) << other << " <- " << count;
        }
        Small self = Filled(count);
        Small& alias = self;
        self = alias;
        EXPECT_EQ(Contents(self), Expected(count));
    }
}

TEST(SmallVectorTest, EqualityComparesTheValuesNotTheStorage) {
    Small grown = Filled(10);
    Small shrunk;
    shrunk.reserve(50);
    shrunk.Append(grown.begin(), 2);
    EXPECT_EQ(shrunk, Filled(2));
    EXPECT_FALSE(shrunk == grown);
    Small changed = Filled(2);
    changed[1].b = 5;
    EXPECT_FALSE(changed == shrunk);
}

TEST(SmallVectorTest, ReplacingARangeMovesTheRestAsVectorInsertAndEraseDo) {
    const std::vector<Pair> inserted = {{100, 1}, {101, 2}, {102, 3}, {103, 4}, {104, 5}};
    for (int count : {0, 2, 3, 8}) {
        for (int at = 0; at <= count; ++at) {
            for (int replaced = 0; at + replaced <= count; ++replaced) {
                for (std::size_t added = 0; added <= inserted.size(); added += 2) {
                    Small values = Filled(count);
                    values.Replace(at, replaced, inserted.data(), added);
                    std::vector<Pair> oracle = Expected(count);
                    oracle.erase(oracle.begin() + at, oracle.begin() + at + replaced);
                    oracle.insert(oracle.begin() + at, inserted.begin(), inserted.begin() + added);
                    EXPECT_EQ(Contents(values), oracle)
                        << count << ": " << replaced << " at " << at << " by " << added;
                }
            }
        }
    }
}
