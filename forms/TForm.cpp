#include "TForm.h"

#include "Forms.h"
#include "TApplication.h"
#include "TScreen.h"
#include "controls/TControlCanvas.h"
#include "core/ClassTables.h"
#include "core/TFiler.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"
#include "graphics/TIcon.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

namespace {

constexpr DWORD kTopLevelStyleMask = 0xBFFCFFFF;
// WM_SETICON: the icon of the caption and the task bar.
constexpr WPARAM kBigIcon = 1;
constexpr UINT kHideWithoutActivating =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;
constexpr int kLowestPixelsPerInch = 36;

bool IsInside(const TControl* control, const TControl* ancestor) {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == ancestor) {
            return true;
        }
    }
    return false;
}

TApplication* App() {
    return Application;
}

// The screen's device context while it lives; 0 when there is none to have.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_ != nullptr) {
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;

    HDC Handle() const { return dc_; }

private:
    HDC dc_;
};

} // namespace

const TypeInfo& TypeInfoOf(TFormBorderStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                                                 "bsToolWindow", "bsSizeToolWin"});
    return type;
}

const TypeInfo& TypeInfoOf(TBorderIcon*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    return type;
}

const TypeInfo& TypeInfoOf(TBorderIcons*) {
    static const TypeInfo type =
        SetTypeInfo("TBorderIcons", TypeInfoOf(static_cast<TBorderIcon*>(nullptr)));
    return type;
}

const TypeInfo& TypeInfoOf(TWindowState*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
    return type;
}

const TypeInfo& TypeInfoOf(TFormStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    return type;
}

const TypeInfo& TypeInfoOf(TPosition*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly",
                                          "poDefaultSizeOnly", "poScreenCenter"});
    return type;
}

const TypeInfo& TypeInfoOf(TPrintScale*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TPrintScale", {"poNone", "poProportional", "poPrintToFit"});
    return type;
}

