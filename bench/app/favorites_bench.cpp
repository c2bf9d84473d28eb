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
#include "bench/support/scratch.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

void PvRegisterAppResources();

namespace {

// A custom database of n rows: the two roots, then folders of ten favorites.
std::string CustomOf(int rows)
{
    const std::string path = BenchScratchDir() + "/Favorites" + std::to_string(rows) + ".mdb";
    if (std::filesystem::exists(path))
        return path;
    CDaoDatabase db;
    db.Create(path.c_str());
    db.Execute("CREATE TABLE [Tree] ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(255), "
               "[Image] LONG, [Selected Image] LONG, [Type] TEXT(50), [Link] MEMO, [Expanded] LONG)");
    db.Execute("CREATE INDEX [Order] ON [Tree] ([Order])");
    db.Execute("CREATE TABLE [Annotations] ([_IKEY] LONG, [MEMO] TEXT(255))");
    auto insert = [&](int order, const std::string& key, const std::string& parent, const char* type, int link) {
        db.Execute(("INSERT INTO [Tree] VALUES ('" + key + "', " + std::to_string(order) + ", '" + parent + "', '" +
                    key + "', 0, 0, '" + type + "', '" + std::to_string(link) + "', 0)")
                       .c_str());
    };
    db.m_pWorkspace->BeginTrans();
    insert(1, "Views", "", "", 0);
    insert(2, "Favorites", "", "", 0);
    std::string folder;
    for (int i = 3; i <= rows; ++i) {
        if ((i - 3) % 11 == 0) {
            folder = "Folder " + std::to_string(i);
            insert(i, folder, "Favorites", "", 0);
        } else {
            insert(i, "Person " + std::to_string(i), folder, "Details", i);
        }
    }
    db.m_pWorkspace->CommitTrans();
    db.Close();
    return path;
}

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
