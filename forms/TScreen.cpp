#include "TScreen.h"

#include "Forms.h"
#include "TApplication.h"
#include "TForm.h"
#include "controls/SystemCallback.h"
#include "controls/THintWindow.h"
#include "core/TList.h"
#include "core/TStringList.h"
#include "runtime/Text.h"

#include <cstdio>
#include <cstring>

namespace velbrin {

namespace {

constexpr DWORD kKeyAllAccess = 0xF003F;
constexpr int kMaxLayouts = 64;

struct CursorSource {
    TCursor id;
    LPCSTR systemName;
    WORD resourceId;
};

// The system's cursors and the program's own, as the screen loads them.
const CursorSource kCursorSources[] = {
    {crArrow, IDC_ARROW, 0},
    {crCross, IDC_CROSS, 0},
    {crIBeam, IDC_IBEAM, 0},
    {crSize, IDC_ARROW, 0},
    {crSizeNESW, IDC_SIZENESW, 0},
    {crSizeNS, IDC_SIZENS, 0},
    {crSizeNWSE, IDC_SIZENWSE, 0},
    {crSizeWE, IDC_SIZEWE, 0},
    {crUpArrow, IDC_UPARROW, 0},
    {crHourGlass, IDC_WAIT, 0},
    {crDrag, nullptr, 32766},
    {crNoDrop, nullptr, 32767},
    {crHSplit, nullptr, 32765},
    {crVSplit, nullptr, 32764},
    {crMultiDrag, nullptr, 32763},
    {crSQLWait, nullptr, 32762},
    {crNo, IDC_NO, 0},
    {crAppStart, IDC_APPSTARTING, 0},
    {crHelp, IDC_HELP, 0},
};

int CALLBACK AddFontFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    return GuardedCallback(0, [&] {
        char face[LF_FACESIZE + 1] = {};
        std::memcpy(face, font->lfFaceName, LF_FACESIZE);
        reinterpret_cast<TStringList*>(data)->Add(face);
        return 1;
    });
}

TStringList* NewSortedList() {
    auto* list = new TStringList;
    list->SetSorted(true);
    list->SetDuplicates(DupKeepExisting);
    return list;
}

// An input method as the list's object: the layout handle itself.
TObject* LayoutAsObject(HKL layout) {
    return reinterpret_cast<TObject*>(layout);
}

} // namespace

VELBRIN_DEFINE_CLASS(TScreen, TComponent, "Forms")

TScreen::TScreen(TComponent* owner)
    : TComponent(owner), fonts_(NewSortedList()), imes_(NewSortedList()), forms_(new TList) {
    LoadCursors();
    LoadInputMethods();
    HDC dc = GetDC(nullptr);
    pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
}

TScreen::~TScreen() {
    for (const CursorEntry& entry : cursors_) {
        if (LoadedHere(entry.id)) {
            DestroyCursor(entry.handle);
        }
    }
    if (defaultCursor_ != LoadCursorA(nullptr, IDC_ARROW)) {
        DestroyCursor(defaultCursor_);
    }
    delete forms_;
    delete imes_;
    delete fonts_;
}

bool TScreen::LoadedHere(TCursor id) {
    return id > 0 || (id <= crDrag && id >= crSQLWait);
}

void TScreen::LoadCursors() {
    defaultCursor_ = LoadCursorA(nullptr, IDC_ARROW);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const CursorSource& source : kCursorSources) {
        HCURSOR cursor = source.systemName != nullptr
                             ? LoadCursorA(nullptr, source.systemName)
                             : LoadCursorA(instance, MAKEINTRESOURCEA(source.resourceId));
        cursors_.push_back({source.id, cursor});
    }
}

TStringList* TScreen::Fonts() {
    if (!fontsLoaded_) {
        fontsLoaded_ = true;
        LoadFonts();
    }
    return fonts_;
}

void TScreen::LoadFonts() {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, &AddFontFace, reinterpret_cast<LPARAM>(fonts_), 0);
    ReleaseDC(nullptr, dc);
}

