// Default message processing, and the scroll-bar control class.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cstring>

namespace pvwin {
void PaintScrollBarControl(HWND h, HDC hdc);
}

using namespace pvwin;

static LPCTSTR cursorForHit(LRESULT hit)
{
    switch (hit) {
    case HTLEFT: case HTRIGHT: return IDC_SIZEWE;
    case HTTOP: case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT: case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: case HTGROWBOX: return IDC_SIZENESW;
    default: return IDC_ARROW;
    }
}

// Moves a top-level window while its caption is dragged.
static void dragCaption(HWND h, POINT start)
{
    RECT r0;
    GetWindowRect(h, &r0);
    SetCapture(h);
    for (;;) {
        if (!IsWindow(h) || GetCapture() != h) break;
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) { PostQuitMessage(int(m.wParam)); break; }
        if (m.message == WM_LBUTTONUP) break;
        if (m.message == WM_MOUSEMOVE) {
            SetWindowPos(h, nullptr, r0.left + m.pt.x - start.x, r0.top + m.pt.y - start.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    if (GetCapture() == h) ReleaseCapture();
}

// Resizes a top-level window while one of its sizing borders is dragged.
static void dragBorder(HWND h, LRESULT hit, POINT start)
{
    RECT r0;
    GetWindowRect(h, &r0);
    bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX;
    bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX;
    MINMAXINFO mmi {};
    mmi.ptMinTrackSize = POINT {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    const int minW = std::max<int>(1, mmi.ptMinTrackSize.x), minH = std::max<int>(1, mmi.ptMinTrackSize.y);
    SetCapture(h);
    for (;;) {
        if (!IsWindow(h) || GetCapture() != h) break;
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) { PostQuitMessage(int(m.wParam)); break; }
        if (m.message == WM_LBUTTONUP) break;
        if (m.message == WM_MOUSEMOVE) {
            int dx = m.pt.x - start.x, dy = m.pt.y - start.y;
            RECT r = r0;
            if (left) r.left = std::min<LONG>(r0.left + dx, r0.right - minW);
            if (right) r.right = std::max<LONG>(r0.right + dx, r0.left + minW);
            if (top) r.top = std::min<LONG>(r0.top + dy, r0.bottom - minH);
            if (bottom) r.bottom = std::max<LONG>(r0.bottom + dy, r0.top + minH);
            SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    if (GetCapture() == h) ReleaseCapture();
}

LRESULT DefWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    Wnd* w = W(h);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE: {
        RECT* r = reinterpret_cast<RECT*>(lp);
        if (!r) return 0;
        Wnd probe = Wnd();
        probe.style = w->style;
        probe.exStyle = w->exStyle;
        probe.parent = w->parent;
        probe.rc = *r;
        RECT c;
        NcCalcRects(&probe, &c);
        *r = RECT {r->left + c.left, r->top + c.top, r->left + c.right, r->top + c.bottom};
        return 0;
    }
    case WM_NCHITTEST:
        return DefNcHitTest(h, POINT {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCPAINT:
        DefNcPaint(h);
        return 0;
    case WM_NCACTIVATE:
        if ((w->style & WS_CAPTION) == WS_CAPTION) MarkFrameDirty(h);
        return TRUE;
    case WM_ERASEBKGND:
        if (!w->wc.hbrBackground) return 0;
        DefEraseBackground(h, reinterpret_cast<HDC>(wp));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    }
    case WM_SETTEXT: {
        w->text = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
        if ((w->style & WS_CAPTION) == WS_CAPTION) MarkFrameDirty(h);
        if (IsTopLevel(w)) CurrentBackend().windowChanged(h);
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        int n = int(wp);
        if (!buf || n <= 0) return 0;
        int len = std::min<int>(int(w->text.size()), n - 1);
        memcpy(buf, w->text.data(), size_t(len));
        buf[len] = 0;
        return len;
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case WM_SETICON:
    case WM_GETICON: {
        // Kept for whoever asks; the window's frame draws no icon.
        LPCTSTR slot = wp == ICON_BIG ? "PvIconBig" : "PvIconSmall";
        HANDLE old = GetProp(h, slot);
        if (msg == WM_SETICON) SetProp(h, slot, reinterpret_cast<HANDLE>(lp));
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_CLOSE:
        DestroyWindow(h);
        return 0;
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_CLOSE: Send(h, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(h, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(h, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindow(h, SW_RESTORE); break;
        default: break;
        }
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* p = reinterpret_cast<const WINDOWPOS*>(lp);
        if (!p) return 0;
        if (!(p->flags & SWP_NOSIZE)) {
            UINT type = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
            Send(h, WM_SIZE, type, MAKELPARAM(w->rcClient.right - w->rcClient.left, w->rcClient.bottom - w->rcClient.top));
        }
        if ((w = W(h)) && !(p->flags & SWP_NOMOVE))
            Send(h, WM_MOVE, 0, MAKELPARAM(w->rc.left + w->rcClient.left, w->rc.top + w->rcClient.top));
        return 0;
    }
    case WM_SETCURSOR: {
        if ((w->style & WS_CHILD) && w->parent && Send(w->parent, WM_SETCURSOR, wp, lp)) return TRUE;
        if (reinterpret_cast<HWND>(wp) != h) return FALSE;
        short hit = short(LOWORD(lp));
        if (!(w = W(h))) return FALSE;
        if (hit == HTCLIENT) {
            if (w->wc.hCursor) { SetCursor(w->wc.hCursor); return TRUE; }
            return FALSE;
        }
        SetCursor(LoadCursor(nullptr, cursorForHit(hit)));
        return TRUE;
    }
    case WM_MOUSEACTIVATE:
        if ((w->style & WS_CHILD) && w->parent) {
            LRESULT r = Send(w->parent, WM_MOUSEACTIVATE, wp, lp);
            if (r) return r;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) SetFocus(h);
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == h) ReleaseCapture();
        return 0;
    case WM_MOUSEWHEEL:
    case WM_HELP:
        if ((w->style & WS_CHILD) && w->parent) return Send(w->parent, msg, wp, lp);
        return 0;
    case WM_CONTEXTMENU:
        if ((w->style & WS_CHILD) && w->parent) Send(w->parent, WM_CONTEXTMENU, wp, lp);
        return 0;
    case WM_RBUTTONUP: {
        POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &p);
        Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_NCLBUTTONDOWN: {
        POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (wp == HTVSCROLL) ScrollBarMouse(h, SB_VERT, msg, p);
        else if (wp == HTHSCROLL) ScrollBarMouse(h, SB_HORZ, msg, p);
        else if (wp == HTCLOSE) Send(h, WM_SYSCOMMAND, SC_CLOSE, lp);
        else if (wp == HTMINBUTTON && (w->style & WS_MINIMIZEBOX)) Send(h, WM_SYSCOMMAND, SC_MINIMIZE, lp);
        else if (wp == HTMAXBUTTON && (w->style & WS_MAXIMIZEBOX))
            Send(h, WM_SYSCOMMAND, w->maximized ? SC_RESTORE : SC_MAXIMIZE, lp);
        else if (wp == HTCAPTION && IsTopLevel(w) && !w->maximized) dragCaption(h, p);
        else if (wp >= HTLEFT && wp <= HTBOTTOMRIGHT && IsTopLevel(w) && !w->maximized && (w->style & WS_THICKFRAME))
            dragBorder(h, LRESULT(wp), p);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTCAPTION && (w->style & WS_MAXIMIZEBOX) && IsTopLevel(w))
            Send(h, WM_SYSCOMMAND, w->maximized ? SC_RESTORE : SC_MAXIMIZE, lp);
        else if (wp == HTVSCROLL || wp == HTHSCROLL)
            return DefWindowProc(h, WM_NCLBUTTONDOWN, wp, lp);
        return 0;
    case WM_SYSKEYDOWN:
        if (wp == VK_F4 && (GetKeyState(VK_MENU) & 0x8000)) {
            HWND top = TopLevelOf(h);
            if (top) Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_CTLCOLOR: {
        UINT kind = msg == WM_CTLCOLOR ? HIWORD(lp) : msg - WM_CTLCOLORMSGBOX;
        HDC hdc = reinterpret_cast<HDC>(wp);
        bool windowish = kind == CTLCOLOR_EDIT || kind == CTLCOLOR_LISTBOX;
        if (CDC* dc = CDC::FromHandle(hdc)) {
            dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
            dc->SetBkColor(GetSysColor(windowish ? COLOR_WINDOW : COLOR_BTNFACE));
        }
        return reinterpret_cast<LRESULT>(GetSysColorBrush(windowish ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_SETREDRAW:
        w->redrawOff = !wp;
        PaintStateChanged();
        return 0;
    default:
        return 0;
    }
}

// ---- The scroll-bar control ----

static bool isSizeBox(HWND h) { return (GetWindowLong(h, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0; }

// The face of the corner box; a grip adds three pairs of diagonal ridges toward the corner.
static void paintSizeBox(HWND h, HDC hdc)
{
    CDC* dc = CDC::FromHandle(hdc);
    RECT rc;
    GetClientRect(h, &rc);
    CRect r(rc);
    dc->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
    if (!(GetWindowLong(h, GWL_STYLE) & SBS_SIZEGRIP) || !IsWindowEnabled(h))
        return;
    CPen light(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)), dark(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    CPen* old = dc->SelectObject(&dark);
    const int n = std::min(r.Width(), r.Height());
    for (int d = 3; d < n; d += 4) {
        dc->SelectObject(&light);
        dc->MoveTo(r.right - d - 1, r.bottom);
        dc->LineTo(r.right, r.bottom - d - 1);
        dc->SelectObject(&dark);
        for (int k = 0; k < 2 && d + k + 1 < n; ++k) {
            dc->MoveTo(r.right - d + k, r.bottom);
            dc->LineTo(r.right, r.bottom - d + k);
        }
    }
    dc->SelectObject(old);
}

static LRESULT sizeBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(h, &ps);
        paintSizeBox(h, hdc);
        EndPaint(h, &ps);
        return 0;
    }
    case WM_SETCURSOR:
        if (!IsWindowEnabled(h)) return DefWindowProc(h, msg, wp, lp);
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Dragging the box sizes the top-level window by its bottom-right corner.
        HWND top = TopLevelOf(h);
        if (!top || !IsWindowEnabled(h) || IsZoomed(top) || !(GetWindowLong(top, GWL_STYLE) & WS_THICKFRAME)) return 0;
        POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &p);
        dragBorder(top, HTBOTTOMRIGHT, p);
        return 0;
    }
    default:
        return DefWindowProc(h, msg, wp, lp);
    }
}

static LRESULT CALLBACK_ScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != WM_NCCREATE && msg != WM_CREATE && isSizeBox(h))
        return sizeBoxProc(h, msg, wp, lp);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(h, &ps);
        PaintScrollBarControl(h, hdc);
        EndPaint(h, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &p);
        ScrollBarMouse(h, SB_CTL, msg, p);
        return 0;
    }
    case SBM_SETPOS: return SetScrollPos(h, SB_CTL, int(wp), BOOL(lp));
    case SBM_GETPOS: return GetScrollPos(h, SB_CTL);
    case SBM_SETRANGE: SetScrollRange(h, SB_CTL, int(wp), int(lp), FALSE); return 0;
    case SBM_GETRANGE: GetScrollRange(h, SB_CTL, reinterpret_cast<int*>(wp), reinterpret_cast<int*>(lp)); return 0;
    case SBM_ENABLE_ARROWS: return EnableScrollBar(h, SB_CTL, UINT(wp));
    case SBM_SETSCROLLINFO: return SetScrollInfo(h, SB_CTL, reinterpret_cast<LPCSCROLLINFO>(lp), BOOL(wp));
    case SBM_GETSCROLLINFO: return GetScrollInfo(h, SB_CTL, reinterpret_cast<LPSCROLLINFO>(lp));
    case WM_GETDLGCODE: return 0;
    default: return DefWindowProc(h, msg, wp, lp);
    }
}

namespace pvwin {
void RegisterBuiltinClasses()
{
    WNDCLASS wc {};
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = CALLBACK_ScrollBarProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ScrollBar";
    RegisterClass(&wc);
}
} // namespace pvwin
