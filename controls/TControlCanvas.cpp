#include "TControlCanvas.h"

#include "TControl.h"
#include "core/TList.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TControlCanvas, TCanvas, "Controls")

TList& DCHoldingCanvases() {
    static TList canvases;
    return canvases;
}

void ReleaseOldestDC() {
    static_cast<TControlCanvas*>(DCHoldingCanvases().Get(0))->ReleaseHandle();
}

void ReleaseAllDCs() {
    while (DCHoldingCanvases().Count() != 0) {
        ReleaseOldestDC();
    }
}

TControlCanvas::~TControlCanvas() {
    ReleaseHandle();
}

void TControlCanvas::SetControl(TControl* control) {
    if (control == control_) {
        return;
    }
    ReleaseHandle();
    control_ = control;
}

void TControlCanvas::ReleaseHandle() {
    if (deviceContext_ == nullptr) {
        return;
    }
    SetHandle(nullptr);
    DCHoldingCanvases().Remove(this);
    ReleaseDC(windowHandle_, deviceContext_);
    deviceContext_ = nullptr;
    windowHandle_ = nullptr;
}

void TControlCanvas::AcquireHandle() {
    if (control_ == nullptr) {
        return;
    }
    if (deviceContext_ == nullptr) {
        if (DCHoldingCanvases().Count() >= HeldDCLimit) {
            ReleaseOldestDC();
        }
        HWND window = nullptr;
        deviceContext_ = control_->TakeDC(window);
        windowHandle_ = window;
        DCHoldingCanvases().Add(this);
    }
    SetHandle(deviceContext_);
}

} // namespace velbrin
