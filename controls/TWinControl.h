#pragma once
// A control that owns a real window. It describes and creates the window,
// binds it to the object so that every message of the window reaches the
// object's WindowEntry, reflects the notifications Windows sends a parent
// back to the child control that caused them, paints its non-windowed
// children, keeps its children with their tab order and alignment, and
// destroys and re-creates its window when needed.

#include "TControl.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace velbrin {

class TBrush;
class TList;

// How a window is to be made: filled by PrepareWindowSpec, used by BuildWindow.
struct TCreateParams {
    const char* Caption = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    char WinClassName[64]{};
};

// Receives what a message handler raised, with the control whose message it
// was; the application installs its error display here. Without a hook the
// message goes to the standard error stream.
// The control is null when the handler freed it.
using TExceptionReporter = std::function<void(TWinControl* control, std::exception_ptr error)>;
void SetExceptionReporter(TExceptionReporter reporter);

// What windowed controls ask of the screen and the application above them;
// the forms library installs it. Without it a control shows its window
// class's cursor, brings no window forward and switches no input method.
struct TControlEnvironment {
    // The cursor the screen shows over every control; crDefault for none.
    TCursor (*ScreenCursor)() = nullptr;
    HCURSOR (*CursorHandle)(TCursor cursor) = nullptr;
    HWND (*ApplicationWindow)() = nullptr;
    TWinControl* (*MainForm)() = nullptr;
    // The installed input methods: the default one's name and keyboard
    // layout, and the layout of one by name (0 when it is not installed).
    std::string (*DefaultIme)() = nullptr;
    HKL (*DefaultKeyboardLayout)() = nullptr;
    HKL (*ImeLayout)(const std::string& name) = nullptr;
};
void SetControlEnvironment(const TControlEnvironment& environment);
const TControlEnvironment& ControlEnvironment();
// Lets the window under the mouse choose its cursor again.
void RefreshCursorUnderMouse();

class TWinControl : public TControl {
    VELBRIN_CLASS(TWinControl, TControl)

public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Virtual operations added to TControl's, in slot order.
    virtual void ArrangeChildren(TControl* moved, RECT& rect);
    virtual void MakeWindow();
    virtual void PrepareWindowSpec(TCreateParams& params);
    virtual void CreateSystemWindow(const TCreateParams& params);
    virtual void BuildWindow();
    virtual void DestroySystemWindow();
    virtual void TearDownWindow();
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void PaintInto(HDC dc);
    virtual void CollectTabOrder(TList& list);
    virtual void SetFocus();

    // A top-level window that forms and dialogs build on answers true; the
    // parent form of a control is its topmost parent when that one does.
    virtual bool IsFormRoot() const { return false; }
    // Gives the window focus to `control`, a descendant; forms keep track of
    // their active control here.
    virtual void FocusDescendant(TWinControl* control);
    // Told by `control`, a descendant or the form itself, that its window
    // received the focus; false drops the WM_SETFOCUS.
    virtual bool NoteFocusedControl(TWinControl*) { return true; }
    // Told that `control`, a descendant, is hidden, disabled or (removing)
    // leaves its parent: a form stops counting it as its active control.
    virtual void DefocusControl(TWinControl*, bool /*removing*/) {}
    // Told that `sender`, this form or one of its controls, ends any mode
    // another control is in (a drop-down list, a drag).
    virtual void NoteCancelMode(TControl* /*sender*/) {}
    // Offered each key message of a descendant before the descendant's own
    // key steps; true when the form consumed the key.
    virtual bool PreviewKey(TMessage&) { return false; }

    // TControl.
    POINT GetClientOrigin() override;
    RECT GetClientRect() override;
    HDC TakeDC(HWND& window) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void SetBounds(int left, int top, int width, int height) override;
    void ScaleControl(int multiplier, int divider) override;
    void SetZOrder(bool top) override;
    void HandleWindowMessage(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void ReadOwnState(TReader& reader) override;

    // Every message of the window arrives here: it goes to MessageRouter,
    // cached device contexts are released afterwards, and what a handler
    // raised goes to the exception reporter instead of leaving.
    void WindowEntry(TMessage& message);

    // The window, created with its parents' windows first when missing.
    HWND Handle();
    bool HasWindow() const { return handle_ != nullptr; }
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND window);
    WNDPROC PriorWindowProc() const { return priorWindowProc_; }
    void RequireWindow();
    void DropWindow();
    void RebuildWindow();

    void AddChildControl(TControl* child);
    void RemoveChildControl(TControl* child);
    // Non-windowed children first, then the windowed ones.
    int ControlCount() const;
    TControl* Controls(int index) const;
    bool ContainsControl(const TControl* control) const;
    // Hands `message` to each child in turn until one answers non-zero.
    void Broadcast(TMessage& message);
    TControl* ChildAtPoint(POINT point, bool allowDisabled);
    static TControl* ControlAtScreenPoint(POINT screenPoint, bool allowDisabled);

    void ServicePaint(TMessage& message);
    void PaintGraphicChildren(HDC dc, TControl* first);
    void ScrollBy(int dx, int dy);

    // Alignment is held while the counter is above 0, and done when it
    // drops to 0 if it was asked for meanwhile.
    void DisableAlign();
    void EnableAlign();
    void Realign(TControl* moved = nullptr);
    void RefreshShowing();
    bool IsShowing() const { return isShowing_; }

