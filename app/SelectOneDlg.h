#pragma once
// CSelectOneDlg: a list of the saved directory lists (or of the favorites) to display, rename
// or delete one. The outline does the work; the dialog selects the entry's item there first.

#include "platform/controls/controls.h"
#include "platform/ui/dialog.h"

#include <memory>
#include <vector>

class CNavigateView;
class CTreeRecordset;

class CSelectOneDlg : public CDialog {
public:
    explicit CSelectOneDlg(CWnd* pParent = nullptr);

    CString m_strCaption;
    CNavigateView* m_pOutline = nullptr;
    int m_bFavorites = 0;
    CTreeRecordset* m_pTreeSet = nullptr;
    CListBox m_list;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The common first steps of the three buttons: the selected entry's outline item, selected
    // in the outline; null after a refusal or failure (shown).
    HTREEITEM SelectEntryInOutline(int& nEntry);
    // Adds an entry that carries a copy of its Key.
    int AddEntry(const CString& strText, const CString& strKey, int nAt = -1);
    void FreeEntry(int nEntry);

    afx_msg void OnDisplay();
    afx_msg void OnRename();
    afx_msg void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::unique_ptr<CString>> m_keys;   // the entries' key copies
};
