#include "Raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform::gdi::raster {

namespace {

// Calls visit(piece) for every rectangle of `rect` inside the target's clip:
// a band's rows by one of its spans' columns, or the part inside the
// rectangle the clip is known to hold.
template <class Visit> void ForEachPiece(const Target& target, RECT rect, Visit&& visit) {
    if (target.within) {
        rect = {std::max(rect.left, target.within->left), std::max(rect.top, target.within->top),
                std::min(rect.right, target.within->right),
                std::min(rect.bottom, target.within->bottom)};
        if (rect.left < rect.right && rect.top < rect.bottom) {
            visit(rect);
        }
        return;
    }
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return;
    }
    const Region& clip = target.clip;
    for (const Region::Band& band : clip.Bands()) {
        if (band.bottom <= rect.top) {
            continue;
        }
        if (band.top >= rect.bottom) {
            break;
        }
        LONG top = std::max(band.top, rect.top);
        LONG bottom = std::min(band.bottom, rect.bottom);
        // Only the band's spans that reach into the rectangle's columns: a
        // clip of many cells holds many spans a small drawing never touches.
        const std::span<const Region::Span> spans = clip.SpansOf(band);
        auto first =
            std::partition_point(spans.begin(), spans.end(),
                                 [&](const Region::Span& span) { return span.right <= rect.left; });
        for (auto span = first; span != spans.end() && span->left < rect.right; ++span) {
            visit(RECT{std::max(span->left, rect.left), top, std::min(span->right, rect.right),
                       bottom});
        }
    }
}

// Calls visit(y, left, right) for every row stretch of `rect` inside the clip.
template <class Visit> void ForEachSpan(const Target& target, const RECT& rect, Visit&& visit) {
    ForEachPiece(target, rect, [&](const RECT& piece) {
        for (LONG y = piece.top; y < piece.bottom; ++y) {
            visit(y, piece.left, piece.right);
        }
    });
}

void Plot(const Target& target, LONG x, LONG y, Pixel pixel) {
    if (target.Contains(x, y)) {
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

int Blend(int destination, int source, int alpha) {
    return (destination * (255 - alpha) + source * alpha + 127) / 255;
}

Pixel BlendPixel(Pixel destination, Pixel source, int alpha) {
    int red = Blend((destination >> 16) & 0xFF, (source >> 16) & 0xFF, alpha);
    int green = Blend((destination >> 8) & 0xFF, (source >> 8) & 0xFF, alpha);
    int blue = Blend(destination & 0xFF, source & 0xFF, alpha);
    return static_cast<Pixel>((red << 16) | (green << 8) | blue);
}

// Where the loader picks one of several builds of a function as the program
// starts (ELF's indirect functions), the fills and copies below also have a
// build that stores 32 bytes at once; elsewhere (Windows) the plain build
// serves.
#if defined(__ELF__)
#define ALSO_BUILT_FOR_WIDE_STORES [[gnu::target_clones("avx2", "default")]]
#else
#define ALSO_BUILT_FOR_WIDE_STORES
#endif

// Eight and four pixels stored at once, from any address.
using EightPixels = Pixel __attribute__((vector_size(32)));
using FourPixels = Pixel __attribute__((vector_size(16)));

template <class Pixels> void StoreAt(Pixel* at, const Pixels& pixels) {
    std::memcpy(at, &pixels, sizeof pixels);
}

template <class Pixels> void CopyAt(Pixel* to, const Pixel* from) {
    Pixels pixels;
    std::memcpy(&pixels, from, sizeof pixels);
    std::memcpy(to, &pixels, sizeof pixels);
}

// Fills `height` rows of `width` pixels, `stride` pixels apart. Every cell
// of text and every background is such a block, so a row is a few wide
// stores, the last one ending at the row's end (it may cover pixels the one
// before it stored) instead of a loop over the pixels left. Where the
// processor stores 32 bytes at once, the program uses a build of this
// function that does.
ALSO_BUILT_FOR_WIDE_STORES void FillBlock(Pixel* first, std::size_t stride, LONG width, LONG height,
                                          Pixel pixel) {
    if (width >= 8) {
        const EightPixels eight = {pixel, pixel, pixel, pixel, pixel, pixel, pixel, pixel};
        for (LONG y = 0; y < height; ++y, first += stride) {
            Pixel* const last = first + (width - 8);
            for (Pixel* at = first; at < last; at += 8) {
                StoreAt(at, eight);
            }
            StoreAt(last, eight);
        }
    } else if (width >= 4) {
        const FourPixels four = {pixel, pixel, pixel, pixel};
        for (LONG y = 0; y < height; ++y, first += stride) {
            StoreAt(first, four);
            StoreAt(first + (width - 4), four);
        }
    } else {
        for (LONG y = 0; y < height; ++y, first += stride) {
            std::fill_n(first, width, pixel);
        }
    }
}

// Copies `height` rows of `width` pixels from an image into a surface that
// does not hold it, each side's rows `stride` pixels apart. A glyph is a
// dozen narrow rows: each is a few wide copies, the last one ending at the
// row's end, instead of a call to copy memory.
ALSO_BUILT_FOR_WIDE_STORES void CopyBlock(Pixel* to, std::size_t toStride, const Pixel* from,
                                          std::size_t fromStride, LONG width, LONG height) {
    for (LONG y = 0; y < height; ++y, to += toStride, from += fromStride) {
        if (width >= 8) {
            for (LONG x = 0; x < width - 8; x += 8) {
                CopyAt<EightPixels>(to + x, from + x);
            }
            CopyAt<EightPixels>(to + (width - 8), from + (width - 8));
        } else if (width >= 4) {
            CopyAt<FourPixels>(to, from);
            CopyAt<FourPixels>(to + (width - 4), from + (width - 4));
        } else {
            for (LONG x = 0; x < width; ++x) {
                to[x] = from[x];
            }
        }
    }
}

} // namespace

bool Target::Contains(LONG x, LONG y) const {
    if (within) {
        return within->left <= x && x < within->right && within->top <= y && y < within->bottom;
    }
    return clip.Contains(x, y);
}

RECT Target::Bounds() const {
    return within ? *within : clip.Bounds();
}

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
        const auto stride = static_cast<std::size_t>(target.surface.Width());
        ForEachPiece(target, rect, [&](const RECT& piece) {
            Pixel* first = target.surface.Row(piece.top) + piece.left;
            const LONG width = piece.right - piece.left;
            const LONG height = piece.bottom - piece.top;
            // A vertical line's rows are single pixels: a plain store each,
            // without the set-up of a wide fill.
            if (width == 1) {
                for (LONG y = 0; y < height; ++y, first += stride) {
                    *first = pixel;
                }
            } else {
                FillBlock(first, stride, width, height, pixel);
            }
        });
        return;
    }
    ForEachSpan(target, rect, [&](LONG y, LONG left, LONG right) {
        Pixel* row = target.surface.Row(y);
        for (LONG x = left; x < right; ++x) {
            row[x] = Combine(target.rop, row[x], pixel);
        }
    });
}

