#include "core/TFileStream.h"

#include "TestSupport.h"
#include "platform/Testing.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace velbrin {
namespace {

using testing::MessageOf;
using testing::TempDir;

std::string FileText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string OpenError(const std::string& fileName) {
    return "ﾌｧｲﾙ " + fileName + " は開けません";
}

class TFileStreamTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(platform::CountLiveHandles().files, 0u); }

    TempDir dir;
};

TEST_F(TFileStreamTest, CreatesReplacesAndReadsBack) {
    std::string fileName = dir.File("data.bin");
    {
        TFileStream stream(fileName, fmCreate);
        stream.WriteBuffer("hello, world", 12);
        EXPECT_EQ(stream.Size(), 12);
        EXPECT_EQ(stream.Seek(-5, soFromEnd), 7);
        char buffer[5];
        stream.ReadBuffer(buffer, 5);
        EXPECT_EQ(std::string(buffer, 5), "world");
    }
    EXPECT_EQ(FileText(fileName), "hello, world");
    {
        TFileStream stream(fileName, fmCreate);
        stream.WriteBuffer("new", 3);
    }
    EXPECT_EQ(FileText(fileName), "new");

    TFileStream stream(fileName, fmOpenRead);
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 8), 3);
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(buffer, 1); }),
              "ｽﾄﾘｰﾑからの読み込みｴﾗｰ");
}

TEST_F(TFileStreamTest, OpeningAMissingFileNamesIt) {
    std::string fileName = dir.File("missing.txt");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream stream(fileName, fmOpenRead); }),
              OpenError(fileName));
    std::string nowhere = dir.File("no/such/file");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream stream(nowhere, fmCreate); }),
              "ﾌｧｲﾙ " + nowhere + " を作成できません");
}

TEST_F(TFileStreamTest, TheAccessCodeLimitsWhatTheStreamDoes) {
    std::string fileName = dir.File("data.txt");
    TFileStream(fileName, fmCreate).WriteBuffer("abc", 3);
    {
        TFileStream reader(fileName, fmOpenRead | fmShareDenyNone);
        EXPECT_EQ(reader.Write("x", 1), 0);
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
    EXPECT_EQ(both.Read(buffer, -1), 0);
}

TEST_F(TFileStreamTest, SharingCodesDecideWhoElseMayOpen) {
    std::string fileName = dir.File("shared.txt");
    TFileStream(fileName, fmCreate).WriteBuffer("abc", 3);
    {
        TFileStream exclusive(fileName, fmOpenRead | fmShareExclusive);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, fmOpenRead); }),
                  OpenError(fileName));
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

TEST_F(TFileStreamTest, ModesOutsideTheTablesAreRefused) {
    std::string fileName = dir.File("data.txt");
    TFileStream(fileName, fmCreate).WriteBuffer("abc", 3);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, 0x03); }), OpenError(fileName));
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, 0x50); }), OpenError(fileName));
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream(fileName, 0xF0); }), OpenError(fileName));
}

TEST_F(TFileStreamTest, AHandleStreamLeavesTheHandleOpen) {
    std::string fileName = dir.File("handle.txt");
    HANDLE handle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    {
        THandleStream stream(handle);
        stream.WriteBuffer("xyz", 3);
        EXPECT_EQ(stream.Size(), 3);
        EXPECT_EQ(stream.Position(), 3);
    }
    EXPECT_EQ(SetFilePointer(handle, 0, nullptr, FILE_CURRENT), 3u);
    EXPECT_TRUE(CloseHandle(handle));

    // A closed handle reads and writes nothing.
    THandleStream stale(handle);
    char byte;
    EXPECT_EQ(stale.Read(&byte, 1), 0);
    EXPECT_EQ(stale.Write("a", 1), 0);
    EXPECT_EQ(stale.Seek(0, soFromBeginning), -1);
}

} // namespace
} // namespace velbrin
