#include "core/TStringList.h"

#include "TestSupport.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;
using Lines = std::vector<std::string>;

const char* const kIndexError = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";
const char* const kSortedError = "ｿｰﾄされる文字列ﾘｽﾄに対しては許されない動作です";

// Records a list's events, each with the count the list had then.
class EventLog : public TObject {
public:
    explicit EventLog(TStringList& list) : list_(list) {
        list.OnChanging = TNotifyEvent::Of<&EventLog::Changing>(this);
        list.OnChange = TNotifyEvent::Of<&EventLog::Changed>(this);
    }
    Lines events;

private:
    void Changing(TObject* sender) { Record("changing ", sender); }
    void Changed(TObject* sender) { Record("changed ", sender); }
    void Record(const char* what, TObject* sender) {
        EXPECT_EQ(sender, &list_);
        events.push_back(what + std::to_string(list_.Count()));
    }
    TStringList& list_;
};

Lines LinesOf(const TStrings& list) {
    Lines lines;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        lines.push_back(AnsiToUtf8(list.Get(i)));
    }
    return lines;
}

void AddAll(TStringList& list, std::initializer_list<const char*> utf8Lines) {
    for (const char* line : utf8Lines) {
        list.Add(Utf8ToAnsi(line));
    }
}

TEST(TStringList, EveryChangeOutsideABatchIsAnnouncedBeforeAndAfter) {
    TStringList list;
    EventLog log(list);
    list.Clear();
    EXPECT_TRUE(log.events.empty());
    list.Add("a");
    list.Insert(0, "b");
    list.Put(1, "c");
    list.PutObject(0, &list);
    list.Exchange(0, 1);
    list.Delete(0);
    list.Clear();
    EXPECT_EQ(log.events, (Lines{"changing 0", "changed 1", "changing 1", "changed 2", "changing 2",
                                 "changed 2", "changing 2", "changed 2", "changing 2", "changed 2",
                                 "changing 2", "changed 1", "changing 1", "changed 0"}));
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(TStringList, ABatchAnnouncesOnceWhateverHappensInside) {
    TStringList list;
    EventLog log(list);
    list.BeginUpdate();
    for (int i = 0; i < 10; ++i) {
        list.Add(std::to_string(i));
    }
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(log.events, (Lines{"changing 0", "changed 9"}));
    EXPECT_EQ(list.Capacity(), 16);

    log.events.clear();
    list.BeginUpdate();
    list.EndUpdate();
    // An EndUpdate too many does not silence the list.
    list.EndUpdate();
    list.Add("x");
    EXPECT_EQ(log.events, (Lines{"changing 9", "changed 9", "changing 9", "changed 10"}));
}

TEST(TStringList, RefusedOperationsChangeNothingAndFireNothing) {
    TStringList list;
    AddAll(list, {"a", "b"});
    EventLog log(list);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Get(2); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.GetObject(-1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Put(2, "x"); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.PutObject(2, &list); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(-1); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Exchange(0, 2); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(3, "x"); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 2); }), kIndexError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(1); }), kIndexError);
    EXPECT_TRUE(log.events.empty());

    list.SetSorted(true);
    log.events.clear();
    EXPECT_EQ(MessageOf<EListError>([&] { list.Put(0, "x"); }), kSortedError);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(0, "x"); }), kSortedError);
    // A move inserts at a position: refused before the line leaves its place.
    EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 1); }), kSortedError);
    list.SetDuplicates(DupRaise);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Add("A"); }), "文字列ﾘｽﾄは重複を許しません");
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
    EXPECT_TRUE(log.events.empty());
}

TEST(TStringList, KeepingTheExistingDuplicateChangesNothingButAddObjectSetsItsObject) {
    TStringList list;
    list.SetSorted(true);
    AddAll(list, {"w", "X", "y"});
    EventLog log(list);
    EXPECT_EQ(list.Add("x"), 1);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(list.AddObject("x", &log), 1);
    EXPECT_EQ(list.GetObject(1), &log);
    EXPECT_EQ(LinesOf(list), (Lines{"w", "X", "y"}));
    EXPECT_EQ(log.events, (Lines{"changing 3", "changed 3"}));
}

