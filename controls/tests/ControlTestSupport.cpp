#include "ControlTestSupport.h"

#include "runtime/Exceptions.h"

namespace velbrin::testing {

VELBRIN_DEFINE_CLASS(TTestForm, TWinControl, "ControlTests")

TTestForm::TTestForm(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
}

void TTestForm::PrepareWindowSpec(TCreateParams& params) {
    TWinControl::PrepareWindowSpec(params);
    params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    params.WindowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
}

VELBRIN_DEFINE_CLASS_TABLES(TTestPanel, TWinControl, "ControlTests") {
    cls.Property("TabOrder", Call<&TWinControl::TabOrder>, Call<&TWinControl::SetTabOrder>);
    cls.Handle<CN_COMMAND, &TTestPanel::CNCommand>();
    cls.Handle<CN_NOTIFY, &TTestPanel::CNNotice>();
    cls.Handle<CN_DRAWITEM, &TTestPanel::CNNotice>();
    cls.Handle<CN_MEASUREITEM, &TTestPanel::CNNotice>();
    cls.Handle<CN_COMPAREITEM, &TTestPanel::CNNotice>();
    cls.Handle<CN_DELETEITEM, &TTestPanel::CNNotice>();
    cls.Handle<CM_DIALOG_KEY, &TTestPanel::CMDialogKey>();
    cls.Handle<CM_WANT_SPECIAL_KEY, &TTestPanel::CMWantSpecialKey>();
    cls.Handle<CM_SHOWING_CHANGED, &TTestPanel::CMShowingChanged>();
}

TTestPanel::TTestPanel(TComponent* owner) : TWinControl(owner) {
    SetBounds(10, 10, 50, 30);
}

void TTestPanel::CNCommand(TMessage& message) {
    reflected.push_back(HIWORD(message.WParam));
    message.Result = reflectedResult;
}

void TTestPanel::CNNotice(TMessage& message) {
    reflectedNotices.push_back(message.Msg);
    message.Result = reflectedResult;
}

void TTestPanel::CMDialogKey(TMessage& message) {
    dialogKeys.push_back(message.WParam);
    message.Result = dialogKeyAnswer;
}

void TTestPanel::CMWantSpecialKey(TMessage& message) {
    message.Result = keepsArrows && message.WParam >= VK_LEFT && message.WParam <= VK_DOWN;
}

void TTestPanel::CMShowingChanged(TMessage& message) {
    if (failShowing) {
        throw EInvalidOperation("showing refused");
    }
    Inherited(message);
}

VELBRIN_DEFINE_CLASS_TABLES(TTestGraphic, TControl, "ControlTests") {
    cls.Handle<WM_PAINT, &TTestGraphic::WMPaint>();
}

void TTestGraphic::WMPaint(TMessage& message) {
    ++paints;
    HBRUSH brush = CreateSolidBrush(fill);
    const RECT area{0, 0, Width(), Height()};
    FillRect(reinterpret_cast<HDC>(message.WParam), &area, brush);
    DeleteObject(brush);
}

VELBRIN_DEFINE_CLASS(TEventLog, TObject, "ControlTests")

namespace {
std::string ShiftText(TShiftState shift) {
    return (shift & ssDouble) != 0 ? " double" : "";
}
} // namespace

void TEventLog::MouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    lines.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," +
                    std::to_string(y) + ShiftText(shift));
}

void TEventLog::MouseUp(TObject*, TMouseButton button, TShiftState, int x, int y) {
    lines.push_back("up " + std::to_string(button) + " " + std::to_string(x) + "," +
                    std::to_string(y));
}

void TEventLog::Clicked(TObject*) {
    lines.push_back("click");
}

void TEventLog::KeyDown(TObject*, WORD& key, TShiftState) {
    lines.push_back("keydown " + std::to_string(key));
    if (swallowKeys) {
        key = 0;
    }
}

void TEventLog::KeyPress(TObject*, char& key) {
    lines.push_back(std::string("char ") + key);
}

void TEventLog::Watch(TControl& control) {
    control.OnMouseDown = TMouseEvent::Of<&TEventLog::MouseDown>(this);
    control.OnMouseUp = TMouseEvent::Of<&TEventLog::MouseUp>(this);
    control.OnClick = TNotifyEvent::Of<&TEventLog::Clicked>(this);
    if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
        windowed->OnKeyDown = TKeyEvent::Of<&TEventLog::KeyDown>(this);
        windowed->OnKeyPress = TKeyPressEvent::Of<&TEventLog::KeyPress>(this);
    }
}

VELBRIN_DEFINE_CLASS(TMessageCounter, TObject, "ControlTests")

TMessageCounter::TMessageCounter(TControl& watched) : control(watched) {
    control.MessageRouter = TWndMethod::Of<&TMessageCounter::Route>(this);
}

TMessageCounter::~TMessageCounter() {
    control.MessageRouter = TWndMethod::Of<&TControl::HandleWindowMessage>(&control);
}

void TMessageCounter::Route(TMessage& message) {
    seen.push_back(message.Msg);
    control.HandleWindowMessage(message);
}

void ControlTest::SetUp() {
    platform::ResetForTesting();
    platform::UseHeadlessScreen(800, 600, 96);
    ResetControlsForTesting();
    SetExceptionReporter([this](TWinControl*, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            reported.push_back(e.what());
        }
    });
}

void ControlTest::TearDown() {
    delete form;
    SetExceptionReporter(nullptr);
    EXPECT_EQ(platform::CountLiveWindows(), 0u);
}

TTestForm* ControlTest::MakeShownForm() {
    form = new TTestForm(nullptr);
    form->SetBounds(20, 20, 300, 200);
    form->RefreshShowing();
    platform::RunUntilIdle();
    return form;
}

bool ControlTest::HasUpdate(HWND window) {
    RECT update{};
    return GetUpdateRect(window, &update, FALSE) != FALSE;
}

} // namespace velbrin::testing
