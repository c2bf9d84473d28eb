#pragma once
// CArchive: the framework's binary object stream, little-endian, over a CFile.
//
// Object stream: null is WORD 0; a class seen for the first time is WORD 0xFFFF, WORD schema,
// WORD name length and the name; a class seen before is WORD 0x8000|index; an object seen
// before is WORD index; an index of 0x7FFF or more is WORD 0x7FFF and a DWORD (bit 31 set for a
// class). Classes and objects share one counter from 1 in order of first appearance; a new
// class takes its number before its object does.
//
// Loading never trusts the file: every length and count is checked against the bytes left
// before anything is allocated, and damage surfaces as CArchiveException.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/CFile.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/exceptions.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Flushes a storing archive that was not closed (errors are dropped; call Close to see them).
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    BOOL IsBufferEmpty() const { return m_nBufCur == m_nBufMax; }
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded, once; later calls answer (UINT)-1.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Raw bytes. Read answers fewer bytes than asked only at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or throws end-of-file.
    void EnsureRead(void* lpBuf, UINT nCount);
    void Flush();
    void Close();
    void Abort();

    // Element counts: WORD below 0xFFFF, else WORD 0xFFFF and a DWORD.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Bytes that can still be read (buffered plus the rest of the file).
    ULONGLONG GetBytesLeft() const;
    // Throws end-of-file unless nCount elements of at least nMinElementSize bytes each can
    // still be in the archive. Collections call it before they size themselves.
    void CheckCount(ULONGLONG nCount, size_t nMinElementSize);

    void WriteObject(const CObject* pOb);
    // The next object; when pClassRefRequested is given the object must be of that kind
    // (else bad class). An object whose own Serialize fails is deleted before the exception
    // leaves, so a failed load leaks nothing that the archive created and did not hand out.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);

    // Primitives
    CArchive& operator<<(BYTE by) { return WriteLE(by); }
    CArchive& operator<<(char ch) { return WriteLE(BYTE(ch)); }
    CArchive& operator<<(WORD w) { return WriteLE(w); }
    CArchive& operator<<(short w) { return WriteLE(WORD(w)); }
    CArchive& operator<<(int i) { return WriteLE(DWORD(i)); }
    CArchive& operator<<(DWORD dw) { return WriteLE(dw); }
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator>>(BYTE& by) { by = ReadLE<BYTE>(); return *this; }
    CArchive& operator>>(char& ch) { ch = char(ReadLE<BYTE>()); return *this; }
    CArchive& operator>>(WORD& w) { w = ReadLE<WORD>(); return *this; }
    CArchive& operator>>(short& w) { w = short(ReadLE<WORD>()); return *this; }
    CArchive& operator>>(int& i) { i = int(ReadLE<DWORD>()); return *this; }
    CArchive& operator>>(DWORD& dw) { dw = ReadLE<DWORD>(); return *this; }
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);

    CArchive& operator<<(const CObject* pOb) { WriteObject(pOb); return *this; }
    CArchive& operator>>(CObject*& pOb) { pOb = ReadObject(nullptr); return *this; }
    CArchive& operator>>(const CObject*& pOb) { pOb = ReadObject(nullptr); return *this; }

    // Strings: BYTE length below 255; 0xFF and a WORD below 0xFFFF; else 0xFF, 0xFFFF and a DWORD.
    void WriteStringData(const CString& str);
    void ReadStringData(CString& str);

    // The archive's context: the document (or whatever the caller points it at) being loaded
    // or stored.
    void* m_pDocument{nullptr};
    CString m_strFileName;

private:
    template <typename T>
    CArchive& WriteLE(T value)
    {
        BYTE bytes[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i)
            bytes[i] = BYTE(DWORD(value) >> (8 * i));
        Write(bytes, sizeof(T));
        return *this;
    }
    template <typename T>
    T ReadLE()
    {
        BYTE bytes[sizeof(T)];
        EnsureRead(bytes, sizeof(T));
        DWORD value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= DWORD(bytes[i]) << (8 * i);
        return T(value);
    }

    void CheckLoading() const;
    void CheckStoring() const;
    void FlushStoreBuffer();
    DWORD NextMapIndex();

    struct LoadEntry {
        CRuntimeClass* pClass{nullptr};  // set for a class entry
        UINT nSchema{0};
        CObject* pObject{nullptr};       // set for an object entry
    };

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_buffer;
    size_t m_nBufCur{0};
    size_t m_nBufMax{0};
    ULONGLONG m_nFileLeft{0};  // bytes of the file not yet in the buffer (loading)
    UINT m_nObjectSchema{UINT(-1)};
    int m_nDepth{0};

    DWORD m_nMapCount{1};
    std::unordered_map<const CRuntimeClass*, DWORD> m_storeClasses;
    std::unordered_map<const CObject*, DWORD> m_storeObjects;
    std::vector<LoadEntry> m_loadMap{LoadEntry{}};  // index 0 is null
};

CArchive& operator<<(CArchive& ar, const CString& str);
CArchive& operator>>(CArchive& ar, CString& str);
