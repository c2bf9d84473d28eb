#include "platform/dao/daotabledef.h"

#include "platform/base/textcase.h"
#include "platform/dao/daoengine.h"
#include "platform/dao/jetsql.h"

IMPLEMENT_DYNAMIC(CDaoTableDef, CObject)

namespace {

std::string DeclOf(short nType, long lSize, long lAttributes)
{
    switch (nType) {
    case dbBoolean: return "BOOLEAN";
    case dbByte: return "BYTE";
    case dbInteger: return "SHORT";
    case dbLong: return (lAttributes & dbAutoIncrField) ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "LONG";
    case dbCurrency: return "CURRENCY";
    case dbSingle: return "SINGLE";
    case dbDouble: return "DOUBLE";
    case dbDate: return "DATETIME";
    case dbText: return "TEXT(" + std::to_string(lSize > 0 && lSize <= 255 ? lSize : 255) + ") COLLATE NOCASE";
    case dbLongBinary:
    case dbBinary: return "LONGBINARY";
    case dbMemo: return "MEMO COLLATE NOCASE";
    case dbGUID: return "GUID";
    default: PvThrowDaoError(JET_ERR_INVALID_ARGUMENT, "Invalid argument: field type " + std::to_string(nType) + ".");
    }
}

[[noreturn]] void NoSuchItem(const std::string& what)
{
    PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: " + what + ".");
}

}  // namespace

CDaoTableDef::CDaoTableDef(CDaoDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CDaoTableDef::~CDaoTableDef() { Close(); }

void CDaoTableDef::RequireOpen() const
{
    if (!m_bOpen || !m_pDatabase || !m_pDatabase->IsOpen())
        PvThrowDaoError(JET_ERR_OBJECT_CLOSED, "Object invalid or no longer set: the table definition is not open.");
}

void CDaoTableDef::Open(LPCTSTR lpszName)
{
    Close();
    if (!m_pDatabase) PvThrowDaoError(JET_ERR_OBJECT_CLOSED, "Object invalid or no longer set: no database.");
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    const std::string want = lpszName ? lpszName : "";
    std::string name;
    for (char ch : want)
        if (ch != '[' && ch != ']') name += ch;
    const std::string real = pvdao::FindTable(c, name);
    if (real.empty()) NoSuchItem("table '" + name + "'");
    m_strName = real.c_str();
    m_bOpen = TRUE;
    m_pDatabase->PvAttach(this);
}

void CDaoTableDef::Create(LPCTSTR lpszName, long, LPCTSTR, LPCTSTR)
{
    Close();
    if (!m_pDatabase) PvThrowDaoError(JET_ERR_OBJECT_CLOSED, "Object invalid or no longer set: no database.");
    m_pDatabase->PvRequireOpen();
    m_strName = lpszName ? lpszName : "";
    m_bNew = TRUE;
}

void CDaoTableDef::Append()
{
    if (!m_bNew) PvThrowDaoError(3219, "Invalid operation: the table definition is not new.");
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    if (m_newColumns.empty())
        PvThrowDaoError(3264, "No field defined--cannot append TableDef or Index: '" + m_strName.str() + "'.");
    std::string sql = "CREATE TABLE " + pvjet::QuoteName(m_strName.str()) + " (";
    for (size_t i = 0; i < m_newColumns.size(); ++i) sql += (i ? ", " : "") + m_newColumns[i];
    for (const CDaoIndexInfo& ix : m_newIndexes) {
        if (!ix.m_bPrimary) continue;
        sql += ", CONSTRAINT " + pvjet::QuoteName(ix.m_strName.str()) + " PRIMARY KEY (";
        for (short k = 0; k < ix.m_nFields; ++k) sql += (k ? ", " : "") + pvjet::QuoteName(ix.m_pFieldInfos[k].m_strName.str());
        sql += ")";
    }
    sql += ")";
    c.BeforeWrite();
    c.Exec(sql, sql);
    c.AfterWrite();
    for (const CDaoIndexInfo& ix : m_newIndexes) {
        if (ix.m_bPrimary) continue;
        const std::string isql = IndexSql(ix);
        c.Exec(isql, isql);
    }
    m_newColumns.clear();
    m_newIndexes.clear();
    m_bNew = FALSE;
    const CString name = m_strName;
    Open(name);
}

void CDaoTableDef::Close()
{
    if (m_bOpen && m_pDatabase) m_pDatabase->PvDetach(this);
    m_bOpen = FALSE;
    m_bNew = FALSE;
    m_newColumns.clear();
    m_newIndexes.clear();
}

long CDaoTableDef::GetRecordCount()
{
    RequireOpen();
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    pvdao::Stmt st(c.Prepare("SELECT count(*) FROM " + pvjet::QuoteName(m_strName.str()), m_strName.str()));
    return sqlite3_step(st) == SQLITE_ROW ? long(sqlite3_column_int64(st, 0)) : 0;
}

short CDaoTableDef::GetFieldCount()
{
    RequireOpen();
    return short(pvdao::ListColumns(m_pDatabase->PvRequireOpen(), m_strName.str()).size());
}

void CDaoTableDef::GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions)
{
    (void)dwInfoOptions;
    RequireOpen();
    const auto cols = pvdao::ListColumns(m_pDatabase->PvRequireOpen(), m_strName.str());
    if (nIndex < 0 || nIndex >= int(cols.size())) NoSuchItem("field number " + std::to_string(nIndex));
    const pvdao::ColumnDesc& c = cols[size_t(nIndex)];
    const pvdao::DaoType t = pvdao::DaoTypeFromDecl(c.decl.c_str(), SQLITE_TEXT);
    info = CDaoFieldInfo();
    info.m_strName = c.name.c_str();
    info.m_nType = t.type;
    info.m_lSize = t.size;
    const bool variable = t.type == dbText || t.type == dbMemo || t.type == dbLongBinary;
    info.m_lAttributes = (variable ? dbVariableField : dbFixedField) | dbUpdatableField;
    if (c.pk == 1 && PvUpperCase(c.decl) == "INTEGER") info.m_lAttributes |= dbAutoIncrField;
    info.m_nOrdinalPosition = short(nIndex);
    info.m_bRequired = c.notNull;
    info.m_strSourceField = c.name.c_str();
    info.m_strSourceTable = m_strName;
    std::string d = c.dflt;
    if (d.size() >= 2 && d.front() == '\'' && d.back() == '\'') {
        std::string inner;
        for (size_t k = 1; k + 1 < d.size(); ++k) {
            inner += d[k];
            if (d[k] == '\'' && d[k + 1] == '\'') ++k;
        }
        d = "\"" + inner + "\"";
    }
    info.m_strDefaultValue = d.c_str();
}

