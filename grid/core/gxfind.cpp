// Find and replace, and the selection operations.

#include "grid/core/gxgrid.h"
#include "platform/base/textcase.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/win.h"
#include "platform/ui/commdlg.h"

#include "grid/core/gxctrl.h"

// ---- The find-and-replace state all grids share ----

GridFindReplaceState& GridFindReplaceState::Get()
{
    // Made before the program's own code runs, emptied when the process ends.
    static GridFindReplaceState state;
    return state;
}

void GridFindReplaceState::PrepareSearchText()
{
    m_strSearch = m_strFind;
    if (!m_bCaseSensitive)
        m_strSearch = CString(PvUpperCase(std::string_view(m_strFind, size_t(m_strFind.GetLength()))).c_str());
}

void GridFindReplaceState::OnGridWindowDestroyed(HWND hGridWnd)
{
    if (!m_hDialog || !hGridWnd || m_hOwner != hGridWnd)
        return;
    HWND hDialog = m_hDialog;
    m_hDialog = nullptr;
    m_hOwner = nullptr;
    if (::IsWindow(hDialog))
        ::SendMessage(hDialog, WM_CLOSE, 0, 0);
}

void GridFindReplaceState::OnGridDestroyed(const CGXGridCore* pGrid)
{
    if (m_pTarget == pGrid)
        m_pTarget = nullptr;
}

GXFindReplaceParams GridFindReplaceState::MakeParams() const
{
    GXFindReplaceParams params;
    params.strFind = m_strSearch;
    params.strReplace = m_strReplace;
    params.bMatchCase = m_bCaseSensitive;
    params.pStyle = m_pStyle;
    return params;
}

// ---- Find and replace: the find-and-replace feature ----

void CGXGridCore::OnTextNotFound(LPCTSTR) { ::MessageBeep(0); }

void CGXGridCore::FindReplaceDialog(BOOL bFind)
{
    if (m_pFindReplaceImp)
        m_pFindReplaceImp->ShowDialog(this, bFind);
}

BOOL CGXGridCore::FindText(BOOL bSetCell) { return m_pFindReplaceImp ? m_pFindReplaceImp->FindAgain(this, bSetCell) : FALSE; }
BOOL CGXGridCore::SearchCells(ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCell)
{
    return m_pFindReplaceImp ? m_pFindReplaceImp->SearchCells(this, nRow, nCol, bSetCell) : FALSE;
}
BOOL CGXGridCore::FindAgain()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!m_pFindReplaceImp || !QueryCurrentCell(nRow, nCol))
        return FALSE;
    // A search that ran has told the user itself when it found nothing.
    m_pFindReplaceImp->FindAgain(this, TRUE);
    return TRUE;
}
LRESULT CGXGridCore::OnFindReplace(WPARAM, LPARAM lParam)
{
    if (m_pFindReplaceImp)
        if (CFindReplaceDialog* pDialog = CFindReplaceDialog::GetNotifier(lParam))
            m_pFindReplaceImp->OnFindReplaceMessage(this, pDialog);
    return 0;
}

// ---- Selection: the user-select feature changes it, the core answers about it ----

BOOL CGXGridCore::GetSelectedRanges(CGXRangeList& list, BOOL bIncludeCurrentCell)
{
    return CopySelectionRanges(list, bIncludeCurrentCell);
}

void CGXGridCore::SetSelection(const CGXCellRange* pRange, UINT flags)
{
    if (m_pUserSelectRangeImp) {
        m_pUserSelectRangeImp->SetSelection(this, pRange, flags != GX_NOREDRAW);
        return;
    }
    // Without the feature the core keeps the list itself, so key moves and queries still work.
    if (!m_pParam)
        return;
    auto redraw = [&] {
        if (flags == GX_NOREDRAW)
            return;
        for (POSITION pos = m_pParam->m_SelRects.GetHeadPosition(); pos;) {
            const CGXCellRange* p = m_pParam->m_SelRects.GetNextRange(pos);
            RedrawCells(p->top, p->left, p->bottom, p->right, flags);
        }
    };
    redraw();
    m_pParam->m_SelRects.DeleteAll();
    if (pRange && pRange->IsValid() && CanSelectRange(*pRange, flags)) {
        m_pParam->m_SelRects.AddRange(*pRange);
        redraw();
    }
}

void CGXGridCore::ClearRangeSelection(UINT flags)
{
    if (m_pUserSelectRangeImp)
        m_pUserSelectRangeImp->ClearSelection(this, flags != GX_NOREDRAW);
    else
        SetSelection(nullptr, flags);
}

BOOL CGXGridCore::CopySelectionRanges(CGXRangeList& list, BOOL bUseCurrentCell)
{
    list.DeleteAll();
    if (!m_pParam)
        return FALSE;
    for (POSITION pos = m_pParam->m_SelRects.GetHeadPosition(); pos;)
        list.AddRange(*m_pParam->m_SelRects.GetNextRange(pos));
    ROWCOL nRow = 0, nCol = 0;
    if (list.IsEmpty() && bUseCurrentCell && QueryCurrentCell(nRow, nCol))
        list.AddRange(CGXCellRange(nRow, nCol));
    return !list.IsEmpty();
}

