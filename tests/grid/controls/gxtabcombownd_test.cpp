// The multi-column Windows combo box cell (52539 drop-down, 52540 drop-down list): keys and
// texts of a tab-separated list, completion, refused characters, Esc, and the title strip on
// the dropped list.

#include "gxcombofixture.h"

#include "grid/controls/gxtabcombownd.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxstymap.h"
#include "platform/win/pvwin.h"

namespace {

const char kNames[] = "1\tAnnabel\n2\tAnna";
const char kFruit[] = "ID\tName\tColour\n1\tApple\tRed\n2\tBanana\tYellow\n3\tCherry\tRed";

class TabbedWndTest : public ComboFixture {
protected:
    void SetUp() override
    {
        ComboFixture::SetUp();
        m_wnd.m_bPaintGrid = true;
        m_wnd.Invalidate();
        m_wnd.UpdateWindow();
    }
    CGXTabbedComboBoxWnd* TW() { return dynamic_cast<CGXTabbedComboBoxWnd*>(Control()); }
    void PlaceTW(ROWCOL r, ROWCOL c, WORD nID, const char* pszValue, const char* pszChoices, BOOL bTitles = FALSE,
                 int nKeyCol = 0, int nTextCol = 1)
    {
        CGXStyle style;
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, nKeyCol == 0 ? "0" : "1")
            .SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, nTextCol == 1 ? "1" : "0")
            .SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, bTitles ? "1" : "0");
        Place(r, c, nID, style);
        m_wnd.UpdateWindow();
        PvPumpMessages();
    }
    HWND ComboHwnd() { return TW()->GetComboBoxWnd()->GetSafeHwnd(); }
    BOOL FocusInCombo() { return ::GetFocus() == ComboHwnd() || ::IsChild(ComboHwnd(), ::GetFocus()); }
    int Sel() { return TW()->GetComboBoxWnd()->GetCurSel(); }
    CString Text()
    {
        CString s;
        TW()->GetComboBoxWnd()->GetWindowText(s);
        return s;
    }
    void EditSel(int& a, int& b)
    {
        const DWORD dw = TW()->GetComboBoxWnd()->GetEditSel();
        a = LOWORD(dw);
        b = HIWORD(dw);
    }
    void Activate()
    {
        Key(VK_HOME);
        PvPumpMessages();
        ASSERT_TRUE(FocusInCombo());
    }
};

TEST_F(TabbedWndTest, TheFactoryMakesBothOwnerDrawnKinds)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWN), WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST)}) {
        SCOPED_TRACE(nID);
        PlaceTW(2, 2, nID, "2", kFruit, TRUE);
        ASSERT_NE(TW(), nullptr);
        const DWORD dwStyle = TW()->GetComboBoxWnd()->GetStyle();
        EXPECT_TRUE(dwStyle & CBS_OWNERDRAWVARIABLE);
        EXPECT_TRUE(dwStyle & CBS_HASSTRINGS);
        EXPECT_TRUE(dwStyle & CBS_NOINTEGRALHEIGHT);
        const BOOL bList = nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST;
        EXPECT_EQ(TW()->IsDropDownList(), bList);
        EXPECT_EQ(TW()->m_bDropOnClick, bList);
        EXPECT_FALSE(TW()->m_bFindable) << "owner-drawn";
        EXPECT_EQ(dynamic_cast<CGXTabbedCBEditWnd*>(TW()->GetEditPart()) != nullptr, !bList);
        EXPECT_EQ(TW()->GetComboBoxWnd()->GetCount(), 3) << "the title line goes to the header";
        EXPECT_EQ(Sel(), 1);
        EXPECT_STREQ(Shown(2, 2), "Banana");
        EXPECT_EQ(TW()->GetColumnCount(), 3);
        EXPECT_GT(TW()->GetTotalWidth(), 0);
    }
    CGXStylesMap map;
    CGXTabbedComboBoxWnd::AddUserAttributes(&map);
    CGXStylesMap* pMap = &map;
    EXPECT_EQ(map.GetUserAttributeMap().size(), 5u);
    for (WORD id : {GX_IDS_UA_TABLIST_KEYCOL, GX_IDS_UA_TABLIST_TEXTCOL, GX_IDS_UA_TABLIST_SHOWALLCOLS,
                    GX_IDS_UA_TABLIST_TITLES, GX_IDS_UA_TABLIST_SORTCOL})
        EXPECT_EQ(pMap->GetUserAttributeMap().count(id), 1u) << id;
}

