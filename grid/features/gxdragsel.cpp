// Dragging selected rows and columns.

#include "grid/features/gxdragsel.h"

#include <algorithm>

#include "grid/core/gxgrid.h"
#include "grid/core/gxprop.h"
#include "grid/features/gxresize.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

namespace {

// The two cursors are system shapes on our platform.
void RegisterDragCursors()
{
    static const bool once = [] {
        PvRegisterCursorResource(GX_IDC_SELDRAG, IDC_SIZEALL);
        PvRegisterCursorResource(GX_IDC_NODROP, IDC_NO);
        return true;
    }();
    (void)once;
}

COLORREF DraggingLineColor(CGXGridCore* pGrid)
{
    CGXProperties* pProps = pGrid->GetProperties();
    CString sName;
    if (!pProps || !sName.LoadString(GX_IDS_COLOR_DRAGGINGLINE))
        return RGB(255, 0, 0);
    for (int i = 0; i < pProps->GetColorCount(); ++i)
        if (sName == pProps->GetColorName(i))
            return pProps->GetColor(i);
    return RGB(255, 0, 0);
}

// The whole-row (whole-column) range of the selection that holds the line; null when none does.
const CGXCellRange* SelectedLinesHolding(CGXGridParam* pParam, BOOL bRows, ROWCOL n)
{
    CGXRangeList& sel = pParam->m_SelRects;
    for (POSITION pos = sel.GetHeadPosition(); pos;) {
        const CGXCellRange* r = sel.GetNextRange(pos);
        if (bRows && r->IsRows() && n >= r->top && n <= r->bottom)
            return r;
        if (!bRows && r->IsCols() && n >= r->left && n <= r->right)
            return r;
    }
    return nullptr;
}

BOOL WholeTableSelected(CGXGridParam* pParam)
{
    CGXRangeList& sel = pParam->m_SelRects;
    for (POSITION pos = sel.GetHeadPosition(); pos;)
        if (sel.GetNextRange(pos)->IsTable())
            return TRUE;
    return FALSE;
}

}  // namespace

CGXGridUserDragSelectRangeImp::~CGXGridUserDragSelectRangeImp() { DestroyLine(); }

// ---- Mouse ----

BOOL CGXGridUserDragSelectRangeImp::OnDragMouseDown(CGXGridCore* pGrid, UINT, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || WholeTableSelected(pParam) || !pParam->m_SelRects.IsCellInList(nRow, nCol))
        return FALSE;
    const ROWCOL nHdrRows = pGrid->HeaderRows(), nHdrCols = pGrid->HeaderCols();
    const BOOL bColHeader = nRow <= nHdrRows && nCol > nHdrCols && pParam->IsDragColsAllowed()
                            && SelectedLinesHolding(pParam, FALSE, nCol);
    const BOOL bRowHeader = nCol <= nHdrCols && nRow > nHdrRows && pParam->IsDragRowsAllowed()
                            && SelectedLinesHolding(pParam, TRUE, nRow);
    if (!bColHeader && !bRowHeader)
        return FALSE;
    m_bPending = TRUE;
    m_nMode = bColHeader ? kCols : kRows;
    m_nPressRow = nRow;
    m_nPressCol = nCol;
    m_bMoved = FALSE;
    if (!StartDragSelect(pGrid, nRow, nCol)) {
        // A refused drag leaves the press to the selection (Ctrl and Shift clicks among them).
        m_bPending = FALSE;
        m_nMode = kNone;
        return FALSE;
    }
    if (pGrid->m_bAutoScroll) {
        pGrid->m_bAutoScrollVert = m_nMode == kRows && pGrid->FrozenRows() < m_nFirst;
        pGrid->m_bAutoScrollHorz = m_nMode == kCols && pGrid->FrozenCols() < m_nFirst;
    }
    pGrid->CaptureMouse();
    return TRUE;
}

