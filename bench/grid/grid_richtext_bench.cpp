// Rich text cells: drawing a screen's column of 60 of them (each a different RTF value, or all
// the same one) into a 1280 x 1000 memory DC at the top of a grid of 100,000 rows and at row
// 50,000, and bold applied to such a column. The cost per column must not grow with the rows.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/grid/bench_grid_window.h"
#include "bench/support/headless_main.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxfont.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr ROWCOL kRows = 100000, kShown = 60, kCol = 2;

std::string Rtf(ROWCOL n, bool bSame)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}}\\pard\\plain\\f0\\fs20 Person \\b " +
           (bSame ? std::string("one") : std::to_string(n)) + "\\b0  of the school\\par}";
}

void Fill(BenchGridWindow& w, ROWCOL nTop, bool bSame)
{
    w.grid->SetStyleRange(CGXCellRange(nTop, kCol, nTop + kShown - 1, kCol),
                          CGXStyle().SetControl(WORD(GX_IDS_CTRL_RICHEDIT)), gxOverride, 0, GX_NOREDRAW);
    for (ROWCOL n = 0; n < kShown; ++n)
        w.grid->SetValueRange(CGXCellRange(nTop + n, kCol), Rtf(nTop + n, bSame).c_str(), gxOverride, 0, GX_NOREDRAW);
}

void BM_DrawRichColumn(benchmark::State& state)
{
    const ROWCOL nTop = ROWCOL(state.range(0));
    const bool bSame = state.range(1) != 0;
    BenchGridWindow w(kRows, 4);
    Fill(w, nTop, bSame);
    CGXControl* pControl = w.grid->GetRegisteredControl(WORD(GX_IDS_CTRL_RICHEDIT));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(1280, 1000, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bm);
    for (auto _ : state) {
        for (ROWCOL n = 0; n < kShown; ++n) {
            const CRect rect(100, int(n) * 16, 400, int(n + 1) * 16);
            pControl->Draw(&dc, rect, nTop + n, kCol, w.grid->GetCellStyleCached(nTop + n, kCol), nullptr);
        }
    }
    dc.SelectObject(pOld);
    state.SetLabel(bSame ? "same value" : "distinct values");
    state.SetItemsProcessed(int64_t(state.iterations()) * kShown);
}
BENCHMARK(BM_DrawRichColumn)->Args({1, 0})->Args({50000, 0})->Args({1, 1})->Args({50000, 1})->Unit(benchmark::kMicrosecond);

void BM_BoldOnRichColumn(benchmark::State& state)
{
    const ROWCOL nTop = ROWCOL(state.range(0));
    BenchGridWindow w(kRows, 4);
    Fill(w, nTop, false);
    bool bBold = true;
    for (auto _ : state) {
        w.grid->SetStyleRange(CGXCellRange(nTop, kCol, nTop + kShown - 1, kCol),
                              CGXStyle().SetFont(CGXFont().SetBold(bBold)), gxOverride, 0, GX_NOREDRAW);
        bBold = !bBold;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kShown);
}
BENCHMARK(BM_BoldOnRichColumn)->Arg(1)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return PvBenchMain(argc, argv); }
