// Sizing columns and rows by dragging header borders: one table of mouse gestures on a small grid,
// each checked for the sizes it leaves, the undo steps it records and the pixels it leaves behind.

#include <functional>
#include <string>
#include <vector>

#include "../controls/gxgridfixture.h"
#include "grid/features/gxresize.h"

namespace {

// A grid whose hooks refuse when asked to.
class HookGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    BOOL m_bRefuseResize = FALSE;
    int m_nMaxWidth = 0;
    BOOL CanResizeCol(ROWCOL nCol) override { return !m_bRefuseResize && CGXGridCore::CanResizeCol(nCol); }
    BOOL AcceptColWidth(ROWCOL nCol, int nWidth) override
    {
        return (!m_nMaxWidth || nWidth <= m_nMaxWidth) && CGXGridCore::AcceptColWidth(nCol, nWidth);
    }
};

class ResizeTest : public GridFixture {
public:
    using GridFixture::m_grid;
    void SetUp() override
    {
        GridFixture::SetUp();
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        m_grid = std::make_unique<HookGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(8);
        m_grid->GetParam()->ClearUndoList();
        PvPumpMessages();
    }
    HookGrid& Grid() { return static_cast<HookGrid&>(*m_grid); }
    // The point on the right border of a column's header cell.
    CPoint Border(ROWCOL nCol)
    {
        const CRect r = m_grid->CellToRect(0, nCol);
        return CPoint(r.right - 1, r.top + r.Height() / 2);
    }
    void Down(CPoint p, UINT keys = 0) { m_grid->OnGridLButtonDown(MK_LBUTTON | keys, p); }
    void Move(CPoint p) { m_grid->OnGridMouseMove(MK_LBUTTON, p); }
    void Up(CPoint p) { m_grid->OnGridLButtonUp(0, p); }
    void Drag(CPoint from, int dx)
    {
        Down(from);
        for (int i = 1; i <= 4; ++i)
            Move(CPoint(from.x + dx * i / 4, from.y));
        Up(CPoint(from.x + dx, from.y));
    }
    std::vector<int> Widths()
    {
        std::vector<int> v;
        for (ROWCOL c = 0; c <= m_grid->ColCount(); ++c)
            v.push_back(m_grid->ColWidth(c));
        return v;
    }
    INT_PTR UndoSteps() { return m_grid->GetParam()->GetUndoList().GetCount(); }
    // The window's pixels over the headers and the first rows.
    std::vector<COLORREF> Pixels() { return WindowPixels(600, 120, 1); }
    std::vector<COLORREF> Repainted() { return RepaintedPixels(600, 120, 1); }
};

TEST_F(ResizeTest, MouseGesturesOnColumnBorders)
{
    ASSERT_NE(dynamic_cast<CGXGridUserResizeCellsImp*>(m_grid->m_pUserResizeCellsImp), nullptr) << "installed with every grid";
    const int w = m_grid->ColWidth(3);
    struct Case {
        const char* name;
        std::function<void(ResizeTest&)> arrange;
        std::function<void(ResizeTest&)> act;
        std::function<void(ResizeTest&, std::vector<int>&)> expect;  // the widths expected, from the former ones
        INT_PTR nSteps;
    };
    const Case cases[] = {
        {"40 px wider", nullptr, [](ResizeTest& t) { t.Drag(t.Border(3), 40); },
         [w](ResizeTest&, std::vector<int>& v) { v[3] = w + 40; }, 1},
        {"left of its left edge hides it", nullptr, [w](ResizeTest& t) { t.Drag(t.Border(3), -w - 10); },
         [](ResizeTest&, std::vector<int>& v) { v[3] = 0; }, 1},
        {"one pixel changes nothing", nullptr, [](ResizeTest& t) { t.Drag(t.Border(3), 1); }, nullptr, 0},
        {"0x08 refuses a header column",
         [](ResizeTest& t) { t.m_grid->GetParam()->SetColResizeFlags(178 | 0x08); },
         [](ResizeTest& t) { t.Drag(t.Border(0), 30); }, nullptr, 0},
        {"a header column with the defaults", nullptr, [](ResizeTest& t) { t.Drag(t.Border(0), 30); },
         [&](ResizeTest& t, std::vector<int>& v) { v[0] += 30; (void)t; }, 1},
        {"0x01 sizes every column", [](ResizeTest& t) { t.m_grid->GetParam()->SetColResizeFlags(178 | 0x01); },
         [](ResizeTest& t) { t.Drag(t.Border(3), 40); },
         [w](ResizeTest&, std::vector<int>& v) {
             for (size_t c = 1; c < v.size(); ++c)
                 v[c] = w + 40;
         },
         1},
        {"inside selected columns 2-4 sizes all three",
         [](ResizeTest& t) {
             CGXCellRange r;
             r.SetCols(2, 4);
             t.m_grid->GetParam()->m_SelRects.AddRange(r);
         },
         [](ResizeTest& t) { t.Drag(t.Border(3), 40); },
         [w](ResizeTest&, std::vector<int>& v) { v[2] = v[3] = v[4] = w + 40; }, 1},
        {"minimum width 20 stops there", [](ResizeTest& t) { t.m_grid->GetParam()->m_nMinColWidth = 20; },
         [w](ResizeTest& t) { t.Drag(t.Border(3), -w - 10); }, [](ResizeTest&, std::vector<int>& v) { v[3] = 20; }, 1},
        {"live mode", [](ResizeTest& t) { t.m_grid->GetParam()->SetColResizeFlags(178 | 0x100); },
         [w](ResizeTest& t) {
             const CPoint p = t.Border(3);
             t.Down(p);
             t.Move(CPoint(p.x + 10, p.y));
             EXPECT_EQ(t.m_grid->ColWidth(3), w + 10) << "stored at each move";
             t.Move(CPoint(p.x + 25, p.y));
             EXPECT_EQ(t.m_grid->ColWidth(3), w + 25);
             EXPECT_EQ(t.UndoSteps(), 0) << "nothing recorded while dragging";
             t.Up(CPoint(p.x + 25, p.y));
         },
         [w](ResizeTest&, std::vector<int>& v) { v[3] = w + 25; }, 1},
        {"a refusing can-resize hook", [](ResizeTest& t) { t.Grid().m_bRefuseResize = TRUE; },
         [](ResizeTest& t) { t.Drag(t.Border(3), 40); }, nullptr, 0},
        {"accept-width refuses beyond its limit: the line stops", [w](ResizeTest& t) { t.Grid().m_nMaxWidth = w + 20; },
         [](ResizeTest& t) { t.Drag(t.Border(3), 40); }, [w](ResizeTest&, std::vector<int>& v) { v[3] = w + 20; }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.arrange)
            c.arrange(*this);
        const std::vector<int> before = Widths();
        std::vector<int> expected = before;
        if (c.expect)
            c.expect(*this, expected);
        c.act(*this);
        EXPECT_FALSE(m_grid->m_bUserResizing);
        EXPECT_EQ(Widths(), expected);
        EXPECT_EQ(UndoSteps(), c.nSteps);
        EXPECT_EQ(Pixels(), Repainted()) << "nothing left of the line or the preview";
        if (c.nSteps) {
            ASSERT_TRUE(m_grid->Undo());
            EXPECT_EQ(Widths(), before) << "Undo restores";
        }
    }
}

