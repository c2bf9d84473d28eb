// The edit variants: password, scroll-bar, hot-spot and spin cells.

#include <climits>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxhotspot.h"
#include "grid/controls/gxpassword.h"
#include "grid/controls/gxspin.h"
#include "grid/controls/gxvscredit.h"
#include "gxcellctlfixture.h"
#include "platform/gdi/recording.h"

namespace {

using EditVariantTest = CellCtlFixture;

TEST_F(EditVariantTest, FactoryMakesTheVariants)
{
    struct Case {
        WORD nID;
        const CGXControlClass* pClass;
    };
    const Case cases[] = {
        {WORD(GX_IDS_CTRL_PASSWORD), &CGXPasswordControl::classCGXPasswordControl},
        {WORD(GX_IDS_CTRL_SCROLLEDIT), &CGXVScrollEdit::classCGXVScrollEdit},
        {WORD(GX_IDS_CTRL_HOTSPOT), &CGXHotSpotEdit::classCGXHotSpotEdit},
        {WORD(GX_IDS_CTRL_SPINEDIT), &CGXSpinEdit::classCGXSpinEdit},
    };
    for (const Case& c : cases) {
        CGXControl* p = m_grid->GetRegisteredControl(c.nID);
        ASSERT_NE(p, nullptr) << c.nID;
        EXPECT_TRUE(p->IsControlKindOf(c.pClass)) << c.nID;
        EXPECT_TRUE(p->IsControlKindOf(&CGXEditControl::classCGXEditControl)) << c.nID;
        EXPECT_NE(p->GetCellTipProvider(), nullptr) << c.nID;
    }
}

TEST_F(EditVariantTest, SpinStepsWithinBoundsAndThe32BitRange)
{
    struct Case {
        const char* min;
        const char* max;
        const char* wrap;
        const char* start;
        const char* value;
        bool up;
        const char* expected;
    };
    const Case cases[] = {
        {"1", "3", "1", "", "3", true, "1"},
        {"1", "3", "1", "", "1", false, "3"},
        {"1", "3", "0", "", "3", true, "3"},
        {"1", "3", "", "", "1", false, "1"},
        {"", "", "", "", "", true, "1"},
        {"", "", "", "10", "", true, "10"},
        {"", "", "", "10", "4", true, "5"},
        {"", "5", "", "", "7", false, "5"},
        {"", "", "", "", "2147483647", true, "2147483647"},
        {"", "", "", "", "-2147483648", false, "-2147483648"},
        {"", "", "", "", "99999999999999999999", true, "2147483647"},
        {"", "", "", "", "-99999999999999999999", true, "-2147483647"},
        {"-5", "2147483647", "1", "", "2147483647", true, "-5"},
        {"", "", "", "", "12abc", false, "11"},
    };
    ROWCOL nRow = 1;
    for (const Case& c : cases) {
        CGXStyle style;
        style.SetValue(c.value)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, c.min)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, c.max)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_WRAP, c.wrap)
            .SetUserAttribute(GX_IDS_UA_SPINSTART, c.start);
        Place(nRow, 2, WORD(GX_IDS_CTRL_SPINEDIT), style);
        auto* pSpin = dynamic_cast<CGXSpinEdit*>(Control());
        ASSERT_NE(pSpin, nullptr);
        const CRect arrow = c.up ? pSpin->GetUpButton()->GetRect() : pSpin->GetDownButton()->GetRect();
        ASSERT_FALSE(arrow.IsRectEmpty());
        const size_t nHooks = Hook().m_clicks.size();
        Click(arrow.CenterPoint());
        CString sText;
        pSpin->GetCellValueText(sText);
        EXPECT_STREQ(sText, c.expected) << c.value << (c.up ? " up" : " down") << " min " << c.min << " max "
                                        << c.max << " wrap " << c.wrap << " start " << c.start;
        EXPECT_TRUE(pSpin->IsActive());
        EXPECT_TRUE(pSpin->IsModified());
        EXPECT_EQ(Hook().m_clicks.size(), nHooks + 1) << "the grid's button hook";
        ++nRow;
    }
    // Leaving the cell stores the stepped value.
    ASSERT_TRUE(m_grid->PlaceCurrentCell(1, 3, 0));
    EXPECT_STREQ(Value(nRow - 1, 2), "11");
}

TEST_F(EditVariantTest, SpinArrowsSitInTheCellsRightColumn)
{
    auto* pSpin = static_cast<CGXSpinEdit*>(m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_SPINEDIT)));
    pSpin->LayoutChildren(nullptr, CRect(0, 0, 100, 21));
    EXPECT_EQ(pSpin->GetUpButton()->GetRect(), CRect(85, 1, 99, 10));
    EXPECT_EQ(pSpin->GetDownButton()->GetRect(), CRect(85, 10, 99, 20));
}

