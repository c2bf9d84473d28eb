#include "grid/controls/gxcombownd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "grid/controls/gxedit.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"
#include "platform/base/textcase.h"
#include "platform/base/utf8.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

const CGXControlClass CGXComboBoxWnd::classCGXComboBoxWnd = {"CGXComboBoxWnd", &CGXStatic::classCGXStatic};

namespace {

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// Window positions count characters; texts are UTF-8.
int CharCount(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

int ByteOffsetOfChar(const CString& s, int nChar) { return PvUtf8ByteOffset(s, nChar); }

CString UpperOf(const CString& s) { return CString(PvUpperCase(std::string_view(s, size_t(s.GetLength()))).c_str()); }

CString IndexText(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", n);
    return buf;
}

// A whole number, or FALSE.
BOOL ParseNumber(const CString& s, int& n)
{
    if (s.IsEmpty())
        return FALSE;
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (!end || *end)
        return FALSE;
    n = int(v);
    return TRUE;
}

// The library copies the system combo box class as "GXCOMBOBOX"; where the standard controls
// were not registered when it started, the copy is made here on first use.
void EnsureComboClass()
{
    WNDCLASS wc {};
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    if (GetClassInfo(hInstance, GX_COMBOBOXCLASS, &wc))
        return;
    PvRegisterStandardControls();
    if (!GetClassInfo(nullptr, WC_COMBOBOX, &wc))
        return;
    wc.style |= CS_GLOBALCLASS;
    wc.hInstance = hInstance;
    wc.lpszClassName = GX_COMBOBOXCLASS;
    RegisterClass(&wc);
}

}  // namespace

// ---- The windows ----

LRESULT CGXComboEditPart::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pControl) {
        switch (message) {
        case WM_KEYDOWN:
            if (m_pControl->FilterKeyDown(UINT(wParam), lParam))
                return 0;
            break;
        case WM_KILLFOCUS: {
            const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
            m_pControl->OnEditPartKillFocus(HWND(wParam));
            return r;
        }
        case WM_GETDLGCODE:
            return CEdit::WindowProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        default: break;
        }
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

LRESULT CGXComboWndPart::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_pControl && m_pControl->OnWindowMessage(message, wParam, lParam, result))
        return result;
    return CComboBox::WindowProc(message, wParam, lParam);
}

BOOL CGXComboWndPart::PreTranslateMessage(MSG* pMsg)
{
    if (m_pControl && pMsg && pMsg->message == WM_KEYDOWN && GetSafeHwnd()
        && (pMsg->hwnd == GetSafeHwnd() || ::IsChild(GetSafeHwnd(), pMsg->hwnd))
        && m_pControl->FilterKeyDown(UINT(pMsg->wParam), pMsg->lParam))
        return TRUE;
    return CComboBox::PreTranslateMessage(pMsg);
}

void CGXComboWndPart::DrawItem(LPDRAWITEMSTRUCT p)
{
    if (m_pControl)
        m_pControl->DrawItem(p);
}

void CGXComboWndPart::MeasureItem(LPMEASUREITEMSTRUCT p)
{
    if (m_pControl)
        m_pControl->MeasureItem(p);
}

// ---- Construction ----

CGXComboBoxWnd::CGXComboBoxWnd(CGXGridCore* pGrid)
    : CGXStatic(pGrid), m_nButtonMargin(IsNewLook() ? 3 : 2), m_rgbHighlightText(::GetSysColor(COLOR_HIGHLIGHTTEXT))
{
    m_pButton = new CGXComboBoxWndButton(this);
    AddChildObject(m_pButton);
}

CGXComboBoxWnd::~CGXComboBoxWnd()
{
    if (HasWindow())
        m_pWnd->DestroyWindow();
    m_pEditPart.reset();
}

BOOL CGXComboBoxWnd::IsNewLook() { return GXGetLibraryState().m_bNewLook != 0; }

