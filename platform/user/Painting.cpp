// Painting: update regions, WM_PAINT and the erase step, device contexts
// clipped as Windows clips windows, scrolling, and the classic frame.

#include "UserState.h"

#include "../gdi/WindowDC.h"
#include "../kernel/CodePage.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace platform::user {

namespace {

LONG Width(const RECT& r) {
    return r.right - r.left;
}
LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

RECT Offset(RECT r, LONG dx, LONG dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

Region Shifted(Region region, LONG dx, LONG dy) {
    region.Offset(dx, dy);
    return region;
}

// Where the window's top-left corner lies on its top-level window's surface.
POINT WindowOriginOnSurface(const Window& w) {
    POINT screen = WindowOriginOnScreen(w);
    const Window* top = Find(TopLevelOf(w.handle));
    return {screen.x - top->rect.left, screen.y - top->rect.top};
}

POINT ClientOriginOnSurface(const Window& w) {
    POINT origin = WindowOriginOnSurface(w);
    return {origin.x + w.client.left, origin.y + w.client.top};
}

RECT ClientOnSurface(const Window& w) {
    POINT origin = ClientOriginOnSurface(w);
    return {origin.x, origin.y, origin.x + Width(w.client), origin.y + Height(w.client)};
}

RECT WindowOnSurface(const Window& w) {
    POINT origin = WindowOriginOnSurface(w);
    return {origin.x, origin.y, origin.x + Width(w.rect), origin.y + Height(w.rect)};
}

Region WithoutSiblingsAbove(Region area, const Window& w) {
    const Window* parent = Find(w.parent);
    if (parent == nullptr) {
        return area;
    }
    for (HWND sibling : parent->children) {
        if (sibling == w.handle) {
            break;
        }
        const Window* s = Find(sibling);
        if (s->style & WS_VISIBLE) {
            area = area.Subtract(Region(WindowOnSurface(*s)));
        }
    }
    return area;
}

enum class Area { Client, Whole };

// What the window may draw on, on its top-level surface: its area, inside every
// ancestor's client area, without the siblings above it when it (or the DC)
// clips siblings, and without its children when it clips children.
Region VisibleRegion(const Window& w, Area area, bool clipSiblings, bool clipChildren) {
    Region visible(area == Area::Client ? ClientOnSurface(w) : WindowOnSurface(w));
    if (clipSiblings || (w.style & WS_CLIPSIBLINGS)) {
        visible = WithoutSiblingsAbove(visible, w);
    }
    for (const Window* a = Find(w.parent); a; a = Find(a->parent)) {
        visible = visible.Intersect(Region(ClientOnSurface(*a)));
        if (a->style & WS_CLIPSIBLINGS) {
            visible = WithoutSiblingsAbove(visible, *a);
        }
    }
    if (clipChildren || (w.style & WS_CLIPCHILDREN)) {
        // A child shows only inside this window's client area, so a child
        // reaching past it leaves the frame and the scroll bars to this window.
        const Region client(ClientOnSurface(w));
        for (HWND child : w.children) {
            const Window* c = Find(child);
            if (c->style & WS_VISIBLE) {
                visible = visible.Subtract(Region(WindowOnSurface(*c)).Intersect(client));
            }
        }
    }
    return visible;
}

std::map<HDC, HWND>& HandedOut() {
    return State().handedOutDCs;
}

HDC MakeDC(const Window& w, Area area, const Region& visible) {
    const Window* top = Find(TopLevelOf(w.handle));
    if (top == nullptr || !top->surface) {
        return nullptr;
    }
    POINT origin = area == Area::Client ? ClientOriginOnSurface(w) : WindowOriginOnSurface(w);
    HDC dc = gdi::CreateSurfaceDC(top->surface, origin, visible);
    if (dc) {
        HandedOut()[dc] = w.handle;
    }
    return dc;
}

} // namespace

void PlaceOnScreen(const Window& w) {
    if (w.parent || !w.backendSurface) {
        return;
    }
    using Showing = Backend::Showing;
    Showing showing = !(w.style & WS_VISIBLE)   ? Showing::Hidden
                      : (w.style & WS_MINIMIZE) ? Showing::Minimized
                                                : Showing::Shown;
    State().backend->PlaceSurface(w.backendSurface, w.rect, InsideFrame(w), showing);
}

void NameOnScreen(const Window& w) {
    if (w.backendSurface) {
        State().backend->NameSurface(w.backendSurface, Utf8FromAnsi(w.text.c_str()));
    }
}

void PrepareSurface(Window& w) {
    int width = Width(w.rect);
    int height = Height(w.rect);
    if (!w.surface) {
        w.backendSurface = State().backend->OpenSurface(w.handle, w.rect);
        w.surface = std::make_shared<Surface>(width, height, 0xFFFFFF,
                                              State().backend->PixelMemoryFor(w.backendSurface));
        NameOnScreen(w);
        DescribeOnScreen(w.handle);
    } else if (w.surface->Width() != width || w.surface->Height() != height) {
        w.surface->Resize(width, height);
    }
    PlaceOnScreen(w);
}

void DiscardPainting(Window& w) {
    w.update = Region();
    w.erasePending = false;
    w.framePending = false;
    w.internalPaint = false;
    for (HWND child : w.children) {
        if (Window* c = Find(child)) {
            DiscardPainting(*c);
        }
    }
}

namespace {

// Adds the part of `area` (client coordinates) inside the client area to the
// window's update region; false for a window that shows nothing.
bool AddToUpdate(HWND window, const Region& area, bool erase) {
    Window* w = Find(window);
    if (w == nullptr || !IsVisibleChain(window)) {
        return false;
    }
    RECT client{0, 0, Width(w->client), Height(w->client)};
    Region added = area.ClippedTo(client);
    if (!added.IsEmpty()) {
        w->update.Include(added);
        w->erasePending = w->erasePending || erase;
        State().arrivedSinceLook |= QS_PAINT;
    }
    return true;
}

// A DC of the client area clipped to the update region.
HDC UpdateAreaDC(const Window& w) {
    POINT origin = ClientOriginOnSurface(w);
    Region visible = VisibleRegion(w, Area::Client, false, false)
                         .Intersect(Shifted(w.update, origin.x, origin.y));
    return MakeDC(w, Area::Client, visible);
}

// The background of the update region is erased (WM_ERASEBKGND); the paint
// stays pending.
void EraseUpdateArea(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || !w->erasePending || w->update.IsEmpty()) {
        return;
    }
    w->erasePending = false;
    HDC dc = UpdateAreaDC(*w);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(window, dc);
}

} // namespace

