// Sizing rows and columns to fit: contents measured by their controls, the area's limit, the
// never-shrink flag, covered blocks, one undo for all, and a cancel that takes everything back.

#include <cstdio>
#include <string>
#include <vector>

#include "../controls/gxgridfixture.h"
#include "grid/controls/gxstatic.h"
#include "grid/core/gxlongop.h"
#include "grid/features/gxresizefit.h"
#include "platform/sys/system.h"

namespace {

constexpr WORD kSizedControl = 9412;

// Measures a cell's value "width,height"; optionally lets time pass on the test clock.
class SizedControl : public CGXStatic {
public:
    using CGXStatic::CGXStatic;
    DWORD m_nTickPerCell = 0;
    CSize ComputeContentSize(CDC*, ROWCOL, ROWCOL, const CGXStyle& style, BOOL) override
    {
        PvAdvanceTestClock(m_nTickPerCell);
        int cx = 0, cy = 0;
        std::sscanf(style.GetValue(), "%d,%d", &cx, &cy);
        return CSize(cx, cy);
    }
};

class ResizeFitTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_pControl = new SizedControl(m_grid.get());
        m_grid->RegisterControl(kSizedControl, m_pControl, FALSE, FALSE);
        CGXStyle standard;
        standard.SetControl(kSizedControl);
        ASSERT_TRUE(m_grid->ModifyStandardStyle(standard));
        m_grid->GetParam()->ClearUndoList();
    }
    void Put(ROWCOL r, ROWCOL c, const char* size) { m_grid->SetValueRange(CGXCellRange(r, c), size); }
    std::vector<int> Heights()
    {
        std::vector<int> v;
        for (ROWCOL r = 0; r <= m_grid->RowCount(); ++r)
            v.push_back(m_grid->RowHeight(r));
        return v;
    }
    SizedControl* m_pControl = nullptr;
};

TEST_F(ResizeFitTest, RowsGetTheTallestCellBoundedByTheArea)
{
    ASSERT_NE(dynamic_cast<CGXGridResizeToFitImp*>(m_grid->m_pResizeToFitImp), nullptr) << "installed with every grid";
    const int nDefault = m_grid->RowHeight(3);
    Put(2, 1, "10,50");
    Put(2, 3, "10,30");
    Put(4, 2, "10,5000");
    m_grid->SetColWidths(5, 5, 0);
    Put(2, 5, "10,90");  // a column of width 0 does not count
    m_grid->GetParam()->ClearUndoList();
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(1, 4)));
    EXPECT_EQ(m_grid->RowHeight(2), 50);
    EXPECT_EQ(m_grid->RowHeight(3), nDefault) << "nothing to measure: kept";
    const int nArea = m_grid->GetDrawingArea().Height();
    EXPECT_EQ(m_grid->RowHeight(4), nArea - m_grid->RowHeight(0) - 1) << "the area less one pixel";
    EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 1) << "one step";

    ASSERT_TRUE(m_grid->SetFrozenRows(2));
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(4)));
    EXPECT_EQ(m_grid->RowHeight(4), nArea - m_grid->SumRowHeights(0, 2) - 1) << "less the frozen rows";
}

TEST_F(ResizeFitTest, NeverShrinkAndCoveredBlocks)
{
    m_grid->SetRowHeights(5, 5, 80);
    Put(5, 1, "10,20");
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(5), GX_UPDATENOW | GX_NOSHRINKSIZE));
    EXPECT_EQ(m_grid->RowHeight(5), 80);
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(5)));
    EXPECT_EQ(m_grid->RowHeight(5), 20);

    ASSERT_TRUE(m_grid->SetCoveredCellsRowCol(7, 1, 8, 2));
    Put(7, 1, "10,100");
    const int nRow7 = m_grid->RowHeight(7);
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(7, 8)));
    EXPECT_EQ(m_grid->RowHeight(7), nRow7) << "a block counts at its last row";
    EXPECT_EQ(m_grid->RowHeight(7) + m_grid->RowHeight(8), 100);
    const int nRow8 = m_grid->RowHeight(8);
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange(8, 1, 8, 1)));
    EXPECT_EQ(m_grid->RowHeight(8), nRow8 - 0) << "a block reaching out of the range does not count";
}

