// The record-browser grid: rows as records, cells as fields, the record edit and its write-back.

#include "grid/record/gxbrowse.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "grid/core/gxctrl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/record/gxrowhdr.h"
#include "platform/base/exceptions.h"
#include "platform/dao/daoexcept.h"
#include "platform/sys/globalmem.h"
#include "platform/ui/cmdui.h"
#include "platform/win/win.h"

namespace {

// Directions of MoveCurrentCell.
enum : int {
    kUp = 1, kLeft = 2, kDown = 3, kRight = 4, kFirstRow = 7, kLastRow = 8,
    kRowStart = 9, kRowEnd = 10, kGridStart = 11, kGridEnd = 12
};
// String id of the text shown for a pending binary value.
constexpr UINT kIdsBinary = 20133;
// The row header column is as wide as a marker and its frame.
constexpr int kRowHeaderWidth = 22;

}  // namespace

CGXBrowserGrid::CGXBrowserGrid(CWnd* pGridWnd, CDocument* pDocument, BOOL bIsViewContext)
    : CGXGridCore(pGridWnd, pDocument, bIsViewContext)
{
    // Records exchange text only: a cell's style is not the record's to give or take.
    m_nClipboardFlags = 0x08;
}

// ---- Counts and indexes ----

BOOL CGXBrowserGrid::CanUpdate() { return !IsReadOnly(); }

BOOL CGXBrowserGrid::CanAppend()
{
    const CGXBrowseParam* p = BrowseParam();
    return p && p->m_bAllowAppend && !IsReadOnly();
}

ROWCOL CGXBrowserGrid::RecordCount()
{
    const ROWCOL nRows = GetData() ? GetData()->GetRowCount() : 0;
    return nRows > HeaderRows() ? nRows - HeaderRows() : 0;
}

ROWCOL CGXBrowserGrid::AppendRowNumber()
{
    if (!CanAppend())
        return GX_INVALID;
    const ROWCOL nCount = RecordCount();
    return nCount == GX_MAXROWCOL_UNKNOWN ? GX_INVALID : nCount + HeaderRows() + 1;
}

ROWCOL CGXBrowserGrid::RecordRowCount()
{
    const CGXBrowseParam* p = BrowseParam();
    ROWCOL n = RecordCount();
    if (n == GX_MAXROWCOL_UNKNOWN)
        n = p ? ROWCOL(p->m_nLastFetchedRecord + 1) : 0;
    if (p && p->m_bLastRecordSeen && !IsPrinting() && CanAppend()) {
        ++n;
        // The new record takes the append row and another empty one follows.
        if (p->m_nEditMode == gxAddNewRecord)
            ++n;
    }
    return HeaderRows() + n;
}

ROWCOL CGXBrowserGrid::RowCount() { return RecordRowCount(); }

ROWCOL CGXBrowserGrid::RowOrderIndex(ROWCOL nRow)
{
    const CGXBrowseParam* p = BrowseParam();
    if (p && nRow < ROWCOL(p->m_RowOrder.GetSize()) && p->m_RowOrder[INT_PTR(nRow)] != 0)
        return p->m_RowOrder[INT_PTR(nRow)];
    return nRow;
}

ROWCOL CGXBrowserGrid::ColOrderIndex(ROWCOL nCol)
{
    const CGXBrowseParam* p = BrowseParam();
    if (p && nCol < ROWCOL(p->m_ColOrder.GetSize()) && p->m_ColOrder[INT_PTR(nCol)] != 0)
        return p->m_ColOrder[INT_PTR(nCol)];
    return nCol;
}

short CGXBrowserGrid::FieldIndexOfCol(ROWCOL nCol) { return short(long(ColOrderIndex(nCol)) - long(HeaderCols()) - 1); }

long CGXBrowserGrid::RecordIndexOfRow(ROWCOL nRow) { return long(RowOrderIndex(nRow)) - long(HeaderRows()) - 1; }

void CGXBrowserGrid::OnRecordsMoved() {}
void CGXBrowserGrid::OnAfterAppend() { FreeGdiCache(); }
void CGXBrowserGrid::PrepareDrawRecords() {}
BOOL CGXBrowserGrid::ReadCellValue(ROWCOL, ROWCOL, CGXStyle&, BOOL) { return FALSE; }
void CGXBrowserGrid::StoreFieldBlob(ROWCOL, ROWCOL, CGXAbstractBlob*) {}
BOOL CGXBrowserGrid::TakeBlobFromStyle(const CGXStyle&, short) { return FALSE; }

void CGXBrowserGrid::StoreFieldValue(ROWCOL nRow, ROWCOL nCol, const CString& sText)
{
    if (CGXData* pData = GetData())
        pData->StoreValueRowCol(nRow, nCol, sText, gxOverride);
}

BOOL CGXBrowserGrid::WriteRecordFields(ROWCOL nRow, CString* pErrorText) { return FlushEditBuffer(nRow, pErrorText); }

BOOL CGXBrowserGrid::MoveToRecordRow(ROWCOL nRow)
{
    const CGXBrowseParam* p = BrowseParam();
    if (!p || nRow <= HeaderRows())
        return FALSE;
    ROWCOL nCount = RecordCount();
    if (nCount == GX_MAXROWCOL_UNKNOWN)
        nCount = ROWCOL(p->m_nLastFetchedRecord + 1);
    return nRow - HeaderRows() <= nCount;
}