TEST_F(EditVariantTest, PasswordShowsStarsStoresClearAndKeepsTheClipboard)
{
    CGXStyle style;
    style.SetValue("secret");
    Place(2, 2, WORD(GX_IDS_CTRL_PASSWORD), style);
    CGXControl* pControl = Control();
    ASSERT_NE(dynamic_cast<CGXPasswordControl*>(pControl), nullptr);

    CString sText;
    pControl->GetDisplayText(sText, 2, 2, nullptr, m_grid->GetCellStyleCached(2, 2));
    EXPECT_STREQ(sText, "******");
    pControl->GetDisplayText(sText, 2, 2, "h\xC3\xA9llo", m_grid->GetCellStyleCached(2, 2));
    EXPECT_STREQ(sText, "*****") << "a star per character";
    {
        CRecordingDC dc;
        const CRect rect = m_grid->CellToRect(3, 2);
        SetStyle(3, 2, CGXStyle().SetControl(WORD(GX_IDS_CTRL_PASSWORD)).SetValue("abcde"));
        pControl->Draw(&dc, rect, 3, 2, m_grid->GetCellStyleCached(3, 2), nullptr);
        bool bStars = false;
        for (const PvGdiRecord& r : dc.Records()) {
            EXPECT_EQ(std::string(r.text).find("abc"), std::string::npos) << dc.Dump();
            bStars |= r.text == "*****";
        }
        EXPECT_TRUE(bStars) << dc.Dump();
    }

    // Typed in, it is stored as typed.
    auto* pEdit = static_cast<CGXEditControl*>(pControl);
    Char('p');
    ASSERT_TRUE(pEdit->IsActive());
    CEdit* pWnd = pEdit->GetEditWnd();
    ASSERT_NE(pWnd, nullptr);
    EXPECT_NE(pWnd->GetStyle() & ES_PASSWORD, 0u);
    for (char ch : std::string("w1"))
        pWnd->SendMessage(WM_CHAR, UINT(BYTE(ch)), 1);

    PutOnClipboard("keep");
    pWnd->SetSel(0, -1);
    SetModifiers(true, false, false);
    pWnd->SendMessage(WM_KEYDOWN, 'C', 1);
    pWnd->SendMessage(WM_CHAR, 3, 1);
    pWnd->SendMessage(WM_KEYDOWN, 'X', 1);
    pWnd->SendMessage(WM_CHAR, 24, 1);
    pWnd->SendMessage(WM_KEYDOWN, VK_INSERT, 1);
    SetModifiers(false, true, false);
    pWnd->SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    SetModifiers(false, false, false);
    EXPECT_STREQ(ClipboardText(), "keep");
    EXPECT_TRUE(pControl->CopyText()) << "reports success";
    EXPECT_TRUE(pControl->CutText());
    EXPECT_STREQ(ClipboardText(), "keep");
    pEdit->GetCellValueText(sText);
    EXPECT_STREQ(sText, "pw1") << "nothing was cut";

    ASSERT_TRUE(m_grid->PlaceCurrentCell(5, 2, 0));
    EXPECT_STREQ(Value(2, 2), "pw1");
}

TEST_F(EditVariantTest, HotSpotButtonSitsTopRightAndReachesTheHook)
{
    auto* pHot = static_cast<CGXHotSpotEdit*>(m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_HOTSPOT)));
    pHot->LayoutChildren(nullptr, CRect(0, 0, 100, 10));
    EXPECT_EQ(pHot->GetButton()->GetRect(), CRect(86, 0, 99, 10)) << "10 high at the top";
    pHot->LayoutChildren(nullptr, CRect(0, 0, 100, 20));
    EXPECT_EQ(pHot->GetButton()->GetRect(), CRect(86, 1, 99, 14)) << "clears the top line of a taller cell";

    Place(4, 2, WORD(GX_IDS_CTRL_HOTSPOT), CGXStyle().SetValue("x"));
    const CRect button = pHot->GetButton()->GetRect();
    const CRect inner = pHot->ComputeInnerRect(4, 2);
    EXPECT_LE(inner.right, button.left) << "the text keeps clear of the button";
    Click(button.CenterPoint());
    ASSERT_EQ(Hook().m_clicks.size(), 1u);
    EXPECT_EQ(Hook().m_clicks[0], std::make_pair(ROWCOL(4), ROWCOL(2)));
    Click(CPoint(inner.left + 2, inner.CenterPoint().y));
    EXPECT_EQ(Hook().m_clicks.size(), 1u) << "a click on the text is no button click";
}

TEST_F(EditVariantTest, ScrollEditLeavesRoomForItsBar)
{
    auto* pScroll = static_cast<CGXVScrollEdit*>(m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_SCROLLEDIT)));
    auto* pEdit = m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_EDIT));
    const CGXStyle& style = m_grid->GetCellStyleCached(3, 3);
    const CRect rect(0, 0, 120, 60);
    EXPECT_EQ(pScroll->ComputeInnerRect(3, 3, &rect, &style).right,
              pEdit->ComputeInnerRect(3, 3, &rect, &style).right - GetSystemMetrics(SM_CXVSCROLL));
    Place(3, 3, WORD(GX_IDS_CTRL_SCROLLEDIT), CGXStyle().SetWrapText(TRUE));
    CRect rectFormat;
    int nNeeded = 0;
    pScroll->m_bWrapText = TRUE;
    EXPECT_NE(pScroll->ComputeEditStyle(rectFormat, nNeeded) & WS_VSCROLL, 0u);
}

}  // namespace

namespace {

TEST_F(EditVariantTest, NeutralDefaultsForMergingAndTheTextRectangle)
{
    CGXControl* pHot = m_grid->GetRegisteredControl(WORD(GX_IDS_CTRL_HOTSPOT));
    const CGXStyle& style = m_grid->GetCellStyleCached(2, 2);
    const CRect rect(0, 0, 100, 20);
    EXPECT_EQ(pHot->GetCellTextRect(2, 2, &rect, &style), pHot->ComputeInnerRect(2, 2, &rect, &style))
        << "the text keeps clear of the button";
    EXPECT_TRUE(pHot->CanMergeCell(2, 2, style));
    EXPECT_TRUE(pHot->IsEqualCellValue(2, 2, CGXStyle().SetValue("a"), CGXStyle().SetValue("a")));
    EXPECT_FALSE(pHot->IsEqualCellValue(2, 2, CGXStyle().SetValue("a"), CGXStyle().SetValue("A")));
}

}  // namespace
