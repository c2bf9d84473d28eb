#include "grid/widgets/gxtabbeam.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "grid/core/gxfont.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxtemplatewnd.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"

namespace {

constexpr LPCTSTR kTabBeamClass = "CGXTabBeam";
// Logical-font fields of the tab fonts: variable pitch, Swiss family; the default clipping with
// the stroke precision bit, so that rotated or scaled output is never substituted.
constexpr BYTE kTabFontPitchAndFamily = 34;
constexpr BYTE kTabFontClipPrecision = 18;
// Arrow columns grow by two pixels from the tip; a bar this high gets a fifth column.
constexpr int kTallBar = 20;
constexpr COLORREF kDisabledArrow = RGB(96, 96, 96);
// The track loop's wake-up timer; an id no caller of the strip uses.
constexpr UINT_PTR kTrackTimer = 0x7AB0;

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

using TabBeamClass = GXTemplateWndClass<CGXTabBeam>;

}  // namespace

// ---- CGXTabInfo ----

CGXTabInfo::~CGXTabInfo()
{
    if (bDeleteExtra)
        delete pExtra;
}

void CGXTabInfo::SetFaceColor(COLORREF cr)
{
    crFace = cr;
    brFace.DeleteObject();
    brFace.CreateSolidBrush(cr);
    nColorFlags |= OwnFace;
}

void CGXTabInfo::SetCurrentColor(COLORREF cr)
{
    crCurrent = cr;
    brCurrent.DeleteObject();
    brCurrent.CreateSolidBrush(cr);
    nColorFlags |= OwnCurrent;
}

// ---- Class registration ----

void GXRegisterTabBeamClass(HINSTANCE hInstance) { TabBeamClass::Register(hInstance, kTabBeamClass); }

void GXUnregisterTabBeamClass(HINSTANCE hInstance) { ::UnregisterClass(kTabBeamClass, hInstance); }

// ---- CGXTabBeam ----

IMPLEMENT_DYNCREATE(CGXTabBeam, CWnd)

