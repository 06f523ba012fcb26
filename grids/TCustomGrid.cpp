#include "TCustomGrid.h"

#include "TInplaceEdit.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

namespace {

[[noreturn]] void RaiseInvalidValue() {
    throw ResourceError<EInvalidGridOperation>(SInvalidPropertyValue);
}

// Windows 4.0 and later draw controls with sunken client edges.
bool NewStyleControls() {
    return (GetVersion() & 0xFF) >= 4;
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TCustomGrid, TCustomControl, "Grids") {
    cls.Handle<CM_CTL3D_CHANGED, &TCustomGrid::CMCtl3DChanged>();
    cls.Handle<WM_SETFOCUS, &TCustomGrid::WMFocusMoved>();
    cls.Handle<WM_KILLFOCUS, &TCustomGrid::WMFocusMoved>();
    cls.Handle<WM_SIZE, &TCustomGrid::WMSize>();
    cls.Handle<WM_HSCROLL, &TCustomGrid::WMHScroll>();
    cls.Handle<WM_VSCROLL, &TCustomGrid::WMVScroll>();
    cls.Handle<WM_MOUSEWHEEL, &TCustomGrid::WMMouseWheel>();
    cls.Handle<WM_GETDLGCODE, &TCustomGrid::WMGetDlgCode>();
    cls.Handle<WM_SETCURSOR, &TCustomGrid::WMSetCursor>();
    cls.Handle<WM_TIMER, &TCustomGrid::WMTimer>();
    cls.Handle<WM_CHAR, &TCustomGrid::WMChar>();
    cls.Handle<CM_INVALIDATE, &TCustomGrid::CMInvalidate>();
    cls.Handle<WM_PAINT, &TCustomGrid::WMPaint>();
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    TControlStyle style = csCaptureMouse | csOpaque | csDoubleClicks;
    if (!NewStyleControls()) {
        style |= csFramed;
    }
    SetControlStyle(style);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), colCount_ * defaultColWidth_, rowCount_ * defaultRowHeight_);
    ResetPosition();
}

TCustomGrid::~TCustomGrid() {
    if (updateProbe_ != nullptr) {
        DeleteObject(updateProbe_);
    }
}

void TCustomGrid::ColumnMoved(std::int32_t, std::int32_t) {}

void TCustomGrid::RowMoved(std::int32_t, std::int32_t) {}

bool TCustomGrid::CanSelectCell(std::int32_t, std::int32_t) {
    return true;
}

void TCustomGrid::SizeChanged(std::int32_t, std::int32_t) {}

// The editor follows its cell to where the new extents put it.
void TCustomGrid::ColumnWidthsModified() {
    UpdateScrollRange();
    RefreshEditor();
}

void TCustomGrid::RowHeightsModified() {
    UpdateScrollRange();
    RefreshEditor();
}

// The editor stays over the current cell as the cells move under it.
void TCustomGrid::ScrollOriginChanged() {
    RefreshEditor();
}

std::string TCustomGrid::EditTextFor(std::int32_t, std::int32_t) {
    return {};
}

void TCustomGrid::StoreEditText(std::int32_t, std::int32_t, const std::string&) {}

std::string TCustomGrid::EditMaskFor(std::int32_t, std::int32_t) {
    return {};
}

void TCustomGrid::PrepareWindowSpec(TCreateParams& params) {
    TCustomControl::PrepareWindowSpec(params);
    params.Style |= WS_TABSTOP;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        params.Style |= WS_VSCROLL;
    }
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        params.Style |= WS_HSCROLL;
    }
    params.WindowClass.style = CS_DBLCLKS;
    if (borderStyle_ == bsSingle) {
        if (NewStyleControls() && Ctl3D()) {
            params.Style &= ~static_cast<DWORD>(WS_BORDER);
            params.ExStyle |= WS_EX_CLIENTEDGE;
        } else {
            params.Style |= WS_BORDER;
        }
    }
}

// The border depends on the 3-D look.
void TCustomGrid::CMCtl3DChanged(TMessage& message) {
    Inherited(message);
    RebuildWindow();
}

// The selection looks different with the focus and without it. The focus
// passing between the grid and its editor leaves the editor as it is.
void TCustomGrid::WMFocusMoved(TMessage& message) {
    Inherited(message);
    InvalidateSelection(Selection());
    const auto other = reinterpret_cast<HWND>(message.WParam);
    if (editor_ != nullptr && editor_->HasWindow() && other == editor_->Handle()) {
        return;
    }
    if (message.Msg == WM_SETFOCUS) {
        RefreshEditor();
    } else {
        HideEditor();
    }
}

void TCustomGrid::SetGridLineWidth(std::int32_t value) {
    if (value == gridLineWidth_) {
        return;
    }
    gridLineWidth_ = value;
    InvalidateGrid();
    // The lines take room, so cells that fitted may no longer fit, or the
    // other way round.
    UpdateScrollRange();
}

void TCustomGrid::SetOptions(TGridOptions value) {
    if ((value & ~kGridOptionMask) != 0) {
        RaiseInvalidValue();
    }
    if (value == options_) {
        return;
    }
    if (HasOption(value, goRowSelect)) {
        value = WithoutOption(value, goAlwaysShowEditor);
    }
    options_ = value;
    if (HasOption(options_, goRowSelect)) {
        MoveCurrentCell(current_.X, current_.Y, TAnchorMove::Follows);
    }
    // An editor the user opened stays open while the grid still edits.
    if (!editorShown_) {
        SetEditorMode(HasOption(options_, goAlwaysShowEditor));
    } else if (!HasOption(options_, goEditing) || HasOption(options_, goRowSelect)) {
        SetEditorMode(false);
    }
    InvalidateGrid();
    // Lines shown or hidden change the room the cells take.
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor value) {
    if (value == fixedColor_) {
        return;
    }
    fixedColor_ = value;
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
    if (value > ssBoth) {
        RaiseInvalidValue();
    }
    if (value == scrollBars_) {
        return;
    }
    scrollBars_ = value;
    RebuildWindow();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
    if (value != bsNone && value != bsSingle) {
        RaiseInvalidValue();
    }
    if (value == borderStyle_) {
        return;
    }
    borderStyle_ = value;
    RebuildWindow();
}

} // namespace velbrin
