// The HTML pane: home, media and details pages, the program's link schemes, printing.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/MediaView.h"

#include "app/Config.h"
#include "app/HtmlLoad.h"
#include "app/HtmlPageDlg.h"
#include "app/PaneViews.h"
#include "app/ViewerDoc.h"
#include "platform/dao/dao.h"
#include "resources/frame_ids.h"

#include <cstdio>

IMPLEMENT_DYNCREATE(CMediaView, CHtmlView)

BEGIN_MESSAGE_MAP(CMediaView, CHtmlView)
    ON_COMMAND_RANGE(ID_KEY_DOWN, ID_KEY_HOME, OnDirectoryKey)
    ON_COMMAND(ID_PRINT_DETAILS, OnPrintDetails)
    ON_COMMAND(ID_KEY_COPY, OnCopy)
    ON_WM_SETFOCUS()
    ON_WM_RBUTTONDOWN()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
const char kPreviewNeedsNewerBrowser[] =
    "Internet Explorer version 5.5 is required to Print Preview!\n"
    "Please download and install Internet Explorer 5.5 from Microsoft's web site to use this feature.";
} // namespace

BOOL BrowserCanPrintPreview(const CString& strVersion) { return BrowserVersionNumber(strVersion) >= 5.5; }

void PassMouseMessageToDefault(CWnd* pWnd)
{
    if (pWnd)
        pWnd->Default();
}

CMediaView::CMediaView() = default;
CMediaView::~CMediaView() = default;

CMainFrame* CMediaView::GetMainFrame() const { return dynamic_cast<CMainFrame*>(GetParentFrame()); }

BOOL CMediaView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    return CHtmlView::PreCreateWindow(cs);
}

// No context menu and no tabbing through the page's links.
BOOL CMediaView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONDBLCLK)
        return TRUE;
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB)
        return TRUE;
    return CHtmlView::PreTranslateMessage(pMsg);
}

void CMediaView::OnInitialUpdate()
{
    CMainFrame* frame = GetMainFrame();
    if (frame && frame->m_pNavigateView)
        frame->m_pNavigateView->m_bDetailsHistory = FALSE;
    Navigate2(GetHomePagePath(), 0, nullptr, nullptr, nullptr, 0);

    auto* doc = dynamic_cast<CViewerDoc*>(GetDocument());
    // After a Cancel at start-up the program is ending: no second database prompt.
    if (doc && !doc->m_recordset.IsOpen() && !PvStartupAbandoned()) {
        try {
            doc->OpenDirectoryDatabase();
            CString sort;
            doc->GetDefaultSort(sort);
            doc->m_recordset.m_strSort = sort;
            doc->m_recordset.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT * FROM Data");
        } catch (CDaoException&) {
            // the directory view reports database trouble when it runs its first query
        } catch (const CViewerAbort&) {
        }
    }

    const HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
        AfxMessageBox(CString("CoInitialize Failed: ") + code);
    } else {
        m_bComInitialized = TRUE;
    }

    if (doc) {
        m_pDatabase = &doc->m_database;
        m_pCipher = doc->GetCipher();
    }
    m_builder.SetInputs(GetDataPath(), GetMediaPath(), m_pDatabase, m_pCipher);
}

void CMediaView::BuildDetailsPage()
{
    m_strPageText = m_builder.GetHtml(m_strSchoolCode, m_lRecordKey, "CD-ROM", m_strPageTitle);
    m_bDetailsPageShown = TRUE;
}

BOOL CMediaView::LoadHtmlText()
{
    LPDISPATCH document = GetHtmlDocument();
    const BOOL loaded = LoadHtmlIntoDocument(document, m_strPageText);
    if (document)
        document->Release();
    return loaded;
}

void CMediaView::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                   CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel)
{
    m_bDetailsPageShown = FALSE;
    CString url(lpszURL ? lpszURL : "");
    BOOL cancel = pbCancel ? *pbCancel : FALSE;
    CString ending = url.Right(9);
    ending.MakeUpper();
    if (ending == "OUT:BLANK") {
        cancel = TRUE;
    } else if (url.Left(6) == "ext://") {
        url.TrimRight('/');
        ShowLinkDialog(GetMediaPath() + "external\\e_" + url.Mid(6) + ".htm");
        cancel = TRUE;
    } else if (url.Left(6) == "fjc://") {
        cancel = TRUE;
        JumpToEntry(url.Mid(6));
    }
    CHtmlView::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, &cancel);
    if (pbCancel)
        *pbCancel = cancel;
}

void CMediaView::ShowLinkDialog(const CString& strAddress)
{
    CHtmlPageDlg dlg(this);
    dlg.m_strAddress = strAddress;
    dlg.DoModal();
}

void CMediaView::JumpToEntry(CString strText)
{
    strText.Replace("%20", " ");
    strText.TrimRight('/');
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    frame->ShowAllEntries();
    frame->JumpToEntry(strText);
}

// Repaints the pane's background at once, before the page's first paint.
void CMediaView::OnNavigateComplete2(LPCTSTR strURL)
{
    if (CDC* dc = GetDC()) {
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc->GetSafeHdc()));
        ReleaseDC(dc);
    }
    CHtmlView::OnNavigateComplete2(strURL);
}

void CMediaView::OnCommandStateChange(long nCommand, BOOL bEnable)
{
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    if (nCommand == CSC_NAVIGATEFORWARD)
        frame->m_bBrowserCanGoForward = bEnable;
    else if (nCommand == CSC_NAVIGATEBACK)
        frame->m_bBrowserCanGoBack = bEnable;
}

void CMediaView::OnDocumentComplete(LPCTSTR lpszURL)
{
    CMainFrame* frame = GetMainFrame();
    if (frame && frame->m_pNavigateView && frame->m_pNavigateView->m_bDetailsHistory) {
        if (auto* doc = dynamic_cast<CViewerDoc*>(GetDocument()); doc && doc->GetFootnote())
            frame->m_wndStatusBar.SetPaneText(0, doc->m_strFootnote);
    }
    CHtmlView::OnDocumentComplete(lpszURL);
}

void CMediaView::PrintWithPrompt() { ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER); }
void CMediaView::PrintWithoutPrompt() { ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER); }

void CMediaView::PrintPreview()
{
    if (!BrowserCanPrintPreview(GetIEVersion())) {
        AfxMessageBox(kPreviewNeedsNewerBrowser);
        return;
    }
    ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DODEFAULT);
}

void CMediaView::OnPrintDetails() { PrintWithoutPrompt(); }

// The directory view's Up, Down, Home and End, for the accelerators pressed in this pane.
void CMediaView::OnDirectoryKey(UINT nID)
{
    CMainFrame* frame = GetMainFrame();
    if (frame && frame->m_pQueryView)
        frame->m_pQueryView->SendMessage(WM_COMMAND, nID);
}

void CMediaView::OnRButtonDown(UINT, CPoint) { PassMouseMessageToDefault(this); }

void CMediaView::OnDestroy()
{
    CHtmlView::OnDestroy();
    if (m_bComInitialized) {
        m_bComInitialized = FALSE;
        CoUninitialize();
    }
}
