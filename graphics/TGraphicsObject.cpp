#include "TGraphicsObject.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TGraphicsObject, TPersistent, "Graphics")

void TGraphicsObject::Changed() {
    OnChange(this);
}

} // namespace velbrin
