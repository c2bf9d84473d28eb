// The static and button controls.

#include "platform/controls/ctlimpl.h"

namespace pvctl {

static void paintText(CDC& dc, HWND h, RECT rc, UINT fmt, bool enabled)
{
    char buf[1024];
    int n = GetWindowText(h, buf, int(sizeof buf));
    if (!enabled) {
        dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT r2 = rc;
        rOffset(&r2, 1, 1);
        dc.DrawText(buf, n, &r2, fmt);
        dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    }
    dc.DrawText(buf, n, &rc, fmt);
}

// ---- Static ----
struct StaticCtl : Control {
    StaticCtl(HWND hw, const CREATESTRUCT*) : Control(hw) {}
    HANDLE image = nullptr;

    void paint(HDC hdc)
    {
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        DWORD st = style();
        UINT type = st & SS_TYPEMASK;
        HBRUSH br = ParentCtlColor(h, hdc, WM_CTLCOLORSTATIC);
        switch (type) {
        case SS_BLACKRECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_WINDOWFRAME)); return;
        case SS_GRAYRECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNSHADOW)); return;
        case SS_WHITERECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNHIGHLIGHT)); return;
        case SS_BLACKFRAME: dc->Draw3dRect(&rc, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)); return;
        case SS_GRAYFRAME: dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)); return;
        case SS_WHITEFRAME: dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNHIGHLIGHT)); return;
        case SS_ETCHEDHORZ: dc->DrawEdge(&rc, EDGE_ETCHED, BF_TOP); return;
        case SS_ETCHEDVERT: dc->DrawEdge(&rc, EDGE_ETCHED, BF_LEFT); return;
        case SS_ETCHEDFRAME: dc->DrawEdge(&rc, EDGE_ETCHED, BF_RECT); return;
        default: break;
        }
        if (type == SS_OWNERDRAW) {
            DRAWITEMSTRUCT dis {ODT_STATIC, id(), 0, ODA_DRAWENTIRE, IsWindowEnabled(h) ? 0u : UINT(ODS_DISABLED), h, hdc, rc, 0};
            SendMessage(GetParent(h), WM_DRAWITEM, id(), reinterpret_cast<LPARAM>(&dis));
            return;
        }
        if (br) dc->FillRect(&rc, CBrush::FromHandle(br));
        if (type == SS_BITMAP) {
            CBitmap* bm = image ? CBitmap::FromHandle(reinterpret_cast<HBITMAP>(image)) : nullptr;
            BITMAP info {};
            if (bm && bm->GetBitmap(&info)) {
                CDC mem;
                mem.CreateCompatibleDC(dc);
                CBitmap* old = mem.SelectObject(bm);
                int x = 0, y = 0;
                if (st & SS_CENTERIMAGE) { x = (rc.right - info.bmWidth) / 2; y = (rc.bottom - info.bmHeight) / 2; }
                dc->BitBlt(x, y, info.bmWidth, info.bmHeight, &mem, 0, 0, SRCCOPY);
                mem.SelectObject(old);
            }
            return;
        }
        if (type == SS_ICON) return;  // icons carry no pixels of their own in this layer
        UINT fmt = DT_NOCLIP;
        if (type == SS_CENTER) fmt |= DT_CENTER | DT_WORDBREAK;
        else if (type == SS_RIGHT) fmt |= DT_RIGHT | DT_WORDBREAK;
        else if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) fmt |= DT_SINGLELINE;
        else fmt |= DT_WORDBREAK;
        if (st & SS_NOPREFIX) fmt |= DT_NOPREFIX;
        if (st & SS_CENTERIMAGE) fmt = (fmt & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
        if (st & SS_ENDELLIPSIS) fmt |= DT_END_ELLIPSIS;
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        paintText(*dc, h, rc, fmt, IsWindowEnabled(h));
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_SETFONT: font = reinterpret_cast<HFONT>(wp); if (lp) InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProc(h, msg, wp, lp);
            InvalidateRect(h, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_NCHITTEST: return (style() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
        case WM_LBUTTONDOWN: if (style() & SS_NOTIFY) NotifyParent(h, STN_CLICKED); return 0;
        case WM_LBUTTONDBLCLK: if (style() & SS_NOTIFY) NotifyParent(h, STN_DBLCLK); return 0;
        case WM_GETDLGCODE: return DLGC_STATIC;
        case STM_SETIMAGE: case STM_SETICON: {
            HANDLE old = image;
            image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wp : lp);
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_GETIMAGE: case STM_GETICON: return reinterpret_cast<LRESULT>(image);
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

// ---- Button ----
struct ButtonCtl : Control {
    ButtonCtl(HWND hw, const CREATESTRUCT*) : Control(hw) {}
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool tracking = false;
    HANDLE image = nullptr;

    UINT type() const { return style() & BS_TYPEMASK; }
    bool staysAtBottom() const override { return type() == BS_GROUPBOX; }
    bool isRadio() const { return type() == BS_RADIOBUTTON || type() == BS_AUTORADIOBUTTON; }
    bool isCheck() const
    {
        UINT t = type();
        return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
    }

    void paint(HDC hdc)
    {
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        UINT t = type();
        DWORD st = style();
        bool enabled = IsWindowEnabled(h);
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        if (t == BS_OWNERDRAW) {
            UINT state = (pushed ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
            DRAWITEMSTRUCT dis {ODT_BUTTON, id(), 0, ODA_DRAWENTIRE, state, h, hdc, rc, 0};
            SendMessage(GetParent(h), WM_DRAWITEM, id(), reinterpret_cast<LPARAM>(&dis));
            return;
        }
        // Push buttons ask for button colours; check boxes, radio buttons and group boxes for
        // static ones, as dialogs that colour their labels expect.
        bool pushType = t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_USERBUTTON;
        HBRUSH br = ParentCtlColor(h, hdc, pushType ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
        if (t == BS_GROUPBOX) {
            // Group boxes lie below the controls they frame (see Dispatch), so filling the
            // inside never covers them.
            if (br) dc->FillRect(&rc, CBrush::FromHandle(br));
            TEXTMETRIC tm {};
            dc->GetTextMetrics(&tm);
            char buf[512];
            int n = GetWindowText(h, buf, int(sizeof buf));
            CSize ext = dc->GetTextExtent(buf, n);
            RECT frame = rc;
            frame.top += tm.tmHeight / 2;
            // Etched: a shadow line with a highlight inside it, the inside left alone.
            RECT inner = frame;
            inner.left += 1;
            inner.top += 1;
            dc->Draw3dRect(&inner, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNHIGHLIGHT));
            RECT outer = frame;
            outer.right -= 1;
            outer.bottom -= 1;
            dc->Draw3dRect(&outer, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
            if (n > 0) {
                RECT tr {8, 0, 8 + ext.cx + 4, tm.tmHeight};
                dc->FillSolidRect(&tr, GetSysColor(COLOR_BTNFACE));
                tr.left += 2;
                paintText(*dc, h, tr, DT_SINGLELINE | DT_NOCLIP, enabled);
            }
            return;
        }
        bool pushLike = (st & BS_PUSHLIKE) && (isCheck() || isRadio());
        if (t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_USERBUTTON || pushLike) {
            dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
            RECT r = rc;
            bool sunk = pushed || (pushLike && check == BST_CHECKED);
            if (t == BS_DEFPUSHBUTTON) {
                dc->Draw3dRect(&r, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
                rInflate(&r, -1, -1);
            }
            if (sunk) {
                dc->Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
            } else {
                dc->DrawEdge(&r, EDGE_RAISED, BF_RECT);
            }
            RECT tr = rc;
            if (sunk) rOffset(&tr, 1, 1);
            UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
            if (st & BS_MULTILINE) fmt = DT_CENTER | DT_WORDBREAK;
            paintText(*dc, h, tr, fmt, enabled);
            if (focused) {
                RECT fr = rc;
                rInflate(&fr, -4, -4);
                dc->DrawFocusRect(&fr);
            }
            return;
        }
        // Check boxes and radio buttons: the box, then the text beside it.
        if (br) dc->FillRect(&rc, CBrush::FromHandle(br));
        int box = 13;
        bool left = (st & BS_LEFTTEXT) != 0;
        RECT boxR {left ? rc.right - box : 0, (rc.bottom - box) / 2, 0, 0};
        boxR.right = boxR.left + box;
        boxR.bottom = boxR.top + box;
        UINT state = isRadio() ? DFCS_BUTTONRADIO : (t == BS_3STATE || t == BS_AUTO3STATE) ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
        if (check == BST_CHECKED || check == BST_INDETERMINATE) state |= DFCS_CHECKED;
        if (check == BST_INDETERMINATE) state |= DFCS_BUTTON3STATE;
        if (pushed) state |= DFCS_PUSHED;
        if (!enabled) state |= DFCS_INACTIVE;
        dc->DrawFrameControl(&boxR, DFC_BUTTON, state);
        RECT tr = rc;
        if (left) tr.right -= box + 4;
        else tr.left += box + 4;
        UINT fmt = (st & BS_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
        if ((st & BS_CENTER) == BS_RIGHT) fmt |= DT_RIGHT;
        paintText(*dc, h, tr, fmt, enabled);
        if (focused) {
            char buf[512];
            int n = GetWindowText(h, buf, int(sizeof buf));
            CSize ext = dc->GetTextExtent(buf, n);
            RECT fr {tr.left - 1, (rc.bottom - ext.cy) / 2 - 1, 0, 0};
            fr.right = fr.left + ext.cx + 2;
            fr.bottom = fr.top + ext.cy + 2;
            if (n > 0) dc->DrawFocusRect(&fr);
        }
    }

    // The automatic buttons change their state on a click; radio buttons clear their group.
    void clicked()
    {
        UINT t = type();
        if (t == BS_AUTOCHECKBOX) setCheck(check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        else if (t == BS_AUTO3STATE) setCheck((check + 1) % 3);
        else if (t == BS_AUTORADIOBUTTON) {
            setCheck(BST_CHECKED);
            clearGroup();
        }
        NotifyParent(h, BN_CLICKED);
    }

    void clearGroup()
    {
        HWND parent = GetParent(h);
        if (!parent) return;
        // The group runs from the previous WS_GROUP sibling (inclusive) to the next one (exclusive).
        HWND first = h;
        while (!(GetWindowLong(first, GWL_STYLE) & WS_GROUP)) {
            HWND prev = GetWindow(first, GW_HWNDPREV);
            if (!prev) break;
            first = prev;
        }
        for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w != first && (GetWindowLong(w, GWL_STYLE) & WS_GROUP)) break;
            if (w == h) continue;
            Control* c = Lookup(w);
            auto* b = dynamic_cast<ButtonCtl*>(c);
            if (b && b->type() == BS_AUTORADIOBUTTON) b->setCheck(BST_UNCHECKED);
        }
    }

    void setCheck(UINT v)
    {
        if (v > BST_INDETERMINATE) v = BST_CHECKED;
        if (v == check) return;
        check = v;
        InvalidateRect(h, nullptr, TRUE);
    }

    void setPushed(bool p)
    {
        if (p == pushed) return;
        pushed = p;
        InvalidateRect(h, nullptr, TRUE);
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_SETFONT: font = reinterpret_cast<HFONT>(wp); if (lp) InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProc(h, msg, wp, lp);
            InvalidateRect(h, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_NCHITTEST: return type() == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
        case WM_GETDLGCODE: {
            UINT t = type();
            if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (t == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            if (isRadio()) return DLGC_BUTTON | DLGC_RADIOBUTTON;
            if (t == BS_GROUPBOX) return DLGC_STATIC;
            return DLGC_BUTTON;
        }
        case WM_SETFOCUS:
            focused = true;
            InvalidateRect(h, nullptr, TRUE);
            if (style() & BS_NOTIFY) NotifyParent(h, BN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            focused = false;
            if (tracking) { tracking = false; ReleaseCapture(); }
            setPushed(false);
            InvalidateRect(h, nullptr, TRUE);
            if (style() & BS_NOTIFY) NotifyParent(h, BN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
            if (type() == BS_GROUPBOX) return 0;
            if (msg == WM_LBUTTONDBLCLK && (style() & BS_NOTIFY)) { NotifyParent(h, BN_DOUBLECLICKED); return 0; }
            SetFocus(h);
            SetCapture(h);
            tracking = true;
            setPushed(true);
            return 0;
        case WM_MOUSEMOVE:
            if (tracking) {
                RECT rc;
                GetClientRect(h, &rc);
                POINT p = lpPoint(lp);
                setPushed(rHit(rc, p));
            }
            return 0;
        case WM_LBUTTONUP:
            if (tracking) {
                tracking = false;
                bool was = pushed;
                setPushed(false);
                ReleaseCapture();
                if (was) clicked();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (tracking) { tracking = false; setPushed(false); }
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_SPACE && type() != BS_GROUPBOX) setPushed(true);
            return 0;
        case WM_KEYUP:
            if (wp == VK_SPACE && pushed) { setPushed(false); clicked(); }
            return 0;
        case WM_CHAR: return 0;
        case BM_GETCHECK: return (isCheck() || isRadio()) ? check : 0;
        case BM_SETCHECK: if (isCheck() || isRadio()) setCheck(UINT(wp)); return 0;
        case BM_GETSTATE: return check | (pushed ? BST_PUSHED : 0) | (focused ? BST_FOCUS : 0);
        case BM_SETSTATE: setPushed(wp != 0); return 0;
        case BM_SETSTYLE: {
            DWORD st = (style() & ~DWORD(0xFFFF)) | DWORD(wp & 0xFFFF);
            SetWindowLong(h, GWL_STYLE, LONG_PTR(st));
            if (lp) InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case BM_CLICK:
            if (IsWindowEnabled(h)) clicked();
            return 0;
        case BM_SETIMAGE: {
            HANDLE old = image;
            image = reinterpret_cast<HANDLE>(lp);
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case BM_GETIMAGE: return reinterpret_cast<LRESULT>(image);
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterStatic()
{
    RegisterControlClass(WC_STATIC, CtlProc<StaticCtl>, CS_DBLCLKS | CS_GLOBALCLASS | CS_PARENTDC);
}

void RegisterButton()
{
    RegisterControlClass(WC_BUTTON, CtlProc<ButtonCtl>, CS_DBLCLKS | CS_GLOBALCLASS | CS_PARENTDC);
}

} // namespace pvctl
