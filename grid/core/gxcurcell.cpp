// Current cell and keys: placing, moving and releasing the current cell, the control
// notifications and key processing. The defaults below are the bare interface; they answer 0.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"

BOOL CGXGridCore::PlaceCurrentCell(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::StoreCurrentCellEdit(BOOL, UINT, BOOL) { return 0; }
BOOL CGXGridCore::FindNextEnabledCell(ROWCOL&, ROWCOL&, int) { return 0; }
BOOL CGXGridCore::ProcessKeyMessage(UINT, WPARAM, LPARAM, UINT) { return 0; }
BOOL CGXGridCore::MoveCurrentCell(int, UINT, BOOL) { return 0; }
BOOL CGXGridCore::ReleaseCurrentCell(BOOL) { return 0; }
void CGXGridCore::HideCurrentCellControl() {}
void CGXGridCore::SetWarningText(LPCTSTR) {}
void CGXGridCore::ShowWarningText(ROWCOL, ROWCOL) {}
BOOL CGXGridCore::MoveCurrentCellBy(int, int, UINT) { return 0; }
BOOL CGXGridCore::OnValidateCell(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnStartEditing(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnModifyCell(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnCancelEditing(ROWCOL, ROWCOL) { return TRUE; }
void CGXGridCore::OnCanceledEditing(ROWCOL, ROWCOL) {}
BOOL CGXGridCore::OnEndEditing(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnLeftCell(ROWCOL, ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnDeleteCell(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::ValidateCellChange(ROWCOL, ROWCOL) { return 0; }
BOOL CGXGridCore::ScrollBy(int, int) { return 0; }
void CGXGridCore::OnInitCurrentCell(ROWCOL, ROWCOL) {}
CGXControl* CGXGridCore::ControlOfCell(ROWCOL, ROWCOL) { return nullptr; }
void CGXGridCore::OnChangedCurrentCell(ROWCOL, ROWCOL) {}

// ---- Non-virtual current-cell members ----

BOOL CGXGridCore::IsCurrentCellAt(ROWCOL nRow, ROWCOL nCol, BOOL bIgnorePrinting) const
{
    if (!m_bHasCurrentCell || (m_bPrinting && !bIgnorePrinting))
        return FALSE;
    return (nRow == GX_INVALID || nRow == m_nCurrentRow) && (nCol == GX_INVALID || nCol == m_nCurrentCol);
}

BOOL CGXGridCore::QueryCurrentCell(ROWCOL& nRow, ROWCOL& nCol) const
{
    nRow = m_nCurrentRow;
    nCol = m_nCurrentCol;
    return m_bHasCurrentCell;
}

BOOL CGXGridCore::QueryCurrentCellRef(ROWCOL& nRow, ROWCOL& nCol, BOOL bIgnorePrinting) const
{
    nRow = m_nCurrentRow;
    nCol = m_nCurrentCol;
    return m_bHasCurrentCell && (bIgnorePrinting || !m_bPrinting);
}

CGXControl* CGXGridCore::CurrentCellControl()
{
    if (!m_bHasCurrentCell)
        return nullptr;
    if (!m_pCurrentCellControl)
        GetCellStyleCached(m_nCurrentRow, m_nCurrentCol);
    return m_pCurrentCellControl;
}

BOOL CGXGridCore::IsCurrentCellControlActive()
{
    CGXControl* pControl = CurrentCellControl();
    return pControl && !m_bPrinting && pControl->IsActive();
}

BOOL CGXGridCore::CurrentCellText(CString& sText)
{
    sText.Empty();
    CGXControl* pControl = CurrentCellControl();
    return pControl ? pControl->GetCurrentText(m_nCurrentRow, m_nCurrentCol, sText) : FALSE;
}

BOOL CGXGridCore::DeactivateCurrentCell(BOOL bStore, BOOL)
{
    if (!bStore || !IsCurrentCellControlActive())
        return FALSE;
    return StoreCurrentCellEdit(TRUE);
}

void CGXGridCore::OnControlInitialized(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow != m_nLastInitRow || nCol != m_nLastInitCol) {
        m_nLastInitRow = nRow;
        m_nLastInitCol = nCol;
        OnChangedCurrentCell(nRow, nCol);
    }
}
