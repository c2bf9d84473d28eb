// The grid view base.

#include "grid/core/gxview.h"

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "platform/gdi/devblocks.h"
#include "platform/sys/globalmem.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/splitter.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

// Print set-up shows no page or selection choices and no print-to-file box.
constexpr DWORD kPrintSetupFlags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE;
// Printing does not know its page count beforehand.
constexpr UINT kOpenPageRange = 0xFFFF;

}  // namespace

IMPLEMENT_DYNAMIC(CGXView, CView)

BEGIN_MESSAGE_MAP(CGXView, CView)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
    ON_MESSAGE(WM_GX_QUERYCELL, OnQueryCellMsg)
    ON_MESSAGE(WM_GX_TABNAME, OnTabNameMsg)
END_MESSAGE_MAP()

CGXView::~CGXView() { SetPrintDevice(nullptr, FALSE); }

void CGXView::OnInitialUpdate()
{
    SetPrintDevice(nullptr, FALSE);
    CView::OnInitialUpdate();
}

void CGXView::SetPrintDevice(CGXPrintDevice* pDevice, BOOL bOwn)
{
    if (m_bOwnPrintDevice && m_pPrintDevice != pDevice)
        delete m_pPrintDevice;
    m_pPrintDevice = pDevice;
    m_bOwnPrintDevice = bOwn;
}

void CGXView::OnFilePrintSetup()
{
    CWaitCursor wait;
    CPrintDialog dlg(TRUE, kPrintSetupFlags, this);
    if (dlg.DoModal() == IDOK)
        OnPrintDeviceChanged();
}

BOOL CGXView::OnPreparePrinting(CPrintInfo* pInfo)
{
    CWaitCursor wait;
    if (pInfo) {
        pInfo->SetMaxPage(kOpenPageRange);
        // A grid prints its selection when asked.
        pInfo->m_pPD->m_pd.Flags &= ~DWORD(PD_NOSELECTION);
    }
    // The view's own printer, when it has one, is the dialog's choice and takes the user's.
    CGXAbstractPrintDeviceImp* pImp = GXGetAppData()->m_pPrintDeviceImp;
    CGXPrintDevice* pDevice = pImp && pInfo && pInfo->m_pPD && m_pPrintDevice && m_pPrintDevice->HasDevice()
                                  ? m_pPrintDevice
                                  : nullptr;
    HGLOBAL hNames = nullptr, hMode = nullptr;
    if (pDevice && pImp->CreateHandleCopies(*pDevice, hNames, hMode)) {
        pInfo->m_pPD->m_pd.hDevNames = hNames;
        pInfo->m_pPD->m_pd.hDevMode = hMode;
    }
    const BOOL bOk = DoPreparePrinting(pInfo);
    // Copies the dialog did not take (it was cancelled) are still ours.
    if (pDevice) {
        PRINTDLG& pd = pInfo->m_pPD->m_pd;
        for (HGLOBAL* ph : {&pd.hDevNames, &pd.hDevMode})
            if (*ph && (*ph == hNames || *ph == hMode)) {
                GlobalFree(*ph);
                *ph = nullptr;
            }
    }
    // Printing straight away or previewing keeps the view's printer; the dialog may change it.
    const BOOL bChosen = pInfo && !pInfo->m_bDirect && !pInfo->m_bPreview;
    if (bOk && bChosen && pDevice && pInfo->m_pPD->m_pd.hDevNames) {
        const std::vector<BYTE> names = PvGlobalBytes(pInfo->m_pPD->m_pd.hDevNames);
        const std::vector<BYTE> mode = PvGlobalBytes(pInfo->m_pPD->m_pd.hDevMode);
        if (!pDevice->CompareDeviceData(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size())))
            pDevice->CreateDeviceHandles(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size()));
    }
    if (bOk)
        OnPrintDeviceChanged();
    return bOk;
}

CScrollBar* CGXView::GetScrollBarCtrl(int nBar) const
{
    const DWORD dwStyle = GetStyle();
    if ((nBar == SB_VERT && (dwStyle & WS_VSCROLL)) || (nBar == SB_HORZ && (dwStyle & WS_HSCROLL)))
        return nullptr;
    if (CScrollBar* pBar = GXBorrowedScrollBar(this, nBar))
        return pBar;
    return CView::GetScrollBarCtrl(nBar);
}

CSplitterWnd* CGXView::GetParentDynamicSplitter(const CWnd* pWnd, BOOL bDirectOnly)
{
    auto* pSplitter = static_cast<CSplitterWnd*>(
        FindVisibleParentOfClass(const_cast<CWnd*>(pWnd), RUNTIME_CLASS(CSplitterWnd), bDirectOnly));
    return pSplitter && (pSplitter->GetStyle() & SPLS_DYNAMIC_SPLIT) ? pSplitter : nullptr;
}
