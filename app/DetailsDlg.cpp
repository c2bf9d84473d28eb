// The details pop-up: placement, the page taken from the HTML pane, its buttons and its end.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DetailsDlg.h"

#include "app/FavoritesMenu.h"
#include "app/HtmlLoad.h"
#include "app/MediaView.h"
#include "app/PaneViews.h"
#include "platform/ui/winapp.h"
#include "resources/frame_ids.h"

#include <algorithm>
#include <memory>

namespace {
constexpr int kCascadeStepX = 12;
constexpr int kCascadeStepY = 18;
constexpr int kButtonBand = 35;  // the buttons' band below the page
constexpr int kKeyC = 67;        // no copying out of the page
const char kFavoritesPrompt[] = "Paravel will add this page to your Favorites List...";
} // namespace

BEGIN_MESSAGE_MAP(CDetailsDlg, CDialog)
    ON_MESSAGE(WM_PV_CTLEVENT, OnControlEvent)
    ON_WM_SIZE()
    ON_WM_KILLFOCUS()
    ON_BN_CLICKED(IDC_DETAILS_FAVORITES, OnAddToFavorites)
    ON_BN_CLICKED(IDC_DETAILS_NOTES, OnNotes)
    ON_BN_CLICKED(IDC_DETAILS_PRINT, OnPrint)
    ON_COMMAND(ID_KEY_COPY, OnCopy)
END_MESSAGE_MAP()

CRect CascadedPopupRect(const CRect& rcWindow, const CRect& rcBase, int& nCascade)
{
    CRect rc = rcWindow;
    rc.OffsetRect(kCascadeStepX * nCascade, kCascadeStepY * nCascade);
    if (rc.bottom >= rcBase.bottom) {
        nCascade = 0;
        return rcWindow;
    }
    return rc;
}

CDetailsDlg::CDetailsDlg(CWnd* pParent) : CDialog(IDD_DETAILS_POPUP, pParent)
{
    PvRegisterBrowserControl();
    m_hIcon = ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
}

CDetailsDlg* CDetailsDlg::CreatePopup(CWnd* pParent)
{
    auto pDlg = std::make_unique<CDetailsDlg>(pParent);
    if (!pDlg->Create(IDD_DETAILS_POPUP, pParent)) {
        if (pDlg->m_hWnd)
            pDlg->DestroyWindow();
        return nullptr;
    }
    pDlg->m_bAutoDelete = TRUE;
    return pDlg.release();
}

void CDetailsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
}

CMainFrame* CDetailsDlg::GetMainFrame() const { return dynamic_cast<CMainFrame*>(m_pParentWnd); }

BOOL CDetailsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    m_browser.Navigate("about:blank", nullptr, nullptr, nullptr, nullptr);
    PlaceCascaded();
    return TRUE;
}

void CDetailsDlg::PlaceCascaded()
{
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    CRect rc;
    GetWindowRect(&rc);
    MoveWindow(CascadedPopupRect(rc, frame->m_lists.m_rcCascadeBase, frame->m_lists.m_nPopupCascade), TRUE);
}

// The copy is taken here, not when the blank document completes: by then the pane may hold
// another person's page (the user went on to the next row), and this pop-up belongs to this key.
void CDetailsDlg::SetRecordKey(long nKey)
{
    m_nRecordKey = nKey;
    m_bKeySet = TRUE;
    CMainFrame* frame = GetMainFrame();
    if (frame && frame->m_pMediaView) {
        m_strPageText = frame->m_pMediaView->m_strPageText;
        m_strPageTitle = frame->m_pMediaView->m_strPageTitle;
    }
    if (m_bBlankComplete && !m_bPageLoaded)
        LoadPage();
}

LRESULT CDetailsDlg::OnControlEvent(WPARAM wParam, LPARAM lParam)
{
    const auto* e = reinterpret_cast<const PvControlEvent*>(lParam);
    if (!e || int(wParam) != IDC_BROWSER)
        return 0;
    if (e->dispid == DISPID_DOCUMENTCOMPLETE)
        OnDocumentComplete(e->url);
    else if (e->dispid == DISPID_NAVIGATECOMPLETE2)
        OnNavigateComplete2(e->url);
    return 0;
}

void CDetailsDlg::OnDocumentComplete(LPCTSTR)
{
    if (m_bPageLoaded)
        return;
    m_bBlankComplete = TRUE;
    if (m_bKeySet)
        LoadPage();
}

void CDetailsDlg::LoadPage()
{
    LPDISPATCH document = m_browser.GetDocument();
    LoadHtmlIntoDocument(document, m_strPageText);
    if (document)
        document->Release();
    SetWindowText(m_strPageTitle);
    m_bPageLoaded = TRUE;
}

void CDetailsDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!m_bPageLoaded || !m_browser.m_hWnd)
        return;
    m_browser.SetWidth(cx);
    m_browser.SetHeight(std::max(0, cy - kButtonBand));
}

void CDetailsDlg::OnKillFocus(CWnd* pNewWnd)
{
    CDialog::OnKillFocus(pNewWnd);
    if (CMainFrame* frame = GetMainFrame())
        frame->SetLastActiveWindow(this);
}

// No context menu, no copying and no tabbing through the page's links.
BOOL CDetailsDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONDBLCLK)
        return TRUE;
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == kKeyC || pMsg->wParam == VK_TAB))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CDetailsDlg::OnAddToFavorites()
{
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    CString caption;
    GetWindowText(caption);
    caption.TrimLeft(' ');
    CAddToFavoritesArgs args;
    args.m_pOutline = frame->m_pNavigateView;
    args.m_nRecordKey = m_nRecordKey;
    args.m_bAddMode = 1;
    args.m_strPrompt = kFavoritesPrompt;
    args.m_strName = caption;
    args.m_bHasNotes = frame->RecordHasNotes(m_nRecordKey);
    if (CMenu* menu = frame->GetMenu()) {
        const int pos = FindMenuItemPosition(menu, "F&avorites");
        args.m_pFavoritesMenu = pos >= 0 ? menu->GetSubMenu(pos) : nullptr;
    }
    frame->RunAddToFavorites(args, this);
}

void CDetailsDlg::OnNotes()
{
    CMainFrame* frame = GetMainFrame();
    if (!frame)
        return;
    CString caption;
    GetWindowText(caption);
    frame->OpenNotesWindow(m_nRecordKey, caption, this);
}

void CDetailsDlg::OnPrint() { m_browser.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr); }

// Close and Escape: the window goes, and with it the object. The notes windows it owns would go
// with it, so their notes are stored first; one that cannot be stored keeps the pop-up open.
void CDetailsDlg::OnCancel()
{
    if (CMainFrame* frame = GetMainFrame()) {
        if (!frame->StoreNotesWindows(this))
            return;
        frame->RemoveFromWindowList(this, FALSE);
    }
    DestroyWindow();
}

// Also reached when the window goes by other means (Close All, the frame's end).
void CDetailsDlg::PostNcDestroy()
{
    if (CMainFrame* frame = GetMainFrame())
        frame->RemoveFromWindowList(this, FALSE);
    if (m_bAutoDelete)
        delete this;
}
