#pragma once
// A screen in memory: a virtual clock that only tests move, and a script of
// actions that stand in for a user while a loop waits.

#include "../Backend.h"

#include <deque>
#include <functional>

namespace platform {

class HeadlessScreen final : public Backend {
public:
    HeadlessScreen(int width, int height, int pixelsPerInch);

    SurfaceId OpenSurface(HWND window, const RECT& screenRect) override;
    void CloseSurface(SurfaceId surface) override;
    SIZE ScreenSize() const override { return size_; }
    int PixelsPerInch() const override { return pixelsPerInch_; }
    void Present(SurfaceId surface, const gdi::Surface& pixels,
                 const std::vector<RECT>& rects) override;
    DWORD Now() const override { return clock_; }
    // Runs the next scripted action; with none left, moves the clock to the
    // deadline; false when there is neither.
    bool WaitForInput(std::optional<DWORD> deadline) override;
    void Wake() override {}

    void Advance(DWORD milliseconds) { clock_ += milliseconds; }
    void QueueAction(std::function<void()> action) { actions_.push_back(std::move(action)); }
    std::size_t PresentedRects() const { return presentedRects_; }

private:
    SIZE size_;
    int pixelsPerInch_;
    DWORD clock_ = 1000;
    SurfaceId nextSurface_ = 1;
    std::size_t presentedRects_ = 0;
    std::deque<std::function<void()>> actions_;
};

} // namespace platform
