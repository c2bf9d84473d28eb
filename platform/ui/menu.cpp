// Menus: the handle table, editing and queries, templates, pop-up tracking with mouse and
// keyboard, the frame's menu bar, and accelerator tables.

#include "platform/ui/menu.h"

#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Item {
    UINT flags = 0;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_DEFAULT
    UINT id = 0;
    std::string text;
    HMENU sub = nullptr;
};
struct MenuRec {
    bool popup = false;
    std::vector<Item> items;
};

std::map<uintptr_t, std::unique_ptr<MenuRec>>& Table()
{
    static auto* t = new std::map<uintptr_t, std::unique_ptr<MenuRec>>;
    return *t;
}
uintptr_t g_nextMenu = 0x7000;

MenuRec* M(HMENU h)
{
    auto it = Table().find(reinterpret_cast<uintptr_t>(h));
    return it == Table().end() ? nullptr : it->second.get();
}

HMENU newMenu(bool popup)
{
    uintptr_t n = g_nextMenu;
    g_nextMenu += 4;
    auto rec = std::make_unique<MenuRec>();
    rec->popup = popup;
    Table()[n] = std::move(rec);
    return reinterpret_cast<HMENU>(n);
}

// Finds an item by position or (searching pop-ups too) by command.
bool find(HMENU h, UINT pos, UINT flags, MenuRec** menu, size_t* index)
{
    MenuRec* m = M(h);
    if (!m) return false;
    if (flags & MF_BYPOSITION) {
        if (pos >= m->items.size()) return false;
        *menu = m;
        *index = pos;
        return true;
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        const Item& it = m->items[i];
        if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == pos) {
            *menu = m;
            *index = i;
            return true;
        }
    }
    for (size_t i = 0; i < m->items.size(); ++i)
        if ((m->items[i].flags & MF_POPUP) && find(m->items[i].sub, pos, flags, menu, index)) return true;
    // A pop-up may also be addressed by its handle as the command.
    for (size_t i = 0; i < m->items.size(); ++i)
        if ((m->items[i].flags & MF_POPUP) && reinterpret_cast<uintptr_t>(m->items[i].sub) == pos) {
            *menu = m;
            *index = i;
            return true;
        }
    return false;
}

Item makeItem(UINT flags, UINT_PTR idOrSub, LPCTSTR text)
{
    Item it;
    it.flags = flags & (MF_POPUP | MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT |
                        MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY);
    if (flags & MF_POPUP) it.sub = reinterpret_cast<HMENU>(idOrSub);
    else it.id = UINT(idOrSub);
    if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text) it.text = text;
    if (!(flags & MF_SEPARATOR) && !(flags & MF_POPUP) && it.text.empty() && !text && it.id == 0)
        it.flags |= MF_SEPARATOR;
    return it;
}

void destroyRec(HMENU h)
{
    auto it = Table().find(reinterpret_cast<uintptr_t>(h));
    if (it == Table().end()) return;
    std::unique_ptr<MenuRec> rec = std::move(it->second);
    Table().erase(it);
    for (Item& i : rec->items)
        if (i.flags & MF_POPUP) destroyRec(i.sub);
}

std::unordered_map<HWND, HMENU>& WindowMenus()
{
    static auto* m = new std::unordered_map<HWND, HMENU>;
    return *m;
}
PvMenuChangedHook g_menuChanged = nullptr;

} // namespace

// Forgets the CMenu wrappers of a destroyed handle (defined with CMenu below).
static void dropTempMenu(HMENU h);

HMENU CreateMenu() { return newMenu(false); }
HMENU CreatePopupMenu() { return newMenu(true); }
BOOL IsMenu(HMENU h) { return M(h) != nullptr; }

BOOL DestroyMenu(HMENU h)
{
    if (!M(h)) return FALSE;
    std::vector<HMENU> all {h};
    for (size_t k = 0; k < all.size(); ++k)
        if (MenuRec* m = M(all[k]))
            for (const Item& i : m->items)
                if (i.flags & MF_POPUP) all.push_back(i.sub);
    destroyRec(h);
    for (HMENU x : all) dropTempMenu(x);
    for (auto& [w, m] : WindowMenus())
        if (m == h) m = nullptr;
    return TRUE;
}

BOOL AppendMenu(HMENU h, UINT flags, UINT_PTR id, LPCTSTR text)
{
    MenuRec* m = M(h);
    if (!m || ((flags & MF_POPUP) && !M(reinterpret_cast<HMENU>(id)))) return FALSE;
    m->items.push_back(makeItem(flags, id, text));
    return TRUE;
}

BOOL InsertMenu(HMENU h, UINT pos, UINT flags, UINT_PTR id, LPCTSTR text)
{
    MenuRec* m = M(h);
    if (!m || ((flags & MF_POPUP) && !M(reinterpret_cast<HMENU>(id)))) return FALSE;
    if ((flags & MF_BYPOSITION) && pos >= m->items.size()) {
        m->items.push_back(makeItem(flags, id, text)); // past the end appends, as the original does
        return TRUE;
    }
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, pos, flags, &at, &idx)) return FALSE;
    at->items.insert(at->items.begin() + long(idx), makeItem(flags, id, text));
    return TRUE;
}

BOOL ModifyMenu(HMENU h, UINT pos, UINT flags, UINT_PTR id, LPCTSTR text)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, pos, flags, &at, &idx)) return FALSE;
    if ((flags & MF_POPUP) && !M(reinterpret_cast<HMENU>(id))) return FALSE;
    Item& old = at->items[idx];
    HMENU oldSub = (old.flags & MF_POPUP) ? old.sub : nullptr;
    old = makeItem(flags, id, text);
    // Replacing a pop-up by something else destroys it, as with DeleteMenu.
    if (oldSub && oldSub != old.sub) DestroyMenu(oldSub);
    return TRUE;
}

