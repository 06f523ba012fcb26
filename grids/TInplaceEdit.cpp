#include "TInplaceEdit.h"

#include "TCustomGrid.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TInplaceEdit, TWinControl, "Grids") {
    cls.Handle<CN_COMMAND, &TInplaceEdit::CNCommand>();
    cls.Handle<WM_GETDLGCODE, &TInplaceEdit::WMGetDlgCode>();
}

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TWinControl(grid), grid_(grid) {
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetTabStop(false);
    SetVisible(false);
    SetParent(grid);
}

void TInplaceEdit::PrepareWindowSpec(TCreateParams& params) {
    TWinControl::PrepareWindowSpec(params);
    WNDCLASSA record{};
    if (GetClassInfoA(nullptr, "EDIT", &record)) {
        params.WindowClass = record;
    }
    params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_TABSTOP);
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TInplaceEdit::Fill(const std::string& mask, const std::string& text) {
    filling_ = true;
    SetText({});
    editMask_ = mask;
    SetText(text);
    filling_ = false;
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TInplaceEdit::ShowOver(const RECT& bounds) {
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) {
        HideField();
        return;
    }
    const bool gridFocused = grid_->Focused();
    SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 2));
    SetVisible(true);
    if (gridFocused) {
        ::SetFocus(Handle());
    }
}

void TInplaceEdit::HideField() {
    if (!HasWindow()) {
        return;
    }
    const bool hadFocus = Focused();
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
    SetVisible(false);
    // As the grid is left, the form already names the control the focus
    // goes to: the grid must not take it back.
    if (hadFocus && grid_->HasWindow() && grid_->IsActiveControlOfForm()) {
        ::SetFocus(grid_->Handle());
    }
}

bool TInplaceEdit::Shown() {
    return HasWindow() && IsWindowVisible(Handle()) != FALSE;
}

void TInplaceEdit::Deselect() {
    const auto end = static_cast<WPARAM>(WindowTextLength());
    SendMessageA(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
}

void TInplaceEdit::HandleWindowMessage(TMessage& message) {
    if (message.Msg != WM_SETFOCUS) {
        TWinControl::HandleWindowMessage(message);
        return;
    }
    TWinControl* form = grid_->ParentForm();
    if (form != nullptr && !form->NoteFocusedControl(grid_)) {
        return;
    }
    TControl::HandleWindowMessage(message);
}

TInplaceEdit::TSelectedRange TInplaceEdit::SelectedRange() {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

bool TInplaceEdit::AllSelected() {
    const TSelectedRange range = SelectedRange();
    return range.start == 0 && range.end == WindowTextLength();
}

// Whether the caret stands at `position` with nothing selected.
bool TInplaceEdit::CaretAt(int position) {
    const TSelectedRange range = SelectedRange();
    return range.start == range.end && range.start == position;
}

// With the editor always shown, the keys that would take the caret past the
// text's ends move to the next cell instead.
bool TInplaceEdit::IsGridKey(WORD key, TShiftState shift) {
    const bool alwaysShown = HasOption(grid_->Options(), goAlwaysShowEditor);
    const bool ctrl = (shift & ssCtrl) != 0;
    switch (key) {
    case VK_LEFT:
    case VK_HOME:
        return alwaysShown && (ctrl || CaretAt(0));
    case VK_RIGHT:
    case VK_END:
        return alwaysShown && (ctrl || CaretAt(WindowTextLength()));
    case VK_INSERT:
        return shift == 0;
    case VK_TAB:
        return (shift & ssAlt) == 0;
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// What was typed is in the cell already: Escape takes nothing back, it is
// the grid's key like the others it is given.
void TInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
    if (IsGridKey(key, shift)) {
        grid_->KeyDown(key, shift);
        key = 0;
        return;
    }
    // To the grid's users the keys the field keeps are the grid's keys.
    grid_->OnKeyDown(grid_, key, shift);
    if (key == VK_F2) {
        Deselect();
        key = 0;
    }
}

void TInplaceEdit::KeyUp(WORD& key, TShiftState shift) {
    grid_->OnKeyUp(grid_, key, shift);
}

// Every character passes the grid's key-press step first, where Enter hides
// the field; Tab and Escape are never typed into the text.
void TInplaceEdit::KeyPress(char& key) {
    grid_->KeyPress(key);
    if (key == '\t' || key == '\x1b') {
        key = 0;
    }
    // An editor that never closes answers Enter by selecting all of its
    // text, or by letting go of a selection that holds all of it.
    if (key == '\r') {
        if (AllSelected()) {
            Deselect();
        } else {
            SendMessageA(Handle(), EM_SETSEL, 0, -1);
        }
        key = 0;
    }
    if (key != 0) {
        TWinControl::KeyPress(key);
    }
}

// Tab moves between cells rather than to the next control when the grid
// takes it.
void TInplaceEdit::WMGetDlgCode(TMessage& message) {
    Inherited(message);
    if (HasOption(grid_->Options(), goTabs)) {
        message.Result |= DLGC_WANTTAB;
    }
}

void TInplaceEdit::CNCommand(TMessage& message) {
    if (HIWORD(message.WParam) == EN_CHANGE && !filling_) {
        grid_->EditTextChanged(Text());
    }
}

} // namespace velbrin
