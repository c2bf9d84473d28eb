#pragma once
// The grid library's one-time initialisation and the helpers around its state (the state
// itself is in gxstate.h).

#include "grid/core/gxstate.h"

class CWnd;
class CView;
struct CRuntimeClass;

// Registers the library's string table (names of controls, user attributes, base styles and the
// texts of long operations); the initialisation calls it, once is enough.
void GXRegisterLibraryStrings();
// The one-time initialisation; takes ownership of the factory (a former one is deleted).
void InitGridLibrary(CGXAbstractControlFactory* pFactory);
BOOL GetGridPopupActive();
void SetGridPopupActive(BOOL bActive);
void SetGridLookDefaults(int nOption1, int nOption2, int nOption3);
void RefreshDateTimeSettings();

CWnd* FindVisibleParentOfClass(CWnd* pWnd, CRuntimeClass* pClass, BOOL bDirectOnly);
CWnd* FindRegisteredParent(CWnd* pWnd);
CView* GetActiveViewOfMainFrame();

// The window-class names the library registers.
extern const char GX_WNDCLASS[];
extern const char GX_EDITCLASS[];
extern const char GX_LISTBOXCLASS[];
extern const char GX_COMBOBOXCLASS[];
extern const char GX_NDBLCLKSWNDCLASS[];
extern const char GX_MDIFRAMECLASS[];
