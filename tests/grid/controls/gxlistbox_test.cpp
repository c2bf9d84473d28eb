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

// The grid window paints here, so that the current cell lays its window over itself.
class ListBoxPaintTest : public ListBoxTest {
protected:
    void SetUp() override
    {
        ListBoxTest::SetUp();
        m_wnd.m_bPaintGrid = true;
        m_wnd.Invalidate();
        m_wnd.UpdateWindow();
    }
    void PlaceShown(ROWCOL r, ROWCOL c, const char* pszValue, int nHeight = 60, const char* pszChoices = "Red\nGreen\nBlue")
    {
        CGXStyle style;
        style.SetChoiceList(pszChoices).SetValue(pszValue);
        m_grid->SetRowHeights(r, r, nHeight);
        SetStyle(r, c, style.SetControl(GX_IDS_CTRL_LISTBOX));
        m_wnd.UpdateWindow();
        PvPumpMessages();
    }
    int LineHeight(ROWCOL r, ROWCOL c)
    {
        CClientDC dc(&m_wnd);
        CGXStyle style;
        m_grid->ComposeCellStyle(r, c, style);
        CFont* pOld = dc.SelectObject(m_grid->LookupFont(style.GetFont()));
        TEXTMETRIC tm {};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(pOld);
        return tm.tmHeight + tm.tmExternalLeading;
    }
    // Which drawn lines of an inactive cell are marked (inverted): the pixel right of the text.
    std::vector<int> MarkedLines(ROWCOL r, ROWCOL c)
    {
        m_wnd.Invalidate();
        m_wnd.UpdateWindow();
        const CRect inner = m_grid->GetRegisteredControl(GX_IDS_CTRL_LISTBOX)->ComputeInnerRect(r, c);
        const int nLine = LineHeight(r, c);
        CClientDC dc(&m_wnd);
        std::vector<int> v;
        for (int i = 0; inner.top + i * nLine + nLine / 2 < inner.bottom; ++i) {
            const COLORREF px = dc.GetPixel(inner.right - 4, inner.top + i * nLine + nLine / 2);
            if (GetRValue(px) < 64 && GetGValue(px) < 64 && GetBValue(px) < 64)
                v.push_back(i);
        }
        return v;
    }
};

TEST_F(ListBoxPaintTest, InactiveCellsMarkTheirValueCaseSensitively)
{
    ASSERT_TRUE(m_grid->PlaceCurrentCell(10, 5, 0));
    PlaceShown(3, 2, "Green");
    EXPECT_EQ(MarkedLines(3, 2), std::vector<int> {1});
    PlaceShown(3, 2, "green");
    EXPECT_TRUE(MarkedLines(3, 2).empty()) << "drawing compares case-sensitively";
    PlaceShown(3, 2, "Purple");
    EXPECT_TRUE(MarkedLines(3, 2).empty()) << "an unmatched value marks nothing";
    // A value far down a short cell draws as the last visible line.
    const int nLine = LineHeight(3, 2);
    PlaceShown(3, 2, "Blue", 2 * nLine + 4, "Red\nGreen\nBlue\nBlack");
    const std::vector<int> marked = MarkedLines(3, 2);
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_GE(marked[0], 1) << "Blue is not drawn first";
    // Activation selects by case-insensitive prefix.
    PlaceShown(3, 2, "green");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
    m_wnd.UpdateWindow();
    ASSERT_TRUE(ListBox()->IsActive());
    EXPECT_EQ(Sel(), 1);
}

TEST_F(ListBoxPaintTest, AClickPicksTheEntryUnderIt)
{
    PlaceShown(3, 2, "Red");
    const int nLine = LineHeight(3, 2);
    CGXControl* pList = m_grid->GetRegisteredControl(GX_IDS_CTRL_LISTBOX);
    const CRect rectInner = pList->ComputeInnerRect(3, 2);
    Click(CPoint(rectInner.left + 8, rectInner.top + 2 * nLine + nLine / 2));
    PvPumpMessages();
    ASSERT_NE(ListBox(), nullptr);
    EXPECT_TRUE(ListBox()->IsActive());
    EXPECT_EQ(Sel(), 2) << "Blue, under the click";
    EXPECT_TRUE(ListBox()->IsModified());
    ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 4, 0));
    EXPECT_STREQ(Value(3, 2), "Blue");
}

TEST_F(ListBoxPaintTest, KeysReachingTheGridGoToTheList)
{
    PlaceShown(3, 2, "Red");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
    m_wnd.UpdateWindow();
    m_wnd.SetFocus();
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(Sel(), 1);
    EXPECT_TRUE(ListBox()->IsModified());
    m_wnd.Invalidate();
    m_wnd.UpdateWindow();
    EXPECT_EQ(Sel(), 1) << "a repaint keeps the pick";
    Key(VK_TAB);
    EXPECT_STREQ(Value(3, 2), "Green");
}

TEST_F(ListBoxPaintTest, SetEditTextSelectsAndSizesFitTheList)
{
    PlaceShown(3, 2, "Red");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
    ListBox()->SetEditText("blu");
    EXPECT_EQ(Sel(), 2);
    EXPECT_TRUE(ListBox()->IsModified());
    CString s;
    ListBox()->GetEditText(s);
    EXPECT_STREQ(s, "Blue");

    CClientDC dc(&m_wnd);
    CGXStyle style;
    m_grid->ComposeCellStyle(3, 2, style);
    const CSize size = ListBox()->ComputeContentSize(&dc, 3, 2, style);
    const CSize borders = ListBox()->AddBorderToSize(CSize(0, 0), 3, 2, style);
    EXPECT_EQ(size.cy - borders.cy, 3 * LineHeight(3, 2));
    CFont* pOld = dc.SelectObject(m_grid->LookupFont(style.GetFont()));
    const int nGreen = dc.GetTextExtent("Green", 5).cx;
    dc.SelectObject(pOld);
    EXPECT_EQ(size.cx - borders.cx, nGreen + 4);
}

}  // namespace
