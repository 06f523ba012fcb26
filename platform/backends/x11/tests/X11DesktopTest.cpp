// The X11 screen on a desktop as users have it: a window manager that
// frames, places, moves, maximises and closes the windows, a keyboard map
// of its own and a wheel, all driven through XTest. Each test starts its
// own Xvfb and openbox, and skips when they cannot start.

#include <windows.h>

#include "TestDesktop.h"
#include "platform/Screen.h"
#include "platform/Testing.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

using velbrin_test::DesktopOptions;
using velbrin_test::TestDesktop;
using velbrin_test::XRect;

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;
// What WM_GETMINMAXINFO answers; 0 leaves the system's sizes.
POINT g_minimumTrack{0, 0};

constexpr COLORREF kClientColour = RGB(255, 0, 0);

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(kClientColour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_GETMINMAXINFO:
        if (g_minimumTrack.x > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = g_minimumTrack;
        }
        return 0;
    case WM_MOVE:
    case WM_SIZE:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CLOSE:
        g_received.push_back({window, message, wParam, lParam});
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class X11Desktop : public ::testing::Test {
protected:
    void TearDown() override {
        platform::ResetForTesting();
        g_received.clear();
        g_minimumTrack = {0, 0};
    }

    // A desktop and the platform on it; false (and the test skipped) when
    // it cannot start.
    bool StartDesktop(const DesktopOptions& options = {}) {
        desktop_ = std::make_unique<TestDesktop>(options);
        if (!desktop_->Ready()) {
            return false;
        }
        platform::ResetForTesting();
        if (!platform::UseX11Screen(desktop_->Display().c_str())) {
            return false;
        }
        WNDCLASSA wc{};
        wc.lpfnWndProc = DesktopProc;
        wc.lpszClassName = "Desktop";
        return RegisterClassA(&wc) != 0;
    }

    static void Pump() {
        MSG msg;
        for (int i = 0; i < 200 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    bool RunUntil(const std::function<bool()>& done) { return desktop_->RunUntil(done, Pump); }
    // Lets whatever is under way settle, for checks that nothing more happens.
    void Settle() {
        desktop_->RunUntil([] { return false; }, Pump, std::chrono::milliseconds(300));
    }

    HWND ShowTopWindow(DWORD extraStyle = 0, int width = 300, int height = 200) {
        HWND top = CreateWindowExA(0, "Desktop", "Desktop test", WS_OVERLAPPEDWINDOW | extraStyle,
                                   40, 30, width, height, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(top, SW_SHOW);
        UpdateWindow(top);
        return top;
    }
    static ::Window XWindowOf(HWND window) {
        return static_cast<::Window>(platform::NativeWindowOf(window));
    }
    // The platform's client origin is where the server shows the X window.
    bool ClientMatchesServer(HWND top) {
        std::optional<XRect> shown = desktop_->Geometry(XWindowOf(top));
        POINT origin{0, 0};
        ClientToScreen(top, &origin);
        return shown && shown->x == origin.x && shown->y == origin.y;
    }
    // Framed and placed by the window manager, and followed by the program.
    bool WaitUntilManaged(HWND top) {
        return RunUntil([&] {
            return desktop_->FrameExtents(XWindowOf(top)).size() == 4 &&
                   desktop_->IsMapped(XWindowOf(top)) && ClientMatchesServer(top);
        });
    }
    // The window has the server's keyboard focus, so typed keys reach it.
    bool WaitUntilFocused(HWND top) {
        return RunUntil([&] { return desktop_->HasFocus(XWindowOf(top)); });
    }
    std::vector<Received> ReceivedOf(UINT message) const {
        std::vector<Received> out;
        for (const Received& r : g_received) {
            if (r.message == message) {
                out.push_back(r);
            }
        }
        return out;
    }

    std::unique_ptr<TestDesktop> desktop_;
};

#define START_DESKTOP(...)                                                                         \
    if (!StartDesktop(__VA_ARGS__)) {                                                              \
        GTEST_SKIP() << "no test desktop: "                                                        \
                     << (desktop_->WhyNot().empty() ? "the X11 screen did not open"                \
                                                    : desktop_->WhyNot());                         \
    }

TEST_F(X11Desktop, TheWindowIsWhereTheManagerPutsItAndFollowsAMoveByTheTitleBar) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);
    const XRect before = *desktop_->Geometry(window);
    const int titleHeight = static_cast<int>(desktop_->FrameExtents(window)[2]);
    ASSERT_GT(titleHeight, 4);

    g_received.clear();
    desktop_->Drag(before.x + 60, before.y - titleHeight / 2, before.x + 210,
                   before.y - titleHeight / 2 + 100);
    ASSERT_TRUE(RunUntil([&] {
        std::optional<XRect> now = desktop_->Geometry(window);
        return now && now->x == before.x + 150 && now->y == before.y + 100 &&
               ClientMatchesServer(top);
    }));
    std::vector<Received> moves = ReceivedOf(WM_MOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().lParam, MAKELPARAM(before.x + 150, before.y + 100));

    // The program resizes its window where the user left it.
    SetWindowPos(top, nullptr, 0, 0, 360, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(top, &client);
    ASSERT_TRUE(RunUntil([&] {
        std::optional<XRect> now = desktop_->Geometry(window);
        return now && now->width == client.right && now->height == client.bottom;
    }));
    Settle();
    const XRect after = *desktop_->Geometry(window);
    EXPECT_EQ(after.x, before.x + 150) << "the window jumped back";
    EXPECT_EQ(after.y, before.y + 100);
    EXPECT_TRUE(ClientMatchesServer(top));
}

TEST_F(X11Desktop, TheDropDownListOpensUnderTheBoxWhereverTheManagerPutsTheWindow) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 20,
                                 10, 120, 200, top, nullptr, nullptr, nullptr);
    for (const char* item : {"G", "A-", "A", "B-", "B", "C"}) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    ASSERT_TRUE(WaitUntilManaged(top));
    RECT box;
    GetWindowRect(combo, &box);
    const int boxHeight = box.bottom - box.top;

    for (XRect place : {XRect{0, 0, 0, 0}, XRect{430, 310, 300, 200}}) {
        if (place.width > 0) {
            desktop_->MoveResize(XWindowOf(top), place);
            ASSERT_TRUE(RunUntil([&] {
                std::optional<XRect> now = desktop_->Geometry(XWindowOf(top));
                return now && now->x == place.x && now->y == place.y && ClientMatchesServer(top);
            }));
        }
        // Where the server shows the box: independent of the platform's idea.
        const XRect shown = *desktop_->Geometry(XWindowOf(top));
        const int boxLeft = shown.x + 20;
        const int boxTop = shown.y + 10;
        desktop_->Click(boxLeft + 120 - 6, boxTop + boxHeight / 2);
        std::vector<velbrin_test::XWindowId> popUps;
        ASSERT_TRUE(RunUntil([&] {
            popUps = desktop_->PopUps();
            return popUps.size() == 1;
        }));
        std::optional<XRect> list = desktop_->Geometry(popUps[0]);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->x, boxLeft);
        EXPECT_EQ(list->y, boxTop + boxHeight);
        EXPECT_EQ(desktop_->AtomProperty(popUps[0], "_NET_WM_WINDOW_TYPE")[0],
                  "_NET_WM_WINDOW_TYPE_COMBO");
        // Closed again by a click on the box.
        desktop_->Click(boxLeft + 120 - 6, boxTop + boxHeight / 2);
        ASSERT_TRUE(RunUntil([&] { return desktop_->PopUps().empty(); }));
    }
}

