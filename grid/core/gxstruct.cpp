// Structure operations (counts, rows and columns, frozen rows) and the forwarders to the
// feature objects; a missing feature answers 0.

#include <memory>
#include <vector>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxspanhooks.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/cmdui.h"
#include "platform/win/win.h"

#include "grid/core/gxctrl.h"

namespace {

// The sizes of rows or columns about to be removed, in pixels.
std::vector<int> SaveSizes(CGXGridCore& grid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo)
{
    std::vector<int> sizes;
    sizes.reserve(nTo - nFrom + 1);
    for (ROWCOL n = nFrom;; ++n) {
        sizes.push_back(bRows ? grid.RowHeight(n) : grid.ColWidth(n));
        if (n == nTo)
            break;
    }
    return sizes;
}

}  // namespace

BOOL CGXGridCore::IsReadOnlyLocked() { return m_pParam && m_pParam->m_bLockReadOnly && IsReadOnly(); }

BOOL CGXGridCore::IsUndoRecording(int ctCmd) const
{
    return m_pUndoImp && ctCmd != gxRollback && m_pParam && m_pParam->IsEnableUndo();
}

// ---- Counts ----

BOOL CGXGridCore::SetRowCount(ROWCOL nRows, UINT flags)
{
    const ROWCOL nOld = RowCount();
    if (nRows < nOld)
        return RemoveRows(nRows + 1, nOld, flags, gxDo);
    if (nRows > nOld)
        return InsertRows(nOld + 1, nRows - nOld, nullptr, nullptr, nullptr, 0, flags, gxDo);
    return TRUE;
}

BOOL CGXGridCore::SetColCount(ROWCOL nCols, UINT flags)
{
    const ROWCOL nOld = ColCount();
    if (nCols < nOld)
        return RemoveCols(nCols + 1, nOld, flags, gxDo);
    if (nCols > nOld)
        return InsertCols(nOld + 1, nCols - nOld, nullptr, nullptr, nullptr, 0, flags, gxDo);
    return TRUE;
}

ROWCOL CGXGridCore::RowCount() { return GetData() ? GetData()->GetRowCount() : 0; }
ROWCOL CGXGridCore::ColCount() { return GetData() ? GetData()->GetColCount() : 0; }

