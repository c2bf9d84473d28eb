#pragma once
// Copying and moving blocks of stored cell styles inside a cell store. A move can keep what it
// overwrote, so that moving the block back restores the store exactly.

#include <memory>
#include <vector>

#include "grid/core/gxrange.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "platform/base/CObject.h"

// The cells a move overwrote, each with its owned style.
class CGXDataUndoMoveCellsInfo : public CObject {
    DECLARE_DYNAMIC(CGXDataUndoMoveCellsInfo)
public:
    struct Cell {
        ROWCOL nRow = 0;
        ROWCOL nCol = 0;
        std::unique_ptr<CGXStyle> pStyle;
    };
    CGXDataUndoMoveCellsInfo() = default;
    CGXDataUndoMoveCellsInfo(const CGXDataUndoMoveCellsInfo&) = delete;
    CGXDataUndoMoveCellsInfo& operator=(const CGXDataUndoMoveCellsInfo&) = delete;

    std::vector<Cell> m_cells;
};

class CGXDataCopyMoveCellsImp : public CGXAbstractDataCopyMoveCellsImp {
public:
    BOOL CopyCells(CGXData& data, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nDestRow,
                   ROWCOL nDestCol) override;
    BOOL MoveCells(CGXData& data, const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                   BOOL bKeepUndo) override;
};

// Creates the process-wide object once.
void GXInstallDataCopyMoveCellsImp();
