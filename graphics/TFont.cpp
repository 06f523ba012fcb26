#include "TFont.h"

#include <cstring>

namespace velbrin {

VELBRIN_DEFINE_CLASS_TABLES(TFont, TGraphicsObject, "Graphics") {
    cls.Property("Charset", CharsetType, Call<&TFont::Charset>, Call<&TFont::SetCharset>);
    cls.Property("Color", ColorType, Call<&TFont::Color>, Call<&TFont::SetColor>);
    cls.Property("Height", Call<&TFont::Height>, Call<&TFont::SetHeight>);
    cls.Property("Name", FontNameType, Call<&TFont::Name>, Call<&TFont::SetName>);
    cls.Property("Pitch", Call<&TFont::Pitch>, Call<&TFont::SetPitch>).Default(fpDefault);
    cls.Property("Size", Call<&TFont::Size>, Call<&TFont::SetSize>).Stored(false);
    cls.Property("Style", Call<&TFont::Style>, Call<&TFont::SetStyle>);
}

TFont::TFont() : pixelsPerInch_(Graphics().screenPixelsPerInch) {
    SetResource(FontResources().AcquireResource(&Graphics().defaultFont));
}

TFont::~TFont() {
    FontResources().ReleaseResource(Resource());
}

void TFont::Assign(TPersistent* source) {
    if (source == nullptr || !source->Is<TFont>()) {
        return TGraphicsObject::Assign(source);
    }
    AssignFont(*static_cast<TFont*>(source));
}

void TFont::AssignFont(const TFont& font) {
    if (font.Resource() == Resource() && font.Color() == color_ &&
        font.PixelsPerInch() == pixelsPerInch_) {
        return;
    }
    FontResources().ShareResource(this, font.Resource());
    SetColor(font.Color());
    if (font.PixelsPerInch() != PixelsPerInch()) {
        SetSize(font.Size());
    }
}

HFONT TFont::Handle() {
    TSharedResource* resource = Resource();
    if (resource->Handle == nullptr) {
        const TFontResData key = resource->DataAs<TFontResData>();
        LOGFONTA logFont{};
        logFont.lfHeight = key.Height;
        logFont.lfWeight = HasStyle(key.Style, fsBold) ? FW_BOLD : FW_NORMAL;
        logFont.lfItalic = HasStyle(key.Style, fsItalic);
        logFont.lfUnderline = HasStyle(key.Style, fsUnderline);
        logFont.lfStrikeOut = HasStyle(key.Style, fsStrikeOut);
        logFont.lfCharSet = key.Charset;
        logFont.lfPitchAndFamily = key.Pitch == fpVariable ? VARIABLE_PITCH
                                   : key.Pitch == fpFixed  ? FIXED_PITCH
                                                           : DEFAULT_PITCH;
        std::memcpy(logFont.lfFaceName, key.Name, key.NameLength);
        resource->Handle = CreateFontIndirectA(&logFont);
    }
    return static_cast<HFONT>(resource->Handle);
}

void TFont::SetHandle(HFONT handle) {
    TFontResData key = Graphics().defaultFont;
    key.Handle = handle;
    SwitchTo(key);
}

void TFont::SetHeight(std::int32_t height) {
    TFontResData key = Key();
    key.Height = height;
    SwitchTo(key);
}

std::int32_t TFont::Size() const {
    return -MulDiv(Height(), 72, pixelsPerInch_);
}

void TFont::SetSize(std::int32_t points) {
    SetHeight(-MulDiv(points, pixelsPerInch_, 72));
}

void TFont::SetName(const std::string& name) {
    if (name.empty()) {
        return;
    }
    TFontResData key = Key();
    key.SetFaceName(name);
    SwitchTo(key);
}

void TFont::SetPitch(TFontPitch pitch) {
    TFontResData key = Key();
    key.Pitch = pitch;
    SwitchTo(key);
}

void TFont::SetStyle(TFontStyles style) {
    TFontResData key = Key();
    key.Style = style;
    SwitchTo(key);
}

void TFont::SetCharset(TFontCharset charset) {
    TFontResData key = Key();
    key.Charset = charset;
    SwitchTo(key);
}

void TFont::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

TFontResData TFont::Key() const {
    TFontResData key = Resource()->DataAs<TFontResData>();
    key.Handle = nullptr;
    return key;
}

void TFont::SwitchTo(const TFontResData& key) {
    FontResources().SwitchResource(this, &key);
}

} // namespace velbrin
