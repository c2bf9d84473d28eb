#pragma once
// The spreadsheet-style selection frame and its fill handle. The frame is a thick
// frame around the selection's first range, drawn by inverting pixels, so that drawing it again
// takes it away exactly; each paint draws it into what it repainted. Dragging the handle shows
// the range that would be filled as a double focus rectangle; the release repeats the source
// cells into it, or clears what a smaller range gives up. Values are repeated as they are.

#include <vector>

#include "grid/core/gxfeature.h"

class CGXGridExcelLikeFrameImpl : public CGXGridExcelLikeFrameImp {
public:
    // The core's entry points.
    BOOL LockFrame(CGXGridCore* pGrid, BOOL bHide) override { return ShowFrame(pGrid, bHide, FALSE); }
    void UpdateFrame(CGXGridCore* pGrid, const CGXCellRange& range, UINT flags) override;
    void DrawFrame(CGXGridCore* pGrid, CDC* pDC) override;

    // Inverts the pieces of a frame rectangle (L, T, R, B) clipped to a pane.
    virtual void DrawFramePiece(CGXGridCore* pGrid, CDC* pDC, const CRect& rectClip, const CRect& rectFrame, BOOL bTopEdge,
                                BOOL bLeftEdge, int nHandle, BOOL bHandleOnly);
    // Up to four pieces, one per pane (frozen and scrolled rows and columns).
    virtual void DrawFrameForRange(CGXGridCore* pGrid, CDC* pDC, const CGXCellRange& range, int nHandle,
                                   BOOL bHandleOnly = FALSE);
    // Removes the frame drawn now (when asked) and draws it around the range (when given).
    virtual void UpdateFrameOn(CGXGridCore* pGrid, CDC* pDC, BOOL bEraseOld, const CGXCellRange* pRange);
    virtual void RedrawFrame(CGXGridCore* pGrid);
    // Hides or shows the frame; the previous hidden state.
    virtual BOOL ShowFrame(CGXGridCore* pGrid, BOOL bHide, BOOL bHint);

    // The rectangles DrawFramePiece inverts (before clipping).
    static std::vector<CRect> FramePieceRects(const CRect& rectFrame, BOOL bTopEdge, BOOL bLeftEdge, int nHandle,
                                              BOOL bHandleOnly);
    // Handle position code of a range: 0 cells (bottom right), 2 whole rows (bottom left),
    // 7 whole columns (top right).
    static int HandleCode(const CGXCellRange& range);

    CGXCellRange m_range;  // the frame's range, plain cells; invalid when none
    int m_nHandle = 0;
    BOOL m_bHasFrame = FALSE;  // a frame is on the screen
    BOOL m_bHidden = FALSE;
};

class CGXGridExcelLikeFillImpl : public CGXGridExcelLikeFillImp {
public:
    BOOL StartFill(CGXGridCore* pGrid, UINT nFlags, CPoint point, ROWCOL nRow, ROWCOL nCol) override;
    BOOL MoveFill(CGXGridCore* pGrid, CPoint point, ROWCOL nRow, ROWCOL nCol) override;
    BOOL EndFill(CGXGridCore* pGrid) override;
    void CancelFill(CGXGridCore* pGrid, CDC* pDC) override;
    BOOL DoFill(CGXGridCore* pGrid, const CGXCellRange& source, const CGXCellRange& target) override;
    void SelectFillTarget(CGXGridCore* pGrid, const CGXCellRange& range) override;
    void HideFillHandle(CGXGridCore* pGrid) override;

    virtual void DrawFillTarget(CGXGridCore* pGrid, const CGXCellRange& range, BOOL bErase, BOOL bDraw);
    // The target the pointer at (point, row, column) asks for.
    CGXCellRange TargetFor(CGXGridCore* pGrid, CPoint point, ROWCOL nRow, ROWCOL nCol);

    CGXCellRange m_source;
    CRect m_rectFrame;  // the double focus rectangle shown now (outer), empty when none
    CGXCellRange m_target;
};

// The state word's fill-drag bit.
constexpr WORD kGXFillDragging = 0x0200;
