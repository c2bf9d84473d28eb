#include "app/FavoritesMenu.h"

#include "app/Config.h"
#include "app/TreeRecordset.h"
#include "platform/base/textcase.h"

#include <map>
#include <string>

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

namespace {

bool isPlaceholder(CMenu* pMenu, int nPos)
{
    CString text;
    pMenu->GetMenuString(UINT(nPos), text, MF_BYPOSITION);
    return text == kEmpty && !pMenu->GetSubMenu(nPos);
}

} // namespace

CMenu* FindFavoritesFolderMenu(CMenu* pFavorites, LPCTSTR lpszFolder)
{
    if (!pFavorites || !pFavorites->m_hMenu || !lpszFolder) return nullptr;
    if (CString(lpszFolder) == "Favorites") return pFavorites;
    const int pos = FindMenuItemPosition(pFavorites, lpszFolder);
    return pos >= 0 ? pFavorites->GetSubMenu(pos) : nullptr;
}

BOOL RenameFavoritesMenuItem(CMenu* pFavorites, LPCTSTR lpszOld, LPCTSTR lpszFolder, BOOL bRemove, LPCTSTR lpszNew)
{
    CMenu* pMenu = FindFavoritesFolderMenu(pFavorites, lpszFolder);
    const int pos = pMenu ? FindMenuItemPosition(pMenu, lpszOld) : -1;
    if (pos < 0) return FALSE;
    CMenu* pSub = pMenu->GetSubMenu(pos);
    if (!bRemove) {
        if (pSub)
            return pMenu->ModifyMenu(UINT(pos), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(pSub->m_hMenu), lpszNew);
        return pMenu->ModifyMenu(UINT(pos), MF_BYPOSITION | MF_STRING, pMenu->GetMenuItemID(pos), lpszNew);
    }
    const UINT id = pMenu->GetMenuItemID(pos);
    pMenu->DeleteMenu(UINT(pos), MF_BYPOSITION);
    if (pMenu->GetMenuItemCount() == 0) pMenu->AppendMenu(MF_STRING, id, kEmpty);
    return TRUE;
}

BOOL MoveFavoritesMenuItem(CMenu* pFavorites, LPCTSTR lpszName, LPCTSTR lpszFrom, LPCTSTR lpszTo, int& nNextFavoriteId)
{
    CMenu* pFrom = FindFavoritesFolderMenu(pFavorites, lpszFrom);
    CMenu* pTo = FindFavoritesFolderMenu(pFavorites, lpszTo);
    const int pos = pFrom ? FindMenuItemPosition(pFrom, lpszName) : -1;
    // Folders are not moved: only a favorite's plain entry.
    if (!pTo || pos < 0 || pFrom->GetSubMenu(pos)) return FALSE;
    const UINT id = pFrom->GetMenuItemID(pos);
    pFrom->RemoveMenu(UINT(pos), MF_BYPOSITION);
    // An emptied folder shows what a fresh build of the menu would show.
    if (pFrom != pFavorites && pFrom->GetMenuItemCount() == 0)
        pFrom->AppendMenu(MF_STRING, UINT_PTR(nNextFavoriteId++), kEmpty);
    if (pTo != pFavorites && pTo->GetMenuItemCount() > 0 && isPlaceholder(pTo, 0))
        pTo->ModifyMenu(0, MF_BYPOSITION | MF_STRING, id, lpszName);
    else
        pTo->AppendMenu(MF_STRING, id, lpszName);
    return TRUE;
}

namespace {

CString outlineOpenError(const CDaoException& e)
{
    return "Error opening the outline! This program was unable to open the table named Tree in the custom database " +
           GetCustomPath() + "\nPlease re-install this program and try again" + PvJetErrorTail(e);
}

} // namespace

BOOL ReadFavorites(CDaoDatabase* pDatabase, std::vector<FavoritesEntry>& entries)
{
    CTreeRecordset rows(pDatabase);
    try {
        // One pass over the table, not one query per folder: a statement per folder would scan
        // the table once for each.
        rows.Open(dbOpenDynaset, "Select * from Tree order by Tree.Order");
    } catch (const CDaoException& e) {
        AfxMessageBox(outlineOpenError(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    // Parents match as "=" does in the database: without regard to case.
    std::map<std::string, std::vector<FavoritesRow>> byParent;
    std::vector<FavoritesRow> top;
    BOOL bRead = TRUE;
    try {
        for (; !rows.IsEOF(); rows.MoveNext()) {
            FavoritesRow row {rows.m_Key, rows.m_Text, rows.m_Type, rows.m_Image, rows.m_Selected_Image};
            if (PvCompareNoCase(LPCTSTR(rows.m_Parent), "Favorites") == 0)
                top.push_back(row);
            if (!rows.m_Parent.IsEmpty())
                byParent[PvUpperCase(LPCTSTR(rows.m_Parent))].push_back(std::move(row));
        }
        rows.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox("Error reading data from the table named Tree in the custom database." + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
        bRead = FALSE;
    }
    entries.clear();
    entries.reserve(top.size());
    for (FavoritesRow& row : top) {
        FavoritesEntry entry {row, {}};
        if (auto it = byParent.find(PvUpperCase(LPCTSTR(row.text))); it != byParent.end())
            entry.children = it->second;
        entries.push_back(std::move(entry));
    }
    return bRead;
}

BOOL FillFavoritesMenu(CMenu* pFavorites, CDaoDatabase* pDatabase, int& nNextFavoriteId)
{
    std::vector<FavoritesEntry> entries;
    const BOOL bRead = ReadFavorites(pDatabase, entries);
    for (const FavoritesEntry& entry : entries) {
        if (!entry.row.type.IsEmpty()) {
            AppendFavoritesMenuEntry(pFavorites, entry.row.text, FALSE, "", nNextFavoriteId);
            continue;
        }
        AppendFavoritesMenuEntry(pFavorites, entry.row.text, TRUE, "", nNextFavoriteId);
        // Straight into the pop-up just appended: looking each folder up by name would cost a
        // walk of the menu per favorite.
        const int pos = int(pFavorites->GetMenuItemCount()) - 1;
        CMenu* pFolder = pos >= 0 ? pFavorites->GetSubMenu(pos) : nullptr;
        if (!pFolder)
            continue;
        for (size_t i = 0; i < entry.children.size(); ++i) {
            if (i == 0) {
                // The first takes over the "(Empty)" placeholder and its id.
                pFolder->ModifyMenu(0, MF_BYPOSITION | MF_STRING, pFolder->GetMenuItemID(0), entry.children[i].text);
                continue;
            }
            pFolder->AppendMenu(MF_STRING, UINT_PTR(nNextFavoriteId++), entry.children[i].text);
        }
    }
    return bRead;
}
