#include "grid/controls/gxmaskctl.h"

#include <algorithm>
#include <cstring>

#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/sys/globalmem.h"
#include "platform/win/win.h"

const CGXControlClass CGXMaskControl::classCGXMaskControl = {"CGXMaskControl", &CGXStatic::classCGXStatic};

namespace {

UINT g_nMaskFormat = 0;

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

int CharCount(const CString& s) { return int(CGXMaskData::SplitChars(s).size()); }

CString AttributeText(const CGXStyle& style, WORD nId)
{
    return style.HasUserAttribute(nId) ? CString(style.GetUserAttribute(nId).GetValueText()) : CString();
}

// Whether a masked text placed from nFrom took every character: each one fills one position.
BOOL PlacedMaskedWhole(CGXMaskData& data, const CString& sText, int nFrom, int nResult)
{
    if (nResult < 0)
        return FALSE;
    const int nChars = CharCount(sText);
    if (data.IsMaskEmpty())
        return data.GetLength() >= std::max(nFrom, 0) + nChars && data.GetLength() <= data.GetMaxLength();
    return nResult - std::max(nFrom, 0) == nChars;
}

// Whether a value text placed from nFrom took every character: each one fills one input position.
BOOL PlacedValueWhole(CGXMaskData& data, const CString& sText, int nFrom, int nResult)
{
    if (data.IsMaskEmpty())
        return PlacedMaskedWhole(data, sText, nFrom, nResult);
    if (nResult < 0)
        return sText.IsEmpty();
    int nInputs = 0;
    for (int p = std::max(nFrom, 0); p < nResult; ++p)
        nInputs += !data.IsLiteral(p);
    return nInputs == CharCount(sText);
}

}  // namespace

UINT CGXMaskControl::RegisterClipboardFormat()
{
    g_nMaskFormat = ::RegisterClipboardFormat("GX_MASKDATA");
    return g_nMaskFormat;
}

UINT CGXMaskControl::GetClipboardFormat() { return g_nMaskFormat ? g_nMaskFormat : RegisterClipboardFormat(); }

void CGXMaskControl::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle maskStyle;
    maskStyle.SetWrapText(TRUE).SetAutoSize(TRUE);
    pStylesMap->AddUserAttribute(GX_IDS_UA_INPUTMASK, &maskStyle);
    CGXStyle promptStyle;
    promptStyle.SetMaxLength(1);
    pStylesMap->AddUserAttribute(GX_IDS_UA_INPUTPROMPT, &promptStyle);
}

CGXMaskControl::CGXMaskControl(CGXGridCore* pGrid, UINT nID, CRuntimeClass* pDataClass) : CGXEditControl(pGrid, nID)
{
    if (pDataClass)
        SetDataClass(pDataClass);
}

CGXMaskControl::~CGXMaskControl() = default;

void CGXMaskControl::SetDataClass(CRuntimeClass* pDataClass)
{
    m_pData.reset();
    m_pScratch.reset();
    m_pDataClass = pDataClass;
    EnsureModels();
}

void CGXMaskControl::EnsureModels()
{
    if (m_pData && m_pScratch)
        return;
    CRuntimeClass* pClass = m_pDataClass ? m_pDataClass : RUNTIME_CLASS(CGXMaskData);
    auto make = [&]() -> std::unique_ptr<CGXMaskData> {
        CObject* p = pClass->CreateObject();
        if (auto* pData = dynamic_cast<CGXMaskData*>(p))
            return std::unique_ptr<CGXMaskData>(pData);
        delete p;
        return std::make_unique<CGXMaskData>();
    };
    if (!m_pData)
        m_pData = make();
    if (!m_pScratch)
        m_pScratch = make();
}

void CGXMaskControl::ApplyMaskStyle(CGXMaskData* pData, const CGXStyle& style)
{
    if (!pData)
        return;
    pData->ClearMask();
    pData->SetPromptChar(AttributeText(style, GX_IDS_UA_INPUTPROMPT), FALSE);
    pData->SetMask(AttributeText(style, GX_IDS_UA_INPUTMASK));
    pData->SetMaxLength(2147483647);
    if (style.GetIncludeMaxLength() && style.GetMaxLength() != 0)
        pData->SetMaxLength(style.GetMaxLength());
}

