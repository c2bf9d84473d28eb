#include "grid/features/gxcmdfactory.h"

#include <new>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "platform/base/exceptions.h"
#include "platform/ui/afxres.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"
#include "platform/win/win.h"

namespace {

constexpr UINT GX_IDS_TOO_LARGE_FOR_UNDO = 20082;
// Undo information is kept for at most this many lines, and fewer cells than this.
constexpr ROWCOL kMaxUndoLines = 32767;
constexpr unsigned long long kMaxUndoCells = 2147483647ULL;
// Placement flags of the current cell after Redo: select it and scroll it into view.
constexpr UINT kPlaceAfterCommand = 0x0A;
// The menu text is read with at most this many characters.
constexpr int kMaxMenuText = 255;

// What StoreLinesForUndo hands PrepareRemove*Undo, and CreateInsert*Cmd takes apart.
class GXRemovedLinesInfo : public CObject {
public:
    GXOwnedObArray cells;
    GXOwnedObArray lines;
};

// Taking a change back must not be refused by read-only cells.
class ReadOnlyCheckOff {
public:
    explicit ReadOnlyCheckOff(CGXGridParam& param) : m_param(param), m_bOld(param.m_bLockReadOnly) { param.m_bLockReadOnly = 0; }
    ~ReadOnlyCheckOff() { m_param.m_bLockReadOnly = m_bOld; }
    ReadOnlyCheckOff(const ReadOnlyCheckOff&) = delete;
    ReadOnlyCheckOff& operator=(const ReadOnlyCheckOff&) = delete;

private:
    CGXGridParam& m_param;
    DWORD m_bOld;
};

int TransactionDepth(const CGXGridParam& param) { return int(param.m_nUndoCount); }

// OK lets the removal go on without undo information.
bool ContinueWithoutUndo() { return AfxMessageBox(GX_IDS_TOO_LARGE_FOR_UNDO, MB_OKCANCEL) == IDOK; }

void Stamp(CGXGridCore* pGrid, CGXCommand* pCmd)
{
    ROWCOL nRow = 0, nCol = 0;
    pCmd->m_bCCell = pGrid->QueryCurrentCell(nRow, nCol);
    pCmd->m_nRow = pCmd->m_bCCell ? nRow : 0;
    pCmd->m_nCol = pCmd->m_bCCell ? nCol : 0;
}

}  // namespace

// ---- Creators ----

CGXCommand* CGXCommandFactory::CreateBlockCmd(LPCTSTR pszName) { return new CGXBlockCmd(pszName); }
CGXCommand* CGXCommandFactory::CreateSetRowHeightCmd(ROWCOL a, ROWCOL b, int* an) { return new CGXSetRowHeightCmd(a, b, an); }
CGXCommand* CGXCommandFactory::CreateHideRowsCmd(ROWCOL a, ROWCOL b, BOOL* ab) { return new CGXHideRowsCmd(a, b, ab); }
CGXCommand* CGXCommandFactory::CreateSetDefaultRowHeightCmd(int n) { return new CGXSetDefaultRowHeightCmd(n); }
CGXCommand* CGXCommandFactory::CreateSetColWidthCmd(ROWCOL a, ROWCOL b, int* an) { return new CGXSetColWidthCmd(a, b, an); }
CGXCommand* CGXCommandFactory::CreateHideColsCmd(ROWCOL a, ROWCOL b, BOOL* ab) { return new CGXHideColsCmd(a, b, ab); }
CGXCommand* CGXCommandFactory::CreateSetDefaultColWidthCmd(int n) { return new CGXSetDefaultColWidthCmd(n); }
CGXCommand* CGXCommandFactory::CreateMoveRowsCmd(ROWCOL a, ROWCOL b, ROWCOL d) { return new CGXMoveRowsCmd(a, b, d); }
CGXCommand* CGXCommandFactory::CreateMoveColsCmd(ROWCOL a, ROWCOL b, ROWCOL d) { return new CGXMoveColsCmd(a, b, d); }
CGXCommand* CGXCommandFactory::CreateRemoveRowsCmd(ROWCOL a, ROWCOL b) { return new CGXRemoveRowsCmd(a, b); }
CGXCommand* CGXCommandFactory::CreateRemoveColsCmd(ROWCOL a, ROWCOL b) { return new CGXRemoveColsCmd(a, b); }

