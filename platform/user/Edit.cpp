// The system class "EDIT": a single-line edit field with a caret and a
// selection, typing (a double-byte character arrives as two WM_CHAR, lead
// byte first, and goes in whole), the editing and moving keys, the mouse,
// EN_ notifications to the parent and painting in the colours the parent
// answers to WM_CTLCOLOREDIT. The text is the window text; positions count
// bytes and never fall inside a double-byte character. The caret is drawn
// steadily while the field has the focus. An edit field that is a combo
// box's hands the combo box the keys that work its list.

#include "ComboBox.h"
#include "MouseParams.h"
#include "SystemControls.h"

#include <algorithm>
#include <vector>

namespace platform::user {

namespace {

constexpr char kEditClass[] = "EDIT";
constexpr std::size_t kDefaultLimit = 32767;
// What EM_LIMITTEXT 0 sets: as much as a single-line field can hold.
constexpr std::size_t kLargestLimit = 0x7FFFFFFE;
// The margins a font gives (EC_USEFONTINFO), on either side.
constexpr int kFontMargin = 1;

struct EditState final : ControlState {
    HFONT font = nullptr;
    // The selection runs from the anchor to the caret, either way round.
    std::size_t anchor = 0;
    std::size_t caret = 0;
    std::size_t limit = kDefaultLimit;
    int leftMargin = kFontMargin;
    int rightMargin = kFontMargin;
    // Pixels of the text scrolled out at the left (ES_AUTOHSCROLL).
    int scroll = 0;
    // The lead byte of a double-byte character whose trail byte is to come.
    BYTE pendingLead = 0;
    bool focused = false;
    // The left button is down in the field and drags the caret.
    bool selecting = false;
};

EditState* EditOf(HWND window) {
    return ControlStateOf<EditState>(window);
}

std::string& TextOf(HWND window) {
    return Find(window)->text;
}

DWORD StyleOf(HWND window) {
    return Find(window)->style;
}

bool IsTrailByte(BYTE byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

std::size_t CharacterLength(const std::string& text, std::size_t at) {
    return IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The character boundaries of the text, 0 and its length included.
std::vector<std::size_t> Boundaries(const std::string& text) {
    std::vector<std::size_t> out{0};
    for (std::size_t at = 0; at < text.size();) {
        at += CharacterLength(text, at);
        out.push_back(at);
    }
    return out;
}

// The last boundary at or before `position`.
std::size_t SnapToBoundary(const std::string& text, std::size_t position) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t next = at + CharacterLength(text, at);
        if (next > position) {
            break;
        }
        at = next;
    }
    return at;
}

std::size_t PreviousBoundary(const std::string& text, std::size_t position) {
    return position == 0 ? 0 : SnapToBoundary(text, position - 1);
}

std::size_t NextBoundary(const std::string& text, std::size_t position) {
    return position >= text.size() ? text.size() : position + CharacterLength(text, position);
}

std::size_t SelectionStart(const EditState& e) {
    return std::min(e.anchor, e.caret);
}

std::size_t SelectionEnd(const EditState& e) {
    return std::max(e.anchor, e.caret);
}

int PrefixWidth(HWND window, const EditState& e, std::size_t length) {
    return TextWidth(e.font, TextOf(window).data(), length);
}

// The width the text is laid out in, between the margins.
int FormatWidth(HWND window, const EditState& e) {
    RECT client;
    GetClientRect(window, &client);
    return client.right - e.leftMargin - e.rightMargin;
}

// The client x of the position.
int XOfPosition(HWND window, const EditState& e, std::size_t position) {
    return e.leftMargin - e.scroll + PrefixWidth(window, e, position);
}

// The boundary nearest to client x.
std::size_t PositionAtX(HWND window, const EditState& e, int x) {
    std::vector<std::size_t> bounds = Boundaries(TextOf(window));
    auto later = std::partition_point(bounds.begin(), bounds.end(),
                                      [&](std::size_t b) { return XOfPosition(window, e, b) < x; });
    if (later == bounds.begin()) {
        return 0;
    }
    if (later == bounds.end()) {
        return bounds.back();
    }
    auto earlier = later - 1;
    return x - XOfPosition(window, e, *earlier) < XOfPosition(window, e, *later) - x ? *earlier
                                                                                     : *later;
}

// Scrolls just enough to show the caret; without ES_AUTOHSCROLL the text
// never scrolls.
void ScrollToCaret(HWND window, EditState& e) {
    if (!(StyleOf(window) & ES_AUTOHSCROLL)) {
        e.scroll = 0;
        return;
    }
    int caret = PrefixWidth(window, e, e.caret);
    int visible = std::max(FormatWidth(window, e), 1);
    if (caret - e.scroll > visible - 1) {
        e.scroll = caret - visible + 1;
    } else if (caret < e.scroll) {
        e.scroll = caret;
    }
}

void Redraw(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

// Tells the parent of a change made to the text: EN_UPDATE before the field
// shows it, EN_CHANGE after.
void AnnounceChange(HWND window) {
    if (!NotifyParent(window, EN_UPDATE)) {
        return;
    }
    Redraw(window);
    UpdateWindow(window);
    NotifyParent(window, EN_CHANGE);
}

void RefuseInsertion(HWND window) {
    MessageBeep(0);
    NotifyParent(window, EN_MAXTEXT);
}

// Replaces the selection by `insert`, cut to the text limit at a character
// boundary; a field without ES_AUTOHSCROLL takes nothing that would not fit
// its width. What is cut or refused beeps and sends EN_MAXTEXT. False when
// the text did not change.
bool ReplaceSelection(HWND window, std::string insert) {
    EditState* e = EditOf(window);
    std::string& text = TextOf(window);
    std::size_t start = SelectionStart(*e);
    std::size_t end = SelectionEnd(*e);
    std::size_t kept = text.size() - (end - start);
    std::size_t room = e->limit > kept ? e->limit - kept : 0;
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(SnapToBoundary(insert, room));
    }
    std::string changed = text.substr(0, start) + insert + text.substr(end);
    bool tooWide = !(StyleOf(window) & ES_AUTOHSCROLL) && !insert.empty() &&
                   TextWidth(e->font, changed.data(), changed.size()) > FormatWidth(window, *e);
    if (tooWide || (insert.empty() && start == end)) {
        if (tooWide || cut) {
            RefuseInsertion(window);
        }
        return false;
    }
    text = std::move(changed);
    e->anchor = e->caret = start + insert.size();
    ScrollToCaret(window, *e);
    AnnounceChange(window);
    if (cut && Find(window)) {
        RefuseInsertion(window);
    }
    return true;
}

void Type(HWND window, std::string characters) {
    if (StyleOf(window) & ES_READONLY) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(window, std::move(characters));
}

// Deletes the selection or, without one, the range the key removes.
void Erase(HWND window, bool backwards) {
    EditState* e = EditOf(window);
    if (StyleOf(window) & ES_READONLY) {
        MessageBeep(0);
        return;
    }
    const std::string& text = TextOf(window);
    if (e->anchor == e->caret) {
        std::size_t other =
            backwards ? PreviousBoundary(text, e->caret) : NextBoundary(text, e->caret);
        if (other == e->caret) {
            return;
        }
        e->anchor = other;
    }
    ReplaceSelection(window, std::string());
}

void OnChar(HWND window, BYTE character) {
    if (ComboTakesCharacter(window, character)) {
        return;
    }
    EditState* e = EditOf(window);
    if (e->pendingLead) {
        BYTE lead = e->pendingLead;
        e->pendingLead = 0;
        if (IsTrailByte(character)) {
            Type(window, std::string{static_cast<char>(lead), static_cast<char>(character)});
            return;
        }
    }
    if (character == VK_BACK) {
        Erase(window, true);
    } else if (character < 0x20 || character == 0x7F) {
        // Tab, Enter, Escape and the control characters type nothing here.
    } else if (IsDBCSLeadByte(character)) {
        e->pendingLead = character;
    } else {
        Type(window, std::string(1, static_cast<char>(character)));
    }
}

void MoveCaret(HWND window, std::size_t to, bool extend) {
    EditState* e = EditOf(window);
    e->caret = to;
    if (!extend) {
        e->anchor = to;
    }
    ScrollToCaret(window, *e);
    Redraw(window);
}

bool Shifted() {
    return GetKeyState(VK_SHIFT) < 0;
}

// The keys that work a combo box's list go to the combo box.
bool IsComboKey(WPARAM key) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_F4:
        return true;
    default:
        return false;
    }
}

