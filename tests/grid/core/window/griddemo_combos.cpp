// The grid demo's combo window, "pv_griddemo combos": one row per kind of combo-box cell. At
// the start it prints where each cell and its drop-down button lie on the screen; whenever a
// list is open when the program goes idle it prints where its first entry lies and how far
// apart the entries are ("list Kind at X Y step H"); at exit it prints each cell's stored value.

#include <cstdio>

#include "grid/controls/gxchklist.h"
#include "grid/controls/gxcombo.h"
#include "grid/controls/gxcombownd.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxtabcombo.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

int RunCombosDemo();

namespace {

constexpr UINT kGridId = 102;
constexpr ROWCOL kCellCol = 2;

const char kFruit[] = "Apple pie\napple\nBanana\n1st";
const char kTable[] = "ID\tName\tColour\n1\tApple\tRed\n2\tBanana\tYellow\n3\tCherry\tRed";

struct Kind {
    const char* name;
    UINT nID;
    const char* value;
    const char* choices;
};
const Kind kKinds[] = {
    {"Combo", GX_IDS_CTRL_COMBOBOX, "", kFruit},
    {"TextFit", GX_IDS_CTRL_TEXTFIT, "", kFruit},
    {"ZeroBased", GX_IDS_CTRL_ZEROBASED, "", kFruit},
    {"OneBased", GX_IDS_CTRL_ONEBASED, "", kFruit},
    {"ZeroChoice", GX_IDS_CTRL_ZEROBASED_EX, "", kFruit},
    {"OneChoice", GX_IDS_CTRL_ONEBASED_EX, "", kFruit},
    {"Tabbed", GX_IDS_CTRL_TABBED_COMBOBOX, "1", kTable},
    {"CheckList", GX_IDS_CTRL_CHECKLIST_COMBOBOX, "1", "Toppings\nCheese\nHam\nOlives\nPeppers"},
    {"WndCombo", GX_IDS_CTRL_CBS_DROPDOWN, "", kFruit},
    {"WndList", GX_IDS_CTRL_CBS_DROPDOWNLIST, "", kFruit},
    {"WndTabbed", GX_IDS_CTRL_CBS_TABBED_DROPDOWN, "1", kTable},
    {"WndTabbedList", GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST, "1", kTable},
    {"ListBox", GX_IDS_CTRL_LISTBOX, "gr", "Red\nGreen\nBlue\nPurple"},
};
constexpr ROWCOL kKindCount = ROWCOL(sizeof(kKinds) / sizeof(kKinds[0]));

CGXGridWnd* g_pGrid = nullptr;
HWND g_hLastList = nullptr;
BOOL g_bLastVisible = FALSE;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

void PrintPoint(const char* name, CPoint pt)
{
    std::printf("%s at %d %d\n", name, int(pt.x), int(pt.y));
}

// A list that has just opened says where its entries are.
void OnIdle()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!g_pGrid || !g_pGrid->QueryCurrentCell(nRow, nCol) || nRow < 1 || nRow > kKindCount)
        return;
    auto* pCombo = dynamic_cast<CGXComboBox*>(g_pGrid->CurrentCellControl());
    CGXGridCombo* pDrop = pCombo ? pCombo->GetDropDown() : nullptr;
    CListBox* pList = pDrop ? pDrop->GetListBox() : nullptr;
    BOOL bVisible = pList && pDrop->IsWindowVisible();
    HWND hList = pList ? pList->GetSafeHwnd() : nullptr;
    // The system combo box cells: their own dropped list.
    if (auto* pWnd = dynamic_cast<CGXComboBoxWnd*>(g_pGrid->CurrentCellControl())) {
        hList = pWnd->IsListOpen() ? pWnd->GetListWnd() : nullptr;
        bVisible = hList && ::IsWindowVisible(hList);
    }
    if (bVisible && (hList != g_hLastList || !g_bLastVisible)) {
        CRect r;
        ::SendMessage(hList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        ::ClientToScreen(hList, reinterpret_cast<POINT*>(&r.left));
        ::ClientToScreen(hList, reinterpret_cast<POINT*>(&r.right));
        char name[48];
        std::snprintf(name, sizeof name, "list %s", kKinds[nRow - 1].name);
        std::printf("%s at %d %d step %d\n", name, int(r.CenterPoint().x), int(r.CenterPoint().y), r.Height());
        std::fflush(stdout);
    }
    g_hLastList = hList;
    g_bLastVisible = bVisible;
}

}  // namespace

int RunCombosDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "GridCombosDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridCombosDemo", "Grid: combo boxes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                520, 420, nullptr, nullptr, nullptr, nullptr);
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
    grid.SetColWidths(kCellCol, kCellCol, 200);
    grid.SetStyleRange(CGXCellRange(0, 1), CGXStyle().SetValue("Kind"));
    grid.SetStyleRange(CGXCellRange(0, kCellCol), CGXStyle().SetValue("Cell"));
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        const Kind& k = kKinds[n - 1];
        grid.SetStyleRange(CGXCellRange(n, 1), CGXStyle().SetControl(WORD(GX_IDS_CTRL_STATIC)).SetValue(k.name));
        CGXStyle style;
        style.SetControl(WORD(k.nID)).SetValue(k.value).SetChoiceList(k.choices);
        if (k.nID == GX_IDS_CTRL_TABBED_COMBOBOX || k.nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWN
            || k.nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST)
            style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0")
                .SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1")
                .SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1")
                .SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, "1");
        grid.SetStyleRange(CGXCellRange(n, kCellCol), style);
        if (k.nID == GX_IDS_CTRL_LISTBOX)
            grid.SetRowHeights(n, n, 60);
    }
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        CRect cell = grid.CellToRect(n, kCellCol);
        grid.ClientToScreen(&cell);
        PrintPoint(kKinds[n - 1].name, cell.CenterPoint());
        // The button's place: 16 pixels at the cell's right, less its border.
        char name[48];
        std::snprintf(name, sizeof name, "button%s", kKinds[n - 1].name);
        PrintPoint(name, CPoint(cell.right - 9, cell.CenterPoint().y));
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
