// notesview.exe, the Windows build, under Wine on a private Xvfb with
// openbox, driven by real input through XTest and watched from outside.
// Built natively; the Windows build's CTest runs it with
//   VELBRIN_WINE_RUN       scripts/wine-run.sh
//   VELBRIN_WINE_PREFIX    the Wine prefix, which no other test uses meanwhile
//   VELBRIN_WINDOWS_EXE    notesview.exe
//   VELBRIN_NOTECHART      the native notechart, which tells the notes
// Skipped, saying why, when the desktop or Wine cannot start.

#include "SavedPicture.h"
#include "TestDesktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using velbrin_test::ChildProgram;
using velbrin_test::SavePictureToLookAt;
using velbrin_test::TestDesktop;
using velbrin_test::XRect;
using velbrin_test::XWindowId;

// The key box's place in client coordinates (the form's layout,
// resources/TForm1.form, before Wine's fonts scale it a little).
constexpr int kKeyBoxLeft = 176;
constexpr int kCells = 12;
// The dropped key list shows this many rows, inside a one-pixel border.
constexpr int kKeyListRows = 8;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

using Chart = std::vector<std::vector<std::string>>;

// The chart's cells for a key (none: before a key is chosen), row by row, as
// the native notechart prints them (--tsv: one row a line, cells between tabs).
Chart ChartOf(const std::string& key) {
    Chart rows;
    std::string command = Setting("VELBRIN_NOTECHART") + " --tsv";
    if (!key.empty()) {
        command += " '" + key + "'";
    }
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return rows;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, got);
    }
    pclose(pipe);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
             start = tab + 1) {
            cells.push_back(line.substr(start, tab - start));
        }
        cells.push_back(line.substr(start));
        rows.push_back(cells);
    }
    return rows;
}

using Pixels = std::vector<std::uint32_t>;

class NotesViewUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* setting : {"VELBRIN_WINE_RUN", "VELBRIN_WINE_PREFIX",
                                    "VELBRIN_WINDOWS_EXE", "VELBRIN_NOTECHART"}) {
            if (Setting(setting).empty()) {
                GTEST_SKIP() << setting << " is not set: the Windows build's CTest sets it";
            }
        }
        desktop_ = std::make_unique<TestDesktop>();
        if (!desktop_->Ready()) {
            GTEST_SKIP() << "no test desktop: " << desktop_->WhyNot();
        }
        EndWineProcesses();
    }
    void TearDown() override {
        if (desktop_ && desktop_->Ready()) {
            EndWineProcesses();
        }
    }
    // The prefix's processes (its desktop process above all) keep the X
    // display they started with: those of an earlier program have none or
    // another, and this test's ends with it. A fresh prefix is made first,
    // which takes a minute or more on a busy machine.
    void EndWineProcesses() {
        ChildProgram ending(
            {Setting("VELBRIN_WINE_RUN"), Setting("VELBRIN_WINE_PREFIX"), "--end-all"},
            desktop_->Display());
        ending.WaitForExit(180s);
    }

    std::unique_ptr<ChildProgram> Start() {
        return std::make_unique<ChildProgram>(
            std::vector<std::string>{Setting("VELBRIN_WINE_RUN"), Setting("VELBRIN_WINE_PREFIX"),
                                     Setting("VELBRIN_WINDOWS_EXE")},
            desktop_->Display());
    }
    // The program's main window once the manager shows it.
    XWindowId MainWindowOf(ChildProgram& program) {
        XWindowId found = 0;
        desktop_->RunUntil(
            [&] {
                for (XWindowId window : desktop_->WindowsOfProcess(program.Pid())) {
                    if (desktop_->IsMapped(window) &&
                        desktop_->TextProperty(window, "_NET_WM_NAME") == "Velbrin Notes View") {
                        found = window;
                    }
                }
                return found != 0 || !program.Running();
            },
            {}, 60s);
        return found;
    }
    void Pause(std::chrono::milliseconds time) {
        desktop_->RunUntil([] { return false; }, {}, time);
    }
    Pixels ClientPixels(XWindowId window) {
        const std::optional<XRect> at = desktop_->Geometry(window);
        return at ? desktop_->Pixels(window, {0, 0, at->width, at->height}) : Pixels{};
    }
    // The window's pixels once the program has stopped changing them.
    Pixels SteadyPixels(XWindowId window) {
        Pixels last = ClientPixels(window);
        desktop_->RunUntil([&] {
            Pause(200ms);
            Pixels now = ClientPixels(window);
            std::swap(now, last);
            return now == last;
        });
        return last;
    }
    std::unique_ptr<TestDesktop> desktop_;
};