// ---- The window ----

void CGXMaskControl::GetSelPos(int& nStart, int& nEnd)
{
    nStart = nEnd = 0;
    if (HasWindow())
        m_pWnd->GetSel(nStart, nEnd);
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
}

void CGXMaskControl::SetSelPos(int nStart, int nEnd)
{
    if (!HasWindow())
        return;
    m_pWnd->SetSel(nStart, nEnd);
    m_pWnd->SendMessage(EM_SCROLLCARET);
}

void CGXMaskControl::UpdateWindowText()
{
    if (!HasWindow())
        return;
    CString s;
    m_pData->GetMaskedText(s, 0, -1);
    const BOOL bOld = m_bReplacing;
    m_bReplacing = TRUE;
    m_pWnd->SetWindowText(s);
    m_bReplacing = bOld;
    SetModified(TRUE);
}

void CGXMaskControl::NotifyChange()
{
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && HasWindow())
        pGridWnd->SendMessage(WM_COMMAND, MAKEWPARAM(m_nID, EN_CHANGE), LPARAM(m_pWnd->GetSafeHwnd()));
}

void CGXMaskControl::RestoreFromWindow()
{
    CString s;
    GetWindowTextOf(s);
    m_pData->SetMaskedText(s, -1, FALSE);
}

DWORD CGXMaskControl::ComputeEditStyle(CRect& rectFormat, int& nNeededHeight)
{
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | ES_NOHIDESEL;
    rectFormat.SetRectEmpty();
    nNeededHeight = std::max(m_nLineHeight, 1);
    if (!HasWindow())
        return dwStyle | (m_nAlign == 1 ? ES_CENTER : m_nAlign == 2 ? ES_RIGHT : 0);
    CRect rectClient;
    m_pWnd->GetClientRect(&rectClient);
    rectFormat = rectClient;
    rectFormat.bottom = std::max<int>(rectFormat.bottom, rectFormat.top + nNeededHeight + 1);
    DWORD nAlign = m_nAlign;
    // A text wider than the window starts at the left, so its beginning stays in sight.
    if (nAlign && m_pFont) {
        CString sText;
        GetWindowTextOf(sText);
        CClientDC dc(m_pWnd.get());
        CFont* pOld = dc.SelectObject(m_pFont);
        const int cx = dc.GetTextExtent(sText, sText.GetLength()).cx;
        dc.SelectObject(pOld);
        if (cx > rectClient.Width() - m_nMaxCharWidth)
            nAlign = 0;
    }
    return dwStyle | (nAlign == 1 ? ES_CENTER : nAlign == 2 ? ES_RIGHT : 0);
}

// ---- Binding and values ----

void CGXMaskControl::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    s_bImeComposition = FALSE;
    EnsureModels();
    CGXStatic::InitForCell(nRow, nCol);
    if (!HasWindow()) {
        CRect rectFormat;
        int nNeeded = 0;
        CreateEditWindow(ComputeEditStyle(rectFormat, nNeeded) & ~WS_VISIBLE, CRect(0, 0, 0, 0));
    }
    const CGXStyle& style = GetCellStyle();
    SetCellValue(style.GetIncludeValue() ? LPCTSTR(style.GetValue()) : "");
    if (HasWindow()) {
        SetSelPos(0, -1);
        CGXGridParam* pParam = m_pGrid->GetParam();
        if (pParam && (pParam->m_wActivateFlags & 0x04) && StartEditing())
            SetActive(TRUE);
    }
    SetModified(FALSE);
}

void CGXMaskControl::SetCellValue(LPCTSTR pszText)
{
    if (!HasWindow() || !m_bInit)
        return;
    ApplyMaskStyle(m_pData.get(), GetCellStyle());
    m_pData->SetValueText(pszText ? pszText : "", -1, FALSE);
    CString s;
    m_pData->GetMaskedText(s, 0, -1);
    const BOOL bOld = m_bReplacing;
    m_bReplacing = TRUE;
    m_pWnd->SetWindowText(s);
    m_bReplacing = bOld;
}

BOOL CGXMaskControl::GetCellValueText(CString& sText)
{
    sText.Empty();
    if (!m_bInit)
        return FALSE;
    m_pData->GetMaskedText(sText, 0, -1);
    return TRUE;
}

