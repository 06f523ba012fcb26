#include "TControl.h"

#include "TWinControl.h"
#include "core/TFiler.h"
#include "core/TList.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "core/TypeInfo.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velbrin {

namespace {

TControl* captureControl = nullptr;
TMouseMoveHook mouseMoveHook = nullptr;
TControlFreedHook controlFreedHook = nullptr;

bool IsEdge(TAlign align) {
    return align == alTop || align == alBottom || align == alLeft || align == alRight;
}

bool IsHorizontalEdge(TAlign align) {
    return align == alTop || align == alBottom;
}

} // namespace

TControl* CaptureControl() {
    TWinControl* captured = FindControl(GetCapture());
    if (captured == nullptr) {
        return nullptr;
    }
    if (captureControl != nullptr && captureControl->Parent() == captured) {
        return captureControl;
    }
    return captured;
}

void SetMouseMoveHook(TMouseMoveHook hook) {
    mouseMoveHook = hook;
}

void SetControlFreedHook(TControlFreedHook hook) {
    controlFreedHook = hook;
}

void NoteControlFreed(TControl* control) {
    if (controlFreedHook != nullptr) {
        controlFreedHook(control);
    }
}

void SetCaptureControl(TControl* control) {
    ReleaseCapture();
    captureControl = nullptr;
    if (control == nullptr) {
        return;
    }
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        SetCapture(windowed->Handle());
        return;
    }
    if (control->Parent() == nullptr) {
        return;
    }
    captureControl = control;
    SetCapture(control->Parent()->Handle());
}

