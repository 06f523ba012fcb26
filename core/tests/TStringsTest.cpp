#include "core/TFileStream.h"
#include "core/TMemoryStream.h"
#include "core/TStringList.h"

#include "TestSupport.h"
#include "platform/Testing.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;
using testing::TempDir;
using Lines = std::vector<std::string>;

// A descendant that supplies only what every descendant must: the rest is
// the inherited behaviour under test. It keeps no objects.
class VectorStrings : public TStrings {
public:
    std::string Get(std::int32_t index) const override { return lines.at(Checked(index)); }
    std::int32_t GetCount() const override { return static_cast<std::int32_t>(lines.size()); }
    void Clear() override { lines.clear(); }
    void Delete(std::int32_t index) override { lines.erase(lines.begin() + Checked(index)); }
    void Insert(std::int32_t index, const std::string& s) override {
        if (index < 0 || index > GetCount()) {
            throw EListError("insert");
        }
        lines.insert(lines.begin() + index, s);
    }

    Lines lines;
    std::vector<bool> batches;

protected:
    void BatchStateChanged(bool updating) override { batches.push_back(updating); }

private:
    std::size_t Checked(std::int32_t index) const {
        if (index < 0 || index >= GetCount()) {
            throw EListError("index");
        }
        return static_cast<std::size_t>(index);
    }
};

TEST(TStrings, InheritedOperationsWorkThroughTheAbstractOnes) {
    VectorStrings list;
    TObject marker;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.AddObject("b", &marker), 1);
    list.Add("c");
    EXPECT_EQ(list.GetObject(1), nullptr);
    list.Put(1, "B");
    list.Exchange(0, 2);
    EXPECT_EQ(list.lines, (Lines{"c", "B", "a"}));
    list.Move(0, 2);
    EXPECT_EQ(list.lines, (Lines{"B", "a", "c"}));
    list.Move(2, 1);
    EXPECT_EQ(list.lines, (Lines{"B", "c", "a"}));
    list.InsertObject(0, "z", &marker);
    EXPECT_EQ(list.IndexOf("b"), 1);
    EXPECT_EQ(list.IndexOf("Z"), 0);
    EXPECT_EQ(list.IndexOf("q"), -1);
    EXPECT_THROW(list.Move(3, 4), EListError);
    EXPECT_EQ(list.lines, (Lines{"z", "B", "c", "a"}));
}

TEST(TStrings, OnlyTheOutermostBatchIsReported) {
    VectorStrings list;
    list.BeginUpdate();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.batches, std::vector<bool>{true});
    list.EndUpdate();
    EXPECT_EQ(list.batches, (std::vector<bool>{true, false}));
}

TEST(TStrings, SplitLinesEndsLinesAtCrLfOrCrLfAndStopsAtZero) {
    struct Case {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"\n\n", {"", ""}},
        {"", {}},
        {std::string("a\0b", 3), {"a"}},
    };
    for (const Case& c : cases) {
        VectorStrings list;
        list.lines = {"old"};
        list.SplitLines(c.text);
        EXPECT_EQ(list.lines, c.lines) << c.text;
        EXPECT_EQ(list.batches, (std::vector<bool>{true, false}));
    }
}

TEST(TStrings, JoinLinesEndsEveryLineWithCrLf) {
    VectorStrings list;
    EXPECT_EQ(list.JoinLines(), "");
    list.lines = {"a", "", "b"};
    EXPECT_EQ(list.JoinLines(), "a\r\n\r\nb\r\n");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    EXPECT_STREQ(list.GetText().get(), "a\r\n\r\nb\r\n");

    list.SetText("x\ny");
    EXPECT_EQ(list.lines, (Lines{"x", "y"}));
    list.SetText(nullptr);
    EXPECT_TRUE(list.lines.empty());
}

TEST(TStrings, LoadsFromTheStreamPositionToItsEnd) {
    TMemoryStream stream;
    std::string text = "skip\r\none\ntwo";
    stream.WriteBuffer(text.data(), static_cast<std::int32_t>(text.size()));
    stream.SetPosition(6);
    VectorStrings list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.lines, (Lines{"one", "two"}));
    EXPECT_EQ(stream.Position(), stream.Size());

    // A position past the end loads nothing.
    stream.Seek(10, soFromEnd);
    list.LoadFromStream(stream);
    EXPECT_TRUE(list.lines.empty());
}

TEST(TStrings, SavesJoinedLinesToAStream) {
    VectorStrings list;
    list.lines = {"a", "b"};
    TMemoryStream stream;
    list.SaveToStream(stream);
    ASSERT_EQ(stream.Size(), 6);
    EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 6), "a\r\nb\r\n");
}

TEST(TStrings, SavesAndLoadsJapaneseTextThroughAFile) {
    TempDir dir;
    std::string fileName = dir.File("lines.txt");
    TStringList saved;
    saved.Add(Utf8ToAnsi("ﾊｰﾓﾆｶ"));
    saved.Add(Utf8ToAnsi("ド レ ミ"));
    saved.SaveToFile(fileName);

    TStringList loaded;
    loaded.Add("replaced");
    loaded.LoadFromFile(fileName);
    EXPECT_TRUE(loaded.Equals(saved));
    EXPECT_EQ(platform::CountLiveHandles().files, 0u);
}

TEST(TStrings, AFailedLoadNamesTheFileAndEndsTheBatch) {
    TempDir dir;
    std::string fileName = dir.File("missing.txt");
    VectorStrings list;
    list.lines = {"kept"};
    EXPECT_EQ(MessageOf<EFOpenError>([&] { list.LoadFromFile(fileName); }),
              "ﾌｧｲﾙ " + fileName + " は開けません");
    EXPECT_EQ(list.lines, Lines{"kept"});
    EXPECT_EQ(MessageOf<EFCreateError>([&] { list.SaveToFile(dir.File("no/such/dir")); }),
              "ﾌｧｲﾙ " + dir.File("no/such/dir") + " を作成できません");
}

class FailingStream : public TMemoryStream {
public:
    std::int32_t Read(void*, std::int32_t) override { throw EReadError("broken"); }
};

TEST(TStrings, ABatchEndsWhenTheStreamFails) {
    FailingStream stream;
    stream.SetSize(4);
    VectorStrings list;
    EXPECT_THROW(list.LoadFromStream(stream), EReadError);
    EXPECT_EQ(list.batches, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace velbrin