BOOL CGXGridUserDragSelectRangeImp::StartDragSelect(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    m_nDropRow = std::max<ROWCOL>(nRow, 1);
    m_nDropCol = std::max<ROWCOL>(nCol, 1);
    const BOOL bRows = m_nMode == kRows;
    const CGXCellRange* pRange = pParam ? SelectedLinesHolding(pParam, bRows, bRows ? nRow : nCol) : nullptr;
    if (!pRange)
        return FALSE;
    m_nFirst = bRows ? pRange->top : pRange->left;
    m_nLast = bRows ? pRange->bottom : pRange->right;
    if (!(bRows ? pGrid->CanDragRows(m_nFirst, m_nLast) : pGrid->CanDragCols(m_nFirst, m_nLast)))
        return FALSE;
    RegisterDragCursors();
    m_bRefused = FALSE;
    pGrid->ForceCursor(GX_IDC_SELDRAG);
    return TRUE;
}

ROWCOL CGXGridUserDragSelectRangeImp::DropAt(CGXGridCore* pGrid, CPoint point) const
{
    const BOOL bRows = m_nMode == kRows;
    const ROWCOL nCount = bRows ? pGrid->RowCount() : pGrid->ColCount();
    const ROWCOL nIndex = bRows ? pGrid->ViewRowAtY(point.y) : pGrid->ViewColAtX(point.x);
    if (nIndex == CGXGridCore::GX_INVALID)
        return nCount + 1;
    const ROWCOL n = bRows ? pGrid->ViewIndexToRow(nIndex) : pGrid->ViewIndexToCol(nIndex);
    return std::clamp<ROWCOL>(n, 1, nCount + 1);
}

BOOL CGXGridUserDragSelectRangeImp::CanDrop(CGXGridCore* pGrid, ROWCOL nDrop) const
{
    return m_nMode == kRows ? pGrid->CanDropRows(m_nFirst, m_nLast, nDrop) : pGrid->CanDropCols(m_nFirst, m_nLast, nDrop);
}

BOOL CGXGridUserDragSelectRangeImp::OnDragMouseMove(CGXGridCore* pGrid, CPoint point)
{
    if (!m_bPending)
        return FALSE;
    const ROWCOL nDrop = DropAt(pGrid, point);
    if (m_nMode == kRows)
        MoveDragSelect(pGrid, nDrop, m_nDropCol);
    else
        MoveDragSelect(pGrid, m_nDropRow, nDrop);
    return TRUE;
}

void CGXGridUserDragSelectRangeImp::MoveDragSelect(CGXGridCore* pGrid, ROWCOL nDropRow, ROWCOL nDropCol)
{
    const BOOL bRows = m_nMode == kRows;
    const ROWCOL nDrop = bRows ? nDropRow : nDropCol;
    const ROWCOL nOld = bRows ? m_nDropRow : m_nDropCol;
    const BOOL bShown = m_pLineWnd && m_pLineWnd->GetSafeHwnd() && m_pLineWnd->IsWindowVisible();
    if (nDrop == nOld && (bShown || m_bRefused))
        return;
    m_bMoved = m_bMoved || nDrop != nOld;
    m_nDropRow = std::max<ROWCOL>(nDropRow, 1);
    m_nDropCol = std::max<ROWCOL>(nDropCol, 1);
    HideLine();
    m_bRefused = !CanDrop(pGrid, nDrop);
    if (m_bRefused) {
        pGrid->ForceCursor(GX_IDC_NODROP);
        return;
    }
    pGrid->ForceCursor(GX_IDC_SELDRAG);
    ShowLine(pGrid, nDrop);
}

BOOL CGXGridUserDragSelectRangeImp::OnDragMouseUp(CGXGridCore* pGrid, CPoint point)
{
    if (!m_bPending)
        return FALSE;
    // A release on the pressed header that never went elsewhere is that header's click.
    ROWCOL nRow = 0, nCol = 0;
    pGrid->HitTest(point, &nRow, &nCol);
    if (!m_bMoved && nRow == m_nPressRow && nCol == m_nPressCol) {
        Finish(pGrid);
        pGrid->OnLeftCellClick(nRow, nCol, 0);
        return TRUE;
    }
    const ROWCOL nDrop = DropAt(pGrid, point);
    if (m_nMode == kRows)
        EndDragSelect(pGrid, nDrop, m_nDropCol);
    else
        EndDragSelect(pGrid, m_nDropRow, nDrop);
    return TRUE;
}

