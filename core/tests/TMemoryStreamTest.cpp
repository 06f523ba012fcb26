#include "core/TMemoryStream.h"

#include "TestSupport.h"
#include "platform/Testing.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;

std::string ContentsOf(const TMemoryStream& stream, std::int32_t size) {
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(size));
}

TEST(TMemoryStream, GrowsInStepsKeepingItsContents) {
    TMemoryStream stream;
    EXPECT_EQ(stream.Write("x", 1), 1);
    EXPECT_EQ(stream.Capacity(), 8192);
    EXPECT_EQ(stream.Size(), 1);
    std::vector<char> bytes(8193, 'y');
    stream.SetPosition(0);
    EXPECT_EQ(stream.Write(bytes.data(), 8193), 8193);
    EXPECT_EQ(stream.Capacity(), 16384);
    EXPECT_EQ(stream.Position(), 8193);

    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += std::to_string(i);
    }
    stream.SetPosition(0);
    for (char c : text) {
        stream.WriteBuffer(&c, 1);
    }
    EXPECT_EQ(ContentsOf(stream, static_cast<std::int32_t>(text.size())), text);
}

TEST(TMemoryStream, ReadBufferRaisesAfterCopyingWhatThereWas) {
    TMemoryStream stream;
    stream.WriteBuffer("0123456789", 10);
    stream.Seek(-5, soFromEnd);
    char buffer[10] = {};
    EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(buffer, 10); }),
              "ｽﾄﾘｰﾑからの読み込みｴﾗｰ");
    EXPECT_EQ(std::string(buffer, 5), "56789");
    EXPECT_EQ(stream.Position(), 10);
}

TEST(TMemoryStream, SeeksWithoutClampingAndMovesNothingOutsideItsData) {
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
    EXPECT_EQ(stream.Seek(3, soFromCurrent), 5);
    EXPECT_EQ(stream.Seek(4, soFromEnd), 10);
    char buffer[2];
    EXPECT_EQ(stream.Read(buffer, 2), 0);
    EXPECT_EQ(stream.Seek(-1, soFromBeginning), -1);
    EXPECT_EQ(stream.Read(buffer, 2), 0);
    EXPECT_EQ(stream.Write("z", 1), 0);
    EXPECT_EQ(MessageOf<EWriteError>([&] { stream.WriteBuffer("z", 1); }), "ｽﾄﾘｰﾑへの書き込みｴﾗｰ");
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    EXPECT_EQ(stream.Write("z", -1), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(ContentsOf(stream, stream.Size()), "abcdef");
}

TEST(TMemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
    TMemoryStream stream;
    stream.WriteBuffer("ab", 2);
    stream.SetPosition(5);
    stream.WriteBuffer("c", 1);
    EXPECT_EQ(ContentsOf(stream, stream.Size()), std::string("ab\0\0\0c", 6));
}

TEST(TMemoryStream, SetSizeAndClearReplaceTheContents) {
    std::size_t blocks = platform::CountLiveHandles().globalMemory;
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer("abc", 3);
    stream->SetSize(9000);
    EXPECT_EQ(stream->Size(), 9000);
    EXPECT_EQ(stream->Capacity(), 16384);
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_EQ(ContentsOf(*stream, 3), std::string(3, '\0'));
    EXPECT_EQ(platform::CountLiveHandles().globalMemory, blocks + 1);
    stream->Clear();
    EXPECT_EQ(stream->Size(), 0);
    EXPECT_EQ(stream->Memory(), nullptr);
    EXPECT_EQ(platform::CountLiveHandles().globalMemory, blocks);
    stream->SetSize(10);
    stream.reset();
    EXPECT_EQ(platform::CountLiveHandles().globalMemory, blocks);
}

TEST(TMemoryStream, SizesNoBlockCanHoldRaiseTheMemoryError) {
    const char* const expected = "ﾒﾓﾘｽﾄﾘｰﾑの拡大中にﾒﾓﾘが足りなくなりました";
    TMemoryStream stream;
    // Rounded up to the growth step, this size passes the 32-bit range.
    EXPECT_EQ(MessageOf<EStreamError>([&] { stream.SetSize(0x7FFFF000); }), expected);
    EXPECT_EQ(MessageOf<EStreamError>([&] { stream.SetSize(-1); }), expected);
    stream.WriteBuffer("abc", 3);
    stream.SetPosition(0x7FFFF000);
    EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Write("x", 1); }), expected);
    EXPECT_EQ(ContentsOf(stream, stream.Size()), "abc");
}

} // namespace
} // namespace velbrin
