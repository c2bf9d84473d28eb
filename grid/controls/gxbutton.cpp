#include "grid/controls/gxbutton.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

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

// ---- Combo-box buttons ----

namespace {

// A downward arrow of rows 7, 5, 3 and 1 pixels on the button face; the disabled one is grey
// with a white shadow one pixel right and down.
std::unique_ptr<CBitmap> MakeComboArrow(BOOL bDisabled)
{
    const int cx = 8, cy = 5;
    std::vector<DWORD> bits(size_t(cx * cy), 0);
    auto bgrx = [](COLORREF c) { return DWORD(GetBValue(c)) | DWORD(GetGValue(c)) << 8 | DWORD(GetRValue(c)) << 16; };
    const DWORD face = bgrx(SysColor(COLOR_BTNFACE));
    std::fill(bits.begin(), bits.end(), face);
    auto arrow = [&](int dx, int dy, DWORD colour) {
        for (int i = 0; i < 4; ++i)
            for (int x = i; x < 7 - i; ++x)
                bits[size_t((i + dy) * cx + x + dx)] = colour;
    };
    if (bDisabled) {
        arrow(1, 1, bgrx(SysColor(COLOR_BTNHIGHLIGHT)));
        arrow(0, 0, bgrx(SysColor(COLOR_GRAYTEXT)));
    } else {
        arrow(0, 0, bgrx(kGlyph));
    }
    auto pBitmap = std::make_unique<CBitmap>();
    if (!pBitmap->CreateBitmap(cx, cy, 1, 32, bits.data()))
        return nullptr;
    return pBitmap;
}

}  // namespace

CBitmap* GXGetComboArrowBitmap(BOOL bDisabled)
{
    static CBitmap* s_pArrows[2] = {nullptr, nullptr};
    static BOOL s_bMade[2] = {FALSE, FALSE};
    const int i = bDisabled ? 1 : 0;
    if (!s_bMade[i]) {
        s_bMade[i] = TRUE;
        if (auto p = MakeComboArrow(bDisabled)) {
            s_pArrows[i] = p.release();
            GXGetLibraryState().AddImpToDeleteList(s_pArrows[i]);
        }
    }
    return s_pArrows[i];
}

BOOL CGXComboBoxButton::OwnerShowsButtonAlways() const
{
    const auto* p = dynamic_cast<const CGXDropDownButtonOwner*>(m_pOwner);
    return p && p->GetShowButtonAlways();
}

void CGXComboBoxButton::DrawComboFace(CDC* pDC, BOOL bPressed, BOOL bDisabled)
{
    if (!pDC || m_rect.IsRectEmpty())
        return;
    FaceAndEdge(pDC, m_rect, SysColor(COLOR_BTNFACE), bPressed);
    CBitmap* pArrow = GXGetComboArrowBitmap(bDisabled);
    BITMAP bm {};
    if (!pArrow || !pArrow->GetBitmap(&bm))
        return;
    CRect face(m_rect.left, m_rect.top + 2, m_rect.right, m_rect.bottom - 2);
    int x = face.left + (face.Width() - bm.bmWidth) / 2;
    int y = face.top + (face.Height() - bm.bmHeight) / 2;
    if (bPressed) {
        ++x;
        ++y;
    }
    // Cut to the face inside the edge.
    CRect inner = m_rect;
    inner.DeflateRect(2, 2);
    CRect draw(x, y, x + bm.bmWidth, y + bm.bmHeight);
    if (!draw.IntersectRect(&draw, &inner))
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = memDC.SelectObject(pArrow);
    pDC->BitBlt(draw.left, draw.top, draw.Width(), draw.Height(), &memDC, draw.left - x, draw.top - y, SRCCOPY);
    memDC.SelectObject(pOld);
}

void CGXComboBoxButton::DrawFace(CDC* pDC, BOOL bActive)
{
    if (bActive)
        DrawComboFace(pDC, m_bPressed, FALSE);
    else if (OwnerShowsButtonAlways())
        DrawComboFace(pDC, FALSE, FALSE);
}

void CGXComboBoxWndButton::Draw(CDC* pDC, BOOL bActive, const CGXStyle* pStyle)
{
    m_bDisabled = pStyle && pStyle->GetIncludeEnabled() && !pStyle->GetEnabled();
    DrawFace(pDC, bActive);
}

void CGXComboBoxWndButton::DrawFace(CDC* pDC, BOOL bActive)
{
    if (m_pOwner && m_pOwner->IsActive())
        return;
    if (bActive)
        DrawComboFace(pDC, m_bPressed, m_bDisabled);
    else if (OwnerShowsButtonAlways())
        DrawComboFace(pDC, FALSE, m_bDisabled);
}

void CGXComboBoxButton::FitToText(CRect& button, const CRect& cell, int nTextHeight, int nMargin, const CGXStyle& style)
{
    const int h = std::max(0, std::min(nTextHeight + 2, cell.Height() - 2 * nMargin));
    if (style.GetIncludeVerticalAlignment()) {
        if (style.GetVerticalAlignment() == 1)
            button.top += (cell.Height() - h) / 2 - nMargin;
        else if (style.GetVerticalAlignment() == 2)
            button.top = cell.bottom - 2 * nMargin - h;
    }
    button.bottom = button.top + 2 * nMargin + h - 1;
}
