// Selecting with the mouse and the keyboard: header, corner and cell clicks under each mask bit,
// Shift and Ctrl, a drag, Shift+arrows, activate masks and a refusing hook, each compared with the
// selection list it leaves and with a full repaint of the window.

#include <functional>
#include <string>
#include <vector>

#include "../controls/gxgridfixture.h"
#include "grid/features/gxselect.h"

namespace {

class RefusingGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    BOOL m_bRefuse = FALSE;
    BOOL CanSelectRange(const CGXCellRange& r, UINT f) override { return !m_bRefuse && CGXGridCore::CanSelectRange(r, f); }
};

class SelectTest : public GridFixture {
public:
    using GridFixture::m_grid;
    using GridFixture::Key;
    void SetUp() override
    {
        GridFixture::SetUp();
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        m_grid = std::make_unique<RefusingGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(8);
        PvPumpMessages();
    }
    CPoint Mid(ROWCOL r, ROWCOL c)
    {
        const CRect rect = m_grid->CellToRect(r, c);
        return rect.CenterPoint();
    }
    void Click(ROWCOL r, ROWCOL c, UINT keys = 0)
    {
        SetModifiers(keys & MK_CONTROL, keys & MK_SHIFT, false);
        m_grid->OnGridLButtonDown(MK_LBUTTON | keys, Mid(r, c));
        m_grid->OnGridLButtonUp(keys, Mid(r, c));
        SetModifiers(false, false, false);
    }
    void DragCells(ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2)
    {
        m_grid->OnGridLButtonDown(MK_LBUTTON, Mid(r1, c1));
        m_grid->OnGridMouseMove(MK_LBUTTON, Mid((r1 + r2) / 2, (c1 + c2) / 2));
        m_grid->OnGridMouseMove(MK_LBUTTON, Mid(r2, c2));
        m_grid->OnGridLButtonUp(0, Mid(r2, c2));
    }
    std::string Sel()
    {
        std::string s;
        CGXRangeList& list = m_grid->GetParam()->m_SelRects;
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const CGXCellRange* r = list.GetNextRange(pos);
            if (!s.empty())
                s += " ";
            if (r->IsTable())
                s += "T";
            else if (r->IsRows())
                s += "R" + std::to_string(r->top) + "-" + std::to_string(r->bottom);
            else if (r->IsCols())
                s += "C" + std::to_string(r->left) + "-" + std::to_string(r->right);
            else
                s += std::to_string(r->top) + "," + std::to_string(r->left) + "-" + std::to_string(r->bottom) + "," +
                     std::to_string(r->right);
        }
        return s;
    }
    std::vector<COLORREF> Pixels() { return WindowPixels(620, 200, 2); }
    std::vector<COLORREF> Repainted() { return RepaintedPixels(620, 200, 2); }
};

TEST_F(SelectTest, ClicksDragsAndKeys)
{
    ASSERT_NE(dynamic_cast<CGXGridUserSelectRangeImp*>(m_grid->m_pUserSelectRangeImp), nullptr) << "installed with every grid";
    struct Case {
        const char* name;
        WORD mask = 255;
        WORD activate = 0;
        std::function<void(SelectTest&)> act;
        std::string expect;
    };
    const Case cases[] = {
        {.name = "row header", .act = [](SelectTest& t) { t.Click(3, 0); }, .expect = "R3-3"},
        {.name = "row header without 0x01", .mask = 255 & ~0x01, .act = [](SelectTest& t) { t.Click(3, 0); }, .expect = ""},
        {.name = "column header", .act = [](SelectTest& t) { t.Click(0, 2); }, .expect = "C2-2"},
        {.name = "column header without 0x02", .mask = 255 & ~0x02, .act = [](SelectTest& t) { t.Click(0, 2); }, .expect = ""},
        {.name = "top-left cell", .act = [](SelectTest& t) { t.Click(0, 0); }, .expect = "T"},
        {.name = "top-left cell without 0x04", .mask = 255 & ~0x04, .act = [](SelectTest& t) { t.Click(0, 0); }, .expect = ""},
        {.name = "mask 0: nothing", .mask = 0,
         .act = [](SelectTest& t) { t.Click(0, 2); t.DragCells(2, 2, 5, 4); }, .expect = ""},
        {.name = "shift-click extends columns", .act = [](SelectTest& t) { t.Click(0, 2); t.Click(0, 5, MK_SHIFT); },
         .expect = "C2-5"},
        {.name = "ctrl-click adds", .act = [](SelectTest& t) { t.Click(0, 2); t.Click(0, 5, MK_CONTROL); },
         .expect = "C2-2 C5-5"},
        {.name = "ctrl-click on a selected row header removes only it",
         .act = [](SelectTest& t) { t.Click(2, 0); t.Click(6, 0, MK_SHIFT); t.Click(9, 0, MK_CONTROL); t.Click(4, 0, MK_CONTROL); },
         .expect = "R2-3 R5-6 R9-9"},
        {.name = "plain click leaves only the current cell",
         .act = [](SelectTest& t) { t.Click(0, 2); t.Click(4, 4); }, .expect = ""},
        {.name = "keep-click keeps the cell",
         .act = [](SelectTest& t) { t.m_grid->GetParam()->m_bKeepClickSelection = 1; t.Click(4, 4); }, .expect = "4,4-4,4"},
        {.name = "drag B2 to D5", .act = [](SelectTest& t) { t.DragCells(2, 2, 5, 4); }, .expect = "2,2-5,4"},
        {.name = "drag into the headers stops at the first row and column",
         .act = [](SelectTest& t) { t.DragCells(4, 4, 0, 0); }, .expect = "1,1-4,4"},
        {.name = "shift+arrows",
         .act = [](SelectTest& t) {
             t.Click(3, 3);
             t.Key(VK_RIGHT, false, true);
             t.Key(VK_DOWN, false, true);
             t.Key(VK_DOWN, false, true);
         },
         .expect = "3,3-5,4"},
        {.name = "shift+arrows without 0x40", .mask = 255 & ~0x40,
         .act = [](SelectTest& t) { t.Click(3, 3); t.Key(VK_DOWN, false, true); }, .expect = ""},
        {.name = "activate 0x01: a click selects its row", .activate = 0x01,
         .act = [](SelectTest& t) { t.Click(4, 3); t.Click(6, 3, MK_CONTROL); }, .expect = "R6-6"},
        {.name = "activate 0x02: shift+down extends whole rows", .activate = 0x02,
         .act = [](SelectTest& t) { t.Click(4, 3); t.Key(VK_DOWN, false, true); t.Key(VK_DOWN, false, true); },
         .expect = "R4-6"},
        {.name = "a refusing can-select hook",
         .act = [](SelectTest& t) { static_cast<RefusingGrid&>(*t.m_grid).m_bRefuse = TRUE; t.Click(0, 2); t.DragCells(2, 2, 5, 4); },
         .expect = ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        m_grid->GetParam()->SetSelectionFlags(c.mask);
        m_grid->GetParam()->SetActivateCellFlags(c.activate);
        c.act(*this);
        EXPECT_EQ(Sel(), c.expect);
        EXPECT_EQ(Pixels(), Repainted()) << "the change repainted exactly";
    }
}

}  // namespace
