// The windowing side's hot paths: a sent message, a posted message taken from
// the queue and dispatched, and a whole grid-sized child repainted.

#include <windows.h>

#include "platform/Testing.h"
#include "platform/UserTesting.h"

#include <benchmark/benchmark.h>

namespace {

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        return static_cast<LRESULT>(wParam + 1);
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct BenchWindows {
    HWND top;
    HWND grid;
    BenchWindows() {
        platform::ResetForTesting();
        WNDCLASSA wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "BenchWindow";
        RegisterClassA(&wc);
        top = CreateWindowExA(0, "BenchWindow", "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              410, 309, nullptr, nullptr, nullptr, nullptr);
        grid = CreateWindowExA(WS_EX_CLIENTEDGE, "BenchWindow", "", WS_CHILD | WS_VISIBLE, 0, 24,
                               401, 257, top, nullptr, nullptr, nullptr);
        platform::RunUntilIdle();
    }
    ~BenchWindows() { platform::ResetForTesting(); }
};

void BM_SendMessageRoundTrip(benchmark::State& state) {
    BenchWindows windows;
    WPARAM value = 0;
    for (auto _ : state) {
        value = static_cast<WPARAM>(SendMessageA(windows.grid, WM_USER, value, 0));
    }
    benchmark::DoNotOptimize(value);
}
BENCHMARK(BM_SendMessageRoundTrip);

void BM_PostPeekDispatch(benchmark::State& state) {
    BenchWindows windows;
    MSG msg;
    for (auto _ : state) {
        PostMessageA(windows.grid, WM_USER, 1, 0);
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        benchmark::DoNotOptimize(DispatchMessageA(&msg));
    }
}
BENCHMARK(BM_PostPeekDispatch);

void BM_InvalidateAndPaintGrid(benchmark::State& state) {
    BenchWindows windows;
    for (auto _ : state) {
        InvalidateRect(windows.grid, nullptr, TRUE);
        UpdateWindow(windows.grid);
    }
}
BENCHMARK(BM_InvalidateAndPaintGrid)->Unit(benchmark::kMicrosecond);

} // namespace
