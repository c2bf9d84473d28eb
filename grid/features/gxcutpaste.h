#pragma once
// Cut, copy, paste and clear. Copy writes the table text and the styles format
// (gxdataexch.h) as the grid's clipboard option word asks; with the parameter object's direct
// copy or cut option it adds a "GX_DIRECTCOPY" block, so that a paste in the same grid copies or
// moves the cells directly (gxdirectcopy.h). Cut and Clear are one undo step each.
//
// The "GX_DIRECTCOPY" block holds a token, not an address: this process's id and the serial the
// source grid's parameter object took once. Only a block of exactly the token's size that names
// this process and this parameter object's serial pastes directly; any other takes the
// clipboard's contents.

#include "grid/core/gxfeature.h"

class CGXGridCutPasteImpl : public CGXGridCutPasteImp {
public:
    BOOL CanCopy(CGXGridCore* pGrid) override;
    // The current cell's control is asked first (a password cell keeps the clipboard as it is);
    // only the grid's own path empties the clipboard.
    BOOL Copy(CGXGridCore* pGrid) override;
    BOOL CopyRanges(CGXGridCore* pGrid, const CGXRangeList& list) override;
    BOOL CopyRangesAsText(CGXGridCore* pGrid, const CGXRangeList& list) override;
    BOOL CopyRangesAsStyles(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bComposed) override;
    BOOL CanCut(CGXGridCore* pGrid) override;
    BOOL Cut(CGXGridCore* pGrid) override;
    BOOL CutRanges(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bRemoveStyles) override;
    BOOL CanPaste(CGXGridCore* pGrid) override;
    BOOL IsClipboardDataAvailable(CGXGridCore* pGrid) override;
    BOOL Paste(CGXGridCore* pGrid) override;
    // Every source block is taken before any destination is written, so blocks that land on
    // each other's sources arrive as they were.
    BOOL PasteDirect(CGXGridCore* pGrid, const CGXCellRange& target) override;
    BOOL PasteFromClipboard(CGXGridCore* pGrid, const CGXCellRange& target) override;
    BOOL ConfirmSizeMismatch(CGXGridCore* pGrid) override;
};

class CGXGridClearCellsImpl : public CGXGridClearCellsImp {
public:
    BOOL CanClear(CGXGridCore* pGrid) override;
    BOOL ClearSelection(CGXGridCore* pGrid, BOOL bRemoveStyles) override;
    BOOL ClearRanges(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bRemoveStyles) override;
};

// The registered "GX_DIRECTCOPY" format.
UINT GXDirectCopyFormat();

// The token of the direct-copy block.
struct GXDirectCopyToken {
    DWORD nMagic;
    DWORD nProcessId;
    unsigned long long nSerial;
};
static_assert(sizeof(GXDirectCopyToken) == 16);
// The token naming this parameter object (its serial taken on first use).
GXDirectCopyToken GXDirectCopyTokenOf(CGXGridParam* pParam);
