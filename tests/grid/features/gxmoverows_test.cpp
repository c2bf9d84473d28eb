// Moving rows and columns (by call and by dragging their headers), freezing them, and the marked
// headers of the current cell: what lands where, the undo steps, the refusals, the cursors and
// the pixels left behind.

#include <functional>
#include <string>
#include <vector>

#include "gxundomenu.h"
#include "../controls/gxgridfixture.h"
#include "grid/core/gxprop.h"
#include "grid/features/gxdragsel.h"
#include "grid/features/gxfreeze.h"
#include "grid/features/gxmoverows.h"

namespace {


class HookGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    ROWCOL m_nRefuseDrop = 0;  // a drop position the grid refuses
    BOOL m_bRefuseConfirm = FALSE;
    BOOL CanDropCols(ROWCOL a, ROWCOL b, ROWCOL nDrop) override
    {
        return nDrop != m_nRefuseDrop && CGXGridCore::CanDropCols(a, b, nDrop);
    }
    BOOL ConfirmDropCols(ROWCOL a, ROWCOL b, ROWCOL nDrop) override
    {
        return !m_bRefuseConfirm && CGXGridCore::ConfirmDropCols(a, b, nDrop);
    }
    UINT ForcedCursor() const { return m_nForcedCursorId; }
};

class MoveTest : public GridFixture {
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
        // Each cell names the line it started in: "r<row>c<col>".
        for (ROWCOL r = 1; r <= 20; ++r)
            for (ROWCOL c = 1; c <= 8; ++c)
                m_grid->SetValueRange(CGXCellRange(r, c), ("r" + std::to_string(r) + "c" + std::to_string(c)).c_str());
        m_grid->GetParam()->ClearUndoList();
        PvPumpMessages();
    }
    HookGrid& Grid() { return static_cast<HookGrid&>(*m_grid); }
    // Which column (row) each line's content came from, in order: "1 2 4 5 3 6 7 8".
    std::string ColOrder()
    {
        std::string s;
        for (ROWCOL c = 1; c <= m_grid->ColCount(); ++c) {
            const std::string v = Value(1, c).str();
            s += (s.empty() ? "" : " ") + v.substr(v.find('c') + 1);
        }
        return s;
    }
    std::string RowOrder()
    {
        std::string s;
        for (ROWCOL r = 1; r <= m_grid->RowCount(); ++r) {
            const std::string v = Value(r, 1).str();
            s += (s.empty() ? "" : " ") + v.substr(1, v.find('c') - 1);
        }
        return s;
    }
    std::string UndoMenuText() { return GridUndoMenuText(*m_grid); }
    INT_PTR UndoSteps() { return m_grid->GetParam()->GetUndoList().GetCount(); }
    CPoint Mid(ROWCOL r, ROWCOL c) { return m_grid->CellToRect(r, c).CenterPoint(); }
    void Click(ROWCOL r, ROWCOL c, UINT keys = 0)
    {
        SetModifiers(keys & MK_CONTROL, keys & MK_SHIFT, false);
        m_grid->OnGridLButtonDown(MK_LBUTTON | keys, Mid(r, c));
        m_grid->OnGridLButtonUp(keys, Mid(r, c));
        SetModifiers(false, false, false);
    }
    // A press on one header, moves across to another, the release there.
    void DragHeader(CPoint from, CPoint to)
    {
        m_grid->OnGridLButtonDown(MK_LBUTTON, from);
        for (int i = 1; i <= 4; ++i)
            m_grid->OnGridMouseMove(MK_LBUTTON, CPoint(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4));
        m_grid->OnGridLButtonUp(0, to);
    }
    // The left part of a column's header cell: the drop there goes before that column.
    CPoint ColDrop(ROWCOL c) { return m_grid->CellToRect(0, c).TopLeft() + CSize(3, 3); }
    void SelectCols(ROWCOL a, ROWCOL b)
    {
        const CGXCellRange cols = CGXCellRange().SetCols(a, b);
        m_grid->SetSelection(&cols, GX_INVALIDATE);
    }
    std::vector<COLORREF> Pixels() { return WindowPixels(620, 200, 2); }
    std::vector<COLORREF> Repainted() { return RepaintedPixels(620, 200, 2); }
};

}  // namespace

