#pragma once
// The base of fonts, pens and brushes: a change event and the shared record
// whose key and handle the object stands for.

#include "TResourceManager.h"
#include "core/Events.h"
#include "core/TPersistent.h"

namespace velbrin {

class TGraphicsObject : public TPersistent {
    VELBRIN_CLASS(TGraphicsObject, TPersistent)

public:
    TGraphicsObject() = default;

    // Calls OnChange with this object as sender.
    virtual void Changed();

    TSharedResource* Resource() const { return resource_; }
    void SetResource(TSharedResource* resource) { resource_ = resource; }

    TNotifyEvent OnChange;

private:
    TSharedResource* resource_ = nullptr;
};

} // namespace velbrin
