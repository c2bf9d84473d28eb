// Printing a grid in pages, with the page header and footer.

#include "grid/features/gxprint.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include "grid/core/gxgrid.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "platform/base/textcase.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

// Header and footer: three parts (left, centre, right) of up to ten lines each, inset from the
// page's edges.
constexpr ROWCOL kNone = ROWCOL(-1);
constexpr ROWCOL kHeaderLines = 10;
constexpr ROWCOL kHeaderParts = 3;
constexpr int kHeaderInset = 8;
// The frame's lines are this thick and reach this far beyond the corners.
constexpr int kFrameWidth = 2;
constexpr int kFrameOverhang = 1;
// Rows (columns) a page asks a record grid to have ready, in page heights (widths).
constexpr int kRowsAhead = 2;
// "$D" without an argument: the locale's date and time.
constexpr const char* kDefaultDateFormat = "%c";
constexpr size_t kDateBuffer = 256;

CSize DisplayPixelsPerInch()
{
    static const CSize perInch = [] {
        CDC ic;
        ic.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
        return CSize(ic.GetDeviceCaps(LOGPIXELSX), ic.GetDeviceCaps(LOGPIXELSY));
    }();
    return perInch;
}

// Sum of the sizes of [nFrom, nTo]; empty when nTo < nFrom.
int SumSizes(const std::function<int(ROWCOL)>& size, ROWCOL nFrom, ROWCOL nTo)
{
    int sum = 0;
    for (ROWCOL n = nFrom; n <= nTo && n != kNone; ++n)
        sum += size(n);
    return sum;
}

// A break list from a stored file holds anything: each entry a start of its own, in order.
ROWCOL NextBreak(const CDWordArray* pBreaks, INT_PTR& i, ROWCOL nAfter)
{
    if (!pBreaks)
        return kNone;
    while (i < pBreaks->GetSize() && ROWCOL(pBreaks->GetAt(i)) <= nAfter)
        ++i;
    return i < pBreaks->GetSize() ? ROWCOL(pBreaks->GetAt(i)) : kNone;
}

UINT PageOf(const std::vector<ROWCOL>& starts, ROWCOL n)
{
    if (starts.size() < 2)
        return 0;
    auto it = std::upper_bound(starts.begin(), starts.end() - 1, n);
    return it == starts.begin() ? 0 : UINT(it - starts.begin() - 1);
}

CString FormatNumber(long n)
{
    CString s;
    s.Format("%ld", n);
    return s;
}

}  // namespace

// ---- Pagination ----

void GXPaginate(ROWCOL nFirst, ROWCOL nLast, int nAvail, const std::function<int(ROWCOL)>& size,
                const CDWordArray* pBreaks, std::vector<ROWCOL>& starts)
{
    if (starts.empty() || starts.back() != nFirst)
        starts.push_back(nFirst);
    INT_PTR iBreak = 0;
    for (ROWCOL nStart = nFirst; nStart <= nLast;) {
        int used = 0;
        ROWCOL n = nStart;
        for (; n <= nLast; ++n) {
            const int nSize = size(n);
            if (used + nSize > nAvail)
                break;
            used += nSize;
        }
        n = std::max(n, nStart + 1);  // an item wider than the page still gets a page
        const ROWCOL nBreak = NextBreak(pBreaks, iBreak, nStart);
        if (nBreak < n) {
            n = nBreak;
            ++iBreak;
        }
        if (n > nLast)
            break;
        starts.push_back(n);
        nStart = n;
    }
    starts.push_back(nLast + 1);
}

CRect GXPrintPageRect(CDC* pDC)
{
    if (!pDC)
        return CRect();
    const CSize display = DisplayPixelsPerInch();
    const int dpiX = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
    const int dpiY = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    return CRect(0, 0, MulDiv(pDC->GetDeviceCaps(HORZRES), display.cx, dpiX),
                 MulDiv(pDC->GetDeviceCaps(VERTRES), display.cy, dpiY));
}

