#pragma once
// A counted list over a sparse pointer array: entries that were never stored
// read as null, and inserting beyond the end leaves a gap of null entries.
// The list owns none of its entries.

#include "TSparsePointerArray.h"

#include <cstdint>
#include <memory>

namespace velbrin {

class TSparseList : public TObject {
    VELBRIN_CLASS(TSparseList, TObject)

public:
    explicit TSparseList(TSparseQuantum quantum);
    ~TSparseList() override;

    // The entry at `index`, null where none is stored (at or beyond Count
    // too). A negative index raises through Error.
    void* Get(std::int32_t index) const;
    // Stores `item`; Count becomes the highest index holding an entry plus
    // one, so storing null at the last entry drops it.
    void Put(std::int32_t index, void* item);
    // Moves the entries from `index` up by one and stores `item` there.
    void Insert(std::int32_t index, void* item);
    // Moves the entries above `index` down by one; an index outside 0 to
    // Count - 1 is ignored.
    void Delete(std::int32_t index);
    void Exchange(std::int32_t index1, std::int32_t index2);
    void Move(std::int32_t curIndex, std::int32_t newIndex);
    // Forgets every entry; the entries themselves are not freed.
    void Clear();
    std::int32_t VisitAll(const TSparsePointerArray::Visitor& visit) const;

    std::int32_t Count() const { return count_; }
    const TSparsePointerArray& Array() const { return *array_; }

protected:
    // Raises the list index error; an override must raise too.
    [[noreturn]] virtual void Error() const;

private:
    void CheckIndex(std::int32_t index) const;

    std::unique_ptr<TSparsePointerArray> array_;
    std::int32_t count_ = 0;
    TSparseQuantum quantum_;
};

} // namespace velbrin
