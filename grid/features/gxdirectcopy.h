#pragma once
// Copying and moving a rectangular block of cells to another place in the same grid, with undo,
// without the clipboard's contents. The cell store's own copy and move (gxcopymove.h)
// do the work on the stored styles.

#include "grid/core/gxfeature.h"

class CGXGridDirectCopyMoveCellsImpl : public CGXGridDirectCopyMoveCellsImp {
public:
    BOOL CopyCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, UINT flags) override;
    BOOL StoreCopyCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol) override;
    // Answers the store's result: a move the store refused reports false (and records nothing).
    BOOL MoveCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                   UINT flags, int ctCmd) override;
    BOOL StoreMoveCells(CGXGridCore* pGrid, const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol,
                        CObject*& pUndoInfo, BOOL bRecord, int ctCmd) override;
};

// The undo limits of a block: more rows, columns or cells than these keep no undo information.
constexpr ROWCOL kGXMaxUndoRowsOrCols = 32767;
constexpr unsigned long long kGXMaxUndoCells = 2147483646ULL;
