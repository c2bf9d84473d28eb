// Scrolling: the top row and left column, moving the window contents by whole rows and columns,
// the scroll bars (scaled so that grids beyond 32,767 rows scroll over their whole range), the
// scroll-bar messages and automatic scrolling. Nothing here walks more rows than a page holds.

#include <algorithm>
#include <cassert>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/win.h"

namespace {

// Scroll-bar units stay within the 15-bit range of a bar.
constexpr int kMaxScrollUnits = 0x7FFF;
// Mode bits.
constexpr int kModeAlways = 1;
constexpr int kModeWhenNeeded = 2;
constexpr int kModeRangeOnly = 4;
constexpr int kModeLastPageAtEdge = 8;
// Scroll directions of ScrollCells.
constexpr int kUp = 1, kLeft = 2, kDown = 3, kRight = 4;
// Counts beyond this jump straight to the target instead of stepping over hidden rows one by one.
constexpr ROWCOL kMaxSteppedCount = 4096;
// Auto-scroll timer.
constexpr UINT_PTR kAutoScrollTimer = 992;
constexpr UINT kAutoScrollPeriod = 10;
// Dialog items a registered parent window lends the grid as its scroll bars: the ids of the
// framework's splitter and of the tab window, 0xEA00 horizontal and 0xEA10 vertical.
constexpr int kParentHorzBarId = 0xEA00;
constexpr int kParentVertBarId = 0xEA10;

}  // namespace

// ---- Pages ----

// From the last row (column) back, the rows that fit beside the frozen ones; at least the last.
ROWCOL CGXGridCore::LastPageStart(BOOL bRows)
{
    const ROWCOL nFirst = (bRows ? FrozenRows() : FrozenCols()) + 1;
    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    if (nCount <= nFirst)
        return nFirst;
    auto size = [&](ROWCOL n) { return bRows ? RowHeight(n) : ColWidth(n); };
    const CRect area = GetDrawingArea();
    const int nAvail = (bRows ? area.Height() : area.Width())
                       - (bRows ? SumRowHeights(0, nFirst - 1) : SumColWidths(0, nFirst - 1));
    ROWCOL nStart = nCount;
    int nSum = size(nCount);
    while (nStart > nFirst) {
        const int n = size(nStart - 1);
        if (nSum + n > nAvail)
            break;
        nSum += n;
        --nStart;
    }
    return nStart;
}

ROWCOL CGXGridCore::LastPageTopRow() { return LastPageStart(TRUE); }
ROWCOL CGXGridCore::LastPageLeftCol() { return LastPageStart(FALSE); }

// The last row (column) whose whole height (width) lies inside the drawing area.
ROWCOL CGXGridCore::LastFullyVisible(BOOL bRows)
{
    const CRect area = GetDrawingArea();
    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    const int nEnd = bRows ? area.bottom : area.right;
    int pos = bRows ? area.top : area.left;
    ROWCOL nLast = 0;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL n = bRows ? ViewIndexToRow(i) : ViewIndexToCol(i);
        if (n > nCount)
            return nCount;
        pos += bRows ? RowHeight(n) : ColWidth(n);
        if (pos > nEnd)
            return nLast;
        nLast = n;
    }
}

// ---- Scroll position ----

BOOL CGXGridCore::SetTopRow(ROWCOL nRow, UINT flags, BOOL bCreateHint)
{
    return SetScrollPosition(TRUE, nRow, flags, bCreateHint);
}

BOOL CGXGridCore::SetLeftCol(ROWCOL nCol, UINT flags, BOOL bCreateHint)
{
    return SetScrollPosition(FALSE, nCol, flags, bCreateHint);
}

