#pragma once
// The drawing grid: what one paint pass knows about the visible rows and columns and the cells
// it draws. The grid keeps one per nesting level and reuses its buffers from pass to pass, so a
// paint allocates nothing once the window's size has been seen.

#include <vector>

#include "platform/base/geometry.h"
#include "grid/core/gxrange.h"
#include "platform/base/pvdefs.h"

class CDC;
class CGXStyle;
class CGXControl;

// Cell flags of a pass. Spans use bits of their own: the last frozen row and column keep theirs.
enum : WORD {
    GX_DGF_BORDERLEFT = 0x01,
    GX_DGF_BORDERRIGHT = 0x02,
    GX_DGF_BORDERTOP = 0x04,
    GX_DGF_BORDERBOTTOM = 0x08,
    GX_DGF_SELECTED = 0x10,
    GX_DGF_BACKGROUND = 0x20,   // the cell paints its own background
    GX_DGF_SPANNED = 0x40,      // inside a span and drawn by the span's first cell: skipped
    GX_DGF_SPANSTART = 0x80,    // the span's first drawn cell of its pane: draws the whole span
    GX_DGF_HORZLINE = 0x200,    // a horizontal grid line on the cell's grid-line side
    GX_DGF_VERTLINE = 0x400,    // a vertical grid line likewise
    GX_DGF_FROZENCOL = 0x800,   // the last frozen column
    GX_DGF_FROZENROW = 0x1000,  // the last frozen row
    GX_DGF_EDGERIGHT = 0x2000,  // a span cell at the drawn area's right edge, no right border in its style
    GX_DGF_EDGEBOTTOM = 0x4000, // a span cell at the drawn area's bottom edge, no bottom border
};

// A span found while a pass prepares its cells: its cells and the drawn cell that draws it.
struct GXDrawnSpan {
    size_t nStart;  // drawing-grid index of the span's first drawn cell in one pane
    CGXCellRange range;
};

struct CGXDrawingGrid {
    CDC* pDC = nullptr;
    ROWCOL nRows = 0, nCols = 0;            // view rows and columns drawn
    ROWCOL nTopIndex = 0, nLeftIndex = 0;   // view index of the first drawn row and column
    ROWCOL nTopRow = 1, nLeftCol = 1;       // scroll position at the start of the pass
    ROWCOL nFrozenRows = 0, nFrozenCols = 0, nHeaderRows = 0, nHeaderCols = 0;
    CPoint origin;                          // client position of the first drawn cell
    // One entry per drawn row or column and one for the next (0 beyond the count).
    std::vector<ROWCOL> rows, cols;
    std::vector<int> heights, widths, tops, lefts;
    // Row-major, nRows x nCols.
    std::vector<const CGXStyle*> styles;
    std::vector<WORD> flags;
    std::vector<GXDrawnSpan> spans;         // one entry per span and pane it is drawn in
    COLORREF background = 0;
    CGXControl* pCurrentControl = nullptr;
    CRect rectCurrent;

    size_t Index(ROWCOL i, ROWCOL j) const { return size_t(i) * nCols + j; }
    CRect CellRect(ROWCOL i, ROWCOL j) const
    {
        return CRect(lefts[j], tops[i], lefts[j] + widths[j], tops[i] + heights[i]);
    }
    int Right() const { return nCols ? lefts[nCols - 1] + widths[nCols - 1] : origin.x; }
    int Bottom() const { return nRows ? tops[nRows - 1] + heights[nRows - 1] : origin.y; }
};
