// The X11 screen against a private Xvfb: the pixels a program paints reach
// the X window, and X input reaches the window procedure. Skipped when Xvfb
// cannot start; every wait is bounded.

#include <windows.h>

#include "TestDesktop.h"
#include "platform/Screen.h"
#include "platform/Testing.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using velbrin_test::DesktopOptions;
using velbrin_test::TestDesktop;

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(GetParent(window) ? RGB(0, 0, 255) : RGB(255, 0, 0));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_TIMER:
    case WM_SIZE:
        g_received.push_back({message, wParam, lParam});
        break;
    case WM_DESTROY:
        if (!GetParent(window)) {
            PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class X11Screen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DesktopOptions bare;
        bare.windowManager = false;
        server_ = new TestDesktop(bare);
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Ready()) {
            GTEST_SKIP() << server_->WhyNot();
        }
        platform::ResetForTesting();
        g_received.clear();
        ASSERT_TRUE(platform::UseX11Screen(server_->Display().c_str()));
        display_ = XOpenDisplay(server_->Display().c_str());
        ASSERT_NE(display_, nullptr);
        WNDCLASSA wc{};
        wc.lpfnWndProc = PaintingProc;
        wc.lpszClassName = "Painter";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override {
        platform::ResetForTesting();
        if (display_) {
            XCloseDisplay(display_);
        }
    }

    // Sends an event to the window's own client, as the server would
    // deliver it, and waits until the server has passed it on.
    void Send(::Window window, XEvent event) {
        event.xany.window = window;
        XSendEvent(display_, window, False, 0, &event);
        XSync(display_, False);
    }

    // Runs the program's queue until `done`; each round trip to the server
    // gives it the chance to pass on what it has for the program.
    template <class Condition> bool RunUntil(Condition done, int rounds = 2000) {
        for (int round = 0; round < rounds; ++round) {
            MSG msg;
            // Bounded too: a window that keeps repainting must not hang the test.
            for (int i = 0; i < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done()) {
                return true;
            }
            XSync(display_, False);
        }
        return false;
    }
    unsigned long PixelAt(::Window window, int x, int y) {
        XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return ~0ul;
        }
        unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel;
    }

    static TestDesktop* server_;
    ::Display* display_ = nullptr;
};
TestDesktop* X11Screen::server_ = nullptr;

// Writes the X window's pixels as a PPM when VELBRIN_X11_SCREENSHOT names a
// file, for a person to look at.
void SavePictureToLookAt(XImage* image) {
    const char* path = std::getenv("VELBRIN_X11_SCREENSHOT");
    if (path == nullptr) {
        return;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                    static_cast<unsigned char>(pixel >> 8),
                                    static_cast<unsigned char>(pixel)};
            std::fwrite(rgb, 1, 3, file);
        }
    }
    std::fclose(file);
}

