// Style composition and storage: a cell's effective style is composed from its stored style,
// its row's, column's and the table's base styles and the named base styles; composed styles
// are cached per cell and spare styles recycled, because composition runs for every drawn cell.

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <memory>

#include "grid/core/gxctrl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxstate.h"
#include "platform/base/exceptions.h"
#include "platform/win/win.h"

namespace {

// Undo information is not collected for ranges this tall or wide, or this large.
constexpr ROWCOL kMaxUndoRowsOrCols = 0x8000;
constexpr unsigned long long kMaxUndoCells = 0x7FFFFFFF;

// Cut cells waiting for their paste show hatched in light grey.
constexpr UINT kCutPendingPattern = 17;
constexpr COLORREF kCutPendingColor = 0xC0C0C0;

// "Formatting color for negative numbers".
constexpr WORD GX_IDS_UA_NEGATIVE_COLOR = 52797;

// "Operation is too large for the undo buffer. Do you want to continue?"
constexpr UINT GX_IDS_TOO_LARGE_FOR_UNDO = 20082;

// Bijective base 26: 1 "A", 26 "Z", 27 "AA".
CString ColumnLetters(ROWCOL nCol)
{
    char buf[16];
    int n = 0;
    while (nCol > 0 && n < int(sizeof(buf)) - 1) {
        buf[n++] = char('A' + (nCol - 1) % 26);
        nCol = (nCol - 1) / 26;
    }
    std::reverse(buf, buf + n);
    buf[n] = 0;
    return CString(buf);
}

void DeleteStyleArray(CObArray* pArray)
{
    if (!pArray)
        return;
    for (INT_PTR i = 0; i < pArray->GetSize(); ++i)
        delete pArray->GetAt(i);
    delete pArray;
}

}  // namespace

// ---- Scratch styles ----

CGXStyle* CGXGridCore::NewScratchStyle()
{
    if (!m_freeStyles.empty()) {
        CGXStyle* p = m_freeStyles.back();
        m_freeStyles.pop_back();
        return p;
    }
    if (m_pStyleClass && m_pStyleClass != RUNTIME_CLASS(CGXStyle))
        if (auto* p = dynamic_cast<CGXStyle*>(m_pStyleClass->CreateObject()))
            return p;
    return new CGXStyle;
}

void CGXGridCore::RecycleStyle(CGXStyle* pStyle)
{
    if (!pStyle)
        return;
    if (m_freeStyles.size() <= kMaxRecycledStyles) {
        pStyle->FreeParts();
        m_freeStyles.push_back(pStyle);
    } else {
        delete pStyle;
    }
    assert(m_freeStyles.size() <= kMaxRecycledStyles + 1);
}

// ---- Base styles ----

void CGXGridCore::RefreshBaseStylePointers()
{
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    CGXStylesMap* pMap = GetStylesMap();
    if (!pMap)
        return;
    pMap->LookupStyleEntry(pMap->m_wStyleStandard, m_pStyleStandard);
    pMap->LookupStyleEntry(pMap->m_wStyleRowHeader, m_pStyleRowHeader);
    pMap->LookupStyleEntry(pMap->m_wStyleColHeader, m_pStyleColHeader);
}

CGXStyle* CGXGridCore::LookupStandardStyle()
{
    if (!m_pStyleStandard)
        RefreshBaseStylePointers();
    return m_pStyleStandard;
}

CGXStyle* CGXGridCore::LookupRowHeaderStyle()
{
    if (!m_pStyleRowHeader)
        RefreshBaseStylePointers();
    return m_pStyleRowHeader;
}

CGXStyle* CGXGridCore::LookupColumnHeaderStyle()
{
    if (!m_pStyleColHeader)
        RefreshBaseStylePointers();
    return m_pStyleColHeader;
}

