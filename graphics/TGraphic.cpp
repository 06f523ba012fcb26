#include "TGraphic.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TGraphic, TPersistent, "Graphics")

void TGraphic::Changed() {
    Modified = true;
    OnChange(this);
}

} // namespace velbrin
