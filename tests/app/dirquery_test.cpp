// The directory tables' rules and the statement work of the directory grid.

#include "app/DirectoryQuery.h"
#include "app/DirectoryKey.h"
#include "app/ViewerDoc.h"
#include "platform/dao/dao.h"
#include "tests/app/directory_fixture.h"

#include <gtest/gtest.h>

TEST(DirectoryQuery, OrderByIsSplitInAnyCase)
{
    struct Case {
        const char* name;
        const char* statement;
        BOOL found;
        const char* before;
        const char* sort;
    };
    const Case cases[] = {
        {"upper", "SELECT * FROM Data ORDER BY Data.[_ILast Name]", TRUE, "SELECT * FROM Data", "Data.[_ILast Name]"},
        {"lower", "SELECT DATA.* FROM DATA WHERE x order by [_IClass]", TRUE, "SELECT DATA.* FROM DATA WHERE x", "[_IClass]"},
        {"mixed", "select * from Data Order By [_IKEY] DESC", TRUE, "select * from Data", "[_IKEY] DESC"},
        {"none", "SELECT * FROM Data", FALSE, "SELECT * FROM Data", "(unchanged)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString statement = c.statement, sort = "(unchanged)";
        EXPECT_EQ(SplitOrderBy(statement, sort), c.found);
        EXPECT_STREQ(statement, c.before);
        EXPECT_STREQ(sort, c.sort);
    }
}

TEST(DirectoryQuery, NamesOfRankColumnsAndMenuItems)
{
    EXPECT_TRUE(IsRankColumnName("_IKEY"));
    EXPECT_TRUE(IsRankColumnName("_ILast Name"));
    EXPECT_TRUE(IsRankColumnName("x_iy"));
    EXPECT_FALSE(IsRankColumnName("Last Name"));
    EXPECT_FALSE(IsRankColumnName("I_d")); // an underscore alone is no mark
    EXPECT_STREQ(MenuTextOfField("A&B"), "A&&B");
    EXPECT_STREQ(FieldOfMenuText("A&&B"), "A&B");
    EXPECT_STREQ(FieldOfMenuText(MenuTextOfField("R&&D & Co")), "R&&D & Co");
}

TEST(DirectoryQuery, WidthsAndBands)
{
    EXPECT_EQ(DirectoryColumnChars(50, "Last Name"), 30);      // 0.6 of 50
    EXPECT_EQ(DirectoryColumnChars(9, "Telephone"), 10);       // 5 < 9 characters of header: header + 1
    EXPECT_EQ(DirectoryColumnChars(3, "Élève"), 6);            // the header counts characters, not bytes
    EXPECT_EQ(DirectoryColumnChars(255, ""), 153);
    EXPECT_EQ(FixedColumnWidth("Entry"), 20000);
    EXPECT_EQ(FixedColumnWidth("Section"), 15000);
    EXPECT_EQ(FixedColumnWidth("Last Name"), 0);
    EXPECT_EQ(RowUnitsToPixels(20000, 7), 20000 / (1000 / 7));
    EXPECT_EQ(RowUnitsToPixels(20000, 0), 0);
    EXPECT_EQ(RowUnitsToPixels(20000, 5000), 0);
    const bool shaded[] = {false, false, false, true, true, true, false, false, false, true};
    for (unsigned long row = 1; row <= 10; ++row)
        EXPECT_EQ(IsShadedBandRow(row), shaded[row - 1]) << row;
    EXPECT_FALSE(IsShadedBandRow(0));
    EXPECT_STREQ(TotalRecordsText(2000), "2000 Total Records");
}

class DirectoryCountTest : public DirectoryInstallation {};

TEST_F(DirectoryCountTest, CountsTheSameStatement)
{
    CDaoDatabase db;
    db.Open(GetDatabasePath(), FALSE, TRUE, kDirectoryConnect);
    EXPECT_EQ(CountStatementRecords(&db, kDirectoryQuery), kPeople);
    EXPECT_EQ(CountStatementRecords(&db, "SELECT DATA.* FROM DATA WHERE ([DATA].[_IE-Mail] BETWEEN 2 AND 9999999)"),
              [&] {
                  CDaoRecordset rs(&db);
                  rs.Open(dbOpenSnapshot, "SELECT DATA.* FROM DATA WHERE ([DATA].[_IE-Mail] BETWEEN 2 AND 9999999)");
                  if (rs.IsEOF())
                      return 0L;
                  rs.MoveLast();
                  return rs.GetRecordCount();
              }());
    EXPECT_EQ(CountStatementRecords(&db, kBlankQuery), 0);
    EXPECT_EQ(CountStatementRecords(&db, "SELECT * FROM Nowhere"), -1);
    EXPECT_EQ(CountStatementRecords(nullptr, kDirectoryQuery), -1);
}
