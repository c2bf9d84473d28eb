#include "grid/features/gxcelltip.h"

#include "grid/core/gxctrl.h"
#include "grid/core/gxdib.h"
#include "platform/gdi/dcguard.h"
#include "platform/win/win.h"

// ---- Tip windows ----

IMPLEMENT_DYNAMIC(CGXCellTipWnd, CWnd)
IMPLEMENT_DYNAMIC(CGXTextCellTipWnd, CGXCellTipWnd)
IMPLEMENT_DYNAMIC(CGXStaticBitmapCellTipWnd, CGXCellTipWnd)

CGXCellTipWnd::~CGXCellTipWnd()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CGXCellTipWnd::CreateTipWnd()
{
    return CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, ::GetDesktopWindow(), nullptr);
}

// The platform repaints what the tip covered once it hides, so no screen pixels are kept:
// restoring them would paint stale cells over a grid that changed meanwhile.
void CGXCellTipWnd::ShowTip()
{
    if (!GetSafeHwnd())
        return;
    SetWindowPos(&wndTopMost, m_rectTip.left, m_rectTip.top, m_rectTip.Width(), m_rectTip.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
    UpdateWindow();
}

void CGXCellTipWnd::HideTip()
{
    if (GetSafeHwnd() && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

LRESULT CGXCellTipWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    CWnd* pGridWnd = m_pGrid ? m_pGrid->GetGridWnd() : nullptr;
    const HWND hGrid = pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr;
    if (hGrid && message >= WM_MOUSEFIRST && message < WM_MOUSEWHEEL) {
        // The same screen point in the grid's client coordinates.
        POINT pt {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(m_hWnd, &pt);
        ::ScreenToClient(hGrid, &pt);
        return ::SendMessage(hGrid, message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    if (hGrid && ((message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_MOUSEWHEEL))
        return ::SendMessage(hGrid, message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CGXTextCellTipWnd, CGXCellTipWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CGXTextCellTipWnd::PrepareText(const CString& sText, const LOGFONT& font, const CRect& rectTip)
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&font);
    SetWindowText(sText);
    SetTipRect(rectTip);
    m_rectText.SetRect(kPadX / 2, kPadY / 2, rectTip.Width() - kPadX / 2, rectTip.Height() - kPadY / 2);
}

BOOL CGXTextCellTipWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXTextCellTipWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_INFOBK));
    CString sText;
    GetWindowText(sText);
    {
        CDCStateGuard guard(&dc);
        if (m_font.GetSafeHandle())
            guard.SelectFont(&m_font);
        guard.SetBkMode(TRANSPARENT);
        guard.SetTextColor(::GetSysColor(COLOR_INFOTEXT));
        CRect rectText = m_rectText;
        dc.DrawText(sText, &rectText, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&client, &black);
}

BEGIN_MESSAGE_MAP(CGXStaticBitmapCellTipWnd, CGXCellTipWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CGXStaticBitmapCellTipWnd::PrepareBitmap(HGLOBAL hDIB, const CRect& rectTip)
{
    m_hDIB = hDIB;
    SetTipRect(rectTip);
}

BOOL CGXStaticBitmapCellTipWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXStaticBitmapCellTipWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_INFOBK));
    if (m_hDIB)
        DrawDIB(dc.GetSafeHdc(), m_hDIB, client, 0, 0);
}

// ---- Factory and manager ----

IMPLEMENT_DYNCREATE(CGXCellTipWndFactory, CObject)

CGXCellTipWnd* CGXCellTipWndFactory::CreateTipWnd(int nTipId)
{
    std::unique_ptr<CGXCellTipWnd> p;
    switch (nTipId) {
    case GX_CELLTIP_TEXT: p = std::make_unique<CGXTextCellTipWnd>(m_pGrid); break;
    case GX_CELLTIP_BITMAP: p = std::make_unique<CGXStaticBitmapCellTipWnd>(m_pGrid); break;
    default: return nullptr;
    }
    if (!p->CreateTipWnd())
        return nullptr;
    return p.release();
}

CGXCellTipWndManager::CGXCellTipWndManager(CGXGridCore* pGrid, CRuntimeClass* pFactoryClass)
    : m_pGrid(pGrid), m_pFactoryClass(pFactoryClass ? pFactoryClass : RUNTIME_CLASS(CGXCellTipWndFactory))
{
}

CGXCellTipWndManager::~CGXCellTipWndManager() = default;

CGXCellTipWnd* CGXCellTipWndManager::FindTipWnd(int nTipId) const
{
    auto it = m_tips.find(nTipId);
    return it == m_tips.end() ? nullptr : it->second.get();
}

CGXCellTipWnd* CGXCellTipWndManager::GetTipWnd(int nTipId)
{
    if (CGXCellTipWnd* p = FindTipWnd(nTipId))
        return p;
    if (!m_pFactory) {
        // A class that is not a tip-window factory makes no tips rather than a wrong object.
        CObject* pObject = m_pFactoryClass->IsDerivedFrom(RUNTIME_CLASS(CGXCellTipWndFactory))
                               ? m_pFactoryClass->CreateObject()
                               : nullptr;
        m_pFactory.reset(static_cast<CGXCellTipWndFactory*>(pObject));
        if (!m_pFactory)
            return nullptr;
        m_pFactory->SetGrid(m_pGrid);
    }
    CGXCellTipWnd* p = m_pFactory->CreateTipWnd(nTipId);
    if (p)
        m_tips[nTipId].reset(p);
    return p;
}

// ---- The plug-in ----

BEGIN_MESSAGE_MAP(CGXCellTipPlugin, CGXPluginComponent)
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    PV_MOUSE(WM_LBUTTONDOWN, OnButtonDown)
    PV_MOUSE(WM_RBUTTONDOWN, OnButtonDown)
    PV_MOUSE(WM_MBUTTONDOWN, OnButtonDown)
    PV_MOUSE(WM_LBUTTONDBLCLK, OnButtonDown)
    PV_MOUSE(WM_RBUTTONDBLCLK, OnButtonDown)
    PV_MOUSE(WM_MBUTTONDBLCLK, OnButtonDown)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    PV_WM(WM_MOUSEWHEEL, _p->OnContentMoved(); return TRUE;)
    PV_WM(WM_VSCROLL, _p->OnContentMoved(); return TRUE;)
    PV_WM(WM_HSCROLL, _p->OnContentMoved(); return TRUE;)
END_MESSAGE_MAP()

CGXCellTipPlugin::CGXCellTipPlugin(CGXGridCore* pGrid, CRuntimeClass* pFactoryClass, BOOL bHeaderTips,
                                   BOOL bEditTips, UINT nDelay)
    : m_pGrid(pGrid), m_manager(pGrid, pFactoryClass), m_bHeaderTips(bHeaderTips), m_bEditTips(bEditTips),
      m_nDelay(nDelay)
{
}

CGXCellTipPlugin::~CGXCellTipPlugin() { StopTimer(); }

CGXCellTipWnd* CGXCellTipPlugin::GetShownTipWnd() const
{
    return IsTipShown() ? m_manager.FindTipWnd(m_nShownTipId) : nullptr;
}

BOOL CGXCellTipPlugin::NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl)
{
    return pControl ? pControl->NeedsCellTip(nRow, nCol, style) : FALSE;
}

int CGXCellTipPlugin::GetTipId(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl)
{
    return pControl ? pControl->GetCellTipKind(nRow, nCol, style) : GX_NO_CELLTIP;
}

void CGXCellTipPlugin::PrepareTipWnd(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl,
                                     CGXCellTipWnd* pTipWnd)
{
    if (pControl)
        pControl->ShowCellTip(nRow, nCol, style, pTipWnd);
}

void CGXCellTipPlugin::ShowTip()
{
    if (!HasCell() || !m_pGrid)
        return;
    CGXStyle style;
    m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style);
    CGXControl* pControl = m_pGrid->GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : 0);
    if (NeedsCellTip(m_nRow, m_nCol, style, pControl)) {
        const int nTipId = GetTipId(m_nRow, m_nCol, style, pControl);
        if (nTipId != GX_NO_CELLTIP) {
            if (CGXCellTipWnd* pTip = m_manager.GetTipWnd(nTipId)) {
                PrepareTipWnd(m_nRow, m_nCol, style, pControl, pTip);
                pTip->ShowTip();
                m_nShownTipId = nTipId;
            }
        }
    }
    StartTimer();
}

