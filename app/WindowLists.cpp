#include "app/WindowLists.h"

#include <vector>

void CModelessWindowLists::AddToWindowList(CWnd* pWnd, long nKey, BOOL bNotes)
{
    list(bNotes).push_back(std::make_unique<CWindowListEntry>(pWnd, nKey));
}

BOOL CModelessWindowLists::RemoveFromWindowList(CWnd* pWnd, BOOL bNotes)
{
    const size_t removed = list(bNotes).remove_if([pWnd](const auto& e) { return e->m_pWnd == pWnd; });
    // A window that is gone must not be minimised on the next focus change.
    if (m_pLastActiveWindow == pWnd) m_pLastActiveWindow = nullptr;
    return removed != 0;
}

CWnd* CModelessWindowLists::FindWindowOf(long nKey, BOOL bNotes) const
{
    for (const auto& e : GetList(bNotes))
        if (e->m_nKey == nKey) return e->m_pWnd;
    return nullptr;
}

BOOL CModelessWindowLists::IsListed(CWnd* pWnd, BOOL bNotes) const
{
    for (const auto& e : GetList(bNotes))
        if (e->m_pWnd == pWnd) return TRUE;
    return FALSE;
}

CWnd* CModelessWindowLists::OpenNotesWindow(long nKey, const CRect& rcFrame, const std::function<CWnd*()>& pfnCreate)
{
    if (CWnd* pWnd = FindWindowOf(nKey, TRUE)) {
        pWnd->ShowWindow(SW_SHOWNORMAL);
        pWnd->BringWindowToTop();
        return pWnd;
    }
    m_rcCascadeBase = rcFrame;
    CWnd* pWnd = pfnCreate ? pfnCreate() : nullptr;
    if (!pWnd) return nullptr;
    AddToWindowList(pWnd, nKey, TRUE);
    m_nNotesCascade = (m_nNotesCascade + 1) % 7;
    return pWnd;
}

CWnd* CModelessWindowLists::OpenDetailsPopup(long nKey, const CRect& rcFrame, const std::function<CWnd*()>& pfnCreate)
{
    if (CWnd* pWnd = FindWindowOf(nKey, FALSE)) {
        pWnd->ShowWindow(SW_RESTORE);
        pWnd->BringWindowToTop();
        return pWnd;
    }
    m_rcCascadeBase = rcFrame;
    CWnd* pWnd = pfnCreate ? pfnCreate() : nullptr;
    if (!pWnd) return nullptr;
    AddToWindowList(pWnd, nKey, FALSE);
    m_nPopupCascade = (m_nPopupCascade + 1) % 6;
    return pWnd;
}

// Unlinks the first entry before the window goes, so the window's own removal on destruction
// finds nothing; a window destroyed along with an earlier one (a notes window owned by a
// pop-up) has already left its list by the time the loop gets to it.
void CModelessWindowLists::destroyFirst(EntryList& entries)
{
    std::unique_ptr<CWindowListEntry> entry = std::move(entries.front());
    entries.pop_front();
    CWnd* pWnd = entry->m_pWnd;
    if (pWnd && ::IsWindow(pWnd->GetSafeHwnd())) pWnd->DestroyWindow();
}

void CModelessWindowLists::CloseNotesWindowOf(long nKey)
{
    for (auto it = m_listNotes.begin(); it != m_listNotes.end(); ++it) {
        if ((*it)->m_nKey != nKey) continue;
        std::unique_ptr<CWindowListEntry> entry = std::move(*it);
        m_listNotes.erase(it);
        if (m_pLastActiveWindow == entry->m_pWnd) m_pLastActiveWindow = nullptr;
        if (entry->m_pWnd && ::IsWindow(entry->m_pWnd->GetSafeHwnd())) entry->m_pWnd->DestroyWindow();
        return;
    }
}

void CModelessWindowLists::CloseAll()
{
    while (!m_listPopups.empty())
        destroyFirst(m_listPopups);
    while (!m_listNotes.empty())
        destroyFirst(m_listNotes);
    m_pLastActiveWindow = nullptr;
}

void CModelessWindowLists::CascadeAll()
{
    // Copied first: bringing a window up may make it close itself and leave its list.
    for (BOOL bNotes : { FALSE, TRUE }) {
        std::vector<CWnd*> windows;
        for (const auto& e : GetList(bNotes))
            windows.push_back(e->m_pWnd);
        for (CWnd* pWnd : windows) {
            if (!IsListed(pWnd, bNotes)) continue;
            pWnd->ShowWindow(SW_SHOWNORMAL);
            pWnd->BringWindowToTop();
        }
    }
}

BOOL CModelessWindowLists::OnFrameSetFocus()
{
    if (!m_bRecordShown) return FALSE;
    auto minimizeMatching = [this](BOOL bNotes) {
        std::vector<CWnd*> windows;
        for (const auto& e : GetList(bNotes))
            if (e->m_pWnd == m_pLastActiveWindow || e->m_nKey == m_nCurrentKey) windows.push_back(e->m_pWnd);
        for (CWnd* pWnd : windows)
            if (IsListed(pWnd, bNotes)) pWnd->ShowWindow(SW_MINIMIZE);
    };
    if (m_bMinimizePopups)
        minimizeMatching(FALSE);
    else
        m_bMinimizePopups = TRUE;
    minimizeMatching(TRUE);
    return TRUE;
}
