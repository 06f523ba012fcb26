// What a display server reports (pointer, buttons, keys, focus, close
// requests, exposures, resizes) as the messages a program sees, checked on
// the headless screen without a server.

#include <windows.h>

#include "../backends/Backend.h"
#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK WatchingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_SIZE:
    case WM_MOVE:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        g_seen.push_back({window, message, wParam, lParam});
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ScreenReports : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_seen.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = WatchingProc;
        wc.lpszClassName = "Watcher";
        ASSERT_NE(RegisterClassA(&wc), 0);
        top = CreateWindowExA(0, "Watcher", "Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 410,
                              309, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        platform::RunUntilIdle();
        g_seen.clear();
    }
    void TearDown() override { platform::ResetForTesting(); }

    std::vector<UINT> Messages() const {
        std::vector<UINT> out;
        for (const Seen& s : g_seen) {
            out.push_back(s.message);
        }
        return out;
    }
    // Where the client area starts in the window: reports from the screen
    // are in window coordinates, messages in client coordinates.
    POINT ClientOffset() const {
        RECT frame;
        GetWindowRect(top, &frame);
        POINT origin{0, 0};
        ClientToScreen(top, &origin);
        return {origin.x - frame.left, origin.y - frame.top};
    }
    POINT InWindow(POINT clientPoint) const {
        POINT offset = ClientOffset();
        return {clientPoint.x + offset.x, clientPoint.y + offset.y};
    }
    HWND top = nullptr;
};

