// notesview on a desktop with a window manager, run as a user runs it: a
// process of its own on a private Xvfb with openbox, driven by real input
// through XTest and watched from outside (its X window, its exit status,
// its error stream). Skipped when the desktop cannot start.

#include "SavedPicture.h"
#include "TestDesktop.h"
#include "chart/TForm1.h"
#include "controls/TWinControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "graphics/Graphics.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"

#include <platform/Screen.h>
#include <platform/Testing.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using velbrin_test::ChildProgram;
using velbrin_test::DesktopOptions;
using velbrin_test::SavePictureToLookAt;
using velbrin_test::TestDesktop;
using velbrin_test::XRect;
using velbrin_test::XWindowId;

// Where the chart form puts its controls on a desktop, in client
// coordinates: the library lays out a form of its own on the desktop's
// screen (never shown), as the program lays out its window there, at the
// screen's pixels per inch.
struct ChartLayout {
    RECT keyBox{};
    // Every cell of the grid, row by row, while the grid shows its first.
    std::vector<std::vector<RECT>> cells;
    int keyListRows = 0;

    POINT KeyBoxMiddle() const {
        return {(keyBox.left + keyBox.right) / 2, (keyBox.top + keyBox.bottom) / 2};
    }
    POINT CellMiddle(int column, int row) const {
        const RECT& cell =
            cells.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
};

std::optional<ChartLayout> LayOutChartOn(const std::string& display) {
    using namespace velbrin;
    platform::ResetForTesting();
    if (!platform::UseX11Screen(display.c_str())) {
        return std::nullopt;
    }
    RestartGraphicsForTesting();
    ResetControlsForTesting();
    StartFormsLibrary();
    Application->MakeForm(Form1);
    ChartLayout layout;
    layout.keyBox = Form1->ComboBox1->BoundsRect();
    layout.keyListRows = Form1->ComboBox1->DropDownCount();
    const POINT client = Form1->ClientToScreen({0, 0});
    const POINT gridClient = Form1->StringGrid1->ClientToScreen({0, 0});
    const TStringGrid& grid = *Form1->StringGrid1;
    int top = gridClient.y - client.y;
    for (int row = 0; row < grid.RowCount(); ++row) {
        std::vector<RECT>& cells = layout.cells.emplace_back();
        int left = gridClient.x - client.x;
        for (int column = 0; column < grid.ColCount(); ++column) {
            cells.push_back({left, top, left + grid.ColWidths(column), top + grid.RowHeights(row)});
            left += grid.ColWidths(column) + grid.GridLineWidth();
        }
        top += grid.RowHeights(row) + grid.GridLineWidth();
    }
    EndFormsLibrary();
    Form1 = nullptr;
    platform::ResetForTesting();
    return layout;
}

// The second cell of the grid's second row: a note, not a fixed label.
constexpr int kCellColumn = 1;
constexpr int kCellRow = 1;

class NotesViewDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        desktop_ = std::make_unique<TestDesktop>(Options());
        if (!desktop_->Ready()) {
            GTEST_SKIP() << "no test desktop: " << desktop_->WhyNot();
        }
    }

    virtual DesktopOptions Options() const { return {}; }

    // The chart's layout on this desktop, worked out once a test needs it.
    const ChartLayout& Layout() {
        if (!layout_) {
            layout_ = LayOutChartOn(desktop_->Display());
        }
        EXPECT_TRUE(layout_) << "the library could not lay the chart out on the desktop";
        static const ChartLayout none;
        return layout_ ? *layout_ : none;
    }
    // A client point of the window on the root window: the X window shows
    // the client area.
    POINT OnScreen(XWindowId window, POINT client) {
        const XRect at = *desktop_->Geometry(window);
        return {at.x + client.x, at.y + client.y};
    }
    void ClickAt(XWindowId window, POINT client) {
        const POINT at = OnScreen(window, client);
        desktop_->Click(at.x, at.y);
    }

    std::unique_ptr<ChildProgram> Start() {
        auto program = std::make_unique<ChildProgram>(std::vector<std::string>{VELBRIN_NOTESVIEW},
                                                      desktop_->Display());
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
        desktop_->TypeKeysym("Escape");
        ClickAt(window, Layout().KeyBoxMiddle());
        SteadyPixels(window);
        // All of the box's text, whatever was typed there, gives way to the key.
        desktop_->TypeKeysym("Home");
        desktop_->PressKeysym("Shift_L");
        desktop_->TypeKeysym("End");
        desktop_->ReleaseKeysym("Shift_L");
        desktop_->TypeText(key);
        SteadyPixels(window);
        ClickAt(window, Layout().CellMiddle(kCellColumn, kCellRow));
    }
    // Drops the key list from the box with F4, turns it to its first row
    // with the wheel (it shows fewer rows than there are keys, from the row
    // of the key last chosen) and clicks the key's row, as a user would.
    void ChooseKeyFromList(XWindowId window, int keyIndex) {
        SteadyPixels(window);
        ClickAt(window, Layout().KeyBoxMiddle());
        SteadyPixels(window);
        desktop_->TypeKeysym("F4");
        const std::optional<XRect> list = desktop_->WaitForOnePopUp();
        ASSERT_TRUE(list) << "the key list did not drop";
        desktop_->MovePointer(list->x + 10, list->y + list->height / 2);
        desktop_->TurnWheel(2);
        Pause(300ms);
        // The rows' height follows the screen's pixels per inch.
        const int rowHeight = (list->height - 2) / Layout().keyListRows;
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
        // Away from the cell clicked last, so that the two clicks are not
        // taken for a double click.
        ClickAt(window, Layout().CellMiddle(kCellColumn + 3, kCellRow + 3));
        SteadyPixels(window);
        desktop_->PressKeysym("Control_L");
        desktop_->TypeKeysym("Home");
        desktop_->ReleaseKeysym("Control_L");
        SteadyPixels(window);
        ClickAt(window, Layout().CellMiddle(kCellColumn, kCellRow));
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
    std::optional<ChartLayout> layout_;
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

// The same on screens of other pixels per inch (Xvfb's own is 100).
class NotesViewDesktopAt : public NotesViewDesktop, public ::testing::WithParamInterface<int> {
protected:
    DesktopOptions Options() const override { return {.dpi = GetParam()}; }
};

INSTANTIATE_TEST_SUITE_P(PixelsPerInch, NotesViewDesktopAt, ::testing::Values(100, 144));

// A user at a screen of any resolution sees the whole chart of the key
// chosen from the list with the mouse: every cell inside the window, the
// grid lines right of and below the last row and column drawn, and the
// notes of the key in place of the keyless chart.
TEST_P(NotesViewDesktopAt, AKeyChosenWithTheMouseShowsTheWholeChart) {
    constexpr COLORREF kGridLine = 0xC0C0C0;
    auto program = Start();
    const XWindowId window = MainWindowOf(*program);
    ASSERT_NE(window, 0u) << program->ErrorOutput();
    const std::vector<std::uint32_t> keyless = SteadyPixels(window);
    ChooseKeyFromList(window, 5);
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<std::uint32_t> chart = SteadyPixels(window);
    EXPECT_NE(chart, keyless) << "the key chosen showed nothing new";

    const XRect shown = *desktop_->Geometry(window);
    ASSERT_EQ(chart.size(), static_cast<std::size_t>(shown.width) * shown.height);
    const auto pixel = [&](int x, int y) {
        return chart[static_cast<std::size_t>(y) * shown.width + static_cast<std::size_t>(x)];
    };
    int cutOff = 0;
    int missingLines = 0;
    for (const std::vector<RECT>& row : Layout().cells) {
        for (const RECT& cell : row) {
            if (cell.left < 0 || cell.top < 0 || cell.right >= shown.width ||
                cell.bottom >= shown.height) {
                ++cutOff;
                continue;
            }
            missingLines += pixel(cell.right, (cell.top + cell.bottom) / 2) != kGridLine;
            missingLines += pixel((cell.left + cell.right) / 2, cell.bottom) != kGridLine;
        }
    }
    EXPECT_EQ(cutOff, 0) << "cells outside a client area of " << shown.width << "x" << shown.height;
    EXPECT_EQ(missingLines, 0);
    SavePictureToLookAt("chart-at-" + std::to_string(GetParam()), chart, shown.width, shown.height);
}

// Shrinking below the controls, clicking the grid and growing again in the
// steps a user takes leave every control where a fresh window of the final
// size has it, pixel for pixel. The sizes are the same in inches at every
// resolution: the last one holds the whole form, so that neither window is
// left scrolled.
TEST_P(NotesViewDesktopAt, AfterShrinkingAndGrowingTheControlsAreWhereAFreshWindowHasThem) {
    const auto inches = [](int x, int y, int width, int height) {
        const int dpi = GetParam();
        return XRect{x, y, width * dpi / 96, height * dpi / 96};
    };
    const XRect last = inches(60, 60, 600, 450);
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
    const XRect smallest = inches(60, 60, 250, 150);
    desktop_->MoveResize(window, smallest);
    ASSERT_TRUE(WaitForSize(window, smallest.width, smallest.height));
    SteadyPixels(window);
    ClickAt(window, Layout().CellMiddle(kCellColumn, kCellRow));
    for (XRect step : {inches(60, 60, 250, 262), inches(60, 60, 250, 270), last}) {
        desktop_->MoveResize(window, step);
        ASSERT_TRUE(WaitForSize(window, step.width, step.height));
        SteadyPixels(window);
    }
    ChooseKey(window, "C");
    EXPECT_EQ(DifferingPixels(window, expected), 0u);
    const std::string name = "resized-at-" + std::to_string(GetParam());
    SavePictureToLookAt(name, ClientPixels(window), last.width, last.height);
    SavePictureToLookAt(name + "-fresh", expected, last.width, last.height);
    desktop_->Close(window);
    EXPECT_EQ(resized->WaitForExit(10s), std::optional<int>(0));
}

// Minutes of a user's random clicks, drags, keys, wheel turns, resizes,
// moves, maximising, minimising and the focus passed to another program's
// window and back, pressed into a few thousand events: afterwards the window,
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
    // A window of another program, for the focus to go to and come back from.
    const XWindowId other = desktop_->OpenWindow({700, 500, 200, 150});
    // VELBRIN_STORM_SECONDS and VELBRIN_STORM_SEED make a longer storm and
    // another one, for a hunt by hand; the suite's is bounded.
    const char* seconds = std::getenv("VELBRIN_STORM_SECONDS");
    const char* seed = std::getenv("VELBRIN_STORM_SEED");
    const auto length = seconds != nullptr ? std::chrono::seconds(std::atoi(seconds)) : 25s;
    const int limit = seconds != nullptr ? INT_MAX : 3000;
    std::mt19937 random(seed != nullptr ? static_cast<unsigned>(std::atol(seed)) : 20261208u);
    const std::vector<std::string> keys{"Left",   "Right", "Up",    "Down", "Tab", "Return",
                                        "Escape", "space", "F2",    "a",    "C",   "plus",
                                        "minus",  "Next",  "Prior", "Home", "End", "BackSpace"};
    // Bounded so that a busy machine still ends the whole test within a minute.
    const auto end = std::chrono::steady_clock::now() + length;
    XRect at = *desktop_->Geometry(window);
    int events = 0;
    for (; events < limit && std::chrono::steady_clock::now() < end; ++events) {
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
        } else if (choice < 97) {
            desktop_->MoveResize(window, {at.x, at.y, 120 + static_cast<int>(random() % 600),
                                          90 + static_cast<int>(random() % 450)});
        } else if (choice < 98) {
            // By the title bar, above the client area.
            desktop_->Drag(x, at.y - 8, x + static_cast<int>(random() % 200) - 100,
                           at.y - 8 + static_cast<int>(random() % 200) - 100);
        } else if (choice < 99) {
            desktop_->SetMaximized(window, random() % 2 == 0);
        } else if (random() % 3 == 0) {
            desktop_->Iconify(window);
        } else {
            // From the task bar: back from an icon too.
            desktop_->Activate(random() % 2 == 0 ? other : window);
        }
    }
    ASSERT_TRUE(stormed->Running()) << stormed->ErrorOutput();
    RecordProperty("StormEvents", events);

    // Whatever the storm left dropped or held goes first.
    desktop_->Activate(window);
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
    SavePictureToLookAt("stormed", shown, first.width, first.height);
    SavePictureToLookAt("fresh", expected, first.width, first.height);
    desktop_->Close(window);
    EXPECT_EQ(stormed->WaitForExit(10s), std::optional<int>(0)) << stormed->ErrorOutput();
}

} // namespace
