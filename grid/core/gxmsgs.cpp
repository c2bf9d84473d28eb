// The grid window's messages other than mouse and keys, and the grid's private messages. Each
// handler answers whether it handled the message, so the host falls back to default processing.

#include <algorithm>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/frame.h"
#include "platform/win/win.h"

namespace {

// Record navigation kinds of WM_GX_RECORDNAV and the moves they make.
constexpr WPARAM kNavSelectRecord = 4;
constexpr int kNavDirections[] = {7, 1, 3, 8};  // first, previous, next, last row
constexpr UINT kNavPlaceFlags = 0x0A;
// Keys the grid wants from a dialog.
constexpr UINT kGridDlgCode = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;

}  // namespace

// ---- Private messages ----

LRESULT CGXGridCore::OnGridRecordNav(WPARAM wParam, LPARAM lParam)
{
    if (!m_bInitDone)
        return 0;
    if (wParam < kNavSelectRecord) {
        MoveCurrentCell(kNavDirections[wParam], 1);
        return 0;
    }
    if (wParam > kNavSelectRecord)
        return LRESULT(wParam - kNavSelectRecord);
    // A record grid reads up to the record before the move.
    EnsureCountComplete();
    const ROWCOL nRecord = ROWCOL(lParam);
    const ROWCOL nRow = std::min<ROWCOL>(nRecord + HeaderRows(), RowCount());
    const ROWCOL nCol = std::min<ROWCOL>(HeaderCols() + 1, ColCount());
    PlaceCurrentCell(nRow, nCol, kNavPlaceFlags);
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->SetFocus();
    return 0;
}

LRESULT CGXGridCore::OnGridValidate(WPARAM wParam, LPARAM)
{
    if (wParam || !m_bInitDone || !IsCurrentCellControlActive())
        return 0;
    // Keys typed after the request belong to the cell being left; they must not reach the next one.
    MSG msg;
    if (CWnd* pFocus = CWnd::GetFocus())
        while (::PeekMessage(&msg, pFocus->GetSafeHwnd(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
    if (CurrentCellControl()->Validate())
        return 0;
    ShowWarningText(m_nCurrentRow, m_nCurrentCol);
    return 1;
}

LRESULT CGXGridCore::OnGridQueryCell(WPARAM, LPARAM) { return m_pParam ? LRESULT(m_pParam->m_bOptionH) : 1; }

LRESULT CGXGridCore::OnGridTabName(WPARAM wParam, LPARAM)
{
    CGXTabWndInterface* pTabs = GXGetLibraryState().m_pTabWndInterface;
    if (!pTabs || !m_pParam)
        return 0;
    CString strName = m_pParam->m_sText;
    pTabs->TabNameOfWnd(m_pGridWnd, strName, FALSE);
    m_pParam->m_sText = pTabs->GetTabLabel(m_pGridWnd, int(wParam));
    return 0;
}

LRESULT CGXGridCore::OnGridLockRedraw(WPARAM wParam, LPARAM)
{
    if (!m_pParam)
        return 0;
    m_pParam->m_bLockRedraw = wParam != 0;
    if (!wParam && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->Invalidate(FALSE);
    return 0;
}

void CGXGridCore::NotifyGridListeners()
{
    for (CGXAbstractGridListener* p : GXGetLibraryState().m_pGridListener)
        if (p)
            p->OnGridNotify(this);
}

// ---- Window messages ----

void CGXGridCore::OnGridShowWindow(BOOL bShow, UINT)
{
    if (!bShow) {
        ResetSizeCaches();
        m_bLastSizeKnown = FALSE;
    }
}

HBRUSH CGXGridCore::OnGridCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (!pDC || !m_bInitDone || !m_bHasCurrentCell)
        return nullptr;
    CGXControl* pControl = CurrentCellControl();
    if (pControl && pControl->OnCtlColor(pDC, pWnd, nCtlColor))
        return nullptr;
    const CGXStyle& style = GetCellStyleCached(m_nCurrentRow, m_nCurrentCol);
    pDC->SetTextColor(style.GetTextColor());
    pDC->SetBkColor(style.GetInterior().ResolveBrushColor());
    CBrush* pBrush = LookupBrush(style.GetInterior());
    return pBrush ? HBRUSH(pBrush->GetSafeHandle()) : nullptr;
}

void CGXGridCore::OnGridDestroy()
{
    GridFindReplaceState::Get().OnGridWindowDestroyed(m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr);
    if (m_nAutoScrollTimer && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->KillTimer(m_nAutoScrollTimer);
    m_nAutoScrollTimer = 0;
    m_bAutoScroll = FALSE;
    ReleaseMeasureDC();
}

BOOL CGXGridCore::OnGridCommand(WPARAM wParam, LPARAM lParam)
{
    if (!m_bInitDone)
        return FALSE;
    CGXControl* pControl = CurrentCellControl();
    return pControl && pControl->HandleCommandMessage(wParam, lParam);
}

void CGXGridCore::OnGridWinIniChange(LPCTSTR pszSection)
{
    RefreshDateTimeSettings();
    for (auto& [id, pControl] : m_controls)
        if (pControl)
            pControl->OnWinIniChange(pszSection);
    FreeGdiCache();
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->Invalidate(FALSE);
}

void CGXGridCore::OnGridSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    for (auto& [id, pControl] : m_controls)
        if (pControl)
            pControl->OnSysColorChange();
    FreeGdiCache();
}

UINT CGXGridCore::OnGridGetDlgCode() { return kGridDlgCode; }

BOOL CGXGridCore::OnGridPreTranslateMessage(MSG*) { return FALSE; }

// ---- Plug-ins ----

CGXPluginComponent::~CGXPluginComponent()
{
    // The handle is the window's, not ours: drop it so that nothing tears the window down.
    m_hWnd = nullptr;
}

BOOL CGXPluginComponent::PlugIn(CWnd* pWnd)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return FALSE;
    m_hWnd = pWnd->GetSafeHwnd();
    return TRUE;
}

BOOL CGXPluginComponent::HandlePluginMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                             BOOL& bStopRouting)
{
    // A handler that sends the window a message of its own (capture, a child window) comes
    // back here: the flags of the outer message are kept for it.
    const BOOL bOuterHandled = m_bHandled, bOuterStop = m_bStopRouting;
    m_bHandled = FALSE;
    m_bStopRouting = FALSE;
    // Commands and notifications belong to the window's own routing.
    if (message != WM_COMMAND && message != WM_NOTIFY && m_hWnd) {
        if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0)) {
            AfxMsgCall call {message, wParam, lParam, 0, 0, 0, nullptr};
            e->pfn(this, call);
            result = call.result;
        }
    }
    if (message == WM_NCDESTROY)
        m_hWnd = nullptr;  // the handle dies with the window
    const BOOL bHandled = m_bHandled;
    bStopRouting = m_bStopRouting;
    m_bHandled = bOuterHandled;
    m_bStopRouting = bOuterStop;
    return bHandled;
}

