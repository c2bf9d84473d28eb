// Current cell and keys: placing, moving and releasing the current cell, the control
// notifications and key processing.

#include <algorithm>

#include "platform/base/utf8.h"
#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/win.h"

#include "grid/core/gxctrl.h"

namespace {

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// The window that has the focus lies in (or is) the grid window.
BOOL FocusInGrid(CWnd* pGridWnd)
{
    HWND hFocus = ::GetFocus();
    HWND hGrid = pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr;
    return hFocus && hGrid && (hFocus == hGrid || ::IsChild(hGrid, hFocus));
}

// Keys typed ahead while a cell was left must not land in the next cell.
void RemovePendingKeys(HWND hWnd)
{
    if (!hWnd)
        return;
    MSG msg;
    while (::PeekMessage(&msg, hWnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

// Directions of ScrollWithHint.
enum { kScrollUp = 1, kScrollLeft = 2, kScrollDown = 3 };

// Repeat count of a key message (at least 1).
UINT RepeatCount(LPARAM lParam) { return std::max<UINT>(1, LOWORD(DWORD(lParam))); }

}  // namespace

// ---- Queries ----

CGXControl* CGXGridCore::ControlOfCell(ROWCOL nRow, ROWCOL nCol)
{
    if (IsCurrentCellAt(nRow, nCol, TRUE)) {
        if (CGXControl* pControl = CurrentCellControl())
            return pControl;
    }
    const CGXStyle& style = GetCellStyleCached(nRow, nCol);
    return GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : WORD(0));
}

BOOL CGXGridCore::ValidateCellChange(ROWCOL nRow, ROWCOL nCol, int nMode, ROWCOL, ROWCOL)
{
    if (nMode == GX_VALIDATE_TARGET) {
        if (nRow > RowCount() || nCol > ColCount())
            return FALSE;
        const CGXStyle& style = GetCellStyleCached(nRow, nCol);
        return !style.GetIncludeEnabled() || style.GetEnabled();
    }
    m_sWarningText.Empty();
    CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr;
    if (pControl && pControl->IsModified())
        return pControl->Validate();
    return TRUE;
}

// ---- Placing ----

void CGXGridCore::StoreCurrentCellPosition(ROWCOL nRow, ROWCOL nCol)
{
    m_nCurrentRow = nRow;
    m_nCurrentCol = nCol;
    m_bHasCurrentCell = TRUE;
    if (m_pParam) {
        m_pParam->m_bHasRememberedCell = TRUE;
        m_pParam->m_nRememberedRow = nRow;
        m_pParam->m_nRememberedCol = nCol;
    }
}

void CGXGridCore::ForgetCurrentCell()
{
    m_bHasCurrentCell = FALSE;
    if (m_pParam)
        m_pParam->m_bHasRememberedCell = FALSE;
}

// Gives the focus back to the window that had it before a refused move, when it is still there.
void CGXGridCore::RestoreFocusAfterRefusal(HWND hFocus, BOOL bWasActive)
{
    if (!bWasActive || !hFocus || !::IsWindow(hFocus) || !::IsWindowVisible(hFocus))
        return;
    HWND hGrid = m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr;
    if (hGrid && (hFocus == hGrid || ::IsChild(hGrid, hFocus)))
        m_bFocusFromGrid = TRUE;
    ::SetFocus(hFocus);
}

// The headers of a cell the current cell left or reached are drawn anew (kind: 1 only the
// column changed, 2 only the row, 0 both).
void CGXGridCore::OnMovedCurrentCell(ROWCOL nRow, ROWCOL nCol, int nKind, UINT flags)
{
    if (m_pMarkEditHeaderImp && nKind >= 0)
        m_pMarkEditHeaderImp->RedrawHeadersOfCell(this, nRow, nCol, nKind, flags & GX_UPDATENOW ? GX_UPDATENOW : GX_INVALIDATE);
}

BOOL CGXGridCore::PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    if (!m_pParam)
        return FALSE;
    // Only (-1, -1) ends the current cell; any other target beyond the grid is refused before
    // the old cell is touched, so it stays current (and editing) as it was.
    const BOOL bEnd = nRow == GX_INVALID && nCol == GX_INVALID;
    if (!bEnd) {
        if (nRow > RowCount() || nCol > ColCount())
            return FALSE;
        CGXCellRange covered;
        if (GetCoveredCellsRowCol(nRow, nCol, covered)) {
            nRow = covered.top;
            nCol = covered.left;
        }
    }

    // How the cell changes, for the moved-cell redraw.
    const BOOL bOld = m_bHasCurrentCell && m_nCurrentRow > HeaderRows() && m_nCurrentCol > HeaderCols();
    const ROWCOL nOldRow = m_nCurrentRow, nOldCol = m_nCurrentCol;
    int nKind = 0;
    if (bOld) {
        if (nRow == nOldRow && nCol == nOldCol)
            nKind = -1;
        else if (nRow == nOldRow)
            nKind = 1;
        else if (nCol == nOldCol)
            nKind = 2;
    }

    const BOOL bHadCell = m_bHasCurrentCell;
    CGXControl* pOld = bHadCell ? CurrentCellControl() : nullptr;
    if (pOld) {
        const BOOL bModified = pOld->IsModified();
        CString sSavedText;
        if (pOld->IsInitialized())
            pOld->GetCellValueText(sSavedText);
        HWND hFocus = ::GetFocus();
        const BOOL bWasActive = pOld->IsActive();
        const BOOL bOldLock = m_bLockCurrentCell;
        m_bLockCurrentCell = TRUE;
        if (bWasActive && FocusInGrid(m_pGridWnd))
            RemovePendingKeys(hFocus);

        if (!ValidateCellChange(nRow, nCol, GX_VALIDATE_LEAVE, nOldRow, nOldCol)) {
            if (m_sWarningText.IsEmpty())
                RestoreFocusAfterRefusal(hFocus, bWasActive);
            ShowWarningText(nOldRow, nOldCol);
            pOld->Refresh();
            m_bLockCurrentCell = bOldLock;
            return FALSE;
        }

        // The data's error text belongs to this commit only; a formula store keeps a parse
        // message until it is fetched below.
        ResetDataError();
        BOOL bCommitted = TRUE;
        BOOL bChanged = FALSE;
        if (bModified) {
            bCommitted = (pOld->CommitValue() & 1) != 0;
            bChanged = bCommitted;
        }
        if (bCommitted && pOld->IsInitialized())
            bCommitted = pOld->EndEditing();
        if (bCommitted && bModified && pOld->IsInitialized())
            RecalcAndRefresh(FALSE, nullptr, TRUE);
        if (m_sWarningText.IsEmpty()) {
            CString sError;
            if (GetDataErrorText(sError))
                m_sWarningText = sError;
            ResetDataError();
        }

        BOOL bLeft = FALSE;
        if (bCommitted) {
            ForgetCurrentCell();
            if (pOld->IsInitialized())
                pOld->Hide();
            pOld->SetActive(FALSE);
            bLeft = pOld->LeaveCell(bEnd ? GX_INVALID : nRow, bEnd ? GX_INVALID : nCol);
            ShowWarningText(nOldRow, nOldCol);
            if (bLeft) {
                OnMovedCurrentCell(nOldRow, nOldCol, nKind, flags);
                if (bChanged)
                    RedrawCells(nOldRow, nOldCol, nOldRow, nOldCol, GX_INVALIDATE);
                else
                    pOld->Refresh();
                pOld->ReleaseCell();
                if ((flags & 0x06) && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
                    m_pGridWnd->UpdateWindow();
            }
        }
        if (!bLeft) {
            // A refused commit or leave keeps the old cell current with the text it had.
            RestoreFocusAfterRefusal(hFocus, bWasActive);
            ShowWarningText(nOldRow, nOldCol);
            StoreCurrentCellPosition(nOldRow, nOldCol);
            pOld->Hide();
            if (!pOld->IsInitializedFor(nOldRow, nOldCol))
                pOld->InitForCell(nOldRow, nOldCol);
            if (bModified) {
                pOld->SetActive(TRUE);
                pOld->SetEditText(sSavedText);
                pOld->SetModified(TRUE);
            } else if (bWasActive) {
                pOld->SetActive(TRUE);
            }
            pOld->Refresh();
            m_bLockCurrentCell = bOldLock;
            return FALSE;
        }
        m_bLockCurrentCell = bOldLock;
    } else if (bHadCell) {
        ForgetCurrentCell();
    }

    if (bEnd)
        return FALSE;

    BOOL bPlaced = FALSE;
    if (ValidateCellChange(nRow, nCol, GX_VALIDATE_TARGET, nOldRow, nOldCol)) {
        bPlaced = TRUE;
        CGXControl* pNew = nullptr;
        if (m_pParam->m_bLockRedraw) {
            StoreCurrentCellPosition(nRow, nCol);
            if ((pNew = CurrentCellControl()) != nullptr)
                pNew->InitForCell(nRow, nCol);
        } else {
            if (!(flags & 0x20) && m_pGridWnd && m_pGridWnd->GetSafeHwnd() && m_pGridWnd->IsWindowVisible()) {
                const BOOL bOldTaking = m_bTakingFocus;
                m_bTakingFocus = TRUE;
                m_pGridWnd->SetFocus();
                m_bTakingFocus = bOldTaking;
            }
            StoreCurrentCellPosition(nRow, nCol);
            pNew = CurrentCellControl();
            if (pNew) {
                pNew->InitForCell(nRow, nCol);
                if (flags & 0x10)
                    pNew->SetActive(TRUE);
                pNew->Refresh();
            }
        }
        if (flags & 0x08)
            ScrollToCell(nRow, nCol, 2, TRUE);
    } else if (bHadCell) {
        StoreCurrentCellPosition(nOldRow, nOldCol);
        if (CGXControl* pBack = CurrentCellControl()) {
            pBack->InitForCell(nOldRow, nOldCol);
            pBack->Refresh();
        }
    }

    // A locked grid draws nothing: forcing its paint now would only repeat the one after the unlock.
    if ((flags & 0x06) && !m_pParam->m_bLockRedraw && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->UpdateWindow();
    if (bPlaced && nKind != -1)
        OnMovedCurrentCell(nRow, nCol, nKind, flags);

    if (bPlaced && !(flags & 0x80) && m_bSelectCurrentCell && !m_pParam->m_SelRects.IsCellInList(nRow, nCol)) {
        ClearRangeSelection(GX_INVALIDATE);
        if (nRow > HeaderRows() && nCol > HeaderCols()) {
            const CGXCellRange cell(nRow, nCol);
            SetSelection(&cell, GX_INVALIDATE);
        }
    }
    return bPlaced;
}

BOOL CGXGridCore::StoreCurrentCellEdit(BOOL bSave, UINT flags, BOOL bCreateHint)
{
    CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr;
    BOOL bResult = TRUE;
    if (pControl) {
        if (bSave) {
            if (pControl->IsActive() || pControl->IsModified())
                bResult = PlaceCurrentCell(m_nCurrentRow, m_nCurrentCol, flags);
        } else {
            if (pControl->IsActive())
                bResult = pControl->CancelEditing();
            pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
            pControl->Refresh();
            pControl->AfterCancelEditing();
        }
    }
    if (!m_bMovingCurrentCell)
        ResetCurrentCellStyle(FALSE);
    // The other views of the document store their edits too; one refusal fails the whole.
    if (bResult && bSave && bCreateHint && m_pUpdateHintImp && m_bHintsEnabled)
        bResult = m_pUpdateHintImp->SendHint(this, gxHintStoreEdit, nullptr, nullptr, 0, 0, flags);
    return bResult;
}

BOOL CGXGridCore::ReleaseCurrentCell(BOOL bCommit)
{
    CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr;
    if (!pControl)
        return TRUE;
    BOOL bResult = TRUE;
    if (bCommit && ValidateCellChange(m_nCurrentRow, m_nCurrentCol, GX_VALIDATE_LEAVE) && pControl->IsModified())
        bResult = (pControl->CommitValue() & 1) != 0;
    pControl->ReleaseCell();
    return bResult;
}

void CGXGridCore::HideCurrentCellControl()
{
    if (CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr)
        pControl->Hide();
}

void CGXGridCore::SetWarningText(LPCTSTR pszText) { m_sWarningText = pszText ? pszText : ""; }

void CGXGridCore::ShowWarningText(ROWCOL nRow, ROWCOL nCol)
{
    if (m_sWarningText.IsEmpty())
        return;
    HWND hFocus = ::GetFocus();
    RemovePendingKeys(hFocus);
    ScrollToCell(nRow, nCol, 2, TRUE);
    const CString sText = m_sWarningText;
    m_sWarningText.Empty();
    AfxMessageBox(sText, MB_OK);
    m_bWarningShown = TRUE;
    if (hFocus && ::IsWindow(hFocus))
        ::SetFocus(hFocus);
}

// ---- The control notifications: the record grids override them ----

BOOL CGXGridCore::OnValidateCell(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnStartEditing(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnModifyCell(ROWCOL, ROWCOL)
{
    SetDocumentModified(TRUE);
    return TRUE;
}
BOOL CGXGridCore::OnCancelEditing(ROWCOL, ROWCOL) { return TRUE; }
void CGXGridCore::OnCanceledEditing(ROWCOL, ROWCOL) {}
BOOL CGXGridCore::OnEndEditing(ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnLeftCell(ROWCOL, ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
BOOL CGXGridCore::OnDeleteCell(ROWCOL, ROWCOL) { return TRUE; }
void CGXGridCore::OnInitCurrentCell(ROWCOL, ROWCOL) {}
void CGXGridCore::OnChangedCurrentCell(ROWCOL, ROWCOL) {}

BOOL CGXGridCore::ScrollBy(int nDirection, int nCount) { return ScrollWithHint(nDirection, ROWCOL(nCount), GX_SMART, TRUE); }

// ---- Moving ----

BOOL CGXGridCore::FindNextEnabledCell(ROWCOL& nRow, ROWCOL& nCol, int nDirection)
{
    const ROWCOL nRows = RowCount(), nCols = ColCount();
    const ROWCOL nFirstRow = HeaderRows() + 1, nFirstCol = HeaderCols() + 1;
    ROWCOL r = nRow, c = nCol;
    if (r < nFirstRow || c < nFirstCol || r > nRows || c > nCols)
        return FALSE;
    for (;;) {
        const CGXStyle& style = GetCellStyleCached(r, c);
        const BOOL bEnabled = !style.GetIncludeEnabled() || style.GetEnabled();
        CGXCellRange covered;
        const BOOL bCovered = GetCoveredCellsRowCol(r, c, covered) && (covered.top != r || covered.left != c);
        if (bEnabled && !bCovered && RowHeight(r) > 0 && ColWidth(c) > 0) {
            nRow = r;
            nCol = c;
            return TRUE;
        }
        // Step on, jumping over a covering range to its edge.
        switch (nDirection) {
        case 1:
            if (bCovered)
                r = covered.top;
            if (r <= nFirstRow)
                return FALSE;
            --r;
            break;
        case 2:
            if (bCovered)
                c = covered.left;
            if (c <= nFirstCol)
                return FALSE;
            --c;
            break;
        case 3:
            if (bCovered)
                r = covered.bottom;
            if (r >= nRows)
                return FALSE;
            ++r;
            break;
        case 4:
            if (bCovered)
                c = covered.right;
            if (c >= nCols)
                return FALSE;
            ++c;
            break;
        default:
            return FALSE;
        }
    }
}

// One step up or left (bBack) or down or right, over hidden rows and disabled cells; the
// frozen boundary is crossed to the last frozen or the top scrolled row or column.
BOOL CGXGridCore::StepCurrentCell(BOOL bRows, BOOL bBack, ROWCOL& nRow, ROWCOL& nCol, ROWCOL& nPassed)
{
    ROWCOL& n = bRows ? nRow : nCol;
    const ROWCOL nFrozen = bRows ? FrozenRows() : FrozenCols();
    const ROWCOL nTop = bRows ? m_nTopRow : m_nLeftCol;
    const ROWCOL nFirst = (bRows ? HeaderRows() : HeaderCols()) + 1;
    const ROWCOL nLast = bRows ? RowCount() : ColCount();
    // Rows between the frozen part and the top row are scrolled out: a step passes over them.
    const BOOL bGap = nFrozen >= nFirst && nTop > nFrozen + 1;
    ROWCOL next;
    if (bBack) {
        if (n <= nFirst)
            return FALSE;
        next = n - 1;
        if (bGap && n == nTop) {
            next = nFrozen;
            nPassed += nTop - nFrozen - 1;
        }
    } else {
        if (n >= nLast)
            return FALSE;
        next = (bGap && n == nFrozen) ? nTop : n + 1;
    }
    if (next < nFirst)
        return FALSE;
    ROWCOL r = bRows ? next : nRow, c = bRows ? nCol : next;
    if (!FindNextEnabledCell(r, c, bRows ? (bBack ? 1 : 3) : (bBack ? 2 : 4)))
        return FALSE;
    nRow = r;
    nCol = c;
    return TRUE;
}

BOOL CGXGridCore::MoveCurrentCell(int nDirection, UINT nCount, BOOL bSelect)
{
    if (!m_pParam || !m_bInitDone)
        return FALSE;
    if (nCount < 2)
        nCount = 1;
    const ROWCOL nRows = RowCount(), nCols = ColCount();
    const ROWCOL nFirstRow = HeaderRows() + 1, nFirstCol = HeaderCols() + 1;
    if (nRows < nFirstRow || nCols < nFirstCol)
        return FALSE;

    ROWCOL nRow = m_nCurrentRow, nCol = m_nCurrentCol;
    if (!m_bHasCurrentCell) {
        nRow = std::clamp(m_pParam->m_bHasRememberedCell ? m_pParam->m_nRememberedRow : nFirstRow, nFirstRow, nRows);
        nCol = std::clamp(m_pParam->m_bHasRememberedCell ? m_pParam->m_nRememberedCol : nFirstCol, nFirstCol, nCols);
    }
    const ROWCOL nStartRow = nRow, nStartCol = nCol;

    CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr;
    const BOOL bOldMoving = m_bMovingCurrentCell;
    if (m_bFastMoveCurrentCell && !(pControl && pControl->IsModified()))
        m_bMovingCurrentCell = TRUE;

    ROWCOL nPassedRows = 0, nPassedCols = 0;
    BOOL bFound = FALSE;
    switch (nDirection) {
    case 1:
    case 3:
        for (UINT i = 0; i < nCount && StepCurrentCell(TRUE, nDirection == 1, nRow, nCol, nPassedRows); ++i)
            bFound = TRUE;
        break;
    case 2:
    case 4:
        for (UINT i = 0; i < nCount && StepCurrentCell(FALSE, nDirection == 2, nRow, nCol, nPassedCols); ++i)
            bFound = TRUE;
        break;
    case 5: {  // page down
        const CRect rect = GetDrawingArea();
        ROWCOL nLastVisible = std::max(m_nTopRow, LastVisibleRow());
        const ROWCOL nDist = std::max<ROWCOL>(1, nLastVisible - m_nTopRow);
        ScrollWithHint(kScrollDown, nDist, GX_SMART, TRUE);
        (void)rect;
        nRow = std::min<ROWCOL>(nRows, nRow + nDist);
        bFound = FindNextEnabledCell(nRow, nCol, 3) || FindNextEnabledCell(nRow, nCol, 1);
        break;
    }
    case 6: {  // page up
        const CRect rect = GetDrawingArea();
        const ROWCOL nFrozen = FrozenRows();
        int nHeight = rect.Height() - SumRowHeights(0, nFrozen);
        ROWCOL nUp = 0;
        for (ROWCOL r = m_nTopRow; r > nFrozen + 1 && nHeight > 0; --r) {
            nHeight -= RowHeight(r - 1);
            if (nHeight >= 0)
                ++nUp;
        }
        nUp = std::max<ROWCOL>(1, nUp);
        ScrollWithHint(kScrollUp, nUp, GX_SMART, TRUE);
        nRow = nRow > nFirstRow + nUp ? nRow - nUp : nFirstRow;
        bFound = FindNextEnabledCell(nRow, nCol, 1) || FindNextEnabledCell(nRow, nCol, 3);
        break;
    }
    case 7:
        nRow = std::max(nFirstRow, FrozenRows() + 1);
        nRow = std::min(nRow, nRows);
        bFound = FindNextEnabledCell(nRow, nCol, 3);
        break;
    case 8:
        EnsureCountComplete();
        nRow = RowCount();
        bFound = FindNextEnabledCell(nRow, nCol, 1);
        break;
    case 9:
        SetLeftCol(std::max(FrozenCols() + 1, nFirstCol), GX_SMART, TRUE);
        nCol = std::min(std::max(nFirstCol, FrozenCols() + 1), nCols);
        bFound = FindNextEnabledCell(nRow, nCol, 4);
        break;
    case 10:
        EnsureCountComplete();
        nCol = ColCount();
        bFound = FindNextEnabledCell(nRow, nCol, 2);
        break;
    case 11:
        SetLeftCol(std::max(FrozenCols() + 1, nFirstCol), GX_SMART, TRUE);
        nRow = std::min(std::max(nFirstRow, FrozenRows() + 1), nRows);
        nCol = std::min(std::max(nFirstCol, FrozenCols() + 1), nCols);
        bFound = FindNextEnabledCell(nRow, nCol, 3) || FindNextEnabledCell(nRow, nCol, 4);
        break;
    case 12:
        EnsureCountComplete();
        nRow = RowCount();
        nCol = ColCount();
        bFound = FindNextEnabledCell(nRow, nCol, 1) || FindNextEnabledCell(nRow, nCol, 2);
        break;
    default:
        break;
    }

    BOOL bPlaced = FALSE;
    if (bFound && (nRow != nStartRow || nCol != nStartCol || !m_bHasCurrentCell)) {
        UINT flags = 0x0A;
        if (bSelect && m_bSelectCurrentCell) {
            if (!m_pParam->m_SelRects.IsCellInList(nRow, nCol))
                ClearRangeSelection(GX_INVALIDATE);
        } else {
            flags |= 0x80;
        }
        bPlaced = PlaceCurrentCell(nRow, nCol, flags);
    }
    // A move that stayed in the frozen part scrolls back over what it passed.
    if (nPassedRows && IsInFrozenRows(nRow))
        ScrollWithHint(kScrollUp, nPassedRows, GX_SMART, TRUE);
    if (nPassedCols && IsInFrozenCols(nCol))
        ScrollWithHint(kScrollLeft, nPassedCols, GX_SMART, TRUE);

    m_bMovingCurrentCell = bOldMoving;
    return bPlaced;
}

BOOL CGXGridCore::MoveCurrentCellBy(int nDirection, int nCount, UINT)
{
    const UINT n = UINT(std::max(1, nCount));
    if (m_pUserSelectRangeImp)
        return m_pUserSelectRangeImp->MoveCurrentCell(this, nDirection, n, TRUE);
    return MoveCurrentCell(nDirection, n, TRUE);
}

// ---- Keys ----

BOOL CGXGridCore::ProcessKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    HWND hGrid = m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr;
    if (hGrid && ::GetCapture() == hGrid) {
        if (message == WM_KEYDOWN && wParam == VK_ESCAPE)
            m_pGridWnd->SendMessage(WM_CANCELMODE);
        return TRUE;
    }

    if (m_bHasCurrentCell && !(flags & GX_KEY_FROMCONTROL)) {
        if (CGXControl* pControl = CurrentCellControl()) {
            if (!pControl->IsInitializedFor(m_nCurrentRow, m_nCurrentCol))
                pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
            if (pControl->HandleKeyMessage(message, wParam, lParam, flags)) {
                if (m_bHasCurrentCell)
                    ScrollToCell(m_nCurrentRow, m_nCurrentCol, 2, TRUE);
                if (hGrid)
                    m_pGridWnd->UpdateWindow();
                return TRUE;
            }
        }
    }

    const UINT nRep = RepeatCount(lParam);
    const UINT nFlags = HIWORD(DWORD(lParam));
    switch (message) {
    case WM_KEYDOWN: return OnGridKeyDown(UINT(wParam), nRep, nFlags);
    case WM_KEYUP: return OnGridKeyUp(UINT(wParam), nRep, nFlags);
    case WM_CHAR: {
        CString sText;
        const UINT nChar = UINT(wParam);
        if (nChar < 32 || nChar == 127)
            return OnGridChar(nChar, nRep, nFlags);
        if (nChar > 0xFF) {
            sText = GXCodePointToUtf8(nChar);
        } else if (!GXCollectCharMessage(m_sPendingKeyChar, nChar, sText)) {
            return OnGridChar(nChar, nRep, nFlags);
        }
        return sText.IsEmpty() ? FALSE : OnGridCharText(sText, nRep, nFlags);
    }
    case WM_DEADCHAR: return OnGridDeadChar(UINT(wParam), nRep, nFlags);
    case WM_SYSKEYDOWN: return OnGridSysKeyDown(UINT(wParam), nRep, nFlags);
    case WM_SYSKEYUP: return OnGridSysKeyUp(UINT(wParam), nRep, nFlags);
    case WM_SYSCHAR: return OnGridSysChar(UINT(wParam), nRep, nFlags);
    case WM_SYSDEADCHAR: return OnGridSysDeadChar(UINT(wParam), nRep, nFlags);
    default: return FALSE;
    }
}

// The key-down table.
BOOL CGXGridCore::OnGridKeyDown(UINT nChar, UINT nRepCnt, UINT)
{
    const BOOL bCtrl = IsKeyDown(VK_CONTROL), bShift = IsKeyDown(VK_SHIFT), bAlt = IsKeyDown(VK_MENU);
    const int nCount = int(std::max<UINT>(1, nRepCnt));
    BOOL bHandled = FALSE;
    BOOL bMoved = FALSE;
    auto move = [&](int nDirection) {
        bMoved = MoveCurrentCellBy(nDirection, nCount);
        bHandled = TRUE;
    };

    switch (nChar) {
    case VK_BACK:
        if (bCtrl) {
            Redo();
            bHandled = TRUE;
        }
        break;
    case VK_TAB:
        if (StoreCurrentCellEdit(TRUE, GX_UPDATENOW, TRUE))
            bMoved = MoveCurrentCell(bShift ? 2 : 4, 1, TRUE);
        bHandled = TRUE;
        break;
    case VK_ESCAPE:
        ClearCutPending();
        if (m_bHasCurrentCell) {
            if (CGXControl* pControl = CurrentCellControl()) {
                if (pControl->CancelEditing()) {
                    pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
                    pControl->Refresh();
                    pControl->AfterCancelEditing();
                } else {
                    pControl->Refresh();
                }
            }
            ScrollToCell(m_nCurrentRow, m_nCurrentCol, 2, TRUE);
        }
        if (m_pParam && !m_pParam->m_bKeepClickSelection)
            ClearRangeSelection(GX_INVALIDATE);
        bHandled = TRUE;
        break;
    case VK_NEXT: move(5); break;
    case VK_PRIOR: move(6); break;
    case VK_END:
        if (bCtrl)
            move(12);
        break;
    case VK_HOME:
        if (bCtrl)
            move(11);
        break;
    case VK_LEFT: move(bCtrl ? 9 : 2); break;
    case VK_UP: move(bCtrl ? 7 : 1); break;
    case VK_RIGHT: move(bCtrl ? 10 : 4); break;
    case VK_DOWN: move(bCtrl ? 8 : 3); break;
    case VK_INSERT:
        if (bCtrl && CanCopy())
            Copy();
        else if (bShift && CanPaste())
            Paste();
        bHandled = bCtrl || bShift;
        break;
    case VK_DELETE:
        if (bShift) {
            if (CanCut())
                Cut();
            bHandled = TRUE;
        } else if (m_bHasCurrentCell) {
            CGXControl* pControl = CurrentCellControl();
            if (pControl && !pControl->IsActive() && m_pClearCellsImp && pControl->CanDeleteCell()) {
                Clear(bCtrl);
                bHandled = TRUE;
            }
        }
        break;
    case VK_F2:
        if (CGXControl* pControl = m_bHasCurrentCell ? CurrentCellControl() : nullptr) {
            if (!pControl->IsActive()) {
                StoreCurrentCellEdit(FALSE, GX_INVALIDATE, TRUE);
                if (!pControl->IsCellReadOnly() && pControl->StartEditing()) {
                    pControl->SetActive(TRUE);
                    pControl->Refresh();
                }
            } else {
                StoreCurrentCellEdit(TRUE, GX_INVALIDATE, TRUE);
            }
            bHandled = TRUE;
            break;
        }
        [[fallthrough]];
    case VK_RETURN:
        if (!bAlt && !bCtrl && !bShift) {
            if (StoreCurrentCellEdit(TRUE, GX_UPDATENOW, TRUE)) {
                if (const int nDir = EnterKeyDirection())
                    bMoved = MoveCurrentCell(nDir, 1, TRUE);
            }
            bHandled = TRUE;
        }
        break;
    default:
        break;
    }

    if (bMoved) {
        bHandled = TRUE;
        if (m_bKeyboardAutoScroll && !m_bKeyAutoScrollHeld) {
            m_bKeyAutoScrollHeld = TRUE;
            m_nAutoScrollKey = nChar;
            StartAutoScroll(nChar == VK_UP || nChar == VK_DOWN || nChar == VK_PRIOR || nChar == VK_NEXT,
                            nChar == VK_LEFT || nChar == VK_RIGHT, -1);
        }
    }
    if (bHandled && m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->UpdateWindow();
    return bHandled;
}

BOOL CGXGridCore::OnGridKeyUp(UINT nChar, UINT, UINT)
{
    if (m_bKeyAutoScrollHeld && nChar == m_nAutoScrollKey)
        m_bKeyAutoScrollHeld = FALSE;
    return FALSE;
}

// The character table: control characters of WM_CHAR.
BOOL CGXGridCore::OnGridChar(UINT nChar, UINT, UINT)
{
    switch (nChar) {
    case 3:
        if (CanCopy())
            Copy();
        return TRUE;
    case 22:
        if (CanPaste())
            Paste();
        return TRUE;
    case 24:
        if (CanCut())
            Cut();
        return TRUE;
    case 26: Undo(); return TRUE;
    case 18: Redo(); return TRUE;
    case 9:
    case 13:
    case 127: return TRUE;  // their key-down already acted
    default: return FALSE;
    }
}

BOOL CGXGridCore::OnGridCharText(LPCTSTR, UINT, UINT) { return FALSE; }
BOOL CGXGridCore::OnGridDeadChar(UINT, UINT, UINT) { return FALSE; }

BOOL CGXGridCore::OnGridSysKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_BACK) {
        Undo();
        return TRUE;
    }
    return FALSE;
}

BOOL CGXGridCore::OnGridSysKeyUp(UINT, UINT, UINT) { return FALSE; }
BOOL CGXGridCore::OnGridSysChar(UINT, UINT, UINT) { return FALSE; }
BOOL CGXGridCore::OnGridSysDeadChar(UINT, UINT, UINT) { return FALSE; }

// The parameter object's Enter direction (0: Enter stores and stays).
// The parameter object keeps it in the first of its two 16-bit options after the immediate
// scroll update option, archived with the rest.
int CGXGridCore::EnterKeyDirection() const { return m_pParam ? int(m_pParam->m_wOption2) : 0; }

// ---- Non-virtual current-cell members ----

CString GXCodePointToUtf8(UINT c)
{
    char buf[4];
    return CString(buf, PvEncodeUtf8(c, buf));
}

void CGXGridCore::ClearCutPending()
{
    if (!m_pParam || !m_pParam->m_bCutPending)
        return;
    m_pParam->m_bCutPending = FALSE;
    for (POSITION pos = m_pParam->m_CutRanges.GetHeadPosition(); pos;) {
        const CGXCellRange* p = m_pParam->m_CutRanges.GetNextRange(pos);
        RedrawCells(p->top, p->left, p->bottom, p->right, GX_INVALIDATE);
    }
    m_pParam->m_CutRanges.DeleteAll();
}

BOOL CGXGridCore::IsCurrentCellAt(ROWCOL nRow, ROWCOL nCol, BOOL bIgnorePrinting) const
{
    ROWCOL r = 0, c = 0;
    if (!QueryCurrentCellRef(r, c, bIgnorePrinting))
        return FALSE;
    return (nRow == GX_INVALID || nRow == r) && (nCol == GX_INVALID || nCol == c);
}

BOOL CGXGridCore::QueryCurrentCell(ROWCOL& nRow, ROWCOL& nCol) const { return QueryCurrentCellRef(nRow, nCol, FALSE); }

BOOL CGXGridCore::QueryCurrentCellRef(ROWCOL& nRow, ROWCOL& nCol, BOOL bIgnorePrinting) const
{
    nRow = m_nCurrentRow;
    nCol = m_nCurrentCol;
    if (!m_bHasCurrentCell || (m_bPrinting && !bIgnorePrinting))
        return FALSE;
    // A cell the counts no longer hold is no current cell.
    auto* self = const_cast<CGXGridCore*>(this);
    if (nRow > self->RowCount() || nCol > self->ColCount()) {
        self->m_bHasCurrentCell = FALSE;
        return FALSE;
    }
    return TRUE;
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
