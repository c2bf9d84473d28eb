#include "grid/controls/gxcombo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/system.h"
#include "platform/win/win.h"

const CGXControlClass CGXComboBox::classCGXComboBox = {"CGXComboBox", &CGXEditControl::classCGXEditControl};

namespace {

// A stored index as a number: -1 for an empty value or one that is not wholly a number.
int ParseIndex(const CString& sValue, BOOL bOneBased)
{
    if (sValue.IsEmpty())
        return -1;
    const char* p = sValue;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(p, &end, 10);
    if (end == p || *end || errno == ERANGE || n < -1 || n > 0x7FFFFFFF)
        return -1;
    if (n == -1)
        return -1;
    return bOneBased ? int(n) - 1 : int(n);
}

CString IndexText(int nIndex)
{
    CString s;
    s.Format("%d", nIndex);
    return s;
}

}  // namespace

// ---- The list ----

LRESULT CGXComboListBox::SendToEdit(UINT message, WPARAM wParam)
{
    return m_pOwner ? m_pOwner->SendToEditWnd(message, wParam) : 0;
}

BOOL CGXComboListBox::PostToEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_pOwner && m_pOwner->PostToEditWnd(message, wParam, lParam);
}

LRESULT CGXComboListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        m_bKeyUsed = TRUE;
        if (m_nKeys++ == 0)
            m_nOldSel = GetCurSel();
        break;
    case WM_LBUTTONDOWN:
        m_bMousePressed = TRUE;
        m_nOldSel = GetCurSel();
        break;
    case WM_LBUTTONUP: {
        const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        if (m_bMousePressed && GetCurSel() >= 0) {
            m_bMousePressed = FALSE;
            SendToEdit(WM_GX_CHOICEMADE);  // may delete this list: nothing follows
        }
        return r;
    }
    case WM_KEYUP: {
        if (!m_bKeyUsed)
            break;
        switch (wParam) {
        case VK_TAB:
            PostToEdit(WM_KEYDOWN, VK_TAB, 1);
            PostToEdit(WM_KEYUP, VK_TAB, 1);
            return 0;
        case VK_RETURN: SendToEdit(WM_GX_CHOICEMADE); return 0;
        case VK_ESCAPE: SendToEdit(WM_GX_CLOSELIST, FALSE); return 0;
        default: {
            const int nSel = GetCurSel();
            if (nSel != m_nOldSel) {
                m_nOldSel = nSel;
                SendToEdit(WM_GX_LISTSELCHANGE);
            }
            return 0;
        }
        }
    }
    case WM_SYSKEYDOWN: m_bKeyUsed = TRUE; return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_DOWN && m_bKeyUsed) {
            SendToEdit(WM_GX_CLOSELIST, FALSE);
            return 0;
        }
        return 0;
    case WM_KILLFOCUS: {
        const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        PostToEdit(WM_GX_LISTKILLFOCUS, wParam);
        return r;
    }
    case WM_ERASEBKGND:
        if (GXEraseListWithParentBrush(this, HDC(wParam)))
            return TRUE;
        break;
    default: break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

// ---- Construction ----

CGXComboBox::CGXComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags)
    : CGXEditControl(pGrid, nEditID), m_nComboFlags(nFlags), m_pButton(new CGXComboBoxButton(this)),
      m_nListBoxID(nListBoxID)
{
    m_pButtonOwner = m_pButton;
    AddChildObject(m_pButton);
}

CGXComboBox::~CGXComboBox()
{
    if (CGXGridCombo* p = m_pDropDown) {
        m_pDropDown = nullptr;
        CGXComboBox::DestroyDropDown(p);
    }
}

LRESULT CGXComboBox::SendToEditWnd(UINT message, WPARAM wParam, LPARAM lParam)
{
    return HasWindow() ? m_pWnd->SendMessage(message, wParam, lParam) : 0;
}