BOOL RemoveMenu(HMENU h, UINT pos, UINT flags)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, pos, flags, &at, &idx)) return FALSE;
    at->items.erase(at->items.begin() + long(idx));
    return TRUE;
}

BOOL DeleteMenu(HMENU h, UINT pos, UINT flags)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, pos, flags, &at, &idx)) return FALSE;
    Item it = at->items[idx];
    at->items.erase(at->items.begin() + long(idx));
    if (it.flags & MF_POPUP) DestroyMenu(it.sub);
    return TRUE;
}

int GetMenuItemCount(HMENU h)
{
    MenuRec* m = M(h);
    return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU h, int pos)
{
    MenuRec* m = M(h);
    if (!m || pos < 0 || size_t(pos) >= m->items.size()) return UINT(-1);
    const Item& it = m->items[size_t(pos)];
    if (it.flags & MF_POPUP) return UINT(-1);
    return (it.flags & MF_SEPARATOR) ? 0 : it.id;
}

HMENU GetSubMenu(HMENU h, int pos)
{
    MenuRec* m = M(h);
    if (!m || pos < 0 || size_t(pos) >= m->items.size()) return nullptr;
    const Item& it = m->items[size_t(pos)];
    return (it.flags & MF_POPUP) ? it.sub : nullptr;
}

int GetMenuString(HMENU h, UINT id, LPTSTR buf, int cch, UINT flags)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, id, flags, &at, &idx)) {
        if (buf && cch > 0) buf[0] = 0;
        return 0;
    }
    const std::string& s = at->items[idx].text;
    if (!buf || cch <= 0) return int(s.size());
    size_t n = std::min(s.size(), size_t(cch - 1));
    // Never cut a UTF-8 character in half.
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buf, s.data(), n);
    buf[n] = 0;
    return int(n);
}

UINT GetMenuState(HMENU h, UINT id, UINT flags)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, id, flags, &at, &idx)) return UINT(-1);
    const Item& it = at->items[idx];
    UINT st = it.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP | MF_DEFAULT);
    if (it.flags & MF_POPUP) {
        MenuRec* sub = M(it.sub);
        st = (st & 0xFF) | (UINT(sub ? sub->items.size() : 0) << 8);
    }
    return st;
}

UINT EnableMenuItem(HMENU h, UINT id, UINT enable)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, id, enable & MF_BYPOSITION, &at, &idx)) return UINT(-1);
    Item& it = at->items[idx];
    UINT prev = it.flags & (MF_GRAYED | MF_DISABLED);
    it.flags = (it.flags & ~UINT(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return prev;
}

DWORD CheckMenuItem(HMENU h, UINT id, UINT check)
{
    MenuRec* at = nullptr;
    size_t idx = 0;
    if (!find(h, id, check & MF_BYPOSITION, &at, &idx)) return DWORD(-1);
    Item& it = at->items[idx];
    DWORD prev = it.flags & MF_CHECKED;
    it.flags = (it.flags & ~UINT(MF_CHECKED)) | (check & MF_CHECKED);
    return prev;
}

BOOL CheckMenuRadioItem(HMENU h, UINT first, UINT last, UINT check, UINT flags)
{
    if (!M(h) || first > last) return FALSE;
    BOOL found = FALSE;
    for (UINT i = first; i <= last; ++i) {
        DWORD r = CheckMenuItem(h, i, (flags & MF_BYPOSITION) | (i == check ? MF_CHECKED : MF_UNCHECKED));
        if (i == check && r != DWORD(-1)) found = TRUE;
        if (i == last) break;
    }
    return found;
}

static size_t buildLevel(HMENU h, const PvMenuTemplateItem* items, size_t n, size_t i, int depth)
{
    while (i < n) {
        const PvMenuTemplateItem& t = items[i++];
        if (t.nFlags & MF_POPUP) {
            HMENU sub = CreatePopupMenu();
            if (depth < 16) i = buildLevel(sub, items, n, i, depth + 1);
            AppendMenu(h, MF_POPUP | (t.nFlags & (MF_GRAYED | MF_DISABLED)), reinterpret_cast<UINT_PTR>(sub), t.lpszText);
        } else if (t.nFlags & MF_SEPARATOR) {
            AppendMenu(h, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenu(h, t.nFlags & (MF_GRAYED | MF_DISABLED | MF_CHECKED), t.nID, t.lpszText ? t.lpszText : "");
        }
        if (t.nFlags & MF_END) break;
    }
    return i;
}

HMENU LoadMenu(HINSTANCE, LPCTSTR name)
{
    size_t n = 0;
    const PvMenuTemplateItem* items = PvFindMenuTemplate(PvResourceId(name), &n);
    if (!items) return nullptr;
    HMENU h = CreateMenu();
    buildLevel(h, items, n, 0, 0);
    return h;
}

HMENU GetMenu(HWND h)
{
    auto it = WindowMenus().find(h);
    if (it == WindowMenus().end()) return nullptr;
    if (!IsWindow(h)) {
        WindowMenus().erase(it);
        return nullptr;
    }
    return it->second;
}

BOOL SetMenu(HWND h, HMENU menu)
{
    if (!IsWindow(h) || (menu && !M(menu))) return FALSE;
    WindowMenus()[h] = menu;
    if (g_menuChanged) g_menuChanged(h);
    DrawMenuBar(h);
    return TRUE;
}

BOOL DrawMenuBar(HWND h)
{
    if (!IsWindow(h)) return FALSE;
    if (HWND bar = GetDlgItem(h, AFX_IDW_MENUBAR)) InvalidateRect(bar, nullptr, TRUE);
    return TRUE;
}

void PvSetMenuChangedHook(PvMenuChangedHook hook) { g_menuChanged = hook; }

// ---- Drawing and geometry ----
namespace {

const int kItemPadY = 4;
const int kSepHeight = 7;
const int kCheckWidth = 22;
const int kArrowWidth = 18;
const int kBarPadX = 7;
const int kPopupInset = 3;      // the pop-up's two-pixel 3-D border and one pixel of air, on each side
const int kPopupMinWidth = 120;

HFONT uiFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int textHeight()
{
    static int h = 0;
    if (!h) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
        TEXTMETRIC tm {};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        h = std::max<int>(int(tm.tmHeight), 12);
    }
    return h;
}

int itemHeight(const Item& it) { return (it.flags & MF_SEPARATOR) ? kSepHeight : textHeight() + 2 * kItemPadY; }

CSize measure(CDC& dc, const std::string& s)
{
    // The mnemonic marker takes no room.
    std::string t;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            ++i;
        }
        t += s[i];
    }
    return dc.GetTextExtent(t.c_str(), int(t.size()));
}

