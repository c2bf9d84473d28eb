#pragma once
// CSharedFile: a memory file over a global memory block, the form clipboard data travel in. A
// file writes into a block of its own, grown in steps, and hands it over with Detach (the block
// is then the taker's, for SetClipboardData); or it reads and writes a block the caller gives it
// with SetHandle, which stays the caller's unless the file was told to free it.

#include "platform/base/CFile.h"
#include "platform/sys/globalmem.h"

class CSharedFile : public CFile {
    DECLARE_DYNAMIC(CSharedFile)
public:
    // The flags of the blocks the file allocates (GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT
    // as the clipboard wants them), and the step it grows by.
    explicit CSharedFile(UINT nAllocFlags = GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, UINT nGrowBytes = 4096);
    ~CSharedFile() override;

    // Works on the caller's block: its whole size is the file's content. With bAllowGrow a write
    // past the end grows the block in place (the handle may change: read it back with Detach).
    void SetHandle(HGLOBAL hGlobal, BOOL bAllowGrow = TRUE);
    // The block (sized to the bytes written) goes to the caller; the file is empty afterwards.
    // Null when nothing was written.
    HGLOBAL Detach();

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
    void Grow(size_t nNewSize);
    void Lock();
    void Unlock();

    HGLOBAL m_hGlobal = nullptr;
    BYTE* m_pData = nullptr;  // the locked block
    size_t m_nBufferSize = 0;
    size_t m_nFileSize = 0;
    size_t m_nPosition = 0;
    UINT m_nAllocFlags;
    UINT m_nGrowBytes;
    bool m_bAllowGrow = true;
    bool m_bOwned = true;
};
