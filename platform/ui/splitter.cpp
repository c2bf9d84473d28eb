// CSplitterWnd, static splitting: pane creation, layout from row and column infos, bar dragging.

#include "platform/ui/splitter.h"

#include "platform/sys/system.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"

#include <algorithm>
#include <cstdint>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_CANCELMODE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CSplitterWnd::CreateStatic(CWnd* pParent, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParent || nRows < 1 || nCols < 1 || nRows > 16 || nCols > 16) return FALSE;
    m_nRows = nRows;
    m_nCols = nCols;
    m_pRowInfo.assign(size_t(nRows), CRowColInfo {});
    m_pColInfo.assign(size_t(nCols), CRowColInfo {});
    m_bHasBorders = (dwStyle & WS_BORDER) != 0;
    // The border is drawn around each pane, not around the splitter.
    DWORD style = (dwStyle & ~DWORD(WS_BORDER)) | WS_CHILD | WS_CLIPCHILDREN;
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
    CRect rc;
    pParent->GetClientRect(&rc);
    if (!CreateEx(0, cls, nullptr, style, rc, pParent, nID)) return FALSE;
    // A splitter nested in a pane takes that pane's place at once.
    if (pParent->IsKindOf(RUNTIME_CLASS(CSplitterWnd))) static_cast<CSplitterWnd*>(pParent)->RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !pViewClass || GetDlgItem(IdFromRowCol(row, col)))
        return FALSE;
    CObject* o = pViewClass->CreateObject();
    CWnd* w = dynamic_cast<CWnd*>(o);
    if (!w) {
        delete o;
        return FALSE;
    }
    // The initial size of a pane is its row's and column's ideal size.
    m_pRowInfo[size_t(row)].nIdealSize = sizeInit.cy;
    m_pColInfo[size_t(col)].nIdealSize = sizeInit.cx;
    CCreateContext ctx;
    if (pContext) ctx = *pContext;
    DWORD style = WS_CHILD | WS_VISIBLE | (m_bHasBorders ? WS_BORDER : 0);
    if (!w->Create(nullptr, nullptr, style, CRect(0, 0, sizeInit.cx, sizeInit.cy), this, UINT(IdFromRowCol(row, col)),
                   &ctx))
        return FALSE; // the view deleted itself with its window
    if (!m_bHasBorders) w->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    RecalcLayout();
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    if (row < 0 || row >= m_nRows) {
        cyCur = cyMin = 0;
        return;
    }
    cyCur = m_pRowInfo[size_t(row)].nCurSize;
    cyMin = m_pRowInfo[size_t(row)].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nRows) return;
    m_pRowInfo[size_t(row)].nIdealSize = std::max(0, cyIdeal);
    m_pRowInfo[size_t(row)].nMinSize = std::max(0, cyMin);
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    if (col < 0 || col >= m_nCols) {
        cxCur = cxMin = 0;
        return;
    }
    cxCur = m_pColInfo[size_t(col)].nCurSize;
    cxMin = m_pColInfo[size_t(col)].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nCols) return;
    m_pColInfo[size_t(col)].nIdealSize = std::max(0, cxIdeal);
    m_pColInfo[size_t(col)].nMinSize = std::max(0, cxMin);
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols) return nullptr;
    return GetDlgItem(IdFromRowCol(row, col));
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || !pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd) return FALSE;
    int id = pWnd->GetDlgCtrlID() - AFX_IDW_PANE_FIRST;
    if (id < 0 || id / 16 >= m_nRows || id % 16 >= m_nCols) return FALSE;
    if (pRow) *pRow = id / 16;
    if (pCol) *pCol = id % 16;
    return TRUE;
}

// Every row but the last takes its ideal size (hidden when below its minimum); the last takes
// what is left. Sizes never go negative, however small the window.
void CSplitterWnd::LayoutAxis(std::vector<CRowColInfo>& info, int total, int gap) const
{
    int left = total;
    size_t n = info.size();
    for (size_t i = 0; i < n; ++i) {
        CRowColInfo& c = info[i];
        if (i + 1 == n) {
            c.nCurSize = std::max(0, left);
            break;
        }
        int want = c.nIdealSize;
        if (want < c.nMinSize) want = 0;
        if (want > left) want = std::max(0, left);
        c.nCurSize = want;
        // The bar stays even after a hidden pane, so that the user can drag the pane back.
        left -= want + gap;
    }
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || m_nRows == 0) return;
    CRect rc;
    GetClientRect(&rc);
    LayoutAxis(m_pRowInfo, rc.Height(), m_cySplitterGap);
    LayoutAxis(m_pColInfo, rc.Width(), m_cxSplitterGap);
    int y = rc.top;
    for (int r = 0; r < m_nRows; ++r) {
        int h = m_pRowInfo[size_t(r)].nCurSize;
        int x = rc.left;
        for (int c = 0; c < m_nCols; ++c) {
            int w = m_pColInfo[size_t(c)].nCurSize;
            if (HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(r, c))) {
                bool visible = w > 0 && h > 0;
                ::SetWindowPos(pane, nullptr, x, y, std::max(0, w), std::max(0, h),
                               SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            }
            x += w + m_cxSplitterGap;
        }
        y += h + m_cySplitterGap;
    }
    Invalidate();
}

