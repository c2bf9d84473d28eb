#pragma once
// The per-grid feature objects: optional behaviour the grid reaches only through small
// forwarding operations of its own. The grid's constructor asks the control factory to install
// them; an absent object makes each forwarder do nothing and answer 0. The defaults below answer
// 0 too, so a feature overrides only what it implements.

#include <memory>
#include <vector>

#include "grid/core/gxrange.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/base/pvdefs.h"
#include "platform/win/cwnd.h"

class CDC;
class CWnd;
class CCmdUI;
class CString;
class CDocument;
class CGXGridCore;
class CGXGridParam;
class CGXStyle;
class CGXStylesMap;
class CGXProperties;
class CGXControl;
class CGXCommand;
class CDWordArray;
class CGXSortInfoArray;
class CObArray;
struct CPrintInfo;

// Per-grid feature objects share one base so the grid's delete list owns them all.
class CGXAbstractGridFeature {
public:
    virtual ~CGXAbstractGridFeature() = default;
};

// Lays the grid out on printed pages; the grid's print handlers forward to it.
class CGXAbstractGridPrintImp : public CGXAbstractGridFeature {
public:
    virtual void BeginPrinting(CGXGridCore*, CDC*, CPrintInfo*) {}
    virtual void PrintPage(CGXGridCore*, CDC*, CPrintInfo*) {}
    virtual void EndPrinting(CGXGridCore*, CDC*, CPrintInfo*) {}
};

// Sorting rows by key columns (columns by key rows) and moving the stored data into the order.
// An order array has one entry per row of the range: entry i is the offset in the range of the
// row that stands at offset i afterwards.
class CGXAbstractGridSortImp : public CGXAbstractGridFeature {
public:
    virtual BOOL SortRows(CGXGridCore*, const CGXCellRange&, const CGXSortInfoArray&, UINT /*flags*/) { return FALSE; }
    virtual BOOL MoveDataRows(CGXGridCore*, const CGXCellRange&, const CDWordArray& /*order*/, UINT /*flags*/,
                              int /*cmd mode*/) { return FALSE; }
    virtual BOOL StoreMoveDataRows(CGXGridCore*, const CGXCellRange&, const CDWordArray&) { return FALSE; }
    virtual void OnMovedDataRows(CGXGridCore*, const CGXCellRange&, UINT, BOOL /*hint*/) {}
    virtual BOOL SortCols(CGXGridCore*, const CGXCellRange&, const CGXSortInfoArray&, UINT) { return FALSE; }
    virtual BOOL MoveDataCols(CGXGridCore*, const CGXCellRange&, const CDWordArray&, UINT, int) { return FALSE; }
    virtual BOOL StoreMoveDataCols(CGXGridCore*, const CGXCellRange&, const CDWordArray&) { return FALSE; }
    virtual void OnMovedDataCols(CGXGridCore*, const CGXCellRange&, UINT, BOOL) {}
    // A click on a column header sorts the rows by that column, on a row header the columns;
    // false when the parameter object does not allow it.
    virtual BOOL SortOnHeaderClick(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/) { return FALSE; }
};

class CGXAbstractGridCoveredCellsImp : public CGXAbstractGridFeature {
public:
    // The covering range of a cell; false when it is not covered.
    virtual BOOL GetCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, CGXCellRange&) { return FALSE; }
    virtual BOOL SetCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT /*flags*/, int /*cmd mode*/) { return FALSE; }
    virtual BOOL StoreCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, BOOL /*set*/) { return FALSE; }
    virtual void UpdateCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) {}
    // Covered ranges follow removed rows or columns.
    virtual void AdjustCoveredCells(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, BOOL /*rows*/, int /*cmd mode*/) {}
};

struct CGXDrawingGrid;

// Where the panes of a grid begin: the frozen rows and columns (with the headers) form the
// first pane in each direction, the scrolled rows and columns from the top row and left column
// the second.
struct GXPaneBounds {
    ROWCOL nFrozenRows = 0;
    ROWCOL nFrozenCols = 0;
    ROWCOL nTopRow = 1;
    ROWCOL nLeftCol = 1;
};

