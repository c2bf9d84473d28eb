#pragma once
// CGXCalcSizeImp: the size a cell's contents need, for resizing to fit and for controls that
// size themselves. Text is measured with the grid's cached zoomed fonts and broken into lines
// as the cell draws it.

#include "grid/core/gxfeature.h"

class CFont;

class CGXCalcSizeImp : public CGXAbstractCalcSizeImp {
public:
    CSize CalcCellSize(CGXControl* pControl, CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                       BOOL bFitHeight) override;

    // A caller that measures many cells on one DC keeps each font selected between them: one
    // selection per distinct font instead of two per cell. EndMeasuring gives the DC its font back.
    void BeginMeasuring(CDC* pDC);
    void EndMeasuring();

private:
    CSize TextSize(CDC* pDC, const CString& sText, const CRect& inner, const CGXStyle& style, BOOL bFitHeight);

    CDC* m_pBatchDC = nullptr;
    CFont* m_pBatchOldFont = nullptr;
};

// Bit of the parameter object's sizing options: size a cell by its stored value, not by the text
// its control displays.
constexpr WORD GX_SIZE_STOREDVALUE = 0x2;
