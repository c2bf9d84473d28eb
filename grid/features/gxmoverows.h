#pragma once
// Moving blocks of rows or columns with undo, keeping everything that refers to row or column
// numbers in step: cell data, sizes, hidden lines, selection, covered cells, spans and the
// current cell.

#include "grid/core/gxfeature.h"

class CGXGridMoveRowsColsImp : public CGXAbstractGridMoveRowsColsImp {
public:
    BOOL StoreMoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce) override;
    void UpdateAfterMoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags,
                             BOOL bCreateHint) override;
    BOOL StoreMoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce) override;
    void UpdateAfterMoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags,
                             BOOL bCreateHint) override;
    BOOL MoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, int ctCmd) override;
    BOOL MoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, int ctCmd) override;

private:
    BOOL Move(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, int ctCmd);
    BOOL Store(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, BOOL bForce);
    void Update(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest, UINT flags, BOOL bCreateHint);
};
