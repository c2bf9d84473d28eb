// Names, statements and sizes of the directory grid.

#include "app/DirectoryQuery.h"

#include "platform/base/textcase.h"
#include "platform/base/utf8.h"
#include "platform/dao/dao.h"

const char kDirectoryQuery[] = "SELECT * FROM Data";
const char kBlankQuery[] = "SELECT * FROM Blank";
const char kNoRecordsFound[] = "No Records Found";
const char kRecordKeyField[] = "_IKEY";
const char kLastNameField[] = "Last Name";

namespace {

int charLength(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

} // namespace

bool IsRankColumnName(const CString& strName)
{
    return strName.Find("_i") >= 0 || strName.Find("_I") >= 0;
}

CString MenuTextOfField(const CString& strName)
{
    CString s = strName;
    s.Replace("&", "&&");
    return s;
}

CString FieldOfMenuText(const CString& strText)
{
    CString s = strText;
    s.Replace("&&", "&");
    return s;
}

BOOL SplitOrderBy(CString& strStatement, CString& strSort)
{
    const CString upper(PvUpperCase(strStatement.str()).c_str());
    const int at = upper.Find("ORDER BY");
    if (at < 0)
        return FALSE;
    strSort = strStatement.Mid(at + 8);
    strSort.Trim();
    strStatement = strStatement.Left(at);
    strStatement.TrimRight();
    return TRUE;
}

CString CountStatement(const CString& strStatement)
{
    return "SELECT Count(*) FROM (" + strStatement + ")";
}

long CountStatementRecords(CDaoDatabase* pDatabase, const CString& strStatement)
{
    if (!pDatabase || !pDatabase->IsOpen())
        return -1;
    try {
        CDaoRecordset rs(pDatabase);
        rs.Open(dbOpenSnapshot, CountStatement(strStatement));
        if (rs.IsEOF())
            return -1;
        COleVariant v = rs.GetFieldValue(0);
        rs.Close();
        v.ChangeType(VT_I4);
        return v.lVal;
    } catch (const CDaoException&) {
        return -1;
    } catch (const COleException&) {
        return -1;
    }
}

CString TotalRecordsText(long nCount)
{
    CString s;
    s.Format("%ld Total Records", nCount);
    return s;
}

long DirectoryColumnChars(long nDisplayWidth, const CString& strHeader)
{
    const long nChars = long(double(nDisplayWidth) * 0.6);
    const long nHeader = charLength(strHeader);
    return nHeader > nChars ? nHeader + 1 : nChars;
}

long FixedColumnWidth(const CString& strField)
{
    // Room for the name and the few characters an entry or a section code needs.
    if (strField == "Entry")
        return (long(strField.GetLength()) + 15) * 1000;
    if (strField == "Section")
        return (long(strField.GetLength()) + 8) * 1000;
    return 0;
}

int RowUnitsToPixels(long nValue, int nFontUnit)
{
    if (nFontUnit <= 0 || nFontUnit > 1000)
        return 0;
    return int(nValue / (1000 / nFontUnit));
}

bool IsShadedBandRow(unsigned long nRow)
{
    return nRow >= 1 && ((nRow - 1) / 3) % 2 == 1;
}

// ---- Sorting by rank and the typed-text jump ----

CString RankFieldOf(const CString& strField)
{
    if (strField.Find(kRecordKeyField) >= 0)
        return kRecordKeyField;
    const int dot = strField.Find('.');
    if (dot < 0)
        return "_I" + strField;
    return strField.Left(dot) + "._I" + strField.Mid(dot + 1);
}

CString RankSortTerm(const CString& strRankField, BOOL bDescending)
{
    const int dot = strRankField.Find('.');
    CString term = dot < 0 ? "[" + strRankField + "]" : strRankField.Left(dot) + ".[" + strRankField.Mid(dot + 1) + "]";
    if (bDescending)
        term += " DESC";
    return term;
}

long ColumnAfterMove(long nCol, unsigned long nFrom, unsigned long nTo, unsigned long nDest)
{
    if (nCol < 0 || nTo < nFrom || nDest == nFrom)
        return nCol;
    const unsigned long c = (unsigned long)nCol, count = nTo - nFrom + 1;
    if (c >= nFrom && c <= nTo)
        return long(c - nFrom + nDest);
    if (nDest > nFrom && c > nTo && c <= nDest + count - 1)
        return long(c - count);
    if (nDest < nFrom && c >= nDest && c < nFrom)
        return long(c + count);
    return nCol;
}

bool JumpRowIsBelow(const std::string& strRowUpper, const std::string& strTypedUpper, BOOL bDescending)
{
    if (!bDescending)
        return strRowUpper < strTypedUpper;
    return strRowUpper.compare(0, strTypedUpper.size(), strTypedUpper) > 0;
}
