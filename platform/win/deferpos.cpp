// Deferred window positions: a layout gathers the moves of several children and applies them
// together, so that no child is painted at its new place while its neighbours are still at the old.

#include <vector>

#include "platform/win/winuser.h"

struct HDWP__ {
    std::vector<WINDOWPOS> moves;
};

HDWP BeginDeferWindowPos(int nNumWindows)
{
    if (nNumWindows < 0)
        return nullptr;
    auto* p = new HDWP__;
    p->moves.reserve(size_t(nNumWindows));
    return p;
}

HDWP DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags)
{
    if (!hWinPosInfo)
        return nullptr;
    if (!IsWindow(hWnd)) {
        // As the system does: one bad window spoils the whole batch.
        delete hWinPosInfo;
        return nullptr;
    }
    for (WINDOWPOS& m : hWinPosInfo->moves)
        if (m.hwnd == hWnd) {
            m = WINDOWPOS {hWnd, hWndInsertAfter, x, y, cx, cy, uFlags};
            return hWinPosInfo;
        }
    hWinPosInfo->moves.push_back(WINDOWPOS {hWnd, hWndInsertAfter, x, y, cx, cy, uFlags});
    return hWinPosInfo;
}

BOOL EndDeferWindowPos(HDWP hWinPosInfo)
{
    if (!hWinPosInfo)
        return FALSE;
    BOOL ok = TRUE;
    for (const WINDOWPOS& m : hWinPosInfo->moves)
        // A window the moves before destroyed is skipped.
        if (IsWindow(m.hwnd) && !SetWindowPos(m.hwnd, m.hwndInsertAfter, m.x, m.y, m.cx, m.cy, m.flags))
            ok = FALSE;
    delete hWinPosInfo;
    return ok;
}
