// The DAO grid: counting and fetching records, positioning, columns from fields, reading and
// writing fields, deleting and sorting.

#include "grid/record/gxdaogrid.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "grid/core/gxctrl.h"
#include "grid/core/gxdaofmt.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxstymap.h"
#include "grid/record/gxrowhdr.h"
#include "platform/base/exceptions.h"
#include "platform/base/textcase.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

// Directions of MoveCurrentCell that go down, and the one to the top-left cell.
enum : int { kUp = 1, kDown = 3, kPageDown = 5, kFirstRow = 7 };
constexpr UINT kIdsBinary = 20133;
// Texts of a store the field refuses.
constexpr LPCTSTR kUnboundField = "You have tried to modify the value of an unbound field!";
constexpr LPCTSTR kUnsupportedType = "Trying to store unsupported field type to data source";
// Light grey and pattern 4 mark a record deleted under the grid.
constexpr COLORREF kDeletedTextColor = RGB(0xC0, 0xC0, 0xC0);
constexpr int kDeletedPattern = 4;

// Widths in characters of the field types with a fixed display.
long FixedWidthOfType(short nType, BOOL bMemoAsText, long nSize)
{
    switch (nType) {
    case dbBoolean: return 4;
    case dbByte: return 3;
    case dbInteger: return 6;
    case dbLong:
    case dbCurrency: return 11;
    case dbSingle:
    case dbDouble: return 29;
    case dbDate: return 24;
    case dbText: return nSize;
    case dbLongBinary: return 0;
    case dbMemo: return bMemoAsText ? 0x7fffffff : 50;
    case dbGUID: return 50;
    default: AfxThrowNotSupportedException();
    }
}

GXDaoFieldStyle StyleOfType(short nType)
{
    switch (nType) {
    case dbBoolean: return gxDaoBoolean;
    case dbCurrency: return gxDaoCurrency;
    case dbDate: return gxDaoDate;
    case dbText: return gxDaoText;
    case dbLongBinary: return gxDaoBinary;
    case dbMemo: return gxDaoMemo;
    case dbGUID: return gxDaoGUID;
    default: return gxDaoNumeric;
    }
}

// A whole number and nothing else (blanks around it allowed).
bool ParseWhole(const CString& s, long long& v)
{
    const char* p = s;
    while (*p == ' ')
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtoll(p, &end, 10);
    if (errno == ERANGE || end == p)
        return false;
    while (*end == ' ')
        ++end;
    return *end == '\0';
}

bool ParseReal(const CString& s, double& v)
{
    const char* p = s;
    while (*p == ' ')
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtod(p, &end);
    if (errno == ERANGE || end == p || !std::isfinite(v))
        return false;
    while (*end == ' ')
        ++end;
    return *end == '\0';
}

}  // namespace

GXDaoTextParse GXDaoVariantFromText(short nType, const CString& sText, BOOL bMemoAsText, COleVariant& var)
{
    long long n = 0;
    double d = 0;
    switch (nType) {
    case dbBoolean:
        if (PvCompareNoCase(sText.str(), "TRUE") == 0)
            var = COleVariant(short(-1), VT_BOOL);
        else if (PvCompareNoCase(sText.str(), "FALSE") == 0)
            var = COleVariant(short(0), VT_BOOL);
        else
            return GXDaoTextParse::invalid;
        return GXDaoTextParse::ok;
    case dbByte:
        if (!ParseWhole(sText, n) || n < 0 || n > 255)
            return GXDaoTextParse::invalid;
        var = COleVariant(BYTE(n));
        return GXDaoTextParse::ok;
    case dbInteger:
    case dbLong: {
        const long long lo = nType == dbInteger ? -32768 : INT32_MIN, hi = nType == dbInteger ? 32767 : INT32_MAX;
        if (!ParseWhole(sText, n) || n < lo || n > hi)
            return GXDaoTextParse::invalid;
        var = COleVariant(long(n), VT_I4);
        return GXDaoTextParse::ok;
    }
    case dbCurrency: {
        COleCurrency cy;
        if (!cy.ParseCurrency(sText) || cy.GetStatus() != COleCurrency::valid)
            return GXDaoTextParse::invalid;
        var = COleVariant(cy);
        return GXDaoTextParse::ok;
    }
    case dbSingle:
        if (!ParseReal(sText, d) || std::fabs(d) > FLT_MAX)
            return GXDaoTextParse::invalid;
        var = COleVariant(float(d));
        return GXDaoTextParse::ok;
    case dbDouble:
        if (!ParseReal(sText, d))
            return GXDaoTextParse::invalid;
        var = COleVariant(d);
        return GXDaoTextParse::ok;
    case dbDate: {
        COleDateTime dt;
        if (dt.ParseDateTime(sText) && dt.GetStatus() == COleDateTime::valid) {
            var = COleVariant(double(DATE(dt)), VT_DATE);
            return GXDaoTextParse::ok;
        }
        // A whole number is a day count; anything else is no date.
        if (!ParseWhole(sText, n) || n < -657434 || n > 2958465)
            return GXDaoTextParse::invalid;
        var = COleVariant(double(n), VT_DATE);
        return GXDaoTextParse::ok;
    }
    case dbText:
    case dbGUID:
        var = COleVariant(sText);
        return GXDaoTextParse::ok;
    case dbMemo:
        if (!bMemoAsText)
            return GXDaoTextParse::unsupported;
        var = COleVariant(sText);
        return GXDaoTextParse::ok;
    default:
        return GXDaoTextParse::unsupported;
    }
}

