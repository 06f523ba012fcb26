#pragma once
// The library's two singletons and their lifetime: the screen is made first,
// then the application; at the end the forms go, then the application and
// the screen, and the window-property atoms are given back.

namespace velbrin {

class TApplication;
class TScreen;

extern TApplication* Application;
extern TScreen* Screen;

// Creates Screen, then Application, installs the exception display into the
// windowed controls' message entry and the reader's lookup of root
// components. Does nothing when already started.
void StartFormsLibrary();
// Frees the forms, then Application and Screen, and removes the hooks.
void EndFormsLibrary();

// Starts the library for as long as it lives; the program's entry and the
// tests hold one.
class FormsLibrarySession {
public:
    FormsLibrarySession() { StartFormsLibrary(); }
    ~FormsLibrarySession() { EndFormsLibrary(); }
    FormsLibrarySession(const FormsLibrarySession&) = delete;
    FormsLibrarySession& operator=(const FormsLibrarySession&) = delete;
};

} // namespace velbrin
