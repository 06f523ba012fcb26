#pragma once
// A font: face name, height, pitch, style and charset make its key (and so
// its Windows font, shared with every font of the same key); the colour is
// applied by the canvas when it selects the font.

#include "Graphics.h"
#include "TGraphicsObject.h"

#include <string>

namespace velbrin {

class TFont : public TGraphicsObject {
    VELBRIN_CLASS(TFont, TGraphicsObject)

public:
    TFont();
    ~TFont() override;

    // Shares another font's record and takes its colour; when the two fonts
    // differ in resolution, the point size is what carries over.
    void Assign(TPersistent* source) override;
    // Assign from a font known as one: a canvas is given its control's font
    // before every cell drawn, mostly the one it has.
    void AssignFont(const TFont& font);

    // The Windows font, made on first request.
    HFONT Handle();
    // Adopts `handle`: the font then reports the default attributes and the
    // handle is deleted when the last font using it lets go.
    void SetHandle(HFONT handle);

    std::int32_t Height() const { return Key().Height; }
    void SetHeight(std::int32_t height);
    std::int32_t Size() const;
    void SetSize(std::int32_t points);
    std::string Name() const { return Key().FaceName(); }
    // An empty name is ignored; a longer one is cut to 31 bytes.
    void SetName(const std::string& name);
    TFontPitch Pitch() const { return Key().Pitch; }
    void SetPitch(TFontPitch pitch);
    TFontStyles Style() const { return Key().Style; }
    void SetStyle(TFontStyles style);
    TFontCharset Charset() const { return Key().Charset; }
    void SetCharset(TFontCharset charset);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    std::int32_t PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(std::int32_t pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

private:
    // The current key with its handle field cleared.
    TFontResData Key() const;
    void SwitchTo(const TFontResData& key);

    TColor color_ = clWindowText;
    std::int32_t pixelsPerInch_;
};

} // namespace velbrin