BEGIN_MESSAGE_MAP(CGXTabBeam, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

CGXTabBeam::CGXTabBeam()
{
    m_nBarHeight = GetSystemMetrics(SM_CYHSCROLL);
    m_nButtonWidth = m_nBarHeight;
    m_nButtonAreaWidth = m_nButtons * m_nBarHeight;
    m_hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    m_brBlack.CreateSolidBrush(RGB(0, 0, 0));
    m_penBlack.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    makeFonts();
    takeColors();
}

CGXTabBeam::~CGXTabBeam() { TabBeamClass::Forget(this); }

void CGXTabBeam::PostNcDestroy()
{
    if (TabBeamClass::ReleaseOnNcDestroy(this))
        delete this;
}

BOOL CGXTabBeam::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    LPCTSTR pszClass = AfxRegisterWndClass(CS_DBLCLKS, m_hCursor);
    return CWnd::Create(pszClass, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CGXTabBeam::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    SetWindowPos(nullptr, 0, 0, 1, m_nBarHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

BOOL CGXTabBeam::threeD() const { return GXGetLibraryState().m_bNewLook != 0; }

void CGXTabBeam::makeFonts()
{
    LOGFONT lf {};
    lf.lfHeight = m_nBarHeight - 2;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = kTabFontPitchAndFamily;
    lf.lfClipPrecision = kTabFontClipPrecision;
    CString face = "Arial";
    if (GetSystemMetrics(SM_DBCSENABLED)) {
        LOGFONT lfGui {};
        CGdiObject* pGui = CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
        if (!pGui || !pGui->GetObject(sizeof lfGui, &lfGui))
            ::GetObject(::GetStockObject(SYSTEM_FONT), sizeof lfGui, &lfGui);
        face = lfGui.lfFaceName;
    }
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    CGXFontNameTable& table = CGXFontNameTable::Instance();
    lf.lfCharSet = table.GetCharSet(table.RegisterFontFaceName(face));
    m_fontNormal.DeleteObject();
    m_fontNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.DeleteObject();
    m_fontBold.CreateFontIndirect(&lf);
}

void CGXTabBeam::takeColors()
{
    m_crCurrentText = sysColor(COLOR_WINDOWTEXT);
    m_crText = sysColor(COLOR_WINDOWTEXT);
    m_crFace = sysColor(COLOR_BTNFACE);
    m_crCurrentFace = sysColor(COLOR_WINDOW);
    m_crBackground = sysColor(COLOR_SCROLLBAR);
    m_brFace.DeleteObject();
    m_brFace.CreateSolidBrush(m_crFace);
    m_brCurrentFace.DeleteObject();
    m_brCurrentFace.CreateSolidBrush(m_crCurrentFace);
    m_penShadow.DeleteObject();
    m_penShadow.CreatePen(PS_SOLID, 1, sysColor(COLOR_BTNSHADOW));
    for (auto& p : m_tabs)
        applyTabColors(*p);
}

// A tab without colours of its own shows the strip's.
void CGXTabBeam::applyTabColors(CGXTabInfo& tab) const
{
    if (!(tab.nColorFlags & CGXTabInfo::OwnFace))
        tab.crFace = m_crFace;
    if (!(tab.nColorFlags & CGXTabInfo::OwnCurrent))
        tab.crCurrent = m_crCurrentFace;
}

CWnd* CGXTabBeam::GetNotifyWnd() const { return m_pNotifyWnd ? m_pNotifyWnd : GetParent(); }

// ---- Tabs ----

int CGXTabBeam::InsertTab(BOOL bInsertBeforeCurrent, LPCTSTR pszLabel, CWnd* pExtra, BOOL bDeleteExtra, int nWidth,
                          LPARAM lUser)
{
    auto tab = std::make_unique<CGXTabInfo>();
    tab->sLabel = pszLabel ? pszLabel : "";
    tab->pExtra = pExtra;
    tab->bDeleteExtra = bDeleteExtra;
    tab->lUser = lUser;
    if (nWidth >= 0)
        tab->nWidth = nWidth;
    applyTabColors(*tab);
    const int nAt = bInsertBeforeCurrent && m_nCurrent >= 0 ? m_nCurrent : GetCount();
    m_tabs.insert(m_tabs.begin() + nAt, std::move(tab));
    // The current tab and the first visible one stay the tabs they were.
    if (m_nCurrent >= nAt)
        ++m_nCurrent;
    if (nAt < m_nFirstTab)
        ++m_nFirstTab;
    if (nWidth < 0)
        UpdateTabWidth(nAt);
    if (m_nCurrent < 0) {
        m_nCurrent = GetCount() - 1;
        MakeTabVisible(m_nCurrent);
    }
    if (m_hWnd)
        Invalidate();
    return nAt;
}

void CGXTabBeam::RemoveTab(int nTab)
{
    if (nTab < 0 || nTab >= GetCount())
        return;
    const bool bWasCurrent = nTab == m_nCurrent;
    m_tabs.erase(m_tabs.begin() + nTab);
    if (bWasCurrent) {
        m_nCurrent = GetCount() > 0 ? 0 : -1;
        m_nFirstTab = 0;
    } else if (nTab < m_nCurrent) {
        --m_nCurrent;
    }
    m_nFirstTab = std::max(0, std::min(m_nFirstTab, GetCount() - 1));
    assert(m_nCurrent < GetCount());
    if (!m_hWnd)
        return;
    Invalidate();
    // Whoever showed the removed tab's window must show another one now.
    if (bWasCurrent)
        if (CWnd* pOwner = GetNotifyWnd())
            pOwner->PostMessage(WM_GX_TABACTIVATE, WPARAM(m_nCurrent));
}

void CGXTabBeam::UpdateTabWidth(int nTab)
{
    if (nTab < 0 || nTab >= GetCount())
        return;
    CGXTabInfo& tab = GetTab(nTab);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CDCStateGuard guard(&dc);
    guard.SelectFont(&m_fontBold);
    tab.nWidth = m_nOverlap + dc.GetTextExtent(tab.sLabel).cx;
    if (m_hWnd)
        Invalidate();
}

int CGXTabBeam::FindTab(const CWnd* pWnd) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_tabs[size_t(i)]->pExtra == pWnd)
            return i;
    return -1;
}

void CGXTabBeam::SetCurSel(int nTab)
{
    if (nTab < 0 || nTab >= GetCount())
        return;
    m_nCurrent = nTab;
    MakeTabVisible(nTab);
    if (m_hWnd)
        Invalidate();
}

// ---- Geometry ----

int CGXTabBeam::GetTabX(int nTab) const
{
    int x = m_bShowButtons ? m_nButtonAreaWidth + 1 : 0;
    if (nTab >= m_nFirstTab)
        for (int i = m_nFirstTab; i < nTab && i < GetCount(); ++i)
            x += m_tabs[size_t(i)]->nWidth + m_nOverlap;
    else
        for (int i = std::max(nTab, 0); i < m_nFirstTab; ++i)
            x -= m_tabs[size_t(i)]->nWidth + m_nOverlap;
    return x;
}

int CGXTabBeam::TabFromX(int x) const
{
    int start = GetTabX(m_nFirstTab);
    if (m_nFirstTab >= GetCount() || x <= start)
        return -1;
    for (int i = m_nFirstTab; i < GetCount(); ++i) {
        const int next = start + m_tabs[size_t(i)]->nWidth + m_nOverlap;
        if (i == GetCount() - 1)
            return x < next ? i : -1;
        if (x <= next)
            return i;
        start = next;
    }
    return -1;
}

int CGXTabBeam::GetLastVisibleTab() const
{
    CRect rc;
    if (m_hWnd)
        GetClientRect(&rc);
    int nLast = m_nFirstTab;
    int x = GetTabX(m_nFirstTab);
    for (int i = m_nFirstTab; i < GetCount(); ++i) {
        const int w = m_tabs[size_t(i)]->nWidth;
        if (x + w + 2 * m_nOverlap > rc.right)
            break;
        nLast = i;
        x += w + m_nOverlap;
    }
    return nLast;
}

void CGXTabBeam::MakeTabVisible(int nTab)
{
    if (nTab < 0 || nTab >= GetCount())
        return;
    const int nOldFirst = m_nFirstTab;
    if (nTab < m_nFirstTab)
        m_nFirstTab = nTab;
    else
        while (m_nFirstTab < nTab && nTab > GetLastVisibleTab())
            ++m_nFirstTab;
    if (m_nFirstTab != nOldFirst && m_hWnd)
        Invalidate();
}

int CGXTabBeam::lastFirstTab() const
{
    CRect rc;
    if (m_hWnd)
        GetClientRect(&rc);
    const int nRoom = rc.right - (m_bShowButtons ? m_nButtonAreaWidth + 1 : 0) - m_nOverlap;
    int nFirst = GetCount() - 1, sum = 0;
    for (int i = GetCount() - 1; i >= 0; --i) {
        sum += m_tabs[size_t(i)]->nWidth + m_nOverlap;
        if (sum > nRoom)
            break;
        nFirst = i;
    }
    return std::max(nFirst, 0);
}

CRect CGXTabBeam::tabAreaRect() const
{
    CRect rc;
    GetClientRect(&rc);
    rc.left = m_bShowButtons ? m_nButtonAreaWidth : 0;
    return rc;
}

// ---- Mouse ----

int CGXTabBeam::tabAt(int x) const
{
    const int nArea = m_bShowButtons ? m_nButtonAreaWidth : 0;
    if (x < nArea)
        return -1;
    if (x < nArea + m_nOverlap)
        return GetCount() > 0 ? std::max(0, m_nFirstTab - 1) : -1;
    return TabFromX(x);
}

void CGXTabBeam::SelectTabAt(int x, int)
{
    const int nTab = tabAt(x);
    if (nTab < 0)
        return;
    CWnd* pOwner = GetNotifyWnd();
    const HWND hWnd = m_hWnd;
    if (pOwner && pOwner->SendMessage(WM_GX_TABCANCHANGE, WPARAM(nTab)))
        return;
    // The owner may have removed tabs or the strip while it answered.
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this || nTab >= GetCount())
        return;
    const bool bChanged = nTab != m_nCurrent;
    m_nCurrent = nTab;
    if (!GetTab(nTab).bSel)
        for (auto& p : m_tabs)
            p->bSel = FALSE;
    MakeTabVisible(nTab);
    if (bChanged)
        Invalidate();
    if ((pOwner = GetNotifyWnd()))
        pOwner->PostMessage(WM_GX_TABACTIVATE, WPARAM(m_nCurrent));
}

