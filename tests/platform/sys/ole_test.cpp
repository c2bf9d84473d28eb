#include "platform/sys/ole.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class OleTest : public ::testing::Test {
protected:
    void SetUp() override { PvSetTestLocale(PvLocalePreset::EnglishUS); }
    void TearDown() override { PvResetLocale(); }
};

CString text(const VARIANT& v)
{
    EXPECT_EQ(v.vt, VT_BSTR);
    return v.vt == VT_BSTR ? CString(std::string(v.bstrVal, SysStringLen(v.bstrVal))) : CString();
}

// ---------------------------------------------------------------- VARIANT and COleVariant

TEST_F(OleTest, ConstructorsPickTheirTypes)
{
    struct Case {
        COleVariant v;
        VARTYPE vt;
    };
    const Case cases[] = {
        {COleVariant(), VT_EMPTY},
        {COleVariant(BYTE(7)), VT_UI1},
        {COleVariant(short(7)), VT_I2},
        {COleVariant(short(1), VT_BOOL), VT_BOOL},
        {COleVariant(7L), VT_I4},
        {COleVariant(7L, VT_I2), VT_I2},
        {COleVariant(7L, VT_BOOL), VT_BOOL},
        {COleVariant(7), VT_I4},
        {COleVariant(true), VT_BOOL},
        {COleVariant(1.5f), VT_R4},
        {COleVariant(1.5), VT_R8},
        {COleVariant(1.5, VT_DATE), VT_DATE},
        {COleVariant("abc"), VT_BSTR},
        {COleVariant(CString("abc")), VT_BSTR},
        {COleVariant(COleCurrency(1, 5000)), VT_CY},
        {COleVariant(COleDateTime(2001, 1, 1, 0, 0, 0)), VT_DATE},
        {COleVariant(std::vector<BYTE>{1, 2, 3}), VT_ARRAY | VT_UI1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.v.vt, c.vt);
    EXPECT_EQ(COleVariant(true).boolVal, VARIANT_TRUE);
    EXPECT_EQ(COleVariant(false).boolVal, VARIANT_FALSE);
    EXPECT_EQ(COleVariant(70000L, VT_I2).iVal, SHORT(70000 & 0xFFFF));
    EXPECT_EQ(COleVariant(COleCurrency(1, 5000)).cyVal.int64, 15000);
}

TEST_F(OleTest, StringsOwnTheirBytesThroughCopiesAndMoves)
{
    const char raw[] = {'a', '\0', 'b'};
    COleVariant a(CString(raw, 3));
    ASSERT_EQ(SysStringLen(a.bstrVal), 3u);
    COleVariant b(a);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_TRUE(a == b);
    COleVariant c;
    c = b;
    b = "other";
    EXPECT_TRUE(c == a);
    COleVariant d(std::move(c));
    EXPECT_EQ(c.vt, VT_EMPTY);
    EXPECT_TRUE(d == a);
    d = std::move(b);
    EXPECT_EQ(CString(d.bstrVal), "other");
    const COleVariant& self = d;
    d = self;  // self-assignment keeps the value
    EXPECT_EQ(CString(d.bstrVal), "other");
    EXPECT_FALSE(COleVariant("ab") == COleVariant(CString(raw, 3)));
    COleVariant empty((LPCTSTR) nullptr);
    EXPECT_EQ(empty.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(empty.bstrVal), 0u);
}

TEST_F(OleTest, ByteArraysCopyAndCompareByContent)
{
    const BYTE bytes[] = {'B', 'M', 0, 0xFF};
    COleVariant v(bytes, sizeof bytes);
    ASSERT_EQ(v.vt, VT_ARRAY | VT_UI1);
    LONG lo = -1, hi = -1;
    EXPECT_EQ(SafeArrayGetLBound(v.parray, 1, &lo), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(v.parray, 1, &hi), S_OK);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 3);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
    EXPECT_EQ(std::memcmp(data, bytes, sizeof bytes), 0);
    EXPECT_EQ(SafeArrayDestroy(v.parray), DISP_E_ARRAYISLOCKED);
    SafeArrayUnaccessData(v.parray);

    COleVariant copy(v);
    EXPECT_NE(copy.parray, v.parray);
    EXPECT_TRUE(copy == v);
    LONG index = 3;
    BYTE b = 7;
    EXPECT_EQ(SafeArrayPutElement(copy.parray, &index, &b), S_OK);
    EXPECT_FALSE(copy == v);
    index = 4;
    EXPECT_EQ(SafeArrayPutElement(copy.parray, &index, &b), E_INVALIDARG);

    std::vector<BYTE> out;
    EXPECT_TRUE(v.GetByteArray(out));
    EXPECT_EQ(out, std::vector<BYTE>(bytes, bytes + 4));
    EXPECT_FALSE(COleVariant(1L).GetByteArray(out));
    EXPECT_TRUE(out.empty());

    CByteArray arr;
    v.GetByteArrayFromVariantArray(arr);
    ASSERT_EQ(arr.GetSize(), 4);
    EXPECT_EQ(arr[1], 'M');
    arr[1] = 'X';
    COleVariant fromArr(arr);
    EXPECT_EQ(static_cast<BYTE*>(fromArr.parray->pvData)[1], 'X');
    EXPECT_THROW(COleVariant(1L).GetByteArrayFromVariantArray(arr), COleException);

    COleVariant none(static_cast<const BYTE*>(nullptr), 0);
    EXPECT_TRUE(none.GetByteArray(out));
    EXPECT_TRUE(out.empty());
}

