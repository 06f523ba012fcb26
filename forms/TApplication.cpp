#include "TApplication.h"

#include "ApplicationTitle.h"
#include "Forms.h"
#include "TForm.h"
#include "TScreen.h"
#include "controls/THintWindow.h"
#include "controls/TWinControl.h"
#include "graphics/TIcon.h"
#include "runtime/ErrorOrigin.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/Halt.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace velbrin {

namespace {

constexpr char kWindowClassName[] = "TApplication";
// WM_SETICON: the icon of the caption and the task bar.
constexpr WPARAM kBigIcon = 1;
constexpr DWORD kAppWindowStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
TInitProc initProc = nullptr;
// How far below its control a hint stands.
constexpr int kHintOffset = 6;

// The application objects by their windows, for the window procedure.
std::unordered_map<HWND, TApplication*>& AppWindows() {
    static std::unordered_map<HWND, TApplication*> windows;
    return windows;
}

LRESULT CALLBACK AppWindowProc(HWND window, UINT number, WPARAM wParam, LPARAM lParam) {
    const auto found = AppWindows().find(window);
    if (found == AppWindows().end()) {
        return DefWindowProcA(window, number, wParam, lParam);
    }
    TMessage message{number, wParam, lParam, 0};
    found->second->AppWindowEntry(message);
    return message.Result;
}

// What ThreadWindowsWhere collects: the windows `keep` answers true for.
struct TWindowSieve {
    const std::function<bool(HWND)>& keep;
    std::vector<HWND> kept;
};

BOOL CALLBACK SieveWindow(HWND window, LPARAM data) {
    auto* sieve = reinterpret_cast<TWindowSieve*>(data);
    if (sieve->keep(window)) {
        sieve->kept.push_back(window);
    }
    return TRUE;
}

// The top-level windows of the thread that `keep` answers true for.
std::vector<HWND> ThreadWindowsWhere(const std::function<bool(HWND)>& keep) {
    TWindowSieve sieve{keep, {}};
    EnumThreadWindows(GetCurrentThreadId(), &SieveWindow, reinterpret_cast<LPARAM>(&sieve));
    return std::move(sieve.kept);
}

void ReenableWindows(std::vector<HWND>& windows) {
    for (HWND window : windows) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
    windows.clear();
}

// The first visible, enabled top-level window of the thread other than
// `except`, one without WS_EX_TOPMOST preferred.
HWND FirstOtherTopLevel(HWND except) {
    HWND topmost = nullptr;
    for (HWND window : EnabledThreadWindows(except)) {
        if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
            return window;
        }
        if (topmost == nullptr) {
            topmost = window;
        }
    }
    return topmost;
}

// The long part of the hint of `control` or of the nearest parent that has
// one: what follows the first "|", or the whole text.
std::string LongHintOf(TControl* control) {
    while (control != nullptr && control->Hint().empty()) {
        control = control->Parent();
    }
    if (control == nullptr) {
        return {};
    }
    const std::string& hint = control->Hint();
    const std::size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// The short part of a hint: what stands before the first "|".
std::string ShortHintOf(const std::string& hint) {
    return hint.substr(0, hint.find('|'));
}

// The messages after which a pending or shown hint no longer applies: keys,
// the application's activation, short-cut and system-command notices,
// commands, button presses and moves over a frame.
bool CancelsHint(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == CM_APP_ACTIVATE ||
           message == CM_APP_DEACTIVATE || message == CM_APP_KEY_DOWN ||
           message == CM_APP_SYS_COMMAND || message == WM_COMMAND ||
           (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) || message == WM_NCMOUSEMOVE;
}

// The nearest control from `control` up through its parents that shows
// hints; a control being designed has none.
TControl* HintingControlOf(TControl* control) {
    if (control != nullptr && control->HasState(csDesigning)) {
        return nullptr;
    }
    while (control != nullptr && !control->ShowHint()) {
        control = control->Parent();
    }
    return control;
}

POINT MessagePointOnScreen(TControl* control, const TMessage& message) {
    const POINT origin = control->ClientOrigin();
    const auto x = static_cast<std::int16_t>(LOWORD(static_cast<DWORD>(message.LParam)));
    const auto y = static_cast<std::int16_t>(HIWORD(static_cast<DWORD>(message.LParam)));
    return {origin.x + x, origin.y + y};
}

RECT ClientRectOnScreen(TControl* control) {
    const RECT rect = control->ClientRect();
    const POINT origin = control->ClientOrigin();
    return {rect.left + origin.x, rect.top + origin.y, rect.right + origin.x,
            rect.bottom + origin.y};
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

bool CursorOverActiveWindow() {
    POINT cursor{};
    GetCursorPos(&cursor);
    HWND active = GetActiveWindow();
    HWND under = WindowFromPoint(cursor);
    return active != nullptr && under != nullptr &&
           (under == active || IsChild(active, under) != FALSE);
}

// The visible top-level windows of the thread that `owner` owns: the forms.
std::vector<HWND> ShownOwnedWindows(HWND owner) {
    return ThreadWindowsWhere([owner](HWND window) {
        return GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window) != FALSE;
    });
}

void CALLBACK HintTimerFired(HWND, UINT, UINT_PTR, DWORD) {
    if (Application != nullptr) {
        Application->HintTimerExpired();
    }
}

} // namespace