BOOL CGXGridCore::StoreRowCount(ROWCOL nRows)
{
    if (IsReadOnlyLocked() || !GetData() || !GetData()->SetRowCount(nRows))
        return FALSE;
    SetDocumentModified(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreColCount(ROWCOL nCols)
{
    if (IsReadOnlyLocked() || !GetData() || !GetData()->SetColCount(nCols))
        return FALSE;
    SetDocumentModified(TRUE);
    return TRUE;
}

void CGXGridCore::UpdateCount(BOOL bRows, ROWCOL nOld, UINT flags, BOOL bCreateHint)
{
    const ROWCOL nNew = bRows ? RowCount() : ColCount();
    if (m_bHasCurrentCell && (bRows ? m_nCurrentRow : m_nCurrentCol) > nNew)
        ForgetCurrentCell();
    if (m_pParam && !m_pParam->m_bLockRedraw && (flags & 0x07)) {
        UpdateScrollBars(TRUE, FALSE);
        const ROWCOL nLastVisible = bRows ? LastVisibleRow() : LastVisibleCol();
        if (m_bInitDone && nLastVisible >= std::min(nOld, nNew) && m_pGridWnd && m_pGridWnd->GetSafeHwnd()) {
            CRect rect = GetDrawingArea();
            const ROWCOL nFrom = std::min(nOld, nNew);
            if (bRows)
                rect.top = std::max<int>(rect.top, RowTopY(nFrom) + RowHeight(nFrom));
            else
                rect.left = std::max<int>(rect.left, ColLeftX(nFrom) + ColWidth(nFrom));
            m_pGridWnd->InvalidateRect(&rect, TRUE);
            if (flags & GX_UPDATENOW)
                m_pGridWnd->UpdateWindow();
        }
    }
    if (bCreateHint && m_pUpdateHintImp && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, bRows ? gxHintRowCount : gxHintColCount, nullptr, nullptr, nOld, flags);
}

void CGXGridCore::UpdateRowCount(ROWCOL nOldRows, UINT flags, BOOL bCreateHint) { UpdateCount(TRUE, nOldRows, flags, bCreateHint); }
void CGXGridCore::UpdateColCount(ROWCOL nOldCols, UINT flags, BOOL bCreateHint) { UpdateCount(FALSE, nOldCols, flags, bCreateHint); }

// ---- Removing ----

BOOL CGXGridCore::RemoveRowsOrCols(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, UINT flags, int ctCmd)
{
    if (nFrom > nTo || !m_pParam)
        return FALSE;
    if (!StoreCurrentCellEdit(TRUE, GX_UPDATENOW, TRUE))
        return FALSE;
    CGXFrameLock frameLock(*this);
    CGXLongOperation theOp;
    const CGXGridLibraryState& lib = GXGetLibraryState();
    theOp.SetStatusText(lib.m_astrTexts[gxTextGenUndo]);

    std::unique_ptr<CObject> pUndoInfo;
    BOOL bUndo = IsUndoRecording(ctCmd);
    if (bUndo) {
        CObject* p = nullptr;
        const int nPrepared = bRows ? m_pUndoImp->PrepareRemoveRowsUndo(this, nFrom, nTo, p)
                                    : m_pUndoImp->PrepareRemoveColsUndo(this, nFrom, nTo, p);
        pUndoInfo.reset(p);
        if (nPrepared == CGXAbstractCommandFactory::gxUndoRefused)
            return FALSE;
        // The user let the removal go on without undo information.
        if (nPrepared == CGXAbstractCommandFactory::gxUndoSkipped)
            bUndo = FALSE;
    }

    const CString sName = bRows ? "Removing rows ..." : "Removing columns ...";
    if (ctCmd == gxDo)
        BeginTransaction(sName);
    if (m_pCoveredCellsImp)
        m_pCoveredCellsImp->AdjustCoveredCells(this, nFrom, nTo, bRows, ctCmd);
    theOp.SetStatusText(sName);

    const ROWCOL nCount = bRows ? RowCount() : ColCount();
    std::vector<int> sizes;
    if ((((flags & GX_UPDATENOW) && !m_pParam->m_bLockRedraw && nTo < nCount)) || bUndo)
        sizes = SaveSizes(*this, bRows, nFrom, std::min(nTo, std::max(nCount, nFrom)));

    CGXData* pData = GetData();
    const BOOL bOldDataUndo = pData ? pData->EnableUndoInfo(m_pParam->IsEnableUndo() && ctCmd != gxRollback) : FALSE;
    const BOOL bStored = bRows ? StoreRemoveRows(nFrom, nTo, FALSE) : StoreRemoveCols(nFrom, nTo, FALSE);
    if (pData)
        pData->EnableUndoInfo(bOldDataUndo);

    if (!bStored) {
        if (pData)
            pData->DiscardUndoInfo();
    } else {
        if (bRows)
            UpdateRemoveRows(nFrom, nTo, sizes.empty() ? nullptr : sizes.data(), flags, TRUE);
        else
            UpdateRemoveCols(nFrom, nTo, sizes.empty() ? nullptr : sizes.data(), flags, TRUE);
        if (bUndo) {
            std::unique_ptr<CObject> pDataUndo(pData ? pData->GetUndoInfo() : nullptr);
            const ROWCOL nOther = (bRows ? ColCount() : RowCount()) + 1;
            CGXCommand* pCmd = bRows ? m_pUndoImp->CreateInsertRowsCmd(nFrom, nTo, std::move(sizes), std::move(pUndoInfo),
                                                                       std::move(pDataUndo), nOther)
                                     : m_pUndoImp->CreateInsertColsCmd(nFrom, nTo, std::move(sizes), std::move(pUndoInfo),
                                                                       std::move(pDataUndo), nOther);
            AddCommand(pCmd, ctCmd);
        } else if (pData) {
            pData->DiscardUndoInfo();
        }
        if (ctCmd == gxUndo || ctCmd == gxRedo) {
            const ROWCOL nRow = bRows ? nFrom : m_nTopRow, nCol = bRows ? m_nLeftCol : nFrom;
            if (m_pUndoImp)
                m_pUndoImp->SetCurrentCellAfterCommand(this, nRow, nCol, TRUE);
        }
        SetSelection(nullptr, GX_INVALIDATE);
        RecalcAndRefresh(FALSE, nullptr, TRUE);
    }
    if (ctCmd == gxDo)
        CommitTransaction();
    return bStored;
}

BOOL CGXGridCore::RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT flags, int ctCmd)
{
    return RemoveRowsOrCols(TRUE, nFromRow, nToRow, flags, ctCmd);
}

BOOL CGXGridCore::RemoveCols(ROWCOL nFromCol, ROWCOL nToCol, UINT flags, int ctCmd)
{
    return RemoveRowsOrCols(FALSE, nFromCol, nToCol, flags, ctCmd);
}

// ---- Inserting ----

BOOL CGXGridCore::InsertRowsOrCols(BOOL bRows, ROWCOL nAt, ROWCOL nCount, int* anSizes, CObArray* pCellsArray,
                                   CObArray* pLinesArray, ROWCOL nOtherCount, UINT flags, int ctCmd)
{
    if (nCount == 0 || !m_pParam)
        return FALSE;
    CGXLongOperation theOp;
    const CString sName = bRows ? "Insert Rows" : "Insert Columns";
    theOp.SetStatusText(sName);
    if (!StoreCurrentCellEdit(TRUE, GX_UPDATENOW, TRUE))
        return FALSE;
    CGXFrameLock frameLock(*this);
    if (ctCmd == gxDo)
        BeginTransaction(sName);

    // The data store's undo information rides after the cell styles; it is applied once, after
    // the rows exist again.
    const unsigned long long nCells = (unsigned long long)nCount * nOtherCount;
    CObject* pDataUndo = nullptr;
    if (pCellsArray && (unsigned long long)pCellsArray->GetSize() > nCells)
        pDataUndo = pCellsArray->GetAt(INT_PTR(nCells));

    CGXData* pData = GetData();
    const BOOL bOldDataUndo = pData ? pData->EnableUndoInfo(m_pParam->IsEnableUndo() && ctCmd != gxRollback) : FALSE;
    const BOOL bStored = bRows ? StoreInsertRows(nAt, nCount, FALSE) : StoreInsertCols(nAt, nCount, FALSE);
    if (pData)
        pData->EnableUndoInfo(bOldDataUndo);

    if (!bStored) {
        if (pData)
            pData->DiscardUndoInfo();
    } else {
        const ROWCOL nLast = nAt + nCount - 1;
        if (anSizes) {
            for (ROWCOL i = 0; i < nCount; ++i)
                if (bRows)
                    StoreRowHeight(nAt + i, anSizes[i]);
                else
                    StoreColWidth(nAt + i, anSizes[i]);
        }
        const BOOL bOldNoAnnounce = m_bNoAnnounce;
        m_bNoAnnounce = TRUE;
        if (pCellsArray && nOtherCount) {
            INT_PTR i = 0;
            for (ROWCOL n = 0; n < nCount; ++n)
                for (ROWCOL m = 0; m < nOtherCount; ++m, ++i) {
                    if (i >= pCellsArray->GetSize())
                        break;
                    if (auto* p = dynamic_cast<CGXStyle*>(pCellsArray->GetAt(i)))
                        StoreCellStyle(bRows ? nAt + n : m, bRows ? m : nAt + n, p, gxCopy, DefaultValueType());
                    BOOL bAbort = FALSE;
                    theOp.ProcessMessagesQueryAbort(bAbort);
                }
        }
        if (pLinesArray) {
            for (ROWCOL n = 0; n < nCount && INT_PTR(n) < pLinesArray->GetSize(); ++n) {
                if (auto* p = dynamic_cast<CGXStyle*>(pLinesArray->GetAt(INT_PTR(n))))
                    StoreCellStyle(bRows ? nAt + n : 0, bRows ? 0 : nAt + n, p, gxCopy, -1);
                BOOL bAbort = FALSE;
                theOp.ProcessMessagesQueryAbort(bAbort);
            }
        }
        m_bNoAnnounce = bOldNoAnnounce;
        // Last, so that the store's own record (a formula sheet's image from before the
        // removal, references into the removed lines included) is what stands.
        if (pDataUndo && pData && pData->ApplyUndoInfo(pDataUndo, TRUE, TRUE))
            RecalcAndRefresh(FALSE, nullptr, FALSE);
        if (bRows)
            UpdateInsertRows(nAt, nCount, flags, TRUE);
        else
            UpdateInsertCols(nAt, nCount, flags, TRUE);
        if (IsUndoRecording(ctCmd))
            AddCommand(bRows ? m_pUndoImp->CreateRemoveRowsCmd(nAt, nLast) : m_pUndoImp->CreateRemoveColsCmd(nAt, nLast),
                       ctCmd);
    }
    // The transaction this call opened is closed here, so later commands do not land in it.
    if (ctCmd == gxDo)
        CommitTransaction();
    return bStored;
}

BOOL CGXGridCore::InsertRows(ROWCOL nRow, ROWCOL nCount, int* anHeights, CObArray* pCellsArray, CObArray* pRowsArray,
                             ROWCOL nColCount, UINT flags, int ctCmd)
{
    return InsertRowsOrCols(TRUE, nRow, nCount, anHeights, pCellsArray, pRowsArray, nColCount, flags, ctCmd);
}

BOOL CGXGridCore::InsertCols(ROWCOL nCol, ROWCOL nCount, int* anWidths, CObArray* pCellsArray, CObArray* pColsArray,
                             ROWCOL nRowCount, UINT flags, int ctCmd)
{
    return InsertRowsOrCols(FALSE, nCol, nCount, anWidths, pCellsArray, pColsArray, nRowCount, flags, ctCmd);
}

// ---- Storing and updating inserts and removals ----

BOOL CGXGridCore::StoreRowsOrCols(BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b, BOOL bForce)
{
    CGXData* pData = GetData();
    if (IsReadOnlyLocked() || !pData || !m_pParam)
        return FALSE;
    // a, b: position and count of an insert, first and last of a removal.
    BOOL bDone;
    if (bInsert)
        bDone = bRows ? pData->InsertRows(a, b) : pData->InsertCols(a, b);
    else
        bDone = bRows ? pData->RemoveRows(a, b) : pData->RemoveCols(a, b);
    if (!bDone && !bForce)
        return FALSE;
    SetDocumentModified(TRUE);
    const ROWCOL nMax = bRows ? RowCount() : ColCount();
    CGXRangeList* lists[] = {&m_pParam->m_SelRects, &m_pParam->m_CoveredCellsList, &m_pParam->m_CutRanges,
                             &m_pParam->m_PrintRanges};
    for (CGXRangeList* pList : lists) {
        if (bInsert)
            bRows ? pList->ShiftRows(a, b) : pList->ShiftCols(a, b);
        else
            bRows ? pList->AdjustForRemovedRows(a, b, nMax) : pList->AdjustForRemovedCols(a, b, nMax);
    }
    // The covered-cell lookup follows its list.
    m_pParam->RebuildCoveredCellPool();
    if (m_pHideCellsImp) {
        if (bInsert)
            bRows ? m_pHideCellsImp->InsertHiddenRows(this, a, b) : m_pHideCellsImp->InsertHiddenCols(this, a, b);
        else
            bRows ? m_pHideCellsImp->RemoveHiddenRows(this, a, b) : m_pHideCellsImp->RemoveHiddenCols(this, a, b);
    }
    // Floating and merged spans move with their cells.
    for (CGXAbstractGridFeature* p : {static_cast<CGXAbstractGridFeature*>(m_pFloatCellsImp),
                                      static_cast<CGXAbstractGridFeature*>(m_pMergeCellsImp)})
        if (auto* pHooks = dynamic_cast<CGXGridSpanCellsHooks*>(p))
            pHooks->OnRowsOrColsChanged(this, bRows, bInsert, a, b);
    if (GetMergeCellsMode() && bRows)
        QueueMergeCellsRange(CGXCellRange().SetRows(a, std::max(a, nMax)), -1);
    else if (GetMergeCellsMode())
        QueueMergeCellsRange(CGXCellRange().SetCols(a, std::max(a, nMax)), -1);
    return TRUE;
}

BOOL CGXGridCore::StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce) { return StoreRowsOrCols(TRUE, TRUE, nRow, nCount, bForce); }
BOOL CGXGridCore::StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce) { return StoreRowsOrCols(FALSE, TRUE, nCol, nCount, bForce); }
BOOL CGXGridCore::StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce) { return StoreRowsOrCols(TRUE, FALSE, nFromRow, nToRow, bForce); }
BOOL CGXGridCore::StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce) { return StoreRowsOrCols(FALSE, FALSE, nFromCol, nToCol, bForce); }

