// Painting: update regions, WM_PAINT and the paint, client and window DCs, scrolling window
// contents, the window images, and composing the desktop from them.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"

#include <cairo.h>

#include <algorithm>
#include <unordered_set>

namespace pvwin {

namespace {
unsigned g_paintGen = 1;
unsigned g_layoutGen = 1;
} // namespace

void PaintStateChanged() { ++g_paintGen; }
void LayoutChanged()
{
    ++g_layoutGen;
    ++g_paintGen; // a window that shows or moves in z-order may have been passed over
}

namespace {
bool shown(const Wnd* w) { return (w->style & WS_VISIBLE) && !w->minimized; }

// Whether two visible children of a window overlap: without that, none can hide part of another
// and painting one need not look at its siblings.
bool childrenOverlap(Wnd* p)
{
    if (p->overlapGen == g_layoutGen) return p->childrenOverlap;
    std::vector<RECT> rs;
    rs.reserve(p->children.size());
    for (HWND c : p->children)
        if (Wnd* cw = W(c); cw && shown(cw) && !RectEmpty(cw->rc)) rs.push_back(cw->rc);
    std::sort(rs.begin(), rs.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    bool any = false;
    for (size_t i = 0; i < rs.size() && !any; ++i)
        for (size_t j = i + 1; j < rs.size() && rs[j].left < rs[i].right; ++j)
            if (rs[j].top < rs[i].bottom && rs[i].top < rs[j].bottom) { any = true; break; }
    p->childrenOverlap = any;
    p->overlapGen = g_layoutGen;
    return any;
}

// Region arithmetic on many rectangles goes through cairo's banded regions, which take them in
// one pass; ours splits rectangles one at a time and is for the few-rectangle cases.
cairo_region_t* toCairo(const std::vector<RECT>& rects)
{
    std::vector<cairo_rectangle_int_t> rs;
    rs.reserve(rects.size());
    for (const RECT& r : rects)
        if (!RectEmpty(r)) rs.push_back(cairo_rectangle_int_t {r.left, r.top, r.right - r.left, r.bottom - r.top});
    return cairo_region_create_rectangles(rs.data(), int(rs.size()));
}

Region fromCairo(cairo_region_t* c)
{
    Region out;
    int n = cairo_region_num_rectangles(c);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(c, i, &r);
        out.addDisjoint(RECT {r.x, r.y, r.x + r.width, r.y + r.height});
    }
    return out;
}

void subtractAll(Region& r, const std::vector<RECT>& cut)
{
    if (cut.size() * r.rects().size() <= 64) {
        for (const RECT& c : cut) r.subtract(c);
        return;
    }
    cairo_region_t* a = toCairo(r.rects());
    cairo_region_t* b = toCairo(cut);
    cairo_region_subtract(a, b);
    r = fromCairo(a);
    cairo_region_destroy(a);
    cairo_region_destroy(b);
}

Region intersectBoth(const Region& x, const Region& y)
{
    Region out;
    if (x.rects().size() * y.rects().size() <= 64) {
        // Pieces of two sets of disjoint rectangles meet in disjoint pieces.
        for (const RECT& a : x.rects())
            for (const RECT& b : y.rects()) out.addDisjoint(RectIntersect(a, b));
        return out;
    }
    cairo_region_t* a = toCairo(x.rects());
    cairo_region_t* b = toCairo(y.rects());
    cairo_region_intersect(a, b);
    out = fromCairo(a);
    cairo_region_destroy(a);
    cairo_region_destroy(b);
    return out;
}

// DCs handed out by BeginPaint, GetDC and GetWindowDC; each is freed once, by EndPaint or ReleaseDC.
std::unordered_set<HDC>& DCs()
{
    static std::unordered_set<HDC> m;
    return m;
}

RECT clientScreenRect(HWND h)
{
    Wnd* w = W(h);
    POINT o = ClientOrigin(h);
    return RECT {o.x, o.y, o.x + (w->rcClient.right - w->rcClient.left), o.y + (w->rcClient.bottom - w->rcClient.top)};
}

// What of a window can be seen inside its top-level window, in screen coordinates: clipped by
// every ancestor's client area and by siblings above it; its own children are cut out when asked.
Region visibleRegion(HWND h, bool client, bool clipChildren)
{
    Region r;
    Wnd* w = W(h);
    if (!w || !IsVisibleDeep(h)) return r;
    r.add(client ? clientScreenRect(h) : ScreenRect(h));
    HWND cur = h;
    while (W(cur) && W(cur)->parent && !IsTopLevel(W(cur))) {
        Wnd* cw = W(cur);
        Wnd* p = W(cw->parent);
        r.intersect(clientScreenRect(p->h));
        if (childrenOverlap(p)) {
            POINT o = ClientOrigin(p->h);
            RECT b = r.bounds();
            std::vector<RECT> above;
            for (HWND s : p->children) {
                if (s == cur) break;
                Wnd* sw = W(s);
                if (!sw || !shown(sw)) continue;
                RECT sr = RectOffset(sw->rc, o.x, o.y);
                if (!RectEmpty(RectIntersect(sr, b))) above.push_back(sr);
            }
            subtractAll(r, above);
        }
        cur = p->h;
    }
    if (clipChildren && !w->children.empty()) {
        POINT o = ClientOrigin(h);
        RECT b = r.bounds();
        std::vector<RECT> kids;
        for (HWND c : w->children) {
            Wnd* cw = W(c);
            if (!cw || !shown(cw)) continue;
            RECT sr = RectOffset(cw->rc, o.x, o.y);
            if (!RectEmpty(RectIntersect(sr, b))) kids.push_back(sr);
        }
        subtractAll(r, kids);
    }
    return r;
}

cairo_surface_t* scratchSurface()
{
    static cairo_surface_t* s = PvCreateWindowSurface(1, 1);
    return s;
}

HDC makeDC(HWND h, bool client, const Region* limit)
{
    CDC tmp;
    CDC* dc = &tmp;
    Wnd* w = W(h);
    POINT origin {0, 0};
    cairo_surface_t* surf = w ? SurfaceFor(h, &origin) : nullptr;
    POINT screenOrigin = w ? (client ? ClientOrigin(h) : WindowOrigin(h)) : POINT {0, 0};
    if (w && !client) {
        POINT top = WindowOrigin(TopLevelOf(h));
        origin = POINT {screenOrigin.x - top.x, screenOrigin.y - top.y};
    }
    Region vis = w ? visibleRegion(h, client, client) : Region();
    if (limit) {
        Region lim = *limit;
        lim.offset(screenOrigin.x, screenOrigin.y);
        vis = intersectBoth(vis, lim);
    }
    vis.offset(-screenOrigin.x, -screenOrigin.y);
    if (!surf || vis.empty()) {
        dc->PvAttachSurface(scratchSurface(), POINT {0, 0}, RECT {0, 0, 0, 0});
    } else {
        dc->PvAttachSurface(surf, origin, vis.bounds());
        if (vis.rects().size() > 1) {
            CRgn rgn;
            rgn.PvCreateFromRects(vis.rects().data(), int(vis.rects().size()));
            dc->PvSetSystemClipRgn(&rgn);
        }
    }
    HDC hdc = dc->Detach();
    DCs().insert(hdc);
    return hdc;
}

void freeDC(HDC hdc)
{
    auto it = DCs().find(hdc);
    if (it == DCs().end()) return;
    DCs().erase(it);
    ::DeleteDC(hdc);
}

void invalidateClient(Wnd* w, const RECT* r, bool erase)
{
    RECT cr {0, 0, w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top};
    RECT a = r ? RectIntersect(*r, cr) : cr;
    if (!RectEmpty(a)) w->update.add(a);
    if (erase) w->erase = true;
    PaintStateChanged();
}

void exposeRec(HWND h)
{
    Wnd* w = W(h);
    if (!w) return;
    invalidateClient(w, nullptr, true);
    w->ncDirty = true;
    for (HWND c : w->children) exposeRec(c);
}

void invalidateAreaRec(HWND h, const RECT& screen, HWND except)
{
    Wnd* w = W(h);
    if (!w || h == except || !(w->style & WS_VISIBLE)) return;
    if (w->parent) {
        RECT sr = ScreenRect(h);
        if (RectEmpty(RectIntersect(sr, screen))) return;
        RECT cr = clientScreenRect(h);
        RECT ci = RectIntersect(cr, screen);
        if (!RectEmpty(ci)) {
            POINT o = ClientOrigin(h);
            RECT local = RectOffset(ci, -o.x, -o.y);
            invalidateClient(w, &local, true);
        }
        if (!(ci.left == RectIntersect(sr, screen).left && ci.top == RectIntersect(sr, screen).top &&
              ci.right == RectIntersect(sr, screen).right && ci.bottom == RectIntersect(sr, screen).bottom))
            MarkFrameDirty(h);
    }
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) invalidateAreaRec(c, screen, except);
}

bool needsPaint(const Wnd* w) { return !w->redrawOff && (!w->update.empty() || w->ncDirty || w->internalPaint); }

bool findRec(HWND h, HWND* out)
{
    Wnd* w = W(h);
    if (!w || !(w->style & WS_VISIBLE) || (w->minimized && w->parent)) return false;
    if (w->parent && needsPaint(w)) {
        if (w->update.empty() && !w->internalPaint && w->ncDirty) {
            // Only the frame is stale: redraw it right here, no WM_PAINT needed.
            w->ncDirty = false;
            Send(h, WM_NCPAINT, 1, 0);
            if (W(h)) CurrentBackend().present(TopLevelOf(h));
        } else {
            *out = h;
            return true;
        }
    }
    if (!(w = W(h))) return false;
    // Children already found clean are skipped while nothing has been made dirty since, so that
    // painting many children one message at a time costs their number, not its square.
    unsigned gen = g_paintGen;
    size_t i = w->paintScanGen == gen ? std::min(w->paintScanFrom, w->children.size()) : 0;
    for (; (w = W(h)) && i < w->children.size(); ++i)
        if (findRec(w->children[i], out)) break;
    if (!(w = W(h))) return false;
    bool found = i < w->children.size();
    if (g_paintGen == gen) {
        w->paintScanFrom = i;
        w->paintScanGen = gen;
    }
    return found;
}

void drawCaret(cairo_surface_t* target, POINT topLeftOfTarget)
{
    InputState& in = Input();
    if (!in.caretOwner || in.caretHide > 0 || in.caretBlinkOff || !IsVisibleDeep(in.caretOwner)) return;
    POINT o = ClientOrigin(in.caretOwner);
    RECT r {o.x + in.caretPos.x, o.y + in.caretPos.y, o.x + in.caretPos.x + in.caretW, o.y + in.caretPos.y + in.caretH};
    Region vis = visibleRegion(in.caretOwner, true, true);
    cairo_t* cr = cairo_create(target);
    cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (const RECT& v : vis.rects()) {
        RECT i = RectIntersect(v, r);
        if (RectEmpty(i)) continue;
        cairo_rectangle(cr, i.left - topLeftOfTarget.x, i.top - topLeftOfTarget.y, i.right - i.left, i.bottom - i.top);
    }
    cairo_fill(cr);
    cairo_destroy(cr);
}
} // namespace

