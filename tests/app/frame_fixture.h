#pragma once
// A headless desktop with the frame's resources, and the main frame built by a document template
// with a stand-in document, as the program's start-up builds it.

#include <gtest/gtest.h>

#include <memory>

#include "app/MainFrm.h"
#include "app/PaneViews.h"
#include "app/Splash.h"
#include "grid/controls/gxctlfactory.h"
#include "platform/controls/controls.h"
#include "platform/ui/ui.h"
#include "resources/frame_ids.h"
#include "tests/app/outline_fixture.h"

// The program's own strings (resources/resource.h; its ids clash with the framework header's).
void PvRegisterAppResources();

class FrameTestDoc : public CDocument {
    DECLARE_DYNCREATE(FrameTestDoc)
public:
    static CString AppTitle(CDocument*) { return "Westbrook School Directory"; }
};

// Runs the update handler of one command the way idle time does, and answers whether it enabled it.
struct EnableProbe : CCmdUI {
    BOOL enabled = TRUE;
    void Enable(BOOL bOn = TRUE) override { enabled = bOn; }
};

inline BOOL enabledIn(CMainFrame* frame, UINT id)
{
    EnableProbe probe;
    probe.m_nID = id;
    probe.DoUpdate(frame, FALSE);
    return probe.enabled;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        PvRegisterFrameResources();
        InitGridLibraryWithFactory(); // as the program does before it makes its frame
        CSplashWindow::EnableSplash(FALSE);
        CMainFrame::s_pfnGetAppTitle = &FrameTestDoc::AppTitle;
        // The outline finds its pictures and an empty table, as in a fresh installation.
        m_outline.WriteImageList();
        m_outline.WriteCustom({});
        m_outline.Use();
    }
    void TearDown() override
    {
        m_template.reset();  // closes the document with its frame
        CSplashWindow::EnableSplash(FALSE);
        CMainFrame::s_pfnGetAppTitle = nullptr;
        PvResetWindowSystem();
        PvSetOutlinePathsForTest("", "");
    }
    static void Pump()
    {
        for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
        }
    }
    // Builds the frame through the template; null when that failed.
    CMainFrame* OpenFrame()
    {
        m_template = std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(FrameTestDoc),
                                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CDaoqueryView));
        CDocument* pDoc = m_template->OpenDocumentFile(nullptr);
        if (!pDoc) return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pDoc->GetNextView(pos);
        Pump();
        return pView ? static_cast<CMainFrame*>(pView->GetParentFrame()) : nullptr;
    }
    std::unique_ptr<CSingleDocTemplate> m_template;
    OutlineFolder m_outline {"frame"};
};
