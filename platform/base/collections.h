#pragma once
// The framework's collections: arrays, doubly linked lists and hash maps of pointers, numbers,
// strings and objects, iterated by POSITION. Each concrete class is a CObject with a runtime
// class; the ones an archive stores have Serialize.

#include <algorithm>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

struct PvPosition__;
typedef PvPosition__* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

namespace pv {

// Growable array with the framework's sizing rules: SetSize(n, grow) keeps grow for later
// growth (0 picks size / 8 within 4..1024); new elements are zero; shrinking keeps capacity.
template <class TYPE, class ARG_TYPE = const TYPE&>
class Array {
public:
    INT_PTR GetSize() const { return INT_PTR(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }

    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        ASSERT(nNewSize >= 0);
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize <= 0) {
            std::vector<TYPE>().swap(m_data);
            return;
        }
        const size_t n = size_t(nNewSize);
        if (m_data.capacity() == 0) {
            m_data.reserve(n);
        } else if (n > m_data.capacity()) {
            size_t grow = size_t(m_nGrowBy);
            if (grow == 0)
                grow = std::min<size_t>(1024, std::max<size_t>(4, m_data.size() / 8));
            m_data.reserve(std::max(n, m_data.capacity() + grow));
        }
        m_data.resize(n, TYPE());
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { SetSize(0); }

