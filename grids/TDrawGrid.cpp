#include "TDrawGrid.h"

#include "graphics/Graphics.h"
#include "graphics/TFont.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TDrawGrid, TCustomGrid, "Grids") {
    cls.Property("Align", Call<&TControl::Align>, Call<&TControl::SetAlign>).Default(alNone);
    cls.Property("BorderStyle", BorderStyleType, Call<&TCustomGrid::BorderStyle>,
                 Call<&TCustomGrid::SetBorderStyle>)
        .Default(bsSingle);
    cls.Property("Color", ColorType, Call<&TControl::Color>, Call<&TControl::SetColor>)
        .Default(clWindow)
        .Stored(Call<&TControl::IsColorStored>);
    cls.Property("ColCount", Call<&TCustomGrid::ColCount>, Call<&TCustomGrid::SetColCount>)
        .Default(5);
    cls.Property("Ctl3D", Call<&TWinControl::Ctl3D>, Call<&TWinControl::SetCtl3D>)
        .Stored(Call<&TCustomGrid::IsCtl3DStored>);
    cls.Property("DefaultColWidth", Call<&TCustomGrid::DefaultColWidth>,
                 Call<&TCustomGrid::SetDefaultColWidth>)
        .Default(64);
    cls.Property("DefaultRowHeight", Call<&TCustomGrid::DefaultRowHeight>,
                 Call<&TCustomGrid::SetDefaultRowHeight>)
        .Default(24);
    cls.Property("DefaultDrawing", Call<&TCustomGrid::DefaultDrawing>,
                 Call<&TCustomGrid::SetDefaultDrawing>)
        .Default(1);
    cls.Property("DragCursor", Call<&TControl::DragCursor>, Call<&TControl::SetDragCursor>)
        .Default(crDrag);
    cls.Property("DragMode", Call<&TControl::DragMode>, Call<&TControl::SetDragMode>)
        .Default(dmManual);
    cls.Property("Enabled", Call<&TControl::Enabled>, Call<&TControl::SetEnabled>).Default(1);
    cls.Property("FixedColor", ColorType, Call<&TCustomGrid::FixedColor>,
                 Call<&TCustomGrid::SetFixedColor>)
        .Default(clBtnFace);
    cls.Property("FixedCols", Call<&TCustomGrid::FixedCols>, Call<&TCustomGrid::SetFixedCols>)
        .Default(1);
    cls.Property("RowCount", Call<&TCustomGrid::RowCount>, Call<&TCustomGrid::SetRowCount>)
        .Default(5);
    cls.Property("FixedRows", Call<&TCustomGrid::FixedRows>, Call<&TCustomGrid::SetFixedRows>)
        .Default(1);
    cls.Property("Font", Call<&TControl::Font>, Call<&TControl::SetFont>)
        .Stored(Call<&TControl::IsFontStored>);
    cls.Property("GridLineWidth", Call<&TCustomGrid::GridLineWidth>,
                 Call<&TCustomGrid::SetGridLineWidth>)
        .Default(1);
    cls.Property("Options", Call<&TCustomGrid::Options>, Call<&TCustomGrid::SetOptions>)
        .Default(kDefaultGridOptions);
    cls.Property("ParentColor", Call<&TControl::ParentColor>, Call<&TControl::SetParentColor>)
        .Default(0);
    cls.Property("ParentCtl3D", Call<&TWinControl::ParentCtl3D>, Call<&TWinControl::SetParentCtl3D>)
        .Default(1);
    cls.Property("ParentFont", Call<&TControl::ParentFont>, Call<&TControl::SetParentFont>)
        .Default(1);
    cls.Property("ParentShowHint", Call<&TControl::ParentShowHint>,
                 Call<&TControl::SetParentShowHint>)
        .Default(1);
    cls.Property("ScrollBars", Call<&TCustomGrid::ScrollBars>, Call<&TCustomGrid::SetScrollBars>)
        .Default(ssBoth);
    cls.Property("ShowHint", Call<&TControl::ShowHint>, Call<&TControl::SetShowHint>)
        .Stored(Call<&TControl::IsShowHintStored>);
    cls.Property("TabOrder", Call<&TWinControl::TabOrder>, Call<&TWinControl::SetTabOrder>)
        .Default(-1);
    cls.Property("TabStop", Call<&TWinControl::TabStop>, Call<&TWinControl::SetTabStop>).Default(1);
    cls.Property("Visible", Call<&TControl::Visible>, Call<&TControl::SetVisible>).Default(1);
    cls.Property("VisibleColCount", Call<&TCustomGrid::VisibleColCount>);
    cls.Property("VisibleRowCount", Call<&TCustomGrid::VisibleRowCount>);
    cls.Property("OnClick", Field<&TControl::OnClick>, Field<&TControl::OnClick>);
    cls.Property("OnColumnMoved", Field<&TDrawGrid::OnColumnMoved>,
                 Field<&TDrawGrid::OnColumnMoved>);
    cls.Property("OnDblClick", Field<&TControl::OnDblClick>, Field<&TControl::OnDblClick>);
    cls.Property("OnDragDrop", Field<&TControl::OnDragDrop>, Field<&TControl::OnDragDrop>);
    cls.Property("OnDragOver", Field<&TControl::OnDragOver>, Field<&TControl::OnDragOver>);
    cls.Property("OnDrawCell", Field<&TDrawGrid::OnDrawCell>, Field<&TDrawGrid::OnDrawCell>);
    cls.Property("OnEndDrag", Field<&TControl::OnEndDrag>, Field<&TControl::OnEndDrag>);
    cls.Property("OnEnter", Field<&TWinControl::OnEnter>, Field<&TWinControl::OnEnter>);
    cls.Property("OnExit", Field<&TWinControl::OnExit>, Field<&TWinControl::OnExit>);
    cls.Property("OnGetEditMask", Field<&TDrawGrid::OnGetEditMask>,
                 Field<&TDrawGrid::OnGetEditMask>);
    cls.Property("OnGetEditText", Field<&TDrawGrid::OnGetEditText>,
                 Field<&TDrawGrid::OnGetEditText>);
    cls.Property("OnKeyDown", Field<&TWinControl::OnKeyDown>, Field<&TWinControl::OnKeyDown>);
    cls.Property("OnKeyPress", Field<&TWinControl::OnKeyPress>, Field<&TWinControl::OnKeyPress>);
    cls.Property("OnKeyUp", Field<&TWinControl::OnKeyUp>, Field<&TWinControl::OnKeyUp>);
    cls.Property("OnMouseDown", Field<&TControl::OnMouseDown>, Field<&TControl::OnMouseDown>);
    cls.Property("OnMouseMove", Field<&TControl::OnMouseMove>, Field<&TControl::OnMouseMove>);
    cls.Property("OnMouseUp", Field<&TControl::OnMouseUp>, Field<&TControl::OnMouseUp>);
    cls.Property("OnRowMoved", Field<&TDrawGrid::OnRowMoved>, Field<&TDrawGrid::OnRowMoved>);
    cls.Property("OnSelectCell", Field<&TDrawGrid::OnSelectCell>, Field<&TDrawGrid::OnSelectCell>);
    cls.Property("OnSetEditText", Field<&TDrawGrid::OnSetEditText>,
                 Field<&TDrawGrid::OnSetEditText>);
    cls.Property("OnStartDrag", Field<&TControl::OnStartDrag>, Field<&TControl::OnStartDrag>);
    cls.Property("OnTopLeftChanged", Field<&TDrawGrid::OnTopLeftChanged>,
                 Field<&TDrawGrid::OnTopLeftChanged>);
}

void TDrawGrid::ColumnMoved(std::int32_t fromIndex, std::int32_t toIndex) {
    OnColumnMoved(this, fromIndex, toIndex);
}

void TDrawGrid::RowMoved(std::int32_t fromIndex, std::int32_t toIndex) {
    OnRowMoved(this, fromIndex, toIndex);
}

void TDrawGrid::PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                          TGridDrawState state) {
    OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::CanSelectCell(std::int32_t col, std::int32_t row) {
    bool canSelect = true;
    OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

std::string TDrawGrid::EditTextFor(std::int32_t col, std::int32_t row) {
    std::string text;
    OnGetEditText(this, col, row, text);
    return text;
}

void TDrawGrid::StoreEditText(std::int32_t col, std::int32_t row, const std::string& text) {
    OnSetEditText(this, col, row, text);
}

std::string TDrawGrid::EditMaskFor(std::int32_t col, std::int32_t row) {
    std::string mask;
    OnGetEditMask(this, col, row, mask);
    return mask;
}

void TDrawGrid::ScrollOriginChanged() {
    TCustomGrid::ScrollOriginChanged();
    OnTopLeftChanged(this);
}

} // namespace velbrin