TEST_F(ScreenReports, PointerAndButtonsFromWindowCoordinatesArriveInClientCoordinates) {
    HWND child = CreateWindowExA(0, "Watcher", "", WS_CHILD | WS_VISIBLE, 50, 60, 100, 100, top,
                                 nullptr, nullptr, nullptr);
    ASSERT_GT(ClientOffset().y, ClientOffset().x) << "a caption lies above the client area";
    platform::screen::PointerMoved(top, InWindow({10, 20}));
    platform::screen::ButtonChanged(top, InWindow({55, 65}), platform::screen::Button::Left, true);
    platform::screen::ButtonChanged(top, InWindow({55, 65}), platform::screen::Button::Left, false);
    platform::screen::ButtonChanged(top, InWindow({56, 66}), platform::screen::Button::Right, true);
    platform::screen::ButtonChanged(top, InWindow({56, 66}), platform::screen::Button::Right,
                                    false);
    platform::RunUntilIdle();
    std::vector<Seen> mouse;
    for (const Seen& s : g_seen) {
        if (s.message == WM_MOUSEMOVE || s.message == WM_LBUTTONDOWN || s.message == WM_RBUTTONUP) {
            mouse.push_back(s);
        }
    }
    ASSERT_EQ(mouse.size(), 5u);
    EXPECT_EQ(mouse[0].window, top);
    EXPECT_EQ(mouse[0].lParam, MAKELPARAM(10, 20));
    // A press away from the pointer moves it there first.
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(mouse[1].window, child);
    EXPECT_EQ(mouse[2].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouse[2].lParam, MAKELPARAM(5, 5));
    EXPECT_EQ(mouse[4].message, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(mouse[4].lParam, MAKELPARAM(6, 6));
    POINT cursor;
    GetCursorPos(&cursor);
    POINT expected = platform::ScreenPointOf(top, {56, 66});
    EXPECT_EQ(cursor.x, expected.x);
    EXPECT_EQ(cursor.y, expected.y);
    // A window that is gone reports nothing.
    DestroyWindow(child);
    platform::screen::PointerMoved(child, {1, 1});
    g_seen.clear();
    platform::RunUntilIdle();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScreenReports, KeysTypeWhatTheDisplaysMapSaysAndCloseKeepsItsPlace) {
    SetFocus(top);
    // A US map: the key right of 0 types '=' and, with Shift, '+'; the
    // platform's own layout would make '-' and '=' of the same key.
    platform::screen::KeyChanged(VK_OEM_PLUS, true, '=');
    platform::screen::KeyChanged(VK_OEM_PLUS, false, '=');
    platform::screen::KeyChanged(VK_SHIFT, true, 0);
    platform::screen::KeyChanged(VK_OEM_PLUS, true, '+');
    platform::screen::KeyChanged(VK_OEM_PLUS, false, '+');
    platform::screen::KeyChanged(VK_SHIFT, false, 0);
    // A double-byte character arrives lead byte first.
    platform::screen::KeyChanged(VK_PACKET, true, 0x82A0);
    platform::screen::KeyChanged(VK_PACKET, false, 0x82A0);
    // With Ctrl held the key makes its control character, whatever the map
    // says it types.
    platform::screen::KeyChanged(VK_CONTROL, true, 0);
    platform::screen::KeyChanged('A', true, 'a');
    platform::screen::KeyChanged('A', false, 'a');
    platform::screen::KeyChanged(VK_CONTROL, false, 0);
    platform::screen::CloseRequested(top);
    platform::RunUntilIdle();
    std::vector<WPARAM> chars;
    std::vector<UINT> order;
    for (const Seen& s : g_seen) {
        if (s.message == WM_CHAR) {
            chars.push_back(s.wParam);
        }
        if (s.message == WM_CHAR || s.message == WM_SYSCOMMAND || s.message == WM_CLOSE) {
            order.push_back(s.message);
        }
    }
    EXPECT_EQ(chars, (std::vector<WPARAM>{'=', '+', 0x82, 0xA0, 0x01}));
    EXPECT_EQ(order, (std::vector<UINT>{WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR, WM_SYSCOMMAND,
                                        WM_CLOSE}));
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(ScreenReports, TheWheelTurnsTheFocusWithTheScreenPointAndClimbsToTheParent) {
    HWND child = CreateWindowExA(0, "Watcher", "", WS_CHILD | WS_VISIBLE, 50, 60, 100, 100, top,
                                 nullptr, nullptr, nullptr);
    SetFocus(child);
    g_seen.clear();
    // The pointer is over the parent, not the focus: the focus turns.
    platform::screen::WheelTurned(top, InWindow({10, 20}), platform::screen::WheelAxis::Vertical,
                                  -WHEEL_DELTA);
    platform::screen::WheelTurned(top, InWindow({10, 20}), platform::screen::WheelAxis::Horizontal,
                                  WHEEL_DELTA);
    platform::RunUntilIdle();
    std::vector<Seen> wheel;
    for (const Seen& s : g_seen) {
        if (s.message == WM_MOUSEWHEEL || s.message == WM_MOUSEHWHEEL) {
            wheel.push_back(s);
        }
    }
    ASSERT_EQ(wheel.size(), 4u);
    const POINT screen = platform::ScreenPointOf(top, {10, 20});
    EXPECT_EQ(wheel[0].window, child);
    EXPECT_EQ(wheel[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), -WHEEL_DELTA);
    EXPECT_EQ(wheel[0].lParam, MAKELPARAM(screen.x, screen.y));
    // The child leaves it to DefWindowProc, which hands it to the parent.
    EXPECT_EQ(wheel[1].window, top);
    EXPECT_EQ(wheel[1].wParam, wheel[0].wParam);
    EXPECT_EQ(wheel[2].window, child);
    EXPECT_EQ(wheel[2].message, static_cast<UINT>(WM_MOUSEHWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[2].wParam), WHEEL_DELTA);
    EXPECT_EQ(wheel[3].window, top);
}

TEST_F(ScreenReports, TheWheelScrollsADroppedComboListByThreeRowsANotch) {
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10,
                                 10, 100, 120, top, nullptr, nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    for (int i = 0; i < 30; ++i) {
        std::string item = "Item " + std::to_string(i);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SetFocus(combo);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    platform::RunUntilIdle();
    ASSERT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 0);
    platform::screen::WheelTurned(top, InWindow({20, 20}), platform::screen::WheelAxis::Vertical,
                                  -WHEEL_DELTA);
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 3);
    // A fine wheel's part-notches add up to a whole one.
    for (int i = 0; i < 3; ++i) {
        platform::screen::WheelTurned(top, InWindow({20, 20}),
                                      platform::screen::WheelAxis::Vertical, WHEEL_DELTA / 3);
    }
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 0);
    EXPECT_NE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0) << "the list stays down";
}

