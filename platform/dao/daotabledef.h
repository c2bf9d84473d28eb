#pragma once
// Table definitions: a table's fields and indexes, its record count, and making new tables,
// fields and indexes. Index names belong to their table.

#include "platform/base/CObject.h"
#include "platform/dao/daodatabase.h"
#include "platform/dao/daoexcept.h"

#include <vector>

class CDaoTableDef : public CObject {
    DECLARE_DYNAMIC(CDaoTableDef)
public:
    explicit CDaoTableDef(CDaoDatabase* pDatabase);
    ~CDaoTableDef() override;

    // Opens an existing table (3265 when there is none).
    virtual void Open(LPCTSTR lpszName);
    // Starts a new table; CreateField and CreateIndex describe it, Append makes it.
    virtual void Create(LPCTSTR lpszName, long lAttributes = 0, LPCTSTR lpszSrcTable = nullptr, LPCTSTR lpszConnect = nullptr);
    virtual void Append();
    virtual void Close();
    BOOL IsOpen() const { return m_bOpen; }

    CString GetName() const { return m_strName; }
    long GetRecordCount();
    BOOL CanUpdate() const { return m_pDatabase && m_pDatabase->CanUpdate(); }

    short GetFieldCount();
    void GetFieldInfo(int nIndex, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    // Whether the table has a field of that name (no regard to case).
    BOOL FieldExists(LPCTSTR lpszName);

    short GetIndexCount();
    void GetIndexInfo(int nIndex, CDaoIndexInfo& indexinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& indexinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

    void CreateField(LPCTSTR lpszName, short nType, long lSize, long lAttributes = 0);
    void CreateField(CDaoFieldInfo& fieldinfo);
    void CreateIndex(CDaoIndexInfo& indexinfo);
    void DeleteField(LPCTSTR lpszName);
    void DeleteIndex(LPCTSTR lpszName);

    CDaoDatabase* m_pDatabase;

private:
    void RequireOpen() const;
    std::string IndexSql(const CDaoIndexInfo& info) const;

    CString m_strName;
    BOOL m_bOpen = FALSE;
    BOOL m_bNew = FALSE;
    std::vector<std::string> m_newColumns;  // column definitions of a table not yet appended
    std::vector<CDaoIndexInfo> m_newIndexes;
};
