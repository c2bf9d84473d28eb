#pragma once
// COrganizeNotesDlg: the modeless notes window of one person. It shows the person's note from
// table Annotations and, when it closes, stores, changes or deletes that one row, keeps the
// pictures of the person's favorites and the status bar's notes pane in step, and offers to
// add a person who gets a first note to the favorites.
//
// A typed note is never dropped silently: a store that fails keeps the window open with its
// text, and only the user's explicit "lose it" lets it go unsaved. The main frame stores every
// open note (without the offer) before Close All and before it closes.

#include "app/NotesRecordset.h"
#include "platform/controls/controls.h"
#include "platform/ui/dialog.h"

#include <functional>
#include <memory>

class CMainFrame;
class CNavigateView;

// The length a text has once stored: the edit holds a line break as one character, the row as
// the two characters CR LF.
int NotesStoredLength(const CString& text);

// Where a notes window opened with the frame's cascade counter n stands: at the reference
// rectangle's corner moved 12 n right and 18 n down (n = 0 counts as 1), keeping its size; when
// its bottom would reach the reference rectangle's, at the corner itself, and the counter starts
// again at 0.
CRect CascadedNotesRect(const CRect& rcWindow, const CRect& rcBase, int& nCascade);

// The note's rich edit: plain text, held to what the column stores (line breaks counted as the
// CR LF they become), whether typed or pasted.
class CNotesEdit : public CRichEditCtrl {
public:
    static constexpr int kStoredLimit = 255;  // the MEMO column's width

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Stored characters the selection may be replaced by.
    int roomForInsert() const;
    void pasteFitting();
};

class COrganizeNotesDlg : public CDialog {
public:
    explicit COrganizeNotesDlg(CWnd* pParent = nullptr);
    ~COrganizeNotesDlg() override;

    // Creates the modeless window of a record; null (and nothing left behind) when the window or
    // its table could not be opened. The window owns the object from here.
    static COrganizeNotesDlg* CreateNotesWindow(CMainFrame* pFrame, long nKey, const CString& strName, CWnd* pParent);

    // Stores the note and closes the window, as Close does; with bOffer a first note of someone
    // who is not a favorite offers to add one. FALSE: the window stays open with its text.
    BOOL CloseStoringNote(BOOL bOffer);

    long m_nRecordKey = 0;
    CString m_strName;
    CNavigateView* m_pNavigateView = nullptr;  // not owned
    CMainFrame* m_pFrame = nullptr;            // not owned
    CString m_strMemo;
    CNotesEdit m_edit;

    // Test seam: runs just before each row lookup; a CDaoException it throws is the lookup's.
    static std::function<void()> s_beforeLookup;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg void OnClose();
    afx_msg void OnClear();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    DECLARE_MESSAGE_MAP()

private:
    enum class Store { Done, Failed };
    // Opens the recordset on the person's row, afresh; FALSE after the opening message.
    BOOL OpenRecordset();
    // The Close steps on the row: delete, edit, add or nothing.
    Store StoreNote(const CString& strMemo, BOOL bOffer);
    // Moves to the person's row; FALSE when there is none. Throws what the lookup throws.
    BOOL FindNoteRow();
    // Gives every favorite of the person the picture; answers how many there are, or -1 after
    // the outline's reading message.
    int SetFavoritePictures(int nImage);
    // The offer to add the person to the favorites; TRUE when the user confirmed it.
    BOOL OfferFavorite();
    void ShowNotesIndicator(BOOL bHasNotes);
    void Report(const CString& strText, UINT nType = MB_ICONEXCLAMATION);
    void PlaceCascaded();

    std::unique_ptr<CNotesRecordset> m_pSet;
    BOOL m_bOpenFailed = FALSE;
    BOOL m_bAutoDelete = FALSE;
    BOOL m_bQuiet = FALSE;          // a retry of a failed store reports nothing itself
    BOOL m_bStoreFailed = FALSE;
    CString m_strFailedMemo;        // the text whose store failed last
};
