#include "runtime/Text.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

TEST(Text, ConvertsBetweenCodePage932AndUtf8) {
    EXPECT_EQ(AnsiToUtf8("\x81\xAA\x81\xAB"), "↑↓");
    EXPECT_EQ(Utf8ToAnsi("ＭＳ Ｐゴシック"),
              "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(AnsiToUtf8("\xB7\xB0"), "ｷｰ");
    // A lone lead byte at the end is not a character; it must not vanish silently
    // into undefined behaviour.
    EXPECT_FALSE(AnsiToUtf8("a\x81").empty());
}

TEST(Text, LocaleComparisonIgnoresCase) {
    EXPECT_EQ(LocaleCompareNoCase("abc", "ABC"), 0);
    EXPECT_LT(LocaleCompareNoCase("abc", "abd"), 0);
    EXPECT_GT(LocaleCompareNoCase("B", "a"), 0);
    EXPECT_LT(LocaleCompareNoCase("", "a"), 0);
    EXPECT_EQ(LocaleCompareNoCase(std::string_view{}, ""), 0);
    EXPECT_GT(LocaleCompareNoCase("a", std::string_view{}), 0);
}

TEST(Text, AsciiComparisonFoldsOnlyAsciiLetters) {
    EXPECT_EQ(AsciiCompareNoCase("Label1", "LABEL1"), 0);
    EXPECT_TRUE(AsciiSameText("OnChange", "onchange"));
    EXPECT_FALSE(AsciiSameText("Label1", "Label"));
    EXPECT_LT(AsciiCompareNoCase("Label", "Label1"), 0);
    // Full-width Ａ and ａ differ: only ASCII folds.
    EXPECT_NE(AsciiCompareNoCase("\x82\x60", "\x82\x81"), 0);
}

} // namespace
} // namespace velbrin
