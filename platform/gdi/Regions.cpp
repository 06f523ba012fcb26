// Region objects and the clip region of a device context.

#include "GdiState.h"
#include "WindowDC.h"

#include "../core/Context.h"

#include <algorithm>

namespace platform::gdi {

Region* RegionOf(HRGN region) {
    return FindObjectAs<Region>(region);
}

HRGN CreateRegionHandle(const Region& region) {
    return reinterpret_cast<HRGN>(AddObject(GdiObject{region}));
}

namespace {

RECT Ordered(int left, int top, int right, int bottom) {
    // Windows accepts the corners in any order.
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

Region Combined(const Region& a, const Region& b, int mode) {
    switch (mode) {
    case RGN_AND:
        return a.Intersect(b);
    case RGN_OR:
        return a.Union(b);
    case RGN_XOR:
        return a.Xor(b);
    case RGN_DIFF:
        return a.Subtract(b);
    default:
        return b; // RGN_COPY
    }
}

// What "no clip region" stands for when a clip operation needs a region: the
// whole surface, in the DC's own coordinates, as Windows takes the window's
// area. Anything wider would no longer fit once moved to the DC's origin.
Region Everything(const DeviceContext& dc) {
    Region area(dc.surface->Bounds());
    Region moved = area;
    return moved.Offset(-dc.origin.x, -dc.origin.y) ? moved : area;
}

RECT DeviceRect(const DeviceContext& dc, int left, int top, int right, int bottom) {
    RECT logical = Ordered(left, top, right, bottom);
    POINT topLeft = ToDevice(dc.attributes, logical.left, logical.top);
    POINT bottomRight = ToDevice(dc.attributes, logical.right, logical.bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

int SetClip(DeviceContext& dc, std::optional<Region> clip) {
    dc.attributes.clip = std::move(clip);
    ForgetDrawable(dc);
    return Drawable(dc).Kind();
}

} // namespace

} // namespace platform::gdi

using namespace platform::gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return CreateRegionHandle(Region(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    Region* target = RegionOf(region);
    if (!target) {
        return FALSE;
    }
    *target = Region(Ordered(left, top, right, bottom));
    return TRUE;
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
    Region* target = RegionOf(destination);
    const Region* first = RegionOf(source1);
    const Region* second = mode == RGN_COPY ? first : RegionOf(source2);
    if (!target || !first || !second || mode < RGN_AND || mode > RGN_COPY) {
        return ERROR;
    }
    *target = Combined(*first, *second, mode);
    return target->Kind();
}

int OffsetRgn(HRGN region, int dx, int dy) {
    Region* target = RegionOf(region);
    if (!target || !target->Offset(dx, dy)) {
        return ERROR;
    }
    return target->Kind();
}

int GetRgnBox(HRGN region, LPRECT rect) {
    const Region* source = RegionOf(region);
    if (!source || !rect) {
        return ERROR;
    }
    *rect = source->Bounds();
    return source->Kind();
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const Region* source = RegionOf(region);
    return source && source->Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
    const Region* source = RegionOf(region);
    if (!source || !rect) {
        return FALSE;
    }
    return source->Intersects(Ordered(rect->left, rect->top, rect->right, rect->bottom)) ? TRUE
                                                                                         : FALSE;
}

BOOL EqualRgn(HRGN region1, HRGN region2) {
    const Region* first = RegionOf(region1);
    const Region* second = RegionOf(region2);
    if (!first || !second) {
        return static_cast<BOOL>(ERROR);
    }
    return *first == *second ? TRUE : FALSE;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return ERROR;
    }
    Region rect(DeviceRect(*context, left, top, right, bottom));
    const auto& clip = context->attributes.clip;
    return SetClip(*context, clip ? clip->Intersect(rect) : rect);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return ERROR;
    }
    Region rect(DeviceRect(*context, left, top, right, bottom));
    const auto& clip = context->attributes.clip;
    return SetClip(*context, (clip ? *clip : Everything(*context)).Subtract(rect));
}

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
    DeviceContext* context = FindDC(dc);
    if (!context || mode < RGN_AND || mode > RGN_COPY) {
        return ERROR;
    }
    const Region* source = RegionOf(region);
    if (!source) {
        // Only RGN_COPY takes no region: it removes the clip region.
        return region || mode != RGN_COPY ? ERROR : SetClip(*context, std::nullopt);
    }
    const auto& clip = context->attributes.clip;
    return SetClip(*context, Combined(clip ? *clip : Everything(*context), *source, mode));
}

int SelectClipRgn(HDC dc, HRGN region) {
    return ExtSelectClipRgn(dc, region, RGN_COPY);
}

int GetClipRgn(HDC dc, HRGN region) {
    DeviceContext* context = FindDC(dc);
    Region* target = RegionOf(region);
    if (!context || !target) {
        return -1;
    }
    if (!context->attributes.clip) {
        return 0;
    }
    *target = *context->attributes.clip;
    return 1;
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return ERROR;
    }
    const auto& clip = context->attributes.clip;
    if (!clip) {
        return NULLREGION;
    }
    Region moved = *clip;
    moved.Offset(dx, dy);
    return SetClip(*context, moved);
}

int GetClipBox(HDC dc, LPRECT rect) {
    DeviceContext* context = FindDC(dc);
    if (!context || !rect) {
        return ERROR;
    }
    const Region& drawable = Drawable(*context);
    RECT bounds = drawable.Bounds();
    // Back from surface to logical coordinates.
    const DcAttributes& attributes = context->attributes;
    long long dx = static_cast<long long>(attributes.windowOrigin.x) - attributes.viewportOrigin.x -
                   context->origin.x;
    long long dy = static_cast<long long>(attributes.windowOrigin.y) - attributes.viewportOrigin.y -
                   context->origin.y;
    *rect = drawable.IsEmpty() ? RECT{0, 0, 0, 0}
                               : RECT{Saturate(bounds.left + dx), Saturate(bounds.top + dy),
                                      Saturate(bounds.right + dx), Saturate(bounds.bottom + dy)};
    return drawable.Kind();
}

BOOL RectVisible(HDC dc, const RECT* rect) {
    DeviceContext* context = FindDC(dc);
    if (!context || !rect) {
        return FALSE;
    }
    RECT onSurface = ToSurface(*context, Ordered(rect->left, rect->top, rect->right, rect->bottom));
    return Drawable(*context).Intersects(onSurface) ? TRUE : FALSE;
}

BOOL PtVisible(HDC dc, int x, int y) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    POINT at = ToSurface(*context, x, y);
    return Drawable(*context).Contains(at.x, at.y) ? TRUE : FALSE;
}
