#pragma once
// A 32-bit pixel buffer: what a top-level window, the screen or a test draws
// into. A pixel is 0x00RRGGBB (blue in the low byte, as an X11 TrueColor image
// holds it); ToPixel and ToColor convert from and to a COLORREF.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform::gdi {

using Pixel = std::uint32_t;

constexpr Pixel ToPixel(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF ToColor(Pixel pixel) {
    return ToPixel(pixel & 0xFFFFFF);
}

// Where a surface keeps its pixels: the program's own memory, or memory it
// shares with a display server, which then reads them without a copy.
class PixelMemory {
public:
    virtual ~PixelMemory() = default;
    virtual Pixel* Data() = 0;
    // Whether the pixels are all 0 when the memory is new, so that a black
    // surface needs no filling and its untouched pages cost nothing.
    virtual bool StartsZeroed() const { return false; }
};

// Memory for `count` pixels; null when none can be had, and the surface
// then takes the program's own.
using PixelMemoryMaker = std::function<std::unique_ptr<PixelMemory>(std::size_t count)>;

class Surface {
public:
    // A negative size counts as 0; a size beyond kMaxSide is cut to it. The
    // pixels live in memory from `maker`, now and after each Resize.
    Surface(int width, int height, Pixel fill = 0xFFFFFF, PixelMemoryMaker maker = {});
    // A copy keeps its pixels in the program's own memory.
    Surface(const Surface& other);
    Surface& operator=(const Surface& other);
    Surface(Surface&&) noexcept = default;
    Surface& operator=(Surface&&) noexcept = default;
    ~Surface() = default;

    static constexpr int kMaxSide = 16384;

    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT Bounds() const { return {0, 0, width_, height_}; }

    Pixel* Row(int y) { return pixels_ + static_cast<std::size_t>(y) * width_; }
    const Pixel* Row(int y) const { return pixels_ + static_cast<std::size_t>(y) * width_; }
    // 0 outside the surface.
    Pixel At(int x, int y) const;
    void Set(int x, int y, Pixel pixel);
    void Fill(Pixel pixel);

    // Keeps the pixels that stay inside; new ones get `fill`.
    void Resize(int width, int height, Pixel fill = 0xFFFFFF);

    // The memory that holds the pixels, for a display server that shares it.
    const PixelMemory& Memory() const { return *memory_; }

    bool operator==(const Surface& other) const;

private:
    std::size_t Count() const { return static_cast<std::size_t>(width_) * height_; }

    int width_;
    int height_;
    PixelMemoryMaker maker_;
    std::unique_ptr<PixelMemory> memory_;
    Pixel* pixels_;
};

// Writes the surface as an 8-bit RGB PNG; false when the file cannot be written.
bool SavePng(const Surface& surface, const std::string& path);

// The number of pixels that differ; surfaces of different sizes differ in all
// the pixels of the larger one.
std::size_t CountDifferentPixels(const Surface& a, const Surface& b);

} // namespace platform::gdi
