#include "TWinControl.h"

#include "SystemCallback.h"
#include "TControlCanvas.h"
#include "core/TList.h"
#include "graphics/TBrush.h"
#include "graphics/TCanvas.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velbrin {

namespace {

// The two window properties that bind a window to its object.
struct ControlAtoms {
    ATOM windowAtom = 0;
    ATOM controlAtom = 0;
};

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

LPCSTR AtomName(ATOM atom) {
    return MAKEINTRESOURCEA(atom);
}

// The window procedure of every bound window finds its object here; the
// entry lives from the first message of the window to WM_NCDESTROY.
std::unordered_map<HWND, TWinControl*>& BoundWindows() {
    static std::unordered_map<HWND, TWinControl*> bound;
    return bound;
}

std::unordered_set<const TWinControl*>& LiveControls() {
    static std::unordered_set<const TWinControl*> live;
    return live;
}

TWinControl* creatingControl = nullptr;

TExceptionReporter& Reporter() {
    static TExceptionReporter reporter;
    return reporter;
}

TControlEnvironment& Environment() {
    static TControlEnvironment environment;
    return environment;
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

TControl* ControlAt(TList* list, int index) {
    return static_cast<TControl*>(list->Get(index));
}

TWinControl* WinControlAt(TList* list, int index) {
    return static_cast<TWinControl*>(list->Get(index));
}

int CountOf(const TList* list) {
    return list == nullptr ? 0 : list->Count();
}

void AddTo(TList*& list, void* item) {
    if (list == nullptr) {
        list = new TList;
    }
    list->Add(item);
}

void RemoveFrom(TList*& list, void* item) {
    if (list == nullptr) {
        return;
    }
    list->Remove(item);
    if (list->Count() == 0) {
        delete list;
        list = nullptr;
    }
}

} // namespace

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

// ---------------------------------------------------------------- message entry

void TWinControl::WindowEntry(TMessage& message) {
    try {
        MessageRouter(message);
        ReleaseAllDCs();
    } catch (...) {
        ReleaseAllDCs();
        ReportRaisedException(LiveControls().contains(this) ? this : nullptr,
                              std::current_exception());
    }
}

// The form hears of the focus arriving first and may refuse it; a control
// in the middle of taking the focus hears nothing of losing it.
bool TWinControl::FocusNoticeSwallowed(const TMessage& message) {
    if (message.Msg == WM_SETFOCUS) {
        TWinControl* form = ParentForm();
        return form != nullptr && !form->NoteFocusedControl(this);
    }
    return message.Msg == WM_KILLFOCUS && HasControlState(csFocusing);
}

void TWinControl::HandleWindowMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (FocusNoticeSwallowed(message)) {
            return;
        }
        break;
    case WM_CANCELMODE:
        if (handle_ != nullptr && GetCapture() == handle_) {
            TControl* captured = CaptureControl();
            if (captured != nullptr && captured != this && captured->Parent() == this) {
                captured->SendToSelf(WM_CANCELMODE);
            }
        }
        break;
    case WM_NCHITTEST:
        TControl::HandleWindowMessage(message);
        if (message.Result == HTTRANSPARENT) {
            const POINT screen = PointOfMessage(message);
            if (ChildAtPoint(ScreenToClient(screen), false) != nullptr) {
                message.Result = HTCLIENT;
            }
        }
        return;
    default:
        if (IsClientMouseMessage(message.Msg) && RouteMouseToChild(message)) {
            return;
        }
        if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST && KeyEndsInDrag(message)) {
            return;
        }
        break;
    }
    TControl::HandleWindowMessage(message);
}

// While a control is dragged, Escape cancels the drag, and the dragged
// control hears no keys.
bool TWinControl::KeyEndsInDrag(const TMessage& message) {
    TControl* dragged = DraggedControl();
    if (dragged == nullptr) {
        return false;
    }
    if (message.Msg == WM_KEYDOWN && message.WParam == VK_ESCAPE) {
        dragged->EndDrag(false);
        return true;
    }
    return dragged == this;
}

// Offers a mouse message to the non-windowed child that has the capture or
// lies under the point; true when one took it.
bool TWinControl::RouteMouseToChild(TMessage& message) {
    TControl* target = nullptr;
    if (handle_ != nullptr && GetCapture() == handle_) {
        TControl* captured = CaptureControl();
        if (captured != nullptr && captured != this && captured->Parent() == this) {
            target = captured;
        }
    } else {
        target = ChildAtPoint(PointOfMessage(message), false);
    }
    if (target == nullptr) {
        return false;
    }
    POINT point = PointOfMessage(message);
    point.x -= target->Left();
    point.y -= target->Top();
    message.Result = target->SendToSelf(message.Msg, message.WParam, PointToLParam(point));
    return true;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (handle_ == nullptr) {
        TControl::DefaultHandler(message);
        return;
    }
    if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
        message.Result = SendMessageA(reinterpret_cast<HWND>(message.LParam), message.Msg + CN_BASE,
                                      message.WParam, message.LParam);
        return;
    }
    // A system control asks its parent how to colour itself; the request
    // comes back here, and the answer is this control's font and brush.
    if (message.Msg >= CN_CTLCOLORMSGBOX && message.Msg <= CN_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ResolveColor(Font()->Color()));
        SetBkColor(dc, ResolveColor(brush_->Color()));
        message.Result = reinterpret_cast<LRESULT>(brush_->Handle());
        return;
    }
    message.Result =
        CallWindowProcA(priorWindowProc_ != nullptr ? priorWindowProc_ : &DefWindowProcA, handle_,
                        message.Msg, message.WParam, message.LParam);
}