CGXDaoGrid::CGXDaoGrid(CWnd* pGridWnd, CDocument* pDocument, BOOL bIsViewContext)
    : CGXBrowserGrid(pGridWnd, pDocument, bIsViewContext)
{
    m_sBinary.LoadString(kIdsBinary);
}

// ---- Binding and initialisation ----

void CGXDaoGrid::ForgetPosition()
{
    m_nCurrentRecordIndex = -1;
    m_varBookmark.Clear();
}

void CGXDaoGrid::SetRecordset(CDaoRecordset* pRecordset)
{
    m_pRecordset = pRecordset;
    m_fieldTypes.clear();
    // The former recordset's position means nothing in this one.
    ForgetPosition();
}

void CGXDaoGrid::SetAllowAppend(BOOL bAllow)
{
    if (CGXDaoParam* p = DaoParamObject())
        p->m_bAllowAppend = bAllow ? 1 : 0;
}

BOOL CGXDaoGrid::ExchangeUpdateLock(BOOL bLock)
{
    if (!m_pParam)
        return FALSE;
    const BOOL bOld = m_pParam->m_bLockRedraw;
    m_pParam->m_bLockRedraw = bLock;
    return bOld;
}

void CGXDaoGrid::ShowDaoError(const CDaoException& e)
{
    AfxMessageBox(e.m_pErrorInfo ? LPCTSTR(e.m_pErrorInfo->m_strDescription) : "", MB_ICONEXCLAMATION);
}

void CGXDaoGrid::Initialize()
{
    const BOOL bGiven = GetParam() != nullptr;
    const BOOL bWasInit = bGiven && GetParam()->m_bIsInit;
    if (!bGiven)
        AttachParam(new CGXDaoParam, TRUE);
    CGXBrowserGrid::Initialize();
    SetupRowHeader();
    CGXDaoParam* p = DaoParamObject();
    if (!p)
        return;
    if (!p->m_pRecordStyle)
        p->m_pRecordStyle = std::make_unique<CGXStyle>();
    CGXStylesMap* pMap = GetStylesMap();
    if (pMap) {
        pMap->AddUserAttribute(GX_IDS_UA_CHECKED_VALUE);
        pMap->AddUserAttribute(GX_IDS_UA_UNCHECKED_VALUE);
    }
    CGXStyle standard;
    standard.SetUserAttribute(GX_IDS_UA_CHECKED_VALUE, "TRUE").SetUserAttribute(GX_IDS_UA_UNCHECKED_VALUE, "FALSE");
    ModifyStandardStyle(standard, gxOverride, GX_NOREDRAW, gxRollback);
    if (auto* pHeader = dynamic_cast<CGXBrowseGridArrowRowHeader*>(GetRegisteredControl(GX_IDS_CTRL_ROWHEADER)))
        pHeader->m_bDrawEdge = FALSE;

    if (bWasInit) {
        if (m_pRecordset && !m_pRecordset->IsOpen()) {
            try {
                m_pRecordset->Open();
            } catch (const CDaoException& e) {
                ShowDaoError(e);
            }
        }
        return;
    }
    if (pMap) {
        CGXStyle styles[gxDaoStyleCount];
        styles[gxDaoBoolean].SetControl(GX_IDS_CTRL_CHECKBOX3D).SetHorizontalAlignment(DT_CENTER).SetVerticalAlignment(DT_VCENTER);
        styles[gxDaoBinary].SetControl(GX_IDS_CTRL_OLEPREVIEW);
        styles[gxDaoDeletedRows].SetTextColor(kDeletedTextColor).SetInterior(CGXPackedBrush(GX_BS_PATTERN, kDeletedTextColor)).SetEnabled(FALSE);
        CGXPackedBrush deleted(GX_BS_PATTERN, kDeletedTextColor);
        deleted.SetPattern(kDeletedPattern);
        styles[gxDaoDeletedRows].SetInterior(deleted);
        for (int i = 0; i < gxDaoStyleCount; ++i)
            p->m_awFieldStyleIds[i] = pMap->RegisterStyleByResource(GX_IDS_STYLE_DAO_FIRST + UINT(i), styles[i]);
    }
    if (m_pRecordset)
        ReloadFromRecordset();
}

// A read-only grid never opens a record edit, whatever the recordset allows.
BOOL CGXDaoGrid::CanUpdate() { return CGXBrowserGrid::CanUpdate() && IsOpen() && m_pRecordset->CanUpdate(); }

BOOL CGXDaoGrid::CanAppend() { return CGXBrowserGrid::CanAppend() && IsOpen() && m_pRecordset->CanAppend(); }

BOOL CGXDaoGrid::IsRecordCountKnown()
{
    const CGXDaoParam* p = DaoParamObject();
    return p && p->m_nFetchStartCount != -1;
}

ROWCOL CGXDaoGrid::RecordCount()
{
    const CGXDaoParam* p = DaoParamObject();
    if (!p || !IsOpen())
        return 0;
    return p->m_bLastRecordSeen ? ROWCOL(p->m_nLastFetchedRecord + 1) : GX_MAXROWCOL_UNKNOWN;
}

// ---- Columns ----

long CGXDaoGrid::DisplayWidthOfFieldType(const CDaoFieldInfo& info)
{
    const CGXDaoParam* p = DaoParamObject();
    return FixedWidthOfType(info.m_nType, p ? p->m_bMemoAsText : TRUE, info.m_lSize);
}