TEST_F(X11Screen, ClientAreaOfTheFrameBufferReachesTheXWindow) {
    HWND top = CreateWindowExA(0, "Painter", "Notes View", WS_OVERLAPPEDWINDOW, 40, 30, 410, 309,
                               nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, "Painter", "", WS_CHILD | WS_VISIBLE, 20, 30,
                                 200, 100, top, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    ASSERT_NE(window, 0u);
    EXPECT_EQ(platform::NativeWindowOf(child), 0u);

    // The frame buffer goes to the server once the queue runs dry.
    ASSERT_TRUE(RunUntil([&] { return PixelAt(window, 5, 5) == 0xFF0000u; }));
    RECT client;
    GetClientRect(top, &client);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
    EXPECT_EQ(attributes.width, client.right);
    EXPECT_EQ(attributes.height, client.bottom);
    EXPECT_EQ(attributes.map_state, IsViewable);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(attributes.x, origin.x);
    EXPECT_EQ(attributes.y, origin.y);

    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(client.right),
                              static_cast<unsigned>(client.bottom), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    SavePictureToLookAt(image);
    EXPECT_EQ(XGetPixel(image, 5, 5), 0xFF0000u);
    EXPECT_EQ(XGetPixel(image, client.right - 1, client.bottom - 1), 0xFF0000u);
    // The child's sunken edge (the button shadow of Windows' default colours),
    // then its blue client area.
    EXPECT_EQ(XGetPixel(image, 20, 30), static_cast<unsigned long>(0xA0A0A0));
    EXPECT_EQ(XGetPixel(image, 120, 80), 0x0000FFu);
    XDestroyImage(image);

    // The server takes the program's requests and this test's in any order.
    ShowWindow(top, SW_HIDE);
    EXPECT_TRUE(RunUntil([&] {
        return XGetWindowAttributes(display_, window, &attributes) &&
               attributes.map_state == IsUnmapped;
    }));
}

TEST_F(X11Screen, CaptionlessPopUpsBypassTheWindowManagerAndShowTheirFrame) {
    HWND popup = CreateWindowExA(0, "Painter", "", WS_POPUP | WS_BORDER, 100, 80, 60, 20, nullptr,
                                 nullptr, nullptr, nullptr);
    // Like the application window: a caption, and no size at all.
    HWND captioned = CreateWindowExA(0, "Painter", "App", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10,
                                     10, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    auto window = static_cast<::Window>(platform::NativeWindowOf(popup));
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(RunUntil([&] { return PixelAt(window, 5, 5) == 0xFF0000u; }));
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.x, 100);
    EXPECT_EQ(attributes.y, 80);
    EXPECT_EQ(attributes.width, 60) << "the frame is shown with the client area";
    EXPECT_EQ(attributes.height, 20);
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    EXPECT_EQ(PixelAt(window, 0, 0), (static_cast<unsigned long>(GetRValue(frame)) << 16) |
                                         (GetGValue(frame) << 8) | GetBValue(frame));
    EXPECT_EQ(PixelAt(window, 5, 5), 0xFF0000u);

    // X input arrives in the window's client coordinates, inside the frame.
    g_received.clear();
    XEvent event{};
    event.xbutton.type = ButtonPress;
    event.xbutton.button = Button1;
    event.xbutton.x = 5;
    event.xbutton.y = 6;
    event.xbutton.same_screen = True;
    Send(window, event);
    ASSERT_TRUE(RunUntil([] { return !g_received.empty(); }));
    EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_received[0].lParam, MAKELPARAM(4, 5));

    auto managed = static_cast<::Window>(platform::NativeWindowOf(captioned));
    ASSERT_NE(managed, 0u);
    ASSERT_TRUE(XGetWindowAttributes(display_, managed, &attributes));
    EXPECT_FALSE(attributes.override_redirect);
}

