#include <gtest/gtest.h>

#include <string>

#include "grid/core/gxformat.h"
#include "grid/formula/gxengine.h"
#include "grid/formula/gxformulasheet.h"
#include "grid/formula/gxname.h"
#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"

namespace {

// 100 references (199 nodes, under the 200 allowed), 1,100 characters.
std::string LongFormula()
{
    std::string f = "=";
    for (int i = 0; i < 100; ++i)
        f += i ? "+$ABC$10000" : "$ABC$10000";
    return f;
}

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
        {.row = 3, .col = 3, .typed = "=1/3", .value = "0.33333333333333", .expression = "=1/3"},
        {.row = 4, .col = 1, .typed = "=A9*2", .value = "Error!", .expression = "=A9*2"},
        {.row = 4, .col = 2, .typed = "abc", .value = "abc", .expression = "'abc"},
        {.row = 4, .col = 3, .typed = "", .value = "", .expression = ""},
        {.row = 5, .col = 1, .typed = "=B5", .value = "0", .expression = "=B5"},
        {.row = 5, .col = 2, .typed = "=A5", .value = "Cycle!", .expression = "=A5"},
        {.row = 6, .col = 1, .typed = LongFormula(), .value = "Error!", .expression = LongFormula()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.substr(0, 20));
        ASSERT_TRUE(sheet.SetValueRowCol(c.row, c.col, c.typed));
        std::string v, e;
        EXPECT_TRUE(sheet.GetValueRowCol(c.row, c.col, v));
        EXPECT_TRUE(sheet.GetExpressionRowCol(c.row, c.col, e));
        if (c.value != "0") {  // the first member of a cycle is read before the cycle closes
            EXPECT_EQ(v, c.value);
        }
        EXPECT_EQ(e.substr(0, 40), c.expression.substr(0, 40));
        EXPECT_EQ(e.size(), c.expression.size());
    }
    std::string v;
    sheet.GetValueRowCol(5, 1, v);
    EXPECT_EQ(v, "Cycle!");
}

TEST(FormulaSheet, NumbersDatesAndTimesSetTheFormat)
{
    CGXFormulaSheet sheet;
    ASSERT_TRUE(sheet.SetFormatRowCol(1, 1, GX_FMT_DATE, 0));
    ASSERT_TRUE(sheet.SetValueRowCol(1, 1, "12"));
    unsigned places = 0;
    EXPECT_EQ(sheet.GetFormatRowCol(1, 1, &places), GX_FMT_GEN) << "a number typed into a date cell";
    EXPECT_EQ(places, 15u);
    struct Case {
        const char* typed;
        unsigned format;
    };
    const Case cases[] = {{"1/15/2001", GX_FMT_DATE}, {"13:30", GX_FMT_TIME}, {"1/15/2001 3:04 PM", GX_FMT_DATETIME}};
    ROWCOL row = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(sheet.SetValueRowCol(row, 1, c.typed));
        EXPECT_EQ(sheet.GetFormatRowCol(row, 1), c.format);
        double d = -1;
        EXPECT_TRUE(sheet.GetNumberRowCol(row, 1, d));
        EXPECT_GE(d, 0.0);
        ++row;
    }
}

TEST(FormulaSheet, TypeOneGivesTheFormulaAndZeroTheValue)
{
    CGXFormulaSheet sheet;
    sheet.StoreValueRowCol(1, 1, "2", gxOverride, 1);
    sheet.StoreValueRowCol(1, 2, "=A1*3", gxOverride, 1);
    CGXStyle formula, value;
    ASSERT_TRUE(sheet.GetStyleRowCol(1, 2, formula, gxCopy, 1));
    EXPECT_STREQ(formula.GetValue(), "=A1*3");
    EXPECT_EQ(formula.GetValueType(), 2u);
    ASSERT_TRUE(sheet.GetStyleRowCol(1, 2, value, gxCopy, 0));
    EXPECT_STREQ(value.GetValue(), "6");
    EXPECT_EQ(value.GetValueType(), 1u);
    // With type 0 a typed formula is a text.
    sheet.StoreValueRowCol(1, 3, "=A1+1", gxOverride, 0);
    std::string v;
    sheet.GetValueRowCol(1, 3, v);
    EXPECT_EQ(v, "=A1+1");
    // Row 0 and column 0 stay in the plain store.
    sheet.StoreValueRowCol(0, 2, "=A1", gxOverride, 1);
    sheet.StoreValueRowCol(2, 0, "=A1", gxOverride, 1);
    EXPECT_EQ(gx_cell_count(sheet.GetSheetHandle(), GX_POOL_ALL), 3);
    CGXStyle header;
    ASSERT_TRUE(sheet.GetStyleRowCol(0, 2, header, gxCopy, 1));
    EXPECT_STREQ(header.GetValue(), "=A1");
}

TEST(FormulaSheet, AViolatedConstraintMergesTheRedStyle)
{
    CGXFormulaSheet sheet;
    sheet.SetConstraintCheck(1);
    sheet.SetRecalcMethod(1);
    ASSERT_TRUE(sheet.SetValueRowCol(1, 1, "=5;#>10"));
    ASSERT_TRUE(sheet.SetValueRowCol(2, 1, "=50;#>10"));
    sheet.Recalc(TRUE);
    CGXStyle bad, good;
    ASSERT_TRUE(sheet.GetStyleRowCol(1, 1, bad, gxCopy, 0));
    ASSERT_TRUE(sheet.GetStyleRowCol(2, 1, good, gxCopy, 0));
    EXPECT_TRUE(bad.GetIncludeInterior());
    EXPECT_EQ(bad.GetInterior().GetColor(), COLORREF(255));
    EXPECT_FALSE(good.GetIncludeInterior());
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