WORD CGXDaoGrid::DescribeFieldColumn(const CDaoFieldInfo& info, CString& sHeader, long& nWidth)
{
    nWidth = std::max<long>(DisplayWidthOfFieldType(info), info.m_strName.GetLength());
    sHeader = info.m_strName;
    const CGXDaoParam* p = DaoParamObject();
    return p ? p->m_awFieldStyleIds[StyleOfType(info.m_nType)] : 0;
}

void CGXDaoGrid::ReloadFromRecordset()
{
    CGXDaoParam* p = DaoParamObject();
    if (!p)
        return;
    StoreCurrentCellEdit(TRUE);
    PlaceCurrentCell(GX_INVALID, GX_INVALID);
    p->m_nLastFetchedRecord = -1;
    p->m_bLastRecordSeen = 0;
    p->m_nEditMode = gxNoEdit;
    p->m_RowOrder.RemoveAll();
    p->m_ColOrder.RemoveAll();
    p->m_nCacheTopRow = -1;
    // Whatever the recordset was doing before, the grid starts over from its first record.
    ForgetPosition();
    m_nTopRow = FrozenRows() + 1;
    m_nLeftCol = FrozenCols() + 1;
    if (m_pRecordset) {
        try {
            CWaitCursor wait;
            if (!m_pRecordset->IsOpen())
                m_pRecordset->Open();
            if (!m_pRecordset->IsEOF())
                m_pRecordset->MoveFirst();
        } catch (const CDaoException& e) {
            ShowDaoError(e);
        }
    }
    CGXStyle standard;
    standard.SetReadOnly(!CanUpdate());
    ModifyStandardStyle(standard, gxOverride, GX_NOREDRAW, gxRollback);

    const BOOL bOldUndo = p->IsEnableUndo();
    p->EnableUndo(FALSE);
    const DWORD bOldLock = p->m_bLockRedraw;
    p->m_bLockRedraw = TRUE;
    PrepareRows(HeaderRows() + 1);
    CGXData* pData = GetData();
    short nFields = 0;
    try {
        nFields = IsOpen() ? m_pRecordset->GetFieldCount() : 0;
    } catch (const CDaoException&) {
        nFields = 0;
    }
    if (pData) {
        pData->SetRowCount(0);
        pData->SetColCount(0);
        pData->SetRowCount(HeaderRows() + 0);
        pData->SetColCount(HeaderCols() + ROWCOL(nFields));
    }
    p->m_nFieldCount = WORD(nFields);
    ResetEditBuffer();
    m_defaultChecked.assign(size_t(nFields), false);
    m_fieldTypes.assign(size_t(nFields), short(-1));
    // The widths go in at once: each change of widths resets the size caches and tells the views.
    std::vector<int> widths(static_cast<size_t>(nFields));
    const int nFontUnit = HorzFontUnit();
    static const CGXUserAttribute numeric("1");
    for (short i = 0; i < nFields; ++i) {
        const ROWCOL nCol = HeaderCols() + ROWCOL(i) + 1;
        widths[size_t(i)] = ColWidth(nCol);
        CDaoFieldInfo info;
        try {
            m_pRecordset->GetFieldInfo(i, info);
        } catch (const CDaoException&) {
            continue;
        }
        m_fieldTypes[size_t(i)] = info.m_nType;
        CString sHeader;
        long nWidth = 0;
        const WORD nStyle = DescribeFieldColumn(info, sHeader, nWidth);
        if (pData)
            pData->StoreValueRowCol(0, nCol, sHeader, gxOverride);
        const long nChars = std::min<long>(nWidth, long(p->m_nMaxColumnChars));
        widths[size_t(i)] = int(nChars * nFontUnit);
        CGXStyle column;
        if (info.m_nType >= dbBoolean && info.m_nType <= dbDouble)
            column.SetUserAttribute(GX_IDS_UA_NUMERIC_FIELD, numeric);
        column.SetMaxLength(WORD(std::min<long>(nWidth, 0xFFFF))).SetBaseStyle(nStyle);
        if (pData)
            pData->StoreStyleRowCol(0, nCol, &column, gxOverride, -1);
    }
    if (nFields > 0)
        SetColWidths(HeaderCols() + 1, HeaderCols() + ROWCOL(nFields), 0, widths.data(), GX_NOREDRAW, gxRollback);
    PrepareRows(HeaderRows() + 2);
    // Placed while drawing is locked: the redraw below paints the grid once, with the cell. A
    // grid without a data cell refuses the move itself.
    MoveCurrentCell(kFirstRow, 1);
    p->m_bLockRedraw = bOldLock;
    p->EnableUndo(bOldUndo);
    p->m_nEditMode = gxNoEdit;
    FreeGdiCache();
    MoveCurrentCell(kFirstRow, 1);
    Redraw(GX_INVALIDATE);
}

// ---- Fetching and positioning ----

long CGXDaoGrid::SyncCurrentRecord()
{
    if (m_nCurrentRecordIndex >= 0) {
        try {
            m_pRecordset->SetBookmark(m_varBookmark);
            return m_nCurrentRecordIndex;
        } catch (const CDaoException&) {
            // the record is gone: start over from the first one
        }
    }
    m_pRecordset->MoveFirst();
    m_nCurrentRecordIndex = 0;
    m_varBookmark = m_pRecordset->GetBookmark();
    return 0;
}