    TWinControl* ParentForm();
    bool IsFocusable();
    bool Focused() const;
    TWinControl* NextTabControl(TWinControl* current, bool forward, bool checkTabStop,
                                bool checkParent);
    void FocusNextInTabOrder(TWinControl* current, bool forward, bool checkTabStop);
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value);
    TBrush* Brush() const { return brush_; }
    std::int32_t HelpContext() const { return helpContext_; }
    void SetHelpContext(std::int32_t value) { helpContext_ = value; }
    std::uint8_t ImeMode() const { return imeMode_; }
    void SetImeMode(std::uint8_t value) { imeMode_ = value; }
    const std::string& ImeName() const { return imeName_; }
    void SetImeName(std::string value) { imeName_ = std::move(value); }
    // An input-method composition is in progress in the window.
    bool ImeComposing() const { return imeComposing_; }

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // Whether a WM_SETFOCUS or WM_KILLFOCUS of this control's window, or of a
    // system child window that stands for it, ends before any handler.
    bool FocusNoticeSwallowed(const TMessage& message);
    // The key steps of WM_KEYDOWN and WM_SYSKEYDOWN, WM_KEYUP and WM_SYSKEYUP,
    // and WM_CHAR: the form's preview, then KeyDown, KeyUp or KeyPress. True
    // when the key was consumed or the control freed; otherwise the message
    // carries the key the step left. A control that wraps system child
    // windows offers their keys here too.
    bool DoKeyDown(TMessage& message);
    bool DoKeyUp(TMessage& message);
    bool DoKeyPress(TMessage& message);
    // The input method as the control gains or loses the focus.
    void AdjustInputMethod(bool focused);

private:
    friend class TControl;
    friend LRESULT BindCreatedWindow(HWND, UINT, WPARAM, LPARAM);

    void ReadBoundsFromWindow();
    void UpdateShowingState();
    void ArrangeNow(TControl* moved);
    void PlaceWindowInZOrder();
    void ApplyPendingTabOrder();
    void MoveInTabList(int position);
    void DrawChildFrames(HDC dc);
    bool RouteMouseToChild(TMessage& message);
    bool KeyEndsInDrag(const TMessage& message);
    bool ReflectToChild(TMessage& message, HWND child);
    bool KeyEventsAllowed() const;
    bool FormTakesKey(TMessage& message);
    TShiftState KeyShiftOf(const TMessage& message) const;

    void WMPaint(TMessage& message);
    void WMSize(TMessage& message);
    void WMMove(TMessage& message);
    void WMWindowPosChanged(TMessage& message);
    void WMDestroy(TMessage& message);
    void WMNCDestroy(TMessage& message);
    void WMCommand(TMessage& message);
    void WMParentNotify(TMessage& message);
    void WMNotify(TMessage& message);
    template <typename ItemRecord> void WMItemMessage(TMessage& message);
    void WMMeasureItem(TMessage& message);
    void WMKeyDown(TMessage& message);
    void WMKeyUp(TMessage& message);
    void WMChar(TMessage& message);
    void CMShowingChanged(TMessage& message);
    void DefocusInForm();
    void CMVisibleChanged(TMessage& message);
    void CMEnabledChanged(TMessage& message);
    void CMBroadcastToChildren(TMessage& message);
    void CMEnter(TMessage& message);
    void CMExit(TMessage& message);
    void CMControlListChange(TMessage& message);
    void CMChildKey(TMessage& message);
    void CMInvalidate(TMessage& message);
    void CMRecreateWnd(TMessage& message);
    void CMParentCtl3DChanged(TMessage& message);
    void CMCtl3DChanged(TMessage& message);
    void CMShowHintChanged(TMessage& message);
    void CMColorChanged(TMessage& message);
    void CMCursorChanged(TMessage& message);
    void InvalidateFrame();
    void WMSystemChange(TMessage& message);
    void CNKeyDown(TMessage& message);
    void CNKeyUp(TMessage& message);
    void CNChar(TMessage& message);
    void CNSysChar(TMessage& message);
    LRESULT AskFormForDialogKey(UINT number, const TMessage& message);
    void CMFontChanged(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMSetCursor(TMessage& message);
    bool BringLastActivePopupForward();
    void WMSysCommand(TMessage& message);
    void WMFocusChange(TMessage& message);
    void WMImeComposition(TMessage& message);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC priorWindowProc_ = nullptr;
    TList* graphicChildren_ = nullptr;
    TList* windowedChildren_ = nullptr;
    TList* tabList_ = nullptr;
    TBrush* brush_;
    bool tabStop_ = false;
    bool ctl3D_ = false;
    bool parentCtl3D_ = true;
    bool isShowing_ = false;
    std::int16_t pendingTabOrder_ = -1;
    std::int16_t alignLevel_ = 0;
    std::int32_t helpContext_ = 0;
    std::uint8_t imeMode_ = 3;
    std::string imeName_;
    bool imeComposing_ = false;
};

// The library control whose window `window` is, or null.
TWinControl* FindControl(HWND window);

// Forgets the window-property atoms and bound windows, for a test that has
// started the platform afresh.
void ResetControlsForTesting();

// Gives the two window-property atoms back as the library ends, once no
// control's window is left.
void ReleaseControlAtoms();

} // namespace velbrin