// ---------------------------------------------------------------- the window

HWND TWinControl::Handle() {
    RequireWindow();
    return handle_;
}

void TWinControl::RequireWindow() {
    if (handle_ != nullptr) {
        return;
    }
    if (Parent() != nullptr) {
        Parent()->RequireWindow();
    }
    MakeWindow();
}

void TWinControl::PrepareWindowSpec(TCreateParams& params) {
    params = TCreateParams{};
    params.Caption = KeptText().c_str();
    params.Style = HasControlStyle(csAcceptsControls) ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
                                                      : WS_CHILD | WS_CLIPSIBLINGS;
    if (!Enabled() && !HasState(csDesigning)) {
        params.Style |= WS_DISABLED;
    }
    if (tabStop_) {
        params.Style |= WS_TABSTOP;
    }
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() != nullptr ? Parent()->Handle() : parentWindow_;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = &DefWindowProcA;
    params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    std::snprintf(params.WinClassName, sizeof params.WinClassName, "%s", ClassName());
}

void TWinControl::BuildWindow() {
    TCreateParams params;
    PrepareWindowSpec(params);
    if (params.WndParent == nullptr && (params.Style & WS_CHILD) != 0) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    priorWindowProc_ = params.WindowClass.lpfnWndProc;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA registered{};
    const bool found = GetClassInfoA(instance, params.WinClassName, &registered) != FALSE;
    if (!found || registered.lpfnWndProc != &ControlCreationProc) {
        if (found) {
            UnregisterClassA(params.WinClassName, instance);
        }
        params.WindowClass.lpfnWndProc = &ControlCreationProc;
        params.WindowClass.hInstance = instance;
        params.WindowClass.lpszClassName = params.WinClassName;
        if (RegisterClassA(&params.WindowClass) == 0) {
            throw ResourceError<EOutOfResources>(SWindowClass);
        }
    }
    creatingControl = this;
    try {
        CreateSystemWindow(params);
    } catch (...) {
        creatingControl = nullptr;
        throw;
    }
    creatingControl = nullptr;
    // The window keeps the caption from now on.
    FreeKeptText();
    ReadBoundsFromWindow();
    SendToSelf(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
}

void TWinControl::CreateSystemWindow(const TCreateParams& params) {
    HWND window = CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption, params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent,
                                  nullptr, GetModuleHandleA(nullptr), params.Param);
    if (window == nullptr) {
        if (handle_ != nullptr) {
            BoundWindows().erase(handle_);
            handle_ = nullptr;
        }
        throw ResourceError<EOutOfResources>(SWindowCreate);
    }
    handle_ = window;
}

void TWinControl::MakeWindow() {
    if (handle_ != nullptr) {
        return;
    }
    BuildWindow();
    SetPropA(handle_, AtomName(Atoms().windowAtom), this);
    SetPropA(handle_, AtomName(Atoms().controlAtom), this);
    if (Parent() != nullptr) {
        PlaceWindowInZOrder();
    }
}

