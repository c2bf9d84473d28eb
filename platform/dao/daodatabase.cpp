#include "platform/dao/daodatabase.h"

#include "platform/dao/daoengine.h"
#include "platform/dao/daorecordset.h"
#include "platform/dao/daotabledef.h"
#include "platform/dao/jetsql.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Exclusive opens: flock() on a descriptor of our own. flock locks belong to the open file
// description, so they also conflict between two opens inside this process; the table
// below answers those cases without a system call and keeps one descriptor per file, which
// is closed only after the last connection to the file is gone (closing any descriptor of
// a file drops the process's fcntl locks on it, which the engine itself relies on).
struct FileLock {
    dev_t dev;
    ino_t ino;
    int fd;
    int users;
    bool exclusive;
};
std::mutex g_lockMutex;
std::vector<FileLock> g_locks;

std::string HostName()
{
    char buf[256] = {0};
    if (gethostname(buf, sizeof buf - 1) != 0) return "localhost";
    return buf;
}

[[noreturn]] void ThrowExclusive()
{
    PvThrowDaoError(JET_ERR_EXCLUSIVE, "You attempted to open a database that is already opened exclusively by user 'Admin' on machine '" +
                                           HostName() + "'.  Try again when the database is available.");
}

[[noreturn]] void ThrowInUse(const std::string& path)
{
    PvThrowDaoError(JET_ERR_FILE_IN_USE, "Could not use '" + path + "'; file already in use.");
}

void AcquireLock(const std::string& path, bool exclusive, dev_t& dev, ino_t& ino)
{
    struct stat sb;
    if (stat(path.c_str(), &sb) != 0) PvThrowDaoError(JET_ERR_FILE_NOT_FOUND, "Could not find file '" + path + "'.");
    std::lock_guard<std::mutex> guard(g_lockMutex);
    for (FileLock& l : g_locks) {
        if (l.dev == sb.st_dev && l.ino == sb.st_ino) {
            if (l.exclusive) ThrowExclusive();
            if (exclusive) ThrowInUse(path);
            ++l.users;
            dev = l.dev;
            ino = l.ino;
            return;
        }
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        PvThrowDaoError(3051, "The database engine cannot open the file '" + path +
                                  "'.  It is already opened exclusively by another user, or you need permission to view its data.");
    if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        bool sharedElsewhere = false;
        if (exclusive && flock(fd, LOCK_SH | LOCK_NB) == 0) sharedElsewhere = true;
        close(fd);
        if (sharedElsewhere) ThrowInUse(path);
        ThrowExclusive();
    }
    g_locks.push_back({sb.st_dev, sb.st_ino, fd, 1, exclusive});
    dev = sb.st_dev;
    ino = sb.st_ino;
}

void ReleaseLock(dev_t dev, ino_t ino)
{
    std::lock_guard<std::mutex> guard(g_lockMutex);
    for (size_t i = 0; i < g_locks.size(); ++i) {
        if (g_locks[i].dev == dev && g_locks[i].ino == ino) {
            if (--g_locks[i].users == 0) {
                close(g_locks[i].fd);
                g_locks.erase(g_locks.begin() + long(i));
            }
            return;
        }
    }
}

// The value of one key of a ";KEY=value;..." string, or empty.
std::string ConnectValue(const char* connect, const char* key)
{
    if (!connect) return {};
    const std::string s = connect;
    const std::string want = PvUpperCase(key) + "=";
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(';', start);
        if (end == std::string::npos) end = s.size();
        std::string part = s.substr(start, end - start);
        size_t b = part.find_first_not_of(' ');
        if (b != std::string::npos) part = part.substr(b);
        if (part.size() >= want.size() && PvUpperCase(part.substr(0, want.size())) == want) return part.substr(want.size());
        start = end + 1;
    }
    return {};
}

void JetLikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    (void)argc;
    // like(pattern, value), the form SQLite calls for "value LIKE pattern"
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int pn = sqlite3_value_bytes(argv[0]);
    const char* v = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int vn = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(ctx, pvjet::JetLike(std::string_view(p ? p : "", size_t(pn)), std::string_view(v ? v : "", size_t(vn))));
}

bool HasPlainHeader(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[16] = {0};
    const ssize_t n = read(fd, buf, sizeof buf);
    close(fd);
    return n == 16 && std::memcmp(buf, "SQLite format 3", 16) == 0;
}

}  // namespace

namespace pvdao {
// One registration in the lock table, released when the database lets go of the file.
struct LockHold {
    dev_t dev{};
    ino_t ino{};
    ~LockHold() { ReleaseLock(dev, ino); }
};
}  // namespace pvdao