TEST_F(ScreenReports, CloseRequestOfADisabledWindowIsIgnored) {
    EnableWindow(top, FALSE);
    platform::screen::CloseRequested(top);
    platform::RunUntilIdle();
    EXPECT_TRUE(IsWindow(top));
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(ScreenReports, FocusFromTheServerActivatesAndDeactivatesTheApplication) {
    HWND other = CreateWindowExA(0, "Watcher", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(GetActiveWindow(), other);
    g_seen.clear();
    platform::screen::FocusChanged(top, true);
    EXPECT_EQ(GetActiveWindow(), top);
    platform::screen::FocusChanged(other, false);
    EXPECT_EQ(GetActiveWindow(), top);
    platform::screen::FocusChanged(top, false);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    std::vector<Seen> app;
    for (const Seen& s : g_seen) {
        if (s.message == WM_ACTIVATEAPP && s.window == top) {
            app.push_back(s);
        }
    }
    ASSERT_EQ(app.size(), 1u);
    EXPECT_EQ(app[0].wParam, static_cast<WPARAM>(FALSE));
    platform::screen::FocusChanged(top, true);
    EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(ScreenReports, APlaceFromTheWindowManagerMovesAndSizesTheWindow) {
    const POINT offset = ClientOffset();
    // The window manager put the inside of the frame at (300, 250), 300 x 200.
    platform::screen::Placed(top, {300, 250, 600, 450});
    RECT client;
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(origin.x, 300);
    EXPECT_EQ(origin.y, 250);
    RECT after;
    GetWindowRect(top, &after);
    EXPECT_EQ(after.left, 300 - offset.x);
    // The border is as wide on the right as on the left.
    EXPECT_EQ(after.right - after.left, 300 + 2 * offset.x);
    bool moved = false;
    bool sized = false;
    for (const Seen& s : g_seen) {
        moved = moved || (s.message == WM_MOVE && s.lParam == MAKELPARAM(300, 250));
        sized = sized || (s.message == WM_SIZE && s.lParam == MAKELPARAM(300, 200));
    }
    EXPECT_TRUE(moved) << "WM_MOVE with the client area's new place";
    EXPECT_TRUE(sized);
    g_seen.clear();
    platform::screen::Placed(top, {300, 250, 600, 450});
    EXPECT_TRUE(g_seen.empty()) << "the same place again changes nothing";
}

TEST_F(ScreenReports, ThePlaceIncludesTheScrollBarsSoTheWindowKeepsTheSizeTheUserGave) {
    SetWindowLongA(top, GWL_STYLE, GetWindowLongA(top, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
    SetWindowPos(top, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    platform::screen::Placed(top, {100, 100, 400, 300});
    RECT client;
    GetClientRect(top, &client);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(client.right, 300 - bar);
    EXPECT_EQ(client.bottom, 200 - GetSystemMetrics(SM_CYHSCROLL));
    // The bars go: the client area takes their room, the window stays.
    RECT frame;
    GetWindowRect(top, &frame);
    SetWindowLongA(top, GWL_STYLE, GetWindowLongA(top, GWL_STYLE) & ~(WS_VSCROLL | WS_HSCROLL));
    SetWindowPos(top, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    RECT after;
    GetWindowRect(top, &after);
    EXPECT_EQ(after.right - after.left, frame.right - frame.left);
    EXPECT_EQ(after.bottom - after.top, frame.bottom - frame.top);
}

} // namespace
