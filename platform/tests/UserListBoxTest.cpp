// The "LISTBOX" class as a program and its user meet it: LB_ messages and
// their answers, clicks and keys with the parent's notifications, scrolling,
// and the rows it shows.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> g_notes;
// The selection the list reported when each note arrived.
std::vector<LRESULT> g_selectionAtNote;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0) {
        g_notes.push_back(HIWORD(wParam));
        g_selectionAtNote.push_back(
            SendMessageA(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class UserListBox : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_notes.clear();
        g_selectionAtNote.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ListParent";
        ASSERT_NE(RegisterClassA(&wc), 0);
        parent = CreateWindowExA(0, "ListParent", "Keys", WS_OVERLAPPEDWINDOW, 50, 50, 300, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        ShowWindow(parent, SW_SHOW);
    }
    void TearDown() override { platform::ResetForTesting(); }

    HWND List(DWORD style, int height = 100) {
        HWND list =
            CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | style, 10, 10,
                            150, height, parent, reinterpret_cast<HMENU>(42), nullptr, nullptr);
        for (const char* key : {"G", "A-", "A", "B-", "B", "C", "D-", "D", "E-", "E", "F", "F+"}) {
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key));
        }
        platform::RunUntilIdle();
        return list;
    }
    static std::string Text(HWND list, int index) {
        char buffer[32] = "untouched";
        LRESULT length = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
        return length < 0 ? std::string("error") : std::string(buffer);
    }
    static int ItemHeight(HWND list) {
        return static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    }

    HWND parent = nullptr;
};

TEST_F(UserListBox, ItemsAnswerInTheOrderTheyCameAndSortedWhenAsked) {
    HWND plain = List(LBS_NOTIFY);
    EXPECT_EQ(SendMessageA(plain, LB_GETCOUNT, 0, 0), 12);
    EXPECT_EQ(Text(plain, 0), "G");
    EXPECT_EQ(Text(plain, 11), "F+");
    EXPECT_EQ(Text(plain, 12), "error");
    EXPECT_EQ(SendMessageA(plain, LB_GETTEXTLEN, 3, 0), 2);
    EXPECT_EQ(SendMessageA(plain, LB_GETTEXTLEN, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(plain, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("b")),
              4)
        << "exact, ignoring case";
    EXPECT_EQ(
        SendMessageA(plain, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("B")),
        3)
        << "a prefix finds B- first";
    EXPECT_EQ(SendMessageA(plain, LB_FINDSTRING, 3, reinterpret_cast<LPARAM>("B")), 4)
        << "the search starts after the given item";
    EXPECT_EQ(SendMessageA(plain, LB_DELETESTRING, 0, 0), 11);
    EXPECT_EQ(Text(plain, 0), "A-");
    EXPECT_EQ(SendMessageA(plain, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("X")), 1);
    EXPECT_EQ(Text(plain, 1), "X");
    EXPECT_EQ(SendMessageA(plain, LB_SETITEMDATA, 1, 77), LB_OKAY);
    EXPECT_EQ(SendMessageA(plain, LB_GETITEMDATA, 1, 0), 77);

    HWND sorted = List(LBS_SORT);
    std::vector<std::string> order;
    for (int i = 0; i < 12; ++i) {
        order.push_back(Text(sorted, i));
    }
    std::vector<std::string> expected{"A",  "A-", "B",  "B-", "C",  "D",
                                      "D-", "E",  "E-", "F",  "F+", "G"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(SendMessageA(sorted, LB_RESETCONTENT, 0, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(sorted, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(UserListBox, AProgramsSelectionIsToldToNoOneAndFollowsDeletions) {
    HWND list = List(LBS_NOTIFY);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 4, 0), 4);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "out of range clears it";
    SendMessageA(list, LB_SETCURSEL, 4, 0);
    SendMessageA(list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3) << "the same item, one up";
    SendMessageA(list, LB_DELETESTRING, 3, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "the item went";
    EXPECT_TRUE(g_notes.empty());
}

TEST_F(UserListBox, AClickSelectsTheRowAndTellsTheParent) {
    HWND list = List(LBS_NOTIFY);
    const int row = ItemHeight(list);
    ASSERT_GT(row, 0);
    platform::ClickAt(list, {20, row * 2 + row / 2});
    platform::RunUntilIdle();
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    std::vector<int> notes{LBN_SETFOCUS, LBN_SELCHANGE};
    EXPECT_EQ(g_notes, notes);
    EXPECT_EQ(g_selectionAtNote.back(), 2) << "already selected when the parent hears";

    g_notes.clear();
    platform::ClickAt(list, {20, row * 2 + row / 2});
    platform::RunUntilIdle();
    EXPECT_EQ(g_notes, std::vector<int>{LBN_DBLCLK}) << "the same row again: no change";

    g_notes.clear();
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    platform::ClickAt(list, {20, 5});
    platform::RunUntilIdle();
    EXPECT_TRUE(g_notes.empty()) << "an empty list selects nothing";
}

TEST_F(UserListBox, KeysStepTheSelectionAndScrollItIntoView) {
    HWND list = List(LBS_NOTIFY | WS_VSCROLL, 80);
    SetFocus(list);
    g_notes.clear();
    platform::TapKey(VK_DOWN);
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "from the caret on the first row";
    EXPECT_EQ(g_notes, std::vector<int>{LBN_SELCHANGE});
    platform::TapKey(VK_END);
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 11);
    RECT client;
    GetClientRect(list, &client);
    const int shown = client.bottom / ItemHeight(list);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12 - shown) << "the last row shows";
    SCROLLINFO info{sizeof info, SIF_POS | SIF_RANGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    EXPECT_EQ(info.nPos, 12 - shown);
    EXPECT_EQ(info.nMax, 11);
    platform::TapKey(VK_HOME);
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    g_notes.clear();
    platform::TypeText("e");
    platform::RunUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 8) << "the first item beginning with E";
    EXPECT_EQ(g_notes, std::vector<int>{LBN_SELCHANGE});
    g_notes.clear();
    SetFocus(parent);
    EXPECT_EQ(g_notes, std::vector<int>{LBN_KILLFOCUS});
}

TEST_F(UserListBox, TheSelectedRowShowsInTheHighlightColours) {
    HWND list = List(0);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    platform::RunUntilIdle();
    const int row = ItemHeight(list);
    platform::WindowImage image = platform::CaptureWindow(list, platform::WindowArea::Client);
    EXPECT_EQ(image.At(image.width - 3, row + 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(image.At(image.width - 3, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(image.At(image.width - 3, row * 2 + 1), GetSysColor(COLOR_WINDOW));
    int highlightText = 0;
    for (int y = row; y < row * 2; ++y) {
        for (int x = 0; x < 20; ++x) {
            highlightText += image.At(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT) ? 1 : 0;
        }
    }
    EXPECT_GT(highlightText, 0) << "the item's text in the highlight text colour";
}

TEST_F(UserListBox, ItemGeometryAnswersWhereTheRowsAre) {
    HWND list = List(0);
    const int row = ItemHeight(list);
    RECT item{};
    EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)), LB_OKAY);
    EXPECT_EQ(item.top, 2 * row);
    EXPECT_EQ(item.bottom, 3 * row);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 99, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 3 * row + 1));
    EXPECT_EQ(LOWORD(hit), 3);
    EXPECT_EQ(HIWORD(hit), 0);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 20), LB_OKAY);
    EXPECT_EQ(ItemHeight(list), 20);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 0), LB_ERR);
}

} // namespace
