// The X11 screen: one X window per top-level window, showing the client part
// of its frame buffer, and X input turned into the platform's input. All of
// it runs on the program's one thread, so nothing can post while a wait is
// in progress and Wake has nothing to do.

#include "../Screens.h"
#include "X11Cursors.h"
#include "X11Keyboard.h"
#include "X11Placement.h"
#include "X11Presenter.h"
#include "X11WindowIdentity.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform {

namespace {

// The program cannot go on without its display: it says why and ends at
// once, without the exit handlers, which would talk to the server again.
[[noreturn]] void EndProgram(const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, why.c_str());
    std::fflush(nullptr);
    std::_Exit(1);
}

// The X windows of the program's top-level windows, until it destroys them.
std::set<XID>& LiveWindows() {
    static std::set<XID> windows;
    return windows;
}

// A request on one of the program's live windows fails only when another
// client destroyed it: the program ends as when it hears of it. Other
// errors are reported and the program goes on, as Xlib's own handler would
// not let it.
int ReportXError(Display* display, XErrorEvent* error) {
    const bool lostWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (lostWindow && LiveWindows().count(error->resourceid) != 0) {
        EndProgram("the X window of the program was destroyed by another client");
    }
    char text[128];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X11 screen: %s (request %d)\n", text, error->request_code);
    return 0;
}

int EndOnLostConnection(Display* display) {
    EndProgram(std::string("lost the connection to the X display ") + DisplayString(display));
}

