#pragma once
// What the system controls ("EDIT", "COMBOBOX" and its list) share: the
// notifications to their parent, their colours, and the measures of their
// font.

#include "UserState.h"

#include <string>

namespace platform::user {

// The state a system control keeps on its window; null for a window that is
// not such a control (or not this kind of control).
template <class State> State* ControlStateOf(HWND window) {
    Window* w = Find(window);
    return w ? dynamic_cast<State*>(w->control.get()) : nullptr;
}

// Registers a system class whose windows show the system cursor `cursor`.
void RegisterSystemClass(UserState& state, const WNDCLASSA& info, LPCSTR cursor);

// Sends WM_COMMAND with `code` and the control's identifier to its parent;
// false when the control did not survive it.
bool NotifyParent(HWND control, int code);

// Asks `asked` (the control's parent, as a rule) for the colours of
// `control` with a WM_CTLCOLOR message; the DC keeps the text and background
// colours of the answer. An answer that is no brush gives the system's
// window brush (or button face for WM_CTLCOLORSTATIC).
HBRUSH ControlBrush(HWND control, HWND asked, UINT message, HDC dc);

// The font a control draws with: its own, or the GUI font when it has none.
HFONT FontOrDefault(HFONT font);
// The cell height of the font's characters (tmHeight).
int FontHeight(HFONT font);
// The width of `text` in the font.
int TextWidth(HFONT font, const char* text, std::size_t length);

} // namespace platform::user