void ExposeWindow(HWND h) { exposeRec(h); }

void MarkFrameDirty(HWND h)
{
    if (Wnd* w = W(h)) w->ncDirty = true;
    PaintStateChanged();
}

void InvalidateScreenArea(const RECT& screen, HWND except) { invalidateAreaRec(DesktopHandle(), screen, except); }

bool FindPaintWindow(HWND filter, HWND* out)
{
    if (filter) {
        HWND found = nullptr;
        if (findRec(filter, &found)) { *out = found; return true; }
        return false;
    }
    std::vector<HWND> tops = Desktop()->children;
    for (HWND t : tops)
        if (findRec(t, out)) return true;
    return false;
}

cairo_surface_t* SurfaceFor(HWND h, POINT* origin)
{
    HWND top = TopLevelOf(h);
    Wnd* t = W(top);
    if (!t) return nullptr;
    int cx = std::max<LONG>(1, t->rc.right - t->rc.left), cy = std::max<LONG>(1, t->rc.bottom - t->rc.top);
    if (!t->surface || cairo_image_surface_get_width(t->surface) != cx || cairo_image_surface_get_height(t->surface) != cy)
        ResizeSurface(t);
    POINT co = ClientOrigin(h), to = WindowOrigin(top);
    if (origin) *origin = POINT {co.x - to.x, co.y - to.y};
    return t->surface;
}

