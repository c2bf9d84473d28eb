// The currency cell: the style's format settings, stored numbers, the sign key and the
// calculator's result. The locale is fixed to English (US): "$", "," and ".", two digits.

#include "gxcellctlfixture.h"
#include "grid/controls/gxcurrency.h"
#include "grid/core/gxfactory.h"
#include "grid/widgets/gxbcalc.h"
#include "grid/widgets/gxbres.h"
#include "platform/sys/locale.h"

namespace {

class CurrencyTest : public CellCtlFixture {
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
    void PlaceCurrency(ROWCOL r, ROWCOL c, const char* pszValue, CGXStyle style = CGXStyle())
    {
        style.SetValue(pszValue);
        Place(r, c, GX_IDS_CTRL_CURRENCY, style);
        ASSERT_NE(Cur(), nullptr);
        ASSERT_NE(Cur()->GetCurrencyWnd(), nullptr);
    }
    CGXCurrencyEdit* Cur() { return dynamic_cast<CGXCurrencyEdit*>(Control()); }
    CString WndText()
    {
        CString s;
        Cur()->GetCurrencyWnd()->GetWindowText(s);
        return s;
    }
    CString Shown(ROWCOL r, ROWCOL c)
    {
        CString s;
        Cur()->GetDisplayText(s, r, c, nullptr, m_grid->GetCellStyleCached(r, c));
        return s;
    }
};

TEST_F(CurrencyTest, TheAttributesChooseTheButton)
{
    struct Case {
        const char* attr;
        UINT bitmap;
    };
    const Case cases[] = {{nullptr, GXB_IDB_CALCULATOR}, {"11 ", GXB_IDB_CALCULATOR}, {"11 1", GXB_IDB_CALCULATOR}, {"1100", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attr ? c.attr : "none");
        CGXStyle style;
        if (c.attr)
            style.SetUserAttribute(GX_IDS_UA_CURRENCYATTRIBUTES, c.attr);
        PlaceCurrency(3, 2, "5", style);
        EXPECT_EQ(Cur()->GetCurrencyWnd()->GetButtonBitmap(), c.bitmap);
    }
    EXPECT_TRUE(Cur()->IsControlKindOf(&CGXStatic::classCGXStatic));
    EXPECT_STREQ(Shown(3, 2), "$5.00");
}

TEST_F(CurrencyTest, StoredTextsBecomePlainNumbers)
{
    struct Case {
        const char* decimals;
        const char* text;
        BOOL ok;
        const char* stored;
    };
    const Case cases[] = {
        {nullptr, "1,234.5", TRUE, "1234.50"},  {nullptr, "$12.3", TRUE, "12.30"}, {nullptr, "($4)", TRUE, "-4.00"},
        {nullptr, "", TRUE, ""},                {nullptr, "abc", FALSE, "7"},      {"3", "123.45", TRUE, "123.45"},
        {"3", "12345.67", FALSE, "7"},          {"3", "999.99", TRUE, "999.99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CGXStyle style;
        style.SetControl(GX_IDS_CTRL_CURRENCY).SetValue("7");
        if (c.decimals)
            style.SetUserAttribute(GX_IDS_UA_CURRENCYDECIMALS, c.decimals);
        SetStyle(5, 3, style);
        EXPECT_EQ(m_grid->StoreValueText(5, 3, c.text), c.ok);
        EXPECT_STREQ(Value(5, 3), c.stored);
    }
}

TEST_F(CurrencyTest, AnAmountBeyondTheDigitLimitIsNotCommitted)
{
    CGXStyle style;
    style.SetUserAttribute(GX_IDS_UA_CURRENCYDECIMALS, "3");
    PlaceCurrency(3, 2, "12", style);
    Cur()->SetEditText("12345.67");
    EXPECT_TRUE(Cur()->IsModified());
    CString s;
    EXPECT_FALSE(Cur()->GetEditText(s)) << "not a hundredth of the amount";
    EXPECT_FALSE(Cur()->Validate());
    Cur()->SetEditText("345.5");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(3, 2), "345.50");
}

TEST_F(CurrencyTest, TypingAndEnterStoreTheNumber)
{
    PlaceCurrency(3, 2, "");
    EXPECT_TRUE(Char('4'));
    PvPumpMessages();
    EXPECT_TRUE(Cur()->IsActive());
    Cur()->GetCurrencyWnd()->SendMessage(WM_CHAR, '2', 1);
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(3, 2), "42.00");
}

TEST_F(CurrencyTest, SpaceOnAnInactiveCellShowsTheNegativeLayout)
{
    PlaceCurrency(3, 2, "5");
    EXPECT_STREQ(WndText(), "$5.00");
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_STREQ(WndText(), "($5.00)");
    EXPECT_FALSE(Cur()->IsModified());
    EXPECT_STREQ(Value(3, 2), "5") << "nothing stored";

    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    PlaceCurrency(3, 2, "5", ro);
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_STREQ(WndText(), "$5.00") << "a read-only cell keeps its sign";
}

TEST_F(CurrencyTest, TheDecimalPointBecomesTheSeparator)
{
    CGXStyle style;
    style.SetUserAttribute(GX_IDS_UA_CURRENCYSEPARATORS, ".,");
    PlaceCurrency(3, 2, "1.5", style);
    EXPECT_STREQ(Shown(3, 2), "$1,50");
    EXPECT_STREQ(WndText(), "$1,50");
}

TEST_F(CurrencyTest, LayoutNumbersOutsideTheirRangeKeepTheLocales)
{
    struct Case {
        const char* pos;
        const char* neg;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"1", nullptr, "5", "5.00$"}, {"4", nullptr, "5", "$5.00"}, {"-1", nullptr, "5", "$5.00"},
        {nullptr, "1", "-5", "-$5.00"}, {nullptr, "16", "-5", "($5.00)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos ? c.pos : c.neg);
        CGXStyle style;
        if (c.pos)
            style.SetUserAttribute(GX_IDS_UA_CURRENCYPOSFORMAT, c.pos);
        if (c.neg)
            style.SetUserAttribute(GX_IDS_UA_CURRENCYNEGFORMAT, c.neg);
        PlaceCurrency(3, 2, c.value, style);
        EXPECT_STREQ(Shown(3, 2), c.shown);
    }
}

TEST_F(CurrencyTest, TheCalculatorResultIsRefusedInAReadOnlyCell)
{
    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    PlaceCurrency(3, 2, "5", ro);
    Cur()->SetActive(TRUE);
    Cur()->GetCurrencyWnd()->SendMessage(GXB_WM_CALCRESULT, 0, LPARAM("42"));
    EXPECT_STREQ(WndText(), "$5.00");

    PlaceCurrency(4, 2, "5");
    Cur()->SetActive(TRUE);
    Cur()->GetCurrencyWnd()->SendMessage(GXB_WM_CALCRESULT, 0, LPARAM("42"));
    EXPECT_STREQ(WndText(), "$42.00");
    EXPECT_TRUE(Cur()->IsModified());
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_STREQ(Value(4, 2), "42.00");
}

}  // namespace
