#pragma once
// The main frame's two lists of modeless windows (notes windows and details pop-ups), one window
// per record and kind, with Close All, Cascade, the tidying when the frame regains the focus and
// the state the dialogs read to place themselves.
//
// Ownership: a listed window deletes itself when its window is destroyed and calls
// RemoveFromWindowList on its way out; the lists own only their entries. Close All takes an
// entry out of its list before it destroys the window, so the window's own removal finds
// nothing and no entry or window is ever freed twice, whichever is destroyed first.

#include "platform/base/CObject.h"
#include "platform/base/geometry.h"
#include "platform/win/cwnd.h"

#include <functional>
#include <list>
#include <memory>

class CWindowListEntry : public CObject {
public:
    CWindowListEntry(CWnd* pWnd, long nKey) : m_pWnd(pWnd), m_nKey(nKey) {}
    CWnd* m_pWnd;
    long m_nKey;
};

class CModelessWindowLists {
public:
    using EntryList = std::list<std::unique_ptr<CWindowListEntry>>;

    CModelessWindowLists() = default;
    CModelessWindowLists(const CModelessWindowLists&) = delete;
    CModelessWindowLists& operator=(const CModelessWindowLists&) = delete;

    // bNotes: TRUE the notes list, FALSE the pop-up list.
    void AddToWindowList(CWnd* pWnd, long nKey, BOOL bNotes);
    // Removes every entry of the window; a window that is not listed changes nothing. Answers
    // whether anything was removed (the frame then repaints).
    BOOL RemoveFromWindowList(CWnd* pWnd, BOOL bNotes);
    void SetLastActiveWindow(CWnd* pWnd) { m_pLastActiveWindow = pWnd; }

    CWnd* FindWindowOf(long nKey, BOOL bNotes) const;
    BOOL IsListed(CWnd* pWnd, BOOL bNotes) const;
    const EntryList& GetList(BOOL bNotes) const { return bNotes ? m_listNotes : m_listPopups; }
    BOOL IsEmpty() const { return m_listNotes.empty() && m_listPopups.empty(); }

    // Creates a window when the record has none of that kind: pfnCreate makes and creates the
    // dialog (null on failure). Answers the record's window, old or new, or null.
    // The frame's window rectangle is taken into m_rcCascadeBase before a window is created.
    CWnd* OpenNotesWindow(long nKey, const CRect& rcFrame, const std::function<CWnd*()>& pfnCreate);
    CWnd* OpenDetailsPopup(long nKey, const CRect& rcFrame, const std::function<CWnd*()>& pfnCreate);

    // Closes the notes window of a record, if one is open.
    void CloseNotesWindowOf(long nKey);
    // Destroys every pop-up, then every notes window.
    void CloseAll();
    // Shows every pop-up, then every notes window, normally and on top, in list order.
    void CascadeAll();
    // The frame got the focus: minimises the windows of the current record and the last active
    // one. Answers whether the HTML pane is to be enabled (only once a details page was shown).
    BOOL OnFrameSetFocus();
    // A details page was shown for this record.
    void SetCurrentRecord(long nKey)
    {
        m_nCurrentKey = nKey;
        m_bRecordShown = TRUE;
    }

    // Update rules of Close All (also command 2) and Cascade.
    BOOL CanCloseAll() const { return !IsEmpty(); }
    BOOL CanClosePopups() const { return !m_listPopups.empty(); }
    BOOL CanCascade() const { return !IsEmpty(); }

    CRect m_rcCascadeBase;
    int m_nNotesCascade = 0;  // 0..6
    int m_nPopupCascade = 0;  // 0..5
    CWnd* m_pLastActiveWindow = nullptr;
    long m_nCurrentKey = 0;
    BOOL m_bRecordShown = FALSE;
    BOOL m_bMinimizePopups = TRUE;

private:
    EntryList m_listNotes;
    EntryList m_listPopups;

    EntryList& list(BOOL bNotes) { return bNotes ? m_listNotes : m_listPopups; }
    static void destroyFirst(EntryList& entries);
};
