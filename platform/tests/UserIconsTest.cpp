#include <windows.h>

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put16(std::vector<BYTE>& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void Put32(std::vector<BYTE>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A 4 x 4 icon of 24-bit colour: red everywhere, the top-left pixel marked
// transparent by the mask.
std::vector<BYTE> RedIconWithClearCorner() {
    std::vector<BYTE> data;
    Put32(data, 40);
    Put32(data, 4);
    Put32(data, 8); // colour and mask rows
    Put16(data, 1);
    Put16(data, 24);
    for (int i = 0; i < 6; ++i) {
        Put32(data, 0);
    }
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 4; ++x) {
            data.insert(data.end(), {0x00, 0x00, 0xFF}); // blue, green, red
        }
    }
    // Mask rows bottom-up, each padded to 32 bits; the last stored row is the top.
    for (int row = 0; row < 4; ++row) {
        Put32(data, row == 3 ? 0x80 : 0x00);
    }
    return data;
}

TEST(UserIcons, ImageDataBecomesAnIconThatDrawsThroughItsMask) {
    platform::ResetForTesting();
    std::vector<BYTE> data = RedIconWithClearCorner();
    HICON icon =
        CreateIconFromResource(data.data(), static_cast<DWORD>(data.size()), TRUE, 0x00030000);
    ASSERT_NE(icon, nullptr);
    HDC dc = platform::CreateMemorySurfaceDC(8, 8, RGB(0, 255, 0));
    ASSERT_TRUE(DrawIcon(dc, 2, 2, icon));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 2, 2), RGB(0, 255, 0)) << "masked corner";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 3, 2), RGB(255, 0, 0));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 6, 6), RGB(0, 255, 0)) << "nothing past the icon";
    DeleteDC(dc);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_EQ(platform::CountLiveHandles().icons, 0u);
}

TEST(UserIcons, DataThatDoesNotHoldItsImageIsRefused) {
    std::vector<BYTE> data = RedIconWithClearCorner();
    for (DWORD size : {0u, 39u, static_cast<DWORD>(data.size() - 1)}) {
        EXPECT_EQ(CreateIconFromResource(data.data(), size, TRUE, 0x00030000), nullptr) << size;
    }
    EXPECT_EQ(CreateIconFromResource(data.data(), static_cast<DWORD>(data.size()), TRUE, 0x20000),
              nullptr);
    std::vector<BYTE> oddHeight = data;
    oddHeight[8] = 7;
    EXPECT_EQ(CreateIconFromResource(oddHeight.data(), static_cast<DWORD>(oddHeight.size()), TRUE,
                                     0x00030000),
              nullptr);
    std::vector<BYTE> huge = data;
    huge[4] = 0x00;
    huge[5] = 0x10; // 4096 pixels wide, far more than the data holds
    EXPECT_EQ(
        CreateIconFromResource(huge.data(), static_cast<DWORD>(huge.size()), TRUE, 0x00030000),
        nullptr);
}

TEST(UserIcons, DirectoryLookupPicksTheClosestSize) {
    std::vector<BYTE> directory;
    Put16(directory, 0);
    Put16(directory, 1);
    Put16(directory, 2);
    for (auto [size, id] : {std::pair{16, 7}, std::pair{32, 9}}) {
        directory.insert(directory.end(), {static_cast<BYTE>(size), static_cast<BYTE>(size), 0, 0});
        Put16(directory, 1);
        Put16(directory, 32);
        Put32(directory, 1000);
        Put16(directory, static_cast<unsigned>(id));
    }
    EXPECT_EQ(LookupIconIdFromDirectory(directory.data(), TRUE), 9);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(directory.data(), TRUE, 16, 16, 0), 7);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(directory.data(), TRUE, 20, 20, 0), 7);
}

TEST(UserIcons, LoadedIconsAreSharedAndDrawn) {
    platform::ResetForTesting();
    HINSTANCE program = GetModuleHandleA(nullptr);
    HICON main = LoadIconA(program, "MAINICON");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(LoadIconA(program, "mainicon"), main);
    EXPECT_EQ(LoadIconA(program, "NOSUCHICON"), nullptr);
    HICON system = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(system, nullptr);
    EXPECT_NE(system, main);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);

    const COLORREF background = RGB(1, 2, 3);
    for (HICON icon : {main, system}) {
        HDC dc = platform::CreateMemorySurfaceDC(32, 32, background);
        ASSERT_TRUE(DrawIcon(dc, 0, 0, icon));
        int painted = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                painted += platform::ReadSurfacePixel(dc, x, y) != background ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 100) << "the icon shows";
        EXPECT_LT(painted, 32 * 32) << "and leaves its transparent part alone";
        DeleteDC(dc);
    }
    // A shared icon survives DestroyIcon.
    EXPECT_TRUE(DestroyIcon(main));
    EXPECT_EQ(LoadIconA(program, "MAINICON"), main);
}

} // namespace
