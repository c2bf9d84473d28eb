// Object files: one archived object per file.

#include "grid/core/gxobjfile.h"

#include <string>

#include "grid/core/gxparam.h"
#include "platform/base/CArchive.h"
#include "platform/sys/fileio.h"

namespace {

constexpr int kArchiveBufferSize = 4096;

}  // namespace

CObject* ReadObjectFromArchive(CFile& file, const CRuntimeClass* pClass)
{
    if (!pClass)
        return nullptr;
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete, kArchiveBufferSize);
        ar.m_strFileName = file.GetFilePath();
        CObject* pObject = nullptr;
        try {
            pObject = ar.ReadObject(pClass);
        } catch (...) {
            ar.Abort();
            throw;
        }
        ar.Close();
        return pObject;
    } catch (...) {
        return nullptr;
    }
}

CObject* ReadObjectFromFile(LPCTSTR pszPath, const CRuntimeClass* pClass)
{
    if (!pszPath || !pClass)
        return nullptr;
    CFile file;
    if (!file.Open(pszPath, CFile::modeRead | CFile::shareDenyWrite))
        return nullptr;
    return ReadObjectFromArchive(file, pClass);
}

CGXGridParam* ReadGridParamFromFile(LPCTSTR pszPath)
{
    return static_cast<CGXGridParam*>(ReadObjectFromFile(pszPath, RUNTIME_CLASS(CGXGridParam)));
}

BOOL WriteObjectToFile(const CObject* pObject, LPCTSTR pszPath)
{
    if (!pszPath || !*pszPath)
        return FALSE;
    std::string bytes;
    try {
        CMemFile mem;
        {
            CArchive ar(&mem, CArchive::store, kArchiveBufferSize);
            ar.WriteObject(pObject);
            ar.Close();
        }
        bytes.resize(size_t(mem.GetLength()));
        mem.SeekToBegin();
        if (!bytes.empty() && mem.Read(bytes.data(), UINT(bytes.size())) != bytes.size())
            return FALSE;
    } catch (...) {
        return FALSE;
    }
    return pvsys::writeFileAtomic(pvsys::osPath(pszPath), bytes) == 0;
}
