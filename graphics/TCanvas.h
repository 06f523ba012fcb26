#pragma once
// A drawing surface over a device context, with its own font, pen and brush.
// Objects are selected into the DC only when an operation needs them and stay
// selected until they change; a changed object is replaced by a stock one at
// once, so its old handle is never selected when it is deleted.
//
// A canvas that finds its DC itself (a control's) derives and overrides
// AcquireHandle, which runs whenever an operation needs a DC and none is
// attached.

#include "TBrush.h"
#include "TFont.h"
#include "TPen.h"
#include "core/Events.h"
#include "core/TList.h"
#include "core/TPersistent.h"

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace velbrin {

// What the canvas has done to its DC: attached it, selected the current font,
// pen or brush into it.
using TCanvasState = std::uint8_t;
inline constexpr TCanvasState csHandleValid = 1 << 0;
inline constexpr TCanvasState csFontValid = 1 << 1;
inline constexpr TCanvasState csPenValid = 1 << 2;
inline constexpr TCanvasState csBrushValid = 1 << 3;
inline constexpr TCanvasState csAllValid = csHandleValid | csFontValid | csPenValid | csBrushValid;

// SRCCOPY.
inline constexpr std::int32_t DefaultCopyMode = 0xCC0020;

class TCanvas : public TPersistent {
    VELBRIN_CLASS(TCanvas, TPersistent)

public:
    TCanvas();
    ~TCanvas() override;

    // Fill the rectangle (right and bottom edges excluded) with the brush.
    void FillRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    // A line with the pen from the current position.
    void LineTo(int x, int y);
    void MoveTo(int x, int y);
    // The text in the font's colour on the brush's background; the current
    // position moves to the end of the text.
    void TextOut(int x, int y, std::string_view text);
    // 0 when the text cannot be measured.
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    POINT PenPos();
    void SetPenPos(POINT point);
    RECT ClipRect();
    // The box of the area drawing reaches and that area's kind:
    // SIMPLEREGION when the box is all of it.
    int ClipBox(RECT& box);
    // Whether any of `rect` lies in the area drawing reaches; asks without
    // selecting the canvas's tools or raising its change events.
    bool RectVisible(const RECT& rect);

    // The DC with the font, pen and brush selected and the text colours set,
    // for drawing on it directly.
    HDC Handle();
    // Attaches `dc` (0 detaches): the current position carries over, and the
    // new DC starts with none of the objects selected.
    void SetHandle(HDC dc);
    // The attached DC as it is, nothing selected on the way; 0 when none.
    HDC AttachedHandle() const { return handle_; }

    // Selects what `required` names and is not yet done, acquiring a DC
    // first when none is attached. Raises EInvalidOperation when there is no
    // DC to be had.
    void EnsureState(TCanvasState required);
    // Puts the stock pen, brush and font in the DC in place of the canvas's
    // own; the DC stays attached.
    void DeselectObjects();

    TCanvasState State() const { return state_; }
    TFont* Font() const { return font_; }
    TPen* Pen() const { return pen_; }
    TBrush* Brush() const { return brush_; }
    // These copy the given object into the canvas's own.
    void SetFont(TFont* font);
    void SetPen(TPen* pen) { pen_->Assign(pen); }
    void SetBrush(TBrush* brush) { brush_->Assign(brush); }
    std::int32_t CopyMode() const { return copyMode_; }
    void SetCopyMode(std::int32_t copyMode) { copyMode_ = copyMode; }

    virtual void Changed();
    virtual void Changing();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Attaches a DC when the canvas can find one; the base finds none.
    virtual void AcquireHandle();

private:
    void SelectFont();
    void SelectPen();
    void SelectBrush();
    void FontChanged(TObject* sender);
    void PenChanged(TObject* sender);
    void BrushChanged(TObject* sender);

    HDC handle_ = nullptr;
    TCanvasState state_ = 0;
    TFont* font_;
    TPen* pen_;
    TBrush* brush_;
    POINT penPos_{0, 0};
    std::int32_t copyMode_ = DefaultCopyMode;
};

// Every live canvas, of any class, in creation order.
TList& AllCanvases();

// After a change of the system colours: every canvas lets go of its objects,
// then the pens and brushes made from system colours drop their handles, so
// their next use makes them in the new colours. Records and counts stay.
void ReleaseSystemColorObjects();

// Runs `paint` with `dc` lent to `canvas`, and takes the context back
// afterwards, also when `paint` raises.
template <class Paint> void PaintWithHandle(TCanvas& canvas, HDC dc, Paint&& paint) {
    canvas.SetHandle(dc);
    try {
        paint();
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

} // namespace velbrin
