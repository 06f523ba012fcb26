// The system combo box: its class record, items and CB_ answers, its
// geometry, the drop-down list worked with the mouse and the keyboard, the
// CBN_ notifications in Windows' order, owner drawing, and its pixels.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<int> g_notes;
// What the host saw during each CBN_SELCHANGE: the selection and the text.
std::vector<std::pair<LRESULT, std::string>> g_atSelChange;
std::function<void(HWND combo, int code)> g_onNote;
int g_hostPresses = 0;
// The owner-draw messages: item ids measured, and (id, state) drawn.
UINT g_measuredHeight = 20;
std::vector<int> g_measured;
std::vector<std::pair<int, UINT>> g_drawn;

std::string WindowText(HWND window) {
    char buffer[256];
    int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, length);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        auto combo = reinterpret_cast<HWND>(lParam);
        int code = HIWORD(wParam);
        g_notes.push_back(code);
        if (code == CBN_SELCHANGE) {
            g_atSelChange.emplace_back(SendMessageA(combo, CB_GETCURSEL, 0, 0), WindowText(combo));
        }
        if (g_onNote) {
            g_onNote(combo, code);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        ++g_hostPresses;
        return 0;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        g_measured.push_back(static_cast<int>(measure->itemID));
        measure->itemHeight = g_measuredHeight;
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        g_drawn.emplace_back(static_cast<int>(draw->itemID), draw->itemState);
        FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_BTNSHADOW));
        return TRUE;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

const char* const kKeys[] = {"G", "A-", "A", "B-", "B", "C", "D-", "D", "E-", "E", "F", "F+"};

class UserComboBox : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        g_notes.clear();
        g_atSelChange.clear();
        g_onNote = nullptr;
        g_hostPresses = 0;
        g_measured.clear();
        g_drawn.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ComboHost";
        ASSERT_NE(RegisterClassA(&wc), 0);
        host_ = CreateWindowExA(0, "ComboHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80,
                                410, 309, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        g_onNote = nullptr;
        platform::ResetForTesting();
    }

    // A combo box made as the library makes its own: 3-D, with a list that
    // scrolls, sized to show `rows` rows when it is down.
    HWND MakeCombo(DWORD kind = CBS_DROPDOWN, int rows = 8, DWORD extra = 0) {
        HWND combo = CreateWindowExA(
            WS_EX_CLIENTEDGE, "COMBOBOX", "",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | kind | extra,
            20, 10, 120, 25, host_, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(7)), nullptr,
            nullptr);
        RECT box;
        GetWindowRect(combo, &box);
        auto itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        SetWindowPos(combo, nullptr, 0, 0, 120, rows * itemHeight + (box.bottom - box.top) + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        platform::RunUntilIdle();
        return combo;
    }
    static void AddKeys(HWND combo) {
        for (const char* key : kKeys) {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key));
        }
    }
    static std::string ItemText(HWND combo, int index) {
        char buffer[64];
        LRESULT length = SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
        return length == CB_ERR ? "<error>" : std::string(buffer, length);
    }
    static HWND DroppedList() { return platform::FindVisibleTopLevel("ComboLBox"); }
    static POINT ButtonCentre(HWND combo) {
        RECT client;
        GetClientRect(combo, &client);
        return {client.right - 10, client.bottom / 2};
    }
    static POINT RowCentre(HWND combo, int row) {
        auto height = static_cast<LONG>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        return {20, row * height + height / 2};
    }
    static void Run() { platform::RunUntilIdle(); }

    HWND host_ = nullptr;
};

TEST_F(UserComboBox, TheClassesAreTheSystemsWithWindowsRecords) {
    WNDCLASSA combo{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "COMBOBOX", &combo));
    EXPECT_EQ(combo.style,
              UINT{CS_GLOBALCLASS | CS_PARENTDC | CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW});
    EXPECT_EQ(combo.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    WNDCLASSA fromModule{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "ComboBox", &fromModule));
    EXPECT_EQ(fromModule.lpfnWndProc, combo.lpfnWndProc);
    WNDCLASSA edit{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &edit));
    EXPECT_EQ(edit.hCursor, LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_TRUE(GetClassInfoA(nullptr, "ComboLBox", &edit));

    // A class copied from it, as a library wraps a system class, makes combo
    // boxes whose own procedure passes messages on to the system's.
    static WNDPROC systemProc = combo.lpfnWndProc;
    combo.style = (combo.style & ~0x40E0u) | CS_VREDRAW | CS_HREDRAW;
    combo.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) {
        return CallWindowProcA(systemProc, w, m, wp, lp);
    };
    combo.lpszClassName = "TComboBox";
    ASSERT_NE(RegisterClassA(&combo), 0);
    HWND wrapped = CreateWindowExA(0, "TComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 0,
                                   100, 100, host_, nullptr, nullptr, nullptr);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(SendMessageA(wrapped, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("G")), 0);
    EXPECT_EQ(GetDlgCtrlID(GetWindow(wrapped, GW_CHILD)), 1001);
}