BOOL CGXComboBoxWnd::CreateControl(DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle;
    m_nID = nID;
    m_bFindable = !IsOwnerDrawn();
    if (HasWindow())
        return TRUE;
    EnsureComboClass();
    CWnd* pGridWnd = GetGridWnd();
    if (!pGridWnd || !pGridWnd->GetSafeHwnd())
        return FALSE;
    if (!m_pWnd)
        m_pWnd = std::make_unique<CGXComboWndPart>(this);
    if (!m_pWnd->CreateEx(0, GX_COMBOBOXCLASS, "", (dwStyle & ~WS_VISIBLE) | WS_CHILD, CRect(0, 0, 0, 0), pGridWnd, nID))
        return FALSE;
    if (HWND hEdit = ::GetWindow(m_pWnd->GetSafeHwnd(), GW_CHILD)) {
        m_pEditPart = MakeEditPart();
        m_pEditPart->SubclassWindow(hEdit);
    }
    return TRUE;
}

BOOL CGXComboBoxWnd::IsListOpen() const { return HasWindow() && m_pWnd->GetDroppedState(); }

HWND CGXComboBoxWnd::GetListWnd() const
{
    if (!HasWindow())
        return nullptr;
    COMBOBOXINFO info {};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(m_pWnd->GetSafeHwnd(), &info) ? info.hwndList : nullptr;
}

// ---- Binding and activity ----

void CGXComboBoxWnd::SetActive(BOOL bActive)
{
    SetActiveWithWindow(m_bActive, bActive, HasWindow());
}

BOOL CGXComboBoxWnd::EnsureActive()
{
    if (m_bActive)
        return TRUE;
    if (!StartEditing())
        return FALSE;
    SetActive(TRUE);
    return m_bActive;
}

void CGXComboBoxWnd::FillFromChoiceList()
{
    m_pWnd->ResetContent();
    CGXChoiceListReader lines(GetCellStyle().GetIncludeChoiceList() ? LPCTSTR(GetCellStyle().GetChoiceList()) : "");
    CString sLine;
    while (lines.Next(sLine))
        m_pWnd->AddString(sLine);
}

void CGXComboBoxWnd::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    m_nTextHeight = 0;
    if (!HasWindow())
        CreateControl(m_dwStyle, m_nID);
    // A window still up belongs to the cell bound before (or to an edit now cancelled).
    Hide();
    CGXStatic::InitForCell(nRow, nCol);
    m_nSelStart = 0;
    m_nSelEnd = -1;
    SetActive(FALSE);
    if (HasWindow()) {
        if (m_bUseChoiceList)
            FillFromChoiceList();
        SetCellValue(nullptr);
        m_strSavedText = GetWindowTextOf();
        m_nSavedSel = m_pWnd->GetCurSel();
    }
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (pParam && (pParam->m_wActivateFlags & 0x04) && StartEditing())
        SetActive(TRUE);
    SetModified(FALSE);
    if (!m_bActive)
        m_pButton->Refresh();
}

BOOL CGXComboBoxWnd::CommitValue()
{
    if (m_bInit && IsCellReadOnly()) {
        InitForCell(m_nRow, m_nCol);
        SetModified(FALSE);
        Refresh();
        return TRUE;
    }
    return StoreEditTextAsValue();
}

void CGXComboBoxWnd::Hide()
{
    if (!HasWindow() || !m_pWnd->IsWindowVisible())
        return;
    WithFocusChangesIgnored([&] {
        if (IsListOpen())
            m_pWnd->ShowDropDown(FALSE);
        const HWND hFocus = ::GetFocus();
        const HWND hCombo = m_pWnd->GetSafeHwnd();
        ::HideCaret(hFocus == hCombo || ::IsChild(hCombo, hFocus) ? hFocus : hCombo);
        m_pWnd->ShowWindow(SW_HIDE);
        if (hFocus && (hFocus == hCombo || ::IsChild(hCombo, hFocus)))
            if (CWnd* pGridWnd = GetGridWnd())
                pGridWnd->SetFocus();
    });
}

// ---- Geometry ----

CRect CGXComboBoxWnd::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXStatic::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    const BOOL bCurrent = m_pGrid->IsCurrentCellAt(nRow, nCol);
    const BOOL bActiveHere = bCurrent && m_bActive && IsInitializedFor(nRow, nCol);
    if (bCurrent ? !bActiveHere : (!m_bButtonInCurrentCellOnly || m_bShowButtonAlways))
        rect.right -= kButtonWidth;
    if (!bActiveHere)
        rect.left += 2;
    return rect;
}

CSize CGXComboBoxWnd::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size = CGXStatic::AddBorderToSize(size, nRow, nCol, style);
    size.cx += 19;
    return size;
}

