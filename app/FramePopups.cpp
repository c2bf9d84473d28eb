// The main frame's details pop-ups and the calls its modeless windows make.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's

#include "app/DetailsDlg.h"
#include "app/MediaView.h"

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

void CMainFrame::OpenNotesWindow(long, const CString&, CWnd*) {}

void CMainFrame::RunAddToFavorites(const CAddToFavoritesArgs&, CWnd*) {}
