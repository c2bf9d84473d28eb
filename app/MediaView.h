#pragma once
// CMediaView: the main window's HTML pane. It shows the home page, the media and web pages the
// outline opens, and the details page of the person the main frame selects, built here and
// loaded from memory. Links inside shown pages follow the program's own schemes: "OUT:BLANK"
// does nothing, "ext://name/" opens a media page in the link dialog, "fjc://name/" jumps the
// directory to that person.

#include "app/BuildHtm.h"
#include "platform/html/htmlview.h"

class CCipher;
class CDaoDatabase;
class CMainFrame;

class CMediaView : public CHtmlView {
    DECLARE_DYNCREATE(CMediaView)
public:
    CMediaView();
    ~CMediaView() override;

    // Builds the page of m_lRecordKey and keeps it; the page counts as shown from here until the
    // next navigation of the pane starts.
    void BuildDetailsPage();
    // Shows the kept page text in the browser; FALSE when memory or the stream failed or the
    // browser holds no document yet.
    BOOL LoadHtmlText();
    BOOL IsDetailsPageShown() const { return m_bDetailsPageShown; }
    void PrintWithPrompt();
    void PrintWithoutPrompt();
    void PrintPreview();
    // Shows all entries, then has the directory scroll to the first entry starting with the text
    // ("%20" read as a blank, trailing '/' dropped) and show that person.
    void JumpToEntry(CString strText);

    long m_lRecordKey = 0;            // written by the main frame before it asks for a page
    CString m_strSchoolCode;          // always empty in the viewer
    CString m_strPageTitle;
    CString m_strPageText;
    BOOL m_bDetailsPageShown = FALSE; // set by a build, cleared when a navigation starts

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;
    void OnNavigateComplete2(LPCTSTR strURL) override;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    void OnStatusTextChange(LPCTSTR) override {}
    void OnCommandStateChange(long nCommand, BOOL bEnable) override;
    void OnDocumentComplete(LPCTSTR lpszURL) override;

protected:
    // Runs the HTML link dialog on an address, modally.
    virtual void ShowLinkDialog(const CString& strAddress);
    CMainFrame* GetMainFrame() const;

    afx_msg void OnDirectoryKey(UINT nID);
    afx_msg void OnPrintDetails();
    afx_msg void OnCopy() {}
    afx_msg void OnSetFocus(CWnd*) {}
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CDaoDatabase* m_pDatabase = nullptr;  // the document's; not owned
    CCipher* m_pCipher = nullptr;         // the document's; not owned
    CBuildHtm m_builder;
    BOOL m_bComInitialized = FALSE;
};

// Whether a browser version text allows print preview: its first four characters read as a
// decimal number of at least 5.5.
BOOL BrowserCanPrintPreview(const CString& strVersion);

// Hands the message being handled to the window's default procedure.
void PassMouseMessageToDefault(CWnd* pWnd);
