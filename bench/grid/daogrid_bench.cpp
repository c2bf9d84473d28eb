// The DAO grid's first screen against raw SQLite on a keyed table shaped like Data (twelve
// text columns, each with a rank column), at 1,000 and 100,000 records. "Ours" opens a dynaset,
// initialises the grid (columns, the first block of 500 records) and reads the texts of 60 rows
// x 12 fields as the paint would; "raw" steps the same 60 rows of the same query reading the
// same 12 columns. Both open a fresh keyed connection per iteration; the open is not timed.
// The counters split the grid's time (recordset open, grid initialisation, the rest reads the
// texts) and give the pages each side deciphered.

#include <benchmark/benchmark.h>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/support/headless_main.h"
#include "bench/support/keyedtable.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/record/gxdaogrid.h"
#include "platform/dao/dao.h"
#include "platform/dao/daoengine.h"
#include "platform/win/win.h"

namespace {

const char* kKey = kBenchTableKey;
constexpr int kScreenRows = 60;
constexpr int kTextFields = kBenchTextFields;

const std::string& DbPath(int nRows) { return BenchKeyedTable({nRows, 0, false}); }

// In table order, and in the order of a rank (the viewer's sort by name).
const char* kQueries[] = {"SELECT * FROM Data", "SELECT * FROM Data ORDER BY [_IF1]"};

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Pages the connection read from the file (each one deciphered) since it opened.
int PagesRead(sqlite3* db)
{
    int cur = 0, hi = 0;
    sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &cur, &hi, 0);
    return cur;
}

// Where the grid's first screen goes, summed over a benchmark's iterations, and the pages each
// side read in its last one.
struct Phases {
    double openMs = 0, initMs = 0;
    int rawPages = 0, gridPages = 0;
} g_phases;

// Steps the query's first screen on an open connection, reading each text field as the grid
// would; answers the milliseconds it took.
double StepRawScreen(sqlite3* db, const char* pszQuery)
{
    const auto t0 = Clock::now();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, pszQuery, -1, &st, nullptr);
    size_t bytes = 0;
    for (int n = 0; n < kScreenRows && sqlite3_step(st) == SQLITE_ROW; ++n)
        for (int f = 1; f <= kTextFields; ++f) {
            const unsigned char* p = sqlite3_column_text(st, 2 * f - 1);
            bytes += p ? std::strlen(reinterpret_cast<const char*>(p)) : 0;
        }
    sqlite3_finalize(st);
    const double ms = Ms(Clock::now() - t0);
    benchmark::DoNotOptimize(bytes);
    return ms;
}

double RawFirstScreen(const std::string& path, const char* pszQuery)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, kKey, int(std::strlen(kKey)));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);  // derives the key
    const double ms = StepRawScreen(db, pszQuery);
    g_phases.rawPages = PagesRead(db);
    sqlite3_close_v2(db);
    return ms;
}

// Initialises the grid over the recordset and reads the first screen's texts as the paint would;
// answers the bytes read.
size_t ReadFirstScreen(CGXDaoGrid& grid, CDaoRecordset& rs)
{
    const auto t0 = Clock::now();
    grid.SetRecordset(&rs);
    grid.Initialize();
    g_phases.initMs += Ms(Clock::now() - t0);
    size_t bytes = 0;
    for (ROWCOL r = 1; r <= kScreenRows; ++r)
        for (ROWCOL f = 1; f <= kTextFields; ++f)
            bytes += size_t(grid.CellValueText(r, 2 * f).GetLength());
    return bytes;
}

// The library and a window for the grids of one benchmark.
void MakeGridWindow(CWnd& wnd)
{
    PvResetWindowSystem();
    InitGridLibraryWithFactory();
    wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 1600, 1000, nullptr,
                 nullptr);
}

double GridFirstScreen(const std::string& path, const char* pszQuery, CWnd* pWnd)
{
    CDaoDatabase db;
    db.Open(path.c_str(), TRUE, FALSE, (std::string(";PWD=") + kKey).c_str());
    const auto t0 = Clock::now();
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, pszQuery);
    g_phases.openMs += Ms(Clock::now() - t0);
    double ms = 0;
    {
        CGXDaoGrid grid(pWnd);
        const size_t bytes = ReadFirstScreen(grid, rs);
        ms = Ms(Clock::now() - t0);
        benchmark::DoNotOptimize(bytes);
    }
    g_phases.gridPages = PagesRead(db.PvConnection()->db);
    rs.Close();
    db.Close();
    return ms;
}

