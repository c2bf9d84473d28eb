// Covered cells: areas found in one pool lookup, kept in step with their list, with undo.

#include "tests/grid/controls/gxgridfixture.h"

#include <random>

#include "grid/features/gxcovered.h"

namespace {

class CoveredTest : public GridFixture {
protected:
    CGXCellRange AreaOf(ROWCOL r, ROWCOL c)
    {
        CGXCellRange a;
        return m_grid->GetCoveredCellsRowCol(r, c, a) ? a : CGXCellRange();
    }
    CGXRangeList& List() { return m_grid->GetParam()->m_CoveredCellsList; }
    // Every cell's pool answer agrees with a scan of the list.
    void ExpectPoolAgreesWithList(ROWCOL nRows, ROWCOL nCols)
    {
        for (ROWCOL r = 0; r <= nRows; ++r)
            for (ROWCOL c = 0; c <= nCols; ++c) {
                const POSITION pos = List().FindRangeContaining(r, c);
                const CGXCellRange expected = pos ? *List().GetRange(pos) : CGXCellRange();
                ASSERT_EQ(AreaOf(r, c), expected) << r << "," << c;
            }
    }
};

TEST_F(CoveredTest, AreasAreFoundFromEveryCellAndRemovedOnlyFromTheirFirst)
{
    ASSERT_NE(m_grid->m_pCoveredCellsImp, nullptr) << "installed with every grid";
    EXPECT_TRUE(m_grid->SetCoveredCellsRowCol(2, 2, 3, 4));
    struct Case {
        ROWCOL r, c;
        CGXCellRange area;
    } const cases[] = {
        {3, 3, CGXCellRange(2, 2, 3, 4)}, {2, 2, CGXCellRange(2, 2, 3, 4)}, {1, 1, CGXCellRange()},
        {3, 5, CGXCellRange()}, {0x7FFFFFFF, 2, CGXCellRange()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AreaOf(c.r, c.c), c.area) << c.r << "," << c.c;
    EXPECT_FALSE(m_grid->StoreCoveredCellsRowCol(3, 3, 3, 3, FALSE)) << "an inner cell removes nothing";
    EXPECT_EQ(AreaOf(3, 3), CGXCellRange(2, 2, 3, 4));
    EXPECT_FALSE(m_grid->StoreCoveredCellsRowCol(2, 2, 0x7FFFFFFF, 4, TRUE));
    EXPECT_FALSE(m_grid->StoreCoveredCellsRowCol(1, 1, 5000000, 2, TRUE)) << "beyond what a pool holds";
    EXPECT_TRUE(m_grid->SetCoveredCellsRowCol(2, 2, 2, 2)) << "the single cell uncovers";
    EXPECT_EQ(AreaOf(3, 3), CGXCellRange());
    EXPECT_EQ(List().GetCount(), 0);
}

TEST_F(CoveredTest, RemovedRowsCutOrRemoveAreas)
{
    struct Case {
        const char* name;
        ROWCOL first, last;
        CGXCellRange after;
    } const cases[] = {
        {"rows 3-5 cut it back", 3, 5, CGXCellRange(2, 2, 2, 4)},
        {"rows 2-3 remove it", 2, 3, CGXCellRange()},
        {"rows 3-3 from its middle shrink it", 3, 3, CGXCellRange(2, 2, 3, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->SetRowCount(20);
        List().DeleteAll();
        m_grid->GetParam()->RebuildCoveredCellPool();
        ASSERT_TRUE(m_grid->SetCoveredCellsRowCol(2, 2, 4, 4));
        ASSERT_TRUE(m_grid->RemoveRows(c.first, c.last));
        EXPECT_EQ(AreaOf(2, 2), c.after);
        ExpectPoolAgreesWithList(8, 6);
    }
}

TEST_F(CoveredTest, OverlapsAreRefusedWholeAndASmallerAreaLeavesNoStaleCells)
{
    ASSERT_TRUE(m_grid->StoreCoveredCellsRowCol(2, 2, 3, 3, TRUE));
    // The first cell of every row is free; a cell further in is not.
    EXPECT_FALSE(m_grid->StoreCoveredCellsRowCol(1, 3, 4, 5, TRUE));
    EXPECT_EQ(List().GetCount(), 1);
    EXPECT_EQ(AreaOf(1, 3), CGXCellRange());
    EXPECT_EQ(AreaOf(4, 5), CGXCellRange());

    ASSERT_TRUE(m_grid->StoreCoveredCellsRowCol(5, 2, 7, 4, TRUE));
    ASSERT_TRUE(m_grid->StoreCoveredCellsRowCol(5, 2, 5, 3, TRUE)) << "replaced in place by a smaller one";
    EXPECT_EQ(AreaOf(7, 4), CGXCellRange());
    EXPECT_EQ(AreaOf(5, 3), CGXCellRange(5, 2, 5, 3));
    EXPECT_FALSE(m_grid->StoreCoveredCellsRowCol(5, 2, 5, 3, TRUE)) << "the same area changes nothing";
    ExpectPoolAgreesWithList(10, 6);

    // A file's overlapping areas: the earlier one stays, in list and pool alike.
    List().AddRange(CGXCellRange(3, 3, 6, 6));
    m_grid->GetParam()->RebuildCoveredCellPool();
    EXPECT_EQ(List().GetCount(), 2);
    ExpectPoolAgreesWithList(10, 6);
}

TEST_F(CoveredTest, AThousandRandomCallsKeepPoolAndListInStep)
{
    std::mt19937 rng(37);
    auto pick = [&](ROWCOL n) { return ROWCOL(rng() % n) + 1; };
    for (int i = 0; i < 1000; ++i) {
        const ROWCOL t = pick(16), l = pick(5);
        if (rng() % 3 == 0)
            m_grid->StoreCoveredCellsRowCol(t, l, t, l, FALSE);
        else
            m_grid->StoreCoveredCellsRowCol(t, l, t + pick(4) - 1, l + pick(3) - 1, TRUE);
        if (i % 50 == 0)
            ExpectPoolAgreesWithList(20, 8);
    }
    ExpectPoolAgreesWithList(20, 8);
}

TEST_F(CoveredTest, CoveringIsUndoneAndRedoneAndReadOnlyRefuses)
{
    ASSERT_TRUE(m_grid->SetCoveredCellsRowCol(2, 2, 3, 4));
    ASSERT_TRUE(m_grid->SetCoveredCellsRowCol(2, 2, 4, 5));
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(AreaOf(2, 2), CGXCellRange(2, 2, 3, 4));
    EXPECT_TRUE(m_grid->Undo());
    EXPECT_EQ(AreaOf(2, 2), CGXCellRange());
    EXPECT_TRUE(m_grid->Redo());
    EXPECT_EQ(AreaOf(3, 3), CGXCellRange(2, 2, 3, 4));

    m_grid->SetReadOnly(TRUE);
    EXPECT_FALSE(m_grid->SetCoveredCellsRowCol(6, 1, 7, 2));
    EXPECT_EQ(AreaOf(6, 1), CGXCellRange());
    m_grid->SetReadOnly(FALSE);
    EXPECT_TRUE(m_grid->SetCoveredCellsRowCol(6, 1, 7, 2));
}

}  // namespace
