#include "TCollection.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TCollectionItem, TPersistent, "Classes")
VELBRIN_DEFINE_CLASS(TCollection, TPersistent, "Classes")

TCollection::~TCollection() {
    Clear();
}

TCollectionItem* TCollection::Add() {
    items_.reserve(items_.size() + 1);
    TCollectionItem* item = factory_(this);
    items_.push_back(item);
    return item;
}

void TCollection::Clear() {
    while (!items_.empty()) {
        delete items_.back();
        items_.pop_back();
    }
}

TCollectionItem* TCollection::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) {
        throw ResourceError<EListError>(SListIndexError);
    }
    return items_[static_cast<std::size_t>(index)];
}

} // namespace velbrin
