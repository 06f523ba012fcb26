#include "FormsTestSupport.h"

#include "controls/THintWindow.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TScreen.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace velbrin::testing {

namespace {

// Records the hints the application is about to show, and may refuse them
// or change their text.
struct THintLog : TObject {
    static void Showing(TObject* data, std::string& text, bool& canShow, THintInfo& info) {
        auto* log = static_cast<THintLog*>(data);
        log->shown.push_back(text);
        log->controls.push_back(info.HintControl);
        if (log->refuse) {
            canShow = false;
        }
        if (log->blank) {
            text.clear();
        }
        if (log->raise) {
            throw EConvertError("no hint today");
        }
    }
    static void Idle(TObject*, TObject*, bool& done) { done = false; }

    std::vector<std::string> shown;
    std::vector<TControl*> controls;
    bool refuse = false;
    bool blank = false;
    bool raise = false;
};

// Stands in front of a control's own message routing and answers its
// CM_HINT_SHOW with `answer`.
struct THintShowAnswer : TObject {
    static void Route(TObject* data, TMessage& message) {
        auto* self = static_cast<THintShowAnswer*>(data);
        if (message.Msg == CM_HINT_SHOW) {
            ++self->asked;
            message.Result = self->answer;
            return;
        }
        self->original(message);
    }
    TWndMethod original;
    LRESULT answer = 0;
    int asked = 0;
};

class HintTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = ShowMainForm();
        form->First->SetHint("First box|What the first box is for");
        form->First->SetShowHint(true);
        form->Second->SetHint("Second box");
        form->Second->SetShowHint(true);
        Application->OnShowHint = TShowHintEvent(&THintLog::Showing, &log);
    }

    static void MouseOver(TWinControl* control, POINT clientPoint = {4, 4}) {
        platform::MoveMouse(platform::ScreenPointOf(control->Handle(), clientPoint));
        Pump();
    }

    static RECT ScreenRectOf(TWinControl* control) {
        const POINT topLeft = platform::ScreenPointOf(control->Handle(), {0, 0});
        return {topLeft.x, topLeft.y, topLeft.x + control->ClientWidth(),
                topLeft.y + control->ClientHeight()};
    }

    static void ExpectNoHintPending() {
        EXPECT_EQ(Application->HintControl(), nullptr);
        EXPECT_FALSE(Application->HintTimerActive());
        EXPECT_FALSE(Application->HintActive());
    }

    // The hint window's window when it is on the screen, else null.
    static HWND ShownHint() {
        THintWindow* hint = Application->HintWindow();
        if (hint == nullptr || !hint->HasWindow() || !IsWindowVisible(hint->Handle())) {
            return nullptr;
        }
        return hint->Handle();
    }

    static HWND ShowHintOf(TWinControl* control, POINT clientPoint = {4, 4}) {
        MouseOver(control, clientPoint);
        platform::AdvanceClock(Application->HintPause());
        return ShownHint();
    }

    static std::string TextOf(HWND window) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    TTestMainForm* form = nullptr;
    THintLog log;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Where the hint of `control` belongs: its left edge under the control's, six
// pixels below it.
POINT HintPlaceBelow(TWinControl* control) {
    const POINT origin = platform::ScreenPointOf(control->Handle(), {0, 0});
    return {origin.x, origin.y + control->Height() + 6};
}

// The size of a one-line hint window for `text`: the text's extent in the
// hint's font, measured here without the window, with the border and the
// text's margins.
SIZE HintSizeFor(const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Application->HintWindow()->Font()->Handle());
    SIZE extent{};
    GetTextExtentPointA(dc, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {extent.cx + 6, extent.cy + 2};
}

bool IsDark(COLORREF color) {
    return GetRValue(color) + GetGValue(color) + GetBValue(color) < 3 * 128;
}

void SavePictureToLookAt(HWND window) {
    const char* directory = std::getenv("VELBRIN_SCREENSHOT_DIR");
    const std::string path =
        (directory ? std::string(directory) + "/" : ::testing::TempDir()) + "hint.png";
    EXPECT_TRUE(platform::SaveWindowPng(window, platform::WindowArea::WithFrame, path));
}

} // namespace

TEST_F(HintTest, AMoveOverAControlThatShowsHintsStartsTheTimerAndMovingOffCancelsIt) {
    MouseOver(form->First);
    EXPECT_EQ(Application->HintControl(), form->First);
    EXPECT_TRUE(Application->HintTimerActive());
    EXPECT_EQ(Application->HintTimerMode(), THintTimerMode::Show);
    EXPECT_FALSE(Application->HintActive());

    // Skipped shows no hints, nor does the form it takes its setting from.
    MouseOver(form->Skipped);
    ExpectNoHintPending();
    platform::AdvanceClock(5000);
    EXPECT_TRUE(log.shown.empty()) << "the cancelled timer never fired";
}

