// The grid object: construction, initialisation over a parameter object, destruction, and the
// links to the window, the document and the library.

#include "grid/core/gxgrid.h"

#include <cassert>

#include "grid/core/gxctrl.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "platform/base/exceptions.h"
#include "platform/gdi/gdiobj.h"
#include "platform/sys/system.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

CGXGridCore::CGXGridCore(CWnd* pGridWnd, CDocument* pDocument, BOOL bIsViewContext)
    : m_pAppData(GXGetAppData()), m_pGridWnd(pGridWnd), m_pDocument(pDocument), m_bIsViewContext(bIsViewContext)
{
    m_cyBorder = GetSystemMetrics(SM_CYBORDER);
    m_cxBorder = GetSystemMetrics(SM_CXBORDER);
    m_cyFrame = GetSystemMetrics(SM_CYFRAME);
    m_cxFrame = GetSystemMetrics(SM_CXFRAME);
    m_pStyleClass = RUNTIME_CLASS(CGXStyle);
    if (!m_bInitDone)
        if (CGXAbstractControlFactory* pFactory = GXGetLibraryState().m_pControlFactory)
            pFactory->InstallGridFeatures(this);
}

CGXGridCore::~CGXGridCore()
{
    GridFindReplaceState::Get().OnGridDestroyed(this);
    DeleteControls();
    FreeGdiCache();
    FreeFontCache();
    m_brushCache.clear();
    m_penCache.clear();
    if (m_bOwnParam)
        delete m_pParam;
    m_pParam = nullptr;
    m_pParamClass = nullptr;
    m_pStyleScratch1.reset();
    m_pStyleScratch2.reset();
    m_pStyleValue.reset();
    m_pCurrentCellStyle.reset();
    for (CGXStyle* p : m_freeStyles)
        delete p;
    m_freeStyles.clear();
    for (auto& del : m_deleteList)
        del();
    m_deleteList.clear();
    m_plugins.clear();
    GXGetLibraryState().UnregisterGrid(this);
}

void CGXGridCore::SetGridWnd(CWnd* pWnd, CDocument* pDocument, BOOL bIsViewContext)
{
    m_pGridWnd = pWnd;
    m_pDocument = pDocument;
    m_bIsViewContext = bIsViewContext;
}

void CGXGridCore::DeleteControls()
{
    // A control's destructor may still ask the grid about its cell; forget each before deleting.
    m_pCurrentCellControl = nullptr;
    m_pLastControl = nullptr;
    m_nLastControlId = 0;
    m_pDefaultControl = nullptr;
    auto controls = std::move(m_controls);
    m_controls.clear();
    for (auto& [id, p] : controls)
        delete p;
}

void CGXGridCore::DetachParamCaches()
{
    // Everything below points into the parameter object held so far.
    FreeGdiCache();
    FreeFontCache();
    ResetCurrentCellStyle();
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    m_nVertFontUnit = m_nHorzFontUnit = 0;
    ResetSizeCaches();
    GXGetLibraryState().UnregisterGrid(this);
}

void CGXGridCore::AttachParam(CGXGridParam* pParam, BOOL bOwn)
{
    if (pParam && pParam == m_pParam) {
        // Re-attaching the object held only changes who owns it.
        m_bOwnParam = bOwn;
        return;
    }
    if (!pParam)
        pParam = new CGXGridParam;
    if (m_pParam)
        DetachParamCaches();
    if (m_bOwnParam)
        delete m_pParam;
    m_pParam = pParam;
    m_pParamClass = pParam->GetRuntimeClass();
    m_bOwnParam = bOwn;
    if (m_bInitDone) {
        CGXGridLibraryState& state = GXGetLibraryState();
        state.RegisterGridOfData(m_pParam, this);
        state.RegisterGridOfData(m_pParam->GetProperties(), this);
        state.RegisterGridOfData(m_pParam->GetStylesMap(), this);
        state.RegisterGridOfData(m_pParam->GetData(), this);
    }
}