void TScreen::LoadInputMethods() {
    defaultKbLayout_ = GetKeyboardLayout(0);
    if (GetSystemMetrics(SM_DBCSENABLED) == 0) {
        return;
    }
    HMODULE imm = LoadLibraryA("IMM32.DLL");
    if (imm == nullptr) {
        return;
    }
    using ImmIsImeProc = BOOL(WINAPI*)(HKL);
    // Through the generic function type, as entry points found by name are.
    auto isIme = reinterpret_cast<ImmIsImeProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmIsIME")));
    HKL layouts[kMaxLayouts] = {};
    const int count = isIme != nullptr ? GetKeyboardLayoutList(kMaxLayouts, layouts) : 0;
    for (int i = 0; i < count; ++i) {
        if (isIme(layouts[i]) == FALSE) {
            continue;
        }
        char keyName[80];
        std::snprintf(keyName, sizeof keyName,
                      "System\\CurrentControlSet\\Control\\Keyboard Layouts\\%.8x",
                      static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(layouts[i])));
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, kKeyAllAccess, &key) != ERROR_SUCCESS) {
            continue;
        }
        BYTE text[257] = {};
        DWORD size = 256;
        if (RegQueryValueExA(key, "layout text", nullptr, nullptr, text, &size) == ERROR_SUCCESS) {
            const std::string name(reinterpret_cast<const char*>(text));
            imes_->AddObject(name, LayoutAsObject(layouts[i]));
            if (layouts[i] == defaultKbLayout_) {
                defaultIme_ = name;
            }
        }
        RegCloseKey(key);
    }
    FreeLibrary(imm);
}

// The new cursor shows at once; back at crDefault, the window under the
// mouse chooses its own again.
void TScreen::SetCursor(TCursor value) {
    if (value == cursor_) {
        return;
    }
    cursor_ = value;
    if (value != crDefault) {
        ::SetCursor(Cursors(value));
        return;
    }
    RefreshCursorUnderMouse();
}

HCURSOR TScreen::Cursors(TCursor id) const {
    if (id == crNone) {
        return nullptr;
    }
    for (const CursorEntry& entry : cursors_) {
        if (entry.id == id) {
            return entry.handle;
        }
    }
    return defaultCursor_;
}

void TScreen::SetCursors(TCursor id, HCURSOR cursor) {
    if (id == crDefault) {
        if (defaultCursor_ != LoadCursorA(nullptr, IDC_ARROW)) {
            DestroyCursor(defaultCursor_);
        }
        defaultCursor_ = cursor != nullptr ? cursor : LoadCursorA(nullptr, IDC_ARROW);
        return;
    }
    for (CursorEntry& entry : cursors_) {
        if (entry.id == id) {
            if (LoadedHere(id)) {
                DestroyCursor(entry.handle);
            }
            entry.handle = cursor;
            return;
        }
    }
    cursors_.push_back({id, cursor});
}

// ---------------------------------------------------------------- forms

int TScreen::FormCount() const {
    return forms_->Count();
}

TForm* TScreen::Forms(int index) const {
    return static_cast<TForm*>(forms_->Get(index));
}

void TScreen::AddForm(TForm* form) {
    forms_->Add(form);
}

void TScreen::RemoveForm(TForm* form) {
    forms_->Remove(form);
    // With no form left nothing can need a hint, and the hint window's
    // window is not left behind them.
    if (forms_->Count() == 0 && Application != nullptr && Application->HintWindow() != nullptr) {
        Application->HintWindow()->DropWindow();
    }
    // The active control is always one of the active form's. Those told of
    // the active form and control hear that they are gone.
    const bool wasActive = activeForm_ == form;
    if (wasActive) {
        activeControl_ = nullptr;
        lastActiveControl_ = nullptr;
    }
    for (TForm** field : {&activeForm_, &lastActiveForm_, &focusedForm_}) {
        if (*field == form) {
            *field = nullptr;
        }
    }
    if (wasActive) {
        OnActiveControlChange(this);
        OnActiveFormChange(this);
    }
}

void TScreen::BringFormToFront(TForm* form) {
    const int index = forms_->IndexOf(form);
    if (index > 0) {
        forms_->Delete(index);
        forms_->Insert(0, form);
    }
}

void TScreen::NoteActive(TForm* form, TWinControl* control) {
    activeControl_ = control;
    activeForm_ = form;
    BringFormToFront(form);
}

void TScreen::AnnounceChanges() {
    if (activeControl_ != lastActiveControl_) {
        lastActiveControl_ = activeControl_;
        OnActiveControlChange(this);
    }
    if (activeForm_ != lastActiveForm_) {
        lastActiveForm_ = activeForm_;
        OnActiveFormChange(this);
    }
}

void TScreen::ControlFreed(TWinControl* control) {
    const bool wasActive = activeControl_ == control;
    for (TWinControl** field : {&activeControl_, &lastActiveControl_}) {
        if (*field == control) {
            *field = nullptr;
        }
    }
    if (wasActive) {
        OnActiveControlChange(this);
    }
}

TComponent* TScreen::FindRoot(std::string_view name) const {
    for (int i = 0; i < FormCount(); ++i) {
        TForm* form = Forms(i);
        if (AsciiCompareNoCase(form->Name(), name) == 0) {
            return form;
        }
    }
    return nullptr;
}

} // namespace velbrin
