#pragma once
// The combo box's state and what its windows share: the box ("COMBOBOX"), its
// edit field ("EDIT", identifier 1001, for CBS_DROPDOWN and CBS_SIMPLE) and
// its list ("ComboLBox": a top-level pop-up that drops down under the box, or
// for CBS_SIMPLE a child under the field, identifier 1000). The items live in
// the box; the list window shows them.
//
// Whatever sends a message may find the box gone afterwards (a notified
// parent may destroy it), so these take the box's window and look its state
// up again after each message they send.

#include "ListRows.h"
#include "UserState.h"

#include <string>
#include <vector>

namespace platform::user {

inline constexpr int kComboListId = 1000;
inline constexpr int kComboEditId = 1001;

struct ComboState final : ControlState {
    HWND edit = nullptr;
    HWND list = nullptr;
    // CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST.
    DWORD kind = CBS_DROPDOWN;
    // The CBS_ style bits the box was made with.
    DWORD style = 0;
    // Made with WS_EX_CLIENTEDGE: the box draws itself sunken, in 3-D.
    bool threeD = false;
    // Made with WS_VSCROLL: its list shows a scroll bar when the items do not fit.
    bool listScrolls = false;
    HFONT font = nullptr;
    ListItems items;
    int selection = -1;
    // The row the list highlights: the selection, or the row under the mouse
    // while the list is down.
    int hot = -1;
    // The first row the list shows.
    int top = 0;
    // CB_GETITEMHEIGHT -1 and 0: the selection field and the list rows.
    int fieldHeight = 0;
    int itemHeight = 0;
    // The height of the list when it is down, frame included: what the box
    // was given beyond its field's height.
    int dropHeight = 0;
    bool dropped = false;
    // CBN_SELENDOK or CBN_SELENDCANCEL is being told: the list still shows
    // as dropped, and closing it again does nothing.
    bool closing = false;
    // The least width of the dropped list (CB_SETDROPPEDWIDTH); 0: the box's.
    int droppedWidth = 0;
    // The press that dropped the list is still held: the box has the capture
    // and follows the mouse over the list.
    bool tracking = false;
    bool focused = false;
    bool extendedUI = false;
    // The box is setting its edit field's text: no CBN_EDIT notifications.
    bool quietEdit = false;
};

ComboState* ComboOf(HWND combo);
bool IsOwnerDrawn(const ComboState& s);
bool HasVariableRows(const ComboState& s);

// Asked by the edit field: whether its combo box (if it is one's) took the
// key (with Alt for the Up and Down arrows) or the character (Enter and
// Escape close an open list), and whether its list is down.
bool ComboTakesKey(HWND edit, WPARAM key, bool alt);
bool ComboTakesCharacter(HWND edit, BYTE character);
bool ComboDroppedDown(HWND edit);

// What the list does to its box (ComboBox.cpp).
// Closes the list: CBN_SELENDOK when `chosen`, else CBN_SELENDCANCEL, then
// CBN_CLOSEUP.
void CloseUp(HWND combo, bool chosen);
// The user picked the item in the list (Enter or F4 on the
// highlighted row): the item is selected, the list closes up (CBN_SELENDOK,
// CBN_CLOSEUP), then CBN_SELCHANGE when the selection changed, and the edit
// field shows the item.
void ChooseItem(HWND combo, int index);
// The user clicked the item in the list: as ChooseItem, but CBN_SELCHANGE
// also when the item was selected already, as Windows tells every click.
void ClickItem(HWND combo, int row);
// A key moved the list's row: the row is selected and the parent told
// (CBN_SELENDOK first when the list is closed, then CBN_SELCHANGE), even
// when the row stayed where it was; the edit field shows it afterwards.
void KeyMovedSelection(HWND combo, int index);
// Dropped or simple, the row the list shows as current; closed, the selection.
int ListRow(const ComboState& s);
// Makes `index` (-1: none) the selection without telling anyone and without
// touching the edit field's text.
void MarkSelected(HWND combo, int index);
// A CB_ message answered by the box itself, not through its window (the
// list's LB_ messages about the box's items, say).
LRESULT AnswerComboMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam);
// The user selected the item in the list of a CBS_SIMPLE box.
void SelectFromList(HWND combo, int index);
void DrawOwnerItem(HWND combo, HDC dc, int index, const RECT& rect, UINT state);

// The list window (ComboList.cpp).
LRESULT CALLBACK ComboListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int RowHeight(const ComboState& s, int index);
// How many rows the list shows from its first row, at least one.
int RowsShown(HWND combo);
// The item at a point of the list's client area; -1 for none.
int RowAt(HWND combo, POINT listPoint);
// Scrolls the list so that the item shows, and redraws it.
void ShowInList(HWND combo, int index);
// Places the drop-down list under the box (above it when the screen ends
// first) and shows it.
void ShowDroppedList(HWND combo);
// Scrolls the dropped list by the wheel's lines for a turn of `delta`
// (WHEEL_DELTA a notch, positive towards the first row).
void ScrollListByWheel(HWND combo, int delta);
// The list's scroll bar after its items or first row changed.
void SyncListScrollBar(HWND combo);

} // namespace platform::user
