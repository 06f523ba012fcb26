#pragma once
// The windowed control that shows a table of cells: how many columns and
// rows it has, which of them are fixed (never scroll), how wide each column
// and how high each row is, where the cells lie on screen for the current
// first visible column and row, which cell a point falls in, and which cell
// is current. Widths and heights take no storage until one differs from the
// default.

#include "GridLayout.h"
#include "Grids.h"
#include "controls/TCustomControl.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velbrin {

class TInplaceEdit;

class TCustomGrid : public TCustomControl {
    VELBRIN_CLASS(TCustomGrid, TCustomControl)

public:
    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    // Stores the widths and heights that were set one by one as "ColWidths"
    // and "RowHeights", lists of one integer per column (row).
    void DeclareStoredData(TFiler* filer) override;
    void PrepareWindowSpec(TCreateParams& params) override;
    // The cells grow with the bounds and the font, so that their texts still
    // fit: the default and each set width and height are scaled too.
    void ScaleControl(int multiplier, int divider) override;
    // Every pixel of the client area: the grid lines, each cell that lies in
    // the clipping region (its background, its contents through PaintCell,
    // the raised edges of fixed cells, the focus frame of the current cell)
    // and the strips past the last cell. Raises EInvalidOperation when a
    // cell is to be drawn while the grid lies on no form.
    void Paint() override;

    // Counts below 1 become 1; FixedCols (FixedRows) shrinks to stay below
    // the count. Cell contents are not touched.
    std::int32_t ColCount() const { return colCount_; }
    void SetColCount(std::int32_t value);
    std::int32_t RowCount() const { return rowCount_; }
    void SetRowCount(std::int32_t value);
    // EInvalidGridOperation below 0 or at the count or more. A change moves
    // the current cell, the anchor and the first visible cell back to the
    // first non-fixed cell.
    std::int32_t FixedCols() const { return fixedCols_; }
    void SetFixedCols(std::int32_t value);
    std::int32_t FixedRows() const { return fixedRows_; }
    void SetFixedRows(std::int32_t value);
    // Setting a default drops every width (height) set one by one.
    std::int32_t DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(std::int32_t value);
    std::int32_t DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(std::int32_t value);
    std::int32_t GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(std::int32_t value);
    TGridOptions Options() const { return options_; }
    // goRowSelect takes goAlwaysShowEditor out; bits that name no option
    // raise EInvalidGridOperation.
    void SetOptions(TGridOptions value);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // bsNone or bsSingle; another style raises EInvalidGridOperation.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value) { defaultDrawing_ = value; }

    // The width of column `col`: DefaultColWidth unless one was set for it.
    std::int32_t ColWidths(std::int32_t col) const;
    // EInvalidGridOperation for a column outside 0 to ColCount - 1.
    void SetColWidths(std::int32_t col, std::int32_t width);
    std::int32_t RowHeights(std::int32_t row) const;
    void SetRowHeights(std::int32_t row, std::int32_t height);
    // Whether any width (height) is held one by one.
    bool HasColWidths() const { return colWidths_.has_value(); }
    bool HasRowHeights() const { return rowHeights_.has_value(); }

    // The scrolling columns (rows) that fit wholly in the client area from
    // the first visible one on; at least 1.
    std::int32_t VisibleColCount();
    std::int32_t VisibleRowCount();

    TCellCoord CurrentCell() const { return current_; }
    TCellCoord Anchor() const { return anchor_; }
    // The range between the current cell and the anchor.
    TCellRange Selection() const { return NormalizedRange(current_, anchor_); }
    std::int32_t FirstVisibleCol() const { return topLeft_.X; }
    std::int32_t FirstVisibleRow() const { return topLeft_.Y; }
    // Scroll the grid so that `value` becomes the first scrolling column
    // (row) shown, kept between the first non-fixed one and the one that
    // shows the last column (row) at the edge.
    void SetFirstVisibleCol(std::int32_t value);
    void SetFirstVisibleRow(std::int32_t value);
    // How many pixels a grid of one column is scrolled to the left.
    std::int32_t ColOffset() const { return colOffset_; }

    // The layout of the client area, and of a client area of another size.
    // The client area's layout is kept and computed again only when one of
    // its inputs changed: the reference holds until the grid changes.
    const TGridLayout& CalcLayout();
    TGridLayout CalcLayoutFor(std::int32_t width, std::int32_t height) const;
    // The client rectangle of a cell without its lines; all zero off screen.
    RECT CellBounds(std::int32_t col, std::int32_t row);
    RECT RangeBounds(const TCellRange& range, TGridLines lines);
    TCellCoord CellAtPoint(std::int32_t x, std::int32_t y);

