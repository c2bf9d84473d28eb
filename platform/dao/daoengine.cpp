#include "platform/dao/daoengine.h"

#include "platform/dao/daodatabase.h"
#include "platform/dao/daoexcept.h"
#include "platform/dao/jetsql.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace pvdao {

DbValue DbValue::FromColumn(sqlite3_stmt* st, int col)
{
    DbValue v;
    v.kind = sqlite3_column_type(st, col);
    switch (v.kind) {
    case SQLITE_INTEGER: v.i = sqlite3_column_int64(st, col); break;
    case SQLITE_FLOAT: v.d = sqlite3_column_double(st, col); break;
    case SQLITE_TEXT: {
        const unsigned char* p = sqlite3_column_text(st, col);
        v.s.assign(reinterpret_cast<const char*>(p), size_t(sqlite3_column_bytes(st, col)));
        break;
    }
    case SQLITE_BLOB: {
        const void* p = sqlite3_column_blob(st, col);
        const int n = sqlite3_column_bytes(st, col);
        if (p && n > 0) v.s.assign(static_cast<const char*>(p), size_t(n));
        break;
    }
    default: v.kind = SQLITE_NULL; break;
    }
    return v;
}

void DbValue::Bind(sqlite3_stmt* st, int param) const
{
    switch (kind) {
    case SQLITE_INTEGER: sqlite3_bind_int64(st, param, i); break;
    case SQLITE_FLOAT: sqlite3_bind_double(st, param, d); break;
    case SQLITE_TEXT: sqlite3_bind_text(st, param, s.data(), int(s.size()), SQLITE_TRANSIENT); break;
    case SQLITE_BLOB: sqlite3_bind_blob(st, param, s.data(), int(s.size()), SQLITE_TRANSIENT); break;
    default: sqlite3_bind_null(st, param); break;
    }
}

bool DbValue::operator==(const DbValue& o) const
{
    if (kind != o.kind) return false;
    switch (kind) {
    case SQLITE_INTEGER: return i == o.i;
    case SQLITE_FLOAT: return d == o.d;
    case SQLITE_TEXT:
    case SQLITE_BLOB: return s == o.s;
    default: return true;
    }
}

Connection::~Connection()
{
    FinalizeCached();
    if (db) sqlite3_close_v2(db);
}

sqlite3_stmt* Connection::Cached(const std::string& sql, const std::string& jetText)
{
    for (auto& e : cache) {
        if (e.first == sql) {
            sqlite3_reset(e.second);
            sqlite3_clear_bindings(e.second);
            return e.second;
        }
    }
    sqlite3_stmt* st = Prepare(sql, jetText);
    if (cache.size() >= 32) {
        sqlite3_finalize(cache.front().second);
        cache.erase(cache.begin());
    }
    cache.emplace_back(sql, st);
    return st;
}

void Connection::FinalizeCached()
{
    for (auto& e : cache) sqlite3_finalize(e.second);
    cache.clear();
}

void Connection::Unregister(LiveCursor* c)
{
    cursors.erase(std::remove(cursors.begin(), cursors.end(), c), cursors.end());
}

void Connection::DrainAll()
{
    // A copy: draining never registers or unregisters, but stay safe against it.
    std::vector<LiveCursor*> list = cursors;
    for (LiveCursor* c : list) c->DrainLive();
}

void Connection::BeforeWrite()
{
    if (readOnly) PvThrowDaoError(JET_ERR_READ_ONLY, "Cannot update.  Database or object is read-only.");
    DrainAll();
    // A transaction the engine dropped earlier must not swallow this change.
    NoteEngineState(JET_ERR_RESERVED, "The transaction was rolled back by the database engine.");
    const int depth = workspace ? workspace->PvTransactionDepth() : 0;
    while (savepoints < depth) {
        const std::string sp = "SAVEPOINT pv_trans" + std::to_string(savepoints + 1);
        Exec(sp, sp);
        ++savepoints;
    }
}

sqlite3_stmt* Connection::Prepare(const std::string& sql, const std::string& jetText)
{
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &st, &tail);
    if (rc != SQLITE_OK) {
        if (st) sqlite3_finalize(st);
        Fail(rc, jetText);
    }
    if (st == nullptr) PvThrowDaoError(JET_ERR_SYNTAX, "Invalid SQL statement; the statement is empty.");
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
            sqlite3_finalize(st);
            PvThrowDaoError(JET_ERR_SQL_AFTER_END, "Characters found after end of SQL statement.");
        }
    }
    return st;
}

