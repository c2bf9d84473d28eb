#include "platform/base/CArchive.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr WORD wNullTag = 0;
constexpr WORD wNewClassTag = 0xFFFF;
constexpr WORD wClassTag = 0x8000;
constexpr DWORD dwBigClassTag = 0x80000000;
constexpr WORD wBigObjectTag = 0x7FFF;
constexpr DWORD nMaxMapCount = 0x3FFFFFFE;
// Real object graphs nest a handful of levels; a hostile file could nest until the stack ends.
constexpr int nMaxObjectDepth = 512;

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void*)
    : m_pFile(pFile), m_nMode(nMode)
{
    ASSERT(pFile != nullptr);
    m_buffer.resize(size_t(std::max(nBufSize, 128)));
    if (m_pFile)
        m_strFileName = m_pFile->GetFilePath();
    if (IsLoading() && m_pFile) {
        const ULONGLONG len = m_pFile->GetLength();
        const ULONGLONG pos = m_pFile->GetPosition();
        m_nFileLeft = len > pos ? len - pos : 0;
    }
}

CArchive::~CArchive()
{
    if (m_pFile == nullptr)
        return;
    if (m_nMode & bNoFlushOnDelete) {
        Abort();
        return;
    }
    try {
        Close();
    } catch (const CException&) {
        m_pFile = nullptr;
    }
}

UINT CArchive::GetObjectSchema()
{
    const UINT nResult = m_nObjectSchema;
    m_nObjectSchema = UINT(-1);
    return nResult;
}

void CArchive::CheckLoading() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
}

void CArchive::CheckStoring() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
}

// ---------------------------------------------------------------------------------------------
// Raw bytes

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nBufCur == m_nBufMax) {
            const UINT want = nMax - done;
            if (want >= m_buffer.size()) {
                // Large reads go straight to the caller's memory.
                const UINT n = m_pFile->Read(out + done, want);
                m_nFileLeft -= std::min<ULONGLONG>(m_nFileLeft, n);
                done += n;
                break;
            }
            const UINT n = m_pFile->Read(m_buffer.data(), UINT(m_buffer.size()));
            m_nFileLeft -= std::min<ULONGLONG>(m_nFileLeft, n);
            m_nBufCur = 0;
            m_nBufMax = n;
            if (n == 0)
                break;
        }
        const size_t n = std::min<size_t>(nMax - done, m_nBufMax - m_nBufCur);
        std::memcpy(out + done, m_buffer.data() + m_nBufCur, n);
        m_nBufCur += n;
        done += UINT(n);
    }
    return done;
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount)
{
    if (Read(lpBuf, nCount) != nCount)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckStoring();
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        if (m_nBufCur == m_buffer.size())
            FlushStoreBuffer();
        if (m_nBufCur == 0 && nMax >= m_buffer.size()) {
            m_pFile->Write(in, nMax);
            return;
        }
        const size_t n = std::min<size_t>(nMax, m_buffer.size() - m_nBufCur);
        std::memcpy(m_buffer.data() + m_nBufCur, in, n);
        m_nBufCur += n;
        in += n;
        nMax -= UINT(n);
    }
}

void CArchive::FlushStoreBuffer()
{
    if (m_nBufCur > 0) {
        const size_t n = m_nBufCur;
        m_nBufCur = 0;
        m_pFile->Write(m_buffer.data(), UINT(n));
    }
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsStoring()) {
        FlushStoreBuffer();
        return;
    }
    // Give unread buffered bytes back so the file position is where the archive stopped.
    if (m_nBufMax > m_nBufCur) {
        const size_t unread = m_nBufMax - m_nBufCur;
        m_pFile->Seek(-LONGLONG(unread), CFile::current);
        m_nFileLeft += unread;
    }
    m_nBufCur = m_nBufMax = 0;
}

void CArchive::Close()
{
    if (m_pFile == nullptr)
        return;
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_nBufCur = m_nBufMax = 0;
}

ULONGLONG CArchive::GetBytesLeft() const
{
    return (m_nBufMax - m_nBufCur) + m_nFileLeft;
}

