// The main frame's Favorites menu: built from table Tree, routed to the favorites it lists, and
// kept in step with the outline's and the dialogs' changes; the commands that open the dialogs.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's

#include "app/AddToFavoritesDlg.h"
#include "app/Config.h"
#include "app/DetailsDlg.h"
#include "app/FavoritesMenu.h"
#include "app/PaneViews.h"
#include "app/TreeRecordset.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"
#include "platform/ui/winapp.h"

namespace {

// Favorites get ids from 351; those above 800 are shown but not routed.
const UINT kFirstFavoriteId = 351;
const UINT kLastFavoriteId = 800;
const char kEmpty[] = "(Empty)";
const char kFavoritesPrompt[] = "Paravel will add this page to your Favorites List...";

CString quoted(CString s)
{
    s.Replace("'", "''");
    return s;
}

CString outlineOpenError(const CDaoException& e)
{
    return "Error opening the outline! This program was unable to open the table named Tree in the custom database " +
           GetCustomPath() + "\nPlease re-install this program and try again" + PvJetErrorTail(e);
}

} // namespace

CMenu* CMainFrame::GetFavoritesMenu() const
{
    return m_hFavoritesMenu && ::IsMenu(m_hFavoritesMenu) ? CMenu::FromHandle(m_hFavoritesMenu) : nullptr;
}

void CMainFrame::AppendFavoritesMenuEntry(CMenu* pMenu, LPCTSTR lpszName, BOOL bFolder, LPCTSTR lpszFolder)
{
    ::AppendFavoritesMenuEntry(pMenu, lpszName, bFolder, lpszFolder, m_nNextFavoriteId);
}

void CMainFrame::BuildFavoritesMenu()
{
    CMenu* pMain = GetMenu();
    m_hMainMenu = pMain ? pMain->m_hMenu : nullptr;
    m_nFavoritesPosition = FindMenuItemPosition(pMain, "F&avorites");
    CMenu* pFavorites = m_nFavoritesPosition >= 0 ? pMain->GetSubMenu(m_nFavoritesPosition) : nullptr;
    m_hFavoritesMenu = pFavorites ? pFavorites->m_hMenu : nullptr;
    m_nNextFavoriteId = int(kFirstFavoriteId);
    if (pFavorites)
        FillFavoritesMenu(pFavorites, nullptr, m_nNextFavoriteId);
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID < kFirstFavoriteId || nID > kLastFavoriteId || pHandlerInfo ||
        (nCode != CN_COMMAND && nCode != int(CN_UPDATE_COMMAND_UI)))
        return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    CString text;
    if (CMenu* pFavorites = GetFavoritesMenu())
        pFavorites->GetMenuString(nID, text, MF_BYCOMMAND);
    if (nCode == int(CN_UPDATE_COMMAND_UI)) {
        if (auto* pCmdUI = static_cast<CCmdUI*>(pExtra))
            pCmdUI->Enable(text != kEmpty);
        return TRUE;
    }
    if (!text.IsEmpty() && text != kEmpty)
        OpenFavoriteByKey(text);
    return TRUE;
}

void CMainFrame::OpenFavoriteByKey(const CString& strText)
{
    CWaitCursor wait;
    CString type, link;
    try {
        CTreeRecordset row(m_pNavigateView && m_pNavigateView->m_treeSet.IsOpen() ? m_pNavigateView->m_treeSet.m_pDatabase
                                                                                   : nullptr);
        row.Open(dbOpenDynaset, "Select * from Tree Where Key='" + quoted(strText) + "'");
        if (row.IsEOF())
            return;
        type = row.m_Type;
        link = row.m_Link;
        row.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox(outlineOpenError(e), MB_ICONEXCLAMATION);
        return;
    }
    if (!m_pNavigateView)
        return;
    // Only a "Details" favorite is a person; the others open as their outline items do.
    if (type != "Details") {
        m_pNavigateView->m_bDetailsHistory = FALSE;
        m_pNavigateView->OpenByType(type, link, nullptr);
        return;
    }
    long key = 0;
    if (!ParseRecordKeyLink(link, key))
        return;
    m_pNavigateView->m_bDetailsHistory = TRUE;
    OnShowAll();
    ShowRecordDetails(key, FALSE);
    const long row = GoToRecordRow(key);
    if (row != -1 && m_pQueryView)
        m_pQueryView->PlaceCurrentCell(ROWCOL(row), 1, 10);
}

void CMainFrame::RenameFavoritesMenuEntry(const CString& strOldKey, const CString& strFolder, BOOL bRemove,
                                          const CString& strNewName)
{
    RenameFavoritesMenuItem(GetFavoritesMenu(), strOldKey, strFolder, bRemove, strNewName);
}

void CMainFrame::MoveFavoritesMenuEntry(const CString& strName, const CString& strFrom, const CString& strTo)
{
    MoveFavoritesMenuItem(GetFavoritesMenu(), strName, strFrom, strTo, m_nNextFavoriteId);
}

// ---- Commands ----

INT_PTR CMainFrame::RunAddToFavorites(const CAddToFavoritesArgs& args, CWnd* pParent)
{
    CAddToFavoritesDlg dlg(pParent ? pParent : this);
    dlg.m_pFavoritesMenu = args.m_pFavoritesMenu ? args.m_pFavoritesMenu : GetFavoritesMenu();
    dlg.m_bHasNotes = args.m_bHasNotes;
    dlg.m_nRecordKey = args.m_nRecordKey;
    dlg.m_bAddMode = args.m_bAddMode;
    dlg.m_strPrompt = args.m_strPrompt;
    dlg.m_strName = args.m_strName;
    dlg.m_pOutline = args.m_pOutline ? args.m_pOutline : m_pNavigateView;
    return dlg.DoModal();
}

void CMainFrame::OnAddToFavorites()
{
    CAddToFavoritesArgs args;
    args.m_pOutline = m_pNavigateView;
    args.m_nRecordKey = m_pMediaView ? m_pMediaView->m_lRecordKey : m_nCurrentKey;
    args.m_bAddMode = 1;
    args.m_strPrompt = kFavoritesPrompt;
    if (m_pMediaView) {
        args.m_strName = m_pMediaView->m_strPageTitle;
        args.m_strName.TrimRight(' ');
    }
    args.m_bHasNotes = RecordHasNotes(args.m_nRecordKey);
    args.m_pFavoritesMenu = GetFavoritesMenu();
    RunAddToFavorites(args, this);
}

void CMainFrame::OnOrganizeFavorites()
{
    if (m_pNavigateView)
        m_pNavigateView->OrganizeFavorites();
}

void CMainFrame::OnDirectoryLists()
{
    if (m_pNavigateView)
        m_pNavigateView->OrganizeDirectoryLists();
}

// The folders' pop-ups go with the Favorites menu, whatever becomes of the menu bar.
void CMainFrame::OnDestroy()
{
    CFrameWnd::OnDestroy();
    CMenu* pFavorites = GetFavoritesMenu();
    if (!pFavorites)
        return;
    for (int pos = int(pFavorites->GetMenuItemCount()) - 1; pos >= 0; --pos)
        if (pFavorites->GetSubMenu(pos))
            pFavorites->DeleteMenu(UINT(pos), MF_BYPOSITION);
}
