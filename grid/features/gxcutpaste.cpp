#include "grid/features/gxcutpaste.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "grid/features/gxcmd.h"
#include "platform/base/CArchive.h"
#include "platform/base/exceptions.h"
#include "platform/sys/sharedfile.h"
#include "platform/win/win.h"

namespace {

constexpr DWORD kHeaderRowsToo = 0x0001;
constexpr DWORD kHeaderColsToo = 0x0002;
constexpr DWORD kText = 0x0008;
constexpr DWORD kStyles = 0x0010;
constexpr DWORD kAskSizeMismatch = 0x0100;
constexpr UINT GX_IDS_RANGE_TOO_BIG = 20149;
constexpr UINT GX_IDS_MULTI_AREA = 20153;
constexpr UINT GX_IDS_CLIPBOARD_SIZE = 20175;
constexpr DWORD kTokenMagic = 0x50564443;  // "CDVP"

HWND GridHwnd(CGXGridCore* pGrid)
{
    CWnd* pWnd = pGrid->GetGridWnd();
    return pWnd ? pWnd->GetSafeHwnd() : nullptr;
}

// Empties the clipboard for the grid's own path; false when it is held or cannot be emptied.
BOOL EmptyForGrid(CGXGridCore* pGrid)
{
    if (::GetOpenClipboardWindow())
        return FALSE;
    if (!::OpenClipboard(GridHwnd(pGrid)))
        return FALSE;
    const BOOL bEmptied = ::EmptyClipboard();
    ::CloseClipboard();
    return bEmptied;
}

// Hands a block to the clipboard; frees it when the clipboard does not take it.
BOOL PutOnClipboard(CGXGridCore* pGrid, UINT nFormat, HGLOBAL h)
{
    if (!h)
        return FALSE;
    BOOL bOk = FALSE;
    if (::OpenClipboard(GridHwnd(pGrid))) {
        bOk = ::SetClipboardData(nFormat, h) != nullptr;
        ::CloseClipboard();
    }
    if (!bOk)
        GlobalFree(h);
    return bOk;
}

// The list with every range a plain cell range: missing bounds start after the headers (or at 0
// with the header options) and end at the counts.
void ExpandList(CGXGridCore* pGrid, const CGXRangeList& in, CGXRangeList& out, BOOL bClear)
{
    const DWORD nOpt = pGrid->m_nClipboardFlags;
    const ROWCOL nTop = (!bClear && (nOpt & kHeaderRowsToo)) ? 0 : pGrid->HeaderRows() + 1;
    const ROWCOL nLeft = (!bClear && (nOpt & kHeaderColsToo)) ? 0 : pGrid->HeaderCols() + 1;
    out.DeleteAll();
    for (POSITION pos = in.GetHeadPosition(); pos;) {
        CGXCellRange r = *in.GetNextRange(pos);
        if (!r.IsValid())
            continue;
        r.ExpandToCells(nTop, nLeft, pGrid->RowCount(), pGrid->ColCount());
        if (bClear) {
            r.top = std::max(r.top, nTop);
            r.left = std::max(r.left, nLeft);
            if (r.top > r.bottom || r.left > r.right)
                continue;
        }
        out.AddRange(r);
    }
}

void CopyList(const CGXRangeList& in, CGXRangeList& out)
{
    out.DeleteAll();
    for (POSITION pos = in.GetHeadPosition(); pos;)
        out.AddRange(*in.GetNextRange(pos));
}

// The current cell's control when it is to be asked: no selection, or the control is active.
CGXControl* ControlToAsk(CGXGridCore* pGrid)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!pGrid->QueryCurrentCell(nRow, nCol))
        return nullptr;
    CGXControl* pControl = pGrid->CurrentCellControl();
    if (!pControl)
        return nullptr;
    if (!pGrid->GetParam()->m_SelRects.IsEmpty() && !pControl->IsActive())
        return nullptr;
    if (!pControl->IsInitializedFor(nRow, nCol))
        pControl->InitForCell(nRow, nCol);
    return pControl;
}

