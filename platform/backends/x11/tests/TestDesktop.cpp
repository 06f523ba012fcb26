#include "TestDesktop.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace velbrin_test {

namespace {

using Clock = std::chrono::steady_clock;

::Display* Dpy(void* connection) {
    return static_cast<::Display*>(connection);
}

// Spawns `args` with its output streams sent to `errorFile` (or nowhere);
// 0 when it cannot start.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment,
            const std::string& errorFile = {}, int closeInChild = -1) {
    std::vector<std::string> argStore = args;
    std::vector<char*> argv;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& mine : environment) {
            replaced = replaced ||
                       entry.substr(0, entry.find('=') + 1) == mine.substr(0, mine.find('=') + 1);
        }
        if (!replaced) {
            envStore.push_back(entry);
        }
    }
    envStore.insert(envStore.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (closeInChild >= 0) {
        posix_spawn_file_actions_addclose(&actions, closeInChild);
    }
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2,
                                     errorFile.empty() ? "/dev/null" : errorFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status of a child within `limit`; nullopt when it runs on.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit, int* rawStatus = nullptr) {
    const auto end = Clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (rawStatus) {
                *rawStatus = status;
            }
            return status;
        }
        if (done < 0 || Clock::now() >= end) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Stop(int& pid, int signal) {
    if (pid > 0) {
        kill(pid, signal);
        if (!WaitFor(pid, std::chrono::seconds(5))) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        pid = 0;
    }
}

std::string ReadDisplayNumber(int fd) {
    std::string number;
    for (;;) {
        pollfd readable{fd, POLLIN, 0};
        if (poll(&readable, 1, 10000) <= 0) {
            return {};
        }
        char c;
        if (read(fd, &c, 1) != 1) {
            return {};
        }
        if (c == '\n') {
            return number.empty() ? std::string() : ":" + number;
        }
        number += c;
    }
}

// Moving and resizing by the frame, focusing on a click and closing by the
// button: what a user does with a window manager, nothing of the user's own
// configuration.
constexpr const char* kManagerConfiguration = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse>
    <dragThreshold>1</dragThreshold>
    <doubleClickTime>200</doubleClickTime>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="BRCorner">
      <mousebind button="Left" action="Drag"><action name="Resize"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Click"><action name="Close"/></mousebind>
    </context>
  </mouse>
</openbox_config>
)";

// A window of another client may go away while it is looked at: the
// question then has no answer, which is no fault of the test's.
int IgnoreXError(::Display*, XErrorEvent*) {
    return 0;
}

XWindowId RootOf(void* connection) {
    return DefaultRootWindow(Dpy(connection));
}

void SendToRoot(void* connection, XWindowId window, const char* type,
                std::initializer_list<long> data) {
    ::Display* display = Dpy(connection);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    int i = 0;
    for (long value : data) {
        event.xclient.data.l[i++] = value;
    }
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
}

} // namespace

TestDesktop::TestDesktop(const DesktopOptions& options) {
    if (!StartServer(options)) {
        return;
    }
    if (options.windowManager && !StartWindowManager()) {
        whyNot_ = "openbox could not start as the window manager";
    }
}

TestDesktop::~TestDesktop() {
    Stop(managerPid_, SIGTERM);
    if (connection_ != nullptr) {
        XCloseDisplay(Dpy(connection_));
    }
    Stop(serverPid_, SIGKILL);
    if (!configDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(configDir_, ignored);
    }
}

bool TestDesktop::StartServer(const DesktopOptions& options) {
    int ends[2];
    if (pipe(ends) != 0) {
        whyNot_ = "no pipe for Xvfb";
        return false;
    }
    std::vector<std::string> args{"Xvfb",
                                  "-displayfd",
                                  std::to_string(ends[1]),
                                  "-screen",
                                  "0",
                                  std::to_string(options.width) + "x" +
                                      std::to_string(options.height) + "x" +
                                      std::to_string(options.depth),
                                  "-nolisten",
                                  "tcp"};
    if (options.dpi > 0) {
        args.insert(args.end(), {"-dpi", std::to_string(options.dpi)});
    }
    serverPid_ = Spawn(args, {}, {}, ends[0]);
    close(ends[1]);
    if (serverPid_ != 0) {
        display_ = ReadDisplayNumber(ends[0]);
    }
    close(ends[0]);
    if (display_.empty()) {
        whyNot_ = "Xvfb could not start";
        return false;
    }
    XSetErrorHandler(IgnoreXError);
    connection_ = XOpenDisplay(display_.c_str());
    int event = 0, error = 0, major = 0, minor = 0;
    if (connection_ == nullptr ||
        !XTestQueryExtension(Dpy(connection_), &event, &error, &major, &minor)) {
        whyNot_ = "the test server has no XTest";
        return false;
    }
    if (options.xftDpi > 0) {
        std::string resources = "Xft.dpi:\t" + std::to_string(options.xftDpi) + "\n";
        XChangeProperty(Dpy(connection_), RootOf(connection_), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        static_cast<int>(resources.size()));
        Sync();
    }
    return true;
}

