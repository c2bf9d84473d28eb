#include "grid/features/gxcmd.h"

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"

IMPLEMENT_DYNAMIC(CGXCommand, CObject)
IMPLEMENT_DYNAMIC(CGXBlockCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetRowHeightCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetColWidthCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXHideRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXHideColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetDefaultRowHeightCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetDefaultColWidthCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetCoveredCellsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetStyleRangeCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeStylesMapCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangePropertiesCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeBaseStyleCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveCellsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetRangeNameCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXDeleteRangeNameCmd, CGXCommand)

namespace {
// Every command asks the grid to redraw what it changed and update the window at once.
constexpr UINT kRedraw = GX_UPDATENOW;
}  // namespace

CString GXCommandName(UINT nID)
{
    GXRegisterLibraryStrings();
    CString s;
    if (s.LoadString(nID) && !s.IsEmpty())
        return s;
    return CString(" ");  // a missing text names the change with a blank
}

GXOwnedObArray::~GXOwnedObArray()
{
    if (!pArray)
        return;
    for (INT_PTR i = 0; i < pArray->GetSize(); ++i)
        delete pArray->GetAt(i);
}

// ---- The block ----

CGXBlockCmd::CGXBlockCmd(LPCTSTR pszName) : m_sName(pszName && *pszName ? pszName : "Block") {}

CGXBlockCmd::~CGXBlockCmd() { GXDeleteAllObjects(m_CmdList); }

BOOL CGXBlockCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return FALSE;
    CGXLongOperation theOp;
    CString sText = m_sName;
    if (ctCmd == gxUndo || ctCmd == gxRedo) {
        sText = GXGetLibraryState().m_astrTexts[ctCmd == gxRedo ? gxTextRedoing : gxTextUndoing];
        sText.Replace("%1", m_sName);
    }
    theOp.SetStatusText(sText);

    // Undo and redo collect the inverses of the contained commands into one new block, so the
    // whole transaction goes back and comes again as one step.
    CGXBlockCmd* pNew = nullptr;
    CObList* pTarget = nullptr;
    if (ctCmd == gxUndo || ctCmd == gxRedo) {
        pTarget = ctCmd == gxRedo ? &pParam->GetUndoList() : &pParam->GetRedoList();
        pNew = new CGXBlockCmd(m_sName);
        pTarget->AddHead(pNew);
    }

    pGrid->m_bPendingCurrentCell = FALSE;
    const BOOL bOldExecuting = pGrid->m_bExecutingBlock;
    pGrid->m_bExecutingBlock = TRUE;
    const INT_PTR nCount = m_CmdList.GetCount();
    const DWORD bOldLock = pParam->m_bLockRedraw;
    if (nCount > 1) {
        pParam->m_bLockRedraw = TRUE;
        CGXLongOperation::ClaimPercent();
    }

    BOOL bResult = TRUE;
    long long nTotal = 0;
    for (POSITION pos = m_CmdList.GetHeadPosition(); pos && bResult;) {
        auto* pCmd = static_cast<CGXCommand*>(m_CmdList.GetNext(pos));
        bResult = pGrid->ExecuteCommand(pCmd, ctCmd);
        nTotal += 100;
        if (nCount > 1) {
            CGXLongOperation::SetPercentDone(int(nTotal / nCount));
            theOp.ProcessMessages();
        }
    }

    if (nCount > 1) {
        pParam->m_bLockRedraw = bOldLock;
        CGXLongOperation::ReleasePercent();
        pGrid->Redraw(GX_UPDATENOW, TRUE);
    }
    if (pNew && !bResult) {
        // The commands that ran before the failure are taken back through the inverses they
        // recorded, so the block stays whole and valid in its list for the next try.
        if (POSITION pos = pTarget->Find(pNew))
            pTarget->RemoveAt(pos);
        pNew->Execute(pGrid, gxRollback);
        delete pNew;
    }
    pGrid->m_bExecutingBlock = bOldExecuting;
    if (!bOldExecuting && pGrid->m_bPendingCurrentCell) {
        pGrid->m_bPendingCurrentCell = FALSE;
        pGrid->SetCurrentCellAfterCommand(pGrid->m_nPendingRow, pGrid->m_nPendingCol, pGrid->m_bPendingSetCurrent);
    }
    return bResult;
}

// ---- One grid call each ----