void EraseNow(HWND window, EraseChildren children) {
    Window* w = Find(window);
    if (w == nullptr || !IsVisibleChain(window)) {
        return;
    }
    if (w->framePending) {
        w->framePending = false;
        SendMessageA(window, WM_NCPAINT, 1, 0);
    }
    EraseUpdateArea(window);
    if ((w = Find(window)) == nullptr || children == EraseChildren::None ||
        (children == EraseChildren::WhereClipped && !(w->style & WS_CLIPCHILDREN))) {
        return;
    }
    std::vector<HWND> list = w->children;
    for (HWND child : list) {
        EraseNow(child, children);
    }
}

void InvalidateArea(HWND window, const Region& area, bool erase, bool children) {
    if (!AddToUpdate(window, area, erase)) {
        return;
    }
    Window* w = Find(window);
    if (!children && (w->style & WS_CLIPCHILDREN)) {
        return;
    }
    for (HWND child : w->children) {
        Window* c = Find(child);
        if (!(c->style & WS_VISIBLE) || !area.Intersects(c->rect)) {
            continue;
        }
        if (area.Intersect(Region(c->rect))
                .Subtract(Region(Offset(c->client, c->rect.left, c->rect.top)))
                .IsEmpty() == false) {
            c->framePending = true;
        }
        InvalidateArea(
            child, Shifted(area, -(c->rect.left + c->client.left), -(c->rect.top + c->client.top)),
            erase, children);
    }
}

bool HasPaintPending(HWND window) {
    Window* w = Find(window);
    return w && (!w->update.IsEmpty() || w->internalPaint || w->framePending);
}

namespace {
HWND FirstToPaint(HWND window) {
    Window* w = Find(window);
    if (!(w->style & WS_VISIBLE)) {
        return nullptr;
    }
    if (HasPaintPending(window)) {
        return window;
    }
    for (HWND child : w->children) {
        if (HWND found = FirstToPaint(child)) {
            return found;
        }
    }
    return nullptr;
}
} // namespace

HWND FindWindowToPaint(HWND filter) {
    if (filter && filter != reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
        return Find(filter) && IsVisibleChain(filter) ? FirstToPaint(filter) : nullptr;
    }
    for (HWND top : State().topLevels) {
        if (HWND found = FirstToPaint(top)) {
            return found;
        }
    }
    return nullptr;
}