// Lets the drawing loop treat covered, merged and floating cells as one cell that spans several.
class CGXAbstractDrawSpannedCellsImp : public CGXAbstractGridFeature {
public:
    // Prepares the span the drawn cell (view row i, view column j of the pass) belongs to: its
    // style and flags for every drawn cell of it. False when the cell belongs to no span.
    virtual BOOL PrepareSpannedCell(CGXGridCore*, CGXDrawingGrid&, ROWCOL /*i*/, ROWCOL /*j*/) { return FALSE; }
    // Draws the span whose first drawn cell is (i, j); true when drawn.
    virtual BOOL DrawSpannedCell(CGXGridCore*, CGXDrawingGrid&, ROWCOL, ROWCOL) { return FALSE; }
    // Lets floating and merging evaluate what is pending in the range, pane by pane; true when
    // any span changed.
    virtual BOOL EvaluateSpans(CGXGridCore*, const CGXCellRange&, const GXPaneBounds&, UINT /*flags*/) { return FALSE; }
};

// Floating and merged cells share one shape.
class CGXGridSpanCellsImp : public CGXAbstractGridFeature {
public:
    virtual void QueueRange(CGXGridCore*, const CGXCellRange&, int /*direction*/) {}
    virtual BOOL Resolve(CGXGridCore*, const CGXCellRange&, BOOL, BOOL, BOOL) { return FALSE; }
    virtual BOOL SpanOfCell(CGXGridCore*, ROWCOL, ROWCOL, CGXCellRange&) { return FALSE; }
    virtual void AfterStore(CGXGridCore*, ROWCOL, ROWCOL) {}
    virtual void RedrawSpan(CGXGridCore*, ROWCOL, ROWCOL, UINT /*flags*/, BOOL /*hint*/) {}
    // Whether a cell's style lets text float into (or, with bFlood, over) it.
    virtual BOOL CanSpanCell(CGXControl*, ROWCOL, ROWCOL, const CGXStyle&, BOOL /*flood*/) { return FALSE; }
};
class CGXGridFloatCellsImp : public CGXGridSpanCellsImp {};
class CGXGridMergeCellsImp : public CGXGridSpanCellsImp {};

// Undo and redo of one grid (the engine is grid/features' CGXCommandFactory). Command modes:
// 0 do, 1 rollback (records nothing), 2 undo replay, 3 redo replay. Each creator makes the
// command that takes a change back and owns what it is handed; null when the factory has none.
class CGXAbstractCommandFactory : public CGXAbstractGridFeature {
public:
    // What PrepareRemoveRowsUndo and PrepareRemoveColsUndo decide.
    enum { gxUndoRefused = 0, gxUndoReady = 1, gxUndoSkipped = 2 };

