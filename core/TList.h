#pragma once
// An ordered, growable list of untyped pointers. The list owns none of them.

#include "core/ItemBlock.h"
#include "core/TObject.h"

#include <cstdint>

namespace velbrin {

class TList : public TObject {
    VELBRIN_CLASS(TList, TObject)

public:
    TList() = default;
    ~TList() override;

    // Appends `item` and returns its index.
    std::int32_t Add(void* item);
    // Inserts `item` at 0 <= index <= Count, moving the following items up.
    void Insert(std::int32_t index, void* item);
    void Delete(std::int32_t index);
    // Deletes the first occurrence of `item`; returns its index or -1.
    std::int32_t Remove(void* item);
    // The first index holding `item` (pointer identity), or -1.
    std::int32_t IndexOf(const void* item) const;

    void* Get(std::int32_t index) const;
    void Put(std::int32_t index, void* item);
    void* Items(std::int32_t index) const { return Get(index); }
    void* Last() const { return Get(count_ - 1); }

    // Makes room for one more item when the list is full.
    TList* Expand();
    // Empties the list and frees its block.
    void Clear();

    std::int32_t Count() const { return count_; }
    // Sets the count; new slots hold null.
    void SetCount(std::int32_t count);
    std::int32_t Capacity() const { return block_.Capacity(); }
    void SetCapacity(std::int32_t capacity);

protected:
    // Raises the index error; an override must raise too.
    virtual void Error() const;
    // Enlarges a full list by the growth rule.
    virtual void Grow();

private:
    [[noreturn]] void RaiseIndexError() const;
    void CheckIndex(std::int32_t index) const;

    ItemBlock<void*> block_;
    std::int32_t count_ = 0;
};

} // namespace velbrin
