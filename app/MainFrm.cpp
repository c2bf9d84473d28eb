// The main frame: bars, image lists, splitters and views, and the two pane layouts.

#include "app/MainFrm.h"
#include "platform/controls/controls.h"

#include "app/Config.h"
#include "app/DirectoryDialogs.h"
#include "app/DirectoryQuery.h"
#include "app/FrameClose.h"
#include "app/FrameCommands.h"
#include "app/History.h"
#include "app/NotesIndicator.h"
#include "app/PaneViews.h"
#include "app/SearchDirectoryDlg.h"
#include "app/ViewerDoc.h"
#include "app/Splash.h"
#include "platform/base/exceptions.h"
#include "platform/sys/system.h"
#include "platform/ui/winapp.h"
#include "resources/frame_ids.h"
#include "resources/frame_images.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

CString (*CMainFrame::s_pfnGetAppTitle)(CDocument*) = nullptr;
BOOL (*CMainFrame::s_pfnGridPopupActive)() = nullptr;
int (*CMainFrame::s_pfnGetGridHint)() = nullptr;
void (*CMainFrame::s_pfnShowGridHints)(CWnd*) = nullptr;

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_NCACTIVATE()
    ON_COMMAND(ID_TOGGLE_VIEW, OnToggleView)
    ON_COMMAND(ID_HOME, OnHome)
    ON_COMMAND_RANGE(ID_LETTER_A, ID_LETTER_Z, OnLetter)
    ON_UPDATE_COMMAND_UI_RANGE(ID_LETTER_A, ID_LETTER_Z, OnUpdateLetter)
    ON_BN_CLICKED(IDC_SCROLL_TO, OnScrollTo)
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_COMMAND(ID_SEARCH_DIRECTORY, OnSearch)
    ON_COMMAND(ID_CONTINUE_SEARCH, OnContinueSearch)
    ON_COMMAND(ID_SAVE_LIST, OnSaveList)
    ON_COMMAND(ID_SHOW_ALL, OnShowAll)
    ON_COMMAND(ID_SHOW_DETAILS, OnShowDetails)
    ON_COMMAND(ID_NORMAL_VIEW, OnNormalView)
    ON_COMMAND(ID_GO_BACK, OnGoBack)
    ON_COMMAND(ID_GO_FORWARD, OnGoForward)
    ON_COMMAND(ID_ADD_FAVORITES, OnAddToFavorites)
    ON_COMMAND(ID_ORGANIZE_FAVORITES, OnOrganizeFavorites)
    ON_COMMAND(ID_DIRECTORY_LISTS, OnDirectoryLists)
    ON_WM_DESTROY()
    ON_COMMAND(ID_ADD_NOTES, OnAddNotes)
    ON_COMMAND(ID_NOTES_PANE, OnAddNotes)
    ON_NOTIFY(NM_DBLCLK, AFX_IDW_STATUS_BAR, OnStatusBarDblClk)
    ON_COMMAND(ID_PRINT_DETAILS, OnPrintPage)
    ON_COMMAND(ID_PRINT_MEDIA, OnPrintPage)
    ON_COMMAND(ID_PRINT_PREVIEW_PAGE, OnPrintPreview)
    ON_COMMAND(ID_CLOSE_ALL, OnCloseAll)
    ON_COMMAND(ID_WINDOW_CASCADE, OnCascade)
    ON_COMMAND(ID_COPYRIGHT_INFO, OnCopyright)
    ON_COMMAND(ID_HELP_TOPICS, OnHelpTopics)
    ON_UPDATE_COMMAND_UI(ID_GO_BACK, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_GO_FORWARD, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_ADD_FAVORITES, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_ORGANIZE_FAVORITES, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_ADD_NOTES, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_NOTES_PANE, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_PRINT_DETAILS, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_SAVE_LIST, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_PRINT_MEDIA, OnUpdateByState)
    ON_UPDATE_COMMAND_UI(ID_SHOW_DETAILS, OnUpdateShowDetails)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_ALL, OnUpdateCloseAll)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateCascade)
