// Moving rows 1-10 of 100,000 rows of 12 stored cells before row 50,000 (one undoable step with
// its repaint), and the Undo of it. The cell store moves row pointers, so both should cost a
// small multiple of shifting 100,000 pointers, not of the cells.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_grid_window.h"
#include "grid/core/gxdata.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;

struct MoveGrid : BenchGridWindow {
    MoveGrid() : BenchGridWindow(kRows, kCols)
    {
        CGXData& data = *grid->GetData();
        char buf[32];
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c) {
                std::snprintf(buf, sizeof buf, "r%u c%u", unsigned(r), unsigned(c));
                data.StoreValueRowCol(r, c, buf, gxOverride);
            }
        grid->GetParam()->ClearUndoList();
    }
};

MoveGrid& Grid()
{
    static MoveGrid g;
    return g;
}

// Rows 1-10 go before row 50,000: they become rows 49,990-49,999.
constexpr ROWCOL kDest = 50000 - 10;

void BM_MoveTenRowsBeforeRow50000(benchmark::State& state)
{
    MoveGrid& g = Grid();
    for (auto _ : state) {
        if (!g.grid->MoveRows(1, 10, kDest, GX_UPDATENOW))
            state.SkipWithError("move failed");
        PvPumpMessages();
        state.PauseTiming();
        g.grid->Undo();
        g.grid->GetParam()->ClearRedoList();
        PvPumpMessages();
        state.ResumeTiming();
    }
}

void BM_UndoOfTheMove(benchmark::State& state)
{
    MoveGrid& g = Grid();
    for (auto _ : state) {
        state.PauseTiming();
        g.grid->MoveRows(1, 10, kDest, GX_UPDATENOW);
        PvPumpMessages();
        state.ResumeTiming();
        if (!g.grid->Undo())
            state.SkipWithError("Undo failed");
        PvPumpMessages();
        state.PauseTiming();
        g.grid->GetParam()->ClearRedoList();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_MoveTenRowsBeforeRow50000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_UndoOfTheMove)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
