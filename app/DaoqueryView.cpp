// The directory pane.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/Config.h"
#include "app/DirectoryDialogs.h"
#include "app/DirectoryQuery.h"
#include "app/FrameCommands.h"
#include "app/PaneViews.h"
#include "app/ViewerDoc.h"
#include "grid/core/gxcolor.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxprop.h"
#include "platform/base/CFile.h"
#include "platform/ui/cmdui.h"
#include "resources/directory_ids.h"
#include "resources/frame_ids.h"

#include "platform/base/textcase.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNCREATE(CDaoqueryView, CGXDaoRecordView)

namespace {

// MoveCurrentCell's directions.
constexpr int kMoveLeft = 2, kMoveRight = 4;
// MoveCurrentCell's direction to the first data row.
constexpr int kMoveFirstRow = 7;
// The cell-mouse flags of a press and a release.
constexpr UINT kCellDown = 0x04, kCellUp = 0x10;
// Page Up and Page Down move this many entries while a details page is shown.
constexpr long kPageEntries = 7;
// The view's cell tips wait this long (ms) once the cell-tip plug-in exists.
constexpr UINT kCellTipDelay = 500;
// The borderless pane 0 that shows "Ready".
constexpr int kReadyPaneWidth = 350;

const char kNoEntriesText[] = "The directory contains no entries that match your criteria, please try again";
const char kNoMatchText[] = "No records were found that match your search.";
const char kNoRankText[] = "Error! Unable to sort this column, [%s] was not found in the directory database.";

// A key text is a record key when it is a whole number above 0.
long KeyOfText(const CString& text)
{
    CString t = text;
    t.Trim();
    if (t.IsEmpty() || t.GetLength() > 10)
        return -1;
    long v = 0;
    for (int i = 0; i < t.GetLength(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return -1;
        v = v * 10 + (t[i] - '0');
    }
    return v > 0 ? v : -1;
}

} // namespace

BEGIN_MESSAGE_MAP(CDaoqueryView, CGXDaoRecordView)
    ON_COMMAND(ID_RECORD_FIRST, OnFirstEntry)
    ON_COMMAND(ID_RECORD_LAST, OnLastEntry)
    ON_COMMAND(ID_RECORD_NEXT, OnNextEntry)
    ON_COMMAND(ID_RECORD_PREV, OnPrevEntry)
    ON_COMMAND_RANGE(ID_KEY_DOWN, ID_KEY_HOME, OnKeyEntry)
    ON_COMMAND_RANGE(ID_KEY_PAGEUP, ID_KEY_PAGEDOWN, OnKeyEntry)
    ON_COMMAND_RANGE(ID_KEY_LEFT, ID_KEY_RIGHT, OnKeyLeftRight)
    ON_COMMAND_RANGE(ID_ZOOM_ENLARGE, ID_ZOOM_100, OnZoomCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_ZOOM_ENLARGE, ID_ZOOM_REDUCE, OnUpdateZoomInOut)
    ON_UPDATE_COMMAND_UI(ID_ZOOM_100, OnUpdateZoom100)
    ON_COMMAND(ID_NO_ENTRIES_MESSAGE, OnNoEntriesMessage)
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_CONTEXTMENU()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CDaoqueryView::CDaoqueryView() = default;

CDaoqueryView::~CDaoqueryView()
{
    SaveGridSettings();
}

CViewerDoc* CDaoqueryView::GetViewerDoc() const { return dynamic_cast<CViewerDoc*>(CGXView::GetDocument()); }

CMainFrame* CDaoqueryView::GetMainFrame() const
{
    return m_hWnd ? dynamic_cast<CMainFrame*>(GetParentFrame()) : nullptr;
}

CString CDaoqueryView::GridSettingsPath() { return GetDataPath() + "GridSettings.dat"; }

// ---- Status bar ----

void CDaoqueryView::SetPaneText(int nPane, const CString& strText)
{
    if (CMainFrame* pFrame = GetMainFrame(); pFrame && pFrame->m_wndStatusBar.m_hWnd)
        pFrame->m_wndStatusBar.SetPaneText(nPane, strText);
}

void CDaoqueryView::ShowFootnoteOrReady()
{
    CViewerDoc* pDoc = GetViewerDoc();
    if (pDoc && !pDoc->m_strFootnote.IsEmpty()) {
        SetPaneText(0, pDoc->m_strFootnote);
        return;
    }
    CMainFrame* pFrame = GetMainFrame();
    if (!pFrame || !pFrame->m_wndStatusBar.m_hWnd)
        return;
    UINT nID = 0, nStyle = 0;
    int cx = 0;
    pFrame->m_wndStatusBar.GetPaneInfo(0, nID, nStyle, cx);
    if (nStyle != (SBPS_NOBORDERS | SBPS_STRETCH) || cx != kReadyPaneWidth)
        pFrame->m_wndStatusBar.SetPaneInfo(0, nID, SBPS_NOBORDERS | SBPS_STRETCH, kReadyPaneWidth);
    if (pFrame->m_wndStatusBar.GetPaneText(0) != "Ready")
        pFrame->m_wndStatusBar.SetPaneText(0, "Ready");
}

// ---- Initial update and the view's own query ----

void CDaoqueryView::DeletePleaseWait() { m_pPleaseWait.reset(); }

void CDaoqueryView::OnInitialUpdate()
{
    DeletePleaseWait();
    InstallIntelliMousePlugin();
    CViewerDoc* pDoc = GetViewerDoc();
    BOOL bFirstSetup = FALSE;
    if (pDoc && !pDoc->m_pGridParam) {
        pDoc->m_pGridParam = new CGXDaoParam;
        bFirstSetup = TRUE;
    }
    if (pDoc)
        AttachParam(pDoc->m_pGridParam, FALSE);
    if (pDoc) {
        m_pDatabase = &pDoc->m_database;
        SetRecordset(&pDoc->m_recordset);
        if (!OpenQuery())
            SetRecordset(nullptr);
    }
    m_bBlankPaint = FALSE;
    if (m_pPleaseWait) {
        m_pPleaseWait->Close();
        CGXDaoRecordView::OnInitialUpdate();
        DeletePleaseWait();
    } else {
        CGXDaoRecordView::OnInitialUpdate();
    }
    ReloadFromRecordset();
    EnableUpdateHints(FALSE);
    InstallCellTipPlugin(nullptr, FALSE, FALSE, kCellTipDelay);
    CGXGridParam* pParam = GetParam();
    if (pParam)
        pParam->EnableUndo(FALSE);
    if (bFirstSetup && pParam) {
        ApplyFixedColumnWidths();
        CGXStyle standard;
        standard.SetFont(CGXFont().SetSize(8.0));
        ModifyStandardStyle(standard, gxOverride, GX_NOREDRAW, gxRollback);
        pParam->SetImmediateScrollUpdate(TRUE);
        pParam->SetDrawOrder(0);
        pParam->SetGridLineStyle(1);
        pParam->SetSelectionFlags(3);
        if (CGXProperties* pProps = GetProperties()) {
            pProps->SetMarkRowHeader(TRUE);
            pProps->SetMarkColumnHeader(TRUE);
        }
        const CGXPackedPen nullPen(PS_NULL, 1, RGB(0, 0, 0));
        CGXStyle colHeader;
        colHeader.SetBorders(gxBorderAll, nullPen)
            .SetAutoSize(TRUE)
            .SetHorizontalAlignment(DT_LEFT)
            .SetInteriorColor(GXSYSCOLOR(COLOR_BTNFACE));
        ModifyColumnHeaderStyle(colHeader, gxOverride, GX_NOREDRAW, gxRollback);
        CGXStyle rowHeader;
        rowHeader.SetBorders(gxBorderAll, nullPen);
        ModifyRowHeaderStyle(rowHeader, gxOverride, GX_NOREDRAW, gxRollback);
        pParam->SetSetupOption(TRUE);
        pParam->SetOptionMask(15);
    }
    SetAllowAppend(FALSE);
    SetReadOnly(TRUE);
    if (pParam)
        pParam->EnableUndo(FALSE);
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol)
        if (!IsColHidden(nCol)) {
            PlaceCurrentCell(HeaderRows() + 1, nCol);
            break;
        }
    // The footnote is read from the open database only: a user who gave up on it at start-up
    // is not asked again.
    if (pDoc && pDoc->m_database.IsOpen() && !PvStartupAbandoned())
        pDoc->GetFootnote();
    ShowFootnoteOrReady();
    ApplyFixedColumnWidths();
    ResetSortState();
}

