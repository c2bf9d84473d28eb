// The tree view: items with text, images and data, expansion, selection, hit tests, keys, and
// the TVN_ notifications.

#include "platform/controls/ctlimpl.h"
#include "platform/controls/imagelist.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct _TREEITEM {
    std::string text;
    bool textCallback = false;
    int image = 0;
    int selImage = 0;
    LPARAM data = 0;
    UINT state = 0;
    int children = 0;           // cChildren given by the caller (1: show a button without children)
    _TREEITEM* parent = nullptr;
    std::vector<_TREEITEM*> kids;
};

namespace pvctl {

static const int kDispTextMax = 1024;   // what TVN_GETDISPINFO may answer, in bytes

struct TreeCtl : Control {
    _TREEITEM root;
    std::unordered_set<_TREEITEM*> live;
    _TREEITEM* sel = nullptr;
    _TREEITEM* hilite = nullptr;
    int top = 0;                // first visible row
    int indent = 19;
    int itemH = 16;
    bool customH = false;
    HIMAGELIST images = nullptr;
    HIMAGELIST stateImages = nullptr;
    COLORREF bk = CLR_NONE;
    COLORREF fg = CLR_NONE;
    bool focused = false;
    std::vector<_TREEITEM*> rows;   // the visible items, in order
    std::unordered_map<const _TREEITEM*, int> rowIndex;   // rows, the other way round
    bool rowsDirty = true;
    bool refreshPosted = false;
    static constexpr UINT kRefreshRows = WM_USER + 0x1F00;  // the control's own, clear of TVM_*

    TreeCtl(HWND hw, const CREATESTRUCT*) : Control(hw) { measure(); }
    ~TreeCtl() override { for (_TREEITEM* it : live) delete it; }

    DWORD tstyle() const { return style(); }

    void measure()
    {
        if (customH) return;
        TEXTMETRIC tm {};
        MeasureDC(currentFont()).GetTextMetrics(&tm);
        int ih = 0;
        if (images) ImageList_GetIconSize(images, nullptr, &ih);
        itemH = std::max<int>(tm.tmHeight + 3, ih + 1);
    }

    _TREEITEM* item(HTREEITEM h) const
    {
        auto* p = reinterpret_cast<_TREEITEM*>(h);
        return live.count(p) ? p : nullptr;
    }
    static HTREEITEM handle(_TREEITEM* p) { return reinterpret_cast<HTREEITEM>(p); }
    bool expanded(const _TREEITEM* p) const { return p == &root || (p->state & TVIS_EXPANDED); }
    bool hasKids(const _TREEITEM* p) const { return !p->kids.empty() || p->children > 0; }
    int depth(const _TREEITEM* p) const
    {
        int d = 0;
        for (const _TREEITEM* q = p->parent; q && q != &root; q = q->parent) ++d;
        return d;
    }

    void buildRows()
    {
        if (!rowsDirty) return;
        rowsDirty = false;
        rows.clear();
        std::vector<const _TREEITEM*> stack;
        auto walk = [&](auto& self, _TREEITEM* p) -> void {
            for (_TREEITEM* c : p->kids) {
                rows.push_back(c);
                if (expanded(c)) self(self, c);
            }
        };
        walk(walk, &root);
        rowIndex.clear();
        for (size_t i = 0; i < rows.size(); ++i)
            rowIndex[rows[i]] = int(i);
        top = std::clamp(top, 0, std::max(0, int(rows.size()) - 1));
        updateScroll();
    }
    // The rows are rebuilt when next asked for, and once after a burst of changes (loading many
    // items) so that the scroll bar follows: a change alone costs the same in any tree.
    void changed()
    {
        rowsDirty = true;
        InvalidateRect(h, nullptr, TRUE);
        if (!refreshPosted) {
            refreshPosted = true;
            PostMessage(h, kRefreshRows, 0, 0);
        }
    }
    // Walking the visible items one by one stays linear in their number.
    int rowOf(const _TREEITEM* p)
    {
        buildRows();
        auto it = rowIndex.find(p);
        return it == rowIndex.end() ? -1 : it->second;
    }
    int clientH() const
    {
        RECT rc;
        GetClientRect(h, &rc);
        return rc.bottom - rc.top;
    }
    int visibleCount() const { return std::max(1, clientH() / std::max(1, itemH)); }

