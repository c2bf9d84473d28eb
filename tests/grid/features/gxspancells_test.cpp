// Floating and merged cells evaluated through a test control whose text widths, float and merge
// answers the tests set, and the older drawing path on a recording DC.

#include "tests/grid/controls/gxgridfixture.h"

#include <map>
#include <set>
#include <string>
#include <utility>

#include "grid/controls/gxstatic.h"
#include "grid/core/gxdrawgrid.h"
#include "grid/features/gxspancells.h"
#include "grid/features/gxspanpool.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr WORD kTestControl = 30001;
constexpr int kCharWidth = 10;

using Cell = std::pair<ROWCOL, ROWCOL>;

// Measures a text at kCharWidth a character; counts what floating and merging ask of each cell.
class CTestSpanControl : public CGXStatic {
public:
    explicit CTestSpanControl(CGXGridCore* pGrid) : CGXStatic(pGrid) {}
    std::map<Cell, int> m_measured;
    std::set<Cell> m_noFlood;
    std::map<Cell, CRect> m_clips;  // the clip box each cell was drawn in

    CSize ComputeContentSize(CDC*, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL) override
    {
        ++m_measured[{nRow, nCol}];
        return CSize(int(style.GetValueRef().GetLength()) * kCharWidth, 10);
    }
    BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFlood) override
    {
        if (!bFlood && m_noFlood.count({nRow, nCol}))
            return FALSE;
        return CGXStatic::CanFloatCell(nRow, nCol, style, bFlood);
    }
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override
    {
        CRect clip;
        pDC->GetClipBox(&clip);
        m_clips[{nRow, nCol}] = clip;
        CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
    }
    void ClearCounts()
    {
        m_measured.clear();
        m_clips.clear();
    }
};

class SpanCellsTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_pControl = new CTestSpanControl(m_grid.get());
        m_grid->RegisterControl(kTestControl, m_pControl, FALSE, FALSE);
        CGXStyle standard;
        standard.SetControl(kTestControl).SetFloatCell(TRUE).SetFloodCell(TRUE).SetMergeCell(1);
        ASSERT_TRUE(m_grid->ModifyStandardStyle(standard));
        ASSERT_NE(m_grid->m_pFloatCellsImp, nullptr) << "installed with every grid";
        ASSERT_NE(m_grid->m_pMergeCellsImp, nullptr) << "installed with every grid";
        m_nColWidth = m_grid->ColWidth(1);
    }
    void Paint()
    {
        CRecordingDC dc(640, 480);
        m_grid->OnGridDraw(&dc);
    }
    void Set(ROWCOL r, ROWCOL c, const CString& value) { SetStyle(r, c, CGXStyle().SetValue(value)); }
    // A text that needs n columns and a little more.
    CString Needing(int nCols) { return CString(std::string(size_t((nCols - 1) * m_nColWidth / kCharWidth + 1), 'x').c_str()); }
    CGXCellRange FloatSpan(ROWCOL r, ROWCOL c)
    {
        CGXCellRange s;
        return m_grid->FloatSpanOfCell(r, c, s) ? s : CGXCellRange();
    }
    CGXCellRange MergeSpan(ROWCOL r, ROWCOL c)
    {
        CGXCellRange s;
        return m_grid->MergeSpanOfCell(r, c, s) ? s : CGXCellRange();
    }
    CGXDelayedRangePool* FloatQueue()
    {
        return dynamic_cast<CGXDelayedRangePool*>(m_grid->GetParam()->GetFeatureObject(CGXGridParam::nFloatDelayed));
    }
    int Measured(ROWCOL r, ROWCOL c) { return m_pControl->m_measured[{r, c}]; }
    int MeasuredTotal()
    {
        int n = 0;
        for (const auto& [cell, count] : m_pControl->m_measured)
            n += count;
        return n;
    }

    CTestSpanControl* m_pControl = nullptr;
    int m_nColWidth = 0;
};

// ---- Floating ----