    // Marks the cell with its lines for repainting, without erasing; nothing
    // without a window or for a cell off screen.
    void InvalidateCell(std::int32_t col, std::int32_t row);
    void InvalidateGrid() { Invalidate(); }

    // Whether the user asked for the in-place editor (F2, Enter, typing, a
    // click on the current cell); it shows only with goEditing, without
    // goRowSelect, and while the grid is active on its form (or always with
    // goAlwaysShowEditor). Switching it off stores the editor's text.
    bool EditorMode() const { return editorShown_; }
    void SetEditorMode(bool value);
    // The editor, made on first need; null before.
    TInplaceEdit* InplaceEditor() const { return editor_; }
    // Fills the editor again from the current cell, as after its contents
    // changed elsewhere.
    void ReloadEditor();

protected:
    // Virtual operations added to TCustomControl's, in slot order.
    // Column `fromIndex` was moved to `toIndex`; the base does nothing.
    virtual void ColumnMoved(std::int32_t fromIndex, std::int32_t toIndex);
    // Row `fromIndex` was moved to `toIndex`; the base does nothing.
    virtual void RowMoved(std::int32_t fromIndex, std::int32_t toIndex);
    // Draws the contents of cell (col, row) on Canvas() inside `rect`, the
    // cell without its lines, which DefaultDrawing has filled with the
    // cell's background and given the font in the cell's text colour.
    virtual void PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                           TGridDrawState state) = 0;
    // Whether cell (col, row) may become the current cell; the base agrees.
    virtual bool CanSelectCell(std::int32_t col, std::int32_t row);
    // The column or row count changed from the old counts given.
    virtual void SizeChanged(std::int32_t oldColCount, std::int32_t oldRowCount);
    // A column width (row height) or the default one changed: the scroll
    // ranges follow, and a shown editor moves with its cell.
    virtual void ColumnWidthsModified();
    virtual void RowHeightsModified();

    // The first visible column or row moved; the draw grid tells its users.
    virtual void ScrollOriginChanged();
    // The text the editor starts with for cell (col, row); the base gives
    // an empty one.
    virtual std::string EditTextFor(std::int32_t col, std::int32_t row);
    // The editor's text for cell (col, row); the base drops it.
    virtual void StoreEditText(std::int32_t col, std::int32_t row, const std::string& text);
    // The input mask of the editor for cell (col, row); the base gives none.
    virtual std::string EditMaskFor(std::int32_t col, std::int32_t row);

    // A grid whose PaintCell fills the whole cell in its background under
    // DefaultDrawing (the string grid's opaque text does) gets the colours
    // set but no fill of its own first, so each cell is painted once.
    void SetPaintCellFillsCell(bool value) { paintCellFillsCell_ = value; }

    // Unless goAlwaysShowEditor holds, Enter switches the editor on or off.
    void KeyPress(char& key) override;
    // Leaving the grid hides the editor unless it is always shown.
    void DoExit() override;

    // The arrows, Home, End, the page keys (with Ctrl, within the page) and
    // Tab move the current cell, Shift held extending the selection; the
    // cell moved to is scrolled into view.
    void KeyDown(WORD& key, TShiftState shift) override;
    // A press focuses the grid and makes the cell under it current (with
    // Shift the end of the selection), or starts sizing the column or row
    // whose line it lies on, or (with goColMoving, goRowMoving) moving the
    // column or row whose fixed cell it hits; dragging extends the
    // selection, scrolling when the pointer leaves the cells.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // Whether a move of the current cell takes the anchor along.
    enum class TAnchorMove : std::uint8_t { Stays, Follows };
    // Whether a moved cell is scrolled into view.
    enum class TReveal : std::uint8_t { No, Yes };

    // Makes (col, row) the current cell, unless CanSelectCell refuses it;
    // EInvalidGridOperation for a cell outside the grid. Without
    // goRangeSelect the anchor always follows; with goRowSelect the current
    // column is FixedCols and the anchor's the last one.
    void MoveCurrentCell(std::int32_t col, std::int32_t row, TAnchorMove anchor,
                         TReveal reveal = TReveal::No);
    // Extends the selection to `cell` (with goRangeSelect and without
    // goEditing), else makes it the current cell; either way into view.
    void MoveAnchor(TCellCoord cell);
    // Scrolls the least that shows `cell` wholly; only with a window.
    void ClampInView(TCellCoord cell);
    // Makes (left, top) the first visible column and row, moving the pixels
    // already shown rather than repainting them.
    void MoveTopLeft(std::int32_t left, std::int32_t top);
    // Fits the scroll bars' ranges to the cells and the client size, pulling
    // the first visible cell back when less is hidden than before.
    void UpdateScrollRange();
    // Moves column (row) `from` to `to`, those between shifting by one, with
    // their widths (heights), the current cell and the anchor.
    void MoveColumn(std::int32_t from, std::int32_t to);
    void MoveRow(std::int32_t from, std::int32_t to);
    // Sets new counts, keeping the widths, heights and current cell in step;
    // when that fails the old counts come back.
    void ChangeSize(std::int32_t newColCount, std::int32_t newRowCount);