TEST_F(X11Desktop, TypedCharactersFollowTheServersKeyboardMap) {
    START_DESKTOP();
    if (!desktop_->SetKeyboardLayout("us")) {
        GTEST_SKIP() << "setxkbmap could not set a US map";
    }
    HWND top = ShowTopWindow();
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, top, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(WaitUntilManaged(top));
    ASSERT_TRUE(WaitUntilFocused(top));
    SetFocus(edit);
    // On a US map '+' is Shift and the key right of 0, '@' Shift+2, ':' Shift+;
    ASSERT_TRUE(desktop_->TypeText("F+=@:"));
    char text[32] = {};
    EXPECT_TRUE(RunUntil([&] {
        GetWindowTextA(edit, text, sizeof text);
        return std::string(text) == "F+=@:";
    })) << "typed: "
        << text;
}

TEST_F(X11Desktop, TheKeypadMovesWithoutNumLockAndTypesDigitsWithIt) {
    START_DESKTOP();
    if (!desktop_->SetKeyboardLayout("us")) {
        GTEST_SKIP() << "setxkbmap could not set a US map";
    }
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    ASSERT_TRUE(WaitUntilFocused(top));
    SetFocus(top);
    desktop_->SetNumLock(false);
    Settle();
    g_received.clear();
    ASSERT_TRUE(desktop_->TypeKeysym("KP_Down"));
    ASSERT_TRUE(RunUntil([&] { return !ReceivedOf(WM_KEYDOWN).empty(); }));
    Settle();
    EXPECT_EQ(ReceivedOf(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>(VK_DOWN));
    EXPECT_TRUE(ReceivedOf(WM_CHAR).empty());

    desktop_->SetNumLock(true);
    Settle();
    g_received.clear();
    // The same key, Num Lock on.
    ASSERT_TRUE(desktop_->TypeKeysym("KP_Down"));
    ASSERT_TRUE(RunUntil([&] { return !ReceivedOf(WM_CHAR).empty(); }));
    EXPECT_EQ(ReceivedOf(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>(VK_NUMPAD0 + 2));
    EXPECT_EQ(ReceivedOf(WM_CHAR)[0].wParam, static_cast<WPARAM>('2'));
    desktop_->SetNumLock(false);
}

TEST_F(X11Desktop, TheWheelReachesTheFocusWithThePointersScreenPosition) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    SetFocus(top);
    const XRect shown = *desktop_->Geometry(XWindowOf(top));
    desktop_->MovePointer(shown.x + 50, shown.y + 40);
    g_received.clear();
    for (int button : {5, 4, 6, 7}) {
        desktop_->PressButton(button);
        desktop_->ReleaseButton(button);
    }
    ASSERT_TRUE(RunUntil([&] { return ReceivedOf(WM_MOUSEHWHEEL).size() == 2; }));
    std::vector<Received> vertical = ReceivedOf(WM_MOUSEWHEEL);
    std::vector<Received> horizontal = ReceivedOf(WM_MOUSEHWHEEL);
    ASSERT_EQ(vertical.size(), 2u) << "one notch a press, none for a release";
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(vertical[0].wParam), -WHEEL_DELTA) << "towards the user";
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(vertical[1].wParam), WHEEL_DELTA);
    EXPECT_EQ(vertical[0].lParam, MAKELPARAM(shown.x + 50, shown.y + 40));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(horizontal[0].wParam), -WHEEL_DELTA) << "to the left";
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(horizontal[1].wParam), WHEEL_DELTA);
}

