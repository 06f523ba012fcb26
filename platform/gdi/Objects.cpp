// Stock and created pens, brushes and fonts; selection into device contexts;
// the system colours and their brushes.

#include "GdiState.h"
#include "Text.h"

#include "../core/Context.h"
#include "../core/SystemColors.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi {

namespace {

// The screen behind every window starts black: it is only measured and drawn
// on, never shown, and a black surface costs no memory until it is drawn on.
constexpr Pixel kBlank = 0;

std::uintptr_t ValueOf(HGDIOBJ handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

std::uintptr_t AddStock(GdiState& state, GdiObject object) {
    object.stock = true;
    return state.objects.Add(std::make_unique<GdiObject>(std::move(object)));
}

GdiObject SolidBrush(COLORREF color) {
    return GdiObject{BrushData{BS_SOLID, color, 0}};
}
GdiObject CosmeticPen(UINT style, COLORREF color) {
    return GdiObject{PenData{style, 1, color, false}};
}

LOGFONTA LogicalFont(LONG height, LONG weight, BYTE charset, BYTE pitch, const char* face) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = charset;
    font.lfPitchAndFamily = pitch;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// "ＭＳ Ｐゴシック" in code page 932.
constexpr const char kJapaneseGothic[] =
    "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr const char kJapaneseFixedGothic[] =
    "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

void AddStockObjects(GdiState& state) {
    auto& stock = state.stock;
    stock[WHITE_BRUSH] = AddStock(state, SolidBrush(RGB(255, 255, 255)));
    stock[LTGRAY_BRUSH] = AddStock(state, SolidBrush(RGB(192, 192, 192)));
    stock[GRAY_BRUSH] = AddStock(state, SolidBrush(RGB(128, 128, 128)));
    stock[DKGRAY_BRUSH] = AddStock(state, SolidBrush(RGB(64, 64, 64)));
    stock[BLACK_BRUSH] = AddStock(state, SolidBrush(RGB(0, 0, 0)));
    stock[NULL_BRUSH] = AddStock(state, GdiObject{BrushData{BS_NULL, 0, 0}});
    stock[WHITE_PEN] = AddStock(state, CosmeticPen(PS_SOLID, RGB(255, 255, 255)));
    stock[BLACK_PEN] = AddStock(state, CosmeticPen(PS_SOLID, RGB(0, 0, 0)));
    stock[NULL_PEN] = AddStock(state, CosmeticPen(PS_NULL, RGB(0, 0, 0)));
    // The fonts of a Japanese system: the system font is double-byte.
    auto font = [&](const LOGFONTA& logFont) {
        return AddStock(state, GdiObject{FontData{logFont, nullptr}});
    };
    stock[OEM_FIXED_FONT] =
        font(LogicalFont(16, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH, "Terminal"));
    stock[ANSI_FIXED_FONT] = font(LogicalFont(12, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH, "Courier"));
    stock[ANSI_VAR_FONT] =
        font(LogicalFont(12, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH, "MS Sans Serif"));
    stock[SYSTEM_FONT] =
        font(LogicalFont(16, FW_NORMAL, SHIFTJIS_CHARSET, VARIABLE_PITCH, "System"));
    stock[DEVICE_DEFAULT_FONT] = stock[SYSTEM_FONT];
    stock[SYSTEM_FIXED_FONT] =
        font(LogicalFont(16, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH, kJapaneseFixedGothic));
    stock[DEFAULT_GUI_FONT] =
        font(LogicalFont(-12, FW_NORMAL, SHIFTJIS_CHARSET, VARIABLE_PITCH, kJapaneseGothic));
}

void MakeSystemColorBrushes(GdiState& state) {
    for (int index = 0; index < kSystemColorCount; ++index) {
        if (IsSystemColorIndex(index)) {
            state.systemColorBrushes[index] =
                AddStock(state, SolidBrush(state.systemColors[index]));
        }
    }
}

HGDIOBJ ToHandle(std::uintptr_t value) {
    return reinterpret_cast<HGDIOBJ>(value);
}

template <class Result> Result Added(GdiObject object) {
    return reinterpret_cast<Result>(AddObject(std::move(object)));
}

int CopyOut(const void* source, int sourceSize, int size, LPVOID buffer) {
    if (!buffer) {
        return sourceSize;
    }
    int copied = std::min(size, sourceSize);
    if (copied <= 0) {
        return 0;
    }
    std::memcpy(buffer, source, static_cast<std::size_t>(copied));
    return copied;
}

int GetPen(const PenData& pen, int size, LPVOID buffer) {
    if (pen.extended) {
        EXTLOGPEN extended{};
        extended.elpPenStyle = pen.style;
        extended.elpWidth = static_cast<DWORD>(pen.width);
        extended.elpBrushStyle = BS_SOLID;
        extended.elpColor = pen.color;
        return CopyOut(&extended, sizeof extended, size, buffer);
    }
    LOGPEN logPen{pen.style, {pen.width, 0}, pen.color};
    return CopyOut(&logPen, sizeof logPen, size, buffer);
}

} // namespace

GdiState::GdiState()
    : screen(std::make_shared<Surface>(1024, 768, kBlank)), text(std::make_unique<TextEngine>()) {
    std::copy(kDefaultSystemColors.begin(), kDefaultSystemColors.end(), systemColors.begin());
    AddStockObjects(*this);
    MakeSystemColorBrushes(*this);
}

GdiState::~GdiState() = default;

GdiObject* FindObject(HGDIOBJ handle) {
    GdiObject* object = Ctx().Gdi().objects.Find(ValueOf(handle));
    return object && !object->deletePending ? object : nullptr;
}

std::uintptr_t AddObject(GdiObject object) {
    return Ctx().Gdi().objects.Add(std::make_unique<GdiObject>(std::move(object)));
}

std::size_t CountCreatedObjects(const GdiState& state) {
    std::size_t count = 0;
    state.objects.ForEach(
        [&](std::uintptr_t, const GdiObject& object) { count += object.stock ? 0 : 1; });
    return count;
}

void RetainSelection(std::uintptr_t handle) {
    if (GdiObject* object = SelectedObject(handle)) {
        ++object->selections;
    }
}

void ReleaseSelection(std::uintptr_t handle) {
    GdiObject* object = SelectedObject(handle);
    if (!object) {
        return;
    }
    --object->selections;
    if (object->selections == 0 && object->deletePending) {
        Ctx().Gdi().objects.Remove(handle);
    }
}

} // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ GetStockObject(int object) {
    const auto& stock = platform::Ctx().Gdi().stock;
    if (object < 0 || object >= static_cast<int>(stock.size())) {
        return nullptr;
    }
    return ToHandle(stock[object]);
}

