#pragma once
// A windowed control that draws itself through its canvas.

#include "TWinControl.h"

namespace velbrin {

class TControlCanvas;

class TCustomControl : public TWinControl {
    VELBRIN_CLASS(TCustomControl, TWinControl)

public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    // Draws the control; the base draws nothing.
    virtual void Paint();
    void PaintInto(HDC dc) override;

    TControlCanvas* Canvas() const { return canvas_; }

private:
    void WMPaint(TMessage& message);

    TControlCanvas* canvas_;
};

} // namespace velbrin
