#pragma once
// A set of pixels held as horizontal bands of disjoint spans, all half-open:
// a band covers rows [top, bottom), a span columns [left, right). The form is
// canonical (bands sorted and coalesced, spans sorted and merged), so two
// regions are equal exactly when they cover the same pixels.

#include <windows.h>

#include <vector>

namespace platform::gdi {

class Region {
public:
    struct Span {
        LONG left;
        LONG right;
        bool operator==(const Span&) const = default;
    };
    struct Band {
        LONG top;
        LONG bottom;
        std::vector<Span> spans;
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
    const std::vector<Band>& Bands() const { return bands_; }
    // The disjoint rectangles, top to bottom, left to right within a band.
    std::vector<RECT> Rects() const;

    bool Contains(LONG x, LONG y) const;
    // True when the rectangle shares at least one pixel with the region.
    bool Intersects(const RECT& rect) const;

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
    void AppendBand(LONG top, LONG bottom, std::vector<Span>&& spans);
    // Adds a region that lies wholly below this one.
    void AppendBelow(const Region& lower);
    // Adds a rectangle.
    void IncludeRectangle(const RECT& rect);

    std::vector<Band> bands_;
};

} // namespace platform::gdi
