// notesview on a desktop with a window manager, run as a user runs it: a
// process of its own on a private Xvfb with openbox, driven by real input
// through XTest and watched from outside (its X window, its exit status,
// its error stream). Skipped when the desktop cannot start.

#include "InspectionPicture.h"
#include "TestDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using velbrin_test::ChildProgram;
using velbrin_test::SaveForInspection;
using velbrin_test::TestDesktop;
using velbrin_test::XRect;
using velbrin_test::XWindowId;

// Where the form puts its controls, in client coordinates.
constexpr int kKeyBoxLeft = 176;
constexpr int kKeyBoxTop = 0;
// The dropped key list shows this many rows, inside a one-pixel border.
constexpr int kKeyListRows = 8;
constexpr int kGridTop = 24;
// The second cell of the grid's second row, and the cells' size at least.
constexpr int kCellWidth = 33;
constexpr int kCellHeight = 21;
constexpr int kCellX = kCellWidth + 16;
constexpr int kCellY = kGridTop + kCellHeight + 10;

class NotesViewDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        desktop_ = std::make_unique<TestDesktop>();
        if (!desktop_->Ready()) {
            GTEST_SKIP() << "no test desktop: " << desktop_->WhyNot();
        }
    }

    std::unique_ptr<ChildProgram> Start() {
        auto program = std::make_unique<ChildProgram>(VELBRIN_NOTESVIEW, desktop_->Display());
        return program;
    }
    // The program's main window once the manager shows it.
    XWindowId MainWindowOf(ChildProgram& program) {
        XWindowId found = 0;
        desktop_->RunUntil([&] {
            for (XWindowId window : desktop_->WindowsOfProcess(program.Pid())) {
                if (desktop_->IsMapped(window) && desktop_->FrameExtents(window).size() == 4) {
                    found = window;
                }
            }
            return found != 0;
        });
        return found;
    }
    bool WaitForSize(XWindowId window, int width, int height) {
        return desktop_->RunUntil([&] {
            std::optional<XRect> now = desktop_->Geometry(window);
            return now && now->width == width && now->height == height;
        });
    }
    void Pause(std::chrono::milliseconds time) {
        desktop_->RunUntil([] { return false; }, {}, time);
    }
    // Types a key name into the Key box and clicks a cell, as a user would.
    // Each step waits for the program to show what the last one did: a
    // click the program has not yet placed may land elsewhere.
    void ChooseKey(XWindowId window, const std::string& key) {
        SteadyPixels(window);
        const XRect at = *desktop_->Geometry(window);
        desktop_->TypeKeysym("Escape");
        desktop_->Click(at.x + kKeyBoxLeft + 15, at.y + kKeyBoxTop + 10);
        SteadyPixels(window);
        // All of the box's text, whatever was typed there, gives way to the key.
        desktop_->TypeKeysym("Home");
        desktop_->PressKeysym("Shift_L");
        desktop_->TypeKeysym("End");
        desktop_->ReleaseKeysym("Shift_L");
        desktop_->TypeText(key);
        SteadyPixels(window);
        desktop_->Click(at.x + kCellX, at.y + kCellY);
    }
    // Drops the key list from the box with F4, turns it to its first row
    // with the wheel (it shows fewer rows than there are keys, from the row
    // of the key last chosen) and clicks the key's row, as a user would.
    void ChooseKeyFromList(XWindowId window, int keyIndex) {
        SteadyPixels(window);
        const XRect at = *desktop_->Geometry(window);
        desktop_->Click(at.x + kKeyBoxLeft + 15, at.y + kKeyBoxTop + 10);
        SteadyPixels(window);
        desktop_->TypeKeysym("F4");
        std::optional<XRect> list;
        ASSERT_TRUE(desktop_->RunUntil([&] {
            std::vector<XWindowId> popUps = desktop_->PopUps();
            list = popUps.size() == 1 ? desktop_->Geometry(popUps[0]) : std::nullopt;
            return list.has_value();
        })) << "the key list did not drop";
        desktop_->MovePointer(list->x + 10, list->y + list->height / 2);
        for (int turn = 0; turn < 2; ++turn) {
            desktop_->PressButton(4);
            desktop_->ReleaseButton(4);
        }
        Pause(300ms);
        // The rows' height follows the screen's pixels per inch.
        const int rowHeight = (list->height - 2) / kKeyListRows;
        desktop_->Click(list->x + 10, list->y + 1 + keyIndex * rowHeight + rowHeight / 2);
        ASSERT_TRUE(desktop_->RunUntil([&] { return desktop_->PopUps().empty(); }))
            << "the key list stayed dropped";
    }
    // What a user does to see a key's notes from the top, whatever the window
    // went through: the key from the list, the grid scrolled home with
    // Ctrl+Home and its cell chosen with a click.
    std::vector<std::uint32_t> ShowKeyFromTheTop(XWindowId window, int keyIndex) {
        ChooseKeyFromList(window, keyIndex);
        if (HasFatalFailure()) {
            return {};
        }
        SteadyPixels(window);
        const XRect at = *desktop_->Geometry(window);
        // Away from the cell clicked last, so that the two clicks are not
        // taken for a double click.
        desktop_->Click(at.x + kCellX + 3 * kCellWidth, at.y + kCellY + 3 * kCellHeight);
        SteadyPixels(window);
        desktop_->PressKeysym("Control_L");
        desktop_->TypeKeysym("Home");
        desktop_->ReleaseKeysym("Control_L");
        SteadyPixels(window);
        desktop_->Click(at.x + kCellX, at.y + kCellY);
        return SteadyPixels(window);
    }
    std::vector<std::uint32_t> ClientPixels(XWindowId window) {
        const XRect at = *desktop_->Geometry(window);
        return desktop_->Pixels(window, {0, 0, at.width, at.height});
    }
    // The window's pixels once the program has stopped changing them.
    std::vector<std::uint32_t> SteadyPixels(XWindowId window) {
        std::vector<std::uint32_t> last = ClientPixels(window);
        desktop_->RunUntil([&] {
            Pause(150ms);
            std::vector<std::uint32_t> now = ClientPixels(window);
            std::swap(now, last);
            return now == last;
        });
        return last;
    }
    // How many pixels still differ from `expected` when the window has had
    // the time to paint what it will.
    std::size_t DifferingPixels(XWindowId window, const std::vector<std::uint32_t>& expected) {
        std::vector<std::uint32_t> shown;
        desktop_->RunUntil([&] {
            shown = ClientPixels(window);
            return shown == expected;
        });
        if (shown.size() != expected.size()) {
            return std::max(shown.size(), expected.size());
        }
        std::size_t differ = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            differ += shown[i] != expected[i] ? 1 : 0;
        }
        return differ;
    }

    std::unique_ptr<TestDesktop> desktop_;
};

