#pragma once
// The library's top-level window. Its content comes from the form resources
// of its class chain, scaled to the screen; it owns a window owned by the
// application window, keeps track of the control that has (or will get) the
// focus, and closes through a query and an action, closing the main form
// ending the program.

#include "TScrollingWinControl.h"

#include <cstdint>
#include <string>

namespace velbrin {

class TControlCanvas;
class TIcon;

enum TFormBorderStyle : std::uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
// A set of TBorderIcon, bit n for element n.
enum TBorderIcons : std::uint8_t {};
inline constexpr TBorderIcons BorderIconBit(TBorderIcon icon) {
    return static_cast<TBorderIcons>(1u << icon);
}
inline constexpr bool HasIcon(TBorderIcons icons, TBorderIcon icon) {
    return (icons & (1u << icon)) != 0;
}
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter
};
enum TPrintScale : std::uint8_t { poNone, poProportional, poPrintToFit };
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

const TypeInfo& TypeInfoOf(TFormBorderStyle*);
const TypeInfo& TypeInfoOf(TBorderIcon*);
const TypeInfo& TypeInfoOf(TBorderIcons*);
const TypeInfo& TypeInfoOf(TWindowState*);
const TypeInfo& TypeInfoOf(TFormStyle*);
const TypeInfo& TypeInfoOf(TPosition*);
const TypeInfo& TypeInfoOf(TPrintScale*);

class TForm : public TScrollingWinControl {
    VELBRIN_CLASS(TForm, TScrollingWinControl)

public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // The rest of construction once the object is whole: the form resources
    // of the class chain are read (EResNotFound when a descendant class has
    // none), then OnCreate runs; only once. Construction through the class
    // reference (and so the application's MakeForm) runs it; a form of a
    // class with a resource that was constructed without it raises
    // EInvalidOperation when it is to get its window, rather than show up
    // empty.
    void CompleteConstruction();
    void AfterConstruction() override { CompleteConstruction(); }
    // Hides the form and runs OnDestroy while the form is still whole.
    void BeforeDestruction() override;

    // Virtual operations added to TWinControl's, in slot order.
    virtual void Activate();
    virtual void ActiveChanged();
    virtual void Deactivate();
    virtual void DoHide();
    virtual void DoShow();
    virtual void Paint();
    virtual void Resize();

    // TWinControl.
    bool IsFormRoot() const override { return true; }
    void FocusDescendant(TWinControl* control) override;
    void PrepareWindowSpec(TCreateParams& params) override;
    void BuildWindow() override;
    void PaintInto(HDC dc) override;
    void SetFocus() override;
    void ReadOwnState(TReader& reader) override;
    void DeclareStoredData(TFiler* filer) override;
    void ComponentNotice(TComponent* component, TOperation operation) override;
    // Drops `control` (and whatever lies inside it) as the active and the
    // focused control.
    void ForgetControl(const TControl* control);

    void Close();
    bool ConfirmClose();
    // Frees the form once the message being handled is done.
    void Release();
    // Records that `control` (or the form itself) took the window focus and
    // tells the controls on the way; false when the focus moved elsewhere
    // meanwhile.
    bool NoteFocusedControl(TWinControl* control) override;
    void DefocusControl(TWinControl* control, bool removing) override;
    void NoteCancelMode(TControl* sender) override;
    void HandleWindowMessage(TMessage& message) override;
    // With KeyPreview the form's own key steps run first.
    bool PreviewKey(TMessage& message) override;
    void FocusControl(TWinControl* control);

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    bool Active() const { return active_; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState value);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value);
    TPrintScale PrintScale() const { return printScale_; }
    void SetPrintScale(TPrintScale value) { printScale_ = value; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value);
    bool Scaled() const { return pixelsPerInch_ != 0; }
    void SetScaled(bool value);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }
    TControlCanvas* Canvas() const { return canvas_; }
    TIcon* Icon() const { return icon_; }
    void SetIcon(TIcon* icon);
    // The height of "0" in the form's font.
    int TextHeightOfFont();
    void SetFormClientWidth(int value);
    void SetFormClientHeight(int value);
    int FormClientWidth() { return ClientWidth(); }
    int FormClientHeight() { return ClientHeight(); }

    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnResize;
    TNotifyEvent OnShow;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

private:
    enum FormStateBit : std::uint8_t {
        fsCreating = 1 << 0,
        fsVisibleWish = 1 << 1,
        fsShowing = 1 << 2,
        fsModal = 1 << 3,
    };

    void SendIcon();
    void IconChanged(TObject* sender);
    void RunCreateEvent();
    void ScaleAfterReading();
    // Grows the client area by multiplier/divider where the stored size would
    // cut off the scaled children, keeping the window on the screen.
    void MakeRoomForScaledChildren(int multiplier, int divider, bool widthRead, bool heightRead);
    // What the form's stored data and its size and colour entries need.
    int WrittenTextHeight();
    bool IsFormSizeStored() const;
    bool IsClientSizeStored() const { return !IsFormSizeStored(); }
    bool IsFormColorStored() const { return Color() != Ctl3DColor(Ctl3D()); }
    static TColor Ctl3DColor(bool ctl3D);
    void SetActive(bool value);
    void SetWindowFocus();
    void ReportAndGoOn();
    bool FocusStillCurrent(int counter) const { return counter == focusCount_; }
    bool SendFocusNotice(TControl* control, UINT message, int counter);
    void ShowForm();
    void HideForm();
    TFormBorderStyle EffectiveBorderStyle() const;
    void RequireCompleteConstruction() const;
    bool HasFormState(std::uint8_t bit) const { return (formState_ & bit) != 0; }

    void WMActivate(TMessage& message);
    void WMSetFocus(TMessage& message);
    void WMClose(TMessage& message);
    void WMQueryEndSession(TMessage& message);
    void WMSysCommand(TMessage& message);
    void CMAppSysCommand(TMessage& message);
    void WMPaint(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMQueryDragIcon(TMessage& message);
    void WMSize(TMessage& message);
    void WMDestroy(TMessage& message);
    void CMShowingChanged(TMessage& message);
    void CMVisibleChanged(TMessage& message);
    void CMDialogKey(TMessage& message);
    void CMAppActivate(TMessage& message);
    void CMAppDeactivate(TMessage& message);
    void CMColorChanged(TMessage& message);
    void CMCtl3DChanged(TMessage& message);
    void CMFontChanged(TMessage& message);
    void CMIconChanged(TMessage& message);
    void CMRelease(TMessage& message);

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    bool active_ = false;
    TBorderIcons borderIcons_ = static_cast<TBorderIcons>(
        BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize));
    TFormBorderStyle borderStyle_ = bsSizeable;
    TWindowState windowState_ = wsNormal;
    bool keyPreview_ = false;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TPrintScale printScale_ = poProportional;
    std::uint8_t formState_ = 0;
    bool constructionComplete_ = false;
    int modalResult_ = 0;
    TControlCanvas* canvas_;
    TIcon* icon_;
    int pixelsPerInch_ = 0;
    int pendingClientWidth_ = 0;
    int pendingClientHeight_ = 0;
    int textHeight_ = 0;
    int focusCount_ = 0;
    bool destroyStepsDone_ = false;
    bool ignoreVisibleNotice_ = false;
};

} // namespace velbrin