END_MESSAGE_MAP()

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};

const struct {
    UINT nID;
    int cxWidth;
} kPanes[] = {{ID_SEPARATOR, 300}, {ID_INDICATOR_COLUMN, 225}, {ID_INDICATOR_RECORDS, 125}, {ID_INDICATOR_NOTES, 80}};

const UINT kToolBarIcons[] = {IDI_TB_HOME,     IDI_TB_SEARCH,   IDI_TB_BACK,     IDI_TB_FORWARD,   IDI_TB_SHOWALL,
                              IDI_TB_SAVELIST, IDI_TB_PRINT,    IDI_TB_PRINTMEDIA, IDI_TB_ADDFAV,  IDI_TB_ORGFAV,
                              IDI_TB_NOTES,    IDI_TB_CLOSEALL, IDI_TB_CASCADE,  IDI_TB_PREVIEW,   IDI_TB_HELP};
const UINT kToolBarDisabledIcons[] = {IDI_TB_HOME,       IDI_TB_SEARCH,     IDI_TB_BACK_D,     IDI_TB_FORWARD_D,
                                      IDI_TB_SHOWALL_D,  IDI_TB_SAVELIST_D, IDI_TB_PRINT_D,    IDI_TB_PRINTMEDIA_D,
                                      IDI_TB_ADDFAV_D,   IDI_TB_ORGFAV_D,   IDI_TB_NOTES_D,    IDI_TB_CLOSEALL_D,
                                      IDI_TB_CASCADE_D,  IDI_TB_PREVIEW_D,  IDI_TB_HELP};

bool fillImageList(CImageList& list, const UINT* ids, size_t count)
{
    if (!list.Create(16, 16, ILC_COLOR16 | ILC_MASK, 1, 1)) return false;
    for (size_t i = 0; i < count; ++i) {
        CBitmap bm;
        if (!PvLoadFrameImage(ids[i], bm) || list.Add(&bm, PV_ICON_MASK_COLOR) < 0) return false;
    }
    return true;
}

bool isLetter(UINT nID)
{
    return std::find(std::begin(g_nLetterCommandIds), std::end(g_nLetterCommandIds), nID) != std::end(g_nLetterCommandIds);
}
} // namespace

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

int CMainFrame::OutlineWidthFor(int nFrameWidth) { return int(nFrameWidth / 4.5); }

