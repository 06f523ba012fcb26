#include "core/TFileStream.h"

#include "TestSupport.h"
#include "platform/Testing.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velbrin {
namespace {

using testing::MessageOf;

std::string FileText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TFileStreamTest : public ::testing::Test {
protected:
    void SetUp() override { TFileStream(fileName, fmCreate).WriteBuffer("abc", 3); }
    void TearDown() override { EXPECT_EQ(platform::CountLiveHandles().files, 0u); }

    std::string OpenError() const { return "ﾌｧｲﾙ " + fileName + " は開けません"; }

    testing::TempDir dir;
    std::string fileName = dir.File("data.txt");
};

TEST_F(TFileStreamTest, CreateReplacesTheFileAndReadsBack) {
    EXPECT_EQ(FileText(fileName), "abc");
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer("hello, world", 12);
    EXPECT_EQ(stream.Size(), 12);
    EXPECT_EQ(stream.Seek(-5, soFromEnd), 7);
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 8), 5);
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(buffer, 1); }),
              "ｽﾄﾘｰﾑからの読み込みｴﾗｰ");
    EXPECT_EQ(stream.Read(buffer, -1), 0);
}

TEST_F(TFileStreamTest, FilesThatCannotBeOpenedOrCreatedAreNamed) {
    std::string missing = dir.File("missing.txt");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(missing, fmOpenRead); }),
              "ﾌｧｲﾙ " + missing + " は開けません");
    std::string nowhere = dir.File("no/such/file");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream(nowhere, fmCreate); }),
              "ﾌｧｲﾙ " + nowhere + " を作成できません");
    // Codes outside the access and sharing tables open nothing.
    for (std::uint16_t mode : {0x03, 0x50, 0xF0}) {
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, mode); }), OpenError());
    }
}

TEST_F(TFileStreamTest, TheAccessCodeLimitsWhatTheStreamDoes) {
    {
        TFileStream reader(fileName, fmOpenRead);
        EXPECT_EQ(MessageOf<EWriteError>([&] { reader.WriteBuffer("x", 1); }),
                  "ｽﾄﾘｰﾑへの書き込みｴﾗｰ");
    }
    {
        TFileStream writer(fileName, fmOpenWrite);
        char byte;
        EXPECT_EQ(writer.Read(&byte, 1), 0);
        writer.Seek(1, soFromBeginning);
        writer.WriteBuffer("Z", 1);
    }
    TFileStream both(fileName, fmOpenReadWrite);
    both.Seek(0, soFromEnd);
    both.WriteBuffer("d", 1);
    both.SetPosition(0);
    char buffer[4];
    both.ReadBuffer(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "aZcd");
}

TEST_F(TFileStreamTest, SharingCodesDecideWhoElseMayOpen) {
    {
        TFileStream exclusive(fileName, fmOpenRead | fmShareExclusive);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, fmOpenRead); }), OpenError());
    }
    {
        TFileStream denyWrite(fileName, fmOpenRead | fmShareDenyWrite);
        TFileStream secondReader(fileName, fmOpenRead | fmShareDenyWrite);
        EXPECT_THROW(TFileStream(fileName, fmOpenWrite | fmShareDenyNone), EFOpenError);
    }
    {
        TFileStream denyRead(fileName, fmOpenWrite | fmShareDenyRead);
        TFileStream secondWriter(fileName, fmOpenWrite | fmShareDenyRead);
        EXPECT_THROW(TFileStream(fileName, fmOpenRead | fmShareDenyNone), EFOpenError);
    }
    TFileStream one(fileName, fmOpenReadWrite | fmShareDenyNone);
    TFileStream two(fileName, fmOpenReadWrite | fmShareDenyNone);
}

TEST_F(TFileStreamTest, AHandleStreamLeavesTheHandleToItsOwner) {
    HANDLE handle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    THandleStream(handle).WriteBuffer("xyz!", 4);
    EXPECT_EQ(SetFilePointer(handle, 0, nullptr, FILE_CURRENT), 4u);
    EXPECT_TRUE(CloseHandle(handle));

    THandleStream stale(handle);
    char byte;
    EXPECT_EQ(stale.Read(&byte, 1), 0);
    EXPECT_EQ(stale.Write("a", 1), 0);
    EXPECT_EQ(stale.Seek(0, soFromBeginning), -1);
}

} // namespace
} // namespace velbrin
