#include "platform/dao/jetsql.h"

#include <gtest/gtest.h>

TEST(JetSql, TranslatesWhereTheDialectsDiffer)
{
    struct Case {
        const char* jet;
        const char* sqlite;
    };
    const Case cases[] = {
        {"SELECT * FROM Data WHERE Name = \"O'Brien\"", "SELECT * FROM Data WHERE Name = 'O''Brien'"},
        {"SELECT [Last Name] FROM [Data]", "SELECT [Last Name] FROM [Data]"},
        {"UPDATE Tree set Expanded = 1 Where Text = 'It''s'", "UPDATE Tree set Expanded = 1 Where Text = 'It''s'"},
        {"SELECT a & b FROM t WHERE f = True OR g = False", "SELECT a || b FROM t WHERE f = (-1) OR g = 0"},
        {"SELECT DISTINCTROW x FROM t WHERE y Mod 2 = 1", "SELECT DISTINCT x FROM t WHERE y % 2 = 1"},
        {"SELECT * FROM t WHERE d = #1/2/1900#", "SELECT * FROM t WHERE d = 3"},
        {"CREATE INDEX [Order] ON Tree ([Order])", "CREATE INDEX [Tree.Order] ON [Tree] ( [Order] ) "},
        {"CREATE UNIQUE INDEX Default ON Look (Display) WITH PRIMARY", "CREATE UNIQUE INDEX [Look.Default] ON [Look] ( Display ) "},
        {"DROP INDEX [Order] ON Tree", "DROP INDEX [Tree.Order]"},
        {"SELECT \"a\"\"b\" FROM t", "SELECT 'a\"b' FROM t"},
        {"CREATE TABLE Tree (Text TEXT(255), [Key] TEXT (50), Link MEMO, [Order] LONG)",
         "CREATE TABLE Tree (Text TEXT(255) COLLATE NOCASE, [Key] TEXT(50) COLLATE NOCASE, Link MEMO COLLATE NOCASE, [Order] LONG)"},
        // any word beside a dot is a name, reserved or not
        {"Select * from Tree Where Parent='Favorites' order by Tree.Order",
         "Select * from Tree Where Parent='Favorites' order by [Tree].[Order]"},
        {"SELECT Order.Key, T.True, T .Select, T.Mod, [T].x FROM T", "SELECT [Order].[Key], [T].[True], [T] .[Select], [T].[Mod], [T].[x] FROM T"},
    };
    for (const Case& c : cases) {
        const pvjet::Translation tr = pvjet::Translate(c.jet);
        EXPECT_EQ(tr.error, "") << c.jet;
        EXPECT_EQ(tr.sql, c.sqlite) << c.jet;
    }
    EXPECT_NE(pvjet::Translate("SELECT 'open").error, "");
    EXPECT_NE(pvjet::Translate("SELECT [open FROM t").error, "");
    EXPECT_NE(pvjet::Translate("SELECT * FROM t WHERE d = #13/45/2000#").error, "");
}

TEST(JetSql, LikeUsesJetWildcardsWithoutRegardToCase)
{
    struct Case {
        const char* pattern;
        const char* value;
        bool match;
    };
    const Case cases[] = {
        {"sm*", "Smith", true},     {"*ITH", "smith", true},   {"S?ith", "Smith", true},  {"S?ith", "Sith", false},
        {"A#", "A7", true},         {"A#", "AB", false},       {"[a-c]*", "bob", true},   {"[!a-c]*", "bob", false},
        {"[*]x", "*x", true},       {"*", "", true},           {"a*b*c", "aXbYc", true},  {"a*b*c", "aXbY", false},
        {"Ö*", "öse", true},        {"?se", "öse", true},      {"100%", "100%", true},    {"_", "a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(pvjet::JetLike(c.pattern, c.value), c.match) << c.pattern << " ~ " << c.value;
}

TEST(JetSql, FilterAndSortJoinTheStatement)
{
    struct Case {
        const char* sql;
        const char* filter;
        const char* sort;
        const char* result;
    };
    const Case cases[] = {
        {"SELECT * FROM Data", "", "Data.[_ILast Name], Data.[_IFirst]", "SELECT * FROM Data ORDER BY Data.[_ILast Name], Data.[_IFirst]"},
        {"SELECT * FROM Data ORDER BY x", "", "[_IKEY] DESC", "SELECT * FROM Data ORDER BY [_IKEY] DESC"},
        {"SELECT * FROM Data WHERE a = 1 ORDER BY x", "b = 2", "", "SELECT * FROM Data WHERE (a = 1) AND (b = 2) ORDER BY x"},
        {"SELECT * FROM Data", "b = 2", "y", "SELECT * FROM Data WHERE b = 2 ORDER BY y"},
        {"SELECT k, count(*) FROM t GROUP BY k", "k > 1", "", "SELECT k, count(*) FROM t WHERE k > 1 GROUP BY k"},
        {"Select * from Tree order by Tree.Order", "Parent='Favorites'", "",
         "Select * from Tree WHERE Parent='Favorites' order by Tree.Order"},
        {"SELECT T.Where, T.From FROM T ORDER BY T.Group", "", "T.Order", "SELECT T.Where, T.From FROM T ORDER BY T.Order"},
    };
    for (const Case& c : cases) EXPECT_EQ(pvjet::ApplyFilterAndSort(c.sql, c.filter, c.sort), c.result) << c.sql;
}

TEST(JetSql, DateLiterals)
{
    double d = 0;
    ASSERT_TRUE(pvjet::ParseJetDate("12/30/1899", d));
    EXPECT_EQ(d, 0.0);
    ASSERT_TRUE(pvjet::ParseJetDate("2001-01-15 18:00", d));
    EXPECT_DOUBLE_EQ(d, 36906.75);
    ASSERT_TRUE(pvjet::ParseJetDate("1/15/2001 6:00 PM", d));
    EXPECT_DOUBLE_EQ(d, 36906.75);
    EXPECT_FALSE(pvjet::ParseJetDate("yesterday", d));
}