int CMainFrame::GridHeightFor(BOOL& bFirst, int& nSavedHeight, int nPaneAreaHeight, int nCurrentHeight)
{
    if (bFirst) {
        bFirst = FALSE;
        return nPaneAreaHeight / 2;
    }
    if (nSavedHeight != 0) {
        int h = nSavedHeight;
        nSavedHeight = 0;
        return h;
    }
    return nCurrentHeight;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~DWORD(FWS_ADDTOTITLE);
    cs.lpszName = "Loading Application ...";
    m_strTitle = cs.lpszName;
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;

    if (!m_wndDialogBar.Create(this, IDD_LETTERBAR, CBRS_TOP | CBRS_FLYBY | CBRS_TOOLTIPS, IDD_LETTERBAR)) return -1;
    m_wndDialogBar.ShowWindow(SW_SHOW);

    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                   CBRS_SIZE_DYNAMIC) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_wndToolBar.SetWindowText("Paravel Tools");

    if (!fillImageList(m_imlToolBar, kToolBarIcons, std::size(kToolBarIcons)) ||
        !fillImageList(m_imlToolBarDisabled, kToolBarDisabledIcons, std::size(kToolBarDisabledIcons)))
        return -1;
    m_hNotesIcon = ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDI_NOTES));
    m_wndToolBar.GetToolBarCtrl().SetImageList(&m_imlToolBar);
    m_wndToolBar.GetToolBarCtrl().SetDisabledImageList(&m_imlToolBarDisabled);

    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, int(std::size(kIndicators))))
        return -1;
    for (int i = 0; i < int(std::size(kPanes)); ++i) {
        UINT nID = 0, nStyle = 0;
        int cx = 0;
        m_wndStatusBar.GetPaneInfo(i, nID, nStyle, cx);
        m_wndStatusBar.SetPaneInfo(i, i == 0 ? nID : kPanes[i].nID, SBPS_NORMAL, kPanes[i].cxWidth);
    }

    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);

    EnableDocking(CBRS_ALIGN_ANY);
    BuildFavoritesMenu();
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    CClientDC dc(nullptr);
    if (dc.GetDeviceCaps(BITSPIXEL) <= 8)
        AfxMessageBox("This program is best viewed with a color pallette of 32,768 colors or greater");
    if (GetSystemMetrics(SM_CXSCREEN) < 800)
        AfxMessageBox("This program is best viewed at a resolution of 800 by 600 or better");

    CSplashWindow::ShowSplash(this);
    return 0;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    m_nOutlineWidth = 285;
    if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST)) return FALSE;
    if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CNavigateView), CSize(0, 0), pContext)) return FALSE;
    m_pNavigateView = static_cast<CNavigateView*>(m_wndSplitter.GetPane(0, 0));

    if (!m_wndSplitter2.CreateStatic(&m_wndSplitter, 2, 1, WS_CHILD | WS_VISIBLE | WS_BORDER,
                                     UINT(m_wndSplitter.IdFromRowCol(0, 1))))
        return FALSE;
    if (!m_wndSplitter2.CreateView(0, 0, RUNTIME_CLASS(CDaoqueryView), CSize(0, 0), pContext) ||
        !m_wndSplitter2.CreateView(1, 0, RUNTIME_CLASS(CMediaView), CSize(0, 0), pContext))
        return FALSE;
    m_pQueryView = static_cast<CDaoqueryView*>(m_wndSplitter2.GetPane(0, 0));
    m_pMediaView = static_cast<CMediaView*>(m_wndSplitter2.GetPane(1, 0));

    SetActiveView(m_pQueryView);

    m_wndSplitter.ShowWindow(SW_SHOW);
    m_wndSplitter.UpdateWindow();
    if (s_pfnGetAppTitle) {
        CString title = s_pfnGetAppTitle(pContext ? pContext->m_pCurrentDoc : nullptr);
        SetTitle(title);
        SetWindowText(title);
    }

    CollapsePanes();
    return TRUE;
}

// Only the HTML pane stays: the outline column and the grid row get no room.
void CMainFrame::CollapsePanes()
{
    m_wndSplitter.SetColumnInfo(0, 0, 0);
    m_wndSplitter2.SetRowInfo(0, 0, 0);
    m_wndSplitter.RecalcLayout();
    m_wndSplitter2.RecalcLayout();
}

CView* CMainFrame::SwitchLayout(int nLayout)
{
    CView* pView = nullptr;
    if (nLayout == ID_LAYOUT_DIRECTORY) {
        CRect rcFrame;
        GetWindowRect(&rcFrame);
        m_wndSplitter.SetColumnInfo(0, OutlineWidthFor(rcFrame.Width()), 0);
        try {
            int cyPanes = 0, cyMin = 0, cyRow0 = 0;
            m_wndSplitter.GetRowInfo(0, cyPanes, cyMin);
            m_wndSplitter2.GetRowInfo(0, cyRow0, cyMin);
            m_wndSplitter2.SetRowInfo(0, GridHeightFor(m_bFirstDirectoryLayout, m_nSavedGridHeight, cyPanes, cyRow0), 0);
        } catch (CException& e) {
            e.ReportError();
        }
        m_bPanesOpen = TRUE;
        pView = m_pQueryView;
        if (m_nLayout != ID_LAYOUT_DIRECTORY && m_pQueryView && s_pfnGetGridHint && s_pfnGetGridHint() != 0 &&
            s_pfnShowGridHints)
            s_pfnShowGridHints(this);
        m_nLayout = ID_LAYOUT_DIRECTORY;
    } else {
        if (m_nLayout == ID_LAYOUT_DIRECTORY) {
            int cyMin = 0;
            m_wndSplitter2.GetRowInfo(0, m_nSavedGridHeight, cyMin);
        }
        pView = m_pMediaView;
        m_wndSplitter.SetColumnInfo(0, 0, 0);
        m_wndSplitter2.SetRowInfo(0, 0, 0);
        m_nLayout = ID_LAYOUT_HOME;
    }
    RecalcLayout();
    m_wndSplitter.RecalcLayout();
    m_wndSplitter2.RecalcLayout();
    SetActiveView(pView, TRUE);
    return pView;
}

