// The non-client area: frames, captions and borders, and the window scroll bars with their
// ranges, thumbs and mouse tracking.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cstring>

namespace pvwin {

namespace {
bool hasCaption(const Wnd* w) { return (w->style & WS_CAPTION) == WS_CAPTION && !(w->style & WS_CHILD); }
int frameWidth(const Wnd* w)
{
    if (w->style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    if (w->style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}
int captionHeight(const Wnd* w)
{
    if (!hasCaption(w)) return 0;
    return GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

struct Tracking {
    HWND h = nullptr;
    int bar = -1;
    bool thumb = false;
};
Tracking g_track;

// Geometry of one bar in its own coordinates along its length.
struct BarGeom {
    RECT rc {};   // window coordinates (client coordinates for a scroll-bar control)
    int len = 0;  // length along the bar
    int arrow = 0;
    int thumbPos = 0;
    int thumbLen = 0;
    bool vert = true;
    bool active = false;
};

BarGeom geometry(const Wnd* w, int bar)
{
    BarGeom g;
    if (bar == SB_CTL) {
        g.rc = RECT {0, 0, w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top};
        g.vert = (w->style & 1) != 0; // SBS_VERT
    } else {
        if (!ScrollBarRect(w, bar, &g.rc)) return g;
        g.vert = bar == SB_VERT;
    }
    const ScrollBar& s = w->sb[bar];
    int thick = g.vert ? g.rc.right - g.rc.left : g.rc.bottom - g.rc.top;
    g.len = g.vert ? g.rc.bottom - g.rc.top : g.rc.right - g.rc.left;
    g.arrow = std::min(thick, g.len / 2);
    int track = g.len - 2 * g.arrow;
    int range = s.nMax - s.nMin + 1;
    g.active = range > 1 && (s.nPage == 0 || int(s.nPage) < range) && (s.disabled & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH &&
               !(w->style & WS_DISABLED);
    if (!g.active || track < 8) return g;
    int page = int(s.nPage);
    g.thumbLen = page ? std::max(8, int(int64_t(track) * page / range)) : std::min(track, thick);
    g.thumbLen = std::min(g.thumbLen, track);
    int maxPos = s.nMax - std::max(page - 1, 0);
    int span = maxPos - s.nMin;
    int pos = (g_track.h == w->h && g_track.bar == bar && g_track.thumb) ? s.nTrackPos : s.nPos;
    pos = std::clamp(pos, s.nMin, std::max(s.nMin, maxPos));
    g.thumbPos = g.arrow + (span > 0 ? int(int64_t(track - g.thumbLen) * (pos - s.nMin) / span) : 0);
    return g;
}

void drawBar(CDC* dc, const Wnd* w, int bar)
{
    BarGeom g = geometry(w, bar);
    if (RectEmpty(g.rc)) return;
    CRect r(g.rc);
    dc->FillSolidRect(&r, GetSysColor(COLOR_SCROLLBAR));
    CRect a1 = g.vert ? CRect(r.left, r.top, r.right, r.top + g.arrow) : CRect(r.left, r.top, r.left + g.arrow, r.bottom);
    CRect a2 = g.vert ? CRect(r.left, r.bottom - g.arrow, r.right, r.bottom) : CRect(r.right - g.arrow, r.top, r.right, r.bottom);
    UINT inactive = g.active ? 0 : DFCS_INACTIVE;
    dc->DrawFrameControl(&a1, DFC_SCROLL, (g.vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    dc->DrawFrameControl(&a2, DFC_SCROLL, (g.vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    if (g.active && g.thumbLen > 0) {
        CRect t = g.vert ? CRect(r.left, r.top + g.thumbPos, r.right, r.top + g.thumbPos + g.thumbLen)
                         : CRect(r.left + g.thumbPos, r.top, r.left + g.thumbPos + g.thumbLen, r.bottom);
        dc->FillSolidRect(&t, GetSysColor(COLOR_BTNFACE));
        dc->DrawEdge(&t, EDGE_RAISED, BF_RECT);
    }
}

void sendScroll(HWND h, int bar, UINT code, int pos)
{
    UINT msg = (bar == SB_VERT || (bar == SB_CTL && (W(h)->style & 1))) ? WM_VSCROLL : WM_HSCROLL;
    WPARAM wp = MAKEWPARAM(code, (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? pos : 0);
    if (bar == SB_CTL) {
        HWND parent = GetParent(h);
        if (parent) Send(parent, msg, wp, reinterpret_cast<LPARAM>(h));
    } else {
        Send(h, msg, wp, 0);
    }
}

void redrawBar(HWND h, int bar)
{
    if (bar == SB_CTL) {
        InvalidateRect(h, nullptr, FALSE);
    } else if (W(h)) {
        MarkFrameDirty(h);
    }
}

bool barVisible(const Wnd* w, int bar)
{
    if (bar == SB_CTL) return true;
    return (w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

void applyVisibility(HWND h, int bar, bool disableNoScroll)
{
    Wnd* w = W(h);
    if (!w) return;
    const ScrollBar& s = w->sb[bar];
    int range = s.nMax - s.nMin + 1;
    bool needed = s.nMax > s.nMin && (s.nPage == 0 || int(s.nPage) < range);
    if (bar == SB_CTL) {
        // A control stays where it is; a range it can scroll enables it, none greys it when asked.
        if (needed) w->sb[bar].disabled = 0;
        else if (disableNoScroll) w->sb[bar].disabled = ESB_DISABLE_BOTH;
        return;
    }
    if (needed) {
        w->sb[bar].disabled = 0;
        ShowScrollBar(h, bar, TRUE);
    } else if (disableNoScroll) {
        w->sb[bar].disabled = ESB_DISABLE_BOTH;
        ShowScrollBar(h, bar, TRUE);
    } else {
        ShowScrollBar(h, bar, FALSE);
    }
}
} // namespace

void NcCalcRects(const Wnd* w, RECT* client)
{
    RECT r {0, 0, w->rc.right - w->rc.left, w->rc.bottom - w->rc.top};
    int f = frameWidth(w);
    if (hasCaption(w) && f == 0) f = GetSystemMetrics(SM_CXBORDER);
    r.left += f; r.top += f; r.right -= f; r.bottom -= f;
    r.top += captionHeight(w);
    if (w->exStyle & WS_EX_CLIENTEDGE) { r.left += 2; r.top += 2; r.right -= 2; r.bottom -= 2; }
    if (w->exStyle & WS_EX_STATICEDGE) { r.left += 1; r.top += 1; r.right -= 1; r.bottom -= 1; }
    if (w->style & WS_VSCROLL) r.right -= GetSystemMetrics(SM_CXVSCROLL);
    if (w->style & WS_HSCROLL) r.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    *client = r;
}

bool ScrollBarRect(const Wnd* w, int bar, RECT* out)
{
    if (!barVisible(w, bar)) return false;
    const RECT& c = w->rcClient;
    if (bar == SB_VERT) *out = RECT {c.right, c.top, c.right + GetSystemMetrics(SM_CXVSCROLL), c.bottom};
    else *out = RECT {c.left, c.bottom, c.right, c.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    return true;
}


// Minimise and maximise buttons, left of the close button. Only a real desktop can put a
// minimised window anywhere, so the headless desktop shows none.
static bool sizeButtonRects(const Wnd* w, const CRect& cap, CRect* pMin, CRect* pMax)
{
    if (HeadlessMode() || !(w->style & WS_SYSMENU) || !(w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) ||
        (w->style & WS_CHILD))
        return false;
    int btn = cap.Height() - 4;
    int right = cap.right - 2 - btn - 2; // one gap past the close button
    *pMax = CRect(right - btn, cap.top + 2, right, cap.top + 2 + btn);
    *pMin = CRect(pMax->left - btn, pMax->top, pMax->left, pMax->bottom);
    return true;
}

static void drawSizeButtons(CDC& dc, const Wnd* w, const CRect& rcMin, const CRect& rcMax)
{
    COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (const CRect* r : {&rcMin, &rcMax}) {
        CRect b = *r;
        dc.FillSolidRect(&b, GetSysColor(COLOR_BTNFACE));
        dc.DrawEdge(&b, EDGE_RAISED, BF_RECT);
    }
    if (w->style & WS_MINIMIZEBOX) // a bar at the bottom
        dc.FillSolidRect(rcMin.left + 4, rcMin.bottom - 6, rcMin.Width() - 9, 2, ink);
    if (w->style & WS_MAXIMIZEBOX) {
        CRect box(rcMax.left + 3, rcMax.top + 3, rcMax.right - 4, rcMax.bottom - 4);
        if (w->maximized) { // restore: two overlapping windows
            CRect back(box.left + 3, box.top, box.right, box.bottom - 3), front(box.left, box.top + 3, box.right - 3, box.bottom);
            dc.FrameRect(&back, CBrush::FromHandle(GetSysColorBrush(COLOR_BTNTEXT)));
            dc.FillSolidRect(&front, GetSysColor(COLOR_BTNFACE));
            dc.FrameRect(&front, CBrush::FromHandle(GetSysColorBrush(COLOR_BTNTEXT)));
            dc.FillSolidRect(front.left, front.top, front.Width(), 2, ink);
        } else {
            dc.FrameRect(&box, CBrush::FromHandle(GetSysColorBrush(COLOR_BTNTEXT)));
            dc.FillSolidRect(box.left, box.top, box.Width(), 2, ink);
        }
    }
}

LRESULT DefNcHitTest(HWND h, POINT screen)
{
    Wnd* w = W(h);
    if (!w) return HTNOWHERE;
    POINT o = WindowOrigin(h);
    POINT p {screen.x - o.x, screen.y - o.y};
    int cx = w->rc.right - w->rc.left, cy = w->rc.bottom - w->rc.top;
    if (p.x < 0 || p.y < 0 || p.x >= cx || p.y >= cy) return HTNOWHERE;
    const RECT& c = w->rcClient;
    if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom) return HTCLIENT;
    RECT sb;
    if (ScrollBarRect(w, SB_VERT, &sb) && p.x >= sb.left && p.x < sb.right && p.y >= sb.top && p.y < sb.bottom)
        return HTVSCROLL;
    if (ScrollBarRect(w, SB_HORZ, &sb) && p.x >= sb.left && p.x < sb.right && p.y >= sb.top && p.y < sb.bottom)
        return HTHSCROLL;
    if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL) && p.x >= c.right && p.y >= c.bottom &&
        p.x < c.right + GetSystemMetrics(SM_CXVSCROLL) && p.y < c.bottom + GetSystemMetrics(SM_CYHSCROLL))
        return HTGROWBOX;
    int f = frameWidth(w);
    if (hasCaption(w)) {
        int capTop = f, capBottom = f + captionHeight(w);
        if (p.y >= capTop && p.y < capBottom && p.x >= f && p.x < cx - f) {
            int btn = captionHeight(w) - 4;
            if ((w->style & WS_SYSMENU) && p.x >= cx - f - 2 - btn) return HTCLOSE;
            CRect cap(f, capTop, cx - f, capBottom);
            CRect minRc, maxRc;
            if (sizeButtonRects(w, cap, &minRc, &maxRc)) {
                if (minRc.PtInRect(p)) return HTMINBUTTON;
                if (maxRc.PtInRect(p)) return HTMAXBUTTON;
            }
            return HTCAPTION;
        }
    }
    if (w->style & WS_THICKFRAME) {
        bool l = p.x < f, r = p.x >= cx - f, t = p.y < f, b = p.y >= cy - f;
        if (t && l) return HTTOPLEFT;
        if (t && r) return HTTOPRIGHT;
        if (b && l) return HTBOTTOMLEFT;
        if (b && r) return HTBOTTOMRIGHT;
        if (l) return HTLEFT;
        if (r) return HTRIGHT;
        if (t) return HTTOP;
        if (b) return HTBOTTOM;
    }
    return HTBORDER;
}

void DefNcPaint(HWND h)
{
    Wnd* w = W(h);
    if (!w || !IsVisibleDeep(h)) return;
    HDC hdc = GetWindowDC(h);
    CDC* dc = CDC::FromHandle(hdc);
    CRect r(0, 0, w->rc.right - w->rc.left, w->rc.bottom - w->rc.top);
    dc->ExcludeClipRect(&w->rcClient); // the frame never paints over the client area
    int f = frameWidth(w);
    if (hasCaption(w)) {
        if (f < 2) f = std::max(f, 1);
        dc->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
        CRect edge = r;
        if (f >= 2) dc->DrawEdge(&edge, EDGE_RAISED, BF_RECT);
        else dc->FrameRect(&edge, CBrush::FromHandle(GetSysColorBrush(COLOR_WINDOWFRAME)));
        bool active = Input().active == h;
        CRect cap(f, f, r.right - f, f + captionHeight(w));
        dc->FillSolidRect(&cap, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        CRect text = cap;
        text.left += 4;
        int btn = captionHeight(w) - 4;
        if (w->style & WS_SYSMENU) {
            text.right -= btn + 4;
            CRect b(cap.right - 2 - btn, cap.top + 2, cap.right - 2, cap.top + 2 + btn);
            dc->FillSolidRect(&b, GetSysColor(COLOR_BTNFACE));
            dc->DrawEdge(&b, EDGE_RAISED, BF_RECT);
            CPen pen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
            CPen* old = dc->SelectObject(&pen);
            for (int k = 0; k < 2; ++k) {
                dc->MoveTo(b.left + 4 + k, b.top + 3);
                dc->LineTo(b.right - 4 + k, b.bottom - 4);
                dc->MoveTo(b.right - 5 + k, b.top + 3);
                dc->LineTo(b.left + 3 + k, b.bottom - 4);
            }
            dc->SelectObject(old);
        }
        CRect minRc, maxRc;
        if (sizeButtonRects(w, cap, &minRc, &maxRc)) {
            text.right = minRc.left - 2;
            drawSizeButtons(*dc, w, minRc, maxRc);
        }
        LOGFONT lf {};
        lf.lfHeight = -11;
        lf.lfWeight = FW_BOLD;
        strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* oldFont = dc->SelectObject(&font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        dc->DrawText(w->text.c_str(), int(w->text.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        dc->SelectObject(oldFont);
    } else if (f > 0) {
        if ((w->style & WS_THICKFRAME) || (w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
            dc->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
            CRect edge = r;
            dc->DrawEdge(&edge, EDGE_RAISED, BF_RECT);
        } else {
            dc->FrameRect(&r, CBrush::FromHandle(GetSysColorBrush(COLOR_WINDOWFRAME)));
        }
    }
    CRect inner = r;
    inner.DeflateRect(f, f);
    inner.top += captionHeight(w);
    if (w->exStyle & WS_EX_CLIENTEDGE) {
        dc->DrawEdge(&inner, EDGE_SUNKEN, BF_RECT);
    } else if (w->exStyle & WS_EX_STATICEDGE) {
        dc->DrawEdge(&inner, BDR_SUNKENOUTER, BF_RECT);
    }
    if (w->style & WS_VSCROLL) drawBar(dc, w, SB_VERT);
    if (w->style & WS_HSCROLL) drawBar(dc, w, SB_HORZ);
    if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL)) {
        CRect box(w->rcClient.right, w->rcClient.bottom, w->rcClient.right + GetSystemMetrics(SM_CXVSCROLL),
                  w->rcClient.bottom + GetSystemMetrics(SM_CYHSCROLL));
        dc->FillSolidRect(&box, GetSysColor(COLOR_BTNFACE));
    }
    ReleaseDC(h, hdc);
}

void PaintScrollBarControl(HWND h, HDC hdc)
{
    Wnd* w = W(h);
    if (w) drawBar(CDC::FromHandle(hdc), w, SB_CTL);
}

// The user works a scroll bar: arrows and page areas repeat while held, the thumb follows the
// pointer. Runs its own message loop until the button comes up or the capture is lost.
void ScrollBarMouse(HWND h, int bar, UINT, POINT screen)
{
    Wnd* w = W(h);
    if (!w || g_track.h) return;
    BarGeom g = geometry(w, bar);
    if (!g.active) return;
    POINT o = bar == SB_CTL ? ClientOrigin(h) : WindowOrigin(h);
    auto along = [&](POINT s) { return g.vert ? s.y - o.y - g.rc.top : s.x - o.x - g.rc.left; };
    int at = along(screen);
    UINT code;
    bool thumb = false;
    if (at < g.arrow) code = SB_LINEUP;
    else if (at >= g.len - g.arrow) code = SB_LINEDOWN;
    else if (at < g.thumbPos) code = SB_PAGEUP;
    else if (at >= g.thumbPos + g.thumbLen) code = SB_PAGEDOWN;
    else { code = SB_THUMBTRACK; thumb = true; }
    int grab = at - g.thumbPos;

    g_track = Tracking {h, bar, thumb};
    w->sb[bar].nTrackPos = w->sb[bar].nPos;
    SetCapture(h);
    const UINT_PTR kRepeat = 0xFFF0;
    if (!thumb) {
        sendScroll(h, bar, code, 0);
        if (IsWindow(h)) SetTimer(h, kRepeat, 400, nullptr);
    }
    for (;;) {
        if (!IsWindow(h) || GetCapture() != h) break;
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) { PostQuitMessage(int(m.wParam)); break; }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
        if (m.message == WM_TIMER && m.hwnd == h && m.wParam == kRepeat) {
            SetTimer(h, kRepeat, 50, nullptr);
            POINT cur = Input().cursor;
            BarGeom ng = geometry(W(h), bar);
            int now = along(cur);
            // Page repeats stop once the thumb reaches the pointer.
            if (code == SB_PAGEUP && now >= ng.thumbPos) continue;
            if (code == SB_PAGEDOWN && now < ng.thumbPos + ng.thumbLen) continue;
            sendScroll(h, bar, code, 0);
            continue;
        }
        if (m.message == WM_MOUSEMOVE && thumb) {
            Wnd* cw = W(h);
            ScrollBar& s = cw->sb[bar];
            BarGeom ng = geometry(cw, bar);
            int track = ng.len - 2 * ng.arrow - ng.thumbLen;
            int maxPos = s.nMax - std::max(int(s.nPage) - 1, 0);
            int p = along(m.pt) - grab - ng.arrow;
            int pos = track > 0 ? s.nMin + int(int64_t(p) * (maxPos - s.nMin) / track) : s.nMin;
            pos = std::clamp(pos, s.nMin, std::max(s.nMin, maxPos));
            if (pos != s.nTrackPos) {
                s.nTrackPos = pos;
                redrawBar(h, bar);
                sendScroll(h, bar, SB_THUMBTRACK, pos);
            }
            continue;
        }
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        if (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK) continue;
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    if (IsWindow(h)) {
        KillTimer(h, kRepeat);
        if (thumb) sendScroll(h, bar, SB_THUMBPOSITION, W(h)->sb[bar].nTrackPos);
        if (IsWindow(h)) sendScroll(h, bar, SB_ENDSCROLL, 0);
    }
    g_track = Tracking {};
    if (IsWindow(h)) {
        redrawBar(h, bar);
        if (GetCapture() == h) ReleaseCapture();
    }
}

} // namespace pvwin

using namespace pvwin;

static ScrollBar* barOf(HWND h, int bar)
{
    Wnd* w = W(h);
    if (!w || bar < SB_HORZ || bar > SB_CTL) return nullptr;
    return &w->sb[bar];
}

int SetScrollInfo(HWND h, int bar, LPCSCROLLINFO si, BOOL redraw)
{
    ScrollBar* s = barOf(h, bar);
    if (!s || !si) return 0;
    if (si->fMask & SIF_RANGE) {
        s->nMin = si->nMin;
        s->nMax = std::max(si->nMin, si->nMax);
    }
    if (si->fMask & SIF_PAGE) s->nPage = si->nPage;
    int range = s->nMax - s->nMin + 1;
    if (int64_t(s->nPage) > int64_t(range)) s->nPage = UINT(range);
    if (si->fMask & SIF_POS) s->nPos = si->nPos;
    int maxPos = s->nMax - std::max(int(s->nPage) - 1, 0);
    s->nPos = std::clamp(s->nPos, s->nMin, std::max(s->nMin, maxPos));
    s->everSet = true;
    int pos = s->nPos;
    if (si->fMask & (SIF_RANGE | SIF_PAGE)) applyVisibility(h, bar, (si->fMask & SIF_DISABLENOSCROLL) != 0);
    if (redraw) redrawBar(h, bar);
    return pos;
}

BOOL GetScrollInfo(HWND h, int bar, LPSCROLLINFO si)
{
    ScrollBar* s = barOf(h, bar);
    if (!s || !si) return FALSE;
    if (bar != SB_CTL && !s->everSet && !barVisible(W(h), bar)) return FALSE;
    if (si->fMask & SIF_RANGE) { si->nMin = s->nMin; si->nMax = s->nMax; }
    if (si->fMask & SIF_PAGE) si->nPage = s->nPage;
    if (si->fMask & SIF_POS) si->nPos = s->nPos;
    if (si->fMask & SIF_TRACKPOS) si->nTrackPos = (g_track.h == h && g_track.bar == bar) ? s->nTrackPos : s->nPos;
    return TRUE;
}

int SetScrollPos(HWND h, int bar, int pos, BOOL redraw)
{
    ScrollBar* s = barOf(h, bar);
    if (!s) return 0;
    int old = s->nPos;
    SCROLLINFO si {sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(h, bar, &si, redraw);
    return old;
}

int GetScrollPos(HWND h, int bar)
{
    ScrollBar* s = barOf(h, bar);
    return s ? s->nPos : 0;
}

BOOL SetScrollRange(HWND h, int bar, int lo, int hi, BOOL redraw)
{
    if (!barOf(h, bar)) return FALSE;
    SCROLLINFO si {sizeof(SCROLLINFO), SIF_RANGE, lo, hi, 0, 0, 0};
    SetScrollInfo(h, bar, &si, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND h, int bar, int* lo, int* hi)
{
    ScrollBar* s = barOf(h, bar);
    if (!s) return FALSE;
    if (lo) *lo = s->nMin;
    if (hi) *hi = s->nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND h, int bar, BOOL show)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    if (bar == SB_CTL) return ShowWindow(h, show ? SW_SHOW : SW_HIDE), TRUE;
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    DWORD before = w->style;
    if (show) w->style |= bits;
    else w->style &= ~bits;
    if (w->style != before)
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL EnableScrollBar(HWND h, UINT bar, UINT arrows)
{
    Wnd* w = W(h);
    if (!w) return FALSE;
    auto apply = [&](int b) {
        w->sb[b].disabled = arrows & ESB_DISABLE_BOTH;
        redrawBar(h, b);
    };
    if (bar == SB_BOTH) { apply(SB_HORZ); apply(SB_VERT); }
    else if (bar <= SB_CTL) apply(int(bar));
    else return FALSE;
    return TRUE;
}

BOOL GetScrollBarInfo(HWND h, LONG idObject, PSCROLLBARINFO psbi)
{
    Wnd* w = W(h);
    if (!w || !psbi) return FALSE;
    int bar = idObject == OBJID_CLIENT ? SB_CTL : idObject == OBJID_HSCROLL ? SB_HORZ : idObject == OBJID_VSCROLL ? SB_VERT : -1;
    if (bar < 0 || (bar == SB_CTL && (w->style & (SBS_SIZEBOX | SBS_SIZEGRIP)))) return FALSE;
    BarGeom g = geometry(w, bar);
    *psbi = SCROLLBARINFO {};
    psbi->cbSize = sizeof(SCROLLBARINFO);
    psbi->rcScrollBar = g.rc;
    psbi->dxyLineButton = g.arrow;
    psbi->xyThumbTop = g.thumbPos;
    psbi->xyThumbBottom = g.thumbPos + g.thumbLen;
    if (!g.active) psbi->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    if (bar != SB_CTL && !barVisible(w, bar)) psbi->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    return TRUE;
}
