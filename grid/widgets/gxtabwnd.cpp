#include "grid/widgets/gxtabwnd.h"

#include <algorithm>

#include "grid/core/gxwnd.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxtemplatewnd.h"
#include "platform/gdi/dcguard.h"
#include "platform/sys/system.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

constexpr LPCTSTR kTabWndClass = "CGXTabWnd";
// The framework's horizontal split cursor.
constexpr UINT kSplitCursorId = 0x7904;
// The splitter never comes closer than this to the strip's scroll buttons.
constexpr int kMinBeamRoom = 20;
// Widths and heights the tab window takes as sizes (a minimised or unsized window reports others).
constexpr int kMaxLayoutSize = 32766;
// The editor is as wide as this many capital Ws of the strip's font.
constexpr int kEditorChars = 15;
// Children drawn with a width or height this small get a border, so they can still be seen.
constexpr int kTinyChild = 1;

COLORREF sysColor(int nIndex) { return GXGetAppData()->m_sysColors.LookupColor(DWORD(nIndex)); }

using TabWndClass = GXTemplateWndClass<CGXTabWnd>;

CGXTabWnd* ParentTabWnd(CWnd* pWnd)
{
    return static_cast<CGXTabWnd*>(FindVisibleParentOfClass(pWnd, RUNTIME_CLASS(CGXTabWnd), TRUE));
}

// What the grid asks of the tab windows.
class CGXTabWndInterfaceImp : public CGXTabWndInterface {
public:
    void TabNameOfWnd(CWnd* pWnd, CString& strName, BOOL bSet) override
    {
        CGXTabWnd* pTabWnd = ParentTabWnd(pWnd);
        if (!pTabWnd || !pTabWnd->GetBeam())
            return;
        const int nTab = pTabWnd->GetBeam()->FindTab(pWnd);
        if (nTab < 0)
            return;
        if (bSet)
            pTabWnd->SetTabLabel(nTab, strName, FALSE);
        else
            strName = pTabWnd->GetBeam()->GetTab(nTab).sLabel;
    }
    CString GetTabLabel(CWnd* pWnd, int nTab) override
    {
        CGXTabWnd* pTabWnd = ParentTabWnd(pWnd);
        if (!pTabWnd || !pTabWnd->GetBeam() || nTab < 0 || nTab >= pTabWnd->GetBeam()->GetCount())
            return CString();
        return pTabWnd->GetBeam()->GetTab(nTab).sLabel;
    }
};

}  // namespace

// ---- Class registration ----

void GXRegisterTabWndClass(HINSTANCE hInstance) { TabWndClass::Register(hInstance, kTabWndClass); }

void GXUnregisterTabWndClass(HINSTANCE hInstance) { ::UnregisterClass(kTabWndClass, hInstance); }

// ---- CGXEditLabelPopup ----

IMPLEMENT_DYNAMIC(CGXEditLabelPopup, CEdit)

BEGIN_MESSAGE_MAP(CGXEditLabelPopup, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CHAR()
    ON_WM_GETDLGCODE()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BOOL CGXEditLabelPopup::Create(const RECT& rect, CWnd* pParent)
{
    const DWORD dwFrame = GXGetLibraryState().m_bNewLook ? WS_BORDER : WS_CAPTION;
    return CEdit::Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | dwFrame, rect, pParent, kControlId);
}

void CGXEditLabelPopup::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN || nChar == VK_ESCAPE) {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(nChar == VK_RETURN ? WM_GX_LABELACCEPT : WM_GX_LABELCANCEL);
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXEditLabelPopup::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN || nChar == VK_ESCAPE)
        return;
    CEdit::OnKeyUp(nChar, nRepCnt, nFlags);
}

// The characters of Return and Escape would beep or land in the text.
void CGXEditLabelPopup::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == '\r' || nChar == 0x1B)
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

UINT CGXEditLabelPopup::OnGetDlgCode() { return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS; }

void CGXEditLabelPopup::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_GX_LABELCANCEL);
}

// ---- CGXTabWnd ----

IMPLEMENT_DYNCREATE(CGXTabWnd, CWnd)

