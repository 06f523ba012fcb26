// What a display server reports (pointer, buttons, keys, focus, close
// requests, exposures, resizes) as the messages a program sees, checked on
// the headless screen without a server.

#include <windows.h>

#include "../backends/Backend.h"
#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

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
    HWND top = nullptr;
};

TEST_F(ScreenReports, PointerAndButtonsArriveInClientCoordinates) {
    HWND child = CreateWindowExA(0, "Watcher", "", WS_CHILD | WS_VISIBLE, 50, 60, 100, 100, top,
                                 nullptr, nullptr, nullptr);
    platform::screen::PointerMoved(top, {10, 20});
    platform::screen::ButtonChanged(top, {55, 65}, platform::screen::Button::Left, true);
    platform::screen::ButtonChanged(top, {55, 65}, platform::screen::Button::Left, false);
    platform::screen::ButtonChanged(top, {56, 66}, platform::screen::Button::Right, true);
    platform::screen::ButtonChanged(top, {56, 66}, platform::screen::Button::Right, false);
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

TEST_F(ScreenReports, KeysByCharacterUseTheLayoutAndCloseKeepsItsPlace) {
    SetFocus(top);
    platform::screen::CharacterKeyChanged(';', true);
    platform::screen::CharacterKeyChanged(';', false);
    platform::screen::KeyChanged(VK_SHIFT, true);
    platform::screen::CharacterKeyChanged(';', true);
    platform::screen::CharacterKeyChanged(';', false);
    platform::screen::KeyChanged(VK_SHIFT, false);
    platform::screen::CloseRequested(top);
    platform::RunUntilIdle();
    std::vector<Seen> chars;
    std::vector<UINT> order;
    for (const Seen& s : g_seen) {
        if (s.message == WM_CHAR) {
            chars.push_back(s);
        }
        if (s.message == WM_CHAR || s.message == WM_SYSCOMMAND || s.message == WM_CLOSE) {
            order.push_back(s.message);
        }
    }
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(';'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('+'));
    EXPECT_EQ(order, (std::vector<UINT>{WM_CHAR, WM_CHAR, WM_SYSCOMMAND, WM_CLOSE}));
    EXPECT_FALSE(IsWindow(top));
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

TEST_F(ScreenReports, ResizeByTheWindowManagerSizesTheClientArea) {
    RECT before;
    GetWindowRect(top, &before);
    platform::screen::ClientResized(top, {300, 200});
    RECT client;
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    RECT after;
    GetWindowRect(top, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(g_seen.back().lParam, MAKELPARAM(300, 200));
    g_seen.clear();
    platform::screen::ClientResized(top, {300, 200});
    EXPECT_TRUE(g_seen.empty());
}

} // namespace
