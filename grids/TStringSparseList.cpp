#include "TStringSparseList.h"

#include "core/TFiler.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStringSparseList, TStrings, "Grids")

// What the list holds for an item that has a text or an object; the object
// is not owned.
struct TStringSparseList::TStrItem {
    TObject* object = nullptr;
    std::string text;
};

TStringSparseList::TStringSparseList(TSparseQuantum quantum)
    : list_(std::make_unique<TSparseList>(quantum)) {}

TStringSparseList::~TStringSparseList() {
    Clear();
}

TStringSparseList::TStrItem* TStringSparseList::ItemAt(std::int32_t index) const {
    return static_cast<TStrItem*>(list_->Get(index));
}

void TStringSparseList::DeclareStoredData(TFiler* filer) {
    filer->DeclareStoredValue(
        "List", [this](TReader& reader) { ReadList(reader); },
        [this](TWriter& writer) { WriteList(writer); }, true);
}

void TStringSparseList::ReadList(TReader& reader) {
    const std::int32_t count = reader.ReadInteger();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t index = reader.ReadInteger();
        InsertObject(index, reader.ReadString(), nullptr);
    }
}

void TStringSparseList::WriteList(TWriter& writer) const {
    std::int32_t present = 0;
    list_->VisitAll([&](std::int32_t, void*) {
        ++present;
        return 0;
    });
    writer.WriteInteger(present);
    list_->VisitAll([&](std::int32_t index, void* item) {
        writer.WriteInteger(index);
        writer.WriteString(static_cast<TStrItem*>(item)->text);
        return 0;
    });
}

std::string TStringSparseList::Get(std::int32_t index) const {
    return TextAt(index);
}

const std::string& TStringSparseList::TextAt(std::int32_t index) const {
    static const std::string empty;
    const TStrItem* item = ItemAt(index);
    return item != nullptr ? item->text : empty;
}

std::int32_t TStringSparseList::GetCount() const {
    return list_->Count();
}

TObject* TStringSparseList::GetObject(std::int32_t index) const {
    const TStrItem* item = ItemAt(index);
    return item != nullptr ? item->object : nullptr;
}

void TStringSparseList::Put(std::int32_t index, const std::string& s) {
    TStrItem* old = ItemAt(index);
    TObject* object = old != nullptr ? old->object : nullptr;
    // A cell written again keeps its item; only its text changes.
    if (old != nullptr && (!s.empty() || object != nullptr)) {
        old->text = s;
        Changed();
        return;
    }
    std::unique_ptr<TStrItem> made;
    if (!s.empty() || object != nullptr) {
        made = std::make_unique<TStrItem>(TStrItem{object, s});
    }
    list_->Put(index, made.get());
    (void)made.release();
    delete old;
    Changed();
}

void TStringSparseList::PutObject(std::int32_t index, TObject* object) {
    if (TStrItem* item = ItemAt(index)) {
        item->object = object;
    } else if (object != nullptr) {
        Error();
    }
    Changed();
}

void TStringSparseList::DisposeAll() {
    list_->VisitAll([](std::int32_t, void* item) {
        delete static_cast<TStrItem*>(item);
        return 0;
    });
}

void TStringSparseList::Clear() {
    DisposeAll();
    list_->Clear();
    Changed();
}

void TStringSparseList::Delete(std::int32_t index) {
    TStrItem* item = index >= 0 ? ItemAt(index) : nullptr;
    list_->Delete(index);
    delete item;
    Changed();
}

void TStringSparseList::Exchange(std::int32_t index1, std::int32_t index2) {
    list_->Exchange(index1, index2);
}

void TStringSparseList::Insert(std::int32_t index, const std::string& s) {
    auto item = std::make_unique<TStrItem>(TStrItem{nullptr, s});
    list_->Insert(index, item.get());
    (void)item.release();
    Changed();
}

void TStringSparseList::Changed() {
    OnChange(this);
}

void TStringSparseList::Error() {
    throw ResourceError<EStringSparseListError>(SPutObjectError);
}

} // namespace velbrin
