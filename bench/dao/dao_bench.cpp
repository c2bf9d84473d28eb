// Our recordsets against the raw SQLite API on a 100,000-row keyed table shaped like Data:
// twelve enciphered-looking text columns, each with an indexed rank column. Both sides open
// a fresh keyed connection per iteration (the open itself is not timed), so every page is
// decrypted once per pass on both, and both run the same statement: the full rows for the
// first screen, the dynaset's own keyset statement for MoveLast. Each runs over the one-key
// sort and over the viewer's default two-key sort (last name rank, then first name rank;
// last names repeat, so the second key decides within them).

#include "bench/support/keyedtable.h"
#include "platform/dao/dao.h"

#include <benchmark/benchmark.h>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char* kKey = kBenchTableKey;
const int kRows = 100000;
const int kLastNames = kRows / 8;  // about eight people share a last name

struct Sort {
    const char* order;
};
const Sort kSorts[] = {{" ORDER BY Data.[_IF3]"}, {" ORDER BY Data.[_IF1], Data.[_IF2]"}};

const std::string& DbPath() { return BenchKeyedTable({kRows, kLastNames, true}); }

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

sqlite3* RawOpen()
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(DbPath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, kKey, int(std::strlen(kKey)));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);  // derives the key
    return db;
}

// First screen: the full rows, every column read, for 60 rows. Last: the rowids in sort
// order to the end, which is what a dynaset's MoveLast steps.
long RawPass(sqlite3* db, const Sort& sort, bool firstScreen)
{
    sqlite3_stmt* st = nullptr;
    const std::string sql = std::string(firstScreen ? "SELECT * FROM Data" : "SELECT Data._ROWID_ FROM Data") + sort.order;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    long n = 0;
    size_t bytes = 0;
    while ((!firstScreen || n < 60) && sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) bytes += size_t(sqlite3_column_bytes(st, c));
        ++n;
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_finalize(st);
    return n;
}

void Compare(benchmark::State& state, bool firstScreen)
{
    const Sort& sort = kSorts[state.range(0)];
    const std::string query = std::string("SELECT * FROM Data") + sort.order;
    double ours = 0, raw = 0, open = 0;
    for (auto _ : state) {
        sqlite3* rdb = RawOpen();
        auto t0 = Clock::now();
        const long rn = RawPass(rdb, sort, firstScreen);
        raw += Ms(Clock::now() - t0);
        sqlite3_close_v2(rdb);

        CDaoDatabase db;
        db.Open(DbPath().c_str(), TRUE, FALSE, (std::string(";PWD=") + kKey).c_str());
        t0 = Clock::now();
        CDaoRecordset rs(&db);
        rs.Open(dbOpenDynaset, query.c_str());
        open += Ms(Clock::now() - t0);
        long n = 0;
        if (firstScreen) {
            const short fields = rs.GetFieldCount();
            for (; n < 60 && !rs.IsEOF(); ++n, rs.MoveNext())
                for (short f = 0; f < fields; ++f) benchmark::DoNotOptimize(rs.GetFieldValue(f));
        } else {
            rs.MoveLast();
            n = rs.GetRecordCount();
        }
        const double t = Ms(Clock::now() - t0);
        ours += t;
        state.SetIterationTime(t / 1000.0);
        if (n != rn) state.SkipWithError("row counts differ");
    }
    const double it = double(state.iterations());
    state.counters["ours_ms"] = ours / it;
    state.counters["raw_ms"] = raw / it;
    state.counters["open_ms"] = open / it;  // of ours_ms: Open's own share
    state.counters["ratio"] = raw > 0 ? ours / raw : 0;
    state.SetLabel(sort.order);
}

// Reads one text field of every row in rank order twice on one connection: the second pass
// finds every page in the cache and decrypts nothing.
void BM_SecondPass(benchmark::State& state)
{
    double first = 0, second = 0;
    for (auto _ : state) {
        CDaoDatabase db;
        db.Open(DbPath().c_str(), TRUE, FALSE, (std::string(";PWD=") + kKey).c_str());
        CDaoRecordset rs(&db);
        for (int pass = 0; pass < 2; ++pass) {
            const auto t0 = Clock::now();
            if (pass == 0) rs.Open(dbOpenDynaset, (std::string("SELECT * FROM Data") + kSorts[0].order).c_str());
            else rs.Requery();
            for (; !rs.IsEOF(); rs.MoveNext()) benchmark::DoNotOptimize(rs.GetFieldValue(1));
            const double t = Ms(Clock::now() - t0);
            (pass == 0 ? first : second) += t;
            if (pass == 1) state.SetIterationTime(t / 1000.0);
        }
    }
    const double it = double(state.iterations());
    state.counters["first_ms"] = first / it;
    state.counters["second_ms"] = second / it;
}

void BM_FirstScreen(benchmark::State& state) { Compare(state, true); }
void BM_MoveLast(benchmark::State& state) { Compare(state, false); }

}  // namespace

// Argument: 0 the one-key sort, 1 the viewer's two-key sort.
BENCHMARK(BM_FirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20)->Arg(0)->Arg(1);
BENCHMARK(BM_MoveLast)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1);
BENCHMARK(BM_SecondPass)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
