// The list box, and the pop-up list ("ComboLBox") that a combo box drops down.

#include "platform/controls/ctlimpl.h"
#include "platform/controls/listboxint.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <strings.h>
#include <tuple>
#include <vector>

namespace pvctl {

namespace {

struct Item {
    std::string text;
    ULONG_PTR data = 0;
    bool sel = false;
    int height = 0;
};

// The items in chunks, so that inserting into a list of a hundred thousand moves a few hundred
// of them, not half the list, while an index still finds its item in a few steps.
class ItemStore {
public:
    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    Item& operator[](int i) { auto [c, k] = locate(i); return chunks_[c][k]; }
    const Item& operator[](int i) const { auto [c, k] = locate(i); return chunks_[c][k]; }
    void insert(int at, Item it)
    {
        assert(at >= 0 && at <= count_);
        if (chunks_.empty()) chunks_.emplace_back();
        size_t c = 0;
        int k = 0;
        if (at == count_) { c = chunks_.size() - 1; k = int(chunks_[c].size()); }
        else std::tie(c, k) = locate(at);
        auto& v = chunks_[c];
        v.insert(v.begin() + k, std::move(it));
        if (v.size() > kMaxChunk) {
            std::vector<Item> tail(std::make_move_iterator(v.begin() + kMaxChunk / 2), std::make_move_iterator(v.end()));
            v.resize(kMaxChunk / 2);
            chunks_.insert(chunks_.begin() + long(c) + 1, std::move(tail));
        }
        ++count_;
        reindexFrom(c);
    }
    void erase(int at)
    {
        auto [c, k] = locate(at);
        chunks_[c].erase(chunks_[c].begin() + k);
        if (chunks_[c].empty()) chunks_.erase(chunks_.begin() + long(c));
        --count_;
        reindexFrom(c);
    }
    void clear()
    {
        chunks_.clear();
        starts_.clear();
        count_ = 0;
    }
    template <class F> void forEach(F f)
    {
        for (auto& v : chunks_) for (Item& it : v) f(it);
    }
    template <class F> int countIf(F f) const
    {
        int n = 0;
        for (const auto& v : chunks_) for (const Item& it : v) n += f(it) ? 1 : 0;
        return n;
    }

private:
    static constexpr size_t kMaxChunk = 512;
    std::pair<size_t, int> locate(int i) const
    {
        assert(i >= 0 && i < count_);
        size_t c = size_t(std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin()) - 1;
        return {c, i - starts_[c]};
    }
    void reindexFrom(size_t c)
    {
        starts_.resize(chunks_.size());
        int at = c == 0 ? 0 : starts_[c - 1] + int(chunks_[c - 1].size());
        for (size_t k = c; k < chunks_.size(); ++k) {
            starts_[k] = at;
            at += int(chunks_[k].size());
        }
    }
    std::vector<std::vector<Item>> chunks_;
    std::vector<int> starts_;   // index of each chunk's first item
    int count_ = 0;
};

// How long typed letters keep adding to one search (ms).
constexpr DWORD kTypeAheadPause = 1000;

} // namespace

struct ListBoxCtl : Control {
    ItemStore items;
    int anchorSel = -1;     // where an extended selection's range starts
    std::string typed;      // letters of the type-ahead search so far
    DWORD typedAt = 0;
    int top = 0;
    int cur = -1;       // the selection (single) or the focus item (multiple)
    int itemH = 16;
    bool focused = false;
    bool tracking = false;
    HWND combo = nullptr;   // set for the pop-up list of a combo box
    bool wantV = false;     // the bar comes and goes with the items; the wish stays

    ListBoxCtl(HWND hw, const CREATESTRUCT* cs) : Control(hw)
    {
        if (cs && cs->lpCreateParams && cs->lpszClass && strcasecmp(cs->lpszClass, WC_COMBOLBOX) == 0)
            combo = reinterpret_cast<HWND>(cs->lpCreateParams);
        TEXTMETRIC tm {};
        MeasureDC(currentFont()).GetTextMetrics(&tm);
        itemH = std::max<int>(1, tm.tmHeight + 1);
        wantV = cs && (cs->style & WS_VSCROLL);
    }