    virtual CGXCommand* CreateBlockCmd(LPCTSTR /*name*/) { return nullptr; }
    virtual CGXCommand* CreateSetRowHeightCmd(ROWCOL, ROWCOL, int* /*former sizes, taken*/) { return nullptr; }
    virtual CGXCommand* CreateHideRowsCmd(ROWCOL, ROWCOL, BOOL* /*former flags, taken*/) { return nullptr; }
    virtual CGXCommand* CreateSetDefaultRowHeightCmd(int /*former*/) { return nullptr; }
    virtual CGXCommand* CreateSetColWidthCmd(ROWCOL, ROWCOL, int*) { return nullptr; }
    virtual CGXCommand* CreateHideColsCmd(ROWCOL, ROWCOL, BOOL*) { return nullptr; }
    virtual CGXCommand* CreateSetDefaultColWidthCmd(int) { return nullptr; }
    virtual CGXCommand* CreateMoveRowsCmd(ROWCOL, ROWCOL, ROWCOL /*dest*/) { return nullptr; }
    virtual CGXCommand* CreateMoveColsCmd(ROWCOL, ROWCOL, ROWCOL) { return nullptr; }
    // Takes back an insertion: removes [first, last].
    virtual CGXCommand* CreateRemoveRowsCmd(ROWCOL /*first*/, ROWCOL /*last*/) { return nullptr; }
    virtual CGXCommand* CreateRemoveColsCmd(ROWCOL, ROWCOL) { return nullptr; }
    // Takes back a removal of [first, last]: the former sizes, what PrepareRemove*Undo stored,
    // the data store's undo information, and the count of the other axis (header included).
    virtual CGXCommand* CreateInsertRowsCmd(ROWCOL /*first*/, ROWCOL /*last*/, std::vector<int> /*former sizes*/,
                                            std::unique_ptr<CObject> /*undo info*/, std::unique_ptr<CObject> /*data undo*/,
                                            ROWCOL /*column count + 1*/) { return nullptr; }
    virtual CGXCommand* CreateInsertColsCmd(ROWCOL, ROWCOL, std::vector<int>, std::unique_ptr<CObject>,
                                            std::unique_ptr<CObject>, ROWCOL) { return nullptr; }
    virtual CGXCommand* CreateSetCoveredCellsCmd(ROWCOL, ROWCOL, ROWCOL, ROWCOL) { return nullptr; }
    virtual CGXCommand* CreateSetStyleRangeCmd(const CGXCellRange&, int /*type*/, CObArray* /*former styles, taken*/) { return nullptr; }
    virtual CGXCommand* CreateSetFrozenRowsCmd(ROWCOL /*frozen*/, ROWCOL /*header*/) { return nullptr; }
    virtual CGXCommand* CreateSetFrozenColsCmd(ROWCOL, ROWCOL) { return nullptr; }
    virtual CGXCommand* CreateMoveDataRowsCmd(const CGXCellRange&, CDWordArray* /*order, taken*/) { return nullptr; }
    virtual CGXCommand* CreateMoveDataColsCmd(const CGXCellRange&, CDWordArray*) { return nullptr; }
    // The three below take the object they are given (a copy made by the caller).
    virtual CGXCommand* CreateChangeStylesMapCmd(CGXStylesMap* /*former*/) { return nullptr; }
    virtual CGXCommand* CreateChangePropertiesCmd(CGXProperties*) { return nullptr; }
    virtual CGXCommand* CreateChangeBaseStyleCmd(WORD /*id*/, const CGXStyle&, LPCTSTR /*name*/) { return nullptr; }
    virtual CGXCommand* CreateMoveCellsCmd(const CGXCellRange& /*source*/, ROWCOL /*dest row*/, ROWCOL /*dest col*/,
                                           CObject* /*undo info, taken*/) { return nullptr; }
    virtual CGXCommand* CreateSetRangeNameCmd(LPCTSTR, BOOL /*had range*/, const CGXCellRange&) { return nullptr; }
    virtual CGXCommand* CreateDeleteRangeNameCmd(LPCTSTR, const CGXCellRange&, CObject* /*extra, taken*/) { return nullptr; }

    // Undo information of rows or columns about to be removed (one of the values above).
    virtual int PrepareRemoveRowsUndo(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, CObject*& pInfo) { pInfo = nullptr; return gxUndoReady; }
    virtual int PrepareRemoveColsUndo(CGXGridCore*, ROWCOL, ROWCOL, CObject*& pInfo) { pInfo = nullptr; return gxUndoReady; }

    virtual BOOL ExecuteCommand(CGXGridCore*, CGXCommand*, int /*cmd mode*/) { return FALSE; }
    virtual void AddCommand(CGXGridCore*, CGXCommand*, int /*cmd mode*/) {}
    virtual void RemoveCommand(CGXGridCore*, int /*cmd mode*/) {}
    virtual BOOL Undo(CGXGridCore*) { return FALSE; }
    virtual BOOL Redo(CGXGridCore*) { return FALSE; }
    virtual void BeginTransaction(CGXGridCore*, LPCTSTR) {}
    virtual void CommitTransaction(CGXGridCore*) {}
    virtual void Rollback(CGXGridCore*) {}
    // After an undo or redo step: the current cell goes to (or the view scrolls to) the cell.
    virtual void SetCurrentCellAfterCommand(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, BOOL /*set current*/) {}
    virtual BOOL CanUndo(CGXGridCore*, CCmdUI*) { return FALSE; }
    virtual BOOL CanRedo(CGXGridCore*, CCmdUI*) { return FALSE; }
    virtual BOOL SetAdvancedUndo(CGXGridCore*, BOOL) { return FALSE; }
    virtual CObject* GetAdvancedUndoInfo(CGXGridCore*) { return nullptr; }
    virtual BOOL UndoAdvanced(CGXGridCore*, CObject*, BOOL, BOOL) { return FALSE; }
    virtual void CleanAdvancedUndo(CGXGridCore*) {}
};

