#include "Surface.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

namespace platform::gdi {

namespace {

int ClampSide(int side) {
    return std::clamp(side, 0, Surface::kMaxSide);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct FreeDeleter {
    void operator()(Pixel* pixels) const { std::free(pixels); }
};

// Zeroed by the allocator: a large block comes straight from the system as
// pages it has not touched yet.
class OwnPixels final : public PixelMemory {
public:
    explicit OwnPixels(std::size_t count)
        : pixels_(
              static_cast<Pixel*>(std::calloc(std::max<std::size_t>(count, 1), sizeof(Pixel)))) {
        if (!pixels_) {
            throw std::bad_alloc();
        }
    }
    Pixel* Data() override { return pixels_.get(); }
    bool StartsZeroed() const override { return true; }

private:
    std::unique_ptr<Pixel[], FreeDeleter> pixels_;
};

std::unique_ptr<PixelMemory> MakePixelMemory(const PixelMemoryMaker& maker, std::size_t count) {
    std::unique_ptr<PixelMemory> memory = maker ? maker(count) : nullptr;
    return memory ? std::move(memory) : std::make_unique<OwnPixels>(count);
}

} // namespace

Surface::Surface(int width, int height, Pixel fill, PixelMemoryMaker maker)
    : width_(ClampSide(width)), height_(ClampSide(height)), maker_(std::move(maker)),
      memory_(MakePixelMemory(maker_, Count())), pixels_(memory_->Data()) {
    if (fill != 0 || !memory_->StartsZeroed()) {
        Fill(fill);
    }
}

Surface::Surface(const Surface& other)
    : width_(other.width_), height_(other.height_), memory_(MakePixelMemory({}, Count())),
      pixels_(memory_->Data()) {
    std::copy_n(other.pixels_, Count(), pixels_);
}

Surface& Surface::operator=(const Surface& other) {
    if (this != &other) {
        *this = Surface(other);
    }
    return *this;
}

bool Surface::operator==(const Surface& other) const {
    return width_ == other.width_ && height_ == other.height_ &&
           std::equal(pixels_, pixels_ + Count(), other.pixels_);
}

Pixel Surface::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return Row(y)[x];
}

void Surface::Set(int x, int y, Pixel pixel) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        Row(y)[x] = pixel;
    }
}

void Surface::Fill(Pixel pixel) {
    std::fill_n(pixels_, Count(), pixel);
}

void Surface::Resize(int width, int height, Pixel fill) {
    Surface resized(width, height, fill, maker_);
    int keepWidth = std::min(width_, resized.width_);
    int keepHeight = std::min(height_, resized.height_);
    for (int y = 0; y < keepHeight; ++y) {
        std::copy_n(Row(y), keepWidth, resized.Row(y));
    }
    *this = std::move(resized);
}

bool SavePng(const Surface& surface, const std::string& path) {
    if (surface.Width() == 0 || surface.Height() == 0) {
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
    // libpng reports errors by longjmp; nothing with a destructor is made
    // between here and the end of the writing.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()),
                 static_cast<png_uint_32>(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const Pixel* pixels = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[3 * x] = static_cast<png_byte>(pixels[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::size_t CountDifferentPixels(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return std::max(static_cast<std::size_t>(a.Width()) * a.Height(),
                        static_cast<std::size_t>(b.Width()) * b.Height());
    }
    std::size_t count = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            count += (a.Row(y)[x] & 0xFFFFFF) != (b.Row(y)[x] & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

} // namespace platform::gdi
