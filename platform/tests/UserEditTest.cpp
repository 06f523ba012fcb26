// The single-line edit field: typing through the keyboard (double-byte
// characters included), the editing and moving keys, the text limit, the
// mouse, its notifications and its pixels.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<int> g_notifications;
// What the host answers to WM_CTLCOLOREDIT; no brush: the default answer.
HBRUSH g_editBrush = nullptr;
COLORREF g_editText = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        g_notifications.push_back(HIWORD(wParam));
        return 0;
    }
    if (message == WM_CTLCOLOREDIT && g_editBrush != nullptr) {
        SetTextColor(reinterpret_cast<HDC>(wParam), g_editText);
        return reinterpret_cast<LRESULT>(g_editBrush);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// "日本" in code page 932.
const std::string kNihon = "\x93\xfa\x96\x7b";

class UserEdit : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_notifications.clear();
        g_editBrush = nullptr;
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "EditHost";
        ASSERT_NE(RegisterClassA(&wc), 0);
        host_ = CreateWindowExA(0, "EditHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        if (g_editBrush != nullptr) {
            DeleteObject(g_editBrush);
        }
        platform::ResetForTesting();
    }

    HWND MakeEdit(DWORD style = ES_AUTOHSCROLL, int width = 150) {
        HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | style, 10, 10, width, 16,
                                    host_, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(5)),
                                    nullptr, nullptr);
        platform::RunUntilIdle();
        return edit;
    }
    static std::string Text(HWND edit) {
        char buffer[256];
        int length = GetWindowTextA(edit, buffer, sizeof buffer);
        return std::string(buffer, length);
    }
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    static int CountOf(int code) {
        int n = 0;
        for (int c : g_notifications) {
            n += c == code;
        }
        return n;
    }
    static void Tap(BYTE key, bool shift = false) {
        if (shift) {
            platform::PressKey(VK_SHIFT);
        }
        platform::TapKey(key);
        if (shift) {
            platform::ReleaseKey(VK_SHIFT);
        }
        platform::RunUntilIdle();
    }

    HWND host_ = nullptr;
};

TEST_F(UserEdit, TypedCharactersGoInWithUpdateThenChangeEachTime) {
    HWND edit = MakeEdit();
    SetFocus(edit);
    EXPECT_EQ(g_notifications, std::vector<int>{EN_SETFOCUS});
    g_notifications.clear();
    platform::TypeText("Key");
    platform::RunUntilIdle();
    EXPECT_EQ(Text(edit), "Key");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{3}, DWORD{3}));
    std::vector<int> expected;
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), {EN_UPDATE, EN_CHANGE});
    }
    EXPECT_EQ(g_notifications, expected);

    // Tab, Enter and Escape type nothing in a single-line field.
    g_notifications.clear();
    Tap(VK_TAB);
    Tap(VK_RETURN);
    Tap(VK_ESCAPE);
    EXPECT_EQ(Text(edit), "Key");
    EXPECT_TRUE(g_notifications.empty());

    SetFocus(host_);
    EXPECT_EQ(g_notifications, std::vector<int>{EN_KILLFOCUS});
}

TEST_F(UserEdit, DoubleByteCharactersGoInWholeAndLeaveWhole) {
    HWND edit = MakeEdit();
    SetFocus(edit);
    g_notifications.clear();
    platform::TypeText("A" + kNihon);
    platform::RunUntilIdle();
    EXPECT_EQ(Text(edit), "A" + kNihon);
    EXPECT_EQ(CountOf(EN_CHANGE), 3) << "one change per character, not per byte";

    Tap(VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{3}, DWORD{3}));
    Tap(VK_BACK);
    EXPECT_EQ(Text(edit), "A" + kNihon.substr(2));
    Tap(VK_DELETE);
    EXPECT_EQ(Text(edit), "A");

    // A selection never ends inside a character.
    SetWindowTextA(edit, kNihon.c_str());
    SendMessageA(edit, EM_SETSEL, 1, 3);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{2}));
}

TEST_F(UserEdit, SelectionKeysReplaceAndCollapse) {
    HWND edit = MakeEdit();
    SetWindowTextA(edit, "harmonica");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{0}));
    SetFocus(edit);
    Tap(VK_END);
    Tap(VK_LEFT, true);
    Tap(VK_LEFT, true);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{7}, DWORD{9}));
    // An arrow without Shift ends the selection at its side.
    Tap(VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{7}, DWORD{7}));
    Tap(VK_HOME, true);
    platform::TypeText("X");
    platform::RunUntilIdle();
    EXPECT_EQ(Text(edit), "Xca");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{3}));
    Tap(VK_DELETE);
    EXPECT_EQ(Text(edit), "");
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("blow"));
    EXPECT_EQ(Text(edit), "blow");
}

