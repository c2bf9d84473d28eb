// The DAO record view: a view whose window is its grid's.

#include "grid/record/gxdaoview.h"

#include "grid/core/gxlibdata.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxwnd.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/splitter.h"
#include "platform/win/win.h"

IMPLEMENT_DYNCREATE(CGXDaoRecordView, CGXView)

// The grid part knows its window from the start; its document and view flag come with the
// first update.
CGXDaoRecordView::CGXDaoRecordView() : CGXDaoGrid(nullptr, nullptr, FALSE) { SetGridWnd(this); }

CGXDaoRecordView::~CGXDaoRecordView() = default;

BEGIN_MESSAGE_MAP(CGXDaoRecordView, CGXView)
    ON_COMMAND_RANGE(ID_RECORD_FIRST, ID_RECORD_PREV, OnRecordCommandRange)
    ON_UPDATE_COMMAND_UI_RANGE(ID_RECORD_FIRST, ID_RECORD_PREV, OnUpdateRecordCommandRange)
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SHOWWINDOW()
    ON_WM_WININICHANGE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_TIMER()
    ON_WM_MOUSEACTIVATE()
    // The grid paints every pixel.
    PV_WM(WM_ERASEBKGND, _c.result = TRUE; return TRUE;)
    PV_WM(WM_SETCURSOR, _c.result = _p->OnGridSetCursor(PV_WND(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)) ? TRUE : _p->Default(); return TRUE;)
    PV_WM(WM_CTLCOLOR, {
        HBRUSH h = _p->OnGridCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(_c.wParam)), PV_WND(_c.lParam), _c.nCode);
        _c.result = h ? reinterpret_cast<LRESULT>(h) : _p->Default();
        return TRUE;
    })
    PV_WM(WM_CANCELMODE, _p->OnGridCancelMode(); _c.result = 0; return TRUE;)
    GX_GRID_INPUT_ENTRIES()
    PV_WM(WM_LBUTTONDOWN, _c.result = _p->ToCoreOrDefault(_p->OnGridLButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    PV_WM(WM_MBUTTONDOWN, _c.result = _p->ToCoreOrDefault(_p->OnGridMButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    PV_WM(WM_RBUTTONDOWN, _c.result = _p->ToCoreOrDefault(_p->OnGridRButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    ON_MESSAGE(WM_GX_RECORDNAV, OnRecordNavMsg)
    ON_MESSAGE(WM_GX_VALIDATE, OnValidateMsg)
    ON_MESSAGE(WM_GX_QUERYCELL, OnGridQueryCellMsg)
    ON_MESSAGE(WM_GX_TABNAME, OnGridTabNameMsg)
    ON_MESSAGE(WM_GX_LOCKREDRAW, OnLockRedrawMsg)
    ON_REGISTERED_MESSAGE(gxFindReplaceMsg, OnFindReplaceMsg)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
    ON_COMMAND(ID_EDIT_FIND, OnEditFind)
    ON_COMMAND(ID_EDIT_REPLACE, OnEditReplace)
    ON_COMMAND(ID_EDIT_REPEAT, OnEditRepeat)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCut)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

LRESULT CGXDaoRecordView::ToCoreOrDefault(BOOL bHandled) { return bHandled ? 0 : Default(); }

// ---- Framework overrides ----

CScrollBar* CGXDaoRecordView::GetScrollBarCtrl(int nBar) const
{
    if (CScrollBar* p = CGXDaoGrid::GetScrollBarCtrl(nBar))
        return p;
    return CGXView::GetScrollBarCtrl(nBar);
}

BOOL CGXDaoRecordView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return OnGridCommand(wParam, lParam) || CGXView::OnCommand(wParam, lParam);
}

BOOL CGXDaoRecordView::PreTranslateMessage(MSG* pMsg)
{
    if (IsInitialized() && IsWindowVisible() && OnGridPreTranslateMessage(pMsg))
        return TRUE;
    return CGXView::PreTranslateMessage(pMsg);
}

LRESULT CGXDaoRecordView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnGridPluginMessage(message, wParam, lParam, result))
        return result;
    return CGXView::WindowProc(message, wParam, lParam);
}

void CGXDaoRecordView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) { PrepareDC(pDC, pInfo); }

// A view may be painted before its first update (a splitter shows its panes as it makes them);
// the grid draws only once it is initialised.
void CGXDaoRecordView::OnDraw(CDC* pDC)
{
    if (IsInitialized())
        OnGridDraw(pDC);
}

void CGXDaoRecordView::ShowScrollBar(int nBar, BOOL bShow) { CWnd::ShowScrollBar(UINT(nBar), bShow); }

void CGXDaoRecordView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // The grid applies the hints of other views of its document; anything else shows the
    // document afresh.
    if (!ProcessHint(pHint))
        CGXView::OnUpdate(pSender, lHint, pHint);
}

