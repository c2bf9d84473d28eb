// Radio buttons: entries, choosing by click and Space, layout, and the editing kind.

#include "grid/controls/gxradio.h"

#include <algorithm>

#include "gxcellctlfixture.h"
#include "platform/gdi/recording.h"

namespace {

class RadioTest : public CellCtlFixture {
protected:
    CGXRadioButton* Radio() { return dynamic_cast<CGXRadioButton*>(Control()); }
    // The outer ellipses (buttons) drawn for a cell, top first, and the dots.
    void Ellipses(ROWCOL r, ROWCOL c, std::vector<CRect>& buttons, std::vector<CRect>& dots)
    {
        CRecordingDC dc;
        CGXControl* pControl = m_grid->GetRegisteredControl(m_grid->GetCellStyleCached(r, c).GetControl());
        pControl->Draw(&dc, m_grid->CellToRect(r, c), r, c, m_grid->GetCellStyleCached(r, c), nullptr);
        for (const PvGdiRecord& e : dc.Find("Ellipse"))
            (e.rect.Width() == 12 ? buttons : dots).push_back(e.rect);
    }
};

TEST_F(RadioTest, EmptyLinesAreNoEntriesAndTheValueChoosesOne)
{
    SetStyle(2, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_RADIOBTN)).SetChoiceList("A\n\nB").SetValue("1"));
    m_grid->SetRowHeights(2, 2, 40);
    EXPECT_EQ(CGXRadioButton::EntriesOf(m_grid->GetCellStyleCached(2, 2)).size(), 2u);
    std::vector<CRect> buttons, dots;
    Ellipses(2, 2, buttons, dots);
    ASSERT_EQ(buttons.size(), 2u);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_TRUE(buttons[1].PtInRect(dots[0].CenterPoint())) << "B is chosen";
}

TEST_F(RadioTest, SpaceStepsAndWrapsAtThisCellsEntries)
{
    struct Case {
        const char* choices;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"A\nB", "0", "1"},
        {"A\nB", "1", "0"},
        {"A\nB", "", "0"},
        {"A\nB", "7", "0"},
        {"A\nB\nC", "-4", "0"},
    };
    // A cell with five entries is drawn first: its count must not decide the wrap.
    SetStyle(9, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_RADIOBTN)).SetChoiceList("1\n2\n3\n4\n5"));
    ROWCOL r = 1;
    for (const Case& c : cases) {
        Place(r, 2, WORD(GX_IDS_CTRL_RADIOBTN), CGXStyle().SetChoiceList(c.choices).SetValue(c.value));
        std::vector<CRect> buttons, dots;
        Ellipses(9, 2, buttons, dots);
        ASSERT_EQ(Radio()->GetEntryCount(), 5);
        EXPECT_TRUE(Char(' '));
        EXPECT_STREQ(Value(r, 2), c.expected) << c.choices << " / " << c.value;
        ++r;
    }
}

TEST_F(RadioTest, AClickOnTheTextOrTheButtonChooses)
{
    m_grid->SetColWidths(2, 2, 120);
    m_grid->SetRowHeights(3, 3, 40);
    Place(3, 2, WORD(GX_IDS_CTRL_RADIOBTN), CGXStyle().SetChoiceList("One\nTwo"));
    std::vector<CRect> buttons, dots;
    Ellipses(3, 2, buttons, dots);
    ASSERT_EQ(buttons.size(), 2u);
    Click(CPoint(buttons[1].right + 8, buttons[1].CenterPoint().y));
    EXPECT_STREQ(Value(3, 2), "1") << "on the text";
    EXPECT_EQ(Hook().m_clicks.size(), 1u);
    Click(buttons[0].CenterPoint());
    EXPECT_STREQ(Value(3, 2), "0") << "on the button";
    Click(CPoint(m_grid->CellToRect(3, 2).right - 2, buttons[0].CenterPoint().y));
    EXPECT_STREQ(Value(3, 2), "0") << "beside both";
    EXPECT_EQ(Hook().m_clicks.size(), 2u);
}

TEST_F(RadioTest, EntriesAreAtLeast12PixelsApart)
{
    CGXFont font;
    font.SetSize(5);
    SetStyle(2, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_RADIOBTN)).SetChoiceList("a\nb\nc").SetFont(font));
    m_grid->SetRowHeights(2, 2, 60);
    std::vector<CRect> buttons, dots;
    Ellipses(2, 2, buttons, dots);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[1].top - buttons[0].top, 12);
    EXPECT_EQ(buttons[2].top - buttons[1].top, 12);
}

TEST_F(RadioTest, EditingKindLaysOutSideBySideAndStoresOnLeaving)
{
    m_grid->SetColWidths(2, 2, 200);
    CGXStyle style;
    style.SetChoiceList("Left\nRight").SetValue("0").SetUserAttribute(GX_IDS_UA_RADIOBTN_ALIGN, "1").SetUserAttribute(
        GX_IDS_UA_RADIOBTN_TEXTALIGN, "1");
    Place(2, 2, WORD(GX_IDS_CTRL_RADIOBTN_EX), style);
    ASSERT_NE(dynamic_cast<CGXRadioButtonEx*>(Control()), nullptr);
    std::vector<CRect> buttons, dots;
    Ellipses(2, 2, buttons, dots);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].top, buttons[1].top) << "one line";
    EXPECT_LT(buttons[0].right, buttons[1].left);
    Click(buttons[1].CenterPoint());
    EXPECT_STREQ(Value(2, 2), "0") << "held in the control";
    EXPECT_TRUE(Control()->IsModified());
    buttons.clear();
    dots.clear();
    Ellipses(2, 2, buttons, dots);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_TRUE(buttons[1].PtInRect(dots[0].CenterPoint())) << "the held choice shows";
    ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 2, 0));
    EXPECT_STREQ(Value(2, 2), "1");

    // Space steps the held choice; Delete empties it.
    ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
    Char(' ');
    EXPECT_STREQ(Value(2, 2), "1");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 2, 0));
    EXPECT_STREQ(Value(2, 2), "0");
    ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
    Char(' ');
    Key(VK_DELETE);
    ASSERT_TRUE(m_grid->PlaceCurrentCell(4, 2, 0));
    EXPECT_STREQ(Value(2, 2), "");
}

}  // namespace
