#pragma once
// A fixture for the tests of anything built on the forms library: every test
// starts on a fresh headless screen with the library started, and ends with
// every window gone and no message box left waiting.

#include "controls/TWinControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TScreen.h"
#include "graphics/Graphics.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

namespace velbrin::testing {

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { StartAt(96); }
    void TearDown() override {
        // The handlers a test gave the screen live on the test's stack.
        if (Screen != nullptr) {
            Screen->OnActiveControlChange = {};
            Screen->OnActiveFormChange = {};
        }
        EndFormsLibrary();
        EXPECT_EQ(platform::CountLiveWindows(), 0u);
        EXPECT_FALSE(platform::MessageBoxOpen());
    }

    // A fresh platform whose screen has `pixelsPerInch` (and `screenSize`),
    // and the library.
    static void StartAt(int pixelsPerInch, SIZE screenSize = {800, 600}) {
        EndFormsLibrary();
        platform::ResetForTesting();
        platform::UseHeadlessScreen(screenSize.cx, screenSize.cy, pixelsPerInch);
        platform::SetScreenPixelsPerInch(pixelsPerInch);
        RestartGraphicsForTesting();
        ResetControlsForTesting();
        StartFormsLibrary();
    }
    // Handles what waits through the application's own message step.
    static void Pump() {
        while (Application->TryProcessOne() && !Application->Terminated()) {
        }
    }
};

} // namespace velbrin::testing