void CGXGridCore::UpdateStructure(BOOL bRows, BOOL bInsert, ROWCOL nFrom, ROWCOL nCount, const int* anOldSizes, UINT flags,
                                  BOOL bCreateHint)
{
    ResetSizeCaches();
    // A current cell at or behind the change follows it.
    ROWCOL& nCur = bRows ? m_nCurrentRow : m_nCurrentCol;
    if (m_bHasCurrentCell && nCur >= nFrom) {
        if (bInsert) {
            nCur += nCount;
        } else if (nCur >= nFrom + nCount) {
            nCur -= nCount;
        } else {
            nCur = nFrom;
        }
        const ROWCOL nMax = bRows ? RowCount() : ColCount();
        if (nCur > nMax) {
            if (CGXControl* pControl = CurrentCellControl())
                pControl->ReleaseCell();
            ForgetCurrentCell();
        } else {
            StoreCurrentCellPosition(m_nCurrentRow, m_nCurrentCol);
            ResetCurrentCellStyle();
            if (CGXControl* pControl = CurrentCellControl())
                pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
        }
    }
    ROWCOL& nTop = bRows ? m_nTopRow : m_nLeftCol;
    const ROWCOL nFrozen = bRows ? FrozenRows() : FrozenCols();
    if (nTop <= nFrozen)
        nTop = nFrozen + 1;
    if (m_pParam && !m_pParam->m_bLockRedraw) {
        LockScrollBars(TRUE);
        BOOL bDone = FALSE;
        if (m_pOptimizedUpdateImp) {
            const ROWCOL nLast = nFrom + nCount - 1;
            if (bInsert)
                bDone = bRows ? m_pOptimizedUpdateImp->OnRowsInserted(this, nFrom, nCount, flags)
                              : m_pOptimizedUpdateImp->OnColsInserted(this, nFrom, nCount, flags);
            else
                bDone = bRows ? m_pOptimizedUpdateImp->OnRowsRemoved(this, nFrom, nLast, anOldSizes, flags)
                              : m_pOptimizedUpdateImp->OnColsRemoved(this, nFrom, nLast, anOldSizes, flags);
        }
        if (!bDone)
            Redraw(flags, FALSE);
        LockScrollBars(FALSE);
        if (flags & (GX_UPDATENOW | GX_SMART))
            UpdateScrollBars(TRUE, FALSE);
    }
    if (bCreateHint && m_pUpdateHintImp && m_bHintsEnabled) {
        const int nKind = bInsert ? (bRows ? gxHintInsertRows : gxHintInsertCols) : (bRows ? gxHintRemoveRows : gxHintRemoveCols);
        m_pUpdateHintImp->SendHint(this, nKind, anOldSizes, nullptr, nFrom, nCount, flags);
    }
}

