// Device contexts: creation over surfaces, saved states, origins, the current
// position, colours, modes and device capabilities.

#include "GdiState.h"
#include "WindowDC.h"

#include "../core/Context.h"
#include "platform/Testing.h"

namespace platform::gdi {

namespace {

GdiState& State() {
    return Ctx().Gdi();
}

void RetainAll(const DcAttributes& attributes) {
    RetainSelection(attributes.pen);
    RetainSelection(attributes.brush);
    RetainSelection(attributes.font);
}

void ReleaseAll(const DcAttributes& attributes) {
    ReleaseSelection(attributes.pen);
    ReleaseSelection(attributes.brush);
    ReleaseSelection(attributes.font);
}

HDC AddDC(std::shared_ptr<Surface> surface, POINT origin, const Region& visible, bool memory) {
    if (!surface) {
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = std::move(surface);
    dc->origin = origin;
    dc->visible = visible;
    dc->memory = memory;
    const auto& stock = State().stock;
    dc->attributes.pen = stock[BLACK_PEN];
    dc->attributes.brush = stock[WHITE_BRUSH];
    dc->attributes.font = stock[SYSTEM_FONT];
    RetainAll(dc->attributes);
    return reinterpret_cast<HDC>(State().dcs.Add(std::move(dc)));
}

// Runs `change` on the DC's attributes; false for a bad handle.
template <class F> BOOL WithDC(HDC dc, F&& change) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    change(*context);
    return TRUE;
}

BOOL SetOrigin(HDC dc, POINT DcAttributes::*origin, int x, int y, LPPOINT previous) {
    return WithDC(dc, [&](DeviceContext& context) {
        if (previous) {
            *previous = context.attributes.*origin;
        }
        context.attributes.*origin = {x, y};
    });
}

BOOL GetOrigin(HDC dc, POINT DcAttributes::*origin, LPPOINT result) {
    if (!result) {
        return FALSE;
    }
    return WithDC(dc, [&](DeviceContext& context) { *result = context.attributes.*origin; });
}

} // namespace

const Region& Drawable(DeviceContext& dc) {
    if (!dc.drawable) {
        Region drawable = Region(dc.surface->Bounds()).Intersect(dc.visible);
        if (dc.attributes.clip) {
            Region clip = *dc.attributes.clip;
            if (clip.Offset(dc.origin.x, dc.origin.y)) {
                drawable = drawable.Intersect(clip);
            } else {
                drawable = Region();
            }
        }
        dc.drawable = std::move(drawable);
    }
    return *dc.drawable;
}

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& visible) {
    return AddDC(std::move(surface), origin, visible, false);
}

BOOL SetSurfaceDCVisible(HDC dc, POINT origin, const Region& visible) {
    return WithDC(dc, [&](DeviceContext& context) {
        context.origin = origin;
        context.visible = visible;
        ForgetDrawable(context);
    });
}

std::optional<Pixel> ReadThrough(const DeviceContext& dc, POINT at) {
    if (dc.showing) {
        if (std::optional<Pixel> shown = dc.showing(at)) {
            return shown;
        }
    }
    if (at.x < 0 || at.y < 0 || at.x >= dc.surface->Width() || at.y >= dc.surface->Height()) {
        return std::nullopt;
    }
    return dc.surface->At(at.x, at.y);
}

const Region* SurfaceDCVisible(HDC dc) {
    DeviceContext* context = FindDC(dc);
    return context != nullptr && !context->memory ? &context->visible : nullptr;
}

BOOL ReleaseSurfaceDC(HDC dc) {
    return DeleteDC(dc);
}

std::shared_ptr<Surface> ScreenSurface() {
    return State().screen;
}

void SetScreenSize(int width, int height) {
    State().screen->Resize(width, height);
}

HDC CreateScreenDC(ScreenReader showing) {
    std::shared_ptr<Surface> screen = State().screen;
    Region visible(screen->Bounds());
    HDC dc = AddDC(std::move(screen), {0, 0}, visible, false);
    if (DeviceContext* context = FindDC(dc)) {
        context->showing = std::move(showing);
    }
    return dc;
}

} // namespace platform::gdi

