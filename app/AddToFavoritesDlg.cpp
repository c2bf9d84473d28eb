// Add to Favorites and its folder picker.

#include "app/AddToFavoritesDlg.h"

#include "app/Config.h"
#include "app/MainFrm.h"
#include "app/NavigateView.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"
#include "resources/favorites_ids.h"

namespace {

// The root's item data: it is no row's Order.
const DWORD_PTR kRootData = 999;
const char kFavorites[] = "Favorites";
const char kReinstall[] = "\nPlease re-install this program and try again";
const char kRefusedName[] = "The name you entered is either not unique or too long, please try another name";

} // namespace

BOOL LoadOutlineImageList(CImageList& list)
{
    CFile file;
    if (!file.Open(GetDataPath() + "TreeList.bma", CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        if (list.Read(&ar))
            return TRUE;
    } catch (CException&) {
    }
    list.DeleteImageList();
    return FALSE;
}

BEGIN_MESSAGE_MAP(CAddToFavoritesDlg, CDialog)
    ON_BN_CLICKED(IDC_FAVORITES_NEW_FOLDER, OnNewFolder)
END_MESSAGE_MAP()

CAddToFavoritesDlg::CAddToFavoritesDlg(CWnd* pParent) : CDialog(IDD_ADD_FAVORITES, pParent) {}

CAddToFavoritesDlg::~CAddToFavoritesDlg()
{
    try {
        if (m_treeSet.IsOpen())
            m_treeSet.Close();
    } catch (const CDaoException&) {
    }
}

void CAddToFavoritesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FAVORITES_NAME, m_editName);
    DDX_Control(pDX, IDC_FAVORITES_NEW_FOLDER, m_btnNewFolder);
    DDX_Control(pDX, IDC_FAVORITES_TREE, m_tree);
    DDX_Text(pDX, IDC_FAVORITES_NAME, m_strName);
    DDX_Text(pDX, IDC_FAVORITES_PROMPT, m_strPrompt);
}

CMainFrame* CAddToFavoritesDlg::GetMainFrame() const
{
    return m_pOutline ? dynamic_cast<CMainFrame*>(m_pOutline->GetParentFrame()) : nullptr;
}

BOOL CAddToFavoritesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (LoadOutlineImageList(m_imageList))
        m_tree.SetImageList(&m_imageList, TVSIL_NORMAL);
    const BOOL bFilled = FillTree();
    if (!m_bAddMode) {
        m_editName.ShowWindow(SW_HIDE);
        m_btnNewFolder.ShowWindow(SW_HIDE);
        SetWindowText(m_strCaption);
    }
    if (!bFilled)
        return TRUE;
    HTREEITEM hRoot = m_tree.GetRootItem();
    m_tree.Expand(hRoot, TVE_EXPAND);
    m_tree.SelectItem(hRoot);
    if (m_bAddMode)
        return TRUE;
    GotoDlgCtrl(&m_tree);
    return FALSE;
}

BOOL CAddToFavoritesDlg::FillTree()
{
    CDaoDatabase* pDatabase = m_pOutline && m_pOutline->m_treeSet.IsOpen() ? m_pOutline->m_treeSet.m_pDatabase : nullptr;
    if (pDatabase)
        m_treeSet.m_pDatabase = pDatabase;
    try {
        // In the outline's order, so that both list the folders alike.
        m_treeSet.Open(dbOpenDynaset, "Select * from Tree Where Parent='Favorites' order by Tree.Order");
    } catch (const CDaoException& e) {
        AfxMessageBox("Error opening the outline! This program was unable to open the table named Tree in the custom "
                      "database " + GetCustomPath() + kReinstall + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    const int nFolder = m_pOutline ? m_pOutline->m_nFolderImage : 2;
    const int nFolderSelected = m_pOutline ? m_pOutline->m_nFolderSelectedImage : 1;
    HTREEITEM hRoot = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, kFavorites, nFolder,
                                        nFolderSelected, 0, 0, LPARAM(kRootData), TVI_ROOT, TVI_LAST);
    BOOL bRead = TRUE;
    try {
        for (; !m_treeSet.IsEOF(); m_treeSet.MoveNext())
            if (m_treeSet.m_Type.IsEmpty())
                m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, m_treeSet.m_Text,
                                  int(m_treeSet.m_Image), int(m_treeSet.m_Selected_Image), 0, 0,
                                  LPARAM(m_treeSet.m_Order), hRoot, TVI_LAST);
    } catch (const CDaoException& e) {
        AfxMessageBox("Error reading the outline! This program was unable to read from the table named Tree in the "
                      "custom database " + GetCustomPath() + kReinstall + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
        bRead = FALSE;
    }
    try {
        m_treeSet.Close();
    } catch (const CDaoException&) {
    }
    return bRead;
}

void CAddToFavoritesDlg::OnNewFolder()
{
    if (!m_pOutline)
        return;
    CString name;
    // A folder's name is also its Key: the prompt takes only a name that is free as both.
    const CString noKey;
    if (!m_pOutline->PromptForName("Add to Favorites List", "Please enter a name for this folder.", name, "", &noKey))
        return;
    CString key = name;
    m_pOutline->MakeUniqueKey(key);
    const int nFolder = m_pOutline->m_nFolderImage;
    const int nFolderSelected = m_pOutline->m_nFolderSelectedImage;
    if (!m_pOutline->AddOutlineItem(key, kFavorites, name, nFolder, nFolderSelected, "-1", ""))
        return;
    HTREEITEM hRoot = m_tree.GetRootItem();
    HTREEITEM hFolder = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, name, nFolder,
                                          nFolderSelected, 0, 0, LPARAM(kRootData), hRoot, TVI_LAST);
    m_tree.Expand(hRoot, TVE_EXPAND);
    m_tree.SelectItem(hFolder);
    if (CMainFrame* frame = GetMainFrame())
        frame->AppendFavoritesMenuEntry(m_pFavoritesMenu, name, TRUE, "");
}

void CAddToFavoritesDlg::OnOK()
{
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    if (!m_bAddMode) {
        m_strFolder = hSelected ? m_tree.GetItemText(hSelected) : CString();
        EndDialog(IDOK);
        return;
    }
    if (!UpdateData(TRUE))
        return;
    if (!m_pOutline)
        return;
    if (!m_pOutline->IsNameUnique(m_strName, "")) {
        AfxMessageBox(kRefusedName);
        return;
    }
    if (hSelected) {
        const CString folder = m_tree.GetItemText(hSelected);
        CString key = m_strName;
        m_pOutline->MakeUniqueKey(key);
        const int nImage = m_bHasNotes ? m_pOutline->m_nFavoriteNotesImage : m_pOutline->m_nFavoriteImage;
        CString link;
        link.Format("%ld", m_nRecordKey);
        if (m_pOutline->AddOutlineItem(key, folder, key, nImage, nImage, link, "Details"))
            if (CMainFrame* frame = GetMainFrame())
                frame->AppendFavoritesMenuEntry(m_pFavoritesMenu, key, FALSE, folder == kFavorites ? "" : folder);
    }
    EndDialog(IDOK);
}
