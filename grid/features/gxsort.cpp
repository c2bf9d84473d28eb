#include "grid/features/gxsort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxlongop.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstate.h"
#include "platform/base/exceptions.h"
#include "platform/base/textcase.h"
#include "platform/sys/locale.h"
#include "platform/sys/ole.h"
#include "platform/ui/afxres.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

enum : DWORD { kNumberKey = 0, kTextKey = 1, kDateKey = 2, kDecideKey = 3 };
// Largest block a sort takes: positions must fit a signed 32-bit count.
constexpr ROWCOL kMaxSortedLines = 2147483646;
// Where the current cell goes before a sort: the first row; before a column sort, one right.
constexpr int kMoveFirstRow = 7;
constexpr int kMoveRight = 2;
// Flags a header click sorts with: redraw and update at once.
constexpr UINT kHeaderSortFlags = GX_UPDATENOW;

CString LoadText(UINT nID)
{
    GXRegisterLibraryStrings();
    CString s;
    s.LoadString(nID);
    return s;
}

// What a key that decides from its values accepts as a number: the characters a number is
// written with, and a minus only in front. The conversion still decides.
bool LooksNumeric(const CString& text)
{
    const char* p = text.GetString();
    for (const char* q = p; *q; ++q)
        if (!std::strchr("0123456789,.-e ", *q))
            return false;
    while (*p == ' ')
        ++p;
    return !std::strchr(p + (*p == '-' ? 1 : 0), '-');
}

bool ParseDate(const CString& text, double& value)
{
    COleDateTime date;
    if (!date.ParseDateTime(text, 0, LANG_USER_DEFAULT))
        return false;
    value = date.m_dt;
    return true;
}

// Tells the status bar: the long operation's status window, else the main frame.
void ShowStatus(const CString& text)
{
    HWND hStatus = GXGetLongOperationState().m_hStatusWnd;
    if (!hStatus || !::IsWindow(hStatus)) {
        CWnd* pMain = AfxGetMainWnd();
        hStatus = pMain ? pMain->GetSafeHwnd() : nullptr;
    }
    if (hStatus)
        ::SendMessage(hStatus, WM_SETMESSAGESTRING, 0, LPARAM(text.GetString()));
}

// Converts key k of every record to numbers (dates for a date key). An empty text counts as 0.
// A key that decided from its values and meets a text that is no number becomes a text key;
// in a key typed as number or date such a text counts as 0.
void ConvertKey(CGXSortKeyTable& table, size_t nRecords, int k, bool bDecided)
{
    const size_t K = size_t(table.nKeys);
    std::vector<double> values(nRecords, 0.0);
    for (size_t i = 0; i < nRecords; ++i) {
        const CString& text = table.texts[i * K + size_t(k)];
        if (text.IsEmpty())
            continue;
        double v = 0;
        const bool bOk = table.types[size_t(k)] == kDateKey
            ? ParseDate(text, v)
            : SUCCEEDED(VarR8FromStr(text, LOCALE_USER_DEFAULT, 0, &v));
        if (!bOk && bDecided) {
            table.types[size_t(k)] = kTextKey;
            return;
        }
        values[i] = bOk ? v : 0.0;
    }
    if (table.numbers.empty())
        table.numbers.resize(nRecords * K);
    for (size_t i = 0; i < nRecords; ++i) {
        table.numbers[i * K + size_t(k)] = values[i];
        table.texts[i * K + size_t(k)].Empty();
    }
}

// Turns a whole-table (or whole other-axis) range into the lines after the headers; false when
// nothing is left to sort.
bool SortedLines(CGXGridCore* pGrid, bool bRows, const CGXCellRange& range, ROWCOL& nFirst, ROWCOL& nLast)
{
    const ROWCOL nCount = bRows ? pGrid->RowCount() : pGrid->ColCount();
    const bool bWhole = range.IsTable() || (bRows ? range.IsCols() : range.IsRows());
    nFirst = bWhole ? (bRows ? pGrid->HeaderRows() : pGrid->HeaderCols()) + 1 : (bRows ? range.top : range.left);
    nLast = bWhole ? nCount : std::min(bRows ? range.bottom : range.right, nCount);
    return nFirst <= nLast && nLast - nFirst < kMaxSortedLines;
}

}  // namespace