LRESULT OnKeyDown(HWND window, WPARAM key, LPARAM keyData) {
    if (IsComboKey(key) && ComboTakesKey(window, key, false)) {
        return 0;
    }
    EditState* e = EditOf(window);
    const std::string& text = TextOf(window);
    bool extend = Shifted();
    bool collapsing = !extend && e->anchor != e->caret;
    switch (key) {
    case VK_LEFT:
        MoveCaret(window, collapsing ? SelectionStart(*e) : PreviousBoundary(text, e->caret),
                  extend);
        return 0;
    case VK_RIGHT:
        MoveCaret(window, collapsing ? SelectionEnd(*e) : NextBoundary(text, e->caret), extend);
        return 0;
    case VK_HOME:
        MoveCaret(window, 0, extend);
        return 0;
    case VK_END:
        MoveCaret(window, text.size(), extend);
        return 0;
    case VK_DELETE:
        Erase(window, false);
        return 0;
    default:
        return DefWindowProcA(window, WM_KEYDOWN, key, keyData);
    }
}

// A word is a run of characters other than spaces and tabs.
void SelectWordAt(HWND window, std::size_t position) {
    const std::string& text = TextOf(window);
    auto isSpace = [&](std::size_t at) { return text[at] == ' ' || text[at] == '\t'; };
    std::size_t start = position;
    while (start > 0 && !isSpace(PreviousBoundary(text, start))) {
        start = PreviousBoundary(text, start);
    }
    std::size_t end = position;
    while (end < text.size() && !isSpace(end)) {
        end = NextBoundary(text, end);
    }
    EditState* e = EditOf(window);
    e->anchor = start;
    e->caret = end;
    ScrollToCaret(window, *e);
    Redraw(window);
}

