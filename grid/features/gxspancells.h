#pragma once
// Floating and merged cells. Floating: a text wider than its cell continues over the empty
// neighbours to its right that allow it. Merging: equal neighbours show as one area. Both keep
// their areas in the parameter object's span-cell pools; in mode 1 they evaluate lazily what
// the delayed-range pools still hold, in mode 2 whatever they are asked. The older drawing path
// draws a prepared block row by row.

#include "grid/core/gxfeature.h"
#include "grid/core/gxrange.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxspanhooks.h"

class CGXSpanCellPool;
class CGXDelayedRangePool;

// What floating and merging share: a stored value queues its cell and evaluates it at once, and
// a cell redraws with the whole span it belongs to.
template <class TFeature>
class CGXSpanKindImp : public TFeature, public CGXGridSpanCellsHooks {
public:
    void AfterStore(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override
    {
        this->QueueRange(pGrid, CGXCellRange(nRow, nCol), -1);
        this->Resolve(pGrid, CGXCellRange(nRow, nCol), TRUE, FALSE, FALSE);
    }
    void RedrawSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT flags, BOOL bCreateHint) override
    {
        CGXCellRange span(nRow, nCol);
        this->SpanOfCell(pGrid, nRow, nCol, span);
        pGrid->RedrawCells(span.top, span.left, span.bottom, span.right, flags, bCreateHint);
    }
};

class CGXFloatCellsImp : public CGXSpanKindImp<CGXGridFloatCellsImp> {
public:
    void SetMode(CGXGridCore* pGrid, WORD nMode, UINT flags) override;
    void QueueRange(CGXGridCore* pGrid, const CGXCellRange& range, int nDirection) override;
    BOOL Resolve(CGXGridCore* pGrid, const CGXCellRange& range, BOOL, BOOL, BOOL) override;
    BOOL SpanOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override;
    BOOL CanSpanCell(CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood) override;
    void OnRowsOrColsChanged(CGXGridCore* pGrid, BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b) override;
    void OnRowsOrColsMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;

    // Whether the cell may float its text (bFloat) or be floated over.
    BOOL CanTakePart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bFloat);
    // Evaluates one cell; redraw grows by the areas that changed.
    BOOL EvaluateCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw);
    // The pools in use: the printing pair while the grid prints.
    static CGXSpanCellPool* GetSpanPool(CGXGridCore* pGrid);
    static CGXDelayedRangePool* GetDelayedPool(CGXGridCore* pGrid);

private:
    void EnsurePools(CGXGridCore* pGrid);
    BOOL FloatFrom(CGXGridCore* pGrid, CGXSpanCellPool& spans, ROWCOL nRow, ROWCOL nStart, const CGXCellRange& old,
                   CGXCellRange& redraw);
    BOOL m_bEvaluating = FALSE;
    ROWCOL m_nLastRow = 0xFFFFFFFF, m_nLastStart = 0xFFFFFFFF;  // the text the running evaluation floated last
};

class CGXMergeCellsImp : public CGXSpanKindImp<CGXGridMergeCellsImp> {
public:
    void SetMode(CGXGridCore* pGrid, WORD nMode, UINT flags) override;
    void QueueRange(CGXGridCore* pGrid, const CGXCellRange& range, int nDirection) override;
    BOOL Resolve(CGXGridCore* pGrid, const CGXCellRange& range, BOOL, BOOL, BOOL) override;
    BOOL SpanOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override;
    void OnRowsOrColsChanged(CGXGridCore* pGrid, BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b) override;
    void OnRowsOrColsMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;

    // Evaluates one cell against its neighbours; redraw grows by the areas that changed.
    BOOL EvaluateCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw);
    // Whether the cell may join its equal neighbours (its style's merge attribute), and whether
    // two cells show the same value: the same text, not an empty one. Exact text: cells that
    // differ only in case would otherwise show one of the two.
    virtual BOOL CanMergeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual BOOL IsMergeValueEqual(const CGXStyle& style, const CGXStyle& otherStyle);

private:
    void EnsurePools(CGXGridCore* pGrid);
    BOOL MergeAlong(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow, ROWCOL nCol, CGXCellRange& redraw);
    // One pair of neighbours (the second after the first along the direction): joined (1),
    // split (2) or left as it was (0).
    int MergePair(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow1, ROWCOL nCol1, ROWCOL nRow2, ROWCOL nCol2,
                  CGXCellRange& redraw);
    BOOL CanMerge(CGXGridCore* pGrid, BOOL bHorz, ROWCOL nRow, ROWCOL nCol);
    BOOL m_bEvaluating = FALSE;
    CGXCellRange m_range = CGXCellRange(0, 0, 0xFFFFFFFE, 0xFFFFFFFE);  // what the running evaluation covers
};

class CGXGridOldDrawingImp : public CGXAbstractGridOldDrawingImp {
public:
    explicit CGXGridOldDrawingImp(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    ~CGXGridOldDrawingImp() override;
    CGXGridOldDrawingImp(const CGXGridOldDrawingImp&) = delete;
    CGXGridOldDrawingImp& operator=(const CGXGridOldDrawingImp&) = delete;

    BOOL DrawBlock(CGXGridCore* pGrid, CGXDrawingGrid& g, BOOL bAsked) override;
    // The block's grid lines, none inside covered or spanned areas (the grid has filled what
    // lies beyond the last row and column).
    void DrawGridLines(CGXGridCore* pGrid, CGXDrawingGrid& g);

private:
    CGXGridCore* m_pGrid;
};

// Installers (each creates its feature once per grid and deletes it with the grid) and the modes.
void GXInstallFloatCellsImp(CGXGridCore* pGrid);
void GXInstallMergeCellsImp(CGXGridCore* pGrid);
void GXInstallOldDrawingImp(CGXGridCore* pGrid);
void GXSetFloatCellsMode(CGXGridCore* pGrid, WORD nMode, UINT flags = GX_UPDATENOW);
void GXSetMergeCellsMode(CGXGridCore* pGrid, WORD nMode, UINT flags = GX_UPDATENOW);
