#pragma once
// CGXTabBeam: the strip of sheet tabs at the bottom of a tab window. Trapezoid tabs hang from its
// top edge and overlap their neighbours; the current one is drawn last, in bold, joined to the
// sheet above. Two scroll buttons at its left end shift the visible tabs. The strip activates
// nothing itself: it asks and tells its owner (the notification window, else its parent) through
// the tab messages below.

#include <memory>
#include <vector>

#include "platform/base/CString.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/cwnd.h"

// The messages between the strip, the tab window and the tabs' windows.
enum : UINT {
    WM_GX_TABACTIVATE = 0x785,     // strip to owner (posted), wParam tab: the tab became current
    WM_GX_TABRENAME = 0x786,       // strip to owner (posted), wParam tab: the user asks to rename it
    WM_GX_TABCANCHANGE = 0x787,    // strip to owner, wParam tab: may it become current? nonzero refuses
    WM_GX_TABATTACHED = 0x78F,     // tab window to a child, wParam tab: attached as a tab
    WM_GX_TABCANRENAME = 0x790,    // tab window to a child, wParam tab: may the label change? zero refuses
    WM_GX_TABRENAMED = 0x791,      // tab window to a child, wParam tab: the label changed
    WM_GX_TABCANSWITCH = 0x792,    // tab window to a child, wParam 0 losing, 1 gaining: nonzero refuses
    WM_GX_LABELACCEPT = 0x799,     // label editor to tab window: take the edited name
    WM_GX_LABELCANCEL = 0x79A,     // label editor or strip to tab window: close the editor
    WM_GX_TABRESIZING = 0x7CB,     // tab window to its active child: 1 before, 0 after a resize
};

// What a tab's window scrolled to while another tab was current.
struct GXTabScrollState {
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
};

class CGXTabInfo {
public:
    CGXTabInfo() = default;
    // Deletes the window object when the tab owns it.
    ~CGXTabInfo();
    CGXTabInfo(const CGXTabInfo&) = delete;
    CGXTabInfo& operator=(const CGXTabInfo&) = delete;

    // Own colours for this tab (flag 1 face, flag 2 current face).
    void SetFaceColor(COLORREF cr);
    void SetCurrentColor(COLORREF cr);

    enum : int { OwnFace = 1, OwnCurrent = 2 };

    int nWidth { 60 };
    CString sLabel;
    int nColorFlags { 0 };
    CWnd* pExtra { nullptr };
    BOOL bDeleteExtra { FALSE };
    LPARAM lUser { 0 };
    GXTabScrollState vert;
    GXTabScrollState horz;
    COLORREF crFace { 0 };
    COLORREF crCurrent { 0 };
    CBrush brFace;
    CBrush brCurrent;
    BOOL bSel { FALSE };
};

class CGXTabBeam : public CWnd {
    DECLARE_DYNCREATE(CGXTabBeam)
public:
    CGXTabBeam();
    ~CGXTabBeam() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- Tabs ----
    // Before the current tab (when the flag is given and a tab is current), else at the end. A
    // width of -1 is measured. Answers the new tab's index.
    virtual int InsertTab(BOOL bInsertBeforeCurrent, LPCTSTR pszLabel, CWnd* pExtra = nullptr, BOOL bDeleteExtra = FALSE,
                          int nWidth = -1, LPARAM lUser = 0);
    // The current index follows its tab. Removing the current tab makes tab 0 current (or none
    // when none is left) and tells the owner; an index outside the tabs does nothing.
    virtual void RemoveTab(int nTab);
    virtual void UpdateTabWidth(int nTab);
    virtual int FindTab(const CWnd* pWnd) const;
    CGXTabInfo& GetTab(int nTab) { return *m_tabs[size_t(nTab)]; }
    const CGXTabInfo& GetTab(int nTab) const { return *m_tabs[size_t(nTab)]; }
    int GetCount() const { return int(m_tabs.size()); }
    int GetCurSel() const { return m_nCurrent; }
    // Makes the tab current, visible and repaints; asks nobody.
    void SetCurSel(int nTab);
    int GetFirstTab() const { return m_nFirstTab; }
    void SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    CWnd* GetNotifyWnd() const;

