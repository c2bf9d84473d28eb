#pragma once
// Files: CFile over a POSIX descriptor, CMemFile over a memory block, CStdioFile for text lines.
// Paths may use '\' or '/' as separators.

#include <cstdio>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/exceptions.h"

// The path with every '\' turned into '/', for the operating system.
CString PvNativePath(LPCTSTR lpszPath);

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    CFile() = default;
    // Opens the file; throws CFileException on failure.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure, with the cause in *pError when given. Share flags are accepted and
    // not enforced; a folder is refused (access denied).
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Bytes read, 0 at the end of the file; throws CFileException on a read error.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes everything or throws CFileException (for example disk full).
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual ULONGLONG GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();

    BOOL IsOpen() const { return m_fd >= 0; }
    CString GetFileName() const;
    CString GetFilePath() const { return m_strFileName; }
    void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void Remove(LPCTSTR lpszFileName);

protected:
    [[noreturn]] void ThrowErrno(int err) const;

    int m_fd{-1};
    CString m_strFileName;
};

// A file in memory. Owned blocks grow by nGrowBytes; an attached block with a grow size of 0
// is fixed, and writing past its end throws CFileException::diskFull.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // Uses the caller's block, which stays the caller's. With nGrowBytes 0 the whole block is
    // the file's content and cannot grow; otherwise the file starts empty in it and moves to
    // memory of its own when it outgrows it.
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the block to the caller (free() it when the file owned it) and empties the file.
    BYTE* Detach();

    BOOL Open(LPCTSTR, UINT, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override { return m_nFileSize; }
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

private:
    void GrowFile(size_t nNewSize);

    BYTE* m_lpBuffer{nullptr};
    size_t m_nBufferSize{0};
    size_t m_nFileSize{0};
    size_t m_nPosition{0};
    UINT m_nGrowBytes{1024};
    bool m_bAutoDelete{true};
};

// Text-line access to a file through a C stream.
class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    // The next line without its line end ("\n" or "\r\n"); FALSE at the end of the file.
    BOOL ReadString(CString& rString);
    // At most nMax - 1 bytes, keeping the "\n"; null at the end of the file.
    LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    void WriteString(LPCTSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override;
    ULONGLONG GetPosition() const override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    FILE* m_pStream{nullptr};
};
