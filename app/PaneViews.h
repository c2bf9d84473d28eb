#pragma once
// The least forms of the main window's three panes: enough for the frame to create, lay out and
// switch between them. The outline, the directory grid and the HTML pane replace these classes
// (same names) when they are built.

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

class CDaoqueryView : public CView {
    DECLARE_DYNCREATE(CDaoqueryView)
public:
    CDaoqueryView() = default;
    ~CDaoqueryView() override = default;
    void OnDraw(CDC* pDC) override;
};

class CMediaView : public CView {
    DECLARE_DYNCREATE(CMediaView)
public:
    CMediaView() = default;
    ~CMediaView() override = default;
    void OnDraw(CDC* pDC) override;
};
