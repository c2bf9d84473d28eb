#include "grid/features/gxmwheel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/sys/system.h"
#include "platform/ui/splitter.h"
#include "platform/win/win.h"

namespace {

constexpr int kDefaultWheelLines = 3;
constexpr int kPageScroll = -1;  // wheel lines that mean one page a notch
constexpr UINT kCtrlKey = MK_CONTROL;
constexpr UINT kShiftKey = MK_SHIFT;
constexpr int kZoomStep = 10;
constexpr int kZoomMin = 50;
constexpr int kZoomMax = 200;
// Panning: the timer's period, how far the cursor steps aside at the start, the dead zone
// around the origin, and the distance the speed divisor counts from.
constexpr UINT kPanningPeriod = 10;
constexpr int kCursorOffset = 15;
constexpr int kDeadZone = 7;
constexpr int kSpeedBase = 10;
// Scroll directions of the panning step: up, left, down, right.
enum : int { kDirNone = 0, kDirUp = 1, kDirLeft = 2, kDirDown = 3, kDirRight = 4 };
// Scroll directions of the grid's scroll operation.
constexpr int kGridUp = 1, kGridLeft = 2, kGridDown = 3, kGridRight = 4;

// Where the wheel driver's own setting is asked: its registered message and window.
enum class DriverMsg { NotTried, Registered, NotAvailable };
struct WheelLinesCache {
    int nLines = kDefaultWheelLines;
    BOOL bRead = FALSE;
    DriverMsg state = DriverMsg::NotTried;
    UINT nMsg = 0;
};
WheelLinesCache& Cache()
{
    static WheelLinesCache c;
    return c;
}

// The cursors of the panning directions, as system shapes on our platform.
void RegisterPanningCursors()
{
    static const bool once = [] {
        PvRegisterCursorResource(GX_IDC_PAN_UP, IDC_SIZENS);
        PvRegisterCursorResource(GX_IDC_PAN_DOWN, IDC_SIZENS);
        PvRegisterCursorResource(GX_IDC_PAN_LEFT, IDC_SIZEWE);
        PvRegisterCursorResource(GX_IDC_PAN_RIGHT, IDC_SIZEWE);
        PvRegisterCursorResource(GX_IDC_PAN_NONE, IDC_SIZEALL);
        return true;
    }();
    (void)once;
}

// The origin mark, 30 x 30: a grey disc in a black ring with four arrow heads and a dot at
// its centre, on pure red (transparent).
constexpr COLORREF kTransparent = RGB(255, 0, 0);
std::vector<uint32_t> DrawOriginMark()
{
    constexpr int n = CGXMouseWheelOriginWnd::kSize;
    constexpr uint32_t red = 0xFF0000, black = 0x000000, grey = 0xE0E0E0;
    std::vector<uint32_t> px(size_t(n) * n, red);
    const double c = (n - 1) / 2.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x - c, dy = y - c, d2 = dx * dx + dy * dy;
            if (d2 <= 13.5 * 13.5)
                px[size_t(y) * n + size_t(x)] = d2 >= 12.2 * 12.2 ? black : grey;
            // Arrow heads 4 pixels deep, 5 from the ring; the centre dot 3 wide.
            const int ax = std::abs(x - n / 2), ay = std::abs(y - n / 2);
            const bool up = y >= 5 && y < 9 && ax <= y - 5, down = y <= n - 6 && y > n - 10 && ax <= n - 6 - y;
            const bool left = x >= 5 && x < 9 && ay <= x - 5, right = x <= n - 6 && x > n - 10 && ay <= n - 6 - x;
            if (up || down || left || right || (ax <= 1 && ay <= 1))
                px[size_t(y) * n + size_t(x)] = black;
        }
    return px;
}