void CGXGridCore::UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT flags, BOOL bCreateHint)
{
    UpdateStructure(TRUE, TRUE, nRow, nCount, nullptr, flags, bCreateHint);
}
void CGXGridCore::UpdateInsertCols(ROWCOL nCol, ROWCOL nCount, UINT flags, BOOL bCreateHint)
{
    UpdateStructure(FALSE, TRUE, nCol, nCount, nullptr, flags, bCreateHint);
}
void CGXGridCore::UpdateRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, int* anOld, UINT flags, BOOL bCreateHint)
{
    UpdateStructure(TRUE, FALSE, nFromRow, nToRow - nFromRow + 1, anOld, flags, bCreateHint);
}
void CGXGridCore::UpdateRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, int* anOld, UINT flags, BOOL bCreateHint)
{
    UpdateStructure(FALSE, FALSE, nFromCol, nToCol - nFromCol + 1, anOld, flags, bCreateHint);
}

// ---- Moving rows and columns: the move feature ----

BOOL CGXGridCore::MoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT flags, int ctCmd)
{
    return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->MoveRows(this, nFromRow, nToRow, nDestRow, flags, ctCmd) : FALSE;
}
BOOL CGXGridCore::MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT flags, int ctCmd)
{
    return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->MoveCols(this, nFromCol, nToCol, nDestCol, flags, ctCmd) : FALSE;
}
namespace {

// Floating and merged spans follow moved rows (columns).
void SpansMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    for (CGXAbstractGridFeature* p : {static_cast<CGXAbstractGridFeature*>(pGrid->m_pFloatCellsImp),
                                      static_cast<CGXAbstractGridFeature*>(pGrid->m_pMergeCellsImp)})
        if (auto* pHooks = dynamic_cast<CGXGridSpanCellsHooks*>(p))
            pHooks->OnRowsOrColsMoved(pGrid, bRows, nFrom, nTo, nDest);
}

}  // namespace

BOOL CGXGridCore::StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bForce)
{
    if (!m_pMoveRowsColsImp || !m_pMoveRowsColsImp->StoreMoveRows(this, nFromRow, nToRow, nDestRow, bForce))
        return FALSE;
    if (m_pHideCellsImp)
        m_pHideCellsImp->MoveHiddenRows(this, nFromRow, nToRow, nDestRow);
    SpansMoved(this, TRUE, nFromRow, nToRow, nDestRow);
    return TRUE;
}
BOOL CGXGridCore::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce)
{
    if (!m_pMoveRowsColsImp || !m_pMoveRowsColsImp->StoreMoveCols(this, nFromCol, nToCol, nDestCol, bForce))
        return FALSE;
    if (m_pHideCellsImp)
        m_pHideCellsImp->MoveHiddenCols(this, nFromCol, nToCol, nDestCol);
    SpansMoved(this, FALSE, nFromCol, nToCol, nDestCol);
    return TRUE;
}
void CGXGridCore::UpdateMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT flags, BOOL bCreateHint)
{
    if (m_pMoveRowsColsImp)
        m_pMoveRowsColsImp->UpdateAfterMoveRows(this, nFromRow, nToRow, nDestRow, flags, bCreateHint);
}
void CGXGridCore::UpdateMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT flags, BOOL bCreateHint)
{
    if (m_pMoveRowsColsImp)
        m_pMoveRowsColsImp->UpdateAfterMoveCols(this, nFromCol, nToCol, nDestCol, flags, bCreateHint);
}

// ---- Frozen and header rows ----

BOOL CGXGridCore::SetFrozen(BOOL bRows, ROWCOL nFrozen, ROWCOL nHeader, UINT flags, int ctCmd)
{
    const ROWCOL nOldFrozen = bRows ? FrozenRows() : FrozenCols();
    const ROWCOL nOldHeader = bRows ? HeaderRows() : HeaderCols();
    if (!(bRows ? StoreFrozenRows(nFrozen, nHeader) : StoreFrozenCols(nFrozen, nHeader)))
        return FALSE;
    if (bRows)
        OnFrozenRowsChanged(nOldFrozen, nOldHeader);
    else
        OnFrozenColsChanged(nOldFrozen, nOldHeader);
    if (flags && m_pParam && !m_pParam->m_bLockRedraw)
        Redraw(flags, FALSE);
    if (IsUndoRecording(ctCmd))
        AddCommand(bRows ? m_pUndoImp->CreateSetFrozenRowsCmd(nOldFrozen, nOldHeader)
                         : m_pUndoImp->CreateSetFrozenColsCmd(nOldFrozen, nOldHeader),
                   ctCmd);
    return TRUE;
}

BOOL CGXGridCore::SetFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows, UINT flags, int ctCmd)
{
    return SetFrozen(TRUE, nFrozenRows, nHeaderRows, flags, ctCmd);
}
BOOL CGXGridCore::SetFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols, UINT flags, int ctCmd)
{
    return SetFrozen(FALSE, nFrozenCols, nHeaderCols, flags, ctCmd);
}

ROWCOL CGXGridCore::FrozenRows() { return m_pParam ? m_pParam->m_nFrozenRows : 0; }
ROWCOL CGXGridCore::FrozenCols() { return m_pParam ? m_pParam->m_nFrozenCols : 0; }
ROWCOL CGXGridCore::HeaderRows() { return m_pParam ? m_pParam->m_nHeaderRows : 0; }
ROWCOL CGXGridCore::HeaderCols() { return m_pParam ? m_pParam->m_nHeaderCols : 0; }

