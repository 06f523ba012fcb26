// Window classes and windows: registration, creation with Windows' message
// sequence, destruction, the window words, properties, texts and the tree.

#include "UserState.h"

#include "../backends/Screens.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace platform::user {

UserState::UserState() {
    DefaultScreen screen = MakeDefaultScreen();
    backend = std::move(screen.backend);
    monitor = screen.monitor;
    RegisterSystemClasses(*this);
}

UserState::~UserState() = default;

namespace {

bool SameName(const std::string& a, LPCSTR b) {
    return strcasecmp(a.c_str(), b) == 0;
}

// Class names may be given as the class atom.
WindowClass* FindClass(LPCSTR name, HINSTANCE instance, bool moduleOnly) {
    if (name == nullptr) {
        return nullptr;
    }
    auto matches = [&](const WindowClass& c) {
        if (IS_INTRESOURCE(name)) {
            return c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
        }
        return SameName(c.name, name);
    };
    for (auto& c : State().classes) {
        if (!c->system && c->info.hInstance == instance && matches(*c)) {
            return c.get();
        }
    }
    if (moduleOnly) {
        return nullptr;
    }
    for (auto& c : State().classes) {
        if (c->system && matches(*c)) {
            if (c->systemCursor && !c->info.hCursor) {
                c->info.hCursor = LoadCursorA(nullptr, c->systemCursor);
            }
            return c.get();
        }
    }
    return nullptr;
}

HINSTANCE ProgramModule(HINSTANCE instance) {
    return instance ? instance : GetModuleHandleA(nullptr);
}

} // namespace

ATOM RegisterClass(UserState& state, const WNDCLASSA& info, bool system) {
    auto added = std::make_unique<WindowClass>();
    added->name = info.lpszClassName;
    added->info = info;
    added->info.lpszMenuName = nullptr;
    added->atom = state.nextClassAtom++;
    added->system = system;
    added->info.lpszClassName = added->name.c_str();
    ATOM atom = added->atom;
    state.classes.push_back(std::move(added));
    return atom;
}

} // namespace platform::user

using namespace platform::user;

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
    if (wndClass == nullptr || wndClass->lpfnWndProc == nullptr ||
        wndClass->lpszClassName == nullptr || IS_INTRESOURCE(wndClass->lpszClassName) ||
        wndClass->lpszClassName[0] == '\0' || wndClass->cbWndExtra < 0 ||
        wndClass->cbWndExtra > 40 || wndClass->cbClsExtra < 0) {
        return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
    }
    WNDCLASSA info = *wndClass;
    info.hInstance = ProgramModule(info.hInstance);
    if (FindClass(info.lpszClassName, info.hInstance, true)) {
        return Fail(1410 /* ERROR_CLASS_ALREADY_EXISTS */, ATOM{0});
    }
    return RegisterClass(State(), info, false);
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wndClass) {
    if (wndClass == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    WindowClass* found = FindClass(className, ProgramModule(instance), false);
    if (found == nullptr) {
        return Fail(1411 /* ERROR_CLASS_DOES_NOT_EXIST */, FALSE);
    }
    *wndClass = found->info;
    return TRUE;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    WindowClass* found = FindClass(className, ProgramModule(instance), true);
    if (found == nullptr) {
        return Fail(1411 /* ERROR_CLASS_DOES_NOT_EXIST */, FALSE);
    }
    if (found->liveWindows > 0) {
        return Fail(1412 /* ERROR_CLASS_HAS_WINDOWS */, FALSE);
    }
    auto& classes = State().classes;
    classes.erase(std::find_if(classes.begin(), classes.end(),
                               [&](const auto& c) { return c.get() == found; }));
    return TRUE;
}

int GetClassNameA(HWND window, LPSTR className, int maxCount) {
    Window* w = Find(window);
    if (w == nullptr || className == nullptr || maxCount <= 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    const std::string& name = w->windowClass->name;
    int copied = std::min<int>(static_cast<int>(name.size()), maxCount - 1);
    std::memcpy(className, name.data(), copied);
    className[copied] = '\0';
    return copied;
}

namespace {

ULONG_PTR ClassField(HWND window, int index) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, ULONG_PTR{0});
    }
    const WNDCLASSA& info = w->windowClass->info;
    switch (index) {
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(info.hbrBackground);
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(info.hCursor);
    case GCLP_HICON:
        return reinterpret_cast<ULONG_PTR>(info.hIcon);
    case GCL_STYLE:
        return info.style;
    case GCLP_WNDPROC:
        return reinterpret_cast<ULONG_PTR>(info.lpfnWndProc);
    default:
        return Fail(ERROR_INVALID_PARAMETER, ULONG_PTR{0});
    }
}

} // namespace