std::atomic<unsigned long long> g_nNextSerial {1};

}  // namespace

UINT GXDirectCopyFormat()
{
    static UINT s_nFormat = 0xFFFF;
    if (s_nFormat == 0xFFFF)
        s_nFormat = ::RegisterClipboardFormat("GX_DIRECTCOPY");
    return s_nFormat;
}

GXDirectCopyToken GXDirectCopyTokenOf(CGXGridParam* pParam)
{
    if (pParam->m_nDirectCopySerial == 0)
        pParam->m_nDirectCopySerial = g_nNextSerial++;
    return GXDirectCopyToken {kTokenMagic, DWORD(::getpid()), pParam->m_nDirectCopySerial};
}

// ---- Copy ----

BOOL CGXGridCutPasteImpl::CanCopy(CGXGridCore* pGrid)
{
    if (::GetOpenClipboardWindow() || !pGrid->GetParam())
        return FALSE;
    if (!pGrid->GetParam()->m_SelRects.IsEmpty())
        return TRUE;
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = pGrid->QueryCurrentCell(nRow, nCol) ? pGrid->CurrentCellControl() : nullptr;
    return pControl && pControl->CanCopy();
}

BOOL CGXGridCutPasteImpl::Copy(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || ::GetOpenClipboardWindow())
        return FALSE;
    BOOL bResult = FALSE;
    BOOL bDone = FALSE;
    if (CGXControl* pControl = ControlToAsk(pGrid)) {
        // An inactive control copies its cell through the grid: that cell is the source then.
        if (!pControl->IsActive()) {
            pParam->m_CutRanges.DeleteAll();
            pParam->m_CutRanges.AddRange(CGXCellRange(pGrid->m_nCurrentRow, pGrid->m_nCurrentCol));
        }
        bDone = bResult = pControl->CopyText();
    }
    if (!bDone) {
        CGXRangeList sel;
        pGrid->CopySelectionRanges(sel, TRUE);
        CopyList(sel, pParam->m_CutRanges);
        CGXLongOperation theOp;
        CGXRangeList expanded;
        ExpandList(pGrid, pParam->m_CutRanges, expanded, FALSE);
        bResult = !expanded.IsEmpty() && pGrid->CopyRange(expanded);
        if (expanded.IsEmpty())
            EmptyForGrid(pGrid);
    }
    if (pParam->m_bCutPending) {
        pParam->m_bCutPending = FALSE;
        pGrid->Redraw(GX_INVALIDATE);
    }
    return bResult;
}

BOOL CGXGridCutPasteImpl::CopyRanges(CGXGridCore* pGrid, const CGXRangeList& list)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !EmptyForGrid(pGrid))
        return FALSE;
    const DWORD nOpt = pGrid->m_nClipboardFlags;
    BOOL bResult = FALSE;
    if (nOpt & kText)
        bResult = pGrid->CopyRangesAsText(list);
    if (nOpt & kStyles)
        bResult |= pGrid->CopyRangesAsStyles(list);
    if (pParam->m_bDirectCopyPaste || pParam->m_bDirectCutPaste) {
        const GXDirectCopyToken token = GXDirectCopyTokenOf(pParam);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, sizeof token);
        if (void* p = h ? GlobalLock(h) : nullptr) {
            std::memcpy(p, &token, sizeof token);
            GlobalUnlock(h);
        }
        PutOnClipboard(pGrid, GXDirectCopyFormat(), h);
    }
    return bResult;
}

