#include "grid/features/gxdataexch.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "grid/core/gxarchive.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstymap.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"
#include "platform/win/win.h"

namespace {

constexpr DWORD kNoNewRows = CGXGridCore::kClipNoNewRows;
constexpr DWORD kNoNewCols = 0x0400;
constexpr DWORD kStyleSelector = 0x0800;
constexpr DWORD kEscapes = 0x1000;
constexpr UINT GX_IDS_RANGE_TOO_BIG = 20149;
// Text flags of a pasted cell: stored, drawn when the paste ends.
constexpr UINT kPasteCellFlags = GX_NOREDRAW;

struct Intervals {
    CDWordArray firsts, lasts;
    unsigned long long nCount = 0;
};

void TakeIntervals(const CGXRangeList& list, BOOL bRows, ROWCOL nLast, Intervals& iv)
{
    if (bRows)
        list.GetRowIntervals(nLast, iv.firsts, iv.lasts, FALSE);
    else
        list.GetColIntervals(nLast, iv.firsts, iv.lasts, FALSE);
    iv.nCount = 0;
    for (INT_PTR i = 0; i < iv.firsts.GetSize(); ++i)
        if (iv.lasts[i] >= iv.firsts[i])
            iv.nCount += (unsigned long long)iv.lasts[i] - iv.firsts[i] + 1;
}

// Calls f(n) for every number of the intervals in order; f answers false to stop.
template <class F>
bool ForEachNumber(const Intervals& iv, F&& f)
{
    for (INT_PTR i = 0; i < iv.firsts.GetSize(); ++i)
        for (unsigned long long n = iv.firsts[i]; n <= iv.lasts[i]; ++n)
            if (!f(ROWCOL(n)))
                return false;
    return true;
}

// Reports the percentage (when this operation is the outermost) and asks for cancel; the long
// operation answers only once its feedback delay has passed, so the clock is read every few
// cells, not after each one.
bool Feedback(CGXLongOperation& op, unsigned long long nDone, unsigned long long nTotal)
{
    if ((nDone & 63) != 0 && nDone != nTotal)
        return true;
    if (CGXLongOperation::GetDepth() <= 1 && nTotal)
        CGXLongOperation::SetPercentDone(int(std::min<unsigned long long>(nDone * 100 / nTotal, 100)));
    BOOL bAbort = FALSE;
    op.ProcessMessagesQueryAbort(bAbort);
    return !bAbort;
}

// Points the archive's context at the styles map for a scope.
struct ArchiveContext {
    CArchive& ar;
    void* pSaved;
    ArchiveContext(CArchive& a, CGXStylesMap* pMap) : ar(a), pSaved(a.m_pDocument) { ar.m_pDocument = pMap; }
    ~ArchiveContext() { ar.m_pDocument = pSaved; }
    ArchiveContext(const ArchiveContext&) = delete;
    ArchiveContext& operator=(const ArchiveContext&) = delete;
};

// Deletes the styles of an array and the array.
struct StyleArray {
    std::unique_ptr<CObArray> p;
    StyleArray() = default;
    explicit StyleArray(CObArray* a) : p(a) {}
    ~StyleArray() { Clear(); }
    void Clear()
    {
        if (!p)
            return;
        for (INT_PTR i = 0; i < p->GetSize(); ++i)
            delete p->GetAt(i);
        p.reset();
    }
    StyleArray(const StyleArray&) = delete;
    StyleArray& operator=(const StyleArray&) = delete;
};

bool IsFieldEnd(char c, const CString& sSep)
{
    if (c == '\0' || c == '\r' || c == '\n')
        return true;
    for (int i = 0; i < sSep.GetLength(); ++i)
        if (sSep[i] == c)
            return true;
    return false;
}

}  // namespace

// ---- The character rules ----

CString GXEscapeCopyText(const CString& sValue, BOOL bEscapes)
{
    const char* p = sValue;
    const int n = sValue.GetLength();
    int i = 0;
    while (i < n && p[i] != '\r' && p[i] != '\n' && p[i] != '\t')
        ++i;
    if (i == n)
        return sValue;
    std::string out(p, size_t(i));
    for (; i < n; ++i) {
        const char c = p[i];
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            if (bEscapes) {
                out += "\\r";
            } else {
                out += ' ';
                if (i + 1 < n && p[i + 1] == '\n')
                    ++i;  // CR LF is one blank
            }
        } else if (c == '\n') {
            out += bEscapes ? "\\n" : " ";
        } else {
            out += c;
        }
    }
    return CString(out.c_str(), int(out.size()));
}