// The mark as a bitmap on the background colour: resource 20033 when the program has one.
BOOL LoadOriginMark(CBitmap& bitmap, COLORREF background)
{
    constexpr int n = CGXMouseWheelOriginWnd::kSize;
    std::vector<uint32_t> px;
    BITMAP bm {};
    if (bitmap.LoadBitmap(GX_IDB_WHEELORIGIN) && bitmap.GetBitmap(&bm) && bm.bmWidth == n && bm.bmHeight == n
        && bm.bmBitsPixel == 32) {
        px.resize(size_t(n) * n);
        bitmap.GetBitmapBits(DWORD(px.size() * 4), px.data());
        bitmap.DeleteObject();
    } else {
        bitmap.DeleteObject();
        px = DrawOriginMark();
    }
    const uint32_t red = (uint32_t(GetRValue(kTransparent)) << 16) | (uint32_t(GetGValue(kTransparent)) << 8)
                         | GetBValue(kTransparent);
    const uint32_t bk = (uint32_t(GetRValue(background)) << 16) | (uint32_t(GetGValue(background)) << 8)
                        | GetBValue(background);
    for (uint32_t& v : px)
        if ((v & 0xFFFFFF) == red)
            v = bk;
    return bitmap.CreateBitmap(n, n, 1, 32, px.data());
}

}  // namespace

// ---- Wheel lines ----

int GXGetMouseWheelScrollLines(BOOL bForce)
{
    WheelLinesCache& c = Cache();
    if (c.bRead && !bForce)
        return c.nLines;
    c.bRead = TRUE;
    if (c.state == DriverMsg::NotTried) {
        c.nMsg = RegisterWindowMessage("MSH_SCROLL_LINES_MSG");
        c.state = c.nMsg ? DriverMsg::Registered : DriverMsg::NotAvailable;
    }
    if (c.state == DriverMsg::Registered) {
        if (HWND hDriver = FindWindow("MouseZ", "Magellan MSWHEEL")) {
            c.nLines = int(SendMessage(hDriver, c.nMsg, 0, 0));
            return c.nLines;
        }
    }
    // Our platform answers as an NT system above version 3.
    c.nLines = kDefaultWheelLines;
    UINT nLines = 0;
    if (SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0))
        c.nLines = int(nLines);
    return c.nLines;
}

GX_INTELLI_STATE* GXGetIntelliState()
{
    static GX_INTELLI_STATE state;
    return &state;
}

// ---- The origin mark ----

BEGIN_MESSAGE_MAP(CGXMouseWheelOriginWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CGXMouseWheelOriginWnd::CreateAt(CWnd* pParent, CPoint point)
{
    if (!pParent || !pParent->GetSafeHwnd())
        return FALSE;
    const CRect rect(point.x - kSize / 2, point.y - kSize / 2, point.x + kSize / 2, point.y + kSize / 2);
    return CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, rect, pParent, 0);
}

BOOL CGXMouseWheelOriginWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CGXMouseWheelOriginWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    dc.FillSolidRect(&client, background);
    CBitmap mark;
    if (!LoadOriginMark(mark, background))
        return;
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = mem.SelectObject(&mark);
    dc.BitBlt((client.Width() - kSize) / 2, (client.Height() - kSize) / 2, kSize, kSize, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}

// ---- Wheel ----

BEGIN_MESSAGE_MAP(CGXMouseWheelPlugin, CGXPluginComponent)
    ON_WM_MOUSEWHEEL()
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

int CGXMouseWheelPlugin::GetZoom() { return m_hWnd ? int(SendMessage(WM_GX_GETZOOM)) : 0; }

void CGXMouseWheelPlugin::SetZoom(int nZoom)
{
    if (m_hWnd)
        SendMessage(WM_GX_SETZOOM, WPARAM(nZoom));
}

void CGXMouseWheelPlugin::VScroll(int nCode, int nCount) { SendScroll(WM_VSCROLL, SB_VERT, nCode, nCount); }

void CGXMouseWheelPlugin::HScroll(int nCode, int nCount) { SendScroll(WM_HSCROLL, SB_HORZ, nCode, nCount); }

BOOL CGXMouseWheelPlugin::HasScrollBar(int nBar)
{
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    if (!pWnd)
        return FALSE;
    const DWORD nStyle = nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    return (pWnd->GetStyle() & nStyle) || pWnd->GetScrollBarCtrl(nBar);
}