    void updateScroll()
    {
        if (!(tstyle() & WS_VSCROLL) && rows.size() <= size_t(visibleCount())) return;
        SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, int(rows.size()) - 1), UINT(visibleCount()), top, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    void setTop(int t)
    {
        buildRows();
        t = std::clamp(t, 0, std::max(0, int(rows.size()) - visibleCount()));
        if (t == top) return;
        top = t;
        updateScroll();
        InvalidateRect(h, nullptr, TRUE);
    }

    // ---- Geometry of a row ----
    int levelX(const _TREEITEM* p) const
    {
        int d = depth(p);
        if (tstyle() & (TVS_LINESATROOT)) ++d;
        return d * indent;
    }
    int iconW() const
    {
        int cx = 0;
        if (images) ImageList_GetIconSize(images, &cx, nullptr);
        return cx ? cx + 3 : 0;
    }
    // An item's text, asked of the parent (TVN_GETDISPINFO) when the item leaves it to it.
    std::string textOf(_TREEITEM* p) const
    {
        if (!p->textCallback) return p->text;
        char buf[kDispTextMax] = {};
        NMTVDISPINFO di {};
        di.item.mask = TVIF_TEXT;
        di.item.hItem = handle(p);
        di.item.state = p->state;
        di.item.lParam = p->data;
        di.item.pszText = buf;
        di.item.cchTextMax = int(sizeof buf);
        NotifyParentNM(h, &di.hdr, TVN_GETDISPINFO);
        if (!live.count(p)) return {};
        std::string t;
        if (di.item.pszText == buf) t.assign(buf, strnlen(buf, sizeof buf));
        else if (di.item.pszText && di.item.pszText != LPSTR_TEXTCALLBACK) t = di.item.pszText;
        if (di.item.mask & TVIF_DI_SETITEM) {
            p->text = t;
            p->textCallback = false;
        }
        return t;
    }
    int textW(const std::string& t) const { return MeasureDC(currentFont()).GetTextExtent(t.c_str(), int(t.size())).cx + 4; }
    // Children in the order a person reads them: case-blind, accents beside their letters.
    bool before(_TREEITEM* a, _TREEITEM* b) const { return PvCollateNoCase(textOf(a), textOf(b)) < 0; }
    RECT labelRect(_TREEITEM* p, int row) const { return labelRect(p, row, textOf(p)); }
    RECT labelRect(const _TREEITEM* p, int row, const std::string& label) const
    {
        int x = levelX(p) + iconW();
        int y = (row - top) * itemH;
        return RECT {x, y, x + textW(label), y + itemH};
    }

    // ---- Notifications ----
    LRESULT notifyTV(UINT code, UINT action, _TREEITEM* oldIt, _TREEITEM* newIt, POINT pt = POINT {0, 0})
    {
        NMTREEVIEW nm {};
        nm.action = action;
        auto fill = [&](TVITEM& tv, _TREEITEM* p) {
            if (!p) return;
            tv.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_TEXT;
            tv.hItem = handle(p);
            tv.lParam = p->data;
            tv.state = p->state;
            tv.iImage = p->image;
            tv.iSelectedImage = p->selImage;
            tv.pszText = const_cast<char*>(p->text.c_str());
        };
        fill(nm.itemOld, oldIt);
        fill(nm.itemNew, newIt);
        nm.ptDrag = pt;
        return NotifyParentNM(h, &nm.hdr, code);
    }
    LRESULT notifySimple(UINT code)
    {
        NMHDR nm {};
        return NotifyParentNM(h, &nm, code);
    }

