#pragma once
// A grid of texts, each cell with an attached object. The cells live in a
// sparse store: one string list per row that was ever written, each keeping
// only the cells that hold a text or an object, so a large grid of empty
// cells costs almost nothing. Every write marks its one cell for
// repainting. Neither the counts nor the column and row positions limit the
// store: cells beyond ColCount by RowCount keep their contents, hidden.

#include "TDrawGrid.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velbrin {

class TSparseList;
class TStringGridStrings;
class TStringSparseList;
class TStrings;

class TStringGrid : public TDrawGrid {
    VELBRIN_CLASS(TStringGrid, TDrawGrid)

public:
    explicit TStringGrid(TComponent* owner);
    ~TStringGrid() override;

    // The text of cell (col, row): empty where nothing was written. Reading
    // allocates nothing. A negative row raises EListError, and so does a
    // negative column in a row that holds cells.
    std::string Cells(std::int32_t col, std::int32_t row) const;
    // Stores the text and marks the cell for repainting (held while a row or
    // column view is in a batch update). A negative position raises
    // EListError.
    void SetCells(std::int32_t col, std::int32_t row, const std::string& text);
    // The object attached to cell (col, row); null where none is.
    TObject* Objects(std::int32_t col, std::int32_t row) const;
    // Attaching a non-null object to a cell without a text or an object
    // raises EStringSparseListError. The grid never frees the objects.
    void SetObjects(std::int32_t col, std::int32_t row, TObject* object);

    // Row `row` (column `col`) as a string list, made on first need and kept
    // until the grid goes.
    TStrings* Rows(std::int32_t row);
    TStrings* Cols(std::int32_t col);
    // Assign `value` to the view.
    void SetRows(std::int32_t row, TStrings* value);
    void SetCols(std::int32_t col, TStrings* value);

    // The cells of row `row` as the store keeps them; null when nothing was
    // ever written into that row.
    const TStringSparseList* RowList(std::int32_t row) const;
    // The text of a cell without a copy; valid until the cell changes.
    const std::string& CellText(std::int32_t col, std::int32_t row) const;
    // The store's list of rows.
    const TSparseList& RowStore() const { return *rows_; }

protected:
    // Move the cells of every row (whole rows) along, repaint the grid and
    // raise OnColumnMoved (OnRowMoved). The row and column views stay where
    // they are.
    void ColumnMoved(std::int32_t fromIndex, std::int32_t toIndex) override;
    void RowMoved(std::int32_t fromIndex, std::int32_t toIndex) override;
    // With DefaultDrawing the cell's text, one line from the top left, cut
    // off at the cell's edges; then OnDrawCell.
    void PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                   TGridDrawState state) override;
    // The editor starts with the cell's text, which OnGetEditText may
    // change; what it stores becomes the cell's text, then OnSetEditText
    // hears of it.
    std::string EditTextFor(std::int32_t col, std::int32_t row) override;
    void StoreEditText(std::int32_t col, std::int32_t row, const std::string& text) override;

private:
    friend class TStringGridStrings;

    // While a view's batch update is open, writes only note that the grid is
    // to be repainted; the repaint comes when the batch ends.
    void SetUpdating(bool updating);
    TStringSparseList& EnsureRowList(std::int32_t row);
    enum class TViewAxis : std::uint8_t { Row, Column };
    TStringGridStrings* EnsureView(TViewAxis axis, std::int32_t position);
    void CellWritten(std::int32_t col, std::int32_t row);
    static void FreeViews(TSparseList& views);

    std::unique_ptr<TSparseList> rows_;
    std::unique_ptr<TSparseList> rowViews_;
    std::unique_ptr<TSparseList> colViews_;
    bool updating_ = false;
    bool repaintPending_ = false;
    // While above 0, a write into the current cell leaves the editor alone.
    std::int32_t editorUpdates_ = 0;
};

} // namespace velbrin
