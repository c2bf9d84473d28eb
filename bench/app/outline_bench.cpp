// The outline over tables Tree of 100 to 5,000 rows (folders of ten favorites each): loading at
// the first showing, storing which items show as the frame closes, a name check over the whole
// table, and appending a saved list.

#include "app/NavigateView.h"

#include "app/Config.h"
#include "app/FrameClose.h"
#include "platform/controls/controls.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "bench/support/customtree.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

void PvRegisterAppResources();

namespace {

std::string CustomOf(int rows) { return BenchCustomTree(rows, true); }

struct Desk {
    CWnd parent;
    Desk()
    {
        ::setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        parent.CreateEx(0, nullptr, "Outline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 900, nullptr, nullptr);
    }
    ~Desk()
    {
        parent.DestroyWindow();
        PvResetWindowSystem();
    }
    CNavigateView* Open()
    {
        auto* view = new CNavigateView; // deletes itself with its window
        view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 900), &parent, 1, nullptr);
        return view;
    }
};

void UseCustom(int rows)
{
    // No image list in the scratch folder: Cancel goes on without pictures.
    ::setenv("PV_MSGBOX_ANSWERS", "cancel,cancel,cancel,cancel,cancel,cancel,cancel,cancel", 1);
    PvSetOutlinePathsForTest((BenchScratchDir() + "/").c_str(), CustomOf(int(rows)).c_str());
}

void BM_LoadOutline(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    Desk desk;
    for (auto _ : state) {
        CNavigateView* view = desk.Open();
        benchmark::DoNotOptimize(view->GetTreeCtrl().GetCount());
        state.PauseTiming();
        view->DestroyWindow();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StoreShownItems(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    Desk desk;
    CNavigateView* view = desk.Open();
    view->GetTreeCtrl().Expand(view->FindItem("Favorites"), TVE_EXPAND);
    CTreeCtrlVisibleOutline outline(view->GetTreeCtrl());
    for (auto _ : state)
        benchmark::DoNotOptimize(StoreOutlineState(GetCustomPath(), outline));
    view->DestroyWindow();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NameCheck(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    Desk desk;
    CNavigateView* view = desk.Open();
    for (auto _ : state)
        benchmark::DoNotOptimize(view->IsNameUnique("A name nobody has", ""));
    view->DestroyWindow();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_AddSavedList(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    Desk desk;
    CNavigateView* view = desk.Open();
    int n = 0;
    for (auto _ : state) {
        CString key;
        key.Format("List %d", ++n);
        view->AddOutlineItem(key, "Views", key, 18, 18, "SELECT * FROM Data", "Query");
    }
    view->DestroyWindow();
}

} // namespace

BENCHMARK(BM_LoadOutline)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreShownItems)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameCheck)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSavedList)->Arg(1000)->Unit(benchmark::kMillisecond);
