// Organize Favorites: display, move, rename and delete, kept in step everywhere.
//
// Rows are found by "=" on their Key and Parent, never by LIKE: a name may hold "*", "?" or "#",
// which LIKE would read as wildcards and so reach other rows.

#include "app/OrganizeFavoritesDlg.h"

#include "app/AddToFavoritesDlg.h"
#include "app/Config.h"
#include "app/FavoritesMenu.h"
#include "app/MainFrm.h"
#include "app/NavigateView.h"
#include "app/NotesRecordset.h"
#include "app/TreeRecordset.h"
#include "resources/favorites_ids.h"

#include <set>
#include <vector>

namespace {

// The root's item data: it carries no key copy.
const DWORD_PTR kRootData = 999;
const char kFavorites[] = "Favorites";
const char kReinstall[] = "\nPlease re-install this program and try again";
const char kSelectFirst[] = "You must first select an item from the list.";

CString quoted(CString s)
{
    s.Replace("'", "''");
    return s;
}

CString messageA(const CDaoException& e)
{
    return "Error opening the outline! This program was unable to open the table named Tree in the custom database " +
           GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

CString messageC(const CDaoException& e)
{
    return "Error reading data from the table named Tree in the custom database." + PvJetErrorTail(e);
}

CString messageD(const CDaoException& e)
{
    return "Error Opening the outline! This program was unable to open the table named Tree in the custom database " +
           GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

// Rolls a transaction back unless it was committed.
class TransGuard {
public:
    explicit TransGuard(CDaoWorkspace* pWorkspace) : m_pWorkspace(pWorkspace) { m_pWorkspace->BeginTrans(); }
    ~TransGuard()
    {
        if (!m_pWorkspace)
            return;
        try {
            m_pWorkspace->Rollback();
        } catch (const CDaoException&) {
        }
    }
    void Commit()
    {
        m_pWorkspace->CommitTrans();
        m_pWorkspace = nullptr;
    }
    TransGuard(const TransGuard&) = delete;
    TransGuard& operator=(const TransGuard&) = delete;

private:
    CDaoWorkspace* m_pWorkspace;
};

// Deletes every row the statement finds, one current row at a time.
void deleteAll(CDaoRecordset& rs, const CString& sql)
{
    rs.Open(dbOpenDynaset, sql);
    while (!(rs.IsBOF() && rs.IsEOF())) {
        rs.MoveFirst();
        rs.Delete();
        rs.Requery();
    }
    rs.Close();
}

} // namespace

BEGIN_MESSAGE_MAP(COrganizeFavoritesDlg, CDialog)
    ON_BN_CLICKED(IDC_ORGANIZE_DISPLAY, OnDisplay)
    ON_BN_CLICKED(IDC_ORGANIZE_MOVE, OnMove)
    ON_BN_CLICKED(IDC_ORGANIZE_CLOSE, OnClose)
    ON_BN_CLICKED(IDC_ORGANIZE_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_ORGANIZE_RENAME, OnRename)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

COrganizeFavoritesDlg::COrganizeFavoritesDlg(CWnd* pParent) : CDialog(IDD_ORGANIZE_FAVORITES, pParent) {}

void COrganizeFavoritesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ORGANIZE_TREE, m_tree);
}

CMainFrame* COrganizeFavoritesDlg::GetMainFrame() const
{
    return m_pOutline ? dynamic_cast<CMainFrame*>(m_pOutline->GetParentFrame()) : nullptr;
}

CDaoDatabase* COrganizeFavoritesDlg::GetDatabase() const
{
    if (m_pOutline && m_pOutline->m_treeSet.IsOpen())
        return m_pOutline->m_treeSet.m_pDatabase;
    AfxMessageBox("Unable to access table Tree in Custom Database");
    return nullptr;
}

// ---- Items and their keys ----

CString COrganizeFavoritesDlg::GetItemKey(HTREEITEM hItem) const
{
    if (!hItem)
        return CString();
    if (hItem == m_tree.GetRootItem())
        return m_tree.GetItemText(hItem);
    auto it = m_itemKeys.find(hItem);
    return it == m_itemKeys.end() ? CString() : *it->second;
}

HTREEITEM COrganizeFavoritesDlg::InsertItem(const CString& strText, int nImage, int nSelectedImage,
                                            const CString& strKey, HTREEITEM hParent)
{
    auto key = std::make_unique<CString>(strKey);
    HTREEITEM hItem = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, strText, nImage,
                                        nSelectedImage, 0, 0, reinterpret_cast<LPARAM>(key.get()), hParent, TVI_LAST);
    if (hItem)
        m_itemKeys[hItem] = std::move(key);
    return hItem;
}