    // ---- Operations ----
    _TREEITEM* insert(const TVINSERTSTRUCT* ins)
    {
        if (!ins) return nullptr;
        _TREEITEM* parent = (!ins->hParent || ins->hParent == TVI_ROOT) ? &root : item(ins->hParent);
        if (!parent) return nullptr;
        auto* it = new _TREEITEM;
        const TVITEM& tv = ins->item;
        if (tv.mask & TVIF_TEXT) {
            if (tv.pszText == LPSTR_TEXTCALLBACK) it->textCallback = true;
            else if (tv.pszText) it->text = tv.pszText;
        }
        if (tv.mask & TVIF_IMAGE) it->image = tv.iImage;
        if (tv.mask & TVIF_SELECTEDIMAGE) it->selImage = tv.iSelectedImage;
        if (tv.mask & TVIF_PARAM) it->data = tv.lParam;
        if (tv.mask & TVIF_STATE) it->state = (tv.state & tv.stateMask) & ~UINT(TVIS_SELECTED);
        if (tv.mask & TVIF_CHILDREN) it->children = tv.cChildren;
        it->parent = parent;
        auto& v = parent->kids;
        HTREEITEM after = ins->hInsertAfter;
        if (after == TVI_FIRST) v.insert(v.begin(), it);
        else if (after == TVI_SORT) {
            auto pos = std::find_if(v.begin(), v.end(), [&](_TREEITEM* o) { return before(it, o); });
            v.insert(pos, it);
        } else if (after == TVI_LAST || !after) v.push_back(it);
        else {
            auto pos = std::find(v.begin(), v.end(), reinterpret_cast<_TREEITEM*>(after));
            v.insert(pos == v.end() ? v.end() : pos + 1, it);
        }
        live.insert(it);
        changed();
        return it;
    }

    void destroy(_TREEITEM* it)
    {
        for (_TREEITEM* c : std::vector<_TREEITEM*>(it->kids)) destroy(c);
        notifyTV(TVN_DELETEITEM, 0, it, nullptr);
        if (sel == it) sel = nullptr;
        if (hilite == it) hilite = nullptr;
        live.erase(it);
        delete it;
    }

    bool remove(_TREEITEM* it)
    {
        if (it == &root) {
            for (_TREEITEM* c : std::vector<_TREEITEM*>(root.kids)) destroy(c);
            root.kids.clear();
            sel = nullptr;
            top = 0;
            changed();
            return true;
        }
        _TREEITEM* parent = it->parent;
        bool wasSel = false;
        for (_TREEITEM* p = sel; p; p = p->parent) if (p == it) wasSel = true;
        auto& v = parent->kids;
        v.erase(std::remove(v.begin(), v.end(), it), v.end());
        destroy(it);
        if (parent != &root && parent->kids.empty()) parent->state &= ~UINT(TVIS_EXPANDED);
        changed();
        if (wasSel) {
            // The selection moves on, as a user would expect, rather than vanishing.
            _TREEITEM* next = parent != &root ? parent : (root.kids.empty() ? nullptr : root.kids.front());
            select(next, TVC_UNKNOWN);
        }
        return true;
    }

    bool expand(_TREEITEM* it, UINT code, UINT action)
    {
        if (!it || it == &root) return false;
        UINT op = code & 3;
        bool open = expanded(it);
        bool want = op == TVE_EXPAND ? true : op == TVE_COLLAPSE ? false : !open;
        if (want == open) {
            if (!want && (code & TVE_COLLAPSERESET)) it->state &= ~UINT(TVIS_EXPANDEDONCE);
            return false;
        }
        if (!hasKids(it) && want) return false;
        if (notifyTV(TVN_ITEMEXPANDING, want ? TVE_EXPAND : TVE_COLLAPSE, nullptr, it)) return false;
        if (!live.count(it)) return false;
        if (want) it->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
        else it->state &= ~UINT(TVIS_EXPANDED);
        changed();
        if (!want) {
            // A selection hidden by the collapse moves to the collapsed item.
            for (_TREEITEM* p = sel ? sel->parent : nullptr; p && p != &root; p = p->parent)
                if (p == it) { select(it, action); break; }
        }
        notifyTV(TVN_ITEMEXPANDED, want ? TVE_EXPAND : TVE_COLLAPSE, nullptr, it);
        return true;
    }

