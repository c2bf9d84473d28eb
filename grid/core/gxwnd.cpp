// The grid window host.

#include "grid/core/gxwnd.h"

#include "grid/core/gxlibdata.h"
#include "grid/core/gxtemplatewnd.h"
#include "platform/base/exceptions.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/frame.h"
#include "platform/win/win.h"

namespace {

constexpr LPCTSTR kGridWndClass = "CGXGridWnd";
// Grown around the window rectangle for the sunken frame: the frame's bottom and right edges
// are a pixel wider than its top and left.
constexpr int kFrameNear = 2;
constexpr int kFrameFar = 3;

using GridWndClass = GXTemplateWndClass<CGXGridWnd>;

}  // namespace

const UINT gxFindReplaceMsg = ::RegisterWindowMessage("commdlg_FindReplace");

IMPLEMENT_DYNCREATE(CGXGridWnd, CWnd)

CGXGridWnd::CGXGridWnd() : CGXGridCore(nullptr, nullptr, FALSE) { SetGridWnd(this); }

CGXGridWnd::~CGXGridWnd() { GridWndClass::Forget(this); }

size_t CGXGridWnd::GetAutoDeleteCount() { return GridWndClass::Count(); }

void CGXGridWnd::PostNcDestroy()
{
    if (GridWndClass::ReleaseOnNcDestroy(this))
        delete this;
}

void GXRegisterGridWndClass(HINSTANCE hInstance) { GridWndClass::Register(hInstance, kGridWndClass); }

void GXUnregisterGridWndClass(HINSTANCE hInstance) { ::UnregisterClass(kGridWndClass, hInstance); }

BEGIN_MESSAGE_MAP(CGXGridWnd, CWnd)
    ON_WM_PAINT()
    PV_WM(WM_ERASEBKGND, _c.result = TRUE; return TRUE;)
    ON_WM_NCPAINT()
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
    ON_WM_WININICHANGE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
    ON_WM_TIMER()
    PV_WM(WM_CTLCOLOR, {
        HBRUSH h = _p->OnGridCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(_c.wParam)), PV_WND(_c.lParam), _c.nCode);
        _c.result = h ? reinterpret_cast<LRESULT>(h) : _p->Default();
        return TRUE;
    })
    PV_WM(WM_SETCURSOR, _c.result = _p->ToCoreOrDefault(_p->OnGridSetCursor(PV_WND(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam))); return TRUE;)
    PV_WM(WM_CANCELMODE, _p->OnGridCancelMode(); _c.result = _p->Default(); return TRUE;)
    PV_WM(WM_MOUSEACTIVATE, {
        const int n = _p->OnGridMouseActivate(PV_WND(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam));
        _c.result = n ? n : _p->Default();
        return TRUE;
    })
    GX_GRID_INPUT_ENTRIES()
    PV_WM(WM_LBUTTONDOWN, _p->TakeFocusForClick(); _c.result = _p->ToCoreOrDefault(_p->OnGridLButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    PV_WM(WM_MBUTTONDOWN, _p->TakeFocusForClick(); _c.result = _p->ToCoreOrDefault(_p->OnGridMButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    PV_WM(WM_RBUTTONDOWN, _p->TakeFocusForClick(); _c.result = _p->ToCoreOrDefault(_p->OnGridRButtonDown(UINT(_c.wParam), PV_PT(_c.lParam))); return TRUE;)
    ON_MESSAGE(WM_GX_RECORDNAV, OnRecordNav)
    ON_MESSAGE(WM_GX_VALIDATE, OnValidateMsg)
    ON_MESSAGE(WM_GX_QUERYCELL, OnQueryCellMsg)
    ON_MESSAGE(WM_GX_TABNAME, OnTabNameMsg)
    ON_MESSAGE(WM_GX_LOCKREDRAW, OnLockRedrawMsg)
    ON_REGISTERED_MESSAGE(gxFindReplaceMsg, OnFindReplaceMsg)
END_MESSAGE_MAP()

LRESULT CGXGridWnd::ToCoreOrDefault(BOOL bHandled) { return bHandled ? 0 : Default(); }

void CGXGridWnd::TakeFocusForClick()
{
    CWnd* pFocus = GetFocus();
    if (pFocus != this && !IsChild(pFocus))
        SetFocus();
}

LRESULT CGXGridWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnGridPluginMessage(message, wParam, lParam, result))
        return result;
    return CWnd::WindowProc(message, wParam, lParam);
}

CScrollBar* CGXGridWnd::GetScrollBarCtrl(int nBar) const
{
    if (CScrollBar* p = CGXGridCore::GetScrollBarCtrl(nBar))
        return p;
    return CWnd::GetScrollBarCtrl(nBar);
}

BOOL CGXGridWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return OnGridCommand(wParam, lParam) || CWnd::OnCommand(wParam, lParam);
}

BOOL CGXGridWnd::PreTranslateMessage(MSG* pMsg)
{
    if (IsInitialized() && IsWindowVisible() && OnGridPreTranslateMessage(pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

void CGXGridWnd::ShowScrollBar(int nBar, BOOL bShow)
{
    // A bar that a registered parent lends (a tab window's) stands in for one of the window's own.
    for (int n : {SB_HORZ, SB_VERT})
        if (nBar == n || nBar == SB_BOTH) {
            if (bShow && GXBorrowedScrollBar(this, n))
                continue;
            CWnd::ShowScrollBar(UINT(n), bShow);
        }
}

void CGXGridWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!IsInitialized())
        AfxThrowNotSupportedException();  // the host must call Initialize once the window exists
    PrepareDC(&dc);
    OnGridDraw(&dc);
}

void CGXGridWnd::OnNcPaint()
{
    Default();
    if (m_bDraw3dFrame)
        GXDrawSunkenFrameOnParent(this);
}

void GXDrawSunkenFrameOnParent(CWnd* pWnd)
{
    CWnd* pParent = pWnd ? pWnd->GetParent() : nullptr;
    if (!pParent)
        return;
    CRect rect;
    pWnd->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    rect.InflateRect(kFrameNear, kFrameNear, kFrameFar, kFrameFar);
    CClientDC dc(pParent);
    dc.DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
}

void CGXGridWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    OnGridSize(nType, cx, cy);
}

void CGXGridWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWnd::OnShowWindow(bShow, nStatus);
    OnGridShowWindow(bShow, nStatus);
}