BEGIN_MESSAGE_MAP(CGXTabWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
    ON_MESSAGE(WM_GX_TABACTIVATE, OnTabActivate)
    ON_MESSAGE(WM_GX_TABRENAME, OnTabRename)
    ON_MESSAGE(WM_GX_TABCANCHANGE, OnTabCanChange)
    ON_MESSAGE(WM_GX_LABELACCEPT, OnLabelAccept)
    ON_MESSAGE(WM_GX_LABELCANCEL, OnLabelCancel)
END_MESSAGE_MAP()

// The grid asks the tab windows for names through it; the library's initialisation drops it.
static void ensureTabWndInterface()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (!state.m_pTabWndInterface)
        state.m_pTabWndInterface = new CGXTabWndInterfaceImp;
    state.RegisterRuntimeClassOnce(RUNTIME_CLASS(CGXTabWnd));
}

CGXTabWnd::CGXTabWnd() : m_pBeamClass(RUNTIME_CLASS(CGXTabBeam))
{
    ensureTabWndInterface();
    m_brFace.CreateSolidBrush(sysColor(COLOR_BTNFACE));
    readMetrics();
}

CGXTabWnd::~CGXTabWnd()
{
    TabWndClass::Forget(this);
    // While the object is whole: the children's last messages still find a tab window.
    if (m_hWnd)
        DestroyWindow();
}

// Before the children go: the editor's focus loss must find its owner whole.
void CGXTabWnd::OnDestroy()
{
    CancelLabelEdit();
    endDrag(FALSE);
    m_pActiveWnd = nullptr;
    m_hActiveWnd = nullptr;
    CWnd::OnDestroy();
}

size_t CGXTabWnd::GetAutoDeleteCount() { return TabWndClass::Count(); }

void CGXTabWnd::PostNcDestroy()
{
    if (TabWndClass::ReleaseOnNcDestroy(this))
        delete this;
}

void CGXTabWnd::readMetrics()
{
    m_cxVScroll = GetSystemMetrics(SM_CXVSCROLL);
    m_cyHScroll = GetSystemMetrics(SM_CYHSCROLL);
    m_nBorder = GXGetLibraryState().m_bNewLook ? 2 : 0;
    m_nBottomHeight = m_cyHScroll + 2 * m_nBorder;
}

BOOL CGXTabWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

