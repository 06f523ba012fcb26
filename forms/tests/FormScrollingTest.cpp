// A plain form smaller than its controls: its scroll bars, the focus that
// scrolls a control into view, and the sizing frame that gives the room
// back. The controls must stay where the form puts them, and show there.

#include "core/ClassTables.h"
#include "forms/tests/FormPlacement.h"
#include "forms/tests/FormsTestSupport.h"

#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace velbrin::testing {
namespace {

class FormScrollingTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        OpenForm();
    }
    void OpenForm() {
        form = ShowMainForm();
        designed = PlacesOf(*form);
    }
    void ReopenForm() {
        StartAt(96);
        OpenForm();
    }
    void ResizeTo(SIZE size) { DragClientSizeTo(form->Handle(), size, Pump); }
    platform::WindowImage Picture() {
        return platform::CaptureWindow(form->Handle(), platform::WindowArea::Client);
    }
    // Clicks an arrow of one of the form's scroll bars `times` times.
    void ClickArrow(int bar, bool forward, int times) {
        RECT client;
        GetClientRect(form->Handle(), &client);
        const int half =
            (bar == SB_VERT ? GetSystemMetrics(SM_CXVSCROLL) : GetSystemMetrics(SM_CYHSCROLL)) / 2;
        POINT point = bar == SB_VERT ? POINT{client.right + half, forward ? client.bottom - 4 : 4}
                                     : POINT{forward ? client.right - 4 : 4, client.bottom + half};
        for (int i = 0; i < times; ++i) {
            platform::ClickAt(form->Handle(), point);
            Pump();
        }
    }
    // The shape's green band, where the shape now is, and nowhere above it.
    void ExpectTheShapeBandShows(const std::string& when) {
        const platform::WindowImage picture = Picture();
        const RECT shape = form->Shape->BoundsRect();
        const int bandTop = shape.top + (shape.bottom - shape.top) / 3;
        const int bandBottom = shape.top + 2 * (shape.bottom - shape.top) / 3;
        int green = 0;
        int visible = 0;
        for (int y = std::max(bandTop, 0); y < std::min(bandBottom, picture.height); ++y) {
            for (int x = std::max<int>(shape.left, 0);
                 x < std::min<int>(shape.right, picture.width); ++x) {
                ++visible;
                green += picture.At(x, y) == kShapeBand;
            }
        }
        EXPECT_EQ(green, visible) << when;
        int strayGreen = 0;
        for (int y = 0; y < std::min(bandTop, picture.height); ++y) {
            for (int x = 0; x < picture.width; ++x) {
                strayGreen += picture.At(x, y) == kShapeBand;
            }
        }
        EXPECT_EQ(strayGreen, 0) << "left behind above the band, " << when;
    }

    TTestMainForm* form = nullptr;
    DesignedPlaces designed;
};

TEST_F(FormScrollingTest, AControlTabbedToOutOfSightScrollsInAndAllComeBackAsTheFormGrows) {
    ResizeTo({120, 60});
    ASSERT_EQ(GetFocus(), form->First->Handle());
    platform::TapKey(VK_TAB);
    Pump();
    ASSERT_EQ(GetFocus(), form->Second->Handle());
    const RECT second = form->Second->BoundsRect();
    EXPECT_GE(second.left, 0) << "scrolled into view";
    EXPECT_LE(second.right, 120);
    EXPECT_GT(form->HorzScrollBar()->Position(), 0);
    ExpectControlsWhereTheFormPutsThem(*form, designed, "after the Tab");
    ClickArrow(SB_HORZ, true, 10);
    EXPECT_EQ(form->HorzScrollBar()->Position(), form->HorzScrollBar()->MaxPosition());
    ExpectControlsWhereTheFormPutsThem(*form, designed, "scrolled to the right end");

    // Wider, but still narrower than the controls: the range drops below
    // the position, which follows it down.
    const int atTheEnd = form->HorzScrollBar()->Position();
    ResizeTo({150, 120});
    EXPECT_LT(form->HorzScrollBar()->Position(), atTheEnd);
    EXPECT_GT(form->HorzScrollBar()->Position(), 0);
    EXPECT_LE(form->HorzScrollBar()->Position(), form->HorzScrollBar()->MaxPosition());
    ExpectControlsWhereTheFormPutsThem(*form, designed, "at 150x120");
    ExpectTheShapeBandShows("at 150x120");

    ResizeTo({260, 150});
    EXPECT_EQ(form->HorzScrollBar()->Position(), 0);
    EXPECT_EQ(form->VertScrollBar()->Position(), 0);
    ExpectControlsWhereTheFormPutsThem(*form, designed, "at 260x150");
    ExpectTheShapeBandShows("at 260x150");
    const platform::WindowImage afterAll = Picture();

    ReopenForm();
    ResizeTo({260, 150});
    platform::TapKey(VK_TAB);
    Pump();
    const platform::WindowImage fresh = Picture();
    ASSERT_EQ(fresh.pixels.size(), afterAll.pixels.size());
    int different = 0;
    for (std::size_t i = 0; i < fresh.pixels.size(); ++i) {
        different += fresh.pixels[i] != afterAll.pixels[i];
    }
    EXPECT_EQ(different, 0) << "as a fresh form of that size with the same focus";
}

