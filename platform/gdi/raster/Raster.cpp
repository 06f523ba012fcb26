#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform::gdi::raster {

namespace {

// Calls visit(y, left, right) for every row stretch of `rect` inside the clip.
template <class Visit> void ForEachSpan(const Region& clip, const RECT& rect, Visit&& visit) {
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return;
    }
    for (const Region::Band& band : clip.Bands()) {
        if (band.bottom <= rect.top) {
            continue;
        }
        if (band.top >= rect.bottom) {
            break;
        }
        LONG top = std::max(band.top, rect.top);
        LONG bottom = std::min(band.bottom, rect.bottom);
        for (LONG y = top; y < bottom; ++y) {
            for (const Region::Span& span : band.spans) {
                LONG left = std::max(span.left, rect.left);
                LONG right = std::min(span.right, rect.right);
                if (left < right) {
                    visit(y, left, right);
                }
            }
        }
    }
}

void Plot(const Target& target, LONG x, LONG y, Pixel pixel) {
    if (target.clip.Contains(x, y)) {
        Pixel& destination = target.surface.Row(y)[x];
        destination = Combine(target.rop, destination, pixel);
    }
}

long long Period(const Dash& dash) {
    long long period = 0;
    for (int length : dash.lengths) {
        period += length;
    }
    return period;
}

bool DashIsOn(const Dash& dash, long long step) {
    long long at = (dash.position + step) % Period(dash);
    for (std::size_t i = 0; i < dash.lengths.size(); ++i) {
        if (at < dash.lengths[i]) {
            return i % 2 == 0;
        }
        at -= dash.lengths[i];
    }
    return false;
}

PointF Centre(POINT point) {
    return {point.x + 0.5, point.y + 0.5};
}

double Cross(PointF a, PointF b) {
    return a.x * b.y - a.y * b.x;
}

// The unit direction from a to b, and half the width along its normal.
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

void FillJoin(const Target& target, const Segment& first, const Segment& second, double halfWidth,
              Pixel pixel) {
    constexpr double kMiterLimit = 10.0;
    double turn = Cross(first.direction, second.direction);
    if (std::abs(turn) < 1e-9) {
        return;
    }
    // The outer side of the bend is away from the way it turns.
    double side = turn > 0 ? -1.0 : 1.0;
    PointF joint = first.to;
    PointF a{joint.x + side * first.normal.x, joint.y + side * first.normal.y};
    PointF b{joint.x + side * second.normal.x, joint.y + side * second.normal.y};
    double t = Cross({b.x - a.x, b.y - a.y}, second.direction) / turn;
    PointF tip{a.x + first.direction.x * t, a.y + first.direction.y * t};
    if (std::hypot(tip.x - joint.x, tip.y - joint.y) <= kMiterLimit * halfWidth) {
        PointF mitre[] = {joint, a, tip, b};
        FillPolygon(target, mitre, pixel);
    } else {
        PointF bevel[] = {joint, a, b};
        FillPolygon(target, bevel, pixel);
    }
}

// The first pixel whose centre lies at or right of x.
LONG FirstCentreAtOrAfter(double x, const RECT& bounds) {
    double clamped = std::clamp(x, static_cast<double>(bounds.left) - 1.0,
                                static_cast<double>(bounds.right) + 1.0);
    return static_cast<LONG>(std::ceil(clamped - 0.5));
}

int Blend(int destination, int source, int alpha) {
    return (destination * (255 - alpha) + source * alpha + 127) / 255;
}

Pixel BlendPixel(Pixel destination, Pixel source, int alpha) {
    int red = Blend((destination >> 16) & 0xFF, (source >> 16) & 0xFF, alpha);
    int green = Blend((destination >> 8) & 0xFF, (source >> 8) & 0xFF, alpha);
    int blue = Blend(destination & 0xFF, source & 0xFF, alpha);
    return static_cast<Pixel>((red << 16) | (green << 8) | blue);
}

} // namespace

Pixel Combine(int rop, Pixel destination, Pixel pen) {
    // R2_ codes less one are truth tables: bit 3 for pen and destination both
    // set, bit 2 pen only, bit 1 destination only, bit 0 neither.
    unsigned table = static_cast<unsigned>(rop - 1);
    Pixel result = 0;
    if (table & 8) {
        result |= pen & destination;
    }
    if (table & 4) {
        result |= pen & ~destination;
    }
    if (table & 2) {
        result |= ~pen & destination;
    }
    if (table & 1) {
        result |= ~pen & ~destination;
    }
    return result & 0xFFFFFF;
}

void FillRect(const Target& target, const RECT& rect, Pixel pixel) {
    if (target.rop == R2_COPYPEN) {
        ForEachSpan(target.clip, rect, [&](LONG y, LONG left, LONG right) {
            std::fill_n(target.surface.Row(y) + left, right - left, pixel);
        });
        return;
    }
    ForEachSpan(target.clip, rect, [&](LONG y, LONG left, LONG right) {
        Pixel* row = target.surface.Row(y);
        for (LONG x = left; x < right; ++x) {
            row[x] = Combine(target.rop, row[x], pixel);
        }
    });
}

void FillPattern(const Target& target, const RECT& rect, const Pattern& pattern, POINT origin,
                 Pixel foreground, const Pixel* background) {
    ForEachSpan(target.clip, rect, [&](LONG y, LONG left, LONG right) {
        Pixel* row = target.surface.Row(y);
        for (LONG x = left; x < right; ++x) {
            if (pattern.Set(x, y, origin)) {
                row[x] = Combine(target.rop, row[x], foreground);
            } else if (background) {
                row[x] = Combine(target.rop, row[x], *background);
            }
        }
    });
}

