// The directory pane over sample installations of 10,000 and 100,000 people, phase by phase:
// the keyed open of the database, the frame's start-up with the view's initial update, Show All,
// and the first paint of a 1600 x 600 pane; beside raw SQLite on the same file and statement:
// the keyed open, the first screen of 60 rows in the default order, and count(*).

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/DirectoryKey.h"
#include "app/FrameCommands.h"
#include "app/ViewerDoc.h"
#include "bench/support/headless_main.h"
#include "bench/support/sampledir.h"
#include "bench/support/viewerframe.h"

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

namespace {

constexpr int kScreenRows = 60;
const char kDefaultOrder[] = "SELECT * FROM Data ORDER BY Data.[_ILast Name], Data.[_IFirst Name]";

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const pvsample::SamplePaths& InstallationOf(int people) { return BenchSampleDirectory(people); }

struct Raw {
    double open = 0, first = 0, count = 0;
};

Raw RawFigures(const std::string& path)
{
    Raw r;
    const char* key = kDirectoryPassword;
    auto t0 = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_key(db, key, int(std::strlen(key)));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr); // derives the key
    r.open = Ms(Clock::now() - t0);
    t0 = Clock::now();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM Data ORDER BY [_ILast Name], [_IFirst Name]", -1, &st, nullptr);
    size_t bytes = 0;
    for (int n = 0; n < kScreenRows && sqlite3_step(st) == SQLITE_ROW; ++n)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            bytes += size_t(sqlite3_column_bytes(st, c));
    sqlite3_finalize(st);
    r.first = Ms(Clock::now() - t0);
    benchmark::DoNotOptimize(bytes);
    t0 = Clock::now();
    sqlite3_exec(db, "SELECT count(*) FROM Data", nullptr, nullptr, nullptr);
    r.count = Ms(Clock::now() - t0);
    sqlite3_close_v2(db);
    return r;
}

void BM_DirectoryPane(benchmark::State& state)
{
    const int people = int(state.range(0));
    const pvsample::SamplePaths& paths = InstallationOf(people);
    if (!UseBenchInstallation(paths))
        std::abort();
    PrepareBenchWindows();
    double open = 0, initial = 0, showAll = 0, paint = 0;
    Raw raw;
    for (auto _ : state) {
        const Raw r = RawFigures(paths.databasePath);
        raw.open += r.open;
        raw.first += r.first;
        raw.count += r.count;
        std::filesystem::remove(paths.dataPath + "GridSettings.dat");

        auto t0 = Clock::now();
        {
            CViewerDoc doc;
            doc.OpenDirectoryDatabase();
        }
        open += Ms(Clock::now() - t0);

        t0 = Clock::now();
        std::unique_ptr<CSingleDocTemplate> tmpl;
        CMainFrame* frame = OpenBenchFrame(tmpl);
        CDaoqueryView* view = frame ? frame->m_pQueryView : nullptr;
        if (!view) {
            state.SkipWithError("no directory view");
            break;
        }
        initial += Ms(Clock::now() - t0);

        t0 = Clock::now();
        CString sort;
        view->GetViewerDoc()->GetDefaultSort(sort);
        view->RunQuery(ShowAllQuery(sort));
        showAll += Ms(Clock::now() - t0);

        t0 = Clock::now();
        view->SetWindowPos(nullptr, 0, 0, 1600, 600, SWP_NOZORDER | SWP_SHOWWINDOW);
        view->Invalidate();
        view->UpdateWindow();
        paint += Ms(Clock::now() - t0);
        // The frame closes first, as the user closes it: the document goes with it.
        frame->SendMessage(WM_CLOSE);
        PumpBenchMessages();
        tmpl.reset();
    }
    const double n = double(state.iterations());
    state.counters["open_ms"] = open / n;
    state.counters["initial_update_ms"] = initial / n;
    state.counters["show_all_ms"] = showAll / n;
    state.counters["first_paint_ms"] = paint / n;
    state.counters["raw_open_ms"] = raw.open / n;
    state.counters["raw_first_60_ms"] = raw.first / n;
    state.counters["raw_count_ms"] = raw.count / n;
    ::unsetenv("PV_REGISTRY_DIR");
}
BENCHMARK(BM_DirectoryPane)->Arg(10000)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv);
}