TEST_F(OleTest, ClearAttachDetach)
{
    COleVariant v("text");
    VARIANT raw = v.Detach();
    EXPECT_EQ(v.vt, VT_EMPTY);
    COleVariant w;
    w.Attach(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(CString(w.bstrVal), "text");
    w.Clear();
    EXPECT_EQ(w.vt, VT_EMPTY);
}

TEST_F(OleTest, ChangeTypeConvertsBetweenNumbersTextAndDates)
{
    struct Case {
        COleVariant from;
        VARTYPE to;
        const char* expectText;  // when converting to text
        double expectNumber;     // otherwise
    };
    const Case cases[] = {
        {COleVariant(42L), VT_BSTR, "42", 0},
        {COleVariant(short(-7)), VT_BSTR, "-7", 0},
        {COleVariant(BYTE(200)), VT_BSTR, "200", 0},
        {COleVariant(2.5), VT_BSTR, "2.5", 0},
        {COleVariant(1.0 / 3), VT_BSTR, "0.333333333333333", 0},
        {COleVariant(1e20), VT_BSTR, "1E+20", 0},
        {COleVariant(0.1f), VT_BSTR, "0.1", 0},
        {COleVariant(true), VT_BSTR, "-1", 0},
        {COleVariant(COleCurrency(12, 3400)), VT_BSTR, "12.34", 0},
        {COleVariant(36892.0, VT_DATE), VT_BSTR, "1/1/2001", 0},
        {COleVariant(36892.5, VT_DATE), VT_BSTR, "1/1/2001 12:00:00 PM", 0},
        {COleVariant(0.25, VT_DATE), VT_BSTR, "6:00:00 AM", 0},
        {COleVariant(0.0, VT_DATE), VT_BSTR, "12:00:00 AM", 0},
        {COleVariant(), VT_BSTR, "", 0},
        {COleVariant("  1,234.5 "), VT_R8, nullptr, 1234.5},
        {COleVariant("-1e3"), VT_R8, nullptr, -1000},
        {COleVariant("(12)"), VT_I4, nullptr, -12},
        {COleVariant("2.5"), VT_I4, nullptr, 2},  // half to even
        {COleVariant("3.5"), VT_I2, nullptr, 4},
        {COleVariant("TRUE"), VT_BOOL, nullptr, -1},
        {COleVariant("0"), VT_BOOL, nullptr, 0},
        {COleVariant("1/1/2001"), VT_DATE, nullptr, 36892},
        {COleVariant(36892.5), VT_DATE, nullptr, 36892.5},
        {COleVariant(true), VT_I4, nullptr, -1},
        {COleVariant(3.7), VT_UI1, nullptr, 4},
        {COleVariant(2.5), VT_CY, nullptr, 2.5},
        {COleVariant("$1,234.56"), VT_CY, nullptr, 1234.56},
    };
    for (const Case& c : cases) {
        COleVariant v(c.from);
        ASSERT_NO_THROW(v.ChangeType(c.to)) << int(c.from.vt) << " -> " << c.to;
        ASSERT_EQ(v.vt, c.to);
        if (c.expectText) {
            EXPECT_EQ(text(v), c.expectText);
            continue;
        }
        COleVariant r8;
        r8.ChangeType(VT_R8, &v);
        EXPECT_DOUBLE_EQ(r8.dblVal, c.expectNumber) << int(c.from.vt) << " -> " << c.to;
    }
}

TEST_F(OleTest, FailedConversionsThrowAndKeepTheValue)
{
    struct Case {
        COleVariant from;
        VARTYPE to;
        SCODE sc;
    };
    const Case cases[] = {
        {COleVariant("abc"), VT_R8, DISP_E_TYPEMISMATCH},
        {COleVariant(""), VT_I4, DISP_E_TYPEMISMATCH},
        {COleVariant("1e999"), VT_R8, DISP_E_OVERFLOW},
        {COleVariant("300"), VT_UI1, DISP_E_OVERFLOW},
        {COleVariant(40000L), VT_I2, DISP_E_OVERFLOW},
        {COleVariant(1e300), VT_R4, DISP_E_OVERFLOW},
        {COleVariant(1e300), VT_CY, DISP_E_OVERFLOW},
        {COleVariant(3e6, VT_R8), VT_DATE, DISP_E_OVERFLOW},
        {COleVariant("36892"), VT_DATE, DISP_E_TYPEMISMATCH},
        {COleVariant(std::vector<BYTE>{1}), VT_BSTR, DISP_E_TYPEMISMATCH},
        {COleVariant(1L), VT_ARRAY | VT_I4, DISP_E_BADVARTYPE},
    };
    for (const Case& c : cases) {
        COleVariant v(c.from);
        try {
            v.ChangeType(c.to);
            ADD_FAILURE() << "no exception for " << int(c.from.vt) << " -> " << c.to;
        } catch (COleException& e) {
            EXPECT_EQ(e.m_sc, c.sc);
        }
        EXPECT_TRUE(v == c.from);
    }
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    COleVariant n(null);
    EXPECT_THROW(n.ChangeType(VT_BSTR), COleException);
}

TEST_F(OleTest, VariantChangeTypeFlagsAndLocale)
{
    COleVariant b(true);
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &b, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(text(out), "True");
    VariantClear(&out);

    PvSetTestLocale(PvLocalePreset::German);
    COleVariant d(1234.5);
    ASSERT_EQ(VariantChangeType(&out, &d, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text(out), "1234,5");
    COleVariant s("1.234,5");
    ASSERT_EQ(VariantChangeType(&out, &s, 0, VT_R8), S_OK);
    EXPECT_EQ(out.dblVal, 1234.5);
    // In place, the destination may be the source.
    COleVariant date(36892.75, VT_DATE);
    ASSERT_EQ(VariantChangeType(&date, &date, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text(date), "01.01.2001 18:00:00");
}

// ---------------------------------------------------------------- text conversions

TEST_F(OleTest, VarR8FromStrAcceptsLocaleNumbers)
{
    struct Case {
        const char* text;
        HRESULT hr;
        double value;
    };
    const Case cases[] = {
        {"0", S_OK, 0},
        {"12", S_OK, 12},
        {" -3.25 ", S_OK, -3.25},
        {"+4", S_OK, 4},
        {"4-", S_OK, -4},
        {".5", S_OK, 0.5},
        {"1,234,567.5", S_OK, 1234567.5},
        {"$12.50", S_OK, 12.5},
        {"(7)", S_OK, -7},
        {"1.5E2", S_OK, 150},
        {"1e-400", S_OK, 0},
        {"", DISP_E_TYPEMISMATCH, 0},
        {"-", DISP_E_TYPEMISMATCH, 0},
        {"1.2.3", DISP_E_TYPEMISMATCH, 0},
        {"12abc", DISP_E_TYPEMISMATCH, 0},
        {",5", DISP_E_TYPEMISMATCH, 0},
        {"1e", DISP_E_TYPEMISMATCH, 0},
        {"(7", DISP_E_TYPEMISMATCH, 0},
        {"--1", DISP_E_TYPEMISMATCH, 0},
        {"1e400", DISP_E_OVERFLOW, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        EXPECT_EQ(VarR8FromStr(c.text, LOCALE_USER_DEFAULT, 0, &v), c.hr) << c.text;
        if (c.hr == S_OK) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    // A long text is no trouble.
    std::string longText(5000, '1');
    double v;
    EXPECT_EQ(VarR8FromStr(longText.c_str(), LOCALE_USER_DEFAULT, 0, &v), DISP_E_OVERFLOW);
    std::string longFraction = "0." + std::string(5000, '1');
    EXPECT_EQ(VarR8FromStr(longFraction.c_str(), LOCALE_USER_DEFAULT, 0, &v), S_OK);
}

// ---------------------------------------------------------------- COleDateTime

TEST_F(OleTest, SerialsMapToCalendarDates)
{
    struct Case {
        double serial;
        int y, mo, d, h, mi, s;
        int dayOfWeek;  // 1 = Sunday
        int dayOfYear;
    };
    const Case cases[] = {
        {0, 1899, 12, 30, 0, 0, 0, 7, 364},
        {0.5, 1899, 12, 30, 12, 0, 0, 7, 364},
        {1, 1899, 12, 31, 0, 0, 0, 1, 365},
        {2, 1900, 1, 1, 0, 0, 0, 2, 1},
        {60, 1900, 2, 28, 0, 0, 0, 4, 59},
        {61, 1900, 3, 1, 0, 0, 0, 5, 60},  // 1900 is no leap year
        {-1, 1899, 12, 29, 0, 0, 0, 6, 363},
        {-1.25, 1899, 12, 29, 6, 0, 0, 6, 363},  // the fraction counts forwards
        {-0.5, 1899, 12, 30, 12, 0, 0, 7, 364},
        {-2.75, 1899, 12, 28, 18, 0, 0, 5, 362},
        {36585, 2000, 2, 29, 0, 0, 0, 3, 60},
        {36892, 2001, 1, 1, 0, 0, 0, 2, 1},
        {36891.999997, 2001, 1, 1, 0, 0, 0, 2, 1},  // rounds up to the next day
        {36892 + (13 * 3600 + 4 * 60 + 5) / 86400.0, 2001, 1, 1, 13, 4, 5, 2, 1},
        {36891, 2000, 12, 31, 0, 0, 0, 1, 366},
        {-657434, 100, 1, 1, 0, 0, 0, 6, 1},
        {-657434.5, 100, 1, 1, 12, 0, 0, 6, 1},
        {2958465, 9999, 12, 31, 0, 0, 0, 6, 365},
        {2958465 + 86398 / 86400.0, 9999, 12, 31, 23, 59, 58, 6, 365},
    };
    for (const Case& c : cases) {
        COleDateTime dt(c.serial);
        ASSERT_EQ(dt.GetStatus(), COleDateTime::valid) << c.serial;
        EXPECT_EQ(dt.GetYear(), c.y) << c.serial;
        EXPECT_EQ(dt.GetMonth(), c.mo) << c.serial;
        EXPECT_EQ(dt.GetDay(), c.d) << c.serial;
        EXPECT_EQ(dt.GetHour(), c.h) << c.serial;
        EXPECT_EQ(dt.GetMinute(), c.mi) << c.serial;
        EXPECT_EQ(dt.GetSecond(), c.s) << c.serial;
        EXPECT_EQ(dt.GetDayOfWeek(), c.dayOfWeek) << c.serial;
        EXPECT_EQ(dt.GetDayOfYear(), c.dayOfYear) << c.serial;
    }
    for (double outside : {-657435.0, 2958466.0, 1e10, -1e10, std::nan("")}) {
        COleDateTime dt(outside);
        EXPECT_EQ(dt.GetStatus(), COleDateTime::invalid) << outside;
        EXPECT_EQ(dt.GetYear(), -1);
        EXPECT_EQ(dt.Format(), "Invalid DateTime");
    }
}

TEST_F(OleTest, SetDateTimeChecksEveryPart)
{
    struct Case {
        int y, mo, d, h, mi, s;
        int result;
        double serial;
    };
    const Case cases[] = {
        {2001, 1, 1, 0, 0, 0, 0, 36892},
        {2001, 1, 1, 13, 4, 5, 0, 36892 + (13 * 3600 + 4 * 60 + 5) / 86400.0},
        {1899, 12, 29, 6, 0, 0, 0, -1.25},
        {1899, 12, 28, 18, 0, 0, 0, -2.75},
        {2000, 2, 29, 0, 0, 0, 0, 36585},
        {2001, 2, 29, 0, 0, 0, 1, 0},
        {1900, 2, 29, 0, 0, 0, 1, 0},
        {100, 1, 1, 0, 0, 0, 0, -657434},
        {99, 12, 31, 0, 0, 0, 1, 0},
        {9999, 12, 31, 23, 59, 59, 0, 2958465 + 86399 / 86400.0},
        {10000, 1, 1, 0, 0, 0, 1, 0},
        {2001, 0, 1, 0, 0, 0, 1, 0},
        {2001, 13, 1, 0, 0, 0, 1, 0},
        {2001, 4, 31, 0, 0, 0, 1, 0},
        {2001, 1, 0, 0, 0, 0, 1, 0},
        {2001, 1, 1, 24, 0, 0, 1, 0},
        {2001, 1, 1, 0, 60, 0, 1, 0},
        {2001, 1, 1, 0, 0, 60, 1, 0},
        {2001, 1, 1, -1, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        COleDateTime dt;
        EXPECT_EQ(dt.SetDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s), c.result) << c.y << "-" << c.mo << "-" << c.d;
        EXPECT_EQ(dt.GetStatus(), c.result ? COleDateTime::invalid : COleDateTime::valid);
        if (!c.result) {
            EXPECT_NEAR(dt.m_dt, c.serial, 1e-9);
        }
    }
    COleDateTime t;
    EXPECT_EQ(t.SetTime(18, 0, 0), 0);
    EXPECT_EQ(t.m_dt, 0.75);
    EXPECT_EQ(t.SetDate(2001, 1, 1), 0);
    EXPECT_EQ(t.m_dt, 36892);
}

TEST_F(OleTest, DateArithmeticAndOrderFollowTime)
{
    COleDateTime a(-1.25);  // 1899-12-29 06:00
    COleDateTime b(-0.5);   // 1899-12-30 12:00
    COleDateTime c(0.25);   // 1899-12-30 06:00
    EXPECT_LT(a, c);
    EXPECT_LT(c, b);
    EXPECT_NEAR((b - a).GetTotalHours(), 30, 1e-9);
    COleDateTime d = a + COleDateTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(d.GetDay(), 30);
    EXPECT_EQ(d.GetHour(), 6);
    EXPECT_NEAR(double(d), 0.25, 1e-9);
    COleDateTime e = COleDateTime(0.25) - COleDateTimeSpan(0, 12, 0, 0);
    EXPECT_EQ(e.GetDay(), 29);
    EXPECT_EQ(e.GetHour(), 18);
    EXPECT_NEAR(double(e), -1.75, 1e-9);

    COleDateTime last(9999, 12, 31, 0, 0, 0);
    EXPECT_EQ((last + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
    COleDateTime bad(1e10);
    EXPECT_EQ((bad + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);

    COleDateTimeSpan span(2, 3, 4, 5);
    EXPECT_EQ(span.GetDays(), 2);
    EXPECT_EQ(span.GetHours(), 3);
    EXPECT_EQ(span.GetMinutes(), 4);
    EXPECT_EQ(span.GetSeconds(), 5);
    COleDateTimeSpan neg = -span;
    EXPECT_EQ(neg.GetDays(), -2);
    EXPECT_EQ(neg.GetHours(), -3);
    EXPECT_EQ((span - span).GetTotalSeconds(), 0);

    COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_GE(now.GetYear(), 2020);
}

TEST_F(OleTest, DatesFromVariants)
{
    COleDateTime fromDate(COleVariant(36892.5, VT_DATE));
    EXPECT_EQ(fromDate.m_dt, 36892.5);
    COleDateTime fromText(COleVariant("1/1/2001"));
    EXPECT_EQ(fromText.m_dt, 36892);
    COleDateTime fromBad(COleVariant("nonsense"));
    EXPECT_EQ(fromBad.GetStatus(), COleDateTime::invalid);
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    COleDateTime fromNull(null);
    EXPECT_EQ(fromNull.GetStatus(), COleDateTime::null);
    EXPECT_EQ(fromNull.Format(), "");
}

TEST_F(OleTest, FormatFollowsTheLocale)
{
    COleDateTime noon(2001, 1, 1, 12, 0, 0);
    COleDateTime evening(2001, 1, 5, 18, 7, 9);
    struct Case {
        PvLocalePreset locale;
        const COleDateTime* dt;
        const char* format;  // null: Format(0)
        const char* expect;
    };
    const PvLocalePreset US = PvLocalePreset::EnglishUS, DE = PvLocalePreset::German;
    const Case cases[] = {
        {US, &noon, nullptr, "1/1/2001 12:00:00 PM"},
        {US, &evening, "%d-%b-%y", "05-Jan-01"},
        {US, &evening, "%#d-%#m", "5-1"},
        {US, &evening, "%A, %B %d, %Y", "Friday, January 05, 2001"},
        {US, &evening, "%a %j %w", "Fri 005 5"},
        {US, &evening, "%x", "1/5/2001"},
        {US, &evening, "%X", "6:07:09 PM"},
        {US, &evening, "%c", "1/5/2001 6:07:09 PM"},
        {US, &evening, "%#x", "Friday, January 5, 2001"},
        {US, &evening, "%I:%M %p", "06:07 PM"},
        {US, &evening, "%I:%M:%S %p", "06:07:09 PM"},
        {US, &evening, "%H:%M", "18:07"},
        {US, &evening, "%d.%m.%Y", "05.01.2001"},
        {US, &evening, "%Y-%m-%d", "2001-01-05"},
        {US, &evening, "100%% %q", "100% %q"},
        {DE, &noon, nullptr, "01.01.2001 12:00:00"},
        {DE, &evening, "%x", "05.01.2001"},
        {DE, &evening, "%#x", "Freitag, 5. Januar 2001"},
        {DE, &evening, "%A %b", "Freitag Jan"},
        {DE, &evening, "%X%p", "18:07:09"},
    };
    for (const Case& c : cases) {
        PvSetTestLocale(c.locale);
        CString got = c.format ? c.dt->Format(c.format) : c.dt->Format();
        EXPECT_EQ(got, c.expect) << (c.format ? c.format : "(default)");
    }
    PvSetTestLocale(US);
    EXPECT_EQ(noon.Format(VAR_DATEVALUEONLY), "1/1/2001");
    EXPECT_EQ(noon.Format(VAR_TIMEVALUEONLY), "12:00:00 PM");
    EXPECT_EQ(COleDateTime(2001, 1, 1, 0, 0, 0).Format(), "1/1/2001");
    EXPECT_EQ(COleDateTime(0.75).Format(), "6:00:00 PM");
    EXPECT_EQ(COleDateTime(100, 1, 1, 0, 0, 0).Format("%Y"), "0100");
    // A picture with quoted text and one-letter markers.
    PvSetLocaleInfoForTest(LOCALE_SSHORTDATE, "yyyy'y'MM'm'dd'd'''");
    PvSetLocaleInfoForTest(LOCALE_STIMEFORMAT, "H.mm t");
    EXPECT_EQ(evening.Format(), "2001y01m05d' 18.07 P");
}

TEST_F(OleTest, ParseDateTimeReadsTheLocaleOrder)
{
    const double t1504 = (15 * 60 + 4) / 1440.0;
    const double t150405 = (15 * 3600 + 4 * 60 + 5) / 86400.0;
    const PvLocalePreset US = PvLocalePreset::EnglishUS, DE = PvLocalePreset::German;
    const double kFail = -1e9;
    struct Case {
        PvLocalePreset locale;
        const char* text;
        DWORD flags;
        double serial;  // kFail: not a date
    };
    const Case cases[] = {
        {US, "1/15/2001", 0, 36906},
        {US, " 1/15/2001 ", 0, 36906},
        {US, "1-15-2001", 0, 36906},
        {US, "1/15/01", 0, 36906},
        {US, "1/15/45", 0, 16452},  // two-digit years from 30 on are in the 1900s
        {US, "2001-01-15", 0, 36906},
        {US, "January 15, 2001", 0, 36906},
        {US, "Jan 15 2001", 0, 36906},
        {US, "15 jan 2001", 0, 36906},
        {US, "Monday, January 15, 2001", 0, 36906},
        {US, "1/15/2001 3:04 PM", 0, 36906 + t1504},
        {US, "1/15/2001 3:04:05 pm", 0, 36906 + t150405},
        {US, "3:04 PM 1/15/2001", 0, 36906 + t1504},
        {US, "1/15/2001 15:04", 0, 36906 + t1504},
        {US, "1/15/2001 3 PM", 0, 36906 + 15 / 24.0},
        {US, "3:04 PM", 0, t1504},
        {US, "12:00 AM", 0, 0},
        {US, "12:00 PM", 0, 0.5},
        {US, "12/29/1899 6:00", 0, -1.25},
        {US, "1/1/100", 0, -657434},
        {US, "12/31/9999", 0, 2958465},
        {US, "2/29/2000", 0, 36585},
        {US, "1/15/2001 3:04 PM", VAR_DATEVALUEONLY, 36906},
        {US, "1/15/2001 3:04 PM", VAR_TIMEVALUEONLY, t1504},
        {US, "15/1/2001", 0, kFail},
        {US, "2/29/2001", 0, kFail},
        {US, "1/1/99999", 0, kFail},
        {US, "13:00 AM", 0, kFail},
        {US, "24:00", 0, kFail},
        {US, "10:60", 0, kFail},
        {US, "12:30:", 0, kFail},
        {US, "1:2:3:4", 0, kFail},
        {US, "36892", 0, kFail},
        {US, "36892.5", 0, kFail},
        {US, "-1.25", 0, kFail},
        {US, "", 0, kFail},
        {US, "   ", 0, kFail},
        {US, "abc", 0, kFail},
        {US, "1/2/3/4", 0, kFail},
        {US, "1//2001", 0, kFail},
        {US, "PM", 0, kFail},
        {US, "January", 0, kFail},
        {US, "1/15/2001 #", 0, kFail},
        {US, "99999999999999999999/1/2001", 0, kFail},
        {DE, "15.01.2001", 0, 36906},
        {DE, "15.1.01 15:04", 0, 36906 + t1504},
        {DE, "15. Januar 2001", 0, 36906},
        {DE, "15. M\xC3\xA4rz 2001", 0, 36965},
        {DE, "Montag, 15. Januar 2001", 0, 36906},
        {DE, "2001-01-15", 0, 36906},
        {DE, "1/15/2001", 0, kFail},
    };
    for (const Case& c : cases) {
        PvSetTestLocale(c.locale);
        COleDateTime dt;
        bool ok = dt.ParseDateTime(c.text, c.flags);
        if (c.serial == kFail) {
            EXPECT_FALSE(ok) << c.text;
            EXPECT_EQ(dt.GetStatus(), COleDateTime::invalid) << c.text;
            continue;
        }
        ASSERT_TRUE(ok) << c.text;
        EXPECT_NEAR(dt.m_dt, c.serial, 1e-9) << c.text;
    }
    // Without a year the date falls in the current one.
    PvSetTestLocale(US);
    COleDateTime dt;
    ASSERT_TRUE(dt.ParseDateTime("3/4"));
    EXPECT_EQ(dt.GetMonth(), 3);
    EXPECT_EQ(dt.GetDay(), 4);
    EXPECT_EQ(dt.GetYear(), COleDateTime::GetCurrentTime().GetYear());
    PvSetTestLocale(DE);
    ASSERT_TRUE(dt.ParseDateTime("3.4"));
    EXPECT_EQ(dt.GetMonth(), 4);
    EXPECT_EQ(dt.GetDay(), 3);
    EXPECT_FALSE(dt.ParseDateTime(nullptr));
}

TEST_F(OleTest, FormattedDatesParseBack)
{
    for (PvLocalePreset locale : {PvLocalePreset::EnglishUS, PvLocalePreset::German}) {
        PvSetTestLocale(locale);
        for (double serial : {36892.0, 36892.75, -1.25, 0.5, 2958465.5, -657434.0, 12345.678912}) {
            COleDateTime dt(serial);
            COleDateTime back;
            ASSERT_TRUE(back.ParseDateTime(dt.Format())) << dt.Format().GetString();
            EXPECT_NEAR(back.m_dt, serial, 0.5 / 86400) << dt.Format().GetString();
            ASSERT_TRUE(back.ParseDateTime(dt.Format("%#x %X"))) << dt.Format("%#x %X").GetString();
            EXPECT_NEAR(back.m_dt, serial, 0.5 / 86400);
        }
    }
}

// ---------------------------------------------------------------- COleCurrency

TEST_F(OleTest, CurrencyParsesAndFormats)
{
    const PvLocalePreset US = PvLocalePreset::EnglishUS, DE = PvLocalePreset::German;
    struct Case {
        PvLocalePreset locale;
        const char* text;
        bool ok;
        LONGLONG value;
        const char* formatted;
    };
    const Case cases[] = {
        {US, "0", true, 0, "0"},
        {US, "12.34", true, 123400, "12.34"},
        {US, "$1,234.56", true, 12345600, "1234.56"},
        {US, "(1.5)", true, -15000, "-1.5"},
        {US, "-$2", true, -20000, "-2"},
        {US, "$-2", true, -20000, "-2"},
        {US, "1.00005", true, 10000, "1"},  // half to even
        {US, "1.00015", true, 10002, "1.0002"},
        {US, "1.000051", true, 10001, "1.0001"},
        {US, "2.5e3", true, 25000000, "2500"},
        {US, "922337203685477.5807", true, INT64_MAX, "922337203685477.5807"},
        {US, "-922337203685477.5808", true, INT64_MIN, "-922337203685477.5808"},
        {US, "922337203685477.5808", false, 0, nullptr},
        {US, "1e30", false, 0, nullptr},
        {US, "abc", false, 0, nullptr},
        {US, "", false, 0, nullptr},
        {US, "$", false, 0, nullptr},
        {US, "1,5", true, 150000, "15"},  // grouping is not checked, as the system does
        {DE, "1.234,56 \xE2\x82\xAC", true, 12345600, "1234,56"},
        {DE, "-1,5", true, -15000, "-1,5"},
        {DE, "0,0001", true, 1, "0,0001"},
    };
    for (const Case& c : cases) {
        PvSetTestLocale(c.locale);
        COleCurrency cur;
        EXPECT_EQ(cur.ParseCurrency(c.text), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_EQ(cur.GetStatus(), COleCurrency::invalid);
            EXPECT_EQ(cur.Format(), "Invalid Currency");
            continue;
        }
        EXPECT_EQ(cur.m_cur.int64, c.value) << c.text;
        EXPECT_EQ(cur.Format(), c.formatted) << c.text;
        COleCurrency back;
        EXPECT_TRUE(back.ParseCurrency(cur.Format()));
        EXPECT_EQ(back, cur);
    }
}

TEST_F(OleTest, CurrencyArithmeticReportsOverflow)
{
    COleCurrency a(2, 5000), b(1, -2500);
    EXPECT_EQ((a + b).m_cur.int64, 32500);
    EXPECT_EQ((a - b).m_cur.int64, 17500);
    EXPECT_EQ((a * 3).m_cur.int64, 75000);
    EXPECT_EQ((a / 2).m_cur.int64, 12500);
    EXPECT_EQ((-a).m_cur.int64, -25000);
    EXPECT_LT(b, a);
    COleCurrency max;
    max.m_cur.int64 = INT64_MAX;
    EXPECT_EQ((max + a).GetStatus(), COleCurrency::invalid);
    EXPECT_EQ((max * 2).GetStatus(), COleCurrency::invalid);
    EXPECT_EQ((a / 0).GetStatus(), COleCurrency::invalid);
    COleCurrency min;
    min.m_cur.int64 = INT64_MIN;
    EXPECT_EQ((-min).GetStatus(), COleCurrency::invalid);
    EXPECT_EQ((min / -1).GetStatus(), COleCurrency::invalid);
    COleCurrency bad(1, 10000);
    EXPECT_EQ(bad.GetStatus(), COleCurrency::invalid);
    EXPECT_EQ((bad + a).GetStatus(), COleCurrency::invalid);
    EXPECT_EQ(COleCurrency(2147483647L, 9999).GetStatus(), COleCurrency::valid);
    EXPECT_EQ(COleCurrency(LONG_MAX, 0).GetStatus(), COleCurrency::invalid);

    COleCurrency fromVariant(COleVariant(2.25));
    EXPECT_EQ(fromVariant.m_cur.int64, 22500);
    COleCurrency fromText(COleVariant("x"));
    EXPECT_EQ(fromText.GetStatus(), COleCurrency::invalid);
}

} // namespace
