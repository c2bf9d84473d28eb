// Shared machinery of the control window procedures and their registration.

#include "platform/controls/ctlimpl.h"

#include "platform/base/textcase.h"
#include "platform/base/utf8.h"
#include "platform/sys/globalmem.h"

#include <cstring>
#include <unordered_map>
#include <vector>

namespace pvctl {

// The controls speak to the process's one clipboard, the same one the grid's formats and the
// desktop's text clipboard go through.
bool ClipboardPut(HWND owner, const std::vector<ClipFormat>& formats)
{
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool ok = true;
    for (const ClipFormat& f : formats) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, f.data.size() + 1);
        char* p = mem ? static_cast<char*>(GlobalLock(mem)) : nullptr;
        if (!p) { if (mem) GlobalFree(mem); ok = false; continue; }
        memcpy(p, f.data.data(), f.data.size());
        p[f.data.size()] = 0;
        GlobalUnlock(mem);
        if (!SetClipboardData(f.format, mem)) { GlobalFree(mem); ok = false; }
    }
    CloseClipboard();
    return ok;
}

void ClipboardSetText(HWND owner, const std::string& s) { ClipboardPut(owner, {{CF_TEXT, s}}); }

bool ClipboardGet(HWND owner, UINT format, std::string* out)
{
    out->clear();
    if (!OpenClipboard(owner)) return false;
    bool found = false;
    if (HGLOBAL mem = GetClipboardData(format)) {
        SIZE_T n = GlobalSize(mem);
        if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
            // The block's size bounds the read: a foreign block need not end in a zero.
            out->assign(p, strnlen(p, n));
            GlobalUnlock(mem);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

bool ClipboardGetText(HWND owner, std::string* out) { return ClipboardGet(owner, CF_TEXT, out) && !out->empty(); }

static std::unordered_map<HWND, Control*>& table()
{
    static std::unordered_map<HWND, Control*> t;
    return t;
}

Control* Lookup(HWND h)
{
    auto it = table().find(h);
    return it == table().end() ? nullptr : it->second;
}

void Attach(HWND h, Control* c) { table()[h] = c; }

// The window system clips every window by all the siblings above it, so a group box created
// before the controls it frames would hide them. Group boxes therefore go below their siblings
// whenever a control joins them.
static void lowerGroupBoxes(HWND h)
{
    HWND parent = GetParent(h);
    if (!parent || !(GetWindowLong(h, GWL_STYLE) & WS_CHILD)) return;
    std::vector<HWND> boxes;
    for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT))
        if (Control* c = Lookup(s); c && c->staysAtBottom()) boxes.push_back(s);
    for (HWND b : boxes) SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

LRESULT Dispatch(HWND h, UINT msg, WPARAM wp, LPARAM lp, Control* (*make)(HWND, const CREATESTRUCT*))
{
    if (msg == WM_NCCREATE && !Lookup(h)) {
        Control* c = make(h, reinterpret_cast<const CREATESTRUCT*>(lp));
        if (!c) return FALSE;
        Attach(h, c);
    }
    Control* c = Lookup(h);
    if (!c) return DefWindowProc(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        table().erase(h);
        c->dead = true;
        LRESULT r = c->proc(msg, wp, lp);
        if (c->depth == 0) delete c;
        return r;
    }
    ++c->depth;
    LRESULT r = c->proc(msg, wp, lp);
    bool gone = --c->depth == 0 && c->dead;
    if (gone) delete c;
    else if (msg == WM_CREATE && r != -1) lowerGroupBoxes(h);
    return r;
}

void RegisterControlClass(LPCTSTR name, WNDPROC proc, UINT classStyle, LPCTSTR cursor)
{
    WNDCLASS wc {};
    wc.style = classStyle;
    wc.lpfnWndProc = proc;
    wc.hCursor = LoadCursor(nullptr, cursor);
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

HFONT Control::currentFont() const { return font ? font : DefaultFont(); }

HFONT DefaultFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

CDC& MeasureDC(HFONT font)
{
    static CDC* dc = [] {
        auto* d = new CDC;
        d->CreateCompatibleDC(nullptr);
        return d;
    }();
    dc->SelectObject(reinterpret_cast<HGDIOBJ>(font ? font : DefaultFont()));
    return *dc;
}

void NotifyParent(HWND h, int code)
{
    HWND parent = GetParent(h);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetWindowLong(h, GWL_ID), code), reinterpret_cast<LPARAM>(h));
}

LRESULT NotifyParentNM(HWND h, NMHDR* nm, UINT code)
{
    HWND parent = GetParent(h);
    nm->hwndFrom = h;
    nm->idFrom = UINT_PTR(GetWindowLong(h, GWL_ID));
    nm->code = code;
    if (!parent) return 0;
    return SendMessage(parent, WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
}

HBRUSH ParentCtlColor(HWND h, HDC hdc, UINT msg)
{
    HWND parent = GetParent(h);
    LRESULT r = parent ? SendMessage(parent, msg, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(h))
                       : DefWindowProc(h, msg, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(h));
    if (!r) r = DefWindowProc(h, msg, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(h));
    return reinterpret_cast<HBRUSH>(r);
}

// The text's first characters, as many as the prefix has, must collate equal to it.
bool BeginsWithNoCase(const std::string& text, const std::string& prefix)
{
    size_t end = 0;
    for (size_t i = 0; i < prefix.size() && end < text.size(); i = size_t(NextChar(prefix, int(i))))
        end = size_t(NextChar(text, int(end)));
    return PvCollateNoCase(std::string_view(text).substr(0, end), prefix) == 0;
}

int NextChar(const std::string& s, int i)
{
    int n = int(s.size());
    if (i >= n) return n;
    ++i;
    while (i < n && (static_cast<unsigned char>(s[size_t(i)]) & 0xC0) == 0x80) ++i;
    return i;
}

int PrevChar(const std::string& s, int i)
{
    if (i <= 0) return 0;
    --i;
    while (i > 0 && (static_cast<unsigned char>(s[size_t(i)]) & 0xC0) == 0x80) --i;
    return i;
}

int CountChars(const char* p, size_t n)
{
    return PvUtf8CharCount(p, n);
}

int ByteOfChar(const std::string& s, int chars)
{
    int i = 0, n = int(s.size());
    while (chars > 0 && i < n) { i = NextChar(s, i); --chars; }
    return i;
}

} // namespace pvctl

void PvRegisterStandardControls()
{
    // A class deleted by a test's reset would come back on the next call: check each time.
    WNDCLASS wc {};
    if (GetClassInfo(nullptr, WC_EDIT, &wc)) return;
    pvctl::RegisterStatic();
    pvctl::RegisterButton();
    pvctl::RegisterEdit();
    pvctl::RegisterListBox();
    pvctl::RegisterComboBox();
    pvctl::RegisterTreeView();
    pvctl::RegisterProgress();
    pvctl::RegisterRichEdit();
}