// Where pointers are wider than 32 bits only the style fits: the pointer-sized
// fields are refused rather than cut.
DWORD GetClassLongA(HWND window, int index) {
    if (sizeof(ULONG_PTR) > sizeof(DWORD) && index != GCL_STYLE) {
        return Fail(ERROR_INVALID_PARAMETER, DWORD{0});
    }
    return static_cast<DWORD>(ClassField(window, index));
}

#if UINTPTR_MAX > 0xffffffffu
ULONG_PTR GetClassLongPtrA(HWND window, int index) {
    return ClassField(window, index);
}
#endif

// ------------------------------------------------------------------ creation

namespace {

// Windows places a CW_USEDEFAULT window on a cascade; one fixed place is enough
// here, and its size is three quarters of the screen.
void ApplyDefaultPlacement(int& x, int& y, int& width, int& height, bool child) {
    SIZE screen = State().backend->ScreenSize();
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : 22;
        y = child ? 0 : 22;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : screen.cx * 3 / 4;
        height = child ? 0 : screen.cy * 3 / 4;
    }
}

} // namespace

bool platform::user::TellSizeAndPlace(HWND window) {
    Window* w = Find(window);
    w->sizeUntold = false;
    RECT client = w->client;
    SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right - client.left, client.bottom - client.top));
    if ((w = Find(window)) == nullptr) {
        return false;
    }
    POINT origin{w->rect.left + w->client.left, w->rect.top + w->client.top};
    SendMessageA(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    return Find(window) != nullptr;
}

MINMAXINFO platform::user::DefaultSizeLimits(const Window& w) {
    SIZE screen = State().backend->ScreenSize();
    // The border is as wide on every side; the caption adds to the top only.
    const LONG border = FrameInsets(w.style, w.exStyle).left;
    MINMAXINFO limits{};
    limits.ptMaxSize = {screen.cx + 2 * border, screen.cy + 2 * border};
    // A maximised window hides its border beyond the screen's edges.
    limits.ptMaxPosition = {-border, -border};
    limits.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    return limits;
}

bool platform::user::HasSizeLimits(DWORD style) {
    return (style & (WS_CHILD | WS_POPUP)) == 0 || (style & WS_THICKFRAME);
}

std::optional<MINMAXINFO> platform::user::AskSizeLimits(HWND window) {
    const Window* w = Find(window);
    if (w == nullptr) {
        return std::nullopt;
    }
    MINMAXINFO limits = DefaultSizeLimits(*w);
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    if (!Find(window)) {
        return std::nullopt;
    }
    return limits;
}

namespace {

void InsertInZOrder(HWND window, HWND parent, bool topmost) {
    UserState& state = State();
    if (parent) {
        // A new child goes to the bottom, so that creation order is tab order.
        Find(parent)->children.push_back(window);
        return;
    }
    auto& list = state.topLevels;
    auto position = list.begin();
    if (!topmost) {
        position = std::find_if(list.begin(), list.end(),
                                [](HWND h) { return (Find(h)->exStyle & WS_EX_TOPMOST) == 0; });
    }
    list.insert(position, window);
}

void RemoveFromZOrder(HWND window, HWND parent) {
    auto& list = parent && Find(parent) ? Find(parent)->children : State().topLevels;
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

void NotifyParents(HWND child, UINT event, LPARAM lParam) {
    Window* w = Find(child);
    while (w && (w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && w->parent) {
        HWND parent = w->parent;
        SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, w->id), lParam);
        w = Find(parent);
    }
}

void FreeWindow(HWND window) {
    UserState& state = State();
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    for (auto& [atom, property] : w->properties) {
        if (property.ownsAtom) {
            GlobalDeleteAtom(atom);
        }
    }
    if (w->systemMenu) {
        state.menus.Remove(reinterpret_cast<std::uintptr_t>(w->systemMenu));
    }
    if (w->backendSurface) {
        state.backend->CloseSurface(w->backendSurface);
    }
    --w->windowClass->liveWindows;
    RemoveFromZOrder(window, w->parent);
    state.windows.Remove(reinterpret_cast<std::uintptr_t>(window));
}

// Sends WM_DESTROY to the window, then to each descendant.
void SendDestroy(HWND window) {
    SendMessageA(window, WM_DESTROY, 0, 0);
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (Find(child)) {
            SendDestroy(child);
        }
    }
}

