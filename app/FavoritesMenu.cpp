#include "app/FavoritesMenu.h"

static const char kEmpty[] = "(Empty)";

int FindMenuItemPosition(CMenu* pMenu, LPCTSTR lpszText)
{
    if (!pMenu || !pMenu->m_hMenu || !lpszText) return -1;
    const int count = int(pMenu->GetMenuItemCount());
    for (int i = 0; i < count; ++i) {
        char text[1025] = {};
        pMenu->GetMenuString(UINT(i), text, 1024, MF_BYPOSITION);
        if (CString(text) == lpszText) return i;
    }
    return -1;
}

void AppendFavoritesMenuEntry(CMenu* pMenu, LPCTSTR lpszName, BOOL bFolder, LPCTSTR lpszFolder, int& nNextFavoriteId)
{
    if (!pMenu || !pMenu->m_hMenu) return;
    if (pMenu->GetMenuItemCount() == 2) pMenu->AppendMenu(MF_SEPARATOR);

    if (bFolder) {
        HMENU hPopup = ::CreatePopupMenu();
        if (!hPopup) return;
        ::AppendMenu(hPopup, MF_STRING, UINT_PTR(nNextFavoriteId++), kEmpty);
        if (!pMenu->AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), lpszName)) ::DestroyMenu(hPopup);
        return;
    }
    if (!lpszFolder || !*lpszFolder) {
        pMenu->AppendMenu(MF_STRING, UINT_PTR(nNextFavoriteId++), lpszName);
        return;
    }
    const int pos = FindMenuItemPosition(pMenu, lpszFolder);
    // A plain item can carry a folder's name: it has no pop-up, and the favorite goes nowhere.
    CMenu* pFolder = pos >= 0 ? pMenu->GetSubMenu(pos) : nullptr;
    if (!pFolder) return;
    CString first;
    if (pFolder->GetMenuItemCount() > 0) pFolder->GetMenuString(0, first, MF_BYPOSITION);
    if (pFolder->GetMenuItemCount() > 0 && first == kEmpty) {
        const UINT id = pFolder->GetMenuItemID(0);
        pFolder->RemoveMenu(0, MF_BYPOSITION);
        pFolder->AppendMenu(MF_STRING, id, lpszName);
    } else {
        pFolder->AppendMenu(MF_STRING, UINT_PTR(nNextFavoriteId++), lpszName);
    }
}
