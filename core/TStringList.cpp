#include "TStringList.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"
#include "runtime/Text.h"

#include <memory>
#include <utility>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStringList, TStrings, "Classes")

namespace {

[[noreturn]] void RaiseListError(Message message) {
    throw ResourceError<EListError>(message);
}

} // namespace

TStringList::~TStringList() {
    // A list being destroyed tells no one.
    OnChange = {};
    OnChanging = {};
    ReleaseStrings();
}

void TStringList::CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= count_) {
        RaiseListError(SListIndexError);
    }
}

std::string TStringList::Get(std::int32_t index) const {
    CheckIndex(index);
    return *Item(index).text;
}

TObject* TStringList::GetObject(std::int32_t index) const {
    CheckIndex(index);
    return Item(index).object;
}

void TStringList::Put(std::int32_t index, const std::string& s) {
    if (sorted_) {
        RaiseListError(SSortedListError);
    }
    CheckIndex(index);
    ChangingAt(index);
    *Item(index).text = s;
    Changed();
}

void TStringList::PutObject(std::int32_t index, TObject* object) {
    CheckIndex(index);
    ChangingAt(index);
    Item(index).object = object;
    Changed();
}

std::int32_t TStringList::Add(const std::string& s) {
    std::int32_t index = count_;
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == DupKeepExisting) {
            return index;
        }
        if (duplicates_ == DupRaise) {
            RaiseListError(SDuplicateString);
        }
    }
    InsertItem(index, s);
    return index;
}

void TStringList::Clear() {
    if (count_ == 0) {
        return;
    }
    Changing();
    ReleaseStrings();
    count_ = 0;
    block_.Resize(0);
    Changed();
}

void TStringList::Delete(std::int32_t index) {
    CheckIndex(index);
    ChangingAt(index);
    delete Item(index).text;
    block_.CloseSlot(index, count_);
    --count_;
    Changed();
}

void TStringList::Exchange(std::int32_t index1, std::int32_t index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    ChangingAt(index1);
    CheckIndex(index2);
    std::swap(Item(index1), Item(index2));
    Changed();
}

std::int32_t TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) {
        return TStrings::IndexOf(s);
    }
    std::int32_t index = 0;
    return Find(s, index) ? index : -1;
}

void TStringList::Insert(std::int32_t index, const std::string& s) {
    if (sorted_) {
        RaiseListError(SSortedListError);
    }
    if (index < 0 || index > count_) {
        RaiseListError(SListIndexError);
    }
    InsertItem(index, s);
}

void TStringList::InsertItem(std::int32_t index, const std::string& s) {
    Changing();
    // The handler may have shortened the list.
    if (index > count_) {
        RaiseListError(SListIndexError);
    }
    // Everything that can fail happens before the list changes.
    auto text = std::make_unique<std::string>(s);
    if (count_ == Capacity()) {
        SetCapacity(GrownCapacity(Capacity()));
    }
    block_.OpenSlot(index, count_);
    Item(index) = TStringItem{text.release(), nullptr};
    ++count_;
    Changed();
}

bool TStringList::Find(std::string_view s, std::int32_t& index) const {
    std::int32_t low = 0;
    std::int32_t high = count_ - 1;
    bool found = false;
    while (low <= high) {
        std::int32_t middle = static_cast<std::int32_t>(
            (static_cast<std::uint32_t>(low) + static_cast<std::uint32_t>(high)) >> 1);
        int order = LocaleCompareNoCase(*Item(middle).text, s);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0) {
                found = true;
                if (duplicates_ != DupAllow) {
                    low = middle;
                }
            }
        }
    }
    index = low;
    return found;
}

void TStringList::Sort() {
    if (sorted_ || count_ < 2) {
        return;
    }
    Changing();
    QuickSort(0, count_ - 1);
    Changed();
}

void TStringList::QuickSort(std::int32_t left, std::int32_t right) {
    while (left < right) {
        std::int32_t i = left;
        std::int32_t j = right;
        // Swaps move the items, never the strings, so the pivot text stays put.
        const std::string& pivot = *Item((left + right) >> 1).text;
        do {
            // The bounds matter only when the operating system's comparison
            // fails: it then calls a text smaller than itself.
            while (i < right && LocaleCompareNoCase(*Item(i).text, pivot) < 0) {
                ++i;
            }
            while (j > left && LocaleCompareNoCase(*Item(j).text, pivot) > 0) {
                --j;
            }
            if (i <= j) {
                std::swap(Item(i), Item(j));
                ++i;
                --j;
            }
        } while (i <= j);
        // Recursing into the smaller part only keeps the depth logarithmic
        // whatever the input; the parts are disjoint, so the order of work does
        // not change the result.
        if (j - left < right - i) {
            QuickSort(left, j);
            left = i;
        } else {
            QuickSort(i, right);
            right = j;
        }
    }
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) {
        return;
    }
    if (sorted) {
        Sort();
    }
    sorted_ = sorted;
}

void TStringList::SetCapacity(std::int32_t capacity) {
    if (capacity < count_ || capacity > MaxListSize) {
        RaiseListError(SListIndexError);
    }
    block_.Resize(capacity);
}

void TStringList::BatchStateChanged(bool updating) {
    if (updating) {
        Changing();
    } else {
        Changed();
    }
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange.Assigned()) {
        OnChange(this);
    }
}

void TStringList::ChangingAt(std::int32_t index) {
    Changing();
    // The handler may have shortened the list.
    CheckIndex(index);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging.Assigned()) {
        OnChanging(this);
    }
}

void TStringList::ReleaseStrings() {
    for (std::int32_t i = 0; i < count_; ++i) {
        delete Item(i).text;
    }
}

} // namespace velbrin
