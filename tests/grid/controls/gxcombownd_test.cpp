// The Windows combo box cell (52528 drop-down, 52529 drop-down list): a real combo box over the
// current cell, what it stores for each index setting, its typing, keys and list.

#include "gxcombofixture.h"

#include "grid/controls/gxcombownd.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxparam.h"
#include "platform/win/pvwin.h"

namespace {

const char kTwelve[] = "Apple\nBanana\nBerry\nCherry\nDate\nFig\nGrape\nKiwi\nLemon\nMango\nOrange\nPeach";

class ComboWndTest : public ComboFixture {
protected:
    void SetUp() override
    {
        ComboFixture::SetUp();
        m_wnd.m_bPaintGrid = true;
        m_wnd.Invalidate();
        m_wnd.UpdateWindow();
    }
    CGXComboBoxWnd* CW() { return dynamic_cast<CGXComboBoxWnd*>(Control()); }
    CGXComboBoxWnd* Registered(WORD nID) { return dynamic_cast<CGXComboBoxWnd*>(m_grid->GetRegisteredControl(nID)); }
    void PlaceCW(ROWCOL r, ROWCOL c, WORD nID, const char* pszValue = "", const char* pszChoices = kTwelve,
                 CGXStyle style = CGXStyle())
    {
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        Place(r, c, nID, style);
        m_wnd.UpdateWindow();
        PvPumpMessages();
    }
    ROWCOL CurrentCol()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return c;
    }
    ROWCOL CurrentRow()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        return r;
    }
    HWND Focus() { return ::GetFocus(); }
    HWND ComboHwnd() { return CW()->GetComboBoxWnd()->GetSafeHwnd(); }
    BOOL FocusInCombo() { return Focus() == ComboHwnd() || ::IsChild(ComboHwnd(), Focus()); }
    int Sel() { return CW()->GetComboBoxWnd()->GetCurSel(); }
    void EditSel(int& a, int& b)
    {
        const DWORD dw = CW()->GetComboBoxWnd()->GetEditSel();
        a = LOWORD(dw);
        b = HIWORD(dw);
    }
};

TEST_F(ComboWndTest, TheFactoryMakesBothKindsOverAGXComboBoxWindow)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_DROPDOWN), WORD(GX_IDS_CTRL_CBS_DROPDOWNLIST)}) {
        SCOPED_TRACE(nID);
        PlaceCW(2, 2, nID, "Berry");
        ASSERT_NE(CW(), nullptr);
        EXPECT_TRUE(CW()->IsControlKindOf(&CGXStatic::classCGXStatic));
        EXPECT_TRUE(CW()->m_bUseChoiceList);
        EXPECT_FALSE(CW()->m_bKeepArrowKeys);
        EXPECT_EQ(CW()->m_nButtonMargin, 3) << "Windows 4 or later";
        ASSERT_NE(CW()->GetComboBoxWnd(), nullptr);
        char szClass[32] = {};
        ::GetClassName(ComboHwnd(), szClass, sizeof szClass);
        EXPECT_STREQ(szClass, "GXCOMBOBOX");
        EXPECT_EQ(::GetParent(ComboHwnd()), m_wnd.GetSafeHwnd());
        EXPECT_EQ(UINT(::GetDlgCtrlID(ComboHwnd())), UINT(nID));
        const BOOL bList = nID == GX_IDS_CTRL_CBS_DROPDOWNLIST;
        EXPECT_EQ(CW()->IsDropDownList(), bList);
        EXPECT_EQ(CW()->GetEditPart() != nullptr, !bList) << "the edit part of a drop-down is subclassed";
        if (!bList) {
            EXPECT_EQ(::GetDlgCtrlID(CW()->GetEditPart()->GetSafeHwnd()), 1001);
        }
        EXPECT_EQ(CW()->GetComboBoxWnd()->GetCount(), 12);
        EXPECT_EQ(Sel(), 2);
        EXPECT_FALSE(CW()->IsActive()) << "a visit draws the cell as text";
        EXPECT_FALSE(CW()->GetComboBoxWnd()->IsWindowVisible());
        EXPECT_STREQ(Shown(2, 2), "Berry");
    }
}

