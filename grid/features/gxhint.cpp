#include "grid/features/gxhint.h"

#include <algorithm>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "platform/win/win.h"

IMPLEMENT_DYNAMIC(CGXGridHint, CObject)

// ---- Sending and receiving ----

BOOL CGXGridUpdateHintImp::SendHint(CGXGridCore* pGrid, int nKind, const void* p1, const void* p2, DWORD d1, DWORD d2,
                                    UINT flags)
{
    if (m_bReceiving || !pGrid->IsUpdateHintsEnabled())
        return nKind == gxHintStoreEdit;
    CGXGridHint hint(nKind, pGrid->m_nGridId);
    hint.m_pRange = p1;
    hint.m_pStyle = p2;
    hint.m_nValue1 = d1;
    hint.m_nValue2 = d2;
    hint.m_nFlags = flags;
    hint.m_pSplitterWnd = pGrid->m_pSplitterWnd;
    hint.m_nSplitterRow = pGrid->m_nSplitterRow;
    hint.m_nSplitterCol = pGrid->m_nSplitterCol;
    hint.m_bResult = TRUE;
    pGrid->UpdateAllViewsOfDocument(pGrid->GetGridWnd(), 0, &hint);
    return nKind == gxHintStoreEdit ? hint.m_bResult : TRUE;
}

void CGXGridUpdateHintImp::SendHintObject(CGXGridCore* pGrid, CObject* pHint)
{
    if (!m_bReceiving && pHint)
        pGrid->UpdateAllViewsOfDocument(pGrid->GetGridWnd(), 0, pHint);
}

namespace {

class ReceivingGuard {
public:
    explicit ReceivingGuard(BOOL& b) : m_b(b), m_bOld(b) { b = TRUE; }
    ~ReceivingGuard() { m_b = m_bOld; }
    ReceivingGuard(const ReceivingGuard&) = delete;
    ReceivingGuard& operator=(const ReceivingGuard&) = delete;

private:
    BOOL& m_b;
    BOOL m_bOld;
};

// Scrolling and zoom follow only between panes of one splitter window.
bool SameSplitter(const CGXGridCore& grid, const CGXGridHint& hint)
{
    return hint.m_pSplitterWnd && hint.m_pSplitterWnd == grid.m_pSplitterWnd;
}

}  // namespace

