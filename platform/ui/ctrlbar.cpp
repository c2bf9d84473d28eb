// Control bars: common behaviour, the toolbar, the status bar and the dialog bar.

#include "platform/ui/ctrlbar.h"

#include "platform/base/stringtable.h"
#include "platform/sys/system.h"
#include "platform/ui/frame.h"
#include "platform/ui/resources.h"

#include <algorithm>
#include <cstdint>

namespace {
HFONT uiFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int uiTextHeight()
{
    static int h = 0;
    if (!h) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
        TEXTMETRIC tm {};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        h = std::max<int>(int(tm.tmHeight), 12);
    }
    return h;
}

LPCTSTR barClass()
{
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
    return cls;
}

// The tip text of a command: the part of its string after the first '\n'.
CString tipText(UINT nID)
{
    CString s;
    if (!AfxLoadStringResource(nID, s)) return CString();
    int nl = s.Find('\n');
    return nl >= 0 ? s.Mid(nl + 1) : CString();
}

PvIconDrawer g_iconDrawer = nullptr;

const UINT_PTR kTipTimer = 0xE0F1;
const UINT_PTR kLeaveTimer = 0xE0F2;
} // namespace

void PvSetIconDrawer(PvIconDrawer drawer) { g_iconDrawer = drawer; }

BOOL PvDrawIcon(CDC* pDC, HICON hIcon, int x, int y, int cx, int cy)
{
    return (g_iconDrawer && hIcon && pDC) ? g_iconDrawer(pDC, hIcon, x, y, cx, cy) : FALSE;
}

// ---- CControlBar ----
IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CControlBar::~CControlBar()
{
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    if (m_hWnd) DestroyWindow();
}

BOOL CControlBar::CreateBar(LPCTSTR cls, DWORD dwStyle, CWnd* pParent, UINT nID, LPCTSTR name)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD ws = (dwStyle & ~DWORD(CBRS_ALL)) | WS_CHILD | WS_CLIPSIBLINGS;
    if (!CWnd::CreateEx(0, cls ? cls : barClass(), name, ws, CRect(0, 0, 0, 0), pParent, nID)) return FALSE;
    CWnd* p = pParent;
    while (p && !p->IsKindOf(RUNTIME_CLASS(CFrameWnd))) p = p->GetParent();
    if (p) static_cast<CFrameWnd*>(p)->AddControlBar(this);
    return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_hWnd) Invalidate();
}

void CControlBar::SetBorders(int l, int t, int r, int b)
{
    m_cxLeftBorder = l;
    m_cyTopBorder = t;
    m_cxRightBorder = r;
    m_cyBottomBorder = b;
}

void CControlBar::OnDestroy()
{
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    CWnd::OnDestroy();
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

int CControlBar::OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, sh);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, hi);
        rect.top += 2;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, sh);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, hi);
        rect.bottom -= 2;
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
    if (!(m_dwStyle & CBRS_GRIPPER)) return;
    CRect g(rect.left + 2, rect.top + 2, rect.left + 5, rect.bottom - 2);
    pDC->Draw3dRect(&g, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND ctl = reinterpret_cast<HWND>(lParam);
    if (ctl && ReflectLastMsg(ctl)) return TRUE;
    // Commands from the bar's buttons and controls are the frame's.
    CWnd* owner = m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetOwner();
    if (owner && owner->m_hWnd) return BOOL(owner->SendMessage(WM_COMMAND, wParam, lParam) != 0) || TRUE;
    return FALSE;
}

BOOL CControlBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult)) return TRUE;
    CWnd* owner = m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetOwner();
    if (owner && owner->m_hWnd) {
        LRESULT r = owner->SendMessage(WM_NOTIFY, wParam, lParam);
        if (pResult) *pResult = r;
        return TRUE;
    }
    return FALSE;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!IsWindowVisible()) return 0;
    CFrameWnd* target = m_pDockSite ? m_pDockSite : GetParentFrame();
    if (target) OnUpdateCmdUI(target, BOOL(wParam));
    return 0;
}

// ---- CToolBar ----
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_CAPTURECHANGED()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CToolBar::CToolBar() { m_cyTopBorder = m_cyBottomBorder = 3; }
CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParent, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParent, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParent, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    m_dwCtrlStyle = dwCtrlStyle;
    if (rcBorders.left || rcBorders.top || rcBorders.right || rcBorders.bottom)
        SetBorders(rcBorders.left, rcBorders.top, rcBorders.right, rcBorders.bottom);
    return CreateBar(nullptr, dwStyle, pParent, nID);
}

BOOL CToolBar::LoadToolBar(LPCTSTR name) { return LoadToolBar(PvResourceId(name)); }

BOOL CToolBar::LoadToolBar(UINT nID)
{
    const PvToolBarTemplate* t = PvFindToolBarTemplate(nID);
    if (!t || !t->pIDs) return FALSE;
    if (!SetButtons(t->pIDs, int(t->nCount))) return FALSE;
    if (t->cxImage > 0 && t->cyImage > 0) SetSizes(CSize(t->cxImage + 7, t->cyImage + 7), CSize(t->cxImage, t->cyImage));
    LoadBitmap(nID); // a toolbar may get its images from image lists instead
    return TRUE;
}

