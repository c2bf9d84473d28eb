#include "grid/features/gxautoscroll.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win/win.h"

namespace {

// Steps faster than this repeat the key or scroll a fixed direction.
constexpr int kFastStep = 40;
// A pointer that moved this far (|dx| + |dy|) gets its mouse move at once.
constexpr int kMoveSlack = 5;
constexpr int kMoveIntervalAfterMove = 100;
constexpr int kMoveIntervalShrink = 3;
constexpr int kSpeedRise = 2;
// Distances of the steps that do not follow the mouse, and the divisors of the distance.
constexpr int kKeyboardDistance = 8;
constexpr int kFixedDistance = 2;
constexpr int kVertDivisor = 5;
constexpr int kHorzDivisor = 10;
// Rows (columns) a step scrolls: the speed over this, at least 1.
constexpr int kSpeedPerRow = 10;
// Repeat count of a keyboard step: the speed over this, at least 1.
constexpr int kSpeedPerKey = 5;
// Scroll directions of the grid's scroll operation.
constexpr int kUp = 1, kLeft = 2, kDown = 3, kRight = 4;

}  // namespace

BEGIN_MESSAGE_MAP(CGXAutoScrollPlugin, CGXPluginComponent)
    ON_WM_TIMER()
    PV_MOUSE(WM_LBUTTONUP, OnButtonUp)
    PV_MOUSE(WM_MBUTTONUP, OnButtonUp)
    PV_MOUSE(WM_RBUTTONUP, OnButtonUp)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CANCELMODE()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CGXAutoScrollPlugin::~CGXAutoScrollPlugin()
{
    if (m_hWnd)
        KillTimer(GX_AUTOSCROLL_TIMER);
}

void CGXAutoScrollPlugin::Stop()
{
    if (m_hWnd)
        KillTimer(GX_AUTOSCROLL_TIMER);
    m_bRunning = FALSE;
    if (m_pGrid)
        m_pGrid->m_bDragEnded = TRUE;
}

void CGXAutoScrollPlugin::Begin()
{
    m_bRunning = TRUE;
    m_bVert = m_pGrid->m_bAutoScrollVert;
    m_bHorz = m_pGrid->m_bAutoScrollHorz;
    m_nDirection = m_pGrid->m_nAutoScrollDirection;
    m_bKeyboard = m_pGrid->m_bKeyAutoScrollHeld && m_pGrid->m_nAutoScrollKey != 0;
    m_nKey = m_pGrid->m_nAutoScrollKey;
    GetClientRect(&m_rectInner);
    m_rectInner.top += m_pGrid->SumRowHeights(0, m_pGrid->HeaderRows());
    m_rectInner.left += m_pGrid->SumColWidths(0, m_pGrid->HeaderCols());
    m_nStepInterval = kStartInterval;
    m_nMoveInterval = kStartInterval;
    m_nSpeed = 1;
    m_nLastDistance = 0;
    m_nStartTick = m_nLastStepTick = m_nLastMoveTick = ::GetTickCount();
    POINT pt {};
    ::GetCursorPos(&pt);
    m_ptLast = pt;
}

void CGXAutoScrollPlugin::SendMouseMove(CPoint ptScreen)
{
    CPoint pt = ptScreen;
    ScreenToClient(&pt);
    UINT nFlags = 0;
    if (::GetKeyState(VK_LBUTTON) < 0)
        nFlags |= MK_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0)
        nFlags |= MK_RBUTTON;
    if (::GetKeyState(VK_MBUTTON) < 0)
        nFlags |= MK_MBUTTON;
    SendMessage(WM_MOUSEMOVE, nFlags, MAKELPARAM(pt.x, pt.y));
}

BOOL CGXAutoScrollPlugin::ScrollGrid(int nDirection)
{
    return m_pGrid->ScrollCells(nDirection, ROWCOL(std::max(1, m_nSpeed / kSpeedPerRow)));
}