bool TestDesktop::StartWindowManager() {
    char pattern[] = "/tmp/velbrin-desktop-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return false;
    }
    configDir_ = pattern;
    const std::string config = configDir_ + "/rc.xml";
    std::ofstream(config) << kManagerConfiguration;
    managerPid_ = Spawn({"openbox", "--config-file", config, "--sm-disable"},
                        {"DISPLAY=" + display_, "HOME=" + configDir_,
                         "XDG_CONFIG_HOME=" + configDir_, "XDG_CONFIG_DIRS=" + configDir_});
    if (managerPid_ == 0) {
        return false;
    }
    // It names its check window early in its start, but may still drop a
    // window mapped then: it is up once it frames a window of ours.
    return RunUntil([&] {
               return !CardinalProperty(RootOf(connection_), "_NET_SUPPORTING_WM_CHECK").empty();
           }) &&
           RunUntil([&] { return ManagesAProbe(); });
}

bool TestDesktop::ManagesAProbe() {
    ::Display* display = Dpy(connection_);
    ::Window probe = XCreateSimpleWindow(display, RootOf(connection_), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, probe);
    const bool framed = RunUntil([&] { return !CardinalProperty(probe, "WM_STATE").empty(); }, {},
                                 std::chrono::milliseconds(200));
    XDestroyWindow(display, probe);
    Sync();
    return framed;
}

void TestDesktop::Sync() {
    XSync(Dpy(connection_), False);
}

bool TestDesktop::RunUntil(const std::function<bool()>& done, const std::function<void()>& step,
                           std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (step) {
            step();
        }
        if (done()) {
            return true;
        }
        Sync();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

void TestDesktop::MovePointer(int x, int y) {
    XTestFakeMotionEvent(Dpy(connection_), -1, x, y, CurrentTime);
    Sync();
}

void TestDesktop::PressButton(int button) {
    XTestFakeButtonEvent(Dpy(connection_), static_cast<unsigned>(button), True, CurrentTime);
    Sync();
}

void TestDesktop::ReleaseButton(int button) {
    XTestFakeButtonEvent(Dpy(connection_), static_cast<unsigned>(button), False, CurrentTime);
    Sync();
}

void TestDesktop::Click(int x, int y, int button) {
    MovePointer(x, y);
    PressButton(button);
    ReleaseButton(button);
}

void TestDesktop::TurnWheel(int notches) {
    const int button = notches > 0 ? 4 : 5;
    for (int turn = 0; turn < std::abs(notches); ++turn) {
        PressButton(button);
        ReleaseButton(button);
    }
}

void TestDesktop::Drag(int fromX, int fromY, int toX, int toY) {
    MovePointer(fromX, fromY);
    PressButton(1);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        MovePointer(fromX + (toX - fromX) * i / kSteps, fromY + (toY - fromY) * i / kSteps);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ReleaseButton(1);
}

namespace {

// The key and whether it needs Shift for a keysym on the current map.
std::optional<std::pair<KeyCode, bool>> KeyFor(::Display* display, KeySym keysym) {
    KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0) {
        return std::nullopt;
    }
    if (XkbKeycodeToKeysym(display, code, 0, 0) == keysym) {
        return std::make_pair(code, false);
    }
    if (XkbKeycodeToKeysym(display, code, 0, 1) == keysym) {
        return std::make_pair(code, true);
    }
    return std::nullopt;
}

bool Stroke(::Display* display, KeySym keysym, bool press, bool release) {
    auto key = KeyFor(display, keysym);
    if (!key) {
        return false;
    }
    KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    if (press) {
        if (key->second) {
            XTestFakeKeyEvent(display, shift, True, CurrentTime);
        }
        XTestFakeKeyEvent(display, key->first, True, CurrentTime);
    }
    if (release) {
        XTestFakeKeyEvent(display, key->first, False, CurrentTime);
        if (key->second) {
            XTestFakeKeyEvent(display, shift, False, CurrentTime);
        }
    }
    XSync(display, False);
    return true;
}

} // namespace

