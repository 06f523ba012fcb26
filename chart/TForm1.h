#pragma once
// The chart window: the form resource "TFORM1" gives it a label "Key", the
// string grid of the chart and the key selector; the form adds the two
// handlers that fill the grid.

#include "forms/TForm.h"

namespace velbrin {

class TComboBox;
class TLabel;
class TStringGrid;

class TForm1 : public TForm {
    VELBRIN_CLASS(TForm1, TForm)

public:
    explicit TForm1(TComponent* owner) : TForm(owner) {}

    TComboBox* ComboBox1 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    TLabel* Label1 = nullptr;

    // The fixed labels and hole numbers, written once the form is read.
    void FormCreate(TObject* sender);
    // The chart of the chosen key, repainted before the handler returns.
    void ComboBox1Change(TObject* sender);
};

// The program's main window while it runs.
extern TForm1* Form1;

} // namespace velbrin