CGXStyle& CGXGridCore::LookupBaseStyle(WORD wStyleId)
{
    CGXStyle* pStyle = nullptr;
    CGXStylesMap* pMap = GetStylesMap();
    if (!pMap || !pMap->LookupStyleEntry(wStyleId, pStyle) || !pStyle)
        AfxThrowNotSupportedException();
    return *pStyle;
}

BOOL CGXGridCore::ModifyStandardStyle(const CGXStyle& style, int mt, UINT flags, int ctCmd)
{
    CGXStylesMap* pMap = GetStylesMap();
    return pMap && ChangeBaseStyle(pMap->m_wStyleStandard, style, mt, flags, ctCmd);
}

BOOL CGXGridCore::ModifyRowHeaderStyle(const CGXStyle& style, int mt, UINT flags, int ctCmd)
{
    CGXStylesMap* pMap = GetStylesMap();
    return pMap && ChangeBaseStyle(pMap->m_wStyleRowHeader, style, mt, flags, ctCmd);
}

BOOL CGXGridCore::ModifyColumnHeaderStyle(const CGXStyle& style, int mt, UINT flags, int ctCmd)
{
    CGXStylesMap* pMap = GetStylesMap();
    return pMap && ChangeBaseStyle(pMap->m_wStyleColHeader, style, mt, flags, ctCmd);
}

// ---- Composition ----

BOOL CGXGridCore::FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType)
{
    CGXData* pData = GetData();
    return pData ? pData->GetStyleRowCol(nRow, nCol, style, mt, nType) : FALSE;
}

void CGXGridCore::ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard)
{
    FetchStoredStyle(nRow, nCol, style, gxCopy, 0);
    if (m_bValueOnly && style.GetIncludeValue())
        return;

    const ROWCOL nHeaderRows = HeaderRows();
    const ROWCOL nHeaderCols = HeaderCols();
    if (nCol > nHeaderCols)
        FetchStoredStyle(nRow, 0, style, gxApplyNew, -1);
    if (nRow > nHeaderRows)
        FetchStoredStyle(0, nCol, style, gxApplyNew, -1);
    if (nRow > nHeaderRows && nCol > nHeaderCols)
        FetchStoredStyle(0, 0, style, gxApplyNew, -1);

    if (CGXStylesMap* pMap = GetStylesMap())
        style.LoadBaseStyles(*pMap);

    if (nRow <= nHeaderRows)
        if (const CGXStyle* p = LookupColumnHeaderStyle())
            style.ChangeStyle(*p, gxApplyNew);
    if (nCol <= nHeaderCols)
        if (const CGXStyle* p = LookupRowHeaderStyle())
            style.ChangeStyle(*p, gxApplyNew);

    if ((nRow == 0 || nCol == 0) && !style.GetIncludeValue() && m_pParam && m_pParam->m_bNumberedHeaders) {
        if (nRow == 0 && nCol != 0)
            style.SetValue(ColumnLetters(nCol));
        else if (nCol == 0 && nRow != 0)
            style.SetValueNumber(nRow);
    }

    if (bApplyStandard)
        if (const CGXStyle* p = LookupStandardStyle())
            style.ChangeStyle(*p, gxApplyNew);

    if (m_pParam && m_pParam->m_bDirectCutPaste && m_pParam->m_bCutPending
        && m_pParam->m_CutRanges.IsCellInList(nRow, nCol)) {
        CGXPackedBrush hatch(GX_BS_PATTERN, kCutPendingColor);
        hatch.SetPattern(kCutPendingPattern);
        style.SetInterior(hatch);
    }

    if (IsCurrentCellAt(nRow, nCol) && style.GetIncludeControl()) {
        CGXControl* pControl = GetRegisteredControl(style.GetControl());
        if (pControl && pControl->IsActive())
            return;
    }

    if (style.GetIncludeValue() && style.HasUserAttribute(GX_IDS_UA_NEGATIVE_COLOR)
        && atof(style.GetValue()) < 0)
        style.SetTextColor(style.GetUserAttribute(GX_IDS_UA_NEGATIVE_COLOR).GetDWord());
}