void Connection::Exec(const std::string& sql, const std::string& jetText)
{
    Stmt st(Prepare(sql, jetText));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) Fail(rc, jetText);
}

void Connection::Fail(int rc, const std::string& jetText)
{
    try {
        ThrowSqlite(db, rc, jetText);
    } catch (CDaoException& e) {
        NoteEngineState(e.m_pErrorInfo->m_lErrorCode, e.m_pErrorInfo->m_strDescription.str());
        throw;
    }
}

void Connection::NoteEngineState(long lCause, const std::string& strCause)
{
    if (!EngineEndedTransaction()) return;
    AbandonTransaction();
    if (workspace) workspace->PvTransactionLost(lCause, CString(strCause.c_str()));
}

void Connection::AbandonTransaction() noexcept
{
    if (savepoints == 0) return;
    savepoints = 0;
    if (db && !sqlite3_get_autocommit(db)) {
        try {
            DrainAll();
        } catch (CDaoException&) {
            // the rows read so far stay; ending the transaction is what matters
        }
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    AfterWrite();
}

namespace {

std::string After(const std::string& msg, const char* prefix)
{
    const size_t p = msg.find(prefix);
    return p == std::string::npos ? std::string() : msg.substr(p + std::strlen(prefix));
}

std::string FirstVerb(const std::string& jet)
{
    std::vector<pvjet::Token> toks;
    pvjet::Tokenize(jet, toks);
    std::string verb, second;
    for (const auto& t : toks) {
        if (t.kind != pvjet::TokKind::Word) continue;
        if (verb.empty()) verb = pvjet::UpperWord(t.text);
        else {
            second = pvjet::UpperWord(t.text);
            break;
        }
    }
    if (verb == "CREATE" || verb == "DROP" || verb == "ALTER") return verb + " " + (second == "UNIQUE" ? "INDEX" : second);
    return verb;
}

}  // namespace

void ThrowSqlite(sqlite3* db, int rc, const std::string& jetText)
{
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int prim = rc & 0xff;
    std::string name;
    switch (prim) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: PvThrowDaoError(JET_ERR_LOCKED, "Could not update; currently locked.");
    case SQLITE_READONLY: PvThrowDaoError(JET_ERR_READ_ONLY, "Cannot update.  Database or object is read-only.");
    case SQLITE_NOTADB: PvThrowDaoError(JET_ERR_BAD_PASSWORD, "Not a valid password.");
    case SQLITE_CORRUPT:
        PvThrowDaoError(JET_ERR_CORRUPT, std::string("Cannot open database '") + (db ? sqlite3_db_filename(db, "main") : "") +
                                             "'.  It may not be a database that your application recognizes, or the file may be corrupt.");
    case SQLITE_FULL: PvThrowDaoError(JET_ERR_DISK_FULL, "Not enough space on disk.");
    case SQLITE_IOERR: PvThrowDaoError(JET_ERR_DISK_IO, "Disk or network error.");
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG: PvThrowDaoError(JET_ERR_RESOURCES, "System resource exceeded.");
    case SQLITE_CONSTRAINT:
        if (!(name = After(msg, "UNIQUE constraint failed: ")).empty() || msg.find("PRIMARY KEY") != std::string::npos)
            PvThrowDaoError(JET_ERR_DUPLICATE_KEY,
                            "The changes you requested to the table were not successful because they would create duplicate "
                            "values in the index, primary key, or relationship.  Change the data in the field or fields that "
                            "contain duplicate data, remove the index, or redefine the index to permit duplicate entries and "
                            "try again. (" + name + ")");
        if (!(name = After(msg, "NOT NULL constraint failed: ")).empty())
            PvThrowDaoError(JET_ERR_REQUIRED, "The field '" + name +
                                                  "' cannot contain a Null value because the Required property for this "
                                                  "field is set to True.  Enter a value in this field.");
        PvThrowDaoError(3317, "One or more values are prohibited by the validation rule set for the table: " + msg + ".");
    default: break;
    }
    if (!(name = After(msg, "no such table: ")).empty())
        PvThrowDaoError(JET_ERR_TABLE_NOT_FOUND, "The database engine cannot find the input table or query '" +
                                                     name + "'.  Make sure it exists and that its name is spelled correctly.");
    if (!(name = After(msg, "no such column: ")).empty())
        PvThrowDaoError(JET_ERR_TOO_FEW_PARAMETERS,
                        "Too few parameters. Expected 1. ('" + name + "' is not a field of: " + jetText + ")");
    if (msg.rfind("table ", 0) == 0 && msg.find(" already exists") != std::string::npos) {
        name = msg.substr(6, msg.find(" already exists") - 6);
        PvThrowDaoError(JET_ERR_TABLE_EXISTS, "Table '" + name + "' already exists.");
    }
    if (msg.rfind("index ", 0) == 0 && msg.find(" already exists") != std::string::npos) {
        name = msg.substr(6, msg.find(" already exists") - 6);
        const size_t dot = name.find('.');
        PvThrowDaoError(3375, dot == std::string::npos ? "An index named '" + name + "' already exists."
                                                       : "Table '" + name.substr(0, dot) + "' already has an index named '" +
                                                             name.substr(dot + 1) + "'.");
    }
    if (!(name = After(msg, "no such index: ")).empty())
        PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: index '" + name + "'.");
    if (msg.find("syntax error") != std::string::npos || msg.find("unrecognized token") != std::string::npos ||
        msg.find("incomplete input") != std::string::npos) {
        const std::string verb = FirstVerb(jetText);
        if (verb == "INSERT") PvThrowDaoError(3134, "Syntax error in INSERT INTO statement.");
        if (verb == "UPDATE") PvThrowDaoError(3144, "Syntax error in UPDATE statement.");
        if (verb == "CREATE TABLE") PvThrowDaoError(3290, "Syntax error in CREATE TABLE statement.");
        if (verb == "CREATE INDEX") PvThrowDaoError(3289, "Syntax error in CREATE INDEX statement.");
        if (verb.rfind("DROP", 0) == 0) PvThrowDaoError(3295, "Syntax error in DROP TABLE or DROP INDEX.");
        if (verb == "SELECT" || verb == "DELETE")
            PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (missing operator) in query expression '" + jetText + "'.");
        PvThrowDaoError(3129, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
    }
    PvThrowDaoError(JET_ERR_RESERVED, "The database engine failed (" + msg + ") on: " + jetText);
}

DaoType DaoTypeFromDecl(const char* decl, int storage)
{
    DaoType t;
    if (decl == nullptr || *decl == '\0') {
        switch (storage) {
        case SQLITE_INTEGER: return {dbLong, 4};
        case SQLITE_FLOAT: return {dbDouble, 8};
        case SQLITE_BLOB: return {dbLongBinary, 0};
        default: return {dbText, 255};
        }
    }
    std::string word;
    const char* p = decl;
    while (*p == ' ') ++p;
    while (*p && (std::isalnum((unsigned char)*p) || *p == '_')) word += PvUpperAscii(*p++);
    long size = -1;
    while (*p == ' ') ++p;
    if (*p == '(') size = std::strtol(p + 1, nullptr, 10);
    struct Map {
        const char* name;
        short type;
        long size;
    };
    static const Map map[] = {
        {"BIT", dbBoolean, 1},        {"BOOLEAN", dbBoolean, 1},      {"YESNO", dbBoolean, 1},      {"LOGICAL", dbBoolean, 1},
        {"LOGICAL1", dbBoolean, 1},   {"BYTE", dbByte, 1},            {"TINYINT", dbByte, 1},       {"INTEGER1", dbByte, 1},
        {"SHORT", dbInteger, 2},      {"SMALLINT", dbInteger, 2},     {"INTEGER2", dbInteger, 2},   {"LONG", dbLong, 4},
        {"INT", dbLong, 4},           {"INTEGER", dbLong, 4},         {"INTEGER4", dbLong, 4},      {"COUNTER", dbLong, 4},
        {"AUTOINCREMENT", dbLong, 4}, {"CURRENCY", dbCurrency, 8},    {"MONEY", dbCurrency, 8},     {"SINGLE", dbSingle, 4},
        {"REAL", dbSingle, 4},        {"FLOAT4", dbSingle, 4},        {"IEEESINGLE", dbSingle, 4},  {"DOUBLE", dbDouble, 8},
        {"FLOAT", dbDouble, 8},       {"FLOAT8", dbDouble, 8},        {"IEEEDOUBLE", dbDouble, 8},  {"NUMBER", dbDouble, 8},
        {"NUMERIC", dbDouble, 8},     {"DATETIME", dbDate, 8},        {"DATE", dbDate, 8},          {"TIME", dbDate, 8},
        {"TIMESTAMP", dbDate, 8},     {"TEXT", dbText, 255},          {"CHAR", dbText, 255},        {"VARCHAR", dbText, 255},
        {"CHARACTER", dbText, 255},   {"STRING", dbText, 255},        {"ALPHANUMERIC", dbText, 255},{"NCHAR", dbText, 255},
        {"NVARCHAR", dbText, 255},    {"LONGBINARY", dbLongBinary, 0},{"BINARY", dbLongBinary, 0},  {"VARBINARY", dbLongBinary, 0},
        {"OLEOBJECT", dbLongBinary, 0},{"GENERAL", dbLongBinary, 0},  {"IMAGE", dbLongBinary, 0},   {"BLOB", dbLongBinary, 0},
        {"MEMO", dbMemo, 0},          {"LONGTEXT", dbMemo, 0},        {"LONGCHAR", dbMemo, 0},      {"NOTE", dbMemo, 0},
        {"NTEXT", dbMemo, 0},         {"GUID", dbGUID, 16},           {"UNIQUEIDENTIFIER", dbGUID, 16},
    };
    for (const Map& m : map) {
        if (word == m.name) {
            t.type = m.type;
            t.size = m.size;
            if (t.type == dbText && size > 0) t.size = std::min(size, 255L);
            return t;
        }
    }
    return DaoTypeFromDecl(nullptr, storage);
}

size_t CharCount(std::string_view s)
{
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string ToSqlitePath(const char* path)
{
    std::string p = path ? path : "";
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

}  // namespace pvdao

namespace pvdao {

std::string FindTable(Connection& c, const std::string& name)
{
    Stmt st(c.Prepare("SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE", "TableDefs"));
    sqlite3_bind_text(st, 1, name.data(), int(name.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_ROW) return {};
    return reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
}

std::vector<ColumnDesc> ListColumns(Connection& c, const std::string& table)
{
    std::vector<ColumnDesc> out;
    Stmt st(c.Prepare("PRAGMA table_info(" + pvjet::QuoteString(table) + ")", table));
    while (sqlite3_step(st) == SQLITE_ROW) {
        ColumnDesc d;
        auto text = [&](int i) {
            const unsigned char* p = sqlite3_column_text(st, i);
            return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
        };
        d.name = text(1);
        d.decl = text(2);
        d.notNull = sqlite3_column_int(st, 3) != 0;
        d.dflt = text(4);
        d.pk = sqlite3_column_int(st, 5);
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<IndexDesc> ListIndexes(Connection& c, const std::string& table)
{
    std::vector<IndexDesc> out;
    Stmt st(c.Prepare("PRAGMA index_list(" + pvjet::QuoteString(table) + ")", table));
    while (sqlite3_step(st) == SQLITE_ROW) {
        IndexDesc d;
        d.physical = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        d.unique = sqlite3_column_int(st, 2) != 0;
        const unsigned char* origin = sqlite3_column_count(st) > 3 ? sqlite3_column_text(st, 3) : nullptr;
        d.primary = origin && std::strcmp(reinterpret_cast<const char*>(origin), "pk") == 0;
        const std::string prefix = table + ".";
        if (d.primary) d.name = "PrimaryKey";
        else if (d.physical.size() > prefix.size() && PvCompareNoCase(d.physical.substr(0, prefix.size()), prefix) == 0)
            d.name = d.physical.substr(prefix.size());
        else d.name = d.physical;
        out.push_back(std::move(d));
    }
    st.reset(nullptr);
    for (IndexDesc& d : out) {
        Stmt xi(c.Prepare("PRAGMA index_xinfo(" + pvjet::QuoteString(d.physical) + ")", d.physical));
        while (sqlite3_step(xi) == SQLITE_ROW) {
            if (sqlite3_column_int(xi, 5) == 0) continue;  // not a key column
            const unsigned char* n = sqlite3_column_text(xi, 2);
            d.cols.emplace_back(n ? reinterpret_cast<const char*>(n) : "", sqlite3_column_int(xi, 3) != 0);
        }
    }
    // A rowid alias declared as primary key has no index of its own.
    bool hasPrimary = false;
    for (const IndexDesc& d : out) hasPrimary = hasPrimary || d.primary;
    if (!hasPrimary) {
        for (const ColumnDesc& col : ListColumns(c, table)) {
            if (col.pk == 1 && PvUpperCase(col.decl) == "INTEGER") {
                IndexDesc d;
                d.name = "PrimaryKey";
                d.primary = d.unique = true;
                d.cols.emplace_back(col.name, false);
                out.push_back(std::move(d));
            }
        }
    }
    return out;
}

}  // namespace pvdao