BOOL CGXTabWnd::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_bHScroll = (dwStyle & WS_HSCROLL) != 0;
    m_bVScroll = (dwStyle & WS_VSCROLL) != 0;
    dwStyle &= ~DWORD(WS_HSCROLL | WS_VSCROLL);
    if (!CWnd::Create(GX_MDIFRAMECLASS, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    if (!createChildren(nID)) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CGXTabWnd::createChildren(UINT nID)
{
    if (makeChildren(nID))
        return TRUE;
    // Nothing half made stays behind for the next attempt.
    m_pBeam.reset();
    for (CScrollBar* p : {&m_sbHorz, &m_sbVert, &m_sizeBox})
        if (p->GetSafeHwnd())
            p->DestroyWindow();
    return FALSE;
}

BOOL CGXTabWnd::makeChildren(UINT)
{
    ensureTabWndInterface();
    readMetrics();
    const CRect rcTiny(0, 0, 1, 1);
    if (!m_sbHorz.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, rcTiny, this, kHorzScrollId))
        return FALSE;
    if (!m_bHScroll)
        m_sbHorz.ShowWindow(SW_HIDE);
    if (!m_sbVert.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, rcTiny, this, kVertScrollId))
        return FALSE;
    if (!m_bVScroll)
        m_sbVert.ShowWindow(SW_HIDE);
    // Grey until a window gives them something to scroll.
    for (CScrollBar* pBar : {&m_sbHorz, &m_sbVert}) {
        SCROLLINFO si {sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
        ::SetScrollInfo(pBar->m_hWnd, SB_CTL, &si, FALSE);
    }
    if (m_nBorder && (m_bHScroll || m_bVScroll) && GetParentFrame())
        if (!m_sizeBox.Create(WS_CHILD | WS_VISIBLE | SBS_SIZEBOX, rcTiny, this, kSizeBoxId))
            return FALSE;
    CObject* pObject = m_pBeamClass ? m_pBeamClass->CreateObject() : nullptr;
    if (!pObject || !pObject->IsKindOf(RUNTIME_CLASS(CGXTabBeam))) {
        delete pObject;
        return FALSE;
    }
    m_pBeam.reset(static_cast<CGXTabBeam*>(pObject));
    if (!m_pBeam->Create(WS_CHILD | WS_VISIBLE, rcTiny, this, kBeamId)) {
        m_pBeam.reset();
        return FALSE;
    }
    m_bCreated = TRUE;
    return TRUE;
}

CWnd* CGXTabWnd::AttachWnd(CWnd* pWnd, LPCTSTR pszLabel)
{
    if (!m_bCreated)
        RecalcLayout();
    if (!pWnd || !m_pBeam)
        return pWnd;
    CRect rc;
    GetClientRect(&rc);
    rc.bottom = std::max(rc.top, rc.bottom - m_nBottomHeight);
    if (m_bVScroll)
        rc.right = std::max(rc.left, rc.right - m_nBottomHeight);
    if (pWnd->GetParent() != this)
        pWnd->SetParent(this);
    pWnd->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    const int nTab = m_pBeam->InsertTab(FALSE, pszLabel, pWnd, FALSE, -1, 0);
    pWnd->ShowScrollBar(SB_BOTH, FALSE);
    if (!m_pActiveWnd) {
        m_pActiveWnd = pWnd;
        m_hActiveWnd = pWnd->GetSafeHwnd();
        pWnd->ShowWindow(SW_SHOW);
        pWnd->SetActiveWindow();
        m_pBeam->SetCurSel(nTab);
    } else {
        pWnd->ShowWindow(SW_HIDE);
    }
    pWnd->SendMessage(WM_GX_TABATTACHED, WPARAM(nTab));
    if (nTab < m_pBeam->GetCount() && m_pBeam->GetTab(nTab).pExtra == pWnd)
        saveScrollState(nTab);
    return pWnd;
}

void CGXTabWnd::forgetLostActiveWnd()
{
    if (!m_pActiveWnd || (m_pBeam && m_pBeam->FindTab(m_pActiveWnd) >= 0))
        return;
    // Its object may be gone with its tab; only a window still alive under the same object is
    // touched, to take it off the sheet area.
    if (::IsWindow(m_hActiveWnd) && CWnd::FromHandlePermanent(m_hActiveWnd) == m_pActiveWnd)
        ::ShowWindow(m_hActiveWnd, SW_HIDE);
    m_pActiveWnd = nullptr;
    m_hActiveWnd = nullptr;
}

BOOL CGXTabWnd::askSwitch(int nTab)
{
    forgetLostActiveWnd();
    if (!m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount())
        return FALSE;
    CWnd* pNew = m_pBeam->GetTab(nTab).pExtra;
    if (!m_pActiveWnd || pNew == m_pActiveWnd)
        return FALSE;
    const HWND hActive = m_pActiveWnd->GetSafeHwnd();
    LRESULT refused = m_pActiveWnd->SendMessage(WM_GX_TABCANSWITCH, 0);
    if (!refused && pNew && pNew->GetSafeHwnd())
        refused = pNew->SendMessage(WM_GX_TABCANSWITCH, 1);
    if (refused) {
        if (::IsWindow(hActive))
            ::SetFocus(hActive);
        return TRUE;
    }
    return FALSE;
}

void CGXTabWnd::ActivateTab(CWnd* pWnd)
{
    if (!m_pBeam || !pWnd)
        return;
    forgetLostActiveWnd();
    const int nTab = m_pBeam->FindTab(pWnd);
    if (nTab < 0)
        return;
    if (m_pActiveWnd && m_pActiveWnd != pWnd) {
        if (askSwitch(nTab)) {
            // The strip shows the tab of the window that stays.
            if (const int nActive = m_pBeam->FindTab(m_pActiveWnd); nActive >= 0)
                m_pBeam->SetCurSel(nActive);
            return;
        }
        if (const int nOld = m_pBeam->FindTab(m_pActiveWnd); nOld >= 0)
            saveScrollState(nOld);
        m_pActiveWnd->ShowWindow(SW_HIDE);
    }
    m_pBeam->MakeTabVisible(nTab);
    m_pBeam->SetCurSel(nTab);
    m_pBeam->Invalidate();
    m_pActiveWnd = pWnd;
    m_hActiveWnd = pWnd->GetSafeHwnd();
    pWnd->ShowWindow(SW_SHOW);
    pWnd->SetFocus();
    if (pWnd->IsKindOf(RUNTIME_CLASS(CView))) {
        if (CFrameWnd* pFrame = pWnd->GetParentFrame())
            pFrame->SetActiveView(static_cast<CView*>(pWnd));
        if (auto* pMain = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
            pMain->DelayUpdateFrameMenu(nullptr);
    }
    restoreScrollState(nTab);
    pWnd->Invalidate();
    RecalcLayout();
}

void CGXTabWnd::saveScrollState(int nTab)
{
    if (!m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount() || !m_bCreated)
        return;
    CGXTabInfo& tab = m_pBeam->GetTab(nTab);
    for (GXTabScrollState* pState : {&tab.horz, &tab.vert}) {
        CScrollBar& bar = pState == &tab.horz ? m_sbHorz : m_sbVert;
        SCROLLINFO si {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        if (!bar.GetSafeHwnd() || !::GetScrollInfo(bar.m_hWnd, SB_CTL, &si))
            si = SCROLLINFO {};
        *pState = GXTabScrollState {si.nMin, si.nMax, si.nPage, si.nPos};
    }
}

void CGXTabWnd::restoreScrollState(int nTab)
{
    if (!m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount() || !m_bCreated)
        return;
    CGXTabInfo& tab = m_pBeam->GetTab(nTab);
    for (const GXTabScrollState* pState : {&tab.horz, &tab.vert}) {
        CScrollBar& bar = pState == &tab.horz ? m_sbHorz : m_sbVert;
        if (!bar.GetSafeHwnd())
            continue;
        // A bar with nothing to scroll stays, grey.
        SCROLLINFO si {sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, pState->nMin, pState->nMax, pState->nPage,
                       pState->nPos, 0};
        ::SetScrollInfo(bar.m_hWnd, SB_CTL, &si, TRUE);
    }
}

LPCTSTR CGXTabWnd::GetTabLabel(const CWnd* pWnd) const
{
    const int nTab = m_pBeam ? m_pBeam->FindTab(pWnd) : -1;
    return nTab < 0 ? nullptr : static_cast<LPCTSTR>(m_pBeam->GetTab(nTab).sLabel);
}

void CGXTabWnd::SetTabLabel(int nTab, LPCTSTR pszLabel, BOOL bNotify)
{
    if (!m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount())
        return;
    m_pBeam->GetTab(nTab).sLabel = pszLabel ? pszLabel : "";
    m_pBeam->UpdateTabWidth(nTab);
    m_pBeam->Invalidate();
    // The tab's window is told, as after a rename in the editor.
    if (bNotify)
        if (CWnd* pWnd = m_pBeam->GetTab(nTab).pExtra; pWnd && pWnd->GetSafeHwnd())
            pWnd->SendMessage(WM_GX_TABRENAMED, WPARAM(nTab));
}

void CGXTabWnd::SetTabLabel(CWnd* pWnd, LPCTSTR pszLabel, BOOL bNotify)
{
    if (m_pBeam)
        SetTabLabel(m_pBeam->FindTab(pWnd), pszLabel, bNotify);
}

// ---- Layout ----

void CGXTabWnd::placeChild(HDWP& hdwp, CWnd* pWnd, int x, int y, int cx, int cy)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    // Placed a pixel up and left of its slot and two larger, so neighbours share their edges.
    x -= 1;
    y -= 1;
    cx = std::max(0, cx + 2);
    cy = std::max(0, cy + 2);
    const bool bOwnControl = pWnd != m_pActiveWnd;
    if (bOwnControl) {
        const bool bTiny = cx <= kTinyChild || cy <= kTinyChild;
        pWnd->ModifyStyle(bTiny ? 0 : WS_BORDER, bTiny ? WS_BORDER : 0, 0);
    }
    CRect rcNow;
    pWnd->GetWindowRect(&rcNow);
    ScreenToClient(&rcNow);
    if (rcNow == CRect(x, y, x + cx, y + cy))
        return;
    if (hdwp)
        hdwp = ::DeferWindowPos(hdwp, pWnd->m_hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGXTabWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    if (!m_bCreated) {
        // A window from a template: complete it as Create would, with both bars. Dropping its
        // own bars resizes it, which lays it out again: that pass waits for this one.
        if (m_bCompleting)
            return;
        m_bCompleting = TRUE;
        m_bHScroll = m_bVScroll = TRUE;
        ModifyStyle(WS_HSCROLL | WS_VSCROLL, WS_CHILD | WS_CLIPCHILDREN, SWP_FRAMECHANGED);
        const BOOL bMade = m_hWnd && createChildren(UINT(GetDlgCtrlID()));
        m_bCompleting = FALSE;
        if (!bMade)
            return;
    }
    CRect rc;
    GetClientRect(&rc);
    CRect inner = rc;
    inner.bottom = std::max(inner.top, inner.bottom - m_nBottomHeight);
    if (m_bVScroll)
        inner.right = std::max(inner.left, inner.right - m_nBottomHeight);
    if (m_nSplit == 0) {
        m_nSplit = rc.Width() / 2;
        m_nSplit100 = m_nSplit * 100;
    }
    const int nSplit = std::clamp(m_nSplit, 0, int(inner.right));

    HDWP hdwp = ::BeginDeferWindowPos(5);
    const int yBottom = inner.bottom, cyBottom = rc.bottom - inner.bottom;
    const int xBar = nSplit + m_nSplitterWidth;
    placeChild(hdwp, &m_sbHorz, xBar + 1, yBottom + 1, m_bHScroll ? std::max(0, int(inner.right) - xBar - 2) : 0,
               cyBottom - 2);
    placeChild(hdwp, &m_sbVert, inner.right + 1, 1, rc.right - inner.right - 2, inner.bottom - 2);
    updateSizeBox();
    placeChild(hdwp, &m_sizeBox, inner.right + 1, yBottom + 1, rc.right - inner.right - 2, cyBottom - 2);
    placeChild(hdwp, m_pBeam.get(), 1, yBottom + 1, (m_bHScroll ? nSplit : int(inner.right)) - 2, cyBottom - 2);
    bool bMoveActive = false;
    if (!m_bDragging && m_pActiveWnd && m_pActiveWnd->GetSafeHwnd()) {
        CRect rcNow;
        m_pActiveWnd->GetWindowRect(&rcNow);
        ScreenToClient(&rcNow);
        bMoveActive = rcNow != CRect(0, 0, inner.right, inner.bottom);
        placeChild(hdwp, m_pActiveWnd, 1, 1, inner.Width() - 2, inner.Height() - 2);
    }
    ::EndDeferWindowPos(hdwp);
    // A window that did not move still hears that it is laid out, as a moved one does.
    if (!m_bDragging && !bMoveActive && m_pActiveWnd && m_pActiveWnd->GetSafeHwnd()) {
        CRect rcActive;
        m_pActiveWnd->GetClientRect(&rcActive);
        m_pActiveWnd->SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(rcActive.Width(), rcActive.Height()));
    }
}

// A grip where the frame's sizing corner is ours; a grey box elsewhere.
void CGXTabWnd::updateSizeBox()
{
    if (!m_sizeBox.GetSafeHwnd())
        return;
    bool bGrip = false;
    if (CFrameWnd* pFrame = GetParentFrame(); pFrame && (pFrame->GetStyle() & WS_THICKFRAME) && !pFrame->IsZoomed()) {
        CRect rcFrame, rcMe;
        pFrame->GetClientRect(&rcFrame);
        pFrame->ClientToScreen(&rcFrame);
        GetWindowRect(&rcMe);
        bGrip = rcFrame.BottomRight() == rcMe.BottomRight();
    }
    const DWORD dwOld = m_sizeBox.GetStyle() & (SBS_SIZEBOX | SBS_SIZEGRIP);
    const DWORD dwNew = bGrip ? SBS_SIZEGRIP : SBS_SIZEBOX;
    if (dwOld != dwNew) {
        m_sizeBox.ModifyStyle(SBS_SIZEBOX | SBS_SIZEGRIP, dwNew, 0);
        m_sizeBox.Invalidate();
    }
    m_sizeBox.EnableWindow(bGrip);
}

void CGXTabWnd::scaleSplit(int cx)
{
    if (m_nSplit100 / 100 != m_nSplit)
        m_nSplit100 = m_nSplit * 100;
    if (m_pBeam && m_nLastWidth > 0 && m_nSplit > 0) {
        // The strip keeps its share beyond a fixed part beside its buttons. In 64 bits: a wide
        // window times a split in hundredths passes the 32-bit range.
        const int64_t e = 100 * int64_t(m_pBeam->GetScrollButtonAreaWidth()) - 100 * int64_t(kMinBeamRoom);
        const int64_t num = int64_t(cx) * (m_nSplit100 - e);
        const int64_t scaled = (num >= 0 ? num + m_nLastWidth / 2 : num - m_nLastWidth / 2) / m_nLastWidth + e;
        m_nSplit100 = int(std::clamp<int64_t>(scaled, 0, int64_t(kMaxLayoutSize) * 100));
        m_nSplit = m_nSplit100 / 100;
    } else if (m_nSplit == 0) {
        m_nSplit = cx / 2;
        m_nSplit100 = m_nSplit * 100;
    }
    m_nLastWidth = cx;
}

void CGXTabWnd::OnSize(UINT nType, int cx, int cy)
{
    CancelLabelEdit();
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SendMessage(WM_GX_TABRESIZING, 1);
    if (nType != SIZE_MINIMIZED && cx >= 1 && cx <= kMaxLayoutSize && cy >= 1 && cy <= kMaxLayoutSize) {
        scaleSplit(cx);
        RecalcLayout();
    }
    CWnd::OnSize(nType, cx, cy);
    UpdateWindow();
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd()) {
        m_pActiveWnd->SendMessage(WM_GX_TABRESIZING, 0);
        CRect rc;
        m_pActiveWnd->GetClientRect(&rc);
        m_pActiveWnd->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.Width(), rc.Height()));
    }
}

