#pragma once
// A sparse array from integer index to pointer: a directory of fixed-size
// sections, each created on the first store into it and kept until the array
// goes. Reading allocates nothing, and a one-entry cache makes repeated reads
// of one index cost one comparison. The array never owns what its entries
// point to.

#include "core/TObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace velbrin {

// The size of a section: 16 or 256 slots.
enum TSparseQuantum : std::uint8_t { sqSmall, sqLarge };

class TSparsePointerArray : public TObject {
    VELBRIN_CLASS(TSparsePointerArray, TObject)

public:
    // Called with each non-null entry; a non-zero result stops the visit.
    using Visitor = std::function<std::int32_t(std::int32_t index, void* value)>;

    // At most this many sections exist, so the highest usable index is
    // kMaxSections x section size - 1.
    static constexpr std::int32_t kMaxSections = 65535;

    explicit TSparsePointerArray(TSparseQuantum quantum);
    ~TSparsePointerArray() override;

    // The entry at `index`; null where nothing is stored, a negative index
    // and an index beyond the last section included.
    void* ReadAt(std::int32_t index) const;
    // The slot of `index`, created with its section when missing. An index
    // outside 0 to MaxIndex raises EListError: the directory cannot hold it.
    void** SlotAt(std::int32_t index);
    // Stores `value`; storing null where nothing is stored allocates nothing.
    void WriteAt(std::int32_t index, void* value);
    // Visits every non-null entry in ascending index order; returns the
    // visit's non-zero result that stopped it, else 0.
    std::int32_t VisitAll(const Visitor& visit) const;

    // The highest index holding a non-null entry; -1 when none.
    std::int32_t HighestIndex() const { return highBound_; }
    std::int32_t MaxIndex() const { return kMaxSections * sectionSize_ - 1; }
    std::int32_t SectionSize() const { return sectionSize_; }
    // The number of sections allocated so far.
    std::int32_t SectionCount() const;

private:
    using Section = std::unique_ptr<void*[]>;

    void* Lookup(std::int32_t index) const;
    // After `index`, the entry at the high bound, was cleared.
    void LowerHighBound(std::int32_t index);

    std::vector<Section> directory_;
    std::uint16_t indexMask_;
    std::uint16_t sectionShift_;
    std::int32_t highBound_ = -1;
    std::uint16_t sectionSize_;
    mutable std::int32_t cachedIndex_ = -1;
    mutable void* cachedValue_ = nullptr;
};

} // namespace velbrin