void OnButtonDown(HWND window, LPARAM point, bool doubleClick) {
    if (GetFocus() != window) {
        SetFocus(window);
        if (!EditOf(window)) {
            return;
        }
    }
    EditState* e = EditOf(window);
    std::size_t position = PositionAtX(window, *e, GET_X_LPARAM(point));
    if (doubleClick) {
        SelectWordAt(window, position);
        return;
    }
    e->selecting = true;
    SetCapture(window);
    if (EditOf(window)) {
        MoveCaret(window, position, Shifted());
    }
}

void OnFocus(HWND window, bool focused) {
    EditState* e = EditOf(window);
    e->focused = focused;
    e->pendingLead = 0;
    Redraw(window);
    NotifyParent(window, focused ? EN_SETFOCUS : EN_KILLFOCUS);
}

LRESULT OnSetText(HWND window, LPARAM text) {
    DefWindowProcA(window, WM_SETTEXT, 0, text);
    EditState* e = EditOf(window);
    e->anchor = e->caret = 0;
    e->scroll = 0;
    e->pendingLead = 0;
    AnnounceChange(window);
    return TRUE;
}

LRESULT GetSelection(const EditState& e, WPARAM start, LPARAM end) {
    auto from = static_cast<DWORD>(SelectionStart(e));
    auto to = static_cast<DWORD>(SelectionEnd(e));
    if (auto* out = reinterpret_cast<DWORD*>(start)) {
        *out = from;
    }
    if (auto* out = reinterpret_cast<DWORD*>(end)) {
        *out = to;
    }
    return MAKELRESULT(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF));
}

// A start of -1 only drops the selection; an end of -1 (or past the text) is
// the end of the text.
void SetSelection(HWND window, int start, int end) {
    EditState* e = EditOf(window);
    const std::string& text = TextOf(window);
    if (start == -1) {
        e->anchor = e->caret;
    } else {
        auto clampToText = [&](int value) {
            return value < 0 ? text.size()
                             : SnapToBoundary(text, std::min<std::size_t>(value, text.size()));
        };
        e->anchor = clampToText(start);
        e->caret = clampToText(end);
    }
    ScrollToCaret(window, *e);
    Redraw(window);
}

void SetMargins(HWND window, WPARAM which, LPARAM margins) {
    EditState* e = EditOf(window);
    auto margin = [](WORD given) { return given == EC_USEFONTINFO ? kFontMargin : given; };
    if (which & EC_LEFTMARGIN) {
        e->leftMargin = margin(LOWORD(margins));
    }
    if (which & EC_RIGHTMARGIN) {
        e->rightMargin = margin(HIWORD(margins));
    }
    ScrollToCaret(window, *e);
    Redraw(window);
}

