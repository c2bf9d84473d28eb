// The message queue: sending, posting, retrieval in the system's order (posted, input, quit,
// paint, timers), dispatching, key translation, timers and registered message numbers.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/win/sessionwins.h"
#include "platform/sys/system.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace pvwin {

namespace {
struct Timer {
    HWND h;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    DWORD due;
};

struct Queue {
    std::deque<MSG> posted;
    std::deque<MSG> input;
    bool quit = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 0x7FFF0000;
    MSG last {};
    std::vector<std::string> atoms; // registered messages and clipboard formats share numbers
    int sendDepth = 0;
};
Queue& Q()
{
    static Queue q;
    return q;
}

bool inRange(UINT msg, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi); }
bool due(const Timer& t, DWORD now) { return int32_t(now - t.due) >= 0; }

bool matchWnd(const MSG& m, HWND filter)
{
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(-1)) return m.hwnd == nullptr;
    return m.hwnd == filter || IsChild(filter, m.hwnd);
}

bool takeFrom(std::deque<MSG>& q, MSG* out, HWND filter, UINT lo, UINT hi, UINT remove)
{
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (it->hwnd && !IsWindow(it->hwnd)) continue;
        if (!matchWnd(*it, filter) || !inRange(it->message, lo, hi)) continue;
        *out = *it;
        if (remove & PM_REMOVE) q.erase(it);
        return true;
    }
    return false;
}

PvIdleHook g_idleHook = nullptr;
} // namespace

DWORD Now() { return GetTickCount(); }

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    Wnd* w = W(h);
    if (!w || !w->proc) return 0;
    WNDPROC p = w->proc;
    ++Q().sendDepth;
    LRESULT r = p(h, msg, wp, lp);
    --Q().sendDepth;
    return r;
}

void PostInput(const MSG& m, bool front)
{
    if (front) Q().input.push_front(m);
    else Q().input.push_back(m);
}

bool AnyInputPending() { return !Q().input.empty() || RawInputPending(); }

void OnWindowDestroyed(HWND h)
{
    Queue& q = Q();
    auto drop = [h](const MSG& m) { return m.hwnd == h; };
    q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), drop), q.posted.end());
    q.input.erase(std::remove_if(q.input.begin(), q.input.end(), drop), q.input.end());
    q.timers.erase(std::remove_if(q.timers.begin(), q.timers.end(), [h](const Timer& t) { return t.h == h; }),
                   q.timers.end());
    InputState& in = Input();
    if (in.focus == h) in.focus = nullptr;
    if (in.capture == h) in.capture = nullptr;
    if (in.active == h) in.active = nullptr;
    if (in.caretOwner == h) in.caretOwner = nullptr;
    if (in.lastDownWnd == h) in.lastDownWnd = nullptr;
    if (PvGetMainWindow() == h) PvSetMainWindow(nullptr);
}

DWORD NextTimerDue(bool* any)
{
    Queue& q = Q();
    *any = !q.timers.empty();
    if (q.timers.empty()) return 0;
    DWORD now = Now();
    int32_t best = INT32_MAX;
    for (const Timer& t : q.timers) best = std::min(best, int32_t(t.due - now));
    return best < 0 ? 0 : DWORD(best);
}

void ResetQueue()
{
    Queue& q = Q();
    q.posted.clear();
    q.input.clear();
    q.quit = false;
    q.timers.clear();
}

} // namespace pvwin

using namespace pvwin;

void PvSetIdleHook(PvIdleHook hook) { g_idleHook = hook; }

LRESULT SendMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    CurrentBackend();
    return Send(h, msg, wp, lp);
}

BOOL InSendMessage() { return FALSE; }

BOOL PostMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (h && !IsWindow(h)) return FALSE;
    if (h == HWND_TOPMOST) return FALSE; // broadcasts are not supported
    MSG m {h, msg, wp, lp, Now(), Input().cursor};
    Q().posted.push_back(m);
    return TRUE;
}

BOOL PostThreadMessage(DWORD, UINT msg, WPARAM wp, LPARAM lp) { return PostMessage(nullptr, msg, wp, lp); }

void PostQuitMessage(int code)
{
    Q().quit = true;
    Q().quitCode = code;
}

DWORD GetCurrentThreadId() { return 1; }

