#pragma once
// A sample school's directory in the real frame: the template, the document, the frame and its
// directory pane, opened and closed as the program does.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/FrameCommands.h"
#include "app/PaneViews.h"
#include "app/Splash.h"
#include "app/ViewerDoc.h"
#include "grid/controls/gxctlfactory.h"
#include "platform/ui/ui.h"
#include "resources/frame_ids.h"
#include "tests/app/directory_fixture.h"
#include "tools/pvsample/SampleData.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

void PvRegisterAppResources();

template <int People>
class DirectoryViewFixture : public DirectoryInstallationOf<People> {
protected:
    using Base = DirectoryInstallationOf<People>;
    using Base::kPeople;
    using Base::s_paths;

    void SetUp() override
    {
        Base::SetUp();
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        PvRegisterFrameResources();
        InitGridLibraryWithFactory();
        CSplashWindow::EnableSplash(FALSE);
        std::filesystem::remove(settingsPath());
    }
    void TearDown() override
    {
        closeFrame();
        PvResetWindowSystem();
        std::filesystem::remove(settingsPath());
        Base::TearDown();
    }
    static std::string settingsPath() { return s_paths->dataPath + "GridSettings.dat"; }
    static void Pump()
    {
        for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
        }
    }
    CDaoqueryView* openFrame()
    {
        m_template = std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CViewerDoc),
                                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CDaoqueryView));
        CDocument* pDoc = m_template->OpenDocumentFile(nullptr);
        if (!pDoc)
            return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pDoc->GetNextView(pos);
        frame = pView ? dynamic_cast<CMainFrame*>(pView->GetParentFrame()) : nullptr;
        Pump();
        view = frame ? frame->m_pQueryView : nullptr;
        doc = view ? view->GetViewerDoc() : nullptr;
        return view;
    }
    // Closes the frame as the user does (the document goes with it), then the template.
    void closeFrame()
    {
        if (frame && ::IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        Pump();
        m_template.reset();
        frame = nullptr;
        view = nullptr;
        doc = nullptr;
    }
    CString pane(int n) { return frame->m_wndStatusBar.GetPaneText(n); }
    CString showAll()
    {
        CString sort;
        doc->GetDefaultSort(sort);
        return ShowAllQuery(sort);
    }
    static const pvsample::School& school()
    {
        static const pvsample::School s = pvsample::MakeSchool(People, 3);
        return s;
    }
    static std::string plainOf(long key, const char* field)
    {
        const auto& d = school().data;
        for (size_t r = 0; r < d.keys.size(); ++r)
            if (d.keys[r] == key)
                return d.rows[r][d.FieldIndex(field)];
        return "?";
    }
    long keyOfRow(ROWCOL row) { return std::atol(view->CellValueText(row, ROWCOL(view->GetColumnIndex("_IKEY")))); }

    std::unique_ptr<CSingleDocTemplate> m_template;
    CMainFrame* frame = nullptr;
    CDaoqueryView* view = nullptr;
    CViewerDoc* doc = nullptr;
};
