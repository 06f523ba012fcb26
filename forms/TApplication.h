#pragma once
// The running program: a hidden top-level window that owns every form's
// window and receives the library's application messages, the forms the
// program makes (the first becomes the main form), the message loop, and the
// display of every exception a message handler lets escape.

#include "controls/Controls.h"
#include "core/TComponent.h"
#include "graphics/Graphics.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace velbrin {

class Exception;
class TControl;
class TForm;
class THintWindow;
class TIcon;
class TList;

using TMessageEvent = TEvent<MSG&, bool&>;
using TIdleEvent = TEvent<TObject*, bool&>;
// Command and data of the help request; the handler may clear CallHelp to
// keep the help file from being asked, and gives the answer.
using THelpEvent = TEvent<WORD, LONG_PTR, bool&, bool&>;
using TExceptionEvent = TEvent<TObject*, Exception&>;
// A hook of the application window: true ends the message's processing.
using TWindowHook = bool (*)(TObject* data, TMessage& message);
// What the hint about to be shown is for; the control's CM_HINT_SHOW gets its
// address and OnShowHint may change it.
struct THintInfo {
    TControl* HintControl = nullptr;
    // The mouse, and where it may move without cancelling the hint, in
    // screen coordinates.
    POINT CursorPos{};
    RECT CursorRect{};
};
using TShowHintEvent = TEvent<std::string&, bool&, THintInfo&>;
enum class THintTimerMode : std::uint8_t { Show, Hide };

struct TWindowHookEntry {
    TWindowHook code = nullptr;
    TObject* data = nullptr;
    friend bool operator==(const TWindowHookEntry&, const TWindowHookEntry&) = default;
};

class TApplication : public TComponent {
    VELBRIN_CLASS(TApplication, TComponent)

public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    // Runs the runtime's start-up hook when one is set.
    void Initialize();
    // Constructs a component of `componentClass` owned by the application
    // into `reference`, a form with its resources read and OnCreate run; the
    // first form becomes the main form and gets its window.
    // The reference holds the component as soon as its constructors have
    // run, before a form reads its resources and runs OnCreate (whose
    // handlers may use it); it is null again when construction fails.
    void MakeForm(const TMetaClass& componentClass, TComponent*& reference);
    template <class C> void MakeForm(C*& reference) {
        MakeForm(C::StaticClass(),
                 [&reference](TComponent* made) { reference = static_cast<C*>(made); });
    }
    // The same, `store` putting the component, or null, where the caller
    // keeps it.
    void MakeForm(const TMetaClass& componentClass, const std::function<void(TComponent*)>& store);
    // Shows the main form and pumps messages until WM_QUIT arrives.
    void Run();
    void PumpOne();
    // Takes one message from the queue and handles it; false when none waited.
    bool TryProcessOne();
    void Idle();
    void Terminate();

    // Shows what a handler raised; call it inside the catch block, or give
    // the exception.
    void ReportException(TObject* sender);
    void ReportException(TObject* sender, std::exception_ptr error);
    void DisplayException(const Exception& error);
    // A message box over the application window, the other windows of the
    // thread disabled while it waits.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

    void Minimize();
    void Restore();
    void DemoteTopMostWindows();
    void RepromoteTopMostWindows();
    void AddWindowHook(TWindowHookEntry hook);
    void RemoveWindowHook(TWindowHookEntry hook);
    // Frees the owned forms (newest first) as the program ends.
    void FreeForms();
    // Forgets `control`, which is being freed, wherever the application
    // remembers it.
    void ForgetControl(TControl* control);
    void ComponentNotice(TComponent* component, TOperation operation) override;

    HWND Handle() const { return handle_; }
    TForm* MainForm() const { return mainForm_; }
    TControl* MouseControl() const { return mouseControl_; }
    std::string Title() const;
    void SetTitle(const std::string& title);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    TIcon* Icon() const { return icon_; }
    bool Terminated() const { return terminated_; }
    bool Running() const { return running_; }
    bool Active() const { return active_; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool value) { showMainForm_ = value; }
    bool ShowHint() const { return showHint_; }
    // Switching hints on creates the hint window; switching them off cancels
    // the pending or shown hint and frees the window.
    void SetShowHint(bool value);
    // The window hints are shown in while hints are on; null otherwise.
    THintWindow* HintWindow() const { return hintWindow_; }
    HWND DialogHandle() const { return dialogHandle_; }
    void SetDialogHandle(HWND window) { dialogHandle_ = window; }
    TColor HintColor() const { return hintColor_; }
    int HintPause() const { return hintPause_; }
    int HintShortPause() const { return hintShortPause_; }
    int HintHidePause() const { return hintHidePause_; }
    bool HintActive() const { return hintActive_; }
    TControl* HintControl() const { return hintControl_; }
    const RECT& HintCursorRect() const { return hintCursorRect_; }
    bool HintTimerActive() const { return timerActive_; }
    THintTimerMode HintTimerMode() const { return timerMode_; }