BOOL CGXGridCutPasteImpl::CopyRangesAsText(CGXGridCore* pGrid, const CGXRangeList& list)
{
    try {
        CSharedFile file;
        if (!pGrid->CopyTextToFile(file, list))
            return FALSE;
        file.Write("", 1);
        return PutOnClipboard(pGrid, CF_TEXT, file.Detach());
    } catch (const CException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

BOOL CGXGridCutPasteImpl::CopyRangesAsStyles(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bComposed)
{
    const UINT nFormat = GXGetLibraryState().m_nStylesClipboardFormat;
    if (!nFormat)
        return FALSE;
    try {
        CSharedFile file;
        BOOL bOk = FALSE;
        {
            CArchive ar(&file, CArchive::store);
            bOk = pGrid->CopyStylesToArchive(ar, list, bComposed);
            ar.Close();
        }
        if (!bOk)
            return FALSE;
        return PutOnClipboard(pGrid, nFormat, file.Detach());
    } catch (const CException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

// ---- Cut ----

BOOL CGXGridCutPasteImpl::CanCut(CGXGridCore* pGrid)
{
    if (::GetOpenClipboardWindow() || !pGrid->GetParam() || pGrid->IsReadOnly())
        return FALSE;
    if (!pGrid->GetParam()->m_SelRects.IsEmpty())
        return TRUE;
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = pGrid->QueryCurrentCell(nRow, nCol) ? pGrid->CurrentCellControl() : nullptr;
    return pControl && pControl->CanCut();
}

BOOL CGXGridCutPasteImpl::Cut(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || ::GetOpenClipboardWindow())
        return FALSE;
    if (!pParam->m_bDirectCutPaste) {
        if (CGXControl* pControl = ControlToAsk(pGrid)) {
            if (!pControl->IsActive()) {
                pParam->m_CutRanges.DeleteAll();
                pParam->m_CutRanges.AddRange(CGXCellRange(pGrid->m_nCurrentRow, pGrid->m_nCurrentCol));
            }
            if (pControl->CutText())
                return TRUE;
        }
    } else if (CGXControl* pControl = ControlToAsk(pGrid); pControl && pControl->IsActive()) {
        if (pControl->CutText())
            return TRUE;
    }
    if (pParam->m_bDirectCutPaste) {
        // The cells stay until the paste moves them; they show hatched meanwhile.
        pGrid->Copy();
        pParam->m_bCutPending = TRUE;
        pGrid->Redraw(GX_INVALIDATE);
        return TRUE;
    }
    CGXRangeList sel, expanded;
    pGrid->CopySelectionRanges(sel, TRUE);
    CopyList(sel, pParam->m_CutRanges);
    ExpandList(pGrid, pParam->m_CutRanges, expanded, FALSE);
    if (expanded.IsEmpty())
        return FALSE;
    return pGrid->CutRange(expanded, (pGrid->m_nClipboardFlags & kStyles) != 0);
}

BOOL CGXGridCutPasteImpl::CutRanges(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bRemoveStyles)
{
    if (pGrid->IsReadOnly())
        return FALSE;
    pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[gxTextCutData]);
    const BOOL bCopied = pGrid->CopyRange(list);
    const BOOL bCleared = bCopied && pGrid->ClearCells(list, bRemoveStyles);
    if (bCopied && bCleared) {
        pGrid->CommitTransaction();
        return TRUE;
    }
    pGrid->Rollback();
    return FALSE;
}

// ---- Paste ----

BOOL CGXGridCutPasteImpl::CanPaste(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || (pGrid->IsReadOnly() && pParam->m_bLockReadOnly))
        return FALSE;
    if (!pParam->m_CutRanges.IsEmpty()
        && ((pParam->m_bDirectCutPaste && pParam->m_bCutPending) || (pParam->m_bDirectCopyPaste && !pParam->m_bCutPending)))
        return TRUE;
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = pGrid->QueryCurrentCell(nRow, nCol) ? pGrid->CurrentCellControl() : nullptr;
    if (pControl && pControl->CanPaste())
        return TRUE;
    return pGrid->IsClipboardDataAvailable();
}

BOOL CGXGridCutPasteImpl::IsClipboardDataAvailable(CGXGridCore*)
{
    const UINT nFormat = GXGetLibraryState().m_nStylesClipboardFormat;
    return ::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_OEMTEXT)
           || (nFormat && ::IsClipboardFormatAvailable(nFormat));
}