void CGXMouseWheelPlugin::SendScroll(UINT message, int nBar, int nCode, int nCount)
{
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    if (!pWnd)
        return;
    HWND hTarget = m_hWnd;
    LPARAM lBar = 0;
    // A splitter pane's bar belongs to the splitter, which scrolls the panes that share it.
    if (CScrollBar* pBar = pWnd->GetScrollBarCtrl(nBar)) {
        CWnd* pParent = reinterpret_cast<CWnd*>(pBar)->GetParent();
        if (pParent && pParent->IsKindOf(RUNTIME_CLASS(CSplitterWnd))) {
            hTarget = pParent->GetSafeHwnd();
            lBar = reinterpret_cast<LPARAM>(reinterpret_cast<CWnd*>(pBar)->GetSafeHwnd());
        }
    }
    for (int i = 0; i < nCount && ::IsWindow(hTarget); ++i)
        ::SendMessage(hTarget, message, MAKEWPARAM(nCode, 0), lBar);
    if (::IsWindow(hTarget))
        ::SendMessage(hTarget, message, MAKEWPARAM(SB_ENDSCROLL, 0), lBar);
}

BOOL CGXMouseWheelPlugin::OnMouseWheel(UINT nFlags, short zDelta, CPoint)
{
    if (nFlags == kCtrlKey) {
        m_bHandled = TRUE;
        const int nZoom = GetZoom();
        if (nZoom == 0)
            return TRUE;
        if (zDelta > 0 && nZoom > kZoomMin)
            SetZoom(nZoom - kZoomStep);
        else if (zDelta < 0 && nZoom < kZoomMax)
            SetZoom(nZoom + kZoomStep);
        return TRUE;
    }
    if ((nFlags != 0 && nFlags != kShiftKey) || zDelta == 0)
        return FALSE;
    m_bHandled = TRUE;
    const int nLines = GXGetMouseWheelScrollLines();
    const BOOL bDown = zDelta <= 0;
    const BOOL bHorzBar = HasScrollBar(SB_HORZ), bVertBar = HasScrollBar(SB_VERT);
    const BOOL bVert = !bHorzBar || (nFlags != kShiftKey && bVertBar);
    int nCode = 0, nCount = 0;
    if (nLines == kPageScroll) {
        nCode = bDown ? kPageForward : kPageBack;
        nCount = 1;
    } else {
        nCode = bDown ? kLineForward : kLineBack;
        nCount = std::abs(int(zDelta) * nLines / WHEEL_DELTA);
    }
    if (nCount == 0)
        return TRUE;
    if (bVert)
        VScroll(nCode, nCount);
    else
        HScroll(nCode, nCount);
    return TRUE;
}

void CGXMouseWheelPlugin::OnSettingChange(UINT, LPCTSTR) { GXGetMouseWheelScrollLines(TRUE); }

// ---- Panning ----

BEGIN_MESSAGE_MAP(CGXIntelliMousePlugin, CGXMouseWheelPlugin)
    ON_WM_MBUTTONDOWN()
    // A second press soon after the first comes as a double click: a press all the same.
    PV_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDown)
    ON_WM_MBUTTONUP()
    PV_MOUSE(WM_LBUTTONDOWN, OnOtherButtonDown)
    PV_MOUSE(WM_RBUTTONDOWN, OnOtherButtonDown)
    PV_MOUSE(WM_LBUTTONDBLCLK, OnOtherButtonDown)
    PV_MOUSE(WM_RBUTTONDBLCLK, OnOtherButtonDown)
    ON_WM_TIMER()
    ON_WM_CANCELMODE()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEWHEEL()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CGXIntelliMousePlugin::~CGXIntelliMousePlugin() { StopPanning(); }

void CGXIntelliMousePlugin::OnMButtonDown(UINT nFlags, CPoint)
{
    if (nFlags & (MK_LBUTTON | MK_RBUTTON | MK_CONTROL))
        return;
    m_bHandled = TRUE;
    if (m_bPanning)
        StopPanning();
    else
        StartPanning();
}

