#pragma once
// Archive helpers for the grid-core tests.

#include <functional>
#include <string>
#include <vector>

#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"

using Bytes = std::vector<BYTE>;

inline Bytes StoreBytes(const std::function<void(CArchive&)>& write, void* pDocument = nullptr)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = pDocument;
        write(ar);
        ar.Close();
    }
    const size_t n = size_t(file.GetLength());
    BYTE* p = file.Detach();
    Bytes out(p, p + n);
    free(p);
    return out;
}

inline void LoadBytes(Bytes bytes, const std::function<void(CArchive&)>& read, void* pDocument = nullptr)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = pDocument;
    read(ar);
}

// Appends little-endian values to a byte vector.
struct ByteBuilder {
    Bytes b;
    ByteBuilder& byte(BYTE v) { b.push_back(v); return *this; }
    ByteBuilder& word(WORD v) { byte(BYTE(v)); return byte(BYTE(v >> 8)); }
    ByteBuilder& dword(DWORD v) { word(WORD(v)); return word(WORD(v >> 16)); }
    ByteBuilder& text(const std::string& s) { byte(BYTE(s.size())); b.insert(b.end(), s.begin(), s.end()); return *this; }
    ByteBuilder& newClass(const std::string& name, WORD schema = 0)
    {
        word(0xFFFF).word(schema).word(WORD(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        return *this;
    }
};