void CDaoTableDef::GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info, DWORD dwInfoOptions)
{
    RequireOpen();
    const auto cols = pvdao::ListColumns(m_pDatabase->PvRequireOpen(), m_strName.str());
    const std::string name = lpszName ? lpszName : "";
    for (size_t i = 0; i < cols.size(); ++i)
        if (PvCompareNoCase(cols[i].name, name) == 0) return GetFieldInfo(int(i), info, dwInfoOptions);
    NoSuchItem("field '" + name + "'");
}

BOOL CDaoTableDef::FieldExists(LPCTSTR lpszName)
{
    RequireOpen();
    const std::string name = lpszName ? lpszName : "";
    for (const auto& c : pvdao::ListColumns(m_pDatabase->PvRequireOpen(), m_strName.str()))
        if (PvCompareNoCase(c.name, name) == 0) return TRUE;
    return FALSE;
}

short CDaoTableDef::GetIndexCount()
{
    RequireOpen();
    return short(pvdao::ListIndexes(m_pDatabase->PvRequireOpen(), m_strName.str()).size());
}

void CDaoTableDef::GetIndexInfo(int nIndex, CDaoIndexInfo& info, DWORD dwInfoOptions)
{
    (void)dwInfoOptions;
    RequireOpen();
    const auto list = pvdao::ListIndexes(m_pDatabase->PvRequireOpen(), m_strName.str());
    if (nIndex < 0 || nIndex >= int(list.size())) NoSuchItem("index number " + std::to_string(nIndex));
    const pvdao::IndexDesc& d = list[size_t(nIndex)];
    info = CDaoIndexInfo();
    info.m_strName = d.name.c_str();
    info.m_bPrimary = d.primary;
    info.m_bUnique = d.unique;
    info.m_nFields = short(d.cols.size());
    if (!d.cols.empty()) {
        info.m_pFieldInfos = new CDaoIndexFieldInfo[d.cols.size()];
        info.m_bCleanupFieldInfo = TRUE;
        for (size_t k = 0; k < d.cols.size(); ++k) {
            info.m_pFieldInfos[k].m_strName = d.cols[k].first.c_str();
            info.m_pFieldInfos[k].m_bDescending = d.cols[k].second;
        }
    }
}