bool FocusMessagesSuspended() {
    return Application != nullptr && Application->focusMessagesOff_;
}

std::vector<HWND> EnabledThreadWindows(HWND except) {
    return ThreadWindowsWhere([except](HWND window) {
        return window != except && IsWindowVisible(window) && IsWindowEnabled(window) &&
               dynamic_cast<THintWindow*>(FindControl(window)) == nullptr;
    });
}

void SetInitProc(TInitProc proc) {
    initProc = proc;
}

VELBRIN_DEFINE_CLASS(TApplication, TComponent, "Forms")

TApplication::TApplication(TComponent* owner) : TComponent(owner), icon_(new TIcon) {
    icon_->SetHandle(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
    icon_->OnChange = TNotifyEvent::Of<&TApplication::IconChanged>(this);
    char path[256] = {};
    GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
    title_ = ApplicationTitleFromPath(path);
    CreateAppWindow();
    updateFormatSettings_ = true;
    showMainForm_ = true;
}

TApplication::~TApplication() {
    active_ = false;
    CancelHint();
    MarkDestroying();
    FreeForms();
    FreeOwnedComponents();
    if (handleCreated_ && handle_ != nullptr) {
        SendMessageA(handle_, WM_SETICON, kBigIcon, 0);
        AppWindows().erase(handle_);
        DestroyWindow(handle_);
    }
    delete icon_;
}

void TApplication::CreateAppWindow() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (GetClassInfoA(instance, kWindowClassName, &windowClass) == FALSE) {
        windowClass = WNDCLASSA{};
        windowClass.lpfnWndProc = &DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClassName;
        if (RegisterClassA(&windowClass) == 0) {
            throw ResourceError<EOutOfResources>(SWindowClass);
        }
    }
    handle_ = CreateWindowExA(0, kWindowClassName, title_.c_str(), kAppWindowStyle,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, instance, nullptr);
    if (handle_ == nullptr) {
        throw ResourceError<EOutOfResources>(SWindowCreate);
    }
    title_.clear();
    handleCreated_ = true;
    ShowWithoutAnimation(SW_RESTORE);
    AppWindows()[handle_] = this;
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppWindowProc));
    SendMessageA(handle_, WM_SETICON, kBigIcon, reinterpret_cast<LPARAM>(icon_->Handle()));
    HMENU systemMenu = GetSystemMenu(handle_, FALSE);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_MOVE, MF_BYCOMMAND);
}

void TApplication::IconChanged(TObject*) {
    if (handle_ == nullptr) {
        return;
    }
    SendMessageA(handle_, WM_SETICON, kBigIcon, reinterpret_cast<LPARAM>(icon_->Handle()));
    if (Screen != nullptr) {
        for (int i = 0; i < Screen->FormCount(); ++i) {
            Screen->Forms(i)->SendToSelf(CM_ICON_CHANGED);
        }
    }
}

std::string TApplication::Title() const {
    if (handle_ == nullptr) {
        return title_;
    }
    char text[256] = {};
    GetWindowTextA(handle_, text, sizeof text);
    return text;
}