UINT CGXGridPrintImp::GetPageCount() const
{
    if (m_rowStarts.size() < 2 || m_colStarts.size() < 2)
        return 0;
    return UINT((m_rowStarts.size() - 1) * (m_colStarts.size() - 1));
}

BOOL CGXGridPrintImp::GetPageBlock(const CGXGridCore* pGrid, UINT nPage, CGXCellRange& block) const
{
    const UINT nCount = GetPageCount();
    if (nPage == 0 || nPage > nCount)
        return FALSE;
    const UINT nColPages = UINT(m_colStarts.size() - 1), nRowPages = UINT(m_rowStarts.size() - 1);
    const CGXProperties* pProps = pGrid->GetProperties();
    const BOOL bDownFirst = pProps && pProps->m_nPageOrder;
    const UINT nRowPage = bDownFirst ? (nPage - 1) % nRowPages : (nPage - 1) / nColPages;
    const UINT nColPage = bDownFirst ? (nPage - 1) / nRowPages : (nPage - 1) % nColPages;
    block.SetCells(m_rowStarts[nRowPage], m_colStarts[nColPage], m_rowStarts[nRowPage + 1] - 1,
                   m_colStarts[nColPage + 1] - 1);
    return TRUE;
}

void CGXGridPrintImp::Paginate(CGXGridCore* pGrid, const CRect& page)
{
    m_rowStarts.clear();
    m_colStarts.clear();
    const ROWCOL nRows = pGrid->RowCount(), nCols = pGrid->ColCount();
    const ROWCOL nFrozenRows = pGrid->FrozenRows(), nFrozenCols = pGrid->FrozenCols();
    auto rowHeight = [pGrid](ROWCOL n) { return pGrid->RowHeight(n); };
    auto colWidth = [pGrid](ROWCOL n) { return pGrid->ColWidth(n); };
    // The frozen rows and columns (headers included) print on every page.
    const int nAvailY = page.Height() - SumSizes(rowHeight, 0, nFrozenRows);
    const int nAvailX = page.Width() - SumSizes(colWidth, 0, nFrozenCols);
    const ROWCOL nScreenTop = pGrid->GetTopRow(), nScreenLeft = pGrid->GetLeftCol();

    CGXGridParam* pParam = pGrid->GetParam();
    const CGXCellRange* pSel = nullptr;
    if (m_bPrintSelection && pParam && !pParam->m_SelRects.IsEmpty()) {
        POSITION pos = pParam->m_SelRects.GetHeadPosition();
        pSel = pParam->m_SelRects.GetNextRange(pos);
    }
    if (m_bPrintSelection && !pSel) {
        // Nothing selected: the screen's view, as far as one page holds it.
        auto onePage = [](std::vector<ROWCOL>& starts, ROWCOL nFirst, ROWCOL nCount, int nAvail,
                          const std::function<int(ROWCOL)>& size) {
            std::vector<ROWCOL> all;
            GXPaginate(nFirst, std::max(nFirst, nCount), nAvail, size, nullptr, all);
            starts.assign({nFirst, all.size() > 1 ? all[1] : nFirst + 1});
        };
        onePage(m_rowStarts, nScreenTop, nRows, nAvailY, rowHeight);
        onePage(m_colStarts, nScreenLeft, nCols, nAvailX, colWidth);
        m_nScreenRowPage = m_nScreenColPage = 0;
        return;
    }
    CGXCellRange range = pSel ? *pSel : CGXCellRange().SetTable();
    range.ExpandToCells(1, 1, nRows, nCols);
    range.top = std::max(range.top, nFrozenRows + 1);
    range.left = std::max(range.left, nFrozenCols + 1);
    range.bottom = std::max(std::min(range.bottom, nRows), range.top);
    range.right = std::max(std::min(range.right, nCols), range.left);

    const CGXProperties* pProps = pGrid->GetProperties();
    const CDWordArray* pColBreaks = pProps && pProps->m_awArray1.GetSize() ? &pProps->m_awArray1 : nullptr;
    const CDWordArray* pRowBreaks = pProps && pProps->m_awArray2.GetSize() ? &pProps->m_awArray2 : nullptr;
    struct Axis {
        std::vector<ROWCOL>& starts;
        ROWCOL first, last;
        int avail;
        std::function<int(ROWCOL)> size;
        const CDWordArray* pBreaks;
    };
    for (Axis a : {Axis {m_colStarts, range.left, range.right, nAvailX, colWidth, pColBreaks},
                   Axis {m_rowStarts, range.top, range.bottom, nAvailY, rowHeight, pRowBreaks}}) {
        if (a.pBreaks && SumSizes(a.size, a.first, a.last) <= a.avail) {
            // The whole range fits: the manual breaks alone cut it.
            a.starts.push_back(a.first);
            INT_PTR i = 0;
            for (ROWCOL b; (b = NextBreak(a.pBreaks, i, a.starts.back())) <= a.last; ++i)
                a.starts.push_back(b);
            a.starts.push_back(a.last + 1);
        } else {
            GXPaginate(a.first, a.last, a.avail, a.size, a.pBreaks, a.starts);
        }
    }
    m_nScreenRowPage = PageOf(m_rowStarts, nScreenTop);
    m_nScreenColPage = PageOf(m_colStarts, nScreenLeft);
}