BOOL CGXGridCore::StoreFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows)
{
    if (!m_pParam || IsReadOnlyLocked())
        return FALSE;
    m_pParam->m_nFrozenRows = nFrozenRows;
    m_pParam->m_nHeaderRows = nHeaderRows;
    SetDocumentModified(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols)
{
    if (!m_pParam || IsReadOnlyLocked())
        return FALSE;
    m_pParam->m_nFrozenCols = nFrozenCols;
    m_pParam->m_nHeaderCols = nHeaderCols;
    SetDocumentModified(TRUE);
    return TRUE;
}

void CGXGridCore::OnFrozenRowsChanged(ROWCOL nOldFrozenRows, ROWCOL)
{
    if (m_nTopRow <= FrozenRows())
        m_nTopRow = FrozenRows() + 1;
    ResetSizeCaches();
    QueueMergeCellsRange(CGXCellRange().SetRows(std::min(nOldFrozenRows, FrozenRows()),
                                                std::max(nOldFrozenRows, FrozenRows()) + 1),
                         -1);
    if (m_pUpdateHintImp && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintFrozenRows, nullptr, nullptr, nOldFrozenRows, 0);
}

void CGXGridCore::OnFrozenColsChanged(ROWCOL nOldFrozenCols, ROWCOL)
{
    if (m_nLeftCol <= FrozenCols())
        m_nLeftCol = FrozenCols() + 1;
    ResetSizeCaches();
    const CGXCellRange cols = CGXCellRange().SetCols(std::min(nOldFrozenCols, FrozenCols()),
                                                     std::max(nOldFrozenCols, FrozenCols()) + 1);
    QueueMergeCellsRange(cols, -1);
    QueueFloatCellsRange(cols, -1);
    if (m_pUpdateHintImp && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintFrozenCols, nullptr, nullptr, nOldFrozenCols, 0);
}

// ---- Sorting: the sort feature and the data store ----

BOOL CGXGridCore::SortRows(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags)
{
    return m_pSortImp ? m_pSortImp->SortRows(this, range, sortInfo, flags) : FALSE;
}
BOOL CGXGridCore::SortCols(const CGXCellRange& range, const CGXSortInfoArray& sortInfo, UINT flags)
{
    return m_pSortImp ? m_pSortImp->SortCols(this, range, sortInfo, flags) : FALSE;
}
void CGXGridCore::GetSortKey(ROWCOL, ROWCOL, const GXSortInfo&, CString&, BOOL) {}
BOOL CGXGridCore::MoveDataRows(const CGXCellRange& range, const CDWordArray& order, UINT flags, int ctCmd)
{
    return m_pSortImp ? m_pSortImp->MoveDataRows(this, range, order, flags, ctCmd) : FALSE;
}
BOOL CGXGridCore::MoveDataCols(const CGXCellRange& range, const CDWordArray& order, UINT flags, int ctCmd)
{
    return m_pSortImp ? m_pSortImp->MoveDataCols(this, range, order, flags, ctCmd) : FALSE;
}
BOOL CGXGridCore::StoreMoveDataRows(const CGXCellRange& range, const CDWordArray& order)
{
    return m_pSortImp ? m_pSortImp->StoreMoveDataRows(this, range, order) : FALSE;
}
BOOL CGXGridCore::StoreMoveDataCols(const CGXCellRange& range, const CDWordArray& order)
{
    return m_pSortImp ? m_pSortImp->StoreMoveDataCols(this, range, order) : FALSE;
}
void CGXGridCore::UpdateMoveDataRows(const CGXCellRange& range, UINT flags, BOOL bCreateHint)
{
    if (m_pSortImp)
        m_pSortImp->OnMovedDataRows(this, range, flags, bCreateHint);
}
void CGXGridCore::UpdateMoveDataCols(const CGXCellRange& range, UINT flags, BOOL bCreateHint)
{
    if (m_pSortImp)
        m_pSortImp->OnMovedDataCols(this, range, flags, bCreateHint);
}
BOOL CGXGridCore::CanSortRows(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::CanSortCols(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::SortRowsByHeader(ROWCOL) { return FALSE; }

// ---- Allow hooks ----

// A press with Ctrl or Shift held selects: it never drags.
BOOL CGXGridCore::CanDragRows(ROWCOL, ROWCOL) { return !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000); }
BOOL CGXGridCore::CanDragCols(ROWCOL, ROWCOL) { return !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000); }
BOOL CGXGridCore::CanDropRows(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanDropCols(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanStartMouseSelectionRows(ROWCOL) { return !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000); }
BOOL CGXGridCore::CanStartMouseSelectionCols(ROWCOL) { return !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000); }
BOOL CGXGridCore::ConfirmDropRows(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::ConfirmDropCols(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanStartFill(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::CanFillRange(const CGXCellRange&, const CGXCellRange&) { return TRUE; }

// ---- Freezing: the freeze feature ----

BOOL CGXGridCore::CanFreezeRows() { return m_pFreezeMenuHelperImp && m_pFreezeMenuHelperImp->CanFreezeRows(this); }
BOOL CGXGridCore::CanUnfreezeRows() { return m_pFreezeMenuHelperImp && m_pFreezeMenuHelperImp->CanUnfreezeRows(this); }
void CGXGridCore::FreezeRows()
{
    if (m_pFreezeMenuHelperImp)
        m_pFreezeMenuHelperImp->FreezeRows(this);
}
void CGXGridCore::UnfreezeRows()
{
    if (m_pFreezeMenuHelperImp)
        m_pFreezeMenuHelperImp->UnfreezeRows(this);
}
BOOL CGXGridCore::CanFreezeCols() { return m_pFreezeMenuHelperImp && m_pFreezeMenuHelperImp->CanFreezeCols(this); }
BOOL CGXGridCore::CanUnfreezeCols() { return m_pFreezeMenuHelperImp && m_pFreezeMenuHelperImp->CanUnfreezeCols(this); }
void CGXGridCore::FreezeCols()
{
    if (m_pFreezeMenuHelperImp)
        m_pFreezeMenuHelperImp->FreezeCols(this);
}
void CGXGridCore::UnfreezeCols()
{
    if (m_pFreezeMenuHelperImp)
        m_pFreezeMenuHelperImp->UnfreezeCols(this);
}

// ---- Covered, floating and merged cells ----

BOOL CGXGridCore::GetCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    return m_pCoveredCellsImp ? m_pCoveredCellsImp->GetCoveredCellsRowCol(this, nRow, nCol, range) : FALSE;
}
BOOL CGXGridCore::SetCoveredCellsRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT flags, int ctCmd)
{
    return m_pCoveredCellsImp ? m_pCoveredCellsImp->SetCoveredCellsRowCol(this, nTop, nLeft, nBottom, nRight, flags, ctCmd) : FALSE;
}
BOOL CGXGridCore::StoreCoveredCellsRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bSet)
{
    return m_pCoveredCellsImp ? m_pCoveredCellsImp->StoreCoveredCellsRowCol(this, nTop, nLeft, nBottom, nRight, bSet) : FALSE;
}
void CGXGridCore::QueueFloatCellsRange(const CGXCellRange& range, int nDirection)
{
    if (m_pFloatCellsImp)
        m_pFloatCellsImp->QueueRange(this, range, nDirection);
}
BOOL CGXGridCore::ResolveFloatCells(const CGXCellRange& range, BOOL b1, BOOL b2, BOOL b3)
{
    return m_pFloatCellsImp ? m_pFloatCellsImp->Resolve(this, range, b1, b2, b3) : FALSE;
}
BOOL CGXGridCore::FloatSpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    return m_pFloatCellsImp ? m_pFloatCellsImp->SpanOfCell(this, nRow, nCol, range) : FALSE;
}
void CGXGridCore::RefloatAfterStore(ROWCOL nRow, ROWCOL nCol)
{
    if (m_pFloatCellsImp)
        m_pFloatCellsImp->AfterStore(this, nRow, nCol);
}
void CGXGridCore::RedrawFloatSpan(ROWCOL nRow, ROWCOL nCol, UINT flags, BOOL bCreateHint)
{
    if (m_pFloatCellsImp)
        m_pFloatCellsImp->RedrawSpan(this, nRow, nCol, flags, bCreateHint);
}
void CGXGridCore::QueueMergeCellsRange(const CGXCellRange& range, int nDirection)
{
    if (m_pMergeCellsImp)
        m_pMergeCellsImp->QueueRange(this, range, nDirection);
}
BOOL CGXGridCore::ResolveMergeCells(const CGXCellRange& range, BOOL b1, BOOL b2, BOOL b3)
{
    return m_pMergeCellsImp ? m_pMergeCellsImp->Resolve(this, range, b1, b2, b3) : FALSE;
}
BOOL CGXGridCore::MergeSpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    return m_pMergeCellsImp ? m_pMergeCellsImp->SpanOfCell(this, nRow, nCol, range) : FALSE;
}
void CGXGridCore::RemergeAfterStore(ROWCOL nRow, ROWCOL nCol)
{
    if (m_pMergeCellsImp)
        m_pMergeCellsImp->AfterStore(this, nRow, nCol);
}
void CGXGridCore::RedrawMergeSpan(ROWCOL nRow, ROWCOL nCol, UINT flags, BOOL bCreateHint)
{
    if (m_pMergeCellsImp)
        m_pMergeCellsImp->RedrawSpan(this, nRow, nCol, flags, bCreateHint);
}
BOOL CGXGridCore::GetFloatCellsMode() { return m_pFloatCellsImp && m_pParam && m_pParam->m_wFloatCellsMode; }
BOOL CGXGridCore::GetMergeCellsMode() { return m_pMergeCellsImp && m_pParam && m_pParam->m_wMergeCellsMode; }

