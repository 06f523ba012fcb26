// The grid's side of its in-place editor: when the editor shows, what it is
// filled with, and where its text goes.

#include "TCustomGrid.h"

#include "TInplaceEdit.h"

namespace velbrin {

void TCustomGrid::SetEditorMode(bool value) {
    editorShown_ = value;
    if (value) {
        RefreshEditor();
    } else {
        HideEditor();
    }
}

void TCustomGrid::ReloadEditor() {
    editorCell_ = {-1, -1};
    RefreshEditor();
}

bool TCustomGrid::EditorAllowed() {
    return HasOption(options_, goEditing) && !HasOption(options_, goRowSelect) && editorShown_ &&
           !HasState(csDesigning) && HasWindow() &&
           (HasOption(options_, goAlwaysShowEditor) || IsActiveControlOfForm());
}

void TCustomGrid::RefreshEditor() {
    if (!EditorAllowed()) {
        return;
    }
    if (editor_ == nullptr) {
        editor_ = new TInplaceEdit(this);
        FillEditor();
    } else if (editorCell_ != current_) {
        HideEditor();
        FillEditor();
    }
    if (EditorAllowed()) {
        editor_->ShowOver(CellBounds(current_.X, current_.Y));
    }
}

void TCustomGrid::FillEditor() {
    editorCell_ = current_;
    editor_->Fill(EditMaskFor(current_.X, current_.Y), EditTextFor(current_.X, current_.Y));
}

// The text goes back to the cell the editor was filled for; the editor is
// hidden and forgets that cell even when storing fails.
void TCustomGrid::HideEditor() {
    if (editor_ == nullptr) {
        return;
    }
    const TCellCoord cell = editorCell_;
    editorCell_ = {-1, -1};
    try {
        if (cell.X != -1) {
            StoreEditText(cell.X, cell.Y, editor_->Text());
        }
    } catch (...) {
        editor_->HideField();
        throw;
    }
    editor_->HideField();
}

void TCustomGrid::EditTextChanged(const std::string& text) {
    if (editorCell_.X != -1) {
        StoreEditText(editorCell_.X, editorCell_.Y, text);
    }
}

void TCustomGrid::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    if (key == '\r' && !HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(!editorShown_);
        key = 0;
    }
}

// A character typed into the grid opens the editor and is typed into it.
void TCustomGrid::WMChar(TMessage& message) {
    const auto code = static_cast<BYTE>(message.WParam);
    if (!HasOption(options_, goEditing) || (code != VK_BACK && code < ' ')) {
        Inherited(message);
        return;
    }
    SetEditorMode(true);
    if (editor_ != nullptr && editor_->Shown()) {
        PostMessageA(editor_->Handle(), WM_CHAR, message.WParam, message.LParam);
    }
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(false);
    }
}

} // namespace velbrin