// ---- Splitter ----

CRect CGXTabWnd::GetSplitterRect() const
{
    if (!m_bHScroll || !m_hWnd)
        return CRect();
    CRect rc;
    GetClientRect(&rc);
    return CRect(m_nSplit, rc.bottom - m_nBottomHeight, m_nSplit + m_nSplitterWidth, rc.bottom);
}

void CGXTabWnd::drawSplitter(CDC* pDC)
{
    const CRect box = GetSplitterRect();
    if (box.IsRectEmpty())
        return;
    const COLORREF lines[] = {RGB(0, 0, 0), sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_BTNFACE),
                              sysColor(COLOR_BTNFACE), sysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)};
    const int n = std::min<int>(int(std::size(lines)), box.Width());
    for (int i = 0; i < n; ++i)
        pDC->FillSolidRect(box.left + i, box.top, 1, box.Height(), lines[i]);
    if (!GXGetLibraryState().m_bNewLook)
        pDC->FillSolidRect(box.left, box.top, box.Width(), 1, RGB(0, 0, 0));
}

void CGXTabWnd::OnPaint()
{
    if (!m_bCreated)
        RecalcLayout();
    CPaintDC dc(this);
    if (m_bHScroll)
        drawSplitter(&dc);
}

void CGXTabWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SetFocus();
    if (m_bHScroll && GetSplitterRect().PtInRect(point)) {
        m_bDragging = TRUE;
        m_nDragOffset = point.x - m_nSplit;
        SetCapture();
        return;
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CGXTabWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bDragging) {
        if (m_bHScroll && GetSplitterRect().PtInRect(point)) {
            if (!m_hSplitCursor)
                m_hSplitCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kSplitCursorId));
            if (!m_hSplitCursor)
                m_hSplitCursor = ::LoadCursor(nullptr, IDC_SIZEWE);
            ::SetCursor(m_hSplitCursor);
        }
        CWnd::OnMouseMove(nFlags, point);
        return;
    }
    CRect rc;
    GetClientRect(&rc);
    const int x = point.x - m_nDragOffset;
    const int nMin = (m_pBeam ? m_pBeam->GetScrollButtonAreaWidth() : 0) + kMinBeamRoom;
    if (x < nMin || x > rc.right - 2 * m_nBottomHeight || x == m_nSplit)
        return;
    if (m_pBeam) {
        const int nFrom = std::min(x, m_nSplit);
        m_pBeam->SetRedrawFrom(nFrom);
        CRect rcBeam;
        m_pBeam->GetClientRect(&rcBeam);
        rcBeam.left = std::max(0, nFrom - 1);
        m_pBeam->InvalidateRect(&rcBeam, TRUE);
    }
    CRect old = GetSplitterRect();
    m_nSplit = x;
    m_nSplit100 = x * 100;
    InvalidateRect(&old, TRUE);
    RecalcLayout();
    CRect now = GetSplitterRect();
    InvalidateRect(&now, FALSE);
}

