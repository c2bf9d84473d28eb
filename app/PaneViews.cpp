// The outline's neutral background until it has content of its own.

#include "app/PaneViews.h"

IMPLEMENT_DYNCREATE(CNavigateView, CView)

namespace {
void fill(CWnd* pWnd, CDC* pDC, COLORREF color)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, color);
}
} // namespace

void CNavigateView::OnDraw(CDC* pDC) { fill(this, pDC, GetSysColor(COLOR_WINDOW)); }

