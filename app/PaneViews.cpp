// Neutral backgrounds until the panes have content of their own.

#include "app/PaneViews.h"

IMPLEMENT_DYNCREATE(CNavigateView, CView)
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

void CMediaView::OnDraw(CDC* pDC) { fill(this, pDC, GetSysColor(COLOR_WINDOW)); }
