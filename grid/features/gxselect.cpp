// Mouse and keyboard selection.

#include "grid/features/gxselect.h"

#include <algorithm>

#include "grid/core/gxgrid.h"
#include "platform/win/win.h"

namespace {

enum : WORD {
    kSelRows = 0x01,
    kSelCols = 0x02,
    kSelTopLeft = 0x04,
    kSelCorner = 0x08,
    kSelCtrl = 0x10,
    kSelShift = 0x20,
    kSelKeys = 0x40,
};
enum : WORD { kActRows = 0x01, kActAlways = 0x02 };
enum : WORD { kMouseSelecting = 0x0002, kClickOnAnchor = 0x0080 };

CGXCellRange Ordered(ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2)
{
    return CGXCellRange(std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2));
}

CGXCellRange RowsRange(ROWCOL a, ROWCOL b) { return CGXCellRange().SetRows(std::min(a, b), std::max(a, b)); }
CGXCellRange ColsRange(ROWCOL a, ROWCOL b) { return CGXCellRange().SetCols(std::min(a, b), std::max(a, b)); }

BOOL KeyDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

// The selection frame (gxfill.h) follows the selection's first range.
static void UpdateFrameForSelection(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam->m_bExcelLikeFrame)
        return;
    const POSITION head = pParam->m_SelRects.GetHeadPosition();
    pGrid->UpdateExcelLikeFrame(head ? *pParam->m_SelRects.GetRange(head) : CGXCellRange(), GX_INVALIDATE);
}

// ---- Changing the list ----

void CGXGridUserSelectRangeImp::SetSelectionRange(CGXGridCore* pGrid, POSITION pos, const CGXCellRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXRangeList former;
    former.Assign(pParam->m_SelRects);
    if (!pos) {
        pParam->m_SelRects.DeleteAll();
        m_posEdit = nullptr;
    } else {
        CGXCellRange r = range;
        if (pParam->TestActivateCellFlags(kActRows | kActAlways) && r.IsValid() && !r.IsTable())
            r = CGXCellRange().SetRows(r.top, r.bottom);
        *pParam->m_SelRects.GetRange(pos) = r;
    }
    RedrawSelectionChange(pGrid, former);
}

void CGXGridUserSelectRangeImp::SelectCell(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bRedraw)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXRangeList former;
    former.Assign(pParam->m_SelRects);
    pParam->m_SelRects.DeleteAll();
    m_posEdit = nullptr;
    if (range.IsValid())
        m_posEdit = pParam->m_SelRects.AddRange(range);
    if (bRedraw)
        RedrawSelectionChange(pGrid, former);
    else
        UpdateFrameForSelection(pGrid);
}

void CGXGridUserSelectRangeImp::AddOrRemoveRange(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bAdd)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXRangeList former;
    former.Assign(pParam->m_SelRects);
    if (bAdd) {
        m_posEdit = pParam->m_SelRects.AddRange(range);
    } else {
        // The row (column) leaves every range that holds it: a range splits around it.
        CGXRangeList rest;
        for (POSITION pos = pParam->m_SelRects.GetHeadPosition(); pos;) {
            const CGXCellRange r = *pParam->m_SelRects.GetNextRange(pos);
            const BOOL bRows = range.IsRows() && (r.IsRows() || r.IsTable());
            const BOOL bCols = range.IsCols() && (r.IsCols() || r.IsTable());
            if (bRows && range.top <= r.bottom && range.bottom >= r.top && !r.IsTable()) {
                if (r.top < range.top)
                    rest.AddRange(CGXCellRange().SetRows(r.top, range.top - 1));
                if (r.bottom > range.bottom)
                    rest.AddRange(CGXCellRange().SetRows(range.bottom + 1, r.bottom));
            } else if (bCols && range.left <= r.right && range.right >= r.left && !r.IsTable()) {
                if (r.left < range.left)
                    rest.AddRange(CGXCellRange().SetCols(r.left, range.left - 1));
                if (r.right > range.right)
                    rest.AddRange(CGXCellRange().SetCols(range.right + 1, r.right));
            } else {
                rest.AddRange(r);
            }
        }
        pParam->m_SelRects.DeleteAll();
        for (POSITION pos = rest.GetHeadPosition(); pos;)
            pParam->m_SelRects.AddRange(*rest.GetNextRange(pos));
        m_posEdit = pParam->m_SelRects.GetTailPosition();
    }
    RedrawSelectionChange(pGrid, former);
}

// ---- Repainting what changed ----

