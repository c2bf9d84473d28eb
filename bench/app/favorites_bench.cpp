// The Favorites menu built from tables Tree of 100 to 5,000 rows (folders of ten favorites each),
// and the Organize Favorites dialog filled from them.

#include "platform/controls/controls.h" // first: the controls' definitions before the framework's

#include "app/FavoritesMenu.h"
#include "app/NavigateView.h"
#include "app/OrganizeFavoritesDlg.h"
#include "resources/favorites_ids.h"

#include "app/Config.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "bench/support/customtree.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

void PvRegisterAppResources();

namespace {

std::string CustomOf(int rows) { return BenchCustomTree(rows, false); }

void UseCustom(int rows)
{
    ::setenv("PV_BACKEND", "headless", 1);
    // No image list in the scratch folder: Cancel goes on without pictures.
    ::setenv("PV_MSGBOX_ANSWERS", "cancel,cancel,cancel,cancel,cancel,cancel,cancel,cancel", 1);
    PvSetOutlinePathsForTest((BenchScratchDir() + "/").c_str(), CustomOf(rows).c_str());
}

void BM_BuildFavoritesMenu(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    PvResetWindowSystem();
    for (auto _ : state) {
        CMenu menu;
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, 1, "&Add to Favorites...");
        menu.AppendMenu(MF_STRING, 2, "&Organize Favorites...");
        int next = 351;
        benchmark::DoNotOptimize(FillFavoritesMenu(&menu, nullptr, next));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    PvResetWindowSystem();
}

// The dialog's tree over the outline's open table, created and destroyed.
void BM_OrganizeFavoritesFill(benchmark::State& state)
{
    UseCustom(int(state.range(0)));
    PvResetWindowSystem();
    PvRegisterStandardControls();
    PvRegisterAppResources();
    CWnd parent;
    parent.CreateEx(0, nullptr, "Outline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 900, nullptr, nullptr);
    auto* view = new CNavigateView; // deletes itself with its window
    view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 900), &parent, 1, nullptr);
    for (auto _ : state) {
        COrganizeFavoritesDlg dlg(&parent);
        dlg.m_pOutline = view;
        dlg.Create(IDD_ORGANIZE_FAVORITES, &parent);
        benchmark::DoNotOptimize(dlg.m_tree.GetCount());
        dlg.DestroyWindow();
    }
    view->DestroyWindow();
    parent.DestroyWindow();
    PvResetWindowSystem();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_BuildFavoritesMenu)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrganizeFavoritesFill)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
