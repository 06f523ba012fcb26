// What the X11 screen sends to the server, seen from another client of a
// private Xvfb with openbox managing the windows: the window shows exactly
// the frame buffer after every change, through MIT-SHM and through plain
// XPutImage; a change sends only its own area, and the changes of one turn
// of the message loop go together. XDamage reports what reached the window;
// XTest gives the key that causes a change. Every wait is bounded.

#include <windows.h>

#include "TestDesktop.h"
#include "platform/Screen.h"
#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using velbrin_test::TestDesktop;

// What the test window paints: colour bands, a text, and a marked area in
// a colour of its own once a key or the test asks for it.
RECT g_marked{};
COLORREF g_markColor = RGB(0, 160, 0);

void Fill(HDC dc, RECT rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK BandsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        for (LONG top = 0; top < client.bottom; top += 16) {
            Fill(dc, {0, top, client.right, top + 16},
                 RGB(top * 3 % 256, 255 - top % 256, (top * 7) % 256));
        }
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 10, 10, "Richter harmonica", 17);
        if (g_marked.right > g_marked.left) {
            Fill(dc, g_marked, g_markColor);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            g_marked = {40, 50, 72, 70};
            InvalidateRect(window, &g_marked, FALSE);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

enum class Transfer { SharedMemory, PutImage };

class X11Present : public ::testing::TestWithParam<Transfer> {
protected:
    static void SetUpTestSuite() { server_ = new TestDesktop(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->Ready()) {
            GTEST_SKIP() << server_->WhyNot();
        }
        platform::ResetForTesting();
        g_marked = {};
        if (GetParam() == Transfer::PutImage) {
            setenv("VELBRIN_X11_NO_SHM", "1", 1);
        } else {
            unsetenv("VELBRIN_X11_NO_SHM");
        }
        ASSERT_TRUE(platform::UseX11Screen(server_->Display().c_str()));
        unsetenv("VELBRIN_X11_NO_SHM");
        display_ = XOpenDisplay(server_->Display().c_str());
        ASSERT_NE(display_, nullptr);
        int error = 0;
        ASSERT_TRUE(XDamageQueryExtension(display_, &damageEvents_, &error));
        WNDCLASSA wc{};
        wc.lpfnWndProc = BandsProc;
        wc.lpszClassName = "Bands";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override {
        platform::ResetForTesting();
        if (display_) {
            XCloseDisplay(display_);
        }
    }

    // A shown top-level window whose first frame has reached the server.
    HWND ShowBands() {
        HWND top = CreateWindowExA(0, "Bands", "Bands", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40,
                                   300, 200, nullptr, nullptr, nullptr, nullptr);
        window_ = static_cast<::Window>(platform::NativeWindowOf(top));
        EXPECT_NE(window_, 0u);
        EXPECT_TRUE(RunUntil([&] { return ShowsFrameBuffer(top); })) << DifferentPixels(top);
        return top;
    }

    // One turn of the message loop: everything waiting is handled, and the
    // queue running dry sends the turn's changes.
    static void Turn() {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    template <class Condition> bool RunUntil(Condition done, int rounds = 400) {
        for (int round = 0; round < rounds; ++round) {
            Turn();
            XSync(display_, False);
            if (done()) {
                return true;
            }
        }
        return false;
    }

    // The pixels of the X window that differ from the client area of the
    // window's frame buffer; -1 when the window cannot be read.
    long DifferentPixels(HWND top) {
        const platform::WindowImage expected =
            platform::CaptureWindow(top, platform::WindowArea::Client);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, window_, &attributes) ||
            attributes.map_state != IsViewable) {
            return -1;
        }
        // Where the window manager holds the window at another size than
        // asked, the part both have is compared.
        const int width = std::min(attributes.width, expected.width);
        const int height = std::min(attributes.height, expected.height);
        XImage* image = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (image == nullptr) {
            return -1;
        }
        long different = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF want = expected.At(x, y);
                const unsigned long shown = XGetPixel(image, x, y) & 0xFFFFFFul;
                const unsigned long wanted = (static_cast<unsigned long>(GetRValue(want)) << 16) |
                                             (GetGValue(want) << 8) | GetBValue(want);
                different += shown != wanted;
            }
        }
        XDestroyImage(image);
        return different;
    }
    bool ShowsFrameBuffer(HWND top) { return DifferentPixels(top) == 0; }

    // From now on, every area that reaches the window is recorded.
    void WatchDamage() {
        damage_ = XDamageCreate(display_, window_, XDamageReportRawRectangles);
        XSync(display_, False);
    }
    // Runs the loop until nothing more reaches the window for a while, and
    // forgets what did.
    void Settle() {
        int quiet = 0;
        for (int round = 0; round < 400 && quiet < 20; ++round) {
            Turn();
            quiet = TakeDamage().empty() ? quiet + 1 : 0;
        }
    }
    std::vector<XRectangle> TakeDamage() {
        std::vector<XRectangle> areas;
        XSync(display_, False);
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == damageEvents_ + XDamageNotify) {
                areas.push_back(reinterpret_cast<XDamageNotifyEvent&>(event).area);
            }
        }
        return areas;
    }

    static TestDesktop* server_;
    ::Display* display_ = nullptr;
    ::Window window_ = 0;
    int damageEvents_ = 0;
    Damage damage_ = 0;
};
TestDesktop* X11Present::server_ = nullptr;

