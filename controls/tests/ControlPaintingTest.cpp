#include "ControlTestSupport.h"

#include "controls/TControlCanvas.h"
#include "controls/TCustomControl.h"
#include "controls/TGraphicControl.h"
#include "core/TList.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"

namespace velbrin::testing {
namespace {

using platform::CaptureWindow;
using platform::WindowArea;

constexpr TColor kGreen = 0x00A000;
constexpr TColor kRed = 0x0000C0;

// Fills its whole area through its canvas; can be told to fail.
class TSwatch : public TGraphicControl {
    VELBRIN_CLASS(TSwatch, TGraphicControl)

public:
    explicit TSwatch(TComponent* owner) : TGraphicControl(owner) {
        SetControlStyle(ControlStyle() | csOpaque);
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(swatch);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }
    TColor swatch = kRed;
};

VELBRIN_DEFINE_CLASS(TSwatch, TGraphicControl, "ControlTests")

class TSurface : public TCustomControl {
    VELBRIN_CLASS(TSurface, TCustomControl)

public:
    explicit TSurface(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() | csOpaque);
        SetBounds(10, 10, 120, 80);
    }
    void Paint() override {
        ++paints;
        if (fail) {
            throw EInvalidOperation("paint failed");
        }
        Canvas()->Brush()->SetColor(kGreen);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }
    int paints = 0;
    bool fail = false;
};

VELBRIN_DEFINE_CLASS(TSurface, TCustomControl, "ControlTests")

COLORREF Rgb(TColor color) {
    return RGB(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TEST_F(ControlTest, CustomControlPaintsAroundItsOpaqueGraphicChild) {
    MakeShownForm();
    auto* surface = new TSurface(form);
    surface->SetParent(form);
    auto* swatch = new TSwatch(form);
    swatch->SetBounds(20, 20, 30, 30);
    swatch->SetParent(surface);
    platform::RunUntilIdle();

    const auto image = CaptureWindow(surface->Handle(), WindowArea::Client);
    EXPECT_EQ(image.At(5, 5), Rgb(kGreen));
    EXPECT_EQ(image.At(35, 35), Rgb(kRed));
    EXPECT_EQ(image.At(20, 20), Rgb(kRed));
    EXPECT_EQ(image.At(50, 50), Rgb(kGreen));
    EXPECT_EQ(surface->paints, 1);
}

TEST_F(ControlTest, BackgroundIsErasedInTheControlsColour) {
    MakeShownForm();
    form->SetColor(0x306090);
    form->Repaint();
    EXPECT_EQ(CaptureWindow(form->Handle(), WindowArea::Client).At(150, 100), Rgb(0x306090));
    EXPECT_EQ(form->Brush()->Color(), 0x306090);
}

TEST_F(ControlTest, FramedChildGetsAThreeDimensionalFrameJustOutside) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetControlStyle(panel->ControlStyle() | csFramed);
    panel->SetCtl3D(true);
    panel->SetParent(form);
    auto* label = new TSwatch(form);
    label->SetBounds(200, 100, 10, 10);
    label->SetParent(form);
    form->Repaint();

    const auto image = CaptureWindow(form->Handle(), WindowArea::Client);
    EXPECT_EQ(image.At(9, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(image.At(20, 9), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(image.At(60, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.At(20, 40), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.At(8, 20), Rgb(clWhite)) << "one pixel wide";
}

TEST_F(ControlTest, FifthCanvasTakesTheOldestContextAndAllAreGivenBackAfterAMessage) {
    MakeShownForm();
    const std::size_t dcsBefore = platform::CountLiveHandles().deviceContexts;
    TSwatch* swatches[5];
    for (int i = 0; i < 5; ++i) {
        swatches[i] = new TSwatch(form);
        swatches[i]->SetBounds(10 + 20 * i, 150, 10, 10);
        swatches[i]->SetParent(form);
    }
    platform::RunUntilIdle();
    for (TSwatch* swatch : swatches) {
        swatch->swatch = kGreen;
        swatch->Paint();
    }
    EXPECT_EQ(DCHoldingCanvases().Count(), 4);
    EXPECT_EQ(swatches[0]->Canvas()->DeviceContext(), nullptr);
    EXPECT_NE(swatches[4]->Canvas()->DeviceContext(), nullptr);

    swatches[0]->Paint();
    EXPECT_NE(swatches[0]->Canvas()->DeviceContext(), nullptr);
    EXPECT_EQ(swatches[1]->Canvas()->DeviceContext(), nullptr);
    EXPECT_EQ(DCHoldingCanvases().Get(3), swatches[0]->Canvas());

    // Each canvas drew at its own control's place.
    const auto image = CaptureWindow(form->Handle(), WindowArea::Client);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(image.At(15 + 20 * i, 155), Rgb(kGreen)) << i;
    }
    EXPECT_EQ(image.At(25, 155), image.At(150, 100));

    SendMessageA(form->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(DCHoldingCanvases().Count(), 0);
    EXPECT_EQ(platform::CountLiveHandles().deviceContexts, dcsBefore);
}

TEST_F(ControlTest, PaintThatRaisesIsReportedAndHoldsNoContext) {
    MakeShownForm();
    const std::size_t dcsBefore = platform::CountLiveHandles().deviceContexts;
    auto* surface = new TSurface(form);
    surface->fail = true;
    surface->SetParent(form);
    platform::RunUntilIdle();
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported[0], "paint failed");
    EXPECT_EQ(surface->Canvas()->AttachedHandle(), nullptr);
    EXPECT_EQ(platform::CountLiveHandles().deviceContexts, dcsBefore);
    EXPECT_FALSE(HasUpdate(surface->Handle())) << "the paint ended and validated the window";
}

TEST_F(ControlTest, FontsTravelDownToChildrenThatFollowTheirParent) {
    MakeShownForm();
    auto* follower = new TSwatch(form);
    follower->SetParent(form);
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* own = new TSwatch(form);
    own->Font()->SetName("Arial");
    EXPECT_FALSE(own->ParentFont());
    own->SetParent(panel);

    form->Font()->SetSize(14);
    EXPECT_EQ(follower->Font()->Size(), 14);
    EXPECT_EQ(panel->Font()->Size(), 14);
    EXPECT_TRUE(follower->ParentFont());
    EXPECT_EQ(own->Font()->Name(), "Arial");
    EXPECT_NE(own->Font()->Size(), 14);

    own->SetParentFont(true);
    EXPECT_EQ(own->Font()->Size(), 14) << "taken from the parent at once";
    EXPECT_EQ(own->Font()->Name(), panel->Font()->Name());
    EXPECT_TRUE(own->ParentFont());
}

TEST_F(ControlTest, ScalingScalesAnOwnFontAndRecordsHeightChanges) {
    TSwatch label(nullptr);
    label.Font()->SetSize(12);
    EXPECT_EQ(label.ScalingFlags() & sfFont, sfFont);
    label.ScaleControl(2, 1);
    EXPECT_EQ(label.Font()->Size(), 24);

    TSwatch follower(nullptr);
    const int size = follower.Font()->Size();
    follower.ScaleControl(2, 1);
    EXPECT_EQ(follower.Font()->Size(), size) << "a parent's font is scaled by the parent";
}

} // namespace
} // namespace velbrin::testing