void ResizeSurface(Wnd* t)
{
    int cx = std::max<LONG>(1, t->rc.right - t->rc.left), cy = std::max<LONG>(1, t->rc.bottom - t->rc.top);
    cairo_surface_t* s = PvCreateWindowSurface(cx, cy);
    if (t->surface) {
        // Keep what is there until the repaint arrives, so a resize does not flash.
        cairo_t* cr = cairo_create(s);
        cairo_set_source_surface(cr, t->surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        PvDestroyWindowSurface(t->surface);
    }
    t->surface = s;
}

Wnd::~Wnd() { FreeSurface(this); }

void FreeSurface(Wnd* w)
{
    if (w->surface) PvDestroyWindowSurface(w->surface);
    w->surface = nullptr;
}

void DefEraseBackground(HWND h, HDC hdc)
{
    Wnd* w = W(h);
    if (!w || !w->wc.hbrBackground) return;
    RECT rc;
    GetClientRect(h, &rc);
    uintptr_t v = reinterpret_cast<uintptr_t>(w->wc.hbrBackground);
    if (v >= 1 && v <= PV_SYSCOLOR_COUNT) {
        CDC::FromHandle(hdc)->FillSolidRect(&rc, GetSysColor(int(v - 1)));
    } else {
        ::FillRect(hdc, &rc, w->wc.hbrBackground);
    }
}

// The desktop's picture: every visible top-level window's image in z-order, and the caret.
cairo_surface_t* ComposeDesktop()
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    cairo_surface_t* out = PvCreateWindowSurface(std::max(1, cx), std::max(1, cy));
    cairo_t* cr = cairo_create(out);
    COLORREF bg = GetSysColor(COLOR_DESKTOP);
    cairo_set_source_rgb(cr, GetRValue(bg) / 255.0, GetGValue(bg) / 255.0, GetBValue(bg) / 255.0);
    cairo_paint(cr);
    std::vector<HWND> tops = Desktop()->children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Wnd* t = W(*it);
        if (!t || !(t->style & WS_VISIBLE) || t->minimized) continue;
        POINT o {0, 0};
        cairo_surface_t* s = SurfaceFor(*it, &o);
        if (!s) continue;
        cairo_set_source_surface(cr, s, t->rc.left, t->rc.top);
        cairo_rectangle(cr, t->rc.left, t->rc.top, t->rc.right - t->rc.left, t->rc.bottom - t->rc.top);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    drawCaret(out, POINT {0, 0});
    cairo_surface_flush(out);
    return out;
}

