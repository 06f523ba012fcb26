// The message box: a "#32770" dialog of static controls and push buttons, its
// default button (focus, style, DM_GETDEFID, Enter), its place among the
// windows and the windows it disables while it waits.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ClassOf(HWND window) {
    char name[64];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length);
}

std::string TextOf(HWND window) {
    char text[256];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length);
}

// What the box showed while it waited.
struct Seen {
    std::string boxClass;
    bool topmost = false;
    HWND focus = nullptr;
    LRESULT defId = 0;
    std::vector<std::string> controls;
    std::vector<HWND> defaultButtons;
    std::vector<bool> enabledTopLevels;
};

class UserMessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "BoxOwner";
        ASSERT_NE(RegisterClassA(&wc), 0);
        main_ = MakeTopLevel("Main", 40);
        other_ = MakeTopLevel("Other", 400);
        SetActiveWindow(main_);
    }
    void TearDown() override { platform::ResetForTesting(); }

    static HWND MakeTopLevel(const char* title, int x) {
        return CreateWindowExA(0, "BoxOwner", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 40, 300,
                               200, nullptr, nullptr, nullptr, nullptr);
    }

    // Looks at the waiting box, then presses `key` as the user would.
    void WatchThenPress(BYTE key) {
        platform::QueueUserAction([this, key] {
            HWND box = GetActiveWindow();
            seen_.boxClass = ClassOf(box);
            seen_.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            seen_.focus = GetFocus();
            seen_.defId = SendMessageA(box, DM_GETDEFID, 0, 0);
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                seen_.controls.push_back(ClassOf(child) + ":" + TextOf(child));
                if (ClassOf(child) == "Button" &&
                    (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) {
                    seen_.defaultButtons.push_back(child);
                }
            }
            seen_.enabledTopLevels = {IsWindowEnabled(main_) != 0, IsWindowEnabled(other_) != 0};
            platform::TapKey(key);
        });
    }

    HWND main_ = nullptr;
    HWND other_ = nullptr;
    Seen seen_;
};

TEST_F(UserMessageBox, TheBoxIsADialogOfStaticsWhoseDefaultIsTheFirstButton) {
    WatchThenPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(main_, "Disk full", "Chart", MB_OKCANCEL | MB_ICONHAND), IDOK);
    EXPECT_EQ(seen_.boxClass, "#32770");
    EXPECT_FALSE(seen_.topmost) << "only when asked";
    ASSERT_EQ(seen_.controls.size(), 4u);
    EXPECT_EQ(seen_.controls[0], "STATIC:") << "the icon";
    EXPECT_EQ(seen_.controls[1], "STATIC:Disk full");
    EXPECT_EQ(seen_.controls[2], "Button:OK");
    ASSERT_EQ(seen_.defaultButtons.size(), 1u);
    EXPECT_EQ(seen_.focus, seen_.defaultButtons[0]);
    EXPECT_EQ(seen_.defId, MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(seen_.enabledTopLevels, (std::vector<bool>{false, true})) << "only the owner";
}

TEST_F(UserMessageBox, EnterPressesTheSecondButtonWhenItIsTheDefault) {
    WatchThenPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(main_, "Go on?", "Chart", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(seen_.defId, MAKELRESULT(IDCANCEL, DC_HASDEFID));
    ASSERT_EQ(seen_.defaultButtons.size(), 1u);
    EXPECT_EQ(seen_.focus, seen_.defaultButtons[0]);

    WatchThenPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(main_, "Go on?", "Chart", MB_YESNO | MB_DEFBUTTON2), IDNO);
    WatchThenPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(main_, "Go on?", "Chart", MB_YESNO | MB_DEFBUTTON4), IDYES)
        << "a default beyond the buttons falls back to the first";
}

TEST_F(UserMessageBox, EnterPressesTheFocusedButtonAndEscapeCancels) {
    platform::QueueUserAction([] {
        platform::TapKey(VK_TAB);
        platform::TapKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(main_, "Go on?", "Chart", MB_YESNO), IDNO);
    WatchThenPress(VK_ESCAPE);
    EXPECT_EQ(MessageBoxA(main_, "Go on?", "Chart", MB_OK), IDOK);
}

TEST_F(UserMessageBox, TopmostOnlyWhenAskedAndTaskModalDisablesEveryTopLevel) {
    WatchThenPress(VK_RETURN);
    MessageBoxA(nullptr, "Note", "Chart", MB_OK | MB_TOPMOST);
    EXPECT_TRUE(seen_.topmost);
    EXPECT_EQ(seen_.enabledTopLevels, (std::vector<bool>{true, true})) << "no owner, none disabled";
    seen_ = {};
    WatchThenPress(VK_RETURN);
    MessageBoxA(nullptr, "Note", "Chart", MB_OK | MB_SYSTEMMODAL);
    EXPECT_TRUE(seen_.topmost);
    seen_ = {};
    WatchThenPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(nullptr, "Note", "Chart", MB_OK | MB_TASKMODAL), IDOK);
    EXPECT_FALSE(seen_.topmost);
    EXPECT_EQ(seen_.enabledTopLevels, (std::vector<bool>{false, false}));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(IsWindowEnabled(other_));
}

TEST_F(UserMessageBox, TheIconIsTheSystemsAndTheBoxShowsItsText) {
    HWND iconControl = nullptr;
    HICON shown = nullptr;
    platform::QueueUserAction([&] {
        HWND box = GetActiveWindow();
        iconControl = GetWindow(box, GW_CHILD);
        shown = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
        platform::TapKey(VK_RETURN);
    });
    MessageBoxA(main_, "Careful", "Chart", MB_OK | MB_ICONEXCLAMATION);
    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(shown, LoadIconA(nullptr, IDI_EXCLAMATION));
}

} // namespace
