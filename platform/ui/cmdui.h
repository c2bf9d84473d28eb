#pragma once
// CCmdUI: one user-interface item (menu item, toolbar button, status pane, dialog-bar control)
// whose state an ON_UPDATE_COMMAND_UI handler sets.

#include "platform/base/CString.h"
#include "platform/win/cwnd.h"

class CMenu;

class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;          // position in the menu or bar
    CMenu* m_pMenu = nullptr;   // the menu being updated, or null
    CMenu* m_pSubMenu = nullptr;// the pop-up this item opens, or null
    CMenu* m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr;   // the bar or control being updated, or null
    UINT m_nIndexMax = 0;       // number of items being updated
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 unchecked, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Runs the update handler of m_nID found from pTarget; without one, and with
    // bDisableIfNoHndler, the item is enabled only when some target handles the command.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
