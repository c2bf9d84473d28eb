#pragma once
// CGXGridWnd: a child window that is itself a grid. It maps the window's messages onto the grid
// core and falls back to the default window processing wherever the core leaves a message.
// A "CGXGridWnd" control in a dialog template gets one of these, deleted with its window.

#include "grid/core/gxgrid.h"
#include "platform/win/cwnd.h"

class CGXGridWnd : public CWnd, public CGXGridCore {
    DECLARE_DYNCREATE(CGXGridWnd)
public:
    CGXGridWnd();
    ~CGXGridWnd() override;

    // Draws a sunken frame around the window in its parent.
    BOOL m_bDraw3dFrame = FALSE;

    CScrollBar* GetScrollBarCtrl(int nBar) const override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowScrollBar(int nBar, BOOL bShow = TRUE) override;

    // Windows the "CGXGridWnd" class made and that go away with their window.
    static size_t GetAutoDeleteCount();

protected:
    void PostNcDestroy() override;

    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnDestroy();
    afx_msg void OnWinIniChange(LPCTSTR pszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    // A key, mouse or scroll message the core left goes to the default processing.
    LRESULT ToCoreOrDefault(BOOL bHandled);
    void TakeFocusForClick();
    afx_msg LRESULT OnRecordNav(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnValidateMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryCellMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTabNameMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLockRedrawMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFindReplaceMsg(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The map entries of a grid host for the input its core takes: scroll bars, keys, and the mouse
// but for button presses (hosts differ on the focus). What the core leaves goes to the host's
// ToCoreOrDefault.
#define GX_GRID_INPUT_ENTRIES() \
    PV_WM(WM_VSCROLL, _c.result = _p->ToCoreOrDefault(_p->OnGridVScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), reinterpret_cast<CScrollBar*>(PV_WND(_c.lParam)))); return TRUE;) \
    PV_WM(WM_HSCROLL, _c.result = _p->ToCoreOrDefault(_p->OnGridHScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), reinterpret_cast<CScrollBar*>(PV_WND(_c.lParam)))); return TRUE;) \
    PV_WM(WM_KEYDOWN, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_KEYUP, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_CHAR, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_SYSKEYDOWN, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_SYSKEYUP, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_SYSCHAR, _c.result = _p->ToCoreOrDefault(_p->ProcessKeyMessage(_c.message, _c.wParam, _c.lParam)); return TRUE;) \
    PV_WM(WM_LBUTTONUP, _c.result = _p->ToCoreOrDefault(_p->OnGridLButtonUp(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_LBUTTONDBLCLK, _c.result = _p->ToCoreOrDefault(_p->OnGridLButtonDblClk(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_MBUTTONUP, _c.result = _p->ToCoreOrDefault(_p->OnGridMButtonUp(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_MBUTTONDBLCLK, _c.result = _p->ToCoreOrDefault(_p->OnGridMButtonDblClk(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_RBUTTONUP, _c.result = _p->ToCoreOrDefault(_p->OnGridRButtonUp(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_RBUTTONDBLCLK, _c.result = _p->ToCoreOrDefault(_p->OnGridRButtonDblClk(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;) \
    PV_WM(WM_MOUSEMOVE, _c.result = _p->ToCoreOrDefault(_p->OnGridMouseMove(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)

// The common find/replace dialog's notification, registered once at start-up; the message maps
// of the grid hosts refer to it.
extern const UINT gxFindReplaceMsg;

// A sunken frame drawn on the parent round the window, as grid windows and tab windows have.
void GXDrawSunkenFrameOnParent(CWnd* pWnd);

// The window class of grid controls in dialog templates; the control factory registers it.
// A failed registration throws CResourceException.
void GXRegisterGridWndClass(HINSTANCE hInstance);
void GXUnregisterGridWndClass(HINSTANCE hInstance);
