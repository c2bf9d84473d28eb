// CCmdUI for menu items and plain windows; bars supply their own kinds.

#include "platform/ui/cmdui.h"

#include "platform/ui/menu.h"

#include <string>

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (m_pSubMenu) return; // pop-ups stay enabled
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther) {
        // A control that loses its enabled state must not keep the focus.
        if (!bOn && CWnd::GetFocus() == m_pOther) {
            if (CWnd* parent = m_pOther->GetParent()) ::SendMessage(parent->m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (m_pSubMenu) return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        m_pOther->SendMessage(BM_SETCHECK, WPARAM(nCheck));
    }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (!lpszText) lpszText = "";
    if (m_pMenu) {
        if (m_pSubMenu) return;
        UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        if (state == UINT(-1)) return;
        state &= ~UINT(MF_POPUP | MF_SEPARATOR);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        CString cur;
        m_pOther->GetWindowText(cur);
        if (cur != lpszText) m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || !pTarget || LOWORD(m_nID) == 0xFFFF) return TRUE;
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, int(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info {nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
