#pragma once
// The software rasterizer: spans, rectangles, patterns, lines and polygons on
// a surface, cut to the region the drawing may change, through a binary
// raster operation. Everything here is in surface coordinates.

#include "../Region.h"
#include "../Surface.h"

#include <cstdint>
#include <span>

namespace platform::gdi::raster {

// A surface, the pixels a drawing may change and how it combines with them.
struct Target {
    Surface& surface;
    const Region& clip;
    int rop = R2_COPYPEN;
    // When given, a rectangle the clip holds whole, and the drawing is cut to
    // it alone: a cell of text inside the area being painted is drawn
    // without a region made for it or a walk of the clip's bands.
    const RECT* within = nullptr;

    bool Contains(LONG x, LONG y) const;
    // The smallest rectangle holding every pixel the drawing may change;
    // empty when there is none.
    RECT Bounds() const;
};

// The R2_ operation on one pixel: `pen` is what is drawn, `destination` what
// is there.
Pixel Combine(int rop, Pixel destination, Pixel pen);

void FillRect(const Target& target, const RECT& rect, Pixel pixel);

// An 8 x 8 one-bit pattern, row by row, bit 7 the leftmost pixel, repeated
// from `origin`. Set bits draw `foreground`; clear bits draw `background`, or
// nothing when there is none.
struct Pattern {
    std::uint8_t rows[8];
    bool Set(LONG x, LONG y, POINT origin) const {
        return (rows[(y - origin.y) & 7] >> (7 - ((x - origin.x) & 7))) & 1;
    }
};
void FillPattern(const Target& target, const RECT& rect, const Pattern& pattern, POINT origin,
                 Pixel foreground, const Pixel* background);

// A pen's dash: alternating on and off lengths, or none for a solid line.
// `position` runs on from line to line of one polyline.
struct Dash {
    std::span<const int> lengths;
    int position = 0;
};

// A one-pixel line from `from` to `to`, the last point excluded. Dash gaps
// get `gap`, or stay untouched when there is none.
void CosmeticLine(const Target& target, POINT from, POINT to, Pixel pixel, Dash* dash,
                  const Pixel* gap);

// A point with pixel centres at integer + 0.5.
struct PointF {
    double x;
    double y;
};

// Fills the pixels whose centres lie inside the polygon (even-odd rule; the
// top and left edges belong to it, the bottom and right ones do not).
void FillPolygon(const Target& target, std::span<const PointF> points, Pixel pixel);

// A line `width` pixels wide along the points, with the end caps and joins
// that `style`'s PS_ENDCAP_ and PS_JOIN_ bits ask for. Every pixel is changed
// once, however the pieces overlap, so an XOR line drawn twice leaves nothing.
void WidePolyline(const Target& target, std::span<const POINT> points, int width, UINT style,
                  Pixel pixel);

// Blends `color` by an 8-bit coverage mask (`pitch` bytes a row) placed with
// its top-left at (x, y).
void BlendMask(const Target& target, LONG x, LONG y, const std::uint8_t* mask, int width,
               int height, int pitch, Pixel color);

// The pixels BlendMask gives over a background of one colour: `count`
// coverage bytes become `count` pixels.
void ComposeMask(const std::uint8_t* mask, std::size_t count, Pixel color, Pixel background,
                 Pixel* pixels);

// Copies pixels (`width` a row) placed with their top-left at (x, y).
void CopyImage(const Target& target, LONG x, LONG y, const Pixel* pixels, int width, int height);

// Blends 0xAARRGGBB pixels placed with their top-left at (x, y).
void BlendImage(const Target& target, LONG x, LONG y, const Pixel* pixels, int width, int height);

// Inverts the pixels under the set bytes of a mask (one byte a pixel, `width`
// a row) placed with its top-left at (x, y).
void InvertMasked(const Target& target, LONG x, LONG y, const std::uint8_t* mask, int width,
                  int height);

} // namespace platform::gdi::raster
