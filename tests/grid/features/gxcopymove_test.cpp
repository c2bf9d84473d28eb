// Copying and moving blocks of stored cells: overlaps in every direction, destinations beyond
// the counts, and a move taken back.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/core/gxdata.h"
#include "grid/features/gxcopymove.h"

namespace {

class CopyMoveTest : public ::testing::Test {
protected:
    void SetUp() override { GXInstallDataCopyMoveCellsImp(); }

    // One letter per cell along a line of cells ('.' for none): rows 1.. of column 2, or
    // columns 1.. of row 2.
    void StoreLine(const std::string& s, bool bRows)
    {
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i] != '.')
                m_data.StoreValueRowCol(bRows ? ROWCOL(i + 1) : 2, bRows ? 2 : ROWCOL(i + 1), s.substr(i, 1).c_str(),
                                        gxOverride);
    }
    std::string Line(size_t n, bool bRows) const
    {
        std::string s;
        for (size_t i = 1; i <= n; ++i) {
            const CGXStyle* p = m_data.LookupStyleRowCol(bRows ? ROWCOL(i) : 2, bRows ? 2 : ROWCOL(i));
            s += p ? p->GetValue().GetString() : ".";
        }
        return s;
    }
    // Every cell of the block as "r,c=v;", for comparing whole stores.
    std::string Dump(ROWCOL nRows, ROWCOL nCols) const
    {
        std::string s;
        for (ROWCOL r = 0; r <= nRows; ++r)
            for (ROWCOL c = 0; c <= nCols; ++c)
                if (const CGXStyle* p = m_data.LookupStyleRowCol(r, c))
                    s += std::to_string(r) + "," + std::to_string(c) + "=" + p->GetValue().GetString() + ";";
        return s;
    }

    CGXData m_data;
};

TEST_F(CopyMoveTest, CopyReadsTheSourceBeforeOverwritingIt)
{
    struct Case {
        const char* name;
        bool bRows;
        ROWCOL first, last, dest;
        const char* before;
        const char* after;
    } const cases[] = {
        {"down by one", true, 1, 3, 2, "abcde", "aabce"},
        {"up by one", true, 2, 4, 1, "abcde", "bcdde"},
        {"right by two", false, 1, 3, 3, "abcde", "ababc"},
        {"left by one", false, 2, 4, 1, "abcde", "bcdde"},
        {"onto itself", true, 1, 5, 1, "abcde", "abcde"},
        {"empty cells empty the destination", true, 1, 2, 4, "..cde", "..c.."},
        {"with gaps", true, 1, 3, 3, "a.c..", "a.a.c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_data.DeleteContents();
        StoreLine(c.before, c.bRows);
        const BOOL b = c.bRows ? m_data.CopyCells(c.first, 2, c.last, 2, c.dest, 2)
                               : m_data.CopyCells(2, c.first, 2, c.last, 2, c.dest);
        EXPECT_TRUE(b);
        EXPECT_EQ(Line(5, c.bRows), c.after);
    }
}

TEST_F(CopyMoveTest, CopyBeyondTheCountsGrowsThem)
{
    StoreLine("abc", true);
    ASSERT_EQ(m_data.GetRowCount(), 3u);
    const ROWCOL nDest = m_data.GetRowCount() + 5;
    EXPECT_TRUE(m_data.CopyCells(1, 2, 3, 2, nDest, 40));
    EXPECT_EQ(m_data.GetRowCount(), nDest + 2);
    EXPECT_EQ(m_data.GetColCount(), 40u);
    CGXStyle s;
    ASSERT_TRUE(m_data.GetStyleRowCol(nDest + 2, 40, s, gxCopy)) << "found where it was stored";
    EXPECT_STREQ(s.GetValue(), "c");

    // Empty source rows beyond the store give it nothing to grow for.
    const INT_PTR nArray = m_data.m_pStyleMap.GetSize();
    EXPECT_TRUE(m_data.CopyCells(100, 1, 200, 3, 5000, 1));
    EXPECT_EQ(m_data.m_pStyleMap.GetSize(), nArray);
    EXPECT_EQ(m_data.GetRowCount(), nDest + 2);

    EXPECT_FALSE(m_data.CopyCells(1, 2, 3, 2, 0xFFFFFFFE, 2)) << "the block would run past the last row number";
    EXPECT_EQ(m_data.GetRowCount(), nDest + 2);
}

TEST_F(CopyMoveTest, MoveTakenBackRestoresBothBlocks)
{
    struct Case {
        const char* name;
        CGXCellRange src;
        ROWCOL destRow, destCol;
    } const cases[] = {
        {"down and right by one, overlapping", CGXCellRange(1, 1, 2, 2), 2, 2},
        {"up and left, overlapping", CGXCellRange(3, 3, 4, 4), 2, 2},
        {"onto cells apart", CGXCellRange(1, 1, 1, 2), 4, 3},
        {"beyond the counts", CGXCellRange(1, 1, 2, 2), 9, 9},
        {"whole rows", CGXCellRange().SetRows(1, 2), 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_data.DeleteContents();
        for (ROWCOL r = 1; r <= 4; ++r)
            for (ROWCOL col = 1; col <= 4; ++col)
                m_data.StoreValueRowCol(r, col, (std::to_string(r) + std::to_string(col)).c_str(), gxOverride);
        const std::string before = Dump(4, 4);

        CObject* pInfo = nullptr;
        ASSERT_TRUE(m_data.MoveCells(c.src, c.destRow, c.destCol, pInfo, TRUE));
        std::unique_ptr<CObject> owner(pInfo);
        const CGXCellRange src = CGXCellRange(c.src).ExpandToCells(0, 0, 4, 4);
        const CGXStyle* pMoved = m_data.LookupStyleRowCol(c.destRow, std::max<ROWCOL>(c.destCol, 1));
        ASSERT_NE(pMoved, nullptr);
        EXPECT_EQ(std::string(pMoved->GetValue()), std::to_string(src.top) + std::to_string(std::max<ROWCOL>(src.left, 1)));
        EXPECT_NE(Dump(4, 4), before);
        if (c.destRow + src.GetHeight() - 1 > 4) {
            EXPECT_GE(m_data.GetRowCount(), c.destRow + src.GetHeight() - 1);
        }

        const CGXCellRange back(c.destRow, c.destCol, c.destRow + src.GetHeight() - 1, c.destCol + src.GetWidth() - 1);
        ASSERT_TRUE(m_data.MoveCells(back, src.top, src.left, pInfo, FALSE));
        EXPECT_EQ(Dump(20, 20), before);
        EXPECT_TRUE(dynamic_cast<CGXDataUndoMoveCellsInfo*>(pInfo)->m_cells.empty()) << "handed back";
    }
}

TEST_F(CopyMoveTest, MoveWithoutKeepingDropsWhatItOverwrote)
{
    StoreLine("abcd", true);
    CObject* pInfo = nullptr;
    EXPECT_TRUE(m_data.MoveCells(CGXCellRange(1, 2, 2, 2), 3, 2, pInfo, FALSE));
    EXPECT_EQ(pInfo, nullptr);
    EXPECT_EQ(Line(4, true), "..ab");

    CObject other;
    pInfo = &other;
    EXPECT_FALSE(m_data.MoveCells(CGXCellRange(3, 2, 4, 2), 1, 2, pInfo, TRUE)) << "a record of another kind";
    EXPECT_EQ(Line(4, true), "..ab");
}

}  // namespace
