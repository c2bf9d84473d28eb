#include "platform/sys/sharedfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CSharedFile, CFile)

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes) : m_nAllocFlags(nAllocFlags), m_nGrowBytes(nGrowBytes ? nGrowBytes : 4096) {}

CSharedFile::~CSharedFile() { Close(); }

void CSharedFile::Lock()
{
    m_pData = m_hGlobal ? static_cast<BYTE*>(GlobalLock(m_hGlobal)) : nullptr;
}

void CSharedFile::Unlock()
{
    if (m_hGlobal && m_pData)
        GlobalUnlock(m_hGlobal);
    m_pData = nullptr;
}

void CSharedFile::SetHandle(HGLOBAL hGlobal, BOOL bAllowGrow)
{
    Close();
    m_hGlobal = hGlobal;
    m_bOwned = false;
    m_bAllowGrow = bAllowGrow != FALSE;
    m_nBufferSize = hGlobal ? GlobalSize(hGlobal) : 0;
    m_nFileSize = m_nBufferSize;
    m_nPosition = 0;
    Lock();
    if (hGlobal && !m_pData) {
        m_hGlobal = nullptr;
        m_nBufferSize = m_nFileSize = 0;
    }
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL h = m_hGlobal;
    Unlock();
    if (h && m_nFileSize < m_nBufferSize && m_nFileSize > 0) {
        if (HGLOBAL hNew = GlobalReAlloc(h, m_nFileSize, GMEM_MOVEABLE))
            h = hNew;
    }
    if (h && m_nFileSize == 0 && m_bOwned) {
        GlobalFree(h);
        h = nullptr;
    }
    m_hGlobal = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bOwned = true;
    m_bAllowGrow = true;
    return h;
}

BOOL CSharedFile::Open(LPCTSTR, UINT, CFileException* pError)
{
    if (pError)
        pError->m_cause = CFileException::genericException;
    return FALSE;
}

void CSharedFile::Grow(size_t nNewSize)
{
    if (nNewSize <= m_nBufferSize)
        return;
    if (!m_bAllowGrow)
        AfxThrowFileException(CFileException::diskFull, ENOSPC);
    // Grown by half again at least, in steps of the grow size: a long write copies the block a
    // few times, not once per step.
    const size_t nWant = std::max(nNewSize, m_nBufferSize + m_nBufferSize / 2);
    const size_t nSize = (nWant + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    Unlock();
    HGLOBAL h = m_hGlobal ? GlobalReAlloc(m_hGlobal, nSize, m_nAllocFlags & GMEM_ZEROINIT ? GMEM_MOVEABLE | GMEM_ZEROINIT : GMEM_MOVEABLE)
                          : GlobalAlloc(m_nAllocFlags, nSize);
    if (!h) {
        Lock();
        AfxThrowMemoryException();
    }
    m_hGlobal = h;
    m_nBufferSize = nSize;
    Lock();
    if (!m_pData)
        AfxThrowMemoryException();
}

UINT CSharedFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const size_t n = std::min<size_t>(nCount, m_nFileSize - m_nPosition);
    std::memcpy(lpBuf, m_pData + m_nPosition, n);
    m_nPosition += n;
    return UINT(n);
}

void CSharedFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    Grow(m_nPosition + nCount);
    std::memcpy(m_pData + m_nPosition, lpBuf, nCount);
    m_nPosition += nCount;
    m_nFileSize = std::max(m_nFileSize, m_nPosition);
}

ULONGLONG CSharedFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = nFrom == begin ? 0 : nFrom == current ? LONGLONG(m_nPosition) : LONGLONG(m_nFileSize);
    const LONGLONG pos = base + lOff;
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, EINVAL);
    m_nPosition = size_t(pos);
    return m_nPosition;
}

void CSharedFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > m_nBufferSize)
        Grow(size_t(dwNewLen));
    if (dwNewLen > m_nFileSize && m_pData)
        std::memset(m_pData + m_nFileSize, 0, size_t(dwNewLen) - m_nFileSize);
    m_nFileSize = size_t(dwNewLen);
    m_nPosition = std::min(m_nPosition, m_nFileSize);
}

void CSharedFile::Close()
{
    Unlock();
    if (m_hGlobal && m_bOwned)
        GlobalFree(m_hGlobal);
    m_hGlobal = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bOwned = true;
    m_bAllowGrow = true;
}
