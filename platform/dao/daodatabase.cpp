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

// How long an open waits for another program's write to finish.
const int kBusyWaitMs = 250;

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

std::string TrimBlanks(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The password of a connect string (or of Create's locale) as Jet reads it: a database type
// (none, or "MS Access"), then ";KEY=value" parts, blanks around keys, values and '=' and
// the case of keys ignored. What cannot be read is refused with lError: a password
// misread would key the file differently or not at all.
std::string ConnectPassword(const char* connect, long lError, const char* description)
{
    const std::string s = connect ? connect : "";
    std::string password;
    size_t start = 0;
    for (bool first = true; start <= s.size(); first = false) {
        size_t end = s.find(';', start);
        if (end == std::string::npos) end = s.size();
        const std::string part = TrimBlanks(s.substr(start, end - start));
        start = end + 1;
        const size_t eq = part.find('=');
        if (part.empty()) continue;
        if (eq == std::string::npos) {
            if (first && PvCompareNoCase(part, "MS Access") == 0) continue;
            PvThrowDaoError(lError, description);
        }
        const std::string key = TrimBlanks(part.substr(0, eq));
        if (key.empty()) PvThrowDaoError(lError, description);
        if (PvCompareNoCase(key, "PWD") == 0) password = TrimBlanks(part.substr(eq + 1));
    }
    return password;
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

// Text columns are declared NOCASE; the engine's own NOCASE folds ASCII letters only, so
// it is replaced by the program's one rule for comparing and ordering text.
int CollateNoCase(void*, int na, const void* a, int nb, const void* b)
{
    return PvCollateNoCase(std::string_view(static_cast<const char*>(a), size_t(na)),
                           std::string_view(static_cast<const char*>(b), size_t(nb)));
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

// The engine opens a file that refuses writing read-only, and the connection stays so after the
// file takes writes again; a database opened for writing then gets a connection of its own.
bool StaleReadOnly(const pvdao::Connection& c)
{
    if (!c.readOnly)
        return false;
    const size_t slash = c.path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : c.path.substr(0, slash);
    struct stat sb;
    return stat(c.path.c_str(), &sb) == 0 && (sb.st_mode & 0222) != 0 && access(c.path.c_str(), W_OK) == 0 &&
           access(dir.c_str(), W_OK) == 0;
}

std::shared_ptr<pvdao::Connection> FindShared(dev_t dev, ino_t ino, const std::string& key, bool readOnly)
{
    std::lock_guard<std::mutex> guard(g_lockMutex);
    g_shared.erase(std::remove_if(g_shared.begin(), g_shared.end(), [](const SharedConnection& s) { return s.conn.expired(); }),
                   g_shared.end());
    for (const SharedConnection& s : g_shared) {
        if (s.dev != dev || s.ino != ino || s.key != key || s.readOnly != readOnly)
            continue;
        std::shared_ptr<pvdao::Connection> conn = s.conn.lock();
        if (conn && (readOnly || !StaleReadOnly(*conn)))
            return conn;
    }
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
    for (CDaoDatabase* db : std::vector<CDaoDatabase*>(m_databases)) {
        if (pvdao::Connection* c = db->PvConnection(); c && c->workspace == this) c->workspace = nullptr;
        db->m_pWorkspace = nullptr;
    }
}

void CDaoWorkspace::Open(LPCTSTR lpszName)
{
    m_strName = lpszName ? lpszName : "#Default Workspace#";
    m_bOpen = TRUE;
}

void CDaoWorkspace::Close()
{
    while (m_nTransDepth > 0) Rollback();
    m_nEndedLevels = 0;
    m_lEndedError = 0;
    m_bOpen = FALSE;
}

void CDaoWorkspace::PvAttach(CDaoDatabase* db) { m_databases.push_back(db); }

void CDaoWorkspace::PvDetach(CDaoDatabase* db)
{
    m_databases.erase(std::remove(m_databases.begin(), m_databases.end(), db), m_databases.end());
    // With no database left nothing can be committed; a level left open would wrap every
    // later change in a savepoint that nobody releases.
    if (m_databases.empty() && m_nTransDepth > 0) {
        m_nEndedLevels += m_nTransDepth;
        m_nTransDepth = 0;
    }
}

std::vector<pvdao::Connection*> CDaoWorkspace::Connections() const
{
    std::vector<pvdao::Connection*> list;
    for (CDaoDatabase* db : m_databases) {
        pvdao::Connection* c = db->PvConnection();
        if (c && std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    }
    return list;
}

void CDaoWorkspace::PvTransactionLost(long lError, const CString& strDescription)
{
    if (m_nTransDepth == 0) return;
    m_nEndedLevels += m_nTransDepth;
    m_nTransDepth = 0;
    if (m_lEndedError == 0) {
        m_lEndedError = lError;
        m_strEndedError = strDescription;
    }
    // What the other databases changed in it goes too: committing half would be worse.
    for (pvdao::Connection* c : Connections()) c->AbandonTransaction();
}

void CDaoWorkspace::CloseEndedLevel(bool commit)
{
    if (m_nEndedLevels == 0)
        PvThrowDaoError(JET_ERR_COMMIT_WITHOUT_BEGIN, "You tried to commit or rollback a transaction without first beginning a transaction.");
    const long error = m_lEndedError;
    const CString description = m_strEndedError;
    if (--m_nEndedLevels == 0) m_lEndedError = 0;
    if (commit && error != 0) PvThrowDaoError(error, description.str());
}

void CDaoWorkspace::BeginTrans()
{
    // Each connection opens its savepoint lazily, right before its first change, so a
    // transaction costs nothing on databases it never writes.
    ++m_nTransDepth;
}

void CDaoWorkspace::CommitTrans()
{
    if (m_nTransDepth == 0) return CloseEndedLevel(true);
    const int level = m_nTransDepth;
    for (pvdao::Connection* c : Connections()) {
        if (c->savepoints < level) continue;
        c->DrainAll();
        const std::string sp = "RELEASE pv_trans" + std::to_string(level);
        // On failure the level stays for the caller's Rollback, open or ended by the engine.
        c->Exec(sp, sp);
        --c->savepoints;
    }
    --m_nTransDepth;
}

void CDaoWorkspace::RollbackLevel(pvdao::Connection* c, int level) noexcept
{
    const std::string name = "pv_trans" + std::to_string(level);
    try {
        c->DrainAll();
        c->Exec("ROLLBACK TO " + name, "ROLLBACK");
        c->Exec("RELEASE " + name, "ROLLBACK");
        c->savepoints = level - 1;
        c->AfterWrite();
    } catch (CDaoException& e) {
        // Could not go back to the savepoint: the whole transaction goes instead.
        if (c->savepoints == 0) return;  // the engine already ended it, and said so
        const bool outerLevels = level > 1;
        c->AbandonTransaction();
        if (outerLevels) PvTransactionLost(e.m_pErrorInfo->m_lErrorCode, e.m_pErrorInfo->m_strDescription);
    }
}

void CDaoWorkspace::Rollback()
{
    if (m_nTransDepth == 0) return CloseEndedLevel(false);
    const int level = m_nTransDepth--;  // the level ends whatever the engine answers
    for (pvdao::Connection* c : Connections())
        if (c->savepoints >= level) RollbackLevel(c, level);
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
    const std::string key = ConnectPassword(lpszConnect, JET_ERR_NO_ISAM, "Could not find installable ISAM.");
    m_strConnect = lpszConnect ? lpszConnect : "";
    OpenFile(lpszName, bExclusive, bReadOnly, key, false);
}

void CDaoDatabase::Create(LPCTSTR lpszName, LPCTSTR lpszLocale, int dwOptions)
{
    (void)dwOptions;
    Close();
    const std::string key = ConnectPassword(lpszLocale, JET_ERR_INVALID_ARGUMENT, "Invalid argument.");
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
                m_pConn->users.push_back(this);
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
    try {
        Connect(*conn, key, create);
        if (create) AcquireLock(path, bExclusive, hold->dev, hold->ino);
    } catch (CDaoException&) {
        if (create) {
            // A half-made file would open later as an empty database.
            conn.reset();
            unlink(path.c_str());
            unlink((path + "-journal").c_str());
        }
        throw;
    }

    if (!bExclusive) AddShared(hold->dev, hold->ino, key, bReadOnly, conn);
    conn->users.push_back(this);
    m_pConn = std::move(conn);
    m_pLock = std::move(hold);
    m_strName = name;
    if (m_pWorkspace) m_pWorkspace->PvAttach(this);
}

void CDaoDatabase::Connect(pvdao::Connection& conn, const std::string& key, bool create)
{
    const std::string& path = conn.path;
    int flags = (conn.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    auto openConnection = [&](bool withKey) {
        if (conn.db) {
            sqlite3_close_v2(conn.db);
            conn.db = nullptr;
        }
        int rc = sqlite3_open_v2(path.c_str(), &conn.db, flags, nullptr);
        if (rc != SQLITE_OK) {
            if (create)
                PvThrowDaoError(JET_ERR_INVALID_PATH, "'" + path + "' is not a valid path.  Make sure that the path name is spelled correctly "
                                      "and that you are connected to the server on which the file resides.");
            pvdao::ThrowSqlite(conn.db, rc, path);
        }
        if (withKey && !key.empty() && (rc = sqlite3_key(conn.db, key.data(), int(key.size()))) != SQLITE_OK)
            pvdao::ThrowSqlite(conn.db, rc, path);
        sqlite3_create_collation_v2(conn.db, "NOCASE", SQLITE_UTF8, nullptr, CollateNoCase, nullptr);
        // Another program's brief write passes; a long one is the file being in use.
        sqlite3_busy_timeout(conn.db, kBusyWaitMs);
    };
    openConnection(true);
    if (create) {
        // Writing the header makes the file a keyed database now, not on first use.
        conn.Exec("PRAGMA user_version = 1", "CREATE DATABASE");
        if (!key.empty() && HasPlainHeader(path))
            PvThrowDaoError(JET_ERR_RESERVED, "The database engine could not encrypt '" + path + "'.");
    }

    // A wrong key shows only when the first page is read.
    auto probe = [&]() {
        pvdao::Stmt st;
        int rc = sqlite3_prepare_v2(conn.db, "SELECT count(*) FROM sqlite_master", -1, &st.st, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(st) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(conn.db);
        return rc;
    };
    int rc = probe();
    if ((rc & 0xff) == SQLITE_NOTADB && !key.empty() && HasPlainHeader(path)) {
        // A file without a password opens with any password, as Jet's did.
        openConnection(false);
        rc = probe();
    }
    if ((rc & 0xff) == SQLITE_BUSY) ThrowExclusive();
    if (rc != SQLITE_OK) pvdao::ThrowSqlite(conn.db, rc, path);

    // A read-only file (no write permission for anyone, as the read-only attribute, which
    // holds for administrators too), or a file or folder we may not write, makes a read-only
    // database from the start rather than one whose every change fails.
    struct stat sb;
    const bool haveStat = stat(path.c_str(), &sb) == 0;
    if (!conn.readOnly) {
        const size_t slash = path.rfind('/');
        const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        conn.readOnly = sqlite3_db_readonly(conn.db, "main") == 1 || (haveStat && (sb.st_mode & 0222) == 0) ||
                        access(path.c_str(), W_OK) != 0 || access(dir.c_str(), W_OK) != 0;
    }

    // A page cache that holds the whole file (up to 256 MiB): every page is decrypted once.
    if (haveStat) {
        long long kib = (long long)(sb.st_size / 1024);
        kib = std::min(kib + kib / 8 + 2048, 262144LL);
        conn.Exec("PRAGMA cache_size = -" + std::to_string(kib), "PRAGMA cache_size");
    }
    sqlite3_create_function(conn.db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, JetLikeFunction, nullptr, nullptr);
}

void CDaoDatabase::Close()
{
    if (!m_pConn) return;
    for (CDaoRecordset* rs : std::vector<CDaoRecordset*>(m_recordsets)) rs->Close();
    for (CDaoTableDef* td : std::vector<CDaoTableDef*>(m_tabledefs)) td->Close();
    m_recordsets.clear();
    m_tabledefs.clear();
    // The last user of a connection takes its uncommitted changes with it; the workspace's
    // transaction cannot be committed whole any more.
    if (m_pConn.use_count() == 1 && m_pConn->savepoints > 0) {
        m_pConn->AbandonTransaction();
        if (m_pWorkspace)
            m_pWorkspace->PvTransactionLost(JET_ERR_COMMIT_WITHOUT_BEGIN, "You tried to commit or rollback a transaction without first beginning a transaction.");
    }
    if (m_pWorkspace) m_pWorkspace->PvDetach(this);
    auto& users = m_pConn->users;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
    if (m_pConn->workspace == m_pWorkspace) m_pConn->workspace = users.empty() ? nullptr : users.front()->m_pWorkspace;
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