TEST_F(SpanCellsTest, AStoredValueQueuesItsCellAndADrawingEvaluatesItOnce)
{
    GXSetFloatCellsMode(m_grid.get(), 1);
    ASSERT_NE(FloatQueue(), nullptr);
    Paint();
    m_pControl->ClearCounts();
    Set(5, 2, Needing(3));
    ASSERT_FALSE(FloatQueue()->GetRanges().empty());
    EXPECT_EQ(FloatQueue()->GetRanges().back()->m_range, CGXCellRange(5, 2, 5, 2)) << "only the stored cell";
    EXPECT_EQ(MeasuredTotal(), 0) << "nothing evaluated before it is drawn";
    Paint();
    EXPECT_EQ(Measured(5, 2), 1);
    EXPECT_EQ(MeasuredTotal(), 1) << "cells drawn before are not evaluated again";
    EXPECT_EQ(FloatSpan(5, 3), CGXCellRange(5, 2, 5, 4));
    Paint();
    EXPECT_EQ(Measured(5, 2), 1) << "a second drawing evaluates nothing";

    // A shorter text gives the cells back.
    Set(5, 2, "x");
    Paint();
    EXPECT_EQ(FloatSpan(5, 3), CGXCellRange());
    EXPECT_EQ(FloatSpan(5, 2), CGXCellRange());
}

TEST_F(SpanCellsTest, FloatingStopsWhereANeighbourMayNotBeFloatedOver)
{
    GXSetFloatCellsMode(m_grid.get(), 2);
    m_grid->SetCoveredCellsRowCol(9, 2, 10, 2);
    struct Case {
        const char* name;
        ROWCOL r, c;
        int nNeeded;
        std::set<Cell> noFlood;
        std::vector<std::pair<Cell, const char*>> others;
        CGXCellRange expected;
    } const cases[] = {
        {"over three empty neighbours", 3, 2, 4, {}, {}, CGXCellRange(3, 2, 3, 5)},
        {"stops at a refusing neighbour", 3, 2, 4, {{3, 4}}, {}, CGXCellRange(3, 2, 3, 3)},
        {"stops at a text", 3, 2, 4, {}, {{{3, 3}, "y"}}, CGXCellRange()},
        {"the last column is not floated over", 3, 4, 4, {}, {}, CGXCellRange(3, 4, 3, 5)},
        {"none from the last column", 3, 6, 3, {}, {}, CGXCellRange()},
        {"none in the header row", 0, 2, 3, {}, {}, CGXCellRange()},
        {"none from a covered cell", 9, 2, 3, {}, {}, CGXCellRange()},
        {"stops before a covered cell", 9, 1, 3, {}, {}, CGXCellRange()},
        {"a text that fits stays", 3, 2, 1, {}, {}, CGXCellRange()},
    };
    ROWCOL nRow = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GXSetFloatCellsMode(m_grid.get(), 2);  // empty pools
        m_grid->SetStyleRange(CGXCellRange(0, 1, 12, 6), CGXStyle().SetValue(""));
        m_pControl->m_noFlood = c.noFlood;
        for (const auto& [cell, text] : c.others)
            Set(cell.first, cell.second, text);
        Set(c.r, c.c, Needing(c.nNeeded));
        nRow = c.r;
        m_grid->ResolveFloatCells(CGXCellRange(0, 1, 12, 6));
        EXPECT_EQ(FloatSpan(c.r, c.c), c.expected);
    }
    (void)nRow;
}

TEST_F(SpanCellsTest, AMergedCellDoesNotFloat)
{
    GXSetFloatCellsMode(m_grid.get(), 2);
    GXSetMergeCellsMode(m_grid.get(), 2);
    Set(3, 2, Needing(3));
    Set(4, 2, Needing(3));
    m_grid->ResolveMergeCells(CGXCellRange(1, 1, 6, 6));
    ASSERT_EQ(MergeSpan(3, 2), CGXCellRange(3, 2, 4, 2));
    m_grid->ResolveFloatCells(CGXCellRange(1, 1, 6, 6));
    EXPECT_EQ(FloatSpan(3, 2), CGXCellRange());
}

// ---- Merging ----