BOOL CDaoqueryView::OpenQuery()
{
    CViewerDoc* pDoc = GetViewerDoc();
    CDaoRecordset* pSet = GetRecordset();
    // A user who gave up on the database while the frame was made is not asked again.
    if (!pDoc || !pSet || PvStartupAbandoned())
        return FALSE;
    try {
        pDoc->OpenDirectoryDatabase();
        CString defaultSort;
        pDoc->GetDefaultSort(defaultSort);
        CString statement = pDoc->m_strQuery.IsEmpty() ? ShowAllQuery(defaultSort) : pDoc->m_strQuery;
        CString base = statement, sort;
        const BOOL bHasOrder = SplitOrderBy(base, sort);
        if (pSet->IsOpen() && statement.Find(pSet->GetSQL()) == 0 && !pSet->GetSQL().IsEmpty()) {
            m_nTotalRecords = CountStatementRecords(m_pDatabase, base);
        } else {
            if (pSet->IsOpen())
                pSet->Close();
            CGXDaoParam* pParam = DaoParamObject();
            if (pParam) {
                CGXRecSetInfo* pInfo = pParam->GetRecSetInfo();
                pInfo->m_sText1 = statement;
                pInfo->m_sText3 = GetDatabasePath();
            }
            pSet->m_strSort.Empty();
            pSet->m_strFilter.Empty();
            pSet->m_strSort = bHasOrder ? sort : defaultSort;
            pSet->m_pDatabase = m_pDatabase;
            if (!m_pPleaseWait) {
                m_pPleaseWait = std::make_unique<CPleaseWaitDlg>();
                if (!m_pPleaseWait->Create(this))
                    m_pPleaseWait.reset();
            }
            if (!OpenAndCount(*pSet, base))
                return FALSE;
            pDoc->m_strSort = pSet->m_strSort;
        }
        SetPaneText(2, TotalRecordsText(m_nTotalRecords));
        return TRUE;
    } catch (const CDaoException&) {
        m_bEmptyNotice = TRUE;
        DeletePleaseWait();
        const BOOL bBlank = OpenBlank();
        SetPaneText(2, kNoRecordsFound);
        return bBlank;
    } catch (const CViewerAbort&) {
        // The user gave up on the database; the frame is closing.
        DeletePleaseWait();
        return FALSE;
    }
}

BOOL CDaoqueryView::OpenAndCount(CDaoRecordset& set, const CString& strStatement)
{
    set.Open(AFX_DAO_USE_DEFAULT_TYPE, strStatement);
    set.SetLockingMode(FALSE);
    if (!set.IsOpen())
        return FALSE;
    // The count of the same statement is what moving to the last record learns, without
    // reading a sorted keyset to its end; a result without records is a failure.
    m_nTotalRecords = CountStatementRecords(m_pDatabase, strStatement);
    if (m_nTotalRecords < 0) {
        set.MoveLast();
        m_nTotalRecords = set.GetRecordCount();
    }
    if (m_nTotalRecords == 0)
        PvThrowDaoError(JET_ERR_NO_CURRENT_RECORD, "No current record.");
    return TRUE;
}

