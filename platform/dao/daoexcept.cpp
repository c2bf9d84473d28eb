#include "platform/dao/daoexcept.h"

CDaoException::CDaoException() : m_pErrorInfo(&m_errorInfo) {}

CDaoException::CDaoException(long lErrorCode, const CString& strDescription) : m_pErrorInfo(&m_errorInfo)
{
    m_errorInfo.m_lErrorCode = lErrorCode;
    m_errorInfo.m_strDescription = strDescription;
    m_errorInfo.m_strSource = "DAO.Database";
}

CDaoException::CDaoException(const CDaoException& other)
    : CException(other), m_scode(other.m_scode), m_nAfxDaoError(other.m_nAfxDaoError), m_pErrorInfo(&m_errorInfo),
      m_errorInfo(other.m_errorInfo)
{
}

CDaoException& CDaoException::operator=(const CDaoException& other)
{
    CException::operator=(other);
    m_scode = other.m_scode;
    m_nAfxDaoError = other.m_nAfxDaoError;
    m_errorInfo = other.m_errorInfo;
    m_pErrorInfo = &m_errorInfo;
    return *this;
}

BOOL CDaoException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext) *pnHelpContext = 0;
    if (m_errorInfo.m_strDescription.IsEmpty()) return FALSE;
    return CopyMessage(m_errorInfo.m_strDescription, lpszError, nMaxError);
}

void AfxThrowDaoException(int nAfxDaoError, SCODE scode)
{
    CDaoException e;
    e.m_nAfxDaoError = nAfxDaoError;
    e.m_scode = scode;
    throw e;
}

void PvThrowDaoError(long lErrorCode, const std::string& description)
{
    throw CDaoException(lErrorCode, CString(description));
}

CDaoIndexInfo& CDaoIndexInfo::operator=(const CDaoIndexInfo& o)
{
    if (this == &o) return *this;
    if (m_bCleanupFieldInfo) delete[] m_pFieldInfos;
    m_strName = o.m_strName;
    m_nFields = o.m_nFields;
    m_bPrimary = o.m_bPrimary;
    m_bUnique = o.m_bUnique;
    m_bClustered = o.m_bClustered;
    m_bIgnoreNulls = o.m_bIgnoreNulls;
    m_bRequired = o.m_bRequired;
    m_bForeign = o.m_bForeign;
    m_lDistinctCount = o.m_lDistinctCount;
    m_pFieldInfos = nullptr;
    m_bCleanupFieldInfo = FALSE;
    if (o.m_pFieldInfos && o.m_nFields > 0) {
        m_pFieldInfos = new CDaoIndexFieldInfo[size_t(o.m_nFields)];
        for (short i = 0; i < o.m_nFields; ++i) m_pFieldInfos[i] = o.m_pFieldInfos[i];
        m_bCleanupFieldInfo = TRUE;
    }
    return *this;
}

CDaoIndexInfo::~CDaoIndexInfo()
{
    if (m_bCleanupFieldInfo) delete[] m_pFieldInfos;
}