private:
    using TExtentArray = std::optional<std::vector<std::int32_t>>;

    void PlaceCurrentCell(TCellCoord cell, TAnchorMove anchor, TReveal reveal);
    void ResetPosition();
    void UpdateAfterResize();
    void InvalidateResizedArea(const TGridLayout& oldLayout);
    void InvalidateSelection(const TCellRange& selection);
    void InvalidateSelectionChange(const TCellRange& oldSelection);
    std::int32_t LineWidthFor(TGridOption fixedLines, TGridOption lines) const;
    // Everything a layout is computed from. The extents enter through a
    // count of their changes, raised wherever a width or height is stored.
    struct TLayoutInputs {
        std::int32_t colLineWidth;
        std::int32_t rowLineWidth;
        std::int32_t fixedCols;
        std::int32_t fixedRows;
        TCellCoord topLeft;
        std::int32_t colCount;
        std::int32_t rowCount;
        std::int32_t width;
        std::int32_t height;
        std::uint64_t extentChanges;
        bool operator==(const TLayoutInputs&) const = default;
    };
    TLayoutInputs LayoutInputsFor(std::int32_t width, std::int32_t height) const;
    TGridLayout LayoutFrom(const TLayoutInputs& inputs) const;
    void ExtentsChanged() { ++extentChanges_; }
    bool IsCtl3DStored() const { return !ParentCtl3D(); }
    void ReadColWidths(TReader& reader);
    void ReadRowHeights(TReader& reader);
    void WriteColWidths(TWriter& writer) const;
    void WriteRowHeights(TWriter& writer) const;
    void CMCtl3DChanged(TMessage& message);
    void WMFocusMoved(TMessage& message);
    void WMSize(TMessage& message);
    void WMGetDlgCode(TMessage& message);
    void WMSetCursor(TMessage& message);
    void WMTimer(TMessage& message);
    void CMInvalidate(TMessage& message);
    void WMPaint(TMessage& message);
    bool WholeClientAwaitsPaint();

    enum class TMouseState : std::uint8_t {
        Normal,
        Selecting,
        RowSizing,
        ColSizing,
        RowMoving,
        ColMoving
    };
    struct TSizingHit {
        TMouseState state;
        std::int32_t index;
        std::int32_t position;
        std::int32_t offset;
    };
    std::optional<TSizingHit> SizingAt(const TGridLayout& layout, std::int32_t x, std::int32_t y);
    void PressLeft(TShiftState shift, std::int32_t x, std::int32_t y);
    void DrawSizingLine();
    void DrawXorLine(POINT from, POINT to, std::int32_t width);
    bool IsMoving() const;
    void PressFixedCell(TCellCoord cell);
    void StartMoving(TMouseState state, std::int32_t index);
    void EndMoving();
    void DrawMoveMarker();
    void UpdateDropPosition(std::int32_t position, std::int32_t hit);
    void ScrollBy(int bar, int code, int thumb);
    void EndSizing();
    void AutoScrollTick();
    // Where a key takes the current cell and the first visible cell, and
    // the page it moves within.
    struct TKeyMove {
        TCellCoord current;
        TCellCoord topLeft;
        std::int32_t pageWidth;
        std::int32_t pageHeight;
        std::int32_t lastRow;
    };
    void StepWithCtrl(WORD key, TKeyMove& move) const;
    void StepPlain(WORD key, TShiftState& shift, TKeyMove& move) const;
    TCellCoord TabbedCell(bool backward) const;
    void FocusOnCell(TCellCoord cell, TAnchorMove anchor);
    void WMHScroll(TMessage& message);
    void WMVScroll(TMessage& message);
    // The mouse wheel (turned for the grid or its editor, whichever has the
    // focus) scrolls the rows a line per notch; the current cell stays.
    void WMMouseWheel(TMessage& message);

    bool WantsScrollBar(int bar) const;
    bool ScrollBarShown(int bar);
    void UpdateOneRange(int bar, std::int32_t width, std::int32_t height);
    void PullBackToLastPage();
    void UpdateScrollPos();
    void SetScrollPosIfChanged(int bar, int position);
    void TopLeftMoved(TCellCoord oldTopLeft);
    void ScrollContents(const TGridLayout& layout, std::int32_t dx, std::int32_t dy);
    void ScrollArea(const RECT& area, std::int32_t dx, std::int32_t dy);
    void HandleScrollMessage(int bar, const TMessage& message);
    std::int32_t ScrolledValue(int bar, int code, int thumb);
    void ScrollByPixels(int code, int thumb);
    void DropColOffset();
    TCellCoord LastMaxTopLeft();

    struct TLineRegion;
    struct TCellRegion;
    struct TPaintPass;
    enum class TLineKind : std::uint8_t { Vertical, Horizontal };
    void PaintLines(const TGridLayout& layout);
    void PaintLineRegion(const TGridLayout& layout, const TLineRegion& region, std::size_t limit);
    void PaintLineKind(const TGridLayout& layout, const TLineRegion& region, TLineKind kind,
                       std::size_t limit);
    void SelectLinePen(TColor color);
    void PaintCellRegion(TPaintPass& pass, const TCellRegion& region);
    void PaintOneCell(TPaintPass& pass, const TCellRegion& region, TCellCoord cell,
                      const RECT& rect);
    TGridDrawState DrawStateOf(TPaintPass& pass, const TCellRegion& region, TCellCoord cell);
    void FillCellBackground(const RECT& rect, TGridDrawState state, TColor background);
    void DrawFixedCellEdges(const TPaintPass& pass, const RECT& rect);
    bool IsUnderEditor(TGridDrawState state);
    bool ShowsFocusRect(TGridDrawState state) const;
    void PaintBeyondLastCell(const TGridLayout& layout);
    bool IsActiveControlOfForm();

    friend class TDrawGrid;
    friend class TInplaceEdit;

    bool EditorAllowed();
    void RefreshEditor();
    void HideEditor();
    void FillEditor();
    void EditTextChanged(const std::string& text);
    void WMChar(TMessage& message);

    TInplaceEdit* editor_ = nullptr;
    // The cell the editor was filled for; (-1, -1) when none.
    TCellCoord editorCell_{-1, -1};
    bool editorShown_ = false;

    TCellCoord anchor_;
    TExtentArray colWidths_;
    TCellCoord current_;
    TExtentArray rowHeights_;
    TCellCoord topLeft_;
    std::int32_t colCount_ = 5;
    std::int32_t rowCount_ = 5;
    std::int32_t fixedCols_ = 1;
    std::int32_t fixedRows_ = 1;
    std::int32_t defaultColWidth_ = 64;
    std::int32_t defaultRowHeight_ = 24;
    std::int32_t gridLineWidth_ = 1;
    std::int32_t colOffset_ = 0;
    // The wheel's turn not yet scrolled: less than a notch either way.
    std::int32_t wheelTurn_ = 0;
    TMouseState mouseState_ = TMouseState::Normal;
    // The column or row being sized, where its line is dragged to and how
    // far the pointer was from the line at the press.
    std::int32_t sizingIndex_ = 0;
    std::int32_t sizingPosition_ = 0;
    std::int32_t sizingOffset_ = 0;
    // The column or row being moved and where it would land.
    std::int32_t moveIndex_ = 0;
    std::int32_t movePosition_ = 0;
    TGridOptions options_ = kDefaultGridOptions;
    TColor fixedColor_ = clBtnFace;
    TScrollStyle scrollBars_ = ssBoth;
    TBorderStyle borderStyle_ = bsSingle;
    bool defaultDrawing_ = true;
    bool paintCellFillsCell_ = false;
    // The whole client area was invalidated and has not been painted since;
    // the platform is asked before this is trusted.
    bool wholeClientInvalidated_ = false;
    // Receives the update region when that is checked; made at the first
    // check and kept, as the chart checks at every cell it writes.
    HRGN updateProbe_ = nullptr;
    std::uint64_t extentChanges_ = 0;
    // The client area's layout and what it was computed from.
    std::optional<TGridLayout> keptLayout_;
    TLayoutInputs keptInputs_{};
};

} // namespace velbrin
