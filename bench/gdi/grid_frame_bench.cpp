// One frame of a grid: 60 rows x 12 columns of cells (fill, grid lines, one line of text each)
// into a 1600 x 1000 off-screen bitmap, the way the grid paints through a memory bitmap.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

constexpr int kRows = 60, kCols = 12, kWidth = 1600, kHeight = 1000;

struct Frame {
    CDC screen, mem;
    CBitmap bitmap;
    CBitmap* oldBitmap = nullptr;
    CFont font;
    CFont* oldFont = nullptr;
    CPen gridPen;
    std::vector<std::string> texts;

    Frame()
    {
        screen.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
        mem.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, kWidth, kHeight);
        oldBitmap = mem.SelectObject(&bitmap);
        LOGFONT lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::strcpy(lf.lfFaceName, "Arial");
        font.CreateFontIndirect(&lf);
        oldFont = mem.SelectObject(&font);
        gridPen.CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                char buf[64];
                std::snprintf(buf, sizeof buf, c == 0 ? "%d" : "Person %d, field %d", r * kCols + c, c);
                texts.emplace_back(buf);
            }
    }
    ~Frame()
    {
        mem.SelectObject(oldFont);
        mem.SelectObject(oldBitmap);
    }

    void Draw()
    {
        const int cw = kWidth / kCols, rh = kHeight / kRows;
        mem.SetBkMode(TRANSPARENT);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const CRect cell(c * cw, r * rh, (c + 1) * cw, (r + 1) * rh);
                const bool header = r == 0 || c == 0;
                mem.FillSolidRect(&cell, header ? GetSysColor(COLOR_BTNFACE) : RGB(255, 255, 255));
                CRect text(cell.left + 2, cell.top, cell.right - 3, cell.bottom - 1);
                mem.SetTextColor(RGB(0, 0, 0));
                const std::string& t = texts[size_t(r * kCols + c)];
                mem.DrawText(t.c_str(), int(t.size()), &text,
                             DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (c == 0 ? DT_CENTER : DT_LEFT));
            }
        CPen* old = mem.SelectObject(&gridPen);
        for (int r = 1; r <= kRows; ++r) {
            mem.MoveTo(0, r * rh - 1);
            mem.LineTo(kWidth, r * rh - 1);
        }
        for (int c = 1; c <= kCols; ++c) {
            mem.MoveTo(c * cw - 1, 0);
            mem.LineTo(c * cw - 1, kHeight);
        }
        mem.SelectObject(old);
    }
};

void BM_GridFrame(benchmark::State& state)
{
    Frame f;
    f.Draw();  // first frame shapes the texts
    for (auto _ : state) {
        f.Draw();
        benchmark::ClobberMemory();
    }
    state.SetLabel("60 x 12 cells, 1600 x 1000");
}
BENCHMARK(BM_GridFrame)->Unit(benchmark::kMillisecond);

// The same frame with texts never seen before (the first paint of new data).
void BM_GridFrameNewText(benchmark::State& state)
{
    Frame f;
    int gen = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (size_t i = 0; i < f.texts.size(); ++i) f.texts[i] = "Row " + std::to_string(i) + " gen " + std::to_string(gen);
        ++gen;
        state.ResumeTiming();
        f.Draw();
    }
}
BENCHMARK(BM_GridFrameNewText)->Unit(benchmark::kMillisecond);

// The double-buffered paint: the frame's bitmap copied to a window image.
void BM_CopyToWindow(benchmark::State& state)
{
    Frame f;
    f.Draw();
    cairo_surface_t* image = PvCreateWindowSurface(kWidth, kHeight);
    CDC win;
    win.PvAttachSurface(image, POINT{0, 0}, RECT{0, 0, kWidth, kHeight});
    for (auto _ : state) win.BitBlt(0, 0, kWidth, kHeight, &f.mem, 0, 0, SRCCOPY);
    win.DeleteDC();
    PvDestroyWindowSurface(image);
}
BENCHMARK(BM_CopyToWindow)->Unit(benchmark::kMillisecond);

// Scrolling one row at a time through many distinct accented names: each frame brings one new
// row of 12 names, the other 59 rows are those of the frame before. Beyond the shaping cache's
// capacity the rows still on screen must stay cached.
void BM_ScrollDistinctNames(benchmark::State& state)
{
    Frame f;
    const int total = int(state.range(0));
    auto name = [](int row, int col) {
        return "M\xC3\xBCller-" + std::to_string(row) + ", Zo\xC3\xAB " + std::to_string(col);
    };
    int top = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) f.texts[size_t(r * kCols + c)] = name((top + r) % total, c);
        top = (top + 1) % total;
        state.ResumeTiming();
        f.Draw();
    }
    state.SetLabel(std::to_string(total) + " rows of 12 names");
}
// 1,000 frames bring 12,000 new names: well past the cache's 8,192 strings.
BENCHMARK(BM_ScrollDistinctNames)->Arg(20000)->Iterations(1000)->Unit(benchmark::kMillisecond);

}  // namespace