void CGXGridCore::Initialize()
{
    WNDCLASS wc {};
    if (!GetClassInfo(AfxGetInstanceHandle(), GX_WNDCLASS, &wc))
        AfxThrowNotSupportedException();  // the grid library was not initialised

    CGXGridLibraryState& state = GXGetLibraryState();
    state.m_bPopupActive = FALSE;
    for (CGXPluginComponent* p : m_plugins)
        p->PlugIn(m_pGridWnd);

    if (!m_pStyleScratch1)
        m_pStyleScratch1.reset(NewScratchStyle());
    if (!m_pStyleScratch2)
        m_pStyleScratch2.reset(NewScratchStyle());
    if (!m_pStyleValue)
        m_pStyleValue.reset(NewScratchStyle());
    m_pStyleClass = m_pStyleValue->GetRuntimeClass();

    if (!m_pParam)
        AttachParam(new CGXGridParam, TRUE);
    state.RegisterGridOfData(m_pParam, this);
    FreeGdiCache();

    if (!m_pParam->GetProperties()) {
        auto* pProps = new CGXProperties;
        pProps->AddDefaultUserProperties();
        if (m_pAppData->m_pProfileImp)
            pProps->ReadProfile();
        m_pParam->SetProperties(pProps, TRUE);
        state.RegisterGridOfData(pProps, this);
    }
    if (!m_pParam->GetStylesMap()) {
        auto* pMap = new CGXStylesMap(const_cast<CRuntimeClass*>(m_pStyleClass));
        pMap->CreateStandardStyles();
        if (m_pAppData->m_pProfileImp)
            pMap->ReadProfile();
        m_pParam->SetStylesMap(pMap, TRUE);
        state.RegisterGridOfData(pMap, this);
    }

    RefreshBaseStylePointers();
    if (m_pStyleStandard)
        GetRegisteredControl(m_pStyleStandard->GetIncludeControl() ? m_pStyleStandard->GetControl() : WORD(0));

    if (!m_pParam->GetData()) {
        CObject* pObject = m_pDataClass ? m_pDataClass->CreateObject() : nullptr;
        auto* pData = dynamic_cast<CGXData*>(pObject);
        if (!pData) {
            delete pObject;
            pData = new CGXData;
        }
        m_pParam->SetData(pData, TRUE);
        // Registered first: the store's initialisation may look up its grid.
        state.RegisterGridOfData(pData, this);
        pData->InitParam(m_pParam);
    }

    m_pParam->m_bIsInit = TRUE;
    m_nZoom = int(m_pParam->GetProperties()->m_nZoomPrint);
    if (m_nZoom <= 0)
        m_nZoom = 100;
    m_bInitDone = TRUE;

    m_nTopRow = std::max(m_nTopRow, FrozenRows() + 1);
    m_nLeftCol = std::max(m_nLeftCol, FrozenCols() + 1);

    // In a tab, the sheet's name is its tab's label.
    if (state.m_pTabWndInterface)
        state.m_pTabWndInterface->TabNameOfWnd(m_pGridWnd, m_pParam->m_sText, FALSE);

    if (m_pParam->m_bHasRememberedCell && m_pParam->m_nRememberedRow <= RowCount()
        && m_pParam->m_nRememberedCol <= ColCount())
        PlaceCurrentCell(m_pParam->m_nRememberedRow, m_pParam->m_nRememberedCol, 0);

    UpdateScrollBars(TRUE, FALSE);
}

void CGXGridCore::SetPrinting(BOOL bPrint, BOOL bClientToRect)
{
    if (bPrint && !m_bPrinting) {
        if (IsCurrentCellControlActive())
            DeactivateCurrentCell(TRUE);
    }
    m_bPrinting = bPrint;
    if (bPrint) {
        if (bClientToRect && m_pGridWnd) {
            CRect rc;
            m_pGridWnd->GetClientRect(&rc);
            m_rectPage = rc;
        }
        m_nPrintTopRow = FrozenRows() + 1;
        m_nPrintLeftCol = FrozenCols() + 1;
    }
    m_nVertFontUnit = m_nHorzFontUnit = 0;
    ResetSizeCaches();
}

void CGXGridCore::SetDocumentModified(BOOL bModified)
{
    if (m_bHintsEnabled && m_pDocument)
        m_pDocument->SetModifiedFlag(bModified);
}

void CGXGridCore::UpdateAllViewsOfDocument(CWnd* pSender, LPARAM lHint, CObject* pHint)
{
    if (m_bHintsEnabled && m_pDocument)
        m_pDocument->UpdateAllViews(dynamic_cast<CView*>(pSender), lHint, pHint);
}

BOOL CGXGridCore::SendHint(CObject* pHint)
{
    if (!m_pUpdateHintImp || !pHint)
        return FALSE;
    m_pUpdateHintImp->SendHintObject(this, pHint);
    return TRUE;
}

BOOL CGXGridCore::ProcessHint(CObject* pHint)
{
    return m_pUpdateHintImp && pHint ? m_pUpdateHintImp->ProcessHint(this, pHint) : FALSE;
}

CRect CGXGridCore::GetDrawingArea() const
{
    CRect rect;
    if (m_bPrinting)
        rect = m_rectPage;
    else if (m_bDrawingAreaOverride)
        rect = m_rectDrawingArea;
    else if (m_pGridWnd && m_pGridWnd->GetSafeHwnd())
        m_pGridWnd->GetClientRect(&rect);
    if (rect.right < rect.left || rect.bottom < rect.top)
        rect.SetRectEmpty();
    return rect;
}

void CGXGridCore::SetDrawingAreaOverride(const CRect* pRect)
{
    m_bDrawingAreaOverride = pRect != nullptr;
    if (pRect)
        m_rectDrawingArea = *pRect;
    ResetSizeCaches();
}

BOOL CGXGridCore::GetTrackingState(int& nMode, ROWCOL& nRowCol) const
{
    nMode = m_nTrackingMode;
    nRowCol = (m_nTrackingMode & 1) ? m_nTrackRow : m_nTrackCol;
    return m_bTracking;
}

CWnd* CGXGridCore::FindRegisteredParent() const { return ::FindRegisteredParent(m_pGridWnd); }

void CGXGridCore::AddPlugin(CGXPluginComponent* pPlugin)
{
    if (pPlugin)
        m_plugins.push_back(pPlugin);
}

void CGXGridCore::SetExcelLikeFillImp(CGXGridExcelLikeFillImp* p, BOOL bOwn)
{
    if (m_bOwnExcelLikeFillImp && m_pExcelLikeFillImp != p)
        delete m_pExcelLikeFillImp;
    m_pExcelLikeFillImp = p;
    m_bOwnExcelLikeFillImp = bOwn;
}

BOOL CGXGridCore::ResizeRowHeightsToFit(const CGXCellRange& range, UINT flags, UINT nFlags2)
{
    return m_pResizeToFitImp ? m_pResizeToFitImp->ResizeRowHeightsToFit(this, range, nFlags2, flags) : FALSE;
}

BOOL CGXGridCore::ResizeColWidthsToFit(const CGXCellRange& range, UINT flags, UINT nFlags2)
{
    return m_pResizeToFitImp ? m_pResizeToFitImp->ResizeColWidthsToFit(this, range, nFlags2, flags) : FALSE;
}