TEST_F(UserComboBox, ItemsAnswerTheirMessagesAndErrors) {
    HWND combo = MakeCombo();
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    AddKeys(combo);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 12);
    EXPECT_EQ(ItemText(combo, 11), "F+");
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 1, 0), 2);
    EXPECT_EQ(ItemText(combo, 12), "<error>");
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, -1, 0), CB_ERR);

    EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
    EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, -1, reinterpret_cast<LPARAM>("last")), 13);
    EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 20, reinterpret_cast<LPARAM>("x")), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 13);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 13, 0), CB_ERR);

    // Finding is case-blind; a prefix search starts after the given item and wraps.
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, -1, reinterpret_cast<LPARAM>("a")), 1);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 1, reinterpret_cast<LPARAM>("a")), 2);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 11, reinterpret_cast<LPARAM>("g")), 0);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("e")), 9);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("H")), CB_ERR);

    // Selecting by program tells the parent nothing and shows the item's text.
    g_notes.clear();
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>("d")), 6);
    EXPECT_EQ(WindowText(combo), "D-");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), 5);
    EXPECT_EQ(WindowText(combo), "C");
    EXPECT_TRUE(g_notes.empty());
    // The selection follows the deletions before it and goes with its item.
    SendMessageA(combo, CB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4);
    SendMessageA(combo, CB_DELETESTRING, 4, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 40, 0), CB_ERR);

    EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 3, 0x1234), TRUE);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 3, 0), 0x1234);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 30, 0), CB_ERR);

    SetWindowTextA(combo, "typed");
    EXPECT_EQ(SendMessageA(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(WindowText(combo), "") << "resetting empties the edit field";
    EXPECT_TRUE(g_notes.empty());
}

TEST_F(UserComboBox, ASortedBoxAddsAtTheSortedPlaceButInsertsWhereTold) {
    HWND combo = MakeCombo(CBS_DROPDOWN, 8, CBS_SORT);
    for (const char* text : {"draw", "Blow", "bend", "Overblow"}) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c")), 2);
    EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("z")), 0);
    std::vector<std::string> items;
    for (int i = 0; i < 6; ++i) {
        items.push_back(ItemText(combo, i));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"z", "bend", "Blow", "c", "draw", "Overblow"}));
}

