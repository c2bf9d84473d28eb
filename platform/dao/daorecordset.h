#pragma once
// Recordsets: table, dynaset and snapshot. Dynasets and snapshots read their rows lazily
// from a live statement into a cache, so GetRecordCount is the number of records accessed
// so far until the last one has been reached. Table recordsets walk a table in rowid order,
// or in the order of the current index, and find keys with Seek.

#include "platform/base/CObject.h"
#include "platform/dao/daodatabase.h"
#include "platform/dao/daoexcept.h"
#include "platform/sys/ole.h"

#include <memory>

class CDaoTableDef;
class CDaoRecordset;
class CByteArray;

// Field exchange: DoFieldExchange calls one DFX_ function per bound member.
class CDaoFieldExchange {
public:
    enum FieldType { none = 0, param = 1, outputColumn = 2 };
    enum Operation { BindField = 0, Fixup, MarkForAddNew, MarkForEdit, StoreField, SetFieldNull };

    CDaoFieldExchange(UINT nOperation, CDaoRecordset* pRecordset) : m_nOperation(nOperation), m_prs(pRecordset) {}

    void SetFieldType(UINT nFieldType) { m_nFieldType = nFieldType; }
    BOOL IsValidOperation() const { return TRUE; }

    UINT m_nOperation;
    CDaoRecordset* m_prs;
    UINT m_nFieldType = outputColumn;
    int m_nField = 0;  // index of the DFX call within this pass
};

#define AFX_DAO_DISABLE_FIELD_CACHE 0
#define AFX_DAO_ENABLE_FIELD_CACHE 1
#define AFX_DAO_TEXT_DEFAULT_SIZE 255