BOOL CToolBar::LoadBitmap(UINT nID)
{
    CBitmap bm;
    if (!bm.LoadBitmap(nID)) return FALSE;
    return SetBitmap(reinterpret_cast<HBITMAP>(bm.Detach()));
}

BOOL CToolBar::SetBitmap(HBITMAP h)
{
    if (m_bHaveBitmap) m_bitmap.DeleteObject();
    m_bHaveBitmap = FALSE;
    if (!h) return FALSE;
    m_bitmap.Attach(h);
    m_bHaveBitmap = TRUE;
    if (m_hWnd) Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int n)
{
    if (n < 0 || (n > 0 && !ids)) return FALSE;
    m_buttons.clear();
    int image = 0;
    for (int i = 0; i < n; ++i) {
        Button b;
        b.nID = ids[i];
        if (b.nID == ID_SEPARATOR) {
            b.nStyle = TBBS_SEPARATOR;
        } else {
            b.iImage = image++;
        }
        m_buttons.push_back(b);
    }
    m_nCount = n;
    if (m_hWnd) Invalidate();
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_pDockSite) m_pDockSite->RecalcLayout();
}

int CToolBar::CommandToIndex(UINT nID) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].nID == nID) return int(i);
    return -1;
}

UINT CToolBar::GetItemID(int i) const
{
    return (i >= 0 && size_t(i) < m_buttons.size()) ? m_buttons[size_t(i)].nID : 0;
}

CRect CToolBar::ButtonRect(int i) const
{
    int x = m_cxLeftBorder + ((m_dwStyle & CBRS_GRIPPER) ? 6 : 0);
    int y = m_cyTopBorder + ((m_dwStyle & CBRS_BORDER_TOP) ? 2 : 0);
    for (int k = 0; k < int(m_buttons.size()); ++k) {
        int w = (m_buttons[size_t(k)].nStyle & TBBS_SEPARATOR) ? 8 : m_sizeButton.cx;
        if (m_buttons[size_t(k)].nStyle & TBBS_HIDDEN) w = 0;
        if (k == i) return CRect(x, y, x + w, y + m_sizeButton.cy);
        x += w;
    }
    return CRect();
}

void CToolBar::GetItemRect(int i, LPRECT r) const
{
    if (r) *r = ButtonRect(i);
}

int CToolBar::HitTest(CPoint pt) const
{
    for (int i = 0; i < int(m_buttons.size()); ++i)
        if (!(m_buttons[size_t(i)].nStyle & (TBBS_SEPARATOR | TBBS_HIDDEN)) && ButtonRect(i).PtInRect(pt)) return i;
    return -1;
}

UINT CToolBar::GetButtonStyle(int i) const
{
    return (i >= 0 && size_t(i) < m_buttons.size()) ? m_buttons[size_t(i)].nStyle : 0;
}

void CToolBar::SetButtonStyle(int i, UINT nStyle)
{
    if (i < 0 || size_t(i) >= m_buttons.size()) return;
    if (m_buttons[size_t(i)].nStyle == nStyle) return;
    m_buttons[size_t(i)].nStyle = nStyle;
    if (m_hWnd) InvalidateRect(ButtonRect(i));
}

void CToolBar::GetButtonInfo(int i, UINT& nID, UINT& nStyle, int& iImage) const
{
    if (i < 0 || size_t(i) >= m_buttons.size()) {
        nID = 0;
        nStyle = 0;
        iImage = -1;
        return;
    }
    const Button& b = m_buttons[size_t(i)];
    nID = b.nID;
    nStyle = b.nStyle;
    iImage = b.iImage;
}

void CToolBar::SetButtonInfo(int i, UINT nID, UINT nStyle, int iImage)
{
    if (i < 0 || size_t(i) >= m_buttons.size()) return;
    Button& b = m_buttons[size_t(i)];
    b.nID = nID;
    b.nStyle = nStyle;
    b.iImage = iImage;
    if (m_hWnd) Invalidate();
}

BOOL CToolBar::SetButtonText(int i, LPCTSTR s)
{
    if (i < 0 || size_t(i) >= m_buttons.size()) return FALSE;
    m_buttons[size_t(i)].text = s ? s : "";
    if (m_hWnd) Invalidate();
    return TRUE;
}

CString CToolBar::GetButtonText(int i) const
{
    return (i >= 0 && size_t(i) < m_buttons.size()) ? CString(m_buttons[size_t(i)].text.c_str()) : CString();
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    int h = std::max<int>(m_cyHeight, m_sizeButton.cy + m_cyTopBorder + m_cyBottomBorder);
    if (m_dwStyle & CBRS_BORDER_TOP) h += 2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) h += 2;
    int w = m_cxLeftBorder + m_cxRightBorder + ((m_dwStyle & CBRS_GRIPPER) ? 6 : 0);
    for (const Button& b : m_buttons) w += (b.nStyle & TBBS_SEPARATOR) ? 8 : m_sizeButton.cx;
    if (bStretch && m_pDockSite && bHorz) {
        CRect rc;
        m_pDockSite->GetClientRect(&rc);
        w = std::max<int>(w, rc.Width());
    }
    return bHorz ? CSize(w, h) : CSize(h, w);
}