BOOL CDaoqueryView::OpenBlank()
{
    CDaoRecordset* pSet = GetRecordset();
    if (!pSet)
        return FALSE;
    m_nTotalRecords = 0;
    try {
        if (pSet->IsOpen())
            pSet->Close();
        pSet->m_strSort.Empty();
        pSet->m_strFilter.Empty();
        pSet->m_pDatabase = m_pDatabase;
        pSet->Open(AFX_DAO_USE_DEFAULT_TYPE, kBlankQuery);
        return pSet->IsOpen();
    } catch (const CDaoException&) {
        // Not even the Blank table: the grid stays empty over a closed recordset.
        if (pSet->IsOpen())
            pSet->Close();
        return FALSE;
    }
}

// ---- Running queries ----

BOOL CDaoqueryView::RunQuery(const CString& strStatement)
{
    CViewerDoc* pDoc = GetViewerDoc();
    if (!pDoc)
        return FALSE;
    if (!GetRecordset())
        SetRecordset(&pDoc->m_recordset);
    CDaoRecordset* pSet = GetRecordset();
    if (!m_pDatabase)
        m_pDatabase = &pDoc->m_database;
    BOOL bOldLock = FALSE;
    BOOL bLocked = FALSE;
    try {
        if (pSet->IsOpen()) {
            PlaceCurrentCell(HeaderRows() + 1, HeaderCols() + 1);
            pSet->Close();
        }
        pSet->m_strSort.Empty();
        pSet->m_strFilter.Empty();
        CString statement = strStatement, sort;
        if (SplitOrderBy(statement, sort))
            pSet->m_strSort = sort;
        pSet->m_pDatabase = m_pDatabase;
        CPleaseWaitDlg wait;
        if (!wait.Create(this))
            AfxMessageBox("Dialog is not created");
        pDoc->OpenDirectoryDatabase();
        OpenAndCount(*pSet, statement);
        wait.Close();

        bOldLock = ExchangeUpdateLock(TRUE);
        bLocked = TRUE;
        ReloadFromRecordset();
        if (m_bSettingsPending) {
            LoadGridSettings();
            m_bSettingsPending = FALSE;
        }
        ApplyFixedColumnWidths();
        ExchangeUpdateLock(bOldLock);
        bLocked = FALSE;
        Redraw(GX_INVALIDATE);

        if (pSet->IsOpen()) {
            for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol)
                if (FieldNameOfCol(nCol).CompareNoCase(kLastNameField) == 0 && !IsColHidden(nCol)) {
                    PlaceCurrentCell(HeaderRows() + 1, nCol);
                    break;
                }
        }
        ResetSortState();
        SetPaneText(2, TotalRecordsText(m_nTotalRecords));
        pDoc->GetFootnote();
        ShowFootnoteOrReady();
        pDoc->m_strQuery = strStatement;
        pDoc->m_strSort = pSet->m_strSort;
        return pSet->IsOpen();
    } catch (const CDaoException&) {
        if (!bLocked)
            bOldLock = ExchangeUpdateLock(TRUE);
        // Without the Blank table the grid lets go of the closed recordset, which it would
        // otherwise try to open again on its own and report in the engine's words.
        if (!OpenBlank())
            SetRecordset(nullptr);
        ReloadFromRecordset();
        // The grid shows the placeholder, or nothing at all when the Blank table failed too:
        // neither is a layout to keep.
        m_bPlaceholder = TRUE;
        for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol)
            StoreHideCol(nCol, IsRankColumnName(FieldNameOfCol(nCol)));
        ResetSizeCaches();
        ResetSortState();
        ExchangeUpdateLock(bOldLock);
        Redraw(GX_INVALIDATE);
        SetPaneText(2, kNoRecordsFound);
        AfxMessageBox(kNoMatchText, MB_ICONINFORMATION);
        return FALSE;
    } catch (const CViewerAbort&) {
        // The user gave up on the database and the frame has closed with this view: nothing
        // of it may be touched.
        return FALSE;
    }
}

BOOL CDaoqueryView::RequeryAllEntries(BOOL bKeepWidths)
{
    try {
        // The widths belong to the columns where they stand: the columns keep their order too.
        CDWordArray order;
        if (bKeepWidths) {
            const ROWCOL nCols = ColCount();
            m_savedWidths.assign(size_t(nCols), 0);
            if (nCols > 0)
                FillColWidths(1, nCols, m_savedWidths.data());
            if (const CGXDaoParam* pDao = DaoParamObject())
                order.Copy(pDao->m_ColOrder);
        }
        const BOOL bOk = RunQuery(kDirectoryQuery);
        if (bKeepWidths) {
            RestoreColumnOrder(order);
            // The query before may have had fewer columns: later columns keep the width the
            // reload gave them.
            for (ROWCOL nCol = 1; nCol <= ColCount(); ++nCol) {
                if (IsColHidden(nCol))
                    HideCols(nCol, nCol, TRUE, nullptr, GX_NOREDRAW, gxRollback);
                else if (nCol <= m_savedWidths.size())
                    SetColWidths(nCol, nCol, m_savedWidths[nCol - 1], nullptr, GX_NOREDRAW, gxRollback);
            }
            m_savedWidths.clear();
            Redraw(GX_INVALIDATE);
        }
        return bOk;
    } catch (const CDaoException&) {
        m_savedWidths.clear();
        throw;
    } catch (const CException&) {
        m_savedWidths.clear();
        return FALSE;
    } catch (const std::exception&) {
        m_savedWidths.clear();
        return FALSE;
    }
}

void CDaoqueryView::RefreshGrid()
{
    const BOOL bOldLock = ExchangeUpdateLock(TRUE);
    ResetSizeCaches();
    UpdateScrollBars();
    ExchangeUpdateLock(bOldLock);
    Redraw(GX_INVALIDATE);
}

// ---- Columns ----

void CDaoqueryView::ReloadFromRecordset()
{
    m_columnMenu.DestroyMenu();
    m_columnMenu.CreatePopupMenu();
    m_nNextMenuId = ID_COLUMN_MENU_FIRST;
    m_bPlaceholder = FALSE;
    m_fieldNames.clear();
    m_rankField.clear();
    m_nDescribedCol = HeaderCols();
    CGXDaoRecordView::ReloadFromRecordset();
}