CSize CGXComboBoxWnd::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    if (IsOwnerDrawn())
        return CSize(0, 0);
    CSize size = CGXStatic::ComputeContentSize(pDC, nRow, nCol, style, bVert);
    if (!pDC)
        return size;
    CDCStateGuard guard(pDC);
    guard.SelectFont(m_pGrid->LookupFont(style.GetFont()));
    CSize extra(0, 0);
    if (bVert) {
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        extra.cy = tm.tmExternalLeading + tm.tmHeight + 2 + (m_bFullHeightSelection ? 2 * m_nButtonMargin : 0);
    } else if (style.GetIncludeChoiceList()) {
        CGXChoiceListReader lines(style.GetChoiceList());
        const char* p = nullptr;
        for (int n = 0; lines.Next(p, n);)
            extra.cx = std::max<int>(extra.cx, pDC->GetTextExtent(p, n).cx);
    }
    extra = AddBorderToSize(extra, nRow, nCol, style);
    return CSize(std::max(size.cx, extra.cx), std::max(size.cy, extra.cy));
}

void CGXComboBoxWnd::MeasureTextHeight(const CGXStyle& style)
{
    CDC* pDC = m_pGrid->GetMeasureDC();
    if (!pDC)
        return;
    {
        CDCStateGuard guard(pDC);
        guard.SelectFont(m_pGrid->LookupFont(style.GetFont()));
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        m_nTextHeight = std::max<int>(1, tm.tmHeight);
    }
    m_pGrid->ReleaseMeasureDC();
}

CRect CGXComboBoxWnd::FitField(const CRect& rect, const CGXStyle& style)
{
    CRect field = rect;
    if (!m_bFitButtonHeight)
        return field;
    if (m_nTextHeight == 0)
        MeasureTextHeight(style);
    const int h = std::min(m_nTextHeight + 2, rect.Height());
    const DWORD nVert = style.GetIncludeVerticalAlignment() ? style.GetVerticalAlignment() : 0;
    if (nVert == 1)
        field.top += (rect.Height() - h) / 2;
    else if (nVert == 2)
        field.top = rect.bottom - h;
    field.bottom = field.top + h;
    return field;
}

void CGXComboBoxWnd::LayoutChildren(CDC*, const CRect& rect, const CGXStyle* pStyle)
{
    // The button: at the right, a pixel off the cell's edge.
    CRect button(std::max<int>(rect.left + 1, rect.right - kButtonWidth - 1), rect.top, rect.right - 1, rect.bottom - 1);
    const CGXStyle* pUse = pStyle;
    if (!pUse && m_bInit)
        pUse = &GetCellStyle();
    const BOOL bCurrent = m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol)
                          && m_pGrid->SpannedCellToRect(m_nRow, m_nCol).PtInRect(rect.CenterPoint());
    if (pUse && (bCurrent || m_bShowButtonAlways) && m_bFitButtonHeight) {
        if (m_nTextHeight == 0)
            MeasureTextHeight(*pUse);
        CGXComboBoxButton::FitToText(button, rect, m_nTextHeight, m_nButtonMargin, *pUse);
    }
    m_pButton->SetRect(button);
}

// ---- Drawing ----

