// The sparse store on its own: the pointer array, the counted list over it
// and the string list of items, with no grid and no window.

#include "grids/TSparseList.h"
#include "grids/TSparsePointerArray.h"
#include "grids/TStringSparseList.h"

#include "core/TComponent.h"
#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace velbrin::testing {
namespace {

// Distinct non-null pointers to store.
void* Item(std::intptr_t n) {
    return reinterpret_cast<void*>((n + 1) * 16);
}

std::vector<std::int32_t> VisitedIndexes(const TSparsePointerArray& array) {
    std::vector<std::int32_t> indexes;
    array.VisitAll([&](std::int32_t index, void*) {
        indexes.push_back(index);
        return 0;
    });
    return indexes;
}

TEST(SparsePointerArray, ReadsNullEverywhereAndAllocatesNothingUntilAStore) {
    TSparsePointerArray array(sqSmall);
    EXPECT_EQ(array.ReadAt(0), nullptr);
    EXPECT_EQ(array.ReadAt(-1), nullptr) << "a negative index names no section";
    EXPECT_EQ(array.ReadAt(5000), nullptr);
    array.WriteAt(77, nullptr);
    EXPECT_EQ(array.SectionCount(), 0);
    EXPECT_EQ(array.HighestIndex(), -1);

    array.WriteAt(17, Item(1));
    EXPECT_EQ(array.SectionCount(), 1);
    EXPECT_EQ(array.HighestIndex(), 17);
    EXPECT_EQ(array.ReadAt(17), Item(1));
    EXPECT_EQ(array.ReadAt(16), nullptr) << "same section, other slot";
    EXPECT_EQ(array.ReadAt(33), nullptr);
    EXPECT_EQ(array.SectionCount(), 1) << "reads created nothing";
}

TEST(SparsePointerArray, TheReadCacheNeverHidesAStore) {
    TSparsePointerArray array(sqSmall);
    EXPECT_EQ(array.ReadAt(5), nullptr);
    array.WriteAt(5, Item(5));
    EXPECT_EQ(array.ReadAt(5), Item(5));
    array.WriteAt(5, Item(6));
    EXPECT_EQ(array.ReadAt(5), Item(6));
    *array.SlotAt(5) = Item(7);
    EXPECT_EQ(array.ReadAt(5), Item(7));
    array.WriteAt(5, nullptr);
    EXPECT_EQ(array.ReadAt(5), nullptr);
}

TEST(SparsePointerArray, TheHighBoundFollowsTheHighestNonNullEntry) {
    TSparsePointerArray array(sqSmall);
    array.WriteAt(3, Item(3));
    array.WriteAt(40, Item(40));
    array.WriteAt(1000, Item(1000));
    EXPECT_EQ(array.HighestIndex(), 1000);
    array.WriteAt(40, nullptr);
    EXPECT_EQ(array.HighestIndex(), 1000) << "clearing below the bound keeps it";
    array.WriteAt(1000, nullptr);
    EXPECT_EQ(array.HighestIndex(), 3) << "down across empty and missing sections";
    array.WriteAt(3, nullptr);
    EXPECT_EQ(array.HighestIndex(), -1);
    EXPECT_EQ(array.SectionCount(), 3) << "sections live until the array goes";
}

TEST(SparsePointerArray, VisitsInAscendingOrderAndStopsAtTheFirstNonZeroAnswer) {
    TSparsePointerArray array(sqLarge);
    for (std::int32_t index : {700, 2, 255, 256, 70000}) {
        array.WriteAt(index, Item(index));
    }
    EXPECT_EQ(VisitedIndexes(array), (std::vector<std::int32_t>{2, 255, 256, 700, 70000}));
    std::vector<std::int32_t> seen;
    const std::int32_t result = array.VisitAll([&](std::int32_t index, void* value) {
        seen.push_back(index);
        EXPECT_EQ(value, Item(index));
        return index == 256 ? 99 : 0;
    });
    EXPECT_EQ(result, 99);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{2, 255, 256}));
}

TEST(SparsePointerArray, TheLastIndexOfEachQuantumWorksAndTheNextIsRefused) {
    TSparsePointerArray small(sqSmall);
    TSparsePointerArray large(sqLarge);
    EXPECT_EQ(small.MaxIndex(), 1048559);
    EXPECT_EQ(large.MaxIndex(), 16776959);
    small.WriteAt(1048559, Item(1));
    large.WriteAt(16776959, Item(2));
    EXPECT_EQ(small.ReadAt(1048559), Item(1));
    EXPECT_EQ(large.ReadAt(16776959), Item(2));
    EXPECT_EQ(small.SectionCount(), 1);
    EXPECT_THROW(small.WriteAt(1048560, Item(3)), EListError);
    EXPECT_THROW(large.WriteAt(16776960, Item(3)), EListError);
    EXPECT_THROW(small.WriteAt(-1, Item(3)), EListError);
    EXPECT_EQ(small.ReadAt(1048560), nullptr);
    small.WriteAt(1048560, nullptr);
    EXPECT_EQ(small.HighestIndex(), 1048559);
}

