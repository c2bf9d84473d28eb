#pragma once
// Shared machinery of the control window procedures. Internal to platform/controls.

#include "platform/base/utf8.h"
#include "platform/controls/ctldefs.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/win/pvwin.h"

#include <memory>
#include <string>
#include <vector>

namespace pvctl {

// The state of one control window. It lives from WM_NCCREATE to WM_NCDESTROY; a window destroyed
// while one of its own messages is running is freed when that message returns.
struct Control {
    explicit Control(HWND hWnd) : h(hWnd) {}
    virtual ~Control() = default;
    virtual LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) = 0;

    HWND h;
    HFONT font = nullptr;
    int depth = 0;
    bool dead = false;

    DWORD style() const { return DWORD(GetWindowLong(h, GWL_STYLE)); }
    UINT id() const { return UINT(GetWindowLong(h, GWL_ID)); }
    HFONT currentFont() const;
    // Group boxes: kept below their siblings (see Dispatch).
    virtual bool staysAtBottom() const { return false; }
};

Control* Lookup(HWND h);
void Attach(HWND h, Control* c);
LRESULT Dispatch(HWND h, UINT msg, WPARAM wp, LPARAM lp, Control* (*make)(HWND, const CREATESTRUCT*));

template <class T>
LRESULT CtlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    return Dispatch(h, msg, wp, lp, [](HWND hw, const CREATESTRUCT* cs) -> Control* { return new T(hw, cs); });
}

// Registers a control class: its windows are made by proc, with the given class style and cursor.
void RegisterControlClass(LPCTSTR name, WNDPROC proc, UINT classStyle, LPCTSTR cursor = IDC_ARROW);

// The painting messages of a control that paints all of itself through paint(HDC); hideCaret
// when it shows a caret that its painting would leave stale. False for every other message.
template <class T>
bool PaintMessage(T& c, UINT msg, WPARAM wp, LRESULT* result, bool hideCaret = false)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(c.h, &ps);
        if (hideCaret)
            HideCaret(c.h);
        c.paint(hdc);
        EndPaint(c.h, &ps);
        if (hideCaret)
            ShowCaret(c.h);
        *result = 0;
        return true;
    }
    case WM_PRINTCLIENT: c.paint(reinterpret_cast<HDC>(wp)); *result = 0; return true;
    case WM_ERASEBKGND: *result = 1; return true;
    default: return false;
    }
}

// WM_COMMAND to the parent (or, for a pop-up list, to its owner given).
void NotifyParent(HWND h, int code);
LRESULT NotifyParentNM(HWND h, NMHDR* nm, UINT code);
// Asks the parent for the control's colours; the answer brush, or the default one.
HBRUSH ParentCtlColor(HWND h, HDC hdc, UINT msg);
HFONT DefaultFont();
// The process's clipboard. Text is UTF-8; each block is stored with a closing zero.
struct ClipFormat {
    UINT format;
    std::string data;
};
bool ClipboardPut(HWND owner, const std::vector<ClipFormat>& formats);
void ClipboardSetText(HWND owner, const std::string& s);
bool ClipboardGet(HWND owner, UINT format, std::string* out);
// False when the clipboard holds no text (or only an empty one).
bool ClipboardGetText(HWND owner, std::string* out);
// A DC for measuring text with no window behind it.
CDC& MeasureDC(HFONT font);

// Case-blind, accent-aware "begins with", for finding and type-ahead.
bool BeginsWithNoCase(const std::string& text, const std::string& prefix);

// UTF-8 helpers: whole characters only.
int NextChar(const std::string& s, int i);
int PrevChar(const std::string& s, int i);
// Characters (not continuation bytes) in p[0, n).
int CountChars(const char* p, size_t n);
// The byte offset of character `chars` in s (its end when s is shorter).
int ByteOfChar(const std::string& s, int chars);
// Appends the UTF-8 form of a code point.

inline void rOffset(RECT* r, int dx, int dy) { r->left += dx; r->right += dx; r->top += dy; r->bottom += dy; }
inline void rInflate(RECT* r, int dx, int dy) { r->left -= dx; r->right += dx; r->top -= dy; r->bottom += dy; }
inline bool rHit(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
inline POINT lpPoint(LPARAM lp) { return POINT {short(LOWORD(lp)), short(HIWORD(lp))}; }

void RegisterStatic();
void RegisterButton();
void RegisterEdit();
void RegisterListBox();
void RegisterComboBox();
void RegisterTreeView();
void RegisterProgress();
void RegisterRichEdit();

} // namespace pvctl
