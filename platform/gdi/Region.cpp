#include "Region.h"

#include <algorithm>
#include <limits>

namespace platform::gdi {

namespace {

using Span = Region::Span;

LONG ClampCoordinate(LONG value) {
    return std::clamp(value, -Region::kCoordinateLimit, Region::kCoordinateLimit);
}

// The x of the k-th boundary of a span list (left, right, left, ...), or
// std::numeric_limits<LONG>::max() past the end.
LONG Boundary(const std::vector<Span>& spans, std::size_t k) {
    if (k >= 2 * spans.size()) {
        return std::numeric_limits<LONG>::max();
    }
    const Span& span = spans[k / 2];
    return k % 2 == 0 ? span.left : span.right;
}

} // namespace

Region::Region(const RECT& rect) {
    LONG left = ClampCoordinate(rect.left);
    LONG right = ClampCoordinate(rect.right);
    LONG top = ClampCoordinate(rect.top);
    LONG bottom = ClampCoordinate(rect.bottom);
    if (left < right && top < bottom) {
        bands_.push_back({top, bottom, {{left, right}}});
    }
}

RECT Region::Bounds() const {
    if (bands_.empty()) {
        return {0, 0, 0, 0};
    }
    RECT bounds{std::numeric_limits<LONG>::max(), bands_.front().top,
                std::numeric_limits<LONG>::min(), bands_.back().bottom};
    for (const Band& band : bands_) {
        bounds.left = std::min(bounds.left, band.spans.front().left);
        bounds.right = std::max(bounds.right, band.spans.back().right);
    }
    return bounds;
}

int Region::Kind() const {
    if (bands_.empty()) {
        return NULLREGION;
    }
    return bands_.size() == 1 && bands_.front().spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::vector<RECT> Region::Rects() const {
    std::vector<RECT> rects;
    for (const Band& band : bands_) {
        for (const Span& span : band.spans) {
            rects.push_back({span.left, band.top, span.right, band.bottom});
        }
    }
    return rects;
}

bool Region::Contains(LONG x, LONG y) const {
    auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                                 [](LONG row, const Band& b) { return row < b.bottom; });
    if (band == bands_.end() || y < band->top) {
        return false;
    }
    return std::any_of(band->spans.begin(), band->spans.end(),
                       [x](const Span& span) { return span.left <= x && x < span.right; });
}

bool Region::Intersects(const RECT& rect) const {
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return false;
    }
    for (const Band& band : bands_) {
        if (band.bottom <= rect.top) {
            continue;
        }
        if (band.top >= rect.bottom) {
            break;
        }
        for (const Span& span : band.spans) {
            if (span.left < rect.right && rect.left < span.right) {
                return true;
            }
        }
    }
    return false;
}

