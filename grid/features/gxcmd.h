#pragma once
// The undo commands: each one, executed, performs the grid operation that takes back a change
// made earlier, in the command mode it is given (0 do, 1 rollback, 2 undo, 3 redo). The command
// factory (gxcmdfactory.h) creates and records them; a command owns what it is handed.

#include <memory>
#include <vector>

#include "grid/core/gxrange.h"
#include "grid/core/gxstyle.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/collections.h"

class CGXGridCore;
class CGXStylesMap;
class CGXProperties;

class CGXCommand : public CObject {
    DECLARE_DYNAMIC(CGXCommand)
public:
    CGXCommand() = default;
    CGXCommand(const CGXCommand&) = delete;
    CGXCommand& operator=(const CGXCommand&) = delete;

    virtual BOOL Execute(CGXGridCore* pGrid, int ctCmd) = 0;
    // Names the change in the Undo and Redo menu texts and in status texts.
    virtual CString GetDisplayName() = 0;

    // Stamped by the factory when recorded: where the current cell was then.
    ROWCOL m_nRow = 0;
    ROWCOL m_nCol = 0;
    BOOL m_bCCell = FALSE;
    // The formula engine's record of the same change, if any.
    std::unique_ptr<CObject> m_pEngineUndo;
};

// A whole transaction: the most recently recorded command at the head.
class CGXBlockCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXBlockCmd)
public:
    explicit CGXBlockCmd(LPCTSTR pszName = nullptr);
    ~CGXBlockCmd() override;
    BOOL Execute(CGXGridCore* pGrid, int ctCmd) override;
    CString GetDisplayName() override { return m_sName; }

    CObList m_CmdList {10};
    CString m_sName;
};

// Commands named from the string table: the name is loaded once, on first request.
CString GXCommandName(UINT nID);

#define GX_DECLARE_COMMAND(class_name, name_id)                                  \
    DECLARE_DYNAMIC(class_name)                                                  \
public:                                                                          \
    BOOL Execute(CGXGridCore* pGrid, int ctCmd) override;                        \
    CString GetDisplayName() override                                            \
    {                                                                            \
        static const CString s_name = GXCommandName(name_id);                    \
        return s_name;                                                           \
    }

// Rows or columns [first, last] with one former value each (sizes or hidden flags).
template <class T>
struct GXLineValues {
    ROWCOL nFirst = 0;
    ROWCOL nLast = 0;
    std::unique_ptr<T[]> values;
};

class CGXSetRowHeightCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetRowHeightCmd, 20158)
    CGXSetRowHeightCmd(ROWCOL nFirst, ROWCOL nLast, int* anOld) : m_lines {nFirst, nLast, std::unique_ptr<int[]>(anOld)} {}
    GXLineValues<int> m_lines;
};

class CGXSetColWidthCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetColWidthCmd, 20159)
    CGXSetColWidthCmd(ROWCOL nFirst, ROWCOL nLast, int* anOld) : m_lines {nFirst, nLast, std::unique_ptr<int[]>(anOld)} {}
    GXLineValues<int> m_lines;
};

class CGXHideRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXHideRowsCmd, 20170)
    CGXHideRowsCmd(ROWCOL nFirst, ROWCOL nLast, BOOL* abOld) : m_lines {nFirst, nLast, std::unique_ptr<BOOL[]>(abOld)} {}
    GXLineValues<BOOL> m_lines;
};

class CGXHideColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXHideColsCmd, 20171)
    CGXHideColsCmd(ROWCOL nFirst, ROWCOL nLast, BOOL* abOld) : m_lines {nFirst, nLast, std::unique_ptr<BOOL[]>(abOld)} {}
    GXLineValues<BOOL> m_lines;
};

class CGXSetDefaultRowHeightCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetDefaultRowHeightCmd, 20160)
    explicit CGXSetDefaultRowHeightCmd(int nOld) : m_nOld(nOld) {}
    int m_nOld;
};

class CGXSetDefaultColWidthCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetDefaultColWidthCmd, 20161)
    explicit CGXSetDefaultColWidthCmd(int nOld) : m_nOld(nOld) {}
    int m_nOld;
};

class CGXMoveRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXMoveRowsCmd, 20162)
    CGXMoveRowsCmd(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) : m_nFirst(nFirst), m_nLast(nLast), m_nDest(nDest) {}
    ROWCOL m_nFirst, m_nLast, m_nDest;
};

class CGXMoveColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXMoveColsCmd, 20163)
    CGXMoveColsCmd(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) : m_nFirst(nFirst), m_nLast(nLast), m_nDest(nDest) {}
    ROWCOL m_nFirst, m_nLast, m_nDest;
};

// Takes back an insertion.
class CGXRemoveRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXRemoveRowsCmd, 20164)
    CGXRemoveRowsCmd(ROWCOL nFirst, ROWCOL nLast) : m_nFirst(nFirst), m_nLast(nLast) {}
    ROWCOL m_nFirst, m_nLast;
};

class CGXRemoveColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXRemoveColsCmd, 20165)
    CGXRemoveColsCmd(ROWCOL nFirst, ROWCOL nLast) : m_nFirst(nFirst), m_nLast(nLast) {}
    ROWCOL m_nFirst, m_nLast;
};

// Owns a style array and every object in it (styles, and the data store's undo information
// riding after the cells).
struct GXOwnedObArray {
    GXOwnedObArray() = default;
    explicit GXOwnedObArray(CObArray* p) : pArray(p) {}
    GXOwnedObArray(GXOwnedObArray&&) = default;
    GXOwnedObArray& operator=(GXOwnedObArray&&) = default;
    ~GXOwnedObArray();
    CObArray* get() const { return pArray.get(); }
    std::unique_ptr<CObArray> pArray;
};

