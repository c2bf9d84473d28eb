#pragma once
// The rules of the directory's tables that the grid view follows (names of rank and key columns,
// the Blank fall-back), and the statement work of its queries: the ORDER BY split, the record
// count, column widths and the row bands.

#include "platform/base/CString.h"

#include <string>

class CDaoDatabase;

// The whole directory, and the table opened in place of a query that failed.
extern const char kDirectoryQuery[];   // "SELECT * FROM Data"
extern const char kBlankQuery[];       // "SELECT * FROM Blank"
// The Blank table's one column, and status pane 2's text when the grid shows it.
extern const char kNoRecordsFound[];   // "No Records Found"
extern const char kRecordKeyField[];   // "_IKEY"
extern const char kLastNameField[];    // "Last Name"

// A rank or key column: its name holds "_i" or "_I"; never deciphered, never shown.
bool IsRankColumnName(const CString& strName);
// The column menu's text of a field ("&" doubled), and the field a menu text names.
CString MenuTextOfField(const CString& strName);
CString FieldOfMenuText(const CString& strText);

// Splits "ORDER BY" (any case, the first from the start) off a statement: the statement keeps
// what stands before it, the sort gets what follows. FALSE (both unchanged) without one.
BOOL SplitOrderBy(CString& strStatement, CString& strSort);

// The statement that counts the rows a statement (without ORDER BY) yields; counting the same
// statement learns the exact number without reading a sorted keyset to its end.
CString CountStatement(const CString& strStatement);
// Runs it on the database; -1 when the engine refuses it.
long CountStatementRecords(CDaoDatabase* pDatabase, const CString& strStatement);
// Status pane 2: "<count> Total Records".
CString TotalRecordsText(long nCount);

// A column's width in characters: 0.6 of the field's display width (truncated), or the header's
// length + 1 when the header is longer.
long DirectoryColumnChars(long nDisplayWidth, const CString& strHeader);
// The fixed widths of "Entry" and "Section" in thousandths of the font unit, 0 for other fields.
long FixedColumnWidth(const CString& strField);
// A size in thousandths of the grid's font unit, in pixels.
int RowUnitsToPixels(long nValue, int nFontUnit);

// Rows are banded in threes from row 1: TRUE for the rows of the coloured bands (4-6, 10-12, ...).
bool IsShadedBandRow(unsigned long nRow);

// ---- Sorting by rank and the typed-text jump ----

// The rank column that orders a field: "_IKEY" for the key, "_I" + name for a plain name, and
// "table._Ifield" for a "table.field" name.
CString RankFieldOf(const CString& strField);
// One ORDER BY term over a rank column: "[_IName]" or "table.[_Ifield]", " DESC" when descending.
CString RankSortTerm(const CString& strRankField, BOOL bDescending);
// The column a sort names after columns nFrom..nTo moved so that nFrom stands at nDest; other
// columns shift to make room.
long ColumnAfterMove(long nCol, unsigned long nFrom, unsigned long nTo, unsigned long nDest);
// The typed-text jump's test: whether a row whose shown text is strRowUpper lies before the
// rows the upper-cased typed text leads to. Rows stand in rank order, which is byte order of
// the upper-cased text; a descending order compares the row's prefix of the typed length.
bool JumpRowIsBelow(const std::string& strRowUpper, const std::string& strTypedUpper, BOOL bDescending);