void CGXBrowserGrid::Requery()
{
    StoreCurrentCellEdit(TRUE);
    if (CGXBrowseParam* p = BrowseParam())
        p->m_nLastFetchedRecord = -1;
}

void CGXBrowserGrid::EnsureCountComplete() { PrepareRows(GX_INVALID); }

// ---- Initialisation and the row header ----

void CGXBrowserGrid::Initialize()
{
    if (!GetParam())
        AttachParam(new CGXBrowseParam, TRUE);
    CGXGridCore::Initialize();
}

void CGXBrowserGrid::SetupRowHeader()
{
    RegisterControl(GX_IDS_CTRL_ROWHEADER, new CGXBrowseGridArrowRowHeader(this));
    CGXBrowseParam* p = BrowseParam();
    if (!p || p->m_bHeaderSetupDone)
        return;
    const BOOL bOldUndo = p->IsEnableUndo();
    p->EnableUndo(FALSE);
    CGXStyle colHeader;
    colHeader.SetEnabled(FALSE).SetReadOnly(FALSE);
    ModifyColumnHeaderStyle(colHeader, gxOverride, GX_NOREDRAW, gxRollback);
    CGXStyle rowHeader;
    rowHeader.SetEnabled(FALSE).SetControl(GX_IDS_CTRL_ROWHEADER);
    ModifyRowHeaderStyle(rowHeader, gxOverride, GX_NOREDRAW, gxRollback);
    p->SetDragRowsAllowed(FALSE);
    p->SetDragColsAllowed(TRUE);
    p->SetRowResizeFlags(GX_TRACK_INDIVIDUAL);
    // Records are removed as records, never as grid rows or columns by the mouse.
    p->m_wRemoveRowsFlags = 0;
    p->m_wRemoveColsFlags = 0;
    if (CGXProperties* pProps = GetProperties()) {
        pProps->SetMarkColumnHeader(FALSE);
        pProps->m_bPrintRowHeaders = FALSE;
    }
    SetColWidths(0, 0, kRowHeaderWidth, nullptr, GX_NOREDRAW, gxRollback);
    p->EnableUndo(bOldUndo);
    p->m_bHeaderSetupDone = 1;
}

// ---- Cells ----

const CGXStyle* CGXBrowserGrid::ColumnBaseStyle(ROWCOL nCol) const
{
    const CGXData* pData = GetData();
    return pData && nCol <= pData->GetColCount() ? pData->LookupStyleRowCol(0, nCol, -1) : nullptr;
}

BOOL CGXBrowserGrid::FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType)
{
    if (nType != 0 || nRow <= HeaderRows() || nCol <= HeaderCols())
        return CGXGridCore::FetchStoredStyle(nRow, nCol, style, mt, nType);
    CGXData* pData = GetData();
    const BOOL bInData = pData && nRow <= pData->GetRowCount() && nCol <= pData->GetColCount();
    BOOL bResult = bInData && CGXGridCore::FetchStoredStyle(nRow, nCol, style, mt, nType);
    BOOL bSupplied = FALSE;
    const CGXBrowseParam* p = BrowseParam();
    const short k = FieldIndexOfCol(nCol);
    if (p && p->m_nEditMode != gxNoEdit && nRow == p->m_nCurrentRecordRow && k >= 0
        && size_t(k) < p->m_EditBuffer.size() && p->m_EditBuffer[size_t(k)].bModified) {
        const CGXBrowseEditEntry& e = p->m_EditBuffer[size_t(k)];
        if (e.pBlob) {
            CString sBinary;
            sBinary.LoadString(kIdsBinary);
            style.SetValue(sBinary);
            SupplyPendingBlob(nRow, nCol, *e.pBlob, style);
        } else {
            style.SetValue(e.sText);
        }
        bResult = bSupplied = TRUE;
    }
    return ReadCellValue(nRow, nCol, style, bSupplied) || bResult;
}

BOOL CGXBrowserGrid::StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType)
{
    CGXBrowseParam* p = BrowseParam();
    if (!p || nType != 0 || nRow <= HeaderRows() || nCol <= HeaderCols())
        return CGXGridCore::StoreCellStyle(nRow, nCol, pStyle, mt, nType);
    const BOOL bValue = pStyle ? pStyle->GetIncludeValue() : mt == gxRemove;
    if (p->m_nEditMode != gxNoEdit && nRow == p->m_nCurrentRecordRow && bValue) {
        const short k = FieldIndexOfCol(nCol);
        if (k < 0)
            return FALSE;
        if (p->m_EditBuffer.size() <= size_t(k))
            p->m_EditBuffer.resize(size_t(k) + 1);
        if (pStyle && TakeBlobFromStyle(*pStyle, k))
            return TRUE;
        CGXBrowseEditEntry& e = p->m_EditBuffer[size_t(k)];
        e.sText = pStyle ? pStyle->GetValue() : CString();
        e.bModified = TRUE;
        if (IsCurrentCellAt(nRow, nCol))
            ResetCurrentCellStyle();
        return TRUE;
    }
    if (!p->m_bStoreCellFormatting)
        return FALSE;
    return CGXGridCore::StoreCellStyle(nRow, nCol, pStyle, mt, nType);
}