TEST_F(HintTest, TheHintComesAfterThePauseThenTheNextControlsAfterTheShortPause) {
    MouseOver(form->First);
    platform::AdvanceClock(Application->HintPause() - 1);
    EXPECT_TRUE(log.shown.empty());
    platform::AdvanceClock(1);
    ASSERT_EQ((std::vector<std::string>{"First box"}), log.shown) << "the short part is shown";
    EXPECT_EQ(log.controls.back(), form->First);
    EXPECT_TRUE(Application->HintActive());
    EXPECT_TRUE(SameRect(Application->HintCursorRect(), ScreenRectOf(form->First)));
    EXPECT_EQ(Application->HintTimerMode(), THintTimerMode::Hide);

    // Moving inside the control keeps the shown hint and its hide timer.
    MouseOver(form->First, {30, 20});
    EXPECT_EQ(Application->HintTimerMode(), THintTimerMode::Hide);
    EXPECT_TRUE(Application->HintActive());

    MouseOver(form->Second);
    EXPECT_EQ(Application->HintControl(), form->Second);
    EXPECT_TRUE(Application->HintActive()) << "a hint was just shown";
    EXPECT_EQ(Application->HintTimerMode(), THintTimerMode::Show);
    EXPECT_EQ(ShownHint(), nullptr) << "the first control's hint went with it";
    platform::AdvanceClock(Application->HintShortPause());
    EXPECT_EQ((std::vector<std::string>{"First box", "Second box"}), log.shown);
    HWND hint = ShownHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(TextOf(hint), "Second box");
    const POINT place = HintPlaceBelow(form->Second);
    EXPECT_EQ(WindowRectOf(hint).left, place.x);
    EXPECT_EQ(WindowRectOf(hint).top, place.y);

    // The hide timer runs out once and takes the hint away; it stays the
    // control's.
    platform::AdvanceClock(Application->HintHidePause() - 1);
    EXPECT_EQ(ShownHint(), hint);
    platform::AdvanceClock(1);
    EXPECT_EQ(ShownHint(), nullptr);
    EXPECT_FALSE(Application->HintTimerActive());
    EXPECT_EQ(Application->HintControl(), form->Second);
}

TEST_F(HintTest, KeysAndButtonPressesCancelTheHintAndAreStillHandled) {
    ASSERT_NE(ShowHintOf(form->First), nullptr);
    ASSERT_TRUE(Application->HintActive());
    platform::TapKey(VK_SHIFT);
    Pump();
    ExpectNoHintPending();
    EXPECT_EQ(ShownHint(), nullptr) << "hidden at once, not when its time is up";

    ASSERT_NE(ShowHintOf(form->Second), nullptr);
    platform::ClickAt(form->Second->Handle(), {4, 4});
    Pump();
    EXPECT_EQ(Application->HintControl(), nullptr);
    EXPECT_EQ(ShownHint(), nullptr);
    EXPECT_EQ(form->log.back(), "click Second");
}

// The hint comes from a timer procedure, which the system calls: what the hint
// step raises must reach the application's handler there and never unwind
// into the system.
TEST_F(HintTest, WhatTheTimedHintRaisesGoesToTheApplicationsHandler) {
    struct Catcher : TObject {
        std::vector<std::string> seen;
    } catcher;
    Application->OnException = TExceptionEvent(
        [](TObject* data, TObject*, Exception& e) {
            static_cast<Catcher*>(data)->seen.push_back(e.Message());
        },
        &catcher);
    log.raise = true;
    MouseOver(form->First);
    EXPECT_NO_THROW(platform::AdvanceClock(Application->HintPause()));
    EXPECT_EQ((std::vector<std::string>{"no hint today"}), catcher.seen);
    EXPECT_EQ((std::vector<std::string>{"First box"}), log.shown);

    // The loop runs on: the next control's hint comes as usual.
    log.raise = false;
    MouseOver(form->Second);
    platform::AdvanceClock(Application->HintPause());
    EXPECT_EQ(log.shown.back(), "Second box");
    EXPECT_EQ(catcher.seen.size(), 1u);
}