void CosmeticLine(const Target& target, POINT from, POINT to, Pixel pixel, Dash* dash,
                  const Pixel* gap) {
    long long dx = static_cast<long long>(to.x) - from.x;
    long long dy = static_cast<long long>(to.y) - from.y;
    long long steps = std::max(std::llabs(dx), std::llabs(dy));
    if (steps == 0) {
        return;
    }
    if (!dash && (dx == 0 || dy == 0)) {
        // Straight solid lines are thin rectangles.
        RECT rect =
            dx == 0
                ? RECT{from.x, std::min(from.y, to.y + 1), from.x + 1, std::max(from.y + 1, to.y)}
                : RECT{std::min(from.x, to.x + 1), from.y, std::max(from.x + 1, to.x), from.y + 1};
        FillRect(target, rect, pixel);
        return;
    }
    // Step i sits at the major coordinate from + i and the minor coordinate
    // rounded from the exact line, so any stretch can be drawn on its own:
    // only the steps inside the clip's bounds are visited.
    RECT bounds = target.clip.Bounds();
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    long long major = xMajor ? dx : dy;
    long long minor = xMajor ? dy : dx;
    long long start = xMajor ? from.x : from.y;
    long long low = xMajor ? bounds.left : bounds.top;
    long long high = xMajor ? bounds.right : bounds.bottom;
    long long sign = major > 0 ? 1 : -1;
    long long first = sign > 0 ? low - start : start - (high - 1);
    long long last = sign > 0 ? high - start : start - low + 1;
    first = std::clamp(first, 0LL, steps);
    last = std::clamp(last, 0LL, steps);
    for (long long i = first; i < last; ++i) {
        // 128 bits: the product of two 31-bit distances overflows 64.
        auto offset = static_cast<long long>(
            (2 * static_cast<__int128>(i) * std::llabs(minor) + steps) / (2 * steps));
        long long minorAt = (xMajor ? from.y : from.x) + (minor < 0 ? -offset : offset);
        long long majorAt = start + sign * i;
        LONG x = static_cast<LONG>(xMajor ? majorAt : minorAt);
        LONG y = static_cast<LONG>(xMajor ? minorAt : majorAt);
        if (!dash || DashIsOn(*dash, i)) {
            Plot(target, x, y, pixel);
        } else if (gap) {
            Plot(target, x, y, *gap);
        }
    }
    if (dash) {
        dash->position = static_cast<int>((dash->position + steps) % Period(*dash));
    }
}

void FillPolygon(const Target& target, std::span<const PointF> points, Pixel pixel) {
    if (points.size() < 3 || target.clip.IsEmpty()) {
        return;
    }
    RECT bounds = target.clip.Bounds();
    double top = points[0].y;
    double bottom = points[0].y;
    for (const PointF& point : points) {
        top = std::min(top, point.y);
        bottom = std::max(bottom, point.y);
    }
    LONG firstRow = std::max(bounds.top, static_cast<LONG>(std::max(top - 1.0, -2e9)));
    LONG endRow = std::min(bounds.bottom, static_cast<LONG>(std::min(bottom + 1.0, 2e9)));
    std::vector<double> crossings;
    for (LONG y = firstRow; y < endRow; ++y) {
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
            LONG left = FirstCentreAtOrAfter(crossings[i], bounds);
            LONG right = FirstCentreAtOrAfter(crossings[i + 1], bounds);
            FillRect(target, RECT{left, y, right, y + 1}, pixel);
        }
    }
}

void WidePolyline(const Target& target, std::span<const POINT> points, int width, Pixel pixel) {
    double halfWidth = width / 2.0;
    std::vector<Segment> segments;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (points[i].x != points[i + 1].x || points[i].y != points[i + 1].y) {
            segments.push_back(MakeSegment(points[i], points[i + 1], halfWidth));
        }
    }
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        PointF quad[] = {{s.from.x + s.normal.x, s.from.y + s.normal.y},
                         {s.to.x + s.normal.x, s.to.y + s.normal.y},
                         {s.to.x - s.normal.x, s.to.y - s.normal.y},
                         {s.from.x - s.normal.x, s.from.y - s.normal.y}};
        FillPolygon(target, quad, pixel);
        if (i + 1 < segments.size()) {
            FillJoin(target, s, segments[i + 1], halfWidth, pixel);
        }
    }
}

void BlendMask(const Target& target, LONG x, LONG y, const std::uint8_t* mask, int width,
               int height, int pitch, Pixel color) {
    RECT rect{x, y, x + width, y + height};
    ForEachSpan(target.clip, rect, [&](LONG row, LONG left, LONG right) {
        const std::uint8_t* coverage = mask + static_cast<std::ptrdiff_t>(row - y) * pitch;
        Pixel* pixels = target.surface.Row(row);
        for (LONG column = left; column < right; ++column) {
            int alpha = coverage[column - x];
            if (alpha == 255) {
                pixels[column] = color;
            } else if (alpha != 0) {
                pixels[column] = BlendPixel(pixels[column], color, alpha);
            }
        }
    });
}

void BlendImage(const Target& target, LONG x, LONG y, const Pixel* pixels, int width, int height) {
    RECT rect{x, y, x + width, y + height};
    ForEachSpan(target.clip, rect, [&](LONG row, LONG left, LONG right) {
        const Pixel* source = pixels + static_cast<std::ptrdiff_t>(row - y) * width;
        Pixel* destination = target.surface.Row(row);
        for (LONG column = left; column < right; ++column) {
            Pixel value = source[column - x];
            destination[column] =
                BlendPixel(destination[column], value & 0xFFFFFF, static_cast<int>(value >> 24));
        }
    });
}

} // namespace platform::gdi::raster
