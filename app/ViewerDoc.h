#pragma once
// The program's one document: the directory database (opened exclusively), the recordset the
// directory grid browses, the grid's parameter object, the current query and the record cipher.
// The directory is read-only for the program; nothing is ever saved.

#include "app/Cipher.h"
#include "platform/dao/dao.h"
#include "platform/ui/ui.h"

#include <memory>

class CGXGridParam;

// Thrown when the user gives up on the directory database (Cancel). Every operation that needs
// the database catches it and ends without further messages.
struct CViewerAbort {
    CString m_strText = "Kill this program!";
};

class CViewerDoc : public CDocument {
    DECLARE_DYNCREATE(CViewerDoc)
public:
    CViewerDoc();
    ~CViewerDoc() override;

    // Opens the database when it is closed and keys the cipher; may throw CViewerAbort.
    BOOL OpenDirectoryDatabase();
    // "Data.[_I<first>], Data.[_I<second>]", or empty on failure; may throw CViewerAbort.
    void GetDefaultSort(CString& strSort);
    // The title from table Application, "Paravel" when it cannot be read; may throw CViewerAbort.
    CString GetAppTitle();
    // Reads the footnote into m_strFootnote; TRUE when it is not empty.
    BOOL GetFootnote();

    BOOL OnNewDocument() override;
    void DeleteContents() override;
    BOOL SaveModified() override { return TRUE; }

    CCipher* GetCipher() const { return m_pCipher.get(); }
    BOOL IsCipherKeyed() const { return m_bKeyed; }

    CDaoDatabase m_database;
    CDaoRecordset m_recordset;
    CGXGridParam* m_pGridParam = nullptr; // owned; created by the directory view
    CString m_strFootnote;
    CString m_strTitle;
    CString m_strQuery;
    CString m_strSort; // the sort of the directory view's last query

protected:
    void InitCipherKey(BOOL bQuiet = FALSE);

private:
    std::unique_ptr<CCipher> m_pCipher;
    BOOL m_bKeyed = FALSE;
    BOOL m_bKeepDatabase = FALSE; // while OnNewDocument runs: the session keeps the database
    // The last message each reader of table Application showed: the keying and the default
    // sort read the same rows, and one fault is reported once.
    CString m_strSortFault;
    CString m_strTitleFault;
    CString m_strFootnoteFault;
};


// TRUE once the user cancelled the database prompt before the main window existed: start-up
// must end without further messages.
BOOL PvStartupAbandoned();
void PvResetStartupAbandoned();