BOOL CGXGridUserDragSelectRangeImp::EndDragSelect(CGXGridCore* pGrid, ROWCOL nDropRow, ROWCOL nDropCol)
{
    const BOOL bRows = m_nMode == kRows;
    const ROWCOL nFirst = m_nFirst, nLast = m_nLast;
    const ROWCOL nDrop = std::max<ROWCOL>(bRows ? nDropRow : nDropCol, 1);
    Finish(pGrid);
    if (!CanDrop(pGrid, nDrop))
        return FALSE;
    if (!(bRows ? pGrid->ConfirmDropRows(nFirst, nLast, nDrop) : pGrid->ConfirmDropCols(nFirst, nLast, nDrop)))
        return FALSE;
    // Onto itself or right after itself the block stays.
    if ((nDrop >= nFirst && nDrop <= nLast) || (nDrop - 1 >= nFirst && nDrop - 1 <= nLast))
        return FALSE;
    const ROWCOL nDest = nDrop > nLast ? nDrop - (nLast - nFirst + 1) : nDrop;
    return bRows ? pGrid->MoveRows(nFirst, nLast, nDest, GX_UPDATENOW) : pGrid->MoveCols(nFirst, nLast, nDest, GX_UPDATENOW);
}

void CGXGridUserDragSelectRangeImp::CancelDragSelect(CGXGridCore* pGrid)
{
    if (!m_bPending)
        return;
    Finish(pGrid);
}

void CGXGridUserDragSelectRangeImp::Finish(CGXGridCore* pGrid)
{
    m_bPending = FALSE;
    m_nMode = kNone;
    m_bRefused = FALSE;
    DestroyLine();
    if (pGrid->HasMouseCapture())
        ::ReleaseCapture();
    pGrid->ForceCursor(0);
}

// ---- The drop line ----

void CGXGridUserDragSelectRangeImp::ShowLine(CGXGridCore* pGrid, ROWCOL nDrop)
{
    CWnd* pWnd = pGrid->GetGridWnd();
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    if (!m_pLineWnd) {
        m_pLineWnd = new CGXDragLineWnd(pGrid);
        if (!m_pLineWnd->CreateOver(pWnd, DraggingLineColor(pGrid))) {
            DestroyLine();
            return;
        }
    }
    // The grid line before the drop position: the left (top) edge of that line, or the far edge
    // of the last one beyond the end; kept inside the drawing area.
    const BOOL bRows = m_nMode == kRows;
    const CRect area = pGrid->GetDrawingArea();
    const ROWCOL nCount = bRows ? pGrid->RowCount() : pGrid->ColCount();
    int nPos;
    if (nDrop <= nCount)
        nPos = bRows ? pGrid->RowTopY(nDrop) : pGrid->ColLeftX(nDrop);
    else
        nPos = bRows ? pGrid->RowTopY(nCount) + pGrid->RowHeight(nCount) : pGrid->ColLeftX(nCount) + pGrid->ColWidth(nCount);
    CRect rect;
    if (bRows) {
        nPos = std::clamp<int>(nPos - 1, area.top, std::max<int>(area.top, area.bottom - 1));
        rect.SetRect(area.left, nPos, area.right, nPos + 1);
    } else {
        nPos = std::clamp<int>(nPos - 1, area.left, std::max<int>(area.left, area.right - 1));
        rect.SetRect(nPos, area.top, nPos + 1, area.bottom);
    }
    m_pLineWnd->ShowAt(rect);
}

void CGXGridUserDragSelectRangeImp::HideLine()
{
    if (m_pLineWnd)
        m_pLineWnd->Hide();
}

void CGXGridUserDragSelectRangeImp::DestroyLine()
{
    if (!m_pLineWnd)
        return;
    m_pLineWnd->Remove();
    delete m_pLineWnd;
    m_pLineWnd = nullptr;
}

void CGXGridCore::InstallUserDragSelectRangeImp()
{
    InstallUserSelectRangeImp();
    InstallMoveRowsColsImp();
    if (m_pUserDragSelectRangeImp)
        return;
    auto* p = new CGXGridUserDragSelectRangeImp;
    m_pUserDragSelectRangeImp = p;
    AddImpToDeleteList(p);
}