BOOL CGXGridUpdateHintImp::ProcessHint(CGXGridCore* pGrid, CObject* pObject)
{
    auto* pHint = dynamic_cast<CGXGridHint*>(pObject);
    if (!pGrid->GetParam() || !pHint || (pHint->m_nGridId != -1 && pHint->m_nGridId != pGrid->m_nGridId))
        return FALSE;
    CGXGridHint& h = *pHint;
    ReceivingGuard receiving(m_bReceiving);
    const auto* pRange = static_cast<const CGXCellRange*>(h.m_pRange);
    const int* anOld = static_cast<const int*>(h.m_pRange);
    const ROWCOL n1 = h.m_nValue1, n2 = h.m_nValue2;
    switch (h.m_id) {
    case gxHintStyleRange:
        if (pRange)
            pGrid->RedrawRange(*pRange, static_cast<const CGXStyle*>(h.m_pStyle), int(n1), int(h.m_nValue2), h.m_nFlags,
                               FALSE);
        break;
    case gxHintStylesMap: pGrid->OnStylesMapChanged(n1, FALSE); break;
    case gxHintProperties: pGrid->RedrawWithHint(n1, FALSE); break;
    case gxHintBaseStyle: pGrid->OnBaseStyleChanged(WORD(n1), n2, FALSE); break;
    case gxHintRedrawCells:
        if (pRange)
            pGrid->RedrawCells(pRange->top, pRange->left, pRange->bottom, pRange->right, n1, FALSE);
        break;
    case gxHintRedraw: pGrid->Redraw(n1, FALSE); break;
    case gxHintTopRow:
        if (SameSplitter(*pGrid, h) && h.m_nSplitterRow == pGrid->m_nSplitterRow && h.m_nSplitterCol != pGrid->m_nSplitterCol)
            pGrid->SetTopRow(n1, n2, FALSE);
        break;
    case gxHintLeftCol:
        if (SameSplitter(*pGrid, h) && h.m_nSplitterCol == pGrid->m_nSplitterCol && h.m_nSplitterRow != pGrid->m_nSplitterRow)
            pGrid->SetLeftCol(n1, n2, FALSE);
        break;
    case gxHintFrozenRows:
        pGrid->OnFrozenRowsChanged(n1, n2);
        pGrid->Redraw(GX_INVALIDATE, FALSE);
        break;
    case gxHintFrozenCols:
        pGrid->OnFrozenColsChanged(n1, n2);
        pGrid->Redraw(GX_INVALIDATE, FALSE);
        break;
    case gxHintRowCount: pGrid->UpdateRowCount(n1, n2, FALSE); break;
    case gxHintColCount: pGrid->UpdateColCount(n1, n2, FALSE); break;
    case gxHintInsertRows: pGrid->UpdateInsertRows(n1, n2, h.m_nFlags, FALSE); break;
    case gxHintInsertCols: pGrid->UpdateInsertCols(n1, n2, h.m_nFlags, FALSE); break;
    case gxHintRemoveRows:
        if (n2)
            pGrid->UpdateRemoveRows(n1, n1 + n2 - 1, const_cast<int*>(anOld), h.m_nFlags, FALSE);
        break;
    case gxHintRemoveCols:
        if (n2)
            pGrid->UpdateRemoveCols(n1, n1 + n2 - 1, const_cast<int*>(anOld), h.m_nFlags, FALSE);
        break;
    case gxHintRecalc: pGrid->RecalcAndRefresh(BOOL(n1), nullptr, FALSE); break;
    case gxHintZoom:
        if (SameSplitter(*pGrid, h))
            pGrid->SetZoom(int(n1), GX_INVALIDATE);
        break;
    case gxHintReadOnly: pGrid->OnReadOnlyChanged(BOOL(n1), FALSE); break;
    case gxHintRowHeights: pGrid->OnRowHeightsChanged(n1, n2, const_cast<int*>(anOld), h.m_nFlags, FALSE); break;
    case gxHintColWidths: pGrid->OnColWidthsChanged(n1, n2, const_cast<int*>(anOld), h.m_nFlags, FALSE); break;
    case gxHintMoveDataRows:
        if (pRange)
            pGrid->UpdateMoveDataRows(*pRange, h.m_nFlags, FALSE);
        break;
    case gxHintMoveDataCols:
        if (pRange)
            pGrid->UpdateMoveDataCols(*pRange, h.m_nFlags, FALSE);
        break;
    case gxHintMoveRows:
    case gxHintMoveCols:
        if (const auto* pDest = static_cast<const ROWCOL*>(h.m_pRange)) {
            if (h.m_id == gxHintMoveRows)
                pGrid->UpdateMoveRows(n1, n2, *pDest, h.m_nFlags, FALSE);
            else
                pGrid->UpdateMoveCols(n1, n2, *pDest, h.m_nFlags, FALSE);
        }
        break;
    case gxHintStoreEdit:
        if (!pGrid->StoreCurrentCellEdit(TRUE, h.m_nFlags, FALSE))
            h.m_bResult = FALSE;
        break;
    default: return FALSE;  // scrolling by steps follows through the top-row hints
    }
    return TRUE;
}

// ---- Optimized update ----

namespace {

// Rows or columns of a grid, one set of calls for both.
struct Axis {
    CGXGridCore& g;
    BOOL bRows;