BOOL CGXMaskControl::GetEditText(CString& sText)
{
    sText.Empty();
    if (!m_bInit)
        return FALSE;
    m_pData->GetValueText(sText, 0, -1, TRUE);
    return TRUE;
}

void CGXMaskControl::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    const CString sText = pszText ? pszText : "";
    if (!ValidateText(sText))
        return;
    m_pData->SetMaskedText(sText, -1, FALSE);
    UpdateWindowText();
    NotifyModified();
}

BOOL CGXMaskControl::CommitValue()
{
    return StoreEditTextAsValue();
}

BOOL CGXMaskControl::Validate()
{
    if (m_bActive && IsModified() && !m_pData->IsValid())
        return FALSE;
    return CGXStatic::Validate();
}

BOOL CGXMaskControl::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    EnsureModels();
    sResult.Empty();
    ApplyMaskStyle(m_pScratch.get(), style);
    const CString sValue = pszValue ? CString(pszValue) : (style.GetIncludeValue() ? style.GetValue() : CString());
    if (sValue.IsEmpty())
        return FALSE;
    const int n = m_pScratch->SetValueText(sValue, -1, FALSE);
    m_pScratch->GetMaskedText(sResult, 0, -1);
    return n != -1;
}

BOOL CGXMaskControl::ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    EnsureModels();
    (void)nRow;
    (void)nCol;
    ApplyMaskStyle(m_pScratch.get(), style);
    // A text with its literals goes in as it is; otherwise it is value text. One that neither
    // takes whole is refused, so the cell keeps its value.
    int n = m_pScratch->SetMaskedText(sText, -1, FALSE);
    if (!PlacedMaskedWhole(*m_pScratch, sText, 0, n) || !m_pScratch->IsValid()) {
        n = m_pScratch->SetValueText(sText, -1, FALSE);
        if (!PlacedValueWhole(*m_pScratch, sText, 0, n) || !m_pScratch->IsValid())
            return FALSE;
    }
    m_pScratch->GetValueText(sText, 0, -1, TRUE);
    return TRUE;
}

void CGXMaskControl::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                          const CGXStyle* pStandardStyle)
{
    CGXEditControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
    // The mask bounds the text; the style's maximum length bounds only free text.
    if (IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && !m_pData->IsMaskEmpty())
        m_pWnd->LimitText(0);
}

// ---- Clipboard ----

BOOL CGXMaskControl::RefusesPaste()
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const UINT nStylesFormat = GXGetLibraryState().m_nStylesClipboardFormat;
    if (nStylesFormat && IsClipboardFormatAvailable(nStylesFormat) && pParam && !pParam->m_SelRects.IsEmpty())
        return TRUE;
    return !m_bInit || !m_bActive || GetCellStyle().GetReadOnly();
}

BOOL CGXMaskControl::CanPaste()
{
    if (RefusesPaste())
        return FALSE;
    return IsClipboardFormatAvailable(GetClipboardFormat());
}

BOOL CGXMaskControl::CopyText()
{
    if (!m_bInit || !m_pGrid->IsCurrentCellAt(m_nRow, m_nCol))
        return FALSE;
    int nStart = 0, nEnd = -1;
    if (m_bActive && HasWindow()) {
        GetSelPos(nStart, nEnd);
        if (nStart == nEnd)
            nStart = 0, nEnd = -1;
    }
    CString sValue;
    m_pData->GetValueText(sValue, nStart, nEnd < 0 ? -1 : nEnd - 1, TRUE);

    BOOL bOk = FALSE;
    CWnd* pWnd = GetGridWnd();
    if (!m_bActive) {
        // The grid puts the cell itself; the value follows beside it.
        bOk = m_pGrid->CopyRange(CGXCellRange(m_nRow, m_nCol));
    }
    CString sMasked;
    if (m_bActive)
        m_pData->GetMaskedText(sMasked, nStart, nEnd < 0 ? -1 : nEnd - 1);
    if ((sValue.IsEmpty() && !m_bActive) || !pWnd || !::OpenClipboard(pWnd->GetSafeHwnd()))
        return bOk;
    auto put = [](UINT nFormat, const CString& s) {
        const size_t nBytes = size_t(s.GetLength()) + 1;
        const size_t nAlloc = (nBytes + 4095) / 4096 * 4096;
        HGLOBAL h = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE | GMEM_ZEROINIT, nAlloc);
        if (!h)
            return FALSE;
        void* p = GlobalLock(h);
        if (!p) {
            GlobalFree(h);
            return FALSE;
        }
        std::memcpy(p, LPCTSTR(s), nBytes);
        GlobalUnlock(h);
        if (SetClipboardData(nFormat, h))
            return TRUE;
        GlobalFree(h);
        return FALSE;
    };
    // Emptied only here, where data is put.
    if (m_bActive)
        EmptyClipboard();
    if (!sValue.IsEmpty())
        bOk = put(GetClipboardFormat(), sValue) || bOk;
    if (m_bActive)
        bOk = put(CF_TEXT, sMasked) || bOk;
    CloseClipboard();
    return bOk;
}