void FillPattern(const Target& target, const RECT& rect, const Pattern& pattern, POINT origin,
                 Pixel foreground, const Pixel* background) {
    ForEachSpan(target, rect, [&](LONG y, LONG left, LONG right) {
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
    RECT bounds = target.Bounds();
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

void BlendMask(const Target& target, LONG x, LONG y, const std::uint8_t* mask, int width,
               int height, int pitch, Pixel color) {
    RECT rect{x, y, x + width, y + height};
    ForEachSpan(target, rect, [&](LONG row, LONG left, LONG right) {
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

void ComposeMask(const std::uint8_t* mask, std::size_t count, Pixel color, Pixel background,
                 Pixel* pixels) {
    for (std::size_t i = 0; i < count; ++i) {
        const int alpha = mask[i];
        pixels[i] = alpha == 255 ? color
                    : alpha == 0 ? background
                                 : BlendPixel(background, color, alpha);
    }
}

void CopyImage(const Target& target, LONG x, LONG y, const Pixel* pixels, int width, int height) {
    RECT rect{x, y, x + width, y + height};
    const auto stride = static_cast<std::size_t>(target.surface.Width());
    ForEachPiece(target, rect, [&](const RECT& piece) {
        const Pixel* source =
            pixels + static_cast<std::ptrdiff_t>(piece.top - y) * width + (piece.left - x);
        CopyBlock(target.surface.Row(piece.top) + piece.left, stride, source,
                  static_cast<std::size_t>(width), piece.right - piece.left,
                  piece.bottom - piece.top);
    });
}

void BlendImage(const Target& target, LONG x, LONG y, const Pixel* pixels, int width, int height) {
    RECT rect{x, y, x + width, y + height};
    ForEachSpan(target, rect, [&](LONG row, LONG left, LONG right) {
        const Pixel* source = pixels + static_cast<std::ptrdiff_t>(row - y) * width;
        Pixel* destination = target.surface.Row(row);
        for (LONG column = left; column < right; ++column) {
            Pixel value = source[column - x];
            destination[column] =
                BlendPixel(destination[column], value & 0xFFFFFF, static_cast<int>(value >> 24));
        }
    });
}

void InvertMasked(const Target& target, LONG x, LONG y, const std::uint8_t* mask, int width,
                  int height) {
    RECT rect{x, y, x + width, y + height};
    ForEachSpan(target, rect, [&](LONG row, LONG left, LONG right) {
        const std::uint8_t* source = mask + static_cast<std::ptrdiff_t>(row - y) * width;
        Pixel* destination = target.surface.Row(row);
        for (LONG column = left; column < right; ++column) {
            if (source[column - x]) {
                destination[column] = ~destination[column] & 0xFFFFFF;
            }
        }
    });
}

} // namespace platform::gdi::raster