// Where the grid's cells are on the window, found from its lines: the
// columns (rows) of one colour through the middle third of the window are
// the border's and the grid lines'; the lines are the colour most of them
// share, one cell's width (height) apart. A cell is shown whole when the
// line after it is: the window cuts the last column and row.
struct GridAxis {
    int first = 0;
    int pitch = 0;
    int shown = 0;
};
struct CellLayout {
    GridAxis columns;
    GridAxis rows;
};

// The positions of the one-coloured lines across `count` lines of `length`
// pixels (pixel(line, along)), in the middle third of their length.
std::map<std::uint32_t, std::vector<int>>
UniformLines(int count, int length, const std::function<std::uint32_t(int, int)>& pixel) {
    std::map<std::uint32_t, std::vector<int>> byColour;
    for (int line = 0; line < count; ++line) {
        const std::uint32_t colour = pixel(line, length / 3);
        bool uniform = true;
        for (int along = length / 3; uniform && along < 2 * length / 3; ++along) {
            uniform = pixel(line, along) == colour;
        }
        if (uniform) {
            byColour[colour].push_back(line);
        }
    }
    return byColour;
}

std::optional<GridAxis> GridLines(const std::map<std::uint32_t, std::vector<int>>& lines) {
    const std::vector<int>* most = nullptr;
    for (const auto& [colour, at] : lines) {
        if (most == nullptr || at.size() > most->size()) {
            most = &at;
        }
    }
    // Most of the grid shows, or the window is not what it should be.
    if (most == nullptr || most->size() < kCells - 2) {
        return std::nullopt;
    }
    const int pitch = (*most)[1] - (*most)[0];
    // The first line closes the first cell, which starts one pitch before.
    const int first = (*most)[0] - pitch + 1;
    if (first < 0) {
        return std::nullopt;
    }
    return GridAxis{first, pitch, std::min(static_cast<int>(most->size()), kCells)};
}

std::optional<CellLayout> FindCells(const Pixels& window, int width, int height) {
    auto at = [&](int x, int y) { return window[static_cast<std::size_t>(y * width + x)]; };
    const auto columns =
        GridLines(UniformLines(width, height, [&](int x, int y) { return at(x, y); }));
    const auto rows =
        GridLines(UniformLines(height, width, [&](int y, int x) { return at(x, y); }));
    if (!columns || !rows) {
        return std::nullopt;
    }
    return CellLayout{*columns, *rows};
}

// One cell's inside (grid lines aside) out of the window's pixels.
Pixels CellPixels(const Pixels& window, int windowWidth, const CellLayout& cells, int row,
                  int col) {
    Pixels cell;
    const int left = cells.columns.first + col * cells.columns.pitch;
    const int top = cells.rows.first + row * cells.rows.pitch;
    for (int y = top; y < top + cells.rows.pitch - 1; ++y) {
        for (int x = left; x < left + cells.columns.pitch - 1; ++x) {
            cell.push_back(window[static_cast<std::size_t>(y * windowWidth + x)]);
        }
    }
    return cell;
}

// The grid's current cell, the first, is drawn selected: it is left out.
bool IsCurrentCell(int row, int col) {
    return row == 0 && col == 0;
}

// Whether a cell's text is drawn as the start of a longer one: the columns
// of the short text's ink (what is not the cell's background, its first
// pixel) hold the same pixels in both cells. The labels spell letters the
// notes use ("Blow": B, "Draw": D), which ties the notes' looks to their names
// and not only to one another.
bool DrawnAsTheStartOf(const Pixels& shorter, const Pixels& longer, int cellWidth) {
    int firstInk = cellWidth;
    int lastInk = -1;
    for (std::size_t i = 0; i < shorter.size(); ++i) {
        if (shorter[i] != shorter[0]) {
            const int x = static_cast<int>(i % static_cast<std::size_t>(cellWidth));
            firstInk = std::min(firstInk, x);
            lastInk = std::max(lastInk, x);
        }
    }
    if (lastInk < 0) {
        return false;
    }
    for (std::size_t i = 0; i < shorter.size(); ++i) {
        const int x = static_cast<int>(i % static_cast<std::size_t>(cellWidth));
        if (x >= firstInk && x <= lastInk && shorter[i] != longer[i]) {
            return false;
        }
    }
    return true;
}

