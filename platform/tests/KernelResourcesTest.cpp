#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string LoadString(UINT id, int size = 1024) {
    char buffer[1024];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
    EXPECT_EQ(static_cast<std::size_t>(length), std::string(buffer).size());
    return std::string(buffer, static_cast<std::size_t>(length));
}

TEST(KernelResources, StringTableHoldsCodePage932Bytes) {
    // "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています": half-width katakana are single bytes.
    std::string text = LoadString(61452);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xD8); // ﾘ
    EXPECT_EQ(static_cast<unsigned char>(text[1]), 0xBD); // ｽ
    EXPECT_EQ(static_cast<unsigned char>(text[2]), 0xC4); // ﾄ
    EXPECT_EQ(static_cast<unsigned char>(text[3]), 0x82); // の, a double-byte character
}

TEST(KernelResources, MissingStringGivesZeroAndAnEmptyBuffer) {
    char buffer[16] = "untouched";
    EXPECT_EQ(LoadStringA(nullptr, 12345, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringA(nullptr, 61452, nullptr, 10), 0);
}

TEST(KernelResources, ShortBufferTruncatesWithoutSplittingACharacter) {
    // 61443 is "ｽﾄﾘｰﾑからの読み込みｴﾗｰ": five single bytes, then double-byte kana.
    EXPECT_EQ(LoadString(61443, 6).size(), 5u);
    EXPECT_EQ(LoadString(61443, 7).size(), 5u); // "か" would not fit whole
    EXPECT_EQ(LoadString(61443, 8).size(), 7u);
    EXPECT_EQ(LoadString(61443, 1).size(), 0u);
}

TEST(KernelResources, FindResourceMatchesNamesAndNumbers) {
    // Message 61452 lives in string block 61452 / 16 + 1.
    HRSRC block = FindResourceA(nullptr, MAKEINTRESOURCEA(61452 / 16 + 1), RT_STRING);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "#3841", RT_STRING), block);
    HGLOBAL data = LoadResource(nullptr, block);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(LockResource(data), nullptr);
    EXPECT_GT(SizeofResource(nullptr, block), 32u);

    // Named resources match ignoring case; the program carries no bitmaps.
    EXPECT_NE(FindResourceA(nullptr, "tForm1", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "NO_SUCH_FORM", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, "TFORM1", RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_STRING), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(KernelResources, ForeignHandlesAreRefused) {
    HRSRC bogus = reinterpret_cast<HRSRC>(static_cast<std::uintptr_t>(0x12345678));
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(LockResource(bogus), nullptr);
    HMODULE other = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x10000000));
    EXPECT_EQ(FindResourceA(other, MAKEINTRESOURCEA(3841), RT_STRING), nullptr);
}

} // namespace
