#include "runtime/Format.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

TEST(Format, FillsEachDirectiveInOrder) {
    EXPECT_EQ(Format("%s.%s: %s", {"Form1", "Font.Bogus", "gone"}), "Form1.Font.Bogus: gone");
    EXPECT_EQ(Format("%d of %d", {-7, 12}), "-7 of 12");
    EXPECT_EQ(Format("%.8X|%.8x", {0xBEEF, 0xBEEF}), "0000BEEF|0000beef");
    EXPECT_EQ(Format("%x", {-1}), "ffffffff");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("[%5d][%-5d][%.2s]", {42, 42, "abc"}), "[   42][42   ][ab]");
    EXPECT_EQ(Format("%.3d", {-5}), "-005");
}

TEST(Format, PointersShowAtLeastEightHexDigits) {
    EXPECT_EQ(Format("%p", {reinterpret_cast<const void*>(0x401000)}), "00401000");
    EXPECT_EQ(Format("%p", {static_cast<const void*>(nullptr)}), "00000000");
}

TEST(Format, KeepsDoubleByteTextIntact) {
    // "ﾌｧｲﾙ %s は開けません" around a name with a 0x5C trail byte (ソ).
    std::string format = "\xCC\xA7\xB2\xD9 %s \x82\xCD";
    std::string name = "\x83\x5C.txt";
    EXPECT_EQ(Format(format, {name}), "\xCC\xA7\xB2\xD9 \x83\x5C.txt \x82\xCD");
}

TEST(Format, MismatchedArgumentsAreClearErrors) {
    EXPECT_THROW(Format("%s and %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("%s", {"one", "two"}), EConvertError);
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%p", {5}), EConvertError);
    EXPECT_THROW(Format("%q", {5}), EConvertError);
    EXPECT_THROW(Format("ends in %", {5}), EConvertError);
    EXPECT_THROW(Format("%99999d", {5}), EConvertError);
    try {
        Format("%s %s", {"x"});
        FAIL() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_NE(error.Message().find("%s %s"), std::string::npos) << "names the format";
    }
}

} // namespace
} // namespace velbrin