namespace {
// The state of one toolbar button for its update handler.
class CToolCmdUI : public CCmdUI {
public:
    CToolBar* bar = nullptr;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT s = bar->GetButtonStyle(int(m_nIndex));
        UINT n = bOn ? (s & ~UINT(TBBS_DISABLED)) : (s | TBBS_DISABLED);
        if (!bOn) n &= ~UINT(TBBS_PRESSED);
        bar->SetButtonStyle(int(m_nIndex), n);
    }
    void SetCheck(int nCheck) override
    {
        UINT s = bar->GetButtonStyle(int(m_nIndex)) & ~UINT(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1) s |= TBBS_CHECKED;
        else if (nCheck == 2) s |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(int(m_nIndex), s | TBBS_CHECKBOX);
    }
    void SetText(LPCTSTR) override {}
};
} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.bar = this;
    state.m_pOther = this;
    state.m_nIndexMax = UINT(m_buttons.size());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        const Button& b = m_buttons[state.m_nIndex];
        if (b.nStyle & TBBS_SEPARATOR) continue;
        state.m_nID = b.nID;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CToolBar::DrawImage(CDC* pDC, int iImage, CPoint pt, BOOL bDisabled)
{
    if (iImage < 0) return;
    if (bDisabled && m_drawDisabledImage) {
        m_drawDisabledImage(pDC, iImage, pt);
        return;
    }
    if (m_drawImage && !bDisabled) {
        m_drawImage(pDC, iImage, pt);
        return;
    }
    // From the image well, or a greyed copy of it for a disabled button.
    CDC mem;
    if (!mem.CreateCompatibleDC(pDC)) return;
    CBitmap tmp;
    bool haveWell = m_bHaveBitmap;
    CBitmap* old = nullptr;
    if (haveWell) {
        old = mem.SelectObject(&m_bitmap);
    } else if (m_drawImage) {
        tmp.CreateCompatibleBitmap(pDC, m_sizeImage.cx, m_sizeImage.cy);
        old = mem.SelectObject(&tmp);
        mem.FillSolidRect(0, 0, m_sizeImage.cx, m_sizeImage.cy, GetSysColor(COLOR_BTNFACE));
        m_drawImage(&mem, iImage, CPoint(0, 0));
        iImage = 0;
    } else {
        return;
    }
    int sx = iImage * m_sizeImage.cx;
    if (!bDisabled) {
        pDC->BitBlt(pt.x, pt.y, m_sizeImage.cx, m_sizeImage.cy, &mem, sx, 0, SRCCOPY);
    } else {
        // Embossed: every pixel darker than the face becomes a shadow with a highlight below right.
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        int faceLum = GetRValue(face) + GetGValue(face) + GetBValue(face);
        for (int y = 0; y < m_sizeImage.cy; ++y)
            for (int x = 0; x < m_sizeImage.cx; ++x) {
                COLORREF c = mem.GetPixel(sx + x, y);
                int lum = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (c == CLR_INVALID || lum >= faceLum - 60 || c == RGB(192, 192, 192) || c == RGB(255, 0, 255)) continue;
                pDC->SetPixelV(pt.x + x + 1, pt.y + y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
            }
        for (int y = 0; y < m_sizeImage.cy; ++y)
            for (int x = 0; x < m_sizeImage.cx; ++x) {
                COLORREF c = mem.GetPixel(sx + x, y);
                int lum = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (c == CLR_INVALID || lum >= faceLum - 60 || c == RGB(192, 192, 192) || c == RGB(255, 0, 255)) continue;
                pDC->SetPixelV(pt.x + x, pt.y + y, GetSysColor(COLOR_BTNSHADOW));
            }
    }
    mem.SelectObject(old);
}

void CToolBar::DrawButton(CDC* pDC, int i, const CRect& rc)
{
    const Button& b = m_buttons[size_t(i)];
    if (b.nStyle & TBBS_HIDDEN) return;
    if (b.nStyle & TBBS_SEPARATOR) {
        if (m_dwCtrlStyle & TBSTYLE_FLAT) {
            int x = rc.left + rc.Width() / 2 - 1;
            pDC->FillSolidRect(x, rc.top + 1, 1, rc.Height() - 2, GetSysColor(COLOR_BTNSHADOW));
            pDC->FillSolidRect(x + 1, rc.top + 1, 1, rc.Height() - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        return;
    }
    bool disabled = b.nStyle & TBBS_DISABLED;
    bool down = (b.nStyle & (TBBS_PRESSED | TBBS_CHECKED)) || (m_nPressed == i && m_nHot == i);
    bool hot = m_nHot == i && !disabled;
    bool flat = m_dwCtrlStyle & TBSTYLE_FLAT;
    CRect r = rc;
    if (b.nStyle & TBBS_CHECKED && !(m_nPressed == i)) {
        // A checked button shows a lighter, dithered face.
        CRect in = r;
        in.DeflateRect(1, 1);
        pDC->FillSolidRect(&in, RGB(230, 230, 230));
    }
    if (down) pDC->Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (hot || !flat) pDC->Draw3dRect(&r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    CPoint pt(r.left + (r.Width() - m_sizeImage.cx) / 2, r.top + (r.Height() - m_sizeImage.cy) / 2);
    if (down) pt.Offset(1, 1);
    DrawImage(pDC, b.iImage, pt, disabled);
}

void CToolBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    DrawBorders(&dc, rc);
    DrawGripper(&dc, rc);
    for (int i = 0; i < int(m_buttons.size()); ++i) DrawButton(&dc, i, ButtonRect(i));
}

void CToolBar::SetHot(int i)
{
    if (m_nHot == i) return;
    if (m_nHot >= 0) InvalidateRect(ButtonRect(m_nHot));
    m_nHot = i;
    if (m_nHot >= 0) InvalidateRect(ButtonRect(m_nHot));
}

void CToolBar::OnMouseMove(UINT, CPoint pt)
{
    int i = HitTest(pt);
    if (m_nPressed >= 0) {
        SetHot(i == m_nPressed ? i : -1);
        return;
    }
    if (i >= 0 && (m_buttons[size_t(i)].nStyle & TBBS_DISABLED) && !(m_dwStyle & CBRS_FLYBY)) i = -1;
    if (i != m_nHot) {
        ShowTip(FALSE);
        SetHot(i);
        m_nTipButton = i;
        if (i >= 0) {
            if (m_dwStyle & CBRS_TOOLTIPS) SetTimer(kTipTimer, 600, nullptr);
            if ((m_dwStyle & CBRS_FLYBY) && m_pDockSite) m_pDockSite->SetMessageText(m_buttons[size_t(i)].nID);
            SetTimer(kLeaveTimer, 100, nullptr);
        } else if ((m_dwStyle & CBRS_FLYBY) && m_pDockSite) {
            m_pDockSite->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        }
    }
}

void CToolBar::OnTimer(UINT_PTR id)
{
    if (id == kTipTimer) {
        KillTimer(kTipTimer);
        if (m_nTipButton >= 0 && m_nTipButton == m_nHot) ShowTip(TRUE);
        return;
    }
    if (id == kLeaveTimer) {
        // The pointer left the bar: no mouse message says so.
        POINT p;
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        CRect rc;
        GetClientRect(&rc);
        if (!rc.PtInRect(p) && m_nPressed < 0) {
            KillTimer(kLeaveTimer);
            KillTimer(kTipTimer);
            ShowTip(FALSE);
            SetHot(-1);
            m_nTipButton = -1;
            if ((m_dwStyle & CBRS_FLYBY) && m_pDockSite) m_pDockSite->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        }
        return;
    }
    CControlBar::OnTimer(id);
}

namespace {
LRESULT tipProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        CDC* dc = CDC::FromHandle(BeginPaint(h, &ps));
        if (dc) {
            CRect rc;
            GetClientRect(h, &rc);
            dc->FillSolidRect(&rc, GetSysColor(COLOR_INFOBK));
            dc->Draw3dRect(&rc, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
            HGDIOBJ of = dc->SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(GetSysColor(COLOR_INFOTEXT));
            char buf[256];
            int n = GetWindowText(h, buf, sizeof buf);
            dc->DrawText(buf, n, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            dc->SelectObject(of);
        }
        EndPaint(h, &ps);
        return 0;
    }
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProc(h, msg, wp, lp);
}
} // namespace

namespace {
// A tip window under the bar item whose screen rectangle is rcItem; null when the command has
// no tip text.
HWND createTip(CWnd* pBar, UINT nID, const CRect& rcItem)
{
    CString text = tipText(nID);
    if (text.IsEmpty()) return nullptr;
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASS wc {};
        wc.lpfnWndProc = &tipProc;
        wc.lpszClassName = "PvToolTip";
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        RegisterClass(&wc);
    }
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ of = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    CSize sz = dc.GetTextExtent(text);
    dc.SelectObject(of);
    // Below the pointer's usual height, so the tip does not cover what it explains.
    const int kBelowPointer = 18;
    HWND h = ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "PvToolTip", text, WS_POPUP, rcItem.left,
                              rcItem.bottom + kBelowPointer, sz.cx + 8, sz.cy + 4, pBar->GetTopLevelParent()->m_hWnd,
                              nullptr, nullptr, nullptr);
    if (h) ::ShowWindow(h, SW_SHOWNOACTIVATE);
    return h;
}
} // namespace

void CToolBar::ShowTip(BOOL bShow)
{
    if (m_hWndTip) {
        ::DestroyWindow(m_hWndTip);
        m_hWndTip = nullptr;
    }
    if (!bShow || m_nTipButton < 0 || size_t(m_nTipButton) >= m_buttons.size()) return;
    CRect br = ButtonRect(m_nTipButton);
    ClientToScreen(&br);
    m_hWndTip = createTip(this, m_buttons[size_t(m_nTipButton)].nID, br);
}

void CToolBar::OnLButtonDown(UINT, CPoint pt)
{
    ShowTip(FALSE);
    KillTimer(kTipTimer);
    int i = HitTest(pt);
    if (i < 0 || (m_buttons[size_t(i)].nStyle & TBBS_DISABLED)) return;
    m_nPressed = i;
    m_nHot = i;
    SetCapture();
    InvalidateRect(ButtonRect(i));
    UpdateWindow();
}

void CToolBar::OnLButtonUp(UINT, CPoint pt)
{
    int i = m_nPressed;
    if (i < 0) return;
    m_nPressed = -1;
    if (CWnd::GetCapture() == this) ::ReleaseCapture();
    InvalidateRect(ButtonRect(i));
    if (HitTest(pt) != i || (m_buttons[size_t(i)].nStyle & TBBS_DISABLED)) return;
    UINT id = m_buttons[size_t(i)].nID;
    CWnd* owner = m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetOwner();
    if (owner && owner->m_hWnd) owner->PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void CToolBar::OnCaptureChanged(CWnd*)
{
    if (m_nPressed >= 0) {
        InvalidateRect(ButtonRect(m_nPressed));
        m_nPressed = -1;
    }
}

void CToolBar::OnDestroy()
{
    ShowTip(FALSE);
    CControlBar::OnDestroy();
}

// ---- CToolBarCtrl ----
BOOL CToolBarCtrl::EnableButton(int nID, BOOL bEnable)
{
    int i = m_pBar->CommandToIndex(UINT(nID));
    if (i < 0) return FALSE;
    UINT s = m_pBar->GetButtonStyle(i);
    m_pBar->SetButtonStyle(i, bEnable ? (s & ~UINT(TBBS_DISABLED)) : (s | TBBS_DISABLED));
    return TRUE;
}

BOOL CToolBarCtrl::CheckButton(int nID, BOOL bCheck)
{
    int i = m_pBar->CommandToIndex(UINT(nID));
    if (i < 0) return FALSE;
    UINT s = m_pBar->GetButtonStyle(i);
    m_pBar->SetButtonStyle(i, bCheck ? (s | TBBS_CHECKED) : (s & ~UINT(TBBS_CHECKED)));
    return TRUE;
}

BOOL CToolBarCtrl::IsButtonEnabled(int nID) const
{
    int i = m_pBar->CommandToIndex(UINT(nID));
    return i >= 0 && !(m_pBar->GetButtonStyle(i) & TBBS_DISABLED);
}

BOOL CToolBarCtrl::IsButtonChecked(int nID) const
{
    int i = m_pBar->CommandToIndex(UINT(nID));
    return i >= 0 && (m_pBar->GetButtonStyle(i) & TBBS_CHECKED);
}

int CToolBarCtrl::GetButtonCount() const { return int(m_pBar->m_buttons.size()); }
BOOL CToolBarCtrl::GetItemRect(int i, LPRECT r) const
{
    if (i < 0 || i >= GetButtonCount() || !r) return FALSE;
    *r = m_pBar->ButtonRect(i);
    return TRUE;
}
BOOL CToolBarCtrl::SetButtonSize(CSize s)
{
    m_pBar->SetSizes(s, m_pBar->m_sizeImage);
    return TRUE;
}
BOOL CToolBarCtrl::SetBitmapSize(CSize s)
{
    m_pBar->SetSizes(m_pBar->m_sizeButton, s);
    return TRUE;
}
DWORD CToolBarCtrl::GetStyle() const { return m_pBar->m_dwCtrlStyle; }
void CToolBarCtrl::SetStyle(DWORD s)
{
    m_pBar->m_dwCtrlStyle = s;
    if (m_pBar->m_hWnd) m_pBar->Invalidate();
}

// ---- CStatusBar ----
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

CStatusBar::CStatusBar() { m_cxLeftBorder = 0; m_cyTopBorder = 2; m_cyBottomBorder = 0; }
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParent, DWORD dwStyle, UINT nID) { return CreateEx(pParent, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParent, DWORD, DWORD dwStyle, UINT nID)
{
    return CreateBar(nullptr, dwStyle, pParent, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int n)
{
    if (n < 0 || (n > 0 && !ids)) return FALSE;
    m_panes.assign(size_t(n), Pane {});
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ of = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    BOOL ok = TRUE;
    for (int i = 0; i < n; ++i) {
        Pane& p = m_panes[size_t(i)];
        p.nID = ids[i];
        if (p.nID == ID_SEPARATOR) {
            p.nStyle = (i == 0) ? (SBPS_STRETCH | SBPS_NOBORDERS) : SBPS_NORMAL;
            p.cxText = (i == 0) ? 1 : 100;
        } else {
            CString s;
            if (!AfxLoadStringResource(p.nID, s)) ok = FALSE;
            p.text = s;
            p.cxText = dc.GetTextExtent(s).cx;
        }
    }
    dc.SelectObject(of);
    m_nCount = n;
    if (m_hWnd) Invalidate();
    return ok;
}

int CStatusBar::CommandToIndex(UINT nID) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nID) return int(i);
    return -1;
}

UINT CStatusBar::GetItemID(int i) const
{
    return (i >= 0 && size_t(i) < m_panes.size()) ? m_panes[size_t(i)].nID : 0;
}

void CStatusBar::GetPaneInfo(int i, UINT& nID, UINT& nStyle, int& cx) const
{
    if (i < 0 || size_t(i) >= m_panes.size()) {
        nID = nStyle = 0;
        cx = 0;
        return;
    }
    nID = m_panes[size_t(i)].nID;
    nStyle = m_panes[size_t(i)].nStyle;
    cx = m_panes[size_t(i)].cxText;
}

void CStatusBar::SetPaneInfo(int i, UINT nID, UINT nStyle, int cx)
{
    if (i < 0 || size_t(i) >= m_panes.size()) return;
    Pane& p = m_panes[size_t(i)];
    p.nID = nID;
    p.nStyle = nStyle;
    p.cxText = std::max(0, cx);
    if (m_hWnd) Invalidate();
}

UINT CStatusBar::GetPaneStyle(int i) const
{
    return (i >= 0 && size_t(i) < m_panes.size()) ? m_panes[size_t(i)].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int i, UINT nStyle)
{
    if (i < 0 || size_t(i) >= m_panes.size() || m_panes[size_t(i)].nStyle == nStyle) return;
    m_panes[size_t(i)].nStyle = nStyle;
    if (m_hWnd) Invalidate();
}

CString CStatusBar::GetPaneText(int i) const
{
    return (i >= 0 && size_t(i) < m_panes.size()) ? m_panes[size_t(i)].text : CString();
}

BOOL CStatusBar::SetPaneText(int i, LPCTSTR s, BOOL bUpdate)
{
    if (i < 0 || size_t(i) >= m_panes.size()) return FALSE;
    CString t = s ? s : "";
    if (m_panes[size_t(i)].text == t) return TRUE;
    m_panes[size_t(i)].text = t;
    if (bUpdate && m_hWnd) {
        std::vector<CRect> r = PaneRects();
        InvalidateRect(&r[size_t(i)]);
    }
    return TRUE;
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window text is the message pane's.
    int i = CommandToIndex(ID_SEPARATOR);
    if (i < 0) return FALSE;
    return SetPaneText(i, reinterpret_cast<LPCTSTR>(lParam));
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int i = CommandToIndex(ID_SEPARATOR);
    CString t = i >= 0 ? GetPaneText(i) : CString();
    char* buf = reinterpret_cast<char*>(lParam);
    int cch = int(wParam);
    if (!buf || cch <= 0) return 0;
    int n = std::min(t.GetLength(), cch - 1);
    for (int k = 0; k < n; ++k) buf[k] = t[k];
    buf[n] = 0;
    return n;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int i = CommandToIndex(ID_SEPARATOR);
    return i >= 0 ? GetPaneText(i).GetLength() : 0;
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    int h = uiTextHeight() + 8 + m_cyTopBorder + m_cyBottomBorder;
    int w = 0;
    if (m_pDockSite) {
        CRect rc;
        m_pDockSite->GetClientRect(&rc);
        w = rc.Width();
    }
    return bHorz ? CSize(w, h) : CSize(h, w);
}

std::vector<CRect> CStatusBar::PaneRects() const
{
    std::vector<CRect> r(m_panes.size());
    CRect rc;
    if (m_hWnd) ::GetClientRect(m_hWnd, &rc);
    int top = rc.top + m_cyTopBorder + 1, bottom = rc.bottom - m_cyBottomBorder - 1;
    const int gap = 2, pad = 8;
    int grip = (m_pDockSite && !m_pDockSite->IsZoomed()) ? 14 : 0;
    int fixed = 0, stretch = 0;
    for (const Pane& p : m_panes) {
        if (p.nStyle & SBPS_STRETCH) ++stretch;
        else fixed += p.cxText + pad + gap;
    }
    int avail = rc.Width() - fixed - grip - gap;
    int extra = stretch ? std::max(0, avail) / stretch : 0;
    int x = rc.left + gap;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& p = m_panes[i];
        int w = (p.nStyle & SBPS_STRETCH) ? std::max<int>(extra - gap, p.cxText) : p.cxText + pad;
        r[i] = CRect(x, top, x + w, bottom);
        x += w + gap;
    }
    return r;
}

