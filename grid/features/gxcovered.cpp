#include "grid/features/gxcovered.h"

#include <algorithm>
#include <new>

#include "grid/core/gxgrid.h"

namespace {

// Bounds that mean "no such cell" to the lookups.
constexpr ROWCOL kNoCell = 0x7FFFFFFF;

CGXCoveredCellPool* PoolOf(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return nullptr;
    pParam->CreateCoveredCellPool();
    return dynamic_cast<CGXCoveredCellPool*>(pParam->GetCoveredCellPool());
}

BOOL IsStorable(const CGXCellRange& r)
{
    if (r.bottom >= GX_MAX_COVERED_INDEX || r.right >= GX_MAX_COVERED_INDEX || r.top > r.bottom || r.left > r.right)
        return FALSE;
    return (unsigned long long)(r.bottom - r.top + 1) * (r.right - r.left + 1) <= GX_MAX_COVERED_CELLS;
}

}  // namespace

// ---- Pool ----

BOOL CGXCoveredCellPool::Enter(CGXCellRange* pArea)
{
    if (!pArea || IsAnyCovered(*pArea, pArea))
        return FALSE;
    if (m_rows.size() <= pArea->bottom)
        m_rows.resize(size_t(pArea->bottom) + 1);
    for (ROWCOL r = pArea->top; r <= pArea->bottom; ++r) {
        auto& row = m_rows[r];
        if (!row)
            row = std::make_unique<std::vector<CGXCellRange*>>();
        if (row->size() <= pArea->right)
            row->resize(size_t(pArea->right) + 1, nullptr);
        std::fill(row->begin() + pArea->left, row->begin() + pArea->right + 1, pArea);
    }
    return TRUE;
}

void CGXCoveredCellPool::Clear(const CGXCellRange* pArea)
{
    if (!pArea)
        return;
    for (ROWCOL r = pArea->top; r <= pArea->bottom && r < m_rows.size(); ++r) {
        if (!m_rows[r])
            continue;
        auto& row = *m_rows[r];
        for (ROWCOL c = pArea->left; c < row.size() && row[c] == pArea; ++c)
            row[c] = nullptr;
    }
}

CGXCellRange* CGXCoveredCellPool::Lookup(ROWCOL nRow, ROWCOL nCol) const
{
    if (nRow >= m_rows.size() || !m_rows[nRow] || nCol >= m_rows[nRow]->size())
        return nullptr;
    return (*m_rows[nRow])[nCol];
}

BOOL CGXCoveredCellPool::IsAnyCovered(const CGXCellRange& rect, const CGXCellRange* pExcept) const
{
    for (ROWCOL r = rect.top; r <= rect.bottom && r < m_rows.size(); ++r) {
        if (!m_rows[r])
            continue;
        const auto& row = *m_rows[r];
        for (ROWCOL c = rect.left; c <= rect.right && c < row.size(); ++c)
            if (row[c] && row[c] != pExcept)
                return TRUE;
    }
    return FALSE;
}

void CGXCoveredCellPoolImp::RebuildCoveredCellPool(CObject* pObject, CGXRangeList& list)
{
    auto* pPool = dynamic_cast<CGXCoveredCellPool*>(pObject);
    if (!pPool)
        return;
    pPool->RemoveAll();
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CGXCellRange* pArea = list.GetNextRange(pos);
        if (!pArea->IsValid() || !pArea->IsCells() || !IsStorable(*pArea) || !pPool->Enter(pArea))
            list.DeleteAt(at);
    }
}

void GXInstallCoveredCellPoolImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (d->m_pCoveredCellPoolImp)
        return;
    auto* p = new CGXCoveredCellPoolImp;
    d->m_pCoveredCellPoolImp = p;
    GXGetLibraryState().AddImpToDeleteList(p);
}

// ---- The feature ----

BOOL CGXGridCoveredCellsImp::GetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    if (nRow >= kNoCell || nCol >= kNoCell)
        return FALSE;
    const CGXCoveredCellPool* pPool = PoolOf(pGrid);
    const CGXCellRange* pArea = pPool ? pPool->Lookup(nRow, nCol) : nullptr;
    if (!pArea)
        return FALSE;
    range = *pArea;
    return TRUE;
}

