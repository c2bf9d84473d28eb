#pragma once
// Archive helpers for the grid-core tests.

#include <functional>
#include <string>
#include <vector>

#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "tests/grid/gxrefstream.h"

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
