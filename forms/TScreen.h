#pragma once
// The screen: its resolution and size, every form (the most recently focused
// first), the active form and control, the cursors, the installed font faces
// and input methods.

#include "controls/Controls.h"
#include "core/TComponent.h"

#include <windows.h>

#include <string>
#include <vector>

namespace velbrin {

class TForm;
class TList;
class TStringList;
class TWinControl;

inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -5;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;

class TScreen : public TComponent {
    VELBRIN_CLASS(TScreen, TComponent)

public:
    explicit TScreen(TComponent* owner);
    ~TScreen() override;

    int FormCount() const;
    TForm* Forms(int index) const;
    void AddForm(TForm* form);
    // The last form to go takes the hint window's window with it.
    void RemoveForm(TForm* form);
    // Moves `form` to the front of Forms.
    void BringFormToFront(TForm* form);

    TForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    TForm* FocusedForm() const { return focusedForm_; }
    void SetFocusedForm(TForm* form) { focusedForm_ = form; }
    // What a form records when one of its controls takes the focus.
    void NoteActive(TForm* form, TWinControl* control);
    // Fires the change events for what changed since the last call.
    void AnnounceChanges();
    // Forgets `control` wherever the screen remembers it.
    void ControlFreed(TWinControl* control);

    int PixelsPerInch() const { return pixelsPerInch_; }
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // The cursor shown over every control while it is not crDefault.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    // 0 for crNone, the listed cursor, else DefaultCursor.
    HCURSOR Cursors(TCursor id) const;
    // Adds or replaces the cursor of `id` (above 0 for the program's own).
    void SetCursors(TCursor id, HCURSOR cursor);
    HCURSOR DefaultCursor() const { return defaultCursor_; }
    // The installed font families, sorted; listed when first asked for, as
    // a start that never asks need not pay for it.
    TStringList* Fonts();
    TStringList* Imes() const { return imes_; }
    const std::string& DefaultIme() const { return defaultIme_; }
    HKL DefaultKbLayout() const { return defaultKbLayout_; }

    // The form among Forms named `name` (ASCII letter case ignored).
    TComponent* FindRoot(std::string_view name) const;

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

private:
    struct CursorEntry {
        TCursor id;
        HCURSOR handle;
    };

    void LoadCursors();
    void LoadFonts();
    void LoadInputMethods();
    static bool LoadedHere(TCursor id);

    TStringList* fonts_;
    bool fontsLoaded_ = false;
    TStringList* imes_;
    std::string defaultIme_;
    HKL defaultKbLayout_ = nullptr;
    int pixelsPerInch_ = 0;
    TCursor cursor_ = crDefault;
    TList* forms_;
    std::vector<CursorEntry> cursors_;
    HCURSOR defaultCursor_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TForm* activeForm_ = nullptr;
    TWinControl* lastActiveControl_ = nullptr;
    TForm* lastActiveForm_ = nullptr;
    TForm* focusedForm_ = nullptr;
};

} // namespace velbrin