WORD CDaoqueryView::DescribeFieldColumn(const CDaoFieldInfo& info, CString& sHeader, long& nWidth)
{
    const WORD nStyle = CGXDaoRecordView::DescribeFieldColumn(info, sHeader, nWidth);
    const ROWCOL nCol = ++m_nDescribedCol;
    const CString& name = info.m_strName;
    const bool bRank = IsRankColumnName(name);
    m_fieldNames.push_back(name);
    m_rankField.push_back(bRank);
    if (bRank) {
        StoreHideCol(nCol, TRUE);
    } else {
        if (name == kNoRecordsFound) {
            StoreHideCol(nCol, FALSE);
            m_bPlaceholder = TRUE;
        } else {
            StoreHideCol(nCol, IsHiddenName(name));
        }
        m_columnMenu.AppendMenu(MF_STRING, m_nNextMenuId++, MenuTextOfField(name));
    }
    nWidth = DirectoryColumnChars(DisplayWidthOfFieldType(info), sHeader);
    return nStyle;
}

CString CDaoqueryView::FieldNameOfCol(ROWCOL nCol)
{
    const short k = FieldIndexOfCol(nCol);
    return k >= 0 && size_t(k) < m_fieldNames.size() ? m_fieldNames[size_t(k)] : CString();
}

int CDaoqueryView::GetColumnIndex(const CString& strField)
{
    const CString name = FieldOfMenuText(strField);
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol) {
        CString field = FieldNameOfCol(nCol);
        if (field == "DATA._IKEY")
            field = kRecordKeyField;
        if (field == name)
            return int(nCol);
    }
    return -1;
}

BOOL CDaoqueryView::IsHiddenName(const CString& strField) const
{
    for (INT_PTR i = 0; i < m_hiddenNames.GetSize(); ++i)
        if (m_hiddenNames[i] == strField)
            return TRUE;
    return FALSE;
}

void CDaoqueryView::ToggleColumn(const CString& strField)
{
    const int nCol = GetColumnIndex(strField);
    if (nCol < 0)
        return;
    const CString name = FieldOfMenuText(strField);
    const BOOL bOldLock = ExchangeUpdateLock(TRUE);
    if (IsColHidden(ROWCOL(nCol))) {
        HideCols(ROWCOL(nCol), ROWCOL(nCol), FALSE, nullptr, GX_NOREDRAW);
        for (INT_PTR i = m_hiddenNames.GetSize() - 1; i >= 0; --i)
            if (m_hiddenNames[i] == name)
                m_hiddenNames.RemoveAt(i);
    } else {
        HideCols(ROWCOL(nCol), ROWCOL(nCol), TRUE, nullptr, GX_NOREDRAW);
        if (!IsHiddenName(name))
            m_hiddenNames.Add(name);
    }
    ExchangeUpdateLock(bOldLock);
    Redraw(GX_INVALIDATE);
}

void CDaoqueryView::ApplyFixedColumnWidths()
{
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol) {
        const long nFixed = FixedColumnWidth(FieldNameOfCol(nCol));
        if (nFixed > 0)
            SetColWidths(nCol, nCol, RowUnitsToPixels(nFixed, HorzFontUnit()), nullptr, GX_NOREDRAW, gxRollback);
    }
}

BOOL CDaoqueryView::ColumnValueText(CString& sText, ROWCOL nCol)
{
    if (!CGXDaoRecordView::ColumnValueText(sText, nCol))
        return FALSE;
    const short k = FieldIndexOfCol(nCol);
    if (k < 0 || size_t(k) >= m_rankField.size() || m_rankField[size_t(k)])
        return TRUE;
    CViewerDoc* pDoc = GetViewerDoc();
    if (CCipher* pCipher = pDoc ? pDoc->GetCipher() : nullptr) {
        CString plain;
        pCipher->Decrypt(sText, plain);
        sText = plain;
    }
    return TRUE;
}

BOOL CDaoqueryView::FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType)
{
    const BOOL bStored = CGXDaoRecordView::FetchStoredStyle(nRow, nCol, style, mt, nType);
    if (nType != 0 || nRow <= HeaderRows() || nCol <= HeaderCols())
        return bStored;
    const COLORREF band = IsShadedBandRow(nRow - HeaderRows()) ? GXSYSCOLOR(COLOR_SCROLLBAR) : RGB(255, 255, 255);
    style.SetInteriorColor(band).SetBorders(gxBorderAll, CGXPackedPen(PS_SOLID, 1, band));
    return TRUE;
}

// ---- Selection and the current cell ----

BOOL CDaoqueryView::CanSelectRange(const CGXCellRange& range, UINT flags)
{
    if (range.IsCols()) {
        if (range.right > range.left)
            return FALSE;
    } else if (range.IsTable() || range.bottom > range.top) {
        return FALSE;
    }
    ROWCOL nRow = 0, nCol = 0;
    if (QueryCurrentCell(nRow, nCol)) {
        if (range.IsCols())
            PlaceCurrentCell(nRow, range.left);
        else if (range.IsRows())
            PlaceCurrentCell(range.top, nCol);
    }
    return CGXDaoRecordView::CanSelectRange(range, flags);
}

BOOL CDaoqueryView::PlaceCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    ShowFootnoteOrReady();
    // GX_INVALID clears the current cell (a reload starts that way); any other target must lie
    // inside the grid's data.
    if (nRow != GX_INVALID || nCol != GX_INVALID) {
        if (nRow == 0 || nCol == 0 || nRow > RowCount() || nCol > ColCount())
            return FALSE;
        const CString field = FieldNameOfCol(nCol);
        SetPaneText(1, field.IsEmpty() || field.Find("_I") == 0 ? CString() : "Current Column: " + field);
    }
    return CGXDaoRecordView::PlaceCurrentCell(nRow, nCol, flags);
}

