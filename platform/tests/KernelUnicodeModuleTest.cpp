// The Unicode text module is loaded only when text beyond what the platform
// converts itself turns up. Each case runs in a fresh process (a death test
// of the thread-safe style executes the test program again), because once
// loaded the module stays: what the process has mapped is read from
// /proc/self/maps. This program does not link ICU itself.

#include <platform/Testing.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string Mappings() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str();
}

bool Mapped(const char* name) {
    return Mappings().find(name) != std::string::npos;
}

int Compare(const char* left, const char* right, DWORD flags = 0) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, left, -1, right, -1);
}

// Ends the child process: 0 when `ok`, else 1 after saying what went wrong.
void Finish(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
    }
    std::fflush(stderr);
    std::_Exit(ok ? 0 : 1);
}

#define CHILD_CHECK(condition)                                                                     \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            Finish(false, #condition);                                                             \
        }                                                                                          \
    } while (0)

class KernelUnicodeModule : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void AsciiAndLibraryTextLeaveTheModuleUnloaded() {
    CHILD_CHECK(!Mapped("libvelbrin_unicode"));
    CHILD_CHECK(Compare("Key", "key", NORM_IGNORECASE) == CSTR_EQUAL);
    CHILD_CHECK(Compare("C#", "Db") == CSTR_LESS_THAN);
    WCHAR wide[16] = {};
    CHILD_CHECK(MultiByteToWideChar(CP_ACP, 0, "Eb", -1, wide, 16) == 3 && wide[0] == 'E');
    char bytes[16] = {};
    CHILD_CHECK(WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, 16, nullptr, nullptr) == 3);
    // Japanese text the C library's converter reads exactly as ICU would.
    CHILD_CHECK(MultiByteToWideChar(CP_ACP, 0, "\x82\xa0", 2, wide, 16) == 1 && wide[0] == 0x3042);
    CHILD_CHECK(!Mapped("libvelbrin_unicode"));
    CHILD_CHECK(!Mapped("libicu"));
    // Comparing Japanese text needs the locale's rules: now the module comes.
    CHILD_CHECK(Compare("\x82\xa0", "\x82\xa2") == CSTR_LESS_THAN); // あ before い
    CHILD_CHECK(Mapped("libvelbrin_unicode"));
    CHILD_CHECK(Mapped("libicu"));
    Finish(true, "");
}

TEST_F(KernelUnicodeModule, IsLoadedOnlyForTextThePlatformCannotHandleItself) {
    EXPECT_EXIT(AsciiAndLibraryTextLeaveTheModuleUnloaded(), ::testing::ExitedWithCode(0), "");
}

void ModuleGivesTheLocalesAnswers() {
    // Full-width letters differ by case alone: equal only when case is ignored.
    CHILD_CHECK(Compare("\x82\x60", "\x82\x81", NORM_IGNORECASE) == CSTR_EQUAL); // Ａ ａ
    CHILD_CHECK(Compare("\x82\x60", "\x82\x81") != CSTR_EQUAL);
    CHILD_CHECK(Compare("\x82\xa2", "\x82\xa0") == CSTR_GREATER_THAN); // い after あ
    // UTF-8 beyond ASCII always goes to the module, both ways.
    WCHAR wide[8] = {};
    CHILD_CHECK(MultiByteToWideChar(CP_UTF8, 0, "\xc3\xa9\xe3\x81\x82", 5, wide, 8) == 2);
    CHILD_CHECK(wide[0] == 0xE9 && wide[1] == 0x3042);
    char bytes[8] = {};
    CHILD_CHECK(WideCharToMultiByte(CP_UTF8, 0, wide, 2, bytes, 8, nullptr, nullptr) == 5);
    CHILD_CHECK(std::string(bytes, 5) == "\xc3\xa9\xe3\x81\x82");
    // é is no character of code page 932: the default character stands in.
    BOOL usedDefault = FALSE;
    CHILD_CHECK(WideCharToMultiByte(932, 0, wide, 2, bytes, 8, "*", &usedDefault) == 3);
    CHILD_CHECK(std::string(bytes, 3) == "*\x82\xa0" && usedDefault == TRUE);
    // A buffer too short is refused, not overrun.
    CHILD_CHECK(MultiByteToWideChar(CP_UTF8, 0, "\xc3\xa9\xe3\x81\x82", 5, wide, 1) == 0);
    CHILD_CHECK(GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    Finish(true, "");
}

TEST_F(KernelUnicodeModule, GivesTheLocalesOrderAndTheCodePagesBytes) {
    EXPECT_EXIT(ModuleGivesTheLocalesAnswers(), ::testing::ExitedWithCode(0), "");
}

void MissingModuleFailsTheCallsThatNeedIt(const std::string& directory) {
    platform::SetUnicodeModuleDirectoryForTesting(directory);
    CHILD_CHECK(Compare("\x82\xa0", "\x82\xa2") == 0);
    CHILD_CHECK(GetLastError() == ERROR_MOD_NOT_FOUND);
    WCHAR wide[8] = {};
    CHILD_CHECK(MultiByteToWideChar(CP_UTF8, 0, "\xc3\xa9", 2, wide, 8) == 0);
    CHILD_CHECK(GetLastError() == ERROR_MOD_NOT_FOUND);
    // What the platform handles itself goes on working.
    CHILD_CHECK(Compare("Bb", "Ab") == CSTR_GREATER_THAN);
    CHILD_CHECK(MultiByteToWideChar(CP_ACP, 0, "\x82\xa0", 2, wide, 8) == 1);
    Finish(true, "");
}

TEST_F(KernelUnicodeModule, MissingModuleIsToldAndItsCallsFail) {
    EXPECT_EXIT(MissingModuleFailsTheCallsThatNeedIt("/nonexistent/velbrin"),
                ::testing::ExitedWithCode(0),
                "Unicode text module libvelbrin_unicode.so could not be loaded.*\n.*"
                "/nonexistent/velbrin/libvelbrin_unicode.so");
}

TEST_F(KernelUnicodeModule, DamagedModuleIsToldAndItsCallsFail) {
    char folder[] = "/tmp/velbrin-unicode-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string module = std::string(folder) + "/libvelbrin_unicode.so";
    std::ofstream(module) << "not a shared object";
    EXPECT_EXIT(MissingModuleFailsTheCallsThatNeedIt(folder), ::testing::ExitedWithCode(0),
                "could not be loaded");
    std::remove(module.c_str());
    rmdir(folder);
}

} // namespace