// The counters both first-screen runs report: the two sides' times per iteration, their ratio,
// where the grid's time went, and the pages each side read in its last iteration.
void ReportFirstScreen(benchmark::State& state, double oursMs, double rawMs, int rawPages, int gridPages)
{
    const double n = double(state.iterations());
    state.counters["grid_ms"] = oursMs / n;
    state.counters["raw_ms"] = rawMs / n;
    state.counters["ratio"] = rawMs > 0 ? oursMs / rawMs : 0;
    state.counters["open_ms"] = g_phases.openMs / n;
    state.counters["init_ms"] = g_phases.initMs / n;
    state.counters["raw_pages"] = rawPages;
    state.counters["grid_pages"] = gridPages;
}

void BM_DaoGridFirstScreen(benchmark::State& state)
{
    const std::string& path = DbPath(int(state.range(0)));
    const char* pszQuery = kQueries[state.range(1)];
    CWnd wnd;
    MakeGridWindow(wnd);
    g_phases = Phases();
    double ours = 0, raw = 0;
    for (auto _ : state) {
        raw += RawFirstScreen(path, pszQuery);
        const double ms = GridFirstScreen(path, pszQuery, &wnd);
        ours += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    wnd.DestroyWindow();
    ReportFirstScreen(state, ours, raw, g_phases.rawPages, g_phases.gridPages);
}
BENCHMARK(BM_DaoGridFirstScreen)->Args({1000, 0})->Args({100000, 0})->Args({1000, 1})->Args({100000, 1})->UseManualTime()->Unit(benchmark::kMillisecond);

// As the first, over one connection per side opened once: each iteration drops the page caches,
// so every page is read and deciphered again, but no key is derived. Steadier, and what a profile
// of the first screen should run.
void BM_DaoGridFirstScreenReread(benchmark::State& state)
{
    const std::string& path = DbPath(int(state.range(0)));
    const char* pszQuery = kQueries[state.range(1)];
    CWnd wnd;
    MakeGridWindow(wnd);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(raw, kKey, int(std::strlen(kKey)));
    CDaoDatabase db;
    db.Open(path.c_str(), TRUE, FALSE, (std::string(";PWD=") + kKey).c_str());
    sqlite3* conn = db.PvConnection()->db;
    g_phases = Phases();
    double ours = 0, rawMs = 0;
    int rawPages = 0, gridPages = 0;
    for (auto _ : state) {
        sqlite3_db_release_memory(raw);
        sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        int before = PagesRead(raw);
        rawMs += StepRawScreen(raw, pszQuery);
        rawPages = PagesRead(raw) - before;

        sqlite3_db_release_memory(conn);
        sqlite3_exec(conn, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        before = PagesRead(conn);
        const auto t0 = Clock::now();
        size_t bytes = 0;
        double ms = 0;
        {
            CDaoRecordset rs(&db);
            rs.Open(dbOpenDynaset, pszQuery);
            g_phases.openMs += Ms(Clock::now() - t0);
            CGXDaoGrid grid(&wnd);
            bytes += ReadFirstScreen(grid, rs);
            ms = Ms(Clock::now() - t0);  // the screen is ready; closing is not timed
            gridPages = PagesRead(conn) - before;
        }
        ours += ms;
        benchmark::DoNotOptimize(bytes);
        state.SetIterationTime(ms / 1000.0);
    }
    db.Close();
    sqlite3_close_v2(raw);
    wnd.DestroyWindow();
    ReportFirstScreen(state, ours, rawMs, rawPages, gridPages);
}
BENCHMARK(BM_DaoGridFirstScreenReread)->Args({1000, 0})->Args({100000, 0})->Args({100000, 1})->UseManualTime()->Unit(benchmark::kMillisecond);

// The grid's own work on the first screen, over one connection whose pages are cached after the
// first iteration: what is left once the page reads and their deciphering are paid.
void BM_DaoGridFirstScreenWarm(benchmark::State& state)
{
    const std::string& path = DbPath(int(state.range(0)));
    const char* pszQuery = kQueries[state.range(1)];
    CWnd wnd;
    MakeGridWindow(wnd);
    CDaoDatabase db;
    db.Open(path.c_str(), TRUE, FALSE, (std::string(";PWD=") + kKey).c_str());
    for (auto _ : state) {
        CDaoRecordset rs(&db);
        rs.Open(dbOpenDynaset, pszQuery);
        CGXDaoGrid grid(&wnd);
        benchmark::DoNotOptimize(ReadFirstScreen(grid, rs));
    }
    db.Close();
    wnd.DestroyWindow();
}
BENCHMARK(BM_DaoGridFirstScreenWarm)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv);
}
