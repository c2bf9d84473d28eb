#pragma once
// The least forms of the main window's three panes: enough for the frame to create, lay out and
// switch between them. The outline, the directory grid and the HTML pane replace these classes
// (same names) when they are built.

#include "platform/ui/view.h"

class CNavigateView : public CView {
    DECLARE_DYNCREATE(CNavigateView)
public:
    CNavigateView() = default;
    ~CNavigateView() override = default;
    void OnDraw(CDC* pDC) override;

    // Set while Back and Forward step through the record history.
    BOOL m_bDetailsHistory = FALSE;
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
