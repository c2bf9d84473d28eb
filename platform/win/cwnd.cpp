// CCmdTarget and CWnd: handle maps, subclassing, message-map dispatch, command routing and
// reflection, modal loops, and the window DCs.

#include "platform/win/cwnd.h"
#include "platform/win/wincore.h"
#include "platform/base/exceptions.h"
#include "platform/base/stringtable.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <cstring>
#include <deque>
#include <vector>
#include <set>
#include <unordered_map>

namespace {
// Both maps live for the whole process: window objects may be destroyed during exit.
std::unordered_map<HWND, CWnd*>& Permanent()
{
    static auto* m = new std::unordered_map<HWND, CWnd*>;
    return *m;
}
std::unordered_map<HWND, std::unique_ptr<CWnd>>& Temporary()
{
    static auto* m = new std::unordered_map<HWND, std::unique_ptr<CWnd>>;
    return *m;
}

CWnd* g_pWndInit = nullptr;     // the object whose window is being created
MSG g_lastMsg {};               // the message being handled, for Default()
PvPreTranslateHook g_preTranslate = nullptr;
std::string g_caption;
PvCaptionSource g_captionSource = nullptr;
int g_waitCursor = 0;
HCURSOR g_cursorBeforeWait = nullptr;

void onCreate(HWND h)
{
    CWnd* p = g_pWndInit;
    if (!p) return;
    g_pWndInit = nullptr;
    p->Attach(h);
    p->PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLong(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) p->m_pfnSuper = old;
}

void onDestroy(HWND h)
{
    Temporary().erase(h);
    auto it = Permanent().find(h);
    if (it != Permanent().end()) {
        // The window went away without its object hearing of it: the object must not keep the handle.
        it->second->m_hWnd = nullptr;
        Permanent().erase(it);
    }
}

void installHooks()
{
    static bool done = false;
    if (done) return;
    done = true;
    PvSetCreateHook(&onCreate);
    PvSetDestroyHook(&onDestroy);
}

bool isReflectable(UINT msg)
{
    switch (msg) {
    case WM_DRAWITEM: case WM_MEASUREITEM: case WM_DELETEITEM: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_HSCROLL: case WM_VSCROLL: case WM_PARENTNOTIFY:
        return true;
    default:
        return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
    }
}

HWND childOf(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_DRAWITEM: return lp ? reinterpret_cast<LPDRAWITEMSTRUCT>(lp)->hwndItem : nullptr;
    case WM_DELETEITEM: return lp ? reinterpret_cast<LPDELETEITEMSTRUCT>(lp)->hwndItem : nullptr;
    case WM_COMPAREITEM: return lp ? reinterpret_cast<LPCOMPAREITEMSTRUCT>(lp)->hwndItem : nullptr;
    case WM_MEASUREITEM: return nullptr;
    case WM_PARENTNOTIFY: return LOWORD(wp) == WM_CREATE || LOWORD(wp) == WM_DESTROY ? reinterpret_cast<HWND>(lp) : nullptr;
    default: return reinterpret_cast<HWND>(lp);
    }
}
} // namespace