CGXCommand* CGXCommandFactory::CreateInsertRowsCmd(ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes,
                                                   std::unique_ptr<CObject> pInfo, std::unique_ptr<CObject> pDataUndo,
                                                   ROWCOL nColCount)
{
    return CreateInsertLinesCmd(TRUE, nFirst, nLast, std::move(sizes), std::move(pInfo), std::move(pDataUndo), nColCount);
}

CGXCommand* CGXCommandFactory::CreateInsertColsCmd(ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes,
                                                   std::unique_ptr<CObject> pInfo, std::unique_ptr<CObject> pDataUndo,
                                                   ROWCOL nRowCount)
{
    return CreateInsertLinesCmd(FALSE, nFirst, nLast, std::move(sizes), std::move(pInfo), std::move(pDataUndo), nRowCount);
}

CGXCommand* CGXCommandFactory::CreateInsertLinesCmd(BOOL bRows, ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes,
                                                    std::unique_ptr<CObject> pInfo, std::unique_ptr<CObject> pDataUndo,
                                                    ROWCOL nOther)
{
    if (nLast < nFirst)
        return nullptr;
    GXRemovedLines lines;
    lines.nFirst = nFirst;
    lines.nCount = nLast - nFirst + 1;
    lines.nOtherCount = nOther;
    // A size per line or none: the insertion reads one for each line.
    if (sizes.size() == size_t(lines.nCount))
        lines.sizes = std::move(sizes);
    if (auto* p = dynamic_cast<GXRemovedLinesInfo*>(pInfo.get())) {
        lines.cells = std::move(p->cells);
        lines.lines = std::move(p->lines);
    }
    if (pDataUndo) {
        // The data store's record rides right after the cells.
        const INT_PTR nCells = INT_PTR((unsigned long long)lines.nCount * nOther);
        if (!lines.cells.get())
            lines.cells.pArray = std::make_unique<CObArray>();
        lines.cells.get()->SetSize(nCells);
        lines.cells.get()->Add(pDataUndo.release());
    }
    if (bRows)
        return new CGXInsertRowsCmd(std::move(lines));
    return new CGXInsertColsCmd(std::move(lines));
}

CGXCommand* CGXCommandFactory::CreateSetCoveredCellsCmd(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r)
{
    return new CGXSetCoveredCellsCmd(t, l, b, r);
}

CGXCommand* CGXCommandFactory::CreateSetStyleRangeCmd(const CGXCellRange& range, int nType, CObArray* pOldStyles)
{
    return new CGXSetStyleRangeCmd(range, nType, pOldStyles);
}

CGXCommand* CGXCommandFactory::CreateSetFrozenRowsCmd(ROWCOL f, ROWCOL h) { return new CGXSetFrozenRowsCmd(f, h); }
CGXCommand* CGXCommandFactory::CreateSetFrozenColsCmd(ROWCOL f, ROWCOL h) { return new CGXSetFrozenColsCmd(f, h); }
CGXCommand* CGXCommandFactory::CreateMoveDataRowsCmd(const CGXCellRange& r, CDWordArray* p) { return new CGXMoveDataRowsCmd(r, p); }
CGXCommand* CGXCommandFactory::CreateMoveDataColsCmd(const CGXCellRange& r, CDWordArray* p) { return new CGXMoveDataColsCmd(r, p); }
CGXCommand* CGXCommandFactory::CreateChangeStylesMapCmd(CGXStylesMap* pOld) { return new CGXChangeStylesMapCmd(pOld); }
CGXCommand* CGXCommandFactory::CreateChangePropertiesCmd(CGXProperties* pOld) { return new CGXChangePropertiesCmd(pOld); }

CGXCommand* CGXCommandFactory::CreateChangeBaseStyleCmd(WORD wStyleId, const CGXStyle& style, LPCTSTR pszName)
{
    return new CGXChangeBaseStyleCmd(wStyleId, style, pszName);
}

CGXCommand* CGXCommandFactory::CreateMoveCellsCmd(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject* pInfo)
{
    return new CGXMoveCellsCmd(source, nDestRow, nDestCol, pInfo);
}

CGXCommand* CGXCommandFactory::CreateSetRangeNameCmd(LPCTSTR pszName, BOOL bHadRange, const CGXCellRange& range)
{
    return new CGXSetRangeNameCmd(pszName, bHadRange, range);
}