TEST_F(HintTest, TheControlOrOnShowHintMaySuppressTheHint) {
    THintShowAnswer answer;
    answer.original = form->First->MessageRouter;
    answer.answer = 1;
    form->First->MessageRouter = TWndMethod(&THintShowAnswer::Route, &answer);
    MouseOver(form->First);
    platform::AdvanceClock(Application->HintPause());
    EXPECT_EQ(answer.asked, 1);
    EXPECT_TRUE(log.shown.empty()) << "the control's refusal comes before OnShowHint";
    EXPECT_FALSE(Application->HintActive());
    EXPECT_FALSE(Application->HintTimerActive());
    form->First->MessageRouter = answer.original;

    log.refuse = true;
    MouseOver(form->Second);
    platform::AdvanceClock(Application->HintPause());
    EXPECT_EQ((std::vector<std::string>{"Second box"}), log.shown);
    EXPECT_FALSE(Application->HintActive());

    log.refuse = false;
    log.blank = true;
    MouseOver(form->First);
    platform::AdvanceClock(Application->HintPause());
    EXPECT_EQ(log.shown.size(), 2u);
    EXPECT_FALSE(Application->HintActive()) << "an empty text shows nothing";
}

TEST_F(HintTest, IdleOverNoControlCancelsTheHintAndClearsTheLongHint) {
    MouseOver(form->First);
    Application->OnIdle = TIdleEvent(&THintLog::Idle, &log);
    Application->Idle();
    EXPECT_EQ(Application->Hint(), "What the first box is for");
    ASSERT_EQ(Application->HintControl(), form->First);

    // Off the form, no control receives the move; the idle step notices.
    platform::MoveMouse({790, 590});
    Pump();
    EXPECT_EQ(Application->HintControl(), form->First);
    Application->Idle();
    ExpectNoHintPending();
    EXPECT_EQ(Application->Hint(), "");
}

TEST_F(HintTest, FreeingTheHintControlOrSwitchingHintsOffCancelsIt) {
    ASSERT_NE(ShowHintOf(form->Second), nullptr);
    delete form->Second;
    ExpectNoHintPending();
    EXPECT_EQ(ShownHint(), nullptr);
    log.shown.clear();

    MouseOver(form->First);
    ASSERT_TRUE(Application->HintTimerActive());
    const std::size_t windows = platform::CountLiveWindows();
    Application->SetShowHint(false);
    ExpectNoHintPending();
    EXPECT_EQ(Application->HintWindow(), nullptr);
    EXPECT_EQ(platform::CountLiveWindows(), windows - 1) << "the hint window is freed";
    MouseOver(form->First, {10, 10});
    EXPECT_FALSE(Application->HintTimerActive()) << "no hints while they are off";
    platform::AdvanceClock(5000);
    EXPECT_TRUE(log.shown.empty());

    Application->SetShowHint(true);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->HintWindow()->Color(), Application->HintColor());
    EXPECT_NE(ShowHintOf(form->First, {20, 20}), nullptr);
}

