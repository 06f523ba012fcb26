// A windowed control: the binding of its window to the control, the
// library-wide hooks (exception reporting, the environment the forms
// give), the class's tables, construction and destruction. The rest of
// the class lives in the TWinControl*.cpp files named for their concern.

#include "TWinControl.h"

#include "SystemCallback.h"
#include "WinControlInternals.h"
#include "graphics/TBrush.h"
#include "runtime/Messages.h"

#include <cstdio>

namespace velbrin {

using namespace wincontrolinternals;

namespace {

ControlAtoms atoms;

std::string HexName(const char* prefix, std::initializer_list<std::uint32_t> values) {
    std::string name = prefix;
    for (std::uint32_t value : values) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%.8X", value);
        name += digits;
    }
    return name;
}

TExceptionReporter& Reporter() {
    static TExceptionReporter reporter;
    return reporter;
}

void ReportToStandardError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception in a message handler\n");
    }
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT number, WPARAM wParam, LPARAM lParam) {
    auto& bound = BoundWindows();
    const auto found = bound.find(window);
    if (found == bound.end()) {
        return DefWindowProcA(window, number, wParam, lParam);
    }
    TMessage message{number, wParam, lParam, 0};
    found->second->WindowEntry(message);
    return message.Result;
}

} // namespace

namespace wincontrolinternals {

const ControlAtoms& Atoms() {
    if (atoms.controlAtom == 0) {
        const auto instance =
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
        atoms.windowAtom = GlobalAddAtomA(HexName("Morvex", {GetCurrentProcessId()}).c_str());
        atoms.controlAtom =
            GlobalAddAtomA(HexName("ControlOfs", {instance, GetCurrentThreadId()}).c_str());
    }
    return atoms;
}

std::unordered_map<HWND, TWinControl*>& BoundWindows() {
    static std::unordered_map<HWND, TWinControl*> bound;
    return bound;
}

std::unordered_set<const TWinControl*>& LiveControls() {
    static std::unordered_set<const TWinControl*> live;
    return live;
}

TWinControl* creatingControl = nullptr;

TControlEnvironment& Environment() {
    static TControlEnvironment environment;
    return environment;
}

} // namespace wincontrolinternals

// The first message of a window made for a control binds the window to it.
LRESULT BindCreatedWindow(HWND window, UINT number, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = creatingControl;
    if (control == nullptr) {
        return DefWindowProcA(window, number, wParam, lParam);
    }
    creatingControl = nullptr;
    control->handle_ = window;
    BoundWindows()[window] = control;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
    if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0 &&
        GetWindowLongPtrA(window, GWLP_ID) == 0) {
        SetWindowLongPtrA(window, GWLP_ID, reinterpret_cast<LONG_PTR>(window));
    }
    SetPropA(window, AtomName(Atoms().windowAtom), control);
    SetPropA(window, AtomName(Atoms().controlAtom), control);
    return ControlWindowProc(window, number, wParam, lParam);
}

LRESULT CALLBACK ControlCreationProc(HWND window, UINT number, WPARAM wParam, LPARAM lParam) {
    return GuardedCallback(LRESULT{0},
                           [&] { return BindCreatedWindow(window, number, wParam, lParam); });
}

void ResetControlsForTesting() {
    atoms = ControlAtoms{};
    BoundWindows().clear();
    creatingControl = nullptr;
    SetCaptureControl(nullptr);
}

void ReleaseControlAtoms() {
    if (atoms.controlAtom != 0) {
        GlobalDeleteAtom(atoms.windowAtom);
        GlobalDeleteAtom(atoms.controlAtom);
    }
    atoms = ControlAtoms{};
}

void SetExceptionReporter(TExceptionReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportRaisedException(TWinControl* control, std::exception_ptr error) noexcept {
    try {
        if (Reporter()) {
            Reporter()(control, error);
        } else {
            ReportToStandardError(error);
        }
    } catch (...) {
        ReportToStandardError(std::current_exception());
    }
}

void SetControlEnvironment(const TControlEnvironment& environment) {
    Environment() = environment;
}

const TControlEnvironment& ControlEnvironment() {
    return Environment();
}

void RefreshCursorUnderMouse() {
    POINT mouse{};
    GetCursorPos(&mouse);
    HWND window = WindowFromPoint(mouse);
    if (window == nullptr) {
        return;
    }
    const auto hit =
        static_cast<WORD>(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(mouse.x, mouse.y)));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(hit, WM_MOUSEMOVE));
}

TWinControl* FindControl(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return static_cast<TWinControl*>(GetPropA(window, AtomName(Atoms().controlAtom)));
}

