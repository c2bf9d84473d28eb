// The framework's message box window: icon, wrapped text and buttons, keyboard and mouse, modal
// over its owner.

#include "platform/ui/msgbox.h"

#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/win/pvwin.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Button {
    int id;
    const char* label;
    CRect rc;
};

struct Box {
    std::string text;
    UINT type = 0;
    std::vector<Button> buttons;
    int focus = 0;
    int pressed = -1;
    int result = 0;
    bool done = false;
    CRect rcText;
    CRect rcIcon;
};

Box* g_box = nullptr;  // boxes may nest: each run keeps its own in a local and swaps this

std::vector<Button> buttonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK", {}}, {IDCANCEL, "Cancel", {}}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort", {}}, {IDRETRY, "&Retry", {}}, {IDIGNORE, "&Ignore", {}}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes", {}}, {IDNO, "&No", {}}, {IDCANCEL, "Cancel", {}}};
    case MB_YESNO: return {{IDYES, "&Yes", {}}, {IDNO, "&No", {}}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry", {}}, {IDCANCEL, "Cancel", {}}};
    default: return {{IDOK, "OK", {}}};
    }
}

HGDIOBJ font() { return GetStockObject(DEFAULT_GUI_FONT); }

void drawIcon(CDC& dc, const CRect& r, UINT type)
{
    UINT icon = type & MB_ICONMASK;
    if (!icon) return;
    COLORREF fill = RGB(0, 0, 255);
    const char* glyph = "i";
    if (icon == MB_ICONHAND) { fill = RGB(220, 0, 0); glyph = "X"; }
    else if (icon == MB_ICONQUESTION) { fill = RGB(0, 0, 200); glyph = "?"; }
    else if (icon == MB_ICONEXCLAMATION) { fill = RGB(250, 210, 0); glyph = "!"; }
    CBrush brush(fill);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush* ob = dc.SelectObject(&brush);
    CPen* op = dc.SelectObject(&pen);
    if (icon == MB_ICONEXCLAMATION) {
        POINT tri[] = {{r.left + r.Width() / 2, r.top + 1}, {r.right - 1, r.bottom - 2}, {r.left + 1, r.bottom - 2}};
        dc.Polygon(tri, 3);
    } else {
        dc.Ellipse(r.left, r.top, r.right, r.bottom);
    }
    dc.SelectObject(ob);
    dc.SelectObject(op);
    CFont big;
    big.CreateFont(-(r.Height() * 2 / 3), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    CFont* of = dc.SelectObject(&big);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(icon == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
    CRect tr = r;
    if (icon == MB_ICONEXCLAMATION) tr.top += r.Height() / 6;
    dc.DrawText(glyph, 1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(of);
}

void paint(HWND h)
{
    PAINTSTRUCT ps;
    CDC* pdc = CDC::FromHandle(BeginPaint(h, &ps));
    Box* b = reinterpret_cast<Box*>(GetWindowLong(h, GWL_USERDATA));
    if (pdc && b) {
        CDC& dc = *pdc;
        CRect rc;
        GetClientRect(h, &rc);
        dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
        drawIcon(dc, b->rcIcon, b->type);
        HGDIOBJ of = dc.SelectObject(font());
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        CRect tr = b->rcText;
        dc.DrawText(b->text.c_str(), int(b->text.size()), &tr, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        for (size_t i = 0; i < b->buttons.size(); ++i) {
            const Button& bt = b->buttons[i];
            CRect r = bt.rc;
            bool focus = int(i) == b->focus;
            dc.FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
            if (focus) {
                dc.Draw3dRect(&r, RGB(0, 0, 0), RGB(0, 0, 0));
                r.DeflateRect(1, 1);
            }
            dc.DrawEdge(&r, int(i) == b->pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            CRect t = r;
            if (int(i) == b->pressed) t.OffsetRect(1, 1);
            dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
            dc.DrawText(bt.label, -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            if (focus) {
                CRect f = r;
                f.DeflateRect(3, 3);
                dc.DrawFocusRect(&f);
            }
        }
        dc.SelectObject(of);
    }
    EndPaint(h, &ps);
}

int hitButton(Box* b, POINT p)
{
    for (size_t i = 0; i < b->buttons.size(); ++i)
        if (b->buttons[i].rc.PtInRect(p)) return int(i);
    return -1;
}

void finish(Box* b, int id)
{
    b->result = id;
    b->done = true;
}

int cancelId(Box* b)
{
    for (const Button& bt : b->buttons)
        if (bt.id == IDCANCEL) return IDCANCEL;
    return b->buttons.size() == 1 ? b->buttons[0].id : 0;
}

LRESULT proc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    Box* b = reinterpret_cast<Box*>(GetWindowLong(h, GWL_USERDATA));
    switch (msg) {
    case WM_PAINT: paint(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        if (b) {
            POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            b->pressed = hitButton(b, p);
            if (b->pressed >= 0) {
                b->focus = b->pressed;
                SetCapture(h);
            }
            InvalidateRect(h, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (b && b->pressed >= 0) {
            POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            int i = b->pressed;
            b->pressed = -1;
            ReleaseCapture();
            InvalidateRect(h, nullptr, FALSE);
            if (hitButton(b, p) == i) finish(b, b->buttons[size_t(i)].id);
        }
        return 0;
    case WM_KEYDOWN:
        if (!b) return 0;
        switch (wp) {
        case VK_RETURN: case VK_SPACE: finish(b, b->buttons[size_t(b->focus)].id); break;
        case VK_ESCAPE: if (int id = cancelId(b)) finish(b, id); break;
        case VK_TAB: case VK_RIGHT: case VK_DOWN: case VK_LEFT: case VK_UP: {
            bool back = wp == VK_LEFT || wp == VK_UP || (wp == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
            int n = int(b->buttons.size());
            b->focus = (b->focus + (back ? n - 1 : 1)) % n;
            InvalidateRect(h, nullptr, FALSE);
            break;
        }
        default: break;
        }
        return 0;
    case WM_CHAR: case WM_SYSCHAR:
        if (b && wp < 0x80) {
            int c = std::tolower(int(wp));
            for (const Button& bt : b->buttons) {
                const char* amp = std::strchr(bt.label, '&');
                if (amp && std::tolower(static_cast<unsigned char>(amp[1])) == c) finish(b, bt.id);
            }
        }
        return 0;
    case WM_CLOSE:
        if (b) {
            if (int id = cancelId(b)) finish(b, id);
        }
        return 0;
    default: return DefWindowProc(h, msg, wp, lp);
    }
}

void layout(Box& b, HWND owner, CRect* window)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ of = dc.SelectObject(font());
    int maxText = std::max(200, GetSystemMetrics(SM_CXSCREEN) * 3 / 5);
    CRect tr(0, 0, maxText, 0);
    dc.DrawText(b.text.c_str(), int(b.text.size()), &tr, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    TEXTMETRIC tm {};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(of);
    const int margin = 12, icon = (b.type & MB_ICONMASK) ? 32 : 0, gap = icon ? 12 : 0;
    int bw = 75, bh = std::max<int>(23, int(tm.tmHeight) + 10), bgap = 8;
    int n = int(b.buttons.size());
    int buttonsWidth = n * bw + (n - 1) * bgap;
    int contentW = std::max<int>(icon + gap + tr.Width(), buttonsWidth);
    int textH = std::max<int>(tr.Height(), icon);
    int cw = contentW + 2 * margin, ch = margin + textH + margin + bh + margin;
    b.rcIcon = CRect(margin, margin, margin + icon, margin + icon);
    b.rcText = CRect(margin + icon + gap, margin + (textH - tr.Height()) / 2, margin + icon + gap + tr.Width(),
                     margin + (textH - tr.Height()) / 2 + tr.Height());
    int x = (cw - buttonsWidth) / 2, y = margin + textH + margin;
    for (Button& bt : b.buttons) {
        bt.rc = CRect(x, y, x + bw, y + bh);
        x += bw + bgap;
    }
    CRect wr(0, 0, cw, ch);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&wr, style, FALSE, WS_EX_DLGMODALFRAME);
    CRect over;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    else over = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int wx = over.left + (over.Width() - wr.Width()) / 2, wy = over.top + (over.Height() - wr.Height()) / 3;
    wx = std::max(0, std::min(wx, GetSystemMetrics(SM_CXSCREEN) - wr.Width()));
    wy = std::max(0, std::min(wy, GetSystemMetrics(SM_CYSCREEN) - wr.Height()));
    *window = CRect(wx, wy, wx + wr.Width(), wy + wr.Height());
}

} // namespace

int PvUiMessageBox(HWND hOwner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASS wc {};
        wc.lpfnWndProc = &proc;
        wc.style = CS_SAVEBITS;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "PvMessageBox";
        RegisterClass(&wc);
    }
    Box box;
    box.text = text ? text : "";
    box.type = type;
    box.buttons = buttonsOf(type);
    size_t def = (type & MB_DEFMASK) >> 8;
    box.focus = def < box.buttons.size() ? int(def) : 0;
    HWND owner = hOwner;
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    if (!owner) owner = GetActiveWindow();
    HWND focus = GetFocus();
    if (HWND active = GetActiveWindow()) SendMessage(active, WM_CANCELMODE, 0, 0);
    CRect wr;
    layout(box, owner, &wr);
    HWND h = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, "PvMessageBox", caption ? caption : "Error",
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, wr.left, wr.top, wr.Width(), wr.Height(), owner, nullptr,
                            nullptr, nullptr);
    if (!h) return 0;
    SetWindowLong(h, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    bool disabled = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabled = true;
    }
    // Whatever escapes the loop, the owner must not stay disabled.
    struct Restore {
        HWND owner, box;
        bool enable;
        Box* outer;
        bool ran = false;
        ~Restore() { run(); }
        void run()
        {
            if (ran) return;
            ran = true;
            g_box = outer;
            if (enable && IsWindow(owner)) EnableWindow(owner, TRUE);
            if (IsWindow(box)) {
                SetWindowLong(box, GWL_USERDATA, 0);
                DestroyWindow(box);
            }
        }
    } restore {owner, h, disabled, g_box};
    ShowWindow(h, SW_SHOW);
    SetActiveWindow(h);
    SetFocus(h);
    g_box = &box;
    MSG m;
    while (!box.done && IsWindow(h)) {
        if (!GetMessage(&m, nullptr, 0, 0)) {
            PostQuitMessage(int(m.wParam));
            if (int id = cancelId(&box)) box.result = id;
            else box.result = box.buttons[size_t(box.focus)].id;
            break;
        }
        // Keys belong to the box whatever window had the focus.
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST && m.hwnd != h) m.hwnd = h;
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
    restore.run();
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return box.result;
}

void PvInstallUiMessageBox() { PvSetMessageBoxImpl(&PvUiMessageBox); }