TEST_F(UserComboBox, TheWindowsChildrenAndHeightFollowTheStyle) {
    HWND dropDown = MakeCombo(CBS_DROPDOWN);
    auto field = static_cast<LONG>(SendMessageA(dropDown, CB_GETITEMHEIGHT, -1, 0));
    auto row = static_cast<LONG>(SendMessageA(dropDown, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GT(row, 8);
    RECT box;
    GetWindowRect(dropDown, &box);
    EXPECT_EQ(box.bottom - box.top, field + 6) << "the field, a pixel of room and the 3-D edge";
    RECT dropped;
    SendMessageA(dropDown, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, field + 6 + 8 * row + 2);
    EXPECT_FALSE(GetWindowLongA(dropDown, GWL_STYLE) & WS_VSCROLL) << "the list scrolls";
    HWND edit = GetWindow(dropDown, GW_CHILD);
    EXPECT_EQ(GetDlgCtrlID(edit), 1001);
    EXPECT_EQ(GetWindow(edit, GW_HWNDNEXT), nullptr);

    HWND simple = MakeCombo(CBS_SIMPLE);
    HWND list = GetWindow(simple, GW_CHILD);
    char name[32];
    GetClassNameA(list, name, sizeof name);
    EXPECT_EQ(std::string(name), "ComboLBox");
    EXPECT_EQ(GetDlgCtrlID(list), 1000);
    EXPECT_EQ(GetDlgCtrlID(GetWindow(list, GW_HWNDNEXT)), 1001);
    EXPECT_TRUE(IsWindowVisible(list));

    HWND selectOnly = MakeCombo(CBS_DROPDOWNLIST);
    EXPECT_EQ(GetWindow(selectOnly, GW_CHILD), nullptr);
    EXPECT_EQ(SendMessageA(selectOnly, CB_LIMITTEXT, 10, 0), CB_ERR);
}

TEST_F(UserComboBox, ClickingTheButtonDropsTheListAndClickingAnItemPicksIt) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    EXPECT_EQ(GetFocus(), GetWindow(combo, GW_CHILD)) << "the edit field took the focus";
    EXPECT_EQ(GetActiveWindow(), host_) << "the list never takes the activation";
    EXPECT_EQ(GetCapture(), list);
    RECT box;
    RECT shown;
    GetWindowRect(combo, &box);
    GetWindowRect(list, &shown);
    auto row = static_cast<LONG>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(shown.left, box.left);
    EXPECT_EQ(shown.top, box.bottom);
    EXPECT_EQ(shown.right, box.right);
    EXPECT_EQ(shown.bottom - shown.top, 8 * row + 2) << "eight rows in a border";
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "twelve items need a scroll bar";
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN}));

    g_notes.clear();
    platform::ClickAt(list, RowCentre(combo, 2));
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    ASSERT_EQ(g_atSelChange.size(), 1u);
    EXPECT_EQ(g_atSelChange[0].first, 2);
    EXPECT_EQ(g_atSelChange[0].second, "") << "the edit field shows the item after telling";
    EXPECT_EQ(WindowText(combo), "A");
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(UserComboBox, PressDragAndReleasePicksInOneGesture) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    AddKeys(combo);
    platform::MoveMouse(platform::ScreenPointOf(combo, {10, 5}));
    platform::PressMouse(platform::MouseButton::Left);
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetCapture(), combo) << "the box follows the held press";
    platform::MoveMouse(platform::ScreenPointOf(list, RowCentre(combo, 3)));
    platform::ReleaseMouse(platform::MouseButton::Left);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(WindowText(combo), "B-");
    EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(UserComboBox, APressOutsideClosesTheListWithoutAChoiceAndIsEaten) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SendMessageA(combo, CB_SETCURSEL, 5, 0);
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    // Hovering highlights a row but chooses nothing.
    platform::MoveMouse(platform::ScreenPointOf(list, RowCentre(combo, 6)));
    g_notes.clear();
    platform::ClickAt(host_, {300, 200});
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_EQ(g_hostPresses, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 5);
    EXPECT_FALSE(IsWindowVisible(list));

    // The button closes the list it opened.
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    ASSERT_NE(DroppedList(), nullptr);
    platform::AdvanceClock(1000);
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    EXPECT_EQ(DroppedList(), nullptr);
}

TEST_F(UserComboBox, ArrowsOnAClosedBoxEndTheChoiceAndChangeItEvenAtTheEnds) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SetFocus(combo);
    HWND edit = GetWindow(combo, GW_CHILD);
    EXPECT_EQ(GetFocus(), edit);
    // What the host sees at each notification: the selection and the field.
    std::vector<std::pair<LRESULT, std::string>> seen;
    g_onNote = [&](HWND box, int) {
        seen.emplace_back(SendMessageA(box, CB_GETCURSEL, 0, 0), WindowText(box));
    };
    g_notes.clear();
    platform::TapKey(VK_DOWN);
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}));
    EXPECT_EQ(seen, (std::vector<std::pair<LRESULT, std::string>>{{0, ""}, {0, ""}}))
        << "the selection is new, the field still old";
    EXPECT_EQ(WindowText(combo), "G");
    g_notes.clear();
    seen.clear();
    platform::TapKey(VK_UP);
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}))
        << "told although the first item cannot move up";
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);

    platform::TapKey(VK_END);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0) << "End moves the edit's caret";
    SendMessageA(combo, CB_SETCURSEL, 10, 0);
    g_notes.clear();
    seen.clear();
    platform::TapKey(VK_DOWN);
    platform::TapKey(VK_DOWN);
    Run();
    EXPECT_EQ(g_notes,
              (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE, CBN_SELENDOK, CBN_SELCHANGE}));
    EXPECT_EQ(seen, (std::vector<std::pair<LRESULT, std::string>>{
                        {11, "F"}, {11, "F"}, {11, "F+"}, {11, "F+"}}));
    EXPECT_EQ(WindowText(combo), "F+");
}

