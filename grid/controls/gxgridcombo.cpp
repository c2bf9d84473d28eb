#include "grid/controls/gxgridcombo.h"

#include <algorithm>
#include <cstring>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdib.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/system.h"

namespace {

CString PopupClassName() { return GXGetLibraryState().m_strPopupClassName; }

// The bytes of field n of a tab-separated text, without copying.
struct Field {
    const char* p;
    int n;
};

Field NthField(const char* psz, int nField)
{
    const char* p = psz ? psz : "";
    for (int i = 0; i < nField && p; ++i) {
        p = std::strchr(p, '\t');
        if (p)
            ++p;
    }
    if (!p)
        return {"", 0};
    const char* e = std::strchr(p, '\t');
    return {p, e ? int(e - p) : int(std::strlen(p))};
}

// The pool's picture of a field that names one.
HGLOBAL FieldDIB(const Field& f, LONG& cx, LONG& cy)
{
    if (f.n < 5 || std::strncmp(f.p, "#BMP(", 5) != 0)
        return nullptr;
    HGLOBAL h = CGXDIBPool::GetPool()->GetDIB(CString(f.p, f.n));
    DWORD nColors = 0;
    if (!h || !GXInspectDIB(h, cx, cy, nColors))
        return nullptr;
    cy = cy < 0 ? -cy : cy;
    return h;
}

// A field as its pool bitmap, or as text; nFormat places it.
void DrawField(CDC* pDC, const CRect& rect, const Field& f, UINT nFormat)
{
    LONG cx = 0, cy = 0;
    if (HGLOBAL h = FieldDIB(f, cx, cy)) {
        UINT nPlace = 4;  // vertically centred
        if (nFormat & DT_CENTER)
            nPlace |= 1;
        DrawDIB(pDC->GetSafeHdc(), h, rect, 0, nPlace);
        return;
    }
    CRect r = rect;
    pDC->DrawText(f.p, f.n, &r, nFormat | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

// ---- CGXGridCombo ----

CGXGridCombo::CGXGridCombo(CGXControl* pOwner, const CRect& rect) : m_pOwner(pOwner)
{
    s_bCreating = TRUE;
    CreateEx(WS_EX_TOOLWINDOW, PopupClassName(), "", WS_POPUP | WS_VISIBLE, rect.left - 1, rect.top,
             rect.Width() + 1, rect.Height(), ::GetDesktopWindow(), nullptr);
    s_bCreating = FALSE;
}

CGXGridCombo::~CGXGridCombo()
{
    // The list's window goes with the pop-up's; the objects go here.
    if (m_pListBox && m_pListBox->GetSafeHwnd())
        m_pListBox->DestroyWindow();
    m_pListBox.reset();
    if (GetSafeHwnd())
        DestroyWindow();
}

void CGXGridCombo::SetColors(COLORREF rgbText, COLORREF rgbBack)
{
    m_brush.DeleteObject();
    m_brush.CreateSolidBrush(rgbBack);
    m_rgbText = rgbText;
    m_rgbBack = rgbBack;
    m_bColorsSet = TRUE;
}

LRESULT CGXGridCombo::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND hList = m_pListBox ? m_pListBox->GetSafeHwnd() : nullptr;
    switch (message) {
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
        if (!m_bColorsSet)
            break;
        if (CDC* pDC = CDC::FromHandle(HDC(wParam))) {
            pDC->SetBkColor(m_rgbBack);
            pDC->SetTextColor(m_rgbText);
        }
        return LRESULT(HBRUSH(m_brush));
    case WM_COMMAND:
        if (hList && HWND(lParam) == hList) {
            CWnd* pTarget = m_pOwner ? m_pOwner->GetWindow() : nullptr;
            if (pTarget && pTarget->GetSafeHwnd())
                return pTarget->SendMessage(WM_COMMAND, wParam, lParam);
            return 0;
        }
        break;
    // The list is owner-drawn by its own object.
    case WM_DRAWITEM: {
        auto* pDis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (pDis && hList && pDis->hwndItem == hList) {
            m_pListBox->DrawItem(pDis);
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* pMis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        if (pMis && m_pListBox) {
            m_pListBox->MeasureItem(pMis);
            return TRUE;
        }
        break;
    }
    case WM_SYSCOMMAND: return 0;
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- CGXTabbedLBoxHeader ----

BOOL CGXTabbedLBoxHeader::Create(CWnd*)
{
    // A window of the desktop's own is a top-level window here: as a pop-up it takes neither
    // the activation nor the keyboard from the list it titles.
    const DWORD dwExStyle = s_bNoToolWindow ? 0 : WS_EX_TOOLWINDOW;
    return CreateEx(dwExStyle, PopupClassName(), "", WS_POPUP, 0, 0, 0, 0, ::GetDesktopWindow(), nullptr);
}

LRESULT CGXTabbedLBoxHeader::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return TRUE;
    return CWnd::WindowProc(message, wParam, lParam);
}

void CGXTabbedLBoxHeader::OnPaint()
{
    PAINTSTRUCT ps {};
    CDC* pDC = CDC::FromHandle(::BeginPaint(GetSafeHwnd(), &ps));
    if (pDC) {
        CRect rectClient;
        GetClientRect(&rectClient);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        pDC->FillSolidRect(&rectClient, face);
        CDCStateGuard guard(pDC);
        guard.SetBkColor(face);
        guard.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
        guard.SetBkMode(TRANSPARENT);
        guard.SelectFont(m_pFont);
        const char* p = m_strHeader;
        if (m_bTabbed && m_nDisplayOffset > 0) {
            p = std::strchr(p, '\t');
            p = p ? p + 1 : "";
        }
        int left = rectClient.left;
        for (int i = 0; i == 0 || (m_bTabbed && i <= m_nTabStops); ++i) {
            const int right = i < m_nTabStops && m_pTabStops ? m_pTabStops[i] - 1 : rectClient.right;
            CRect rectCol(left, rectClient.top, right, rectClient.bottom);
            if (rectCol.Width() > 0) {
                CRect edge = rectCol;
                pDC->DrawEdge(&edge, BDR_RAISEDINNER, BF_RECT);
                const Field f = NthField(p, 0);
                CRect inner = rectCol;
                inner.DeflateRect(1, 1);
                DrawField(pDC, inner, f, DT_CENTER | DT_VCENTER);
            }
            left = right + 1;
            const char* next = p ? std::strchr(p, '\t') : nullptr;
            p = next ? next + 1 : "";
        }
    }
    ::EndPaint(GetSafeHwnd(), &ps);
}

BOOL GXEraseListWithParentBrush(CWnd* pList, HDC hdc)
{
    CWnd* pParent = pList ? pList->GetParent() : nullptr;
    if (!pParent)
        return FALSE;
    auto hBrush = HBRUSH(pParent->SendMessage(WM_CTLCOLORLISTBOX, WPARAM(hdc), LPARAM(pList->GetSafeHwnd())));
    if (!hBrush)
        return FALSE;
    CRect rect;
    pList->GetClientRect(&rect);
    ::FillRect(hdc, &rect, hBrush);
    return TRUE;
}

// ---- Tabbed items ----

void MeasureTabbedColumns(CDC* pDC, LPCTSTR pszText, int nCount, int* pWidths)
{
    if (!pDC || !pWidths)
        return;
    const char* p = pszText ? pszText : "";
    for (int i = 0; i < nCount; ++i) {
        const Field f = NthField(p, 0);
        LONG cx = 0, cy = 0;
        const int w = FieldDIB(f, cx, cy) ? int(cx) : pDC->GetTextExtent(f.p, f.n).cx;
        pWidths[i] = std::max(pWidths[i], w);
        const char* next = std::strchr(p, '\t');
        if (!next)
            break;
        p = next + 1;
    }
}

void DrawTabbedItem(CDC* pDC, const CRect& rect, LPCTSTR pszText, BOOL bHeader, int nDisplayOffset, int nCount,
                    const int* pTabStops, COLORREF rgbBack, COLORREF rgbText)
{
    if (!pDC)
        return;
    const char* p = pszText ? pszText : "";
    if (!bHeader && nDisplayOffset > 0) {
        const char* t = std::strchr(p, '\t');
        p = t ? t + 1 : "";
    }
    if (bHeader)
        nCount = 0;
    pDC->FillSolidRect(&rect, rgbBack);
    CDCStateGuard guard(pDC);
    guard.SetBkColor(rgbBack);
    guard.SetTextColor(rgbText);
    guard.SetBkMode(TRANSPARENT);
    int left = rect.left;
    for (int i = 0; i <= nCount; ++i) {
        const int right = i < nCount && pTabStops ? rect.left + pTabStops[i] : rect.right;
        const Field f = NthField(p, 0);
        if (right > left) {
            CRect r(left + 2, rect.top, right, rect.bottom);
            DrawField(pDC, r, f, DT_VCENTER);
        }
        left = right;
        const char* next = std::strchr(p, '\t');
        if (!next)
            break;
        p = next + 1;
    }
}

void MeasureTabbedItemHeight(LPCTSTR pszText, BOOL bHeader, int nDisplayOffset, int nCount, int& nHeight)
{
    const char* p = pszText ? pszText : "";
    if (!bHeader && nDisplayOffset > 0) {
        const char* t = std::strchr(p, '\t');
        p = t ? t + 1 : "";
    }
    for (int i = 0; i <= nCount; ++i) {
        LONG cx = 0, cy = 0;
        if (FieldDIB(NthField(p, 0), cx, cy))
            nHeight = std::max(nHeight, int(cy));
        const char* next = std::strchr(p, '\t');
        if (!next)
            break;
        p = next + 1;
    }
}