BOOL CGXBrowserGrid::ApplyStyleToRange(const CGXCellRange& range, const CGXStyle* pStyle, int mt, int nType,
                                       CObArray* pCellsArray, UINT flags, int ctCmd)
{
    CGXBrowseParam* p = BrowseParam();
    const BOOL bOneDataCell = range.IsCells() && range.top == range.bottom && range.left == range.right
                              && range.top > HeaderRows() && range.left > HeaderCols() && nType == 0;
    if (!p || !bOneDataCell)
        return CGXGridCore::ApplyStyleToRange(range, pStyle, mt, nType, pCellsArray, flags, ctCmd);
    const ROWCOL nRow = range.top, nCol = range.left;
    if (p->m_nEditMode != gxNoEdit && p->m_nCurrentRecordRow != nRow) {
        CString sError;
        if (!UpdateRecord(&sError)) {
            SetWarningText(sError);
            return FALSE;
        }
    }
    if (p->m_nEditMode == gxNoEdit) {
        if (!CanUpdate())
            return FALSE;
        if (MoveToRecordRow(nRow))
            BeginRecordEdit(nRow);
        else if (CanAppend())
            BeginNewRecord();
    }
    if (p->m_nEditMode == gxNoEdit || p->m_nCurrentRecordRow != nRow)
        return FALSE;

    const BOOL bResult = CGXGridCore::ApplyStyleToRange(range, pStyle, mt, nType, pCellsArray, flags, ctCmd);
    // An entry counts as modified only while its text differs from the record's.
    const short k = FieldIndexOfCol(nCol);
    if (k >= 0 && size_t(k) < p->m_EditBuffer.size() && p->m_EditBuffer[size_t(k)].bModified
        && !p->m_EditBuffer[size_t(k)].pBlob) {
        CGXBrowseEditEntry& e = p->m_EditBuffer[size_t(k)];
        const CString sPending = e.sText;
        e.bModified = FALSE;
        e.sText.Empty();
        CGXStyle* pStored = NewScratchStyle();
        FetchStoredStyle(nRow, nCol, *pStored, gxCopy, 0);
        if (!TakeBlobFromStyle(*pStored, k)) {
            e.sText = sPending;
            e.bModified = sPending != pStored->GetValue();
        }
        RecycleStyle(pStored);
    }
    if (std::none_of(p->m_EditBuffer.begin(), p->m_EditBuffer.end(),
                     [](const CGXBrowseEditEntry& e) { return e.bModified; })) {
        DiscardRecordEdit();
        return bResult;
    }
    const BOOL bUpdateNow = p->m_bUpdateEachChange || p->m_bUpdateAfterStore;
    p->m_bUpdateAfterStore = 0;
    if (bUpdateNow) {
        CString sError;
        if (!UpdateRecord(&sError)) {
            SetWarningText(sError);
            return FALSE;
        }
    }
    return bResult;
}

// ---- The record edit ----

void CGXBrowserGrid::ResetEditBuffer()
{
    if (CGXBrowseParam* p = BrowseParam())
        p->ResetEditBuffer(std::max<size_t>(p->m_nFieldCount, ColCount() > HeaderCols() ? ColCount() - HeaderCols() : 0));
}

void CGXBrowserGrid::RedrawRowHeader(ROWCOL nRow)
{
    if (m_pParam && !m_pParam->m_bLockRedraw && nRow != 0 && nRow != GX_INVALID)
        RedrawCells(nRow, 0, nRow, HeaderCols(), GX_INVALIDATE);
}

BOOL CGXBrowserGrid::BeginRecordEdit(ROWCOL nRow)
{
    CGXBrowseParam* p = BrowseParam();
    if (!p)
        return FALSE;
    DiscardRecordEdit();
    MoveToRecordRow(nRow);
    if (!m_bHasCurrentCell || m_nCurrentRow != nRow)
        PlaceCurrentCell(nRow, HeaderCols() + 1);
    if (nRow != p->m_nCurrentRecordRow)
        return FALSE;
    p->m_nEditMode = gxEditRecord;
    RedrawRowHeader(nRow);
    return TRUE;
}

ROWCOL CGXBrowserGrid::BeginNewRecord()
{
    CGXBrowseParam* p = BrowseParam();
    if (!p || !CanAppend())
        AfxThrowNotSupportedException();
    DiscardRecordEdit();
    PrepareRows(GX_INVALID);
    const ROWCOL nRow = AppendRowNumber();
    if (nRow == GX_INVALID)
        return GX_INVALID;
    if (!m_bHasCurrentCell || m_nCurrentRow != nRow)
        PlaceCurrentCell(nRow, HeaderCols() + 1);
    if (nRow != p->m_nCurrentRecordRow)
        return GX_INVALID;
    const BOOL bWasLastShown = LastVisibleRow() >= nRow;
    p->m_nEditMode = gxAddNewRecord;
    // A new empty append row appears below the new record; follow it when it was the last shown.
    ResetSizeCaches();
    UpdateScrollBars();
    RedrawCells(nRow, 0, nRow + 1, ColCount(), GX_INVALIDATE);
    if (bWasLastShown && LastFullyVisibleRow() < nRow + 1)
        ScrollCells(kDown, 1);
    return nRow;
}

