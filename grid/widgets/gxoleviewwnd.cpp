#include "grid/widgets/gxoleviewwnd.h"

#include <algorithm>
#include <string>

#include "grid/widgets/gxbres.h"
#include "platform/controls/controls.h"
#include "platform/sys/system.h"

namespace {

// Dialog units: the icon's column on the left, three lines of text, Close at the bottom right.
const PvDialogItemTemplate kItems[] = {
    {"STATIC", "", CGXObjectViewerWnd::kTypeNameId, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 36, 7, 150, 9},
    {"STATIC", "", CGXObjectViewerWnd::kProgIdId, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 36, 19, 150, 9},
    {"STATIC", "", CGXObjectViewerWnd::kSizeId, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 36, 31, 150, 9},
    {"BUTTON", "Close", CGXObjectViewerWnd::kCloseId, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 136, 46, 50, 14},
};
// Hidden until it is placed; a tool window with a caption and a close box.
const PvDialogTemplate kTemplate = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, 0, 0, 193, 67, "Object", nullptr, 0,
    kItems, sizeof kItems / sizeof kItems[0],
};

// The window's place: at the point asked for, moved back onto the screen.
CPoint OnScreen(CPoint pt, CSize size)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    pt.x = std::max(0, std::min<int>(pt.x, cx - size.cx));
    pt.y = std::max(0, std::min<int>(pt.y, cy - size.cy));
    return pt;
}

}  // namespace

CString CGXObjectViewerWnd::SizeText(size_t nBytes)
{
    return ("Object data: " + std::to_string(nBytes) + (nBytes == 1 ? " byte" : " bytes")).c_str();
}

BOOL CGXObjectViewerWnd::Open(CWnd* pOwner, const GXObjectBlock& object, CPoint ptScreen, Listener* pListener)
{
    m_pListener = pListener;
    if (!m_hWnd) {
        m_hOwner = pOwner ? pOwner->GetSafeHwnd() : nullptr;
        PvRegisterStandardControls();  // the template makes its items by class name
        if (!CreateIndirect(&kTemplate, pOwner))
            return FALSE;
        CRect rc;
        GetWindowRect(&rc);
        const CPoint pt = OnScreen(ptScreen, rc.Size());
        SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Fill(object);
    BringForward();
    return TRUE;
}

void CGXObjectViewerWnd::Fill(const GXObjectBlock& object)
{
    SetWindowText(object.typeName.empty() ? "Object" : object.typeName.c_str());
    SetDlgItemText(kTypeNameId, object.typeName.c_str());
    SetDlgItemText(kProgIdId, ("ProgID: " + object.progId).c_str());
    SetDlgItemText(kSizeId, SizeText(object.data.size()));
}

void CGXObjectViewerWnd::BringForward()
{
    if (!m_hWnd)
        return;
    ShowWindow(SW_SHOW);
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PostMessage(WM_GX_VIEWER_TAKEFOCUS);
}

void CGXObjectViewerWnd::Shut()
{
    if (!m_hWnd || m_bDestroying)
        return;
    const HWND hFocus = ::GetFocus();
    const BOOL bHadFocus = hFocus && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
    m_bDestroying = TRUE;
    DestroyWindow();
    m_bDestroying = FALSE;
    if (bHadFocus && m_hOwner && ::IsWindow(m_hOwner))
        ::SetFocus(m_hOwner);
}

CString CGXObjectViewerWnd::GetItemText(UINT nID) const
{
    if (!m_hWnd)
        return CString();
    char sz[256] = {};
    ::GetDlgItemText(m_hWnd, int(nID), sz, int(sizeof sz));
    return sz;
}

void CGXObjectViewerWnd::OnCancel()
{
    if (m_pListener)
        m_pListener->OnViewerWndClose();
    else
        Shut();
}

void CGXObjectViewerWnd::PaintIcon(CDC& dc)
{
    if (!m_icon.GetSafeHandle())
        GXBLoadSysColorMappedBitmap(m_icon, GXB_IDB_OBJECT);
    CDC dcIcon;
    if (!m_icon.GetSafeHandle() || !dcIcon.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = dcIcon.SelectObject(&m_icon);
    dc.BitBlt(kIconLeft, kIconTop, kIconSize, kIconSize, &dcIcon, 0, 0, SRCCOPY);
    dcIcon.SelectObject(pOld);
}

LRESULT CGXObjectViewerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GX_VIEWER_TAKEFOCUS:
        if (IsWindowVisible())
            GotoDlgCtrl(GetDlgItem(kCloseId));
        return 0;
    case WM_PAINT: {
        CPaintDC dc(this);
        PaintIcon(dc);
        return 0;
    }
    case WM_DESTROY:
        // Destroyed with its owner: the object closes as if the user had closed it.
        if (!m_bDestroying && m_pListener) {
            m_bDestroying = TRUE;
            m_pListener->OnViewerWndClose();
            m_bDestroying = FALSE;
        }
        break;
    default: break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
