#include "TCanvas.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <climits>

namespace velbrin {

namespace {

// Windows takes text lengths as int.
int TextLength(std::string_view text) {
    return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

bool IsDashed(TPenStyle style) {
    return style >= psDash && style <= psDashDotDot;
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TCanvas, TPersistent, "Graphics") {
    cls.Property("Brush", Call<&TCanvas::Brush>, Call<&TCanvas::SetBrush>);
    cls.Property("CopyMode", Call<&TCanvas::CopyMode>, Call<&TCanvas::SetCopyMode>)
        .Default(DefaultCopyMode);
    cls.Property("Font", Call<&TCanvas::Font>, Call<&TCanvas::SetFont>);
    cls.Property("Pen", Call<&TCanvas::Pen>, Call<&TCanvas::SetPen>);
}

TCanvas::TCanvas() : font_(new TFont), pen_(new TPen), brush_(new TBrush) {
    font_->OnChange = TNotifyEvent::Of<&TCanvas::FontChanged>(this);
    pen_->OnChange = TNotifyEvent::Of<&TCanvas::PenChanged>(this);
    brush_->OnChange = TNotifyEvent::Of<&TCanvas::BrushChanged>(this);
    AllCanvases().Add(this);
}

TCanvas::~TCanvas() {
    AllCanvases().Remove(this);
    SetHandle(nullptr);
    delete font_;
    delete pen_;
    delete brush_;
}

void TCanvas::FillRect(const RECT& rect) {
    Changing();
    EnsureState(csHandleValid | csBrushValid);
    ::FillRect(handle_, &rect, brush_->Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    Changing();
    EnsureState(csHandleValid | csBrushValid);
    ::DrawFocusRect(handle_, &rect);
    Changed();
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    EnsureState(csHandleValid | csPenValid);
    ::LineTo(handle_, x, y);
    Changed();
}

void TCanvas::MoveTo(int x, int y) {
    EnsureState(csHandleValid);
    MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    Changing();
    EnsureState(csHandleValid | csFontValid | csBrushValid);
    ::TextOutA(handle_, x, y, text.data(), TextLength(text));
    MoveTo(x + TextWidth(text), y);
    Changed();
}

int TCanvas::TextWidth(std::string_view text) {
    EnsureState(csHandleValid | csFontValid);
    SIZE size{0, 0};
    return GetTextExtentPointA(handle_, text.data(), TextLength(text), &size) ? size.cx : 0;
}

int TCanvas::TextHeight(std::string_view text) {
    EnsureState(csHandleValid | csFontValid);
    SIZE size{0, 0};
    return GetTextExtentPointA(handle_, text.data(), TextLength(text), &size) ? size.cy : 0;
}

POINT TCanvas::PenPos() {
    EnsureState(csHandleValid);
    POINT position{0, 0};
    GetCurrentPositionEx(handle_, &position);
    return position;
}

void TCanvas::SetPenPos(POINT point) {
    MoveTo(point.x, point.y);
}

RECT TCanvas::ClipRect() {
    RECT clip{0, 0, 0, 0};
    ClipBox(clip);
    return clip;
}

int TCanvas::ClipBox(RECT& box) {
    EnsureState(csHandleValid);
    box = RECT{0, 0, 0, 0};
    return GetClipBox(handle_, &box);
}

// The canvas's own font is a plain one, whose Assign this is.
void TCanvas::SetFont(TFont* font) {
    if (font != nullptr) {
        font_->AssignFont(*font);
    } else {
        font_->Assign(font);
    }
}

bool TCanvas::RectVisible(const RECT& rect) {
    EnsureState(csHandleValid);
    return ::RectVisible(handle_, &rect) != FALSE;
}

HDC TCanvas::Handle() {
    Changing();
    EnsureState(csAllValid);
    return handle_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == handle_) {
        return;
    }
    if (handle_ != nullptr) {
        DeselectObjects();
        GetCurrentPositionEx(handle_, &penPos_);
        handle_ = nullptr;
        state_ &= ~csHandleValid;
    }
    if (dc != nullptr) {
        state_ |= csHandleValid;
        handle_ = dc;
        MoveToEx(handle_, penPos_.x, penPos_.y, nullptr);
    }
}

void TCanvas::EnsureState(TCanvasState required) {
    TCanvasState needed = required & ~state_;
    if (needed == 0) {
        return;
    }
    if (needed & csHandleValid) {
        AcquireHandle();
        if (handle_ == nullptr) {
            throw ResourceError<EInvalidOperation>(SNoCanvasHandle);
        }
    }
    if (needed & csFontValid) {
        SelectFont();
    }
    if (needed & csPenValid) {
        SelectPen();
        // Windows fills the gaps of a dashed line with the background colour.
        if (IsDashed(pen_->Style())) {
            needed |= csBrushValid;
        }
    }
    if (needed & csBrushValid) {
        SelectBrush();
    }
    state_ |= needed;
}

void TCanvas::DeselectObjects() {
    if (handle_ == nullptr || (state_ & (csFontValid | csPenValid | csBrushValid)) == 0) {
        return;
    }
    const GraphicsDefaults& graphics = Graphics();
    SelectObject(handle_, graphics.stockBlackPen);
    SelectObject(handle_, graphics.stockHollowBrush);
    SelectObject(handle_, graphics.stockSystemFont);
    state_ &= ~(csFontValid | csPenValid | csBrushValid);
}

void TCanvas::Changed() {
    OnChange(this);
}

void TCanvas::Changing() {
    OnChanging(this);
}

void TCanvas::AcquireHandle() {}

void TCanvas::SelectFont() {
    SelectObject(handle_, font_->Handle());
    SetTextColor(handle_, ResolveColor(font_->Color()));
}

void TCanvas::SelectPen() {
    SelectObject(handle_, pen_->Handle());
    SetROP2(handle_, PenModeRop2(pen_->Mode()));
}

void TCanvas::SelectBrush() {
    HBRUSH brush = brush_->Handle();
    UnrealizeObject(brush);
    SelectObject(handle_, brush);
    const COLORREF color = ResolveColor(brush_->Color());
    if (brush_->Style() == bsSolid) {
        SetBkColor(handle_, color);
        SetBkMode(handle_, OPAQUE);
    } else {
        SetBkColor(handle_, ~color);
        SetBkMode(handle_, TRANSPARENT);
    }
}

void TCanvas::FontChanged(TObject*) {
    if (state_ & csFontValid) {
        state_ &= ~csFontValid;
        SelectObject(handle_, Graphics().stockSystemFont);
    }
}

void TCanvas::PenChanged(TObject*) {
    if (state_ & csPenValid) {
        state_ &= ~csPenValid;
        SelectObject(handle_, Graphics().stockBlackPen);
    }
}

void TCanvas::BrushChanged(TObject*) {
    if (state_ & csBrushValid) {
        state_ &= ~csBrushValid;
        SelectObject(handle_, Graphics().stockHollowBrush);
    }
}

TList& AllCanvases() {
    static TList canvases;
    return canvases;
}

namespace {

template <class Key> void DropSystemColorHandles(TResourceManager& manager) {
    for (TSharedResource* resource = manager.List(); resource != nullptr;
         resource = resource->Next) {
        if (resource->Handle != nullptr && resource->DataAs<Key>().Color < 0) {
            DeleteObject(resource->Handle);
            resource->Handle = nullptr;
        }
    }
}

} // namespace

void ReleaseSystemColorObjects() {
    TList& canvases = AllCanvases();
    for (std::int32_t i = 0; i < canvases.Count(); ++i) {
        static_cast<TCanvas*>(canvases.Get(i))->DeselectObjects();
    }
    DropSystemColorHandles<TPenResData>(PenResources());
    DropSystemColorHandles<TBrushResData>(BrushResources());
}

} // namespace velbrin
