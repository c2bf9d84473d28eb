// The combo box: simple, drop-down and drop-down list. The edit part is the first child (id
// 1001); the list of a drop-down combo is a pop-up window of class "ComboLBox".

#include "platform/controls/ctlimpl.h"
#include "platform/controls/listboxint.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pvctl {

static const UINT kEditId = 1001;
static const UINT kListId = 1000;

struct ComboCtl : Control {
    HWND edit = nullptr;
    HWND list = nullptr;
    WNDPROC editProc = nullptr;
    int fieldH = 20;
    int droppedH = 100;
    int droppedW = 0;
    bool dropped = false;
    bool ignoreUp = false;
    bool focused = false;
    bool pressed = false;
    int selAtDrop = -1;
    bool settingText = false;   // the combo fills its own edit: no CBN_EDIT* for that
    DWORD listScroll = 0;

    ComboCtl(HWND hw, const CREATESTRUCT* cs) : Control(hw)
    {
        TEXTMETRIC tm {};
        MeasureDC(currentFont()).GetTextMetrics(&tm);
        fieldH = tm.tmHeight + 8;
        if (cs) droppedH = std::max(0, cs->cy - fieldH);
    }

    UINT kind() const { return style() & 3; }
    bool simple() const { return kind() == CBS_SIMPLE; }
    bool dropList() const { return kind() == CBS_DROPDOWNLIST; }
    bool ownerDraw() const { return (style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
    int btnW() const { return simple() ? 0 : GetSystemMetrics(SM_CXVSCROLL); }
    LRESULT L(UINT m, WPARAM wp = 0, LPARAM lp = 0) const { return list ? SendMessage(list, m, wp, lp) : 0; }
    int cur() const { return int(L(LB_GETCURSEL)); }
    int count() const { return int(L(LB_GETCOUNT)); }

    std::string itemText(int i) const
    {
        int n = int(L(LB_GETTEXTLEN, WPARAM(i)));
        if (n < 0) return {};
        std::vector<char> buf(size_t(n) + sizeof(ULONG_PTR) + 1, 0);
        L(LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf.data()));
        return buf.data();
    }

    void layout()
    {
        RECT rc;
        GetClientRect(h, &rc);
        int editBottom = simple() ? fieldH : rc.bottom;
        if (edit) MoveWindow(edit, 3, 3, std::max<LONG>(0, rc.right - btnW() - 5), std::max(0, editBottom - 6), TRUE);
        if (simple() && list) MoveWindow(list, 0, fieldH, rc.right, std::max<LONG>(0, rc.bottom - fieldH), TRUE);
    }

    // The program's (or the list's) text for the edit part. Only the user's typing reports
    // CBN_EDITUPDATE and CBN_EDITCHANGE; a handler that restores the text must not re-enter.
    BOOL setEditText(LPCTSTR s)
    {
        bool was = settingText;
        settingText = true;
        BOOL r = SetWindowText(edit, s);
        settingText = was;
        return r;
    }

    // The edit shows the selected item; a drop-down list paints it itself.
    void showSelection()
    {
        int i = cur();
        if (edit) {
            std::string t = i >= 0 ? itemText(i) : std::string();
            setEditText(t.c_str());
            SendMessage(edit, EM_SETSEL, 0, -1);
        }
        InvalidateRect(h, nullptr, TRUE);
    }

    void selectByUser(int i)
    {
        if (i < 0 || i >= count() || i == cur()) return;
        SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
        showSelection();
        NotifyParent(h, CBN_SELCHANGE);
    }

    void drop(bool show)
    {
        if (simple() || show == dropped || !list) return;
        if (show) {
            NotifyParent(h, CBN_DROPDOWN);
            if (!IsWindow(h)) return;
            RECT wr;
            GetWindowRect(h, &wr);
            int itemH = int(L(LB_GETITEMHEIGHT, 0));
            int n = std::max(1, count());
            int lines = std::max(1, std::min(n, std::max(1, droppedH / std::max(1, itemH))));
            int w = std::max<int>(droppedW, wr.right - wr.left);
            // Below the field, or above it when the desktop has no room below and has above.
            int listH = lines * itemH + 2, y = wr.bottom;
            RECT desk;
            GetWindowRect(GetDesktopWindow(), &desk);
            if (wr.bottom + listH > desk.bottom && wr.top - listH >= desk.top) y = wr.top - listH;
            SetWindowPos(list, HWND_TOPMOST, wr.left, y, w, listH, SWP_NOACTIVATE | SWP_SHOWWINDOW);
            SendMessage(list, LB_SETTOPINDEX, WPARAM(std::max(0, cur())), 0);
            dropped = true;
            selAtDrop = cur();
            SetCapture(list);
        } else {
            dropped = false;
            if (GetCapture() == list) ReleaseCapture();
            ShowWindow(list, SW_HIDE);
            NotifyParent(h, CBN_CLOSEUP);
        }
        InvalidateRect(h, nullptr, TRUE);
    }

    void closeUp(bool ok)
    {
        if (!dropped) return;
        if (ok) {
            NotifyParent(h, CBN_SELENDOK);
            if (!IsWindow(h)) return;
        } else {
            NotifyParent(h, CBN_SELENDCANCEL);
            if (!IsWindow(h)) return;
        }
        drop(false);
    }

    // F4 and Alt+Up/Down: a list closed after the arrows moved in it keeps their choice.
    void toggleByKey()
    {
        if (!dropped) drop(true);
        else if (cur() != selAtDrop) closeUp(true);
        else drop(false);
    }

    // Keys the combo takes itself, from its own window or its edit part.
    bool key(UINT vk)
    {
        bool alt = GetKeyState(VK_MENU) < 0;
        switch (vk) {
        case VK_F4: toggleByKey(); return true;
        case VK_UP: case VK_DOWN:
            if (alt) { toggleByKey(); return true; }
            [[fallthrough]];
        case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: {
            if (!dropList() && (vk == VK_HOME || vk == VK_END)) return false;
            int i = cur(), n = count();
            if (!n) return true;
            int page = std::max(1, int(L(LB_GETITEMHEIGHT)) ? droppedH / std::max(1, int(L(LB_GETITEMHEIGHT))) - 1 : 1);
            switch (vk) {
            case VK_UP: i = i < 0 ? 0 : std::max(0, i - 1); break;
            case VK_DOWN: i = std::min(n - 1, i + 1); break;
            case VK_PRIOR: i = std::max(0, i - page); break;
            case VK_NEXT: i = std::min(n - 1, std::max(0, i) + page); break;
            case VK_HOME: i = 0; break;
            default: i = n - 1; break;
            }
            selectByUser(i);
            return true;
        }
        case VK_RETURN:
            if (dropped) { closeUp(true); return true; }
            return false;
        case VK_ESCAPE:
            if (dropped) { closeUp(false); return true; }
            return false;
        default: return false;
        }
    }

    // With the list open, Enter and Esc close it instead of ending the dialog.
    LRESULT claimsKey(LPARAM lp) const
    {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (!dropped || !m || m->message != WM_KEYDOWN || (m->wParam != VK_RETURN && m->wParam != VK_ESCAPE)) return 0;
        return DLGC_WANTMESSAGE;
    }

    static LRESULT editSubProc(HWND e, UINT msg, WPARAM wp, LPARAM lp)
    {
        HWND c = GetParent(e);
        auto* self = dynamic_cast<ComboCtl*>(Lookup(c));
        if (!self) return DefWindowProc(e, msg, wp, lp);
        WNDPROC orig = self->editProc;
        if (msg == WM_GETDLGCODE) return CallWindowProc(orig, e, msg, wp, lp) | self->claimsKey(lp);
        if (msg == WM_KEYDOWN && self->key(UINT(wp))) return 0;
        if (msg == WM_SYSKEYDOWN && (wp == VK_DOWN || wp == VK_UP)) { self->toggleByKey(); return 0; }
        if (msg == WM_CHAR && (wp == '\r' || wp == 27) && !self->simple()) return 0;
        return CallWindowProc(orig, e, msg, wp, lp);
    }

    void paint(HDC hdc)
    {
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        RECT field {0, 0, rc.right, simple() ? fieldH : rc.bottom};
        HBRUSH br = ParentCtlColor(h, hdc, dropList() ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
        COLORREF fg = dc->GetTextColor();
        dc->FillSolidRect(&field, GetSysColor(IsWindowEnabled(h) ? COLOR_WINDOW : COLOR_BTNFACE));
        if (br && !dropList()) dc->FillRect(&field, CBrush::FromHandle(br));
        dc->DrawEdge(&field, EDGE_SUNKEN, BF_RECT);
        if (!simple()) {
            RECT b {field.right - 2 - btnW(), 2, field.right - 2, field.bottom - 2};
            dc->DrawFrameControl(&b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (pressed || dropped ? DFCS_PUSHED | DFCS_FLAT : 0) |
                                                      (IsWindowEnabled(h) ? 0 : DFCS_INACTIVE));
        }
        if (!dropList()) return;
        RECT tr {3, 3, field.right - 3 - btnW(), field.bottom - 3};
        int i = cur();
        if (ownerDraw()) {
            UINT state = ODS_COMBOBOXEDIT | (focused && !dropped ? ODS_SELECTED | ODS_FOCUS : 0) | (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
            DRAWITEMSTRUCT dis {ODT_COMBOBOX, id(), UINT(i), ODA_DRAWENTIRE, state, h, hdc, tr,
                                i >= 0 ? ULONG_PTR(L(LB_GETITEMDATA, WPARAM(i))) : 0};
            SendMessage(GetParent(h), WM_DRAWITEM, id(), reinterpret_cast<LPARAM>(&dis));
            return;
        }
        bool hi = focused && !dropped;
        if (hi) dc->FillSolidRect(&tr, GetSysColor(COLOR_HIGHLIGHT));
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(!IsWindowEnabled(h) ? GetSysColor(COLOR_GRAYTEXT) : hi ? GetSysColor(COLOR_HIGHLIGHTTEXT) : fg);
        std::string t = i >= 0 ? itemText(i) : std::string();
        RECT t2 = tr;
        t2.left += 2;
        dc->DrawText(t.c_str(), int(t.size()), &t2, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (hi) dc->DrawFocusRect(&tr);
    }

    bool inWindow(HWND w, POINT screen) const
    {
        RECT r;
        GetWindowRect(w, &r);
        return rHit(r, screen);
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_NCCREATE: {
            // Scroll bars asked for belong to the list, not to the selection field.
            DWORD st = style();
            listScroll = st & (WS_VSCROLL | WS_HSCROLL);
            SetWindowLong(h, GWL_STYLE, LONG_PTR(st & ~DWORD(WS_VSCROLL | WS_HSCROLL)));
            return DefWindowProc(h, msg, wp, lp);
        }
        case WM_CREATE: {
            DWORD st = style();
            auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
            if (!dropList()) {
                DWORD es = WS_CHILD | WS_VISIBLE | ES_LEFT | ((st & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
                           ((st & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((st & CBS_LOWERCASE) ? ES_LOWERCASE : 0);
                edit = CreateWindowEx(0, WC_EDIT, cs && cs->lpszName ? cs->lpszName : "", es, 0, 0, 0, 0, h,
                                      reinterpret_cast<HMENU>(uintptr_t(kEditId)), nullptr, nullptr);
                if (!edit) return -1;
                editProc = reinterpret_cast<WNDPROC>(SetWindowLong(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&editSubProc)));
            }
            DWORD ls = listScroll | WS_VSCROLL | (simple() ? WS_CHILD | WS_VISIBLE | WS_BORDER : WS_POPUP | WS_BORDER);
            list = CreateWindowEx(simple() ? 0 : WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WC_COMBOLBOX, nullptr, ls, 0, 0, 0, 0,
                                  simple() ? h : h, simple() ? reinterpret_cast<HMENU>(uintptr_t(kListId)) : nullptr,
                                  nullptr, h);
            if (!list) return -1;
            if (ownerDraw()) {
                MEASUREITEMSTRUCT mis {ODT_COMBOBOX, id(), UINT(-1), 0, UINT(fieldH - 6), 0};
                SendMessage(GetParent(h), WM_MEASUREITEM, id(), reinterpret_cast<LPARAM>(&mis));
                if (mis.itemHeight) fieldH = int(mis.itemHeight) + 6;
            }
            if (!simple()) {
                RECT wr;
                GetWindowRect(h, &wr);
                SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, fieldH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            layout();
            return 0;
        }
        case WM_DESTROY:
            if (dropped && GetCapture() == list) ReleaseCapture();
            dropped = false;
            if (list && !simple()) DestroyWindow(list);
            list = nullptr;
            return 0;
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            if (!simple() && pos && !(pos->flags & SWP_NOSIZE) && pos->cy != fieldH) {
                // The height asked for includes the list; the window itself is the selection field.
                if (pos->cy > fieldH) droppedH = pos->cy - fieldH;
                pos->cy = fieldH;
            }
            return 0;
        }
        case WM_SIZE: layout(); return 0;
        case WM_SETFONT: {
            font = reinterpret_cast<HFONT>(wp);
            if (edit) SendMessage(edit, WM_SETFONT, wp, lp);
            if (list) SendMessage(list, WM_SETFONT, wp, lp);
            if (!ownerDraw()) {
                TEXTMETRIC tm {};
                MeasureDC(currentFont()).GetTextMetrics(&tm);
                fieldH = tm.tmHeight + 8;
                if (!simple()) {
                    RECT wr;
                    GetWindowRect(h, &wr);
                    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, fieldH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
            }
            layout();
            if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_ENABLE:
            if (edit) EnableWindow(edit, BOOL(wp));
            if (list) EnableWindow(list, BOOL(wp));
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | claimsKey(lp);
        case WM_SETFOCUS:
            if (edit) { SetFocus(edit); SendMessage(edit, EM_SETSEL, 0, -1); return 0; }
            focused = true;
            InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS: {
            HWND to = reinterpret_cast<HWND>(wp);
            if (to && (to == h || IsChild(h, to) || to == list)) return 0;
            if (dropped) closeUp(false);
            focused = false;
            InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, CBN_KILLFOCUS);
            return 0;
        }
        case WM_COMMAND:
            if (edit && reinterpret_cast<HWND>(lp) == edit) {
                switch (HIWORD(wp)) {
                case EN_SETFOCUS:
                    if (!focused) { focused = true; NotifyParent(h, CBN_SETFOCUS); }
                    break;
                case EN_KILLFOCUS: {
                    HWND f = GetFocus();
                    if (f == h || f == list) break;
                    if (dropped) closeUp(false);
                    focused = false;
                    NotifyParent(h, CBN_KILLFOCUS);
                    break;
                }
                case EN_UPDATE: if (!settingText) NotifyParent(h, CBN_EDITUPDATE); break;
                case EN_CHANGE: {
                    if (settingText) break;
                    NotifyParent(h, CBN_EDITCHANGE);
                    if (dropped && IsWindow(h)) {
                        char buf[256];
                        GetWindowText(edit, buf, int(sizeof buf));
                        int i = buf[0] ? int(L(LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(buf))) : -1;
                        if (i >= 0) SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
                    }
                    break;
                }
                default: break;
                }
            }
            return 0;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
            if (GetFocus() != h && !(edit && GetFocus() == edit)) SetFocus(h);
            if (!IsWindow(h) || simple()) return 0;
            POINT p = lpPoint(lp);
            RECT rc;
            GetClientRect(h, &rc);
            if (dropList() || p.x >= rc.right - btnW() - 2) {
                pressed = true;
                ignoreUp = true;
                drop(true);
            }
            return 0;
        }
        case WM_LBUTTONUP: pressed = false; InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_KEYDOWN: key(UINT(wp)); return 0;
        case WM_SYSKEYDOWN:
            if (wp == VK_DOWN || wp == VK_UP) { toggleByKey(); return 0; }
            return DefWindowProc(h, msg, wp, lp);
        case WM_CHAR: {
            if (!dropList() || wp < 32) return 0;
            // Typing a letter selects the next item that begins with it.
            char s[2] = {char(wp), 0};
            int i = int(L(LB_FINDSTRING, WPARAM(cur()), reinterpret_cast<LPARAM>(s)));
            if (i >= 0) selectByUser(i);
            return 0;
        }
        case WM_MOUSEWHEEL:
            if (!dropped) key(short(HIWORD(wp)) > 0 ? VK_UP : VK_DOWN);
            return 0;
        case WM_SETTEXT: {
            LPCTSTR s = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
            if (edit) return setEditText(s);
            int i = int(L(LB_FINDSTRINGEXACT, WPARAM(-1), lp));
            if (i < 0) return CB_ERR;
            SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case WM_GETTEXT: case WM_GETTEXTLENGTH: {
            if (edit) return SendMessage(edit, msg, wp, lp);
            int i = cur();
            std::string t = i >= 0 ? itemText(i) : std::string();
            if (msg == WM_GETTEXTLENGTH) return LRESULT(t.size());
            char* buf = reinterpret_cast<char*>(lp);
            if (!buf || int(wp) <= 0) return 0;
            size_t n = std::min(t.size(), size_t(wp) - 1);
            memcpy(buf, t.data(), n);
            buf[n] = 0;
            return LRESULT(n);
        }
        case WM_CUT: case WM_COPY: case WM_PASTE: case WM_CLEAR: case WM_UNDO:
            return edit ? SendMessage(edit, msg, wp, lp) : 0;
        case PVM_LISTPICK: {
            POINT p = lpPoint(lp);
            bool first = ignoreUp;
            ignoreUp = false;
            if (int(wp) >= 0 && inWindow(list, p)) {
                int i = int(wp);
                bool changed = i != selAtDrop;
                SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
                showSelection();
                if (changed) NotifyParent(h, CBN_SELCHANGE);
                if (IsWindow(h)) closeUp(true);
            } else if (!first && !inWindow(list, p)) {
                closeUp(false);
            }
            return 0;
        }
        case PVM_LISTDOWN: {
            POINT p = lpPoint(lp);
            if (inWindow(list, p)) return 0;
            // A press on the combo itself closes the list and the release that follows is ours.
            closeUp(false);
            return 0;
        }
        case PVM_LISTNOTIFY: return 0;
        case CB_ADDSTRING: return L(LB_ADDSTRING, wp, lp);
        case CB_INSERTSTRING: return L(LB_INSERTSTRING, wp, lp);
        case CB_DELETESTRING: return L(LB_DELETESTRING, wp, lp);
        case CB_RESETCONTENT:
            L(LB_RESETCONTENT);
            if (edit) setEditText("");
            InvalidateRect(h, nullptr, TRUE);
            return CB_OKAY;
        case CB_GETCOUNT: return L(LB_GETCOUNT);
        case CB_GETCURSEL: return cur();
        case CB_SETCURSEL: {
            int i = int(wp);
            if (i < 0 || i >= count()) {
                SendMessage(list, PVM_LISTSELECT, WPARAM(-1), 0);
                if (edit) setEditText("");
                InvalidateRect(h, nullptr, TRUE);
                return CB_ERR;
            }
            SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
            showSelection();
            return i;
        }
        case CB_GETLBTEXT: return L(LB_GETTEXT, wp, lp);
        case CB_GETLBTEXTLEN: return L(LB_GETTEXTLEN, wp, lp);
        case CB_GETITEMDATA: return L(LB_GETITEMDATA, wp, lp);
        case CB_SETITEMDATA: return L(LB_SETITEMDATA, wp, lp);
        case CB_FINDSTRING: return L(LB_FINDSTRING, wp, lp);
        case CB_FINDSTRINGEXACT: return L(LB_FINDSTRINGEXACT, wp, lp);
        case CB_SELECTSTRING: {
            int i = int(L(LB_FINDSTRING, wp, lp));
            if (i < 0) return CB_ERR;
            SendMessage(list, PVM_LISTSELECT, WPARAM(i), 0);
            showSelection();
            return i;
        }
        case CB_GETTOPINDEX: return L(LB_GETTOPINDEX);
        case CB_SETTOPINDEX: return L(LB_SETTOPINDEX, wp);
        case CB_GETEDITSEL: return edit ? SendMessage(edit, EM_GETSEL, wp, lp) : CB_ERR;
        case CB_SETEDITSEL:
            if (!edit) return CB_ERR;
            SendMessage(edit, EM_SETSEL, WPARAM(short(LOWORD(lp))), short(HIWORD(lp)));
            return TRUE;
        case CB_LIMITTEXT: if (!edit) return CB_ERR; SendMessage(edit, EM_LIMITTEXT, wp, 0); return TRUE;
        case CB_SHOWDROPDOWN: drop(wp != 0); return TRUE;
        case CB_GETDROPPEDSTATE: return dropped;
        case CB_GETCOMBOBOXINFO: {
            auto* info = reinterpret_cast<COMBOBOXINFO*>(lp);
            if (!info || info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
            RECT rc;
            GetClientRect(h, &rc);
            RECT field {0, 0, rc.right, simple() ? fieldH : rc.bottom};
            info->rcItem = RECT {3, 3, field.right - 3 - btnW(), field.bottom - 3};
            info->rcButton = simple() ? RECT {0, 0, 0, 0} : RECT {field.right - 2 - btnW(), 2, field.right - 2, field.bottom - 2};
            info->stateButton = simple() ? STATE_SYSTEM_INVISIBLE : (pressed || dropped ? STATE_SYSTEM_PRESSED : 0);
            info->hwndCombo = h;
            info->hwndItem = edit ? edit : h;
            info->hwndList = list;
            return TRUE;
        }
        case CB_SETDROPPEDWIDTH: droppedW = std::max(0, int(wp)); return droppedW ? droppedW : LRESULT(0);
        case CB_GETDROPPEDWIDTH: {
            RECT wr;
            GetWindowRect(h, &wr);
            return std::max<int>(droppedW, wr.right - wr.left);
        }
        case CB_GETDROPPEDCONTROLRECT: {
            if (!lp) return CB_ERR;
            RECT wr;
            GetWindowRect(h, &wr);
            wr.bottom += droppedH;
            *reinterpret_cast<RECT*>(lp) = wr;
            return TRUE;
        }
        case CB_SETITEMHEIGHT: {
            int hh = LOWORD(lp);
            if (hh <= 0 || hh > 255) return CB_ERR;
            if (int(wp) == -1) {
                fieldH = hh + 6;
                if (!simple()) {
                    RECT wr;
                    GetWindowRect(h, &wr);
                    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, fieldH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                layout();
                InvalidateRect(h, nullptr, TRUE);
                return 0;
            }
            return L(LB_SETITEMHEIGHT, wp, lp);
        }
        case CB_GETITEMHEIGHT: return int(wp) == -1 ? fieldH - 6 : L(LB_GETITEMHEIGHT, wp);
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterComboBox()
{
    RegisterControlClass(WC_COMBOBOX, CtlProc<ComboCtl>, CS_DBLCLKS | CS_GLOBALCLASS | CS_PARENTDC);
}

} // namespace pvctl
