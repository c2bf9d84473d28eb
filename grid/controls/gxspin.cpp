#include "grid/controls/gxspin.h"

#include <cstdlib>

#include "grid/controls/gxbutton.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"

const CGXControlClass CGXSpinEdit::classCGXSpinEdit = {"CGXSpinEdit", &CGXEditControl::classCGXEditControl};

CGXSpinEdit::CGXSpinEdit(CGXGridCore* pGrid, UINT nID)
    : CGXEditControl(pGrid, nID), m_pUp(new CGXUpArrowButton(this)), m_pDown(new CGXDownArrowButton(this))
{
    AddChildObject(m_pUp);
    AddChildObject(m_pDown);
}

void CGXSpinEdit::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle spinStyle;
    spinStyle.SetControl(WORD(GX_IDS_CTRL_SPINEDIT)).SetWrapText(FALSE);
    pStylesMap->AddUserAttribute(GX_IDS_UA_SPINBOUND_MIN, &spinStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_SPINBOUND_MAX, &spinStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_SPINSTART, &spinStyle);
    CGXStyle checkStyle;
    checkStyle.SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    pStylesMap->AddUserAttribute(GX_IDS_UA_SPINBOUND_WRAP, &checkStyle);
}

void CGXSpinEdit::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXEditControl::InitForCell(nRow, nCol);
    m_pUp->Refresh();
    m_pDown->Refresh();
    GetCellStyle();
}

CRect CGXSpinEdit::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    rect.right -= kButtonWidth;
    return rect;
}

CSize CGXSpinEdit::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += kButtonWidth;
    return CGXEditControl::AddBorderToSize(size, nRow, nCol, style);
}

void CGXSpinEdit::LayoutChildren(CDC*, const CRect& rect, const CGXStyle*)
{
    CRect column(rect.right - kButtonWidth - 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
    column.IntersectRect(&column, &rect);
    const int nMiddle = column.top + column.Height() / 2;
    m_pUp->SetRect(CRect(column.left, column.top, column.right, nMiddle));
    m_pDown->SetRect(CRect(column.left, nMiddle, column.right, column.bottom));
}

LONG CGXSpinEdit::ParseLong(LPCTSTR pszText)
{
    const char* p = pszText ? pszText : "";
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool bNegative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    // Beyond the limit the digits no longer matter.
    const long long nLimit = bNegative ? -(long long)(INT_MIN) : INT_MAX;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (v <= nLimit)
            v = v * 10 + (*p - '0');
    if (v > nLimit)
        v = nLimit;
    return LONG(bNegative ? -v : v);
}

void CGXSpinEdit::ReadBounds()
{
    const CGXStyle& style = GetCellStyle();
    auto text = [&](WORD nId) { return style.GetUserAttribute(nId).GetValueText(); };
    m_bWrap = ParseLong(text(GX_IDS_UA_SPINBOUND_WRAP)) != 0;
    const CString sMin = text(GX_IDS_UA_SPINBOUND_MIN), sMax = text(GX_IDS_UA_SPINBOUND_MAX);
    const CString sStart = text(GX_IDS_UA_SPINSTART);
    m_bHasMin = !sMin.IsEmpty();
    m_nMin = m_bHasMin ? ParseLong(sMin) : 0;
    m_bHasMax = !sMax.IsEmpty();
    m_nMax = m_bHasMax ? ParseLong(sMax) : 0;
    m_bHasStart = !sStart.IsEmpty();
    m_nStart = m_bHasStart ? ParseLong(sStart) : 0;
}

BOOL CGXSpinEdit::OnLeftButtonDown(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (IsInitializedFor(nRow, nCol))
        ReadBounds();
    return CGXEditControl::OnLeftButtonDown(nRow, nCol, flags, point);
}

LONG CGXSpinEdit::StepValue(const CString& sText, BOOL bUp) const
{
    if (m_bHasStart && sText.IsEmpty())
        return m_nStart;
    LONG v = ParseLong(sText);
    // A step never leaves the 32-bit range: at its ends the value stays.
    if (bUp) {
        if (!m_bHasMax || v < m_nMax) {
            if (v < INT_MAX)
                ++v;
        } else if (m_bWrap && m_bHasMin) {
            v = m_nMin;
        }
    } else {
        if (!m_bHasMin || v > m_nMin) {
            if (v > INT_MIN)
                --v;
        } else if (m_bWrap && m_bHasMax) {
            v = m_nMax;
        }
    }
    if (m_bHasMin && v < m_nMin)
        v = m_nMin;
    if (m_bHasMax && v > m_nMax)
        v = m_nMax;
    return v;
}

void CGXSpinEdit::OnChildButtonClicked(CGXChild* pChild)
{
    const BOOL bWasActive = IsActive();
    if (!bWasActive && !StartEditing())
        return;
    if (!HasWindow())
        return;
    SetActive(TRUE);
    if (!IsCellReadOnly() && (pChild == m_pUp || pChild == m_pDown)) {
        CString sText;
        GetWindowTextOf(sText);
        CString sValue;
        sValue.Format("%ld", long(StepValue(sText, pChild == m_pUp)));
        const BOOL bOld = m_bReplacing;
        m_bReplacing = TRUE;
        m_pWnd->SetWindowText(sValue);
        m_bReplacing = bOld;
        SetModified(TRUE);
        NotifyModified();
        m_pWnd->SetSel(0, -1);
        m_pWnd->LineScroll(255);
    }
    if (bWasActive)
        UpdateEditStyle();
    else
        Refresh();
    CGXEditControl::OnChildButtonClicked(pChild);
}
