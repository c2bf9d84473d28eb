// Sizing rows and columns with the mouse.

#include "grid/features/gxresize.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

// ---- The line window ----

BOOL CGXDragLineWnd::CreateOver(CWnd* pParent, COLORREF color)
{
    m_color = color;
    if (GetSafeHwnd())
        return TRUE;
    return CreateEx(0, GX_WNDCLASS, "", WS_CHILD, 0, 0, 1, 1, pParent ? pParent->GetSafeHwnd() : nullptr, nullptr);
}

void CGXDragLineWnd::ShowAt(const CRect& rect)
{
    if (!GetSafeHwnd())
        return;
    CRect old;
    GetWindowRect(&old);
    const BOOL bWasVisible = IsWindowVisible();
    MoveWindow(rect.left, rect.top, std::max<int>(1, rect.Width()), std::max<int>(1, rect.Height()), FALSE);
    ShowWindow(SW_SHOWNA);
    // The place the line left is the grid's to paint again.
    CWnd* pParent = GetParent();
    if (bWasVisible && pParent) {
        pParent->ScreenToClient(&old);
        pParent->InvalidateRect(&old, FALSE);
        pParent->UpdateWindow();
    }
    Invalidate(FALSE);
    UpdateWindow();
}

void CGXDragLineWnd::Hide(BOOL bDestroy)
{
    HWND hLine = GetSafeHwnd();
    if (!hLine || (!bDestroy && !IsWindowVisible()))
        return;
    // What the line covered is the grid's to paint again.
    CWnd* pGridWnd = m_pGrid->GetGridWnd();
    CRect rect;
    GetWindowRect(&rect);
    const BOOL bWasVisible = IsWindowVisible();
    if (bDestroy)
        DestroyWindow();
    else
        ShowWindow(SW_HIDE);
    if (bWasVisible && pGridWnd && pGridWnd->GetSafeHwnd() && (!bDestroy || !::IsWindow(hLine))) {
        pGridWnd->ScreenToClient(&rect);
        pGridWnd->InvalidateRect(&rect, FALSE);
        pGridWnd->UpdateWindow();
    }
}

LRESULT CGXDragLineWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return CWnd::WindowProc(message, wParam, lParam);
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CRect rect;
    GetClientRect(&rect);
    // The marker of either mode is the pen's colour over the whole pixel line.
    if (pDC)
        pDC->FillSolidRect(&rect, m_color);
    EndPaint(&ps);
    return 0;
}

// ---- One table for the two directions ----

struct CGXGridUserResizeCellsImp::Axis {
    BOOL bRows;
    BOOL (CGXGridParam::*testFlags)(WORD) const;
    BOOL (CGXGridCore::*canResize)(ROWCOL);
    BOOL (CGXGridCore::*accept)(ROWCOL, int);
    int (CGXGridCore::*size)(ROWCOL);
    BOOL (CGXGridCore::*isHidden)(ROWCOL);
    BOOL (CGXGridCore::*storeHide)(ROWCOL, BOOL);
    BOOL (CGXGridCore::*storeSize)(ROWCOL, int);
    BOOL (CGXGridCore::*setSizes)(ROWCOL, ROWCOL, int, const int*, UINT, int);
    BOOL (CGXGridCore::*hide)(ROWCOL, ROWCOL, BOOL, BOOL*, UINT, int);
    BOOL (CGXGridCore::*changeDefault)(int, UINT, int);
    ROWCOL (CGXGridCore::*headers)();
    ROWCOL (CGXGridCore::*count)();
    CGXMapDWordToLong CGXGridParam::*sizes;
    DWORD CGXGridParam::*minSize;
    BOOL (CGXProperties::*gridLines)() const;
    int nText;
    DWORD nDrawCode;
};

