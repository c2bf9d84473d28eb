#pragma once
// The archive records of the grid's value objects and parameter object: the byte layout of
// "GridSettings.dat". The services are installed once into the library state.

#include "grid/core/gxstate.h"
#include "platform/base/CArchive.h"

class CGXStyleSerializeImp : public CGXAbstractStyleSerializeImp {
public:
    void SerializeFont(CGXFont& font, CArchive& ar) override;
    void SerializeBrush(CArchive& ar, CGXPackedBrush& brush) override;
    void SerializePen(CArchive& ar, CGXPackedPen& pen) override;
    void SerializeStyle(CGXStyle& style, CArchive& ar, const CGXStylesMap* pStylesMap) override;
};

class CGXGridDocSerializeImp : public CGXAbstractGridDocSerializeImp {
public:
    void SerializeStylesMap(CGXStylesMap& map, CArchive& ar) override;
    void SerializeData(CGXData& data, CArchive& ar) override;
    void SerializeCellTable(CGXStylePtrArrayPtrArray& rows, CArchive& ar) override;
    void SerializeStylePtrArray(CGXStylePtrArray& styles, CArchive& ar) override;
    void SerializeProperties(CGXProperties& props, CArchive& ar) override;
    void SerializeParam(CGXGridParam& param, CArchive& ar) override;
};

// Each installs its service once; a second call does nothing.
void GXInstallStyleSerializeImp();
// Also installs the style archiving it relies on.
void GXInstallDocSerializeImp();

// The archive's document pointer as a styles map (it is only ever set to CObject-derived objects).
const CGXStylesMap* GXStylesMapOfArchive(const CArchive& ar);

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
