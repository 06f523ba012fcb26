#pragma once
// One row or one column of a string grid seen as a string list: item i is
// the cell at position i of that row or column, read and written through the
// grid. The view always holds as many items as the grid has columns (for a
// row) or rows (for a column); it cannot grow or shrink.

#include "core/TStrings.h"

#include <cstdint>
#include <string>

namespace velbrin {

class TStringGrid;

class TStringGridStrings : public TStrings {
    VELBRIN_CLASS(TStringGridStrings, TStrings)

public:
    // `index` above 0 shows row index - 1, below 0 column -index - 1; 0 shows
    // no cells. The grid is not owned.
    TStringGridStrings(TStringGrid* grid, std::int32_t index);

    // Copies the lines and objects of another string list into the items it
    // has room for; later items keep their contents.
    void Assign(TPersistent* source) override;
    std::string Get(std::int32_t index) const override;
    std::int32_t GetCount() const override;
    TObject* GetObject(std::int32_t index) const override;
    void Put(std::int32_t index, const std::string& s) override;
    void PutObject(std::int32_t index, TObject* object) override;

protected:
    // Holds the grid's repainting until the outermost batch ends.
    void BatchStateChanged(bool updating) override;

public:
    // Writes `s` into the first empty item and returns its index; -1 when no
    // item is empty.
    std::int32_t Add(const std::string& s) override;
    // Empties every cell of the row or column.
    void Clear() override;
    // A view has no items to insert or delete: both raise EListError.
    void Delete(std::int32_t index) override;
    void Insert(std::int32_t index, const std::string& s) override;

private:
    struct TCellRef {
        std::int32_t col;
        std::int32_t row;
    };
    TCellRef CellOf(std::int32_t item) const;

    TStringGrid* grid_;
    std::int32_t index_;
};

} // namespace velbrin