TEST_F(ResizeTest, CancelRestoresAndDoubleClicks)
{
    const std::vector<int> before = Widths();
    for (WORD flags : {WORD(178), WORD(178 | 0x100), WORD(0x02)}) {
        SCOPED_TRACE(flags);
        m_grid->GetParam()->SetColResizeFlags(flags);
        for (bool bEsc : {true, false}) {
            const CPoint p = Border(3);
            Down(p);
            Move(CPoint(p.x + 30, p.y));
            if (bEsc)
                Key(VK_ESCAPE);
            else
                m_wnd.SendMessage(WM_CANCELMODE);  // capture lost
            EXPECT_FALSE(m_grid->m_bUserResizing);
            Up(CPoint(p.x + 30, p.y));
            EXPECT_EQ(Widths(), before);
            EXPECT_EQ(UndoSteps(), 0);
            EXPECT_EQ(Pixels(), Repainted());
        }
    }

    // Double-click after hidden columns 4-5 shows both, as one step.
    m_grid->GetParam()->SetColResizeFlags(178);
    ASSERT_TRUE(m_grid->HideCols(4, 5));
    m_grid->GetParam()->ClearUndoList();
    m_grid->OnGridLButtonDblClk(MK_LBUTTON, Border(3));
    EXPECT_FALSE(m_grid->IsColHidden(4));
    EXPECT_FALSE(m_grid->IsColHidden(5));
    EXPECT_EQ(UndoSteps(), 1);

    // On a sized column it brings back the default.
    m_grid->SetColWidths(2, 2, 150);
    m_grid->OnGridLButtonDblClk(MK_LBUTTON, Border(2));
    EXPECT_EQ(m_grid->ColWidth(2), m_grid->DefaultColWidth());
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(m_grid->ColWidth(2), 150);
}

// Rows take the same path through the other axis.
TEST_F(ResizeTest, RowBorderDragsAndHides)
{
    const int h = m_grid->RowHeight(2);
    const CRect r = m_grid->CellToRect(2, 0);
    CPoint p(r.left + r.Width() / 2, r.bottom - 1);
    Down(p);
    Move(CPoint(p.x, p.y + 15));
    Up(CPoint(p.x, p.y + 15));
    EXPECT_EQ(m_grid->RowHeight(2), h + 15);
    p.y += 15;
    Down(p);
    Move(CPoint(p.x, r.top - 30));
    Up(CPoint(p.x, r.top - 30));
    EXPECT_TRUE(m_grid->IsRowHidden(2));
    EXPECT_EQ(UndoSteps(), 2);
    EXPECT_EQ(Pixels(), Repainted());
}

}  // namespace