void COrganizeFavoritesDlg::DeleteItem(HTREEITEM hItem)
{
    for (HTREEITEM hChild = m_tree.GetChildItem(hItem); hChild; hChild = m_tree.GetNextSiblingItem(hChild))
        m_itemKeys.erase(hChild);
    m_itemKeys.erase(hItem);
    m_tree.DeleteItem(hItem);
}

HTREEITEM COrganizeFavoritesDlg::FindItemByKey(const CString& strKey) const
{
    HTREEITEM hRoot = m_tree.GetRootItem();
    for (HTREEITEM h = hRoot ? m_tree.GetChildItem(hRoot) : nullptr; h; h = m_tree.GetNextSiblingItem(h)) {
        if (GetItemKey(h) == strKey)
            return h;
        for (HTREEITEM hChild = m_tree.GetChildItem(h); hChild; hChild = m_tree.GetNextSiblingItem(hChild))
            if (GetItemKey(hChild) == strKey)
                return hChild;
    }
    return nullptr;
}

// ---- Opening and closing ----

BOOL COrganizeFavoritesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_pOutline) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (m_pOutline->m_imageList.GetSafeHandle())
        m_tree.SetImageList(&m_pOutline->m_imageList, TVSIL_NORMAL);
    HTREEITEM hRoot = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, kFavorites,
                                        m_pOutline->m_nFolderImage, m_pOutline->m_nFolderSelectedImage, 0, 0,
                                        LPARAM(kRootData), TVI_ROOT, TVI_LAST);
    const BOOL bFilled = FillTree(hRoot);
    m_tree.Expand(hRoot, TVE_EXPAND);
    return bFilled;
}

BOOL COrganizeFavoritesDlg::FillTree(HTREEITEM hRoot)
{
    CDaoDatabase* pDatabase = GetDatabase();
    if (!pDatabase)
        return FALSE;
    // A folder's favorites name it by its Text; all in Order, as the outline shows them.
    std::vector<FavoritesEntry> entries;
    const BOOL bRead = ReadFavorites(pDatabase, entries);
    for (const FavoritesEntry& entry : entries) {
        const FavoritesRow& row = entry.row;
        HTREEITEM hItem = InsertItem(row.text, int(row.image), int(row.selectedImage), row.key, hRoot);
        for (const FavoritesRow& child : entry.children)
            InsertItem(child.text, int(child.image), int(child.selectedImage), child.key, hItem);
    }
    return bRead;
}

void COrganizeFavoritesDlg::OnDestroy()
{
    m_tree.DeleteAllItems();
    m_itemKeys.clear();
    CDialog::OnDestroy();
}

// ---- Display ----

void COrganizeFavoritesDlg::OnDisplay()
{
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    if (!hSelected) {
        AfxMessageBox(kSelectFirst, MB_ICONINFORMATION);
        return;
    }
    CDaoDatabase* pDatabase = GetDatabase();
    if (!pDatabase)
        return;
    CTreeRecordset row(pDatabase);
    try {
        row.Open(dbOpenDynaset, "Select * from Tree Where Key = '" + quoted(GetItemKey(hSelected)) + "'");
    } catch (const CDaoException& e) {
        AfxMessageBox(messageA(e), MB_ICONEXCLAMATION);
        return;
    }
    CString key, type, link;
    try {
        if (row.IsEOF() || row.m_Type.IsEmpty()) {
            AfxMessageBox("Please select a valid item...");
            return;
        }
        key = row.m_Key;
        type = row.m_Type;
        link = row.m_Link;
        row.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox(messageC(e), MB_ICONEXCLAMATION);
        EndDialog(IDOK);
        return;
    }
    // Opened from its own row: an item missing from the outline opens no other.
    HTREEITEM hOutline = m_pOutline->FindItem(key);
    if (hOutline)
        m_pOutline->GetTreeCtrl().SelectItem(hOutline);
    m_pOutline->m_bDetailsHistory = FALSE;
    m_pOutline->OpenByType(type, link, hOutline);
    EndDialog(IDOK);
}

// ---- Move To Folder ----

long COrganizeFavoritesDlg::LastOrder(CDaoDatabase* pDatabase)
{
    CTreeRecordset table(pDatabase);
    try {
        table.Open();
    } catch (const CDaoException& e) {
        AfxMessageBox(messageA(e), MB_ICONEXCLAMATION);
        return 0;
    }
    long order = 0;
    try {
        table.SetCurrentIndex("Order");
        if (!(table.IsBOF() && table.IsEOF())) {
            table.MoveLast();
            order = table.m_Order;
        }
        table.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return 0;
    }
    return order;
}