void CGXGridUserSelectRangeImp::RedrawSelectionChange(CGXGridCore* pGrid, const CGXRangeList& former)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CWnd* pWnd = pGrid->GetGridWnd();
    if (pParam->m_bLockRedraw || !pWnd || !pWnd->GetSafeHwnd() || !pWnd->IsWindowVisible()) {
        UpdateFrameForSelection(pGrid);
        return;
    }
    // Only what the window shows: the frozen lines, then the scrolled ones up to the last visible.
    std::vector<ROWCOL> rows, cols;
    const ROWCOL nFrozenRows = pGrid->FrozenRows(), nFrozenCols = pGrid->FrozenCols();
    const ROWCOL nLastRow = std::min(pGrid->LastVisibleRow(), pGrid->RowCount());
    const ROWCOL nLastCol = std::min(pGrid->LastVisibleCol(), pGrid->ColCount());
    for (ROWCOL r = 0; r <= std::min(nFrozenRows, nLastRow); ++r)
        rows.push_back(r);
    for (ROWCOL r = std::max(pGrid->GetTopRow(), nFrozenRows + 1); r <= nLastRow; ++r)
        rows.push_back(r);
    for (ROWCOL c = 0; c <= std::min(nFrozenCols, nLastCol); ++c)
        cols.push_back(c);
    for (ROWCOL c = std::max(pGrid->GetLeftCol(), nFrozenCols + 1); c <= nLastCol; ++c)
        cols.push_back(c);
    BOOL bAny = FALSE;
    for (ROWCOL r : rows)
        for (ROWCOL c : cols) {
            if (pParam->m_SelRects.IsCellInList(r, c) == former.IsCellInList(r, c))
                continue;
            const CRect rect = pGrid->CellToRect(r, c);
            if (!rect.IsRectEmpty()) {
                pWnd->InvalidateRect(&rect, FALSE);
                bAny = TRUE;
            }
        }
    if (bAny)
        pWnd->UpdateWindow();
    UpdateFrameForSelection(pGrid);
    // The last range is the one the user goes on with.
    POSITION tail = pParam->m_SelRects.GetTailPosition();
    if (!tail) {
        m_posEdit = nullptr;
    } else if (m_posEdit != tail) {
        m_posEdit = tail;
    }
}

void CGXGridUserSelectRangeImp::RedrawSelection(CGXGridCore* pGrid)
{
    CGXRangeList none;
    RedrawSelectionChange(pGrid, none);
}

// ---- Mouse ----