BOOL CGXGridCore::SetScrollPosition(BOOL bRows, ROWCOL n, UINT flags, BOOL bCreateHint)
{
    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    if (n >= nCount)
        n = nCount;
    if (n == 0)
        n = 1;
    ResetSizeCaches();
    if (m_bPrinting) {
        (bRows ? m_nPrintTopRow : m_nPrintLeftCol) = n;
        return TRUE;
    }
    n = std::max(n, (bRows ? FrozenRows() : FrozenCols()) + 1);
    ROWCOL& nPos = bRows ? m_nTopRow : m_nLeftCol;
    BOOL bChanged = FALSE;
    if (m_pParam && m_pParam->m_bLockRedraw) {
        if (bRows ? CanChangeTopRow(n) : CanChangeLeftCol(n)) {
            bChanged = nPos != n;
            nPos = n;
        }
    } else if ((flags & (GX_UPDATENOW | GX_SMART)) && nPos != n) {
        if (!(bRows ? CanChangeTopRow(n) : CanChangeLeftCol(n)))
            return FALSE;
        bChanged = MoveContentsTo(bRows, n, flags);
    } else if (nPos != n) {
        if (!(bRows ? CanChangeTopRow(n) : CanChangeLeftCol(n)))
            return FALSE;
        nPos = n;
        bChanged = TRUE;
        SetGridScrollPos(bRows ? SB_VERT : SB_HORZ, int(n));
        if (flags & GX_INVALIDATE) {
            UpdateScrollBars();
            if (m_pGridWnd && m_pGridWnd->GetSafeHwnd()) {
                const CRect area = GetDrawingArea();
                m_pGridWnd->InvalidateRect(&area, FALSE);
            }
        }
    }
    if (bChanged && bCreateHint && m_bHintsEnabled && m_pUpdateHintImp)
        m_pUpdateHintImp->SendHint(this, bRows ? gxHintTopRow : gxHintLeftCol, nullptr, nullptr, n, flags);
    return bChanged;
}

BOOL CGXGridCore::ScrollCells(int nDirection, ROWCOL nCount, UINT flags)
{
    if (nCount == 0 || nDirection < kUp || nDirection > kRight)
        return FALSE;
    ResetSizeCaches();
    const BOOL bRows = nDirection == kUp || nDirection == kDown;
    const BOOL bBack = nDirection == kUp || nDirection == kLeft;
    const ROWCOL nCur = bRows ? m_nTopRow : m_nLeftCol;
    const ROWCOL nFirst = (bRows ? FrozenRows() : FrozenCols()) + 1;
    const ROWCOL nLast = std::max(nFirst, bRows ? LastPageTopRow() : LastPageLeftCol());
    auto size = [&](ROWCOL n) { return bRows ? RowHeight(n) : ColWidth(n); };

    ROWCOL nNew = nCur;
    if (nCount > kMaxSteppedCount) {
        nNew = bBack ? (nCur > nFirst + nCount ? nCur - nCount : nFirst) : std::min<ROWCOL>(nLast, nCur + nCount);
    } else {
        // Hidden rows (height 0) are stepped over, so a line always moves something visible.
        for (ROWCOL step = 0; step < nCount; ++step) {
            ROWCOL n = nNew;
            do {
                if (bBack ? n <= nFirst : n >= nLast) {
                    n = nNew;
                    break;
                }
                n = bBack ? n - 1 : n + 1;
            } while (size(n) == 0);
            if (n == nNew)
                break;
            nNew = n;
        }
    }
    nNew = std::clamp(nNew, nFirst, nLast);
    if (nNew == nCur)
        return FALSE;
    if (!(bRows ? CanChangeTopRow(nNew) : CanChangeLeftCol(nNew)))
        return FALSE;
    return MoveContentsTo(bRows, nNew, flags);
}