int CGXTabBeam::buttonAt(int x, int y) const
{
    if (!m_bShowButtons || y < 0 || y >= m_nBarHeight || x < 0 || x >= m_nButtonAreaWidth || m_nButtonWidth <= 0)
        return -1;
    return x / m_nButtonWidth + (m_nButtons == 2 ? 1 : 0);
}

BOOL CGXTabBeam::IsScrollButtonEnabled(int nButton) const
{
    if (GetCount() < 2)
        return FALSE;
    if (nButton <= 1)
        return m_nFirstTab > 0;
    CRect rc;
    GetClientRect(&rc);
    return TabFromX(rc.right) != -1;
}

int CGXTabBeam::HitTestScrollButton(int x, int y, int nPressed)
{
    const int nButton = buttonAt(x, y);
    if (nButton < 0 || !IsScrollButtonEnabled(nButton) || (nPressed != -1 && nButton != nPressed))
        return -1;
    ScrollTabs(nButton);
    return nButton;
}

void CGXTabBeam::ScrollTabs(int nButton)
{
    const HWND hWnd = m_hWnd;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_GX_LABELCANCEL);
    if (!::IsWindow(hWnd) || GetCount() == 0)
        return;
    int nTarget = m_nFirstTab;
    switch (nButton) {
    case 0: nTarget = 0; break;
    case 1: nTarget = m_nFirstTab - 1; break;
    case 2: nTarget = m_nFirstTab + 1; break;
    case 3: nTarget = GetCount() - 1; break;
    default: return;
    }
    nTarget = std::max(0, std::min(nTarget, lastFirstTab()));
    if (nTarget == m_nFirstTab)
        return;
    int dx = 0;
    for (int i = std::min(nTarget, m_nFirstTab); i < std::max(nTarget, m_nFirstTab); ++i)
        dx += m_tabs[size_t(i)]->nWidth + m_nOverlap;
    if (nTarget > m_nFirstTab)
        dx = -dx;
    m_nFirstTab = nTarget;
    CRect area = tabAreaRect();
    ScrollWindow(dx, 0, &area, &area);
    // What scrolled in, and the slant beside it that the neighbour's outline overlaps.
    CRect uncovered = area;
    if (dx > 0)
        uncovered.right = std::min(area.right, area.left + dx + m_nOverlap + 1);
    else
        uncovered.left = std::max(area.left, area.right + dx - m_nOverlap - 1);
    InvalidateRect(&uncovered, FALSE);
    // The sliver beside the buttons shows the slant of the tab before the first one.
    CRect sliver(area.left, area.top, std::min(area.right, area.left + 2 * m_nOverlap + 2), area.bottom);
    InvalidateRect(&sliver, FALSE);
    invalidateButtons();
}