BOOL CGXMaskControl::PasteText()
{
    if (RefusesPaste())
        return FALSE;
    CWnd* pWnd = GetGridWnd();
    const BOOL bOpened = !GetOpenClipboardWindow() && ::OpenClipboard(pWnd ? pWnd->GetSafeHwnd() : nullptr);
    BOOL bFound = FALSE;
    BOOL bMask = TRUE;
    HGLOBAL h = GetClipboardData(GetClipboardFormat());
    if (!h) {
        bMask = FALSE;
        h = GetClipboardData(CF_TEXT);
    }
    if (!h)
        h = GetClipboardData(CF_OEMTEXT);
    if (h) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            const CString sText(p, int(strnlen(p, GlobalSize(h))));
            GlobalUnlock(h);
            bFound = TRUE;
            m_bMaskPaste = bMask;
            ReplaceSelection(sText);
            m_bMaskPaste = FALSE;
        }
    }
    if (bOpened)
        CloseClipboard();
    return bFound;
}

void CGXMaskControl::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bInit || IsCellReadOnly())
        return;
    if (!m_bActive || !HasWindow()) {
        CGXStatic::ReplaceSelection(pszText);
        return;
    }
    const CString sText = pszText ? pszText : "";
    int nStart = 0, nEnd = 0;
    GetSelPos(nStart, nEnd);
    const int nTarget = m_pData->NextInputPos(nStart - 1);
    if (nTarget < 0 || (nStart != nEnd && nTarget >= nEnd))
        return;
    if (nStart != nEnd)
        m_pData->DeleteRange(nEnd, nTarget);
    const BOOL bInsert = m_bInsert;
    int nResult = -1;
    BOOL bPlaced = FALSE;
    if (!m_bMaskPaste) {
        // A masked text begins where the selection does: its leading literal meets the mask's.
        CString sBefore;
        m_pData->GetMaskedText(sBefore, 0, -1);
        nResult = m_pData->SetMaskedText(sText, nStart, bInsert);
        bPlaced = PlacedMaskedWhole(*m_pData, sText, nStart, nResult) && m_pData->IsValid();
        if (!bPlaced)
            m_pData->SetMaskedText(sBefore, -1, FALSE);
    }
    if (!bPlaced) {
        nResult = m_pData->SetValueText(sText, nTarget, bInsert);
        bPlaced = PlacedValueWhole(*m_pData, sText, nTarget, nResult) && m_pData->IsValid();
    }
    if (!bPlaced) {
        RestoreFromWindow();
        return;
    }
    UpdateWindowText();
    NotifyChange();
    const int nCaret = std::max(nResult, nTarget);
    SetSelPos(nCaret, nCaret);
}

BOOL CGXMaskControl::ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!p || p->strFind.IsEmpty())
        return FALSE;
    EnsureModels();
    const BOOL bBound = IsInitializedFor(nRow, nCol);
    std::unique_ptr<CGXStyle> pComposed;
    const CGXStyle* pStyle = p->pStyle;
    if (!pStyle) {
        pComposed = std::make_unique<CGXStyle>();
        m_pGrid->ComposeCellStyle(nRow, nCol, *pComposed, TRUE);
        pStyle = pComposed.get();
    }
    CString sMasked;
    if (bBound) {
        m_pData->GetMaskedText(sMasked, 0, -1);
    } else if (!GetDisplayText(sMasked, nRow, nCol, nullptr, *pStyle)) {
        return FALSE;
    }
    if (!ReplaceAll(sMasked, 0, p->strFind, p->strReplace, p->bMatchCase))
        return FALSE;
    CString sValue = sMasked;
    if (!ConvertDisplayText(sValue, nRow, nCol, *pStyle))
        return FALSE;
    if (bBound && m_bActive) {
        m_pData->SetValueText(sValue, -1, FALSE);
        UpdateWindowText();
    }
    return m_pGrid->SetRangeValueText(CGXCellRange(nRow, nCol), sValue, gxOverride, 0, GX_UPDATENOW);
}

