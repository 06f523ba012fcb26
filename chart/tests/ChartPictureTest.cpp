#include "chart/ChartPicture.h"
#include "chart/TForm1.h"
#include "forms/tests/LibraryTest.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"

#include <platform/UserTesting.h>

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

// A PNG file read back with libpng.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels.at(y * width + x); }
};

Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return {};
    }
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        picture.pixels.push_back(RGB(bytes[i], bytes[i + 1], bytes[i + 2]));
    }
    return picture;
}

class ChartPictureTest : public LibraryTest {
protected:
    void TearDown() override {
        LibraryTest::TearDown();
        Form1 = nullptr;
        std::filesystem::remove(path);
    }

    // Draws the picture as notechart does, on a platform of its own.
    Picture PictureOfKey(int key) {
        EndFormsLibrary();
        platform::ResetForTesting();
        RestartGraphicsForTesting();
        ResetControlsForTesting();
        EXPECT_TRUE(chart::SaveChartWindowPicture(key, path));
        return ReadPng(path);
    }

    // The chart window opened here, its key chosen with the mouse from the
    // dropped list.
    platform::WindowImage WindowWithKeyChosenByMouse(int key) {
        StartAt(96);
        Application->MakeForm(Form1);
        Form1->Show();
        Pump();
        TComboBox* combo = Form1->ComboBox1;
        RECT client;
        GetClientRect(combo->Handle(), &client);
        platform::ClickAt(combo->Handle(), {client.right - 8, client.bottom / 2});
        Pump();
        HWND list = platform::FindVisibleTopLevel("ComboLBox");
        EXPECT_NE(list, nullptr);
        const int rowHeight = combo->ItemHeight();
        platform::ClickAt(list, {10, key * rowHeight + rowHeight / 2});
        Pump();
        EXPECT_EQ(combo->ItemIndex(), key);
        return platform::CaptureWindow(Form1->Handle(), platform::WindowArea::WithFrame);
    }

    // Named for the test and the process: CTest runs the tests of this file at
    // the same time, and the debug and sanitizer builds may run side by side.
    const std::string path = ::testing::TempDir() + "chart_picture_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(getpid()) + ".png";
};

TEST_F(ChartPictureTest, ThePictureIsTheWindowsOwnPixelsWithTheKeyChosen) {
    const Picture picture = PictureOfKey(5);
    // The size the form resource gives the window, frame included.
    ASSERT_EQ(picture.width, 410);
    ASSERT_EQ(picture.height, 309);
    const platform::WindowImage window = WindowWithKeyChosenByMouse(5);
    ASSERT_EQ(window.width, picture.width);
    ASSERT_EQ(window.height, picture.height);
    int different = 0;
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            different += window.At(x, y) != picture.At(x, y);
        }
    }
    EXPECT_EQ(different, 0);
}

TEST_F(ChartPictureTest, AnotherKeyChangesTheGridAndTheKeyBoxOnly) {
    const Picture c = PictureOfKey(5);
    const Picture g = PictureOfKey(0);
    ASSERT_EQ(c.pixels.size(), g.pixels.size());
    // Where the grid and the key box stand in the window, frame included.
    StartAt(96);
    Application->MakeForm(Form1);
    Form1->Show();
    Pump();
    RECT frame;
    GetWindowRect(Form1->Handle(), &frame);
    auto windowRectOf = [&](HWND control) {
        RECT rect;
        GetWindowRect(control, &rect);
        return RECT{rect.left - frame.left, rect.top - frame.top, rect.right - frame.left,
                    rect.bottom - frame.top};
    };
    const RECT grid = windowRectOf(Form1->StringGrid1->Handle());
    const RECT combo = windowRectOf(Form1->ComboBox1->Handle());
    int insideChanged = 0;
    int outsideChanged = 0;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            auto within = [&](const RECT& r) {
                return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            };
            const bool inside = within(grid) || within(combo);
            (inside ? insideChanged : outsideChanged) += c.At(x, y) != g.At(x, y);
        }
    }
    EXPECT_EQ(outsideChanged, 0) << "the caption, the frame and the label stay";
    EXPECT_GT(insideChanged, 200) << "the notes of G replace those of C";
    // The window is active: its caption bar starts in the active caption's colour.
    EXPECT_EQ(c.At(4, 8), GetSysColor(COLOR_ACTIVECAPTION));
}

TEST_F(ChartPictureTest, AFileThatCannotBeWrittenIsReportedAsAFailure) {
    EndFormsLibrary();
    platform::ResetForTesting();
    RestartGraphicsForTesting();
    ResetControlsForTesting();
    EXPECT_FALSE(chart::SaveChartWindowPicture(5, "/nonexistent-folder/chart.png"));
    EXPECT_EQ(Form1, nullptr);
}

} // namespace
} // namespace velbrin::testing
