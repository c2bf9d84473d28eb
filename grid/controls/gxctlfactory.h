#pragma once
// The standard control factory: the cell control of each control id, the registration of the
// controls and their user attributes, and the library's initialisation with it.

#include "grid/core/gxfactory.h"

class CGXControlFactory : public CGXAbstractControlFactory {
public:
    // Never null except for the object preview, which only a record-browser grid has.
    CGXControl* CreateControl(UINT nID, CGXGridCore* pGrid) override;
    void RegisterControls(CGXStylesMap* pStylesMap) override;
    void RegisterUserAttributes(CGXStylesMap* pStylesMap) override;
    void InstallGridFeatures(CGXGridCore* pGrid) override;
    void InstallSupportFeatures() override;
    void RegisterWindowClasses(HINSTANCE hInstance) override;
    void UnregisterWindowClasses(HINSTANCE hInstance) override;

    // The ids in registration order.
    static const UINT* GetRegisteredIds(int& nCount);
};

// Creates the standard control factory and initialises the grid library with it.
void InitGridLibraryWithFactory();
