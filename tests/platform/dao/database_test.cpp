#include "dao_fixture.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <cstdio>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Child mode: started with PV_DAO_CHILD_OPEN=<path>, the test binary opens that database
// exclusively and exits 0 on success, 1 on error 3356, 2 on any other error.
struct ChildOpen {
    ChildOpen()
    {
        const char* path = std::getenv("PV_DAO_CHILD_OPEN");
        if (!path) return;
        int code = 0;
        try {
            CDaoDatabase db;
            db.Open(path, TRUE, FALSE, kTestKey);
        } catch (CDaoException& e) {
            code = e.m_pErrorInfo->m_lErrorCode == 3356 ? 1 : 2;
        }
        std::_Exit(code);
    }
} g_childOpen;

int OpenInChild(const std::string& path)
{
    const std::string env = "PV_DAO_CHILD_OPEN=" + path;
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(const_cast<char*>(env.c_str()));
    envp.push_back(nullptr);
    char exe[] = "/proc/self/exe";
    char* argv[] = {exe, nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe, nullptr, nullptr, argv, envp.data()) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(DaoTest, OpensWithTheRightPasswordOnly)
{
    const std::string path = MakeDb("dir.mdb", {"CREATE TABLE Application (Key TEXT(50), [Value] TEXT(255))",
                                                "INSERT INTO Application VALUES ('AppTitle', 'Paravel')"});
    struct Case {
        const char* connect;
        long error;
    };
    const Case cases[] = {{kTestKey, 0}, {";PWD=wrong", 3031}, {"", 3031}, {";pwd=KvRtWmPnoQaz", 0}};
    for (const Case& c : cases) {
        CDaoDatabase db;
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), FALSE, FALSE, c.connect); }), c.error) << c.connect;
        EXPECT_EQ(db.IsOpen(), c.error == 0);
    }
    // the file really is enciphered
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char head[16] = {0};
    ASSERT_EQ(std::fread(head, 1, 16, f), 16u);
    std::fclose(f);
    EXPECT_NE(std::string(head, 15), "SQLite format 3");
}

TEST_F(DaoTest, OpenAndCreateErrors)
{
    CDaoDatabase db;
    CDaoException err;
    try {
        db.Open(PathOf("missing.mdb").c_str(), FALSE, FALSE, kTestKey);
    } catch (CDaoException& e) {
        err = e;
    }
    EXPECT_EQ(err.m_pErrorInfo->m_lErrorCode, 3024);
    EXPECT_NE(err.m_pErrorInfo->m_strDescription.Find("missing.mdb"), -1);
    const std::string path = MakeDb("a.mdb", {"CREATE TABLE T (x LONG)"});
    EXPECT_EQ(DaoErrorOf([&] { db.Create(path.c_str()); }), 3204);
    EXPECT_EQ(DaoErrorOf([&] { db.Create(PathOf("no/such/dir.mdb").c_str()); }), 3044);
    // a database without a password opens whatever password is given
    const std::string plain = MakeDb("plain.mdb", {"CREATE TABLE T (x LONG)"}, "");
    EXPECT_EQ(DaoErrorOf([&] { db.Open(plain.c_str(), FALSE, FALSE, ";PWD=anything"); }), 0);
}

