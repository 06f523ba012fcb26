#pragma once
// The canvas of a control outside its paint message. It borrows a device
// context from its control on first need and gives it back soon after: at
// most four are held at once, the oldest given back first, and all of them
// after every message a windowed control handles.

#include "graphics/TCanvas.h"

#include <windows.h>

namespace velbrin {

class TControl;

class TControlCanvas : public TCanvas {
    VELBRIN_CLASS(TControlCanvas, TCanvas)

public:
    TControlCanvas() = default;
    ~TControlCanvas() override;

    TControl* Control() const { return control_; }
    // A new control first makes the canvas give back the context it holds.
    void SetControl(TControl* control);
    void ReleaseHandle();
    HDC DeviceContext() const { return deviceContext_; }

protected:
    void AcquireHandle() override;

private:
    TControl* control_ = nullptr;
    HDC deviceContext_ = nullptr;
    HWND windowHandle_ = nullptr;
};

// The control canvases that hold a device context, oldest first; never more
// than HeldDCLimit.
inline constexpr int HeldDCLimit = 4;
TList& DCHoldingCanvases();
void ReleaseOldestDC();
void ReleaseAllDCs();

} // namespace velbrin
