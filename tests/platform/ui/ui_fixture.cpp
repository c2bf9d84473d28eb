#include "ui_fixture.h"

namespace {
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
    s.lpfnWndProc = &DefWindowProc;
    s.lpszClassName = "STATIC";
    RegisterClass(&s);
}
