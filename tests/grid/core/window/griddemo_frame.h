#pragma once
// The frame window of a demo page: its grid fills the client area, and closing it ends the
// page's message loop. A page points g_pDemoFrameGrid at its grid while it runs.

#include "platform/win/win.h"

inline CWnd* g_pDemoFrameGrid = nullptr;

inline LRESULT DemoFrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_SIZE:
        if (g_pDemoFrameGrid && g_pDemoFrameGrid->GetSafeHwnd())
            g_pDemoFrameGrid->MoveWindow(0, 0, LOWORD(l), HIWORD(l));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProc(h, m, w, l);
    }
}
