// The date-time cell: OLE date numbers shown and stored, midnight against empty, typing field
// by field, Delete, and the calendar. The locale is fixed to English (US): M/d/yyyy, h:mm:ss tt.

#include "gxcellctlfixture.h"
#include "grid/controls/gxdatetime.h"
#include "grid/core/gxfactory.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/locale.h"

namespace {

class DateCellTest : public CellCtlFixture {
protected:
    void SetUp() override
    {
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        CellCtlFixture::SetUp();
    }
    void TearDown() override
    {
        CellCtlFixture::TearDown();
        PvResetLocale();
    }
    void PlaceDate(ROWCOL r, ROWCOL c, const char* pszValue, const char* pszType = "1",
                   WORD nID = GX_IDS_CTRL_DATETIME, CGXStyle style = CGXStyle())
    {
        style.SetValue(pszValue);
        if (pszType)
            style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, pszType);
        Place(r, c, nID, style);
        ASSERT_NE(Date(), nullptr);
        ASSERT_NE(Date()->GetDateTimeWnd(), nullptr);
    }
    CGXDateTimeCtrl* Date() { return dynamic_cast<CGXDateTimeCtrl*>(Control()); }
    CGXBDateTimeCtrl* Wnd() { return Date()->GetDateTimeWnd(); }
    CString Shown(ROWCOL r, ROWCOL c)
    {
        CString s;
        Date()->GetDisplayText(s, r, c, nullptr, m_grid->GetCellStyleCached(r, c));
        return s;
    }
    BOOL AltDown()
    {
        SetModifiers(false, false, true);
        const BOOL b = m_grid->ProcessKeyMessage(WM_SYSKEYDOWN, VK_DOWN, LPARAM(1) | (LPARAM(1) << 29));
        SetModifiers(false, false, false);
        return b;
    }
    void SendChar(UINT ch) { Wnd()->SendMessage(WM_CHAR, ch, 1); }
    void CloseCalendar()
    {
        PvInputKey(VK_ESCAPE, true);
        PvInputKey(VK_ESCAPE, false);
        PvPumpMessages();
    }
};

TEST_F(DateCellTest, ShowsTheOleDateInTheFormat)
{
    struct Case {
        const char* type;
        const char* custom;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"1", nullptr, "36892", "1/1/2001"},
        {nullptr, nullptr, "36892", "1/1/2001"},
        {"2", nullptr, "36892", "Monday, January 1, 2001"},
        {"9", nullptr, "36892.5", "1/1/2001 12:00:00 PM"},
        {"0", nullptr, "0", "12:00:00 AM"},
        {"3", "yyyy-MM-dd", "36893", "2001-01-02"},
        {"1", nullptr, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        CGXStyle style;
        if (c.custom)
            style.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, c.custom);
        PlaceDate(3, 2, c.value, c.type, GX_IDS_CTRL_DATETIME, style);
        EXPECT_STREQ(Shown(3, 2), c.shown);
    }
    EXPECT_TRUE(Date()->IsControlKindOf(&CGXStatic::classCGXStatic));
    PlaceDate(3, 2, "36892");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(3, 2), "36892") << "an unchanged cell stores nothing";
}

TEST_F(DateCellTest, ZeroIsMidnightNotEmpty)
{
    CGXStyle style;
    style.SetUserAttribute(GX_IDS_UA_DATEVALIDMODE, "2");
    PlaceDate(3, 2, "0", "0", GX_IDS_CTRL_DATETIME, style);
    EXPECT_STREQ(Shown(3, 2), "12:00:00 AM");
    EXPECT_EQ(double(DATE(Wnd()->GetDateTime())), 0.0) << "its date stays 1899-12-30, not today";

    // Only an empty value is empty: it takes today under mode 2 and day 0 under mode 0.
    PlaceDate(3, 2, "", "0", GX_IDS_CTRL_DATETIME, style);
    EXPECT_GT(double(DATE(Wnd()->GetDateTime())), 40000.0);
    PlaceDate(4, 2, "", "0");
    EXPECT_EQ(double(DATE(Wnd()->GetDateTime())), 0.0);
}

TEST_F(DateCellTest, TypedFieldByFieldAndStoredAsAnOleNumber)
{
    PlaceDate(3, 2, "36892");
    // The first character starts editing and goes into the first field; Right ends a field.
    EXPECT_TRUE(Char('1'));
    PvPumpMessages();
    EXPECT_TRUE(Date()->IsActive());
    Wnd()->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    SendChar('2');
    Wnd()->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    for (const char* p = "2001"; *p; ++p)
        SendChar(BYTE(*p));
    EXPECT_TRUE(Date()->IsModified());
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(3, 2), "36893");
}

TEST_F(DateCellTest, EnteredTextsBecomeOleNumbers)
{
    struct Case {
        const char* text;
        BOOL ok;
        const char* stored;
    };
    const Case cases[] = {
        {"1/2/2001", TRUE, "36893"}, {"36893.25", TRUE, "36893.25"}, {"0", TRUE, "0"},
        {"", TRUE, ""},              {"1,2,2001", TRUE, "36893"},    {"soon", FALSE, "7"},
    };
    // A cell being edited keeps its window's date while other cells are stored.
    PlaceDate(5, 2, "36892");
    Date()->SetEditText("36900");
    const double dEditing = double(DATE(Wnd()->GetDateTime()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CGXStyle style;
        style.SetControl(GX_IDS_CTRL_DATETIME).SetValue("7").SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "1");
        SetStyle(3, 2, style);
        EXPECT_EQ(m_grid->StoreValueText(3, 2, c.text), c.ok);
        EXPECT_STREQ(Value(3, 2), c.stored);
    }
    EXPECT_EQ(double(DATE(Wnd()->GetDateTime())), dEditing);

    // With "Force DateTime input as number" a number is a date number and a date text is refused.
    CGXStyle forced;
    forced.SetControl(GX_IDS_CTRL_DATETIME).SetValue("7").SetUserAttribute(GX_IDS_UA_DATETIMENUMBER, "1");
    SetStyle(3, 2, forced);
    EXPECT_TRUE(m_grid->StoreValueText(3, 2, "2.5"));
    EXPECT_STREQ(Value(3, 2), "2.5");
    EXPECT_STREQ(Shown(3, 2), "1/1/1900");
    EXPECT_FALSE(m_grid->StoreValueText(3, 2, "1/2/2001"));
}