const CGXStyle& CGXGridCore::GetCellStyleCached(ROWCOL nRow, ROWCOL nCol)
{
    const BOOL bCurrent = IsCurrentCellAt(nRow, nCol);
    if (bCurrent && m_bCacheCurrentCell && m_pCurrentCellStyle && !m_pCurrentCellStyle->IsEmpty())
        return *m_pCurrentCellStyle;
    if (!bCurrent || m_bCommittingCurrentCell) {
        auto it = m_styleCache.find(GXCellKey(nRow, nCol));
        if (it != m_styleCache.end())
            return *it->second;
    }

    CGXStyle* pStyle = NewScratchStyle();
    ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
    if (IsReadOnly())
        pStyle->SetReadOnly(TRUE);

    if (!bCurrent) {
        CGXStyle*& slot = m_styleCache[GXCellKey(nRow, nCol)];
        if (slot)
            RecycleStyle(slot);
        slot = pStyle;
        return *pStyle;
    }
    m_currentCellStyles.push_back(pStyle);
    m_pCurrentCellControl = GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0));
    if (!m_pCurrentCellStyle)
        m_pCurrentCellStyle.reset(new CGXStyle);
    *m_pCurrentCellStyle = *pStyle;
    return *pStyle;
}

void CGXGridCore::ResetCurrentCellStyle(BOOL bControl)
{
    if (m_pCurrentCellStyle)
        m_pCurrentCellStyle->FreeParts();
    if (bControl)
        m_pCurrentCellControl = nullptr;
}

const CString& CGXGridCore::CellValueText(ROWCOL nRow, ROWCOL nCol)
{
    if (!m_pStyleValue)
        m_pStyleValue.reset(new CGXStyle);
    m_pStyleValue->SetIncludeValue(FALSE);
    const BOOL bOldValueOnly = m_bValueOnly;
    const BOOL bOldCommitting = m_bCommittingCurrentCell;
    m_bValueOnly = TRUE;
    m_bCommittingCurrentCell = FALSE;
    ComposeCellStyle(nRow, nCol, *m_pStyleValue, TRUE);
    m_bValueOnly = bOldValueOnly;
    m_bCommittingCurrentCell = bOldCommitting;
    return m_pStyleValue->GetValue();
}

const CString& CGXGridCore::StoredCellValueText(ROWCOL nRow, ROWCOL nCol)
{
    if (!m_pStyleValue)
        m_pStyleValue.reset(new CGXStyle);
    m_pStyleValue->FreeParts();
    FetchStoredStyle(nRow, nCol, *m_pStyleValue, gxOverride, DefaultValueType());
    return m_pStyleValue->GetValue();
}

// ---- Caches ----

void CGXGridCore::FreeStyleCache()
{
    for (auto& [key, p] : m_styleCache)
        RecycleStyle(p);
    m_styleCache.clear();
    if (!m_bCommittingCurrentCell)
        ResetCurrentCellStyle();
    for (CGXStyle* p : m_currentCellStyles)
        delete p;
    m_currentCellStyles.clear();
}

void CGXGridCore::FreeGdiCache()
{
    if (m_nDrawingNesting > 0)
        return;
    FreeStyleCache();
    FreeDrawingGdiObjects();
}

// ---- Storage ----

BOOL CGXGridCore::StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType)
{
    if (m_pParam && m_pParam->m_bLockReadOnly && IsReadOnly())
        return FALSE;
    CGXData* pData = GetData();
    BOOL bResult = FALSE;
    if (pData) {
        bResult = pData->StoreStyleRowCol(nRow, nCol, mt == gxRemove ? nullptr : pStyle, mt, nType);
        if (!m_bInRangeStore)
            AnnounceRangeToData(CGXCellRange(nRow, nCol));
    }
    if (IsCurrentCellAt(nRow, nCol))
        ResetCurrentCellStyle();
    m_bCommittingCurrentCell = FALSE;
    return bResult;
}

