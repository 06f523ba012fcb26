// The chart window: a label "Key", the key selector and the 12 x 12 grid of
// the notes the harmonica gives in the chosen key.
//
//     notesview
//
// opens the window on the desktop (on Linux, the X display of DISPLAY) and
// runs until it is closed.

#include "TForm1.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "runtime/Exceptions.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
    using namespace velbrin;
    if (GetSystemMetrics(SM_CMONITORS) == 0) {
        // Where a display was named but cannot be used, the platform has
        // already said why.
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "notesview: %s; notechart prints the chart as text\n",
                     display != nullptr && *display != '\0'
                         ? "no window can be shown"
                         : "cannot open the X display (DISPLAY is not set)");
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
