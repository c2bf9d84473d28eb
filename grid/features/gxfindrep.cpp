// Find and replace along the current column.

#include "grid/features/gxfindrep.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "grid/core/gxctrl.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "platform/base/exceptions.h"
#include "platform/ui/commdlg.h"
#include "platform/win/win.h"

namespace {

// Where the current cell goes when the dialog opens on a grid without one.
constexpr UINT kPlaceOnOpen = 42;
// How a found cell becomes current.
constexpr UINT kPlaceFound = 10;

GridFindReplaceState& State() { return GridFindReplaceState::Get(); }
const CString& LibraryText(int nText) { return GXGetLibraryState().m_astrTexts[nText]; }

// Progress over a walk down or up the column: one hundred per row over the rows to search.
class ColumnWalk {
public:
    ColumnWalk(LPCTSTR pszText)
    {
        m_op.SetStatusText(pszText);
        CGXLongOperation::ClaimPercent();
    }
    ~ColumnWalk() { CGXLongOperation::ReleasePercent(); }
    ColumnWalk(const ColumnWalk&) = delete;
    ColumnWalk& operator=(const ColumnWalk&) = delete;

    // True when the user asked to cancel.
    bool Step(ROWCOL nRowsToSearch)
    {
        m_nTotal += 100;
        CGXLongOperation::SetPercentDone(int(std::min<unsigned long long>(100, m_nTotal / (nRowsToSearch + 1ULL))));
        BOOL bAbort = FALSE;
        m_op.ProcessMessagesQueryAbort(bAbort);
        return bAbort != FALSE;
    }

private:
    CGXLongOperation m_op;
    unsigned long long m_nTotal = 0;
};

// A scratch style of the grid's pool for the cell being searched; the shared state points at it
// only while it lives.
class SearchedStyle {
public:
    explicit SearchedStyle(CGXGridCore* pGrid) : m_pGrid(pGrid), m_pStyle(pGrid->NewScratchStyle()) {}
    ~SearchedStyle()
    {
        if (State().m_pStyle == m_pStyle)
            State().m_pStyle = nullptr;
        m_pGrid->RecycleStyle(m_pStyle);
    }
    SearchedStyle(const SearchedStyle&) = delete;
    SearchedStyle& operator=(const SearchedStyle&) = delete;

    // Composes the cell's style and answers the control registered for it.
    CGXControl* Compose(ROWCOL nRow, ROWCOL nCol, GXFindReplaceParams& params)
    {
        m_pGrid->ComposeCellStyle(nRow, nCol, *m_pStyle, TRUE);
        State().m_pStyle = m_pStyle;
        params.pStyle = m_pStyle;
        return m_pGrid->GetRegisteredControl(m_pStyle->GetIncludeControl() ? m_pStyle->GetControl() : WORD(0));
    }

private:
    CGXGridCore* m_pGrid;
    CGXStyle* m_pStyle;
};

BOOL HasCells(CGXGridCore* pGrid) { return pGrid->RowCount() > 0 && pGrid->ColCount() > 0; }

void StoreSearch(LPCTSTR pszFind, BOOL bMatchCase)
{
    State().m_strFind = pszFind ? pszFind : "";
    State().m_bCaseSensitive = bMatchCase;
    State().PrepareSearchText();
}

// The cell's display text through its control, with the searched style or the composed one.
CString CellDisplayText(CGXControl* pControl, const GXFindReplaceParams& params, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridCore* pGrid = pControl->GetGrid();
    CString sText;
    if (params.pStyle) {
        pControl->GetDisplayText(sText, nRow, nCol, nullptr, *params.pStyle);
        return sText;
    }
    CGXStyle* pStyle = pGrid->NewScratchStyle();
    pGrid->ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
    pControl->GetDisplayText(sText, nRow, nCol, nullptr, *pStyle);
    pGrid->RecycleStyle(pStyle);
    return sText;
}

}  // namespace

