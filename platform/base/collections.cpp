#include "platform/base/collections.h"

#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)

// Every element takes at least this many bytes in an archive; a count that the rest of the
// archive cannot hold is refused before the collection grows.
namespace {
constexpr size_t kMinObjectBytes = 2;  // a WORD tag
constexpr size_t kMinStringBytes = 1;  // a BYTE length
} // namespace

void CObArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetSize()));
        for (CObject* p : m_data)
            ar << p;
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, kMinObjectBytes);
    SetSize(INT_PTR(nCount));
    for (CObject*& p : m_data)
        ar >> p;
}

template <typename T>
static void SerializeNumbers(CArchive& ar, std::vector<T>& data, pv::Array<T, T>& array)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(data.size()));
        for (T v : data)
            ar << v;
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, sizeof(T));
    array.SetSize(INT_PTR(nCount));
    for (T& v : data)
        ar >> v;
}

void CByteArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetSize()));
        ar.Write(GetData(), UINT(GetSize()));
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, 1);
    SetSize(INT_PTR(nCount));
    ar.EnsureRead(GetData(), UINT(nCount));
}

void CWordArray::Serialize(CArchive& ar)
{
    SerializeNumbers<WORD>(ar, m_data, *this);
}

void CDWordArray::Serialize(CArchive& ar)
{
    SerializeNumbers<DWORD>(ar, m_data, *this);
}

void CStringArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetSize()));
        for (const CString& s : m_data)
            ar << s;
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, kMinStringBytes);
    SetSize(INT_PTR(nCount));
    for (CString& s : m_data)
        ar >> s;
}

void CObList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos;)
            ar << GetNext(pos);
        return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, kMinObjectBytes);
    while (nCount-- > 0) {
        CObject* p;
        ar >> p;
        AddTail(p);
    }
}

void CStringList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos;)
            ar << GetNext(pos);
        return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, kMinStringBytes);
    while (nCount-- > 0) {
        CString s;
        ar >> s;
        AddTail(s);
    }
}

void CMapStringToOb::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetCount()));
        CString key;
        CObject* value;
        for (POSITION pos = GetStartPosition(); pos;) {
            GetNextAssoc(pos, key, value);
            ar << key << value;
        }
        return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, kMinStringBytes + kMinObjectBytes);
    while (nCount-- > 0) {
        CString key;
        CObject* value;
        ar >> key >> value;
        SetAt(key, value);
    }
}

void CMapStringToString::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD_PTR(GetCount()));
        CString key, value;
        for (POSITION pos = GetStartPosition(); pos;) {
            GetNextAssoc(pos, key, value);
            ar << key << value;
        }
        return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.CheckCount(nCount, 2 * kMinStringBytes);
    while (nCount-- > 0) {
        CString key, value;
        ar >> key >> value;
        SetAt(key, value);
    }
}