HBRUSH BrushOf(HBRUSH classBrush) {
    auto value = reinterpret_cast<std::uintptr_t>(classBrush);
    // A class brush of COLOR_ index + 1 names the system colour's brush.
    if (value > 0 && value <= 31) {
        return GetSysColorBrush(static_cast<int>(value - 1));
    }
    return classBrush;
}

} // namespace platform::user

using namespace platform::user;

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    RECT area = rect ? *rect : RECT{0, 0, Width(w->client), Height(w->client)};
    InvalidateArea(window, Region(area), erase != FALSE, false);
    return TRUE;
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    if (region == nullptr) {
        return InvalidateRect(window, nullptr, erase);
    }
    Region* area = platform::gdi::RegionOf(region);
    if (area == nullptr) {
        return FALSE;
    }
    InvalidateArea(window, *area, erase != FALSE, false);
    return TRUE;
}

namespace {
void Validate(HWND window, const Region* area) {
    Window* w = Find(window);
    if (area == nullptr) {
        w->update = Region();
        w->erasePending = false;
        w->internalPaint = false;
        return;
    }
    w->update = w->update.Subtract(*area);
    if (w->update.IsEmpty()) {
        w->erasePending = false;
    }
}
} // namespace

BOOL ValidateRect(HWND window, const RECT* rect) {
    if (!Find(window)) {
        return Fail(1400, FALSE);
    }
    if (rect == nullptr) {
        Validate(window, nullptr);
    } else {
        Region area(*rect);
        Validate(window, &area);
    }
    return TRUE;
}

BOOL ValidateRgn(HWND window, HRGN region) {
    if (!Find(window)) {
        return Fail(1400, FALSE);
    }
    Validate(window, region ? platform::gdi::RegionOf(region) : nullptr);
    return TRUE;
}

BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    bool pending = !w->update.IsEmpty();
    if (rect) {
        *rect = w->update.Bounds();
    }
    if (pending && erase) {
        EraseUpdateArea(window);
    }
    return pending;
}

int GetUpdateRgn(HWND window, HRGN region, BOOL erase) {
    Window* w = Find(window);
    Region* target = platform::gdi::RegionOf(region);
    if (w == nullptr || target == nullptr) {
        return 0;
    }
    *target = w->update;
    int kind = target->Kind();
    GetUpdateRect(window, nullptr, erase);
    return kind;
}

namespace {
void PaintNow(HWND window, bool children) {
    Window* w = Find(window);
    if (w == nullptr || !IsVisibleChain(window)) {
        return;
    }
    if (w->framePending && w->update.IsEmpty() && !w->internalPaint) {
        w->framePending = false;
        SendMessageA(window, WM_NCPAINT, 1, 0);
    }
    if (Find(window) && HasPaintPending(window)) {
        SendMessageA(window, WM_PAINT, 0, 0);
    }
    if (!children || (w = Find(window)) == nullptr) {
        return;
    }
    std::vector<HWND> list = w->children;
    for (HWND child : list) {
        PaintNow(child, true);
    }
}
} // namespace

BOOL UpdateWindow(HWND window) {
    if (!Find(window)) {
        return Fail(1400, FALSE);
    }
    PaintNow(window, true);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* update, HRGN region, UINT flags) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, FALSE);
    }
    Region area(RECT{0, 0, Width(w->client), Height(w->client)});
    if (region) {
        if (Region* given = platform::gdi::RegionOf(region)) {
            area = *given;
        }
    } else if (update) {
        area = Region(*update);
    }
    bool allChildren = (flags & RDW_ALLCHILDREN) != 0;
    bool children = !(flags & RDW_NOCHILDREN);
    if ((flags & RDW_INVALIDATE) && !children) {
        AddToUpdate(window, area, (flags & RDW_ERASE) != 0);
        if (flags & RDW_FRAME) {
            w->framePending = true;
        }
    } else if (flags & RDW_INVALIDATE) {
        InvalidateArea(window, area, (flags & RDW_ERASE) != 0, allChildren);
        if (flags & RDW_FRAME) {
            w->framePending = true;
        }
    }
    if (flags & RDW_INTERNALPAINT) {
        w->internalPaint = true;
    }
    if (flags & RDW_VALIDATE) {
        Validate(window, &area);
        if (flags & RDW_NOFRAME) {
            w->framePending = false;
        }
    }
    if (flags & RDW_UPDATENOW) {
        PaintNow(window, children);
    } else if (flags & RDW_ERASENOW) {
        EraseNow(window, !children     ? EraseChildren::None
                         : allChildren ? EraseChildren::All
                                       : EraseChildren::WhereClipped);
    }
    return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    Window* w = Find(window);
    if (w == nullptr || paint == nullptr) {
        return Fail(1400, HDC{nullptr});
    }
    if (w->framePending) {
        w->framePending = false;
        SendMessageA(window, WM_NCPAINT, 1, 0);
        if ((w = Find(window)) == nullptr) {
            return nullptr;
        }
    }
    bool erase = w->erasePending;
    HDC dc = UpdateAreaDC(*w);
    *paint = PAINTSTRUCT{};
    paint->rcPaint = w->update.Bounds();
    w->update = Region();
    w->erasePending = false;
    w->internalPaint = false;
    paint->hdc = dc;
    // fErase: the background is still to be erased by the painting.
    paint->fErase = FALSE;
    if (dc && erase) {
        paint->fErase =
            SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint == nullptr || paint->hdc == nullptr) {
        return FALSE;
    }
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