TEST_F(X11Desktop, TheScrollBarsShowAndTheWindowKeepsTheSizeTheUserGave) {
    START_DESKTOP();
    HWND top = ShowTopWindow(WS_VSCROLL | WS_HSCROLL, 500, 400);
    SetScrollRange(top, SB_VERT, 0, 100, TRUE);
    SetScrollRange(top, SB_HORZ, 0, 100, TRUE);
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);

    desktop_->MoveResize(window, {200, 150, 300, 200});
    ASSERT_TRUE(RunUntil([&] {
        std::optional<XRect> now = desktop_->Geometry(window);
        return now && now->width == 300 && now->height == 200 && ClientMatchesServer(top);
    }));
    Settle();
    const XRect shown = *desktop_->Geometry(window);
    EXPECT_EQ(shown.width, 300) << "the window resized itself";
    EXPECT_EQ(shown.height, 200);
    RECT client;
    GetClientRect(top, &client);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(client.right, 300 - bar);
    EXPECT_EQ(client.bottom, 200 - GetSystemMetrics(SM_CYHSCROLL));

    // What the server shows: the client's colour, then a scroll bar.
    std::vector<std::uint32_t> row = desktop_->Pixels(window, {0, 50, 300, 1});
    ASSERT_EQ(row.size(), 300u);
    EXPECT_EQ(row[10], 0xFF0000u);
    EXPECT_EQ(row[static_cast<std::size_t>(client.right - 1)], 0xFF0000u);
    int barPixels = 0;
    for (int x = client.right; x < 300; ++x) {
        barPixels += row[static_cast<std::size_t>(x)] != 0xFF0000u ? 1 : 0;
    }
    EXPECT_EQ(barPixels, bar) << "the vertical bar is shown";
    std::vector<std::uint32_t> column = desktop_->Pixels(window, {50, 0, 1, 200});
    ASSERT_EQ(column.size(), 200u);
    EXPECT_NE(column[199], 0xFF0000u) << "the horizontal bar is shown";
}