BOOL CGXComboBox::PostToEditWnd(UINT message, WPARAM wParam, LPARAM lParam)
{
    return HasWindow() && ::PostMessage(m_pWnd->GetSafeHwnd(), message, wParam, lParam);
}

// ---- Focus and pop-up guards ----

void CGXComboBox::WithFocusChangesIgnored(const std::function<void()>& fn)
{
    const BOOL bOldTaking = m_pGrid->m_bTakingFocus;
    const BOOL bOldLock = m_pGrid->m_bLockCurrentCell;
    m_pGrid->m_bTakingFocus = TRUE;
    m_pGrid->m_bLockCurrentCell = TRUE;
    fn();
    m_pGrid->m_bTakingFocus = bOldTaking;
    m_pGrid->m_bLockCurrentCell = bOldLock;
}

void CGXComboBox::WithPopupActive(const std::function<void()>& fn)
{
    const BOOL bOld = GetGridPopupActive();
    SetGridPopupActive(TRUE);
    fn();
    SetGridPopupActive(bOld);
}

void CGXComboBox::MoveFocus(CWnd* pWnd)
{
    if (pWnd && pWnd->GetSafeHwnd())
        WithFocusChangesIgnored([&] { pWnd->SetFocus(); });
}

BOOL CGXComboBox::IsInside(HWND hWnd, HWND hParent) const
{
    return hWnd && hParent && (hWnd == hParent || ::IsChild(hParent, hWnd));
}

// ---- Binding ----

void CGXComboBox::SetActive(BOOL bActive)
{
    if (!bActive && m_pDropDown && HasWindow())
        ::PostMessage(m_pWnd->GetSafeHwnd(), WM_GX_CLOSELIST, FALSE, 0);
    CGXEditControl::SetActive(bActive);
}

void CGXComboBox::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    // A list still open belongs to the cell bound before.
    if (m_pDropDown)
        OnCloseList(FALSE);
    CGXEditControl::InitForCell(nRow, nCol);
    m_pButton->Refresh();
}

void CGXComboBox::ReleaseCell()
{
    if (m_pDropDown)
        OnCloseList(FALSE);
    CGXEditControl::ReleaseCell();
}

// ---- Geometry ----

CRect CGXComboBox::ComputeInnerRect(ROWCOL nRow, ROWCOL nCol, const CRect* pRect, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::ComputeInnerRect(nRow, nCol, pRect, pStyle);
    if (!m_bButtonInCurrentCellOnly || m_bShowButtonAlways || m_pGrid->IsCurrentCellAt(nRow, nCol))
        rect.right -= kButtonWidth;
    return rect;
}

CSize CGXComboBox::AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style)
{
    size.cx += kButtonWidth;
    return CGXEditControl::AddBorderToSize(size, nRow, nCol, style);
}

CSize CGXComboBox::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    CSize size = CGXEditControl::ComputeContentSize(pDC, nRow, nCol, style, bVert);
    if (!pDC)
        return size;
    CFont* pFont = m_pGrid->LookupFont(style.GetFont());
    CFont* pOld = pFont ? pDC->SelectObject(pFont) : nullptr;
    CSize extra(0, 0);
    if (bVert) {
        TEXTMETRIC tm {};
        pDC->GetTextMetrics(&tm);
        extra.cy = tm.tmExternalLeading + tm.tmHeight + 1;
    } else if (m_bUseChoiceList && style.GetIncludeChoiceList()) {
        CGXChoiceListReader lines(style.GetChoiceList());
        const char* p = nullptr;
        for (int n = 0; lines.Next(p, n);)
            extra.cx = std::max<int>(extra.cx, pDC->GetTextExtent(p, n).cx);
    }
    if (pOld)
        pDC->SelectObject(pOld);
    extra = AddBorderToSize(extra, nRow, nCol, style);
    return CSize(std::max(size.cx, extra.cx), std::max(size.cy, extra.cy));
}