TEST_F(UserComboBox, PageKeysStepByTheRowsTheListShowsBeforeItWasOpened) {
    HWND combo = MakeCombo(CBS_DROPDOWN, 5);
    AddKeys(combo);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    platform::TapKey(VK_NEXT);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4) << "to the last of five rows";
    platform::TapKey(VK_NEXT);
    platform::TapKey(VK_NEXT);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 11);
    platform::TapKey(VK_PRIOR);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 7);
}

TEST_F(UserComboBox, OpenListKeysStepFromTheHighlightedRowAndEnterTakesIt) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SetFocus(combo);
    HWND edit = GetWindow(combo, GW_CHILD);
    g_notes.clear();
    platform::TapKey(VK_F4);
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetCapture(), list);
    EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    // The mouse highlights row 2; Down goes on from there.
    platform::MoveMouse(platform::ScreenPointOf(list, RowCentre(combo, 2)));
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "hovering chooses nothing";
    platform::TapKey(VK_DOWN);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE})) << "no end while open";
    for (int i = 0; i < 7; ++i) {
        platform::TapKey(VK_DOWN);
    }
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 10);
    EXPECT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 3) << "the list scrolled to show it";
    // Hover row 5 of the list as shown (item 8), then Enter takes it.
    platform::MoveMouse(platform::ScreenPointOf(list, RowCentre(combo, 5)));
    Run();
    g_notes.clear();
    std::vector<LRESULT> selectionAtNote;
    g_onNote = [&](HWND box, int) {
        selectionAtNote.push_back(SendMessageA(box, CB_GETCURSEL, 0, 0));
    };
    platform::TapKey(VK_RETURN);
    Run();
    EXPECT_EQ(DroppedList(), nullptr);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(selectionAtNote, (std::vector<LRESULT>{8, 8, 8}));
    EXPECT_EQ(WindowText(combo), "E-");

    g_onNote = nullptr;
    g_notes.clear();
    platform::PressKey(VK_MENU);
    platform::TapKey(VK_DOWN);
    platform::ReleaseKey(VK_MENU);
    Run();
    ASSERT_NE(DroppedList(), nullptr);
    platform::TapKey(VK_ESCAPE);
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(UserComboBox, EnterAndEscapeCloseTheListAsCharactersNotAsBareKeys) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SetFocus(combo);
    HWND edit = GetWindow(combo, GW_CHILD);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    g_notes.clear();
    SendMessageA(edit, WM_CHAR, VK_ESCAPE, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));

    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(DroppedList(), WM_KEYDOWN, VK_DOWN, 0);
    g_notes.clear();
    SendMessageA(edit, WM_CHAR, '\r', 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_EQ(WindowText(combo), "G");
}

TEST_F(UserComboBox, OpeningTheListSelectsTheFirstItemBeginningWithTheTextUntold) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SendMessageA(combo, CB_SETCURSEL, 9, 0);
    EXPECT_EQ(WindowText(combo), "E");
    SetFocus(combo);
    g_notes.clear();
    platform::TapKey(VK_F4);
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 8) << "\"E-\" comes before \"E\"";
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_DROPDOWN}));
    EXPECT_EQ(SendMessageA(DroppedList(), LB_GETCURSEL, 0, 0), 8);
    platform::TapKey(VK_F4);
    Run();
    EXPECT_EQ(WindowText(combo), "E-");

    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "an empty text begins nothing";
}

TEST_F(UserComboBox, AClickOnTheRowOpeningSelectedUntoldIsStillTold) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SetFocus(combo);
    platform::TypeText("A-");
    Run();
    platform::TapKey(VK_F4);
    Run();
    ASSERT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "opening selects the typed item";
    g_notes.clear();
    g_atSelChange.clear();
    platform::ClickAt(DroppedList(), RowCentre(combo, 1));
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}))
        << "the parent never heard of the selection the list opened with";
    ASSERT_EQ(g_atSelChange.size(), 1u);
    EXPECT_EQ(g_atSelChange[0].first, 1);
    EXPECT_EQ(WindowText(combo), "A-");
}