BOOL CGXBrowserGrid::FlushEditBuffer(ROWCOL nRow, CString* pErrorText)
{
    CGXBrowseParam* p = BrowseParam();
    if (!p)
        return FALSE;
    try {
        const ROWCOL nCols = ColCount();
        for (ROWCOL nCol = HeaderCols() + 1; nCol <= nCols; ++nCol) {
            const short k = FieldIndexOfCol(nCol);
            if (k < 0)
                continue;
            if (size_t(k) >= p->m_EditBuffer.size() || !p->m_EditBuffer[size_t(k)].bModified) {
                // A new record takes the column's default.
                if (p->m_nEditMode == gxAddNewRecord)
                    if (const CGXStyle* pColumn = ColumnBaseStyle(nCol); pColumn && pColumn->GetIncludeValue())
                        StoreFieldValue(nRow, nCol, CString(pColumn->GetValue()));
                continue;
            }
            CGXBrowseEditEntry& e = p->m_EditBuffer[size_t(k)];
            if (e.pBlob)
                StoreFieldBlob(nRow, nCol, e.pBlob.get());
            else
                StoreFieldValue(nRow, nCol, e.sText);
        }
    } catch (const CDaoException& e) {
        if (!pErrorText)
            throw;
        SetWarningText(e.m_pErrorInfo ? LPCTSTR(e.m_pErrorInfo->m_strDescription) : "");
        *pErrorText = m_sWarningText;
        return FALSE;
    } catch (const CException&) {
        if (!pErrorText)
            throw;
        // The store said why in the warning text.
        *pErrorText = m_sWarningText;
        return FALSE;
    }
    return TRUE;
}

BOOL CGXBrowserGrid::UpdateRecord(CString* pErrorText)
{
    CGXBrowseParam* p = BrowseParam();
    if (!p || p->m_nEditMode == gxNoEdit) {
        if (pErrorText)
            *pErrorText = "Error: must enter Edit or AddNew mode before updating.";
        return FALSE;
    }
    // Inside a move of the current cell its control has already given its text.
    if (!IsChangingCurrentCell() && !StoreCurrentCellEdit(TRUE))
        return FALSE;
    if (p->m_nEditMode == gxNoEdit)
        return TRUE;  // storing the cell ended the edit: nothing was left to write
    const DWORD nMode = p->m_nEditMode;
    const ROWCOL nRow = p->m_nCurrentRecordRow;
    const BOOL bModified = std::any_of(p->m_EditBuffer.begin(), p->m_EditBuffer.end(),
                                       [](const CGXBrowseEditEntry& e) { return e.bModified; });
    if (bModified) {
        if (!WriteRecordFields(nRow, pErrorText))
            return FALSE;
        ResetEditBuffer();
        if (nMode == gxAddNewRecord) {
            p->m_nEditMode = gxNoEdit;
            OnAfterAppend();
        }
        m_bRecordUpdated = TRUE;
    }
    p->m_nEditMode = gxNoEdit;
    if (nMode == gxAddNewRecord) {
        UpdateScrollBars();
        Redraw(GX_INVALIDATE);
    } else {
        RedrawRowHeader(nRow);
    }
    return TRUE;
}

void CGXBrowserGrid::DiscardRecordEdit()
{
    CGXBrowseParam* p = BrowseParam();
    if (!p)
        return;
    const DWORD nMode = p->m_nEditMode;
    const ROWCOL nRow = p->m_nCurrentRecordRow;
    p->m_nEditMode = gxNoEdit;
    ResetEditBuffer();
    if (nMode == gxNoEdit)
        return;
    // The cell's control goes back to the record's value, unless it is being left right now.
    ResetCurrentCellStyle();
    FreeGdiCache();
    if (!IsChangingCurrentCell() && m_bHasCurrentCell)
        StoreCurrentCellEdit(FALSE);
    if (nMode == gxAddNewRecord) {
        UpdateScrollBars();
        Redraw(GX_INVALIDATE);
    } else {
        RedrawCells(nRow, 0, nRow, ColCount(), GX_INVALIDATE);
    }
}

void CGXBrowserGrid::UndoRecordChanges()
{
    DiscardRecordEdit();
    if (m_pUndoImp && m_pParam && m_pParam->IsEnableUndo()) {
        if (m_pParam->GetUndoList().GetCount() > 1)
            m_pParam->ClearRedoList();
        m_pParam->ClearUndoList();
    }
}

BOOL CGXBrowserGrid::Undo()
{
    const DWORD nMode = EditMode();
    const BOOL bRecording = m_pUndoImp && m_pParam && m_pParam->IsEnableUndo();
    // An edit that changed nothing has nothing to take back: the core's undo would reach past
    // it to an earlier command and leave the edit open.
    BOOL bUnchanged = nMode == gxEditRecord;
    if (const CGXBrowseParam* p = bUnchanged ? BrowseParam() : nullptr)
        for (const CGXBrowseEditEntry& e : p->m_EditBuffer)
            bUnchanged = bUnchanged && !e.bModified;
    if ((nMode == gxAddNewRecord && (!m_pParam || m_pParam->GetUndoList().IsEmpty()))
        || (nMode == gxEditRecord && (!bRecording || bUnchanged))) {
        DiscardRecordEdit();
        return TRUE;
    }
    return CGXGridCore::Undo();
}

