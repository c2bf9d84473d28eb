#pragma once
// Database constants, information records and the database exception.

#include "platform/base/CString.h"
#include "platform/base/exceptions.h"
#include "platform/base/pvdefs.h"

#include <string>

typedef long SCODE;

// Recordset types
#define dbOpenTable 1
#define dbOpenDynaset 2
#define dbOpenSnapshot 4
#define dbOpenForwardOnly 8
#define AFX_DAO_USE_DEFAULT_TYPE (-1)

// Open and Execute options
#define dbDenyWrite 1
#define dbDenyRead 2
#define dbReadOnly 4
#define dbAppendOnly 8
#define dbInconsistent 16
#define dbConsistent 32
#define dbSQLPassThrough 64
#define dbFailOnError 128
#define dbForwardOnly 256
#define dbSeeChanges 512

// Locking modes and edit modes
#define dbPessimistic 2
#define dbOptimistic 3
#define dbEditNone 0
#define dbEditInProgress 1
#define dbEditAdd 2

// Field types
#define dbBoolean 1
#define dbByte 2
#define dbInteger 3
#define dbLong 4
#define dbCurrency 5
#define dbSingle 6
#define dbDouble 7
#define dbDate 8
#define dbBinary 9
#define dbText 10
#define dbLongBinary 11
#define dbMemo 12
#define dbGUID 15

// Field attributes
#define dbFixedField 0x1
#define dbVariableField 0x2
#define dbAutoIncrField 0x10
#define dbUpdatableField 0x20

// How much a Get...Info call fills in
#define AFX_DAO_PRIMARY_INFO 0x1
#define AFX_DAO_SECONDARY_INFO 0x2
#define AFX_DAO_ALL_INFO 0x3

// Create's locale argument; a ";pwd=..." appended to it keys the new file.
#define dbLangGeneral _T(";LANGID=0x0409;CP=1252;COUNTRY=0")

// Framework-side error causes of CDaoException::m_nAfxDaoError
#define NO_AFX_DAO_ERROR 0
#define AFX_DAO_ERROR_ENGINE_INITIALIZATION 1
#define AFX_DAO_ERROR_DFX_BIND 2
#define AFX_DAO_ERROR_OBJECT_NOT_OPEN 3

// Engine error numbers this layer raises.
enum {
    JET_ERR_RESERVED = 3000,
    JET_ERR_INVALID_ARGUMENT = 3001,
    JET_ERR_NO_CURRENT_INDEX = 3019,
    JET_ERR_UPDATE_WITHOUT_EDIT = 3020,
    JET_ERR_NO_CURRENT_RECORD = 3021,
    JET_ERR_DUPLICATE_KEY = 3022,
    JET_ERR_FILE_NOT_FOUND = 3024,
    JET_ERR_DISK_FULL = 3026,
    JET_ERR_READ_ONLY = 3027,
    JET_ERR_BAD_PASSWORD = 3031,
    JET_ERR_COMMIT_WITHOUT_BEGIN = 3034,
    JET_ERR_RESOURCES = 3035,
    JET_ERR_DISK_IO = 3043,
    JET_ERR_INVALID_PATH = 3044,
    JET_ERR_FILE_IN_USE = 3045,
    JET_ERR_CORRUPT = 3049,
    JET_ERR_TOO_FEW_PARAMETERS = 3061,
    JET_ERR_SELECT_NOT_EXECUTABLE = 3065,
    JET_ERR_UNKNOWN_FIELD = 3070,
    JET_ERR_SYNTAX = 3075,
    JET_ERR_TABLE_NOT_FOUND = 3078,
    JET_ERR_TABLE_EXISTS = 3010,
    JET_ERR_SQL_AFTER_END = 3142,
    JET_ERR_BAD_BOOKMARK = 3159,
    JET_ERR_FIELD_TOO_SMALL = 3163,
    JET_ERR_RECORD_DELETED = 3167,
    JET_ERR_NO_ISAM = 3170,
    JET_ERR_DB_EXISTS = 3204,
    JET_ERR_LOCKED = 3218,
    JET_ERR_NOT_SUPPORTED = 3251,
    JET_ERR_ITEM_NOT_FOUND = 3265,
    JET_ERR_REQUIRED = 3314,
    JET_ERR_EXCLUSIVE = 3356,
    JET_ERR_CONVERSION = 3421,
    JET_ERR_OBJECT_CLOSED = 3420,
    JET_ERR_NOT_AN_INDEX = 3800,
};

class CDaoErrorInfo {
public:
    long m_lErrorCode = 0;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    long m_lHelpContext = 0;
};

// Thrown by value. m_pErrorInfo always points at the exception's own record, also in copies.
class CDaoException : public CException {
public:
    CDaoException();
    CDaoException(long lErrorCode, const CString& strDescription);
    CDaoException(const CDaoException& other);
    CDaoException& operator=(const CDaoException& other);
    ~CDaoException() override = default;

    short GetErrorCount() const { return m_errorInfo.m_lErrorCode != 0 ? 1 : 0; }
    void GetErrorInfo(int nIndex) { (void)nIndex; }

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    SCODE m_scode = 0;
    int m_nAfxDaoError = NO_AFX_DAO_ERROR;
    CDaoErrorInfo* m_pErrorInfo;

private:
    CDaoErrorInfo m_errorInfo;
};

[[noreturn]] void AfxThrowDaoException(int nAfxDaoError = NO_AFX_DAO_ERROR, SCODE scode = 0);
// Raises an engine error: the Jet number and its description.
[[noreturn]] void PvThrowDaoError(long lErrorCode, const std::string& description);

// Information records
class CDaoFieldInfo {
public:
    CString m_strName;
    short m_nType = 0;
    long m_lSize = 0;
    long m_lAttributes = 0;
    short m_nOrdinalPosition = 0;
    BOOL m_bRequired = FALSE;
    BOOL m_bAllowZeroLength = TRUE;
    long m_lCollatingOrder = 0;
    CString m_strForeignName;
    CString m_strSourceField;
    CString m_strSourceTable;
    CString m_strValidationRule;
    CString m_strValidationText;
    CString m_strDefaultValue;
};

class CDaoIndexFieldInfo {
public:
    CString m_strName;
    BOOL m_bDescending = FALSE;
};

class CDaoIndexInfo {
public:
    CDaoIndexInfo() = default;
    CDaoIndexInfo(const CDaoIndexInfo& o) { *this = o; }
    CDaoIndexInfo& operator=(const CDaoIndexInfo& o);
    ~CDaoIndexInfo();

    CString m_strName;
    CDaoIndexFieldInfo* m_pFieldInfos = nullptr;  // m_nFields entries
    short m_nFields = 0;
    BOOL m_bPrimary = FALSE;
    BOOL m_bUnique = FALSE;
    BOOL m_bClustered = FALSE;
    BOOL m_bIgnoreNulls = FALSE;
    BOOL m_bRequired = FALSE;
    BOOL m_bForeign = FALSE;
    long m_lDistinctCount = 0;

    // Set by this layer when it filled m_pFieldInfos and so frees them.
    BOOL m_bCleanupFieldInfo = FALSE;
};

class CDaoTableDefInfo {
public:
    CString m_strName;
    BOOL m_bUpdatable = TRUE;
    long m_lAttributes = 0;
    CString m_strSrcTableName;
    CString m_strConnect;
    CString m_strValidationRule;
    CString m_strValidationText;
    long m_lRecordCount = 0;
};