namespace {

const CGXGridUserResizeCellsImp::Axis kAxes[] = {
    {TRUE, &CGXGridParam::TestRowResizeFlags, &CGXGridCore::CanResizeRow, &CGXGridCore::AcceptRowHeight,
     &CGXGridCore::RowHeight, &CGXGridCore::IsRowHidden, &CGXGridCore::StoreHideRow, &CGXGridCore::StoreRowHeight,
     &CGXGridCore::SetRowHeights, &CGXGridCore::HideRows, &CGXGridCore::ChangeDefaultRowHeight,
     &CGXGridCore::HeaderRows, &CGXGridCore::RowCount, &CGXGridParam::m_RowHeights, &CGXGridParam::m_nMinRowHeight,
     &CGXProperties::GetDisplayHorzLines, gxTextResizeRows, 2},
    {FALSE, &CGXGridParam::TestColResizeFlags, &CGXGridCore::CanResizeCol, &CGXGridCore::AcceptColWidth,
     &CGXGridCore::ColWidth, &CGXGridCore::IsColHidden, &CGXGridCore::StoreHideCol, &CGXGridCore::StoreColWidth,
     &CGXGridCore::SetColWidths, &CGXGridCore::HideCols, &CGXGridCore::ChangeDefaultColWidth,
     &CGXGridCore::HeaderCols, &CGXGridCore::ColCount, &CGXGridParam::m_ColWidths, &CGXGridParam::m_nMinColWidth,
     &CGXProperties::GetDisplayVertLines, gxTextResizeCols, 1},
};

enum : WORD {
    kOffered = 0x01 | 0x02,
    kAll = 0x01,
    kNoHeader = 0x08,
    kNoMark = 0x10,
    kNoLineWnd = 0x20,
    kNoInvert = 0x40,
    kPreview = 0x80,
    kLive = 0x100,
};

// The line may come no nearer than this to the drawing area's far edge.
constexpr int kEdgeMargin = 1;

const CGXGridUserResizeCellsImp::Axis& AxisOf(int nMode) { return kAxes[nMode == CGXGridUserResizeCellsImp::kRows ? 0 : 1]; }

// Whole-row (column) intervals of the selection, when the index lies in one of them.
BOOL SelectedIntervalsHolding(CGXGridCore* pGrid, BOOL bRows, ROWCOL nIndex, CDWordArray& firsts, CDWordArray& lasts)
{
    if (!(bRows ? pGrid->SelectedRowIntervals(firsts, lasts, TRUE, FALSE)
                : pGrid->SelectedColIntervals(firsts, lasts, TRUE, FALSE)))
        return FALSE;
    for (INT_PTR i = 0; i < firsts.GetSize(); ++i)
        if (nIndex >= firsts[i] && nIndex <= lasts[i])
            return TRUE;
    return FALSE;
}

BOOL FirstSelectedIsTable(CGXGridCore* pGrid)
{
    CGXRangeList& sel = pGrid->GetParam()->m_SelRects;
    POSITION pos = sel.GetHeadPosition();
    return pos && sel.GetNextRange(pos)->IsTable();
}

}  // namespace

CGXGridUserResizeCellsImp::~CGXGridUserResizeCellsImp() { DestroyLine(); }

const CGXGridUserResizeCellsImp::Axis& CGXGridUserResizeCellsImp::Current() const { return AxisOf(m_nMode); }

CRect CGXGridUserResizeCellsImp::LineRect(int nPos) const
{
    return Current().bRows ? CRect(m_nLineFrom, nPos, m_nLineTo, nPos + 1) : CRect(nPos, m_nLineFrom, nPos + 1, m_nLineTo);
}

// ---- Mouse ----

