#include "TCustomComboBox.h"

#include "TComboBoxStrings.h"
#include "controls/SystemCallback.h"
#include "controls/TControlCanvas.h"
#include "core/TStringList.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TForm.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"

#include <algorithm>

namespace velbrin {

LRESULT CALLBACK ComboChildEntry(HWND child, UINT number, WPARAM wParam, LPARAM lParam);

const TypeInfo& TypeInfoOf(TComboBoxStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList",
                                               "csOwnerDrawFixed", "csOwnerDrawVariable"});
    return type;
}

namespace {

constexpr TControlStyle kComboControlStyle =
    csCaptureMouse | csSetCaption | csDoubleClicks | csFixedHeight;
// The window styles of each TComboBoxStyle.
constexpr DWORD kStyleBits[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
// What a box without a limit of its own takes.
constexpr int kLargestTextLimit = 255;
// The class styles a control that wraps a system class leaves out.
constexpr UINT kSharedDCClassStyles = CS_PARENTDC | CS_CLASSDC | CS_OWNDC | CS_GLOBALCLASS;

// The system class's record becomes the control's own class, sharing none
// of its device contexts.
void TakeOverSystemClass(TCreateParams& params, LPCSTR systemClass) {
    WNDCLASSA record{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), systemClass, &record) ||
        GetClassInfoA(nullptr, systemClass, &record)) {
        params.WindowClass = record;
        params.WindowClass.style = (record.style & ~kSharedDCClassStyles) | CS_VREDRAW | CS_HREDRAW;
    }
}

WNDPROC Subclass(HWND child) {
    auto prior = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(child, GWLP_WNDPROC));
    SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboChildEntry));
    return prior;
}

bool DoubleByteSystem() {
    return GetSystemMetrics(SM_DBCSENABLED) != 0;
}

} // namespace

// The window procedure of the subclassed children: a child of a combo box
// control hands its messages to the control; once the control has let go of
// its window (as it is destroyed), the child's own class takes them.
LRESULT CALLBACK ComboChildEntry(HWND child, UINT number, WPARAM wParam, LPARAM lParam) {
    return GuardedCallback(LRESULT{0}, [&] {
        auto* combo = dynamic_cast<TCustomComboBox*>(FindControl(GetParent(child)));
        if (combo == nullptr || (child != combo->editHandle_ && child != combo->listHandle_)) {
            auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrA(child, GCLP_WNDPROC));
            return CallWindowProcA(own, child, number, wParam, lParam);
        }
        TMessage message{number, wParam, lParam, 0};
        if (child == combo->editHandle_) {
            combo->EditMessageEntry(message);
        } else {
            combo->ListMessageEntry(message);
        }
        return message.Result;
    });
}

VELBRIN_DEFINE_CLASS_TABLES(TCustomComboBox, TWinControl, "StdCtrls") {
    cls.Handle<WM_CREATE, &TCustomComboBox::WMCreate>();
    cls.Handle<WM_ERASEBKGND, &TCustomComboBox::WMEraseBkgnd>();
    cls.Handle<WM_DRAWITEM, &TCustomComboBox::WMItemDefault>();
    cls.Handle<WM_MEASUREITEM, &TCustomComboBox::WMItemDefault>();
    cls.Handle<WM_DELETEITEM, &TCustomComboBox::WMItemDefault>();
    cls.Handle<WM_GETDLGCODE, &TCustomComboBox::WMGetDlgCode>();
    cls.Handle<WM_LBUTTONDOWN, &TCustomComboBox::WMLButtonDown>();
    cls.Handle<CM_CANCEL_MODE, &TCustomComboBox::CMCancelMode>();
    cls.Handle<CM_CTL3D_CHANGED, &TCustomComboBox::CMCtl3DChanged>();
    cls.Handle<CN_COMMAND, &TCustomComboBox::CNCommand>();
    cls.Handle<CN_DRAWITEM, &TCustomComboBox::CNDrawItem>();
    cls.Handle<CN_MEASUREITEM, &TCustomComboBox::CNMeasureItem>();
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(kComboControlStyle);
    SetWidth(145);
    SetHeight(25);
    SetTabStop(true);
    SetParentColor(false);
    items_ = new TComboBoxStrings(this);
    canvas_ = new TControlCanvas;
}

