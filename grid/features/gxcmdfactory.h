#pragma once
// CGXCommandFactory: the undo engine of one grid. It creates the commands of gxcmd.h, records
// them in the undo and redo lists of the grid's parameter object, groups a transaction's
// commands into one block, takes a transaction back, performs Undo and Redo and fills the
// Undo and Redo menu items. All its state lives in the grid and the parameter object.

#include "grid/core/gxfeature.h"
#include "grid/features/gxcmd.h"

class CGXGridParam;
class CGXLongOperation;

class CGXCommandFactory : public CGXAbstractCommandFactory {
public:
    CGXCommand* CreateBlockCmd(LPCTSTR pszName) override;
    CGXCommand* CreateSetRowHeightCmd(ROWCOL nFirst, ROWCOL nLast, int* anOld) override;
    CGXCommand* CreateHideRowsCmd(ROWCOL nFirst, ROWCOL nLast, BOOL* abOld) override;
    CGXCommand* CreateSetDefaultRowHeightCmd(int nOld) override;
    CGXCommand* CreateSetColWidthCmd(ROWCOL nFirst, ROWCOL nLast, int* anOld) override;
    CGXCommand* CreateHideColsCmd(ROWCOL nFirst, ROWCOL nLast, BOOL* abOld) override;
    CGXCommand* CreateSetDefaultColWidthCmd(int nOld) override;
    CGXCommand* CreateMoveRowsCmd(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    CGXCommand* CreateMoveColsCmd(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    CGXCommand* CreateRemoveRowsCmd(ROWCOL nFirst, ROWCOL nLast) override;
    CGXCommand* CreateRemoveColsCmd(ROWCOL nFirst, ROWCOL nLast) override;
    CGXCommand* CreateInsertRowsCmd(ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes, std::unique_ptr<CObject> pInfo,
                                    std::unique_ptr<CObject> pDataUndo, ROWCOL nColCount) override;
    CGXCommand* CreateInsertColsCmd(ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes, std::unique_ptr<CObject> pInfo,
                                    std::unique_ptr<CObject> pDataUndo, ROWCOL nRowCount) override;
    CGXCommand* CreateSetCoveredCellsCmd(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    CGXCommand* CreateSetStyleRangeCmd(const CGXCellRange& range, int nType, CObArray* pOldStyles) override;
    CGXCommand* CreateSetFrozenRowsCmd(ROWCOL nFrozen, ROWCOL nHeader) override;
    CGXCommand* CreateSetFrozenColsCmd(ROWCOL nFrozen, ROWCOL nHeader) override;
    CGXCommand* CreateMoveDataRowsCmd(const CGXCellRange& range, CDWordArray* pOrder) override;
    CGXCommand* CreateMoveDataColsCmd(const CGXCellRange& range, CDWordArray* pOrder) override;
    CGXCommand* CreateChangeStylesMapCmd(CGXStylesMap* pOld) override;
    CGXCommand* CreateChangePropertiesCmd(CGXProperties* pOld) override;
    CGXCommand* CreateChangeBaseStyleCmd(WORD wStyleId, const CGXStyle& style, LPCTSTR pszName) override;
    CGXCommand* CreateMoveCellsCmd(const CGXCellRange& source, ROWCOL nDestRow, ROWCOL nDestCol, CObject* pInfo) override;
    CGXCommand* CreateSetRangeNameCmd(LPCTSTR pszName, BOOL bHadRange, const CGXCellRange& range) override;
    CGXCommand* CreateDeleteRangeNameCmd(LPCTSTR pszName, const CGXCellRange& range, CObject* pExtra) override;

    // The cell store's record of formula-engine changes.
    virtual BOOL SetEngineUndoCollecting(CGXGridCore* pGrid, BOOL bOn);
    virtual CObject* TakeEngineUndoRecord(CGXGridCore* pGrid);
    virtual BOOL ApplyEngineUndoRecord(CGXGridCore* pGrid, CObject* pRecord, BOOL bValue, BOOL bFlag);
    virtual void DiscardEngineUndoRecord(CGXGridCore* pGrid);

    BOOL ExecuteCommand(CGXGridCore* pGrid, CGXCommand* pCmd, int ctCmd) override;
    void AddCommand(CGXGridCore* pGrid, CGXCommand* pCmd, int ctCmd) override;
    void RemoveCommand(CGXGridCore* pGrid, int ctCmd) override;
    BOOL Undo(CGXGridCore* pGrid) override;
    BOOL Redo(CGXGridCore* pGrid) override;
    void BeginTransaction(CGXGridCore* pGrid, LPCTSTR pszName) override;
    void CommitTransaction(CGXGridCore* pGrid) override;
    void Rollback(CGXGridCore* pGrid) override;
    void SetCurrentCellAfterCommand(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent) override;
    BOOL CanUndo(CGXGridCore* pGrid, CCmdUI* pCmdUI) override;
    BOOL CanRedo(CGXGridCore* pGrid, CCmdUI* pCmdUI) override;

    // Undo information of lines about to be removed: their cell styles (from index 0 of the
    // other axis) and line styles, as the parameter object's storage flags ask. False when the
    // user cancelled; the arrays stay null when nothing is to be kept.
    virtual BOOL StoreRowsForUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nRowCount, ROWCOL nColCount,
                                  CObArray*& pCellsArray, CObArray*& pRowsArray, CGXLongOperation* pOp);
    virtual BOOL StoreColsForUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nColCount, ROWCOL nRowCount,
                                  CObArray*& pCellsArray, CObArray*& pColsArray, CGXLongOperation* pOp);
    int PrepareRemoveRowsUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo) override;
    int PrepareRemoveColsUndo(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo) override;

private:
    // The list a command recorded in this mode goes to: the open block at the head when a
    // transaction or a block runs, else the list itself (bTopLevel then true).
    CObList* TargetList(CGXGridCore* pGrid, int ctCmd, BOOL& bTopLevel);
    BOOL StoreLinesForUndo(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nCount, ROWCOL nOtherCount,
                           CObArray*& pCellsArray, CObArray*& pLinesArray, CGXLongOperation* pOp);
    int PrepareRemoveUndo(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, CObject*& pInfo);
    CGXCommand* CreateInsertLinesCmd(BOOL bRows, ROWCOL nFirst, ROWCOL nLast, std::vector<int> sizes,
                                     std::unique_ptr<CObject> pInfo, std::unique_ptr<CObject> pDataUndo, ROWCOL nOther);
    BOOL UpdateMenuItem(CGXGridCore* pGrid, CCmdUI* pCmdUI, BOOL bUndo, BOOL bEditing);
    BOOL UpdateUndoItem(CGXGridCore* pGrid, CCmdUI* pCmdUI, BOOL bUndo);
};