BOOL CDaoqueryView::OnLeftCellClick(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    if (nRow == 0 && nCol > HeaderCols()) {
        HeaderButtonSort(nCol);
        return TRUE;
    }
    if (nRow <= HeaderRows())
        return CGXDaoRecordView::OnLeftCellClick(nRow, nCol, flags);
    const int nKeyCol = GetColumnIndex(kRecordKeyField);
    if (nKeyCol > 0 && KeyOfText(CellValueText(nRow, ROWCOL(nKeyCol))) <= 0)
        return FALSE;
    return CGXDaoRecordView::OnLeftCellClick(nRow, nCol, flags);
}

// ---- Records and their details ----

long CDaoqueryView::GetCurrentRecordKey()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!QueryCurrentCell(nRow, nCol) || nRow <= HeaderRows())
        return -1;
    const int nKeyCol = GetColumnIndex(kRecordKeyField);
    if (nKeyCol < 0)
        return -1;
    return KeyOfText(CellValueText(nRow, ROWCOL(nKeyCol)));
}

void CDaoqueryView::ShowDetailsOfCurrentRow()
{
    const long nKey = GetCurrentRecordKey();
    if (nKey <= 0)
        return;
    if (CMainFrame* pFrame = GetMainFrame())
        pFrame->ShowRecordDetails(nKey, TRUE);
}

void CDaoqueryView::ShowCurrentRowDetails()
{
    ClearRangeSelection(GX_INVALIDATE);
    ShowDetailsOfCurrentRow();
}

void CDaoqueryView::GoToEntry(ROWCOL nRow)
{
    ClearRangeSelection(GX_INVALIDATE);
    ROWCOL nCurRow = 0, nCol = HeaderCols() + 1;
    QueryCurrentCell(nCurRow, nCol);
    // The rows up to the target are fetched first: a row not yet read is no row of the grid.
    PrepareRows(nRow);
    if (PlaceCurrentCell(nRow, nCol))
        ShowDetailsOfCurrentRow();
}

void CDaoqueryView::StepEntries(long nDelta)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!QueryCurrentCell(nRow, nCol))
        nRow = HeaderRows();
    const long nTarget = long(nRow) + nDelta;
    if (nTarget <= long(HeaderRows()))
        return;
    GoToEntry(ROWCOL(nTarget));
}

void CDaoqueryView::OnFirstEntry() { GoToEntry(HeaderRows() + 1); }
void CDaoqueryView::OnLastEntry() { GoToEntry(HeaderRows() + ROWCOL(std::max(0L, m_nTotalRecords))); }
void CDaoqueryView::OnNextEntry() { StepEntries(1); }
void CDaoqueryView::OnPrevEntry() { StepEntries(-1); }

BOOL CDaoqueryView::IsDetailsPageShown() const
{
    CMainFrame* pFrame = GetMainFrame();
    return pFrame && pFrame->m_pMediaView && pFrame->m_pMediaView->IsDetailsPageShown();
}

void CDaoqueryView::OnKeyEntry(UINT nID)
{
    if (!IsDetailsPageShown())
        return;
    SetFocus();
    switch (nID) {
    case ID_KEY_DOWN: OnNextEntry(); break;
    case ID_KEY_UP: OnPrevEntry(); break;
    case ID_KEY_HOME: OnFirstEntry(); break;
    case ID_KEY_END: OnLastEntry(); break;
    case ID_KEY_PAGEUP: StepEntries(-kPageEntries); break;
    case ID_KEY_PAGEDOWN: StepEntries(kPageEntries); break;
    default: break;
    }
}

void CDaoqueryView::OnKeyLeftRight(UINT nID)
{
    if (nID == ID_KEY_LEFT)
        MoveCurrentCell(kMoveLeft);
    else if (nID == ID_KEY_RIGHT)
        MoveCurrentCell(kMoveRight);
}

// ---- Zoom and the empty-directory message ----

void CDaoqueryView::OnZoomCommand(UINT nID)
{
    switch (nID) {
    case ID_ZOOM_ENLARGE: OnZoomIn(); break;
    case ID_ZOOM_REDUCE: OnZoomOut(); break;
    case ID_ZOOM_100: OnZoom100(); break;
    default: break;
    }
}

void CDaoqueryView::OnUpdateZoomInOut(CCmdUI* pCmdUI)
{
    if (m_bSettingsPending)
        pCmdUI->Enable(FALSE);
    else if (pCmdUI->m_nID == ID_ZOOM_ENLARGE)
        OnUpdateZoomIn(pCmdUI);
    else
        OnUpdateZoomOut(pCmdUI);
}

void CDaoqueryView::OnUpdateZoom100(CCmdUI* pCmdUI) { pCmdUI->Enable(!m_bSettingsPending); }

void CDaoqueryView::OnNoEntriesMessage() { AfxMessageBox(kNoEntriesText, MB_ICONINFORMATION); }

// ---- Drawing and messages ----

void CDaoqueryView::OnDraw(CDC* pDC)
{
    if (m_bBlankPaint) {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillRect(&rc, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH))));
        return;
    }
    CGXDaoRecordView::OnDraw(pDC);
    if (m_bEmptyNotice) {
        // Said once, after the paint: a message box inside the paint would paint again.
        m_bEmptyNotice = FALSE;
        PostMessage(WM_COMMAND, ID_NO_ENTRIES_MESSAGE, 0);
    }
}

void CDaoqueryView::OnLButtonDown(UINT nFlags, CPoint point)
{
    GridOrDefault(OnGridLButtonDown(nFlags, point));
    if (m_hWnd)
        ShowDetailsOfCurrentRow();
}

void CDaoqueryView::OnRButtonDown(UINT, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    OnContextMenu(this, screen);
}

