// The HTML view: one browser control filling the view, its events turned into overridables.

#include "platform/html/htmlview.h"

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PV_CTLEVENT, OnControlEvent)
END_MESSAGE_MAP()

namespace {
const UINT kBrowserId = AFX_IDW_PANE_FIRST;
}

int CHtmlView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    PvRegisterBrowserControl();
    CRect rc;
    GetClientRect(&rc);
    if (!m_wndBrowser.CreateEx(0, PV_CLSID_WEBBROWSER, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, rc, this, kBrowserId))
        return -1;
    return 0;
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

BOOL CHtmlView::OnEraseBkgnd(CDC*) { return TRUE; }

void CHtmlView::OnDraw(CDC*) {}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR, LPVOID, DWORD)
{
    if (PvBrowser* b = GetBrowser())
        b->Navigate(lpszURL ? lpszURL : "");
}

void CHtmlView::GoBack()
{
    if (PvBrowser* b = GetBrowser())
        b->GoBack();
}

void CHtmlView::GoForward()
{
    if (PvBrowser* b = GetBrowser())
        b->GoForward();
}

void CHtmlView::ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT*, VARIANT*)
{
    if (PvBrowser* b = GetBrowser())
        b->ExecWB(cmdID, cmdexecopt);
}

LPDISPATCH CHtmlView::GetHtmlDocument() const
{
    PvBrowser* b = GetBrowser();
    return b ? b->GetDocument() : nullptr;
}

CString CHtmlView::GetLocationURL() const
{
    PvBrowser* b = GetBrowser();
    return b ? b->GetLocationURL() : CString();
}

CString CHtmlView::GetLocationName() const
{
    PvBrowser* b = GetBrowser();
    return b ? b->GetLocationName() : CString();
}

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL*) {}
void CHtmlView::OnNavigateComplete2(LPCTSTR) {}
void CHtmlView::OnDocumentComplete(LPCTSTR) {}
void CHtmlView::OnCommandStateChange(long, BOOL) {}
void CHtmlView::OnStatusTextChange(LPCTSTR) {}
void CHtmlView::OnTitleChange(LPCTSTR) {}

LRESULT CHtmlView::OnControlEvent(WPARAM, LPARAM lParam)
{
    auto* e = reinterpret_cast<PvControlEvent*>(lParam);
    if (!e)
        return 0;
    switch (e->dispid) {
    case DISPID_BEFORENAVIGATE2: {
        CByteArray posted;
        OnBeforeNavigate2(e->url, 0, nullptr, posted, nullptr, e->pCancel);
        break;
    }
    case DISPID_NAVIGATECOMPLETE2: OnNavigateComplete2(e->url); break;
    case DISPID_DOCUMENTCOMPLETE: OnDocumentComplete(e->url); break;
    case DISPID_COMMANDSTATECHANGE: OnCommandStateChange(e->nCommand, e->bEnable); break;
    case DISPID_STATUSTEXTCHANGE: OnStatusTextChange(e->url); break;
    case DISPID_TITLECHANGE: OnTitleChange(e->url); break;
    default: break;
    }
    return 0;
}
