// Recalculation of a long chain and of a block of sums: a full pass, and one number changed.
// A change must cost what it reaches, not what the sheet holds.

#include <benchmark/benchmark.h>

#include <string>

#include "grid/formula/gxengine.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"

namespace {

struct Sheet {
    int h = gx_create_sheet();
    Sheet()
    {
        if (!gx_engine_state()->function_table)
            gx_set_function_table(gx_new_standard_function_table().release());
        gx_set_recalc_method(h, 1);
    }
    ~Sheet() { gx_destroy_sheet(h); }
};

// A1 = 1, A2 = A1 + 1, ... down to row n.
void MakeChain(int h, int n)
{
    gx_set_number_cell(h, 1, 0, 1);
    for (int r = 2; r <= n; ++r)
        gx_set_formula_cell(h, r, 0, ("=A" + std::to_string(r - 1) + "+1").c_str());
    gx_recalc_sheet_forced(h);
}

// Numbers in columns A..(size), and beside them in the next size columns the sum of each
// number's 2x2 window.
void MakeBlock(int h, int size)
{
    for (int r = 1; r <= size; ++r)
        for (int c = 0; c < size; ++c)
            gx_set_number_cell(h, r, c, r + c);
    for (int r = 1; r <= size; ++r)
        for (int c = 0; c < size; ++c) {
            std::string a = std::string(gx_col_name(c)) + std::to_string(r);
            std::string b = std::string(gx_col_name(c + 1)) + std::to_string(r + 1);
            gx_set_formula_cell(h, r, size + c, ("=SUM(" + a + ".." + b + ")").c_str());
        }
    gx_recalc_sheet_forced(h);
}

void BM_ChainFull(benchmark::State& state)
{
    Sheet s;
    MakeChain(s.h, int(state.range(0)));
    for (auto _ : state)
        gx_recalc_sheet_forced(s.h);
}
BENCHMARK(BM_ChainFull)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ChainChangeTail(benchmark::State& state)
{
    Sheet s;
    int n = int(state.range(0));
    MakeChain(s.h, n);
    double v = 0;
    for (auto _ : state) {
        gx_set_number_cell(s.h, n - 1, 0, ++v);
        gx_recalc_sheet(s.h);
    }
}
BENCHMARK(BM_ChainChangeTail)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Method 0: a change, then the read of the tail that brings it up to date.
void BM_ChainChangeTailThenRead(benchmark::State& state)
{
    Sheet s;
    int n = int(state.range(0));
    MakeChain(s.h, n);
    gx_set_recalc_method(s.h, 0);
    GXCell* tail = gx_find_cell(s.h, n, 0);
    double v = 0;
    for (auto _ : state) {
        gx_set_number_cell(s.h, n - 1, 0, ++v);
        gx_recalc_sheet(s.h);
        gx_recalc_cell(s.h, tail);
    }
}
BENCHMARK(BM_ChainChangeTailThenRead)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ChainChangeHead(benchmark::State& state)
{
    Sheet s;
    MakeChain(s.h, int(state.range(0)));
    double v = 0;
    for (auto _ : state) {
        gx_set_number_cell(s.h, 1, 0, ++v);
        gx_recalc_sheet(s.h);
    }
}
BENCHMARK(BM_ChainChangeHead)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BlockFull(benchmark::State& state)
{
    Sheet s;
    MakeBlock(s.h, int(state.range(0)));
    for (auto _ : state)
        gx_recalc_sheet_forced(s.h);
}
BENCHMARK(BM_BlockFull)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_BlockChangeOne(benchmark::State& state)
{
    Sheet s;
    int n = int(state.range(0));
    MakeBlock(s.h, n);
    double v = 0;
    for (auto _ : state) {
        gx_set_number_cell(s.h, n / 2, n / 2, ++v);  // read by 4 sums
        gx_recalc_sheet(s.h);
    }
}
BENCHMARK(BM_BlockChangeOne)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
