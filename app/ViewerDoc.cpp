#include "app/ViewerDoc.h"

#include "app/AppTable.h"
#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "app/Config.h"
#include "app/DirectoryKey.h"
#include "grid/core/gxparam.h"

namespace {

BOOL g_startupAbandoned = FALSE;

} // namespace

BOOL PvStartupAbandoned()
{
    return g_startupAbandoned;
}

void PvResetStartupAbandoned()
{
    g_startupAbandoned = FALSE;
}

IMPLEMENT_DYNCREATE(CViewerDoc, CDocument)

CViewerDoc::CViewerDoc()
    : m_recordset(&m_database), m_pCipher(std::make_unique<CBlowfishCipher>())
{
}

CViewerDoc::~CViewerDoc()
{
    delete m_pGridParam;
}

BOOL CViewerDoc::OnNewDocument()
{
    // The frame opened the database for its title before this runs; letting go of it here
    // would let a second copy of the program in until the database is next needed.
    m_bKeepDatabase = TRUE;
    BOOL ok = CDocument::OnNewDocument();
    m_bKeepDatabase = FALSE;
    return ok;
}

void CViewerDoc::DeleteContents()
{
    if (m_recordset.IsOpen())
        m_recordset.Close();
    if (m_database.IsOpen() && !m_bKeepDatabase)
        m_database.Close();
    delete m_pGridParam;
    m_pGridParam = nullptr;
}

BOOL CViewerDoc::OpenDirectoryDatabase()
{
    for (;;) {
        if (m_database.IsOpen()) {
            InitCipherKey();
            return TRUE;
        }
        try {
            m_database.Open(GetDatabasePath(), TRUE, FALSE, kDirectoryConnect);
            // Key the cipher at once, so nothing can be deciphered with an unkeyed cipher
            // whichever caller opens the database first. A fault is reported by the next
            // keying, which every reader of the directory runs first, and only once.
            InitCipherKey(TRUE);
            return TRUE;
        } catch (const CDaoException& e) {
            if (m_database.IsOpen())
                m_database.Close();
            const long code = e.m_pErrorInfo->m_lErrorCode;
            CString text;
            if (code == 3356) {
                text = "Another program is currently using the directory database.  Please close all programs and try again.";
            } else {
                text = "Error! Unable to open directory database " + GetDatabasePath() + ".\n" + kReinstallAdvice +
                       "." + JetErrorSuffix(code);
            }
            if (AfxMessageBox(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
                continue;
            if (CWnd* main = AfxGetMainWnd(); main && ::IsWindow(main->GetSafeHwnd()))
                main->SendMessage(WM_CLOSE);
            else
                g_startupAbandoned = TRUE; // the frame is still being built: start-up ends quietly
            throw CViewerAbort();
        }
    }
}

void CViewerDoc::InitCipherKey(BOOL bQuiet)
{
    CString values[2];
    if (!ReadApplicationValues(m_database, GetDatabasePath(), kCipherKeyRows, 2, values, kSortTexts, &m_strSortFault, bQuiet))
        return;
    m_pCipher->SetKey(DeriveCipherKey(values[0], values[1]));
    m_bKeyed = TRUE;
}

void CViewerDoc::GetDefaultSort(CString& strSort)
{
    strSort.Empty();
    OpenDirectoryDatabase();
    CString values[2];
    if (ReadApplicationValues(m_database, GetDatabasePath(), kCipherKeyRows, 2, values, kSortTexts, &m_strSortFault))
        strSort = "Data.[_I" + values[0] + "], Data.[_I" + values[1] + "]";
}

CString CViewerDoc::GetAppTitle()
{
    m_strTitle = "Paravel";
    OpenDirectoryDatabase();
    const char* const keys[] = {"AppTitle"};
    CString value;
    if (ReadApplicationValues(m_database, GetDatabasePath(), keys, 1, &value, kTitleTexts, &m_strTitleFault))
        m_strTitle = value;
    return m_strTitle;
}

BOOL CViewerDoc::GetFootnote()
{
    try {
        OpenDirectoryDatabase();
    } catch (const CViewerAbort&) {
        return FALSE;
    }
    const char* const keys[] = {"Footnote"};
    CString value;
    if (!ReadApplicationValues(m_database, GetDatabasePath(), keys, 1, &value, kFootnoteTexts, &m_strFootnoteFault))
        return FALSE;
    m_strFootnote = value;
    return !m_strFootnote.IsEmpty();
}
