#pragma once
// Cells that hold a changed value in the control until the cell is left (the check box and radio
// kinds that store late): the control's copy of the cell's style is the pending value, and
// CommitValue stores it as the user's one change.

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"

template <class TBase>
class CGXHeldValueCell : public TBase {
public:
    using TBase::TBase;

    void SetActive(BOOL bActive) override
    {
        if (bActive && !m_bActive) {
            this->ResetCellStyle();
            this->GetCellStyle();
        }
        m_bActive = bActive;
    }
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override
    {
        TBase::InitForCell(nRow, nCol);
        this->GetCellStyle();
        m_bModified = FALSE;
    }
    BOOL CommitValue() override
    {
        if (!this->m_pStyle || !m_bModified)
            return TRUE;
        const CString sValue = this->m_pStyle->GetValue();
        SetActive(FALSE);
        this->ResetCellStyle();
        return this->m_pGrid->SetRangeValueText(CGXCellRange(this->m_nRow, this->m_nCol), sValue, gxOverride, 0,
                                                GX_INVALIDATE);
    }

protected:
    BOOL m_bActive = FALSE;
    BOOL m_bModified = FALSE;
};
