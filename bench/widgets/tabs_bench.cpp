// The tab strip with few and many tabs, scrolled to the middle: a full repaint, a hit test at
// the right edge and one step of the scroll button. Each should cost what the visible tabs cost,
// whatever the count.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "grid/widgets/gxtabbeam.h"
#include "platform/win/win.h"

namespace {

struct Strip {
    CWnd parent;
    CGXTabBeam beam;
    explicit Strip(int nTabs)
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 100, nullptr, nullptr);
        beam.Create(WS_VISIBLE, CRect(0, 0, 1, 1), &parent, 1);
        beam.MoveWindow(0, 0, 600, beam.GetBarHeight());
        for (int i = 0; i < nTabs; ++i)
            beam.InsertTab(FALSE, "Sheet", nullptr, FALSE, 40 + i % 30);
        beam.SetCurSel(nTabs / 2);
        PvPumpMessages();
    }
    ~Strip()
    {
        beam.DestroyWindow();
        parent.DestroyWindow();
        PvResetWindowSystem();
    }
};

void TabStripRepaint(benchmark::State& state)
{
    Strip s(int(state.range(0)));
    for (auto _ : state) {
        s.beam.SetRedrawFrom(-2);
        s.beam.Invalidate();
        s.beam.UpdateWindow();
    }
}
BENCHMARK(TabStripRepaint)->Arg(12)->Arg(10000);

void TabStripHitTest(benchmark::State& state)
{
    Strip s(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(s.beam.TabFromX(599) + s.beam.GetLastVisibleTab());
}
BENCHMARK(TabStripHitTest)->Arg(12)->Arg(10000);

void TabStripScrollStep(benchmark::State& state)
{
    Strip s(int(state.range(0)));
    for (auto _ : state) {
        s.beam.ScrollTabs(2);
        s.beam.ScrollTabs(1);
        s.beam.UpdateWindow();
    }
}
BENCHMARK(TabStripScrollStep)->Arg(12)->Arg(10000);

}  // namespace
