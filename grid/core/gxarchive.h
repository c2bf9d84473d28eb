#pragma once
// Archive primitives every archived grid object uses. This header sits below all value types
// and the serializers, so a value type never has to include the serializer to read itself.

#include <cstddef>

#include "platform/base/CArchive.h"

class CGXStylesMap;

// Marks an object that a load took out of an archive. A damaged file can name one stored
// object twice (a back reference); the second owner is refused instead of freeing it twice.
// Copies start unmarked.
struct GXArchiveAdoptable {
    GXArchiveAdoptable() = default;
    GXArchiveAdoptable(const GXArchiveAdoptable&) {}
    GXArchiveAdoptable& operator=(const GXArchiveAdoptable&) { return *this; }
    bool m_bAdoptedFromArchive = false;
};

// Reads an object of class T (or derived; null allowed) that the caller will own. An object the
// file names a second time is refused (bad index), so no object gets two owners.
template <class T>
T* GXAdoptObjectOf(CArchive& ar, const CRuntimeClass* pClass)
{
    T* p = static_cast<T*>(ar.ReadObject(pClass));
    if (p) {
        if (p->m_bAdoptedFromArchive)
            AfxThrowArchiveException(CArchiveException::badIndex);
        p->m_bAdoptedFromArchive = true;
    }
    return p;
}

#define GXAdoptObject(T, ar) GXAdoptObjectOf<T>(ar, RUNTIME_CLASS(T))

// Count words of the archive: more than 65535 entries cannot be read back, so they are refused
// instead of being written short.
void GXWriteWordCount(CArchive& ar, size_t nCount);

// The archive's document pointer as a styles map (it is only ever set to CObject-derived objects).
const CGXStylesMap* GXStylesMapOfArchive(const CArchive& ar);
