#pragma once
// The least forms of the outline and the HTML pane: enough for the frame to create, lay out and
// switch between them. The outline and the HTML pane replace these classes (same names) when
// they are built. The directory pane is CDaoqueryView.

#include "app/DaoqueryView.h"
#include "platform/ui/view.h"

class CTreeCtrl;

class CNavigateView : public CView {
    DECLARE_DYNCREATE(CNavigateView)
public:
    CNavigateView() = default;
    ~CNavigateView() override = default;
    void OnDraw(CDC* pDC) override;

    // Set while Back and Forward step through the record history.
    BOOL m_bDetailsHistory = FALSE;

    // The outline's tree; none until the outline is built, and then closing stores nothing
    // (storing an empty outline would clear the saved expanded state).
    CTreeCtrl* GetOutlineTree() { return nullptr; }
};

class CMediaView : public CView {
    DECLARE_DYNCREATE(CMediaView)
public:
    CMediaView() = default;
    ~CMediaView() override = default;
    void OnDraw(CDC* pDC) override;

    // Whether the pane shows a generated details page; none until the pane can show one (tests
    // set it to walk the grid's arrow and page keys).
    BOOL IsDetailsPageShown() const { return m_bDetailsPageShown; }
    BOOL m_bDetailsPageShown = FALSE;
};
