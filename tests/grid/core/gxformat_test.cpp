#include "grid/core/gxformat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/locale.h"

namespace {

struct LocaleScope {
    explicit LocaleScope(PvLocalePreset preset)
    {
        PvSetTestLocale(preset);
        imp.RefreshSettings();
    }
    ~LocaleScope()
    {
        PvResetLocale();
        imp.RefreshSettings();
    }
    CGXNoOleDateTimeImp imp;
};

TEST(GXNoOleDateTime, LocaleSettings)
{
    {
        LocaleScope us(PvLocalePreset::EnglishUS);
        BOOL bFour = FALSE;
        TCHAR sep = 0;
        EXPECT_EQ(us.imp.GetDateOrder(FALSE, &bFour, &sep), gxDateMDY);
        EXPECT_TRUE(bFour);
        EXPECT_EQ(sep, '/');
        EXPECT_EQ(us.imp.GetTimeSeparator(FALSE), ':');
    }
    {
        LocaleScope de(PvLocalePreset::German);
        BOOL bFour = FALSE;
        TCHAR sep = 0;
        EXPECT_EQ(de.imp.GetDateOrder(FALSE, &bFour, &sep), gxDateDMY);
        EXPECT_EQ(sep, '.');
        PvSetLocaleInfoForTest(LOCALE_SSHORTDATE, "yy-MM-dd");
        EXPECT_EQ(de.imp.GetDateOrder(FALSE, &bFour, &sep), gxDateDMY) << "cached until a recompute";
        EXPECT_EQ(de.imp.GetDateOrder(TRUE, &bFour, &sep), gxDateYMD);
        EXPECT_FALSE(bFour);
        EXPECT_EQ(sep, '-');
    }
}

TEST(GXNoOleDateTime, ParseTable)
{
    LocaleScope de(PvLocalePreset::German);  // day-month-year
    struct Case {
        const char* text;
        bool ok;
        int year, month, day, hour, minute, second;  // calendar record
        int tmYear;                                  // broken-down year
    };
    const Case cases[] = {
        {"12:00 AM", true, 70, 0, 1, 0, 0, 0, 70},
        {"12:00 PM", true, 70, 0, 1, 12, 0, 0, 70},
        {"1:05 pm", true, 70, 0, 1, 13, 5, 0, 70},
        {"11:30 A", true, 70, 0, 1, 11, 30, 0, 70},
        {"13:00 AM", false, 0, 0, 0, 0, 0, 0, 0},
        {"10:30:15", true, 70, 0, 1, 10, 30, 15, 70},
        {"12:", true, 70, 0, 1, 12, 0, 0, 70},
        {"25:00", false, 0, 0, 0, 0, 0, 0, 0},
        {"10:60", false, 0, 0, 0, 0, 0, 0, 0},
        {"10:3x", false, 0, 0, 0, 0, 0, 0, 0},
        {"010203", true, 1903, 2, 1, 0, 0, 0, 3},
        {"01/02/00", true, 0, 2, 1, 0, 0, 0, 100},
        {"1.2.37", true, 1937, 2, 1, 0, 0, 0, 37},
        {"29.02.2000", true, 2000, 2, 29, 0, 0, 0, 100},
        {"29.02.04", true, 1904, 2, 29, 0, 0, 0, 4},
        {"29.02.1900", false, 0, 0, 0, 0, 0, 0, 0},
        {"31.04.2001", false, 0, 0, 0, 0, 0, 0, 0},
        {"32.01.2001", false, 0, 0, 0, 0, 0, 0, 0},
        {"01.13.2001", false, 0, 0, 0, 0, 0, 0, 0},
        {"1a.02.2000", false, 0, 0, 0, 0, 0, 0, 0},
        {"01.02", false, 0, 0, 0, 0, 0, 0, 0},
        {"01.02.2000.5", false, 0, 0, 0, 0, 0, 0, 0},
        {"01.02.2000 10:30", true, 2000, 2, 1, 10, 30, 0, 100},
        {" 5.6.1999", true, 1999, 6, 5, 0, 0, 0, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        GXCALENDAR cal;
        struct tm t;
        ASSERT_EQ(bool(de.imp.ParseToCalendar(cal, c.text)), c.ok);
        ASSERT_EQ(bool(de.imp.ParseToTm(t, c.text)), c.ok);
        if (!c.ok) {
            EXPECT_EQ(cal.wYear + cal.wMonth + cal.wDay + cal.wHour, 0) << "a failed parse leaves a zeroed record";
            continue;
        }
        EXPECT_EQ(cal.wYear, c.year);
        EXPECT_EQ(cal.wMonth, c.month);
        EXPECT_EQ(cal.wDay, c.day);
        EXPECT_EQ(cal.wHour, c.hour);
        EXPECT_EQ(cal.wMinute, c.minute);
        EXPECT_EQ(cal.wSecond, c.second);
        EXPECT_EQ(t.tm_year, c.tmYear);
        EXPECT_EQ(t.tm_mon, c.month > 0 ? c.month - 1 : 0);
        EXPECT_EQ(t.tm_mday, c.day);
        EXPECT_EQ(t.tm_hour, c.hour);
    }
}

TEST(GXNoOleDateTime, TimeParserStopsAtTheEndOfTheText)
{
    LocaleScope us(PvLocalePreset::EnglishUS);
    // Exactly as long as the text: reading past "12:" would leave the block.
    for (const char* text : {"12:", "7:", "9:3"}) {
        size_t n = strlen(text) + 1;
        std::unique_ptr<char[]> exact(new char[n]);
        memcpy(exact.get(), text, n);
        GXCALENDAR cal;
        EXPECT_TRUE(us.imp.ParseToCalendar(cal, exact.get())) << text;
    }
}

TEST(GXNoOleDateTime, FormatCalendar)
{
    LocaleScope de(PvLocalePreset::German);
    CString s;
    de.imp.FormatCalendar(s, GXCALENDAR {2001, 2, 3, 0, 0, 0, 0, 0});
    EXPECT_STREQ(s, "03.02.2001");
    de.imp.FormatCalendar(s, GXCALENDAR {2001, 2, 3, 4, 5, 6, 0, 0});
    EXPECT_STREQ(s, "03.02.2001 04:05:06");
    de.imp.FormatCalendar(s, GXCALENDAR {70, 0, 1, 9, 8, 0, 0, 0});
    EXPECT_STREQ(s, "09:08:00");
    PvSetLocaleInfoForTest(LOCALE_SSHORTDATE, "M/d/yy");
    de.imp.RefreshSettings();
    de.imp.FormatCalendar(s, GXCALENDAR {2001, 2, 3, 0, 0, 0, 0, 0});
    EXPECT_STREQ(s, "02/03/01");
}

TEST(GXOleDateTime, ParseAndFormat)
{
    PvSetTestLocale(PvLocalePreset::EnglishUS);
    CGXOleDateTimeImp imp;
    GXCALENDAR cal;
    ASSERT_TRUE(imp.ParseToCalendar(cal, "1/15/2001 3:04 PM"));
    EXPECT_EQ(cal.wYear, 2001);
    EXPECT_EQ(cal.wMonth, 1);
    EXPECT_EQ(cal.wDay, 15);
    EXPECT_EQ(cal.wHour, 15);
    EXPECT_EQ(cal.wMinute, 4);
    struct tm t;
    ASSERT_TRUE(imp.ParseToTm(t, "1/15/2001"));
    EXPECT_EQ(t.tm_year, 101);
    EXPECT_EQ(t.tm_mon, 0);
    EXPECT_FALSE(imp.ParseToCalendar(cal, "not a date"));
    EXPECT_EQ(cal.wYear, 0);

    CString s;
    imp.FormatCalendar(s, GXCALENDAR {2001, 1, 15, 0, 0, 0, 0, 0});
    EXPECT_STREQ(s, "1/15/2001");
    imp.FormatCalendar(s, GXCALENDAR {0, 0, 0, 15, 4, 0, 0, 0});
    EXPECT_STREQ(s, "3:04:00 PM");
    imp.FormatCalendar(s, GXCALENDAR {2001, 1, 15, 15, 4, 0, 0, 0});
    EXPECT_NE(s.Find("2001"), -1);
    EXPECT_NE(s.Find("3:04"), -1);
    PvResetLocale();
}

TEST(GXNumberFormatting, EveryFormatCode)
{
    PvSetTestLocale(PvLocalePreset::EnglishUS);
    struct Case {
        unsigned format;
        unsigned places;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {0, 2, "1234.5", "1234.5"},
        {1, 2, "1234.5", "1.23e+03"},
        {2, 2, "1234.5", "1234.50"},
        {3, 2, "1234.5", "1.2e+03"},
        {4, 2, "1234.5", "$1,234.50 "},
        {4, 2, "-1234.5", "($1,234.50)"},
        {5, 2, "1234567.5", "1,234,567.50 "},
        {5, 0, "-12", "(12)"},
        {6, 0, "-255.7", "0xFF"},
        {7, 0, "0.5", "0"},
        {7, 0, "1.5", "1"},
        {7, 0, "2", "?"},
        {8, 0, "36526.75", "01-Jan-00"},
        {9, 0, "36526.75", "01-Jan"},
        {10, 0, "36526.75", "Jan-00"},
        {11, 0, "36526.75", "1/1/2000"},
        {12, 0, "36526.75", ""},
        {13, 0, "36526.75", "6:00:00 PM"},
        {14, 2, "0.125", "12.50%"},
        {14, 2, "1e307", " Percent! "},
        {15, 2, "1234.5", "1234.5"},
        {16, 0, "36526.75", "01.01.2000"},
        {17, 0, "36526.75", "2000-01-01"},
        {18, 0, "36526.75", "1/1/2000 6:00:00 PM"},
        {19, 2, "1234.5", "1234.5"},
        {20, 2, "1234.5", "1234.5"},
        {21, 2, "1234.5", "1234.5"},
        {22, 2, "1234.5", "1234.5"},
        {23, 2, "1234.5", " 1,234.50 "},
        {23, 2, "-1234.5", "(1,234.50)"},
        {24, 0, "1.5", " 1 1/2"},
        {24, 2, "-0.25", "- 1/4"},
        {24, 1, "0.001", "  1/1000"},
        {25, 0, "36526.75", "06:00 PM"},
        {26, 0, "36526.75", "06:00:00 PM"},
        {27, 0, "36526.75", "18:00"},
        {28, 0, "1234.5", "1,234.50 "},
        {29, 0, "1", " Format? "},
        {30, 0, "1", " Format? "},
        {31, 0, "1", " Format? "},
    };
    CGXNumberFormattingImp imp;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " of " << c.value);
        CGXStyle style;
        style.SetValue(c.value);
        style.SetValueType(GX_VT_NUMBER);
        style.SetFormat(c.format).SetPlaces(c.places);
        CString s;
        imp.FormatNumber(s, style);
        EXPECT_STREQ(s, c.expected);
    }
    PvResetLocale();
}