BOOL GXReplaceOccurrences(const CString& sText, const GXFindReplaceParams& params, CString& sResult)
{
    const CString& sFind = params.strFind;
    if (sFind.IsEmpty())
        return FALSE;
    CString sCompare = sText;
    if (!params.bMatchCase)
        sCompare.MakeUpper();
    // Upper casing keeps every byte length: an offset in the copy is one in the text.
    assert(sCompare.GetLength() == sText.GetLength());
    std::string out;
    int nFrom = 0, nCount = 0;
    for (int i; (i = sCompare.Find(sFind, nFrom)) >= 0; ++nCount) {
        out.append(LPCTSTR(sText) + nFrom, size_t(i - nFrom));
        out.append(LPCTSTR(params.strReplace), size_t(params.strReplace.GetLength()));
        nFrom = i + sFind.GetLength();
    }
    if (!nCount)
        return FALSE;
    out.append(LPCTSTR(sText) + nFrom, size_t(sText.GetLength() - nFrom));
    sResult = CString(out.data(), int(out.size()));
    return TRUE;
}

void CGXGridFindReplaceImp::ShowDialog(CGXGridCore* pGrid, BOOL bFindOnly)
{
    if (!HasCells(pGrid))
        return;
    GridFindReplaceState& st = State();
    st.m_pTarget = pGrid;
    ROWCOL nRow = 0, nCol = 0;
    if (pGrid->QueryCurrentCell(nRow, nCol))
        pGrid->ScrollToCell(nRow, nCol);
    else
        pGrid->PlaceCurrentCell(std::min(pGrid->FrozenRows() + 1, pGrid->RowCount()),
                                std::min(pGrid->FrozenCols() + 1, pGrid->ColCount()), kPlaceOnOpen);
    CString sFind;
    pGrid->CurrentCellText(sFind);
    if (sFind.IsEmpty())
        sFind = st.m_strFind;

    if (st.m_hDialog && !::IsWindow(st.m_hDialog))
        st.m_hDialog = nullptr;
    if (st.m_hDialog) {
        if (st.m_bFindOnly == bFindOnly) {
            ::ShowWindow(st.m_hDialog, SW_SHOW);
            ::SetActiveWindow(st.m_hDialog);
            return;
        }
        // Its termination notice forgets it.
        ::SendMessage(st.m_hDialog, WM_CLOSE, 0, 0);
        st.m_hDialog = nullptr;
    }
    CWnd* pOwner = pGrid->GetGridWnd();
    st.m_hOwner = pOwner ? pOwner->GetSafeHwnd() : nullptr;
    const DWORD flags = FR_HIDEWHOLEWORD | (st.m_bSearchDown ? FR_DOWN : 0) | (st.m_bCaseSensitive ? FR_MATCHCASE : 0);
    auto* pDialog = new CFindReplaceDialog;
    if (!pDialog->Create(bFindOnly, sFind, st.m_strReplace, flags, pOwner)) {
        // A dialog whose window never came has nobody else to delete it.
        if (!pDialog->GetSafeHwnd())
            delete pDialog;
        st.m_hOwner = nullptr;
        return;
    }
    st.m_hDialog = pDialog->GetSafeHwnd();
    st.m_bFindOnly = bFindOnly;
}

void CGXGridFindReplaceImp::OnFindReplaceMessage(CGXGridCore* pGrid, CFindReplaceDialog* pDialog)
{
    GridFindReplaceState& st = State();
    if (!pDialog)
        return;
    if (st.m_pTarget && st.m_pTarget != pGrid) {
        if (CGXAbstractGridFindReplaceImp* pImp = st.m_pTarget->m_pFindReplaceImp)
            pImp->OnFindReplaceMessage(st.m_pTarget, pDialog);
        return;
    }
    if (pDialog->IsTerminating()) {
        if (st.m_hDialog == pDialog->GetSafeHwnd()) {
            st.m_hDialog = nullptr;
            st.m_hOwner = nullptr;
        }
        return;
    }
    if (pDialog->FindNext()) {
        FindNext(pGrid, pDialog->GetFindString(), pDialog->SearchDown(), pDialog->MatchCase());
    } else if (pDialog->ReplaceCurrent()) {
        Replace(pGrid, pDialog->GetFindString(), pDialog->GetReplaceString(), pDialog->SearchDown(),
                pDialog->MatchCase());
    } else if (pDialog->ReplaceAll()) {
        st.m_bTransaction = TRUE;
        ReplaceAll(pGrid, pDialog->GetFindString(), pDialog->GetReplaceString(), pDialog->MatchCase());
    }
}