void CGXCellTipPlugin::HideTip()
{
    if (CGXCellTipWnd* pTip = GetShownTipWnd())
        pTip->HideTip();
    m_nShownTipId = GX_NO_CELLTIP;
    StopTimer();
}

void CGXCellTipPlugin::StartTimer()
{
    if (m_hWnd && SetTimer(GX_CELLTIP_TIMER, m_nDelay, nullptr))
        m_nTimer = GX_CELLTIP_TIMER;
}

void CGXCellTipPlugin::StopTimer()
{
    if (m_nTimer && m_hWnd)
        KillTimer(m_nTimer);
    m_nTimer = 0;
}

BOOL CGXCellTipPlugin::IsExcluded(ROWCOL nRow, ROWCOL nCol)
{
    if (!m_bEditTips && m_pGrid->IsCurrentCellAt(nRow, nCol) && m_pGrid->IsCurrentCellControlActive())
        return TRUE;
    if (!m_bHeaderTips && (nRow == 0 || nCol == 0))
        return TRUE;
    return m_pGrid->IsRowHidden(nRow) || m_pGrid->IsColHidden(nCol) || m_pGrid->RowHeight(nRow) == 0
           || m_pGrid->ColWidth(nCol) == 0;
}

void CGXCellTipPlugin::ForgetCell()
{
    m_nRow = m_nCol = GX_NOCELL;
    HideTip();
}