void CMainFrame::OnToggleView()
{
    if (m_bPanesOpen) {
        m_wndSplitter.SetColumnInfo(0, 0, 0);
        m_wndSplitter.RecalcLayout();
        m_bPanesOpen = FALSE;
    } else {
        m_wndSplitter.SetColumnInfo(0, m_nOutlineWidth, 0);
        m_wndSplitter2.SetRowInfo(0, m_nOutlineWidth, 0);
        m_wndSplitter.RecalcLayout();
        m_wndSplitter2.RecalcLayout();
        m_bPanesOpen = TRUE;
    }
}

void CMainFrame::OnHome()
{
    SwitchLayout(ID_LAYOUT_HOME);
    CollapsePanes();
    m_bPanesOpen = FALSE;
    if (m_pMediaView)
        m_pMediaView->Navigate2(GetHomePagePath(), 0, nullptr, nullptr, nullptr, 0);
    if (m_pNavigateView) m_pNavigateView->m_bDetailsHistory = FALSE;
}

void CMainFrame::OnLetter(UINT nID)
{
    const char letter = LetterForCommand(nID);
    if (!letter) return;
    CWaitCursor wait;
    SwitchLayout(ID_LAYOUT_DIRECTORY);
    if (!m_pQueryView) return;
    m_pQueryView->ScrollToEntry(CString(letter));
    m_pQueryView->ShowCurrentRowDetails();
}

void CMainFrame::OnUpdateLetter(CCmdUI* pCmdUI) { pCmdUI->Enable(isLetter(pCmdUI->m_nID)); }

void CMainFrame::OnScrollTo()
{
    SwitchLayout(ID_LAYOUT_DIRECTORY);
    // Spoken to through its messages: the bar hands out a plain window object for it.
    CWnd* pCombo = m_wndDialogBar.GetDlgItem(IDC_SCROLL_COMBO);
    if (!pCombo)
        return;
    CString text;
    pCombo->GetWindowText(text);
    if (text.IsEmpty())
        return;
    const LPARAM lText = reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text));
    if (pCombo->SendMessage(CB_FINDSTRINGEXACT, WPARAM(-1), lText) == CB_ERR)
        pCombo->SendMessage(CB_ADDSTRING, 0, lText);
    pCombo->SetWindowText("");
    if (!m_pQueryView)
        return;
    m_pQueryView->ScrollToEntry(ScrollToJumpText(text));
    m_pQueryView->ShowCurrentRowDetails();
}

// ---- Records and details pages ----

long CMainFrame::GetCurrentRecordKey()
{
    return m_pQueryView ? m_pQueryView->GetCurrentRecordKey() : -1;
}

long CMainFrame::ShowGridRowDetails()
{
    if (m_pQueryView)
        SetActiveView(m_pQueryView, FALSE);
    const long key = GetCurrentRecordKey();
    if (key == -1)
        return -1;
    ShowRecordDetails(key, TRUE);
    if (m_pNavigateView)
        m_pNavigateView->m_bDetailsHistory = TRUE;
    return key;
}

void CMainFrame::ShowRecordDetails(long nKey, BOOL bPush)
{
    m_nCurrentKey = nKey;
    m_lists.SetCurrentRecord(nKey);
    if (m_pMediaView) {
        m_pMediaView->m_lRecordKey = nKey;
        m_pMediaView->BuildDetailsPage();
        m_pMediaView->LoadHtmlText();
    }
    SetNotesIndicator(m_wndStatusBar, m_hNotesIcon, RecordHasNotes(nKey));
    if (bPush)
        HistoryPushRecord(nKey);
    if (m_pNavigateView)
        m_pNavigateView->m_bDetailsHistory = TRUE;
}

