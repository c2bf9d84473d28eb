#include "grid/controls/gxvscredit.h"

#include "platform/sys/system.h"

const CGXControlClass CGXVScrollEdit::classCGXVScrollEdit = {"CGXVScrollEdit", &CGXEditControl::classCGXEditControl};

CRect CGXVScrollEdit::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    if (pStyle && m_bVScroll)
        rect.right -= GetSystemMetrics(SM_CXVSCROLL);
    return rect;
}

DWORD CGXVScrollEdit::ComputeEditStyle(CRect& rectFormat, int& nNeededHeight)
{
    m_bVScroll = TRUE;
    return CGXEditControl::ComputeEditStyle(rectFormat, nNeededHeight);
}
