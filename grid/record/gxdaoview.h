#pragma once
// CGXDaoRecordView: a document view that is itself a DAO grid. The grid part draws into the
// view's own window; the view hands it the window's messages, the edit and record commands,
// printing and activation, and falls back to the view's own handling where the grid declines.
//
// A derived view attaches its own CGXDaoParam and binds its recordset before it calls
// CGXDaoRecordView::OnInitialUpdate, and maps the zoom handlers to its own commands.

#include "grid/core/gxview.h"
#include "grid/record/gxdaogrid.h"

class CSplitterWnd;

class CGXDaoRecordView : public CGXView, public CGXDaoGrid {
    DECLARE_DYNCREATE(CGXDaoRecordView)
public:
    CGXDaoRecordView();
    ~CGXDaoRecordView() override;

    // Enlarge acts below kZoomMax, Reduce above kZoomMin.
    static constexpr int kZoomMax = 300;
    static constexpr int kZoomMin = 40;
    // Scroll-bar modes: shown when needed, last page kept at the edge; in a splitter the
    // splitter's shared bars are only given range and position.
    static constexpr int kBarModeView = 10;
    static constexpr int kBarModeShared = 12;

    CDocument* GetDocument() const { return CGXView::GetDocument(); }
    // The splitter that holds the view, found at the first update.
    CSplitterWnd* GetSplitter() const { return m_pSplitter; }

    CScrollBar* GetScrollBarCtrl(int nBar) const override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void ShowScrollBar(int nBar, BOOL bShow = TRUE) override;

    // Zoom commands; a derived view maps them to its own Enlarge, Reduce and 100% ids.
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnZoom100();
    afx_msg void OnUpdateZoomIn(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomOut(CCmdUI* pCmdUI);

protected:
    // A message the grid left goes to the window's default handling.
    LRESULT ToCoreOrDefault(BOOL bHandled);
    LRESULT GridOrDefault(BOOL bHandled) { return ToCoreOrDefault(bHandled); }
    // A pane other than the first starts where its neighbours in the splitter stand.
    void ShareSplitterPosition();

    afx_msg void OnRecordCommandRange(UINT nID);
    afx_msg void OnUpdateRecordCommandRange(CCmdUI* pCmdUI);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnWinIniChange(LPCTSTR pszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnRecordNavMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnValidateMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGridQueryCellMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGridTabNameMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLockRedrawMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFindReplaceMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnEditCopy();
    afx_msg void OnEditCut();
    afx_msg void OnEditPaste();
    afx_msg void OnEditUndo();
    afx_msg void OnEditRedo();
    afx_msg void OnEditFind();
    afx_msg void OnEditReplace();
    afx_msg void OnEditRepeat();
    afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditCut(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditRedo(CCmdUI* pCmdUI);

    CSplitterWnd* m_pSplitter = nullptr;

    DECLARE_MESSAGE_MAP()
};
