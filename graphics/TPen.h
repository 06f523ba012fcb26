#pragma once
// A pen: colour, width and style make its key and so its Windows pen; the
// mode is the raster operation the canvas sets when it selects the pen.

#include "Graphics.h"
#include "TGraphicsObject.h"

namespace velbrin {

class TPen : public TGraphicsObject {
    VELBRIN_CLASS(TPen, TGraphicsObject)

public:
    TPen();
    ~TPen() override;

    // Shares another pen's record and takes its mode.
    void Assign(TPersistent* source) override;

    // The Windows pen, made on first request in the current colours.
    HPEN Handle();
    // Adopts `handle` (black, width 1, solid as far as the properties say);
    // it is deleted when the last pen using it lets go.
    void SetHandle(HPEN handle);

    TColor Color() const { return Key().Color; }
    void SetColor(TColor color);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);
    TPenStyle Style() const { return Key().Style; }
    void SetStyle(TPenStyle style);
    std::int32_t Width() const { return Key().Width; }
    // A negative width is ignored; 0 is a valid width.
    void SetWidth(std::int32_t width);

private:
    TPenResData Key() const;
    void SwitchTo(const TPenResData& key);

    TPenMode mode_ = pmCopy;
};

} // namespace velbrin