BOOL CGXGridCore::SelectedIntervals(BOOL bRows, CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole,
                                    BOOL bUseCurrentCell)
{
    firsts.RemoveAll();
    lasts.RemoveAll();
    if (!m_pParam)
        return FALSE;
    const BOOL bFound = bRows ? m_pParam->m_SelRects.GetRowIntervals(RowCount(), firsts, lasts, bOnlyWhole)
                              : m_pParam->m_SelRects.GetColIntervals(ColCount(), firsts, lasts, bOnlyWhole);
    if (bFound && firsts.GetSize() > 0)
        return TRUE;
    firsts.RemoveAll();
    lasts.RemoveAll();
    ROWCOL nRow = 0, nCol = 0;
    if (!bUseCurrentCell || !QueryCurrentCell(nRow, nCol))
        return FALSE;
    firsts.Add(bRows ? nRow : nCol);
    lasts.Add(bRows ? nRow : nCol);
    return TRUE;
}

BOOL CGXGridCore::SelectedRowIntervals(CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole, BOOL bUseCurrentCell)
{
    return SelectedIntervals(TRUE, firsts, lasts, bOnlyWhole, bUseCurrentCell);
}

BOOL CGXGridCore::SelectedColIntervals(CDWordArray& firsts, CDWordArray& lasts, BOOL bOnlyWhole, BOOL bUseCurrentCell)
{
    return SelectedIntervals(FALSE, firsts, lasts, bOnlyWhole, bUseCurrentCell);
}

ROWCOL CGXGridCore::CollectSelected(BOOL bRows, CDWordArray& numbers, BOOL bOnlyWhole, BOOL bUseCurrentCell)
{
    numbers.RemoveAll();
    CDWordArray firsts, lasts;
    if (!(bRows ? SelectedRowIntervals(firsts, lasts, bOnlyWhole, bUseCurrentCell)
                : SelectedColIntervals(firsts, lasts, bOnlyWhole, bUseCurrentCell)))
        return 0;
    for (INT_PTR i = 0; i < firsts.GetSize() && i < lasts.GetSize(); ++i)
        for (DWORD n = firsts[i]; n <= lasts[i]; ++n) {
            numbers.Add(n);
            if (n == lasts[i])
                break;
        }
    return ROWCOL(numbers.GetSize());
}

ROWCOL CGXGridCore::CollectSelectedRows(CDWordArray& rows, BOOL bOnlyWhole, BOOL bUseCurrentCell)
{
    return CollectSelected(TRUE, rows, bOnlyWhole, bUseCurrentCell);
}

ROWCOL CGXGridCore::CollectSelectedCols(CDWordArray& cols, BOOL bOnlyWhole, BOOL bUseCurrentCell)
{
    return CollectSelected(FALSE, cols, bOnlyWhole, bUseCurrentCell);
}

BOOL CGXGridCore::OnStartSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return m_pUserSelectRangeImp ? m_pUserSelectRangeImp->OnStartSelection(this, nRow, nCol, flags, point) : FALSE;
}
BOOL CGXGridCore::OnMoveSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return m_pUserSelectRangeImp ? m_pUserSelectRangeImp->OnMoveSelection(this, nRow, nCol, flags, point) : FALSE;
}
BOOL CGXGridCore::OnEndSelection(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return m_pUserSelectRangeImp ? m_pUserSelectRangeImp->OnEndSelection(this, nRow, nCol, flags, point) : FALSE;
}
BOOL CGXGridCore::LockExcelLikeFrame(BOOL bHide)
{
    return m_pExcelLikeFrameImp ? m_pExcelLikeFrameImp->LockFrame(this, bHide) : FALSE;
}
void CGXGridCore::UpdateExcelLikeFrame(const CGXCellRange& range, UINT flags)
{
    if (m_pExcelLikeFrameImp)
        m_pExcelLikeFrameImp->UpdateFrame(this, range, flags);
}
void CGXGridCore::DrawExcelLikeFrame(CDC* pDC)
{
    if (m_pExcelLikeFrameImp)
        m_pExcelLikeFrameImp->DrawFrame(this, pDC);
}
// The selection hook sees the range; a grid that overrides it may refuse.
BOOL CGXGridCore::CanSelectRange(const CGXCellRange&, UINT) { return TRUE; }
BOOL CGXGridCore::OnStartFill(ROWCOL nRow, ROWCOL nCol)
{
    return m_pExcelLikeFillImp ? m_pExcelLikeFillImp->StartFill(this, 0, CPoint(), nRow, nCol) : FALSE;
}
void CGXGridCore::HideFillHandle()
{
    if (m_pExcelLikeFillImp)
        m_pExcelLikeFillImp->HideFillHandle(this);
}
