// Structure operations (counts, rows and columns, frozen rows) and the forwarders to the
// feature objects; a missing feature answers 0.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"

BOOL CGXGridCore::SetRowCount(ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::SetColCount(ROWCOL, UINT) { return 0; }
ROWCOL CGXGridCore::RowCount() { return GetData() ? GetData()->GetRowCount() : 0; }
ROWCOL CGXGridCore::ColCount() { return GetData() ? GetData()->GetColCount() : 0; }
BOOL CGXGridCore::StoreRowCount(ROWCOL) { return 0; }
BOOL CGXGridCore::StoreColCount(ROWCOL) { return 0; }
void CGXGridCore::UpdateRowCount(ROWCOL, UINT, BOOL) {}
void CGXGridCore::UpdateColCount(ROWCOL, UINT, BOOL) {}
BOOL CGXGridCore::RemoveRows(ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::RemoveCols(ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::MoveRows(ROWCOL, ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::MoveCols(ROWCOL, ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::InsertRows(ROWCOL, ROWCOL, int*, CObArray*, CObArray*, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::InsertCols(ROWCOL, ROWCOL, int*, CObArray*, CObArray*, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::StoreInsertRows(ROWCOL, ROWCOL, BOOL) { return 0; }
BOOL CGXGridCore::StoreInsertCols(ROWCOL, ROWCOL, BOOL) { return 0; }
BOOL CGXGridCore::StoreRemoveRows(ROWCOL, ROWCOL, BOOL) { return 0; }
BOOL CGXGridCore::StoreRemoveCols(ROWCOL, ROWCOL, BOOL) { return 0; }
BOOL CGXGridCore::StoreMoveRows(ROWCOL, ROWCOL, ROWCOL, BOOL) { return 0; }
BOOL CGXGridCore::StoreMoveCols(ROWCOL, ROWCOL, ROWCOL, BOOL) { return 0; }
void CGXGridCore::UpdateInsertRows(ROWCOL, ROWCOL, UINT, BOOL) {}
void CGXGridCore::UpdateInsertCols(ROWCOL, ROWCOL, UINT, BOOL) {}
void CGXGridCore::UpdateRemoveRows(ROWCOL, ROWCOL, int*, UINT, BOOL) {}
void CGXGridCore::UpdateRemoveCols(ROWCOL, ROWCOL, int*, UINT, BOOL) {}
void CGXGridCore::UpdateMoveRows(ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) {}
void CGXGridCore::UpdateMoveCols(ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) {}
BOOL CGXGridCore::SetFrozenRows(ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::SetFrozenCols(ROWCOL, ROWCOL, UINT, int) { return 0; }
ROWCOL CGXGridCore::FrozenRows() { return m_pParam ? m_pParam->m_nFrozenRows : 0; }
ROWCOL CGXGridCore::FrozenCols() { return m_pParam ? m_pParam->m_nFrozenCols : 0; }
ROWCOL CGXGridCore::HeaderRows() { return m_pParam ? m_pParam->m_nHeaderRows : 0; }
ROWCOL CGXGridCore::HeaderCols() { return m_pParam ? m_pParam->m_nHeaderCols : 0; }
BOOL CGXGridCore::StoreFrozenRows(ROWCOL, ROWCOL) { return 0; }
BOOL CGXGridCore::StoreFrozenCols(ROWCOL, ROWCOL) { return 0; }
void CGXGridCore::OnFrozenRowsChanged(ROWCOL, ROWCOL) {}
void CGXGridCore::OnFrozenColsChanged(ROWCOL, ROWCOL) {}
BOOL CGXGridCore::SortRows(const CGXCellRange&, const CGXSortInfoArray&, UINT) { return 0; }
BOOL CGXGridCore::SortCols(const CGXCellRange&, const CGXSortInfoArray&, UINT) { return 0; }
void CGXGridCore::GetSortKey(ROWCOL, ROWCOL, const GXSortInfo&, CString&, BOOL) {}
BOOL CGXGridCore::MoveDataRows(const CGXCellRange&, const CDWordArray&, UINT, int) { return 0; }
BOOL CGXGridCore::MoveDataCols(const CGXCellRange&, const CDWordArray&, UINT, int) { return 0; }
BOOL CGXGridCore::StoreMoveDataRows(const CGXCellRange&, const CDWordArray&) { return 0; }
BOOL CGXGridCore::StoreMoveDataCols(const CGXCellRange&, const CDWordArray&) { return 0; }
void CGXGridCore::UpdateMoveDataRows(const CGXCellRange&, UINT, BOOL) {}
void CGXGridCore::UpdateMoveDataCols(const CGXCellRange&, UINT, BOOL) {}
BOOL CGXGridCore::CanSortRows(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::CanSortCols(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::SortRowsByHeader(ROWCOL) { return 0; }
BOOL CGXGridCore::CanDragRows(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanDragCols(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanDropRows(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanDropCols(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanStartMouseSelectionRows(ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanStartMouseSelectionCols(ROWCOL) { return TRUE; }
BOOL CGXGridCore::ConfirmDropRows(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::ConfirmDropCols(ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanStartFill(const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::CanFillRange(const CGXCellRange&, const CGXCellRange&) { return TRUE; }
BOOL CGXGridCore::GetCoveredCellsRowCol(ROWCOL, ROWCOL, CGXCellRange&) { return 0; }
BOOL CGXGridCore::SetCoveredCellsRowCol(ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, int) { return 0; }
BOOL CGXGridCore::StoreCoveredCellsRowCol(ROWCOL, ROWCOL, ROWCOL, ROWCOL, BOOL) { return 0; }
void CGXGridCore::QueueFloatCellsRange(const CGXCellRange&, int) {}
BOOL CGXGridCore::ResolveFloatCells(const CGXCellRange&, BOOL, BOOL, BOOL) { return 0; }
BOOL CGXGridCore::FloatSpanOfCell(ROWCOL, ROWCOL, CGXCellRange&) { return 0; }
void CGXGridCore::RefloatAfterStore(ROWCOL, ROWCOL) {}
void CGXGridCore::RedrawFloatSpan(ROWCOL, ROWCOL, UINT, BOOL) {}
void CGXGridCore::QueueMergeCellsRange(const CGXCellRange&, int) {}
BOOL CGXGridCore::ResolveMergeCells(const CGXCellRange&, BOOL, BOOL, BOOL) { return 0; }
BOOL CGXGridCore::MergeSpanOfCell(ROWCOL, ROWCOL, CGXCellRange&) { return 0; }
void CGXGridCore::RemergeAfterStore(ROWCOL, ROWCOL) {}
void CGXGridCore::RedrawMergeSpan(ROWCOL, ROWCOL, UINT, BOOL) {}
BOOL CGXGridCore::GetFloatCellsMode() { return 0; }
BOOL CGXGridCore::GetMergeCellsMode() { return 0; }
BOOL CGXGridCore::SpanOfCell(ROWCOL, ROWCOL, CGXCellRange&) { return 0; }
void CGXGridCore::PrepareSpannedDrawing(ROWCOL, ROWCOL, ROWCOL, ROWCOL) {}
BOOL CGXGridCore::Undo() { return 0; }
BOOL CGXGridCore::Redo() { return 0; }
void CGXGridCore::BeginTransaction(LPCTSTR) {}
void CGXGridCore::CommitTransaction() {}
void CGXGridCore::Rollback() {}
BOOL CGXGridCore::CanUndo(CCmdUI*) { return 0; }
BOOL CGXGridCore::CanRedo(CCmdUI*) { return 0; }
void CGXGridCore::AddCommand(CGXCommand* pCmd, int ctCmd)
{
    if (m_pUndoImp && pCmd)
        m_pUndoImp->AddCommand(this, pCmd, ctCmd);
}
void CGXGridCore::RemoveCommand(int) {}
void CGXGridCore::OnCellsChanged(ROWCOL, ROWCOL, BOOL) {}
BOOL CGXGridCore::ExecuteCommand(CGXCommand*, int) { return 0; }
BOOL CGXGridCore::SetAdvancedUndo(BOOL) { return 0; }
CObject* CGXGridCore::GetAdvancedUndoInfo() { return nullptr; }
BOOL CGXGridCore::UndoAdvanced(CObject*, BOOL, BOOL) { return 0; }
void CGXGridCore::CleanAdvancedUndo() {}
BOOL CGXGridCore::Copy() { return 0; }
BOOL CGXGridCore::Paste() { return 0; }
BOOL CGXGridCore::Cut() { return 0; }
BOOL CGXGridCore::Clear(BOOL) { return 0; }
BOOL CGXGridCore::CopyRange(const CGXRangeList&) { return 0; }
BOOL CGXGridCore::CutRange(const CGXRangeList&, BOOL) { return 0; }
BOOL CGXGridCore::ClearCells(const CGXRangeList&, BOOL) { return 0; }
BOOL CGXGridCore::CopyRangesAsText(const CGXRangeList&) { return 0; }
BOOL CGXGridCore::CopyRangesAsStyles(const CGXRangeList&) { return 0; }
BOOL CGXGridCore::CanCopy() { return 0; }
BOOL CGXGridCore::CanCut() { return 0; }
BOOL CGXGridCore::CanPaste() { return 0; }

// ---- Non-virtual structure members ----

BOOL CGXGridCore::IsInFrozenRows(ROWCOL nRow) { return nRow != 0 && nRow <= FrozenRows(); }
BOOL CGXGridCore::IsInFrozenCols(ROWCOL nCol) { return nCol != 0 && nCol <= FrozenCols(); }
void CGXGridCore::RedrawHeaders() {}
BOOL CGXGridCore::RecalcAndRefresh(BOOL, CString*, BOOL) { return TRUE; }
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