BOOL CGXGridCutPasteImpl::Paste(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !pGrid->CanPaste())
        return FALSE;
    CGXRangeList sel;
    pGrid->CopySelectionRanges(sel, TRUE);
    ROWCOL nRow = 0, nCol = 0;
    if (CGXControl* pControl = pGrid->QueryCurrentCell(nRow, nCol) ? pGrid->CurrentCellControl() : nullptr)
        if (pControl->CanPaste() && pControl->PasteText())
            return TRUE;
    if (sel.GetCount() >= 2) {
        GXRegisterLibraryStrings();
        AfxMessageBox(GX_IDS_MULTI_AREA, MB_OK);
        return FALSE;
    }
    if (sel.IsEmpty())
        return FALSE;
    CGXRangeList one, expanded;
    one.AddRange(*sel.GetRange(sel.GetHeadPosition()));
    ExpandList(pGrid, one, expanded, FALSE);
    if (expanded.IsEmpty())
        return FALSE;
    const CGXCellRange target = *expanded.GetRange(expanded.GetHeadPosition());

    if (!pParam->m_CutRanges.IsEmpty()) {
        if (pParam->m_bDirectCutPaste && pParam->m_bCutPending)
            return pGrid->PasteDirect(target);
        if (pParam->m_bDirectCopyPaste && !pParam->m_bCutPending) {
            BOOL bOwn = FALSE;
            if (::OpenClipboard(GridHwnd(pGrid))) {
                if (HGLOBAL h = ::GetClipboardData(GXDirectCopyFormat()); h && GlobalSize(h) == sizeof(GXDirectCopyToken)) {
                    if (const void* p = GlobalLock(h)) {
                        GXDirectCopyToken token {};
                        std::memcpy(&token, p, sizeof token);
                        GlobalUnlock(h);
                        const GXDirectCopyToken mine = GXDirectCopyTokenOf(pParam);
                        bOwn = token.nMagic == mine.nMagic && token.nProcessId == mine.nProcessId
                               && token.nSerial == mine.nSerial;
                    }
                }
                ::CloseClipboard();
            }
            if (bOwn)
                return pGrid->PasteDirect(target);
        }
    }
    if (!::OpenClipboard(GridHwnd(pGrid)))
        return FALSE;
    const BOOL bResult = pGrid->PasteFromClipboard(target);
    ::CloseClipboard();
    return bResult;
}

BOOL CGXGridCutPasteImpl::PasteFromClipboard(CGXGridCore* pGrid, const CGXCellRange& targetIn)
{
    const DWORD nOpt = pGrid->m_nClipboardFlags;
    CGXCellRange target = targetIn;
    target.top = std::max(target.top, (nOpt & kHeaderRowsToo) ? ROWCOL(0) : pGrid->HeaderRows() + 1);
    target.left = std::max(target.left, (nOpt & kHeaderColsToo) ? ROWCOL(0) : pGrid->HeaderCols() + 1);
    const UINT nStyles = GXGetLibraryState().m_nStylesClipboardFormat;
    if ((nOpt & kStyles) && nStyles && ::IsClipboardFormatAvailable(nStyles)) {
        HGLOBAL h = ::GetClipboardData(nStyles);
        if (!h)
            return FALSE;
        try {
            CSharedFile file;
            file.SetHandle(h, FALSE);
            CArchive ar(&file, CArchive::load, 4096);
            return pGrid->PasteStylesFromArchive(ar, target, !(nOpt & kAskSizeMismatch));
        } catch (const CException&) {
            return FALSE;
        }
    }
    if (nOpt & kText) {
        HGLOBAL h = ::GetClipboardData(CF_TEXT);
        if (!h)
            h = ::GetClipboardData(CF_OEMTEXT);
        if (!h)
            return FALSE;
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (!p)
            return FALSE;
        const BOOL bResult = pGrid->PasteTextFromBuffer(p, DWORD(GlobalSize(h)), target);
        GlobalUnlock(h);
        return bResult;
    }
    return FALSE;
}