BOOL CMainFrame::RecordHasNotes(long nKey)
{
    return ::RecordHasNotes(GetCustomPath(), nKey);
}

long CMainFrame::GoToRecordRow(long nKey)
{
    CString key;
    key.Format("%ld", nKey);
    return m_pQueryView ? m_pQueryView->GoToRecordKey(key) : -1;
}

void CMainFrame::RunSearch(BOOL bFirst)
{
    SwitchLayout(ID_LAYOUT_DIRECTORY);
    auto* doc = dynamic_cast<CViewerDoc*>(GetActiveDocument());
    if (!m_pQueryView || !doc)
        return;
    if (m_pQueryView->IsSettingsPending())
        m_pQueryView->RunQuery(kDirectoryQuery);
    ShowGridRowDetails();
    CSearchDirectoryDlg dlg(this);
    doc->GetDefaultSort(dlg.m_strSort);
    dlg.m_pCipher = doc->GetCipher();
    dlg.m_pDatabase = &doc->m_database;
    dlg.m_strCaption = bFirst ? "Search Directory" : "Continue Search Directory";
    if (dlg.DoSearchModal(bFirst) == IDCANCEL)
        return;
    UpdateWindow();
    CWaitCursor wait;
    if (dlg.m_strWhere.IsEmpty())
        return;
    doc->m_strQuery = dlg.m_strSelect + dlg.m_strFrom + dlg.m_strWhere;
    m_pQueryView->RunQuery(doc->m_strQuery);
    m_pQueryView->RefreshGrid();
    m_pQueryView->ShowCurrentRowDetails();
}

void CMainFrame::OnSearch() { RunSearch(TRUE); }
void CMainFrame::OnContinueSearch() { RunSearch(FALSE); }

void CMainFrame::OnShowAll()
{
    CWaitCursor wait;
    try {
        CString sort;
        if (auto* doc = dynamic_cast<CViewerDoc*>(GetActiveDocument()))
            doc->GetDefaultSort(sort);
        SwitchLayout(ID_LAYOUT_DIRECTORY);
        if (m_pQueryView)
            m_pQueryView->RunQuery(ShowAllQuery(sort));
        ShowSelectedRowDetails();
    } catch (const CViewerAbort&) {
        // the user gave up on the database: end quietly
    }
}

void CMainFrame::OnSaveList()
{
    SwitchLayout(ID_LAYOUT_DIRECTORY);
    if (m_pNavigateView)
        m_pNavigateView->m_bDetailsHistory = TRUE;
    auto* doc = dynamic_cast<CViewerDoc*>(GetActiveDocument());
    const CString sql = doc && doc->m_recordset.IsOpen() ? doc->m_recordset.GetSQL() : CString();
    if (sql.IsEmpty() || sql == kBlankQuery) {
        AfxMessageBox("Cannot save this directory list since there are no records found");
        return;
    }
    if (!m_pNavigateView)
        return;
    CString name;
    if (!m_pNavigateView->PromptForName("Enter a name for the current directory list",
                                        "Please enter a name for the current contents of the directory pane.", name,
                                        ""))
        return;
    CString key = name;
    m_pNavigateView->MakeUniqueKey(key);
    m_pNavigateView->AddOutlineItem(key, "Views", name, 18, 18, sql, "Query");
}

void CMainFrame::OnShowDetails()
{
    if (m_pQueryView)
        SetActiveView(m_pQueryView, FALSE);
    const long key = GetCurrentRecordKey();
    if (key == -1)
        return; // no current record: nothing to show, nothing to push
    ShowRecordDetails(key, TRUE);
    OpenDetailsPopup(key);
}

