// Scrolling: the scroll position, the scaled scroll bars, the thumb, and bringing cells into view.

#include "gridwnd_fixture.h"

namespace {

using ScrollTest = GridWindowTest;

TEST_F(ScrollTest, TopRowStaysInTheScrollableRows)
{
    CTestGridWnd& grid = MakeGrid(50, 5);
    grid.SetTopRow(0, GX_INVALIDATE);
    EXPECT_EQ(grid.GetTopRow(), 1u);
    grid.SetTopRow(500, GX_INVALIDATE);
    EXPECT_EQ(grid.GetTopRow(), 50u);
    grid.GetParam()->m_nFrozenRows = 2;
    grid.SetTopRow(1, GX_INVALIDATE);
    EXPECT_EQ(grid.GetTopRow(), 3u);
}

TEST_F(ScrollTest, LongGridsScaleTheBar)
{
    CTestGridWnd& grid = MakeGrid(100000, 5, 600, 400, WS_VISIBLE | WS_VSCROLL);
    grid.SetScrollBarMode(SB_VERT, 1, TRUE);
    grid.UpdateScrollBars();
    EXPECT_EQ(grid.GetScrollScale(SB_VERT), 4);
    grid.SetGridScrollPos(SB_VERT, 5);
    EXPECT_EQ(grid.GetScrollPos(SB_VERT), 1);
    EXPECT_EQ(grid.GetGridScrollPos(SB_VERT), 4);
}

TEST_F(ScrollTest, ThumbPositionsMapBackToRows)
{
    struct Case {
        const char* name;
        ROWCOL frozen;
        int mode;
    } const cases[] = {
        {"no frozen rows", 0, 1},
        {"two frozen rows", 2, 1},
        {"two frozen rows, last page at the edge", 2, 1 | 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeGrid(100000, 5, 600, 400, WS_VISIBLE | WS_VSCROLL);
        grid.GetParam()->m_nFrozenRows = c.frozen;
        grid.SetScrollBarMode(SB_VERT, c.mode, TRUE);
        grid.UpdateScrollBars();
        const int scale = grid.GetScrollScale(SB_VERT);
        ASSERT_EQ(scale, 4);
        SCROLLINFO si {};
        si.cbSize = sizeof si;
        ASSERT_TRUE(grid.GetScrollInfo(SB_VERT, &si, SIF_ALL));
        const int lastPos = si.nPage > 1 ? si.nMax - int(si.nPage) + 1 : si.nMax;
        const ROWCOL lastPage = grid.LastPageTopRow();

        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, lastPos), 0);
        EXPECT_EQ(grid.GetTopRow(), lastPage);
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        EXPECT_EQ(grid.GetTopRow(), c.frozen + 1);
        const int middle = lastPos / 2;
        grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, middle), 0);
        const long long expected = (long long)middle * scale;
        EXPECT_LT(std::llabs((long long)grid.GetTopRow() - expected), scale);
        // Where the grid went, the thumb shows.
        EXPECT_EQ(grid.GetScrollPos(SB_VERT), middle);
    }
}

TEST_F(ScrollTest, ThumbTrackingFollowsTheOption)
{
    CTestGridWnd& grid = MakeGrid(1000, 5, 600, 400, WS_VISIBLE | WS_VSCROLL);
    grid.SetScrollBarMode(SB_VERT, 1, TRUE);
    grid.UpdateScrollBars();
    grid.GetParam()->m_bThumbTrack = 0;
    grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    EXPECT_EQ(grid.GetTopRow(), 1u);
    grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 0);
    EXPECT_EQ(grid.GetTopRow(), 100u);
    grid.GetParam()->m_bThumbTrack = 1;
    grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
    EXPECT_EQ(grid.GetTopRow(), 200u);
}

TEST_F(ScrollTest, LinesPagesAndEnds)
{
    CTestGridWnd& grid = MakeGrid(1000, 5, 600, 400, WS_VISIBLE | WS_VSCROLL);
    grid.SetScrollBarMode(SB_VERT, 1, TRUE);
    grid.UpdateScrollBars();
    grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid.GetTopRow(), 2u);
    const ROWCOL lastFull = grid.LastFullyVisibleRow();
    grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(grid.GetTopRow(), lastFull);
    grid.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(grid.GetTopRow(), 2u);
    grid.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid.GetTopRow(), grid.LastPageTopRow());
    grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid.GetTopRow(), 1u);
}

TEST_F(ScrollTest, WhenNeededHidesTheBarWhileEveryRowFits)
{
    CTestGridWnd& grid = MakeGrid(5, 3, 600, 400, WS_VISIBLE | WS_VSCROLL);
    grid.SetScrollBarMode(SB_VERT, 2, TRUE);
    grid.UpdateScrollBars();
    EXPECT_FALSE(grid.GetStyle() & WS_VSCROLL);
    grid.m_nRows = 500;
    grid.UpdateScrollBars();
    EXPECT_TRUE(grid.GetStyle() & WS_VSCROLL);
}

TEST_F(ScrollTest, ScrollToCellBelowMakesItTheLastFullyVisibleRow)
{
    CTestGridWnd& grid = MakeGrid(1000, 5);
    EXPECT_TRUE(grid.ScrollToCell(300, 1));
    EXPECT_EQ(grid.LastFullyVisibleRow(), 300u);
    EXPECT_FALSE(grid.ScrollToCell(300, 1));
    EXPECT_TRUE(grid.ScrollToCell(10, 1));
    EXPECT_EQ(grid.GetTopRow(), 10u);
}

TEST_F(ScrollTest, RefusedChangeScrollsAndDrawsNothing)
{
    CTestGridWnd& grid = MakeGrid(1000, 5);
    grid.m_bRefuseTopRow = TRUE;
    grid.m_paintClips.clear();
    EXPECT_FALSE(grid.ScrollCells(3, 5));
    grid.UpdateWindow();
    EXPECT_EQ(grid.GetTopRow(), 1u);
    EXPECT_TRUE(grid.m_paintClips.empty());
}

TEST_F(ScrollTest, ALineScrollRepaintsOnlyTheUncoveredBand)
{
    CTestGridWnd& grid = MakeGrid(1000, 5);
    const int rowHeight = grid.RowHeight(5);
    grid.m_paintClips.clear();
    ASSERT_TRUE(grid.ScrollCells(3, 1));
    ASSERT_EQ(grid.m_paintClips.size(), 1u);
    EXPECT_EQ(grid.m_paintClips[0].Height(), rowHeight);
    EXPECT_EQ(grid.m_paintClips[0].bottom, 400);
}

}  // namespace
