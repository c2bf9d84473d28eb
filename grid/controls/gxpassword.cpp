#include "grid/controls/gxpassword.h"

#include "platform/win/win.h"

const CGXControlClass CGXPasswordControl::classCGXPasswordControl = {"CGXPasswordControl",
                                                                     &CGXEditControl::classCGXEditControl};

CGXPasswordControl::CGXPasswordControl(CGXGridCore* pGrid, UINT nID) : CGXEditControl(pGrid, nID)
{
    m_dwReserved = 1;
}

BOOL CGXPasswordControl::GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue,
                                        const CGXStyle& style)
{
    const BOOL b = CGXControl::GetDisplayText(sResult, nRow, nCol, pszValue, style);
    if (m_bMasking) {
        // One mask character per character, not per byte.
        int nChars = 0;
        for (const char* p = sResult; *p; ++p)
            nChars += (BYTE(*p) & 0xC0) != 0x80;
        sResult = CString(kPasswordChar, nChars);
    }
    return b;
}

void CGXPasswordControl::SetCellValue(LPCTSTR pszText)
{
    // The window holds the real text and masks it itself.
    m_bMasking = FALSE;
    CGXEditControl::SetCellValue(pszText);
    m_bMasking = TRUE;
    if (HasWindow())
        m_pWnd->SendMessage(EM_SETPASSWORDCHAR, WPARAM(BYTE(kPasswordChar)), 0);
}

DWORD CGXPasswordControl::ComputeEditStyle(CRect& rectFormat, int& nNeededHeight)
{
    return (CGXEditControl::ComputeEditStyle(rectFormat, nNeededHeight) & ~DWORD(ES_MULTILINE)) | ES_PASSWORD;
}
