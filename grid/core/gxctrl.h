#pragma once
// The least cell-control base that the control factory needs until the cell controls land:
// every control id without a control of its own is served by the static text cell, so the
// grid never receives a null control. The cell-control work replaces this file's classes
// with the full interface.

#include "platform/base/CObject.h"
#include "platform/base/pvdefs.h"

class CGXGridCore;
class CGXStylesMap;

class CGXControl : public CObject {
public:
    explicit CGXControl(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    ~CGXControl() override = default;

    CGXGridCore* GetGrid() const { return m_pGrid; }

    // Text cells get the cell-tip provider that shows a clipped text in full.
    void AttachCellTipStatic() { m_bCellTipStatic = TRUE; }
    BOOL HasCellTipStatic() const { return m_bCellTipStatic; }

    // The validation attributes common to all controls.
    static void AddValidationAttributes(CGXStylesMap* pStylesMap);

private:
    CGXGridCore* m_pGrid;
    BOOL m_bCellTipStatic = FALSE;
};

// Static text cell.
class CGXStatic : public CGXControl {
public:
    explicit CGXStatic(CGXGridCore* pGrid) : CGXControl(pGrid) {}
};