BOOL CGXGridCoveredCellsImp::StoreCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom,
                                                     ROWCOL nRight, BOOL bSet)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXCoveredCellPool* pPool = PoolOf(pGrid);
    if (!pParam || !pPool || nBottom >= kNoCell || nRight >= kNoCell)
        return FALSE;
    if (pParam->m_bLockReadOnly && pGrid->IsReadOnly())
        return FALSE;
    CGXRangeList& list = pParam->m_CoveredCellsList;
    POSITION posAt = nullptr;
    for (POSITION pos = list.GetHeadPosition(); pos && !posAt;) {
        const POSITION p = pos;
        const CGXCellRange* r = list.GetNextRange(pos);
        if (r->top == nTop && r->left == nLeft)
            posAt = p;
    }
    if (!bSet) {
        if (!posAt)
            return FALSE;  // only an area's first cell removes it
        pPool->Clear(list.GetRange(posAt));
        list.DeleteAt(posAt);
        pGrid->SetDocumentModified(TRUE);
        return TRUE;
    }
    const CGXCellRange area(nTop, nLeft, std::max(nTop, nBottom), std::max(nLeft, nRight));
    if (!IsStorable(area))
        return FALSE;
    CGXCellRange* pOld = posAt ? list.GetRange(posAt) : nullptr;
    if (pOld && *pOld == area)
        return FALSE;
    // The whole rectangle is checked before anything changes: an area never overlaps another.
    if (pPool->IsAnyCovered(area, pOld))
        return FALSE;
    try {
        if (pOld) {
            pPool->Clear(pOld);  // a smaller area must not leave cells pointing at it
            *pOld = area;
            pPool->Enter(pOld);
        } else {
            pPool->Enter(list.GetRange(list.AddRange(area)));
        }
    } catch (const std::bad_alloc&) {
        pParam->RebuildCoveredCellPool();
        return FALSE;
    }
    pGrid->SetDocumentModified(TRUE);
    return TRUE;
}

void CGXGridCoveredCellsImp::ExpandRangeToCovered(CGXGridCore* pGrid, CGXCellRange& range)
{
    CGXCoveredCellPool* pPool = PoolOf(pGrid);
    if (!pPool || !range.IsCells())
        return;
    for (BOOL bGrew = TRUE; bGrew;) {
        bGrew = FALSE;
        for (ROWCOL r = range.top; r <= range.bottom && !bGrew; ++r)
            for (ROWCOL c = range.left; c <= range.right && !bGrew; ++c)
                if (const CGXCellRange* a = pPool->Lookup(r, c);
                    a && (a->top < range.top || a->left < range.left || a->bottom > range.bottom || a->right > range.right)) {
                    range.UnionOf(CGXCellRange(range), *a);
                    bGrew = TRUE;
                }
    }
}

BOOL CGXGridCoveredCellsImp::SetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom,
                                                   ROWCOL nRight, UINT flags, int ctCmd)
{
    CGXCellRange old(nTop, nLeft);
    GetCoveredCellsRowCol(pGrid, nTop, nLeft, old);
    const BOOL bSingle = nBottom <= nTop && nRight <= nLeft;
    if (!StoreCoveredCellsRowCol(pGrid, nTop, nLeft, nBottom, nRight, !bSingle))
        return FALSE;
    CGXCellRange redraw;
    redraw.UnionOf(old, CGXCellRange(nTop, nLeft, std::max(nTop, nBottom), std::max(nLeft, nRight)));
    pGrid->QueueFloatCellsRange(redraw);
    pGrid->QueueMergeCellsRange(redraw);
    CGXCellRange span;
    for (ROWCOL corner : {0, 1})
        if (pGrid->SpanOfCell(corner ? redraw.bottom : redraw.top, corner ? redraw.right : redraw.left, span))
            redraw.UnionOf(CGXCellRange(redraw), span);
    UpdateCoveredCellsRowCol(pGrid, redraw.top, redraw.left, redraw.bottom, redraw.right, flags, TRUE);
    CGXGridParam* pParam = pGrid->GetParam();
    if (ctCmd != gxRollback && pGrid->m_pUndoImp && pParam && pParam->IsEnableUndo())
        if (CGXCommand* pCmd = pGrid->m_pUndoImp->CreateSetCoveredCellsCmd(old.top, old.left, old.bottom, old.right))
            pGrid->AddCommand(pCmd, ctCmd);
    return TRUE;
}

void CGXGridCoveredCellsImp::UpdateCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom,
                                                      ROWCOL nRight, UINT flags, BOOL bCreateHint)
{
    pGrid->RedrawCells(nTop, nLeft, nBottom, nRight, flags, bCreateHint);
}

void CGXGridCoveredCellsImp::AdjustCoveredCells(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bRows, int)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || nFirst > nLast)
        return;
    CGXRangeList& list = pParam->m_CoveredCellsList;
    BOOL bChanged = FALSE;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CGXCellRange* a = list.GetNextRange(pos);
        ROWCOL& start = bRows ? a->top : a->left;
        ROWCOL& end = bRows ? a->bottom : a->right;
        if (start >= nFirst && start <= nLast) {
            list.DeleteAt(at);  // starts inside the removed block
            bChanged = TRUE;
        } else if (start < nFirst && end >= nFirst && end <= nLast) {
            end = nFirst - 1;  // ends inside it: cut back before it
            bChanged = TRUE;
        }
    }
    if (bChanged)
        pParam->RebuildCoveredCellPool();
}

// ---- Installation ----

void CGXGridCore::InstallCoveredCellsImp()
{
    if (m_pCoveredCellsImp)
        return;
    auto* p = new CGXGridCoveredCellsImp;
    m_pCoveredCellsImp = p;
    AddImpToDeleteList(p);
    GXInstallCoveredCellPoolImp();
    if (m_pParam)
        m_pParam->CreateCoveredCellPool();
    InstallDrawSpannedCellsImp();
}