TEST_F(ResizeFitTest, OneUndoRestoresEveryHeight)
{
    for (ROWCOL r = 1; r <= 6; ++r)
        Put(r, 2, ("10," + std::to_string(20 + 5 * r)).c_str());
    m_grid->GetParam()->ClearUndoList();
    const std::vector<int> before = Heights();
    ASSERT_TRUE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(1, 6)));
    EXPECT_NE(Heights(), before);
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(Heights(), before);
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(m_grid->RowHeight(6), 50);
}

TEST_F(ResizeFitTest, ColumnsGetTheWidestCell)
{
    Put(1, 2, "140,10");
    Put(3, 2, "90,10");
    Put(2, 3, "15,10");
    ASSERT_TRUE(m_grid->ResizeColWidthsToFit(CGXCellRange().SetCols(2, 3)));
    EXPECT_EQ(m_grid->ColWidth(2), 140);
    EXPECT_EQ(m_grid->ColWidth(3), 15);
}

TEST_F(ResizeFitTest, EscapeTakesBackEveryHeight)
{
    for (ROWCOL r = 1; r <= 10; ++r)
        Put(r, 1, "10,44");
    m_grid->GetParam()->ClearUndoList();
    const std::vector<int> before = Heights();
    CGXLongOperationState& st = GXGetLongOperationState();
    st.m_bAskQuestion = FALSE;
    PvSetTestClock(10000);
    m_pControl->m_nTickPerCell = 400;
    PostMessage(m_wnd.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(m_grid->ResizeRowHeightsToFit(CGXCellRange().SetRows(1, 10)));
    m_pControl->m_nTickPerCell = 0;
    st.m_bAskQuestion = TRUE;
    st.m_bCancelKey = FALSE;
    PvClearTestClock();
    EXPECT_EQ(Heights(), before);
    EXPECT_EQ(m_grid->GetParam()->GetUndoList().GetCount(), 0);
}

}  // namespace

namespace {

// Counts the grid's redraws.
class CountingGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    int m_nRedraws = 0, m_nCellRedraws = 0;
    void Redraw(UINT flags, BOOL bCreateHint) override
    {
        ++m_nRedraws;
        CGXGridCore::Redraw(flags, bCreateHint);
    }
    void RedrawCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT flags, BOOL bCreateHint) override
    {
        ++m_nCellRedraws;
        CGXGridCore::RedrawCells(nTop, nLeft, nBottom, nRight, flags, bCreateHint);
    }
};

TEST_F(ResizeFitTest, ManyRowsRedrawOnce)
{
    CountingGrid grid(&m_wnd);
    grid.Initialize();
    grid.SetRowCount(200);
    grid.SetColCount(3);
    grid.RegisterControl(kSizedControl, new SizedControl(&grid), FALSE, FALSE);
    grid.ModifyStandardStyle(CGXStyle().SetControl(kSizedControl));
    for (ROWCOL r = 1; r <= 200; ++r)
        grid.SetValueRange(CGXCellRange(r, 2), ("10," + std::to_string(20 + r % 7)).c_str());
    grid.GetParam()->ClearUndoList();
    grid.m_nRedraws = grid.m_nCellRedraws = 0;
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXCellRange().SetRows(1, 200)));
    EXPECT_EQ(grid.m_nRedraws, 1);
    EXPECT_EQ(grid.m_nCellRedraws, 0);
    EXPECT_EQ(grid.RowHeight(6), 26);
    EXPECT_EQ(grid.GetParam()->GetUndoList().GetCount(), 1) << "one step for all 200 heights";
}

}  // namespace
