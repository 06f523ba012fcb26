// The list of a combo box ("ComboLBox"): the rows of the box's items from its
// first row, the highlighted row, scrolling, the keys that move the row, the
// mouse, and the LB_ messages about the box's items. Dropped down, it is a
// top-level pop-up that never takes the activation; while it is down it
// holds the capture, so a press outside it closes it up.

#include "ComboBox.h"
#include "MouseParams.h"
#include "SystemControls.h"

#include <algorithm>

namespace platform::user {

namespace {

struct ComboListState final : ControlState {
    HWND combo = nullptr;
    // The left button went down on a row of the dropped list.
    bool pressed = false;
    // What a fine-stepping wheel turned short of a whole line.
    int wheelRemainder = 0;
};

ComboListState* ListOf(HWND list) {
    return ControlStateOf<ComboListState>(list);
}

int ListClientHeight(HWND combo) {
    ComboState* s = ComboOf(combo);
    RECT client{};
    if (Find(s->list)) {
        GetClientRect(s->list, &client);
    }
    return client.bottom;
}

// The largest first row that still fills the list.
int LastTop(HWND combo) {
    ComboState* s = ComboOf(combo);
    int room = ListClientHeight(combo);
    int top = static_cast<int>(s->items.size());
    while (top > 0 && room - RowHeight(*s, top - 1) >= 0) {
        room -= RowHeight(*s, top - 1);
        --top;
    }
    return top;
}

void SetTop(HWND combo, int top) {
    ComboState* s = ComboOf(combo);
    s->top = std::clamp(top, 0, LastTop(combo));
    SyncListScrollBar(combo);
    if (Find(s->list)) {
        InvalidateRect(s->list, nullptr, TRUE);
    }
}

void Scroll(HWND combo, WPARAM request) {
    ComboState* s = ComboOf(combo);
    SetTop(combo, TopAfterScroll(request, s->top, static_cast<int>(s->items.size()),
                                 std::max(RowsShown(combo) - 1, 1)));
}

void DrawRow(HWND combo, HDC dc, int index, const RECT& row, bool highlighted, bool focusMark,
             HBRUSH background) {
    ComboState* s = ComboOf(combo);
    if (IsOwnerDrawn(*s)) {
        UINT state = (highlighted ? ODS_SELECTED : 0) | (focusMark ? ODS_FOCUS : 0);
        DrawOwnerItem(combo, dc, index, row, state);
        return;
    }
    DrawTextRow(dc, row, s->items[index].text, FontHeight(s->font), highlighted, focusMark,
                background);
}

void Paint(HWND list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(list, &paint);
    HWND combo = ListOf(list)->combo;
    if (dc == nullptr) {
        return;
    }
    HBRUSH background = ControlBrush(list, combo, WM_CTLCOLORLISTBOX, dc);
    ComboState* s = ComboOf(combo);
    if (s == nullptr || s->list != list) {
        EndPaint(list, &paint);
        return;
    }
    RECT client;
    GetClientRect(list, &client);
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(s->font));
    SetBkMode(dc, TRANSPARENT);
    bool simple = s->kind == CBS_SIMPLE;
    int shown = simple ? s->selection : s->hot;
    bool marking = !simple || s->focused;
    int y = 0;
    for (int i = s->top; i < static_cast<int>(s->items.size()) && y < client.bottom; ++i) {
        RECT row{0, y, client.right, y + RowHeight(*s, i)};
        DrawRow(combo, dc, i, row, i == shown, marking && i == shown, background);
        if ((s = ComboOf(combo)) == nullptr) {
            break;
        }
        y = row.bottom;
    }
    RECT rest{0, y, client.right, client.bottom};
    FillRect(dc, &rest, background);
    SelectObject(dc, oldFont);
    EndPaint(list, &paint);
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool InClient(HWND window, POINT p) {
    RECT client;
    GetClientRect(window, &client);
    return Inside(client, p);
}

void Highlight(HWND combo, int row) {
    ComboState* s = ComboOf(combo);
    if (row >= 0 && row != s->hot) {
        s->hot = row;
        InvalidateRect(s->list, nullptr, FALSE);
    }
}

void OnDroppedPress(HWND list, HWND combo, POINT p) {
    ComboListState* l = ListOf(list);
    if (InClient(list, p)) {
        l->pressed = true;
        Highlight(combo, RowAt(combo, p));
        return;
    }
    POINT screen = p;
    ClientToScreen(list, &screen);
    RECT frame;
    GetWindowRect(list, &frame);
    if (!Inside(frame, screen)) {
        // Outside the list, the box's own button included: the list closes up.
        CloseUp(combo, false);
        return;
    }
    // The scroll bar hears the press as though nothing held the capture; its
    // thumb takes the capture while it is dragged.
    TrackScrollClick(list, HTVSCROLL, screen);
    ComboState* s = ComboOf(combo);
    if (s && s->dropped && Find(list)) {
        SetCapture(list);
    }
}

void OnSimplePress(HWND combo, POINT p, bool doubleClick) {
    ComboState* s = ComboOf(combo);
    if (s->edit && GetFocus() != s->edit) {
        SetFocus(s->edit);
    }
    int row = RowAt(combo, p);
    if (row < 0) {
        return;
    }
    SelectFromList(combo, row);
    if (doubleClick && ComboOf(combo)) {
        NotifyParent(combo, CBN_DBLCLK);
    }
}

// The row a key moves to from the list's current row; -1 for a key that
// does not move it.
int KeyRow(HWND combo, WPARAM key) {
    ComboState* s = ComboOf(combo);
    return RowAfterKey(key, ListRow(*s), static_cast<int>(s->items.size()),
                       std::max(RowsShown(combo) - 1, 1));
}

// The CB_ message of the box about the same items as the LB_ message; 0
// for none.
UINT ComboTwinOf(UINT message) {
    switch (message) {
    case LB_ADDSTRING:
        return CB_ADDSTRING;
    case LB_INSERTSTRING:
        return CB_INSERTSTRING;
    case LB_DELETESTRING:
        return CB_DELETESTRING;
    case LB_RESETCONTENT:
        return CB_RESETCONTENT;
    case LB_GETTEXT:
        return CB_GETLBTEXT;
    case LB_GETTEXTLEN:
        return CB_GETLBTEXTLEN;
    case LB_FINDSTRING:
        return CB_FINDSTRING;
    case LB_FINDSTRINGEXACT:
        return CB_FINDSTRINGEXACT;
    case LB_GETTOPINDEX:
        return CB_GETTOPINDEX;
    case LB_SETTOPINDEX:
        return CB_SETTOPINDEX;
    case LB_GETITEMDATA:
        return CB_GETITEMDATA;
    case LB_SETITEMDATA:
        return CB_SETITEMDATA;
    default:
        return 0;
    }
}

bool IsListBoxMessage(UINT message) {
    switch (message) {
    case LB_GETCOUNT:
    case LB_GETCURSEL:
    case LB_GETCARETINDEX:
    case LB_SETCURSEL:
    case LB_SETCARETINDEX:
    case LB_GETITEMRECT:
    case LB_ITEMFROMPOINT:
    case LB_GETITEMHEIGHT:
        return true;
    default:
        return ComboTwinOf(message) != 0;
    }
}

// The messages of the list box about its rows; the items are the box's.
LRESULT OnListBoxMessage(HWND list, HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboState* s = ComboOf(combo);
    int count = static_cast<int>(s->items.size());
    auto index = static_cast<int>(wParam);
    switch (message) {
    case LB_GETCOUNT:
        return count;
    case LB_GETCURSEL:
    case LB_GETCARETINDEX:
        return ListRow(*s);
    case LB_SETCURSEL:
    case LB_SETCARETINDEX:
        if (index < -1 || index >= count) {
            return LB_ERR;
        }
        MarkSelected(combo, index);
        return index < 0 ? LB_ERR : index;
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (rect == nullptr || index < 0 || index >= count) {
            return LB_ERR;
        }
        RECT client;
        GetClientRect(list, &client);
        int y = 0;
        for (int i = s->top; i < index; ++i) {
            y += RowHeight(*s, i);
        }
        for (int i = index; i < s->top; ++i) {
            y -= RowHeight(*s, i);
        }
        *rect = {0, y, client.right, y + RowHeight(*s, index)};
        return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int row = RowAt(combo, p);
        bool outside = row < 0 || !InClient(list, p);
        return MAKELRESULT(row < 0 ? std::max(count - 1, 0) : row, outside ? 1 : 0);
    }
    case LB_GETITEMHEIGHT:
        return AnswerComboMessage(combo, CB_GETITEMHEIGHT, std::max(index, 0), 0);
    default:
        return AnswerComboMessage(combo, ComboTwinOf(message), wParam, lParam);
    }
}

LRESULT OnMouse(HWND list, UINT message, LPARAM lParam) {
    HWND combo = ListOf(list)->combo;
    ComboState* s = ComboOf(combo);
    if (s == nullptr) {
        return 0;
    }
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool down = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    if (s->kind == CBS_SIMPLE) {
        if (down) {
            OnSimplePress(combo, p, message == WM_LBUTTONDBLCLK);
        }
        return 0;
    }
    if (!s->dropped) {
        return 0;
    }
    if (message == WM_MOUSEMOVE && InClient(list, p)) {
        Highlight(combo, RowAt(combo, p));
    } else if (down) {
        OnDroppedPress(list, combo, p);
    } else if (message == WM_LBUTTONUP && ListOf(list)->pressed) {
        ListOf(list)->pressed = false;
        int row = InClient(list, p) ? RowAt(combo, p) : -1;
        if (row >= 0) {
            ClickItem(combo, row);
        }
    }
    return 0;
}

} // namespace

