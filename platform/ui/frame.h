#pragma once
// CFrameWnd: a top-level window with a menu bar, control bars, a client view (or splitter), the
// status-bar message protocol and command routing to the active view and document.

#include <vector>

#include "platform/base/CString.h"
#include "platform/ui/afxres.h"
#include "platform/ui/document.h"
#include "platform/ui/menu.h"
#include "platform/win/cwnd.h"

class CView;
class CControlBar;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault;

    // ---- Creation ----
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Menu, accelerators and title (the first field of string nIDResource) from resource nIDResource.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // ---- Views and document ----
    virtual CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // ---- Layout and bars ----
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // The client area left to the view after the menu bar and the control bars.
    CRect GetPaneRect() const;

    // ---- Status-bar messages ----
    virtual CWnd* GetMessageBar();
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    virtual void GetMessageString(UINT nID, CString& rMessage) const;

    // ---- Title ----
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);

    // ---- Menus and commands ----
    CMenu* GetMenu() const;
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    BOOL m_bAutoMenuEnable = TRUE;   // items without a handler are disabled
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Menus and accelerators: a command whose update handler disables it is dropped.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Runs the update handlers of the bars (what idle time does), and a menu update asked for.
    void OnIdleUpdateCmdUI();
    // Asks for the frame's menu to be brought up to date at the next idle time: hMenuAlt, or the
    // frame's own menu when null.
    void DelayUpdateFrameMenu(HMENU hMenuAlt);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    BOOL IsMenuUpdatePending() const { return m_bMenuUpdatePending; }

    CString m_strTitle;
    UINT m_nIDHelp = 0;
    UINT m_nIDTracking = 0;
    UINT m_nIDLastMessage = 0;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    BOOL OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg LRESULT OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMenuSelectMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExitMenuLoop(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    afx_msg BOOL OnBarCheck(UINT nID);
    DECLARE_MESSAGE_MAP()

    CView* m_pViewActive = nullptr;
    HMENU m_hMenuAlt = nullptr;
    BOOL m_bMenuUpdatePending = FALSE;
    HWND m_hWndMenuBar = nullptr;
    int m_nCloseRetries = 0;
    std::vector<CControlBar*> m_listControlBars;
    std::string m_strCreateTitle;
    friend class CControlBar;
};