BOOL CGXGridPrintImp::ExtendRows(CGXGridCore* pGrid, const CRect& page)
{
    if (m_bPrintSelection || m_rowStarts.size() < 2)
        return FALSE;
    const ROWCOL nRows = pGrid->RowCount();
    if (nRows < m_rowStarts.back())
        return FALSE;
    // The last page may now hold fewer rows than it can: paginate again from its start.
    m_rowStarts.pop_back();
    const ROWCOL nFrom = m_rowStarts.back();
    auto rowHeight = [pGrid](ROWCOL n) { return pGrid->RowHeight(n); };
    const int nAvail = page.Height() - SumSizes(rowHeight, 0, pGrid->FrozenRows());
    const CGXProperties* pProps = pGrid->GetProperties();
    const CDWordArray* pBreaks = pProps && pProps->m_awArray2.GetSize() ? &pProps->m_awArray2 : nullptr;
    GXPaginate(nFrom, nRows, nAvail, rowHeight, pBreaks, m_rowStarts);
    return TRUE;
}

void CGXGridPrintImp::BeginPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo || !pGrid->GetParam())
        return;
    CWaitCursor wait;
    pGrid->PrepareDC(pDC, pInfo);
    m_rowStarts.clear();
    m_colStarts.clear();
    // Printing draws from its own top row: the screen's stays where it was.
    pGrid->SetPrinting(TRUE);
    CGXGridParam* pParam = pGrid->GetParam();
    m_bMadePrintPools = !pParam->GetFeatureObject(CGXGridParam::nFloatPrintSpans);
    if (pGrid->RowCount() && pGrid->ColCount())
        pGrid->QueueFloatCellsRange(CGXCellRange(1, 1, pGrid->RowCount(), pGrid->ColCount()));

    CDCStateGuard guard(pDC);
    if (CGXStyle* pStandard = pGrid->LookupStandardStyle())
        guard.AdoptOldFont(pGrid->SelectStyleFont(pDC, *pStandard));
    pGrid->ComputeFontUnits();
    pInfo->m_rectDraw = GXPrintPageRect(pDC);
    pGrid->SubtractMargins(pDC, pInfo);
    pGrid->m_rectPage = pInfo->m_rectDraw;

    m_bPrintSelection = pInfo->m_pPD && pInfo->m_pPD->PrintSelection();
    Paginate(pGrid, pGrid->m_rectPage);
    const UINT nCount = GetPageCount();
    pInfo->SetMaxPage(std::max<UINT>(1, nCount));
    CString sCount;
    sCount.Format(" / %u", nCount);
    pInfo->m_strPageDesc += sCount;
    if (pInfo->m_bPreview && nCount) {
        const CGXProperties* pProps = pGrid->GetProperties();
        const UINT nColPages = UINT(m_colStarts.size() - 1), nRowPages = UINT(m_rowStarts.size() - 1);
        pInfo->m_nCurPage = pProps && pProps->m_nPageOrder ? m_nScreenRowPage + m_nScreenColPage * nRowPages + 1
                                                           : m_nScreenColPage + m_nScreenRowPage * nColPages + 1;
    }
}