void CGXGridCore::AnnounceRangeToData(const CGXCellRange& range)
{
    if (m_bNoAnnounce)
        return;
    if (CGXData* pData = GetData())
        pData->AnnounceRange(range);
}

int CGXGridCore::DefaultValueType() const
{
    if (m_nDefaultType != 0)
        return m_nDefaultType;
    const CGXData* pData = m_pParam ? m_pParam->GetData() : nullptr;
    return pData ? pData->m_nDefaultValueType : 0;
}

CObArray* CGXGridCore::CollectRangeStyles(const CGXCellRange& range, int nType, CGXLongOperation* pOp)
{
    // Undo keeps what a store with the same selector brings back.
    if (nType == 0)
        nType = DefaultValueType();
    const ROWCOL nWidth = range.right - range.left + 1;
    const ROWCOL nHeight = range.bottom - range.top + 1;
    const unsigned long long nCells = (unsigned long long)nWidth * nHeight;
    auto* pArray = new CObArray;
    try {
        pArray->SetSize(INT_PTR(nCells));
        INT_PTR i = 0;
        for (ROWCOL nRow = range.top; nRow <= range.bottom; ++nRow) {
            for (ROWCOL nCol = range.left; nCol <= range.right; ++nCol, ++i) {
                CGXStyle* pStyle = NewScratchStyle();
                if (FetchStoredStyle(nRow, nCol, *pStyle, gxCopy, nType))
                    pArray->SetAt(i, pStyle);
                else
                    RecycleStyle(pStyle);
                if (pOp) {
                    CGXLongOperation::SetPercentDone(int((unsigned long long)(i + 1) * 100 / nCells));
                    BOOL bAbort = FALSE;
                    pOp->ProcessMessagesQueryAbort(bAbort);
                    if (bAbort)
                        AfxThrowUserException();
                }
                if (nCol == range.right) {
                    ++i;
                    break;  // the last column may be the largest number
                }
            }
            if (nRow == range.bottom)
                break;
        }
    } catch (...) {
        DeleteStyleArray(pArray);
        throw;
    }
    return pArray;
}