namespace {

// What the top-level windows show at a point of the screen: the pixel of the
// topmost shown window there.
std::optional<platform::gdi::Pixel> WindowPixelAt(POINT screenPoint) {
    for (HWND top : State().topLevels) {
        const Window* w = Find(top);
        if (w && (w->style & WS_VISIBLE) && !(w->style & WS_MINIMIZE) && w->surface &&
            screenPoint.x >= w->rect.left && screenPoint.x < w->rect.right &&
            screenPoint.y >= w->rect.top && screenPoint.y < w->rect.bottom) {
            return w->surface->At(screenPoint.x - w->rect.left, screenPoint.y - w->rect.top);
        }
    }
    return std::nullopt;
}

HDC ScreenDC() {
    return platform::gdi::CreateScreenDC(WindowPixelAt);
}

} // namespace

HDC GetDC(HWND window) {
    if (window == nullptr) {
        return ScreenDC();
    }
    return GetDCEx(window, nullptr, 0);
}

HDC GetWindowDC(HWND window) {
    return GetDCEx(window, nullptr, DCX_WINDOW);
}

HDC GetDCEx(HWND window, HRGN clip, DWORD flags) {
    if (window == nullptr) {
        return ScreenDC();
    }
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, HDC{nullptr});
    }
    if (!w->parent && !w->surface) {
        PrepareSurface(*w);
    }
    Area area = (flags & DCX_WINDOW) ? Area::Whole : Area::Client;
    const Window* subject = w;
    if ((flags & DCX_PARENTCLIP) && w->parent) {
        subject = Find(w->parent);
    }
    Region visible = IsVisibleChain(window)
                         ? VisibleRegion(*subject, area, (flags & DCX_CLIPSIBLINGS) != 0,
                                         (flags & DCX_CLIPCHILDREN) != 0)
                         : Region();
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        if (Region* given = platform::gdi::RegionOf(clip)) {
            const Window* top = Find(TopLevelOf(window));
            Region onSurface = Shifted(*given, -top->rect.left, -top->rect.top);
            visible = (flags & DCX_INTERSECTRGN) ? visible.Intersect(onSurface)
                                                 : visible.Subtract(onSurface);
        }
    }
    return MakeDC(*w, area, visible);
}

int ReleaseDC(HWND, HDC dc) {
    auto& dcs = HandedOut();
    auto found = dcs.find(dc);
    if (found == dcs.end()) {
        return platform::gdi::ReleaseSurfaceDC(dc) ? 1 : 0;
    }
    HWND owner = found->second;
    dcs.erase(found);
    // What the DC could reach is all it can have changed.
    if (const Region* reach = platform::gdi::SurfaceDCVisible(dc)) {
        Present(owner, *reach);
    }
    return platform::gdi::ReleaseSurfaceDC(dc) ? 1 : 0;
}