void CGXComboBox::MeasureTextHeight(const CGXStyle& style)
{
    CDC* pDC = m_pGrid->GetMeasureDC();
    if (!pDC)
        return;
    CFont* pFont = m_pGrid->LookupFont(style.GetFont());
    CFont* pOld = pFont ? pDC->SelectObject(pFont) : nullptr;
    TEXTMETRIC tm {};
    pDC->GetTextMetrics(&tm);
    m_nTextHeight = std::max<int>(1, tm.tmHeight);
    if (pOld)
        pDC->SelectObject(pOld);
    m_pGrid->ReleaseMeasureDC();
}

void CGXComboBox::LayoutChildren(CDC*, const CRect& rect, const CGXStyle* pStyle)
{
    // The button's width, and a pixel between it and the cell's right edge.
    CRect button(std::max<int>(rect.left + 1, rect.right - kButtonWidth - 1), rect.top, rect.right - 1, rect.bottom - 1);
    // The grid lays out the bound cell's button (its style composed) and, when the button
    // shows everywhere, any cell's.
    const CGXStyle* pUse = pStyle;
    if (!pUse && m_bInit)
        pUse = &GetCellStyle();
    const BOOL bCurrent = m_bInit && m_pGrid->IsCurrentCellAt(m_nRow, m_nCol)
                          && m_pGrid->SpannedCellToRect(m_nRow, m_nCol).PtInRect(rect.CenterPoint());
    if (pUse && (bCurrent || m_bShowButtonAlways)) {
        if (m_nTextHeight == 0)
            MeasureTextHeight(*pUse);
        if (m_bFitButtonHeight)
            CGXComboBoxButton::FitToText(button, rect, m_nTextHeight, m_nButtonMargin, *pUse);
    }
    m_pButton->SetRect(button);
}

// ---- Texts and values ----

int CGXComboBox::FindEntry(const CGXStyle& style, const CString& sText, CString& sEntry)
{
    sEntry.Empty();
    if (sText.IsEmpty() || !style.GetIncludeChoiceList())
        return -1;
    return FindChoiceListItem(sEntry, sText, style.GetChoiceList(), FALSE);
}

BOOL CGXComboBox::GetEditText(CString& sText)
{
    if (!CGXEditControl::GetEditText(sText))
        return FALSE;
    if (!m_bInit || !m_bUseChoiceList || !(m_nComboFlags & (GXCOMBO_TEXTFIT | GXCOMBO_DISPLAYCHOICE)))
        return TRUE;
    return ConvertDisplayText(sText, m_nRow, m_nCol, GetCellStyle());
}

BOOL CGXComboBox::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (!m_bUseChoiceList || !style.GetIncludeChoiceList())
        return TRUE;
    CString sEntry;
    if (m_nComboFlags & GXCOMBO_DISPLAYCHOICE) {
        const int i = FindEntry(style, sText, sEntry);
        sText = i < 0 ? CString() : IndexText(i + ((m_nComboFlags & GXCOMBO_ONEBASED) ? 1 : 0));
    } else if (m_nComboFlags & GXCOMBO_TEXTFIT) {
        if (FindEntry(style, sText, sEntry) >= 0)
            sText = sEntry;
    }
    return TRUE;
}

BOOL CGXComboBox::GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style)
{
    if (!(m_nComboFlags & GXCOMBO_DISPLAYCHOICE) || !style.GetIncludeChoiceList())
        return CGXEditControl::GetDisplayText(sResult, nRow, nCol, pszValue, style);
    const CString sValue = pszValue ? CString(pszValue) : style.GetIncludeValue() ? style.GetValue() : CString();
    sResult.Empty();
    const int i = ParseIndex(sValue, (m_nComboFlags & GXCOMBO_ONEBASED) != 0);
    if (i < 0)
        return FALSE;
    return GetChoiceListItem(sResult, style.GetChoiceList(), i);
}

