// How a grid paints its lines, its cells and the client area past them.

#include "TCustomGrid.h"

#include "GridLines.h"
#include "TInplaceEdit.h"
#include "controls/TControlCanvas.h"
#include "forms/Forms.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <climits>

namespace velbrin {

namespace {

constexpr DWORD kGeometricLinePen = PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER;

LONG Clamped(std::int64_t value) {
    return static_cast<LONG>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

bool InRange(const TCellRange& range, TCellCoord cell) {
    return cell.X >= range.Left && cell.X <= range.Right && cell.Y >= range.Top &&
           cell.Y <= range.Bottom;
}

// The area a paint reaches, read once for a run of cells: a cell outside
// its box is not drawn, and one inside an area that is all of its box is
// drawn without asking the device context again.
class TRepaintArea {
public:
    explicit TRepaintArea(TCanvas& canvas)
        : canvas_(canvas), rectangular_(canvas.ClipBox(box_) == SIMPLEREGION) {}

    bool Reaches(const RECT& rect) const {
        if (rect.left >= rect.right || rect.top >= rect.bottom) {
            return canvas_.RectVisible(rect);
        }
        if (rect.right <= box_.left || rect.left >= box_.right || rect.bottom <= box_.top ||
            rect.top >= box_.bottom) {
            return false;
        }
        return rectangular_ || canvas_.RectVisible(rect);
    }

private:
    TCanvas& canvas_;
    RECT box_{};
    bool rectangular_;
};

} // namespace

// A part of the client area whose lines are drawn together: which kinds
// show, from which cells on, and in which colour a shown line and a hidden
// one are drawn.
struct TCustomGrid::TLineRegion {
    bool showHorz;
    bool showVert;
    TCellCoord first;
    RECT bounds;
    TColor on;
    TColor off;
};

// A part of the client area whose cells are drawn together.
struct TCustomGrid::TCellRegion {
    TCellCoord first;
    POINT start;
    POINT stop;
    TColor background;
    TGridDrawState baseState;
};

// What one paint works from.
struct TCustomGrid::TPaintPass {
    TGridLayout layout;
    TCellRange selection;
    // The DrawEdge sides of a fixed cell: right and bottom in the shadow
    // colour, then left and top in the light one.
    UINT firstEdges = 0;
    UINT secondEdges = 0;
    // Asked at the first cell drawn, as only that needs the form.
    std::optional<bool> gridIsActive;
};

void TCustomGrid::Paint() {
    TPaintPass pass;
    pass.layout = CalcLayout();
    const TAxisLayout& horz = pass.layout.Horz;
    const TAxisLayout& vert = pass.layout.Vert;
    if (horz.LineWidth > 0 || vert.LineWidth > 0) {
        PaintLines(pass.layout);
    }
    pass.selection = Selection();
    if (HasOption(options_, goFixedVertLine)) {
        pass.firstEdges |= BF_RIGHT;
        pass.secondEdges |= BF_LEFT;
    }
    if (HasOption(options_, goFixedHorzLine)) {
        pass.firstEdges |= BF_BOTTOM;
        pass.secondEdges |= BF_TOP;
    }
    const TCellRegion regions[] = {
        {{0, 0}, {0, 0}, {horz.FixedBoundary, vert.FixedBoundary}, fixedColor_, gdsFixed},
        {{topLeft_.X, 0},
         {horz.FixedBoundary - colOffset_, 0},
         {horz.GridBoundary, vert.FixedBoundary},
         fixedColor_,
         gdsFixed},
        {{0, topLeft_.Y},
         {0, vert.FixedBoundary},
         {horz.FixedBoundary, vert.GridBoundary},
         fixedColor_,
         gdsFixed},
        {topLeft_,
         {horz.FixedBoundary - colOffset_, vert.FixedBoundary},
         {horz.GridBoundary, vert.GridBoundary},
         Color(),
         0},
    };
    for (const TCellRegion& region : regions) {
        PaintCellRegion(pass, region);
    }
    if (!HasState(csDesigning) && HasOption(options_, goRowSelect) && defaultDrawing_ &&
        Focused()) {
        Canvas()->DrawFocusRect(
            velbrin::RangeBounds(pass.layout, pass.selection, TGridLines::Excluded));
    }
    PaintBeyondLastCell(pass.layout);
}

void TCustomGrid::PaintLines(const TGridLayout& layout) {
    const TAxisLayout& horz = layout.Horz;
    const TAxisLayout& vert = layout.Vert;
    // A grid in silver would hide silver lines.
    const TColor lineColor = ResolveColor(Color()) == ResolveColor(clSilver) ? clGray : clSilver;
    const std::int32_t visible = std::max(horz.LastFullVisibleCell - topLeft_.X + fixedCols_,
                                          vert.LastFullVisibleCell - topLeft_.Y + fixedRows_);
    const std::size_t limit = static_cast<std::size_t>(std::max(visible, 0)) + 3;
    const bool fixedHorz = HasOption(options_, goFixedHorzLine);
    const bool fixedVert = HasOption(options_, goFixedVertLine);
    const TLineRegion regions[] = {
        {fixedHorz,
         fixedVert,
         {0, 0},
         {0, 0, horz.FixedBoundary, vert.FixedBoundary},
         clBlack,
         fixedColor_},
        {fixedHorz,
         fixedVert,
         {topLeft_.X, 0},
         {horz.FixedBoundary, 0, horz.GridBoundary, vert.FixedBoundary},
         clBlack,
         fixedColor_},
        {fixedHorz,
         fixedVert,
         {0, topLeft_.Y},
         {0, vert.FixedBoundary, horz.FixedBoundary, vert.GridBoundary},
         clBlack,
         fixedColor_},
        {HasOption(options_, goHorzLine),
         HasOption(options_, goVertLine),
         topLeft_,
         {horz.FixedBoundary, vert.FixedBoundary, horz.GridBoundary, vert.GridBoundary},
         lineColor,
         Color()},
    };
    for (const TLineRegion& region : regions) {
        PaintLineRegion(layout, region, limit);
    }
}

// The kind that shows goes second, so that the hidden kind, drawn in the
// background colour, never covers it.
void TCustomGrid::PaintLineRegion(const TGridLayout& layout, const TLineRegion& region,
                                  std::size_t limit) {
    const RECT& bounds = region.bounds;
    if (bounds.left == bounds.right || bounds.top == bounds.bottom) {
        return;
    }
    if (region.showHorz) {
        PaintLineKind(layout, region, TLineKind::Vertical, limit);
        PaintLineKind(layout, region, TLineKind::Horizontal, limit);
    } else {
        PaintLineKind(layout, region, TLineKind::Horizontal, limit);
        PaintLineKind(layout, region, TLineKind::Vertical, limit);
    }
}

// All lines of one kind in a region go to Windows in one call.
void TCustomGrid::PaintLineKind(const TGridLayout& layout, const TLineRegion& region,
                                TLineKind kind, std::size_t limit) {
    const bool vertical = kind == TLineKind::Vertical;
    const TAxisLayout& axis = vertical ? layout.Horz : layout.Vert;
    if (axis.LineWidth <= 0) {
        return;
    }
    const RECT& bounds = region.bounds;
    const std::vector<std::int32_t> positions =
        vertical ? GridLinePositions(axis, region.first.X, bounds.left, bounds.right, limit)
                 : GridLinePositions(axis, region.first.Y, bounds.top, bounds.bottom, limit);
    if (positions.empty()) {
        return;
    }
    std::vector<POINT> points;
    points.reserve(positions.size() * 2);
    for (const std::int32_t position : positions) {
        if (vertical) {
            points.push_back({position, bounds.top});
            points.push_back({position, bounds.bottom});
        } else {
            points.push_back({bounds.left, position});
            points.push_back({bounds.right, position});
        }
    }
    const std::vector<DWORD> counts(positions.size(), 2);
    SelectLinePen((vertical ? region.showVert : region.showHorz) ? region.on : region.off);
    PolyPolyline(Canvas()->Handle(), points.data(), counts.data(),
                 static_cast<DWORD>(counts.size()));
}

// A line wider than a pixel ends flat at the region's edges and does not
// reach past them as a round cap would.
void TCustomGrid::SelectLinePen(TColor color) {
    TPen* pen = Canvas()->Pen();
    pen->SetWidth(gridLineWidth_);
    pen->SetColor(color);
    if (gridLineWidth_ > 1) {
        const LOGBRUSH brush{BS_SOLID, ResolveColor(color), 0};
        if (HPEN geometric = ExtCreatePen(kGeometricLinePen, static_cast<DWORD>(gridLineWidth_),
                                          &brush, 0, nullptr)) {
            pen->SetHandle(geometric);
        }
    }
}

void TCustomGrid::PaintCellRegion(TPaintPass& pass, const TCellRegion& region) {
    const std::int32_t colLine = pass.layout.Horz.LineWidth;
    const std::int32_t rowLine = pass.layout.Vert.LineWidth;
    const TRepaintArea area(*Canvas());
    std::int64_t top = region.start.y;
    for (std::int32_t row = region.first.Y; top < region.stop.y && row < rowCount_; ++row) {
        const std::int64_t bottom = top + RowHeights(row);
        std::int64_t left = region.start.x;
        for (std::int32_t col = region.first.X; left < region.stop.x && col < colCount_; ++col) {
            const std::int64_t right = left + ColWidths(col);
            const RECT rect{Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
            // A cell outside the area to repaint costs nothing more.
            if (area.Reaches(rect)) {
                PaintOneCell(pass, region, {col, row}, rect);
            }
            left = right + colLine;
        }
        top = bottom + rowLine;
    }
}

void TCustomGrid::PaintOneCell(TPaintPass& pass, const TCellRegion& region, TCellCoord cell,
                               const RECT& rect) {
    const TGridDrawState state = DrawStateOf(pass, region, cell);
    if (IsUnderEditor(state)) {
        return;
    }
    if (defaultDrawing_ || HasState(csDesigning)) {
        FillCellBackground(rect, state, region.background);
    }
    PaintCell(cell.X, cell.Y, rect, state);
    if (defaultDrawing_ && (state & gdsFixed) != 0 && Ctl3D() && pass.firstEdges != 0) {
        DrawFixedCellEdges(pass, rect);
    }
    if (ShowsFocusRect(state)) {
        Canvas()->DrawFocusRect(rect);
    }
}

TGridDrawState TCustomGrid::DrawStateOf(TPaintPass& pass, const TCellRegion& region,
                                        TCellCoord cell) {
    if (!pass.gridIsActive) {
        pass.gridIsActive = IsActiveControlOfForm();
    }
    TGridDrawState state = region.baseState;
    if (*pass.gridIsActive && cell == current_) {
        state |= gdsFocused;
    }
    if (InRange(pass.selection, cell)) {
        state |= gdsSelected;
    }
    return state;
}

// A selected cell shows the highlight unless it is the focused one, which
// keeps the normal look under its focus frame.
void TCustomGrid::FillCellBackground(const RECT& rect, TGridDrawState state, TColor background) {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const bool highlighted =
        (state & gdsSelected) != 0 &&
        ((state & gdsFocused) == 0 || HasOption(options_, goDrawFocusSelected) ||
         HasOption(options_, goRowSelect));
    if (highlighted) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    } else {
        canvas->Brush()->SetColor(background);
    }
    if (!(paintCellFillsCell_ && defaultDrawing_)) {
        canvas->FillRect(rect);
    }
}

// The edges take in the cell's grid line on the side that has no edge, so
// the raised look reaches the black line of the next cell.
void TCustomGrid::DrawFixedCellEdges(const TPaintPass& pass, const RECT& rect) {
    RECT edges = rect;
    if ((pass.firstEdges & BF_RIGHT) == 0) {
        edges.right += pass.layout.Horz.LineWidth;
    } else if ((pass.firstEdges & BF_BOTTOM) == 0) {
        edges.bottom += pass.layout.Vert.LineWidth;
    }
    HDC dc = Canvas()->Handle();
    DrawEdge(dc, &edges, BDR_RAISEDINNER, pass.firstEdges);
    DrawEdge(dc, &edges, BDR_RAISEDINNER, pass.secondEdges);
}

// The editor shown over the current cell paints it.
bool TCustomGrid::IsUnderEditor(TGridDrawState state) {
    return (state & gdsFocused) != 0 && HasOption(options_, goEditing) && editorShown_ &&
           !HasState(csDesigning) && editor_ != nullptr && editor_->Shown();
}

// With the editor always shown the editor marks the cell; with whole rows
// selected one frame goes round the row instead.
bool TCustomGrid::ShowsFocusRect(TGridDrawState state) const {
    return defaultDrawing_ && !HasState(csDesigning) && (state & gdsFocused) != 0 &&
           !(HasOption(options_, goEditing) && HasOption(options_, goAlwaysShowEditor)) &&
           !HasOption(options_, goRowSelect);
}

void TCustomGrid::PaintBeyondLastCell(const TGridLayout& layout) {
    const TAxisLayout& horz = layout.Horz;
    const TAxisLayout& vert = layout.Vert;
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    if (horz.GridBoundary < horz.GridExtent) {
        canvas->FillRect({horz.GridBoundary, 0, horz.GridExtent, vert.GridBoundary});
    }
    if (vert.GridBoundary < vert.GridExtent) {
        canvas->FillRect({0, vert.GridBoundary, horz.GridExtent, vert.GridExtent});
    }
}

// The focused look belongs to the grid its form has made active, which
// need not be the window with the focus.
bool TCustomGrid::IsActiveControlOfForm() {
    auto* form = dynamic_cast<TForm*>(ParentForm());
    if (form == nullptr) {
        throw ResourceError<EInvalidOperation>(SParentRequired, {Name()});
    }
    return form->ActiveControl() == this;
}

} // namespace velbrin
