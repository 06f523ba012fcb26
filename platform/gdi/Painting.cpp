// Fills, frames, lines, edges, focus rectangles and icons.

#include "GdiState.h"
#include "raster/Raster.h"

#include "../core/Context.h"
#include "../core/SmallVector.h"
#include "../core/SystemColors.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace platform::gdi {

namespace {

raster::Target TargetOf(DeviceContext& dc, int rop) {
    return {*dc.surface, Drawable(dc), rop};
}

const raster::Pattern& HatchPattern(int hatch) {
    static const std::array<raster::Pattern, 6> patterns = {{
        {{0xFF, 0, 0, 0, 0, 0, 0, 0}},                      // HS_HORIZONTAL
        {{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}}, // HS_VERTICAL
        {{0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}}, // HS_FDIAGONAL
        {{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}}, // HS_BDIAGONAL
        {{0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}}, // HS_CROSS
        {{0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}}, // HS_DIAGCROSS
    }};
    return patterns[static_cast<std::size_t>(hatch)];
}

// The brush behind a handle; Windows also takes a system colour index plus one.
const BrushData* BrushOf(HBRUSH brush) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= static_cast<std::uintptr_t>(kSystemColorCount)) {
        brush = GetSysColorBrush(static_cast<int>(value - 1));
    }
    return FindObjectAs<BrushData>(brush);
}

void FillWithBrush(DeviceContext& dc, const RECT& rect, const BrushData& brush, int rop) {
    raster::Target target = TargetOf(dc, rop);
    switch (brush.style) {
    case BS_SOLID:
        raster::FillRect(target, rect, ToPixel(brush.color));
        return;
    case BS_HATCHED: {
        Pixel background = ToPixel(dc.attributes.backgroundColor);
        bool opaque = dc.attributes.backgroundMode == OPAQUE;
        raster::FillPattern(target, rect, HatchPattern(brush.hatch), dc.origin,
                            ToPixel(brush.color), opaque ? &background : nullptr);
        return;
    }
    default:
        return;
    }
}

RECT Normalized(RECT rect) {
    return {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
            std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

std::span<const int> DashLengths(UINT dash) {
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (dash) {
    case PS_DASH:
        return kDash;
    case PS_DOT:
        return kDot;
    case PS_DASHDOT:
        return kDashDot;
    case PS_DASHDOTDOT:
        return kDashDotDot;
    default:
        return {};
    }
}

// Draws connected lines in logical coordinates with the DC's pen.
void DrawPolyline(DeviceContext& dc, const POINT* points, std::size_t count) {
    const PenData* pen = SelectedAs<PenData>(dc.attributes.pen);
    if (!pen || pen->Dash() == PS_NULL || count < 2) {
        return;
    }
    // A grid's lines come two points at a time, hundreds a repaint: their
    // points stay off the heap.
    SmallVector<POINT, 8> onSurface;
    onSurface.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        onSurface.push_back(ToSurface(dc, points[i].x, points[i].y));
    }
    raster::Target target = TargetOf(dc, dc.attributes.rop2);
    Pixel color = ToPixel(pen->color);
    if (pen->width > 1) {
        raster::WidePolyline(target, {onSurface.data(), onSurface.size()}, pen->width, pen->style,
                             color);
        return;
    }
    std::span<const int> lengths = DashLengths(pen->Dash());
    raster::Dash dash{lengths, 0};
    Pixel gap = ToPixel(dc.attributes.backgroundColor);
    const Pixel* gapPixel = dc.attributes.backgroundMode == OPAQUE ? &gap : nullptr;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        raster::CosmeticLine(target, onSurface[i], onSurface[i + 1], color,
                             lengths.empty() ? nullptr : &dash, gapPixel);
    }
}

struct EdgeColors {
    int topLeft;
    int bottomRight;
};

