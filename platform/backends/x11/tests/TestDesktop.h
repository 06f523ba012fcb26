#pragma once
// A private X desktop for tests: an Xvfb of its own, a real window manager
// (openbox, with a configuration of ours, not the user's) and real input
// through XTest, as a user's mouse and keyboard give it. Every wait is
// bounded. Nothing here includes Xlib: windows are X ids in integers, so
// tests of the program above the platform can use it too.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velbrin_test {

using XWindowId = std::uintptr_t;

struct XRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const XRect&) const = default;
};

struct DesktopOptions {
    bool windowManager = true;
    int width = 1024;
    int height = 768;
    int depth = 24;
    // Xvfb's -dpi (the screen's size in millimetres follows); 0: its default.
    int dpi = 0;
    // Xft.dpi in the X resources; 0: none set.
    int xftDpi = 0;
};

class TestDesktop {
public:
    explicit TestDesktop(const DesktopOptions& options = {});
    ~TestDesktop();
    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    // Empty when the desktop is not usable; WhyNot() then says why, for a
    // test to skip with.
    const std::string& Display() const { return display_; }
    bool Ready() const { return !display_.empty() && whyNot_.empty(); }
    const std::string& WhyNot() const { return whyNot_; }

    // Calls `step` (the program's message loop, say) until `done`, at most
    // `limit`; each round lets the server pass on what it has.
    bool RunUntil(const std::function<bool()>& done, const std::function<void()>& step = {},
                  std::chrono::milliseconds limit = std::chrono::seconds(10));

    // Real input, through XTest. Points are on the root window.
    void MovePointer(int x, int y);
    void PressButton(int button);
    void ReleaseButton(int button);
    void Click(int x, int y, int button = 1);
    // Turns the wheel where the pointer is: up (button 4) for `notches`
    // above 0, down (button 5) below.
    void TurnWheel(int notches);
    // Holds the left button from one point to another, in steps.
    void Drag(int fromX, int fromY, int toX, int toY);
    // The key that gives the keysym named `name` ("F", "plus", "KP_2") on
    // the current map, with Shift when the map puts it on its second level.
    bool TypeKeysym(const std::string& name);
    bool PressKeysym(const std::string& name);
    bool ReleaseKeysym(const std::string& name);
    // Types each character of ASCII text through the keys of the current map.
    bool TypeText(const std::string& text);
    // Sets the server's keyboard map (setxkbmap LAYOUT); false when it fails.
    bool SetKeyboardLayout(const std::string& layout);
    // Turns Num Lock on or off through its key.
    void SetNumLock(bool on);

    // Where an X window is on the root window, whatever frame holds it.
    std::optional<XRect> Geometry(XWindowId window);
    bool IsMapped(XWindowId window);
    // Whether the keyboard's input goes to the window.
    bool HasFocus(XWindowId window);
    // The top-level X windows of this desktop that another program made,
    // found by _NET_WM_PID.
    std::vector<XWindowId> WindowsOfProcess(int pid);
    // Mapped override-redirect windows: the program's pop-ups.
    std::vector<XWindowId> PopUps();
    // Where the program's only pop-up shows, once exactly one does; empty
    // when that does not happen within the usual limit.
    std::optional<XRect> WaitForOnePopUp();
    std::vector<unsigned long> CardinalProperty(XWindowId window, const std::string& name);
    std::vector<std::string> AtomProperty(XWindowId window, const std::string& name);
    // A text property's bytes, zero bytes between the strings of a list.
    std::string TextProperty(XWindowId window, const std::string& name);
    struct SizeHints {
        long flags = 0;
        int minWidth = 0;
        int minHeight = 0;
        int maxWidth = 0;
        int maxHeight = 0;
        int gravity = 0;
    };
    std::optional<SizeHints> NormalHints(XWindowId window);

    // What the window manager does for a user who asks it, as a pager or a
    // task bar asks it: maximise, restore, close, move and resize.
    void SetMaximized(XWindowId window, bool maximized);
    // Gives the window the focus and raises it, as a task bar does; shows
    // it again when iconified.
    void Activate(XWindowId window);
    // Asks the manager to iconify the window, as its minimise button does.
    void Iconify(XWindowId window);
    void Close(XWindowId window);
    void MoveResize(XWindowId window, const XRect& place);
    // Another client destroys the window.
    void DestroyFromOutside(XWindowId window);
    // The frame's extents the manager reports: left, right, top, bottom.
    std::vector<unsigned long> FrameExtents(XWindowId window);

    // ARGB-less pixels (0xRRGGBB) of an area of a window; empty on failure.
    std::vector<std::uint32_t> Pixels(XWindowId window, const XRect& area);

    // A plain window of the desktop's own, shown where the manager puts it,
    // as another program's window that the focus can go to.
    XWindowId OpenWindow(const XRect& place);

    // Ends the X server now, as a lost connection does to its clients.
    void KillServer();

private:
    bool StartServer(const DesktopOptions& options);
    bool StartWindowManager();
    bool ManagesAProbe();
    void Sync();

    std::string display_;
    std::string whyNot_;
    int serverPid_ = 0;
    int managerPid_ = 0;
    std::string configDir_;
    void* connection_ = nullptr;
};

// A program run as a child process on a desktop, its error stream kept.
class ChildProgram {
public:
    // `command`: the program and its arguments ({"notesview"}, or a runner
    // and the program it runs); `environment` adds to or replaces entries
    // of this process's, and DISPLAY names the desktop.
    ChildProgram(const std::vector<std::string>& command, const std::string& display,
                 const std::vector<std::string>& environment = {});
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    int Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }
    // The exit status once it ended within `limit`; nullopt when it runs on
    // (or ended by a signal).
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    bool Running();
    // What it wrote to its error stream so far.
    std::string ErrorOutput();

private:
    int pid_ = 0;
    std::string errorFile_;
    bool reaped_ = false;
    int status_ = -1;
};

} // namespace velbrin_test
