// Draws the program's icon, a ten-hole harmonica seen from the front.
//
//     mainicon OUTPUT_DIRECTORY
//
// draws it at 32 x 32 and 16 x 16 pixels and writes it twice: as an icon
// file, and as the resources Windows keeps an icon in (one group directory
// naming the images by number, one image resource each): MAINICON.ico,
// MAINICON.group, MAINICON-1.image and MAINICON-2.image.
//
//     mainicon --png SIZE OUTPUT_FILE
//
// draws it SIZE pixels square (8 to 1024) as a PNG file with transparency,
// for the desktop's icon theme.

#include "ResourceBytes.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

using velbrin::tools::Bytes;
using velbrin::tools::Put16;
using velbrin::tools::Put32;

// 0xAARRGGBB.
constexpr std::uint32_t Clear = 0x00000000;
constexpr std::uint32_t Outline = 0xFF303438;
constexpr std::uint32_t CoverLight = 0xFFE8ECF0;
constexpr std::uint32_t Cover = 0xFFB8C0C8;
constexpr std::uint32_t CoverDark = 0xFF8890A0;
constexpr std::uint32_t Comb = 0xFFB07838;
constexpr std::uint32_t Hole = 0xFF201810;
constexpr std::uint32_t Shadow = 0x50000000;

// Where the parts of the harmonica lie at one icon size.
struct Layout {
    int size;
    int top;        // first row of the body
    int coverRows;  // rows of each cover plate
    int combRows;   // rows of the comb between them
    int holeWidth;  // columns of each hole
    int holePeriod; // columns from one hole to the next
    int firstHole;  // column of the first hole
};

constexpr Layout Large{32, 9, 5, 4, 2, 3, 1};
constexpr Layout Small{16, 5, 2, 2, 1, 3, 1};
constexpr int HoleCount = 10;

// The two sizes of the embedded icon keep the layouts drawn for them pixel
// by pixel; any other size takes the large one's proportions, with the ten
// holes spread evenly across the body.
Layout LayoutFor(int size) {
    if (size == Large.size) {
        return Large;
    }
    if (size == Small.size) {
        return Small;
    }
    Layout layout{};
    layout.size = size;
    layout.top = Large.top * size / Large.size;
    layout.coverRows = std::max(1, Large.coverRows * size / Large.size);
    layout.combRows = std::max(1, Large.combRows * size / Large.size);
    layout.holePeriod = std::max(2, (size - 2) / HoleCount);
    layout.holeWidth = std::max(1, layout.holePeriod * 2 / 3);
    layout.firstHole = std::max(
        1, (size - HoleCount * layout.holePeriod + layout.holePeriod - layout.holeWidth) / 2);
    return layout;
}

class Image {
public:
    explicit Image(int size) : size_(size), pixels_(size * size, Clear) {}
    void Set(int x, int y, std::uint32_t color) { pixels_[y * size_ + x] = color; }
    std::uint32_t At(int x, int y) const { return pixels_[y * size_ + x]; }
    int Size() const { return size_; }

private:
    int size_;
    std::vector<std::uint32_t> pixels_;
};

std::uint32_t CoverShade(int row, int rows) {
    if (row == 0) {
        return CoverLight;
    }
    return row == rows - 1 ? CoverDark : Cover;
}

Image DrawHarmonica(const Layout& layout) {
    Image image(layout.size);
    const int right = layout.size - 1;
    const int combTop = layout.top + 1 + layout.coverRows;
    const int bottomCover = combTop + layout.combRows;
    const int bottom = bottomCover + layout.coverRows;
    for (int x = 0; x <= right; ++x) {
        image.Set(x, layout.top, Outline);
        image.Set(x, bottom, Outline);
        if (bottom + 1 < layout.size && x > 0) {
            image.Set(x, bottom + 1, Shadow);
        }
    }
    for (int y = layout.top + 1; y < bottom; ++y) {
        image.Set(0, y, Outline);
        image.Set(right, y, Outline);
        for (int x = 1; x < right; ++x) {
            const bool inComb = y >= combTop && y < bottomCover;
            const int offset = inComb ? 0 : y < combTop ? y - layout.top - 1 : y - bottomCover;
            image.Set(x, y, inComb ? Comb : CoverShade(offset, layout.coverRows));
        }
    }
    int holes = 0;
    for (int start = layout.firstHole; start + layout.holeWidth <= right && holes < HoleCount;
         start += layout.holePeriod, ++holes) {
        for (int x = start; x < start + layout.holeWidth; ++x) {
            for (int y = combTop; y < bottomCover; ++y) {
                image.Set(x, y, Hole);
            }
        }
    }
    return image;
}

