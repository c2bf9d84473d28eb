#include "platform/base/CFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CString PvNativePath(LPCTSTR lpszPath)
{
    CString path(lpszPath);
    path.Replace('\\', '/');
    return path;
}

// ---------------------------------------------------------------------------------------------
// CFile

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        throw e;
}

CFile::~CFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_fd >= 0)
        Abort();
    m_strFileName = lpszFileName;

    int flags = O_CLOEXEC;
    switch (nOpenFlags & 3) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    if (nOpenFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(nOpenFlags & modeNoTruncate))
            flags |= O_TRUNC;
    }

    auto fail = [&](int err) {
        if (pError) {
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_lOsError = err;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    };
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return fail(ENOENT);

    const CString path = PvNativePath(lpszFileName);
    int fd;
    do {
        fd = ::open(path, flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(errno);

    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return fail(err);
    }
    m_fd = fd;
    return TRUE;
}

void CFile::ThrowErrno(int err) const
{
    AfxThrowFileException(CFileException::OsErrorToException(err), err, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    BYTE* p = static_cast<BYTE*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        const ssize_t n = ::read(m_fd, p + total, nCount - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        total += UINT(n);
    }
    return total;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const BYTE* p = static_cast<const BYTE*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        const ssize_t n = ::write(m_fd, p + total, nCount - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            ThrowErrno(ENOSPC);
        total += UINT(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(m_fd, off_t(lOff), whence);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return ULONGLONG(pos);
}

ULONGLONG CFile::GetLength() const
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        ThrowErrno(errno);
    return ULONGLONG(st.st_size);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    if (::ftruncate(m_fd, off_t(dwNewLen)) != 0)
        ThrowErrno(errno);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_fd < 0)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return ULONGLONG(pos);
}

void CFile::Flush()
{
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        ThrowErrno(errno);
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno);
}

void CFile::Abort()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CString CFile::GetFileName() const
{
    const int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
    return m_strFileName.Mid(slash + 1);
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (::rename(PvNativePath(lpszOldName), PvNativePath(lpszNewName)) != 0) {
        const int err = errno;
        AfxThrowFileException(CFileException::OsErrorToException(err), err, lpszOldName);
    }
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (::unlink(PvNativePath(lpszFileName)) != 0) {
        const int err = errno;
        AfxThrowFileException(CFileException::OsErrorToException(err), err, lpszFileName);
    }
}

// ---------------------------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes ? nGrowBytes : 1024) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_bAutoDelete = lpBuffer == nullptr;
}

BYTE* CMemFile::Detach()
{
    BYTE* p = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = true;
    if (m_nGrowBytes == 0)
        m_nGrowBytes = 1024;
    return p;
}

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException* pError)
{
    // A memory file has no name to open.
    if (pError) {
        pError->m_cause = CFileException::genericException;
        pError->m_lOsError = -1;
    }
    return FALSE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const size_t n = std::min<size_t>(nCount, m_nFileSize - m_nPosition);
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return UINT(n);
}

void CMemFile::GrowFile(size_t nNewSize)
{
    if (nNewSize <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowFileException(CFileException::diskFull, ENOSPC);
    size_t size = m_nBufferSize;
    while (size < nNewSize) {
        if (size > SIZE_MAX / 2)
            AfxThrowMemoryException();
        size += std::max<size_t>(m_nGrowBytes, size / 2);
    }
    BYTE* p;
    if (m_bAutoDelete) {
        p = static_cast<BYTE*>(std::realloc(m_lpBuffer, size));
    } else {
        // The caller's block is left alone; the content moves to memory of our own.
        p = static_cast<BYTE*>(std::malloc(size));
        if (p != nullptr && m_nFileSize > 0)
            std::memcpy(p, m_lpBuffer, m_nFileSize);
    }
    if (p == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = p;
    m_nBufferSize = size;
    m_bAutoDelete = true;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const size_t end = m_nPosition + nCount;
    GrowFile(end);
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    m_nFileSize = std::max(m_nFileSize, end);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = 0;
    if (nFrom == current)
        base = LONGLONG(m_nPosition);
    else if (nFrom == end)
        base = LONGLONG(m_nFileSize);
    const LONGLONG pos = base + lOff;
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, EINVAL);
    m_nPosition = size_t(pos);
    return ULONGLONG(pos);
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > m_nFileSize) {
        GrowFile(size_t(dwNewLen));
        std::memset(m_lpBuffer + m_nFileSize, 0, size_t(dwNewLen) - m_nFileSize);
    }
    m_nFileSize = size_t(dwNewLen);
    m_nPosition = std::min(m_nPosition, m_nFileSize);
}

void CMemFile::Close()
{
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = true;
    if (m_nGrowBytes == 0)
        m_nGrowBytes = 1024;
}

// ---------------------------------------------------------------------------------------------
// CStdioFile

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        throw e;
}

CStdioFile::~CStdioFile()
{
    Abort();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_pStream)
        Abort();
    if (!CFile::Open(lpszFileName, nOpenFlags, pError))
        return FALSE;
    const char* mode = (nOpenFlags & 3) == modeWrite ? "wb" : (nOpenFlags & 3) == modeReadWrite ? "r+b" : "rb";
    m_pStream = ::fdopen(m_fd, mode);
    if (m_pStream == nullptr) {
        const int err = errno;
        CFile::Abort();
        if (pError) {
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_lOsError = err;
        }
        return FALSE;
    }
    return TRUE;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    std::string line;
    int c;
    bool any = false;
    while ((c = std::fgetc(m_pStream)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(char(c));
    }
    if (std::ferror(m_pStream))
        ThrowErrno(errno ? errno : EIO);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    rString = CString(std::move(line));
    return any;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    if (lpsz == nullptr || nMax == 0)
        return nullptr;
    const int n = nMax > INT_MAX ? INT_MAX : int(nMax);
    if (std::fgets(lpsz, n, m_pStream) == nullptr) {
        if (std::ferror(m_pStream))
            ThrowErrno(errno ? errno : EIO);
        return nullptr;
    }
    return lpsz;
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (lpsz == nullptr)
        return;
    Write(lpsz, UINT(std::strlen(lpsz)));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
    if (n < nCount && std::ferror(m_pStream))
        ThrowErrno(errno ? errno : EIO);
    return UINT(n);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        ThrowErrno(errno ? errno : ENOSPC);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
    if (::fseeko(m_pStream, off_t(lOff), whence) != 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return GetPosition();
}

ULONGLONG CStdioFile::GetLength() const
{
    if (m_pStream)
        std::fflush(m_pStream);
    return CFile::GetLength();
}

ULONGLONG CStdioFile::GetPosition() const
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const off_t pos = ::ftello(m_pStream);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return ULONGLONG(pos);
}

void CStdioFile::Flush()
{
    if (m_pStream && std::fflush(m_pStream) != 0)
        ThrowErrno(errno ? errno : EIO);
}

void CStdioFile::Close()
{
    if (m_pStream == nullptr) {
        CFile::Close();
        return;
    }
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    m_fd = -1;  // fclose closes the descriptor
    if (std::fclose(stream) != 0)
        ThrowErrno(errno ? errno : EIO);
}

void CStdioFile::Abort()
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
        m_fd = -1;
    }
    CFile::Abort();
}