VELBRIN_DEFINE_CLASS_TABLES(TWinControl, TControl, "Controls") {
    cls.Property("HelpContext", Field<&TWinControl::helpContext_>,
                 Call<&TWinControl::SetHelpContext>)
        .Default(0);

    cls.Handle<WM_PAINT, &TWinControl::WMPaint>();
    cls.Handle<WM_SIZE, &TWinControl::WMSize>();
    cls.Handle<WM_MOVE, &TWinControl::WMMove>();
    cls.Handle<WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged>();
    cls.Handle<WM_DESTROY, &TWinControl::WMDestroy>();
    cls.Handle<WM_NCDESTROY, &TWinControl::WMNCDestroy>();
    cls.Handle<WM_COMMAND, &TWinControl::WMCommand>();
    cls.Handle<WM_HSCROLL, &TWinControl::WMCommand>();
    cls.Handle<WM_VSCROLL, &TWinControl::WMCommand>();
    cls.Handle<WM_CHARTOITEM, &TWinControl::WMCommand>();
    cls.Handle<WM_VKEYTOITEM, &TWinControl::WMCommand>();
    cls.Handle<WM_PARENTNOTIFY, &TWinControl::WMParentNotify>();
    cls.Handle<WM_NOTIFY, &TWinControl::WMNotify>();
    cls.Handle<WM_DRAWITEM, &TWinControl::WMItemMessage<DRAWITEMSTRUCT>>();
    cls.Handle<WM_COMPAREITEM, &TWinControl::WMItemMessage<COMPAREITEMSTRUCT>>();
    cls.Handle<WM_DELETEITEM, &TWinControl::WMItemMessage<DELETEITEMSTRUCT>>();
    cls.Handle<WM_MEASUREITEM, &TWinControl::WMMeasureItem>();
    cls.Handle<WM_KEYDOWN, &TWinControl::WMKeyDown>();
    cls.Handle<WM_SYSKEYDOWN, &TWinControl::WMKeyDown>();
    cls.Handle<WM_KEYUP, &TWinControl::WMKeyUp>();
    cls.Handle<WM_SYSKEYUP, &TWinControl::WMKeyUp>();
    cls.Handle<WM_CHAR, &TWinControl::WMChar>();
    cls.Handle<CM_SHOWING_CHANGED, &TWinControl::CMShowingChanged>();
    cls.Handle<CM_VISIBLE_CHANGED, &TWinControl::CMVisibleChanged>();
    cls.Handle<CM_ENABLED_CHANGED, &TWinControl::CMEnabledChanged>();
    cls.Handle<CM_DIALOG_KEY, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_DIALOG_CHAR, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_FOCUS_CHANGED, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_SYS_COLOR_CHANGE, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_WIN_INI_CHANGE, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_FONT_CHANGE, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_TIME_CHANGE, &TWinControl::CMBroadcastToChildren>();
    cls.Handle<CM_ENTER, &TWinControl::CMEnter>();
    cls.Handle<CM_EXIT, &TWinControl::CMExit>();
    cls.Handle<CM_CONTROL_LIST_CHANGE, &TWinControl::CMControlListChange>();
    cls.Handle<CM_CHILD_KEY, &TWinControl::CMChildKey>();
    cls.Handle<CM_INVALIDATE, &TWinControl::CMInvalidate>();
    cls.Handle<CM_RECREATE_WND, &TWinControl::CMRecreateWnd>();
    cls.Handle<CM_CTL3D_CHANGED, &TWinControl::CMCtl3DChanged>();
    cls.Handle<CM_PARENT_CTL3D_CHANGED, &TWinControl::CMParentCtl3DChanged>();
    cls.Handle<CM_SHOW_HINT_CHANGED, &TWinControl::CMShowHintChanged>();
    cls.Handle<CM_COLOR_CHANGED, &TWinControl::CMColorChanged>();
    cls.Handle<CM_CURSOR_CHANGED, &TWinControl::CMCursorChanged>();
    cls.Handle<CM_FONT_CHANGED, &TWinControl::CMFontChanged>();
    cls.Handle<WM_ERASEBKGND, &TWinControl::WMEraseBkgnd>();
    cls.Handle<WM_SYSCOLORCHANGE, &TWinControl::WMSystemChange>();
    cls.Handle<WM_WININICHANGE, &TWinControl::WMSystemChange>();
    cls.Handle<WM_FONTCHANGE, &TWinControl::WMSystemChange>();
    cls.Handle<WM_TIMECHANGE, &TWinControl::WMSystemChange>();
    cls.Handle<CN_KEYDOWN, &TWinControl::CNKeyDown>();
    cls.Handle<CN_SYSKEYDOWN, &TWinControl::CNKeyDown>();
    cls.Handle<CN_KEYUP, &TWinControl::CNKeyUp>();
    cls.Handle<CN_CHAR, &TWinControl::CNChar>();
    cls.Handle<CN_SYSCHAR, &TWinControl::CNSysChar>();
    cls.Handle<WM_SETCURSOR, &TWinControl::WMSetCursor>();
    cls.Handle<WM_SYSCOMMAND, &TWinControl::WMSysCommand>();
    cls.Handle<WM_SETFOCUS, &TWinControl::WMFocusChange>();
    cls.Handle<WM_KILLFOCUS, &TWinControl::WMFocusChange>();
    cls.Handle<WM_IME_STARTCOMPOSITION, &TWinControl::WMImeComposition>();
    cls.Handle<WM_IME_ENDCOMPOSITION, &TWinControl::WMImeComposition>();
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(new TBrush) {
    LiveControls().insert(this);
    brush_->SetColor(Color());
    // Only a system whose primary language is not Japanese names an input
    // method per control; that name comes from the screen object.
    if (PRIMARYLANGID(GetSystemDefaultLangID()) != LANG_JAPANESE && Environment().DefaultIme) {
        imeName_ = Environment().DefaultIme();
    }
}

TWinControl::~TWinControl() {
    // While this is still a windowed control, so that the screen and the
    // form can recognise it as theirs.
    NoteControlFreed(this);
    MarkDestroying();
    if (handle_ != nullptr) {
        DestroySystemWindow();
    }
    for (int i = ControlCount(); i > 0; --i) {
        TControl* child = Controls(i - 1);
        RemoveChildControl(child);
        delete child;
    }
    // Leave the parent while still a windowed control, so the parent finds
    // this one in its windowed list.
    if (Parent() != nullptr) {
        Parent()->RemoveChildControl(this);
    }
    if (handle_ != nullptr) {
        BoundWindows().erase(handle_);
    }
    delete brush_;
    LiveControls().erase(this);
}

} // namespace velbrin
