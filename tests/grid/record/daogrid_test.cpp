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
