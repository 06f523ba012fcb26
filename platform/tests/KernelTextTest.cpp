#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int Compare(const std::string& a, const std::string& b, DWORD flags = NORM_IGNORECASE) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1);
}

TEST(KernelText, CompareIgnoresCaseOnlyWhenAsked) {
    EXPECT_EQ(Compare("abc", "ABC"), CSTR_EQUAL);
    EXPECT_NE(Compare("abc", "ABC", 0), CSTR_EQUAL);
    EXPECT_EQ(Compare("apple", "Banana"), CSTR_LESS_THAN);
    EXPECT_EQ(Compare("b", "A"), CSTR_GREATER_THAN);
    EXPECT_EQ(Compare("", ""), CSTR_EQUAL);
    EXPECT_EQ(Compare("", "a"), CSTR_LESS_THAN);
}

TEST(KernelText, CompareCountsBytesAndHandlesJapanese) {
    // Explicit counts compare only the given bytes, embedded zeros included.
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "abcX", 3, "abcY", 3), CSTR_EQUAL);
    // Half-width and full-width katakana are different texts, even ignoring case.
    std::string halfWidthKa = "\xB6";     // ｶ
    std::string fullWidthKa = "\x83\x4A"; // カ
    EXPECT_NE(Compare(halfWidthKa, fullWidthKa), CSTR_EQUAL);
    // Full-width Latin letters fold like ASCII ones.
    EXPECT_EQ(Compare("\x82\x60", "\x82\x81"), CSTR_EQUAL); // Ａ and ａ
    EXPECT_EQ(CompareStringA(0x9999, 0, "a", -1, "a", -1), 0);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, nullptr, -1, "a", -1), 0);
}

TEST(KernelText, CodePage932RoundTripsThroughUnicode) {
    const char* ansi = "\x81\xAA\x81\xAB Key"; // ↑↓ Key
    int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    ASSERT_EQ(units, 7); // two arrows, a space, three letters, the terminator
    std::vector<WCHAR> wide(static_cast<std::size_t>(units));
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), units), units);
    EXPECT_EQ(wide[0], 0x2191);
    EXPECT_EQ(wide[1], 0x2193);
    char back[16];
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, back, sizeof back, nullptr, nullptr),
              9);
    EXPECT_STREQ(back, ansi);
}

TEST(KernelText, ConversionReportsSmallBuffersAndSubstitutions) {
    WCHAR small[2];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    WCHAR snowman[] = {0x2603, 0};
    char out[8];
    BOOL used = FALSE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, snowman, -1, out, sizeof out, nullptr, &used), 2);
    EXPECT_STREQ(out, "?");
    EXPECT_TRUE(used);
    EXPECT_EQ(MultiByteToWideChar(1234, 0, "a", 1, small, 2), 0);
}

TEST(KernelText, LeadBytesAreThoseOfCodePage932) {
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsDBCSLeadByte(0x9F));
    EXPECT_TRUE(IsDBCSLeadByte(0xE0));
    EXPECT_TRUE(IsDBCSLeadByte(0xFC));
    EXPECT_FALSE(IsDBCSLeadByte(0x80));
    EXPECT_FALSE(IsDBCSLeadByte(0xA0));
    EXPECT_FALSE(IsDBCSLeadByte(0xB6)); // half-width katakana stand alone
    EXPECT_FALSE(IsDBCSLeadByte('A'));
    EXPECT_EQ(GetACP(), 932u);
}

TEST(KernelText, LowerCasingLeavesDoubleByteCharactersAlone) {
    // Half-width katakana (0xB1), a double-byte character whose second byte
    // is 'A', and a lead byte that ends the text.
    char text[] = "AB\xB1\x83\x41Z\x83";
    EXPECT_EQ(CharLowerA(text), text);
    EXPECT_STREQ(text, "ab\xB1\x83\x41z\x83");
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharLowerA(reinterpret_cast<LPSTR>(ULONG_PTR{'Q'}))),
              ULONG_PTR{'q'});
    char copy[8];
    EXPECT_TRUE(OemToCharA("\x83\x41x", copy));
    EXPECT_STREQ(copy, "\x83\x41x");
    EXPECT_FALSE(OemToCharA(nullptr, copy));
}

TEST(KernelText, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, -1, 2), -2);
    EXPECT_EQ(MulDiv(-3, -1, -2), -2);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(-12, 120, 96), -15);
    EXPECT_EQ(MulDiv(7, 0, 3), 0);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x40000000, 4, 1), -1);
    EXPECT_EQ(MulDiv(0x40000000, 4, 2), -1);
    EXPECT_EQ(MulDiv(-0x40000000, 4, 2), INT32_MIN);
    EXPECT_EQ(MulDiv(0x40000000, 4, 4), 0x40000000);
}

TEST(KernelText, AtomsAreCountedAndCaseInsensitive) {
    ATOM atom = GlobalAddAtomA("ControlOfs00400000");
    ASSERT_GE(atom, 0xC000);
    EXPECT_EQ(GlobalAddAtomA("CONTROLOFS00400000"), atom);
    EXPECT_EQ(GlobalFindAtomA("controlofs00400000"), atom);
    char name[64];
    EXPECT_EQ(GlobalGetAtomNameA(atom, name, sizeof name), 18u);
    EXPECT_STREQ(name, "ControlOfs00400000");
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("ControlOfs00400000"), atom); // one reference is left
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("ControlOfs00400000"), 0);
    EXPECT_EQ(GlobalDeleteAtom(atom), atom); // already gone
    EXPECT_EQ(GlobalAddAtomA("#123"), 123);
    EXPECT_EQ(GlobalAddAtomA(""), 0);
}

} // namespace