TEST_F(X11Screen, XInputAndCloseRequestsReachTheWindowProcedure) {
    HWND top = CreateWindowExA(0, "Painter", "Input", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                               200, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(top);
    SetFocus(top);
    g_received.clear();
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    ASSERT_NE(window, 0u);

    XEvent event{};
    event.xbutton.type = ButtonPress;
    event.xbutton.button = Button1;
    event.xbutton.x = 30;
    event.xbutton.y = 40;
    event.xbutton.same_screen = True;
    Send(window, event);
    event.xbutton.type = ButtonRelease;
    Send(window, event);
    event = XEvent{};
    event.xkey.type = KeyPress;
    event.xkey.keycode = XKeysymToKeycode(display_, XK_a);
    event.xkey.same_screen = True;
    Send(window, event);
    event.xkey.type = KeyRelease;
    Send(window, event);
    event = XEvent{};
    event.xclient.type = ClientMessage;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    Send(window, event);

    // The close request ends the loop; the timer bounds it if it never comes.
    SetTimer(top, 1, 5000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            ADD_FAILURE() << "the window was never closed";
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::vector<UINT> order;
    for (const Received& r : g_received) {
        order.push_back(r.message);
    }
    std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP,  WM_KEYDOWN,
                               WM_CHAR,        WM_SYSCOMMAND, WM_CLOSE};
    ASSERT_EQ(order, expected);
    EXPECT_EQ(g_received[0].lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(g_received[2].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(g_received[3].wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(g_received[4].wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(X11Screen, InputArrivingWhileTheProgramOnlyPeeksReachesIt) {
    // A program busy with work looks at its queue without ever waiting: the
    // connection is read once a turn, and a turn ends each time it finds the
    // queue empty, so a key arriving meanwhile still comes through.
    HWND top = CreateWindowExA(0, "Painter", "Peeking", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               200, 100, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(top);
    SetFocus(top);
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    ASSERT_NE(window, 0u);
    // A wait, which reads the connection itself, then a queue run dry.
    PostMessageA(top, WM_NULL, 0, 0);
    WaitMessage();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    g_received.clear();

    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.keycode = XKeysymToKeycode(display_, XK_b);
    event.xkey.same_screen = True;
    Send(window, event);
    bool keyDown = false;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!keyDown && std::chrono::steady_clock::now() < limit) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            keyDown = keyDown || msg.message == WM_KEYDOWN;
            DispatchMessageA(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(keyDown) << "the key never reached a program that only peeks";
    DestroyWindow(top);
}

TEST_F(X11Screen, ClockRunsInRealTimeAndTimersFire) {
    HWND top = CreateWindowExA(0, "Painter", "Timer", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
    DWORD start = GetTickCount();
    SetTimer(top, 7, 30, nullptr);
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_GE(GetTickCount() - start, 30u);
}

TEST_F(X11Screen, LostPixelsComeBackFromTheFrameBuffer) {
    HWND top = CreateWindowExA(0, "Painter", "Expose", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               200, 150, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(top);
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    ASSERT_TRUE(RunUntil([&] { return PixelAt(window, 10, 10) == 0xFF0000u; }));
    // Another client scribbles over the window and the server asks for the
    // area again, as when an overlapping window goes away.
    GC gc = XCreateGC(display_, window, 0, nullptr);
    XSetForeground(display_, gc, 0x000000);
    XFillRectangle(display_, window, gc, 0, 0, 50, 50);
    XFreeGC(display_, gc);
    ASSERT_EQ(PixelAt(window, 10, 10), 0x000000u);
    XClearArea(display_, window, 0, 0, 50, 50, True);
    EXPECT_TRUE(RunUntil([&] { return PixelAt(window, 10, 10) == 0xFF0000u; }));
}

TEST_F(X11Screen, ResizeFromOutsideBecomesWmSize) {
    HWND top = CreateWindowExA(0, "Painter", "Resize", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               200, 150, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(top);
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    RECT client{};
    XWindowAttributes attributes{};
    // Resized from outside once the server has placed the window where the
    // program asked: a resize taken before that request is undone by it.
    GetClientRect(top, &client);
    ASSERT_TRUE(RunUntil([&] {
        return XGetWindowAttributes(display_, window, &attributes) &&
               attributes.map_state == IsViewable && attributes.width == client.right &&
               attributes.height == client.bottom;
    }));
    XResizeWindow(display_, window, 250, 120);
    EXPECT_TRUE(RunUntil([&] {
        GetClientRect(top, &client);
        return client.right == 250 && client.bottom == 120;
    }));
    RECT frame;
    GetWindowRect(top, &frame);
    EXPECT_EQ(frame.right - frame.left, 258);
    // The program's own resize is not taken for one from outside.
    SetWindowPos(top, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(top, nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_received.clear();
    EXPECT_TRUE(RunUntil([&] {
        XGetWindowAttributes(display_, window, &attributes);
        return attributes.width == 312;
    }));
    // Let the echoes of both resizes arrive: neither may undo the last one.
    RunUntil([] { return false; }, 50);
    GetWindowRect(top, &frame);
    EXPECT_EQ(frame.right - frame.left, 320);
    EXPECT_EQ(frame.bottom - frame.top, 220);
    EXPECT_TRUE(g_received.empty()) << "the window was resized again";
}

// What the server shows as the pointer: its size, hot spot, the ARGB
// pixels of its picture and its serial, which tells one cursor from another.
struct ShownCursor {
    int width = 0;
    int height = 0;
    int hotX = -1;
    int hotY = -1;
    std::vector<unsigned long> pixels;
    unsigned long serial = 0;
    unsigned long At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFFFFu; }
};

ShownCursor CursorShownBy(::Display* display) {
    ShownCursor shown;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        shown.width = image->width;
        shown.height = image->height;
        shown.hotX = image->xhot;
        shown.hotY = image->yhot;
        shown.pixels.assign(image->pixels, image->pixels + image->width * image->height);
        shown.serial = image->cursor_serial;
        XFree(image);
    }
    return shown;
}

TEST_F(X11Screen, ThePointerOverTheWindowsShowsTheCursorTheProgramSets) {
    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(display_, &eventBase, &errorBase)) {
        GTEST_SKIP() << "the server cannot tell its cursor";
    }
    // The class has no cursor of its own, so nothing but SetCursor changes it.
    HWND top = CreateWindowExA(0, "Painter", "Cursor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               200, 150, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(top);
    auto window = static_cast<::Window>(platform::NativeWindowOf(top));
    ASSERT_NE(window, 0u);
    XWarpPointer(display_, None, window, 0, 0, 0, 0, 60, 50);
    XSync(display_, False);

    HCURSOR drag = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(32766));
    ASSERT_NE(drag, nullptr);
    SetCursor(drag);
    ShownCursor shown;
    EXPECT_TRUE(RunUntil([&] {
        shown = CursorShownBy(display_);
        return shown.width == 32 && shown.height == 32;
    }));
    ASSERT_EQ(shown.pixels.size(), 32u * 32u);
    EXPECT_EQ(shown.hotX, 0);
    EXPECT_EQ(shown.hotY, 0);
    EXPECT_EQ(shown.At(0, 0), 0xFF000000u) << "the arrow's black tip";
    EXPECT_EQ(shown.At(1, 5), 0xFFFFFFFFu) << "its white inside";
    EXPECT_EQ(shown.At(31, 0) >> 24, 0u) << "a clear corner";
    const unsigned long dragSerial = shown.serial;

    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_TRUE(RunUntil([&] { return CursorShownBy(display_).serial != dragSerial; }));
    EXPECT_NE(CursorShownBy(display_).hotX, 0) << "the I-beam is no arrow";

    // No cursor at all: nothing of it shows.
    SetCursor(nullptr);
    EXPECT_TRUE(RunUntil([&] {
        shown = CursorShownBy(display_);
        return std::all_of(shown.pixels.begin(), shown.pixels.end(),
                           [](unsigned long pixel) { return (pixel >> 24 & 0xFF) == 0; });
    }));

    // A window made later has the cursor as well.
    SetCursor(drag);
    HWND second = CreateWindowExA(0, "Painter", "Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                                  300, 200, 150, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(second);
    auto secondWindow = static_cast<::Window>(platform::NativeWindowOf(second));
    ASSERT_NE(secondWindow, 0u);
    XWarpPointer(display_, None, secondWindow, 0, 0, 0, 0, 20, 20);
    XSync(display_, False);
    EXPECT_TRUE(RunUntil([&] {
        shown = CursorShownBy(display_);
        return shown.width == 32 && shown.hotX == 0 && shown.At(0, 0) == 0xFF000000u;
    }));
}

TEST_F(X11Screen, EnvironmentChoosesTheScreenOfAFreshPlatform) {
    setenv("VELBRIN_DISPLAY", "x11", 1);
    setenv("DISPLAY", server_->Display().c_str(), 1);
    platform::ResetForTesting();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Plain";
    RegisterClassA(&wc);
    HWND top = CreateWindowExA(0, "Plain", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(platform::NativeWindowOf(top), 0u);
    unsetenv("VELBRIN_DISPLAY");
    platform::ResetForTesting();
    RegisterClassA(&wc);
    top = CreateWindowExA(0, "Plain", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                          nullptr, nullptr, nullptr);
    EXPECT_EQ(platform::NativeWindowOf(top), 0u);
    EXPECT_FALSE(platform::UseX11Screen(":12345"));
}

} // namespace
