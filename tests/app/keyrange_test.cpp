// The key-range search over small rank tables, the bounds of typed values and the statement
// the Search Directory dialog builds from them.

#include "app/KeyRangeSearch.h"
#include "app/SearchDirectoryDlg.h"

#include "app/Cipher.h"
#include "platform/dao/dao.h"
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Stored texts are plain here; the count is what a search costs.
class CountingCipher : public CCipher {
public:
    void Decrypt(const CString& strStored, CString& strPlain) override
    {
        ++m_nCalls;
        strPlain = strStored;
    }
    void Encrypt(const CString& strPlain, CString& strStored) override { strStored = strPlain; }
    void SetKey(const CString&) override {}
    long m_nCalls = 0;
};

class KeyRangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_path = new std::string(std::filesystem::temp_directory_path() / ("pv_keyrange_" + std::to_string(::getpid()) + ".db"));
        std::filesystem::remove(*s_path);
        CDaoDatabase db;
        db.Create(s_path->c_str());
        // Ranks as the sample writer gives them: 1 for an empty value, then dense from 2.
        rankTable(db, "Data", "Name", {{"", 1}, {"Small", 2}, {"Smith", 3}, {"smith", 3}, {"Snow", 4}, {"Small", 2}});
        rankTable(db, "Clubs", "Club", {{"Chess", 2}, {"Drama", 3}, {"Chess", 2}});
        rankTable(db, "One", "Name", {{"Mm", 2}});
        rankTable(db, "Nothing", "Name", {});
        rankTable(db, "Awards", "Award", {{"Gold", 2}});
        rankTable(db, "Award", "Award", {{"Gold", 2}});
        std::vector<std::pair<std::string, long>> many;
        for (long i = 0; i < 1000; ++i)
            many.push_back({"N" + std::to_string(100000 + i), i + 2});
        rankTable(db, "Many", "Name", many);
        db.Close();
    }
    static void TearDownTestSuite()
    {
        std::filesystem::remove(*s_path);
        delete s_path;
    }
    static void rankTable(CDaoDatabase& db, const std::string& table, const std::string& field,
                          const std::vector<std::pair<std::string, long>>& rows)
    {
        db.Execute(("CREATE TABLE [" + table + "] ([_IKEY] LONG, [" + field + "] TEXT(50), [_I" + field + "] LONG)").c_str());
        db.Execute(("CREATE INDEX [_I" + field + "] ON [" + table + "] ([_I" + field + "])").c_str());
        long key = 1;
        for (const auto& [value, rank] : rows)
            db.Execute(("INSERT INTO [" + table + "] VALUES (" + std::to_string(key++) + ", '" + value + "', " +
                        std::to_string(rank) + ")")
                           .c_str());
    }
    void SetUp() override
    {
        m_db.Open(s_path->c_str());
        search.m_pDatabase = &m_db;
        search.m_pCipher = &cipher;
        CSearchFieldArray::Instance().RemoveAll();
    }
    void TearDown() override
    {
        search.Close();
        m_db.Close();
        CSearchFieldArray::Instance().RemoveAll();
    }
    CSearchField* criterion(const char* display, const char* table, const char* field, std::vector<CString> values)
    {
        auto f = std::make_unique<CSearchField>();
        f->m_strDisplay = display;
        f->m_strControl = "EDIT";
        f->m_strTable = table;
        f->m_strField = field;
        f->m_values = std::move(values);
        return CSearchFieldArray::Instance().Add(std::move(f));
    }

    static std::string* s_path;
    CDaoDatabase m_db;
    CountingCipher cipher;
    CKeyRangeSearch search;
};
std::string* KeyRangeTest::s_path = nullptr;

enum Variant { kLower, kUpper, kPrefixUpper, kPrefixLower, kLastAtOrBelow, kFirstAtOrAbove };

long find(CKeyRangeSearch& s, Variant v, const char* field, const char* text)
{
    long rank = 12345;
    switch (v) {
    case kLower: return s.FindLowerBound(field, text, rank);
    case kUpper: return s.FindUpperBound(field, text, rank);
    case kPrefixUpper: return s.FindPrefixUpperBound(field, text, rank);
    case kPrefixLower: return s.FindPrefixLowerBound(field, text, rank);
    case kLastAtOrBelow: return s.FindLastAtOrBelow(field, text, rank);
    case kFirstAtOrAbove: return s.FindFirstAtOrAbove(field, text, rank);
    }
    return rank;
}

} // namespace

