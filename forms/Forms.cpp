#include "Forms.h"

#include "TApplication.h"
#include "TForm.h"
#include "TScreen.h"
#include "controls/TWinControl.h"
#include "core/TReader.h"
#include "core/TStringList.h"
#include "runtime/Halt.h"

namespace velbrin {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

TComponent* FindFormByName(std::string_view name) {
    return Screen != nullptr ? Screen->FindRoot(name) : nullptr;
}

void ReportThroughApplication(TWinControl* control, std::exception_ptr error) {
    if (Application != nullptr) {
        Application->ReportException(control, error);
    }
}

void ReportMouseMove(TControl* control, const TMessage& message) {
    if (Application != nullptr) {
        Application->HintMouseActivity(control, message);
    }
}

void ForgetFreedControl(TControl* control) {
    if (Application != nullptr) {
        Application->ForgetControl(control);
    }
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && Screen) {
        Screen->ControlFreed(windowed);
    }
    for (TWinControl* parent = control->Parent(); parent != nullptr; parent = parent->Parent()) {
        if (auto* form = dynamic_cast<TForm*>(parent)) {
            form->ForgetControl(control);
        }
    }
}

TControlEnvironment ScreenAndApplication() {
    TControlEnvironment environment;
    environment.ScreenCursor = [] { return Screen != nullptr ? Screen->Cursor() : crDefault; };
    environment.CursorHandle = [](TCursor cursor) {
        return Screen != nullptr ? Screen->Cursors(cursor) : LoadCursorA(nullptr, IDC_ARROW);
    };
    environment.ApplicationWindow = [] {
        return Application != nullptr ? Application->Handle() : HWND{nullptr};
    };
    environment.MainForm = []() -> TWinControl* {
        return Application != nullptr ? Application->MainForm() : nullptr;
    };
    environment.DefaultIme = [] {
        return Screen != nullptr ? Screen->DefaultIme() : std::string();
    };
    environment.DefaultKeyboardLayout = [] {
        return Screen != nullptr ? Screen->DefaultKbLayout() : HKL{nullptr};
    };
    environment.ImeLayout = [](const std::string& name) {
        const int index = Screen != nullptr ? Screen->Imes()->IndexOf(name) : -1;
        return index >= 0 ? reinterpret_cast<HKL>(Screen->Imes()->Objects(index)) : HKL{nullptr};
    };
    return environment;
}

} // namespace

void StartFormsLibrary() {
    if (Application != nullptr) {
        return;
    }
    Screen = new TScreen(nullptr);
    try {
        Application = new TApplication(nullptr);
    } catch (...) {
        delete Screen;
        Screen = nullptr;
        throw;
    }
    Application->SetShowHint(true);
    SetExceptionReporter(&ReportThroughApplication);
    SetMouseMoveHook(&ReportMouseMove);
    SetControlFreedHook(&ForgetFreedControl);
    SetControlEnvironment(ScreenAndApplication());
    SetRootLookupHook(&FindFormByName);
    AddExitProcedure(&EndFormsLibrary);
}

void EndFormsLibrary() {
    if (Application == nullptr) {
        return;
    }
    RemoveExitProcedure(&EndFormsLibrary);
    SetRootLookupHook(nullptr);
    SetMouseMoveHook(nullptr);
    SetControlFreedHook(nullptr);
    SetControlEnvironment({});
    if (Application->Handle() != nullptr) {
        ShowOwnedPopups(Application->Handle(), FALSE);
    }
    Application->MarkDestroying();
    Application->FreeForms();
    delete Application;
    Application = nullptr;
    SetExceptionReporter(nullptr);
    delete Screen;
    Screen = nullptr;
    ReleaseControlAtoms();
}

} // namespace velbrin
