#pragma once
// The gdi part of the platform context: device contexts, pens, brushes, fonts
// and regions, the system colours and the screen surface.

#include "Icon.h"
#include "Region.h"
#include "Surface.h"
#include "WindowDC.h"

#include "../core/Context.h"
#include "../core/HandleTable.h"

#include <array>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace platform::gdi {

class FontFace;
class TextEngine;

struct PenData {
    UINT style = PS_SOLID; // the PS_ style with its type, end cap and join bits
    int width = 1;
    COLORREF color = 0;
    // Made by ExtCreatePen: GetObjectA then reads an EXTLOGPEN.
    bool extended = false;

    UINT Dash() const { return style & PS_STYLE_MASK; }
};

struct BrushData {
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
};

struct FontData {
    LOGFONTA logFont{};
    // The installed face that the logical font maps to, found on first use.
    std::shared_ptr<FontFace> face;
};

// A gdi object behind an HGDIOBJ. The variant's alternative is its kind, so a
// brush is never read as a pen.
struct GdiObject {
    std::variant<PenData, BrushData, FontData, Region> data;
    bool stock = false;
    // Device contexts (and their saved states) that hold the object selected.
    int selections = 0;
    // DeleteObject of a selected object waits for the last deselection.
    bool deletePending = false;
};

struct DcAttributes {
    POINT viewportOrigin{0, 0};
    POINT windowOrigin{0, 0};
    // In device coordinates; none means no clip region.
    std::optional<Region> clip;
    POINT position{0, 0};
    COLORREF textColor = 0;
    COLORREF backgroundColor = 0xFFFFFF;
    int backgroundMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    std::uintptr_t pen = 0;
    std::uintptr_t brush = 0;
    std::uintptr_t font = 0;
};

struct DeviceContext {
    std::shared_ptr<Surface> surface;
    POINT origin{0, 0};
    Region visible;
    DcAttributes attributes;
    std::vector<DcAttributes> saved;
    bool memory = false;
    // For a DC of the screen: what the windows show at a point of the screen,
    // which reads give before the screen surface's own pixel.
    ScreenReader showing;
    // What the DC may draw on, in surface coordinates; made on demand.
    std::optional<Region> drawable;
};

struct GdiState {
    GdiState();
    ~GdiState();

    // Tags 16 and up belong to gdi.
    HandleTable<GdiObject> objects{16};
    HandleTable<DeviceContext> dcs{17};
    HandleTable<IconImage> icons{18};
    // Stock objects by GetStockObject index; 0 where there is none.
    std::array<std::uintptr_t, DC_PEN + 1> stock{};
    std::array<COLORREF, 31> systemColors{};
    std::array<std::uintptr_t, 31> systemColorBrushes{};
    std::shared_ptr<Surface> screen;
    int pixelsPerInch = 96;
    std::unique_ptr<TextEngine> text;
};

// The object behind a handle, or null when it is not live (or waits for its
// deletion).
GdiObject* FindObject(HGDIOBJ handle);
template <class T> T* FindObjectAs(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    return object ? std::get_if<T>(&object->data) : nullptr;
}
inline DeviceContext* FindDC(HDC dc) {
    return Ctx().Gdi().dcs.Find(reinterpret_cast<std::uintptr_t>(dc));
}

// Adds an object to the table; 0 when no handle is left.
std::uintptr_t AddObject(GdiObject object);

// Pens, brushes, fonts and regions made by the program, stock objects aside.
std::size_t CountCreatedObjects(const GdiState& state);

// A DC holding the object keeps it alive; the last release of an object that
// DeleteObject was asked to free frees it.
void RetainSelection(std::uintptr_t handle);
void ReleaseSelection(std::uintptr_t handle);

// The object a DC holds selected: found even while its deletion waits.
// Keeps far-out coordinates from overflowing on their way to the surface; the
// clip cuts them to the surface anyway.
inline LONG Saturate(long long value) {
    constexpr long long kLimit = 1LL << 30;
    return static_cast<LONG>(value < -kLimit ? -kLimit : value > kLimit ? kLimit : value);
}
// Logical to device coordinates: the window origin maps to the viewport origin.
inline POINT ToDevice(const DcAttributes& attributes, LONG x, LONG y) {
    return {Saturate(static_cast<long long>(x) - attributes.windowOrigin.x +
                     attributes.viewportOrigin.x),
            Saturate(static_cast<long long>(y) - attributes.windowOrigin.y +
                     attributes.viewportOrigin.y)};
}
// Logical to surface coordinates.
inline POINT ToSurface(const DeviceContext& dc, LONG x, LONG y) {
    POINT device = ToDevice(dc.attributes, x, y);
    return {Saturate(static_cast<long long>(device.x) + dc.origin.x),
            Saturate(static_cast<long long>(device.y) + dc.origin.y)};
}
inline RECT ToSurface(const DeviceContext& dc, const RECT& rect) {
    POINT topLeft = ToSurface(dc, rect.left, rect.top);
    POINT bottomRight = ToSurface(dc, rect.right, rect.bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
// The pixels of the surface the DC may change: the surface, the visible
// region and the clip region together.
const Region& Drawable(DeviceContext& dc);
// What a read through the DC gives at a surface point: what the screen shows
// there for a DC of the screen, else the surface's own pixel; nothing outside
// the surface.
std::optional<Pixel> ReadThrough(const DeviceContext& dc, POINT at);
inline void ForgetDrawable(DeviceContext& dc) {
    dc.drawable.reset();
}

inline GdiObject* SelectedObject(std::uintptr_t handle) {
    return Ctx().Gdi().objects.Find(handle);
}
template <class T> const T* SelectedAs(std::uintptr_t handle) {
    GdiObject* object = SelectedObject(handle);
    return object ? std::get_if<T>(&object->data) : nullptr;
}

} // namespace platform::gdi
