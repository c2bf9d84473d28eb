// The progress bar.

#include "platform/controls/ctlimpl.h"

#include <algorithm>

namespace pvctl {

struct ProgressCtl : Control {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
    COLORREF bar = CLR_DEFAULT;
    COLORREF back = CLR_DEFAULT;

    ProgressCtl(HWND hw, const CREATESTRUCT*) : Control(hw) {}

    int setPos(int p)
    {
        int old = pos;
        pos = high > low ? std::clamp(p, low, high) : low;
        if (pos != old) InvalidateRect(h, nullptr, TRUE);
        return old;
    }

    void paint(HDC hdc)
    {
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        dc->FillSolidRect(&rc, back == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : back);
        dc->DrawEdge(&rc, BDR_SUNKENOUTER, BF_RECT);
        RECT in = rc;
        rInflate(&in, -2, -2);
        long range = long(high) - long(low);
        if (range <= 0 || in.right <= in.left || in.bottom <= in.top) return;
        COLORREF c = bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : bar;
        bool vertical = (style() & PBS_VERTICAL) != 0;
        int span = vertical ? in.bottom - in.top : in.right - in.left;
        int filled = int(span * (long(pos) - low) / range);
        if (vertical) {
            RECT f {in.left, in.bottom - filled, in.right, in.bottom};
            dc->FillSolidRect(&f, c);
            return;
        }
        if (style() & PBS_SMOOTH) {
            RECT f {in.left, in.top, in.left + filled, in.bottom};
            dc->FillSolidRect(&f, c);
            return;
        }
        // Blocks, as the classic bar shows them.
        int bh = in.bottom - in.top;
        int bw = std::max(2, bh * 2 / 3);
        for (int x = in.left; x < in.left + filled; x += bw + 2) {
            RECT f {x, in.top, std::min<LONG>(x + bw, in.left + filled), in.bottom};
            dc->FillSolidRect(&f, c);
        }
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_GETDLGCODE: return 0;
        case PBM_SETRANGE: {
            LRESULT old = MAKELONG(low, high);
            // Each bound is a 16-bit unsigned number here: 0 to 65,535.
            low = int(LOWORD(lp));
            high = int(HIWORD(lp));
            setPos(pos);
            InvalidateRect(h, nullptr, TRUE);
            return old;
        }
        case PBM_SETRANGE32: {
            LRESULT old = MAKELONG(low, high);
            low = int(wp);
            high = int(lp);
            setPos(pos);
            InvalidateRect(h, nullptr, TRUE);
            return old;
        }
        case PBM_GETRANGE: {
            if (auto* r = reinterpret_cast<PBRANGE*>(lp)) { r->iLow = low; r->iHigh = high; }
            return wp ? low : high;
        }
        case PBM_SETPOS: return setPos(int(wp));
        case PBM_GETPOS: return pos;
        case PBM_DELTAPOS: return setPos(pos + int(wp));
        case PBM_SETSTEP: { int old = step; step = int(wp); return old; }
        case PBM_STEPIT: {
            // Stepping past the end wraps round to the start.
            int old = pos;
            int p = pos + step;
            if (p > high) p = low + (p - high);
            if (p < low) p = high - (low - p);
            setPos(p);
            return old;
        }
        case PBM_SETBARCOLOR: { COLORREF o = bar; bar = COLORREF(lp); InvalidateRect(h, nullptr, TRUE); return LRESULT(o); }
        case PBM_SETBKCOLOR: { COLORREF o = back; back = COLORREF(lp); InvalidateRect(h, nullptr, TRUE); return LRESULT(o); }
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterProgress()
{
    RegisterControlClass(PROGRESS_CLASS, CtlProc<ProgressCtl>, CS_GLOBALCLASS);
}

} // namespace pvctl
