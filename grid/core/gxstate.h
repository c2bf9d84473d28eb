#pragma once
// The grid library's process-wide state: the system-colour cache, the look options and the
// slots of the process-wide service objects. Each slot is read through its abstract interface;
// an empty slot makes the operation that needs it a no-op that answers 0.

#include "platform/base/pvdefs.h"

class CArchive;
class CObject;
class CString;
class CGXStyle;
class CGXFont;
class CGXPackedBrush;
class CGXPackedPen;
class CGXStylesMap;
class CGXData;
class CGXProperties;
class CGXGridParam;
class CGXRangeList;
class CGXCellRange;
class CGXPrintDevice;
class CGXStylePtrArray;
class CGXStylePtrArrayPtrArray;
class CDWordArray;

// Marks an object that a load took out of an archive. A damaged file can name one stored
// object twice (a back reference); the second owner is refused instead of freeing it twice.
// Copies start unmarked.
struct GXArchiveAdoptable {
    GXArchiveAdoptable() = default;
    GXArchiveAdoptable(const GXArchiveAdoptable&) {}
    GXArchiveAdoptable& operator=(const GXArchiveAdoptable&) { return *this; }
    bool m_bAdoptedFromArchive = false;
};

class CGXSysColorCache {
public:
    enum { nCachedColors = 24 };
    // Reloads colours 0..23 from the system.
    void Refresh();
    // The cached colour below 24, else the live system colour; a number the system does not
    // know answers black instead of reading past the system's table.
    COLORREF LookupColor(DWORD nIndex) const;

private:
    COLORREF m_colors[nCachedColors] {};
    bool m_bLoaded = false;
};

class CGXAbstractStyleSerializeImp {
public:
    virtual ~CGXAbstractStyleSerializeImp() = default;
    virtual void SerializeFont(CGXFont& font, CArchive& ar) = 0;
    virtual void SerializeBrush(CArchive& ar, CGXPackedBrush& brush) = 0;
    virtual void SerializePen(CArchive& ar, CGXPackedPen& pen) = 0;
    virtual void SerializeStyle(CGXStyle& style, CArchive& ar, const CGXStylesMap* pStylesMap) = 0;
};

class CGXAbstractGridDocSerializeImp {
public:
    virtual ~CGXAbstractGridDocSerializeImp() = default;
    virtual void SerializeStylesMap(CGXStylesMap& map, CArchive& ar) = 0;
    virtual void SerializeData(CGXData& data, CArchive& ar) = 0;
    virtual void SerializeCellTable(CGXStylePtrArrayPtrArray& rows, CArchive& ar) = 0;
    virtual void SerializeStylePtrArray(CGXStylePtrArray& styles, CArchive& ar) = 0;
    virtual void SerializeProperties(CGXProperties& props, CArchive& ar) = 0;
    virtual void SerializeParam(CGXGridParam& param, CArchive& ar) = 0;
};

// Reads the user attributes of the older style records into the style.
class CGXAbstractSerializeGW5CompatibleImp {
public:
    virtual ~CGXAbstractSerializeGW5CompatibleImp() = default;
    virtual void ReadUserAttributes(CGXStyle& style, CArchive& ar) = 0;
};

class CGXAbstractGridProfileImp {
public:
    virtual ~CGXAbstractGridProfileImp() = default;
    virtual void WriteStylesMap(CGXStylesMap& map) = 0;
    virtual void WriteFont(const CGXFont& font, const char* pszSection, const char* pszEntry) = 0;
    virtual void WriteStyle(const CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) = 0;
    virtual void WriteStyleEntry(const char* pszSection, const char* pszEntry, const char* pszValue) = 0;
    virtual void WriteProperties(CGXProperties& props) = 0;
    virtual BOOL ReadStylesMap(CGXStylesMap& map) = 0;
    virtual BOOL ReadFont(CGXFont& font, const char* pszSection, const char* pszEntry) = 0;
    virtual BOOL ReadStyle(CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) = 0;
    virtual BOOL ReadProperties(CGXProperties& props) = 0;
};

