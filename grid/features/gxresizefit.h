#pragma once
// Sizing rows and columns to what their cells' contents need, as one undoable step.

#include "grid/core/gxfeature.h"

class CGXGridResizeToFitImp : public CGXAbstractGridResizeToFitImp {
public:
    BOOL ResizeRowHeightsToFit(CGXGridCore* pGrid, const CGXCellRange& range, UINT nReserved, UINT flags) override;
    BOOL ResizeColWidthsToFit(CGXGridCore* pGrid, const CGXCellRange& range, UINT nReserved, UINT flags) override;
};
