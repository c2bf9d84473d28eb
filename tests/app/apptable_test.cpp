#include "app/AppTable.h"

#include "platform/dao/dao.h"
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Row { const char* key; const char* value; };

class AppTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("pv_apptable_" + std::to_string(::getpid()) + "_" +
                                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        path = (dir / "dir.mdb").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void makeDatabase(std::initializer_list<Row> rows, bool withTable = true)
    {
        CDaoDatabase db;
        db.Create(path.c_str(), dbLangGeneral);
        if (withTable) {
            db.Execute("CREATE TABLE Application ([Key] TEXT(50), [Value] TEXT(255))");
            for (const Row& r : rows) {
                CString sql;
                sql.Format("INSERT INTO Application ([Key], [Value]) VALUES (\"%s\", \"%s\")", r.key, r.value);
                db.Execute(sql);
            }
        }
        db.Close();
    }

    BOOL read(std::initializer_list<const char*> keys, CString* values, const AppTableTexts& texts)
    {
        CDaoDatabase db;
        db.Open(path.c_str());
        std::vector<const char*> k(keys);
        return ReadApplicationValues(db, CString(path.c_str()), k.data(), int(k.size()), values, texts);
    }

    std::filesystem::path dir;
    std::string path;
    MsgBoxLog boxes;
};

} // namespace

TEST_F(AppTableTest, ReadsBothSortValuesInTableOrder)
{
    makeDatabase({{"AppTitle", "Hill School"}, {"DefaultSort1", "Last Name"}, {"X", "y"}, {"DefaultSort2", "First Name"}});
    CString v[2];
    EXPECT_TRUE(read({"DefaultSort1", "DefaultSort2"}, v, kSortTexts));
    EXPECT_STREQ(v[0], "Last Name");
    EXPECT_STREQ(v[1], "First Name");
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(AppTableTest, EachFailureShowsExactlyOneMessage)
{
    struct Case {
        const char* name;
        std::vector<Row> rows;
        bool table;
        std::vector<const char*> keys;
        const AppTableTexts* texts;
        std::string wantPrefix;
    };
    const Case cases[] = {
        {"second before first", {{"DefaultSort2", "B"}, {"DefaultSort1", "A"}}, true, {"DefaultSort1", "DefaultSort2"},
         &kSortTexts, "Error! The table named Application does not contain an entry for DefaultSort2"},
        {"key case differs", {{"defaultsort1", "A"}, {"DefaultSort2", "B"}}, true, {"DefaultSort1", "DefaultSort2"},
         &kSortTexts, "Error! The table named Application does not contain an entry for DefaultSort1"},
        {"no title", {{"Footnote", "f"}}, true, {"AppTitle"}, &kTitleTexts,
         "Error while reading title! The table named Application does not contain an entry for AppTitle"},
        {"empty table", {}, true, {"Footnote"}, &kFootnoteTexts,
         "Error while reading footnote! The table named Application in the directory database contains no data.\n(Jet Error Number 3021)"},
        {"no table", {}, false, {"DefaultSort1"}, &kSortTexts,
         "This program was unable to open the table named Application in the directory database "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        boxes.clear();
        CDaoDatabase db;
        db.Create(path.c_str(), dbLangGeneral);
        if (c.table) {
            db.Execute("CREATE TABLE Application ([Key] TEXT(50), [Value] TEXT(255))");
            for (const Row& r : c.rows) {
                CString sql;
                sql.Format("INSERT INTO Application ([Key], [Value]) VALUES (\"%s\", \"%s\")", r.key, r.value);
                db.Execute(sql);
            }
        }
        CString values[2];
        EXPECT_FALSE(ReadApplicationValues(db, CString(path.c_str()), c.keys.data(), int(c.keys.size()), values, *c.texts));
        auto entries = boxes.entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].text.rfind(c.wantPrefix, 0), 0u) << entries[0].text;
        EXPECT_EQ(entries[0].buttons, "ok");
        EXPECT_EQ(entries[0].icon, "warning");
    }
}

TEST_F(AppTableTest, OpenFailureNamesPathAndJetError)
{
    makeDatabase({}, false);
    CString v[1];
    EXPECT_FALSE(read({"AppTitle"}, v, kTitleTexts));
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    const std::string want = "Error while reading title! This program was unable to open the table named Application in the "
                             "directory database " + path +
                             "\nIf this path is to your CD-ROM drive, make sure the program CD is in the drive.\n"
                             "If this path is to your hard drive, please re-install this program and try again\n(Jet Error Number ";
    EXPECT_EQ(entries[0].text.rfind(want, 0), 0u) << entries[0].text;
}