namespace {

struct SharedConnection {
    dev_t dev;
    ino_t ino;
    std::string key;
    bool readOnly;
    std::weak_ptr<pvdao::Connection> conn;
};
std::vector<SharedConnection> g_shared;  // guarded by g_lockMutex

std::shared_ptr<pvdao::Connection> FindShared(dev_t dev, ino_t ino, const std::string& key, bool readOnly)
{
    std::lock_guard<std::mutex> guard(g_lockMutex);
    g_shared.erase(std::remove_if(g_shared.begin(), g_shared.end(), [](const SharedConnection& s) { return s.conn.expired(); }),
                   g_shared.end());
    for (const SharedConnection& s : g_shared)
        if (s.dev == dev && s.ino == ino && s.key == key && s.readOnly == readOnly) return s.conn.lock();
    return nullptr;
}

void AddShared(dev_t dev, ino_t ino, const std::string& key, bool readOnly, const std::shared_ptr<pvdao::Connection>& c)
{
    std::lock_guard<std::mutex> guard(g_lockMutex);
    g_shared.push_back({dev, ino, key, readOnly, c});
}

}  // namespace

// ---------------------------------------------------------------------------------------
// CDaoWorkspace

CDaoWorkspace* CDaoWorkspace::PvDefaultWorkspace()
{
    static CDaoWorkspace ws;
    return &ws;
}

CDaoWorkspace::~CDaoWorkspace()
{
    for (CDaoDatabase* db : std::vector<CDaoDatabase*>(m_databases)) db->m_pWorkspace = nullptr;
}

void CDaoWorkspace::Open(LPCTSTR lpszName)
{
    m_strName = lpszName ? lpszName : "#Default Workspace#";
    m_bOpen = TRUE;
}

void CDaoWorkspace::Close()
{
    while (m_nTransDepth > 0) Rollback();
    m_bOpen = FALSE;
}

void CDaoWorkspace::PvAttach(CDaoDatabase* db) { m_databases.push_back(db); }

void CDaoWorkspace::PvDetach(CDaoDatabase* db)
{
    m_databases.erase(std::remove(m_databases.begin(), m_databases.end(), db), m_databases.end());
}

void CDaoWorkspace::BeginTrans()
{
    // Each connection opens its savepoint lazily, right before its first change, so a
    // transaction costs nothing on databases it never writes.
    ++m_nTransDepth;
}

void CDaoWorkspace::CommitTrans()
{
    if (m_nTransDepth == 0)
        PvThrowDaoError(JET_ERR_COMMIT_WITHOUT_BEGIN, "You tried to commit or rollback a transaction without first beginning a transaction.");
    std::vector<pvdao::Connection*> done;
    for (CDaoDatabase* db : m_databases) {
        pvdao::Connection* c = db->PvConnection();
        if (!c || c->savepoints < m_nTransDepth || std::find(done.begin(), done.end(), c) != done.end()) continue;
        done.push_back(c);
        c->DrainAll();
        const std::string sp = "RELEASE pv_trans" + std::to_string(m_nTransDepth);
        c->Exec(sp, sp);
        --c->savepoints;
    }
    --m_nTransDepth;
}

void CDaoWorkspace::Rollback()
{
    if (m_nTransDepth == 0)
        PvThrowDaoError(JET_ERR_COMMIT_WITHOUT_BEGIN, "You tried to commit or rollback a transaction without first beginning a transaction.");
    std::vector<pvdao::Connection*> done;
    for (CDaoDatabase* db : m_databases) {
        pvdao::Connection* c = db->PvConnection();
        if (!c || c->savepoints < m_nTransDepth || std::find(done.begin(), done.end(), c) != done.end()) continue;
        done.push_back(c);
        c->DrainAll();
        const std::string name = "pv_trans" + std::to_string(m_nTransDepth);
        c->Exec("ROLLBACK TO " + name, "ROLLBACK");
        c->Exec("RELEASE " + name, "ROLLBACK");
        --c->savepoints;
        c->AfterWrite();
    }
    --m_nTransDepth;
}

// ---------------------------------------------------------------------------------------
// CDaoDatabase

CDaoDatabase::CDaoDatabase(CDaoWorkspace* pWorkspace)
    : m_pWorkspace(pWorkspace ? pWorkspace : CDaoWorkspace::PvDefaultWorkspace())
{
}

CDaoDatabase::~CDaoDatabase() { Close(); }