void CGXTabWnd::endDrag(BOOL bApply)
{
    if (!m_bDragging)
        return;
    m_bDragging = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (!bApply)
        return;
    RecalcLayout();
    if (m_pBeam) {
        m_pBeam->SetRedrawFrom(-2);
        m_pBeam->Invalidate();
    }
}

void CGXTabWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        endDrag(TRUE);
        return;
    }
    CWnd::OnLButtonUp(nFlags, point);
}

// Losing the capture mid-drag (a message box, another window) ends the drag where it stands.
void CGXTabWnd::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bDragging && pWnd != this)
        endDrag(TRUE);
    CWnd::OnCaptureChanged(pWnd);
}

BOOL CGXTabWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd == this && !m_bDragging)
        return TRUE;
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- Other messages ----

void CGXTabWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    CancelLabelEdit();
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SendMessage(WM_HSCROLL, MAKEWPARAM(nSBCode, nPos),
                                  reinterpret_cast<LPARAM>(pScrollBar ? pScrollBar->m_hWnd : nullptr));
}

void CGXTabWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    CancelLabelEdit();
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SendMessage(WM_VSCROLL, MAKEWPARAM(nSBCode, nPos),
                                  reinterpret_cast<LPARAM>(pScrollBar ? pScrollBar->m_hWnd : nullptr));
}