void CDaoTableDef::GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& info, DWORD dwInfoOptions)
{
    RequireOpen();
    const auto list = pvdao::ListIndexes(m_pDatabase->PvRequireOpen(), m_strName.str());
    const std::string name = lpszName ? lpszName : "";
    for (size_t i = 0; i < list.size(); ++i)
        if (PvCompareNoCase(list[i].name, name) == 0) return GetIndexInfo(int(i), info, dwInfoOptions);
    NoSuchItem("index '" + name + "'");
}

void CDaoTableDef::CreateField(LPCTSTR lpszName, short nType, long lSize, long lAttributes)
{
    const std::string def = pvjet::QuoteName(lpszName ? lpszName : "") + " " + DeclOf(nType, lSize, lAttributes);
    if (m_bNew) {
        m_newColumns.push_back(def);
        return;
    }
    RequireOpen();
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    const std::string sql = "ALTER TABLE " + pvjet::QuoteName(m_strName.str()) + " ADD COLUMN " + def;
    c.BeforeWrite();
    c.Exec(sql, sql);
    c.AfterWrite();
}

void CDaoTableDef::CreateField(CDaoFieldInfo& fi)
{
    std::string def = DeclOf(fi.m_nType, fi.m_lSize, fi.m_lAttributes);
    if (fi.m_bRequired) def += " NOT NULL";
    if (!fi.m_strDefaultValue.IsEmpty()) {
        std::string d = fi.m_strDefaultValue.str();
        if (d.size() >= 2 && d.front() == '"' && d.back() == '"') d = pvjet::QuoteString(d.substr(1, d.size() - 2));
        else if (d.find_first_not_of("0123456789.-+") != std::string::npos) d = pvjet::QuoteString(d);
        def += " DEFAULT " + d;
    }
    const std::string col = pvjet::QuoteName(fi.m_strName.str()) + " " + def;
    if (m_bNew) {
        m_newColumns.push_back(col);
        return;
    }
    RequireOpen();
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    const std::string sql = "ALTER TABLE " + pvjet::QuoteName(m_strName.str()) + " ADD COLUMN " + col;
    c.BeforeWrite();
    c.Exec(sql, sql);
    c.AfterWrite();
}

std::string CDaoTableDef::IndexSql(const CDaoIndexInfo& info) const
{
    std::string sql = std::string("CREATE ") + ((info.m_bUnique || info.m_bPrimary) ? "UNIQUE " : "") + "INDEX " +
                      pvjet::QuoteName(m_strName.str() + "." + info.m_strName.str()) + " ON " + pvjet::QuoteName(m_strName.str()) + " (";
    for (short k = 0; k < info.m_nFields; ++k)
        sql += (k ? ", " : "") + pvjet::QuoteName(info.m_pFieldInfos[k].m_strName.str()) + (info.m_pFieldInfos[k].m_bDescending ? " DESC" : "");
    return sql + ")";
}

void CDaoTableDef::CreateIndex(CDaoIndexInfo& info)
{
    if (info.m_nFields <= 0 || !info.m_pFieldInfos)
        PvThrowDaoError(3264, "No field defined--cannot append TableDef or Index: '" + info.m_strName.str() + "'.");
    if (m_bNew) {
        m_newIndexes.push_back(info);
        return;
    }
    RequireOpen();
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    const std::string sql = IndexSql(info);
    c.BeforeWrite();
    c.Exec(sql, sql);
    c.AfterWrite();
}

void CDaoTableDef::DeleteField(LPCTSTR lpszName)
{
    RequireOpen();
    if (!FieldExists(lpszName)) NoSuchItem(std::string("field '") + (lpszName ? lpszName : "") + "'");
    // This engine cannot drop a column in place.
    PvThrowDaoError(JET_ERR_NOT_SUPPORTED, "Operation is not supported for this type of object: deleting field '" +
                                               std::string(lpszName) + "'.");
}

void CDaoTableDef::DeleteIndex(LPCTSTR lpszName)
{
    RequireOpen();
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    const std::string name = lpszName ? lpszName : "";
    for (const pvdao::IndexDesc& d : pvdao::ListIndexes(c, m_strName.str())) {
        if (PvCompareNoCase(d.name, name) != 0 || d.physical.empty()) continue;
        const std::string sql = "DROP INDEX " + pvjet::QuoteName(d.physical);
        c.BeforeWrite();
        c.Exec(sql, sql);
        c.AfterWrite();
        return;
    }
    NoSuchItem("index '" + name + "'");
}
