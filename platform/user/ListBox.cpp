// The system class "LISTBOX": a single-selection list of text rows in a child
// window. Its items, their order and search, the keys' rows and the row
// drawing are the ones the combo box's list uses (ListRows.h). The parent
// hears LBN_SELCHANGE, LBN_DBLCLK, LBN_SETFOCUS and LBN_KILLFOCUS when the
// list has LBS_NOTIFY; a program's LB_SETCURSEL is told to no one.

#include "ListRows.h"
#include "MouseParams.h"
#include "SystemControls.h"

#include <algorithm>
#include <memory>

namespace platform::user {

namespace {

constexpr char kListBoxClass[] = "LISTBOX";

struct ListBoxState final : ControlState {
    ListItems items;
    DWORD style = 0;
    HFONT font = nullptr;
    int selection = -1;
    // The row with the focus rectangle.
    int caret = -1;
    // The first row shown.
    int top = 0;
    int itemHeight = 0;
    bool focused = false;
    // Made with WS_VSCROLL: a scroll bar shows while the rows do not fit.
    bool scrolls = false;
};

ListBoxState* ListBoxOf(HWND list) {
    return ControlStateOf<ListBoxState>(list);
}

int Count(const ListBoxState& s) {
    return static_cast<int>(s.items.size());
}

bool Valid(const ListBoxState& s, WPARAM index) {
    return index < s.items.size();
}

// The rows the client area shows whole, at least one.
int RowsShown(HWND list) {
    ListBoxState* s = ListBoxOf(list);
    RECT client;
    GetClientRect(list, &client);
    return std::max<int>(client.bottom / std::max(s->itemHeight, 1), 1);
}

void SyncScrollBar(HWND list) {
    ListBoxState* s = ListBoxOf(list);
    if (!s->scrolls) {
        return;
    }
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    Count(*s) - 1,
                    static_cast<UINT>(RowsShown(list)),
                    s->top,
                    0};
    SetScrollInfo(list, SB_VERT, &info, TRUE);
}

void SetTop(HWND list, int top) {
    ListBoxState* s = ListBoxOf(list);
    s->top = std::clamp(top, 0, std::max(Count(*s) - RowsShown(list), 0));
    SyncScrollBar(list);
    InvalidateRect(list, nullptr, TRUE);
}

// Scrolls as little as shows the row.
void ShowRow(HWND list, int row) {
    ListBoxState* s = ListBoxOf(list);
    if (row < 0) {
        SetTop(list, s->top);
    } else if (row < s->top) {
        SetTop(list, row);
    } else if (row >= s->top + RowsShown(list)) {
        SetTop(list, row - RowsShown(list) + 1);
    } else {
        InvalidateRect(list, nullptr, TRUE);
    }
}

bool Notify(HWND list, int code) {
    ListBoxState* s = ListBoxOf(list);
    return !(s->style & LBS_NOTIFY) || NotifyParent(list, code);
}

// The user chose a row: it becomes the selection, and the parent hears of
// a change.
void UserSelects(HWND list, int row) {
    ListBoxState* s = ListBoxOf(list);
    bool changed = row != s->selection;
    s->selection = s->caret = row;
    ShowRow(list, row);
    if (changed) {
        Notify(list, LBN_SELCHANGE);
    }
}

LRESULT InsertItem(HWND list, int index, const char* text, bool adding) {
    ListBoxState* s = ListBoxOf(list);
    ListItem item{text ? text : "", 0, s->itemHeight};
    if (adding) {
        index = (s->style & LBS_SORT) ? SortedPosition(s->items, item.text) : Count(*s);
    } else if (index == -1) {
        index = Count(*s);
    }
    if (index < 0 || index > Count(*s)) {
        return LB_ERR;
    }
    s->items.insert(s->items.begin() + index, std::move(item));
    for (int* kept : {&s->selection, &s->caret}) {
        if (*kept >= index) {
            ++*kept;
        }
    }
    ShowRow(list, -1);
    return index;
}

LRESULT DeleteItem(HWND list, WPARAM index) {
    ListBoxState* s = ListBoxOf(list);
    if (!Valid(*s, index)) {
        return LB_ERR;
    }
    const int at = static_cast<int>(index);
    s->items.erase(s->items.begin() + at);
    for (int* kept : {&s->selection, &s->caret}) {
        *kept = *kept == at ? -1 : *kept > at ? *kept - 1 : *kept;
    }
    ShowRow(list, -1);
    return Count(*s);
}

LRESULT SetSelection(HWND list, WPARAM index) {
    ListBoxState* s = ListBoxOf(list);
    const bool valid = Valid(*s, index);
    s->selection = s->caret = valid ? static_cast<int>(index) : -1;
    ShowRow(list, s->selection);
    return valid ? static_cast<LRESULT>(index) : LB_ERR;
}

LRESULT ItemRect(HWND list, WPARAM index, LPARAM out) {
    ListBoxState* s = ListBoxOf(list);
    if (!Valid(*s, index) || out == 0) {
        return LB_ERR;
    }
    RECT client;
    GetClientRect(list, &client);
    const int y = (static_cast<int>(index) - s->top) * s->itemHeight;
    *reinterpret_cast<RECT*>(out) = {0, y, client.right, y + s->itemHeight};
    return LB_OKAY;
}

// The row at a point of the client area in the low word, 1 in the high
// word for a point below the last row.
LRESULT ItemFromPoint(HWND list, POINT p) {
    ListBoxState* s = ListBoxOf(list);
    const int row = s->top + std::max<int>(p.y, 0) / std::max(s->itemHeight, 1);
    if (row >= Count(*s)) {
        return MAKELRESULT(std::max(Count(*s) - 1, 0), 1);
    }
    return MAKELRESULT(row, 0);
}

LRESULT OnListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    ListBoxState* s = ListBoxOf(list);
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return InsertItem(list, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam),
                          message == LB_ADDSTRING);
    case LB_DELETESTRING:
        return DeleteItem(list, wParam);
    case LB_RESETCONTENT:
        s->items.clear();
        s->selection = s->caret = -1;
        SetTop(list, 0);
        return LB_OKAY;
    case LB_GETCOUNT:
        return Count(*s);
    case LB_GETTEXT:
        return CopyItemText(s->items, wParam, lParam);
    case LB_GETTEXTLEN:
        return Valid(*s, wParam) ? static_cast<LRESULT>(s->items[wParam].text.size()) : LB_ERR;
    case LB_SETCURSEL:
        return SetSelection(list, wParam);
    case LB_GETCURSEL:
        return s->selection;
    case LB_GETCARETINDEX:
        return s->caret;
    case LB_SETCARETINDEX:
        if (!Valid(*s, wParam)) {
            return LB_ERR;
        }
        s->caret = static_cast<int>(wParam);
        ShowRow(list, s->caret);
        return LB_OKAY;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return FindListItem(s->items, wParam, reinterpret_cast<const char*>(lParam),
                            message == LB_FINDSTRINGEXACT);
    case LB_GETTOPINDEX:
        return s->top;
    case LB_SETTOPINDEX:
        if (!Valid(*s, wParam)) {
            return LB_ERR;
        }
        SetTop(list, static_cast<int>(wParam));
        return LB_OKAY;
    case LB_GETITEMDATA:
        return Valid(*s, wParam) ? static_cast<LRESULT>(s->items[wParam].data) : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(*s, wParam)) {
            return LB_ERR;
        }
        s->items[wParam].data = static_cast<ULONG_PTR>(lParam);
        return LB_OKAY;
    case LB_GETITEMHEIGHT:
        return s->itemHeight;
    case LB_SETITEMHEIGHT:
        if (lParam <= 0 || lParam > 255) {
            return LB_ERR;
        }
        s->itemHeight = static_cast<int>(lParam);
        SetTop(list, s->top);
        return LB_OKAY;
    case LB_GETITEMRECT:
        return ItemRect(list, wParam, lParam);
    case LB_ITEMFROMPOINT:
        return ItemFromPoint(list, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    default:
        return DefWindowProcA(list, message, wParam, lParam);
    }
}