// ---- Sorting ----

void CGXGridSortImp::SortKeys(CGXGridCore*, const CGXSortInfoArray& keys, CGXSortKeyTable& table)
{
    const size_t K = size_t(table.nKeys);
    auto compare = [&](DWORD a, DWORD b) {
        for (size_t k = 0; k < K; ++k) {
            int r = 0;
            if (table.types[k] != kTextKey) {
                const double x = table.numbers[a * K + k], y = table.numbers[b * K + k];
                r = x > y ? 1 : (x < y ? -1 : 0);  // numbers that do not order count as equal
            } else {
                r = table.collation[a * K + k].compare(table.collation[b * K + k]);
                if (r == 0 && keys[int(k)].bCase)
                    r = table.texts[a * K + k].Compare(table.texts[b * K + k]);
            }
            if (r != 0)
                return keys[int(k)].sortOrder ? r > 0 : r < 0;
        }
        return a < b;
    };
    std::sort(table.records.begin(), table.records.end(), compare);
}

namespace {

// The text a cell's control gives its value for comparing.
void CellKeyText(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CString& text)
{
    CGXStyle style;
    pGrid->ComposeCellStyle(nRow, nCol, style);
    CGXControl* pControl = pGrid->GetRegisteredControl(style.GetIncludeControl() ? style.GetControl() : WORD(0));
    if (!pControl || !pControl->GetStyleValueText(nRow, nCol, style, text))
        text = style.GetValue();
}

}  // namespace

void CGXGridSortImp::GetRowSortKeys(CGXGridCore* pGrid, ROWCOL nRow, const CGXSortInfoArray& keys, CString* pTexts)
{
    for (int k = 0; k < keys.GetSize(); ++k)
        CellKeyText(pGrid, nRow, keys[k].nRC, pTexts[k]);
}

void CGXGridSortImp::GetColSortKeys(CGXGridCore* pGrid, ROWCOL nCol, const CGXSortInfoArray& keys, CString* pTexts)
{
    for (int k = 0; k < keys.GetSize(); ++k)
        CellKeyText(pGrid, keys[k].nRC, nCol, pTexts[k]);
}

BOOL CGXGridSortImp::SortRows(CGXGridCore* pGrid, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags)
{
    return Sort(pGrid, true, range, keys, flags);
}

BOOL CGXGridSortImp::SortCols(CGXGridCore* pGrid, const CGXCellRange& range, const CGXSortInfoArray& keys, UINT flags)
{
    return Sort(pGrid, false, range, keys, flags);
}