int RowHeight(const ComboState& s, int index) {
    return HasVariableRows(s) ? s.items[index].height : s.itemHeight;
}

int RowsShown(HWND combo) {
    ComboState* s = ComboOf(combo);
    // A list that is not down counts the rows it will show.
    int room = s->dropped || s->kind == CBS_SIMPLE ? ListClientHeight(combo) : s->dropHeight - 2;
    if (!HasVariableRows(*s)) {
        return std::max(room / std::max(s->itemHeight, 1), 1);
    }
    int rows = 0;
    for (int i = s->top; i < static_cast<int>(s->items.size()); ++i) {
        room -= RowHeight(*s, i);
        if (room < 0) {
            break;
        }
        ++rows;
    }
    return std::max(rows, 1);
}

int RowAt(HWND combo, POINT listPoint) {
    ComboState* s = ComboOf(combo);
    if (listPoint.y < 0) {
        return -1;
    }
    int y = 0;
    for (int i = s->top; i < static_cast<int>(s->items.size()); ++i) {
        y += RowHeight(*s, i);
        if (listPoint.y < y) {
            return i;
        }
    }
    return -1;
}

void ShowInList(HWND combo, int index) {
    ComboState* s = ComboOf(combo);
    if (index >= 0 && index < static_cast<int>(s->items.size())) {
        if (index < s->top) {
            s->top = index;
        }
        int room = ListClientHeight(combo);
        int below = 0;
        for (int i = index; i >= s->top; --i) {
            below += RowHeight(*s, i);
        }
        while (s->top < index && below > room) {
            below -= RowHeight(*s, s->top);
            ++s->top;
        }
    }
    SetTop(combo, s->top);
}