TEST_F(FormScrollingTest, TheScrollBarArrowsMoveEveryControlAndTheRoomGivenBackReturnsThem) {
    ResizeTo({120, 60});
    ClickArrow(SB_VERT, true, 10);
    EXPECT_EQ(form->VertScrollBar()->Position(), form->VertScrollBar()->MaxPosition());
    EXPECT_GT(form->VertScrollBar()->Position(), 0);
    ClickArrow(SB_HORZ, true, 3);
    EXPECT_EQ(form->HorzScrollBar()->Position(), 3 * form->HorzScrollBar()->Increment());
    ExpectControlsWhereTheFormPutsThem(*form, designed, "scrolled to the bottom");
    ExpectTheShapeBandShows("scrolled to the bottom");

    ClickArrow(SB_VERT, false, 1);
    ExpectControlsWhereTheFormPutsThem(*form, designed, "a line back up");
    ExpectTheShapeBandShows("a line back up");

    // Taller than the controls: the vertical bar goes, and with it the
    // scrolled distance; the horizontal one stays where it was.
    const int horizontal = form->HorzScrollBar()->Position();
    ResizeTo({120, 130});
    EXPECT_EQ(form->VertScrollBar()->Position(), 0);
    EXPECT_EQ(form->HorzScrollBar()->Position(), horizontal);
    ExpectControlsWhereTheFormPutsThem(*form, designed, "at 120x130");
    ExpectTheShapeBandShows("at 120x130");
}

class TTestTightForm : public TForm {
    VELBRIN_CLASS(TTestTightForm, TForm)

public:
    explicit TTestTightForm(TComponent* owner) : TForm(owner) {}
    TTestBox* Box = nullptr;
};

class TTestCrowdedForm : public TForm {
    VELBRIN_CLASS(TTestCrowdedForm, TForm)

public:
    explicit TTestCrowdedForm(TComponent* owner) : TForm(owner) {}
    TTestBox* Box = nullptr;
};

VELBRIN_DEFINE_CLASS_TABLES(TTestTightForm, TForm, "FormsTests") {
    cls.Field<&TTestTightForm::Box>("Box");
}
VELBRIN_DEFINE_CLASS_TABLES(TTestCrowdedForm, TForm, "FormsTests") {
    cls.Field<&TTestCrowdedForm::Box>("Box");
}

// The client size of a window of `form`'s style that is `size` large.
SIZE ClientSizeOfWindow(TForm& form, SIZE size) {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame,
                       GetWindowLongA(form.Handle(), GWL_STYLE) & ~(WS_HSCROLL | WS_VSCROLL), FALSE,
                       GetWindowLongA(form.Handle(), GWL_EXSTYLE));
    return {size.cx - (frame.right - frame.left), size.cy - (frame.bottom - frame.top)};
}

class FormScalingTest : public LibraryTest, public ::testing::WithParamInterface<int> {};

TEST_P(FormScalingTest, WhereTheStoredSizeWouldCutTheControlsOffTheClientAreaFollowsTheScale) {
    StartAt(GetParam());
    auto* form = new TTestTightForm(nullptr);
    form->CompleteConstruction();
    form->Show();
    Pump();
    const int m = form->TextHeightOfFont();
    const SIZE stored = ClientSizeOfWindow(*form, {300, 200});
    const bool cutOff = MulDiv(10 + 280, m, 12) > stored.cx || MulDiv(10 + 160, m, 12) > stored.cy;
    const SIZE expected =
        cutOff ? SIZE{MulDiv(stored.cx, m, 12), MulDiv(stored.cy, m, 12)} : stored;
    EXPECT_EQ(form->ClientWidth(), expected.cx);
    EXPECT_EQ(form->ClientHeight(), expected.cy);
    EXPECT_LE(form->Box->BoundsRect().right, form->ClientWidth());
    EXPECT_LE(form->Box->BoundsRect().bottom, form->ClientHeight());
    EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    EXPECT_EQ(form->Left(), 10) << "room enough on the screen: the window stays where it was put";
    TForm::Free(form);
}

INSTANTIATE_TEST_SUITE_P(Forms, FormScalingTest, ::testing::Values(96, 120, 144, 192));

TEST_F(FormScrollingTest, AFormReadSmallerThanItsControlsShowsItsScrollBarsAtOnce) {
    auto* crowded = new TTestCrowdedForm(nullptr);
    crowded->CompleteConstruction();
    ASSERT_TRUE(crowded->HasWindow()) << "made while the form was read";
    const LONG style = GetWindowLongA(crowded->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & WS_VSCROLL);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    GetScrollInfo(crowded->Handle(), SB_HORZ, &info);
    EXPECT_EQ(info.nMax, crowded->Box->BoundsRect().right);
    GetScrollInfo(crowded->Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, crowded->Box->BoundsRect().bottom);
    TForm::Free(crowded);
}

} // namespace
} // namespace velbrin::testing
