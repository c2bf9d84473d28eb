#pragma once
// The grid's sparse tables: chained hash maps from a 32-bit key (a row or column) to a number
// or a text, with the renumbering that inserted, removed and moved rows and columns need.
// Iteration (and so the archive) goes bucket by bucket, newest entry first in a bucket.

#include <memory>
#include <utility>
#include <vector>

#include "grid/core/gxarchive.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/collections.h"

template <class VALUE>
class CGXHashByRow {
public:
    explicit CGXHashByRow(UINT nBuckets = 17) : m_nBuckets(nBuckets ? nBuckets : 17) {}

    void InitHashTable(UINT nBuckets)
    {
        m_nBuckets = nBuckets ? nBuckets : 17;
        m_buckets.clear();
        m_nCount = 0;
    }
    UINT GetHashTableSize() const { return m_nBuckets; }
    INT_PTR GetCount() const { return INT_PTR(m_nCount); }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(DWORD key, VALUE& value) const
    {
        if (const VALUE* p = Find(key)) {
            value = *p;
            return TRUE;
        }
        return FALSE;
    }
    VALUE& operator[](DWORD key)
    {
        if (VALUE* p = const_cast<VALUE*>(Find(key)))
            return *p;
        if (m_buckets.empty())
            m_buckets.resize(m_nBuckets);
        auto& chain = m_buckets[Hash(key)];
        chain.insert(chain.begin(), {key, VALUE()});
        m_nCount++;
        return chain.front().second;
    }
    void SetAt(DWORD key, const VALUE& value) { (*this)[key] = value; }
    BOOL RemoveKey(DWORD key)
    {
        if (m_buckets.empty())
            return FALSE;
        auto& chain = m_buckets[Hash(key)];
        for (auto it = chain.begin(); it != chain.end(); ++it)
            if (it->first == key) {
                chain.erase(it);
                m_nCount--;
                return TRUE;
            }
        return FALSE;
    }
    void RemoveAll()
    {
        m_buckets.clear();
        m_nCount = 0;
    }

    // Positions run over the buckets; null ends.
    POSITION GetStartPosition() const { return m_nCount ? Next(0, 0) : nullptr; }
    void GetNextAssoc(POSITION& pos, DWORD& key, VALUE& value) const
    {
        const ULONGLONG p = ULONGLONG(reinterpret_cast<DWORD_PTR>(pos)) - 1;
        const size_t b = size_t(p >> 32), i = size_t(p & 0xFFFFFFFF);
        key = m_buckets[b][i].first;
        value = m_buckets[b][i].second;
        pos = Next(b, i + 1);
    }

    // Rows (columns) inserted: keys at or beyond nFirst grow by nCount.
    void InsertKeys(DWORD nFirst, DWORD nCount) { Renumber([&](DWORD k, bool&) { return k >= nFirst ? k + nCount : k; }); }
    // Rows (columns) nFirst..nLast removed: their keys go, later keys close the gap.
    void RemoveKeys(DWORD nFirst, DWORD nLast)
    {
        Renumber([&](DWORD k, bool& drop) {
            drop = k >= nFirst && k <= nLast;
            return k > nLast ? k - (nLast - nFirst + 1) : k;
        });
    }
    void MoveKeys(DWORD nFirst, DWORD nLast, DWORD nDest);

protected:
    UINT Hash(DWORD key) const { return (key >> 4) % m_nBuckets; }
    const VALUE* Find(DWORD key) const
    {
        if (m_buckets.empty())
            return nullptr;
        for (const auto& kv : m_buckets[Hash(key)])
            if (kv.first == key)
                return &kv.second;
        return nullptr;
    }
    POSITION Next(size_t b, size_t i) const
    {
        for (; b < m_buckets.size(); b++, i = 0)
            if (i < m_buckets[b].size())
                return reinterpret_cast<POSITION>(DWORD_PTR(((ULONGLONG(b) << 32) | i) + 1));
        return nullptr;
    }
    template <typename F>
    void Renumber(F f)
    {
        std::vector<std::pair<DWORD, VALUE>> all;
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD k;
            VALUE v;
            GetNextAssoc(pos, k, v);
            bool drop = false;
            const DWORD nk = f(k, drop);
            if (!drop)
                all.push_back({nk, v});
        }
        RemoveAll();
        // Re-entered oldest first so each bucket keeps its order.
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            (*this)[it->first] = it->second;
    }

    UINT m_nBuckets;
    std::vector<std::vector<std::pair<DWORD, VALUE>>> m_buckets;
    size_t m_nCount = 0;
};

