#include "core/TList.h"

#include "TestSupport.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;
using Items = std::vector<void*>;

const char* const kIndexError = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";
int a, b, c, d;

Items ItemsOf(const TList& list) {
    Items items;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        items.push_back(list.Items(i));
    }
    return items;
}

TEST(TList, RefusedIndexesCountsAndCapacitiesLeaveTheListAsItWas) {
    TList list;
    EXPECT_EQ(MessageOf<EListError>([&] { list.Last(); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Items(0); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(0); }), kIndexError);
    EXPECT_EQ(list.Remove(&a), -1);
    list.Insert(0, &a);
    list.Add(&b);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(3, &c); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Put(-1, &c); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(MaxListSize + 1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(-1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(MaxListSize + 1); }), kIndexError);
    EXPECT_EQ(ItemsOf(list), (Items{&a, &b}));
    EXPECT_EQ(list.Capacity(), 4);
}

TEST(TList, GrowsByFourThenEightThenSixteen) {
    TList list;
    std::vector<std::int32_t> capacities;
    for (int i = 0; i < 70; ++i) {
        std::int32_t before = list.Capacity();
        EXPECT_EQ(list.Add(&a), i);
        if (list.Capacity() != before) {
            capacities.push_back(list.Capacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<std::int32_t>{4, 8, 16, 32, 48, 64, 80}));
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.Expand(), &list);
    EXPECT_EQ(list.Capacity(), 4);
    list.Expand();
    EXPECT_EQ(list.Capacity(), 4);
}

TEST(TList, InsertDeleteAndRemoveShiftTheFollowingItems) {
    TList list;
    list.Add(&a);
    list.Add(&c);
    list.Insert(1, &b);
    list.Insert(3, &d);
    list.Add(&b);
    EXPECT_EQ(ItemsOf(list), (Items{&a, &b, &c, &d, &b}));
    EXPECT_EQ(list.Remove(&b), 1);
    EXPECT_EQ(ItemsOf(list), (Items{&a, &c, &d, &b}));
    list.Delete(0);
    list.Put(2, &a);
    EXPECT_EQ(ItemsOf(list), (Items{&c, &d, &a}));
    EXPECT_EQ(list.Last(), &a);
}

TEST(TList, SetCountFillsNewSlotsWithNull) {
    TList list;
    list.SetCount(3);
    EXPECT_EQ(ItemsOf(list), (Items{nullptr, nullptr, nullptr}));
    EXPECT_EQ(list.Capacity(), 3);
    list.Put(1, &a);
    list.SetCount(1);
    list.SetCount(2);
    EXPECT_EQ(ItemsOf(list), (Items{nullptr, nullptr}));
    EXPECT_EQ(list.Capacity(), 3);
}

// An Error override that forgets to raise.
class QuietErrorList : public TList {
public:
    mutable int errors = 0;

protected:
    void Error() const override { ++errors; }
};

TEST(TList, AnErrorOverrideIsCalledAndCannotLetTheOperationGoOn) {
    QuietErrorList list;
    list.Add(&a);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(5, &b); }), kIndexError);
    EXPECT_EQ(list.errors, 1);
    EXPECT_EQ(ItemsOf(list), Items{&a});
}

} // namespace
} // namespace velbrin