bool Inside(const XRectangle& area, const RECT& rect) {
    return area.x >= rect.left && area.y >= rect.top && area.x + area.width <= rect.right &&
           area.y + area.height <= rect.bottom;
}

TEST_P(X11Present, TheWindowShowsTheFrameBufferAfterEachChange) {
    HWND top = ShowBands();
    g_marked = {100, 20, 180, 90};
    InvalidateRect(top, &g_marked, FALSE);
    EXPECT_TRUE(RunUntil([&] { return ShowsFrameBuffer(top); })) << DifferentPixels(top);
    // The change is really there, not two stale copies agreeing.
    const platform::WindowImage image = platform::CaptureWindow(top, platform::WindowArea::Client);
    EXPECT_EQ(image.At(120, 40), g_markColor);

    g_markColor = RGB(200, 0, 120);
    InvalidateRect(top, nullptr, FALSE);
    EXPECT_TRUE(RunUntil([&] { return ShowsFrameBuffer(top); })) << DifferentPixels(top);
}

TEST_P(X11Present, AKeyThatRepaintsACellSendsThatCellAlone) {
    HWND top = ShowBands();
    WatchDamage();
    Settle();
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    ASSERT_TRUE(server_->TypeKeysym("space"));
    ASSERT_TRUE(RunUntil([&] { return g_marked.right > g_marked.left && ShowsFrameBuffer(top); }))
        << "the key did not reach the window";
    const std::vector<XRectangle> damage = TakeDamage();
    ASSERT_FALSE(damage.empty());
    for (const XRectangle& area : damage) {
        EXPECT_TRUE(Inside(area, g_marked))
            << area.x << ", " << area.y << " " << area.width << " x " << area.height;
    }
}

TEST_P(X11Present, ChangesOfOneTurnGoTogether) {
    HWND top = ShowBands();
    WatchDamage();
    Settle();
    // Ten repaints of one area within a turn, each painted at once.
    g_marked = {60, 100, 120, 130};
    for (int i = 0; i < 10; ++i) {
        g_markColor = RGB(20 * i, 0, 0);
        InvalidateRect(top, &g_marked, FALSE);
        UpdateWindow(top);
    }
    EXPECT_TRUE(TakeDamage().empty()) << "nothing is sent before the queue runs dry";
    Turn();
    ASSERT_TRUE(RunUntil([&] { return ShowsFrameBuffer(top); }));
    const std::vector<XRectangle> damage = TakeDamage();
    ASSERT_EQ(damage.size(), 1u);
    EXPECT_EQ(damage[0].x, 60);
    EXPECT_EQ(damage[0].y, 100);
    EXPECT_EQ(damage[0].width, 60);
    EXPECT_EQ(damage[0].height, 30);
}

// System V segments mapped into this process, as the kernel lists them.
int SharedSegmentsMapped() {
    std::ifstream maps("/proc/self/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);) {
        count += line.find("/SYSV") != std::string::npos;
    }
    return count;
}

TEST_P(X11Present, TheFrameBufferIsSharedWithTheServerUnlessTurnedOff) {
    ShowBands();
    if (GetParam() == Transfer::SharedMemory) {
        EXPECT_GT(SharedSegmentsMapped(), 0);
    } else {
        EXPECT_EQ(SharedSegmentsMapped(), 0);
    }
}

TEST_P(X11Present, TheWindowManagerFramesTheWindowAndTheProgramDrawsNoFrame) {
    HWND top = ShowBands();
    // openbox put the window into a frame of its own.
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(display_, window_, &root, &parent, &children, &count));
    if (children != nullptr) {
        XFree(children);
    }
    EXPECT_NE(parent, root);
    // The caption and border of the frame buffer keep the buffer's first
    // white: nobody would see them.
    SetWindowTextA(top, "Another title");
    Turn();
    const platform::WindowImage whole =
        platform::CaptureWindow(top, platform::WindowArea::WithFrame);
    EXPECT_EQ(whole.At(whole.width / 2, 8), RGB(255, 255, 255));
    EXPECT_EQ(whole.At(1, whole.height / 2), RGB(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(Transfers, X11Present,
                         ::testing::Values(Transfer::SharedMemory, Transfer::PutImage),
                         [](const ::testing::TestParamInfo<Transfer>& transfer) {
                             return transfer.param == Transfer::SharedMemory ? "SharedMemory"
                                                                             : "PutImage";
                         });

} // namespace
