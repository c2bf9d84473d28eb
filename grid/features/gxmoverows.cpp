// Moving rows and columns.

#include "grid/features/gxmoverows.h"

#include <algorithm>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"

namespace {

// The lines a move of [first, last] to dest renumbers: from the lower of the two starts to the
// far end of whichever lies further.
void TouchedLines(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, ROWCOL& nFrom, ROWCOL& nTo)
{
    const ROWCOL n = nLast - nFirst + 1;
    nFrom = std::min(nFirst, nDest);
    nTo = std::max(nLast, nDest + n - 1);
}

BOOL AnyCoveredTouched(CGXGridParam* pParam, BOOL bRows, ROWCOL nFrom, ROWCOL nTo)
{
    CGXRangeList& list = pParam->m_CoveredCellsList;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CGXCellRange* r = list.GetNextRange(pos);
        const ROWCOL a = bRows ? r->top : r->left, b = bRows ? r->bottom : r->right;
        if (b >= nFrom && a <= nTo)
            return TRUE;
    }
    return FALSE;
}

}  // namespace

// ---- The public move ----

BOOL CGXGridMoveRowsColsImp::Move(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest,
                                  UINT flags, int ctCmd)
{
    CGXGridParam* pParam = pGrid->GetParam();
    const ROWCOL nCount = bRows ? pGrid->RowCount() : pGrid->ColCount();
    if (!pParam || nFirst > nLast || nLast > nCount || nFirst == 0)
        return FALSE;
    // The block must fit where it goes.
    if (nDest == 0 || ULONGLONG(nDest) + (nLast - nFirst) > nCount)
        return FALSE;
    if (!pGrid->StoreCurrentCellEdit(TRUE, GX_UPDATENOW, TRUE))
        return FALSE;
    CGXFrameLock frameLock(*pGrid);
    CGXLongOperation theOp;

    const CGXGridLibraryState& lib = GXGetLibraryState();
    const CString sName = lib.m_astrTexts[bRows ? gxTextMoveRows : gxTextMoveCols];
    if (ctCmd == gxDo)
        pGrid->BeginTransaction(sName);
    // Covered cells follow the lines they start in, and the move back is their exact inverse,
    // so undo needs nothing of them; their drawing does need the whole grid.
    ROWCOL nFrom = 0, nTo = 0;
    TouchedLines(nFirst, nLast, nDest, nFrom, nTo);
    if (AnyCoveredTouched(pParam, bRows, nFrom, nTo))
        flags |= GX_INVALIDATE;

    const BOOL bUndo = pGrid->m_pUndoImp && ctCmd != gxRollback && pParam->IsEnableUndo();
    CGXData* pData = pGrid->GetData();
    const BOOL bOldDataUndo = pData ? pData->EnableUndoInfo(pParam->IsEnableUndo() && ctCmd != gxRollback) : FALSE;
    const BOOL bStored = bRows ? pGrid->StoreMoveRows(nFirst, nLast, nDest, FALSE)
                               : pGrid->StoreMoveCols(nFirst, nLast, nDest, FALSE);
    if (pData)
        pData->EnableUndoInfo(bOldDataUndo);

    if (!bStored) {
        if (pData)
            pData->DiscardUndoInfo();
        if (ctCmd == gxDo)
            pGrid->Rollback();
        return FALSE;
    }
    bRows ? pGrid->UpdateMoveRows(nFirst, nLast, nDest, flags, TRUE) : pGrid->UpdateMoveCols(nFirst, nLast, nDest, flags, TRUE);
    if (bUndo) {
        const ROWCOL nBack = nDest + (nLast - nFirst);
        pGrid->AddCommand(bRows ? pGrid->m_pUndoImp->CreateMoveRowsCmd(nDest, nBack, nFirst)
                                : pGrid->m_pUndoImp->CreateMoveColsCmd(nDest, nBack, nFirst),
                          ctCmd);
    } else if (pData) {
        pData->DiscardUndoInfo();
    }
    if ((ctCmd == gxUndo || ctCmd == gxRedo) && pGrid->m_pUndoImp)
        pGrid->m_pUndoImp->SetCurrentCellAfterCommand(pGrid, bRows ? nDest : pGrid->GetTopRow(),
                                                      bRows ? pGrid->GetLeftCol() : nDest, FALSE);
    if (ctCmd == gxDo)
        pGrid->CommitTransaction();
    return TRUE;
}

BOOL CGXGridMoveRowsColsImp::MoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, int ctCmd)
{
    return Move(pGrid, TRUE, nFirst, nLast, nDest, flags, ctCmd);
}

BOOL CGXGridMoveRowsColsImp::MoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, int ctCmd)
{
    return Move(pGrid, FALSE, nFirst, nLast, nDest, flags, ctCmd);
}

// ---- Storing ----