void CMainFrame::OnNormalView()
{
    CRect rcFrame;
    GetWindowRect(&rcFrame);
    m_wndSplitter.SetColumnInfo(0, OutlineWidthFor(rcFrame.Width()), 0);
    m_wndSplitter.RecalcLayout();
    int cyRow = 0, cyMin = 0;
    m_wndSplitter.GetRowInfo(0, cyRow, cyMin);
    m_wndSplitter2.SetRowInfo(0, cyRow / 2, 0);
    m_wndSplitter2.RecalcLayout();
    ShowGridRowDetails();
}

void CMainFrame::OnGoBack()
{
    if (m_pNavigateView && m_pNavigateView->m_bDetailsHistory) {
        if (CHistoryEntry* entry = HistoryBack())
            ShowRecordDetails(entry->m_lKey, FALSE);
    } else if (m_pMediaView) {
        m_pMediaView->GoBack();
    }
}

void CMainFrame::OnGoForward()
{
    if (m_pNavigateView && m_pNavigateView->m_bDetailsHistory) {
        if (CHistoryEntry* entry = HistoryForward())
            ShowRecordDetails(entry->m_lKey, FALSE);
    } else if (m_pMediaView) {
        m_pMediaView->GoForward();
    }
}

// The typed-text jump of the directory view and a click on the row it lands on.
void CMainFrame::JumpToEntry(const CString& strText)
{
    if (!m_pQueryView)
        return;
    m_pQueryView->ScrollToEntry(strText);
    m_pQueryView->ShowCurrentRowDetails();
}

void CMainFrame::OnPrintPage()
{
    if (m_pMediaView)
        m_pMediaView->PrintWithPrompt();
}

void CMainFrame::OnPrintPreview()
{
    if (m_pMediaView)
        m_pMediaView->PrintPreview();
}

// A note that cannot be stored keeps its window, and the pop-up that owns it: its end would take
// the window with it.
void CMainFrame::OnCloseAll()
{
    StoreNotesWindows();
    std::vector<CWnd*> popups;
    for (const auto& e : m_lists.GetList(FALSE))
        popups.push_back(e->m_pWnd);
    for (CWnd* pPopup : popups) {
        if (!m_lists.IsListed(pPopup, FALSE) || OwnsNotesWindow(pPopup))
            continue;
        m_lists.RemoveFromWindowList(pPopup, FALSE);
        if (::IsWindow(pPopup->GetSafeHwnd()))
            pPopup->DestroyWindow();
    }
}
void CMainFrame::OnCascade() { m_lists.CascadeAll(); }

void CMainFrame::OnCopyright() { OpenCopyrightText(m_hWnd, GetDataPath()); }
void CMainFrame::OnHelpTopics() { StartHelpViewer(GetDataPath()); }

void CMainFrame::OnSetFocus(CWnd* pOldWnd)
{
    CFrameWnd::OnSetFocus(pOldWnd);
    if (m_lists.OnFrameSetFocus() && m_pMediaView)
        m_pMediaView->EnableWindow(TRUE);
}

// Stores the open notes first: one that cannot be stored keeps the frame open. Then stores which
// outline items are expanded; a custom database that cannot take that is reported once and the
// frame closes all the same.
void CMainFrame::OnClose()
{
    if (!StoreNotesWindows())
        return;
    if (m_pNavigateView) {
        if (CTreeCtrl* tree = m_pNavigateView->GetOutlineTree()) {
            CTreeCtrlVisibleOutline outline(*tree);
            StoreOutlineState(GetCustomPath(), outline);
        }
    }
    // The layout kept at exit is the whole directory's, in the widths the user left.
    if (m_pQueryView && m_pQueryView->GetViewerDoc() && !m_pQueryView->IsSettingsPending()) {
        const CDaoRecordset* pSet = m_pQueryView->GetRecordset();
        const BOOL bBlank = !pSet || !pSet->IsOpen() || pSet->GetSQL() == kBlankQuery;
        m_pQueryView->RequeryAllEntries(!bBlank);
    }
    CFrameWnd::OnClose();
}