// ---- CCmdTarget ----
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }
const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* m = GetMessageMap(); m; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = m->lpEntries; e && e->pfn; ++e) {
            UINT msg = e->pRegistered ? *e->pRegistered : e->nMessage;
            if (e->pRegistered && msg == 0) continue;
            if (msg == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
        }
        if (!m->pfnGetBaseMap) break;
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMsg = 0;
    UINT code = UINT(nCode);
    if (code != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
    }
    if (nMsg == 0) nMsg = WM_COMMAND;
    // Commands walk every entry: an ON_COMMAND_EX handler may decline and let the next one try.
    for (const AFX_MSGMAP* m = GetMessageMap(); m; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = m->lpEntries; e && e->pfn; ++e) {
            if (e->pRegistered || e->nMessage != nMsg || e->nCode != code || nID < e->nID || nID > e->nLastID) continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                return TRUE;
            }
            AfxMsgCall call {nMsg, 0, 0, 0, nID, code, pExtra};
            if (e->pfn(this, call)) return TRUE;
        }
        if (!m->pfnGetBaseMap) break;
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor()
{
    if (g_waitCursor++ == 0) g_cursorBeforeWait = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

void CCmdTarget::EndWaitCursor()
{
    if (g_waitCursor > 0 && --g_waitCursor == 0) ::SetCursor(g_cursorBeforeWait ? g_cursorBeforeWait : ::LoadCursor(nullptr, IDC_ARROW));
}

void CCmdTarget::RestoreWaitCursor()
{
    if (g_waitCursor > 0) ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

// ---- CWnd: the window procedure ----
LRESULT AfxWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* p = CWnd::FromHandlePermanent(h);
    if (!p) return ::DefWindowProc(h, msg, wp, lp);
    MSG saved = g_lastMsg;
    g_lastMsg = MSG {h, msg, wp, lp, 0, {0, 0}};
    LRESULT r = 0;
    try {
        r = p->WindowProc(msg, wp, lp);
    } catch (const CUserException&) {
        // The user cancelled and has been told whatever there was to tell.
        if (msg == WM_CREATE) r = -1;
    } catch (const CException& e) {
        // A handler's failure must not take the program down; the user hears of it.
        e.ReportError(MB_ICONEXCLAMATION);
        if (msg == WM_CREATE) r = -1;
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone: the object lets go of the handle, then may delete itself.
        if (CWnd::FromHandlePermanent(h) == p) {
            if (p->m_pfnSuper) ::SetWindowLong(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(p->m_pfnSuper));
            p->Detach();
            p->PostNcDestroy();
        }
    }
    g_lastMsg = saved;
    return r;
}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

CRuntimeClass* CWnd::s_pFrameWndClass = nullptr;

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;
const CWnd CWnd::wndTopMost;
const CWnd CWnd::wndNoTopMost;

static HWND insertAfterOf(const CWnd* p)
{
    if (p == &CWnd::wndTop) return HWND_TOP;
    if (p == &CWnd::wndBottom) return HWND_BOTTOM;
    if (p == &CWnd::wndTopMost) return HWND_TOPMOST;
    if (p == &CWnd::wndNoTopMost) return HWND_NOTOPMOST;
    return p ? p->m_hWnd : nullptr;
}

CWnd::~CWnd()
{
    if (m_hWnd && Permanent().count(m_hWnd) && Permanent()[m_hWnd] == this) {
        // Destroying the object destroys its window; the window's last messages see a plain CWnd.
        HWND h = m_hWnd;
        ::DestroyWindow(h);
        if (Permanent().count(h) && Permanent()[h] == this) Permanent().erase(h);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND h)
{
    auto it = Permanent().find(h);
    return it == Permanent().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND h)
{
    if (!h || (!::IsWindow(h) && h != ::GetDesktopWindow())) return nullptr;
    installHooks();
    if (CWnd* p = FromHandlePermanent(h)) return p;
    auto& t = Temporary();
    auto it = t.find(h);
    if (it != t.end()) return it->second.get();
    auto w = std::make_unique<CWnd>();
    w->m_hWnd = h;
    CWnd* raw = w.get();
    t[h] = std::move(w);
    return raw;
}

BOOL CWnd::Attach(HWND h)
{
    if (!h || m_hWnd || !::IsWindow(h)) return FALSE;
    installHooks();
    Temporary().erase(h);
    Permanent()[h] = this;
    m_hWnd = h;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h) {
        auto it = Permanent().find(h);
        if (it != Permanent().end() && it->second == this) Permanent().erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND h)
{
    if (!Attach(h)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLong(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent) return FALSE;
    HWND h = ::GetDlgItem(pParent->m_hWnd, int(nID));
    return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) ::SetWindowLong(m_hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Creation ----
BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
        cs.lpszClass = cls;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR cls, LPCTSTR name, DWORD style, int x, int y, int cx, int cy, HWND parent,
                    HMENU menu, LPVOID param)
{
    installHooks();
    CREATESTRUCT cs {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = cls;
    cs.lpszName = name;
    cs.style = LONG(style);
    cs.x = x; cs.y = y; cs.cx = cx; cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = menu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    g_pWndInit = this;
    HWND h = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                              cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (g_pWndInit == this) g_pWndInit = nullptr;
    return h ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR cls, LPCTSTR name, DWORD style, const RECT& r, CWnd* parent, UINT nID,
                    LPVOID param)
{
    return CreateEx(exStyle, cls, name, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(uintptr_t(nID)), param);
}

BOOL CWnd::Create(LPCTSTR cls, LPCTSTR name, DWORD style, const RECT& r, CWnd* parent, UINT nID, CCreateContext* context)
{
    return CreateEx(0, cls, name, style | WS_CHILD, r, parent, nID, context);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    HWND h = m_hWnd;
    bool permanent = FromHandlePermanent(h) == this;
    BOOL ok = ::DestroyWindow(h);
    // An object that merely wrapped the handle lets go of it here.
    if (!permanent && m_hWnd == h) m_hWnd = nullptr;
    return ok;
}

void CWnd::CalcWindowRect(LPRECT r, UINT)
{
    ::AdjustWindowRectEx(r, GetStyle(), FALSE, GetExStyle());
}

// ---- Messages ----
LRESULT CWnd::SendMessage(UINT m, WPARAM w, LPARAM l) const { return ::SendMessage(m_hWnd, m, w, l); }
BOOL CWnd::PostMessage(UINT m, WPARAM w, LPARAM l) const { return ::PostMessage(m_hWnd, m, w, l); }

void CWnd::SendMessageToDescendants(UINT m, WPARAM w, LPARAM l, BOOL deep)
{
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        HWND next = ::GetWindow(c, GW_HWNDNEXT);
        ::SendMessage(c, m, w, l);
        if (deep && ::IsWindow(c)) {
            CWnd tmp;
            tmp.m_hWnd = c;
            tmp.SendMessageToDescendants(m, w, l, TRUE);
            tmp.m_hWnd = nullptr;
        }
        if (!::IsWindow(c)) {
            c = next;
            if (!c) break;
        }
    }
}

const MSG* CWnd::GetCurrentMessage() { return &g_lastMsg; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = 0;
    if (!OnWndMsg(message, wParam, lParam, &r)) r = DefWindowProc(message, wParam, lParam);
    return r;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_lastMsg.message, g_lastMsg.wParam, g_lastMsg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT r = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        if (pResult) *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (!lParam) return FALSE;
        if (!OnNotify(wParam, lParam, &r)) return FALSE;
        if (pResult) *pResult = r;
        return TRUE;
    }
    UINT lookup = message;
    UINT code = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        lookup = WM_CTLCOLOR;
        code = message - WM_CTLCOLORMSGBOX;
    } else if (message >= WM_REFLECT_BASE + WM_CTLCOLORMSGBOX && message <= WM_REFLECT_BASE + WM_CTLCOLORSTATIC) {
        lookup = WM_REFLECT_BASE + WM_CTLCOLOR;
        code = message - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX;
    }
    const AFX_MSGMAP_ENTRY* e = nullptr;
    for (const AFX_MSGMAP* m = GetMessageMap(); m && !e; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* x = m->lpEntries; x && x->pfn; ++x) {
            if (x->pRegistered) {
                if (*x->pRegistered != 0 && *x->pRegistered == message) { e = x; break; }
                continue;
            }
            // Command and notification entries are found through OnCmdMsg, not here.
            if (x->nMessage != lookup || lookup == WM_COMMAND || lookup == WM_NOTIFY ||
                lookup == WM_REFLECT_BASE + WM_COMMAND || lookup == WM_REFLECT_BASE + WM_NOTIFY)
                continue;
            e = x;
            break;
        }
        if (!m->pfnGetBaseMap) break;
    }
    if (!e) {
        // No handler here: a control may handle what it sent its parent.
        if (isReflectable(message)) {
            HWND child = childOf(message, wParam, lParam);
            // A measuring request names its control by id only: the child with that id.
            if (message == WM_MEASUREITEM && lParam) {
                const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
                if (mis->CtlType != 1 /* ODT_MENU */) child = ::GetDlgItem(m_hWnd, int(mis->CtlID));
            }
            if (child && child != m_hWnd && ReflectLastMsg(child, &r)) {
                if (pResult) *pResult = r;
                return TRUE;
            }
        }
        return FALSE;
    }
    AfxMsgCall call {message, wParam, lParam, 0, 0, code, nullptr};
    if (!e->pfn(this, call)) return FALSE;
    if (pResult) *pResult = call.result;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hCtrl) {
        nCode = CN_COMMAND; // menus and accelerators
    } else {
        if (ReflectLastMsg(hCtrl)) return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr) return FALSE;
    if (hdr->hwndFrom && ReflectLastMsg(hdr->hwndFrom, pResult)) return TRUE;
    AFX_NOTIFY n {pResult, hdr};
    return OnCmdMsg(UINT(hdr->idFrom), int(MAKELONG(hdr->code, WM_NOTIFY)), &n, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hChild, LRESULT* pResult)
{
    CWnd* p = FromHandlePermanent(hChild);
    if (!p) return FALSE;
    return p->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    return OnChildNotify(g_lastMsg.message, g_lastMsg.wParam, g_lastMsg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_COMMAND: {
        int code = HIWORD(wParam);
        if (CCmdTarget::OnCmdMsg(0, int(MAKELONG(code, WM_REFLECT_BASE + WM_COMMAND)), nullptr, nullptr)) {
            if (pResult) *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (!hdr) return FALSE;
        AFX_NOTIFY n {pResult, hdr};
        return CCmdTarget::OnCmdMsg(0, int(MAKELONG(hdr->code, WM_REFLECT_BASE + WM_NOTIFY)), &n, nullptr);
    }
    default:
        if (!isReflectable(message)) return FALSE;
        {
            LRESULT r = 0;
            BOOL ok = OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &r);
            // A colour reflection that gives no brush leaves the parent's colours.
            if (ok && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && !r) return FALSE;
            if (ok && pResult) *pResult = r;
            return ok;
        }
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hStop, MSG* pMsg)
{
    if (!pMsg) return FALSE;
    for (HWND h = pMsg->hwnd; h; ) {
        if (CWnd* p = FromHandlePermanent(h))
            if (p->PreTranslateMessage(pMsg)) return TRUE;
        if (h == hStop || !::IsWindow(h)) break;
        if (!(::GetWindowLong(h, GWL_STYLE) & WS_CHILD)) break; // stops at the top-level window
        h = ::GetParent(h);
    }
    return FALSE;
}

// ---- Modal loops ----
BOOL AfxPumpMessage()
{
    MSG m;
    if (!::GetMessage(&m, nullptr, 0, 0)) return FALSE;
    bool done = g_preTranslate ? g_preTranslate(&m) != 0 : CWnd::WalkPreTranslateTree(nullptr, &m) != 0;
    if (!done) {
        ::TranslateMessage(&m);
        ::DispatchMessage(&m);
    }
    return TRUE;
}

void PvSetPreTranslateHook(PvPreTranslateHook hook) { g_preTranslate = hook; }

int CWnd::RunModalLoop(DWORD)
{
    m_nFlags |= WF_CONTINUEMODAL;
    HWND h = m_hWnd;
    while (ContinueModal()) {
        if (!AfxPumpMessage()) {
            ::PostQuitMessage(0); // the outer loop must still see the quit
            return -1;
        }
        if (!::IsWindow(h)) break;
    }
    return m_nModalResult;
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    m_nFlags &= ~WF_CONTINUEMODAL;
}

// ---- Tree ----
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* p) { return FromHandle(::SetParent(m_hWnd, p ? p->m_hWnd : nullptr)); }
CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }

