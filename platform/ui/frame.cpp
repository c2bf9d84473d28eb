// CFrameWnd: creation from resources, layout of the menu bar, control bars and client, the
// status-bar message protocol, menu updates and command routing.

#include "platform/ui/frame.h"

#include "platform/base/stringtable.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/ctrlbar.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cstdint>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {
void menuChanged(HWND h)
{
    CWnd* w = CWnd::FromHandlePermanent(h);
    if (w && w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) static_cast<CFrameWnd*>(w)->RecalcLayout();
}

struct Registrar {
    Registrar()
    {
        CWnd::s_pFrameWndClass = RUNTIME_CLASS(CFrameWnd);
        PvSetMenuChangedHook(&menuChanged);
    }
} g_registrar;
} // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUIMsg)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelectMsg)
    ON_MESSAGE(WM_EXITMENULOOP, OnExitMenuLoop)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() { CWnd::s_pFrameWndClass = RUNTIME_CLASS(CFrameWnd); }

CFrameWnd::~CFrameWnd()
{
    if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
    // The default menu belongs to the frame.
    if (m_hMenuDefault && ::IsMenu(m_hMenuDefault)) ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
        cs.lpszClass = cls;
    }
    if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE & 0; // the client edge belongs to the views
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR cls, LPCTSTR name, DWORD style, const RECT& rect, CWnd* parent, LPCTSTR menuName,
                       DWORD exStyle, CCreateContext* pContext)
{
    HMENU menu = nullptr;
    if (menuName) {
        menu = ::LoadMenu(nullptr, menuName);
        if (!menu) return FALSE;
        m_hMenuDefault = menu;
    }
    m_strTitle = name;
    m_strCreateTitle = name ? name : "";
    int x = rect.left, y = rect.top, cx = 0, cy = 0;
    if (rect.left != CW_USEDEFAULT) {
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    } else {
        // A sensible default: most of the screen, slightly inset.
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        cx = std::max(320, sw * 3 / 4);
        cy = std::max(240, sh * 3 / 4);
        x = (sw - cx) / 2;
        y = (sh - cy) / 2;
    }
    if (!CreateEx(exStyle, cls, m_strCreateTitle.c_str(), style, x, y, cx, cy, parent ? parent->m_hWnd : nullptr,
                  nullptr, pContext))
        return FALSE;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    AfxLoadStringResource(nIDResource, title);
    int nl = title.Find('\n');
    if (nl >= 0) title = title.Left(nl);
    if (title.IsEmpty()) title = AfxGetAppName();
    LPCTSTR menuName = PvFindMenuTemplate(nIDResource, nullptr) ? MAKEINTRESOURCE(nIDResource) : nullptr;
    if (!Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext)) return FALSE;
    LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR name)
{
    if (m_hAccelTable) return FALSE;
    m_hAccelTable = ::LoadAccelerators(nullptr, name);
    return m_hAccelTable != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    CCreateContext* ctx = lpcs ? static_cast<CCreateContext*>(lpcs->lpCreateParams) : nullptr;
    return OnCreateHelper(lpcs, ctx) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1) return FALSE;
    if (m_hMenuDefault) {
        ::SetMenu(m_hWnd, m_hMenuDefault);
        m_hWndMenuBar = PvCreateMenuBar(m_hWnd);
    }
    if (!OnCreateClient(lpcs, pContext)) return FALSE;
    RecalcLayout();
    // Posted: the status bar is created after this, by the derived frame's OnCreate.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return TRUE;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass) {
        if (!CreateView(pContext, AFX_IDW_PANE_FIRST)) return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass) return nullptr;
    CObject* o = pContext->m_pNewViewClass->CreateObject();
    CWnd* view = dynamic_cast<CWnd*>(o);
    if (!view) {
        delete o;
        return nullptr;
    }
    if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext)) {
        return nullptr; // the view deleted itself with its window
    }
    return view;
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    delete this;
}

