#include "grid/core/gxrange.h"

#include <gtest/gtest.h>

namespace {

CGXCellRange Cells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) { return CGXCellRange().SetCells(t, l, b, r); }
CGXCellRange Rows(ROWCOL a, ROWCOL b) { return CGXCellRange().SetRows(a, b); }
CGXCellRange Cols(ROWCOL a, ROWCOL b) { return CGXCellRange().SetCols(a, b); }
CGXCellRange Table() { return CGXCellRange().SetTable(); }
CGXCellRange Invalid(DWORD kind, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r)
{
    CGXCellRange x;
    x.m_nKind = kind;
    x.top = t, x.left = l, x.bottom = b, x.right = r;
    x.m_bValid = 0;
    return x;
}

TEST(CellRange, SetCellsNormalises)
{
    CGXCellRange r;
    r.SetCells(5, 7, 2, 3);
    EXPECT_EQ(r, Cells(2, 3, 5, 7));
    EXPECT_EQ(r.top, 2u);
    EXPECT_EQ(r.left, 3u);
    EXPECT_EQ(r.bottom, 5u);
    EXPECT_EQ(r.right, 7u);
    EXPECT_TRUE(r.IsValid());
    CGXCellRange e;
    EXPECT_FALSE(e.IsValid());
    EXPECT_FALSE(e.IsCellInRange(0, 0));
    EXPECT_EQ(Rows(9, 4).top, 4u);
    EXPECT_EQ(Cols(9, 4).left, 4u);
    // Unsigned order: 0xFFFFFFFF is the largest row.
    EXPECT_EQ(Cells(0xFFFFFFFF, 1, 3, 1).bottom, 0xFFFFFFFFu);
}

TEST(CellRange, Intersection)
{
    struct Case {
        CGXCellRange a, b, want;
    };
    const Case cases[] = {
        {Rows(2, 4), Cols(3, 3), Cells(2, 3, 4, 3)},
        {Cols(3, 3), Rows(2, 4), Cells(2, 3, 4, 3)},
        {Rows(2, 4), Cells(10, 1, 12, 1), Invalid(gxCells, 10, 1, 4, 1)},
        {Rows(2, 6), Cells(4, 1, 12, 3), Cells(4, 1, 6, 3)},
        {Rows(2, 6), Rows(4, 9), Rows(4, 6)},
        {Cols(2, 6), Cols(4, 9), Cols(4, 6)},
        {Cols(2, 6), Cells(1, 5, 3, 9), Cells(1, 5, 3, 6)},
        {Cells(1, 1, 5, 5), Cells(3, 3, 8, 8), Cells(3, 3, 5, 5)},
        {Cells(1, 1, 2, 2), Cells(3, 3, 8, 8), Invalid(gxCells, 3, 3, 2, 2)},
        {Table(), Cells(1, 2, 3, 4), Cells(1, 2, 3, 4)},
        {Rows(1, 2), Table(), Rows(1, 2)},
    };
    for (const Case& c : cases) {
        CGXCellRange r;
        EXPECT_EQ(r.IntersectOf(c.a, c.b), c.want.IsValid());
        if (c.want.IsValid())
            EXPECT_EQ(r, c.want);
        else
            EXPECT_FALSE(r.IsValid());
    }
    // Either argument may be the result itself.
    CGXCellRange r = Rows(2, 4);
    r.IntersectOf(r, Cols(3, 3));
    EXPECT_EQ(r, Cells(2, 3, 4, 3));
}

TEST(CellRange, UnionAndMembership)
{
    CGXCellRange r;
    r.UnionOf(Rows(1, 2), Cols(3, 4));
    EXPECT_TRUE(r.IsTable());
    r.UnionOf(Cols(5, 6), Cells(1, 2, 3, 3));
    EXPECT_EQ(r, Cols(2, 6));
    r.UnionOf(Rows(5, 6), Cells(1, 2, 3, 3));
    EXPECT_EQ(r, Rows(1, 6));
    r.UnionOf(Cells(5, 1, 6, 1), Cells(1, 2, 3, 3));
    EXPECT_EQ(r, Cells(1, 1, 6, 3));

    EXPECT_TRUE(Rows(2, 3).IsCellInRange(3, 999));
    EXPECT_FALSE(Rows(2, 3).IsCellInRange(4, 0));
    EXPECT_TRUE(Cols(2, 3).IsCellInRange(999, 2));
    EXPECT_TRUE(Table().IsCellInRange(7, 7));
    EXPECT_FALSE(Cells(1, 1, 2, 2).IsCellInRange(2, 3));

    CGXCellRange x = Rows(2, 3);
    x.ExpandToCells(1, 1, 10, 20);
    EXPECT_EQ(x, Cells(2, 1, 3, 20));
    x = Table();
    x.ExpandToCells(1, 1, 10, 20);
    EXPECT_EQ(x, Cells(1, 1, 10, 20));
    x.CopyOrClear(nullptr);
    EXPECT_FALSE(x.IsValid());
}

} // namespace