CGXCommand* CGXCommandFactory::CreateDeleteRangeNameCmd(LPCTSTR pszName, const CGXCellRange& range, CObject* pExtra)
{
    return new CGXDeleteRangeNameCmd(pszName, range, pExtra);
}

// ---- The cell store's engine record ----

BOOL CGXCommandFactory::SetEngineUndoCollecting(CGXGridCore* pGrid, BOOL bOn)
{
    CGXData* pData = pGrid->GetData();
    return pData ? pData->EnableUndoInfo(bOn) : FALSE;
}

CObject* CGXCommandFactory::TakeEngineUndoRecord(CGXGridCore* pGrid)
{
    CGXData* pData = pGrid->GetData();
    return pData ? pData->GetUndoInfo() : nullptr;
}

BOOL CGXCommandFactory::ApplyEngineUndoRecord(CGXGridCore* pGrid, CObject* pRecord, BOOL bValue, BOOL bFlag)
{
    CGXData* pData = pGrid->GetData();
    return pData && pRecord ? pData->ApplyUndoInfo(pRecord, bValue, bFlag) : FALSE;
}

void CGXCommandFactory::DiscardEngineUndoRecord(CGXGridCore* pGrid) { delete TakeEngineUndoRecord(pGrid); }

// ---- Recording ----

CObList* CGXCommandFactory::TargetList(CGXGridCore* pGrid, int ctCmd, BOOL& bTopLevel)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CObList& list = (ctCmd == gxRollback || ctCmd == gxUndo) ? pParam->GetRedoList() : pParam->GetUndoList();
    bTopLevel = TRUE;
    // Only a block is ever used as one: a plain command at the head stays a plain command.
    if ((TransactionDepth(*pParam) > 0 || pGrid->m_bExecutingBlock) && !list.IsEmpty()) {
        if (auto* pBlock = dynamic_cast<CGXBlockCmd*>(list.GetHead())) {
            bTopLevel = FALSE;
            return &pBlock->m_CmdList;
        }
    }
    return &list;
}

void CGXCommandFactory::AddCommand(CGXGridCore* pGrid, CGXCommand* pCmd, int ctCmd)
{
    std::unique_ptr<CGXCommand> cmd(pCmd);
    CGXGridParam* pParam = pGrid->GetParam();
    if (!cmd || !pParam)
        return;
    try {
        if (ctCmd == gxDo)
            pParam->ClearRedoList();
        if (!cmd->m_pEngineUndo)
            cmd->m_pEngineUndo.reset(TakeEngineUndoRecord(pGrid));
        BOOL bTopLevel = TRUE;
        CObList* pTarget = TargetList(pGrid, ctCmd, bTopLevel);
        if (bTopLevel && pTarget->GetCount() > INT_PTR(pParam->m_nMaxUndo))
            delete pTarget->RemoveTail();
        Stamp(pGrid, cmd.get());
        pTarget->AddHead(cmd.get());
        cmd.release();
    } catch (const CException&) {
        // The change stands without its undo step; the command goes.
    } catch (const std::bad_alloc&) {
    }
}

void CGXCommandFactory::RemoveCommand(CGXGridCore* pGrid, int ctCmd)
{
    if (!pGrid->GetParam())
        return;
    BOOL bTopLevel = TRUE;
    CObList* pTarget = TargetList(pGrid, ctCmd, bTopLevel);
    if (!pTarget->IsEmpty())
        delete pTarget->RemoveHead();
}

BOOL CGXCommandFactory::ExecuteCommand(CGXGridCore* pGrid, CGXCommand* pCmd, int ctCmd)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pCmd)
        return FALSE;
    ReadOnlyCheckOff readOnlyOff(*pParam);
    if (pGrid->GetData() && pCmd->m_pEngineUndo) {
        const BOOL bOld = SetEngineUndoCollecting(pGrid, ctCmd != gxRollback);
        ApplyEngineUndoRecord(pGrid, pCmd->m_pEngineUndo.get(), TRUE, FALSE);
        SetEngineUndoCollecting(pGrid, bOld);
    }
    return pCmd->Execute(pGrid, ctCmd);
}

// ---- Undo and Redo ----