TEST_F(MoveTest, DraggingSelectedColumnHeaders)
{
    ASSERT_NE(dynamic_cast<CGXGridUserDragSelectRangeImp*>(m_grid->m_pUserDragSelectRangeImp), nullptr);
    ASSERT_NE(dynamic_cast<CGXGridMoveRowsColsImp*>(m_grid->m_pMoveRowsColsImp), nullptr);
    struct Case {
        const char* name;
        ROWCOL drop;  // the column whose header's left edge the block is dropped on
        std::string order;
        INT_PTR steps;
    };
    const Case cases[] = {
        {.name = "before column 6 lands at 4-5", .drop = 6, .order = "1 4 5 2 3 6 7 8", .steps = 1},
        {.name = "before column 1", .drop = 1, .order = "2 3 1 4 5 6 7 8", .steps = 1},
        {.name = "onto itself", .drop = 3, .order = "1 2 3 4 5 6 7 8", .steps = 0},
        {.name = "right after itself", .drop = 4, .order = "1 2 3 4 5 6 7 8", .steps = 0},
        {.name = "beyond the last column", .drop = 9, .order = "1 4 5 6 7 8 2 3", .steps = 1},
    };
    m_grid->SetColWidths(1, 8, 50);  // every column and the room beyond the last in view
    const std::vector<COLORREF> before = Repainted();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->GetParam()->ClearUndoList();
        SelectCols(2, 3);
        const CPoint to = c.drop <= 8 ? ColDrop(c.drop) : CPoint(m_grid->CellToRect(0, 8).right + 5, 5);
        DragHeader(Mid(0, 2), to);
        EXPECT_EQ(ColOrder(), c.order);
        EXPECT_EQ(UndoSteps(), c.steps);
        EXPECT_FALSE(m_grid->HasMouseCapture());
        EXPECT_EQ(Grid().ForcedCursor(), 0u) << "the cursor is the grid's again";
        EXPECT_EQ(Pixels(), Repainted()) << "the line left nothing behind";
        if (c.steps) {
            EXPECT_EQ(UndoMenuText(), "Undo Move Columns");
            ASSERT_TRUE(m_grid->Undo());
            EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8");
        }
    }
    m_grid->SetSelection(nullptr, GX_INVALIDATE);
    EXPECT_EQ(Repainted(), before);
}

TEST_F(MoveTest, RefusedDropsShowTheirCursorAndMoveNothing)
{
    SelectCols(2, 3);
    Grid().m_nRefuseDrop = 6;
    m_grid->OnGridLButtonDown(MK_LBUTTON, Mid(0, 2));
    EXPECT_EQ(Grid().ForcedCursor(), UINT(GX_IDC_SELDRAG));
    m_grid->OnGridMouseMove(MK_LBUTTON, ColDrop(6));
    EXPECT_EQ(Grid().ForcedCursor(), UINT(GX_IDC_NODROP));
    m_grid->OnGridMouseMove(MK_LBUTTON, ColDrop(7));
    EXPECT_EQ(Grid().ForcedCursor(), UINT(GX_IDC_SELDRAG));
    m_grid->OnGridMouseMove(MK_LBUTTON, ColDrop(6));
    m_grid->OnGridLButtonUp(0, ColDrop(6));
    EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8");

    Grid().m_nRefuseDrop = 0;
    Grid().m_bRefuseConfirm = TRUE;
    SelectCols(2, 3);
    DragHeader(Mid(0, 2), ColDrop(6));
    EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8") << "the confirm hook refuses";

    // Esc (cancel mode) ends a drag where it is.
    Grid().m_bRefuseConfirm = FALSE;
    SelectCols(2, 3);
    m_grid->OnGridLButtonDown(MK_LBUTTON, Mid(0, 2));
    m_grid->OnGridMouseMove(MK_LBUTTON, ColDrop(6));
    m_grid->OnGridCancelMode();
    m_grid->OnGridLButtonUp(0, ColDrop(6));
    EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8");
    EXPECT_EQ(Pixels(), Repainted());

    // Ctrl on a selected header selects (removes it), never drags.
    SelectCols(2, 4);
    Click(0, 3, MK_CONTROL);
    EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8");
    EXPECT_FALSE(m_grid->GetParam()->m_SelRects.IsCellInList(1, 3));
    // A click on a selected header without moving is that header's click (it stays selected).
    SelectCols(5, 5);
    Click(0, 5);
    EXPECT_EQ(ColOrder(), "1 2 3 4 5 6 7 8");
}

