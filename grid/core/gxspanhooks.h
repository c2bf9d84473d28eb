#pragma once
// What the grid asks of the floating and merged-cell features beyond their forwarders (their
// modes, and spans that follow moved, inserted and removed rows and columns), and the older
// drawing path. The features implement these beside their CGXGridFloatCellsImp and
// CGXGridMergeCellsImp shapes; the grid finds them there.

#include "grid/core/gxfeature.h"

struct CGXDrawingGrid;

class CGXGridSpanCellsHooks {
public:
    virtual ~CGXGridSpanCellsHooks() = default;
    // 0 off, 1 evaluated lazily through queued ranges, 2 on request (merging adds direction bits).
    virtual void SetMode(CGXGridCore* pGrid, WORD nMode, UINT flags) = 0;
    // Rows or columns inserted (a position, b count) or removed (a first, b last).
    virtual void OnRowsOrColsChanged(CGXGridCore* pGrid, BOOL bRows, BOOL bInsert, ROWCOL a, ROWCOL b) = 0;
    virtual void OnRowsOrColsMoved(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) = 0;
};

// The grid's earlier way of drawing a block: row by row, each row clipped to itself.
class CGXAbstractGridOldDrawingImp : public CGXAbstractGridFeature {
public:
    // Draws the prepared block when the parameter object or the caller (bAsked) wants this path;
    // false leaves the drawing to the grid.
    virtual BOOL DrawBlock(CGXGridCore* pGrid, CGXDrawingGrid& g, BOOL bAsked) = 0;
};

// A grid's older drawing path (null when none is installed). The feature registers itself when
// it is installed and leaves when the grid deletes it.
CGXAbstractGridOldDrawingImp* GXGetOldDrawingImp(const CGXGridCore* pGrid);
void GXSetOldDrawingImp(const CGXGridCore* pGrid, CGXAbstractGridOldDrawingImp* pImp);