BOOL CGXGridUserResizeCellsImp::OnResizeMouseDown(CGXGridCore* pGrid, UINT, CPoint point, int nHit, ROWCOL nRow,
                                                  ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam)
        return FALSE;
    int nMode = 0;
    if ((nHit == GX_VERTLINE || nHit == GX_VERTHIDDEN) && pParam->TestColResizeFlags(kOffered))
        nMode = kCols;
    else if ((nHit == GX_HORZLINE || nHit == GX_HORZHIDDEN) && pParam->TestRowResizeFlags(kOffered))
        nMode = kRows;
    if (!nMode || !pGrid->OnStartTracking(nRow, nCol, nMode, point))
        return FALSE;
    // The border follows the pointer from where it was pressed.
    m_nOrigin = m_nLine = std::max<int>(nMode == kRows ? point.y : point.x, m_nStartLine);
    if (!pGrid->HasMouseCapture())
        pGrid->CaptureMouse();
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::OnResizeMouseMove(CGXGridCore* pGrid, CPoint point)
{
    if (!pGrid->m_bUserResizing)
        return FALSE;
    const int nSize = (Current().bRows ? point.y : point.x) - m_nCellStart;
    pGrid->OnMoveTracking(pGrid->m_nTrackRow, pGrid->m_nTrackCol, m_nMode,
                          Current().bRows ? CPoint(0, nSize) : CPoint(nSize, 0));
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::OnResizeMouseUp(CGXGridCore* pGrid, CPoint point)
{
    if (!pGrid->m_bUserResizing)
        return FALSE;
    if (pGrid->HasMouseCapture())
        ::ReleaseCapture();
    const int nSize = (Current().bRows ? point.y : point.x) - m_nCellStart;
    pGrid->OnEndTracking(pGrid->m_nTrackRow, pGrid->m_nTrackCol, m_nMode,
                         Current().bRows ? CPoint(0, nSize) : CPoint(nSize, 0));
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::OnResizeDoubleClick(CGXGridCore* pGrid, UINT, CPoint, int nHit, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    const BOOL bCols = nHit == GX_VERTLINE || nHit == GX_VERTHIDDEN;
    if (!pParam || (!bCols && nHit != GX_HORZLINE && nHit != GX_HORZHIDDEN))
        return FALSE;
    const Axis& a = AxisOf(bCols ? kCols : kRows);
    const ROWCOL nIndex = a.bRows ? nRow : nCol;
    if (!(pParam->*a.testFlags)(kOffered) || !(pGrid->*a.canResize)(nIndex))
        return FALSE;
    const ROWCOL nCount = (pGrid->*a.count)();
    if (!(pParam->*a.testFlags)(kAll) || nIndex == 0) {
        const BOOL bNextHidden = nIndex < nCount && (pGrid->*a.isHidden)(nIndex + 1);
        if ((pGrid->*a.isHidden)(nIndex) || bNextHidden) {
            // The run of hidden neighbours, each one the user may resize.
            ROWCOL nFirst = (pGrid->*a.isHidden)(nIndex) ? nIndex : nIndex + 1, nLast = nFirst;
            while (nFirst > 0 && (pGrid->*a.isHidden)(nFirst - 1) && (pGrid->*a.canResize)(nFirst - 1))
                --nFirst;
            while (nLast < nCount && (pGrid->*a.isHidden)(nLast + 1) && (pGrid->*a.canResize)(nLast + 1))
                ++nLast;
            (pGrid->*a.hide)(nFirst, nLast, FALSE, nullptr, GX_UPDATENOW, gxDo);
            return TRUE;
        }
    }
    CDWordArray firsts, lasts;
    if (!SelectedIntervalsHolding(pGrid, a.bRows, nIndex, firsts, lasts)) {
        (pGrid->*a.setSizes)(nIndex, nIndex, -1, nullptr, GX_UPDATENOW, gxDo);
        return TRUE;
    }
    if (FirstSelectedIsTable(pGrid))
        return TRUE;
    CWaitCursor wait;
    const BOOL bTransaction = firsts.GetSize() > 1;
    if (bTransaction)
        pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
    for (INT_PTR i = firsts.GetSize(); i-- > 0;) {
        for (ROWCOL n = firsts[i]; n <= lasts[i]; ++n)
            if ((pGrid->*a.isHidden)(n)) {
                (pGrid->*a.hide)(firsts[i], lasts[i], FALSE, nullptr, GX_UPDATENOW, gxDo);
                break;
            }
        (pGrid->*a.setSizes)(firsts[i], lasts[i], -1, nullptr, GX_UPDATENOW, gxDo);
    }
    if (bTransaction)
        pGrid->CommitTransaction();
    return TRUE;
}

// ---- The four operations ----

BOOL CGXGridUserResizeCellsImp::StartResize(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!pParam || pGrid->m_bUserResizing || (nMode != kRows && nMode != kCols))
        return FALSE;
    const Axis& a = AxisOf(nMode);
    const ROWCOL nIndex = a.bRows ? nRow : nCol;
    if (((pParam->*a.testFlags)(kNoHeader) && nIndex <= (pGrid->*a.headers)()) || !(pGrid->*a.canResize)(nIndex))
        return FALSE;
    m_nMode = nMode;
    m_nIndex = nIndex;
    m_bLive = (pParam->*a.testFlags)(kLive);
    m_bPreview = !m_bLive && (pParam->*a.testFlags)(kPreview);
    CGXProperties* pProps = pGrid->GetProperties();
    m_bLineWnd = !m_bLive && !(pParam->*a.testFlags)(kNoLineWnd) && pProps && (pProps->*a.gridLines)();
    m_bInvert = !m_bLive && !(pParam->*a.testFlags)(kNoInvert);
    m_bMarkHeader = !m_bLive && !(pParam->*a.testFlags)(kNoMark);
    m_bStartHidden = (pGrid->*a.isHidden)(nIndex);
    m_nStartSize = m_bStartHidden ? 0 : (pGrid->*a.size)(nIndex);
    m_bStartStored = (pParam->*a.sizes).Lookup(nIndex, m_nStartStored);

    const CRect area = pGrid->GetDrawingArea();
    const CRect cell = a.bRows ? pGrid->CellToRect(nIndex, 0) : pGrid->CellToRect(0, nIndex);
    if (a.bRows) {
        m_nLineFrom = area.left + (m_bPreview ? pGrid->SumColWidths(0, pGrid->HeaderCols()) : 0);
        m_nLineTo = std::min<int>(area.right, pGrid->CellToRect(0, pGrid->LastVisibleCol()).right);
        m_nCellStart = cell.top;
        m_nStartLine = cell.top;
        m_nOrigin = cell.top + m_nStartSize;
    } else {
        m_nLineFrom = area.top + (m_bPreview ? pGrid->SumRowHeights(0, pGrid->HeaderRows()) : 0);
        m_nLineTo = std::min<int>(area.bottom, pGrid->CellToRect(pGrid->LastVisibleRow(), 0).bottom);
        m_nCellStart = cell.left;
        m_nStartLine = cell.left;
        m_nOrigin = cell.left + m_nStartSize;
    }
    // Grid lines are drawn on the cell's near side of its far edge.
    if (pProps && (pProps->*a.gridLines)() && m_nOrigin > m_nStartLine)
        --m_nOrigin;
    m_nLine = m_nOrigin;
    m_bInverted = FALSE;

    if (m_bLineWnd) {
        if (!m_pLineWnd)
            m_pLineWnd = new CGXDragLineWnd(pGrid);
        m_pLineWnd->m_nMode = 1;
        m_pLineWnd->m_nDrawCode = a.nDrawCode;
        if (m_pLineWnd->CreateOver(pGrid->GetGridWnd(), RGB(0, 0, 0)))
            m_pLineWnd->ShowAt(LineRect(m_nLine));
    }
    m_bMoved = FALSE;
    pGrid->m_bUserResizing = TRUE;
    pGrid->m_bTracking = TRUE;
    pGrid->m_nTrackingMode = nMode;
    pGrid->m_nTrackRow = nRow;
    pGrid->m_nTrackCol = nCol;
    RedrawHeader(pGrid);
    return TRUE;
}

void CGXGridUserResizeCellsImp::MoveResize(CGXGridCore* pGrid, ROWCOL, ROWCOL, CPoint sizePoint)
{
    if (!pGrid->m_bUserResizing)
        return;
    const Axis& a = Current();
    m_bMoved = TRUE;
    const int nMin = int(std::min<DWORD>(pGrid->GetParam()->*a.minSize, 0x7FFF));
    const int nPointer = m_nCellStart + (a.bRows ? sizePoint.y : sizePoint.x);
    const int nSize = std::max(SizeAt(std::max(nPointer, m_nStartLine)), nMin);
    if (!(pGrid->*a.accept)(m_nIndex, nSize))
        return;
    const int nPos = std::max(m_nOrigin + (nSize - m_nStartSize), m_nStartLine);
    const CRect area = pGrid->GetDrawingArea();
    if (nPos > (a.bRows ? area.bottom : area.right) - kEdgeMargin - 1)
        return;
    if (nPos == m_nLine)
        return;
    if (m_bInverted) {
        Invert(pGrid, m_nLine);
        m_bInverted = FALSE;
    }
    m_nLine = nPos;
    const int nNewSize = SizeAt(m_nLine);
    if (m_bLive) {
        StoreLive(pGrid, nNewSize);
        RedrawFrom(pGrid, TRUE);
    } else if (m_bPreview) {
        StoreLive(pGrid, nNewSize);
        RedrawFrom(pGrid, FALSE);
        RestoreStart(pGrid);
    }
    if (m_bInvert && m_nLine != m_nStartLine) {
        Invert(pGrid, m_nLine);
        m_bInverted = TRUE;
    }
    if (m_pLineWnd && m_pLineWnd->GetSafeHwnd())
        m_pLineWnd->ShowAt(LineRect(m_nLine));
}

void CGXGridUserResizeCellsImp::EndResize(CGXGridCore* pGrid, ROWCOL, ROWCOL, CPoint)
{
    if (!pGrid->m_bUserResizing)
        return;
    const Axis& a = Current();
    CGXGridParam* pParam = pGrid->GetParam();
    DestroyLine();
    if (m_bInverted) {
        Invert(pGrid, m_nLine);
        m_bInverted = FALSE;
    }
    if (m_bLive || m_bPreview)
        RestoreStart(pGrid);
    const int nMin = int(std::min<DWORD>(pParam->*a.minSize, 0x7FFF));
    const int nSize = std::max(SizeAt(m_nLine), nMin);
    const ROWCOL nIndex = m_nIndex;
    const BOOL bChange = m_bMoved && std::abs(m_nLine - m_nOrigin) > 1 && (pGrid->*a.accept)(nIndex, nSize);
    const BOOL bMark = m_bMarkHeader;
    Finish(pGrid);
    CDWordArray firsts, lasts;
    const UINT flags = GX_UPDATENOW;
    if (!bChange) {
        RedrawFrom(pGrid, TRUE);
    } else if ((pParam->*a.testFlags)(kAll) && nIndex != 0) {
        AllTo(pGrid, nSize);
    } else if (SelectedIntervalsHolding(pGrid, a.bRows, nIndex, firsts, lasts)) {
        if (FirstSelectedIsTable(pGrid)) {
            AllTo(pGrid, nSize);
        } else {
            CWaitCursor wait;
            const BOOL bTransaction = firsts.GetSize() > 1;
            if (bTransaction)
                pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
            for (INT_PTR i = firsts.GetSize(); i-- > 0;) {
                if (nSize < 1)
                    (pGrid->*a.hide)(firsts[i], lasts[i], TRUE, nullptr, flags, gxDo);
                else
                    (pGrid->*a.setSizes)(firsts[i], lasts[i], nSize, nullptr, flags, gxDo);
            }
            if (bTransaction)
                pGrid->CommitTransaction();
        }
    } else if (nSize < 1) {
        (pGrid->*a.hide)(nIndex, nIndex, TRUE, nullptr, flags, gxDo);
    } else if ((pGrid->*a.isHidden)(nIndex)) {
        // Shown and sized as one step.
        pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
        (pGrid->*a.hide)(nIndex, nIndex, FALSE, nullptr, flags, gxDo);
        (pGrid->*a.setSizes)(nIndex, nIndex, nSize, nullptr, flags, gxDo);
        pGrid->CommitTransaction();
    } else {
        (pGrid->*a.setSizes)(nIndex, nIndex, nSize, nullptr, flags, gxDo);
    }
    if (bMark)
        RedrawHeader(pGrid);
    if (CWnd* pWnd = pGrid->GetGridWnd(); pWnd && pWnd->GetSafeHwnd())
        pWnd->UpdateWindow();
}

void CGXGridUserResizeCellsImp::CancelResize(CGXGridCore* pGrid)
{
    if (!pGrid->m_bUserResizing)
        return;
    DestroyLine();
    if (m_bInverted) {
        Invert(pGrid, m_nLine);
        m_bInverted = FALSE;
    }
    const BOOL bRestore = m_bLive || m_bPreview;
    const BOOL bMark = m_bMarkHeader;
    if (bRestore)
        RestoreStart(pGrid);
    Finish(pGrid);
    if (bRestore)
        RedrawFrom(pGrid, TRUE);
    else if (bMark)
        RedrawHeader(pGrid);
}

// ---- Helpers ----

// The size the line at this place gives; on the near edge the row (column) is gone.
int CGXGridUserResizeCellsImp::SizeAt(int nPos) const
{
    return nPos <= m_nStartLine ? 0 : std::max(0, m_nStartSize + (nPos - m_nOrigin));
}

// Every row (column) gets the size: the default changes and sizes of their own are dropped,
// all in one undo step.
void CGXGridUserResizeCellsImp::AllTo(CGXGridCore* pGrid, int nSize)
{
    const Axis& a = Current();
    CGXMapDWordToLong& map = pGrid->GetParam()->*a.sizes;
    CDWordArray own;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        DWORD key = 0;
        LONG value = 0;
        map.GetNextAssoc(pos, key, value);
        if (key > 0)
            own.Add(key);
    }
    pGrid->BeginTransaction(GXGetLibraryState().m_astrTexts[a.nText]);
    for (INT_PTR i = 0; i < own.GetSize(); ++i)
        (pGrid->*a.setSizes)(own[i], own[i], -1, nullptr, GX_INVALIDATE, gxDo);
    (pGrid->*a.changeDefault)(nSize, GX_UPDATENOW, gxDo);
    pGrid->CommitTransaction();
}