// Moves the pixels that stay by the height (width) of the rows that left and lets only the
// uncovered band repaint; composed styles and GDI objects survive the scroll.
BOOL CGXGridCore::MoveContentsTo(BOOL bRows, ROWCOL nNew, UINT flags)
{
    ROWCOL& nPos = bRows ? m_nTopRow : m_nLeftCol;
    const ROWCOL nOld = nPos;
    if (nOld == nNew)
        return FALSE;
    struct ScrollingFlag {
        BOOL& b;
        ~ScrollingFlag() { b = FALSE; }
    } scrolling {m_bScrolling};
    m_bScrolling = TRUE;
    ResetSizeCaches();

    const CRect area = GetDrawingArea();
    const ROWCOL nFrozen = bRows ? FrozenRows() : FrozenCols();
    const int nFixed = bRows ? SumRowHeights(0, nFrozen) : SumColWidths(0, nFrozen);
    CRect rectScroll = area;
    (bRows ? rectScroll.top : rectScroll.left) += nFixed;
    const int nExtent = bRows ? rectScroll.Height() : rectScroll.Width();
    const ROWCOL nLo = std::min(nOld, nNew), nHi = std::max(nOld, nNew);
    const int nDistance = nExtent > 0 ? (bRows ? SumRowHeights(nLo, nHi - 1, nExtent) : SumColWidths(nLo, nHi - 1, nExtent)) : 0;

    nPos = nNew;
    const BOOL bWindow = m_pGridWnd && m_pGridWnd->GetSafeHwnd() && m_pGridWnd->IsWindowVisible()
                         && !(m_pParam && m_pParam->m_bLockRedraw) && !rectScroll.IsRectEmpty();
    if (bWindow) {
        if (nDistance < nExtent) {
            const int d = nNew > nOld ? -nDistance : nDistance;
            ScrollWindowContents(bRows ? 0 : d, bRows ? d : 0, &rectScroll);
        } else {
            m_pGridWnd->InvalidateRect(&rectScroll, FALSE);
        }
    }
    const int nBar = bRows ? SB_VERT : SB_HORZ;
    SetGridScrollPos(nBar, int(nNew));
    const ROWCOL nFirst = nFrozen + 1;
    if (nNew == nFirst || nNew == (bRows ? LastPageTopRow() : LastPageLeftCol()))
        UpdateScrollBars();
    if (bWindow) {
        if (!m_pParam || m_pParam->m_bImmediateScrollUpdate || (flags & GX_UPDATENOW))
            m_pGridWnd->UpdateWindow();
        else
            m_bDeferredUpdatePending = TRUE;
    }
    return TRUE;
}

BOOL CGXGridCore::ScrollWithHint(int nDirection, ROWCOL nCount, UINT flags, BOOL bCreateHint)
{
    const BOOL bScrolled = ScrollCells(nDirection, nCount, flags);
    if (bScrolled && bCreateHint && m_bHintsEnabled && m_pUpdateHintImp)
        m_pUpdateHintImp->SendHint(this, gxHintScroll, nullptr, nullptr, DWORD(nDirection), nCount);
    return bScrolled;
}

