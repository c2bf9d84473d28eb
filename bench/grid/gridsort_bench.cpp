// Sorting 100,000 rows of 12 stored cells by a text key and by a numeric key: the time to collect
// the keys (with their conversion and collation keys), to order them, and to move the data, and
// the Undo of the sort. The data move and the Undo permute row pointers and should each stay a
// small part of the sort.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench_grid_window.h"
#include "grid/core/gxdata.h"
#include "grid/features/gxsort.h"

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 12;
constexpr ROWCOL kTextCol = 1;
constexpr ROWCOL kNumberCol = 2;

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Times the phases of each sort.
class TimingSortImp : public CGXGridSortImp {
public:
    double collect = 0, order = 0, move = 0, total = 0;
    BOOL SortRows(CGXGridCore* pGrid, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags) override
    {
        m_start = Clock::now();
        const BOOL b = CGXGridSortImp::SortRows(pGrid, range, keys, flags);
        total += Ms(Clock::now() - m_start);
        return b;
    }
    void SortKeys(CGXGridCore* pGrid, const CGXSortInfoArray& keys, CGXSortKeyTable& table) override
    {
        const Clock::time_point t = Clock::now();
        collect += Ms(t - m_start);
        CGXGridSortImp::SortKeys(pGrid, keys, table);
        order += Ms(Clock::now() - t);
    }
    BOOL StoreMoveDataRows(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order_) override
    {
        const Clock::time_point t = Clock::now();
        const BOOL b = CGXGridSortImp::StoreMoveDataRows(pGrid, range, order_);
        move += Ms(Clock::now() - t);
        return b;
    }

private:
    Clock::time_point m_start;
};

struct SortGrid : BenchGridWindow {
    TimingSortImp timing;
    SortGrid() : BenchGridWindow(kRows, kCols)
    {
        // Names and numbers in a scrambled order (7919 steps modulo the prime 100003).
        CGXData& data = *grid->GetData();
        char buf[64];
        for (ROWCOL r = 1; r <= kRows; ++r) {
            const unsigned v = unsigned((unsigned long long)r * 7919 % 100003);
            std::snprintf(buf, sizeof buf, "Name %c%05u", 'A' + v % 26, v);
            data.StoreValueRowCol(r, kTextCol, buf, gxOverride);
            std::snprintf(buf, sizeof buf, "%d", int(v) - 50000);
            data.StoreValueRowCol(r, kNumberCol, buf, gxOverride);
            for (ROWCOL c = 3; c <= kCols; ++c) {
                std::snprintf(buf, sizeof buf, "r%u c%u", unsigned(r), unsigned(c));
                data.StoreValueRowCol(r, c, buf, gxOverride);
            }
        }
        grid->m_pSortImp = &timing;
        grid->GetParam()->ClearUndoList();
    }
    BOOL Sort(ROWCOL nKey)
    {
        CGXSortInfoArray keys;
        keys.SetSize(1);
        keys[0] = GXSortInfo {};
        keys[0].nRC = nKey;
        keys[0].sortType = 3;
        return grid->SortRows(CGXCellRange().SetTable(), keys, GX_NOREDRAW);
    }
};

SortGrid& Grid()
{
    static SortGrid g;
    return g;
}

void SortBy(benchmark::State& state, ROWCOL nKey)
{
    SortGrid& g = Grid();
    g.timing = TimingSortImp();
    int n = 0;
    for (auto _ : state) {
        if (!g.Sort(nKey))
            state.SkipWithError("sort failed");
        ++n;
        state.PauseTiming();
        g.grid->Undo();
        g.grid->GetParam()->ClearRedoList();
        state.ResumeTiming();
    }
    state.counters["collect_ms"] = g.timing.collect / n;
    state.counters["order_ms"] = g.timing.order / n;
    state.counters["move_ms"] = g.timing.move / n;
    state.counters["move_pct"] = 100.0 * g.timing.move / g.timing.total;
}

void BM_SortRowsByTextKey(benchmark::State& state) { SortBy(state, kTextCol); }
void BM_SortRowsByNumberKey(benchmark::State& state) { SortBy(state, kNumberCol); }

void BM_UndoOfSort(benchmark::State& state)
{
    SortGrid& g = Grid();
    for (auto _ : state) {
        state.PauseTiming();
        g.Sort(kTextCol);
        state.ResumeTiming();
        if (!g.grid->Undo())
            state.SkipWithError("Undo failed");
        state.PauseTiming();
        g.grid->GetParam()->ClearRedoList();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SortRowsByTextKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortRowsByNumberKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UndoOfSort)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