    TYPE GetAt(INT_PTR nIndex) const { ASSERT(InRange(nIndex)); return m_data[size_t(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { ASSERT(InRange(nIndex)); m_data[size_t(nIndex)] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { ASSERT(InRange(nIndex)); return m_data[size_t(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { ASSERT(InRange(nIndex)); return m_data[size_t(nIndex)]; }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }
    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        ASSERT(nIndex >= 0);
        TYPE value = newElement;  // may refer into the array, which can move when it grows
        if (nIndex >= GetSize())
            SetSize(nIndex + 1);
        m_data[size_t(nIndex)] = std::move(value);
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        const INT_PTR nIndex = GetSize();
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    INT_PTR Append(const Array& src)
    {
        const INT_PTR nOldSize = GetSize();
        const std::vector<TYPE> copy(src.m_data);  // src may be *this
        SetSize(nOldSize + INT_PTR(copy.size()));
        std::copy(copy.begin(), copy.end(), m_data.begin() + nOldSize);
        return nOldSize;
    }
    void Copy(const Array& src)
    {
        if (this != &src)
            m_data = src.m_data;
    }
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0);
        const TYPE value = newElement;  // may refer into the array
        if (nIndex >= GetSize()) {
            SetSize(nIndex + nCount);
        } else {
            SetSize(GetSize() + nCount);
            std::move_backward(m_data.begin() + nIndex, m_data.end() - nCount, m_data.end());
        }
        std::fill(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount, value);
    }
    void InsertAt(INT_PTR nStartIndex, const Array* pNewArray)
    {
        ASSERT(pNewArray != nullptr && nStartIndex >= 0);
        const std::vector<TYPE> copy(pNewArray->m_data);
        if (copy.empty())
            return;
        InsertAt(nStartIndex, copy[0], INT_PTR(copy.size()));
        std::copy(copy.begin(), copy.end(), m_data.begin() + nStartIndex);
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

protected:
    bool InRange(INT_PTR nIndex) const { return nIndex >= 0 && nIndex < GetSize(); }

    std::vector<TYPE> m_data;
    INT_PTR m_nGrowBy{0};
};

template <class TYPE, class ARG_TYPE = const TYPE&>
class List {
    struct Node {
        Node* pNext;
        Node* pPrev;
        TYPE data;
    };

public:
    explicit List(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { ASSERT(m_pHead); return m_pHead->data; }
    const TYPE& GetHead() const { ASSERT(m_pHead); return m_pHead->data; }
    TYPE& GetTail() { ASSERT(m_pTail); return m_pTail->data; }
    const TYPE& GetTail() const { ASSERT(m_pTail); return m_pTail->data; }

    TYPE RemoveHead()
    {
        ASSERT(m_pHead);
        TYPE value = m_pHead->data;
        RemoveAt(Pos(m_pHead));
        return value;
    }
    TYPE RemoveTail()
    {
        ASSERT(m_pTail);
        TYPE value = m_pTail->data;
        RemoveAt(Pos(m_pTail));
        return value;
    }
    POSITION AddHead(ARG_TYPE newElement) { return Pos(Link(newElement, nullptr, m_pHead)); }
    POSITION AddTail(ARG_TYPE newElement) { return Pos(Link(newElement, m_pTail, nullptr)); }
    void AddHead(const List* pNewList)
    {
        for (Node* p = pNewList->m_pTail; p; p = p->pPrev)
            AddHead(p->data);
    }
    void AddTail(const List* pNewList)
    {
        for (Node* p = pNewList->m_pHead; p; p = p->pNext)
            AddTail(p->data);
    }
    void RemoveAll()
    {
        Node* p = m_pHead;
        while (p) {
            Node* next = p->pNext;
            delete p;
            p = next;
        }
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pHead); }
    POSITION GetTailPosition() const { return Pos(m_pTail); }
    TYPE& GetNext(POSITION& rPosition)
    {
        Node* p = At(rPosition);
        rPosition = Pos(p->pNext);
        return p->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        Node* p = At(rPosition);
        rPosition = Pos(p->pNext);
        return p->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        Node* p = At(rPosition);
        rPosition = Pos(p->pPrev);
        return p->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        Node* p = At(rPosition);
        rPosition = Pos(p->pPrev);
        return p->data;
    }
    TYPE& GetAt(POSITION position) { return At(position)->data; }
    const TYPE& GetAt(POSITION position) const { return At(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { At(pos)->data = newElement; }
    void RemoveAt(POSITION position)
    {
        Node* p = At(position);
        (p->pPrev ? p->pPrev->pNext : m_pHead) = p->pNext;
        (p->pNext ? p->pNext->pPrev : m_pTail) = p->pPrev;
        delete p;
        --m_nCount;
    }
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddHead(newElement);
        Node* p = At(position);
        return Pos(Link(newElement, p->pPrev, p));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddTail(newElement);
        Node* p = At(position);
        return Pos(Link(newElement, p, p->pNext));
    }
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        Node* p = startAfter ? At(startAfter)->pNext : m_pHead;
        for (; p; p = p->pNext) {
            if (p->data == searchValue)
                return Pos(p);
        }
        return nullptr;
    }
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        Node* p = m_pHead;
        while (nIndex-- > 0)
            p = p->pNext;
        return Pos(p);
    }

private:
    static POSITION Pos(Node* p) { return reinterpret_cast<POSITION>(p); }
    static Node* At(POSITION pos)
    {
        ASSERT(pos != nullptr && pos != BEFORE_START_POSITION);
        return reinterpret_cast<Node*>(pos);
    }
    Node* Link(ARG_TYPE value, Node* pPrev, Node* pNext)
    {
        Node* p = new Node{pNext, pPrev, value};
        (pPrev ? pPrev->pNext : m_pHead) = p;
        (pNext ? pNext->pPrev : m_pTail) = p;
        ++m_nCount;
        return p;
    }

    Node* m_pHead{nullptr};
    Node* m_pTail{nullptr};
    INT_PTR m_nCount{0};
};

inline UINT HashKey(const void* key) { return UINT(UINT_PTR(key) >> 4); }
inline UINT HashKey(WORD key) { return UINT(key) >> 4; }
inline UINT HashKey(LPCTSTR key)
{
    UINT nHash = 0;
    while (*key)
        nHash = (nHash << 5) + nHash + UINT(int(*key++));
    return nHash;
}

// Chained hash table; new entries go to the front of their bucket and iteration runs bucket
// by bucket, so the order is stable for a given history of changes.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class Map {
    struct Assoc {
        Assoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    explicit Map(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;
    ~Map() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Only while the map is empty; later calls are ignored.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE)
    {
        if (m_nCount != 0 || nHashSize == 0)
            return;
        m_table.clear();
        m_nHashTableSize = nHashSize;
        if (bAllocNow)
            m_table.assign(nHashSize, nullptr);
    }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT nHash;
        const Assoc* p = Find(key, nHash);
        if (p == nullptr)
            return FALSE;
        rValue = p->value;
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key)
    {
        UINT nHash;
        Assoc* p = Find(key, nHash);
        if (p == nullptr) {
            if (m_table.empty())
                m_table.assign(m_nHashTableSize, nullptr);
            p = new Assoc{m_table[nHash], nHash, KEY(key), VALUE()};
            m_table[nHash] = p;
            ++m_nCount;
        }
        return p->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_table.empty())
            return FALSE;
        Assoc** pp = &m_table[Bucket(key)];
        for (; *pp; pp = &(*pp)->pNext) {
            if (Equal((*pp)->key, key)) {
                Assoc* p = *pp;
                *pp = p->pNext;
                delete p;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (Assoc*& head : m_table) {
            while (head) {
                Assoc* next = head->pNext;
                delete head;
                head = next;
            }
        }
        m_table.clear();
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : Pos(FirstFrom(0)); }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        ASSERT(rNextPosition != nullptr);
        const Assoc* p = rNextPosition == BEFORE_START_POSITION ? FirstFrom(0)
                                                                : reinterpret_cast<const Assoc*>(rNextPosition);
        rKey = p->key;
        rValue = p->value;
        rNextPosition = Pos(p->pNext ? p->pNext : FirstFrom(p->nHashValue + 1));
    }

private:
    static POSITION Pos(const Assoc* p) { return reinterpret_cast<POSITION>(const_cast<Assoc*>(p)); }
    static bool Equal(const KEY& a, ARG_KEY b) { return a == b; }
    UINT Bucket(ARG_KEY key) const { return HashKey(key) % m_nHashTableSize; }
    Assoc* Find(ARG_KEY key, UINT& nHash) const
    {
        nHash = Bucket(key);
        if (m_table.empty())
            return nullptr;
        for (Assoc* p = m_table[nHash]; p; p = p->pNext) {
            if (Equal(p->key, key))
                return p;
        }
        return nullptr;
    }
    const Assoc* FirstFrom(UINT nBucket) const
    {
        for (UINT i = nBucket; i < m_table.size(); ++i) {
            if (m_table[i])
                return m_table[i];
        }
        return nullptr;
    }

    std::vector<Assoc*> m_table;
    UINT m_nHashTableSize{17};
    INT_PTR m_nCount{0};
};

} // namespace pv

// ---------------------------------------------------------------------------------------------
// Arrays

class CObArray : public CObject, public pv::Array<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
public:
    void Serialize(CArchive& ar) override;
};

class CPtrArray : public CObject, public pv::Array<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
};

class CByteArray : public CObject, public pv::Array<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
public:
    void Serialize(CArchive& ar) override;
};

