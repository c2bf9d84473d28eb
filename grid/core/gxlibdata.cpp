#include "grid/core/gxlibdata.h"

#include <algorithm>
#include <cstdio>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxstate.h"
#include "platform/base/CObject.h"
#include "platform/sys/system.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

const char GX_WNDCLASS[] = "GXWND";
const char GX_EDITCLASS[] = "GXEDIT";
const char GX_LISTBOXCLASS[] = "GXLISTBOX";
const char GX_COMBOBOXCLASS[] = "GXCOMBOBOX";
const char GX_NDBLCLKSWNDCLASS[] = "GXNDBLCLKSWND";
const char GX_MDIFRAMECLASS[] = "GxMdiFrame";

namespace {

const UINT kTextIds[gxTextCount] = {
    20139, 20140, 20141, 20142, 20143, 20144, 20145, 20146,  // long operations
    20162, 20163, 20164, 20165,                              // move and insert commands
    20147, 20148, 20150, 20180, 20151, 20152,                // copy, cut, clear, paste
    20154, 20155, 20156, 20157,                              // paste, replace, search
    20172, 20173, 20169, 20168,                              // resize, freeze
    20174, 20175, 20178, 20179,                              // current cell, clipboard, copy, move
};
const UINT kLongOpTextIds[gxLongOpTextCount] = {20081, 20075, 20076, 20077};

}  // namespace

UINT GXGetLibraryTextId(int nText) { return nText >= 0 && nText < gxTextCount ? kTextIds[nText] : 0; }

// ---- Initialisation ----

namespace {

void RegisterCopiedSystemClass(HINSTANCE hInstance, LPCTSTR pszSystemClass, LPCTSTR pszName)
{
    WNDCLASS wc {};
    if (GetClassInfo(hInstance, pszName, &wc))
        return;
    if (!GetClassInfo(nullptr, pszSystemClass, &wc))
        return;  // windows of this class then fail to be created where they are asked for
    wc.style |= CS_GLOBALCLASS;
    wc.hInstance = hInstance;
    wc.lpszClassName = pszName;
    RegisterClass(&wc);
}

void RegisterPlainClass(HINSTANCE hInstance, LPCTSTR pszName, UINT style)
{
    WNDCLASS wc {};
    if (GetClassInfo(hInstance, pszName, &wc))
        return;
    wc = WNDCLASS {};
    wc.style = style;
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = pszName;
    RegisterClass(&wc);
}

}  // namespace

void InitGridLibrary(CGXAbstractControlFactory* pFactory)
{
    CGXGridLibraryState& state = GXGetLibraryState();
    HINSTANCE hInstance = AfxGetInstanceHandle();
    GXRegisterLibraryStrings();

    // 1. The factory, the clipboard format, the version flags and the process-wide services.
    char szFormat[64];
    snprintf(szFormat, sizeof(szFormat), "Grid Styles %08x", unsigned(reinterpret_cast<uintptr_t>(hInstance)));
    state.m_strStylesClipboardFormatName = szFormat;
    state.m_nStylesClipboardFormat = RegisterClipboardFormat(szFormat);
    if (state.m_pControlFactory != pFactory)
        delete state.m_pControlFactory;
    state.m_pControlFactory = pFactory;
    delete state.m_pTabWndInterface;
    state.m_pTabWndInterface = nullptr;
    for (auto*& p : state.m_pGridListener) {
        delete p;
        p = nullptr;
    }
    DWORD dwVersion = GetVersion();
    int nMajor = int(dwVersion & 0xFF), nMinor = int((dwVersion >> 8) & 0xFF);
    state.m_nSysVersion = (nMajor << 8) + nMinor;
    state.m_bNotNT = (dwVersion & 0x80000000u) ? 1 : 0;
    state.m_bNewLook = nMajor >= 4 ? 1 : 0;
    state.m_bOldLook = nMajor < 4 ? 1 : 0;
    state.m_bWin32s = state.m_bNotNT && nMajor < 4 ? 1 : 0;
    if (pFactory)
        pFactory->InstallSupportFeatures();

    // 2. Texts.
    for (int i = 0; i < gxTextCount; ++i)
        if (!state.m_astrTexts[i].LoadString(kTextIds[i]))
            state.m_astrTexts[i].Empty();
    for (int i = 0; i < gxLongOpTextCount; ++i)
        if (!state.m_astrLongOpTexts[i].LoadString(kLongOpTextIds[i]))
            state.m_astrLongOpTexts[i].Empty();

    // 3. The class of the controls' pop-up windows.
    LPCTSTR pszPopup = AfxRegisterWndClass(CS_SAVEBITS);
    state.m_strPopupClassName = pszPopup ? pszPopup : "";

    // 4. Window classes.
    if (pFactory)
        pFactory->RegisterWindowClasses(hInstance);
    RegisterCopiedSystemClass(hInstance, "edit", GX_EDITCLASS);
    RegisterCopiedSystemClass(hInstance, "listbox", GX_LISTBOXCLASS);
    RegisterCopiedSystemClass(hInstance, "combobox", GX_COMBOBOXCLASS);
    RegisterPlainClass(hInstance, GX_WNDCLASS, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS);
    RegisterPlainClass(hInstance, GX_NDBLCLKSWNDCLASS, CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS);
    RegisterPlainClass(hInstance, GX_MDIFRAMECLASS, CS_DBLCLKS | CS_GLOBALCLASS);

    // 5-7.
    GXGetAppData()->m_sysColors.Refresh();
    RefreshDateTimeSettings();
    state.m_bInitialized = 1;
}

BOOL GetGridPopupActive() { return GXGetLibraryState().m_bPopupActive; }

void SetGridPopupActive(BOOL bActive) { GXGetLibraryState().m_bPopupActive = bActive; }

void SetGridLookDefaults(int nOption1, int nOption2, int nOption3)
{
    int* p = GXGetAppData()->m_nLookOptions;
    p[0] = nOption1;
    p[1] = nOption2;
    p[2] = nOption3;
}

void RefreshDateTimeSettings()
{
    if (CGXAbstractDateTimeImp* p = GXGetLibraryState().m_pDateTimeImp)
        p->RefreshSettings();
}

CWnd* FindVisibleParentOfClass(CWnd* pWnd, CRuntimeClass* pClass, BOOL bDirectOnly)
{
    if (!pWnd || !pClass)
        return nullptr;
    CWnd* pParent = pWnd->GetParent();
    if (!pParent || !pParent->IsKindOf(pClass))
        return nullptr;
    if (!bDirectOnly)
        for (CWnd* p = pWnd->GetParent(); p; p = p->GetParent())
            if (p->IsIconic())
                return nullptr;
    return pParent;
}

CWnd* FindRegisteredParent(CWnd* pWnd)
{
    for (CRuntimeClass* pClass : GXGetLibraryState().m_registeredClasses)
        if (CWnd* p = FindVisibleParentOfClass(pWnd, pClass, FALSE))
            return p;
    return nullptr;
}

CView* GetActiveViewOfMainFrame()
{
    CWinApp* pApp = AfxGetApp();
    auto* pFrame = pApp ? dynamic_cast<CFrameWnd*>(pApp->m_pMainWnd) : nullptr;
    return pFrame ? pFrame->GetActiveView() : nullptr;
}
