#pragma once
// Control bars of a frame: the toolbar, the status bar and the dialog bar.

#include <functional>
#include <string>
#include <vector>

#include "platform/base/CString.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afxres.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/dialog.h"
#include "platform/win/cwnd.h"

class CFrameWnd;
class CImageList;
class CToolBar;
class CStatusBar;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar() = default;
    ~CControlBar() override;

    // The size the bar takes in its frame: along the frame's width (bHorz) when bStretch.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) = 0;
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    BOOL IsVisible() const { return m_hWnd && IsWindowVisible(); }
    int GetCount() const { return m_nCount; }
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }
    BOOL IsFloating() const { return FALSE; }
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);

    DWORD m_dwStyle = 0;       // CBRS_* styles
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    int m_nCount = 0;
    int m_cxLeftBorder = 6, m_cxRightBorder = 0, m_cyTopBorder = 2, m_cyBottomBorder = 2;

protected:
    // Common creation: registers with the parent frame.
    BOOL CreateBar(LPCTSTR lpszClass, DWORD dwStyle, CWnd* pParentWnd, UINT nID, LPCTSTR lpszName = nullptr);
    void DrawBorders(CDC* pDC, CRect& rect);
    void DrawGripper(CDC* pDC, const CRect& rect);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};

// ---- Toolbar ----
struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    DWORD_PTR dwData;
    INT_PTR iString;
};

// The toolbar's common-control face: images and button states.
class CToolBarCtrl {
public:
    explicit CToolBarCtrl(CToolBar* pBar) : m_pBar(pBar) {}
    // Image lists from the controls library; the bar draws button i with image iBitmap of the
    // list, the disabled list for disabled buttons (else a greyed copy of the normal image).
    template <class IL>
    IL* SetImageList(IL* pImageList);
    template <class IL>
    IL* SetDisabledImageList(IL* pImageList);
    BOOL EnableButton(int nID, BOOL bEnable = TRUE);
    BOOL CheckButton(int nID, BOOL bCheck = TRUE);
    BOOL IsButtonEnabled(int nID) const;
    BOOL IsButtonChecked(int nID) const;
    int GetButtonCount() const;
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    BOOL SetButtonSize(CSize size);
    BOOL SetBitmapSize(CSize size);
    DWORD GetStyle() const;
    void SetStyle(DWORD dwStyle);

private:
    CToolBar* m_pBar;
};

// How the bar draws an image of an image list: (list, image, dc, point, disabled-look).
using PvImageDrawer = std::function<BOOL(CDC*, int, POINT)>;

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);
    // Buttons and images of toolbar resource nIDResource (PvRegisterToolBar).
    BOOL LoadToolBar(UINT nIDResource);
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL SetBitmap(HBITMAP hbmImageWell);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight) { m_cyHeight = cyHeight; }

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    CToolBarCtrl& GetToolBarCtrl() { return m_ctrl; }
    // The button under a client point, or -1.
    int HitTest(CPoint point) const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    // Installed by CToolBarCtrl::SetImageList/SetDisabledImageList.
    PvImageDrawer m_drawImage;
    PvImageDrawer m_drawDisabledImage;
    DWORD m_dwCtrlStyle = 0;   // TBSTYLE_*

protected:
    struct Button {
        UINT nID = 0;
        UINT nStyle = 0;   // TBBS_*
        int iImage = -1;
        std::string text;
    };
    std::vector<Button> m_buttons;
    CSize m_sizeButton {23, 22};
    CSize m_sizeImage {16, 15};
    int m_cyHeight = 0;
    CBitmap m_bitmap;          // the image well of LoadToolBar / SetBitmap
    BOOL m_bHaveBitmap = FALSE;
    int m_nHot = -1;
    int m_nPressed = -1;
    UINT m_nTipTimer = 0;
    HWND m_hWndTip = nullptr;
    int m_nTipButton = -1;
    CToolBarCtrl m_ctrl {this};

    void DrawButton(CDC* pDC, int nIndex, const CRect& rc);
    void DrawImage(CDC* pDC, int iImage, CPoint pt, BOOL bDisabled);
    void SetHot(int nIndex);
    void ShowTip(BOOL bShow);
    CRect ButtonRect(int nIndex) const;

    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnMouseLeaveMsg(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
    friend class CToolBarCtrl;
};

template <class IL>
IL* CToolBarCtrl::SetImageList(IL* pImageList)
{
    if (pImageList) m_pBar->m_drawImage = [pImageList](CDC* pDC, int i, POINT pt) { return pImageList->Draw(pDC, i, pt, 0); };
    else m_pBar->m_drawImage = nullptr;
    if (m_pBar->m_hWnd) m_pBar->Invalidate();
    return nullptr;
}

template <class IL>
IL* CToolBarCtrl::SetDisabledImageList(IL* pImageList)
{
    if (pImageList) m_pBar->m_drawDisabledImage = [pImageList](CDC* pDC, int i, POINT pt) { return pImageList->Draw(pDC, i, pt, 0); };
    else m_pBar->m_drawDisabledImage = nullptr;
    if (m_pBar->m_hWnd) m_pBar->Invalidate();
    return nullptr;
}

// ---- Status bar ----
class CStatusBarCtrl {
public:
    explicit CStatusBarCtrl(CStatusBar* pBar) : m_pBar(pBar) {}
    // Shows an icon at the left of a pane (null removes it).
    BOOL SetIcon(int nPane, HICON hIcon);
    HICON GetIcon(int nPane) const;
    BOOL SetText(LPCTSTR lpszText, int nPane, int nType);
    int GetParts(int nParts, int* pParts) const;

private:
    CStatusBar* m_pBar;
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; a separator is a stretchy message pane, other ids take their string's text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CStatusBarCtrl& GetStatusBarCtrl() { return m_ctrl; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    struct Pane {
        UINT nID = 0;
        UINT nStyle = 0;
        int cxText = 0;
        CString text;
        HICON hIcon = nullptr;
    };
    std::vector<Pane> m_panes;
    CStatusBarCtrl m_ctrl {this};
    std::vector<CRect> PaneRects() const;
    afx_msg void OnPaint();
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM, LPARAM);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    // Clicks tell the parent which pane they hit (NM_CLICK, NM_DBLCLK with an NMMOUSE).
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    void NotifyPaneClick(UINT nCode, CPoint point);
    DECLARE_MESSAGE_MAP()
    friend class CStatusBarCtrl;
};

// Draws an icon (from LoadIcon) at a size; FALSE when the icon has no image. The resource
// module installs how icons are drawn.
typedef BOOL (*PvIconDrawer)(CDC* pDC, HICON hIcon, int x, int y, int cx, int cy);
void PvSetIconDrawer(PvIconDrawer drawer);
BOOL PvDrawIcon(CDC* pDC, HICON hIcon, int x, int y, int cx, int cy);

// ---- Dialog bar ----
class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar() = default;
    ~CDialogBar() override;

    // Builds the bar and its controls from dialog template nIDTemplate; nStyle holds CBRS_*.
    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CSize m_sizeDefault;

protected:
    void Hover(UINT nID);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    UINT m_nHotID = 0;         // the control under the pointer
    HWND m_hWndTip = nullptr;  // its tip, once shown
};