CWnd* CWnd::GetTopLevelParent() const
{
    return FromHandle(pvwin::TopLevelOf(m_hWnd));
}

CWnd* CWnd::GetTopLevelOwner() const
{
    HWND top = pvwin::TopLevelOf(m_hWnd);
    while (top && ::GetWindow(top, GW_OWNER)) top = ::GetWindow(top, GW_OWNER);
    return FromHandle(top);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!s_pFrameWndClass) return nullptr;
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        CWnd* p = FromHandlePermanent(h);
        if (p && p->IsKindOf(s_pFrameWndClass)) return reinterpret_cast<CFrameWnd*>(p);
    }
    return nullptr;
}

CWnd* CWnd::GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
void CWnd::GetDlgItem(int id, HWND* ph) const { if (ph) *ph = ::GetDlgItem(m_hWnd, id); }

CWnd* CWnd::GetDescendantWindow(int id, BOOL onlyPerm) const
{
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(c) == id && (!onlyPerm || FromHandlePermanent(c))) return FromHandle(c);
        CWnd tmp;
        tmp.m_hWnd = c;
        CWnd* found = tmp.GetDescendantWindow(id, onlyPerm);
        tmp.m_hWnd = nullptr;
        if (found) return found;
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) { return int(::SetWindowLong(m_hWnd, GWL_ID, id)); }
BOOL CWnd::IsChild(const CWnd* p) const { return p ? ::IsChild(m_hWnd, p->m_hWnd) : FALSE; }
CWnd* CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
CWnd* CWnd::FindWindow(LPCTSTR c, LPCTSTR n) { return FromHandle(::FindWindow(c, n)); }
CWnd* CWnd::WindowFromPoint(POINT pt) { return FromHandle(::WindowFromPoint(pt)); }
CWnd* CWnd::ChildWindowFromPoint(POINT pt) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, pt)); }