// An icon image as Windows stores it: a bitmap header of twice the height,
// the 32-bit colour rows bottom-up, then the 1-bit mask rows (1 where the
// icon is transparent), each padded to 32 bits.
Bytes IconImageData(const Image& image) {
    const int size = image.Size();
    const int maskStride = (size + 31) / 32 * 4;
    Bytes out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, size * size * 4 + maskStride * size);
    for (int i = 0; i < 4; ++i) {
        Put32(out, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            Put32(out, image.At(x, y));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if ((image.At(x, y) >> 24) == 0) {
                row[x / 8] |= 0x80 >> (x % 8);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// The directory entry's first 12 bytes, shared by the file and the group.
void PutEntryStart(Bytes& out, const Image& image, std::size_t dataSize) {
    out.push_back(static_cast<std::uint8_t>(image.Size()));
    out.push_back(static_cast<std::uint8_t>(image.Size()));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(dataSize));
}

void PutHeader(Bytes& out, std::size_t count) {
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(count));
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    return velbrin::tools::WriteBytes(path, bytes, "mainicon");
}

// Eight-bit RGBA rows, top-down, with straight alpha.
bool WritePng(const std::string& path, const Image& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::cerr << "mainicon: cannot write " << path << "\n";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const int size = image.Size();
    std::vector<png_byte> rows(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t argb = image.At(x, y);
            png_byte* pixel = &rows[(static_cast<std::size_t>(y) * size + x) * 4];
            pixel[0] = (argb >> 16) & 0xFF;
            pixel[1] = (argb >> 8) & 0xFF;
            pixel[2] = argb & 0xFF;
            pixel[3] = argb >> 24;
        }
    }
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < size; ++y) {
        rowPointers.push_back(&rows[static_cast<std::size_t>(y) * size * 4]);
    }
    // libpng reports its errors by jumping back here.
    bool ok = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rowPointers.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::cerr << "mainicon: cannot write " << path << "\n";
    }
    return ok;
}

int WriteIconTheme(const std::string& sizeText, const std::string& path) {
    std::size_t used = 0;
    int size = 0;
    try {
        size = std::stoi(sizeText, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != sizeText.size() || size < 8 || size > 1024) {
        std::cerr << "mainicon: the size must be a number from 8 to 1024, not \"" << sizeText
                  << "\"\n";
        return 2;
    }
    return WritePng(path, DrawHarmonica(LayoutFor(size))) ? 0 : 1;
}

int WriteIconResources(const std::string& dir) {
    const std::vector<Image> images = {DrawHarmonica(Large), DrawHarmonica(Small)};
    std::vector<Bytes> data;
    for (const Image& image : images) {
        data.push_back(IconImageData(image));
    }

    Bytes file, group;
    PutHeader(file, images.size());
    PutHeader(group, images.size());
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        PutEntryStart(file, images[i], data[i].size());
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
        PutEntryStart(group, images[i], data[i].size());
        Put16(group, static_cast<unsigned>(i + 1));
    }
    bool ok = true;
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.insert(file.end(), data[i].begin(), data[i].end());
        ok = WriteFile(dir + "/MAINICON-" + std::to_string(i + 1) + ".image", data[i]) && ok;
    }
    ok = WriteFile(dir + "/MAINICON.ico", file) && ok;
    ok = WriteFile(dir + "/MAINICON.group", group) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] != "--png") {
        return WriteIconResources(args[0]);
    }
    if (args.size() == 3 && args[0] == "--png") {
        return WriteIconTheme(args[1], args[2]);
    }
    std::cerr << "usage: mainicon OUTPUT_DIRECTORY\n"
                 "       mainicon --png SIZE OUTPUT_FILE\n";
    return 2;
}
