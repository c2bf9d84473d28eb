#include "grid/widgets/gxbdropedit.h"

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxstate.h"
#include "grid/widgets/gxbres.h"

namespace {

// Room the button's frames take around the bitmap: two pixels each side.
constexpr int kButtonFrames = 4;
// The disabled look is drawn this far inside the button, clear of its frames.
constexpr int kEmbossInset = 2;
// Pattern where the source is black, destination where it is white.
constexpr DWORD kRopPatternWhereBlack = 0x00B8074A;

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

}  // namespace

IMPLEMENT_DYNAMIC(CGXBDropEdit, CEdit)

BEGIN_MESSAGE_MAP(CGXBDropEdit, CEdit)
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CANCELMODE()
    ON_WM_ENABLE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

void CGXBDropEdit::loadBitmap()
{
    m_bmpButton.DeleteObject();
    m_sizeBitmap = CSize(0, 0);
    if (m_nBitmapId == 0)
        return;
    BITMAP bm {};
    if (!GXBLoadSysColorMappedBitmap(m_bmpButton, m_nBitmapId) || !m_bmpButton.GetBitmap(&bm)) {
        m_bmpButton.DeleteObject();
        m_nBitmapId = 0;
        return;
    }
    m_sizeBitmap = CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CGXBDropEdit::SetButtonBitmap(UINT nIDBitmap)
{
    m_nBitmapId = WORD(nIDBitmap);
    m_rcButton.SetRectEmpty();
    loadBitmap();
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

void CGXBDropEdit::SetButtonAtRight(BOOL bRight)
{
    m_nFlags = WORD(bRight ? (m_nFlags | ButtonRight) : (m_nFlags & ~ButtonRight));
}

int CGXBDropEdit::buttonWidth() const
{
    return m_nLeftGap + m_nRightGap + m_sizeBitmap.cx + kButtonFrames;
}

BOOL CGXBDropEdit::HitTestButton(CPoint point, BOOL bClient)
{
    CWnd* pParent = GetParent();
    if (m_rcButton.IsRectEmpty() || !pParent)
        return FALSE;
    if (bClient)
        ClientToScreen(&point);
    pParent->ScreenToClient(&point);
    return m_rcButton.PtInRect(point);
}

void CGXBDropEdit::NotifyDropDown()
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGXBDropEdit::invalidateButton()
{
    if (CWnd* pParent = GetParent(); pParent && !m_rcButton.IsRectEmpty())
        pParent->InvalidateRect(&m_rcButton, FALSE);
}

void CGXBDropEdit::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    CEdit::OnNcCalcSize(bCalcValidRects, lpncsp);
    m_rcButton.SetRectEmpty();
    if (!m_bmpButton.GetSafeHandle())
        return;
    RECT& rc = lpncsp->rgrc[0];
    const int cx = std::min<int>(buttonWidth(), std::max<int>(0, rc.right - rc.left));
    if (m_nFlags & ButtonRight) {
        rc.right -= cx;
        m_rcButton.SetRect(rc.right, rc.top, rc.right + cx, rc.bottom);
    } else {
        rc.left += cx;
        m_rcButton.SetRect(rc.left - cx, rc.top, rc.left, rc.bottom);
    }
}

void CGXBDropEdit::OnNcPaint()
{
    CEdit::OnNcPaint();
    CWnd* pParent = GetParent();
    if (!m_bmpButton.GetSafeHandle() || m_rcButton.IsRectEmpty() || !pParent)
        return;
    CRect rc = m_rcButton;
    pParent->ClientToScreen(&rc);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    rc.OffsetRect(-rcWindow.left, -rcWindow.top);

    CDC* pDC = GetWindowDC();
    if (!pDC)
        return;
    const CRect rcLocal(0, 0, rc.Width(), rc.Height());
    CDC dcMem;
    CBitmap bmpMem;
    if (dcMem.CreateCompatibleDC(pDC) && bmpMem.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height())) {
        CBitmap* pOld = dcMem.SelectObject(&bmpMem);
        DrawButton(&dcMem, rcLocal);
        if (!IsWindowEnabled()) {
            CRect inner = rcLocal;
            inner.DeflateRect(kEmbossInset, kEmbossInset);
            drawDisabled(&dcMem, inner);
        }
        pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &dcMem, 0, 0, SRCCOPY);
        dcMem.SelectObject(pOld);
    } else {
        // No memory context: draw in place.
        CPoint org = pDC->SetViewportOrg(rc.TopLeft());
        DrawButton(pDC, rcLocal);
        pDC->SetViewportOrg(org);
    }
    ReleaseDC(pDC);
}