void CGXComboBoxWnd::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                          const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    const BOOL bActiveHere = IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && !m_pGrid->IsPrinting()
                             && m_pGrid->IsCurrentCellAt(nRow, nCol);
    if (!bActiveHere) {
        if (IsOwnerDrawn() && HasWindow())
            DrawOwnerDrawnCell(pDC, rect, nRow, nCol, style, pStandardStyle);
        else
            CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }

    // 1. The selection is kept across the window's move; the button is the window's own now.
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    m_pButton->SetRect(CRect(0, 0, 0, 0));
    const BOOL bOpen = IsListOpen();
    if (!bOpen) {
        const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
        m_pGrid->m_bLockCurrentCell = TRUE;
        m_pWnd->ShowWindow(SW_HIDE);
        m_pGrid->m_bLockCurrentCell = bOldLock;
    }

    // 2. The window font and the background colour of the cell.
    const CGXStyle* pFontStyle = &style;
    if (!style.GetIncludeFont() && pStandardStyle && pStandardStyle->GetIncludeFont())
        pFontStyle = pStandardStyle;
    CFont* pFont = m_pGrid->LookupFont(pFontStyle->GetFont());
    m_rgbBack = style.GetInterior().ResolveBrushColor();

    // 3. Background, inner rectangle, the font's height.
    Draw3dBackground(pDC, rect, style, TRUE);
    CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
    MeasureTextHeight(*pFontStyle);

    // 4. Colour and font into the window.
    if (pFont)
        m_pWnd->SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);

    // 5.-6. The selection field.
    CRect field = FitField(inner, style);
    int nFieldHeight = field.Height();
    if (IsNewLook() || nFieldHeight < m_nTextHeight + 2 * m_nButtonMargin) {
        if (m_bFullHeightSelection)
            nFieldHeight = std::max(1, field.Height() - 2 * m_nButtonMargin);
        else
            field.InflateRect(0, m_nButtonMargin);
    }

    // 7. Room below for the list's lines; the field's height into the window.
    const int nLine = m_nTextHeight + 2 * m_nButtonMargin + 2;
    const int nLines = std::max(1, std::min(m_pWnd->GetCount(), int(kMaxListLines)));
    m_pWnd->SetItemHeight(-1, UINT(std::max(1, IsNewLook() ? nFieldHeight : nFieldHeight + m_nButtonMargin)));
    if (!IsOwnerDrawn())
        m_pWnd->SetItemHeight(0, UINT(std::min(255, nLine)));
    CRect rectWnd = field;
    rectWnd.bottom += nLines * nLine;
    m_pWnd->MoveWindow(rectWnd, FALSE);
    SetActive(TRUE);

    // 8. The focus follows into the window; the style's length limit.
    CWnd* pGridWnd = GetGridWnd();
    if (pGridWnd && ::GetFocus() == pGridWnd->GetSafeHwnd())
        WithFocusChangesIgnored([&] { m_pWnd->SetFocus(); });
    if (style.GetIncludeMaxLength() && style.GetMaxLength() > 0 && !IsDropDownList())
        m_pWnd->LimitText(int(style.GetMaxLength()));

    // 9. The selection back, shown, painted.
    SetSel(nStart, nEnd);
    if (!m_pWnd->IsWindowVisible())
        m_pWnd->ShowWindow(SW_SHOWNA);
    m_pWnd->Invalidate();
    m_pWnd->UpdateWindow();
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