// ---- State ----
DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLong(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return DWORD(::GetWindowLong(m_hWnd, GWL_EXSTYLE)); }

static BOOL modify(HWND h, int idx, DWORD remove, DWORD add, UINT flags)
{
    DWORD style = DWORD(::GetWindowLong(h, idx));
    DWORD next = (style & ~remove) | add;
    if (style == next) return FALSE;
    ::SetWindowLong(h, idx, LONG_PTR(next));
    if (flags) ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
BOOL CWnd::ModifyStyle(HWND h, DWORD r, DWORD a, UINT f) { return modify(h, GWL_STYLE, r, a, f); }
BOOL CWnd::ModifyStyleEx(HWND h, DWORD r, DWORD a, UINT f) { return modify(h, GWL_EXSTYLE, r, a, f); }
BOOL CWnd::ModifyStyle(DWORD r, DWORD a, UINT f) { return modify(m_hWnd, GWL_STYLE, r, a, f); }
BOOL CWnd::ModifyStyleEx(DWORD r, DWORD a, UINT f) { return modify(m_hWnd, GWL_EXSTYLE, r, a, f); }
BOOL CWnd::ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL b) { return ::EnableWindow(m_hWnd, b); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
void CWnd::SetWindowText(LPCTSTR s) { ::SetWindowText(m_hWnd, s); }
int CWnd::GetWindowText(LPTSTR buf, int n) const { return ::GetWindowText(m_hWnd, buf, n); }

void CWnd::GetWindowText(CString& s) const
{
    int n = ::GetWindowTextLength(m_hWnd);
    std::string buf(size_t(n) + 1, '\0');
    int got = ::GetWindowText(m_hWnd, buf.data(), n + 1);
    s = CString(buf.data(), got);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
void CWnd::SetFont(CFont* f, BOOL redraw) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(f ? f->m_hObject : nullptr), redraw); }
CFont* CWnd::GetFont() const
{
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    return h ? static_cast<CFont*>(CGdiObject::FromHandle(h)) : nullptr;
}
void CWnd::SetRedraw(BOOL b) { SendMessage(WM_SETREDRAW, b, 0); }
void CWnd::SetDlgItemText(int id, LPCTSTR s) { ::SetWindowText(::GetDlgItem(m_hWnd, id), s); }

