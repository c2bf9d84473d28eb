// Paginating a grid of 100,000 rows beside summing its row heights once, and a Find Next that
// walks 100,000 rows without a match beside composing that column's styles: neither may cost
// more than a small factor over the walk it cannot avoid.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_grid_window.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxstyle.h"
#include "grid/features/gxprint.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/view.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;

// One grid for every bench: filling 100,000 cells is set-up, not what is measured.
BenchGridWindow& Grid()
{
    static BenchGridWindow* g = [] {
        auto* p = new BenchGridWindow(kRows, kCols);
        p->grid->GetParam()->EnableUndo(FALSE);
        for (ROWCOL r = 1; r <= kRows; ++r)
            p->grid->SetValueRange(CGXCellRange(r, 2), ("Person " + std::to_string(r)).c_str(), gxOverride, 0,
                                   GX_NOREDRAW);
        p->grid->SetRowHeights(1000, 2000, 30, nullptr, GX_NOREDRAW);
        return p;
    }();
    return *g;
}

void BM_SumRowHeights(benchmark::State& state)
{
    CGXGridCore& grid = *Grid().grid;
    for (auto _ : state) {
        long sum = 0;
        for (ROWCOL r = 0; r <= kRows; ++r)
            sum += grid.RowHeight(r);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SumRowHeights)->Unit(benchmark::kMillisecond);

void BM_PaginateTable(benchmark::State& state)
{
    CGXGridCore& grid = *Grid().grid;
    PvPrinterSettings settings;
    settings.outputPath = "/tmp/pv-bench-print.pdf";
    CDC dc;
    PvCreatePdfPrinterDC(dc, settings);
    dc.m_bPrinting = TRUE;
    for (auto _ : state) {
        CPrintInfo info;
        grid.OnBeginPrinting(&dc, &info);
        benchmark::DoNotOptimize(info.GetMaxPage());
        grid.OnEndPrinting(&dc, &info);
    }
}
BENCHMARK(BM_PaginateTable)->Unit(benchmark::kMillisecond);

void BM_ComposeColumn(benchmark::State& state)
{
    CGXGridCore& grid = *Grid().grid;
    CGXStyle* pStyle = grid.NewScratchStyle();
    for (auto _ : state)
        for (ROWCOL r = 2; r <= kRows; ++r) {
            grid.ComposeCellStyle(r, 2, *pStyle, TRUE);
            benchmark::DoNotOptimize(grid.GetRegisteredControl(pStyle->GetControl()));
        }
    grid.RecycleStyle(pStyle);
}
BENCHMARK(BM_ComposeColumn)->Unit(benchmark::kMillisecond);

void BM_FindNextWithoutMatch(benchmark::State& state)
{
    CGXGridCore& grid = *Grid().grid;
    for (auto _ : state) {
        grid.PlaceCurrentCell(1, 2, 0);
        benchmark::DoNotOptimize(grid.m_pFindReplaceImp->FindNext(&grid, "nobody", TRUE, FALSE));
    }
}
BENCHMARK(BM_FindNextWithoutMatch)->Unit(benchmark::kMillisecond);

}  // namespace
