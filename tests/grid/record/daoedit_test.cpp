// The DAO grid's field types and record edits on keyed databases made here.

#include "recgrid_fixture.h"

namespace {

using DaoEditTest = RecordGridTest;

const char* kTypesTable =
    "CREATE TABLE T (Flag BOOLEAN, Grade BYTE, Small SHORT, Big LONG, Price CURRENCY, Ratio SINGLE, Amount DOUBLE, "
    "Born DATETIME, Name TEXT(20), Notes MEMO, Photo LONGBINARY, Tag GUID)";
const char* kTypesRow = "INSERT INTO T VALUES (-1, 7, 12, 42, 3.5, 0.5, 2.5, 0, 'Ann', 'long note', x'00', "
                        "'{00000000-0000-0000-0000-000000000001}')";

TEST_F(DaoEditTest, FieldTypesGiveStylesWidthsTextsAndStoreBack)
{
    MakeDb({kTypesTable, kTypesRow});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM T"));
    struct Case {
        const char* field;
        int style;
        long chars;        // width in characters before the cap
        const char* shown; // null: not compared
        const char* stored;
        const char* readBack;
    };
    const Case cases[] = {
        {.field = "Flag", .style = gxDaoBoolean, .chars = 4, .shown = "TRUE", .stored = "false", .readBack = "0"},
        {.field = "Grade", .style = gxDaoNumeric, .chars = 5, .shown = "7", .stored = "200", .readBack = "200"},
        {.field = "Small", .style = gxDaoNumeric, .chars = 6, .shown = "12", .stored = "-32768", .readBack = "-32768"},
        {.field = "Big", .style = gxDaoNumeric, .chars = 11, .shown = "42", .stored = "2147483647", .readBack = "2147483647"},
        {.field = "Price", .style = gxDaoCurrency, .chars = 11, .shown = nullptr, .stored = "4.25", .readBack = "4.25"},
        {.field = "Ratio", .style = gxDaoNumeric, .chars = 29, .shown = "0.5", .stored = "1.5", .readBack = "1.5"},
        {.field = "Amount", .style = gxDaoNumeric, .chars = 29, .shown = "2.5", .stored = "1e3", .readBack = "1000"},
        {.field = "Born", .style = gxDaoDate, .chars = 24, .shown = nullptr, .stored = "2", .readBack = "1/1/1900"},
        {.field = "Name", .style = gxDaoText, .chars = 20, .shown = "Ann", .stored = "Bea", .readBack = "Bea"},
        {.field = "Notes", .style = gxDaoMemo, .chars = 255, .shown = "long note", .stored = "memo", .readBack = "memo"},
        {.field = "Tag", .style = gxDaoGUID, .chars = 50, .shown = "", .stored = nullptr, .readBack = nullptr},
    };
    ASSERT_EQ(grid.ColCount(), 12u);
    for (ROWCOL c = 1; c <= 12; ++c) {
        const CString name = m_grid->StoredCellValueText(0, c);
        const Case* pc = nullptr;
        for (const Case& k : cases)
            if (name == k.field)
                pc = &k;
        if (!pc)
            continue;
        SCOPED_TRACE(pc->field);
        CGXStyle column;
        ASSERT_TRUE(grid.GetData()->GetStyleRowCol(0, c, column, gxCopy, -1));
        EXPECT_EQ(column.GetBaseStyle(), Param().m_awFieldStyleIds[pc->style] & 0xFF);
        if (pc->chars * grid.HorzFontUnit() < 600) {  // wider columns are limited to the window
            EXPECT_EQ(grid.ColWidth(c), int(pc->chars * grid.HorzFontUnit()));
        }
        if (pc->shown) {
            EXPECT_EQ(Text(1, c), pc->shown);
        }
        if (!pc->stored)
            continue;
        Store(1, c, pc->stored);
        CString sError;
        ASSERT_TRUE(grid.UpdateRecord(&sError)) << sError;
        EXPECT_EQ(DbText(std::string("SELECT [") + pc->field + "] FROM T"), pc->readBack);
    }
}

TEST_F(DaoEditTest, TextsThatDoNotFitTheFieldAreRefused)
{
    MakeDb({kTypesTable, kTypesRow});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM T"));
    struct Case {
        ROWCOL col;
        const char* text;
        const char* warning;
    };
    const Case cases[] = {
        {2, "300", "The value \"300\" is not valid for the field \"Grade\"."},
        {2, "abc", "The value \"abc\" is not valid for the field \"Grade\"."},
        {3, "40000", "The value \"40000\" is not valid for the field \"Small\"."},
        {8, "xyz", "The value \"xyz\" is not valid for the field \"Born\"."},
        {1, "maybe", "The value \"maybe\" is not valid for the field \"Flag\"."},
        {6, "1e999", "The value \"1e999\" is not valid for the field \"Ratio\"."},
        {11, "0102", "Trying to store unsupported field type to data source"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        Store(1, k.col, k.text);
        CString sError;
        EXPECT_FALSE(grid.UpdateRecord(&sError));
        EXPECT_EQ(sError, k.warning);
        EXPECT_EQ(grid.EditMode(), DWORD(gxEditRecord));
        grid.DiscardRecordEdit();
    }
    EXPECT_EQ(DbText("SELECT Grade FROM T"), "7");
    // An empty text stores NULL.
    Store(1, 2, "");
    CString sError;
    ASSERT_TRUE(grid.UpdateRecord(&sError)) << sError;
    EXPECT_EQ(DbText("SELECT Grade FROM T"), "<null>");
}

TEST_F(DaoEditTest, ARefusedFieldKeepsTheRecordAndItsEditUntilCorrected)
{
    MakeDb({kTypesTable, kTypesRow});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM T"));
    Store(1, 9, "Cleo");
    Store(1, 2, "300");
    // Leaving the row writes it: refused, the warning is shown and the user stays.
    EXPECT_FALSE(grid.PlaceCurrentCell(2, 1));
    EXPECT_EQ(grid.EditMode(), DWORD(gxEditRecord));
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0], "The value \"300\" is not valid for the field \"Grade\".");
    EXPECT_EQ(DbText("SELECT Name FROM T"), "Ann");
    EXPECT_EQ(DbText("SELECT Grade FROM T"), "7");
    EXPECT_EQ(Text(1, 9), "Cleo");  // the pending values are kept
    Store(1, 2, "30");
    CString sError;
    ASSERT_TRUE(grid.UpdateRecord(&sError)) << sError;
    EXPECT_EQ(DbText("SELECT Name FROM T"), "Cleo");
    EXPECT_EQ(DbText("SELECT Grade FROM T"), "30");
}

