#include "grid/core/gxcoll.h"

#include "grid/core/gxrange.h"
#include "grid/core/gxarchive.h"

DWORD GXMovedIndex(DWORD nIndex, DWORD nFirst, DWORD nLast, DWORD nDest);

IMPLEMENT_SERIAL(CGXCollMapDWordToLong, CObject, 0)
IMPLEMENT_SERIAL(CGXMapDWordToLong, CGXCollMapDWordToLong, 0)
IMPLEMENT_SERIAL(CGXCollMapDWordToString, CObject, 0)

// The count is a word; from 65,535 entries on it is the word 0xFFFF and a dword, so that a
// map of any size loads again (a word alone would keep only the low 16 bits).
void CGXCollMapDWordToLong::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetCount()));
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD k;
            LONG v;
            GetNextAssoc(pos, k, v);
            ar << k << v;
        }
    } else {
        const DWORD_PTR n = ar.ReadCount();
        ar.CheckCount(n, 8);
        for (DWORD_PTR i = 0; i < n; i++) {
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

IMPLEMENT_SERIAL(CMapNdxToOb, CObject, 0)
IMPLEMENT_SERIAL(CGXMapCellToOb, CMapNdxToOb, 0)

void CMapNdxToOb::InitHashTable(UINT nBuckets, BOOL bAllocNow)
{
    RemoveAll();
    m_nBuckets = nBuckets ? nBuckets : 17;
    if (bAllocNow)
        m_buckets.resize(m_nBuckets);
}

BOOL CMapNdxToOb::Lookup(DWORD a, DWORD b, CObject*& pObject) const
{
    if (!m_buckets.empty())
        for (const Assoc& x : m_buckets[Hash(a, b)])
            if (x.nFirst == a && x.nSecond == b) {
                pObject = x.pObject;
                return TRUE;
            }
    return FALSE;
}

void CMapNdxToOb::SetAt(DWORD a, DWORD b, CObject* pObject)
{
    if (m_buckets.empty())
        m_buckets.resize(m_nBuckets);
    auto& chain = m_buckets[Hash(a, b)];
    for (Assoc& x : chain)
        if (x.nFirst == a && x.nSecond == b) {
            if (x.pObject != pObject)
                delete x.pObject;
            x.pObject = pObject;
            return;
        }
    chain.insert(chain.begin(), Assoc {a, b, pObject});
    m_nCount++;
}

BOOL CMapNdxToOb::RemoveKey(DWORD a, DWORD b)
{
    if (m_buckets.empty())
        return FALSE;
    auto& chain = m_buckets[Hash(a, b)];
    for (auto it = chain.begin(); it != chain.end(); ++it)
        if (it->nFirst == a && it->nSecond == b) {
            delete it->pObject;
            chain.erase(it);
            m_nCount--;
            return TRUE;
        }
    return FALSE;
}

void CMapNdxToOb::RemoveAll()
{
    for (auto& chain : m_buckets)
        for (Assoc& x : chain)
            delete x.pObject;
    m_buckets.clear();
    m_nCount = 0;
}

POSITION CMapNdxToOb::Next(size_t b, size_t i) const
{
    for (; b < m_buckets.size(); b++, i = 0)
        if (i < m_buckets[b].size())
            return reinterpret_cast<POSITION>(DWORD_PTR(((ULONGLONG(b) << 32) | i) + 1));
    return nullptr;
}

POSITION CMapNdxToOb::GetStartPosition() const { return m_nCount ? Next(0, 0) : nullptr; }

void CMapNdxToOb::GetNextAssoc(POSITION& pos, DWORD& a, DWORD& b, CObject*& pObject) const
{
    const ULONGLONG p = ULONGLONG(reinterpret_cast<DWORD_PTR>(pos)) - 1;
    const Assoc& x = m_buckets[size_t(p >> 32)][size_t(p & 0xFFFFFFFF)];
    a = x.nFirst;
    b = x.nSecond;
    pObject = x.pObject;
    pos = Next(size_t(p >> 32), size_t(p & 0xFFFFFFFF) + 1);
}

void CMapNdxToOb::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        GXWriteWordCount(ar, m_nCount);
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD a, b;
            CObject* p;
            GetNextAssoc(pos, a, b, p);
            ar << a << b;
            ar.WriteObject(p);
        }
        return;
    }
    WORD n;
    ar >> n;
    ar.CheckCount(n, 10);
    for (WORD i = 0; i < n; i++) {
        DWORD a, b;
        ar >> a >> b;
        CObject* p = ar.ReadObject(nullptr);
        if (!p)
            continue;
        // One owner per stored object: a second mention of one already owned is damage.
        auto* adoptable = dynamic_cast<GXArchiveAdoptable*>(p);
        bool taken = (adoptable && adoptable->m_bAdoptedFromArchive) || p == this;
        for (POSITION pos = GetStartPosition(); pos && !taken;) {
            DWORD x, y;
            CObject* q;
            GetNextAssoc(pos, x, y, q);
            taken = q == p;
        }
        if (taken)
            AfxThrowArchiveException(CArchiveException::badIndex);
        if (adoptable)
            adoptable->m_bAdoptedFromArchive = true;
        // A key stored twice is damage too; the object stays ours (the archive may still name it).
        CObject* existing = nullptr;
        if (Lookup(a, b, existing)) {
            m_orphans.emplace_back(p);
            AfxThrowArchiveException(CArchiveException::badIndex);
        }
        SetAt(a, b, p);
    }
}