// ---- Clipboard ----

namespace {

// Locks drawing for a block; the caller redraws what changed once.
class CBrowseRedrawLock {
public:
    explicit CBrowseRedrawLock(CGXGridParam* p) : m_p(p), m_bOld(p ? p->m_bLockRedraw : FALSE)
    {
        if (m_p)
            m_p->m_bLockRedraw = TRUE;
    }
    ~CBrowseRedrawLock()
    {
        if (m_p)
            m_p->m_bLockRedraw = m_bOld;
    }
    CBrowseRedrawLock(const CBrowseRedrawLock&) = delete;
    CBrowseRedrawLock& operator=(const CBrowseRedrawLock&) = delete;

private:
    CGXGridParam* m_p;
    DWORD m_bOld;
};

}  // namespace

// A cut or a plain paste aims at one cell: the current one, with no selection or a selection of it.
BOOL CGXBrowserGrid::HasSingleCellTarget()
{
    if (!m_bHasCurrentCell || !m_pParam)
        return FALSE;
    const CGXRangeList& sel = m_pParam->m_SelRects;
    if (sel.IsEmpty())
        return TRUE;
    if (sel.GetCount() != 1)
        return FALSE;
    const CGXCellRange* r = sel.GetRange(sel.GetHeadPosition());
    return r && r->IsCells() && r->top == r->bottom && r->left == r->right;
}

BOOL CGXBrowserGrid::CanCut()
{
    if (!CanUpdate() || !HasSingleCellTarget())
        return FALSE;
    CGXControl* pControl = CurrentCellControl();
    return pControl && pControl->CanCut();
}

BOOL CGXBrowserGrid::Cut()
{
    if (!CanCut())
        return FALSE;
    CGXControl* pControl = CurrentCellControl();
    return pControl && pControl->CutText();
}

BOOL CGXBrowserGrid::CanPaste()
{
    CGXBrowseParam* p = BrowseParam();
    if (p && p->m_bRangePasteEnabled)
        return CGXGridCore::CanPaste();
    if (!CanUpdate() || !HasSingleCellTarget())
        return FALSE;
    CGXControl* pControl = CurrentCellControl();
    return pControl && !pControl->IsCellReadOnly() && (IsClipboardFormatAvailable(CF_TEXT) || pControl->CanPaste());
}

BOOL CGXBrowserGrid::Paste()
{
    CGXBrowseParam* p = BrowseParam();
    if (p && p->m_bRangePasteEnabled) {
        const BOOL bOk = CGXGridCore::Paste();
        if (p->m_nEditMode != gxNoEdit) {
            CString sError;
            if (!UpdateRecord(&sError)) {
                SetWarningText(sError);
                return FALSE;
            }
        }
        if (m_bHasCurrentCell)
            PlaceCurrentCell(m_nCurrentRow, m_nCurrentCol, 10);
        return bOk;
    }
    if (!CanPaste())
        return FALSE;
    CGXControl* pControl = CurrentCellControl();
    if (!pControl)
        return FALSE;
    // A control that takes the clipboard as it is (an active edit, an object cell) pastes itself.
    if (pControl->CanPaste())
        return pControl->PasteText();
    CWnd* pWnd = GetGridWnd();
    if (!::OpenClipboard(pWnd ? pWnd->GetSafeHwnd() : nullptr))
        return FALSE;
    CString sText;
    BOOL bFound = FALSE;
    if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
        if (const char* psz = static_cast<const char*>(GlobalLock(h))) {
            sText = CString(psz, int(strnlen(psz, GlobalSize(h))));
            GlobalUnlock(h);
            bFound = TRUE;
        }
    }
    CloseClipboard();
    if (!bFound)
        return FALSE;
    if (!pControl->IsActive()) {
        if (!pControl->StartEditing())
            return FALSE;
        pControl->SetActive(TRUE);
        pControl->Refresh();
    }
    pControl->ReplaceSelection(sText);
    return TRUE;
}

BOOL CGXBrowserGrid::ClearCells(const CGXRangeList& list, BOOL bStylesOnly)
{
    CGXBrowseParam* p = BrowseParam();
    if (!p)
        return CGXGridCore::ClearCells(list, bStylesOnly);
    if (bStylesOnly && !p->m_bStoreCellFormatting)
        return FALSE;
    BOOL bOk;
    {
        CBrowseRedrawLock lock(m_pParam);
        bOk = CGXGridCore::ClearCells(list, bStylesOnly);
    }
    if (list.GetCount() == 1) {
        if (p->m_nEditMode != gxNoEdit) {
            CString sError;
            if (!UpdateRecord(&sError)) {
                SetWarningText(sError);
                Redraw(GX_INVALIDATE);
                return FALSE;
            }
        }
        const CGXCellRange& r = *list.GetRange(list.GetHeadPosition());
        ROWCOL nTop = r.IsTable() || r.IsCols() ? 1 : r.top, nBottom = r.IsTable() || r.IsCols() ? RowCount() : r.bottom;
        if (m_bHasCurrentCell) {
            nTop = std::min(nTop, m_nCurrentRow);
            nBottom = std::max(nBottom, m_nCurrentRow);
        }
        RedrawCells(nTop, 0, std::min(nBottom, RowCount()), ColCount(), GX_INVALIDATE);
    } else {
        Redraw(GX_INVALIDATE);
    }
    return bOk;
}