namespace pvwin {
bool PeekQueue(LPMSG out, HWND filter, UINT lo, UINT hi, UINT remove, bool withInput)
{
    Backend& be = CurrentBackend();
    if (withInput) be.poll();
    Queue& q = Q();
    MSG m {};
    bool got = takeFrom(q.posted, &m, filter, lo, hi, remove);
    // Raw input becomes messages one event at a time, when it is read: a capture or focus change
    // made while handling one event decides where the next one goes.
    while (!got && withInput) {
        got = takeFrom(q.input, &m, filter, lo, hi, remove);
        // Only real input moves the key state; a posted key or click does not.
        if (got && m.message >= WM_KEYFIRST && (remove & PM_REMOVE)) SyncKeyState(m);
        if (got || !RawInputPending()) break;
        CookOneRawEvent();
    }
    // A loop waiting for some messages only must still see that the program is ending.
    if (!got && q.quit) {
        m = MSG {nullptr, WM_QUIT, WPARAM(q.quitCode), 0, Now(), Input().cursor};
        if (remove & PM_REMOVE) q.quit = false;
        got = true;
    }
    if (!got && inRange(WM_PAINT, lo, hi)) {
        HWND ph = nullptr;
        if (FindPaintWindow(filter, &ph)) {
            m = MSG {ph, WM_PAINT, 0, 0, Now(), Input().cursor};
            got = true;
        }
    }
    if (!got && inRange(WM_TIMER, lo, hi)) {
        DWORD now = Now();
        for (Timer& t : q.timers) {
            if (!due(t, now)) continue;
            if (filter && t.h != filter && !IsChild(filter, t.h)) continue;
            m = MSG {t.h, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), now, Input().cursor};
            if (remove & PM_REMOVE) t.due = now + t.elapse;
            got = true;
            break;
        }
    }
    if (!got) return false;
    if (out) *out = m;
    if (remove & PM_REMOVE) q.last = m;
    return true;
}

int PumpForModalBox()
{
    // What a modal box's own loop would handle before the user answers: posted messages, repaints
    // and due timers. Input stays queued for whoever reads it next.
    int n = 0;
    MSG m;
    const int kLimit = 100000;
    while (n < kLimit && PeekQueue(&m, nullptr, 0, 0, PM_REMOVE, false)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam)); // the box ends; the quit stays for the program's loop
            break;
        }
        DispatchMessage(&m);
        ++n;
    }
    return n;
}
} // namespace pvwin

BOOL PeekMessage(LPMSG out, HWND filter, UINT lo, UINT hi, UINT remove)
{
    return PeekQueue(out, filter, lo, hi, remove, true) ? TRUE : FALSE;
}