// ---- Keys the grid passes while the cell is not edited ----

BOOL CGXMaskControl::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!HasWindow() || IsKeyDown(VK_CONTROL))
        return FALSE;
    switch (nChar) {
    case VK_END:
    case VK_HOME: {
        if (!StartEditing())
            return FALSE;
        SetActive(TRUE);
        const int nPos = nChar == VK_END ? m_pData->GetEndOfInput(m_pData->GetLength()) : m_pData->NextInputPos(-1);
        SetSelPos(std::max(nPos, 0), std::max(nPos, 0));
        break;
    }
    case VK_DELETE: {
        CGXGridParam* pParam = m_pGrid->GetParam();
        const UINT nStylesFormat = GXGetLibraryState().m_nStylesClipboardFormat;
        const BOOL bStylesPaste = nStylesFormat && pParam && !pParam->m_SelRects.IsEmpty();
        if (bStylesPaste || IsKeyDown(VK_SHIFT) || IsCellReadOnly() || !CanDeleteCell() || !StartEditing())
            return FALSE;
        SetActive(TRUE);
        SetCellValue("");
        SetModified(TRUE);
        NotifyModified();
        break;
    }
    default: return FALSE;
    }
    UpdateEditStyle();
    ScrollIntoViewOrRefresh();
    return TRUE;
}

BOOL CGXMaskControl::OnCharText(LPCTSTR pszText, UINT, UINT)
{
    if (!HasWindow() || IsCellReadOnly())
        return FALSE;
    CString sChar = pszText ? pszText : "";
    if (sChar.IsEmpty())
        return FALSE;
    if (m_bActive) {
        int nStart = 0, nEnd = 0;
        GetSelPos(nStart, nEnd);
        const int nTarget = m_pData->NextInputPos(nStart - 1);
        int nNext = 0;
        if (nTarget >= 0 && m_pData->IsValidChar(nTarget, sChar) && m_pData->InsertChar(nTarget, sChar, nNext)) {
            UpdateWindowText();
            NotifyChange();
            SetSelPos(nNext, nNext);
        }
        return TRUE;
    }
    // The first character typed replaces the whole value.
    if (!StartEditing())
        return TRUE;
    ApplyMaskStyle(m_pData.get(), GetCellStyle());
    const int nFirst = m_pData->NextInputPos(-1);
    CString sTry = sChar;
    if (m_pData->IsMaskEmpty() ? FALSE : (nFirst < 0 || !m_pData->IsValidChar(nFirst, sTry))) {
        RestoreFromWindow();
        return TRUE;
    }
    m_pData->ResetInput();
    int nNext = 0;
    if (!m_pData->InsertChar(std::max(nFirst, 0), sTry, nNext)) {
        RestoreFromWindow();
        return TRUE;
    }
    SetActive(TRUE);
    UpdateWindowText();
    NotifyModified();
    SetSelPos(nNext, nNext);
    Refresh();
    return TRUE;
}

// ---- Mouse ----

int CGXMaskControl::CaretForHit(int p, BOOL bLimit)
{
    int n = m_pData->NextInputPos(p - 1);
    if (n < 0)
        n = m_pData->PrevInputPos(p);
    if (bLimit)
        n = std::min(n, m_pData->GetEndOfInput(m_pData->GetLength()));
    return std::max(n, 0);
}

BOOL CGXMaskControl::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    if (!HasWindow())
        return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    CGXGridParam* pParam = m_pGrid->GetParam();
    const WORD w = pParam ? pParam->m_wActivateFlags : 0;
    const int nHit = CharUnderPoint(nRow, nCol, point);
    if ((nHit >= 0 && (w & 0x01)) || (w & 0x02) || (w & 0x04)) {
        if (m_bActive || (StartEditing() && (SetActive(TRUE), Refresh(), true))) {
            if (nHit >= 0) {
                const int n = CaretForHit(nHit, TRUE);
                SetSelPos(n, n);
            } else {
                SetSelPos(0, -1);
            }
        }
    }
    CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
    return TRUE;
}