TEST_F(X11Desktop, AfterMaximiseAndRestoreTheWindowStillFollowsResizes) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);
    RECT client;
    desktop_->SetMaximized(window, true);
    ASSERT_TRUE(RunUntil([&] {
        GetClientRect(top, &client);
        return client.right > 900;
    }));
    // The program asks for its own size while the manager keeps it maximised.
    SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    desktop_->SetMaximized(window, false);
    ASSERT_TRUE(RunUntil([&] {
        std::optional<XRect> now = desktop_->Geometry(window);
        GetClientRect(top, &client);
        return now && now->width < 900 && client.right == now->width &&
               client.bottom == now->height;
    }));
    for (XRect place : {XRect{100, 120, 420, 330}, XRect{150, 100, 260, 180}}) {
        desktop_->MoveResize(window, place);
        EXPECT_TRUE(RunUntil([&] {
            GetClientRect(top, &client);
            return client.right == place.width && client.bottom == place.height &&
                   ClientMatchesServer(top);
        })) << "the program stopped following at "
            << place.width << "x" << place.height;
    }
}

// The manager keeps a maximised window's size against the program's own
// request and answers with a synthetic ConfigureNotify of the size it keeps:
// the program takes that answer and ends with the size the server shows.
TEST_F(X11Desktop, AResizeRefusedWhileMaximisedLeavesTheProgramAtTheShownSize) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);
    RECT client;
    desktop_->SetMaximized(window, true);
    ASSERT_TRUE(RunUntil([&] {
        GetClientRect(top, &client);
        return client.right > 900;
    }));
    SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    EXPECT_TRUE(RunUntil([&] {
        std::optional<XRect> now = desktop_->Geometry(window);
        GetClientRect(top, &client);
        return now && client.right == now->width && client.bottom == now->height;
    })) << "the program's size "
        << client.right << "x" << client.bottom << ", the server's width "
        << desktop_->Geometry(window).value_or(XRect{}).width;
}

// A window manager of the test's own that shows the windows it is asked
// to, moves them when the test says, and once silenced leaves every request
// to move or resize unanswered: neither done nor refused with a synthetic
// event.
class SilentManager {
public:
    explicit SilentManager(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
        if (display_ != nullptr) {
            XSelectInput(display_, DefaultRootWindow(display_), SubstructureRedirectMask);
            XSync(display_, False);
        }
    }
    ~SilentManager() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    SilentManager(const SilentManager&) = delete;
    SilentManager& operator=(const SilentManager&) = delete;

    bool Started() const { return display_ != nullptr; }
    void HandleRequests() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapRequest) {
                XMapWindow(display_, event.xmaprequest.window);
            } else if (event.type == ConfigureRequest && !silent_) {
                const XConfigureRequestEvent& request = event.xconfigurerequest;
                XWindowChanges changes{};
                changes.x = request.x;
                changes.y = request.y;
                changes.width = request.width;
                changes.height = request.height;
                XConfigureWindow(display_, request.window,
                                 request.value_mask & (CWX | CWY | CWWidth | CWHeight), &changes);
            }
        }
        XSync(display_, False);
    }
    void Silence() { silent_ = true; }
    void MoveResize(::Window window, const XRect& place) {
        XMoveResizeWindow(display_, window, place.x, place.y, static_cast<unsigned>(place.width),
                          static_cast<unsigned>(place.height));
        XSync(display_, False);
    }

