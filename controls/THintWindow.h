#pragma once
// The small pop-up that shows a control's hint: a top-level window with a
// thin border in the info colours that never takes the activation or the
// focus. It stays hidden until ActivateHint places and shows it; whoever
// shows it hides it again with ShowWindow.

#include "TCustomControl.h"

#include <windows.h>

#include <string>

namespace velbrin {

class THintWindow : public TCustomControl {
    VELBRIN_CLASS(THintWindow, TCustomControl)

public:
    explicit THintWindow(TComponent* owner);

    // The window's rectangle for `text`, word-wrapped within `maxWidth`, with
    // its top-left corner at (0, 0): the text's extent in the window's font
    // with room for the border and the text's inset.
    RECT CalcHintRect(int maxWidth, const std::string& text);
    // Shows `text` at `rect` (screen coordinates) above every other window,
    // without activating it.
    void ActivateHint(const RECT& rect, const std::string& text);

    void PrepareWindowSpec(TCreateParams& params) override;
    void Paint() override;

private:
    void WMMouseActivate(TMessage& message);
    void CMTextChanged(TMessage& message);
};

} // namespace velbrin
