#include "PrivateXServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace platform::testing {

namespace {

// Other programs on the machine start their own servers: the search starts
// at a number of this process's own and moves on past taken ones.
constexpr int kTries = 24;

// Runs `args` with `extraEnvironment` in place of DISPLAY, its standard
// output on `output` (-1: nowhere).
pid_t Spawn(std::vector<std::string> args, const std::vector<std::string>& extraEnvironment,
            int output) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment(extraEnvironment);
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) {
            environment.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The line the server writes once it accepts connections; empty when it
// ends (its display is taken) or stays silent for ten seconds.
std::string ReadLine(int fd) {
    std::string line;
    for (;;) {
        pollfd readable{fd, POLLIN, 0};
        char c;
        if (poll(&readable, 1, 10000) <= 0 || read(fd, &c, 1) != 1) {
            return {};
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

// Whether a window manager announces itself on the root window.
bool ManagerRunning(::Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

// Whether the manager, once it has announced itself, also maps the windows
// it is asked to: one mapped while it still settles may never be shown.
bool ManagesWindows(::Display* display) {
    ::Window probe =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, probe);
    bool viewable = false;
    for (int round = 0; round < 200 && !viewable; ++round) {
        XWindowAttributes attributes;
        viewable =
            XGetWindowAttributes(display, probe, &attributes) && attributes.map_state == IsViewable;
        if (!viewable) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            // A manager still starting may drop a request to map.
            if (round % 10 == 9) {
                XMapWindow(display, probe);
            }
        }
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    return viewable;
}

} // namespace

PrivateXServer::PrivateXServer(Manager manager) {
    const int first = 200 + static_cast<int>(getpid() % 3000) * 10;
    for (int number = first; number < first + kTries && display_.empty(); ++number) {
        StartServer(number);
    }
    if (display_.empty()) {
        failure_ = "Xvfb could not start";
        return;
    }
    if (manager == Manager::Openbox && !StartManager()) {
        display_.clear();
        failure_ = "openbox could not start";
    }
}

PrivateXServer::~PrivateXServer() {
    Stop(manager_);
    Stop(server_);
}

void PrivateXServer::Stop(pid_t& pid) {
    if (pid != 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = 0;
    }
}

bool PrivateXServer::StartServer(int number) {
    int ends[2];
    if (pipe(ends) != 0) {
        return false;
    }
    const std::string name = ":" + std::to_string(number);
    // Xvfb writes the number to the descriptor that -displayfd names: the
    // write end is its standard output.
    std::vector<std::string> args{"Xvfb", name,          "-displayfd", "1",  "-screen",
                                  "0",    "1024x768x24", "-nolisten",  "tcp"};
    server_ = Spawn(args, {}, ends[1]);
    close(ends[1]);
    const bool ready = server_ != 0 && ReadLine(ends[0]) == std::to_string(number);
    close(ends[0]);
    if (!ready) {
        Stop(server_);
        return false;
    }
    display_ = name;
    return true;
}

bool PrivateXServer::StartManager() {
    manager_ = Spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + display_}, -1);
    if (manager_ == 0) {
        return false;
    }
    ::Display* display = XOpenDisplay(display_.c_str());
    if (display == nullptr) {
        return false;
    }
    bool running = false;
    for (int round = 0; round < 200 && !running; ++round) {
        running = ManagerRunning(display);
        if (!running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    running = running && ManagesWindows(display);
    XCloseDisplay(display);
    return running;
}

} // namespace platform::testing