BOOL CGXBrowserGrid::PasteTextFromBuffer(LPCTSTR psz, DWORD nSize, const CGXCellRange& target)
{
    const ROWCOL nOldRow = m_bHasCurrentCell ? m_nCurrentRow : target.top;
    const DWORD nOldFlags = m_nClipboardFlags;
    if (!CanAppend())
        m_nClipboardFlags |= kClipNoNewRows;
    BOOL bOk;
    {
        CBrowseRedrawLock lock(m_pParam);
        bOk = CGXGridCore::PasteTextFromBuffer(psz, nSize, target);
    }
    m_nClipboardFlags = nOldFlags;
    const ROWCOL nNewRow = m_bHasCurrentCell ? m_nCurrentRow : nOldRow;
    const ROWCOL nLast = std::max({nOldRow, nNewRow, target.IsCells() ? target.bottom : nNewRow});
    RedrawCells(std::min(nOldRow, nNewRow), 0, std::min(nLast, RowCount()), ColCount(), GX_INVALIDATE);
    return bOk;
}

// ---- Deleting ----

BOOL CGXBrowserGrid::DeleteSelectedRecords()
{
    if (!CanUpdate() || IsReadOnly() || !m_pParam || m_pParam->m_SelRects.IsEmpty())
        return FALSE;
    CDWordArray firsts, lasts;
    if (!SelectedRowIntervals(firsts, lasts, FALSE, FALSE) || firsts.GetSize() == 0)
        return FALSE;
    const ROWCOL nAppend = AppendRowNumber();
    for (INT_PTR i = 0; i < firsts.GetSize(); ++i)
        if (nAppend != GX_INVALID && firsts[i] <= nAppend && nAppend <= lasts[i])
            return FALSE;
    return DeleteRecords(firsts, lasts);
}

BOOL CGXBrowserGrid::DeleteRecords(const CDWordArray& firsts, const CDWordArray& lasts)
{
    StoreCurrentCellEdit(TRUE);
    BeginTransaction(GXGetLibraryState().m_astrTexts[gxTextRemovingRows]);
    const DWORD bOldLock = m_pParam->m_bLockRedraw;
    m_pParam->m_bLockRedraw = TRUE;
    for (INT_PTR i = firsts.GetSize(); i-- > 0;)
        RemoveRows(firsts[i], lasts[i], GX_NOREDRAW, gxRollback);
    m_pParam->m_bLockRedraw = bOldLock;
    CommitTransaction();
    Redraw(GX_INVALIDATE);
    return TRUE;
}

BOOL CGXBrowserGrid::RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT flags, int ctCmd)
{
    if (!m_pParam)
        return FALSE;
    const BOOL bOldUndo = m_pParam->IsEnableUndo();
    m_pParam->EnableUndo(FALSE);
    const BOOL b = CGXGridCore::RemoveRows(nFromRow, nToRow, flags, ctCmd);
    m_pParam->EnableUndo(bOldUndo);
    return b;
}

namespace {

// Entries up to nEnd are written out (0 reads as the line itself), so that shifting them keeps
// each line showing what it showed.
void FillOrderTo(CDWordArray& order, ROWCOL nEnd)
{
    if (ROWCOL(order.GetSize()) <= nEnd)
        order.SetSize(INT_PTR(nEnd) + 1);
    for (INT_PTR i = 0; i < order.GetSize(); ++i)
        if (order[i] == 0)
            order[i] = DWORD(i);
}

// Inserted lines show the next records (fields) after the last one shown: nEnd + 1, nEnd + 2, ...
void InsertOrderEntries(CDWordArray& order, ROWCOL nAt, ROWCOL nCount, ROWCOL nEnd)
{
    FillOrderTo(order, std::max(nEnd, nAt));
    order.InsertAt(INT_PTR(nAt), DWORD(0), INT_PTR(nCount));
    for (ROWCOL i = 0; i < nCount; ++i)
        order[INT_PTR(nAt + i)] = DWORD(nEnd + 1 + i);
}

void RemoveOrderEntries(CDWordArray& order, ROWCOL nFrom, ROWCOL nTo)
{
    if (nFrom >= ROWCOL(order.GetSize()))
        return;
    FillOrderTo(order, ROWCOL(order.GetSize() - 1));
    const INT_PTR nLast = std::min<INT_PTR>(INT_PTR(nTo), order.GetSize() - 1);
    order.RemoveAt(INT_PTR(nFrom), nLast - INT_PTR(nFrom) + 1);
}

// Every entry up to the far end of the move is written out, then the block's entries go to the
// destination.
void MoveOrderEntries(CDWordArray& order, ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    const ROWCOL nEnd = std::max(nLast, nDest + (nLast - nFirst));
    FillOrderTo(order, nEnd);
    const ROWCOL nFrom = std::min(nFirst, nDest);
    std::vector<DWORD> old(order.GetData() + nFrom, order.GetData() + nEnd + 1);
    for (ROWCOL i = nFrom; i <= nEnd; ++i)
        order[INT_PTR(GXMovedIndex(i, nFirst, nLast, nDest))] = old[i - nFrom];
}

}  // namespace

