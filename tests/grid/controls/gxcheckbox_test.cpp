// Check boxes: states, toggling by mouse and Space, tri-state values, printing, and the
// editing kind that stores on leaving.

#include "grid/controls/gxcheckbox.h"

#include "gxcellctlfixture.h"
#include "platform/gdi/recording.h"

namespace {

class CheckBoxTest : public CellCtlFixture {
protected:
    CGXCheckBox* Box() { return dynamic_cast<CGXCheckBox*>(Control()); }
    // The box of the current cell, where a click hits it.
    CRect BoxRect(ROWCOL r, ROWCOL c)
    {
        CDC* pDC = m_grid->GetMeasureDC();
        const CRect box = Box()->ComputeBoxRect(pDC, Box()->ComputeInnerRect(r, c), "", 0);
        m_grid->ReleaseMeasureDC();
        return box;
    }
    UINT State(ROWCOL r, ROWCOL c) { return Box()->ComputeCheckState(r, c, m_grid->GetCellStyleCached(r, c)); }
    static CGXStyle YesNo(const char* value)
    {
        CGXStyle style;
        style.SetValue(value).SetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED, "Y").SetUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED, "N");
        return style;
    }
};

TEST_F(CheckBoxTest, ValuesStatesAndToggles)
{
    struct Case {
        const char* name;
        WORD nID;
        CGXStyle style;
        UINT nState;  // checked / unchecked / neither
        const char* afterToggle;
    };
    const Case cases[] = {
        {"neither Y nor N", WORD(GX_IDS_CTRL_CHECKBOX), YesNo("x"), GX_CHECK_UNCHECKED, "Y"},
        {"Y", WORD(GX_IDS_CTRL_CHECKBOX3D), YesNo("Y"), GX_CHECK_CHECKED, "N"},
        {"default 1", WORD(GX_IDS_CTRL_CHECKBOX), CGXStyle().SetValue("1"), GX_CHECK_CHECKED, "0"},
        {"tri-state 0", WORD(GX_IDS_CTRL_CHECKBOX), CGXStyle().SetValue("0").SetTriState(TRUE), GX_CHECK_UNCHECKED, ""},
        {"tri-state empty", WORD(GX_IDS_CTRL_CHECKBOX3D), CGXStyle().SetValue("").SetTriState(TRUE), 0, "1"},
    };
    ROWCOL r = 1;
    for (const Case& c : cases) {
        Place(r, 2, c.nID, c.style);
        ASSERT_NE(Box(), nullptr) << c.name;
        EXPECT_EQ(State(r, 2) & (GX_CHECK_CHECKED | GX_CHECK_UNCHECKED), c.nState) << c.name;
        Click(BoxRect(r, 2).CenterPoint());
        EXPECT_STREQ(Value(r, 2), c.afterToggle) << c.name;
        EXPECT_EQ(Hook().m_clicks.back(), std::make_pair(r, ROWCOL(2))) << c.name;
        ++r;
    }
}

TEST_F(CheckBoxTest, TriStateCyclesWithSpaceAndRefusesOtherTexts)
{
    Place(3, 3, WORD(GX_IDS_CTRL_CHECKBOX), CGXStyle().SetValue("1").SetTriState(TRUE));
    for (const char* expected : {"0", "", "1"}) {
        EXPECT_TRUE(Char(' '));
        EXPECT_STREQ(Value(3, 3), expected);
    }
    m_grid->StoreValueText(3, 3, "maybe");
    EXPECT_STREQ(Value(3, 3), "");
    m_grid->StoreValueText(3, 3, "1");
    EXPECT_STREQ(Value(3, 3), "1");
    // Outside tri-state cells a text stays as given.
    SetStyle(4, 3, CGXStyle().SetControl(WORD(GX_IDS_CTRL_CHECKBOX)));
    m_grid->StoreValueText(4, 3, "maybe");
    EXPECT_STREQ(Value(4, 3), "maybe");
}

TEST_F(CheckBoxTest, PressOutsideReleaseInsideTogglesAndAMissDoesNot)
{
    Place(2, 2, WORD(GX_IDS_CTRL_CHECKBOX), CGXStyle().SetValue("0"));
    const CRect box = BoxRect(2, 2);
    const CPoint outside(box.right + 20, box.CenterPoint().y);
    ASSERT_TRUE(m_grid->CellToRect(2, 2).PtInRect(outside));
    Down(outside);
    EXPECT_EQ(State(2, 2) & GX_CHECK_GREY, 0u) << "a press beside the box does not press it";
    Up(box.CenterPoint());
    EXPECT_STREQ(Value(2, 2), "1");
    Down(box.CenterPoint());
    EXPECT_NE(State(2, 2) & GX_CHECK_GREY, 0u) << "pressed";
    Up(outside);
    EXPECT_STREQ(Value(2, 2), "1") << "released beside the box";
    // Moving over the box without a press presses nothing.
    m_grid->OnGridMouseMove(0, box.CenterPoint());
    EXPECT_EQ(State(2, 2) & GX_CHECK_GREY, 0u);
}

