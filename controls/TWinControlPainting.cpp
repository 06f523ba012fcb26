// How a windowed control paints: its own window, the non-windowed
// children on it and the 3-D frames of its windowed children.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "core/TList.h"
#include "graphics/TBrush.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>

namespace velbrin {

using namespace wincontrolinternals;

HDC TWinControl::TakeDC(HWND& window) {
    HWND own = Handle();
    HDC dc =
        HasState(csDesigning) ? GetDCEx(own, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS) : GetDC(own);
    if (dc == nullptr) {
        throw ResourceError<EOutOfResources>(SWindowDCError);
    }
    window = own;
    return dc;
}

// The parent draws the 3-D frame one pixel outside the bounds.
void TWinControl::InvalidateFrame() {
    if (!Parent()->HasWindow()) {
        return;
    }
    const RECT frame{Left() - 1, Top() - 1, Left() + Width() + 1, Top() + Height() + 1};
    InvalidateRect(Parent()->Handle(), &frame, TRUE);
}

void TWinControl::Invalidate() {
    SendToSelf(CM_INVALIDATE, 0);
}

void TWinControl::CMInvalidate(TMessage& message) {
    if (handle_ == nullptr) {
        return;
    }
    if (Parent() != nullptr) {
        Parent()->SendToSelf(CM_INVALIDATE, 1);
    }
    if (message.WParam == 0) {
        InvalidateRect(handle_, nullptr, HasControlStyle(csOpaque) ? FALSE : TRUE);
    }
}

void TWinControl::Update() {
    if (handle_ != nullptr) {
        UpdateWindow(handle_);
    }
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMPaint(TMessage& message) {
    if (ControlCount() == 0) {
        Inherited(message);
        return;
    }
    ServicePaint(message);
}

void TWinControl::ServicePaint(TMessage& message) {
    PAINTSTRUCT paint{};
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const bool began = dc == nullptr;
    if (began) {
        dc = BeginPaint(handle_, &paint);
    }
    try {
        if (graphicChildren_ == nullptr) {
            PaintInto(dc);
        } else {
            const int saved = SaveDC(dc);
            int clip = SIMPLEREGION;
            for (int i = 0; i < graphicChildren_->Count() && clip != NULLREGION; ++i) {
                TControl* child = ControlAt(graphicChildren_, i);
                if (child->ShowsNow() && child->HasControlStyle(csOpaque)) {
                    const RECT b = child->BoundsRect();
                    clip = ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
                }
            }
            if (clip != NULLREGION) {
                PaintInto(dc);
            }
            RestoreDC(dc, saved);
        }
        PaintGraphicChildren(dc, nullptr);
    } catch (...) {
        if (began) {
            EndPaint(handle_, &paint);
        }
        throw;
    }
    if (began) {
        EndPaint(handle_, &paint);
    }
}

void TWinControl::PaintInto(HDC dc) {
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
}

void TWinControl::PaintGraphicChildren(HDC dc, TControl* first) {
    const int count = CountOf(graphicChildren_);
    int start = first != nullptr ? std::max(0, graphicChildren_->IndexOf(first)) : 0;
    for (int i = start; i < count; ++i) {
        TControl* child = ControlAt(graphicChildren_, i);
        const RECT bounds = child->BoundsRect();
        if (!child->ShowsNow() || !RectVisible(dc, &bounds)) {
            continue;
        }
        const bool copying = HasControlState(csPaintCopy);
        if (copying) {
            child->IncludeControlState(csPaintCopy);
        }
        const int saved = SaveDC(dc);
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - child->Left(), origin.y - child->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        try {
            child->SendToSelf(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        } catch (...) {
            RestoreDC(dc, saved);
            child->ExcludeControlState(csPaintCopy);
            throw;
        }
        RestoreDC(dc, saved);
        child->ExcludeControlState(csPaintCopy);
    }
    DrawChildFrames(dc);
}

// A 3-D frame just outside each framed windowed child.
void TWinControl::DrawChildFrames(HDC dc) {
    for (int i = 0; i < CountOf(windowedChildren_); ++i) {
        TWinControl* child = WinControlAt(windowedChildren_, i);
        if (!child->ctl3D_ || !child->HasControlStyle(csFramed) || !child->Visible()) {
            continue;
        }
        const RECT shadow{child->Left() - 1, child->Top() - 1, child->Left() + child->Width(),
                          child->Top() + child->Height()};
        const RECT light{child->Left(), child->Top(), child->Left() + child->Width() + 1,
                         child->Top() + child->Height() + 1};
        FrameRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
        FrameRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
    const RECT client = GetClientRect();
    FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush_->Handle());
    message.Result = 1;
}

} // namespace velbrin