// Hint kinds the grid sends to the other views of its document.
enum GXHintKind : int {
    gxHintStyleRange = 1, gxHintStylesMap, gxHintProperties, gxHintBaseStyle, gxHintRedrawCells,
    gxHintRedraw, gxHintTopRow, gxHintLeftCol, gxHintFrozenRows, gxHintFrozenCols, gxHintRowCount,
    gxHintColCount, gxHintInsertRows, gxHintInsertCols, gxHintRemoveRows, gxHintRemoveCols,
    gxHintScroll, gxHintRecalc, gxHintZoom, gxHintReadOnly, gxHintRowHeights, gxHintColWidths,
    gxHintStoreEdit,  // the other grids store their current cell's edit; a refusal fails the sender
    gxHintMoveDataRows, gxHintMoveDataCols,  // a sort moved the data of a range
    gxHintMoveRows, gxHintMoveCols,  // first and last moved to a destination (by pointer)
};

class CGXAbstractGridUpdateHintImp : public CGXAbstractGridFeature {
public:
    // Every hint of the core: its kind, up to four arguments (ranges, styles and former sizes by
    // pointer) and the redraw flags. gxHintStoreEdit answers whether every other grid stored.
    virtual BOOL SendHint(CGXGridCore*, int /*kind*/, const void* = nullptr, const void* = nullptr, DWORD = 0, DWORD = 0,
                          UINT /*flags*/ = 0) { return FALSE; }
    virtual void SendHintObject(CGXGridCore*, CObject*) {}
    virtual BOOL ProcessHint(CGXGridCore*, CObject*) { return FALSE; }
};

class CGXAbstractGridResizeToFitImp : public CGXAbstractGridFeature {
public:
    // The reserved value has no effect; flags bit 8 only ever grows a size.
    virtual BOOL ResizeRowHeightsToFit(CGXGridCore*, const CGXCellRange&, UINT /*reserved*/, UINT /*flags*/) { return FALSE; }
    virtual BOOL ResizeColWidthsToFit(CGXGridCore*, const CGXCellRange&, UINT, UINT) { return FALSE; }
};

// Which rows and columns are hidden, kept as the parameter object's bits, which follow rows and
// columns that are inserted, removed and moved.
class CGXAbstractGridHideCellsImp : public CGXAbstractGridFeature {
public:
    virtual void RemoveHiddenRows(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/) {}
    virtual void RemoveHiddenCols(CGXGridCore*, ROWCOL, ROWCOL) {}
    virtual void InsertHiddenRows(CGXGridCore*, ROWCOL /*at*/, ROWCOL /*count*/) {}
    virtual void InsertHiddenCols(CGXGridCore*, ROWCOL, ROWCOL) {}
    // The block moves to start at the destination, counted after the move.
    virtual void MoveHiddenRows(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, ROWCOL /*dest*/) {}
    virtual void MoveHiddenCols(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL) {}
    virtual BOOL HideRows(CGXGridCore*, ROWCOL, ROWCOL, BOOL, BOOL*, UINT, int) { return FALSE; }
    virtual BOOL IsRowHidden(CGXGridCore*, ROWCOL) { return FALSE; }
    // Answers whether the state changed.
    virtual BOOL StoreHideRow(CGXGridCore*, ROWCOL, BOOL) { return FALSE; }
    virtual BOOL HideCols(CGXGridCore*, ROWCOL, ROWCOL, BOOL, BOOL*, UINT, int) { return FALSE; }
    virtual BOOL IsColHidden(CGXGridCore*, ROWCOL) { return FALSE; }
    virtual BOOL StoreHideCol(CGXGridCore*, ROWCOL, BOOL) { return FALSE; }
};