int CWnd::GetDlgItemText(int id, CString& s) const
{
    s.Empty();
    CWnd* p = GetDlgItem(id);
    if (p) p->GetWindowText(s);
    return s.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT v, BOOL sign)
{
    char buf[32];
    if (sign) std::snprintf(buf, sizeof buf, "%d", int(v));
    else std::snprintf(buf, sizeof buf, "%u", v);
    SetDlgItemText(id, buf);
}

UINT CWnd::GetDlgItemInt(int id, BOOL* trans, BOOL sign) const
{
    CString s;
    GetDlgItemText(id, s);
    s.Trim();
    char* end = nullptr;
    long long v = std::strtoll(s, &end, 10);
    bool ok = !s.IsEmpty() && end && !*end && (sign || v >= 0) && v >= INT32_MIN && v <= UINT32_MAX;
    if (trans) *trans = ok;
    return ok ? UINT(v) : 0;
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT m, WPARAM w, LPARAM l) const
{
    return ::SendMessage(::GetDlgItem(m_hWnd, id), m, w, l);
}

// BM_SETCHECK and BM_GETCHECK of the button control.
void CWnd::CheckDlgButton(int id, UINT check) { SendDlgItemMessage(id, 0x00F1, check, 0); }
UINT CWnd::IsDlgButtonChecked(int id) const { return UINT(SendDlgItemMessage(id, 0x00F0, 0, 0)); }