namespace {

bool Holds(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

bool Region::IsRectangle() const {
    return bands_.size() == 1 && bands_.front().spans.size() == 1;
}

// Painting adds to a window's update region and clips every drawing call, so
// the common cases are answered without walking both regions: one side empty
// or a rectangle holding the other, a rectangle added (a cell invalidated:
// only the bands of its rows change) and one region wholly below the other.
// Each gives the canonical form the general walk would.
void Region::Include(const Region& other) {
    if (other.IsEmpty()) {
        return;
    }
    if (IsEmpty()) {
        *this = other;
        return;
    }
    const RECT bounds = Bounds();
    const RECT otherBounds = other.Bounds();
    if (IsRectangle() && Holds(bounds, otherBounds)) {
        return;
    }
    if (other.IsRectangle()) {
        if (Holds(otherBounds, bounds)) {
            *this = other;
        } else {
            IncludeRectangle(otherBounds);
        }
        return;
    }
    if (otherBounds.top >= bounds.bottom) {
        AppendBelow(other);
        return;
    }
    if (bounds.top >= otherBounds.bottom) {
        Region lower = std::move(*this);
        *this = other;
        AppendBelow(lower);
        return;
    }
    *this = Combine(*this, other, Operation::Union);
}

Region Region::Union(const Region& other) const {
    Region result = *this;
    result.Include(other);
    return result;
}

Region Region::Intersect(const Region& other) const {
    if (IsEmpty() || other.IsEmpty()) {
        return {};
    }
    const RECT bounds = Bounds();
    const RECT otherBounds = other.Bounds();
    if (IsRectangle() && other.IsRectangle()) {
        return Region(RECT{std::max(bounds.left, otherBounds.left),
                           std::max(bounds.top, otherBounds.top),
                           std::min(bounds.right, otherBounds.right),
                           std::min(bounds.bottom, otherBounds.bottom)});
    }
    if (IsRectangle() && Holds(bounds, otherBounds)) {
        return other;
    }
    if (other.IsRectangle() && Holds(otherBounds, bounds)) {
        return *this;
    }
    return Combine(*this, other, Operation::Intersect);
}

Region Region::ClippedTo(const RECT& rect) const {
    if (IsEmpty()) {
        return {};
    }
    const RECT bounds = Bounds();
    if (Holds(rect, bounds)) {
        return *this;
    }
    if (IsRectangle()) {
        return Region(RECT{std::max(bounds.left, rect.left), std::max(bounds.top, rect.top),
                           std::min(bounds.right, rect.right),
                           std::min(bounds.bottom, rect.bottom)});
    }
    return Intersect(Region(rect));
}

Region Region::Subtract(const Region& other) const {
    return Combine(*this, other, Operation::Subtract);
}

Region Region::Xor(const Region& other) const {
    return Combine(*this, other, Operation::Xor);
}

bool Region::Offset(LONG dx, LONG dy) {
    if (bands_.empty()) {
        return true;
    }
    RECT bounds = Bounds();
    auto fits = [](long long value) {
        return value >= -kCoordinateLimit && value <= kCoordinateLimit;
    };
    if (!fits(static_cast<long long>(bounds.left) + dx) ||
        !fits(static_cast<long long>(bounds.right) + dx) ||
        !fits(static_cast<long long>(bounds.top) + dy) ||
        !fits(static_cast<long long>(bounds.bottom) + dy)) {
        return false;
    }
    for (Band& band : bands_) {
        band.top += dy;
        band.bottom += dy;
        for (Span& span : band.spans) {
            span.left += dx;
            span.right += dx;
        }
    }
    return true;
}

void Region::AppendBelow(const Region& lower) {
    for (const Band& band : lower.bands_) {
        AppendBand(band.top, band.bottom, std::vector<Span>(band.spans));
    }
}

namespace {

// Sorted spans with one more merged in; spans that overlap or touch it join it.
std::vector<Span> WithSpan(const std::vector<Span>& spans, Span added) {
    std::vector<Span> result;
    result.reserve(spans.size() + 1);
    auto span = spans.begin();
    for (; span != spans.end() && span->right < added.left; ++span) {
        result.push_back(*span);
    }
    for (; span != spans.end() && span->left <= added.right; ++span) {
        added.left = std::min(added.left, span->left);
        added.right = std::max(added.right, span->right);
    }
    result.push_back(added);
    result.insert(result.end(), span, spans.end());
    return result;
}

} // namespace

// Bands outside the rectangle's rows are moved over untouched; a band it
// crosses is split at its top and bottom and gets its span; rows where no
// band was get a band of the rectangle alone.
void Region::IncludeRectangle(const RECT& rect) {
    const Span added{rect.left, rect.right};
    std::vector<Band> old = std::move(bands_);
    bands_.clear();
    bands_.reserve(old.size() + 2);
    LONG row = rect.top; // the first of the rectangle's rows not yet placed
    for (Band& band : old) {
        if (band.bottom <= rect.top || band.top >= rect.bottom) {
            if (band.top >= rect.bottom && row < rect.bottom) {
                AppendBand(row, rect.bottom, {added});
                row = rect.bottom;
            }
            AppendBand(band.top, band.bottom, std::move(band.spans));
            continue;
        }
        const LONG insideTop = std::max(band.top, rect.top);
        const LONG insideBottom = std::min(band.bottom, rect.bottom);
        if (row < insideTop) {
            AppendBand(row, insideTop, {added});
        }
        if (band.top < insideTop) {
            AppendBand(band.top, insideTop, std::vector<Span>(band.spans));
        }
        std::vector<Span> widened = WithSpan(band.spans, added);
        AppendBand(insideTop, insideBottom, std::move(widened));
        if (insideBottom < band.bottom) {
            AppendBand(insideBottom, band.bottom, std::move(band.spans));
        }
        row = insideBottom;
    }
    if (row < rect.bottom) {
        AppendBand(row, rect.bottom, {added});
    }
}

void Region::AppendBand(LONG top, LONG bottom, std::vector<Span>&& spans) {
    if (spans.empty()) {
        return;
    }
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
        bands_.back().bottom = bottom;
        return;
    }
    bands_.push_back({top, bottom, std::move(spans)});
}

namespace {

bool Keeps(Region::Operation operation, bool inA, bool inB) {
    switch (operation) {
    case Region::Operation::Union:
        return inA || inB;
    case Region::Operation::Intersect:
        return inA && inB;
    case Region::Operation::Subtract:
        return inA && !inB;
    case Region::Operation::Xor:
        return inA != inB;
    }
    return false;
}

// Walks the boundaries of both span lists in x order and keeps the stretches
// where the operation holds. Boundaries at the same x are taken together, so
// the result never holds two touching spans.
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b,
                               Region::Operation operation) {
    std::vector<Span> result;
    std::size_t i = 0;
    std::size_t j = 0;
    bool inA = false;
    bool inB = false;
    bool inside = false;
    LONG start = 0;
    while (i < 2 * a.size() || j < 2 * b.size()) {
        LONG xa = Boundary(a, i);
        LONG xb = Boundary(b, j);
        LONG x = std::min(xa, xb);
        if (xa == x) {
            inA = !inA;
            ++i;
        }
        if (xb == x) {
            inB = !inB;
            ++j;
        }
        bool keep = Keeps(operation, inA, inB);
        if (keep && !inside) {
            start = x;
        } else if (!keep && inside) {
            result.push_back({start, x});
        }
        inside = keep;
    }
    return result;
}

// The spans of the band covering row y, advancing `index` through bands that
// end at or before y.
const std::vector<Span>& SpansAt(const std::vector<Region::Band>& bands, std::size_t& index,
                                 LONG y) {
    static const std::vector<Span> none;
    while (index < bands.size() && bands[index].bottom <= y) {
        ++index;
    }
    if (index < bands.size() && bands[index].top <= y) {
        return bands[index].spans;
    }
    return none;
}

} // namespace

Region Region::Combine(const Region& a, const Region& b, Operation operation) {
    std::vector<LONG> rows;
    rows.reserve(2 * (a.bands_.size() + b.bands_.size()));
    for (const auto* region : {&a, &b}) {
        for (const Band& band : region->bands_) {
            rows.push_back(band.top);
            rows.push_back(band.bottom);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    Region result;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t k = 0; k + 1 < rows.size(); ++k) {
        LONG top = rows[k];
        const std::vector<Span>& spansA = SpansAt(a.bands_, ia, top);
        const std::vector<Span>& spansB = SpansAt(b.bands_, ib, top);
        result.AppendBand(top, rows[k + 1], CombineSpans(spansA, spansB, operation));
    }
    return result;
}

} // namespace platform::gdi