class CFindReplaceDialog;
struct GXFindReplaceParams;

// Find and replace along the current column, driven by the process's one find/replace dialog.
class CGXAbstractGridFindReplaceImp : public CGXAbstractGridFeature {
public:
    virtual void ShowDialog(CGXGridCore*, BOOL /*find only*/) {}
    virtual BOOL FindNext(CGXGridCore*, LPCTSTR /*find*/, BOOL /*down*/, BOOL /*match case*/) { return FALSE; }
    // A control's search of one cell: true when found; with bSetCurrent the cell becomes current.
    virtual BOOL FindInCellText(CGXControl*, const GXFindReplaceParams&, ROWCOL, ROWCOL, BOOL /*include current*/,
                                BOOL /*set current*/) { return FALSE; }
    // Steps from (nRow, nCol) along the column; the found cell is made current.
    virtual BOOL SearchCells(CGXGridCore*, ROWCOL& /*row*/, ROWCOL& /*col*/, BOOL /*set current*/) { return FALSE; }
    virtual BOOL FindAgain(CGXGridCore*, BOOL /*set current*/) { return FALSE; }
    virtual BOOL Replace(CGXGridCore*, LPCTSTR, LPCTSTR, BOOL /*down*/, BOOL /*match case*/) { return FALSE; }
    virtual BOOL ReplaceAll(CGXGridCore*, LPCTSTR, LPCTSTR, BOOL /*match case*/) { return FALSE; }
    virtual void OnFindReplaceMessage(CGXGridCore*, CFindReplaceDialog*) {}
    // Replaces every occurrence in one cell and stores the result; true when anything changed.
    virtual BOOL ReplaceInCellText(CGXControl*, const GXFindReplaceParams&, ROWCOL, ROWCOL) { return FALSE; }
};