VELBRIN_DEFINE_CLASS_TABLES(TForm, TScrollingWinControl, "Forms") {
    cls.Property("ActiveControl", Field<&TForm::activeControl_>, Call<&TForm::SetActiveControl>);
    cls.Property("BorderIcons", Field<&TForm::borderIcons_>, Call<&TForm::SetBorderIcons>)
        .Default(BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) |
                 BorderIconBit(biMaximize));
    cls.Property("BorderStyle", Field<&TForm::borderStyle_>, Call<&TForm::SetBorderStyle>)
        .Default(bsSizeable);
    cls.Property("AutoScroll", Call<&TScrollingWinControl::AutoScroll>,
                 Call<&TScrollingWinControl::SetAutoScroll>)
        .Default(1);
    cls.Property("Caption", Call<&TControl::Caption>, Call<&TControl::SetCaption>);
    cls.Property("ClientHeight", Call<&TForm::FormClientHeight>, Call<&TForm::SetFormClientHeight>)
        .Stored(Call<&TForm::IsClientSizeStored>);
    cls.Property("ClientWidth", Call<&TForm::FormClientWidth>, Call<&TForm::SetFormClientWidth>)
        .Stored(Call<&TForm::IsClientSizeStored>);
    cls.Property("Ctl3D", Call<&TWinControl::Ctl3D>, Call<&TWinControl::SetCtl3D>).Default(1);
    cls.Property("Color", ColorType, Call<&TControl::Color>, Call<&TControl::SetColor>)
        .Stored(Call<&TForm::IsFormColorStored>);
    cls.Property("Enabled", Call<&TControl::Enabled>, Call<&TControl::SetEnabled>).Default(1);
    cls.Property("Font", Call<&TControl::Font>, Call<&TControl::SetFont>);
    cls.Property("FormStyle", Field<&TForm::formStyle_>, Call<&TForm::SetFormStyle>)
        .Default(fsNormal);
    cls.Property("Height", Call<&TControl::Height>, Call<&TControl::SetHeight>)
        .Stored(Call<&TForm::IsFormSizeStored>);
    cls.Property("HorzScrollBar", Call<&TScrollingWinControl::HorzScrollBar>,
                 Call<&TScrollingWinControl::SetHorzScrollBar>);
    cls.Property("Icon", Call<&TForm::Icon>, Call<&TForm::SetIcon>);
    cls.Property("KeyPreview", Field<&TForm::keyPreview_>, Call<&TForm::SetKeyPreview>).Default(0);
    // Written with the form's stored data, after Scaled, which decides whether it is taken.
    cls.Property("PixelsPerInch", Call<&TForm::PixelsPerInch>, Call<&TForm::SetPixelsPerInch>)
        .Stored(false);
    cls.Property("Position", Field<&TForm::position_>, Call<&TForm::SetPosition>)
        .Default(poDesigned);
    cls.Property("PrintScale", Field<&TForm::printScale_>, Call<&TForm::SetPrintScale>)
        .Default(poProportional);
    cls.Property("Scaled", Call<&TForm::Scaled>, Call<&TForm::SetScaled>).Default(1);
    cls.Property("ShowHint", Call<&TControl::ShowHint>, Call<&TControl::SetShowHint>);
    cls.Property("VertScrollBar", Call<&TScrollingWinControl::VertScrollBar>,
                 Call<&TScrollingWinControl::SetVertScrollBar>);
    cls.Property("Visible", Call<&TControl::Visible>, Call<&TControl::SetVisible>).Default(0);
    cls.Property("Width", Call<&TControl::Width>, Call<&TControl::SetWidth>)
        .Stored(Call<&TForm::IsFormSizeStored>);
    cls.Property("WindowState", Field<&TForm::windowState_>, Call<&TForm::SetWindowState>)
        .Default(wsNormal);
    cls.Property("OnActivate", Field<&TForm::OnActivate>, Field<&TForm::OnActivate>);
    cls.Property("OnClick", Field<&TControl::OnClick>, Field<&TControl::OnClick>);
    cls.Property("OnClose", Field<&TForm::OnClose>, Field<&TForm::OnClose>);
    cls.Property("OnCloseQuery", Field<&TForm::OnCloseQuery>, Field<&TForm::OnCloseQuery>);
    cls.Property("OnCreate", Field<&TForm::OnCreate>, Field<&TForm::OnCreate>);
    cls.Property("OnDblClick", Field<&TControl::OnDblClick>, Field<&TControl::OnDblClick>);
    cls.Property("OnDestroy", Field<&TForm::OnDestroy>, Field<&TForm::OnDestroy>);
    cls.Property("OnDeactivate", Field<&TForm::OnDeactivate>, Field<&TForm::OnDeactivate>);
    cls.Property("OnDragDrop", Field<&TControl::OnDragDrop>, Field<&TControl::OnDragDrop>);
    cls.Property("OnDragOver", Field<&TControl::OnDragOver>, Field<&TControl::OnDragOver>);
    cls.Property("OnHide", Field<&TForm::OnHide>, Field<&TForm::OnHide>);
    cls.Property("OnKeyDown", Field<&TWinControl::OnKeyDown>, Field<&TWinControl::OnKeyDown>);
    cls.Property("OnKeyPress", Field<&TWinControl::OnKeyPress>, Field<&TWinControl::OnKeyPress>);
    cls.Property("OnKeyUp", Field<&TWinControl::OnKeyUp>, Field<&TWinControl::OnKeyUp>);
    cls.Property("OnMouseDown", Field<&TControl::OnMouseDown>, Field<&TControl::OnMouseDown>);
    cls.Property("OnMouseMove", Field<&TControl::OnMouseMove>, Field<&TControl::OnMouseMove>);
    cls.Property("OnMouseUp", Field<&TControl::OnMouseUp>, Field<&TControl::OnMouseUp>);
    cls.Property("OnPaint", Field<&TForm::OnPaint>, Field<&TForm::OnPaint>);
    cls.Property("OnResize", Field<&TForm::OnResize>, Field<&TForm::OnResize>);
    cls.Property("OnShow", Field<&TForm::OnShow>, Field<&TForm::OnShow>);

    cls.Handle<WM_ACTIVATE, &TForm::WMActivate>();
    cls.Handle<WM_SETFOCUS, &TForm::WMSetFocus>();
    cls.Handle<WM_CLOSE, &TForm::WMClose>();
    cls.Handle<WM_QUERYENDSESSION, &TForm::WMQueryEndSession>();
    cls.Handle<WM_SYSCOMMAND, &TForm::WMSysCommand>();
    cls.Handle<CM_APP_SYS_COMMAND, &TForm::CMAppSysCommand>();
    cls.Handle<WM_PAINT, &TForm::WMPaint>();
    cls.Handle<WM_ERASEBKGND, &TForm::WMEraseBkgnd>();
    cls.Handle<WM_QUERYDRAGICON, &TForm::WMQueryDragIcon>();
    cls.Handle<WM_SIZE, &TForm::WMSize>();
    cls.Handle<WM_DESTROY, &TForm::WMDestroy>();
    cls.Handle<CM_SHOWING_CHANGED, &TForm::CMShowingChanged>();
    cls.Handle<CM_VISIBLE_CHANGED, &TForm::CMVisibleChanged>();
    cls.Handle<CM_DIALOG_KEY, &TForm::CMDialogKey>();
    cls.Handle<CM_APP_ACTIVATE, &TForm::CMAppActivate>();
    cls.Handle<CM_APP_DEACTIVATE, &TForm::CMAppDeactivate>();
    cls.Handle<CM_COLOR_CHANGED, &TForm::CMColorChanged>();
    cls.Handle<CM_CTL3D_CHANGED, &TForm::CMCtl3DChanged>();
    cls.Handle<CM_FONT_CHANGED, &TForm::CMFontChanged>();
    cls.Handle<CM_ICON_CHANGED, &TForm::CMIconChanged>();
    cls.Handle<CM_RELEASE, &TForm::CMRelease>();
}

// ---------------------------------------------------------------- construction