BOOL CGXGridCore::SpanOfCell(ROWCOL nRow, ROWCOL nCol, CGXCellRange& range)
{
    return GetCoveredCellsRowCol(nRow, nCol, range) || MergeSpanOfCell(nRow, nCol, range)
           || FloatSpanOfCell(nRow, nCol, range);
}

BOOL CGXGridCore::EvaluateSpans(const CGXCellRange& range, UINT flags)
{
    return m_pDrawSpannedCellsImp ? m_pDrawSpannedCellsImp->EvaluateSpans(this, range, GetPaneBounds(), flags) : FALSE;
}

GXPaneBounds CGXGridCore::GetPaneBounds()
{
    GXPaneBounds b;
    b.nFrozenRows = FrozenRows();
    b.nFrozenCols = FrozenCols();
    b.nTopRow = m_bPrinting ? m_nPrintTopRow : m_nTopRow;
    b.nLeftCol = m_bPrinting ? m_nPrintLeftCol : m_nLeftCol;
    return b;
}

// ---- Undo: the command factory ----

BOOL CGXGridCore::Undo() { return m_pUndoImp ? m_pUndoImp->Undo(this) : FALSE; }
BOOL CGXGridCore::Redo() { return m_pUndoImp ? m_pUndoImp->Redo(this) : FALSE; }
void CGXGridCore::BeginTransaction(LPCTSTR pszName)
{
    if (m_pUndoImp)
        m_pUndoImp->BeginTransaction(this, pszName);
}
void CGXGridCore::CommitTransaction()
{
    if (m_pUndoImp)
        m_pUndoImp->CommitTransaction(this);
}
void CGXGridCore::Rollback()
{
    if (m_pUndoImp)
        m_pUndoImp->Rollback(this);
}
BOOL CGXGridCore::CanUndo(CCmdUI* pCmdUI)
{
    if (m_pUndoImp)
        return m_pUndoImp->CanUndo(this, pCmdUI);
    if (pCmdUI)
        pCmdUI->Enable(FALSE);
    return FALSE;
}
BOOL CGXGridCore::CanRedo(CCmdUI* pCmdUI)
{
    if (m_pUndoImp)
        return m_pUndoImp->CanRedo(this, pCmdUI);
    if (pCmdUI)
        pCmdUI->Enable(FALSE);
    return FALSE;
}
void CGXGridCore::AddCommand(CGXCommand* pCmd, int ctCmd)
{
    if (m_pUndoImp && pCmd)
        m_pUndoImp->AddCommand(this, pCmd, ctCmd);
}
void CGXGridCore::RemoveCommand(int ctCmd)
{
    if (m_pUndoImp)
        m_pUndoImp->RemoveCommand(this, ctCmd);
}
void CGXGridCore::SetCurrentCellAfterCommand(ROWCOL nRow, ROWCOL nCol, BOOL bFlag)
{
    if (m_pUndoImp)
        m_pUndoImp->SetCurrentCellAfterCommand(this, nRow, nCol, bFlag);
}
BOOL CGXGridCore::ExecuteCommand(CGXCommand* pCmd, int ctCmd) { return m_pUndoImp ? m_pUndoImp->ExecuteCommand(this, pCmd, ctCmd) : FALSE; }
BOOL CGXGridCore::SetAdvancedUndo(BOOL bAdvanced) { return m_pUndoImp ? m_pUndoImp->SetAdvancedUndo(this, bAdvanced) : FALSE; }
CObject* CGXGridCore::GetAdvancedUndoInfo() { return m_pUndoImp ? m_pUndoImp->GetAdvancedUndoInfo(this) : nullptr; }
BOOL CGXGridCore::UndoAdvanced(CObject* pInfo, BOOL b1, BOOL b2) { return m_pUndoImp ? m_pUndoImp->UndoAdvanced(this, pInfo, b1, b2) : FALSE; }
void CGXGridCore::CleanAdvancedUndo()
{
    if (m_pUndoImp)
        m_pUndoImp->CleanAdvancedUndo(this);
}