void COrganizeFavoritesDlg::OnMove()
{
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    const CString text = hSelected ? m_tree.GetItemText(hSelected) : CString();
    if (text.IsEmpty()) {
        AfxMessageBox("Please select an item to move from the tree...");
        return;
    }
    CDaoDatabase* pDatabase = GetDatabase();
    if (!pDatabase)
        return;
    const CString key = GetItemKey(hSelected);
    CTreeRecordset row(pDatabase);
    try {
        row.Open(dbOpenDynaset, "Select * from Tree Where Key = '" + quoted(key) + "'");
    } catch (const CDaoException& e) {
        AfxMessageBox(messageA(e), MB_ICONEXCLAMATION);
        return;
    }
    try {
        if (row.IsEOF()) {
            AfxMessageBox("Cannot find the Item in Database....");
            return;
        }
        if (row.m_Type.IsEmpty()) {
            AfxMessageBox("Cannot select a folder to move..Please select an Item");
            return;
        }
        CAddToFavoritesDlg picker(this);
        picker.m_bAddMode = 0;
        picker.m_strPrompt = "Select the folder you want to move to";
        picker.m_strCaption = "Select Folder";
        picker.m_pOutline = m_pOutline;
        if (picker.DoModal() != IDOK || picker.m_strFolder.IsEmpty())
            return;
        const CString folder = picker.m_strFolder;
        HTREEITEM hOldParent = m_tree.GetParentItem(hSelected);
        const CString oldFolder = hOldParent ? m_tree.GetItemText(hOldParent) : CString();
        if (folder == oldFolder)
            return;
        const long last = LastOrder(pDatabase);
        if (last == 0) {
            AfxMessageBox("Unable to access table Tree in Custom Database");
            return;
        }
        row.Edit();
        row.m_Parent = folder;
        if (last != row.m_Order)
            row.m_Order = last + 1;
        row.Update();

        HTREEITEM hFolderOutline = m_pOutline->FindItem(folder);
        if (HTREEITEM hMoved = m_pOutline->FindItem(row.m_Key))
            m_pOutline->RemoveOutlineItem(hMoved);
        if (hFolderOutline)
            m_pOutline->InsertOutlineItem(row.m_Key, row.m_Text, int(row.m_Image), int(row.m_Selected_Image),
                                          hFolderOutline);

        DeleteItem(hSelected);
        HTREEITEM hRoot = m_tree.GetRootItem();
        HTREEITEM hTarget = nullptr;
        if (folder == kFavorites)
            hTarget = hRoot;
        else
            for (HTREEITEM h = m_tree.GetChildItem(hRoot); h && !hTarget; h = m_tree.GetNextSiblingItem(h))
                if (m_tree.GetItemText(h) == folder)
                    hTarget = h;
        if (hTarget)
            m_tree.SelectItem(InsertItem(row.m_Text, int(row.m_Image), int(row.m_Selected_Image), row.m_Key, hTarget));
        row.Close();
        if (CMainFrame* frame = GetMainFrame())
            frame->MoveFavoritesMenuEntry(text, oldFolder, folder);
    } catch (const CDaoException& e) {
        try {
            if (row.IsOpen() && row.GetEditMode() != dbEditNone)
                row.CancelUpdate();
        } catch (const CDaoException&) {
        }
        AfxMessageBox(messageC(e), MB_ICONEXCLAMATION);
    }
}

// ---- Delete ----