pvdao::Connection& CDaoDatabase::PvRequireOpen() const
{
    if (!m_pConn) PvThrowDaoError(JET_ERR_OBJECT_CLOSED, "Object invalid or no longer set: the database is not open.");
    return *m_pConn;
}

void CDaoDatabase::PvDetach(CDaoRecordset* rs) { m_recordsets.erase(std::remove(m_recordsets.begin(), m_recordsets.end(), rs), m_recordsets.end()); }

void CDaoDatabase::PvDetach(CDaoTableDef* td) { m_tabledefs.erase(std::remove(m_tabledefs.begin(), m_tabledefs.end(), td), m_tabledefs.end()); }

BOOL CDaoDatabase::CanUpdate() const { return m_pConn && !m_pConn->readOnly; }

void CDaoDatabase::Open(LPCTSTR lpszName, BOOL bExclusive, BOOL bReadOnly, LPCTSTR lpszConnect)
{
    Close();
    m_strConnect = lpszConnect ? lpszConnect : "";
    OpenFile(lpszName, bExclusive, bReadOnly, ConnectValue(lpszConnect, "PWD"), false);
}

void CDaoDatabase::Create(LPCTSTR lpszName, LPCTSTR lpszLocale, int dwOptions)
{
    (void)dwOptions;
    Close();
    const std::string key = ConnectValue(lpszLocale, "PWD");
    m_strConnect = key.empty() ? "" : CString((";PWD=" + key).c_str());
    OpenFile(lpszName, FALSE, FALSE, key, true);
}

