#pragma once
// The edit field a grid lays over its current cell while the user types into
// it: a borderless window of the system "EDIT" class, owned by the grid and
// its child. The keys that move between cells, and Escape, go on to the
// grid.

#include "controls/TWinControl.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace velbrin {

class TCustomGrid;

class TInplaceEdit : public TWinControl {
    VELBRIN_CLASS(TInplaceEdit, TWinControl)

public:
    explicit TInplaceEdit(TCustomGrid* grid);

    void PrepareWindowSpec(TCreateParams& params) override;

    // Takes the cell's input mask, then `text` as the cell's text, all of it
    // selected.
    void Fill(const std::string& mask, const std::string& text);
    // The input mask the field was last filled with; the field itself
    // applies none, so the text is taken as typed.
    const std::string& EditMask() const { return editMask_; }
    // Lays the field over `bounds` (client coordinates of the grid) and shows
    // it, taking the focus when the grid has it; an empty rectangle (a cell
    // scrolled out of sight) hides it.
    void ShowOver(const RECT& bounds);
    // Hides the window without redrawing, giving the focus back to the grid
    // when the field had it and the grid is still the form's active control.
    void HideField();
    // Whether the window is shown.
    bool Shown();
    // The caret at the end, nothing selected.
    void Deselect();

protected:
    // The form's focused control stays the grid while the field has the
    // focus, so that the grid counts as active and sees no exit.
    void HandleWindowMessage(TMessage& message) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    bool IsGridKey(WORD key, TShiftState shift);
    struct TSelectedRange {
        int start;
        int end;
    };
    TSelectedRange SelectedRange();
    bool CaretAt(int position);
    bool AllSelected();
    void CNCommand(TMessage& message);
    void WMGetDlgCode(TMessage& message);

    TCustomGrid* grid_;
    std::string editMask_;
    // The text being filled in is the cell's already: nothing to store.
    bool filling_ = false;
};

} // namespace velbrin