void CGXGridPrintImp::PrintPage(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo || !pGrid->GetParam())
        return;
    pGrid->DeactivateCurrentCell(TRUE);
    CDCStateGuard guard(pDC);
    if (CGXStyle* pStandard = pGrid->LookupStandardStyle())
        guard.AdoptOldFont(pGrid->SelectStyleFont(pDC, *pStandard));
    pInfo->m_rectDraw = GXPrintPageRect(pDC);
    pGrid->SubtractMargins(pDC, pInfo);
    const CRect page = pInfo->m_rectDraw;

    CGXCellRange block;
    if (!GetPageBlock(pGrid, pInfo->m_nCurPage, block)) {
        pInfo->m_bContinuePrinting = FALSE;
        return;
    }
    if (!m_bPrintSelection) {
        // A record grid fetches the records this page and the next need; it may find more.
        const int nRowHeight = std::max(1, pGrid->DefaultRowHeight());
        pGrid->PrepareRows(block.top + ROWCOL(kRowsAhead * std::max(0, page.Height()) / nRowHeight));
        if (ExtendRows(pGrid, page)) {
            pInfo->SetMaxPage(GetPageCount());
            GetPageBlock(pGrid, pInfo->m_nCurPage, block);
        }
    }
    const ROWCOL nRows = pGrid->RowCount(), nCols = pGrid->ColCount();
    const ROWCOL nLastRow = std::min(block.bottom, nRows), nLastCol = std::min(block.right, nCols);
    const ROWCOL nFrozenRows = pGrid->FrozenRows(), nFrozenCols = pGrid->FrozenCols();
    auto rowHeight = [pGrid](ROWCOL n) { return pGrid->RowHeight(n); };
    auto colWidth = [pGrid](ROWCOL n) { return pGrid->ColWidth(n); };
    const int cx = SumSizes(colWidth, 0, nFrozenCols) + SumSizes(colWidth, block.left, nLastCol);
    const int cy = SumSizes(rowHeight, 0, nFrozenRows) + SumSizes(rowHeight, block.top, nLastRow);

    const CGXProperties* pProps = pGrid->GetProperties();
    CRect rect = page;
    if (pProps && pProps->m_bCenterHorizontal)
        rect.left += std::max(0, (page.Width() - cx) / 2);
    if (pProps && pProps->m_bCenterVertical)
        rect.top += std::max(0, (page.Height() - cy) / 2);
    rect.right = rect.left + cx;
    rect.bottom = rect.top + cy;
    pGrid->m_nPrintTopRow = block.top;
    pGrid->m_nPrintLeftCol = block.left;
    pGrid->m_rectPage = rect;

    pGrid->PrintHeaderFooter(pDC, pInfo);
    if (pProps && pProps->m_bPrintFrame) {
        const COLORREF black = RGB(0, 0, 0);
        const int w = kFrameWidth, o = kFrameOverhang;
        pDC->FillSolidRect(rect.left - o, rect.top - w, cx + 2 * o, w, black);
        pDC->FillSolidRect(rect.left - o, rect.bottom, cx + 2 * o, w, black);
        pDC->FillSolidRect(rect.left - w, rect.top - o, w, cy + 2 * o, black);
        pDC->FillSolidRect(rect.right, rect.top - o, w, cy + 2 * o, black);
    }
    {
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(&page);
        pGrid->DrawRange(0, 0, nFrozenRows + (nLastRow - block.top + 1), nFrozenCols + (nLastCol - block.left + 1), pDC);
        pDC->RestoreDC(nSaved);
    }
    const ROWCOL nRangeLastRow = m_rowStarts.back() - 1, nRangeLastCol = m_colStarts.back() - 1;
    pInfo->m_bContinuePrinting = !(nLastRow >= nRangeLastRow && nLastCol >= nRangeLastCol);
}