void CGXComboBoxWnd::DrawOwnerDrawnCell(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                        const CGXStyle* pStandardStyle)
{
    Draw3dBackground(pDC, rect, style);
    CRect inner = FitField(ComputeInnerRect(nRow, nCol, &rect, &style), style);
    int nIndex = 0;
    if (style.GetIncludeValue())
        ParseNumber(style.GetValue(), nIndex);
    const BOOL bOwnFrame = style.GetIncludeDraw3dFrame() && style.GetDraw3dFrame() != gxFrameNone;
    if (!m_pGrid->IsPrinting() && !bOwnFrame && m_bFrame3d) {
        GetDrawingAndFormatting()->Draw3dFrame(pDC, inner.left, inner.top, inner.right, inner.bottom, 1, RGB(0, 0, 0),
                                               RGB(255, 255, 255));
        inner.DeflateRect(2, 2);
    }
    DRAWITEMSTRUCT dis {};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = m_nID;
    dis.itemID = UINT(nIndex);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_SELECTED;
    dis.hwndItem = m_pWnd->GetSafeHwnd();
    dis.hDC = pDC->GetSafeHdc();
    dis.rcItem = inner;
    dis.itemData = ULONG_PTR(m_pWnd->GetItemData(nIndex));
    DrawItem(&dis);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

// ---- Texts and values ----

void CGXComboBoxWnd::GetSel(int& nStart, int& nEnd)
{
    if (IsDropDownList() || !HasWindow()) {
        nStart = m_nSelStart;
        nEnd = m_nSelEnd;
        return;
    }
    const DWORD dw = m_pWnd->GetEditSel();
    nStart = int(short(LOWORD(dw)));
    nEnd = int(short(HIWORD(dw)));
}

void CGXComboBoxWnd::SetSel(int nStart, int nEnd)
{
    m_nSelStart = nStart;
    m_nSelEnd = nEnd;
    if (!IsDropDownList() && HasWindow())
        m_pWnd->SetEditSel(nStart, nEnd);
}

CString CGXComboBoxWnd::GetWindowTextOf()
{
    CString s;
    if (HasWindow())
        m_pWnd->GetWindowText(s);
    return s;
}

BOOL CGXComboBoxWnd::GetCellValueText(CString& sText)
{
    sText.Empty();
    if (!m_bInit || !HasWindow())
        return CGXStatic::GetCellValueText(sText);
    if (!IsDropDownList()) {
        sText = GetWindowTextOf();
        if (!sText.IsEmpty())
            return TRUE;
    }
    const int nSel = m_pWnd->GetCurSel();
    if (nSel >= 0)
        m_pWnd->GetLBText(nSel, sText);
    return TRUE;
}

BOOL CGXComboBoxWnd::GetEditText(CString& sText)
{
    if (!m_bInit || !HasWindow())
        return CGXStatic::GetEditText(sText);
    if (m_nIndexBase == -1)
        return GetCellValueText(sText);
    const int nSel = m_pWnd->GetCurSel();
    sText = nSel >= 0 ? IndexText(nSel + m_nIndexBase) : CString();
    return TRUE;
}

void CGXComboBoxWnd::SetEditText(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    SetActive(TRUE);
    const CString sText = pszText ? pszText : "";
    if (!ValidateText(sText))
        return;
    if (IsDropDownList())
        m_pWnd->SetCurSel(sText.IsEmpty() ? -1 : m_pWnd->FindString(-1, sText));
    else
        m_pWnd->SetWindowText(sText);
    SetModified(TRUE);
    NotifyModified();
}

void CGXComboBoxWnd::SetCellValue(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    const CString sText = pszText ? CString(pszText) : m_pGrid->StoredCellValueText(m_nRow, m_nCol);
    int nSel = -1;
    if (m_nIndexBase == -1) {
        if (!sText.IsEmpty())
            nSel = m_pWnd->FindString(-1, sText);
    } else {
        int n = 0;
        if (ParseNumber(sText, n) && n - m_nIndexBase >= 0 && n - m_nIndexBase < m_pWnd->GetCount())
            nSel = n - m_nIndexBase;
    }
    m_pWnd->SetCurSel(nSel);
    if (nSel < 0 && !IsDropDownList()) {
        m_pWnd->SetWindowText(sText);
        m_pWnd->SetEditSel(0, -1);
    }
}

BOOL CGXComboBoxWnd::GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style)
{
    if (m_nIndexBase == -1 || !m_bStoreIndex || !m_bUseChoiceList || !(pszValue || style.GetIncludeValue()))
        return CGXStatic::GetDisplayText(sResult, nRow, nCol, pszValue, style);
    const CString sValue = pszValue ? CString(pszValue) : style.GetValue();
    sResult.Empty();
    int n = 0;
    if (sValue.IsEmpty() || !ParseNumber(sValue, n) || !style.GetIncludeChoiceList())
        return TRUE;
    GetChoiceListItem(sResult, style.GetChoiceList(), n == -1 ? -1 : n - m_nIndexBase);
    return TRUE;
}

BOOL CGXComboBoxWnd::StoreDisplayText(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszText, UINT flags, const CGXStyle* pStyle)
{
    // A drop-down list has no empty entry to take.
    if (IsDropDownList() && (!pszText || !*pszText))
        return FALSE;
    return CGXStatic::StoreDisplayText(nRow, nCol, pszText, flags, pStyle);
}

BOOL CGXComboBoxWnd::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (!m_bUseChoiceList || (m_nIndexBase == -1 && !m_bStoreIndex) || !style.GetIncludeChoiceList())
        return TRUE;
    CString sEntry;
    const int i = FindChoiceListItem(sEntry, sText, style.GetChoiceList(), FALSE);
    if (!m_bStoreIndex) {
        if (i >= 0)
            sText = sEntry;
    } else {
        sText = i < 0 ? CString() : IndexText(i + std::max(0, m_nIndexBase));
    }
    return TRUE;
}

BOOL CGXComboBoxWnd::ValidateText(const CString& sText)
{
    if (sText.IsEmpty() || !m_bUseChoiceList || m_nIndexBase == -1 || !m_bStoreIndex || !m_bInit)
        return TRUE;
    const CGXStyle& style = GetCellStyle();
    if (!style.GetIncludeChoiceList() || style.GetChoiceList().IsEmpty())
        return FALSE;
    CString sEntry;
    return FindChoiceListItem(sEntry, sText, style.GetChoiceList(), FALSE) >= 0;
}

