#pragma once
// Covered cells: a rectangle of cells the grid shows as its top-left cell. The areas are stored
// data, kept in the parameter object's covered-cells list; the covered-cell pool finds the area
// of a cell in one lookup. CGXGridCoveredCellsImp sets, finds and adjusts areas with redraw and
// undo; CGXCoveredCellPoolImp, process-wide, makes and rebuilds pools.

#include <memory>
#include <vector>

#include "grid/core/gxfeature.h"
#include "grid/core/gxstate.h"

// Row by row, the area (a list entry) each cell belongs to; rows grow to the rows used.
class CGXCoveredCellPool : public CObject {
public:
    // Enters an area; false (nothing changed) when a cell of it belongs to another area.
    BOOL Enter(CGXCellRange* pArea);
    // Clears the cells of an area that point at it.
    void Clear(const CGXCellRange* pArea);
    CGXCellRange* Lookup(ROWCOL nRow, ROWCOL nCol) const;
    // Whether any cell of the rectangle belongs to an area other than pExcept.
    BOOL IsAnyCovered(const CGXCellRange& rect, const CGXCellRange* pExcept = nullptr) const;
    void RemoveAll() { m_rows.clear(); }

private:
    std::vector<std::unique_ptr<std::vector<CGXCellRange*>>> m_rows;
};

class CGXCoveredCellPoolImp : public CGXAbstractCoveredCellPoolImp {
public:
    CObject* CreateCoveredCellPool() override { return new CGXCoveredCellPool; }
    // Enters the list's areas in order; one that overlaps an earlier one, or is larger than a
    // grid can show, leaves the list, so that list and pool agree.
    void RebuildCoveredCellPool(CObject* pPool, CGXRangeList& coveredCells) override;
};
void GXInstallCoveredCellPoolImp();

class CGXGridCoveredCellsImp : public CGXAbstractGridCoveredCellsImp {
public:
    BOOL GetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override;
    BOOL SetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                               UINT flags, int ctCmd) override;
    BOOL StoreCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                 BOOL bSet) override;
    void UpdateCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                  UINT flags, BOOL bCreateHint) override;
    void AdjustCoveredCells(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bRows, int ctCmd) override;
    // Widens a range until every covered area that touches it lies inside.
    static void ExpandRangeToCovered(CGXGridCore* pGrid, CGXCellRange& range);
};

// The largest area a grid covers: rows and columns beyond this, or more cells than this in one
// area, are refused, so that a stored area cannot make the pool allocate without bound.
constexpr ROWCOL GX_MAX_COVERED_INDEX = 1u << 22;
constexpr unsigned long long GX_MAX_COVERED_CELLS = 1ull << 24;