TForm::TForm(TComponent* owner)
    : TScrollingWinControl(owner), canvas_(new TControlCanvas), icon_(new TIcon) {
    icon_->OnChange = TNotifyEvent::Of<&TForm::IconChanged>(this);
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 320, 240);
    ignoreVisibleNotice_ = true;
    SetVisible(false);
    ignoreVisibleNotice_ = false;
    SetParentColor(false);
    SetParentFont(false);
    // From the window colour every control starts with to the colour of 3D
    // surfaces, through the Ctl3D handler.
    SetCtl3D(true);
    canvas_->SetControl(this);
    pixelsPerInch_ = Screen != nullptr ? Screen->PixelsPerInch() : 0;
    if (Screen != nullptr) {
        Screen->AddForm(this);
    }
}

TForm::~TForm() {
    // Freed without Free: the descendant is gone already, so no event runs.
    if (!destroyStepsDone_) {
        MarkDestroying();
        DropPendingRefs(this, "");
    }
    if (App() != nullptr && App()->MouseControl() != nullptr &&
        ContainsControl(App()->MouseControl())) {
        App()->ForgetControl(App()->MouseControl());
    }
    if (HasWindow()) {
        DropWindow();
    }
    if (Screen != nullptr) {
        Screen->RemoveForm(this);
    }
    delete canvas_;
    canvas_ = nullptr;
    delete icon_;
    icon_ = nullptr;
}

void TForm::CompleteConstruction() {
    if (constructionComplete_) {
        return;
    }
    constructionComplete_ = true;
    if (&ClassType() != &TForm::StaticClass()) {
        formState_ |= fsCreating;
        bool found = false;
        try {
            found = LoadClassResources(this, TForm::StaticClass());
        } catch (...) {
            formState_ &= static_cast<std::uint8_t>(~fsCreating);
            throw;
        }
        formState_ &= static_cast<std::uint8_t>(~fsCreating);
        if (!found) {
            throw ResourceError<EResNotFound>(SResNotFound, {ClassName()});
        }
    }
    RunCreateEvent();
}

void TForm::RunCreateEvent() {
    try {
        OnCreate(this);
    } catch (...) {
        ReportAndGoOn();
    }
    if (HasFormState(fsVisibleWish)) {
        formState_ &= static_cast<std::uint8_t>(~fsVisibleWish);
        SetVisible(true);
    }
}

// An exception of an event the form runs for itself is shown, and the form
// goes on with what it was doing.
void TForm::ReportAndGoOn() {
    if (App() != nullptr) {
        App()->ReportException(this);
    } else {
        throw;
    }
}

void TForm::BeforeDestruction() {
    if (destroyStepsDone_) {
        return;
    }
    destroyStepsDone_ = true;
    MarkDestroying();
    DropPendingRefs(this, "");
    if (formStyle_ != fsMDIChild && Visible()) {
        Hide();
    }
    try {
        OnDestroy(this);
    } catch (...) {
        ReportAndGoOn();
    }
}

void TForm::ComponentNotice(TComponent* component, TOperation operation) {
    TScrollingWinControl::ComponentNotice(component, operation);
    if (operation != opRemove) {
        return;
    }
    // A control that is being destroyed is no longer one here; the library
    // hears of those from the control itself, as its destruction begins.
    auto* control = dynamic_cast<TControl*>(component);
    if (control == nullptr) {
        return;
    }
    ForgetControl(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && Screen) {
        Screen->ControlFreed(windowed);
    }
    if (App() != nullptr) {
        App()->ForgetControl(control);
    }
}

void TForm::ForgetControl(const TControl* control) {
    if (activeControl_ != nullptr && IsInside(activeControl_, control)) {
        activeControl_ = nullptr;
    }
    if (focusedControl_ != nullptr && IsInside(focusedControl_, control)) {
        focusedControl_ = nullptr;
    }
}

// A control that can no longer have the focus stops being the active one;
// if it has the window focus, the form takes it, and passes it on to no one.
void TForm::DefocusControl(TWinControl* control, bool removing) {
    if (removing && focusedControl_ != nullptr && IsInside(focusedControl_, control)) {
        focusedControl_ = control->Parent();
    }
    if (activeControl_ == nullptr || !IsInside(activeControl_, control)) {
        return;
    }
    const bool hadFocus = control->HasWindow() && (::GetFocus() == control->Handle() ||
                                                   IsChild(control->Handle(), ::GetFocus()));
    activeControl_ = nullptr;
    ActiveChanged();
    if (hadFocus && HasWindow()) {
        ::SetFocus(Handle());
    }
}

// Only the active form's active control can be in a mode worth ending.
void TForm::NoteCancelMode(TControl* sender) {
    if (active_ && activeControl_ != nullptr) {
        activeControl_->SendToSelf(CM_CANCEL_MODE, 0, reinterpret_cast<LPARAM>(sender));
    }
}

// ---------------------------------------------------------------- reading and scaling