bool TestDesktop::TypeKeysym(const std::string& name) {
    return Stroke(Dpy(connection_), XStringToKeysym(name.c_str()), true, true);
}

bool TestDesktop::PressKeysym(const std::string& name) {
    return Stroke(Dpy(connection_), XStringToKeysym(name.c_str()), true, false);
}

bool TestDesktop::ReleaseKeysym(const std::string& name) {
    return Stroke(Dpy(connection_), XStringToKeysym(name.c_str()), false, true);
}

bool TestDesktop::TypeText(const std::string& text) {
    for (char c : text) {
        // A Latin-1 keysym is its character.
        if (!Stroke(Dpy(connection_), static_cast<unsigned char>(c), true, true)) {
            return false;
        }
    }
    return true;
}

bool TestDesktop::SetKeyboardLayout(const std::string& layout) {
    const std::vector<std::string> env{"DISPLAY=" + display_};
    pid_t pid = Spawn({"setxkbmap", "-display", display_, layout}, env);
    int raw = 0;
    if (pid == 0 || !WaitFor(pid, std::chrono::seconds(10), &raw)) {
        return false;
    }
    Sync();
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

void TestDesktop::SetNumLock(bool on) {
    ::Display* display = Dpy(connection_);
    unsigned int mask = XkbKeysymToModifiers(display, XK_Num_Lock);
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    if (((state.locked_mods & mask) != 0) != on) {
        Stroke(display, XK_Num_Lock, true, true);
    }
}

std::optional<XRect> TestDesktop::Geometry(XWindowId window) {
    ::Display* display = Dpy(connection_);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return std::nullopt;
    }
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, RootOf(connection_), 0, 0, &x, &y, &child);
    return XRect{x, y, attributes.width, attributes.height};
}

bool TestDesktop::IsMapped(XWindowId window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(Dpy(connection_), window, &attributes) &&
           attributes.map_state == IsViewable;
}

bool TestDesktop::HasFocus(XWindowId window) {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(Dpy(connection_), &focus, &revert);
    return focus == window;
}

std::vector<XWindowId> TestDesktop::WindowsOfProcess(int pid) {
    std::vector<XWindowId> found;
    std::function<void(::Window, int)> visit = [&](::Window parent, int depth) {
        ::Window root = 0;
        ::Window up = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(Dpy(connection_), parent, &root, &up, &children, &count)) {
            return;
        }
        for (unsigned i = 0; i < count; ++i) {
            std::vector<unsigned long> owner = CardinalProperty(children[i], "_NET_WM_PID");
            if (!owner.empty() && owner[0] == static_cast<unsigned long>(pid)) {
                found.push_back(children[i]);
            } else if (depth < 3) {
                visit(children[i], depth + 1);
            }
        }
        if (children) {
            XFree(children);
        }
    };
    visit(RootOf(connection_), 0);
    return found;
}

std::optional<XRect> TestDesktop::WaitForOnePopUp() {
    std::optional<XRect> shown;
    RunUntil([&] {
        const std::vector<XWindowId> popUps = PopUps();
        shown = popUps.size() == 1 ? Geometry(popUps[0]) : std::nullopt;
        return shown.has_value();
    });
    return shown;
}