// Sends WM_NCDESTROY to the descendants first, then frees each window.
void SendNcDestroy(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        SendNcDestroy(child);
    }
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    FreeWindow(window);
}

void MarkDestroying(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    w->destroying = true;
    for (HWND child : w->children) {
        MarkDestroying(child);
    }
}

void ForgetTree(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    for (HWND child : w->children) {
        ForgetTree(child);
    }
    KillTimersOf(window);
    ForgetWindow(window);
}

HWND CreateFailed(HWND window, bool sendDestroy) {
    if (sendDestroy) {
        SendDestroy(window);
    }
    SendNcDestroy(window);
    return Fail(1400 /* ERROR_INVALID_WINDOW_HANDLE */, HWND{nullptr});
}

} // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    UserState& state = State();
    WindowClass* windowClass = FindClass(className, ProgramModule(instance), false);
    if (windowClass == nullptr) {
        return Fail(1407 /* ERROR_CANNOT_FIND_WND_CLASS */, HWND{nullptr});
    }
    bool child = (style & WS_CHILD) != 0;
    if (parent && Find(parent) == nullptr) {
        return Fail(1400 /* ERROR_INVALID_WINDOW_HANDLE */, HWND{nullptr});
    }
    if (child && parent == nullptr) {
        return Fail(1406 /* ERROR_TLW_WITH_WSCHILD */, HWND{nullptr});
    }
    ApplyDefaultPlacement(x, y, width, height, child);
    x = BoundedCoordinate(x);
    y = BoundedCoordinate(y);
    width = BoundedCoordinate(std::max(width, 0));
    height = BoundedCoordinate(std::max(height, 0));

    auto created = std::make_unique<Window>();
    created->windowClass = windowClass;
    created->proc = windowClass->info.lpfnWndProc;
    // Windows keeps WS_VISIBLE back until the window is shown at the end.
    created->style = style & ~WS_VISIBLE;
    if (!child) {
        created->style |= WS_CLIPSIBLINGS;
        if ((style & WS_POPUP) == 0) {
            created->style |= WS_CAPTION;
        }
    }
    created->exStyle = exStyle;
    if ((created->style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME) ||
        (exStyle & WS_EX_DLGMODALFRAME)) {
        created->exStyle |= WS_EX_WINDOWEDGE;
    }
    created->parent = child ? parent : nullptr;
    created->owner = child ? nullptr : (parent ? TopLevelOf(parent) : nullptr);
    created->rect = {x, y, x + width, y + height};
    created->normalRect = created->rect;
    created->client = ClientFromWindow({0, 0, width, height}, created->style, created->exStyle);
    created->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
    created->instance = ProgramModule(instance);
    created->extraBytes.assign(windowClass->info.cbWndExtra, 0);
    HWND window = ToHwnd(state.windows.Add(std::move(created)));
    if (window == nullptr) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, HWND{nullptr});
    }
    Window* w = Find(window);
    w->handle = window;
    ++windowClass->liveWindows;
    InsertInZOrder(window, w->parent, (exStyle & WS_EX_TOPMOST) != 0);

    CREATESTRUCTA create{
        param,      w->instance, menu,      parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className,   w->exStyle};
    // A CBT hook meets the window before its first message, and may refuse it.
    CBT_CREATEWNDA cbt{&create, HWND_TOP};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(window),
                  reinterpret_cast<LPARAM>(&cbt)) != 0) {
        return Find(window) ? CreateFailed(window, false) : nullptr;
    }
    if (!Find(window)) {
        return nullptr;
    }
    if (HasSizeLimits(style) && !AskSizeLimits(window)) {
        return Fail(1400, HWND{nullptr});
    }
    if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        return Find(window) ? CreateFailed(window, false) : nullptr;
    }
    if (!Find(window)) {
        return nullptr;
    }
    // The window's rectangle in its parent's coordinates (the screen's for
    // a top-level window) becomes its client rectangle there.
    RECT calc{x, y, x + width, y + height};
    SendMessageA(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
    if (Window* again = Find(window)) {
        again->client = {calc.left - x, calc.top - y, calc.right - x, calc.bottom - y};
    } else {
        return nullptr;
    }
    if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        return Find(window) ? CreateFailed(window, true) : nullptr;
    }
    w = Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    w->created = true;
    if ((style & (WS_CHILD | WS_POPUP)) == 0) {
        w->sizeUntold = true;
    } else if (!TellSizeAndPlace(window)) {
        return nullptr;
    }
    if (child) {
        NotifyParents(window, WM_CREATE, reinterpret_cast<LPARAM>(window));
    }
    if (!Find(window)) {
        return nullptr;
    }
    if (style & WS_MINIMIZE) {
        ShowWindow(window, SW_SHOWMINIMIZED);
    } else if (style & WS_MAXIMIZE) {
        ShowWindow(window, SW_SHOWMAXIMIZED);
    } else if (style & WS_VISIBLE) {
        ShowWindow(window, SW_SHOW);
    }
    return Find(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400 /* ERROR_INVALID_WINDOW_HANDLE */, FALSE);
    }
    if (w->destroying) {
        return TRUE;
    }
    if (CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(window), 0) != 0) {
        return FALSE;
    }
    if ((w = Find(window)) == nullptr) {
        return TRUE;
    }
    bool child = (w->style & WS_CHILD) != 0;
    if (child) {
        NotifyParents(window, WM_DESTROY, reinterpret_cast<LPARAM>(window));
    }
    if (!Find(window) || Find(window)->destroying) {
        return TRUE;
    }
    // A child hides as ShowWindow hides it (it hears WM_SHOWWINDOW); a
    // top-level window only changes its place.
    if (child && (Find(window)->style & WS_VISIBLE)) {
        ShowWindow(window, SW_HIDE);
    } else if (!child && IsWindowVisible(window)) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    if (!Find(window) || Find(window)->destroying) {
        return TRUE;
    }
    // Owned windows go first, as in Windows.
    std::vector<HWND> owned;
    State().windows.ForEach([&](std::uintptr_t handle, const Window& other) {
        if (other.owner == window) {
            owned.push_back(ToHwnd(handle));
        }
    });
    for (HWND h : owned) {
        DestroyWindow(h);
    }
    if (!Find(window) || Find(window)->destroying) {
        return TRUE;
    }
    MarkDestroying(window);
    ForgetTree(window);
    SendDestroy(window);
    SendNcDestroy(window);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return Find(window) != nullptr;
}

