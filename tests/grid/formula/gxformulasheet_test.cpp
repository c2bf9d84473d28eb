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

namespace {

using Bytes = std::vector<BYTE>;

template <class Fn>
Bytes Stored(Fn&& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    const ULONGLONG n = file.GetLength();
    BYTE* p = file.Detach();
    Bytes out(p, p + n);
    std::free(p);
    return out;
}

Bytes StoreSheet(CGXFormulaSheet& sheet) { return Stored([&](CArchive& ar) { sheet.Serialize(ar); }); }

// Loads the bytes into the sheet; false when the archive was refused.
bool LoadSheet(CGXFormulaSheet& sheet, const Bytes& bytes)
{
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        sheet.Serialize(ar);
    } catch (const CArchiveException&) {
        return false;
    } catch (const CFileException&) {
        return false;
    }
    return true;
}

std::string DumpSheet(CGXFormulaSheet& sheet)
{
    std::string out;
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 4; ++c) {
            std::string e, v;
            sheet.GetExpressionRowCol(r, c, e);
            sheet.GetValueRowCol(r, c, v);
            if (!e.empty() || !v.empty())
                out += e + "|" + v + " ";
        }
    return out;
}

void Append(Bytes& b, std::initializer_list<int> bytes)
{
    for (int x : bytes)
        b.push_back(BYTE(x));
}
void AppendText(Bytes& b, const std::string& s)
{
    b.push_back(BYTE(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}

TEST(FormulaSheetArchive, ReferenceBytes)
{
    CGXFormulaSheet sheet;
    sheet.SetIterationLimit(5);
    ASSERT_TRUE(sheet.SetValueRowCol(1, 1, "2"));             // number
    ASSERT_TRUE(sheet.SetValueRowCol(1, 2, "'hi"));           // short text
    ASSERT_TRUE(sheet.SetValueRowCol(1, 3, "=A1*3"));         // formula
    ASSERT_TRUE(sheet.SetRangeName("two", CGXCellRange(1, 1)));
    const Bytes got = StoreSheet(sheet);

    CGXData plain;
    Bytes want = Stored([&](CArchive& ar) { plain.Serialize(ar); });
    want.insert(want.begin(), {1, 0});  // the sheet's schema, then the plain store's part
    Append(want, {5, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // iterations, blanks, manual, method, constraints
    Append(want, {1, 0});                         // one name
    AppendText(want, "two=A1");
    Append(want, {1, 1, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // number A1: type 1, kind 3, row 1, column 0, no style
    const double two = 2;
    const BYTE* d = reinterpret_cast<const BYTE*>(&two);
    want.insert(want.end(), d, d + 8);
    Append(want, {1, 2, 5, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0});  // text B1
    AppendText(want, "hi");
    const size_t formulaAt = want.size();
    Append(want, {1, 3, 3});  // formula C1: type 3, kind 3, then its flag byte
    ASSERT_GT(got.size(), formulaAt + 4);
    want.push_back(got[formulaAt + 3]);
    Append(want, {1, 0, 0, 0, 2, 0, 0, 0, 0, 0});
    AppendText(want, "=A1*3");
    const double six = 6;
    d = reinterpret_cast<const BYTE*>(&six);
    want.insert(want.end(), d, d + 8);
    Append(want, {0});  // the end
    EXPECT_EQ(got, want);

    CGXFormulaSheet back;
    ASSERT_TRUE(LoadSheet(back, got));
    EXPECT_EQ(DumpSheet(back), DumpSheet(sheet));
    EXPECT_EQ(back.GetIterationLimit(), 5);
    CGXCellRange named;
    EXPECT_TRUE(back.GetRangeName("two", named));
    EXPECT_EQ(StoreSheet(back), got);
}

TEST(FormulaSheetArchive, LongFormulaAndTextsRoundTripWhole)
{
    CGXFormulaSheet sheet;
    ASSERT_TRUE(sheet.SetValueRowCol(1, 1, LongFormula()));
    ASSERT_TRUE(sheet.SetValueRowCol(1, 2, "C:\\new\\table"));
    ASSERT_TRUE(sheet.SetValueRowCol(1, 3, std::string(2000, 'y')));
    CGXFormulaSheet back;
    ASSERT_TRUE(LoadSheet(back, StoreSheet(sheet)));
    std::string e;
    back.GetExpressionRowCol(1, 1, e);
    EXPECT_EQ(e, LongFormula()) << "stays a formula, whole";
    EXPECT_EQ(DumpSheet(back), DumpSheet(sheet));
}

TEST(FormulaSheetArchive, DamagedArchivesAreRefusedWithNothingHalfLoaded)
{
    CGXFormulaSheet source;
    ASSERT_TRUE(source.SetValueRowCol(2, 2, "7"));
    const Bytes good = StoreSheet(source);
    // The one cell's record before the end byte: mark, type, kind, flags, row, column, a null style
    // (a zero tag word) and the number.
    const size_t cell = good.size() - 1 - 8 - 2 - 4 - 4 - 4;
    ASSERT_EQ(good[cell], 1);
    struct Case {
        const char* name;
        size_t at;
        std::vector<BYTE> bytes;
        bool cut = false;
    };
    const Case cases[] = {
        {.name = "schema 2", .at = 0, .bytes = {2, 0}},
        {.name = "row 0", .at = cell + 4, .bytes = {0, 0, 0, 0}},
        {.name = "row 9,000,000", .at = cell + 4, .bytes = {0x40, 0x54, 0x89, 0x00}},
        {.name = "column 5,000", .at = cell + 8, .bytes = {0x88, 0x13, 0, 0}},
        {.name = "type 7", .at = cell + 1, .bytes = {7}},
        {.name = "kind 9", .at = cell + 2, .bytes = {9}},
        {.name = "a cell mark of 3", .at = cell, .bytes = {3}},
        {.name = "the end cut off", .at = good.size() - 1, .bytes = {}, .cut = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bad = good;
        if (c.cut)
            bad.resize(c.at);
        else
            std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + std::ptrdiff_t(c.at));
        CGXFormulaSheet target;
        ASSERT_TRUE(target.SetValueRowCol(1, 1, "=1+2"));
        EXPECT_FALSE(LoadSheet(target, bad));
        EXPECT_EQ(DumpSheet(target), "=1+2|3 ") << "the sheet is as it was";
    }
    // A name count far past the end of the archive.
    Bytes names = StoreSheet(source);
    CGXData plain;
    const size_t nameCount = 2 + Stored([&](CArchive& ar) { plain.Serialize(ar); }).size() + 10;
    ASSERT_EQ(names[nameCount], 0);
    names[nameCount] = 0xFE;
    CGXFormulaSheet target;
    EXPECT_FALSE(LoadSheet(target, names));
    CGXFormulaSheet ok;
    EXPECT_TRUE(LoadSheet(ok, good));
    EXPECT_EQ(DumpSheet(ok), "7|7 ");
}

TEST(FormulaSheetAssign, TheCopyOwnsItsNamesWhenTheSourceIsGone)
{
    auto source = std::make_unique<CGXFormulaSheet>();
    ASSERT_TRUE(source->SetValueRowCol(1, 1, "4"));
    ASSERT_TRUE(source->SetRangeName("four", CGXCellRange(1, 1)));
    ASSERT_TRUE(source->SetValueRowCol(1, 2, "=four*2"));
    CGXFormulaSheet copy;
    copy.Assign(*source);
    source.reset();
    std::string v;
    copy.GetValueRowCol(1, 2, v);
    EXPECT_EQ(v, "8");
    // The copy's name entry is what its formula follows.
    copy.SetRangeName("four", CGXCellRange(1, 3));
    copy.SetValueRowCol(1, 3, "10");
    copy.Recalc(TRUE);
    copy.GetValueRowCol(1, 2, v);
    EXPECT_EQ(v, "20");
    std::string e;
    copy.GetExpressionRowCol(1, 2, e);
    EXPECT_EQ(e, "=four*2");
}

}  // namespace