// An edit with changed fields is written before lines come or go; a failed write refuses.
BOOL CGXBrowserGrid::WritePendingEdit()
{
    CGXBrowseParam* p = BrowseParam();
    if (p && p->m_nEditMode != gxNoEdit
        && std::any_of(p->m_EditBuffer.begin(), p->m_EditBuffer.end(), [](const CGXBrowseEditEntry& e) { return e.bModified; }))
        return UpdateRecord();
    return TRUE;
}

BOOL CGXBrowserGrid::StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce)
{
    if (!WritePendingEdit())
        return FALSE;
    const ROWCOL nEnd = RowCount();
    if (!CGXGridCore::StoreInsertRows(nRow, nCount, bForce))
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        InsertOrderEntries(p->m_RowOrder, nRow, nCount, nEnd);
    return TRUE;
}

BOOL CGXBrowserGrid::StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce)
{
    if (!WritePendingEdit())
        return FALSE;
    const ROWCOL nEnd = ColCount();
    if (!CGXGridCore::StoreInsertCols(nCol, nCount, bForce))
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        InsertOrderEntries(p->m_ColOrder, nCol, nCount, nEnd);
    ResetEditBuffer();
    return TRUE;
}

BOOL CGXBrowserGrid::StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce)
{
    if (!WritePendingEdit())
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        RemoveOrderEntries(p->m_RowOrder, nFromRow, nToRow);
    return CGXGridCore::StoreRemoveRows(nFromRow, nToRow, bForce);
}

BOOL CGXBrowserGrid::StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce)
{
    if (!WritePendingEdit())
        return FALSE;
    if (!CGXGridCore::StoreRemoveCols(nFromCol, nToCol, bForce))
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        RemoveOrderEntries(p->m_ColOrder, nFromCol, nToCol);
    ResetEditBuffer();
    return TRUE;
}

BOOL CGXBrowserGrid::StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bForce)
{
    if (!CGXGridCore::StoreMoveRows(nFromRow, nToRow, nDestRow, bForce))
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        MoveOrderEntries(p->m_RowOrder, nFromRow, nToRow, nDestRow);
    return TRUE;
}

BOOL CGXBrowserGrid::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce)
{
    if (!CGXGridCore::StoreMoveCols(nFromCol, nToCol, nDestCol, bForce))
        return FALSE;
    if (CGXBrowseParam* p = BrowseParam())
        MoveOrderEntries(p->m_ColOrder, nFromCol, nToCol, nDestCol);
    return TRUE;
}

// ---- The current cell ----

BOOL CGXBrowserGrid::CanSelectRange(const CGXCellRange& range, UINT flags)
{
    if (EditMode() != gxNoEdit && !range.IsCols()) {
        StoreCurrentCellEdit(TRUE);
        CString sError;
        if (EditMode() != gxNoEdit && !UpdateRecord(&sError)) {
            SetWarningText(sError);
            ShowWarningText(m_nCurrentRow, m_nCurrentCol);
            return FALSE;
        }
    }
    return CGXGridCore::CanSelectRange(range, flags);
}

BOOL CGXBrowserGrid::PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    if (nRow != GX_INVALID && nCol != GX_INVALID) {
        if (nCol <= HeaderCols())
            nCol = ColCount() > HeaderCols() ? HeaderCols() + 1 : ColCount();
        // A row beyond those fetched so far may still be a record.
        if (nRow > RowCount())
            PrepareRows(nRow);
    }
    return CGXGridCore::PlaceCurrentCell(nRow, nCol, flags);
}

BOOL CGXBrowserGrid::OnStartEditing(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow > HeaderRows() && nCol > HeaderCols() && EditMode() == gxNoEdit && CanUpdate()) {
        if (CanAppend() && nRow == AppendRowNumber())
            BeginNewRecord();
        else
            BeginRecordEdit(nRow);
    }
    return EditMode() != gxNoEdit && CGXGridCore::OnStartEditing(nRow, nCol);
}

void CGXBrowserGrid::OnCanceledEditing(ROWCOL nRow, ROWCOL nCol)
{
    const CGXBrowseParam* p = BrowseParam();
    if (p && p->m_nEditMode != gxNoEdit
        && std::none_of(p->m_EditBuffer.begin(), p->m_EditBuffer.end(), [](const CGXBrowseEditEntry& e) { return e.bModified; }))
        DiscardRecordEdit();
    CGXGridCore::OnCanceledEditing(nRow, nCol);
}

