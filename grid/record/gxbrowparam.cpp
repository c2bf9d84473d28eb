#include "grid/record/gxbrowparam.h"

#include "grid/core/gxarchive.h"
#include "platform/base/exceptions.h"

// Both classes are written with schema 0; files written before carry 1, and their records have
// versions of their own, so any schema is read.
IMPLEMENT_SERIAL(CGXBrowseParam, CGXGridParam, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CGXDaoParam, CGXBrowseParam, VERSIONABLE_SCHEMA | 0)

namespace {

// Schema of each class part of the archive; a newer file is refused.
constexpr WORD kBrowseSchema = 2;
constexpr WORD kDaoSchema = 2;

WORD ReadSchema(CArchive& ar, WORD nNewest)
{
    WORD nSchema = 0;
    ar >> nSchema;
    if (nSchema > nNewest)
        AfxThrowArchiveException(CArchiveException::badSchema);
    return nSchema;
}

}  // namespace

CGXBrowseParam::CGXBrowseParam() = default;
CGXBrowseParam::~CGXBrowseParam() = default;

void CGXBrowseParam::Serialize(CArchive& ar)
{
    CGXGridParam::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kBrowseSchema << BYTE(m_bHeaderSetupDone ? 1 : 0);
        ar << static_cast<const CObject*>(m_pRecSetInfo.get());
        return;
    }
    const WORD nSchema = ReadSchema(ar, kBrowseSchema);
    BYTE b = 0;
    ar >> b;
    m_bHeaderSetupDone = b;
    if (nSchema >= 2)
        m_pRecSetInfo.reset(GXAdoptObject(CGXRecSetInfo, ar));
}

void CGXBrowseParam::CopyBrowseSettings(const CGXBrowseParam& other)
{
    Assign(other);
    m_bRangePasteEnabled = other.m_bRangePasteEnabled;
    m_bStoreCellFormatting = other.m_bStoreCellFormatting;
    m_nMaxColumnChars = other.m_nMaxColumnChars;
    m_bAllowAppend = other.m_bAllowAppend;
    m_nWaitCursorThreshold = other.m_nWaitCursorThreshold;
}

CGXRecSetInfo* CGXBrowseParam::GetRecSetInfo()
{
    if (!m_pRecSetInfo)
        m_pRecSetInfo = std::make_unique<CGXRecSetInfo>();
    return m_pRecSetInfo.get();
}

void CGXBrowseParam::ResetEditBuffer(size_t nFields)
{
    m_EditBuffer.clear();
    m_EditBuffer.resize(nFields);
}

CGXDaoParam::CGXDaoParam()
{
    m_bLastRecordSeen = 0;
    m_nLastFetchedRecord = -1;
    m_nFetchStartCount = -1;
    m_nCacheTopRow = -1;
    m_nFetchBlock = 500;
    m_nWaitCursorThreshold = 500;
    m_nCacheSize = 100;
}

void CGXDaoParam::Serialize(CArchive& ar)
{
    CGXBrowseParam::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kDaoSchema << DWORD(m_bPlainBinaryCells);
        m_ColOrder.Serialize(ar);
        return;
    }
    const WORD nSchema = ReadSchema(ar, kDaoSchema);
    m_bPlainBinaryCells = 1;
    if (nSchema >= 2) {
        DWORD dw = 0;
        ar >> dw;
        m_bPlainBinaryCells = dw;
    }
    m_ColOrder.Serialize(ar);
    // Style ids are numbered afresh in every run; the string ids are what stays.
    if (const CGXStylesMap* pMap = GetStylesMap())
        for (int i = 0; i < gxDaoStyleCount; ++i) {
            const WORD nId = pMap->LookupStyleIdByResource(GX_IDS_STYLE_DAO_FIRST + UINT(i));
            m_awFieldStyleIds[i] = nId == GX_INVALID_STYLEID ? 0 : nId;
        }
}

void CGXDaoParam::CopyDaoSettings(const CGXDaoParam& other)
{
    CopyBrowseSettings(other);
    m_bPlainBinaryCells = other.m_bPlainBinaryCells;
    m_bMemoAsText = other.m_bMemoAsText;
    for (int i = 0; i < gxDaoStyleCount; ++i)
        m_awFieldStyleIds[i] = other.m_awFieldStyleIds[i];
}