void CWnd::CheckRadioButton(int first, int last, int checked)
{
    for (int id = first; id <= last; ++id) CheckDlgButton(id, id == checked ? 1 : 0);
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* ctl, BOOL previous) const
{
    std::vector<HWND> stops;
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        DWORD st = DWORD(::GetWindowLong(c, GWL_STYLE));
        if ((st & WS_TABSTOP) && (st & WS_VISIBLE) && !(st & WS_DISABLED)) stops.push_back(c);
    }
    if (stops.empty()) return nullptr;
    HWND from = ctl ? ctl->m_hWnd : nullptr;
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end()) return FromHandle(previous ? stops.back() : stops.front());
    size_t i = size_t(it - stops.begin());
    size_t n = stops.size();
    return FromHandle(stops[previous ? (i + n - 1) % n : (i + 1) % n]);
}

// ---- Position ----
void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL rep) { ::MoveWindow(m_hWnd, x, y, cx, cy, rep); }
void CWnd::MoveWindow(LPCRECT r, BOOL rep) { if (r) ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, rep); }
BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT f) { return ::SetWindowPos(m_hWnd, insertAfterOf(after), x, y, cx, cy, f); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
void CWnd::GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
void CWnd::GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
void CWnd::ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
void CWnd::ClientToScreen(LPRECT r) const { if (r) { ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->left)); ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->right)); } }
void CWnd::ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
void CWnd::ScreenToClient(LPRECT r) const { if (r) { ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->left)); ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->right)); } }
void CWnd::MapWindowPoints(CWnd* to, LPPOINT p, UINT n) const { ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, p, n); }
void CWnd::MapWindowPoints(CWnd* to, LPRECT r) const { ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(r), 2); }