void CArchive::CheckCount(ULONGLONG nCount, size_t nMinElementSize)
{
    const ULONGLONG left = GetBytesLeft();
    const ULONGLONG size = std::max<size_t>(nMinElementSize, 1);
    if (nCount > left / size)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

// ---------------------------------------------------------------------------------------------
// Primitives

CArchive& CArchive::operator<<(float f)
{
    DWORD bits;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    return WriteLE(bits);
}

CArchive& CArchive::operator<<(double d)
{
    ULONGLONG bits;
    static_assert(sizeof bits == sizeof d);
    std::memcpy(&bits, &d, sizeof bits);
    WriteLE(DWORD(bits));
    return WriteLE(DWORD(bits >> 32));
}

CArchive& CArchive::operator>>(float& f)
{
    const DWORD bits = ReadLE<DWORD>();
    std::memcpy(&f, &bits, sizeof f);
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    const ULONGLONG lo = ReadLE<DWORD>();
    const ULONGLONG hi = ReadLE<DWORD>();
    const ULONGLONG bits = lo | (hi << 32);
    std::memcpy(&d, &bits, sizeof d);
    return *this;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount > 0xFFFFFFFFu)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    if (dwCount < 0xFFFF) {
        *this << WORD(dwCount);
    } else {
        *this << WORD(0xFFFF);
        *this << DWORD(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD wCount;
    *this >> wCount;
    if (wCount != 0xFFFF)
        return wCount;
    DWORD dwCount;
    *this >> dwCount;
    return dwCount;
}

void CArchive::WriteStringData(const CString& str)
{
    const size_t nLen = size_t(str.GetLength());
    if (nLen < 255) {
        *this << BYTE(nLen);
    } else if (nLen < 0xFFFF) {
        *this << BYTE(0xFF);
        *this << WORD(nLen);
    } else {
        if (nLen > 0xFFFFFFFFu)
            AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
        *this << BYTE(0xFF);
        *this << WORD(0xFFFF);
        *this << DWORD(nLen);
    }
    Write(str.GetString(), UINT(nLen));
}

void CArchive::ReadStringData(CString& str)
{
    BYTE bLen;
    *this >> bLen;
    DWORD nLen = bLen;
    if (bLen == 0xFF) {
        WORD wLen;
        *this >> wLen;
        nLen = wLen;
        if (wLen == 0xFFFF) {
            DWORD dwLen;
            *this >> dwLen;
            nLen = dwLen;
        }
    }
    CheckCount(nLen, 1);
    std::string text(nLen, '\0');
    EnsureRead(text.data(), nLen);
    str = CString(std::move(text));
}

CArchive& operator<<(CArchive& ar, const CString& str)
{
    ar.WriteStringData(str);
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& str)
{
    ar.ReadStringData(str);
    return ar;
}

// ---------------------------------------------------------------------------------------------
// Object stream

DWORD CArchive::NextMapIndex()
{
    if (m_nMapCount >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    return m_nMapCount++;
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    CheckStoring();
    if (pClassRef == nullptr || (pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) == 0xFFFF)
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);

    const auto it = m_storeClasses.find(pClassRef);
    if (it != m_storeClasses.end()) {
        const DWORD nClassIndex = it->second;
        if (nClassIndex < wBigObjectTag) {
            *this << WORD(wClassTag | nClassIndex);
        } else {
            *this << wBigObjectTag;
            *this << DWORD(dwBigClassTag | nClassIndex);
        }
        return;
    }
    *this << wNewClassTag;
    pClassRef->Store(*this);
    m_storeClasses.emplace(pClassRef, NextMapIndex());
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (pOb == nullptr) {
        *this << wNullTag;
        return;
    }
    const auto it = m_storeObjects.find(pOb);
    if (it != m_storeObjects.end()) {
        const DWORD nObIndex = it->second;
        if (nObIndex < wBigObjectTag) {
            *this << WORD(nObIndex);
        } else {
            *this << wBigObjectTag;
            *this << nObIndex;
        }
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    // Numbered before its contents so that references inside it can point back to it.
    m_storeObjects.emplace(pOb, NextMapIndex());
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    CheckLoading();
    WORD wTag;
    *this >> wTag;
    DWORD obTag;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (DWORD(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        // Not a class: a null or an object reference, which only ReadObject may take.
        if (pObTag == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        *pObTag = obTag;
        return nullptr;
    }

    CRuntimeClass* pClassRef;
    UINT nSchema;
    if (wTag == wNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (pClassRef == nullptr || pClassRef->m_pfnCreateObject == nullptr ||
            (pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) == 0xFFFF)
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA) && pClassRef->m_wSchema != nSchema)
            AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
        LoadEntry entry;
        entry.pClass = pClassRef;
        entry.nSchema = nSchema;
        NextMapIndex();
        m_loadMap.push_back(entry);
    } else {
        const DWORD nClassIndex = obTag & ~dwBigClassTag;
        if (nClassIndex == 0 || nClassIndex >= m_loadMap.size() || m_loadMap[nClassIndex].pClass == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        pClassRef = m_loadMap[nClassIndex].pClass;
        nSchema = m_loadMap[nClassIndex].nSchema;
    }

    if (pClassRefRequested && !pClassRef->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    if (pSchema)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    if (pObTag)
        *pObTag = obTag;
    return pClassRef;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    CheckLoading();
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

    if (pClassRef == nullptr) {
        if (obTag == 0)
            return nullptr;
        if (obTag >= m_loadMap.size() || m_loadMap[obTag].pObject == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        CObject* pOb = m_loadMap[obTag].pObject;
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        return pOb;
    }

    if (m_nDepth >= nMaxObjectDepth)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);

    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        AfxThrowMemoryException();
    const size_t nSlot = m_loadMap.size();
    const UINT nSchemaSave = m_nObjectSchema;
    ++m_nDepth;
    try {
        NextMapIndex();
        LoadEntry entry;
        entry.pObject = pOb;
        m_loadMap.push_back(entry);
        m_nObjectSchema = nSchema;
        pOb->Serialize(*this);
    } catch (...) {
        --m_nDepth;
        m_nObjectSchema = nSchemaSave;
        if (nSlot < m_loadMap.size())
            m_loadMap[nSlot].pObject = nullptr;
        delete pOb;
        throw;
    }
    --m_nDepth;
    m_nObjectSchema = nSchemaSave;
    return pOb;
}
