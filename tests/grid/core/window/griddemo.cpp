// A grid window of 100,000 rows by 12 columns with a frozen row, a selection and zoom 150,
// scrolled to row 50,000. Run it headless with PV_SCREENSHOT to see the picture, or drive it
// with PV_SCRIPT. The values come from FetchStoredStyle, so the store holds only the counts.
// Cell (50001, 3) takes grades from 10 to 20 only. Two covered areas show as one cell each: a
// wrapped note over rows 50,008-50,009 and columns 6-8, and column 5 from row 49,998 (above the
// first row shown) to 50,003. Cell (50002, 4) holds a text too long for it: resting the mouse
// there shows the whole text in a tip; the wheel scrolls and the wheel button pans. At the start
// it prints where the first two data cells of column 2, the graded cell and the long text lie on
// the screen; at exit, the values typed in, the current cell's stored value, the lengths of the
// undo and redo lists, the top row and the scores of the first rows shown. Column 7 holds stored
// scores of mixed kinds (negative, decimal, of every length, some empty); a double click on its
// header sorts the rows by them, a second one reverses, Ctrl+Z takes the sort back. Ctrl+C,
// Ctrl+X and Ctrl+V copy, cut and paste through the clipboard as tab-separated text (the
// desktop's, on a display), Delete clears, and the selection's frame has a fill handle that
// repeats the selected values when dragged.
// "pv_griddemo controls" shows a row per kind of cell control instead, "pv_griddemo richtext" rich
// text cells, "pv_griddemo combos" a row per kind of combo-box cell, "pv_griddemo select" a small
// grid for selecting, dragging and freezing rows and columns.
// "pv_griddemo print FILE.pdf" prints a 200-row version (a frozen row, the grid's name in the
// page header, "page/pages" in the footer) straight to the PDF file and says how many pages.

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/view.h"
#include "platform/win/win.h"
#include "tests/grid/core/window/griddemo_frame.h"

namespace {

ROWCOL g_nRows = 100000;
constexpr ROWCOL kCols = 12;
constexpr UINT kGridId = 100;
constexpr ROWCOL kScoreCol = 7;  // stored, not made up
const char* const kColumnNames[kCols] = {"Last name", "First name", "Grade", "Room",  "Phone",  "Street",
                                         "Score",      "Parent",     "Email", "Birth", "Notes", "Id"};
const char* const kLastNames[] = {"Abbott", "Baker", "Chen", "Diaz", "Evans", "Fischer", "Garcia", "Hughes"};
const char* const kFirstNames[] = {"Ann", "Ben", "Cleo", "Dan", "Eve", "Finn", "Gia", "Hal", "Ida"};

class CDemoGrid : public CGXGridWnd {
public:
    ROWCOL RowCount() override { return g_nRows; }
    ROWCOL ColCount() override { return kCols; }
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override
    {
        const BOOL bStored = CGXGridWnd::FetchStoredStyle(nRow, nCol, style, mt, nType);
        if (nType != 0 || nCol == 0 || nCol > kCols || style.GetIncludeValue())
            return bStored;
        if (nRow == 0) {
            style.SetValue(kColumnNames[nCol - 1]);
            return TRUE;
        }
        if (nCol == kScoreCol)
            return bStored;
        char buf[64];
        switch (nCol) {
        case 1: std::snprintf(buf, sizeof buf, "%s", kLastNames[nRow % 8]); break;
        case 2: std::snprintf(buf, sizeof buf, "%s", kFirstNames[nRow % 9]); break;
        case 3: std::snprintf(buf, sizeof buf, "%u", unsigned(nRow % 12 + 1)); break;
        case 4: std::snprintf(buf, sizeof buf, "B-%02u", unsigned(nRow % 40)); break;
        case 5: std::snprintf(buf, sizeof buf, "555-%04u", unsigned(nRow % 10000)); break;
        case 12: std::snprintf(buf, sizeof buf, "%u", unsigned(nRow)); break;
        default: std::snprintf(buf, sizeof buf, "Row %u, col %u", unsigned(nRow), unsigned(nCol)); break;
        }
        style.SetValue(buf);
        return TRUE;
    }
    BOOL StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType) override
    {
        const BOOL bStored = CGXGridWnd::StoreCellStyle(nRow, nCol, pStyle, mt, nType);
        if (bStored && nType == 0 && nRow > 0 && pStyle && pStyle->GetIncludeValue())
            m_typed[{nRow, nCol}] = pStyle->GetValue();
        return bStored;
    }
    void PrintCellOnScreen(const char* name, ROWCOL nRow, ROWCOL nCol)
    {
        CRect rect = CellToRect(nRow, nCol);
        CPoint center = rect.CenterPoint();
        ClientToScreen(&center);
        std::printf("%s %u,%u at %d %d\n", name, unsigned(nRow), unsigned(nCol), int(center.x), int(center.y));
    }
    // Where the fill handle of a selection ending at the cell lies: its bottom-right corner.
    void PrintHandleOnScreen(ROWCOL nRow, ROWCOL nCol)
    {
        CRect rect = CellToRect(nRow, nCol);
        CPoint corner(rect.right - 2, rect.bottom - 2);
        ClientToScreen(&corner);
        std::printf("handle %u,%u at %d %d\n", unsigned(nRow), unsigned(nCol), int(corner.x), int(corner.y));
    }
    void PrintTyped() const
    {
        for (const auto& [cell, value] : m_typed)
            std::printf("value %u,%u: %s\n", unsigned(cell.first), unsigned(cell.second), LPCTSTR(value));
    }

private:
    std::map<std::pair<ROWCOL, ROWCOL>, CString> m_typed;
};