TEST_F(SpanCellsTest, EqualNeighboursMergeAndADifferentValueSplitsOnlyWhatWasJoined)
{
    GXSetMergeCellsMode(m_grid.get(), 1);
    Set(2, 2, "a");
    Set(2, 3, "a");
    Paint();
    EXPECT_EQ(MergeSpan(2, 3), CGXCellRange(2, 2, 2, 3));
    Set(2, 4, "a");
    Paint();
    EXPECT_EQ(MergeSpan(2, 2), CGXCellRange(2, 2, 2, 4)) << "a third extends it";
    Set(2, 5, "b");
    Set(2, 6, "b");
    Paint();
    EXPECT_EQ(MergeSpan(2, 2), CGXCellRange(2, 2, 2, 4)) << "a different value next to it joins nothing";
    EXPECT_EQ(MergeSpan(2, 6), CGXCellRange(2, 5, 2, 6));
    Set(2, 3, "c");
    Paint();
    EXPECT_EQ(MergeSpan(2, 2), CGXCellRange());
    EXPECT_EQ(MergeSpan(2, 3), CGXCellRange());
    EXPECT_EQ(MergeSpan(2, 4), CGXCellRange());
    EXPECT_EQ(MergeSpan(2, 5), CGXCellRange(2, 5, 2, 6)) << "what was not joined stays";
    Set(2, 3, "a");
    Paint();
    EXPECT_EQ(MergeSpan(2, 4), CGXCellRange(2, 2, 2, 4)) << "joined again";
}

TEST_F(SpanCellsTest, ModeNineMergesOnlyVertically)
{
    GXSetMergeCellsMode(m_grid.get(), 9);
    for (ROWCOL r : {2, 3})
        for (ROWCOL c : {2, 3})
            Set(r, c, "same");
    Paint();
    EXPECT_EQ(MergeSpan(2, 2), CGXCellRange(2, 2, 3, 2));
    EXPECT_EQ(MergeSpan(2, 3), CGXCellRange(2, 3, 3, 3));
    GXSetMergeCellsMode(m_grid.get(), 1);
    Paint();
    EXPECT_EQ(MergeSpan(3, 2), CGXCellRange(3, 2, 3, 3)) << "rows first in mode 1";
}

TEST_F(SpanCellsTest, SpansFollowInsertedAndRemovedRows)
{
    GXSetMergeCellsMode(m_grid.get(), 1);
    Set(4, 2, "a");
    Set(5, 2, "a");
    Paint();
    ASSERT_EQ(MergeSpan(4, 2), CGXCellRange(4, 2, 5, 2));
    ASSERT_TRUE(m_grid->InsertRows(1, 2));
    EXPECT_EQ(MergeSpan(6, 2), CGXCellRange(6, 2, 7, 2));
    ASSERT_TRUE(m_grid->RemoveRows(7, 7));
    Paint();
    EXPECT_EQ(MergeSpan(6, 2), CGXCellRange());
}

// ---- Lazy for many rows ----

// Counts the cells merging asks about.
class CCountingMergeImp : public CGXMergeCellsImp {
public:
    std::set<Cell> m_asked;
    int m_nAsked = 0;
    BOOL CanMergeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override
    {
        m_asked.insert({nRow, nCol});
        ++m_nAsked;
        return CGXMergeCellsImp::CanMergeCell(pGrid, nRow, nCol, style);
    }
};