BOOL CGXGridUserSelectRangeImp::DeselectByCtrlClick(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    if (!KeyDown(VK_CONTROL))
        return FALSE;
    CGXGridParam* pParam = pGrid->GetParam();
    const ROWCOL nHdrRows = pGrid->HeaderRows(), nHdrCols = pGrid->HeaderCols();
    const BOOL bRowHeader = nCol <= nHdrCols && nRow > nHdrRows;
    const BOOL bColHeader = nRow <= nHdrRows && nCol > nHdrCols;
    if (!bRowHeader && !bColHeader)
        return FALSE;
    for (POSITION pos = pParam->m_SelRects.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const CGXCellRange* r = pParam->m_SelRects.GetNextRange(pos);
        if (at == m_posEdit && pParam->m_SelRects.GetCount() > 1)
            continue;
        if (bRowHeader && r->IsRows() && nRow >= r->top && nRow <= r->bottom) {
            AddOrRemoveRange(pGrid, CGXCellRange().SetRows(nRow), FALSE);
            return TRUE;
        }
        if (bColHeader && r->IsCols() && nCol >= r->left && nCol <= r->right) {
            AddOrRemoveRange(pGrid, CGXCellRange().SetCols(nCol), FALSE);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CGXGridUserSelectRangeImp::OnSelectMouseDown(CGXGridCore* pGrid, UINT flags, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    m_bPlainClick = FALSE;
    if (!pParam || !pParam->TestSelectionFlags(0xFF))
        return FALSE;
    const BOOL bActRows = pParam->TestActivateCellFlags(kActRows);
    const BOOL bActAlways = pParam->TestActivateCellFlags(kActAlways);
    const BOOL bCtrl = (flags & MK_CONTROL) && !bActRows && (bActAlways || pParam->TestSelectionFlags(kSelCtrl));
    const BOOL bShift = (flags & MK_SHIFT) && !bActRows && (bActAlways || pParam->TestSelectionFlags(kSelShift));
    const ROWCOL nHdrRows = pGrid->HeaderRows(), nHdrCols = pGrid->HeaderCols();
    const BOOL bColHeader = nRow <= nHdrRows && nCol > nHdrCols;
    const BOOL bRowHeader = nCol <= nHdrCols && nRow > nHdrRows;
    const BOOL bCorner = nRow <= nHdrRows && nCol <= nHdrCols;
    const ROWCOL nAnchorRow = m_bHasAnchor ? m_nAnchorRow : nRow, nAnchorCol = m_bHasAnchor ? m_nAnchorCol : nCol;

    CGXCellRange range;
    if (bRowHeader) {
        if (!pParam->TestSelectionFlags(kSelRows))
            return FALSE;
        range = RowsRange(bShift ? std::max(nAnchorRow, nHdrRows + 1) : nRow, nRow);
    } else if (bColHeader) {
        if (!pParam->TestSelectionFlags(kSelCols))
            return FALSE;
        range = ColsRange(bShift ? std::max(nAnchorCol, nHdrCols + 1) : nCol, nCol);
    } else if (bCorner) {
        const BOOL bTopLeft = nRow == 0 && nCol == 0;
        if (!pParam->TestSelectionFlags(bTopLeft ? kSelTopLeft : kSelCorner))
            return FALSE;
        range.SetTable();
    } else {
        range = bShift ? Ordered(nAnchorRow, nAnchorCol, nRow, nCol) : CGXCellRange(nRow, nCol);
        CGXCellRange covered;
        if (!bShift && pGrid->GetCoveredCellsRowCol(nRow, nCol, covered))
            range = covered;
    }
    if (bActRows && !range.IsTable())
        range = CGXCellRange().SetRows(range.top, range.bottom);
    if (!pGrid->CanSelectRange(range))
        return FALSE;

    if (bCtrl && DeselectByCtrlClick(pGrid, nRow, nCol)) {
        // The removed header stays out: no drag may stretch it back.
        return TRUE;
    }
    if (bShift && m_posEdit) {
        SetSelectionRange(pGrid, m_posEdit, range);
    } else if (bCtrl || bShift) {
        AddOrRemoveRange(pGrid, range, TRUE);
    } else {
        SelectCell(pGrid, range, TRUE);
        m_bPlainClick = !bRowHeader && !bColHeader && !bCorner;
    }
    if (!bShift || !m_bHasAnchor) {
        m_nAnchorRow = nRow;
        m_nAnchorCol = nCol;
        m_bHasAnchor = TRUE;
    }
    pGrid->m_wStateFlags |= kMouseSelecting;
    return TRUE;
}

CGXCellRange CGXGridUserSelectRangeImp::RangeFromAnchor(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) const
{
    CGXGridParam* pParam = pGrid->GetParam();
    const ROWCOL nHdrRows = pGrid->HeaderRows(), nHdrCols = pGrid->HeaderCols();
    if (pParam->TestActivateCellFlags(kActRows))
        return CGXCellRange().SetRows(nRow);
    if (m_nAnchorRow <= nHdrRows && m_nAnchorCol > nHdrCols)
        return ColsRange(m_nAnchorCol, std::max(nCol, nHdrCols + 1));
    if (m_nAnchorCol <= nHdrCols && m_nAnchorRow > nHdrRows)
        return RowsRange(m_nAnchorRow, std::max(nRow, nHdrRows + 1));
    if (m_nAnchorRow <= nHdrRows && m_nAnchorCol <= nHdrCols)
        return CGXCellRange().SetTable();
    return Ordered(m_nAnchorRow, m_nAnchorCol, std::max(nRow, nHdrRows + 1), std::max(nCol, nHdrCols + 1));
}

BOOL CGXGridUserSelectRangeImp::OnSelectMouseMove(CGXGridCore* pGrid, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!(pGrid->m_wStateFlags & kMouseSelecting) || !pParam->TestSelectionFlags(0xFF) || !m_bHasAnchor || !m_posEdit)
        return FALSE;
    const CGXCellRange range = RangeFromAnchor(pGrid, nRow, nCol);
    if (*pParam->m_SelRects.GetRange(m_posEdit) == range || !pGrid->CanSelectRange(range))
        return TRUE;
    SetSelectionRange(pGrid, m_posEdit, range);
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::OnSelectMouseUp(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!(pGrid->m_wStateFlags & kMouseSelecting))
        return FALSE;
    pGrid->m_wStateFlags &= WORD(~kMouseSelecting);
    const BOOL bOnAnchor = m_bHasAnchor && nRow == m_nAnchorRow && nCol == m_nAnchorCol;
    if (!pParam->TestActivateCellFlags(kActRows | kActAlways) && bOnAnchor && m_bPlainClick) {
        if (pGrid->m_wStateFlags & kClickOnAnchor) {
            if (m_posEdit && pGrid->CanSelectRange(CGXCellRange(nRow, nCol)))
                SetSelectionRange(pGrid, m_posEdit, CGXCellRange(nRow, nCol));
        } else if (!pParam->m_bKeepClickSelection) {
            // A plain click leaves only the current cell.
            SetSelectionRange(pGrid, nullptr, CGXCellRange());
        }
    }
    m_bPlainClick = FALSE;
    return TRUE;
}

// ---- Keys ----

BOOL CGXGridUserSelectRangeImp::ExtendSelectionByKey(CGXGridCore* pGrid, int nDirection, UINT nCount)
{
    CGXGridParam* pParam = pGrid->GetParam();
    const BOOL bExtend = KeyDown(VK_SHIFT) && pParam->TestSelectionFlags(kSelKeys);
    ROWCOL nRow = 0, nCol = 0;
    const BOOL bActRows = pParam->TestActivateCellFlags(kActRows);
    const BOOL bActAlways = pParam->TestActivateCellFlags(kActAlways);
    if (!bActRows && !bActAlways) {
        if (!bExtend) {
            m_posEdit = nullptr;
            m_bHasAnchor = FALSE;
            return pGrid->MoveCurrentCell(nDirection, nCount, TRUE);
        }
        if (!pGrid->QueryCurrentCell(nRow, nCol))
            return FALSE;
        if (!m_posEdit || !m_bHasAnchor) {
            const CGXCellRange start(nRow, nCol);
            if (!pGrid->CanSelectRange(start))
                return FALSE;
            CGXRangeList former;
            former.Assign(pParam->m_SelRects);
            m_posEdit = pParam->m_SelRects.AddRange(start);
            m_nAnchorRow = nRow;
            m_nAnchorCol = nCol;
            m_bHasAnchor = TRUE;
        }
        if (!pGrid->MoveCurrentCell(nDirection, nCount, FALSE) || !pGrid->QueryCurrentCell(nRow, nCol))
            return FALSE;
        const CGXCellRange range = Ordered(m_nAnchorRow, m_nAnchorCol, nRow, nCol);
        if (!pGrid->CanSelectRange(range))
            return FALSE;
        SetSelectionRange(pGrid, m_posEdit, range);
        return TRUE;
    }
    if (!pGrid->QueryCurrentCell(nRow, nCol))
        return FALSE;
    if (bActRows && !m_posEdit) {
        SetSelectionRange(pGrid, nullptr, CGXCellRange());
        m_posEdit = pParam->m_SelRects.AddRange(CGXCellRange().SetRows(nRow));
    } else if (bActAlways && (!m_posEdit || !bExtend)) {
        m_posEdit = pParam->m_SelRects.AddRange(CGXCellRange().SetRows(nRow));
        m_nAnchorRow = nRow;
        m_nAnchorCol = nCol;
        m_bHasAnchor = TRUE;
    }
    if (!pGrid->MoveCurrentCell(nDirection, nCount, FALSE) || !pGrid->QueryCurrentCell(nRow, nCol))
        return FALSE;
    const CGXCellRange range = bActAlways && bExtend ? RowsRange(m_nAnchorRow, nRow) : CGXCellRange().SetRows(nRow);
    if (!pGrid->CanSelectRange(range))
        return FALSE;
    SetSelectionRange(pGrid, m_posEdit, range);
    if (!bExtend || bActRows) {
        m_nAnchorRow = nRow;
        m_nAnchorCol = nCol;
        m_bHasAnchor = TRUE;
    }
    return TRUE;
}

// ---- The core's entry points ----

BOOL CGXGridUserSelectRangeImp::MoveCurrentCell(CGXGridCore* pGrid, int nDirection, UINT nCount, BOOL)
{
    return ExtendSelectionByKey(pGrid, nDirection, nCount);
}
BOOL CGXGridUserSelectRangeImp::OnStartSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return OnSelectMouseDown(pGrid, flags, point, nRow, nCol);
}
BOOL CGXGridUserSelectRangeImp::OnMoveSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT, CPoint point)
{
    return OnSelectMouseMove(pGrid, point, nRow, nCol);
}
BOOL CGXGridUserSelectRangeImp::OnEndSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT, CPoint)
{
    return OnSelectMouseUp(pGrid, nRow, nCol);
}
BOOL CGXGridUserSelectRangeImp::SetSelection(CGXGridCore* pGrid, const CGXCellRange* pRange, BOOL bRedraw)
{
    if (pRange && pRange->IsValid() && !pGrid->CanSelectRange(*pRange))
        return FALSE;
    SelectCell(pGrid, pRange ? *pRange : CGXCellRange(), bRedraw);
    return TRUE;
}
BOOL CGXGridUserSelectRangeImp::ClearSelection(CGXGridCore* pGrid, BOOL bRedraw)
{
    SelectCell(pGrid, CGXCellRange(), bRedraw);
    m_bHasAnchor = FALSE;
    return TRUE;
}

void CGXGridCore::InstallUserSelectRangeImp()
{
    if (m_pUserSelectRangeImp)
        return;
    auto* p = new CGXGridUserSelectRangeImp;
    m_pUserSelectRangeImp = p;
    AddImpToDeleteList(p);
}