void DFX_Text(CDaoFieldExchange* pFX, LPCTSTR lpszName, CString& value, int nPreAllocSize = AFX_DAO_TEXT_DEFAULT_SIZE,
              DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Long(CDaoFieldExchange* pFX, LPCTSTR lpszName, long& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Long(CDaoFieldExchange* pFX, LPCTSTR lpszName, LONG& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Short(CDaoFieldExchange* pFX, LPCTSTR lpszName, short& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Bool(CDaoFieldExchange* pFX, LPCTSTR lpszName, BOOL& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Byte(CDaoFieldExchange* pFX, LPCTSTR lpszName, BYTE& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Single(CDaoFieldExchange* pFX, LPCTSTR lpszName, float& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Double(CDaoFieldExchange* pFX, LPCTSTR lpszName, double& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Currency(CDaoFieldExchange* pFX, LPCTSTR lpszName, COleCurrency& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_DateTime(CDaoFieldExchange* pFX, LPCTSTR lpszName, COleDateTime& value, DWORD dwBindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Binary(CDaoFieldExchange* pFX, LPCTSTR lpszName, CByteArray& value, int nPreAllocSize = 0,
                DWORD dwBindOptions = 0);

class CDaoRecordset : public CObject {
    DECLARE_DYNAMIC(CDaoRecordset)
public:
    explicit CDaoRecordset(CDaoDatabase* pDatabase = nullptr);
    ~CDaoRecordset() override;

    // lpszSQL: a SELECT statement or a table name (plain or in brackets); null takes
    // GetDefaultSQL. m_strFilter and m_strSort are applied here and at Requery.
    virtual void Open(int nOpenType = AFX_DAO_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = nullptr, int nOptions = 0);
    virtual void Open(CDaoTableDef* pTableDef, int nOpenType = dbOpenTable, int nOptions = 0);
    virtual void Close();
    BOOL IsOpen() const;
    virtual void Requery();

    CString GetSQL() const;
    CString GetName() const;
    short GetType() const { return short(m_nOpenType); }
    BOOL CanUpdate() const;
    BOOL CanAppend() const;
    BOOL CanBookmark() const { return IsOpen(); }
    BOOL CanScroll() const { return IsOpen(); }
    BOOL CanRestart() const { return IsOpen(); }
    BOOL CanTransact() const { return IsOpen(); }

    // Navigation
    BOOL IsBOF() const;
    BOOL IsEOF() const;
    BOOL IsDeleted() const;
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    virtual void Move(long lRows);
    long GetRecordCount();
    long GetAbsolutePosition();
    void SetAbsolutePosition(long lPosition);

    COleVariant GetBookmark();
    void SetBookmark(COleVariant varBookmark);
    COleVariant GetLastModifiedBookmark();

    // Criteria are Jet expressions over the fields: "[_IKEY] = 12", "Text LIKE 'A*'".
    BOOL FindFirst(LPCTSTR lpszFilter);
    BOOL FindNext(LPCTSTR lpszFilter);
    BOOL FindLast(LPCTSTR lpszFilter);
    BOOL FindPrev(LPCTSTR lpszFilter);

    // Table recordsets: the index that orders the rows and that Seek searches.
    void SetCurrentIndex(LPCTSTR lpszIndex);
    CString GetCurrentIndex();
    // lpszComparison: "=", ">", ">=", "<", "<=". FALSE when no record matches (the current
    // record then stays where it was).
    BOOL Seek(LPCTSTR lpszComparison, COleVariant* pKey1, COleVariant* pKey2 = nullptr, COleVariant* pKey3 = nullptr);
    BOOL Seek(LPCTSTR lpszComparison, COleVariant* pKeyArray, WORD nKeys);

    // Fields
    short GetFieldCount();
    void GetFieldInfo(int nIndex, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    void GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    virtual COleVariant GetFieldValue(LPCTSTR lpszName);
    virtual COleVariant GetFieldValue(int nIndex);
    virtual void GetFieldValue(LPCTSTR lpszName, COleVariant& varValue);
    virtual void GetFieldValue(int nIndex, COleVariant& varValue);
    virtual void SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue);
    virtual void SetFieldValue(int nIndex, const COleVariant& varValue);
    virtual void SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue);
    virtual void SetFieldValue(int nIndex, LPCTSTR lpszValue);
    void SetFieldValueNull(int nIndex);
    void SetFieldValueNull(LPCTSTR lpszName);

    // Changes
    virtual void AddNew();
    virtual void Edit();
    virtual void Update();
    virtual void CancelUpdate();
    virtual void Delete();
    short GetEditMode() const;
    void SetLockingMode(BOOL bPessimistic) { m_bPessimistic = bPessimistic; }
    BOOL GetLockingMode() const { return m_bPessimistic; }

    // The engine reads ahead by itself; these exist for callers that tune a cache.
    void SetCacheStart(COleVariant varBookmark) { (void)varBookmark; }
    void SetCacheSize(long lSize) { (void)lSize; }
    void FillCache(long* pSize = nullptr, COleVariant* pBookmark = nullptr) { (void)pSize; (void)pBookmark; }

    // Overridables of derived record classes
    virtual CString GetDefaultDBName();
    virtual CString GetDefaultSQL();
    virtual void DoFieldExchange(CDaoFieldExchange* pFX);

    CDaoDatabase* m_pDatabase;
    CString m_strFilter;
    CString m_strSort;
    int m_nFields = 0;
    int m_nParams = 0;
    int m_nDefaultType = dbOpenDynaset;
    BOOL m_bCheckCacheForDirtyFields = TRUE;

    // Used by the DFX_ functions.
    void PvExchange(CDaoFieldExchange* pFX, LPCTSTR lpszName, int kind, void* pv);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    int m_nOpenType = 0;
    BOOL m_bPessimistic = FALSE;
    BOOL m_bOwnDatabase = FALSE;

    void OpenSQL(int nOpenType, const CString& jetText, bool tableName);
    void AfterMove();
    void RunFieldExchange(UINT nOperation);
    BOOL FindWith(LPCTSTR lpszFilter, int which);
    BOOL SeekKeys(LPCTSTR lpszComparison, const COleVariant* const* keys, int nKeys);
};