// Directly behind the first later sibling that has a window, else on top.
void TWinControl::PlaceWindowInZOrder() {
    TList* siblings = Parent()->windowedChildren_;
    HWND after = HWND_TOP;
    for (int i = siblings->IndexOf(this) + 1; i < siblings->Count(); ++i) {
        TWinControl* sibling = WinControlAt(siblings, i);
        if (sibling->handle_ != nullptr) {
            after = sibling->handle_;
            break;
        }
    }
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroySystemWindow() {
    HWND window = handle_;
    DestroyWindow(window);
    // WM_NCDESTROY normally clears these; a window destroyed behind the
    // library's back must not leave them stale.
    BoundWindows().erase(window);
    handle_ = nullptr;
    isShowing_ = false;
}

void TWinControl::TearDownWindow() {
    SetKeptText(Text());
    ReleaseAllDCs();
    DestroySystemWindow();
}

void TWinControl::DropWindow() {
    if (handle_ == nullptr) {
        return;
    }
    for (int i = 0; i < CountOf(windowedChildren_); ++i) {
        WinControlAt(windowedChildren_, i)->DropWindow();
    }
    TearDownWindow();
}

void TWinControl::RebuildWindow() {
    if (handle_ != nullptr) {
        SendToSelf(CM_RECREATE_WND);
    }
}

void TWinControl::CMRecreateWnd(TMessage&) {
    const bool hadFocus = Focused();
    DropWindow();
    UpdateShowingState();
    if (hadFocus && handle_ != nullptr) {
        ::SetFocus(handle_);
    }
}

void TWinControl::SetParentWindow(HWND window) {
    if (Parent() != nullptr || window == parentWindow_) {
        return;
    }
    if (parentWindow_ != nullptr && window != nullptr && handle_ != nullptr) {
        parentWindow_ = window;
        ::SetParent(handle_, window);
    } else {
        DropWindow();
        parentWindow_ = window;
    }
    UpdateShowingState();
}

void TWinControl::ReadBoundsFromWindow() {
    RECT rect{};
    if (IsIconic(handle_)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(handle_, &placement);
        rect = placement.rcNormalPosition;
    } else {
        GetWindowRect(handle_, &rect);
    }
    if ((GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) != 0) {
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        MapWindowPoints(nullptr, GetParent(handle_), corners, 2);
        rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    StoreBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TWinControl::WMDestroy(TMessage& message) {
    Inherited(message);
    RemovePropA(handle_, AtomName(Atoms().windowAtom));
    RemovePropA(handle_, AtomName(Atoms().controlAtom));
}

void TWinControl::WMNCDestroy(TMessage& message) {
    Inherited(message);
    BoundWindows().erase(handle_);
    handle_ = nullptr;
    isShowing_ = false;
}

// ---------------------------------------------------------------- geometry

POINT TWinControl::GetClientOrigin() {
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    return origin;
}

RECT TWinControl::GetClientRect() {
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect;
}

HDC TWinControl::TakeDC(HWND& window) {
    HWND own = Handle();
    HDC dc =
        HasState(csDesigning) ? GetDCEx(own, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS) : GetDC(own);
    if (dc == nullptr) {
        throw ResourceError<EOutOfResources>(SWindowDCError);
    }
    window = own;
    return dc;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    left = Bounded(left);
    top = Bounded(top);
    width = Bounded(width);
    height = Bounded(height);
    if (left == Left() && top == Top() && width == Width() && height == Height()) {
        return;
    }
    if (handle_ != nullptr && !IsIconic(handle_)) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        StoreBounds(left, top, width, height);
        if (handle_ != nullptr) {
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            GetWindowPlacement(handle_, &placement);
            placement.rcNormalPosition = BoundsRect();
            SetWindowPlacement(handle_, &placement);
        }
    }
    RequestRealign();
}

void TWinControl::ScaleControl(int multiplier, int divider) {
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) {
            Controls(i)->ScaleControl(multiplier, divider);
        }
        TControl::ScaleControl(multiplier, divider);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TWinControl::WMSize(TMessage& message) {
    ReadBoundsFromWindow();
    Inherited(message);
    Realign();
}

void TWinControl::WMMove(TMessage& message) {
    Inherited(message);
    ReadBoundsFromWindow();
}

void TWinControl::WMWindowPosChanged(TMessage& message) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    const bool reshaped =
        position != nullptr && (position->flags & SWP_NOREDRAW) == 0 &&
        (position->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
    const bool framed = reshaped && ctl3D_ && HasControlStyle(csFramed) && Parent() != nullptr;
    if (framed) {
        InvalidateFrame();
    }
    if (handle_ != nullptr) {
        ReadBoundsFromWindow();
    }
    Inherited(message);
    if (framed) {
        InvalidateFrame();
    }
}

// The parent draws the 3-D frame one pixel outside the bounds.
void TWinControl::InvalidateFrame() {
    if (!Parent()->HasWindow()) {
        return;
    }
    const RECT frame{Left() - 1, Top() - 1, Left() + Width() + 1, Top() + Height() + 1};
    InvalidateRect(Parent()->Handle(), &frame, TRUE);
}

void TWinControl::ScrollBy(int dx, int dy) {
    const bool visibleWindow = handle_ != nullptr && IsWindowVisible(handle_);
    if (visibleWindow) {
        ScrollWindow(handle_, dx, dy, nullptr, nullptr);
    }
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (windowed == nullptr || windowed->handle_ == nullptr) {
            child->StoreBounds(child->Left() + dx, child->Top() + dy, child->Width(),
                               child->Height());
        } else if (!visibleWindow) {
            SetWindowPos(windowed->handle_, nullptr, child->Left() + dx, child->Top() + dy,
                         child->Width(), child->Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    Realign();
}

// ---------------------------------------------------------------- z-order

void TWinControl::SetZOrder(bool top) {
    if (Parent() == nullptr) {
        if (handle_ != nullptr) {
            SetWindowPos(handle_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE);
        }
        return;
    }
    TList* siblings = Parent()->windowedChildren_;
    const int index = siblings->IndexOf(this);
    const int target = top ? siblings->Count() - 1 : 0;
    if (index >= 0 && index != target) {
        siblings->Delete(index);
        siblings->Insert(target, this);
    }
    if (handle_ != nullptr) {
        SetWindowPos(handle_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

// ---------------------------------------------------------------- painting

void TWinControl::Invalidate() {
    SendToSelf(CM_INVALIDATE, 0);
}

void TWinControl::CMInvalidate(TMessage& message) {
    if (handle_ == nullptr) {
        return;
    }
    if (Parent() != nullptr) {
        Parent()->SendToSelf(CM_INVALIDATE, 1);
    }
    if (message.WParam == 0) {
        InvalidateRect(handle_, nullptr, HasControlStyle(csOpaque) ? FALSE : TRUE);
    }
}

void TWinControl::Update() {
    if (handle_ != nullptr) {
        UpdateWindow(handle_);
    }
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMPaint(TMessage& message) {
    if (ControlCount() == 0) {
        Inherited(message);
        return;
    }
    ServicePaint(message);
}

void TWinControl::ServicePaint(TMessage& message) {
    PAINTSTRUCT paint{};
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const bool began = dc == nullptr;
    if (began) {
        dc = BeginPaint(handle_, &paint);
    }
    try {
        if (graphicChildren_ == nullptr) {
            PaintInto(dc);
        } else {
            const int saved = SaveDC(dc);
            int clip = SIMPLEREGION;
            for (int i = 0; i < graphicChildren_->Count() && clip != NULLREGION; ++i) {
                TControl* child = ControlAt(graphicChildren_, i);
                if (child->ShowsNow() && child->HasControlStyle(csOpaque)) {
                    const RECT b = child->BoundsRect();
                    clip = ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
                }
            }
            if (clip != NULLREGION) {
                PaintInto(dc);
            }
            RestoreDC(dc, saved);
        }
        PaintGraphicChildren(dc, nullptr);
    } catch (...) {
        if (began) {
            EndPaint(handle_, &paint);
        }
        throw;
    }
    if (began) {
        EndPaint(handle_, &paint);
    }
}

void TWinControl::PaintInto(HDC dc) {
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
}

void TWinControl::PaintGraphicChildren(HDC dc, TControl* first) {
    const int count = CountOf(graphicChildren_);
    int start = first != nullptr ? std::max(0, graphicChildren_->IndexOf(first)) : 0;
    for (int i = start; i < count; ++i) {
        TControl* child = ControlAt(graphicChildren_, i);
        const RECT bounds = child->BoundsRect();
        if (!child->ShowsNow() || !RectVisible(dc, &bounds)) {
            continue;
        }
        const bool copying = HasControlState(csPaintCopy);
        if (copying) {
            child->IncludeControlState(csPaintCopy);
        }
        const int saved = SaveDC(dc);
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - child->Left(), origin.y - child->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        try {
            child->SendToSelf(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        } catch (...) {
            RestoreDC(dc, saved);
            child->ExcludeControlState(csPaintCopy);
            throw;
        }
        RestoreDC(dc, saved);
        child->ExcludeControlState(csPaintCopy);
    }
    DrawChildFrames(dc);
}

// A 3-D frame just outside each framed windowed child.
void TWinControl::DrawChildFrames(HDC dc) {
    for (int i = 0; i < CountOf(windowedChildren_); ++i) {
        TWinControl* child = WinControlAt(windowedChildren_, i);
        if (!child->ctl3D_ || !child->HasControlStyle(csFramed) || !child->Visible()) {
            continue;
        }
        const RECT shadow{child->Left() - 1, child->Top() - 1, child->Left() + child->Width(),
                          child->Top() + child->Height()};
        const RECT light{child->Left(), child->Top(), child->Left() + child->Width() + 1,
                         child->Top() + child->Height() + 1};
        FrameRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
        FrameRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
}

// ---------------------------------------------------------------- children

void TWinControl::AddChildControl(TControl* child) {
    SendToSelf(CM_CONTROL_LIST_CHANGE, reinterpret_cast<WPARAM>(child), 1);
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (windowed != nullptr) {
        AddTo(windowedChildren_, windowed);
        AddTo(tabList_, windowed);
    } else {
        AddTo(graphicChildren_, child);
    }
    child->SetParentField(this);
    if (!child->HasControlState(csReadingState)) {
        child->SendToSelf(CM_PARENT_COLOR_CHANGED);
        child->SendToSelf(CM_PARENT_FONT_CHANGED);
        child->SendToSelf(CM_PARENT_SHOW_HINT_CHANGED);
        if (windowed != nullptr) {
            windowed->SendToSelf(CM_PARENT_CTL3D_CHANGED);
            windowed->UpdateShowingState();
        } else if (handle_ != nullptr) {
            child->Invalidate();
        }
    }
    Realign(child);
}

void TWinControl::RemoveChildControl(TControl* child) {
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (windowed != nullptr) {
        if (TWinControl* form = ParentForm()) {
            form->DefocusControl(windowed, true);
        }
        windowed->DropWindow();
        RemoveFrom(tabList_, windowed);
        RemoveFrom(windowedChildren_, windowed);
    } else {
        child->InvalidateControl(child->Visible(), false);
        RemoveFrom(graphicChildren_, child);
    }
    child->SetParentField(nullptr);
    SendToSelf(CM_CONTROL_LIST_CHANGE, reinterpret_cast<WPARAM>(child), 0);
    Realign();
}

int TWinControl::ControlCount() const {
    return CountOf(graphicChildren_) + CountOf(windowedChildren_);
}

TControl* TWinControl::Controls(int index) const {
    const int graphicCount = CountOf(graphicChildren_);
    if (index < graphicCount) {
        return ControlAt(graphicChildren_, index);
    }
    if (windowedChildren_ == nullptr) {
        throw ResourceError<EListError>(SListIndexError, {index});
    }
    return ControlAt(windowedChildren_, index - graphicCount);
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == this) {
            return true;
        }
    }
    return false;
}

void TWinControl::Broadcast(TMessage& message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->MessageRouter(message);
        if (message.Result != 0) {
            return;
        }
    }
}

void TWinControl::CMBroadcastToChildren(TMessage& message) {
    Broadcast(message);
}

void TWinControl::CMControlListChange(TMessage& message) {
    if (Parent() != nullptr) {
        message.Result = Parent()->SendToSelf(message.Msg, message.WParam, message.LParam);
    }
}

void TWinControl::CMChildKey(TMessage& message) {
    if (Parent() != nullptr) {
        message.Result = Parent()->SendToSelf(message.Msg, message.WParam, message.LParam);
    }
}

TControl* TWinControl::ChildAtPoint(POINT point, bool allowDisabled) {
    for (int i = CountOf(graphicChildren_) - 1; i >= 0; --i) {
        TControl* child = ControlAt(graphicChildren_, i);
        const POINT local{point.x - child->Left(), point.y - child->Top()};
        const RECT client = child->ClientRect();
        if (local.x < client.left || local.x >= client.right || local.y < client.top ||
            local.y >= client.bottom) {
            continue;
        }
        const bool designHit = HasState(csDesigning) && child->ShowsNow();
        if (designHit || (child->Visible() && (child->Enabled() || allowDisabled) &&
                          child->SendToSelf(CM_HIT_TEST, 0, PointToLParam(local)) != 0)) {
            return child;
        }
    }
    return nullptr;
}

TControl* TWinControl::ControlAtScreenPoint(POINT screenPoint, bool allowDisabled) {
    HWND window = WindowFromPoint(screenPoint);
    while (window != nullptr && FindControl(window) == nullptr) {
        window = GetParent(window);
    }
    TWinControl* control = FindControl(window);
    if (control == nullptr) {
        return nullptr;
    }
    TControl* child = control->ChildAtPoint(control->ScreenToClient(screenPoint), allowDisabled);
    return child != nullptr ? child : control;
}

// Reflects a notification to the library control whose window sent it.
bool TWinControl::ReflectToChild(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (control == nullptr) {
        return false;
    }
    message.Result = control->SendToSelf(message.Msg + CN_BASE, message.WParam, message.LParam);
    return true;
}

void TWinControl::WMCommand(TMessage& message) {
    if (!ReflectToChild(message, reinterpret_cast<HWND>(message.LParam))) {
        Inherited(message);
    }
}

void TWinControl::WMNotify(TMessage& message) {
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    if (header == nullptr || !ReflectToChild(message, header->hwndFrom)) {
        Inherited(message);
    }
}

template <typename ItemRecord> void TWinControl::WMItemMessage(TMessage& message) {
    const auto* item = reinterpret_cast<const ItemRecord*>(message.LParam);
    if (item == nullptr || !ReflectToChild(message, item->hwndItem)) {
        Inherited(message);
    }
}

// The measuring record names no window, only the control's identifier
// among this window's children.
void TWinControl::WMMeasureItem(TMessage& message) {
    const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(message.LParam);
    HWND child = item != nullptr && HasWindow() ? GetDlgItem(handle_, static_cast<int>(item->CtlID))
                                                : nullptr;
    if (child == nullptr || !ReflectToChild(message, child)) {
        Inherited(message);
    }
}

void TWinControl::WMParentNotify(TMessage& message) {
    const WORD event = LOWORD(message.WParam);
    const bool reflected = (event == WM_CREATE || event == WM_DESTROY) &&
                           ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
    if (!reflected) {
        Inherited(message);
    }
}

// ---------------------------------------------------------------- alignment

void TWinControl::DisableAlign() {
    ++alignLevel_;
}

void TWinControl::EnableAlign() {
    --alignLevel_;
    if (alignLevel_ == 0 && HasControlState(csAlignmentNeeded)) {
        Realign();
    }
}

void TWinControl::Realign(TControl* moved) {
    if (handle_ == nullptr || HasState(csDestroying)) {
        return;
    }
    if (alignLevel_ != 0) {
        IncludeControlState(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        RECT rect = GetClientRect();
        ArrangeChildren(moved, rect);
    } catch (...) {
        ExcludeControlState(csAlignmentNeeded);
        EnableAlign();
        throw;
    }
    ExcludeControlState(csAlignmentNeeded);
    EnableAlign();
}

void TWinControl::ArrangeChildren(TControl* moved, RECT& rect) {
    bool anyAligned = false;
    for (int i = 0; i < ControlCount() && !anyAligned; ++i) {
        anyAligned = Controls(i)->Align() != alNone;
    }
    if (!anyAligned) {
        return;
    }
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> aligned;
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* child = Controls(i);
            if (child->Align() == pass && child->ShowsNow() && child != moved) {
                aligned.push_back(child);
            }
        }
        const auto before = [pass](const TControl* a, const TControl* b) {
            switch (pass) {
            case alTop:
                return a->Top() < b->Top();
            case alBottom:
                return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft:
                return a->Left() < b->Left();
            case alRight:
                return a->Left() + a->Width() > b->Left() + b->Width();
            default:
                return false;
            }
        };
        std::stable_sort(aligned.begin(), aligned.end(), before);
        if (moved != nullptr && moved->Align() == pass && moved->ShowsNow() &&
            moved->Parent() == this) {
            aligned.insert(aligned.begin(), moved);
        }
        for (TControl* child : aligned) {
            int width = rect.right - rect.left;
            int height = rect.bottom - rect.top;
            if (width < 0 || pass == alLeft || pass == alRight) {
                width = child->Width();
            }
            if (height < 0 || pass == alTop || pass == alBottom) {
                height = child->Height();
            }
            switch (pass) {
            case alTop:
                child->SetBounds(rect.left, rect.top, width, height);
                rect.top += child->Height();
                break;
            case alBottom:
                child->SetBounds(rect.left, rect.bottom - height, width, height);
                rect.bottom -= child->Height();
                break;
            case alLeft:
                child->SetBounds(rect.left, rect.top, width, height);
                rect.left += child->Width();
                break;
            case alRight:
                child->SetBounds(rect.right - width, rect.top, width, height);
                rect.right -= child->Width();
                break;
            default:
                if (rect.right > rect.left && rect.bottom > rect.top) {
                    child->SetBounds(rect.left, rect.top, width, height);
                }
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- showing

void TWinControl::RefreshShowing() {
    const bool show = ShowsNow() && !HasControlState(csReadingState);
    if (show) {
        if (handle_ == nullptr) {
            MakeWindow();
        }
        for (int i = 0; i < CountOf(windowedChildren_); ++i) {
            WinControlAt(windowedChildren_, i)->RefreshShowing();
        }
    }
    if (handle_ != nullptr && isShowing_ != show) {
        isShowing_ = show;
        try {
            SendToSelf(CM_SHOWING_CHANGED);
        } catch (...) {
            isShowing_ = !show;
            throw;
        }
    }
}

// Refreshes the showing state once every parent shows and the topmost one
// can hold windows: a form, or a control placed in a foreign window.
void TWinControl::UpdateShowingState() {
    const TWinControl* top = this;
    for (const TWinControl* p = Parent(); p != nullptr; p = p->Parent()) {
        if (!p->isShowing_) {
            return;
        }
        top = p;
    }
    if (top->IsFormRoot() || top->parentWindow_ != nullptr) {
        RefreshShowing();
    }
}

void TWinControl::CMShowingChanged(TMessage&) {
    const UINT common = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 common | (isShowing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::DefocusInForm() {
    TWinControl* form = Parent() != nullptr ? ParentForm() : nullptr;
    if (form != nullptr) {
        form->DefocusControl(this, false);
    }
}

void TWinControl::CMVisibleChanged(TMessage&) {
    if (!Visible()) {
        DefocusInForm();
    }
    if (!HasState(csDesigning) || HasControlStyle(csNoDesignVisible)) {
        UpdateShowingState();
    }
}

void TWinControl::CMEnabledChanged(TMessage&) {
    if (!Enabled()) {
        DefocusInForm();
    }
    if (handle_ != nullptr && !HasState(csDesigning)) {
        EnableWindow(handle_, Enabled() ? TRUE : FALSE);
    }
}

void TWinControl::CMShowHintChanged(TMessage& message) {
    Inherited(message);
    TMessage notice{CM_PARENT_SHOW_HINT_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
    const RECT client = GetClientRect();
    FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush_->Handle());
    message.Result = 1;
}

void TWinControl::CMFontChanged(TMessage& message) {
    Inherited(message);
    if (handle_ != nullptr) {
        SendToSelf(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    }
    TMessage notice{CM_PARENT_FONT_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

// The cursor changes at once when the mouse is over this control.
void TWinControl::CMCursorChanged(TMessage&) {
    if (GetCapture() != nullptr || handle_ == nullptr) {
        return;
    }
    POINT mouse{};
    GetCursorPos(&mouse);
    if (ControlAtScreenPoint(mouse, false) == this) {
        SendToSelf(WM_SETCURSOR, reinterpret_cast<WPARAM>(handle_), HTCLIENT);
    }
}

// The screen's cursor wins over every control's; then the cursor of the
// non-windowed child under the mouse, then the control's own.
void TWinControl::WMSetCursor(TMessage& message) {
    const TControlEnvironment& environment = Environment();
    if (reinterpret_cast<HWND>(message.WParam) == handle_) {
        const auto hit = static_cast<short>(LOWORD(message.LParam));
        if (hit == HTERROR) {
            if (HIWORD(message.LParam) == WM_LBUTTONDOWN && BringLastActivePopupForward()) {
                return;
            }
        } else if (hit == HTCLIENT && !HasState(csDesigning) && environment.CursorHandle) {
            TCursor cursor = environment.ScreenCursor ? environment.ScreenCursor() : crDefault;
            if (cursor == crDefault) {
                POINT mouse{};
                GetCursorPos(&mouse);
                TControl* child = ChildAtPoint(ScreenToClient(mouse), false);
                cursor = child != nullptr ? child->Cursor() : crDefault;
            }
            if (cursor == crDefault) {
                cursor = Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(environment.CursorHandle(cursor));
                message.Result = 1;
                return;
            }
        }
    }
    Inherited(message);
}

// A click on a window that a pop-up of the application disables brings that
// pop-up forward; false when it already is.
bool TWinControl::BringLastActivePopupForward() {
    const TControlEnvironment& environment = Environment();
    HWND application = environment.ApplicationWindow ? environment.ApplicationWindow() : nullptr;
    HWND popup = application != nullptr ? GetLastActivePopup(application) : nullptr;
    if (popup == nullptr || popup == GetForegroundWindow()) {
        return false;
    }
    if (IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        SetForegroundWindow(popup);
    }
    return true;
}

// Alt with a letter asks the form first, so that the application's menu
// short-cuts reach a form without a menu of its own.
void TWinControl::WMSysCommand(TMessage& message) {
    const bool menuKey = (message.WParam & 0xFFF0) == SC_KEYMENU;
    const auto character = static_cast<char>(LOWORD(message.LParam));
    const TControlEnvironment& environment = Environment();
    const bool mainForm = environment.MainForm && environment.MainForm() == this;
    if (menuKey && character != ' ' && character != '-' && !IsIconic(handle_) &&
        GetCapture() == nullptr && !mainForm) {
        TWinControl* form = ParentForm();
        if (form != nullptr &&
            form->SendToSelf(CM_APP_SYS_COMMAND, 0, reinterpret_cast<LPARAM>(&message)) != 0) {
            return;
        }
    }
    Inherited(message);
}

void TWinControl::WMFocusChange(TMessage& message) {
    Inherited(message);
    if (GetSystemMetrics(SM_DBCSENABLED) != 0) {
        AdjustInputMethod(message.Msg == WM_SETFOCUS);
    }
}

// A control may name its own input method, switched to while it has the
// focus; one that disables the input method gets it back as it leaves.
void TWinControl::AdjustInputMethod(bool focused) {
    const TControlEnvironment& environment = Environment();
    const std::string defaultIme = environment.DefaultIme ? environment.DefaultIme() : "";
    if (!imeName_.empty() && imeName_ != defaultIme) {
        HKL layout = nullptr;
        if (focused && imeMode_ != imDisable && environment.ImeLayout) {
            layout = environment.ImeLayout(imeName_);
        } else if (!focused && environment.DefaultKeyboardLayout) {
            layout = environment.DefaultKeyboardLayout();
        }
        if (layout != nullptr) {
            ActivateKeyboardLayout(layout, 0);
        }
    }
    if (imeMode_ != imDisable) {
        return;
    }
    using EnableImeProc = BOOL(WINAPI*)(HWND, BOOL);
    auto enableIme = reinterpret_cast<EnableImeProc>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("USER32.DLL"), "WINNLSEnableIME")));
    if (enableIme != nullptr) {
        enableIme(handle_, focused ? FALSE : TRUE);
    }
}

void TWinControl::WMImeComposition(TMessage& message) {
    imeComposing_ = message.Msg == WM_IME_STARTCOMPOSITION;
    Inherited(message);
}

void TWinControl::CMColorChanged(TMessage& message) {
    Inherited(message);
    brush_->SetColor(Color());
    TMessage notice{CM_PARENT_COLOR_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

void TWinControl::SetCtl3D(bool value) {
    if (value == ctl3D_) {
        return;
    }
    ctl3D_ = value;
    parentCtl3D_ = false;
    SendToSelf(CM_CTL3D_CHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
    if (value == parentCtl3D_) {
        return;
    }
    parentCtl3D_ = value;
    if (Parent() != nullptr) {
        SendToSelf(CM_PARENT_CTL3D_CHANGED);
    }
}

void TWinControl::CMCtl3DChanged(TMessage&) {
    if (Parent() != nullptr && HasControlStyle(csFramed) && handle_ != nullptr &&
        IsWindowVisible(handle_)) {
        InvalidateFrame();
    }
    TMessage notice{CM_PARENT_CTL3D_CHANGED, 0, 0, 0};
    Broadcast(notice);
}

void TWinControl::CMParentCtl3DChanged(TMessage&) {
    if (parentCtl3D_ && Parent() != nullptr) {
        SetCtl3D(Parent()->ctl3D_);
        parentCtl3D_ = true;
    }
}

// ---------------------------------------------------------------- reading

void TWinControl::ReadOwnState(TReader& reader) {
    DisableAlign();
    try {
        TControl::ReadOwnState(reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    ApplyPendingTabOrder();
    if (Parent() != nullptr) {
        SendToSelf(CM_PARENT_CTL3D_CHANGED);
    }
    UpdateShowingState();
}

// Each windowed child with a recorded position in range takes it; the others
// fill the remaining places in their present order.
void TWinControl::ApplyPendingTabOrder() {
    const int count = CountOf(tabList_);
    if (count == 0) {
        return;
    }
    std::vector<TWinControl*> placed(static_cast<std::size_t>(count), nullptr);
    std::vector<TWinControl*> rest;
    for (int i = 0; i < count; ++i) {
        TWinControl* child = WinControlAt(tabList_, i);
        const int wanted = child->pendingTabOrder_;
        if (wanted >= 0 && wanted < count && placed[static_cast<std::size_t>(wanted)] == nullptr) {
            placed[static_cast<std::size_t>(wanted)] = child;
        } else {
            rest.push_back(child);
        }
        child->pendingTabOrder_ = -1;
    }
    auto next = rest.begin();
    for (int i = 0; i < count; ++i) {
        if (placed[static_cast<std::size_t>(i)] == nullptr) {
            placed[static_cast<std::size_t>(i)] = *next++;
        }
        tabList_->Put(i, placed[static_cast<std::size_t>(i)]);
    }
}

// ---------------------------------------------------------------- tab order and focus

int TWinControl::TabOrder() const {
    if (Parent() == nullptr || Parent()->tabList_ == nullptr) {
        return -1;
    }
    return Parent()->tabList_->IndexOf(this);
}

void TWinControl::SetTabOrder(int value) {
    if (HasControlState(csReadingState)) {
        pendingTabOrder_ = static_cast<std::int16_t>(value);
        return;
    }
    MoveInTabList(value);
}

void TWinControl::MoveInTabList(int position) {
    if (Parent() == nullptr || Parent()->tabList_ == nullptr) {
        return;
    }
    TList& list = *Parent()->tabList_;
    const int current = list.IndexOf(this);
    if (current < 0) {
        return;
    }
    // A 16-bit order with its top bit set is negative: the first place.
    const int target =
        std::clamp(static_cast<int>(static_cast<std::int16_t>(position)), 0, list.Count() - 1);
    if (target != current) {
        list.Delete(current);
        list.Insert(target, this);
    }
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) {
        return;
    }
    tabStop_ = value;
    if (handle_ != nullptr) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        style = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        SetWindowLongA(handle_, GWL_STYLE, style);
    }
    SendToSelf(CM_TAB_STOP_CHANGED);
}

void TWinControl::CollectTabOrder(TList& list) {
    for (int i = 0; i < CountOf(tabList_); ++i) {
        TWinControl* child = WinControlAt(tabList_, i);
        list.Add(child);
        child->CollectTabOrder(list);
    }
}

TWinControl* TWinControl::ParentForm() {
    TWinControl* top = this;
    while (top->Parent() != nullptr) {
        top = top->Parent();
    }
    return top->IsFormRoot() ? top : nullptr;
}

bool TWinControl::IsFocusable() {
    TWinControl* form = ParentForm();
    if (form == nullptr) {
        return false;
    }
    for (TWinControl* c = this; c != form; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) {
            return false;
        }
    }
    return true;
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    TWinControl* form = ParentForm();
    if (form == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    form->FocusDescendant(this);
}

void TWinControl::FocusDescendant(TWinControl* control) {
    ::SetFocus(control->Handle());
}

TWinControl* TWinControl::NextTabControl(TWinControl* current, bool forward, bool checkTabStop,
                                         bool checkParent) {
    TList list;
    CollectTabOrder(list);
    const int count = list.Count();
    if (count == 0) {
        return nullptr;
    }
    int index = list.IndexOf(current);
    if (index < 0) {
        index = forward ? count - 1 : 0;
    }
    for (int step = 0; step < count; ++step) {
        index = forward ? (index + 1) % count : (index + count - 1) % count;
        TWinControl* candidate = WinControlAt(&list, index);
        if (candidate->IsFocusable() && (!checkTabStop || candidate->tabStop_) &&
            (!checkParent || candidate->Parent() == this)) {
            return candidate;
        }
    }
    return nullptr;
}

void TWinControl::FocusNextInTabOrder(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = NextTabControl(current, forward, checkTabStop, !checkTabStop)) {
        next->SetFocus();
    }
}

void TWinControl::CMEnter(TMessage&) {
    DoEnter();
}

void TWinControl::CMExit(TMessage&) {
    DoExit();
}

void TWinControl::DoEnter() {
    OnEnter(this);
}

void TWinControl::DoExit() {
    OnExit(this);
}

// ---------------------------------------------------------------- keys

bool TWinControl::KeyEventsAllowed() const {
    return !HasControlStyle(csNoStdEvents);
}

TShiftState TWinControl::KeyShiftOf(const TMessage& message) const {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= ssShift;
    }
    if ((static_cast<DWORD>(message.LParam) & (1u << 29)) != 0) {
        shift |= ssAlt;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= ssCtrl;
    }
    return shift;
}

// A form that previews keys sees them before its focused control.
bool TWinControl::FormTakesKey(TMessage& message) {
    TWinControl* form = ParentForm();
    return form != nullptr && form != this && form->PreviewKey(message);
}

bool TWinControl::DoKeyDown(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<WORD>(message.WParam);
        const auto watch = LifeWatch();
        KeyDown(key, KeyShiftOf(message));
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = key;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<WORD>(message.WParam);
        const auto watch = LifeWatch();
        KeyUp(key, KeyShiftOf(message));
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = key;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
    if (FormTakesKey(message)) {
        return true;
    }
    if (KeyEventsAllowed()) {
        auto key = static_cast<char>(message.WParam);
        const auto watch = LifeWatch();
        KeyPress(key);
        if (watch.expired() || key == 0) {
            return true;
        }
        message.WParam = static_cast<BYTE>(key);
    }
    return false;
}

void TWinControl::WMKeyDown(TMessage& message) {
    if (!DoKeyDown(message)) {
        Inherited(message);
    }
}

void TWinControl::WMKeyUp(TMessage& message) {
    if (!DoKeyUp(message)) {
        Inherited(message);
    }
}

void TWinControl::WMChar(TMessage& message) {
    if (!DoKeyPress(message)) {
        Inherited(message);
    }
}

// System notices are performed as the matching control message, which goes
// down to every child; system colours are resolved afresh first.
void TWinControl::WMSystemChange(TMessage& message) {
    UINT notice = CM_TIME_CHANGE;
    switch (message.Msg) {
    case WM_SYSCOLORCHANGE:
        ReleaseSystemColorObjects();
        notice = CM_SYS_COLOR_CHANGE;
        break;
    case WM_WININICHANGE:
        notice = CM_WIN_INI_CHANGE;
        break;
    case WM_FONTCHANGE:
        notice = CM_FONT_CHANGE;
        break;
    default:
        break;
    }
    SendToSelf(notice, message.WParam, message.LParam);
    Inherited(message);
}

namespace {

// The dialog code bit a control sets to keep a navigation key; 0 for other keys.
LRESULT DialogCodeForKey(WPARAM key) {
    switch (key) {
    case VK_TAB:
        return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return DLGC_WANTARROWS;
    case VK_CANCEL:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
        return DLGC_WANTALLKEYS;
    default:
        return 0;
    }
}

} // namespace

LRESULT TWinControl::AskFormForDialogKey(UINT number, const TMessage& message) {
    TWinControl* form = ParentForm();
    return form == nullptr ? 0 : form->SendToSelf(number, message.WParam, message.LParam);
}

// A key the focused control does not keep for itself may be the form's
// (Tab, arrows, Enter, Escape); a non-zero result means it was used.
void TWinControl::CNKeyDown(TMessage& message) {
    message.Result = 1;
    // The main form's menu short-cuts come first; the application knows them.
    const TControlEnvironment& environment = Environment();
    HWND application = environment.ApplicationWindow ? environment.ApplicationWindow() : nullptr;
    if (application != nullptr &&
        SendMessageA(application, CM_APP_KEY_DOWN, message.WParam, message.LParam) != 0) {
        return;
    }
    if (!HasState(csDesigning)) {
        if (SendToSelf(CM_CHILD_KEY, message.WParam, reinterpret_cast<LPARAM>(this)) != 0) {
            return;
        }
        if (message.Msg == CN_SYSKEYDOWN) {
            if (AskFormForDialogKey(CM_DIALOG_KEY, message) != 0) {
                return;
            }
        } else if (const LRESULT wanted = DialogCodeForKey(message.WParam); wanted != 0) {
            if (SendToSelf(CM_WANT_SPECIAL_KEY, message.WParam) == 0 &&
                (SendToSelf(WM_GETDLGCODE) & wanted) == 0 &&
                AskFormForDialogKey(CM_DIALOG_KEY, message) != 0) {
                return;
            }
        }
    }
    message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& message) {
    message.Result = 0;
    if (DialogCodeForKey(message.WParam) != 0) {
        message.Result = SendToSelf(CM_WANT_SPECIAL_KEY, message.WParam);
    }
}

void TWinControl::CNChar(TMessage& message) {
    message.Result = 0;
    if (!HasState(csDesigning) && (SendToSelf(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0 &&
        AskFormForDialogKey(CM_DIALOG_CHAR, message) != 0) {
        message.Result = 1;
    }
}

void TWinControl::CNSysChar(TMessage& message) {
    message.Result = 0;
    if (!HasState(csDesigning) && message.WParam != ' ') {
        message.Result = AskFormForDialogKey(CM_DIALOG_CHAR, message);
    }
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    OnKeyPress(this, key);
}

} // namespace velbrin
