#include "FormsTestSupport.h"

#include "forms/Forms.h"
#include "forms/TApplication.h"

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
    }
    static void Idle(TObject*, TObject*, bool& done) { done = false; }

    std::vector<std::string> shown;
    std::vector<TControl*> controls;
    bool refuse = false;
    bool blank = false;
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

    TTestMainForm* form = nullptr;
    THintLog log;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
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
    platform::AdvanceClock(Application->HintShortPause());
    EXPECT_EQ((std::vector<std::string>{"First box", "Second box"}), log.shown);

    // The hide timer runs out once; the hint stays the control's.
    platform::AdvanceClock(Application->HintHidePause());
    EXPECT_FALSE(Application->HintTimerActive());
    EXPECT_EQ(Application->HintControl(), form->Second);
}

TEST_F(HintTest, KeysAndButtonPressesCancelTheHintAndAreStillHandled) {
    MouseOver(form->First);
    platform::AdvanceClock(Application->HintPause());
    ASSERT_TRUE(Application->HintActive());
    platform::TapKey(VK_SHIFT);
    Pump();
    ExpectNoHintPending();

    MouseOver(form->Second);
    ASSERT_TRUE(Application->HintTimerActive());
    platform::AdvanceClock(1000);
    platform::ClickAt(form->Second->Handle(), {4, 4});
    Pump();
    EXPECT_EQ(Application->HintControl(), nullptr);
    EXPECT_EQ(form->log.back(), "click Second");
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
    MouseOver(form->Second);
    ASSERT_EQ(Application->HintControl(), form->Second);
    delete form->Second;
    ExpectNoHintPending();

    MouseOver(form->First);
    ASSERT_TRUE(Application->HintTimerActive());
    Application->SetShowHint(false);
    ExpectNoHintPending();
    platform::AdvanceClock(5000);
    EXPECT_TRUE(log.shown.empty());
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