void CWnd::CenterWindow(CWnd* alt)
{
    RECT me, over;
    ::GetWindowRect(m_hWnd, &me);
    HWND ref = alt ? alt->m_hWnd : (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    if (ref && ::IsWindowVisible(ref) && !::IsIconic(ref)) ::GetWindowRect(ref, &over);
    else SystemParametersInfo(SPI_GETWORKAREA, 0, &over, 0);
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = (over.left + over.right - w) / 2, y = (over.top + over.bottom - h) / 2;
    if (GetStyle() & WS_CHILD) {
        POINT p {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    } else {
        RECT work;
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Painting ----
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0; }
CDC* CWnd::BeginPaint(LPPAINTSTRUCT ps) { return CDC::FromHandle(::BeginPaint(m_hWnd, ps)); }
void CWnd::EndPaint(LPPAINTSTRUCT ps) { ::EndPaint(m_hWnd, ps); }
void CWnd::Invalidate(BOOL e) { ::InvalidateRect(m_hWnd, nullptr, e); }
void CWnd::InvalidateRect(LPCRECT r, BOOL e) { ::InvalidateRect(m_hWnd, r, e); }
void CWnd::InvalidateRgn(CRgn* rgn, BOOL e) { ::InvalidateRgn(m_hWnd, rgn ? HRGN(*rgn) : nullptr, e); }
void CWnd::ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
void CWnd::ValidateRgn(CRgn* rgn) { ::ValidateRgn(m_hWnd, rgn ? HRGN(*rgn) : nullptr); }
BOOL CWnd::GetUpdateRect(LPRECT r, BOOL e) { return ::GetUpdateRect(m_hWnd, r, e); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT r, CRgn* rgn, UINT f) { return ::RedrawWindow(m_hWnd, r, rgn ? HRGN(*rgn) : nullptr, f); }
void CWnd::ScrollWindow(int dx, int dy, LPCRECT r, LPCRECT c) { ::ScrollWindow(m_hWnd, dx, dy, r, c); }
int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT r, LPCRECT c, CRgn* rgn, LPRECT u, UINT f)
{
    return ::ScrollWindowEx(m_hWnd, dx, dy, r, c, rgn ? HRGN(*rgn) : nullptr, u, f);
}

// ---- Input ----
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT ms, TIMERPROC fn) { return ::SetTimer(m_hWnd, id, ms, fn); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
void CWnd::CreateSolidCaret(int w, int h) { ::CreateCaret(m_hWnd, nullptr, w, h); }
void CWnd::CreateGrayCaret(int w, int h) { ::CreateCaret(m_hWnd, reinterpret_cast<HBITMAP>(uintptr_t(1)), w, h); }
void CWnd::ShowCaret() { ::ShowCaret(m_hWnd); }
void CWnd::HideCaret() { ::HideCaret(m_hWnd); }
void CWnd::SetCaretPos(POINT p) { ::SetCaretPos(p.x, p.y); }
CPoint CWnd::GetCaretPos()
{
    POINT p {0, 0};
    ::GetCaretPos(&p);
    return CPoint(p);
}
static std::string defaultCaption();

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type)
{
    std::string cap;
    if (!caption) {
        cap = defaultCaption();
        caption = cap.c_str();
    }
    return ::MessageBox(m_hWnd, text, caption, type);
}

// ---- Scroll bars ----
CScrollBar* CWnd::GetScrollBarCtrl(int) const { return nullptr; }

BOOL CWnd::SetScrollInfo(int bar, LPSCROLLINFO si, BOOL redraw)
{
    if (!si) return FALSE;
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) return sb->SetScrollInfo(si, redraw);
    ::SetScrollInfo(m_hWnd, bar, si, redraw);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO si, UINT mask)
{
    if (!si) return FALSE;
    si->fMask = mask;
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) return sb->GetScrollInfo(si, mask);
    return ::GetScrollInfo(m_hWnd, bar, si);
}

int CWnd::SetScrollPos(int bar, int pos, BOOL redraw)
{
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) return sb->SetScrollPos(pos, redraw);
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
}

int CWnd::GetScrollPos(int bar) const
{
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) return sb->GetScrollPos();
    return ::GetScrollPos(m_hWnd, bar);
}

void CWnd::SetScrollRange(int bar, int lo, int hi, BOOL redraw)
{
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) { sb->SetScrollRange(lo, hi, redraw); return; }
    ::SetScrollRange(m_hWnd, bar, lo, hi, redraw);
}

void CWnd::GetScrollRange(int bar, LPINT lo, LPINT hi) const
{
    if (CScrollBar* sb = GetScrollBarCtrl(bar)) { sb->GetScrollRange(lo, hi); return; }
    ::GetScrollRange(m_hWnd, bar, lo, hi);
}

int CWnd::GetScrollLimit(int bar)
{
    SCROLLINFO si {sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(bar, &si, SIF_RANGE | SIF_PAGE)) return 0;
    return si.nMax - std::max<int>(int(si.nPage) - 1, 0);
}

void CWnd::ShowScrollBar(UINT bar, BOOL show) { ::ShowScrollBar(m_hWnd, int(bar), show); }
BOOL CWnd::EnableScrollBar(int bar, UINT arrows) { return ::EnableScrollBar(m_hWnd, UINT(bar), arrows); }