// The cells of a window that do not look as `chart` says: cells of one text
// look alike and cells of different texts differ, a text that begins a
// longer one is drawn as its start, and a cell looks as a cell of the same
// text did in the windows already checked (`known`). Returns them as
// "row,column text; ...".
std::string CellsUnlike(const Pixels& shown, int width, const CellLayout& cells, const Chart& chart,
                        std::map<std::string, Pixels>& known) {
    std::map<std::string, Pixels> lookOfText;
    std::map<Pixels, std::string> textOfLook;
    std::string unlike;
    for (int row = 0; row < cells.rows.shown; ++row) {
        for (int col = 0; col < cells.columns.shown; ++col) {
            if (IsCurrentCell(row, col)) {
                continue;
            }
            const std::string& text = chart[row][col];
            const Pixels look = CellPixels(shown, width, cells, row, col);
            auto seenText = lookOfText.emplace(text, look).first;
            auto seenLook = textOfLook.emplace(look, text).first;
            auto before = known.find(text);
            if (seenText->second != look || seenLook->second != text ||
                (before != known.end() && before->second != look)) {
                unlike += std::to_string(row) + "," + std::to_string(col) + " \"" + text + "\"; ";
            }
        }
    }
    known.insert(lookOfText.begin(), lookOfText.end());
    for (const auto& [shorter, shorterLook] : known) {
        for (const auto& [longer, longerLook] : known) {
            if (!shorter.empty() && longer.size() > shorter.size() &&
                longer.compare(0, shorter.size(), shorter) == 0 &&
                !DrawnAsTheStartOf(shorterLook, longerLook, cells.columns.pitch - 1)) {
                unlike += "\"" + shorter + "\" is not drawn as \"" + longer + "\" begins; ";
            }
        }
    }
    return unlike;
}

TEST_F(NotesViewUnderWine, OpensFromItsResourceShowsTheChosenKeysNotesAndEndsOnAltF4) {
    const Chart keyless = ChartOf("");
    const Chart chartOfC = ChartOf("C");
    const Chart chartOfG = ChartOf("G");
    const Chart chartOfE = ChartOf("E");
    for (const Chart* chart : {&keyless, &chartOfC, &chartOfG, &chartOfE}) {
        ASSERT_EQ(chart->size(), static_cast<std::size_t>(kCells));
    }
    ASSERT_NE(chartOfC, chartOfG);

    auto program = Start();
    ASSERT_TRUE(program->Started());
    const XWindowId window = MainWindowOf(*program);
    if (window == 0 && program->WaitForExit(0ms) == std::optional<int>(77)) {
        GTEST_SKIP() << program->ErrorOutput();
    }
    ASSERT_NE(window, 0u) << program->ErrorOutput();
    const XRect at = *desktop_->Geometry(window);

    // The window from its resource: the grid with the labels of a chart
    // that has no key yet.
    const Pixels opened = SteadyPixels(window);
    SavePictureToLookAt("wine-keyless", opened, at.width, at.height);
    const std::optional<CellLayout> cells = FindCells(opened, at.width, at.height);
    ASSERT_TRUE(cells) << "no grid of " << kCells << " x " << kCells << " cells in the window";
    std::map<std::string, Pixels> looks;
    EXPECT_EQ(CellsUnlike(opened, at.width, *cells, keyless, looks), "");

    // Keys: a click in the key box, then Down from no key to the sixth, C.
    desktop_->Click(at.x + kKeyBoxLeft + 15, at.y + 10);
    SteadyPixels(window);
    for (int step = 0; step < 6; ++step) {
        desktop_->TypeKeysym("Down");
    }
    const Pixels showingC = SteadyPixels(window);
    SavePictureToLookAt("wine-C", showingC, at.width, at.height);
    EXPECT_EQ(CellsUnlike(showingC, at.width, *cells, chartOfC, looks), "");

    // A click in the dropped list: the wheel turns it to its top, where G is.
    desktop_->TypeKeysym("F4");
    const std::optional<XRect> list = desktop_->WaitForOnePopUp();
    ASSERT_TRUE(list) << "the key list did not drop";
    desktop_->MovePointer(list->x + 10, list->y + list->height / 2);
    desktop_->TurnWheel(3);
    SteadyPixels(window);
    const int rowHeight = (list->height - 2) / kKeyListRows;
    desktop_->Click(list->x + 10, list->y + 1 + rowHeight / 2);
    ASSERT_TRUE(desktop_->RunUntil([&] { return desktop_->PopUps().empty(); }))
        << "the key list stayed dropped";
    const Pixels showingG = SteadyPixels(window);
    SavePictureToLookAt("wine-G", showingG, at.width, at.height);
    EXPECT_EQ(CellsUnlike(showingG, at.width, *cells, chartOfG, looks), "");

    // Keys in the dropped list: Down walks it from G to E, Enter takes E.
    desktop_->TypeKeysym("F4");
    SteadyPixels(window);
    for (int step = 0; step < 9; ++step) {
        desktop_->TypeKeysym("Down");
    }
    desktop_->TypeKeysym("Return");
    const Pixels showingE = SteadyPixels(window);
    SavePictureToLookAt("wine-E", showingE, at.width, at.height);
    EXPECT_EQ(CellsUnlike(showingE, at.width, *cells, chartOfE, looks), "");

    desktop_->PressKeysym("Alt_L");
    desktop_->TypeKeysym("F4");
    desktop_->ReleaseKeysym("Alt_L");
    EXPECT_EQ(program->WaitForExit(30s), std::optional<int>(0)) << program->ErrorOutput();
}

} // namespace