TEST_F(UserComboBox, TypingSelectsNothingUntilTheOpenListFollowsTheText) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    g_notes.clear();
    platform::TypeText("B");
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
    EXPECT_EQ(WindowText(combo), "B");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR)
        << "a typed text equal to an item selects nothing";
    platform::TypeText("x");
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    DWORD start = 9;
    DWORD end = 9;
    SendMessageA(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);

    SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    platform::TypeText("d");
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 6) << "the first item beginning with d";
    platform::TypeText("-");
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 6);
    platform::TypeText("x");
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

    SendMessageA(combo, CB_LIMITTEXT, 3, 0);
    SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    platform::TypeText("Bxyzw");
    Run();
    EXPECT_EQ(WindowText(combo), "Bxy");
}

TEST_F(UserComboBox, ClosingByProgramEndsTheChoiceWhileTheListStillShows) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    std::vector<LRESULT> droppedAtNote;
    g_onNote = [&](HWND box, int) {
        droppedAtNote.push_back(SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0));
        // A parent that closes the list again while told changes nothing.
        SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
    };
    g_notes.clear();
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_EQ(droppedAtNote, (std::vector<LRESULT>{TRUE, FALSE}));
    EXPECT_EQ(DroppedList(), nullptr);
}

TEST_F(UserComboBox, AMousePickIsSelectedAlreadyWhenTheChoiceEnds) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    std::vector<std::pair<LRESULT, std::string>> seen;
    g_onNote = [&](HWND box, int) {
        seen.emplace_back(SendMessageA(box, CB_GETCURSEL, 0, 0), WindowText(box));
    };
    g_notes.clear();
    platform::ClickAt(list, RowCentre(combo, 4));
    Run();
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(seen, (std::vector<std::pair<LRESULT, std::string>>{{4, ""}, {4, ""}, {4, ""}}));
    EXPECT_EQ(WindowText(combo), "B");
}

TEST_F(UserComboBox, TheInfoNamesTheBoxPartsAndTheDroppedWidthFollowsTheRequest) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    HWND edit = GetWindow(combo, GW_CHILD);
    COMBOBOXINFO info{};
    EXPECT_FALSE(GetComboBoxInfo(combo, &info)) << "the size must be set";
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    EXPECT_EQ(info.hwndCombo, combo);
    EXPECT_EQ(info.hwndItem, edit);
    EXPECT_EQ(info.stateButton, 0u);
    RECT editRect;
    GetWindowRect(edit, &editRect);
    MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&editRect), 2);
    EXPECT_EQ(info.rcItem.left, editRect.left);
    EXPECT_EQ(info.rcItem.right, editRect.right);
    RECT client;
    GetClientRect(combo, &client);
    EXPECT_EQ(info.rcButton.right, client.right - 2) << "inside the sunken frame";
    EXPECT_EQ(info.rcButton.right - info.rcButton.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_FALSE(GetComboBoxInfo(edit, &info)) << "an edit field is no combo box";

    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO dropped{};
    dropped.cbSize = sizeof dropped;
    ASSERT_TRUE(SendMessageA(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&dropped)));
    EXPECT_EQ(dropped.hwndList, DroppedList());
    EXPECT_EQ(dropped.stateButton, DWORD{STATE_SYSTEM_PRESSED});
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), 120);
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 200, 0), 200);
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 50, 0), 120) << "never narrower than the box";
    SendMessageA(combo, CB_SETDROPPEDWIDTH, 200, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT shown;
    GetWindowRect(DroppedList(), &shown);
    EXPECT_EQ(shown.right - shown.left, 200);
}

// The list of the box: a list box that answers for the box's items and hears
// the keys, as a program that subclasses it sees.
WNDPROC g_listProc = nullptr;
std::vector<WPARAM> g_listKeys;
LRESULT CALLBACK ListSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        g_listKeys.push_back(wParam);
    }
    return CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

