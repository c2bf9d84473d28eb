#pragma once
// The archive records of the grid's value objects and parameter object: the byte layout of
// "GridSettings.dat". The services are installed once into the library state.

#include "grid/core/gxarchive.h"
#include "grid/core/gxstate.h"

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

// The fill kind of the stored brush forms (1 solid, 0 hollow, 2 hatch, 3 pattern) and back.
DWORD GXFillKindOfBrushStyle(UINT nStyle);
UINT GXBrushStyleOfFillKind(DWORD nKind);

// Each installs its service once; a second call does nothing.
void GXInstallStyleSerializeImp();
// Also installs the style archiving it relies on.
void GXInstallDocSerializeImp();

