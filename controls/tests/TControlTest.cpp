#include "ControlTestSupport.h"

#include "runtime/Exceptions.h"

#include <algorithm>

namespace velbrin::testing {
namespace {

using platform::CaptureWindow;
using platform::WindowArea;

TEST_F(ControlTest, UnchangedBoundsSendNothingAndInvalidateNothing) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetParent(form);
    label->SetBounds(5, 5, 40, 20);
    platform::RunUntilIdle();
    TMessageCounter counter(*label);

    label->SetBounds(5, 5, 40, 20);
    label->SetLeft(5);
    label->SetVisible(true);
    label->SetEnabled(true);
    label->SetCursor(crDefault);
    EXPECT_TRUE(counter.seen.empty());
    EXPECT_FALSE(HasUpdate(form->Handle()));

    label->SetLeft(60);
    EXPECT_EQ(label->BoundsRect().left, 60);
    EXPECT_NE(std::find(counter.seen.begin(), counter.seen.end(), WM_WINDOWPOSCHANGED),
              counter.seen.end());
    EXPECT_TRUE(HasUpdate(form->Handle()));
    EXPECT_EQ(label->ScalingFlags() & sfLeft, sfLeft);
}

TEST_F(ControlTest, HiddenControlIsNotInvalidatedAndRepaintedOpaqueOneIsPaintedAtOnce) {
    MakeShownForm();
    auto* hidden = new TTestGraphic(form);
    hidden->SetVisible(false);
    hidden->SetParent(form);
    hidden->SetBounds(5, 5, 40, 20);
    platform::RunUntilIdle();
    hidden->Invalidate();
    EXPECT_FALSE(HasUpdate(form->Handle()));

    auto* block = new TTestGraphic(form);
    block->SetControlStyle(block->ControlStyle() | csOpaque);
    block->SetBounds(100, 50, 30, 30);
    block->SetParent(form);
    platform::RunUntilIdle();
    ASSERT_EQ(CaptureWindow(form->Handle(), WindowArea::Client).At(110, 60), RGB(200, 0, 0));
    EXPECT_EQ(hidden->paints, 0);

    block->fill = RGB(0, 0, 180);
    block->Repaint();
    // No message was run: the paint happened inside Repaint.
    const auto image = CaptureWindow(form->Handle(), WindowArea::Client);
    EXPECT_EQ(image.At(110, 60), RGB(0, 0, 180));
    EXPECT_EQ(image.At(99, 60), image.At(5, 150)) << "the parent around it is untouched";
    EXPECT_FALSE(HasUpdate(form->Handle()));
}

TEST_F(ControlTest, ClickRaisesDownClickUpWithLocalPointsAndReleaseOutsideRaisesNoClick) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetBounds(30, 40, 50, 20);
    label->SetParent(form);
    TEventLog log;
    log.Watch(*label);

    platform::ClickAt(form->Handle(), {35, 45});
    platform::RunUntilIdle();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"down 0 5,5", "click", "up 0 5,5"}));

    log.lines.clear();
    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {40, 50}));
    platform::PressMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {150, 150}));
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    // The capture keeps the release with the label, in its own coordinates.
    EXPECT_EQ(log.lines, (std::vector<std::string>{"down 0 10,10", "up 0 120,110"}));
    EXPECT_FALSE(label->MouseCapture());
}

TEST_F(ControlTest, DoubleClickWithoutTheStyleRaisesTwoSinglePresses) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetBounds(30, 40, 50, 20);
    label->SetParent(form);
    TEventLog log;
    log.Watch(*label);

    platform::ClickAt(form->Handle(), {35, 45});
    platform::ClickAt(form->Handle(), {35, 45});
    platform::RunUntilIdle();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"down 0 5,5", "click", "up 0 5,5",
                                                   "down 0 5,5 double", "up 0 5,5"}));

    log.lines.clear();
    platform::AdvanceClock(2000);
    label->SetControlStyle(label->ControlStyle() & ~csDoubleClicks);
    platform::ClickAt(form->Handle(), {35, 45});
    platform::ClickAt(form->Handle(), {35, 45});
    platform::RunUntilIdle();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"down 0 5,5", "click", "up 0 5,5", "down 0 5,5",
                                                   "click", "up 0 5,5"}));
}

class TSelfFreeing : public TObject {
    VELBRIN_CLASS(TSelfFreeing, TObject)

public:
    void FreeSender(TObject* sender) {
        delete sender;
        ++freed;
    }
    void FreeKeySender(TObject* sender, WORD&, TShiftState) { FreeSender(sender); }
    int freed = 0;
};

VELBRIN_DEFINE_CLASS(TSelfFreeing, TObject, "ControlTests")

TEST_F(ControlTest, HandlerThatFreesItsSenderEndsTheMessageSafely) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetBounds(30, 40, 50, 20);
    label->SetParent(form);
    TSelfFreeing freer;
    label->OnClick = TNotifyEvent::Of<&TSelfFreeing::FreeSender>(&freer);

    platform::ClickAt(form->Handle(), {35, 45});
    platform::RunUntilIdle();
    EXPECT_EQ(freer.freed, 1);
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(form->ComponentCount(), 0);

    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->OnKeyDown = TKeyEvent::Of<&TSelfFreeing::FreeKeySender>(&freer);
    ::SetFocus(panel->Handle());
    platform::TapKey('A');
    platform::RunUntilIdle();
    EXPECT_EQ(freer.freed, 2);
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_TRUE(reported.empty());
}

