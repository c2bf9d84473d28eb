// Select One: the saved directory lists or the favorites in a list, handed to the outline's
// own commands.

#include "app/SelectOneDlg.h"

#include "app/NavigateView.h"
#include "app/TreeRecordset.h"
#include "resources/favorites_ids.h"
#include "resources/outline_ids.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CSelectOneDlg, CDialog)
    ON_BN_CLICKED(IDC_SELECT_DISPLAY, OnDisplay)
    ON_CONTROL(LBN_DBLCLK, IDC_SELECT_LIST, OnDisplay)
    ON_BN_CLICKED(IDC_SELECT_RENAME, OnRename)
    ON_BN_CLICKED(IDC_SELECT_DELETE, OnDelete)
END_MESSAGE_MAP()

CSelectOneDlg::CSelectOneDlg(CWnd* pParent) : CDialog(IDD_SELECT_ONE, pParent) {}

void CSelectOneDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SELECT_LIST, m_list);
}

int CSelectOneDlg::AddEntry(const CString& strText, const CString& strKey, int nAt)
{
    const int n = nAt < 0 ? m_list.AddString(strText) : m_list.InsertString(nAt, strText);
    if (n < 0)
        return n;
    m_keys.push_back(std::make_unique<CString>(strKey));
    m_list.SetItemDataPtr(n, m_keys.back().get());
    return n;
}

void CSelectOneDlg::FreeEntry(int nEntry)
{
    auto* key = static_cast<CString*>(m_list.GetItemDataPtr(nEntry));
    std::erase_if(m_keys, [key](const std::unique_ptr<CString>& p) { return p.get() == key; });
    m_list.SetItemDataPtr(nEntry, nullptr);
}

BOOL CSelectOneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    if (!m_pTreeSet || !m_pTreeSet->IsOpen() || !m_pOutline) {
        AfxMessageBox("Error! This dialog has not been properly initialized", MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    try {
        if (!(m_pTreeSet->IsBOF() && m_pTreeSet->IsEOF()))
            m_pTreeSet->MoveFirst();
        for (; !m_pTreeSet->IsEOF(); m_pTreeSet->MoveNext()) {
            const CTreeRecordset& row = *m_pTreeSet;
            const BOOL bListed = m_bFavorites ? row.m_Parent == "Favorites"
                                              : row.m_Parent == "Views" && !row.m_Link.IsEmpty() &&
                                                    row.m_Text != "People with E-Mail Addresses";
            if (bListed)
                AddEntry(row.m_Text, row.m_Key);
        }
    } catch (const CDaoException& e) {
        AfxMessageBox("Error accessing data from the table named Tree in the custom database." + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

HTREEITEM CSelectOneDlg::SelectEntryInOutline(int& nEntry)
{
    nEntry = m_list.GetCurSel();
    if (nEntry < 0) {
        AfxMessageBox("You must first select an item from the list.", MB_ICONINFORMATION);
        return nullptr;
    }
    const auto* key = static_cast<const CString*>(m_list.GetItemDataPtr(nEntry));
    if (!key || !m_pOutline || !m_pTreeSet)
        return nullptr;
    try {
        // The row is only read to be sure it is still there, as the outline's commands expect.
        BOOL bFound = FALSE;
        if (!(m_pTreeSet->IsBOF() && m_pTreeSet->IsEOF()))
            for (m_pTreeSet->MoveFirst(); !bFound && !m_pTreeSet->IsEOF(); m_pTreeSet->MoveNext())
                bFound = m_pTreeSet->m_Key == *key;
    } catch (const CDaoException& e) {
        AfxMessageBox("Error reading data from the table named Tree in the custom database." + PvJetErrorTail(e),
                      MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return nullptr;
    }
    // An entry whose item is gone from the outline would act on whatever the outline selects.
    HTREEITEM hItem = m_pOutline->FindItem(*key);
    if (hItem)
        m_pOutline->GetTreeCtrl().SelectItem(hItem);
    return hItem;
}

void CSelectOneDlg::OnDisplay()
{
    int nEntry = -1;
    if (!SelectEntryInOutline(nEntry))
        return;
    m_pOutline->OpenOutlineItem();
    OnOK();
}

void CSelectOneDlg::OnRename()
{
    int nEntry = -1;
    HTREEITEM hItem = SelectEntryInOutline(nEntry);
    if (!hItem)
        return;
    m_pOutline->SendMessage(WM_COMMAND, m_bFavorites ? ID_RENAME_FAVORITE : ID_RENAME_DIRECTORY_LIST);
    // A favorite's rename gives it a new Key: the entry follows the item, not its old key.
    const CString text = m_pOutline->GetTreeCtrl().GetItemText(hItem);
    const CString key = m_pOutline->GetItemKey(hItem);
    FreeEntry(nEntry);
    m_list.DeleteString(UINT(nEntry));
    const int n = AddEntry(text, key, nEntry);
    m_list.SetCurSel(n);
}

void CSelectOneDlg::OnDelete()
{
    int nEntry = -1;
    if (!SelectEntryInOutline(nEntry))
        return;
    int& count = m_bFavorites ? m_pOutline->m_nFavoriteCount : m_pOutline->m_nViewCount;
    const int before = count;
    m_pOutline->SendMessage(WM_COMMAND, m_bFavorites ? ID_DELETE_FAVORITE : ID_DELETE_DIRECTORY_LIST);
    if (count == before)
        return;
    FreeEntry(nEntry);
    m_list.DeleteString(UINT(nEntry));
}

void CSelectOneDlg::OnOK()
{
    for (int i = 0; i < m_list.GetCount(); ++i)
        m_list.SetItemDataPtr(i, nullptr);
    m_keys.clear();
    EndDialog(IDOK);
}