BOOL CGXGridMoveRowsColsImp::Store(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXData* pData = pGrid->GetData();
    // Read-only grids rearrange their lines too: a move changes no cell.
    if (!pParam || nFirst == nDest)
        return FALSE;
    const BOOL bMoved = pData && (bRows ? pData->MoveRows(nFirst, nLast, nDest) : pData->MoveCols(nFirst, nLast, nDest));
    if (!bMoved && !bForce)
        return FALSE;
    pGrid->SetDocumentModified(TRUE);
    // Hidden bits and floating or merged spans are the core's to move once this has answered.
    (bRows ? pParam->m_RowHeights : pParam->m_ColWidths).MoveKeys(nFirst, nLast, nDest);
    const ROWCOL nMax = bRows ? pGrid->RowCount() : pGrid->ColCount();
    for (CGXRangeList* pList : {&pParam->m_SelRects, &pParam->m_CoveredCellsList, &pParam->m_CutRanges})
        bRows ? pList->AdjustForMovedRows(nFirst, nLast, nDest, nMax) : pList->AdjustForMovedCols(nFirst, nLast, nDest, nMax);
    pParam->RebuildCoveredCellPool();
    pGrid->ResetSizeCaches();
    return TRUE;
}

BOOL CGXGridMoveRowsColsImp::StoreMoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce)
{
    return Store(pGrid, TRUE, nFirst, nLast, nDest, bForce);
}

BOOL CGXGridMoveRowsColsImp::StoreMoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce)
{
    return Store(pGrid, FALSE, nFirst, nLast, nDest, bForce);
}

// ---- After the move ----

void CGXGridMoveRowsColsImp::Update(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest,
                                    UINT flags, BOOL bCreateHint)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return;
    // The current cell goes with its line.
    ROWCOL nRow = 0, nCol = 0;
    if (pGrid->QueryCurrentCell(nRow, nCol)) {
        ROWCOL& n = bRows ? nRow : nCol;
        const ROWCOL nMoved = GXMovedIndex(n, nFirst, nLast, nDest);
        if (nMoved != n) {
            n = nMoved;
            pGrid->StoreCurrentCellPosition(nRow, nCol);
        }
        pGrid->ResetCurrentCellStyle();
        if (CGXControl* pControl = pGrid->CurrentCellControl())
            pControl->InitForCell(nRow, nCol);
    }
    if (POSITION pos = pParam->m_SelRects.GetHeadPosition())
        pGrid->UpdateExcelLikeFrame(*pParam->m_SelRects.GetNextRange(pos), GX_NOREDRAW);

    if (!pParam->m_bLockRedraw && flags != GX_NOREDRAW) {
        ROWCOL nFrom = 0, nTo = 0;
        TouchedLines(nFirst, nLast, nDest, nFrom, nTo);
        const ROWCOL nFrozen = bRows ? pGrid->FrozenRows() : pGrid->FrozenCols();
        const BOOL bWhole = (flags & GX_INVALIDATE) || nFrom <= nFrozen || pGrid->GetFloatCellsMode()
                            || pGrid->GetMergeCellsMode();
        pGrid->UpdateScrollBars(TRUE, FALSE);
        CWnd* pWnd = pGrid->GetGridWnd();
        if (bWhole) {
            pGrid->Redraw(flags & GX_UPDATENOW ? GX_UPDATENOW : GX_INVALIDATE, FALSE);
        } else if (pWnd && pWnd->GetSafeHwnd()) {
            // Only the strip from the first renumbered line on changed.
            CRect rect = pGrid->GetDrawingArea();
            const ROWCOL nStart = std::max(nFrom, bRows ? pGrid->GetTopRow() : pGrid->GetLeftCol());
            if (bRows)
                rect.top = std::max<int>(rect.top, pGrid->RowTopY(nStart));
            else
                rect.left = std::max<int>(rect.left, pGrid->ColLeftX(nStart));
            // The headers of the strip are part of it.
            if (bRows)
                rect.left = 0;
            else
                rect.top = 0;
            pWnd->InvalidateRect(&rect, FALSE);
            if (flags & GX_UPDATENOW)
                pWnd->UpdateWindow();
        }
    }
    if (bCreateHint && pGrid->m_pUpdateHintImp && pGrid->IsUpdateHintsEnabled())
        pGrid->m_pUpdateHintImp->SendHint(pGrid, bRows ? gxHintMoveRows : gxHintMoveCols, &nDest, nullptr, nFirst, nLast,
                                          flags);
}

void CGXGridMoveRowsColsImp::UpdateAfterMoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags,
                                                 BOOL bCreateHint)
{
    Update(pGrid, TRUE, nFirst, nLast, nDest, flags, bCreateHint);
}

void CGXGridMoveRowsColsImp::UpdateAfterMoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags,
                                                 BOOL bCreateHint)
{
    Update(pGrid, FALSE, nFirst, nLast, nDest, flags, bCreateHint);
}

void CGXGridCore::InstallMoveRowsColsImp()
{
    if (m_pMoveRowsColsImp)
        return;
    auto* p = new CGXGridMoveRowsColsImp;
    m_pMoveRowsColsImp = p;
    AddImpToDeleteList(p);
}