void CFrameWnd::OnDestroy()
{
    // Bars are owned by their creators; they must not call back into a frame that is going.
    for (CControlBar* b : m_listControlBars) b->m_pDockSite = nullptr;
    m_listControlBars.clear();
    if (m_hMenuDefault) ::SetMenu(m_hWnd, nullptr);
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    if (!IsWindowEnabled()) {
        // A modal dialog runs over this frame (its loop is on the stack): close the dialog first,
        // and this frame once that loop has returned. A dialog that will not close keeps it open.
        HWND active = ::GetActiveWindow();
        if (active && active != m_hWnd && ::GetWindow(active, GW_OWNER) == m_hWnd && m_nCloseRetries < 8) {
            ++m_nCloseRetries;
            ::PostMessage(active, WM_CLOSE, 0, 0);
            PostMessage(WM_CLOSE);
        }
        return;
    }
    m_nCloseRetries = 0;
    CDocument* pDoc = GetActiveDocument();
    if (pDoc && !pDoc->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!pDoc && !app->SaveAllModified()) return;
        HWND h = m_hWnd;
        app->CloseAllDocuments(FALSE);
        if (!::IsWindow(h)) return; // closing the documents took the frame with them
    }
    if (pDoc && pDoc->m_bAutoDelete) {
        // This frame's views may be the document's last: close the document with them.
        BOOL other = FALSE;
        POSITION pos = pDoc->GetFirstViewPosition();
        while (pos)
            if (CView* v = pDoc->GetNextView(pos); v && v->GetParentFrame() != this) other = TRUE;
        if (!other) {
            pDoc->OnCloseDocument();
            return;
        }
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd) m_pViewActive->SetFocus();
    else CWnd::OnSetFocus(pOldWnd);
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The views cover the client; only erase what no child covers.
    return CWnd::OnEraseBkgnd(pDC);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* v = GetActiveView();
    return v ? v->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld) return;
    m_pViewActive = nullptr; // nothing is active while the views hear of the change
    if (pViewOld && bNotify) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic()) nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) ShowWindow(nCmdShow);
    if (nCmdShow != SW_HIDE && !(GetStyle() & WS_CHILD)) {
        ::BringWindowToTop(m_hWnd);
        ::SetActiveWindow(m_hWnd);
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = nullptr;
    if (!GetActiveView()) {
        CWnd* w = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        if (w && w->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = static_cast<CView*>(w);
            SetActiveView(pView, FALSE);
        }
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
        if (pView) pView->OnActivateFrame(WA_INACTIVE, this);
        int nCmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            nCmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (pView) pView->OnActivateView(TRUE, pView, pView);
        if (m_hWnd && app && app->m_pMainWnd == this) PvSetMainWindow(m_hWnd);
    }
    if (pDoc) pDoc->UpdateFrameCounts();
    if (m_hWnd) OnUpdateFrameTitle(TRUE);
}

// ---- Layout ----
void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
    pBar->m_pDockSite = this;
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar), m_listControlBars.end());
}