const TypeInfo& TypeInfoOf(TAlign*) {
    static const TypeInfo type = EnumerationTypeInfo(
        "TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return type;
}

const TypeInfo& TypeInfoOf(TDragMode*) {
    static const TypeInfo type = EnumerationTypeInfo("TDragMode", {"dmManual", "dmAutomatic"});
    return type;
}

VELBRIN_DEFINE_CLASS_TABLES(TControl, TComponent, "Controls") {
    cls.Property("Left", Field<&TControl::left_>, Call<&TControl::SetLeft>);
    cls.Property("Top", Field<&TControl::top_>, Call<&TControl::SetTop>);
    cls.Property("Width", Field<&TControl::width_>, Call<&TControl::SetWidth>);
    cls.Property("Height", Field<&TControl::height_>, Call<&TControl::SetHeight>);
    cls.Property("Cursor", Field<&TControl::cursor_>, Call<&TControl::SetCursor>).Default(0);
    cls.Property("Hint", Field<&TControl::hint_>, Call<&TControl::SetHint>);

    cls.Handle<WM_LBUTTONDOWN, &TControl::WMLButtonDown>();
    cls.Handle<WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk>();
    cls.Handle<WM_RBUTTONDOWN, &TControl::WMRButtonDown>();
    cls.Handle<WM_RBUTTONDBLCLK, &TControl::WMRButtonDblClk>();
    cls.Handle<WM_MBUTTONDOWN, &TControl::WMMButtonDown>();
    cls.Handle<WM_MBUTTONDBLCLK, &TControl::WMMButtonDblClk>();
    cls.Handle<WM_MOUSEMOVE, &TControl::WMMouseMove>();
    cls.Handle<WM_LBUTTONUP, &TControl::WMLButtonUp>();
    cls.Handle<WM_RBUTTONUP, &TControl::WMRButtonUp>();
    cls.Handle<WM_MBUTTONUP, &TControl::WMMButtonUp>();
    cls.Handle<WM_NCLBUTTONDOWN, &TControl::WMNCLButtonDown>();
    cls.Handle<WM_CANCELMODE, &TControl::WMCancelMode>();
    cls.Handle<CM_PARENT_FONT_CHANGED, &TControl::CMParentFontChanged>();
    cls.Handle<CM_PARENT_COLOR_CHANGED, &TControl::CMParentColorChanged>();
    cls.Handle<CM_PARENT_SHOW_HINT_CHANGED, &TControl::CMParentShowHintChanged>();
    cls.Handle<CM_VISIBLE_CHANGED, &TControl::CMVisibleChanged>();
    cls.Handle<CM_ENABLED_CHANGED, &TControl::CMRepaintOnChange>();
    cls.Handle<CM_COLOR_CHANGED, &TControl::CMRepaintOnChange>();
    cls.Handle<CM_FONT_CHANGED, &TControl::CMRepaintOnChange>();
    cls.Handle<CM_HIT_TEST, &TControl::CMHitTest>();
    cls.Handle<CM_MOUSE_ENTER, &TControl::CMMouseEnterLeave>();
    cls.Handle<CM_MOUSE_LEAVE, &TControl::CMMouseEnterLeave>();
    cls.Handle<CM_DESIGNER_HIT, &TControl::CMDesignerHit>();
}

TControl::TControl(TComponent* owner)
    : TComponent(owner), font_(new TFont), fontHeight_(font_->Height()) {
    MessageRouter = TWndMethod::Of<&TControl::HandleWindowMessage>(this);
    font_->OnChange = TNotifyEvent::Of<&TControl::FontChanged>(this);
}

TControl::~TControl() {
    NoteControlFreed(this);
    ForgetInDrag(this);
    if (captureControl == this) {
        SetCaptureControl(nullptr);
    }
    SetParent(nullptr);
    delete font_;
}

LRESULT TControl::SendTo(TControl* control, UINT message, WPARAM wParam, LPARAM lParam) {
    return control == nullptr ? 0 : control->SendToSelf(message, wParam, lParam);
}

LRESULT TControl::SendToSelf(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage record{message, wParam, lParam, 0};
    MessageRouter(record);
    return record.Result;
}

// ---------------------------------------------------------------- bounds

int TControl::Bounded(int extent) {
    return std::clamp(extent, -kBoundsLimit, kBoundsLimit);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    left = Bounded(left);
    top = Bounded(top);
    width = Bounded(width);
    height = Bounded(height);
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    InvalidateControl(visible_, HasControlStyle(csOpaque));
    StoreBounds(left, top, width, height);
    Invalidate();
    SendToSelf(WM_WINDOWPOSCHANGED);
    RequestRealign();
}

void TControl::StoreBounds(int left, int top, int width, int height) {
    left_ = Bounded(left);
    top_ = Bounded(top);
    width_ = Bounded(width);
    height_ = Bounded(height);
}

void TControl::SetLeft(int value) {
    SetBounds(value, top_, width_, height_);
    AddScalingFlags(sfLeft);
}

void TControl::SetTop(int value) {
    SetBounds(left_, value, width_, height_);
    AddScalingFlags(sfTop);
}

void TControl::SetWidth(int value) {
    SetBounds(left_, top_, value, height_);
    AddScalingFlags(sfWidth);
}

void TControl::SetHeight(int value) {
    SetBounds(left_, top_, width_, value);
    AddScalingFlags(sfHeight);
}

void TControl::SetBoundsRect(const RECT& rect) {
    SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

RECT TControl::GetClientRect() {
    return {0, 0, width_, height_};
}

int TControl::ClientWidth() {
    return ClientRect().right;
}

int TControl::ClientHeight() {
    return ClientRect().bottom;
}

void TControl::SetClientWidth(int value) {
    SetWidth(width_ - ClientWidth() + value);
}

void TControl::SetClientHeight(int value) {
    SetHeight(height_ - ClientHeight() + value);
}

POINT TControl::GetClientOrigin() {
    if (parent_ == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    POINT origin = parent_->ClientOrigin();
    origin.x += left_;
    origin.y += top_;
    return origin;
}

POINT TControl::ClientToScreen(POINT point) {
    const POINT origin = ClientOrigin();
    return {point.x + origin.x, point.y + origin.y};
}

POINT TControl::ScreenToClient(POINT point) {
    const POINT origin = ClientOrigin();
    return {point.x - origin.x, point.y - origin.y};
}

HDC TControl::TakeDC(HWND& window) {
    if (parent_ == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    HDC dc = parent_->TakeDC(window);
    SetViewportOrgEx(dc, left_, top_, nullptr);
    IntersectClipRect(dc, 0, 0, width_, height_);
    return dc;
}

void TControl::ScaleControl(int multiplier, int divider) {
    if (multiplier != divider) {
        const TScalingFlags flags = HasState(csLoading) ? scalingFlags_ : sfAll;
        int left = left_;
        int top = top_;
        int width = width_;
        int height = height_;
        if ((flags & sfLeft) != 0) {
            left = MulDiv(left_, multiplier, divider);
        }
        if ((flags & sfTop) != 0) {
            top = MulDiv(top_, multiplier, divider);
        }
        // The far edge is scaled, so neighbouring controls stay adjacent.
        if ((flags & sfWidth) != 0 && !HasControlStyle(csFixedWidth)) {
            width = MulDiv(left_ + width_, multiplier, divider) - left;
        }
        if ((flags & sfHeight) != 0 && !HasControlStyle(csFixedHeight)) {
            height = MulDiv(top_ + height_, multiplier, divider) - top;
        }
        SetBounds(left, top, width, height);
        if ((flags & sfFont) != 0 && !parentFont_) {
            font_->SetSize(MulDiv(font_->Size(), multiplier, divider));
        }
    }
    scalingFlags_ = 0;
}

// ---------------------------------------------------------------- painting

bool TControl::ShowsNow() const {
    return visible_ || (HasState(csDesigning) && !HasControlStyle(csNoDesignVisible));
}

void TControl::Invalidate() {
    InvalidateControl(visible_, HasControlStyle(csOpaque));
}

void TControl::InvalidateControl(bool isVisible, bool opaque) {
    const bool mayShow =
        isVisible || (HasState(csDesigning) && !HasControlStyle(csNoDesignVisible));
    if (!mayShow || parent_ == nullptr || !parent_->HasWindow()) {
        return;
    }
    const RECT bounds = BoundsRect();
    const bool erase = !(opaque || parent_->HasControlStyle(csOpaque) || BackgroundClipped());
    InvalidateRect(parent_->Handle(), &bounds, erase ? TRUE : FALSE);
}

// Some opaque sibling painted before this one covers it completely.
bool TControl::BackgroundClipped() const {
    TList* siblings = parent_->graphicChildren_;
    if (siblings == nullptr) {
        return false;
    }
    const RECT own = BoundsRect();
    for (int i = siblings->IndexOf(this) - 1; i >= 0; --i) {
        const auto* sibling = static_cast<const TControl*>(siblings->Get(i));
        if (!sibling->HasControlStyle(csOpaque)) {
            continue;
        }
        const RECT other = sibling->BoundsRect();
        if (other.left <= own.left && other.top <= own.top && other.right >= own.right &&
            other.bottom >= own.bottom) {
            return true;
        }
    }
    return false;
}

void TControl::Update() {
    if (parent_ != nullptr) {
        parent_->Update();
    }
}

void TControl::Repaint() {
    if (!ShowsNow() || parent_ == nullptr || !parent_->HasWindow()) {
        return;
    }
    if (!HasControlStyle(csOpaque)) {
        Invalidate();
        Update();
        return;
    }
    HWND window = parent_->Handle();
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        throw ResourceError<EOutOfResources>(SWindowDCError);
    }
    try {
        IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
        parent_->PaintGraphicChildren(dc, this);
    } catch (...) {
        ReleaseDC(window, dc);
        throw;
    }
    ReleaseDC(window, dc);
}

void TControl::SetZOrder(bool top) {
    if (parent_ == nullptr || parent_->graphicChildren_ == nullptr) {
        return;
    }
    TList& list = *parent_->graphicChildren_;
    const int index = list.IndexOf(this);
    if (index < 0) {
        return;
    }
    const int target = top ? list.Count() - 1 : 0;
    if (index != target) {
        list.Delete(index);
        list.Insert(target, this);
        Invalidate();
    }
}

// ---------------------------------------------------------------- parent

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) {
        return;
    }
    if (parent == this) {
        throw ResourceError<EInvalidOperation>(SControlParentSetToSelf);
    }
    if (parent_ != nullptr) {
        parent_->RemoveChildControl(this);
    }
    if (parent != nullptr) {
        parent->AddChildControl(this);
    }
}

void TControl::RequestRealign() {
    if (parent_ != nullptr) {
        parent_->Realign(this);
    }
}

void TControl::AttachToParent(TComponent* parent) {
    if (auto* windowed = dynamic_cast<TWinControl*>(parent)) {
        SetParent(windowed);
    }
}

TComponent* TControl::ParentForStreaming() {
    return parent_;
}

bool TControl::HasStreamingParent() {
    return parent_ != nullptr;
}

void TControl::ReadOwnState(TReader& reader) {
    IncludeControlState(csReadingState);
    try {
        if (auto* windowed = dynamic_cast<TWinControl*>(reader.Parent())) {
            SetParent(windowed);
        }
        TComponent::ReadOwnState(reader);
    } catch (...) {
        ExcludeControlState(csReadingState);
        throw;
    }
    ExcludeControlState(csReadingState);
    if (parent_ != nullptr) {
        SendToSelf(CM_PARENT_COLOR_CHANGED);
        SendToSelf(CM_PARENT_FONT_CHANGED);
        SendToSelf(CM_PARENT_SHOW_HINT_CHANGED);
    }
}

void TControl::DeclareStoredData(TFiler* filer) {
    TComponent::DeclareStoredData(filer);
    const auto* ancestor = dynamic_cast<const TControl*>(filer->Ancestor());
    const bool differs = ancestor != nullptr ? ancestor->isControl_ != isControl_ : isControl_;
    filer->DeclareStoredValue(
        "IsControl", [this](TReader& reader) { isControl_ = reader.ReadBoolean(); },
        [this](TWriter& writer) { writer.WriteBoolean(isControl_); }, differs);
}

void TControl::SetName(const std::string& newName) {
    const auto* ownerControl = dynamic_cast<const TControl*>(Owner());
    const bool follows = HasControlStyle(csSetCaption) && Text() == Name() &&
                         !(ownerControl != nullptr && ownerControl->HasState(csLoading));
    TComponent::SetName(newName);
    if (follows) {
        SetText(newName);
    }
}

// ---------------------------------------------------------------- properties

void TControl::SetVisible(bool value) {
    if (value == visible_) {
        return;
    }
    VisibleChanging();
    visible_ = value;
    SendToSelf(CM_VISIBLE_CHANGED, value ? 1 : 0);
    RequestRealign();
}

void TControl::VisibleChanging() {}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) {
        return;
    }
    enabled_ = value;
    SendToSelf(CM_ENABLED_CHANGED);
}

