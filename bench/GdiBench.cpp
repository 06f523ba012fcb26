// The rasterizer and text against the pixels they touch: a fill against a
// plain loop over the same pixels, a grid's lines, the grid's texts and a
// whole chart-like paint.

#include "../platform/gdi/Surface.h"

#include "platform/Testing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kColumns = 12;
constexpr int kRows = 12;
constexpr int kCellWidth = 40;
constexpr int kCellHeight = 20;
constexpr int kGridWidth = kColumns * (kCellWidth + 1);
constexpr int kGridHeight = kRows * (kCellHeight + 1);

// "ＭＳ Ｐゴシック" in code page 932.
constexpr const char kJapaneseGothic[] =
    "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

const char* const kNotes[] = {"C+", "B-", "D ", "E-", "F+", "G ",
                              "A-", "B ", "C ", "Eb", "F ", "A "};

struct Canvas {
    Canvas(int width, int height) {
        platform::ResetForTesting();
        dc = platform::CreateMemorySurfaceDC(width, height);
        LOGFONTA logFont{};
        logFont.lfHeight = -12;
        logFont.lfCharSet = SHIFTJIS_CHARSET;
        std::strcpy(logFont.lfFaceName, kJapaneseGothic);
        font = CreateFontIndirectA(&logFont);
        SelectObject(dc, font);
        pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
        SelectObject(dc, pen);
    }
    ~Canvas() {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(font);
        DeleteObject(pen);
        DeleteDC(dc);
    }
    HDC dc;
    HFONT font;
    HPEN pen;
};

RECT CellRect(int column, int row) {
    int left = column * (kCellWidth + 1);
    int top = row * (kCellHeight + 1);
    return {left, top, left + kCellWidth, top + kCellHeight};
}

struct GridLines {
    std::vector<POINT> points;
    std::vector<DWORD> counts;
};

GridLines MakeGridLines() {
    GridLines lines;
    for (int column = 1; column <= kColumns; ++column) {
        int x = column * (kCellWidth + 1) - 1;
        lines.points.push_back({x, 0});
        lines.points.push_back({x, kGridHeight});
        lines.counts.push_back(2);
    }
    for (int row = 1; row <= kRows; ++row) {
        int y = row * (kCellHeight + 1) - 1;
        lines.points.push_back({0, y});
        lines.points.push_back({kGridWidth, y});
        lines.counts.push_back(2);
    }
    return lines;
}

void DrawCellTexts(HDC dc) {
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            RECT cell = CellRect(column, row);
            ExtTextOutA(dc, cell.left + 2, cell.top + 2, ETO_CLIPPED | ETO_OPAQUE, &cell,
                        kNotes[(row + column) % 12], 2, nullptr);
        }
    }
}

void BM_FillRect400x250(benchmark::State& state) {
    Canvas canvas(400, 250);
    HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
    RECT rect{0, 0, 400, 250};
    for (auto _ : state) {
        FillRect(canvas.dc, &rect, brush);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 400 * 250);
    DeleteObject(brush);
}
BENCHMARK(BM_FillRect400x250);

void BM_PlainFill400x250(benchmark::State& state) {
    Canvas canvas(400, 250);
    platform::gdi::Surface& surface = *platform::SurfaceOf(canvas.dc);
    for (auto _ : state) {
        for (int y = 0; y < 250; ++y) {
            std::fill_n(surface.Row(y), 400, 0xC0C0C0u);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 400 * 250);
}
BENCHMARK(BM_PlainFill400x250);

void BM_PolyPolylineGrid12x12(benchmark::State& state) {
    Canvas canvas(kGridWidth, kGridHeight);
    GridLines lines = MakeGridLines();
    for (auto _ : state) {
        PolyPolyline(canvas.dc, lines.points.data(), lines.counts.data(),
                     static_cast<DWORD>(lines.counts.size()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PolyPolylineGrid12x12);

void BM_ExtTextOut144TwoCharacterTexts(benchmark::State& state) {
    Canvas canvas(kGridWidth, kGridHeight);
    for (auto _ : state) {
        DrawCellTexts(canvas.dc);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 144);
}
BENCHMARK(BM_ExtTextOut144TwoCharacterTexts);

// What the chart window's paint asks of the platform: the label, the combo
// box's edge and focus, the grid's lines, and 144 cells filled and written.
void BM_ChartLikePaint(benchmark::State& state) {
    Canvas canvas(kGridWidth + 20, kGridHeight + 60);
    GridLines lines = MakeGridLines();
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    for (auto _ : state) {
        RECT all{0, 0, kGridWidth + 20, kGridHeight + 60};
        FillRect(canvas.dc, &all, face);
        SetBkMode(canvas.dc, TRANSPARENT);
        TextOutA(canvas.dc, 8, 8, "Key", 3);
        RECT combo{40, 4, 160, 24};
        DrawEdge(canvas.dc, &combo, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        FillRect(canvas.dc, &combo, window);
        RECT focus{combo.left + 1, combo.top + 1, combo.right - 18, combo.bottom - 1};
        DrawFocusRect(canvas.dc, &focus);
        SetBkMode(canvas.dc, OPAQUE);
        SetViewportOrgEx(canvas.dc, 10, 40, nullptr);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                RECT cell = CellRect(column, row);
                FillRect(canvas.dc, &cell, window);
            }
        }
        PolyPolyline(canvas.dc, lines.points.data(), lines.counts.data(),
                     static_cast<DWORD>(lines.counts.size()));
        DrawCellTexts(canvas.dc);
        SetViewportOrgEx(canvas.dc, 0, 0, nullptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ChartLikePaint);

} // namespace