int CGXComboBoxWnd::SelectNextBeginning(const CString& sText)
{
    const int nCur = m_pWnd->GetCurSel();
    int i = m_pWnd->FindString(nCur, sText);
    if (i >= 0 && i == nCur)
        i = m_pWnd->FindString(-1, sText);
    if (i >= 0)
        m_pWnd->SetCurSel(i);
    return i;
}

// ---- Mouse ----

void CGXComboBoxWnd::PostClickToCombo(CPoint point)
{
    if (!HasWindow())
        return;
    const HWND h = m_pWnd->GetSafeHwnd();
    ::PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    ::PostMessage(h, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void CGXComboBoxWnd::OpenListOnClick()
{
    const BOOL bWasActive = m_bActive;
    if (!EnsureActive())
        return;
    if (!bWasActive)
        Refresh();
    if (!IsDropDownList() || IsListOpen() || !m_bDropOnClick)
        return;
    if (IsNewLook()) {
        if (CWnd* pGridWnd = GetGridWnd())
            pGridWnd->UpdateWindow();
        PostClickToCombo(CPoint(0, 0));
    } else {
        m_bDropPending = TRUE;
    }
}

BOOL CGXComboBoxWnd::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const WORD w = pParam ? pParam->m_wActivateFlags : 0;
    if (HasWindow() && (w & 0x07) && !IsKeyDown(VK_RBUTTON)) {
        OpenListOnClick();
        CGXStatic::OnLeftButtonUp(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXStatic::OnLeftButtonUp(nRow, nCol, flags, point);
}

BOOL CGXComboBoxWnd::OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    if (HasWindow() && !m_bActive && pParam && (pParam->m_wActivateFlags & 0x08)) {
        OpenListOnClick();
        CGXStatic::OnLeftButtonDblClk(nRow, nCol, flags, point);
        return TRUE;
    }
    return CGXStatic::OnLeftButtonDblClk(nRow, nCol, flags, point);
}

void CGXComboBoxWnd::OnChildButtonClicked(CGXChild* pChild)
{
    if (pChild == m_pButton && HasWindow() && m_bInit) {
        if (!m_bActive) {
            if (!StartEditing())
                return;
            SetActive(TRUE);
            Refresh();
        }
        if (!IsListOpen() && m_bDropOnClick) {
            if (IsNewLook()) {
                const CRect rectButton = m_pButton->GetRect();
                if (CWnd* pGridWnd = GetGridWnd())
                    pGridWnd->UpdateWindow();
                const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
                PostClickToCombo(CPoint(rectButton.left - inner.left + 5, rectButton.top - inner.top + 5));
            } else {
                m_bDropPending = TRUE;
            }
        }
    }
    CGXStatic::OnChildButtonClicked(pChild);
}

// ---- Keys the grid passes before the control is active ----

void CGXComboBoxWnd::ScrollIntoViewOrRefresh()
{
    if (!m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, FALSE))
        Refresh();
}

BOOL CGXComboBoxWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (!HasWindow() || !m_bInit || IsKeyDown(VK_CONTROL) || (nChar != VK_END && nChar != VK_HOME))
        return CGXStatic::OnKeyDown(nChar, nRepCnt, flags);
    if (!EnsureActive())
        return FALSE;
    const int nPos = nChar == VK_END ? CharCount(GetWindowTextOf()) : 0;
    SetSel(nPos, nPos);
    ScrollIntoViewOrRefresh();
    return TRUE;
}

BOOL CGXComboBoxWnd::OnChar(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar < 32 || nChar == 127)
        return FALSE;
    return OnCharText(GXCodePointToUtf8(nChar), nRepCnt, flags);
}

BOOL CGXComboBoxWnd::OnCharText(LPCTSTR pszText, UINT, UINT)
{
    if (!HasWindow() || !m_bInit || IsCellReadOnly())
        return FALSE;
    const CString sText = pszText ? pszText : "";
    if (!m_bActive) {
        if (!StartEditing())
            return TRUE;
        SetActive(TRUE);
        if (IsDropDownList()) {
            SelectNextBeginning(sText);
        } else {
            m_pWnd->SetWindowText(sText);
            const int nPos = CharCount(sText);
            SetSel(nPos, nPos);
        }
        SetModified(TRUE);
        NotifyModified();
        Refresh();
        return TRUE;
    }
    if (IsDropDownList()) {
        if (SelectNextBeginning(sText) >= 0) {
            SetModified(TRUE);
            NotifyModified();
        }
        return TRUE;
    }
    if (CEdit* pEdit = GetEditPart()) {
        pEdit->ReplaceSel(sText, TRUE);
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        SetSel(std::max(nStart, nEnd), std::max(nStart, nEnd));
    }
    return TRUE;
}