void TControl::SetFont(TFont* font) {
    font_->Assign(font);
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) {
        return;
    }
    parentFont_ = value;
    if (parent_ != nullptr) {
        SendToSelf(CM_PARENT_FONT_CHANGED);
    }
}

void TControl::FontChanged(TObject*) {
    parentFont_ = false;
    if (font_->Height() != fontHeight_) {
        AddScalingFlags(sfFont);
        fontHeight_ = font_->Height();
    }
    SendToSelf(CM_FONT_CHANGED);
}

void TControl::SetColor(TColor value) {
    if (value == color_) {
        return;
    }
    color_ = value;
    parentColor_ = false;
    SendToSelf(CM_COLOR_CHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) {
        return;
    }
    parentColor_ = value;
    if (parent_ != nullptr) {
        SendToSelf(CM_PARENT_COLOR_CHANGED);
    }
}

void TControl::SetShowHint(bool value) {
    if (value == showHint_) {
        return;
    }
    showHint_ = value;
    parentShowHint_ = false;
    SendToSelf(CM_SHOW_HINT_CHANGED);
}

void TControl::SetParentShowHint(bool value) {
    if (value == parentShowHint_) {
        return;
    }
    parentShowHint_ = value;
    if (parent_ != nullptr) {
        SendToSelf(CM_PARENT_SHOW_HINT_CHANGED);
    }
}