void CDaoDatabase::OpenFile(const char* name, BOOL bExclusive, BOOL bReadOnly, const std::string& key, bool create)
{
    const std::string path = pvdao::ToSqlitePath(name);
    if (path.empty()) PvThrowDaoError(JET_ERR_FILE_NOT_FOUND, "Could not find file ''.");
    struct stat sb;
    if (create) {
        if (stat(path.c_str(), &sb) == 0) PvThrowDaoError(JET_ERR_DB_EXISTS, "Database already exists: '" + path + "'.");
    } else if (stat(path.c_str(), &sb) != 0 || S_ISDIR(sb.st_mode)) {
        PvThrowDaoError(JET_ERR_FILE_NOT_FOUND, "Could not find file '" + path + "'.");
    }

    auto hold = std::make_unique<pvdao::LockHold>();
    if (!create) {
        AcquireLock(path, bExclusive, hold->dev, hold->ino);
        if (!bExclusive) {
            if (auto shared = FindShared(hold->dev, hold->ino, key, bReadOnly)) {
                m_pConn = std::move(shared);
                m_pLock = std::move(hold);
                m_strName = name;
                if (m_pWorkspace) m_pWorkspace->PvAttach(this);
                return;
            }
        }
    }
    auto conn = std::make_shared<pvdao::Connection>();
    conn->path = path;
    conn->exclusive = bExclusive;
    conn->readOnly = bReadOnly;
    conn->workspace = m_pWorkspace;

    int flags = (bReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    auto openConnection = [&](bool withKey) {
        if (conn->db) {
            sqlite3_close_v2(conn->db);
            conn->db = nullptr;
        }
        const int rc = sqlite3_open_v2(path.c_str(), &conn->db, flags, nullptr);
        if (rc != SQLITE_OK) {
            if (create)
                PvThrowDaoError(3044, "'" + path + "' is not a valid path.  Make sure that the path name is spelled correctly "
                                      "and that you are connected to the server on which the file resides.");
            pvdao::ThrowSqlite(conn->db, rc, path);
        }
        if (withKey && !key.empty()) sqlite3_key(conn->db, key.data(), int(key.size()));
    };
    openConnection(true);
    if (create) {
        // Writing the header makes the file a keyed database now, not on first use.
        conn->Exec("PRAGMA user_version = 1", "CREATE DATABASE");
        AcquireLock(path, bExclusive, hold->dev, hold->ino);
    }

    // A wrong key shows only when the first page is read.
    auto probe = [&]() {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(conn->db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(st) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(conn->db);
        sqlite3_finalize(st);
        return rc;
    };
    int rc = probe();
    if ((rc & 0xff) == SQLITE_NOTADB && !key.empty() && HasPlainHeader(path)) {
        // A file without a password opens with any password, as Jet's did.
        openConnection(false);
        rc = probe();
    }
    if (rc != SQLITE_OK) pvdao::ThrowSqlite(conn->db, rc, path);

    // A page cache that holds the whole file (up to 256 MiB): every page is decrypted once.
    if (stat(path.c_str(), &sb) == 0) {
        long long kib = (long long)(sb.st_size / 1024);
        kib = std::min(kib + kib / 8 + 2048, 262144LL);
        conn->Exec("PRAGMA cache_size = -" + std::to_string(kib), "PRAGMA cache_size");
    }
    sqlite3_create_function(conn->db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, JetLikeFunction, nullptr, nullptr);

    sqlite3_busy_timeout(conn->db, 250);  // another program's brief write

    if (!bExclusive) AddShared(hold->dev, hold->ino, key, bReadOnly, conn);
    m_pConn = std::move(conn);
    m_pLock = std::move(hold);
    m_strName = name;
    if (m_pWorkspace) m_pWorkspace->PvAttach(this);
}

void CDaoDatabase::Close()
{
    if (!m_pConn) return;
    for (CDaoRecordset* rs : std::vector<CDaoRecordset*>(m_recordsets)) rs->Close();
    for (CDaoTableDef* td : std::vector<CDaoTableDef*>(m_tabledefs)) td->Close();
    m_recordsets.clear();
    m_tabledefs.clear();
    if (m_pWorkspace) m_pWorkspace->PvDetach(this);
    m_pConn.reset();  // the connection closes before the file's lock goes
    m_pLock.reset();
}

void CDaoDatabase::Execute(LPCTSTR lpszSQL, int nOptions)
{
    (void)nOptions;  // failures always raise: a half-done change reported as success helps nobody
    pvdao::Connection& c = PvRequireOpen();
    const std::string jet = lpszSQL ? lpszSQL : "";
    const pvjet::Translation tr = pvjet::Translate(jet);
    if (!tr.error.empty()) PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (" + tr.error + ") in query expression '" + jet + "'.");
    if (tr.verb == "SELECT") {
        std::vector<pvjet::Token> toks;
        pvjet::Tokenize(jet, toks);
        bool into = false;
        for (const auto& t : toks) into = into || pvjet::IsWord(t, "INTO");
        if (!into) PvThrowDaoError(JET_ERR_SELECT_NOT_EXECUTABLE, "Cannot execute a select query.");
    }
    c.BeforeWrite();
    pvdao::Stmt st(c.Prepare(tr.sql, jet));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    c.AfterWrite();
    if (rc != SQLITE_DONE) c.Fail(rc, jet);
    m_lRecordsAffected = sqlite3_changes(c.db);
}

short CDaoDatabase::GetTableDefCount()
{
    pvdao::Connection& c = PvRequireOpen();
    pvdao::Stmt st(c.Prepare("SELECT count(*) FROM sqlite_master WHERE type='table' AND substr(name,1,7)<>'sqlite_'", "TableDefs"));
    return sqlite3_step(st) == SQLITE_ROW ? short(sqlite3_column_int(st, 0)) : 0;
}

void CDaoDatabase::GetTableDefInfo(int nIndex, CDaoTableDefInfo& info, DWORD dwInfoOptions)
{
    pvdao::Connection& c = PvRequireOpen();
    pvdao::Stmt st(c.Prepare("SELECT name FROM sqlite_master WHERE type='table' AND substr(name,1,7)<>'sqlite_' ORDER BY rowid "
                             "LIMIT 1 OFFSET ?",
                             "TableDefs"));
    if (nIndex < 0) PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: table number " + std::to_string(nIndex) + ".");
    sqlite3_bind_int(st, 1, nIndex);
    if (sqlite3_step(st) != SQLITE_ROW)
        PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: table number " + std::to_string(nIndex) + ".");
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    GetTableDefInfo(name.c_str(), info, dwInfoOptions);
}

void CDaoDatabase::GetTableDefInfo(LPCTSTR lpszName, CDaoTableDefInfo& info, DWORD dwInfoOptions)
{
    CDaoTableDef td(this);
    td.Open(lpszName);
    info = CDaoTableDefInfo();
    info.m_strName = td.GetName();
    info.m_bUpdatable = CanUpdate();
    if (dwInfoOptions & AFX_DAO_SECONDARY_INFO) info.m_lRecordCount = td.GetRecordCount();
}

void CDaoDatabase::DeleteTableDef(LPCTSTR lpszName)
{
    pvdao::Connection& c = PvRequireOpen();
    CDaoTableDef td(this);
    td.Open(lpszName);  // 3265 when there is no such table
    const std::string name = CString(td.GetName()).str();
    td.Close();
    c.BeforeWrite();
    const std::string jet = "DROP TABLE " + pvjet::QuoteName(name);
    c.Exec(jet, jet);
    c.AfterWrite();
}
