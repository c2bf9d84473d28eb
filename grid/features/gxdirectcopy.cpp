#include "grid/features/gxdirectcopy.h"

#include <new>

#include "grid/core/gxdata.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxlibdata.h"
#include "grid/features/gxcmd.h"
#include "grid/features/gxcmdfactory.h"
#include "grid/features/gxcopymove.h"
#include "platform/base/exceptions.h"
#include "platform/win/win.h"

namespace {

constexpr UINT GX_IDS_TOO_LARGE_FOR_UNDO = 20082;

// The source as a plain cell range inside the grid.
CGXCellRange PlainSource(CGXGridCore* pGrid, const CGXCellRange& source)
{
    CGXCellRange r = source;
    r.ExpandToCells(0, 0, pGrid->RowCount(), pGrid->ColCount());
    return r;
}

CGXCellRange DestinationOf(const CGXCellRange& src, ROWCOL nDestRow, ROWCOL nDestCol)
{
    return CGXCellRange(nDestRow, nDestCol, nDestRow + (src.bottom - src.top), nDestCol + (src.right - src.left));
}

// What the stored cells changed: the cached styles go and the grid shows the store again.
void RefreshAfterStore(CGXGridCore* pGrid, UINT flags)
{
    pGrid->FreeGdiCache();
    pGrid->ResetCurrentCellStyle();
    pGrid->Redraw(flags);
}

}  // namespace

BOOL CGXGridDirectCopyMoveCellsImpl::CopyCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow,
                                                ROWCOL nDestCol, UINT flags)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || pGrid->IsReadOnly())
        return FALSE;
    const CGXCellRange src = PlainSource(pGrid, source);
    if (!src.IsValid() || src.bottom < src.top || src.right < src.left)
        return FALSE;
    const CGXCellRange dest = DestinationOf(src, nDestRow, nDestCol);
    const CGXGridLibraryState& lib = GXGetLibraryState();
    pGrid->BeginTransaction(lib.m_astrTexts[gxTextCopy]);
    CGXLongOperation theOp;
    theOp.SetStatusText(lib.m_astrTexts[gxTextCopy]);
    CGXLongOperation::SetRollbackPossible(TRUE);

    auto* pFactory = dynamic_cast<CGXCommandFactory*>(pGrid->m_pUndoImp);
    const BOOL bUndo = pParam->IsEnableUndo() && pGrid->m_pUndoImp;
    CObArray* pSaved = nullptr;
    if (bUndo) {
        const unsigned long long nCells = (unsigned long long)dest.GetHeight() * dest.GetWidth();
        if (nCells > kGXMaxUndoCells || dest.GetHeight() > kGXMaxUndoRowsOrCols || dest.GetWidth() > kGXMaxUndoRowsOrCols) {
            GXRegisterLibraryStrings();
            if (AfxMessageBox(GX_IDS_TOO_LARGE_FOR_UNDO, MB_OKCANCEL) != IDOK) {
                pGrid->Rollback();
                return FALSE;
            }
        } else {
            try {
                pSaved = pGrid->CollectRangeStyles(dest, pGrid->m_nStyleStoreType, &theOp);
            } catch (const CUserException&) {
                pGrid->Rollback();
                return FALSE;
            } catch (const CException&) {
                pSaved = nullptr;
            } catch (const std::bad_alloc&) {
                pSaved = nullptr;
            }
        }
    }

    pGrid->AnnounceRangeToData(dest);
    const BOOL bOldCollect = pFactory ? pFactory->SetEngineUndoCollecting(pGrid, pParam->IsEnableUndo()) : FALSE;
    const BOOL bOk = pGrid->StoreCopyCells(src, nDestRow, nDestCol);
    if (pFactory)
        pFactory->SetEngineUndoCollecting(pGrid, bOldCollect);

    if (bOk) {
        pGrid->QueueFloatCellsRange(dest, -1);
        pGrid->QueueMergeCellsRange(dest, -1);
        pGrid->SetDocumentModified(TRUE);
        if (pSaved) {
            if (CObject* pExtra = pFactory ? pFactory->TakeEngineUndoRecord(pGrid) : nullptr)
                pSaved->Add(pExtra);
            // Recorded inside the transaction, so that the step is named "Copy".
            pGrid->AddCommand(pGrid->m_pUndoImp->CreateSetStyleRangeCmd(dest, pGrid->m_nStyleStoreType, pSaved), gxDo);
            pSaved = nullptr;
        }
        pGrid->CommitTransaction();
    } else {
        if (pSaved) {
            GXOwnedObArray drop(pSaved);
            pSaved = nullptr;
        }
        if (pFactory)
            pFactory->DiscardEngineUndoRecord(pGrid);
        pGrid->Rollback();
    }
    RefreshAfterStore(pGrid, flags);
    return bOk;
}