void splitTab(const std::string& s, std::string* label, std::string* accel)
{
    size_t tab = s.find('\t');
    *label = tab == std::string::npos ? s : s.substr(0, tab);
    *accel = tab == std::string::npos ? std::string() : s.substr(tab + 1);
}

CSize popupSize(HMENU h)
{
    MenuRec* m = M(h);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    int wLabel = 0, wAccel = 0, height = 0;
    if (m) {
        for (const Item& it : m->items) {
            height += itemHeight(it);
            if (it.flags & MF_SEPARATOR) continue;
            std::string label, accel;
            splitTab(it.text, &label, &accel);
            wLabel = std::max<int>(wLabel, measure(dc, label).cx);
            if (!accel.empty()) wAccel = std::max<int>(wAccel, measure(dc, accel).cx + 24);
        }
    }
    dc.SelectObject(old);
    int width = kCheckWidth + wLabel + wAccel + kArrowWidth + 2 * kPopupInset;
    return CSize(std::max(width, kPopupMinWidth), height + 2 * kPopupInset);
}

// Where an item's label and shortcut go: what popupSize measured for, and nothing less.
CRect itemTextRect(const CRect& item) { return CRect(item.left + kCheckWidth, item.top, item.right - kArrowWidth, item.bottom); }

// Item rectangles of a pop-up in its client coordinates.
std::vector<CRect> popupRects(HMENU h, int width)
{
    std::vector<CRect> r;
    MenuRec* m = M(h);
    int y = kPopupInset;
    if (m)
        for (const Item& it : m->items) {
            int hh = itemHeight(it);
            r.emplace_back(kPopupInset, y, width - kPopupInset, y + hh);
            y += hh;
        }
    return r;
}

void drawItemText(CDC& dc, const std::string& s, CRect rc, UINT fmt, bool enabled, bool selected)
{
    dc.SetBkMode(TRANSPARENT);
    if (!enabled && !selected) {
        CRect sh = rc;
        sh.OffsetRect(1, 1);
        dc.SetTextColor(GetSysColor(COLOR_3DHILIGHT));
        dc.DrawText(s.c_str(), int(s.size()), &sh, fmt);
        dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    } else if (!enabled) {
        dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    } else {
        dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    dc.DrawText(s.c_str(), int(s.size()), &rc, fmt);
}

void paintPopup(HWND hWnd, HMENU h, int sel)
{
    PAINTSTRUCT ps;
    CDC* pdc = CDC::FromHandle(BeginPaint(hWnd, &ps));
    if (!pdc) {
        EndPaint(hWnd, &ps);
        return;
    }
    CDC& dc = *pdc;
    CRect rc;
    GetClientRect(hWnd, &rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_MENU));
    dc.Draw3dRect(&rc, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    CRect in = rc;
    in.DeflateRect(1, 1);
    dc.Draw3dRect(&in, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
    HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    MenuRec* m = M(h);
    std::vector<CRect> rects = popupRects(h, rc.Width());
    for (size_t i = 0; m && i < m->items.size(); ++i) {
        const Item& it = m->items[i];
        CRect r = rects[i];
        if (it.flags & MF_SEPARATOR) {
            int y = r.top + r.Height() / 2 - 1;
            dc.FillSolidRect(r.left + 1, y, r.Width() - 2, 1, GetSysColor(COLOR_3DSHADOW));
            dc.FillSolidRect(r.left + 1, y + 1, r.Width() - 2, 1, GetSysColor(COLOR_3DHILIGHT));
            continue;
        }
        bool enabled = !(it.flags & (MF_GRAYED | MF_DISABLED));
        bool selected = int(i) == sel;
        if (selected) dc.FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
        if (it.flags & MF_CHECKED) {
            // A check mark drawn as two strokes.
            CPen pen(PS_SOLID, 2, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : (enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT)));
            CPen* op = dc.SelectObject(&pen);
            int cx = r.left + 7, cy = r.top + r.Height() / 2;
            dc.MoveTo(cx, cy);
            dc.LineTo(cx + 3, cy + 3);
            dc.LineTo(cx + 9, cy - 4);
            dc.SelectObject(op);
        }
        std::string label, accel;
        splitTab(it.text, &label, &accel);
        CRect tr = itemTextRect(r);
        drawItemText(dc, label, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, enabled, selected);
        if (!accel.empty()) drawItemText(dc, accel, tr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, enabled, selected);
        if (it.flags & MF_POPUP) {
            COLORREF c = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
            int ax = r.right - 10, ay = r.top + r.Height() / 2;
            for (int k = 0; k < 4; ++k) dc.FillSolidRect(ax + k, ay - 3 + k, 1, 7 - 2 * k, c);
        }
    }
    dc.SelectObject(oldFont);
    EndPaint(hWnd, &ps);
}

// ---- Tracking ----
struct Level {
    HMENU menu = nullptr;
    HWND wnd = nullptr;
    int sel = -1;
};

struct Tracker {
    HWND owner = nullptr;
    HWND bar = nullptr;     // the menu bar when tracking from it
    int barSel = -1;        // selected bar item
    bool barOpen = false;   // a bar item's pop-up is open
    std::vector<Level> levels;
    UINT result = 0;
    bool done = false;
    bool chose = false;
    bool keyboard = false;
};
Tracker* g_tracker = nullptr;

const char* kPopupClass = "PvMenuPopup";
const char* kBarClass = "PvMenuBar";

Level* levelOf(HWND h)
{
    if (!g_tracker) return nullptr;
    for (Level& l : g_tracker->levels)
        if (l.wnd == h) return &l;
    return nullptr;
}

LRESULT popupProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        Level* l = levelOf(h);
        paintPopup(h, l ? l->menu : nullptr, l ? l->sel : -1);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProc(h, msg, wp, lp);
    }
}

