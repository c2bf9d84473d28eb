// Find and replace, and the selection operations.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"

BOOL CGXGridCore::GetSelectedRanges(CGXRangeList&, BOOL) { return 0; }
void CGXGridCore::SetSelection(const CGXCellRange*, UINT) {}
void CGXGridCore::ClearRangeSelection(UINT) {}
BOOL CGXGridCore::CopySelectionRanges(CGXRangeList&) { return 0; }
ROWCOL CGXGridCore::CollectSelectedRows(CDWordArray&, BOOL) { return 0; }
ROWCOL CGXGridCore::CollectSelectedCols(CDWordArray&, BOOL) { return 0; }
BOOL CGXGridCore::SelectedRowIntervals(CDWordArray&, CDWordArray&) { return 0; }
BOOL CGXGridCore::SelectedColIntervals(CDWordArray&, CDWordArray&) { return 0; }
BOOL CGXGridCore::OnStartSelection(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnMoveSelection(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnEndSelection(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
BOOL CGXGridCore::LockExcelLikeFrame(BOOL) { return 0; }
void CGXGridCore::UpdateExcelLikeFrame(const CGXCellRange&, UINT) {}
void CGXGridCore::DrawExcelLikeFrame(CDC*) {}
BOOL CGXGridCore::CanSelectRange(const CGXCellRange&, UINT) { return TRUE; }
BOOL CGXGridCore::OnStartFill(ROWCOL, ROWCOL) { return 0; }
void CGXGridCore::HideFillHandle() {}
void CGXGridCore::OnTextNotFound(LPCTSTR) {}
void CGXGridCore::FindReplaceDialog(BOOL) {}
BOOL CGXGridCore::FindText(BOOL) { return 0; }
BOOL CGXGridCore::SearchCells(const void*) { return 0; }
BOOL CGXGridCore::FindAgain() { return 0; }
LRESULT CGXGridCore::OnFindReplace(WPARAM, LPARAM) { return 0; }
