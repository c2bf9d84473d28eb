#pragma once
// A headless desktop per test, and a window class that records the messages it receives.

#include "platform/win/win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

struct Rec {
    HWND h;
    UINT msg;
    WPARAM wp;
    LPARAM lp = 0;
    bool operator==(const Rec& o) const { return h == o.h && msg == o.msg && wp == o.wp; }
};

inline std::ostream& operator<<(std::ostream& os, const Rec& r)
{
    return os << "{" << r.h << ", 0x" << std::hex << r.msg << ", " << std::dec << r.wp << "}";
}

class WinTest : public ::testing::Test {
protected:
    static inline WinTest* s_current = nullptr;

    std::vector<Rec> log;
    std::function<void(HWND, UINT, WPARAM, LPARAM)> onMessage;
    COLORREF fillOnPaint = CLR_INVALID;
    RECT lastPaintRect {};
    LRESULT mouseActivateAnswer = 0; // 0: the default procedure answers

    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        s_current = this;
        registerClass("WinTestPlain", 0);
        registerClass("WinTestDbl", CS_DBLCLKS);
    }

    void TearDown() override
    {
        PvResetWindowSystem();
        s_current = nullptr;
    }

    static void registerClass(const char* name, UINT style)
    {
        WNDCLASS wc {};
        if (GetClassInfo(nullptr, name, &wc)) return;
        wc.style = style;
        wc.lpfnWndProc = &proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
        wc.lpszClassName = name;
        RegisterClass(&wc);
    }

    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        WinTest* t = s_current;
        if (!t) return DefWindowProc(h, m, w, l);
        t->log.push_back(Rec {h, m, w, l});
        if (t->onMessage) t->onMessage(h, m, w, l);
        if (m == WM_MOUSEACTIVATE && t->mouseActivateAnswer) return t->mouseActivateAnswer;
        if (m == WM_PAINT && t->fillOnPaint != CLR_INVALID) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            t->lastPaintRect = ps.rcPaint;
            RECT all;
            GetClientRect(h, &all);
            CDC::FromHandle(dc)->FillSolidRect(&all, t->fillOnPaint);
            EndPaint(h, &ps);
            return 0;
        }
        return DefWindowProc(h, m, w, l);
    }

    HWND makeTop(UINT classStyle = 0)
    {
        HWND h = CreateWindowEx(0, classStyle & CS_DBLCLKS ? "WinTestDbl" : "WinTestPlain", "Test",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }

    HWND makeChild(HWND parent, int id, RECT r, UINT classStyle = 0)
    {
        HWND h = CreateWindowEx(0, classStyle & CS_DBLCLKS ? "WinTestDbl" : "WinTestPlain", "", WS_CHILD | WS_VISIBLE,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }

    std::vector<UINT> userMessages(HWND h) const
    {
        std::vector<UINT> v;
        for (const Rec& r : log)
            if (r.h == h && r.msg >= WM_USER && r.msg < WM_APP) v.push_back(r.msg);
        return v;
    }

    std::vector<UINT> buttonMessages(HWND h) const
    {
        std::vector<UINT> v;
        for (const Rec& r : log)
            if (r.h == h && r.msg >= WM_LBUTTONDOWN && r.msg <= WM_MBUTTONDBLCLK) v.push_back(r.msg);
        return v;
    }

    bool saw(HWND h, UINT m) const { return count(h, m) > 0; }

    int count(HWND h, UINT m) const
    {
        int n = 0;
        for (const Rec& r : log)
            if (r.h == h && r.msg == m) ++n;
        return n;
    }

    const Rec& first(HWND h, UINT m) const
    {
        for (const Rec& r : log)
            if (r.h == h && r.msg == m) return r;
        static Rec none {};
        return none;
    }

    static COLORREF pixel(HWND h, int x, int y)
    {
        HDC dc = GetDC(h);
        COLORREF c = CDC::FromHandle(dc)->GetPixel(x, y);
        ReleaseDC(h, dc);
        return c;
    }
};
