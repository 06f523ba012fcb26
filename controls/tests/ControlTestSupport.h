#pragma once
// A form-like top-level control, a windowed child and a painted non-windowed
// child for the control tests, and a fixture on a fresh headless screen.

#include "controls/TWinControl.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velbrin::testing {

class TTestForm : public TWinControl {
    VELBRIN_CLASS(TTestForm, TWinControl)

public:
    explicit TTestForm(TComponent* owner);
    bool IsFormRoot() const override { return true; }
    void PrepareWindowSpec(TCreateParams& params) override;
};

class TTestPanel : public TWinControl {
    VELBRIN_CLASS(TTestPanel, TWinControl)

public:
    explicit TTestPanel(TComponent* owner);

    // Notification codes of the reflected WM_COMMAND, and the numbers of
    // the other reflected notifications.
    std::vector<UINT> reflected;
    std::vector<UINT> reflectedNotices;
    LRESULT reflectedResult = 0;
    bool failShowing = false;
    // Dialog keys it was offered, and its answer; whether it keeps arrows.
    std::vector<WPARAM> dialogKeys;
    LRESULT dialogKeyAnswer = 0;
    bool keepsArrows = false;

private:
    void CNCommand(TMessage& message);
    void CNNotice(TMessage& message);
    void CMDialogKey(TMessage& message);
    void CMWantSpecialKey(TMessage& message);
    void CMShowingChanged(TMessage& message);
};

// Paints its whole area in `fill`.
class TTestGraphic : public TControl {
    VELBRIN_CLASS(TTestGraphic, TControl)

public:
    explicit TTestGraphic(TComponent* owner) : TControl(owner) {}

    COLORREF fill = RGB(200, 0, 0);
    int paints = 0;

private:
    void WMPaint(TMessage& message);
};

// Records the events it is bound to, one line each.
class TEventLog : public TObject {
    VELBRIN_CLASS(TEventLog, TObject)

public:
    void MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void Clicked(TObject* sender);
    void KeyDown(TObject* sender, WORD& key, TShiftState shift);
    void KeyPress(TObject* sender, char& key);
    void Watch(TControl& control);

    std::vector<std::string> lines;
    bool swallowKeys = false;
};

// Counts the messages that pass a control's MessageRouter.
class TMessageCounter : public TObject {
    VELBRIN_CLASS(TMessageCounter, TObject)

public:
    explicit TMessageCounter(TControl& control);
    // Gives the control its own procedure back.
    ~TMessageCounter() override;
    void Route(TMessage& message);

    TControl& control;
    std::vector<UINT> seen;
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown form at (20, 20) with a 300 x 200 outer size.
    TTestForm* MakeShownForm();
    // Whether part of the window waits to be painted.
    static bool HasUpdate(HWND window);

    TTestForm* form = nullptr;
    std::vector<std::string> reported;
};

} // namespace velbrin::testing
