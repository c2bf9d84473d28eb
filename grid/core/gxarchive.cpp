#include "grid/core/gxarchive.h"

#include "grid/core/gxstymap.h"

void GXWriteWordCount(CArchive& ar, size_t nCount)
{
    if (nCount > 0xFFFF)
        AfxThrowArchiveException(CArchiveException::genericException);
    ar << WORD(nCount);
}

const CGXStylesMap* GXStylesMapOfArchive(const CArchive& ar)
{
    return dynamic_cast<const CGXStylesMap*>(static_cast<const CObject*>(ar.m_pDocument));
}
