// The lock stands in front of the splitter's own mouse handling.

#include "app/LockSplitter.h"

BEGIN_MESSAGE_MAP(CLockedSplitterWnd, CSplitterWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CLockedSplitterWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bLocked) return;
    CSplitterWnd::OnLButtonDown(nFlags, point);
}

void CLockedSplitterWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bLocked) {
        Default();
        return;
    }
    CSplitterWnd::OnMouseMove(nFlags, point);
}

BOOL CLockedSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bLocked) return BOOL(Default());
    return CSplitterWnd::OnSetCursor(pWnd, nHitTest, message);
}