BOOL CGXGridCore::OnGridPluginMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!m_bInitDone)
        return FALSE;
    // A plug-in may remove itself while it handles a message: walk a copy.
    const std::vector<CGXPluginComponent*> plugins = m_plugins;
    for (CGXPluginComponent* p : plugins) {
        BOOL bSkipOthers = FALSE;
        LRESULT r = 0;
        if (p->HandlePluginMessage(message, wParam, lParam, r, bSkipOthers)) {
            result = r;
            return TRUE;
        }
        if (bSkipOthers)
            return FALSE;
    }
    return FALSE;
}

// Timers belong to the plug-ins, which see them through the window-procedure hook.
void CGXGridCore::OnGridTimer(UINT_PTR) {}

void CGXGridCore::OnGridSize(UINT nType, int cx, int cy)
{
    ResetSizeCaches();
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd() || m_bInGridSize)
        return;
    struct InSize {
        BOOL& b;
        ~InSize() { b = FALSE; }
    } inSize {m_bInGridSize};
    m_bInGridSize = TRUE;
    CFrameWnd* pFrame = m_pGridWnd->GetParentFrame();
    const BOOL bMaximized = pFrame && pFrame->IsZoomed();
    if (nType == SIZE_MAXIMIZED)
        UpdateScrollBars();
    if (nType != SIZE_RESTORED) {
        m_bFrameMaximized = bMaximized;
        return;
    }
    const BOOL bLocked = m_pParam && m_pParam->m_bLockRedraw;
    const BOOL bSmart = m_pParam && m_pParam->m_bSmartResize;
    CRect rectWindow;
    m_pGridWnd->GetWindowRect(&rectWindow);
    if (bSmart && !m_bDrawingAreaOverride && pFrame && m_bLastSizeKnown && m_bInitDone
        && rectWindow.TopLeft() == m_rectLastWindow.TopLeft() && !bLocked) {
        if (bMaximized == m_bFrameMaximized)
            RepaintUncoveredStrips(cx, cy);
        else {
            m_pGridWnd->Invalidate(FALSE);
            m_pGridWnd->UpdateWindow();
        }
    }
    if (m_bInitDone && !bLocked) {
        ResetSizeCaches();
        if (bSmart)
            m_pGridWnd->UpdateWindow();
        UpdateScrollBars(TRUE, FALSE);
    }
    if (m_pGridWnd->IsWindowVisible()) {
        m_sizeLastClient = CSize(cx, cy);
        m_rectLastWindow = rectWindow;
        m_bLastSizeKnown = TRUE;
    } else {
        m_bLastSizeKnown = FALSE;
    }
    m_bFrameMaximized = bMaximized;
}

// A resize repaints from the cell the old edge cut through to the new edge; the rest of the
// window keeps its pixels. The old edge counts a scroll bar's width in, for the bar that was there.
void CGXGridCore::RepaintUncoveredStrips(int cx, int cy)
{
    const int nOldEdgeX = std::max<int>(m_sizeLastClient.cx - GetSystemMetrics(SM_CXVSCROLL), 0);
    const int nOldEdgeY = std::max<int>(m_sizeLastClient.cy - GetSystemMetrics(SM_CYHSCROLL), 0);
    m_pGridWnd->ValidateRect(nullptr);
    if (cx != m_sizeLastClient.cx) {
        int nLeft = nOldEdgeX;
        if (ViewColAtX(nOldEdgeX, &nLeft) == GX_INVALID)
            nLeft = nOldEdgeX;
        const CRect strip(std::min(nLeft, cx), 0, cx, cy);
        if (!strip.IsRectEmpty()) {
            m_pGridWnd->InvalidateRect(&strip, FALSE);
            m_pGridWnd->UpdateWindow();
        }
    }
    if (cy != m_sizeLastClient.cy) {
        int nTop = nOldEdgeY;
        if (ViewRowAtY(nOldEdgeY, &nTop) == GX_INVALID)
            nTop = nOldEdgeY;
        const CRect strip(0, std::min(nTop, cy), cx, cy);
        if (!strip.IsRectEmpty()) {
            m_pGridWnd->InvalidateRect(&strip, FALSE);
            m_pGridWnd->UpdateWindow();
        }
    }
}