class CGXAbstractGridUserSelectRangeImp : public CGXAbstractGridFeature {
public:
    // Moves the current cell for a key (Shift extends the selection); true when it moved.
    virtual BOOL MoveCurrentCell(CGXGridCore*, int /*direction*/, UINT /*count*/, BOOL /*select*/) { return FALSE; }
    virtual BOOL OnStartSelection(CGXGridCore*, ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
    virtual BOOL OnMoveSelection(CGXGridCore*, ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
    virtual BOOL OnEndSelection(CGXGridCore*, ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
    virtual BOOL OnLeftCellClick(CGXGridCore*, ROWCOL, ROWCOL, UINT) { return FALSE; }
    virtual BOOL SetSelection(CGXGridCore*, const CGXCellRange*, BOOL) { return FALSE; }
    virtual BOOL ClearSelection(CGXGridCore*, BOOL) { return FALSE; }
};

// The selection frame of a spreadsheet: a thick inverted frame around the selection's range with
// a fill handle at one corner (grid/features/gxfill.h).
class CGXGridExcelLikeFrameImp : public CGXAbstractGridFeature {
public:
    // Hides (bHide) or shows the frame; the previous hidden state.
    virtual BOOL LockFrame(CGXGridCore*, BOOL /*hide*/) { return FALSE; }
    // The frame follows the range (an invalid range only removes it).
    virtual void UpdateFrame(CGXGridCore*, const CGXCellRange&, UINT /*flags*/) {}
    // Draws the stored frame on a DC the grid has just painted.
    virtual void DrawFrame(CGXGridCore*, CDC*) {}
};

// Dragging the fill handle repeats the source cells into the range it is dragged over.
class CGXGridExcelLikeFillImp : public CGXAbstractGridFeature {
public:
    // The press on the fill handle; true when a fill drag started.
    virtual BOOL StartFill(CGXGridCore*, UINT /*key flags*/, CPoint, ROWCOL, ROWCOL) { return FALSE; }
    // A tracked move; true when a fill drag took it.
    virtual BOOL MoveFill(CGXGridCore*, CPoint, ROWCOL, ROWCOL) { return FALSE; }
    // The release; true when a fill drag ended.
    virtual BOOL EndFill(CGXGridCore*) { return FALSE; }
    virtual void CancelFill(CGXGridCore*, CDC*) {}
    // Repeats the source into the target (or clears what a smaller target gives up).
    virtual BOOL DoFill(CGXGridCore*, const CGXCellRange& /*source*/, const CGXCellRange& /*target*/) { return FALSE; }
    virtual void SelectFillTarget(CGXGridCore*, const CGXCellRange&) {}
    // The window contents are about to scroll: the shown target goes first.
    virtual void HideFillHandle(CGXGridCore*) {}
};

// Dragging selected whole rows or columns by their header to a new place.
class CGXAbstractGridUserDragSelectRangeImp : public CGXAbstractGridFeature {
public:
    // A press on the header of a selected whole row or column; true when a drag began.
    virtual BOOL OnDragMouseDown(CGXGridCore*, UINT /*flags*/, CPoint, ROWCOL, ROWCOL) { return FALSE; }
    // True while a drag runs (the move is the drag's).
    virtual BOOL OnDragMouseMove(CGXGridCore*, CPoint) { return FALSE; }
    virtual BOOL OnDragMouseUp(CGXGridCore*, CPoint) { return FALSE; }
    virtual BOOL StartDragSelect(CGXGridCore*, ROWCOL, ROWCOL) { return FALSE; }
    virtual void MoveDragSelect(CGXGridCore*, ROWCOL /*drop row*/, ROWCOL /*drop col*/) {}
    virtual BOOL EndDragSelect(CGXGridCore*, ROWCOL, ROWCOL) { return FALSE; }
    virtual void CancelDragSelect(CGXGridCore*) {}
};

// Moving blocks of rows or columns: the destination is the block's first index afterwards.
class CGXAbstractGridMoveRowsColsImp : public CGXAbstractGridFeature {
public:
    virtual BOOL StoreMoveRows(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, ROWCOL /*dest*/, BOOL /*force*/) { return FALSE; }
    virtual void UpdateAfterMoveRows(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, UINT /*flags*/, BOOL /*hint*/) {}
    virtual BOOL StoreMoveCols(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, BOOL) { return FALSE; }
    virtual void UpdateAfterMoveCols(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) {}
    virtual BOOL MoveRows(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, UINT, int /*cmd mode*/) { return FALSE; }
    virtual BOOL MoveCols(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, UINT, int) { return FALSE; }
};

class CGXAbstractGridOptimizedUpdateImp : public CGXAbstractGridFeature {
public:
    // Repaints what rows or columns inserted, removed or resized changed; false when it did
    // nothing, so that the core redraws the whole grid. Former sizes may be null.
    virtual BOOL OnRowsInserted(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*count*/, UINT /*flags*/) { return FALSE; }
    virtual BOOL OnColsInserted(CGXGridCore*, ROWCOL, ROWCOL, UINT) { return FALSE; }
    virtual BOOL OnRowsRemoved(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, const int* /*former sizes*/, UINT) { return FALSE; }
    virtual BOOL OnColsRemoved(CGXGridCore*, ROWCOL, ROWCOL, const int*, UINT) { return FALSE; }
    virtual BOOL OnRowHeightsChanged(CGXGridCore*, ROWCOL, ROWCOL, const int*, UINT) { return FALSE; }
    virtual BOOL OnColWidthsChanged(CGXGridCore*, ROWCOL, ROWCOL, const int*, UINT) { return FALSE; }
};

// The headers of the current cell (and the one under a resize drag) drawn marked.
class CGXAbstractGridMarkEditHeaderImp : public CGXAbstractGridFeature {
public:
    // which: 0 both headers, 1 the column header only, 2 the row header only.
    virtual void RedrawHeadersOfCell(CGXGridCore*, ROWCOL, ROWCOL, int /*which*/, UINT /*flags*/) {}
    virtual BOOL IsHeaderMarked(CGXGridCore*, ROWCOL, ROWCOL) { return FALSE; }
};

// Freeze and Unfreeze: selected whole rows (columns) moved to the front and frozen, and back.
class CGXAbstractGridFreezeMenuHelperImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CanFreezeCols(CGXGridCore*) { return FALSE; }
    virtual BOOL CanUnfreezeCols(CGXGridCore*) { return FALSE; }
    virtual void FreezeCols(CGXGridCore*) {}
    virtual void UnfreezeCols(CGXGridCore*) {}
    virtual BOOL CanFreezeRows(CGXGridCore*) { return FALSE; }
    virtual BOOL CanUnfreezeRows(CGXGridCore*) { return FALSE; }
    virtual void FreezeRows(CGXGridCore*) {}
    virtual void UnfreezeRows(CGXGridCore*) {}
};

// Copying and moving a block of cells inside one grid with undo (grid/features/gxdirectcopy.h).
// The destination block has the source's size; its top-left corner is the destination.
class CGXGridDirectCopyMoveCellsImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CopyCells(CGXGridCore*, const CGXCellRange&, ROWCOL, ROWCOL, UINT /*flags*/) { return FALSE; }
    virtual BOOL StoreCopyCells(CGXGridCore*, const CGXCellRange&, ROWCOL, ROWCOL) { return FALSE; }
    // pUndoInfo: the overwritten cells a former move kept (put back, then refilled); a recorded
    // command takes it over and the pointer comes back null.
    virtual BOOL MoveCells(CGXGridCore*, const CGXCellRange&, ROWCOL, ROWCOL, CObject*& /*undo info*/, UINT /*flags*/,
                           int /*cmd mode*/) { return FALSE; }
    virtual BOOL StoreMoveCells(CGXGridCore*, const CGXCellRange&, ROWCOL, ROWCOL, CObject*& /*undo info*/,
                                BOOL /*record*/, int /*cmd mode*/) { return FALSE; }
};

class CFile;
class CArchive;

// Cells as table text: rows of CR LF separated lines, cells TAB separated (grid/features/gxdataexch.h).
class CGXGridTextDataExchangeImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CopyTextToFile(CGXGridCore*, CFile&, const CGXRangeList&) { return FALSE; }
    virtual CString GetCopyTextRowCol(CGXGridCore*, ROWCOL, ROWCOL) { return CString(); }
    virtual BOOL PasteTextFromBuffer(CGXGridCore*, LPCTSTR, DWORD /*bytes*/, const CGXCellRange&) { return FALSE; }
    virtual BOOL PasteTextRowCol(CGXGridCore*, ROWCOL, ROWCOL, const CString&, UINT /*flags*/, const CGXStyle*) { return FALSE; }
    virtual BOOL CalcBufferDimension(CGXGridCore*, LPCTSTR, DWORD, ROWCOL& nRows, ROWCOL& nCols)
    {
        nRows = 0;
        nCols = 1;
        return FALSE;
    }
};