    void ensureVisible(_TREEITEM* it)
    {
        if (!it) return;
        bool opened = false;
        for (_TREEITEM* p = it->parent; p && p != &root; p = p->parent)
            if (!expanded(p)) { p->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE; opened = true; }
        if (opened) changed();
        int r = rowOf(it);
        if (r < top) setTop(r);
        else if (r >= top + visibleCount()) setTop(r - visibleCount() + 1);
    }

    bool select(_TREEITEM* it, UINT action)
    {
        if (it == sel) { if (it) ensureVisible(it); return true; }
        if (notifyTV(TVN_SELCHANGING, action, sel, it)) return false;
        if (it && !live.count(it)) return false;
        _TREEITEM* old = sel && live.count(sel) ? sel : nullptr;
        if (old) old->state &= ~UINT(TVIS_SELECTED);
        sel = it;
        if (it) { it->state |= TVIS_SELECTED; ensureVisible(it); }
        InvalidateRect(h, nullptr, TRUE);
        notifyTV(TVN_SELCHANGED, action, old, it);
        return true;
    }

    _TREEITEM* next(_TREEITEM* it, UINT code)
    {
        auto sibling = [](_TREEITEM* p, int d) -> _TREEITEM* {
            if (!p || !p->parent) return nullptr;
            auto& v = p->parent->kids;
            auto pos = std::find(v.begin(), v.end(), p);
            if (pos == v.end()) return nullptr;
            long i = long(pos - v.begin()) + d;
            return i >= 0 && i < long(v.size()) ? v[size_t(i)] : nullptr;
        };
        switch (code) {
        case TVGN_ROOT: return root.kids.empty() ? nullptr : root.kids.front();
        case TVGN_CARET: return sel;
        case TVGN_DROPHILITE: return hilite;
        case TVGN_FIRSTVISIBLE: buildRows(); return top < int(rows.size()) ? rows[size_t(top)] : nullptr;
        case TVGN_LASTVISIBLE: buildRows(); return rows.empty() ? nullptr : rows.back();
        default: break;
        }
        if (!it) return nullptr;
        switch (code) {
        case TVGN_NEXT: return sibling(it, 1);
        case TVGN_PREVIOUS: return sibling(it, -1);
        case TVGN_PARENT: return it->parent == &root ? nullptr : it->parent;
        case TVGN_CHILD: return it->kids.empty() ? nullptr : it->kids.front();
        case TVGN_NEXTVISIBLE: { int r = rowOf(it); return r >= 0 && r + 1 < int(rows.size()) ? rows[size_t(r) + 1] : nullptr; }
        case TVGN_PREVIOUSVISIBLE: { int r = rowOf(it); return r > 0 ? rows[size_t(r) - 1] : nullptr; }
        default: return nullptr;
        }
    }

    _TREEITEM* hitTest(POINT p, UINT* flags)
    {
        buildRows();
        RECT rc;
        GetClientRect(h, &rc);
        UINT f = 0;
        if (p.x < 0) f |= TVHT_TOLEFT;
        if (p.x >= rc.right) f |= TVHT_TORIGHT;
        if (p.y < 0) f |= TVHT_ABOVE;
        if (p.y >= rc.bottom) f |= TVHT_BELOW;
        if (f) { if (flags) *flags = f; return nullptr; }
        int r = top + p.y / itemH;
        if (r >= int(rows.size())) { if (flags) *flags = TVHT_NOWHERE; return nullptr; }
        _TREEITEM* it = rows[size_t(r)];
        int lx = levelX(it);
        int ix = iconW();
        RECT lab = labelRect(it, r);
        bool rootButton = it->parent != &root || (tstyle() & TVS_LINESATROOT);
        if (p.x < lx) f = (p.x >= lx - indent && hasKids(it) && (tstyle() & TVS_HASBUTTONS) && rootButton) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
        else if (p.x < lx + ix) f = TVHT_ONITEMICON;
        else if (p.x < lab.right) f = TVHT_ONITEMLABEL;
        else f = TVHT_ONITEMRIGHT;
        if (flags) *flags = f;
        return it;
    }

