// Notes windows over sample installations of 2,000 and 20,000 people: a window opened on a
// person's note, 255 characters typed into it (each keystroke checked against what the column
// stores), Close storing a first note, and Close All storing six changed notes.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/OrganizeNotesDlg.h"
#include "app/ViewerDoc.h"
#include "bench/support/sampledir.h"
#include "bench/support/viewerframe.h"
#include "resources/frame_ids.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWindows = 6;  // one cascade's worth

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_NotesWindows(benchmark::State& state)
{
    const pvsample::SamplePaths& paths = BenchSampleDirectory(int(state.range(0)));
    if (!UseBenchInstallation(paths)) {
        state.SkipWithError("no configuration");
        return;
    }
    PrepareBenchWindows();
    std::unique_ptr<CSingleDocTemplate> tmpl;
    CMainFrame* frame = OpenBenchFrame(tmpl);
    if (!frame) {
        state.SkipWithError("no frame");
        return;
    }
    PumpBenchMessages();
    double open = 0, type = 0, store = 0, closeAll = 0;
    long key = 100;  // people without notes or favorites in the sample
    for (auto _ : state) {
        for (int i = 0; i < kWindows; ++i, ++key) {
            auto t0 = Clock::now();
            frame->OpenNotesWindow(key, "  Bench Person  ");
            PumpBenchMessages();
            auto* dlg = dynamic_cast<COrganizeNotesDlg*>(frame->m_lists.FindWindowOf(key, TRUE));
            if (!dlg) {
                state.SkipWithError("no notes window");
                break;
            }
            open += Ms(Clock::now() - t0);
            t0 = Clock::now();
            for (int c = 0; c < CNotesEdit::kStoredLimit; ++c)
                dlg->m_edit.SendMessage(WM_CHAR, c % 50 == 49 ? '\r' : 'a' + c % 26);
            type += Ms(Clock::now() - t0);
            if (i == 0) {
                // A first note: added, favorites looked up, the offer (no dialog here) declined.
                t0 = Clock::now();
                dlg->CloseStoringNote(TRUE);
                PumpBenchMessages();
                store += Ms(Clock::now() - t0);
            }
        }
        const auto t0 = Clock::now();
        frame->SendMessage(WM_COMMAND, ID_CLOSE_ALL);
        PumpBenchMessages();
        closeAll += Ms(Clock::now() - t0);
    }
    const double n = double(state.iterations());
    state.counters["open_ms"] = open / (n * kWindows);
    state.counters["type_255_chars_ms"] = type / (n * kWindows);
    state.counters["close_first_note_ms"] = store / n;
    state.counters["close_all_per_note_ms"] = closeAll / (n * (kWindows - 1));
    frame->SendMessage(WM_CLOSE);
    PumpBenchMessages();
    tmpl.reset();
    ::unsetenv("PV_REGISTRY_DIR");
}
BENCHMARK(BM_NotesWindows)->Arg(2000)->Arg(20000)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("PV_BACKEND", "headless", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