TEST_F(DaoTest, ExclusiveOpenLocksOutOthersUntilClosed)
{
    const std::string path = MakeDb("dir.mdb", {"CREATE TABLE T (x LONG)"});
    {
        CDaoDatabase first;
        first.Open(path.c_str(), TRUE, FALSE, kTestKey);
        CDaoDatabase second;
        EXPECT_EQ(DaoErrorOf([&] { second.Open(path.c_str(), TRUE, FALSE, kTestKey); }), 3356);
        EXPECT_EQ(DaoErrorOf([&] { second.Open(path.c_str(), FALSE, FALSE, kTestKey); }), 3356);
        EXPECT_EQ(OpenInChild(path), 1);
        first.Close();
        EXPECT_EQ(OpenInChild(path), 0);
        EXPECT_EQ(DaoErrorOf([&] { second.Open(path.c_str(), TRUE, FALSE, kTestKey); }), 0);
    }
    {
        // shared opens share; an exclusive open then finds the file in use
        CDaoDatabase a, b, c;
        a.Open(path.c_str(), FALSE, FALSE, kTestKey);
        EXPECT_EQ(DaoErrorOf([&] { b.Open(path.c_str(), FALSE, FALSE, kTestKey); }), 0);
        EXPECT_EQ(DaoErrorOf([&] { c.Open(path.c_str(), TRUE, FALSE, kTestKey); }), 3045);
        EXPECT_EQ(OpenInChild(path), 2);
    }
    {
        // the lock goes with the object too
        auto db = std::make_unique<CDaoDatabase>();
        db->Open(path.c_str(), TRUE, FALSE, kTestKey);
        db.reset();
        EXPECT_EQ(OpenInChild(path), 0);
    }
}

TEST_F(DaoTest, ExecuteRunsJetStatementsAndReportsErrors)
{
    const std::string path = MakeDb("c.mdb", {"CREATE TABLE Tree ([Key] TEXT(50), [Order] LONG, [Text] TEXT(255), Expanded LONG)",
                                              "CREATE INDEX [Order] ON Tree ([Order])",
                                              "INSERT INTO Tree VALUES (\"Views\", 1, \"Directory Views\", 1)",
                                              "INSERT INTO Tree VALUES ('Favorites', 2, 'Favorites', 0)"});
    CDaoDatabase db;
    db.Open(path.c_str(), FALSE, FALSE, kTestKey);
    db.Execute("Update Tree set Expanded = 0", dbFailOnError);
    EXPECT_EQ(db.GetRecordsAffected(), 2);
    db.Execute("Update Tree set Expanded = 1 Where Text = 'Directory Views'", dbFailOnError);
    EXPECT_EQ(db.GetRecordsAffected(), 1);
    struct Case {
        const char* sql;
        long error;
        const char* named;  // the description names this
    };
    const Case cases[] = {
        {"UPDATE Nowhere SET x = 1", 3078, "Nowhere"},
        {"UPDATE Tree SET Nothing = 1", 3061, "Nothing"},
        {"SELECT * FROM Tree", 3065, ""},
        {"UPDATE Tree SET = 1", 3144, ""},
        {"CREATE TABLE Tree (x LONG)", 3010, "Tree"},
        {"INSERT INTO Tree VALUES ('x', 1, 'y', 0); DROP TABLE Tree", 3142, ""},
        {"UPDATE Tree SET Text = 'open", 3075, ""},
    };
    for (const Case& c : cases) {
        try {
            db.Execute(c.sql, dbFailOnError);
            ADD_FAILURE() << c.sql;
        } catch (CDaoException& e) {
            EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, c.error) << c.sql;
            EXPECT_NE(e.m_pErrorInfo->m_strDescription.Find(c.named), -1) << e.m_pErrorInfo->m_strDescription.GetString();
        }
    }
    CDaoTableDef td(&db);
    td.Open("Tree");
    EXPECT_EQ(td.GetRecordCount(), 2);  // the failed statements changed nothing
    db.Close();
    EXPECT_EQ(DaoErrorOf([&] { db.Execute("UPDATE Tree SET Expanded = 0"); }), 3420);
    CDaoDatabase ro;
    ro.Open(path.c_str(), FALSE, TRUE, kTestKey);
    EXPECT_EQ(DaoErrorOf([&] { ro.Execute("UPDATE Tree SET Expanded = 0"); }), 3027);
}

namespace {

// What SQLite without the key makes of a file: SQLITE_OK for a plain database.
int PlainOpenResult(const std::string& path)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return rc;
}

}  // namespace

