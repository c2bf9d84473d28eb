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
