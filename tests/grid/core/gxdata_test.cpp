#include "grid/core/gxdata.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <gtest/gtest.h>

#include "grid/core/gxcoll.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "gxtesthelp.h"

namespace {

CString ValueAt(const CGXData& d, ROWCOL r, ROWCOL c, int type = 0)
{
    const CGXStyle* s = d.LookupStyleRowCol(r, c, type);
    return s ? s->GetValue() : CString("-");
}

// Rows 1..8 hold "1".."8" in column 1 and as row base styles.
void FillRows(CGXData& d)
{
    for (ROWCOL r = 1; r <= 8; r++) {
        CString v;
        v.Format("%u", r);
        d.StoreValueRowCol(r, 1, v, gxOverride);
        d.StoreValueRowCol(r, 0, v, gxOverride, -1);
    }
}

std::string Column(const CGXData& d, int type = 0)
{
    std::string s;
    for (ROWCOL r = 1; r <= d.GetRowCount(); r++)
        s += std::string(ValueAt(d, r, 1, type).GetString()).substr(0, 1);
    return s;
}

TEST(GXData, StoreAndFetch)
{
    CGXData d;
    CGXStyle s;
    s.SetValue("x").SetHorizontalAlignment(1);
    d.StoreStyleRowCol(5, 3, &s, gxOverride);
    EXPECT_EQ(d.GetRowCount(), 5u);
    EXPECT_EQ(d.GetColCount(), 3u);
    EXPECT_EQ(d.m_pStyleMap.GetSize(), 6);
    EXPECT_EQ(d.m_pStyleMap.GetRow(5)->GetSize(), 4);

    struct Case {
        int mode;
        DWORD halign;
        bool wrap;
        const char* value;
    };
    CGXStyle change;
    change.SetHorizontalAlignment(2).SetWrapText(TRUE);
    const Case cases[] = {
        {gxOverride, 2, true, "x"}, {gxApplyNew, 1, true, "x"}, {gxCopy, 2, true, nullptr}, {gxExclude, 99, false, "x"},
    };
    for (const Case& c : cases) {
        CGXData t;
        t.StoreStyleRowCol(2, 2, &s, gxOverride);
        t.StoreStyleRowCol(2, 2, &change, c.mode);
        CGXStyle got;
        ASSERT_TRUE(t.GetStyleRowCol(2, 2, got, gxCopy)) << c.mode;
        EXPECT_EQ(got.GetIncludeHorizontalAlignment() ? got.GetHorizontalAlignment() : 99, c.halign) << c.mode;
        EXPECT_EQ(bool(got.GetIncludeWrapText()), c.wrap) << c.mode;
        EXPECT_EQ(got.GetIncludeValue() ? std::string(got.GetValue()) : "none", c.value ? c.value : "none") << c.mode;
    }
    // Exclude into an empty cell stores nothing; no style removes.
    d.StoreStyleRowCol(1, 1, &s, gxExclude);
    EXPECT_EQ(d.LookupStyleRowCol(1, 1), nullptr);
    d.StoreStyleRowCol(5, 3, nullptr, gxRemove);
    EXPECT_EQ(d.LookupStyleRowCol(5, 3), nullptr);
    CGXStyle out;
    EXPECT_FALSE(d.GetStyleRowCol(9, 1, out, gxCopy));
    // Type -1: row 0 addresses the column's base style.
    d.StoreValueRowCol(0, 2, "colbase", gxOverride, -1);
    d.StoreValueRowCol(3, 0, "rowbase", gxOverride, -1);
    ASSERT_TRUE(d.GetStyleRowCol(0, 2, out, gxCopy, -1));
    EXPECT_EQ(out.GetValue(), "colbase");
    ASSERT_TRUE(d.GetStyleRowCol(3, 0, out, gxCopy, -1));
    EXPECT_EQ(out.GetValue(), "rowbase");
}

TEST(GXData, NumberDetection)
{
    struct Numbers : CGXAbstractNumberFormattingImp {
        BOOL ParseNumber(const char* p, double& v) override
        {
            char* e;
            v = std::strtod(p, &e);
            return e != p && *e == 0;
        }
    } numbers;
    GXGetAppData()->m_pNumberFormattingImp = &numbers;
    CGXData d;
    d.StoreValueRowCol(1, 1, "12.5", gxOverride, 1);
    d.StoreValueRowCol(1, 2, "abc", gxOverride, 1);
    d.StoreValueRowCol(1, 3, "7", gxOverride, 0);
    EXPECT_EQ(d.LookupStyleRowCol(1, 1)->GetValueType(), 1u);
    EXPECT_EQ(d.LookupStyleRowCol(1, 2)->GetValueType(), 0u);
    EXPECT_EQ(d.LookupStyleRowCol(1, 3)->GetValueType(), 0u);
    GXGetAppData()->m_pNumberFormattingImp = nullptr;
    d.StoreValueRowCol(1, 4, "8", gxOverride, 1);
    EXPECT_EQ(d.LookupStyleRowCol(1, 4)->GetValueType(), 0u);
}

TEST(GXData, RowAndColumnStructure)
{
    struct Case {
        const char* what;
        std::function<void(CGXData&)> op;
        const char* cells;
        ROWCOL rows;
    };
    const Case cases[] = {
        {"move 2-3 to 6", [](CGXData& d) { d.MoveRows(2, 3, 6); }, "14567238", 8},
        {"move 6-7 to 2", [](CGXData& d) { d.MoveRows(6, 7, 2); }, "16723458", 8},
        {"insert 2 at 3", [](CGXData& d) { d.InsertRows(3, 2); }, "12--345678", 10},
        {"remove 3-4", [](CGXData& d) { d.RemoveRows(3, 4); }, "125678", 6},
        {"remove 10-12", [](CGXData& d) { d.RemoveRows(10, 12); }, "12345678", 8},
        {"remove 5-12", [](CGXData& d) { d.RemoveRows(5, 12); }, "1234", 4},
        {"set count 3", [](CGXData& d) { d.SetRowCount(3); }, "123", 3},
        {"set count 9", [](CGXData& d) { d.SetRowCount(9); }, "12345678-", 9},
    };
    for (const Case& c : cases) {
        CGXData d;
        FillRows(d);
        c.op(d);
        EXPECT_EQ(d.GetRowCount(), c.rows) << c.what;
        EXPECT_EQ(Column(d), c.cells) << c.what;
        EXPECT_EQ(Column(d, -1), c.cells) << c.what << " (row bases)";
    }

    CGXData d;
    for (ROWCOL c = 1; c <= 5; c++) {
        CString v;
        v.Format("%u", c);
        d.StoreValueRowCol(2, c, v, gxOverride);
        d.StoreValueRowCol(0, c, v, gxOverride, -1);
    }
    auto row = [&](int type) {
        std::string s;
        for (ROWCOL c = 1; c <= d.GetColCount(); c++)
            s += std::string(ValueAt(d, type == -1 ? 0 : 2, c, type).GetString());
        return s;
    };
    d.MoveCols(1, 1, 4);
    EXPECT_EQ(row(0), "23415");
    EXPECT_EQ(row(-1), "23415");
    d.InsertCols(2, 1);
    EXPECT_EQ(row(0), "2-3415");
    d.RemoveCols(1, 2);
    EXPECT_EQ(row(0), "3415");
    d.RemoveCols(3, 100);
    EXPECT_EQ(d.GetColCount(), 2u);
    EXPECT_EQ(row(-1), "34");
}

TEST(GXData, AssignIsDeep)
{
    CGXData a;
    FillRows(a);
    CGXData b;
    b.Assign(a);
    a.StoreValueRowCol(1, 1, "changed", gxOverride);
    EXPECT_EQ(ValueAt(b, 1, 1), "1");
    EXPECT_EQ(b.GetRowCount(), 8u);
    EXPECT_NE(a.LookupStyleRowCol(2, 1), b.LookupStyleRowCol(2, 1));
    b.DeleteContents();
    EXPECT_EQ(b.LookupStyleRowCol(2, 1), nullptr);
    EXPECT_EQ(b.GetRowCount(), 8u);
}

TEST(GXCollections, KeysFollowRows)
{
    CGXCollMapDWordToLong m(17);
    m[1] = 10;
    m[5] = 50;
    m[9] = 90;
    m.RemoveKeys(4, 6);
    LONG v;
    EXPECT_TRUE(m.Lookup(1, v));
    EXPECT_TRUE(m.Lookup(6, v));
    EXPECT_EQ(v, 90);
    EXPECT_EQ(m.GetCount(), 2);
    m.InsertKeys(2, 3);
    EXPECT_TRUE(m.Lookup(1, v));
    EXPECT_TRUE(m.Lookup(9, v));
    EXPECT_FALSE(m.Lookup(6, v));
    m.MoveKeys(9, 9, 1); // row 9 moves to 1, row 1 to 2
    EXPECT_TRUE(m.Lookup(1, v));
    EXPECT_EQ(v, 90);
    EXPECT_TRUE(m.Lookup(2, v));
    EXPECT_EQ(v, 10);
    EXPECT_TRUE(m.RemoveKey(2));
    EXPECT_FALSE(m.RemoveKey(2));
}

TEST(GXCollections, SizeMapArchive)
{
    CGXMapDWordToLong m(257);
    m[0] = 6000;
    m[3] = -5;
    const Bytes bytes = StoreBytes([&](CArchive& ar) { m.Serialize(ar); });
    EXPECT_EQ(bytes.size(), 2u + 16u);
    CGXMapDWordToLong back(257);
    back[7] = 1; // loading adds to what is there
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetCount(), 3);
    LONG v;
    EXPECT_TRUE(back.Lookup(3, v));
    EXPECT_EQ(v, -5);


