#pragma once
// Sizing rows and columns by dragging header borders: a preview or live size while the mouse
// moves, one undoable change at the end, double-clicks that restore the default size or show
// hidden neighbours, and the one-pixel line window that can show the moving border.

#include "grid/core/gxfeature.h"
#include "platform/win/cwnd.h"

// A one-pixel child window over the grid: a line in its pen (mode 0), or a marker the grid draws.
class CGXDragLineWnd : public CWnd {
public:
    explicit CGXDragLineWnd(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    BOOL CreateOver(CWnd* pParent, COLORREF color);
    // Moves onto the rectangle (client coordinates of the grid window) and shows itself.
    void ShowAt(const CRect& rect);
    // Hides (or destroys) the line and lets the grid repaint what it covered.
    void Hide(BOOL bDestroy = FALSE);
    void Remove() { Hide(TRUE); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CGXGridCore* m_pGrid;
    COLORREF m_color = RGB(0, 0, 0);
    DWORD m_nDrawCode = 0;  // 1 columns, 2 rows
    DWORD m_nMode = 0;
};

class CGXGridUserResizeCellsImp : public CGXAbstractGridUserResizeCellsImp {
public:
    ~CGXGridUserResizeCellsImp() override;
    BOOL OnResizeMouseMove(CGXGridCore* pGrid, CPoint point) override;
    BOOL OnResizeMouseDown(CGXGridCore* pGrid, UINT flags, CPoint point, int nHit, ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnResizeMouseUp(CGXGridCore* pGrid, CPoint point) override;
    BOOL OnResizeDoubleClick(CGXGridCore* pGrid, UINT flags, CPoint point, int nHit, ROWCOL nRow, ROWCOL nCol) override;
    BOOL StartResize(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode) override;
    void MoveResize(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CPoint size) override;
    void CancelResize(CGXGridCore* pGrid) override;
    void EndResize(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CPoint size) override;

    enum { kRows = 1, kCols = 2 };
    struct Axis;

private:
    const Axis& Current() const;
    void Invert(CGXGridCore* pGrid, int nPos);
    void DestroyLine();
    void RestoreStart(CGXGridCore* pGrid);
    void StoreLive(CGXGridCore* pGrid, int nSize);
    void RedrawFrom(CGXGridCore* pGrid, BOOL bWholeLine);
    void RedrawHeader(CGXGridCore* pGrid);
    void Finish(CGXGridCore* pGrid);
    void AllTo(CGXGridCore* pGrid, int nSize);
    CRect LineRect(int nPos) const;
    int SizeAt(int nPos) const;

    int m_nMode = 0;
    ROWCOL m_nIndex = 0;
    int m_nStartSize = 0;
    BOOL m_bStartHidden = FALSE;
    BOOL m_bStartStored = FALSE;  // the start size came from the size map, not the default
    LONG m_nStartStored = 0;
    BOOL m_bLive = FALSE, m_bPreview = FALSE, m_bLineWnd = FALSE, m_bInvert = FALSE, m_bMarkHeader = FALSE;
    int m_nStartLine = 0;  // near edge: the line never passes it
    int m_nOrigin = 0;     // the far edge when the drag began: movement is measured from it
    int m_nLine = 0;
    BOOL m_bInverted = FALSE;
    int m_nLineFrom = 0, m_nLineTo = 0;  // extent across the drag direction
    int m_nCellStart = 0;                // the cell's near edge on screen
    BOOL m_bMoved = FALSE;
    CGXDragLineWnd* m_pLineWnd = nullptr;
};
