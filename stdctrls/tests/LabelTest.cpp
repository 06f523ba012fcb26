#include "stdctrls/TLabel.h"

#include "controls/TControlCanvas.h"
#include "controls/TCustomControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TForm.h"
#include "forms/tests/LibraryTest.h"
#include "graphics/TBrush.h"
#include "graphics/TCanvas.h"
#include "graphics/TFont.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

namespace velbrin::testing {
namespace {

// A focusable box that paints itself white.
class TLabelTestBox : public TCustomControl {
    VELBRIN_CLASS(TLabelTestBox, TCustomControl)

public:
    explicit TLabelTestBox(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    void Paint() override {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};

class TLabelTestForm : public TForm {
    VELBRIN_CLASS(TLabelTestForm, TForm)

public:
    explicit TLabelTestForm(TComponent* owner) : TForm(owner) {}
    TLabel* Label1 = nullptr;
    TLabelTestBox* Box = nullptr;
    TLabelTestBox* Other = nullptr;
};

VELBRIN_DEFINE_CLASS_TABLES(TLabelTestBox, TCustomControl, "StdCtrlsTests") {
    cls.Property("TabOrder", Call<&TWinControl::TabOrder>, Call<&TWinControl::SetTabOrder>);
}

VELBRIN_DEFINE_CLASS_TABLES(TLabelTestForm, TForm, "StdCtrlsTests") {
    cls.Field<&TLabelTestForm::Label1>("Label1");
    cls.Field<&TLabelTestForm::Box>("Box");
    cls.Field<&TLabelTestForm::Other>("Other");
}

class LabelTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        Application->MakeForm(form);
        form->Show();
        Pump();
        label = form->Label1;
    }
    // The label's pixels as the form shows them.
    platform::WindowImage Picture() {
        label->Repaint();
        Pump();
        return platform::CaptureWindow(form->Handle(), platform::WindowArea::Client);
    }
    COLORREF PixelOfLabel(const platform::WindowImage& picture, int x, int y) const {
        return picture.At(label->Left() + x, label->Top() + y);
    }
    // How many pixels of the label's area are darker than `limit` in every channel.
    int DarkPixels(const platform::WindowImage& picture, int limit) const {
        int dark = 0;
        for (int y = 0; y < label->Height(); ++y) {
            for (int x = 0; x < label->Width(); ++x) {
                const COLORREF c = PixelOfLabel(picture, x, y);
                dark += GetRValue(c) < limit && GetGValue(c) < limit && GetBValue(c) < limit;
            }
        }
        return dark;
    }
    // The height of a line of the label's font.
    int LineHeight() const {
        HDC screen = GetDC(nullptr);
        TCanvas canvas;
        canvas.SetHandle(screen);
        canvas.Font()->Assign(label->Font());
        const int height = canvas.TextHeight("0");
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, screen);
        return height;
    }

    TLabelTestForm* form = nullptr;
    TLabel* label = nullptr;
};

TEST_F(LabelTest, ReadFromItsResourceItKeepsItsStoredSizeAndItsOwnFont) {
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->BoundsRect().right, 144 + 23);
    EXPECT_EQ(label->Width(), 23);
    EXPECT_EQ(label->Height(), 16) << "no fitting to the text while it is read";
    EXPECT_EQ(label->Caption(), "&Key");
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(label->Font()->Height(), -13);
    EXPECT_EQ(label->FocusControl(), form->Box);
    EXPECT_TRUE(label->AutoSize());
    EXPECT_FALSE(label->Transparent());
    EXPECT_EQ(label->Color(), form->Color()) << "it follows the form's colour";

    auto* made = new TLabel(form);
    EXPECT_EQ(made->Width(), 65);
    EXPECT_EQ(made->Height(), 17);
    EXPECT_TRUE(made->ShowAccelChar());
    EXPECT_EQ(made->Alignment(), taLeftJustify);
}

TEST_F(LabelTest, ReadOnAScreenOfMorePixelsPerInchItGrowsToHoldItsScaledText) {
    StartAt(192, {1600, 1200});
    Application->MakeForm(form);
    label = form->Label1;
    ASSERT_NE(label, nullptr);
    ASSERT_LT(label->Font()->Height(), -13) << "scaled up with the form";
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, label->Font()->Handle());
    SIZE text{};
    GetTextExtentPoint32A(screen, "Key", 3, &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_GE(label->Width(), text.cx);
    EXPECT_GE(label->Height(), text.cy);
}

