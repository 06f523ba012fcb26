#include "ListRows.h"

#include <algorithm>

namespace platform::user {

namespace {

bool SameText(const std::string& a, const std::string& b, std::size_t length) {
    return a.size() >= length && b.size() >= length &&
           CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(length),
                          b.data(), static_cast<int>(length)) == CSTR_EQUAL;
}

bool Valid(const ListItems& items, WPARAM index) {
    return index < items.size();
}

} // namespace

int FindListItem(const ListItems& items, WPARAM start, const char* text, bool exact) {
    if (text == nullptr) {
        return -1;
    }
    const std::string wanted = text;
    const int count = static_cast<int>(items.size());
    const int first = Valid(items, start) ? static_cast<int>(start) + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const std::string& item = items[(first + step) % count].text;
        if (exact ? item.size() == wanted.size() && SameText(item, wanted, item.size())
                  : SameText(item, wanted, wanted.size())) {
            return (first + step) % count;
        }
    }
    return -1;
}

int SortedPosition(const ListItems& items, const std::string& text) {
    auto after = std::upper_bound(
        items.begin(), items.end(), text, [](const std::string& t, const ListItem& item) {
            return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, t.data(),
                                  static_cast<int>(t.size()), item.text.data(),
                                  static_cast<int>(item.text.size())) == CSTR_LESS_THAN;
        });
    return static_cast<int>(after - items.begin());
}

LRESULT CopyItemText(const ListItems& items, WPARAM index, LPARAM buffer) {
    if (!Valid(items, index) || buffer == 0) {
        return -1;
    }
    const std::string& text = items[index].text;
    std::copy(text.c_str(), text.c_str() + text.size() + 1, reinterpret_cast<char*>(buffer));
    return static_cast<LRESULT>(text.size());
}

int RowAfterKey(WPARAM key, int from, int count, int page) {
    const int last = count - 1;
    if (last < 0) {
        return -1;
    }
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        return std::max(from - 1, 0);
    case VK_DOWN:
    case VK_RIGHT:
        return std::min(from + 1, last);
    case VK_PRIOR:
        return std::max(from - page, 0);
    case VK_NEXT:
        return std::clamp(from + page, 0, last);
    case VK_HOME:
        return 0;
    case VK_END:
        return last;
    default:
        return -1;
    }
}

int TopAfterScroll(WPARAM request, int top, int count, int page) {
    switch (LOWORD(request)) {
    case SB_LINEUP:
        return top - 1;
    case SB_LINEDOWN:
        return top + 1;
    case SB_PAGEUP:
        return top - page;
    case SB_PAGEDOWN:
        return top + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return static_cast<short>(HIWORD(request));
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return count;
    default:
        return top;
    }
}

void DrawTextRow(HDC dc, const RECT& row, const std::string& text, int textHeight, bool highlighted,
                 bool focusMark, HBRUSH background) {
    FillRect(dc, &row, highlighted ? GetSysColorBrush(COLOR_HIGHLIGHT) : background);
    COLORREF kept =
        highlighted ? SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT)) : GetTextColor(dc);
    int y = row.top + (row.bottom - row.top - textHeight) / 2;
    TextOutA(dc, row.left + 2, y, text.data(), static_cast<int>(text.size()));
    SetTextColor(dc, kept);
    if (focusMark) {
        DrawFocusRect(dc, &row);
    }
}

} // namespace platform::user