void SyncListScrollBar(HWND combo) {
    ComboState* s = ComboOf(combo);
    if (!s->listScrolls || !Find(s->list)) {
        return;
    }
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    static_cast<int>(s->items.size()) - 1,
                    static_cast<UINT>(RowsShown(combo)),
                    s->top,
                    0};
    SetScrollInfo(s->list, SB_VERT, &info, TRUE);
}

void ShowDroppedList(HWND combo) {
    ComboState* s = ComboOf(combo);
    RECT box;
    GetWindowRect(combo, &box);
    constexpr int kBorders = 2;
    int height = std::max(s->dropHeight, s->itemHeight + kBorders);
    if (!HasVariableRows(*s) && !(s->style & CBS_NOINTEGRALHEIGHT) && s->itemHeight > 0) {
        height = (height - kBorders) / s->itemHeight * s->itemHeight + kBorders;
    }
    int y = box.bottom;
    if (y + height > GetSystemMetrics(SM_CYSCREEN) && box.top - height >= 0) {
        y = box.top - height;
    }
    HWND list = s->list;
    auto width = static_cast<int>(AnswerComboMessage(combo, CB_GETDROPPEDWIDTH, 0, 0));
    SetWindowPos(list, HWND_TOPMOST, box.left, y, width, height, SWP_NOACTIVATE);
    if ((s = ComboOf(combo)) == nullptr) {
        return;
    }
    s->top = 0;
    ShowInList(combo, s->selection);
    SetWindowPos(list, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ScrollListByWheel(HWND combo, int delta) {
    ComboState* s = ComboOf(combo);
    ComboListState* l = ListOf(s->list);
    if (l == nullptr) {
        return;
    }
    const int turned = l->wheelRemainder + delta * static_cast<int>(kWheelScrollLines);
    const int lines = turned / WHEEL_DELTA;
    l->wheelRemainder = turned % WHEEL_DELTA;
    if (lines != 0) {
        SetTop(combo, s->top - lines);
    }
}

LRESULT CALLBACK ComboListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto list = std::make_unique<ComboListState>();
        list->combo = static_cast<HWND>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        Find(window)->control = std::move(list);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ComboListState* l = ListOf(window);
    if (l == nullptr || ComboOf(l->combo) == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (IsListBoxMessage(message)) {
        return OnListBoxMessage(window, l->combo, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        // Painting fills every row and the rest.
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return OnMouse(window, message, lParam);
    case WM_VSCROLL:
        Scroll(l->combo, wParam);
        return 0;
    case WM_KEYDOWN: {
        int row = KeyRow(l->combo, wParam);
        if (row < 0) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        KeyMovedSelection(l->combo, row);
        return 0;
    }
    case WM_CANCELMODE:
        CloseUp(l->combo, false);
        return 0;
    case WM_CAPTURECHANGED:
        l->pressed = false;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace platform::user
