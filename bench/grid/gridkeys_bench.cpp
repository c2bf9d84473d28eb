// Moving the current cell in a grid of 100,000 rows, and replacing in a long cell: the cost of a
// key must not grow with the row count or be quadratic in a cell's text.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_grid_window.h"
#include "grid/controls/gxedit.h"
#include "platform/win/pvwin.h"

namespace {

struct BigGrid : BenchGridWindow {
    explicit BigGrid(ROWCOL nRows) : BenchGridWindow(nRows, 12) { grid->PlaceCurrentCell(1, 1, 0); }
};

void BM_ArrowDownAndUp(benchmark::State& state)
{
    BigGrid g(ROWCOL(state.range(0)));
    for (auto _ : state) {
        g.grid->MoveCurrentCell(3, 1, TRUE);
        g.grid->MoveCurrentCell(1, 1, TRUE);
    }
}
BENCHMARK(BM_ArrowDownAndUp)->Arg(1000)->Arg(100000);

void BM_CtrlEndCtrlHome(benchmark::State& state)
{
    BigGrid g(ROWCOL(state.range(0)));
    for (auto _ : state) {
        g.grid->MoveCurrentCell(12, 1, TRUE);
        g.grid->MoveCurrentCell(11, 1, TRUE);
    }
}
BENCHMARK(BM_CtrlEndCtrlHome)->Arg(1000)->Arg(100000);

// Shift+Ctrl+End: the selection reaches the last row and only the visible cells that changed are
// repainted; Ctrl+Home and a cleared selection bring it back for the next round.
void BM_ShiftCtrlEndSelects(benchmark::State& state)
{
    BigGrid g(ROWCOL(state.range(0)));
    for (auto _ : state) {
        PvInputKey(VK_SHIFT, true);
        PvPumpMessages();
        g.grid->MoveCurrentCellBy(12, 1);
        PvInputKey(VK_SHIFT, false);
        PvPumpMessages();
        state.PauseTiming();
        g.grid->ClearRangeSelection();
        g.grid->MoveCurrentCellBy(11, 1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShiftCtrlEndSelects)->Arg(1000)->Arg(100000);

void BM_ReplaceInLongCell(benchmark::State& state)
{
    BigGrid g(10);
    const std::string text(size_t(state.range(0)), 'a');
    auto* pEdit = dynamic_cast<CGXEditControl*>(g.grid->CurrentCellControl());
    GXFindReplaceParams params;
    params.strFind = "A";
    params.strReplace = "bb";
    for (auto _ : state) {
        g.grid->SetValueRange(CGXCellRange(5, 2), text.c_str());
        pEdit->ReplaceInCell(&params, 5, 2);
    }
}
BENCHMARK(BM_ReplaceInLongCell)->Arg(2000)->Arg(200000);

}  // namespace
