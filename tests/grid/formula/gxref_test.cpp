#include "grid/formula/gxref.h"

#include <gtest/gtest.h>

#include <string>

#include "grid/formula/gxerror.h"

namespace {

TEST(ColumnNames, BijectiveLetters)
{
    const struct { int col; const char* name; } cases[] = {
        {0, "A"}, {25, "Z"}, {26, "AA"}, {701, "ZZ"}, {702, "AAA"}, {4095, "FAN"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(gx_col_name(c.col), nullptr);
        EXPECT_STREQ(gx_col_name(c.col), c.name);
        EXPECT_EQ(gx_parse_col(c.name), c.col);
    }
    EXPECT_EQ(gx_col_name(4096), nullptr);
    EXPECT_EQ(gx_col_name(-1), nullptr);
    EXPECT_EQ(gx_parse_col("FAO"), -1);
    EXPECT_EQ(gx_parse_col("fan1"), 4095);
    EXPECT_EQ(gx_parse_col("1"), -1);
    EXPECT_EQ(gx_letter_value('q'), 16);
    EXPECT_EQ(gx_letter_value('@'), -1);
}

TEST(References, ParseAndWrite)
{
    const struct { const char* text; const char* written; } cases[] = {
        {"A1", "A1"}, {"a1", "A1"}, {"$A1", "$A1"}, {"A$1", "A$1"}, {"$A$1", "$A$1"},
        {"B2:A1", "A1..B2"}, {"A1.B2", "A1..B2"}, {"A1..B2", "A1..B2"},
        {"$B$2:A1", "A1..$B$2"}, {"B$2:$A1", "$A1..B$2"}, {"FAN8388607", "FAN8388607"},
        {"A0", nullptr}, {"A8388608", nullptr}, {"FAO1", nullptr}, {"A1 ", nullptr}, {" A1", nullptr},
        {"A1:", nullptr}, {"A1...B2", nullptr}, {"A", nullptr}, {"1", nullptr}, {"A1;B2", nullptr},
        {"", nullptr}, {"A1:B2x", nullptr}, {"A99999999999", nullptr},
    };
    for (const auto& c : cases) {
        GXRange r;
        r.top = 77;
        int ok = gx_parse_range(c.text, &r);
        EXPECT_EQ(ok, c.written ? 1 : 0) << c.text;
        if (c.written) {
            ASSERT_NE(gx_range_to_text(r), nullptr);
            EXPECT_STREQ(gx_range_to_text(r), c.written) << c.text;
        } else {
            EXPECT_EQ(r.top, 77u) << c.text;
        }
    }
    GXRange r;
    ASSERT_TRUE(gx_parse_range("$B$2:A1", &r));
    EXPECT_FALSE(r.AbsRow1() || r.AbsCol1());
    EXPECT_TRUE(r.AbsRow2() && r.AbsCol2());
    ASSERT_TRUE(gx_parse_range("B3", &r));
    EXPECT_TRUE(r.Single());
    EXPECT_EQ(r.Top(), 3);
    EXPECT_EQ(r.Left(), 1);
}

TEST(References, RangeOperations)
{
    GXRange a, b, c;
    ASSERT_TRUE(gx_make_range(&a, 5, 3, 1, 1, GX_MAKE_ABSROW1));
    EXPECT_EQ(gx_range_string(a), "B1..D$5");
    EXPECT_FALSE(gx_make_range(&b, 0, 0, 1, 1, 0));
    EXPECT_FALSE(gx_make_range(&b, 1, 4096, 1, 1, 0));
    ASSERT_TRUE(gx_make_range(&b, 4, 3, 9, 9, 0));
    ASSERT_TRUE(gx_make_range(&c, 6, 0, 9, 0, 0));
    EXPECT_TRUE(gx_ranges_overlap(a, b));
    EXPECT_FALSE(gx_ranges_overlap(a, c));
    GXRange d;
    gx_make_range(&d, 1, 1, 5, 3, GX_MAKE_ABSCOL2);
    EXPECT_TRUE(gx_ranges_equal(a, d));
    GXRange bad;
    bad.top = 1u << 23;
    EXPECT_EQ(gx_normalize_range(&bad), 0);
    EXPECT_EQ(gx_range_to_text(bad), nullptr);
    GXRange single;
    gx_make_range(&single, 2, 2, 0, 0, GX_MAKE_SINGLE | GX_MAKE_ABSCOL1);
    EXPECT_EQ(gx_range_string(single), "$C2");
}

TEST(Escapes, WriteAndRead)
{
    const struct { std::string text; bool quote; std::string escaped; } writes[] = {
        {"\x01" "5", false, "\\0015"}, {"\x01", false, "\\1"}, {"\x01x", false, "\\1x"},
        {"\x1f", false, "\\37"}, {"\x7f", false, "\\177"}, {"a\"b", true, "a\\\"b"}, {"a\"b", false, "a\"b"},
        {"\a\b\t\n\v\f\r\\", false, "\\a\\b\\t\\n\\v\\f\\r\\\\"}, {"é", false, "é"},
    };
    for (const auto& w : writes) {
        std::string out;
        gx_escape_text(out, w.text, w.quote);
        EXPECT_EQ(out, w.escaped);
        std::string back;
        gx_unescape_text(back, out);
        EXPECT_EQ(back, w.text);
    }
    const struct { std::string escaped; std::string text; } reads[] = {
        {"\\x41", "A"}, {"\\x4", "\x04"}, {"\\xg", "xg"}, {"\\q", "q"}, {"ab\\", "ab"}, {"\\101", "A"},
        {"\\1012", "A2"}, {"\\\"", "\""}, {"\\x414", "A4"},
    };
    for (const auto& r : reads) {
        std::string out;
        gx_unescape_text(out, r.escaped);
        EXPECT_EQ(out, r.text) << r.escaped;
    }
    std::string longText(600, 'x'), out;
    gx_unescape_text(out, longText);
    EXPECT_EQ(out.size(), 511u);
    std::string accents, outAccents;
    for (int i = 0; i < 600; ++i)
        accents += "é";
    gx_unescape_text(outAccents, accents);
    EXPECT_EQ(outAccents.size(), 511u * 2);
    EXPECT_EQ(gx_hex_digit('f'), 15);
    EXPECT_EQ(gx_hex_digit('F'), 15);
    EXPECT_EQ(gx_hex_digit('g'), -1);
}

TEST(ErrorTexts, Table)
{
    const struct { int code; const char* text; } cases[] = {
        {-1, "unknown error"}, {0, "unknown error"}, {382, "unknown error"}, {1, ""},
        {236, "expected to find \"\\\" here"}, {381, "precompiled regular expression is invalid"},
        {210, "iterative calculcation not supported with \"As Needed\""},
        {297, "\"values\" \"dates\" series must have same dimentions"}, {41, "\"#\" in primary expression"},
        {227, "undefined function"}, {274, "expected to find an operand here"}, {222, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(gx_error_text(c.code), c.text) << c.code;
    for (int k = 0; k <= 42; ++k)
        EXPECT_NE(std::string(gx_error_text(231 + k)), "") << k;
}

}  // namespace