// The fault mended: picking "Anna" stores Anna's key, not that of Annabel, whose text "Anna" begins.
TEST_F(TabbedWndTest, PickingAnnaStoresItsOwnKeyInBothKinds)
{
    ROWCOL row = 2;
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWN), WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST)}) {
        for (int pick : {1, 0}) {
            SCOPED_TRACE(::testing::Message() << nID << " pick " << pick);
            PlaceTW(row, 2, nID, "", kNames);
            Press(VK_DOWN, true);
            ASSERT_TRUE(TW()->IsListOpen());
            for (int i = 0; i <= pick; ++i)
                Press(VK_DOWN);
            EXPECT_EQ(Sel(), pick);
            Press(VK_RETURN);
            Press(VK_RETURN);
            EXPECT_STREQ(Value(row, 2), pick == 1 ? "2" : "1");
            EXPECT_STREQ(Shown(row, 2), pick == 1 ? "Anna" : "Annabel");
            ++row;
        }
    }
    // Typed in the drop-down: completion offers Annabel, Delete leaves "Anna", its exact match.
    PlaceTW(row, 2, GX_IDS_CTRL_CBS_TABBED_DROPDOWN, "", kNames);
    Activate();
    for (UINT ch : {UINT('A'), UINT('N'), UINT('N'), UINT('A')})
        Press(ch);
    EXPECT_STREQ(Text(), "Annabel");
    Press(VK_DELETE);
    EXPECT_STREQ(Text(), "Anna");
    Press(VK_RETURN);
    EXPECT_STREQ(Value(row, 2), "2");
}

TEST_F(TabbedWndTest, TypingCompletesAndARefusedCharacterChangesNothing)
{
    PlaceTW(3, 2, GX_IDS_CTRL_CBS_TABBED_DROPDOWN, "", kFruit, TRUE);
    Activate();
    Press('B');
    EXPECT_STREQ(Text(), "Banana") << "completion selects the rest";
    int a = 0, b = 0;
    EditSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 6);
    EXPECT_EQ(Sel(), 1);
    Press('Z');
    EXPECT_STREQ(Text(), "Banana") << "no entry begins \"Bz\"";
    EditSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 6);
    Press('A');
    EXPECT_STREQ(Text(), "Banana");
    EditSel(a, b);
    EXPECT_EQ(a, 2);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "2");
}

TEST_F(TabbedWndTest, EscWithTheListOpenClosesItAndCancelsInOnePress)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWN), WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST)}) {
        SCOPED_TRACE(nID);
        PlaceTW(3, 2, nID, "1", kFruit, TRUE);
        Press(VK_DOWN, true);
        ASSERT_TRUE(TW()->IsListOpen());
        Press(VK_DOWN);
        EXPECT_TRUE(TW()->IsModified());
        Press(VK_ESCAPE);
        EXPECT_FALSE(TW()->IsListOpen());
        EXPECT_FALSE(TW()->IsActive());
        EXPECT_FALSE(TW()->IsModified());
        EXPECT_EQ(Sel(), 0) << "back on the stored key";
        EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd());
        EXPECT_FALSE(TW()->GetHeader() && TW()->GetHeader()->IsWindowVisible());
        EXPECT_STREQ(Value(3, 2), "1");
    }
}

