// One screen of static cells, 60 rows x 12 columns, drawn through their control: the grid's
// cached font at its zoom against a font made for every cell.

#include <benchmark/benchmark.h>

#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxstatic.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr ROWCOL kRows = 60, kCols = 12;
constexpr int kCellWidth = 100, kCellHeight = 18;

struct Screen {
    CGXGridCore grid;
    CDC screen, mem;
    CBitmap bitmap;
    CBitmap* pOld = nullptr;

    Screen()
    {
        InitGridLibraryWithFactory();
        grid.Initialize();
        grid.GetData()->SetRowCount(kRows);
        grid.GetData()->SetColCount(kCols);
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c)
                grid.SetValueRange(CGXCellRange(r, c), ("Cell " + std::to_string(r * 100 + c)).c_str(), gxOverride, 0,
                                   GX_NOREDRAW);
        screen.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
        mem.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, int(kCols) * kCellWidth, int(kRows) * kCellHeight);
        pOld = mem.SelectObject(&bitmap);
    }
    ~Screen() { mem.SelectObject(pOld); }
};

void BM_StaticCellsCachedFont(benchmark::State& state)
{
    Screen s;
    CGXStatic control(&s.grid);
    for (auto _ : state) {
        s.grid.FreeGdiCache();
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c) {
                const CRect rect(int(c - 1) * kCellWidth, int(r - 1) * kCellHeight, int(c) * kCellWidth,
                                 int(r) * kCellHeight);
                control.Draw(&s.mem, rect, r, c, s.grid.GetCellStyleCached(r, c), nullptr);
            }
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_StaticCellsCachedFont)->Unit(benchmark::kMillisecond);

// What every cell cost before: a font made and deleted per cell.
void BM_StaticCellsFontPerCell(benchmark::State& state)
{
    Screen s;
    CGXDrawingAndFormatting* pDraw = GetDrawingAndFormatting();
    for (auto _ : state) {
        s.grid.FreeGdiCache();
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c) {
                const CGXStyle& style = s.grid.GetCellStyleCached(r, c);
                const CRect rect(int(c - 1) * kCellWidth, int(r - 1) * kCellHeight, int(c) * kCellWidth,
                                 int(r) * kCellHeight);
                CFont font;
                font.CreateFontIndirect(&style.GetFont().GetLogFont());
                CFont* pOld = s.mem.SelectObject(&font);
                pDraw->DrawStyledCellText(&s.mem, rect, style.GetValue(), style);
                s.mem.SelectObject(pOld);
            }
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_StaticCellsFontPerCell)->Unit(benchmark::kMillisecond);

}  // namespace
