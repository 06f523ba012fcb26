#pragma once
// A 32-bit pixel buffer: what a top-level window, the screen or a test draws
// into. A pixel is 0x00RRGGBB (blue in the low byte, as an X11 TrueColor image
// holds it); ToPixel and ToColor convert from and to a COLORREF.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::gdi {

using Pixel = std::uint32_t;

constexpr Pixel ToPixel(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF ToColor(Pixel pixel) {
    return ToPixel(pixel & 0xFFFFFF);
}

class Surface {
public:
    // A negative size counts as 0; a size beyond kMaxSide is cut to it.
    Surface(int width, int height, Pixel fill = 0xFFFFFF);

    static constexpr int kMaxSide = 16384;

    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT Bounds() const { return {0, 0, width_, height_}; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    // 0 outside the surface.
    Pixel At(int x, int y) const;
    void Set(int x, int y, Pixel pixel);
    void Fill(Pixel pixel);

    // Keeps the pixels that stay inside; new ones get `fill`.
    void Resize(int width, int height, Pixel fill = 0xFFFFFF);

    bool operator==(const Surface&) const = default;

private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

// Writes the surface as an 8-bit RGB PNG; false when the file cannot be written.
bool SavePng(const Surface& surface, const std::string& path);

// The number of pixels that differ; surfaces of different sizes differ in all
// the pixels of the larger one.
std::size_t CountDifferentPixels(const Surface& a, const Surface& b);

} // namespace platform::gdi