TEST_F(DaoEditTest, EditStates)
{
    MakeDb({DataTable(), FillData(3)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    ASSERT_EQ(grid.RowCount(), 4u);  // three records and the append row
    CString sError;
    EXPECT_FALSE(grid.UpdateRecord(&sError));
    EXPECT_EQ(sError, "Error: must enter Edit or AddNew mode before updating.");

    // Storing the text the record holds ends the edit unwritten.
    Store(1, 2, "Last1");
    EXPECT_EQ(grid.EditMode(), DWORD(gxNoEdit));

    // Leaving the row writes it.
    Store(1, 2, "Doe");
    EXPECT_EQ(grid.EditMode(), DWORD(gxEditRecord));
    EXPECT_TRUE(grid.MoveCurrentCell(3));
    EXPECT_EQ(grid.EditMode(), DWORD(gxNoEdit));
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 1"), "Doe");

    // Esc cancels.
    Store(2, 2, "Roe");
    EXPECT_EQ(Text(2, 2), "Roe");
    Key(VK_ESCAPE);
    EXPECT_EQ(grid.EditMode(), DWORD(gxNoEdit));
    EXPECT_EQ(Text(2, 2), "Last2");
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 2"), "Last2");

    // Adding shows the new record and a new append row.
    Store(4, 1, "4");
    EXPECT_EQ(grid.EditMode(), DWORD(gxAddNewRecord));
    EXPECT_EQ(grid.RowCount(), 5u);
    Store(4, 2, "New");
    ASSERT_TRUE(grid.UpdateRecord(&sError)) << sError;
    EXPECT_EQ(grid.RecordCount(), 4u);
    EXPECT_EQ(grid.RowCount(), 5u);
    EXPECT_EQ(DbText("SELECT [Last Name] FROM Data WHERE Id = 4"), "New");
    EXPECT_EQ(Text(4, 2), "New");

    // Deleting with the append row selected does nothing.
    const CGXCellRange rows(3, 1, 5, 4);
    grid.SetSelection(&rows, GX_NOREDRAW);
    EXPECT_FALSE(grid.DeleteSelectedRecords());
    EXPECT_EQ(DbText("SELECT count(*) FROM Data"), "4");
    // Without it, the records go.
    const CGXCellRange one(2, 1, 2, 4);
    grid.ClearRangeSelection(GX_NOREDRAW);
    grid.SetSelection(&one, GX_NOREDRAW);
    EXPECT_TRUE(grid.DeleteSelectedRecords());
    EXPECT_EQ(DbText("SELECT count(*) FROM Data WHERE Id = 2"), "0");
}

TEST_F(DaoEditTest, NewRecordsTakeTheColumnDefault)
{
    MakeDb({"CREATE TABLE P (Id LONG, City TEXT(20) DEFAULT \"Bern\", Q TEXT(5) DEFAULT '\"')", "INSERT INTO P (Id) VALUES (1)"});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM P"));
    Paint();
    EXPECT_EQ(Text(2, 2), "Bern");
    EXPECT_EQ(Text(2, 3), "\"");  // a lone quote is a text, not a quoted empty one
    Store(2, 1, "2");
    CString sError;
    ASSERT_TRUE(grid.UpdateRecord(&sError)) << sError;
    EXPECT_EQ(DbText("SELECT City FROM P WHERE Id = 2"), "Bern");
}

TEST_F(DaoEditTest, SortingUsesTheRecordsetsSortText)
{
    MakeDb({DataTable(), FillData(5)});
    CDaoRecordset& rs = OpenRecordset("SELECT * FROM Data");
    CGXDaoGrid& grid = MakeGrid(&rs);
    CGXSortInfoArray memo;
    memo.SetSize(1);
    memo[0].nRC = 4;
    EXPECT_FALSE(grid.SortRows(CGXCellRange().SetTable(), memo));
    EXPECT_EQ(rs.m_strSort, "");
    CGXSortInfoArray keys;
    keys.SetSize(2);
    keys[0].nRC = 2;
    keys[0].sortOrder = gxSortDescending;
    keys[1].nRC = 3;
    EXPECT_TRUE(grid.SortRows(CGXCellRange().SetTable(), keys));
    EXPECT_EQ(rs.m_strSort, "[Last Name] DESC, [First Name]");
    EXPECT_EQ(Text(1, 2), "Last5");
}

TEST_F(DaoEditTest, ABoundRecordsetStartsAtItsOwnFirstRecord)
{
    MakeDb({DataTable(), FillData(600), "CREATE TABLE Other (Name TEXT(10))", "INSERT INTO Other VALUES ('Zed')",
            "INSERT INTO Other VALUES ('Yan')"});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    ASSERT_TRUE(grid.MoveToRecordRow(251));
    EXPECT_EQ(grid.CurrentRecordIndex(), 250);
    grid.SetRecordset(&OpenRecordset("SELECT * FROM Other"));
    grid.ReloadFromRecordset();
    EXPECT_EQ(Text(1, 1), "Zed");
    EXPECT_EQ(Text(2, 1), "Yan");
}

// Esc over an edit that changed nothing ends it, even with undo recording on.
TEST_F(DaoEditTest, EscapeEndsAnEditThatChangedNothing)
{
    MakeDb({DataTable(), FillData(5)});
    CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM Data"));
    Paint();
    ASSERT_TRUE(grid.PlaceCurrentCell(2, 2));
    ASSERT_TRUE(grid.BeginRecordEdit(2));
    Key(VK_ESCAPE);
    EXPECT_EQ(grid.EditMode(), gxNoEdit);
    EXPECT_TRUE(grid.PlaceCurrentCell(4, 2));
    EXPECT_TRUE(s_boxes.empty());
}

}  // namespace
