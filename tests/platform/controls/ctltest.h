#pragma once
// A headless desktop per test with a parent window that records its controls' notifications.

#include "platform/controls/controls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

struct Note {
    UINT id;
    int code;
    bool operator==(const Note& o) const { return id == o.id && code == o.code; }
};

inline std::ostream& operator<<(std::ostream& os, const Note& n) { return os << "{" << n.id << ", " << n.code << "}"; }

class CtlTest : public ::testing::Test {
protected:
    static inline CtlTest* s_current = nullptr;
    HWND parent = nullptr;
    std::vector<Note> notes;

    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvRegisterStandardControls();
        s_current = this;
        WNDCLASS wc {};
        if (!GetClassInfo(nullptr, "CtlTestParent", &wc)) {
            wc.lpfnWndProc = &proc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
            wc.lpszClassName = "CtlTestParent";
            RegisterClass(&wc);
        }
        parent = CreateWindowEx(0, "CtlTestParent", "Test", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        PvPumpMessages();
    }

    void TearDown() override
    {
        PvResetWindowSystem();
        s_current = nullptr;
    }

    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (s_current && m == WM_COMMAND && l) s_current->notes.push_back({LOWORD(w), int(short(HIWORD(w)))});
        if (s_current && m == WM_NOTIFY && l) {
            auto* nm = reinterpret_cast<NMHDR*>(l);
            s_current->notes.push_back({UINT(nm->idFrom), int(nm->code)});
        }
        return DefWindowProc(h, m, w, l);
    }

    HWND make(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, UINT id)
    {
        HWND h = CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, parent,
                                reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
        PvPumpMessages();
        return h;
    }

    // A top-level window of its own class, for tests whose parent must answer messages itself.
    static HWND makeParent(const char* cls, WNDPROC proc, int x = 0)
    {
        WNDCLASS wc {};
        wc.lpfnWndProc = proc;
        wc.lpszClassName = cls;
        RegisterClass(&wc);
        return CreateWindowEx(0, cls, "", WS_POPUP | WS_VISIBLE, x, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    }

    // Clicks at a point in the client area of h.
    static void click(HWND h, int x, int y, bool dbl = false)
    {
        POINT p {x, y};
        ClientToScreen(h, &p);
        PvInputClick(p.x, p.y, PV_BUTTON_LEFT, dbl);
        PvPumpMessages();
    }
    static void type(const char* s)
    {
        PvInputText(s);
        PvPumpMessages();
    }
    static void key(UINT vk, bool ctrl = false, bool shift = false, bool alt = false)
    {
        PvInputKeyStroke(vk, ctrl, shift, alt);
        PvPumpMessages();
    }
    static std::string text(HWND h)
    {
        char buf[4096];
        GetWindowText(h, buf, int(sizeof buf));
        return buf;
    }
    bool noted(UINT id, int code) const
    {
        for (const Note& n : notes) if (n.id == id && n.code == code) return true;
        return false;
    }
};
