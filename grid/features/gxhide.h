#pragma once
// Hiding and showing rows and columns with undo, in the parameter object's hidden bits, which
// follow rows and columns that are inserted, removed and moved.

#include "grid/core/gxfeature.h"

class CGXGridHideCellsImp : public CGXAbstractGridHideCellsImp {
public:
    void RemoveHiddenRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast) override;
    void RemoveHiddenCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast) override;
    void InsertHiddenRows(CGXGridCore* pGrid, ROWCOL nAt, ROWCOL nCount) override;
    void InsertHiddenCols(CGXGridCore* pGrid, ROWCOL nAt, ROWCOL nCount) override;
    void MoveHiddenRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    void MoveHiddenCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    BOOL HideRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bHide, BOOL* abHide, UINT flags,
                  int ctCmd) override;
    BOOL IsRowHidden(CGXGridCore* pGrid, ROWCOL nRow) override;
    BOOL StoreHideRow(CGXGridCore* pGrid, ROWCOL nRow, BOOL bHide) override;
    BOOL HideCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL bHide, BOOL* abHide, UINT flags,
                  int ctCmd) override;
    BOOL IsColHidden(CGXGridCore* pGrid, ROWCOL nCol) override;
    BOOL StoreHideCol(CGXGridCore* pGrid, ROWCOL nCol, BOOL bHide) override;
};

// The bit operations behind the feature, on one hidden-bits array.
void GXRemoveHiddenBits(CByteArray& bits, ROWCOL nFirst, ROWCOL nLast);
void GXInsertHiddenBits(CByteArray& bits, ROWCOL nAt, ROWCOL nCount);
void GXMoveHiddenBits(CByteArray& bits, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