// The demo's covered areas, answered from a fixed list.
class CDemoCoveredCells : public CGXAbstractGridCoveredCellsImp {
public:
    const CGXCellRange m_areas[2] = {CGXCellRange(50008, 6, 50009, 8), CGXCellRange(49998, 5, 50003, 5)};
    BOOL GetCoveredCellsRowCol(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, CGXCellRange& range) override
    {
        for (const CGXCellRange& a : m_areas)
            if (a.IsCellInRange(nRow, nCol)) {
                range = a;
                return TRUE;
            }
        return FALSE;
    }
};

// A score per row, stored: one of -50000..50003 in a scrambled order (7919 steps modulo the prime
// 100003 meet no value twice), every fourth one with a half, every tenth one empty, so that text
// order and number order differ.
void StoreScores(CGXData& data)
{
    for (ROWCOL n = 1; n <= g_nRows; ++n) {
        if (n % 10 == 3)
            continue;
        const int v = int((unsigned long long)n * 7919 % 100003) - 50000;
        char buf[32];
        std::snprintf(buf, sizeof buf, n % 4 == 0 ? "%d.5" : "%d", v);
        data.StoreValueRowCol(n, kScoreCol, buf, gxOverride);
    }
}


// Prints the grid as a print loop does: pages until the last or until the grid says it is done.
int PrintToPdf(CDemoGrid& grid, const char* pszPath)
{
    constexpr ROWCOL kPrintedRows = 200;
    g_nRows = kPrintedRows;
    grid.GetParam()->m_sText = "Grid demo";
    CGXProperties* pProps = grid.GetProperties();
    CGXData& footer = pProps->GetDataFooter();
    footer.StoreValueRowCol(1, 1, "", gxOverride);
    footer.StoreValueRowCol(1, 3, "$P/$N", gxOverride);
    PvPrinterSettings settings;
    settings.outputPath = pszPath;
    CDC dc;
    if (!PvCreatePdfPrinterDC(dc, settings))
        return 2;
    dc.m_bPrinting = TRUE;
    CPrintInfo info;
    info.m_bDirect = TRUE;
    grid.OnBeginPrinting(&dc, &info);
    if (dc.StartDoc("Grid demo") <= 0)
        return 3;
    for (info.m_nCurPage = 1; info.m_nCurPage <= info.GetMaxPage(); ++info.m_nCurPage) {
        grid.PrepareDC(&dc, &info);
        dc.StartPage();
        grid.OnPrint(&dc, &info);
        dc.EndPage();
        if (!info.m_bContinuePrinting)
            break;
    }
    dc.EndDoc();
    grid.OnEndPrinting(&dc, &info);
    std::printf("pages %u\n", info.GetMaxPage());
    return 0;
}

}  // namespace

