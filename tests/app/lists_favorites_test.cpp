// Favorites menu entries: separators, folders and their "(Empty)" placeholder, ids from 351.

#include <gtest/gtest.h>

#include "app/FavoritesMenu.h"

namespace {

CString textAt(CMenu* pMenu, int pos)
{
    CString s;
    pMenu->GetMenuString(UINT(pos), s, MF_BYPOSITION);
    return s;
}

// The "F&avorites" pop-up as the menu resource has it: two fixed commands.
struct FavoritesPopup {
    CMenu bar, popup;
    FavoritesPopup()
    {
        bar.CreateMenu();
        popup.CreatePopupMenu();
        popup.AppendMenu(MF_STRING, 32771, "&Add to Favorites...");
        popup.AppendMenu(MF_STRING, 32772, "&Organize Favorites...");
        bar.AppendMenu(MF_STRING, 57600, "&File");
        bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), "F&avorites");
    }
    CMenu* fav() { return bar.GetSubMenu(1); }
};

}  // namespace

TEST(ListsFavoritesMenu, FindIsExactAndCaseSensitive)
{
    FavoritesPopup m;
    struct Case {
        const char* text;
        int pos;
    };
    const Case cases[] = { { "F&avorites", 1 }, { "Favorites", -1 }, { "f&avorites", -1 }, { "&File", 0 }, { "", -1 } };
    for (const Case& c : cases)
        EXPECT_EQ(FindMenuItemPosition(&m.bar, c.text), c.pos) << c.text;
    EXPECT_EQ(FindMenuItemPosition(nullptr, "F&avorites"), -1);
}

TEST(ListsFavoritesMenu, EntriesFoldersAndPlaceholders)
{
    FavoritesPopup m;
    CMenu* fav = m.fav();
    int next = 351;

    AppendFavoritesMenuEntry(fav, "Ann Baker", FALSE, "", next);  // two items: separator first
    AppendFavoritesMenuEntry(fav, "Family", TRUE, "", next);
    AppendFavoritesMenuEntry(fav, "Bo O'Neil", FALSE, "Family", next);  // takes over "(Empty)" and its id
    AppendFavoritesMenuEntry(fav, "Cy Dunn", FALSE, "Family", next);
    AppendFavoritesMenuEntry(fav, "Empty Folder", TRUE, "", next);
    AppendFavoritesMenuEntry(fav, "Ed Fox", FALSE, "", next);

    ASSERT_EQ(fav->GetMenuItemCount(), 7u);
    EXPECT_TRUE(fav->GetMenuState(2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(textAt(fav, 3), "Ann Baker");
    EXPECT_EQ(fav->GetMenuItemID(3), 351u);
    EXPECT_EQ(textAt(fav, 4), "Family");
    CMenu* family = fav->GetSubMenu(4);
    ASSERT_NE(family, nullptr);
    ASSERT_EQ(family->GetMenuItemCount(), 2u);
    EXPECT_EQ(textAt(family, 0), "Bo O'Neil");
    EXPECT_EQ(family->GetMenuItemID(0), 352u);
    EXPECT_EQ(textAt(family, 1), "Cy Dunn");
    EXPECT_EQ(family->GetMenuItemID(1), 353u);
    CMenu* empty = fav->GetSubMenu(5);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(textAt(empty, 0), "(Empty)");
    EXPECT_EQ(empty->GetMenuItemID(0), 354u);
    EXPECT_EQ(fav->GetMenuItemID(6), 355u);
    EXPECT_EQ(next, 356);
}

TEST(ListsFavoritesMenu, FolderNameOnAPlainItemOrMissingFolderChangesNothing)
{
    FavoritesPopup m;
    CMenu* fav = m.fav();
    int next = 351;
    AppendFavoritesMenuEntry(fav, "Friends", FALSE, "", next);  // a favorite, not a folder
    AppendFavoritesMenuEntry(fav, "Gil Hart", FALSE, "Friends", next);
    AppendFavoritesMenuEntry(fav, "Ida Jones", FALSE, "No Such Folder", next);
    EXPECT_EQ(fav->GetMenuItemCount(), 4u);
    EXPECT_EQ(next, 352);
}
