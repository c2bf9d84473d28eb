#pragma once
// Dragging selected whole rows or columns by their header: a coloured line shows where the block
// would go, and the release moves it there as one undoable step.

#include "grid/core/gxfeature.h"

class CGXDragLineWnd;

// Cursors of a drag: over a place the block may go, and over one the grid refuses.
enum : UINT { GX_IDC_NODROP = 20208 };

class CGXGridUserDragSelectRangeImp : public CGXAbstractGridUserDragSelectRangeImp {
public:
    ~CGXGridUserDragSelectRangeImp() override;
    BOOL OnDragMouseDown(CGXGridCore* pGrid, UINT flags, CPoint point, ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnDragMouseMove(CGXGridCore* pGrid, CPoint point) override;
    BOOL OnDragMouseUp(CGXGridCore* pGrid, CPoint point) override;
    BOOL StartDragSelect(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;
    void MoveDragSelect(CGXGridCore* pGrid, ROWCOL nDropRow, ROWCOL nDropCol) override;
    BOOL EndDragSelect(CGXGridCore* pGrid, ROWCOL nDropRow, ROWCOL nDropCol) override;
    void CancelDragSelect(CGXGridCore* pGrid) override;

    enum { kNone = 0, kCols = 1, kRows = 2 };
    int DragMode() const { return m_nMode; }
    BOOL IsDragPending() const { return m_bPending; }
    ROWCOL DropRow() const { return m_nDropRow; }
    ROWCOL DropCol() const { return m_nDropCol; }

private:
    // The drop position under a point: the line under it, at least 1, or count + 1 beyond the last.
    ROWCOL DropAt(CGXGridCore* pGrid, CPoint point) const;
    BOOL CanDrop(CGXGridCore* pGrid, ROWCOL nDrop) const;
    void ShowLine(CGXGridCore* pGrid, ROWCOL nDrop);
    void HideLine();
    void DestroyLine();
    void Finish(CGXGridCore* pGrid);

    BOOL m_bPending = FALSE;
    int m_nMode = kNone;
    ROWCOL m_nFirst = 0, m_nLast = 0;  // the dragged block
    ROWCOL m_nDropRow = 1, m_nDropCol = 1;
    BOOL m_bRefused = FALSE;
    ROWCOL m_nPressRow = 0, m_nPressCol = 0;
    BOOL m_bMoved = FALSE;  // the drop position left the pressed line
    CGXDragLineWnd* m_pLineWnd = nullptr;
};