// A double click on the notes pane is its command, while the command is enabled.
void CMainFrame::OnStatusBarDblClk(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    const auto* pMouse = reinterpret_cast<const NMMOUSE*>(pNotify);
    const DWORD_PTR kNotesPane = 3;
    if (pMouse->dwItemSpec == kNotesPane && IsFrameCommandEnabled(ID_NOTES_PANE, CommandState()))
        SendMessage(WM_COMMAND, ID_NOTES_PANE);
}

void CMainFrame::OnUpdateByState(CCmdUI* pCmdUI) { pCmdUI->Enable(IsFrameCommandEnabled(pCmdUI->m_nID, CommandState())); }

FrameCommandState CMainFrame::CommandState()
{
    FrameCommandState state;
    state.recordMode = m_pNavigateView && m_pNavigateView->m_bDetailsHistory;
    state.browserCanGoBack = m_bBrowserCanGoBack;
    state.browserCanGoForward = m_bBrowserCanGoForward;
    state.historyCanGoBack = HistoryCanGoBack();
    state.historyCanGoForward = HistoryCanGoForward();
    state.detailsPageShown = m_pMediaView && m_pMediaView->IsDetailsPageShown();
    return state;
}

// Show Details Page stays out of the View menu; F2 and the pages' links still reach it.
void CMainFrame::OnUpdateShowDetails(CCmdUI* pCmdUI)
{
    if (pCmdUI->m_pMenu)
        pCmdUI->m_pMenu->DeleteMenu(ID_SHOW_DETAILS, MF_BYCOMMAND);
}

void CMainFrame::OnUpdateCloseAll(CCmdUI* pCmdUI) { pCmdUI->Enable(m_lists.CanCloseAll()); }
void CMainFrame::OnUpdateCascade(CCmdUI* pCmdUI) { pCmdUI->Enable(m_lists.CanCascade()); }

void CMainFrame::RecalcLayout(BOOL bNotify)
{
    CFrameWnd::RecalcLayout(bNotify);
    FitLetterBar();
}

void CMainFrame::FitLetterBar()
{
    if (!m_wndDialogBar.m_hWnd)
        return;
    CWnd* letters[26];
    for (int i = 0; i < 26; ++i) {
        letters[i] = m_wndDialogBar.GetDlgItem(int(g_nLetterCommandIds[i]));
        if (!letters[i])
            return;
    }
    if (m_rcLetters[0].IsRectEmpty()) {
        for (int i = 0; i < 26; ++i) {
            letters[i]->GetWindowRect(&m_rcLetters[i]);
            m_wndDialogBar.ScreenToClient(&m_rcLetters[i]);
        }
    }
    const int kMargin = 4;     // air after Z
    const int kMinPitch = 12;  // below this a letter no longer fits its button
    CRect rcBar;
    m_wndDialogBar.GetClientRect(&rcBar);
    const CRect& a = m_rcLetters[0];
    const int pitch = m_rcLetters[1].left - a.left;
    const int gap = pitch - a.Width();
    int fit = pitch;
    if (m_rcLetters[25].right + kMargin > rcBar.right)
        fit = std::max(kMinPitch, (rcBar.right - kMargin - a.left) / 26);
    for (int i = 0; i < 26; ++i) {
        CRect want(a.left + i * fit, a.top, a.left + i * fit + fit - gap, a.bottom);
        CRect now;
        letters[i]->GetWindowRect(&now);
        m_wndDialogBar.ScreenToClient(&now);
        if (now != want)
            letters[i]->MoveWindow(&want);
    }
}

void CMainFrame::ActivateFrame(int nCmdShow)
{
    if (!m_bActivated) {
        m_bActivated = TRUE;
        nCmdShow = SW_SHOWMAXIMIZED;
    }
    CFrameWnd::ActivateFrame(nCmdShow);
}

BOOL CMainFrame::OnNcActivate(BOOL bActive)
{
    if (s_pfnGridPopupActive && s_pfnGridPopupActive()) {
        CFrameWnd::OnNcActivate(TRUE);
        return TRUE;
    }
    return CFrameWnd::OnNcActivate(bActive);
}