TEST(GXNumberFormatting, TextValuesAndStylesWithoutFormat)
{
    CGXNumberFormattingImp imp;
    CGXStyle style;
    style.SetValue("12.5");
    CString s;
    imp.FormatNumber(s, style);
    EXPECT_STREQ(s, "12.5") << "no Format: unchanged";
    style.SetFormat(GX_FMT_FIXED).SetPlaces(3);
    imp.FormatNumber(s, style);
    EXPECT_STREQ(s, "12.5") << "a text value is not a number";
    imp.FormatNumber(s, style, "7", GX_VT_NUMBER);
    EXPECT_STREQ(s, "7.000");
    style.SetFormat(GX_FMT_HIDDEN);
    imp.FormatNumber(s, style);
    EXPECT_STREQ(s, "");
}

TEST(GXNumberFormatting, ParseNumber)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
        unsigned format, places;
    };
    const Case cases[] = {
        {"1,234.50", true, 1234.5, GX_FMT_COMMA, 2},
        {"1,23.5", false, 0, 0, 0},
        {"1.5e3", true, 1500, GX_FMT_SCIENTIFIC, 1},
        {"($1,234.50)", true, -1234.5, GX_FMT_DOLLARS, 2},
        {"$12", true, 12, GX_FMT_DOLLARS, 0},
        {"(12)", true, -12, GX_FMT_COMMA, 0},
        {"1,234,567", true, 1234567, GX_FMT_COMMA, 0},
        {"-3.25", true, -3.25, GX_FMT_FIXED, 2},
        {"  42  ", true, 42, GX_FMT_FIXED, 0},
        {"0.12345678901234567890", true, 0.12345678901234567890, GX_FMT_FIXED, 15},
        {"12 3", false, 0, 0, 0},
        {"12abc", false, 0, 0, 0},
        {"", false, 0, 0, 0},
        {"(12", false, 0, 0, 0},
        {"12)", false, 0, 0, 0},
        {"(-1)", false, 0, 0, 0},
        {"(1e3)", false, 0, 0, 0},
        {"1.2.3", false, 0, 0, 0},
        {"1e5e2", false, 0, 0, 0},
        {"1,234,56", false, 0, 0, 0},
        {"1e999", false, 0, 0, 0},
        {"--1", false, 0, 0, 0},
    };
    CGXNumberFormattingImp imp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -1;
        unsigned f = 99, p = 99;
        ASSERT_EQ(bool(imp.ParseNumber(c.text, v, f, p)), c.ok);
        if (!c.ok)
            continue;
        EXPECT_DOUBLE_EQ(v, c.value);
        EXPECT_EQ(f, c.format);
        EXPECT_EQ(p, c.places);
    }
    double v = 0;
    EXPECT_FALSE(imp.ParseNumber(std::string(300, '1').c_str(), v));
    EXPECT_FALSE(imp.ParseNumber(nullptr, v));
}

}  // namespace

