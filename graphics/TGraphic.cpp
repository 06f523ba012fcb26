#include "TGraphic.h"

#include "core/TFiler.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TGraphic, TPersistent, "Graphics")

void TGraphic::Changed() {
    Modified = true;
    OnChange(this);
}

void TGraphic::DeclareStoredData(TFiler* filer) {
    TPersistent::DeclareStoredData(filer);
    filer->DeclareStoredBytes(
        "Data", [this](TStream& stream) { LoadFromStream(stream); },
        [this](TStream& stream) { SaveToStream(stream); }, !Empty());
}

} // namespace velbrin