void registerClasses();

bool selectable(const Item& it) { return !(it.flags & MF_SEPARATOR); }

void notifySelect(HMENU menu, int index)
{
    if (!g_tracker || !g_tracker->owner) return;
    MenuRec* m = M(menu);
    if (!m || index < 0 || size_t(index) >= m->items.size()) return;
    const Item& it = m->items[size_t(index)];
    UINT id = (it.flags & MF_POPUP) ? UINT(index) : it.id;
    SendMessage(g_tracker->owner, WM_MENUSELECT, MAKEWPARAM(id, it.flags & 0xFFFF), reinterpret_cast<LPARAM>(menu));
}

void closeFrom(size_t depth)
{
    while (g_tracker->levels.size() > depth) {
        HWND w = g_tracker->levels.back().wnd;
        g_tracker->levels.pop_back();
        if (w) DestroyWindow(w);
    }
}

void openPopup(HMENU menu, int x, int y, UINT flags, int index, bool sysMenu)
{
    if (!M(menu)) return;
    if (g_tracker->owner && !(flags & TPM_NONOTIFY))
        SendMessage(g_tracker->owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, sysMenu));
    if (!M(menu)) return; // an update handler may have destroyed it
    registerClasses();
    CSize sz = popupSize(menu);
    if (flags & TPM_RIGHTALIGN) x -= sz.cx;
    else if (flags & TPM_CENTERALIGN) x -= sz.cx / 2;
    if (flags & TPM_BOTTOMALIGN) y -= sz.cy;
    else if (flags & TPM_VCENTERALIGN) y -= sz.cy / 2;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    x = std::max(0, std::min(x, sw - int(sz.cx)));
    y = std::max(0, std::min(y, sh - int(sz.cy)));
    Level l;
    l.menu = menu;
    g_tracker->levels.push_back(l);
    HWND w = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupClass, "", WS_POPUP, x, y, sz.cx, sz.cy,
                            g_tracker->owner, nullptr, nullptr, nullptr);
    g_tracker->levels.back().wnd = w;
    if (w) ShowWindow(w, SW_SHOWNOACTIVATE);
}

void invalidateLevel(const Level& l)
{
    if (l.wnd) InvalidateRect(l.wnd, nullptr, FALSE);
}

CRect barItemRect(HWND bar, int index);
int barItemAt(HWND bar, POINT screen);
void openBarItem(int index, bool selectFirst);

void setSel(size_t depth, int sel)
{
    Level& l = g_tracker->levels[depth];
    if (l.sel == sel) return;
    l.sel = sel;
    invalidateLevel(l);
    if (sel >= 0) notifySelect(l.menu, sel);
}

int moveSel(HMENU menu, int from, int dir)
{
    MenuRec* m = M(menu);
    if (!m || m->items.empty()) return -1;
    int n = int(m->items.size());
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = (i + dir + n) % n;
        if (i < 0) i = dir > 0 ? 0 : n - 1;
        if (selectable(m->items[size_t(i)])) return i;
    }
    return -1;
}

void openSubOf(size_t depth, bool selectFirst)
{
    Level& l = g_tracker->levels[depth];
    MenuRec* m = M(l.menu);
    if (!m || l.sel < 0 || size_t(l.sel) >= m->items.size()) return;
    const Item& it = m->items[size_t(l.sel)];
    if (!(it.flags & MF_POPUP) || (it.flags & (MF_GRAYED | MF_DISABLED))) return;
    closeFrom(depth + 1);
    RECT wr;
    GetWindowRect(l.wnd, &wr);
    std::vector<CRect> rects = popupRects(l.menu, wr.right - wr.left);
    CRect r = rects[size_t(l.sel)];
    HMENU sub = it.sub;
    int index = l.sel;
    openPopup(sub, wr.right - 3, wr.top + r.top - 3, 0, index, false);
    if (selectFirst && g_tracker->levels.size() > depth + 1) setSel(depth + 1, moveSel(sub, -1, 1));
}

void choose(size_t depth)
{
    Level& l = g_tracker->levels[depth];
    MenuRec* m = M(l.menu);
    if (!m || l.sel < 0 || size_t(l.sel) >= m->items.size()) return;
    const Item& it = m->items[size_t(l.sel)];
    if (it.flags & MF_POPUP) {
        openSubOf(depth, true);
        return;
    }
    if (it.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR)) return;
    g_tracker->result = it.id;
    g_tracker->chose = true;
    g_tracker->done = true;
}

