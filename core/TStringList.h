#pragma once
// The free-standing string list: lines with attached objects, optionally kept
// sorted, with change events. The list owns its strings, not its objects.

#include "core/Events.h"
#include "core/ItemBlock.h"
#include "core/TStrings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velbrin {

// What Add does with a string already present in a sorted list.
enum TDuplicates : std::uint8_t {
    DupKeepExisting = 0, // returns the present one's index and adds nothing
    DupAllow = 1,        // adds it before the equal ones
    DupRaise = 2,        // raises EListError
};

class TStringList : public TStrings {
    VELBRIN_CLASS(TStringList, TStrings)

public:
    TStringList() = default;
    ~TStringList() override;

    std::string Get(std::int32_t index) const override;
    std::int32_t GetCount() const override { return count_; }
    TObject* GetObject(std::int32_t index) const override;
    void Put(std::int32_t index, const std::string& s) override;
    void PutObject(std::int32_t index, TObject* object) override;

    std::int32_t Add(const std::string& s) override;
    void Clear() override;
    void Delete(std::int32_t index) override;
    void Exchange(std::int32_t index1, std::int32_t index2) override;
    std::int32_t IndexOf(std::string_view s) const override;
    void Insert(std::int32_t index, const std::string& s) override;

    // Binary search under the locale-aware comparison. When found, `index` is
    // the first equal item the search met, or with DupAllow the lowest of the
    // equal run; otherwise the position that keeps the order.
    virtual bool Find(std::string_view s, std::int32_t& index) const;
    // Sorts an unsorted list (not stably).
    virtual void Sort();

    bool Sorted() const { return sorted_; }
    // Sorting first, when switched on.
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    std::int32_t Capacity() const { return block_.Capacity(); }
    // Count <= capacity <= MaxListSize, else EListError.
    void SetCapacity(std::int32_t capacity);

    // Called with the list as sender, outside update batches.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void BatchStateChanged(bool updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    // The list owns `text`; `object` is only attached.
    struct TStringItem {
        std::string* text;
        TObject* object;
    };

    void CheckIndex(std::int32_t index) const;
    // Changing, for an operation on item `index`.
    void ChangingAt(std::int32_t index);
    void InsertItem(std::int32_t index, const std::string& s);
    void QuickSort(std::int32_t left, std::int32_t right);
    void ReleaseStrings();
    TStringItem& Item(std::int32_t index) { return block_.Items()[index]; }
    const TStringItem& Item(std::int32_t index) const { return block_.Items()[index]; }

    ItemBlock<TStringItem> block_;
    std::int32_t count_ = 0;
    bool sorted_ = false;
    TDuplicates duplicates_ = DupKeepExisting;
};

} // namespace velbrin