DWORD GXMovedIndex(DWORD nIndex, DWORD nFirst, DWORD nLast, DWORD nDest);

template <class VALUE>
void CGXHashByRow<VALUE>::MoveKeys(DWORD nFirst, DWORD nLast, DWORD nDest)
{
    Renumber([&](DWORD k, bool&) { return GXMovedIndex(k, nFirst, nLast, nDest); });
}

class CGXCollMapDWordToLong : public CObject, public CGXHashByRow<LONG> {
    DECLARE_SERIAL(CGXCollMapDWordToLong)
public:
    explicit CGXCollMapDWordToLong(UINT nBuckets = 17) : CGXHashByRow<LONG>(nBuckets) {}
    CGXCollMapDWordToLong(const CGXCollMapDWordToLong&) = delete;
    CGXCollMapDWordToLong& operator=(const CGXCollMapDWordToLong&) = delete;
    // Word count, then key and value per entry; loading adds to what is there.
    void Serialize(CArchive& ar) override;
};

class CGXMapDWordToLong : public CGXCollMapDWordToLong {
    DECLARE_SERIAL(CGXMapDWordToLong)
public:
    explicit CGXMapDWordToLong(UINT nBuckets = 17) : CGXCollMapDWordToLong(nBuckets) {}
    void Assign(const CGXMapDWordToLong& other);
};

class CGXCollMapDWordToString : public CObject, public CGXHashByRow<CString>, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXCollMapDWordToString)
public:
    CGXCollMapDWordToString() : CGXHashByRow<CString>(17) {}
    void Serialize(CArchive& ar) override;
};

// Deletes every object of an owning container and empties it.
void GXDeleteAllObjects(CObList& list);
void GXDeleteAllObjects(CPtrArray& array);
void GXDeleteAllObjects(CMapPtrToPtr& map);

// Owned objects by two numbers (row and column for cells).
class CMapNdxToOb : public CObject {
    DECLARE_SERIAL(CMapNdxToOb)
public:
    CMapNdxToOb() = default;
    CMapNdxToOb(const CMapNdxToOb&) = delete;
    CMapNdxToOb& operator=(const CMapNdxToOb&) = delete;
    ~CMapNdxToOb() override { RemoveAll(); }

    void InitHashTable(UINT nBuckets, BOOL bAllocNow = TRUE);
    BOOL Lookup(DWORD nFirst, DWORD nSecond, CObject*& pObject) const;
    // Takes ownership; an object already held under the key is deleted (unless it is the same).
    void SetAt(DWORD nFirst, DWORD nSecond, CObject* pObject);
    BOOL RemoveKey(DWORD nFirst, DWORD nSecond);
    void RemoveAll();
    INT_PTR GetCount() const { return INT_PTR(m_nCount); }
    POSITION GetStartPosition() const;
    void GetNextAssoc(POSITION& pos, DWORD& nFirst, DWORD& nSecond, CObject*& pObject) const;
    // Word count, then per entry both numbers and the object.
    void Serialize(CArchive& ar) override;

private:
    struct Assoc {
        DWORD nFirst, nSecond;
        CObject* pObject;
    };
    UINT Hash(DWORD a, DWORD b) const { return (((b & 0xFFFF) << 12) | ((a & 0xFFFF) >> 4)) % m_nBuckets; }
    POSITION Next(size_t bucket, size_t index) const;

    UINT m_nBuckets = 17;
    std::vector<std::vector<Assoc>> m_buckets;
    size_t m_nCount = 0;
    std::vector<std::unique_ptr<CObject>> m_orphans;
};

class CGXMapCellToOb : public CMapNdxToOb {
    DECLARE_SERIAL(CGXMapCellToOb)
};
