#include "TSparseList.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TSparseList, TObject, "Grids")

TSparseList::TSparseList(TSparseQuantum quantum)
    : array_(std::make_unique<TSparsePointerArray>(quantum)), quantum_(quantum) {}

TSparseList::~TSparseList() = default;

void TSparseList::Error() const {
    throw ResourceError<EListError>(SListIndexError);
}

void TSparseList::CheckIndex(std::int32_t index) const {
    if (index < 0) {
        Error();
    }
}

void* TSparseList::Get(std::int32_t index) const {
    CheckIndex(index);
    return array_->ReadAt(index);
}

void TSparseList::Put(std::int32_t index, void* item) {
    CheckIndex(index);
    array_->WriteAt(index, item);
    count_ = array_->HighestIndex() + 1;
}

void TSparseList::Insert(std::int32_t index, void* item) {
    CheckIndex(index);
    // The top entry moves first, so a list already at the array's last index
    // is refused before anything has moved.
    for (std::int32_t i = count_; i > index; --i) {
        array_->WriteAt(i, array_->ReadAt(i - 1));
    }
    array_->WriteAt(index, item);
    if (index > count_) {
        count_ = index;
    }
    ++count_;
}

void TSparseList::Delete(std::int32_t index) {
    if (index < 0 || index >= count_) {
        return;
    }
    for (std::int32_t i = index; i < count_ - 1; ++i) {
        array_->WriteAt(i, array_->ReadAt(i + 1));
    }
    array_->WriteAt(count_ - 1, nullptr);
    --count_;
}

void TSparseList::Exchange(std::int32_t index1, std::int32_t index2) {
    void* first = Get(index1);
    Put(index1, Get(index2));
    Put(index2, first);
}

void TSparseList::Move(std::int32_t curIndex, std::int32_t newIndex) {
    if (curIndex == newIndex) {
        return;
    }
    void* item = Get(curIndex);
    Delete(curIndex);
    Insert(newIndex, item);
}

void TSparseList::Clear() {
    array_ = std::make_unique<TSparsePointerArray>(quantum_);
    count_ = 0;
}

std::int32_t TSparseList::VisitAll(const TSparsePointerArray::Visitor& visit) const {
    return array_->VisitAll(visit);
}

} // namespace velbrin