BOOL CGXGridSortImp::Sort(CGXGridCore* pGrid, bool bRows, const CGXCellRange& range, const CGXSortInfoArray& keys,
                          UINT flags)
{
    CGXGridParam* pParam = pGrid->GetParam();
    ROWCOL nFirst = 0, nLast = 0;
    if (!pParam || (bRows ? pGrid->RowCount() : pGrid->ColCount()) < 2 || keys.GetSize() <= 0
        || !SortedLines(pGrid, bRows, range, nFirst, nLast))
        return FALSE;
    const size_t nRecords = size_t(nLast - nFirst) + 1;
    const CGXCellRange lines = bRows ? CGXCellRange().SetRows(nFirst, nLast) : CGXCellRange().SetCols(nFirst, nLast);

    pGrid->MoveCurrentCell(bRows ? kMoveFirstRow : kMoveRight);
    pGrid->StoreCurrentCellEdit();

    CGXLongOperation theOp;
    theOp.SetStatusText(LoadText(bRows ? GX_IDS_SORT_ROWS : GX_IDS_SORT_COLS), TRUE);
    CGXLongOperation::SetRollbackPossible(FALSE);
    CGXLongOperation::SetCanCancel(TRUE);

    CGXSortKeyTable table;
    table.nKeys = keys.GetSize();
    const size_t K = size_t(table.nKeys);
    std::vector<bool> allNumbers(K, true), allDates(K, true);
    try {
        table.types.resize(K);
        for (size_t k = 0; k < K; ++k)
            table.types[k] = keys[int(k)].sortType <= kDecideKey ? keys[int(k)].sortType : kTextKey;
        table.texts.resize(nRecords * K);
        for (size_t i = 0; i < nRecords; ++i) {
            CString* pTexts = &table.texts[i * K];
            const ROWCOL n = nFirst + ROWCOL(i);
            bRows ? GetRowSortKeys(pGrid, n, keys, pTexts) : GetColSortKeys(pGrid, n, keys, pTexts);
            for (size_t k = 0; k < K; ++k) {
                if (table.types[k] != kDecideKey || pTexts[k].IsEmpty())
                    continue;
                double v;
                if (allDates[k])
                    allDates[k] = ParseDate(pTexts[k], v);
                if (allNumbers[k])
                    allNumbers[k] = LooksNumeric(pTexts[k]);
            }
            BOOL bAbort = FALSE;
            if (theOp.ProcessMessagesQueryAbort(bAbort) && bAbort) {
                theOp.m_bShowDone = FALSE;
                ShowStatus(LoadText(GX_IDS_CANCELED));
                return FALSE;
            }
        }
        for (size_t k = 0; k < K; ++k) {
            const bool bDecided = table.types[k] == kDecideKey;
            if (bDecided)
                table.types[k] = allDates[k] ? kDateKey : (allNumbers[k] ? kNumberKey : kTextKey);
            if (table.types[k] != kTextKey)
                ConvertKey(table, nRecords, int(k), bDecided);
        }
        table.collation.resize(nRecords * K);
        for (size_t k = 0; k < K; ++k)
            if (table.types[k] == kTextKey)
                for (size_t i = 0; i < nRecords; ++i)
                    table.collation[i * K + k] = PvCollationKeyNoCase(table.texts[i * K + k].GetString());
        table.records.resize(nRecords);
        for (size_t i = 0; i < nRecords; ++i)
            table.records[i] = DWORD(i);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(GX_IDS_NOT_ENOUGH_MEMORY, MB_OK);
        return FALSE;
    } catch (const CMemoryException&) {
        AfxMessageBox(GX_IDS_NOT_ENOUGH_MEMORY, MB_OK);
        return FALSE;
    }

    SortKeys(pGrid, keys, table);

    CDWordArray order;
    order.SetSize(INT_PTR(nRecords));
    for (size_t i = 0; i < nRecords; ++i)
        order[INT_PTR(i)] = table.records[i];
    pParam->m_nLastSortedRow = bRows ? -1 : LONG(keys[0].nRC);
    pParam->m_nLastSortedCol = bRows ? LONG(keys[0].nRC) : -1;
    pParam->m_bLastSortAscending = !keys[0].sortOrder;
    return bRows ? pGrid->MoveDataRows(lines, order, flags, gxDo) : pGrid->MoveDataCols(lines, order, flags, gxDo);
}

// ---- Moving the data ----

BOOL CGXGridSortImp::MoveDataRows(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order, UINT flags,
                                  int ctCmd)
{
    return MoveData(pGrid, true, range, order, flags, ctCmd);
}

BOOL CGXGridSortImp::MoveDataCols(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order, UINT flags,
                                  int ctCmd)
{
    return MoveData(pGrid, false, range, order, flags, ctCmd);
}

