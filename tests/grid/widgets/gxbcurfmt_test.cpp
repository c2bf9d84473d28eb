// The currency format: showing amounts, reading them back, and the locale defaults.

#include "grid/widgets/gxbcurfmt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "platform/sys/locale.h"

namespace {

using Format = CGXBCurrencyFormat;

// Narrow no-break space, fr_FR's grouping separator.
constexpr UINT kNnbsp = 0x202F;
const char* const kEuro = "\xE2\x82\xAC";

struct LocaleScope {
    explicit LocaleScope(PvLocalePreset preset) { PvSetTestLocale(preset); }
    ~LocaleScope() { PvResetLocale(); }
};

Format english() { return Format(FALSE); }

Format german()
{
    LocaleScope locale(PvLocalePreset::German);
    return Format(TRUE);
}

Format frenchLike()
{
    Format f = german();
    f.SetGroupingSeparator(kNnbsp);
    return f;
}

CString shown(const Format& f, double value, bool negative)
{
    CString s;
    f.FormatValue(value, s, negative);
    return s;
}

TEST(GXBCurrencyFormat, FormatsParsesAndRefuses)
{
    struct Case {
        const char* name;
        std::function<Format()> make;
        double value;
        bool negative;
        const char* text;
        bool roundTrips = true;  // false where the shown text holds less than the value
    };
    const Case cases[] = {
        {.name = "defaults", .make = english, .value = 1234.5, .negative = false, .text = "$1,234.50"},
        {.name = "defaults negative", .make = english, .value = 1234.5, .negative = true, .text = "($1,234.50)"},
        {.name = "no leading zero",
         .make = [] { Format f(FALSE); f.SetLeadingZero(FALSE); return f; },
         .value = 0.5, .negative = false, .text = "$.50"},
        {.name = "no leading zero, rounded up to 1",
         .make = [] { Format f(FALSE); f.SetLeadingZero(FALSE); return f; },
         .value = 0.999, .negative = false, .text = "$1.00", .roundTrips = false},
        {.name = "three integer digits drop the lowest",
         .make = [] { Format f(FALSE); f.SetIntegerDigits(3); return f; },
         .value = 12345.67, .negative = false, .text = "$123.67", .roundTrips = false},
        {.name = "three integer digits, keep leading digits cuts the text",
         .make = [] { Format f(FALSE); f.SetIntegerDigits(3); f.SetKeepLeadingDigits(TRUE); return f; },
         .value = 12345.67, .negative = false, .text = "$345.67", .roundTrips = false},
        {.name = "locale has no digit limit",
         .make = [] { LocaleScope l(PvLocalePreset::EnglishUS); return Format(TRUE); },
         .value = 1234.5, .negative = false, .text = "$1,234.50"},
        {.name = "pad before grouping",
         .make = [] { Format f(FALSE); f.SetIntegerDigits(5); f.SetPaddingChar('0'); f.SetPadBeforeGrouping(TRUE); return f; },
         .value = 12, .negative = false, .text = "$00,012.00"},
        {.name = "pad after grouping",
         .make = [] { Format f(FALSE); f.SetIntegerDigits(5); f.SetPaddingChar('0'); return f; },
         .value = 12, .negative = false, .text = "$00012.00"},
        {.name = "german", .make = german, .value = 1234.5, .negative = false, .text = "1.234,50 \xE2\x82\xAC"},
        {.name = "german negative", .make = german, .value = 1234.5, .negative = true, .text = "-1.234,50 \xE2\x82\xAC"},
        {.name = "narrow no-break space groups", .make = frenchLike, .value = 1234.5, .negative = false,
         .text = "1\xE2\x80\xAF" "234,50 \xE2\x82\xAC"},
        {.name = "no decimals", .make = [] { Format f(FALSE); f.SetDecimalDigits(0); return f; },
         .value = 1234567, .negative = false, .text = "$1,234,567"},
        {.name = "non-finite shows 0", .make = english, .value = HUGE_VAL, .negative = false, .text = "$0.00",
         .roundTrips = false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Format f = c.make();
        const CString text = shown(f, c.value, c.negative);
        EXPECT_STREQ(text, c.text);
        if (!c.roundTrips)
            continue;
        double value = -1;
        bool negative = !c.negative;
        ASSERT_TRUE(f.ParseValue(text, value, negative));
        EXPECT_DOUBLE_EQ(value, c.value);
        EXPECT_EQ(negative, c.negative);
    }

    // Typed with a plain blank where the locale groups with U+202F.
    double value = 0;
    bool negative = true;
    ASSERT_TRUE(frenchLike().ParseValue("1 234,50", value, negative));
    EXPECT_DOUBLE_EQ(value, 1234.5);
    EXPECT_FALSE(negative);
}

TEST(GXBCurrencyFormat, ParsesWithTheDefaultSeparators)
{
    struct Case {
        const char* name;
        const char* text;
        bool ok;
        double value;
        bool negative;
    };
    const std::string digits400(400, '9');
    const Case cases[] = {
        {"open parenthesis alone", "($1.00", false, 0, false},
        {"close parenthesis alone", "$1.00)", false, 0, false},
        {"minus before the symbol", "-$1.00", true, 1, true},
        {"parentheses", " ($1,234.50) ", true, 1234.5, true},
        {"empty", "", true, 0, false},
        {"blanks only", "   ", true, 0, false},
        {"two numbers", "1 000", false, 0, false},
        {"two numbers with a fraction", "12 345.67", false, 0, false},
        {"digit after the number", "$1.00 x2", false, 0, false},
        {"no digit", "$", false, 0, false},
        {"400 digits", digits400.c_str(), false, 0, false},
        {"fraction only", "$.5", true, 0.5, false},
        {"grouping kept", "$1,234,567.89", true, 1234567.89, false},
        {"second decimal point", "$1.2.3", false, 0, false},
    };
    const Format f(FALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double value = -1;
        bool negative = false;
        EXPECT_EQ(f.ParseValue(c.text, value, negative) != FALSE, c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value);
            EXPECT_EQ(negative, c.negative);
        }
    }
}

TEST(GXBCurrencyFormat, EveryLayoutReadsBack)
{
    for (const std::function<Format()>& make : {std::function<Format()>(english), std::function<Format()>(german),
                                                std::function<Format()>(frenchLike)}) {
        Format f = make();
        for (int layout = 0; layout < Format::kPositiveLayouts; ++layout) {
            ASSERT_TRUE(f.SetPositiveFormat(layout));
            const CString text = shown(f, 98765.43, false);
            SCOPED_TRACE(text.GetString());
            double value = 0;
            bool negative = true;
            ASSERT_TRUE(f.ParseValue(text, value, negative));
            EXPECT_DOUBLE_EQ(value, 98765.43);
            EXPECT_FALSE(negative);
        }
        for (int layout = 0; layout < Format::kNegativeLayouts; ++layout) {
            ASSERT_TRUE(f.SetNegativeFormat(layout));
            const CString text = shown(f, 98765.43, true);
            SCOPED_TRACE(text.GetString());
            double value = 0;
            bool negative = false;
            ASSERT_TRUE(f.ParseValue(text, value, negative));
            EXPECT_DOUBLE_EQ(value, 98765.43);
            EXPECT_TRUE(negative);
        }
    }
}

TEST(GXBCurrencyFormat, SettersRefuseWhatTheTablesCannotHold)
{
    Format f(FALSE);
    EXPECT_FALSE(f.SetPaddingChar('5'));
    EXPECT_EQ(f.GetPaddingChar(), UINT(' '));
    EXPECT_TRUE(f.SetPaddingChar('0'));
    EXPECT_FALSE(f.SetPositiveFormat(4));
    EXPECT_FALSE(f.SetPositiveFormat(-1));
    EXPECT_FALSE(f.SetNegativeFormat(16));
    EXPECT_EQ(f.GetPositiveFormat(), 0);
    EXPECT_EQ(f.GetNegativeFormat(), 0);
    EXPECT_FALSE(f.SetDecimalDigits(10));
    EXPECT_FALSE(f.SetIntegerDigits(-2));
    EXPECT_FALSE(f.SetGroupingSeparator('7'));

    COLORREF cr = 0;
    EXPECT_FALSE(f.GetNegativeTextColor(cr));
    f.SetNegativeTextColor(RGB(255, 0, 0));
    EXPECT_TRUE(f.GetNegativeTextColor(cr));
    EXPECT_EQ(cr, RGB(255, 0, 0));

    Format copy(f);
    EXPECT_TRUE(copy.IsEqual(f));
    copy.SetMonetarySymbol(kEuro);
    EXPECT_TRUE(copy.IsDifferent(f));
    const Format& same = copy;
    copy = same;
    EXPECT_STREQ(copy.GetMonetarySymbol(), kEuro);
}

TEST(GXBCurrencyFormat, LocaleValuesOutsideTheTablesKeepTheDefaults)
{
    LocaleScope locale(PvLocalePreset::EnglishUS);
    PvSetLocaleInfoForTest(LOCALE_ICURRENCY, "4");
    PvSetLocaleInfoForTest(LOCALE_INEGCURR, "16");
    PvSetLocaleInfoForTest(LOCALE_ICURRDIGITS, "x");
    PvSetLocaleInfoForTest(LOCALE_IDIGITS, "2");
    const Format f(TRUE);
    EXPECT_EQ(f.GetPositiveFormat(), 0);
    EXPECT_EQ(f.GetNegativeFormat(), 0);
    EXPECT_EQ(f.GetDecimalDigits(), 2);
    EXPECT_EQ(f.GetIntegerDigits(), -1);
}

}  // namespace
