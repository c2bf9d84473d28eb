// The viewer's frame in a benchmark: a sample installation made the registered one, and the
// window classes and resources the program's start-up registers.
#pragma once

#include "app/Config.h"
#include "app/Splash.h"
#include "grid/controls/gxctlfactory.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "resources/frame_ids.h"
#include "tools/pvsample/SampleWriter.h"

#include <cstdlib>
#include <filesystem>
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
