#pragma once
// A grid over a "GXWND" window in the headless desktop, with a small host that hands the
// window's messages to the grid core as a grid window does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxedit.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

class GXTestHostWnd : public CWnd {
public:
    CGXGridCore* m_pGrid = nullptr;
    // Set: the window paints the grid and hands its children's colour requests to it, as a
    // grid window does (the windowed combo cells lay themselves out while drawn).
    bool m_bPaintGrid = false;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!m_pGrid)
            return CWnd::WindowProc(message, wParam, lParam);
        const CPoint pt(short(LOWORD(lParam)), short(HIWORD(lParam)));
        if (m_bPaintGrid) {
            if (message == WM_PAINT) {
                CPaintDC dc(this);
                m_pGrid->OnGridDraw(&dc);
                return 0;
            }
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
                HBRUSH h = m_pGrid->OnGridCtlColor(CDC::FromHandle(HDC(wParam)), CWnd::FromHandle(HWND(lParam)),
                                                   message - WM_CTLCOLORMSGBOX);
                if (h)
                    return LRESULT(h);
            }
        }
        switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
            if (m_pGrid->ProcessKeyMessage(message, wParam, lParam))
                return 0;
            break;
        case WM_LBUTTONDOWN: m_pGrid->OnGridLButtonDown(UINT(wParam), pt); return 0;
        case WM_LBUTTONUP: m_pGrid->OnGridLButtonUp(UINT(wParam), pt); return 0;
        case WM_RBUTTONDOWN: m_pGrid->OnGridRButtonDown(UINT(wParam), pt); return 0;
        case WM_RBUTTONUP: m_pGrid->OnGridRButtonUp(UINT(wParam), pt); return 0;
        case WM_MOUSEMOVE: m_pGrid->OnGridMouseMove(UINT(wParam), pt); return 0;
        case WM_CANCELMODE: m_pGrid->OnGridCancelMode(); return 0;
        case WM_MOUSEACTIVATE: {
            const int n = m_pGrid->OnGridMouseActivate(CWnd::FromHandle(HWND(wParam)), LOWORD(lParam), HIWORD(lParam));
            return n ? n : CWnd::WindowProc(message, wParam, lParam);
        }
        case WM_SETFOCUS: m_pGrid->OnGridSetFocus(CWnd::FromHandle(HWND(wParam))); return 0;
        case WM_KILLFOCUS: m_pGrid->OnGridKillFocus(CWnd::FromHandle(HWND(wParam))); return 0;
        case WM_COMMAND:
            if (CGXControl* p = m_pGrid->CurrentCellControl(); p && p->HandleCommandMessage(wParam, lParam))
                return 0;
            break;
        default: break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class GridFixture : public ::testing::Test {
protected:
    static inline std::vector<std::string> s_boxes;
    static void OnBox(LPCTSTR text, UINT) { s_boxes.emplace_back(text ? text : ""); }

    void SetUp() override
    {
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        s_boxes.clear();
        PvSetMessageBoxObserver(&GridFixture::OnBox);
        m_wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr);
        m_grid = std::make_unique<CGXGridCore>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(6);
        m_wnd.SetFocus();
    }

    void TearDown() override
    {
        // What a test put on the clipboard goes with it.
        if (::OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        PvSetMessageBoxObserver(nullptr);
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        if (m_wnd.GetSafeHwnd())
            m_wnd.DestroyWindow();
    }

    // A key as the grid window receives it.
    BOOL Key(UINT vk, bool ctrl = false, bool shift = false, bool alt = false)
    {
        SetModifiers(ctrl, shift, alt);
        const BOOL b = m_grid->ProcessKeyMessage(WM_KEYDOWN, vk, 1);
        SetModifiers(false, false, false);
        return b;
    }

    // GetKeyState follows the messages retrieved: let the modifiers' own messages be read.
    void SetModifiers(bool ctrl, bool shift, bool alt)
    {
        auto set = [](UINT vk, bool down) {
            if (((GetKeyState(int(vk)) & 0x8000) != 0) != down)
                PvInputKey(vk, down);
        };
        set(VK_CONTROL, ctrl);
        set(VK_SHIFT, shift);
        set(VK_MENU, alt);
        PvPumpMessages();
    }

    // The window's pixels over its top-left nWidth x nHeight (every nStep-th column) once the
    // pending paints are done, and the same after the whole window was painted again: drawing
    // outside the paint pass must leave what a full repaint leaves.
    std::vector<COLORREF> WindowPixels(int nWidth, int nHeight, int nStep = 1)
    {
        PvPumpMessages();
        CClientDC dc(&m_wnd);
        std::vector<COLORREF> v;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; x += nStep)
                v.push_back(dc.GetPixel(x, y));
        return v;
    }
    std::vector<COLORREF> RepaintedPixels(int nWidth, int nHeight, int nStep = 1)
    {
        m_wnd.Invalidate(FALSE);
        m_wnd.UpdateWindow();
        return WindowPixels(nWidth, nHeight, nStep);
    }

    void SetStyle(ROWCOL r, ROWCOL c, const CGXStyle& style) { m_grid->SetStyleRange(CGXCellRange(r, c), style); }
    CString Value(ROWCOL r, ROWCOL c) { return m_grid->StoredCellValueText(r, c); }
    CGXEditControl* Edit() { return dynamic_cast<CGXEditControl*>(m_grid->CurrentCellControl()); }

    GXTestHostWnd m_wnd;
    std::unique_ptr<CGXGridCore> m_grid;
};