void DrawRun(HDC dc, const std::string& text, std::size_t from, std::size_t to, int x, int y) {
    if (to > from) {
        TextOutA(dc, x, y, text.data() + from, static_cast<int>(to - from));
    }
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    DWORD style = StyleOf(window);
    bool grayed = (style & WS_DISABLED) != 0;
    UINT ask = grayed || (style & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HBRUSH brush = ControlBrush(window, GetParent(window), ask, dc);
    EditState* e = EditOf(window);
    if (e == nullptr) {
        EndPaint(window, &paint);
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(e->font));
    if (grayed) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, e->leftMargin, 0, client.right - e->rightMargin, client.bottom);
    const std::string& text = TextOf(window);
    std::size_t start = SelectionStart(*e);
    std::size_t end = SelectionEnd(*e);
    bool showSelection = (e->focused || (style & ES_NOHIDESEL)) && start != end;
    if (!showSelection) {
        start = end = text.size();
    }
    int height = FontHeight(e->font);
    int startX = XOfPosition(window, *e, start);
    int endX = XOfPosition(window, *e, end);
    DrawRun(dc, text, 0, start, XOfPosition(window, *e, 0), 0);
    if (showSelection) {
        RECT selected{startX, 0, endX, height};
        FillRect(dc, &selected, GetSysColorBrush(COLOR_HIGHLIGHT));
        COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        DrawRun(dc, text, start, end, startX, 0);
        SetTextColor(dc, oldColor);
    }
    DrawRun(dc, text, end, text.size(), endX, 0);
    RestoreDC(dc, saved);
    if (e->focused) {
        int x = std::clamp<int>(XOfPosition(window, *e, e->caret), 0, client.right - 1);
        PatBlt(dc, x, 0, 1, std::min<int>(height, client.bottom), DSTINVERT);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Find(window)->control = std::make_unique<EditState>();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    EditState* e = EditOf(window);
    if (e == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        // Painting fills the background with the parent's brush.
        return 1;
    case WM_SETTEXT:
        return OnSetText(window, lParam);
    case WM_SETFONT:
        e->font = reinterpret_cast<HFONT>(wParam);
        e->leftMargin = e->rightMargin = kFontMargin;
        ScrollToCaret(window, *e);
        if (LOWORD(lParam)) {
            Redraw(window);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(e->font);
    case WM_SETFOCUS:
        OnFocus(window, true);
        return 0;
    case WM_KILLFOCUS:
        OnFocus(window, false);
        return 0;
    case WM_ENABLE:
        Redraw(window);
        return 0;
    case WM_CHAR:
        OnChar(window, static_cast<BYTE>(wParam));
        return 0;
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam, lParam);
    case WM_SYSKEYDOWN:
        if ((wParam == VK_UP || wParam == VK_DOWN) && ComboTakesKey(window, wParam, true)) {
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
               (ComboDroppedDown(window) ? DLGC_WANTALLKEYS : 0);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(window, lParam, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        if (e->selecting) {
            MoveCaret(window, PositionAtX(window, *e, GET_X_LPARAM(lParam)), true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (e->selecting && GetCapture() == window) {
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        e->selecting = false;
        return 0;
    case EM_GETSEL:
        return GetSelection(*e, wParam, lParam);
    case EM_SETSEL:
        SetSelection(window, static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case EM_SCROLLCARET:
        ScrollToCaret(window, *e);
        Redraw(window);
        return TRUE;
    case EM_REPLACESEL:
        ReplaceSelection(window, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return 0;
    case EM_LIMITTEXT:
        e->limit = wParam ? std::min<std::size_t>(wParam, kLargestLimit) : kLargestLimit;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(e->limit);
    case EM_SETREADONLY:
        Find(window)->style =
            wParam ? (StyleOf(window) | ES_READONLY) : (StyleOf(window) & ~ES_READONLY);
        Redraw(window);
        return TRUE;
    case EM_SETMARGINS:
        SetMargins(window, wParam, lParam);
        return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(e->leftMargin, e->rightMargin);
    case EM_POSFROMCHAR:
        if (wParam > TextOf(window).size()) {
            return -1;
        }
        return MAKELRESULT(XOfPosition(window, *e, SnapToBoundary(TextOf(window), wParam)), 0);
    case EM_CHARFROMPOS:
        return MAKELRESULT(PositionAtX(window, *e, GET_X_LPARAM(lParam)), 0);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void RegisterEditClass(UserState& state) {
    WNDCLASSA edit{};
    edit.style = CS_GLOBALCLASS | CS_PARENTDC | CS_DBLCLKS;
    edit.lpfnWndProc = EditProc;
    edit.lpszClassName = kEditClass;
    RegisterSystemClass(state, edit, IDC_IBEAM);
}

} // namespace platform::user
