// Neutral backgrounds until the panes have content of their own.

#include "app/PaneViews.h"

IMPLEMENT_DYNCREATE(CNavigateView, CView)
IMPLEMENT_DYNCREATE(CDaoqueryView, CView)
IMPLEMENT_DYNCREATE(CMediaView, CView)

namespace {
void fill(CWnd* pWnd, CDC* pDC, COLORREF color)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, color);
}
} // namespace

void CNavigateView::OnDraw(CDC* pDC) { fill(this, pDC, GetSysColor(COLOR_WINDOW)); }

// The directory pane is light grey until it shows a grid.
void CDaoqueryView::OnDraw(CDC* pDC) { fill(this, pDC, RGB(192, 192, 192)); }

void CMediaView::OnDraw(CDC* pDC) { fill(this, pDC, GetSysColor(COLOR_WINDOW)); }