HWND WindowFromDC(HDC dc) {
    auto found = HandedOut().find(dc);
    return found == HandedOut().end() ? nullptr : found->second;
}

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* rect, const RECT* clip) {
    UINT flags = SW_INVALIDATE | SW_ERASE | (rect ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(window, dx, dy, rect, clip, nullptr, nullptr, flags) != 0;
}

namespace {

// Copies the pixels of `area` (surface coordinates) from (x - dx, y - dy).
// The sources are taken first, row by row, so that no copy reads a pixel
// another has already overwritten; pixels from outside the surface are 0.
void MovePixels(Surface& surface, const Region& area, int dx, int dy) {
    const RECT bounds = area.Bounds();
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    std::vector<platform::gdi::Pixel> sources(static_cast<std::size_t>(width) * height, 0);
    for (LONG row = 0; row < height; ++row) {
        const LONG y = bounds.top + row - dy;
        if (y < 0 || y >= surface.Height()) {
            continue;
        }
        const LONG from = std::max<LONG>(bounds.left - dx, 0);
        const LONG to = std::min<LONG>(bounds.right - dx, surface.Width());
        if (from < to) {
            std::copy(surface.Row(y) + from, surface.Row(y) + to,
                      sources.data() + row * width + (from - (bounds.left - dx)));
        }
    }
    for (const RECT& r : area.Rects()) {
        const LONG left = std::max<LONG>(r.left, 0);
        const LONG right = std::min<LONG>(r.right, surface.Width());
        for (LONG y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, surface.Height());
             ++y) {
            if (left < right) {
                const platform::gdi::Pixel* source =
                    sources.data() + (y - bounds.top) * width + (left - bounds.left);
                std::copy(source, source + (right - left), surface.Row(y) + left);
            }
        }
    }
}

} // namespace

int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, 0);
    }
    RECT client{0, 0, Width(w->client), Height(w->client)};
    Region source(scroll ? *scroll : client);
    Region limit(clip ? *clip : client);
    limit = limit.Intersect(Region(client));
    Region exposed;
    Window* top = Find(TopLevelOf(window));
    if (IsVisibleChain(window) && top && top->surface) {
        POINT origin = ClientOriginOnSurface(*w);
        Region visible =
            Shifted(VisibleRegion(*w, Area::Client, false, false), -origin.x, -origin.y);
        // A pixel arrives where its source was visible and the target is too.
        Region moved =
            Shifted(source.Intersect(visible), dx, dy).Intersect(limit).Intersect(visible);
        MovePixels(*top->surface, Shifted(moved, origin.x, origin.y), dx, dy);
        exposed = source.Union(Shifted(source, dx, dy)).Intersect(limit).Subtract(moved);
        // Waiting paint moves with the pixels it belongs to.
        Region waiting = w->update.Intersect(source);
        w->update = w->update.Subtract(waiting).Union(Shifted(waiting, dx, dy).Intersect(limit));
        Present(window, Shifted(source.Union(Shifted(source, dx, dy)), origin.x, origin.y));
    } else {
        exposed = source.Intersect(limit);
    }
    if (flags & SW_SCROLLCHILDREN) {
        // Without a scroll rectangle every child moves, those out of sight
        // included, so that all keep their places relative to each other.
        std::vector<HWND> children = w->children;
        for (HWND child : children) {
            Window* c = Find(child);
            if (c && (scroll == nullptr || source.Intersects(c->rect))) {
                SetWindowPos(child, nullptr, c->rect.left + dx, c->rect.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
                if (Find(child)) {
                    RepaintWholeWindow(child);
                }
            }
        }
    }
    if (updateRect) {
        *updateRect = exposed.Bounds();
    }
    if (Region* out = update ? platform::gdi::RegionOf(update) : nullptr) {
        *out = exposed;
    }
    if ((flags & SW_INVALIDATE) && Find(window)) {
        InvalidateArea(window, exposed, (flags & SW_ERASE) != 0, false);
    }
    return exposed.IsEmpty() ? NULLREGION : exposed.Kind();
}

BOOL LockWindowUpdate(HWND) {
    return TRUE;
}

// ------------------------------------------------------------------ frame

