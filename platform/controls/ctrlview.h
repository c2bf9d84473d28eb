#pragma once
// CTreeView: a view whose window is a tree control, so that a pane of a splitter can be an
// outline. The view's own message map sees every message first; what it leaves goes to the
// control.

#include "platform/controls/treectrl.h"
#include "platform/ui/view.h"

class CTreeView : public CView {
    DECLARE_DYNCREATE(CTreeView)
public:
    CTreeView() = default;
    ~CTreeView() override = default;

    // The control behind the view's own window; valid while the window is.
    CTreeCtrl& GetTreeCtrl() const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // Speaks to the view's window through the control's operations. It never enters the handle
    // map, so it neither owns nor destroys the window.
    mutable CTreeCtrl m_treeAlias;
};
