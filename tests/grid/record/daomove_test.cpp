// Moving columns and rows of a DAO grid: the lines go on showing their fields and records, the
// header names go with them, an archived parameter object keeps the order, and Undo puts it back.

#include "recgrid_fixture.h"

#include "platform/base/CFile.h"

namespace {

using DaoMoveTest = RecordGridTest;

TEST_F(DaoMoveTest, MovedColumnsAndRowsKeepTheirFieldsAndRecords)
{
    MakeDb({DataTable(), FillData(20)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    ASSERT_EQ(Text(0, 2), "Last Name");
    // Last Name (column 2) goes after First Name: it becomes column 3.
    ASSERT_TRUE(grid.MoveCols(2, 2, 3));
    EXPECT_EQ(Text(0, 2), "First Name");
    EXPECT_EQ(Text(0, 3), "Last Name");
    EXPECT_EQ(Text(5, 2), "First5");
    EXPECT_EQ(Text(5, 3), "Last5");
    EXPECT_EQ(grid.FieldIndexOfCol(3), 1);

    // Record 1 goes to row 4; rows 2-4 move up.
    ASSERT_TRUE(grid.MoveRows(1, 1, 4));
    EXPECT_EQ(Text(4, 1), "1");
    EXPECT_EQ(Text(1, 1), "2");
    EXPECT_EQ(Text(5, 1), "5");

    // The order survives the parameter object's archive.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<CObject*>(&Param());
    }
    file.SeekToBegin();
    CObject* pRead = nullptr;
    {
        CArchive ar(&file, CArchive::load);
        ar >> pRead;
    }
    std::unique_ptr<CObject> owned(pRead);
    auto* pLoaded = dynamic_cast<CGXDaoParam*>(pRead);
    ASSERT_NE(pLoaded, nullptr);
    ASSERT_GT(pLoaded->m_ColOrder.GetSize(), 3);
    EXPECT_EQ(pLoaded->m_ColOrder[2], 3u);
    EXPECT_EQ(pLoaded->m_ColOrder[3], 2u);

    ASSERT_TRUE(grid.Undo());  // the row move
    ASSERT_TRUE(grid.Undo());  // the column move
    EXPECT_EQ(Text(0, 2), "Last Name");
    EXPECT_EQ(Text(5, 2), "Last5");
    EXPECT_EQ(Text(1, 1), "1");
    EXPECT_EQ(Text(4, 1), "4");
}

TEST_F(DaoMoveTest, InsertedAndRemovedColumnsLeaveTheOthersOnTheirFields)
{
    MakeDb({DataTable(), FillData(5)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    ASSERT_TRUE(grid.MoveCols(2, 2, 3));  // order: Id, First Name, Last Name, Notes
    ASSERT_TRUE(grid.InsertCols(2, 1));
    // The new column shows the next field after the last one (none here); the others keep theirs.
    EXPECT_EQ(grid.FieldIndexOfCol(1), 0);
    EXPECT_EQ(grid.FieldIndexOfCol(2), 4);
    EXPECT_EQ(grid.FieldIndexOfCol(3), 2);
    EXPECT_EQ(grid.FieldIndexOfCol(4), 1);
    EXPECT_EQ(Text(2, 4), "Last2");
    ASSERT_TRUE(grid.RemoveCols(2, 2));
    EXPECT_EQ(grid.FieldIndexOfCol(2), 2);
    EXPECT_EQ(grid.FieldIndexOfCol(3), 1);
    EXPECT_EQ(Text(2, 2), "First2");
    EXPECT_EQ(Text(2, 3), "Last2");
    EXPECT_EQ(Text(2, 4), "note");
}

}  // namespace