void CGXGridUserResizeCellsImp::Invert(CGXGridCore* pGrid, int nPos)
{
    CWnd* pWnd = pGrid->GetGridWnd();
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    CClientDC dc(pWnd);
    const CRect rect = LineRect(nPos);
    dc.InvertRect(&rect);
}

void CGXGridUserResizeCellsImp::DestroyLine()
{
    if (!m_pLineWnd)
        return;
    m_pLineWnd->Remove();
    delete m_pLineWnd;
    m_pLineWnd = nullptr;
}

// The size and hidden state as they were when the drag began, stored without recording.
void CGXGridUserResizeCellsImp::RestoreStart(CGXGridCore* pGrid)
{
    const Axis& a = Current();
    CGXMapDWordToLong& map = pGrid->GetParam()->*a.sizes;
    if (m_bStartStored)
        map[DWORD(m_nIndex)] = m_nStartStored;
    else
        map.RemoveKey(DWORD(m_nIndex));
    if ((pGrid->*a.isHidden)(m_nIndex) != m_bStartHidden)
        (pGrid->*a.storeHide)(m_nIndex, m_bStartHidden);
    pGrid->ResetSizeCaches();
}

void CGXGridUserResizeCellsImp::StoreLive(CGXGridCore* pGrid, int nSize)
{
    const Axis& a = Current();
    if (nSize > 0 && (pGrid->*a.isHidden)(m_nIndex))
        (pGrid->*a.storeHide)(m_nIndex, FALSE);
    (pGrid->*a.storeSize)(m_nIndex, std::max(nSize, 0));
    pGrid->ResetSizeCaches();
}