    // A mouse move `control` received (the control base reports each one):
    // while hints are on, the hint timer starts for the control under the
    // mouse that shows hints.
    void HintMouseActivity(TControl* control, const TMessage& message);
    void CancelHint();
    // What the hint timer does when it falls due.
    void HintTimerExpired();
    bool UpdateFormatSettings() const { return updateFormatSettings_; }

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }
    // OnHelp first; then the help file, if any, is asked about the main
    // form's window. True when the help was given.
    bool HelpCommand(WORD command, LONG_PTR data);

    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    THelpEvent OnHelp;

    // The window procedure of the application window.
    void AppWindowEntry(TMessage& message);

private:
    void CreateAppWindow();
    void IconChanged(TObject* sender);
    void HandleAppMessage(TMessage& message);
    void HandleEnable(TMessage& message);
    void HandleActivateApp(TMessage& message);
    void HandleSysCommandNotice(TMessage& message);
    void FixFocus();
    void PaintIconic(TMessage& message);
    void Default(TMessage& message);
    void FilterHintMsg(const MSG& msg);
    bool FilterMDIMsg(MSG& msg);
    bool FilterKeyMsg(const MSG& msg);
    bool FilterDialogMsg(MSG& msg);
    void ShowWithoutAnimation(int command);
    void HideOwnedWindows();
    void ShowHiddenOwnedWindows();
    void StartHintTimer(int pause, THintTimerMode mode);
    void StopHintTimer();
    void ActivateHint();
    void HideHintWindow();
    void ReportError(TObject* sender, std::exception_ptr error, const void* site);
    // The runtime's report of an error object outside the library's family,
    // met by the code at `site`.
    void ReportForeign(const std::string& className, const void* site);

    HWND handle_ = nullptr;
    bool handleCreated_ = false;
    std::string helpFile_;
    TForm* mainForm_ = nullptr;
    TControl* mouseControl_ = nullptr;
    std::string hint_;
    bool updateFormatSettings_ = false;
    bool showMainForm_ = false;
    TColor hintColor_ = static_cast<TColor>(0x80000018u);
    int hintPause_ = 500;
    int hintShortPause_ = 50;
    int hintHidePause_ = 2500;
    bool showHint_ = false;
    THintWindow* hintWindow_ = nullptr;
    bool hintActive_ = false;
    TControl* hintControl_ = nullptr;
    RECT hintCursorRect_{};
    bool timerActive_ = false;
    THintTimerMode timerMode_ = THintTimerMode::Show;
    UINT_PTR timerId_ = 0;
    std::string title_;
    std::vector<HWND> topMostList_;
    int topMostLevel_ = 0;
    TIcon* icon_ = nullptr;
    bool terminated_ = false;
    bool active_ = true;
    bool running_ = false;
    std::vector<TWindowHookEntry> windowHooks_;
    std::vector<HWND> disabledWindows_;
    // The forms' windows that minimising hid, to show again on restore.
    std::vector<HWND> hiddenWithApplication_;
    bool disabledSaved_ = false;
    HWND dialogHandle_ = nullptr;
    bool focusMessagesOff_ = false;

    friend bool FocusMessagesSuspended();
};

// Whether the application switched the focus notifications of forms off
// (while it hands a system command to the main form).
bool FocusMessagesSuspended();

// The top-level windows of the thread that are visible and enabled, except
// `except` and hint windows: what a message box disables, and where the
// activation may go. A hint window is never disabled nor activated.
std::vector<HWND> EnabledThreadWindows(HWND except);

// The optional start-up hook Initialize calls.
using TInitProc = void (*)();
void SetInitProc(TInitProc proc);

} // namespace velbrin