std::vector<XWindowId> TestDesktop::PopUps() {
    std::vector<XWindowId> found;
    ::Window root = 0;
    ::Window up = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(Dpy(connection_), RootOf(connection_), &root, &up, &children, &count)) {
        return found;
    }
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(Dpy(connection_), children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable &&
            !CardinalProperty(children[i], "_NET_WM_PID").empty()) {
            found.push_back(children[i]);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

std::vector<unsigned long> TestDesktop::CardinalProperty(XWindowId window,
                                                         const std::string& name) {
    std::vector<unsigned long> values;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    ::Display* display = Dpy(connection_);
    if (XGetWindowProperty(display, window, XInternAtom(display, name.c_str(), False), 0, 1 << 20,
                           False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        format == 32 && data != nullptr) {
        auto* longs = reinterpret_cast<unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data) {
        XFree(data);
    }
    return values;
}

std::vector<std::string> TestDesktop::AtomProperty(XWindowId window, const std::string& name) {
    std::vector<std::string> names;
    for (unsigned long atom : CardinalProperty(window, name)) {
        if (char* atomName = XGetAtomName(Dpy(connection_), atom)) {
            names.emplace_back(atomName);
            XFree(atomName);
        }
    }
    return names;
}

std::string TestDesktop::TextProperty(XWindowId window, const std::string& name) {
    std::string text;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    ::Display* display = Dpy(connection_);
    if (XGetWindowProperty(display, window, XInternAtom(display, name.c_str(), False), 0, 1 << 16,
                           False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        format == 8 && data != nullptr) {
        text.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) {
        XFree(data);
    }
    return text;
}

std::optional<TestDesktop::SizeHints> TestDesktop::NormalHints(XWindowId window) {
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(Dpy(connection_), window, &hints, &supplied)) {
        return std::nullopt;
    }
    return SizeHints{hints.flags,     hints.min_width,  hints.min_height,
                     hints.max_width, hints.max_height, hints.win_gravity};
}

void TestDesktop::SetMaximized(XWindowId window, bool maximized) {
    ::Display* display = Dpy(connection_);
    SendToRoot(connection_, window, "_NET_WM_STATE",
               {maximized ? 1 : 0,
                static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), 2});
}

void TestDesktop::Activate(XWindowId window) {
    SendToRoot(connection_, window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
}

void TestDesktop::Iconify(XWindowId window) {
    SendToRoot(connection_, window, "WM_CHANGE_STATE", {IconicState});
}

XWindowId TestDesktop::OpenWindow(const XRect& place) {
    ::Display* display = Dpy(connection_);
    const ::Window window = XCreateSimpleWindow(
        display, RootOf(connection_), place.x, place.y, static_cast<unsigned>(place.width),
        static_cast<unsigned>(place.height), 0, 0, WhitePixel(display, DefaultScreen(display)));
    // Closed by the manager's button, a window without this protocol has its
    // client killed: this desktop's own connection, and with it the test.
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapWindow(display, window);
    Sync();
    return window;
}

void TestDesktop::Close(XWindowId window) {
    SendToRoot(connection_, window, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
}

void TestDesktop::MoveResize(XWindowId window, const XRect& place) {
    // Static gravity: the place is the window's own, not its frame's; all
    // four values given; from a pager.
    const long flags = StaticGravity | (0xF << 8) | (2 << 12);
    SendToRoot(connection_, window, "_NET_MOVERESIZE_WINDOW",
               {flags, place.x, place.y, place.width, place.height});
}

void TestDesktop::DestroyFromOutside(XWindowId window) {
    XDestroyWindow(Dpy(connection_), window);
    Sync();
}

std::vector<unsigned long> TestDesktop::FrameExtents(XWindowId window) {
    return CardinalProperty(window, "_NET_FRAME_EXTENTS");
}

std::vector<std::uint32_t> TestDesktop::Pixels(XWindowId window, const XRect& area) {
    std::vector<std::uint32_t> pixels;
    XImage* image =
        XGetImage(Dpy(connection_), window, area.x, area.y, static_cast<unsigned>(area.width),
                  static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    pixels.reserve(static_cast<std::size_t>(area.width) * area.height);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
        }
    }
    XDestroyImage(image);
    return pixels;
}

void TestDesktop::KillServer() {
    // The connection dies with the server: any use of it would end this
    // process through Xlib's handler, so it is let go unclosed.
    connection_ = nullptr;
    Stop(serverPid_, SIGKILL);
    Stop(managerPid_, SIGKILL);
}

ChildProgram::ChildProgram(const std::vector<std::string>& command, const std::string& display,
                           const std::vector<std::string>& environment) {
    char pattern[] = "/tmp/velbrin-child-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0) {
        return;
    }
    close(fd);
    errorFile_ = pattern;
    std::vector<std::string> env = environment;
    env.push_back("DISPLAY=" + display);
    pid_ = command.empty() ? 0 : Spawn(command, env, errorFile_);
}

ChildProgram::~ChildProgram() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (!errorFile_.empty()) {
        std::remove(errorFile_.c_str());
    }
}

std::optional<int> ChildProgram::WaitForExit(std::chrono::milliseconds limit) {
    if (!reaped_) {
        int raw = 0;
        if (pid_ <= 0 || !WaitFor(pid_, limit, &raw)) {
            return std::nullopt;
        }
        reaped_ = true;
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (status_ < 0) {
        return std::nullopt;
    }
    return status_;
}

bool ChildProgram::Running() {
    return pid_ > 0 && !reaped_ && !WaitForExit(std::chrono::milliseconds(0)) && !reaped_;
}

std::string ChildProgram::ErrorOutput() {
    std::ifstream file(errorFile_);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace velbrin_test
