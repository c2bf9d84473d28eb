#pragma once
// Entries of the main menu's "F&avorites" pop-up: finding an item by its text and appending a
// favorite or a folder with command ids handed out from the frame's counter.

#include "platform/ui/menu.h"

// Position of the first item whose text equals lpszText exactly (ampersands included), or -1.
int FindMenuItemPosition(CMenu* pMenu, LPCTSTR lpszText);

// Appends a favorite or a folder (bFolder) to pMenu; a favorite with a folder name goes into that
// folder's pop-up, taking over its "(Empty)" placeholder and its id. New ids come from
// nNextFavoriteId, which grows by one per id used.
void AppendFavoritesMenuEntry(CMenu* pMenu, LPCTSTR lpszName, BOOL bFolder, LPCTSTR lpszFolder, int& nNextFavoriteId);

// The pop-up that holds a folder's entries: pFavorites itself for "Favorites", else the folder's
// own pop-up; null when the folder is not in the menu.
CMenu* FindFavoritesFolderMenu(CMenu* pFavorites, LPCTSTR lpszFolder);

// Gives the entry lpszOld of a folder the text lpszNew, keeping its id, or removes it (bRemove;
// a folder goes with its pop-up). A folder left empty shows "(Empty)" under the removed id.
// FALSE, with the menu unchanged, when the folder or the entry is not in the menu.
BOOL RenameFavoritesMenuItem(CMenu* pFavorites, LPCTSTR lpszOld, LPCTSTR lpszFolder, BOOL bRemove, LPCTSTR lpszNew);

// Moves the entry lpszName with its id from one folder to the end of another, taking over an
// "(Empty)" placeholder there; the folder it leaves shows "(Empty)" when nothing is left, under
// a new id from nNextFavoriteId. FALSE, with the menu unchanged, when either folder or the
// entry is not in the menu.
BOOL MoveFavoritesMenuItem(CMenu* pFavorites, LPCTSTR lpszName, LPCTSTR lpszFrom, LPCTSTR lpszTo, int& nNextFavoriteId);

#include <vector>

class CDaoDatabase;

// A row under "Favorites" and the rows whose Parent is its Text (a folder's favorites), in Order.
struct FavoritesRow {
    CString key, text, type;
    long image = 0, selectedImage = 0;
};
struct FavoritesEntry {
    FavoritesRow row;
    std::vector<FavoritesRow> children;
};

// Reads the favorites part of table Tree in one pass (the custom database's, or pDatabase's).
// Failures are shown as the outline's opening or reading error; FALSE then, with what was read.
BOOL ReadFavorites(CDaoDatabase* pDatabase, std::vector<FavoritesEntry>& entries);

// Appends the favorites and folders of table Tree (the custom database's, or pDatabase's) to the
// Favorites pop-up in the outline's order; database failures are shown and leave the menu as far
// as it was built. FALSE after such a failure.
BOOL FillFavoritesMenu(CMenu* pFavorites, CDaoDatabase* pDatabase, int& nNextFavoriteId);
