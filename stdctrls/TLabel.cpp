#include "TLabel.h"

#include "controls/TWinControl.h"
#include "graphics/TFont.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TLabel, TCustomLabel, "StdCtrls") {
    cls.Property("Align", Call<&TControl::Align>, Call<&TControl::SetAlign>).Default(alNone);
    cls.Property("Alignment", Call<&TCustomLabel::Alignment>, Call<&TCustomLabel::SetAlignment>)
        .Default(taLeftJustify);
    cls.Property("AutoSize", Call<&TCustomLabel::AutoSize>, Call<&TCustomLabel::SetAutoSize>)
        .Default(1);
    cls.Property("Caption", Call<&TControl::Caption>, Call<&TControl::SetCaption>);
    cls.Property("Color", ColorType, Call<&TControl::Color>, Call<&TControl::SetColor>)
        .Default(clWindow)
        .Stored(Call<&TControl::IsColorStored>);
    cls.Property("DragCursor", Call<&TControl::DragCursor>, Call<&TControl::SetDragCursor>)
        .Default(crDrag);
    cls.Property("DragMode", Call<&TControl::DragMode>, Call<&TControl::SetDragMode>)
        .Default(dmManual);
    cls.Property("Enabled", Call<&TControl::Enabled>, Call<&TControl::SetEnabled>).Default(1);
    cls.Property("FocusControl", Call<&TCustomLabel::FocusControl>,
                 Call<&TCustomLabel::SetFocusControl>);
    cls.Property("Font", Call<&TControl::Font>, Call<&TControl::SetFont>)
        .Stored(Call<&TControl::IsFontStored>);
    cls.Property("ParentColor", Call<&TControl::ParentColor>, Call<&TControl::SetParentColor>)
        .Default(1);
    cls.Property("ParentFont", Call<&TControl::ParentFont>, Call<&TControl::SetParentFont>)
        .Default(1);
    cls.Property("ParentShowHint", Call<&TControl::ParentShowHint>,
                 Call<&TControl::SetParentShowHint>)
        .Default(1);
    cls.Property("ShowAccelChar", Call<&TCustomLabel::ShowAccelChar>,
                 Call<&TCustomLabel::SetShowAccelChar>)
        .Default(1);
    cls.Property("ShowHint", Call<&TControl::ShowHint>, Call<&TControl::SetShowHint>)
        .Stored(Call<&TControl::IsShowHintStored>);
    cls.Property("Transparent", Call<&TCustomLabel::Transparent>,
                 Call<&TCustomLabel::SetTransparent>)
        .Default(0);
    cls.Property("Visible", Call<&TControl::Visible>, Call<&TControl::SetVisible>).Default(1);
    cls.Property("WordWrap", Call<&TCustomLabel::WordWrap>, Call<&TCustomLabel::SetWordWrap>)
        .Default(0);
    cls.Property("OnClick", Field<&TControl::OnClick>, Field<&TControl::OnClick>);
    cls.Property("OnDblClick", Field<&TControl::OnDblClick>, Field<&TControl::OnDblClick>);
    cls.Property("OnDragDrop", Field<&TControl::OnDragDrop>, Field<&TControl::OnDragDrop>);
    cls.Property("OnDragOver", Field<&TControl::OnDragOver>, Field<&TControl::OnDragOver>);
    cls.Property("OnEndDrag", Field<&TControl::OnEndDrag>, Field<&TControl::OnEndDrag>);
    cls.Property("OnMouseDown", Field<&TControl::OnMouseDown>, Field<&TControl::OnMouseDown>);
    cls.Property("OnMouseMove", Field<&TControl::OnMouseMove>, Field<&TControl::OnMouseMove>);
    cls.Property("OnMouseUp", Field<&TControl::OnMouseUp>, Field<&TControl::OnMouseUp>);
    cls.Property("OnStartDrag", Field<&TControl::OnStartDrag>, Field<&TControl::OnStartDrag>);
}

} // namespace velbrin
