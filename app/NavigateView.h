#pragma once
// CNavigateView: the outline in the main window's left pane. A tree over table Tree of the
// custom database that shows the saved directory lists and the favorites, opens an item when it
// is clicked, adds saved lists and favorites, and renames and deletes them from its context
// menus. Every item carries its row's Key; the key map leads from a Key back to its item.

#include "app/TreeRecordset.h"
#include "platform/base/collections.h"
#include "platform/controls/ctrlview.h"
#include "platform/controls/imagelist.h"

#include <map>
#include <memory>

class CMainFrame;

class CNavigateView : public CTreeView {
    DECLARE_DYNCREATE(CNavigateView)
public:
    CNavigateView();
    ~CNavigateView() override;

    // ---- What the frame and the favorites dialogs use ----
    // Appends the row (Expanded 0) and shows the item; creates a missing "Views" or
    // "Favorites" root first. FALSE, with the tree unchanged, when the row was not stored.
    BOOL AddOutlineItem(CString Key, CString Parent, CString Text, int Image, int SelectedImage, CString Link,
                        CString Type);
    // Whether Name may be an item's text: 1 to 255 characters and no other row's Text (ignoring
    // case); OldName, exactly, is the item's own present text.
    BOOL IsNameUnique(CString Name, CString OldName);
    // Whether Key may be a new row's Key: 1 to 50 characters and no row's Key, ignoring case as
    // the database's comparisons do.
    BOOL IsKeyUnused(CString Key);
    // Turns Key into one that IsKeyUnused accepts: itself, else its first 10 characters + "_n".
    void MakeUniqueKey(CString& Key);
    // Opens the selected item by its Type.
    void OpenOutlineItem();
    // Opens a row's Type and Link as a click on its item does; hItem (may be null) is the item a
    // folder's click would toggle.
    void OpenByType(const CString& strType, const CString& strLink, HTREEITEM hItem);
    // The two organizer dialogs, run modally over this outline.
    void OrganizeFavorites();
    void OrganizeDirectoryLists();
    // The tree once the window exists; closing the frame stores which items show from it.
    CTreeCtrl* GetOutlineTree() { return m_hWnd ? &GetTreeCtrl() : nullptr; }
    // The item of a Key; null when none.
    HTREEITEM FindItem(const CString& strKey) const;
    CString GetItemKey(HTREEITEM hItem) const;
    // Inserts an item last under hParent carrying the Key, and maps the Key to it.
    HTREEITEM InsertOutlineItem(const CString& strKey, const CString& strText, int nImage, int nSelectedImage,
                                HTREEITEM hParent);
    // Deletes the item and its children with their keys.
    void RemoveOutlineItem(HTREEITEM hItem);
    // The item's Key becomes strNewKey, in its key copy and in the key map.
    void RekeyItem(HTREEITEM hItem, const CString& strNewKey);
    // Selects the item under a right click and answers the context menu it gets (135 for a
    // saved list, 139 for a favorite), or 0 for none.
    UINT ChooseContextMenu(CPoint ptScreen);

    int m_nViewCount = 0;
    int m_nFavoriteCount = 0;
    int m_nFolderImage = 2;
    int m_nFolderSelectedImage = 1;
    int m_nFavoriteImage = 0;
    int m_nFavoriteNotesImage = 3;
    CImageList m_imageList;
    BOOL m_bFirstShow = TRUE;
    CTreeRecordset m_treeSet;
    // Set while Back and Forward step through the record history.
    BOOL m_bDetailsHistory = FALSE;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;

    // Shows the name prompt until the user enters a name that IsNameUnique accepts (strOldName
    // exempt) and, for a name that becomes a Key, one no other row has as its Key; FALSE when
    // the user cancels. The prompt starts with strName and leaves the name in it.
    BOOL PromptForName(const CString& strCaption, const CString& strPrompt, CString& strName,
                       const CString& strOldName, const CString* pOwnKey = nullptr);

protected:
    CMainFrame* GetMainFrame() const;
    void RenameSelected(BOOL bFavorite);

    void LoadImageList();
    void LoadOutline();
    // Moves m_treeSet to the row of the Key, walking from the first row; FALSE when none.
    BOOL SeekKey(const CString& strKey);
    void ForgetKeys(HTREEITEM hItem);
    void CountUnder(const CString& strParent, int nDelta);
    void ShowContextMenu(CPoint ptScreen);
    void OpenRecordDetails(const CString& strLink);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDestroy();
    afx_msg void OnRenameDirectoryList();
    afx_msg void OnDeleteDirectoryList();
    afx_msg void OnRenameFavorite();
    afx_msg void OnDeleteFavorite();
    afx_msg void OnFavoriteNotes();
    afx_msg void OnOrganizeFavorites() { OrganizeFavorites(); }
    DECLARE_MESSAGE_MAP()

private:
    CMapStringToPtr m_keyMap {10};   // Key -> HTREEITEM
    // The key copy each item carries as its data.
    std::map<HTREEITEM, std::unique_ptr<CString>> m_itemKeys;
};

// The decimal record key a "Details" row's Link holds; FALSE for anything else.
BOOL ParseRecordKeyLink(const CString& strLink, long& nKey);
// "\n(Jet Error Number n)"-ended messages of the outline's database failures.
CString OutlineReadError(const CDaoException& e);
