#include <windows.h>

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class KernelFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velbrin-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/data.bin";
    }
    void TearDown() override {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
        EXPECT_EQ(platform::CountLiveHandles().files, 0u);
    }

    HANDLE Open(DWORD access, DWORD share, DWORD disposition) {
        return CreateFileA(path_.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::string dir_;
    std::string path_;
};

TEST_F(KernelFiles, WriteSeekAndReadBack) {
    HANDLE file = Open(GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "hello world", 11, &written, nullptr));
    EXPECT_EQ(written, 11u);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), 11u);
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), 6u);
    char buffer[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(read, 5u);
    EXPECT_STREQ(buffer, "world");
    // A read at the end succeeds with no bytes.
    ASSERT_TRUE(ReadFile(file, buffer, 4, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(KernelFiles, NegativeSeekIsRefusedAndKeepsThePosition) {
    HANDLE file = Open(GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "abcd", 4, &written, nullptr);
    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
    EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 2u);
    CloseHandle(file);
}

TEST_F(KernelFiles, OpeningAMissingFileFails) {
    EXPECT_EQ(Open(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CreateFileA((dir_ + "/no/such/dir").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(dir_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(KernelFiles, SharingModesAreEnforcedAmongOpenHandles) {
    HANDLE exclusive = Open(GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(exclusive, "kept", 4, &written, nullptr);
    EXPECT_EQ(Open(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // A refused create does not truncate the file held open.
    EXPECT_EQ(Open(GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(exclusive, 0, nullptr, FILE_END), 4u);
    CloseHandle(exclusive);

    HANDLE reader = Open(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE secondReader = Open(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(secondReader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    CloseHandle(secondReader);
    CloseHandle(reader);
}

TEST_F(KernelFiles, AccessRightsAreChecked) {
    HANDLE file = Open(GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[4];
    DWORD count = 99;
    EXPECT_FALSE(ReadFile(file, buffer, 4, &count, nullptr));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(file);
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace

namespace {

TEST(KernelFilesDevices, AWriteThatCannotFinishFailsWithTheDiskFull) {
    HANDLE full = CreateFileA("/dev/full", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(full, INVALID_HANDLE_VALUE);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(full, "abc", 3, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    CloseHandle(full);
}

} // namespace