TEST_F(NotesViewDesktop, SaysWhoItIsAndEndsWithStatusZeroWhenTheManagerClosesIt) {
    auto program = Start();
    ASSERT_TRUE(program->Started());
    const XWindowId window = MainWindowOf(*program);
    ASSERT_NE(window, 0u) << program->ErrorOutput();
    EXPECT_EQ(desktop_->TextProperty(window, "WM_CLASS"),
              std::string("notesview\0Notesview\0", 20));
    EXPECT_EQ(desktop_->TextProperty(window, "_NET_WM_NAME"), "Velbrin Notes View");
    std::vector<unsigned long> icon = desktop_->CardinalProperty(window, "_NET_WM_ICON");
    ASSERT_EQ(icon.size(), (2u + 32 * 32) + (2u + 16 * 16));
    EXPECT_EQ(icon[0], 32u);
    EXPECT_EQ(icon[2 + 32 * 32], 16u);
    std::optional<TestDesktop::SizeHints> hints = desktop_->NormalHints(window);
    ASSERT_TRUE(hints);
    EXPECT_GT(hints->minWidth, 0);

    desktop_->Close(window);
    EXPECT_EQ(program->WaitForExit(10s), std::optional<int>(0)) << program->ErrorOutput();
}

TEST_F(NotesViewDesktop, AWindowDestroyedFromOutsideEndsTheProgramWithStatusOne) {
    auto program = Start();
    const XWindowId window = MainWindowOf(*program);
    ASSERT_NE(window, 0u) << program->ErrorOutput();
    desktop_->DestroyFromOutside(window);
    EXPECT_EQ(program->WaitForExit(10s), std::optional<int>(1));
    const std::string said = program->ErrorOutput();
    EXPECT_NE(said.find("notesview: the X window of the program was destroyed"), std::string::npos)
        << said;
    EXPECT_EQ(said.find("BadDrawable"), std::string::npos) << said;
}