// The colours of one border, outer or inner; none when it draws nothing.
std::optional<EdgeColors> BorderColors(UINT edge, UINT flags, bool outer) {
    UINT raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    UINT sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    if (!(edge & (raised | sunken))) {
        return std::nullopt;
    }
    if (flags & BF_MONO) {
        return outer ? EdgeColors{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME}
                     : EdgeColors{COLOR_WINDOW, COLOR_WINDOW};
    }
    if (flags & BF_FLAT) {
        return outer ? EdgeColors{COLOR_BTNSHADOW, COLOR_BTNSHADOW}
                     : EdgeColors{COLOR_BTNFACE, COLOR_BTNFACE};
    }
    // A soft edge trades the top-left colours of its outer and inner borders.
    bool outerShade = outer != ((flags & BF_SOFT) != 0);
    if (edge & raised) {
        return EdgeColors{outerShade ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT,
                          outer ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW};
    }
    return EdgeColors{outerShade ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW,
                      outer ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT};
}

// One pixel wide sides inside `rect` (surface coordinates); the bottom and
// right sides take the corners they share with the top and left ones.
void DrawBorder(const raster::Target& target, const RECT& rect, UINT flags,
                const EdgeColors& colors) {
    Pixel topLeft = ToPixel(GetSysColor(colors.topLeft));
    Pixel bottomRight = ToPixel(GetSysColor(colors.bottomRight));
    LONG right = flags & BF_RIGHT ? rect.right - 1 : rect.right;
    LONG bottom = flags & BF_BOTTOM ? rect.bottom - 1 : rect.bottom;
    if (flags & BF_TOP) {
        raster::FillRect(target, {rect.left, rect.top, right, rect.top + 1}, topLeft);
    }
    if (flags & BF_LEFT) {
        raster::FillRect(target, {rect.left, rect.top, rect.left + 1, bottom}, topLeft);
    }
    if (flags & BF_BOTTOM) {
        raster::FillRect(target, {rect.left, rect.bottom - 1, rect.right, rect.bottom},
                         bottomRight);
    }
    if (flags & BF_RIGHT) {
        raster::FillRect(target, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    }
}

RECT Inset(const RECT& rect, UINT flags) {
    return {rect.left + (flags & BF_LEFT ? 1 : 0), rect.top + (flags & BF_TOP ? 1 : 0),
            rect.right - (flags & BF_RIGHT ? 1 : 0), rect.bottom - (flags & BF_BOTTOM ? 1 : 0)};
}

} // namespace

} // namespace platform::gdi

