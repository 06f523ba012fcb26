#include "core/TList.h"

#include "TestSupport.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;

const char* const kIndexError = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";

int a, b, c, d;

std::vector<void*> ItemsOf(const TList& list) {
    std::vector<void*> items;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        items.push_back(list.Get(i));
    }
    return items;
}

TEST(TList, EmptyListRaisesIndexErrorsButAcceptsInsertAtZero) {
    TList list;
    EXPECT_EQ(MessageOf<EListError>([&] { list.Last(); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Items(0); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(0); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Put(0, &a); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(1, &a); }), kIndexError);
    EXPECT_EQ(list.Remove(&a), -1);
    EXPECT_EQ(list.Capacity(), 0);

    list.Insert(0, &a);
    EXPECT_EQ(ItemsOf(list), std::vector<void*>{&a});
    EXPECT_EQ(list.Last(), &a);
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
}

TEST(TList, InsertDeleteAndRemoveShiftTheFollowingItems) {
    TList list;
    list.Add(&a);
    list.Add(&c);
    list.Insert(1, &b);
    list.Insert(3, &d);
    list.Add(&b);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{&a, &b, &c, &d, &b}));
    EXPECT_EQ(list.IndexOf(&b), 1);

    EXPECT_EQ(list.Remove(&b), 1);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{&a, &c, &d, &b}));
    list.Delete(0);
    list.Put(2, &a);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{&c, &d, &a}));
    list.Delete(2);
    EXPECT_EQ(list.Last(), &d);
}

TEST(TList, SetCountFillsNewSlotsWithNull) {
    TList list;
    list.SetCount(3);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{nullptr, nullptr, nullptr}));
    EXPECT_EQ(list.Capacity(), 3);

    list.Put(1, &a);
    list.Put(2, &b);
    list.SetCount(1);
    EXPECT_EQ(list.Capacity(), 3);
    // Slots given up and taken back do not bring their old items back.
    list.SetCount(3);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{nullptr, nullptr, nullptr}));
}

TEST(TList, RefusedCountsAndCapacitiesLeaveTheListAsItWas) {
    TList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(MaxListSize + 1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(-1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(MaxListSize + 1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(2); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Get(-1); }), kIndexError);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{&a, &b}));
    EXPECT_EQ(list.Capacity(), 4);

    list.SetCapacity(2);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{&a, &b}));
    EXPECT_EQ(list.Capacity(), 2);
}

TEST(TList, ExpandGrowsOnlyAFullListAndClearFreesTheBlock) {
    TList list;
    EXPECT_EQ(list.Expand(), &list);
    EXPECT_EQ(list.Capacity(), 4);
    list.Add(&a);
    list.Expand();
    EXPECT_EQ(list.Capacity(), 4);
    list.SetCount(4);
    list.Expand();
    EXPECT_EQ(list.Capacity(), 8);
    EXPECT_EQ(list.Count(), 4);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

class QuietErrorList : public TList {
public:
    int errors = 0;

protected:
    void Error() const override { ++const_cast<QuietErrorList*>(this)->errors; }
};

class CustomErrorList : public TList {
protected:
    void Error() const override { throw std::out_of_range("custom"); }
};

TEST(TList, IndexErrorsGoThroughTheOverridableError) {
    CustomErrorList custom;
    EXPECT_THROW(custom.Delete(0), std::out_of_range);
    EXPECT_THROW(custom.SetCount(-1), std::out_of_range);

    // An Error that returns does not let the operation go on.
    QuietErrorList quiet;
    quiet.Add(&a);
    EXPECT_EQ(MessageOf<EListError>([&] { quiet.Insert(5, &b); }), kIndexError);
    EXPECT_EQ(quiet.errors, 1);
    EXPECT_EQ(ItemsOf(quiet), std::vector<void*>{&a});
}

} // namespace
} // namespace velbrin
