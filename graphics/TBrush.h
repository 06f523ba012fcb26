#pragma once
// A brush: colour and style make its key and so its Windows brush. Every
// clear brush has the same key (white), so all of them share one record.

#include "Graphics.h"
#include "TGraphicsObject.h"

namespace velbrin {

class TBrush : public TGraphicsObject {
    VELBRIN_CLASS(TBrush, TGraphicsObject)

public:
    TBrush();
    ~TBrush() override;

    // Shares another brush's record.
    void Assign(TPersistent* source) override;

    // The Windows brush, made on first request in the current colours.
    HBRUSH Handle();
    // Adopts `handle` (white, solid as far as the properties say); it is
    // deleted when the last brush using it lets go.
    void SetHandle(HBRUSH handle);

    TColor Color() const { return Key().Color; }
    // A clear brush given a colour becomes solid.
    void SetColor(TColor color);
    TBrushStyle Style() const { return Key().Style; }
    // A brush made clear becomes white.
    void SetStyle(TBrushStyle style);

private:
    // The current key with its handle and bitmap slot cleared.
    TBrushResData Key() const;
    void SwitchTo(const TBrushResData& key);
};

} // namespace velbrin
