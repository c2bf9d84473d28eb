// The SDL2 back end: each visible top-level window is a borderless native window at its desktop
// position showing the window's image; SDL events become raw input; windows are redrawn when
// their image changes, and the loop sleeps in SDL_WaitEventTimeout until an event or a timer.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"
#include "platform/gdi/surface.h"
#include "platform/sys/system.h"

#include <SDL.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace pvwin {

namespace {

UINT vkFromSdl(SDL_Keycode k)
{
    if (k >= SDLK_a && k <= SDLK_z) return UINT('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return UINT('0' + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return UINT(VK_F1 + (k - SDLK_F1));
    switch (k) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_MENU: case SDLK_APPLICATION: return VK_APPS;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_1: case SDLK_KP_2: case SDLK_KP_3: case SDLK_KP_4: case SDLK_KP_5: case SDLK_KP_6:
    case SDLK_KP_7: case SDLK_KP_8: case SDLK_KP_9: return UINT(VK_NUMPAD1 + (k - SDLK_KP_1));
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    default: return 0;
    }
}

SDL_SystemCursor sdlCursorFor(uintptr_t id)
{
    switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

class SdlBackend : public Backend {
public:
    ~SdlBackend() override
    {
        for (auto& [h, w] : m_windows) SDL_DestroyWindow(w);
        for (auto& [id, c] : m_cursors) SDL_FreeCursor(c);
        SDL_Quit();
    }

    const char* name() const override { return "sdl"; }

    void windowChanged(HWND h) override
    {
        Wnd* w = W(h);
        auto it = m_windows.find(h);
        if (w && w->minimized && it != m_windows.end() && (w->style & WS_VISIBLE)) {
            // The desktop keeps the minimised window (its panel gives it back).
            SDL_MinimizeWindow(it->second);
            return;
        }
        bool show = w && IsTopLevel(w) && (w->style & WS_VISIBLE) && !w->minimized;
        if (!show) {
            if (it != m_windows.end()) {
                SDL_DestroyWindow(it->second);
                m_windows.erase(it);
            }
            m_dirty.erase(h);
            return;
        }
        int cx = std::max<LONG>(1, w->rc.right - w->rc.left), cy = std::max<LONG>(1, w->rc.bottom - w->rc.top);
        if (it == m_windows.end()) {
            Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
            if (w->exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
            // Menus and tips never take the focus from the window they belong to.
            if (isPopupMenu(w)) flags |= SDL_WINDOW_POPUP_MENU;
            if (w->exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
            SDL_Window* sw = SDL_CreateWindow(w->text.c_str(), w->rc.left, w->rc.top, cx, cy, flags);
            if (!sw) {
                std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
                return;
            }
            m_windows[h] = sw;
            m_byId[SDL_GetWindowID(sw)] = h;
            SDL_ShowWindow(sw);
            if (Input().active == h) giveInputFocus(sw);
        } else {
            SDL_Window* sw = it->second;
            if (SDL_GetWindowFlags(sw) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(sw);
            int x, y, ox, oy;
            SDL_GetWindowPosition(sw, &x, &y);
            if (x != w->rc.left || y != w->rc.top) SDL_SetWindowPosition(sw, w->rc.left, w->rc.top);
            SDL_GetWindowSize(sw, &ox, &oy);
            if (ox != cx || oy != cy) SDL_SetWindowSize(sw, cx, cy);
            SDL_SetWindowTitle(sw, w->text.c_str());
        }
        m_dirty.insert(h);
    }

    void present(HWND top) override
    {
        if (top) m_dirty.insert(top);
    }

    void setCursor(HCURSOR c) override
    {
        uintptr_t id = reinterpret_cast<uintptr_t>(c);
        if (!c) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_ShowCursor(SDL_ENABLE);
        SDL_SystemCursor shape = sdlCursorFor(id);
        auto it = m_cursors.find(shape);
        if (it == m_cursors.end()) it = m_cursors.emplace(shape, SDL_CreateSystemCursor(shape)).first;
        if (it->second) SDL_SetCursor(it->second);
    }

    bool clipboardText(std::string* out) override
    {
        if (!SDL_HasClipboardText()) return false;
        char* t = SDL_GetClipboardText();
        if (!t) return false;
        *out = t;
        SDL_free(t);
        return true;
    }

    void setClipboardText(const std::string& s) override { SDL_SetClipboardText(s.c_str()); }

    void poll() override
    {
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e);
    }

    bool wait(DWORD timeout) override
    {
        flush();
        DWORD budget = 0;
        bool hasBudget = TimeBudget(&budget);
        if (hasBudget) timeout = std::min(timeout, budget);
        // The caret blinks on its own clock; only its window is redrawn.
        InputState& in = Input();
        bool caretShown = in.caretOwner && in.caretHide == 0 && IsWindowVisible(in.caretOwner);
        DWORD now = GetTickCount();
        if (caretShown) {
            DWORD since = now - m_lastBlink;
            if (since >= GetCaretBlinkTime()) {
                in.caretBlinkOff = !in.caretBlinkOff;
                m_lastBlink = now;
                present(TopLevelOf(in.caretOwner));
                flush();
                since = 0;
            }
            timeout = std::min<DWORD>(timeout, GetCaretBlinkTime() - since);
        } else {
            in.caretBlinkOff = false;
            m_lastBlink = now;
        }
        // A little slack keeps timers from firing early; the caret and repaints need no spinning.
        int ms = timeout == 0xFFFFFFFF ? -1 : int(std::min<DWORD>(timeout, 0x7FFFFFFF));
        SDL_Event e;
        int got = ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, ms);
        if (got) {
            handle(e);
            poll();
        }
        TimeBudget(nullptr);
        return true;
    }

    void flush()
    {
        std::set<HWND> dirty;
        dirty.swap(m_dirty);
        for (HWND h : dirty) {
            auto it = m_windows.find(h);
            if (it == m_windows.end()) continue;
            cairo_surface_t* img = ComposeWindow(h);
            if (!img) continue;
            SDL_Surface* target = SDL_GetWindowSurface(it->second);
            if (target) {
                SDL_Surface* src = SDL_CreateRGBSurfaceFrom(cairo_image_surface_get_data(img), cairo_image_surface_get_width(img),
                                                            cairo_image_surface_get_height(img), 32,
                                                            cairo_image_surface_get_stride(img), 0x00FF0000, 0x0000FF00,
                                                            0x000000FF, 0);
                if (src) {
                    SDL_BlitSurface(src, nullptr, target, nullptr);
                    SDL_FreeSurface(src);
                }
                SDL_UpdateWindowSurface(it->second);
            }
            PvDestroyWindowSurface(img);
        }
    }

private:
    std::map<HWND, SDL_Window*> m_windows;
    std::map<Uint32, HWND> m_byId;
    std::set<HWND> m_dirty;
    std::map<SDL_SystemCursor, SDL_Cursor*> m_cursors;
    DWORD m_lastBlink = 0;

    static bool isPopupMenu(const Wnd* w)
    {
        return (w->style & WS_POPUP) && (w->exStyle & WS_EX_TOOLWINDOW) && (w->exStyle & WS_EX_TOPMOST);
    }

    // Without a window manager nobody else gives a window the keyboard: the active window
    // takes it when shown, and any window that may be activated takes it on a click.
    static void giveInputFocus(SDL_Window* sw)
    {
        SDL_RaiseWindow(sw);
        SDL_SetWindowInputFocus(sw);
    }

    HWND hwndOf(Uint32 id)
    {
        auto it = m_byId.find(id);
        if (it == m_byId.end() || !IsWindow(it->second)) return nullptr;
        return it->second;
    }

    POINT screenPoint(Uint32 windowId, int x, int y)
    {
        HWND h = hwndOf(windowId);
        Wnd* w = W(h);
        if (!w) return Input().cursor;
        return POINT {w->rc.left + x, w->rc.top + y};
    }

    void handle(const SDL_Event& e)
    {
        switch (e.type) {
        case SDL_MOUSEMOTION: {
            POINT p = screenPoint(e.motion.windowID, e.motion.x, e.motion.y);
            PvInputMouseMove(p.x, p.y);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (e.type == SDL_MOUSEBUTTONDOWN) {
                HWND h = hwndOf(e.button.windowID);
                Wnd* w = W(h);
                if (w && w->minimized) {
                    // Without a window manager a minimised window stays in sight: a click brings it back.
                    ShowWindow(h, SW_RESTORE);
                    break;
                }
                auto it = m_windows.find(h);
                if (w && !isPopupMenu(w) && IsWindowEnabled(h) && it != m_windows.end()) giveInputFocus(it->second);
            }
            POINT p = screenPoint(e.button.windowID, e.button.x, e.button.y);
            PvInputMouseMove(p.x, p.y);
            int b = e.button.button == SDL_BUTTON_RIGHT ? PV_BUTTON_RIGHT
                  : e.button.button == SDL_BUTTON_MIDDLE ? PV_BUTTON_MIDDLE : PV_BUTTON_LEFT;
            PvInputMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEWHEEL: {
            POINT p = Input().cursor;
            int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (dy) PvInputWheel(p.x, p.y, dy * WHEEL_DELTA);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            UINT vk = vkFromSdl(e.key.keysym.sym);
            if (vk) PvInputKey(vk, e.type == SDL_KEYDOWN);
            break;
        }
        case SDL_TEXTINPUT:
            PvInputText(e.text.text);
            break;
        case SDL_WINDOWEVENT: {
            HWND h = hwndOf(e.window.windowID);
            if (!h) break;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            case SDL_WINDOWEVENT_EXPOSED: m_dirty.insert(h); break;
            case SDL_WINDOWEVENT_RESTORED:
                if (Wnd* w = W(h); w && w->minimized) ShowWindow(h, SW_RESTORE);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: {
                // A menu taking the focus must leave its owner's caption active and its
                // tracking (capture) alone.
                Wnd* w = W(h);
                if (w && !isPopupMenu(w) && GetActiveWindow() != h && IsWindowEnabled(h)) SetActiveWindow(h);
                break;
            }
            case SDL_WINDOWEVENT_FOCUS_LOST: CancelCaptureOf(h); break;
            case SDL_WINDOWEVENT_MOVED: {
                Wnd* w = W(h);
                if (w && (w->rc.left != e.window.data1 || w->rc.top != e.window.data2))
                    SetWindowPos(h, nullptr, e.window.data1, e.window.data2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                break;
            }
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                Wnd* w = W(h);
                if (w && (w->rc.right - w->rc.left != e.window.data1 || w->rc.bottom - w->rc.top != e.window.data2))
                    SetWindowPos(h, nullptr, 0, 0, e.window.data1, e.window.data2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                m_dirty.insert(h);
                break;
            }
            default: break;
            }
            break;
        }
        case SDL_QUIT: {
            HWND main = PvGetMainWindow();
            if (main) PostMessage(main, WM_CLOSE, 0, 0);
            else PostQuitMessage(0);
            break;
        }
        default: break;
        }
    }
};

} // namespace

std::unique_ptr<Backend> CreateSdlBackend()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return nullptr;
    }
    const char* scr = std::getenv("PV_SCREEN");
    SDL_DisplayMode mode;
    if ((!scr || !*scr) && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        PvSetSystemMetric(SM_CXSCREEN, mode.w);
        PvSetSystemMetric(SM_CYSCREEN, mode.h);
        // A maximised window takes what the desktop leaves free (all of it without a panel).
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
            RECT work {usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
            PvSetWorkArea(&work);
        }
    }
    SDL_StartTextInput();
    Input().nativeText = true;
    return std::make_unique<SdlBackend>();
}

int SdlMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    static const struct {
        UINT type;
        int ids[3];
        const char* names[3];
    } sets[] = {
        {MB_OK, {IDOK, 0, 0}, {"OK", nullptr, nullptr}},
        {MB_OKCANCEL, {IDOK, IDCANCEL, 0}, {"OK", "Cancel", nullptr}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, {"&Abort", "&Retry", "&Ignore"}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, {"&Yes", "&No", "Cancel"}},
        {MB_YESNO, {IDYES, IDNO, 0}, {"&Yes", "&No", nullptr}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL, 0}, {"&Retry", "Cancel", nullptr}},
    };
    UINT t = type & MB_TYPEMASK;
    const auto* set = &sets[0];
    for (const auto& s : sets)
        if (s.type == t) set = &s;
    SDL_MessageBoxButtonData buttons[3];
    int n = 0;
    size_t def = (type & MB_DEFMASK) >> 8;
    for (int i = 0; i < 3 && set->ids[i]; ++i, ++n) {
        buttons[i].buttonid = set->ids[i];
        buttons[i].text = set->names[i][0] == '&' ? set->names[i] + 1 : set->names[i];
        buttons[i].flags = 0;
        if (size_t(i) == def) buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (set->ids[i] == IDCANCEL || (n == 0 && set->ids[1] == 0)) buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    }
    Uint32 flags = (type & MB_ICONMASK) == MB_ICONHAND ? SDL_MESSAGEBOX_ERROR
                 : (type & MB_ICONMASK) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    HWND top = owner ? TopLevelOf(owner) : GetActiveWindow();
    HWND focus = GetFocus();
    if (HWND active = GetActiveWindow()) Send(active, WM_CANCELMODE, 0, 0);
    CancelCaptureOf(nullptr);
    bool disabled = top && IsWindowEnabled(top) && !EnableWindow(top, FALSE);
    SDL_MessageBoxData data {flags, nullptr, caption, text, n, buttons, nullptr};
    int answer = set->ids[def < size_t(n) ? def : 0];
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) == 0 && pressed > 0) answer = pressed;
    if (disabled && IsWindow(top)) EnableWindow(top, TRUE);
    if (top && IsWindow(top)) SetActiveWindow(top);
    if (focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
    return answer;
}

} // namespace pvwin
