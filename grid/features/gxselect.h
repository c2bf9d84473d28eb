#pragma once
// Selecting cells, whole rows, whole columns or the table with the mouse and the keyboard
// (Shift extends, Ctrl adds or removes), repainting only the visible cells whose state changed.

#include "grid/core/gxfeature.h"


class CGXGridUserSelectRangeImp : public CGXAbstractGridUserSelectRangeImp {
public:
    // The core's entry points.
    BOOL MoveCurrentCell(CGXGridCore* pGrid, int nDirection, UINT nCount, BOOL bSelect) override;
    BOOL OnStartSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnMoveSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnEndSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL SetSelection(CGXGridCore* pGrid, const CGXCellRange* pRange, BOOL bRedraw) override;
    BOOL ClearSelection(CGXGridCore* pGrid, BOOL bRedraw) override;

    BOOL ExtendSelectionByKey(CGXGridCore* pGrid, int nDirection, UINT nCount);
    BOOL OnSelectMouseDown(CGXGridCore* pGrid, UINT flags, CPoint point, ROWCOL nRow, ROWCOL nCol);
    BOOL OnSelectMouseMove(CGXGridCore* pGrid, CPoint point, ROWCOL nRow, ROWCOL nCol);
    BOOL OnSelectMouseUp(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol);
    void SelectCell(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bRedraw);
    void AddOrRemoveRange(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bAdd);
    // Repaints the visible cells whose selected state differs from the former list.
    void RedrawSelectionChange(CGXGridCore* pGrid, const CGXRangeList& former);
    // Stores a range's new bounds; with no position, clears the selection.
    void SetSelectionRange(CGXGridCore* pGrid, POSITION pos, const CGXCellRange& range);
    void RedrawSelection(CGXGridCore* pGrid);
    BOOL DeselectByCtrlClick(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol);

    POSITION m_posEdit = nullptr;  // the range being edited
    ROWCOL m_nAnchorRow = 0, m_nAnchorCol = 0;
    BOOL m_bHasAnchor = FALSE;

private:
    CGXCellRange RangeFromAnchor(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) const;
    BOOL m_bPlainClick = FALSE;
};
