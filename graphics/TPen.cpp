#include "TPen.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TPen, TGraphicsObject, "Graphics") {
    cls.Property("Color", ColorType, Call<&TPen::Color>, Call<&TPen::SetColor>).Default(clBlack);
    cls.Property("Mode", Call<&TPen::Mode>, Call<&TPen::SetMode>).Default(pmCopy);
    cls.Property("Style", Call<&TPen::Style>, Call<&TPen::SetStyle>).Default(psSolid);
    cls.Property("Width", Call<&TPen::Width>, Call<&TPen::SetWidth>).Default(1);
}

TPen::TPen() {
    SetResource(PenResources().AcquireResource(&Graphics().defaultPen));
}

TPen::~TPen() {
    PenResources().ReleaseResource(Resource());
}

void TPen::Assign(TPersistent* source) {
    if (source == nullptr || !source->Is<TPen>()) {
        return TGraphicsObject::Assign(source);
    }
    auto* pen = static_cast<TPen*>(source);
    PenResources().ShareResource(this, pen->Resource());
    SetMode(pen->Mode());
}

HPEN TPen::Handle() {
    TSharedResource* resource = Resource();
    if (resource->Handle == nullptr) {
        const TPenResData key = resource->DataAs<TPenResData>();
        LOGPEN logPen{};
        // The pen styles are Windows' own, in order.
        logPen.lopnStyle = key.Style;
        logPen.lopnWidth.x = key.Width;
        logPen.lopnColor = ResolveColor(key.Color);
        resource->Handle = CreatePenIndirect(&logPen);
    }
    return static_cast<HPEN>(resource->Handle);
}

void TPen::SetHandle(HPEN handle) {
    TPenResData key = Graphics().defaultPen;
    key.Handle = handle;
    SwitchTo(key);
}

void TPen::SetColor(TColor color) {
    TPenResData key = Key();
    key.Color = color;
    SwitchTo(key);
}

void TPen::SetMode(TPenMode mode) {
    if (mode != mode_) {
        mode_ = mode;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle style) {
    TPenResData key = Key();
    key.Style = style;
    SwitchTo(key);
}

void TPen::SetWidth(std::int32_t width) {
    if (width < 0) {
        return;
    }
    TPenResData key = Key();
    key.Width = width;
    SwitchTo(key);
}

TPenResData TPen::Key() const {
    TPenResData key = Resource()->DataAs<TPenResData>();
    key.Handle = nullptr;
    return key;
}

void TPen::SwitchTo(const TPenResData& key) {
    PenResources().SwitchResource(this, &key);
}

} // namespace velbrin