CRect CFrameWnd::GetPaneRect() const
{
    CRect rc;
    if (!m_hWnd) return rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_hWndMenuBar && ::GetMenu(m_hWnd)) rc.top += PvMenuBarHeight();
    for (CControlBar* b : m_listControlBars) {
        if (!b->m_hWnd || !(b->GetStyle() & WS_VISIBLE)) continue;
        DWORD a = b->m_dwStyle & CBRS_ALIGN_ANY;
        bool horz = (a & CBRS_ORIENT_HORZ) || a == 0;
        CSize sz = b->CalcFixedLayout(TRUE, horz);
        if (a & CBRS_ALIGN_BOTTOM) rc.bottom -= sz.cy;
        else if (a & CBRS_ALIGN_LEFT) rc.left += sz.cx;
        else if (a & CBRS_ALIGN_RIGHT) rc.right -= sz.cx;
        else rc.top += sz.cy;
    }
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    if (rc.right < rc.left) rc.right = rc.left;
    return rc;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd) return;
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_hWndMenuBar) {
        bool show = ::GetMenu(m_hWnd) != nullptr;
        if (show) {
            int h = PvMenuBarHeight();
            ::SetWindowPos(m_hWndMenuBar, nullptr, rc.left, rc.top, rc.Width(), h, SWP_NOZORDER | SWP_NOACTIVATE);
            rc.top += h;
        }
        ::ShowWindow(m_hWndMenuBar, show ? SW_SHOWNA : SW_HIDE);
    }
    for (CControlBar* b : m_listControlBars) {
        if (!b->m_hWnd || !(b->GetStyle() & WS_VISIBLE)) continue;
        DWORD a = b->m_dwStyle & CBRS_ALIGN_ANY;
        bool horz = (a & CBRS_ORIENT_HORZ) || a == 0;
        CSize sz = b->CalcFixedLayout(TRUE, horz);
        CRect r;
        if (a & CBRS_ALIGN_BOTTOM) {
            r = CRect(rc.left, rc.bottom - sz.cy, rc.right, rc.bottom);
            rc.bottom -= sz.cy;
        } else if (a & CBRS_ALIGN_LEFT) {
            r = CRect(rc.left, rc.top, rc.left + sz.cx, rc.bottom);
            rc.left += sz.cx;
        } else if (a & CBRS_ALIGN_RIGHT) {
            r = CRect(rc.right - sz.cx, rc.top, rc.right, rc.bottom);
            rc.right -= sz.cx;
        } else {
            r = CRect(rc.left, rc.top, rc.right, rc.top + sz.cy);
            rc.top += sz.cy;
        }
        if (rc.bottom < rc.top) rc.bottom = rc.top;
        if (rc.right < rc.left) rc.right = rc.left;
        ::SetWindowPos(b->m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::SetWindowPos(pane, nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::EnableDocking(DWORD) {}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
    if (!pBar) return;
    DWORD align = 0;
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP: align = CBRS_ALIGN_TOP; break;
    case AFX_IDW_DOCKBAR_BOTTOM: align = CBRS_ALIGN_BOTTOM; break;
    case AFX_IDW_DOCKBAR_LEFT: align = CBRS_ALIGN_LEFT; break;
    case AFX_IDW_DOCKBAR_RIGHT: align = CBRS_ALIGN_RIGHT; break;
    default: break;
    }
    if (align) pBar->m_dwStyle = (pBar->m_dwStyle & ~DWORD(CBRS_ALIGN_ANY)) | align;
    else if (!(pBar->m_dwStyle & CBRS_ALIGN_ANY)) pBar->m_dwStyle |= CBRS_ALIGN_TOP;
    AddControlBar(pBar);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint, DWORD dwStyle)
{
    // Bars stay docked: a floating bar is docked on the side it names.
    if (pBar) pBar->m_dwStyle = (pBar->m_dwStyle & ~DWORD(CBRS_ALIGN_ANY)) | (dwStyle & CBRS_ALIGN_ANY);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar || !pBar->m_hWnd) return;
    pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (CControlBar* b : m_listControlBars)
        if (b->m_hWnd && UINT(b->GetDlgCtrlID()) == nID) return b;
    return nullptr;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* b = GetControlBar(pCmdUI->m_nID);
    if (b) {
        pCmdUI->SetCheck(b->IsWindowVisible() ? 1 : 0);
        pCmdUI->Enable(TRUE);
    } else {
        pCmdUI->ContinueRouting();
    }
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* b = GetControlBar(nID);
    if (!b) return FALSE;
    ShowControlBar(b, !b->IsWindowVisible(), FALSE);
    return TRUE;
}

// ---- Messages to the status bar ----
CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString s;
    if (AfxLoadStringResource(nID, s)) {
        int nl = s.Find('\n');
        rMessage = nl >= 0 ? s.Left(nl) : s;
    }
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT last = m_nIDLastMessage;
    m_nIDLastMessage = UINT(wParam);
    CWnd* bar = GetMessageBar();
    if (!bar) return last;
    CString text;
    if (wParam == AFX_IDS_IDLEMESSAGE) {
        if (!AfxLoadStringResource(AFX_IDS_IDLEMESSAGE, text)) text = "Ready";
    } else if (wParam) {
        GetMessageString(UINT(wParam), text);
    } else if (lParam) {
        text = reinterpret_cast<LPCTSTR>(lParam);
    }
    bar->SetWindowText(text);
    return last;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    return OnSetMessageString(wParam ? wParam : AFX_IDS_IDLEMESSAGE, lParam);
}

void CFrameWnd::SetMessageText(LPCTSTR text) { SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text)); }
void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }

