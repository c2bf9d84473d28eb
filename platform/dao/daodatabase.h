#pragma once
// Workspaces and databases. A database is an SQLCipher file; the connect string's ";PWD="
// value is its key. An exclusive open holds an advisory lock on the file until Close.

#include "platform/dao/daoexcept.h"

#include <memory>
#include <vector>

namespace pvdao {
class Connection;
struct LockHold;
}
class CDaoDatabase;
class CDaoRecordset;
class CDaoTableDef;

// Transactions span every database of the workspace. Nested BeginTrans calls nest.
// When the engine rolls a transaction back on its own (a full disk), or the last database
// with changes in it closes, the transaction ends on every database at once; the caller's
// Rollback calls for it then succeed and CommitTrans raises the error that ended it.
class CDaoWorkspace {
public:
    CDaoWorkspace() = default;
    CDaoWorkspace(const CDaoWorkspace&) = delete;
    CDaoWorkspace& operator=(const CDaoWorkspace&) = delete;
    virtual ~CDaoWorkspace();

    virtual void Open(LPCTSTR lpszName = nullptr);
    virtual void Close();
    BOOL IsOpen() const { return m_bOpen; }
    CString GetName() const { return m_strName; }

    void BeginTrans();
    void CommitTrans();
    void Rollback();

    // The workspace a database uses when it is given none.
    static CDaoWorkspace* PvDefaultWorkspace();

    int PvTransactionDepth() const { return m_nTransDepth; }
    void PvAttach(CDaoDatabase* db);
    void PvDetach(CDaoDatabase* db);
    // A connection's part of the transaction is gone; ends it everywhere.
    void PvTransactionLost(long lError, const CString& strDescription);

private:
    std::vector<pvdao::Connection*> Connections() const;
    void RollbackLevel(pvdao::Connection* c, int level) noexcept;
    // Closes one level the caller began but that had already ended; raises its error on commit.
    void CloseEndedLevel(bool commit);

    BOOL m_bOpen = FALSE;
    CString m_strName;
    int m_nTransDepth = 0;
    int m_nEndedLevels = 0;  // levels that ended before the caller closed them
    long m_lEndedError = 0;  // what ended them, for CommitTrans
    CString m_strEndedError;
    std::vector<CDaoDatabase*> m_databases;
};

class CDaoDatabase {
public:
    explicit CDaoDatabase(CDaoWorkspace* pWorkspace = nullptr);
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;
    virtual ~CDaoDatabase();

    // Opens an existing file. Errors: 3024 no such file, 3031 wrong password, 3356 held
    // exclusively elsewhere, 3045 an exclusive open while others have it open.
    virtual void Open(LPCTSTR lpszName, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE, LPCTSTR lpszConnect = _T(""));
    // Makes a new file (3204 when it exists) and opens it; ";pwd=" in lpszLocale keys it.
    virtual void Create(LPCTSTR lpszName, LPCTSTR lpszLocale = dbLangGeneral, int dwOptions = 0);
    virtual void Close();
    BOOL IsOpen() const { return m_pConn != nullptr; }

    // Runs one Jet statement that returns no rows. Errors always raise.
    void Execute(LPCTSTR lpszSQL, int nOptions = dbFailOnError);
    long GetRecordsAffected() const { return m_lRecordsAffected; }

    BOOL CanTransact() const { return IsOpen(); }
    BOOL CanUpdate() const;
    CString GetName() const { return m_strName; }
    CString GetConnect() const { return m_strConnect; }

    short GetTableDefCount();
    void GetTableDefInfo(int nIndex, CDaoTableDefInfo& tabledefinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetTableDefInfo(LPCTSTR lpszName, CDaoTableDefInfo& tabledefinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void DeleteTableDef(LPCTSTR lpszName);

    CDaoWorkspace* m_pWorkspace;

    // For the recordsets and table definitions on this database.
    pvdao::Connection* PvConnection() const { return m_pConn.get(); }
    pvdao::Connection& PvRequireOpen() const;
    void PvAttach(CDaoRecordset* rs) { m_recordsets.push_back(rs); }
    void PvDetach(CDaoRecordset* rs);
    void PvAttach(CDaoTableDef* td) { m_tabledefs.push_back(td); }
    void PvDetach(CDaoTableDef* td);

private:
    void OpenFile(const char* path, BOOL bExclusive, BOOL bReadOnly, const std::string& key, bool create);
    // Opens the engine's connection to conn.path and checks the key.
    static void Connect(pvdao::Connection& conn, const std::string& key, bool create);

    // Shared opens of one file in this process share one connection, so that a change made
    // through one never waits on a read still going on through another.
    std::shared_ptr<pvdao::Connection> m_pConn;
    std::unique_ptr<pvdao::LockHold> m_pLock;
    CString m_strName;
    CString m_strConnect;
    long m_lRecordsAffected = 0;
    std::vector<CDaoRecordset*> m_recordsets;
    std::vector<CDaoTableDef*> m_tabledefs;
};
