#pragma once
// CSplitterWnd, static: a fixed grid of panes whose rows and columns the user resizes by dragging
// the bars between them.

#include <vector>

#include "platform/ui/afxres.h"
#include "platform/ui/document.h"
#include "platform/win/cwnd.h"

class CView;

struct CRowColInfo {
    int nMinSize = 0;    // below this the row or column is hidden
    int nIdealSize = 0;  // what the user or the program asked for
    int nCurSize = 0;    // what the last layout gave it
};

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd() = default;
    ~CSplitterWnd() override = default;

    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                      UINT nID = AFX_IDW_PANE_FIRST);
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    virtual void RecalcLayout();
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    virtual void ActivateNext(BOOL bPrev = FALSE);
    virtual BOOL CanActivateNext(BOOL bPrev = FALSE);

    // Sizes of the bars and borders, in pixels.
    int m_cxSplitter = 7, m_cySplitter = 7;   // the bar between panes
    int m_cxBorder = 2, m_cyBorder = 2;       // the border around a pane (bordered style)
    int m_cxSplitterGap = 7, m_cySplitterGap = 7;

protected:
    enum HitTestValue { noHit = 0, vSplitterBar1 = 101, hSplitterBar1 = 201 };
    int HitTest(CPoint pt) const;            // vSplitterBar1 + col or hSplitterBar1 + row
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);
    void LayoutAxis(std::vector<CRowColInfo>& info, int total, int gap) const;

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnCancelMode();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

    int m_nRows = 0, m_nCols = 0;
    std::vector<CRowColInfo> m_pRowInfo;
    std::vector<CRowColInfo> m_pColInfo;
    BOOL m_bHasBorders = FALSE;
    BOOL m_bTracking = FALSE;
    int m_htTrack = noHit;
    CPoint m_ptTrackOffset;
};
