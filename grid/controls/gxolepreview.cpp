#include "grid/controls/gxolepreview.h"

#include <cstdlib>

#include "grid/controls/gxbutton.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/win/win.h"

const CGXControlClass CGXOlePreview::classCGXOlePreview = {"CGXOlePreview", &CGXStatic::classCGXStatic};

namespace {

void ShowCellMessage(UINT nID, UINT nType = MB_ICONEXCLAMATION)
{
    GXRegisterLibraryStrings();
    AfxMessageBox(nID, MB_OK | nType);
}

BOOL HoldsBytes(const VARIANT& var)
{
    std::vector<BYTE> bytes;
    return GXObjectBytesOfVariant(var, bytes) && !bytes.empty();
}

}  // namespace

CGXOlePreview::CGXOlePreview(CGXGridCore* pGrid, CGXViewerCreator* pCreator)
    : CGXStatic(pGrid), m_pManager(std::make_unique<CGXViewerManager>(pCreator)), m_pButton(new CGXHotSpotButton(this))
{
    AddChildObject(m_pButton);
}

CGXOlePreview::~CGXOlePreview()
{
    m_pOpenViewer = nullptr;
    m_pManager.reset();
    m_popup.End();
}

// ---- Binding and layout ----

void CGXOlePreview::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow != m_nRow || nCol != m_nCol)
        DropKeptViewer();
    CGXStatic::InitForCell(nRow, nCol);
    AddInvalidRect(m_pButton->GetRect());
    m_pButton->Refresh();
}

CSize CGXOlePreview::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += kButtonSize;  // room for the button
    return CGXStatic::AddBorderToSize(size, nRow, nCol, style);
}

void CGXOlePreview::LayoutChildren(CDC*, const CRect& rect, const CGXStyle*)
{
    CRect button(rect.right - kButtonSize - 1, rect.top, rect.right - 1, rect.top + kButtonSize);
    button.IntersectRect(&button, &rect);
    // In a cell taller than the button, it clears the cell's top line.
    if (button.Height() < rect.Height() - 1)
        button.OffsetRect(0, 1);
    m_pButton->SetRect(button);
}

// ---- The object and its viewer ----

BOOL CGXOlePreview::IsObjectCell(const CGXStyle& style) const
{
    if (!style.HasUserAttribute(GX_IDS_UA_OLEOBJECT))
        return FALSE;
    const auto* pAttr = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_OLEOBJECT));
    const VARIANT* pVar = pAttr ? pAttr->GetVariant() : nullptr;
    return pVar && pVar->vt == (VT_ARRAY | VT_UI1);
}

CGXOleViewer* CGXOlePreview::GetViewer()
{
    if (!m_bInit || !m_pGrid->IsRecordBrowserGrid())
        return nullptr;
    const CGXStyle& style = GetCellStyle();
    int nTypeId = -1;
    if (style.HasUserAttribute(GX_IDS_UA_VIEWERTYPE)) {
        const CString s = style.GetUserAttribute(GX_IDS_UA_VIEWERTYPE).GetValueText();
        if (!s.IsEmpty())
            nTypeId = std::atoi(s);
    }
    return m_pGrid->GetCellViewer(m_nRow, m_nCol, nTypeId, m_pManager->GetViewer(nTypeId));
}

CGXOleViewer* CGXOlePreview::ViewerForAction() { return m_pOpenViewer ? m_pOpenViewer : GetViewer(); }

std::unique_ptr<CGXStyle> CGXOlePreview::ObjectStyle()
{
    std::unique_ptr<CGXStyle> pStyle(GetCellStyle().Clone());
    if (HasPendingValue() && !HoldsBytes(m_pOpenViewer->GetVariant()))
        pStyle->IncludeUserAttribute(GX_IDS_UA_OLEOBJECT, FALSE);
    return pStyle;
}

BOOL CGXOlePreview::MayEdit() { return m_bInit && !IsCellReadOnly() && StartEditing(); }

void CGXOlePreview::DropKeptViewer()
{
    if (!m_pOpenViewer)
        return;
    CGXOleViewer* p = m_pOpenViewer;
    m_pOpenViewer = nullptr;
    p->Close();
    p->Clear();
}