BOOL IsChild(HWND parent, HWND window) {
    return parent && window != parent && IsDescendant(parent, window);
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (w == nullptr) {
        return Fail(1400, HWND{nullptr});
    }
    for (HWND child : w->children) {
        if (Window* c = Find(child); c && c->id == static_cast<LONG_PTR>(id)) {
            return child;
        }
    }
    return Fail(ERROR_CONTROL_ID_NOT_FOUND, HWND{nullptr});
}

int GetDlgCtrlID(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, 0);
    }
    return (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

HWND GetParent(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, HWND{nullptr});
    }
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND SetParent(HWND child, HWND newParent) {
    Window* w = Find(child);
    if (w == nullptr || (newParent && !Find(newParent)) || IsDescendant(child, newParent)) {
        return Fail(1400, HWND{nullptr});
    }
    HWND old = w->parent;
    POINT screen = WindowOriginOnScreen(*w);
    RemoveFromZOrder(child, old);
    w->parent = newParent;
    if (newParent) {
        w->style |= WS_CHILD;
        w->style &= ~WS_POPUP;
    } else {
        w->style &= ~WS_CHILD;
    }
    POINT origin{0, 0};
    if (newParent) {
        origin = ClientOriginOnScreen(*Find(newParent));
    }
    LONG width = w->rect.right - w->rect.left;
    LONG height = w->rect.bottom - w->rect.top;
    w->rect = {screen.x - origin.x, screen.y - origin.y, screen.x - origin.x + width,
               screen.y - origin.y + height};
    InsertInZOrder(child, newParent, false);
    DiscardPainting(*w);
    InvalidateRect(child, nullptr, TRUE);
    return old ? old : GetDesktopWindow();
}