TEST_F(UserComboBox, TheListIsAListBoxThatAnswersAndHearsTheKeys) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    HWND list = info.hwndList;
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 12);
    char text[16] = "untouched";
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), 1);
    EXPECT_STREQ(text, "A");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("f+")),
              11);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 5, 0), 5);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 5) << "the box's selection is the list's";
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 12, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0),
              SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("G+")), 12);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 13);

    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSpy)));
    g_listKeys.clear();
    SetFocus(combo);
    platform::TapKey(VK_DOWN);
    platform::TapKey(VK_F4);
    platform::TapKey(VK_NEXT);
    Run();
    EXPECT_EQ(g_listKeys, (std::vector<WPARAM>{VK_DOWN, VK_NEXT}));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 12) << "a page on from D-, held at the last";
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
}

TEST_F(UserComboBox, LeavingTheBoxClosesTheListBeforeKillFocus) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    HWND other = CreateWindowExA(0, "ComboHost", "", WS_CHILD | WS_VISIBLE, 200, 10, 80, 16, host_,
                                 nullptr, nullptr, nullptr);
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    g_notes.clear();
    SetFocus(other);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}));
    EXPECT_EQ(DroppedList(), nullptr);
    // Closed, the box lets go of its choice all the same.
    SetFocus(combo);
    g_notes.clear();
    SetFocus(other);
    EXPECT_EQ(g_notes, (std::vector<int>{CBN_SELENDCANCEL, CBN_KILLFOCUS}));
    // Within the box, focus moving between the box and its edit field is no news.
    SetFocus(combo);
    g_notes.clear();
    SetFocus(GetWindow(combo, GW_CHILD));
    SetFocus(combo);
    EXPECT_TRUE(g_notes.empty());
}

TEST_F(UserComboBox, HidingAndShowingTheBoxLeavesItTheFocus) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SetFocus(combo);
    g_notes.clear();
    // How a library resizes the box for its list while the list comes down.
    SetWindowPos(combo, nullptr, 0, 0, 120, 300,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
    SetWindowPos(combo, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW |
                     SWP_SHOWWINDOW);
    EXPECT_EQ(GetFocus(), GetWindow(combo, GW_CHILD));
    EXPECT_TRUE(g_notes.empty());
    RECT dropped;
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, 300);
}

TEST_F(UserComboBox, TheListScrollsWithItsScrollBar) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT client;
    GetClientRect(list, &client);
    // The lower arrow of the scroll bar, right of the client area.
    platform::ClickAt(list, {client.right + 8, client.bottom - 8});
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(GetCapture(), list) << "the list is still down";
    platform::ClickAt(list, RowCentre(combo, 0));
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1)
        << "the first row shown is the second item";
}

TEST_F(UserComboBox, ASelectOnlyBoxShowsItsItemAndFindsByFirstLetter) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    AddKeys(combo);
    SetFocus(combo);
    platform::TypeText("e");
    Run();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 8);
    EXPECT_EQ(WindowText(combo), "E-");
    platform::TypeText("e");
    Run();
    EXPECT_EQ(WindowText(combo), "E");
    platform::TapKey(VK_HOME);
    Run();
    EXPECT_EQ(WindowText(combo), "G");
    EXPECT_EQ(SetWindowTextA(combo, "D"), TRUE);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 7);
    EXPECT_EQ(SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("H")), CB_ERR);
}