// Both are written with every form, 0 pixels per inch included: that is how
// a form that is not scaled stays so when it is read back. The published
// property reads the pixels per inch back through the same setter.
void TForm::DeclareStoredData(TFiler* filer) {
    TScrollingWinControl::DeclareStoredData(filer);
    filer->DeclareStoredValue(
        "PixelsPerInch", [this](TReader& reader) { SetPixelsPerInch(reader.ReadInteger()); },
        [this](TWriter& writer) { writer.WriteInteger(pixelsPerInch_); }, true);
    filer->DeclareStoredValue(
        "TextHeight", [this](TReader& reader) { textHeight_ = reader.ReadInteger(); },
        [this](TWriter& writer) { writer.WriteInteger(WrittenTextHeight()); }, true);
}

// Measured on the form's window when it has one, else on the screen, so that
// writing a form creates no window.
int TForm::WrittenTextHeight() {
    if (HasWindow()) {
        return TextHeightOfFont();
    }
    const ScreenDC screen;
    TCanvas canvas;
    canvas.SetHandle(screen.Handle());
    canvas.Font()->Assign(Font());
    return canvas.TextHeight("0");
}

void TForm::ReadOwnState(TReader& reader) {
    DisableAlign();
    try {
        pendingClientWidth_ = 0;
        pendingClientHeight_ = 0;
        textHeight_ = 0;
        TScrollingWinControl::ReadOwnState(reader);
        ScaleAfterReading();
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TForm::ScaleAfterReading() {
    bool scaled = false;
    int multiplier = 1;
    int divider = 1;
    if (pixelsPerInch_ != 0 && textHeight_ > 0) {
        const int screenPixels = Screen != nullptr ? Screen->PixelsPerInch() : pixelsPerInch_;
        if ((ScalingFlags() & sfFont) != 0 && screenPixels != pixelsPerInch_) {
            Font()->SetHeight(MulDiv(Font()->Height(), screenPixels, pixelsPerInch_));
        }
        pixelsPerInch_ = screenPixels;
        const int newTextHeight = TextHeightOfFont();
        if (newTextHeight != textHeight_) {
            ScaleScrollBars(newTextHeight, textHeight_);
            for (int i = 0; i < ControlCount(); ++i) {
                Controls(i)->ScaleControl(newTextHeight, textHeight_);
            }
            if (pendingClientWidth_ > 0) {
                pendingClientWidth_ = MulDiv(pendingClientWidth_, newTextHeight, textHeight_);
            }
            if (pendingClientHeight_ > 0) {
                pendingClientHeight_ = MulDiv(pendingClientHeight_, newTextHeight, textHeight_);
            }
            scaled = true;
            multiplier = newTextHeight;
            divider = textHeight_;
        }
    }
    const int width = pendingClientWidth_;
    const int height = pendingClientHeight_;
    pendingClientWidth_ = 0;
    pendingClientHeight_ = 0;
    if (width > 0) {
        SetClientWidth(width);
    }
    if (height > 0) {
        SetClientHeight(height);
    }
    if (scaled) {
        MakeRoomForScaledChildren(multiplier, divider, width > 0, height > 0);
    } else {
        ScaleScrollBars(1, 1);
        for (int i = 0; i < ControlCount(); ++i) {
            Controls(i)->ScaleControl(1, 1);
        }
    }
    // Only the form's own flags: its bounds are never scaled.
    TControl::ScaleControl(1, 1);
}

// The form's own size is not scaled with its children; but where the size it
// was stored with would now cut them off, the client area follows the scale,
// as a client size read from the form does. The screen bounds the growth, and
// the window moves back onto the screen if it grew past an edge; what still
// does not fit is reached through the scroll bars.
void TForm::MakeRoomForScaledChildren(int multiplier, int divider, bool widthRead,
                                      bool heightRead) {
    const SIZE extent = ChildrenExtent();
    const RECT client = ClientRect();
    const int frameWidth = Width() - client.right;
    const int frameHeight = Height() - client.bottom;
    auto grown = [&](bool read, int reach, int size, int frame, int screenSize) {
        if (read || reach <= size) {
            return size;
        }
        return std::max(size, std::min(MulDiv(size, multiplier, divider), screenSize - frame));
    };
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int width = grown(widthRead, extent.cx, client.right, frameWidth, screenWidth);
    const int height = grown(heightRead, extent.cy, client.bottom, frameHeight, screenHeight);
    if (width == client.right && height == client.bottom) {
        return;
    }
    const int windowWidth = width + frameWidth;
    const int windowHeight = height + frameHeight;
    const int left = std::max(0, std::min(Left(), screenWidth - windowWidth));
    const int top = std::max(0, std::min(Top(), screenHeight - windowHeight));
    SetBounds(left, top, windowWidth, windowHeight);
}

TColor TForm::Ctl3DColor(bool ctl3D) {
    return ctl3D ? clBtnFace : clWindow;
}

bool TForm::IsFormSizeStored() const {
    return AutoScroll() || HorzScrollBar()->Range() != 0 || VertScrollBar()->Range() != 0;
}

int TForm::TextHeightOfFont() {
    canvas_->Font()->Assign(Font());
    return canvas_->TextHeight("0");
}

void TForm::SetFormClientWidth(int value) {
    if (HasState(csReading)) {
        pendingClientWidth_ = value;
        AddScalingFlags(sfWidth);
    } else {
        SetClientWidth(value);
    }
}

void TForm::SetFormClientHeight(int value) {
    if (HasState(csReading)) {
        pendingClientHeight_ = value;
        AddScalingFlags(sfHeight);
    } else {
        SetClientHeight(value);
    }
}

void TForm::SetPixelsPerInch(int value) {
    if (value == pixelsPerInch_ || (value != 0 && value < kLowestPixelsPerInch)) {
        return;
    }
    if (HasState(csLoading) && !Scaled()) {
        return;
    }
    pixelsPerInch_ = value;
}

void TForm::SetScaled(bool value) {
    if (value == Scaled()) {
        return;
    }
    pixelsPerInch_ = value ? (Screen != nullptr ? Screen->PixelsPerInch() : 96) : 0;
}

// ---------------------------------------------------------------- the window

TFormBorderStyle TForm::EffectiveBorderStyle() const {
    if (formStyle_ == fsMDIChild && (borderStyle_ == bsNone || borderStyle_ == bsDialog)) {
        return bsSizeable;
    }
    return borderStyle_;
}

// A form whose class has a resource is that resource's form: without it read
// the window would show an empty form.
void TForm::RequireCompleteConstruction() const {
    if (constructionComplete_ || HasFormState(fsCreating) ||
        &ClassType() == &TForm::StaticClass() ||
        !HasClassResources(ClassType(), TForm::StaticClass())) {
        return;
    }
    throw EInvalidOperation(std::string(ClassName()) +
                            " was constructed without reading its form resource: construct it "
                            "through its class reference or the application's MakeForm");
}

void TForm::PrepareWindowSpec(TCreateParams& params) {
    RequireCompleteConstruction();
    TScrollingWinControl::PrepareWindowSpec(params);
    if (Parent() == nullptr && ParentWindow() == nullptr) {
        params.WndParent = App() != nullptr ? App()->Handle() : nullptr;
        params.Style &= kTopLevelStyleMask;
    }
    params.WindowClass.style = CS_DBLCLKS;
    if (HasState(csDesigning)) {
        params.Style |= WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU;
        return;
    }
    if (position_ == poDefault || position_ == poDefaultPosOnly) {
        params.X = CW_USEDEFAULT;
        params.Y = CW_USEDEFAULT;
    }
    TBorderIcons icons = borderIcons_;
    const TFormBorderStyle style = EffectiveBorderStyle();
    switch (style) {
    case bsNone:
        if (Parent() == nullptr) {
            params.Style |= WS_POPUP;
        }
        icons = {};
        break;
    case bsSingle:
    case bsToolWindow:
        params.Style |= WS_CAPTION;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        if (position_ == poDefault || position_ == poDefaultSizeOnly) {
            params.Width = CW_USEDEFAULT;
            params.Height = CW_USEDEFAULT;
        }
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        params.WindowClass.style |= CS_SAVEBITS | CS_BYTEALIGNWINDOW;
        icons = static_cast<TBorderIcons>(icons &
                                          (BorderIconBit(biSystemMenu) | BorderIconBit(biHelp)));
        break;
    }
    if (style == bsToolWindow || style == bsSizeToolWin) {
        params.ExStyle |= WS_EX_TOOLWINDOW;
        icons = static_cast<TBorderIcons>(icons & BorderIconBit(biSystemMenu));
    }
    if (style == bsSingle || style == bsSizeable) {
        if (formStyle_ != fsMDIChild || HasIcon(icons, biSystemMenu)) {
            params.Style |= HasIcon(icons, biMinimize) ? WS_MINIMIZEBOX : 0;
            params.Style |= HasIcon(icons, biMaximize) ? WS_MAXIMIZEBOX : 0;
        }
        params.Style |= windowState_ == wsMinimized ? WS_MINIMIZE : 0;
        params.Style |= windowState_ == wsMaximized ? WS_MAXIMIZE : 0;
    } else {
        windowState_ = wsNormal;
    }
    if (HasIcon(icons, biSystemMenu)) {
        params.Style |= WS_SYSMENU;
    }
    if (HasIcon(icons, biHelp)) {
        params.ExStyle |= WS_EX_CONTEXTHELP;
    }
}

// The caption shows the form's own icon, else the application's; a dialog
// shows none.
void TForm::SendIcon() {
    HICON icon = nullptr;
    if (borderStyle_ != bsDialog) {
        icon = !icon_->Empty() ? icon_->Handle() : (App() ? App()->Icon()->Handle() : nullptr);
    }
    SendMessageA(Handle(), WM_SETICON, kBigIcon, reinterpret_cast<LPARAM>(icon));
}

void TForm::IconChanged(TObject*) {
    if (HasWindow()) {
        SendIcon();
    }
}

void TForm::BuildWindow() {
    TScrollingWinControl::BuildWindow();
    SendIcon();
    if (HasState(csDesigning)) {
        return;
    }
    if (formStyle_ == fsStayOnTop) {
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // The system menu offers only what the border allows.
    if (borderStyle_ != bsNone && HasIcon(borderIcons_, biSystemMenu) && formStyle_ != fsMDIChild) {
        HMENU menu = GetSystemMenu(Handle(), FALSE);
        if (borderStyle_ == bsDialog) {
            // The separators at 7 and 5 go with the task-list entry between them.
            DeleteMenu(menu, SC_TASKLIST, MF_BYCOMMAND);
            DeleteMenu(menu, 7, MF_BYPOSITION);
            DeleteMenu(menu, 5, MF_BYPOSITION);
            for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_RESTORE}) {
                DeleteMenu(menu, command, MF_BYCOMMAND);
            }
        } else {
            if (!HasIcon(borderIcons_, biMinimize)) {
                EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
            }
            if (!HasIcon(borderIcons_, biMaximize)) {
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
            }
        }
    }
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    if (value != borderStyle_) {
        borderStyle_ = value;
        RebuildWindow();
    }
}

void TForm::SetBorderIcons(TBorderIcons value) {
    if (value != borderIcons_) {
        borderIcons_ = value;
        RebuildWindow();
    }
}

void TForm::SetFormStyle(TFormStyle value) {
    if (value == formStyle_) {
        return;
    }
    if (value == fsMDIChild || value == fsMDIForm) {
        // Multiple-document frames are not part of this library.
        throw ResourceError<EInvalidOperation>(SNoMDIForm);
    }
    formStyle_ = value;
    RebuildWindow();
}

void TForm::SetPosition(TPosition value) {
    if (value == position_) {
        return;
    }
    position_ = value;
    if (!HasState(csDesigning)) {
        RebuildWindow();
    }
}

void TForm::SetWindowState(TWindowState value) {
    if (value == windowState_) {
        return;
    }
    windowState_ = value;
    if (!HasState(csDesigning) && IsShowing()) {
        static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
        ShowWindow(Handle(), kCommands[value]);
    }
}

void TForm::SetIcon(TIcon* icon) {
    icon_->Assign(icon);
}

// ---------------------------------------------------------------- showing

void TForm::CMVisibleChanged(TMessage& message) {
    if (ignoreVisibleNotice_) {
        return;
    }
    if (HasFormState(fsCreating) && message.WParam != 0) {
        // A form shows only after OnCreate; Visible stays false till then.
        formState_ |= fsVisibleWish;
        ignoreVisibleNotice_ = true;
        SetVisible(false);
        ignoreVisibleNotice_ = false;
        return;
    }
    Inherited(message);
}

void TForm::CMShowingChanged(TMessage&) {
    if (HasFormState(fsShowing)) {
        formState_ &= static_cast<std::uint8_t>(~fsShowing);
        throw ResourceError<EInvalidOperation>(SVisibleChanged);
    }
    if (HasState(csDesigning)) {
        return;
    }
    formState_ |= fsShowing;
    try {
        IsShowing() ? ShowForm() : HideForm();
    } catch (...) {
        formState_ &= static_cast<std::uint8_t>(~fsShowing);
        throw;
    }
    formState_ &= static_cast<std::uint8_t>(~fsShowing);
}

void TForm::ShowForm() {
    try {
        DoShow();
    } catch (...) {
        ReportAndGoOn();
    }
    if (position_ == poScreenCenter) {
        const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2);
        const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2);
        SetBounds(x, y, Width(), Height());
    }
    position_ = poDesigned;
    static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    ShowWindow(Handle(), kCommands[windowState_]);
}