void CGXOlePreview::RedrawCell()
{
    if (m_bInit)
        m_pGrid->RedrawCells(m_nRow, m_nCol, m_nRow, m_nCol, GX_INVALIDATE);
}

void CGXOlePreview::ShowOpenViewer()
{
    ShowCellMessage(GX_IDS_VIEWERSPAWNED, MB_ICONINFORMATION);
    if (m_pOpenViewer)
        m_pOpenViewer->Activate();
}

CWnd* CGXOlePreview::SaveFocus()
{
    m_pGrid->m_bTakingFocus = TRUE;
    const HWND hFocus = ::GetFocus();
    // Keys typed before the object opened are not for the window it opens in.
    MSG msg;
    while (hFocus && ::PeekMessage(&msg, hFocus, WM_KEYDOWN, WM_SYSDEADCHAR, PM_REMOVE)) {
    }
    ROWCOL nRow = 0, nCol = 0;
    if (m_pGrid->QueryCurrentCell(nRow, nCol))
        m_pGrid->RedrawCells(nRow, nCol, nRow, nCol, GX_INVALIDATE);
    return hFocus ? CWnd::FromHandle(hFocus) : nullptr;
}

void CGXOlePreview::RestoreFocus(CWnd* pWnd)
{
    if (pWnd && ::IsWindow(pWnd->GetSafeHwnd()))
        pWnd->SetFocus();
    m_pGrid->m_bTakingFocus = FALSE;
    CWnd* pGridWnd = GetGridWnd();
    const HWND hGrid = pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr;
    const HWND h = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (h && hGrid && (h == hGrid || ::IsChild(hGrid, h)))
        m_pGrid->OnGridSetFocus(nullptr);
}

void CGXOlePreview::OnChildButtonClicked(CGXChild*)
{
    if (!MayEdit())
        return;
    if (m_pOpenViewer && m_pOpenViewer->HasObjectData()) {
        m_pOpenViewer->Activate();
        return;
    }
    CGXOleViewer* pViewer = ViewerForAction();
    if (!pViewer)
        return;
    CWnd* pFocus = SaveFocus();
    SetActive(TRUE);
    BeginPopup();
    const std::unique_ptr<CGXStyle> pStyle = ObjectStyle();
    const BOOL bLoaded = pViewer->Load(*pStyle, m_pGrid, this, TRUE);
    RestoreFocus(pFocus);
    if (bLoaded) {
        m_pOpenViewer = pViewer;
        return;
    }
    // Nothing opened: nothing holds the pop-up flag, and the record's edit ends unless it has
    // changes.
    EndPopup();
    SetActive(FALSE);
    EndUnchangedEdit();
}

void CGXOlePreview::EndUnchangedEdit()
{
    if (!m_bModified)
        m_pGrid->OnCanceledEditing(m_nRow, m_nCol);
}

// ---- Committing and leaving ----

BOOL CGXOlePreview::CommitValue()
{
    if (!m_bInit || !m_bModified || !m_pOpenViewer)
        return TRUE;
    SetActive(FALSE);
    auto* pAttr = new CGXOleVarUserAttribute;
    pAttr->SetVariant(m_pOpenViewer->GetVariant());
    pAttr->SetChanged(TRUE);
    CGXStyle style;
    style.SetValue(GetCellStyle().GetValue());
    style.SetUserAttributePtr(GX_IDS_UA_OLEOBJECT, pAttr);
    if (!m_pGrid->SetStyleRange(CGXCellRange().SetCells(m_nRow, m_nCol, m_nRow, m_nCol), style))
        return FALSE;
    m_bModified = FALSE;
    return TRUE;
}

BOOL CGXOlePreview::CancelEditing()
{
    DropKeptViewer();
    m_bModified = FALSE;
    return CGXStatic::CancelEditing();
}

BOOL CGXOlePreview::LeaveCell(ROWCOL nNewRow, ROWCOL nNewCol)
{
    // A click on the current cell places it again: its viewer stays.
    if (nNewRow != m_nRow || nNewCol != m_nCol) {
        DropKeptViewer();
        m_bModified = FALSE;
    }
    return CGXStatic::LeaveCell(nNewRow, nNewCol);
}