void CGXTabBeam::invalidateButtons()
{
    if (!m_bShowButtons || !m_hWnd)
        return;
    CRect rc(0, 0, m_nButtonAreaWidth, m_nBarHeight);
    InvalidateRect(&rc, FALSE);
}

BOOL CGXTabBeam::TrackScrollButton(UINT nEndMessage)
{
    const HWND hWnd = m_hWnd;
    SetCapture();
    m_bTracking = TRUE;
    UINT nDelay = kFirstRepeatDelay;
    DWORD dwLastStep = GetTickCount();
    auto alive = [&] { return ::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this; };
    ::SetTimer(hWnd, kTrackTimer, nDelay, nullptr);
    for (;;) {
        if (!alive())
            return FALSE;
        if (::GetCapture() != hWnd)
            break;
        MSG msg;
        if (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Whoever runs the outer loop must still see it.
                ::PostQuitMessage(int(msg.wParam));
                break;
            }
            if (msg.message == nEndMessage)
                break;
            if (msg.message == WM_MOUSEMOVE)
                continue;
            if (msg.message == WM_TIMER && msg.hwnd == hWnd && msg.wParam == kTrackTimer)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
            continue;
        }
        const DWORD dwNow = GetTickCount();
        if (dwNow - dwLastStep >= nDelay) {
            // The pointer standing still on the button is one more pass over it.
            CPoint pt;
            ::GetCursorPos(&pt);
            ScreenToClient(&pt);
            OnMouseMove(MK_LBUTTON, pt);
            if (!alive())
                return FALSE;
            dwLastStep = GetTickCount();
            if (nDelay > kFastestRepeatDelay)
                nDelay -= kRepeatDelayStep;
            ::SetTimer(hWnd, kTrackTimer, nDelay, nullptr);
            continue;
        }
        // Sleep until input arrives or the next step falls due.
        ::SetTimer(hWnd, kTrackTimer, nDelay - (dwNow - dwLastStep), nullptr);
        ::WaitMessage();
    }
    ::KillTimer(hWnd, kTrackTimer);
    endTracking();
    return TRUE;
}