BOOL CGXComboBox::ValidateText(const CString& sText)
{
    if (sText.IsEmpty() || !m_bUseChoiceList || !(m_nComboFlags & (GXCOMBO_TEXTFIT | GXCOMBO_DISPLAYCHOICE)))
        return TRUE;
    if (!m_bInit)
        return TRUE;
    const CGXStyle& style = GetCellStyle();
    if (!style.GetIncludeChoiceList())
        return TRUE;
    CString sEntry;
    return FindEntry(style, sText, sEntry) >= 0;
}

void CGXComboBox::ReplaceSelection(LPCTSTR pszText)
{
    if (!m_bActive || !HasWindow()) {
        CGXEditControl::ReplaceSelection(pszText);
        return;
    }
    if (IsCellReadOnly())
        return;
    m_pWnd->ReplaceSel(pszText ? pszText : "", TRUE);
    SetModified(TRUE);
    NotifyModified();
}

// ---- Mouse, keys and scrolling ----

BOOL CGXComboBox::OnMouseActivate(CWnd*, UINT, UINT, int& nResult)
{
    if (!m_pDropDown)
        return FALSE;
    OnCloseList(TRUE);
    nResult = MA_ACTIVATEANDEAT;
    return TRUE;
}

BOOL CGXComboBox::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT flags)
{
    if (nChar != VK_DOWN || !HasWindow() || !m_bInit)
        return CGXEditControl::OnSysKeyDown(nChar, nRepCnt, flags);
    if (!m_bActive && !StartEditing())
        return TRUE;
    SetActive(TRUE);
    m_pGrid->ScrollToCell(m_nRow, m_nCol, 2, TRUE);
    Refresh();
    if (CWnd* pGridWnd = GetGridWnd())
        pGridWnd->UpdateWindow();
    DropDown(TRUE);
    return TRUE;
}

void CGXComboBox::OnChildButtonClicked(CGXChild* pChild)
{
    if (pChild == m_pButton && HasWindow() && m_bInit) {
        if (!m_bActive) {
            if (!StartEditing())
                return;
            SetActive(TRUE);
        }
        if (CWnd* pGridWnd = GetGridWnd())
            pGridWnd->UpdateWindow();
        DropDown(!m_pDropDown);
    }
    CGXEditControl::OnChildButtonClicked(pChild);
}

void CGXComboBox::HandleScrollMessage(UINT message)
{
    if ((message == WM_HSCROLL || message == WM_VSCROLL) && m_pDropDown)
        OnCloseList(TRUE);
    CGXEditControl::HandleScrollMessage(message);
}

// ---- The list's window ----

CGXGridCombo* CGXComboBox::CreateDropDownWindow(CWnd*, const CRect& rect) { return new CGXGridCombo(this, rect); }

CListBox* CGXComboBox::AttachListBox(CWnd* pParent, std::unique_ptr<CListBox> pList,
                                      const std::function<BOOL(CListBox*, const CRect&)>& create)
{
    auto* pDropDown = static_cast<CGXGridCombo*>(pParent);
    CListBox* p = pList.get();
    pDropDown->AttachListBox(std::move(pList));
    CRect rect;
    pParent->GetClientRect(&rect);
    rect.DeflateRect(1, 0);
    if (!create(p, rect)) {
        pDropDown->AttachListBox(nullptr);
        return nullptr;
    }
    return p;
}

CListBox* CGXComboBox::CreateListBox(CWnd* pParent, UINT nID)
{
    return AttachListBox(pParent, std::make_unique<CGXComboListBox>(this), [&](CListBox* p, const CRect& rect) {
        return p->CreateEx(0, WC_COMBOLBOX, "", ListStyle() | WS_CHILD | WS_VISIBLE | WS_BORDER, rect, pParent, nID);
    });
}

CRect CGXComboBox::CellScreenRect()
{
    CRect rect = m_pGrid->SpannedCellToRect(m_nRow, m_nCol);
    if (CWnd* pGridWnd = GetGridWnd())
        pGridWnd->ClientToScreen(&rect);
    return rect;
}

