#pragma once
// The widgets' double-buffered paint: the client area is drawn into an off-screen bitmap of its
// size and copied in one step, so a repaint never shows half-drawn gadgets or days. Without a
// bitmap it draws straight into the window.

#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/cwnd.h"

template <class DrawFn>
void GXBPaintBuffered(CWnd* pWnd, DrawFn&& draw)
{
    CPaintDC dc(pWnd);
    CRect rc;
    pWnd->GetClientRect(&rc);
    CDC dcMem;
    CBitmap bmp;
    if (rc.IsRectEmpty() || !dcMem.CreateCompatibleDC(&dc) || !bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height())) {
        draw(&dc);
        return;
    }
    CBitmap* pOld = dcMem.SelectObject(&bmp);
    draw(&dcMem);
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOld);
}