TEST_F(DateCellTest, DeleteStoresAnEmptyValue)
{
    PlaceDate(3, 2, "36892");
    Key(VK_DELETE);
    EXPECT_STREQ(Value(3, 2), "");

    PlaceDate(3, 2, "36892");
    Date()->SetActive(TRUE);
    Wnd()->SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_STREQ(Value(3, 2), "");
}

TEST_F(DateCellTest, TheCalendarDropsByAltDownF4AndTheButton)
{
    PlaceDate(3, 2, "36892");
    EXPECT_TRUE(Wnd()->GetCtrlStyle() & GXBDT_DROPDOWN);
    EXPECT_TRUE(AltDown());
    ASSERT_NE(Date(), nullptr);
    EXPECT_TRUE(Date()->IsActive());
    EXPECT_NE(Wnd()->GetCalendar(), nullptr) << "Alt+Down";
    CloseCalendar();
    EXPECT_EQ(Wnd()->GetCalendar(), nullptr);

    Wnd()->SendMessage(WM_KEYDOWN, VK_F4, 1);
    EXPECT_NE(Wnd()->GetCalendar(), nullptr) << "F4";
    CloseCalendar();

    // The button: drawn in the current cell, pressed by a click on it.
    PlaceDate(3, 2, "36892");
    m_wnd.Invalidate(FALSE);
    m_wnd.UpdateWindow();
    const CRect rectInner = Date()->ComputeInnerRect(3, 2);
    Wnd()->MoveWindow(rectInner, FALSE);
    Wnd()->LayoutGadgets(nullptr);
    const CGXBDTGadget* pButton = nullptr;
    for (const auto& g : Wnd()->GetGadgets())
        if (dynamic_cast<const CGXBDTButtonGadget*>(g.get()))
            pButton = g.get();
    ASSERT_NE(pButton, nullptr);
    const CPoint pt = pButton->GetRect().CenterPoint() + rectInner.TopLeft();
    Click(pt);
    PvPumpMessages();
    EXPECT_NE(Wnd()->GetCalendar(), nullptr) << "the button";
    CloseCalendar();

    PlaceDate(3, 2, "36892", "1", GX_IDS_CTRL_DATETIMENOCAL);
    EXPECT_FALSE(Wnd()->GetCtrlStyle() & GXBDT_DROPDOWN);
    AltDown();
    ASSERT_NE(Date(), nullptr);
    EXPECT_EQ(Wnd()->GetCalendar(), nullptr) << "no calendar without the style bit";
}

TEST_F(DateCellTest, InactiveCellsDrawTheirGadgets)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_DATETIME).SetValue("36892").SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "1");
    SetStyle(5, 2, style);
    PlaceDate(3, 2, "36892");
    EXPECT_FALSE(Date()->IsActive());
    EXPECT_FALSE(Wnd()->IsWindowVisible()) << "drawn by the captive, not the cell window";
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(300, 80, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bm);
    dc.FillSolidRect(0, 0, 300, 80, RGB(255, 255, 255));
    const CRect cellCurrent(0, 0, 200, 22), cellOther(0, 40, 200, 62);
    Date()->Draw(&dc, cellCurrent, 3, 2, m_grid->GetCellStyleCached(3, 2), nullptr);
    Date()->Draw(&dc, cellOther, 5, 2, m_grid->GetCellStyleCached(5, 2), nullptr);
    auto inkIn = [&](const CRect& r, COLORREF cr) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += dc.GetPixel(x, y) == cr;
        return n;
    };
    const CRect current = Date()->ComputeInnerRect(3, 2, &cellCurrent), other = Date()->ComputeInnerRect(5, 2, &cellOther);
    const CRect buttonsCurrent(current.right - 30, current.top, current.right, current.bottom);
    const CRect buttonsOther(other.right - 30, other.top, other.right, other.bottom);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(inkIn(buttonsCurrent, face), 20) << "the current cell shows its button and spin";
    EXPECT_EQ(inkIn(buttonsOther, face), 0) << "other cells show none";
    const CRect textCurrent(current.left, current.top, current.left + 60, current.bottom);
    const CRect textOther(other.left, other.top, other.left + 60, other.bottom);
    auto darkIn = [&](const CRect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = dc.GetPixel(x, y);
                n += GetRValue(c) + GetGValue(c) + GetBValue(c) < 384;
            }
        return n;
    };
    EXPECT_GT(darkIn(textCurrent), 10) << "the fields' texts";
    EXPECT_GT(darkIn(textOther), 10);
    dc.SelectObject(pOld);
}

TEST_F(DateCellTest, CopyLeavesTheClipboardToWhatItPuts)
{
    PutOnClipboard("keep");
    PlaceDate(3, 2, "36892");
    Date()->SetActive(TRUE);
    SetModifiers(true, false, false);
    Wnd()->SendMessage(WM_CHAR, 3, 1);
    SetModifiers(false, false, false);
    EXPECT_FALSE(ClipboardText().IsEmpty());
}

}  // namespace