BOOL CGXDaoGrid::MoveToRecordIndex(long nIndex, BOOL bSync)
{
    try {
        if (bSync || m_nCurrentRecordIndex < 0)
            SyncCurrentRecord();
        const long nDelta = nIndex - m_nCurrentRecordIndex;
        if (nDelta != 0 && !(nDelta > 0 && m_pRecordset->IsEOF()) && !(nDelta < 0 && m_pRecordset->IsBOF()))
            m_pRecordset->Move(nDelta);
        if (m_pRecordset->IsEOF() || m_pRecordset->IsBOF()) {
            ForgetPosition();
            return FALSE;
        }
        m_varBookmark = m_pRecordset->GetBookmark();
        m_nCurrentRecordIndex = nIndex;
        return TRUE;
    } catch (const CDaoException&) {
        ForgetPosition();
        return FALSE;
    }
}

BOOL CGXDaoGrid::MoveToRecordRow(ROWCOL nRow)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || !IsOpen() || nRow <= HeaderRows())
        return FALSE;
    const long nIndex = RecordIndexOfRow(nRow);
    const long nCount = p->m_bLastRecordSeen ? p->m_nLastFetchedRecord + 1 : p->m_nLastFetchedRecord + 1;
    if (nIndex < 0 || nIndex >= nCount)
        return FALSE;
    if (nIndex == m_nCurrentRecordIndex && !m_pRecordset->IsEOF() && !m_pRecordset->IsBOF())
        return TRUE;
    if (m_pRecordset->IsBOF() && m_pRecordset->IsEOF()) {
        p->m_bLastRecordSeen = 1;
        p->m_nLastFetchedRecord = -1;
        return FALSE;
    }
    std::optional<CWaitCursor> wait;
    if (m_nCurrentRecordIndex < 0 || std::labs(nIndex - m_nCurrentRecordIndex) > p->m_nWaitCursorThreshold)
        if (std::labs(nIndex - std::max(0L, m_nCurrentRecordIndex)) > p->m_nWaitCursorThreshold)
            wait.emplace();
    if (MoveToRecordIndex(nIndex, m_nCurrentRecordIndex < 0))
        return TRUE;
    if (m_pRecordset->IsEOF())
        p->m_bLastRecordSeen = 1;
    return FALSE;
}

void CGXDaoGrid::PrepareRows(ROWCOL nRow)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || p->m_bLastRecordSeen || !IsOpen())
        return;
    const BOOL bAll = nRow > GX_PREPARE_ALL_ROWS;
    long nTarget = 0x7fffffff;  // records wanted, counted from 1
    if (!bAll) {
        const long nWanted = long(RowOrderIndex(nRow)) - long(HeaderRows());
        if (nWanted <= 0 || p->m_nLastFetchedRecord + 1 >= nWanted)
            return;
        const long nBlock = std::max<long>(1, p->m_nFetchBlock);
        nTarget = nBlock * ((nWanted - 1) / nBlock + 1);
    }
    const ROWCOL nOldRows = RowCount();
    CDaoRecordset* rs = m_pRecordset;
    try {
        p->m_nFetchStartCount = rs->GetType() == dbOpenTable ? -1 : rs->GetRecordCount();
        if (rs->IsBOF() && rs->IsEOF()) {
            p->m_nLastFetchedRecord = -1;
            p->m_bLastRecordSeen = 1;
            return;
        }
        const long nCurrent = SyncCurrentRecord();
        // The walk starts after the records read so far: a dynaset has counted them itself.
        const BOOL bCounted = p->m_nFetchStartCount != -1;
        long nIndex = bCounted ? std::max<long>(0, p->m_nFetchStartCount - 1)
                               : std::max<long>(p->m_nLastFetchedRecord + 1, nCurrent);
        std::optional<CWaitCursor> wait;
        if (nTarget - 1 - nIndex > p->m_nWaitCursorThreshold)
            wait.emplace();
        if (bCounted) {
            if (nIndex != nCurrent && !MoveToRecordIndex(nIndex, FALSE))
                nIndex = SyncCurrentRecord();
            while (nIndex < nTarget - 1 && !rs->IsEOF()) {
                rs->MoveNext();
                nIndex = rs->GetRecordCount() - 1;
            }
            p->m_nLastFetchedRecord = rs->GetRecordCount() - 1;
        } else {
            if (nIndex != nCurrent && !MoveToRecordIndex(nIndex, FALSE))
                nIndex = p->m_nLastFetchedRecord + 1;
            while (nIndex < nTarget && !rs->IsEOF()) {
                rs->MoveNext();
                ++nIndex;
            }
            p->m_nLastFetchedRecord = nIndex - 1;
        }
        p->m_bLastRecordSeen = rs->IsEOF();
        if (!rs->IsEOF() && !rs->IsBOF()) {
            m_varBookmark = rs->GetBookmark();
            m_nCurrentRecordIndex = nIndex;
        } else {
            ForgetPosition();
        }
    } catch (const CDaoException&) {
        // What was counted so far stands; the next move finds its place again.
        ForgetPosition();
    }
    if (RowCount() != nOldRows && m_bInitDone) {
        ResetSizeCaches();
        UpdateScrollBars();
    }
}

void CGXDaoGrid::PrepareDrawRecords()
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || p->m_nCacheSize == -1 || !IsOpen() || m_pRecordset->GetType() == dbOpenTable
        || (m_pRecordset->IsBOF() && m_pRecordset->IsEOF()) || !m_pRecordset->CanBookmark())
        return;
    const ROWCOL nTop = IsPrinting() ? m_nPrintTopRow : m_nTopRow;
    const ROWCOL nLast = LastVisibleRow();
    if (p->m_nCacheTopRow != -1 && ROWCOL(p->m_nCacheTopRow) <= nTop
        && ROWCOL(p->m_nCacheTopRow + p->m_nCacheSize) >= nLast)
        return;
    p->m_nCacheTopRow = long(nTop);
    if (!MoveToRecordRow(nTop))
        return;
    try {
        m_pRecordset->SetCacheStart(m_pRecordset->GetBookmark());
        m_pRecordset->SetCacheSize(p->m_nCacheSize);
        m_pRecordset->FillCache();
    } catch (const CDaoException&) {
    }
}