// ---- Keys and the clipboard ----

BOOL CGXOlePreview::OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar != VK_DELETE || (GetKeyState(VK_CONTROL) & 0x8000))
        return CGXStatic::OnKeyDown(nChar, nRepCnt, flags);
    if (IsViewerOpen()) {
        ShowOpenViewer();
        return TRUE;
    }
    if (MayEdit()) {
        // The viewer is kept with its object cleared, as a cut keeps it: committing the cell
        // stores what the kept viewer holds, nothing.
        if (CGXOleViewer* pViewer = ViewerForAction()) {
            pViewer->Clear();
            m_pOpenViewer = pViewer;
            SetModified(TRUE);
            RedrawCell();
        }
    }
    return TRUE;
}

BOOL CGXOlePreview::CanCopy()
{
    if (!m_bInit)
        return FALSE;
    if (HasPendingValue())
        return HoldsBytes(m_pOpenViewer->GetVariant());
    return IsObjectCell(GetCellStyle());
}

BOOL CGXOlePreview::CanCut() { return CanCopy() && !IsCellReadOnly(); }

BOOL CGXOlePreview::CanPaste()
{
    // An open viewer answers so that the paste brings it forward.
    return m_bInit && (IsViewerOpen() || GXIsObjectBytesOnClipboard());
}

BOOL CGXOlePreview::CopyText()
{
    if (IsViewerOpen()) {
        ShowOpenViewer();
        return FALSE;
    }
    CGXOleViewer* pViewer = ViewerForAction();
    if (!pViewer)
        return FALSE;
    std::vector<BYTE> bytes;
    const std::unique_ptr<CGXStyle> pStyle = ObjectStyle();
    CWnd* pGridWnd = GetGridWnd();
    const BOOL bCopied = pViewer->GetDataObject(*pStyle, m_pGrid, this, bytes)
                         && GXPutObjectBytesOnClipboard(pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr, bytes);
    pViewer->Close();
    // The kept viewer still holds the cell's new bytes.
    if (pViewer != m_pOpenViewer)
        pViewer->Clear();
    if (!bCopied)
        ShowCellMessage(GX_IDS_COPYFAILED);
    return TRUE;
}

BOOL CGXOlePreview::CutText()
{
    if (IsViewerOpen()) {
        ShowOpenViewer();
        return TRUE;
    }
    if (!MayEdit())
        return FALSE;
    SetActive(TRUE);
    CGXOleViewer* pViewer = ViewerForAction();
    std::vector<BYTE> bytes;
    const std::unique_ptr<CGXStyle> pStyle = ObjectStyle();
    CWnd* pGridWnd = GetGridWnd();
    // The object is cleared only once the clipboard holds its bytes.
    const BOOL bCut = pViewer && pViewer->GetDataObjectForCut(*pStyle, m_pGrid, this, bytes)
                      && GXPutObjectBytesOnClipboard(pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr, bytes);
    if (pViewer)
        pViewer->Close();
    if (!bCut) {
        if (pViewer && pViewer != m_pOpenViewer)
            pViewer->Clear();
        SetActive(FALSE);
        ShowCellMessage(GX_IDS_CUTFAILED);
        EndUnchangedEdit();
        return TRUE;
    }
    pViewer->Clear();
    m_pOpenViewer = pViewer;
    SetModified(TRUE);
    RedrawCell();
    return TRUE;
}

BOOL CGXOlePreview::PasteText()
{
    if (IsViewerOpen()) {
        ShowOpenViewer();
        return TRUE;
    }
    if (!MayEdit())
        return FALSE;
    SetActive(TRUE);
    CGXOleViewer* pViewer = ViewerForAction();
    if (pViewer && pViewer->CreateFromClipboard(this)) {
        m_pOpenViewer = pViewer;
        pViewer->NotifyChanged();
        SetModified(TRUE);
        return TRUE;
    }
    ShowCellMessage(GX_IDS_INVALIDBINARY);
    if (pViewer && pViewer != m_pOpenViewer)
        pViewer->Clear();
    SetActive(FALSE);
    EndUnchangedEdit();
    return TRUE;
}
