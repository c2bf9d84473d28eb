#pragma once
// CGXView: the base of document/view grids (the record view derives from it and joins a grid
// core of its own). It keeps the view's printer set-up and lends the grid the scroll bars of a
// registered parent window.

#include "platform/ui/view.h"

class CGXPrintDevice;
class CSplitterWnd;

class CGXView : public CView {
    DECLARE_DYNAMIC(CGXView)
public:
    CGXView() = default;
    ~CGXView() override;

    void OnInitialUpdate() override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    CScrollBar* GetScrollBarCtrl(int nBar) const override;

    // Deletes the previous device when the view owned it.
    void SetPrintDevice(CGXPrintDevice* pDevice, BOOL bOwn = TRUE);
    CGXPrintDevice* GetPrintDevice() const { return m_pPrintDevice; }
    // Called after a successful print set-up or print preparation.
    virtual void OnPrintDeviceChanged() {}
    // The parent splitter when it splits dynamically, else null.
    static CSplitterWnd* GetParentDynamicSplitter(const CWnd* pWnd, BOOL bDirectOnly);

    afx_msg void OnFilePrintSetup();

protected:
    afx_msg LRESULT OnQueryCellMsg(WPARAM, LPARAM) { return 1; }
    afx_msg LRESULT OnTabNameMsg(WPARAM, LPARAM) { return 0; }

    CGXPrintDevice* m_pPrintDevice = nullptr;
    BOOL m_bOwnPrintDevice = FALSE;

    DECLARE_MESSAGE_MAP()
};
