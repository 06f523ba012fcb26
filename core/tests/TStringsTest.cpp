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
using Lines = std::vector<std::string>;

// Supplies only what every descendant must; the rest is inherited. It keeps
// no objects.
class VectorStrings : public TStrings {
public:
    std::string Get(std::int32_t index) const override { return lines.at(Checked(index)); }
    std::int32_t GetCount() const override { return static_cast<std::int32_t>(lines.size()); }
    void Clear() override { lines.clear(); }
    void Delete(std::int32_t index) override { lines.erase(lines.begin() + Checked(index)); }
    void Insert(std::int32_t index, const std::string& s) override {
        lines.insert(lines.begin() + (index == GetCount() ? index : Checked(index)), s);
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
    EXPECT_THROW(list.Move(0, 3), EListError);
    EXPECT_EQ(list.lines, (Lines{"B", "c", "a"}));
    EXPECT_EQ(list.IndexOf("b"), 0);
    EXPECT_EQ(list.IndexOf("q"), -1);

    list.BeginUpdate();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.batches, std::vector<bool>{true});
    list.EndUpdate();
    EXPECT_EQ(list.batches, (std::vector<bool>{true, false}));
}

TEST(TStrings, SplitLinesEndsLinesAtCrLfOrCrLfAndStopsAtZero) {
    const std::pair<std::string, Lines> cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"\n\n", {"", ""}},
        {"a\r\rb", {"a", "", "b"}},
        {"", {}},
        {std::string("a\0b", 3), {"a"}},
    };
    for (const auto& [text, lines] : cases) {
        VectorStrings list;
        list.lines = {"old"};
        list.SplitLines(text);
        EXPECT_EQ(list.lines, lines) << text;
        EXPECT_EQ(list.batches, (std::vector<bool>{true, false}));
    }
}

TEST(TStrings, JoinLinesEndsEveryLineWithCrLf) {
    VectorStrings list;
    EXPECT_EQ(list.JoinLines(), "");
    list.lines = {"a", "", "b"};
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    EXPECT_STREQ(list.GetText().get(), "a\r\n\r\nb\r\n");
    list.SetText("x\ny");
    EXPECT_EQ(list.lines, (Lines{"x", "y"}));
}

TEST(TStrings, LoadsFromTheStreamPositionToItsEndAndSavesJoinedLines) {
    TMemoryStream stream;
    stream.WriteBuffer("skip\r\none\ntwo", 13);
    stream.SetPosition(6);
    VectorStrings list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.lines, (Lines{"one", "two"}));
    stream.Seek(10, soFromEnd);
    list.LoadFromStream(stream);
    EXPECT_TRUE(list.lines.empty());

    list.lines = {"a", "b"};
    stream.SetPosition(0);
    list.SaveToStream(stream);
    EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 6), "a\r\nb\r\n");
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

TEST(TStrings, SavesAndLoadsJapaneseTextThroughAFileAndNamesFilesItCannotUse) {
    testing::TempDir dir;
    std::string fileName = dir.File("lines.txt");
    TStringList saved;
    saved.Add(Utf8ToAnsi("ﾊｰﾓﾆｶ"));
    saved.Add(Utf8ToAnsi("ド レ ミ"));
    saved.SaveToFile(fileName);
    TStringList loaded;
    loaded.Add("replaced");
    loaded.LoadFromFile(fileName);
    EXPECT_TRUE(loaded.Equals(saved));

    std::string missing = dir.File("missing.txt");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { loaded.LoadFromFile(missing); }),
              "ﾌｧｲﾙ " + missing + " は開けません");
    EXPECT_TRUE(loaded.Equals(saved));
    std::string nowhere = dir.File("no/such/file");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { saved.SaveToFile(nowhere); }),
              "ﾌｧｲﾙ " + nowhere + " を作成できません");
    EXPECT_EQ(platform::CountLiveHandles().files, 0u);
}

} // namespace
} // namespace velbrin
