// How a grid answers the keyboard: the keys that move its current cell.

#include "TCustomGrid.h"

#include "GridInternals.h"
#include "TInplaceEdit.h"

namespace velbrin {

using namespace gridinternals;

void TCustomGrid::WMGetDlgCode(TMessage& message) {
    message.Result = DLGC_WANTARROWS;
    if (HasOption(options_, goRowSelect)) {
        return;
    }
    if (HasOption(options_, goTabs)) {
        message.Result |= DLGC_WANTTAB;
    }
    if (HasOption(options_, goEditing)) {
        message.Result |= DLGC_WANTCHARS;
    }
}

void TCustomGrid::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    const TGridLayout layout = CalcLayout();
    TKeyMove move{current_, topLeft_, std::max(1, layout.Horz.LastFullVisibleCell - topLeft_.X),
                  std::max(1, layout.Vert.LastFullVisibleCell - topLeft_.Y),
                  layout.Vert.LastFullVisibleCell};
    if ((shift & ssCtrl) != 0) {
        StepWithCtrl(key, move);
    } else {
        StepPlain(key, shift, move);
    }
    const TCellCoord farthest = MaxTopLeft(layout, {colCount_ - 1, rowCount_ - 1});
    const TCellCoord topLeft{KeptBetween(move.topLeft.X, fixedCols_, farthest.X),
                             KeptBetween(move.topLeft.Y, fixedRows_, farthest.Y)};
    if (topLeft != topLeft_) {
        MoveTopLeft(topLeft.X, topLeft.Y);
    }
    const TCellCoord next{KeptBetween(move.current.X, fixedCols_, colCount_ - 1),
                          KeptBetween(move.current.Y, fixedRows_, rowCount_ - 1)};
    if (next != current_) {
        FocusOnCell(next, (shift & ssShift) != 0 ? TAnchorMove::Stays : TAnchorMove::Follows);
    }
    if (key == VK_F2 && (shift & ssCtrl) == 0) {
        SetEditorMode(true);
        if (editor_ != nullptr && editor_->HasWindow()) {
            editor_->Deselect();
        }
    }
}

// With Ctrl the keys work within the page shown, or scroll it.
void TCustomGrid::StepWithCtrl(WORD key, TKeyMove& move) const {
    switch (key) {
    case VK_PRIOR:
        move.current.Y = topLeft_.Y;
        break;
    case VK_NEXT:
        move.current.Y = move.lastRow;
        break;
    case VK_END:
        move.current = {colCount_ - 1, rowCount_ - 1};
        break;
    case VK_HOME:
        move.current = {fixedCols_, fixedRows_};
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!HasOption(options_, goRowSelect)) {
            const std::int32_t step = key == VK_LEFT ? -move.pageWidth : move.pageWidth;
            move.current.X += step;
            move.topLeft.X += step;
        }
        break;
    case VK_UP:
        --move.topLeft.Y;
        break;
    case VK_DOWN:
        ++move.topLeft.Y;
        break;
    default:
        break;
    }
}

// Selecting rows, the sideways keys move between rows.
void TCustomGrid::StepPlain(WORD key, TShiftState& shift, TKeyMove& move) const {
    const bool rowSelect = HasOption(options_, goRowSelect);
    TCellCoord& current = move.current;
    switch (key) {
    case VK_TAB:
        if ((shift & ssAlt) == 0) {
            current = TabbedCell((shift & ssShift) != 0);
            // A step back is a step all the same: the anchor follows.
            shift &= ~ssShift;
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const std::int32_t step = key == VK_PRIOR ? -move.pageHeight : move.pageHeight;
        current.Y += step;
        move.topLeft.Y += step;
        break;
    }
    case VK_END:
        if (rowSelect) {
            current.Y = rowCount_ - 1;
        } else {
            current.X = colCount_ - 1;
        }
        break;
    case VK_HOME:
        if (rowSelect) {
            current.Y = fixedRows_;
        } else {
            current.X = fixedCols_;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
        (rowSelect ? current.Y : current.X) += key == VK_LEFT ? -1 : 1;
        break;
    case VK_UP:
        --current.Y;
        break;
    case VK_DOWN:
        ++current.Y;
        break;
    default:
        break;
    }
}

// Tab runs along the rows and wraps from the last cell to the first.
TCellCoord TCustomGrid::TabbedCell(bool backward) const {
    TCellCoord cell = current_;
    if (!backward) {
        if (++cell.X >= colCount_) {
            cell.X = fixedCols_;
            if (++cell.Y >= rowCount_) {
                cell.Y = fixedRows_;
            }
        }
    } else if (--cell.X < fixedCols_) {
        cell.X = colCount_ - 1;
        if (--cell.Y < fixedRows_) {
            cell.Y = rowCount_ - 1;
        }
    }
    return cell;
}

void TCustomGrid::FocusOnCell(TCellCoord cell, TAnchorMove anchor) {
    MoveCurrentCell(cell.X, cell.Y, anchor, TReveal::Yes);
    RefreshEditor();
    Click();
}

} // namespace velbrin
