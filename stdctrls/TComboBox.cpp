#include "TComboBox.h"

#include "core/TStrings.h"
#include "graphics/TFont.h"

namespace velbrin {

namespace {

const TypeInfo& ImeModeType() {
    static const TypeInfo type =
        EnumerationTypeInfo("TImeMode", {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha",
                                         "imAlpha", "imHira", "imSKata", "imKata"});
    return type;
}

bool IsCtl3DStored(TComboBox* box) {
    return !box->ParentCtl3D();
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TComboBox, TCustomComboBox, "StdCtrls") {
    cls.Property("Style", Call<&TCustomComboBox::Style>, Call<&TCustomComboBox::SetStyle>)
        .Default(csDropDown);
    cls.Property("Color", ColorType, Call<&TControl::Color>, Call<&TControl::SetColor>)
        .Default(clWindow)
        .Stored(Call<&TControl::IsColorStored>);
    cls.Property("Ctl3D", Call<&TWinControl::Ctl3D>, Call<&TWinControl::SetCtl3D>)
        .Stored(Call<&IsCtl3DStored>);
    cls.Property("DragMode", Call<&TControl::DragMode>, Call<&TControl::SetDragMode>)
        .Default(dmManual);
    cls.Property("DragCursor", Call<&TControl::DragCursor>, Call<&TControl::SetDragCursor>)
        .Default(crDrag);
    cls.Property("DropDownCount", Call<&TCustomComboBox::DropDownCount>,
                 Call<&TCustomComboBox::SetDropDownCount>)
        .Default(8);
    cls.Property("Enabled", Call<&TControl::Enabled>, Call<&TControl::SetEnabled>).Default(1);
    cls.Property("Font", Call<&TControl::Font>, Call<&TControl::SetFont>)
        .Stored(Call<&TControl::IsFontStored>);
    cls.Property("ImeMode", ImeModeType, Call<&TWinControl::ImeMode>,
                 Call<&TWinControl::SetImeMode>)
        .Default(imDontCare);
    cls.Property("ImeName", Call<&TWinControl::ImeName>, Call<&TWinControl::SetImeName>);
    cls.Property("ItemHeight", Call<&TCustomComboBox::ItemHeight>,
                 Call<&TCustomComboBox::SetItemHeight>);
    cls.Property("Items", Call<&TCustomComboBox::Items>, Call<&TCustomComboBox::SetItems>);
    cls.Property("MaxLength", Call<&TCustomComboBox::MaxLength>,
                 Call<&TCustomComboBox::SetMaxLength>)
        .Default(0);
    cls.Property("ParentColor", Call<&TControl::ParentColor>, Call<&TControl::SetParentColor>)
        .Default(0);
    cls.Property("ParentCtl3D", Call<&TWinControl::ParentCtl3D>, Call<&TWinControl::SetParentCtl3D>)
        .Default(1);
    cls.Property("ParentFont", Call<&TControl::ParentFont>, Call<&TControl::SetParentFont>)
        .Default(1);
    cls.Property("ParentShowHint", Call<&TControl::ParentShowHint>,
                 Call<&TControl::SetParentShowHint>)
        .Default(1);
    cls.Property("ShowHint", Call<&TControl::ShowHint>, Call<&TControl::SetShowHint>)
        .Stored(Call<&TControl::IsShowHintStored>);
    cls.Property("Sorted", Call<&TCustomComboBox::Sorted>, Call<&TCustomComboBox::SetSorted>)
        .Default(0);
    cls.Property("TabOrder", Call<&TWinControl::TabOrder>, Call<&TWinControl::SetTabOrder>)
        .Default(-1);
    cls.Property("TabStop", Call<&TWinControl::TabStop>, Call<&TWinControl::SetTabStop>).Default(1);
    cls.Property("Text", Call<&TControl::Text>, Call<&TControl::SetText>);
    cls.Property("Visible", Call<&TControl::Visible>, Call<&TControl::SetVisible>).Default(1);
    cls.Property("OnChange", Field<&TCustomComboBox::OnChange>, Field<&TCustomComboBox::OnChange>);
    cls.Property("OnClick", Field<&TControl::OnClick>, Field<&TControl::OnClick>);
    cls.Property("OnDblClick", Field<&TControl::OnDblClick>, Field<&TControl::OnDblClick>);
    cls.Property("OnDragDrop", Field<&TControl::OnDragDrop>, Field<&TControl::OnDragDrop>);
    cls.Property("OnDragOver", Field<&TControl::OnDragOver>, Field<&TControl::OnDragOver>);
    cls.Property("OnDrawItem", Field<&TCustomComboBox::OnDrawItem>,
                 Field<&TCustomComboBox::OnDrawItem>);
    cls.Property("OnDropDown", Field<&TCustomComboBox::OnDropDown>,
                 Field<&TCustomComboBox::OnDropDown>);
    cls.Property("OnEndDrag", Field<&TControl::OnEndDrag>, Field<&TControl::OnEndDrag>);
    cls.Property("OnEnter", Field<&TWinControl::OnEnter>, Field<&TWinControl::OnEnter>);
    cls.Property("OnExit", Field<&TWinControl::OnExit>, Field<&TWinControl::OnExit>);
    cls.Property("OnKeyDown", Field<&TWinControl::OnKeyDown>, Field<&TWinControl::OnKeyDown>);
    cls.Property("OnKeyPress", Field<&TWinControl::OnKeyPress>, Field<&TWinControl::OnKeyPress>);
    cls.Property("OnKeyUp", Field<&TWinControl::OnKeyUp>, Field<&TWinControl::OnKeyUp>);
    cls.Property("OnMeasureItem", Field<&TCustomComboBox::OnMeasureItem>,
                 Field<&TCustomComboBox::OnMeasureItem>);
    cls.Property("OnStartDrag", Field<&TControl::OnStartDrag>, Field<&TControl::OnStartDrag>);
}

} // namespace velbrin
