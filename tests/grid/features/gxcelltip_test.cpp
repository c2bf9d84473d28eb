// Plug-ins and cell tips over a headless grid window, on the test clock.

#include "tests/grid/core/window/gridwnd_fixture.h"
#include "tests/grid/gxbmpfile.h"

#include <algorithm>
#include <string>
#include <vector>

#include "grid/controls/gxstatic.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxdib.h"
#include "grid/features/gxcelltip.h"
#include "grid/features/gxmwheel.h"
#include "platform/gdi/gdi.h"

namespace {

// Handles one private message through its message map; logs what it saw.
class CSpyPlugin : public CGXPluginComponent {
public:
    CSpyPlugin(std::vector<int>& log, int id, BOOL bHandle) : m_log(log), m_id(id), m_bHandle(bHandle) {}
    static constexpr UINT kMsg = WM_USER + 9;
    afx_msg LRESULT OnSpy(WPARAM, LPARAM)
    {
        m_log.push_back(m_id);
        m_bHandled = m_bHandle;
        return m_id * 10;
    }

protected:
    DECLARE_MESSAGE_MAP()
    std::vector<int>& m_log;
    int m_id;
    BOOL m_bHandle;
};

BEGIN_MESSAGE_MAP(CSpyPlugin, CGXPluginComponent)
    ON_MESSAGE(kMsg, OnSpy)
END_MESSAGE_MAP()

const char kLong[] = "A text far too long for its narrow cell";
const char kLong2[] = "Another text that runs well past its cell";

class CellTipTest : public GridWindowTest {
protected:
    CTestGridWnd& MakeTipGrid(BOOL bHeaderTips = FALSE, BOOL bEditTips = FALSE, int w = 600, int h = 400)
    {
        CTestGridWnd& grid = MakeGrid(30, 6, w, h, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
        grid.InstallCellTipPlugin(nullptr, bHeaderTips, bEditTips, 500);
        grid.SetValueRange(CGXCellRange(2, 1), kLong);
        grid.SetValueRange(CGXCellRange(3, 1), kLong2);
        grid.SetValueRange(CGXCellRange(4, 1), kLong);
        return grid;
    }
    CGXCellTipPlugin& Tips() { return *static_cast<CGXCellTipPlugin*>(m_grid->m_pCellTipPlugin); }
    // The screen point of a cell's centre (or an offset from its top-left).
    CPoint CellPoint(ROWCOL nRow, ROWCOL nCol, CPoint offset = CPoint(-1, -1))
    {
        CRect r = m_grid->CellToRect(nRow, nCol);
        CPoint p = offset.x < 0 ? r.CenterPoint() : r.TopLeft() + offset;
        m_grid->ClientToScreen(&p);
        return p;
    }
    void MoveTo(CPoint p)
    {
        PvInputMouseMove(p.x, p.y);
        PvPumpMessages();
    }
    CString TipText()
    {
        CString s;
        if (CGXCellTipWnd* p = Tips().GetShownTipWnd())
            p->GetWindowText(s);
        return s;
    }
    // The cell text's extent in the grid's font at its zoom.
    CSize TextExtent(ROWCOL nRow, ROWCOL nCol)
    {
        CGXStyle style;
        m_grid->ComposeCellStyle(nRow, nCol, style);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CFont* pOld = m_grid->SelectStyleFont(&dc, style);
        const CSize size = dc.GetTextExtent(style.GetValue());
        dc.SelectObject(pOld);
        return size;
    }
};

}  // namespace

TEST_F(CellTipTest, PluginHearsTheGridWindowWhichKeepsItsOwnObject)
{
    std::vector<int> log;
    CTestGridWnd& grid = MakeGrid(10, 5);
    const HWND h = grid.GetSafeHwnd();
    auto first = std::make_unique<CSpyPlugin>(log, 1, FALSE);
    CSpyPlugin second(log, 2, TRUE);
    ASSERT_TRUE(first->PlugIn(&grid));
    ASSERT_TRUE(second.PlugIn(&grid));
    grid.AddPlugin(first.get());
    grid.AddPlugin(&second);
    EXPECT_EQ(first->GetSafeHwnd(), h);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &grid);