TCustomComboBox::~TCustomComboBox() {
    // The items go with the window; none are kept.
    if (HasWindow()) {
        NoteControlFreed(this);
        DestroySystemWindow();
    }
    delete canvas_;
    delete items_;
    delete saveItems_;
}

// ---------------------------------------------------------------- properties

TStrings* TCustomComboBox::Items() const {
    return items_;
}

void TCustomComboBox::SetItems(TStrings* items) {
    items_->Assign(items);
}

TCanvas* TCustomComboBox::Canvas() const {
    return canvas_;
}

int TCustomComboBox::ItemIndex() {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

bool TCustomComboBox::DroppedDown() {
    return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

void TCustomComboBox::SetSorted(bool value) {
    if (value != sorted_) {
        sorted_ = value;
        RebuildWindow();
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) {
        return;
    }
    style_ = style;
    TControlStyle controlStyle = ControlStyle();
    SetControlStyle(style == csSimple ? controlStyle & ~csFixedHeight
                                      : controlStyle | csFixedHeight);
    RebuildWindow();
}

bool TCustomComboBox::IsOwnerDrawn() const {
    return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
}

int TCustomComboBox::ItemHeight() {
    if (IsOwnerDrawn()) {
        return itemHeight_;
    }
    return static_cast<int>(SendToSelf(CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int value) {
    if (value > 0) {
        itemHeight_ = value;
    }
}

void TCustomComboBox::SetMaxLength(int value) {
    if (value == maxLength_) {
        return;
    }
    maxLength_ = value;
    if (HasWindow()) {
        SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
    }
}

// ---------------------------------------------------------------- events

void TCustomComboBox::Change() {
    OnChange(this);
}

void TCustomComboBox::DropDown() {
    OnDropDown(this);
}

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
    if (OnDrawItem.Assigned()) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    canvas_->FillRect(rect);
    canvas_->TextOut(rect.left + 2, rect.top, items_->Get(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
    OnMeasureItem(this, index, height);
}

// ---------------------------------------------------------------- the window

void TCustomComboBox::PrepareWindowSpec(TCreateParams& params) {
    TWinControl::PrepareWindowSpec(params);
    TakeOverSystemClass(params, "COMBOBOX");
    params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | kStyleBits[style_];
    if (sorted_) {
        params.Style |= CBS_SORT;
    }
    if (Ctl3D()) {
        params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

void TCustomComboBox::BuildWindow() {
    TWinControl::BuildWindow();
    const int limit =
        maxLength_ <= 0 || maxLength_ > kLargestTextLimit ? kLargestTextLimit : maxLength_;
    SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    if (saveItems_ != nullptr) {
        items_->Assign(saveItems_);
        delete saveItems_;
        saveItems_ = nullptr;
    }
    SubclassChildren();
}

// The edit field (and, for csSimple, the list before it) is the first child.
void TCustomComboBox::SubclassChildren() {
    editHandle_ = nullptr;
    listHandle_ = nullptr;
    if (style_ != csDropDown && style_ != csSimple) {
        return;
    }
    HWND child = GetWindow(Handle(), GW_CHILD);
    if (style_ == csSimple) {
        listHandle_ = child;
        priorListProc_ = Subclass(child);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    editHandle_ = child;
    priorEditProc_ = Subclass(child);
    SendMessageA(editHandle_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TCustomComboBox::TearDownWindow() {
    if (items_->Count() > 0) {
        saveItems_ = new TStringList;
        saveItems_->Assign(items_);
    }
    TWinControl::TearDownWindow();
    editHandle_ = nullptr;
    listHandle_ = nullptr;
}

// ---------------------------------------------------------------- the children

template <class Work> void TCustomComboBox::ReportingErrors(Work&& work) {
    try {
        work();
    } catch (...) {
        if (Application != nullptr) {
            Application->ReportException(this, std::current_exception());
        }
    }
}

void TCustomComboBox::EditMessageEntry(TMessage& message) {
    if (message.Msg == WM_SYSCOMMAND) {
        ReportingErrors([&] { HandleWindowMessage(message); });
        return;
    }
    const auto watch = LifeWatch();
    HWND edit = editHandle_;
    ComboMessageEntry(message, edit, priorEditProc_);
    if (watch.expired()) {
        return;
    }
    if (message.Msg == WM_SETFONT) {
        SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    }
    if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) &&
        DragMode() == dmAutomatic) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ::ScreenToClient(edit, &cursor);
        SendMessageA(edit, WM_LBUTTONUP, 0, PointToLParam(cursor));
        BeginDrag(false);
    }
}

void TCustomComboBox::ListMessageEntry(TMessage& message) {
    ComboMessageEntry(message, listHandle_, priorListProc_);
}

void TCustomComboBox::ComboMessageEntry(TMessage& message, HWND child, WNDPROC prior) {
    ReportingErrors([&] { RouteChildMessage(message, child, prior); });
}

bool TCustomComboBox::CharClosesList(const TMessage& message) {
    if ((message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) && DroppedDown()) {
        SetDroppedDown(false);
        return true;
    }
    return false;
}

void TCustomComboBox::RouteChildMessage(TMessage& message, HWND child, WNDPROC prior) {
    switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (FocusNoticeSwallowed(message)) {
            return;
        }
        break;
    case WM_GETDLGCODE:
        if (DroppedDown()) {
            message.Result = DLGC_WANTALLKEYS;
            return;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (child != listHandle_ && DoKeyDown(message)) {
            return;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(message)) {
            return;
        }
        break;
    case WM_CHAR:
        if (DoKeyPress(message) || CharClosesList(message)) {
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (Application != nullptr) {
            // The hint machinery reads the point in the control's coordinates.
            POINT point = PointOfMessage(message);
            MapWindowPoints(child, Handle(), &point, 1);
            Application->HintMouseActivity(this,
                                           {message.Msg, message.WParam, PointToLParam(point), 0});
        }
        break;
    case CN_KEYDOWN:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
        HandleWindowMessage(message);
        return;
    default:
        break;
    }
    const auto watch = LifeWatch();
    message.Result = CallWindowProcA(prior, child, message.Msg, message.WParam, message.LParam);
    if (!watch.expired() && message.Msg == WM_LBUTTONDBLCLK && HasControlStyle(csDoubleClicks)) {
        DblClick();
    }
}

// ---------------------------------------------------------------- messages

void TCustomComboBox::HandleWindowMessage(TMessage& message) {
    if (message.Msg == WM_CHAR) {
        // The key step runs once: what it leaves goes to the combo box itself.
        if (!DoKeyPress(message) && !CharClosesList(message)) {
            DefaultHandler(message);
        }
        return;
    }
    if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
        // The edit field and the list ask the box; the answer is the box's own.
        auto dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ResolveColor(Font()->Color()));
        SetBkColor(dc, ResolveColor(Brush()->Color()));
        message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
    }
    TWinControl::HandleWindowMessage(message);
}

void TCustomComboBox::WMCreate(TMessage& message) {
    Inherited(message);
    SetWindowTextA(Handle(), KeptText().c_str());
}

void TCustomComboBox::WMEraseBkgnd(TMessage& message) {
    if (style_ != csDropDown && style_ != csSimple) {
        return;
    }
    RECT client;
    ::GetClientRect(Handle(), &client);
    TBrush* brush = Parent() != nullptr ? Parent()->Brush() : Brush();
    FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush->Handle());
    message.Result = 1;
}

void TCustomComboBox::WMItemDefault(TMessage& message) {
    DefaultHandler(message);
}

void TCustomComboBox::WMGetDlgCode(TMessage& message) {
    Inherited(message);
    if (DroppedDown()) {
        message.Result |= DLGC_WANTALLKEYS;
    }
}

void TCustomComboBox::WMLButtonDown(TMessage& message) {
    if (DragMode() == dmAutomatic && style_ == csDropDownList &&
        PointOfMessage(message).x < Width() - GetSystemMetrics(SM_CXHSCROLL)) {
        SetFocus();
        BeginDrag(false);
        return;
    }
    const auto watch = LifeWatch();
    Inherited(message);
    if (watch.expired() || !MouseCapture()) {
        return;
    }
    auto* form = dynamic_cast<TForm*>(ParentForm());
    if (form != nullptr && form->ActiveControl() != this) {
        SetMouseCapture(false);
    }
}

void TCustomComboBox::CMCancelMode(TMessage& message) {
    if (reinterpret_cast<TControl*>(message.LParam) != this) {
        SendToSelf(CB_SHOWDROPDOWN, FALSE, 0);
    }
}

void TCustomComboBox::CMCtl3DChanged(TMessage& message) {
    RebuildWindow();
    Inherited(message);
}

// ---------------------------------------------------------------- notifications

void TCustomComboBox::SelectionChanged() {
    SetText(items_->Get(ItemIndex()));
    const auto watch = LifeWatch();
    Click();
    if (!watch.expired()) {
        Change();
    }
}

void TCustomComboBox::FocusNotified(bool focused) {
    isFocused_ = focused;
    focusChanged_ = true;
    if (DoubleByteSystem()) {
        AdjustInputMethod(focused);
    }
}

void TCustomComboBox::SizeDropDownList() {
    const int rows = std::max(std::min(items_->Count(), dropDownCount_), 1);
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), rows * ItemHeight() + Height() + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW |
                     SWP_SHOWWINDOW);
}

void TCustomComboBox::CNCommand(TMessage& message) {
    switch (HIWORD(message.WParam)) {
    case CBN_SELCHANGE:
        SelectionChanged();
        break;
    case CBN_DBLCLK:
        DblClick();
        break;
    case CBN_SETFOCUS:
        FocusNotified(true);
        break;
    case CBN_KILLFOCUS:
        FocusNotified(false);
        break;
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_DROPDOWN: {
        focusChanged_ = false;
        const auto watch = LifeWatch();
        DropDown();
        if (watch.expired()) {
            return;
        }
        SizeDropDownList();
        // The handler moved the focus: the list must not stay down.
        if (focusChanged_) {
            PostMessageA(Handle(), WM_CANCELMODE, 0, 0);
            if (!isFocused_) {
                PostMessageA(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
            }
        }
        break;
    }
    default:
        break;
    }
}

void TCustomComboBox::CNMeasureItem(TMessage& message) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    measure->itemHeight = static_cast<UINT>(itemHeight_);
    if (style_ == csOwnerDrawVariable) {
        int height = itemHeight_;
        MeasureItem(static_cast<int>(measure->itemID), height);
        measure->itemHeight = static_cast<UINT>(height);
    }
}

void TCustomComboBox::CNDrawItem(TMessage& message) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    const auto state = static_cast<TOwnerDrawState>(draw->itemState);
    const auto index = static_cast<int>(draw->itemID);
    canvas_->SetHandle(draw->hDC);
    const auto watch = LifeWatch();
    try {
        canvas_->SetFont(Font());
        canvas_->SetBrush(Brush());
        if (index >= 0 && (state & odSelected) != 0) {
            canvas_->Brush()->SetColor(clHighlight);
            canvas_->Font()->SetColor(clHighlightText);
        }
        if (index < 0) {
            canvas_->FillRect(draw->rcItem);
        } else {
            DrawItem(index, draw->rcItem, state);
        }
        if ((state & odFocused) != 0) {
            DrawFocusRect(draw->hDC, &draw->rcItem);
        }
    } catch (...) {
        if (!watch.expired()) {
            canvas_->SetHandle(nullptr);
        }
        throw;
    }
    if (!watch.expired()) {
        canvas_->SetHandle(nullptr);
    }
}

} // namespace velbrin