// A top-level window's picture with the caret, for a back end that shows windows one by one.
cairo_surface_t* ComposeWindow(HWND top)
{
    Wnd* t = W(top);
    if (!t) return nullptr;
    POINT o;
    cairo_surface_t* s = SurfaceFor(top, &o);
    if (!s) return nullptr;
    int cx = cairo_image_surface_get_width(s), cy = cairo_image_surface_get_height(s);
    cairo_surface_t* out = PvCreateWindowSurface(cx, cy);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    if (Input().caretOwner && TopLevelOf(Input().caretOwner) == top) drawCaret(out, WindowOrigin(top));
    cairo_surface_flush(out);
    return out;
}

} // namespace pvwin

using namespace pvwin;

bool PvWriteScreenshot(const char* path)
{
    if (!path || !*path) return false;
    // Pending repaints are done first (and nothing else, so no input is handled behind the caller).
    HWND h = nullptr;
    for (int guard = 0; guard < 100000 && FindPaintWindow(nullptr, &h); ++guard) {
        MSG m {h, WM_PAINT, 0, 0, GetTickCount(), Input().cursor};
        DispatchMessage(&m);
    }
    cairo_surface_t* s = ComposeDesktop();
    bool ok = PvWriteSurfacePng(s, path);
    PvDestroyWindowSurface(s);
    return ok;
}

