#pragma once
// CMainFrame: the program's main window with its toolbar, letter bar, status bar and the three
// panes in two nested splitters, shown in the home or the directory layout.

// The controls before the framework: its button styles defer to theirs.
#include "platform/controls/imagelist.h"
#include "app/FrameCommands.h"
#include "app/LockSplitter.h"
#include "app/WindowLists.h"
#include "platform/ui/ctrlbar.h"
#include "platform/ui/frame.h"

class CNavigateView;
class CDetailsDlg;
class COrganizeNotesDlg;
struct CAddToFavoritesArgs;
class CDaoqueryView;
class CMediaView;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    CToolBar m_wndToolBar;
    CDialogBar m_wndDialogBar;
    CLockedSplitterWnd m_wndSplitter;    // 1 row x 2 columns: outline | inner splitter
    CLockedSplitterWnd m_wndSplitter2;   // 2 rows x 1 column: directory over the HTML pane
    CStatusBar m_wndStatusBar;
    CImageList m_imlToolBar;
    CImageList m_imlToolBarDisabled;
    HICON m_hNotesIcon = nullptr;
    CNavigateView* m_pNavigateView = nullptr;
    CMediaView* m_pMediaView = nullptr;
    CDaoqueryView* m_pQueryView = nullptr;
    short m_nOutlineWidth = 0;
    int m_nLayout = 0;                   // 131 home, 132 directory, 0 before the first switch
    BOOL m_bFirstDirectoryLayout = TRUE;
    int m_nSavedGridHeight = 0;
    BOOL m_bPanesOpen = FALSE;
    BOOL m_bActivated = FALSE;

    // Shows the home (131) or directory (132) layout; answers the view it made active.
    CView* SwitchLayout(int nLayout);

    // ---- Records and their details pages ----
    // The grid's current row key; -1 without a current row.
    long GetCurrentRecordKey();
    // Shows the current row's details; -1 (and nothing else) when there is no current row.
    long ShowGridRowDetails();
    void ShowRecordDetails(long nKey, BOOL bPush);
    void ShowSelectedRowDetails() { ShowGridRowDetails(); }
    void ShowAllEntries() { OnShowAll(); }
    // The directory's jump to the first entry starting with the text, and that person's details.
    virtual void JumpToEntry(const CString& strText);
    void RunSearch(BOOL bFirst);
    BOOL RecordHasNotes(long nKey);
    // Makes the record the grid's current row; answers that row, or -1 when the grid does not
    // hold it.
    long GoToRecordRow(long nKey);

    // ---- The Favorites menu ----
    // Fills the "F&avorites" pop-up from table Tree, ids from 351 (at window creation).
    void BuildFavoritesMenu();
    // Opens the favorite whose Key is the text, by its Type.
    void OpenFavoriteByKey(const CString& strText);
    // Keeps the Favorites menu in step with a favorite renamed (bRemove FALSE) or deleted.
    void RenameFavoritesMenuEntry(const CString& strOldKey, const CString& strFolder, BOOL bRemove,
                                  const CString& strNewName);
    void MoveFavoritesMenuEntry(const CString& strName, const CString& strFrom, const CString& strTo);
    // Appends a favorite or folder with an id from m_nNextFavoriteId.
    void AppendFavoritesMenuEntry(CMenu* pMenu, LPCTSTR lpszName, BOOL bFolder, LPCTSTR lpszFolder);
    // The "F&avorites" pop-up; null when the menu has none.
    CMenu* GetFavoritesMenu() const;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- Notes windows and details pop-ups ----
    // Brings up the record's pop-up, or creates one beside the frame; the HTML pane is disabled
    // until the frame has the focus again.
    void OpenDetailsPopup(long nKey);
    // Brings up the record's notes window, or creates one owned by pParent (the frame without
    // one); the HTML pane is disabled until the frame has the focus again.
    virtual void OpenNotesWindow(long nKey, const CString& strTitle, CWnd* pParent = nullptr);
    // Runs the Add to Favorites dialog with what a caller gives it; answers IDOK when the user
    // confirmed it.
    virtual INT_PTR RunAddToFavorites(const CAddToFavoritesArgs& args, CWnd* pParent);
    // Stores and closes every open notes window (those owned by pOwner only, when given),
    // without the favorites offer. FALSE when a note could not be stored: its window stays.
    BOOL StoreNotesWindows(CWnd* pOwner = nullptr);
    void RemoveFromWindowList(CWnd* pWnd, BOOL bNotes);
    void SetLastActiveWindow(CWnd* pWnd) { m_lists.SetLastActiveWindow(pWnd); }
    CModelessWindowLists m_lists;        // notes windows and details pop-ups
    int m_nNextFavoriteId = 351;
    HMENU m_hMainMenu = nullptr;         // the menu the Favorites pop-up was built in
    int m_nFavoritesPosition = -1;
    HMENU m_hFavoritesMenu = nullptr;
    long m_nCurrentKey = -1;             // the record whose details page is shown
    BOOL m_bBrowserCanGoBack = FALSE;    // kept by the HTML pane
    BOOL m_bBrowserCanGoForward = FALSE;

    // ---- Layout arithmetic ----
    // The outline column's width in the directory layout: the frame's width / 4.5, truncated.
    static int OutlineWidthFor(int nFrameWidth);
    // The grid row's height on entering the directory layout: half the pane area the first time,
    // then the height the user left when going home (used once), else the row's present height.
    static int GridHeightFor(BOOL& bFirst, int& nSavedHeight, int nPaneAreaHeight, int nCurrentHeight);

    // ---- What the frame takes from its surroundings until they are all in one program ----
    // The document's title (its first request opens the database); null: the frame keeps its title.
    static CString (*s_pfnGetAppTitle)(CDocument* pDoc);
    // Whether an in-cell pop-up of the grid is open (the grid library's flag); null: never.
    static BOOL (*s_pfnGridPopupActive)();
    // Whether the grid hints are wanted and how they are shown (the Hints dialog); null: none.
    static int (*s_pfnGetGridHint)();
    static void (*s_pfnShowGridHints)(CWnd* pParent);

    void ActivateFrame(int nCmdShow = -1) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;

