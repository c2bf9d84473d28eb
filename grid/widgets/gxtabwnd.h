#pragma once
// CGXTabWnd: a workbook-style window. It holds child windows, one per sheet tab, shows one at a
// time and puts a tab strip at its bottom left and the horizontal scroll bar at its bottom right,
// with a splitter box between them. The children's own scroll bars are hidden: the tab window's
// bars stand in for the active child's, and their messages go on to it. Double-clicking a tab
// opens an in-place editor for its label.

#include <memory>

#include "grid/widgets/gxtabbeam.h"
#include "platform/controls/controls.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/cwnd.h"

class CGXTabWnd;

// The in-place editor of a tab label: Return accepts, Escape or losing the focus cancels.
class CGXEditLabelPopup : public CEdit {
    DECLARE_DYNAMIC(CGXEditLabelPopup)
public:
    enum : UINT { kControlId = 23001 };
    BOOL Create(const RECT& rect, CWnd* pParent);

protected:
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()
};

class CGXTabWnd : public CWnd {
    DECLARE_DYNCREATE(CGXTabWnd)
public:
    CGXTabWnd();
    ~CGXTabWnd() override;

    // Child ids.
    enum : UINT {
        kHorzScrollId = 0xEA00,
        kVertScrollId = 0xEA10,
        kSizeBoxId = 0xEA20,
        kBeamId = 0xEA01,
        kPaneId = 0xE900,
    };

    // WS_HSCROLL and WS_VSCROLL ask for the tab window's bars; the window has none of its own.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Appends a tab for the window; the first window becomes active, later ones stay hidden.
    virtual CWnd* AttachWnd(CWnd* pWnd, LPCTSTR pszLabel);
    virtual void RecalcLayout();
    // Asks the switch question (either window may refuse) and shows the window's tab.
    void ActivateTab(CWnd* pWnd);

    LPCTSTR GetTabLabel(const CWnd* pWnd) const;
    // With bNotify the tab's window hears of it (0x791).
    void SetTabLabel(int nTab, LPCTSTR pszLabel, BOOL bNotify = FALSE);
    void SetTabLabel(CWnd* pWnd, LPCTSTR pszLabel, BOOL bNotify = FALSE);

    CGXTabBeam* GetBeam() const { return m_pBeam.get(); }
    CWnd* GetActivePane() const { return m_pActiveWnd; }
    CScrollBar* GetTabScrollBar(int nBar) { return nBar == SB_VERT ? &m_sbVert : &m_sbHorz; }
    CScrollBar* GetSizeBox() { return &m_sizeBox; }
    CGXEditLabelPopup* GetLabelEditor() const { return m_pEditLabel.get(); }
    int GetSplitPos() const { return m_nSplit; }
    // The splitter box, in client coordinates; empty without a horizontal scroll bar.
    CRect GetSplitterRect() const;
    BOOL IsCreated() const { return m_bCreated; }

    // Closes an open label editor, keeping the label.
    void CancelLabelEdit();

    // Draw a sunken frame round the window.
    BOOL m_bDraw3dFrame { FALSE };
    // The tab strip to create.
    CRuntimeClass* m_pBeamClass;

    // Windows the "CGXTabWnd" class made and that go away with their window.
    static size_t GetAutoDeleteCount();

protected:
    void PostNcDestroy() override;
    // The scroll bars, the size box and the strip; false when one cannot be made.
    BOOL createChildren(UINT nID);
    BOOL makeChildren(UINT nID);
    void placeChild(HDWP& hdwp, CWnd* pWnd, int x, int y, int cx, int cy);
    void updateSizeBox();
    void scaleSplit(int cx);
    void saveScrollState(int nTab);
    void restoreScrollState(int nTab);
    // An active window whose tab is gone is forgotten without being asked or touched.
    void forgetLostActiveWnd();
    BOOL askSwitch(int nTab);
    void openLabelEditor(int nTab);
    void readMetrics();
    void drawSplitter(CDC* pDC);
    void endDrag(BOOL bApply);

    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcPaint();
    afx_msg void OnSysColorChange();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnTabActivate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTabRename(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTabCanChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLabelAccept(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLabelCancel(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bCreated { FALSE };
    BOOL m_bCompleting { FALSE };
    BOOL m_bHScroll { TRUE };
    BOOL m_bVScroll { TRUE };
    std::unique_ptr<CGXTabBeam> m_pBeam;
    CScrollBar m_sbHorz;
    CScrollBar m_sbVert;
    CScrollBar m_sizeBox;
    CWnd* m_pActiveWnd { nullptr };
    HWND m_hActiveWnd { nullptr };
    int m_nSplit { 0 };
    int m_nLastWidth { 0 };
    int m_nSplit100 { 0 };
    int m_nSplitterWidth { 6 };
    int m_cxVScroll { 0 };
    int m_cyHScroll { 0 };
    int m_nBorder { 0 };
    int m_nBottomHeight { 0 };
    BOOL m_bDragging { FALSE };
    int m_nDragOffset { 0 };
    std::unique_ptr<CGXEditLabelPopup> m_pEditLabel;
    CBrush m_brFace;
    HCURSOR m_hSplitCursor { nullptr };
};

// The "CGXTabWnd" window class of tab windows in dialog templates; the grid library's control
// factory registers it. A failed registration throws CResourceException.
void GXRegisterTabWndClass(HINSTANCE hInstance);
void GXUnregisterTabWndClass(HINSTANCE hInstance);
