// Transactions when the disk fills up: a file system shim under the engine fails every write
// from the Nth one on until space "returns".

#include "dao_fixture.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <cstring>

namespace {

// Transactions do not depend on the key; unkeyed files spare a key derivation per open.
const char* const kPlain = "";

struct FullDisk {
    static inline sqlite3_vfs* real = nullptr;
    static inline sqlite3_vfs vfs{};
    static inline sqlite3_io_methods methods{};
    static inline long writesLeft = -1;  // -1: unlimited
    static inline bool full = false;
    static inline long failures = 0;

    struct File {
        sqlite3_file base;
        sqlite3_file* inner;
    };
    static sqlite3_file* In(sqlite3_file* f) { return reinterpret_cast<File*>(f)->inner; }

    static int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 off)
    {
        if (writesLeft == 0) full = true;
        if (writesLeft > 0) --writesLeft;
        if (full) {
            ++failures;
            return SQLITE_FULL;
        }
        return In(f)->pMethods->xWrite(In(f), p, n, off);
    }

    static int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
    {
        File* file = reinterpret_cast<File*>(f);
        file->inner = reinterpret_cast<sqlite3_file*>(file + 1);
        file->base.pMethods = nullptr;
        const int rc = real->xOpen(real, name, file->inner, flags, outFlags);
        if (rc == SQLITE_OK && file->inner->pMethods) {
            if (methods.iVersion == 0) MakeMethods(file->inner->pMethods);
            file->base.pMethods = &methods;
        }
        return rc;
    }

    static void MakeMethods(const sqlite3_io_methods* m)
    {
        methods.iVersion = m->iVersion;
        methods.xClose = [](sqlite3_file* f) { return In(f)->pMethods->xClose(In(f)); };
        methods.xRead = [](sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return In(f)->pMethods->xRead(In(f), p, n, o); };
        methods.xWrite = Write;
        methods.xTruncate = [](sqlite3_file* f, sqlite3_int64 n) { return In(f)->pMethods->xTruncate(In(f), n); };
        methods.xSync = [](sqlite3_file* f, int fl) { return In(f)->pMethods->xSync(In(f), fl); };
        methods.xFileSize = [](sqlite3_file* f, sqlite3_int64* n) { return In(f)->pMethods->xFileSize(In(f), n); };
        methods.xLock = [](sqlite3_file* f, int l) { return In(f)->pMethods->xLock(In(f), l); };
        methods.xUnlock = [](sqlite3_file* f, int l) { return In(f)->pMethods->xUnlock(In(f), l); };
        methods.xCheckReservedLock = [](sqlite3_file* f, int* r) { return In(f)->pMethods->xCheckReservedLock(In(f), r); };
        methods.xFileControl = [](sqlite3_file* f, int op, void* a) { return In(f)->pMethods->xFileControl(In(f), op, a); };
        methods.xSectorSize = [](sqlite3_file* f) { return In(f)->pMethods->xSectorSize(In(f)); };
        methods.xDeviceCharacteristics = [](sqlite3_file* f) { return In(f)->pMethods->xDeviceCharacteristics(In(f)); };
        methods.xShmMap = [](sqlite3_file* f, int i, int sz, int e, void volatile** p) { return In(f)->pMethods->xShmMap(In(f), i, sz, e, p); };
        methods.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return In(f)->pMethods->xShmLock(In(f), o, n, fl); };
        methods.xShmBarrier = [](sqlite3_file* f) { In(f)->pMethods->xShmBarrier(In(f)); };
        methods.xShmUnmap = [](sqlite3_file* f, int d) { return In(f)->pMethods->xShmUnmap(In(f), d); };
        methods.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return In(f)->pMethods->xFetch(In(f), o, n, p); };
        methods.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) { return In(f)->pMethods->xUnfetch(In(f), o, p); };
    }

    static void Install()
    {
        real = sqlite3_vfs_find(nullptr);
        vfs = *real;
        vfs.zName = "pvfulldisk";
        vfs.szOsFile = int(sizeof(File)) + real->szOsFile;
        vfs.xOpen = Open;
        sqlite3_vfs_register(&vfs, 1);
    }
    static void Remove()
    {
        sqlite3_vfs_register(real, 1);
        sqlite3_vfs_unregister(&vfs);
    }
    static void FailFrom(long n)
    {
        writesLeft = n;
        full = false;
    }
    static void SpaceReturns()
    {
        writesLeft = -1;
        full = false;
    }
};