// ---- Clipboard: the cut-and-paste and clear features ----

BOOL CGXGridCore::Copy() { return m_pCutPasteImp ? m_pCutPasteImp->Copy(this) : FALSE; }
BOOL CGXGridCore::Paste() { return m_pCutPasteImp ? m_pCutPasteImp->Paste(this) : FALSE; }
BOOL CGXGridCore::Cut() { return m_pCutPasteImp ? m_pCutPasteImp->Cut(this) : FALSE; }
BOOL CGXGridCore::Clear(BOOL bStylesOnly) { return m_pClearCellsImp ? m_pClearCellsImp->ClearSelection(this, bStylesOnly) : FALSE; }
BOOL CGXGridCore::CopyRange(const CGXRangeList& list) { return m_pCutPasteImp ? m_pCutPasteImp->CopyRanges(this, list) : FALSE; }
BOOL CGXGridCore::CutRange(const CGXRangeList& list, BOOL bStylesOnly)
{
    return m_pCutPasteImp ? m_pCutPasteImp->CutRanges(this, list, bStylesOnly) : FALSE;
}
BOOL CGXGridCore::ClearCells(const CGXRangeList& list, BOOL bStylesOnly)
{
    return m_pClearCellsImp ? m_pClearCellsImp->ClearRanges(this, list, bStylesOnly) : FALSE;
}
BOOL CGXGridCore::CopyRangesAsText(const CGXRangeList& list) { return m_pCutPasteImp ? m_pCutPasteImp->CopyRangesAsText(this, list) : FALSE; }
BOOL CGXGridCore::CopyRangesAsStyles(const CGXRangeList& list)
{
    return m_pCutPasteImp ? m_pCutPasteImp->CopyRangesAsStyles(this, list, (m_nClipboardFlags & 0x20) != 0) : FALSE;
}
BOOL CGXGridCore::CanCopy() { return m_pCutPasteImp ? m_pCutPasteImp->CanCopy(this) : FALSE; }
BOOL CGXGridCore::CanCut() { return m_pCutPasteImp ? m_pCutPasteImp->CanCut(this) : FALSE; }
BOOL CGXGridCore::CanPaste() { return m_pCutPasteImp ? m_pCutPasteImp->CanPaste(this) : FALSE; }
BOOL CGXGridCore::CanClear() { return m_pClearCellsImp ? m_pClearCellsImp->CanClear(this) : FALSE; }
BOOL CGXGridCore::IsClipboardDataAvailable() { return m_pCutPasteImp ? m_pCutPasteImp->IsClipboardDataAvailable(this) : FALSE; }
BOOL CGXGridCore::PasteDirect(const CGXCellRange& target) { return m_pCutPasteImp ? m_pCutPasteImp->PasteDirect(this, target) : FALSE; }
BOOL CGXGridCore::PasteFromClipboard(const CGXCellRange& target)
{
    return m_pCutPasteImp ? m_pCutPasteImp->PasteFromClipboard(this, target) : FALSE;
}
BOOL CGXGridCore::ConfirmSizeMismatch() { return m_pCutPasteImp ? m_pCutPasteImp->ConfirmSizeMismatch(this) : FALSE; }

// ---- Text and style exchange ----

BOOL CGXGridCore::CopyTextToFile(CFile& file, const CGXRangeList& list)
{
    return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->CopyTextToFile(this, file, list) : FALSE;
}
CString CGXGridCore::GetCopyTextRowCol(ROWCOL nRow, ROWCOL nCol)
{
    return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->GetCopyTextRowCol(this, nRow, nCol) : CString();
}
BOOL CGXGridCore::PasteTextFromBuffer(LPCTSTR psz, DWORD nSize, const CGXCellRange& target)
{
    return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->PasteTextFromBuffer(this, psz, nSize, target) : FALSE;
}
BOOL CGXGridCore::PasteTextRowCol(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT flags, const CGXStyle* pStyle)
{
    return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->PasteTextRowCol(this, nRow, nCol, sText, flags, pStyle) : FALSE;
}
BOOL CGXGridCore::CalcBufferDimension(LPCTSTR psz, DWORD nSize, ROWCOL& nRows, ROWCOL& nCols)
{
    if (m_pTextDataExchangeImp)
        return m_pTextDataExchangeImp->CalcBufferDimension(this, psz, nSize, nRows, nCols);
    nRows = 0;
    nCols = 1;
    return FALSE;
}
BOOL CGXGridCore::CopyStylesToArchive(CArchive& ar, const CGXRangeList& list, BOOL bComposed)
{
    return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->CopyStylesToArchive(this, ar, list, bComposed) : FALSE;
}
BOOL CGXGridCore::GetCopyStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bComposed)
{
    return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->GetCopyStyleRowCol(this, nRow, nCol, style, bComposed) : FALSE;
}
BOOL CGXGridCore::PasteStylesFromArchive(CArchive& ar, const CGXCellRange& target, BOOL bPasteAnyway)
{
    return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->PasteStylesFromArchive(this, ar, target, bPasteAnyway) : FALSE;
}