using namespace platform::gdi;

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* context = FindDC(dc);
    const BrushData* data = BrushOf(brush);
    if (!context || !rect || !data) {
        return 0;
    }
    FillWithBrush(*context, ToSurface(*context, Normalized(*rect)), *data, R2_COPYPEN);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* context = FindDC(dc);
    const BrushData* data = BrushOf(brush);
    if (!context || !rect || !data) {
        return 0;
    }
    RECT r = ToSurface(*context, Normalized(*rect));
    if (r.left >= r.right || r.top >= r.bottom) {
        return 1;
    }
    for (const RECT& side :
         {RECT{r.left, r.top, r.right, r.top + 1}, RECT{r.left, r.bottom - 1, r.right, r.bottom},
          RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1},
          RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}}) {
        FillWithBrush(*context, side, *data, R2_COPYPEN);
    }
    return 1;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    RECT logical{x, y, Saturate(static_cast<long long>(x) + width),
                 Saturate(static_cast<long long>(y) + height)};
    RECT rect = ToSurface(*context, Normalized(logical));
    const BrushData* brush = SelectedAs<BrushData>(context->attributes.brush);
    raster::Target target = TargetOf(*context, R2_COPYPEN);
    switch (rop) {
    case PATCOPY:
        if (brush) {
            FillWithBrush(*context, rect, *brush, R2_COPYPEN);
        }
        return TRUE;
    case PATINVERT:
        if (brush) {
            FillWithBrush(*context, rect, *brush, R2_XORPEN);
        }
        return TRUE;
    case DSTINVERT:
        target.rop = R2_NOT;
        raster::FillRect(target, rect, 0);
        return TRUE;
    case BLACKNESS:
        raster::FillRect(target, rect, 0);
        return TRUE;
    case WHITENESS:
        raster::FillRect(target, rect, 0xFFFFFF);
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

// The source raster operations: what a destination pixel becomes from the
// source pixel and itself; nothing for an operation without a source.
std::optional<Pixel (*)(Pixel, Pixel)> SourceOperation(DWORD rop) {
    switch (rop) {
    case SRCCOPY:
        return [](Pixel source, Pixel) { return source; };
    case SRCPAINT:
        return [](Pixel source, Pixel destination) { return source | destination; };
    case SRCAND:
        return [](Pixel source, Pixel destination) { return source & destination; };
    case SRCINVERT:
        return [](Pixel source, Pixel destination) { return (source ^ destination) & 0xFFFFFFu; };
    case NOTSRCCOPY:
        return [](Pixel source, Pixel) { return ~source & 0xFFFFFFu; };
    default:
        return std::nullopt;
    }
}

} // namespace

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
    std::optional<Pixel (*)(Pixel, Pixel)> combine = SourceOperation(rop);
    if (!combine) {
        return PatBlt(dc, x, y, width, height, rop);
    }
    DeviceContext* target = FindDC(dc);
    DeviceContext* from = FindDC(source);
    if (!target || !from || width < 0 || height < 0) {
        return FALSE;
    }
    const POINT corner = ToSurface(*target, x, y);
    const RECT area{corner.x, corner.y, Saturate(static_cast<long long>(corner.x) + width),
                    Saturate(static_cast<long long>(corner.y) + height)};
    const Region reach = Drawable(*target).Intersect(Region(area));
    if (reach.IsEmpty()) {
        return TRUE;
    }
    // What will be written is read first, whole: source and destination may
    // overlap.
    const RECT box = reach.Bounds();
    const LONG boxWidth = box.right - box.left;
    const POINT sourceCorner = ToSurface(*from, sourceX, sourceY);
    auto sourcePoint = [&](LONG px, LONG py) {
        return POINT{Saturate(static_cast<long long>(sourceCorner.x) + (px - corner.x)),
                     Saturate(static_cast<long long>(sourceCorner.y) + (py - corner.y))};
    };
    std::vector<std::optional<Pixel>> block(static_cast<std::size_t>(boxWidth) *
                                            (box.bottom - box.top));
    for (LONG py = box.top; py < box.bottom; ++py) {
        for (LONG px = box.left; px < box.right; ++px) {
            block[static_cast<std::size_t>(py - box.top) * boxWidth + (px - box.left)] =
                ReadThrough(*from, sourcePoint(px, py));
        }
    }
    Surface& surface = *target->surface;
    for (const RECT& part : reach.Rects()) {
        for (LONG py = part.top; py < part.bottom; ++py) {
            Pixel* line = surface.Row(py);
            for (LONG px = part.left; px < part.right; ++px) {
                const std::optional<Pixel>& read =
                    block[static_cast<std::size_t>(py - box.top) * boxWidth + (px - box.left)];
                if (read) {
                    line[px] = (*combine)(*read, line[px]);
                }
            }
        }
    }
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    POINT points[] = {context->attributes.position, {x, y}};
    DrawPolyline(*context, points, 2);
    context->attributes.position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    DeviceContext* context = FindDC(dc);
    if (!context || !points || count < 2) {
        return FALSE;
    }
    DrawPolyline(*context, points, static_cast<std::size_t>(count));
    return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylineCount) {
    DeviceContext* context = FindDC(dc);
    if (!context || !points || !counts || polylineCount == 0) {
        return FALSE;
    }
    for (DWORD i = 0; i < polylineCount; ++i) {
        if (counts[i] < 2) {
            return FALSE;
        }
    }
    for (DWORD i = 0; i < polylineCount; ++i) {
        DrawPolyline(*context, points, counts[i]);
        points += counts[i];
    }
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    RECT r = Normalized({Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)});
    if (static_cast<long long>(r.right) - r.left < 2 ||
        static_cast<long long>(r.bottom) - r.top < 2) {
        return TRUE;
    }
    const PenData* pen = SelectedAs<PenData>(context->attributes.pen);
    const BrushData* brush = SelectedAs<BrushData>(context->attributes.brush);
    bool outlined = pen && pen->Dash() != PS_NULL;
    RECT inside = outlined ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                           : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
    if (brush) {
        FillWithBrush(*context, ToSurface(*context, inside), *brush, context->attributes.rop2);
    }
    POINT outline[] = {{r.left, r.top},
                       {r.right - 1, r.top},
                       {r.right - 1, r.bottom - 1},
                       {r.left, r.bottom - 1},
                       {r.left, r.top}};
    DrawPolyline(*context, outline, 5);
    return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    DeviceContext* context = FindDC(dc);
    if (!context || !rect) {
        return FALSE;
    }
    // Every other pixel of the frame inverted, so a second call restores it.
    static const raster::Pattern kDots{{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
    RECT r = ToSurface(*context, Normalized(*rect));
    if (r.left >= r.right || r.top >= r.bottom) {
        return TRUE;
    }
    std::vector<RECT> sides = {{r.left, r.top, r.right, r.top + 1}};
    if (r.bottom - 1 > r.top) {
        sides.push_back({r.left, r.bottom - 1, r.right, r.bottom});
    }
    sides.push_back({r.left, r.top + 1, r.left + 1, r.bottom - 1});
    if (r.right - 1 > r.left) {
        sides.push_back({r.right - 1, r.top + 1, r.right, r.bottom - 1});
    }
    raster::Target target = TargetOf(*context, R2_XORPEN);
    for (const RECT& side : sides) {
        raster::FillPattern(target, side, kDots, context->origin, 0xFFFFFF, nullptr);
    }
    return TRUE;
}

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
    DeviceContext* context = FindDC(dc);
    if (!context || !rect) {
        return FALSE;
    }
    raster::Target target = TargetOf(*context, R2_COPYPEN);
    RECT logical{Saturate(rect->left), Saturate(rect->top), Saturate(rect->right),
                 Saturate(rect->bottom)};
    for (bool outer : {true, false}) {
        if (auto colors = BorderColors(edge, flags, outer)) {
            DrawBorder(target, ToSurface(*context, logical), flags, *colors);
            logical = Inset(logical, flags);
        }
    }
    if (flags & BF_MIDDLE) {
        int face = flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE;
        raster::FillRect(target, ToSurface(*context, logical), ToPixel(GetSysColor(face)));
    }
    if (flags & BF_ADJUST) {
        *rect = logical;
    }
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    DeviceContext* context = FindDC(dc);
    const IconImage* image = IconOf(icon);
    if (!context || !image) {
        return FALSE;
    }
    POINT at = ToSurface(*context, x, y);
    raster::Target target = TargetOf(*context, R2_COPYPEN);
    raster::BlendImage(target, at.x, at.y, image->pixels.data(), image->width, image->height);
    if (!image->inverts.empty()) {
        raster::InvertMasked(target, at.x, at.y, image->inverts.data(), image->width,
                             image->height);
    }
    return TRUE;
}

namespace platform::gdi {

HICON CreateIconHandle(IconImage image) {
    const auto count = static_cast<std::size_t>(image.width) * image.height;
    if (image.width <= 0 || image.height <= 0 || image.width > 256 || image.height > 256 ||
        image.pixels.size() != count || (!image.inverts.empty() && image.inverts.size() != count) ||
        image.hotSpot.x < 0 || image.hotSpot.x >= image.width || image.hotSpot.y < 0 ||
        image.hotSpot.y >= image.height) {
        return nullptr;
    }
    return reinterpret_cast<HICON>(
        Ctx().Gdi().icons.Add(std::make_unique<IconImage>(std::move(image))));
}

const IconImage* IconOf(HICON icon) {
    return Ctx().Gdi().icons.Find(reinterpret_cast<std::uintptr_t>(icon));
}

bool DestroyIconHandle(HICON icon) {
    return Ctx().Gdi().icons.Remove(reinterpret_cast<std::uintptr_t>(icon));
}

} // namespace platform::gdi