BOOL CGXComboBoxWnd::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar != VK_DOWN || !HasWindow() || !m_bInit)
        return CGXStatic::OnSysKeyDown(nChar, nRepCnt, flags);
    if (!EnsureActive())
        return TRUE;
    ScrollIntoViewOrRefresh();
    if (CWnd* pGridWnd = GetGridWnd())
        pGridWnd->UpdateWindow();
    m_pWnd->ShowDropDown(TRUE);
    return TRUE;
}

// ---- Find and replace ----

BOOL CGXComboBoxWnd::FindInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSelect)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!m_bFindable || !p || p->strFind.IsEmpty())
        return FALSE;
    if (IsInitializedFor(nRow, nCol) && m_bActive && HasWindow()) {
        CString sText = GetWindowTextOf();
        if (!p->bMatchCase)
            sText = UpperOf(sText);
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        const int nFromChar = std::max(0, std::min(nStart, nEnd)) + (bCurrentPos ? 0 : 1);
        const int j = sText.Find(p->strFind, ByteOffsetOfChar(sText, nFromChar));
        if (j < 0)
            return FALSE;
        if (bSelect) {
            m_pGrid->ScrollToCell(nRow, nCol, 2, TRUE);
            const int a = CharCount(sText.Left(j));
            SetSel(a, a + CharCount(p->strFind));
        }
        return TRUE;
    }
    return FindInDisplayText(pFindParams, nRow, nCol, bSelect);
}

void CGXComboBoxWnd::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bFindable)
        return;
    if (!m_bActive || !HasWindow() || IsDropDownList()) {
        CGXStatic::ReplaceSelection(pszText);
        return;
    }
    if (IsCellReadOnly())
        return;
    if (CEdit* pEdit = GetEditPart())
        pEdit->ReplaceSel(pszText ? pszText : "", TRUE);
    SetModified(TRUE);
}

BOOL CGXComboBoxWnd::ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol)
{
    const auto* p = static_cast<const GXFindReplaceParams*>(pFindParams);
    if (!m_bFindable || !p)
        return FALSE;
    const BOOL bBoundActive = IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && !IsDropDownList();
    CString sText;
    int nFrom = 0;
    if (bBoundActive) {
        sText = GetWindowTextOf();
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        nFrom = ByteOffsetOfChar(sText, std::max(0, std::min(nStart, nEnd)));
    } else {
        CGXStyle composed;
        const CGXStyle* pStyle = p->pStyle;
        if (!pStyle) {
            m_pGrid->ComposeCellStyle(nRow, nCol, composed, TRUE);
            pStyle = &composed;
        }
        GetDisplayText(sText, nRow, nCol, nullptr, *pStyle);
    }
    if (!CGXEditControl::ReplaceAll(sText, nFrom, p->strFind, p->strReplace, p->bMatchCase))
        return FALSE;
    if (bBoundActive) {
        m_pWnd->SetWindowText(sText);
        SetModified(TRUE);
        return TRUE;
    }
    return m_pGrid->SetValueRange(CGXCellRange(nRow, nCol), sText, gxOverride, 0, GX_INVALIDATE);
}

BOOL CGXComboBoxWnd::GetSelectionText(CString& sText)
{
    if (!m_bFindable || !m_bActive || !HasWindow()) {
        GetCellValueText(sText);
        return FALSE;
    }
    sText = GetWindowTextOf();
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    if (nEnd < 0)
        nEnd = CharCount(sText);
    if (nStart == nEnd)
        return FALSE;
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    const int a = ByteOffsetOfChar(sText, nStart), b = ByteOffsetOfChar(sText, nEnd);
    sText = sText.Mid(a, b - a);
    return TRUE;
}

// ---- The window's messages ----

