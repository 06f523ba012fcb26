#include "TGraphicControl.h"

#include "TControlCanvas.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TGraphicControl, TControl, "Controls") {
    cls.Handle<WM_PAINT, &TGraphicControl::WMPaint>();
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TControlCanvas) {
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    delete canvas_;
}

void TGraphicControl::Paint() {}

// The parent hands over its context, already moved and clipped to this control.
void TGraphicControl::WMPaint(TMessage& message) {
    if (message.WParam == 0) {
        return;
    }
    PaintWithHandle(*canvas_, reinterpret_cast<HDC>(message.WParam), [this] { Paint(); });
}

} // namespace velbrin