void CGXTabBeam::endTracking()
{
    m_bTracking = FALSE;
    m_bPressedLook = FALSE;
    m_nPressedButton = -1;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    invalidateButtons();
}

void CGXTabBeam::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int nButton = HitTestScrollButton(point.x, point.y, -1);
    if (nButton >= 0) {
        m_nPressedButton = nButton;
        m_bPressedLook = TRUE;
        invalidateButtons();
        UpdateWindow();
        if (!TrackScrollButton(WM_LBUTTONUP))
            return;  // the strip is gone
    } else if (buttonAt(point.x, point.y) >= 0) {
        // A grey button does nothing.
    } else if (nFlags & MK_CONTROL) {
        if (const int nTab = tabAt(point.x); nTab >= 0) {
            GetTab(nTab).bSel = !GetTab(nTab).bSel;
            Invalidate();
        }
    } else if (nFlags & MK_SHIFT) {
        if (const int nTab = tabAt(point.x); nTab >= 0) {
            const int nTo = m_nCurrent >= 0 ? m_nCurrent : nTab;
            for (int i = std::min(nTab, nTo); i <= std::max(nTab, nTo); ++i)
                GetTab(i).bSel = TRUE;
            Invalidate();
        }
    } else {
        const HWND hWnd = m_hWnd;
        SelectTabAt(point.x, point.y);
        if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
            return;
    }
    Default();
}

void CGXTabBeam::OnMouseMove(UINT, CPoint point)
{
    ::SetCursor(m_hCursor);
    if (!m_bTracking || m_nPressedButton < 0)
        return;
    const BOOL bOn = buttonAt(point.x, point.y) == m_nPressedButton;
    if (bOn != m_bPressedLook) {
        m_bPressedLook = bOn;
        invalidateButtons();
    }
    if (bOn)
        HitTestScrollButton(point.x, point.y, m_nPressedButton);
}

void CGXTabBeam::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bTracking)
        endTracking();
    CWnd::OnLButtonUp(nFlags, point);
}

void CGXTabBeam::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (tabAt(point.x) >= 0 && m_nCurrent >= m_nFirstTab) {
        if (CWnd* pOwner = GetNotifyWnd())
            pOwner->PostMessage(WM_GX_TABRENAME, WPARAM(m_nCurrent));
        return;
    }
    OnLButtonDown(nFlags, point);
}

void CGXTabBeam::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    takeColors();
    Invalidate();
}

