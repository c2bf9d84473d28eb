// The splash window deletes itself when its window goes; the static pointer follows it.

#include "app/Splash.h"

#include "platform/ui/winapp.h"
#include "resources/frame_ids.h"

#include <cstdint>

BOOL CSplashWindow::c_bShowSplashWnd = FALSE;
CSplashWindow* CSplashWindow::c_pSplashWnd = nullptr;

BEGIN_MESSAGE_MAP(CSplashWindow, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWindow::~CSplashWindow()
{
    if (c_pSplashWnd == this) c_pSplashWnd = nullptr;
}

void CSplashWindow::EnableSplash(BOOL bEnable) { c_bShowSplashWnd = bEnable; }

void CSplashWindow::ShowSplash(CWnd* pParentWnd)
{
    if (!c_bShowSplashWnd || c_pSplashWnd) return;
    CSplashWindow* p = new CSplashWindow;
    c_pSplashWnd = p;
    if (!p->CreateSplash(pParentWnd)) {
        // A window that was made and then failed has deleted the object with it (and cleared
        // the pointer); before any window exists the object is still ours.
        if (c_pSplashWnd == p) {
            c_pSplashWnd = nullptr;
            delete p;
        }
        return;
    }
    p->UpdateWindow();
}

BOOL CSplashWindow::FilterAppMessage(MSG* pMsg)
{
    if (!c_pSplashWnd || !pMsg) return FALSE;
    switch (pMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        c_pSplashWnd->HideSplashScreen();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CSplashWindow::CreateSplash(CWnd* pParentWnd)
{
    if (!m_bitmap.LoadBitmap(IDB_SPLASH)) return FALSE;
    BITMAP bm {};
    m_bitmap.GetBitmap(&bm);
    static LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    return CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, bm.bmWidth, bm.bmHeight,
                    pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, nullptr, nullptr);
}

void CSplashWindow::HideSplashScreen()
{
    DestroyWindow();  // deletes this object
    if (CWnd* pMain = AfxGetMainWnd(); pMain && pMain->m_hWnd) pMain->UpdateWindow();
}

void CSplashWindow::PostNcDestroy() { delete this; }

int CSplashWindow::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
    CenterWindow();
    SetTimer(1, 750, nullptr);
    return 0;
}

void CSplashWindow::OnPaint()
{
    CPaintDC dc(this);
    CDC dcImage;
    if (!dcImage.CreateCompatibleDC(&dc)) return;
    BITMAP bm {};
    m_bitmap.GetBitmap(&bm);
    CBitmap* pOldBitmap = dcImage.SelectObject(&m_bitmap);
    dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
    dcImage.SelectObject(pOldBitmap);
}

void CSplashWindow::OnTimer(UINT_PTR) { HideSplashScreen(); }
