#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/ViewerApp.h"

#include "app/AboutDlg.h"
#include "app/Config.h"
#include "app/DirectoryDialogs.h"
#include "app/History.h"
#include "app/PaneViews.h"
#include "app/Splash.h"
#include "app/ViewerDoc.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/formula/gxformulasheet.h"
#include "platform/controls/controls.h"
#include "platform/html/browser.h"
#include "platform/sys/shell.h"
#include "resources/frame_ids.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CViewerApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_WEB_LINK, OnWebLink)
END_MESSAGE_MAP()

namespace {

// The frame asks for its title while it is being created; that first request opens the
// database. A Cancel there ends start-up quietly (InitInstance checks PvStartupAbandoned).
CString frameTitle(CDocument* pDoc)
{
    auto* doc = dynamic_cast<CViewerDoc*>(pDoc);
    if (!doc)
        return AfxGetAppName();
    try {
        return doc->GetAppTitle();
    } catch (const CViewerAbort&) {
        return doc->m_strTitle;
    }
}

} // namespace

BOOL CViewerApp::InitInstance()
{
    PvRegisterStandardControls(); // the dialog templates create their controls by class name
    PvRegisterAppResources();
    PvRegisterFrameResources();

    CCommandLineInfo splashInfo;
    ParseCommandLine(splashInfo);
    CSplashWindow::EnableSplash(splashInfo.m_bShowSplash);

    AfxEnableControlContainer();
    PvRegisterBrowserControl(); // dialog templates hold the browser control by its class name
    AfxInitRichEdit();
    Enable3dControlsStatic();
    LoadStdProfileSettings(4);

    if (!LoadConfiguration())
        return FALSE;

    HistoryInit();

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CViewerDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CDaoqueryView)));

    InitGridLibraryWithFactory();
    // A "GridSettings.dat" may name the formula sheet's runtime class: its object
    // file stays in the program only when something refers to it.
    GXForceLinkFormulaSheet();
    SetGridLookDefaults(1, 2, 1);

    CMainFrame::s_pfnGetAppTitle = &frameTitle;
    CMainFrame::s_pfnGetGridHint = &GetGridHint;
    CMainFrame::s_pfnShowGridHints = &ShowGridHintsDialog;
    CMainFrame::s_pfnGridPopupActive = &GetGridPopupActive;

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;
    if (PvStartupAbandoned())
        return FALSE;
    return TRUE;
}

BOOL CViewerApp::PreTranslateMessage(MSG* pMsg)
{
    if (CSplashWindow::FilterAppMessage(pMsg))
        return TRUE;
    return CWinApp::PreTranslateMessage(pMsg);
}

int CViewerApp::ExitInstance()
{
    HistoryFree();
    return CWinApp::ExitInstance();
}

void CViewerApp::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CViewerApp::OnWebLink()
{
    CString address;
    address.LoadString(IDS_WEB_ADDRESS);
    HINSTANCE result = ShellExecute(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        AfxMessageBox("Unable to find " + address, MB_ICONINFORMATION);
}
