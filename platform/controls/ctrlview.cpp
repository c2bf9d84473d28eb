#include "platform/controls/ctrlview.h"

#include "platform/controls/ctlwnd.h"

IMPLEMENT_DYNCREATE(CTreeView, CView)

BEGIN_MESSAGE_MAP(CTreeView, CView)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CTreeCtrl& CTreeView::GetTreeCtrl() const
{
    m_treeAlias.m_hWnd = m_hWnd;
    return m_treeAlias;
}

BOOL CTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    PvRegisterStandardControls();
    cs.lpszClass = WC_TREEVIEW;
    return CView::PreCreateWindow(cs);
}

// The control paints itself; OnDraw only serves printing.
void CTreeView::OnPaint() { Default(); }

void CTreeView::OnDraw(CDC*) {}
