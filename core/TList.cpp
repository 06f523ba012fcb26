#include "TList.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TList, TObject, "Classes")

TList::~TList() {
    Clear();
}

void TList::Error() const {
    throw ResourceError<EListError>(SListIndexError);
}

void TList::RaiseIndexError() const {
    Error();
    // An override of Error that returns must still not let the operation go on.
    throw ResourceError<EListError>(SListIndexError);
}

void TList::CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= count_) {
        RaiseIndexError();
    }
}

void TList::Grow() {
    SetCapacity(GrownCapacity(Capacity()));
}

std::int32_t TList::Add(void* item) {
    if (count_ == Capacity()) {
        Grow();
    }
    block_.Items()[count_] = item;
    return count_++;
}

void TList::Insert(std::int32_t index, void* item) {
    if (index < 0 || index > count_) {
        RaiseIndexError();
    }
    if (count_ == Capacity()) {
        Grow();
    }
    block_.OpenSlot(index, count_);
    block_.Items()[index] = item;
    ++count_;
}

void TList::Delete(std::int32_t index) {
    CheckIndex(index);
    block_.CloseSlot(index, count_);
    --count_;
}

std::int32_t TList::Remove(void* item) {
    std::int32_t index = IndexOf(item);
    if (index >= 0) {
        Delete(index);
    }
    return index;
}

std::int32_t TList::IndexOf(const void* item) const {
    const void* const* items = block_.Items();
    for (std::int32_t i = 0; i < count_; ++i) {
        if (items[i] == item) {
            return i;
        }
    }
    return -1;
}

void* TList::Get(std::int32_t index) const {
    CheckIndex(index);
    return block_.Items()[index];
}

void TList::Put(std::int32_t index, void* item) {
    CheckIndex(index);
    block_.Items()[index] = item;
}

TList* TList::Expand() {
    if (count_ == Capacity()) {
        Grow();
    }
    return this;
}

void TList::Clear() {
    SetCount(0);
    SetCapacity(0);
}

void TList::SetCount(std::int32_t count) {
    if (count < 0 || count > MaxListSize) {
        RaiseIndexError();
    }
    if (count > Capacity()) {
        SetCapacity(count);
    }
    if (count > count_) {
        std::fill(block_.Items() + count_, block_.Items() + count, nullptr);
    }
    count_ = count;
}

void TList::SetCapacity(std::int32_t capacity) {
    if (capacity < count_ || capacity > MaxListSize) {
        RaiseIndexError();
    }
    if (capacity != Capacity()) {
        block_.Resize(capacity);
    }
}

} // namespace velbrin