BOOL CGXGridFindReplaceImp::FindNext(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bMatchCase)
{
    if (!HasCells(pGrid))
        return FALSE;
    State().m_bSearchDown = bDown;
    StoreSearch(pszFind, bMatchCase);
    return FindAgain(pGrid, TRUE);
}

BOOL CGXGridFindReplaceImp::FindAgain(CGXGridCore* pGrid, BOOL bSetCurrent)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!pGrid->QueryCurrentCell(nRow, nCol))
        return FALSE;
    CGXLongOperation op;
    pGrid->m_nFindStartRow = nRow;
    BOOL bFound = FALSE;
    // An empty search text would match every cell: it finds nothing.
    if (!State().m_strSearch.IsEmpty()) {
        GXFindReplaceParams params = State().MakeParams();
        params.pStyle = nullptr;
        CGXControl* pControl = pGrid->CurrentCellControl();
        bFound = pControl && pControl->FindInCell(&params, nRow, nCol, FALSE, bSetCurrent);
        if (!bFound)
            bFound = SearchCells(pGrid, nRow, nCol, bSetCurrent);
    }
    if (!bFound && bSetCurrent)
        pGrid->OnTextNotFound(State().m_strFind);
    return bFound;
}

BOOL CGXGridFindReplaceImp::SearchCells(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCurrent)
{
    const BOOL bDown = State().m_bSearchDown;
    const ROWCOL nStart = nRow;
    ROWCOL nAt = bDown ? nRow + 1 : nRow - 1;
    pGrid->m_bFindCanceled = FALSE;
    ColumnWalk walk(LibraryText(gxTextSearching));
    GXFindReplaceParams params = State().MakeParams();
    SearchedStyle style(pGrid);
    ROWCOL nCount = pGrid->RowCount();
    if (bDown)
        pGrid->PrepareRows(nAt);
    while (nAt != 0 && nAt <= nCount) {
        if (walk.Step(bDown ? nCount - std::min(nStart, nCount) : nStart)) {
            pGrid->m_bFindCanceled = TRUE;
            return FALSE;
        }
        CGXControl* pControl = style.Compose(nAt, nCol, params);
        if (pControl && pControl->FindInCell(&params, nAt, nCol, FALSE, bSetCurrent)) {
            nRow = nAt;
            return TRUE;
        }
        nAt = bDown ? nAt + 1 : nAt - 1;
        if (bDown) {
            pGrid->PrepareRows(nAt);
            nCount = pGrid->RowCount();
        }
    }
    return FALSE;
}

BOOL CGXGridFindReplaceImp::FindInCellText(CGXControl* pControl, const GXFindReplaceParams& params, ROWCOL nRow,
                                           ROWCOL nCol, BOOL bIncludeCurrent, BOOL bSetCurrent)
{
    CGXGridCore* pGrid = pControl->GetGrid();
    if (params.strFind.IsEmpty() || (!bIncludeCurrent && pGrid->IsCurrentCellAt(nRow, nCol)))
        return FALSE;
    CString sText = CellDisplayText(pControl, params, nRow, nCol);
    if (!params.bMatchCase)
        sText.MakeUpper();
    if (sText.Find(params.strFind) < 0)
        return FALSE;
    if (bSetCurrent)
        pGrid->PlaceCurrentCell(nRow, nCol, kPlaceFound);
    return TRUE;
}

BOOL CGXGridFindReplaceImp::ReplaceInCellText(CGXControl* pControl, const GXFindReplaceParams& params, ROWCOL nRow,
                                              ROWCOL nCol)
{
    CString sResult;
    if (!GXReplaceOccurrences(CellDisplayText(pControl, params, nRow, nCol), params, sResult))
        return FALSE;
    pControl->GetGrid()->StoreValueText(nRow, nCol, sResult, GX_UPDATENOW, params.pStyle);
    return TRUE;
}