// Each variant for a text below, equal to, between and above the values, signs included; ranks
// "" 1, SMALL 2, SMITH 3, SNOW 4.
TEST_F(KeyRangeTest, SearchesOverSmallSmithSnow)
{
    MsgBoxLog boxes;
    ASSERT_TRUE(search.Open("Data"));
    struct Case {
        Variant variant;
        const char* text;
        long rank;
    };
    const Case cases[] = {
        {kLower, "A", -2},          {kLower, "Smith", 3},       {kLower, "smith", 3},    {kLower, "SMIZ", -4},
        {kLower, "ZZ", -4},         {kLower, "", 1},            {kUpper, "A", -2},       {kUpper, "SMITH", 3},
        {kUpper, "SMIZ", -4},       {kUpper, "ZZ", -4},         {kPrefixUpper, "SM", 3}, {kPrefixUpper, "SN", 4},
        {kPrefixUpper, "SMO", 3},   {kPrefixUpper, "ZZ", 4},    {kPrefixUpper, "A", 1},  {kPrefixLower, "SM", 2},
        {kPrefixLower, "smi", 3},   {kPrefixLower, "SMO", -4},  {kPrefixLower, "A", -2}, {kPrefixLower, "ZZ", -4},
        {kLastAtOrBelow, "SMIZ", 3}, {kLastAtOrBelow, "A", 1},  {kLastAtOrBelow, "ZZ", 4}, {kFirstAtOrAbove, "A", 2},
        {kFirstAtOrAbove, "SNOW", 4}, {kFirstAtOrAbove, "SNOWY", 0},
    };
    for (const Case& c : cases) {
        long out = 0;
        const long got = find(search, c.variant, "Name", c.text);
        EXPECT_EQ(got, c.rank) << c.variant << " " << c.text;
        (void)out;
    }
    EXPECT_FALSE(search.Failed());
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(KeyRangeTest, OneRecordAndEmptyTables)
{
    MsgBoxLog boxes;
    ASSERT_TRUE(search.Open("One"));
    EXPECT_EQ(find(search, kLower, "Name", "MM"), 2);
    EXPECT_EQ(find(search, kLower, "Name", "A"), -2);
    EXPECT_EQ(find(search, kUpper, "Name", "Z"), -2);
    EXPECT_EQ(find(search, kPrefixLower, "Name", "M"), 2);
    EXPECT_EQ(find(search, kPrefixLower, "Name", "N"), -2);
    EXPECT_EQ(find(search, kPrefixUpper, "Name", "M"), 2);
    ASSERT_TRUE(search.Open("Nothing"));
    for (Variant v : {kLower, kUpper, kPrefixUpper, kPrefixLower, kLastAtOrBelow, kFirstAtOrAbove})
        EXPECT_EQ(find(search, v, "Name", "M"), 0) << v;
    EXPECT_EQ(SearchValueBounds(search, "Name", "Smith"), " BETWEEN 0 AND 0");
    EXPECT_TRUE(boxes.entries().empty()) << "an empty table is no error";
}

// Each search reads one record per halving step of the rank range.
TEST_F(KeyRangeTest, ProbesStayLogarithmic)
{
    ASSERT_TRUE(search.Open("Many"));
    const long limit = long(std::ceil(std::log2(1000.0))) + 2;
    for (const char* text : {"N100000", "N100500", "N100999", "N1005", "A", "Z"})
        for (Variant v : {kLower, kUpper, kPrefixUpper, kPrefixLower, kLastAtOrBelow, kFirstAtOrAbove}) {
            cipher.m_nCalls = 0;
            find(search, v, "Name", text);
            EXPECT_LE(cipher.m_nCalls, limit) << v << " " << text;
        }
    long rank = 0;
    EXPECT_EQ(search.FindLowerBound("Name", "N100500", rank), 502);
    EXPECT_EQ(search.FindPrefixUpperBound("Name", "N1005", rank), 601);
}

TEST_F(KeyRangeTest, FailuresAreToldOnce)
{
    MsgBoxLog boxes;
    EXPECT_FALSE(search.Open("Nowhere"));
    ASSERT_EQ(boxes.entries().size(), 1u);
    EXPECT_EQ(boxes.entries()[0].text,
              "Database error while beginning a search of the directory! Cannot open table Nowhere.\nMake sure the Paravel CD "
              "is in the CD-Rom Drive.  If the problem persists, re-install the Paravel program, or read Help for "
              "information on technical support.\n(Jet Error Number 3265)");
    EXPECT_EQ(boxes.entries()[0].icon, "warning");
    // A field without a rank index fails the search, with the search's own text.
    ASSERT_TRUE(search.Open("Data"));
    boxes.clear();
    long rank = 77;
    EXPECT_EQ(search.FindLowerBound("Nick", "A", rank), 77) << "the rank as it stood";
    EXPECT_TRUE(search.Failed());
    ASSERT_EQ(boxes.entries().size(), 1u);
    EXPECT_EQ(boxes.entries()[0].text.rfind("Database error while begining a search of the directory!  Make sure the "
                                            "Paravel CD is in the CD-Rom Drive.\n If the problem persists, re-install the "
                                            "Paravel program, or read Help for information on technical support.\n(Jet "
                                            "Error Number ",
                                            0),
              0u)
        << boxes.entries()[0].text;
    // The statement stops at the first failure: one message, no statement.
    boxes.clear();
    criterion("Name", "Data", "Name", {"Smith"});
    criterion("Nick", "Nowhere", "Nick", {"A", "B"});
    CString select, from, where;
    EXPECT_FALSE(BuildSearchStatement(CSearchFieldArray::Instance(), search, "", select, from, where));
    EXPECT_TRUE(where.IsEmpty());
    EXPECT_EQ(boxes.entries().size(), 1u);
}

TEST_F(KeyRangeTest, BoundsOfTypedValues)
{
    ASSERT_TRUE(search.Open("Data"));
    struct Case {
        const char* value;
        const char* bounds;
    };
    const Case cases[] = {
        {"*", " BETWEEN 2 AND 9999999"},
        {"Nguyen", " BETWEEN 0 AND 0"},           // a plain miss
        {"Smith", " BETWEEN 3 AND 3"},
        {"Sm*", " BETWEEN 2 AND 3"},
        {"Smo*", " BETWEEN 0 AND 0"},             // nothing starts with it: not the Snows
        {"Smith\"-\"Z", " BETWEEN 3 AND 4"},      // y above every value keeps SNOW
        {"Snow\"-\"Adams", " BETWEEN 0 AND 0"},   // y below x
        {"A\"-\"Smo*", " BETWEEN 2 AND 3"},
        {"Sm\"-\"*", " BETWEEN 2 AND 9999999"},
        {"Zz\"-\"Zzz", " BETWEEN 0 AND 0"},       // x above every value
        {"Sa\"-\"Smith", " BETWEEN 2 AND 3"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SearchValueBounds(search, "Name", c.value), c.bounds) << c.value;
}

TEST_F(KeyRangeTest, StatementOfTheDialog)
{
    MsgBoxLog boxes;
    criterion("Name", "Data", "Name", {"Smith", "Snow"});
    criterion("Club", "Clubs", "Club", {"*"});
    CString select, from, where;
    ASSERT_TRUE(BuildSearchStatement(CSearchFieldArray::Instance(), search, "Data.[_IName]", select, from, where));
    EXPECT_STREQ(select + from + where,
                 "SELECT DATA.* , [CLUBS].[Club] , [CLUBS].[_IClub] FROM (DATA  ) LEFT JOIN [CLUBS] ON DATA.[_IKEY] = "
                 "[CLUBS].[_IKEY] WHERE ([DATA].[_IName] BETWEEN 3 AND 3 OR [DATA].[_IName] BETWEEN 4 AND 4) AND "
                 "([CLUBS].[_IClub] BETWEEN 2 AND 9999999) ORDER BY Data.[_IName]");
    // The statement runs.
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenSnapshot, select + from + where);
    long n = 0;
    for (; !rs.IsEOF(); rs.MoveNext())
        ++n;
    EXPECT_EQ(n, 1) << "of Smith, smith and Snow (keys 3, 4, 5) only key 3 has a club";

    // Two criteria of one table join it once; a table whose name holds another's gets its own
    // join; a lower-case table name is the same table.
    CSearchFieldArray::Instance().RemoveAll();
    criterion("Award", "Awards", "Award", {"Gold"});
    criterion("Award 2", "award", "Award", {"Gold"});
    criterion("Award 3", "AWARD", "Award", {"G*"});
    ASSERT_TRUE(BuildSearchStatement(CSearchFieldArray::Instance(), search, "", select, from, where));
    EXPECT_STREQ(from, "FROM ((DATA  ) LEFT JOIN [AWARDS] ON DATA.[_IKEY] = [AWARDS].[_IKEY]  ) LEFT JOIN [AWARD] ON "
                       "DATA.[_IKEY] = [AWARD].[_IKEY] ");
    EXPECT_STREQ(where, "WHERE ([AWARDS].[_IAward] BETWEEN 2 AND 2) AND ([AWARD].[_IAward] BETWEEN 2 AND 2) AND "
                        "([AWARD].[_IAward] BETWEEN 2 AND 2)");
    rs.Close();
    rs.Open(dbOpenSnapshot, select + from + where);
    EXPECT_FALSE(rs.IsEOF());

    // No values: no where part.
    CSearchFieldArray::Instance().RemoveAll();
    criterion("Name", "Data", "Name", {});
    ASSERT_TRUE(BuildSearchStatement(CSearchFieldArray::Instance(), search, "x", select, from, where));
    EXPECT_TRUE(where.IsEmpty());
    EXPECT_TRUE(boxes.entries().empty());
}
