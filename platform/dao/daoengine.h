#pragma once
// Inside the database layer: the SQLCipher connection behind a CDaoDatabase, values as the
// engine holds them, and the error mapping. Nothing outside platform/dao includes this.

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;
class CDaoWorkspace;

namespace pvdao {

// One value as the engine stores it.
struct DbValue {
    int kind = SQLITE_NULL;  // SQLITE_NULL, SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB
    int64_t i = 0;
    double d = 0;
    std::string s;           // text or blob bytes

    bool IsNull() const { return kind == SQLITE_NULL; }
    static DbValue FromColumn(sqlite3_stmt* st, int col);
    void Bind(sqlite3_stmt* st, int param) const;
    bool operator==(const DbValue& o) const;
};

// Something that holds a live statement on a connection and can finish reading it.
class LiveCursor {
public:
    virtual ~LiveCursor() = default;
    virtual void DrainLive() = 0;
};

class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    virtual ~Connection();

    sqlite3* db = nullptr;
    std::string path;
    bool readOnly = false;
    bool exclusive = false;
    // Bumped by every change made through this connection; cached rows older than it are
    // re-read before they are shown again.
    uint64_t generation = 1;
    // Savepoints this connection holds for its workspace's transaction levels.
    int savepoints = 0;
    // The workspace whose transactions this connection follows: its first user's, then that
    // of a user still open when that one closes.
    CDaoWorkspace* workspace = nullptr;
    std::vector<CDaoDatabase*> users;
    std::vector<LiveCursor*> cursors;
    std::vector<std::pair<std::string, sqlite3_stmt*>> cache;

    // Finishes reading every live statement and opens the workspace's pending savepoints;
    // call before any statement that writes.
    void BeforeWrite();
    // The engine rolls a whole transaction back on its own after some failures (a full
    // disk, an I/O error, no memory): our savepoints are then gone with it.
    bool EngineEndedTransaction() const { return savepoints > 0 && db && sqlite3_get_autocommit(db); }
    // Tells the workspace when the engine has ended the transaction; cause is the error
    // that did it.
    void NoteEngineState(long lCause, const std::string& strCause);
    // Ends this connection's part of the transaction, whatever state the engine is in.
    void AbandonTransaction() noexcept;
    void AfterWrite() { ++generation; }
    void DrainAll();
    void Register(LiveCursor* c) { cursors.push_back(c); }
    void Unregister(LiveCursor* c);

    // Prepares translated SQL; throws the Jet error for the failure, naming jetText.
    sqlite3_stmt* Prepare(const std::string& sqliteSql, const std::string& jetText);
    // A prepared statement kept for reuse (reset, bindings cleared); owned by the connection.
    sqlite3_stmt* Cached(const std::string& sqliteSql, const std::string& jetText);
    void FinalizeCached();
    // Runs a statement that returns no rows; throws on failure.
    void Exec(const std::string& sqliteSql, const std::string& jetText);
    [[noreturn]] void Fail(int rc, const std::string& jetText);
};

// Throws the Jet error that matches an SQLite failure.
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, const std::string& jetText);

// A statement that finalizes itself.
struct Stmt {
    sqlite3_stmt* st = nullptr;
    Stmt() = default;
    explicit Stmt(sqlite3_stmt* s) : st(s) {}
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt(Stmt&& o) noexcept : st(o.st) { o.st = nullptr; }
    Stmt& operator=(Stmt&& o) noexcept
    {
        if (this != &o) {
            reset(nullptr);
            st = o.st;
            o.st = nullptr;
        }
        return *this;
    }
    ~Stmt() { reset(nullptr); }
    void reset(sqlite3_stmt* s)
    {
        if (st) sqlite3_finalize(st);
        st = s;
    }
    operator sqlite3_stmt*() const { return st; }
};

// DAO type and size from a declared column type (TEXT(50), LONG, MEMO, ...); the storage
// class of a value decides for columns without one.
struct DaoType {
    short type = 10;
    long size = 255;
};
DaoType DaoTypeFromDecl(const char* decl, int storageClassIfNoDecl);

// Text size in characters (UTF-8), for the field-size check.
size_t CharCount(std::string_view s);

std::string ToSqlitePath(const char* path);

}  // namespace pvdao

namespace pvdao {

struct ColumnDesc {
    std::string name, decl, dflt;
    bool notNull = false;
    int pk = 0;
};
struct IndexDesc {
    std::string name;      // as the program names it
    std::string physical;  // as the engine stores it ("table.name")
    bool unique = false, primary = false;
    std::vector<std::pair<std::string, bool>> cols;  // column, descending
};
// The table's real name (case as created), or empty when there is none.
std::string FindTable(Connection& c, const std::string& name);
std::vector<ColumnDesc> ListColumns(Connection& c, const std::string& table);
std::vector<IndexDesc> ListIndexes(Connection& c, const std::string& table);

}  // namespace pvdao