TEST(TStringList, FindGivesTheLowestOfAllowedDuplicatesOrTheInsertionPoint) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(DupAllow);
    AddAll(list, {"a", "z", "M", "m", "M", "d"});
    std::int32_t index = -1;
    ASSERT_TRUE(list.Find("m", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("b", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("zz", index));
    EXPECT_EQ(index, 6);

    TObject marker;
    EXPECT_EQ(list.AddObject("m", &marker), 2);
    EXPECT_EQ(list.GetObject(2), &marker);
    for (std::int32_t i = 3; i < 6; ++i) {
        EXPECT_EQ(LocaleCompareNoCase(list.Get(i), "m"), 0);
    }
}

TEST(TStringList, FindStopsAtTheFirstEqualItemItMeetsUnlessDuplicatesAreAllowed) {
    TStringList list;
    AddAll(list, {"a", "m", "M", "m", "z"});
    list.SetSorted(true);
    std::int32_t index = -1;
    // The first probe lands on the middle one of the three.
    ASSERT_TRUE(list.Find("m", index));
    EXPECT_EQ(index, 2);
    list.SetDuplicates(DupAllow);
    ASSERT_TRUE(list.Find("m", index));
    EXPECT_EQ(index, 1);
}

TEST(TStringList, IndexOfIgnoresCaseSortedOrNot) {
    TStringList list;
    AddAll(list, {"xyz", "ABC", "abc"});
    EXPECT_EQ(list.IndexOf("abc"), 1);
    EXPECT_EQ(list.IndexOf("ab"), -1);
    list.SetSorted(true);
    EXPECT_EQ(list.IndexOf("XYZ"), 2);
    EXPECT_EQ(LocaleCompareNoCase(list.Get(list.IndexOf("aBc")), "abc"), 0);
    EXPECT_EQ(list.IndexOf("b"), -1);
}

TEST(TStringList, SortsJapaneseTextUnderTheLocaleIgnoringCase) {
    TStringList list;
    AddAll(list, {"漢字", "さくら", "Banana", "かわ", "apple", "あさひ", "Cherry"});
    TObject marker;
    list.PutObject(4, &marker);
    EventLog log(list);
    list.SetSorted(true);
    EXPECT_EQ(LinesOf(list),
              (Lines{"apple", "Banana", "Cherry", "あさひ", "かわ", "さくら", "漢字"}));
    EXPECT_EQ(list.GetObject(0), &marker);
    EXPECT_EQ(log.events, (Lines{"changing 7", "changed 7"}));
    EXPECT_EQ(list.Add(Utf8ToAnsi("いぬ")), 4);
}

TEST(TStringList, SortOfASortedListDoesNothing) {
    TStringList list;
    AddAll(list, {"a", "b", "c"});
    list.SetSorted(true);
    // Exchange is allowed in a sorted list and can break its order.
    list.Exchange(0, 2);
    EventLog log(list);
    list.Sort();
    EXPECT_EQ(LinesOf(list), (Lines{"c", "b", "a"}));
    EXPECT_TRUE(log.events.empty());
    list.SetSorted(false);
    EXPECT_EQ(LinesOf(list), (Lines{"c", "b", "a"}));
    list.Sort();
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
}

TEST(TStringList, SortsManyLinesWithManyEqualOnes) {
    TStringList list;
    for (int i = 0; i < 2000; ++i) {
        list.Add(std::to_string((i * 7919) % 1000));
        list.Add(std::string(1, static_cast<char>('a' + i % 3)));
    }
    list.Sort();
    EXPECT_EQ(list.Count(), 4000);
    for (std::int32_t i = 1; i < list.Count(); ++i) {
        ASSERT_LE(LocaleCompareNoCase(list.Get(i - 1), list.Get(i)), 0) << i;
    }
}

TEST(TStringList, MoveAndExchangeCarryTheObjects) {
    TStringList list;
    TObject objectA, objectC;
    list.AddObject("a", &objectA);
    list.Add("b");
    list.AddObject("c", &objectC);
    list.Move(0, 2);
    EXPECT_EQ(LinesOf(list), (Lines{"b", "c", "a"}));
    EXPECT_EQ(list.GetObject(2), &objectA);
    list.Move(2, 0);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
    list.Exchange(0, 2);
    EXPECT_EQ(LinesOf(list), (Lines{"c", "b", "a"}));
    EXPECT_EQ(list.GetObject(0), &objectC);
    EXPECT_EQ(list.GetObject(2), &objectA);
}

TEST(TStringList, AssignTakesOnlyStringListsInOneBatch) {
    TStringList source;
    source.AddObject("one", &source);
    source.Add("two");
    TStringList list;
    list.Add("old");
    EventLog log(list);
    list.Assign(&source);
    EXPECT_EQ(LinesOf(list), (Lines{"one", "two"}));
    EXPECT_EQ(list.GetObject(0), &source);
    EXPECT_EQ(log.events, (Lines{"changing 1", "changed 2"}));
    list.Assign(&list);
    EXPECT_EQ(LinesOf(list), (Lines{"one", "two"}));

    TPersistent other;
    EXPECT_EQ(MessageOf<EConvertError>([&] { list.Assign(&other); }),
              "TPersistent を TStringList に代入することはできません");
    EXPECT_EQ(MessageOf<EConvertError>([&] { list.Assign(nullptr); }),
              "nil を TStringList に代入することはできません");
    EXPECT_EQ(LinesOf(list), (Lines{"one", "two"}));
}

TEST(TStringList, AddStringsEndsItsBatchWhenAnAddFails) {
    TStringList source;
    AddAll(source, {"a", "b", "a", "c"});
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(DupRaise);
    EventLog log(list);
    EXPECT_THROW(list.AddStrings(source), EListError);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
    EXPECT_EQ(log.events, (Lines{"changing 0", "changed 2"}));

    source.AddStrings(source);
    EXPECT_EQ(LinesOf(source), (Lines{"a", "b", "a", "c", "a", "b", "a", "c"}));
}

TEST(TStringList, DestructionFiresNoEvents) {
    auto list = std::make_unique<TStringList>();
    EventLog log(*list);
    list->Add("a");
    log.events.clear();
    list.reset();
    EXPECT_TRUE(log.events.empty());
}

// Empties the list that tells it of a change.
struct Emptier : TObject {
    void Empty(TObject* sender) {
        auto* list = static_cast<TStringList*>(sender);
        list->OnChanging = {};
        list->Clear();
    }
};

TEST(TStringList, AHandlerShorteningTheListMakesTheChangeAnIndexError) {
    Emptier emptier;
    TStringList list;
    for (auto change :
         {+[](TStringList& l) { l.Put(1, "x"); }, +[](TStringList& l) { l.Insert(2, "x"); },
          +[](TStringList& l) { l.Exchange(0, 1); }}) {
        AddAll(list, {"a", "b"});
        list.OnChanging = TNotifyEvent::Of<&Emptier::Empty>(&emptier);
        EXPECT_EQ(MessageOf<EListError>([&] { change(list); }), kIndexError);
        EXPECT_EQ(list.Count(), 0);
    }
}

TEST(TStringList, StoresLinesForAFilerWhenTheyDifferFromTheAncestor) {
    TStringList list, ancestor;
    TPersistent other;
    EXPECT_FALSE(list.HasStoredLines(nullptr));
    list.Add("a");
    EXPECT_TRUE(list.HasStoredLines(nullptr));
    EXPECT_TRUE(list.HasStoredLines(&other));
    ancestor.Add("A");
    EXPECT_FALSE(list.Equals(ancestor));
    EXPECT_TRUE(list.HasStoredLines(&ancestor));
    ancestor.Put(0, "a");
    EXPECT_TRUE(list.Equals(ancestor));
    EXPECT_FALSE(list.HasStoredLines(&ancestor));
    ancestor.Add("b");
    EXPECT_TRUE(list.HasStoredLines(&ancestor));
}

} // namespace
} // namespace velbrin