TEST_F(SpanCellsTest, AHundredThousandRowsEvaluateOnlyWhatIsDrawn)
{
    CCountingMergeImp merge;
    struct Restore {
        CGXGridCore* pGrid;
        CGXGridMergeCellsImp* pImp;
        ~Restore() { pGrid->m_pMergeCellsImp = pImp; }
    } restore {m_grid.get(), m_grid->m_pMergeCellsImp};
    m_grid->m_pMergeCellsImp = &merge;
    m_grid->GetParam()->EnableUndo(FALSE);
    ASSERT_TRUE(m_grid->SetRowCount(100000, GX_NOREDRAW));
    m_grid->SetStyleRange(CGXCellRange(1, 1, 100000, 1), CGXStyle().SetValue(Needing(2)));
    GXSetFloatCellsMode(m_grid.get(), 1);
    GXSetMergeCellsMode(m_grid.get(), 1);
    ASSERT_EQ(FloatQueue()->GetRanges().size(), 1u) << "the whole table as one range";
    m_pControl->ClearCounts();
    Paint();
    const ROWCOL nShown = m_grid->LastFullyVisibleRow() - m_grid->GetTopRow() + 2;
    EXPECT_GT(MeasuredTotal(), 0);
    EXPECT_LE(MeasuredTotal(), int(nShown)) << "one text a drawn row";
    EXPECT_LE(merge.m_asked.size(), size_t(nShown) * 6 + 12);
    EXPECT_EQ(MergeSpan(1, 1), CGXCellRange(1, 1, nShown + 1, 1)) << "equal texts merge down to past the page";

    // A page further down evaluates that page only.
    m_pControl->ClearCounts();
    merge.m_asked.clear();
    ASSERT_TRUE(m_grid->SetTopRow(50000, GX_NOREDRAW));
    Paint();
    EXPECT_LE(MeasuredTotal(), int(nShown));
    for (const auto& [cell, count] : m_pControl->m_measured) {
        EXPECT_GE(cell.first, 50000u);
        EXPECT_EQ(count, 1) << cell.first;
    }
    for (const Cell& cell : merge.m_asked)
        EXPECT_GE(cell.first + 2, 50000u) << "rows of the page and their neighbours";
    EXPECT_LT(FloatQueue()->GetRanges()[0]->m_firsts.size(), 51000u) << "records grow to the rows used";
}

// ---- The older drawing path ----

TEST_F(SpanCellsTest, TheOlderPathClipsEachRowButNotWhilePrinting)
{
    ASSERT_NE(GXGetOldDrawingImp(m_grid.get()), nullptr) << "installed with every grid";
    m_grid->GetParam()->m_bOldDrawing = TRUE;
    m_grid->SetCoveredCellsRowCol(3, 2, 4, 3);
    for (BOOL bPrinting : {FALSE, TRUE}) {
        SCOPED_TRACE(bPrinting ? "printing" : "on the screen");
        m_pControl->ClearCounts();
        CRecordingDC dc(640, 480);
        dc.m_bPrinting = bPrinting;
        m_grid->OnGridDraw(&dc);
        ASSERT_FALSE(m_pControl->m_clips.empty());
        const CRect area = m_grid->GetDrawingArea();
        for (const auto& [cell, clip] : m_pControl->m_clips) {
            const auto [r, c] = cell;
            if (r == 0 || c == 0)
                continue;
            const CRect row = m_grid->CellToRect(r, c);
            const int nCovered = m_grid->RowHeight(3) + m_grid->RowHeight(4);
            if (r == 3 && c == 2) {
                EXPECT_EQ(clip.Height(), nCovered) << "the covered area draws in its own rectangle";
            } else if (bPrinting) {
                EXPECT_GT(clip.Height(), row.Height() * 3) << r << "," << c;
            } else {
                // One clip a row; a row that starts a covered area reaches to its bottom.
                EXPECT_EQ(clip.top, row.top) << r << "," << c;
                EXPECT_EQ(clip.bottom, std::min<int>(r == 3 ? row.top + nCovered : row.bottom, area.bottom))
                    << r << "," << c;
            }
        }
        // No grid line inside the covered area: neither between its rows nor between its columns.
        const CRect covered = m_grid->CellToRect(3, 2) | m_grid->CellToRect(4, 3);
        const CRect inner(covered.left + 1, covered.top + 1, covered.right - 1, covered.bottom - 1);
        for (const PvGdiRecord& rec : dc.Find("FillSolidRect")) {
            const bool bLine = rec.rect.Width() == 1 || rec.rect.Height() == 1;
            if (bLine && !(rec.rect & inner).IsRectEmpty())
                ADD_FAILURE() << "a line inside the covered area: " << rec.ToString();
        }
    }
}

}  // namespace