// Repaints from the row (column) on to the far edge, at once.
void CGXGridUserResizeCellsImp::RedrawFrom(CGXGridCore* pGrid, BOOL)
{
    CWnd* pWnd = pGrid->GetGridWnd();
    if (!pWnd || !pWnd->GetSafeHwnd() || pGrid->GetParam()->m_bLockRedraw)
        return;
    CRect rect = pGrid->GetDrawingArea();
    if (Current().bRows)
        rect.top = std::max<int>(rect.top, m_nCellStart);
    else
        rect.left = std::max<int>(rect.left, m_nCellStart);
    pWnd->InvalidateRect(&rect, FALSE);
    pWnd->UpdateWindow();
}

void CGXGridUserResizeCellsImp::RedrawHeader(CGXGridCore* pGrid)
{
    if (!m_bMarkHeader)
        return;
    const ROWCOL n = m_nIndex;
    if (Current().bRows)
        pGrid->RedrawCells(n, 0, n, pGrid->HeaderCols(), GX_UPDATENOW);
    else
        pGrid->RedrawCells(0, n, pGrid->HeaderRows(), n, GX_UPDATENOW);
}

void CGXGridUserResizeCellsImp::Finish(CGXGridCore* pGrid)
{
    pGrid->m_bUserResizing = FALSE;
    pGrid->m_bTracking = FALSE;
    pGrid->m_nTrackingMode = 0;
    m_bMoved = FALSE;
}

void CGXGridCore::InstallUserResizeCellsImp()
{
    if (m_pUserResizeCellsImp)
        return;
    auto* p = new CGXGridUserResizeCellsImp;
    m_pUserResizeCellsImp = p;
    AddImpToDeleteList(p);
}