protected:
    // Narrows the letter buttons when the bar is too short for all of them (an 800-pixel
    // screen), and gives them back their size when it is wide enough again.
    void FitLetterBar();
    CRect m_rcLetters[26];               // the letter buttons as the template places them

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    // A new details pop-up; null when it could not be created.
    virtual CDetailsDlg* CreateDetailsPopup();
    // A new notes window; null when it could not be created.
    virtual COrganizeNotesDlg* CreateNotesWindow(long nKey, const CString& strTitle, CWnd* pParent);
    // Whether a listed notes window is owned by the window.
    BOOL OwnsNotesWindow(CWnd* pOwner) const;
    void CollapsePanes();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnToggleView();
    afx_msg void OnHome();
    afx_msg void OnLetter(UINT nID);
    afx_msg void OnUpdateLetter(CCmdUI* pCmdUI);
    afx_msg void OnScrollTo();
    afx_msg void OnSearch();
    afx_msg void OnContinueSearch();
    afx_msg void OnSaveList();
    afx_msg void OnShowAll();
    afx_msg void OnShowDetails();
    afx_msg void OnNormalView();
    afx_msg void OnGoBack();
    afx_msg void OnGoForward();
    afx_msg void OnAddNotes();
    afx_msg void OnAddToFavorites();
    afx_msg void OnOrganizeFavorites();
    afx_msg void OnDirectoryLists();
    afx_msg void OnDestroy();
    afx_msg void OnStatusBarDblClk(NMHDR* pNotify, LRESULT* pResult);
    FrameCommandState CommandState();
    afx_msg void OnPrintPage();
    afx_msg void OnPrintPreview();
    afx_msg void OnCloseAll();
    afx_msg void OnCascade();
    afx_msg void OnCopyright();
    afx_msg void OnHelpTopics();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnClose();
    afx_msg void OnUpdateByState(CCmdUI* pCmdUI);
    afx_msg void OnUpdateShowDetails(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCloseAll(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCascade(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
