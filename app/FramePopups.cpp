// The main frame's details pop-ups and the calls its modeless windows make.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's

#include "app/DetailsDlg.h"
#include "app/MediaView.h"
#include "app/OrganizeNotesDlg.h"
#include "app/PaneViews.h"

#include <vector>

void CMainFrame::OpenDetailsPopup(long nKey)
{
    CRect rcFrame;
    GetWindowRect(&rcFrame);
    CWnd* pPopup = m_lists.OpenDetailsPopup(nKey, rcFrame, [this, nKey]() -> CWnd* {
        CDetailsDlg* pDlg = CreateDetailsPopup();
        if (pDlg)
            pDlg->SetRecordKey(nKey);
        return pDlg;
    });
    if (!pPopup) {
        AfxMessageBox("Unable to display details for this record");
        return;
    }
    if (m_pMediaView)
        m_pMediaView->EnableWindow(FALSE);
}

CDetailsDlg* CMainFrame::CreateDetailsPopup() { return CDetailsDlg::CreatePopup(this); }

void CMainFrame::RemoveFromWindowList(CWnd* pWnd, BOOL bNotes)
{
    if (m_lists.RemoveFromWindowList(pWnd, bNotes) && ::IsWindow(m_hWnd))
        Invalidate();
}

void CMainFrame::OpenNotesWindow(long nKey, const CString& strTitle, CWnd* pParent)
{
    CRect rcFrame;
    GetWindowRect(&rcFrame);
    CWnd* pOwner = pParent ? pParent : this;
    CWnd* pNotes = m_lists.OpenNotesWindow(nKey, rcFrame, [&]() -> CWnd* {
        return CreateNotesWindow(nKey, strTitle, pOwner);
    });
    if (pNotes && m_pMediaView)
        m_pMediaView->EnableWindow(FALSE);
}

COrganizeNotesDlg* CMainFrame::CreateNotesWindow(long nKey, const CString& strTitle, CWnd* pParent)
{
    return COrganizeNotesDlg::CreateNotesWindow(this, nKey, strTitle, pParent);
}

BOOL CMainFrame::StoreNotesWindows(CWnd* pOwner)
{
    // Copied first: each window leaves the list as it closes.
    std::vector<CWnd*> windows;
    for (const auto& e : m_lists.GetList(TRUE))
        windows.push_back(e->m_pWnd);
    BOOL bAllStored = TRUE;
    for (CWnd* pWnd : windows) {
        auto* pNotes = dynamic_cast<COrganizeNotesDlg*>(pWnd);
        if (!pNotes || !m_lists.IsListed(pWnd, TRUE) || (pOwner && pNotes->m_pParentWnd != pOwner))
            continue;
        if (!pNotes->CloseStoringNote(FALSE))
            bAllStored = FALSE;
    }
    return bAllStored;
}

BOOL CMainFrame::OwnsNotesWindow(CWnd* pOwner) const
{
    for (const auto& e : m_lists.GetList(TRUE)) {
        auto* pNotes = dynamic_cast<COrganizeNotesDlg*>(e->m_pWnd);
        if (pNotes && pNotes->m_pParentWnd == pOwner)
            return TRUE;
    }
    return FALSE;
}

// The shown record's notes (menu, toolbar and the status bar's notes pane).
void CMainFrame::OnAddNotes()
{
    if (m_pQueryView)
        SetActiveView(m_pQueryView, FALSE);
    if (m_pMediaView)
        OpenNotesWindow(m_pMediaView->m_lRecordKey, m_pMediaView->m_strPageTitle, this);
}
