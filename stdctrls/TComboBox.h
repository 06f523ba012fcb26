#pragma once
// The combo box as forms use it: TCustomComboBox with its properties
// published.

#include "TCustomComboBox.h"

namespace velbrin {

class TComboBox : public TCustomComboBox {
    VELBRIN_CLASS(TComboBox, TCustomComboBox)

public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

} // namespace velbrin