// Cells as an archive of styles, the grid's private clipboard format.
class CGXGridStyleDataExchangeImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CopyStylesToArchive(CGXGridCore*, CArchive&, const CGXRangeList&, BOOL /*composed*/) { return FALSE; }
    virtual BOOL GetCopyStyleRowCol(CGXGridCore*, ROWCOL, ROWCOL, CGXStyle&, BOOL /*composed*/) { return FALSE; }
    virtual BOOL PasteStylesFromArchive(CGXGridCore*, CArchive&, const CGXCellRange&, BOOL /*paste anyway*/) { return FALSE; }
};

// The clipboard commands of a grid (grid/features/gxcutpaste.h).
class CGXGridCutPasteImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CanCopy(CGXGridCore*) { return FALSE; }
    virtual BOOL Copy(CGXGridCore*) { return FALSE; }
    virtual BOOL CopyRanges(CGXGridCore*, const CGXRangeList&) { return FALSE; }
    virtual BOOL CopyRangesAsText(CGXGridCore*, const CGXRangeList&) { return FALSE; }
    virtual BOOL CopyRangesAsStyles(CGXGridCore*, const CGXRangeList&, BOOL /*composed*/) { return FALSE; }
    virtual BOOL CanCut(CGXGridCore*) { return FALSE; }
    virtual BOOL Cut(CGXGridCore*) { return FALSE; }
    virtual BOOL CutRanges(CGXGridCore*, const CGXRangeList&, BOOL /*remove styles*/) { return FALSE; }
    virtual BOOL CanPaste(CGXGridCore*) { return FALSE; }
    virtual BOOL IsClipboardDataAvailable(CGXGridCore*) { return FALSE; }
    virtual BOOL Paste(CGXGridCore*) { return FALSE; }
    virtual BOOL PasteDirect(CGXGridCore*, const CGXCellRange&) { return FALSE; }
    virtual BOOL PasteFromClipboard(CGXGridCore*, const CGXCellRange&) { return FALSE; }
    virtual BOOL ConfirmSizeMismatch(CGXGridCore*) { return FALSE; }
};

