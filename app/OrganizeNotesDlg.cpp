// The notes window: opening and placing it, the limit of its edit, and storing the note when
// it closes.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/OrganizeNotesDlg.h"

#include "app/Config.h"
#include "app/DetailsDlg.h"
#include "app/FavoritesMenu.h"
#include "app/NavigateView.h"
#include "app/NotesIndicator.h"
#include "app/TreeRecordset.h"
#include "platform/base/utf8.h"
#include "platform/sys/globalmem.h"
#include "resources/notes_ids.h"

#include <algorithm>
#include <cstring>
#include <string>

std::function<void()> COrganizeNotesDlg::s_beforeLookup;

namespace {
constexpr int kCascadeStepX = 12;
constexpr int kCascadeStepY = 18;
constexpr COLORREF kNoteBackground = 0xCCFFFF;
const char kReinstall[] = "\nPlease re-install this program and try again";
const char kFavoritesPrompt[] = "Paravel will add this page to your Favorites List...";
const char kOpenError[] = "Error opening the Custom database! This program was unable to open the table named "
                          "Annotations in the custom database ";
const char kEditError[] = "Error editing in the Annotation table! This program was unable to edit the note in "
                          "Annotations table in the custom database ";
const char kAddError[] = "Error adding to the Annotation table! This program was unable to add the new note in "
                         "Annotations table in the custom database ";
const char kDeleteError[] = "Error deleting from the Annotation table! This program was unable to add the new note in "
                            "Annotations table in the custom database ";
const char kTreeError[] = "Error reading the outline! This program was unable to read from the table named Tree in "
                          "the custom database ";
const char kLoseNote[] = "Your note could not be saved. Close this window and lose it?";

CString databaseError(const char* text, const CDaoException& e)
{
    return text + GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

long jetError(const CDaoException& e) { return e.m_pErrorInfo ? e.m_pErrorInfo->m_lErrorCode : 0L; }

// Stored characters of a text with its breaks in any form: CR LF, CR or LF each become CR LF.
int storedLength(const char* p, size_t n)
{
    int count = 0;
    for (size_t i = 0; i < n;) {
        if (p[i] == '\r' || p[i] == '\n') {
            i += (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            count += 2;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if ((c & 0xC0) != 0x80)
            ++count;
        ++i;
    }
    return count;
}

// The longest start of text that stores in at most room characters, cut between characters.
std::string fittingStart(const std::string& text, int room)
{
    int used = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t next = i + 1;
        int cost = 1;
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && next < text.size() && text[next] == '\n')
                ++next;
            cost = 2;
        } else {
            while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
                ++next;
        }
        if (used + cost > room)
            break;
        used += cost;
        i = next;
    }
    return text.substr(0, i);
}
} // namespace

int NotesStoredLength(const CString& text) { return storedLength(text.GetString(), size_t(text.GetLength())); }

CRect CascadedNotesRect(const CRect& rcWindow, const CRect& rcBase, int& nCascade)
{
    const int n = nCascade == 0 ? 1 : nCascade;
    CRect rc(CPoint(rcBase.left + kCascadeStepX * n, rcBase.top + kCascadeStepY * n), rcWindow.Size());
    if (rc.bottom >= rcBase.bottom) {
        nCascade = 0;
        return CRect(rcBase.TopLeft(), rcWindow.Size());
    }
    return rc;
}

// ---- The edit ----

int CNotesEdit::roomForInsert() const
{
    CString text;
    GetWindowText(text);
    return kStoredLimit - NotesStoredLength(text) + NotesStoredLength(GetSelText());
}