void CGXIntelliMousePlugin::StartPanning()
{
    RegisterPanningCursors();
    SetCapture();
    POINT pt {};
    ::GetCursorPos(&pt);
    ::SetCursorPos(pt.x - kCursorOffset, pt.y - kCursorOffset);
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    m_ptOrigin = pt;
    m_bPanning = TRUE;
    m_nTimer = SetTimer(GX_PANNING_TIMER, kPanningPeriod, nullptr) ? GX_PANNING_TIMER : 0;
    m_nStartTick = std::max<DWORD>(::GetTickCount(), 1);
    m_nLastScrollTick = 0;
    m_nMinInterval = 0;
    m_nLastDirection = kDirNone;
    SetPanningCursor(GX_IDC_PAN_NONE);
    ShowOrigin();
}

void CGXIntelliMousePlugin::StopPanning()
{
    if (!m_bPanning)
        return;
    m_bPanning = FALSE;
    HideOrigin();
    if (m_hWnd && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_nTimer && m_hWnd)
        KillTimer(m_nTimer);
    m_nTimer = 0;
    m_nCursorId = 0;
    GX_INTELLI_STATE* pState = GXGetIntelliState();
    pState->hCursor = nullptr;
    pState->nCursorId = 0;
    if (m_hWnd)
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    POINT pt {};
    ::GetCursorPos(&pt);
    ::SetCursorPos(pt.x + kCursorOffset, pt.y + kCursorOffset);
}

// The platform repaints what the hidden mark uncovers, with the cells as they are now.
void CGXIntelliMousePlugin::ShowOrigin()
{
    m_pOriginWnd = std::make_unique<CGXMouseWheelOriginWnd>();
    if (!m_pOriginWnd->CreateAt(CWnd::FromHandle(m_hWnd), m_ptOrigin))
        m_pOriginWnd.reset();
    else
        m_pOriginWnd->UpdateWindow();
}

void CGXIntelliMousePlugin::HideOrigin()
{
    if (m_pOriginWnd && m_pOriginWnd->GetSafeHwnd())
        m_pOriginWnd->DestroyWindow();
    m_pOriginWnd.reset();
}

void CGXIntelliMousePlugin::SetPanningCursor(UINT nId)
{
    GX_INTELLI_STATE* pState = GXGetIntelliState();
    if (nId != m_nCursorId || !pState->hCursor) {
        HCURSOR h = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nId));
        if (!h)
            h = ::LoadCursor(nullptr, IDC_SIZEALL);
        pState->hCursor = h;
        pState->nCursorId = nId;
        m_nCursorId = nId;
    }
    ::SetCursor(pState->hCursor);
}

void CGXIntelliMousePlugin::OnMButtonUp(UINT, CPoint)
{
    if (!m_bPanning)
        return;
    m_bHandled = TRUE;
    const GX_INTELLI_STATE* pState = GXGetIntelliState();
    // A quick click without moving starts panning that goes on until the next click; a press
    // held still, or one that moved, ends with its release.
    if (m_nStartTick == 0 || ::GetTickCount() - m_nStartTick < pState->nClickTime)
        StopPanning();
}

void CGXIntelliMousePlugin::OnOtherButtonDown(UINT, CPoint)
{
    if (!m_bPanning)
        return;
    m_bHandled = TRUE;
    StopPanning();
}

void CGXIntelliMousePlugin::OnCancelMode() { StopPanning(); }

void CGXIntelliMousePlugin::OnDestroy() { StopPanning(); }

void CGXIntelliMousePlugin::OnMouseMove(UINT, CPoint)
{
    if (!m_bPanning)
        return;
    m_bHandled = TRUE;
    SetPanningCursor(m_nCursorId ? m_nCursorId : GX_IDC_PAN_NONE);
}

BOOL CGXIntelliMousePlugin::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_bPanning)
        return FALSE;
    m_bHandled = TRUE;
    return TRUE;
}

BOOL CGXIntelliMousePlugin::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    StopPanning();
    return CGXMouseWheelPlugin::OnMouseWheel(nFlags, zDelta, pt);
}