void CGXDaoGrid::OnPrepareDrawing(ROWCOL nRows, ROWCOL)
{
    // The rows the window can show are fetched before they are drawn.
    PrepareRows(m_nTopRow + nRows);
}

BOOL CGXDaoGrid::OnGridVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    const CGXDaoParam* p = DaoParamObject();
    if (p && !p->m_bLastRecordSeen && m_bInitDone) {
        const ROWCOL nPage = std::max<ROWCOL>(1, LastVisibleRow() >= m_nTopRow ? LastVisibleRow() - m_nTopRow + 1 : 1);
        switch (nSBCode) {
        case SB_BOTTOM: PrepareRows(GX_INVALID); break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN: PrepareRows(m_nTopRow + 2 * nPage + 1); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // A drag to the bar's end reads the next block, never everything. The row is taken
            // from the bar before the fetch lengthens it, and the drop goes where the drag was.
            const BOOL bSameDrag = nSBCode == SB_THUMBPOSITION && m_bThumbTargetKept && nPos == m_nThumbPos;
            const ROWCOL nTarget = bSameDrag ? m_nThumbTarget : ThumbPositionToRow(int(nPos));
            m_bThumbTargetKept = nSBCode == SB_THUMBTRACK;
            m_nThumbPos = nPos;
            m_nThumbTarget = nTarget;
            PrepareRows(nTarget + nPage + 1);
            if (nSBCode == SB_THUMBTRACK && !m_pParam->m_bThumbTrack)
                return TRUE;
            if (nTarget > m_nTopRow)
                ScrollCells(kDown, nTarget - m_nTopRow);
            else if (nTarget < m_nTopRow)
                ScrollCells(kUp, m_nTopRow - nTarget);
            return TRUE;
        }
        default: break;
        }
    }
    m_bThumbTargetKept = FALSE;
    return CGXBrowserGrid::OnGridVScroll(nSBCode, nPos, pScrollBar);
}

BOOL CGXDaoGrid::MoveCurrentCell(int nDirection, UINT nCount, BOOL bSelect)
{
    const CGXDaoParam* p = DaoParamObject();
    if (p && !p->m_bLastRecordSeen && m_bInitDone && (nDirection == kDown || nDirection == kPageDown)) {
        const ROWCOL nFrom = m_bHasCurrentCell ? m_nCurrentRow : m_nTopRow;
        const ROWCOL nPage = LastVisibleRow() >= m_nTopRow ? LastVisibleRow() - m_nTopRow + 1 : 1;
        PrepareRows(nFrom + std::max<ROWCOL>(nCount, 1) * (nDirection == kPageDown ? nPage : 1) + nPage);
    }
    return CGXBrowserGrid::MoveCurrentCell(nDirection, nCount, bSelect);
}

void CGXDaoGrid::Requery()
{
    StoreCurrentCellEdit(TRUE);
    ForgetPosition();
    if (CGXDaoParam* p = DaoParamObject()) {
        p->m_bLastRecordSeen = 0;
        p->m_nLastFetchedRecord = -1;
        p->m_nCacheTopRow = -1;
    }
    if (IsOpen()) {
        try {
            CWaitCursor wait;
            m_pRecordset->Requery();
        } catch (const CDaoException& e) {
            ShowDaoError(e);
        }
    }
    FreeGdiCache();
    // The rows in view are read again at once.
    PrepareRows(std::max(m_bHasCurrentCell ? m_nCurrentRow : 0, std::max(m_nTopRow, LastVisibleRow())));
    if (m_bHasCurrentCell)
        if (CGXControl* pControl = CurrentCellControl())
            pControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
}

void CGXDaoGrid::OnAfterAppend()
{
    FreeGdiCache();
    if (CGXDaoParam* p = DaoParamObject())
        p->m_bLastRecordSeen = 0;
    PrepareRows(GX_INVALID);
}

// ---- Transactions ----

void CGXDaoGrid::BeginTransaction(LPCTSTR pszName)
{
    if (IsOpen() && m_pRecordset->m_pDatabase && m_pRecordset->m_pDatabase->CanTransact())
        m_pRecordset->m_pDatabase->m_pWorkspace->BeginTrans();
    CGXBrowserGrid::BeginTransaction(pszName);
}

void CGXDaoGrid::CommitTransaction()
{
    if (IsOpen() && m_pRecordset->m_pDatabase && m_pRecordset->m_pDatabase->CanTransact())
        m_pRecordset->m_pDatabase->m_pWorkspace->CommitTrans();
    CGXBrowserGrid::CommitTransaction();
}

void CGXDaoGrid::Rollback()
{
    if (IsOpen() && m_pRecordset->m_pDatabase && m_pRecordset->m_pDatabase->CanTransact())
        m_pRecordset->m_pDatabase->m_pWorkspace->Rollback();
    CGXBrowserGrid::Rollback();
    Requery();
}

// ---- Cells ----