BOOL CGXGridCore::ApplyStyleToRange(const CGXCellRange& rangeIn, const CGXStyle* pStyle, int mt, int nType,
                                    CObArray* pCellsArray, UINT flags, int ctCmd)
{
    if (!rangeIn.IsValid() && !rangeIn.IsRows() && !rangeIn.IsCols() && !rangeIn.IsTable())
        return FALSE;
    CGXCellRange range = rangeIn;
    if (!range.IsCells() && nType == 0)
        nType = -1;
    const int nEffType = nType != 0 ? nType : DefaultValueType();
    // The cells a rows, columns or table range addresses are its row and column base styles.
    if (range.IsRows())
        range.SetCells(range.top, 0, range.bottom, 0);
    else if (range.IsCols())
        range.SetCells(0, range.left, 0, range.right);
    else if (range.IsTable())
        range.SetCells(0, 0, 0, 0);

    CGXLongOperation theOp;
    const BOOL bFeedback = m_nNoFeedback == 0;
    CGXLongOperation* pOp = bFeedback ? &theOp : nullptr;
    theOp.SetStatusText(GXGetLibraryState().m_astrTexts[gxTextGenUndo]);
    CGXLongOperation::SetCanCancel(ctCmd == gxDo);

    const ROWCOL nWidth = range.right - range.left + 1;
    const ROWCOL nHeight = range.bottom - range.top + 1;
    const unsigned long long nCells = (unsigned long long)nWidth * nHeight;

    CObArray* pUndoArray = nullptr;
    if (m_pUndoImp && ctCmd != gxRollback && m_pParam && m_pParam->IsEnableUndo()) {
        BOOL bCollected = FALSE;
        if (nCells < kMaxUndoCells && nHeight < kMaxUndoRowsOrCols && nWidth < kMaxUndoRowsOrCols) {
            try {
                pUndoArray = CollectRangeStyles(range, nEffType, pOp);
                bCollected = TRUE;
            } catch (const CException&) {
                pUndoArray = nullptr;
            } catch (const std::bad_alloc&) {
                pUndoArray = nullptr;
            }
        }
        if (!bCollected) {
            GXRegisterLibraryStrings();
            if (AfxMessageBox(GX_IDS_TOO_LARGE_FOR_UNDO, MB_OKCANCEL) == IDCANCEL)
                return FALSE;
        }
    }

    const CGXGridLibraryState& lib = GXGetLibraryState();
    theOp.SetStatusText(ctCmd == gxDo ? lib.m_astrTexts[gxTextStoringCells] : lib.m_astrTexts[gxTextRestoringCells]);
    CGXLongOperation::SetCanCancel(ctCmd == gxDo && pUndoArray != nullptr);

    FreeGdiCache();
    if (!m_bInRangeStore)
        AnnounceRangeToData(range);
    const BOOL bOldInRangeStore = m_bInRangeStore;
    m_bInRangeStore = TRUE;

    CGXData* pData = GetData();
    const BOOL bRecordDataUndo = m_pParam && m_pParam->IsEnableUndo() && ctCmd != gxRollback;
    const BOOL bOldDataUndo = pData ? pData->EnableUndoInfo(bRecordDataUndo) : FALSE;
    if (pCellsArray && ULONGLONG(pCellsArray->GetSize()) > nCells) {
        if (pData && pData->ApplyUndoInfo(pCellsArray->GetAt(INT_PTR(nCells)), TRUE, TRUE))
            RecalcAndRefresh(TRUE, nullptr, TRUE);
    }

    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bHasCurrent = QueryCurrentCell(nCurRow, nCurCol);

    BOOL bChanged = FALSE;
    BOOL bCanceled = FALSE;
    ROWCOL nDoneRow = range.top, nDoneCol = range.left;
    unsigned long long nIndex = 0;
    for (ROWCOL nRow = range.top;; ++nRow) {
        for (ROWCOL nCol = range.left;; ++nCol, ++nIndex) {
            const CGXStyle* pCellStyle = pStyle;
            int mtCell = mt;
            if (pCellsArray) {
                if (nIndex >= ULONGLONG(pCellsArray->GetSize()) || nIndex >= nCells)
                    goto walkEnd;
                pCellStyle = dynamic_cast<const CGXStyle*>(pCellsArray->GetAt(INT_PTR(nIndex)));
                if (!pCellStyle)
                    mtCell = gxRemove;
            }
            BOOL bResult;
            if (nEffType < 0) {
                bResult = StoreCellStyle(nRow, nCol, pCellStyle, mtCell, nEffType);
            } else {
                CGXStyle* pOld = nullptr;
                const CGXStyle* pOldStyle = m_pOldStyleOverride;
                if (!pOldStyle) {
                    pOld = NewScratchStyle();
                    ComposeCellStyle(nRow, nCol, *pOld, TRUE);
                    pOldStyle = pOld;
                }
                WORD nControl = 0;
                if (pCellStyle && pCellStyle->GetIncludeControl())
                    nControl = pCellStyle->GetControl();
                else if (pOldStyle->GetIncludeControl())
                    nControl = pOldStyle->GetControl();
                CGXControl* pControl = GetRegisteredControl(nControl);
                bResult = pControl ? pControl->StoreStyleRange(nRow, nCol, pCellStyle, mtCell, nEffType, pOldStyle)
                                   : StoreCellStyle(nRow, nCol, pCellStyle, mtCell, nEffType);
                RecycleStyle(pOld);
            }
            if (nEffType < 0) {
                if ((nRow == 0 && nCol == 0) || (bHasCurrent && (nRow == nCurRow || nCol == nCurCol)))
                    ResetCurrentCellStyle();
            } else if (bHasCurrent && nRow == nCurRow && nCol == nCurCol) {
                ResetCurrentCellStyle();
            }
            bChanged |= bResult;
            nDoneRow = nRow;
            nDoneCol = nCol;
            if (bFeedback) {
                CGXLongOperation::SetPercentDone(int(std::min<unsigned long long>((nIndex + 1) * 100 / nCells, 100)));
                BOOL bAbort = FALSE;
                theOp.ProcessMessagesQueryAbort(bAbort);
                if (bAbort) {
                    bCanceled = TRUE;
                    ++nIndex;
                    goto walkEnd;
                }
            }
            if (nCol == range.right) {
                ++nIndex;
                break;
            }
        }
        if (nRow == range.bottom)
            break;
    }
walkEnd:

    if (!bCanceled) {
        if (!bChanged) {
            DeleteStyleArray(pUndoArray);
            pUndoArray = nullptr;
            if (pData)
                pData->DiscardUndoInfo();
        } else {
            if (pData)
                pData->EnableUndoInfo(bOldDataUndo);
            QueueFloatCellsRange(range, -1);
            QueueMergeCellsRange(range, -1);
            RedrawRange(rangeIn, pStyle, mt, nEffType, flags, TRUE);
            SetDocumentModified(TRUE);
            if (pUndoArray) {
                if (pData)
                    pUndoArray->Add(pData->GetUndoInfo());
                CGXCommand* pCmd = m_pUndoImp->CreateSetStyleRangeCmd(range, nEffType, pUndoArray);
                pUndoArray = nullptr;  // the command holds it now (or the factory dropped it)
                AddCommand(pCmd, ctCmd);
                if (ctCmd == gxUndo || ctCmd == gxRedo)
                    m_pUndoImp->SetCurrentCellAfterCommand(this, range.top, range.left, TRUE);
            }
        }
    } else {
        // What was done is whole rows from the top plus the current row up to the last cell
        // stored: restore or redraw rows top to the current row across the full width.
        const CGXCellRange done(range.top, range.left, nDoneRow, range.right);
        if (pUndoArray && CGXLongOperation::GetRollbackConfirmed()) {
            const ULONGLONG nDone = ULONGLONG(nDoneRow - range.top + 1) * nWidth;
            auto* pRestore = new CObArray;
            pRestore->SetSize(INT_PTR(nDone));
            for (ULONGLONG i = 0; i < nDone && i < ULONGLONG(pUndoArray->GetSize()); ++i) {
                pRestore->SetAt(INT_PTR(i), pUndoArray->GetAt(INT_PTR(i)));
                pUndoArray->SetAt(INT_PTR(i), nullptr);
            }
            const CObject* pDataUndo = nullptr;
            (void)pDataUndo;
            m_bInRangeStore = bOldInRangeStore;
            ApplyStyleToRange(done, nullptr, gxCopy, nEffType, pRestore, flags, gxRollback);
            m_bInRangeStore = TRUE;
            DeleteStyleArray(pRestore);
            DeleteStyleArray(pUndoArray);
            pUndoArray = nullptr;
        } else if (pUndoArray) {
            if (pData)
                pUndoArray->Add(pData->GetUndoInfo());
            CGXCommand* pCmd = m_pUndoImp->CreateSetStyleRangeCmd(range, nEffType, pUndoArray);
            pUndoArray = nullptr;
            AddCommand(pCmd, ctCmd);
            RedrawRange(done, pStyle, mt, nEffType, flags, TRUE);
        } else {
            RedrawRange(done, pStyle, mt, nEffType, flags, TRUE);
        }
        bChanged = FALSE;
        (void)nDoneCol;
    }

    if (pData)
        pData->EnableUndoInfo(bOldDataUndo);
    m_bInRangeStore = bOldInRangeStore;
    DeleteStyleArray(pUndoArray);
    return bChanged;
}