class TransactionTest : public DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        FullDisk::Install();
    }
    void TearDown() override
    {
        FullDisk::SpaceReturns();
        FullDisk::Remove();
        DaoTest::TearDown();
    }

    long Count(const std::string& path, const char* where)
    {
        CDaoDatabase db;
        db.Open(path.c_str(), FALSE, FALSE, kPlain);
        CDaoRecordset rs(&db);
        rs.Open(dbOpenSnapshot, (std::string("SELECT * FROM T WHERE ") + where).c_str());
        long n = 0;
        for (; !rs.IsEOF(); rs.MoveNext()) ++n;
        return n;
    }
};

const int kBatch = 200;

// Runs one transaction of kBatch inserts and its commit; returns the error it raised, or 0.
long FailingTransaction(CDaoWorkspace& ws, CDaoDatabase& db, long failAt)
{
    ws.BeginTrans();
    FullDisk::FailFrom(failAt);
    return DaoErrorOf([&] {
        for (int i = 1; i <= kBatch; ++i) db.Execute(("INSERT INTO T VALUES (" + std::to_string(i) + ")").c_str());
        ws.CommitTrans();
    });
}

}  // namespace

TEST_F(TransactionTest, FullDiskInsideATransactionLosesNothingLater)
{
    bool engineEndedOne = false;
    for (long failAt = 0;; ++failAt) {
        SCOPED_TRACE("write " + std::to_string(failAt));
        for (bool callerRollsBack : {true, false}) {
            const std::string path = MakeDb(("t" + std::to_string(failAt) + (callerRollsBack ? "r" : "c") + ".mdb").c_str(),
                                            {"CREATE TABLE T (x LONG)", "INSERT INTO T VALUES (0)"}, kPlain);
            CDaoWorkspace ws;
            ws.Open();
            auto db = std::make_unique<CDaoDatabase>(&ws);
            db->Open(path.c_str(), FALSE, FALSE, kPlain);
            const long error = FailingTransaction(ws, *db, failAt);
            FullDisk::SpaceReturns();
            if (error == 0) {  // this many writes were enough for all of it
                EXPECT_EQ(Count(path, "x > 0"), kBatch);
                EXPECT_TRUE(engineEndedOne);
                return;
            }
            EXPECT_EQ(error, JET_ERR_DISK_FULL);
            engineEndedOne = engineEndedOne || ws.PvTransactionDepth() == 0;
            if (callerRollsBack) {
                EXPECT_EQ(DaoErrorOf([&] { ws.Rollback(); }), 0);
                EXPECT_EQ(ws.PvTransactionDepth(), 0);
            } else {
                // the caller walks away: closing and opening again must still work
                db->Close();
                db = std::make_unique<CDaoDatabase>(&ws);
                db->Open(path.c_str(), FALSE, FALSE, kPlain);
            }
            // all or nothing of the failed transaction
            EXPECT_EQ(Count(path, "x > 0"), 0);
            // later changes, alone and in a transaction, reach the file
            EXPECT_EQ(DaoErrorOf([&] { db->Execute("INSERT INTO T VALUES (-1)"); }), 0);
            EXPECT_EQ(DaoErrorOf([&] {
                          ws.BeginTrans();
                          db->Execute("INSERT INTO T VALUES (-2)");
                          ws.CommitTrans();
                      }),
                      0);
            db->Close();
            EXPECT_EQ(Count(path, "x < 0"), 2);
            EXPECT_EQ(DaoErrorOf([&] { ws.Close(); }), 0);
        }
        ASSERT_LT(failAt, 100) << "the transaction never got through";
    }
}

