// Values stored into 100,000 rows of 12 cells as one change, with undo recording on and off,
// and the Undo of that change: recording must stay within a small factor of the change itself,
// and taking it back must cost about what making it did.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_grid_window.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;

struct UndoGrid : BenchGridWindow {
    explicit UndoGrid(BOOL bUndo) : BenchGridWindow(kRows, kCols)
    {
        grid->GetParam()->EnableUndo(bUndo);
        grid->GetParam()->ClearUndoList();
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