// Which level and item lie under a screen point.
bool hitPopup(POINT pt, size_t* depth, int* index)
{
    for (size_t d = g_tracker->levels.size(); d-- > 0;) {
        Level& l = g_tracker->levels[d];
        RECT wr;
        if (!l.wnd || !GetWindowRect(l.wnd, &wr)) continue;
        if (pt.x < wr.left || pt.x >= wr.right || pt.y < wr.top || pt.y >= wr.bottom) continue;
        std::vector<CRect> rects = popupRects(l.menu, wr.right - wr.left);
        *depth = d;
        *index = -1;
        POINT c {pt.x - wr.left, pt.y - wr.top};
        for (size_t i = 0; i < rects.size(); ++i)
            if (rects[i].PtInRect(c)) *index = int(i);
        return true;
    }
    return false;
}

int mnemonicIndex(HMENU menu, UINT ch)
{
    MenuRec* m = M(menu);
    if (!m || ch == 0 || ch > 0x7F) return -1;
    int lower = std::tolower(int(ch));
    for (size_t i = 0; i < m->items.size(); ++i) {
        const std::string& s = m->items[i].text;
        for (size_t k = 0; k + 1 < s.size(); ++k) {
            if (s[k] != '&') continue;
            if (s[k + 1] == '&') { ++k; continue; }
            if (std::tolower(static_cast<unsigned char>(s[k + 1])) == lower) return int(i);
            break;
        }
    }
    return -1;
}

void barSelect(int index)
{
    if (!g_tracker->bar) return;
    g_tracker->barSel = index;
    InvalidateRect(g_tracker->bar, nullptr, FALSE);
}

void handleKey(UINT vk)
{
    Tracker& t = *g_tracker;
    size_t depth = t.levels.size();
    t.keyboard = true;
    if (depth == 0) {
        // Only the bar is selected.
        HMENU barMenu = GetMenu(GetParent(t.bar));
        int n = GetMenuItemCount(barMenu);
        switch (vk) {
        case VK_LEFT: if (n > 0) barSelect((t.barSel - 1 + n) % n); break;
        case VK_RIGHT: if (n > 0) barSelect((t.barSel + 1) % n); break;
        case VK_DOWN: case VK_UP: case VK_RETURN: openBarItem(t.barSel, true); break;
        case VK_ESCAPE: case VK_MENU: case VK_F10: t.done = true; break;
        default: break;
        }
        return;
    }
    Level& l = t.levels.back();
    switch (vk) {
    case VK_UP: setSel(depth - 1, moveSel(l.menu, l.sel < 0 ? 0 : l.sel, -1)); break;
    case VK_DOWN: setSel(depth - 1, moveSel(l.menu, l.sel, 1)); break;
    case VK_RIGHT: {
        MenuRec* m = M(l.menu);
        if (m && l.sel >= 0 && (m->items[size_t(l.sel)].flags & MF_POPUP)) openSubOf(depth - 1, true);
        else if (t.bar) {
            int n = GetMenuItemCount(GetMenu(GetParent(t.bar)));
            if (n > 0) openBarItem((t.barSel + 1) % n, true);
        }
        break;
    }
    case VK_LEFT:
        if (depth > 1) closeFrom(depth - 1);
        else if (t.bar) {
            int n = GetMenuItemCount(GetMenu(GetParent(t.bar)));
            if (n > 0) openBarItem((t.barSel - 1 + n) % n, true);
        }
        break;
    case VK_RETURN: choose(depth - 1); break;
    case VK_ESCAPE:
        if (depth > 1) closeFrom(depth - 1);
        else if (t.bar) { closeFrom(0); t.barOpen = false; }
        else t.done = true;
        break;
    case VK_MENU: case VK_F10: t.done = true; break;
    default: break;
    }
}

void handleChar(UINT ch)
{
    Tracker& t = *g_tracker;
    if (t.levels.empty()) {
        if (!t.bar) return;
        int i = mnemonicIndex(GetMenu(GetParent(t.bar)), ch);
        if (i >= 0) openBarItem(i, true);
        return;
    }
    size_t depth = t.levels.size() - 1;
    int i = mnemonicIndex(t.levels.back().menu, ch);
    if (i < 0) return;
    setSel(depth, i);
    choose(depth);
}

void handleMouse(const MSG& m)
{
    Tracker& t = *g_tracker;
    POINT pt = m.pt;
    size_t depth = 0;
    int index = -1;
    bool onPopup = hitPopup(pt, &depth, &index);
    int barIndex = (!onPopup && t.bar) ? barItemAt(t.bar, pt) : -1;
    switch (m.message) {
    case WM_MOUSEMOVE:
        if (onPopup) {
            if (index >= 0 && !selectable(M(t.levels[depth].menu)->items[size_t(index)])) index = -1;
            t.keyboard = false;
            closeFrom(depth + 1);
            setSel(depth, index);
            if (index >= 0) openSubOf(depth, false);
        } else if (barIndex >= 0 && barIndex != t.barSel && t.barOpen) {
            openBarItem(barIndex, false);
        }
        break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN:
        if (onPopup) break;
        if (barIndex >= 0) {
            if (barIndex == t.barSel && t.barOpen) t.done = true; // a second click closes
            else openBarItem(barIndex, false);
            break;
        }
        t.done = true; // a click elsewhere cancels
        break;
    case WM_LBUTTONUP: case WM_RBUTTONUP:
        if (onPopup && index >= 0) {
            closeFrom(depth + 1);
            setSel(depth, index);
            choose(depth);
        }
        break;
    default: break;
    }
}

