#pragma once
// The base of everything shown in a window: bounds inside a parent windowed
// control, visibility and enabled state, a colour it may take from the
// parent, a caption, mouse events, and the procedure every message addressed
// to it passes through. A control that is not a TWinControl has no window of
// its own: it paints on its parent's device context and receives the mouse
// messages its parent hands on. Property changes are announced by sending the
// library's messages (Controls.h) to the control itself.

#include "Controls.h"
#include "core/TComponent.h"
#include "graphics/Graphics.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace velbrin {

class TFont;
class TWinControl;

class TControl : public TComponent {
    VELBRIN_CLASS(TControl, TComponent)

public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Sends a library or window message to this control through its
    // MessageRouter and returns the result; a null control answers 0.
    static LRESULT SendTo(TControl* control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendToSelf(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Virtual operations, in the library's slot order.
    virtual void ScaleControl(int multiplier, int divider);

    // Positions and sizes are held within this bound, whatever a form resource
    // or a caller gives, so that an edge (a position plus a size) and its
    // scaling never overflow.
    static constexpr int kBoundsLimit = 1 << 27;
    virtual void Click();
    virtual void DblClick();
    // Asks this control, the one under the mouse, whether it takes `source`.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    // The drag of this control ended over `target` (null: nothing took it).
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DoStartDrag(TObject*& dragObject);
    virtual POINT GetClientOrigin();
    virtual RECT GetClientRect();
    // A device context for painting this control; `window` receives the
    // window to release it with.
    virtual HDC TakeDC(HWND& window);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void SetDragMode(TDragMode mode);
    virtual void SetParent(TWinControl* parent);
    virtual void SetZOrder(bool top);
    virtual void VisibleChanging();
    virtual void HandleWindowMessage(TMessage& message);
    virtual void DragDrop(TObject* source, int x, int y);
    virtual void Invalidate();
    virtual void Repaint();
    virtual void SetBounds(int left, int top, int width, int height);
    virtual void Update();

    // TComponent.
    void DeclareStoredData(TFiler* filer) override;
    void ReadOwnState(TReader& reader) override;
    void SetName(const std::string& newName) override;
    void AttachToParent(TComponent* parent) override;
    TComponent* ParentForStreaming() override;
    bool HasStreamingParent() override;

    // Window messages with no handler end here: without a window the control
    // keeps its caption itself.
    void DefaultHandler(TMessage& message) override;

    TWinControl* Parent() const { return parent_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const RECT& rect);
    RECT ClientRect() { return GetClientRect(); }
    int ClientWidth();
    int ClientHeight();
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    POINT ClientOrigin() { return GetClientOrigin(); }
    POINT ClientToScreen(POINT point);
    POINT ScreenToClient(POINT point);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState state) { controlState_ = state; }
    bool HasControlStyle(TControlStyle bit) const { return (controlStyle_ & bit) != 0; }
    bool HasControlState(TControlState bit) const { return (controlState_ & bit) != 0; }

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFont* Font() const { return font_; }
    // Copies `font` into the control's own font.
    void SetFont(TFont* font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor value) { dragCursor_ = value; }
    TDragMode DragMode() const { return dragMode_; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool IsControl() const { return isControl_; }
    void SetIsControl(bool value) { isControl_ = value; }
    TScalingFlags ScalingFlags() const { return scalingFlags_; }
    // What descendants that publish Color, Font and ShowHint store: only
    // values that are not taken from the parent.
    bool IsColorStored() const { return !parentColor_; }
    bool IsFontStored() const { return !parentFont_; }
    bool IsShowHintStored() const { return !parentShowHint_; }

    // The caption; Text and Caption are the same property.
    std::string Text();
    void SetText(const std::string& value);
    std::string Caption() { return Text(); }
    void SetCaption(const std::string& value) { SetText(value); }
    int WindowTextLength();
    // Copies at most size - 1 bytes and a terminator; returns the length copied.
    int ReadWindowText(char* buffer, int size);
    void WriteWindowText(const char* text);

    // Drags this control with the mouse. Without `immediate` the drag starts
    // once the mouse has moved a few pixels with the button down; a form
    // cannot be dragged.
    void BeginDrag(bool immediate);
    // Ends the drag of this control, dropping it where the mouse is when
    // `drop` is set and the control there accepts it.
    void EndDrag(bool drop);
    bool Dragging() const;

    // Expires when the control is freed, so code after an event handler can
    // tell whether the handler freed its sender.
    std::weak_ptr<const int> LifeWatch() const { return life_; }
    // Whether this control is the library's capture control.
    bool MouseCapture() const;
    void SetMouseCapture(bool value);
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    // Invalidates the bounds in the parent's window; `opaque` leaves the
    // background unerased.
    void InvalidateControl(bool isVisible, bool opaque);
    // Visible, or designing and allowed to show while designing.
    bool ShowsNow() const;

    TWndMethod MessageRouter;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    // The parent's realignment after a change of this control.
    void RequestRealign();
    // Tells the focused control of this control's form that this one ends
    // any mode it is in (a drop-down list, a drag).
    void CancelModeNotice();
    void AddScalingFlags(TScalingFlags flags) { scalingFlags_ |= flags; }
    void IncludeControlState(TControlState bits) { controlState_ |= bits; }
    void ExcludeControlState(TControlState bits) {
        controlState_ = static_cast<TControlState>(controlState_ & ~bits);
    }
    // The bounds fields themselves, for classes that learn them from a window.
    void StoreBounds(int left, int top, int width, int height);
    static int Bounded(int extent);
    const std::string& KeptText() const { return keptText_; }
    void SetKeptText(std::string text) { keptText_ = std::move(text); }
    void FreeKeptText() { keptText_.clear(); }
    void SetParentField(TWinControl* parent) { parent_ = parent; }

private:
    friend class TWinControl;

    void FontChanged(TObject* sender);
    void HandleMouseMessage(TMessage& message);
    void HandleDragMessage(const TMessage& message);
    void DragTo(POINT screenPoint);
    bool BackgroundClipped() const;
    TShiftState ShiftOf(const TMessage& message) const;
    void PressButton(TMessage& message, TMouseButton button, TShiftState extra);

    void WMLButtonDown(TMessage& message);
    void WMLButtonDblClk(TMessage& message);
    void WMRButtonDown(TMessage& message);
    void WMRButtonDblClk(TMessage& message);
    void WMMButtonDown(TMessage& message);
    void WMMButtonDblClk(TMessage& message);
    void WMMouseMove(TMessage& message);
    void WMLButtonUp(TMessage& message);
    void WMRButtonUp(TMessage& message);
    void WMMButtonUp(TMessage& message);
    void WMNCLButtonDown(TMessage& message);
    void WMCancelMode(TMessage& message);
    void CMParentFontChanged(TMessage& message);
    void CMParentColorChanged(TMessage& message);
    void CMParentShowHintChanged(TMessage& message);
    void CMVisibleChanged(TMessage& message);
    void CMRepaintOnChange(TMessage& message);
    void CMHitTest(TMessage& message);
    void CMMouseEnterLeave(TMessage& message);
    void CMDesignerHit(TMessage& message);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool parentFont_ = true;
    bool parentColor_ = true;
    TAlign align_ = alNone;
    TDragMode dragMode_ = dmManual;
    bool isControl_ = false;
    std::string keptText_;
    TFont* font_;
    TColor color_ = clWindow;
    TCursor cursor_ = crDefault;
    TCursor dragCursor_ = crDrag;
    std::string hint_;
    std::int32_t fontHeight_;
    TScalingFlags scalingFlags_ = 0;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::shared_ptr<const int> life_ = std::make_shared<const int>(0);
};

// The control that has the mouse capture for the library, or null.
TControl* CaptureControl();
void SetCaptureControl(TControl* control);
// The control being dragged, or null; a freed control is forgotten there.
TControl* DraggedControl();
void ForgetInDrag(const TControl* control);

// Told of every mouse move a control receives, before its own handling; the
// application's hints install themselves here.
using TMouseMoveHook = void (*)(TControl* control, const TMessage& message);
void SetMouseMoveHook(TMouseMoveHook hook);
// Told of every control as it is freed, before its fields go, so that what
// remembers it (the application, the screen, its form) forgets it: a windowed
// control is told of while it is still one, and again as a plain control.
using TControlFreedHook = void (*)(TControl* control);
void SetControlFreedHook(TControlFreedHook hook);
// Tells the installed hook, if any, that `control` is going.
void NoteControlFreed(TControl* control);

} // namespace velbrin