BOOL CGXGridDirectCopyMoveCellsImpl::StoreCopyCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow,
                                                     ROWCOL nDestCol)
{
    CGXData* pData = pGrid->GetData();
    if (!pData)
        return TRUE;
    return pData->CopyCells(source.top, source.left, source.bottom, source.right, nDestRow, nDestCol);
}

BOOL CGXGridDirectCopyMoveCellsImpl::MoveCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow,
                                                ROWCOL nDestCol, CObject*& pUndoInfo, UINT flags, int ctCmd)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || pGrid->IsReadOnly() || !pGrid->GetData())
        return FALSE;
    const CGXCellRange src = PlainSource(pGrid, source);
    if (!src.IsValid() || src.bottom < src.top || src.right < src.left)
        return FALSE;
    const CGXCellRange dest = DestinationOf(src, nDestRow, nDestCol);
    CGXLongOperation theOp;
    theOp.SetStatusText(GXGetLibraryState().m_astrTexts[gxTextMove]);
    if (!pGrid->m_bNoAnnounce) {
        pGrid->AnnounceRangeToData(dest);
        pGrid->AnnounceRangeToData(src);
    }
    const BOOL bRecord = pGrid->m_pUndoImp && pParam->IsEnableUndo() && ctCmd != gxRollback;
    CObject* pInfo = pUndoInfo;
    const BOOL bOk = pGrid->StoreMoveCells(src, nDestRow, nDestCol, pInfo, bRecord, ctCmd);
    if (bOk) {
        pGrid->QueueFloatCellsRange(dest, -1);
        pGrid->QueueMergeCellsRange(dest, -1);
        pGrid->QueueFloatCellsRange(src, -1);
        pGrid->QueueMergeCellsRange(src, -1);
        pGrid->SetDocumentModified(TRUE);
        if (bRecord) {
            pGrid->AddCommand(pGrid->m_pUndoImp->CreateMoveCellsCmd(src, nDestRow, nDestCol, pInfo), ctCmd);
            pInfo = nullptr;
            if (ctCmd == gxUndo || ctCmd == gxRedo)
                pGrid->SetCurrentCellAfterCommand(src.top, src.left, FALSE);
        }
    }
    pUndoInfo = pInfo;
    RefreshAfterStore(pGrid, flags);
    return bOk;
}

BOOL CGXGridDirectCopyMoveCellsImpl::StoreMoveCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow,
                                                     ROWCOL nDestCol, CObject*& pUndoInfo, BOOL bRecord, int)
{
    CGXData* pData = pGrid->GetData();
    if (!pData)
        return TRUE;
    return pData->MoveCells(source, nDestRow, nDestCol, pUndoInfo, bRecord);
}

// The move commands take a move back: the block at the destination goes home, and the cells it
// had overwritten come back with the undo information.
BOOL CGXMoveCellsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    const CGXCellRange back = DestinationOf(m_source, m_nDestRow, m_nDestCol);
    CObject* pInfo = m_pUndoInfo.release();
    const BOOL bOk = pGrid->MoveCells(back, m_source.top, m_source.left, pInfo, GX_UPDATENOW, ctCmd);
    m_pUndoInfo.reset(pInfo);
    return bOk;
}

void CGXGridCore::InstallDirectCopyMoveCellsImp()
{
    if (m_pDirectCopyMoveCellsImp)
        return;
    auto* p = new CGXGridDirectCopyMoveCellsImpl;
    m_pDirectCopyMoveCellsImp = p;
    AddImpToDeleteList(p);
    GXInstallDataCopyMoveCellsImp();
}
