#include "grid/controls/gxpushbtn.h"

#include "grid/controls/gxbutton.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"

const CGXControlClass CGXPushbutton::classCGXPushbutton = {"CGXPushbutton", &CGXControl::classCGXControl};

CGXPushbutton::CGXPushbutton(CGXGridCore* pGrid) : CGXControl(pGrid), m_pButton(new CGXButton(this))
{
    AddChildObject(m_pButton);
}

void CGXPushbutton::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXControl::InitForCell(nRow, nCol);
    m_pButton->Refresh();
}

void CGXPushbutton::LayoutChildren(CDC*, const CRect& rect, const CGXStyle* pStyle)
{
    // The button takes the keys of the current cell.
    SetCapturedChild(m_pButton);
    m_pButton->SetRect(rect);
    if (pStyle)
        m_pButton->SetText(pStyle->GetIncludeChoiceList() ? LPCTSTR(pStyle->GetChoiceList()) : "");
}

CSize CGXPushbutton::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL)
{
    if (!pDC)
        return CSize(0, 0);
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, nullptr));
    const CString sCaption = style.GetIncludeChoiceList() ? style.GetChoiceList() : CString();
    CSize size = pDC->GetTextExtent(sCaption);
    size.cx += 8;
    size.cy += 4;
    return AddBorderToSize(size, nRow, nCol, style);
}

void CGXPushbutton::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                         const CGXStyle* pStandardStyle)
{
    if (!pDC || rect.Width() <= 1 || rect.Height() <= 1)
        return;
    CDCStateGuard guard(pDC);
    guard.AdoptOldFont(SelectCellFont(pDC, style, pStandardStyle));
    Draw3dBorder(pDC, rect, style);
    guard.SetTextColor(style.ResolveTextColor());
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}