namespace platform {

HDC CreateMemorySurfaceDC(int width, int height, COLORREF fill) {
    auto surface = std::make_shared<gdi::Surface>(width, height, gdi::ToPixel(fill));
    gdi::Region visible(surface->Bounds());
    return gdi::AddDC(std::move(surface), {0, 0}, visible, true);
}

std::shared_ptr<gdi::Surface> SurfaceOf(HDC dc) {
    gdi::DeviceContext* context = gdi::FindDC(dc);
    return context ? context->surface : nullptr;
}

COLORREF ReadSurfacePixel(HDC dc, int x, int y) {
    gdi::DeviceContext* context = gdi::FindDC(dc);
    if (!context || x < 0 || y < 0 || x >= context->surface->Width() ||
        y >= context->surface->Height()) {
        return CLR_INVALID;
    }
    return gdi::ToColor(context->surface->At(x, y));
}

bool SaveSurfacePng(HDC dc, const std::string& path) {
    gdi::DeviceContext* context = gdi::FindDC(dc);
    return context && gdi::SavePng(*context->surface, path);
}

std::size_t CountDifferentPixels(HDC a, HDC b) {
    gdi::DeviceContext* first = gdi::FindDC(a);
    gdi::DeviceContext* second = gdi::FindDC(b);
    if (!first || !second) {
        return static_cast<std::size_t>(-1);
    }
    return gdi::CountDifferentPixels(*first->surface, *second->surface);
}

void SetScreenPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch > 0) {
        Ctx().Gdi().pixelsPerInch = pixelsPerInch;
    }
}

} // namespace platform

using namespace platform::gdi;

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !FindDC(dc)) {
        return nullptr;
    }
    auto surface = std::make_shared<Surface>(1, 1);
    Region visible(surface->Bounds());
    return AddDC(std::move(surface), {0, 0}, visible, true);
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    ReleaseAll(context->attributes);
    for (const DcAttributes& saved : context->saved) {
        ReleaseAll(saved);
    }
    return platform::Ctx().Gdi().dcs.Remove(reinterpret_cast<std::uintptr_t>(dc)) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC dc, int index) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return 0;
    }
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return State().pixelsPerInch;
    case HORZRES:
        return context->surface->Width();
    case VERTRES:
        return context->surface->Height();
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    default:
        return 0;
    }
}

int SaveDC(HDC dc) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return 0;
    }
    context->saved.push_back(context->attributes);
    RetainAll(context->attributes);
    return static_cast<int>(context->saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    // A negative number counts back from the newest saved state.
    int depth = static_cast<int>(context->saved.size());
    int level = savedDC < 0 ? depth + 1 + savedDC : savedDC;
    if (savedDC == 0 || level < 1 || level > depth) {
        return FALSE;
    }
    ReleaseAll(context->attributes);
    context->attributes = std::move(context->saved[level - 1]);
    for (int i = level; i < depth; ++i) {
        ReleaseAll(context->saved[i]);
    }
    context->saved.resize(level - 1);
    ForgetDrawable(*context);
    return TRUE;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous) {
    return SetOrigin(dc, &DcAttributes::viewportOrigin, x, y, previous);
}

BOOL GetViewportOrgEx(HDC dc, LPPOINT origin) {
    return GetOrigin(dc, &DcAttributes::viewportOrigin, origin);
}

BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return FALSE;
    }
    POINT origin = context->attributes.viewportOrigin;
    return SetViewportOrgEx(dc, Saturate(static_cast<long long>(origin.x) + dx),
                            Saturate(static_cast<long long>(origin.y) + dy), previous);
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous) {
    return SetOrigin(dc, &DcAttributes::windowOrigin, x, y, previous);
}

BOOL GetWindowOrgEx(HDC dc, LPPOINT origin) {
    return GetOrigin(dc, &DcAttributes::windowOrigin, origin);
}