short CGXDaoGrid::FieldType(short nField)
{
    if (nField >= 0 && size_t(nField) < m_fieldTypes.size() && m_fieldTypes[size_t(nField)] >= 0)
        return m_fieldTypes[size_t(nField)];
    CDaoFieldInfo info;
    m_pRecordset->GetFieldInfo(nField, info);
    return info.m_nType;
}

BOOL CGXDaoGrid::ColumnValueText(CString& sText, ROWCOL nCol)
{
    const CGXDaoParam* p = DaoParamObject();
    const short nField = FieldIndexOfCol(nCol);
    return FormatFieldValue(sText, m_pRecordset, nField, p ? p->m_bMemoAsText : TRUE, FieldType(nField));
}

BOOL CGXDaoGrid::ReadBinaryCell(ROWCOL nRow, ROWCOL nCol, CGXStyle& style)
{
    const CGXDaoParam* p = DaoParamObject();
    if (!p || p->m_bPlainBinaryCells)
        return FALSE;
    if (!IsLongBinaryType(FieldType(FieldIndexOfCol(nCol))))
        return FALSE;
    style.SetValue(BinaryText());
    if (LoadBinaryForCurrentCellOnly() && !IsCurrentCellAt(nRow, nCol))
        return TRUE;
    // The current cell's control gets the field's bytes (or its null) as the cell's value.
    COleVariant var;
    m_pRecordset->GetFieldValue(FieldIndexOfCol(nCol), var);
    auto* pAttr = new CGXOleVarUserAttribute;
    pAttr->SetVariant(var);
    style.SetUserAttributePtr(GX_IDS_UA_DAOBITMAP, pAttr);
    return TRUE;
}

void CGXDaoGrid::SupplyPendingBlob(ROWCOL nRow, ROWCOL nCol, const CGXAbstractBlob& blob, CGXStyle& style)
{
    // A pending object shows in the current cell as the record's own bytes would.
    const auto* pDaoBlob = dynamic_cast<const CGXDaoBlob*>(&blob);
    if (!pDaoBlob || (LoadBinaryForCurrentCellOnly() && !IsCurrentCellAt(nRow, nCol)))
        return;
    auto* pAttr = new CGXOleVarUserAttribute;
    pAttr->SetVariant(pDaoBlob->m_var);
    style.SetUserAttributePtr(GX_IDS_UA_DAOBITMAP, pAttr);
}

BOOL CGXDaoGrid::ReadCellValue(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bValueSupplied)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p)
        return FALSE;
    const short k = FieldIndexOfCol(nCol);
    const BOOL bField = k >= 0 && k < short(p->m_nFieldCount);
    const CGXStyle* pColumn = ColumnBaseStyle(nCol);

    // The append row shows the field's default, kept as the value of the column's base style.
    if (p->m_bLastRecordSeen && bField && nRow == RowCount() && CanAppend() && !(pColumn && pColumn->GetIncludeValue())
        && size_t(k) < m_defaultChecked.size() && !m_defaultChecked[size_t(k)]) {
        m_defaultChecked[size_t(k)] = true;
        try {
            CDaoFieldInfo info;
            m_pRecordset->GetFieldInfo(k, info, AFX_DAO_ALL_INFO);
            CString sDefault = info.m_strDefaultValue;
            if (sDefault.GetLength() >= 2 && sDefault[0] == '"' && sDefault[sDefault.GetLength() - 1] == '"')
                sDefault = sDefault.Mid(1, sDefault.GetLength() - 2);
            if (!sDefault.IsEmpty() && GetData()) {
                CGXStyle value;
                value.SetValue(sDefault);
                GetData()->StoreStyleRowCol(0, nCol, &value, gxApplyNew, -1);
                pColumn = ColumnBaseStyle(nCol);  // the store may have replaced it
            }
        } catch (const CDaoException&) {
        }
    }

    BOOL bResult = FALSE;
    if (nRow > HeaderRows() && !bValueSupplied) {
        if (bField && MoveToRecordRow(nRow)) {
            try {
                if (!ReadBinaryCell(nRow, nCol, style)) {
                    if (!ColumnValueText(m_sFieldText, nCol))
                        m_sFieldText.Empty();  // a field without a text shows none
                    style.SetValue(m_sFieldText);
                }
            } catch (const CDaoException&) {
                style.SetBaseStyle(p->m_awFieldStyleIds[gxDaoDeletedRows]);
            }
        } else if (p->m_bLastRecordSeen) {
            const ROWCOL nAppend = AppendRowNumber();
            const BOOL bAppendRows = nAppend != GX_INVALID
                                     && (nRow == nAppend || (p->m_nEditMode == gxAddNewRecord && nRow == nAppend + 1));
            if (!bAppendRows)
                style.SetEnabled(FALSE);
        }
        bResult = TRUE;
    }
    if (bResult && pColumn && pColumn->HasUserAttribute(GX_IDS_UA_NUMERIC_FIELD))
        style.SetValueType(GX_VT_NUMBER);
    return bResult;
}

short CGXDaoGrid::BoundField(ROWCOL nCol)
{
    const CGXDaoParam* p = DaoParamObject();
    const short k = FieldIndexOfCol(nCol);
    if (!p || !IsOpen() || k < 0 || k >= short(p->m_nFieldCount)) {
        SetWarningText(kUnboundField);
        AfxThrowNotSupportedException();
    }
    return k;
}