TEST_F(NotesViewDesktop, ALostConnectionEndsTheProgramWithStatusOne) {
    auto program = Start();
    ASSERT_NE(MainWindowOf(*program), 0u) << program->ErrorOutput();
    const std::string display = desktop_->Display();
    desktop_->KillServer();
    EXPECT_EQ(program->WaitForExit(10s), std::optional<int>(1));
    EXPECT_NE(
        program->ErrorOutput().find("notesview: lost the connection to the X display " + display),
        std::string::npos)
        << program->ErrorOutput();
}

// Shrinking below the controls, clicking the grid and growing again in the
// steps a user takes leave every control where a fresh window of the final
// size has it, pixel for pixel.
TEST_F(NotesViewDesktop, AfterShrinkingAndGrowingTheControlsAreWhereAFreshWindowHasThem) {
    const XRect last{60, 60, 600, 450};
    auto fresh = Start();
    const XWindowId freshWindow = MainWindowOf(*fresh);
    ASSERT_NE(freshWindow, 0u) << fresh->ErrorOutput();
    desktop_->MoveResize(freshWindow, last);
    ASSERT_TRUE(WaitForSize(freshWindow, last.width, last.height));
    ChooseKey(freshWindow, "C");
    const std::vector<std::uint32_t> expected = SteadyPixels(freshWindow);
    desktop_->Close(freshWindow);
    ASSERT_EQ(fresh->WaitForExit(10s), std::optional<int>(0));

    auto resized = Start();
    const XWindowId window = MainWindowOf(*resized);
    ASSERT_NE(window, 0u) << resized->ErrorOutput();
    desktop_->MoveResize(window, {60, 60, 250, 150});
    ASSERT_TRUE(WaitForSize(window, 250, 150));
    SteadyPixels(window);
    desktop_->Click(60 + kCellX, 60 + kCellY);
    for (XRect step : {XRect{60, 60, 250, 262}, XRect{60, 60, 250, 270}, last}) {
        desktop_->MoveResize(window, step);
        ASSERT_TRUE(WaitForSize(window, step.width, step.height));
        SteadyPixels(window);
    }
    ChooseKey(window, "C");
    EXPECT_EQ(DifferingPixels(window, expected), 0u);
    desktop_->Close(window);
    EXPECT_EQ(resized->WaitForExit(10s), std::optional<int>(0));
}