TEST_F(HintTest, TheHintStandsBelowItsControlInATopmostPopUpThatTakesNoActivationNorFocus) {
    form->First->SetHint("Short|Long");
    form->First->SetFocus();
    Pump();
    HWND focused = GetFocus();
    ASSERT_EQ(focused, form->First->Handle());
    HWND hint = ShowHintOf(form->First);
    ASSERT_NE(hint, nullptr);

    char className[64] = {};
    GetClassNameA(hint, className, sizeof className);
    EXPECT_STREQ(className, "THintWindow");
    const LONG style = GetWindowLongA(hint, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_CHILD | WS_CAPTION), WS_POPUP | WS_BORDER);
    EXPECT_NE(GetWindowLongA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(hint, GW_OWNER), Application->Handle());
    EXPECT_EQ(TextOf(hint), "Short");

    const RECT rect = WindowRectOf(hint);
    const POINT place = HintPlaceBelow(form->First);
    const SIZE size = HintSizeFor("Short");
    EXPECT_EQ(rect.left, place.x);
    EXPECT_EQ(rect.top, place.y);
    EXPECT_EQ(rect.right - rect.left, size.cx);
    EXPECT_EQ(rect.bottom - rect.top, size.cy);

    EXPECT_EQ(GetActiveWindow(), form->Handle());
    EXPECT_EQ(GetFocus(), focused);
    EXPECT_EQ(Screen->FormCount(), 1) << "the hint window is no form";

    // The info colours inside a thin frame, the text starting two pixels in.
    SavePictureToLookAt(hint);
    const platform::WindowImage framed =
        platform::CaptureWindow(hint, platform::WindowArea::WithFrame);
    EXPECT_EQ(framed.At(0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(framed.At(framed.width - 1, framed.height - 1), GetSysColor(COLOR_WINDOWFRAME));
    const platform::WindowImage image = platform::CaptureWindow(hint, platform::WindowArea::Client);
    ASSERT_EQ(image.width, size.cx - 2);
    int dark = 0;
    for (int y = 0; y < image.height; ++y) {
        EXPECT_EQ(image.At(0, y), GetSysColor(COLOR_INFOBK));
        EXPECT_EQ(image.At(1, y), GetSysColor(COLOR_INFOBK));
        EXPECT_EQ(image.At(image.width - 1, y), GetSysColor(COLOR_INFOBK));
        for (int x = 0; x < image.width; ++x) {
            dark += IsDark(image.At(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20) << "the text is drawn";

    // A click on the hint takes nothing from the form either, and hides it.
    platform::ClickAt(hint, {3, 3});
    Pump();
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    EXPECT_EQ(GetFocus(), focused);
    EXPECT_EQ(ShownHint(), nullptr);
}

TEST_F(HintTest, AnEmptyShortPartShowsNoHintWindow) {
    form->First->SetHint("|Long only");
    EXPECT_EQ(ShowHintOf(form->First), nullptr);
    EXPECT_EQ((std::vector<std::string>{""}), log.shown);
    EXPECT_FALSE(Application->HintActive());
}

TEST_F(HintTest, TheIdleStepOverTheHintWindowCancelsTheHint) {
    HWND hint = ShowHintOf(form->First);
    ASSERT_NE(hint, nullptr);
    Application->OnIdle = TIdleEvent(&THintLog::Idle, &log);
    // The move stays queued: the idle step alone sees the mouse there.
    platform::MoveMouse(platform::ScreenPointOf(hint, {2, 2}));
    Application->Idle();
    EXPECT_EQ(Application->MouseControl(), Application->HintWindow());
    ExpectNoHintPending();
    EXPECT_EQ(ShownHint(), nullptr);
}

TEST_F(HintTest, AShownHintIsLeftAloneByMessageBoxesAndDemotedWithTheApplication) {
    HWND hint = ShowHintOf(form->First);
    ASSERT_NE(hint, nullptr);
    ASSERT_FALSE(EnabledThreadWindows(nullptr).empty());
    for (HWND window : EnabledThreadWindows(nullptr)) {
        EXPECT_NE(window, hint) << "never disabled for a box, never activated";
    }

    bool enabledDuringBox = false;
    platform::QueueUserAction([&] {
        enabledDuringBox = IsWindowEnabled(hint) != FALSE;
        platform::AnswerMessageBox(IDOK);
    });
    Application->ShowMessageBox("text", "caption", MB_OK);
    EXPECT_TRUE(enabledDuringBox);
    EXPECT_TRUE(IsWindowEnabled(hint));
    EXPECT_EQ(GetActiveWindow(), form->Handle());

    Application->DemoteTopMostWindows();
    EXPECT_EQ(GetWindowLongA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    Application->RepromoteTopMostWindows();
    EXPECT_NE(GetWindowLongA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST_F(HintTest, TheLastFormToGoTakesTheHintWindowsWindowWithIt) {
    HWND hint = ShowHintOf(form->First);
    ASSERT_NE(hint, nullptr);
    TTestClientForm* other = nullptr;
    Application->MakeForm(other);
    TForm::Free(form);
    EXPECT_TRUE(IsWindow(hint)) << "a form is left";
    TForm::Free(other);
    EXPECT_FALSE(IsWindow(hint));
    ASSERT_NE(Application->HintWindow(), nullptr) << "the object stays while hints are on";
    EXPECT_FALSE(Application->HintWindow()->HasWindow());
    platform::AdvanceClock(Application->HintHidePause());

    form = ShowMainForm();
    form->First->SetHint("Again");
    form->First->SetShowHint(true);
    hint = ShowHintOf(form->First);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(TextOf(hint), "Again");
}

TEST_F(HintTest, NoHintIsShownWhileTheFormIsNotTheActiveWindow) {
    TTestClientForm* other = nullptr;
    Application->MakeForm(other);
    other->SetBounds(500, 400, 200, 120);
    other->Show();
    Pump();
    ASSERT_EQ(GetActiveWindow(), other->Handle());
    MouseOver(form->First);
    platform::AdvanceClock(Application->HintPause());
    EXPECT_TRUE(log.shown.empty());
    EXPECT_FALSE(Application->HintTimerActive());
}

} // namespace velbrin::testing
