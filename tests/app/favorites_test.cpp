// The Favorites menu and the favorites dialogs: the menu built from the sample and kept in step,
// adding, organizing and the refusals, with table Tree, the outline, the dialog and the menu
// compared after every change.
#include "tests/app/favorites_fixture.h"

#include "app/FavoritesMenu.h"
#include "app/MediaView.h"
#include "app/NotesRecordset.h"
#include "resources/outline_ids.h"

namespace {

// ---- The menu's own edits ----

// "Add,Organize,-,Teachers[Kai:351,Yuki:352],Solo[Only:353],Empty[(Empty):354],Top:355"
std::string dump(CMenu& menu)
{
    std::string out;
    for (int i = 0; i < int(menu.GetMenuItemCount()); ++i) {
        CString text;
        menu.GetMenuString(UINT(i), text, MF_BYPOSITION);
        out += (out.empty() ? "" : ",") + (text.IsEmpty() ? std::string("-") : std::string(text));
        if (CMenu* sub = menu.GetSubMenu(i)) {
            std::string inner;
            for (int j = 0; j < int(sub->GetMenuItemCount()); ++j) {
                CString t;
                sub->GetMenuString(UINT(j), t, MF_BYPOSITION);
                inner += (inner.empty() ? "" : ",") + std::string(t) + ":" + std::to_string(sub->GetMenuItemID(j));
            }
            out += "[" + inner + "]";
        } else if (!text.IsEmpty()) {
            out += ":" + std::to_string(menu.GetMenuItemID(i));
        }
    }
    return out;
}

TEST(FavoritesMenuItems, RenameRemoveAndMoveKeepIds)
{
    enum Op { Rename, Remove, Move };
    struct Case {
        const char* name;
        Op op;
        const char* item;
        const char* from;
        const char* to;   // new name, or the folder moved to
        const char* expect;
        bool changed = true;
    };
    const char* const kStart =
        "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[Only:353],Empty[(Empty):354],Top:355";
    const Case cases[] = {
        {"rename at the top", Rename, "Top", "Favorites", "Top's",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[Only:353],Empty[(Empty):354],Top's:355"},
        {"rename a folder keeps its entries", Rename, "Teachers", "Favorites", "Staff",
         "Add:1,Organize:2,-,Staff[Kai:351,Yuki:352],Solo[Only:353],Empty[(Empty):354],Top:355"},
        {"rename in a folder", Rename, "Yuki", "Teachers", "YUKI",
         "Add:1,Organize:2,-,Teachers[Kai:351,YUKI:352],Solo[Only:353],Empty[(Empty):354],Top:355"},
        {"remove at the top", Remove, "Top", "Favorites", "",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[Only:353],Empty[(Empty):354]"},
        {"remove in a folder", Remove, "Kai", "Teachers", "",
         "Add:1,Organize:2,-,Teachers[Yuki:352],Solo[Only:353],Empty[(Empty):354],Top:355"},
        {"remove a folder's last", Remove, "Only", "Solo", "",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[(Empty):353],Empty[(Empty):354],Top:355"},
        {"remove a folder", Remove, "Solo", "Favorites", "",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Empty[(Empty):354],Top:355"},
        {"move into an empty folder", Move, "Top", "Favorites", "Empty",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[Only:353],Empty[Top:355]"},
        {"move into Favorites, a folder emptied", Move, "Only", "Solo", "Favorites",
         "Add:1,Organize:2,-,Teachers[Kai:351,Yuki:352],Solo[(Empty):356],Empty[(Empty):354],Top:355,Only:353"},
        {"move between folders", Move, "Kai", "Teachers", "Solo",
         "Add:1,Organize:2,-,Teachers[Yuki:352],Solo[Only:353,Kai:351],Empty[(Empty):354],Top:355"},
        {"a name not in the menu", Rename, "Nobody", "Favorites", "X", kStart, false},
        {"a name not in its folder", Remove, "Kai", "Solo", "", kStart, false},
        {"a folder not in the menu", Move, "Top", "Favorites", "Nowhere", kStart, false},
        {"an entry of the wrong case", Move, "top", "Favorites", "Empty", kStart, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMenu menu;
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, 1, "Add");
        menu.AppendMenu(MF_STRING, 2, "Organize");
        int next = 351;
        AppendFavoritesMenuEntry(&menu, "Teachers", TRUE, "", next);
        AppendFavoritesMenuEntry(&menu, "Kai", FALSE, "Teachers", next);
        AppendFavoritesMenuEntry(&menu, "Yuki", FALSE, "Teachers", next);
        AppendFavoritesMenuEntry(&menu, "Solo", TRUE, "", next);
        AppendFavoritesMenuEntry(&menu, "Only", FALSE, "Solo", next);
        AppendFavoritesMenuEntry(&menu, "Empty", TRUE, "", next);
        AppendFavoritesMenuEntry(&menu, "Top", FALSE, "", next);
        ASSERT_EQ(dump(menu), kStart);
        BOOL done = FALSE;
        if (c.op == Move)
            done = MoveFavoritesMenuItem(&menu, c.item, c.from, c.to, next);
        else
            done = RenameFavoritesMenuItem(&menu, c.item, c.from, c.op == Remove, c.to);
        EXPECT_EQ(bool(done), c.changed);
        EXPECT_EQ(dump(menu), c.expect);
    }
}

} // namespace

// ---- The menu of the sample ----

TEST_F(FavoritesFrameTest, MenuMirrorsTheSampleAndOpensByType)
{
    MsgBoxLog log;
    Open();
    CMenu* menu = frame->GetFavoritesMenu();
    ASSERT_NE(menu, nullptr);
    CString fixed;
    menu->GetMenuString(0, fixed, MF_BYPOSITION);
    EXPECT_EQ(fixed, "&Add to Favorites...");
    menu->GetMenuString(1, fixed, MF_BYPOSITION);
    EXPECT_EQ(fixed, "&Organize Favorites...");
    EXPECT_EQ(menu->GetMenuState(2, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(menuState(menu, true),
              "Teachers[Kai Larsen:351,Yuki M\xC3\xBCller:352],Classmates[John D'Angelo:353,Yuki Brown:354],"
              "School Calendar:355,Athletics:356,School Website:357,Mia Hern\xC3\xA1ndez:358");
    ExpectAgree("loaded");
    EXPECT_TRUE(log.entries().empty());

    // An id above the routed range is shown but does nothing.
    frame->m_nCurrentKey = -1;
    menu->AppendMenu(MF_STRING, 801, "Kai Larsen");
    frame->SendMessage(WM_COMMAND, 801);
    Pump();
    EXPECT_EQ(frame->m_nCurrentKey, -1);

    // A quote in the name: the person of its Link opens.
    outline->m_bDetailsHistory = FALSE;
    frame->SendMessage(WM_COMMAND, 353);
    Pump();
    EXPECT_EQ(frame->m_nCurrentKey, 2);
    EXPECT_TRUE(outline->m_bDetailsHistory);
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(frame->m_pQueryView->QueryCurrentCell(row, col));
    EXPECT_EQ(frame->m_pQueryView->GetCurrentRecordKey(), 2);
    EXPECT_EQ(col, 1u);

    // A media favorite opens its page, not a person numbered 0.
    frame->SendMessage(WM_COMMAND, 355);
    Pump();
    EXPECT_EQ(frame->m_nLayout, ID_LAYOUT_HOME);
    EXPECT_FALSE(outline->m_bDetailsHistory); // Back and Forward drive the browser again
    EXPECT_EQ(frame->m_nCurrentKey, 2);
    const std::string location(frame->m_pMediaView->GetBrowser()->GetLocationURL());
    EXPECT_NE(location.find("calendar.htm"), std::string::npos) << location;
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(FavoritesFrameTest, EmptyFolderShowsAnInertPlaceholder)
{
    Execute("INSERT INTO [Tree] ([Key], [Order], [Parent], [Text], [Image], [Selected Image], [Type], [Link], "
            "[Expanded]) VALUES ('Tennis', 100, 'Favorites', 'Tennis', 2, 1, '', '-1', 0)");
    Open();
    CMenu* menu = frame->GetFavoritesMenu();
    ASSERT_NE(menu, nullptr);
    const int pos = FindMenuItemPosition(menu, "Tennis");
    ASSERT_GE(pos, 0);
    CMenu* folder = menu->GetSubMenu(pos);
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->GetMenuItemCount(), 1u);
    CString text;
    folder->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, "(Empty)");
    const UINT id = folder->GetMenuItemID(0);
    EXPECT_EQ(id, 359u);
    EXPECT_FALSE(enabledIn(frame, id));
    EXPECT_TRUE(enabledIn(frame, 351));
    frame->m_nCurrentKey = -1;
    const int layout = frame->m_nLayout;
    frame->SendMessage(WM_COMMAND, id);
    Pump();
    EXPECT_EQ(frame->m_nCurrentKey, -1);
    EXPECT_EQ(frame->m_nLayout, layout);
    ExpectAgree("empty folder");
}

TEST_F(FavoritesFrameTest, NoFavoritesLeaveTheFixedCommands)
{
    Execute("DELETE FROM [Tree] WHERE [Parent] <> ''");
    Open();
    CMenu* menu = frame->GetFavoritesMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetMenuItemCount(), 2u);
}

// ---- One sequence over the sample, the four places compared after every step ----

TEST_F(FavoritesFrameTest, AddOrganizeAndEverythingAgrees)
{
    MsgBoxLog log;
    Open();
    ExpectAgree("loaded");
    CString kaiLink;
    {
        CDaoDatabase db;
        db.Open(m_custom.c_str());
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "Select * from Tree Where Key = 'Kai Larsen'");
        kaiLink = rs.m_Link;
        rs.Close();
        db.Close();
    }
    const long kai = std::atol(kaiLink);
    ASSERT_TRUE(frame->RecordHasNotes(kai));

    // A second favorite of a person with a note, under Teachers: the notes picture.
    AddFavorite(kai, TRUE, "Kai Again", "Teachers");
    EXPECT_NE(tableState().find("Teachers[Kai Larsen#3,Yuki M\xC3\xBCller#0,Kai Again#3]"), std::string::npos)
        << tableState();
    ExpectAgree("added under Teachers");

    // New Folder, then a favorite into it.
    {
        DialogSteps steps;
        steps.then([] { DialogSteps::click(DialogSteps::top<CAddToFavoritesDlg>(), IDC_FAVORITES_NEW_FOLDER); })
            .then(DialogSteps::name("Tennis Team"))
            .then([this] {
                auto* dlg = DialogSteps::top<CAddToFavoritesDlg>();
                ASSERT_NE(dlg, nullptr);
                ASSERT_NE(dlg->m_tree.GetSelectedItem(), nullptr);
                EXPECT_EQ(dlg->m_tree.GetItemText(dlg->m_tree.GetSelectedItem()), "Tennis Team");
                EXPECT_EQ(menuState(frame->GetFavoritesMenu()).find("Tennis Team[]") != std::string::npos, true);
                dlg->SetDlgItemText(IDC_FAVORITES_NAME, "Coach Park");
                DialogSteps::click(dlg, IDOK);
            });
        RunAdd(5, FALSE);
        EXPECT_TRUE(DialogSteps::done());
    }
    EXPECT_NE(tableState().find("Tennis Team[Coach Park#0]"), std::string::npos) << tableState();
    ExpectAgree("added into a new folder");

    // Organize Favorites: every step checked with the dialog still up.
    long lastOrder = 0;
    {
        DialogSteps steps;
        auto organizer = [] { return DialogSteps::top<COrganizeFavoritesDlg>(); };
        auto check = [this, organizer](const char* step) {
            auto* dlg = organizer();
            ASSERT_NE(dlg, nullptr) << step;
            ExpectAgree(step, &dlg->m_tree);
        };
        auto select = [organizer](const char* text) {
            auto* dlg = organizer();
            ASSERT_NE(dlg, nullptr);
            ASSERT_TRUE(DialogSteps::select(dlg->m_tree, text)) << text;
        };
        auto pickFolder = [](const char* folder) {
            return [folder] {
                auto* picker = DialogSteps::top<CAddToFavoritesDlg>();
                ASSERT_NE(picker, nullptr);
                CString caption;
                picker->GetWindowText(caption);
                EXPECT_EQ(caption, "Select Folder");
                EXPECT_FALSE(picker->m_editName.IsWindowVisible());
                EXPECT_TRUE(DialogSteps::select(picker->m_tree, folder)) << folder;
                DialogSteps::click(picker, IDOK);
            };
        };
        steps.then([check] { check("opened"); })
            // Into the folder it is already in: nothing changes.
            .then([=] {
                select("Coach Park");
                DialogSteps::click(organizer(), IDC_ORGANIZE_MOVE);
            })
            .then(pickFolder("Tennis Team"))
            .then([check] { check("moved into its own folder"); })
            // Into "Favorites": last, with an Order above every row.
            .then([=] {
                select("Coach Park");
                DialogSteps::click(organizer(), IDC_ORGANIZE_MOVE);
            })
            .then(pickFolder("Favorites"))
            .then([this, check, &lastOrder] {
                check("moved into Favorites");
                const auto rows = tableRows();
                long others = 0, coach = 0;
                for (const Row& r : rows)
                    (r.key == "Coach Park" ? coach : others) = std::max(r.key == "Coach Park" ? coach : others, r.order);
                EXPECT_GT(coach, others);
                lastOrder = coach;
                EXPECT_NE(tableState().find("Tennis Team[],Coach Park#0"), std::string::npos) << tableState();
            })
            // A quote in the new name, then only the case changed.
            .then([=] {
                select("Tennis Team");
                DialogSteps::click(organizer(), IDC_ORGANIZE_RENAME);
            })
            .then(DialogSteps::name("Tennis Team's"))
            .then([check] { check("renamed with a quote"); })
            .then([=] {
                select("Tennis Team's");
                DialogSteps::click(organizer(), IDC_ORGANIZE_RENAME);
            })
            .then(DialogSteps::name("TENNIS TEAM'S"))
            .then([this, check] {
                check("renamed in other case");
                EXPECT_NE(outline->FindItem("TENNIS TEAM'S"), nullptr);
            })
            // A favorite whose person has a note: the note goes, the other favorite turns to 0.
            .then([=] {
                select("Kai Larsen");
                DialogSteps::click(organizer(), IDC_ORGANIZE_DELETE);
            })
            .then([this, check, kai] {
                check("deleted a favorite with a note");
                EXPECT_NE(tableState().find("Teachers[Yuki M\xC3\xBCller#0,Kai Again#0]"), std::string::npos)
                    << tableState();
                EXPECT_FALSE(frame->RecordHasNotes(kai));
            })
            // A folder with its favorites.
            .then([=] {
                select("Classmates");
                DialogSteps::click(organizer(), IDC_ORGANIZE_DELETE);
            })
            .then([this, check] {
                check("deleted a folder");
                for (const Row& r : tableRows())
                    EXPECT_TRUE(r.key != "Classmates" && r.parent != "Classmates" && r.key != "Yuki Brown") << r.key;
            })
            .then([] { DialogSteps::click(DialogSteps::top<COrganizeFavoritesDlg>(), IDC_ORGANIZE_CLOSE); });
        log.answers("yes,yes");
        // The command is offered while a details page shows.
        frame->ShowRecordDetails(5, TRUE);
        Pump();
        ASSERT_TRUE(enabledIn(frame, ID_ORGANIZE_FAVORITES));
        frame->SendMessage(WM_COMMAND, ID_ORGANIZE_FAVORITES);
        Pump();
        EXPECT_TRUE(DialogSteps::done());
        EXPECT_EQ(DialogSteps::top<COrganizeFavoritesDlg>(), nullptr);
    }
    EXPECT_GT(lastOrder, 0);
    ExpectAgree("after Organize Favorites");

    // "A*" is a name, not a pattern: "Athletics" stays.
    AddFavorite(3, FALSE, "A*", "Favorites");
    ExpectAgree("added A*");
    {
        DialogSteps steps;
        steps.then([] {
                 auto* dlg = DialogSteps::top<COrganizeFavoritesDlg>();
                 ASSERT_NE(dlg, nullptr);
                 ASSERT_TRUE(DialogSteps::select(dlg->m_tree, "A*"));
                 DialogSteps::click(dlg, IDC_ORGANIZE_DELETE);
             })
            .then([this] {
                auto* dlg = DialogSteps::top<COrganizeFavoritesDlg>();
                ASSERT_NE(dlg, nullptr);
                ExpectAgree("deleted A*", &dlg->m_tree);
                DialogSteps::click(dlg, IDC_ORGANIZE_CLOSE);
            });
        log.answers("yes");
        frame->SendMessage(WM_COMMAND, ID_ORGANIZE_FAVORITES);
        Pump();
        EXPECT_TRUE(DialogSteps::done());
    }
    const std::string final = tableState(false);
    EXPECT_NE(final.find("Athletics"), std::string::npos) << final;
    EXPECT_EQ(final.find("A*"), std::string::npos) << final;
    EXPECT_EQ(final, "Teachers[Yuki M\xC3\xBCller,Kai Again],School Calendar,Athletics,School Website,Mia "
                     "Hern\xC3\xA1ndez,TENNIS TEAM'S[],Coach Park");
    ExpectAgree("at the end");

    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.text, "Are you sure you want to delete this item from your list of saved Favorites?\nNote: If "
                            "this item contains notes, they will also be deleted.");
        EXPECT_EQ(box.buttons, "yesno");
        EXPECT_EQ(box.icon, "question");
    }
}

// ---- Refusals, each with its text, and nothing changed ----

TEST_F(FavoritesFrameTest, RefusalsChangeNothing)
{
    MsgBoxLog log;
    Open();
    const std::string before = tableState();
    const char* const refused = "The name you entered is either not unique or too long, please try another name";

    // Add: a name that differs only in case keeps the dialog open.
    {
        DialogSteps steps;
        steps.then([] {
                 auto* dlg = DialogSteps::top<CAddToFavoritesDlg>();
                 ASSERT_NE(dlg, nullptr);
                 dlg->SetDlgItemText(IDC_FAVORITES_NAME, "kai larsen");
                 DialogSteps::click(dlg, IDOK);
             })
            .then([] {
                auto* dlg = DialogSteps::top<CAddToFavoritesDlg>();
                ASSERT_NE(dlg, nullptr); // still open
                DialogSteps::click(dlg, IDCANCEL);
            });
        RunAdd(5, FALSE);
        EXPECT_TRUE(DialogSteps::done());
    }

    const std::string longName(51, 'n');
    {
        DialogSteps steps;
        auto organizer = [] { return DialogSteps::top<COrganizeFavoritesDlg>(); };
        auto press = [organizer](const char* item, int button) {
            return [=] {
                auto* dlg = organizer();
                ASSERT_NE(dlg, nullptr);
                if (item)
                    ASSERT_TRUE(DialogSteps::select(dlg->m_tree, item)) << item;
                else
                    dlg->m_tree.SelectItem(nullptr);
                DialogSteps::click(dlg, button);
            };
        };
        steps.then(press(nullptr, IDC_ORGANIZE_DISPLAY))
            .then(press(nullptr, IDC_ORGANIZE_MOVE))
            .then(press(nullptr, IDC_ORGANIZE_DELETE))
            .then(press("Teachers", IDC_ORGANIZE_DISPLAY))
            .then(press("Teachers", IDC_ORGANIZE_MOVE))
            .then(press("Yuki Brown", IDC_ORGANIZE_DELETE)) // answered No
            // Rename: a key of the table and a name too long for a key, then Cancel.
            .then(press("Yuki Brown", IDC_ORGANIZE_RENAME))
            .then(DialogSteps::name("Views"))
            .then(DialogSteps::name(longName.c_str()))
            .then(DialogSteps::cancel())
            // The folder picker offers "Favorites" and its folders only; Cancel moves nothing.
            .then(press("Yuki Brown", IDC_ORGANIZE_MOVE))
            .then([] {
                auto* picker = DialogSteps::top<CAddToFavoritesDlg>();
                ASSERT_NE(picker, nullptr);
                CTreeCtrl& tree = picker->m_tree;
                HTREEITEM root = tree.GetRootItem();
                EXPECT_EQ(tree.GetItemText(root), "Favorites");
                EXPECT_EQ(tree.GetNextSiblingItem(root), nullptr);
                std::string folders;
                for (HTREEITEM h = tree.GetChildItem(root); h; h = tree.GetNextSiblingItem(h)) {
                    folders += std::string(tree.GetItemText(h)) + ";";
                    EXPECT_EQ(tree.GetChildItem(h), nullptr);
                }
                EXPECT_EQ(folders, "Teachers;Classmates;");
                DialogSteps::click(picker, IDCANCEL);
            })
            .then([organizer] { DialogSteps::click(organizer(), IDC_ORGANIZE_CLOSE); });
        log.answers("ok,ok,ok,ok,ok,no"); // the delete question is the sixth box
        outline->OrganizeFavorites();
        Pump();
        EXPECT_TRUE(DialogSteps::done());
    }
    EXPECT_EQ(tableState(), before);
    ExpectAgree("after the refusals");

    // A box without its own icon shows the framework's exclamation.
    struct Expected {
        const char* text;
        const char* icon;
    };
    const Expected expected[] = {
        {refused, "warning"},
        {"You must first select an item from the list.", "information"},
        {"Please select an item to move from the tree...", "warning"},
        {"You must first select an item from the list.", "information"},
        {"Please select a valid item...", "warning"},
        {"Cannot select a folder to move..Please select an Item", "warning"},
        {"Are you sure you want to delete this item from your list of saved Favorites?\nNote: If this item contains "
         "notes, they will also be deleted.",
         "question"},
        {refused, "warning"},
        {refused, "warning"},
    };
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), std::size(expected));
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(boxes[i].text, expected[i].text);
        EXPECT_EQ(boxes[i].icon, expected[i].icon);
    }
}