// Xft.dpi from the X resources when set, else the screen's size; a value
// no display has is taken for a missing one.
int DisplayPixelsPerInch(Display* display) {
    double dpi = 0;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) &&
            value.addr != nullptr) {
            dpi = std::strtod(value.addr, nullptr);
        }
        if (database) {
            XrmDestroyDatabase(database);
        }
    }
    const int screen = DefaultScreen(display);
    if (dpi <= 0 && DisplayHeightMM(display, screen) > 0) {
        dpi = DisplayHeight(display, screen) * 25.4 / DisplayHeightMM(display, screen);
    }
    const long rounded = std::lround(dpi);
    return rounded >= 36 && rounded <= 1200 ? static_cast<int>(rounded) : 96;
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
        : display_(display), screen_(DefaultScreen(display)),
          pixelsPerInch_(DisplayPixelsPerInch(display)), keyboard_(display), cursors_(display),
          presenter_(display) {
        closeAtoms_[0] = XInternAtom(display_, "WM_PROTOCOLS", False);
        closeAtoms_[1] = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    }
    ~X11Screen() override {
        for (auto& [id, surface] : surfaces_) {
            XFreeGC(display_, surface.gc);
            LiveWindows().erase(surface.window);
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
    int PixelsPerInch() const override { return pixelsPerInch_; }
    void Present(SurfaceId surface, const gdi::Surface& pixels,
                 const std::vector<RECT>& rects) override;
    DWORD Now() const override {
        auto elapsed = std::chrono::steady_clock::now() - start_;
        return 1000 + static_cast<DWORD>(
                          std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    bool WaitForInput(std::optional<DWORD> deadline) override;
    void Wake() override {}
    void PlaceSurface(SurfaceId surface, const RECT& screenRect, const RECT& inside,
                      Showing showing) override;
    void DescribeSurface(SurfaceId surface, const SurfaceIdentity& identity) override;
    bool ShowsIdentity() const override { return true; }
    void NameSurface(SurfaceId surface, const std::string& utf8Title) override;
    // Sends what waits to be sent and reads the connection, both at once.
    void CollectInput() override { HandlePendingEvents(QueuedAfterFlush); }
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
        // The part of the frame buffer the X window shows, in window
        // coordinates of the top-level window: inside the frame that the
        // window manager draws, or the whole window when it is bypassed.
        RECT shown;
        bool bypassesManager;
        Showing showing;
        X11Placement placement;
    };

    XSurface* SurfaceOf(::Window window);
    // An X window point in the top-level window's coordinates.
    static POINT WindowPointOf(const XSurface& surface, int x, int y);
    // Handles the events Xlib holds, after the connection was read (and
    // flushed first, for QueuedAfterFlush) once when it holds none.
    void HandlePendingEvents(int queueMode);
    void Handle(const XEvent& event);
    void HandleKey(const XKeyEvent& event, bool down);
    void HandleButton(const XSurface& surface, const XButtonEvent& event);
    void HandleConfigure(XSurface& surface, const XConfigureEvent& event);
    void ReportPlace(const XSurface& surface, const RECT& place);
    void AskWhereUnanswered();
    // When AskWhereUnanswered has something to ask, if ever.
    std::optional<X11Placement::Clock::time_point> NextQuestion() const;

    Display* display_;
    int screen_;
    int pixelsPerInch_;
    X11Keyboard keyboard_;
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
    LiveWindows().insert(window);
    XSetWMProtocols(display_, window, &closeAtoms_[1], 1);
    AnnounceProgram(display_, window);
    SetSizeHints(display_, window, {0, 0}, {0, 0});
    if (cursor_ != 0) {
        XDefineCursor(display_, window, cursor_);
    }
    SurfaceId id = nextSurface_++;
    const RECT place{screenRect.left, screenRect.top, static_cast<LONG>(width),
                     static_cast<LONG>(height)};
    surfaces_.emplace(id, XSurface{owner, window, XCreateGC(display_, window, 0, nullptr),
                                   RECT{0, 0, place.right, place.bottom}, bypassesManager,
                                   Showing::Hidden, X11Placement(place)});
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
    LiveWindows().erase(found->second.window);
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

void X11Screen::PlaceSurface(SurfaceId id, const RECT& screenRect, const RECT& inside,
                             Showing showing) {
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) {
        return;
    }
    XSurface& s = found->second;
    s.shown = s.bypassesManager ? RECT{0, 0, screenRect.right - screenRect.left,
                                       screenRect.bottom - screenRect.top}
                                : inside;
    // A window with nothing to show, as the application's own window, stays
    // unmapped: X cannot show less than a pixel, and Windows shows nothing.
    if (s.shown.right <= s.shown.left || s.shown.bottom <= s.shown.top) {
        showing = Showing::Hidden;
    }
    // Left and top, then width and height.
    s.placement.Request(display_, s.window,
                        {screenRect.left + s.shown.left, screenRect.top + s.shown.top,
                         std::max<LONG>(s.shown.right - s.shown.left, 1),
                         std::max<LONG>(s.shown.bottom - s.shown.top, 1)});
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

void X11Screen::DescribeSurface(SurfaceId id, const SurfaceIdentity& identity) {
    auto found = surfaces_.find(id);
    if (found != surfaces_.end()) {
        DescribeWindow(display_, found->second.window, identity);
    }
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
    // Sent with the wait that ends the turn, or with the next look at the
    // input: each flush also reads the connection.
}

// The connection is read once a wait: events Xlib holds already are handled
// without asking the server's socket, which would have nothing more.
bool X11Screen::WaitForInput(std::optional<DWORD> deadline) {
    XFlush(display_);
    if (XEventsQueued(display_, QueuedAlready) == 0) {
        int timeout = -1;
        if (deadline) {
            timeout = std::max(0, static_cast<int>(static_cast<LONG>(*deadline - Now())));
        }
        if (const std::optional<X11Placement::Clock::time_point> question = NextQuestion()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
                *question - X11Placement::Clock::now());
            const int questionTimeout = std::max(0, static_cast<int>(wait.count()));
            timeout = timeout < 0 ? questionTimeout : std::min(timeout, questionTimeout);
        }
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        if (poll(&connection, 1, timeout) < 0 && errno != EINTR) {
            return false;
        }
        if (connection.revents & (POLLHUP | POLLERR)) {
            EndOnLostConnection(display_);
        }
    }
    HandlePendingEvents(QueuedAfterReading);
    return true;
}

void X11Screen::HandlePendingEvents(int queueMode) {
    // Only what has arrived so far, read once: handling an event can make
    // requests whose answers must wait for the next round, or a window
    // resized back and forth would keep this loop going.
    for (int count = XEventsQueued(display_, queueMode); count > 0; --count) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
    }
    AskWhereUnanswered();
}

X11Screen::XSurface* X11Screen::SurfaceOf(::Window window) {
    for (auto& [id, surface] : surfaces_) {
        if (surface.window == window) {
            return &surface;
        }
    }
    return nullptr;
}

POINT X11Screen::WindowPointOf(const XSurface& s, int x, int y) {
    return {x + s.shown.left, y + s.shown.top};
}

screen::Button ButtonOf(unsigned button) {
    return button == Button3   ? screen::Button::Right
           : button == Button2 ? screen::Button::Middle
                               : screen::Button::Left;
}

void X11Screen::HandleKey(const XKeyEvent& event, bool down) {
    if (std::optional<X11Keyboard::Key> key = keyboard_.Translate(event)) {
        screen::KeyChanged(key->virtualKey, down, key->character);
    }
}

// Buttons 4 and 5 turn the wheel away from the user and towards them, 6
// and 7 the horizontal wheel left and right: a notch each press.
void X11Screen::HandleButton(const XSurface& s, const XButtonEvent& event) {
    const POINT at = WindowPointOf(s, event.x, event.y);
    if (event.button <= Button3) {
        screen::ButtonChanged(s.owner, at, ButtonOf(event.button), event.type == ButtonPress);
        return;
    }
    if (event.type != ButtonPress || event.button > 7) {
        return;
    }
    const bool vertical = event.button == Button4 || event.button == Button5;
    const bool positive = event.button == Button4 || event.button == 7;
    screen::WheelTurned(s.owner, at,
                        vertical ? screen::WheelAxis::Vertical : screen::WheelAxis::Horizontal,
                        positive ? WHEEL_DELTA : -WHEEL_DELTA);
}

// The program's own pop-ups bypass the window manager and go only where
// they are put; a managed window is wherever the manager or the user put it.
void X11Screen::HandleConfigure(XSurface& s, const XConfigureEvent& event) {
    if (s.bypassesManager) {
        return;
    }
    if (std::optional<RECT> place =
            s.placement.Report(display_, event, X11Placement::Clock::now())) {
        ReportPlace(s, *place);
    }
}

void X11Screen::ReportPlace(const XSurface& s, const RECT& place) {
    screen::Placed(s.owner,
                   {place.left, place.top, place.left + place.right, place.top + place.bottom});
}

// A manager that left a request unanswered after a report that was skipped
// for it: the server alone knows where the window is now. The windows to ask
// about are chosen first, as a window told its place may close another.
void X11Screen::AskWhereUnanswered() {
    const auto now = X11Placement::Clock::now();
    std::vector<SurfaceId> unanswered;
    for (const auto& [id, s] : surfaces_) {
        const std::optional<X11Placement::Clock::time_point> due = s.placement.QueryDue();
        if (due && *due <= now) {
            unanswered.push_back(id);
        }
    }
    for (SurfaceId id : unanswered) {
        auto found = surfaces_.find(id);
        if (found == surfaces_.end()) {
            continue;
        }
        if (std::optional<RECT> place =
                found->second.placement.Query(display_, found->second.window)) {
            ReportPlace(found->second, *place);
        }
    }
}

std::optional<X11Placement::Clock::time_point> X11Screen::NextQuestion() const {
    std::optional<X11Placement::Clock::time_point> first;
    for (const auto& [id, s] : surfaces_) {
        const std::optional<X11Placement::Clock::time_point> due = s.placement.QueryDue();
        if (due && (!first || *due < *first)) {
            first = due;
        }
    }
    return first;
}

void X11Screen::Handle(const XEvent& event) {
    // A new keyboard map (setxkbmap, a layout switch) holds for the next key.
    if (event.type == MappingNotify) {
        XMappingEvent mapping = event.xmapping;
        XRefreshKeyboardMapping(&mapping);
        return;
    }
    XSurface* s = SurfaceOf(event.xany.window);
    if (s == nullptr) {
        return;
    }
    HWND owner = s->owner;
    switch (event.type) {
    case MotionNotify:
        screen::PointerMoved(owner, WindowPointOf(*s, event.xmotion.x, event.xmotion.y));
        break;
    case ButtonPress:
    case ButtonRelease:
        HandleButton(*s, event.xbutton);
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
        const POINT from = WindowPointOf(*s, event.xexpose.x, event.xexpose.y);
        screen::Exposed(
            owner, {from.x, from.y, from.x + event.xexpose.width, from.y + event.xexpose.height});
        break;
    }
    case ConfigureNotify:
        HandleConfigure(*s, event.xconfigure);
        break;
    case DestroyNotify:
        // The program destroys its windows after forgetting them: this one
        // was destroyed by another client, and with it the program's window.
        if (event.xdestroywindow.window == s->window) {
            EndProgram("the X window of the program was destroyed by another client");
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

std::unique_ptr<Backend> MakeX11Screen(const char* displayName, std::string* whyNot) {
    XSetErrorHandler(ReportXError);
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) {
        const char* name = displayName ? displayName : std::getenv("DISPLAY");
        if (whyNot) {
            *whyNot = std::string("cannot open the X display ") +
                      (name != nullptr && *name != '\0' ? name : "(DISPLAY is not set)");
        }
        return nullptr;
    }
    if (!HasTrueColour(display)) {
        if (whyNot) {
            *whyNot = std::string("the X display ") + DisplayString(display) + " shows " +
                      std::to_string(DefaultDepth(display, DefaultScreen(display))) +
                      "-bit colour; only a 24-bit true colour display is supported";
        }
        XCloseDisplay(display);
        return nullptr;
    }
    XSetIOErrorHandler(EndOnLostConnection);
    return std::make_unique<X11Screen>(display);
}

} // namespace platform
