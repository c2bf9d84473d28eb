#pragma once
// Find, Find Next, Replace and Replace All of one grid, along its current column, from the
// process's one modeless find/replace dialog. The texts and options live in the shared
// GridFindReplaceState, so every grid starts from the last search.

#include "grid/core/gxfeature.h"
#include "grid/core/gxgrid.h"

class CGXGridFindReplaceImp : public CGXAbstractGridFindReplaceImp {
public:
    void ShowDialog(CGXGridCore* pGrid, BOOL bFindOnly) override;
    BOOL FindNext(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bMatchCase) override;
    BOOL FindInCellText(CGXControl* pControl, const GXFindReplaceParams& params, ROWCOL nRow, ROWCOL nCol,
                        BOOL bIncludeCurrent, BOOL bSetCurrent) override;
    BOOL SearchCells(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCurrent) override;
    BOOL FindAgain(CGXGridCore* pGrid, BOOL bSetCurrent) override;
    BOOL Replace(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bDown, BOOL bMatchCase) override;
    BOOL ReplaceAll(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bMatchCase) override;
    void OnFindReplaceMessage(CGXGridCore* pGrid, CFindReplaceDialog* pDialog) override;
    BOOL ReplaceInCellText(CGXControl* pControl, const GXFindReplaceParams& params, ROWCOL nRow,
                           ROWCOL nCol) override;
};

// The cell text with every occurrence of params.strFind replaced, left to right and without
// overlap. Occurrences are found in the upper-cased copy unless the search matches case; upper
// casing keeps every byte length, so the copy's offsets cut the original text. Empty when none.
BOOL GXReplaceOccurrences(const CString& sText, const GXFindReplaceParams& params, CString& sResult);
