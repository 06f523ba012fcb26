#include "THintWindow.h"

#include "TControlCanvas.h"
#include "graphics/Graphics.h"

namespace velbrin {

namespace {

// The window is the text's extent and this much more: the one-pixel border
// all round, and the text's inset from the left edge of the client area and
// as much again on the right.
constexpr int kTextInset = 2;
constexpr int kExtraWidth = 2 + 2 * kTextInset;
constexpr int kExtraHeight = 2;

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(THintWindow, TCustomControl, "Controls") {
    cls.Handle<WM_MOUSEACTIVATE, &THintWindow::WMMouseActivate>();
    cls.Handle<CM_TEXT_CHANGED, &THintWindow::CMTextChanged>();
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    // Shown by ActivateHint only, never by the showing state of a parent.
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
}

void THintWindow::PrepareWindowSpec(TCreateParams& params) {
    TCustomControl::PrepareWindowSpec(params);
    params.Style = WS_POPUP | WS_BORDER;
    // The hint comes and goes over other windows; the system may keep what
    // it covers instead of having them repaint.
    params.WindowClass.style |= CS_SAVEBITS;
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
    RECT rect{0, 0, maxWidth, 0};
    TControlCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    DrawTextA(canvas->Handle(), text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    canvas->ReleaseHandle();
    rect.right += kExtraWidth;
    rect.bottom += kExtraHeight;
    return rect;
}

void THintWindow::ActivateHint(const RECT& rect, const std::string& text) {
    SetCaption(text);
    SetWindowPos(Handle(), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void THintWindow::Paint() {
    TCanvas* canvas = Canvas();
    RECT rect = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    canvas->SetFont(Font());
    rect.left += kTextInset;
    const std::string text = Caption();
    DrawTextA(canvas->Handle(), text.data(), static_cast<int>(text.size()), &rect,
              DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// A click on the hint leaves the activation where it is.
void THintWindow::WMMouseActivate(TMessage& message) {
    message.Result = MA_NOACTIVATE;
}

void THintWindow::CMTextChanged(TMessage&) {
    Invalidate();
}

} // namespace velbrin