BOOL InvalidateRect(HWND h, const RECT* r, BOOL erase)
{
    if (!h) {
        exposeRec(DesktopHandle());
        return TRUE;
    }
    Wnd* w = W(h);
    if (!w) return FALSE;
    invalidateClient(w, r, erase);
    return TRUE;
}

BOOL InvalidateRgn(HWND h, HRGN hrgn, BOOL erase)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    if (!hrgn) return InvalidateRect(h, nullptr, erase);
    CRgn* rgn = CRgn::FromHandle(hrgn);
    if (!rgn) return FALSE;
    for (const CRect& r : rgn->PvGetRects()) invalidateClient(w, &r, erase);
    if (erase) w->erase = true;
    return TRUE;
}

BOOL ValidateRect(HWND h, const RECT* r)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    if (r) w->update.subtract(*r);
    else w->update.clear();
    if (w->update.empty()) w->erase = false;
    if (!r) w->internalPaint = false;
    return TRUE;
}

BOOL ValidateRgn(HWND h, HRGN hrgn)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    if (!hrgn) return ValidateRect(h, nullptr);
    CRgn* rgn = CRgn::FromHandle(hrgn);
    if (!rgn) return FALSE;
    for (const CRect& r : rgn->PvGetRects()) w->update.subtract(r);
    return TRUE;
}

bool PvIsRectInvalid(HWND h, const RECT& r)
{
    Wnd* w = W(h);
    return w && w->update.intersects(r);
}

BOOL GetUpdateRect(HWND h, LPRECT r, BOOL erase)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    RECT b = w->update.bounds();
    if (r) *r = b;
    if (erase && w->erase && !w->update.empty()) {
        HDC hdc = makeDC(h, true, &w->update);
        if (Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0)) {
            if ((w = W(h))) w->erase = false;
        }
        freeDC(hdc);
    }
    return RectEmpty(b) ? FALSE : TRUE;
}

int GetUpdateRgn(HWND h, HRGN hrgn, BOOL)
{
    Wnd* w = W(h);
    CRgn* rgn = hrgn ? CRgn::FromHandle(hrgn) : nullptr;
    if (!w || !rgn) return 0;
    rgn->SetRectRgn(0, 0, 0, 0);
    for (const RECT& r : w->update.rects()) {
        CRgn part;
        part.CreateRectRgnIndirect(&r);
        rgn->CombineRgn(rgn, &part, RGN_OR);
    }
    return w->update.empty() ? NULLREGION : (w->update.rects().size() == 1 ? SIMPLEREGION : 3);
}

BOOL UpdateWindow(HWND h)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    if (!IsVisibleDeep(h) || w->redrawOff) return TRUE;
    if (w->ncDirty && w->update.empty() && !w->internalPaint) {
        w->ncDirty = false;
        Send(h, WM_NCPAINT, 1, 0);
        return TRUE;
    }
    if (!w->update.empty() || w->internalPaint) {
        MSG m {h, WM_PAINT, 0, 0, GetTickCount(), Input().cursor};
        DispatchMessage(&m);
    }
    return TRUE;
}

static void redrawRec(HWND h, const RECT* r, UINT flags, bool top)
{
    Wnd* w = W(h);
    if (!w) return;
    if (flags & RDW_INVALIDATE) {
        invalidateClient(w, r, (flags & RDW_ERASE) != 0);
        if (flags & RDW_FRAME) w->ncDirty = true;
        if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
        PaintStateChanged();
    }
    if (flags & RDW_VALIDATE) {
        if (r) w->update.subtract(*r);
        else w->update.clear();
        if (flags & RDW_NOFRAME) w->ncDirty = false;
        if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    }
    if (flags & RDW_NOERASE) w->erase = false;
    if ((flags & RDW_ALLCHILDREN) || (top && !(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN) && false)) {
        std::vector<HWND> kids = w->children;
        for (HWND c : kids) {
            Wnd* cw = W(c);
            if (!cw) continue;
            if (r) {
                RECT cr = RectOffset(*r, -cw->rc.left - cw->rcClient.left, -cw->rc.top - cw->rcClient.top);
                redrawRec(c, &cr, flags, false);
            } else {
                redrawRec(c, nullptr, flags, false);
            }
        }
    }
}

