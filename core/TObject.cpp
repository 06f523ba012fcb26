#include "TObject.h"

namespace velbrin {

bool TMetaClass::InheritsFrom(const TMetaClass& other) const {
    for (const TMetaClass* c = this; c != nullptr; c = c->parent_) {
        if (c == &other) {
            return true;
        }
    }
    return false;
}

const TMetaClass& TObject::StaticClass() {
    static const TMetaClass meta("TObject", nullptr, "System");
    return meta;
}

} // namespace velbrin