// Minutes of a user's random clicks, drags, keys, wheel turns, resizes and
// maximising, pressed into a few thousand events: afterwards the window,
// brought back to its first size and to a key seen from the top as a user
// would, shows exactly what a fresh window shows after the same steps. Run
// it with VELBRIN_X11_SCREENSHOTS set to see both windows.
TEST_F(NotesViewDesktop, AfterAnInputStormAKeyShowsWhatAFreshWindowShows) {
    constexpr int kKeyC = 5;
    auto fresh = Start();
    const XWindowId freshWindow = MainWindowOf(*fresh);
    ASSERT_NE(freshWindow, 0u) << fresh->ErrorOutput();
    const XRect first = *desktop_->Geometry(freshWindow);
    const std::vector<std::uint32_t> keyless = SteadyPixels(freshWindow);
    const std::vector<std::uint32_t> expected = ShowKeyFromTheTop(freshWindow, kKeyC);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(expected, keyless) << "choosing the key from the list showed nothing new";
    desktop_->Close(freshWindow);
    ASSERT_EQ(fresh->WaitForExit(10s), std::optional<int>(0));

    auto stormed = Start();
    const XWindowId window = MainWindowOf(*stormed);
    ASSERT_NE(window, 0u) << stormed->ErrorOutput();
    std::mt19937 random(20261208);
    const std::vector<std::string> keys{"Left",   "Right", "Up",    "Down", "Tab", "Return",
                                        "Escape", "space", "F2",    "a",    "C",   "plus",
                                        "minus",  "Next",  "Prior", "Home", "End", "BackSpace"};
    // Bounded so that a busy machine still ends the whole test within a minute.
    const auto end = std::chrono::steady_clock::now() + 25s;
    XRect at = *desktop_->Geometry(window);
    int events = 0;
    for (; events < 3000 && std::chrono::steady_clock::now() < end; ++events) {
        if (events % 40 == 0) {
            at = desktop_->Geometry(window).value_or(at);
        }
        const int x =
            at.x + static_cast<int>(random() % static_cast<unsigned>(std::max(at.width, 1)));
        const int y =
            at.y + static_cast<int>(random() % static_cast<unsigned>(std::max(at.height, 1)));
        const unsigned choice = random() % 100;
        if (choice < 40) {
            desktop_->MovePointer(x, y);
        } else if (choice < 60) {
            desktop_->Click(x, y);
        } else if (choice < 63) {
            desktop_->Click(x, y, 3);
        } else if (choice < 70) {
            desktop_->MovePointer(x, y);
            desktop_->PressButton(random() % 2 ? 4 : 5);
            desktop_->ReleaseButton(4);
            desktop_->ReleaseButton(5);
        } else if (choice < 88) {
            desktop_->TypeKeysym(keys[random() % keys.size()]);
        } else if (choice < 94) {
            desktop_->Drag(x, y, at.x + static_cast<int>(random() % 400),
                           at.y + static_cast<int>(random() % 300));
        } else if (choice < 98) {
            desktop_->MoveResize(window, {at.x, at.y, 120 + static_cast<int>(random() % 600),
                                          90 + static_cast<int>(random() % 450)});
        } else {
            desktop_->SetMaximized(window, random() % 2 == 0);
        }
    }
    ASSERT_TRUE(stormed->Running()) << stormed->ErrorOutput();
    RecordProperty("StormEvents", events);

    // Whatever the storm left dropped or held goes first.
    desktop_->TypeKeysym("Escape");
    desktop_->SetMaximized(window, false);
    Pause(300ms);
    desktop_->MoveResize(window, {first.x, first.y, first.width, first.height});
    ASSERT_TRUE(WaitForSize(window, first.width, first.height));
    const std::vector<std::uint32_t> shown = ShowKeyFromTheTop(window, kKeyC);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(shown.size(), expected.size()) << "the window did not take its first size again";
    std::size_t differ = 0;
    std::size_t firstDifference = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != expected[i] && differ++ == 0) {
            firstDifference = i;
        }
    }
    EXPECT_EQ(differ, 0u) << "first at x " << firstDifference % first.width << ", y "
                          << firstDifference / first.width << " after " << events << " events";
    SaveForInspection("stormed", shown, first.width, first.height);
    SaveForInspection("fresh", expected, first.width, first.height);
    desktop_->Close(window);
    EXPECT_EQ(stormed->WaitForExit(10s), std::optional<int>(0)) << stormed->ErrorOutput();
}

} // namespace
