// The grid demo's masked window, "pv_griddemo masked": a phone number through an input mask, an
// amount of money, a date with its calendar button and a time. At the start it prints where each
// cell lies on the screen ("Phone at X Y"); when the date's calendar opens it prints "calendar
// open"; at exit it prints each cell's stored value.

#include <cstdio>

#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxdatetime.h"
#include "grid/controls/gxmaskctl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

int RunMaskedDemo();

namespace {

constexpr UINT kGridId = 103;
constexpr ROWCOL kCellCol = 2;

struct Kind {
    const char* name;
    UINT nID;
    const char* value;
};
const Kind kKinds[] = {
    {"Phone", GX_IDS_CTRL_MASKEDIT, "555"},
    {"Currency", GX_IDS_CTRL_CURRENCY, "1234.5"},
    {"Date", GX_IDS_CTRL_DATETIME, "36892"},
    {"Time", GX_IDS_CTRL_DATETIMENOCAL, "0.5"},
};
constexpr ROWCOL kKindCount = ROWCOL(sizeof(kKinds) / sizeof(kKinds[0]));

CGXGridWnd* g_pGrid = nullptr;
BOOL g_bCalendar = FALSE;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

void OnIdle()
{
    auto* pDate = g_pGrid ? dynamic_cast<CGXDateTimeCtrl*>(g_pGrid->CurrentCellControl()) : nullptr;
    const BOOL bOpen = pDate && pDate->GetDateTimeWnd() && pDate->GetDateTimeWnd()->GetCalendar();
    if (bOpen && !g_bCalendar) {
        std::printf("calendar open\n");
        std::fflush(stdout);
    }
    g_bCalendar = bOpen;
}

}  // namespace

int RunMaskedDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "GridMaskedDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridMaskedDemo", "Grid: masked, currency and date cells",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 520, 260, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);
    CGXGridWnd grid;
    g_pGrid = &grid;
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(rc), CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    grid.SetRowCount(kKindCount);
    grid.SetColCount(kCellCol);
    grid.SetColWidths(1, 1, 110);
    grid.SetColWidths(kCellCol, kCellCol, 220);
    grid.SetRowHeights(1, kKindCount, 24);
    grid.SetStyleRange(CGXCellRange(0, 1), CGXStyle().SetValue("Kind"));
    grid.SetStyleRange(CGXCellRange(0, kCellCol), CGXStyle().SetValue("Cell"));
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        const Kind& k = kKinds[n - 1];
        grid.SetStyleRange(CGXCellRange(n, 1), CGXStyle().SetControl(WORD(GX_IDS_CTRL_STATIC)).SetValue(k.name));
        CGXStyle style;
        style.SetControl(WORD(k.nID)).SetValue(k.value);
        if (k.nID == GX_IDS_CTRL_MASKEDIT)
            style.SetUserAttribute(GX_IDS_UA_INPUTMASK, "(###) ###-####");
        if (k.nID == GX_IDS_CTRL_DATETIME)
            style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "1");
        if (k.nID == GX_IDS_CTRL_DATETIMENOCAL)
            style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "0");
        grid.SetStyleRange(CGXCellRange(n, kCellCol), style);
    }
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        CRect cell = grid.CellToRect(n, kCellCol);
        grid.ClientToScreen(&cell);
        std::printf("%s at %d %d\n", kKinds[n - 1].name, int(cell.left + 20), int(cell.CenterPoint().y));
    }
    // The date's calendar button, where the cell's gadgets were last laid out.
    if (auto* pDate = dynamic_cast<CGXDateTimeCtrl*>(grid.GetRegisteredControl(WORD(GX_IDS_CTRL_DATETIME)))) {
        for (const auto& g : pDate->GetDrawCaptive()->GetGadgets()) {
            if (!dynamic_cast<const CGXBDTButtonGadget*>(g.get()))
                continue;
            CPoint pt = g->GetRect().CenterPoint();
            grid.ClientToScreen(&pt);
            std::printf("buttonDate at %d %d\n", int(pt.x), int(pt.y));
        }
    }
    std::fflush(stdout);
    PvSetIdleHook(&OnIdle);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    PvSetIdleHook(nullptr);
    for (ROWCOL n = 1; n <= kKindCount; ++n)
        std::printf("cell %s: \"%s\"\n", kKinds[n - 1].name, static_cast<LPCTSTR>(grid.StoredCellValueText(n, kCellCol)));
    g_pGrid = nullptr;
    return int(msg.wParam);
}
