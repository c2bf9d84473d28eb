// "pv_griddemo formula": a grid whose data object is a formula sheet, made by its runtime class,
// 20 rows by 8 columns. At exit it prints the formula text and the value of A1 to E3.

#include <cstdio>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "grid/formula/gxformulasheet.h"
#include "platform/win/win.h"
#include "tests/grid/core/window/griddemo_frame.h"

namespace {

constexpr UINT kGridId = 100;
constexpr ROWCOL kRows = 20, kCols = 8;


}  // namespace

int RunFormulaDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = DemoFrameProc;
    wc.lpszClassName = "GridFormulaDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridFormulaDemo", "Grid: formula sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                760, 560, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);

    CGXGridWnd grid;
    g_pDemoFrameGrid = &grid;
    // The only way a formula sheet comes into being: by its runtime class.
    grid.m_pDataClass = RUNTIME_CLASS(CGXFormulaSheet);
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(rc),
                  CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    grid.SetRowCount(kRows);
    grid.SetColCount(kCols);
    grid.SetColWidths(1, kCols, 80);
    grid.GetParam()->m_wOption2 = 3;        // Enter moves down, as in a spreadsheet
    grid.GetParam()->m_wActivateFlags = 0;  // a click only selects; F2 or typing edits
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    auto* pSheet = dynamic_cast<CGXFormulaSheet*>(grid.GetParam()->GetData());
    std::printf("data %s\n", pSheet ? "CGXFormulaSheet" : "other");
    for (ROWCOL r = 1; pSheet && r <= 3; ++r)
        for (ROWCOL c = 1; c <= 5; ++c) {
            std::string e, v;
            pSheet->GetExpressionRowCol(r, c, e);
            pSheet->GetValueRowCol(r, c, v);
            std::printf("cell %c%u \"%s\" \"%s\"\n", char('A' + c - 1), unsigned(r), e.c_str(), v.c_str());
        }
    // What the demo put on the clipboard goes with it.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    g_pDemoFrameGrid = nullptr;
    return int(msg.wParam);
}
