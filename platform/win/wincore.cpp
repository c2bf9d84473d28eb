// Windows: the handle table, window classes, creation and destruction, the window tree,
// z-order, positions, styles and text.

#include "platform/win/wincore.h"
#include "platform/win/sessionwins.h"
#include "platform/win/pvwin.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unordered_map>

namespace pvwin {

// ---- Region ----
bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT RectIntersect(const RECT& a, const RECT& b)
{
    RECT r { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom) };
    if (RectEmpty(r)) r = RECT {0, 0, 0, 0};
    return r;
}
RECT RectOffset(RECT r, int dx, int dy) { r.left += dx; r.right += dx; r.top += dy; r.bottom += dy; return r; }

static void subtractOne(const RECT& a, const RECT& b, std::vector<RECT>& out)
{
    RECT i = RectIntersect(a, b);
    if (RectEmpty(i)) { out.push_back(a); return; }
    if (a.top < i.top) out.push_back(RECT {a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back(RECT {a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back(RECT {a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back(RECT {i.right, i.top, a.right, i.bottom});
}

void Region::add(const RECT& r)
{
    if (RectEmpty(r)) return;
    std::vector<RECT> pieces {r};
    for (const RECT& e : m_rects) {
        std::vector<RECT> next;
        for (const RECT& p : pieces) subtractOne(p, e, next);
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
}

void Region::subtract(const RECT& r)
{
    if (RectEmpty(r)) return;
    std::vector<RECT> next;
    for (const RECT& e : m_rects) subtractOne(e, r, next);
    m_rects.swap(next);
}

void Region::intersect(const RECT& r)
{
    std::vector<RECT> next;
    for (const RECT& e : m_rects) {
        RECT i = RectIntersect(e, r);
        if (!RectEmpty(i)) next.push_back(i);
    }
    m_rects.swap(next);
}

void Region::offset(int dx, int dy)
{
    for (RECT& e : m_rects) e = RectOffset(e, dx, dy);
}

RECT Region::bounds() const
{
    if (m_rects.empty()) return RECT {0, 0, 0, 0};
    RECT b = m_rects[0];
    for (const RECT& e : m_rects) {
        b.left = std::min(b.left, e.left); b.top = std::min(b.top, e.top);
        b.right = std::max(b.right, e.right); b.bottom = std::max(b.bottom, e.bottom);
    }
    return b;
}

bool Region::intersects(const RECT& r) const
{
    for (const RECT& e : m_rects)
        if (!RectEmpty(RectIntersect(e, r))) return true;
    return false;
}

// ---- The handle table ----
namespace {
struct Table {
    std::unordered_map<uintptr_t, std::unique_ptr<Wnd>> windows;
    uintptr_t next = 1;
    std::vector<ClassRec> classes;
    int cascade = 0;
};
Table& T()
{
    static Table t;
    return t;
}
uintptr_t key(HWND h) { return reinterpret_cast<uintptr_t>(h); }
HWND makeHandle() { return reinterpret_cast<HWND>((T().next++) << 4); }

PvCreateHook g_createHook = nullptr;
PvDestroyHook g_destroyHook = nullptr;

ClassRec* findClass(LPCTSTR name)
{
    if (!name) return nullptr;
    for (ClassRec& c : T().classes)
        if (strcasecmp(c.name.c_str(), name) == 0) return &c;
    return nullptr;
}
} // namespace

Wnd* W(HWND h)
{
    if (!h) return nullptr;
    auto it = T().windows.find(key(h));
    return it == T().windows.end() ? nullptr : it->second.get();
}

Wnd* Desktop()
{
    static Wnd* d = [] {
        auto w = std::make_unique<Wnd>();
        w->h = makeHandle();
        w->className = "#32769";
        w->style = WS_VISIBLE | WS_CLIPCHILDREN;
        Wnd* p = w.get();
        T().windows[key(w->h)] = std::move(w);
        return p;
    }();
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    d->rc = RECT {0, 0, cx, cy};
    d->rcClient = d->rc;
    return d;
}

HWND DesktopHandle() { return Desktop()->h; }

std::vector<HWND> AllWindows()
{
    std::vector<HWND> v;
    for (auto& [k, w] : T().windows) v.push_back(w->h);
    return v;
}

bool IsTopLevel(const Wnd* w) { return w && w->parent == DesktopHandle(); }

HWND TopLevelOf(HWND h)
{
    Wnd* w = W(h);
    while (w && w->parent && w->parent != DesktopHandle()) w = W(w->parent);
    return (w && w->parent) ? w->h : nullptr;
}

bool IsVisibleDeep(HWND h)
{
    for (Wnd* w = W(h); w; w = W(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return false;
        if (w->minimized && w->parent) return false;
    }
    return h != nullptr && W(h) != nullptr;
}

POINT WindowOrigin(HWND h)
{
    POINT p {0, 0};
    for (Wnd* w = W(h); w && w->parent; w = W(w->parent)) {
        p.x += w->rc.left;
        p.y += w->rc.top;
        Wnd* par = W(w->parent);
        if (par && par->parent) { p.x += par->rcClient.left; p.y += par->rcClient.top; }
    }
    return p;
}

POINT ClientOrigin(HWND h)
{
    Wnd* w = W(h);
    POINT p = WindowOrigin(h);
    if (w && w->parent) { p.x += w->rcClient.left; p.y += w->rcClient.top; }
    return p;
}

RECT ScreenRect(HWND h)
{
    Wnd* w = W(h);
    if (!w) return RECT {0, 0, 0, 0};
    if (!w->parent) return w->rc;
    POINT o = WindowOrigin(h);
    return RECT {o.x, o.y, o.x + (w->rc.right - w->rc.left), o.y + (w->rc.bottom - w->rc.top)};
}

void RecalcClient(Wnd* w)
{
    HWND h = w->h;
    RECT r {0, 0, w->rc.right - w->rc.left, w->rc.bottom - w->rc.top};
    NCCALCSIZE_PARAMS p {};
    p.rgrc[0] = w->rc;  // the proposed window rectangle in parent coordinates
    Send(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&p.rgrc[0]));
    if (!(w = W(h))) return; // the handler may have destroyed the window
    RECT c = p.rgrc[0];
    c = RectOffset(c, -w->rc.left, -w->rc.top);
    c.left = std::clamp<LONG>(c.left, 0, r.right);
    c.top = std::clamp<LONG>(c.top, 0, r.bottom);
    c.right = std::clamp<LONG>(c.right, c.left, r.right);
    c.bottom = std::clamp<LONG>(c.bottom, c.top, r.bottom);
    w->rcClient = c;
}

// The window under a screen point: visible, topmost first; children before their parent.
static HWND hitIn(HWND h, POINT pt, bool skipTransparent)
{
    Wnd* w = W(h);
    if (!w || !(w->style & WS_VISIBLE) || (w->minimized && w->parent)) return nullptr;
    RECT sr = ScreenRect(h);
    if (w->parent && (pt.x < sr.left || pt.x >= sr.right || pt.y < sr.top || pt.y >= sr.bottom)) return nullptr;
    POINT co = ClientOrigin(h);
    RECT cr = RectOffset(RECT {0, 0, w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top}, co.x, co.y);
    if (!w->parent || (pt.x >= cr.left && pt.x < cr.right && pt.y >= cr.top && pt.y < cr.bottom)) {
        std::vector<HWND> kids = w->children;
        for (HWND c : kids) {
            HWND r = hitIn(c, pt, skipTransparent);
            if (r) return r;
        }
    }
    if (!w->parent) return nullptr;
    if (skipTransparent && (w->exStyle & WS_EX_TRANSPARENT)) return nullptr;
    return h;
}

HWND HitWindow(POINT pt, bool skipTransparent) { return hitIn(DesktopHandle(), pt, skipTransparent); }

} // namespace pvwin

using namespace pvwin;

void PvSetCreateHook(PvCreateHook hook) { g_createHook = hook; }
void PvSetDestroyHook(PvDestroyHook hook) { g_destroyHook = hook; }

// ---- Classes ----
ATOM RegisterClass(const WNDCLASS* wc)
{
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) return 0;
    if (findClass(wc->lpszClassName)) { SetLastError(1410 /* class already exists */); return 0; }
    if (wc->cbWndExtra < 0 || wc->cbWndExtra > 4096 || wc->cbClsExtra < 0) return 0;
    ClassRec c;
    c.name = wc->lpszClassName;
    c.wc = *wc;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) { c.menuName = wc->lpszMenuName; }
    c.wc.lpszClassName = nullptr;
    T().classes.push_back(c);
    return ATOM(0xC000 + T().classes.size());
}

BOOL UnregisterClass(LPCTSTR name, HINSTANCE)
{
    auto& v = T().classes;
    for (auto it = v.begin(); it != v.end(); ++it)
        if (strcasecmp(it->name.c_str(), name ? name : "") == 0) { v.erase(it); return TRUE; }
    return FALSE;
}

BOOL GetClassInfo(HINSTANCE, LPCTSTR name, LPWNDCLASS out)
{
    ClassRec* c = findClass(name);
    if (!c) return FALSE;
    if (out) {
        *out = c->wc;
        out->lpszClassName = name;
        if (!c->menuName.empty()) out->lpszMenuName = c->menuName.c_str();
    }
    return TRUE;
}

int GetClassName(HWND h, LPTSTR buf, int n)
{
    Wnd* w = W(h);
    if (!w || !buf || n <= 0) return 0;
    int len = std::min<int>(int(w->className.size()), n - 1);
    memcpy(buf, w->className.data(), size_t(len));
    buf[len] = 0;
    return len;
}

DWORD GetClassLong(HWND h, int idx)
{
    Wnd* w = W(h);
    if (!w) return 0;
    switch (idx) {
    case GCL_STYLE: return w->wc.style;
    default: return 0;
    }
}

DWORD SetClassLong(HWND h, int idx, LONG v)
{
    Wnd* w = W(h);
    if (!w) return 0;
    DWORD old = 0;
    if (idx == GCL_STYLE) {
        old = w->wc.style;
        w->wc.style = UINT(v);
        if (ClassRec* c = findClass(w->className.c_str())) c->wc.style = UINT(v);
    }
    return old;
}

HINSTANCE AfxGetInstanceHandle() { return reinterpret_cast<HINSTANCE>(uintptr_t(0x400000)); }
HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

// ---- Creation and destruction ----
static void insertChild(Wnd* parent, HWND h, bool top)
{
    LayoutChanged();
    auto& v = parent->children;
    if (!top) { v.push_back(h); return; }
    // Top-level windows go to the top of their group: topmost ones stay above the rest.
    Wnd* w = W(h);
    auto pos = v.begin();
    if (w && !(w->exStyle & WS_EX_TOPMOST))
        while (pos != v.end() && W(*pos) && (W(*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
    v.insert(pos, h);
}

static void removeChild(Wnd* parent, HWND h)
{
    if (!parent) return;
    LayoutChanged();
    auto& v = parent->children;
    v.erase(std::remove(v.begin(), v.end(), h), v.end());
}

HWND CreateWindowEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND hParent, HMENU hMenu, HINSTANCE hInst, LPVOID lpParam)
{
    ClassRec* cls = findClass(className);
    if (!cls) { SetLastError(1407 /* class does not exist */); return nullptr; }
    if ((style & WS_CHILD) && !W(hParent)) { SetLastError(1406 /* cannot create top-level child */); return nullptr; }
    if (hParent && !W(hParent) && hParent != HWND_MESSAGE) { SetLastError(1400); return nullptr; }

    auto owned = std::make_unique<Wnd>();
    Wnd* w = owned.get();
    w->h = makeHandle();
    w->className = cls->name;
    w->wc = cls->wc;
    w->proc = cls->wc.lpfnWndProc;
    w->exStyle = exStyle;
    w->extra.assign(size_t(cls->wc.cbWndExtra + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR), 0);
    w->text = windowName ? windowName : "";
    bool child = (style & WS_CHILD) != 0;
    if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS; // overlapped windows always have one
    w->style = style & ~WS_VISIBLE;
    if (child) {
        w->parent = hParent;
        w->id = reinterpret_cast<UINT_PTR>(hMenu);
    } else {
        w->parent = DesktopHandle();
        w->owner = hParent ? TopLevelOf(hParent) : nullptr;
        if (hParent && !w->owner && W(hParent) && IsTopLevel(W(hParent))) w->owner = hParent;
        w->menu = hMenu;
    }
    if (!child && x == CW_USEDEFAULT) {
        int step = 26 * (T().cascade++ % 8);
        x = 40 + step;
        y = 40 + step;
    }
    if (!child && cx == CW_USEDEFAULT) {
        cx = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
        cy = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
    }
    if (x == CW_USEDEFAULT) x = 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (cx == CW_USEDEFAULT || cx < 0) cx = 0;
    if (cy == CW_USEDEFAULT || cy < 0) cy = 0;
    w->rc = RECT {x, y, x + cx, y + cy};
    HWND h = w->h;
    T().windows[key(h)] = std::move(owned);
    insertChild(W(w->parent), h, !child);

    if (g_createHook) g_createHook(h);

    CREATESTRUCT cs {};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInst;
    cs.hMenu = hMenu;
    cs.hwndParent = hParent;
    cs.x = x; cs.y = y; cs.cx = cx; cs.cy = cy;
    cs.style = LONG(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;

    if (!IsTopLevel(W(h)) || true) {
        if (!Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) || !W(h)) {
            if (W(h)) DestroyWindow(h);
            return nullptr;
        }
    }
    RecalcClient(W(h));
    if (!W(h)) return nullptr;
    if (Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !W(h)) {
        if (W(h)) DestroyWindow(h);
        return nullptr;
    }
    w = W(h);
    Send(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top));
    if (!W(h)) return nullptr;
    w = W(h);
    Send(h, WM_MOVE, 0, MAKELPARAM(w->rc.left + w->rcClient.left, w->rc.top + w->rcClient.top));
    if (!W(h)) return nullptr;
    if (child) ParentNotify(h, WM_CREATE, reinterpret_cast<LPARAM>(h));
    if (!W(h)) return nullptr;
    if (style & WS_MAXIMIZE) ShowWindow(h, SW_SHOWMAXIMIZED);
    else if (style & WS_VISIBLE) ShowWindow(h, SW_SHOW);
    return W(h) ? h : nullptr;
}

static void destroyRec(HWND h)
{
    Wnd* w = W(h);
    if (!w) return;
    w->destroying = true;
    Send(h, WM_DESTROY, 0, 0);
    if (!W(h)) return;
    std::vector<HWND> kids = W(h)->children;
    for (HWND c : kids) destroyRec(c);
    if (!W(h)) return;
    Send(h, WM_NCDESTROY, 0, 0);
    w = W(h);
    if (!w) return;
    OnWindowDestroyed(h);
    if (g_destroyHook) g_destroyHook(h);
    removeChild(W(w->parent), h);
    FreeSurface(w);
    T().windows.erase(key(h));
}

BOOL DestroyWindow(HWND h)
{
    Wnd* w = W(h);
    if (!w || !w->parent || w->destroying) return FALSE;
    bool top = IsTopLevel(w);
    // Owned windows go first, as their owner's lifetime bounds theirs.
    if (top) {
        std::vector<HWND> owned;
        for (HWND t : Desktop()->children)
            if (W(t) && W(t)->owner == h) owned.push_back(t);
        for (HWND t : owned) DestroyWindow(t);
        if (!W(h)) return TRUE;
    }
    if (!top) {
        ParentNotify(h, WM_DESTROY, reinterpret_cast<LPARAM>(h));
        if (!W(h) || W(h)->destroying) return TRUE;
        // Hidden or not, the focus must not stay on a window that is going away.
        MoveFocusOffTree(h);
        if (!W(h) || W(h)->destroying) return TRUE;
    }
    w = W(h);
    RECT screen = ScreenRect(h);
    bool wasVisible = IsVisibleDeep(h);
    if (w->style & WS_VISIBLE) {
        // Hide first so that activation and focus move on before the window goes away.
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!W(h)) return TRUE;
    }
    HWND parent = W(h)->parent;
    destroyRec(h);
    if (wasVisible) InvalidateScreenArea(screen, nullptr);
    (void)parent;
    if (top) CurrentBackend().windowChanged(h);
    return TRUE;
}

BOOL IsWindow(HWND h)
{
    Wnd* w = W(h);
    return w && w->parent ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND h) { return IsVisibleDeep(h) ? TRUE : FALSE; }

BOOL IsWindowEnabled(HWND h)
{
    Wnd* w = W(h);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsChild(HWND hParent, HWND h)
{
    Wnd* w = W(h);
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == hParent) return TRUE;
        w = W(w->parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND h) { Wnd* w = W(h); return w && w->minimized ? TRUE : FALSE; }
BOOL IsZoomed(HWND h) { Wnd* w = W(h); return w && w->maximized ? TRUE : FALSE; }

HWND GetParent(HWND h)
{
    Wnd* w = W(h);
    if (!w || !w->parent) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    if (w->style & WS_POPUP) return w->owner;
    return nullptr;
}

HWND SetParent(HWND h, HWND hNew)
{
    Wnd* w = W(h);
    if (!w || !w->parent) return nullptr;
    HWND old = GetParent(h);
    Wnd* np = hNew ? W(hNew) : Desktop();
    if (!np) return nullptr;
    for (Wnd* a = np; a; a = W(a->parent))
        if (a->h == h) return nullptr; // would make a cycle
    bool vis = IsVisibleDeep(h);
    RECT before = ScreenRect(h);
    removeChild(W(w->parent), h);
    w->parent = np->h;
    if (np == Desktop()) w->style &= ~WS_CHILD;
    insertChild(np, h, np == Desktop());
    if (vis) InvalidateScreenArea(before, nullptr);
    if (IsVisibleDeep(h)) ExposeWindow(h);
    return old;
}

HWND GetDesktopWindow() { return DesktopHandle(); }

HWND GetWindow(HWND h, UINT cmd)
{
    Wnd* w = W(h);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER) return w->owner;
    Wnd* p = W(w->parent);
    if (!p) return nullptr;
    auto& v = p->children;
    auto it = std::find(v.begin(), v.end(), h);
    if (it == v.end()) return nullptr;
    switch (cmd) {
    case GW_HWNDFIRST: return v.front();
    case GW_HWNDLAST: return v.back();
    case GW_HWNDNEXT: return (it + 1) == v.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == v.begin() ? nullptr : *(it - 1);
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND h)
{
    Wnd* w = h ? W(h) : Desktop();
    return w && !w->children.empty() ? w->children.front() : nullptr;
}

HWND GetDlgItem(HWND hDlg, int id)
{
    Wnd* w = W(hDlg);
    if (!w) return nullptr;
    for (HWND c : w->children)
        if (W(c) && W(c)->id == UINT_PTR(id)) return c;
    return nullptr;
}

int GetDlgCtrlID(HWND h)
{
    Wnd* w = W(h);
    return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

HWND FindWindow(LPCTSTR cls, LPCTSTR name)
{
    for (HWND t : Desktop()->children) {
        Wnd* w = W(t);
        if (!w) continue;
        if (cls && strcasecmp(w->className.c_str(), cls) != 0) continue;
        if (name && w->text != name) continue;
        return t;
    }
    return FindSessionWindow(cls, name);
}

static bool enumRec(HWND h, WNDENUMPROC fn, LPARAM lp)
{
    Wnd* w = W(h);
    if (!w) return true;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
        if (!W(c)) continue;
        if (!fn(c, lp)) return false;
        if (!enumRec(c, fn, lp)) return false;
    }
    return true;
}

BOOL EnumChildWindows(HWND hParent, WNDENUMPROC fn, LPARAM lp)
{
    if (!fn) return FALSE;
    return enumRec(hParent ? hParent : DesktopHandle(), fn, lp) ? TRUE : FALSE;
}

BOOL EnumWindows(WNDENUMPROC fn, LPARAM lp)
{
    if (!fn) return FALSE;
    std::vector<HWND> tops = Desktop()->children;
    for (HWND t : tops)
        if (W(t) && !fn(t, lp)) return FALSE;
    return TRUE;
}

LONG_PTR GetWindowLong(HWND h, int idx)
{
    Wnd* w = W(h);
    if (!w) return 0;
    switch (idx) {
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
    case GWL_ID: return LONG_PTR(w->id);
    case GWL_USERDATA: return w->userData;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(GetParent(h));
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(AfxGetInstanceHandle());
    default:
        if (idx >= 0 && size_t(idx) / sizeof(LONG_PTR) < w->extra.size()) return w->extra[size_t(idx) / sizeof(LONG_PTR)];
        return 0;
    }
}

LONG_PTR SetWindowLong(HWND h, int idx, LONG_PTR v)
{
    Wnd* w = W(h);
    if (!w) return 0;
    LONG_PTR old = GetWindowLong(h, idx);
    switch (idx) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT ss {DWORD(old), DWORD(v)};
        WPARAM which = WPARAM(idx);
        Send(h, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
        if (!(w = W(h))) return old;
        if (idx == GWL_STYLE) {
            // Visibility is changed through ShowWindow, not by style writes.
            w->style = (ss.styleNew & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
        } else {
            w->exStyle = ss.styleNew;
        }
        Send(h, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
        break;
    }
    case GWL_ID: w->id = UINT_PTR(v); break;
    case GWL_USERDATA: w->userData = v; break;
    case GWL_WNDPROC: if (v) w->proc = reinterpret_cast<WNDPROC>(v); break;
    default:
        if (idx >= 0 && size_t(idx) / sizeof(LONG_PTR) < w->extra.size()) w->extra[size_t(idx) / sizeof(LONG_PTR)] = v;
        else return 0;
    }
    return old;
}

BOOL SetWindowText(HWND h, LPCTSTR s)
{
    if (!W(h)) return FALSE;
    return Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s ? s : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND h, LPTSTR buf, int n)
{
    if (!W(h) || !buf || n <= 0) return 0;
    buf[0] = 0;
    return int(Send(h, WM_GETTEXT, WPARAM(n), reinterpret_cast<LPARAM>(buf)));
}

int GetWindowTextLength(HWND h)
{
    if (!W(h)) return 0;
    return int(Send(h, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetProp(HWND h, LPCTSTR name, HANDLE data)
{
    Wnd* w = W(h);
    if (!w || !name) return FALSE;
    w->props[name] = data;
    return TRUE;
}

HANDLE GetProp(HWND h, LPCTSTR name)
{
    Wnd* w = W(h);
    if (!w || !name) return nullptr;
    auto it = w->props.find(name);
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND h, LPCTSTR name)
{
    Wnd* w = W(h);
    if (!w || !name) return nullptr;
    auto it = w->props.find(name);
    if (it == w->props.end()) return nullptr;
    HANDLE d = it->second;
    w->props.erase(it);
    return d;
}

// ---- Positions ----
BOOL GetWindowRect(HWND h, LPRECT r)
{
    if (!W(h) || !r) return FALSE;
    *r = ScreenRect(h);
    return TRUE;
}

BOOL GetClientRect(HWND h, LPRECT r)
{
    Wnd* w = W(h);
    if (!w || !r) return FALSE;
    *r = RECT {0, 0, w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top};
    return TRUE;
}

BOOL ClientToScreen(HWND h, LPPOINT p)
{
    if (!W(h) || !p) return FALSE;
    POINT o = ClientOrigin(h);
    p->x += o.x;
    p->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND h, LPPOINT p)
{
    if (!W(h) || !p) return FALSE;
    POINT o = ClientOrigin(h);
    p->x -= o.x;
    p->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT n)
{
    POINT a = from && W(from) ? ClientOrigin(from) : POINT {0, 0};
    POINT b = to && W(to) ? ClientOrigin(to) : POINT {0, 0};
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; pts && i < n; ++i) { pts[i].x += dx; pts[i].y += dy; }
    return MAKELONG(dx, dy);
}

HWND WindowFromPoint(POINT pt) { return HitWindow(pt, true); }

HWND ChildWindowFromPoint(HWND hParent, POINT pt)
{
    Wnd* w = W(hParent);
    if (!w) return nullptr;
    RECT cr {};
    GetClientRect(hParent, &cr);
    if (pt.x < cr.left || pt.y < cr.top || pt.x >= cr.right || pt.y >= cr.bottom) return nullptr;
    for (HWND c : w->children) {
        Wnd* cw = W(c);
        if (cw && pt.x >= cw->rc.left && pt.x < cw->rc.right && pt.y >= cw->rc.top && pt.y < cw->rc.bottom) return c;
    }
    return hParent;
}

BOOL AdjustWindowRectEx(LPRECT r, DWORD style, BOOL, DWORD exStyle)
{
    if (!r) return FALSE;
    Wnd probe;
    probe.style = style;
    probe.exStyle = exStyle;
    probe.parent = (style & WS_CHILD) ? nullptr : DesktopHandle();
    probe.rc = RECT {0, 0, 1000, 1000};
    RECT c;
    NcCalcRects(&probe, &c);
    r->left -= c.left;
    r->top -= c.top;
    r->right += 1000 - c.right;
    r->bottom += 1000 - c.bottom;
    return TRUE;
}

static void activateOther(HWND leaving)
{
    InputState& in = Input();
    if (in.active != leaving) return;
    Wnd* w = W(leaving);
    HWND next = nullptr;
    if (w && w->owner && IsVisibleDeep(w->owner) && IsWindowEnabled(w->owner)) next = w->owner;
    if (!next)
        for (HWND t : Desktop()->children) {
            Wnd* tw = W(t);
            if (t != leaving && tw && (tw->style & WS_VISIBLE) && !(tw->style & WS_DISABLED) && !tw->minimized &&
                !(tw->exStyle & WS_EX_TOOLWINDOW)) {
                next = t;
                break;
            }
        }
    SetActiveWindow(next);
    if (!next && Input().active == leaving) {
        // Nothing left to activate: the leaving window still hears that it is no longer active.
        Send(leaving, WM_NCACTIVATE, FALSE, 0);
        Send(leaving, WM_ACTIVATE, WA_INACTIVE, 0);
        Input().active = nullptr;
        if (Input().focus && TopLevelOf(Input().focus) == leaving) SetFocus(nullptr);
    }
}

BOOL SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    Wnd* w = W(h);
    if (!w || !w->parent) return FALSE;
    WINDOWPOS wp {h, after, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) { wp.x = w->rc.left; wp.y = w->rc.top; }
    if (flags & SWP_NOSIZE) { wp.cx = w->rc.right - w->rc.left; wp.cy = w->rc.bottom - w->rc.top; }
    if (!(flags & SWP_NOSENDCHANGING)) {
        Send(h, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!(w = W(h))) return FALSE;
    }
    wp.cx = std::max(0, wp.cx);
    wp.cy = std::max(0, wp.cy);
    bool wasVisible = IsVisibleDeep(h);
    RECT oldScreen = ScreenRect(h);
    RECT newRc {wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
    bool moved = newRc.left != w->rc.left || newRc.top != w->rc.top;
    bool sized = (newRc.right - newRc.left) != (w->rc.right - w->rc.left) ||
                 (newRc.bottom - newRc.top) != (w->rc.bottom - w->rc.top);
    RECT oldClient = w->rcClient;
    w->rc = newRc;
    // As the desktop does: every sizing call recalculates the frame, even at an unchanged size, so
    // a non-client part kept in parent coordinates follows a move.
    if (sized || !(flags & SWP_NOSIZE) || (flags & SWP_FRAMECHANGED)) {
        RecalcClient(w);
        if (!(w = W(h))) return FALSE;
    }
    bool zChanged = false;
    if (!(wp.flags & SWP_NOZORDER)) {
        Wnd* p = W(w->parent);
        if (wp.hwndInsertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
        if (wp.hwndInsertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
        auto& v = p->children;
        std::vector<HWND> before = v;
        removeChild(p, h);
        if (wp.hwndInsertAfter == HWND_BOTTOM) {
            v.push_back(h);
        } else if (wp.hwndInsertAfter == HWND_TOP || wp.hwndInsertAfter == HWND_TOPMOST ||
                   wp.hwndInsertAfter == HWND_NOTOPMOST || !W(wp.hwndInsertAfter)) {
            insertChild(p, h, true);
        } else {
            auto it = std::find(v.begin(), v.end(), wp.hwndInsertAfter);
            v.insert(it == v.end() ? v.end() : it + 1, h);
        }
        // Owned windows stay above their owner.
        if (IsTopLevel(w)) {
            std::vector<HWND> owned;
            for (HWND t : v) if (W(t) && W(t)->owner == h) owned.push_back(t);
            for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
                removeChild(p, *it);
                auto pos = std::find(v.begin(), v.end(), h);
                v.insert(pos, *it);
            }
        }
        zChanged = before != v;
    }
    if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    if (moved || sized || zChanged || (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) LayoutChanged();
    if (wp.flags & SWP_FRAMECHANGED) MarkFrameDirty(h);
    bool nowVisible = IsVisibleDeep(h);

    if (!(flags & SWP_NOREDRAW)) {
        if (wasVisible && (moved || sized || !nowVisible || zChanged)) InvalidateScreenArea(oldScreen, h);
        if (nowVisible && (!wasVisible || moved || sized || zChanged || (wp.flags & SWP_FRAMECHANGED))) ExposeWindow(h);
    }
    if (wasVisible && !nowVisible) {
        InputState& in = Input();
        if (in.capture && (in.capture == h || IsChild(h, in.capture))) CancelCaptureOf(h);
        if (W(h) && IsTopLevel(W(h))) activateOther(h);
        else if (W(h)) MoveFocusOffTree(h);
    }
    if (!W(h)) return TRUE;
    if (nowVisible && !wasVisible && IsTopLevel(W(h)) && !(flags & SWP_NOACTIVATE) && !(W(h)->style & WS_CHILD))
        SetActiveWindow(h);
    if (!W(h)) return TRUE;
    // WM_SIZE and WM_MOVE follow what really changed, the client area included.
    WINDOWPOS done = wp;
    const RECT& nc = W(h)->rcClient;
    bool clientSized = oldClient.right - oldClient.left != nc.right - nc.left || oldClient.bottom - oldClient.top != nc.bottom - nc.top;
    bool clientMoved = oldClient.left != nc.left || oldClient.top != nc.top;
    if (moved || clientMoved) done.flags &= ~SWP_NOMOVE;
    else done.flags |= SWP_NOMOVE;
    if (sized || clientSized) done.flags &= ~SWP_NOSIZE;
    else done.flags |= SWP_NOSIZE;
    Send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    if (W(h) && IsTopLevel(W(h))) CurrentBackend().windowChanged(h);
    return TRUE;
}

BOOL MoveWindow(HWND h, int x, int y, int cx, int cy, BOOL repaint)
{
    return SetWindowPos(h, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND h)
{
    return SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND h, int cmd)
{
    Wnd* w = W(h);
    if (!w || !w->parent) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    if (cmd == SW_HIDE) {
        if (!wasVisible) return FALSE;
        Send(h, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    bool activate = !child && (cmd == SW_SHOWNORMAL || cmd == SW_SHOW || cmd == SW_SHOWMAXIMIZED ||
                               cmd == SW_RESTORE || cmd == SW_SHOWDEFAULT);
    UINT sizeType = SIZE_RESTORED;
    bool resize = false;
    RECT target = w->rc;
    if (cmd == SW_SHOWMAXIMIZED && !w->maximized) {
        if (!w->minimized) w->restore = w->rc;
        w->maximized = true;
        w->minimized = false;
        LayoutChanged();
        if (child) {
            Wnd* p = W(w->parent);
            target = RECT {0, 0, p->rcClient.right - p->rcClient.left, p->rcClient.bottom - p->rcClient.top};
        } else {
            RECT work;
            SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
            MINMAXINFO mmi {};
            mmi.ptMaxSize = POINT {work.right - work.left, work.bottom - work.top};
            mmi.ptMaxPosition = POINT {work.left, work.top};
            mmi.ptMinTrackSize = POINT {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
            mmi.ptMaxTrackSize = mmi.ptMaxSize;
            Send(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
            if (!(w = W(h))) return FALSE;
            target = RECT {mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + std::max<LONG>(1, mmi.ptMaxSize.x),
                           mmi.ptMaxPosition.y + std::max<LONG>(1, mmi.ptMaxSize.y)};
        }
        w->style |= WS_MAXIMIZE;
        sizeType = SIZE_MAXIMIZED;
        resize = true;
    } else if ((cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) && !w->minimized) {
        if (!w->maximized) w->restore = w->rc;
        w->minimized = true;
        LayoutChanged();
        w->style |= WS_MINIMIZE;
        sizeType = SIZE_MINIMIZED;
        activate = false;
        if (Input().active == h) activateOther(h);
    } else if ((cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) && (w->maximized || w->minimized)) {
        bool wasMax = w->maximized && !w->minimized;
        w->minimized = false;
        LayoutChanged();
        w->style &= ~WS_MINIMIZE;
        if (wasMax || cmd == SW_SHOWNORMAL) {
            w->maximized = false;
            w->style &= ~WS_MAXIMIZE;
            target = w->restore;
        } else if (w->maximized) {
            sizeType = SIZE_MAXIMIZED;
        } else {
            target = w->restore;
        }
        resize = true;
    }
    if (!wasVisible) Send(h, WM_SHOWWINDOW, TRUE, 0);
    if (!W(h)) return FALSE;
    UINT flags = SWP_NOZORDER | SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE);
    if (!resize) flags |= SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(h, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top, flags);
    if (!W(h)) return wasVisible;
    if (resize) {
        w = W(h);
        Send(h, WM_SIZE, sizeType, MAKELPARAM(w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top));
        if (w->minimized) ExposeWindow(DesktopHandle());
    }
    if (activate && W(h) && IsTopLevel(W(h))) {
        SetActiveWindow(h);
        BringWindowToTop(h);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL EnableWindow(HWND h, BOOL enable)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bool(enable) == !wasDisabled) return wasDisabled;
    if (!enable) {
        InputState& in = Input();
        Send(h, WM_CANCELMODE, 0, 0);
        if (!W(h)) return wasDisabled;
        if (in.capture && (in.capture == h || IsChild(h, in.capture))) CancelCaptureOf(h);
        if (!(w = W(h))) return wasDisabled;
        w->style |= WS_DISABLED;
        if (in.focus && (in.focus == h || IsChild(h, in.focus))) SetFocus(nullptr);
    } else {
        w->style &= ~WS_DISABLED;
    }
    if (W(h)) {
        Send(h, WM_ENABLE, enable ? TRUE : FALSE, 0);
        MarkFrameDirty(h);
    }
    return wasDisabled;
}