void TForm::HideForm() {
    try {
        DoHide();
    } catch (...) {
        ReportAndGoOn();
    }
    if (HasFormState(fsModal)) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kHideWithoutActivating);
        return;
    }
    if (GetActiveWindow() == Handle() && !IsIconic(Handle())) {
        const std::vector<HWND> others = EnabledThreadWindows(Handle());
        HWND next = nullptr;
        for (HWND window : others) {
            if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
                next = window;
                break;
            }
        }
        if (next == nullptr && !others.empty()) {
            next = others.front();
        }
        if (next != nullptr) {
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kHideWithoutActivating);
            SetActiveWindow(next);
            return;
        }
    }
    ShowWindow(Handle(), SW_HIDE);
}

// ---------------------------------------------------------------- closing

void TForm::Close() {
    if (HasFormState(fsModal)) {
        modalResult_ = 2;
        return;
    }
    if (!ConfirmClose()) {
        return;
    }
    TCloseAction action = caHide;
    OnClose(this, action);
    if (action == caNone) {
        return;
    }
    if (App() != nullptr && App()->MainForm() == this) {
        App()->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    default:
        Release();
        break;
    }
}

bool TForm::ConfirmClose() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Release() {
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TForm::CMRelease(TMessage&) {
    Free(this);
}

void TForm::WMClose(TMessage&) {
    Close();
}

void TForm::WMQueryEndSession(TMessage& message) {
    message.Result = ConfirmClose() ? 1 : 0;
}

void TForm::WMSysCommand(TMessage& message) {
    if ((message.WParam & 0xFFF0) == SC_MINIMIZE && App() != nullptr && App()->MainForm() == this) {
        App()->Minimize();
        return;
    }
    Inherited(message);
}

// A form has no menu of its own, so Alt with a letter goes on to the
// application, which hands it to the main form's menu.
void TForm::CMAppSysCommand(TMessage& message) {
    const auto* command = reinterpret_cast<const TMessage*>(message.LParam);
    if (command == nullptr || App() == nullptr || App()->Handle() == nullptr) {
        return;
    }
    CancelModeNotice();
    if (SendMessageA(App()->Handle(), CM_APP_SYS_COMMAND, command->WParam, command->LParam) != 0) {
        message.Result = 1;
    }
}

// ---------------------------------------------------------------- activation and focus

// While the application takes the focus away for a moment (Alt with a
// letter in another form), the form hears nothing of it: its focus
// bookkeeping runs in the windowed control's steps, before any handler.
void TForm::HandleWindowMessage(TMessage& message) {
    const bool focusMessage =
        message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS || message.Msg == WM_ACTIVATE;
    if (focusMessage && FocusMessagesSuspended()) {
        return;
    }
    TScrollingWinControl::HandleWindowMessage(message);
}

void TForm::WMActivate(TMessage& message) {
    SetActive(LOWORD(message.WParam) != WA_INACTIVE);
}

void TForm::SetActive(bool value) {
    active_ = value;
    if (!value) {
        return;
    }
    if (activeControl_ == nullptr && !HasState(csDesigning)) {
        activeControl_ = NextTabControl(nullptr, true, true, false);
    }
    SetWindowFocus();
}

void TForm::SetWindowFocus() {
    TWinControl* target = activeControl_ != nullptr ? activeControl_ : this;
    HWND window = target->Handle();
    ::SetFocus(window);
    if (GetFocus() == window) {
        target->SendToSelf(CM_FORM_FOCUSED);
    }
}

void TForm::WMSetFocus(TMessage& message) {
    Inherited(message);
    if (!HasState(csDesigning) && activeControl_ != nullptr && activeControl_->HasWindow() &&
        GetFocus() == Handle()) {
        ::SetFocus(activeControl_->Handle());
    }
}

bool TForm::SendFocusNotice(TControl* control, UINT message, int counter) {
    control->SendToSelf(message);
    return FocusStillCurrent(counter);
}

bool TForm::NoteFocusedControl(TWinControl* control) {
    const int counter = ++focusCount_;
    activeControl_ = control == this ? nullptr : control;
    if (Screen != nullptr) {
        Screen->NoteActive(this, control);
    }
    if (control->HasControlState(csFocusing)) {
        return false;
    }
    control->SetControlState(control->ControlState() | csFocusing);
    // A handler of the notices may free the control, or move or free the one
    // the walk stands on: each step checks before it goes on.
    const std::weak_ptr<const int> life = control->LifeWatch();
    auto sent = [&](TControl* to, UINT notice) {
        return SendFocusNotice(to, notice, counter) && !life.expired();
    };
    bool noted = false;
    try {
        noted = [&] {
            if (Screen != nullptr && Screen->FocusedForm() != this) {
                if (TForm* previous = Screen->FocusedForm()) {
                    if (!sent(previous, CM_APP_DEACTIVATE)) {
                        return false;
                    }
                }
                Screen->SetFocusedForm(this);
                if (!sent(this, CM_APP_ACTIVATE)) {
                    return false;
                }
            }
            if (focusedControl_ == nullptr) {
                focusedControl_ = this;
            }
            while (!IsInside(control, focusedControl_)) {
                if (!sent(focusedControl_, CM_EXIT)) {
                    return false;
                }
                focusedControl_ = focusedControl_ != nullptr ? focusedControl_->Parent() : this;
            }
            while (focusedControl_ != control) {
                TWinControl* step = control;
                while (step != nullptr && step->Parent() != focusedControl_) {
                    step = step->Parent();
                }
                if (step == nullptr) {
                    return false;
                }
                focusedControl_ = step;
                if (!sent(step, CM_ENTER)) {
                    return false;
                }
                if (focusedControl_ == nullptr) {
                    focusedControl_ = this;
                }
            }
            for (TWinControl* p = control->Parent(); p != nullptr; p = p->Parent()) {
                if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(p)) {
                    scrolling->ScrollInView(control);
                }
            }
            SendToSelf(CM_FOCUS_CHANGED, 0, reinterpret_cast<LPARAM>(control));
            if (Screen != nullptr) {
                Screen->AnnounceChanges();
            }
            return true;
        }();
    } catch (...) {
        if (!life.expired()) {
            control->SetControlState(control->ControlState() & ~csFocusing);
        }
        throw;
    }
    if (!life.expired()) {
        control->SetControlState(control->ControlState() & ~csFocusing);
    }
    return noted;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) {
        return;
    }
    if (control != nullptr &&
        (control == this || control->ParentForm() != this || !control->IsFocusable())) {
        throw ResourceError<EInvalidOperation>(SCannotFocus);
    }
    activeControl_ = control;
    if (active_ && control != nullptr && !HasState(csLoading)) {
        SetWindowFocus();
    }
    ActiveChanged();
}