// The desktop is not a window of this screen; a fixed value stands for it.
HWND GetDesktopWindow() {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));
}

HWND GetWindow(HWND window, UINT command) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, HWND{nullptr});
    }
    if (command == GW_CHILD) {
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (command == GW_OWNER) {
        return w->owner;
    }
    const auto& siblings = w->parent ? Find(w->parent)->children : State().topLevels;
    auto self = std::find(siblings.begin(), siblings.end(), window);
    switch (command) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return self + 1 != siblings.end() ? *(self + 1) : nullptr;
    case GW_HWNDPREV:
        return self != siblings.begin() ? *(self - 1) : nullptr;
    default:
        return Fail(ERROR_INVALID_PARAMETER, HWND{nullptr});
    }
}

HWND GetTopWindow(HWND window) {
    if (window == nullptr) {
        return State().topLevels.empty() ? nullptr : State().topLevels.front();
    }
    return GetWindow(window, GW_CHILD);
}

HWND GetAncestor(HWND window, UINT flags) {
    Window* w = Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    switch (flags) {
    case GA_PARENT:
        return w->parent ? w->parent : GetDesktopWindow();
    case GA_ROOT:
        return TopLevelOf(window);
    case GA_ROOTOWNER: {
        HWND root = TopLevelOf(window);
        while (Find(root)->owner) {
            root = Find(root)->owner;
        }
        return root;
    }
    default:
        return nullptr;
    }
}

// ------------------------------------------------------------------ words

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, LONG_PTR{0});
    }
    if (index >= 0) {
        if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extraBytes.size()) {
            return Fail(1413 /* ERROR_INVALID_INDEX */, LONG_PTR{0});
        }
        LONG_PTR value;
        std::memcpy(&value, w->extraBytes.data() + index, sizeof value);
        return value;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_ID:
        return w->id;
    default:
        return Fail(1413, LONG_PTR{0});
    }
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, LONG_PTR{0});
    }
    LONG_PTR old = GetWindowLongPtrA(window, index);
    if (index >= 0) {
        if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extraBytes.size()) {
            return Fail(1413, LONG_PTR{0});
        }
        std::memcpy(w->extraBytes.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWLP_WNDPROC:
        if (value == 0) {
            return Fail(ERROR_INVALID_PARAMETER, LONG_PTR{0});
        }
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_HWNDPARENT:
        if (!(w->style & WS_CHILD)) {
            w->owner = reinterpret_cast<HWND>(value);
        }
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT change{static_cast<DWORD>(old), static_cast<DWORD>(value)};
        SendMessageA(window, WM_STYLECHANGING, index, reinterpret_cast<LPARAM>(&change));
        if ((w = Find(window)) == nullptr) {
            return 0;
        }
        (index == GWL_STYLE ? w->style : w->exStyle) = change.styleNew;
        SendMessageA(window, WM_STYLECHANGED, index, reinterpret_cast<LPARAM>(&change));
        return old;
    }
    case GWLP_USERDATA:
        w->userData = value;
        return old;
    case GWLP_ID:
        w->id = value;
        return old;
    default:
        return Fail(1413, LONG_PTR{0});
    }
}

LONG GetWindowLongA(HWND window, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

// ------------------------------------------------------------------ properties

BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
    Window* w = Find(window);
    if (w == nullptr || name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    bool byAtom = IS_INTRESOURCE(name);
    ATOM atom =
        byAtom ? static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)) : GlobalFindAtomA(name);
    auto found = atom ? w->properties.find(atom) : w->properties.end();
    if (found != w->properties.end()) {
        found->second.data = data;
        return TRUE;
    }
    if (!byAtom && (atom = GlobalAddAtomA(name)) == 0) {
        return FALSE;
    }
    if (atom == 0) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    w->properties[atom] = {data, !byAtom};
    return TRUE;
}

