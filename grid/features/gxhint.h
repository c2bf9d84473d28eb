#pragma once
// Views that follow each other and repaints that stay small.
// CGXGridUpdateHintImp turns each visible change of a grid into a CGXGridHint, broadcasts it
// through the document to the other views, and in a receiving view applies it through the same
// grid operation without sending anything back. CGXGridOptimizedUpdateImp repaints after rows
// or columns were inserted, removed or resized by scrolling the window's pixels where it can
// and invalidating only the strips that change.

#include "grid/core/gxfeature.h"

// One change, as the other views of the document receive it.
class CGXGridHint : public CObject {
    DECLARE_DYNAMIC(CGXGridHint)
public:
    CGXGridHint(int nType = 0, int nGridId = 0) : m_id(nType), m_nGridId(nGridId) {}

    int m_id = 0;           // the kind (GXHintKind)
    int m_nGridId = 0;      // the sender's grid id; -1 addresses every grid
    DWORD m_nValue1 = 0;    // rows, columns, counts, modes
    DWORD m_nValue2 = 0;
    const void* m_pRange = nullptr;  // a range, or former sizes
    const void* m_pStyle = nullptr;
    UINT m_nFlags = 0;
    // The sender's splitter pane, for the hints only grids of that splitter follow.
    CWnd* m_pSplitterWnd = nullptr;
    int m_nSplitterRow = 0;
    int m_nSplitterCol = 0;
    BOOL m_bResult = FALSE;  // cleared by a receiver that failed (storing the current cell)
};

class CGXGridUpdateHintImp : public CGXAbstractGridUpdateHintImp {
public:
    BOOL SendHint(CGXGridCore* pGrid, int nKind, const void* p1, const void* p2, DWORD d1, DWORD d2, UINT flags) override;
    void SendHintObject(CGXGridCore* pGrid, CObject* pHint) override;
    BOOL ProcessHint(CGXGridCore* pGrid, CObject* pHint) override;

private:
    // Set while this grid applies a hint: what it does then is not sent again.
    BOOL m_bReceiving = FALSE;
};

class CGXGridOptimizedUpdateImp : public CGXAbstractGridOptimizedUpdateImp {
public:
    BOOL OnRowsInserted(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nCount, UINT flags) override;
    BOOL OnColsInserted(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nCount, UINT flags) override;
    BOOL OnRowsRemoved(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags) override;
    BOOL OnColsRemoved(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags) override;
    BOOL OnRowHeightsChanged(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags) override;
    BOOL OnColWidthsChanged(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags) override;

private:
    BOOL Inserted(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nCount, UINT flags);
    BOOL Removed(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags);
    BOOL SizesChanged(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFirst, ROWCOL nLast, const int* anOld, UINT flags);
};