TEST_F(DaoTest, ConnectStringsAsJetReadsThem)
{
    // blanks and case around the password's key never leave a file unkeyed
    for (const char* locale : {"; PWD = secret", ";pwd=secret ", " ;Pwd= secret;", "MS Access;PWD=secret"}) {
        const std::string path = PathOf("keyed.mdb");
        CDaoDatabase db;
        ASSERT_EQ(DaoErrorOf([&] { db.Create(path.c_str(), (std::string(dbLangGeneral) + locale).c_str()); }), 0) << locale;
        db.Execute("CREATE TABLE T (x LONG)");
        db.Close();
        EXPECT_EQ(PlainOpenResult(path), SQLITE_NOTADB) << locale;
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), FALSE, FALSE, ";PWD=secret"); }), 0) << locale;
        db.Close();
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), FALSE, FALSE, ""); }), JET_ERR_BAD_PASSWORD) << locale;
        std::remove(path.c_str());
    }
    const std::string path = MakeDb("dir.mdb", {"CREATE TABLE T (x LONG)"});
    struct Case {
        const char* connect;
        long error;
    };
    const Case cases[] = {
        {" ; pwd = KvRtWmPnoQaz ", 0}, {";PWD=KvRtWmPnoQaz;;", 0}, {"MS Access;PWD=KvRtWmPnoQaz", 0},
        {";PWD", JET_ERR_NO_ISAM},     {"ODBC;DSN=x", JET_ERR_NO_ISAM}, {";=KvRtWmPnoQaz", JET_ERR_NO_ISAM},
        {";PWD=kvrtwmpnoqaz", JET_ERR_BAD_PASSWORD},  // the password itself keeps its case
    };
    for (const Case& c : cases) {
        CDaoDatabase db;
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), FALSE, FALSE, c.connect); }), c.error) << c.connect;
    }
    // a locale that cannot be read makes no file
    CDaoDatabase db;
    EXPECT_EQ(DaoErrorOf([&] { db.Create(PathOf("bad.mdb").c_str(), ";LANGID=0x0409;PWD"); }), JET_ERR_INVALID_ARGUMENT);
    EXPECT_FALSE(std::filesystem::exists(PathOf("bad.mdb")));
}

TEST_F(DaoTest, ReadOnlyFileAndAnotherProgramsWrite)
{
    const std::string path = MakeDb("dir.mdb", {"CREATE TABLE T (x LONG)", "INSERT INTO T VALUES (1)"});
    {
        // another program in the middle of a long write: the file is in use
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_key(other, "KvRtWmPnoQaz", 12);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO T VALUES (2)", nullptr, nullptr, nullptr), SQLITE_OK);
        CDaoDatabase db;
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), TRUE, FALSE, kTestKey); }), JET_ERR_EXCLUSIVE);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(other);
        EXPECT_EQ(DaoErrorOf([&] { db.Open(path.c_str(), TRUE, FALSE, kTestKey); }), 0);
        EXPECT_TRUE(db.CanUpdate());
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    CDaoDatabase db;
    db.Open(path.c_str(), FALSE, FALSE, kTestKey);
    EXPECT_FALSE(db.CanUpdate());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");
    EXPECT_FALSE(rs.CanUpdate());
    EXPECT_EQ(DaoErrorOf([&] { db.Execute("INSERT INTO T VALUES (3)"); }), JET_ERR_READ_ONLY);

    // Once the file takes writes, a database opened for writing does not share the read-only
    // connection still held by the first: its change goes in (when no read holds the file).
    rs.Close();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    CDaoDatabase again;
    again.Open(path.c_str(), FALSE, FALSE, kTestKey);
    EXPECT_TRUE(again.CanUpdate());
    EXPECT_EQ(DaoErrorOf([&] { again.Execute("INSERT INTO T VALUES (4)"); }), 0);
    CDaoDatabase third;
    third.Open(path.c_str(), FALSE, FALSE, kTestKey);
    EXPECT_EQ(third.PvConnection(), again.PvConnection()) << "the writable connection is the one shared now";
    EXPECT_EQ(db.PvConnection() == again.PvConnection(), false);
}