// Both ids, indexBase -1 and 0, storeIndex off and on: a pick from the list by keys, then Enter.
TEST_F(ComboWndTest, WhatAPickStoresForEachIndexSetting)
{
    struct Case {
        WORD id;
        int base;
        BOOL storeIndex;
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {GX_IDS_CTRL_CBS_DROPDOWN, -1, FALSE, "Banana", "Banana"},
        {GX_IDS_CTRL_CBS_DROPDOWN, -1, TRUE, "Banana", "Banana"},
        {GX_IDS_CTRL_CBS_DROPDOWN, 0, FALSE, "1", "1"},
        {GX_IDS_CTRL_CBS_DROPDOWN, 0, TRUE, "1", "Banana"},
        {GX_IDS_CTRL_CBS_DROPDOWNLIST, -1, FALSE, "Banana", "Banana"},
        {GX_IDS_CTRL_CBS_DROPDOWNLIST, -1, TRUE, "Banana", "Banana"},
        {GX_IDS_CTRL_CBS_DROPDOWNLIST, 0, FALSE, "1", "1"},
        {GX_IDS_CTRL_CBS_DROPDOWNLIST, 0, TRUE, "1", "Banana"},
    };
    ROWCOL row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.id << " base " << c.base << " storeIndex " << c.storeIndex);
        ++row;
        CGXComboBoxWnd* p = Registered(c.id);
        ASSERT_NE(p, nullptr);
        p->m_nIndexBase = c.base;
        p->m_bStoreIndex = c.storeIndex;
        PlaceCW(row, 2, c.id);
        Press(VK_DOWN, true);
        ASSERT_TRUE(CW()->IsListOpen()) << "Alt+Down opens the list";
        EXPECT_TRUE(FocusInCombo());
        Press(VK_DOWN);
        Press(VK_DOWN);
        EXPECT_EQ(Sel(), 1);
        EXPECT_TRUE(CW()->IsModified());
        Press(VK_RETURN);
        EXPECT_FALSE(CW()->IsListOpen());
        EXPECT_EQ(CurrentRow(), row) << "Enter with the list open only closes it";
        EXPECT_TRUE(CW()->IsActive());
        Press(VK_RETURN);
        EXPECT_STREQ(Value(row, 2), c.stored);
        EXPECT_STREQ(Shown(row, 2), c.shown);
        // The stored value selects its entry again.
        ASSERT_TRUE(m_grid->PlaceCurrentCell(row, 2, 0));
        EXPECT_EQ(Sel(), 1);
        p->m_nIndexBase = -1;
        p->m_bStoreIndex = FALSE;
    }
}

TEST_F(ComboWndTest, TypingALetterInAnInactiveDropDownListSelectsTheNextEntryWithIt)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Apple");
    ASSERT_FALSE(CW()->IsActive());
    Char('b');
    EXPECT_TRUE(CW()->IsActive());
    EXPECT_EQ(Sel(), 1) << "Banana";
    PvPumpMessages();
    EXPECT_TRUE(FocusInCombo());
    Press('B');
    EXPECT_EQ(Sel(), 2) << "Berry";
    Press('B');
    EXPECT_EQ(Sel(), 1) << "wraps to Banana";
    Press(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "Banana");

    // Through the grid as well, with the control active.
    PlaceCW(4, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Apple");
    Char('b');
    Char('b');
    EXPECT_EQ(Sel(), 2);
    Key(VK_RETURN);
    EXPECT_STREQ(Value(4, 2), "Berry");
}

TEST_F(ComboWndTest, TypingInAnInactiveDropDownReplacesTheText)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Apple");
    Char('x');
    PvPumpMessages();
    ASSERT_TRUE(FocusInCombo());
    Press('Y');
    CString s;
    CW()->GetCellValueText(s);
    EXPECT_STREQ(s, "xy");
    int a = 0, b = 0;
    EditSel(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "xy");
}

TEST_F(ComboWndTest, AnEmptyTextOverADropDownListValueStoresNothing)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry");
    EXPECT_FALSE(CW()->StoreDisplayText(3, 2, "", 0));
    EXPECT_STREQ(Value(3, 2), "Cherry");
    PlaceCW(4, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    EXPECT_TRUE(CW()->StoreDisplayText(4, 2, "", 0));
    EXPECT_STREQ(Value(4, 2), "");
}