static void updateRec(HWND h)
{
    UpdateWindow(h);
    if (!W(h)) return;
    std::vector<HWND> kids = W(h)->children;
    for (HWND c : kids) updateRec(c);
}

BOOL RedrawWindow(HWND h, const RECT* r, HRGN hrgn, UINT flags)
{
    if (!h) h = DesktopHandle();
    if (!W(h)) return FALSE;
    if (hrgn) {
        CRgn* rgn = CRgn::FromHandle(hrgn);
        if (rgn)
            for (const CRect& part : rgn->PvGetRects()) redrawRec(h, &part, flags, true);
    } else if (h == DesktopHandle()) {
        for (HWND t : Desktop()->children) redrawRec(t, nullptr, flags | RDW_ALLCHILDREN, true);
    } else {
        redrawRec(h, r, flags, true);
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        if (h == DesktopHandle()) {
            std::vector<HWND> tops = Desktop()->children;
            for (HWND t : tops) updateRec(t);
        } else if (flags & RDW_ALLCHILDREN) {
            updateRec(h);
        } else {
            UpdateWindow(h);
        }
    }
    return TRUE;
}

HDC BeginPaint(HWND h, LPPAINTSTRUCT ps)
{
    Wnd* w = W(h);
    if (!w || !ps) return nullptr;
    ++w->paintSerial;
    *ps = PAINTSTRUCT {};
    if (w->ncDirty) {
        w->ncDirty = false;
        Send(h, WM_NCPAINT, 1, 0);
        if (!(w = W(h))) return nullptr;
    }
    Region upd = w->update;
    bool erase = w->erase;
    w->update.clear();
    w->erase = false;
    w->internalPaint = false;
    HDC hdc = makeDC(h, true, &upd);
    if (erase) ps->fErase = Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    ps->hdc = hdc;
    RECT cr {0, 0, 0, 0};
    if (W(h)) GetClientRect(h, &cr);
    ps->rcPaint = RectIntersect(upd.bounds(), cr);
    return hdc;
}

BOOL EndPaint(HWND h, const PAINTSTRUCT* ps)
{
    if (!ps) return FALSE;
    freeDC(ps->hdc);
    if (HWND top = TopLevelOf(h)) CurrentBackend().present(top);
    return TRUE;
}

HDC GetDC(HWND h)
{
    if (!h) {
        // The screen: a snapshot of the desktop to read from, composed only if something reads
        // or draws (most callers only ask device capabilities or measure text). What is drawn on
        // it is not kept.
        CDC dc;
        dc.PvAttachLazySurface([] { return ComposeDesktop(); });
        HDC hdc = dc.Detach();
        DCs().insert(hdc);
        return hdc;
    }
    if (!W(h)) return nullptr;
    return makeDC(h, true, nullptr);
}

HDC GetWindowDC(HWND h)
{
    if (!h) return GetDC(nullptr);
    if (!W(h)) return nullptr;
    return makeDC(h, false, nullptr);
}

int ReleaseDC(HWND h, HDC hdc)
{
    if (DCs().find(hdc) == DCs().end()) return 0;
    freeDC(hdc);
    if (h && W(h))
        if (HWND top = TopLevelOf(h)) CurrentBackend().present(top);
    return 1;
}