namespace platform::user {

namespace {

void Fill(HDC dc, RECT r, int colorIndex) {
    FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

void DrawCaptionBackground(HDC dc, RECT r, bool active) {
    COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    LONG width = std::max<LONG>(Width(r), 1);
    for (LONG x = r.left; x < r.right; ++x) {
        auto mix = [&](int shift) {
            int a = (from >> shift) & 0xFF;
            int b = (to >> shift) & 0xFF;
            return static_cast<COLORREF>(a + (b - a) * (x - r.left) / width) << shift;
        };
        HBRUSH brush = CreateSolidBrush(mix(0) | mix(8) | mix(16));
        RECT column{x, r.top, x + 1, r.bottom};
        FillRect(dc, &column, brush);
        DeleteObject(brush);
    }
}

void DrawGlyphLines(HDC dc, const std::vector<std::vector<POINT>>& lines) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (const auto& line : lines) {
        Polyline(dc, line.data(), static_cast<int>(line.size()));
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawCaptionButton(HDC dc, RECT r, int hit) {
    if (Width(r) <= 0) {
        return;
    }
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    LONG cx = r.left + Width(r) / 2;
    LONG cy = r.top + Height(r) / 2;
    switch (hit) {
    case HTCLOSE:
        DrawGlyphLines(dc, {{{cx - 4, cy - 4}, {cx + 4, cy + 4}},
                            {{cx - 3, cy - 4}, {cx + 5, cy + 4}},
                            {{cx + 3, cy - 4}, {cx - 5, cy + 4}},
                            {{cx + 4, cy - 4}, {cx - 4, cy + 4}}});
        break;
    case HTMINBUTTON:
        Fill(dc, {cx - 4, cy + 2, cx + 2, cy + 4}, COLOR_BTNTEXT);
        break;
    case HTMAXBUTTON:
        DrawGlyphLines(dc, {{{cx - 5, cy - 4},
                             {cx + 4, cy - 4},
                             {cx + 4, cy + 4},
                             {cx - 5, cy + 4},
                             {cx - 5, cy - 4}},
                            {{cx - 5, cy - 3}, {cx + 4, cy - 3}}});
        break;
    default:
        break;
    }
}

HFONT CaptionFont() {
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = 128; // SHIFTJIS_CHARSET
    // "ＭＳ Ｐゴシック" in code page 932.
    const char face[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return CreateFontIndirectA(&font);
}

void DrawCaption(HDC dc, const Window& w) {
    RECT caption = CaptionRect(w);
    if (Width(caption) <= 0) {
        return;
    }
    bool active = State().active == w.handle;
    DrawCaptionBackground(dc, caption, active);
    Fill(dc, {caption.left, caption.bottom, caption.right, caption.bottom + 1}, COLOR_BTNFACE);
    CaptionButtons buttons = CaptionButtonRects(w);
    DrawCaptionButton(dc, buttons.minimize, HTMINBUTTON);
    DrawCaptionButton(dc, buttons.maximize, HTMAXBUTTON);
    DrawCaptionButton(dc, buttons.close, HTCLOSE);
    RECT text = caption;
    text.left += 4;
    if (Width(buttons.minimize) > 0) {
        text.right = buttons.minimize.left - 2;
    } else if (Width(buttons.close) > 0) {
        text.right = buttons.close.left - 2;
    }
    HFONT font = CaptionFont();
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawTextA(dc, w.text.c_str(), static_cast<int>(w.text.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// The border, from the outside in; returns what is left inside it.
RECT DrawBorder(HDC dc, const Window& w) {
    RECT r{0, 0, Width(w.rect), Height(w.rect)};
    if (w.style & (WS_THICKFRAME | WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        int rest = (w.style & WS_THICKFRAME) ? 2 : 1;
        int color = (w.style & WS_THICKFRAME)
                        ? (State().active == w.handle ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)
                        : COLOR_BTNFACE;
        for (int i = 0; i < rest; ++i) {
            Fill(dc, {r.left, r.top, r.right, r.top + 1}, color);
            Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, color);
            Fill(dc, {r.left, r.top, r.left + 1, r.bottom}, color);
            Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, color);
            r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
    } else if (w.style & WS_BORDER) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if ((w.style & WS_CAPTION) == WS_CAPTION) {
        r.top = CaptionRect(w).bottom + 1;
    }
    if (w.exStyle & WS_EX_CLIENTEDGE) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    if (w.exStyle & WS_EX_STATICEDGE) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    return r;
}

// A top-level window's frame is drawn only where the screen shows it.
bool FrameIsShown(Window& w) {
    if (w.parent) {
        return true;
    }
    if (!w.surface) {
        PrepareSurface(w);
    }
    return State().backend->ShowsFrame(w.backendSurface);
}

} // namespace

void DrawFrame(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || !IsVisibleChain(window)) {
        return;
    }
    // The scroll bars lie inside the border and caption that a window
    // manager draws instead: they are drawn wherever the window is shown.
    const bool frameShown = FrameIsShown(*w);
    if (!frameShown && (w->style & (WS_VSCROLL | WS_HSCROLL)) == 0) {
        return;
    }
    HDC dc = GetDCEx(window, nullptr, DCX_WINDOW);
    if (dc == nullptr) {
        return;
    }
    if (frameShown) {
        DrawBorder(dc, *w);
        DrawCaption(dc, *w);
    }
    if ((w = Find(window)) != nullptr) {
        DrawScrollBars(window, dc);
    }
    ReleaseDC(window, dc);
}

} // namespace platform::user