BOOL CGXGridCutPasteImpl::PasteDirect(CGXGridCore* pGrid, const CGXCellRange& target)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || pParam->m_CutRanges.IsEmpty())
        return TRUE;
    const BOOL bCut = pParam->m_bDirectCutPaste && pParam->m_bCutPending;
    if (!bCut && !(pParam->m_bDirectCopyPaste && !pParam->m_bCutPending))
        return TRUE;

    CDWordArray rowFirsts, rowLasts, colFirsts, colLasts;
    pParam->m_CutRanges.GetRowIntervals(pGrid->RowCount(), rowFirsts, rowLasts, FALSE);
    pParam->m_CutRanges.GetColIntervals(pGrid->ColCount(), colFirsts, colLasts, FALSE);
    const CGXGridLibraryState& lib = GXGetLibraryState();
    const CString& sName = lib.m_astrTexts[bCut ? gxTextMove : gxTextCopy];
    const DWORD bOldLock = pParam->m_bLockRedraw;
    CGXLongOperation theOp;
    theOp.SetStatusText(sName);
    const BOOL bTransaction = pParam->m_CutRanges.GetCount() > 1;
    if (bTransaction)
        pGrid->BeginTransaction(sName);
    const BOOL bLock = bCut || bTransaction;
    if (bLock)
        pParam->m_bLockRedraw = TRUE;

    struct Block {
        CGXCellRange src;
        ROWCOL nDestRow, nDestCol;
    };
    std::vector<Block> blocks;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bHasCurrent = pGrid->QueryCurrentCell(nCurRow, nCurCol);
    BOOL bCurrentInDest = FALSE;
    BOOL bOk = TRUE;
    BOOL bTooBig = FALSE;
    try {
        unsigned long long nRowOffset = 0;
        for (INT_PTR i = 0; i < rowFirsts.GetSize(); ++i) {
            unsigned long long nColOffset = 0;
            for (INT_PTR j = 0; j < colFirsts.GetSize(); ++j) {
                const CGXCellRange src(rowFirsts[i], colFirsts[j], rowLasts[i], colLasts[j]);
                const unsigned long long nDestRow = target.top + nRowOffset, nDestCol = target.left + nColOffset;
                if (nDestRow + src.GetHeight() - 1 > 0xFFFFFFFEULL || nDestCol + src.GetWidth() - 1 > 0xFFFFFFFEULL)
                    AfxThrowMemoryException();
                blocks.push_back({src, ROWCOL(nDestRow), ROWCOL(nDestCol)});
                const CGXCellRange dest(ROWCOL(nDestRow), ROWCOL(nDestCol), ROWCOL(nDestRow + src.GetHeight() - 1),
                                        ROWCOL(nDestCol + src.GetWidth() - 1));
                if (bHasCurrent && dest.IsCellInRange(nCurRow, nCurCol))
                    bCurrentInDest = TRUE;
                nColOffset += src.GetWidth();
            }
            nRowOffset += rowLasts[i] - rowFirsts[i] + 1;
        }
        if (blocks.size() == 1) {
            const Block& b = blocks.front();
            bOk = bCut ? pGrid->MoveCells(b.src, b.nDestRow, b.nDestCol, GX_NOREDRAW)
                       : pGrid->CopyCells(b.src, b.nDestRow, b.nDestCol, GX_NOREDRAW);
        } else {
            // Every source block is taken before any destination is written.
            const int nType = pGrid->m_nStyleStoreType;
            std::vector<std::unique_ptr<CObArray>> taken;
            struct Dropper {
                std::vector<std::unique_ptr<CObArray>>& v;
                ~Dropper()
                {
                    for (auto& p : v)
                        if (p)
                            for (INT_PTR k = 0; k < p->GetSize(); ++k)
                                delete p->GetAt(k);
                }
            } dropper {taken};
            for (const Block& b : blocks)
                taken.emplace_back(pGrid->CollectRangeStyles(b.src, nType, nullptr));
            if (bCut) {
                for (size_t k = 0; k < blocks.size() && bOk; ++k) {
                    if (pGrid->IsReadOnly())
                        bOk = FALSE;
                    else
                        pGrid->ApplyStyleToRange(blocks[k].src, nullptr, gxRemove, nType, nullptr, GX_NOREDRAW, gxDo);
                }
            }
            for (size_t k = 0; k < blocks.size() && bOk; ++k) {
                const Block& b = blocks[k];
                const CGXCellRange dest(b.nDestRow, b.nDestCol, b.nDestRow + b.src.GetHeight() - 1,
                                        b.nDestCol + b.src.GetWidth() - 1);
                if (pGrid->IsReadOnly())
                    bOk = FALSE;
                else
                    pGrid->ApplyStyleToRange(dest, nullptr, gxCopy, nType, taken[k].get(), GX_NOREDRAW, gxDo);
            }
        }
    } catch (const CMemoryException&) {
        bOk = FALSE;
        bTooBig = TRUE;
    } catch (const std::bad_alloc&) {
        bOk = FALSE;
        bTooBig = TRUE;
    } catch (const CException&) {
        bOk = FALSE;
    }
    if (bTransaction) {
        if (bOk)
            pGrid->CommitTransaction();
        else
            pGrid->Rollback();
    }
    if (bCut) {
        pParam->m_bCutPending = FALSE;
        pParam->m_CutRanges.DeleteAll();
    }
    if (bLock) {
        pParam->m_bLockRedraw = bOldLock;
        pGrid->FreeGdiCache();
        pGrid->ResetCurrentCellStyle();
        pGrid->Redraw(GX_INVALIDATE);
    } else {
        pGrid->Redraw(GX_INVALIDATE);
    }
    if (bCurrentInDest && bHasCurrent) {
        pGrid->RefloatAfterStore(nCurRow, nCurCol);
        pGrid->ResetCurrentCellStyle();
        if (CGXControl* pControl = pGrid->CurrentCellControl())
            pControl->InitForCell(nCurRow, nCurCol);
    }
    if (bTooBig) {
        GXRegisterLibraryStrings();
        AfxMessageBox(GX_IDS_RANGE_TOO_BIG, MB_OK);
    }
    return bOk;
}