    // The first that handles ends the walk with its result.
    EXPECT_EQ(grid.SendMessage(CSpyPlugin::kMsg), 20);
    EXPECT_EQ(log, (std::vector<int> {1, 2}));
    // The grid still gets its own messages.
    grid.SendMessage(WM_GX_LOCKREDRAW, 1);
    EXPECT_TRUE(grid.GetParam()->m_bLockRedraw);

    // A plug-in let go does not take the window with it.
    auto& plugins = const_cast<std::vector<CGXPluginComponent*>&>(grid.GetPlugins());
    plugins.erase(std::find(plugins.begin(), plugins.end(), first.get()));
    first.reset();
    ASSERT_TRUE(::IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &grid);
    grid.SendMessage(WM_GX_LOCKREDRAW, 0);
    EXPECT_FALSE(grid.GetParam()->m_bLockRedraw);
    log.clear();
    EXPECT_EQ(grid.SendMessage(CSpyPlugin::kMsg), 20);
    EXPECT_EQ(log, (std::vector<int> {2}));

    // Installed plug-ins go with the grid (auto-scroll comes with every grid); the window
    // outlives each of them.
    grid.InstallCellTipPlugin();
    grid.InstallIntelliMousePlugin();
    grid.InstallIntelliMousePlugin();  // once per grid
    EXPECT_EQ(grid.GetPlugins().size(), 4u);
    EXPECT_EQ(grid.GetPlugins().front(), grid.m_pCellTipPlugin);
    grid.DestroyWindow();
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
}

TEST_F(CellTipTest, TipFollowsTheMouseOnTheTestClock)
{
    CTestGridWnd& grid = MakeTipGrid();
    CGXCellTipPlugin& tips = Tips();

    SCOPED_TRACE("no tip before the delay, a tip at it with the cell's text and size");
    MoveTo(CellPoint(2, 1));
    PvAdvanceTime(499);
    EXPECT_FALSE(tips.IsTipShown());
    PvAdvanceTime(1);
    ASSERT_TRUE(tips.IsTipShown());
    EXPECT_EQ(tips.GetShownTipId(), GX_CELLTIP_TEXT);
    EXPECT_EQ(TipText(), kLong);
    CGXCellTipWnd* pTip = tips.GetShownTipWnd();
    ASSERT_NE(pTip, nullptr);
    CRect rectTip;
    pTip->GetWindowRect(&rectTip);
    const CSize text = TextExtent(2, 1);
    EXPECT_EQ(rectTip.Size(), CSize(text.cx + 6, text.cy + 2));
    EXPECT_TRUE(pTip->IsWindowVisible());
    EXPECT_TRUE(pTip->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_GE(rectTip.left, 0);
    EXPECT_LE(rectTip.right, GetSystemMetrics(SM_CXSCREEN));

    SCOPED_TRACE("another cell while a tip shows replaces it at once");
    MoveTo(CellPoint(3, 1));
    EXPECT_TRUE(tips.IsTipShown());
    EXPECT_EQ(tips.GetTipRow(), 3u);
    EXPECT_EQ(TipText(), kLong2);

    SCOPED_TRACE("a fitting text shows none");
    MoveTo(CellPoint(5, 2));
    EXPECT_FALSE(tips.IsTipShown());
    PvAdvanceTime(600);
    EXPECT_FALSE(tips.IsTipShown());

    SCOPED_TRACE("moving within one cell does not restart the delay");
    MoveTo(CellPoint(4, 1, CPoint(3, 3)));
    PvAdvanceTime(300);
    MoveTo(CellPoint(4, 1, CPoint(20, 8)));
    PvAdvanceTime(200);
    EXPECT_TRUE(tips.IsTipShown());

    SCOPED_TRACE("leaving the grid hides it");
    CRect rectGrid;
    grid.GetWindowRect(&rectGrid);
    MoveTo(CPoint(rectGrid.right + 20, rectGrid.top + 20));
    PvAdvanceTime(500);
    EXPECT_FALSE(tips.IsTipShown());
    EXPECT_FALSE(pTip->IsWindowVisible());
}

TEST_F(CellTipTest, ACoveredAreaIsOneCell)
{
    CTestGridWnd& grid = MakeTipGrid();
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(7, 1, 7, 2));
    grid.SetValueRange(CGXCellRange(7, 1), "A covered text that still does not fit in two columns of cells");
    MoveTo(CellPoint(7, 1));
    PvAdvanceTime(300);
    MoveTo(CellPoint(7, 2));
    EXPECT_EQ(Tips().GetTipCol(), 1u);
    PvAdvanceTime(200);
    EXPECT_TRUE(Tips().IsTipShown());
}