void CGXCellTipPlugin::OnMouseMove(UINT nFlags, CPoint point)
{
    constexpr UINT kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    if (point.x < 0 || point.y < 0 || (nFlags & kAnyButton) || !m_pGrid || !m_pGrid->IsInitialized())
        return;
    CRect client;
    GetClientRect(&client);
    if (point.x > client.right || point.y > client.bottom) {
        ForgetCell();
        return;
    }
    const ROWCOL vRow = m_pGrid->ViewRowAtY(point.y), vCol = m_pGrid->ViewColAtX(point.x);
    if (vRow == CGXGridCore::GX_INVALID || vCol == CGXGridCore::GX_INVALID) {
        ForgetCell();
        return;
    }
    ROWCOL nRow = m_pGrid->ViewIndexToRow(vRow), nCol = m_pGrid->ViewIndexToCol(vCol);
    CGXCellRange covered;
    if (m_pGrid->GetCoveredCellsRowCol(nRow, nCol, covered)) {
        nRow = covered.top;
        nCol = covered.left;
    }
    if (nRow == m_nRow && nCol == m_nCol)
        return;
    m_nRow = nRow;
    m_nCol = nCol;
    if (IsExcluded(nRow, nCol)) {
        HideTip();
    } else if (!IsTipShown()) {
        StartTimer();
    } else {
        HideTip();
        ShowTip();
    }
}

void CGXCellTipPlugin::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != GX_CELLTIP_TIMER)
        return;
    m_bHandled = TRUE;
    POINT pt {};
    ::GetCursorPos(&pt);
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    if (!client.PtInRect(pt)) {
        ForgetCell();
        return;
    }
    if (!IsTipShown())
        ShowTip();
}

void CGXCellTipPlugin::OnButtonDown(UINT, CPoint) { HideTip(); }

void CGXCellTipPlugin::OnChar(UINT, UINT, UINT) { HideTip(); }

// Navigation keys move what lies under the mouse, as scrolling does.
void CGXCellTipPlugin::OnKeyDown(UINT nChar, UINT, UINT)
{
    switch (nChar) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_TAB:
    case VK_RETURN:
        ForgetCell();
        break;
    default:
        break;
    }
}

// The grid scrolls: the cell under the mouse is another one, and the tip would show the wrong text.
void CGXCellTipPlugin::OnContentMoved() { ForgetCell(); }

// ---- Installer ----

void CGXGridCore::InstallCellTipPlugin(CRuntimeClass* pFactoryClass, BOOL bHeaderTips, BOOL bEditTips, UINT nDelay)
{
    if (m_pCellTipPlugin)
        return;
    auto* p = new CGXCellTipPlugin(this, pFactoryClass, bHeaderTips, bEditTips, nDelay);
    m_pCellTipPlugin = p;
    AddImpToDeleteList(p);
    p->PlugIn(m_pGridWnd);
    // First in the walk: it ends no message but its own timer, and it must see every wheel,
    // scroll and click before another plug-in handles them, or its tip stays over a moved cell.
    m_plugins.insert(m_plugins.begin(), p);
}
