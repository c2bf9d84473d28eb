#include "grid/controls/gxbutton.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"

namespace {

COLORREF SysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

constexpr COLORREF kGlyph = RGB(0, 0, 0);

void FaceAndEdge(CDC* pDC, const CRect& rect, COLORREF face, BOOL bPressed)
{
    FillSolidRect(pDC, rect, face);
    CRect edge = rect;
    pDC->DrawEdge(&edge, bPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

}  // namespace

// ---- CGXButton ----

UINT CGXButton::DrawState(BOOL bActive) const
{
    if (!bActive || !IsCapturedChild())
        return 0;
    return m_bPressed ? kStateFocus | kStatePressed : kStateFocus;
}

void CGXButton::DrawButton(CDC* pDC, BOOL bActive, COLORREF faceColor, BOOL bGrey)
{
    if (!pDC || m_rect.IsRectEmpty())
        return;
    CDCStateGuard guard(pDC);
    FaceAndEdge(pDC, m_rect, faceColor, m_bPressed);
    CRect rectText(m_rect.left + 1, m_rect.top + 1, m_rect.right - 2, m_rect.bottom - 2);
    if (m_bPressed)
        rectText.OffsetRect(1, 1);
    if (bGrey)
        guard.SetTextColor(SysColor(COLOR_GRAYTEXT));
    GetDrawingAndFormatting()->DrawCaptionText(pDC, rectText, m_strText, DT_WORDBREAK,
                                               (DrawState(bActive) & kStateFocus) != 0);
}

void CGXButton::Draw(CDC* pDC, BOOL bActive, const CGXStyle* pStyle)
{
    m_bGreyCaption = pStyle && pStyle->GetIncludeEnabled() && !pStyle->GetEnabled();
    // A face colour of the cell's own; otherwise each kind of button draws its face.
    if (pStyle && pStyle->HasUserAttribute(GX_IDS_UA_PUSHBUTTON_FACECOLOR)) {
        const CString sColor = pStyle->GetUserAttribute(GX_IDS_UA_PUSHBUTTON_FACECOLOR).GetValueText();
        DrawButton(pDC, bActive, COLORREF(std::atol(sColor)), m_bGreyCaption);
        return;
    }
    DrawFace(pDC, bActive);
}

void CGXButton::DrawFace(CDC* pDC, BOOL bActive) { DrawButton(pDC, bActive, SysColor(COLOR_BTNFACE), m_bGreyCaption); }

BOOL CGXButton::OnLButtonDown(UINT, CPoint)
{
    m_bPressed = TRUE;
    m_bTracking = TRUE;
    RefreshOnChange();
    if (m_pOwner && m_pOwner->IsActive())
        if (CWnd* pWnd = m_pOwner->GetGridWnd(); pWnd && pWnd->GetSafeHwnd())
            pWnd->UpdateWindow();
    return TRUE;
}

BOOL CGXButton::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking)
        return FALSE;
    const BOOL bInside = HitTest(point);
    if (bInside != m_bPressed) {
        m_bPressed = bInside;
        RefreshOnChange();
    }
    return TRUE;
}

BOOL CGXButton::OnLButtonUp(UINT, CPoint point)
{
    const BOOL bClick = m_bPressed && HitTest(point);
    m_bPressed = FALSE;
    m_bTracking = FALSE;
    RefreshOnChange();
    if (bClick && m_pOwner)
        m_pOwner->OnChildButtonClicked(this);
    return TRUE;
}

BOOL CGXButton::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SPACE)
        return FALSE;
    m_bPressed = TRUE;
    RefreshOnChange();
    return TRUE;
}

BOOL CGXButton::OnKeyUp(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SPACE || !m_bPressed)
        return FALSE;
    m_bPressed = FALSE;
    RefreshOnChange();
    if (m_pOwner)
        m_pOwner->OnChildButtonClicked(this);
    return TRUE;
}

void CGXButton::OnCancelMode()
{
    if (!m_bPressed && !m_bTracking)
        return;
    m_bPressed = FALSE;
    m_bTracking = FALSE;
    RefreshOnChange();
}

// ---- CGXArrowButton ----

BOOL CGXArrowButton::OnLButtonDown(UINT flags, CPoint point)
{
    CGXButton::OnLButtonDown(flags, point);
    m_dwLastClick = GetTickCount();
    m_dwDelay = kRepeatFirst;
    if (m_pOwner)
        m_pOwner->OnChildButtonClicked(this);
    return TRUE;
}

BOOL CGXArrowButton::OnMouseMove(UINT flags, CPoint point)
{
    const BOOL bHandled = CGXButton::OnMouseMove(flags, point);
    if (!m_bPressed || !HitTest(point))
        return bHandled;
    const DWORD now = GetTickCount();
    if (now - m_dwLastClick < m_dwDelay)
        return bHandled;
    if (m_dwDelay > kRepeatFast)
        m_dwDelay = kRepeatFast;
    else if (m_dwDelay > kRepeatMin)
        m_dwDelay -= kRepeatStep;
    m_dwLastClick = now;
    if (m_pOwner)
        m_pOwner->OnChildButtonClicked(this);
    return TRUE;
}

BOOL CGXArrowButton::OnLButtonUp(UINT, CPoint)
{
    // The click came with the press.
    m_bPressed = FALSE;
    m_bTracking = FALSE;
    Refresh();
    return TRUE;
}

void CGXArrowButton::DrawArrow(CDC* pDC, BOOL bActive, BOOL bUp)
{
    if (!pDC || !bActive || m_rect.IsRectEmpty())
        return;
    FaceAndEdge(pDC, m_rect, SysColor(COLOR_BTNFACE), m_bPressed);
    const int h = m_rect.Height();
    // Tall enough for four rows (1, 3, 5, 7 wide), three, or none.
    int nRows = 0, nTop = 0;
    if (h >= 8) {
        nRows = 4;
        nTop = m_rect.top + (bUp ? (h - 5) / 2 : (h - 4) / 2);
    } else if (h >= 5) {
        nRows = 3;
        nTop = m_rect.top + (bUp ? (h - 3) / 2 : (h - 2) / 2);
    }
    const int nWidest = 2 * nRows - 1;
    const int nShift = m_bPressed ? 1 : 0;
    const int x0 = m_rect.left + (m_rect.Width() - nWidest) / 2 + nShift;
    for (int i = 0; i < nRows; ++i) {
        const int y = nTop + i + nShift;
        if (y >= m_rect.bottom)
            break;
        const int nWidth = bUp ? 2 * i + 1 : nWidest - 2 * i;
        pDC->FillSolidRect(x0 + (nWidest - nWidth) / 2, y, nWidth, 1, kGlyph);
    }
}

// ---- CGXHotSpotButton ----

void CGXHotSpotButton::DrawFace(CDC* pDC, BOOL bActive)
{
    if (!pDC || !bActive || m_rect.IsRectEmpty())
        return;
    FaceAndEdge(pDC, m_rect, SysColor(COLOR_BTNFACE), m_bPressed);
    // The glyph needs 12 pixels.
    if (m_rect.Height() < 12)
        return;
    const int s = m_bPressed ? 1 : 0;
    const int l = m_rect.left + s, t = m_rect.top + s;
    pDC->FillSolidRect(l + 3, t + 3, 6, 2, kGlyph);
    pDC->FillSolidRect(l + 6, t + 4, 3, 3, kGlyph);
    for (int i = 0; i < 4; ++i)
        pDC->FillSolidRect(l + 4 + i, t + 7 + i, 7 - 2 * i, 1, kGlyph);
}