void CDaoqueryView::OnContextMenu(CWnd*, CPoint point)
{
    if (!m_columnMenu.GetSafeHmenu() || m_columnMenu.GetMenuItemCount() == 0)
        return;
    if (point.x == -1 && point.y == -1) { // from the keyboard: at the window's corner
        point = CPoint(0, 0);
        ClientToScreen(&point);
    }
    for (UINT i = 0; i < m_columnMenu.GetMenuItemCount(); ++i) {
        const UINT nID = m_columnMenu.GetMenuItemID(int(i));
        CString text;
        m_columnMenu.GetMenuString(nID, text, MF_BYCOMMAND);
        const int nCol = GetColumnIndex(text);
        m_columnMenu.CheckMenuItem(nID, MF_BYCOMMAND | (nCol > 0 && !IsColHidden(ROWCOL(nCol)) ? MF_CHECKED : MF_UNCHECKED));
    }
    m_columnMenu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CDaoqueryView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    // The grid moves when the thumb is released, not while it is dragged.
    if (nSBCode == SB_THUMBTRACK)
        return;
    GridOrDefault(OnGridVScroll(nSBCode, nPos, pScrollBar));
}

BOOL CDaoqueryView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID >= ID_COLUMN_MENU_FIRST && nID <= ID_COLUMN_MENU_LAST && m_columnMenu.GetSafeHmenu() &&
        (nCode == CN_COMMAND || nCode == int(CN_UPDATE_COMMAND_UI))) {
        CString text;
        m_columnMenu.GetMenuString(nID, text, MF_BYCOMMAND);
        if (!text.IsEmpty()) {
            if (nCode == int(CN_UPDATE_COMMAND_UI)) {
                auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
                const int nCol = GetColumnIndex(text);
                pCmdUI->Enable(TRUE);
                pCmdUI->SetCheck(nCol > 0 && !IsColHidden(ROWCOL(nCol)));
                return TRUE;
            }
            if (!pHandlerInfo)
                ToggleColumn(text);
            return TRUE;
        }
    }
    return CGXDaoRecordView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- The layout file ----

// Each grid column shows again the field it showed when the order was saved (0: its own).
void CDaoqueryView::RestoreColumnOrder(const CDWordArray& order)
{
    const ROWCOL nCount = ColCount();
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= nCount && INT_PTR(nCol) < order.GetSize(); ++nCol) {
        const ROWCOL nWanted = order[INT_PTR(nCol)] ? ROWCOL(order[INT_PTR(nCol)]) : nCol;
        ROWCOL nAt = nCol;
        while (nAt <= nCount && ColOrderIndex(nAt) != nWanted)
            ++nAt;
        if (nAt <= nCount && nAt != nCol)
            StoreMoveCols(nAt, nAt, nCol, FALSE);
    }
}

BOOL CDaoqueryView::LoadGridSettings()
{
    CFile file;
    if (!file.Open(GridSettingsPath(), CFile::modeRead | CFile::shareDenyWrite) || file.GetLength() == 0)
        return FALSE;
    std::unique_ptr<CGXDaoParam> pLoaded(static_cast<CGXDaoParam*>(ReadObjectFromArchive(file, RUNTIME_CLASS(CGXDaoParam))));
    file.Close();
    if (!pLoaded)
        return FALSE;
    // The file keeps a layout; the records and their count are this recordset's. Column-order
    // entries the recordset has no field for are dropped, the widths of its fields are kept.
    const ROWCOL nLastCol = HeaderCols() + ROWCOL(m_fieldNames.size());
    CDWordArray& order = pLoaded->m_ColOrder;
    if (order.GetSize() > INT_PTR(nLastCol) + 1)
        order.SetSize(INT_PTR(nLastCol) + 1);
    for (INT_PTR i = 0; i < order.GetSize(); ++i)
        if (order[i] > nLastCol)
            order[i] = 0;
    std::vector<std::pair<ROWCOL, LONG>> widths;
    for (ROWCOL nCol = 0; nCol <= nLastCol; ++nCol) {
        LONG nStored = 0;
        if (pLoaded->m_ColWidths.Lookup(nCol, nStored))
            widths.emplace_back(nCol, nStored);
    }
    if (!pLoaded->m_pRecordStyle)
        pLoaded->m_pRecordStyle = std::make_unique<CGXStyle>();
    pLoaded->m_bAllowAppend = 0;
    pLoaded->EnableUndo(FALSE);
    pLoaded->SetReadOnly(TRUE); // the directory is never edited, whatever layout the file kept
    ReadOldHiddenColumns(pLoaded->m_abHiddenCols, nLastCol);
    // The reload shows the fields in their own order; the file's order is put back afterwards.
    CDWordArray savedOrder;
    savedOrder.Copy(order);
    CGXDaoParam* pParam = pLoaded.release();
    AttachParam(pParam, TRUE);
    // The names of the columns the file hides, before the reload shows every column afresh.
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= nLastCol; ++nCol) {
        const CString name = FieldNameOfCol(nCol);
        if (GXGetHiddenBit(pParam->m_abHiddenCols, nCol) && !name.IsEmpty() && !IsRankColumnName(name) && !IsHiddenName(name))
            m_hiddenNames.Add(name);
    }
    ReloadFromRecordset();
    // The selection was saved where it stood: the moves that put the order back must not move it.
    CGXRangeList savedSelection;
    savedSelection.Assign(pParam->m_SelRects);
    RestoreColumnOrder(savedOrder);
    pParam->m_SelRects.Assign(savedSelection);
    for (const auto& [nCol, nStored] : widths)
        pParam->m_ColWidths.SetAt(nCol, nStored);
    for (ROWCOL nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol) {
        const CString name = FieldNameOfCol(nCol);
        if (IsColHidden(nCol) && !IsRankColumnName(name)) {
            if (!IsHiddenName(name))
                m_hiddenNames.Add(name);
            HideCols(nCol, nCol, TRUE, nullptr, GX_NOREDRAW);
        }
    }
    ResetSizeCaches();
    Redraw(GX_INVALIDATE);
    return TRUE;
}

