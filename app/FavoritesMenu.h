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
