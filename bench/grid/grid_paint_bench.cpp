// A grid window of 1600 x 1000 pixels showing 60 rows x 12 columns: a full repaint at 1,000 and
// 100,000 rows (top row 1 and 50,000), and scrolling by a page and by a row with their repaint.
// The values come from a FetchStoredStyle override, so the store holds only the counts.
// Compare with bench_gdi's BM_GridFrame, the raw frame of the same size, from the same run.
// Spans: the repaint at row 50,000 with column 2 covered from row 1 to 100,000 as one cell, beside
// the same repaint without it; and measuring 10,000 wrapped cells.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/support/headless_main.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/controls/gxstatic.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxwnd.h"
#include "grid/features/gxcalcsize.h"
#include "grid/features/gxspancells.h"
#include "platform/win/win.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;
constexpr ROWCOL kCols = 12;

class CBenchGrid : public CGXGridWnd {
public:
    explicit CBenchGrid(ROWCOL nRows) : m_nRows(nRows) {}
    ROWCOL RowCount() override { return m_nRows; }
    ROWCOL ColCount() override { return kCols; }
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override
    {
        const BOOL bStored = CGXGridWnd::FetchStoredStyle(nRow, nCol, style, mt, nType);
        if (nType != 0 || nRow == 0 || nCol == 0 || style.GetIncludeValue())
            return bStored;
        char buf[48];
        std::snprintf(buf, sizeof buf, nCol == 1 ? "%u" : "Person %u, field %u", unsigned(nRow), unsigned(nCol));
        style.SetValue(buf);
        return TRUE;
    }

private:
    ROWCOL m_nRows;
};

// One covered area, answered without a pool.
class CFixedCovered : public CGXAbstractGridCoveredCellsImp {
public:
    CGXCellRange m_area;
    BOOL GetCoveredCellsRowCol(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override
    {
        if (!m_area.IsCellInRange(nRow, nCol))
            return FALSE;
        range = m_area;
        return TRUE;
    }
};

// Counts the fonts selected into it.
class CCountingDC : public CDC {
public:
    long m_nFontSelections = 0;
    CFont* SelectObject(CFont* pFont) override
    {
        ++m_nFontSelections;
        return CDC::SelectObject(pFont);
    }
    using CDC::SelectObject;
};

struct Window {
    HWND frame = nullptr;
    std::unique_ptr<CBenchGrid> grid;

    Window(ROWCOL nRows, ROWCOL nTop)
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        frame = CreateWindowEx(0, AfxRegisterWndClass(0), "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                               nullptr, nullptr, nullptr, nullptr);
        grid = std::make_unique<CBenchGrid>(nRows);
        grid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, kWidth, kHeight),
                       CWnd::FromHandle(frame), 1);
        grid->Initialize();
        grid->SetTopRow(nTop, GX_INVALIDATE);
        grid->UpdateWindow();
    }
    ~Window()
    {
        grid.reset();
        DestroyWindow(frame);
    }
    void Repaint()
    {
        grid->Invalidate(FALSE);
        grid->UpdateWindow();
    }
};

void BM_FullRepaint(benchmark::State& state)
{
    Window w(ROWCOL(state.range(0)), ROWCOL(state.range(1)));
    for (auto _ : state)
        w.Repaint();
    state.SetLabel(std::to_string(w.grid->LastFullyVisibleRow() - w.grid->GetTopRow() + 1) + " rows shown");
}
BENCHMARK(BM_FullRepaint)->Args({1000, 1})->Args({100000, 1})->Args({100000, 50000})->Unit(benchmark::kMillisecond);

// Argument 1: column 2 is one covered area from row 1 to the last row.
void BM_SpanRepaint(benchmark::State& state)
{
    Window w(100000, 50000);
    CFixedCovered covered;
    covered.m_area = CGXCellRange(1, 2, 100000, 2);
    if (state.range(0)) {
        w.grid->m_pCoveredCellsImp = &covered;
        w.grid->InstallDrawSpannedCellsImp();
    }
    w.Repaint();
    for (auto _ : state)
        w.Repaint();
    w.grid->m_pCoveredCellsImp = nullptr;
    state.SetLabel(state.range(0) ? "one span over column 2" : "no span");
}
BENCHMARK(BM_SpanRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Float and merge mode 1 over 100,000 rows: argument 0 the first paint after the modes are set
// (the page's cells evaluated), 1 a page down and up with the repaint of what each uncovers.
void BM_FloatMergeModes(benchmark::State& state)
{
    Window w(100000, 50000);
    w.grid->ModifyStandardStyle(CGXStyle().SetFloatCell(TRUE).SetFloodCell(TRUE).SetMergeCell(1));
    if (state.range(0) == 0) {
        for (auto _ : state) {
            GXSetFloatCellsMode(w.grid.get(), 1, GX_NOREDRAW);
            GXSetMergeCellsMode(w.grid.get(), 1, GX_NOREDRAW);
            w.Repaint();
        }
        state.SetLabel("modes set, first paint");
    } else {
        GXSetFloatCellsMode(w.grid.get(), 1, GX_NOREDRAW);
        GXSetMergeCellsMode(w.grid.get(), 1, GX_NOREDRAW);
        w.Repaint();
        for (auto _ : state) {
            w.grid->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
            w.grid->SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
        }
        state.SetLabel("page down and up");
    }
}
BENCHMARK(BM_FloatMergeModes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 10,000 wrapped cells measured to fit their height, in one batch on one DC.
void BM_MeasureWrapped(benchmark::State& state)
{
    constexpr ROWCOL kCells = 10000;
    Window w(100000, 1);
    w.grid->ModifyStandardStyle(CGXStyle().SetWrapText(TRUE));
    CGXControl* pStatic = w.grid->GetRegisteredControl(GX_IDS_CTRL_STATIC);
    auto* pImp = static_cast<CGXCalcSizeImp*>(w.grid->m_pCalcSizeImp);
    CCountingDC dc;
    dc.CreateCompatibleDC(nullptr);
    long nHeights = 0;
    for (auto _ : state) {
        pImp->BeginMeasuring(&dc);
        for (ROWCOL r = 1; r <= kCells; ++r)
            nHeights += pImp->CalcCellSize(pStatic, &dc, r, 2, w.grid->GetCellStyleCached(r, 2), TRUE).cy;
        pImp->EndMeasuring();
    }
    benchmark::DoNotOptimize(nHeights);
    state.SetItemsProcessed(state.iterations() * kCells);
    state.counters["font_selections_per_batch"] = double(dc.m_nFontSelections) / double(state.iterations());
}
BENCHMARK(BM_MeasureWrapped)->Unit(benchmark::kMillisecond);

// Down and back up: two scrolls per iteration, each with the repaint of what it uncovered.
void BM_PageScroll(benchmark::State& state)
{
    Window w(100000, 50000);
    for (auto _ : state) {
        w.grid->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        w.grid->SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_PageScroll)->Unit(benchmark::kMillisecond);

void BM_RowScroll(benchmark::State& state)
{
    Window w(100000, 50000);
    for (auto _ : state) {
        w.grid->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        w.grid->SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_RowScroll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv, "1700x1100");
}