    ROWCOL& Top() const { return bRows ? g.m_nTopRow : g.m_nLeftCol; }
    ROWCOL Count() const { return bRows ? g.RowCount() : g.ColCount(); }
    ROWCOL Frozen() const { return bRows ? g.FrozenRows() : g.FrozenCols(); }
    ROWCOL Headers() const { return bRows ? g.HeaderCols() : g.HeaderRows(); }
    BOOL InFrozen(ROWCOL n) const { return bRows ? g.IsInFrozenRows(n) : g.IsInFrozenCols(n); }
    ROWCOL LastVisible() const { return bRows ? g.LastVisibleRow() : g.LastVisibleCol(); }
    int Pos(ROWCOL n) const { return bRows ? g.RowTopY(n) : g.ColLeftX(n); }
    int Sum(ROWCOL a, ROWCOL b, int nLimit) const { return bRows ? g.SumRowHeights(a, b, nLimit) : g.SumColWidths(a, b, nLimit); }
    BOOL RefreshHeaders() const { return bRows ? g.GetParam()->m_bRefreshRowHeaders : g.GetParam()->m_bRefreshColHeaders; }
    BOOL Spans() const { return g.GetMergeCellsMode() || g.GetFloatCellsMode(); }
    static int Start(const CRect& r, BOOL bRows) { return bRows ? r.top : r.left; }
    static int End(const CRect& r, BOOL bRows) { return bRows ? r.bottom : r.right; }
    int Start(const CRect& r) const { return Start(r, bRows); }
    int End(const CRect& r) const { return End(r, bRows); }
    // The part of the area between two positions along the axis.
    CRect Strip(const CRect& area, int from, int to) const
    {
        return bRows ? CRect(area.left, from, area.right, to) : CRect(from, area.top, to, area.bottom);
    }
    void Invalidate(const CRect& r) const
    {
        if (CWnd* pWnd = g.GetGridWnd(); pWnd && pWnd->GetSafeHwnd() && !r.IsRectEmpty())
            pWnd->InvalidateRect(&r, TRUE);
    }
    void Scroll(int delta, const CRect& r) const { g.ScrollWindowContents(bRows ? 0 : delta, bRows ? delta : 0, &r); }
    void Update(UINT flags) const
    {
        if (CWnd* pWnd = g.GetGridWnd(); pWnd && pWnd->GetSafeHwnd() && (flags & GX_UPDATENOW))
            pWnd->UpdateWindow();
    }
    // The headers' numbers from line n on change: their strip from n's position down.
    void RedrawHeadersFrom(ROWCOL n) const
    {
        if (!RefreshHeaders() || n > Count())
            return;
        const CRect area = g.GetDrawingArea();
        const ROWCOL h = Headers();
        const int nHeaderEnd = bRows ? g.ColLeftX(h) + g.ColWidth(h) : g.RowTopY(h) + g.RowHeight(h);
        const int from = n >= Top() ? Pos(n) : Start(area);
        Invalidate(bRows ? CRect(area.left, from, nHeaderEnd, area.bottom) : CRect(from, area.top, area.right, nHeaderEnd));
    }
};

}  // namespace

BOOL CGXGridOptimizedUpdateImp::Inserted(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nCount, UINT flags)
{
    const Axis ax {*pGrid, bRows};
    if (!pGrid->GetParam() || ax.InFrozen(nFirst) || ax.Spans())
        return FALSE;
    flags &= GX_INVALIDATE | GX_UPDATENOW | GX_SMART;
    if (nFirst < ax.Top()) {
        // The same lines stay on screen, one insertion further down.
        ax.Top() += nCount;
        pGrid->ResetSizeCaches();
        return TRUE;
    }
    const CRect area = pGrid->GetDrawingArea();
    if (nFirst <= ax.LastVisible()) {
        const int nPos = ax.Pos(nFirst);
        const int nAvail = ax.End(area) - nPos;
        const int nSize = ax.Sum(nFirst, nFirst + nCount - 1, nAvail);
        const CRect below = ax.Strip(area, nPos, ax.End(area));
        if ((flags & GX_INVALIDATE) || nSize >= nAvail || nFirst + nCount - 1 >= ax.Count()) {
            ax.Invalidate(below);
        } else if (flags & (GX_UPDATENOW | GX_SMART)) {
            ax.Scroll(nSize, below);
            ax.Invalidate(ax.Strip(area, nPos, nPos + nSize));
        } else {
            ax.Invalidate(below);
        }
    }
    ax.Update(flags);
    ax.RedrawHeadersFrom(nFirst + nCount);
    return TRUE;
}