namespace {
ATOM ExistingPropertyAtom(LPCSTR name) {
    return IS_INTRESOURCE(name) ? static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                                : GlobalFindAtomA(name);
}
} // namespace

HANDLE GetPropA(HWND window, LPCSTR name) {
    Window* w = Find(window);
    if (w == nullptr || name == nullptr) {
        return nullptr;
    }
    auto found = w->properties.find(ExistingPropertyAtom(name));
    return found != w->properties.end() ? found->second.data : nullptr;
}

int EnumPropsA(HWND window, PROPENUMPROCA callback) {
    Window* w = Find(window);
    if (w == nullptr || callback == nullptr || w->properties.empty()) {
        return -1;
    }
    std::vector<std::pair<ATOM, HANDLE>> listed;
    for (const auto& [atom, property] : w->properties) {
        listed.emplace_back(atom, property.data);
    }
    int answer = -1;
    for (const auto& [atom, data] : listed) {
        char name[256];
        if (GlobalGetAtomNameA(atom, name, sizeof name) == 0) {
            continue;
        }
        answer = callback(window, name, data);
        if (!answer || !Find(window)) {
            break;
        }
    }
    return answer;
}

BOOL IsWindowUnicode(HWND window) {
    return Find(window) ? FALSE : Fail(1400, FALSE);
}

HANDLE RemovePropA(HWND window, LPCSTR name) {
    Window* w = Find(window);
    if (w == nullptr || name == nullptr) {
        return nullptr;
    }
    auto found = w->properties.find(ExistingPropertyAtom(name));
    if (found == w->properties.end()) {
        return nullptr;
    }
    auto [atom, property] = *found;
    w->properties.erase(found);
    if (property.ownsAtom) {
        GlobalDeleteAtom(atom);
    }
    return property.data;
}

// ------------------------------------------------------------------ text

int GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    if (text == nullptr || maxCount <= 0 || !Find(window)) {
        return 0;
    }
    text[0] = '\0';
    return static_cast<int>(
        SendMessageA(window, WM_GETTEXT, maxCount, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND window) {
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!Find(window)) {
        return Fail(1400, FALSE);
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

// ------------------------------------------------------------------ state

BOOL EnableWindow(HWND window, BOOL enable) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    if (!enable) {
        SendMessageA(window, WM_CANCELMODE, 0, 0);
        if ((w = Find(window)) == nullptr) {
            return wasDisabled;
        }
        w->style |= WS_DISABLED;
        if (IsDescendant(window, State().focus)) {
            SetFocus(nullptr);
        }
        if (State().capture && IsDescendant(window, State().capture)) {
            ReleaseCapture();
        }
    } else {
        w->style &= ~WS_DISABLED;
    }
    SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    Window* w = Find(window);
    return w && !(w->style & WS_DISABLED);
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    if (!Find(window)) {
        return 0;
    }
    if (processId) {
        *processId = GetCurrentProcessId();
    }
    return GetCurrentThreadId();
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC enumProc, LPARAM param) {
    if (enumProc == nullptr || threadId != GetCurrentThreadId()) {
        return FALSE;
    }
    std::vector<HWND> windows = State().topLevels;
    for (HWND window : windows) {
        if (Find(window) && !enumProc(window, param)) {
            return FALSE;
        }
    }
    return TRUE;
}

namespace {
bool EnumChildren(HWND parent, WNDENUMPROC enumProc, LPARAM param) {
    Window* w = Find(parent);
    if (w == nullptr) {
        return true;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (!Find(child)) {
            continue;
        }
        if (!enumProc(child, param) || !EnumChildren(child, enumProc, param)) {
            return false;
        }
    }
    return true;
}
} // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC enumProc, LPARAM param) {
    if (enumProc == nullptr || !Find(parent)) {
        return FALSE;
    }
    return EnumChildren(parent, enumProc, param) ? TRUE : FALSE;
}