BOOL LPtoDP(HDC dc, LPPOINT points, int count) {
    if (!points || count < 0) {
        return FALSE;
    }
    return WithDC(dc, [&](DeviceContext& context) {
        for (int i = 0; i < count; ++i) {
            points[i] = ToDevice(context.attributes, points[i].x, points[i].y);
        }
    });
}

BOOL DPtoLP(HDC dc, LPPOINT points, int count) {
    if (!points || count < 0) {
        return FALSE;
    }
    return WithDC(dc, [&](DeviceContext& context) {
        const DcAttributes& attributes = context.attributes;
        for (int i = 0; i < count; ++i) {
            points[i].x = Saturate(static_cast<long long>(points[i].x) + attributes.windowOrigin.x -
                                   attributes.viewportOrigin.x);
            points[i].y = Saturate(static_cast<long long>(points[i].y) + attributes.windowOrigin.y -
                                   attributes.viewportOrigin.y);
        }
    });
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return WithDC(dc, [&](DeviceContext& context) {
        if (previous) {
            *previous = context.attributes.position;
        }
        context.attributes.position = {x, y};
    });
}

BOOL GetCurrentPositionEx(HDC dc, LPPOINT position) {
    if (!position) {
        return FALSE;
    }
    return WithDC(dc, [&](DeviceContext& context) { *position = context.attributes.position; });
}

namespace {

template <class T> T Exchange(HDC dc, T DcAttributes::*field, T value, T failure) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return failure;
    }
    T previous = context->attributes.*field;
    context->attributes.*field = value;
    return previous;
}

template <class T> T Read(HDC dc, T DcAttributes::*field, T failure) {
    DeviceContext* context = FindDC(dc);
    return context ? context->attributes.*field : failure;
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return Exchange(dc, &DcAttributes::textColor, color & 0xFFFFFF, CLR_INVALID);
}

COLORREF GetTextColor(HDC dc) {
    return Read(dc, &DcAttributes::textColor, CLR_INVALID);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    return Exchange(dc, &DcAttributes::backgroundColor, color & 0xFFFFFF, CLR_INVALID);
}

COLORREF GetBkColor(HDC dc) {
    return Read(dc, &DcAttributes::backgroundColor, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return Exchange(dc, &DcAttributes::backgroundMode, mode, 0);
}

int GetBkMode(HDC dc) {
    return Read(dc, &DcAttributes::backgroundMode, 0);
}

int SetROP2(HDC dc, int mode) {
    if (mode < R2_BLACK || mode > R2_WHITE) {
        return 0;
    }
    return Exchange(dc, &DcAttributes::rop2, mode, 0);
}

int GetROP2(HDC dc) {
    return Read(dc, &DcAttributes::rop2, 0);
}

int GetMapMode(HDC dc) {
    return FindDC(dc) ? MM_TEXT : 0;
}

int GetGraphicsMode(HDC dc) {
    return FindDC(dc) ? GM_COMPATIBLE : 0;
}

UINT SetTextAlign(HDC dc, UINT align) {
    return Exchange(dc, &DcAttributes::textAlign, align & (TA_UPDATECP | TA_CENTER | TA_BASELINE),
                    GDI_ERROR);
}

UINT GetTextAlign(HDC dc) {
    return Read(dc, &DcAttributes::textAlign, GDI_ERROR);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return CLR_INVALID;
    }
    POINT at = ToSurface(*context, x, y);
    if (!Drawable(*context).Contains(at.x, at.y)) {
        return CLR_INVALID;
    }
    std::optional<Pixel> shown = ReadThrough(*context, at);
    return shown ? ToColor(*shown) : CLR_INVALID;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return CLR_INVALID;
    }
    POINT at = ToSurface(*context, x, y);
    if (!Drawable(*context).Contains(at.x, at.y)) {
        return CLR_INVALID;
    }
    context->surface->Set(at.x, at.y, ToPixel(color));
    return color & 0xFFFFFF;
}
