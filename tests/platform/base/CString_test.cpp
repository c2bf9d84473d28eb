#include "platform/base/CString.h"
#include "platform/base/textcase.h"

#include <gtest/gtest.h>

TEST(CString, ExtractionClampsOutOfRangeArguments)
{
    const CString s("Morlow");
    struct Case { CString got; const char* want; };
    const Case cases[] = {
        {s.Left(3), "Mor"},     {s.Left(-1), ""},      {s.Left(99), "Morlow"},
        {s.Right(3), "low"},    {s.Right(-2), ""},     {s.Right(99), "Morlow"},
        {s.Mid(2), "rlow"},     {s.Mid(2, 2), "rl"},   {s.Mid(-3, 2), "Mo"},
        {s.Mid(6), ""},         {s.Mid(9, 2), ""},     {s.Mid(4, -1), ""},
        {s.SpanIncluding("Mo"), "Mo"}, {s.SpanExcluding("lw"), "Mor"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.got, c.want);
}

TEST(CString, SearchReturnsMinusOneWhenAbsent)
{
    const CString s("abc*xyz*");
    EXPECT_EQ(s.Find('*'), 3);
    EXPECT_EQ(s.Find('*', 4), 7);
    EXPECT_EQ(s.Find('*', 8), -1);
    EXPECT_EQ(s.Find('q'), -1);
    EXPECT_EQ(s.Find("xyz"), 4);
    EXPECT_EQ(s.Find("xyz", 5), -1);
    EXPECT_EQ(s.Find("a", -1), -1);
    EXPECT_EQ(s.ReverseFind('*'), 7);
    EXPECT_EQ(s.FindOneOf("zy"), 5);
    EXPECT_EQ(s.FindOneOf(""), -1);
}

TEST(CString, EditingOperations)
{
    CString s("  a-b-c  ");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(s, "a-b-c");
    EXPECT_EQ(s.Replace("-", "--"), 2);
    EXPECT_STREQ(s, "a--b--c");
    EXPECT_EQ(s.Remove('-'), 4);
    EXPECT_STREQ(s, "abc");
    s.Insert(1, "XY");
    s.Insert(99, '!');
    EXPECT_STREQ(s, "aXYbc!");
    s.Delete(1, 2);
    s.Delete(4, 50);
    EXPECT_STREQ(s, "abc!");
    CString t("xxhixx");
    t.TrimLeft('x');
    t.TrimRight("x");
    EXPECT_STREQ(t, "hi");
    CString all("   ");
    all.TrimRight();
    EXPECT_TRUE(all.IsEmpty());
}

TEST(CString, FormatAndBuffer)
{
    CString s;
    s.Format("%s=%d;%05.1f", "n", 42, 3.14159);
    EXPECT_STREQ(s, "n=42;003.1");
    s.AppendFormat("[%c]", 'z');
    EXPECT_STREQ(s, "n=42;003.1[z]");

    CString b;
    char* p = b.GetBuffer(10);
    std::snprintf(p, 11, "%s", "hello");
    b.ReleaseBuffer();
    EXPECT_EQ(b.GetLength(), 5);
    EXPECT_STREQ(b, "hello");
    b.GetBuffer(3);
    b.ReleaseBuffer(2);
    EXPECT_STREQ(b, "he");
}

TEST(CString, CaseWorksOnWholeUtf8Characters)
{
    CString s("o'neil ÉCOLE àéîõü ÿ");
    CString up(s);
    up.MakeUpper();
    EXPECT_STREQ(up, "O'NEIL ÉCOLE ÀÉÎÕÜ Ÿ");
    EXPECT_EQ(up.GetLength(), s.GetLength());
    CString low(up);
    low.MakeLower();
    EXPECT_STREQ(low, "o'neil école àéîõü ÿ");
    EXPECT_EQ(CString("straße").CompareNoCase("STRASSE") != 0, true);
    EXPECT_EQ(CString("Émile").CompareNoCase("éMILE"), 0);
    CString r("aé€b");
    r.MakeReverse();
    EXPECT_STREQ(r, "b€éa");
}

TEST(CString, OrderingFollowsUpperCasedBytes)
{
    // '_' sorts after letters once both sides are upper-cased.
    EXPECT_LT(PvCompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(PvCompareNoCase("a_", "AZ"), 0);
    EXPECT_EQ(PvUpperCase("mcdonald-o'neil"), "MCDONALD-O'NEIL");
    EXPECT_LT(CString("B"), CString("a"));
    EXPECT_TRUE(CString("x") == "x");
    EXPECT_TRUE("y" != CString("x"));
}

TEST(CString, CollationPutsAccentsBesideTheirLetters)
{
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"case is ignored", "müller", "MÜLLER", 0},
        {"accented letter beside its base, not after z", "Émile", "Zoe", -1},
        {"accent only breaks a tie: plain first", "Muller", "Müller", -1},
        {"accent does not outweigh a later letter", "Müller", "Mulz", -1},
        {"sharp s reads as ss", "Strauß", "Strausz", -1},
        {"ae ligature reads as ae", "Æsop", "Aesop", 1},
        {"Latin Extended-A", "Łukasz", "Lukasza", -1},
        {"prefix first", "Ann", "Anna", -1},
        {"punctuation keeps its ASCII place", "O'Neil", "Oneil", -1},
        {"invalid bytes order stably", "a\xFF", "a\xFE", 1},
        {"empty", "", "a", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PvCollateNoCase(c.a, c.b), c.expected);
        EXPECT_EQ(PvCollateNoCase(c.b, c.a), -c.expected);
        const int nKeyOrder = PvCollationKeyNoCase(c.a).compare(PvCollationKeyNoCase(c.b));
        EXPECT_EQ((nKeyOrder > 0) - (nKeyOrder < 0), c.expected) << "the sort key orders alike";
    }
    EXPECT_LT(CString("émile").CollateNoCase("Zoe"), 0);
}

TEST(CString, NullPointersAreEmpty)
{
    CString s(static_cast<LPCTSTR>(nullptr));
    EXPECT_TRUE(s.IsEmpty());
    s += static_cast<LPCTSTR>(nullptr);
    EXPECT_EQ(s.Compare(nullptr), 0);
    EXPECT_EQ(CString(static_cast<LPCTSTR>(nullptr), 5).GetLength(), 0);
}
