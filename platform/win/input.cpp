// Input: raw events from the user (or a test) become window messages when the program reads
// them, so that capture and focus decide the target at that moment, as they would on the desktop.
// Also focus, activation, capture, key state, cursors and the caret.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/sys/system.h"

#include <atomic>
#include <cstdlib>
#include <deque>

namespace pvwin {

namespace {
enum class RawKind { Move, Button, Wheel, Key, Char };
struct Raw {
    RawKind kind;
    int x = 0, y = 0;
    int button = 0;
    bool down = false;
    int delta = 0;
    UINT code = 0;
    DWORD time = 0;
    bool step = false; // one step of a scripted drag: read on its own, as a slow hand would be
};
std::deque<Raw>& RawQ()
{
    static std::deque<Raw> q;
    return q;
}

WPARAM mouseKeyFlags()
{
    const BYTE* k = Input().asyncKeys;
    WPARAM f = 0;
    if (k[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
    if (k[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80) f |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80) f |= MK_CONTROL;
    return f;
}

void setKeyIn(BYTE* k, UINT vk, bool down)
{
    if (vk > 255) return;
    if (down) {
        if (!(k[vk] & 0x80)) k[vk] ^= 0x01; // toggle state flips on each press
        k[vk] |= 0x80;
    } else {
        k[vk] &= ~0x80;
    }
    // The side-neutral codes follow either side.
    auto both = [&](UINT n, UINT l, UINT r) {
        if (vk == l || vk == r) k[n] = BYTE((k[l] | k[r]) & 0x80) | (k[n] & 0x01);
    };
    both(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    both(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    both(VK_MENU, VK_LMENU, VK_RMENU);
}

void setKey(UINT vk, bool down) { setKeyIn(Input().asyncKeys, vk, down); }

bool isExtendedKey(UINT vk)
{
    switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE:
        return true;
    default: return false;
    }
}

void cookMouse(const Raw& r)
{
    InputState& in = Input();
    POINT pt {r.x, r.y};
    UINT msgBase = 0;
    if (r.kind == RawKind::Move) {
        in.cursor = pt;
        msgBase = WM_MOUSEMOVE;
    } else if (r.kind == RawKind::Button) {
        in.cursor = pt;
        static const UINT downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        static const UINT vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        setKey(vks[r.button], r.down);
        msgBase = r.down ? downs[r.button] : downs[r.button] + 1;
    } else { // wheel: to the focus window, with screen coordinates
        HWND target = in.focus ? in.focus : in.active;
        if (!target) target = HitWindow(pt, true);
        if (!target) return;
        WPARAM wp = MAKEWPARAM(mouseKeyFlags(), r.delta);
        PostInput(MSG {target, WM_MOUSEWHEEL, wp, MAKELPARAM(pt.x, pt.y), r.time, pt});
        return;
    }

    HWND target = in.capture;
    LRESULT hit = HTCLIENT;
    if (!target) {
        target = HitWindow(pt, true);
        if (!target) return; // the bare desktop
        for (;;) {
            hit = Send(target, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
            if (hit != HTTRANSPARENT) break;
            // Look beneath a transparent window: its parent, as siblings rarely overlap.
            HWND p = GetParent(target);
            if (!p || !(GetWindowLong(target, GWL_STYLE) & WS_CHILD)) return;
            target = p;
        }
        if (!IsWindow(target)) return;
        // A disabled control leaves the mouse to its parent; a disabled top-level window (one
        // behind a modal box) lets nothing through but the beep.
        while (!IsWindowEnabled(target)) {
            HWND p = (GetWindowLong(target, GWL_STYLE) & WS_CHILD) ? GetParent(target) : nullptr;
            if (!p) {
                if (r.kind == RawKind::Button && r.down) MessageBeep(0);
                return;
            }
            target = p;
            hit = Send(target, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
            if (!IsWindow(target)) return;
            if (hit == HTTRANSPARENT) hit = HTCLIENT;
        }
    }
    bool down = r.kind == RawKind::Button && r.down;
    if (down && !in.capture && hit == HTCLIENT) {
        POINT c = pt;
        ScreenToClient(target, &c);
        ParentNotify(target, msgBase, MAKELPARAM(c.x, c.y));
        if (!IsWindow(target)) return;
    }
    if (down && !in.capture) {
        HWND top = TopLevelOf(target);
        if (target != in.active) {
            LRESULT ma = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(hit, msgBase));
            if (!IsWindow(target)) return;
            if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && top != in.active && top) {
                Wnd* tw = W(top);
                if (tw && !(tw->exStyle & WS_EX_TOOLWINDOW && tw->style & WS_POPUP && !(tw->style & WS_CAPTION))) {
                    SetActiveWindow(top);
                    BringWindowToTop(top);
                }
            }
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) {
                // the press is eaten; its release must not reach anyone either
                in.lastDownWnd = nullptr;
                return;
            }
            if (!IsWindow(target)) return;
        }
    }
    if (!in.capture) {
        Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, msgBase));
        if (!IsWindow(target)) return;
    }
    UINT msg = msgBase;
    bool client = in.capture || hit == HTCLIENT;
    if (down) {
        Wnd* w = W(target);
        bool dblClass = !client || (w && (w->wc.style & CS_DBLCLKS));
        int cxd = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cyd = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (dblClass && in.lastDownMsg == msgBase && in.lastDownWnd == target &&
            r.time - in.lastDownTime <= GetDoubleClickTime() && std::abs(pt.x - in.lastDownPt.x) <= cxd &&
            std::abs(pt.y - in.lastDownPt.y) <= cyd) {
            msg = msgBase + 2; // WM_xBUTTONDBLCLK
            in.lastDownMsg = 0; // a third press starts over
        } else {
            in.lastDownMsg = msgBase;
            in.lastDownWnd = target;
            in.lastDownTime = r.time;
            in.lastDownPt = pt;
        }
    }
    if (client) {
        POINT c = pt;
        ScreenToClient(target, &c);
        PostInput(MSG {target, msg, mouseKeyFlags(), MAKELPARAM(c.x, c.y), r.time, pt});
    } else {
        PostInput(MSG {target, msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(hit), MAKELPARAM(pt.x, pt.y), r.time, pt});
    }
}

void cookKey(const Raw& r)
{
    InputState& in = Input();
    if (r.kind == RawKind::Char) {
        HWND target = in.focus;
        if (!target) return;
        bool alt = in.asyncKeys[VK_MENU] & 0x80;
        PostInput(MSG {target, alt ? UINT(WM_SYSCHAR) : UINT(WM_CHAR), r.code, 1, r.time, in.cursor});
        return;
    }
    bool wasDown = in.asyncKeys[r.code & 0xFF] & 0x80;
    setKey(r.code, r.down);
    bool alt = in.asyncKeys[VK_MENU] & 0x80, ctrl = in.asyncKeys[VK_CONTROL] & 0x80;
    HWND target = in.focus;
    bool sys = (alt && !ctrl) || r.code == VK_F10 || (r.code == VK_MENU);
    if (!target) {
        target = in.active;
        sys = true; // with no focus window the active window hears every key as a system key
    }
    if (!target) return;
    LPARAM lp = 1 | (LPARAM(r.code & 0xFF) << 16);
    if (isExtendedKey(r.code)) lp |= LPARAM(1) << 24;
    if (alt) lp |= LPARAM(1) << 29;
    if (wasDown || !r.down) lp |= LPARAM(1) << 30;
    if (!r.down) lp |= LPARAM(1) << 31;
    UINT msg = r.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    PostInput(MSG {target, msg, r.code, lp, r.time, in.cursor});
}
} // namespace

InputState& Input()
{
    static InputState s;
    return s;
}

bool RawInputPending() { return !RawQ().empty(); }

void CookOneRawEvent()
{
    if (RawQ().empty()) return;
    Raw r = RawQ().front();
    RawQ().pop_front();
    // Moves nobody has read yet are one move, to where the pointer is now.
    while (r.kind == RawKind::Move && !r.step && !RawQ().empty() && RawQ().front().kind == RawKind::Move &&
           !RawQ().front().step) {
        r = RawQ().front();
        RawQ().pop_front();
    }
    if (r.kind == RawKind::Key || r.kind == RawKind::Char) cookKey(r);
    else cookMouse(r);
}

void ResetInput()
{
    RawQ().clear();
    InputState& in = Input();
    bool native = in.nativeText;
    in = InputState {};
    in.nativeText = native;
}

void SyncKeyState(const MSG& m)
{
    BYTE* k = Input().keys;
    switch (m.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: setKeyIn(k, UINT(m.wParam), true); break;
    case WM_KEYUP: case WM_SYSKEYUP: setKeyIn(k, UINT(m.wParam), false); break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: setKeyIn(k, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP: setKeyIn(k, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: setKeyIn(k, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: case WM_NCRBUTTONUP: setKeyIn(k, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: setKeyIn(k, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: case WM_NCMBUTTONUP: setKeyIn(k, VK_MBUTTON, false); break;
    default: break;
    }
}

void ParentNotify(HWND child, UINT event, LPARAM lp)
{
    // Up the chain of ancestors until a window asks not to tell its parent; a mouse position is
    // given in each receiver's client coordinates.
    bool mouse = event != WM_CREATE && event != WM_DESTROY;
    POINT pt {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    HWND h = child;
    WPARAM id = WPARAM(GetDlgCtrlID(child));
    for (int guard = 0; guard < 256; ++guard) {
        Wnd* w = W(h);
        if (!w || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY)) return;
        HWND p = w->parent;
        if (!W(p)) return;
        if (mouse) {
            MapWindowPoints(h, p, &pt, 1);
            lp = MAKELPARAM(pt.x, pt.y);
        }
        Send(p, WM_PARENTNOTIFY, MAKEWPARAM(event, id), lp);
        h = p;
    }
}

void CancelCaptureOf(HWND tree)
{
    InputState& in = Input();
    HWND cap = in.capture;
    if (!cap) return;
    if (tree && cap != tree && !IsChild(tree, cap) && TopLevelOf(cap) != tree) return;
    Send(cap, WM_CANCELMODE, 0, 0);
    // A window that ignores the cancel still loses the capture.
    if (in.capture == cap) {
        in.capture = nullptr;
        if (IsWindow(cap)) Send(cap, WM_CAPTURECHANGED, 0, 0);
    }
}

} // namespace pvwin

using namespace pvwin;

static void pushRaw(const Raw& r)
{
    CurrentBackend();
    RawQ().push_back(r);
}

void PvInputMouseMove(int x, int y)
{
    Raw r {RawKind::Move};
    r.x = x; r.y = y; r.time = Now();
    pushRaw(r);
}

void pvwin::InputDragStep(int x, int y)
{
    Raw r {RawKind::Move};
    r.x = x; r.y = y; r.time = Now(); r.step = true;
    pushRaw(r);
}

void PvInputMouseButton(int button, bool down)
{
    if (button < 0 || button > 2) return;
    Raw r {RawKind::Button};
    // Presses happen where the last queued move left the pointer.
    POINT p = Input().cursor;
    for (const Raw& q : RawQ())
        if (q.kind == RawKind::Move || q.kind == RawKind::Button) { p.x = q.x; p.y = q.y; }
    r.x = p.x; r.y = p.y; r.button = button; r.down = down; r.time = Now();
    pushRaw(r);
}

void PvInputWheel(int x, int y, int delta)
{
    Raw r {RawKind::Wheel};
    r.x = x; r.y = y; r.delta = delta; r.time = Now();
    pushRaw(r);
}

void PvInputKey(UINT vk, bool down)
{
    if (vk == 0 || vk > 255) return;
    Raw r {RawKind::Key};
    r.code = vk; r.down = down; r.time = Now();
    pushRaw(r);
}

void PvInputText(const char* s)
{
    if (!s) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        UINT cp;
        int n;
        if (*p < 0x80) { cp = *p; n = 1; }
        else if ((*p & 0xE0) == 0xC0) { cp = *p & 0x1F; n = 2; }
        else if ((*p & 0xF0) == 0xE0) { cp = *p & 0x0F; n = 3; }
        else if ((*p & 0xF8) == 0xF0) { cp = *p & 0x07; n = 4; }
        else { ++p; continue; } // a stray continuation byte carries no character
        int i = 1;
        for (; i < n; ++i) {
            if ((p[i] & 0xC0) != 0x80) break;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (i < n) { p += i; continue; } // truncated sequence
        p += n;
        Raw r {RawKind::Char};
        r.code = cp; r.time = Now();
        pushRaw(r);
    }
}

void PvInputClick(int x, int y, int button, bool dbl)
{
    PvInputMouseMove(x, y);
    PvInputMouseButton(button, true);
    PvInputMouseButton(button, false);
    if (dbl) {
        PvInputMouseButton(button, true);
        PvInputMouseButton(button, false);
    }
}

void PvInputKeyStroke(UINT vk, bool ctrl, bool shift, bool alt)
{
    if (ctrl) PvInputKey(VK_CONTROL, true);
    if (shift) PvInputKey(VK_SHIFT, true);
    if (alt) PvInputKey(VK_MENU, true);
    PvInputKey(vk, true);
    PvInputKey(vk, false);
    if (alt) PvInputKey(VK_MENU, false);
    if (shift) PvInputKey(VK_SHIFT, false);
    if (ctrl) PvInputKey(VK_CONTROL, false);
}

// ---- Focus and activation ----
HWND GetFocus() { return Input().focus; }
HWND GetActiveWindow() { return Input().active; }
HWND GetForegroundWindow() { return Input().active; }
BOOL SetForegroundWindow(HWND h) { return SetActiveWindow(h) || GetActiveWindow() == TopLevelOf(h); }

namespace {
bool focusable(HWND h)
{
    // A disabled window, or one inside a disabled window, cannot take the keyboard.
    for (Wnd* w = W(h); w && w->parent; w = W(w->parent)) {
        if (w->style & WS_DISABLED) return false;
        if (!(w->style & WS_CHILD)) break;
    }
    return true;
}

// fromSetFocus: the caller moves the focus itself once the window is active, so that the
// window losing it hears who gets it.
HWND activate(HWND h, bool fromSetFocus)
{
    InputState& in = Input();
    HWND top = h ? TopLevelOf(h) : nullptr;
    if (h && !top) return nullptr;
    HWND old = in.active;
    if (top == old) return old;
    if (old && IsWindow(old)) {
        CancelCaptureOf(old);
        Send(old, WM_NCACTIVATE, FALSE, 0);
        if (IsWindow(old)) Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), reinterpret_cast<LPARAM>(top));
    }
    in.active = top;
    if (top && IsWindow(top)) {
        // The new window's default activation handling takes the focus from the old one.
        Send(top, WM_NCACTIVATE, TRUE, 0);
        if (IsWindow(top) && in.active == top)
            Send(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(top)), reinterpret_cast<LPARAM>(old));
    }
    // Keys never go to a window that is not in the active one.
    HWND f = in.focus;
    if (!fromSetFocus && f && in.active == top && (!IsWindow(f) || TopLevelOf(f) != top)) {
        in.focus = nullptr;
        if (IsWindow(f)) Send(f, WM_KILLFOCUS, 0, 0);
    }
    return old;
}
} // namespace

HWND SetActiveWindow(HWND h) { return activate(h, false); }

HWND SetFocus(HWND h)
{
    InputState& in = Input();
    HWND old = in.focus;
    if (h && !IsWindow(h)) return nullptr;
    if (h && !focusable(h)) return nullptr;
    if (h) {
        HWND top = TopLevelOf(h);
        if (top != in.active) {
            activate(top, true);
            if (!IsWindow(h) || !focusable(h)) return nullptr;
            old = in.focus;
        }
    }
    if (h == in.focus) return old;
    if (old && IsWindow(old)) {
        Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
        if (h && !IsWindow(h)) return nullptr;
    }
    in.focus = h;
    if (old && !IsWindow(old)) old = nullptr;
    if (h) Send(h, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

void pvwin::MoveFocusOffTree(HWND tree)
{
    InputState& in = Input();
    HWND f = in.focus;
    if (!f || (f != tree && !IsChild(tree, f))) return;
    Wnd* w = W(tree);
    HWND parent = w && (w->style & WS_CHILD) ? w->parent : nullptr;
    if (parent) SetFocus(parent);
    f = in.focus;
    if (f && (f == tree || IsChild(tree, f))) {
        in.focus = nullptr;
        Send(f, WM_KILLFOCUS, 0, 0);
    }
}

// ---- Capture ----
HWND GetCapture() { return Input().capture; }

HWND SetCapture(HWND h)
{
    InputState& in = Input();
    HWND old = in.capture;
    if (!IsWindow(h)) return old;
    if (old == h) return old;
    in.capture = h;
    if (old && IsWindow(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(h));
    return old;
}

BOOL ReleaseCapture()
{
    InputState& in = Input();
    HWND old = in.capture;
    if (!old) return TRUE;
    in.capture = nullptr;
    if (IsWindow(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

// ---- Keys ----
SHORT GetKeyState(int vk)
{
    if (vk < 0 || vk > 255) return 0;
    BYTE b = Input().keys[vk];
    SHORT r = 0;
    if (b & 0x80) r |= SHORT(0x8000);
    if (b & 0x01) r |= 1;
    return r;
}

SHORT GetAsyncKeyState(int vk)
{
    if (vk < 0 || vk > 255) return 0;
    return (Input().asyncKeys[vk] & 0x80) ? SHORT(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* out)
{
    if (!out) return FALSE;
    for (int i = 0; i < 256; ++i) out[i] = Input().keys[i];
    return TRUE;
}

UINT GetDoubleClickTime() { return 500; }

// ---- Cursor ----
BOOL GetCursorPos(LPPOINT p)
{
    if (!p) return FALSE;
    *p = Input().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    Input().cursor = POINT {x, y};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR c)
{
    InputState& in = Input();
    HCURSOR old = in.hCursor;
    if (c != old) {
        in.hCursor = c;
        CurrentBackend().setCursor(c);
    }
    return old;
}

HCURSOR GetCursor() { return Input().hCursor; }

namespace {
struct CursorRes {
    UINT id;
    HCURSOR h;
};
std::vector<CursorRes>& ResCursors()
{
    static std::vector<CursorRes> v;
    return v;
}
} // namespace

HCURSOR LoadCursor(HINSTANCE hInst, LPCTSTR name)
{
    if (!IS_INTRESOURCE(name)) return nullptr;
    UINT id = UINT(reinterpret_cast<uintptr_t>(name));
    if (!hInst) {
        // The system's shapes: the handle is the shape's number.
        if (id >= 32512 && id <= 32651) return reinterpret_cast<HCURSOR>(uintptr_t(id));
        return nullptr;
    }
    for (const CursorRes& c : ResCursors())
        if (c.id == id) return c.h;
    return nullptr;
}

// Program cursors (the resource cursors) take one of the system shapes on screen.
void PvRegisterCursorResource(UINT id, LPCTSTR systemShape)
{
    for (CursorRes& c : ResCursors())
        if (c.id == id) { c.h = LoadCursor(nullptr, systemShape); return; }
    ResCursors().push_back(CursorRes {id, LoadCursor(nullptr, systemShape)});
}

BOOL DestroyCursor(HCURSOR) { return TRUE; }

int ShowCursor(BOOL show)
{
    InputState& in = Input();
    in.cursorShow += show ? 1 : -1;
    return in.cursorShow;
}

HICON LoadIcon(HINSTANCE, LPCTSTR name)
{
    if (!IS_INTRESOURCE(name)) return nullptr;
    return reinterpret_cast<HICON>(uintptr_t(0x10000 + reinterpret_cast<uintptr_t>(name)));
}

BOOL DestroyIcon(HICON) { return TRUE; }

static std::atomic<int> g_beeps {0};

BOOL MessageBeep(UINT)
{
    ++g_beeps;
    return TRUE;
}

int PvBeepCount() { return g_beeps; }

// ---- Caret ----
static void caretChanged()
{
    InputState& in = Input();
    in.caretBlinkOff = false;
    if (in.caretOwner) {
        HWND top = TopLevelOf(in.caretOwner);
        if (top) CurrentBackend().present(top);
    }
}

BOOL CreateCaret(HWND h, HBITMAP, int w, int hgt)
{
    if (!IsWindow(h)) return FALSE;
    DestroyCaret();
    InputState& in = Input();
    in.caretOwner = h;
    in.caretW = w > 0 ? w : GetSystemMetrics(SM_CXBORDER);
    in.caretH = hgt > 0 ? hgt : GetSystemMetrics(SM_CYBORDER);
    in.caretPos = POINT {0, 0};
    in.caretHide = 1;
    return TRUE;
}

BOOL DestroyCaret()
{
    InputState& in = Input();
    if (!in.caretOwner) return FALSE;
    caretChanged();
    in.caretOwner = nullptr;
    in.caretHide = 1;
    return TRUE;
}

BOOL ShowCaret(HWND h)
{
    InputState& in = Input();
    if (!in.caretOwner || (h && h != in.caretOwner)) return FALSE;
    if (in.caretHide > 0) --in.caretHide;
    caretChanged();
    return TRUE;
}

BOOL HideCaret(HWND h)
{
    InputState& in = Input();
    if (!in.caretOwner || (h && h != in.caretOwner)) return FALSE;
    ++in.caretHide;
    caretChanged();
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    InputState& in = Input();
    if (!in.caretOwner) return FALSE;
    in.caretPos = POINT {x, y};
    caretChanged();
    return TRUE;
}

BOOL GetCaretPos(LPPOINT p)
{
    InputState& in = Input();
    if (!p || !in.caretOwner) return FALSE;
    *p = in.caretPos;
    return TRUE;
}

UINT GetCaretBlinkTime() { return 530; }
