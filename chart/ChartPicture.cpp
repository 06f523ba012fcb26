#include "ChartPicture.h"

#include "TForm1.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "stdctrls/TComboBox.h"

#include <platform/UserTesting.h>

namespace velbrin::chart {

namespace {

void HandleWaitingMessages() {
    while (Application->TryProcessOne() && !Application->Terminated()) {
    }
}

bool ChooseKey(int key) {
    // The key list has the focus when the window opens, with no key chosen:
    // each Down steps to the next key from the first.
    for (int step = 0; step <= key; ++step) {
        platform::TapKey(VK_DOWN);
        HandleWaitingMessages();
    }
    return Form1->ComboBox1 != nullptr && Form1->ComboBox1->ItemIndex() == key;
}

} // namespace

bool ChartWindowPicturesAvailable() {
    return true;
}

bool SaveChartWindowPicture(int key, const std::string& path) {
    platform::UseHeadlessScreen(kPictureScreenWidth, kPictureScreenHeight, kPicturePixelsPerInch);
    bool saved = false;
    {
        FormsLibrarySession library;
        Application->Initialize();
        Application->MakeForm(Form1);
        Form1->Show();
        HandleWaitingMessages();
        saved = ChooseKey(key) &&
                platform::SaveWindowPng(Form1->Handle(), platform::WindowArea::WithFrame, path);
    }
    Form1 = nullptr;
    return saved;
}

} // namespace velbrin::chart
