#include "TCustomLabel.h"

#include "controls/TControlCanvas.h"
#include "controls/TWinControl.h"
#include "core/TypeInfo.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"
#include "runtime/Text.h"

namespace velbrin {

const TypeInfo& TypeInfoOf(TAlignment*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return type;
}

namespace {

constexpr UINT kAlignmentFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};

// The first character of `text` from `at`: one byte, or two for a
// double-byte character.
std::string CharacterAt(const std::string& text, std::size_t at) {
    const bool doubleByte =
        IsDBCSLeadByte(static_cast<BYTE>(text[at])) != FALSE && at + 1 < text.size();
    return text.substr(at, doubleByte ? 2 : 1);
}

// A typed character: one byte, or a double-byte character in two.
std::string TypedCharacter(WPARAM code) {
    std::string typed;
    if (code > 0xFF) {
        typed += static_cast<char>((code >> 8) & 0xFF);
    }
    typed += static_cast<char>(code & 0xFF);
    return typed;
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TCustomLabel, TGraphicControl, "StdCtrls") {
    cls.Handle<CM_TEXT_CHANGED, &TCustomLabel::CMTextChanged>();
    cls.Handle<CM_FONT_CHANGED, &TCustomLabel::CMFontChanged>();
    cls.Handle<CM_DIALOG_CHAR, &TCustomLabel::CMDialogChar>();
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(Left(), Top(), 65, 17);
}

std::string TCustomLabel::LabelDisplayText() {
    return Caption();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value != autoSize_) {
        autoSize_ = value;
        FitToText();
    }
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value != wordWrap_) {
        wordWrap_ = value;
        FitToText();
    }
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value != alignment_) {
        alignment_ = value;
        Invalidate();
    }
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value != showAccelChar_) {
        showAccelChar_ = value;
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == Transparent()) {
        return;
    }
    SetControlStyle(value ? static_cast<TControlStyle>(ControlStyle() & ~csOpaque)
                          : static_cast<TControlStyle>(ControlStyle() | csOpaque));
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    focusControl_ = control;
    if (control != nullptr) {
        control->RequestFreeNotice(this);
    }
}

void TCustomLabel::ComponentNotice(TComponent* component, TOperation operation) {
    TGraphicControl::ComponentNotice(component, operation);
    if (operation == opRemove && component == focusControl_) {
        focusControl_ = nullptr;
    }
}

// An empty text still measures one line, and so does a lone accelerator
// mark, which draws nothing.
void TCustomLabel::DrawLabelText(RECT& rect, UINT flags) {
    std::string text = LabelDisplayText();
    if ((flags & DT_CALCRECT) != 0 && (text.empty() || (showAccelChar_ && text == "&"))) {
        text += ' ';
    }
    if (!showAccelChar_) {
        flags |= DT_NOPREFIX;
    }
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(Font());
    if (!Enabled()) {
        canvas.Font()->SetColor(clGrayText);
    }
    DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TCustomLabel::Paint() {
    TCanvas& canvas = *Canvas();
    RECT area = ClientRect();
    if (!Transparent()) {
        canvas.Brush()->SetColor(Color());
        canvas.Brush()->SetStyle(bsSolid);
        canvas.FillRect(area);
    }
    canvas.Brush()->SetStyle(bsClear);
    DrawLabelText(area, WordWrapFlag() | DT_EXPANDTABS | kAlignmentFlags[alignment_]);
}

// A label being read keeps the size stored with it.
void TCustomLabel::FitToText() {
    if (HasState(csLoading) || !autoSize_) {
        return;
    }
    PlaceAround(TextExtent());
}

// Measured on the screen's device context, within the current width (which
// matters when the text wraps).
RECT TCustomLabel::TextExtent() {
    RECT extent = ClientRect();
    HDC screen = GetDC(nullptr);
    try {
        PaintWithHandle(*Canvas(), screen, [&] {
            DrawLabelText(extent, WordWrapFlag() | DT_EXPANDTABS | DT_CALCRECT);
        });
    } catch (...) {
        ReleaseDC(nullptr, screen);
        throw;
    }
    ReleaseDC(nullptr, screen);
    return extent;
}

// A right-aligned label keeps its right edge.
void TCustomLabel::PlaceAround(const RECT& extent) {
    int left = Left();
    if (alignment_ == taRightJustify) {
        left += Width() - extent.right;
    }
    SetBounds(left, Top(), extent.right, extent.bottom);
}

// The stored size stands unless it cannot hold the text, as after the font
// was scaled to the screen while the label was read.
void TCustomLabel::AfterLoad() {
    TGraphicControl::AfterLoad();
    if (!autoSize_) {
        return;
    }
    const RECT extent = TextExtent();
    if (extent.right > Width() || extent.bottom > Height()) {
        PlaceAround(extent);
    }
}

void TCustomLabel::CMTextChanged(TMessage&) {
    Invalidate();
    FitToText();
}

void TCustomLabel::CMFontChanged(TMessage& message) {
    Inherited(message);
    FitToText();
}

// The character after the first "&" moves the focus to FocusControl.
void TCustomLabel::CMDialogChar(TMessage& message) {
    if (focusControl_ == nullptr || !Enabled() || !showAccelChar_) {
        return;
    }
    const std::string caption = Caption();
    const std::size_t mark = caption.find('&');
    if (mark == std::string::npos || mark + 1 >= caption.size()) {
        return;
    }
    if (LocaleCompareNoCase(CharacterAt(caption, mark + 1), TypedCharacter(message.WParam)) != 0) {
        return;
    }
    if (focusControl_->IsFocusable()) {
        focusControl_->SetFocus();
        message.Result = 1;
    }
}

} // namespace velbrin
