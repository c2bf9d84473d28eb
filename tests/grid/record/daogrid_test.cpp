// The DAO grid over keyed databases made here: lazy counting, field types, the record edit,
// rebinding, the row header, sorting and deleting.

#include "recgrid_fixture.h"

#include "grid/record/gxrowhdr.h"

namespace {

using DaoGridTest = RecordGridTest;

TEST_F(DaoGridTest, DynasetCountsInBlocksUntilCtrlEnd)
{
    MakeDb({DataTable(), FillData(1200)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    EXPECT_EQ(grid.RowCount(), 500u);
    EXPECT_EQ(grid.AppendRowNumber(), CGXGridCore::GX_INVALID);
    EXPECT_EQ(grid.RecordCount(), GX_MAXROWCOL_UNKNOWN);
    EXPECT_EQ(Text(1, 2), "Last1");
    Key(VK_END, true);
    EXPECT_EQ(grid.RowCount(), 1201u);
    EXPECT_EQ(grid.AppendRowNumber(), 1201u);
    EXPECT_EQ(grid.RecordCount(), 1200u);
    EXPECT_EQ(Text(1200, 2), "Last1200");
}

// Initialising paints nothing: the window's first paint comes once the grid is ready, with the
// current cell already on the first record.
TEST_F(DaoGridTest, InitialisingPaintsOnlyOnceItIsDone)
{
    struct CountingGrid : CGXDaoGrid {
        using CGXDaoGrid::CGXDaoGrid;
        void OnGridDraw(CDC* pDC) override
        {
            ++nDraws;
            CGXDaoGrid::OnGridDraw(pDC);
        }
        int nDraws = 0;
    };
    MakeDb({DataTable(), FillData(100)});
    m_wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 640, 480, nullptr, nullptr);
    auto owned = std::make_unique<CountingGrid>(&m_wnd);
    CountingGrid& grid = *owned;
    m_grid = std::move(owned);
    m_wnd.m_pGrid = &grid;
    m_wnd.m_bPaintGrid = true;
    grid.SetRecordset(&OpenRecordset("SELECT * FROM Data"));
    grid.Initialize();
    EXPECT_EQ(grid.nDraws, 0);
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_TRUE(grid.QueryCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 1u);
    EXPECT_EQ(nCol, 1u);
    m_wnd.UpdateWindow();
    EXPECT_EQ(grid.nDraws, 1);
}

TEST_F(DaoGridTest, TableRecordsetAndEmptyRecordset)
{
    MakeDb({DataTable(), FillData(1200), "CREATE TABLE Empty (Id LONG, Name TEXT(10))"});
    {
        CGXDaoGrid& grid = MakeGrid(&OpenRecordset("Data", dbOpenTable));
        EXPECT_FALSE(grid.IsRecordCountKnown());
        EXPECT_EQ(grid.RowCount(), 500u);
        grid.EnsureCountComplete();
        EXPECT_EQ(grid.RowCount(), 1201u);
        EXPECT_EQ(Text(700, 1), "700");
    }
    TearDown();
    SetUp();
    MakeDb({"CREATE TABLE Empty (Id LONG, Name TEXT(10))"});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Empty"));
    EXPECT_TRUE(Param().m_bLastRecordSeen);
    EXPECT_EQ(grid.RecordCount(), 0u);
    EXPECT_EQ(grid.RowCount(), 1u);  // the append row only
    EXPECT_EQ(grid.AppendRowNumber(), 1u);
}

TEST_F(DaoGridTest, TargetsRoundToBlocksAndOnlyLongJumpsWait)
{
    MakeDb({DataTable(), FillData(1200)});
    WaitCursorCounter waits;
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    EXPECT_EQ(Param().m_nLastFetchedRecord, 499);
    waits.Reset();
    grid.PrepareRows(501);
    EXPECT_EQ(Param().m_nLastFetchedRecord, 999);
    EXPECT_EQ(waits.Count(), 0);
    grid.PrepareRows(CGXGridCore::GX_INVALID);
    EXPECT_EQ(Param().m_nLastFetchedRecord, 1199);
    EXPECT_TRUE(Param().m_bLastRecordSeen);
    EXPECT_EQ(waits.Count(), 1);  // reading to the end may take long
}

TEST_F(DaoGridTest, AJumpOfMoreThanABlockShowsTheWaitCursor)
{
    MakeDb({DataTable(), FillData(1200)});
    WaitCursorCounter waits;
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    waits.Reset();
    grid.PrepareRows(1001);
    EXPECT_EQ(Param().m_nLastFetchedRecord, 1199);
    EXPECT_EQ(waits.Count(), 1);
}

}  // namespace