TEST_F(ComboWndTest, LeftAtCaretZeroMovesTheCurrentCellInMidTextTheCaret)
{
    PlaceCW(3, 3, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    ASSERT_TRUE(CW()->IsActive());
    ASSERT_TRUE(FocusInCombo());
    int a = 0, b = 0;
    EditSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EditSel(a, b);
    EXPECT_EQ(a, 2);
    Press(VK_LEFT);
    EditSel(a, b);
    EXPECT_EQ(a, 1) << "in mid-text Left moves the caret";
    EXPECT_EQ(CurrentCol(), 3u);
    Press(VK_LEFT);
    EXPECT_EQ(CurrentCol(), 3u);
    Press(VK_LEFT);
    EXPECT_EQ(CurrentCol(), 2u) << "at caret 0 Left moves the current cell";

    // End puts the caret after the text; Right there moves on.
    PlaceCW(3, 3, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    Key(VK_END);
    PvPumpMessages();
    EditSel(a, b);
    EXPECT_EQ(a, 6);
    Press(VK_RIGHT);
    EXPECT_EQ(CurrentCol(), 4u);

    // A drop-down list sends Left and Right to the grid.
    PlaceCW(3, 3, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    ASSERT_TRUE(FocusInCombo());
    Press(VK_LEFT);
    EXPECT_EQ(CurrentCol(), 2u);
}

TEST_F(ComboWndTest, UpAndDownMoveTheGridUnlessTheListIsOpenOrKept)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    Press(VK_DOWN);
    EXPECT_EQ(CurrentRow(), 4u);
    CGXComboBoxWnd* p = Registered(GX_IDS_CTRL_CBS_DROPDOWNLIST);
    p->m_bKeepArrowKeys = TRUE;
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    Press(VK_DOWN);
    EXPECT_EQ(CurrentRow(), 3u);
    EXPECT_EQ(Sel(), 4) << "the combo box keeps the arrows";
    p->m_bKeepArrowKeys = FALSE;
}

TEST_F(ComboWndTest, TwelveEntriesShowEightLinesAndScroll)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_DROPDOWN), WORD(GX_IDS_CTRL_CBS_DROPDOWNLIST)}) {
        SCOPED_TRACE(nID);
        PlaceCW(3, 2, nID, "Apple");
        Press(VK_DOWN, true);
        ASSERT_TRUE(CW()->IsListOpen());
        const HWND hList = CW()->GetListWnd();
        ASSERT_NE(hList, nullptr);
        ASSERT_TRUE(::IsWindowVisible(hList));
        CRect rectList, rectCombo;
        ::GetClientRect(hList, &rectList);
        const int nItem = int(::SendMessage(hList, LB_GETITEMHEIGHT, 0, 0));
        ASSERT_GT(nItem, 0);
        EXPECT_EQ(rectList.Height() / nItem, 8);
        ::GetWindowRect(hList, &rectList);
        ::GetWindowRect(ComboHwnd(), &rectCombo);
        EXPECT_EQ(rectList.top, rectCombo.bottom) << "below the cell";
        for (int i = 0; i < 10; ++i)
            Press(VK_DOWN);
        EXPECT_EQ(Sel(), 10);
        EXPECT_GT(::SendMessage(hList, LB_GETTOPINDEX, 0, 0), 0) << "the list scrolled";
        Press(VK_ESCAPE);
        EXPECT_FALSE(CW()->IsListOpen());
        EXPECT_STREQ(Value(3, 2), "Apple") << "Esc cancels";
    }
    // Four entries show four lines.
    PlaceCW(4, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "", "a\nb\nc\nd");
    Press(VK_DOWN, true);
    const HWND hList = CW()->GetListWnd();
    CRect rectList;
    ::GetClientRect(hList, &rectList);
    EXPECT_EQ(rectList.Height() / int(::SendMessage(hList, LB_GETITEMHEIGHT, 0, 0)), 4);
}

TEST_F(ComboWndTest, AReadOnlyCellRestoresItsTextOrSelection)
{
    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry", kTwelve, ro);
    Press(VK_DOWN, true);
    ASSERT_TRUE(CW()->IsListOpen());
    Press(VK_DOWN);
    EXPECT_EQ(Sel(), 3) << "back on Cherry";
    EXPECT_FALSE(CW()->IsModified());
    Press(VK_RETURN);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "Cherry");

    PlaceCW(4, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry", kTwelve, ro);
    Char('x');
    EXPECT_FALSE(CW()->IsActive()) << "a read-only cell refuses typing";
    Press(VK_DOWN, true);
    ASSERT_TRUE(FocusInCombo());
    Press('X');
    CString s;
    CW()->GetCellValueText(s);
    EXPECT_STREQ(s, "Cherry");
    Press(VK_DOWN);
    CW()->GetCellValueText(s);
    EXPECT_STREQ(s, "Cherry");
    Press(VK_RETURN);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(4, 2), "Cherry");
}