BOOL CGXSetRowHeightCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->SetRowHeights(m_lines.nFirst, m_lines.nLast, 0, m_lines.values.get(), kRedraw, ctCmd);
}

BOOL CGXSetColWidthCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->SetColWidths(m_lines.nFirst, m_lines.nLast, 0, m_lines.values.get(), kRedraw, ctCmd);
}

BOOL CGXHideRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->HideRows(m_lines.nFirst, m_lines.nLast, TRUE, m_lines.values.get(), kRedraw, ctCmd);
}

BOOL CGXHideColsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->HideCols(m_lines.nFirst, m_lines.nLast, TRUE, m_lines.values.get(), kRedraw, ctCmd);
}

BOOL CGXSetDefaultRowHeightCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->ChangeDefaultRowHeight(m_nOld, kRedraw, ctCmd);
}

BOOL CGXSetDefaultColWidthCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->ChangeDefaultColWidth(m_nOld, kRedraw, ctCmd);
}

BOOL CGXMoveRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->MoveRows(m_nFirst, m_nLast, m_nDest, kRedraw, ctCmd); }
BOOL CGXMoveColsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->MoveCols(m_nFirst, m_nLast, m_nDest, kRedraw, ctCmd); }
BOOL CGXRemoveRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->RemoveRows(m_nFirst, m_nLast, kRedraw, ctCmd); }
BOOL CGXRemoveColsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->RemoveCols(m_nFirst, m_nLast, kRedraw, ctCmd); }

BOOL CGXInsertRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    GXRemovedLines& l = m_lines;
    return pGrid->InsertRows(l.nFirst, l.nCount, l.sizes.empty() ? nullptr : l.sizes.data(), l.cells.get(), l.lines.get(),
                             l.nOtherCount, kRedraw, ctCmd);
}

BOOL CGXInsertColsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    GXRemovedLines& l = m_lines;
    return pGrid->InsertCols(l.nFirst, l.nCount, l.sizes.empty() ? nullptr : l.sizes.data(), l.cells.get(), l.lines.get(),
                             l.nOtherCount, kRedraw, ctCmd);
}

BOOL CGXSetCoveredCellsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->SetCoveredCellsRowCol(m_range.top, m_range.left, m_range.bottom, m_range.right, kRedraw, ctCmd);
}

BOOL CGXSetStyleRangeCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->ApplyStyleToRange(m_range, nullptr, gxCopy, m_nType, m_styles.get(), kRedraw, ctCmd);
}

BOOL CGXSetFrozenRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->SetFrozenRows(m_nFrozen, m_nHeader, kRedraw, ctCmd); }
BOOL CGXSetFrozenColsCmd::Execute(CGXGridCore* pGrid, int ctCmd) { return pGrid->SetFrozenCols(m_nFrozen, m_nHeader, kRedraw, ctCmd); }

BOOL CGXMoveDataRowsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return m_pOrder && pGrid->MoveDataRows(m_range, *m_pOrder, kRedraw, ctCmd);
}

BOOL CGXMoveDataColsCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return m_pOrder && pGrid->MoveDataCols(m_range, *m_pOrder, kRedraw, ctCmd);
}

CGXChangeStylesMapCmd::CGXChangeStylesMapCmd(CGXStylesMap* pMap) : m_pStylesMap(pMap) {}
CGXChangeStylesMapCmd::~CGXChangeStylesMapCmd() = default;
BOOL CGXChangeStylesMapCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return m_pStylesMap && pGrid->ChangeStylesMap(*m_pStylesMap, kRedraw, ctCmd);
}

CGXChangePropertiesCmd::CGXChangePropertiesCmd(CGXProperties* pProps) : m_pProperties(pProps) {}
CGXChangePropertiesCmd::~CGXChangePropertiesCmd() = default;
BOOL CGXChangePropertiesCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return m_pProperties && pGrid->ChangeProperties(*m_pProperties, kRedraw, ctCmd);
}

BOOL CGXChangeBaseStyleCmd::Execute(CGXGridCore* pGrid, int ctCmd)
{
    return pGrid->ChangeBaseStyle(m_wStyleId, m_style, gxCopy, kRedraw, ctCmd);
}


BOOL CGXSetRangeNameCmd::Execute(CGXGridCore*, int) { return FALSE; }
BOOL CGXDeleteRangeNameCmd::Execute(CGXGridCore*, int) { return FALSE; }
