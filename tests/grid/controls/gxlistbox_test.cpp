#include <gtest/gtest.h>

#include "gxcombofixture.h"

#include "grid/controls/gxlistbox.h"
#include "grid/core/gxfactory.h"

namespace {

class ListBoxTest : public ComboFixture {
protected:
    // A list box cell made current and drawn, so that its window lies over it.
    void PlaceList(ROWCOL r, ROWCOL c, const char* pszValue, const char* pszChoices = "Red\nGreen\nBlue")
    {
        CGXStyle style;
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        m_grid->SetRowHeights(r, r, 60);
        Place(r, c, GX_IDS_CTRL_LISTBOX, style);
        CClientDC dc(&m_wnd);
        Control()->Draw(&dc, m_grid->CellToRect(r, c), r, c, m_grid->GetCellStyleCached(r, c), nullptr);
        PvPumpMessages();
    }
    CGXListBox* ListBox() { return dynamic_cast<CGXListBox*>(Control()); }
    int Sel() { return ListBox()->GetListBoxWnd() ? ListBox()->GetListBoxWnd()->GetCurSel() : -2; }
};

TEST(ListBoxLines, TheMarkedLineIsTheLastVisibleWhenFarDown)
{
    struct Case {
        int marked, visible, first;
    };
    const Case cases[] = {
        {.marked = -1, .visible = 3, .first = 0}, {.marked = 0, .visible = 3, .first = 0},
        {.marked = 2, .visible = 3, .first = 0},  {.marked = 3, .visible = 3, .first = 1},
        {.marked = 9, .visible = 3, .first = 7},  {.marked = 5, .visible = 0, .first = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.marked << " in " << c.visible);
        EXPECT_EQ(GXListBoxFirstDrawnLine(c.marked, c.visible), c.first);
    }
}

TEST_F(ListBoxTest, TheFactoryMakesItAndActivationSelectsByCaseInsensitivePrefix)
{
    PlaceList(3, 2, "gr");
    ASSERT_NE(ListBox(), nullptr);
    ASSERT_TRUE(ListBox()->IsActive());
    EXPECT_EQ(Sel(), 1) << "\"gr\" finds Green";
    EXPECT_FALSE(ListBox()->IsModified());
}

// A visit stores nothing: an unmatched value and a prefix value both survive moving away.
TEST_F(ListBoxTest, AVisitKeepsTheValue)
{
    for (const char* pszValue : {"Purple", "gr"}) {
        SCOPED_TRACE(pszValue);
        PlaceList(3, 2, pszValue);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 4, 0));
        PvPumpMessages();
        EXPECT_STREQ(Value(3, 2), pszValue);
    }
}

TEST_F(ListBoxTest, ArrowsMoveTheSelectionAndEnterOrTabStoreIt)
{
    PlaceList(3, 2, "Red");
    ASSERT_EQ(::GetFocus(), ListBox()->GetListBoxWnd()->GetSafeHwnd());
    Press(VK_DOWN);
    EXPECT_EQ(Sel(), 1);
    EXPECT_TRUE(ListBox()->IsModified());
    Press(VK_TAB);
    ROWCOL r = 0, c = 0;
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(c, 3u);
    EXPECT_STREQ(Value(3, 2), "Green");

    PlaceList(4, 2, "Blue");
    Press(VK_UP);
    EXPECT_EQ(Sel(), 1);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(4, 2), "Green");
}

TEST_F(ListBoxTest, AReadOnlyCellKeepsItsValue)
{
    PlaceList(3, 2, "Red");
    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    SetStyle(3, 2, ro);
    Press(VK_DOWN);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 4, 0));
    EXPECT_STREQ(Value(3, 2), "Red");
}

}  // namespace