DWORD GetObjectType(HGDIOBJ handle) {
    if (FindDC(static_cast<HDC>(handle))) {
        return FindDC(static_cast<HDC>(handle))->memory ? OBJ_MEMDC : OBJ_DC;
    }
    GdiObject* object = FindObject(handle);
    if (!object) {
        return 0;
    }
    if (const PenData* pen = std::get_if<PenData>(&object->data)) {
        return pen->extended ? OBJ_EXTPEN : OBJ_PEN;
    }
    constexpr DWORD kTypes[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_REGION};
    return kTypes[object->data.index()];
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle) {
    DeviceContext* context = FindDC(dc);
    GdiObject* object = FindObject(handle);
    if (!context || !object) {
        return nullptr;
    }
    if (std::holds_alternative<Region>(object->data)) {
        int kind = SelectClipRgn(dc, static_cast<HRGN>(handle));
        return kind == ERROR ? HGDI_ERROR
                             : reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
    }
    DcAttributes& attributes = context->attributes;
    std::uintptr_t* slot = std::holds_alternative<PenData>(object->data)     ? &attributes.pen
                           : std::holds_alternative<BrushData>(object->data) ? &attributes.brush
                                                                             : &attributes.font;
    std::uintptr_t previous = *slot;
    *slot = ValueOf(handle);
    RetainSelection(*slot);
    ReleaseSelection(previous);
    return ToHandle(previous);
}

BOOL DeleteObject(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    if (!object) {
        return FALSE;
    }
    if (object->stock) {
        return TRUE;
    }
    if (object->selections > 0) {
        object->deletePending = true;
        return TRUE;
    }
    return platform::Ctx().Gdi().objects.Remove(ValueOf(handle)) ? TRUE : FALSE;
}