void COrganizeFavoritesDlg::OnDelete()
{
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    // Without a selection there is no name, and an empty name is every root's Parent.
    if (!hSelected) {
        AfxMessageBox(kSelectFirst, MB_ICONINFORMATION);
        return;
    }
    if (hSelected == m_tree.GetRootItem())
        return;
    if (AfxMessageBox("Are you sure you want to delete this item from your list of saved Favorites?\nNote: If this "
                      "item contains notes, they will also be deleted.",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDaoDatabase* pDatabase = GetDatabase();
    if (!pDatabase)
        return;
    const CString text = m_tree.GetItemText(hSelected);
    const CString key = GetItemKey(hSelected);
    const CString sql =
        "Select * from Tree Where (Key = '" + quoted(key) + "') or (Parent = '" + quoted(text) + "')";

    // Which of the doomed rows are people with a note: only a "Details" row's Link is a person.
    std::set<long> notedPeople;
    std::vector<CString> repictured;
    try {
        CTreeRecordset doomed(pDatabase);
        doomed.Open(dbOpenDynaset, sql);
        for (; !doomed.IsEOF(); doomed.MoveNext()) {
            long person = 0;
            if (doomed.m_Type != "Details" || !ParseRecordKeyLink(doomed.m_Link, person))
                continue;
            CNotesRecordset notes(pDatabase);
            CString notesSql;
            notesSql.Format("Select * from Annotations where [Annotations].[_IKEY] = %ld", person);
            notes.Open(dbOpenDynaset, notesSql);
            if (!notes.IsEOF())
                notedPeople.insert(person);
            notes.Close();
        }
        doomed.Close();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    CMainFrame* frame = GetMainFrame();
    // A notes window closing may still store its text: it goes before its note does.
    if (frame)
        for (long person : notedPeople)
            frame->m_lists.CloseNotesWindowOf(person);
    try {
        TransGuard trans(pDatabase->m_pWorkspace);
        for (long person : notedPeople) {
            CString link;
            link.Format("%ld", person);
            CTreeRecordset others(pDatabase);
            others.Open(dbOpenDynaset, "Select * from Tree Where Link = '" + link + "'");
            for (; !others.IsEOF(); others.MoveNext()) {
                others.Edit();
                others.m_Image = m_pOutline->m_nFavoriteImage;
                others.m_Selected_Image = m_pOutline->m_nFavoriteImage;
                others.Update();
                repictured.push_back(others.m_Key);
            }
            others.Close();
            CNotesRecordset notes(pDatabase);
            deleteAll(notes, "Select * from Annotations where [Annotations].[_IKEY] = " + link);
        }
        CTreeRecordset doomed(pDatabase);
        deleteAll(doomed, sql);
        trans.Commit();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }

    const int nPlain = m_pOutline->m_nFavoriteImage;
    for (const CString& other : repictured) {
        if (HTREEITEM h = m_pOutline->FindItem(other))
            m_pOutline->GetTreeCtrl().SetItemImage(h, nPlain, nPlain);
        if (HTREEITEM h = FindItemByKey(other))
            m_tree.SetItemImage(h, nPlain, nPlain);
    }
    if (HTREEITEM hOutline = m_pOutline->FindItem(key))
        m_pOutline->RemoveOutlineItem(hOutline);
    HTREEITEM hParent = m_tree.GetParentItem(hSelected);
    const CString folder = hParent ? m_tree.GetItemText(hParent) : CString();
    DeleteItem(hSelected);
    if (frame)
        frame->RenameFavoritesMenuEntry(text, folder, TRUE, "");
}

// ---- Rename ----

void COrganizeFavoritesDlg::OnRename()
{
    m_tree.SetFocus();
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    if (!hSelected) {
        AfxMessageBox(kSelectFirst, MB_ICONINFORMATION);
        return;
    }
    if (hSelected == m_tree.GetRootItem())
        return;
    const CString oldName = m_tree.GetItemText(hSelected);
    const CString oldKey = GetItemKey(hSelected);
    CString name = oldName;
    // The new name becomes the row's Key too: free as a key and at most 50 characters.
    if (!m_pOutline->PromptForName("Rename Item", "Please enter a name for this page/folder.", name, oldName, &oldKey))
        return;
    if (name == oldName)
        return;
    CDaoDatabase* pDatabase = GetDatabase();
    if (!pDatabase)
        return;
    try {
        TransGuard trans(pDatabase->m_pWorkspace);
        CTreeRecordset row(pDatabase);
        try {
            row.Open(dbOpenDynaset, "Select * from Tree Where Key = '" + quoted(oldKey) + "'");
        } catch (const CDaoException& e) {
            AfxMessageBox(messageD(e), MB_ICONEXCLAMATION);
            return;
        }
        if (!row.IsEOF()) {
            row.Edit();
            row.m_Key = name;
            row.m_Text = name;
            row.Update();
        }
        row.Close();
        CTreeRecordset children(pDatabase);
        children.Open(dbOpenDynaset, "Select * from Tree Where Parent = '" + quoted(oldName) + "'");
        for (; !children.IsEOF(); children.MoveNext()) {
            children.Edit();
            children.m_Parent = name;
            children.Update();
        }
        children.Close();
        trans.Commit();
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    if (HTREEITEM hOutline = m_pOutline->FindItem(oldKey)) {
        m_pOutline->GetTreeCtrl().SetItemText(hOutline, name);
        m_pOutline->RekeyItem(hOutline, name);
    }
    m_tree.SetItemText(hSelected, name);
    if (auto it = m_itemKeys.find(hSelected); it != m_itemKeys.end())
        *it->second = name;
    HTREEITEM hParent = m_tree.GetParentItem(hSelected);
    if (CMainFrame* frame = GetMainFrame())
        frame->RenameFavoritesMenuEntry(oldName, hParent ? m_tree.GetItemText(hParent) : CString(), FALSE, name);
}