void CGXDaoGrid::StoreFieldValue(ROWCOL, ROWCOL nCol, const CString& sText)
{
    const short k = BoundField(nCol);
    if (sText.IsEmpty()) {
        m_pRecordset->SetFieldValueNull(k);
        return;
    }
    CDaoFieldInfo info;
    m_pRecordset->GetFieldInfo(k, info);
    const CGXDaoParam* p = DaoParamObject();
    COleVariant var;
    switch (GXDaoVariantFromText(info.m_nType, sText, p->m_bMemoAsText, var)) {
    case GXDaoTextParse::ok:
        if (var.vt == VT_BSTR)
            m_pRecordset->SetFieldValue(k, LPCTSTR(sText));
        else
            m_pRecordset->SetFieldValue(k, var);
        return;
    case GXDaoTextParse::invalid:
        SetWarningText("The value \"" + sText + "\" is not valid for the field \"" + info.m_strName + "\".");
        AfxThrowNotSupportedException();
    case GXDaoTextParse::unsupported:
        SetWarningText(kUnsupportedType);
        AfxThrowNotSupportedException();
    }
}

void CGXDaoGrid::StoreFieldBlob(ROWCOL, ROWCOL nCol, CGXAbstractBlob* pBlob)
{
    const short k = BoundField(nCol);
    CDaoFieldInfo info;
    m_pRecordset->GetFieldInfo(k, info);
    if (auto* pDaoBlob = dynamic_cast<CGXDaoBlob*>(pBlob); pDaoBlob && IsLongBinaryType(info.m_nType))
        m_pRecordset->SetFieldValue(k, pDaoBlob->m_var);
}

BOOL CGXDaoGrid::TakeBlobFromStyle(const CGXStyle& style, short nField)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || nField < 0 || !style.HasUserAttribute(GX_IDS_UA_DAOBITMAP))
        return FALSE;
    // Only a value a control marked as changed is new; the current cell carries the record's own.
    const auto* pAttr = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
    if (!pAttr || !pAttr->IsChanged())
        return FALSE;
    if (p->m_EditBuffer.size() <= size_t(nField))
        p->m_EditBuffer.resize(size_t(nField) + 1);
    CGXBrowseEditEntry& e = p->m_EditBuffer[size_t(nField)];
    auto* pBlob = dynamic_cast<CGXDaoBlob*>(e.pBlob.get());
    if (!pBlob) {
        e.pBlob = std::make_unique<CGXDaoBlob>();
        pBlob = static_cast<CGXDaoBlob*>(e.pBlob.get());
    } else {
        pBlob->Clear();
    }
    if (const VARIANT* pVar = pAttr->GetVariant())
        pBlob->m_var = *pVar;
    // The mark is the style's own state, not part of its value: taking the value clears it.
    const_cast<CGXOleVarUserAttribute*>(pAttr)->SetChanged(FALSE);
    e.bModified = TRUE;
    return TRUE;
}

BOOL CGXDaoGrid::WriteRecordFields(ROWCOL nRow, CString* pErrorText)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || !IsOpen())
        return FALSE;
    CDaoRecordset* rs = m_pRecordset;
    const BOOL bAdding = p->m_nEditMode == gxAddNewRecord;
    COleVariant saved;
    BOOL bSaved = FALSE;
    try {
        if (rs->CanBookmark() && !rs->IsBOF() && !rs->IsEOF()) {
            saved = rs->GetBookmark();
            bSaved = TRUE;
        }
    } catch (const CDaoException&) {
    }
    BOOL bEditing = FALSE;
    try {
        if (bAdding) {
            rs->AddNew();
        } else {
            if (!MoveToRecordRow(nRow))
                PvThrowDaoError(JET_ERR_NO_CURRENT_RECORD, "No current record.");
            rs->Edit();
        }
        bEditing = TRUE;
        CString sError;
        if (!FlushEditBuffer(nRow, &sError)) {
            // Nothing of a refused record is written; the edit stays open with every value.
            rs->CancelUpdate();
            if (pErrorText)
                *pErrorText = sError;
            ForgetPosition();
            return FALSE;
        }
        rs->Update();
        bEditing = FALSE;
    } catch (const CDaoException& e) {
        if (bEditing)
            try {
                rs->CancelUpdate();
            } catch (const CDaoException&) {
            }
        if (pErrorText)
            *pErrorText = e.m_pErrorInfo ? e.m_pErrorInfo->m_strDescription : CString();
        ForgetPosition();
        return FALSE;
    } catch (const CException&) {
        if (bEditing)
            try {
                rs->CancelUpdate();
            } catch (const CDaoException&) {
            }
        if (pErrorText)
            pErrorText->Empty();
        ForgetPosition();
        return FALSE;
    }
    if (bAdding && rs->CanBookmark()) {
        try {
            rs->SetBookmark(rs->GetLastModifiedBookmark());
            const long nPos = rs->GetAbsolutePosition();
            const long nIndex = RecordIndexOfRow(nRow);
            if (nPos >= 0 && nPos != nIndex) {
                // The new record sits elsewhere in the recordset: the row shows it there.
                CDWordArray& order = p->m_RowOrder;
                if (order.GetSize() <= INT_PTR(nRow))
                    order.SetSize(INT_PTR(nRow) + 1);
                for (ROWCOL r = HeaderRows() + 1; r < nRow; ++r)
                    if (RecordIndexOfRow(r) >= nPos)
                        order[INT_PTR(r)] = DWORD(RowOrderIndex(r) + 1);
                order[INT_PTR(nRow)] = DWORD(nPos + long(HeaderRows()) + 1);
                if (!m_pParam->m_bLockRedraw)
                    Redraw(GX_INVALIDATE);
            }
        } catch (const CDaoException&) {
        }
    }
    ForgetPosition();
    if (bSaved)
        try {
            rs->SetBookmark(saved);
        } catch (const CDaoException&) {
        }
    return TRUE;
}