void CGXGridCore::ScrollWindowContents(int dx, int dy, const CRect* pRect)
{
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd() || (dx == 0 && dy == 0))
        return;
    if (m_pExcelLikeFillImp && m_pParam && m_pParam->m_nFillFlags)
        HideFillHandle();
    m_pGridWnd->ScrollWindowEx(dx, dy, pRect, pRect, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

BOOL CGXGridCore::CanChangeTopRow(ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanChangeLeftCol(ROWCOL) { return TRUE; }

BOOL CGXGridCore::ScrollToCell(ROWCOL nRow, ROWCOL nCol, int nMode, BOOL bFloated)
{
    if (!m_pParam)
        return FALSE;
    const UINT flags = UINT(nMode);
    const ROWCOL nFrozenRows = FrozenRows(), nFrozenCols = FrozenCols();
    CGXCellRange span;
    if (SpanOfCell(nRow, nCol, span) && (bFloated || !GetFloatCellsMode())) {
        if (span.top > nFrozenRows && nRow <= nFrozenRows)
            nRow = nFrozenRows + 1;
        if (span.left > nFrozenCols && nCol <= nFrozenCols)
            nCol = nFrozenCols + 1;
    }
    BOOL bChanged = FALSE;
    const CRect area = GetDrawingArea();

    if (nRow > nFrozenRows && nRow <= RowCount()) {
        if (nRow < m_nTopRow) {
            bChanged |= SetTopRow(nRow, flags);
        } else if (nRow > LastFullyVisible(TRUE)) {
            if (IsCurrentCellControlActive())
                CurrentCellControl()->HandleScrollMessage(WM_VSCROLL);
            // The rows from t to nRow under the frozen rows fill the area as far as they fit.
            int nSum = SumRowHeights(0, nFrozenRows) + RowHeight(nRow);
            ROWCOL t = nRow;
            while (t > nFrozenRows + 1 && nSum + RowHeight(t - 1) <= area.Height()) {
                nSum += RowHeight(t - 1);
                --t;
            }
            bChanged |= SetTopRow(std::min(t, RowCount()), flags);
        }
    }
    if (nCol > nFrozenCols && nCol <= ColCount()) {
        if (nCol < m_nLeftCol) {
            bChanged |= SetLeftCol(nCol, flags);
        } else if (nCol > LastFullyVisible(FALSE)) {
            if (IsCurrentCellControlActive())
                CurrentCellControl()->HandleScrollMessage(WM_HSCROLL);
            int nSum = SumColWidths(0, nFrozenCols) + ColWidth(nCol);
            ROWCOL t = nCol;
            while (t > nFrozenCols + 1 && nSum + ColWidth(t - 1) <= area.Width()) {
                nSum += ColWidth(t - 1);
                --t;
            }
            bChanged |= SetLeftCol(std::min(t, ColCount()), flags);
        }
    }
    if ((flags & (GX_UPDATENOW | GX_SMART)) && !m_pParam->m_bLockRedraw && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->UpdateWindow();
    return bChanged;
}

// ---- Scroll bars ----

int CGXGridCore::GetScrollScale(int nBar) const { return nBar == SB_VERT ? m_nVScrollScale : m_nHScrollScale; }

void CGXGridCore::SetScrollBarMode(int nBar, int nMode, BOOL bApply)
{
    if (nBar == SB_VERT || nBar == SB_BOTH)
        m_nVScrollMode = nMode;
    if (nBar == SB_HORZ || nBar == SB_BOTH)
        m_nHScrollMode = nMode;
    if (!bApply)
        return;
    if (nMode == 0)
        ShowScrollBar(nBar, FALSE);
    else if (nMode & kModeAlways)
        ShowScrollBar(nBar, TRUE);
    if (nMode & kModeWhenNeeded)
        UpdateScrollBars();
}

int CGXGridCore::GetScrollBarMode(int nBar)
{
    if (nBar == SB_VERT)
        return m_nVScrollMode;
    if (nBar == SB_HORZ)
        return m_nHScrollMode;
    return 0;
}

void CGXGridCore::LockScrollBars(BOOL bLock)
{
    const BOOL bOld = m_bLockScrollBars;
    m_bLockScrollBars = bLock;
    if (bOld && !bLock)
        UpdateScrollBars();
}

void CGXGridCore::ShowScrollBar(int nBar, BOOL bShow)
{
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->ShowScrollBar(UINT(nBar), bShow);
}

void CGXGridCore::UpdateScrollBars(BOOL bImmediate, BOOL bOnlyIfCountsChanged)
{
    if (!m_bInitDone || !m_pParam || m_bUpdatingScrollBars || m_bLockScrollBars || m_pParam->m_bLockRedraw)
        return;
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd() || (!m_pGridWnd->IsWindowVisible() && !m_bForceScrollBarUpdate))
        return;
    if (m_nVScrollMode == 0 && m_nHScrollMode == 0)
        return;
    // Showing or hiding a bar resizes the window, which asks for this update again.
    struct Updating {
        BOOL& b;
        ~Updating() { b = FALSE; }
    } updating {m_bUpdatingScrollBars};
    m_bUpdatingScrollBars = TRUE;
    if (m_bPrinting) {
        ShowScrollBar(SB_BOTH, FALSE);
        return;
    }
    CRect rectClient;
    m_pGridWnd->GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    const ROWCOL nRows = m_nVScrollMode ? RowCount() : 0;
    const ROWCOL nCols = m_nHScrollMode ? ColCount() : 0;
    if (bOnlyIfCountsChanged && nRows == m_nScrollBarRows && nCols == m_nScrollBarCols)
        return;

    ResetSizeCaches();
    const ROWCOL nLastTop = LastPageTopRow(), nLastLeft = LastPageLeftCol();
    if ((m_nVScrollMode & kModeLastPageAtEdge) && m_nTopRow > nLastTop) {
        MoveContentsTo(TRUE, nLastTop, GX_UPDATENOW);
        m_bFullRepaintNeeded = TRUE;
    }
    if ((m_nHScrollMode & kModeLastPageAtEdge) && m_nLeftCol > nLastLeft) {
        MoveContentsTo(FALSE, nLastLeft, GX_UPDATENOW);
        m_bFullRepaintNeeded = TRUE;
    }

    const DWORD dwStyleBefore = m_pGridWnd->GetStyle() & (WS_VSCROLL | WS_HSCROLL);
    UpdateOneScrollBar(SB_VERT, m_nVScrollMode, FrozenRows() + 1, nLastTop, m_nTopRow);
    UpdateOneScrollBar(SB_HORZ, m_nHScrollMode, FrozenCols() + 1, nLastLeft, m_nLeftCol);
    const DWORD dwStyleAfter = m_pGridWnd->GetStyle() & (WS_VSCROLL | WS_HSCROLL);

    if (dwStyleBefore != dwStyleAfter) {
        // The client area changed under the pass in progress.
        m_bFullRepaintNeeded = TRUE;
        ResetSizeCaches();
        if (!bImmediate) {
            m_pGridWnd->UpdateWindow();
            CRect band;
            m_pGridWnd->GetClientRect(&band);
            if ((dwStyleBefore ^ dwStyleAfter) & WS_VSCROLL)
                band.left = std::max<int>(band.left, band.right - 2 * GetSystemMetrics(SM_CXVSCROLL));
            else
                band.top = std::max<int>(band.top, band.bottom - 2 * GetSystemMetrics(SM_CYHSCROLL));
            m_pGridWnd->InvalidateRect(&band, FALSE);
            m_pGridWnd->UpdateWindow();
        }
    }
    if (m_nVScrollMode)
        SetGridScrollPos(SB_VERT, int(m_nTopRow), TRUE);
    if (m_nHScrollMode)
        SetGridScrollPos(SB_HORZ, int(m_nLeftCol), TRUE);
    m_nScrollBarRows = nRows;
    m_nScrollBarCols = nCols;
}

void CGXGridCore::UpdateOneScrollBar(int nBar, int nMode, ROWCOL nFirst, ROWCOL nLast, ROWCOL nPos)
{
    const int nShowMode = nMode & ~kModeLastPageAtEdge;
    const BOOL bShown = (m_pGridWnd->GetStyle() & (nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    const BOOL bFits = nLast <= nFirst && nPos <= nFirst;
    if (nShowMode == 0) {
        if (bShown)
            ShowScrollBar(nBar, FALSE);
        return;
    }
    if ((nShowMode & kModeWhenNeeded) && bFits) {
        if (bShown)
            ShowScrollBar(nBar, FALSE);
        return;
    }
    SetGridScrollRange(nBar, int(nFirst), int(nLast), FALSE);
    SetGridScrollPos(nBar, int(nPos), FALSE);
    if ((nShowMode & (kModeAlways | kModeWhenNeeded)) && !(nShowMode & kModeRangeOnly) && !bShown)
        ShowScrollBar(nBar, TRUE);
}

void CGXGridCore::SetGridScrollRange(int nBar, int nMin, int nMax, BOOL bRedraw)
{
    const int nMode = GetScrollBarMode(nBar);
    if (nMode == 0 || !m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return;
    SCROLLINFO si {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    int nPage = 0;
    if (nMode & kModeLastPageAtEdge) {
        const int nCount = int(nBar == SB_VERT ? RowCount() : ColCount());
        nPage = nCount - nMax + 1;
        nMax = nCount;
    }
    // The scale follows the range's end so that the units never leave the bar's range.
    const int nScale = std::max(nMax, 0) / kMaxScrollUnits + 1;
    (nBar == SB_VERT ? m_nVScrollScale : m_nHScrollScale) = nScale;
    if (nMax < nMin) {
        nMin = nMax;
        nPage = nScale;
    }
    si.nMin = nMin / nScale;
    si.nMax = nMax / nScale;
    si.nPage = UINT(nPage / nScale);
    if (!m_pGridWnd->SetScrollInfo(nBar, &si, bRedraw))
        m_pGridWnd->SetScrollRange(nBar, si.nMin, si.nMax, bRedraw);
    m_bScrollRangeChanged = TRUE;
}

void CGXGridCore::GetGridScrollRange(int nBar, int& nMin, int& nMax)
{
    nMin = nMax = 0;
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return;
    m_pGridWnd->GetScrollRange(nBar, &nMin, &nMax);
    const int nScale = GetScrollScale(nBar);
    nMin *= nScale;
    nMax *= nScale;
}

void CGXGridCore::SetGridScrollPos(int nBar, int nPos, BOOL bRedraw)
{
    if (GetScrollBarMode(nBar) == 0 || !m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return;
    m_pGridWnd->SetScrollPos(nBar, nPos / GetScrollScale(nBar), bRedraw);
}

int CGXGridCore::GetGridScrollPos(int nBar)
{
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return 0;
    return m_pGridWnd->GetScrollPos(nBar) * GetScrollScale(nBar);
}

// A thumb position in bar units back to a row: the inverse of GetGridScrollPos, kept inside the
// scrollable rows, with the bar's last position meaning the last page exactly.
ROWCOL CGXGridCore::ThumbPositionToRow(int nPos) { return ThumbPositionTo(TRUE, nPos); }
ROWCOL CGXGridCore::ThumbPositionToCol(int nPos) { return ThumbPositionTo(FALSE, nPos); }

ROWCOL CGXGridCore::ThumbPositionTo(BOOL bRows, int nPos)
{
    const int nBar = bRows ? SB_VERT : SB_HORZ;
    const ROWCOL nFirst = (bRows ? FrozenRows() : FrozenCols()) + 1;
    const ROWCOL nLast = std::max(nFirst, bRows ? LastPageTopRow() : LastPageLeftCol());
    SCROLLINFO si {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (m_pGridWnd && m_pGridWnd->GetSafeHwnd() && m_pGridWnd->GetScrollInfo(nBar, &si, SIF_RANGE | SIF_PAGE)) {
        const int nLastPos = si.nPage > 1 ? si.nMax - int(si.nPage) + 1 : si.nMax;
        if (nPos >= nLastPos)
            return nLast;
    }
    if (nPos <= 0)
        return nFirst;
    const ROWCOL n = ROWCOL(nPos) * ROWCOL(GetScrollScale(nBar));
    return std::clamp(n, nFirst, nLast);
}

CScrollBar* GXBorrowedScrollBar(const CWnd* pWnd, int nBar)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return nullptr;
    const DWORD dwStyle = pWnd->GetStyle();
    if ((nBar == SB_VERT && (dwStyle & WS_VSCROLL)) || (nBar == SB_HORZ && (dwStyle & WS_HSCROLL)))
        return nullptr;
    CWnd* pParent = FindRegisteredParent(const_cast<CWnd*>(pWnd));
    if (!pParent)
        return nullptr;
    return static_cast<CScrollBar*>(pParent->GetDlgItem(nBar == SB_VERT ? kParentVertBarId : kParentHorzBarId));
}

CScrollBar* CGXGridCore::GetScrollBarCtrl(int nBar) const { return GXBorrowedScrollBar(m_pGridWnd, nBar); }

// ---- Scroll-bar messages ----

BOOL CGXGridCore::OnGridVScroll(UINT nSBCode, UINT nPos, CScrollBar*) { return OnGridScroll(TRUE, nSBCode, nPos); }
BOOL CGXGridCore::OnGridHScroll(UINT nSBCode, UINT nPos, CScrollBar*) { return OnGridScroll(FALSE, nSBCode, nPos); }

BOOL CGXGridCore::OnGridScroll(BOOL bRows, UINT nSBCode, UINT nPos)
{
    if (!m_bInitDone || m_bLockScrollBars)
        return FALSE;
    if (IsCurrentCellControlActive())
        CurrentCellControl()->HandleScrollMessage(bRows ? WM_VSCROLL : WM_HSCROLL);
    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    const ROWCOL nFirst = (bRows ? FrozenRows() : FrozenCols()) + 1;
    if (nCount == 0 || nCount <= nFirst)
        return FALSE;
    const ROWCOL nPosNow = bRows ? m_nTopRow : m_nLeftCol;
    const int nBack = bRows ? kUp : kLeft, nForward = bRows ? kDown : kRight;
    auto size = [&](ROWCOL n) { return bRows ? RowHeight(n) : ColWidth(n); };
    const CRect area = GetDrawingArea();
    const int nAvail = (bRows ? area.Height() : area.Width())
                       - (bRows ? SumRowHeights(0, nFirst - 1) : SumColWidths(0, nFirst - 1));

    switch (nSBCode) {
    case SB_LINEUP:
        ScrollCells(nBack, 1);
        break;
    case SB_LINEDOWN:
        ScrollCells(nForward, 1);
        break;
    case SB_PAGEUP: {
        ROWCOL n = 0;
        int nSum = size(nPosNow);
        for (ROWCOL r = nPosNow; r > nFirst; --r) {
            nSum += size(r - 1);
            if (nSum > nAvail)
                break;
            ++n;
        }
        ScrollCells(nBack, std::max<ROWCOL>(n, 1));
        break;
    }
    case SB_PAGEDOWN: {
        if (nPosNow >= nCount)
            break;
        const ROWCOL nLastIn = LastFullyVisible(bRows);
        ScrollCells(nForward, nLastIn > nPosNow ? nLastIn - nPosNow : 1);
        break;
    }
    case SB_THUMBTRACK:
        if (!m_pParam->m_bThumbTrack)
            break;
        [[fallthrough]];
    case SB_THUMBPOSITION: {
        const ROWCOL nTarget = ThumbPositionTo(bRows, int(nPos));
        if (nTarget < nPosNow)
            ScrollCells(nBack, nPosNow - nTarget);
        else if (nTarget > nPosNow)
            ScrollCells(nForward, nTarget - nPosNow);
        break;
    }
    case SB_TOP:
        if (nPosNow > 1)
            ScrollCells(nBack, nPosNow - 1);
        break;
    case SB_BOTTOM:
        ScrollCells(nForward, nCount);
        break;
    case SB_ENDSCROLL:
        if (m_bDeferredUpdatePending && m_pGridWnd && m_pGridWnd->GetSafeHwnd()) {
            m_bDeferredUpdatePending = FALSE;
            m_pGridWnd->UpdateWindow();
        }
        break;
    default:
        break;
    }
    return TRUE;
}

// ---- Automatic scrolling ----

void CGXGridCore::StartAutoScroll(BOOL bVert, BOOL bHorz, int nDirection)
{
    if (!m_pGridWnd || !m_pGridWnd->GetSafeHwnd())
        return;
    m_bAutoScrollVert = bVert;
    m_bAutoScrollHorz = bHorz;
    m_bDragEnded = FALSE;
    m_nAutoScrollDirection = nDirection;
    if (!m_pGridWnd->SetTimer(kAutoScrollTimer, kAutoScrollPeriod, nullptr)) {
        m_bAutoScroll = FALSE;
        return;
    }
    m_nAutoScrollTimer = kAutoScrollTimer;
    m_bAutoScroll = TRUE;
    m_pGridWnd->PostMessage(WM_TIMER, kAutoScrollTimer, 0);
}