void CGXComboBox::ComputeListRect(CRect& rect, const CRect& rectCell)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    const int nHeight = int(std::min<DWORD>(pParam ? pParam->m_nDropDownHeight : 100, 0x7FFF));
    rect.SetRect(rectCell.left, rectCell.bottom, rectCell.right, rectCell.bottom + nHeight);
}

CRect CGXComboBox::FitListRect(CRect rect, const CRect& rectCell, int nEntries, int nItemHeight, int nLineHeight,
                               int nExtraBelow, BOOL& bAbove)
{
    CRect desktop;
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    // As tall as the entries need; an empty list keeps half an item.
    const long long nNeeded = (long long)nLineHeight * nEntries + nItemHeight / 2;
    if (nNeeded < rect.Height())
        rect.bottom = rect.top + int(nNeeded);
    if (rect.right > desktop.right)
        rect.OffsetRect(std::min<int>(0, rectCell.right - rect.right), 0);
    bAbove = rect.bottom + nExtraBelow > desktop.bottom;
    if (bAbove)
        rect.OffsetRect(0, rectCell.top - rect.bottom);
    else
        rect.OffsetRect(0, nExtraBelow);
    CRect clipped;
    clipped.IntersectRect(&rect, &desktop);
    return clipped;
}

int CGXComboBox::ListLineHeight(CListBox* pList)
{
    // The list's own line height: the cell's text height may be a pixel less.
    if (m_nTextHeight == 0 && m_bInit)
        MeasureTextHeight(GetCellStyle());
    return std::max(m_nTextHeight, pList ? pList->GetItemHeight(0) : 0);
}

void CGXComboBox::DropDown(BOOL bShow)
{
    if (!bShow) {
        if (m_pDropDown && HasWindow())
            m_pWnd->SendMessage(WM_GX_CLOSELIST, TRUE, 0);
        return;
    }
    if (m_pDropDown || !m_bInit || !HasWindow())
        return;
    m_pGrid->m_bDropDownOpen = TRUE;
    const CGXStyle& style = GetCellStyle();
    const CRect rectCell = CellScreenRect();

    CListBox* pList = nullptr;
    WithFocusChangesIgnored([&] {
        WithPopupActive([&] {
            // Made under the cell one pixel high (no native window has no height), then placed.
            const CRect rectFirst(rectCell.left, rectCell.bottom, rectCell.right, rectCell.bottom + 1);
            m_pDropDown = CreateDropDownWindow(CWnd::GetDesktopWindow(), rectFirst);
            if (m_pDropDown && m_pDropDown->GetSafeHwnd())
                pList = CreateListBox(m_pDropDown, m_nListBoxID);
        });
    });
    if (!pList) {
        if (CGXGridCombo* p = m_pDropDown) {
            m_pDropDown = nullptr;
            DestroyDropDown(p);
        }
        m_pGrid->m_bDropDownOpen = FALSE;
        return;
    }

    // The cell's font at the grid's zoom.
    auto pFont = std::make_unique<CFont>();
    if (CFont* pCellFont = m_pGrid->LookupFont(style.GetFont())) {
        LOGFONT lf {};
        pCellFont->GetLogFont(&lf);
        pFont->CreateFontIndirect(&lf);
        pList->SendMessage(WM_SETFONT, WPARAM(pFont->GetSafeHandle()), FALSE);
    }
    m_pListFont = std::move(pFont);  // the former one is no longer the list's
    m_pDropDown->SetColors(style.ResolveTextColor(), style.GetInterior().ResolveBrushColor());

    FillListBox(pList);
    CRect rect;
    ComputeListRect(rect, rectCell);
    BOOL bAbove = FALSE;
    const int nHeader = HeaderHeight();
    rect = FitListRect(rect, rectCell, pList->GetCount(), pList->GetItemHeight(0), ListLineHeight(pList), nHeader,
                       bAbove);

    WithFocusChangesIgnored([&] {
        WithPopupActive([&] {
            m_pDropDown->SetWindowPos(&CWnd::wndTopMost, rect.left - 1, rect.top, rect.Width() + 1, rect.Height(),
                                      SWP_SHOWWINDOW);
            CRect client;
            m_pDropDown->GetClientRect(&client);
            client.DeflateRect(1, 0);
            pList->MoveWindow(&client, TRUE);
            if (nHeader > 0)
                PlaceHeader(CRect(rect.left, rect.top - nHeader, rect.right, rect.top));
            pList->SetFocus();
        });
    });
    if (pList->GetCurSel() < 0 && pList->GetCount() > 0)
        pList->SetCurSel(0);
    if (pList->GetCurSel() >= 0)
        pList->SetTopIndex(pList->GetCurSel());
}