BOOL CGXMaskControl::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (HasWindow() && !m_bActive && pParam && (pParam->m_wActivateFlags & 0x08) && StartEditing()) {
        SetActive(TRUE);
        const int nHit = CharUnderPoint(nRow, nCol, point);
        const int n = nHit >= 0 ? CaretForHit(nHit, FALSE) : 0;
        SetSelPos(n, n);
        Refresh();
    }
    return CGXControl::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

// ---- Messages of the edit window ----

BOOL CGXMaskControl::OnEditKeyDown(UINT nChar, UINT, UINT, LRESULT& result)
{
    result = 0;
    if (nChar == VK_SHIFT || nChar == VK_CONTROL || !m_bActive || !m_bInit)
        return FALSE;
    const MSG* pMsg = CWnd::GetCurrentMessage();
    const LPARAM lParam = pMsg && pMsg->message == WM_KEYDOWN ? pMsg->lParam : 1;
    m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    auto toGrid = [&] {
        m_pGrid->ProcessKeyMessage(WM_KEYDOWN, nChar, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    };
    if (IsKeyDown(VK_CONTROL))
        return toGrid();
    const BOOL bShift = IsKeyDown(VK_SHIFT);
    const BOOL bReadOnly = IsCellReadOnly() || (m_pWnd->GetStyle() & ES_READONLY);
    int nStart = 0, nEnd = 0;
    GetSelPos(nStart, nEnd);
    const BOOL bSel = nStart != nEnd;
    CGXMaskData& d = *m_pData;
    switch (nChar) {
    case VK_BACK: {
        if (bReadOnly)
            return FALSE;
        int nCaret = nStart;
        if (!bSel) {
            const int p = d.PrevInputPos(nStart);
            if (p < 0)
                return TRUE;
            d.DeleteRange(nStart, p);
            nCaret = p;
        } else {
            d.DeleteRange(nEnd, nStart);
            nCaret = std::max(d.NextInputPos(nStart - 1), 0);
        }
        UpdateWindowText();
        SetSelPos(nCaret, nCaret);
        NotifyChange();
        return TRUE;
    }
    case VK_RETURN:
    case VK_TAB:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT: return toGrid();
    case VK_END: {
        if (bShift) {
            SetSelPos(nStart, d.GetLength());
            return TRUE;
        }
        const int n = std::max(d.GetEndOfInput(d.GetLength()), 0);
        SetSelPos(n, n);
        return TRUE;
    }
    case VK_HOME: {
        if (bShift) {
            SetSelPos(0, nStart);
            return TRUE;
        }
        const int n = std::max(d.NextInputPos(-1), 0);
        SetSelPos(n, n);
        return TRUE;
    }
    case VK_LEFT: {
        if (bShift)
            return FALSE;
        if (bSel) {
            const int n = d.PrevInputPos(nStart + 1);
            SetSelPos(std::max(n, 0), std::max(n, 0));
            return TRUE;
        }
        const int n = nStart > 0 ? d.PrevInputPos(nStart) : -1;
        if (n < 0)
            return toGrid();
        SetSelPos(n, n);
        return TRUE;
    }
    case VK_RIGHT: {
        if (bShift)
            return FALSE;
        if (bSel) {
            int n = d.NextInputPos(nEnd - 1);
            if (n < 0)
                n = nEnd;
            SetSelPos(n, n);
            return TRUE;
        }
        if (nStart >= d.GetLength())
            return toGrid();
        int n = d.NextInputPos(nStart);
        if (n < 0)
            n = std::max(d.GetEndOfInput(d.GetLength()), nStart);
        if (n == nStart)
            return toGrid();
        SetSelPos(n, n);
        return TRUE;
    }
    case VK_UP:
    case VK_DOWN: {
        const int nLine = m_pWnd->LineFromChar(nChar == VK_UP ? nStart : nEnd);
        const BOOL bEdge = nChar == VK_UP ? nLine == 0 : nLine + 1 >= m_pWnd->GetLineCount();
        return bEdge ? toGrid() : FALSE;
    }
    case VK_INSERT:
        if (bReadOnly)
            return FALSE;
        if (bShift) {
            PasteText();
            return TRUE;
        }
        m_bInsert = !m_bInsert;
        return FALSE;
    case VK_DELETE: {
        if (bReadOnly)
            return FALSE;
        if (bSel) {
            if (bShift)
                CutText();
            else
                ReplaceSelection("");
            return TRUE;
        }
        const int n = d.NextInputPos(nStart);
        if (n == -1)
            d.DeleteRange(nStart + 1, nStart);
        else if (nStart < n && n <= d.GetLength())
            d.DeleteRange(n, nStart);
        UpdateWindowText();
        SetSelPos(nStart, nStart);
        NotifyChange();
        return TRUE;
    }
    default:
        if (nChar >= VK_F1 && nChar <= VK_F24)
            return toGrid();
        return FALSE;
    }
}

BOOL CGXMaskControl::OnEditChar(UINT nChar, UINT nRepCnt, UINT, LRESULT& result)
{
    result = 0;
    const BOOL bReadOnlyWnd = HasWindow() && (m_pWnd->GetStyle() & ES_READONLY);
    if (!m_bInit || !m_bActive || IsCellReadOnly() || bReadOnlyWnd || nChar == 8 || nRepCnt == 0)
        return TRUE;  // swallowed
    m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    if (IsKeyDown(VK_CONTROL)) {
        // The clipboard is emptied only where something is put on it.
        switch (nChar) {
        case 3: CopyText(); return TRUE;
        case 22: PasteText(); return TRUE;
        case 24: CutText(); return TRUE;
        default: return FALSE;  // passes
        }
    }
    CString sChar;
    if (nChar == 13 || nChar == 10)
        return TRUE;
    if (nChar < 32)
        return FALSE;  // passes
    if (nChar <= 0xFF && nChar >= 0x80) {
        if (GXCollectCharMessage(m_strPendingLead, nChar, sChar) && sChar.IsEmpty())
            return TRUE;  // a lead byte waits for its trail byte
        if (sChar.IsEmpty())
            sChar = GXCodePointToUtf8(nChar);
    } else {
        sChar = GXCodePointToUtf8(nChar);
    }

    CGXMaskData& d = *m_pData;
    int nStart = 0, nEnd = 0;
    GetSelPos(nStart, nEnd);
    const int nTarget = d.NextInputPos(nStart - 1);
    if (nTarget < 0 || (nStart != nEnd && nEnd <= nTarget)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return TRUE;
    }
    if (!d.IsValidChar(nTarget, sChar))
        return TRUE;  // dropped without a sound
    int nNext = nTarget + 1;
    if (m_bInsert) {
        CString sBefore;
        d.GetMaskedText(sBefore, 0, -1);
        if (nStart != nEnd)
            d.DeleteRange(nEnd, nTarget);
        if (!d.InsertChar(nTarget, sChar, nNext)) {
            d.SetMaskedText(sBefore, -1, FALSE);
            return TRUE;
        }
    } else {
        if (nEnd - nStart > 1)
            d.DeleteRange(nEnd, nTarget + 1);
        if (d.SetMaskedText(sChar, nTarget, FALSE) < 0) {
            RestoreFromWindow();
            return TRUE;
        }
        const int n = d.NextInputPos(nTarget);
        nNext = n >= 0 ? n : nTarget + 1;
    }
    UpdateWindowText();
    NotifyChange();
    SetSelPos(nNext, nNext);
    return TRUE;
}

BOOL CGXMaskControl::OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_LBUTTONUP && HasWindow() && m_bInit) {
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        int nStart = 0, nEnd = 0;
        GetSelPos(nStart, nEnd);
        if (nStart == nEnd) {
            // The caret never rests on a literal nor beyond the entered text.
            const int e = m_pData->GetEndOfInput(nStart);
            int n = m_pData->NextInputPos(e - 1);
            if (n < 0)
                n = m_pData->PrevInputPos(e);
            if (n >= 0)
                SetSelPos(n, n);
        }
        return TRUE;
    }
    return CGXEditControl::OnEditWindowMessage(message, wParam, lParam, result);
}