namespace {

TEST(GXDrawRotatedText, TextBoxSitsInTheRectangle)
{
    const CSize extent(40, 10);
    const CRect rect(100, 100, 200, 200);
    struct Case {
        double degrees;
        UINT format;
        CPoint origin;
    };
    const Case cases[] = {
        {0, 0, CPoint(100, 100)},
        {0, DT_RIGHT | DT_BOTTOM, CPoint(160, 190)},
        {90, 0, CPoint(100, 140)},           // runs upward from the bottom-left of its box
        {90, DT_BOTTOM, CPoint(100, 200)},
        {180, 0, CPoint(140, 110)},
        {270, DT_CENTER | DT_VCENTER, CPoint(155, 130)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        CPoint pt = CGXDrawRotatedTextImp::ComputeOrigin(extent, rect, c.degrees, c.format);
        EXPECT_EQ(pt.x, c.origin.x);
        EXPECT_EQ(pt.y, c.origin.y);
    }
}

}  // namespace

namespace {

TEST(GXDateTimeService, AccessorsWithAndWithoutAService)
{
    CGXGridLibraryState& state = GXGetLibraryState();
    CGXAbstractDateTimeImp* saved = state.m_pDateTimeImp;
    state.m_pDateTimeImp = nullptr;
    EXPECT_EQ(GXGetDateOrder(FALSE), gxDateOrderUnknown);
    EXPECT_EQ(GXGetTimeSeparator(FALSE), ':');
    PvSetTestLocale(PvLocalePreset::German);
    CGXNoOleDateTimeImp imp;
    state.m_pDateTimeImp = &imp;
    EXPECT_EQ(GXGetDateOrder(TRUE), gxDateDMY);
    PvSetLocaleInfoForTest(LOCALE_STIME, ".");
    EXPECT_EQ(GXGetTimeSeparator(TRUE), '.');
    PvResetLocale();
    imp.RefreshSettings();
    state.m_pDateTimeImp = saved;
}

}  // namespace
