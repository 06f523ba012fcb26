#include "HeadlessScreen.h"

namespace platform {

HeadlessScreen::HeadlessScreen(int width, int height, int pixelsPerInch)
    : size_{width, height}, pixelsPerInch_(pixelsPerInch) {}

SurfaceId HeadlessScreen::OpenSurface(HWND, const RECT&) {
    return nextSurface_++;
}

void HeadlessScreen::CloseSurface(SurfaceId) {}

void HeadlessScreen::Present(SurfaceId, const gdi::Surface&, const std::vector<RECT>& rects) {
    presentedRects_ += rects.size();
}

bool HeadlessScreen::WaitForInput(std::optional<DWORD> deadline) {
    if (!actions_.empty()) {
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action();
        return true;
    }
    if (deadline) {
        if (*deadline > clock_) {
            clock_ = *deadline;
        }
        return true;
    }
    return false;
}

} // namespace platform
