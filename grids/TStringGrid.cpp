#include "TStringGrid.h"

#include "TSparseList.h"
#include "TStringGridStrings.h"
#include "TStringSparseList.h"
#include "controls/TControlCanvas.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <climits>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStringGrid, TDrawGrid, "Grids")

namespace {

TSparseQuantum QuantumFor(bool large) {
    return large ? sqLarge : sqSmall;
}

// Row lists and column views of grids wider than this use large sections,
// the row store and row views of grids higher than kManyRows.
constexpr std::int32_t kManyColumns = 512;
constexpr std::int32_t kManyRows = 256;

} // namespace

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner) {
    SetPaintCellFillsCell(true);
    colViews_ = std::make_unique<TSparseList>(QuantumFor(ColCount() > kManyColumns));
    rowViews_ = std::make_unique<TSparseList>(QuantumFor(RowCount() > kManyRows));
    rows_ = std::make_unique<TSparseList>(QuantumFor(RowCount() > kManyRows));
}

TStringGrid::~TStringGrid() {
    FreeViews(*rowViews_);
    rowViews_.reset();
    FreeViews(*colViews_);
    colViews_.reset();
    rows_->VisitAll([](std::int32_t, void* list) {
        delete static_cast<TStringSparseList*>(list);
        return 0;
    });
    rows_.reset();
}

void TStringGrid::FreeViews(TSparseList& views) {
    views.VisitAll([](std::int32_t, void* view) {
        delete static_cast<TStringGridStrings*>(view);
        return 0;
    });
}

const TStringSparseList* TStringGrid::RowList(std::int32_t row) const {
    return static_cast<const TStringSparseList*>(rows_->Get(row));
}

std::string TStringGrid::Cells(std::int32_t col, std::int32_t row) const {
    return CellText(col, row);
}

const std::string& TStringGrid::CellText(std::int32_t col, std::int32_t row) const {
    static const std::string empty;
    const TStringSparseList* list = RowList(row);
    return list != nullptr ? list->TextAt(col) : empty;
}

TObject* TStringGrid::Objects(std::int32_t col, std::int32_t row) const {
    const TStringSparseList* list = RowList(row);
    return list != nullptr ? list->GetObject(col) : nullptr;
}

TStringSparseList& TStringGrid::EnsureRowList(std::int32_t row) {
    if (auto* list = static_cast<TStringSparseList*>(rows_->Get(row))) {
        return *list;
    }
    auto made = std::make_unique<TStringSparseList>(QuantumFor(ColCount() > kManyColumns));
    rows_->Put(row, made.get());
    return *made.release();
}

TStringGridStrings* TStringGrid::EnsureView(TViewAxis axis, std::int32_t position) {
    TSparseList& views = axis == TViewAxis::Row ? *rowViews_ : *colViews_;
    if (auto* view = static_cast<TStringGridStrings*>(views.Get(position))) {
        return view;
    }
    // The view's index is computed only for a position the list can hold.
    if (position > views.Array().MaxIndex()) {
        throw ResourceError<EListError>(SListIndexError);
    }
    const std::int32_t index = axis == TViewAxis::Row ? position + 1 : -(position + 1);
    auto made = std::make_unique<TStringGridStrings>(this, index);
    views.Put(position, made.get());
    return made.release();
}

void TStringGrid::SetCells(std::int32_t col, std::int32_t row, const std::string& text) {
    EnsureRowList(row).Put(col, text);
    EnsureView(TViewAxis::Column, col);
    EnsureView(TViewAxis::Row, row);
    CellWritten(col, row);
}

void TStringGrid::SetObjects(std::int32_t col, std::int32_t row, TObject* object) {
    EnsureRowList(row).PutObject(col, object);
    EnsureView(TViewAxis::Column, col);
    EnsureView(TViewAxis::Row, row);
    CellWritten(col, row);
}

// A batch holds back the repaint only: the editor over the written cell
// shows the new text at once, or its next store would bring the old back.
void TStringGrid::CellWritten(std::int32_t col, std::int32_t row) {
    if (updating_) {
        repaintPending_ = true;
    } else {
        InvalidateCell(col, row);
    }
    if (TCellCoord{col, row} == CurrentCell() && editorUpdates_ == 0) {
        ReloadEditor();
    }
}

std::string TStringGrid::EditTextFor(std::int32_t col, std::int32_t row) {
    std::string text = Cells(col, row);
    OnGetEditText(this, col, row, text);
    return text;
}

void TStringGrid::StoreEditText(std::int32_t col, std::int32_t row, const std::string& text) {
    ++editorUpdates_;
    try {
        if (text != Cells(col, row)) {
            SetCells(col, row, text);
        }
    } catch (...) {
        --editorUpdates_;
        throw;
    }
    --editorUpdates_;
    OnSetEditText(this, col, row, text);
}

void TStringGrid::SetUpdating(bool updating) {
    updating_ = updating;
    if (!updating_ && repaintPending_) {
        Invalidate();
        repaintPending_ = false;
    }
}

TStrings* TStringGrid::Rows(std::int32_t row) {
    return EnsureView(TViewAxis::Row, row);
}

TStrings* TStringGrid::Cols(std::int32_t col) {
    return EnsureView(TViewAxis::Column, col);
}

void TStringGrid::SetRows(std::int32_t row, TStrings* value) {
    Rows(row)->Assign(value);
}

void TStringGrid::SetCols(std::int32_t col, TStrings* value) {
    Cols(col)->Assign(value);
}

// The text stands on the cell's background: the opaque fill takes the
// brush colour the background was painted with, and an empty text fills the
// cell all the same.
void TStringGrid::PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                            TGridDrawState state) {
    if (DefaultDrawing()) {
        // The canvas's change events run before the text is read, so a
        // handler that writes the cell leaves no stale reference.
        HDC dc = Canvas()->Handle();
        const std::string& text = CellText(col, row);
        const auto length = static_cast<UINT>(std::min<std::size_t>(text.size(), INT_MAX));
        ExtTextOutA(dc, rect.left + 2, rect.top + 2, ETO_CLIPPED | ETO_OPAQUE, &rect, text.data(),
                    length, nullptr);
    }
    TDrawGrid::PaintCell(col, row, rect, state);
}

void TStringGrid::ColumnMoved(std::int32_t fromIndex, std::int32_t toIndex) {
    rows_->VisitAll([&](std::int32_t, void* list) {
        static_cast<TStringSparseList*>(list)->Move(fromIndex, toIndex);
        return 0;
    });
    Invalidate();
    TDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(std::int32_t fromIndex, std::int32_t toIndex) {
    rows_->Move(fromIndex, toIndex);
    Invalidate();
    TDrawGrid::RowMoved(fromIndex, toIndex);
}

} // namespace velbrin