BOOL CGXGridCore::SetValueRange(const CGXCellRange& range, LPCTSTR pszValue, int mt, int nType, UINT flags, int ctCmd)
{
    CGXStyle* pStyle = NewScratchStyle();
    pStyle->SetValue(pszValue ? pszValue : "");
    const BOOL bResult = ApplyStyleToRange(range, pStyle, mt, nType, nullptr, flags, ctCmd);
    RecycleStyle(pStyle);
    return bResult;
}

BOOL CGXGridCore::StoreCellDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle)
{
    CGXStyle* pScratch = nullptr;
    if (!pStyle) {
        pScratch = NewScratchStyle();
        ComposeCellStyle(nRow, nCol, *pScratch, TRUE);
        pStyle = pScratch;
    }
    CGXControl* pControl = GetRegisteredControl(pStyle->GetIncludeControl() ? pStyle->GetControl() : WORD(0));
    const BOOL bResult = pControl ? pControl->StoreDisplayText(nRow, nCol, pszText, flags, pStyle) : FALSE;
    RecycleStyle(pScratch);
    return bResult;
}

void CGXGridCore::RedrawRange(const CGXCellRange& range, const CGXStyle* pStyle, int mt, int nType, UINT flags,
                              BOOL bSendHint)
{
    const BOOL bVisible = m_pGridWnd && m_pGridWnd->GetSafeHwnd() && m_pGridWnd->IsWindowVisible();
    if (!(m_pParam && m_pParam->m_bLockRedraw) && bVisible && flags != GX_NOREDRAW) {
        CGXCellRange r = range;
        if (r.IsCols())
            RedrawCells(0, r.left, RowCount(), r.right, flags);
        else if (r.IsRows())
            RedrawCells(r.top, 0, r.bottom, ColCount(), flags);
        else if (r.IsTable())
            RedrawCells(0, 0, RowCount(), ColCount(), flags);
        else {
            // Widen to the spans touching the corners.
            CGXCellRange span;
            if (SpanOfCell(r.top, r.left, span))
                r.UnionOf(r, span);
            if (SpanOfCell(r.bottom, r.right, span))
                r.UnionOf(r, span);
            RedrawCells(r.top, r.left, r.bottom, r.right, flags);
        }
    }
    if (m_pUpdateHintImp && bSendHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintStyleRange, &range, pStyle, DWORD(mt), DWORD(nType), flags);
}

