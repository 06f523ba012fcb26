#include "FormsTestSupport.h"

#include "controls/TControlCanvas.h"
#include "core/ClassTables.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TScreen.h"
#include "graphics/Graphics.h"
#include "graphics/TBrush.h"
#include "graphics/TPen.h"
#include "runtime/Exceptions.h"

namespace velbrin::testing {

VELBRIN_DEFINE_CLASS_TABLES(TTestBox, TCustomControl, "FormsTests") {
    cls.Property("Color", ColorType, Call<&TControl::Color>, Call<&TControl::SetColor>);
    cls.Property("TabOrder", Call<&TWinControl::TabOrder>, Call<&TWinControl::SetTabOrder>);
    cls.Property("TabStop", Call<&TWinControl::TabStop>, Call<&TWinControl::SetTabStop>);
    cls.Property("OnClick", Field<&TControl::OnClick>, Field<&TControl::OnClick>);
    cls.Handle<CM_ENTER, &TTestBox::CMEnter>();
    cls.Handle<CM_EXIT, &TTestBox::CMExit>();
    cls.Handle<CM_CANCEL_MODE, &TTestBox::CMCancelMode>();
}

void TTestBox::CMCancelMode(TMessage& message) {
    cancelModeSenders.push_back(reinterpret_cast<TControl*>(message.LParam));
}

TTestBox::TTestBox(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
}

void TTestBox::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    const RECT whole{0, 0, Width(), Height()};
    canvas->FillRect(whole);
    if (Focused()) {
        canvas->Brush()->SetColor(clWhite);
        canvas->FillRect(RECT{0, 0, Width(), 2});
    }
}

void TTestBox::CMEnter(TMessage& message) {
    ++enters;
    Invalidate();
    Inherited(message);
}

void TTestBox::CMExit(TMessage& message) {
    ++exits;
    Invalidate();
    Inherited(message);
}

VELBRIN_DEFINE_CLASS(TTestShape, TGraphicControl, "FormsTests")

void TTestShape::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(static_cast<TColor>(kShapeBand));
    canvas->FillRect(RECT{0, Height() / 3, Width(), 2 * Height() / 3});
}

VELBRIN_DEFINE_CLASS_TABLES(TTestMainForm, TForm, "FormsTests") {
    cls.Field<&TTestMainForm::First>("First");
    cls.Field<&TTestMainForm::Second>("Second");
    cls.Field<&TTestMainForm::Skipped>("Skipped");
    cls.Field<&TTestMainForm::Shape>("Shape");
    cls.Method<&TTestMainForm::FormCreate>("FormCreate");
    cls.Method<&TTestMainForm::FormClose>("FormClose");
    cls.Method<&TTestMainForm::FormCloseQuery>("FormCloseQuery");
    cls.Method<&TTestMainForm::FormShow>("FormShow");
    cls.Method<&TTestMainForm::FormDestroy>("FormDestroy");
    cls.Method<&TTestMainForm::BoxClick>("BoxClick");
    cls.Handle<WM_SYSCOMMAND, &TTestMainForm::WMSysCommand>();
}

void TTestMainForm::WMSysCommand(TMessage& message) {
    if (onSysCommand) {
        onSysCommand(message.WParam);
    }
    Inherited(message);
}

void TTestMainForm::FormCreate(TObject*) {
    log.push_back("create");
    if (onCreate) {
        onCreate();
    }
}

void TTestMainForm::FormClose(TObject*, TCloseAction& action) {
    log.push_back("close");
    action = closeAction;
}

void TTestMainForm::FormCloseQuery(TObject*, bool& canClose) {
    log.push_back("query");
    canClose = allowClose;
}

void TTestMainForm::FormShow(TObject*) {
    log.push_back("show");
    if (onShow) {
        onShow();
    }
}

void TTestMainForm::FormDestroy(TObject*) {
    log.push_back("destroy");
    if (onDestroy) {
        onDestroy();
    }
}

void TTestMainForm::BoxClick(TObject* sender) {
    log.push_back("click " + static_cast<TComponent*>(sender)->Name());
    if (onClick) {
        onClick();
    }
}

VELBRIN_DEFINE_CLASS_TABLES(TTestVisibleForm, TForm, "FormsTests") {
    cls.Method<&TTestVisibleForm::FormCreate>("FormCreate");
}

void TTestVisibleForm::FormCreate(TObject*) {
    visibleDuringCreate = Visible();
    windowVisibleDuringCreate = HasWindow() && IsWindowVisible(Handle());
}

VELBRIN_DEFINE_CLASS_TABLES(TTestUnscaledForm, TForm, "FormsTests") {
    cls.Field<&TTestUnscaledForm::Box>("Box");
}

VELBRIN_DEFINE_CLASS(TTestClientForm, TForm, "FormsTests")
VELBRIN_DEFINE_CLASS(TTestMissingForm, TForm, "FormsTests")

void FormsTest::AnswerNextBox() {
    platform::QueueUserAction([this] {
        boxTexts.push_back(platform::MessageBoxText());
        boxCaptions.push_back(platform::MessageBoxCaption());
        platform::AnswerMessageBox(IDOK);
    });
}

HWND FormsTest::ForeignWindow(int x, int y) {
    WNDCLASSA plain{};
    plain.lpfnWndProc = &DefWindowProcA;
    plain.lpszClassName = "OtherProgram";
    RegisterClassA(&plain);
    return CreateWindowExA(0, "OtherProgram", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 100, 100,
                           nullptr, nullptr, nullptr, nullptr);
}

TTestMainForm* FormsTest::ShowMainForm() {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    form->Show();
    Pump();
    return form;
}

} // namespace velbrin::testing
