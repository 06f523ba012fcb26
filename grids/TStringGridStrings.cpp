#include "TStringGridStrings.h"

#include "TStringGrid.h"
#include "TStringSparseList.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <vector>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStringGridStrings, TStrings, "Grids")

TStringGridStrings::TStringGridStrings(TStringGrid* grid, std::int32_t index)
    : grid_(grid), index_(index) {}

TStringGridStrings::TCellRef TStringGridStrings::CellOf(std::int32_t item) const {
    if (index_ > 0) {
        return {item, index_ - 1};
    }
    if (index_ < 0) {
        return {-index_ - 1, item};
    }
    return {-1, -1};
}

std::int32_t TStringGridStrings::GetCount() const {
    if (index_ > 0) {
        return grid_->ColCount();
    }
    if (index_ < 0) {
        return grid_->RowCount();
    }
    return 0;
}

std::string TStringGridStrings::Get(std::int32_t index) const {
    if (index_ == 0) {
        return {};
    }
    const TCellRef cell = CellOf(index);
    return grid_->Cells(cell.col, cell.row);
}

TObject* TStringGridStrings::GetObject(std::int32_t index) const {
    if (index_ == 0) {
        return nullptr;
    }
    const TCellRef cell = CellOf(index);
    return grid_->Objects(cell.col, cell.row);
}

void TStringGridStrings::Put(std::int32_t index, const std::string& s) {
    const TCellRef cell = CellOf(index);
    grid_->SetCells(cell.col, cell.row, s);
}

void TStringGridStrings::PutObject(std::int32_t index, TObject* object) {
    const TCellRef cell = CellOf(index);
    grid_->SetObjects(cell.col, cell.row, object);
}

void TStringGridStrings::BatchStateChanged(bool updating) {
    grid_->SetUpdating(updating);
}

std::int32_t TStringGridStrings::Add(const std::string& s) {
    const std::int32_t count = GetCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (Get(i).empty()) {
            Put(i, s);
            return i;
        }
    }
    return -1;
}

void TStringGridStrings::Clear() {
    if (index_ > 0) {
        const TStringSparseList* list = grid_->RowList(index_ - 1);
        if (list == nullptr) {
            return;
        }
        // The columns are taken first: emptying a cell changes the list.
        std::vector<std::int32_t> cols;
        list->Items().VisitAll([&](std::int32_t col, void*) {
            cols.push_back(col);
            return 0;
        });
        for (std::int32_t col : cols) {
            PutObject(col, nullptr);
            Put(col, {});
        }
    } else if (index_ < 0) {
        for (std::int32_t i = GetCount() - 1; i >= 0; --i) {
            PutObject(i, nullptr);
            Put(i, {});
        }
    }
}

void TStringGridStrings::Assign(TPersistent* source) {
    if (source == nullptr || !source->Is<TStrings>()) {
        TStrings::Assign(source);
        return;
    }
    const auto& lines = static_cast<const TStrings&>(*source);
    InBatch([&] {
        const std::int32_t count = std::min(lines.GetCount(), GetCount());
        for (std::int32_t i = 0; i < count; ++i) {
            Put(i, lines.Get(i));
            PutObject(i, lines.GetObject(i));
        }
    });
}

void TStringGridStrings::Delete(std::int32_t) {
    throw ResourceError<EListError>(SListIndexError);
}

void TStringGridStrings::Insert(std::int32_t, const std::string&) {
    throw ResourceError<EListError>(SListIndexError);
}

} // namespace velbrin