void TApplication::SetTitle(const std::string& title) {
    if (handle_ != nullptr) {
        SetWindowTextA(handle_, title.c_str());
    } else {
        title_ = title;
    }
}

void TApplication::SetHint(const std::string& value) {
    if (value == hint_) {
        return;
    }
    hint_ = value;
    OnHint(this);
}

// ---------------------------------------------------------------- forms and the loop

void TApplication::Initialize() {
    if (initProc != nullptr) {
        initProc();
    }
}

void TApplication::MakeForm(const TMetaClass& componentClass, TComponent*& reference) {
    MakeForm(componentClass, [&reference](TComponent* made) { reference = made; });
}

void TApplication::MakeForm(const TMetaClass& componentClass,
                            const std::function<void(TComponent*)>& store) {
    TObject* made = nullptr;
    try {
        made = componentClass.Construct(
            this, [&store](TObject* object) { store(static_cast<TComponent*>(object)); });
    } catch (...) {
        store(nullptr);
        throw;
    }
    auto* form = dynamic_cast<TForm*>(made);
    if (form != nullptr && mainForm_ == nullptr) {
        form->RequireWindow();
        mainForm_ = form;
    }
}

void TApplication::Run() {
    running_ = true;
    try {
        if (mainForm_ != nullptr) {
            if (showMainForm_) {
                mainForm_->SetVisible(true);
            }
            while (!terminated_) {
                PumpOne();
            }
        }
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
}

void TApplication::PumpOne() {
    if (!TryProcessOne()) {
        Idle();
    }
}

bool TApplication::TryProcessOne() {
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    OnMessage(msg, handled);
    FilterHintMsg(msg);
    if (!handled && !FilterMDIMsg(msg) && !FilterKeyMsg(msg) && !FilterDialogMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

// MDI forms are not built by this library, so no main form is ever an MDI
// frame and nothing is claimed here.
bool TApplication::FilterMDIMsg(MSG&) {
    return false;
}

bool TApplication::FilterKeyMsg(const MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || GetCapture() != nullptr) {
        return false;
    }
    return SendMessageA(msg.hwnd, msg.message + CN_BASE, msg.wParam, msg.lParam) != 0;
}

bool TApplication::FilterDialogMsg(MSG& msg) {
    return dialogHandle_ != nullptr && IsDialogMessageA(dialogHandle_, &msg) != FALSE;
}

void TApplication::Idle() {
    POINT cursor{};
    GetCursorPos(&cursor);
    TControl* control = TWinControl::ControlAtScreenPoint(cursor, true);
    if (control != nullptr && control->HasState(csDesigning)) {
        control = nullptr;
    }
    if (control != mouseControl_) {
        TControl* captured = CaptureControl();
        if (mouseControl_ != nullptr && (captured == nullptr || captured == mouseControl_)) {
            mouseControl_->SendToSelf(CM_MOUSE_LEAVE);
        }
        mouseControl_ = control;
        if (mouseControl_ != nullptr && (captured == nullptr || captured == mouseControl_)) {
            mouseControl_->SendToSelf(CM_MOUSE_ENTER);
        }
    }
    if (showHint_ && (mouseControl_ == nullptr || mouseControl_ == hintWindow_)) {
        CancelHint();
    }
    SetHint(LongHintOf(control));
    bool done = true;
    OnIdle(this, done);
    if (done) {
        WaitMessage();
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::FreeForms() {
    for (int i = ComponentCount(); i > 0; i = std::min(i - 1, ComponentCount())) {
        if (auto* form = dynamic_cast<TForm*>(Components(i - 1))) {
            if (form == mainForm_) {
                mainForm_ = nullptr;
            }
            TForm::Free(form);
        }
    }
    mainForm_ = nullptr;
}

void TApplication::ForgetControl(TControl* control) {
    if (control == mouseControl_) {
        mouseControl_ = nullptr;
    }
    if (control == hintControl_) {
        CancelHint();
    }
}

// ---------------------------------------------------------------- hints

// The hint window's window belongs to the application window, so it goes
// with the application's other windows (out of the topmost band while the
// application is inactive or a message box waits) and the activation falls
// back to the application window, never to the hint, when a form goes.
void TApplication::SetShowHint(bool value) {
    if (value == showHint_) {
        return;
    }
    if (value) {
        hintWindow_ = new THintWindow(this);
        hintWindow_->SetColor(hintColor_);
        hintWindow_->SetParentWindow(handle_);
    } else {
        CancelHint();
        delete hintWindow_;
    }
    showHint_ = value;
}

// Hints are on exactly while the hint window would exist. The filter never
// claims the message: it is dispatched in any case.
void TApplication::FilterHintMsg(const MSG& msg) {
    if (showHint_ && CancelsHint(msg.message)) {
        CancelHint();
    }
}

void TApplication::HintMouseActivity(TControl* control, const TMessage& message) {
    if (!showHint_) {
        return;
    }
    const POINT point = MessagePointOnScreen(control, message);
    TControl* hinting = HintingControlOf(TWinControl::ControlAtScreenPoint(point, true));
    if (hinting == nullptr) {
        CancelHint();
        return;
    }
    if (hinting == hintControl_ && Contains(hintCursorRect_, point)) {
        return;
    }
    const bool wasActive = hintActive_;
    CancelHint();
    hintActive_ = wasActive;
    hintControl_ = hinting;
    StartHintTimer(hintActive_ ? hintShortPause_ : hintPause_, THintTimerMode::Show);
}

void TApplication::CancelHint() {
    if (hintControl_ == nullptr) {
        return;
    }
    HideHintWindow();
    hintControl_ = nullptr;
    hintActive_ = false;
    StopHintTimer();
}

void TApplication::HintTimerExpired() {
    const THintTimerMode mode = timerMode_;
    StopHintTimer();
    if (mode == THintTimerMode::Hide) {
        HideHintWindow();
    } else if (hintControl_ != nullptr && CursorOverActiveWindow()) {
        ActivateHint();
    }
}

void TApplication::HideHintWindow() {
    if (hintWindow_ != nullptr && hintWindow_->HasWindow() &&
        IsWindowVisible(hintWindow_->Handle())) {
        ShowWindow(hintWindow_->Handle(), SW_HIDE);
    }
}

// The hint the timer brought due: the control may refuse it through
// CM_HINT_SHOW and OnShowHint may change or refuse it. A hint that stands is
// shown just below the control, marks the application's hints active, so
// the next control's comes after the short pause, and the mouse may move
// over the control without cancelling it.
void TApplication::ActivateHint() {
    std::string text = ShortHintOf(hintControl_->Hint());
    THintInfo info;
    info.HintControl = hintControl_;
    GetCursorPos(&info.CursorPos);
    info.CursorRect = ClientRectOnScreen(hintControl_);
    bool canShow = hintControl_->SendToSelf(CM_HINT_SHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow) {
        OnShowHint(text, canShow, info);
    }
    if (!canShow || text.empty()) {
        return;
    }
    const RECT extent = hintWindow_->CalcHintRect(GetSystemMetrics(SM_CXSCREEN), text);
    const POINT origin = hintControl_->ClientOrigin();
    const int top = origin.y + hintControl_->Height() + kHintOffset;
    const RECT rect{origin.x + extent.left, top + extent.top, origin.x + extent.right,
                    top + extent.bottom};
    hintActive_ = true;
    hintCursorRect_ = info.CursorRect;
    hintWindow_->SetColor(hintColor_);
    hintWindow_->ActivateHint(rect, text);
    StartHintTimer(hintHidePause_, THintTimerMode::Hide);
}

void TApplication::StartHintTimer(int pause, THintTimerMode mode) {
    StopHintTimer();
    timerId_ = SetTimer(nullptr, 1, static_cast<UINT>(pause), &HintTimerFired);
    timerActive_ = timerId_ != 0;
    timerMode_ = mode;
}

void TApplication::StopHintTimer() {
    if (timerActive_) {
        KillTimer(nullptr, timerId_);
        timerActive_ = false;
    }
}

void TApplication::ComponentNotice(TComponent* component, TOperation operation) {
    TComponent::ComponentNotice(component, operation);
    if (operation == opRemove && component == mainForm_) {
        mainForm_ = nullptr;
    }
    if (operation == opRemove && component == hintWindow_) {
        hintWindow_ = nullptr;
    }
}

// ---------------------------------------------------------------- help

// Without a help file, an application window of another program's making
// (this one a library inside it) is asked to give the help; asking a window
// of our own would only bring the request back here.
bool TApplication::HelpCommand(WORD command, LONG_PTR data) {
    bool callHelp = true;
    bool answer = false;
    OnHelp(command, data, callHelp, answer);
    if (!callHelp) {
        return answer;
    }
    if (!helpFile_.empty()) {
        HWND window =
            mainForm_ != nullptr && mainForm_->HasWindow() ? mainForm_->Handle() : nullptr;
        return WinHelpA(window, helpFile_.c_str(), command, static_cast<ULONG_PTR>(data)) != FALSE;
    }
    if (handle_ != nullptr && !handleCreated_) {
        PostMessageA(handle_, CM_INVOKE_HELP, command, data);
    }
    return answer;
}

// ---------------------------------------------------------------- errors

// The code that hands an error over is where the report says it was met:
// an error from outside the library's family carries no address of its own.
void TApplication::ReportException(TObject* sender) {
    ReportError(sender, std::current_exception(), __builtin_return_address(0));
}

void TApplication::ReportException(TObject* sender, std::exception_ptr error) {
    ReportError(sender, std::move(error), __builtin_return_address(0));
}

void TApplication::ReportError(TObject* sender, std::exception_ptr error, const void* site) {
    if (HWND captured = GetCapture()) {
        SendMessageA(captured, WM_CANCELMODE, 0, 0);
    }
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (Exception& e) {
        if (OnException.Assigned()) {
            OnException(sender, e);
        } else {
            DisplayException(e);
        }
    } catch (const std::exception& e) {
        ReportForeign(ReadableClassName(typeid(e)), site);
    } catch (...) {
        ReportForeign("unknown", site);
    }
}

// The runtime's report of an error object outside the library's family.
// Such an object has no message of the library's kind: the report's message
// part stays empty, ended by its point.
void TApplication::ReportForeign(const std::string& className, const void* site) {
    char path[256] = {};
    GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
    std::string module = FileNamePart(path).substr(0, 63);
    const auto offset = reinterpret_cast<const void*>(ProgramCodeOffset(site));
    const std::string text =
        ResourceMessage(SExceptionReport, {className.c_str(), module.c_str(), offset, "", "."});
    MessageBoxA(nullptr, text.c_str(), ResourceMessage(SExceptionTitle).c_str(),
                MB_TASKMODAL | MB_ICONERROR);
}

void TApplication::DisplayException(const Exception& error) {
    ShowMessageBox(error.Message() + ".", Title(), MB_OK | MB_ICONERROR);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND active = GetActiveWindow();
    std::vector<HWND> disabled = EnabledThreadWindows(nullptr);
    for (HWND window : disabled) {
        EnableWindow(window, FALSE);
    }
    int answer = 0;
    try {
        answer = MessageBoxA(handle_, text.c_str(), caption.c_str(), flags & 0xFFFF);
    } catch (...) {
        ReenableWindows(disabled);
        SetActiveWindow(active);
        throw;
    }
    ReenableWindows(disabled);
    SetActiveWindow(active);
    return answer;
}

// ---------------------------------------------------------------- the window procedure

void TApplication::AppWindowEntry(TMessage& message) {
    try {
        message.Result = 0;
        for (const TWindowHookEntry& hook : std::vector<TWindowHookEntry>(windowHooks_)) {
            if (hook.code(hook.data, message)) {
                return;
            }
        }
        HandleAppMessage(message);
    } catch (...) {
        ReportException(this);
    }
}

void TApplication::Default(TMessage& message) {
    message.Result = DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

void TApplication::HandleAppMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
        PostMessageA(handle_, CM_ENTER, 0, 0);
        Default(message);
        break;
    case WM_ENABLE:
        HandleEnable(message);
        break;
    case WM_PAINT:
        if (IsIconic(handle_)) {
            PaintIconic(message);
        } else {
            Default(message);
        }
        break;
    case WM_CLOSE:
        if (mainForm_ != nullptr) {
            mainForm_->Close();
        }
        break;
    case WM_ERASEBKGND:
        message.Msg = WM_ICONERASEBKGND;
        Default(message);
        break;
    case WM_SYSCOLORCHANGE:
        break;
    case WM_ENDSESSION:
        if (message.WParam != 0) {
            // The library's end among the exit procedures frees the forms,
            // so that their OnDestroy runs; the halt does not return here.
            Halt(0);
        }
        break;
    case WM_ACTIVATEAPP:
        HandleActivateApp(message);
        break;
    case WM_QUERYDRAGICON:
        message.Result = reinterpret_cast<LRESULT>(icon_->Handle());
        break;
    case WM_SYSCOMMAND:
        switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            break;
        case SC_RESTORE:
            Restore();
            break;
        default:
            Default(message);
        }
        break;
    case CM_APP_ACTIVATE:
        OnActivate(this);
        break;
    case CM_APP_DEACTIVATE:
        OnDeactivate(this);
        break;
    case CM_APP_KEY_DOWN:
        // The main form has no menu whose short-cuts could claim the key.
        break;
    case CM_APP_SYS_COMMAND:
        HandleSysCommandNotice(message);
        break;
    case CM_ENTER:
        FixFocus();
        break;
    case CM_WINDOW_HOOK: {
        const auto* hook = reinterpret_cast<const TWindowHookEntry*>(message.LParam);
        if (hook != nullptr) {
            message.WParam == 0 ? AddWindowHook(*hook) : RemoveWindowHook(*hook);
        }
        break;
    }
    case CM_INVOKE_HELP:
        HelpCommand(LOWORD(message.WParam), message.LParam);
        break;
    case CM_DIALOG_HANDLE:
        if (message.WParam == 1) {
            message.Result = reinterpret_cast<LRESULT>(dialogHandle_);
        } else {
            dialogHandle_ = reinterpret_cast<HWND>(message.LParam);
        }
        break;
    default:
        if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
            message.Result = SendMessageA(reinterpret_cast<HWND>(message.LParam),
                                          message.Msg + CN_BASE, message.WParam, message.LParam);
        } else {
            Default(message);
        }
    }
}

void TApplication::HandleEnable(TMessage& message) {
    if (message.WParam != 0) {
        RepromoteTopMostWindows();
        ReenableWindows(disabledWindows_);
        disabledSaved_ = false;
        Default(message);
        return;
    }
    Default(message);
    if (!disabledSaved_) {
        disabledWindows_ = EnabledThreadWindows(handle_);
        for (HWND window : disabledWindows_) {
            EnableWindow(window, FALSE);
        }
        disabledSaved_ = true;
    }
    DemoteTopMostWindows();
}

void TApplication::HandleActivateApp(TMessage& message) {
    Default(message);
    active_ = message.WParam != 0;
    if (active_) {
        RepromoteTopMostWindows();
        PostMessageA(handle_, CM_APP_ACTIVATE, 0, 0);
    } else {
        DemoteTopMostWindows();
        PostMessageA(handle_, CM_APP_DEACTIVATE, 0, 0);
    }
}

void TApplication::HandleSysCommandNotice(TMessage& message) {
    if (mainForm_ == nullptr) {
        return;
    }
    HWND mainWindow = mainForm_->Handle();
    if (!IsWindowEnabled(mainWindow) || !IsWindowVisible(mainWindow)) {
        return;
    }
    focusMessagesOff_ = true;
    HWND focused = GetFocus();
    ::SetFocus(mainWindow);
    try {
        SendMessageA(mainWindow, WM_SYSCOMMAND, message.WParam, message.LParam);
    } catch (...) {
        ::SetFocus(focused);
        focusMessagesOff_ = false;
        throw;
    }
    ::SetFocus(focused);
    focusMessagesOff_ = false;
    message.Result = 1;
}

void TApplication::FixFocus() {
    if (IsIconic(handle_) || GetFocus() != handle_) {
        return;
    }
    if (HWND other = FirstOtherTopLevel(handle_)) {
        ::SetFocus(other);
    }
}

void TApplication::PaintIconic(TMessage&) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(handle_, &paint);
    DrawIcon(dc, 0, 0, icon_->Handle());
    EndPaint(handle_, &paint);
}

