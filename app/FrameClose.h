#pragma once
// What closing the main frame stores: which outline items are showing, in table Tree of the
// custom database, so that the next start expands their parents again.

#include "platform/base/CString.h"
#include "platform/controls/ctldefs.h"

class CDaoDatabase;
class CTreeCtrl;

// The outline as the close step sees it: its visible items, top to bottom.
class IVisibleOutline {
public:
    virtual ~IVisibleOutline() = default;
    virtual HTREEITEM GetFirstVisibleItem() = 0;
    virtual HTREEITEM GetNextVisibleItem(HTREEITEM hItem) = 0;
    virtual CString GetItemText(HTREEITEM hItem) = 0;
};

// The outline view's tree control behind that interface.
class CTreeCtrlVisibleOutline : public IVisibleOutline {
public:
    explicit CTreeCtrlVisibleOutline(CTreeCtrl& tree) : m_tree(tree) {}
    HTREEITEM GetFirstVisibleItem() override;
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) override;
    CString GetItemText(HTREEITEM hItem) override;

private:
    CTreeCtrl& m_tree;
};

// Clears Expanded in every row, then sets it in the rows of the visible items. A database that
// cannot be opened or changed is reported once and nothing more is tried: the frame closes
// anyway, for a user who cannot close the program has lost more than the outline's state.
// Answers whether the state was stored.
BOOL StoreOutlineState(const CString& strCustomPath, IVisibleOutline& outline);
// The same on a database the caller opened.
BOOL StoreOutlineState(CDaoDatabase& db, const CString& strCustomPath, IVisibleOutline& outline);

// Whether table Annotations holds a note for the record (errors are shown; the answer is then
// FALSE).
BOOL RecordHasNotes(const CString& strCustomPath, long nKey);