// Layout files written before the hidden columns were kept as bits hold one byte (0 or 1) per
// column. Such an array is longer than the bits of the view's columns can be: it is read as the
// columns it meant.
void CDaoqueryView::ReadOldHiddenColumns(CByteArray& hidden, ROWCOL nLastCol)
{
    if (hidden.GetSize() <= INT_PTR(nLastCol / 8) + 1)
        return;
    for (INT_PTR i = 0; i < hidden.GetSize(); ++i)
        if (hidden[i] > 1)
            return;
    CByteArray bits;
    for (INT_PTR i = 0; i < hidden.GetSize() && i <= INT_PTR(nLastCol); ++i)
        if (hidden[i])
            GXSetHiddenBit(bits, ROWCOL(i), TRUE);
    hidden.Copy(bits);
}

void CDaoqueryView::SaveGridSettings()
{
    if (m_bSettingsPending || m_bPlaceholder || !GetParam())
        return;
    WriteObjectToFile(GetParam(), GridSettingsPath());
}

// ---- Sorting by rank ----

long CDaoqueryView::GetSortedColumn() const
{
    const CGXGridParam* pParam = GetParam();
    return pParam ? pParam->m_nLastSortedCol : -1;
}

BOOL CDaoqueryView::IsSortAscending() const
{
    const CGXDaoParam* pParam = DaoParamObject();
    return !pParam || pParam->m_nLastSortDirection == gxSortAscending;
}

void CDaoqueryView::SetSortState(long nCol, BOOL bAscending)
{
    if (CGXGridParam* pParam = GetParam()) {
        pParam->m_nLastSortedCol = nCol;
        pParam->m_nLastSortedRow = -1;
    }
    if (CGXDaoParam* pDao = DaoParamObject())
        pDao->m_nLastSortDirection = bAscending ? gxSortAscending : gxSortDescending;
}

void CDaoqueryView::ResetSortState()
{
    SetSortState(-1, TRUE);
    // Header clicks sort the directory; a layout loaded from the file keeps that too.
    if (CGXGridParam* pParam = GetParam())
        pParam->m_bSortRowsOnDblClk = TRUE;
}

void CDaoqueryView::HeaderButtonSort(ROWCOL nCol)
{
    if (nCol == 0 || nCol > ColCount())
        return;
    CGXSortInfoArray keys;
    keys.SetSize(1);
    keys[0] = GXSortInfo{};
    keys[0].nRC = DWORD(nCol);
    keys[0].sortType = 3; // the values decide; the view orders by rank in any case
    const BOOL bReverse = GetSortedColumn() == long(nCol) && IsSortAscending();
    keys[0].sortOrder = bReverse ? gxSortDescending : gxSortAscending;
    const BOOL bOldLock = ExchangeUpdateLock(TRUE);
    SortByColumns(keys, GX_UPDATENOW);
    ExchangeUpdateLock(bOldLock);
    Redraw(GX_INVALIDATE);
}

BOOL CDaoqueryView::SortRows(const CGXCellRange&, const CGXSortInfoArray& sortInfo, UINT flags)
{
    return SortByColumns(sortInfo, flags);
}

BOOL CDaoqueryView::SortByColumns(const CGXSortInfoArray& keys, UINT)
{
    CDaoRecordset* pSet = GetRecordset();
    if (!pSet || !pSet->IsOpen() || keys.GetSize() == 0)
        return FALSE;
    const BOOL bOldLock = ExchangeUpdateLock(TRUE);
    MoveCurrentCell(kMoveFirstRow);
    StoreCurrentCellEdit(TRUE);
    if (CGXGridParam* pParam = GetParam()) {
        pParam->ClearUndoList();
        pParam->ClearRedoList();
    }
    CString sort;
    for (int i = keys.GetSize() - 1; i >= 0; --i) {
        const ROWCOL nCol = ROWCOL(keys[i].nRC);
        const CString name = FieldNameOfCol(nCol);
        const CString rank = RankFieldOf(name);
        BOOL bHasRank = !name.IsEmpty();
        if (bHasRank) {
            try {
                CDaoFieldInfo info;
                pSet->GetFieldInfo(rank, info);
            } catch (const CDaoException&) {
                bHasRank = FALSE;
            }
        }
        if (!bHasRank) {
            if (name != kNoRecordsFound) {
                CString text;
                text.Format(kNoRankText, static_cast<LPCTSTR>(name));
                AfxMessageBox(text, MB_ICONEXCLAMATION);
            }
            ExchangeUpdateLock(bOldLock);
            return FALSE;
        }
        const CString term = RankSortTerm(rank, keys[i].sortOrder == gxSortDescending);
        sort = sort.IsEmpty() ? term : term + ", " + sort;
    }
    {
        CWaitCursor wait;
        pSet->m_strSort = sort;
        Requery();
        SetPaneText(2, TotalRecordsText(m_nTotalRecords));
        ShowFootnoteOrReady();
    }
    if (CViewerDoc* pDoc = GetViewerDoc())
        pDoc->m_strSort = sort;
    const ROWCOL nCol = ROWCOL(keys[0].nRC);
    SetSortState(long(nCol), keys[0].sortOrder != gxSortDescending);
    Redraw(GX_INVALIDATE);
    PlaceCurrentCell(HeaderRows() + 1, nCol);
    ScrollToCell(HeaderRows() + 1, nCol);
    ExchangeUpdateLock(bOldLock);
    return TRUE;
}

// The click of a double click on a header sorted already; the double click adds nothing.
BOOL CDaoqueryView::OnLeftCellDoubleClick(ROWCOL nRow, ROWCOL nCol, UINT flags)
{
    if (nRow == 0 && nCol > HeaderCols())
        return TRUE;
    return CGXDaoRecordView::OnLeftCellDoubleClick(nRow, nCol, flags);
}

BOOL CDaoqueryView::OnCellButtonClicked(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow != 0 || nCol == 0)
        return CGXDaoRecordView::OnCellButtonClicked(nRow, nCol);
    HeaderButtonSort(nCol);
    return TRUE;
}

