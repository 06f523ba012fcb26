#include "TForm1.h"

#include "NoteChart.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"
#include "stdctrls/TLabel.h"

namespace velbrin {

TForm1* Form1 = nullptr;

VELBRIN_DEFINE_CLASS_TABLES(TForm1, TForm, "Unit1") {
    cls.Field<&TForm1::ComboBox1>("ComboBox1");
    cls.Field<&TForm1::StringGrid1>("StringGrid1");
    cls.Field<&TForm1::Label1>("Label1");
    cls.Method<&TForm1::ComboBox1Change>("ComboBox1Change");
    cls.Method<&TForm1::FormCreate>("FormCreate");
}

namespace {
chart::SetCellText WriterOf(TStringGrid* grid) {
    return
        [grid](int column, int row, const std::string& text) { grid->SetCells(column, row, text); };
}
} // namespace

void TForm1::FormCreate(TObject*) {
    if (StringGrid1 != nullptr) {
        chart::WriteFixedLabels(WriterOf(StringGrid1));
    }
}

// With no key chosen (the user typed into the field), the chart stays as
// it is.
void TForm1::ComboBox1Change(TObject*) {
    if (ComboBox1 == nullptr || StringGrid1 == nullptr) {
        return;
    }
    const int key = ComboBox1->ItemIndex();
    if (key < 0 || key >= 12) {
        return;
    }
    // The whole grid is repainted: invalidated first, its cells' writes add
    // nothing more.
    StringGrid1->Invalidate();
    chart::FillChart(key, WriterOf(StringGrid1));
    StringGrid1->Repaint();
}

} // namespace velbrin
