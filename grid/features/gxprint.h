#pragma once
// Printing a grid: pages across and down with the frozen rows and columns on every page,
// manual breaks, centring and a frame; and the page header and footer with their tokens.

#include <functional>
#include <vector>

#include "grid/core/gxfeature.h"
#include "grid/core/gxprop.h"

class CDWordArray;

// One grid's pagination, made when printing begins and kept until it ends.
class CGXGridPrintImp : public CGXAbstractGridPrintImp {
public:
    void BeginPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;
    void PrintPage(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;
    void EndPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;

    // Entry k is the first row (column) of page row (column) k; the last is one past the end.
    const std::vector<ROWCOL>& GetRowStarts() const { return m_rowStarts; }
    const std::vector<ROWCOL>& GetColStarts() const { return m_colStarts; }
    UINT GetPageCount() const;
    // The block of cells page n (from 1) prints: top row, left column, last row, last column.
    BOOL GetPageBlock(const CGXGridCore* pGrid, UINT nPage, CGXCellRange& block) const;

private:
    void Paginate(CGXGridCore* pGrid, const CRect& page);
    // Appends the row pages after the last start when a record grid grew while printing.
    BOOL ExtendRows(CGXGridCore* pGrid, const CRect& page);

    std::vector<ROWCOL> m_rowStarts;
    std::vector<ROWCOL> m_colStarts;
    UINT m_nScreenRowPage = 0;
    UINT m_nScreenColPage = 0;
    BOOL m_bPrintSelection = FALSE;
    BOOL m_bMadePrintPools = FALSE;
};

// Splits [nFirst, nLast] into pages of at most nAvail units: at least one item per page, a
// manual break (a start of its own) cutting a page early. Breaks come from a stored file:
// one that is not after the current page start is skipped. Appends the page starts to starts
// (its last entry, if any, is the first start) and ends the list with nLast + 1.
void GXPaginate(ROWCOL nFirst, ROWCOL nLast, int nAvail, const std::function<int(ROWCOL)>& size,
                const CDWordArray* pBreaks, std::vector<ROWCOL>& starts);

// The header/footer handler the properties of every grid reach through the library state.
class CGXHeaderFooterImp : public CGXAbstractHeaderFooterImp {
public:
    enum { gxTokenTitle, gxTokenApp, gxTokenPage, gxTokenPages, gxTokenDate, gxTokenName };
    void DrawHeaderFooter(CGXProperties* pProps, CDC* pDC, CPrintInfo* pInfo, CDocument* pDocument,
                          CGXGridParam* pParam) override;
    int CalcHeaderFooterHeight(CGXProperties* pProps, CDC* pDC, CGXData& data, CGXStylesMap* pStylesMap) override;
    void DrawHeaderFooterCells(CGXProperties* pProps, CDC* pDC, CPrintInfo* pInfo, const CRect& rect, CGXData& data,
                               CGXStylesMap* pStylesMap) override;
    CString ExpandTokens(CGXProperties* pProps, const CString& sText) override;
    CString GetTokenValue(CGXProperties* pProps, int nToken, CString& sRest) override;
    CString TakeTokenArgument(CGXProperties* pProps, CString& sRest) override;
};

void GXInstallHeaderFooterImp();
// The printable page of the device in the grid's logical units (screen pixels).
CRect GXPrintPageRect(CDC* pDC);