    // ---- Geometry ----
    virtual int GetTabX(int nTab) const;
    // The tab under x, -1 for none.
    virtual int TabFromX(int x) const;
    virtual int GetLastVisibleTab() const;
    // Brings the tab between the first and the last visible one.
    void MakeTabVisible(int nTab);
    int GetScrollButtonAreaWidth() const { return m_bShowButtons ? m_nButtonAreaWidth : 0; }
    int GetBarHeight() const { return m_nBarHeight; }
    int GetOverlap() const { return m_nOverlap; }
    void SetOverlap(int n) { m_nOverlap = n; }
    CFont* GetNormalFont() { return &m_fontNormal; }
    CFont* GetBoldFont() { return &m_fontBold; }

    // ---- Mouse ----
    virtual void SelectTabAt(int x, int y);
    // The enabled button under the point (for tracking, only the pressed one) scrolls one step;
    // answers its index, -1 for none.
    virtual int HitTestScrollButton(int x, int y, int nPressed);
    // 0 first, 1 previous, 2 next, 3 last.
    virtual void ScrollTabs(int nButton);
    // Runs while a scroll button is held: repeats the step, faster and faster, until nEndMessage
    // arrives, the capture is lost, the strip is destroyed or the program quits. Answers whether
    // the strip still exists.
    virtual BOOL TrackScrollButton(UINT nEndMessage);
    BOOL IsScrollButtonEnabled(int nButton) const;
    BOOL IsTracking() const { return m_bTracking; }
    int GetPressedButton() const { return m_nPressedButton; }

    // ---- Drawing ----
    virtual void DrawTab(CDC* pDC, int nTab);
    virtual void DrawScrollButton(CDC* pDC, int nButton, BOOL bPressed);
    // -1 normal painting, -2 everything, x >= 0: repaint from x - 1 (the splitter moved there).
    void SetRedrawFrom(int x) { m_nRedrawFrom = x; }

    // Repeat delays of a held scroll button, in milliseconds.
    enum : UINT { kFirstRepeatDelay = 200, kRepeatDelayStep = 20, kFastestRepeatDelay = 100 };

protected:
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    DECLARE_MESSAGE_MAP()

    // The tab under x with the sliver right of the buttons standing for the hidden tab before
    // the first visible one; -1 for the buttons and for no tab.
    int tabAt(int x) const;
    // The button under the point whatever its state, -1 outside the buttons.
    int buttonAt(int x, int y) const;
    // The smallest first tab from which every remaining tab fits right of the buttons.
    int lastFirstTab() const;
    CRect tabAreaRect() const;
    void makeFonts();
    void takeColors();
    void applyTabColors(CGXTabInfo& tab) const;
    void endTracking();
    void invalidateButtons();
    BOOL threeD() const;

    std::vector<std::unique_ptr<CGXTabInfo>> m_tabs;
    int m_nCurrent { -1 };
    int m_nFirstTab { 0 };
    int m_nOverlap { 7 };
    int m_nBarHeight { 0 };
    int m_nButtonWidth { 0 };
    BOOL m_bShowButtons { TRUE };
    int m_nButtons { 2 };
    int m_nButtonAreaWidth { 0 };
    CFont m_fontNormal;
    CFont m_fontBold;
    COLORREF m_crCurrentText { 0 };
    COLORREF m_crText { 0 };
    COLORREF m_crFace { 0 };
    COLORREF m_crCurrentFace { 0 };
    COLORREF m_crBackground { 0 };
    CBrush m_brFace;
    CBrush m_brCurrentFace;
    CBrush m_brBlack;
    CPen m_penShadow;
    CPen m_penBlack;
    int m_nPressedButton { -1 };
    BOOL m_bPressedLook { FALSE };
    BOOL m_bTracking { FALSE };
    int m_nRedrawFrom { -1 };
    CWnd* m_pNotifyWnd { nullptr };
    HCURSOR m_hCursor { nullptr };
};

// The "CGXTabBeam" window class of strips in dialog templates; the grid library's control
// factory registers it. A failed registration throws CResourceException.
void GXRegisterTabBeamClass(HINSTANCE hInstance);
void GXUnregisterTabBeamClass(HINSTANCE hInstance);