// The array against a map, through random stores of null and non-null.
TEST(SparsePointerArray, AgreesWithAPlainMapUnderRandomStores) {
    TSparsePointerArray array(sqSmall);
    std::map<std::int32_t, void*> model;
    std::mt19937 random(7);
    for (int step = 0; step < 5000; ++step) {
        const std::int32_t index = static_cast<std::int32_t>(random() % 600);
        void* value = random() % 3 == 0 ? nullptr : Item(step);
        array.WriteAt(index, value);
        if (value == nullptr) {
            model.erase(index);
        } else {
            model[index] = value;
        }
        const std::int32_t probe = static_cast<std::int32_t>(random() % 600);
        ASSERT_EQ(array.ReadAt(probe), model.count(probe) ? model[probe] : nullptr);
        ASSERT_EQ(array.HighestIndex(), model.empty() ? -1 : model.rbegin()->first);
    }
    std::vector<std::int32_t> keys;
    for (const auto& [index, value] : model) {
        keys.push_back(index);
    }
    EXPECT_EQ(VisitedIndexes(array), keys);
}

TEST(SparseList, InsertingBeyondTheEndLeavesAGapOfNulls) {
    TSparseList list(sqSmall);
    for (int i = 0; i < 3; ++i) {
        list.Put(i, Item(i));
    }
    list.Insert(10, Item(10));
    EXPECT_EQ(list.Count(), 11);
    for (int i = 3; i < 10; ++i) {
        EXPECT_EQ(list.Get(i), nullptr) << i;
    }
    EXPECT_EQ(list.Get(10), Item(10));
    EXPECT_EQ(list.Get(500), nullptr) << "beyond Count reads null";

    list.Insert(1, Item(100));
    EXPECT_EQ(list.Count(), 12);
    EXPECT_EQ(list.Get(0), Item(0));
    EXPECT_EQ(list.Get(1), Item(100));
    EXPECT_EQ(list.Get(2), Item(1));
    EXPECT_EQ(list.Get(11), Item(10));
}

TEST(SparseList, PutSetsCountFromTheHighestEntryAndDeleteIgnoresBadIndexes) {
    TSparseList list(sqSmall);
    list.Put(4, Item(4));
    list.Put(9, Item(9));
    EXPECT_EQ(list.Count(), 10);
    list.Put(9, nullptr);
    EXPECT_EQ(list.Count(), 5) << "storing null at the last entry drops it";

    list.Delete(5);
    list.Delete(-1);
    EXPECT_EQ(list.Count(), 5);
    list.Delete(1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Get(3), Item(4));
    EXPECT_EQ(list.Get(4), nullptr);
}

TEST(SparseList, NegativeIndexesRaiseTheListIndexError) {
    TSparseList list(sqSmall);
    try {
        list.Get(-1);
        FAIL() << "no exception";
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), ResourceMessage(SListIndexError));
    }
    EXPECT_THROW(list.Put(-1, Item(1)), EListError);
    EXPECT_THROW(list.Insert(-5, Item(1)), EListError);
    EXPECT_EQ(list.Count(), 0);
}

TEST(SparseList, ExchangeMoveAndClear) {
    TSparseList list(sqLarge);
    for (int i = 0; i < 5; ++i) {
        list.Put(i, Item(i));
    }
    list.Exchange(0, 4);
    EXPECT_EQ(list.Get(0), Item(4));
    EXPECT_EQ(list.Get(4), Item(0));
    list.Move(0, 2);
    EXPECT_EQ(list.Get(0), Item(1));
    EXPECT_EQ(list.Get(1), Item(2));
    EXPECT_EQ(list.Get(2), Item(4));
    EXPECT_EQ(list.Get(3), Item(3));
    EXPECT_EQ(list.Count(), 5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Get(2), nullptr);
    EXPECT_EQ(list.Array().SectionCount(), 0);
    list.Put(300, Item(1));
    EXPECT_EQ(list.Array().SectionSize(), 256) << "the quantum survives Clear";
}

class ChangeCounter : public TObject {
public:
    void Changed(TObject*) { ++changes; }
    int changes = 0;
};