void TControl::SetCursor(TCursor value) {
    if (value == cursor_) {
        return;
    }
    cursor_ = value;
    SendToSelf(CM_CURSOR_CHANGED);
}

void TControl::SetDragMode(TDragMode mode) {
    dragMode_ = mode;
}

void TControl::SetAlign(TAlign value) {
    if (value == align_) {
        return;
    }
    const TAlign old = align_;
    align_ = value;
    if (!HasState(csLoading) && IsEdge(old) && IsEdge(value) &&
        IsHorizontalEdge(old) != IsHorizontalEdge(value)) {
        SetBounds(left_, top_, height_, width_);
    }
    RequestRealign();
}

// ---------------------------------------------------------------- text

int TControl::WindowTextLength() {
    return static_cast<int>(SendToSelf(WM_GETTEXTLENGTH));
}

int TControl::ReadWindowText(char* buffer, int size) {
    return static_cast<int>(
        SendToSelf(WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

void TControl::WriteWindowText(const char* text) {
    SendToSelf(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string TControl::Text() {
    const int length = WindowTextLength();
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ReadWindowText(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
    return text;
}

void TControl::SetText(const std::string& value) {
    if (value == Text()) {
        return;
    }
    WriteWindowText(value.c_str());
    SendToSelf(CM_TEXT_CHANGED);
}

void TControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_SETTEXT:
        keptText_ = message.LParam != 0 ? reinterpret_cast<const char*>(message.LParam) : "";
        message.Result = TRUE;
        break;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char*>(message.LParam);
        const auto size = static_cast<std::size_t>(message.WParam);
        if (buffer == nullptr || size == 0) {
            message.Result = 0;
            break;
        }
        const std::size_t copied = std::min(keptText_.size(), size - 1);
        std::memcpy(buffer, keptText_.data(), copied);
        buffer[copied] = '\0';
        message.Result = static_cast<LRESULT>(copied);
        break;
    }
    case WM_GETTEXTLENGTH:
        message.Result = static_cast<LRESULT>(keptText_.size());
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- mouse

bool TControl::MouseCapture() const {
    return CaptureControl() == this;
}

void TControl::SetMouseCapture(bool value) {
    if (value == MouseCapture()) {
        return;
    }
    SetCaptureControl(value ? this : nullptr);
}

void TControl::HandleWindowMessage(TMessage& message) {
    if (IsClientMouseMessage(message.Msg)) {
        if (DraggedControl() == this) {
            HandleDragMessage(message);
            return;
        }
        HandleMouseMessage(message);
        if (message.Msg == 0) {
            return;
        }
    }
    Dispatch(message);
}

// Renumbers double clicks for controls that do not take them and keeps the
// left-button state; a press on a control that drags itself starts the drag
// and goes no further.
void TControl::HandleMouseMessage(TMessage& message) {
    if (!HasControlStyle(csDoubleClicks)) {
        switch (message.Msg) {
        case WM_LBUTTONDBLCLK:
            message.Msg = WM_LBUTTONDOWN;
            break;
        case WM_RBUTTONDBLCLK:
            message.Msg = WM_RBUTTONDOWN;
            break;
        case WM_MBUTTONDBLCLK:
            message.Msg = WM_MBUTTONDOWN;
            break;
        default:
            break;
        }
    }
    if (message.Msg == WM_MOUSEMOVE && mouseMoveHook != nullptr) {
        mouseMoveHook(this, message);
    }
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
        if (dragMode_ == dmAutomatic && !HasState(csDesigning)) {
            BeginDrag(false);
            message.Msg = 0;
            return;
        }
        IncludeControlState(csLButtonDown);
    } else if (message.Msg == WM_LBUTTONUP) {
        ExcludeControlState(csLButtonDown);
    }
}

TShiftState TControl::ShiftOf(const TMessage& message) const {
    const auto keys = static_cast<UINT>(message.WParam);
    TShiftState shift = 0;
    if ((keys & MK_SHIFT) != 0) {
        shift |= ssShift;
    }
    if ((keys & MK_CONTROL) != 0) {
        shift |= ssCtrl;
    }
    if ((keys & MK_LBUTTON) != 0) {
        shift |= ssLeft;
    }
    if ((keys & MK_RBUTTON) != 0) {
        shift |= ssRight;
    }
    if ((keys & MK_MBUTTON) != 0) {
        shift |= ssMiddle;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= ssAlt;
    }
    return shift;
}

// The form's active control learns that a mouse press elsewhere began.
void TControl::CancelModeNotice() {
    TWinControl* form = nullptr;
    for (TControl* c = this; c != nullptr; c = c->parent_) {
        form = dynamic_cast<TWinControl*>(c);
    }
    if (form != nullptr && form->IsFormRoot()) {
        form->NoteCancelMode(this);
    }
}

void TControl::PressButton(TMessage& message, TMouseButton button, TShiftState extra) {
    if (!HasControlStyle(csNoStdEvents)) {
        const POINT point = PointOfMessage(message);
        MouseDown(button, static_cast<TShiftState>(ShiftOf(message) | extra), point.x, point.y);
    }
}

void TControl::WMLButtonDown(TMessage& message) {
    CancelModeNotice();
    Inherited(message);
    if (HasControlStyle(csCaptureMouse)) {
        SetMouseCapture(true);
    }
    if (HasControlStyle(csClickEvents)) {
        IncludeControlState(csClicked);
    }
    PressButton(message, mbLeft, 0);
}

void TControl::WMLButtonDblClk(TMessage& message) {
    CancelModeNotice();
    Inherited(message);
    if (HasControlStyle(csCaptureMouse)) {
        SetMouseCapture(true);
    }
    if (HasControlStyle(csClickEvents)) {
        const auto watch = LifeWatch();
        DblClick();
        if (watch.expired()) {
            return;
        }
    }
    PressButton(message, mbLeft, ssDouble);
}

void TControl::WMRButtonDown(TMessage& message) {
    Inherited(message);
    PressButton(message, mbRight, 0);
}

void TControl::WMRButtonDblClk(TMessage& message) {
    Inherited(message);
    PressButton(message, mbRight, ssDouble);
}

void TControl::WMMButtonDown(TMessage& message) {
    Inherited(message);
    PressButton(message, mbMiddle, 0);
}

void TControl::WMMButtonDblClk(TMessage& message) {
    Inherited(message);
    PressButton(message, mbMiddle, ssDouble);
}

void TControl::WMMouseMove(TMessage& message) {
    Inherited(message);
    if (!HasControlStyle(csNoStdEvents)) {
        const POINT point = PointOfMessage(message);
        MouseMove(ShiftOf(message), point.x, point.y);
    }
}

void TControl::WMLButtonUp(TMessage& message) {
    Inherited(message);
    if (HasControlStyle(csCaptureMouse)) {
        SetMouseCapture(false);
    }
    const POINT point = PointOfMessage(message);
    if (HasControlState(csClicked)) {
        ExcludeControlState(csClicked);
        const RECT client = ClientRect();
        if (point.x >= client.left && point.x < client.right && point.y >= client.top &&
            point.y < client.bottom) {
            const auto watch = LifeWatch();
            Click();
            if (watch.expired()) {
                return;
            }
        }
    }
    if (!HasControlStyle(csNoStdEvents)) {
        MouseUp(mbLeft, ShiftOf(message), point.x, point.y);
    }
}

void TControl::WMRButtonUp(TMessage& message) {
    Inherited(message);
    if (!HasControlStyle(csNoStdEvents)) {
        const POINT point = PointOfMessage(message);
        MouseUp(mbRight, ShiftOf(message), point.x, point.y);
    }
}

void TControl::WMMButtonUp(TMessage& message) {
    Inherited(message);
    if (!HasControlStyle(csNoStdEvents)) {
        const POINT point = PointOfMessage(message);
        MouseUp(mbMiddle, ShiftOf(message), point.x, point.y);
    }
}

void TControl::WMNCLButtonDown(TMessage& message) {
    CancelModeNotice();
    Inherited(message);
}

void TControl::WMCancelMode(TMessage& message) {
    Inherited(message);
    EndDrag(false);
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (HasControlState(csLButtonDown)) {
            SendToSelf(WM_LBUTTONUP, 0, PointToLParam({-1, -1}));
        }
    }
}

void TControl::Click() {
    OnClick(this);
}

// ---------------------------------------------------------------- drag and drop

namespace {

// The one drag in progress: the control dragged, the object it named to drag
// in its place, where the button went down, whether the mouse has moved far
// enough for the drag to begin, and the control under the mouse with its
// answer.
struct DragState {
    TControl* control = nullptr;
    TObject* object = nullptr;
    POINT start{};
    bool started = false;
    TControl* target = nullptr;
    bool accepted = false;

    TObject* Source() const { return object != nullptr ? object : control; }
};

DragState drag;

// How far the mouse moves with the button down before a drag that was not
// asked to start at once begins.
constexpr int kDragThreshold = 5;

void ShowCursor(TCursor cursor) {
    const TControlEnvironment& environment = ControlEnvironment();
    if (environment.CursorHandle) {
        ::SetCursor(environment.CursorHandle(cursor));
    }
}

} // namespace

TControl* DraggedControl() {
    return drag.control;
}

void ForgetInDrag(const TControl* control) {
    if (drag.control == control) {
        drag = DragState{};
    } else if (drag.target == control) {
        drag.target = nullptr;
        drag.accepted = false;
    }
}

bool TControl::Dragging() const {
    return drag.control == this;
}

void TControl::BeginDrag(bool immediate) {
    if (auto* windowed = dynamic_cast<TWinControl*>(this); windowed && windowed->IsFormRoot()) {
        throw ResourceError<EInvalidOperation>(SCannotDragForm);
    }
    if (drag.control != nullptr) {
        return;
    }
    drag = DragState{};
    drag.control = this;
    GetCursorPos(&drag.start);
    SetMouseCapture(true);
    if (immediate) {
        drag.started = true;
        DoStartDrag(drag.object);
        if (Dragging()) {
            DragTo(drag.start);
        }
    }
}

void TControl::HandleDragMessage(const TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        DragTo(ClientToScreen(PointOfMessage(message)));
        break;
    case WM_LBUTTONUP:
        EndDrag(true);
        break;
    case WM_RBUTTONDOWN:
        EndDrag(false);
        break;
    default:
        break;
    }
}

// The control under the mouse is asked whether it takes the drop: once as
// the mouse enters it, at every move, and once as the mouse leaves it.
void TControl::DragTo(POINT screenPoint) {
    if (!drag.started) {
        if (std::abs(screenPoint.x - drag.start.x) < kDragThreshold &&
            std::abs(screenPoint.y - drag.start.y) < kDragThreshold) {
            return;
        }
        drag.started = true;
        DoStartDrag(drag.object);
        if (!Dragging()) {
            return;
        }
    }
    TControl* target = TWinControl::ControlAtScreenPoint(screenPoint, false);
    if (target != drag.target) {
        if (drag.target != nullptr) {
            bool ignored = false;
            const POINT at = drag.target->ScreenToClient(screenPoint);
            drag.target->DragOver(drag.Source(), at.x, at.y, dsDragLeave, ignored);
        }
        drag.target = target;
        drag.accepted = false;
        if (target != nullptr) {
            const POINT at = target->ScreenToClient(screenPoint);
            target->DragOver(drag.Source(), at.x, at.y, dsDragEnter, drag.accepted);
        }
    } else if (target != nullptr) {
        const POINT at = target->ScreenToClient(screenPoint);
        target->DragOver(drag.Source(), at.x, at.y, dsDragMove, drag.accepted);
    }
    if (Dragging()) {
        ShowCursor(drag.target != nullptr && drag.accepted ? dragCursor_ : crNoDrop);
    }
}

// The control under the mouse hears the drag leave it, takes the drop if it
// accepted it, and the dragged control learns where it ended. A press that
// never moved far enough was no drag: nothing is told.
void TControl::EndDrag(bool drop) {
    if (!Dragging()) {
        return;
    }
    const DragState ended = drag;
    drag = DragState{};
    SetMouseCapture(false);
    if (!ended.started) {
        return;
    }
    POINT screen{};
    GetCursorPos(&screen);
    TControl* target = drop && ended.accepted ? ended.target : nullptr;
    if (ended.target != nullptr) {
        bool ignored = false;
        const POINT at = ended.target->ScreenToClient(screen);
        ended.target->DragOver(ended.Source(), at.x, at.y, dsDragLeave, ignored);
    }
    const POINT at = target != nullptr ? target->ScreenToClient(screen) : screen;
    if (target != nullptr) {
        target->DragDrop(ended.Source(), at.x, at.y);
    }
    DoEndDrag(target, at.x, at.y);
    RefreshCursorUnderMouse();
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = false;
    OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag(TObject*& dragObject) {
    OnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    OnEndDrag(this, target, x, y);
}

void TControl::DblClick() {
    OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}

// ---------------------------------------------------------------- library messages

void TControl::CMParentFontChanged(TMessage&) {
    if (parentFont_ && parent_ != nullptr) {
        SetFont(parent_->Font());
        parentFont_ = true;
    }
}

void TControl::CMParentColorChanged(TMessage&) {
    if (parentColor_ && parent_ != nullptr) {
        SetColor(parent_->Color());
        parentColor_ = true;
    }
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (parentShowHint_ && parent_ != nullptr) {
        SetShowHint(parent_->ShowHint());
        parentShowHint_ = true;
    }
}

void TControl::CMVisibleChanged(TMessage&) {
    if (!HasState(csDesigning) || HasControlStyle(csNoDesignVisible)) {
        InvalidateControl(true, visible_ && HasControlStyle(csOpaque));
    }
}

void TControl::CMRepaintOnChange(TMessage&) {
    Invalidate();
}

void TControl::CMHitTest(TMessage& message) {
    message.Result = 1;
}

void TControl::CMMouseEnterLeave(TMessage& message) {
    if (parent_ != nullptr) {
        parent_->SendToSelf(message.Msg, 0, reinterpret_cast<LPARAM>(this));
    }
}

void TControl::CMDesignerHit(TMessage& message) {
    message.Result = 0;
}

} // namespace velbrin