TEST_F(ControlTest, CaptionIsKeptWithoutWindowAndFollowsTheName) {
    TTestGraphic label(nullptr);
    EXPECT_EQ(label.Text(), "");
    label.SetName("Label1");
    EXPECT_EQ(label.Caption(), "Label1");
    label.SetName("Label2");
    EXPECT_EQ(label.Caption(), "Label2");
    label.SetCaption("Key");
    label.SetName("Label3");
    EXPECT_EQ(label.Caption(), "Key");

    char small[3];
    EXPECT_EQ(label.ReadWindowText(small, sizeof small), 2);
    EXPECT_STREQ(small, "Ke");
    EXPECT_EQ(label.ReadWindowText(small, 0), 0);
}

TEST_F(ControlTest, ParentRulesAndOriginsWithoutParentRaise) {
    TTestGraphic label(nullptr);
    label.SetName("Label1");
    try {
        label.ClientOrigin();
        FAIL() << "no parent, no origin";
    } catch (const EInvalidOperation& error) {
        EXPECT_NE(error.Message().find("'Label1'"), std::string::npos);
    }
    HWND window = nullptr;
    EXPECT_THROW(label.TakeDC(window), EInvalidOperation);

    TTestPanel panel(nullptr);
    EXPECT_THROW(panel.SetParent(&panel), EInvalidOperation);
    EXPECT_EQ(panel.Parent(), nullptr);
}

TEST_F(ControlTest, ClientCoordinatesGoThroughTheParents) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* label = new TTestGraphic(form);
    label->SetBounds(4, 6, 10, 10);
    label->SetParent(panel);

    const POINT formOrigin = platform::ScreenPointOf(form->Handle(), {0, 0});
    const POINT screen = label->ClientToScreen({1, 2});
    EXPECT_EQ(screen.x, formOrigin.x + 10 + 4 + 1);
    EXPECT_EQ(screen.y, formOrigin.y + 10 + 6 + 2);
    const POINT back = label->ScreenToClient(screen);
    EXPECT_EQ(back.x, 1);
    EXPECT_EQ(back.y, 2);
}

TEST_F(ControlTest, ScalingMovesTheFarEdgeSoNeighboursStayAdjacent) {
    TTestGraphic label(nullptr);
    label.SetBounds(144, 10, 23, 12);
    label.ScaleControl(15, 12);
    EXPECT_EQ(label.Left(), 180);
    EXPECT_EQ(label.Width(), 29);
    EXPECT_EQ(label.Top(), MulDiv(10, 15, 12));
    EXPECT_EQ(label.Height(), MulDiv(10 + 12, 15, 12) - MulDiv(10, 15, 12));
    EXPECT_EQ(label.ScalingFlags(), 0);

    label.SetControlStyle(label.ControlStyle() | csFixedWidth);
    label.ScaleControl(2, 1);
    EXPECT_EQ(label.Left(), 360);
    EXPECT_EQ(label.Width(), 29);
}

TEST_F(ControlTest, AlignSwapsSidesBetweenHorizontalAndVerticalEdges) {
    TTestGraphic label(nullptr);
    label.SetBounds(0, 0, 80, 20);
    label.SetAlign(alTop);
    EXPECT_EQ(label.Width(), 80);
    label.SetAlign(alLeft);
    EXPECT_EQ(label.Width(), 20);
    EXPECT_EQ(label.Height(), 80);
    label.SetAlign(alClient);
    EXPECT_EQ(label.Width(), 20);
}

TEST_F(ControlTest, ColourAndShowHintTravelDownToChildrenThatFollowTheirParent) {
    MakeShownForm();
    auto* follower = new TTestGraphic(form);
    follower->SetParent(form);
    auto* own = new TTestGraphic(form);
    own->SetColor(0x00FF00);
    own->SetParent(form);

    form->SetColor(0x123456);
    EXPECT_EQ(follower->Color(), 0x123456);
    EXPECT_TRUE(follower->ParentColor());
    EXPECT_EQ(own->Color(), 0x00FF00);

    own->SetParentColor(true);
    EXPECT_EQ(own->Color(), 0x123456) << "taken at once";

    form->SetShowHint(true);
    EXPECT_TRUE(follower->ShowHint());
    EXPECT_TRUE(follower->ParentShowHint());
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

// Bounds beyond any screen, as a damaged form resource may give them, are
// held to a limit: every edge and every scaling of it stays representable.
TEST_F(ControlTest, FarOutBoundsAreHeldSoNoEdgeOverflows) {
    MakeShownForm();
    auto* graphic = new TTestGraphic(form);
    graphic->SetParent(form);
    graphic->SetBounds(2147483600, -2147483600, 1000, 2147483647);
    RECT bounds = graphic->BoundsRect();
    EXPECT_GT(bounds.left, 0);
    EXPECT_GT(bounds.right, bounds.left);
    EXPECT_LT(bounds.top, 0);
    EXPECT_GT(bounds.bottom, bounds.top);
    graphic->ScaleControl(120, 96);
    EXPECT_GT(graphic->BoundsRect().right, graphic->BoundsRect().left);

    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->SetBounds(-2147483647, 2147483647, 2147483647, 2147483647);
    platform::RunUntilIdle();
    RECT window{};
    ASSERT_TRUE(GetWindowRect(panel->Handle(), &window));
    EXPECT_GT(window.right, window.left);
    EXPECT_GT(window.bottom, window.top);
    EXPECT_EQ(panel->Left(), -TControl::kBoundsLimit);
    panel->SetBounds(10, 10, 50, 40);
    EXPECT_EQ(panel->BoundsRect().right, 60);
}

} // namespace
} // namespace velbrin::testing
