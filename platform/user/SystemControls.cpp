#include "SystemControls.h"

namespace platform::user {

namespace {

// A screen DC with the font selected, for measuring: a control whose
// top-level window was never shown has no surface to give a DC of its own.
class MeasuringDC {
public:
    explicit MeasuringDC(HFONT font) : dc_(GetDC(nullptr)) {
        old_ = SelectObject(dc_, FontOrDefault(font));
    }
    ~MeasuringDC() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace

void RegisterSystemClass(UserState& state, const WNDCLASSA& info, LPCSTR cursor) {
    RegisterClass(state, info, true);
    state.classes.back()->systemCursor = cursor;
}

bool NotifyParent(HWND control, int code) {
    HWND parent = GetParent(control);
    if (parent != nullptr) {
        SendMessageA(parent, WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(code)),
                     reinterpret_cast<LPARAM>(control));
    }
    return Find(control) != nullptr;
}

HBRUSH ControlBrush(HWND control, HWND asked, UINT message, HDC dc) {
    int background = message == WM_CTLCOLORSTATIC ? COLOR_BTNFACE : COLOR_WINDOW;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(background));
    auto answer =
        asked ? reinterpret_cast<HBRUSH>(SendMessageA(asked, message, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(control)))
              : nullptr;
    if (answer == nullptr || GetObjectType(answer) != OBJ_BRUSH) {
        return GetSysColorBrush(background);
    }
    return answer;
}

HFONT FontOrDefault(HFONT font) {
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontHeight(HFONT font) {
    MeasuringDC dc(font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    return metrics.tmHeight;
}

int TextWidth(HFONT font, const char* text, std::size_t length) {
    if (length == 0) {
        return 0;
    }
    MeasuringDC dc(font);
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(length), &size);
    return size.cx;
}

} // namespace platform::user