UINT runTracker()
{
    Tracker& t = *g_tracker;
    HWND cap = t.levels.empty() ? t.bar : t.levels.front().wnd;
    if (!cap) cap = t.bar;
    if (cap) SetCapture(cap);
    if (t.owner) SendMessage(t.owner, WM_ENTERMENULOOP, 0, 0);
    while (!t.done) {
        if (t.levels.empty() && !t.bar) break;
        if (t.bar && t.levels.empty() && t.barOpen) t.barOpen = false;
        MSG m;
        if (!GetMessage(&m, nullptr, 0, 0)) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        switch (m.message) {
        case WM_KEYDOWN: case WM_SYSKEYDOWN: handleKey(UINT(m.wParam)); break;
        case WM_CHAR: case WM_SYSCHAR: handleChar(UINT(m.wParam)); break;
        case WM_KEYUP: case WM_SYSKEYUP: break;
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
            handleMouse(m);
            break;
        case WM_CLOSE: case WM_CANCELMODE:
            t.done = true;
            PostMessage(m.hwnd, m.message, m.wParam, m.lParam); // for after the menu has gone
            break;
        default: DispatchMessage(&m); break;
        }
        if (GetCapture() != cap && cap && IsWindow(cap) && !t.done) SetCapture(cap);
        if (t.owner && !IsWindow(t.owner)) t.done = true;
    }
    closeFrom(0);
    if (GetCapture() == cap) ReleaseCapture();
    if (t.bar) {
        t.barSel = -1;
        if (IsWindow(t.bar)) InvalidateRect(t.bar, nullptr, FALSE);
    }
    if (t.owner && IsWindow(t.owner)) {
        SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessage(t.owner, WM_EXITMENULOOP, 0, 0);
    }
    return t.chose ? t.result : 0;
}

// ---- The menu bar ----
int barTextWidth(CDC& dc, const std::string& s) { return measure(dc, s).cx; }

std::vector<CRect> barRects(HWND bar)
{
    std::vector<CRect> r;
    HMENU menu = GetMenu(GetParent(bar));
    MenuRec* m = M(menu);
    if (!m) return r;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    int x = 2, h = PvMenuBarHeight();
    for (const Item& it : m->items) {
        int w = barTextWidth(dc, it.text) + 2 * kBarPadX;
        r.emplace_back(x, 1, x + w, h - 1);
        x += w;
    }
    dc.SelectObject(old);
    return r;
}

CRect barItemRect(HWND bar, int index)
{
    std::vector<CRect> r = barRects(bar);
    return (index >= 0 && size_t(index) < r.size()) ? r[size_t(index)] : CRect();
}

int barItemAt(HWND bar, POINT screen)
{
    POINT c = screen;
    ScreenToClient(bar, &c);
    RECT cr;
    GetClientRect(bar, &cr);
    if (c.y < 0 || c.y >= cr.bottom) return -1;
    std::vector<CRect> r = barRects(bar);
    for (size_t i = 0; i < r.size(); ++i)
        if (c.x >= r[i].left && c.x < r[i].right) return int(i);
    return -1;
}

void openBarItem(int index, bool selectFirst)
{
    Tracker& t = *g_tracker;
    HWND frame = GetParent(t.bar);
    HMENU menu = GetMenu(frame);
    closeFrom(0);
    t.barOpen = false;
    barSelect(index);
    if (index < 0 || index >= GetMenuItemCount(menu)) return;
    MenuRec* m = M(menu);
    const Item& it = m->items[size_t(index)];
    notifySelect(menu, index);
    if (!(it.flags & MF_POPUP)) {
        if (!selectFirst) return;
        if (!(it.flags & (MF_GRAYED | MF_DISABLED))) {
            t.result = it.id;
            t.chose = true;
            t.done = true;
        }
        return;
    }
    if (it.flags & (MF_GRAYED | MF_DISABLED)) return;
    CRect r = barItemRect(t.bar, index);
    POINT p {r.left, r.bottom};
    ClientToScreen(t.bar, &p);
    t.barOpen = true;
    HMENU sub = it.sub;
    openPopup(sub, p.x, p.y, 0, index, false);
    if (selectFirst && !t.levels.empty()) setSel(0, moveSel(sub, -1, 1));
    // The capture follows the bar: it routes every click of the session.
}

void paintBar(HWND h)
{
    PAINTSTRUCT ps;
    CDC* pdc = CDC::FromHandle(BeginPaint(h, &ps));
    if (!pdc) {
        EndPaint(h, &ps);
        return;
    }
    CDC& dc = *pdc;
    CRect rc;
    GetClientRect(h, &rc);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_MENU));
    HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HGDIOBJ>(uiFont()));
    HMENU menu = GetMenu(GetParent(h));
    MenuRec* m = M(menu);
    std::vector<CRect> rects = barRects(h);
    bool tracking = g_tracker && g_tracker->bar == h;
    for (size_t i = 0; m && i < m->items.size(); ++i) {
        const Item& it = m->items[i];
        CRect r = rects[i];
        bool sel = tracking && g_tracker->barSel == int(i);
        bool enabled = !(it.flags & (MF_GRAYED | MF_DISABLED));
        if (sel) {
            if (g_tracker->barOpen) dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
            else dc.Draw3dRect(&r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
        }
        CRect tr = r;
        if (sel && g_tracker->barOpen) tr.OffsetRect(1, 1);
        drawItemText(dc, it.text, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE, enabled, false);
    }
    dc.SelectObject(oldFont);
    EndPaint(h, &ps);
}

