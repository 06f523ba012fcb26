#pragma once
// A string list over a sparse list: only items with a text or an object take
// storage, and an item that is never written reads as empty text with no
// object. Writing empty text to an item without an object removes it.

#include "TSparseList.h"
#include "core/Events.h"
#include "core/TStrings.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velbrin {

class TReader;
class TWriter;

class TStringSparseList : public TStrings {
    VELBRIN_CLASS(TStringSparseList, TStrings)

public:
    explicit TStringSparseList(TSparseQuantum quantum);
    ~TStringSparseList() override;

    // Stores the items present as "List": their number, then each one's
    // index and text in ascending order. Objects are never stored.
    void DeclareStoredData(TFiler* filer) override;
    std::string Get(std::int32_t index) const override;
    // The text of item `index` without a copy; valid until the list
    // changes.
    const std::string& TextAt(std::int32_t index) const;
    // One past the highest index holding an item, or as Insert and Delete
    // moved it.
    std::int32_t GetCount() const override;
    TObject* GetObject(std::int32_t index) const override;
    void Put(std::int32_t index, const std::string& s) override;
    // Attaching a non-null object where there is no item raises
    // EStringSparseListError.
    void PutObject(std::int32_t index, TObject* object) override;
    void Clear() override;
    void Delete(std::int32_t index) override;
    // Swaps two items without a change notice.
    void Exchange(std::int32_t index1, std::int32_t index2) override;
    // Always makes an item, even for an empty text.
    void Insert(std::int32_t index, const std::string& s) override;

    // Raises OnChange.
    virtual void Changed();
    // Raises the error of an object attached to no item.
    [[noreturn]] virtual void Error();

    // The sparse list of items, for callers that measure its storage.
    const TSparseList& Items() const { return *list_; }

    TNotifyEvent OnChange;

private:
    struct TStrItem;

    TStrItem* ItemAt(std::int32_t index) const;
    void DisposeAll();
    void ReadList(TReader& reader);
    void WriteList(TWriter& writer) const;

    std::unique_ptr<TSparseList> list_;
};

} // namespace velbrin