// ---- Whole style tables ----

BOOL CGXGridCore::ChangeStylesMap(const CGXStylesMap& map, UINT flags, int ctCmd)
{
    CGXStylesMap* pMap = GetStylesMap();
    if (!pMap || (m_pParam->m_bLockReadOnly && IsReadOnly()))
        return FALSE;
    if (m_pUndoImp && ctCmd != gxRollback && m_pParam->IsEnableUndo())
        AddCommand(m_pUndoImp->CreateChangeStylesMapCmd(new CGXStylesMap(*pMap)), ctCmd);
    pMap->Assign(map);
    SetDocumentModified(TRUE);
    QueueFloatCellsRange(CGXCellRange().SetTable(), -1);
    OnStylesMapChanged(flags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::OnStylesMapChanged(UINT flags, BOOL bSendHint)
{
    RefreshBaseStylePointers();
    m_nVertFontUnit = m_nHorzFontUnit = 0;
    FreeGdiCache();
    FreeFontCache();
    ResetSizeCaches();
    Redraw(flags, FALSE);
    if (m_pUpdateHintImp && bSendHint && m_bHintsEnabled)
        return m_pUpdateHintImp->SendHint(this, gxHintStylesMap, nullptr, nullptr, flags);
    return TRUE;
}

BOOL CGXGridCore::ChangeProperties(const CGXProperties& props, UINT flags, int ctCmd)
{
    CGXProperties* pProps = GetProperties();
    if (!pProps || (m_pParam->m_bLockReadOnly && IsReadOnly()))
        return FALSE;
    if (m_pUndoImp && ctCmd != gxRollback && m_pParam->IsEnableUndo())
        AddCommand(m_pUndoImp->CreateChangePropertiesCmd(new CGXProperties(*pProps)), ctCmd);
    pProps->Assign(props);
    SetDocumentModified(TRUE);
    RedrawWithHint(flags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::RedrawWithHint(UINT flags, BOOL bSendHint)
{
    RefreshBaseStylePointers();
    Redraw(flags, FALSE);
    if (m_pUpdateHintImp && bSendHint && m_bHintsEnabled)
        return m_pUpdateHintImp->SendHint(this, gxHintProperties, nullptr, nullptr, flags);
    return TRUE;
}

BOOL CGXGridCore::ChangeBaseStyle(WORD wStyleId, const CGXStyle& style, int mt, UINT flags, int ctCmd)
{
    if (!m_pParam || !GetStylesMap() || (m_pParam->m_bLockReadOnly && IsReadOnly()))
        return FALSE;
    CGXStyle& base = LookupBaseStyle(wStyleId);
    if (m_bInitDone && m_pUndoImp && ctCmd != gxRollback && m_pParam->IsEnableUndo()) {
        UINT nResourceId = 0;
        LPCTSTR pszName = GetStylesMap()->LookupStyleName(wStyleId, nResourceId);
        AddCommand(m_pUndoImp->CreateChangeBaseStyleCmd(wStyleId, base, pszName ? pszName : ""), ctCmd);
    }
    base.ChangeStyle(style, mt);
    SetDocumentModified(TRUE);
    QueueFloatCellsRange(CGXCellRange().SetTable(), -1);
    OnBaseStyleChanged(wStyleId, flags, TRUE);
    return TRUE;
}

void CGXGridCore::OnBaseStyleChanged(WORD wStyleId, UINT flags, BOOL bSendHint)
{
    if (m_bInitDone) {
        RefreshBaseStylePointers();
        ReleaseMeasureDC();
        FreeGdiCache();
        FreeFontCache();
        m_nVertFontUnit = m_nHorzFontUnit = 0;
        ResetSizeCaches();
    }
    Redraw(flags, FALSE);
    if (m_pUpdateHintImp && bSendHint && m_bHintsEnabled)
        m_pUpdateHintImp->SendHint(this, gxHintBaseStyle, nullptr, nullptr, wStyleId, flags);
}

// ---- Control registry ----

CGXControl* CGXGridCore::GetRegisteredControl(WORD nID)
{
    if (nID == 0)
        return m_pDefaultControl;
    if (m_pLastControl && nID == m_nLastControlId)
        return m_pLastControl;
    auto it = m_controls.find(nID);
    CGXControl* pControl = it != m_controls.end() ? it->second : nullptr;
    if (!pControl) {
        if (CGXAbstractControlFactory* pFactory = GXGetLibraryState().m_pControlFactory)
            pControl = pFactory->CreateControl(nID, this);
        if (!pControl)
            return m_pDefaultControl;
        RegisterControl(nID, pControl, FALSE, FALSE);
    }
    m_nLastControlId = nID;
    m_pLastControl = pControl;
    return pControl;
}

void CGXGridCore::RegisterControl(WORD nID, CGXControl* pControl, BOOL bDefault, BOOL bRegisterName)
{
    auto it = m_controls.find(nID);
    if (it != m_controls.end() && it->second != pControl) {
        CGXControl* pOld = it->second;
        if (m_pLastControl == pOld) {
            m_pLastControl = nullptr;
            m_nLastControlId = 0;
        }
        if (m_pDefaultControl == pOld)
            m_pDefaultControl = nullptr;
        if (m_pCurrentCellControl == pOld)
            m_pCurrentCellControl = nullptr;
        delete pOld;
    }
    m_controls[nID] = pControl;
    if (bRegisterName)
        if (CGXStylesMap* pMap = GetStylesMap())
            pMap->RegisterControl(nID);
    if (bDefault || !m_pDefaultControl)
        m_pDefaultControl = pControl;
}