BOOL CGXGridSortImp::MoveData(CGXGridCore* pGrid, bool bRows, const CGXCellRange& range, const CDWordArray& order,
                              UINT flags, int ctCmd)
{
    if (!(bRows ? pGrid->StoreMoveDataRows(range, order) : pGrid->StoreMoveDataCols(range, order)))
        return FALSE;
    pGrid->ClearRangeSelection(GX_NOREDRAW);
    const CGXCellRange table = CGXCellRange().SetTable();
    if (pGrid->GetFloatCellsMode())
        pGrid->QueueFloatCellsRange(table, -1);
    if (pGrid->GetMergeCellsMode())
        pGrid->QueueMergeCellsRange(table, -1);
    pGrid->RequestRecalc(1);
    bRows ? pGrid->UpdateMoveDataRows(range, flags, TRUE) : pGrid->UpdateMoveDataCols(range, flags, TRUE);

    CGXGridParam* pParam = pGrid->GetParam();
    if (pGrid->m_pUndoImp && ctCmd != gxRollback && pParam && pParam->IsEnableUndo()) {
        auto pInverse = std::make_unique<CDWordArray>();
        pInverse->SetSize(order.GetSize());
        for (INT_PTR i = 0; i < order.GetSize(); ++i)
            (*pInverse)[INT_PTR(order[i])] = DWORD(i);
        CGXCommand* pCmd = bRows ? pGrid->m_pUndoImp->CreateMoveDataRowsCmd(range, pInverse.release())
                                 : pGrid->m_pUndoImp->CreateMoveDataColsCmd(range, pInverse.release());
        pGrid->AddCommand(pCmd, ctCmd);
    }
    return TRUE;
}

BOOL CGXGridSortImp::StoreMoveDataRows(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order)
{
    CGXData* pData = pGrid->GetData();
    return pData && pData->MoveRowsForSort(range, order);
}

BOOL CGXGridSortImp::StoreMoveDataCols(CGXGridCore* pGrid, const CGXCellRange& range, const CDWordArray& order)
{
    CGXData* pData = pGrid->GetData();
    return pData && pData->MoveColsForSort(range, order);
}

namespace {

// The current cell shows what moved into it; the other views of the document follow.
void MovedData(CGXGridCore* pGrid, int nHint, const CGXCellRange& range, UINT flags, BOOL bHint)
{
    pGrid->StoreCurrentCellEdit(FALSE, 0, TRUE);
    const CGXGridParam* pParam = pGrid->GetParam();
    if (!(pParam && pParam->m_bLockRedraw))
        pGrid->Redraw(flags);
    if (bHint && pGrid->m_pUpdateHintImp && pGrid->IsUpdateHintsEnabled())
        pGrid->m_pUpdateHintImp->SendHint(pGrid, nHint, &range, nullptr, 0, 0, flags);
}

}  // namespace

void CGXGridSortImp::OnMovedDataRows(CGXGridCore* pGrid, const CGXCellRange& range, UINT flags, BOOL bHint)
{
    MovedData(pGrid, gxHintMoveDataRows, range, flags, bHint);
}

void CGXGridSortImp::OnMovedDataCols(CGXGridCore* pGrid, const CGXCellRange& range, UINT flags, BOOL bHint)
{
    MovedData(pGrid, gxHintMoveDataCols, range, flags, bHint);
}

// ---- Header clicks ----

