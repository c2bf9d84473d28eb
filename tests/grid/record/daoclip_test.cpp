// The record grids' clipboard: cut and a plain paste work on the current cell's control, a range
// paste writes the records it touched, a text paste adds no rows where records cannot be
// appended, and clearing a cell writes its record.

#include "recgrid_fixture.h"

#include "../features/gxcliptext.h"

namespace {

using DaoClipTest = RecordGridTest;

TEST_F(DaoClipTest, CutAndPlainPasteAimAtTheCurrentCellOnly)
{
    MakeDb({DataTable(), FillData(5)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    ASSERT_TRUE(grid.PlaceCurrentCell(2, 2));
    EXPECT_TRUE(grid.CanCut());
    // A selection of two cells is no single target.
    const CGXCellRange two(2, 2, 2, 3);
    grid.SetSelection(&two);
    EXPECT_FALSE(grid.CanCut());
    EXPECT_FALSE(grid.Cut());
    SetClipText("Smith");
    EXPECT_FALSE(grid.CanPaste());
    EXPECT_FALSE(grid.Paste());
    grid.ClearRangeSelection();

    // Cut takes the value onto the clipboard and the cleared field into the record.
    ASSERT_TRUE(grid.Cut());
    EXPECT_EQ(ClipText(), "Last2");
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 2"), "<null>");

    // A plain paste activates the control and replaces its selection; leaving the row writes it.
    ASSERT_TRUE(grid.PlaceCurrentCell(3, 2));
    SetClipText("Smith");
    ASSERT_TRUE(grid.CanPaste());
    ASSERT_TRUE(grid.Paste());
    ASSERT_TRUE(grid.IsCurrentCellControlActive());
    ASSERT_TRUE(grid.PlaceCurrentCell(4, 2));
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 3"), "Smith");
}

TEST_F(DaoClipTest, RangePasteWritesTheRecordsAndAddsNoRowWithoutAppending)
{
    MakeDb({DataTable(), FillData(3)});
    CDaoRecordset& rs = OpenRecordset("SELECT * FROM Data");
    CGXDaoGrid& grid = MakeGrid(&rs);
    Param().m_bRangePasteEnabled = TRUE;
    Param().m_bAllowAppend = FALSE;
    Key(VK_END, true);
    Paint();
    const ROWCOL nRows = grid.RowCount();
    ASSERT_TRUE(grid.PlaceCurrentCell(2, 2));
    SetClipText("Ames\tAda\r\nBrook\tBea\r\nCole\tCy\r\n");
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(grid.EditMode(), gxNoEdit);
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 2"), "Ames");
    EXPECT_EQ(DbText("SELECT [First Name] FROM Data WHERE Id = 3"), "Bea");
    EXPECT_EQ(DbText("SELECT count(*) FROM Data"), "3");
    EXPECT_EQ(grid.RowCount(), nRows);
}

TEST_F(DaoClipTest, ClearingFormatsNeedsStoredFormattingAndAClearedCellIsWritten)
{
    MakeDb({DataTable(), FillData(3)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    Param().m_bStoreCellFormatting = FALSE;
    CGXRangeList list;
    list.AddRange(CGXCellRange(2, 3));
    EXPECT_FALSE(grid.ClearCells(list, TRUE));
    EXPECT_EQ(Text(2, 3), "First2");
    ASSERT_TRUE(grid.ClearCells(list, FALSE));
    EXPECT_EQ(grid.EditMode(), gxNoEdit);
    EXPECT_EQ(DbText("SELECT [First Name] FROM Data WHERE Id = 2"), "<null>");
}

}  // namespace