void CGXGridWnd::OnDestroy()
{
    OnGridDestroy();
    CWnd::OnDestroy();
}

void CGXGridWnd::OnWinIniChange(LPCTSTR pszSection)
{
    OnGridWinIniChange(pszSection);
    CWnd::OnWinIniChange(pszSection);
}

void CGXGridWnd::OnSysColorChange()
{
    OnGridSysColorChange();
    CWnd::OnSysColorChange();
}

void CGXGridWnd::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    OnGridSetFocus(pOldWnd);
}

void CGXGridWnd::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    OnGridKillFocus(pNewWnd);
}

UINT CGXGridWnd::OnGetDlgCode() { return CWnd::OnGetDlgCode() | OnGridGetDlgCode(); }

void CGXGridWnd::OnTimer(UINT_PTR nIDEvent)
{
    OnGridTimer(nIDEvent);
    CWnd::OnTimer(nIDEvent);
}

LRESULT CGXGridWnd::OnRecordNav(WPARAM wParam, LPARAM lParam)
{
    SetFocus();
    return OnGridRecordNav(wParam, lParam);
}

LRESULT CGXGridWnd::OnValidateMsg(WPARAM wParam, LPARAM lParam) { return OnGridValidate(wParam, lParam); }
LRESULT CGXGridWnd::OnQueryCellMsg(WPARAM wParam, LPARAM lParam) { return OnGridQueryCell(wParam, lParam); }

LRESULT CGXGridWnd::OnTabNameMsg(WPARAM wParam, LPARAM lParam)
{
    OnGridTabName(wParam, lParam);
    return 0;
}

LRESULT CGXGridWnd::OnLockRedrawMsg(WPARAM wParam, LPARAM lParam)
{
    OnGridLockRedraw(wParam, lParam);
    return 0;
}

LRESULT CGXGridWnd::OnFindReplaceMsg(WPARAM wParam, LPARAM lParam) { return OnFindReplace(wParam, lParam); }