void CGXComboBox::FillListBox(CListBox* pList)
{
    if (!pList || !m_bInit)
        return;
    const CGXStyle& style = GetCellStyle();
    if (!m_bUseChoiceList || !style.GetIncludeChoiceList())
        return;
    CGXChoiceListReader lines(style.GetChoiceList());
    for (CString sLine; lines.Next(sLine);)
        pList->AddString(sLine);
    CString sText;
    BOOL bByText = FALSE;  // an index cell whose text names its entry
    if (m_bActive) {
        GetWindowTextOf(sText);
        bByText = (m_nComboFlags & (GXCOMBO_TEXTFIT | GXCOMBO_DISPLAYCHOICE)) != 0;
    } else {
        sText = m_pGrid->StoredCellValueText(m_nRow, m_nCol);
        bByText = (m_nComboFlags & GXCOMBO_TEXTFIT) != 0;
    }
    // A text selects the entry it names, else the first it begins; an index its entry.
    int nSel = -1;
    if (!bByText && (m_nComboFlags & (GXCOMBO_ZEROBASED | GXCOMBO_ONEBASED))) {
        nSel = ParseIndex(sText, (m_nComboFlags & GXCOMBO_ONEBASED) != 0);
    } else if (!sText.IsEmpty()) {
        nSel = pList->FindStringExact(-1, sText);
        if (nSel < 0)
            nSel = pList->FindString(-1, sText);
    }
    pList->SetCurSel(nSel >= 0 && nSel < pList->GetCount() ? nSel : -1);
}

void CGXComboBox::TakeListSelection(CListBox* pList)
{
    const int nSel = pList ? pList->GetCurSel() : -1;
    if (nSel < 0 || !HasWindow())
        return;
    // A display-choice cell edits the entry's text; GetEditText makes the index of it.
    CString sText;
    if ((m_nComboFlags & GXCOMBO_ZEROBASED) && !(m_nComboFlags & GXCOMBO_DISPLAYCHOICE))
        sText = IndexText(nSel);
    else if ((m_nComboFlags & GXCOMBO_ONEBASED) && !(m_nComboFlags & GXCOMBO_DISPLAYCHOICE))
        sText = IndexText(nSel + 1);
    else
        pList->GetText(nSel, sText);
    PutChoiceText(sText);
}

void CGXComboBox::SetEditWindowText(const CString& sText)
{
    if (!HasWindow())
        return;
    const BOOL bOld = m_bReplacing;
    m_bReplacing = TRUE;
    m_pWnd->SetWindowText(sText);
    m_bReplacing = bOld;
}

void CGXComboBox::PutChoiceText(const CString& sText)
{
    if (!HasWindow())
        return;
    if (!m_bActive)
        SetActive(TRUE);
    SetEditWindowText(sText);
    m_pWnd->SetSel(0, -1);
    SetModified(TRUE);
    if (m_bRefreshOnChoice)
        Refresh();
    else
        m_pWnd->Invalidate();
}

void CGXComboBox::DestroyDropDown(CGXGridCombo* pDropDown)
{
    if (!pDropDown)
        return;
    WithFocusChangesIgnored([&] { WithPopupActive([&] { delete pDropDown; }); });
    m_pListFont.reset();
}

// ---- The list's messages ----

