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

// The common find/replace dialog's notification, registered once at start-up; the message maps
// of the grid hosts refer to it.
extern const UINT gxFindReplaceMsg;

// The window class of grid controls in dialog templates; the control factory registers it.
// A failed registration throws CResourceException.
void GXRegisterGridWndClass(HINSTANCE hInstance);
void GXUnregisterGridWndClass(HINSTANCE hInstance);
