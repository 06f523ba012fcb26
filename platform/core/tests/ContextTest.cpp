// A fresh platform knows nothing of the last one: the handles a program held
// before the reset are stale afterwards, and the new platform works whole.

#include "../Context.h"

#include "platform/Testing.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

HWND MakeWindow(const char* title) {
    WNDCLASSA info{};
    info.lpfnWndProc = DefWindowProcA;
    info.lpszClassName = "ContextTestWindow";
    RegisterClassA(&info);
    return CreateWindowExA(0, "ContextTestWindow", title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                           nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST(ContextTest, EveryCallReachesTheContextOfTheLastReset) {
    platform::ResetForTesting();
    platform::Context* first = &platform::Ctx();
    EXPECT_EQ(&platform::Ctx(), first);
    platform::ResetForTesting();
    platform::Context* second = &platform::Ctx();
    EXPECT_NE(second, first) << "the fresh context is made before the old one goes";
    EXPECT_EQ(&platform::Ctx(), second);
}

TEST(ContextTest, AFreshPlatformForgetsTheHandlesOfTheLastOne) {
    platform::ResetForTesting();
    HWND window = MakeWindow("First");
    ASSERT_NE(window, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));

    platform::ResetForTesting();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 0u);

    HWND second = MakeWindow("Second");
    ASSERT_NE(second, nullptr);
    char title[16] = {};
    EXPECT_EQ(GetWindowTextA(second, title, sizeof title), 6);
    EXPECT_STREQ(title, "Second");
    EXPECT_TRUE(DestroyWindow(second));
    platform::ResetForTesting();
}
