#include "runtime/Messages.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace velbrin {
namespace {

// Every message in the UTF-8 source of the string table, as the program
// stores it: in code page 932, found by its number.
TEST(Messages, EveryTableEntryLoadsByteExact) {
    std::ifstream table(VELBRIN_STRING_TABLE);
    ASSERT_TRUE(table) << VELBRIN_STRING_TABLE;
    std::string line;
    int checked = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::size_t tab = line.find('\t');
        unsigned id = static_cast<unsigned>(std::stoul(line.substr(0, tab)));
        std::string expected;
        std::string text = line.substr(tab + 1);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
                expected += '\n';
                ++i;
            } else {
                expected += text[i];
            }
        }
        char buffer[1024];
        int length = LoadStringA(nullptr, id, buffer, sizeof buffer);
        ASSERT_GT(length, 0) << id;
        EXPECT_EQ(AnsiToUtf8(std::string(buffer, static_cast<std::size_t>(length))), expected)
            << id;
        ++checked;
    }
    EXPECT_GE(checked, 45);
}

TEST(Messages, ErrorsCarryTheirFormattedText) {
    EListError index = ResourceError<EListError>(SListIndexError);
    EXPECT_EQ(AnsiToUtf8(index.Message()), "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています");
    EFOpenError open = ResourceError<EFOpenError>(SFOpenError, {"missing.txt"});
    EXPECT_EQ(AnsiToUtf8(open.Message()), "ﾌｧｲﾙ missing.txt は開けません");
    EXPECT_STREQ(open.what(), open.Message().c_str());
    EXPECT_EQ(AnsiToUtf8(ResourceMessage(SPropertyException, {"Label1", "Font.Bogus", "x"})),
              "Label1.Font.Bogus の読み込み中のｴﾗｰ: x");
}

TEST(Messages, ExceptionClassesFormTheirFamily) {
    EXPECT_THROW(throw ResourceError<EReadError>(SReadError), EFilerError);
    EXPECT_THROW(throw ResourceError<EReadError>(SReadError), EStreamError);
    EXPECT_THROW(throw ResourceError<EFOpenError>(SFOpenError, {"f"}), EStreamError);
    EXPECT_THROW(throw ResourceError<EOutOfResources>(SWindowClass), EOutOfMemory);
    EXPECT_THROW(throw ResourceError<EResNotFound>(SResNotFound, {"X"}), Exception);
}

TEST(Messages, AMissingMessageStillSaysWhichItWas) {
    EXPECT_EQ(ResourceMessage(12345, {"ignored"}),
              "Message 12345 is missing from the string table");
}

} // namespace
} // namespace velbrin
