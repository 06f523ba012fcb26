#pragma once
// What the windowed control's own source files share; no part of its
// interface.

#include "TWinControl.h"
#include "core/TList.h"

#include <windows.h>

#include <unordered_map>
#include <unordered_set>

namespace velbrin {

// The window procedure every control's window class is registered with: it
// binds the new window to the control being made.
LRESULT CALLBACK ControlCreationProc(HWND window, UINT number, WPARAM wParam, LPARAM lParam);

namespace wincontrolinternals {

// The two window properties that bind a window to its object.
struct ControlAtoms {
    ATOM windowAtom = 0;
    ATOM controlAtom = 0;
};

const ControlAtoms& Atoms();

inline LPCSTR AtomName(ATOM atom) {
    return MAKEINTRESOURCEA(atom);
}

// The window procedure of every bound window finds its object here; the
// entry lives from the first message of the window to WM_NCDESTROY.
std::unordered_map<HWND, TWinControl*>& BoundWindows();

std::unordered_set<const TWinControl*>& LiveControls();

// The control whose window is being made, until its first message binds it.
extern TWinControl* creatingControl;

TControlEnvironment& Environment();

inline TControl* ControlAt(TList* list, int index) {
    return static_cast<TControl*>(list->Get(index));
}

inline TWinControl* WinControlAt(TList* list, int index) {
    return static_cast<TWinControl*>(list->Get(index));
}

inline int CountOf(const TList* list) {
    return list == nullptr ? 0 : list->Count();
}

} // namespace wincontrolinternals

} // namespace velbrin
