// Drawing, read from a recording DC: what a pass draws, where, and how often.

#include "gridwnd_fixture.h"

#include "grid/core/gxcolor.h"

namespace {

using DrawTest = GridWindowTest;

int CountTexts(const CRecordingDC& dc, const char* pszText = nullptr)
{
    int n = 0;
    for (const PvGdiRecord& r : dc.Records())
        if ((r.call == "DrawText" || r.call == "ExtTextOut" || r.call == "TextOut") && !r.text.IsEmpty()
            && (!pszText || r.text == pszText))
            ++n;
    return n;
}

std::vector<CRect> FillsOf(const CRecordingDC& dc)
{
    std::vector<CRect> out;
    for (const PvGdiRecord& r : dc.Find("FillSolidRect"))
        out.push_back(r.rect);
    return out;
}

bool HasFill(const CRecordingDC& dc, const CRect& rect)
{
    for (const CRect& r : FillsOf(dc))
        if (r == rect)
            return true;
    return false;
}

TEST_F(DrawTest, OneCellClipDrawsOneCellAndAnEmptyClipDrawsNothing)
{
    CTestGridWnd& grid = MakeGrid(20, 5);
    const CRect cell = grid.CellToRect(3, 2);
    auto dc = DrawAll(cell);
    EXPECT_EQ(CountTexts(*dc), 1) << dc->Dump();
    EXPECT_EQ(CountTexts(*dc, "3,2"), 1) << dc->Dump();

    const size_t nStyles = grid.GetCachedStyleCount();
    const size_t nFonts = grid.GetCachedFontCount();
    ASSERT_GT(nStyles, 0u);
    CRecordingDC empty(600, 400);
    empty.IntersectClipRect(0, 0, 0, 0);
    grid.OnGridDraw(&empty);
    EXPECT_TRUE(empty.Records().empty()) << empty.Dump();
    EXPECT_EQ(grid.GetCachedStyleCount(), nStyles);
    EXPECT_EQ(grid.GetCachedFontCount(), nFonts);
}

TEST_F(DrawTest, EqualInteriorsInARowAreOneFill)
{
    CTestGridWnd& grid = MakeGrid(10, 12, 1600, 400);
    auto dc = DrawAll();
    const CRect first = grid.CellToRect(1, 1), last = grid.CellToRect(1, 12);
    EXPECT_TRUE(HasFill(*dc, CRect(first.left, first.top, last.right, first.bottom))) << dc->Dump();
    for (ROWCOL c = 1; c <= 12; ++c)
        EXPECT_FALSE(HasFill(*dc, grid.CellToRect(1, c))) << "column " << c;
}

TEST_F(DrawTest, GridLinesOnTheSideTheOptionPicks)
{
    struct Case {
        const char* name;
        DWORD option;
    } const cases[] = {{"upper and left edges", 0}, {"lower and right edges", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeGrid(10, 4);
        grid.GetParam()->m_nGridLineStyle = c.option;
        auto dc = DrawAll();
        const CRect cell = grid.CellToRect(2, 1);
        const CRect right = grid.CellToRect(2, 4);
        const int y = c.option ? cell.bottom - 1 : cell.top;
        // One line along the row's data cells (the header cell has its own background run).
        bool found = false;
        for (const CRect& r : FillsOf(*dc))
            if (r.top == y && r.Height() == 1 && r.left <= cell.left && r.right >= right.right)
                found = true;
        EXPECT_TRUE(found) << dc->Dump();
        const int x = c.option ? cell.right - 1 : cell.left;
        found = false;
        for (const CRect& r : FillsOf(*dc))
            if (r.left == x && r.Width() == 1 && r.top <= cell.top && r.bottom >= cell.bottom)
                found = true;
        EXPECT_TRUE(found) << dc->Dump();
    }
}

TEST_F(DrawTest, FewerRowsThanFitFillTheRestAndCloseWithALine)
{
    CTestGridWnd& grid = MakeGrid(3, 3);
    auto dc = DrawAll();
    const CRect last = grid.CellToRect(3, 3);
    DWORD field = 0, kind = 0;
    GXPackColor(grid.GetProperties()->GetColor(4), field, kind);
    const COLORREF background = GXResolveColor(field, kind);
    bool below = false, right = false, line = false;
    for (const PvGdiRecord& r : dc->Find("FillSolidRect")) {
        if (r.rect == CRect(0, last.bottom, 600, 400) && r.color == background)
            below = true;
        if (r.rect.left == last.right && r.rect.right == 600 && r.color == background)
            right = true;
        if (r.rect.top == last.bottom && r.rect.Height() == 1 && r.rect.right >= last.right)
            line = true;
    }
    EXPECT_TRUE(below) << dc->Dump();
    EXPECT_TRUE(right) << dc->Dump();
    EXPECT_TRUE(line) << dc->Dump();
}

TEST_F(DrawTest, NullPenBorderTakesNoWidth)
{
    CTestGridWnd& grid = MakeGrid(5, 5);
    const CRect rect(10, 10, 110, 40);
    CGXStyle plain;
    CGXStyle nullBorders;
    nullBorders.SetBorders(gxBorderAll, CGXPackedPen(PS_NULL, 3, RGB(0, 0, 0)));
    CGXStyle thick;
    thick.SetBorders(gxBorderLeft, CGXPackedPen(PS_SOLID, 3, RGB(0, 0, 0)));
    EXPECT_EQ(grid.CellInnerRect(rect, nullBorders), grid.CellInnerRect(rect, plain));
    EXPECT_EQ(grid.CellInnerRect(rect, thick).left, rect.left + 3);
    CRecordingDC dc(200, 100);
    grid.DrawBorderLine(&dc, rect, 0, CGXPackedPen(PS_NULL, 3, RGB(0, 0, 0)));
    EXPECT_TRUE(dc.Records().empty()) << dc.Dump();
}

TEST_F(DrawTest, SelectionInvertsOnlyWithTheOption)
{
    CTestGridWnd& grid = MakeGrid(10, 5);
    grid.GetParam()->m_SelRects.AddRange(CGXCellRange(2, 2, 3, 3));
    auto on = DrawAll();
    EXPECT_EQ(on->Count("InvertRect"), 4) << on->Dump();
    grid.GetParam()->m_bInvertSelection = 0;
    auto off = DrawAll();
    EXPECT_EQ(off->Count("InvertRect"), 0) << off->Dump();
}

TEST_F(DrawTest, CurrentCellFrameBandsFollowTheGridLineSide)
{
    struct Case {
        const char* name;
        DWORD option;
        int nearBand, farBand;
    } const cases[] = {{"lines on the upper edge", 0, 3, 2}, {"lines on the lower edge", 1, 2, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestGridWnd& grid = MakeGrid(10, 5);
        grid.GetParam()->m_nGridLineStyle = c.option;
        grid.GetParam()->m_bCurrentCellFrame = 1;
        grid.m_nCurrentRow = 2;
        grid.m_nCurrentCol = 2;
        grid.m_bHasCurrentCell = TRUE;
        const CRect cell = grid.CellToRect(2, 2);
        auto dc = DrawAll();
        // The control's own selection marks come first; the grid's frame is the last four.
        auto inverts = dc->Find("InvertRect");
        ASSERT_GE(inverts.size(), 4u) << dc->Dump();
        inverts.erase(inverts.begin(), inverts.end() - 4);
        EXPECT_EQ(inverts[0].rect, CRect(cell.left, cell.top, cell.right, cell.top + c.nearBand));
        EXPECT_EQ(inverts[1].rect, CRect(cell.left, cell.bottom - c.farBand, cell.right, cell.bottom));
        EXPECT_EQ(inverts[2].rect.Width(), c.nearBand);
        EXPECT_EQ(inverts[3].rect.Width(), c.farBand);
    }
}

TEST_F(DrawTest, OneFontForManyCellsIsOneGdiFont)
{
    // Not shown yet, so nothing was drawn before.
    CTestGridWnd& grid = MakeGrid(100, 12, 1600, 1000, 0);
    // The data cells only: 60 rows x 12 columns share the Standard style's font.
    const CRect first = grid.CellToRect(1, 1);
    const CRect last = grid.CellToRect(60, 12);
    auto dc = DrawAll(CRect(first.left, first.top, last.right, last.bottom));
    EXPECT_EQ(CountTexts(*dc), 720);
    EXPECT_EQ(grid.GetCachedFontCount(), 1u);
}

}  // namespace