CString GXUnescapePasteText(const char* p, size_t n, BOOL bEscapes)
{
    if (!bEscapes)
        return CString(p, int(n));
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\\' && i + 1 < n && (p[i + 1] == 'r' || p[i + 1] == 'n' || p[i + 1] == 't')) {
            out += p[i + 1] == 'r' ? '\r' : p[i + 1] == 'n' ? '\n' : '\t';
            ++i;
        } else {
            out += p[i];
        }
    }
    return CString(out.c_str(), int(out.size()));
}

// ---- Text ----

BOOL CGXGridTextDataExchangeImpl::CopyTextToFile(CGXGridCore* pGrid, CFile& file, const CGXRangeList& list)
{
    Intervals rows, cols;
    TakeIntervals(list, TRUE, pGrid->RowCount(), rows);
    TakeIntervals(list, FALSE, pGrid->ColCount(), cols);
    const unsigned long long nTotal = rows.nCount * cols.nCount;
    CGXLongOperation theOp;
    theOp.SetStatusText(GXGetLibraryState().m_astrTexts[gxTextCopyingText]);
    const CString sSep = pGrid->m_sCopySeparator.IsEmpty() ? CString("\t") : pGrid->m_sCopySeparator;
    const BOOL bEscapes = (pGrid->m_nClipboardFlags & kEscapes) != 0;

    std::string buf;
    buf.reserve(1 << 16);
    auto flush = [&] {
        if (!buf.empty())
            file.Write(buf.data(), UINT(buf.size()));
        buf.clear();
    };
    BOOL bAny = FALSE;
    bool bGoOn = true;
    ROWCOL nRowsWritten = 0, nColsLast = 0;
    unsigned long long nIndex = 0;
    ForEachNumber(rows, [&](ROWCOL r) {
        if (nRowsWritten > 0)
            buf += "\r\n";
        nColsLast = 0;
        ForEachNumber(cols, [&](ROWCOL c) {
            if (nColsLast > 0)
                buf.append(sSep, size_t(sSep.GetLength()));
            const CString sText = pGrid->GetCopyTextRowCol(r, c);
            if (!sText.IsEmpty()) {
                bAny = TRUE;
                const CString sOut = GXEscapeCopyText(sText, bEscapes);
                buf.append(sOut, size_t(sOut.GetLength()));
            }
            ++nColsLast;
            bGoOn = Feedback(theOp, ++nIndex, nTotal);
            return bGoOn;
        });
        ++nRowsWritten;
        if (buf.size() >= (1u << 16))
            flush();
        return bGoOn;
    });
    if (bGoOn && (rows.nCount > 1 || cols.nCount > 1))
        buf += "\r\n";
    flush();
    pGrid->m_nCopiedRows = nRowsWritten;
    pGrid->m_nCopiedCols = nColsLast;
    return bAny && bGoOn;
}

CString CGXGridTextDataExchangeImpl::GetCopyTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXStyle* pStyle = pGrid->NewScratchStyle();
    pGrid->ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
    CString sText;
    CGXControl* pControl = pGrid->GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0));
    if (pControl)
        pControl->GetDisplayText(sText, nRow, nCol, nullptr, *pStyle);
    else if (pStyle->GetIncludeValue())
        sText = pStyle->GetValue();
    pGrid->RecycleStyle(pStyle);
    return sText;
}

BOOL CGXGridTextDataExchangeImpl::PasteTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText,
                                                   UINT flags, const CGXStyle* pStyle)
{
    return pGrid->StoreCellDisplayText(nRow, nCol, sText, flags, pStyle);
}

BOOL CGXGridTextDataExchangeImpl::CalcBufferDimension(CGXGridCore* pGrid, LPCTSTR psz, DWORD nSize, ROWCOL& nRows,
                                                       ROWCOL& nCols)
{
    nRows = 0;
    nCols = 1;
    if (!psz || nSize == 0)
        return TRUE;
    const CString sSep = pGrid->m_sPasteSeparator.IsEmpty() ? CString("\t") : pGrid->m_sPasteSeparator;
    ROWCOL nFields = 1;       // of the line being read
    bool bFieldText = false;  // the line's last field has characters
    for (DWORD i = 0;; ++i) {
        if (i == nSize) {
            // The length ends before any NUL: the last line counts only with a separator.
            if (nFields > 1) {
                ++nRows;
                nCols = std::max(nCols, nFields);
            }
            break;
        }
        const char c = psz[i];
        if (c == '\0') {
            if (nFields > 1 || bFieldText) {
                ++nRows;
                nCols = std::max(nCols, nFields);
            }
            break;
        }
        if (c == '\r' || c == '\n') {
            ++nRows;
            nCols = std::max(nCols, nFields);
            nFields = 1;
            bFieldText = false;
            if (c == '\r' && i + 1 < nSize && psz[i + 1] == '\n')
                ++i;
            if (i + 1 < nSize && psz[i + 1] == '\0')
                break;  // a break followed by NUL ends the count
            continue;
        }
        if (IsFieldEnd(c, sSep)) {
            ++nFields;
            bFieldText = false;
            continue;
        }
        bFieldText = true;
    }
    return TRUE;
}