    // ---- Painting ----
    void dottedH(CDC* dc, int x0, int x1, int y, COLORREF c) { for (int x = x0 + ((x0 + y) & 1); x < x1; x += 2) dc->SetPixelV(x, y, c); }
    void dottedV(CDC* dc, int x, int y0, int y1, COLORREF c) { for (int y = y0 + ((x + y0) & 1); y < y1; y += 2) dc->SetPixelV(x, y, c); }

    void paint(HDC hdc)
    {
        buildRows();
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        COLORREF back = bk != CLR_NONE ? bk : GetSysColor(COLOR_WINDOW);
        COLORREF text = fg != CLR_NONE ? fg : GetSysColor(COLOR_WINDOWTEXT);
        dc->FillSolidRect(&rc, back);
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        DWORD st = tstyle();
        COLORREF lineC = GetSysColor(COLOR_GRAYTEXT);
        int iconCx = 0, iconCy = 0;
        if (images) ImageList_GetIconSize(images, &iconCx, &iconCy);
        for (int r = top; r < int(rows.size()) && (r - top) * itemH < rc.bottom; ++r) {
            _TREEITEM* it = rows[size_t(r)];
            int y = (r - top) * itemH;
            int lx = levelX(it);
            int mid = y + itemH / 2;
            bool showRoot = it->parent != &root || (st & TVS_LINESATROOT);
            if ((st & TVS_HASLINES) && showRoot) {
                int cx = lx - indent / 2 - 1;
                dottedH(dc, cx, lx, mid, lineC);
                bool last = it->parent->kids.back() == it;
                bool first = it->parent == &root && it->parent->kids.front() == it;
                dottedV(dc, cx, first ? mid : y, last ? mid + 1 : y + itemH, lineC);
                // Continuation lines of the ancestors that have later siblings.
                int ax = cx - indent;
                for (_TREEITEM* a = it->parent; a && a != &root; a = a->parent, ax -= indent)
                    if (a->parent->kids.back() != a && (a->parent != &root || (st & TVS_LINESATROOT))) dottedV(dc, ax, y, y + itemH, lineC);
            }
            if ((st & TVS_HASBUTTONS) && hasKids(it) && showRoot) {
                int cx = lx - indent / 2 - 1;
                RECT b {cx - 4, mid - 4, cx + 5, mid + 5};
                dc->FillSolidRect(&b, back);
                dc->Draw3dRect(&b, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
                dc->FillSolidRect(cx - 2, mid, 5, 1, text);
                if (!expanded(it)) dc->FillSolidRect(cx, mid - 2, 1, 5, text);
            }
            bool isSel = it == sel || it == hilite;
            if (images) {
                int idx = isSel && it == sel ? it->selImage : it->image;
                ImageList_Draw(images, idx, hdc, lx, y + (itemH - iconCy) / 2, ILD_TRANSPARENT);
            }
            std::string label = textOf(it);
            RECT lab = labelRect(it, r, label);
            bool shown = isSel && (focused || (st & TVS_SHOWSELALWAYS) || it == hilite);
            if (shown) dc->FillSolidRect(&lab, (focused || it == hilite) ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
            dc->SetTextColor(shown && (focused || it == hilite) ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
            if (it->state & TVIS_BOLD) {
                // Bold by drawing twice one pixel apart keeps the row's metrics unchanged.
                dc->TextOut(lab.left + 3, lab.top + 1, label.c_str(), int(label.size()));
            }
            dc->TextOut(lab.left + 2, lab.top + 1, label.c_str(), int(label.size()));
            if (focused && it == sel) dc->DrawFocusRect(&lab);
        }
    }

    void keyDown(UINT vk)
    {
        NMTVKEYDOWN kd {};
        kd.wVKey = WORD(vk);
        NotifyParentNM(h, &kd.hdr, TVN_KEYDOWN);
        if (!IsWindow(h)) return;
        buildRows();
        if (rows.empty()) return;
        int r = sel ? rowOf(sel) : -1;
        _TREEITEM* to = nullptr;
        switch (vk) {
        case VK_UP: to = rows[size_t(std::max(0, r - 1))]; break;
        case VK_DOWN: to = rows[size_t(std::min(int(rows.size()) - 1, r + 1))]; break;
        case VK_PRIOR: to = rows[size_t(std::max(0, r - visibleCount() + 1))]; break;
        case VK_NEXT: to = rows[size_t(std::min(int(rows.size()) - 1, std::max(r, 0) + visibleCount() - 1))]; break;
        case VK_HOME: to = rows.front(); break;
        case VK_END: to = rows.back(); break;
        case VK_LEFT:
            if (!sel) return;
            if (expanded(sel) && hasKids(sel)) { expand(sel, TVE_COLLAPSE, TVC_BYKEYBOARD); return; }
            if (sel->parent != &root) to = sel->parent;
            break;
        case VK_RIGHT:
            if (!sel) return;
            if (!expanded(sel) && hasKids(sel)) { expand(sel, TVE_EXPAND, TVC_BYKEYBOARD); return; }
            if (!sel->kids.empty()) to = sel->kids.front();
            break;
        case VK_ADD: if (sel) expand(sel, TVE_EXPAND, TVC_BYKEYBOARD); return;
        case VK_SUBTRACT: if (sel) expand(sel, TVE_COLLAPSE, TVC_BYKEYBOARD); return;
        case VK_MULTIPLY: if (sel) expandAll(sel); return;
        case VK_BACK: if (sel && sel->parent != &root) to = sel->parent; break;
        case VK_RETURN: notifySimple(NM_RETURN); return;
        default: return;
        }
        if (to) select(to, TVC_BYKEYBOARD);
    }

    // Numpad *: the item and everything below it opens.
    void expandAll(_TREEITEM* it)
    {
        if (!live.count(it)) return;
        expand(it, TVE_EXPAND, TVC_BYKEYBOARD);
        for (_TREEITEM* c : std::vector<_TREEITEM*>(it->kids)) expandAll(c);
    }

    BOOL getItem(TVITEM* tv)
    {
        if (!tv) return FALSE;
        _TREEITEM* it = item(tv->hItem);
        if (!it) return FALSE;
        if (tv->mask & TVIF_TEXT) {
            if (tv->pszText && tv->cchTextMax > 0) {
                std::string t = textOf(it);
                size_t n = std::min(t.size(), size_t(tv->cchTextMax) - 1);
                // Never cut a character in two.
                while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
                memcpy(tv->pszText, t.data(), n);
                tv->pszText[n] = 0;
            }
        }
        if (tv->mask & TVIF_IMAGE) tv->iImage = it->image;
        if (tv->mask & TVIF_SELECTEDIMAGE) tv->iSelectedImage = it->selImage;
        if (tv->mask & TVIF_PARAM) tv->lParam = it->data;
        if (tv->mask & TVIF_STATE) tv->state = it->state & (tv->stateMask ? tv->stateMask : ~0u);
        if (tv->mask & TVIF_CHILDREN) tv->cChildren = hasKids(it) ? 1 : 0;
        return TRUE;
    }

    BOOL setItem(const TVITEM* tv)
    {
        if (!tv) return FALSE;
        _TREEITEM* it = item(tv->hItem);
        if (!it) return FALSE;
        if ((tv->mask & TVIF_TEXT) && tv->pszText) {
            it->textCallback = tv->pszText == LPSTR_TEXTCALLBACK;
            it->text = it->textCallback ? std::string() : std::string(tv->pszText);
        }
        if (tv->mask & TVIF_IMAGE) it->image = tv->iImage;
        if (tv->mask & TVIF_SELECTEDIMAGE) it->selImage = tv->iSelectedImage;
        if (tv->mask & TVIF_PARAM) it->data = tv->lParam;
        if (tv->mask & TVIF_CHILDREN) { it->children = tv->cChildren; rowsDirty = true; }
        if (tv->mask & TVIF_STATE) {
            UINT m = tv->stateMask & ~UINT(TVIS_SELECTED);
            bool wasOpen = expanded(it);
            it->state = (it->state & ~m) | (tv->state & m);
            if (wasOpen != expanded(it)) rowsDirty = true;
            if ((tv->stateMask & TVIS_SELECTED) && (tv->state & TVIS_SELECTED)) select(it, TVC_UNKNOWN);
        }
        changed();
        return TRUE;
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r))
            return r;
        switch (msg) {
        case WM_SIZE: updateScroll(); setTop(top); return 0;
        case WM_SETFONT: font = reinterpret_cast<HFONT>(wp); measure(); changed(); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: focused = true; InvalidateRect(h, nullptr, TRUE); notifySimple(NM_SETFOCUS); return 0;
        case WM_KILLFOCUS: focused = false; InvalidateRect(h, nullptr, TRUE); notifySimple(NM_KILLFOCUS); return 0;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
            if (GetFocus() != h) SetFocus(h);
            if (!IsWindow(h)) return 0;
            UINT f = 0;
            _TREEITEM* it = hitTest(lpPoint(lp), &f);
            if (!it) return 0;
            if (f & TVHT_ONITEMBUTTON) { expand(it, TVE_TOGGLE, TVC_BYMOUSE); return 0; }
            if (f & (TVHT_ONITEM | TVHT_ONITEMRIGHT)) {
                if (msg == WM_LBUTTONDBLCLK) {
                    if (!notifySimple(NM_DBLCLK) && IsWindow(h) && live.count(it)) expand(it, TVE_TOGGLE, TVC_BYMOUSE);
                    return 0;
                }
                if (f & TVHT_ONITEM) select(it, TVC_BYMOUSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: notifySimple(NM_CLICK); return 0;
        case WM_RBUTTONDOWN: return 0;
        case WM_RBUTTONUP: {
            if (notifySimple(NM_RCLICK) || !IsWindow(h)) return 0;
            POINT p = lpPoint(lp);
            ClientToScreen(h, &p);
            SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(p.x, p.y));
            return 0;
        }
        case WM_KEYDOWN: keyDown(UINT(wp)); return 0;
        case WM_CHAR: {
            // Typing a letter moves to the next visible item that begins with it.
            if (wp < 32) return 0;
            std::string typed;
            PvAppendUtf8(typed, UINT(wp));
            buildRows();
            int n = int(rows.size());
            int start = sel ? rowOf(sel) : -1;
            for (int k = 1; k <= n; ++k) {
                _TREEITEM* it = rows[size_t((start + k + n) % n)];
                if (BeginsWithNoCase(textOf(it), typed)) { select(it, TVC_BYKEYBOARD); break; }
            }
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
            case SB_BOTTOM: t = int(rows.size()); break;
            default: break;
            }
            setTop(t);
            return 0;
        }
        case WM_MOUSEWHEEL: setTop(top - 3 * short(HIWORD(wp)) / WHEEL_DELTA); return 0;
        case TVM_INSERTITEM: return reinterpret_cast<LRESULT>(handle(insert(reinterpret_cast<const TVINSERTSTRUCT*>(lp))));
        case TVM_DELETEITEM: {
            HTREEITEM hi = reinterpret_cast<HTREEITEM>(lp);
            if (!hi || hi == TVI_ROOT) return remove(&root);
            _TREEITEM* it = item(hi);
            return it ? remove(it) : FALSE;
        }
        case TVM_EXPAND: return expand(item(reinterpret_cast<HTREEITEM>(lp)), UINT(wp), TVC_UNKNOWN);
        case TVM_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lp);
            if (!r) return FALSE;
            _TREEITEM* it = item(*reinterpret_cast<HTREEITEM*>(lp));
            int row = it ? rowOf(it) : -1;
            if (row < 0) return FALSE;
            RECT out = labelRect(it, row);
            if (!wp) { RECT rc; GetClientRect(h, &rc); out.left = 0; out.right = rc.right; }
            *r = out;
            return TRUE;
        }
        case TVM_GETCOUNT: return LRESULT(live.size());
        case TVM_GETINDENT: return indent;
        case TVM_SETINDENT: indent = std::max(int(wp), 8); changed(); return 0;
        case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(wp == TVSIL_STATE ? stateImages : images);
        case TVM_SETIMAGELIST: {
            HIMAGELIST& slot = wp == TVSIL_STATE ? stateImages : images;
            HIMAGELIST old = slot;
            slot = reinterpret_cast<HIMAGELIST>(lp);
            measure();
            changed();
            return reinterpret_cast<LRESULT>(old);
        }
        case TVM_GETNEXTITEM: {
            HTREEITEM hi = reinterpret_cast<HTREEITEM>(lp);
            _TREEITEM* it = hi == TVI_ROOT ? &root : item(hi);
            if (wp == TVGN_CHILD && (!hi || hi == TVI_ROOT)) it = &root;
            return reinterpret_cast<LRESULT>(handle(next(it, UINT(wp))));
        }
        case TVM_SELECTITEM: {
            HTREEITEM hi = reinterpret_cast<HTREEITEM>(lp);
            _TREEITEM* it = hi ? item(hi) : nullptr;
            if (hi && !it) return FALSE;
            switch (wp & 0xFF) {
            case TVGN_CARET: return select(it, TVC_UNKNOWN);
            case TVGN_DROPHILITE: hilite = it; InvalidateRect(h, nullptr, TRUE); return TRUE;
            case TVGN_FIRSTVISIBLE: if (it) { ensureVisible(it); setTop(rowOf(it)); } return TRUE;
            default: return FALSE;
            }
        }
        case TVM_GETITEM: return getItem(reinterpret_cast<TVITEM*>(lp));
        case TVM_SETITEM: return setItem(reinterpret_cast<const TVITEM*>(lp));
        case TVM_GETVISIBLECOUNT: return visibleCount();
        case TVM_HITTEST: {
            auto* ht = reinterpret_cast<TVHITTESTINFO*>(lp);
            if (!ht) return 0;
            ht->hItem = handle(hitTest(ht->pt, &ht->flags));
            return reinterpret_cast<LRESULT>(ht->hItem);
        }
        case TVM_SORTCHILDREN: {
            HTREEITEM hi = reinterpret_cast<HTREEITEM>(lp);
            _TREEITEM* it = (!hi || hi == TVI_ROOT) ? &root : item(hi);
            if (!it) return FALSE;
            std::stable_sort(it->kids.begin(), it->kids.end(), [this](_TREEITEM* a, _TREEITEM* b) { return before(a, b); });
            changed();
            return TRUE;
        }
        case TVM_ENSUREVISIBLE: { _TREEITEM* it = item(reinterpret_cast<HTREEITEM>(lp)); ensureVisible(it); return it != nullptr; }
        case TVM_SETITEMHEIGHT: {
            int old = itemH;
            if (int(wp) == -1) { customH = false; measure(); }
            else if (int(wp) > 0) { customH = true; itemH = int(wp); }
            changed();
            return old;
        }
        case TVM_GETITEMHEIGHT: return itemH;
        case TVM_SETBKCOLOR: { COLORREF o = bk; bk = COLORREF(lp); InvalidateRect(h, nullptr, TRUE); return LRESULT(o); }
        case TVM_GETBKCOLOR: return LRESULT(bk);
        case TVM_SETTEXTCOLOR: { COLORREF o = fg; fg = COLORREF(lp); InvalidateRect(h, nullptr, TRUE); return LRESULT(o); }
        case TVM_GETTEXTCOLOR: return LRESULT(fg);
        case WM_DESTROY:
            // The owner frees what it hung on the items while the window is still there.
            remove(&root);
            return 0;
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterTreeView()
{
    RegisterControlClass(WC_TREEVIEW, CtlProc<TreeCtl>, CS_DBLCLKS | CS_GLOBALCLASS);
}

} // namespace pvctl