BOOL CGXComboBox::CloseWithChoice(BOOL& bFocusInside, BOOL& bFocusOnGrid)
{
    m_pGrid->m_bDropDownOpen = FALSE;
    CGXGridCombo* p = m_pDropDown;
    if (!p)
        return FALSE;
    if (!IsCellReadOnly())
        TakeListSelection(p->GetListBox());
    m_pDropDown = nullptr;
    const HWND hFocus = ::GetFocus();
    CWnd* pGridWnd = GetGridWnd();
    bFocusInside = IsInside(hFocus, p->GetSafeHwnd());
    bFocusOnGrid = pGridWnd && hFocus == pGridWnd->GetSafeHwnd();
    DestroyDropDown(p);
    NotifyModified();
    return TRUE;
}

void CGXComboBox::OnChoiceMade()
{
    BOOL bFocusInside = FALSE, bOnGrid = FALSE;
    if (CloseWithChoice(bFocusInside, bOnGrid) && (bFocusInside || bOnGrid))
        MoveFocus(m_bActive ? static_cast<CWnd*>(m_pWnd.get()) : GetGridWnd());
}

void CGXComboBox::OnCloseList(BOOL bKeepFocus)
{
    m_pGrid->m_bDropDownOpen = FALSE;
    CGXGridCombo* p = m_pDropDown;
    if (!p)
        return;
    const HWND hFocus = ::GetFocus();
    const BOOL bFocusInside = IsInside(hFocus, p->GetSafeHwnd());
    CListBox* pList = p->GetListBox();
    const BOOL bKeep = bKeepFocus || (pList && hFocus == pList->GetSafeHwnd() && m_pGrid->m_bWarningShown);
    m_pDropDown = nullptr;
    DestroyDropDown(p);
    CWnd* pGridWnd = GetGridWnd();
    if (bKeep && m_bActive && HasWindow()) {
        MoveFocus(m_pWnd.get());
        if (IsModified())
            NotifyModified();
        return;
    }
    // The user left the list without a choice: the cell keeps its stored value.
    if (bFocusInside)
        MoveFocus(pGridWnd);
    SetActive(FALSE);
    SetModified(FALSE);
    if (m_bInit)
        SetCellValue(nullptr);
    Refresh();
}

void CGXComboBox::OnListSelChange()
{
    if (!m_pDropDown || IsCellReadOnly())
        return;
    TakeListSelection(m_pDropDown->GetListBox());
    NotifyModified();
}

void CGXComboBox::OnListKillFocus()
{
    if (!m_pDropDown)
        return;
    const HWND hFocus = ::GetFocus();
    CWnd* pGridWnd = GetGridWnd();
    const HWND hGrid = pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr;
    if (IsInside(hFocus, m_pDropDown->GetSafeHwnd()))
        return;
    if (!hFocus) {
        OnCloseList(FALSE);
        return;
    }
    if (IsInside(hFocus, hGrid))
        return;
    // Focus went elsewhere: the grid hears of it as the grid's own loss of focus.
    MoveFocus(pGridWnd);
    OnCloseList(FALSE);
    if (::IsWindow(hFocus))
        ::SetFocus(hFocus);
}

BOOL CGXComboBox::OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_GX_CHOICEMADE: OnChoiceMade(); return TRUE;
    case WM_GX_CLOSELIST: OnCloseList(BOOL(wParam)); return TRUE;
    case WM_GX_LISTSELCHANGE: OnListSelChange(); return TRUE;
    case WM_GX_LISTKILLFOCUS: OnListKillFocus(); return TRUE;
    case WM_SYSKEYDOWN:
        // The grid passes no key of the edit back to its control.
        if (wParam == VK_DOWN) {
            OnSysKeyDown(UINT(wParam), LOWORD(DWORD(lParam)), HIWORD(DWORD(lParam)));
            return TRUE;
        }
        break;
    case WM_SETFOCUS:
        if (m_pDropDown)
            OnCloseList(TRUE);
        break;
    default: break;
    }
    return CGXEditControl::OnEditWindowMessage(message, wParam, lParam, result);
}
