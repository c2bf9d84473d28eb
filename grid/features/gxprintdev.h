#pragma once
// The printer set-up of a grid as DEVNAMES and DEVMODE blocks, exchanged with the application's
// set-up and the print set-up dialog. Blocks read from a file are checked before a DC is made.

#include "grid/core/gxstate.h"

class CGXPrintDeviceImp : public CGXAbstractPrintDeviceImp {
public:
    void CreateDeviceHandles(CGXPrintDevice& dev, const BYTE* pNames, DWORD nNames, const BYTE* pMode, DWORD nMode) override;
    void FreeDeviceHandles(CGXPrintDevice& dev) override;
    void GetDeviceData(const CGXPrintDevice& dev, BYTE*& pNames, DWORD& nNames, BYTE*& pMode, DWORD& nMode) override;
    HDC CreatePrinterDC(const CGXPrintDevice& dev) override;
    BOOL CreateHandleCopies(const CGXPrintDevice& dev, HGLOBAL& hNames, HGLOBAL& hMode) override;
    void ApplyToApp(const CGXPrintDevice& dev) override;
    BOOL PrintSetup(CGXPrintDevice& dev) override;
};

// Installs the service once; a second call does nothing.
void GXInstallPrintDeviceImp();