void CNotesEdit::pasteFitting()
{
    if (GetStyle() & ES_READONLY)
        return;
    std::string text;
    if (::OpenClipboard(m_hWnd)) {
        if (HGLOBAL hData = ::GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(::GlobalLock(hData))) {
                text.assign(p, strnlen(p, ::GlobalSize(hData)));
                ::GlobalUnlock(hData);
            }
        }
        ::CloseClipboard();
    }
    const std::string fits = fittingStart(text, roomForInsert());
    if (fits.size() < text.size())
        ::MessageBeep(MB_OK);
    if (!fits.empty())
        ReplaceSel(fits.c_str(), TRUE);
}

LRESULT CNotesEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR: {
        const UINT ch = UINT(wParam);
        // Control characters other than a break add nothing (they edit, copy or undo).
        const int cost = ch == '\r' || ch == '\n' ? 2 : (ch < 32 && ch != '\t') ? 0 : 1;
        if (cost && !(GetStyle() & ES_READONLY) && cost > roomForInsert()) {
            ::MessageBeep(MB_OK);
            return 0;
        }
        break;
    }
    case WM_PASTE:
        pasteFitting();
        return 0;
    case EM_REPLACESEL: {
        const char* p = reinterpret_cast<const char*>(lParam);
        const std::string text = p ? p : "";
        const std::string fits = fittingStart(text, roomForInsert());
        return CRichEditCtrl::WindowProc(message, wParam, reinterpret_cast<LPARAM>(fits.c_str()));
    }
    default:
        break;
    }
    return CRichEditCtrl::WindowProc(message, wParam, lParam);
}

// ---- The window ----

BEGIN_MESSAGE_MAP(COrganizeNotesDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATE()
    ON_BN_CLICKED(IDC_NOTES_CLOSE, OnOK)
    ON_BN_CLICKED(IDC_NOTES_CLEAR, OnClear)
END_MESSAGE_MAP()

COrganizeNotesDlg::COrganizeNotesDlg(CWnd* pParent) : CDialog(IDD_ORGANIZE_NOTES, pParent) {}

COrganizeNotesDlg::~COrganizeNotesDlg() = default;

COrganizeNotesDlg* COrganizeNotesDlg::CreateNotesWindow(CMainFrame* pFrame, long nKey, const CString& strName,
                                                         CWnd* pParent)
{
    auto pDlg = std::make_unique<COrganizeNotesDlg>(pParent);
    pDlg->m_pFrame = pFrame;
    pDlg->m_nRecordKey = nKey;
    pDlg->m_strName = strName;
    pDlg->m_pNavigateView = pFrame ? pFrame->m_pNavigateView : nullptr;
    if (!pDlg->Create(IDD_ORGANIZE_NOTES, pParent) || pDlg->m_bOpenFailed) {
        if (pDlg->m_hWnd)
            pDlg->DestroyWindow();
        return nullptr;
    }
    pDlg->m_bAutoDelete = TRUE;
    return pDlg.release();
}

void COrganizeNotesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NOTES_EDIT, m_edit);
}

BOOL COrganizeNotesDlg::OpenRecordset()
{
    m_pSet.reset();
    auto pSet = std::make_unique<CNotesRecordset>();
    CString sql;
    sql.Format("SELECT * FROM Annotations WHERE ([Annotations].[_IKEY]=%ld)", m_nRecordKey);
    try {
        pSet->Open(dbOpenDynaset, sql);
    } catch (const CDaoException& e) {
        Report(databaseError(kOpenError, e));
        return FALSE;
    }
    m_pSet = std::move(pSet);
    return TRUE;
}

BOOL COrganizeNotesDlg::FindNoteRow()
{
    if (s_beforeLookup)
        s_beforeLookup();
    CString criteria;
    criteria.Format("[Annotations].[_IKEY] = %ld", m_nRecordKey);
    return m_pSet->FindFirst(criteria);
}

