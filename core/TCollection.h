#pragma once
// Collections: owned, indexed lists of persistent items of one class, stored
// in a form resource as one value.

#include "TPersistent.h"

#include <cstdint>
#include <vector>

namespace velbrin {

class TCollection;

class TCollectionItem : public TPersistent {
    VELBRIN_CLASS(TCollectionItem, TPersistent)

public:
    explicit TCollectionItem(TCollection* collection) : collection_(collection) {}

    TCollection* Collection() const { return collection_; }

private:
    TCollection* collection_;
};

class TCollection : public TPersistent {
    VELBRIN_CLASS(TCollection, TPersistent)

public:
    using ItemFactory = TCollectionItem* (*)(TCollection* collection);

    // A collection of items of class Item: TCollection(&TCollection::Make<TMyItem>).
    explicit TCollection(ItemFactory factory) : factory_(factory) {}
    ~TCollection() override;

    template <class Item> static TCollectionItem* Make(TCollection* collection) {
        return new Item(collection);
    }

    // Appends a new item.
    TCollectionItem* Add();
    void Clear();
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // EListError for an index outside the items.
    TCollectionItem* Items(std::int32_t index) const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    std::int32_t UpdateCount() const { return updateCount_; }

private:
    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    std::int32_t updateCount_ = 0;
};

} // namespace velbrin
