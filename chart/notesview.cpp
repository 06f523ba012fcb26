// The chart window: a label "Key", the key selector and the 12 x 12 grid of
// the notes the harmonica gives in the chosen key.
//
//     notesview
//
// opens the window on the X display of DISPLAY and runs until it is closed.

#include "TForm1.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "runtime/Exceptions.h"

#include <platform/Screen.h>

#include <cstdio>
#include <string>

int main() {
    using namespace velbrin;
    std::string whyNot;
    if (!platform::UseX11Screen(nullptr, &whyNot)) {
        std::fprintf(stderr, "notesview: %s; notechart prints the chart as text\n", whyNot.c_str());
        return 1;
    }
    StartFormsLibrary();
    try {
        Application->Initialize();
        Application->MakeForm(Form1);
        Application->Run();
    } catch (const Exception& error) {
        Application->DisplayException(error);
    }
    EndFormsLibrary();
    return 0;
}
