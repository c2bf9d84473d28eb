#include "grid/core/gxcoll.h"

#include "grid/core/gxrange.h"
#include "grid/core/gxserial.h"

DWORD GXMovedIndex(DWORD nIndex, DWORD nFirst, DWORD nLast, DWORD nDest);

IMPLEMENT_SERIAL(CGXCollMapDWordToLong, CObject, 0)
IMPLEMENT_SERIAL(CGXMapDWordToLong, CGXCollMapDWordToLong, 0)
IMPLEMENT_SERIAL(CGXCollMapDWordToString, CObject, 0)

void CGXCollMapDWordToLong::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        GXWriteWordCount(ar, size_t(GetCount()));
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD k;
            LONG v;
            GetNextAssoc(pos, k, v);
            ar << k << v;
        }
    } else {
        WORD n;
        ar >> n;
        ar.CheckCount(n, 8);
        for (WORD i = 0; i < n; i++) {
            DWORD k;
            LONG v;
            ar >> k >> v;
            (*this)[k] = v;
        }
    }
}

void CGXMapDWordToLong::Assign(const CGXMapDWordToLong& other)
{
    if (&other == this)
        return;
    RemoveAll();
    InitHashTable(other.GetHashTableSize());
    m_buckets = other.m_buckets;
    m_nCount = other.m_nCount;
}

void CGXCollMapDWordToString::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        GXWriteWordCount(ar, size_t(GetCount()));
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD k;
            CString v;
            GetNextAssoc(pos, k, v);
            ar << k << v;
        }
    } else {
        WORD n;
        ar >> n;
        ar.CheckCount(n, 5);
        for (WORD i = 0; i < n; i++) {
            DWORD k;
            CString v;
            ar >> k >> v;
            (*this)[k] = v;
        }
    }
}

void GXDeleteAllObjects(CObList& list)
{
    for (POSITION pos = list.GetHeadPosition(); pos;)
        delete list.GetNext(pos);
    list.RemoveAll();
}

void GXDeleteAllObjects(CPtrArray& array)
{
    // Only CObject-derived objects go into the grid's owning pointer arrays.
    for (INT_PTR i = 0; i < array.GetSize(); i++)
        delete static_cast<CObject*>(array[i]);
    array.RemoveAll();
}

void GXDeleteAllObjects(CMapPtrToPtr& map)
{
    for (POSITION pos = map.GetStartPosition(); pos;) {
        void* k;
        void* v;
        map.GetNextAssoc(pos, k, v);
        delete static_cast<CObject*>(v);
    }
    map.RemoveAll();
}
