// The thread's hooks (CBT, keyboard, mouse, message), what GetQueueStatus
// tells of new arrivals, TranslateMessage's answer, window properties listed,
// focus refused to a disabled window, and the DC's modes and clip offset.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;
HHOOK g_first = nullptr;
HHOOK g_second = nullptr;
WNDPROC g_classProc = nullptr;
LRESULT g_cbtAnswer = 0;
bool g_swallowKeys = false;

LRESULT CALLBACK Logged(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE || message == WM_CREATE) {
        g_log.push_back(message == WM_NCCREATE ? "sub WM_NCCREATE" : "sub WM_CREATE");
    }
    return CallWindowProcA(g_classProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto window = reinterpret_cast<HWND>(wParam);
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        g_log.push_back("cbt create " + std::to_string(cbt->lpcs->cx) +
                        " window=" + std::to_string(IsWindow(window)));
        g_classProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Logged)));
        return g_cbtAnswer;
    }
    if (code == HCBT_SETFOCUS) {
        g_log.push_back("cbt focus");
        return g_cbtAnswer;
    }
    return CallNextHookEx(g_first, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    g_log.push_back("key " + std::to_string(code) + " " + std::to_string(wParam));
    if (g_swallowKeys) {
        return 1;
    }
    return CallNextHookEx(g_first, code, wParam, lParam);
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* mouse = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
    g_log.push_back("mouse " + std::to_string(wParam) + " at " + std::to_string(mouse->pt.x));
    return CallNextHookEx(g_first, code, wParam, lParam);
}

// The older of two message hooks: counts; the newer one rewrites WM_USER+1.
LRESULT CALLBACK OlderMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    g_log.push_back("older " + std::to_string(msg->message - WM_USER));
    return CallNextHookEx(g_first, code, wParam, lParam);
}

LRESULT CALLBACK NewerMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_USER + 1) {
        msg->message = WM_USER + 2;
    }
    return CallNextHookEx(g_second, code, wParam, lParam);
}

std::vector<UINT> g_received;
LRESULT CALLBACK Receiver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class UserHooksAndQueue : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_log.clear();
        g_received.clear();
        g_cbtAnswer = 0;
        g_swallowKeys = false;
        WNDCLASSA wc{};
        wc.lpfnWndProc = Receiver;
        wc.lpszClassName = "Receiver";
        ASSERT_NE(RegisterClassA(&wc), 0);
        top_ = CreateWindowExA(0, "Receiver", "Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                               200, nullptr, nullptr, nullptr, nullptr);
        platform::RunUntilIdle();
        g_received.clear();
    }
    void TearDown() override {
        for (HHOOK hook : {g_first, g_second}) {
            if (hook) {
                UnhookWindowsHookEx(hook);
            }
        }
        g_first = g_second = nullptr;
        platform::ResetForTesting();
    }
    HWND Child() {
        return CreateWindowExA(0, "Receiver", "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 30, top_,
                               nullptr, nullptr, nullptr);
    }
    HWND top_ = nullptr;
};

TEST_F(UserHooksAndQueue, ACbtHookMeetsTheWindowBeforeItsFirstMessageAndMayRefuseIt) {
    g_first = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_first, nullptr);
    HWND child = Child();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"cbt create 40 window=1", "sub WM_NCCREATE",
                                               "sub WM_CREATE"}));
    g_log.clear();
    g_cbtAnswer = 1;
    std::size_t before = platform::CountLiveWindows();
    EXPECT_EQ(Child(), nullptr) << "the hook refused it";
    EXPECT_EQ(platform::CountLiveWindows(), before);
    EXPECT_EQ(SetFocus(child), nullptr) << "the hook refused the focus";
    EXPECT_NE(GetFocus(), child);
    EXPECT_TRUE(UnhookWindowsHookEx(g_first));
    EXPECT_FALSE(UnhookWindowsHookEx(g_first)) << "gone already";
    g_first = nullptr;
    g_log.clear();
    EXPECT_NE(Child(), nullptr);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(SetWindowsHookExA(99, CbtHook, nullptr, 0), nullptr);
}

TEST_F(UserHooksAndQueue, KeyboardAndMouseHooksSeeTakenInputAndMaySwallowKeys) {
    g_first = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, 0);
    g_second = SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, 0);
    SetFocus(top_);
    platform::TapKey('A');
    platform::RunUntilIdle();
    EXPECT_EQ(g_log, (std::vector<std::string>{"key 0 65", "key 0 65"})) << "down and up";
    EXPECT_EQ(std::count(g_received.begin(), g_received.end(), WM_CHAR), 1);
    g_log.clear();
    g_received.clear();
    g_swallowKeys = true;
    platform::TapKey('B');
    platform::RunUntilIdle();
    EXPECT_EQ(g_log.size(), 2u);
    EXPECT_EQ(std::count(g_received.begin(), g_received.end(), WM_KEYDOWN), 0) << "swallowed";
    g_log.clear();
    platform::ClickAt(top_, {20, 20});
    platform::RunUntilIdle();
    ASSERT_FALSE(g_log.empty());
    POINT screen = platform::ScreenPointOf(top_, {20, 20});
    EXPECT_NE(
        std::find(g_log.begin(), g_log.end(),
                  "mouse " + std::to_string(WM_LBUTTONDOWN) + " at " + std::to_string(screen.x)),
        g_log.end());
}

