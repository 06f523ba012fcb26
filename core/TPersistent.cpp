#include "TPersistent.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TPersistent, TObject, "Classes")

void TPersistent::CopyInto(TPersistent* dest) {
    RaiseAssignError(this, dest);
}

void TPersistent::DeclareStoredData(TFiler*) {}

void TPersistent::Assign(TPersistent* source) {
    if (source == nullptr) {
        RaiseAssignError(nullptr, this);
    }
    source->CopyInto(this);
}

void RaiseAssignError(const TPersistent* source, const TPersistent* dest) {
    throw ResourceError<EConvertError>(
        SAssignError, {source ? source->ClassName() : "nil", dest ? dest->ClassName() : "nil"});
}

} // namespace velbrin