TEST_F(MoveTest, MovedRowsKeepWhatBelongsToThem)
{
    m_grid->SetRowHeights(2, 2, 40);
    m_grid->HideRows(3, 3, TRUE);
    m_grid->SetCoveredCellsRowCol(4, 1, 4, 3);
    const CGXCellRange sel = CGXCellRange(2, 2, 4, 4);
    m_grid->SetSelection(&sel, GX_INVALIDATE);
    m_grid->PlaceCurrentCell(4, 5, 0);
    m_grid->GetParam()->ClearUndoList();

    ASSERT_TRUE(m_grid->MoveRows(2, 4, 10));  // rows 2-4 become rows 10-12
    EXPECT_EQ(RowOrder(), "1 5 6 7 8 9 10 11 12 2 3 4 13 14 15 16 17 18 19 20");
    EXPECT_EQ(m_grid->RowHeight(10), 40);
    EXPECT_TRUE(m_grid->IsRowHidden(11));
    EXPECT_FALSE(m_grid->IsRowHidden(3));
    CGXCellRange covered;
    ASSERT_TRUE(m_grid->GetCoveredCellsRowCol(12, 2, covered));
    EXPECT_EQ(covered, CGXCellRange(12, 1, 12, 3));
    EXPECT_FALSE(m_grid->GetCoveredCellsRowCol(4, 2, covered));
    EXPECT_TRUE(m_grid->GetParam()->m_SelRects.IsCellInList(10, 2));
    EXPECT_FALSE(m_grid->GetParam()->m_SelRects.IsCellInList(2, 2));
    ROWCOL r = 0, c = 0;
    ASSERT_TRUE(m_grid->QueryCurrentCell(r, c));
    EXPECT_EQ(r, 12u) << "the current cell goes with its row";

    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(UndoMenuText(), "Undo Move Rows");
    ASSERT_TRUE(m_grid->Undo());
    EXPECT_EQ(RowOrder(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
    EXPECT_EQ(m_grid->RowHeight(2), 40);
    EXPECT_TRUE(m_grid->IsRowHidden(3));
    ASSERT_TRUE(m_grid->GetCoveredCellsRowCol(4, 3, covered));
    EXPECT_EQ(covered, CGXCellRange(4, 1, 4, 3));
    ASSERT_TRUE(m_grid->Redo());
    EXPECT_EQ(m_grid->RowHeight(10), 40);

    // Rollback mode records nothing; a block that does not fit is refused.
    m_grid->GetParam()->ClearUndoList();
    ASSERT_TRUE(m_grid->MoveRows(1, 1, 20, GX_UPDATENOW, gxRollback));
    EXPECT_EQ(UndoSteps(), 0);
    EXPECT_FALSE(m_grid->MoveRows(18, 20, 19));
    EXPECT_FALSE(m_grid->MoveRows(5, 25, 1));
    EXPECT_FALSE(m_grid->MoveRows(5, 6, 5)) << "nowhere to go";
}

TEST_F(MoveTest, FreezingColumnsAndRows)
{
    struct Case {
        const char* name;
        BOOL rows;
        std::function<void(MoveTest&)> select;
        BOOL can;
        std::string frozenOrder;  // the order while frozen
        ROWCOL frozen;
    };
    const Case cases[] = {
        {.name = "columns 5-7 go to 1-3", .rows = FALSE,
         .select = [](MoveTest& t) { t.SelectCols(5, 7); }, .can = TRUE, .frozenOrder = "5 6 7 1 2 3 4 8", .frozen = 3},
        {.name = "columns already first", .rows = FALSE,
         .select = [](MoveTest& t) { t.SelectCols(1, 2); }, .can = TRUE, .frozenOrder = "1 2 3 4 5 6 7 8", .frozen = 2},
        {.name = "two column intervals", .rows = FALSE,
         .select = [](MoveTest& t) {
             t.SelectCols(2, 2);
             const CGXCellRange more = CGXCellRange().SetCols(5, 6);
             t.m_grid->GetParam()->m_SelRects.AddRange(more);
         },
         .can = FALSE, .frozenOrder = "1 2 3 4 5 6 7 8", .frozen = 0},
        {.name = "cells, not whole columns", .rows = FALSE,
         .select = [](MoveTest& t) {
             const CGXCellRange cells(2, 2, 3, 3);
             t.m_grid->SetSelection(&cells, GX_INVALIDATE);
         },
         .can = FALSE, .frozenOrder = "1 2 3 4 5 6 7 8", .frozen = 0},
        {.name = "rows 5-7 go to 1-3", .rows = TRUE,
         .select = [](MoveTest& t) {
             const CGXCellRange rows = CGXCellRange().SetRows(5, 7);
             t.m_grid->SetSelection(&rows, GX_INVALIDATE);
         },
         .can = TRUE, .frozenOrder = "5 6 7 1 2 3 4 8 9 10 11 12 13 14 15 16 17 18 19 20", .frozen = 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_grid->GetParam()->ClearUndoList();
        c.select(*this);
        auto order = [&] { return c.rows ? RowOrder() : ColOrder(); };
        const std::string original = order();
        ASSERT_EQ(c.rows ? m_grid->CanFreezeRows() : m_grid->CanFreezeCols(), c.can);
        c.rows ? m_grid->FreezeRows() : m_grid->FreezeCols();
        EXPECT_EQ(order(), c.frozenOrder);
        EXPECT_EQ(c.rows ? m_grid->FrozenRows() : m_grid->FrozenCols(), c.frozen);
        if (!c.can) {
            EXPECT_EQ(UndoSteps(), 0);
            continue;
        }
        EXPECT_EQ(UndoMenuText(), c.rows ? "Undo Freeze Rows" : "Undo Freeze Columns");
        // Frozen once, never twice.
        EXPECT_FALSE(c.rows ? m_grid->CanFreezeRows() : m_grid->CanFreezeCols());
        ASSERT_TRUE(c.rows ? m_grid->CanUnfreezeRows() : m_grid->CanUnfreezeCols());
        c.rows ? m_grid->UnfreezeRows() : m_grid->UnfreezeCols();
        EXPECT_EQ(order(), original);
        EXPECT_EQ(c.rows ? m_grid->FrozenRows() : m_grid->FrozenCols(), 0u);
        EXPECT_EQ(UndoSteps(), 2) << "freeze and unfreeze: one step each";
        // One Undo takes the unfreezing back whole: the block is frozen at the front again.
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(order(), c.frozenOrder);
        EXPECT_EQ(c.rows ? m_grid->FrozenRows() : m_grid->FrozenCols(), c.frozen);
        ASSERT_TRUE(m_grid->Undo());
        EXPECT_EQ(order(), original);
        EXPECT_EQ(c.rows ? m_grid->FrozenRows() : m_grid->FrozenCols(), 0u);
    }
}

TEST_F(MoveTest, UnfreezingAfterRowsWereRemovedGoesToTheLastPlaceTheBlockFits)
{
    m_grid->SetRowCount(60);
    m_grid->SetValueRange(CGXCellRange(50, 1), "frozen");
    const CGXCellRange rows = CGXCellRange().SetRows(50, 52);
    m_grid->SetSelection(&rows, GX_INVALIDATE);
    m_grid->FreezeRows();
    ASSERT_EQ(m_grid->FrozenRows(), 3u);
    ASSERT_TRUE(m_grid->RemoveRows(20, 59));
    ASSERT_EQ(m_grid->RowCount(), 20u);
    m_grid->UnfreezeRows();
    EXPECT_EQ(m_grid->FrozenRows(), 0u);
    // Left: the frozen block, rows 1-16 and row 60; the block goes to 18-20, not to row 50.
    EXPECT_EQ(Value(18, 1), "frozen");
    EXPECT_EQ(Value(1, 1), "r1c1");
    EXPECT_EQ(Value(16, 1), "r16c1");
    EXPECT_EQ(Value(17, 1), "");
}

TEST_F(MoveTest, MarkedHeadersOfTheCurrentCell)
{
    CGXGridMarkEditHeaderImp* p = dynamic_cast<CGXGridMarkEditHeaderImp*>(m_grid->m_pMarkEditHeaderImp);
    ASSERT_NE(p, nullptr);
    CGXProperties* pProps = m_grid->GetProperties();
    m_grid->PlaceCurrentCell(3, 2, 0);
    EXPECT_TRUE(p->IsHeaderMarked(m_grid.get(), 3, 0));
    EXPECT_TRUE(p->IsHeaderMarked(m_grid.get(), 0, 2));
    EXPECT_FALSE(p->IsHeaderMarked(m_grid.get(), 4, 0));
    EXPECT_FALSE(p->IsHeaderMarked(m_grid.get(), 0, 3));
    pProps->SetMarkRowHeader(FALSE);
    EXPECT_FALSE(p->IsHeaderMarked(m_grid.get(), 3, 0)) << "only the column is marked";
    EXPECT_TRUE(p->IsHeaderMarked(m_grid.get(), 0, 2));
    pProps->SetMarkRowHeader(TRUE);
    m_grid->GetParam()->m_wActivateCell = 0x01;
    EXPECT_FALSE(p->IsHeaderMarked(m_grid.get(), 3, 0)) << "whole-row activation marks no row header";
    m_grid->GetParam()->m_wActivateCell = 0;

    // A resize drag marks the header it tracks, unless 0x10.
    for (const WORD mask : {WORD(178), WORD(178 | 0x10)}) {
        SCOPED_TRACE(mask);
        m_grid->GetParam()->m_wAllowTrackColWidth = mask;
        const CRect r = m_grid->CellToRect(0, 5);
        m_grid->OnGridLButtonDown(MK_LBUTTON, CPoint(r.right - 1, r.top + 4));
        m_grid->OnGridMouseMove(MK_LBUTTON, CPoint(r.right + 10, r.top + 4));
        EXPECT_EQ(p->IsHeaderMarked(m_grid.get(), 0, 5), !(mask & 0x10));
        m_grid->OnGridCancelMode();
        m_grid->OnGridLButtonUp(0, CPoint(r.right + 10, r.top + 4));
    }

    // Moving the current cell repaints the headers of the old and new cell and nothing else.
    PvPumpMessages();
    m_wnd.ValidateRect(nullptr);
    m_grid->PlaceCurrentCell(5, 4, 0);
    for (ROWCOL c = 1; c <= 8; ++c)
        if (c != 2 && c != 4) {
            CRect header = m_grid->CellToRect(0, c);
            header.DeflateRect(2, 2);
            EXPECT_FALSE(PvIsRectInvalid(m_wnd.GetSafeHwnd(), header)) << "column header " << c;
        }
    for (ROWCOL c : {2u, 4u})
        EXPECT_TRUE(PvIsRectInvalid(m_wnd.GetSafeHwnd(), m_grid->CellToRect(0, c))) << "column header " << c;
    for (ROWCOL r : {3u, 5u})
        EXPECT_TRUE(PvIsRectInvalid(m_wnd.GetSafeHwnd(), m_grid->CellToRect(r, 0))) << "row header " << r;
    EXPECT_FALSE(PvIsRectInvalid(m_wnd.GetSafeHwnd(), m_grid->CellToRect(8, 0)));
    EXPECT_EQ(Pixels(), Repainted());
}
