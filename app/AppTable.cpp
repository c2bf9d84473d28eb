#include "app/AppTable.h"

#include "app/Config.h"
#include "platform/dao/dao.h"
#include "platform/win/win.h"

const AppTableTexts kSortTexts = {
    "This program was unable to open the table named Application in the directory database ",
    "Error! The table named Application in the directory database contains no data.",
    "Error! The table named Application does not contain an entry for ",
    "Error in the table named Application in the directory database. \n",
};

const AppTableTexts kTitleTexts = {
    "Error while reading title! This program was unable to open the table named Application in the directory database ",
    "Error while reading title! The table named Application in the directory database contains no data.",
    "Error while reading title! The table named Application does not contain an entry for ",
    "Error while reading title! Error in the table named Application in the directory database. \n",
};

const AppTableTexts kFootnoteTexts = {
    "Error while reading footnote! This program was unable to open the table named Application in the directory database ",
    "Error while reading footnote! The table named Application in the directory database contains no data.",
    "Error while reading footnote! The table named Application does not contain an entry for ",
    "Error while reading Footnote! Error in the table named Application in the directory database. \n",
};

namespace {

const CString kReinstall = CString("\n") + kReinstallAdvice;

const UINT kBoxStyle = MB_OK | MB_ICONEXCLAMATION;

} // namespace

CString VariantText(const COleVariant& value)
{
    if (value.vt == VT_NULL || value.vt == VT_EMPTY)
        return CString();
    COleVariant text(value);
    text.ChangeType(VT_BSTR);
    return CString(text.bstrVal);
}

CString JetErrorSuffix(long errorCode)
{
    CString s;
    s.Format("\n(Jet Error Number %ld)", errorCode);
    return s;
}

BOOL ReadApplicationValues(CDaoDatabase& db, const CString& databasePath, const char* const* keys, int nKeys,
                           CString* values, const AppTableTexts& texts, CString* pLastShown, BOOL bQuiet)
{
    auto report = [pLastShown, bQuiet](const CString& text) {
        if (bQuiet || (pLastShown && *pLastShown == text))
            return;
        if (pLastShown)
            *pLastShown = text;
        AfxMessageBox(text, kBoxStyle);
    };
    CDaoTableDef table(&db);
    CDaoRecordset rs(&db);
    try {
        table.Open("Application");
        rs.Open(&table, dbOpenTable);
    } catch (const CDaoException& e) {
        report(texts.openFailed + databasePath + kReinstall + JetErrorSuffix(e.m_pErrorInfo->m_lErrorCode));
        return FALSE; // the table and recordset close themselves
    }

    try {
        rs.MoveFirst();
        if (rs.IsEOF())
            throw CDaoException(3021, "No current record.");
    } catch (const CDaoException& e) {
        report(texts.noData + JetErrorSuffix(e.m_pErrorInfo->m_lErrorCode));
        return FALSE;
    }

    try {
        for (int i = 0; i < nKeys; ++i) {
            while (!rs.IsEOF() && VariantText(rs.GetFieldValue("Key")) != keys[i])
                rs.MoveNext();
            if (rs.IsEOF()) {
                report(texts.noEntry + CString(keys[i]));
                return FALSE;
            }
            values[i] = VariantText(rs.GetFieldValue("Value"));
        }
    } catch (const CDaoException& e) {
        report(texts.readFailed + e.m_pErrorInfo->m_strDescription + JetErrorSuffix(e.m_pErrorInfo->m_lErrorCode));
        return FALSE;
    }
    if (pLastShown)
        pLastShown->Empty();
    return TRUE;
}
