// The outline's names and keys, and renaming and deleting saved lists and favorites: the row,
// the item with its key, the key map and counters, and the Favorites menu kept in step. A
// change the database refuses leaves all of them as they were.

#include "app/NavigateView.h"

#include "app/Config.h"
#include "app/DirectoryDialogs.h"
#include "app/MainFrm.h"
#include "app/NotesRecordset.h"
#include "app/OrganizeFavoritesDlg.h"
#include "app/SelectOneDlg.h"
#include "platform/base/textcase.h"
#include "platform/base/utf8.h"
#include "platform/win/win.h"

#include <vector>

namespace {

// Text is TEXT(255), Key TEXT(50): what the table takes, in characters.
const int kMaxTextChars = 255;
const int kMaxKeyChars = 50;
// A made key keeps this many characters of the name before its "_n".
const int kKeyStemChars = 10;

int charCount(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

// The first n characters, never half of one.
CString leftChars(const CString& s, int n)
{
    const char* p = s;
    int bytes = 0;
    for (int chars = 0; p[bytes] && chars < n; ++chars)
        for (++bytes; (static_cast<unsigned char>(p[bytes]) & 0xC0) == 0x80; ++bytes) {
        }
    return s.Left(bytes);
}

CString quoted(CString s)
{
    s.Replace("'", "''");
    return s;
}

} // namespace

BOOL CNavigateView::IsNameUnique(CString Name, CString OldName)
{
    if (Name.IsEmpty() || charCount(Name) > kMaxTextChars)
        return FALSE;
    try {
        if (m_treeSet.IsBOF() && m_treeSet.IsEOF())
            return TRUE;
        for (m_treeSet.MoveFirst(); !m_treeSet.IsEOF(); m_treeSet.MoveNext())
            if (PvCompareNoCase(LPCTSTR(m_treeSet.m_Text), LPCTSTR(Name)) == 0 && m_treeSet.m_Text != OldName)
                return FALSE;
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
    }
    return TRUE;
}

BOOL CNavigateView::IsKeyUnused(CString Key)
{
    if (Key.IsEmpty() || charCount(Key) > kMaxKeyChars)
        return FALSE;
    try {
        if (m_treeSet.IsBOF() && m_treeSet.IsEOF())
            return TRUE;
        for (m_treeSet.MoveFirst(); !m_treeSet.IsEOF(); m_treeSet.MoveNext())
            if (PvCompareNoCase(LPCTSTR(m_treeSet.m_Key), LPCTSTR(Key)) == 0)
                return FALSE;
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
    }
    return TRUE;
}

void CNavigateView::MakeUniqueKey(CString& Key)
{
    const CString stem = Key.IsEmpty() ? CString() : leftChars(Key, kKeyStemChars);
    for (int n = 1; !IsKeyUnused(Key); ++n)
        Key.Format("%s_%d", static_cast<LPCTSTR>(stem), n);
}

BOOL CNavigateView::PromptForName(const CString& strCaption, const CString& strPrompt, CString& strName,
                                  const CString& strOldName, const CString* pOwnKey)
{
    CSaveResultsDlg dlg(GetParentFrame());
    dlg.m_strCaption = strCaption;
    dlg.m_strPrompt = strPrompt;
    dlg.m_strName = strName;
    for (;;) {
        if (dlg.DoModal() != IDOK)
            return FALSE;
        BOOL bAcceptable = IsNameUnique(dlg.m_strName, strOldName);
        // The name becomes the row's Key too: it must fit the column and be no other row's.
        if (bAcceptable && pOwnKey)
            bAcceptable = PvCompareNoCase(LPCTSTR(dlg.m_strName), LPCTSTR(*pOwnKey)) == 0 ? charCount(dlg.m_strName) <= kMaxKeyChars
                                                                         : IsKeyUnused(dlg.m_strName);
        if (bAcceptable) {
            strName = dlg.m_strName;
            return TRUE;
        }
        AfxMessageBox("The name you entered is either not unique or too long, please try another name");
    }
}

void CNavigateView::RenameSelected(BOOL bFavorite)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM hItem = tree.GetSelectedItem();
    if (!hItem)
        return;
    const CString key = GetItemKey(hItem);
    CString oldName;
    try {
        if (!SeekKey(key))
            return;
        oldName = m_treeSet.m_Text;
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    CString name = oldName;
    const BOOL bNamed = bFavorite ? PromptForName("Rename Favorite", "Please choose a new name for this saved Favorite.",
                                                  name, oldName, &key)
                                  : PromptForName("Rename Saved Directory List",
                                                  "Please choose a new name for your saved directory list", name,
                                                  oldName);
    if (!bNamed)
        return;
    try {
        if (!SeekKey(key))
            return;
        m_treeSet.Edit();
        m_treeSet.m_Text = name;
        if (bFavorite)
            m_treeSet.m_Key = name;
        m_treeSet.Update();
    } catch (const CDaoException& e) {
        try {
            if (m_treeSet.GetEditMode() != dbEditNone)
                m_treeSet.CancelUpdate();
        } catch (const CDaoException&) {
        }
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    tree.SetItemText(hItem, name);
    if (!bFavorite)
        return;
    m_keyMap.RemoveKey(key);
    m_keyMap.SetAt(name, hItem);
    *m_itemKeys[hItem] = name;
    HTREEITEM hParent = tree.GetParentItem(hItem);
    if (CMainFrame* frame = GetMainFrame())
        frame->RenameFavoritesMenuEntry(key, hParent ? tree.GetItemText(hParent) : CString(), FALSE, name);
}

void CNavigateView::OnRenameDirectoryList() { RenameSelected(FALSE); }
void CNavigateView::OnRenameFavorite() { RenameSelected(TRUE); }

void CNavigateView::OnDeleteDirectoryList()
{
    HTREEITEM hItem = GetTreeCtrl().GetSelectedItem();
    if (!hItem)
        return;
    if (AfxMessageBox("Are you sure you want to delete this item from your list of saved views?",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    try {
        if (SeekKey(GetItemKey(hItem)))
            m_treeSet.Delete();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    RemoveOutlineItem(hItem);
    --m_nViewCount;
}

void CNavigateView::OnDeleteFavorite()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM hItem = tree.GetSelectedItem();
    if (!hItem)
        return;
    const CString key = GetItemKey(hItem);
    CMainFrame* frame = GetMainFrame();
    CDaoWorkspace* workspace = nullptr;
    std::vector<CString> repictured;  // keys of the person's other favorites, once committed
    try {
        if (SeekKey(key)) {
            // Only a person's favorite can have a note; its Link is then the person's number.
            long recordKey = 0;
            const CString link = m_treeSet.m_Link;
            const BOOL bPerson = m_treeSet.m_Type == "Details" && ParseRecordKeyLink(link, recordKey);
            CNotesRecordset notes(m_treeSet.m_pDatabase);
            BOOL bHasNote = FALSE;
            if (bPerson) {
                CString sql;
                sql.Format("Select * from Annotations where [Annotations].[_IKEY] = %ld", recordKey);
                notes.Open(dbOpenDynaset, sql);
                bHasNote = !(notes.IsBOF() && notes.IsEOF());
            }
            CString question = "Are you sure you want to delete this item from your list of saved Favorites?";
            if (bHasNote)
                question += "\nNote : This Item contains Notes, they will also be deleted";
            if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
                return;
            // The note, the pictures and the row go together or not at all.
            workspace = m_treeSet.m_pDatabase->m_pWorkspace;
            workspace->BeginTrans();
            if (bHasNote) {
                if (frame)
                    frame->m_lists.CloseNotesWindowOf(recordKey);
                CTreeRecordset others(m_treeSet.m_pDatabase);
                others.Open(dbOpenDynaset, "Select * from Tree Where Link = '" + quoted(link) + "'");
                for (; !others.IsEOF(); others.MoveNext()) {
                    others.Edit();
                    others.m_Image = m_nFavoriteImage;
                    others.m_Selected_Image = m_nFavoriteImage;
                    others.Update();
                    repictured.push_back(others.m_Key);
                }
                others.Close();
                notes.Delete();
            }
            if (SeekKey(key))
                m_treeSet.Delete();
            workspace->CommitTrans();
            workspace = nullptr;
        }
    } catch (const CDaoException& e) {
        try {
            if (workspace)
                workspace->Rollback();
        } catch (const CDaoException&) {
        }
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    for (const CString& other : repictured)
        if (HTREEITEM hOther = FindItem(other))
            tree.SetItemImage(hOther, m_nFavoriteImage, m_nFavoriteImage);
    HTREEITEM hParent = tree.GetParentItem(hItem);
    const CString parentText = hParent ? tree.GetItemText(hParent) : CString();
    RemoveOutlineItem(hItem);
    --m_nFavoriteCount;
    if (frame)
        frame->RenameFavoritesMenuEntry(key, parentText, TRUE, "");
}

// The notes of the selected favorite's person, under the favorite's own text: the HTML pane may
// hold someone else's page.
void CNavigateView::OnFavoriteNotes()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM hItem = tree.GetSelectedItem();
    CMainFrame* frame = GetMainFrame();
    if (!hItem || !frame)
        return;
    long recordKey = 0;
    try {
        CTreeRecordset favorite(m_treeSet.m_pDatabase);
        favorite.Open(dbOpenDynaset, "Select * from Tree Where Key = '" + quoted(GetItemKey(hItem)) + "'");
        if (!favorite.IsEOF() && favorite.m_Type == "Details")
            ParseRecordKeyLink(favorite.m_Link, recordKey);
        favorite.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    if (recordKey != 0)
        frame->OpenNotesWindow(recordKey, tree.GetItemText(hItem));
}

// ---- The organizer dialogs ----

void CNavigateView::OrganizeFavorites()
{
    COrganizeFavoritesDlg dlg(GetParentFrame());
    dlg.m_pOutline = this;
    dlg.DoModal();
}

void CNavigateView::OrganizeDirectoryLists()
{
    CSelectOneDlg dlg(GetParentFrame());
    dlg.m_strCaption = "Organize Saved Directory Lists";
    dlg.m_pOutline = this;
    dlg.m_bFavorites = 0;
    dlg.m_pTreeSet = &m_treeSet;
    dlg.DoModal();
}
