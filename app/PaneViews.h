#pragma once
// The main window's three panes: the least form of the outline (enough for the frame to create,
// lay out and switch to it; the outline replaces it under the same name), the directory pane
// CDaoqueryView and the HTML pane CMediaView.

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

#include "app/MediaView.h"
