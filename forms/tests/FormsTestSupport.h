#pragma once
// The tests' own controls and forms, read from the form resources of this
// test program, and a fixture that starts the platform and the library
// afresh for every test.

#include "controls/TCustomControl.h"
#include "controls/TGraphicControl.h"
#include "forms/TForm.h"
#include "forms/tests/LibraryTest.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velbrin::testing {

// A focusable windowed control that paints itself in its colour, with a
// white frame while it has the focus.
class TTestBox : public TCustomControl {
    VELBRIN_CLASS(TTestBox, TCustomControl)

public:
    explicit TTestBox(TComponent* owner);
    void Paint() override;

    int enters = 0;
    int exits = 0;
    // The controls whose cancel-mode notices it received.
    std::vector<TControl*> cancelModeSenders;

private:
    void CMCancelMode(TMessage& message);
    void CMEnter(TMessage& message);
    void CMExit(TMessage& message);
};

// A non-windowed control that paints a green band across its middle.
class TTestShape : public TGraphicControl {
    VELBRIN_CLASS(TTestShape, TGraphicControl)

public:
    explicit TTestShape(TComponent* owner) : TGraphicControl(owner) {}
    void Paint() override;
};

inline constexpr COLORREF kShapeBand = RGB(0, 160, 0);

class TTestMainForm : public TForm {
    VELBRIN_CLASS(TTestMainForm, TForm)

public:
    explicit TTestMainForm(TComponent* owner) : TForm(owner) {}

    TTestBox* First = nullptr;
    TTestBox* Second = nullptr;
    TTestBox* Skipped = nullptr;
    TTestShape* Shape = nullptr;

    // What the handlers saw and what they are to do.
    std::vector<std::string> log;
    TCloseAction closeAction = caHide;
    bool allowClose = true;
    std::function<void()> onClick;
    std::function<void()> onCreate;
    std::function<void()> onShow;
    std::function<void()> onDestroy;
    std::function<void(WPARAM command)> onSysCommand;

private:
    void WMSysCommand(TMessage& message);
    void FormCreate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormShow(TObject* sender);
    void FormDestroy(TObject* sender);
    void BoxClick(TObject* sender);
};

class TTestVisibleForm : public TForm {
    VELBRIN_CLASS(TTestVisibleForm, TForm)

public:
    explicit TTestVisibleForm(TComponent* owner) : TForm(owner) {}
    bool visibleDuringCreate = true;
    bool windowVisibleDuringCreate = true;

private:
    void FormCreate(TObject* sender);
};

class TTestUnscaledForm : public TForm {
    VELBRIN_CLASS(TTestUnscaledForm, TForm)

public:
    explicit TTestUnscaledForm(TComponent* owner) : TForm(owner) {}
    TTestBox* Box = nullptr;
};

class TTestClientForm : public TForm {
    VELBRIN_CLASS(TTestClientForm, TForm)

public:
    explicit TTestClientForm(TComponent* owner) : TForm(owner) {}
};

// A form class whose resource this program does not have.
class TTestMissingForm : public TForm {
    VELBRIN_CLASS(TTestMissingForm, TForm)

public:
    explicit TTestMissingForm(TComponent* owner) : TForm(owner) {}
};

class FormsTest : public LibraryTest {
protected:
    // The next message box is answered OK; its text and caption are kept.
    void AnswerNextBox();
    // Makes the main form and shows it, activated.
    TTestMainForm* ShowMainForm();
    // A visible top-level window of another program, at (x, y), 100 x 100.
    static HWND ForeignWindow(int x, int y);

    std::vector<std::string> boxTexts;
    std::vector<std::string> boxCaptions;
};

} // namespace velbrin::testing