void Paint(HWND list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(list, &paint);
    if (dc == nullptr) {
        return;
    }
    HBRUSH background = ControlBrush(list, GetParent(list), WM_CTLCOLORLISTBOX, dc);
    ListBoxState* s = ListBoxOf(list);
    if (s == nullptr) {
        EndPaint(list, &paint);
        return;
    }
    RECT client;
    GetClientRect(list, &client);
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(s->font));
    SetBkMode(dc, TRANSPARENT);
    const int textHeight = FontHeight(s->font);
    int y = 0;
    for (int i = s->top; i < Count(*s) && y < client.bottom; ++i) {
        RECT row{0, y, client.right, y + s->itemHeight};
        DrawTextRow(dc, row, s->items[i].text, textHeight, i == s->selection,
                    s->focused && i == s->caret, background);
        y = row.bottom;
    }
    RECT rest{0, y, client.right, client.bottom};
    FillRect(dc, &rest, background);
    SelectObject(dc, oldFont);
    EndPaint(list, &paint);
}

void OnPress(HWND list, LPARAM lParam, bool doubleClick) {
    if (GetFocus() != list) {
        SetFocus(list);
    }
    ListBoxState* s = ListBoxOf(list);
    if (s == nullptr) {
        return;
    }
    LRESULT hit = ItemFromPoint(list, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (HIWORD(hit) != 0 || Count(*s) == 0) {
        return;
    }
    UserSelects(list, LOWORD(hit));
    if (doubleClick && ListBoxOf(list)) {
        Notify(list, LBN_DBLCLK);
    }
}

void OnKey(HWND list, WPARAM key) {
    ListBoxState* s = ListBoxOf(list);
    const int row = RowAfterKey(key, s->caret, Count(*s), std::max(RowsShown(list) - 1, 1));
    if (row >= 0) {
        UserSelects(list, row);
    }
}

// A typed character selects the next item that begins with it.
void OnCharacter(HWND list, WPARAM character) {
    ListBoxState* s = ListBoxOf(list);
    const char text[2] = {static_cast<char>(character), '\0'};
    const int row = FindListItem(s->items, static_cast<WPARAM>(s->caret), text, false);
    if (row >= 0) {
        UserSelects(list, row);
    }
}

void OnFocus(HWND list, bool gained) {
    ListBoxState* s = ListBoxOf(list);
    s->focused = gained;
    if (s->caret < 0 && gained && Count(*s) > 0) {
        s->caret = 0;
    }
    InvalidateRect(list, nullptr, TRUE);
    Notify(list, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

LRESULT OnSetFont(HWND list, HFONT font, bool redraw) {
    ListBoxState* s = ListBoxOf(list);
    s->font = font;
    s->itemHeight = FontHeight(font);
    SetTop(list, s->top);
    if (!redraw) {
        ValidateRect(list, nullptr);
    }
    return 0;
}

bool IsListMessage(UINT message) {
    return message >= LB_ADDSTRING && message <= LB_ITEMFROMPOINT;
}

LRESULT CALLBACK ListBoxProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<ListBoxState>();
        state->style = reinterpret_cast<const CREATESTRUCTA*>(lParam)->style;
        state->scrolls = (state->style & WS_VSCROLL) != 0;
        state->itemHeight = FontHeight(nullptr);
        Find(list)->control = std::move(state);
        return DefWindowProcA(list, message, wParam, lParam);
    }
    ListBoxState* s = ListBoxOf(list);
    if (s == nullptr) {
        return DefWindowProcA(list, message, wParam, lParam);
    }
    if (IsListMessage(message)) {
        return OnListMessage(list, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(list);
        return 0;
    case WM_ERASEBKGND:
        // Painting fills every row and the rest.
        return 1;
    case WM_SIZE:
        SetTop(list, s->top);
        return 0;
    case WM_SETFONT:
        return OnSetFont(list, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnPress(list, lParam, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_KEYDOWN:
        OnKey(list, wParam);
        return 0;
    case WM_CHAR:
        OnCharacter(list, wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocus(list, message == WM_SETFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_VSCROLL:
        SetTop(list, TopAfterScroll(wParam, s->top, Count(*s), std::max(RowsShown(list) - 1, 1)));
        return 0;
    default:
        return DefWindowProcA(list, message, wParam, lParam);
    }
}

} // namespace

void RegisterListBoxClass(UserState& state) {
    WNDCLASSA list{};
    list.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_PARENTDC;
    list.lpfnWndProc = ListBoxProc;
    list.lpszClassName = kListBoxClass;
    RegisterSystemClass(state, list, IDC_ARROW);
}

} // namespace platform::user
