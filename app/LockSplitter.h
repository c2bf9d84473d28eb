#pragma once
// CLockedSplitterWnd: a static splitter whose bars can be locked against the mouse.

#include "platform/ui/splitter.h"

class CLockedSplitterWnd : public CSplitterWnd {
public:
    CLockedSplitterWnd() = default;
    ~CLockedSplitterWnd() override = default;

    // While set, the bars can be neither dragged nor shown with the resize cursor.
    BOOL m_bLocked = FALSE;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