void trackBar(HWND bar, int index, bool keyboard)
{
    if (g_tracker) return;
    Tracker t;
    t.owner = GetParent(bar);
    t.bar = bar;
    t.keyboard = keyboard;
    g_tracker = &t;
    if (t.owner) SendMessage(t.owner, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(t.owner)), 0);
    if (index >= 0 && (!keyboard || index >= 0)) openBarItem(index, keyboard);
    if (keyboard && index < 0) barSelect(0);
    UINT cmd = t.done ? t.result : 0;
    if (!t.done) cmd = runTracker();
    else {
        // Chosen at once (a bar item without a pop-up): finish the session the same way.
        closeFrom(0);
        t.barSel = -1;
        InvalidateRect(bar, nullptr, FALSE);
        if (t.owner) SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    }
    bool chose = t.chose;
    HWND owner = t.owner;
    g_tracker = nullptr;
    if (chose && owner && IsWindow(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

LRESULT barProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: paintBar(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONDOWN: {
        POINT p {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(h, &p);
        int i = barItemAt(h, p);
        if (i >= 0) trackBar(h, i, false);
        return 0;
    }
    default: return DefWindowProc(h, msg, wp, lp);
    }
}

void registerClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASS wc {};
    wc.lpfnWndProc = &popupProc;
    wc.style = CS_SAVEBITS;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);
    WNDCLASS bc {};
    bc.lpfnWndProc = &barProc;
    bc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    bc.lpszClassName = kBarClass;
    RegisterClass(&bc);
}

} // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hWnd, const RECT*)
{
    if (!M(menu) || g_tracker) return FALSE;
    Tracker t;
    t.owner = hWnd;
    g_tracker = &t;
    if (hWnd && !(flags & TPM_NONOTIFY)) SendMessage(hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    openPopup(menu, x, y, flags, 0, false);
    UINT cmd = t.levels.empty() ? 0 : runTracker();
    bool chose = t.chose;
    g_tracker = nullptr;
    if (flags & TPM_RETURNCMD) return BOOL(cmd);
    if (chose && hWnd && IsWindow(hWnd) && !(flags & TPM_NONOTIFY))
        PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
    return chose ? TRUE : FALSE;
}

int PvMenuBarHeight() { return textHeight() + 8; }

HWND PvCreateMenuBar(HWND hFrame)
{
    registerClasses();
    return CreateWindowEx(0, kBarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, PvMenuBarHeight(), hFrame,
                          reinterpret_cast<HMENU>(uintptr_t(AFX_IDW_MENUBAR)), nullptr, nullptr);
}

void PvMenuBarOpen(HWND hFrame, int nIndex, BOOL bKeyboard)
{
    HWND bar = GetDlgItem(hFrame, AFX_IDW_MENUBAR);
    if (bar && GetMenu(hFrame)) trackBar(bar, nIndex, bKeyboard != FALSE);
}

BOOL PvMenuBarPreTranslate(HWND hFrame, MSG* pMsg)
{
    static bool altAlone = false;
    HWND bar = GetDlgItem(hFrame, AFX_IDW_MENUBAR);
    HMENU menu = GetMenu(hFrame);
    if (!bar || !menu || !IsWindowVisible(bar) || g_tracker) return FALSE;
    switch (pMsg->message) {
    case WM_SYSKEYDOWN:
        if (pMsg->wParam == VK_MENU) {
            altAlone = !(HIWORD(pMsg->lParam) & 0x4000); // not a repeat
            return FALSE;
        }
        altAlone = false;
        if (pMsg->wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000)) {
            trackBar(bar, 0, true);
            return TRUE;
        }
        return FALSE;
    case WM_KEYDOWN:
        altAlone = false;
        return FALSE;
    case WM_SYSKEYUP: case WM_KEYUP:
        if (pMsg->wParam == VK_MENU && altAlone) {
            altAlone = false;
            trackBar(bar, -1, true);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCHAR: {
        altAlone = false;
        int i = mnemonicIndex(menu, UINT(pMsg->wParam));
        if (i < 0) return FALSE;
        trackBar(bar, i, true);
        return TRUE;
    }
    default: return FALSE;
    }
}

// ---- Accelerators ----
namespace {
std::map<uintptr_t, std::vector<ACCEL>>& Accels()
{
    static auto* m = new std::map<uintptr_t, std::vector<ACCEL>>;
    return *m;
}
std::map<UINT, std::vector<ACCEL>>& AccelRes()
{
    static auto* m = new std::map<UINT, std::vector<ACCEL>>;
    return *m;
}
uintptr_t g_nextAccel = 0x9000;
} // namespace

void PvAccelRegister(UINT nID, const ACCEL* p, size_t n) { AccelRes()[nID].assign(p, p + n); }

HACCEL CreateAcceleratorTable(LPACCEL p, int n)
{
    if (!p || n <= 0) return nullptr;
    uintptr_t h = g_nextAccel;
    g_nextAccel += 4;
    Accels()[h].assign(p, p + n);
    return reinterpret_cast<HACCEL>(h);
}

HACCEL LoadAccelerators(HINSTANCE, LPCTSTR name)
{
    auto it = AccelRes().find(PvResourceId(name));
    if (it == AccelRes().end() || it->second.empty()) return nullptr;
    return CreateAcceleratorTable(it->second.data(), int(it->second.size()));
}

BOOL DestroyAcceleratorTable(HACCEL h) { return Accels().erase(reinterpret_cast<uintptr_t>(h)) ? TRUE : FALSE; }

int CopyAcceleratorTable(HACCEL h, LPACCEL dst, int n)
{
    auto it = Accels().find(reinterpret_cast<uintptr_t>(h));
    if (it == Accels().end()) return 0;
    if (!dst) return int(it->second.size());
    int c = std::min<int>(n, int(it->second.size()));
    for (int i = 0; i < c; ++i) dst[i] = it->second[size_t(i)];
    return c;
}

int TranslateAccelerator(HWND hWnd, HACCEL h, LPMSG msg)
{
    if (!msg || !hWnd) return 0;
    auto it = Accels().find(reinterpret_cast<uintptr_t>(h));
    if (it == Accels().end()) return 0;
    bool keyMsg = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyMsg && !charMsg) return 0;
    bool shift = GetKeyState(VK_SHIFT) & 0x8000, ctrl = GetKeyState(VK_CONTROL) & 0x8000,
         alt = GetKeyState(VK_MENU) & 0x8000;
    for (const ACCEL& a : it->second) {
        if (a.fVirt & FVIRTKEY) {
            if (!keyMsg || a.key != msg->wParam) continue;
            if (bool(a.fVirt & FSHIFT) != shift || bool(a.fVirt & FCONTROL) != ctrl || bool(a.fVirt & FALT) != alt)
                continue;
        } else {
            if (!charMsg || a.key != msg->wParam) continue;
            if ((a.fVirt & FALT) && !alt) continue;
        }
        SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}

// ---- CMenu ----
IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
std::unordered_map<HMENU, std::unique_ptr<CMenu>>& TempMenus()
{
    static auto* m = new std::unordered_map<HMENU, std::unique_ptr<CMenu>>;
    return *m;
}
std::unordered_map<HMENU, CMenu*>& PermMenus()
{
    static auto* m = new std::unordered_map<HMENU, CMenu*>;
    return *m;
}
} // namespace

