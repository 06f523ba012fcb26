// The program's icon as mainicon draws it for the desktop's icon theme: PNG
// files of any size that show the harmonica's ten holes, the same pixels as
// the embedded icon where the sizes meet, and a clear refusal of sizes it
// cannot draw.

#include <png.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kHole = 0xFF201810;

// 0xAARRGGBB, rows top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[y * width + x]; }
};

Picture ReadPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(image.width * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels = std::move(pixels);
    return picture;
}

int RunMainIcon(const std::string& arguments) {
    const std::string command = std::string(VELBRIN_MAINICON) + " " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MainIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mainicon-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    Picture Draw(int size) {
        const fs::path file = dir / (std::to_string(size) + ".png");
        EXPECT_EQ(RunMainIcon("--png " + std::to_string(size) + " " + file.string()), 0);
        return ReadPng(file);
    }

    fs::path dir;
};

// The runs of hole colour along the row that has most of it.
int HolesAcross(const Picture& picture) {
    int bestRow = 0;
    int bestCount = -1;
    for (int y = 0; y < picture.height; ++y) {
        int count = 0;
        for (int x = 0; x < picture.width; ++x) {
            count += picture.At(x, y) == kHole;
        }
        if (count > bestCount) {
            bestCount = count;
            bestRow = y;
        }
    }
    int runs = 0;
    for (int x = 0; x < picture.width; ++x) {
        runs += picture.At(x, bestRow) == kHole && (x == 0 || picture.At(x - 1, bestRow) != kHole);
    }
    return runs;
}

TEST_F(MainIconTest, EveryThemeSizeShowsTheTenHolesOnAClearGround) {
    for (int size : {22, 24, 32, 48, 64, 128, 256}) {
        const Picture picture = Draw(size);
        ASSERT_EQ(picture.width, size);
        ASSERT_EQ(picture.height, size);
        EXPECT_EQ(HolesAcross(picture), 10) << size;
        EXPECT_EQ(picture.At(0, 0) >> 24, 0u) << "a clear corner at " << size;
        EXPECT_EQ(picture.At(size - 1, 0) >> 24, 0u) << "a clear corner at " << size;
        int opaque = 0;
        for (std::uint32_t pixel : picture.pixels) {
            opaque += (pixel >> 24) == 0xFF;
        }
        EXPECT_GT(opaque, size * size / 4) << "the body covers a good part at " << size;
    }
}

TEST_F(MainIconTest, AtThirtyTwoThePngHasTheEmbeddedIconsPixels) {
    ASSERT_EQ(RunMainIcon(dir.string()), 0);
    std::ifstream file(dir / "MAINICON.ico", std::ios::binary);
    const std::vector<std::uint8_t> ico{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(ico.size(), 22u);
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(ico[at] | ico[at + 1] << 8 | ico[at + 2] << 16 |
                                          ico[at + 3] << 24);
    };
    ASSERT_EQ(ico[6], 32) << "the first image is the large one";
    // The image: a 40-byte bitmap header, then 32-bit rows bottom-up.
    const std::size_t bits = u32(6 + 12) + 40;
    ASSERT_LE(bits + 32 * 32 * 4, ico.size());
    const Picture png = Draw(32);
    ASSERT_EQ(png.width, 32);
    int different = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            different += png.At(x, y) != u32(bits + ((31 - y) * 32 + x) * 4);
        }
    }
    EXPECT_EQ(different, 0);
}

TEST_F(MainIconTest, SizesItCannotDrawAreRefused) {
    const std::string out = (dir / "refused.png").string();
    for (const char* size : {"7", "1025", "0", "-16", "48x", "big", ""}) {
        EXPECT_EQ(RunMainIcon(std::string("--png '") + size + "' " + out), 2) << size;
        EXPECT_FALSE(fs::exists(out)) << size;
    }
    EXPECT_EQ(RunMainIcon("--png 48"), 2) << "no file named";
    EXPECT_EQ(RunMainIcon("--png 48 " + (dir / "no" / "such" / "dir.png").string()), 1);
}

} // namespace