TEST_F(UserHooksAndQueue, MessageHooksChainNewestFirstAndMayChangeTheMessage) {
    g_first = SetWindowsHookExA(WH_GETMESSAGE, OlderMessageHook, nullptr, 0);
    g_second = SetWindowsHookExA(WH_GETMESSAGE, NewerMessageHook, nullptr, 0);
    PostMessageA(top_, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER + 5, PM_NOREMOVE));
    ASSERT_TRUE(GetMessageA(&msg, nullptr, WM_USER, WM_USER + 5));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(g_log, (std::vector<std::string>{"older 2", "older 2"}));
}

TEST_F(UserHooksAndQueue, QueueStatusTellsWhatArrivedSinceTheLastLook) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
    PostMessageA(top_, WM_USER, 0, 0);
    InvalidateRect(top_, nullptr, TRUE);
    DWORD status = GetQueueStatus(QS_ALLINPUT);
    EXPECT_EQ(LOWORD(status), QS_POSTMESSAGE | QS_PAINT);
    EXPECT_EQ(HIWORD(status), QS_POSTMESSAGE | QS_PAINT);
    status = GetQueueStatus(QS_ALLINPUT);
    EXPECT_EQ(LOWORD(status), QS_POSTMESSAGE | QS_PAINT) << "still there";
    EXPECT_EQ(HIWORD(status), 0u) << "but no news";
    PostMessageA(top_, WM_USER, 0, 0);
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_PAINT)), 0u) << "only the kinds asked for";
    platform::TapKey('C');
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_ALLINPUT)), QS_KEY);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PostMessageA(top_, WM_USER, 0, 0);
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_ALLINPUT)), QS_POSTMESSAGE) << "peeking looked";
}

TEST_F(UserHooksAndQueue, TranslateMessageAnswersForEveryKeyboardMessage) {
    MSG down{top_, WM_KEYDOWN, VK_DOWN, 0x00500001, 0, {}};
    MSG up{top_, WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001), 0, {}};
    MSG character{top_, WM_CHAR, 'a', 0x001E0001, 0, {}};
    MSG other{top_, WM_USER, 0, 0, 0, {}};
    EXPECT_TRUE(TranslateMessage(&down)) << "though no character follows";
    EXPECT_TRUE(TranslateMessage(&up));
    EXPECT_TRUE(TranslateMessage(&character));
    EXPECT_FALSE(TranslateMessage(&other));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE)) << "no character";
}

BOOL CALLBACK ListProperty(HWND, LPCSTR name, HANDLE data) {
    g_log.push_back(std::string(name) + "=" + std::to_string(reinterpret_cast<ULONG_PTR>(data)));
    return g_log.size() < 5;
}

TEST_F(UserHooksAndQueue, PropertiesAreListedByNameAndWindowsAreAnsi) {
    EXPECT_EQ(EnumPropsA(top_, ListProperty), -1) << "none yet";
    ATOM atom = GlobalAddAtomA("ByAtom");
    SetPropA(top_, MAKEINTATOM(atom), reinterpret_cast<HANDLE>(7));
    SetPropA(top_, "ByName", reinterpret_cast<HANDLE>(9));
    EXPECT_EQ(EnumPropsA(top_, ListProperty), TRUE);
    std::sort(g_log.begin(), g_log.end());
    EXPECT_EQ(g_log, (std::vector<std::string>{"ByAtom=7", "ByName=9"}));
    EXPECT_FALSE(IsWindowUnicode(top_));
    RemovePropA(top_, MAKEINTATOM(atom));
    RemovePropA(top_, "ByName");
    GlobalDeleteAtom(atom);
}

TEST_F(UserHooksAndQueue, ADisabledWindowOrOneInsideItCannotTakeTheFocus) {
    HWND child = Child();
    SetFocus(child);
    HWND other = Child();
    EnableWindow(other, FALSE);
    EXPECT_EQ(SetFocus(other), nullptr);
    EXPECT_EQ(GetFocus(), child);
    HWND inner = CreateWindowExA(0, "Receiver", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, other,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(SetFocus(inner), nullptr);
    EXPECT_EQ(GetFocus(), child);
}

TEST_F(UserHooksAndQueue, TheDcCountsInPixelsAndItsClipMoves) {
    HDC dc = GetDC(top_);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    EXPECT_EQ(OffsetClipRgn(dc, 1, 1), NULLREGION) << "no clip region to move";
    IntersectClipRect(dc, 10, 10, 20, 20);
    EXPECT_EQ(OffsetClipRgn(dc, 5, -5), SIMPLEREGION);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 15);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 25);
    EXPECT_EQ(box.bottom, 15);
    ReleaseDC(top_, dc);
    EXPECT_EQ(GetMapMode(nullptr), 0);
}

} // namespace
