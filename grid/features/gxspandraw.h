#pragma once
// CGXDrawSpannedCellsImp: lets the grid's drawing loop treat a covered, merged or floating area
// as one cell. The area's first drawn cell in each pane draws the whole area once, in its full
// rectangle (rows and columns scrolled out included, so its text sits as if all of it were
// shown), clipped to the pane; its other drawn cells draw nothing and carry no grid lines inside.

#include "grid/core/gxfeature.h"

class CGXDrawSpannedCellsImp : public CGXAbstractDrawSpannedCellsImp {
public:
    BOOL PrepareSpannedCell(CGXGridCore* pGrid, CGXDrawingGrid& g, ROWCOL i, ROWCOL j) override;
    BOOL DrawSpannedCell(CGXGridCore* pGrid, CGXDrawingGrid& g, ROWCOL i, ROWCOL j) override;
    BOOL EvaluateSpans(CGXGridCore* pGrid, const CGXCellRange& range, const GXPaneBounds& panes, UINT flags) override;

    // The span a drawn cell shows: covered first; merged and floating ones unless they would
    // hide the current cell while its control edits. False for none (or a single cell).
    static BOOL FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& span);
};
