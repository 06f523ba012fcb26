#include "core/TResourceStream.h"

#include "TestSupport.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

using testing::MessageOf;

// The main form, stored as formc compiles it: the same bytes on every system
// (a string block is not: Windows keeps its strings in UTF-16).
TEST(TResourceStream, ReadsTheResourceDataAndRefusesToWrite) {
    TResourceStream stream(nullptr, "TFORM1", RT_RCDATA);
    const std::string start = "TPF0\x06TForm1\x05"
                              "Form1";
    std::string text(start.size(), '\0');
    stream.ReadBuffer(text.data(), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(text, start);

    EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Write("x", 1); }),
              "読み込み専用ﾘｿｰｽ ｽﾄﾘｰﾑには書き込めません");
    EXPECT_EQ(stream.Position(), static_cast<std::int32_t>(start.size()));
    stream.Seek(0, soFromEnd);
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(TResourceStream, AMissingResourceIsNamed) {
    EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream(nullptr, "NOSUCHFORM", RT_RCDATA); }),
              "NOSUCHFORM ﾘｿｰｽが見つかりません");
    EXPECT_EQ(
        MessageOf<EResNotFound>([] { TResourceStream(nullptr, MAKEINTRESOURCEA(9), RT_STRING); }),
        "#9 ﾘｿｰｽが見つかりません");
    HMODULE otherModule = reinterpret_cast<HMODULE>(0x1234);
    EXPECT_THROW(TResourceStream(otherModule, "TFORM1", RT_RCDATA), EResNotFound);
}

} // namespace
} // namespace velbrin