BOOL CGXComboBoxWnd::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (!HasWindow() || HWND(lParam) != m_pWnd->GetSafeHwnd() || !m_bInit)
        return CGXStatic::HandleCommandMessage(wParam, lParam);
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
        if (!m_bActive || m_bRestoring)
            return TRUE;
        if (!IsCellReadOnly()) {
            SetModified(TRUE);
            NotifyModified();
        } else {
            // A read-only cell shows again what it had when the list opened.
            m_bRestoring = TRUE;
            if (IsDropDownList()) {
                m_pWnd->SetCurSel(m_nSavedSel);
            } else {
                m_pWnd->SetWindowText(m_strSavedText);
                m_pWnd->SetEditSel(0, -1);
            }
            m_bRestoring = FALSE;
        }
        return TRUE;
    case CBN_SETFOCUS:
        if (m_bDropPending && !IsListOpen())
            m_pWnd->ShowDropDown(TRUE);
        m_bDropPending = FALSE;
        return TRUE;
    case CBN_DROPDOWN:
        m_pGrid->m_bDropDownOpen = TRUE;
        m_nSavedSel = m_pWnd->GetCurSel();
        m_strSavedText = GetWindowTextOf();
        return TRUE;
    case CBN_CLOSEUP:
        m_pGrid->m_bDropDownOpen = FALSE;
        if (m_bActive && !IsCellReadOnly() && IsModified())
            NotifyModified();
        return TRUE;
    default: return TRUE;
    }
}

BOOL CGXComboBoxWnd::FilterKeyDown(UINT nChar, LPARAM lParam)
{
    if (!m_bInit || !m_bActive || nChar == VK_SHIFT || nChar == VK_CONTROL || nChar == VK_MENU)
        return FALSE;
    CGXGridCore* pGrid = m_pGrid;
    pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    auto toGrid = [&] {
        pGrid->ProcessKeyMessage(WM_KEYDOWN, nChar, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    };
    if (IsKeyDown(VK_CONTROL))
        return toGrid();
    const BOOL bOpen = IsListOpen();
    switch (nChar) {
    case VK_TAB:
    case VK_ESCAPE: return toGrid();
    case VK_RETURN:
        if (bOpen) {
            m_pWnd->ShowDropDown(FALSE);
            return TRUE;
        }
        return toGrid();
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        if (m_bKeepArrowKeys || bOpen)
            return FALSE;
        return toGrid();
    case VK_LEFT:
    case VK_RIGHT: {
        if (m_bKeepArrowKeys || bOpen)
            return FALSE;
        if (IsDropDownList())
            return toGrid();
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        if (nEnd < 0)
            nEnd = CharCount(GetWindowTextOf());
        if (nChar == VK_LEFT ? std::min(nStart, nEnd) <= 0 : std::max(nStart, nEnd) >= CharCount(GetWindowTextOf()))
            return toGrid();
        return FALSE;
    }
    default:
        if (nChar >= VK_F1 && nChar <= VK_F24)
            return toGrid();
        return FALSE;
    }
}

void CGXComboBoxWnd::OnEditPartKillFocus(HWND hNewFocus)
{
    if (!HasWindow())
        return;
    const HWND hCombo = m_pWnd->GetSafeHwnd();
    if (hNewFocus && (hNewFocus == hCombo || ::IsChild(hCombo, hNewFocus) || hNewFocus == GetListWnd()))
        return;
    m_pWnd->SendMessage(WM_KILLFOCUS, WPARAM(hNewFocus), 0);
}

BOOL CGXComboBoxWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_ERASEBKGND: {
        CRect rect;
        m_pWnd->GetClientRect(&rect);
        CDC* pDC = CDC::FromHandle(HDC(wParam));
        if (pDC) {
            pDC->FillSolidRect(&rect, RGB(255, 255, 255));
            pDC->FillSolidRect(&rect, m_rgbBack);
        }
        result = TRUE;
        return TRUE;
    }
    case WM_KILLFOCUS: {
        result = m_pWnd->DefaultProc(message, wParam, lParam);
        const HWND hNew = HWND(wParam);
        const HWND hCombo = m_pWnd->GetSafeHwnd();
        if (!hNew || (hNew != hCombo && !::IsChild(hCombo, hNew) && hNew != GetListWnd()))
            NotifyGridKillFocus(CWnd::FromHandle(hNew));
        return TRUE;
    }
    case WM_KEYDOWN:
        // A drop-down list has no edit part: its own key-downs pass the filter.
        if (FilterKeyDown(UINT(wParam), lParam)) {
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_GETDLGCODE:
        result = m_pWnd->DefaultProc(message, wParam, lParam) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return TRUE;
    default: return FALSE;
    }
}
