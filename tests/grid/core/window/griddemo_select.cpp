// "pv_griddemo select": 40 rows by 8 columns of stored values ("R<row>C<col>") for selecting
// with the mouse, dragging selected rows and columns by their headers, and freezing them. F9
// freezes the selected rows, F10 unfreezes them, Ctrl+Z undoes. At exit it prints the
// selection, the frozen row count and the first column of rows 1 to 12.

#include <cstdio>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/win/win.h"
#include "tests/grid/core/window/griddemo_frame.h"

namespace {

constexpr UINT kGridId = 100;
constexpr ROWCOL kRows = 40, kCols = 8;

// The demo's two freeze commands sit on function keys.
class CSelectDemoGrid : public CGXGridWnd {
public:
    BOOL ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override
    {
        if (message == WM_KEYDOWN && wParam == VK_F9) {
            FreezeRows();
            return TRUE;
        }
        if (message == WM_KEYDOWN && wParam == VK_F10) {
            UnfreezeRows();
            return TRUE;
        }
        return CGXGridWnd::ProcessKeyMessage(message, wParam, lParam, flags);
    }
};


std::string RangeText(const CGXCellRange& r)
{
    char buf[64];
    if (r.IsTable())
        return "T";
    if (r.IsRows())
        std::snprintf(buf, sizeof buf, "R%u-%u", unsigned(r.top), unsigned(r.bottom));
    else if (r.IsCols())
        std::snprintf(buf, sizeof buf, "C%u-%u", unsigned(r.left), unsigned(r.right));
    else
        std::snprintf(buf, sizeof buf, "%u,%u-%u,%u", unsigned(r.top), unsigned(r.left), unsigned(r.bottom),
                      unsigned(r.right));
    return buf;
}

}  // namespace

int RunSelectDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = DemoFrameProc;
    wc.lpszClassName = "GridSelectDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridSelectDemo", "Grid: selecting, moving, freezing", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                20, 20, 760, 560, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);

    CSelectDemoGrid grid;
    g_pDemoFrameGrid = &grid;
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(rc),
                  CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    grid.SetRowCount(kRows);
    grid.SetColCount(kCols);
    grid.SetColWidths(1, kCols, 80);
    for (ROWCOL r = 1; r <= kRows; ++r)
        for (ROWCOL c = 1; c <= kCols; ++c)
            grid.SetValueRange(CGXCellRange(r, c), ("R" + std::to_string(r) + "C" + std::to_string(c)).c_str());
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    std::printf("selection");
    CGXRangeList& sel = grid.GetParam()->m_SelRects;
    for (POSITION pos = sel.GetHeadPosition(); pos;)
        std::printf(" %s", RangeText(*sel.GetNextRange(pos)).c_str());
    std::printf("\nfrozen %u\nrows", unsigned(grid.FrozenRows()));
    for (ROWCOL r = 1; r <= 12; ++r)
        std::printf(" %s", static_cast<LPCTSTR>(grid.StoredCellValueText(r, 1)));
    std::printf("\nundo %d\n", int(grid.GetParam()->GetUndoList().GetCount()));
    g_pDemoFrameGrid = nullptr;
    return int(msg.wParam);
}