class CGXAbstractGridParamCopyOperatorImp {
public:
    virtual ~CGXAbstractGridParamCopyOperatorImp() = default;
    virtual void CopyParam(CGXGridParam& dest, const CGXGridParam& src) = 0;
    virtual void CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& src) = 0;
    virtual void CopyProperties(CGXProperties& dest, const CGXProperties& src) = 0;
};

class CGXAbstractStyleCompareSubsetImp {
public:
    virtual ~CGXAbstractStyleCompareSubsetImp() = default;
    virtual BOOL IsSubset(const CGXStyle& style, const CGXStyle& other) = 0;
};

// Owns nothing of the caller's; the pool it returns is the caller's.
class CGXAbstractCoveredCellPoolImp {
public:
    virtual ~CGXAbstractCoveredCellPoolImp() = default;
    virtual CObject* CreateCoveredCellPool() = 0;
    virtual void RebuildCoveredCellPool(CObject* pPool, CGXRangeList& coveredCells) = 0;
};

class CGXAbstractDataCopyMoveCellsImp {
public:
    virtual ~CGXAbstractDataCopyMoveCellsImp() = default;
    virtual BOOL CopyCells(CGXData& data, const CGXCellRange& src, DWORD nDestRow, DWORD nDestCol, UINT flags) = 0;
    virtual BOOL MoveCells(CGXData& data, const CGXCellRange& src, DWORD nDestRow, DWORD nDestCol, UINT flags) = 0;
};

class CGXAbstractGridSortMoveDataImp {
public:
    virtual ~CGXAbstractGridSortMoveDataImp() = default;
    virtual BOOL MoveRows(CGXData& data, const CDWordArray& order, UINT flags) = 0;
    virtual BOOL MoveCols(CGXData& data, const CDWordArray& order, UINT flags) = 0;
};

// Turns a cell's text into a number; used to tell number values from text.
class CGXAbstractNumberFormattingImp {
public:
    virtual ~CGXAbstractNumberFormattingImp() = default;
    virtual BOOL ParseNumber(const char* pszText, double& value) = 0;
};

// Printer set-up blocks of a CGXPrintDevice; the handles are the device's.
class CGXAbstractPrintDeviceImp {
public:
    virtual ~CGXAbstractPrintDeviceImp() = default;
    virtual void CreateDeviceHandles(CGXPrintDevice& dev, const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode) = 0;
    virtual void FreeDeviceHandles(CGXPrintDevice& dev) = 0;
    // New buffers (delete[] by the caller); null and 0 for a missing block.
    virtual void GetDeviceData(const CGXPrintDevice& dev, BYTE*& pNames, DWORD& nNames, BYTE*& pMode, DWORD& nMode) = 0;
};

struct CGXLibraryData {
    CGXSysColorCache m_sysColors;
    // Look options set once at start-up; the base-style builder reads the first and third.
    int m_nLookOptions[3] = {0, 0, 0};

    CGXAbstractStyleSerializeImp* m_pStyleSerializeImp = nullptr;
    CGXAbstractGridDocSerializeImp* m_pDocSerializeImp = nullptr;
    CGXAbstractSerializeGW5CompatibleImp* m_pSerializeGW5Imp = nullptr;
    CGXAbstractGridProfileImp* m_pProfileImp = nullptr;
    CGXAbstractGridParamCopyOperatorImp* m_pParamCopyOperatorImp = nullptr;
    CGXAbstractStyleCompareSubsetImp* m_pStyleCompareSubsetImp = nullptr;
    CGXAbstractCoveredCellPoolImp* m_pCoveredCellPoolImp = nullptr;
    CGXAbstractDataCopyMoveCellsImp* m_pDataCopyMoveCellsImp = nullptr;
    CGXAbstractGridSortMoveDataImp* m_pSortMoveDataImp = nullptr;
    CGXAbstractNumberFormattingImp* m_pNumberFormattingImp = nullptr;
    CGXAbstractPrintDeviceImp* m_pPrintDeviceImp = nullptr;
    // The drawing service's pattern bitmaps (numbers 0-40); null until that service is there.
    HBITMAP (*m_pfnGetPatternBitmap)(UINT nPattern) = nullptr;
};

// The one library state of the process.
CGXLibraryData* GXGetAppData();
// The number test of cell values: FALSE when no number formatting is installed.
BOOL GXParseNumber(const char* pszText, double& value);