static void dropTempMenu(HMENU h)
{
    auto it = TempMenus().find(h);
    if (it != TempMenus().end()) {
        it->second->m_hMenu = nullptr;
        TempMenus().erase(it);
    }
    auto p = PermMenus().find(h);
    if (p != PermMenus().end()) {
        p->second->m_hMenu = nullptr;
        PermMenus().erase(p);
    }
}

CMenu::~CMenu()
{
    // An attached menu is destroyed with its object, unless a window still shows it.
    if (m_hMenu) {
        HMENU h = Detach();
        bool inUse = false;
        for (auto& [w, m] : WindowMenus())
            if (m == h && IsWindow(w)) inUse = true;
        if (!inUse) ::DestroyMenu(h);
    }
}

CMenu* CMenu::FromHandle(HMENU h)
{
    if (!M(h)) return nullptr;
    auto p = PermMenus().find(h);
    if (p != PermMenus().end()) return p->second;
    auto& t = TempMenus();
    auto it = t.find(h);
    if (it != t.end()) return it->second.get();
    auto m = std::make_unique<CMenu>();
    m->m_hMenu = h;
    CMenu* raw = m.get();
    t[h] = std::move(m);
    return raw;
}

BOOL CMenu::Attach(HMENU h)
{
    if (!h || m_hMenu || !M(h)) return FALSE;
    auto it = TempMenus().find(h);
    if (it != TempMenus().end()) {
        it->second->m_hMenu = nullptr;
        TempMenus().erase(it);
    }
    m_hMenu = h;
    PermMenus()[h] = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h) {
        auto p = PermMenus().find(h);
        if (p != PermMenus().end() && p->second == this) PermMenus().erase(p);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(LPCTSTR name)
{
    HMENU h = ::LoadMenu(nullptr, name);
    if (h && !Attach(h)) { ::DestroyMenu(h); return FALSE; }
    return h != nullptr;
}
BOOL CMenu::LoadMenu(UINT nID) { return LoadMenu(MAKEINTRESOURCE(nID)); }
BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu) return FALSE;
    HMENU h = Detach();
    return ::DestroyMenu(h);
}
BOOL CMenu::AppendMenu(UINT f, UINT_PTR id, LPCTSTR s) { return ::AppendMenu(m_hMenu, f, id, s); }
BOOL CMenu::InsertMenu(UINT p, UINT f, UINT_PTR id, LPCTSTR s) { return ::InsertMenu(m_hMenu, p, f, id, s); }
BOOL CMenu::ModifyMenu(UINT p, UINT f, UINT_PTR id, LPCTSTR s) { return ::ModifyMenu(m_hMenu, p, f, id, s); }
BOOL CMenu::RemoveMenu(UINT p, UINT f) { return ::RemoveMenu(m_hMenu, p, f); }
BOOL CMenu::DeleteMenu(UINT p, UINT f) { return ::DeleteMenu(m_hMenu, p, f); }
UINT CMenu::GetMenuItemCount() const { return UINT(::GetMenuItemCount(m_hMenu)); }
UINT CMenu::GetMenuItemID(int n) const { return ::GetMenuItemID(m_hMenu, n); }
UINT CMenu::GetMenuState(UINT id, UINT f) const { return ::GetMenuState(m_hMenu, id, f); }
int CMenu::GetMenuString(UINT id, LPTSTR s, int n, UINT f) const { return ::GetMenuString(m_hMenu, id, s, n, f); }
int CMenu::GetMenuString(UINT id, CString& s, UINT f) const
{
    int n = ::GetMenuString(m_hMenu, id, nullptr, 0, f);
    std::string buf(size_t(n) + 1, '\0');
    int got = ::GetMenuString(m_hMenu, id, buf.data(), n + 1, f);
    s = CString(buf.data(), got);
    return got;
}
CMenu* CMenu::GetSubMenu(int n) const { return FromHandle(::GetSubMenu(m_hMenu, n)); }
UINT CMenu::EnableMenuItem(UINT id, UINT e) { return ::EnableMenuItem(m_hMenu, id, e); }
UINT CMenu::CheckMenuItem(UINT id, UINT c) { return UINT(::CheckMenuItem(m_hMenu, id, c)); }
BOOL CMenu::CheckMenuRadioItem(UINT a, UINT b, UINT c, UINT f) { return ::CheckMenuRadioItem(m_hMenu, a, b, c, f); }
BOOL CMenu::TrackPopupMenu(UINT f, int x, int y, CWnd* w, LPCRECT r)
{
    return ::TrackPopupMenu(m_hMenu, f, x, y, 0, w ? w->m_hWnd : nullptr, r);
}