BOOL CGXGridFindReplaceImp::Replace(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bDown,
                                    BOOL bMatchCase)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!HasCells(pGrid) || !pGrid->QueryCurrentCell(nRow, nCol))
        return FALSE;
    GridFindReplaceState& st = State();
    st.m_strReplace = pszReplace ? pszReplace : "";
    st.m_bSearchDown = bDown;
    StoreSearch(pszFind, bMatchCase);
    CGXLongOperation op;
    BOOL bFound = FALSE;
    if (!st.m_strSearch.IsEmpty()) {
        GXFindReplaceParams params = st.MakeParams();
        params.pStyle = nullptr;
        CGXControl* pControl = pGrid->CurrentCellControl();
        if (pControl && pControl->FindInCell(&params, nRow, nCol, TRUE, TRUE)) {
            // A control without a text selection would take the replacement as its whole value.
            if (pControl->IsActive())
                pControl->ReplaceSelection(st.m_strReplace);
            else
                pControl->ReplaceInCell(&params, nRow, nCol);
            pControl = pGrid->CurrentCellControl();
            bFound = pControl && pControl->IsActive() && pControl->FindInCell(&params, nRow, nCol, FALSE, TRUE);
        }
        if (!bFound)
            bFound = SearchCells(pGrid, nRow, nCol, TRUE);
    }
    if (!bFound)
        pGrid->OnTextNotFound(st.m_strFind);
    return bFound;
}

BOOL CGXGridFindReplaceImp::ReplaceAll(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bMatchCase)
{
    GridFindReplaceState& st = State();
    // The dialog asks for one undo step per Replace All; a direct call runs without.
    const BOOL bTransaction = st.m_bTransaction;
    st.m_bTransaction = FALSE;
    ROWCOL nRow = 0, nCol = 0;
    if (!HasCells(pGrid) || !pGrid->QueryCurrentCell(nRow, nCol))
        return FALSE;
    st.m_strReplace = pszReplace ? pszReplace : "";
    st.m_bSearchDown = TRUE;
    StoreSearch(pszFind, bMatchCase);

    CGXLongOperation op;
    BOOL bCancelled = FALSE, bReplaced = FALSE;
    {
        ColumnWalk walk(LibraryText(gxTextReplacing));
        CGXLongOperation::SetRollbackPossible(TRUE);
        if (bTransaction)
            pGrid->BeginTransaction(LibraryText(gxTextReplaceAll));
        try {
            GXFindReplaceParams params = st.MakeParams();
            SearchedStyle style(pGrid);
            const ROWCOL nStart = nRow;
            ROWCOL nCount = pGrid->RowCount();
            for (ROWCOL nAt = nStart; !st.m_strSearch.IsEmpty() && nAt != 0 && nAt <= nCount;) {
                if (walk.Step(nCount - std::min(nStart, nCount))) {
                    bCancelled = TRUE;
                    break;
                }
                CGXControl* pControl = style.Compose(nAt, nCol, params);
                if (pControl && pControl->ReplaceInCell(&params, nAt, nCol))
                    bReplaced = TRUE;
                ++nAt;
                pGrid->PrepareRows(nAt);
                nCount = pGrid->RowCount();
            }
        } catch (...) {
            // A failed store must not leave the undo list inside an open transaction.
            if (bTransaction)
                pGrid->Rollback();
            throw;
        }
    }
    if (bCancelled && !bTransaction)
        throw CUserException();
    const BOOL bRollback = bCancelled && CGXLongOperation::GetRollbackConfirmed();
    if (bRollback) {
        pGrid->Rollback();
    } else {
        if (!bReplaced)
            pGrid->OnTextNotFound(st.m_strFind);
        if (bTransaction)
            pGrid->CommitTransaction();
    }
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
    return bReplaced && !bRollback;
}

void CGXGridCore::InstallFindReplaceImp()
{
    if (m_pFindReplaceImp)
        return;
    auto* p = new CGXGridFindReplaceImp;
    m_pFindReplaceImp = p;
    AddImpToDeleteList(p);
}