BOOL CGXGridTextDataExchangeImpl::PasteTextFromBuffer(CGXGridCore* pGrid, LPCTSTR psz, DWORD nSize,
                                                       const CGXCellRange& target)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !psz || !target.IsValid())
        return FALSE;
    const CGXGridLibraryState& lib = GXGetLibraryState();
    CGXLongOperation theOp;
    theOp.SetStatusText(lib.m_astrTexts[gxTextPasting]);
    CGXLongOperation::SetRollbackPossible(TRUE);
    pGrid->StoreCurrentCellEdit(TRUE);
    pGrid->BeginTransaction(lib.m_astrTexts[gxTextPaste]);
    const DWORD bOldLock = pParam->m_bLockRedraw;
    pParam->m_bLockRedraw = TRUE;

    const DWORD nOpt = pGrid->m_nClipboardFlags;
    const BOOL bEscapes = (nOpt & kEscapes) != 0;
    const CString sSep = pGrid->m_sPasteSeparator.IsEmpty() ? CString("\t") : pGrid->m_sPasteSeparator;
    const ROWCOL nTop = target.top, nLeft = target.left;

    // The grid grows once, to the block the text holds.
    bool bFailed = false;
    ROWCOL nNeedRows = 0, nNeedCols = 0;
    pGrid->CalcBufferDimension(psz, nSize, nNeedRows, nNeedCols);
    if (nNeedRows > 0) {
        const unsigned long long nLastRow = (unsigned long long)nTop + nNeedRows - 1;
        const unsigned long long nLastCol = (unsigned long long)nLeft + nNeedCols - 1;
        if (!(nOpt & kNoNewRows) && nLastRow > pGrid->RowCount())
            bFailed = nLastRow > 0xFFFFFFFEULL || !pGrid->SetRowCount(ROWCOL(nLastRow), GX_NOREDRAW);
        if (!bFailed && !(nOpt & kNoNewCols) && nLastCol > pGrid->ColCount())
            bFailed = nLastCol > 0xFFFFFFFEULL || !pGrid->SetColCount(ROWCOL(nLastCol), GX_NOREDRAW);
    }

    bool bCanceled = false;
    // The cells' own stores ask nothing: this loop asks for cancel.
    ++pGrid->m_nNoFeedback;
    ROWCOL nRow = nTop, nCol = nLeft, nLastRowDone = nTop, nWidest = nLeft;
    DWORD i = 0;
    while (!bFailed && !bCanceled) {
        const DWORD nStart = i;
        while (i < nSize && !IsFieldEnd(psz[i], sSep))
            ++i;
        const char cEnd = i < nSize ? psz[i] : '\0';
        const bool bAtEnd = i >= nSize;
        const bool bEmptyTail = bAtEnd && i == nStart;  // nothing after the last break
        if (!bEmptyTail) {
            bool bSkip = false;
            if (nRow > pGrid->RowCount()) {
                if ((nOpt & kNoNewRows))
                    break;  // the lines the grid has no rows for are dropped
                if (!pGrid->SetRowCount(nRow, GX_NOREDRAW)) {
                    bFailed = true;
                    break;
                }
            }
            if (nCol > pGrid->ColCount()) {
                if ((nOpt & kNoNewCols) || !pGrid->SetColCount(nCol, GX_NOREDRAW))
                    bSkip = true;  // the field goes
            }
            if (!bSkip) {
                const CString sValue = GXUnescapePasteText(psz + nStart, i - nStart, bEscapes);
                CGXStyle* pStyle = pGrid->NewScratchStyle();
                pGrid->ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
                const BOOL bOk = pGrid->PasteTextRowCol(nRow, nCol, sValue, kPasteCellFlags, pStyle);
                pGrid->RecycleStyle(pStyle);
                if (!bOk) {
                    bFailed = true;  // a refused cell ends the paste, which goes back whole
                    break;
                }
                if (!Feedback(theOp, i, nSize)) {
                    bCanceled = true;
                    break;
                }
                nLastRowDone = std::max(nLastRowDone, nRow);
                nWidest = std::max(nWidest, nCol);
            }
        }
        if (bAtEnd || cEnd == '\0')
            break;
        ++i;
        if (cEnd == '\r' || cEnd == '\n') {
            if (cEnd == '\r' && i < nSize && psz[i] == '\n')
                ++i;
            if (i < nSize && psz[i] == '\0')
                break;
            if (i >= nSize)
                break;
            ++nRow;
            nCol = nLeft;
        } else {
            ++nCol;
        }
    }
    --pGrid->m_nNoFeedback;

    const bool bRollBack = bFailed || (bCanceled && CGXLongOperation::GetRollbackConfirmed());
    if (bRollBack)
        pGrid->Rollback();
    else
        pGrid->CommitTransaction();
    pParam->m_bLockRedraw = bOldLock;
    if (bRollBack)
        pGrid->Redraw(GX_INVALIDATE);
    else {
        pGrid->UpdateScrollBars();
        pGrid->RedrawCells(nTop, nLeft, nLastRowDone, nWidest, GX_INVALIDATE);
    }
    pGrid->RecalcAndRefresh(TRUE, nullptr, TRUE);
    return !bFailed && !bCanceled;
}

