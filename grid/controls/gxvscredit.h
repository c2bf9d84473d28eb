#pragma once
// CGXVScrollEdit: an edit cell whose wrapping text always gets a vertical scroll bar.

#include "grid/controls/gxedit.h"

class CGXVScrollEdit : public CGXEditControl {
public:
    CGXVScrollEdit(CGXGridCore* pGrid, UINT nID) : CGXEditControl(pGrid, nID) { m_bVScroll = TRUE; }

    static const CGXControlClass classCGXVScrollEdit;
    const CGXControlClass* GetControlClass() const override { return &classCGXVScrollEdit; }
    CRect ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect = nullptr, const CGXStyle* pStyle = nullptr) override;
    DWORD ComputeEditStyle(CRect& rectFormat, int& nNeededHeight) override;
};