// ---------------------------------------------------------------- minimising, z-order, hooks

void TApplication::ShowWithoutAnimation(int command) {
    ANIMATIONINFO animation{};
    animation.cbSize = sizeof animation;
    if (SystemParametersInfoA(SPI_GETANIMATION, sizeof animation, &animation, 0) != FALSE &&
        animation.iMinAnimate != 0) {
        animation.iMinAnimate = 0;
        SystemParametersInfoA(SPI_SETANIMATION, sizeof animation, &animation, 0);
        ShowWindow(handle_, command);
        animation.iMinAnimate = 1;
        SystemParametersInfoA(SPI_SETANIMATION, sizeof animation, &animation, 0);
    } else {
        ShowWindow(handle_, command);
    }
}

void TApplication::Minimize() {
    if (IsIconic(handle_)) {
        return;
    }
    DemoteTopMostWindows();
    SetActiveWindow(handle_);
    ShowWithoutAnimation(SW_MINIMIZE);
    HideOwnedWindows();
    OnMinimize(this);
}

void TApplication::Restore() {
    if (!IsIconic(handle_)) {
        return;
    }
    SetActiveWindow(handle_);
    ShowWithoutAnimation(SW_RESTORE);
    ShowHiddenOwnedWindows();
    RepromoteTopMostWindows();
    if (Screen != nullptr && Screen->ActiveControl() != nullptr &&
        Screen->ActiveControl()->HasWindow()) {
        ::SetFocus(Screen->ActiveControl()->Handle());
    }
    OnRestore(this);
}