BOOL CGXCommandFactory::Undo(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    // An open transaction's block is not to be run off the list under it.
    if (!pParam || TransactionDepth(*pParam) > 0)
        return FALSE;
    ROWCOL nRow = 0, nCol = 0;
    if (pGrid->QueryCurrentCell(nRow, nCol) && pGrid->IsCurrentCellControlActive()) {
        CGXControl* pControl = pGrid->CurrentCellControl();
        // Read before the cancel, which clears it.
        const BOOL bModified = pControl->IsModified();
        if (!pControl->CancelEditing())
            return FALSE;
        pControl->InitForCell(nRow, nCol);
        pControl->Refresh();
        pControl->AfterCancelEditing();
        if (bModified)
            return TRUE;  // this Undo only discarded the edit in progress
    }
    CObList& list = pParam->GetUndoList();
    if (list.IsEmpty())
        return FALSE;
    auto* pCmd = static_cast<CGXCommand*>(list.RemoveHead());
    const BOOL bResult = ExecuteCommand(pGrid, pCmd, gxUndo);
    if (bResult)
        delete pCmd;
    else
        list.AddHead(pCmd);
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
    pGrid->UpdateScrollBars();
    return bResult;
}

BOOL CGXCommandFactory::Redo(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || TransactionDepth(*pParam) > 0)
        return FALSE;
    if (pGrid->IsCurrentCellControlActive() && !pGrid->StoreCurrentCellEdit(TRUE))
        return FALSE;
    CObList& list = pParam->GetRedoList();
    if (list.IsEmpty())
        return FALSE;
    auto* pCmd = static_cast<CGXCommand*>(list.RemoveHead());
    const BOOL bResult = ExecuteCommand(pGrid, pCmd, gxRedo);
    if (bResult) {
        if (pCmd->m_bCCell)
            pGrid->PlaceCurrentCell(pCmd->m_nRow, pCmd->m_nCol, kPlaceAfterCommand);
        delete pCmd;
    } else {
        list.AddHead(pCmd);
    }
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
    pGrid->UpdateScrollBars();
    return bResult;
}

// ---- Transactions ----

void CGXCommandFactory::BeginTransaction(CGXGridCore* pGrid, LPCTSTR pszName)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pParam->IsEnableUndo())
        return;
    if (TransactionDepth(*pParam) > 0) {
        ++pParam->m_nUndoCount;
        return;
    }
    pGrid->m_sTransactionName = pszName ? pszName : "";
    auto* pBlock = new CGXBlockCmd(pszName);
    Stamp(pGrid, pBlock);
    pParam->GetUndoList().AddHead(pBlock);
    pParam->m_nUndoCount = 1;
}

void CGXCommandFactory::CommitTransaction(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || TransactionDepth(*pParam) == 0 || !pParam->IsEnableUndo())
        return;
    if (--pParam->m_nUndoCount > 0)
        return;
    CObList& list = pParam->GetUndoList();
    if (list.IsEmpty())
        return;
    auto* pBlock = dynamic_cast<CGXBlockCmd*>(list.GetHead());
    if (pBlock && pBlock->m_CmdList.IsEmpty()) {
        list.RemoveHead();
        delete pBlock;
    } else if (list.GetCount() > INT_PTR(pParam->m_nMaxUndo)) {
        delete list.RemoveTail();
    }
}

void CGXCommandFactory::Rollback(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || TransactionDepth(*pParam) == 0 || !pParam->IsEnableUndo())
        return;
    if (--pParam->m_nUndoCount > 0)
        return;  // an inner rollback only closes its level
    pParam->m_nUndoCount = 0;
    CObList& list = pParam->GetUndoList();
    if (list.IsEmpty())
        return;
    auto* pBlock = dynamic_cast<CGXBlockCmd*>(list.GetHead());
    if (!pBlock)
        return;
    list.RemoveHead();
    pBlock->Execute(pGrid, gxRollback);
    delete pBlock;
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
}

void CGXCommandFactory::SetCurrentCellAfterCommand(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent)
{
    if (pGrid->m_bExecutingBlock) {
        pGrid->m_bPendingCurrentCell = TRUE;
        pGrid->m_bPendingSetCurrent = bSetCurrent;
        pGrid->m_nPendingRow = nRow;
        pGrid->m_nPendingCol = nCol;
        return;
    }
    if (bSetCurrent && !pGrid->IsCurrentCellAt(nRow, nCol))
        pGrid->PlaceCurrentCell(nRow, nCol, kPlaceAfterCommand);
    else
        pGrid->ScrollToCell(nRow, nCol, 2);
    if (CWnd* pWnd = pGrid->GetGridWnd(); pWnd && pWnd->GetSafeHwnd())
        pWnd->UpdateWindow();
}

