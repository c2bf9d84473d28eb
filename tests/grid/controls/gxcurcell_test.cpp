// The current cell, the keys and the mouse of the grid core, with the edit control as the cell.

#include "gxgridfixture.h"

namespace {

struct Cell {
    ROWCOL row, col;
};

class CurrentCellTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        // One frozen row, a hidden row 5 and a disabled cell (3, 2).
        m_grid->SetFrozenRows(1, 0);
        m_grid->StoreHideRow(5, TRUE);
        CGXStyle disabled;
        disabled.SetEnabled(FALSE);
        SetStyle(3, 2, disabled);
    }

    Cell Current()
    {
        Cell c {0, 0};
        if (!m_grid->QueryCurrentCell(c.row, c.col))
            return {0, 0};
        return c;
    }

    // Makes the cell current with its edit window active, holding sText as typed text.
    void Editing(ROWCOL r, ROWCOL c, const char* pszText)
    {
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r, c, 0));
        CGXEditControl* pEdit = Edit();
        ASSERT_NE(pEdit, nullptr);
        pEdit->SetActive(TRUE);
        pEdit->SetEditText(pszText);
        ASSERT_TRUE(pEdit->IsModified());
    }

    void SendToEdit(UINT message, WPARAM wParam)
    {
        CWnd* pWnd = Edit()->GetWindow();
        ASSERT_NE(pWnd, nullptr);
        pWnd->SendMessage(message, wParam, 1);
    }
};

TEST_F(CurrentCellTest, KeysMoveTheCurrentCell)
{
    struct Case {
        const char* name;
        Cell from;
        UINT vk;
        bool ctrl = false, shift = false, alt = false;
        WORD wEnter = 0;
        Cell to;
        BOOL bHandled = TRUE;
    };
    const Case cases[] = {
        {.name = "down skips the disabled cell", .from = {2, 2}, .vk = VK_DOWN, .to = {4, 2}},
        {.name = "down skips the hidden row", .from = {4, 2}, .vk = VK_DOWN, .to = {6, 2}},
        {.name = "up skips the hidden row", .from = {6, 2}, .vk = VK_UP, .to = {4, 2}},
        {.name = "up at the top edge stays", .from = {1, 2}, .vk = VK_UP, .to = {1, 2}},
        {.name = "left at the edge stays", .from = {2, 1}, .vk = VK_LEFT, .to = {2, 1}},
        {.name = "right at the edge stays", .from = {2, 6}, .vk = VK_RIGHT, .to = {2, 6}},
        {.name = "down from the frozen row", .from = {1, 3}, .vk = VK_DOWN, .to = {2, 3}},
        {.name = "ctrl+down: last row", .from = {2, 2}, .vk = VK_DOWN, .ctrl = true, .to = {20, 2}},
        {.name = "ctrl+up: first scrolled row", .from = {10, 3}, .vk = VK_UP, .ctrl = true, .to = {2, 3}},
        {.name = "ctrl+right: last column", .from = {4, 2}, .vk = VK_RIGHT, .ctrl = true, .to = {4, 6}},
        {.name = "ctrl+home", .from = {10, 4}, .vk = VK_HOME, .ctrl = true, .to = {2, 1}},
        {.name = "ctrl+end", .from = {2, 2}, .vk = VK_END, .ctrl = true, .to = {20, 6}},
        {.name = "tab", .from = {2, 2}, .vk = VK_TAB, .to = {2, 3}},
        {.name = "shift+tab", .from = {2, 2}, .vk = VK_TAB, .shift = true, .to = {2, 1}},
        {.name = "enter, direction 0, stays", .from = {2, 3}, .vk = VK_RETURN, .to = {2, 3}},
        {.name = "enter moves down", .from = {2, 3}, .vk = VK_RETURN, .wEnter = 3, .to = {3, 3}},
        {.name = "alt+enter stays", .from = {2, 3}, .vk = VK_RETURN, .alt = true, .wEnter = 3, .to = {2, 3}, .bHandled = FALSE},
        {.name = "ctrl+enter stays", .from = {2, 3}, .vk = VK_RETURN, .ctrl = true, .wEnter = 3, .to = {2, 3}, .bHandled = FALSE},
        {.name = "shift+enter stays", .from = {2, 3}, .vk = VK_RETURN, .shift = true, .wEnter = 3, .to = {2, 3}, .bHandled = FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(c.from.row, c.from.col, 0));
        m_grid->GetParam()->m_wOption2 = c.wEnter;
        EXPECT_EQ(Key(c.vk, c.ctrl, c.shift, c.alt), c.bHandled);
        EXPECT_EQ(Current().row, c.to.row);
        EXPECT_EQ(Current().col, c.to.col);
    }
}

TEST_F(CurrentCellTest, MoveAtTheEdgeAnswersFalse)
{
    ASSERT_TRUE(m_grid->PlaceCurrentCell(20, 2, 0));
    EXPECT_FALSE(m_grid->MoveCurrentCell(3, 1, TRUE));
    EXPECT_TRUE(m_grid->MoveCurrentCell(1, 1, TRUE));
    EXPECT_EQ(Current().row, 19u);
}