BOOL COrganizeNotesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!OpenRecordset()) {
        m_bOpenFailed = TRUE;
        return TRUE;
    }
    // Plain text: a note that begins like rich text still shows as typed.
    m_edit.SendMessage(EM_SETTEXTMODE, TM_PLAINTEXT);
    m_edit.LimitText(CNotesEdit::kStoredLimit);
    m_edit.SetBackgroundColor(FALSE, kNoteBackground);
    CString name = m_strName;
    name.TrimLeft(' ');
    name.TrimRight(' ');
    SetWindowText("Notes for " + name);
    try {
        if (FindNoteRow())
            m_edit.SetWindowText(m_pSet->m_MEMO);
    } catch (const CDaoException& e) {
        CString number;
        number.Format("%ld", jetError(e));
        AfxMessageBox(number);
    }
    PlaceCascaded();
    return TRUE;
}

void COrganizeNotesDlg::PlaceCascaded()
{
    if (!m_pFrame)
        return;
    CRect rc;
    GetWindowRect(&rc);
    MoveWindow(CascadedNotesRect(rc, m_pFrame->m_lists.m_rcCascadeBase, m_pFrame->m_lists.m_nNotesCascade), TRUE);
}

void COrganizeNotesDlg::Report(const CString& strText, UINT nType)
{
    if (!m_bQuiet)
        AfxMessageBox(strText, nType);
}

void COrganizeNotesDlg::OnOK() { CloseStoringNote(TRUE); }
void COrganizeNotesDlg::OnCancel() { CloseStoringNote(TRUE); }
void COrganizeNotesDlg::OnClose() { CloseStoringNote(TRUE); }

void COrganizeNotesDlg::OnClear() { m_edit.SetWindowText(""); }

