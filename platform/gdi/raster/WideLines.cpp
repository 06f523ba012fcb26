// Polygons and wide lines, gathered as row spans before they are drawn.

#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace platform::gdi::raster {

namespace {

// Row spans gathered from several shapes, merged before drawing.
class SpanSet {
public:
    explicit SpanSet(const RECT& bounds) : bounds_(bounds) {}

    const RECT& Bounds() const { return bounds_; }

    void Add(LONG y, LONG left, LONG right) {
        left = std::max(left, bounds_.left);
        right = std::min(right, bounds_.right);
        if (left < right && y >= bounds_.top && y < bounds_.bottom) {
            rows_[y].push_back({left, right});
        }
    }

    void Fill(const Target& target, Pixel pixel) {
        for (auto& [y, spans] : rows_) {
            std::sort(spans.begin(), spans.end(),
                      [](const Region::Span& a, const Region::Span& b) { return a.left < b.left; });
            LONG left = spans.front().left;
            LONG right = spans.front().right;
            for (const Region::Span& span : spans) {
                if (span.left > right) {
                    FillRect(target, {left, y, right, y + 1}, pixel);
                    left = span.left;
                }
                right = std::max(right, span.right);
            }
            FillRect(target, {left, y, right, y + 1}, pixel);
        }
    }

private:
    RECT bounds_;
    std::map<LONG, std::vector<Region::Span>> rows_;
};

// The first pixel whose centre lies at or right of x.
LONG FirstCentreAtOrAfter(double x, const RECT& bounds) {
    double clamped = std::clamp(x, static_cast<double>(bounds.left) - 1.0,
                                static_cast<double>(bounds.right) + 1.0);
    return static_cast<LONG>(std::ceil(clamped - 0.5));
}

LONG FirstRow(double top, const RECT& bounds) {
    return std::max(bounds.top, static_cast<LONG>(std::max(std::floor(top), -2e9)));
}

LONG EndRow(double bottom, const RECT& bounds) {
    return std::min(bounds.bottom, static_cast<LONG>(std::min(std::ceil(bottom) + 1.0, 2e9)));
}

// The pixels whose centres lie inside the polygon, by the even-odd rule.
void ScanPolygon(std::span<const PointF> points, SpanSet& spans) {
    if (points.size() < 3) {
        return;
    }
    auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                           [](PointF a, PointF b) { return a.y < b.y; });
    const RECT& bounds = spans.Bounds();
    std::vector<double> crossings;
    for (LONG y = FirstRow(low->y, bounds); y < EndRow(high->y, bounds); ++y) {
        double centre = y + 0.5;
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const PointF& p = points[i];
            const PointF& q = points[(i + 1) % points.size()];
            if ((p.y <= centre && centre < q.y) || (q.y <= centre && centre < p.y)) {
                crossings.push_back(p.x + (centre - p.y) * (q.x - p.x) / (q.y - p.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            spans.Add(y, FirstCentreAtOrAfter(crossings[i], bounds),
                      FirstCentreAtOrAfter(crossings[i + 1], bounds));
        }
    }
}

void ScanDisc(PointF centre, double radius, SpanSet& spans) {
    const RECT& bounds = spans.Bounds();
    for (LONG y = FirstRow(centre.y - radius, bounds); y < EndRow(centre.y + radius, bounds); ++y) {
        double dy = y + 0.5 - centre.y;
        if (std::abs(dy) >= radius) {
            continue;
        }
        double half = std::sqrt(radius * radius - dy * dy);
        spans.Add(y, FirstCentreAtOrAfter(centre.x - half, bounds),
                  FirstCentreAtOrAfter(centre.x + half, bounds));
    }
}

double Cross(PointF a, PointF b) {
    return a.x * b.y - a.y * b.x;
}

PointF Centre(POINT point) {
    return {point.x + 0.5, point.y + 0.5};
}

// A segment between pixel centres, its unit direction, and its normal scaled
// to half the pen's width.
struct Segment {
    PointF from;
    PointF to;
    PointF direction;
    PointF normal;
};

Segment MakeSegment(POINT from, POINT to, double halfWidth) {
    PointF a = Centre(from);
    PointF b = Centre(to);
    double length = std::hypot(b.x - a.x, b.y - a.y);
    PointF direction{(b.x - a.x) / length, (b.y - a.y) / length};
    return {a, b, direction, {-direction.y * halfWidth, direction.x * halfWidth}};
}

void ScanSegment(const Segment& s, double startExtension, double endExtension, SpanSet& spans) {
    PointF from{s.from.x - s.direction.x * startExtension,
                s.from.y - s.direction.y * startExtension};
    PointF to{s.to.x + s.direction.x * endExtension, s.to.y + s.direction.y * endExtension};
    PointF quad[] = {{from.x + s.normal.x, from.y + s.normal.y},
                     {to.x + s.normal.x, to.y + s.normal.y},
                     {to.x - s.normal.x, to.y - s.normal.y},
                     {from.x - s.normal.x, from.y - s.normal.y}};
    ScanPolygon(quad, spans);
}

void ScanJoin(const Segment& first, const Segment& second, double halfWidth, UINT join,
              SpanSet& spans) {
    constexpr double kMiterLimit = 10.0;
    PointF joint = first.to;
    if (join == PS_JOIN_ROUND) {
        ScanDisc(joint, halfWidth, spans);
        return;
    }
    double turn = Cross(first.direction, second.direction);
    if (std::abs(turn) < 1e-9) {
        return;
    }
    // The outer side of the bend is away from the way it turns.
    double side = turn > 0 ? -1.0 : 1.0;
    PointF a{joint.x + side * first.normal.x, joint.y + side * first.normal.y};
    PointF b{joint.x + side * second.normal.x, joint.y + side * second.normal.y};
    double t = Cross({b.x - a.x, b.y - a.y}, second.direction) / turn;
    PointF tip{a.x + first.direction.x * t, a.y + first.direction.y * t};
    if (join == PS_JOIN_MITER &&
        std::hypot(tip.x - joint.x, tip.y - joint.y) <= kMiterLimit * halfWidth) {
        PointF mitre[] = {joint, a, tip, b};
        ScanPolygon(mitre, spans);
    } else {
        PointF bevel[] = {joint, a, b};
        ScanPolygon(bevel, spans);
    }
}

} // namespace

void FillPolygon(const Target& target, std::span<const PointF> points, Pixel pixel) {
    const RECT bounds = target.Bounds();
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return;
    }
    SpanSet spans(bounds);
    ScanPolygon(points, spans);
    spans.Fill(target, pixel);
}

void WidePolyline(const Target& target, std::span<const POINT> points, int width, UINT style,
                  Pixel pixel) {
    const RECT bounds = target.Bounds();
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return;
    }
    double halfWidth = width / 2.0;
    std::vector<Segment> segments;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (points[i].x != points[i + 1].x || points[i].y != points[i + 1].y) {
            segments.push_back(MakeSegment(points[i], points[i + 1], halfWidth));
        }
    }
    if (segments.empty()) {
        return;
    }
    SpanSet spans(bounds);
    UINT cap = style & PS_ENDCAP_MASK;
    double extension = cap == PS_ENDCAP_SQUARE ? halfWidth : 0.0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        bool first = i == 0;
        bool last = i + 1 == segments.size();
        ScanSegment(segments[i], first ? extension : 0.0, last ? extension : 0.0, spans);
        if (!last) {
            ScanJoin(segments[i], segments[i + 1], halfWidth, style & PS_JOIN_MASK, spans);
        }
    }
    if (cap == PS_ENDCAP_ROUND) {
        ScanDisc(segments.front().from, halfWidth, spans);
        ScanDisc(segments.back().to, halfWidth, spans);
    }
    spans.Fill(target, pixel);
}

} // namespace platform::gdi::raster
