#include <gtest/gtest.h>

#include <string>

#include "grid/formula/gxengine.h"
#include "grid/formula/gxformulasheet.h"

namespace {

TEST(FormulaSheet, TypedTextTable)
{
    CGXFormulaSheet sheet;
    struct Case {
        ROWCOL row;
        ROWCOL col;
        std::string typed;
        std::string value;
        std::string expression;
    };
    const std::string longText(2000, 'x');
    const Case cases[] = {
        {.row = 1, .col = 1, .typed = "1", .value = "1", .expression = "1"},
        {.row = 1, .col = 2, .typed = "2", .value = "2", .expression = "2"},
        {.row = 1, .col = 3, .typed = "=A1+B1", .value = "3", .expression = "=A1+B1"},
        {.row = 2, .col = 1, .typed = "#n/A", .value = "#N/A", .expression = "=NA()"},
        {.row = 2, .col = 2, .typed = "'abc", .value = "abc", .expression = "'abc"},
        {.row = 2, .col = 3, .typed = "C:\\new\\table", .value = "C:\\new\\table", .expression = "'C:\\new\\table"},
        {.row = 3, .col = 1, .typed = longText, .value = longText, .expression = "'" + longText},
        {.row = 3, .col = 2, .typed = "0.1", .value = "0.1", .expression = "0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.substr(0, 20));
        ASSERT_TRUE(sheet.SetValueRowCol(c.row, c.col, c.typed));
        std::string v, e;
        EXPECT_TRUE(sheet.GetValueRowCol(c.row, c.col, v));
        EXPECT_TRUE(sheet.GetExpressionRowCol(c.row, c.col, e));
        EXPECT_EQ(v, c.value);
        EXPECT_EQ(e, c.expression);
    }
}

TEST(FormulaSheet, BadFormulaKeepsCellAndLeavesMessage)
{
    CGXFormulaSheet sheet;
    ASSERT_TRUE(sheet.SetValueRowCol(1, 4, "7"));
    std::string msg;
    EXPECT_FALSE(sheet.GetLastError(msg));
    EXPECT_FALSE(sheet.SetValueRowCol(1, 4, "=1+"));
    ASSERT_TRUE(sheet.GetLastError(msg));
    EXPECT_EQ(msg, "Cell D1: ERROR: expected to find an operand here (Pos 3)");
    std::string v;
    sheet.GetValueRowCol(1, 4, v);
    EXPECT_EQ(v, "7");
    sheet.ResetError();
    EXPECT_FALSE(sheet.GetLastError(msg));
}

TEST(FormulaSheet, HeadersNeverReachTheEngine)
{
    CGXFormulaSheet sheet;
    EXPECT_FALSE(sheet.SetValueRowCol(0, 1, "1"));
    EXPECT_FALSE(sheet.SetValueRowCol(1, 0, "1"));
    EXPECT_EQ(gx_cell_count(sheet.GetSheetHandle(), GX_POOL_ALL), 0);
}

TEST(FormulaSheet, ChangedPrecedentRecalculates)
{
    CGXFormulaSheet sheet;
    sheet.SetValueRowCol(1, 1, "1");
    sheet.SetValueRowCol(1, 2, "2");
    sheet.SetValueRowCol(1, 3, "=A1+B1");
    sheet.SetValueRowCol(1, 1, "5");
    sheet.Recalc(FALSE);
    std::string v;
    sheet.GetValueRowCol(1, 3, v);
    EXPECT_EQ(v, "7");
}

TEST(FormulaSheet, MadeByRuntimeClass)
{
    CObject* p = RUNTIME_CLASS(CGXFormulaSheet)->CreateObject();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CGXData)));
    delete p;
}

}  // namespace
