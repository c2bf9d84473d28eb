#pragma once
// Turning cell ranges into clipboard contents and back: the table text (CF_TEXT,
// UTF-8 here) and the grid's private styles format, an archive of cell styles.
//
// Table text: one line per row, lines separated by CR LF, cells by the copy separator (TAB when
// empty); a final CR LF only when more than one row or column was written. Inside a value, with
// clipboard option 0x1000, CR, LF and TAB are written as "\r", "\n", "\t" (and read back);
// without it CR LF, CR and LF become one blank and TAB becomes "\t" (read back as those two
// characters). A spreadsheet's quoted field with line breaks inside is not unquoted: its lines
// paste as lines, as no rule asks otherwise.

#include "grid/core/gxfeature.h"

class CGXGridTextDataExchangeImpl : public CGXGridTextDataExchangeImp {
public:
    BOOL CopyTextToFile(CGXGridCore* pGrid, CFile& file, const CGXRangeList& list) override;
    CString GetCopyTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;
    // False when cancelled, or when a cell refused its text or the grid could not grow: the
    // paste is then rolled back whole.
    BOOL PasteTextFromBuffer(CGXGridCore* pGrid, LPCTSTR psz, DWORD nSize, const CGXCellRange& target) override;
    BOOL PasteTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT flags,
                         const CGXStyle* pStyle) override;
    BOOL CalcBufferDimension(CGXGridCore* pGrid, LPCTSTR psz, DWORD nSize, ROWCOL& nRows, ROWCOL& nCols) override;
};

class CGXGridStyleDataExchangeImpl : public CGXGridStyleDataExchangeImp {
public:
    BOOL CopyStylesToArchive(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& list, BOOL bComposed) override;
    BOOL GetCopyStyleRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bComposed) override;
    // The block is checked whole before anything changes: its counts within the limits, the
    // array exactly rows x columns long, each element a style or null; else false.
    BOOL PasteStylesFromArchive(CGXGridCore* pGrid, CArchive& ar, const CGXCellRange& target, BOOL bPasteAnyway) override;
};

// Limits of a styles block.
constexpr DWORD kGXMaxStyleBlockLines = 32767;
constexpr unsigned long long kGXMaxStyleBlockCells = 1073741822ULL;

// The character rules of one value of the table text.
CString GXEscapeCopyText(const CString& sValue, BOOL bEscapes);
CString GXUnescapePasteText(const char* p, size_t n, BOOL bEscapes);