// Takes back a removal: the lines again with their sizes, cell styles (line by line, from
// index 0 of the other axis) and line styles.
struct GXRemovedLines {
    ROWCOL nFirst = 0;
    ROWCOL nCount = 0;
    std::vector<int> sizes;
    GXOwnedObArray cells;
    GXOwnedObArray lines;
    ROWCOL nOtherCount = 0;
};

class CGXInsertRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXInsertRowsCmd, 20145)
    explicit CGXInsertRowsCmd(GXRemovedLines&& lines) : m_lines(std::move(lines)) {}
    GXRemovedLines m_lines;
};

class CGXInsertColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXInsertColsCmd, 20146)
    explicit CGXInsertColsCmd(GXRemovedLines&& lines) : m_lines(std::move(lines)) {}
    GXRemovedLines m_lines;
};

class CGXSetCoveredCellsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetCoveredCellsCmd, 20166)
    CGXSetCoveredCellsCmd(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) : m_range(t, l, b, r) {}
    CGXCellRange m_range;
};

class CGXSetStyleRangeCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetStyleRangeCmd, 20167)
    CGXSetStyleRangeCmd(const CGXCellRange& range, int nType, CObArray* pStyles)
        : m_range(range), m_nType(nType), m_styles(pStyles) {}
    CGXCellRange m_range;
    int m_nType;
    GXOwnedObArray m_styles;
};

class CGXSetFrozenRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetFrozenRowsCmd, 20169)
    CGXSetFrozenRowsCmd(ROWCOL nFrozen, ROWCOL nHeader) : m_nFrozen(nFrozen), m_nHeader(nHeader) {}
    ROWCOL m_nFrozen, m_nHeader;
};

class CGXSetFrozenColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetFrozenColsCmd, 20168)
    CGXSetFrozenColsCmd(ROWCOL nFrozen, ROWCOL nHeader) : m_nFrozen(nFrozen), m_nHeader(nHeader) {}
    ROWCOL m_nFrozen, m_nHeader;
};

class CGXMoveDataRowsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXMoveDataRowsCmd, 20181)
    CGXMoveDataRowsCmd(const CGXCellRange& range, CDWordArray* pOrder) : m_range(range), m_pOrder(pOrder) {}
    CGXCellRange m_range;
    std::unique_ptr<CDWordArray> m_pOrder;
};

class CGXMoveDataColsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXMoveDataColsCmd, 20182)
    CGXMoveDataColsCmd(const CGXCellRange& range, CDWordArray* pOrder) : m_range(range), m_pOrder(pOrder) {}
    CGXCellRange m_range;
    std::unique_ptr<CDWordArray> m_pOrder;
};

class CGXChangeStylesMapCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXChangeStylesMapCmd, 20185)
    explicit CGXChangeStylesMapCmd(CGXStylesMap* pMap);
    ~CGXChangeStylesMapCmd() override;
    std::unique_ptr<CGXStylesMap> m_pStylesMap;
};

class CGXChangePropertiesCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXChangePropertiesCmd, 20186)
    explicit CGXChangePropertiesCmd(CGXProperties* pProps);
    ~CGXChangePropertiesCmd() override;
    std::unique_ptr<CGXProperties> m_pProperties;
};

class CGXChangeBaseStyleCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXChangeBaseStyleCmd)
public:
    CGXChangeBaseStyleCmd(WORD wStyleId, const CGXStyle& style, LPCTSTR pszName)
        : m_wStyleId(wStyleId), m_style(style), m_sName(pszName ? pszName : "") {}
    BOOL Execute(CGXGridCore* pGrid, int ctCmd) override;
    CString GetDisplayName() override { return m_sName; }
    WORD m_wStyleId;
    CGXStyle m_style;
    CString m_sName;
};

// A move of the source block to the destination: executed, it moves the block back and puts the
// cells the move had overwritten back (gxdirectcopy.cpp).
class CGXMoveCellsCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXMoveCellsCmd, 20179)
    CGXMoveCellsCmd(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject* pUndoInfo)
        : m_source(source), m_nDestRow(nDestRow), m_nDestCol(nDestCol), m_pUndoInfo(pUndoInfo) {}
    CGXCellRange m_source;
    ROWCOL m_nDestRow, m_nDestCol;
    std::unique_ptr<CObject> m_pUndoInfo;
};

// Range names belong to the formula engine's grid; recorded now, executed once it lands.
class CGXSetRangeNameCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXSetRangeNameCmd, 20188)
    CGXSetRangeNameCmd(LPCTSTR pszName, BOOL bHadRange, const CGXCellRange& range)
        : m_sName(pszName ? pszName : ""), m_bHadRange(bHadRange), m_range(range) {}
    CString m_sName;
    BOOL m_bHadRange;
    CGXCellRange m_range;
};

class CGXDeleteRangeNameCmd : public CGXCommand {
    GX_DECLARE_COMMAND(CGXDeleteRangeNameCmd, 20189)
    CGXDeleteRangeNameCmd(LPCTSTR pszName, const CGXCellRange& range, CObject* pExtra)
        : m_sName(pszName ? pszName : ""), m_range(range), m_pExtra(pExtra) {}
    CString m_sName;
    CGXCellRange m_range;
    std::unique_ptr<CObject> m_pExtra;
};