// ---- Menu items ----

BOOL CGXCommandFactory::UpdateMenuItem(CGXGridCore* pGrid, CCmdUI* pCmdUI, BOOL bUndo, BOOL bEditing)
{
    CString& sFormat = bUndo ? pGrid->m_sUndoMenuFormat : pGrid->m_sRedoMenuFormat;
    if (sFormat.IsEmpty()) {
        CString sResource;
        if (sResource.LoadString(pCmdUI->m_nID)) {
            const int nFirst = sResource.Find('\n');
            const int nSecond = nFirst >= 0 ? sResource.Find('\n', nFirst + 1) : -1;
            if (nSecond >= 0)
                sFormat = sResource.Mid(nSecond + 1);
        }
        if (sFormat.IsEmpty()) {
            char szText[kMaxMenuText + 1] = {};
            if (pCmdUI->m_pMenu)
                pCmdUI->m_pMenu->GetMenuString(pCmdUI->m_nIndex, szText, kMaxMenuText, MF_BYPOSITION);
            sFormat = szText[0] ? szText : (bUndo ? "Undo %1" : "Redo %1");
        }
    }
    CString sName;
    CObList& list = bUndo ? pGrid->GetParam()->GetUndoList() : pGrid->GetParam()->GetRedoList();
    if (bEditing)
        sName = GXGetLibraryState().m_astrTexts[gxTextCurrentCell];
    else if (!list.IsEmpty())
        sName = static_cast<CGXCommand*>(list.GetHead())->GetDisplayName();
    CString sText = sFormat;
    sText.Replace("%1", sName);
    pCmdUI->SetText(sText);
    return TRUE;
}

BOOL CGXCommandFactory::UpdateUndoItem(CGXGridCore* pGrid, CCmdUI* pCmdUI, BOOL bUndo)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam) {
        if (pCmdUI)
            pCmdUI->Enable(FALSE);
        return FALSE;
    }
    // An edit in progress is what Undo takes back first; Redo has no such case.
    const BOOL bEditing = bUndo && pGrid->IsCurrentCellControlActive() && pGrid->CurrentCellControl()->IsModified();
    const CObList& list = bUndo ? pParam->GetUndoList() : pParam->GetRedoList();
    const BOOL bResult = TransactionDepth(*pParam) == 0 && (bEditing || !list.IsEmpty());
    if (!pCmdUI)
        return bResult;
    if (pCmdUI->m_pMenu)
        UpdateMenuItem(pGrid, pCmdUI, bUndo, bEditing);
    pCmdUI->Enable(bResult);
    return bResult;
}

BOOL CGXCommandFactory::CanUndo(CGXGridCore* pGrid, CCmdUI* pCmdUI) { return UpdateUndoItem(pGrid, pCmdUI, TRUE); }
BOOL CGXCommandFactory::CanRedo(CGXGridCore* pGrid, CCmdUI* pCmdUI) { return UpdateUndoItem(pGrid, pCmdUI, FALSE); }

// ---- Undo information of removed rows and columns ----

BOOL CGXCommandFactory::StoreRowsForUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nRowCount, ROWCOL nColCount,
                                         CObArray*& pCellsArray, CObArray*& pRowsArray, CGXLongOperation* pOp)
{
    return StoreLinesForUndo(pGrid, TRUE, nFirst, nRowCount, nColCount, pCellsArray, pRowsArray, pOp);
}

BOOL CGXCommandFactory::StoreColsForUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nColCount, ROWCOL nRowCount,
                                         CObArray*& pCellsArray, CObArray*& pColsArray, CGXLongOperation* pOp)
{
    return StoreLinesForUndo(pGrid, FALSE, nFirst, nColCount, nRowCount, pCellsArray, pColsArray, pOp);
}

