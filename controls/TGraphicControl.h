#pragma once
// A control without a window of its own that draws itself on its parent's
// device context through its canvas.

#include "TControl.h"

namespace velbrin {

class TControlCanvas;

class TGraphicControl : public TControl {
    VELBRIN_CLASS(TGraphicControl, TControl)

public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    // Draws the control; the base draws nothing.
    virtual void Paint();

    TControlCanvas* Canvas() const { return canvas_; }

private:
    void WMPaint(TMessage& message);

    TControlCanvas* canvas_;
};

} // namespace velbrin
