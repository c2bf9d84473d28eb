#pragma once
// CAddToFavoritesDlg: files the person being shown under "Favorites" or one of its folders, and
// can make a new folder on the way. With the name and New Folder hidden (m_bAddMode 0) it is the
// folder picker of Organize Favorites' move, answering the chosen text in m_strFolder.

#include "platform/controls/controls.h"
#include "platform/ui/dialog.h"

#include "app/TreeRecordset.h"

class CMenu;
class CMainFrame;
class CNavigateView;

class CAddToFavoritesDlg : public CDialog {
public:
    explicit CAddToFavoritesDlg(CWnd* pParent = nullptr);
    ~CAddToFavoritesDlg() override;

    CMenu* m_pFavoritesMenu = nullptr;
    int m_bHasNotes = 0;
    long m_nRecordKey = 0;
    CString m_strCaption;
    CString m_strFolder;
    int m_bAddMode = 1;
    CNavigateView* m_pOutline = nullptr;

    CEdit m_editName;
    CButton m_btnNewFolder;
    CTreeCtrl m_tree;
    CString m_strName;
    CString m_strPrompt;
    CImageList m_imageList;
    CTreeRecordset m_treeSet;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // Fills the tree with "Favorites" and its folders; FALSE after a reported database failure.
    BOOL FillTree();
    CMainFrame* GetMainFrame() const;

    afx_msg void OnNewFolder();
    DECLARE_MESSAGE_MAP()
};

// The data folder's "TreeList.bma" into pList; FALSE, quietly, when it is missing or damaged.
BOOL LoadOutlineImageList(CImageList& list);
