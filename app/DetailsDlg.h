#pragma once
// CDetailsDlg: the details pop-up, one person's details page in its own modeless window beside
// the main window, with buttons for the person's notes, the favorites, printing and closing.
// The main frame creates one per record, gives it the key and keeps it in its pop-up list; the
// pop-up deletes itself once its window is gone.

#include "app/WebBrowser2.h"
#include "platform/ui/dialog.h"

class CMainFrame;
class CMenu;
class CNavigateView;

// What the pop-up hands the Add to Favorites dialog, under that dialog's member names.
struct CAddToFavoritesArgs {
    CNavigateView* m_pOutline = nullptr;
    long m_nRecordKey = 0;
    int m_bAddMode = 0;
    CString m_strPrompt;
    CString m_strName;
    int m_bHasNotes = 0;
    CMenu* m_pFavoritesMenu = nullptr;
};

// Where a pop-up opened with the frame's cascade counter n stands: its own rectangle moved 12 n
// right and 18 n down, unless that reaches the bottom of the frame's rectangle; then it keeps
// its rectangle and the counter starts again at 0.
CRect CascadedPopupRect(const CRect& rcWindow, const CRect& rcBase, int& nCascade);

class CDetailsDlg : public CDialog {
public:
    explicit CDetailsDlg(CWnd* pParent = nullptr);

    // Creates the modeless window from its template; null (and nothing left behind) on failure.
    // The window owns the object from here: it is deleted when its window is destroyed.
    static CDetailsDlg* CreatePopup(CWnd* pParent);

    // Takes the record's page and title from the HTML pane, which the frame has just built for
    // this key; the page is shown once the blank document has completed.
    void SetRecordKey(long nKey);
    long GetRecordKey() const { return m_nRecordKey; }
    BOOL IsPageLoaded() const { return m_bPageLoaded; }

    CWebBrowser2 m_browser;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override {}   // no default button: Enter leaves the page up
    void OnCancel() override;
    void PostNcDestroy() override;

    void PlaceCascaded();
    virtual void OnDocumentComplete(LPCTSTR lpszURL);
    void OnNavigateComplete2(LPCTSTR) {}
    CMainFrame* GetMainFrame() const;

    afx_msg LRESULT OnControlEvent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnAddToFavorites();
    afx_msg void OnNotes();
    afx_msg void OnPrint();
    afx_msg void OnCopy() {}
    DECLARE_MESSAGE_MAP()

private:
    void LoadPage();

    HICON m_hIcon = nullptr;
    BOOL m_bPageLoaded = FALSE;
    long m_nRecordKey = 0;
    BOOL m_bKeySet = FALSE;
    BOOL m_bBlankComplete = FALSE;
    BOOL m_bAutoDelete = FALSE;
    CString m_strPageText;    // the pane's page and title when the key was set
    CString m_strPageTitle;
};
