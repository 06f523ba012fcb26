#pragma once
// Objects that can be copied into one another and stored in a form resource.

#include "TObject.h"

namespace velbrin {

class TFiler;

class TPersistent : public TObject {
    VELBRIN_CLASS(TPersistent, TObject)

public:
    // Copies this object's values into `dest`; the default knows no
    // destination and raises the assignment error.
    virtual void CopyInto(TPersistent* dest);
    // Declares the pseudo-properties the object stores beyond its published
    // ones; the default declares none.
    virtual void DeclareStoredData(TFiler* filer);
    // Takes the values of `source`: the default asks the source to copy itself
    // here, and raises the assignment error for a null source.
    virtual void Assign(TPersistent* source);
};

// The assignment error: EConvertError naming the source's class and the
// destination's ("nil" for a null one).
[[noreturn]] void RaiseAssignError(const TPersistent* source, const TPersistent* dest);

} // namespace velbrin
