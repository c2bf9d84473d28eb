// Details pop-ups over sample installations of 2,000 and 20,000 people: Show Details Page in
// two steps, the pane's page built and shown, then the pop-up created, placed, its page loaded
// from memory and painted; and Close All of six of them.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/DetailsDlg.h"
#include "app/ViewerDoc.h"
#include "bench/support/headless_main.h"
#include "bench/support/sampledir.h"
#include "bench/support/viewerframe.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kPopups = 6;  // one cascade's worth

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_DetailsPopups(benchmark::State& state)
{
    const pvsample::SamplePaths& paths = BenchSampleDirectory(int(state.range(0)));
    if (!UseBenchInstallation(paths)) {
        state.SkipWithError("no configuration");
        return;
    }
    PrepareBenchWindows();
    std::unique_ptr<CSingleDocTemplate> tmpl;
    CMainFrame* frame = OpenBenchFrame(tmpl);
    if (!frame || !frame->m_pMediaView) {
        state.SkipWithError("no frame");
        return;
    }
    PumpBenchMessages();
    double pane = 0, open = 0, close = 0;
    long key = 1;
    for (auto _ : state) {
        for (int i = 0; i < kPopups; ++i, ++key) {
            auto t0 = Clock::now();
            frame->ShowRecordDetails(key, TRUE);
            pane += Ms(Clock::now() - t0);
            t0 = Clock::now();
            frame->OpenDetailsPopup(key);
            PumpBenchMessages();
            auto* popup = dynamic_cast<CDetailsDlg*>(frame->m_lists.FindWindowOf(key, FALSE));
            if (!popup || !popup->IsPageLoaded()) {
                state.SkipWithError("no page in the pop-up");
                break;
            }
            popup->UpdateWindow();
            open += Ms(Clock::now() - t0);
        }
        const auto t0 = Clock::now();
        frame->SendMessage(WM_COMMAND, ID_CLOSE_ALL);
        PumpBenchMessages();
        close += Ms(Clock::now() - t0);
    }
    const double n = double(state.iterations()) * kPopups;
    state.counters["show_details_ms"] = pane / n;
    state.counters["popup_open_ms"] = open / n;
    state.counters["close_all_per_popup_ms"] = close / n;
    frame->SendMessage(WM_CLOSE);
    PumpBenchMessages();
    tmpl.reset();
    ::unsetenv("PV_REGISTRY_DIR");
}
BENCHMARK(BM_DetailsPopups)->Arg(2000)->Arg(20000)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return PvBenchMain(argc, argv);
}
