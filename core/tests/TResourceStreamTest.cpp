#include "core/TResourceStream.h"

#include "TestSupport.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

using testing::MessageOf;

// The string block holding messages 61440 to 61455.
LPCSTR const kFirstLibraryBlock = MAKEINTRESOURCEA(3841);

TEST(TResourceStream, ReadsTheResourceDataAndRefusesToWrite) {
    TResourceStream stream(nullptr, kFirstLibraryBlock, RT_STRING);
    std::string first = Utf8ToAnsi("%s を %s に代入することはできません");
    unsigned char length[2];
    stream.ReadBuffer(length, 2);
    EXPECT_EQ(length[0] | (length[1] << 8), static_cast<int>(first.size()));
    std::string text(first.size(), '\0');
    stream.ReadBuffer(text.data(), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(text, first);

    EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Write("x", 1); }),
              "読み込み専用ﾘｿｰｽ ｽﾄﾘｰﾑには書き込めません");
    EXPECT_EQ(stream.Position(), static_cast<std::int32_t>(2 + first.size()));
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
    EXPECT_THROW(TResourceStream(otherModule, kFirstLibraryBlock, RT_STRING), EResNotFound);
}

} // namespace
} // namespace velbrin
