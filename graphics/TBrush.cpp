#include "TBrush.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TBrush, TGraphicsObject, "Graphics") {
    cls.Property("Color", ColorType, Call<&TBrush::Color>, Call<&TBrush::SetColor>)
        .Default(clWhite);
    cls.Property("Style", Call<&TBrush::Style>, Call<&TBrush::SetStyle>).Default(bsSolid);
}

TBrush::TBrush() {
    SetResource(BrushResources().AcquireResource(&Graphics().defaultBrush));
}

TBrush::~TBrush() {
    BrushResources().ReleaseResource(Resource());
}

void TBrush::Assign(TPersistent* source) {
    if (source == nullptr || !source->Is<TBrush>()) {
        return TGraphicsObject::Assign(source);
    }
    BrushResources().ShareResource(this, static_cast<TBrush*>(source)->Resource());
}

HBRUSH TBrush::Handle() {
    TSharedResource* resource = Resource();
    if (resource->Handle == nullptr) {
        const TBrushResData key = resource->DataAs<TBrushResData>();
        LOGBRUSH logBrush{};
        logBrush.lbColor = ResolveColor(key.Color);
        if (key.Style == bsSolid) {
            logBrush.lbStyle = BS_SOLID;
        } else if (key.Style == bsClear) {
            logBrush.lbStyle = BS_HOLLOW;
        } else {
            logBrush.lbStyle = BS_HATCHED;
            logBrush.lbHatch = key.Style - bsHorizontal;
        }
        resource->Handle = CreateBrushIndirect(&logBrush);
    }
    return static_cast<HBRUSH>(resource->Handle);
}

void TBrush::SetHandle(HBRUSH handle) {
    TBrushResData key = Graphics().defaultBrush;
    key.Handle = handle;
    SwitchTo(key);
}

// Painting gives a brush the colour it has over and over.
void TBrush::SetColor(TColor color) {
    const TBrushResData current = Resource()->DataAs<TBrushResData>();
    if (current.Color == color && current.Style != bsClear && current.Handle == nullptr &&
        current.Bitmap == nullptr) {
        return;
    }
    TBrushResData key = Key();
    key.Color = color;
    if (key.Style == bsClear) {
        key.Style = bsSolid;
    }
    SwitchTo(key);
}

void TBrush::SetStyle(TBrushStyle style) {
    TBrushResData key = Key();
    key.Style = style;
    if (style == bsClear) {
        key.Color = clWhite;
    }
    SwitchTo(key);
}

TBrushResData TBrush::Key() const {
    TBrushResData key = Resource()->DataAs<TBrushResData>();
    key.Handle = nullptr;
    key.Bitmap = nullptr;
    return key;
}

void TBrush::SwitchTo(const TBrushResData& key) {
    BrushResources().SwitchResource(this, &key);
}

} // namespace velbrin