void CGXTabWnd::OnSetFocus(CWnd*)
{
    if (m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SetFocus();
}

BOOL CGXTabWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    rc.left = std::max(rc.left, rc.right - m_nBottomHeight);
    rc.top = std::max(rc.top, rc.bottom - m_nBottomHeight);
    pDC->FillRect(&rc, &m_brFace);
    return TRUE;
}

void CGXTabWnd::OnNcPaint()
{
    Default();
    if (m_bDraw3dFrame || (GetExStyle() & WS_EX_CLIENTEDGE))
        GXDrawSunkenFrameOnParent(this);
}

void CGXTabWnd::OnSysColorChange()
{
    GXGetAppData()->m_sysColors.Refresh();
    m_brFace.DeleteObject();
    m_brFace.CreateSolidBrush(sysColor(COLOR_BTNFACE));
    Invalidate();
}

void CGXTabWnd::OnSettingChange(UINT, LPCTSTR)
{
    GXGetAppData()->m_sysColors.Refresh();
    readMetrics();
    RecalcLayout();
}

// ---- Tab messages ----

LRESULT CGXTabWnd::OnTabActivate(WPARAM wParam, LPARAM)
{
    forgetLostActiveWnd();
    const int nTab = int(wParam);
    if (!m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount())
        return 0;
    CWnd* pWnd = m_pBeam->GetTab(nTab).pExtra;
    if (!pWnd)
        return 0;
    if (pWnd != m_pActiveWnd) {
        ActivateTab(pWnd);
        return 0;
    }
    // The same tab again: unless a rename is on its way, the window takes the focus back.
    MSG msg;
    if (::PeekMessage(&msg, m_hWnd, WM_GX_TABRENAME, WM_GX_TABRENAME, PM_NOREMOVE))
        return 0;
    if (pWnd->IsKindOf(RUNTIME_CLASS(CView)))
        if (CFrameWnd* pFrame = pWnd->GetParentFrame())
            pFrame->SetActiveView(static_cast<CView*>(pWnd));
    pWnd->SetFocus();
    pWnd->Invalidate();
    return 0;
}

