// Values stored into 100,000 rows of 12 cells as one change, with undo recording on and off,
// and the Undo of that change: recording must stay within a small factor of the change itself,
// and taking it back must cost about what making it did.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;

struct UndoGrid {
    CWnd wnd;
    std::unique_ptr<CGXGridCore> grid;
    explicit UndoGrid(BOOL bUndo)
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280, 1000, nullptr, nullptr);
        grid = std::make_unique<CGXGridCore>(&wnd);
        grid->Initialize();
        grid->SetRowCount(kRows, GX_NOREDRAW);
        grid->SetColCount(kCols, GX_NOREDRAW);
        grid->GetParam()->EnableUndo(bUndo);
        grid->GetParam()->ClearUndoList();
    }
    ~UndoGrid()
    {
        grid.reset();
        wnd.DestroyWindow();
    }
    // One transaction: a value into each row's 12 cells.
    void StoreAll(const char* pszValue)
    {
        grid->BeginTransaction("Fill");
        for (ROWCOL r = 1; r <= kRows; ++r)
            grid->SetValueRange(CGXCellRange(r, 1, r, kCols), pszValue, gxOverride, 0, GX_NOREDRAW);
        grid->CommitTransaction();
    }
};

void StoreValues(benchmark::State& state, BOOL bUndo)
{
    UndoGrid g(bUndo);
    int n = 0;
    for (auto _ : state) {
        g.StoreAll(std::to_string(++n).c_str());
        state.PauseTiming();
        g.grid->GetParam()->ClearUndoList();
        state.ResumeTiming();
    }
    state.counters["cells"] = double(kRows * kCols);
}

void BM_StoreValuesUndoOff(benchmark::State& state) { StoreValues(state, FALSE); }
void BM_StoreValuesUndoOn(benchmark::State& state) { StoreValues(state, TRUE); }

void BM_UndoOfStoredValues(benchmark::State& state)
{
    UndoGrid g(TRUE);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g.grid->GetParam()->ClearRedoList();
        g.StoreAll(std::to_string(++n).c_str());
        state.ResumeTiming();
        if (!g.grid->Undo())
            state.SkipWithError("Undo failed");
    }
}

BENCHMARK(BM_StoreValuesUndoOff)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StoreValuesUndoOn)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UndoOfStoredValues)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