TEST_F(TabbedWndTest, AnAbsentKeyShowsAnEmptyCellAndNoSelection)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWN), WORD(GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST)}) {
        SCOPED_TRACE(nID);
        PlaceTW(3, 2, nID, "9", kFruit, TRUE);
        EXPECT_EQ(Sel(), -1);
        EXPECT_STREQ(Shown(3, 2), "");
        CString s;
        TW()->GetCellValueText(s);
        EXPECT_STREQ(s, "");
        Activate();
        Key(VK_RETURN);
        EXPECT_STREQ(Value(3, 2), "9") << "a visit stores nothing";
    }
}

TEST_F(TabbedWndTest, TheHeaderStaysOnTheListBelowAndAbove)
{
    PlaceTW(3, 2, GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST, "1", kFruit, TRUE);
    Press(VK_DOWN, true);
    ASSERT_TRUE(TW()->IsListOpen());
    PvPumpMessages();
    CGXTabbedLBoxHeader* pHeader = TW()->GetHeader();
    ASSERT_NE(pHeader, nullptr);
    ASSERT_TRUE(pHeader->IsWindowVisible());
    CRect rectHeader, rectList, rectCombo;
    pHeader->GetWindowRect(&rectHeader);
    ::GetWindowRect(TW()->GetListWnd(), &rectList);
    TW()->GetComboBoxWnd()->GetWindowRect(&rectCombo);
    EXPECT_EQ(rectHeader.top, rectCombo.bottom) << "between the cell and the list below";
    EXPECT_EQ(rectHeader.bottom, rectList.top);
    EXPECT_EQ(rectHeader.left, rectList.left);
    EXPECT_EQ(rectHeader.Width(), rectList.Width());
    EXPECT_GE(rectList.Width(), TW()->GetTotalWidth()) << "the list is as wide as its columns";
    Press(VK_RETURN);
    EXPECT_FALSE(pHeader->IsWindowVisible()) << "the header goes with the list";
    Key(VK_ESCAPE);

    // A cell near the desktop's bottom opens its list above, the header on top of it.
    CRect desk;
    ::GetWindowRect(::GetDesktopWindow(), &desk);
    const CRect rectCell = m_grid->CellToRect(3, 2);
    m_wnd.SetWindowPos(nullptr, 0, desk.bottom - rectCell.bottom - 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PvPumpMessages();
    PlaceTW(3, 2, GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST, "1", kFruit, TRUE);
    Press(VK_DOWN, true);
    ASSERT_TRUE(TW()->IsListOpen());
    PvPumpMessages();
    ASSERT_TRUE(pHeader->IsWindowVisible());
    pHeader->GetWindowRect(&rectHeader);
    ::GetWindowRect(TW()->GetListWnd(), &rectList);
    TW()->GetComboBoxWnd()->GetWindowRect(&rectCombo);
    EXPECT_EQ(rectList.bottom, rectCombo.top) << "the list above the cell";
    EXPECT_EQ(rectHeader.bottom, rectList.top) << "the header on the list";
    EXPECT_EQ(rectHeader.left, rectList.left);
    Press(VK_ESCAPE);
    EXPECT_FALSE(pHeader->IsWindowVisible());
}

TEST_F(TabbedWndTest, KeysAndTextsConvert)
{
    PlaceTW(3, 2, GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST, "3", kFruit, TRUE);
    CGXStyle style;
    m_grid->ComposeCellStyle(3, 2, style);
    CString s = "Banana";
    EXPECT_TRUE(TW()->ConvertDisplayText(s, 3, 2, style));
    EXPECT_STREQ(s, "2");
    s = "Ban";
    EXPECT_FALSE(TW()->ConvertDisplayText(s, 3, 2, style)) << "an exact search";
    EXPECT_TRUE(TW()->ValidateText("ban"));
    EXPECT_FALSE(TW()->ValidateText("x"));
    EXPECT_TRUE(TW()->StoreDisplayText(3, 2, "Apple", 0));
    EXPECT_STREQ(Value(3, 2), "1");
    EXPECT_STREQ(Shown(3, 2), "Apple");
}

}  // namespace
