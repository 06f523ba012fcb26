#pragma once
// What every list of text rows shares, the "LISTBOX" class and the combo
// box's list alike: the items, finding and sorting them by text as the
// user's locale compares it, the row a key moves to, and how a row is drawn.

#include <windows.h>

#include <string>
#include <vector>

namespace platform::user {

struct ListItem {
    std::string text;
    ULONG_PTR data = 0;
    // The row height of an item of an owner-drawn list with rows of their
    // own heights.
    int height = 0;
};

using ListItems = std::vector<ListItem>;

// The first item after `start` (from the top for an index out of range)
// that begins with `text`, or equals it, ignoring case; the search wraps
// around. -1 for none.
int FindListItem(const ListItems& items, WPARAM start, const char* text, bool exact);

// Where a sorted list puts `text`: after the items that do not sort after
// it, under the user's locale and ignoring case.
int SortedPosition(const ListItems& items, const std::string& text);

// Copies the item's text, its terminating zero included, to `buffer`; its
// length, or -1 for an index out of range or no buffer.
LRESULT CopyItemText(const ListItems& items, WPARAM index, LPARAM buffer);

// The row a key moves to from row `from` (-1: none) among `count` rows,
// `page` rows a page; -1 for a key that does not move it. From no row
// every key goes to the first.
int RowAfterKey(WPARAM key, int from, int count, int page);

// The first row a scroll request (a WM_VSCROLL wParam) asks for, from row
// `top` among `count` rows with `page` rows a page; `top` for a request that
// does not scroll. The caller holds it to the rows it can show.
int TopAfterScroll(WPARAM request, int top, int count, int page);

// Draws a row of text: the highlight colours or `background`, the text
// `textHeight` high centred in the row, and the focus rectangle.
void DrawTextRow(HDC dc, const RECT& row, const std::string& text, int textHeight, bool highlighted,
                 bool focusMark, HBRUSH background);

} // namespace platform::user