class CGXGridClearCellsImp : public CGXAbstractGridFeature {
public:
    virtual BOOL CanClear(CGXGridCore*) { return FALSE; }
    virtual BOOL ClearSelection(CGXGridCore*, BOOL /*remove styles*/) { return FALSE; }
    virtual BOOL ClearRanges(CGXGridCore*, const CGXRangeList&, BOOL /*remove styles*/) { return FALSE; }
};

// Sizing rows and columns by dragging header borders. The first four answer the mouse; the last
// four are what the grid's own start, move, end and cancel operations forward to.
class CGXAbstractGridUserResizeCellsImp : public CGXAbstractGridFeature {
public:
    virtual BOOL OnResizeMouseMove(CGXGridCore*, CPoint) { return FALSE; }
    virtual BOOL OnResizeMouseDown(CGXGridCore*, UINT /*flags*/, CPoint, int /*hit*/, ROWCOL, ROWCOL) { return FALSE; }
    virtual BOOL OnResizeMouseUp(CGXGridCore*, CPoint) { return FALSE; }
    virtual BOOL OnResizeDoubleClick(CGXGridCore*, UINT, CPoint, int, ROWCOL, ROWCOL) { return FALSE; }
    // Mode 1 rows, 2 columns.
    virtual BOOL StartResize(CGXGridCore*, ROWCOL, ROWCOL, int /*mode*/) { return FALSE; }
    // The size point is the new width and height, relative to the cell's top-left.
    virtual void MoveResize(CGXGridCore*, ROWCOL, ROWCOL, CPoint /*size*/) {}
    virtual void CancelResize(CGXGridCore*) {}
    virtual void EndResize(CGXGridCore*, ROWCOL, ROWCOL, CPoint /*size*/) {}
};

class CGXAbstractCalcSizeImp : public CGXAbstractGridFeature {
public:
    // The size a cell's contents need with its style's font, alignment and wrapping, borders
    // included; with bFitHeight the height that the cell's width needs.
    virtual CSize CalcCellSize(CGXControl*, CDC*, ROWCOL, ROWCOL, const CGXStyle&, BOOL /*fit height*/) { return CSize(0, 0); }
};

// Hears a window's messages through its own message map without being a window. It holds the
// window's handle outside the window map, so the window keeps its own object and survives the
// plug-in. A handler sets m_bHandled to end the walk with its result, or m_bStopRouting to leave
// the message to the window without asking the later plug-ins.
class CGXPluginComponent : public CWnd {
public:
    CGXPluginComponent() = default;
    ~CGXPluginComponent() override;
    // Listens to the window's messages from now on; FALSE without a window.
    virtual BOOL PlugIn(CWnd* pWnd);
    // Clears both flags and runs this object's message map; answers the handled flag.
    virtual BOOL HandlePluginMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, BOOL& bStopRouting);

    BOOL m_bHandled = FALSE;
    BOOL m_bStopRouting = FALSE;
};