    DWORD lstyle() const
    {
        // The pop-up list takes its owner-draw and string styles from the combo box.
        if (!combo) return style();
        DWORD cs = DWORD(GetWindowLong(combo, GWL_STYLE));
        DWORD s = LBS_NOTIFY;
        if (cs & CBS_OWNERDRAWFIXED) s |= LBS_OWNERDRAWFIXED;
        if (cs & CBS_OWNERDRAWVARIABLE) s |= LBS_OWNERDRAWVARIABLE;
        if (cs & CBS_HASSTRINGS) s |= LBS_HASSTRINGS;
        if (cs & CBS_SORT) s |= LBS_SORT;
        return s;
    }
    bool ownerDraw() const { return (lstyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool hasStrings() const { return !ownerDraw() || (lstyle() & LBS_HASSTRINGS); }
    bool multi() const { return (lstyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    HWND notifyTarget() const { return combo ? GetParent(combo) : GetParent(h); }
    HWND itemWindow() const { return combo ? combo : h; }
    UINT ctlType() const { return combo ? ODT_COMBOBOX : ODT_LISTBOX; }
    UINT ctlId() const { return UINT(GetWindowLong(itemWindow(), GWL_ID)); }
    int count() const { return int(items.size()); }
    bool valid(int i) const { return i >= 0 && i < count(); }

    void notify(int code)
    {
        if (combo) { SendMessage(combo, PVM_LISTNOTIFY, WPARAM(code), 0); return; }
        if (!(style() & LBS_NOTIFY) && code != LBN_ERRSPACE) return;
        NotifyParent(h, code);
    }

    int heightOf(int i) const
    {
        if ((lstyle() & LBS_OWNERDRAWVARIABLE) && valid(i) && items[i].height > 0) return items[i].height;
        return itemH;
    }
    int clientH() const
    {
        RECT rc;
        GetClientRect(h, &rc);
        return rc.bottom - rc.top;
    }
    int visibleCount() const
    {
        int y = 0, n = 0;
        for (int i = top; i < count(); ++i) {
            y += heightOf(i);
            if (y > clientH()) break;
            ++n;
        }
        return std::max(1, n);
    }
    bool itemRect(int i, RECT* r) const
    {
        if (!valid(i) && !(i == 0 && count() == 0)) return false;
        RECT rc;
        GetClientRect(h, &rc);
        int y = 0;
        if (i >= top) for (int k = top; k < i; ++k) y += heightOf(k);
        else for (int k = i; k < top; ++k) y -= heightOf(k);
        *r = RECT {0, y, rc.right, y + heightOf(i)};
        return true;
    }
    int itemAt(POINT p, bool* outside) const
    {
        RECT rc;
        GetClientRect(h, &rc);
        *outside = !rHit(rc, p);
        int y = 0;
        for (int i = top; i < count(); ++i) {
            int hh = heightOf(i);
            if (p.y < y + hh) return p.y < 0 ? std::max(0, top - 1) : i;
            y += hh;
        }
        *outside = true;
        return count() ? count() - 1 : 0;
    }

    void measure(int i)
    {
        MEASUREITEMSTRUCT mis {ctlType(), ctlId(), UINT(i), 0, UINT(itemH), valid(i) ? items[i].data : 0};
        SendMessage(notifyTarget(), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        if (i < 0 || !(lstyle() & LBS_OWNERDRAWVARIABLE)) { if (mis.itemHeight) itemH = int(mis.itemHeight); }
        else if (valid(i)) items[i].height = std::max<int>(1, int(mis.itemHeight));
    }

    void updateScroll()
    {
        if (!wantV) return;
        UINT mask = SIF_RANGE | SIF_PAGE | SIF_POS | ((style() & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
        SCROLLINFO si {sizeof si, mask, 0, std::max(0, count() - 1), UINT(visibleCount()), top, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    void setTop(int t)
    {
        int maxTop = 0;
        // The last page ends with the last item.
        int y = 0;
        for (int i = count() - 1; i >= 0; --i) {
            y += heightOf(i);
            if (y > clientH()) { maxTop = i + 1; break; }
        }
        t = std::clamp(t, 0, std::max(0, std::min(maxTop, count() - 1)));
        if (t == top) return;
        top = t;
        updateScroll();
        InvalidateRect(h, nullptr, TRUE);
    }
    void ensureVisible(int i)
    {
        if (!valid(i)) return;
        if (i < top) { setTop(i); return; }
        int y = 0;
        for (int k = top; k <= i; ++k) y += heightOf(k);
        while (y > clientH() && top < i) { y -= heightOf(top); setTop(top + 1); }
    }

    void invalidateItem(int i)
    {
        RECT r;
        if (valid(i) && itemRect(i, &r)) InvalidateRect(h, &r, TRUE);
    }

    void select(int i, bool byUser)
    {
        if (!valid(i)) i = -1;
        if (multi()) {
            invalidateItem(cur);
            cur = i;
            invalidateItem(cur);
            return;
        }
        if (i == cur) return;
        invalidateItem(cur);
        cur = i;
        invalidateItem(cur);
        if (cur >= 0) ensureVisible(cur);
        if (byUser) notify(LBN_SELCHANGE);
    }

    int insert(int at, LPARAM lp)
    {
        Item it;
        if (hasStrings()) it.text = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
        else it.data = ULONG_PTR(lp);
        if (at < 0 || at > count()) at = count();
        items.insert(at, std::move(it));
        if (cur >= at) ++cur;
        if (anchorSel >= at) ++anchorSel;
        if (lstyle() & LBS_OWNERDRAWVARIABLE) measure(at);
        updateScroll();
        InvalidateRect(h, nullptr, TRUE);
        return at;
    }

    // After the last item that sorts before or with the new one, found by halving.
    int sortedPos(LPARAM lp)
    {
        std::string_view key = hasStrings() && lp ? reinterpret_cast<LPCTSTR>(lp) : "";
        int lo = 0, hi = count();
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            int c;
            if (hasStrings()) c = PvCollateNoCase(items[mid].text, key);
            else {
                COMPAREITEMSTRUCT cis {ctlType(), ctlId(), itemWindow(), UINT(mid), items[mid].data, UINT(-1), ULONG_PTR(lp)};
                c = int(SendMessage(notifyTarget(), WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis)));
                if (!IsWindow(h)) return 0;
            }
            if (c > 0) hi = mid;
            else lo = mid + 1;
        }
        return lo;
    }

    void remove(int i)
    {
        if (ownerDraw()) {
            DELETEITEMSTRUCT dis {ctlType(), ctlId(), UINT(i), itemWindow(), items[i].data};
            SendMessage(notifyTarget(), WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        }
        items.erase(i);
        if (anchorSel >= count()) anchorSel = -1;
        if (cur == i) cur = -1;
        else if (cur > i) --cur;
        if (top >= count()) top = std::max(0, count() - 1);
    }

    int find(int after, LPCTSTR s, bool exact) const
    {
        if (!s || !count()) return LB_ERR;
        std::string key = s;
        int start = valid(after) ? after + 1 : 0;
        for (int k = 0; k < count(); ++k) {
            int i = (start + k) % count();
            const Item& it = items[i];
            bool hit;
            if (!hasStrings()) hit = it.data == ULONG_PTR(reinterpret_cast<uintptr_t>(s));
            else if (exact) hit = PvCollateNoCase(it.text, key) == 0;
            else hit = BeginsWithNoCase(it.text, key);
            if (hit) return i;
        }
        return LB_ERR;
    }

    // Letters typed in quick succession search for an item that begins with all of them; the
    // same letter again steps to the next item with it.
    int typeAhead(UINT ch)
    {
        DWORD now = GetTickCount();
        if (now - typedAt > kTypeAheadPause) typed.clear();
        typedAt = now;
        PvAppendUtf8(typed, ch);
        std::string first;
        PvAppendUtf8(first, ch);
        bool repeated = true;
        for (size_t i = 0; i < typed.size(); i += first.size()) repeated = repeated && typed.compare(i, first.size(), first) == 0;
        if (repeated) return find(cur, first.c_str(), false);
        return find(cur - 1, typed.c_str(), false);
    }

    HBRUSH comboListColor(HDC hdc) const
    {
        HWND parent = GetParent(combo);
        LRESULT r = parent ? SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(h)) : 0;
        if (!r) r = DefWindowProc(h, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(h));
        return reinterpret_cast<HBRUSH>(r);
    }

    void paint(HDC hdc)
    {
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        // A combo's list asks the combo's parent, naming itself (class "ComboLBox").
        HBRUSH br = combo ? comboListColor(hdc) : ParentCtlColor(h, hdc, WM_CTLCOLORLISTBOX);
        COLORREF fg = dc->GetTextColor();
        if (br) dc->FillRect(&rc, CBrush::FromHandle(br));
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        bool enabled = IsWindowEnabled(itemWindow());
        int y = 0;
        for (int i = top; i < count() && y < rc.bottom; ++i) {
            RECT ir {0, y, rc.right, y + heightOf(i)};
            y = ir.bottom;
            const Item& it = items[i];
            bool sel = multi() ? it.sel : i == cur;
            if (ownerDraw()) {
                UINT state = (sel ? ODS_SELECTED : 0) | (focused && i == cur ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
                DRAWITEMSTRUCT dis {ctlType(), ctlId(), UINT(i), ODA_DRAWENTIRE, state, itemWindow(), hdc, ir, it.data};
                SendMessage(notifyTarget(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
                continue;
            }
            if (sel) dc->FillSolidRect(&ir, GetSysColor(COLOR_HIGHLIGHT));
            dc->SetTextColor(!enabled ? GetSysColor(COLOR_GRAYTEXT) : sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : fg);
            RECT tr = ir;
            tr.left += 2;
            dc->DrawText(it.text.c_str(), int(it.text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
            if (focused && i == cur && !combo) dc->DrawFocusRect(&ir);
        }
    }

    void click(POINT p, UINT flags, bool dbl)
    {
        bool outside = false;
        int i = itemAt(p, &outside);
        if (!count()) return;
        if (multi()) {
            if (outside) return;
            bool extended = (lstyle() & LBS_EXTENDEDSEL) != 0;
            if (extended && (flags & MK_SHIFT) && valid(anchorSel)) selectRange(anchorSel, i, !(flags & MK_CONTROL));
            else if (!extended || (flags & MK_CONTROL)) { items[i].sel = !items[i].sel; anchorSel = i; }
            else { items.forEach([](Item& it) { it.sel = false; }); items[i].sel = true; anchorSel = i; }
            cur = i;
            InvalidateRect(h, nullptr, TRUE);
            notify(LBN_SELCHANGE);
        } else {
            if (outside) return;
            select(i, true);
        }
        if (dbl) notify(LBN_DBLCLK);
    }

    // Selects the items from a to b; `only` clears the others first.
    void selectRange(int a, int b, bool only)
    {
        if (only) items.forEach([](Item& it) { it.sel = false; });
        for (int k = std::min(a, b); k <= std::max(a, b); ++k) items[k].sel = true;
    }

    // A drag in an extended-selection list stretches the range from where it began.
    void dragTo(POINT p)
    {
        bool outside = false;
        int i = itemAt(p, &outside);
        if (!count() || i == cur || !valid(anchorSel)) return;
        selectRange(anchorSel, i, true);
        cur = i;
        ensureVisible(i);
        InvalidateRect(h, nullptr, TRUE);
        notify(LBN_SELCHANGE);
    }

    void keyDown(UINT vk)
    {
        if (!count()) return;
        int i = cur;
        switch (vk) {
        case VK_UP: case VK_LEFT: i = std::max(0, cur - 1); break;
        case VK_DOWN: case VK_RIGHT: i = std::min(count() - 1, cur + 1); break;
        case VK_PRIOR: i = std::max(0, cur - std::max(1, visibleCount() - 1)); break;
        case VK_NEXT: i = std::min(count() - 1, std::max(cur, 0) + std::max(1, visibleCount() - 1)); break;
        case VK_HOME: i = 0; break;
        case VK_END: i = count() - 1; break;
        case VK_SPACE:
            if (multi() && valid(cur)) {
                items[cur].sel = !items[cur].sel;
                invalidateItem(cur);
                notify(LBN_SELCHANGE);
            }
            return;
        default: return;
        }
        if (multi()) {
            bool extended = (lstyle() & LBS_EXTENDEDSEL) != 0;
            bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
            cur = i;
            ensureVisible(i);
            if (extended && !ctrl) {
                // Arrows move a single selection; with Shift they stretch it from the anchor.
                if (!shift || !valid(anchorSel)) anchorSel = i;
                selectRange(anchorSel, i, true);
                notify(LBN_SELCHANGE);
            }
            InvalidateRect(h, nullptr, TRUE);
            return;
        }
        select(i, true);
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_CREATE:
            if (ownerDraw() && !(lstyle() & LBS_OWNERDRAWVARIABLE)) measure(0);
            updateScroll();
            return 0;
        case WM_SIZE: updateScroll(); return 0;
        case WM_SETFONT: {
            font = reinterpret_cast<HFONT>(wp);
            if (!ownerDraw()) {
                TEXTMETRIC tm {};
                MeasureDC(currentFont()).GetTextMetrics(&tm);
                itemH = std::max<int>(1, tm.tmHeight + 1);
            }
            updateScroll();
            if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: focused = true; invalidateItem(cur); notify(LBN_SETFOCUS); return 0;
        case WM_KILLFOCUS:
            focused = false;
            invalidateItem(cur);
            if (tracking) { tracking = false; ReleaseCapture(); }
            notify(LBN_KILLFOCUS);
            return 0;
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
            if (combo) {
                POINT sp = lpPoint(lp);
                ClientToScreen(h, &sp);
                SendMessage(combo, PVM_LISTDOWN, 0, MAKELPARAM(sp.x, sp.y));
                return 0;
            }
            if (GetFocus() != h) SetFocus(h);
            if (!IsWindow(h)) return 0;
            click(lpPoint(lp), UINT(wp), msg == WM_LBUTTONDBLCLK);
            SetCapture(h);
            tracking = true;
            return 0;
        case WM_MOUSEMOVE: {
            bool outside = false;
            int i = itemAt(lpPoint(lp), &outside);
            if ((combo && !outside) || (tracking && !multi())) select(i, !combo);
            else if (tracking && (lstyle() & LBS_EXTENDEDSEL)) dragTo(lpPoint(lp));
            return 0;
        }
        case WM_LBUTTONUP: {
            if (combo) {
                bool outside = false;
                int i = itemAt(lpPoint(lp), &outside);
                POINT sp = lpPoint(lp);
                ClientToScreen(h, &sp);
                SendMessage(combo, PVM_LISTPICK, outside ? WPARAM(-1) : WPARAM(i), MAKELPARAM(sp.x, sp.y));
                return 0;
            }
            if (tracking) { tracking = false; ReleaseCapture(); }
            return 0;
        }
        case WM_CAPTURECHANGED: tracking = false; return 0;
        case WM_KEYDOWN: keyDown(UINT(wp)); return 0;
        case WM_CHAR: {
            if (wp < 32 || !hasStrings()) return 0;
            int i = typeAhead(UINT(wp));
            if (i < 0) return 0;
            if (!multi()) { select(i, true); return 0; }
            cur = i;
            ensureVisible(i);
            if (lstyle() & LBS_EXTENDEDSEL) { anchorSel = i; selectRange(i, i, true); notify(LBN_SELCHANGE); }
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case WM_VSCROLL: {
            int t = top;
            switch (LOWORD(wp)) {
            case SB_LINEUP: --t; break;
            case SB_LINEDOWN: ++t; break;
            case SB_PAGEUP: t -= visibleCount(); break;
            case SB_PAGEDOWN: t += visibleCount(); break;
            case SB_THUMBTRACK: case SB_THUMBPOSITION: t = HIWORD(wp); break;
            case SB_TOP: t = 0; break;
            case SB_BOTTOM: t = count(); break;
            default: break;
            }
            setTop(t);
            return 0;
        }
        case WM_MOUSEWHEEL: setTop(top - 3 * short(HIWORD(wp)) / WHEEL_DELTA); return 0;
        case LB_ADDSTRING:
            return insert((lstyle() & LBS_SORT) ? sortedPos(lp) : count(), lp);
        case LB_INSERTSTRING: return insert(int(wp), lp);
        case LB_DELETESTRING:
            if (!valid(int(wp))) return LB_ERR;
            remove(int(wp));
            updateScroll();
            InvalidateRect(h, nullptr, TRUE);
            return count();
        case LB_RESETCONTENT:
            while (count()) remove(count() - 1);
            top = 0;
            cur = -1;
            updateScroll();
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case LB_GETCOUNT: return count();
        case LB_GETCURSEL: return multi() ? cur : (cur < 0 ? LB_ERR : cur);
        case LB_SETCURSEL:
            if (multi()) return LB_ERR;
            select(int(wp), false);
            return valid(int(wp)) ? int(wp) : LB_ERR;
        case LB_GETTEXT: {
            if (!valid(int(wp)) || !lp) return LB_ERR;
            const Item& it = items[int(wp)];
            if (!hasStrings()) { memcpy(reinterpret_cast<void*>(lp), &it.data, sizeof it.data); return sizeof it.data; }
            memcpy(reinterpret_cast<char*>(lp), it.text.c_str(), it.text.size() + 1);
            return LRESULT(it.text.size());
        }
        case LB_GETTEXTLEN:
            if (!valid(int(wp))) return LB_ERR;
            return hasStrings() ? LRESULT(items[int(wp)].text.size()) : LRESULT(sizeof(ULONG_PTR));
        case LB_GETITEMDATA:
            if (!valid(int(wp))) return LB_ERR;
            return LRESULT(items[int(wp)].data);
        case LB_SETITEMDATA:
            if (!valid(int(wp))) return LB_ERR;
            items[int(wp)].data = ULONG_PTR(lp);
            return 0;
        case LB_FINDSTRING: return find(int(wp), reinterpret_cast<LPCTSTR>(lp), false);
        case LB_FINDSTRINGEXACT: return find(int(wp), reinterpret_cast<LPCTSTR>(lp), true);
        case LB_SELECTSTRING: {
            int i = find(int(wp), reinterpret_cast<LPCTSTR>(lp), false);
            if (i >= 0) select(i, false);
            return i;
        }
        case LB_GETTOPINDEX: return top;
        case LB_SETTOPINDEX: if (!valid(int(wp))) return LB_ERR; setTop(int(wp)); return 0;
        case LB_GETITEMRECT: {
            RECT r;
            if (!lp || !itemRect(int(wp), &r)) return LB_ERR;
            *reinterpret_cast<RECT*>(lp) = r;
            return 0;
        }
        case LB_GETITEMHEIGHT: return heightOf(int(wp));
        case LB_SETITEMHEIGHT: {
            int hh = LOWORD(lp);
            if (hh <= 0 || hh > 255) return LB_ERR;
            if ((lstyle() & LBS_OWNERDRAWVARIABLE) && valid(int(wp))) items[int(wp)].height = hh;
            else itemH = hh;
            updateScroll();
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case LB_SETSEL: {
            if (!multi()) return LB_ERR;
            int i = int(lp);
            if (i == -1) items.forEach([on = wp != 0](Item& it) { it.sel = on; });
            else if (valid(i)) items[i].sel = wp != 0;
            else return LB_ERR;
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case LB_GETSEL:
            if (!valid(int(wp))) return LB_ERR;
            return multi() ? items[int(wp)].sel : int(wp) == cur;
        case LB_GETSELCOUNT: {
            if (!multi()) return LB_ERR;
            return items.countIf([](const Item& it) { return it.sel; });
        }
        case LB_GETSELITEMS: {
            if (!multi() || !lp) return LB_ERR;
            int* out = reinterpret_cast<int*>(lp);
            int n = 0;
            for (int i = 0; i < count() && n < int(wp); ++i) if (items[i].sel) out[n++] = i;
            return n;
        }
        case LB_GETCARETINDEX: return cur;
        case LB_SETCARETINDEX: if (!valid(int(wp))) return LB_ERR; cur = int(wp); ensureVisible(cur); InvalidateRect(h, nullptr, TRUE); return 0;
        case LB_SETHORIZONTALEXTENT: return 0;
        case LB_ITEMFROMPOINT: {
            bool outside = false;
            int i = itemAt(lpPoint(lp), &outside);
            return MAKELONG(i, outside ? 1 : 0);
        }
        case PVM_LISTSELECT: select(int(wp), false); return 0;
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return CtlProc<ListBoxCtl>(h, msg, wp, lp); }

void RegisterListBox()
{
    RegisterControlClass(WC_LISTBOX, ListBoxProc, CS_DBLCLKS | CS_GLOBALCLASS);
    RegisterControlClass(WC_COMBOLBOX, ListBoxProc, CS_DBLCLKS | CS_SAVEBITS);
}

} // namespace pvctl