// ---- Title ----
void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && doc) UpdateFrameTitleForDocument(doc->GetTitle());
    else UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR docName)
{
    CString text;
    if (docName && *docName) {
        if (GetStyle() & FWS_PREFIXTITLE) text = CString(docName) + " - " + m_strTitle;
        else text = m_strTitle + " - " + docName;
    } else {
        text = m_strTitle;
    }
    CString cur;
    GetWindowText(cur);
    if (cur != text) SetWindowText(text);
}

// ---- Menus and commands ----
CMenu* CFrameWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it the document) first, then the frame, then the application.
    CView* pView = GetActiveView();
    if (pView && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

namespace {
// Records what an update handler says about one command, without a menu item or control.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};
} // namespace

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A shortcut key must not run what its greyed menu item or toolbar button would refuse.
    if (lParam == 0) {
        CTestCmdUI state;
        state.m_nID = LOWORD(wParam);
        OnCmdMsg(state.m_nID, int(CN_UPDATE_COMMAND_UI), &state, nullptr);
        if (!state.m_bEnabled) return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        if (m_hAccelTable && ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg)) return TRUE;
        if (PvMenuBarPreTranslate(m_hWnd, pMsg)) return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CFrameWnd::OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam)
{
    OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pMenu) return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = pMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(int(state.m_nIndex));
        if (state.m_nID == 0) continue; // separator
        if (state.m_nID == UINT(-1)) {
            // A pop-up: enabled while any of its items might be, left to its own update.
            state.m_pSubMenu = pMenu->GetSubMenu(int(state.m_nIndex));
            if (!state.m_pSubMenu || state.m_pSubMenu->GetMenuItemCount() == 0) continue;
            state.m_pSubMenu = nullptr;
            continue;
        }
        state.m_pSubMenu = nullptr;
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // A handler may have removed items: keep the index on the next one.
        UINT count = pMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= (state.m_nIndexMax - count);
            while (state.m_nIndex < count && pMenu->GetMenuItemID(int(state.m_nIndex)) == state.m_nID) ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

LRESULT CFrameWnd::OnMenuSelectMsg(WPARAM wParam, LPARAM lParam)
{
    OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    return 0;
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu)
{
    if (nFlags == 0xFFFF && !hMenu) {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
        SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        return;
    }
    if (nFlags & (MF_SEPARATOR | MF_POPUP)) m_nIDTracking = 0;
    else m_nIDTracking = nItemID;
    if (m_nIDTracking) SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
    else SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(""));
}

LRESULT CFrameWnd::OnExitMenuLoop(WPARAM, LPARAM)
{
    SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUIMsg(WPARAM, LPARAM)
{
    OnIdleUpdateCmdUI();
    return 0;
}

void CFrameWnd::DelayUpdateFrameMenu(HMENU hMenuAlt)
{
    m_hMenuAlt = hMenuAlt;
    m_bMenuUpdatePending = TRUE;
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (hMenu && ::GetMenu(m_hWnd) != hMenu) {
        ::SetMenu(m_hWnd, hMenu);
        RecalcLayout();
    }
    ::DrawMenuBar(m_hWnd);
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    if (!m_hWnd) return;
    if (m_bMenuUpdatePending) {
        m_bMenuUpdatePending = FALSE;
        OnUpdateFrameMenu(m_hMenuAlt);
        if (!m_hWnd) return;
    }
    std::vector<CControlBar*> bars = m_listControlBars;
    for (CControlBar* b : bars)
        if (std::find(m_listControlBars.begin(), m_listControlBars.end(), b) != m_listControlBars.end() && b->m_hWnd &&
            b->IsWindowVisible())
            b->OnUpdateCmdUI(this, TRUE);
    // Bars of other frames and windows not registered here (a bar in a splitter) hear of it too.
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        CWnd* w = CWnd::FromHandlePermanent(c);
        if (w && w->IsKindOf(RUNTIME_CLASS(CControlBar)) &&
            std::find(bars.begin(), bars.end(), static_cast<CControlBar*>(w)) == bars.end())
            static_cast<CControlBar*>(w)->OnUpdateCmdUI(this, TRUE);
    }
}