void CGXTabBeam::OnSettingChange(UINT, LPCTSTR)
{
    GXGetAppData()->m_sysColors.Refresh();
    const int nHeight = GetSystemMetrics(SM_CYHSCROLL);
    if (nHeight != m_nBarHeight) {
        m_nBarHeight = nHeight;
        m_nButtonWidth = nHeight;
        m_nButtonAreaWidth = m_nButtons * nHeight;
        makeFonts();
        for (int i = 0; i < GetCount(); ++i)
            UpdateTabWidth(i);
    }
    Invalidate();
}

// ---- Drawing ----

BOOL CGXTabBeam::OnEraseBkgnd(CDC* pDC)
{
    if (m_nRedrawFrom >= 0) {
        CRect rc;
        GetClientRect(&rc);
        rc.left = std::max(0, m_nRedrawFrom - 1);
        pDC->FillSolidRect(&rc, m_crBackground);
    }
    return TRUE;
}

void CGXTabBeam::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    CRect rcClip;
    dcPaint.GetClipBox(&rcClip);
    if (m_nRedrawFrom == -2)
        rcClip = rcClient;

    CDC dc;
    CBitmap bmp;
    if (!dc.CreateCompatibleDC(&dcPaint) || !bmp.CreateCompatibleBitmap(&dcPaint, rcClient.Width(), rcClient.Height()))
        return;
    CBitmap* pOldBmp = dc.SelectObject(&bmp);
    {
        CDCStateGuard guard(&dc);
        dc.SetBrushOrg(0, 0);
        guard.SelectFont(&m_fontNormal);
        if (m_bShowButtons && rcClip.left < m_nButtonAreaWidth) {
            const int nFirst = m_nButtons == 2 ? 1 : 0;
            for (int b = nFirst; b < nFirst + m_nButtons; ++b)
                DrawScrollButton(&dc, b, m_bPressedLook && b == m_nPressedButton);
        }
        CRect area = tabAreaRect();
        CDCClipGuard clip(&dc);
        dc.IntersectClipRect(&area);
        dc.FillSolidRect(area.left, area.top, area.Width(), 1, RGB(0, 0, 0));
        dc.FillSolidRect(area.left, area.top + 1, area.Width(), area.Height() - 1, m_crBackground);
        // Only the tabs that meet the clip box: the one whose slant shows in the sliver, then
        // the visible ones up to the first past the box's right edge.
        std::vector<int> shown;
        const int nFrom = std::max(0, m_nFirstTab - 1);
        for (int i = nFrom, x = GetTabX(nFrom); i < GetCount() && x < rcClip.right; ++i) {
            const int w = GetTab(i).nWidth;
            if (x + w + 2 * m_nOverlap >= rcClip.left && i != m_nCurrent)
                shown.push_back(i);
            x += w + m_nOverlap;
        }
        for (auto it = shown.rbegin(); it != shown.rend(); ++it)
            DrawTab(&dc, *it);
        if (m_nCurrent >= nFrom && m_nCurrent < GetCount())
            DrawTab(&dc, m_nCurrent);
    }
    dcPaint.BitBlt(rcClip.left, rcClip.top, rcClip.Width(), rcClip.Height(), &dc, rcClip.left, rcClip.top, SRCCOPY);
    dc.SelectObject(pOldBmp);
    m_nRedrawFrom = -1;
}

