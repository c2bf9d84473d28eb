// A grid window of 1600 x 1000 pixels showing 60 rows x 12 columns: a full repaint at 1,000 and
// 100,000 rows (top row 1 and 50,000), and scrolling by a page and by a row with their repaint.
// The values come from a FetchStoredStyle override, so the store holds only the counts.
// Compare with bench_gdi's BM_GridFrame, the raw frame of the same size, from the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
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
    setenv("PV_BACKEND", "headless", 1);
    setenv("PV_SCREEN", "1700x1100", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
