#include "Region.h"

#include <algorithm>
#include <limits>

namespace platform::gdi {

namespace {

using Span = Region::Span;
using Spans = std::span<const Span>;
// Room for the spans one band of a repaint's regions holds.
using SpanList = SmallVector<Span, 16>;

LONG ClampCoordinate(LONG value) {
    return std::clamp(value, -Region::kCoordinateLimit, Region::kCoordinateLimit);
}

// The x of the k-th boundary of a span list (left, right, left, ...), or
// std::numeric_limits<LONG>::max() past the end.
LONG Boundary(Spans spans, std::size_t k) {
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
        bands_.push_back({top, bottom, 0, 1});
        spans_.push_back({left, right});
    }
}

RECT Region::Bounds() const {
    if (bands_.empty()) {
        return {0, 0, 0, 0};
    }
    RECT bounds{std::numeric_limits<LONG>::max(), bands_.front().top,
                std::numeric_limits<LONG>::min(), bands_.back().bottom};
    for (const Band& band : bands_) {
        bounds.left = std::min(bounds.left, spans_[band.first].left);
        bounds.right = std::max(bounds.right, spans_[band.first + band.count - 1].right);
    }
    return bounds;
}

int Region::Kind() const {
    if (bands_.empty()) {
        return NULLREGION;
    }
    return IsRectangle() ? SIMPLEREGION : COMPLEXREGION;
}

std::vector<RECT> Region::Rects() const {
    std::vector<RECT> rects;
    for (const Band& band : bands_) {
        for (const Span& span : SpansOf(band)) {
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
    Spans spans = SpansOf(*band);
    return std::any_of(spans.begin(), spans.end(),
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
        for (const Span& span : SpansOf(band)) {
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
    return bands_.size() == 1 && spans_.size() == 1;
}

bool Region::Covers(const RECT& rect) const {
    LONG row = rect.top; // the first row not yet found covered
    // The bands above the rectangle are skipped by a search: a cell low in a
    // clip of many rows is answered without walking them.
    auto first = std::partition_point(bands_.begin(), bands_.end(),
                                      [&](const Band& band) { return band.bottom <= row; });
    for (auto band = first; band != bands_.end(); ++band) {
        if (band->top > row) {
            return false;
        }
        Spans spans = SpansOf(*band);
        auto span = std::partition_point(spans.begin(), spans.end(),
                                         [&](const Span& s) { return s.right <= rect.left; });
        if (span == spans.end() || span->left > rect.left || span->right < rect.right) {
            return false;
        }
        row = band->bottom;
        if (row >= rect.bottom) {
            return true;
        }
    }
    return false;
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
    if (other.IsRectangle()) {
        IncludeRectangle(other.Bounds());
        return;
    }
    const RECT bounds = Bounds();
    const RECT otherBounds = other.Bounds();
    if (IsRectangle() && Holds(bounds, otherBounds)) {
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
    // The region lies within the coordinate limit, so cutting the rectangle
    // there changes no answer.
    const RECT cut{ClampCoordinate(rect.left), ClampCoordinate(rect.top),
                   ClampCoordinate(rect.right), ClampCoordinate(rect.bottom)};
    if (IsEmpty() || cut.left >= cut.right || cut.top >= cut.bottom) {
        return {};
    }
    // The columns are looked at only when the rows are held: a cell of a
    // region of many bands is answered without walking them all.
    if (cut.top <= bands_.front().top && bands_.back().bottom <= cut.bottom &&
        Holds(cut, Bounds())) {
        return *this;
    }
    if (IsRectangle()) {
        const Band& band = bands_.front();
        const Span& span = spans_.front();
        return Region(RECT{std::max(span.left, cut.left), std::max(band.top, cut.top),
                           std::min(span.right, cut.right), std::min(band.bottom, cut.bottom)});
    }
    // A rectangle inside the region, as a cell inside the area being
    // painted, is the answer itself.
    if (Covers(cut)) {
        return Region(cut);
    }
    // Each band the rectangle's rows cross keeps its spans cut to the
    // rectangle's columns.
    Region result;
    SpanList kept;
    for (const Band& band : bands_) {
        if (band.bottom <= cut.top) {
            continue;
        }
        if (band.top >= cut.bottom) {
            break;
        }
        kept.clear();
        for (const Span& span : SpansOf(band)) {
            const Span inside{std::max(span.left, cut.left), std::min(span.right, cut.right)};
            if (inside.left < inside.right) {
                kept.push_back(inside);
            }
        }
        result.AppendBand(std::max(band.top, cut.top), std::min(band.bottom, cut.bottom),
                          {kept.data(), kept.size()});
    }
    return result;
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
    }
    for (Span& span : spans_) {
        span.left += dx;
        span.right += dx;
    }
    return true;
}

void Region::AppendBelow(const Region& lower) {
    for (const Band& band : lower.bands_) {
        AppendBand(band.top, band.bottom, lower.SpansOf(band));
    }
}

namespace {

// Sorted spans with one more merged in; spans that overlap or touch it join it.
void WithSpan(Spans spans, Span added, SpanList& result) {
    result.clear();
    auto span = spans.begin();
    for (; span != spans.end() && span->right < added.left; ++span) {
        result.push_back(*span);
    }
    for (; span != spans.end() && span->left <= added.right; ++span) {
        added.left = std::min(added.left, span->left);
        added.right = std::max(added.right, span->right);
    }
    result.push_back(added);
    const auto rest = static_cast<std::size_t>(span - spans.begin());
    result.Append(spans.data() + rest, spans.size() - rest);
}

} // namespace

// A rectangle the region covers already changes nothing: a cell invalidated
// twice, or inside an area invalidated whole. Otherwise only the bands of the
// rectangle's rows change, with one band on either side so that the new
// bands join their neighbours as the canonical form asks; the rest stay in
// place. In those bands a band the rectangle crosses is split at its top and
// bottom and gets its span; rows where no band was get a band of the
// rectangle alone.
void Region::IncludeRectangle(const RECT& rect) {
    if (Covers(rect) || WidenBand(rect)) {
        return;
    }
    const std::size_t count = bands_.size();
    std::size_t from = 0;
    while (from < count && bands_[from].bottom <= rect.top) {
        ++from;
    }
    std::size_t to = from;
    while (to < count && bands_[to].top < rect.bottom) {
        ++to;
    }
    from = from > 0 ? from - 1 : 0;
    to = std::min(to + 1, count);

    const Span added{rect.left, rect.right};
    const Spans alone{&added, 1};
    Region result;
    SpanList widened;
    LONG row = rect.top; // the first of the rectangle's rows not yet placed
    for (std::size_t k = from; k < to; ++k) {
        const Band& band = bands_[k];
        const Spans spans = SpansOf(band);
        if (band.bottom <= rect.top || band.top >= rect.bottom) {
            if (band.top >= rect.bottom && row < rect.bottom) {
                result.AppendBand(row, rect.bottom, alone);
                row = rect.bottom;
            }
            result.AppendBand(band.top, band.bottom, spans);
            continue;
        }
        const LONG insideTop = std::max(band.top, rect.top);
        const LONG insideBottom = std::min(band.bottom, rect.bottom);
        if (row < insideTop) {
            result.AppendBand(row, insideTop, alone);
        }
        if (band.top < insideTop) {
            result.AppendBand(band.top, insideTop, spans);
        }
        WithSpan(spans, added, widened);
        result.AppendBand(insideTop, insideBottom, {widened.data(), widened.size()});
        if (insideBottom < band.bottom) {
            result.AppendBand(insideBottom, band.bottom, spans);
        }
        row = insideBottom;
    }
    if (row < rect.bottom) {
        result.AppendBand(row, rect.bottom, alone);
    }
    Splice(from, to, result);
}

bool Region::WidenBand(const RECT& rect) {
    const std::size_t count = bands_.size();
    std::size_t k = 0;
    while (k < count && bands_[k].bottom <= rect.top) {
        ++k;
    }
    if (k == count || bands_[k].top != rect.top || bands_[k].bottom != rect.bottom) {
        return false;
    }
    SpanList widened;
    WithSpan(SpansOf(bands_[k]), {rect.left, rect.right}, widened);
    const Spans spans{widened.data(), widened.size()};
    auto sameAs = [&](const Band& neighbour) {
        const Spans theirs = SpansOf(neighbour);
        return std::equal(theirs.begin(), theirs.end(), spans.begin(), spans.end());
    };
    // A band that comes to equal its neighbour joins it: the general way.
    if ((k > 0 && bands_[k - 1].bottom == rect.top && sameAs(bands_[k - 1])) ||
        (k + 1 < count && bands_[k + 1].top == rect.bottom && sameAs(bands_[k + 1]))) {
        return false;
    }
    Band& band = bands_[k];
    spans_.Replace(band.first, band.count, spans.data(), spans.size());
    const auto shift = static_cast<std::uint32_t>(spans.size()) - band.count;
    band.count = static_cast<std::uint32_t>(spans.size());
    for (std::size_t later = k + 1; later < count; ++later) {
        bands_[later].first += shift;
    }
    return true;
}

void Region::Splice(std::size_t from, std::size_t to, const Region& piece) {
    const std::uint32_t spanFrom =
        from < bands_.size() ? bands_[from].first : static_cast<std::uint32_t>(spans_.size());
    const std::uint32_t spanTo = to > from ? bands_[to - 1].first + bands_[to - 1].count : spanFrom;
    SmallVector<Band, 4> placed = piece.bands_;
    for (Band& band : placed) {
        band.first += spanFrom;
    }
    bands_.Replace(from, to - from, placed.data(), placed.size());
    spans_.Replace(spanFrom, spanTo - spanFrom, piece.spans_.data(), piece.spans_.size());
    const auto shift = static_cast<std::uint32_t>(piece.spans_.size()) - (spanTo - spanFrom);
    for (std::size_t k = from + placed.size(); k < bands_.size(); ++k) {
        bands_[k].first += shift;
    }
}

void Region::AppendBand(LONG top, LONG bottom, Spans spans) {
    if (spans.empty()) {
        return;
    }
    if (!bands_.empty() && bands_.back().bottom == top) {
        Band& last = bands_.back();
        const Spans lastSpans = SpansOf(last);
        if (std::equal(lastSpans.begin(), lastSpans.end(), spans.begin(), spans.end())) {
            last.bottom = bottom;
            return;
        }
    }
    bands_.push_back({top, bottom, static_cast<std::uint32_t>(spans_.size()),
                      static_cast<std::uint32_t>(spans.size())});
    spans_.Append(spans.data(), spans.size());
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
void CombineSpans(Spans a, Spans b, Region::Operation operation, SpanList& result) {
    result.clear();
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
}

// The spans of the band of `region` covering row y, advancing `index`
// through bands that end at or before y.
Spans SpansAt(const Region& region, std::size_t& index, LONG y) {
    std::span<const Region::Band> bands = region.Bands();
    while (index < bands.size() && bands[index].bottom <= y) {
        ++index;
    }
    if (index < bands.size() && bands[index].top <= y) {
        return region.SpansOf(bands[index]);
    }
    return {};
}

} // namespace

Region Region::Combine(const Region& a, const Region& b, Operation operation) {
    SmallVector<LONG, 32> rows;
    rows.reserve(2 * (a.bands_.size() + b.bands_.size()));
    for (const auto* region : {&a, &b}) {
        for (const Band& band : region->bands_) {
            rows.push_back(band.top);
            rows.push_back(band.bottom);
        }
    }
    std::sort(rows.begin(), rows.end());
    const std::size_t rowCount =
        static_cast<std::size_t>(std::unique(rows.begin(), rows.end()) - rows.begin());

    Region result;
    SpanList spans;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t k = 0; k + 1 < rowCount; ++k) {
        LONG top = rows[k];
        CombineSpans(SpansAt(a, ia, top), SpansAt(b, ib, top), operation, spans);
        result.AppendBand(top, rows[k + 1], {spans.data(), spans.size()});
    }
    return result;
}

} // namespace platform::gdi
