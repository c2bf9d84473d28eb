#pragma once
// Sorting the rows of a grid by key columns (or its columns by key rows), by a double click on a
// header too, and moving the stored cells into the new order as one undoable step.

#include <string>
#include <vector>

#include "grid/core/gxfeature.h"
#include "grid/core/gxstate.h"
#include "platform/base/CString.h"

class CGXSortInfoArray;

// The keys of the rows (columns) of one sort, one record per line, stored flat: text and number
// of key k of record i at i * keys + k. Texts of number and date keys are emptied once converted;
// text keys keep a collation key beside their text.
struct CGXSortKeyTable {
    int nKeys = 0;
    std::vector<DWORD> types;  // each key's type once decided: 0 number, 1 text, 2 date
    std::vector<CString> texts;
    std::vector<std::string> collation;
    std::vector<double> numbers;  // allocated when the first number or date key needs them
    std::vector<DWORD> records;   // record positions in sorted order once SortKeys ran
};

class CGXGridSortImp : public CGXAbstractGridSortImp {
public:
    // Orders the records; equal records keep their positions' order.
    virtual void SortKeys(CGXGridCore* pGrid, const CGXSortInfoArray& keys, CGXSortKeyTable& table);
    BOOL SortRows(CGXGridCore* pGrid, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags) override;
    BOOL MoveDataRows(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order, UINT flags,
                      int ctCmd) override;
    BOOL StoreMoveDataRows(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order) override;
    void OnMovedDataRows(CGXGridCore* pGrid, const CGXCellRange& range, UINT flags, BOOL bHint) override;
    // The value texts of the key cells of a row, one per key.
    virtual void GetRowSortKeys(CGXGridCore* pGrid, ROWCOL nRow, const CGXSortInfoArray& keys, CString* pTexts);
    BOOL SortCols(CGXGridCore* pGrid, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags) override;
    BOOL MoveDataCols(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order, UINT flags,
                      int ctCmd) override;
    BOOL StoreMoveDataCols(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order) override;
    void OnMovedDataCols(CGXGridCore* pGrid, const CGXCellRange& range, UINT flags, BOOL bHint) override;
    virtual void GetColSortKeys(CGXGridCore* pGrid, ROWCOL nCol, const CGXSortInfoArray& keys, CString* pTexts);
    BOOL SortOnHeaderClick(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;

private:
    BOOL Sort(CGXGridCore* pGrid, bool bRows, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags);
    BOOL MoveData(CGXGridCore* pGrid, bool bRows, const CGXCellRange& range, const CDWordArray& order, UINT flags,
                  int ctCmd);
};

// Permutes the row (column) pointers of a cell store; no style is copied.
class CGXGridSortMoveDataImp : public CGXAbstractGridSortMoveDataImp {
public:
    BOOL MoveDataRows(CGXData& data, const CGXCellRange& range, const CDWordArray& order) override;
    BOOL MoveDataCols(CGXData& data, const CGXCellRange& range, const CDWordArray& order) override;
};

void GXInstallSortMoveDataImp();

// The sort's text strings.
enum : UINT { GX_IDS_SORT_ROWS = 20181, GX_IDS_SORT_COLS = 20182, GX_IDS_NOT_ENOUGH_MEMORY = 20183, GX_IDS_CANCELED = 20184 };