TEST_F(CheckBoxTest, ReadOnlyCellsDoNotToggle)
{
    m_grid->GetParam()->m_bEnforceReadOnly = TRUE;
    Place(2, 2, WORD(GX_IDS_CTRL_CHECKBOX), CGXStyle().SetValue("0").SetReadOnly(TRUE));
    Click(BoxRect(2, 2).CenterPoint());
    Char(' ');
    EXPECT_STREQ(Value(2, 2), "0");
}

TEST_F(CheckBoxTest, UncheckedBoxesPrintWhite)
{
    SetStyle(5, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D)).SetValue("0"));
    CGXControl* pControl = m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    auto* pBox = static_cast<CGXCheckBox*>(pControl);
    EXPECT_EQ(pBox->MapBitmapColor(RGB(255, 0, 0), TRUE), RGB(255, 255, 255));
    EXPECT_EQ(pBox->MapBitmapColor(RGB(0, 0, 0), TRUE), RGB(0, 0, 0));
    EXPECT_EQ(pBox->MapBitmapColor(RGB(1, 2, 3), FALSE), RGB(1, 2, 3));
    const CRect rect(0, 0, 60, 20);
    for (BOOL bPrinting : {FALSE, TRUE}) {
        m_grid->SetPrinting(bPrinting);
        CRecordingDC dc(100, 40);
        dc.FillSolidRect(0, 0, 100, 40, RGB(10, 20, 30));
        pBox->DrawCheckBox(&dc, rect, GX_CHECK_UNCHECKED, 0, "");
        const CRect box = pBox->ComputeBoxRect(&dc, rect, "", 0);
        ASSERT_EQ(dc.Count("StretchDIBits"), 1) << dc.Dump();
        const COLORREF inside = dc.GetPixel(box.CenterPoint());
        EXPECT_EQ(inside, bPrinting ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOW));
        // The print strip is the flat one: its frame is the window frame's colour.
        if (bPrinting) {
            EXPECT_EQ(dc.GetPixel(box.left, box.top), GetSysColor(COLOR_WINDOWFRAME));
        }
    }
    m_grid->SetPrinting(FALSE);
}

TEST_F(CheckBoxTest, BoxPlacementFollowsTheAlignment)
{
    auto* pBox = static_cast<CGXCheckBox*>(m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_CHECKBOX)));
    const CRect rect(10, 10, 110, 40);  // 30 high: 17 to spare
    struct Case {
        DWORD dwAlign;
        CRect expected;
    };
    const Case cases[] = {
        {0, CRect(13, 13, 26, 26)},
        {CGXCheckBox::kAlignCenter | CGXCheckBox::kAlignVCenter, CRect(53, 18, 66, 31)},
        {CGXCheckBox::kAlignRight | CGXCheckBox::kAlignBottom, CRect(97, 27, 110, 40)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pBox->ComputeBoxRect(nullptr, rect, "", c.dwAlign), c.expected) << c.dwAlign;
    EXPECT_EQ(pBox->ComputeBoxRect(nullptr, CRect(0, 0, 8, 8), "", 0), CRect(3, 0, 8, 8)) << "cut to the cell";
}

TEST_F(CheckBoxTest, EditingKindHoldsTheToggleUntilTheCellIsLeft)
{
    for (WORD nID : {WORD(GX_IDS_CTRL_CHECKBOX_EX), WORD(GX_IDS_CTRL_CHECKBOX3D_EX)}) {
        Place(2, 2, nID, CGXStyle().SetValue("0"));
        ASSERT_NE(dynamic_cast<CGXCheckBoxEx*>(Control()), nullptr);
        Click(BoxRect(2, 2).CenterPoint());
        EXPECT_STREQ(Value(2, 2), "0") << "not stored yet";
        EXPECT_TRUE(Control()->IsModified());
        {
            // Drawn as toggled.
            CRecordingDC dc;
            const CGXStyle& style = m_grid->GetCellStyleCached(2, 2);
            EXPECT_EQ(Box()->ComputeCheckState(2, 2, style) & GX_CHECK_CHECKED, 0u);
            Control()->Draw(&dc, m_grid->CellToRect(2, 2), 2, 2, style, nullptr);
            EXPECT_EQ(dc.Count("StretchDIBits"), 1);
        }
        ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
        EXPECT_STREQ(Value(2, 2), "1") << "stored on leaving";

        // Esc restores the stored value.
        ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
        Char(' ');
        EXPECT_TRUE(Control()->IsModified());
        Key(VK_ESCAPE);
        EXPECT_FALSE(Control()->IsModified());
        ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
        EXPECT_STREQ(Value(2, 2), "1");

        // Delete empties the value.
        ASSERT_TRUE(m_grid->PlaceCurrentCell(2, 2, 0));
        Char(' ');
        Key(VK_DELETE);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(3, 2, 0));
        EXPECT_STREQ(Value(2, 2), "") << nID;
    }
}

}  // namespace