TEST_F(UserComboBox, ASimpleBoxSelectsFromItsListAndTellsDoubleClicks) {
    HWND combo = CreateWindowExA(WS_EX_CLIENTEDGE, "COMBOBOX", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_SIMPLE | CBS_HASSTRINGS,
                                 20, 10, 120, 150, host_, nullptr, nullptr, nullptr);
    AddKeys(combo);
    Run();
    HWND list = GetWindow(combo, GW_CHILD);
    platform::ClickAt(list, RowCentre(combo, 1));
    Run();
    EXPECT_EQ(GetFocus(), GetWindow(list, GW_HWNDNEXT));
    EXPECT_EQ(WindowText(combo), "A-");
    EXPECT_EQ(g_notes.back(), CBN_SELCHANGE);
    platform::ClickAt(list, RowCentre(combo, 1));
    Run();
    EXPECT_EQ(g_notes.back(), CBN_DBLCLK);
    EXPECT_EQ(SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(UserComboBox, OwnerDrawnBoxesMeasureAndDrawThroughTheParent) {
    HWND fixed = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, 4);
    EXPECT_EQ(g_measured, (std::vector<int>{-1, 0}));
    EXPECT_EQ(SendMessageA(fixed, CB_GETITEMHEIGHT, -1, 0), 20);
    EXPECT_EQ(SendMessageA(fixed, CB_GETITEMHEIGHT, 0, 0), 20);
    RECT box;
    GetWindowRect(fixed, &box);
    EXPECT_EQ(box.bottom - box.top, 26);
    AddKeys(fixed);
    SendMessageA(fixed, CB_SETCURSEL, 1, 0);
    g_drawn.clear();
    SetFocus(fixed);
    Run();
    ASSERT_FALSE(g_drawn.empty());
    EXPECT_EQ(g_drawn.back(), std::make_pair(1, UINT{ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS}));
    g_drawn.clear();
    SendMessageA(fixed, CB_SHOWDROPDOWN, TRUE, 0);
    Run();
    // Four rows of the list, the selection highlighted.
    std::vector<std::pair<int, UINT>> rows;
    for (const auto& drawn : g_drawn) {
        if (!(drawn.second & ODS_COMBOBOXEDIT)) {
            rows.push_back(drawn);
        }
    }
    EXPECT_EQ(rows, (std::vector<std::pair<int, UINT>>{
                        {0, 0}, {1, ODS_SELECTED | ODS_FOCUS}, {2, 0}, {3, 0}}));

    g_measured.clear();
    g_measuredHeight = 30;
    HWND variable = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE);
    SendMessageA(variable, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("tall"));
    SendMessageA(variable, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("taller"));
    g_measuredHeight = 20;
    EXPECT_EQ(g_measured, (std::vector<int>{-1, 0, 1}));
    EXPECT_EQ(SendMessageA(variable, CB_GETITEMHEIGHT, 1, 0), 30);
    EXPECT_EQ(SendMessageA(variable, CB_SETITEMHEIGHT, 1, 44), CB_OKAY);
    EXPECT_EQ(SendMessageA(variable, CB_GETITEMHEIGHT, 1, 0), 44);
    EXPECT_EQ(SendMessageA(variable, CB_SETITEMHEIGHT, 0, 300), CB_ERR);
}

TEST_F(UserComboBox, AParentThatDestroysTheBoxInItsHandlerEndsTheGesture) {
    HWND combo = MakeCombo();
    AddKeys(combo);
    g_onNote = [](HWND box, int code) {
        if (code == CBN_SELENDOK) {
            DestroyWindow(box);
        }
    };
    platform::ClickAt(combo, ButtonCentre(combo));
    Run();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    platform::ClickAt(list, RowCentre(combo, 1));
    Run();
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserComboBox, TheBoxAndItsOpenListLookClassic) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    AddKeys(combo);
    SendMessageA(combo, CB_SETCURSEL, 2, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Run();
    platform::WindowImage box = platform::CaptureWindow(combo, platform::WindowArea::WithFrame);
    // The sunken edge: shadow outside at the top left, highlight at the bottom right.
    EXPECT_EQ(box.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(box.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(box.At(box.width - 1, box.height - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    // The raised button: its face, its dark lower edge and the black arrow.
    int buttonLeft = box.width - 2 - GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(box.At(buttonLeft + 3, 4), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(box.At(box.width - 3, box.height - 3), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(box.At(buttonLeft + 8, box.height / 2), GetSysColor(COLOR_BTNTEXT));

    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    platform::WindowImage shown = platform::CaptureWindow(list, platform::WindowArea::WithFrame);
    EXPECT_EQ(shown.At(0, 0), GetSysColor(COLOR_WINDOWFRAME)) << "a one-pixel border";
    POINT third = RowCentre(combo, 2);
    EXPECT_EQ(shown.At(third.x + 30, third.y + 1), GetSysColor(COLOR_HIGHLIGHT));
    POINT fourth = RowCentre(combo, 3);
    EXPECT_EQ(shown.At(fourth.x + 30, fourth.y + 1), GetSysColor(COLOR_WINDOW));
    auto row = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    int dark = 0;
    for (int y = 1 + 3 * row; y < 1 + 4 * row; ++y) {
        for (int x = 1; x < 20; ++x) {
            COLORREF c = shown.At(x, y);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    }
    EXPECT_GT(dark, 0) << "the fourth item's text";
}

} // namespace