TEST_F(CurrentCellTest, PageDownNearTheEndTakesTheLastEnabledCellAbove)
{
    CGXStyle disabled;
    disabled.SetEnabled(FALSE);
    SetStyle(19, 3, disabled);
    SetStyle(20, 3, disabled);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(10, 3, 0));
    EXPECT_TRUE(Key(VK_NEXT));
    EXPECT_EQ(Current().row, 18u);
    EXPECT_EQ(Current().col, 3u);
}

TEST_F(CurrentCellTest, EscDuringMouseCaptureOnlyCancelsIt)
{
    Editing(4, 4, "typed");
    m_wnd.SetCapture();
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Current().row, 4u);
    CString s;
    Edit()->GetCellValueText(s);
    EXPECT_STREQ(s, "typed") << "the edit was not cancelled";
    EXPECT_TRUE(Edit()->IsActive());
}

TEST_F(CurrentCellTest, KeysTypedBeforeAMoveNeverReachTheNewCell)
{
    Editing(2, 2, "a");
    CWnd* pEditWnd = Edit()->GetWindow();
    pEditWnd->ShowWindow(SW_SHOW);
    pEditWnd->SetFocus();
    pEditWnd->PostMessage(WM_CHAR, 'x', 1);
    pEditWnd->PostMessage(WM_CHAR, 'y', 1);
    ASSERT_TRUE(m_grid->MoveCurrentCell(4, 1, TRUE));
    PvPumpMessages();
    EXPECT_STREQ(Value(2, 2), "a");
    EXPECT_STREQ(Value(2, 3), "");
    CString s;
    Edit()->GetCellValueText(s);
    EXPECT_STREQ(s, "");
}

TEST_F(CurrentCellTest, RefusedValueShowsTheWarningOnceAndKeepsTheCell)
{
    struct Case {
        const char* name;
        const char* warning;
        size_t boxes;
        ROWCOL col;
    };
    const Case cases[] = {{"with a warning", "Please enter a number from 10 to 20", 1, 4}, {"empty warning", "", 0, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s_boxes.clear();
        CGXStyle range;
        range.SetUserAttribute(GX_IDS_UA_VALID_MIN, "10").SetUserAttribute(GX_IDS_UA_VALID_MAX, "20");
        if (*c.warning)
            range.SetUserAttribute(GX_IDS_UA_VALID_MSG, c.warning);
        SetStyle(6, c.col, range);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(6, c.col, 0));
        m_grid->GetParam()->m_wOption2 = 3;
        // Typed as a user types: the first character through the grid, the next into the window.
        m_grid->ProcessKeyMessage(WM_CHAR, '2', 1);
        SendToEdit(WM_CHAR, '5');
        SendToEdit(WM_KEYDOWN, VK_RETURN);
        ASSERT_EQ(s_boxes.size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(s_boxes[0], c.warning);
        }
        EXPECT_EQ(Current().row, 6u);
        EXPECT_EQ(Current().col, c.col);
        CString s;
        Edit()->GetCellValueText(s);
        EXPECT_STREQ(s, "25");
        EXPECT_TRUE(Edit()->IsActive());
        EXPECT_STREQ(Value(6, c.col), "");
        // A value in range is stored and the cell moves on.
        Edit()->SetEditText("15");
        SendToEdit(WM_KEYDOWN, VK_RETURN);
        EXPECT_STREQ(Value(6, c.col), "15");
        EXPECT_EQ(Current().row, 7u);
        EXPECT_EQ(s_boxes.size(), c.boxes);
    }
}

TEST_F(CurrentCellTest, PlacingBeyondTheGridKeepsTheCellBeingEdited)
{
    Editing(4, 3, "kept");
    EXPECT_FALSE(m_grid->PlaceCurrentCell(50, 3, 0x0A));
    EXPECT_FALSE(m_grid->PlaceCurrentCell(4, 99, 0x0A));
    EXPECT_EQ(Current().row, 4u);
    EXPECT_EQ(Current().col, 3u);
    EXPECT_TRUE(Edit()->IsActive());
    EXPECT_TRUE(Edit()->IsModified());
    CString s;
    Edit()->GetCellValueText(s);
    EXPECT_STREQ(s, "kept");
    EXPECT_STREQ(Value(4, 3), "") << "nothing stored";
}

