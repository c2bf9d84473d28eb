#include "grid/features/gxprintdev.h"

#include <cstring>
#include <vector>

#include "grid/core/gxprop.h"
#include "platform/gdi/devblocks.h"
#include "platform/sys/globalmem.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/winapp.h"

void CGXPrintDeviceImp::CreateDeviceHandles(CGXPrintDevice& dev, const BYTE* pNames, DWORD nNames, const BYTE* pMode,
                                            DWORD nMode)
{
    dev.CreateDeviceHandles(pNames, nNames, pMode, nMode);
}

void CGXPrintDeviceImp::FreeDeviceHandles(CGXPrintDevice& dev) { dev.FreeDeviceHandles(); }

void CGXPrintDeviceImp::GetDeviceData(const CGXPrintDevice& dev, BYTE*& pNames, DWORD& nNames, BYTE*& pMode, DWORD& nMode)
{
    std::vector<BYTE> names, mode;
    dev.GetDeviceData(names, mode);
    auto copy = [](const std::vector<BYTE>& v, BYTE*& p, DWORD& n) {
        n = DWORD(v.size());
        p = v.empty() ? nullptr : new BYTE[v.size()];
        if (p)
            std::memcpy(p, v.data(), v.size());
    };
    copy(names, pNames, nNames);
    copy(mode, pMode, nMode);
}

HDC CGXPrintDeviceImp::CreatePrinterDC(const CGXPrintDevice& dev)
{
    std::vector<BYTE> names, mode;
    dev.GetDeviceData(names, mode);
    if (names.empty())
        return nullptr;
    return PvCreateDCFromDevBlocks(names.data(), names.size(), mode.data(), mode.size());
}

BOOL CGXPrintDeviceImp::CreateHandleCopies(const CGXPrintDevice& dev, HGLOBAL& hNames, HGLOBAL& hMode)
{
    hNames = hMode = nullptr;
    std::vector<BYTE> names, mode;
    dev.GetDeviceData(names, mode);
    if (names.empty())
        return FALSE;
    hNames = PvGlobalCopy(names.data(), names.size());
    hMode = mode.empty() ? nullptr : PvGlobalCopy(mode.data(), mode.size());
    if (!hNames || (!mode.empty() && !hMode)) {
        if (hNames) GlobalFree(hNames);
        if (hMode) GlobalFree(hMode);
        hNames = hMode = nullptr;
        AfxThrowMemoryException();
    }
    return TRUE;
}

void CGXPrintDeviceImp::ApplyToApp(const CGXPrintDevice& dev)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    if (app->m_hDevNames) GlobalFree(app->m_hDevNames);
    if (app->m_hDevMode) GlobalFree(app->m_hDevMode);
    app->m_hDevNames = app->m_hDevMode = nullptr;
    CreateHandleCopies(dev, app->m_hDevNames, app->m_hDevMode);
}

BOOL CGXPrintDeviceImp::PrintSetup(CGXPrintDevice& dev)
{
    CPrintDialog dlg(TRUE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION);
    HGLOBAL hNames = nullptr, hMode = nullptr;
    CreateHandleCopies(dev, hNames, hMode);
    dlg.m_pd.hDevNames = hNames;
    dlg.m_pd.hDevMode = hMode;
    const INT_PTR result = dlg.DoModal();
    if (result == IDOK) {
        std::vector<BYTE> names = PvGlobalBytes(dlg.m_pd.hDevNames), mode = PvGlobalBytes(dlg.m_pd.hDevMode);
        if (mode.size() >= sizeof(DEVMODE)) {
            // TrueType fonts print as graphics.
            DEVMODE dm;
            std::memcpy(&dm, mode.data(), sizeof(dm));
            dm.dmTTOption = DMTT_BITMAP;
            dm.dmFields |= DM_TTOPTION;
            std::memcpy(mode.data(), &dm, sizeof(dm));
        }
        dev.CreateDeviceHandles(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size()));
    }
    // On OK the dialog replaced (and freed) the blocks handed in; else they are still ours.
    if (result != IDOK) {
        if (hNames) GlobalFree(hNames);
        if (hMode) GlobalFree(hMode);
        dlg.m_pd.hDevNames = dlg.m_pd.hDevMode = nullptr;
    }
    return result == IDOK;
}

void GXInstallPrintDeviceImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pPrintDeviceImp) {
        static CGXPrintDeviceImp s_imp;
        d->m_pPrintDeviceImp = &s_imp;
    }
}