TEST(StringSparseList, OnlyItemsWithATextOrAnObjectTakeStorage) {
    TStringSparseList list(sqSmall);
    list.Put(6, "");
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Items().Array().SectionCount(), 0) << "empty text where nothing was";
    list.Put(3, "C");
    list.Put(7, "D");
    EXPECT_EQ(list.GetCount(), 8);
    EXPECT_EQ(list.Get(3), "C");
    EXPECT_EQ(list.Get(5), "");
    EXPECT_EQ(list.Get(100), "");
    EXPECT_EQ(list.GetObject(3), nullptr);
    list.Put(7, "");
    EXPECT_EQ(list.GetCount(), 4);
    list.Put(3, "");
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(StringSparseList, AnObjectNeedsAnItemAndKeepsItAlive) {
    TStringSparseList list(sqSmall);
    TObject owner;
    try {
        list.PutObject(2, &owner);
        FAIL() << "no exception";
    } catch (const EStringSparseListError& error) {
        EXPECT_EQ(error.Message(), ResourceMessage(SPutObjectError));
    }
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_NO_THROW(list.PutObject(2, nullptr));
    EXPECT_EQ(list.GetCount(), 0);

    list.Put(2, "x");
    list.PutObject(2, &owner);
    list.Put(2, "");
    EXPECT_EQ(list.GetCount(), 3) << "an item with an object stays with an empty text";
    EXPECT_EQ(list.GetObject(2), &owner);
    EXPECT_EQ(list.Get(2), "");
    list.PutObject(2, nullptr);
    EXPECT_EQ(list.GetCount(), 3);
    list.Put(2, "");
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(StringSparseList, RewritingAnItemReplacesItsTextAndKeepsItsObject) {
    ChangeCounter counter;
    TStringSparseList list(sqSmall);
    list.OnChange = TNotifyEvent::Of<&ChangeCounter::Changed>(&counter);
    TObject attached;
    list.Put(4, "short");
    list.PutObject(4, &attached);
    const std::string longText(40, 'L');
    list.Put(4, longText);
    EXPECT_EQ(list.Get(4), longText);
    EXPECT_EQ(list.GetObject(4), &attached);
    list.Put(4, "s");
    EXPECT_EQ(list.Get(4), "s");
    list.Put(4, "");
    EXPECT_EQ(list.Get(4), "");
    EXPECT_EQ(list.GetObject(4), &attached) << "the object keeps the item";
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(counter.changes, 5) << "each write is announced";
    list.PutObject(4, nullptr);
    list.Put(4, "again");
    list.Put(4, "");
    EXPECT_EQ(list.GetCount(), 0);
    list.OnChange = {};
}

TEST(StringSparseList, ChangesAreAnnouncedExceptByExchange) {
    // The counter outlives the list, whose destruction announces its clearing.
    ChangeCounter counter;
    TStringSparseList list(sqSmall);
    list.OnChange = TNotifyEvent::Of<&ChangeCounter::Changed>(&counter);
    list.Put(0, "a");
    list.Put(1, "b");
    list.PutObject(0, &counter);
    list.Insert(0, "");
    list.Delete(0);
    EXPECT_EQ(counter.changes, 5);
    list.Exchange(0, 1);
    EXPECT_EQ(counter.changes, 5);
    EXPECT_EQ(list.Get(0), "b");
    EXPECT_EQ(list.GetObject(1), &counter);
    EXPECT_THROW(list.PutObject(9, &counter), EStringSparseListError);
    EXPECT_EQ(counter.changes, 5) << "a refused object announces nothing";
    list.Clear();
    EXPECT_EQ(counter.changes, 6);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(StringSparseList, InsertAlwaysMakesAnItemAndTheContractMoveCarriesObjects) {
    TStringSparseList list(sqSmall);
    list.Insert(4, "");
    EXPECT_EQ(list.GetCount(), 5) << "even an empty text is an item";
    list.Put(0, "first");
    list.PutObject(0, &list);
    list.Move(0, 3);
    EXPECT_EQ(list.Get(3), "first");
    EXPECT_EQ(list.GetObject(3), &list);
    EXPECT_EQ(list.Get(0), "");
    EXPECT_EQ(list.IndexOf("FIRST"), 3);
    list.Delete(-1);
    list.Delete(40);
    EXPECT_EQ(list.Get(3), "first");
}

// A component that stores a sparse list as a published property.
class TSparseHolder : public TComponent {
    VELBRIN_CLASS(TSparseHolder, TComponent)

public:
    explicit TSparseHolder(TComponent* owner) : TComponent(owner) {}
    TStringSparseList* Items() { return &items; }
    TStringSparseList items{sqSmall};
};

VELBRIN_DEFINE_CLASS_TABLES(TSparseHolder, TComponent, "GridsTests") {
    cls.Property("Items", Call<&TSparseHolder::Items>);
}

TEST(StringSparseList, StoresItsItemsAsIndexAndTextPairsAndReadsThemBack) {
    TSparseHolder written(nullptr);
    written.SetName("Holder");
    written.items.Put(2, "two");
    written.items.Put(700, "seven hundred");
    written.items.Put(5, "");
    written.items.Put(9, "nine");
    written.items.PutObject(9, &written);

    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteRootComponent(&written);
        writer.FlushBuffer();
    }
    stream.SetPosition(0);
    TSparseHolder read(nullptr);
    {
        TReader reader(stream);
        reader.ReadRootObject(&read);
    }
    EXPECT_EQ(read.items.GetCount(), 701);
    EXPECT_EQ(read.items.Get(2), "two");
    EXPECT_EQ(read.items.Get(9), "nine");
    EXPECT_EQ(read.items.Get(700), "seven hundred");
    EXPECT_EQ(read.items.GetObject(9), nullptr) << "objects are never stored";
    std::vector<std::int32_t> present;
    read.items.Items().VisitAll([&](std::int32_t index, void*) {
        present.push_back(index);
        return 0;
    });
    EXPECT_EQ(present, (std::vector<std::int32_t>{2, 9, 700}));
}

} // namespace
} // namespace velbrin::testing