// ---- Styles ----

BOOL CGXGridStyleDataExchangeImpl::GetCopyStyleRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& style,
                                                      BOOL bComposed)
{
    if (bComposed) {
        pGrid->ComposeCellStyle(nRow, nCol, style, TRUE);
        return TRUE;
    }
    const int nType = (pGrid->m_nClipboardFlags & kStyleSelector) ? pGrid->m_nStyleStoreType : 0;
    return pGrid->FetchStoredStyle(nRow, nCol, style, gxCopy, nType);
}

BOOL CGXGridStyleDataExchangeImpl::CopyStylesToArchive(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& list,
                                                       BOOL bComposed)
{
    Intervals rows, cols;
    TakeIntervals(list, TRUE, pGrid->RowCount(), rows);
    TakeIntervals(list, FALSE, pGrid->ColCount(), cols);
    const unsigned long long nTotal = rows.nCount * cols.nCount;
    CGXLongOperation theOp;
    theOp.SetStatusText(GXGetLibraryState().m_astrTexts[gxTextCopyingInternal]);
    ArchiveContext context(ar, pGrid->GetStylesMap());
    bool bGoOn = true;
    try {
        if (nTotal > kGXMaxStyleBlockCells || rows.nCount > kGXMaxStyleBlockLines || cols.nCount > kGXMaxStyleBlockLines)
            AfxThrowMemoryException();
        ar << DWORD(rows.nCount) << DWORD(cols.nCount);
        StyleArray array(new CObArray);
        array.p->SetSize(INT_PTR(nTotal));
        unsigned long long nIndex = 0;
        ForEachNumber(rows, [&](ROWCOL r) {
            return ForEachNumber(cols, [&](ROWCOL c) {
                CGXStyle* pStyle = pGrid->NewScratchStyle();
                if (pGrid->GetCopyStyleRowCol(r, c, *pStyle, bComposed))
                    array.p->SetAt(INT_PTR(nIndex), pStyle);
                else
                    pGrid->RecycleStyle(pStyle);
                bGoOn = Feedback(theOp, ++nIndex, nTotal);
                return bGoOn;
            });
        });
        if (bGoOn)
            array.p->Serialize(ar);
        pGrid->m_nCopiedRows = ROWCOL(rows.nCount);
        pGrid->m_nCopiedCols = ROWCOL(cols.nCount);
    } catch (const CMemoryException&) {
        GXRegisterLibraryStrings();
        AfxMessageBox(GX_IDS_RANGE_TOO_BIG, MB_OK);
        bGoOn = false;
    } catch (const std::bad_alloc&) {
        GXRegisterLibraryStrings();
        AfxMessageBox(GX_IDS_RANGE_TOO_BIG, MB_OK);
        bGoOn = false;
    }
    return bGoOn;
}

