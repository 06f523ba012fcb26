#pragma once
// A set of pixels held as horizontal bands of disjoint spans, all half-open:
// a band covers rows [top, bottom), a span columns [left, right). The form is
// canonical (bands sorted and coalesced, spans sorted and merged), so two
// regions are equal exactly when they cover the same pixels.

#include <windows.h>

#include "../core/SmallVector.h"

#include <cstdint>
#include <span>
#include <vector>

namespace platform::gdi {

class Region {
public:
    struct Span {
        LONG left;
        LONG right;
        bool operator==(const Span&) const = default;
    };
    // A band's spans are SpansOf(band): `count` of them from `first` on.
    struct Band {
        LONG top;
        LONG bottom;
        std::uint32_t first;
        std::uint32_t count;
        bool operator==(const Band&) const = default;
    };

    // Coordinates are kept within +-kCoordinateLimit; a rectangle reaching
    // beyond is cut there, so arithmetic on them never overflows.
    static constexpr LONG kCoordinateLimit = 1 << 27;

    Region() = default;
    // An empty or inverted rectangle gives the empty region.
    explicit Region(const RECT& rect);

    bool IsEmpty() const { return bands_.empty(); }
    // One rectangle, nothing else.
    bool IsRectangle() const;
    // The smallest rectangle holding every pixel; all zero when empty.
    RECT Bounds() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    std::span<const Band> Bands() const { return {bands_.data(), bands_.size()}; }
    std::span<const Span> SpansOf(const Band& band) const {
        return {spans_.data() + band.first, band.count};
    }
    // The disjoint rectangles, top to bottom, left to right within a band.
    std::vector<RECT> Rects() const;

    bool Contains(LONG x, LONG y) const;
    // True when the rectangle shares at least one pixel with the region.
    bool Intersects(const RECT& rect) const;
    // Whether every pixel of a (non-empty) rectangle is in the region.
    bool Covers(const RECT& rect) const;

    Region Union(const Region& other) const;
    // Becomes the union with `other`.
    void Include(const Region& other);
    Region Intersect(const Region& other) const;
    // The part inside a rectangle: Intersect(Region(rect)) without making
    // that region first when the answer is plain.
    Region ClippedTo(const RECT& rect) const;
    Region Subtract(const Region& other) const;
    Region Xor(const Region& other) const;

    // False, leaving the region as it was, when the move would carry a pixel
    // beyond the coordinate limit.
    bool Offset(LONG dx, LONG dy);

    bool operator==(const Region&) const = default;

    enum class Operation { Union, Intersect, Subtract, Xor };

private:
    static Region Combine(const Region& a, const Region& b, Operation operation);
    // Adds rows below the last band: joined to it when they touch it and have
    // the same spans. `spans` must not lie in this region.
    void AppendBand(LONG top, LONG bottom, std::span<const Span> spans);
    // Adds a region that lies wholly below this one.
    void AppendBelow(const Region& lower);
    // Adds a rectangle.
    void IncludeRectangle(const RECT& rect);
    // Adds a rectangle of exactly one band's rows, as a grid's cell beside
    // the cells of its row, to that band's spans alone; false, leaving the
    // region as it was, for any other rectangle.
    bool WidenBand(const RECT& rect);
    // Puts the bands of `piece` in place of bands [from, to), which it must
    // hold the rows of, with their spans.
    void Splice(std::size_t from, std::size_t to, const Region& piece);

    // Every band's spans, band after band: equal regions hold equal arrays.
    // A rectangle, or the few a repaint adds up, stays inside the object.
    SmallVector<Band, 4> bands_;
    SmallVector<Span, 4> spans_;
};

} // namespace platform::gdi