int CGXAutoScrollPlugin::Step(int& nDivisor)
{
    nDivisor = 1;
    if (m_bKeyboard) {
        if (m_nStepInterval < kFastStep)
            SendMessage(WM_KEYDOWN, m_nKey, MAKELPARAM(std::max(1, m_nSpeed / kSpeedPerKey), 0));
        return kKeyboardDistance;
    }
    if (m_nDirection != -1) {
        if (m_nStepInterval < kFastStep)
            ScrollGrid(m_nDirection);
        return kFixedDistance;
    }
    POINT pt {};
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    int nDistance = 0;
    if (m_bVert) {
        nDivisor = kVertDivisor;
        if (pt.y < m_rectInner.top) {
            nDistance = m_rectInner.top - pt.y;
            if (ScrollGrid(kUp))
                return nDistance;
        } else if (pt.y > m_rectInner.bottom) {
            nDistance = pt.y - m_rectInner.bottom;
            if (ScrollGrid(kDown))
                return nDistance;
        }
    }
    if (m_bHorz) {
        nDivisor = kHorzDivisor;
        if (pt.x < m_rectInner.left) {
            nDistance = m_rectInner.left - pt.x;
            if (ScrollGrid(kLeft))
                return nDistance;
        } else if (pt.x > m_rectInner.right) {
            nDistance = pt.x - m_rectInner.right;
            if (ScrollGrid(kRight))
                return nDistance;
        }
    }
    // Nothing scrolled: the pointer is back inside, or the grid is at its end.
    m_nStepInterval = kStartInterval;
    m_nSpeed = 1;
    m_nLastDistance = nDistance;
    return -1;
}

void CGXAutoScrollPlugin::Accelerate(int nDistance, int nDivisor)
{
    if (nDistance < m_nLastDistance) {
        m_nStepInterval = kStartInterval;
        m_nSpeed = 1;
    } else if (nDistance > 1) {
        m_nStepInterval -= nDistance / nDivisor / 2;
        if (m_nStepInterval < 0) {
            m_nStepInterval = 0;
            m_nSpeed = std::min(kMaxSpeed, m_nSpeed + kSpeedRise);
        }
    }
    m_nLastDistance = nDistance;
}

void CGXAutoScrollPlugin::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != GX_AUTOSCROLL_TIMER || !m_pGrid)
        return;
    m_bHandled = TRUE;
    if (m_pGrid->m_bDragEnded) {
        Stop();
        return;
    }
    if (!m_bRunning)
        Begin();
    const DWORD now = ::GetTickCount();
    POINT ptCursor {};
    ::GetCursorPos(&ptCursor);
    const CPoint pt(ptCursor);
    if (now - m_nLastStepTick < DWORD(m_nStepInterval)) {
        // Between steps the drag still follows the pointer: at once when it moved, else at a
        // quickening pace.
        if (std::abs(pt.x - m_ptLast.x) + std::abs(pt.y - m_ptLast.y) > kMoveSlack) {
            m_ptLast = pt;
            m_nMoveInterval = kMoveIntervalAfterMove;
            m_nLastMoveTick = now;
            SendMouseMove(pt);
        } else if (now - m_nLastMoveTick >= DWORD(std::max(0, m_nMoveInterval))) {
            m_nMoveInterval = std::max(0, m_nMoveInterval - kMoveIntervalShrink);
            m_nLastMoveTick = now;
            SendMouseMove(pt);
        }
        return;
    }
    m_nLastStepTick = now;
    int nDivisor = 1;
    const int nDistance = Step(nDivisor);
    if (nDistance >= 0)
        Accelerate(nDistance, nDivisor);
    // The selection or the dragged line follows the pointer over the cells scrolled in.
    if (m_bRunning && m_hWnd)
        SendMouseMove(pt);
}

// While a drag runs (or its first tick is due), any of these ends it.
void CGXAutoScrollPlugin::OnButtonUp(UINT, CPoint)
{
    if (m_bRunning || !m_pGrid->m_bDragEnded)
        Stop();
}

void CGXAutoScrollPlugin::OnKeyDown(UINT nChar, UINT, UINT)
{
    if ((m_bRunning || !m_pGrid->m_bDragEnded) && (nChar == VK_ESCAPE || nChar != m_pGrid->m_nAutoScrollKey))
        Stop();
}

void CGXAutoScrollPlugin::OnKeyUp(UINT, UINT, UINT)
{
    if (m_bRunning || !m_pGrid->m_bDragEnded)
        Stop();
}

void CGXAutoScrollPlugin::OnCancelMode()
{
    if (m_bRunning || !m_pGrid->m_bDragEnded)
        Stop();
}

void CGXAutoScrollPlugin::OnKillFocus(CWnd*)
{
    if (m_bRunning || !m_pGrid->m_bDragEnded)
        Stop();
}

// ---- Installer ----

void CGXGridCore::InstallAutoScrollPlugin()
{
    if (m_pAutoScrollPlugin)
        return;
    auto* p = new CGXAutoScrollPlugin(this);
    m_pAutoScrollPlugin = p;
    m_bAutoScroll = TRUE;
    AddImpToDeleteList(p);
    p->PlugIn(m_pGridWnd);
    m_plugins.push_back(p);
}
