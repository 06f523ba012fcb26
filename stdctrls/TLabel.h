#pragma once
// The label as forms use it: TCustomLabel with its properties published.

#include "TCustomLabel.h"

namespace velbrin {

class TLabel : public TCustomLabel {
    VELBRIN_CLASS(TLabel, TCustomLabel)

public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

} // namespace velbrin
