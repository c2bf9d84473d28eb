#pragma once
// COrganizeFavoritesDlg: "Favorites" with its folders and favorites in a tree of its own, to
// display, rename, move and delete them. Every change reaches table Tree, the outline, this
// tree and the Favorites menu at once; deleting a favorite takes the person's note along.

#include "platform/controls/controls.h"
#include "platform/ui/dialog.h"

#include <map>
#include <memory>

class CDaoDatabase;
class CMainFrame;
class CNavigateView;

class COrganizeFavoritesDlg : public CDialog {
public:
    explicit COrganizeFavoritesDlg(CWnd* pParent = nullptr);

    CNavigateView* m_pOutline = nullptr;
    CTreeCtrl m_tree;

    // The item's row Key (the root's is its text); empty for none.
    CString GetItemKey(HTREEITEM hItem) const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // Fills the tree under the root, two levels deep; FALSE after a reported failure.
    BOOL FillTree(HTREEITEM hRoot);
    HTREEITEM InsertItem(const CString& strText, int nImage, int nSelectedImage, const CString& strKey,
                         HTREEITEM hParent);
    // Deletes the item and its children with their key copies.
    void DeleteItem(HTREEITEM hItem);
    // The first- or second-level item of a Key; null when none.
    HTREEITEM FindItemByKey(const CString& strKey) const;
    // The database the outline keeps open; null (with a message) when there is none.
    CDaoDatabase* GetDatabase() const;
    CMainFrame* GetMainFrame() const;
    // The Order of the table's last row in index "Order"; 0 when it could not be read.
    long LastOrder(CDaoDatabase* pDatabase);

    afx_msg void OnDisplay();
    afx_msg void OnMove();
    afx_msg void OnDelete();
    afx_msg void OnRename();
    afx_msg void OnClose() { EndDialog(IDOK); }
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    std::map<HTREEITEM, std::unique_ptr<CString>> m_itemKeys;
};