// ---- Select One ----

TEST_F(FavoritesFrameTest, SelectOneListsAndFollowsRenamedKeys)
{
    Execute("INSERT INTO [Tree] ([Key], [Order], [Parent], [Text], [Image], [Selected Image], [Type], [Link], "
            "[Expanded]) VALUES ('Unsaved', 100, 'Views', 'Unsaved', 18, 18, 'Query', '', 0)");
    MsgBoxLog log;
    Open();
    auto entries = [](CSelectOneDlg* dlg) {
        std::string out;
        for (int i = 0; i < dlg->m_list.GetCount(); ++i) {
            CString text;
            dlg->m_list.GetText(i, text);
            out += std::string(text) + ";";
        }
        return out;
    };
    {
        DialogSteps steps;
        steps.then([entries] {
                 auto* dlg = DialogSteps::top<CSelectOneDlg>();
                 ASSERT_NE(dlg, nullptr);
                 CString caption;
                 dlg->GetWindowText(caption);
                 EXPECT_EQ(caption, "Organize Saved Directory Lists");
                 EXPECT_EQ(entries(dlg), "Class of 2027;Faculty;");
                 DialogSteps::click(dlg, IDC_SELECT_RENAME); // nothing selected
             })
            .then([] {
                auto* dlg = DialogSteps::top<CSelectOneDlg>();
                dlg->m_list.SetCurSel(1);
                DialogSteps::click(dlg, IDC_SELECT_DELETE); // answered No
            })
            .then([entries] {
                auto* dlg = DialogSteps::top<CSelectOneDlg>();
                EXPECT_EQ(entries(dlg), "Class of 2027;Faculty;");
                DialogSteps::click(dlg, IDOK);
            });
        log.answers("ok,no");
        frame->SendMessage(WM_COMMAND, ID_DIRECTORY_LISTS);
        Pump();
        EXPECT_TRUE(DialogSteps::done());
    }
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "You must first select an item from the list.");
    EXPECT_EQ(boxes[0].icon, "information");
    EXPECT_EQ(boxes[1].text, "Are you sure you want to delete this item from your list of saved views?");

    // The favorites kind: after Rename the entry carries the new key, so Display finds its row.
    frame->m_nCurrentKey = -1;
    {
        DialogSteps steps;
        steps.then([] {
                 auto* dlg = DialogSteps::top<CSelectOneDlg>();
                 ASSERT_NE(dlg, nullptr);
                 ASSERT_GE(dlg->m_list.FindStringExact(-1, "Mia Hern\xC3\xA1ndez"), 0);
                 dlg->m_list.SetCurSel(dlg->m_list.FindStringExact(-1, "Mia Hern\xC3\xA1ndez"));
                 DialogSteps::click(dlg, IDC_SELECT_RENAME);
             })
            .then(DialogSteps::name("Mia H."))
            .then([this] {
                auto* dlg = DialogSteps::top<CSelectOneDlg>();
                ASSERT_NE(dlg, nullptr);
                const int at = dlg->m_list.GetCurSel();
                CString text;
                dlg->m_list.GetText(at, text);
                EXPECT_EQ(text, "Mia H.");
                // The outline's selection moves elsewhere; the entry still knows its own row.
                outline->GetTreeCtrl().SelectItem(outline->FindItem("School Website"));
                DialogSteps::click(dlg, IDC_SELECT_DISPLAY);
            });
        CSelectOneDlg dlg(frame);
        dlg.m_strCaption = "Select One";
        dlg.m_pOutline = outline;
        dlg.m_bFavorites = 1;
        dlg.m_pTreeSet = &outline->m_treeSet;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        Pump();
        EXPECT_TRUE(DialogSteps::done());
    }
    long mia = 0;
    for (const Row& r : tableRows())
        if (r.key == "Mia H.")
            mia = 1;
    EXPECT_EQ(mia, 1);
    EXPECT_NE(frame->m_nCurrentKey, -1); // the person opened, not the web page
    EXPECT_EQ(outline->GetTreeCtrl().GetSelectedItem(), outline->FindItem("Mia H."));
    ExpectAgree("renamed through Select One");
}