void CGXIntelliMousePlugin::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != GX_PANNING_TIMER)
        return;
    m_bHandled = TRUE;
    if (!m_bPanning)
        return;
    const GX_INTELLI_STATE* pState = GXGetIntelliState();
    POINT pt {};
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    const int dx = pt.x - m_ptOrigin.x, dy = pt.y - m_ptOrigin.y;
    const BOOL bHorz = (std::abs(dy) < std::abs(dx) && m_bHorzPanning) || !m_bVertPanning;
    int nDirection = bHorz ? (dx < 0 ? kDirLeft : kDirRight) : (dy < 0 ? kDirUp : kDirDown);
    const int d = bHorz ? std::abs(dx) : std::abs(dy);
    int nSteps = 0;
    if (d > kDeadZone)
        nSteps = d < pState->nStepThreshold ? 1 : (d - pState->nStepThreshold) / pState->nStepDivisor + 1;
    const int nDivisor = std::max(1, (d - kSpeedBase) / 2);
    if (nSteps > 0 || std::abs(dx) > kDeadZone || std::abs(dy) > kDeadZone)
        m_nStartTick = 0;
    if (nSteps == 0)
        nDirection = kDirNone;
    static const UINT kCursors[] = {GX_IDC_PAN_NONE, GX_IDC_PAN_UP, GX_IDC_PAN_LEFT, GX_IDC_PAN_DOWN, GX_IDC_PAN_RIGHT};
    SetPanningCursor(kCursors[nDirection]);
    m_nLastDirection = nDirection;
    const DWORD now = ::GetTickCount();
    if (nSteps == 0 || now - m_nLastScrollTick < m_nMinInterval)
        return;
    m_nMinInterval = pState->nPacingBase / DWORD(nDivisor);
    m_nLastScrollTick = now;
    HideOrigin();
    const BOOL bBack = nDirection == kDirUp || nDirection == kDirLeft;
    if (bHorz)
        HScroll(bBack ? kLineBack : kLineForward, nSteps);
    else
        VScroll(bBack ? kLineBack : kLineForward, nSteps);
    if (m_bPanning && m_hWnd)
        ShowOrigin();
}

// ---- Over a grid ----

int CGXGridIntelliMousePlugin::GetZoom() { return m_pGrid ? m_pGrid->GetZoom() : 0; }

void CGXGridIntelliMousePlugin::SetZoom(int nZoom)
{
    if (m_pGrid)
        m_pGrid->SetZoom(nZoom);
}

void CGXGridIntelliMousePlugin::VScroll(int nCode, int nCount) { Scroll(TRUE, nCode, nCount); }

void CGXGridIntelliMousePlugin::HScroll(int nCode, int nCount) { Scroll(FALSE, nCode, nCount); }

void CGXGridIntelliMousePlugin::Scroll(BOOL bRows, int nCode, int nCount)
{
    if (!m_pGrid || !m_pGrid->IsInitialized())
        return;
    switch (nCode) {
    case kLineBack: m_pGrid->ScrollCells(bRows ? kGridUp : kGridLeft, ROWCOL(nCount)); break;
    case kLineForward: m_pGrid->ScrollCells(bRows ? kGridDown : kGridRight, ROWCOL(nCount)); break;
    case kPageBack:
    case kPageForward: {
        // The grid's own page step: what fits in front of the top row, or the last row shown.
        const UINT nSB = nCode == kPageBack ? SB_PAGEUP : SB_PAGEDOWN;
        if (bRows)
            m_pGrid->OnGridVScroll(nSB, 0, nullptr);
        else
            m_pGrid->OnGridHScroll(nSB, 0, nullptr);
        break;
    }
    default: break;
    }
}

// ---- Installer ----

void CGXGridCore::InstallIntelliMousePlugin()
{
    if (m_pIntelliMousePlugin)
        return;
    auto* p = new CGXGridIntelliMousePlugin(this);
    m_pIntelliMousePlugin = p;
    AddImpToDeleteList(p);
    p->PlugIn(m_pGridWnd);
    m_plugins.push_back(p);
}
