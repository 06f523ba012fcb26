// The X11 screen: one X window per top-level window, showing the client part
// of its frame buffer, and X input turned into the platform's input. All of
// it runs on the program's one thread, so nothing can post while a wait is
// in progress and Wake has nothing to do.

#include "../Screens.h"
#include "X11Cursors.h"
#include "X11Presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <map>

namespace platform {

namespace {

// A BadWindow for a window the server already dropped must not end the
// program, as Xlib's default handler would.
int ReportXError(Display* display, XErrorEvent* error) {
    char text[128];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X11 screen: %s (request %d)\n", text, error->request_code);
    return 0;
}

struct NamedKey {
    KeySym keysym;
    BYTE virtualKey;
};

// The keys that make no character; keys that do are found through the
// character they make without Shift.
constexpr NamedKey kNamedKeys[] = {
    {XK_BackSpace, VK_BACK},    {XK_Tab, VK_TAB},           {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},     {XK_KP_Enter, VK_RETURN},   {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},     {XK_Insert, VK_INSERT},     {XK_Home, VK_HOME},
    {XK_End, VK_END},           {XK_Prior, VK_PRIOR},       {XK_Next, VK_NEXT},
    {XK_Left, VK_LEFT},         {XK_Right, VK_RIGHT},       {XK_Up, VK_UP},
    {XK_Down, VK_DOWN},         {XK_Shift_L, VK_SHIFT},     {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},        {XK_Meta_L, VK_MENU},       {XK_Caps_Lock, VK_CAPITAL},
    {XK_Pause, VK_PAUSE},       {XK_space, VK_SPACE},
};

std::optional<BYTE> NamedVirtualKey(KeySym keysym) {
    if (keysym >= XK_F1 && keysym <= XK_F12) {
        return static_cast<BYTE>(VK_F1 + (keysym - XK_F1));
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.keysym == keysym) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

// Pop-ups without a caption (a hint, a drop-down list) draw their own frame
// and never take the focus: the window manager must neither decorate nor
// focus them, so they bypass it and their X window shows the whole window.
bool BypassesWindowManager(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    return (style & WS_POPUP) != 0 && (style & WS_CAPTION) != WS_CAPTION;
}

class X11Screen final : public Backend {
public:
    explicit X11Screen(Display* display)
        : display_(display), screen_(DefaultScreen(display)), cursors_(display),
          presenter_(display) {
        closeAtoms_[0] = XInternAtom(display_, "WM_PROTOCOLS", False);
        closeAtoms_[1] = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    }
    ~X11Screen() override {
        for (auto& [id, surface] : surfaces_) {
            XFreeGC(display_, surface.gc);
            XDestroyWindow(display_, surface.window);
        }
        cursors_.FreeAll();
        XCloseDisplay(display_);
    }
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    SurfaceId OpenSurface(HWND window, const RECT& screenRect) override;
    void CloseSurface(SurfaceId surface) override;
    SIZE ScreenSize() const override {
        return {DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
    }
    // The drawing code knows the two classic resolutions only.
    int PixelsPerInch() const override {
        int millimetres = std::max(DisplayWidthMM(display_, screen_), 1);
        return DisplayWidth(display_, screen_) * 254 / (millimetres * 10) >= 108 ? 120 : 96;
    }
    void Present(SurfaceId surface, const gdi::Surface& pixels,
                 const std::vector<RECT>& rects) override;
    DWORD Now() const override {
        auto elapsed = std::chrono::steady_clock::now() - start_;
        return 1000 + static_cast<DWORD>(
                          std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    bool WaitForInput(std::optional<DWORD> deadline) override;
    void Wake() override {}
    void PlaceSurface(SurfaceId surface, const RECT& screenRect, const RECT& client,
                      Showing showing) override;
    void NameSurface(SurfaceId surface, const std::string& utf8Title) override;
    void CollectInput() override { HandlePendingEvents(); }
    std::uintptr_t NativeHandle(SurfaceId surface) const override {
        auto found = surfaces_.find(surface);
        return found == surfaces_.end() ? 0 : found->second.window;
    }
    void ChangeCursor(ULONG_PTR systemCursor, const gdi::IconImage* picture) override;
    gdi::PixelMemoryMaker PixelMemoryFor(SurfaceId) override { return presenter_.MemoryMaker(); }
    // The window manager frames a window it manages; the X window shows
    // the client area only.
    bool ShowsFrame(SurfaceId surface) const override {
        auto found = surfaces_.find(surface);
        return found != surfaces_.end() && found->second.bypassesManager;
    }

private:
    struct XSurface {
        HWND owner;
        ::Window window;
        GC gc;
        // In window coordinates of the top-level window: its client area,
        // and the part of the frame buffer the X window shows (the client
        // area, or the whole window when the window manager is bypassed).
        RECT client;
        RECT shown;
        bool bypassesManager;
        Showing showing;
        // Position (left, top) and size (right, bottom) of the X window as
        // last asked for.
        RECT placed{};
        // Sizes asked for that the server has not yet confirmed: their
        // ConfigureNotify is the echo of the program's own resize.
        std::deque<SIZE> sizesInFlight;
    };

    XSurface* SurfaceOf(::Window window);
    // An X window point in the top-level window's client coordinates.
    static POINT ClientPointOf(const XSurface& surface, int x, int y);
    void HandlePendingEvents();
    void Handle(const XEvent& event);
    void HandleKey(const XKeyEvent& event, bool down);
    static bool IsUserResize(XSurface& surface, SIZE size);

    Display* display_;
    int screen_;
    Atom closeAtoms_[2];
    std::map<SurfaceId, XSurface> surfaces_;
    SurfaceId nextSurface_ = 1;
    X11Cursors cursors_;
    X11Presenter presenter_;
    // Defined on every window; 0 (the root's) until the program sets one.
    Cursor cursor_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

SurfaceId X11Screen::OpenSurface(HWND owner, const RECT& screenRect) {
    XSetWindowAttributes attributes{};
    // The frame buffer has every pixel: the server must not clear exposed
    // parts to a background before they are shown again.
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask;
    const bool bypassesManager = BypassesWindowManager(owner);
    attributes.override_redirect = bypassesManager ? True : False;
    unsigned width = static_cast<unsigned>(std::max<LONG>(screenRect.right - screenRect.left, 1));
    unsigned height = static_cast<unsigned>(std::max<LONG>(screenRect.bottom - screenRect.top, 1));
    ::Window window =
        XCreateWindow(display_, RootWindow(display_, screen_), screenRect.left, screenRect.top,
                      width, height, 0, 24, InputOutput, DefaultVisual(display_, screen_),
                      CWBackPixmap | CWEventMask | CWOverrideRedirect, &attributes);
    if (window == 0) {
        return 0;
    }
    XSetWMProtocols(display_, window, &closeAtoms_[1], 1);
    if (cursor_ != 0) {
        XDefineCursor(display_, window, cursor_);
    }
    SurfaceId id = nextSurface_++;
    XSurface& s = surfaces_[id];
    s.owner = owner;
    s.window = window;
    s.gc = XCreateGC(display_, window, 0, nullptr);
    s.client = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    s.shown = s.client;
    s.bypassesManager = bypassesManager;
    s.showing = Showing::Hidden;
    s.placed = {screenRect.left, screenRect.top, static_cast<LONG>(width),
                static_cast<LONG>(height)};
    return id;
}

// The window manager reads the UTF-8 name; XStoreName's Latin-1 name is
// for those that do not.
void X11Screen::NameSurface(SurfaceId id, const std::string& utf8Title) {
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) {
        return;
    }
    const ::Window window = found->second.window;
    XStoreName(display_, window, utf8Title.c_str());
    const Atom utf8Name = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8String = XInternAtom(display_, "UTF8_STRING", False);
    XChangeProperty(display_, window, utf8Name, utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8Title.data()),
                    static_cast<int>(utf8Title.size()));
    XFlush(display_);
}

void X11Screen::CloseSurface(SurfaceId id) {
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) {
        return;
    }
    XFreeGC(display_, found->second.gc);
    XDestroyWindow(display_, found->second.window);
    surfaces_.erase(found);
    XFlush(display_);
}

// The program's cursor is one for all its windows, as Windows shows one.
void X11Screen::ChangeCursor(ULONG_PTR systemCursor, const gdi::IconImage* picture) {
    cursor_ = cursors_.CursorFor(systemCursor, picture);
    for (const auto& [id, surface] : surfaces_) {
        XDefineCursor(display_, surface.window, cursor_);
    }
    XFlush(display_);
}

void X11Screen::PlaceSurface(SurfaceId id, const RECT& screenRect, const RECT& client,
                             Showing showing) {
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) {
        return;
    }
    XSurface& s = found->second;
    s.client = client;
    s.shown = s.bypassesManager ? RECT{0, 0, screenRect.right - screenRect.left,
                                       screenRect.bottom - screenRect.top}
                                : client;
    // A window with nothing to show, as the application's own window, stays
    // unmapped: X cannot show less than a pixel, and Windows shows nothing.
    if (s.shown.right <= s.shown.left || s.shown.bottom <= s.shown.top) {
        showing = Showing::Hidden;
    }
    // Left and top, then width and height.
    RECT placed{screenRect.left + s.shown.left, screenRect.top + s.shown.top,
                std::max<LONG>(s.shown.right - s.shown.left, 1),
                std::max<LONG>(s.shown.bottom - s.shown.top, 1)};
    bool samePlace = placed.left == s.placed.left && placed.top == s.placed.top &&
                     placed.right == s.placed.right && placed.bottom == s.placed.bottom;
    if (!samePlace) {
        if (placed.right != s.placed.right || placed.bottom != s.placed.bottom) {
            s.sizesInFlight.push_back({placed.right, placed.bottom});
        }
        s.placed = placed;
        XMoveResizeWindow(display_, s.window, placed.left, placed.top,
                          static_cast<unsigned>(placed.right),
                          static_cast<unsigned>(placed.bottom));
    }
    if (showing != s.showing) {
        if (showing == Showing::Hidden) {
            XUnmapWindow(display_, s.window);
        } else if (showing == Showing::Minimized) {
            XIconifyWindow(display_, s.window, screen_);
        } else if (s.bypassesManager) {
            // Nothing stacks it for us: it comes up over everything.
            XMapRaised(display_, s.window);
        } else {
            XMapWindow(display_, s.window);
        }
        s.showing = showing;
    }
    XFlush(display_);
}

void X11Screen::Present(SurfaceId id, const gdi::Surface& pixels, const std::vector<RECT>& rects) {
    auto found = surfaces_.find(id);
    if (found == surfaces_.end() || found->second.showing != Showing::Shown) {
        return;
    }
    const XSurface& s = found->second;
    for (const RECT& r : rects) {
        RECT area{std::max(r.left, s.shown.left), std::max(r.top, s.shown.top),
                  std::min({r.right, s.shown.right, static_cast<LONG>(pixels.Width())}),
                  std::min({r.bottom, s.shown.bottom, static_cast<LONG>(pixels.Height())})};
        if (area.right > area.left && area.bottom > area.top) {
            presenter_.Put(s.window, s.gc, pixels, area,
                           {area.left - s.shown.left, area.top - s.shown.top});
        }
    }
    XFlush(display_);
}

bool X11Screen::WaitForInput(std::optional<DWORD> deadline) {
    XFlush(display_);
    if (XPending(display_) == 0) {
        int timeout = -1;
        if (deadline) {
            timeout = std::max(0, static_cast<int>(static_cast<LONG>(*deadline - Now())));
        }
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        if (poll(&connection, 1, timeout) < 0 || (connection.revents & (POLLHUP | POLLERR))) {
            return false;
        }
    }
    HandlePendingEvents();
    return true;
}

void X11Screen::HandlePendingEvents() {
    // Only what has arrived so far: handling an event can make requests
    // whose answers must wait for the next round, or a window resized back
    // and forth would keep this loop going.
    for (int count = XPending(display_); count > 0; --count) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
    }
}

X11Screen::XSurface* X11Screen::SurfaceOf(::Window window) {
    for (auto& [id, surface] : surfaces_) {
        if (surface.window == window) {
            return &surface;
        }
    }
    return nullptr;
}

POINT X11Screen::ClientPointOf(const XSurface& s, int x, int y) {
    return {x + s.shown.left - s.client.left, y + s.shown.top - s.client.top};
}

bool X11Screen::IsUserResize(XSurface& s, SIZE size) {
    auto echo = std::find_if(s.sizesInFlight.begin(), s.sizesInFlight.end(), [&](SIZE asked) {
        return asked.cx == size.cx && asked.cy == size.cy;
    });
    if (echo != s.sizesInFlight.end()) {
        s.sizesInFlight.erase(s.sizesInFlight.begin(), echo + 1);
        return false;
    }
    // While the program's own resizes are under way, a size in between is
    // the server catching up, not the user.
    return s.sizesInFlight.empty();
}

screen::Button ButtonOf(unsigned button) {
    return button == Button3   ? screen::Button::Right
           : button == Button2 ? screen::Button::Middle
                               : screen::Button::Left;
}

void X11Screen::HandleKey(const XKeyEvent& event, bool down) {
    XKeyEvent unshifted = event;
    unshifted.state = 0;
    KeySym keysym = XLookupKeysym(&unshifted, 0);
    if (std::optional<BYTE> named = NamedVirtualKey(keysym)) {
        screen::KeyChanged(*named, down);
    } else if (keysym >= 0x21 && keysym <= 0x7E) {
        screen::CharacterKeyChanged(static_cast<char>(keysym), down);
    }
}

void X11Screen::Handle(const XEvent& event) {
    XSurface* s = SurfaceOf(event.xany.window);
    if (s == nullptr) {
        return;
    }
    HWND owner = s->owner;
    switch (event.type) {
    case MotionNotify:
        screen::PointerMoved(owner, ClientPointOf(*s, event.xmotion.x, event.xmotion.y));
        break;
    case ButtonPress:
    case ButtonRelease:
        // Buttons 4 and up are the wheel, which the platform does not have.
        if (event.xbutton.button <= Button3) {
            screen::ButtonChanged(owner, ClientPointOf(*s, event.xbutton.x, event.xbutton.y),
                                  ButtonOf(event.xbutton.button), event.type == ButtonPress);
        }
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(event.xkey, event.type == KeyPress);
        break;
    case FocusIn:
    case FocusOut:
        if (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) {
            screen::FocusChanged(owner, event.type == FocusIn);
        }
        break;
    case ClientMessage:
        if (event.xclient.message_type == closeAtoms_[0] &&
            static_cast<Atom>(event.xclient.data.l[0]) == closeAtoms_[1]) {
            screen::CloseRequested(owner);
        }
        break;
    case Expose: {
        const POINT from = ClientPointOf(*s, event.xexpose.x, event.xexpose.y);
        screen::Exposed(
            owner, {from.x, from.y, from.x + event.xexpose.width, from.y + event.xexpose.height});
        break;
    }
    case ConfigureNotify:
        // Only the window manager resizes a window from outside.
        if (IsUserResize(*s, {event.xconfigure.width, event.xconfigure.height}) &&
            !s->bypassesManager) {
            screen::ClientResized(owner, {event.xconfigure.width, event.xconfigure.height});
        }
        break;
    default:
        break;
    }
}

bool HasTrueColour(Display* display) {
    int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    return DefaultDepth(display, screen) == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF &&
           ImageByteOrder(display) == LSBFirst;
}

} // namespace

std::unique_ptr<Backend> MakeX11Screen(const char* displayName) {
    XSetErrorHandler(ReportXError);
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) {
        return nullptr;
    }
    if (!HasTrueColour(display)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Screen>(display);
}

} // namespace platform
