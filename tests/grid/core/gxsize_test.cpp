#include <gtest/gtest.h>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/win/win.h"

namespace {

// Answers from the parameter object's hidden bits, as the hiding feature does.
struct BitsHide : CGXAbstractGridHideCellsImp {
    BOOL IsRowHidden(CGXGridCore* g, ROWCOL n) override { return GXGetHiddenBit(g->GetParam()->m_abHiddenRows, n); }
    BOOL IsColHidden(CGXGridCore* g, ROWCOL n) override { return GXGetHiddenBit(g->GetParam()->m_abHiddenCols, n); }
};

// A grid whose font units the test chooses (0: measured from the Standard style's font).
struct UnitGrid : CGXGridCore {
    int nVertUnit = 0, nHorzUnit = 0;
    BitsHide hide;
    UnitGrid(ROWCOL nRows = 5, ROWCOL nCols = 5)
    {
        m_pHideCellsImp = &hide;
        InitGridLibrary(nullptr);
        Initialize();
        GetData()->SetRowCount(nRows);
        GetData()->SetColCount(nCols);
    }
    int VertFontUnit() override { return nVertUnit ? nVertUnit : CGXGridCore::VertFontUnit(); }
    int HorzFontUnit() override { return nHorzUnit ? nHorzUnit : CGXGridCore::HorzFontUnit(); }
    // The Standard style without a font: the fallback units 15 and 10.
    void UseFallbackUnits()
    {
        LookupStandardStyle()->SetIncludeFont(FALSE);
        ComputeFontUnits();
    }
};

TEST(GXGridSizes, StoredInThousandthsOfTheUnit)
{
    UnitGrid grid;
    grid.nVertUnit = 16;
    EXPECT_TRUE(grid.StoreRowHeight(3, 20));
    LONG stored = 0;
    ASSERT_TRUE(grid.GetParam()->m_RowHeights.Lookup(3, stored));
    EXPECT_EQ(stored, 1240) << "1000 div 16 = 62, taken first";
    EXPECT_EQ(grid.RowHeight(3), 20);
}

TEST(GXGridSizes, FallbackUnitsAndDefaults)
{
    UnitGrid grid;
    grid.UseFallbackUnits();
    EXPECT_EQ(grid.VertFontUnit(), 15);
    EXPECT_EQ(grid.HorzFontUnit(), 10);
    struct Case {
        const char* name;
        int size, expected;
    };
    const Case cases[] = {
        {"ordinary row", grid.RowHeight(1), 18},
        {"ordinary column", grid.ColWidth(1), 100},
        {"header row", grid.RowHeight(0), 21},
        {"header column", grid.ColWidth(0), 60},
        {"default row height", grid.DefaultRowHeight(), 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.size, c.expected);
    }
}

TEST(GXGridSizes, DefaultsNegativeSizesAndHiddenRows)
{
    UnitGrid grid;
    grid.UseFallbackUnits();
    EXPECT_FALSE(grid.SetDefaultRowHeight(0));
    EXPECT_FALSE(grid.SetDefaultColWidth(-3));
    EXPECT_EQ(grid.DefaultRowHeight(), 18) << "a refused default changes nothing";
    EXPECT_TRUE(grid.SetDefaultRowHeight(30));
    EXPECT_EQ(grid.RowHeight(2), 30);

    grid.StoreRowHeight(2, 40);
    EXPECT_EQ(grid.RowHeight(2), 40);
    grid.StoreRowHeight(2, -1);
    EXPECT_EQ(grid.RowHeight(2), 30) << "a negative size falls back to the default";

    GXSetHiddenBit(grid.GetParam()->m_abHiddenRows, 4, TRUE);
    EXPECT_EQ(grid.RowHeight(4), 0);
    EXPECT_EQ(grid.SumRowHeights(3, 5), 60);
}

TEST(GXGridSizes, SetRowHeightsRecordsAndReports)
{
    UnitGrid grid;
    grid.UseFallbackUnits();
    EXPECT_TRUE(grid.SetRowHeights(1, 3, 25));
    EXPECT_EQ(grid.RowHeight(1), 25);
    EXPECT_EQ(grid.RowHeight(3), 25);
    EXPECT_EQ(grid.RowHeight(4), 18);
    const int sizes[] = {11, 12};
    EXPECT_TRUE(grid.SetColWidths(2, 3, 0, sizes));
    EXPECT_EQ(grid.ColWidth(2), 11);
    EXPECT_EQ(grid.ColWidth(3), 12);
    EXPECT_TRUE(grid.ChangeDefaultRowHeight(22));
    EXPECT_EQ(grid.RowHeight(5), 22);
    EXPECT_FALSE(grid.ChangeDefaultRowHeight(0));
}

// A unit above 1000 (a large printer font) or of 0 made the divisor 0.
TEST(GXGridSizes, ExtremeUnitsDoNotCrash)
{
    for (int nUnit : {2000, 1001, -1}) {
        SCOPED_TRACE(nUnit);
        UnitGrid grid;
        grid.nVertUnit = nUnit;
        grid.StoreRowHeight(1, 20);
        EXPECT_EQ(grid.RowHeight(1), 20);
        EXPECT_GE(grid.DefaultRowHeight(), 0);
    }
    UnitGrid grid;
    grid.nHorzUnit = 2000;
    EXPECT_EQ(grid.DefaultColWidth(), 10000);
}

TEST(GXGridSizes, ZoomReadsAHundredWhilePrinting)
{
    UnitGrid grid;
    grid.SetZoom(200);
    EXPECT_EQ(grid.ZoomPercent(), 200);
    grid.SetPrinting(TRUE);
    EXPECT_EQ(grid.ZoomPercent(), 100);
    grid.SetPrinting(FALSE);
    grid.GetParam()->m_bLockZoom = 1;
    EXPECT_EQ(grid.ZoomPercent(), 100);
}

// The units measured once for a font serve every grid with that font, and only that font at that
// zoom: another size or zoom is measured for itself.
TEST(GXGridSizes, MeasuredUnitsFollowTheFontAndTheZoom)
{
    auto units = [](double dSize, int nZoom) {
        UnitGrid grid;
        CGXStyle standard;
        standard.SetFont(CGXFont().SetFaceName("Arial").SetSize(dSize));
        grid.ModifyStandardStyle(standard, gxOverride, GX_NOREDRAW);
        if (nZoom != 100)
            grid.SetZoom(nZoom, GX_NOREDRAW);
        grid.ComputeFontUnits();
        return std::make_pair(grid.VertFontUnit(), grid.HorzFontUnit());
    };
    const auto small = units(8, 100);
    const auto large = units(20, 100);
    const auto zoomed = units(8, 250);
    EXPECT_GT(large.first, small.first);
    EXPECT_GT(large.second, small.second);
    EXPECT_GT(zoomed.first, small.first);
    EXPECT_EQ(units(8, 100), small) << "measured again, the same font gives the same units";
    EXPECT_EQ(units(20, 100), large);
}

// One layout: fallback units (header row 21, rows 18, header column 60, columns 100), row 3 and
// column 3 hidden, the drawing area 400 x 200, the current cell at (2, 2).
//   columns: 0 [0,60) 1 [60,160) 2 [160,260) 3 hidden 4 [260,360) 5 [360,460)
//   rows:    0 [0,21) 1 [21,39) 2 [39,57) 3 hidden 4 [57,75) 5 [75,93), nothing below 93
TEST(GXGridHitTest, KindsOnOneLayout)
{
    UnitGrid grid;
    grid.UseFallbackUnits();
    GXSetHiddenBit(grid.GetParam()->m_abHiddenRows, 3, TRUE);
    GXSetHiddenBit(grid.GetParam()->m_abHiddenCols, 3, TRUE);
    const CRect area(0, 0, 400, 200);
    grid.SetDrawingAreaOverride(&area);
    grid.m_bHasCurrentCell = TRUE;
    grid.m_nCurrentRow = grid.m_nCurrentCol = 2;
    struct Case {
        const char* name;
        CPoint pt;
        WORD resizeMask;
        DWORD fill;
        int hit;
        ROWCOL row, col;
    };
    const WORD kDefaultMask = 178;
    const Case cases[] = {
        {"outside the area", {450, 10}, kDefaultMask, 0, GX_NOHIT, 6, 6},
        {"below the last row", {110, 150}, kDefaultMask, 0, GX_NOHIT, 6, 1},
        {"data cell", {110, 30}, kDefaultMask, 0, GX_CELLHIT, 1, 1},
        {"row header", {30, 30}, kDefaultMask, 0, GX_HEADERHIT, 1, 0},
        {"negative point is the corner", {-5, -5}, kDefaultMask, 0, GX_HEADERHIT, 0, 0},
        {"column border, right edge", {158, 10}, kDefaultMask, 0, GX_VERTLINE, 0, 1},
        {"column border, left edge", {161, 10}, kDefaultMask, 0, GX_VERTLINE, 0, 1},
        {"near edge over a hidden column", {261, 10}, kDefaultMask, 0, GX_VERTLINE, 0, 2},
        {"hidden column border", {264, 10}, kDefaultMask, 0, GX_VERTHIDDEN, 0, 3},
        {"row border", {30, 37}, kDefaultMask, 0, GX_HORZLINE, 1, 0},
        {"hidden row border", {30, 60}, kDefaultMask, 0, GX_HORZHIDDEN, 3, 0},
        {"no border outside the headers", {158, 30}, kDefaultMask, 0, GX_CELLHIT, 1, 1},
        {"resize anywhere", {158, 30}, kDefaultMask | GX_TRACK_ALL, 0, GX_VERTLINE, 1, 1},
        {"no border without the mask", {158, 10}, 0, 0, GX_HEADERHIT, 0, 1},
        {"selection frame", {163, 48}, kDefaultMask, 1, GX_SELEDGEHIT, 2, 2},
        {"fill handle", {258, 55}, kDefaultMask, 1, GX_FILLHANDLEHIT, 2, 2},
        {"no frame without the fill option", {163, 48}, kDefaultMask, 0, GX_CELLHIT, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid.GetParam()->SetColResizeFlags(c.resizeMask);
        grid.GetParam()->SetRowResizeFlags(c.resizeMask);
        grid.GetParam()->m_nFillFlags = c.fill;
        ROWCOL nRow = 99, nCol = 99;
        EXPECT_EQ(grid.HitTest(c.pt, &nRow, &nCol), c.hit);
        EXPECT_EQ(nRow, c.row);
        EXPECT_EQ(nCol, c.col);
    }
}

TEST(GXGridCoordinates, ViewIndexesAndRectangles)
{
    UnitGrid grid(30, 10);
    grid.UseFallbackUnits();
    const CRect area(0, 0, 400, 200);
    grid.SetDrawingAreaOverride(&area);
    grid.GetParam()->m_nFrozenRows = 1;
    grid.m_nTopRow = 5;
    EXPECT_EQ(grid.RowToViewIndex(1), 1u) << "frozen rows keep their numbers";
    EXPECT_EQ(grid.RowToViewIndex(3), 0u) << "scrolled out above the top row";
    EXPECT_EQ(grid.RowToViewIndex(5), 2u);
    EXPECT_EQ(grid.ViewIndexToRow(2), 5u);
    EXPECT_EQ(grid.RowTopY(5), 21 + 18);
    EXPECT_EQ(grid.CellToRect(5, 1), CRect(60, 39, 160, 57));
    EXPECT_TRUE(grid.RangeToRect(CGXCellRange(3, 1, 3, 1)).IsRectEmpty()) << "scrolled out";
    EXPECT_EQ(grid.LastVisibleRow(), 13u);
}

}  // namespace

namespace {

// While the window is shown, a row below the frozen ones is never taller than what is left of
// the window below the frozen rows.
TEST(GXGridSizes, RowsAreLimitedToTheVisibleWindow)
{
    UnitGrid grid;
    grid.UseFallbackUnits();
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Grid", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr));
    grid.SetGridWnd(&wnd);
    grid.StoreRowHeight(2, 500);
    EXPECT_EQ(grid.RowHeight(2), 500) << "a hidden window limits nothing";
    wnd.ShowWindow(SW_SHOW);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(grid.RowHeight(2), client.Height() - 21) << "the header row stays";
    grid.SetLimitRowHeightToWindow(FALSE);
    EXPECT_EQ(grid.RowHeight(2), 500);
    grid.SetGridWnd(nullptr);
    wnd.DestroyWindow();
}

}  // namespace

// Without the hiding feature nothing is hidden and nothing hides.
TEST(GXGridSizes, NothingHidesWithoutTheFeature)
{
    UnitGrid grid(5, 5);
    grid.m_pHideCellsImp = nullptr;
    GXSetHiddenBit(grid.GetParam()->m_abHiddenCols, 3, TRUE);
    EXPECT_FALSE(grid.IsColHidden(3));
    EXPECT_FALSE(grid.HideCols(2, 3));
    EXPECT_FALSE(grid.HideRows(2, 3));
    EXPECT_FALSE(grid.StoreHideCol(2, TRUE));
    EXPECT_NE(grid.ColWidth(3), 0);
}
