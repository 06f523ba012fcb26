#include "X11WindowIdentity.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <string>
#include <vector>

namespace platform {

namespace {

Atom Intern(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

void SetCardinals(Display* display, ::Window window, const char* property,
                  const std::vector<unsigned long>& values) {
    // Xlib takes format-32 data as longs, whatever their size.
    XChangeProperty(display, window, Intern(display, property), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

// _NET_WM_ICON: width, height and the ARGB pixels of each size in turn.
void SetIcon(Display* display, ::Window window, const std::vector<gdi::IconImage>& icons) {
    std::vector<unsigned long> data;
    for (const gdi::IconImage& icon : icons) {
        data.push_back(static_cast<unsigned long>(icon.width));
        data.push_back(static_cast<unsigned long>(icon.height));
        for (gdi::Pixel pixel : icon.pixels) {
            data.push_back(static_cast<unsigned long>(pixel));
        }
    }
    if (!data.empty()) {
        SetCardinals(display, window, "_NET_WM_ICON", data);
    }
}

void SetWindowType(Display* display, ::Window window, SurfaceIdentity::Role role) {
    std::vector<Atom> types;
    switch (role) {
    case SurfaceIdentity::Role::Main:
        types = {Intern(display, "_NET_WM_WINDOW_TYPE_NORMAL")};
        break;
    case SurfaceIdentity::Role::DropDown:
        // The older name follows for desktops that do not know the newer.
        types = {Intern(display, "_NET_WM_WINDOW_TYPE_COMBO"),
                 Intern(display, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU")};
        break;
    case SurfaceIdentity::Role::PopUp:
        types = {Intern(display, "_NET_WM_WINDOW_TYPE_TOOLTIP")};
        break;
    }
    std::vector<unsigned long> values(types.begin(), types.end());
    XChangeProperty(display, window, Intern(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

std::string ProgramName() {
    std::string name = program_invocation_short_name;
    return name.empty() ? std::string("velbrin") : name;
}

} // namespace

void AnnounceProgram(Display* display, ::Window window) {
    std::string name = ProgramName();
    std::string className = name;
    className[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(className[0])));
    XClassHint classHint{name.data(), className.data()};
    XSetClassHint(display, window, &classHint);

    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        char* hostList[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(hostList, 1, &machine)) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
    SetCardinals(display, window, "_NET_WM_PID", {static_cast<unsigned long>(getpid())});

    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);
}

void SetSizeHints(Display* display, ::Window window, SIZE minimum, SIZE maximum) {
    XSizeHints hints{};
    hints.flags = PPosition | PWinGravity;
    hints.win_gravity = StaticGravity;
    if (minimum.cx > 0 && minimum.cy > 0) {
        hints.flags |= PMinSize;
        hints.min_width = minimum.cx;
        hints.min_height = minimum.cy;
    }
    if (maximum.cx > 0 && maximum.cy > 0) {
        hints.flags |= PMaxSize;
        hints.max_width = maximum.cx;
        hints.max_height = maximum.cy;
    }
    XSetWMNormalHints(display, window, &hints);
}

void DescribeWindow(Display* display, ::Window window, const SurfaceIdentity& identity) {
    SetWindowType(display, window, identity.role);
    SetIcon(display, window, identity.icons);
    SetSizeHints(display, window, identity.minimumInside, identity.maximumInside);
}

} // namespace platform
