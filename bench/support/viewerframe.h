// The viewer's frame in a benchmark: a sample installation made the registered one, and the
// window classes and resources the program's start-up registers.
#pragma once

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/Config.h"
#include "app/Splash.h"
#include "app/ViewerDoc.h"
#include "grid/controls/gxctlfactory.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "resources/frame_ids.h"
#include "tools/pvsample/SampleWriter.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

void PvRegisterAppResources();

// Registers the installation in a registry of its own and loads the configuration from it.
inline bool UseBenchInstallation(const pvsample::SamplePaths& paths)
{
    const std::string registry = paths.root + "registry";
    std::filesystem::create_directories(registry);
    ::setenv("PV_REGISTRY_DIR", registry.c_str(), 1);
    pvsample::RegisterSampleDirectory(paths);
    ResetConfiguration();
    return LoadConfiguration() != 0;
}

inline void PrepareBenchWindows()
{
    PvResetWindowSystem();
    PvRegisterStandardControls();
    PvRegisterAppResources();
    PvRegisterFrameResources();
    InitGridLibraryWithFactory();
    CSplashWindow::EnableSplash(FALSE);
}

inline void PumpBenchMessages()
{
    for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
    }
}

// The viewer's frame as the program's start-up opens it, or null; the template owns it and must
// outlive it.
inline CMainFrame* OpenBenchFrame(std::unique_ptr<CSingleDocTemplate>& tmpl)
{
    tmpl = std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CViewerDoc), RUNTIME_CLASS(CMainFrame),
                                                RUNTIME_CLASS(CDaoqueryView));
    CDocument* pDoc = tmpl->OpenDocumentFile(nullptr);
    POSITION pos = pDoc ? pDoc->GetFirstViewPosition() : nullptr;
    CView* pView = pDoc ? pDoc->GetNextView(pos) : nullptr;
    return pView ? dynamic_cast<CMainFrame*>(pView->GetParentFrame()) : nullptr;
}
