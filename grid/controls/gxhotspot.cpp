#include "grid/controls/gxhotspot.h"

#include "grid/controls/gxbutton.h"

const CGXControlClass CGXHotSpotEdit::classCGXHotSpotEdit = {"CGXHotSpotEdit", &CGXEditControl::classCGXEditControl};

CGXHotSpotEdit::CGXHotSpotEdit(CGXGridCore* pGrid, UINT nID)
    : CGXEditControl(pGrid, nID), m_pButton(new CGXHotSpotButton(this))
{
    m_pButtonOwner = m_pButton;
    AddChildObject(m_pButton);
}

void CGXHotSpotEdit::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXEditControl::InitForCell(nRow, nCol);
    m_pButton->Refresh();
}

CRect CGXHotSpotEdit::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    rect.right -= kButtonSize;
    return rect;
}

CSize CGXHotSpotEdit::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += kButtonSize;
    return CGXEditControl::AddBorderToSize(size, nRow, nCol, style);
}

void CGXHotSpotEdit::LayoutChildren(CDC*, const CRect& rect, const CGXStyle*)
{
    CRect button(rect.right - kButtonSize - 1, rect.top, rect.right - 1, rect.top + kButtonSize);
    button.IntersectRect(&button, &rect);
    // In a cell taller than the button, it clears the cell's top line.
    if (button.Height() < rect.Height() - 1)
        button.OffsetRect(0, 1);
    m_pButton->SetRect(button);
}