BOOL CGXGridOptimizedUpdateImp::Removed(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, const int* anOld,
                                        UINT flags)
{
    const Axis ax {*pGrid, bRows};
    if (!pGrid->GetParam() || flags == GX_INVALIDATE || ax.InFrozen(nFirst) || ax.Spans())
        return FALSE;
    const CRect area = pGrid->GetDrawingArea();
    const ROWCOL nCount = nLast - nFirst + 1;
    const ROWCOL nLines = ax.Count();
    ROWCOL& nTop = ax.Top();
    if (nLines == 0) {
        nTop = 1;
        if (flags)
            ax.Invalidate(area);
        return TRUE;
    }
    if (nTop > nLines) {
        nTop = std::max(nLines, ax.Frozen() + 1);
        pGrid->ResetSizeCaches();
        ax.Invalidate(area);
        return TRUE;
    }
    if (nLast < nTop) {
        nTop -= nCount;
        pGrid->ResetSizeCaches();
        return TRUE;
    }
    if (nFirst < nTop) {
        // The removal began above the screen: the top line becomes its first.
        nTop = std::max<ROWCOL>(nFirst, std::max<ROWCOL>(1, ax.Frozen() + 1));
        pGrid->ResetSizeCaches();
        ax.Invalidate(ax.Strip(area, ax.Pos(nTop), ax.End(area)));
    } else if (nFirst > ax.LastVisible()) {
        // Below the screen: only the end of the grid may have come into view.
        if (ax.LastVisible() == nLines) {
            const ROWCOL n = nLines;
            ax.Invalidate(ax.Strip(area, ax.Pos(n) + ax.Sum(n, n, 0), ax.End(area)));
        }
    } else {
        const int nPos = ax.Pos(nFirst);
        const int nAvail = ax.End(area) - nPos;
        int nSum = 0;
        bool bFits = anOld && !(flags & GX_INVALIDATE);
        for (ROWCOL i = 0; bFits && i < nCount; ++i) {
            nSum += anOld[i];
            bFits = nSum < nAvail;
        }
        if (bFits && nSum > 0) {
            ax.Scroll(-nSum, ax.Strip(area, nPos, ax.End(area)));
            ax.Invalidate(ax.Strip(area, ax.End(area) - nSum, ax.End(area)));
        } else {
            ax.Invalidate(ax.Strip(area, nPos, ax.End(area)));
        }
    }
    // Covered blocks that reach into the removed lines from above changed their size.
    CGXRangeList& covered = pGrid->GetParam()->m_CoveredCellsList;
    for (POSITION pos = covered.GetHeadPosition(); pos;) {
        const CGXCellRange* r = covered.GetNextRange(pos);
        const ROWCOL a = bRows ? r->top : r->left, b = bRows ? r->bottom : r->right;
        if (a < nFirst && b >= nFirst)
            ax.Invalidate(pGrid->RangeToRect(*r));
    }
    ax.Update(flags);
    ax.RedrawHeadersFrom(nFirst);
    return TRUE;
}

