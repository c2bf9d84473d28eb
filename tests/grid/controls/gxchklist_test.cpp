// The check-list combo cell: a fixed caption, ticks stored as a bit mask of the entries.

#include "gxcombofixture.h"

#include "grid/controls/gxchklist.h"
#include "platform/win/pvwin.h"

namespace {

class CheckListTest : public ComboFixture {
protected:
    CGXCheckListComboBox* CheckList() { return dynamic_cast<CGXCheckListComboBox*>(m_grid->CurrentCellControl()); }
    CCheckListBox* List()
    {
        CGXCheckListComboBox* p = CheckList();
        return p && p->GetDropDown() ? dynamic_cast<CCheckListBox*>(p->GetDropDown()->GetListBox()) : nullptr;
    }
    void PlaceCheckList(const char* pszChoices, const char* pszValue)
    {
        CGXStyle style;
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        Place(3, 2, GX_IDS_CTRL_CHECKLIST_COMBOBOX, style);
        m_wnd.UpdateWindow();
    }
    std::vector<int> Ticks()
    {
        std::vector<int> v;
        for (int i = 0; List() && i < List()->GetCount(); ++i)
            v.push_back(List()->GetCheck(i));
        return v;
    }
    CString Shown()
    {
        CString s;
        CheckList()->GetDisplayText(s, 3, 2, nullptr, m_grid->GetCellStyleCached(3, 2));
        return s;
    }
};

const char kFruit[] = "Fruit\nApple\nBanana\nCherry\nDate";

TEST_F(CheckListTest, CaptionOnlyOpensAnEmptyListAndKeepsTheValue)
{
    PlaceCheckList("Fruit", "5");
    ASSERT_NE(CheckList(), nullptr);
    EXPECT_STREQ(Shown(), "Fruit");
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    EXPECT_EQ(List()->GetCount(), 0);
    Press(VK_RETURN);
    EXPECT_EQ(List(), nullptr);
    EXPECT_STREQ(Value(3, 2), "5");
    EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd()) << "the grid window keeps the keys";
}

TEST_F(CheckListTest, TicksAreStoredAsAMask)
{
    struct Case {
        const char* name;
        const char* value;
        std::vector<int> ticksShown;
        std::vector<int> toggle;  // entries toggled with the space bar
        UINT closeKey;
        const char* stored;
    };
    const Case cases[] = {
        {"ticking nothing stores an empty value", "1", {1, 0, 0, 0}, {0}, VK_RETURN, ""},
        {"Esc keeps the ticks made", "", {0, 0, 0, 0}, {0, 2}, VK_ESCAPE, "5"},
        {"bits beyond the entries stay without a change", "255", {1, 1, 1, 1}, {}, VK_RETURN, "255"},
        {"and give way to the entries' mask after one", "255", {1, 1, 1, 1}, {1}, VK_RETURN, "13"},
        {"a value that is no number ticks nothing", "abc", {0, 0, 0, 0}, {3}, VK_RETURN, "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceCheckList(kFruit, c.value);
        Press(VK_DOWN, true);
        ASSERT_NE(List(), nullptr);
        EXPECT_EQ(Ticks(), c.ticksShown);
        for (int i : c.toggle) {
            List()->SetCurSel(i);
            Press(VK_SPACE);
        }
        Press(c.closeKey);
        EXPECT_EQ(List(), nullptr);
        EXPECT_STREQ(Value(3, 2), c.stored);
        EXPECT_STREQ(Shown(), "Fruit") << "the caption whatever the value";
        EXPECT_FALSE(CheckList()->IsActive());
    }
}

TEST_F(CheckListTest, EntriesBeyondThe32ndHaveNoBitAndAreDisabled)
{
    CString sChoices = "Many";
    for (int i = 1; i <= 34; ++i) {
        CString s;
        s.Format("\nEntry %d", i);
        sChoices += s;
    }
    PlaceCheckList(sChoices, "4294967295");
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    ASSERT_EQ(List()->GetCount(), 34);
    EXPECT_EQ(CheckList()->GetEntryCount(), 34);
    EXPECT_EQ(List()->GetCheck(31), 1);
    EXPECT_FALSE(List()->IsEnabled(32));
    EXPECT_FALSE(List()->IsEnabled(33));
    EXPECT_EQ(List()->GetCheck(32), 0);
    // Untick all but the 32nd; the 34th cannot be ticked.
    for (int i = 0; i < 31; ++i) {
        List()->SetCurSel(i);
        Press(VK_SPACE);
    }
    List()->SetCurSel(33);
    Press(VK_SPACE);
    EXPECT_EQ(List()->GetCheck(33), 0);
    Press(VK_RETURN);
    EXPECT_STREQ(Value(3, 2), "2147483648") << "the 32nd bit, not a negative number";
}

TEST_F(CheckListTest, NothingCanBeTypedAndTabMovesOn)
{
    PlaceCheckList(kFruit, "2");
    EXPECT_FALSE(Char('x'));
    EXPECT_STREQ(Value(3, 2), "2");
    Press(VK_DOWN, true);
    ASSERT_NE(List(), nullptr);
    List()->SetCurSel(0);
    Press(VK_SPACE);
    Press(VK_TAB);
    EXPECT_EQ(List(), nullptr);
    EXPECT_STREQ(Value(3, 2), "3");
    ROWCOL r = 0, c = 0;
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(c, 3u) << "Tab moves the grid on";
}

}  // namespace
