#pragma once
// Freezing the selected whole rows (columns) at the front of the data area and moving them back
// when unfrozen; and the headers of the current cell drawn marked.

#include "grid/core/gxfeature.h"

class CGXGridFreezeMenuHelperImp : public CGXAbstractGridFreezeMenuHelperImp {
public:
    BOOL CanFreezeCols(CGXGridCore* pGrid) override;
    BOOL CanUnfreezeCols(CGXGridCore* pGrid) override;
    void FreezeCols(CGXGridCore* pGrid) override;
    void UnfreezeCols(CGXGridCore* pGrid) override;
    BOOL CanFreezeRows(CGXGridCore* pGrid) override;
    BOOL CanUnfreezeRows(CGXGridCore* pGrid) override;
    void FreezeRows(CGXGridCore* pGrid) override;
    void UnfreezeRows(CGXGridCore* pGrid) override;

    struct Axis;

private:
    BOOL CanFreeze(CGXGridCore* pGrid, const Axis& a);
    void Freeze(CGXGridCore* pGrid, const Axis& a);
    void Unfreeze(CGXGridCore* pGrid, const Axis& a);
};

class CGXGridMarkEditHeaderImp : public CGXAbstractGridMarkEditHeaderImp {
public:
    void RedrawHeadersOfCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nWhich, UINT flags) override;
    BOOL IsHeaderMarked(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;
};