void CGXTabBeam::DrawTab(CDC* pDC, int nTab)
{
    if (nTab < 0 || nTab >= GetCount())
        return;
    CGXTabInfo& tab = GetTab(nTab);
    const int x = GetTabX(nTab);
    const int w = tab.nWidth;
    const int h = threeD() ? m_nBarHeight : m_nBarHeight - 1;
    const bool bCurrent = nTab == m_nCurrent;
    CBrush* pFill;
    if (bCurrent || tab.bSel)
        pFill = (tab.nColorFlags & CGXTabInfo::OwnCurrent) ? &tab.brCurrent : &m_brCurrentFace;
    else
        pFill = (tab.nColorFlags & CGXTabInfo::OwnFace) ? &tab.brFace : &m_brFace;

    CDCStateGuard guard(pDC);
    const POINT pts[4] = {{x, 0}, {x + w + 2 * m_nOverlap, 0}, {x + m_nOverlap + w, h}, {x + m_nOverlap, h}};
    guard.SelectPen(&m_penBlack);
    guard.SelectBrush(pFill);
    pDC->Polygon(pts, 4);
    if (bCurrent)
        pDC->FillSolidRect(x + 1, 0, w + 2 * m_nOverlap - 1, 1,
                           (tab.nColorFlags & CGXTabInfo::OwnCurrent) ? tab.crCurrent : m_crCurrentFace);
    guard.SelectPen(&m_penShadow);
    pDC->MoveTo(x + m_nOverlap + 1, h - 1);
    pDC->LineTo(x + w + m_nOverlap - 1, h - 1);
    pDC->LineTo(x + w + 2 * m_nOverlap - 2, 0);

    guard.SelectFont(bCurrent ? &m_fontBold : &m_fontNormal);
    guard.SetBkMode(TRANSPARENT);
    guard.SetTextColor(bCurrent ? m_crCurrentText : m_crText);
    const int nTextHeight = pDC->GetTextExtent("t", 1).cy;
    const int top = (m_nBarHeight - nTextHeight) / 2;
    CRect rcText(x + m_nOverlap, top, x + m_nOverlap + w, top + nTextHeight);
    pDC->DrawText(tab.sLabel, &rcText, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CGXTabBeam::DrawScrollButton(CDC* pDC, int nButton, BOOL bPressed)
{
    const int nSlot = m_nButtons == 2 ? nButton - 1 : nButton;
    CRect rc(nSlot * m_nButtonWidth, 0, (nSlot + 1) * m_nButtonWidth, m_nBarHeight);
    const COLORREF face = sysColor(COLOR_BTNFACE), shadow = sysColor(COLOR_BTNSHADOW);
    const COLORREF light = sysColor(COLOR_BTNHIGHLIGHT);
    pDC->FillSolidRect(&rc, sysColor(COLOR_WINDOWFRAME));
    CRect in = rc;
    in.DeflateRect(1, 1);
    pDC->FillSolidRect(&in, face);
    if (bPressed) {
        pDC->FillSolidRect(in.left, in.top, 1, in.Height(), shadow);
        pDC->FillSolidRect(in.left, in.top, in.Width(), 1, shadow);
    } else {
        const int nLight = threeD() ? 2 : 1;
        pDC->FillSolidRect(in.left, in.top, nLight, in.Height() - 1, light);
        pDC->FillSolidRect(in.left, in.top, in.Width() - 1, nLight, light);
        pDC->FillSolidRect(in.right - 1, in.top, 1, in.Height(), shadow);
        pDC->FillSolidRect(in.left, in.bottom - 1, in.Width(), 1, shadow);
    }
    if (threeD())
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, RGB(0, 0, 0));

    // The arrow: columns 1, 3, 5, 7 (9) pixels high, the short one at the point.
    const int nColumns = m_nBarHeight >= kTallBar ? 5 : 4;
    const bool bLeft = nButton <= 1;
    const bool bEnd = nButton == 0 || nButton == 3;
    const COLORREF ink = IsScrollButtonEnabled(nButton) ? RGB(0, 0, 0) : kDisabledArrow;
    const int nShift = bPressed ? 1 : 0;
    const int cy = rc.top + m_nBarHeight / 2 + nShift;
    const int nArrowWidth = nColumns + (bEnd ? 2 : 0);
    int xPoint = rc.left + (m_nButtonWidth - nArrowWidth) / 2 + nShift;
    if (bEnd) {
        // The bar stands at the point.
        const int xBar = bLeft ? xPoint : xPoint + nArrowWidth - 1;
        pDC->FillSolidRect(xBar, cy - nColumns + 1, 1, 2 * nColumns - 1, ink);
        if (bLeft)
            xPoint += 2;
    }
    for (int c = 0; c < nColumns; ++c) {
        const int x = bLeft ? xPoint + c : xPoint + nColumns - 1 - c;
        pDC->FillSolidRect(x, cy - c, 1, 2 * c + 1, ink);
    }
}