int ScrollWindowEx(HWND h, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags)
{
    Wnd* w = W(h);
    if (!w) return 0; // ERROR
    RECT cr;
    GetClientRect(h, &cr);
    RECT scroll = prcScroll ? RectIntersect(*prcScroll, cr) : cr;
    RECT clip = prcClip ? RectIntersect(*prcClip, cr) : cr;
    RECT area = RectIntersect(scroll, clip);
    Region exposed;
    exposed.add(area);
    if ((dx || dy) && !RectEmpty(area)) {
        // Pixels that can be moved: visible, not waiting for a repaint, inside the scroll rectangle.
        POINT co = ClientOrigin(h);
        Region src = visibleRegion(h, true, true);
        src.offset(-co.x, -co.y);
        src.intersect(scroll);
        for (const RECT& u : w->update.rects()) src.subtract(u);
        Region dst = src;
        dst.offset(dx, dy);
        dst.intersect(area);
        POINT origin;
        cairo_surface_t* surf = SurfaceFor(h, &origin);
        if (surf && !dst.empty()) {
            cairo_surface_flush(surf);
            cairo_surface_t* copy = cairo_surface_create_similar_image(surf, CAIRO_FORMAT_RGB24,
                                                                      cairo_image_surface_get_width(surf),
                                                                      cairo_image_surface_get_height(surf));
            cairo_t* c = cairo_create(copy);
            cairo_set_source_surface(c, surf, 0, 0);
            cairo_paint(c);
            cairo_destroy(c);
            c = cairo_create(surf);
            for (const RECT& d : dst.rects())
                cairo_rectangle(c, origin.x + d.left, origin.y + d.top, d.right - d.left, d.bottom - d.top);
            cairo_clip(c);
            cairo_set_source_surface(c, copy, dx, dy);
            cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
            cairo_paint(c);
            cairo_destroy(c);
            cairo_surface_destroy(copy);
            cairo_surface_mark_dirty(surf);
        }
        for (const RECT& d : dst.rects()) exposed.subtract(d);
        // Pending repaints move with the pixels they belong to.
        Region moved;
        Region kept;
        for (const RECT& u : w->update.rects()) {
            RECT in = RectIntersect(u, scroll);
            if (!RectEmpty(in)) moved.add(RectOffset(in, dx, dy));
            Region rest;
            rest.add(u);
            rest.subtract(scroll);
            for (const RECT& k : rest.rects()) kept.add(k);
        }
        moved.intersect(clip);
        w->update = kept;
        for (const RECT& m : moved.rects()) w->update.add(m);
        PaintStateChanged();
        InputState& in = Input();
        if (in.caretOwner == h) {
            POINT p = in.caretPos;
            if (p.x >= scroll.left && p.x < scroll.right && p.y >= scroll.top && p.y < scroll.bottom)
                in.caretPos = POINT {p.x + dx, p.y + dy};
        }
    } else if (!dx && !dy) {
        exposed.clear();
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> kids = w->children;
        for (HWND c : kids) {
            Wnd* cw = W(c);
            if (!cw) continue;
            if (prcScroll && RectEmpty(RectIntersect(cw->rc, *prcScroll))) continue;
            SetWindowPos(c, nullptr, cw->rc.left + dx, cw->rc.top + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if ((w = W(h)) && (flags & SW_INVALIDATE)) {
        for (const RECT& e : exposed.rects()) w->update.add(e);
        if (flags & SW_ERASE) w->erase = true;
        PaintStateChanged();
    }
    if (prcUpdate) *prcUpdate = exposed.bounds();
    if (hrgnUpdate)
        if (CRgn* rgn = CRgn::FromHandle(hrgnUpdate)) {
            rgn->SetRectRgn(0, 0, 0, 0);
            for (const RECT& e : exposed.rects()) {
                CRgn part;
                part.CreateRectRgnIndirect(&e);
                rgn->CombineRgn(rgn, &part, RGN_OR);
            }
        }
    if (HWND top = TopLevelOf(h)) CurrentBackend().present(top);
    return exposed.empty() ? NULLREGION : SIMPLEREGION;
}

BOOL ScrollWindow(HWND h, int dx, int dy, const RECT* r, const RECT* clip)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (r ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(h, dx, dy, r, clip, nullptr, nullptr, flags) != 0;
}

BOOL LockWindowUpdate(HWND) { return TRUE; }
