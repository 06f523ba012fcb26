#pragma once
// Static text drawn on the parent with DrawTextA: aligned, wrapped or on one
// line, with "&" marking the accelerator that moves the focus to another
// control, and sized to its text unless told otherwise.

#include "controls/TGraphicControl.h"

#include <windows.h>

#include <string>

namespace velbrin {

class TWinControl;

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
const TypeInfo& TypeInfoOf(TAlignment*);

class TCustomLabel : public TGraphicControl {
    VELBRIN_CLASS(TCustomLabel, TGraphicControl)

public:
    explicit TCustomLabel(TComponent* owner);

    // Virtual operations added to TGraphicControl's, in slot order.
    // The text shown: the caption.
    virtual std::string LabelDisplayText();
    virtual void SetAutoSize(bool value);

    void Paint() override;
    void ComponentNotice(TComponent* component, TOperation operation) override;
    // A label read with AutoSize keeps its stored size, unless that cannot
    // hold its text: then it fits the text, which shows whole.
    void AfterLoad() override;

    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // Transparent exactly when the control does not paint its whole area.
    bool Transparent() const { return !HasControlStyle(csOpaque); }
    void SetTransparent(bool value);

private:
    // Paints the text into `rect`, or with DT_CALCRECT only measures it there.
    void DrawLabelText(RECT& rect, UINT flags);
    void FitToText();
    // The text's extent in the label's font.
    RECT TextExtent();
    // Sizes the label to `extent`.
    void PlaceAround(const RECT& extent);
    UINT WordWrapFlag() const { return wordWrap_ ? DT_WORDBREAK : 0; }

    void CMTextChanged(TMessage& message);
    void CMFontChanged(TMessage& message);
    void CMDialogChar(TMessage& message);

    TWinControl* focusControl_ = nullptr;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
};

} // namespace velbrin