private:
    ::Display* display_;
    bool silent_ = false;
};

// The client area the platform believes in, on the screen.
XRect ClientOnScreen(HWND top) {
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    RECT client;
    GetClientRect(top, &client);
    return {origin.x, origin.y, client.right, client.bottom};
}

// The manager moves the window just before the program's own resize reaches
// the server, and never answers that resize: the report of the move is older
// than the request, and no later one comes. The program still ends where the
// server shows its window.
TEST_F(X11Desktop, AMoveJustBeforeAnUnansweredResizeIsFollowed) {
    START_DESKTOP(DesktopOptions{.windowManager = false});
    SilentManager manager(desktop_->Display());
    ASSERT_TRUE(manager.Started());
    const auto pump = [&] {
        manager.HandleRequests();
        Pump();
    };
    HWND top = ShowTopWindow();
    const ::Window window = XWindowOf(top);
    ASSERT_TRUE(desktop_->RunUntil(
        [&] { return desktop_->IsMapped(window) && ClientMatchesServer(top); }, pump));

    const XRect moved{200, 150, 250, 180};
    manager.Silence();
    manager.MoveResize(window, moved);
    SetWindowPos(top, nullptr, 0, 0, 360, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(desktop_->Geometry(window), moved) << "the manager answered the resize";

    EXPECT_TRUE(desktop_->RunUntil([&] { return ClientOnScreen(top) == moved; }, pump));
    const XRect believed = ClientOnScreen(top);
    EXPECT_EQ(believed, moved) << "the program has its client at " << believed.x << ","
                               << believed.y << " " << believed.width << "x" << believed.height;
    EXPECT_EQ(desktop_->Geometry(window), moved);
}

// The program resizes its window while the manager moves it and holds it to
// its smallest size: whatever the manager makes of the two, the program's
// idea of its client area is what the server shows.
TEST_F(X11Desktop, AResizeCrossingTheManagersMoveEndsWhereTheServerShowsTheWindow) {
    START_DESKTOP();
    g_minimumTrack = {260, 190};
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);
    const auto agree = [&] {
        std::optional<XRect> shown = desktop_->Geometry(window);
        return shown && *shown == ClientOnScreen(top);
    };
    const XRect places[] = {{300, 200, 150, 100}, {120, 90, 420, 330}, {60, 300, 200, 150}};
    const SIZE sizes[] = {{500, 380}, {240, 170}, {330, 250}};
    for (int round = 0; round < 3; ++round) {
        desktop_->MoveResize(window, places[round]);
        SetWindowPos(top, nullptr, 0, 0, sizes[round].cx, sizes[round].cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(RunUntil(agree)) << "round " << round;
        Settle();
        EXPECT_TRUE(agree()) << "round " << round << ": the program has "
                             << ClientOnScreen(top).width << "x" << ClientOnScreen(top).height
                             << ", the server "
                             << desktop_->Geometry(window).value_or(XRect{}).width << "x"
                             << desktop_->Geometry(window).value_or(XRect{}).height;
    }
}

TEST_F(X11Desktop, TheManagersCloseClosesTheWindow) {
    START_DESKTOP();
    HWND top = ShowTopWindow();
    ASSERT_TRUE(WaitUntilManaged(top));
    desktop_->Close(XWindowOf(top));
    EXPECT_TRUE(RunUntil([&] { return !IsWindow(top); }));
    ASSERT_EQ(ReceivedOf(WM_CLOSE).size(), 1u);
}

TEST_F(X11Desktop, TheWindowSaysWhoItIs) {
    START_DESKTOP();
    g_minimumTrack = {250, 180};
    HWND top = ShowTopWindow();
    HWND hint = CreateWindowExA(0, "Desktop", "", WS_POPUP | WS_BORDER, 100, 100, 60, 20, nullptr,
                                nullptr, nullptr, nullptr);
    ShowWindow(hint, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitUntilManaged(top));
    const ::Window window = XWindowOf(top);

    const std::string name = program_invocation_short_name;
    std::string className = name;
    className[0] = static_cast<char>(std::toupper(className[0]));
    EXPECT_EQ(desktop_->TextProperty(window, "WM_CLASS"), name + '\0' + className + '\0');
    EXPECT_EQ(desktop_->CardinalProperty(window, "_NET_WM_PID"),
              std::vector<unsigned long>{static_cast<unsigned long>(getpid())});
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(desktop_->TextProperty(window, "WM_CLIENT_MACHINE"), std::string(host));
    EXPECT_EQ(desktop_->AtomProperty(window, "_NET_WM_WINDOW_TYPE"),
              std::vector<std::string>{"_NET_WM_WINDOW_TYPE_NORMAL"});
    EXPECT_EQ(desktop_->AtomProperty(XWindowOf(hint), "_NET_WM_WINDOW_TYPE"),
              std::vector<std::string>{"_NET_WM_WINDOW_TYPE_TOOLTIP"});

    // Both sizes of the program's icon, each its width, height and pixels.
    std::vector<unsigned long> icon = desktop_->CardinalProperty(window, "_NET_WM_ICON");
    ASSERT_EQ(icon.size(), (2u + 32 * 32) + (2u + 16 * 16));
    EXPECT_EQ(icon[0], 32u);
    EXPECT_EQ(icon[1], 32u);
    EXPECT_EQ(icon[2 + 32 * 32], 16u);
    EXPECT_EQ(icon[3 + 32 * 32], 16u);
    int opaque = 0;
    for (std::size_t i = 2; i < 2 + 32 * 32; ++i) {
        opaque += (icon[i] >> 24 & 0xFF) == 0xFF ? 1 : 0;
    }
    EXPECT_GT(opaque, 100) << "the icon has a picture";

    // The smallest size the window procedure accepts, less the frame the
    // manager draws instead.
    RECT frame;
    GetWindowRect(top, &frame);
    const XRect shown = *desktop_->Geometry(window);
    std::optional<TestDesktop::SizeHints> hints = desktop_->NormalHints(window);
    ASSERT_TRUE(hints);
    EXPECT_TRUE(hints->flags & PMinSize);
    EXPECT_FALSE(hints->flags & PMaxSize);
    EXPECT_EQ(hints->minWidth, 250 - ((frame.right - frame.left) - shown.width));
    EXPECT_EQ(hints->minHeight, 180 - ((frame.bottom - frame.top) - shown.height));
    EXPECT_EQ(hints->gravity, StaticGravity);
    // The manager holds the window to it.
    desktop_->MoveResize(window, {100, 100, 50, 50});
    Settle();
    EXPECT_GE(desktop_->Geometry(window)->width, hints->minWidth);
}

TEST_F(X11Desktop, TheScreenReportsTheDisplaysPixelsPerInch) {
    START_DESKTOP(DesktopOptions{.windowManager = false, .dpi = 144});
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144);
    ReleaseDC(nullptr, screen);
}

TEST_F(X11Desktop, XftDpiInTheResourcesComesBeforeTheScreensSize) {
    START_DESKTOP(DesktopOptions{.windowManager = false, .dpi = 144, .xftDpi = 192});
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 192);
    ReleaseDC(nullptr, screen);
}

TEST_F(X11Desktop, AnUnsupportedDepthIsNamedAsSuch) {
    desktop_ = std::make_unique<TestDesktop>(DesktopOptions{.windowManager = false, .depth = 16});
    if (!desktop_->Ready()) {
        GTEST_SKIP() << desktop_->WhyNot();
    }
    std::string whyNot;
    EXPECT_FALSE(platform::UseX11Screen(desktop_->Display().c_str(), &whyNot));
    EXPECT_NE(whyNot.find("16-bit"), std::string::npos) << whyNot;
    EXPECT_EQ(whyNot.find("cannot open"), std::string::npos) << whyNot;
    whyNot.clear();
    EXPECT_FALSE(platform::UseX11Screen(":54321", &whyNot));
    EXPECT_EQ(whyNot, "cannot open the X display :54321");
}

} // namespace
