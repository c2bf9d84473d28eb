#include "grid/core/gxrange.h"

#include <functional>
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

#include "gxtesthelp.h"

namespace {

std::vector<CGXCellRange> ToVector(const CGXRangeList& list)
{
    std::vector<CGXCellRange> v;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        v.push_back(*list.GetNextRange(pos));
    return v;
}

TEST(RangeList, AssignReversesAndDropsInvalid)
{
    CGXRangeList a, b;
    a.AddRange(Cells(1, 1, 1, 1));
    a.AddRange(Invalid(gxCells, 0, 0, 0, 0));
    a.AddRange(Rows(2, 3));
    a.AddRange(Cols(4, 5));
    b.AddRange(Table());
    b.Assign(a);
    EXPECT_EQ(ToVector(b), (std::vector<CGXCellRange> {Cols(4, 5), Rows(2, 3), Cells(1, 1, 1, 1)}));
    b.Assign(b);
    EXPECT_EQ(b.GetCount(), 3);
    EXPECT_TRUE(b.IsCellInList(2, 99));
    EXPECT_FALSE(b.IsCellInList(2, 99, b.FindRangeContaining(2, 99)));
    EXPECT_EQ(b.FindRangeContaining(9, 9), nullptr);
    EXPECT_TRUE(b.IntersectsRow(77)); // the columns range spans every row
    CGXRangeList rowsOnly;
    rowsOnly.AddRange(Rows(2, 3));
    EXPECT_FALSE(rowsOnly.IntersectsRow(4));
    EXPECT_TRUE(rowsOnly.IntersectsCol(4));
}

TEST(RangeList, Intervals)
{
    CGXRangeList l;
    l.AddRange(Cols(10, 12));
    l.AddRange(Cols(4, 6));
    l.AddRange(Cols(1, 3));
    l.AddRange(Cells(2, 5, 3, 5));
    CDWordArray f, t;
    EXPECT_TRUE(l.GetColIntervals(100, f, t, FALSE));
    ASSERT_EQ(f.GetSize(), 2);
    EXPECT_EQ(f[0], 1u);
    EXPECT_EQ(t[0], 6u);
    EXPECT_EQ(f[1], 10u);
    EXPECT_EQ(t[1], 12u);

    l.AddRange(Rows(3, 4));
    EXPECT_TRUE(l.GetColIntervals(20, f, t, FALSE)); // a rows range spans every column
    ASSERT_EQ(f.GetSize(), 1);
    EXPECT_EQ(t[0], 20u);
    EXPECT_TRUE(l.GetRowIntervals(50, f, t, TRUE));
    ASSERT_EQ(f.GetSize(), 1);
    EXPECT_EQ(f[0], 3u);
    EXPECT_EQ(t[0], 4u);
    CGXRangeList empty;
    EXPECT_FALSE(empty.GetRowIntervals(5, f, t, FALSE));
    EXPECT_EQ(f.GetSize(), 0);
}

TEST(RangeList, AdjustForInsertedRemovedMoved)
{
    struct Case {
        const char* what;
        CGXCellRange before;
        std::function<void(CGXRangeList&)> op;
        CGXCellRange after;
    };
    const Case cases[] = {
        {"remove 3-5 over 4-5", Rows(4, 5), [](CGXRangeList& l) { l.AdjustForRemovedRows(3, 5, 100); }, Invalid(gxRows, 4, 0, 5, 0)},
        {"remove 3-5 over 2-8", Rows(2, 8), [](CGXRangeList& l) { l.AdjustForRemovedRows(3, 5, 100); }, Rows(2, 5)},
        {"remove 3-5 over 6-8", Cells(6, 1, 8, 2), [](CGXRangeList& l) { l.AdjustForRemovedRows(3, 5, 100); }, Cells(3, 1, 5, 2)},
        {"remove 3-5 clipped", Rows(2, 8), [](CGXRangeList& l) { l.AdjustForRemovedRows(3, 5, 4); }, Rows(2, 4)},
        {"remove rows keeps columns", Cols(2, 3), [](CGXRangeList& l) { l.AdjustForRemovedRows(0, 5, 100); }, Cols(2, 3)},
        {"remove cols 2-2", Cols(3, 4), [](CGXRangeList& l) { l.AdjustForRemovedCols(2, 2, 100); }, Cols(2, 3)},
        {"insert 2 at 3", Cells(2, 1, 4, 1), [](CGXRangeList& l) { l.ShiftRows(3, 2); }, Cells(2, 1, 6, 1)},
        {"insert cols", Cols(5, 5), [](CGXRangeList& l) { l.ShiftCols(1, 1); }, Cols(6, 6)},
        {"move 2-3 to 6", Rows(2, 3), [](CGXRangeList& l) { l.AdjustForMovedRows(2, 3, 6, 100); }, Rows(6, 7)},
        {"move 2-3 to 6, 4", Rows(4, 4), [](CGXRangeList& l) { l.AdjustForMovedRows(2, 3, 6, 100); }, Rows(2, 2)},
        {"move 6-7 to 2", Rows(6, 7), [](CGXRangeList& l) { l.AdjustForMovedRows(6, 7, 2, 100); }, Rows(2, 3)},
        {"move 6-7 to 2, 3", Cells(3, 1, 3, 1), [](CGXRangeList& l) { l.AdjustForMovedRows(6, 7, 2, 100); }, Cells(5, 1, 5, 1)},
        {"move cols 1-1 to 3", Cols(2, 2), [](CGXRangeList& l) { l.AdjustForMovedCols(1, 1, 3, 100); }, Cols(1, 1)},
        {"move leaves before", Rows(1, 1), [](CGXRangeList& l) { l.AdjustForMovedRows(2, 3, 6, 100); }, Rows(1, 1)},
    };
    for (const Case& c : cases) {
        CGXRangeList l;
        l.AddRange(c.before);
        c.op(l);
        EXPECT_EQ(*l.GetRange(l.GetHeadPosition()), c.after) << c.what;
    }
    // Single indexes follow the same rule: MoveRows(2, 3, 6) on rows 1-8.
    std::vector<ROWCOL> order(9);
    for (ROWCOL i = 1; i <= 8; i++)
        order[GXMovedIndex(i, 2, 3, 6)] = i;
    EXPECT_EQ(order, (std::vector<ROWCOL> {0, 1, 4, 5, 6, 7, 2, 3, 8}));
}

TEST(RangeList, Archive)
{
    CGXRangeList l;
    l.AddRange(Cells(1, 2, 3, 4));
    l.AddRange(Invalid(gxRows, 1, 0, 2, 0));
    l.AddRange(Table());
    const Bytes bytes = StoreBytes([&](CArchive& ar) { l.Serialize(ar); });
    const Bytes want = ByteBuilder().word(1).dword(2).dword(1).dword(2).dword(3).dword(4).byte(0).byte(1)
                           .dword(0).dword(0).dword(0).dword(0).byte(3).byte(1).b;
    EXPECT_EQ(bytes, want);
    CGXRangeList back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(ToVector(back), (std::vector<CGXCellRange> {Cells(1, 2, 3, 4), Table()}));

    CGXRangeList bad;
    LoadBytes(ByteBuilder().word(2).dword(0).b, [&](CArchive& ar) { EXPECT_THROW(bad.Serialize(ar), CArchiveException); });
    // A count the file cannot hold is refused before anything is allocated.
    LoadBytes(ByteBuilder().word(1).dword(0x7FFFFFFF).b, [&](CArchive& ar) { EXPECT_THROW(bad.Serialize(ar), CArchiveException); });
}

} // namespace