// The embossed look: what is neither face nor highlight becomes a highlight shadow one pixel
// down and right, with the shadow colour on top at its own place.
void CGXBDropEdit::drawDisabled(CDC* pDC, const CRect& inner)
{
    if (inner.Width() <= 1 || inner.Height() <= 1)
        return;
    CDC dcMask;
    CBitmap bmpMask;
    if (!dcMask.CreateCompatibleDC(pDC) || !bmpMask.CreateBitmap(inner.Width(), inner.Height(), 1, 1, nullptr))
        return;
    CBitmap* pOldMask = dcMask.SelectObject(&bmpMask);
    // Colour to monochrome: pixels of the source's background colour become white.
    const COLORREF crOldBk = pDC->SetBkColor(sysColor(COLOR_BTNFACE));
    dcMask.BitBlt(0, 0, inner.Width(), inner.Height(), pDC, inner.left, inner.top, SRCCOPY);
    pDC->SetBkColor(sysColor(COLOR_BTNHIGHLIGHT));
    dcMask.BitBlt(0, 0, inner.Width(), inner.Height(), pDC, inner.left, inner.top, SRCPAINT);

    // Monochrome to colour: black stays black, white becomes white.
    pDC->SetBkColor(RGB(255, 255, 255));
    const COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));
    CBrush brHighlight, brShadow;
    brHighlight.CreateSolidBrush(sysColor(COLOR_BTNHIGHLIGHT));
    brShadow.CreateSolidBrush(sysColor(COLOR_BTNSHADOW));
    CBrush* pOldBrush = pDC->SelectObject(&brHighlight);
    pDC->BitBlt(inner.left + 1, inner.top + 1, inner.Width() - 1, inner.Height() - 1, &dcMask, 0, 0,
                kRopPatternWhereBlack);
    pDC->SelectObject(&brShadow);
    pDC->BitBlt(inner.left, inner.top, inner.Width(), inner.Height(), &dcMask, 0, 0, kRopPatternWhereBlack);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBk);
    dcMask.SelectObject(pOldMask);
}

void CGXBDropEdit::DrawButton(CDC* pDC, const CRect& rect)
{
    const COLORREF face = sysColor(COLOR_BTNFACE);
    const COLORREF shadow = sysColor(COLOR_BTNSHADOW);
    const bool bPressed = (m_nFlags & Pressed) != 0;
    CRect rc = rect;
    if (bPressed) {
        pDC->Draw3dRect(&rc, shadow, shadow);
    } else {
        pDC->Draw3dRect(&rc, face, sysColor(COLOR_WINDOWFRAME));
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, sysColor(COLOR_BTNHIGHLIGHT), shadow);
    }
    rc.DeflateRect(1, 1);
    pDC->FillSolidRect(&rc, face);

    if (!m_bmpButton.GetSafeHandle())
        return;
    CDC dcBitmap;
    if (!dcBitmap.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = dcBitmap.SelectObject(&m_bmpButton);
    const int shift = bPressed ? 1 : 0;
    pDC->BitBlt(rect.left + m_nLeftGap + shift, rect.top + (rect.Height() - m_sizeBitmap.cy) / 2 + shift,
                m_sizeBitmap.cx, m_sizeBitmap.cy, &dcBitmap, 0, 0, SRCCOPY);
    dcBitmap.SelectObject(pOld);
}

LRESULT CGXBDropEdit::OnNcHitTest(CPoint point)
{
    const LRESULT hit = CEdit::OnNcHitTest(point);
    if (hit == HTNOWHERE && HitTestButton(point, FALSE))
        return HTBORDER;
    return hit;
}

void CGXBDropEdit::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (!(m_nFlags & Pressed) && HitTestButton(point, FALSE)) {
        m_nFlags |= Pressed | Tracking;
        invalidateButton();
        UpdateWindow();
        SetCapture();
        return;
    }
    CEdit::OnNcLButtonDown(nHitTest, point);
}

// The frame gets double clicks whatever the class asks for; on the button the second press is
// one more press.
void CGXBDropEdit::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
    if (!(m_nFlags & Pressed) && HitTestButton(point, FALSE)) {
        OnNcLButtonDown(nHitTest, point);
        return;
    }
    CEdit::OnNcLButtonDblClk(nHitTest, point);
}

void CGXBDropEdit::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!(m_nFlags & Tracking)) {
        CEdit::OnMouseMove(nFlags, point);
        return;
    }
    const bool bOver = HitTestButton(point, TRUE) != FALSE;
    if (bOver != ((m_nFlags & Pressed) != 0)) {
        m_nFlags = WORD(bOver ? (m_nFlags | Pressed) : (m_nFlags & ~Pressed));
        invalidateButton();
    }
}

bool CGXBDropEdit::endTracking()
{
    m_nFlags &= WORD(~Tracking);
    if (GetCapture() == this)
        ReleaseCapture();
    const bool bWasPressed = (m_nFlags & Pressed) != 0;
    if (bWasPressed) {
        m_nFlags &= WORD(~Pressed);
        invalidateButton();
    }
    return bWasPressed;
}

void CGXBDropEdit::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!(m_nFlags & Tracking)) {
        CEdit::OnLButtonUp(nFlags, point);
        return;
    }
    endTracking();
    if (HitTestButton(point, TRUE))
        NotifyDropDown();
}

void CGXBDropEdit::OnCancelMode()
{
    if (m_nFlags & Tracking)
        endTracking();
    CEdit::OnCancelMode();
}

void CGXBDropEdit::OnEnable(BOOL bEnable)
{
    invalidateButton();
    CEdit::OnEnable(bEnable);
}

void CGXBDropEdit::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    loadBitmap();
    CEdit::OnSysColorChange();
}

void CGXBDropEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_F4) {
        NotifyDropDown();
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXBDropEdit::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_DOWN) {
        NotifyDropDown();
        return;
    }
    CEdit::OnSysKeyDown(nChar, nRepCnt, nFlags);
}