int CSplitterWnd::HitTest(CPoint pt) const
{
    CRect rc;
    GetClientRect(&rc);
    int x = rc.left;
    for (int c = 0; c + 1 < m_nCols; ++c) {
        x += m_pColInfo[size_t(c)].nCurSize;
        if (pt.x >= x && pt.x < x + m_cxSplitterGap) return vSplitterBar1 + c;
        x += m_cxSplitterGap;
    }
    int y = rc.top;
    for (int r = 0; r + 1 < m_nRows; ++r) {
        y += m_pRowInfo[size_t(r)].nCurSize;
        if (pt.y >= y && pt.y < y + m_cySplitterGap) return hSplitterBar1 + r;
        y += m_cySplitterGap;
    }
    return noHit;
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    // Bars: a raised face between the panes.
    int x = rc.left;
    for (int c = 0; c + 1 < m_nCols; ++c) {
        x += m_pColInfo[size_t(c)].nCurSize;
        CRect bar(x, rc.top, x + m_cxSplitterGap, rc.bottom);
        dc.Draw3dRect(&bar, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        x += m_cxSplitterGap;
    }
    int y = rc.top;
    for (int r = 0; r + 1 < m_nRows; ++r) {
        y += m_pRowInfo[size_t(r)].nCurSize;
        CRect bar(rc.left, y, rc.right, y + m_cySplitterGap);
        dc.Draw3dRect(&bar, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        y += m_cySplitterGap;
    }
}

BOOL CSplitterWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    (void)cx;
    (void)cy;
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this) {
        POINT p;
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        int ht = m_bTracking ? m_htTrack : HitTest(p);
        if (ht >= hSplitterBar1) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
            return TRUE;
        }
        if (ht >= vSplitterBar1) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint pt)
{
    int ht = HitTest(pt);
    if (ht == noHit) return;
    StartTracking(ht);
    CRect rc;
    GetClientRect(&rc);
    if (ht >= hSplitterBar1) {
        int r = ht - hSplitterBar1, y = rc.top;
        for (int k = 0; k < r; ++k) y += m_pRowInfo[size_t(k)].nCurSize + m_cySplitterGap;
        m_ptTrackOffset = CPoint(0, pt.y - (y + m_pRowInfo[size_t(r)].nCurSize));
    } else {
        int c = ht - vSplitterBar1, x = rc.left;
        for (int k = 0; k < c; ++k) x += m_pColInfo[size_t(k)].nCurSize + m_cxSplitterGap;
        m_ptTrackOffset = CPoint(pt.x - (x + m_pColInfo[size_t(c)].nCurSize), 0);
    }
}

void CSplitterWnd::StartTracking(int ht)
{
    m_bTracking = TRUE;
    m_htTrack = ht;
    SetCapture();
}

void CSplitterWnd::OnMouseMove(UINT, CPoint pt)
{
    if (!m_bTracking) return;
    CRect rc;
    GetClientRect(&rc);
    // The pane before the bar takes the new size; the layout keeps the rest in bounds.
    if (m_htTrack >= hSplitterBar1) {
        int r = m_htTrack - hSplitterBar1, y = rc.top;
        for (int k = 0; k < r; ++k) y += m_pRowInfo[size_t(k)].nCurSize + m_cySplitterGap;
        int size = std::clamp<int>(pt.y - m_ptTrackOffset.y - y, 0, std::max(0, int(rc.bottom) - y - m_cySplitterGap));
        m_pRowInfo[size_t(r)].nIdealSize = size;
    } else {
        int c = m_htTrack - vSplitterBar1, x = rc.left;
        for (int k = 0; k < c; ++k) x += m_pColInfo[size_t(k)].nCurSize + m_cxSplitterGap;
        int size = std::clamp<int>(pt.x - m_ptTrackOffset.x - x, 0, std::max(0, int(rc.right) - x - m_cxSplitterGap));
        m_pColInfo[size_t(c)].nIdealSize = size;
    }
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint) { StopTracking(TRUE); }

void CSplitterWnd::StopTracking(BOOL)
{
    if (!m_bTracking) return;
    m_bTracking = FALSE;
    m_htTrack = noHit;
    if (CWnd::GetCapture() == this) ::ReleaseCapture();
}

void CSplitterWnd::OnCancelMode() { StopTracking(FALSE); }

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* view = nullptr;
    if (CFrameWnd* f = GetParentFrame()) view = f->GetActiveView();
    if (!view || !IsChildPane(view, pRow, pCol)) {
        view = CWnd::GetFocus();
        if (!view || !IsChildPane(view, pRow, pCol)) return nullptr;
    }
    return view;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pane = pWnd ? pWnd : GetPane(row, col);
    if (!pane) return;
    CFrameWnd* f = GetParentFrame();
    if (f && pane->IsKindOf(RUNTIME_CLASS(CView))) f->SetActiveView(static_cast<CView*>(pane));
    else pane->SetFocus();
}

BOOL CSplitterWnd::CanActivateNext(BOOL) { return m_nRows * m_nCols > 1; }

void CSplitterWnd::ActivateNext(BOOL bPrev)
{
    int row = 0, col = 0;
    if (!GetActivePane(&row, &col)) return;
    int n = m_nRows * m_nCols, i = row * m_nCols + col;
    for (int k = 0; k < n; ++k) {
        i = (i + (bPrev ? n - 1 : 1)) % n;
        CWnd* p = GetPane(i / m_nCols, i % m_nCols);
        if (p && p->IsWindowVisible()) {
            SetActivePane(i / m_nCols, i % m_nCols);
            return;
        }
    }
}

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    // Commands from the panes go on to the frame.
    CWnd* parent = GetParent();
    return parent && parent->SendMessage(WM_COMMAND, wParam, lParam);
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult)) return TRUE;
    CWnd* parent = GetParent();
    if (!parent) return FALSE;
    LRESULT r = parent->SendMessage(WM_NOTIFY, wParam, lParam);
    if (pResult) *pResult = r;
    return TRUE;
}
