// The clipboard: formats hold global-memory blocks; CF_TEXT is exchanged with the desktop's
// clipboard when the back end has one (SDL2), so other programs see what is copied here.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/sys/globalmem.h"

#include <cstring>
#include <map>
#include <string>

using namespace pvwin;

namespace {
struct Clipboard {
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> data;
    bool textChanged = false;
    std::string lastPushed;    // what we last gave the desktop, to notice other programs' copies
};
Clipboard& C()
{
    static Clipboard c;
    return c;
}

void freeAll()
{
    for (auto& [f, h] : C().data)
        if (h) GlobalFree(h);
    C().data.clear();
}

HGLOBAL textBlock(const std::string& s)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
    if (!h) return nullptr;
    if (void* p = GlobalLock(h)) {
        memcpy(p, s.c_str(), s.size() + 1);
        GlobalUnlock(h);
    }
    return h;
}

// Another program's copy replaces what this one had put there.
void adoptDesktopText()
{
    std::string text;
    if (!CurrentBackend().clipboardText(&text)) return;
    Clipboard& c = C();
    if (c.data.count(CF_TEXT) && text == c.lastPushed) return;
    freeAll();
    c.owner = nullptr;
    c.lastPushed = text;
    c.data[CF_TEXT] = textBlock(text);
}
} // namespace

namespace {
bool g_clipboardFails = false;
} // namespace

void PvSetClipboardFails(bool fails) { g_clipboardFails = fails; }

BOOL OpenClipboard(HWND h)
{
    Clipboard& c = C();
    if (c.open || g_clipboardFails) return FALSE;
    if (h && !IsWindow(h)) return FALSE;
    c.open = true;
    c.opener = h;
    c.textChanged = false;
    adoptDesktopText();
    return TRUE;
}

BOOL CloseClipboard()
{
    Clipboard& c = C();
    if (!c.open) return FALSE;
    c.open = false;
    if (c.textChanged) {
        c.textChanged = false;
        std::string text;
        auto it = c.data.find(CF_TEXT);
        if (it != c.data.end() && it->second) {
            SIZE_T n = GlobalSize(it->second);
            if (const char* p = static_cast<const char*>(GlobalLock(it->second))) {
                text.assign(p, strnlen(p, n));
                GlobalUnlock(it->second);
            }
        }
        c.lastPushed = text;
        CurrentBackend().setClipboardText(text);
    }
    return TRUE;
}

BOOL EmptyClipboard()
{
    Clipboard& c = C();
    if (!c.open) return FALSE;
    HWND previous = c.owner;
    freeAll();
    c.owner = c.opener;
    c.textChanged = true;
    if (previous && previous != c.owner && IsWindow(previous)) SendMessage(previous, WM_DESTROYCLIPBOARD, 0, 0);
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE h)
{
    Clipboard& c = C();
    if (!c.open || format == 0) return nullptr;
    HGLOBAL mem = static_cast<HGLOBAL>(h);
    auto it = c.data.find(format);
    if (it != c.data.end() && it->second && it->second != mem) GlobalFree(it->second);
    c.data[format] = mem;
    if (format == CF_TEXT || format == CF_OEMTEXT) c.textChanged = true;
    if (format == CF_OEMTEXT && !c.data.count(CF_TEXT) && mem) {
        // Keep CF_TEXT too, as readers ask for it first.
        SIZE_T n = GlobalSize(mem);
        if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
            c.data[CF_TEXT] = textBlock(std::string(p, strnlen(p, n)));
            GlobalUnlock(mem);
        }
    }
    return h;
}

HGLOBAL GetClipboardData(UINT format)
{
    Clipboard& c = C();
    if (!c.open) return nullptr;
    auto it = c.data.find(format);
    if (it != c.data.end()) return it->second;
    if (format == CF_OEMTEXT) {
        auto t = c.data.find(CF_TEXT);
        if (t != c.data.end()) return t->second;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    Clipboard& c = C();
    if (!c.open) adoptDesktopText();
    if (c.data.count(format)) return TRUE;
    return format == CF_OEMTEXT && c.data.count(CF_TEXT) ? TRUE : FALSE;
}

int CountClipboardFormats() { return int(C().data.size()); }

UINT EnumClipboardFormats(UINT format)
{
    Clipboard& c = C();
    if (!c.open) return 0;
    auto it = format ? c.data.upper_bound(format) : c.data.begin();
    return it == c.data.end() ? 0 : it->first;
}

HWND GetClipboardOwner()
{
    HWND o = C().owner;
    return IsWindow(o) ? o : nullptr;
}

HWND GetOpenClipboardWindow() { return C().open ? C().opener : nullptr; }

namespace pvwin {
void ResetClipboard()
{
    Clipboard& c = C();
    freeAll();
    c = Clipboard {};
}
} // namespace pvwin
