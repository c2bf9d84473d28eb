#pragma once
// CGXPasswordControl: an edit cell that shows its text as '*' (drawn, in tips and searches)
// and never puts it on the clipboard; the stored value stays in clear.

#include "grid/controls/gxedit.h"

class CGXPasswordControl : public CGXEditControl {
public:
    CGXPasswordControl(CGXGridCore* pGrid, UINT nID);

    static const CGXControlClass classCGXPasswordControl;
    const CGXControlClass* GetControlClass() const override { return &classCGXPasswordControl; }
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL CopyText() override { return TRUE; }
    BOOL CutText() override { return TRUE; }
    DWORD ComputeEditStyle(CRect& rectFormat, int& nNeededHeight) override;

    static constexpr char kPasswordChar = '*';

private:
    BOOL m_bMasking = TRUE;
};