BOOL CGXCommandFactory::StoreLinesForUndo(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nCount,
                                          ROWCOL nOtherCount, CObArray*& pCellsArray, CObArray*& pLinesArray,
                                          CGXLongOperation* pOp)
{
    pCellsArray = pLinesArray = nullptr;
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return FALSE;
    const WORD wFlags = bRows ? pParam->m_wRemoveRowsFlags : pParam->m_wRemoveColsFlags;
    const unsigned long long nCells = (unsigned long long)nCount * nOtherCount;
    const bool bCells = (wFlags & 2) != 0;
    const bool bLines = (wFlags & 1) != 0;
    if (bCells && (nCells >= kMaxUndoCells || nCount > kMaxUndoLines || nOtherCount > kMaxUndoLines))
        return ContinueWithoutUndo();
    GXOwnedObArray cells, lines;
    const unsigned long long nTotal = (bCells ? nCells : 0) + (bLines ? nCount : 0);
    unsigned long long nDone = 0;
    BOOL bAbort = FALSE;
    // One stored style of (line, other) into the array, or an empty entry; false on cancel.
    auto store = [&](CObArray& array, INT_PTR nIndex, ROWCOL nLine, ROWCOL nOther, int nType) {
        CGXStyle* pStyle = pGrid->NewScratchStyle();
        const ROWCOL nRow = bRows ? nLine : nOther, nCol = bRows ? nOther : nLine;
        if (pGrid->FetchStoredStyle(nRow, nCol, *pStyle, gxCopy, nType))
            array.SetAt(nIndex, pStyle);
        else
            pGrid->RecycleStyle(pStyle);
        ++nDone;
        if (pOp) {
            CGXLongOperation::SetPercentDone(int(nDone * 100 / nTotal));
            pOp->ProcessMessagesQueryAbort(bAbort);
        }
        return !bAbort;
    };
    try {
        if (bCells) {
            cells.pArray = std::make_unique<CObArray>();
            cells.get()->SetSize(INT_PTR(nCells));
            INT_PTR i = 0;
            for (ROWCOL n = 0; n < nCount && !bAbort; ++n)
                for (ROWCOL m = 0; m < nOtherCount && store(*cells.get(), i, nFirst + n, m, pGrid->DefaultValueType()); ++m, ++i) {
                }
        }
        if (bLines && !bAbort) {
            if (nCount > kMaxUndoLines) {
                if (!ContinueWithoutUndo())
                    return FALSE;
            } else {
                lines.pArray = std::make_unique<CObArray>();
                lines.get()->SetSize(INT_PTR(nCount));
                for (ROWCOL n = 0; n < nCount && store(*lines.get(), INT_PTR(n), nFirst + n, 0, -1); ++n) {
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return ContinueWithoutUndo();
    } catch (const CMemoryException&) {
        return ContinueWithoutUndo();
    }
    if (bAbort)
        return FALSE;
    pCellsArray = cells.pArray.release();
    pLinesArray = lines.pArray.release();
    return TRUE;
}

int CGXCommandFactory::PrepareRemoveUndo(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo)
{
    pInfo = nullptr;
    if (nLast < nFirst)
        return gxUndoReady;
    const ROWCOL nCount = nLast - nFirst + 1;
    const ROWCOL nOther = (bRows ? pGrid->ColCount() : pGrid->RowCount()) + 1;
    CGXLongOperation theOp;
    CObArray* pCells = nullptr;
    CObArray* pLines = nullptr;
    if (!StoreLinesForUndo(pGrid, bRows, nFirst, nCount, nOther, pCells, pLines, &theOp))
        return gxUndoRefused;
    const WORD wFlags = bRows ? pGrid->GetParam()->m_wRemoveRowsFlags : pGrid->GetParam()->m_wRemoveColsFlags;
    if ((wFlags & 2) && !pCells) {
        // The user let the removal go on without undo: the history before it no longer
        // matches the rows that stay, so it goes too.
        pGrid->GetParam()->ClearUndoList();
        pGrid->GetParam()->ClearRedoList();
        return gxUndoSkipped;
    }
    auto* p = new GXRemovedLinesInfo;
    p->cells.pArray.reset(pCells);
    p->lines.pArray.reset(pLines);
    pInfo = p;
    return gxUndoReady;
}

int CGXCommandFactory::PrepareRemoveRowsUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo)
{
    return PrepareRemoveUndo(pGrid, TRUE, nFirst, nLast, pInfo);
}

int CGXCommandFactory::PrepareRemoveColsUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo)
{
    return PrepareRemoveUndo(pGrid, FALSE, nFirst, nLast, pInfo);
}

// ---- Installation ----

void CGXGridCore::InstallCommandFactory()
{
    if (m_pUndoImp)
        return;
    auto* p = new CGXCommandFactory;
    m_pUndoImp = p;
    AddImpToDeleteList(p);
}