TEST_F(ComboWndTest, AClickOpensADropDownListAndTheButtonOpensEither)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Cherry");
    const CRect rectCell = m_grid->SpannedCellToRect(3, 2);
    Click(CPoint(rectCell.left + 10, rectCell.CenterPoint().y));
    PvPumpMessages();
    EXPECT_TRUE(CW()->IsActive());
    EXPECT_TRUE(CW()->IsListOpen()) << "dropOnClick";
    // A click on an entry picks it.
    const HWND hList = CW()->GetListWnd();
    CRect r;
    ::SendMessage(hList, LB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&r));
    ::ClientToScreen(hList, reinterpret_cast<POINT*>(&r.left));
    ::ClientToScreen(hList, reinterpret_cast<POINT*>(&r.right));
    PvInputClick(r.CenterPoint().x, r.CenterPoint().y);
    PvPumpMessages();
    EXPECT_FALSE(CW()->IsListOpen());
    EXPECT_EQ(Sel(), 5);
    Key(VK_RETURN);
    PvPumpMessages();
    EXPECT_STREQ(Value(3, 2), "Fig");

    // The drop-down opens from its button, not from a click in the text.
    PlaceCW(4, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    const CRect rectCell4 = m_grid->SpannedCellToRect(4, 2);
    Click(CPoint(rectCell4.left + 10, rectCell4.CenterPoint().y));
    PvPumpMessages();
    EXPECT_TRUE(CW()->IsActive());
    EXPECT_FALSE(CW()->IsListOpen());
    Key(VK_ESCAPE);
    PvPumpMessages();
    PlaceCW(5, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    const CRect rectButton = CW()->GetButton()->GetRect();
    EXPECT_EQ(rectButton.Width(), 15);
    Click(rectButton.CenterPoint());
    PvPumpMessages();
    EXPECT_TRUE(CW()->IsActive());
    EXPECT_TRUE(CW()->IsListOpen()) << "the click posted at the button's corner opens the list";
    EXPECT_TRUE(m_grid->m_bDropDownOpen);
    Press(VK_ESCAPE);
    EXPECT_FALSE(m_grid->m_bDropDownOpen);
}

TEST_F(ComboWndTest, TheActiveWindowCoversTheCellGrownByTheMargin)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    const CRect inactive = CW()->ComputeInnerRect(3, 2);
    Key(VK_HOME);
    PvPumpMessages();
    ASSERT_TRUE(CW()->GetComboBoxWnd()->IsWindowVisible());
    const CRect active = CW()->ComputeInnerRect(3, 2);
    EXPECT_EQ(active.Width(), inactive.Width() + 15 + 2) << "no button, no left offset";
    CRect rectWnd;
    CW()->GetComboBoxWnd()->GetWindowRect(&rectWnd);
    m_wnd.ScreenToClient(&rectWnd);
    EXPECT_EQ(rectWnd.left, active.left);
    EXPECT_EQ(rectWnd.right, active.right);
    EXPECT_EQ(rectWnd.top, active.top - 3);
    EXPECT_EQ(rectWnd.bottom, active.bottom + 3);
    // Moving away hides it and gives the focus back to the grid.
    ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 4, 0));
    EXPECT_FALSE(CW() && CW()->GetComboBoxWnd() && CW()->GetComboBoxWnd()->IsWindowVisible());
    CGXComboBoxWnd* p = Registered(GX_IDS_CTRL_CBS_DROPDOWN);
    EXPECT_FALSE(p->GetComboBoxWnd()->IsWindowVisible());
    EXPECT_EQ(Focus(), m_wnd.GetSafeHwnd());
}

TEST_F(ComboWndTest, IndexValuesAndConversions)
{
    CGXComboBoxWnd* p = Registered(GX_IDS_CTRL_CBS_DROPDOWNLIST);
    p->m_nIndexBase = 1;
    p->m_bStoreIndex = TRUE;
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWNLIST, "3");
    EXPECT_EQ(Sel(), 2);
    EXPECT_STREQ(Shown(3, 2), "Berry");
    CGXStyle style;
    m_grid->ComposeCellStyle(3, 2, style);
    CString s = "ch";
    EXPECT_TRUE(p->ConvertDisplayText(s, 3, 2, style));
    EXPECT_STREQ(s, "4");
    s = "zzz";
    p->ConvertDisplayText(s, 3, 2, style);
    EXPECT_STREQ(s, "");
    EXPECT_TRUE(p->ValidateText("ch"));
    EXPECT_FALSE(p->ValidateText("zzz"));
    EXPECT_TRUE(p->StoreDisplayText(3, 2, "mango", 0));
    EXPECT_STREQ(Value(3, 2), "10");
    p->m_nIndexBase = -1;
    p->m_bStoreIndex = FALSE;
    EXPECT_TRUE(p->ValidateText("zzz"));
}

// A message loop that pre-translates hands the edit part's key-downs to the filter first: a key
// the grid takes is eaten there and never dispatched.
TEST_F(ComboWndTest, PreTranslationRunsTheKeyFilterFirst)
{
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    ASSERT_TRUE(FocusInCombo());
    MSG msg {CW()->GetEditPart()->GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ(CurrentCol(), 3u);
    PlaceCW(3, 2, GX_IDS_CTRL_CBS_DROPDOWN, "Cherry");
    Key(VK_HOME);
    PvPumpMessages();
    MSG other {CW()->GetEditPart()->GetSafeHwnd(), WM_KEYDOWN, 'A', 1, 0, {0, 0}};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &other)) << "a letter goes on to the edit part";
}

}  // namespace