// ---- Deleting and sorting ----

BOOL CGXDaoGrid::DeleteRecords(const CDWordArray& firsts, const CDWordArray& lasts)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || !IsOpen())
        return FALSE;
    StoreCurrentCellEdit(TRUE);
    if (p->m_nEditMode != gxNoEdit) {
        BOOL bInside = FALSE;
        for (INT_PTR i = 0; i < firsts.GetSize(); ++i)
            bInside = bInside || (firsts[i] <= p->m_nCurrentRecordRow && p->m_nCurrentRecordRow <= lasts[i]);
        if (bInside)
            DiscardRecordEdit();
        else if (!UpdateRecord())
            return FALSE;
    }
    const DWORD bOldLock = p->m_bLockRedraw;
    p->m_bLockRedraw = TRUE;
    const BOOL bOldUndo = p->IsEnableUndo();
    p->EnableUndo(FALSE);
    CDaoDatabase* pDb = m_pRecordset->m_pDatabase;
    const BOOL bTrans = pDb && pDb->CanTransact();
    if (bTrans)
        pDb->m_pWorkspace->BeginTrans();
    ROWCOL nFirstDeleted = GX_INVALID;
    try {
        std::vector<long> indexes;
        for (INT_PTR i = 0; i < firsts.GetSize(); ++i) {
            nFirstDeleted = std::min<ROWCOL>(nFirstDeleted, firsts[i]);
            for (ROWCOL r = firsts[i]; r <= lasts[i] && r <= RowCount(); ++r)
                if (const long n = RecordIndexOfRow(r); n >= 0 && n <= p->m_nLastFetchedRecord)
                    indexes.push_back(n);
        }
        std::sort(indexes.begin(), indexes.end());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        CDWordArray& order = p->m_RowOrder;
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
            m_pRecordset->SetAbsolutePosition(*it);
            m_pRecordset->Delete();
            try {
                m_pRecordset->MovePrev();
            } catch (const CDaoException&) {
            }
            const DWORD nDeletedRow = DWORD(*it + long(HeaderRows()) + 1);
            for (INT_PTR i = 0; i < order.GetSize(); ++i)
                if (order[i] > nDeletedRow)
                    --order[i];
        }
        for (INT_PTR i = firsts.GetSize(); i-- > 0;) {
            const INT_PTR nFrom = INT_PTR(firsts[i]);
            if (nFrom < order.GetSize())
                order.RemoveAt(nFrom, std::min<INT_PTR>(INT_PTR(lasts[i]), order.GetSize() - 1) - nFrom + 1);
        }
        if (bTrans)
            pDb->m_pWorkspace->CommitTrans();
        ClearRangeSelection(GX_NOREDRAW);
    } catch (const CDaoException& e) {
        if (bTrans)
            pDb->m_pWorkspace->Rollback();
        ShowDaoError(e);
    } catch (const CException&) {
        if (bTrans)
            pDb->m_pWorkspace->Rollback();
    }
    ForgetPosition();
    p->m_nLastFetchedRecord = -1;
    p->m_bLastRecordSeen = 0;
    p->m_nCacheTopRow = -1;
    if (m_pRecordset->IsBOF() && m_pRecordset->IsEOF())
        Requery();
    const ROWCOL nRow = nFirstDeleted == GX_INVALID ? HeaderRows() + 1 : nFirstDeleted;
    PrepareRows(nRow);
    p->EnableUndo(bOldUndo);
    p->m_bLockRedraw = bOldLock;
    FreeGdiCache();
    if (RowCount() > HeaderRows()) {
        ForgetCurrentCell();
        PlaceCurrentCell(std::min(nRow, RowCount()), m_nCurrentCol > HeaderCols() ? m_nCurrentCol : HeaderCols() + 1);
    }
    Redraw(GX_INVALIDATE);
    return TRUE;
}

BOOL CGXDaoGrid::SortRows(const CGXCellRange&, const CGXSortInfoArray& sortInfo, UINT)
{
    CGXDaoParam* p = DaoParamObject();
    if (!p || !IsOpen() || sortInfo.GetSize() == 0)
        return FALSE;
    CString sSort;
    for (int i = 0; i < sortInfo.GetSize(); ++i) {
        const short k = FieldIndexOfCol(ROWCOL(sortInfo[i].nRC));
        if (k < 0 || k >= short(p->m_nFieldCount))
            return FALSE;
        CDaoFieldInfo info;
        m_pRecordset->GetFieldInfo(k, info);
        // Long texts and binaries have no order.
        if (info.m_nType == dbLongBinary || info.m_nType == dbMemo)
            return FALSE;
        if (i > 0)
            sSort += ", ";
        sSort += "[" + info.m_strName + "]";
        if (sortInfo[i].sortOrder == gxSortDescending)
            sSort += " DESC";
    }
    MoveCurrentCell(kFirstRow, 1);
    StoreCurrentCellEdit(TRUE);
    if (p->m_nEditMode != gxNoEdit && !UpdateRecord())
        return FALSE;
    m_pRecordset->m_strSort = sSort;
    ClearRangeSelection(GX_NOREDRAW);
    Requery();
    p->m_nLastSortedCol = LONG(sortInfo[0].nRC);
    p->m_nLastSortDirection = sortInfo[0].sortOrder;
    Redraw(GX_INVALIDATE);
    MoveCurrentCell(kFirstRow, 1);
    return TRUE;
}