BOOL CGXGridOptimizedUpdateImp::SizesChanged(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast,
                                             const int* anOld, UINT flags)
{
    const Axis ax {*pGrid, bRows};
    if (!pGrid->GetParam() || ax.Spans() || ax.InFrozen(nFirst) || nLast < nFirst || nLast > ax.Count())
        return FALSE;
    ROWCOL nRow = 0, nCol = 0;
    if (pGrid->QueryCurrentCell(nRow, nCol) && pGrid->IsCurrentCellControlActive()) {
        const ROWCOL n = bRows ? nRow : nCol;
        if (n >= nFirst && n <= nLast)
            pGrid->HideCurrentCellControl();  // shown again at its new place
    }
    const CRect area = pGrid->GetDrawingArea();
    if (nLast >= ax.Top() && nFirst <= ax.LastVisible()) {
        const ROWCOL nFrom = std::max(nFirst, ax.Top());
        const int nPos = ax.Pos(nFrom);
        const int nAvail = ax.End(area) - nPos;
        if (!anOld) {
            ax.Invalidate(ax.Strip(area, nPos, ax.End(area)));
        } else {
            int nOldSum = 0;
            for (ROWCOL n = nFrom; n <= nLast && nOldSum < nAvail; ++n)
                nOldSum += anOld[n - nFirst];
            const int nNewSum = ax.Sum(nFrom, nLast, nAvail);
            if (nOldSum < nAvail && nNewSum < nAvail) {
                const int nDelta = nNewSum - nOldSum;
                if (nDelta != 0 && (flags & (GX_UPDATENOW | GX_SMART))) {
                    ax.Scroll(nDelta, ax.Strip(area, nPos + std::min(nOldSum, nNewSum), ax.End(area)));
                    if (nDelta < 0)
                        ax.Invalidate(ax.Strip(area, ax.End(area) + nDelta, ax.End(area)));
                } else if (nDelta != 0) {
                    ax.Invalidate(ax.Strip(area, nPos, ax.End(area)));
                }
                ax.Invalidate(ax.Strip(area, nPos, nPos + std::max(nOldSum, nNewSum)));
            } else {
                ax.Invalidate(ax.Strip(area, nPos, ax.End(area)));
            }
        }
    }
    ax.Update(flags);
    if (flags & GX_UPDATENOW)
        pGrid->UpdateScrollBars();
    return TRUE;
}

BOOL CGXGridOptimizedUpdateImp::OnRowsInserted(CGXGridCore* g, ROWCOL a, ROWCOL n, UINT f) { return Inserted(g, TRUE, a, n, f); }
BOOL CGXGridOptimizedUpdateImp::OnColsInserted(CGXGridCore* g, ROWCOL a, ROWCOL n, UINT f) { return Inserted(g, FALSE, a, n, f); }
BOOL CGXGridOptimizedUpdateImp::OnRowsRemoved(CGXGridCore* g, ROWCOL a, ROWCOL b, const int* an, UINT f)
{
    return Removed(g, TRUE, a, b, an, f);
}
BOOL CGXGridOptimizedUpdateImp::OnColsRemoved(CGXGridCore* g, ROWCOL a, ROWCOL b, const int* an, UINT f)
{
    return Removed(g, FALSE, a, b, an, f);
}
BOOL CGXGridOptimizedUpdateImp::OnRowHeightsChanged(CGXGridCore* g, ROWCOL a, ROWCOL b, const int* an, UINT f)
{
    return SizesChanged(g, TRUE, a, b, an, f);
}
BOOL CGXGridOptimizedUpdateImp::OnColWidthsChanged(CGXGridCore* g, ROWCOL a, ROWCOL b, const int* an, UINT f)
{
    return SizesChanged(g, FALSE, a, b, an, f);
}

// ---- Installation ----

void CGXGridCore::InstallUpdateHintImp()
{
    if (m_pUpdateHintImp)
        return;
    auto* p = new CGXGridUpdateHintImp;
    m_pUpdateHintImp = p;
    AddImpToDeleteList(p);
}

void CGXGridCore::InstallOptimizedUpdateImp()
{
    if (m_pOptimizedUpdateImp)
        return;
    auto* p = new CGXGridOptimizedUpdateImp;
    m_pOptimizedUpdateImp = p;
    AddImpToDeleteList(p);
}