// The window of one row per kind of cell control (griddemo_controls.cpp).
int RunControlsDemo();
int RunSelectDemo();
// The rich text window (griddemo_richtext.cpp).
int RunRichTextDemo();
// The window of one row per kind of combo-box cell (griddemo_combos.cpp).
int RunCombosDemo();
// The masked edit, currency and date-time window (griddemo_masked.cpp).
int RunMaskedDemo();
// The formula sheet's window (griddemo_formula.cpp).
int RunFormulaDemo();

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "controls") == 0)
        return RunControlsDemo();
    if (argc > 1 && std::strcmp(argv[1], "select") == 0)
        return RunSelectDemo();
    if (argc > 1 && std::strcmp(argv[1], "richtext") == 0)
        return RunRichTextDemo();
    if (argc > 1 && std::strcmp(argv[1], "combos") == 0)
        return RunCombosDemo();
    if (argc > 1 && std::strcmp(argv[1], "masked") == 0)
        return RunMaskedDemo();
    if (argc > 1 && std::strcmp(argv[1], "formula") == 0)
        return RunFormulaDemo();
    const bool bPrint = argc == 3 && std::string(argv[1]) == "print";
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = DemoFrameProc;
    wc.lpszClassName = "GridDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridDemo", "Grid: 100,000 rows", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 1100,
                                700, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);

    CDemoCoveredCells covered;
    CDemoGrid grid;
    g_pDemoFrameGrid = &grid;
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(rc),
                  CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    grid.SetFrozenRows(1);
    if (bPrint) {
        const int rc = PrintToPdf(grid, argv[2]);
        g_pDemoFrameGrid = nullptr;
        grid.DestroyWindow();
        return rc;
    }
    grid.GetParam()->m_SelRects.AddRange(CGXCellRange(50003, 2, 50006, 4));
    grid.SetZoom(150);
    grid.SetScrollBarMode(SB_BOTH, 1, TRUE);
    grid.SetTopRow(50000, GX_INVALIDATE);
    grid.UpdateScrollBars();
    grid.SetStyleRange(CGXCellRange(50001, 3, 50001, 3),
                       CGXStyle()
                           .SetUserAttribute(GX_IDS_UA_VALID_MIN, "10")
                           .SetUserAttribute(GX_IDS_UA_VALID_MAX, "20")
                           .SetUserAttribute(GX_IDS_UA_VALID_MSG, "Grades run from 10 to 20."));
    grid.m_pCoveredCellsImp = &covered;
    grid.InstallDrawSpannedCellsImp();
    grid.SetStyleRange(CGXCellRange(50008, 6),
                       CGXStyle().SetWrapText(TRUE).SetValue(
                           "A note that covers two rows and three columns, long enough to wrap onto its second line."));
    grid.SetStyleRange(CGXCellRange(49998, 5),
                       CGXStyle().SetWrapText(TRUE).SetValue("Rows 49,998 to 50,003: the top two are scrolled out"));
    grid.SetStyleRange(CGXCellRange(50002, 4),
                       CGXStyle().SetValue("Room B-02, east wing, past the library and the music rooms"));
    StoreScores(*grid.GetData());
    grid.GetParam()->m_bSortRowsOnDblClk = TRUE;
    // The selection frame with its fill handle, which repeats values.
    grid.GetParam()->m_bExcelLikeFrame = TRUE;
    grid.GetParam()->m_nFillFlags = 0x1;
    grid.InstallIntelliMousePlugin();
    grid.InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
    grid.GetParam()->ClearUndoList();  // the set-up is not the user's to undo
    grid.SetFocus();
    grid.UpdateWindow();
    grid.PrintCellOnScreen("cell", 50001, 2);
    grid.PrintCellOnScreen("cell", 50002, 2);
    grid.PrintCellOnScreen("graded", 50001, 3);
    grid.PrintCellOnScreen("long", 50002, 4);
    grid.PrintCellOnScreen("header", 0, kScoreCol);
    grid.PrintCellOnScreen("cell", 50002, 3);
    grid.PrintCellOnScreen("cell", 50006, 2);
    grid.PrintCellOnScreen("cell", 50010, 2);
    grid.PrintHandleOnScreen(50002, 2);
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    grid.PrintTyped();
    ROWCOL nRow = 0, nCol = 0;
    if (grid.QueryCurrentCell(nRow, nCol))
        std::printf("current %u,%u: \"%s\"\n", unsigned(nRow), unsigned(nCol),
                    static_cast<LPCTSTR>(grid.StoredCellValueText(nRow, nCol)));
    std::printf("undo %d redo %d\n", int(grid.GetParam()->GetUndoList().GetCount()),
                int(grid.GetParam()->GetRedoList().GetCount()));
    std::printf("top %u\n", unsigned(grid.GetTopRow()));
    std::printf("scores");
    for (ROWCOL n = grid.GetTopRow(); n < grid.GetTopRow() + 6; ++n)
        std::printf(" [%s]", static_cast<LPCTSTR>(grid.StoredCellValueText(n, kScoreCol)));
    std::printf("\n");
    // What the demo put on the clipboard goes with it (the desktop's copy went with its window).
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    g_pDemoFrameGrid = nullptr;
    return int(msg.wParam);
}
