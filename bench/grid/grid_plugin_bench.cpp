// The plug-ins' per-event cost on a grid window of 1600 x 1000 pixels at row 50,000 of 100,000:
// a wheel notch down and back up (3 rows each, with the repaint of what they uncover) beside
// the same scroll through the scroll bar; a mouse move within a cell with the cell-tip plug-in
// beside one without it; and a move to another cell while a tip shows (measure, prepare, show
// and paint the tip at once).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/support/headless_main.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "grid/features/gxcelltip.h"
#include "grid/features/gxmwheel.h"
#include "platform/win/win.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;
constexpr ROWCOL kRows = 100000, kCols = 12;

class CBenchGrid : public CGXGridWnd {
public:
    ROWCOL RowCount() override { return kRows; }
    ROWCOL ColCount() override { return kCols; }
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override
    {
        const BOOL bStored = CGXGridWnd::FetchStoredStyle(nRow, nCol, style, mt, nType);
        if (nType != 0 || nRow == 0 || nCol == 0 || style.GetIncludeValue())
            return bStored;
        char buf[96];
        std::snprintf(buf, sizeof buf,
                      nCol == 2 ? "Person %u, a text long enough to run well past the end of its cell" : "Person %u",
                      unsigned(nRow));
        style.SetValue(buf);
        return TRUE;
    }
};

struct Window {
    HWND frame = nullptr;
    std::unique_ptr<CBenchGrid> grid;

    explicit Window(BOOL bPlugins)
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        frame = CreateWindowEx(0, AfxRegisterWndClass(0), "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                               nullptr, nullptr, nullptr, nullptr);
        grid = std::make_unique<CBenchGrid>();
        grid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, kWidth, kHeight),
                       CWnd::FromHandle(frame), 1);
        grid->Initialize();
        if (bPlugins) {
            grid->InstallIntelliMousePlugin();
            grid->InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
        }
        grid->SetTopRow(50000, GX_INVALIDATE);
        grid->UpdateWindow();
        grid->SetFocus();
    }
    ~Window()
    {
        grid.reset();
        DestroyWindow(frame);
    }
    LPARAM CellPoint(ROWCOL nRowOffset, ROWCOL nCol, int dx = 0)
    {
        const CRect r = grid->CellToRect(grid->GetTopRow() + nRowOffset, nCol);
        return MAKELPARAM(r.left + 5 + dx, r.top + 5);
    }
};

void BM_WheelNotch(benchmark::State& state)
{
    Window w(TRUE);
    for (auto _ : state) {
        w.grid->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-WHEEL_DELTA))), 0);
        w.grid->UpdateWindow();
        w.grid->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(WHEEL_DELTA))), 0);
        w.grid->UpdateWindow();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel("3 rows a notch");
}
BENCHMARK(BM_WheelNotch)->Unit(benchmark::kMillisecond);

// The same three rows through the scroll bar's line steps, for comparison.
void BM_ThreeLineScroll(benchmark::State& state)
{
    Window w(FALSE);
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i)
            w.grid->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        w.grid->UpdateWindow();
        for (int i = 0; i < 3; ++i)
            w.grid->SendMessage(WM_VSCROLL, SB_LINEUP, 0);
        w.grid->UpdateWindow();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ThreeLineScroll)->Unit(benchmark::kMillisecond);

// Moves within one cell: the tip plug-in's hit test on every move. Argument: plug-ins installed.
void BM_MoveWithinCell(benchmark::State& state)
{
    Window w(BOOL(state.range(0)));
    const LPARAM a = w.CellPoint(30, 5), b = w.CellPoint(30, 5, 20);
    for (auto _ : state) {
        w.grid->SendMessage(WM_MOUSEMOVE, 0, a);
        w.grid->SendMessage(WM_MOUSEMOVE, 0, b);
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel(state.range(0) ? "with the tip plug-in" : "without plug-ins");
}
BENCHMARK(BM_MoveWithinCell)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Between two cut-off cells while a tip shows: each move replaces the tip at once.
void BM_MoveReplacesTip(benchmark::State& state)
{
    Window w(TRUE);
    const LPARAM a = w.CellPoint(30, 2), b = w.CellPoint(31, 2);
    w.grid->SendMessage(WM_MOUSEMOVE, 0, a);
    auto* pTips = static_cast<CGXCellTipPlugin*>(w.grid->m_pCellTipPlugin);
    pTips->ShowTip();
    for (auto _ : state) {
        w.grid->SendMessage(WM_MOUSEMOVE, 0, b);
        w.grid->SendMessage(WM_MOUSEMOVE, 0, a);
    }
    if (!pTips->IsTipShown())
        state.SkipWithError("no tip shown");
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MoveReplacesTip)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv, "1700x1100");
}