TEST_F(UserEdit, TheLimitStopsTypingWithABeepAndMaxText) {
    HWND edit = MakeEdit();
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 3);
    SetFocus(edit);
    g_notifications.clear();
    int beeps = platform::CountBeeps();
    platform::TypeText("ab" + kNihon.substr(0, 2) + "c");
    platform::RunUntilIdle();
    EXPECT_EQ(Text(edit), "abc") << "the double-byte character does not fit in one byte";
    EXPECT_EQ(platform::CountBeeps(), beeps + 1);
    EXPECT_EQ(CountOf(EN_MAXTEXT), 1);
    // The limit holds the user back, not the program.
    SetWindowTextA(edit, "longer than three");
    EXPECT_EQ(Text(edit), "longer than three");
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_GT(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFF0000);
}

TEST_F(UserEdit, WithoutAutoScrollTheFieldTakesOnlyWhatFits) {
    HWND narrow = MakeEdit(0, 30);
    SetFocus(narrow);
    platform::TypeText("WWWWWWWWWW");
    platform::RunUntilIdle();
    std::string kept = Text(narrow);
    EXPECT_LT(kept.size(), 10u);
    EXPECT_FALSE(kept.empty());

    HWND scrolling = MakeEdit(ES_AUTOHSCROLL, 30);
    SetFocus(scrolling);
    platform::TypeText("WWWWWWWWWW");
    platform::RunUntilIdle();
    EXPECT_EQ(Text(scrolling), "WWWWWWWWWW");
    // The caret stays in sight; the first characters scrolled out.
    auto caretX = static_cast<short>(LOWORD(SendMessageA(scrolling, EM_POSFROMCHAR, 10, 0)));
    EXPECT_GE(caretX, 0);
    EXPECT_LT(caretX, 30);
    EXPECT_LT(static_cast<short>(LOWORD(SendMessageA(scrolling, EM_POSFROMCHAR, 0, 0))), 0);
}

TEST_F(UserEdit, TheMousePlacesTheCaretDragsASelectionAndPicksAWord) {
    HWND edit = MakeEdit();
    SetWindowTextA(edit, "blow draw bend");
    auto xOf = [&](int index) {
        return static_cast<LONG>(
            static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, index, 0))));
    };
    platform::ClickAt(edit, {xOf(5) + 1, 8});
    platform::RunUntilIdle();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{5}, DWORD{5}));
    EXPECT_EQ(LOWORD(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(xOf(5) + 1, 8))), 5);

    platform::AdvanceClock(1000);
    platform::MoveMouse(platform::ScreenPointOf(edit, {xOf(1), 8}));
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(edit, {xOf(4), 8}));
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{1}, DWORD{4}));
    EXPECT_EQ(GetCapture(), nullptr);

    // Far enough in time from the last click, a double click selects the word.
    platform::AdvanceClock(1000);
    platform::ClickAt(edit, {xOf(11), 8});
    platform::ClickAt(edit, {xOf(11), 8});
    platform::RunUntilIdle();
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{10}, DWORD{14}));
}

TEST_F(UserEdit, PaintsInTheParentsColoursWithCaretAndSelectionWhileFocused) {
    g_editBrush = CreateSolidBrush(RGB(255, 255, 0));
    g_editText = RGB(0, 0, 255);
    HWND edit = MakeEdit();
    SetWindowTextA(edit, "Key");
    platform::RunUntilIdle();
    platform::WindowImage image = platform::CaptureWindow(edit, platform::WindowArea::Client);
    ASSERT_EQ(image.width, 150);
    int textPixels = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            // The yellow brush, the blue text, and blends of the two.
            COLORREF c = image.At(x, y);
            ASSERT_LE(std::abs(GetRValue(c) - GetGValue(c)), 2) << x << "," << y;
            ASSERT_LE(std::abs(GetRValue(c) + GetBValue(c) - 255), 3) << x << "," << y;
            textPixels += c != RGB(255, 255, 0);
        }
    }
    EXPECT_GT(textPixels, 10);
    EXPECT_EQ(image.At(140, 8), RGB(255, 255, 0));

    // Focused, with the caret at the end of a selection of the whole text.
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    platform::RunUntilIdle();
    int caretX = static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 3, 0)));
    image = platform::CaptureWindow(edit, platform::WindowArea::Client);
    EXPECT_EQ(image.At(2, 0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(image.At(caretX, 1), RGB(0, 0, 255)) << "the caret inverts the yellow";
    EXPECT_EQ(image.At(caretX + 3, 1), RGB(255, 255, 0));

    // Without the focus the selection and the caret are not shown.
    SetFocus(host_);
    platform::RunUntilIdle();
    image = platform::CaptureWindow(edit, platform::WindowArea::Client);
    EXPECT_EQ(image.At(2, 0), RGB(255, 255, 0));
    EXPECT_EQ(image.At(caretX, 1), RGB(255, 255, 0));
}

} // namespace