class CWordArray : public CObject, public pv::Array<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CDWordArray : public CObject, public pv::Array<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
public:
    void Serialize(CArchive& ar) override;
};

class CUIntArray : public CObject, public pv::Array<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};

class CStringArray : public CObject, public pv::Array<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringArray)
public:
    void Serialize(CArchive& ar) override;
};

// ---------------------------------------------------------------------------------------------
// Lists

class CPtrList : public CObject, public pv::List<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : pv::List<void*, void*>(nBlockSize) {}
};

class CObList : public CObject, public pv::List<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10) : pv::List<CObject*, CObject*>(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

class CStringList : public CObject, public pv::List<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : pv::List<CString, LPCTSTR>(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

// ---------------------------------------------------------------------------------------------
// Maps

class CMapPtrToPtr : public CObject, public pv::Map<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : pv::Map<void*, void*, void*, void*>(nBlockSize) {}
};

class CMapPtrToWord : public CObject, public pv::Map<void*, void*, WORD, WORD> {
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : pv::Map<void*, void*, WORD, WORD>(nBlockSize) {}
};

class CMapWordToPtr : public CObject, public pv::Map<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : pv::Map<WORD, WORD, void*, void*>(nBlockSize) {}
};

class CMapStringToPtr : public CObject, public pv::Map<CString, LPCTSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : pv::Map<CString, LPCTSTR, void*, void*>(nBlockSize) {}
};

class CMapStringToOb : public CObject, public pv::Map<CString, LPCTSTR, CObject*, CObject*> {
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(INT_PTR nBlockSize = 10)
        : pv::Map<CString, LPCTSTR, CObject*, CObject*>(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

class CMapStringToString : public CObject, public pv::Map<CString, LPCTSTR, CString, LPCTSTR> {
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10)
        : pv::Map<CString, LPCTSTR, CString, LPCTSTR>(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};