    CGXCollMapDWordToString texts;
    texts[4] = "four";
    CGXCollMapDWordToString textsBack;
    LoadBytes(StoreBytes([&](CArchive& ar) { texts.Serialize(ar); }), [&](CArchive& ar) { textsBack.Serialize(ar); });
    CString t;
    EXPECT_TRUE(textsBack.Lookup(4, t));
    EXPECT_EQ(t, "four");
}

} // namespace

namespace {

TEST(GXCollections, CellToObjectMap)
{
    GXInstallDocSerializeImp();
    CGXMapCellToOb m;
    m.SetAt(3, 4, new CGXStyle(CGXStyle().SetValue("a")));
    m.SetAt(70000, 4, new CGXStyle(CGXStyle().SetValue("b")));
    m.SetAt(3, 4, new CGXStyle(CGXStyle().SetValue("c"))); // replaces, freeing the old one
    EXPECT_EQ(m.GetCount(), 2);
    CObject* p = nullptr;
    ASSERT_TRUE(m.Lookup(3, 4, p));
    EXPECT_EQ(static_cast<CGXStyle*>(p)->GetValue(), "c");
    EXPECT_FALSE(m.Lookup(4, 3, p));

    CGXMapCellToOb back;
    LoadBytes(StoreBytes([&](CArchive& ar) { m.Serialize(ar); }), [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetCount(), 2);
    ASSERT_TRUE(back.Lookup(70000, 4, p));
    EXPECT_EQ(static_cast<CGXStyle*>(p)->GetValue(), "b");
    EXPECT_TRUE(back.RemoveKey(70000, 4));
    EXPECT_FALSE(back.RemoveKey(70000, 4));

    // The same key twice is refused without leaking or freeing what the archive still names.
    CGXStyle s, s2;
    const Bytes twice = StoreBytes([&](CArchive& ar) {
        ar << WORD(2) << DWORD(1) << DWORD(1);
        ar.WriteObject(&s);
        ar << DWORD(1) << DWORD(1);
        ar.WriteObject(&s2);
    });
    CGXMapCellToOb bad;
    LoadBytes(twice, [&](CArchive& ar) { EXPECT_THROW(bad.Serialize(ar), CArchiveException); });
}

} // namespace
