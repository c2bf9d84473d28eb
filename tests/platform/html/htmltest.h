#pragma once
// Pages drawn into memory bitmaps, files in a scratch folder, and a parent window that records
// the browser control's events.

#include "platform/gdi/dc.h"
#include "platform/html/browser.h"
#include "platform/html/htmlpage.h"
#include "platform/win/pvwin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace htmltest {

// A page laid out and drawn on a white canvas.
struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    int width, height;
    Canvas(int w, int h) : width(w), height(h)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(w, h, 1, 32, nullptr);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
    }
    ~Canvas() { dc.SelectObject(old); }
    void draw(const std::string& html, const std::string& address = "/nowhere/page.htm")
    {
        pvhtml::Page page;
        page.Load(html, address);
        page.Layout(width, height);
        page.Draw(&dc, 0, 0, CRect(0, 0, width, height));
    }
    COLORREF at(int x, int y) const { return dc.GetPixel(x, y); }
    // Whether some pixel of the area satisfies the test.
    bool any(const CRect& r, const std::function<bool(COLORREF)>& test) const
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (test(at(x, y)))
                    return true;
        return false;
    }
    // Rows holding a pixel other than white.
    int inkRows() const
    {
        int rows = 0;
        for (int y = 0; y < height; ++y)
            rows += any(CRect(0, y, width, y + 1), [](COLORREF c) { return c != RGB(255, 255, 255); }) ? 1 : 0;
        return rows;
    }
};

inline bool reddish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80; }
inline bool bluish(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80; }

// A scratch folder removed with the fixture.
struct Scratch {
    std::filesystem::path dir;
    Scratch()
    {
        char tmpl[] = "/tmp/pvhtmlXXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~Scratch() { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text) const
    {
        const auto p = dir / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

// A 24-bit BMP of one colour.
inline std::string solidBmp(int w, int h, COLORREF c)
{
    const int row = (w * 3 + 3) & ~3;
    const int size = 54 + row * h;
    std::string b(size_t(size), '\0');
    auto put32 = [&](int at, uint32_t v) { for (int i = 0; i < 4; ++i) b[size_t(at + i)] = char(v >> (8 * i)); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = size_t(54 + y * row + x * 3);
            b[at] = char(GetBValue(c));
            b[at + 1] = char(GetGValue(c));
            b[at + 2] = char(GetRValue(c));
        }
    return b;
}

// A top-level window holding one browser control; it records the control's events and may
// answer BeforeNavigate2 through `onBefore`.
class BrowserHost {
public:
    struct Event {
        long dispid;
        std::string url;
        long command;
        BOOL enable;
    };
    std::vector<Event> events;
    std::function<void(const std::string&, BOOL*)> onBefore;
    HWND parent = nullptr, control = nullptr;

    BrowserHost(int w = 400, int h = 300)
    {
        s_current = this;
        PvRegisterBrowserControl();
        WNDCLASS wc {};
        if (!GetClassInfo(nullptr, "PvHtmlTestHost", &wc)) {
            wc.lpfnWndProc = &proc;
            wc.lpszClassName = "PvHtmlTestHost";
            RegisterClass(&wc);
        }
        parent = CreateWindowEx(0, "PvHtmlTestHost", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
        control = CreateWindowEx(0, PV_CLSID_WEBBROWSER, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, w, h, parent,
                                 reinterpret_cast<HMENU>(uintptr_t(1000)), nullptr, nullptr);
        PvPumpMessages();
    }
    ~BrowserHost()
    {
        if (IsWindow(parent))
            DestroyWindow(parent);
        s_current = nullptr;
    }
    PvBrowser* browser() const { return PvBrowser::FromHandle(control); }
    std::vector<long> dispids() const
    {
        std::vector<long> v;
        for (auto& e : events) v.push_back(e.dispid);
        return v;
    }

private:
    static inline BrowserHost* s_current = nullptr;
    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_PV_CTLEVENT && s_current) {
            auto* e = reinterpret_cast<PvControlEvent*>(l);
            s_current->events.push_back({e->dispid, std::string(e->url), e->nCommand, e->bEnable});
            if (e->dispid == DISPID_BEFORENAVIGATE2 && s_current->onBefore)
                s_current->onBefore(std::string(e->url), e->pCancel);
            return 0;
        }
        return DefWindowProc(h, m, w, l);
    }
};

} // namespace htmltest