BOOL CGXGridStyleDataExchangeImpl::PasteStylesFromArchive(CGXGridCore* pGrid, CArchive& ar, const CGXCellRange& target,
                                                          BOOL bPasteAnyway)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || !target.IsValid())
        return FALSE;
    ArchiveContext context(ar, pGrid->GetStylesMap());
    DWORD nRows = 0, nCols = 0;
    StyleArray array;
    try {
        ar >> nRows >> nCols;
    } catch (const CException&) {
        return FALSE;
    }
    // The counts must be a block this grid could have written.
    if (nRows == 0 || nCols == 0 || nRows > kGXMaxStyleBlockLines || nCols > kGXMaxStyleBlockLines
        || (unsigned long long)nRows * nCols > kGXMaxStyleBlockCells)
        return FALSE;
    const unsigned long long nCells = (unsigned long long)nRows * nCols;
    CGXCellRange block(target.top, target.left, target.top + nRows - 1, target.left + nCols - 1);
    if (!bPasteAnyway && !(block.bottom == target.bottom && block.right == target.right) && !pGrid->ConfirmSizeMismatch())
        return FALSE;

    const CGXGridLibraryState& lib = GXGetLibraryState();
    // The array is read and checked whole before anything changes.
    try {
        const DWORD_PTR nCount = ar.ReadCount();
        if (nCount != nCells)
            return FALSE;
        ar.CheckCount(nCount, 1);
        array.p = std::make_unique<CObArray>();
        array.p->SetSize(INT_PTR(nCount));
        for (INT_PTR i = 0; i < INT_PTR(nCount); ++i)
            array.p->SetAt(i, GXAdoptObject(CGXStyle, ar));
    } catch (const CException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }

    pGrid->BeginTransaction(lib.m_astrTexts[gxTextPaste]);
    CGXLongOperation theOp;
    theOp.SetStatusText(lib.m_astrTexts[gxTextPasting]);
    CGXLongOperation::SetRollbackPossible(TRUE);
    pGrid->StoreCurrentCellEdit(TRUE);

    BOOL bOk = TRUE;
    const DWORD nOpt = pGrid->m_nClipboardFlags;
    if (block.bottom > pGrid->RowCount()) {
        if (!(nOpt & kNoNewRows))
            pGrid->SetRowCount(block.bottom, GX_NOREDRAW);
        block.bottom = std::min(block.bottom, pGrid->RowCount());
    }
    if (block.right > pGrid->ColCount()) {
        if (!(nOpt & kNoNewCols))
            pGrid->SetColCount(block.right, GX_NOREDRAW);
        if (block.right > pGrid->ColCount()) {
            // Row by row, only the styles of the columns the grid has.
            const ROWCOL nKeep = pGrid->ColCount() >= block.left ? pGrid->ColCount() - block.left + 1 : 0;
            StyleArray narrow(new CObArray);
            narrow.p->SetSize(INT_PTR((unsigned long long)nRows * nKeep));
            for (DWORD r = 0; r < nRows; ++r)
                for (DWORD c = 0; c < nCols; ++c) {
                    const INT_PTR from = INT_PTR((unsigned long long)r * nCols + c);
                    if (c < nKeep) {
                        narrow.p->SetAt(INT_PTR((unsigned long long)r * nKeep + c), array.p->GetAt(from));
                        array.p->SetAt(from, nullptr);
                    }
                }
            array.Clear();
            array.p = std::move(narrow.p);
            block.right = pGrid->ColCount();
        }
    }
    if (block.top <= pGrid->RowCount() && block.left <= pGrid->ColCount() && block.bottom >= block.top
        && block.right >= block.left)
        bOk = pGrid->ApplyStyleToRange(block, nullptr, gxCopy, pGrid->m_nStyleStoreType, array.p.get(), GX_INVALIDATE, gxDo);
    else
        bOk = FALSE;
    array.Clear();
    if (!bOk || CGXLongOperation::GetRollbackConfirmed())
        pGrid->Rollback();
    else
        pGrid->CommitTransaction();
    pGrid->UpdateScrollBars();
    return bOk;
}

// ---- Installers ----

void CGXGridCore::InstallTextDataExchangeImp()
{
    if (m_pTextDataExchangeImp)
        return;
    auto* p = new CGXGridTextDataExchangeImpl;
    m_pTextDataExchangeImp = p;
    AddImpToDeleteList(p);
}

void CGXGridCore::InstallStyleDataExchangeImp()
{
    if (m_pStyleDataExchangeImp)
        return;
    auto* p = new CGXGridStyleDataExchangeImpl;
    m_pStyleDataExchangeImp = p;
    AddImpToDeleteList(p);
}
