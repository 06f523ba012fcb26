#include "TSparsePointerArray.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TSparsePointerArray, TObject, "Grids")

TSparsePointerArray::TSparsePointerArray(TSparseQuantum quantum)
    : indexMask_(quantum == sqLarge ? 255 : 15), sectionShift_(quantum == sqLarge ? 8 : 4),
      sectionSize_(quantum == sqLarge ? 256 : 16) {}

TSparsePointerArray::~TSparsePointerArray() = default;

void* TSparsePointerArray::Lookup(std::int32_t index) const {
    // A logical shift: a negative index names a section far beyond any.
    const std::uint32_t section = static_cast<std::uint32_t>(index) >> sectionShift_;
    if (section >= directory_.size() || directory_[section] == nullptr) {
        return nullptr;
    }
    return directory_[section][static_cast<std::uint32_t>(index) & indexMask_];
}

void* TSparsePointerArray::ReadAt(std::int32_t index) const {
    if (index != cachedIndex_) {
        cachedValue_ = Lookup(index);
        cachedIndex_ = index;
    }
    return cachedValue_;
}

void** TSparsePointerArray::SlotAt(std::int32_t index) {
    if (index < 0 || index > MaxIndex()) {
        throw ResourceError<EListError>(SListIndexError);
    }
    const std::uint32_t section = static_cast<std::uint32_t>(index) >> sectionShift_;
    if (section >= directory_.size()) {
        directory_.resize(section + 1);
    }
    if (directory_[section] == nullptr) {
        directory_[section] = std::make_unique<void*[]>(sectionSize_);
    }
    highBound_ = std::max(highBound_, index);
    cachedIndex_ = -1;
    cachedValue_ = nullptr;
    return &directory_[section][static_cast<std::uint32_t>(index) & indexMask_];
}

void TSparsePointerArray::WriteAt(std::int32_t index, void* value) {
    if (value == nullptr && ReadAt(index) == nullptr) {
        return;
    }
    *SlotAt(index) = value;
    if (value == nullptr && index == highBound_) {
        LowerHighBound(index);
    }
}

// Only clearing the entry at the high bound can lower it; the new bound is
// the nearest non-null entry below, found section by section.
void TSparsePointerArray::LowerHighBound(std::int32_t index) {
    std::int32_t candidate = index - 1;
    while (candidate >= 0) {
        const std::uint32_t section = static_cast<std::uint32_t>(candidate) >> sectionShift_;
        if (directory_[section] == nullptr) {
            candidate = static_cast<std::int32_t>(section << sectionShift_) - 1;
            continue;
        }
        if (directory_[section][static_cast<std::uint32_t>(candidate) & indexMask_] != nullptr) {
            break;
        }
        --candidate;
    }
    highBound_ = candidate;
}

std::int32_t TSparsePointerArray::VisitAll(const Visitor& visit) const {
    for (std::size_t section = 0; section < directory_.size(); ++section) {
        if (directory_[section] == nullptr) {
            continue;
        }
        const std::int32_t base = static_cast<std::int32_t>(section << sectionShift_);
        for (std::int32_t slot = 0; slot < sectionSize_; ++slot) {
            void* value = directory_[section][slot];
            if (value == nullptr) {
                continue;
            }
            if (std::int32_t result = visit(base + slot, value); result != 0) {
                return result;
            }
        }
    }
    return 0;
}

std::int32_t TSparsePointerArray::SectionCount() const {
    return static_cast<std::int32_t>(
        std::count_if(directory_.begin(), directory_.end(),
                      [](const Section& section) { return section != nullptr; }));
}

} // namespace velbrin