TEST_F(LabelTest, ItSizesItselfToItsTextAndAnEmptyTextKeepsOneLine) {
    label->SetCaption("Key");
    const int keyWidth = label->Width();
    EXPECT_GT(keyWidth, 10);
    EXPECT_EQ(label->Height(), LineHeight());
    label->SetCaption("Key of the harp");
    EXPECT_GT(label->Width(), 3 * keyWidth);

    label->SetCaption("");
    EXPECT_EQ(label->Height(), LineHeight()) << "one line's height";
    const int empty = label->Width();
    EXPECT_GT(empty, 0);
    EXPECT_LT(empty, keyWidth) << "the width of one space";
    label->SetCaption("&");
    EXPECT_EQ(label->Width(), empty) << "a lone mark measures like a space";

    // A right-aligned label keeps its right edge as its text grows.
    label->SetAlignment(taRightJustify);
    label->SetCaption("Key");
    const int right = label->BoundsRect().right;
    label->SetCaption("Keys of the harp");
    EXPECT_EQ(label->BoundsRect().right, right);
    EXPECT_LT(label->Left(), right - keyWidth);

    label->SetAutoSize(false);
    label->SetCaption("K");
    EXPECT_GT(label->Width(), keyWidth) << "without AutoSize the size stays";
}

TEST_F(LabelTest, ItPaintsItsTextOnItsColourOrOnTheParentWhenTransparent) {
    label->SetCaption("Key");
    label->SetColor(static_cast<TColor>(RGB(255, 255, 0)));
    platform::WindowImage painted = Picture();
    EXPECT_EQ(PixelOfLabel(painted, 0, 0), RGB(255, 255, 0));
    EXPECT_GT(DarkPixels(painted, 80), 10) << "black text";

    label->SetTransparent(true);
    platform::WindowImage transparent = Picture();
    const COLORREF formColour = painted.At(label->Left() - 2, label->Top() + 2);
    EXPECT_EQ(PixelOfLabel(transparent, 0, 0), formColour);
    EXPECT_GT(DarkPixels(transparent, 80), 10);

    // Disabled, the text is grey and the font keeps its own colour.
    label->SetEnabled(false);
    platform::WindowImage disabled = Picture();
    EXPECT_EQ(DarkPixels(disabled, 80), 0);
    EXPECT_GT(DarkPixels(disabled, 180), 10);
    EXPECT_EQ(label->Font()->Color(), clBlack);
}

TEST_F(LabelTest, TwoMarksDrawOneAndWithoutAcceleratorsAMarkIsText) {
    label->SetCaption("A&&B");
    platform::WindowImage doubled = Picture();
    const int doubledWidth = label->Width();
    label->SetShowAccelChar(false);
    label->SetCaption("A&B");
    platform::WindowImage plain = Picture();
    EXPECT_EQ(label->Width(), doubledWidth);
    int different = 0;
    for (int y = 0; y < label->Height(); ++y) {
        for (int x = 0; x < label->Width(); ++x) {
            different += PixelOfLabel(doubled, x, y) != PixelOfLabel(plain, x, y);
        }
    }
    EXPECT_EQ(different, 0);
    EXPECT_GT(DarkPixels(plain, 80), 10);
}

TEST_F(LabelTest, ItsAcceleratorFocusesItsControlWhenThatCanTakeTheFocus) {
    form->Other->SetFocus();
    ASSERT_EQ(GetFocus(), form->Other->Handle());
    platform::TypeText("k");
    Pump();
    EXPECT_EQ(GetFocus(), form->Box->Handle()) << "typed in another control";

    form->Other->SetFocus();
    platform::TypeText("K");
    Pump();
    EXPECT_EQ(GetFocus(), form->Box->Handle()) << "either case";

    form->Other->SetFocus();
    form->Box->SetEnabled(false);
    platform::TypeText("k");
    Pump();
    EXPECT_EQ(GetFocus(), form->Other->Handle()) << "a disabled control cannot take it";
    EXPECT_EQ(label->SendToSelf(CM_DIALOG_CHAR, 'x'), 0);

    form->Box->SetEnabled(true);
    delete form->Box;
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(label->SendToSelf(CM_DIALOG_CHAR, 'k'), 0) << "no control, no answer";
}

} // namespace
} // namespace velbrin::testing