// A click or a character hides the tip until the mouse reaches another cell and the delay
// passes again. A wheel notch, a scroll-bar scroll and a navigation key move the cells under
// the mouse: they also forget the cell, so the next move starts a new delay.
TEST_F(CellTipTest, InputHidesTheTipUntilANewDelay)
{
    struct Case {
        const char* name;
        void (*act)(CTestGridWnd&, CPoint);
        BOOL bForgetsCell;
    };
    const Case cases[] = {
        {"click", [](CTestGridWnd&, CPoint p) { PvInputClick(p.x, p.y); }, FALSE},
        {"character", [](CTestGridWnd& g, CPoint) { g.SendMessage(WM_CHAR, 'x', 1); }, FALSE},
        {"wheel notch", [](CTestGridWnd&, CPoint p) { PvInputWheel(p.x, p.y, -WHEEL_DELTA); }, TRUE},
        {"scroll bar", [](CTestGridWnd& g, CPoint) { g.SendMessage(WM_VSCROLL, SB_LINEDOWN); }, TRUE},
        {"navigation key", [](CTestGridWnd& g, CPoint) { g.SendMessage(WM_KEYDOWN, VK_DOWN, 1); }, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeTipGrid();
        grid.InstallIntelliMousePlugin();  // the wheel's own plug-in ends the wheel's walk
        for (ROWCOL r = 1; r <= 30; ++r)
            grid.SetValueRange(CGXCellRange(r, 2), kLong);
        grid.SetFocus();
        const CPoint p = CellPoint(2, 2);
        MoveTo(p);
        PvAdvanceTime(500);
        ASSERT_TRUE(Tips().IsTipShown());
        const ROWCOL nTopBefore = grid.GetTopRow();
        c.act(grid, p);
        PvPumpMessages();
        EXPECT_FALSE(Tips().IsTipShown());
        EXPECT_FALSE(Tips().IsTimerRunning());
        if (c.name == std::string("wheel notch")) {
            EXPECT_EQ(grid.GetTopRow(), nTopBefore + 3);
        }
        MoveTo(p + CSize(1, 0));
        PvAdvanceTime(499);
        EXPECT_FALSE(Tips().IsTipShown());
        PvAdvanceTime(1);
        EXPECT_EQ(Tips().IsTipShown(), c.bForgetsCell);
        if (!c.bForgetsCell) {
            MoveTo(CellPoint(grid.GetTopRow() + 3, 2));
            PvAdvanceTime(499);
            EXPECT_FALSE(Tips().IsTipShown());
            PvAdvanceTime(1);
            EXPECT_TRUE(Tips().IsTipShown());
        }
        m_grid.reset();
    }
}

TEST_F(CellTipTest, HeaderAndEditedCellsOnlyWithTheirOptions)
{
    struct Case {
        const char* name;
        BOOL bHeaderTips = FALSE, bEditTips = FALSE;
        ROWCOL nRow = 0, nCol = 0;
        BOOL bEdit = FALSE;
        BOOL bTip = FALSE;
    };
    const Case cases[] = {
        {.name = "header", .nRow = 0, .nCol = 1, .bTip = FALSE},
        {.name = "header with the option", .bHeaderTips = TRUE, .nRow = 0, .nCol = 1, .bTip = TRUE},
        {.name = "edited cell", .nRow = 2, .nCol = 1, .bEdit = TRUE, .bTip = FALSE},
        {.name = "edited cell with the option", .bEditTips = TRUE, .nRow = 2, .nCol = 1, .bEdit = TRUE, .bTip = TRUE},
        {.name = "current cell not edited", .nRow = 2, .nCol = 1, .bTip = TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeTipGrid(c.bHeaderTips, c.bEditTips);
        grid.SetStyleRange(CGXCellRange(0, 1), CGXStyle().SetValue(kLong));
        grid.PlaceCurrentCell(2, 1);
        if (c.bEdit) {
            grid.SetFocus();
            grid.SendMessage(WM_CHAR, 'z', 1);
            ASSERT_TRUE(grid.IsCurrentCellControlActive());
        }
        if (c.bEdit) {
            // The editor's own window lies over the cell and takes the mouse there.
            EXPECT_EQ(!Tips().IsExcluded(c.nRow, c.nCol), c.bTip);
        } else {
            MoveTo(CellPoint(c.nRow, c.nCol));
            PvAdvanceTime(500);
            EXPECT_EQ(Tips().IsTipShown(), c.bTip);
        }
        m_grid.reset();
    }
}

TEST_F(CellTipTest, HiddenAndZeroSizeRowsAndColumnsNever)
{
    CTestGridWnd& grid = MakeTipGrid();
    grid.StoreHideRow(5, TRUE);
    grid.SetRowHeights(6, 6, 0);
    grid.HideCols(3, 3);
    grid.SetColWidths(4, 4, 0);
    EXPECT_TRUE(Tips().IsExcluded(5, 1));
    EXPECT_TRUE(Tips().IsExcluded(6, 1));
    EXPECT_TRUE(Tips().IsExcluded(2, 3));
    EXPECT_TRUE(Tips().IsExcluded(2, 4));
    EXPECT_FALSE(Tips().IsExcluded(2, 1));
}

TEST_F(CellTipTest, BitmapTipsAndBmpTextInAnEditCell)
{
    PvSetBitmapResourceLoader([](UINT id, LPCTSTR, std::vector<BYTE>& out) {
        if (id != 4711)
            return false;
        out = GreyBmp(40, 50);
        return true;
    });
    CTestGridWnd& grid = MakeTipGrid();
    grid.SetStyleRange(CGXCellRange(8, 1), CGXStyle().SetControl(GX_IDS_CTRL_STATIC).SetValue("#BMP(4711)"));
    grid.SetValueRange(CGXCellRange(9, 1), "#BMP(4711) in an edit cell is a text that is long");

    MoveTo(CellPoint(8, 1));
    PvAdvanceTime(500);
    ASSERT_TRUE(Tips().IsTipShown());
    EXPECT_EQ(Tips().GetShownTipId(), GX_CELLTIP_BITMAP);
    CRect rect;
    Tips().GetShownTipWnd()->GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(40, 50));

    MoveTo(CellPoint(9, 1));
    EXPECT_EQ(Tips().GetShownTipId(), GX_CELLTIP_TEXT);
    EXPECT_EQ(TipText(), "#BMP(4711) in an edit cell is a text that is long");
    PvSetBitmapResourceLoader(nullptr);
    CGXDIBPool::GetPool()->RemoveAll();
}

// Why a cell needs a tip, at the grid's and the screen's edges.
TEST_F(CellTipTest, NeedsTipReasons)
{
    struct Case {
        const char* name;
        ROWCOL nRow = 0, nCol = 0;
        const char* pszText = "";
        DWORD nHAlign = 0;
        BOOL bEllipsis = FALSE;
        BOOL bWrap = FALSE;
        int nFontSize = 0;
        BOOL bAtScreenEdge = FALSE;
        int nBits = 0;
    };
    const Case cases[] = {
        {.name = "fits", .nRow = 2, .nCol = 2, .pszText = "ab", .nBits = 0},
        {.name = "too wide", .nRow = 2, .nCol = 2, .pszText = kLong, .nBits = GX_TIP_WIDER},
        {.name = "wrapped lines that fit", .nRow = 2, .nCol = 2, .pszText = "ab cd", .bWrap = TRUE, .nBits = 0},
        {.name = "wrapped lines cut off below", .nRow = 2, .nCol = 2, .pszText = kLong, .bWrap = TRUE,
         .nBits = GX_TIP_TALLER},
        {.name = "too tall", .nRow = 2, .nCol = 2, .pszText = "ab", .nFontSize = 40, .nBits = GX_TIP_TALLER},
        {.name = "off the grid's right edge", .nRow = 2, .nCol = 5, .pszText = "ab", .nHAlign = 2,
         .nBits = GX_TIP_GRID_HORZ},
        {.name = "below the grid", .nRow = 12, .nCol = 2, .pszText = "ab", .nBits = GX_TIP_GRID_VERT},
        {.name = "off the screen's right edge", .nRow = 2, .nCol = 5, .pszText = "ab", .nHAlign = 2,
         .bAtScreenEdge = TRUE, .nBits = GX_TIP_GRID_HORZ | GX_TIP_SCREEN_HORZ},
        {.name = "below the screen", .nRow = 12, .nCol = 2, .pszText = "ab", .bAtScreenEdge = TRUE,
         .nBits = GX_TIP_GRID_VERT | GX_TIP_SCREEN_VERT},
        {.name = "centred with dots", .nRow = 2, .nCol = 2, .pszText = kLong, .nHAlign = 1, .bEllipsis = TRUE,
         .nBits = GX_TIP_WIDER},
        {.name = "right-aligned with dots", .nRow = 2, .nCol = 2, .pszText = kLong, .nHAlign = 2, .bEllipsis = TRUE,
         .nBits = GX_TIP_WIDER},
        {.name = "right-aligned without dots runs off the grid's left", .nRow = 2, .nCol = 1, .pszText = kLong,
         .nHAlign = 2, .nBits = GX_TIP_WIDER | GX_TIP_GRID_HORZ | GX_TIP_SCREEN_HORZ},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeTipGrid(FALSE, FALSE, 1000, 800);
        const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        m_frame->SetWindowPos(nullptr, 0, 0, screen.cx + 600, screen.cy + 600, SWP_NOZORDER);
        grid.SetColWidths(1, 6, 100);
        grid.SetRowHeights(1, 30, 30);
        // The window's right edge cuts column 5 and its bottom edge row 12 in their middles; at
        // the screen's edge the screen cuts them at the same places.
        CRect rectWnd, rectClient;
        grid.GetWindowRect(&rectWnd);
        grid.GetClientRect(&rectClient);
        const CSize bars(rectWnd.Width() - rectClient.Width(), rectWnd.Height() - rectClient.Height());
        const int cx = grid.CellToRect(2, 5).left + 50 + bars.cx, cy = grid.CellToRect(12, 2).top + 8 + bars.cy;
        CPoint at(10, 10);
        if (c.bAtScreenEdge) {
            at = CPoint(screen.cx - cx + bars.cx, screen.cy - cy + bars.cy);
            m_frame->ScreenToClient(&at);
        }
        grid.SetWindowPos(nullptr, at.x, at.y, cx, cy, SWP_NOZORDER);
        CGXStyle style;
        style.SetValue(c.pszText).SetWrapText(c.bWrap);
        if (c.nHAlign)
            style.SetHorizontalAlignment(c.nHAlign);
        if (c.bEllipsis)
            style.SetUserAttribute(GX_IDS_UA_ELLIPSISTYPE_ATTR, "1");
        if (c.nFontSize)
            style.SetFont(CGXFont().SetSize(c.nFontSize));
        grid.SetStyleRange(CGXCellRange(c.nRow, c.nCol), style);
        CGXStyle composed;
        grid.ComposeCellStyle(c.nRow, c.nCol, composed);
        CGXControl* pControl = grid.GetRegisteredControl(composed.GetControl());
        ASSERT_NE(pControl, nullptr);
        EXPECT_EQ(pControl->NeedsCellTip(c.nRow, c.nCol, composed), c.nBits);
        m_grid.reset();
    }
}
