#include "ui_fixture.h"

#include <cstring>

namespace {
// Draws a stand-in control the way the real ones look, so that screenshots read as a program.
void paintControl(HWND h, int kind)
{
    PAINTSTRUCT ps;
    CDC* dc = CDC::FromHandle(BeginPaint(h, &ps));
    if (!dc) {
        EndPaint(h, &ps);
        return;
    }
    CRect rc;
    GetClientRect(h, &rc);
    char text[256] = {};
    GetWindowText(h, text, sizeof text);
    HGDIOBJ old = dc->SelectObject(GetStockObject(DEFAULT_GUI_FONT));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    DWORD style = DWORD(GetWindowLong(h, GWL_STYLE));
    if (kind == 0) {
        DWORD t = style & BS_TYPEMASK;
        if (t == BS_GROUPBOX) {
            CRect box = rc;
            box.top += 6;
            dc->Draw3dRect(&box, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            CSize ext = dc->GetTextExtent(text, int(strlen(text)));
            dc->FillSolidRect(8, 0, ext.cx + 4, ext.cy, GetSysColor(COLOR_BTNFACE));
            dc->TextOut(10, 0, text, int(strlen(text)));
        } else if (t == BS_AUTOCHECKBOX || t == BS_CHECKBOX || t == BS_AUTORADIOBUTTON || t == BS_RADIOBUTTON) {
            dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
            CRect box(0, (rc.Height() - 13) / 2, 13, (rc.Height() - 13) / 2 + 13);
            dc->FillSolidRect(&box, RGB(255, 255, 255));
            dc->DrawEdge(&box, EDGE_SUNKEN, BF_RECT);
            if (GetWindowLong(h, GWL_USERDATA)) dc->FillSolidRect(box.left + 4, box.top + 4, 5, 5, RGB(0, 0, 0));
            CRect tr(18, 0, rc.right, rc.bottom);
            dc->DrawText(text, -1, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        } else {
            dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
            CRect b = rc;
            if (t == BS_DEFPUSHBUTTON) {
                dc->Draw3dRect(&b, RGB(0, 0, 0), RGB(0, 0, 0));
                b.DeflateRect(1, 1);
            }
            dc->DrawEdge(&b, EDGE_RAISED, BF_RECT);
            dc->DrawText(text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    } else if (kind == 1) {
        dc->FillSolidRect(&rc, RGB(255, 255, 255));
        dc->DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
        CRect tr = rc;
        tr.DeflateRect(4, 2);
        dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc->DrawText(text, -1, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
        dc->DrawText(text, -1, &rc, DT_LEFT | DT_TOP | DT_WORDBREAK);
    }
    dc->SelectObject(old);
    EndPaint(h, &ps);
}

LRESULT staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        paintControl(h, 2);
        return 0;
    }
    if (msg == WM_GETDLGCODE) return DLGC_STATIC;
    return DefWindowProc(h, msg, wp, lp);
}

LRESULT buttonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE: {
        DWORD s = DWORD(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
        if (s == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (s == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (s == BS_AUTORADIOBUTTON || s == BS_RADIOBUTTON) return DLGC_BUTTON | DLGC_RADIOBUTTON;
        return DLGC_BUTTON;
    }
    case WM_PAINT: paintControl(h, 0); return 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(h, msg, wp, lp);
        InvalidateRect(h, nullptr, TRUE);
        return r;
    }
    case BM_GETCHECK: return GetWindowLong(h, GWL_USERDATA);
    case BM_SETCHECK: SetWindowLong(h, GWL_USERDATA, LONG_PTR(wp)); return 0;
    case BM_SETSTYLE:
        SetWindowLong(h, GWL_STYLE, (GetWindowLong(h, GWL_STYLE) & ~LONG_PTR(BS_TYPEMASK)) | LONG_PTR(wp & BS_TYPEMASK));
        return 0;
    case BM_CLICK:
    case WM_LBUTTONUP: {
        DWORD s = DWORD(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
        if (s == BS_AUTOCHECKBOX) SetWindowLong(h, GWL_USERDATA, !GetWindowLong(h, GWL_USERDATA));
        SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
        return 0;
    }
    default: return DefWindowProc(h, msg, wp, lp);
    }
}

LRESULT editProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE: {
        DWORD s = DWORD(GetWindowLong(h, GWL_STYLE));
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | ((s & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
    }
    case WM_PAINT: paintControl(h, 1); return 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(h, msg, wp, lp);
        InvalidateRect(h, nullptr, TRUE);
        return r;
    }
    case WM_CHAR: {
        if (wp < 0x20) return 0;
        char buf[512] = {};
        int n = GetWindowText(h, buf, sizeof buf - 2);
        buf[n] = char(wp);
        buf[n + 1] = 0;
        SetWindowText(h, buf);
        return 0;
    }
    case EM_LIMITTEXT: SetWindowLong(h, GWL_USERDATA, LONG_PTR(wp)); return 0;
    case EM_SETSEL: return 0;
    default: return DefWindowProc(h, msg, wp, lp);
    }
}
} // namespace

void RegisterStandInControls()
{
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASS b {};
    b.lpfnWndProc = &buttonProc;
    b.lpszClassName = "BUTTON";
    b.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClass(&b);
    WNDCLASS e {};
    e.lpfnWndProc = &editProc;
    e.lpszClassName = "EDIT";
    e.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    RegisterClass(&e);
    WNDCLASS s {};
    s.lpfnWndProc = &staticProc;
    s.lpszClassName = "STATIC";
    RegisterClass(&s);
}