void CGXGridPrintImp::EndPrinting(CGXGridCore* pGrid, CDC*, CPrintInfo*)
{
    pGrid->SetPrinting(FALSE);
    if (CGXGridParam* pParam = pGrid->GetParam(); pParam && m_bMadePrintPools) {
        pParam->SetFeatureObject(CGXGridParam::nFloatPrintDelayed, nullptr);
        pParam->SetFeatureObject(CGXGridParam::nFloatPrintSpans, nullptr);
    }
    m_bMadePrintPools = FALSE;
    // What changed while printing was not drawn on the screen.
    pGrid->m_bPrintPassPending = FALSE;
    if (CWnd* pWnd = pGrid->GetGridWnd(); pWnd && pWnd->GetSafeHwnd())
        pWnd->Invalidate();
}

// ---- Header and footer ----

void CGXHeaderFooterImp::DrawHeaderFooter(CGXProperties* pProps, CDC* pDC, CPrintInfo* pInfo, CDocument* pDocument,
                                          CGXGridParam* pParam)
{
    if (!pProps || !pDC || !pInfo)
        return;
    const INT_PTR nTokens = pProps->GetTokens().GetSize();
    pProps->m_tokenValues.RemoveAll();
    pProps->m_tokenValues.SetSize(std::max<INT_PTR>(nTokens, gxTokenName + 1));
    pProps->m_tokenValues[gxTokenTitle] = pDocument ? CString(pDocument->GetTitle()) : CString();
    pProps->m_tokenValues[gxTokenApp] = AfxGetAppName() ? AfxGetAppName() : "";
    pProps->m_tokenValues[gxTokenPages] = FormatNumber(long(pInfo->GetMaxPage()));
    const long nFirst = pProps->m_nFirstPage;
    const long nPage = nFirst >= 0 ? nFirst + long(pInfo->m_nCurPage) - long(pInfo->GetMinPage()) : long(pInfo->m_nCurPage);
    pProps->m_tokenValues[gxTokenPage] = FormatNumber(nPage);
    pProps->m_tokenValues[gxTokenName] = pParam ? pParam->m_sText : CString();

    CGXStylesMap* pStyles = pParam ? pParam->GetStylesMap() : nullptr;
    const CRect draw = pInfo->m_rectDraw;
    const CRect header(draw.left, pProps->m_nDistances[0], draw.right, draw.top);
    DrawHeaderFooterCells(pProps, pDC, pInfo, header, pProps->GetDataHeader(), pStyles);
    const CRect paper = GXPrintPageRect(pDC);
    CRect footer(draw.left, 0, draw.right, paper.bottom - pProps->m_nDistances[1]);
    footer.top = std::max(footer.bottom - CalcHeaderFooterHeight(pProps, pDC, pProps->GetDataFooter(), pStyles),
                          draw.bottom);
    DrawHeaderFooterCells(pProps, pDC, pInfo, footer, pProps->GetDataFooter(), pStyles);
}

namespace {

// Selects a header cell's font for its lifetime, when it has one of its own.
class CellFont {
public:
    CellFont(CDC* pDC, const CGXStyle& style) : m_guard(pDC)
    {
        if (!style.GetIncludeFont())
            return;
        const LOGFONT lf = style.GetFont().GetLogFont();
        if (m_font.CreateFontIndirect(&lf))
            m_guard.SelectFont(&m_font);
    }

private:
    CFont m_font;  // declared first: destroyed after the guard restores the old font
    CDCStateGuard m_guard;
};

int LineHeight(CDC* pDC) { return pDC->GetTextExtent("X", 1).cy; }

const CGXStyle* HeaderCell(CGXData& data, ROWCOL nRow, ROWCOL nCol)
{
    const CGXStyle* p = data.LookupStyleRowCol(nRow, nCol);
    return p && p->GetIncludeValue() && !p->GetValue().IsEmpty() ? p : nullptr;
}

}  // namespace