void CGXDaoRecordView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    // The same view on both sides means the frame was (de)activated, not the view.
    if (pActivateView != pDeactiveView && !GetGridPopupActive())
        Activate(bActivate);
    CGXView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CGXDaoRecordView::OnInitialUpdate()
{
    SetGridWnd(this, CGXView::GetDocument(), TRUE);
    m_pSplitter = GetParentSplitter(this, TRUE);
    const int nMode = m_pSplitter || FindRegisteredParent() ? kBarModeShared : kBarModeView;
    SetScrollBarMode(SB_BOTH, nMode, FALSE);
    Initialize();
    CGXView::OnInitialUpdate();
    if (!CGXView::GetPrintDevice() && m_pParam) {
        if (!m_pParam->GetPrintDevice())
            m_pParam->SetPrintDevice(new CGXPrintDevice, TRUE);
        CGXView::SetPrintDevice(m_pParam->GetPrintDevice(), FALSE);
    }
    ShareSplitterPosition();
    UpdateScrollBars();
}

// A lower pane opens at the rows and columns of the pane above it, a right pane at the rows of
// the pane to its left (and, in the first row, its columns as well). The pane notes where it
// sits; the pane it copied from forgets its cached extent, since the split has shrunk it.
void CGXDaoRecordView::ShareSplitterPosition()
{
    int nRow = 0, nCol = 0;
    if (!m_pSplitter || !m_pSplitter->IsChildPane(this, &nRow, &nCol))
        return;
    m_pSplitterWnd = m_pSplitter;
    m_nSplitterRow = nRow;
    m_nSplitterCol = nCol;
    m_bFirstSplitterRow = nRow == 0;
    m_bFirstSplitterCol = nCol == 0;
    auto paneGrid = [this](int r, int c) -> CGXGridCore* {
        auto* p = dynamic_cast<CGXGridCore*>(m_pSplitter->GetPane(r, c));
        return p != static_cast<CGXGridCore*>(this) && p && p->IsInitialized() ? p : nullptr;
    };
    if (nRow > 0)
        if (CGXGridCore* pAbove = paneGrid(0, nCol)) {
            m_nTopRow = pAbove->GetTopRow();
            m_nLeftCol = pAbove->GetLeftCol();
            pAbove->ResetSizeCaches();
        }
    if (nCol > 0)
        if (CGXGridCore* pLeft = paneGrid(nRow, 0)) {
            m_nTopRow = pLeft->GetTopRow();
            if (nRow == 0)
                m_nLeftCol = pLeft->GetLeftCol();
            pLeft->ResetSizeCaches();
        }
    ResetSizeCaches();
}

BOOL CGXDaoRecordView::OnPreparePrinting(CPrintInfo* pInfo) { return CGXView::OnPreparePrinting(pInfo); }
void CGXDaoRecordView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) { CGXDaoGrid::OnBeginPrinting(pDC, pInfo); }
void CGXDaoRecordView::OnPrint(CDC* pDC, CPrintInfo* pInfo) { CGXDaoGrid::OnPrint(pDC, pInfo); }
void CGXDaoRecordView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) { CGXDaoGrid::OnEndPrinting(pDC, pInfo); }

// ---- Zoom ----

void CGXDaoRecordView::OnZoomIn()
{
    const int z = ZoomPercent();
    if (m_pParam && z < kZoomMax)
        SetZoom(z * 11 / 10, GX_UPDATENOW);
}

void CGXDaoRecordView::OnZoomOut()
{
    const int z = ZoomPercent();
    if (m_pParam && z > kZoomMin)
        SetZoom(z * 10 / 11, GX_UPDATENOW);
}

void CGXDaoRecordView::OnZoom100()
{
    if (m_pParam)
        SetZoom(100, GX_UPDATENOW);
}

void CGXDaoRecordView::OnUpdateZoomIn(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pParam && ZoomPercent() < kZoomMax); }
void CGXDaoRecordView::OnUpdateZoomOut(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pParam && ZoomPercent() > kZoomMin); }