void TForm::FocusDescendant(TWinControl* control) {
    FocusControl(control);
}

void TForm::FocusControl(TWinControl* control) {
    const bool wasActive = active_;
    SetActiveControl(control);
    if (!wasActive) {
        SetFocus();
    }
}

void TForm::SetFocus() {
    if (active_) {
        return;
    }
    if (!IsWindowVisible(Handle()) || !IsWindowEnabled(Handle())) {
        throw ResourceError<EInvalidOperation>(SCannotFocus);
    }
    SetWindowFocus();
}

void TForm::CMDialogKey(TMessage& message) {
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (!alt && message.WParam == VK_TAB && !ctrl) {
        FocusNextInTabOrder(activeControl_, !shift, true);
        message.Result = 1;
        return;
    }
    if (!alt && message.WParam >= VK_LEFT && message.WParam <= VK_DOWN &&
        activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
        const bool forward = message.WParam == VK_RIGHT || message.WParam == VK_DOWN;
        activeControl_->Parent()->FocusNextInTabOrder(activeControl_, forward, false);
        message.Result = 1;
        return;
    }
    Inherited(message);
}

bool TForm::PreviewKey(TMessage& message) {
    if (!keyPreview_) {
        return false;
    }
    if (message.Msg == WM_CHAR) {
        auto key = static_cast<char>(message.WParam);
        KeyPress(key);
        message.WParam = static_cast<BYTE>(key);
        return key == 0;
    }
    TShiftState shift = 0;
    shift |= GetKeyState(VK_SHIFT) < 0 ? ssShift : 0;
    shift |= (static_cast<DWORD>(message.LParam) & (1u << 29)) != 0 ? ssAlt : 0;
    shift |= GetKeyState(VK_CONTROL) < 0 ? ssCtrl : 0;
    auto key = static_cast<WORD>(message.WParam);
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) {
        KeyDown(key, shift);
    } else {
        KeyUp(key, shift);
    }
    message.WParam = key;
    return key == 0;
}