BOOL CGXGridSortImp::SortOnHeaderClick(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    const CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return FALSE;
    const bool bRows = nRow == 0 && nCol > 0;
    const bool bCols = nCol == 0 && nRow > 0;
    if (!(bRows && pParam->m_bSortRowsOnDblClk) && !(bCols && pParam->m_bSortColsOnDblClk))
        return FALSE;
    const ROWCOL nKey = bRows ? nCol : nRow;
    const LONG nLastSorted = bRows ? pParam->m_nLastSortedCol : pParam->m_nLastSortedRow;
    CGXSortInfoArray keys;
    keys.SetSize(1);
    keys[0] = GXSortInfo {};
    keys[0].nRC = nKey;
    keys[0].sortType = kDecideKey;
    keys[0].sortOrder = nLastSorted == LONG(nKey) && pParam->m_bLastSortAscending ? 1 : 0;
    const CGXCellRange table = CGXCellRange().SetTable();
    if (bRows) {
        pGrid->SortRows(table, keys, kHeaderSortFlags);
        pGrid->MoveCurrentCell(kMoveFirstRow);
    } else {
        pGrid->SortCols(table, keys, kHeaderSortFlags);
        pGrid->MoveCurrentCell(kMoveRight);
    }
    return TRUE;
}

void CGXGridCore::InstallSortImp()
{
    if (m_pSortImp)
        return;
    auto* p = new CGXGridSortImp;
    m_pSortImp = p;
    AddImpToDeleteList(p);
    GXInstallSortMoveDataImp();
}

// ---- The store's reordering ----

namespace {

// Entry i of the order names the offset of the line that goes to offset i: every offset once.
bool IsPermutation(const CDWordArray& order)
{
    std::vector<bool> seen(size_t(order.GetSize()));
    for (INT_PTR i = 0; i < order.GetSize(); ++i) {
        const DWORD n = order[i];
        if (n >= seen.size() || seen[n])
            return false;
        seen[n] = true;
    }
    return true;
}

// Permutes the pointers of one array from nFirst on; entries beyond its end count as empty, and
// the array grows only as far as a non-empty entry lands.
void Permute(CPtrArray& array, ROWCOL nFirst, const CDWordArray& order)
{
    const INT_PTR nSize = array.GetSize();
    const INT_PTR nCount = order.GetSize();
    if (INT_PTR(nFirst) >= nSize)
        return;
    std::vector<void*> taken(size_t(nCount), nullptr);
    INT_PTR nUsed = 0;
    for (INT_PTR i = 0; i < nCount; ++i) {
        const INT_PTR from = INT_PTR(nFirst) + INT_PTR(order[i]);
        if (from < nSize && (taken[size_t(i)] = array[from]))
            nUsed = i + 1;
    }
    if (INT_PTR(nFirst) + nUsed > nSize)
        array.SetSize(INT_PTR(nFirst) + nUsed);
    const INT_PTR nEnd = std::min(nCount, array.GetSize() - INT_PTR(nFirst));
    for (INT_PTR i = 0; i < nEnd; ++i)
        array[INT_PTR(nFirst) + i] = taken[size_t(i)];
}

}  // namespace

BOOL CGXGridSortMoveDataImp::MoveDataRows(CGXData& data, const CGXCellRange& range, const CDWordArray& order)
{
    if (!IsPermutation(order) || uint64_t(range.top) + uint64_t(order.GetSize()) > uint64_t(ROWCOL(-1)))
        return FALSE;
    Permute(data.m_pStyleMap, range.top, order);
    Permute(data.m_apRowBaseStyles, range.top, order);
    return TRUE;
}

BOOL CGXGridSortMoveDataImp::MoveDataCols(CGXData& data, const CGXCellRange& range, const CDWordArray& order)
{
    if (!IsPermutation(order) || uint64_t(range.left) + uint64_t(order.GetSize()) > uint64_t(ROWCOL(-1)))
        return FALSE;
    for (INT_PTR r = 0; r < data.m_pStyleMap.GetSize(); ++r)
        if (CGXStylePtrArray* row = data.m_pStyleMap.GetRow(r))
            Permute(*row, range.left, order);
    Permute(data.m_apColBaseStyles, range.left, order);
    return TRUE;
}

void GXInstallSortMoveDataImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (d->m_pSortMoveDataImp)
        return;
    auto* p = new CGXGridSortMoveDataImp;
    d->m_pSortMoveDataImp = p;
    GXGetLibraryState().AddImpToDeleteList(p);
}