// ---- Records and edit commands ----

void CGXDaoRecordView::OnRecordCommandRange(UINT nID) { OnRecordCommand(nID); }
void CGXDaoRecordView::OnUpdateRecordCommandRange(CCmdUI* pCmdUI) { OnUpdateRecordCommand(pCmdUI, pCmdUI->m_nID); }

void CGXDaoRecordView::OnEditCopy() { Copy(); }
void CGXDaoRecordView::OnEditCut() { Cut(); }
void CGXDaoRecordView::OnEditPaste() { Paste(); }
void CGXDaoRecordView::OnEditUndo() { Undo(); }
void CGXDaoRecordView::OnEditRedo() { Redo(); }
void CGXDaoRecordView::OnEditFind() { FindReplaceDialog(TRUE); }
void CGXDaoRecordView::OnEditReplace() { FindReplaceDialog(FALSE); }

void CGXDaoRecordView::OnEditRepeat()
{
    if (!FindAgain())
        OnTextNotFound(GridFindReplaceState::Get().m_strFind);
}

void CGXDaoRecordView::OnUpdateEditCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(CanCopy()); }
void CGXDaoRecordView::OnUpdateEditCut(CCmdUI* pCmdUI) { pCmdUI->Enable(CanCut()); }
void CGXDaoRecordView::OnUpdateEditPaste(CCmdUI* pCmdUI) { pCmdUI->Enable(CanPaste()); }
void CGXDaoRecordView::OnUpdateEditUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanUndo(pCmdUI)); }
void CGXDaoRecordView::OnUpdateEditRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanRedo(pCmdUI)); }

// ---- Window messages ----

void CGXDaoRecordView::OnDestroy()
{
    OnGridDestroy();
    CGXView::OnDestroy();
}

void CGXDaoRecordView::OnSize(UINT nType, int cx, int cy)
{
    OnGridSize(nType, cx, cy);
    CGXView::OnSize(nType, cx, cy);
}

void CGXDaoRecordView::OnSetFocus(CWnd* pOldWnd)
{
    CGXView::OnSetFocus(pOldWnd);
    OnGridSetFocus(pOldWnd);
}

void CGXDaoRecordView::OnKillFocus(CWnd* pNewWnd)
{
    CGXView::OnKillFocus(pNewWnd);
    m_bLosingFocus = TRUE;
    OnGridKillFocus(pNewWnd);
    m_bLosingFocus = FALSE;
}

void CGXDaoRecordView::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CGXView::OnShowWindow(bShow, nStatus);
    OnGridShowWindow(bShow, nStatus);
}

void CGXDaoRecordView::OnWinIniChange(LPCTSTR pszSection)
{
    OnGridWinIniChange(pszSection);
    CGXView::OnWinIniChange(pszSection);
}

void CGXDaoRecordView::OnSysColorChange()
{
    OnGridSysColorChange();
    CGXView::OnSysColorChange();
}

void CGXDaoRecordView::OnTimer(UINT_PTR nIDEvent)
{
    OnGridTimer(nIDEvent);
    CGXView::OnTimer(nIDEvent);
}

int CGXDaoRecordView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    if (const int n = OnGridMouseActivate(pDesktopWnd, nHitTest, message))
        return n;
    return CGXView::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

LRESULT CGXDaoRecordView::OnRecordNavMsg(WPARAM wParam, LPARAM lParam)
{
    OnGridRecordNav(wParam, lParam);
    return 0;
}

// Answers 1 when the current cell refused to be left.
LRESULT CGXDaoRecordView::OnValidateMsg(WPARAM wParam, LPARAM lParam) { return OnGridValidate(wParam, lParam); }
LRESULT CGXDaoRecordView::OnGridQueryCellMsg(WPARAM wParam, LPARAM lParam) { return OnGridQueryCell(wParam, lParam); }

LRESULT CGXDaoRecordView::OnGridTabNameMsg(WPARAM wParam, LPARAM lParam)
{
    OnGridTabName(wParam, lParam);
    return 0;
}

// 1 before a resize locks drawing, 0 after unlocks it and repaints the whole window.
LRESULT CGXDaoRecordView::OnLockRedrawMsg(WPARAM wParam, LPARAM lParam)
{
    OnGridLockRedraw(wParam, lParam);
    return 0;
}

LRESULT CGXDaoRecordView::OnFindReplaceMsg(WPARAM wParam, LPARAM lParam) { return OnFindReplace(wParam, lParam); }