// ---- Default handlers ----
int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return BOOL(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return BOOL(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return int(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnDeadChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysDeadChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcMButtonDown(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar* sb)
{
    if (sb && ReflectLastMsg(sb->m_hWnd)) return;
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar* sb)
{
    if (sb && ReflectLastMsg(sb->m_hWnd)) return;
    Default();
}
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
UINT CWnd::OnGetDlgCode() { return UINT(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT r = 0;
    if (pWnd && pWnd->m_hWnd != m_hWnd && ReflectLastMsg(pWnd->m_hWnd, &r)) return reinterpret_cast<HBRUSH>(r);
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnWinIniChange(LPCTSTR) { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnStyleChanging(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT d)
{
    if (d && ReflectLastMsg(d->hwndItem)) return;
    Default();
}
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT d)
{
    if (d && ReflectLastMsg(d->hwndItem)) return;
    Default();
}
int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT c)
{
    LRESULT r = 0;
    if (c && ReflectLastMsg(c->hwndItem, &r)) return int(r);
    return int(Default());
}

// CWnd's own map is empty: unmapped messages go straight to the default procedure.
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

// ---- Window classes ----
LPCTSTR AfxRegisterWndClass(UINT style, HCURSOR cursor, HBRUSH bg, HICON icon)
{
    static std::set<std::string> names;
    char buf[96];
    std::snprintf(buf, sizeof buf, "Afx:%x:%lx:%lx:%lx", style, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(cursor)),
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(bg)), static_cast<unsigned long>(reinterpret_cast<uintptr_t>(icon)));
    auto it = names.insert(buf).first;
    WNDCLASS wc {};
    if (!::GetClassInfo(AfxGetInstanceHandle(), it->c_str(), &wc)) {
        wc.style = style;
        wc.lpfnWndProc = &::DefWindowProc;
        wc.hCursor = cursor;
        wc.hbrBackground = bg;
        wc.hIcon = icon;
        wc.lpszClassName = it->c_str();
        ::RegisterClass(&wc);
    }
    return it->c_str();
}

// ---- Message boxes ----
void PvSetMessageBoxCaption(LPCTSTR c) { g_caption = c ? c : ""; }
void PvSetMessageBoxCaptionSource(PvCaptionSource source) { g_captionSource = source; }

static std::string defaultCaption()
{
    // Asked at each box: the name may only become known once start-up has loaded the strings.
    if (g_captionSource)
        if (LPCTSTR c = g_captionSource(); c && *c) return c;
    if (!g_caption.empty()) return g_caption;
    char path[MAX_PATH + 1] = {};
    ssize_t n = readlink("/proc/self/exe", path, MAX_PATH);
    if (n <= 0) return "Error";
    std::string s(path, size_t(n));
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? s : s.substr(slash + 1);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT)
{
    HWND owner = ::GetActiveWindow();
    if (!owner) owner = PvGetMainWindow();
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: case MB_YESNO: case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
        case MB_OK: type |= MB_ICONEXCLAMATION; break;
        default: break;
        }
    }
    std::string cap = defaultCaption();
    return ::MessageBox(owner, text, cap.c_str(), type);
}

int AfxMessageBox(UINT nID, UINT type, UINT help)
{
    CString s;
    if (!AfxLoadStringResource(nID, s)) s.Empty();
    return AfxMessageBox(s, type, help == UINT(-1) ? nID : help);
}

// ---- DCs ----
CPaintDC::CPaintDC(CWnd* w) : m_hWnd(w ? w->m_hWnd : nullptr)
{
    HDC h = ::BeginPaint(m_hWnd, &m_ps);
    if (h) Attach(h);
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* w) : m_hWnd(w ? w->m_hWnd : nullptr)
{
    HDC h = ::GetDC(m_hWnd);
    if (h) Attach(h);
}

CClientDC::~CClientDC()
{
    HDC h = Detach();
    if (h) ::ReleaseDC(m_hWnd, h);
}

CWindowDC::CWindowDC(CWnd* w) : m_hWnd(w ? w->m_hWnd : nullptr)
{
    HDC h = ::GetWindowDC(m_hWnd);
    if (h) Attach(h);
}

CWindowDC::~CWindowDC()
{
    HDC h = Detach();
    if (h) ::ReleaseDC(m_hWnd, h);
}

// ---- CScrollBar ----
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::Create(DWORD style, const RECT& r, CWnd* parent, UINT nID)
{
    return CWnd::Create("ScrollBar", nullptr, style, r, parent, nID);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO si, UINT mask)
{
    if (!si) return FALSE;
    si->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, si);
}

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO si {sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    ::GetScrollInfo(m_hWnd, SB_CTL, &si);
    return si.nMax - std::max<int>(int(si.nPage) - 1, 0);
}