TEST_F(FavoritesFrameTest, OrganizeDisplayOpensTheSelectedFavorite)
{
    MsgBoxLog log;
    Open();
    frame->m_nCurrentKey = -1;
    DialogSteps steps;
    steps.then([] {
        auto* dlg = DialogSteps::top<COrganizeFavoritesDlg>();
        ASSERT_NE(dlg, nullptr);
        dlg->m_tree.Expand(dlg->m_tree.GetRootItem(), TVE_EXPAND);
        ASSERT_TRUE(DialogSteps::select(dlg->m_tree, "John D'Angelo"));
        DialogSteps::click(dlg, IDC_ORGANIZE_DISPLAY);
    });
    outline->OrganizeFavorites();
    Pump();
    EXPECT_TRUE(DialogSteps::done());
    EXPECT_EQ(DialogSteps::top<COrganizeFavoritesDlg>(), nullptr); // Display ends the dialog
    EXPECT_EQ(frame->m_nCurrentKey, 2);
    EXPECT_EQ(outline->GetTreeCtrl().GetSelectedItem(), outline->FindItem("John D'Angelo"));
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(FavoritesFrameTest, DeletingAFavoriteClosesItsPersonsNotesWindow)
{
    MsgBoxLog log;
    Open();
    long kai = 0;
    {
        CDaoDatabase db;
        db.Open(m_custom.c_str());
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "Select * from Tree Where Key = 'Kai Larsen'");
        kai = std::atol(rs.m_Link);
        rs.Close();
        db.Close();
    }
    frame->OpenNotesWindow(kai, "Kai Larsen", frame);
    Pump();
    ASSERT_NE(frame->m_lists.FindWindowOf(kai, TRUE), nullptr);
    DialogSteps steps;
    steps.then([] {
             auto* dlg = DialogSteps::top<COrganizeFavoritesDlg>();
             ASSERT_NE(dlg, nullptr);
             ASSERT_TRUE(DialogSteps::select(dlg->m_tree, "Kai Larsen"));
             DialogSteps::click(dlg, IDC_ORGANIZE_DELETE);
         })
        .then([] { DialogSteps::click(DialogSteps::top<COrganizeFavoritesDlg>(), IDC_ORGANIZE_CLOSE); });
    log.answers("yes");
    outline->OrganizeFavorites();
    Pump();
    EXPECT_TRUE(DialogSteps::done());
    EXPECT_EQ(frame->m_lists.FindWindowOf(kai, TRUE), nullptr);
    EXPECT_FALSE(frame->RecordHasNotes(kai));
    ExpectAgree("deleted with its notes window open");
}