LRESULT CGXTabWnd::OnTabCanChange(WPARAM wParam, LPARAM) { return askSwitch(int(wParam)) ? 1 : 0; }

LRESULT CGXTabWnd::OnTabRename(WPARAM wParam, LPARAM)
{
    const int nTab = int(wParam);
    if (m_pEditLabel || !m_pBeam || nTab < 0 || nTab >= m_pBeam->GetCount())
        return 0;
    CWnd* pWnd = m_pBeam->GetTab(nTab).pExtra;
    if (pWnd && pWnd->GetSafeHwnd() && pWnd->SendMessage(WM_GX_TABCANRENAME, WPARAM(nTab)) == 0)
        return 0;
    if (m_pEditLabel || nTab >= m_pBeam->GetCount())
        return 0;
    openLabelEditor(nTab);
    return 0;
}

void CGXTabWnd::openLabelEditor(int nTab)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CClientDC dc(m_pBeam.get());
    CDCStateGuard guard(&dc);
    guard.SelectFont(m_pBeam->GetNormalFont());
    const int cxW = dc.GetTextExtent("W", 1).cx;
    const int cyText = dc.GetTextExtent("W", 1).cy;
    const int cyFrame = GetSystemMetrics(SM_CYDLGFRAME);
    CRect rcBeam;
    m_pBeam->GetWindowRect(&rcBeam);
    ScreenToClient(&rcBeam);
    int x = rcBeam.left + m_pBeam->GetTabX(nTab);
    int cx = kEditorChars * cxW;
    if (x + cx > rcClient.right)
        x = std::max(0, int(rcClient.right) - cx);
    cx = std::min(cx, int(rcClient.right) - x);
    const int y = std::max(0, int(rcClient.bottom) - 2 * (cyText + cyFrame));
    const int cy = 4 * cyFrame + cyText;

    auto pEditor = std::make_unique<CGXEditLabelPopup>();
    if (!pEditor->Create(CRect(x, y, x + cx, y + cy), this))
        return;
    pEditor->SetFont(m_pBeam->GetNormalFont());
    pEditor->SetWindowText(m_pBeam->GetTab(nTab).sLabel);
    pEditor->SetSel(0, -1);
    m_pEditLabel = std::move(pEditor);
    m_pEditLabel->SetFocus();
}

void CGXTabWnd::CancelLabelEdit()
{
    // Forgotten before it goes: its focus loss during the destruction asks for this again.
    std::unique_ptr<CGXEditLabelPopup> pEditor = std::move(m_pEditLabel);
    if (!pEditor)
        return;
    const bool bHadFocus = CWnd::GetFocus() == pEditor.get();
    pEditor->DestroyWindow();
    pEditor.reset();
    if (bHadFocus && m_pActiveWnd && m_pActiveWnd->GetSafeHwnd())
        m_pActiveWnd->SetFocus();
}

LRESULT CGXTabWnd::OnLabelAccept(WPARAM, LPARAM)
{
    if (!m_pEditLabel)
        return 0;
    CString strLabel;
    m_pEditLabel->GetWindowText(strLabel);
    CancelLabelEdit();
    if (m_pBeam)
        SetTabLabel(m_pBeam->GetCurSel(), strLabel, TRUE);
    return 0;
}

LRESULT CGXTabWnd::OnLabelCancel(WPARAM, LPARAM)
{
    CancelLabelEdit();
    return 0;
}