BOOL COrganizeNotesDlg::CloseStoringNote(BOOL bOffer)
{
    CString memo;
    m_edit.GetWindowText(memo);
    m_strMemo = memo;
    if (m_bStoreFailed && memo == m_strFailedMemo) {
        // The user has seen why it failed: try once more quietly, then let them choose.
        m_bQuiet = TRUE;
        const Store result = StoreNote(memo, bOffer);
        m_bQuiet = FALSE;
        if (result == Store::Failed && AfxMessageBox(kLoseNote, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return FALSE;
    } else if (StoreNote(memo, bOffer) == Store::Failed) {
        m_bStoreFailed = TRUE;
        m_strFailedMemo = memo;
        return FALSE;
    }
    m_pSet.reset();
    if (m_pFrame) {
        m_pFrame->SetLastActiveWindow(nullptr);
        m_pFrame->RemoveFromWindowList(this, TRUE);
    }
    DestroyWindow();
    return TRUE;
}

// Each change is one statement, so a store is all or nothing even when the process dies in it.
COrganizeNotesDlg::Store COrganizeNotesDlg::StoreNote(const CString& strMemo, BOOL bOffer)
{
    // Afresh each time: a retry must not reuse what failed.
    if (!OpenRecordset())
        return Store::Failed;
    BOOL bFound = FALSE;
    try {
        bFound = FindNoteRow();
    } catch (const CDaoException& e) {
        // Not knowing whether a row exists, adding one could make a second: store nothing.
        CString number;
        number.Format("%ld", jetError(e));
        Report(number, MB_OK);
        return Store::Failed;
    }
    if (bFound && strMemo.IsEmpty()) {
        try {
            m_pSet->Delete();
        } catch (const CDaoException& e) {
            Report(databaseError(kDeleteError, e));
            return Store::Failed;
        }
        SetFavoritePictures(m_pNavigateView ? m_pNavigateView->m_nFavoriteImage : 0);
        ShowNotesIndicator(FALSE);
    } else if (bFound) {
        try {
            m_pSet->Edit();
            m_pSet->m_MEMO = strMemo;
            m_pSet->Update();
        } catch (const CDaoException& e) {
            try {
                m_pSet->CancelUpdate();
            } catch (const CDaoException&) {
            }
            Report(databaseError(kEditError, e));
            return Store::Failed;
        }
    } else if (!strMemo.IsEmpty()) {
        try {
            m_pSet->AddNew();
            m_pSet->m__IKEY = m_nRecordKey;
            m_pSet->m_MEMO = strMemo;
            m_pSet->Update();
        } catch (const CDaoException& e) {
            try {
                m_pSet->CancelUpdate();
            } catch (const CDaoException&) {
            }
            Report(databaseError(kAddError, e));
            return Store::Failed;
        }
        // The note stays whatever the user answers the offer: it is what they typed.
        const int favorites = SetFavoritePictures(m_pNavigateView ? m_pNavigateView->m_nFavoriteNotesImage : 3);
        if (favorites == 0 && bOffer)
            OfferFavorite();
        ShowNotesIndicator(TRUE);
    }
    return Store::Done;
}

int COrganizeNotesDlg::SetFavoritePictures(int nImage)
{
    CTreeRecordset favorites;
    std::vector<CString> keys;
    CString sql;
    sql.Format("Select * From Tree Where Link = '%ld' and Type = 'Details'", m_nRecordKey);
    try {
        favorites.Open(dbOpenDynaset, sql);
        for (; !favorites.IsEOF(); favorites.MoveNext()) {
            if (favorites.m_Image != nImage || favorites.m_Selected_Image != nImage) {
                favorites.Edit();
                favorites.m_Image = nImage;
                favorites.m_Selected_Image = nImage;
                favorites.Update();
            }
            keys.push_back(favorites.m_Key);
        }
        favorites.Close();
    } catch (const CDaoException& e) {
        Report(databaseError(kTreeError, e));
        return -1;
    }
    if (m_pNavigateView && m_pNavigateView->m_hWnd) {
        CTreeCtrl& tree = m_pNavigateView->GetTreeCtrl();
        for (const CString& key : keys)
            if (HTREEITEM hItem = m_pNavigateView->FindItem(key))
                tree.SetItemImage(hItem, nImage, nImage);
    }
    return int(keys.size());
}

BOOL COrganizeNotesDlg::OfferFavorite()
{
    if (!m_pFrame)
        return FALSE;
    CString name = m_strName;
    name.TrimLeft(' ');
    name.TrimRight(' ');
    CAddToFavoritesArgs args;
    args.m_pOutline = m_pNavigateView;
    args.m_nRecordKey = m_nRecordKey;
    args.m_bAddMode = 1;
    args.m_strPrompt = kFavoritesPrompt;
    args.m_strName = name;
    args.m_bHasNotes = TRUE;
    if (CMenu* menu = m_pFrame->GetMenu()) {
        const int pos = FindMenuItemPosition(menu, "F&avorites");
        args.m_pFavoritesMenu = pos >= 0 ? menu->GetSubMenu(pos) : nullptr;
    }
    return m_pFrame->RunAddToFavorites(args, this) == IDOK;
}

// The pane belongs to the record whose page is shown; another person's window leaves it alone.
void COrganizeNotesDlg::ShowNotesIndicator(BOOL bHasNotes)
{
    if (m_pFrame && m_pFrame->m_nCurrentKey == m_nRecordKey)
        SetNotesIndicator(m_pFrame->m_wndStatusBar, m_pFrame->m_hNotesIcon, bHasNotes);
}

void COrganizeNotesDlg::OnKillFocus(CWnd* pNewWnd)
{
    CDialog::OnKillFocus(pNewWnd);
    if (m_pFrame)
        m_pFrame->SetLastActiveWindow(this);
}

void COrganizeNotesDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CDialog::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE && m_pFrame)
        m_pFrame->SetLastActiveWindow(nullptr);
}

// Reached however the window goes; a window destroyed without Close (a deleted favorite's
// note, the end of its owner) stores nothing.
void COrganizeNotesDlg::PostNcDestroy()
{
    m_pSet.reset();
    if (m_pFrame)
        m_pFrame->RemoveFromWindowList(this, TRUE);
    if (m_bAutoDelete)
        delete this;
}