BOOL UnrealizeObject(HGDIOBJ handle) {
    // Brushes are realized afresh at each use, so there is nothing to reset.
    GdiObject* object = FindObject(handle);
    return object && std::holds_alternative<BrushData>(object->data) ? TRUE : FALSE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiObject* object = FindObject(handle);
    if (!object || (buffer && size < 0)) {
        return 0;
    }
    if (const PenData* pen = std::get_if<PenData>(&object->data)) {
        return GetPen(*pen, size, buffer);
    }
    if (const BrushData* brush = std::get_if<BrushData>(&object->data)) {
        LOGBRUSH logBrush{brush->style, brush->color, static_cast<ULONG_PTR>(brush->hatch)};
        return CopyOut(&logBrush, sizeof logBrush, size, buffer);
    }
    if (const FontData* font = std::get_if<FontData>(&object->data)) {
        return CopyOut(&font->logFont, sizeof font->logFont, size, buffer);
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    DeviceContext* context = FindDC(dc);
    if (!context) {
        return nullptr;
    }
    switch (type) {
    case OBJ_PEN:
        return ToHandle(context->attributes.pen);
    case OBJ_BRUSH:
        return ToHandle(context->attributes.brush);
    case OBJ_FONT:
        return ToHandle(context->attributes.font);
    default:
        return nullptr;
    }
}

HPEN CreatePen(int style, int width, COLORREF color) {
    LOGPEN pen{static_cast<UINT>(style), {width, 0}, color};
    return CreatePenIndirect(&pen);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    if (!pen || pen->lopnStyle > PS_INSIDEFRAME) {
        return nullptr;
    }
    // A pen of width 0 is one pixel wide; a pen wider than one draws solid.
    int width = static_cast<int>(std::clamp<LONG>(pen->lopnWidth.x, 1, 1 << 16));
    return Added<HPEN>(GdiObject{PenData{pen->lopnStyle, width, pen->lopnColor, false}});
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles) {
    bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    DWORD dash = style & PS_STYLE_MASK;
    if (!brush || brush->lbStyle != BS_SOLID || dash > PS_INSIDEFRAME || styleCount != 0 ||
        styles || (!geometric && width != 1) || width > (1u << 16)) {
        return nullptr;
    }
    PenData data{style, std::max<int>(1, static_cast<int>(width)), brush->lbColor, true};
    return Added<HPEN>(GdiObject{data});
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush) {
        return nullptr;
    }
    switch (brush->lbStyle) {
    case BS_SOLID:
    case BS_NULL:
        return Added<HBRUSH>(GdiObject{BrushData{brush->lbStyle, brush->lbColor, 0}});
    case BS_HATCHED:
        if (brush->lbHatch > HS_DIAGCROSS) {
            return nullptr;
        }
        return Added<HBRUSH>(
            GdiObject{BrushData{BS_HATCHED, brush->lbColor, static_cast<int>(brush->lbHatch)}});
    default:
        return nullptr;
    }
}

HBRUSH CreateSolidBrush(COLORREF color) {
    LOGBRUSH brush{BS_SOLID, color, 0};
    return CreateBrushIndirect(&brush);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    LOGBRUSH brush{BS_HATCHED, color, static_cast<ULONG_PTR>(hatch)};
    return hatch < 0 ? nullptr : CreateBrushIndirect(&brush);
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    if (!font) {
        return nullptr;
    }
    FontData data{*font, nullptr};
    // The face name may come without its terminating zero.
    data.logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return Added<HFONT>(GdiObject{std::move(data)});
}

DWORD GetSysColor(int index) {
    return platform::IsSystemColorIndex(index) ? platform::Ctx().Gdi().systemColors[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
    if (!platform::IsSystemColorIndex(index)) {
        return nullptr;
    }
    return reinterpret_cast<HBRUSH>(platform::Ctx().Gdi().systemColorBrushes[index]);
}

BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors) {
    if (count < 0 || (count > 0 && (!indexes || !colors))) {
        return FALSE;
    }
    GdiState& state = platform::Ctx().Gdi();
    for (int i = 0; i < count; ++i) {
        int index = indexes[i];
        if (!platform::IsSystemColorIndex(index)) {
            continue;
        }
        state.systemColors[index] = colors[i] & 0xFFFFFF;
        if (BrushData* brush = std::get_if<BrushData>(
                &state.objects.Find(state.systemColorBrushes[index])->data)) {
            brush->color = state.systemColors[index];
        }
    }
    return TRUE;
}
