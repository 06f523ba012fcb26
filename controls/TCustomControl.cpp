#include "TCustomControl.h"

#include "TControlCanvas.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TCustomControl, TWinControl, "Controls") {
    cls.Handle<WM_PAINT, &TCustomControl::WMPaint>();
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(new TControlCanvas) {
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
    // The window goes first, while this class still answers its messages.
    if (HasWindow()) {
        DestroySystemWindow();
    }
    delete canvas_;
}

void TCustomControl::Paint() {}

void TCustomControl::WMPaint(TMessage& message) {
    ServicePaint(message);
}

void TCustomControl::PaintInto(HDC dc) {
    PaintWithHandle(*canvas_, dc, [this] { Paint(); });
}

} // namespace velbrin