void TForm::CMAppActivate(TMessage&) {
    Activate();
}

void TForm::CMAppDeactivate(TMessage&) {
    Deactivate();
}

// ---------------------------------------------------------------- events and painting

void TForm::Activate() {
    OnActivate(this);
}

void TForm::ActiveChanged() {}

void TForm::Deactivate() {
    OnDeactivate(this);
}

void TForm::DoHide() {
    OnHide(this);
}

void TForm::DoShow() {
    OnShow(this);
}

void TForm::Paint() {
    OnPaint(this);
}

void TForm::Resize() {
    OnResize(this);
}

void TForm::PaintInto(HDC dc) {
    canvas_->SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

void TForm::WMPaint(TMessage& message) {
    if (IsIconic(Handle())) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        HICON icon = icon_->Handle();
        if (icon == nullptr && App() != nullptr) {
            icon = App()->Icon()->Handle();
        }
        DrawIcon(dc, 0, 0, icon);
        EndPaint(Handle(), &paint);
        return;
    }
    ServicePaint(message);
}

void TForm::WMEraseBkgnd(TMessage& message) {
    if (IsIconic(Handle())) {
        message.Msg = WM_ICONERASEBKGND;
    }
    Inherited(message);
}

void TForm::WMQueryDragIcon(TMessage& message) {
    message.Result = reinterpret_cast<LRESULT>(icon_->Handle());
}

void TForm::WMSize(TMessage& message) {
    Inherited(message);
    if (message.WParam <= SIZE_MAXIMIZED) {
        static constexpr TWindowState kStates[] = {wsNormal, wsMinimized, wsMaximized};
        windowState_ = kStates[message.WParam];
    }
    if (!HasState(csLoading)) {
        Resize();
    }
}

void TForm::WMDestroy(TMessage& message) {
    SendMessageA(Handle(), WM_SETICON, kBigIcon, 0);
    Inherited(message);
}

void TForm::CMColorChanged(TMessage& message) {
    Inherited(message);
    canvas_->Brush()->SetColor(Color());
}

// A colour that is the one the other setting implies follows Ctl3D; any
// other colour was chosen and stays.
void TForm::CMCtl3DChanged(TMessage& message) {
    Inherited(message);
    if (Color() == Ctl3DColor(!Ctl3D())) {
        SetColor(Ctl3DColor(Ctl3D()));
    }
}

void TForm::CMFontChanged(TMessage& message) {
    Inherited(message);
    canvas_->Font()->Assign(Font());
}

void TForm::CMIconChanged(TMessage&) {
    if (icon_->Empty() && HasWindow()) {
        SendIcon();
    }
}

} // namespace velbrin