int CGXHeaderFooterImp::CalcHeaderFooterHeight(CGXProperties*, CDC* pDC, CGXData& data, CGXStylesMap*)
{
    if (!pDC)
        return 0;
    int nHeight = 0;
    for (ROWCOL c = 1; c <= kHeaderParts; ++c) {
        int nSum = 0;
        for (ROWCOL r = 1; r <= kHeaderLines; ++r)
            if (const CGXStyle* p = HeaderCell(data, r, c)) {
                CellFont font(pDC, *p);
                nSum += LineHeight(pDC);
            }
        nHeight = std::max(nHeight, nSum);
    }
    return nHeight;
}

void CGXHeaderFooterImp::DrawHeaderFooterCells(CGXProperties* pProps, CDC* pDC, CPrintInfo*, const CRect& rect,
                                               CGXData& data, CGXStylesMap*)
{
    if (!pDC)
        return;
    static const UINT kAlign[kHeaderParts] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    CDCStateGuard guard(pDC);
    guard.SetBkMode(TRANSPARENT);
    guard.SetTextColor(RGB(0, 0, 0));
    for (ROWCOL c = 1; c <= kHeaderParts; ++c) {
        int y = rect.top;
        for (ROWCOL r = 1; r <= kHeaderLines; ++r) {
            const CGXStyle* p = HeaderCell(data, r, c);
            if (!p)
                continue;
            CellFont font(pDC, *p);
            const int h = LineHeight(pDC);
            CRect line(rect.left + kHeaderInset, y, rect.right - kHeaderInset, y + h);
            pDC->DrawText(ExpandTokens(pProps, p->GetValue()), &line,
                          kAlign[c - 1] | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            y += h;
        }
    }
}

CString CGXHeaderFooterImp::ExpandTokens(CGXProperties* pProps, const CString& sText)
{
    const CStringArray& tokens = pProps->GetTokens();
    std::string out;
    CString sRest = sText;
    while (!sRest.IsEmpty()) {
        const std::string_view rest(sRest, size_t(sRest.GetLength()));
        int nMatch = -1;
        for (INT_PTR k = 0; k < tokens.GetSize() && nMatch < 0; ++k) {
            const CString sToken = tokens[k];
            const std::string_view token(sToken, size_t(sToken.GetLength()));
            if (!token.empty() && token.size() <= rest.size() && PvCompareNoCase(rest.substr(0, token.size()), token) == 0)
                nMatch = int(k);
        }
        if (nMatch < 0) {
            out += rest.front();
            sRest = sRest.Mid(1);
            continue;
        }
        sRest = sRest.Mid(tokens[nMatch].GetLength());
        const CString sValue = GetTokenValue(pProps, nMatch, sRest);
        out.append(sValue, size_t(sValue.GetLength()));
    }
    return CString(out.data(), int(out.size()));
}

CString CGXHeaderFooterImp::GetTokenValue(CGXProperties* pProps, int nToken, CString& sRest)
{
    if (nToken != gxTokenDate)
        return pProps->GetTokenText(nToken);
    CString sFormat = TakeTokenArgument(pProps, sRest);
    if (sFormat.IsEmpty())
        sFormat = kDefaultDateFormat;
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char buf[kDateBuffer];
    const size_t n = std::strftime(buf, sizeof buf, sFormat, &local);
    return CString(buf, int(n));
}

CString CGXHeaderFooterImp::TakeTokenArgument(CGXProperties*, CString& sRest)
{
    if (sRest.IsEmpty() || sRest[0] != '{')
        return CString();
    const int nClose = sRest.Find('}');
    if (nClose < 0)
        return CString();
    const CString sArgument = sRest.Mid(1, nClose - 1);
    sRest = sRest.Mid(nClose + 1);
    return sArgument;
}

void GXInstallHeaderFooterImp()
{
    static CGXHeaderFooterImp s_imp;
    GXGetAppData()->m_pHeaderFooterImp = &s_imp;
}

void CGXGridCore::InstallPrintImp()
{
    if (m_pPrintImp)
        return;
    auto* p = new CGXGridPrintImp;
    m_pPrintImp = p;
    AddImpToDeleteList(p);
}