BOOL CDaoqueryView::OnLeftCellMouse(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    // A header cell never becomes current here, so the grid would not track a press on it: the
    // view tracks it and takes a release over the same header as its click.
    if (flags & kCellDown)
        m_nPressedHeaderCol = nRow == 0 && nCol > HeaderCols() ? nCol : 0;
    if (m_nPressedHeaderCol == 0)
        return CGXDaoRecordView::OnLeftCellMouse(nRow, nCol, flags, point);
    if (flags & kCellUp) {
        const ROWCOL nPressed = m_nPressedHeaderCol;
        m_nPressedHeaderCol = 0;
        ROWCOL nHitRow = GX_INVALID, nHitCol = GX_INVALID;
        HitTest(point, &nHitRow, &nHitCol);
        if (nHitRow == 0 && nHitCol == nPressed)
            OnLeftCellClick(0, nPressed, flags);
    }
    return TRUE;
}

BOOL CDaoqueryView::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bForce)
{
    if (!CGXDaoRecordView::StoreMoveCols(nFromCol, nToCol, nDestCol, bForce))
        return FALSE;
    // The sort keeps naming the field it sorted, wherever that column went.
    const long nSorted = GetSortedColumn();
    if (nSorted > 0)
        SetSortState(ColumnAfterMove(nSorted, nFromCol, nToCol, nDestCol), IsSortAscending());
    return TRUE;
}

// ---- The typed-text jump and records by key ----

std::string CDaoqueryView::UpperRowText(ROWCOL nRow, ROWCOL nCol)
{
    PrepareRows(nRow);
    return PvUpperCase(CellValueText(nRow, nCol).str());
}

ROWCOL CDaoqueryView::JumpColumn()
{
    CDWordArray cols;
    ROWCOL nCol = CollectSelectedCols(cols, FALSE, TRUE) > 0 ? ROWCOL(cols[0]) : 0;
    const CString name = nCol > 0 && nCol <= ColCount() ? FieldNameOfCol(nCol) : CString();
    const BOOL bAccepted = nCol > 0 && nCol <= ColCount() && name.Find("_I") != 0;
    if (bAccepted) {
        if (long(nCol) != GetSortedColumn())
            OnLeftCellClick(0, nCol, 0);
        return nCol;
    }
    const long nSorted = GetSortedColumn();
    CDaoRecordset* pSet = GetRecordset();
    if (nSorted > 0 && pSet && pSet->IsOpen() && nSorted <= long(pSet->GetFieldCount()))
        return ROWCOL(nSorted);
    for (nCol = HeaderCols() + 1; nCol <= ColCount(); ++nCol)
        if (!IsColHidden(nCol)) {
            OnLeftCellClick(0, nCol, 0);
            return nCol;
        }
    return HeaderCols() + 1;
}

void CDaoqueryView::ScrollToEntry(const CString& strText)
{
    if (m_bSettingsPending)
        RunQuery(kDirectoryQuery);
    CWaitCursor wait;
    const BOOL bOldLock = ExchangeUpdateLock(TRUE);
    const ROWCOL nCol = JumpColumn();
    const BOOL bDescending = !IsSortAscending();
    const std::string typed = PvUpperCase(strText.str());
    const long nRows = m_nTotalRecords;
    ROWCOL nCurRow = 0, nCurCol = 0;
    long low = 1, high = nRows;
    long probe = QueryCurrentCell(nCurRow, nCurCol) && nCurRow > HeaderRows() ? long(nCurRow - HeaderRows()) : 1;
    probe = std::clamp(probe, 1L, std::max(1L, nRows));
    // Halving over the rows, which stand in the order of the column's ranks: the rows are
    // compared as they are ordered, apostrophes and hyphens included.
    while (low < high - 1) {
        if (JumpRowIsBelow(UpperRowText(HeaderRows() + ROWCOL(probe), nCol), typed, bDescending)) {
            low = probe;
            probe = (high + probe) / 2;
        } else {
            high = probe;
            probe = (probe + low) / 2;
        }
    }
    if (nRows > 0 && probe < nRows && JumpRowIsBelow(UpperRowText(HeaderRows() + ROWCOL(probe), nCol), typed, bDescending))
        ++probe;
    const ROWCOL nRow = HeaderRows() + ROWCOL(probe);
    PrepareRows(nRow);
    RedrawCells(nRow, HeaderCols() + 1, nRow, ColCount(), GX_INVALIDATE);
    PlaceCurrentCell(nRow, nCol);
    ScrollToCell(nRow, nCol);
    ExchangeUpdateLock(bOldLock);
    Redraw(GX_INVALIDATE);
}

long CDaoqueryView::GoToRecordKey(const CString& strKey)
{
    const int nKeyCol = GetColumnIndex(kRecordKeyField);
    CDaoRecordset* pSet = GetRecordset();
    if (nKeyCol < 0 || !pSet || !pSet->IsOpen())
        return -1;
    // Sorted by key, in the direction it has when it is sorted already: a second click would
    // reverse the rows at every lookup.
    if (GetSortedColumn() != nKeyCol)
        OnLeftCellClick(0, ROWCOL(nKeyCol), 0);
    CString key = strKey;
    key.Trim();
    char* end = nullptr;
    const long nKey = std::strtol(key, &end, 10);
    if (key.IsEmpty() || !end || *end != '\0')
        return -1;
    CString criteria;
    criteria.Format("[%s] = %ld", static_cast<LPCTSTR>(FieldNameOfCol(ROWCOL(nKeyCol))), nKey);
    long nPosition = -1;
    try {
        if (pSet->FindFirst(criteria))
            nPosition = pSet->GetAbsolutePosition();
    } catch (const CDaoException&) {
        nPosition = -1;
    }
    // The recordset moved under the grid: the grid finds its place again by its bookmark.
    ForgetPosition();
    if (nPosition < 0)
        return -1;
    const ROWCOL nRow = HeaderRows() + ROWCOL(nPosition) + 1;
    PrepareRows(nRow);
    PlaceCurrentCell(nRow, ROWCOL(nKeyCol));
    return long(nRow);
}
