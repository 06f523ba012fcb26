// The system class "COMBOBOX": its items and CB_ messages, the selection
// and the CBN_ notifications to the parent in Windows' order, the drop-down
// list opened with the button, F4 or Alt+Down, the keys of the closed and
// the open box, focus, and the classic 3-D drawing of the box and its
// button. A drop-down box keeps the height of its field: the height it is
// given beyond that is the height of its open list.

#include "ComboBox.h"
#include "MouseParams.h"
#include "SystemControls.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace platform::user {

namespace {

constexpr char kComboBoxClass[] = "COMBOBOX";
constexpr char kComboListClass[] = "ComboLBox";
constexpr char kEditClass[] = "EDIT";
// Windows keeps item and field heights below 256.
constexpr int kLargestItemHeight = 255;

bool IsSimple(const ComboState& s) {
    return s.kind == CBS_SIMPLE;
}

int Count(const ComboState& s) {
    return static_cast<int>(s.items.size());
}

bool ValidIndex(const ComboState& s, WPARAM index) {
    return static_cast<int>(index) >= 0 && static_cast<int>(index) < Count(s);
}

// The sunken 3-D edge, or a plain line without it.
int FrameWidth(const ComboState& s) {
    return s.threeD ? 2 : 1;
}

// The height of the box with its list closed: the field, a pixel of room
// above and below it, and the frame.
int FieldBoxHeight(const ComboState& s) {
    return s.fieldHeight + 2 + 2 * FrameWidth(s);
}

RECT ClientOf(HWND combo) {
    RECT client;
    GetClientRect(combo, &client);
    return client;
}

RECT ButtonRect(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (IsSimple(*s)) {
        return {0, 0, 0, 0};
    }
    RECT client = ClientOf(combo);
    int frame = FrameWidth(*s);
    return {client.right - frame - GetSystemMetrics(SM_CXVSCROLL), frame, client.right - frame,
            client.bottom - frame};
}

// Where the field's text or edit field lies: inside the frame, a pixel in.
RECT SelectionRect(HWND combo) {
    ComboState* s = ComboOf(combo);
    int inset = FrameWidth(*s) + 1;
    int right = IsSimple(*s) ? ClientOf(combo).right - inset : ButtonRect(combo).left - 1;
    return {inset, inset, std::max(right, inset), inset + s->fieldHeight};
}

HWND ParentOf(HWND combo) {
    return GetParent(combo);
}

UINT ControlId(HWND combo) {
    return static_cast<UINT>(GetDlgCtrlID(combo));
}

// The parent's answer to WM_MEASUREITEM for the item (-1: the selection
// field), held to Windows' range of heights.
int Measure(HWND combo, int index, ULONG_PTR data, int height) {
    MEASUREITEMSTRUCT measure{ODT_COMBOBOX,
                              ControlId(combo),
                              static_cast<UINT>(index),
                              static_cast<UINT>(ClientOf(combo).right),
                              static_cast<UINT>(height),
                              data};
    SendMessageA(ParentOf(combo), WM_MEASUREITEM, measure.CtlID,
                 reinterpret_cast<LPARAM>(&measure));
    return std::clamp(static_cast<int>(measure.itemHeight), 1, kLargestItemHeight);
}

// The edit field and, for CBS_SIMPLE, the list under the field.
void LayOut(HWND combo) {
    ComboState* s = ComboOf(combo);
    RECT field = SelectionRect(combo);
    if (s->edit) {
        int height = std::min(FontHeight(s->font), s->fieldHeight);
        int top = field.top + (s->fieldHeight - height) / 2;
        SetWindowPos(s->edit, nullptr, field.left, top, field.right - field.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((s = ComboOf(combo)) != nullptr && IsSimple(*s) && Find(s->list)) {
        RECT client = ClientOf(combo);
        int top = FieldBoxHeight(*s);
        SetWindowPos(s->list, nullptr, 0, top, client.right, std::max<int>(client.bottom - top, 0),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A drop-down box keeps the height of its field; its list keeps dropHeight.
void FitToField(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (!IsSimple(*s)) {
        RECT box;
        GetWindowRect(combo, &box);
        SetWindowPos(combo, nullptr, 0, 0, box.right - box.left, FieldBoxHeight(*s) + s->dropHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (ComboOf(combo)) {
        LayOut(combo);
    }
}

void Redraw(HWND combo) {
    InvalidateRect(combo, nullptr, FALSE);
}

void RedrawList(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (Find(s->list)) {
        InvalidateRect(s->list, nullptr, FALSE);
    }
}

// ------------------------------------------------------------------ the edit field

// Sets the field's text without the notifications of a user's edit; with
// the focus in the box, the text is selected.
void SetEditText(HWND combo, const std::string& text) {
    ComboState* s = ComboOf(combo);
    if (s->edit == nullptr) {
        return;
    }
    HWND edit = s->edit;
    s->quietEdit = true;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if ((s = ComboOf(combo)) == nullptr) {
        return;
    }
    s->quietEdit = false;
    if (s->focused) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

std::string EditText(HWND combo) {
    ComboState* s = ComboOf(combo);
    Window* edit = Find(s->edit);
    return edit ? edit->text : std::string();
}

std::string SelectedText(const ComboState& s) {
    return s.selection >= 0 ? s.items[s.selection].text : std::string();
}

// ------------------------------------------------------------------ items

void ItemsChanged(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (s->kind == CBS_DROPDOWNLIST) {
        Find(combo)->text = SelectedText(*s);
    }
    ShowInList(combo, -1);
    Redraw(combo);
}

// CB_INSERTSTRING at `index` (-1: at the end); CB_ADDSTRING at the end or,
// sorted, at its place.
LRESULT InsertItem(HWND combo, int index, const char* text, bool adding) {
    ComboState* s = ComboOf(combo);
    ListItem item{text ? text : "", 0, s->itemHeight};
    if (adding) {
        index = (s->style & CBS_SORT) ? SortedPosition(s->items, item.text) : Count(*s);
    } else if (index == -1) {
        index = Count(*s);
    }
    if (index < 0 || index > Count(*s)) {
        return CB_ERR;
    }
    if (HasVariableRows(*s)) {
        item.height = Measure(combo, index, 0, s->itemHeight);
        if ((s = ComboOf(combo)) == nullptr) {
            return CB_ERR;
        }
        index = std::min(index, Count(*s));
    }
    s->items.insert(s->items.begin() + index, std::move(item));
    if (s->selection >= index) {
        ++s->selection;
    }
    if (s->hot >= index) {
        ++s->hot;
    }
    ItemsChanged(combo);
    return index;
}

LRESULT DeleteItem(HWND combo, WPARAM index) {
    ComboState* s = ComboOf(combo);
    if (!ValidIndex(*s, index)) {
        return CB_ERR;
    }
    int at = static_cast<int>(index);
    s->items.erase(s->items.begin() + at);
    auto follow = [&](int& kept) { kept = kept == at ? -1 : kept > at ? kept - 1 : kept; };
    follow(s->selection);
    follow(s->hot);
    ItemsChanged(combo);
    return Count(*s);
}

LRESULT ResetContent(HWND combo) {
    ComboState* s = ComboOf(combo);
    s->items.clear();
    s->selection = s->hot = -1;
    s->top = 0;
    ItemsChanged(combo);
    SetEditText(combo, std::string());
    return CB_OKAY;
}

// ------------------------------------------------------------------ selection

// Makes `index` (-1: none) the selection and shows it in the list; the
// parent hears `notes` while the edit field still shows the old text, and
// the field follows afterwards.
void Select(HWND combo, int index, std::initializer_list<int> notes) {
    MarkSelected(combo, index);
    for (int note : notes) {
        if (!NotifyParent(combo, note)) {
            return;
        }
    }
    if (ComboState* s = ComboOf(combo)) {
        SetEditText(combo, SelectedText(*s));
    }
}

LRESULT SetCurrentSelection(HWND combo, WPARAM index) {
    ComboState* s = ComboOf(combo);
    bool valid = ValidIndex(*s, index);
    Select(combo, valid ? static_cast<int>(index) : -1, {});
    return valid ? static_cast<LRESULT>(index) : CB_ERR;
}

void SelectByFirstCharacter(HWND combo, BYTE character) {
    ComboState* s = ComboOf(combo);
    char text[2] = {static_cast<char>(character), '\0'};
    LRESULT found = FindListItem(s->items, static_cast<WPARAM>(s->selection), text, false);
    if (found != CB_ERR && found != s->selection) {
        KeyMovedSelection(combo, static_cast<int>(found));
    }
}

// The first item that begins with the edit field's text; none for an empty
// text.
int FirstItemBeginningWithEditText(HWND combo) {
    std::string text = EditText(combo);
    return text.empty() ? -1
                        : static_cast<int>(FindListItem(
                              ComboOf(combo)->items, static_cast<WPARAM>(-1), text.c_str(), false));
}

// ------------------------------------------------------------------ the list

// CBN_DROPDOWN, then the list shows; false when it did not come down.
bool DropDown(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (IsSimple(*s) || s->dropped || !NotifyParent(combo, CBN_DROPDOWN)) {
        return false;
    }
    if ((s = ComboOf(combo)) == nullptr || s->dropped || !Find(s->list)) {
        return false;
    }
    // The list opens on the item the field's text begins, untold.
    if (s->edit) {
        s->selection = FirstItemBeginningWithEditText(combo);
    }
    s->dropped = true;
    s->hot = s->selection;
    ShowDroppedList(combo);
    if ((s = ComboOf(combo)) == nullptr) {
        return false;
    }
    Redraw(combo);
    return s->dropped;
}

// Down by keyboard or by program: a press anywhere but in the list closes it.
void DropDownHoldingCapture(HWND combo) {
    if (DropDown(combo)) {
        SetCapture(ComboOf(combo)->list);
    }
}

void ToggleList(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (s->dropped) {
        ChooseItem(combo, s->hot);
    } else {
        DropDownHoldingCapture(combo);
    }
}

// ------------------------------------------------------------------ focus

bool FocusInBox(HWND combo) {
    HWND focus = GetFocus();
    ComboState* s = ComboOf(combo);
    return focus != nullptr && (focus == combo || focus == s->edit || focus == s->list);
}

void FocusEntered(HWND combo) {
    ComboState* s = ComboOf(combo);
    s->focused = true;
    if (s->edit) {
        SendMessageA(s->edit, EM_SETSEL, 0, -1);
    }
    Redraw(combo);
    NotifyParent(combo, CBN_SETFOCUS);
}

// The box lets go of its selection (CBN_SELENDCANCEL, the list closing up
// if it is down), then tells that it lost the focus.
void FocusLeft(HWND combo) {
    ComboState* s = ComboOf(combo);
    s->focused = false;
    if (s->dropped) {
        CloseUp(combo, false);
    } else {
        NotifyParent(combo, CBN_SELENDCANCEL);
    }
    if (ComboOf(combo) == nullptr) {
        return;
    }
    Redraw(combo);
    NotifyParent(combo, CBN_KILLFOCUS);
}

void TakeFocus(HWND combo) {
    ComboState* s = ComboOf(combo);
    HWND target = s->edit ? s->edit : combo;
    if (GetFocus() != target) {
        SetFocus(target);
    }
}

// ------------------------------------------------------------------ keys

// The list hears the keys that move its row, as a program that subclasses
// it sees.
bool PassToList(HWND combo, WPARAM key) {
    SendMessageA(ComboOf(combo)->list, WM_KEYDOWN, key, 0);
    return true;
}

bool OnKey(HWND combo, WPARAM key, bool alt) {
    ComboState* s = ComboOf(combo);
    if (alt) {
        if ((key == VK_UP || key == VK_DOWN) && !IsSimple(*s)) {
            ToggleList(combo);
            return true;
        }
        return false;
    }
    switch (key) {
    case VK_F4:
        if (s->extendedUI || IsSimple(*s)) {
            return false;
        }
        ToggleList(combo);
        return true;
    case VK_DOWN:
        if (s->extendedUI && !s->dropped && !IsSimple(*s)) {
            DropDownHoldingCapture(combo);
            return true;
        }
        return PassToList(combo, key);
    case VK_UP:
    case VK_NEXT:
    case VK_PRIOR:
        return PassToList(combo, key);
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        // With an edit field these move its caret.
        return s->edit == nullptr && PassToList(combo, key);
    default:
        return false;
    }
}

// Enter takes the open list's highlighted row, Escape leaves the selection.
bool OnCharacter(HWND combo, BYTE character) {
    ComboState* s = ComboOf(combo);
    if (!s->dropped || (character != '\r' && character != VK_ESCAPE)) {
        return false;
    }
    if (character == '\r') {
        ChooseItem(combo, s->hot);
    } else {
        CloseUp(combo, false);
    }
    return true;
}

// ------------------------------------------------------------------ mouse

bool InRect(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void OnButtonDown(HWND combo, POINT p) {
    ComboState* s = ComboOf(combo);
    bool onButton = s->kind == CBS_DROPDOWNLIST || InRect(ButtonRect(combo), p);
    TakeFocus(combo);
    if (!onButton || ComboOf(combo) == nullptr || !FocusInBox(combo)) {
        return;
    }
    if (ComboOf(combo)->dropped) {
        CloseUp(combo, false);
        return;
    }
    if (!DropDown(combo)) {
        return;
    }
    SetCapture(combo);
    if ((s = ComboOf(combo)) != nullptr) {
        s->tracking = true;
        Redraw(combo);
    }
}

POINT InList(HWND combo, POINT boxPoint) {
    MapWindowPoints(combo, ComboOf(combo)->list, &boxPoint, 1);
    return boxPoint;
}

int RowUnderMouse(HWND combo, POINT boxPoint) {
    ComboState* s = ComboOf(combo);
    POINT p = InList(combo, boxPoint);
    RECT client;
    GetClientRect(s->list, &client);
    return InRect(client, p) ? RowAt(combo, p) : -1;
}

void OnTrackingMove(HWND combo, POINT p) {
    ComboState* s = ComboOf(combo);
    int row = RowUnderMouse(combo, p);
    if (row >= 0 && row != s->hot) {
        s->hot = row;
        RedrawList(combo);
    }
}

// The press that dropped the list ends: on a row it picks the row, anywhere
// else the list stays down and takes the capture.
void OnTrackingRelease(HWND combo, POINT p) {
    ComboState* s = ComboOf(combo);
    s->tracking = false;
    Redraw(combo);
    int row = s->dropped ? RowUnderMouse(combo, p) : -1;
    if (row >= 0) {
        ClickItem(combo, row);
    } else if (s->dropped) {
        SetCapture(s->list);
    }
}

// ------------------------------------------------------------------ painting

void DrawDropButton(HDC dc, RECT r, bool pressed, bool enabled) {
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    int shift = 0;
    if (pressed) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        shift = 1;
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    // A down-pointing triangle, seven pixels wide.
    HBRUSH glyph = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    LONG cx = (r.left + r.right) / 2 + shift;
    LONG top = (r.top + r.bottom) / 2 - 2 + shift;
    for (int row = 0; row < 4; ++row) {
        RECT line{cx - 3 + row, top + row, cx + 4 - row, top + row + 1};
        FillRect(dc, &line, glyph);
    }
}

void DrawFrame(HDC dc, const ComboState& s, RECT box) {
    if (s.threeD) {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
    } else {
        FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
}

// The selection field of a CBS_DROPDOWNLIST box: the selected item's text,
// highlighted with a focus mark while the box has the focus.
void DrawSelectionField(HWND combo, HDC dc, RECT field) {
    ComboState* s = ComboOf(combo);
    bool enabled = IsWindowEnabled(combo);
    if (IsOwnerDrawn(*s)) {
        UINT state = ODS_COMBOBOXEDIT | (s->focused ? ODS_SELECTED | ODS_FOCUS : 0) |
                     (enabled ? 0 : ODS_DISABLED);
        DrawOwnerItem(combo, dc, s->selection, field, state);
        return;
    }
    if (s->focused) {
        FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (!enabled) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    std::string text = SelectedText(*s);
    SetBkMode(dc, TRANSPARENT);
    int y = field.top + (s->fieldHeight - FontHeight(s->font)) / 2;
    TextOutA(dc, field.left + 2, y, text.data(), static_cast<int>(text.size()));
    if (s->focused) {
        DrawFocusRect(dc, &field);
    }
}

void Paint(HWND combo) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(combo, &paint);
    if (dc == nullptr) {
        return;
    }
    bool enabled = IsWindowEnabled(combo);
    HBRUSH background =
        ControlBrush(combo, ParentOf(combo), enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, dc);
    ComboState* s = ComboOf(combo);
    if (s == nullptr) {
        EndPaint(combo, &paint);
        return;
    }
    RECT client = ClientOf(combo);
    RECT box = client;
    if (IsSimple(*s)) {
        box.bottom = FieldBoxHeight(*s);
    }
    int frame = FrameWidth(*s);
    RECT inside{box.left + frame, box.top + frame, box.right - frame, box.bottom - frame};
    FillRect(dc, &inside, background);
    DrawFrame(dc, *s, box);
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(s->font));
    if (s->kind == CBS_DROPDOWNLIST) {
        DrawSelectionField(combo, dc, SelectionRect(combo));
    }
    if ((s = ComboOf(combo)) != nullptr) {
        DrawDropButton(dc, ButtonRect(combo), s->tracking, enabled);
    }
    SelectObject(dc, oldFont);
    EndPaint(combo, &paint);
}

// ------------------------------------------------------------------ messages

void OnNcCreate(HWND combo, const CREATESTRUCTA& create) {
    Window* w = Find(combo);
    auto s = std::make_unique<ComboState>();
    s->style = static_cast<DWORD>(create.style) & 0xFFFF;
    s->kind = (s->style & 3) == 0 ? CBS_SIMPLE : s->style & 3;
    if (s->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        // Only the selection field can show an owner-drawn item.
        s->kind = s->kind == CBS_SIMPLE ? CBS_SIMPLE : CBS_DROPDOWNLIST;
    }
    s->threeD = (create.dwExStyle & WS_EX_CLIENTEDGE) != 0;
    s->listScrolls = (create.style & WS_VSCROLL) != 0;
    s->itemHeight = FontHeight(nullptr);
    s->fieldHeight = s->itemHeight + 2;
    // The box draws its own frame, and its scroll bar belongs to its list.
    w->exStyle &= ~WS_EX_CLIENTEDGE;
    w->style &= ~(WS_VSCROLL | WS_HSCROLL);
    w->control = std::move(s);
}

HWND MakeList(HWND combo) {
    ComboState* s = ComboOf(combo);
    DWORD scroll = s->listScrolls ? WS_VSCROLL : 0;
    if (IsSimple(*s)) {
        return CreateWindowExA(
            s->threeD ? WS_EX_CLIENTEDGE : 0, kComboListClass, "",
            WS_CHILD | WS_VISIBLE | scroll | (s->threeD ? 0 : WS_BORDER), 0, 0, 0, 0, combo,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kComboListId)), nullptr, combo);
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kComboListClass, "",
                           WS_POPUP | WS_BORDER, 0, 0, 0, 0, combo, nullptr, nullptr, combo);
}

HWND MakeEdit(HWND combo, const char* text) {
    ComboState* s = ComboOf(combo);
    DWORD style = WS_CHILD | WS_VISIBLE | ((s->style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
                  (IsWindowEnabled(combo) ? 0 : WS_DISABLED);
    return CreateWindowExA(0, kEditClass, text ? text : "", style, 0, 0, 0, 0, combo,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kComboEditId)),
                           nullptr, nullptr);
}

LRESULT OnCreate(HWND combo, const CREATESTRUCTA& create) {
    ComboState* s = ComboOf(combo);
    s->dropHeight = std::max(create.cy - FieldBoxHeight(*s), 0);
    if (IsOwnerDrawn(*s)) {
        int field = Measure(combo, -1, 0, s->fieldHeight);
        int rows = HasVariableRows(*s) ? s->itemHeight : Measure(combo, 0, 0, s->itemHeight);
        if ((s = ComboOf(combo)) == nullptr) {
            return -1;
        }
        s->fieldHeight = field;
        s->itemHeight = rows;
    }
    // The list comes first: the first child of a CBS_SIMPLE box is its list.
    HWND list = MakeList(combo);
    if ((s = ComboOf(combo)) == nullptr || list == nullptr) {
        return -1;
    }
    s->list = list;
    if (s->kind != CBS_DROPDOWNLIST) {
        HWND edit = MakeEdit(combo, create.lpszName);
        if ((s = ComboOf(combo)) == nullptr || edit == nullptr) {
            return -1;
        }
        s->edit = edit;
    }
    Find(combo)->text.clear();
    FitToField(combo);
    return 0;
}

LRESULT OnSetFont(HWND combo, HFONT font, bool redraw) {
    ComboState* s = ComboOf(combo);
    s->font = font;
    if (!IsOwnerDrawn(*s)) {
        s->itemHeight = FontHeight(font);
        s->fieldHeight = s->itemHeight + 2;
    }
    if (s->edit) {
        SendMessageA(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (ComboOf(combo) == nullptr) {
        return 0;
    }
    FitToField(combo);
    if (ComboOf(combo) == nullptr) {
        return 0;
    }
    SyncListScrollBar(combo);
    if (redraw) {
        InvalidateRect(combo, nullptr, TRUE);
    }
    return 0;
}

LRESULT SetItemHeight(HWND combo, WPARAM which, LPARAM height) {
    ComboState* s = ComboOf(combo);
    int index = static_cast<int>(which);
    if (height <= 0 || height > kLargestItemHeight) {
        return CB_ERR;
    }
    if (index == -1) {
        s->fieldHeight = static_cast<int>(height);
        FitToField(combo);
    } else if (HasVariableRows(*s) && ValidIndex(*s, which)) {
        s->items[index].height = static_cast<int>(height);
    } else if (index == 0 && !HasVariableRows(*s)) {
        s->itemHeight = static_cast<int>(height);
    } else {
        return CB_ERR;
    }
    if (ComboOf(combo)) {
        ShowInList(combo, -1);
        Redraw(combo);
    }
    return CB_OKAY;
}

LRESULT GetItemHeight(const ComboState& s, WPARAM which) {
    if (static_cast<int>(which) == -1) {
        return s.fieldHeight;
    }
    if (HasVariableRows(s)) {
        return ValidIndex(s, which) ? s.items[which].height : CB_ERR;
    }
    return s.itemHeight;
}

// The dropped list is as wide as the box, or as CB_SETDROPPEDWIDTH asked.
int DroppedWidth(HWND combo) {
    RECT box;
    GetWindowRect(combo, &box);
    return std::max<int>(box.right - box.left, ComboOf(combo)->droppedWidth);
}

LRESULT DroppedControlRect(HWND combo, LPARAM out) {
    auto* rect = reinterpret_cast<RECT*>(out);
    if (rect == nullptr) {
        return CB_ERR;
    }
    ComboState* s = ComboOf(combo);
    GetWindowRect(combo, rect);
    rect->bottom = rect->top + FieldBoxHeight(*s) + (IsSimple(*s) ? 0 : s->dropHeight);
    return TRUE;
}

BOOL DescribeParts(HWND combo, COMBOBOXINFO* info) {
    if (info == nullptr || info->cbSize != sizeof(COMBOBOXINFO)) {
        return FALSE;
    }
    ComboState* s = ComboOf(combo);
    info->rcItem = SelectionRect(combo);
    info->rcButton = ButtonRect(combo);
    info->stateButton = IsSimple(*s) ? STATE_SYSTEM_INVISIBLE
                        : s->dropped ? STATE_SYSTEM_PRESSED
                                     : 0;
    info->hwndCombo = combo;
    info->hwndItem = s->edit ? s->edit : combo;
    info->hwndList = s->list;
    return TRUE;
}

void OnWindowPosChanging(HWND combo, WINDOWPOS* pos) {
    ComboState* s = ComboOf(combo);
    if (pos != nullptr && !IsSimple(*s) && !(pos->flags & SWP_NOSIZE)) {
        s->dropHeight = std::max(pos->cy - FieldBoxHeight(*s), 0);
        pos->cy = FieldBoxHeight(*s);
    }
}

// Edit notifications become the box's own.
LRESULT OnCommand(HWND combo, WPARAM wParam, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    if (s->edit == nullptr || reinterpret_cast<HWND>(lParam) != s->edit) {
        return 0;
    }
    switch (HIWORD(wParam)) {
    case EN_SETFOCUS:
        if (!s->focused) {
            FocusEntered(combo);
        }
        break;
    case EN_KILLFOCUS:
        if (s->focused && !FocusInBox(combo)) {
            FocusLeft(combo);
        }
        break;
    case EN_UPDATE:
        if (!s->quietEdit) {
            NotifyParent(combo, CBN_EDITUPDATE);
        }
        break;
    case EN_CHANGE:
        if (!s->quietEdit) {
            // A typed text selects nothing; an open list follows it to the
            // first item that begins with it.
            s->selection = s->hot = s->dropped ? FirstItemBeginningWithEditText(combo) : -1;
            ShowInList(combo, s->selection);
            NotifyParent(combo, CBN_EDITCHANGE);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnSetText(HWND combo, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    if (s->edit) {
        SetEditText(combo, text);
        return TRUE;
    }
    LRESULT found = FindListItem(s->items, static_cast<WPARAM>(-1), text, true);
    if (found == CB_ERR && text[0] != '\0') {
        return CB_ERR;
    }
    SetCurrentSelection(combo, static_cast<WPARAM>(found));
    return TRUE;
}

LRESULT EditSelection(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    if (s->edit == nullptr) {
        return CB_ERR;
    }
    if (message == CB_GETEDITSEL) {
        return SendMessageA(s->edit, EM_GETSEL, wParam, lParam);
    }
    SendMessageA(s->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
                 static_cast<short>(HIWORD(lParam)));
    return TRUE;
}

LRESULT OnComboMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    switch (message) {
    case CB_ADDSTRING:
        return InsertItem(combo, -1, reinterpret_cast<const char*>(lParam), true);
    case CB_INSERTSTRING:
        return InsertItem(combo, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam),
                          false);
    case CB_DELETESTRING:
        return DeleteItem(combo, wParam);
    case CB_RESETCONTENT:
        return ResetContent(combo);
    case CB_GETCOUNT:
        return Count(*s);
    case CB_GETLBTEXT:
        return CopyItemText(s->items, wParam, lParam);
    case CB_GETLBTEXTLEN:
        return ValidIndex(*s, wParam) ? static_cast<LRESULT>(s->items[wParam].text.size()) : CB_ERR;
    case CB_SETCURSEL:
        return SetCurrentSelection(combo, wParam);
    case CB_GETCURSEL:
        return s->selection;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
        return FindListItem(s->items, wParam, reinterpret_cast<const char*>(lParam),
                            message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
        LRESULT found =
            FindListItem(s->items, wParam, reinterpret_cast<const char*>(lParam), false);
        return found == CB_ERR ? CB_ERR : SetCurrentSelection(combo, static_cast<WPARAM>(found));
    }
    case CB_SETITEMDATA:
        if (!ValidIndex(*s, wParam)) {
            return CB_ERR;
        }
        s->items[wParam].data = static_cast<ULONG_PTR>(lParam);
        return TRUE;
    case CB_GETITEMDATA:
        return ValidIndex(*s, wParam) ? static_cast<LRESULT>(s->items[wParam].data) : CB_ERR;
    case CB_SHOWDROPDOWN:
        if (wParam) {
            DropDownHoldingCapture(combo);
        } else {
            CloseUp(combo, false);
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->dropped ? TRUE : FALSE;
    case CB_LIMITTEXT:
        return s->edit ? (SendMessageA(s->edit, EM_LIMITTEXT, wParam, 0), TRUE) : CB_ERR;
    case CB_GETEDITSEL:
    case CB_SETEDITSEL:
        return EditSelection(combo, message, wParam, lParam);
    case CB_SETITEMHEIGHT:
        return SetItemHeight(combo, wParam, lParam);
    case CB_GETITEMHEIGHT:
        return GetItemHeight(*s, wParam);
    case CB_GETDROPPEDCONTROLRECT:
        return DroppedControlRect(combo, lParam);
    case CB_SETEXTENDEDUI:
        s->extendedUI = wParam != 0;
        return CB_OKAY;
    case CB_GETEXTENDEDUI:
        return s->extendedUI ? TRUE : FALSE;
    case CB_GETTOPINDEX:
        return s->top;
    case CB_SETTOPINDEX:
        if (!ValidIndex(*s, wParam)) {
            return CB_ERR;
        }
        s->top = static_cast<int>(wParam);
        ShowInList(combo, -1);
        return CB_OKAY;
    case CB_GETDROPPEDWIDTH:
        return DroppedWidth(combo);
    case CB_SETDROPPEDWIDTH:
        s->droppedWidth = std::max(static_cast<int>(wParam), 0);
        return DroppedWidth(combo);
    case CB_GETCOMBOBOXINFO:
        return DescribeParts(combo, reinterpret_cast<COMBOBOXINFO*>(lParam));
    default:
        return DefWindowProcA(combo, message, wParam, lParam);
    }
}

bool IsComboMessage(UINT message) {
    return message >= CB_GETEDITSEL && message <= CB_GETCOMBOBOXINFO;
}

LRESULT OnMouse(HWND combo, UINT message, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(combo, p);
        break;
    case WM_MOUSEMOVE:
        if (s->tracking) {
            OnTrackingMove(combo, p);
        }
        break;
    case WM_LBUTTONUP:
        if (s->tracking) {
            OnTrackingRelease(combo, p);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CALLBACK ComboBoxProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        OnNcCreate(combo, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return DefWindowProcA(combo, message, wParam, lParam);
    }
    ComboState* s = ComboOf(combo);
    if (s == nullptr) {
        return DefWindowProcA(combo, message, wParam, lParam);
    }
    if (IsComboMessage(message)) {
        return OnComboMessage(combo, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate(combo, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        if (!IsSimple(*s) && Find(s->list)) {
            DestroyWindow(s->list);
        }
        return 0;
    case WM_PAINT:
        Paint(combo);
        return 0;
    case WM_ERASEBKGND:
        // Painting fills the field.
        return 1;
    case WM_SIZE:
        LayOut(combo);
        return 0;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(combo, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) {
            CloseUp(combo, false);
        }
        return DefWindowProcA(combo, message, wParam, lParam);
    case WM_SETFONT:
        return OnSetFont(combo, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT:
        return OnSetText(combo, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return s->edit ? SendMessageA(s->edit, message, wParam, lParam)
                       : DefWindowProcA(combo, message, wParam, lParam);
    case WM_ENABLE:
        if (!wParam) {
            CloseUp(combo, false);
        }
        if ((s = ComboOf(combo)) != nullptr && s->edit) {
            EnableWindow(s->edit, static_cast<BOOL>(wParam));
        }
        Redraw(combo);
        return 0;
    case WM_SETFOCUS:
        if (s->edit) {
            SetFocus(s->edit);
        } else if (!s->focused) {
            FocusEntered(combo);
        }
        return 0;
    case WM_KILLFOCUS:
        if (s->focused && !FocusInBox(combo)) {
            FocusLeft(combo);
        }
        return 0;
    case WM_COMMAND:
        return OnCommand(combo, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (s->dropped ? DLGC_WANTALLKEYS : 0);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKey(combo, wParam, message == WM_SYSKEYDOWN)) {
            return 0;
        }
        return DefWindowProcA(combo, message, wParam, lParam);
    case WM_CHAR:
        if (OnCharacter(combo, static_cast<BYTE>(wParam))) {
            return 0;
        }
        if (s->kind == CBS_DROPDOWNLIST && wParam >= 0x20 &&
            !IsDBCSLeadByte(static_cast<BYTE>(wParam))) {
            SelectByFirstCharacter(combo, static_cast<BYTE>(wParam));
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return OnMouse(combo, message, lParam);
    case WM_MOUSEWHEEL:
        if (s->dropped) {
            ScrollListByWheel(combo, GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        }
        return DefWindowProcA(combo, message, wParam, lParam);
    case WM_CAPTURECHANGED:
        if (s->tracking && reinterpret_cast<HWND>(lParam) != s->list) {
            s->tracking = false;
            Redraw(combo);
        }
        return 0;
    case WM_CANCELMODE:
        CloseUp(combo, false);
        return DefWindowProcA(combo, message, wParam, lParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        // The edit field and the list ask the box's parent, as the box does.
        return SendMessageA(ParentOf(combo), message, wParam, lParam);
    default:
        return DefWindowProcA(combo, message, wParam, lParam);
    }
}

} // namespace

ComboState* ComboOf(HWND combo) {
    return ControlStateOf<ComboState>(combo);
}

bool IsOwnerDrawn(const ComboState& s) {
    return (s.style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
}

bool HasVariableRows(const ComboState& s) {
    return (s.style & CBS_OWNERDRAWVARIABLE) != 0;
}

bool ComboTakesKey(HWND edit, WPARAM key, bool alt) {
    HWND combo = GetParent(edit);
    ComboState* s = ComboOf(combo);
    return s != nullptr && s->edit == edit && OnKey(combo, key, alt);
}

bool ComboDroppedDown(HWND edit) {
    ComboState* s = ComboOf(GetParent(edit));
    return s != nullptr && s->edit == edit && s->dropped;
}

bool ComboTakesCharacter(HWND edit, BYTE character) {
    HWND combo = GetParent(edit);
    ComboState* s = ComboOf(combo);
    return s != nullptr && s->edit == edit && OnCharacter(combo, character);
}

void CloseUp(HWND combo, bool chosen) {
    ComboState* s = ComboOf(combo);
    if (s == nullptr || !s->dropped || s->closing) {
        return;
    }
    s->closing = true;
    s->tracking = false;
    HWND list = s->list;
    // The parent hears the end of the choice while the list still shows.
    if (!NotifyParent(combo, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL)) {
        return;
    }
    s = ComboOf(combo);
    s->closing = false;
    s->dropped = false;
    s->hot = s->selection;
    if (Find(list)) {
        SetWindowPos(list, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (GetCapture() != nullptr && (GetCapture() == list || GetCapture() == combo)) {
        ReleaseCapture();
    }
    if (Find(combo)) {
        Redraw(combo);
        NotifyParent(combo, CBN_CLOSEUP);
    }
}

namespace {

// `alwaysTell`: CBN_SELCHANGE also when the row was selected already.
void ChooseRow(HWND combo, int index, bool alwaysTell) {
    ComboState* s = ComboOf(combo);
    bool valid = ValidIndex(*s, static_cast<WPARAM>(index));
    bool changed = valid && index != s->selection;
    if (valid) {
        MarkSelected(combo, index);
    }
    CloseUp(combo, true);
    if (ComboOf(combo) == nullptr || !valid) {
        return;
    }
    if (changed || alwaysTell) {
        Select(combo, index, {CBN_SELCHANGE});
    } else {
        SetEditText(combo, SelectedText(*ComboOf(combo)));
    }
}

} // namespace

void ChooseItem(HWND combo, int index) {
    ChooseRow(combo, index, false);
}

// Dropping the list may have selected the row matching typed text without
// telling the parent; a click on that row is still the user's choice.
void ClickItem(HWND combo, int row) {
    ChooseRow(combo, row, true);
}

void KeyMovedSelection(HWND combo, int index) {
    if (ComboOf(combo)->dropped) {
        Select(combo, index, {CBN_SELCHANGE});
    } else {
        Select(combo, index, {CBN_SELENDOK, CBN_SELCHANGE});
    }
}

void MarkSelected(HWND combo, int index) {
    ComboState* s = ComboOf(combo);
    s->selection = s->hot = index;
    if (s->kind == CBS_DROPDOWNLIST) {
        Find(combo)->text = SelectedText(*s);
    }
    ShowInList(combo, index);
    Redraw(combo);
}

LRESULT AnswerComboMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    return OnComboMessage(combo, message, wParam, lParam);
}

int ListRow(const ComboState& s) {
    return s.dropped || s.kind == CBS_SIMPLE ? s.hot : s.selection;
}

void SelectFromList(HWND combo, int index) {
    Select(combo, index, {CBN_SELCHANGE});
}

void DrawOwnerItem(HWND combo, HDC dc, int index, const RECT& rect, UINT state) {
    ComboState* s = ComboOf(combo);
    ULONG_PTR data = index >= 0 && index < Count(*s) ? s->items[index].data : 0;
    DRAWITEMSTRUCT draw{ODT_COMBOBOX,
                        ControlId(combo),
                        static_cast<UINT>(index),
                        ODA_DRAWENTIRE,
                        state,
                        combo,
                        dc,
                        rect,
                        data};
    SendMessageA(ParentOf(combo), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
}

void RegisterComboBoxClasses(UserState& state) {
    WNDCLASSA combo{};
    combo.style = CS_GLOBALCLASS | CS_PARENTDC | CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW;
    combo.lpfnWndProc = ComboBoxProc;
    combo.lpszClassName = kComboBoxClass;
    RegisterSystemClass(state, combo, IDC_ARROW);
    WNDCLASSA list{};
    list.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_SAVEBITS;
    list.lpfnWndProc = ComboListProc;
    list.lpszClassName = kComboListClass;
    RegisterSystemClass(state, list, IDC_ARROW);
}

} // namespace platform::user

// The box answers for itself, so that a program that subclasses it sees the
// question.
BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
    if (platform::user::ComboOf(combo) == nullptr) {
        return FALSE;
    }
    return static_cast<BOOL>(
        SendMessageA(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)));
}