void CStatusBar::GetItemRect(int i, LPRECT r) const
{
    const std::vector<CRect> panes = PaneRects();
    *r = i >= 0 && size_t(i) < panes.size() ? panes[size_t(i)] : CRect();
}

void CStatusBar::OnSize(UINT, int, int) { Invalidate(); }

void CStatusBar::OnLButtonUp(UINT, CPoint point) { NotifyPaneClick(NM_CLICK, point); }
void CStatusBar::OnLButtonDblClk(UINT, CPoint point) { NotifyPaneClick(NM_DBLCLK, point); }

void CStatusBar::NotifyPaneClick(UINT nCode, CPoint point)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent) return;
    const std::vector<CRect> panes = PaneRects();
    DWORD_PTR pane = DWORD_PTR(-1);
    for (size_t i = 0; i < panes.size(); ++i)
        if (panes[i].PtInRect(point)) pane = i;
    NMMOUSE nm {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
    nm.hdr.code = nCode;
    nm.dwItemSpec = pane;
    nm.pt = point;
    ::SendMessage(hParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CStatusBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    dc.FillSolidRect(rc.left, rc.top, rc.Width(), 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ of = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    dc.SetBkMode(TRANSPARENT);
    std::vector<CRect> rects = PaneRects();
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& p = m_panes[i];
        CRect r = rects[i];
        if (r.right > rc.right) r.right = rc.right;
        if (r.Width() <= 0) continue;
        if (!(p.nStyle & SBPS_NOBORDERS)) {
            if (p.nStyle & SBPS_POPOUT) dc.Draw3dRect(&r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            else dc.Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        CRect tr = r;
        tr.DeflateRect(3, 1);
        if (p.hIcon) {
            int s = std::min<int>(16, tr.Height());
            if (PvDrawIcon(&dc, p.hIcon, tr.left, tr.top + (tr.Height() - s) / 2, s, s)) tr.left += s + 3;
        }
        if (p.nStyle & SBPS_DISABLED) continue;
        dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
        dc.DrawText(p.text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    dc.SelectObject(of);
    // The size grip at the right end.
    if (m_pDockSite && !m_pDockSite->IsZoomed()) {
        for (int k = 0; k < 3; ++k) {
            int o = 4 + k * 4;
            for (int j = 0; j < o - 1; ++j) {
                dc.SetPixelV(rc.right - o + j, rc.bottom - 2 - j, GetSysColor(COLOR_BTNSHADOW));
                dc.SetPixelV(rc.right - o + j + 1, rc.bottom - 2 - j, GetSysColor(COLOR_BTNHIGHLIGHT));
            }
        }
    }
}

namespace {
class CStatusCmdUI : public CCmdUI {
public:
    CStatusBar* bar = nullptr;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT s = bar->GetPaneStyle(int(m_nIndex));
        bar->SetPaneStyle(int(m_nIndex), bOn ? (s & ~UINT(SBPS_DISABLED)) : (s | SBPS_DISABLED));
    }
    void SetCheck(int nCheck) override
    {
        UINT s = bar->GetPaneStyle(int(m_nIndex));
        bar->SetPaneStyle(int(m_nIndex), nCheck ? (s | SBPS_POPOUT) : (s & ~UINT(SBPS_POPOUT)));
    }
    void SetText(LPCTSTR s) override { bar->SetPaneText(int(m_nIndex), s); }
};
} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.bar = this;
    state.m_pOther = this;
    state.m_nIndexMax = UINT(m_panes.size());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        // Panes are never disabled for want of a handler: they only show text.
        state.DoUpdate(pTarget, FALSE);
    }
}

// ---- CStatusBarCtrl ----
BOOL CStatusBarCtrl::SetIcon(int i, HICON h)
{
    if (i < 0 || size_t(i) >= m_pBar->m_panes.size()) return FALSE;
    m_pBar->m_panes[size_t(i)].hIcon = h;
    if (m_pBar->m_hWnd) m_pBar->Invalidate();
    return TRUE;
}

HICON CStatusBarCtrl::GetIcon(int i) const
{
    return (i >= 0 && size_t(i) < m_pBar->m_panes.size()) ? m_pBar->m_panes[size_t(i)].hIcon : nullptr;
}

BOOL CStatusBarCtrl::SetText(LPCTSTR s, int nPane, int) { return m_pBar->SetPaneText(nPane, s); }

int CStatusBarCtrl::GetParts(int n, int* parts) const
{
    std::vector<CRect> r = m_pBar->PaneRects();
    if (parts)
        for (int i = 0; i < n && size_t(i) < r.size(); ++i) parts[i] = r[size_t(i)].right;
    return int(r.size());
}

// ---- CDialogBar ----
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

BEGIN_MESSAGE_MAP(CDialogBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CDialogBar::~CDialogBar()
{
    if (m_hWndTip) ::DestroyWindow(m_hWndTip);
}

// The pointer is over control nID (0: none): its tip after a pause, its prompt at once, as
// the toolbar does for its buttons.
void CDialogBar::Hover(UINT nID)
{
    if (nID == m_nHotID) return;
    if (m_hWndTip) {
        ::DestroyWindow(m_hWndTip);
        m_hWndTip = nullptr;
    }
    KillTimer(kTipTimer);
    m_nHotID = nID;
    if (nID) {
        if (m_dwStyle & CBRS_TOOLTIPS) SetTimer(kTipTimer, 600, nullptr);
        if ((m_dwStyle & CBRS_FLYBY) && m_pDockSite) m_pDockSite->SetMessageText(nID);
        SetTimer(kLeaveTimer, 100, nullptr);
    } else {
        KillTimer(kLeaveTimer);
        if ((m_dwStyle & CBRS_FLYBY) && m_pDockSite) m_pDockSite->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    }
}

void CDialogBar::OnTimer(UINT_PTR id)
{
    if (id == kTipTimer) {
        KillTimer(kTipTimer);
        HWND ctl = m_nHotID ? ::GetDlgItem(m_hWnd, int(m_nHotID)) : nullptr;
        if (ctl && !m_hWndTip) {
            CRect rc;
            ::GetWindowRect(ctl, &rc);
            m_hWndTip = createTip(this, m_nHotID, rc);
        }
        return;
    }
    if (id == kLeaveTimer) {
        // The pointer left the bar: no mouse message says so.
        POINT p;
        ::GetCursorPos(&p);
        CRect rc;
        GetWindowRect(&rc);
        if (!rc.PtInRect(p)) Hover(0);
        return;
    }
    CControlBar::OnTimer(id);
}

void CDialogBar::OnDestroy()
{
    if (m_hWndTip) ::DestroyWindow(m_hWndTip);
    m_hWndTip = nullptr;
    CControlBar::OnDestroy();
}

BOOL CDialogBar::Create(CWnd* pParent, LPCTSTR name, UINT nStyle, UINT nID)
{
    return Create(pParent, PvResourceId(name), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParent, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    const PvDialogTemplate* t = PvFindDialogTemplate(nIDTemplate);
    if (!t) return FALSE;
    CSize base = PvDialogBaseUnits(t->lpszFontFace, t->wPointSize);
    m_sizeDefault = CSize(t->cx * base.cx / 4, t->cy * base.cy / 8);
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    if (!CreateBar(nullptr, (nStyle & ~DWORD(WS_VISIBLE)) | WS_CLIPCHILDREN | WS_VISIBLE, pParent, nID)) return FALSE;
    HFONT font = uiFont();
    for (size_t i = 0; i < t->nCount; ++i) {
        const PvDialogItemTemplate& it = t->pItems[i];
        if (!it.lpszClass) continue;
        int x = it.x * base.cx / 4, y = it.y * base.cy / 8, cx = it.cx * base.cx / 4, cy = it.cy * base.cy / 8;
        HWND h = ::CreateWindowEx(it.dwExStyle, it.lpszClass, it.lpszText ? it.lpszText : "", it.dwStyle | WS_CHILD, x, y,
                                  cx, cy, m_hWnd, reinterpret_cast<HMENU>(uintptr_t(it.nID)), nullptr, nullptr);
        if (h) ::SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (m_pDockSite) m_pDockSite->RecalcLayout();
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize sz = m_sizeDefault;
    int borders = ((m_dwStyle & CBRS_BORDER_TOP) ? 2 : 0) + ((m_dwStyle & CBRS_BORDER_BOTTOM) ? 2 : 0);
    if (bHorz) sz.cy += borders;
    if (bStretch && m_pDockSite) {
        CRect rc;
        m_pDockSite->GetClientRect(&rc);
        if (bHorz) sz.cx = std::max<int>(sz.cx, rc.Width());
    }
    return sz;
}

void CDialogBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    DrawBorders(&dc, rc);
}

namespace {
class CDialogBarCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        if (m_pOther && m_pOther->IsWindowEnabled() != bOn) m_pOther->EnableWindow(bOn);
    }
};
} // namespace

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    // Buttons follow their command's update handler; other controls are left alone.
    CDialogBarCmdUI state;
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        ::GetClassName(c, cls, sizeof cls);
        CString name(cls);
        if (name.CompareNoCase("BUTTON") != 0) continue;
        DWORD st = DWORD(::GetWindowLong(c, GWL_STYLE));
        if ((st & BS_TYPEMASK) == BS_GROUPBOX) continue;
        state.m_pOther = CWnd::FromHandle(c);
        state.m_nID = UINT(::GetDlgCtrlID(c));
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

BOOL CDialogBar::PreTranslateMessage(MSG* pMsg)
{
    if ((pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN) &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        // A disabled control's mouse messages reach the bar: find the control under the pointer.
        POINT p;
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        HWND ctl = ::ChildWindowFromPoint(m_hWnd, p);
        UINT id = ctl && ctl != m_hWnd ? UINT(::GetDlgCtrlID(ctl)) : 0;
        if (pMsg->message == WM_LBUTTONDOWN && m_hWndTip) {
            ::DestroyWindow(m_hWndTip);
            m_hWndTip = nullptr;
        }
        Hover(id);
    }
    // Tab moves between the bar's controls, as in a dialog.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && ::IsChild(m_hWnd, pMsg->hwnd))
        return ::IsDialogMessage(m_hWnd, pMsg);
    return CControlBar::PreTranslateMessage(pMsg);
}