// As on Windows, the forms go with the minimised application window, their
// Visible unchanged, and come back with it: only those this hid.
void TApplication::HideOwnedWindows() {
    hiddenWithApplication_ = ShownOwnedWindows(handle_);
    for (HWND window : hiddenWithApplication_) {
        ShowWindow(window, SW_HIDE);
    }
}

void TApplication::ShowHiddenOwnedWindows() {
    const std::vector<HWND> hidden = std::move(hiddenWithApplication_);
    hiddenWithApplication_.clear();
    for (HWND window : hidden) {
        if (IsWindow(window) != FALSE) {
            ShowWindow(window, SW_SHOWNA);
        }
    }
}

void TApplication::DemoteTopMostWindows() {
    if (handle_ == nullptr) {
        return;
    }
    if (++topMostLevel_ != 1) {
        return;
    }
    HWND mainWindow =
        mainForm_ != nullptr && mainForm_->HasWindow() ? mainForm_->Handle() : nullptr;
    HWND firstOther = nullptr;
    for (HWND window = GetTopWindow(nullptr); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindow(window, GW_OWNER) != handle_) {
            continue;
        }
        if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 && window != mainWindow) {
            topMostList_.push_back(window);
        } else if (firstOther == nullptr) {
            firstOther = window;
        }
    }
    constexpr UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it) {
        // Leaving the topmost band first, so that the window is demoted
        // whatever the system does with a place behind a normal window.
        SetWindowPos(*it, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        if (firstOther != nullptr) {
            SetWindowPos(*it, firstOther, 0, 0, 0, 0, flags);
        }
    }
}

void TApplication::RepromoteTopMostWindows() {
    if (handle_ == nullptr || topMostLevel_ == 0) {
        return;
    }
    if (--topMostLevel_ != 0) {
        return;
    }
    for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it) {
        SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    }
    topMostList_.clear();
}

void TApplication::AddWindowHook(TWindowHookEntry hook) {
    if (handleCreated_) {
        windowHooks_.push_back(hook);
    } else if (handle_ != nullptr) {
        SendMessageA(handle_, CM_WINDOW_HOOK, 0, reinterpret_cast<LPARAM>(&hook));
    }
}

void TApplication::RemoveWindowHook(TWindowHookEntry hook) {
    if (handleCreated_) {
        const auto found = std::find(windowHooks_.begin(), windowHooks_.end(), hook);
        if (found != windowHooks_.end()) {
            windowHooks_.erase(found);
        }
    } else if (handle_ != nullptr) {
        SendMessageA(handle_, CM_WINDOW_HOOK, 1, reinterpret_cast<LPARAM>(&hook));
    }
}

} // namespace velbrin