BOOL WaitMessage()
{
    Backend& be = CurrentBackend();
    MSG probe;
    if (PeekMessage(&probe, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    PublishSessionWindows();
    if (g_idleHook) g_idleHook();
    if (PeekMessage(&probe, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    if (OnIdle()) return TRUE;
    bool any = false;
    DWORD next = NextTimerDue(&any);
    return be.wait(any ? next : 0xFFFFFFFF) ? TRUE : TRUE;
}

BOOL GetMessage(LPMSG out, HWND filter, UINT lo, UINT hi)
{
    MSG m {};
    for (;;) {
        if (PeekMessage(&m, filter, lo, hi, PM_REMOVE)) break;
        WaitMessage();
    }
    if (out) *out = m;
    if (m.message == WM_QUIT) {
        OnQuitRetrieved();
        return FALSE;
    }
    return TRUE;
}

DWORD GetMessagePos()
{
    const MSG& m = Q().last;
    return DWORD(MAKELONG(m.pt.x, m.pt.y));
}

LONG GetMessageTime() { return LONG(Q().last.time); }

DWORD GetQueueStatus(UINT) { return (Q().posted.empty() && !AnyInputPending()) ? 0 : 1; }

LRESULT DispatchMessage(const MSG* m)
{
    if (!m) return 0;
    if (m->message == WM_TIMER && m->lParam) {
        TIMERPROC p = reinterpret_cast<TIMERPROC>(m->lParam);
        // A killed timer's pending message is not delivered.
        bool alive = false;
        for (const auto& t : Q().timers)
            if (t.h == m->hwnd && t.id == m->wParam) alive = true;
        if (alive) p(m->hwnd, WM_TIMER, m->wParam, m->time);
        return 0;
    }
    if (!m->hwnd) return 0;
    Wnd* w = W(m->hwnd);
    if (!w) return 0;
    if (m->message == WM_PAINT) {
        unsigned serial = w->paintSerial;
        LRESULT r = Send(m->hwnd, WM_PAINT, m->wParam, m->lParam);
        // A handler that never began painting would be asked again forever.
        if ((w = W(m->hwnd)) && w->paintSerial == serial) {
            w->update.clear();
            w->erase = false;
            w->internalPaint = false;
        }
        return r;
    }
    return Send(m->hwnd, m->message, m->wParam, m->lParam);
}

// The US keyboard layout: what a key gives with and without Shift.
static UINT charForKey(UINT vk, bool shift, bool caps, bool ctrl, bool printable)
{
    switch (vk) {
    case VK_BACK: return 8;
    case VK_TAB: return ctrl ? 0 : 9;
    case VK_RETURN: return ctrl ? 10 : 13;
    case VK_ESCAPE: return 27;
    case VK_CANCEL: return 3;
    default: break;
    }
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return vk - 'A' + 1;
        if (!printable) return 0;
        bool upper = shift != caps;
        return upper ? vk : vk + 32;
    }
    if (ctrl || !printable) return 0;
    if (vk == VK_SPACE) return ' ';
    if (vk >= '0' && vk <= '9') return shift ? UINT(")!@#$%^&*("[vk - '0']) : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
    switch (vk) {
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
    }
}

BOOL TranslateMessage(const MSG* m)
{
    if (!m || (m->message != WM_KEYDOWN && m->message != WM_SYSKEYDOWN)) return FALSE;
    InputState& in = Input();
    bool shift = in.keys[VK_SHIFT] & 0x80, ctrl = in.keys[VK_CONTROL] & 0x80, alt = in.keys[VK_MENU] & 0x80;
    bool caps = in.keys[VK_CAPITAL] & 0x01;
    UINT vk = UINT(m->wParam);
    UINT ch;
    if (m->message == WM_SYSKEYDOWN) {
        ch = (alt && !ctrl) ? charForKey(vk, shift, caps, false, true) : 0;
        if (!ch) return FALSE;
        MSG c {m->hwnd, WM_SYSCHAR, ch, m->lParam, m->time, m->pt};
        Q().posted.push_back(c);
        return TRUE;
    }
    if (ctrl && alt) return FALSE;
    ch = charForKey(vk, shift, caps, ctrl, !in.nativeText);
    if (!ch) return FALSE;
    // Posted, so it comes after whatever the key's handler posted.
    MSG c {m->hwnd, WM_CHAR, ch, m->lParam, m->time, m->pt};
    Q().posted.push_back(c);
    return TRUE;
}

UINT RegisterWindowMessage(LPCTSTR name)
{
    if (!name || !*name) return 0;
    auto& atoms = Q().atoms;
    for (size_t i = 0; i < atoms.size(); ++i)
        if (strcasecmp(atoms[i].c_str(), name) == 0) return UINT(PV_REGISTERED_FIRST + i);
    if (atoms.size() >= 0x3FFF) return 0;
    atoms.push_back(name);
    return UINT(PV_REGISTERED_FIRST + atoms.size() - 1);
}

UINT RegisterClipboardFormat(LPCTSTR name) { return RegisterWindowMessage(name); }

int GetClipboardFormatName(UINT format, LPTSTR buf, int n)
{
    auto& atoms = Q().atoms;
    if (format < PV_REGISTERED_FIRST || format - PV_REGISTERED_FIRST >= atoms.size() || !buf || n <= 0) return 0;
    const std::string& s = atoms[format - PV_REGISTERED_FIRST];
    int len = std::min<int>(int(s.size()), n - 1);
    memcpy(buf, s.data(), size_t(len));
    buf[len] = 0;
    return len;
}

UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    if (h && !IsWindow(h)) return 0;
    Queue& q = Q();
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    if (!h) {
        // Thread timers get a fresh id unless an existing one is being reset.
        bool known = false;
        for (const Timer& t : q.timers)
            if (!t.h && t.id == id && id) known = true;
        if (!known) id = q.nextThreadTimer++;
    }
    for (Timer& t : q.timers)
        if (t.h == h && t.id == id) {
            t.elapse = elapse;
            t.proc = proc;
            t.due = Now() + elapse;
            return h ? (id ? id : 1) : id;
        }
    q.timers.push_back(Timer {h, id, elapse, proc, Now() + elapse});
    return h ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND h, UINT_PTR id)
{
    auto& v = Q().timers;
    auto it = std::find_if(v.begin(), v.end(), [&](const Timer& t) { return t.h == h && t.id == id; });
    if (it == v.end()) return FALSE;
    v.erase(it);
    return TRUE;
}

LRESULT CallWindowProc(WNDPROC p, HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    return p ? p(h, msg, wp, lp) : 0;
}

int PvPumpMessages()
{
    int n = 0;
    MSG m;
    // A window that keeps invalidating itself from its own WM_PAINT would never let this return.
    const int kLimit = 1000000;
    while (n < kLimit && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam)); // stays pending for the loop that owns it
            break;
        }
        TranslateMessage(&m);
        DispatchMessage(&m);
        ++n;
    }
    if (n == kLimit) std::fprintf(stderr, "PvPumpMessages: still busy after %d messages; giving up\n", kLimit);
    return n;
}