TEST_F(CurrentCellTest, CancelModeWhileTrackingCommitsAndEndsTheCurrentCell)
{
    m_grid->GetParam()->SetActivateCellFlags(0x01);
    const CPoint pt = m_grid->CellToRect(4, 3).CenterPoint();
    m_grid->OnGridLButtonDown(MK_LBUTTON, pt);
    ASSERT_EQ(Current().row, 4u);
    ASSERT_NE(m_grid->GetMouseTracking(), 0u);
    Edit()->SetActive(TRUE);
    Edit()->SetEditText("done");
    m_wnd.SendMessage(WM_CANCELMODE);
    EXPECT_STREQ(Value(4, 3), "done");
    ROWCOL r = 0, c = 0;
    EXPECT_FALSE(m_grid->QueryCurrentCell(r, c));
    EXPECT_EQ(m_grid->GetMouseTracking(), 0u);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// ---- Mouse ----

class CountingControl : public CGXStatic {
public:
    using CGXStatic::CGXStatic;
    int m_nDowns = 0, m_nUps = 0;
    BOOL OnLeftButtonDown(ROWCOL r, ROWCOL c, UINT f, CPoint p) override
    {
        ++m_nDowns;
        return CGXStatic::OnLeftButtonDown(r, c, f, p);
    }
    BOOL OnLeftButtonUp(ROWCOL r, ROWCOL c, UINT f, CPoint p) override
    {
        ++m_nUps;
        return CGXStatic::OnLeftButtonUp(r, c, f, p);
    }
};

class ClickGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    std::vector<UINT> m_clicks;
    BOOL OnLeftCellClick(ROWCOL r, ROWCOL c, UINT flags) override
    {
        m_clicks.push_back(flags);
        return CGXGridCore::OnLeftCellClick(r, c, flags);
    }
};

class MouseTest : public CurrentCellTest {
protected:
    void SetUp() override
    {
        CurrentCellTest::SetUp();
        m_wnd.m_pGrid = nullptr;
        m_grid.reset(m_click = new ClickGrid(&m_wnd));
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(6);
        CGXStyle disabled;
        disabled.SetEnabled(FALSE);
        SetStyle(3, 2, disabled);
        m_pCounting = new CountingControl(m_grid.get());
        m_grid->RegisterControl(kCountingId, m_pCounting, FALSE, FALSE);
        CGXStyle counted;
        counted.SetControl(kCountingId);
        SetStyle(5, 5, counted);
        SetStyle(6, 5, counted);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
    }
    CPoint At(ROWCOL r, ROWCOL c) { return m_grid->CellToRect(r, c).CenterPoint(); }

    static constexpr WORD kCountingId = 30001;
    ClickGrid* m_click = nullptr;
    CountingControl* m_pCounting = nullptr;
};

TEST_F(MouseTest, AClickMovesTheCellAndItsControlSeesThePress)
{
    m_grid->OnGridLButtonDown(MK_LBUTTON, At(5, 5));
    EXPECT_EQ(Current().row, 5u);
    EXPECT_EQ(Current().col, 5u);
    EXPECT_EQ(m_pCounting->m_nDowns, 1);
    EXPECT_TRUE(m_grid->HasMouseCapture());
    m_grid->OnGridLButtonUp(0, At(5, 5));
    EXPECT_EQ(m_pCounting->m_nUps, 1);
    EXPECT_FALSE(m_grid->HasMouseCapture());
}

TEST_F(MouseTest, ASecondButtonCancelsTracking)
{
    m_grid->OnGridLButtonDown(MK_LBUTTON, At(4, 4));
    ASSERT_TRUE(m_grid->HasMouseCapture());
    m_grid->OnGridRButtonDown(MK_LBUTTON | MK_RBUTTON, At(6, 4));
    EXPECT_FALSE(m_grid->HasMouseCapture());
    EXPECT_EQ(m_grid->GetMouseTracking(), 0u);
    EXPECT_EQ(Current().row, 4u) << "the second press is ignored";
}

TEST_F(MouseTest, AClickOnADisabledCellOrBelowTheGridChangesNothing)
{
    m_grid->OnGridLButtonDown(MK_LBUTTON, At(3, 2));
    EXPECT_EQ(Current().row, 2u);
    EXPECT_EQ(Current().col, 2u);
    EXPECT_FALSE(m_grid->HasMouseCapture());
    EXPECT_EQ(m_grid->GetMouseTracking(), 0u);

    const CRect last = m_grid->CellToRect(20, 2);
    m_grid->OnGridLButtonDown(MK_LBUTTON, CPoint(last.CenterPoint().x, last.bottom + 20));
    EXPECT_EQ(Current().row, 2u);
    EXPECT_EQ(Current().col, 2u);
    EXPECT_FALSE(m_grid->HasMouseCapture());
}

TEST_F(MouseTest, AReleaseOverAnotherCellIsNotAClickOnThePressedOne)
{
    m_grid->OnGridLButtonDown(MK_LBUTTON, At(4, 4));
    m_grid->OnGridMouseMove(MK_LBUTTON, At(6, 4));
    m_grid->OnGridLButtonUp(0, At(6, 4));
    ASSERT_FALSE(m_click->m_clicks.empty());
    EXPECT_FALSE(m_click->m_clicks.back() & 0x40);
    EXPECT_TRUE(m_click->m_clicks.back() & 0x10);
}

}  // namespace