TEST_F(TransactionTest, CommitReportsATransactionTheEngineEnded)
{
    const std::string path = MakeDb("a.mdb", {"CREATE TABLE T (x LONG)"}, kPlain);
    const std::string other = MakeDb("b.mdb", {"CREATE TABLE T (x LONG)"}, kPlain);
    CDaoWorkspace ws;
    CDaoDatabase a(&ws), b(&ws);
    a.Open(path.c_str(), FALSE, FALSE, kPlain);
    b.Open(other.c_str(), FALSE, FALSE, kPlain);
    ws.BeginTrans();
    ws.BeginTrans();
    b.Execute("INSERT INTO T VALUES (1)");
    FullDisk::FailFrom(0);
    EXPECT_EQ(DaoErrorOf([&] { a.Execute("INSERT INTO T VALUES (1)"); }), JET_ERR_DISK_FULL);
    FullDisk::SpaceReturns();
    EXPECT_EQ(ws.PvTransactionDepth(), 0);
    // the caller's two closing calls are still taken; the commit tells what happened
    EXPECT_EQ(DaoErrorOf([&] { ws.CommitTrans(); }), JET_ERR_DISK_FULL);
    EXPECT_EQ(DaoErrorOf([&] { ws.CommitTrans(); }), JET_ERR_DISK_FULL);
    EXPECT_EQ(DaoErrorOf([&] { ws.Rollback(); }), JET_ERR_COMMIT_WITHOUT_BEGIN);
    a.Close();
    b.Close();
    // the other database's part went with it: half a transaction is never committed
    EXPECT_EQ(Count(path, "x = 1"), 0);
    EXPECT_EQ(Count(other, "x = 1"), 0);
}

TEST_F(TransactionTest, CloseInsideATransactionEndsIt)
{
    const std::string path = MakeDb("a.mdb", {"CREATE TABLE T (x LONG)"}, kPlain);
    CDaoWorkspace ws;
    {
        CDaoDatabase db(&ws);
        db.Open(path.c_str(), FALSE, FALSE, kPlain);
        ws.BeginTrans();
        db.Execute("INSERT INTO T VALUES (1)");
    }
    EXPECT_EQ(ws.PvTransactionDepth(), 0);
    {
        CDaoDatabase db(&ws);
        db.Open(path.c_str(), FALSE, FALSE, kPlain);
        db.Execute("INSERT INTO T VALUES (2)");
    }
    EXPECT_EQ(Count(path, "x = 1"), 0);
    EXPECT_EQ(Count(path, "x = 2"), 1);
    EXPECT_EQ(DaoErrorOf([&] { ws.Rollback(); }), 0);
    EXPECT_EQ(DaoErrorOf([&] { ws.Rollback(); }), JET_ERR_COMMIT_WITHOUT_BEGIN);
}

TEST_F(TransactionTest, CreateThatFailsLeavesNoFile)
{
    CDaoDatabase db;
    FullDisk::FailFrom(0);
    EXPECT_EQ(DaoErrorOf([&] { db.Create(PathOf("new.mdb").c_str(), (std::string(dbLangGeneral) + kTestKey).c_str()); }),
              JET_ERR_DISK_FULL);
    FullDisk::SpaceReturns();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(PathOf("new.mdb")));
    EXPECT_FALSE(std::filesystem::exists(PathOf("new.mdb-journal")));
    EXPECT_EQ(DaoErrorOf([&] { db.Create(PathOf("new.mdb").c_str(), (std::string(dbLangGeneral) + kTestKey).c_str()); }), 0);
}

TEST_F(TransactionTest, SharedFileOutlivesTheWorkspaceThatOpenedItFirst)
{
    const std::string path = MakeDb("a.mdb", {"CREATE TABLE T (x LONG)"}, kPlain);
    CDaoDatabase later;
    {
        CDaoWorkspace ws;
        CDaoDatabase first(&ws);
        first.Open(path.c_str(), FALSE, FALSE, kPlain);
        later.Open(path.c_str(), FALSE, FALSE, kPlain);  // shares the first one's connection
        first.Close();
    }
    CDaoWorkspace::PvDefaultWorkspace()->BeginTrans();
    later.Execute("INSERT INTO T VALUES (1)");
    CDaoWorkspace::PvDefaultWorkspace()->Rollback();
    later.Close();
    EXPECT_EQ(Count(path, "x = 1"), 0);  // the change followed the remaining user's transaction
}
