// Which screen a fresh platform state chooses from the environment, seen as a
// program sees it: whether there is a monitor at all.

#include <windows.h>

#include "platform/Screen.h"
#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets an environment variable for the length of a test and restores it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// No X server listens on this display.
constexpr const char* kSilentDisplay = ":12345";

HWND MakeTopLevelWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Plain";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "Plain", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                           nullptr, nullptr, nullptr, nullptr);
}

TEST(ScreenChoice, ATestKeepsToTheHeadlessScreenWhateverDisplayNames) {
    ScopedVariable display("DISPLAY", kSilentDisplay);
    ScopedVariable choice("VELBRIN_DISPLAY", nullptr);
    platform::ResetForTesting();
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    HWND window = MakeTopLevelWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::NativeWindowOf(window), 0u);
    platform::ResetForTesting();
}

TEST(ScreenChoice, AnAskedForServerThatDoesNotAnswerLeavesNoMonitor) {
    ScopedVariable display("DISPLAY", kSilentDisplay);
    ScopedVariable choice("VELBRIN_DISPLAY", "x11");
    platform::ResetForTesting();
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 0);
    {
        ScopedVariable headless("VELBRIN_DISPLAY", "headless");
        platform::ResetForTesting();
        EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    }
    platform::ResetForTesting();
}

} // namespace