// ---- Direct copy and move of cell blocks ----

BOOL CGXGridCore::CopyCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, UINT flags)
{
    return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->CopyCells(this, source, nDestRow, nDestCol, flags) : FALSE;
}
BOOL CGXGridCore::StoreCopyCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol)
{
    return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->StoreCopyCells(this, source, nDestRow, nDestCol) : FALSE;
}
BOOL CGXGridCore::MoveCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo, UINT flags,
                            int ctCmd)
{
    return m_pDirectCopyMoveCellsImp
               ? m_pDirectCopyMoveCellsImp->MoveCells(this, source, nDestRow, nDestCol, pUndoInfo, flags, ctCmd)
               : FALSE;
}
BOOL CGXGridCore::StoreMoveCells(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                                 BOOL bRecord, int ctCmd)
{
    return m_pDirectCopyMoveCellsImp
               ? m_pDirectCopyMoveCellsImp->StoreMoveCells(this, source, nDestRow, nDestCol, pUndoInfo, bRecord, ctCmd)
               : FALSE;
}

// ---- The fill handle ----

BOOL CGXGridCore::FillRange(const CGXCellRange& target, const CGXCellRange& source)
{
    return m_pExcelLikeFillImp ? m_pExcelLikeFillImp->DoFill(this, source, target) : FALSE;
}
void CGXGridCore::SelectFillTarget(const CGXCellRange& target)
{
    if (m_pExcelLikeFillImp)
        m_pExcelLikeFillImp->SelectFillTarget(this, target);
}

// ---- Non-virtual structure members ----

BOOL CGXGridCore::IsInFrozenRows(ROWCOL nRow) { return nRow != 0 && nRow <= FrozenRows(); }
BOOL CGXGridCore::IsInFrozenCols(ROWCOL nCol) { return nCol != 0 && nCol <= FrozenCols(); }

void CGXGridCore::RedrawHeaders()
{
    if (!m_pParam)
        return;
    if (m_pParam->m_bRefreshColHeaders && HeaderRows() + 1 > 0)
        RedrawCells(0, 0, HeaderRows(), ColCount(), GX_INVALIDATE);
    if (m_pParam->m_bRefreshRowHeaders)
        RedrawCells(0, 0, RowCount(), HeaderCols(), GX_INVALIDATE);
}

BOOL CGXGridCore::RecalcAndRefresh(BOOL bRefresh, CString* pErrorText, BOOL bSendHint)
{
    CGXData* pData = GetData();
    if (!pData || RowCount() == 0 || ColCount() == 0)
        return TRUE;
    // A plain data store computes nothing; a formula store recomputes and reports.
    pData->ResetError();
    const BOOL bRecalculated = pData->Recalc(bRefresh);
    // The changed cells are invalidated, not painted here: a caller may still scroll.
    RedrawChangedCells();
    if (bSendHint && m_pUpdateHintImp && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintRecalc, nullptr, nullptr, bRefresh, 0);
    if (bRefresh) {
        CString sError;
        if (GetDataErrorText(sError)) {
            ResetDataError();
            if (pErrorText)
                *pErrorText = sError;
            else
                AfxMessageBox(sError, MB_OK);
            return FALSE;
        }
    }
    (void)bRecalculated;
    return TRUE;
}

// The cells on screen whose values the recalculation changed are drawn again (their composed
// styles go; the GDI objects stay).
void CGXGridCore::RedrawChangedCells()
{
    CGXData* pData = GetData();
    if (!pData || !m_pParam)
        return;
    // The columns looked at: the frozen ones and this many from the left column on.
    constexpr ROWCOL kMaxVisibleCols = 256;
    const ROWCOL nRows = RowCount(), nCols = ColCount();
    const ROWCOL nLastRow = std::min(nRows, LastVisibleRow());
    const ROWCOL nLastCol = std::min<ROWCOL>(nCols, m_nLeftCol + kMaxVisibleCols);
    bool bFreed = false;
    auto visit = [&](ROWCOL r, ROWCOL c) {
        if (!pData->EvaluateCell(r, c))
            return;
        if (!bFreed) {
            FreeStyleCache();
            bFreed = true;
        }
        RedrawCells(r, c, r, c, GX_INVALIDATE, FALSE);
        pData->CellShown(r, c);
    };
    auto visitRow = [&](ROWCOL r) {
        for (ROWCOL c = 1; c <= std::min(FrozenCols(), nCols); ++c)
            visit(r, c);
        for (ROWCOL c = std::max(m_nLeftCol, FrozenCols() + 1); c <= nLastCol && c != 0; ++c)
            visit(r, c);
    };
    for (ROWCOL r = 1; r <= std::min(FrozenRows(), nRows); ++r)
        visitRow(r);
    for (ROWCOL r = std::max(m_nTopRow, FrozenRows() + 1); r <= nLastRow && r != 0; ++r)
        visitRow(r);
}

BOOL CGXGridCore::EvaluateCellOfData(ROWCOL nRow, ROWCOL nCol)
{
    CGXData* pData = GetData();
    return pData ? pData->EvaluateCell(nRow, nCol) : FALSE;
}

void CGXGridCore::CellShownToData(ROWCOL nRow, ROWCOL nCol)
{
    if (CGXData* pData = GetData())
        pData->CellShown(nRow, nCol);
}

BOOL CGXGridCore::GetDataErrorText(CString& sText)
{
    CGXData* pData = GetData();
    return pData ? pData->GetLastError(sText) : FALSE;
}

void CGXGridCore::ResetDataError()
{
    if (CGXData* pData = GetData())
        pData->ResetError();
}

void CGXGridCore::RequestRecalc(int nValue)
{
    if (CGXData* pData = GetData())
        pData->RequestRecalc(nValue);
}

BOOL CGXGridCore::CopyRange(const CGXCellRange& range)
{
    CGXRangeList list;
    list.AddRange(range);
    return CopyRange(list);
}

BOOL CGXGridCore::CutRange(const CGXCellRange& range, BOOL bStylesOnly)
{
    CGXRangeList list;
    list.AddRange(range);
    return CutRange(list, bStylesOnly);
}
