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
    d = d;  // self-assignment keeps the value
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

} // namespace