BOOL CGXBrowserGrid::OnLeftCell(ROWCOL nRow, ROWCOL nCol, ROWCOL nNewRow, ROWCOL nNewCol)
{
    if (EditMode() != gxNoEdit && nNewRow != nRow) {
        CString sError;
        if (!UpdateRecord(&sError)) {
            // The user stays in the record; the warning says why.
            SetWarningText(sError);
            return FALSE;
        }
    }
    return CGXGridCore::OnLeftCell(nRow, nCol, nNewRow, nNewCol);
}

void CGXBrowserGrid::OnMovedCurrentCell(ROWCOL nRow, ROWCOL nCol, int nKind, UINT flags)
{
    CGXGridCore::OnMovedCurrentCell(nRow, nCol, nKind, flags);
    CGXBrowseParam* p = BrowseParam();
    // Told once for the cell left (no current cell then) and once for the new one.
    if (!p || !m_bHasCurrentCell || m_nCurrentRow != nRow || nRow == p->m_nCurrentRecordRow)
        return;
    const ROWCOL nOld = p->m_nCurrentRecordRow;
    if (p->m_nEditMode != gxNoEdit && nOld != nRow) {
        CString sError;
        if (!UpdateRecord(&sError))
            SetWarningText(sError);
    }
    RedrawRowHeader(nOld);
    RedrawRowHeader(nRow);
    if (m_bRecordUpdated) {
        if (nOld != 0 && m_pParam && !m_pParam->m_bLockRedraw)
            RedrawCells(nOld, 0, nOld, ColCount(), GX_INVALIDATE);
        m_bRecordUpdated = FALSE;
    }
    p->m_nCurrentRecordRow = nRow;
}

// ---- Keys and commands ----

BOOL CGXBrowserGrid::MoveBy(int nDirection, int nCount)
{
    BOOL b = FALSE;
    for (int i = 0; i < nCount; ++i)
        b = MoveCurrentCell(nDirection, 1) || b;
    return b;
}

BOOL CGXBrowserGrid::ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) {
        if (HasMouseCapture()) {
            if (message == WM_KEYDOWN && wParam == VK_ESCAPE && m_pGridWnd)
                m_pGridWnd->SendMessage(WM_CANCELMODE);
            return TRUE;
        }
    }
    if (message == WM_KEYDOWN && m_pParam) {
        const BOOL bShift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        switch (wParam) {
        case VK_ESCAPE:
            if (EditMode() != gxNoEdit && !IsCurrentCellControlActive())
                return Undo();
            break;
        case VK_DELETE:
            if (m_pGridWnd && ::GetFocus() == m_pGridWnd->GetSafeHwnd() && !m_pParam->m_SelRects.IsEmpty()) {
                DeleteSelectedRecords();
                return TRUE;
            }
            break;
        case VK_TAB:
            if (!m_bHasCurrentCell)
                break;
            if (!bShift) {
                if (m_nCurrentCol < ColCount())
                    return MoveCurrentCell(kRight, 1);
                if (m_nCurrentRow < RowCount())
                    return MoveCurrentCell(kRowStart, 1) && MoveCurrentCell(kDown, 1);
                return MoveCurrentCell(kGridStart, 1);
            }
            if (m_nCurrentCol > HeaderCols() + 1)
                return MoveCurrentCell(kLeft, 1);
            if (m_nCurrentRow > HeaderRows() + 1)
                return MoveCurrentCell(kRowEnd, 1) && MoveCurrentCell(kUp, 1);
            return MoveCurrentCell(kGridEnd, 1);
        default:
            break;
        }
    }
    return CGXGridCore::ProcessKeyMessage(message, wParam, lParam, flags);
}

BOOL CGXBrowserGrid::OnGridKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar == VK_DELETE && (GetKeyState(VK_SHIFT) & 0x8000) != 0) {
        if (CanCut())
            Cut();
        return TRUE;
    }
    return CGXGridCore::OnGridKeyDown(nChar, nRepCnt, flags);
}

void CGXBrowserGrid::OnRecordCommand(UINT nID)
{
    switch (nID) {
    case ID_RECORD_FIRST: MoveCurrentCell(kFirstRow, 1); break;
    case ID_RECORD_LAST: MoveCurrentCell(kLastRow, 1); break;
    case ID_RECORD_NEXT: MoveCurrentCell(kDown, 1); break;
    case ID_RECORD_PREV: MoveCurrentCell(kUp, 1); break;
    default: break;
    }
}

BOOL CGXBrowserGrid::CanRecordCommand(UINT nID)
{
    if (!m_pParam)
        return FALSE;
    ROWCOL nRow = 0, nCol = 0;
    const BOOL bCurrent = QueryCurrentCell(nRow, nCol);
    switch (nID) {
    case ID_RECORD_FIRST:
    case ID_RECORD_PREV: return !(bCurrent && nRow == HeaderRows() + 1);
    case ID_RECORD_NEXT:
    case ID_RECORD_LAST: return !(bCurrent && nRow == RecordRowCount());
    default: return FALSE;
    }
}

void CGXBrowserGrid::OnUpdateRecordCommand(CCmdUI* pCmdUI, UINT nID)
{
    if (pCmdUI)
        pCmdUI->Enable(CanRecordCommand(nID));
}

void CGXBrowserGrid::OnGridDraw(CDC* pDC)
{
    PrepareDrawRecords();
    CGXGridCore::OnGridDraw(pDC);
}