BOOL CGXGridCutPasteImpl::ConfirmSizeMismatch(CGXGridCore*)
{
    GXRegisterLibraryStrings();
    return AfxMessageBox(GX_IDS_CLIPBOARD_SIZE, MB_OKCANCEL) == IDOK;
}

// ---- Clear ----

BOOL CGXGridClearCellsImpl::CanClear(CGXGridCore* pGrid)
{
    if (!pGrid->GetParam() || pGrid->IsReadOnly())
        return FALSE;
    ROWCOL nRow = 0, nCol = 0;
    return !pGrid->GetParam()->m_SelRects.IsEmpty() || pGrid->QueryCurrentCell(nRow, nCol);
}

BOOL CGXGridClearCellsImpl::ClearSelection(CGXGridCore* pGrid, BOOL bRemoveStyles)
{
    CGXRangeList list;
    if (!pGrid->CopySelectionRanges(list, TRUE) || list.IsEmpty())
        return FALSE;
    return pGrid->ClearCells(list, bRemoveStyles);
}

BOOL CGXGridClearCellsImpl::ClearRanges(CGXGridCore* pGrid, const CGXRangeList& list, BOOL bRemoveStyles)
{
    if (!pGrid->GetParam() || pGrid->IsReadOnly())
        return FALSE;
    const CGXGridLibraryState& lib = GXGetLibraryState();
    pGrid->BeginTransaction(lib.m_astrTexts[gxTextClearCells]);
    CGXLongOperation theOp;
    theOp.SetStatusText(lib.m_astrTexts[gxTextClearCells]);
    CGXLongOperation::SetRollbackPossible(TRUE);

    CGXRangeList expanded;
    ExpandList(pGrid, list, expanded, TRUE);
    CDWordArray rowFirsts, rowLasts, colFirsts, colLasts;
    expanded.GetRowIntervals(pGrid->RowCount(), rowFirsts, rowLasts, FALSE);
    expanded.GetColIntervals(pGrid->ColCount(), colFirsts, colLasts, FALSE);

    BOOL bFailed = FALSE, bCanceled = FALSE;
    ++pGrid->m_nNoFeedback;
    auto queryCancel = [&] {
        BOOL bAbort = FALSE;
        theOp.ProcessMessagesQueryAbort(bAbort);
        if (bAbort)
            bCanceled = TRUE;
        return !bAbort;
    };
    for (INT_PTR i = 0; i < rowFirsts.GetSize() && !bFailed && !bCanceled; ++i)
        for (INT_PTR j = 0; j < colFirsts.GetSize() && !bFailed && !bCanceled; ++j) {
            const CGXCellRange block(rowFirsts[i], colFirsts[j], rowLasts[i], colLasts[j]);
            if (block.top > block.bottom || block.left > block.right)
                continue;
            if (!pGrid->m_bNoAnnounce)
                pGrid->AnnounceRangeToData(block);
            const BOOL bOldNoAnnounce = pGrid->m_bNoAnnounce;
            pGrid->m_bNoAnnounce = TRUE;
            if (bRemoveStyles) {
                pGrid->ApplyStyleToRange(block, nullptr, gxRemove, 0, nullptr, GX_INVALIDATE, gxDo);
                queryCancel();
            } else {
                for (unsigned long long r = block.top; r <= block.bottom && !bFailed && !bCanceled; ++r)
                    for (unsigned long long c = block.left; c <= block.right && !bFailed && !bCanceled; ++c) {
                        CGXStyle* pStyle = pGrid->NewScratchStyle();
                        pGrid->ComposeCellStyle(ROWCOL(r), ROWCOL(c), *pStyle, TRUE);
                        CGXControl* pControl =
                            pGrid->GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0));
                        CString sText;
                        if (pControl)
                            pControl->GetDisplayText(sText, ROWCOL(r), ROWCOL(c), nullptr, *pStyle);
                        pGrid->RecycleStyle(pStyle);
                        if (!sText.IsEmpty()
                            && !pGrid->SetValueRange(CGXCellRange(ROWCOL(r), ROWCOL(c)), "", gxOverride, 0, GX_INVALIDATE))
                            bFailed = TRUE;
                        else
                            queryCancel();
                    }
            }
            pGrid->m_bNoAnnounce = bOldNoAnnounce;
        }
    --pGrid->m_nNoFeedback;
    if (bFailed || bCanceled) {
        if (bFailed || CGXLongOperation::GetRollbackConfirmed())
            pGrid->Rollback();
        else
            pGrid->CommitTransaction();
        pGrid->Redraw(GX_INVALIDATE);
        return FALSE;
    }
    pGrid->CommitTransaction();
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
    return TRUE;
}

// ---- Installers ----

void CGXGridCore::InstallCutPasteImp()
{
    if (m_pCutPasteImp)
        return;
    auto* p = new CGXGridCutPasteImpl;
    m_pCutPasteImp = p;
    AddImpToDeleteList(p);
}

void CGXGridCore::InstallClearCellsImp()
{
    if (m_pClearCellsImp)
        return;
    auto* p = new CGXGridClearCellsImpl;
    m_pClearCellsImp = p;
    AddImpToDeleteList(p);
}
