#include "grid/controls/gxtabcombownd.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "grid/core/gxdib.h"
#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "platform/base/utf8.h"
#include "platform/gdi/dcguard.h"
#include "platform/win/win.h"

const CGXControlClass CGXTabbedComboBoxWnd::classCGXTabbedComboBoxWnd = {"CGXTabbedComboBoxWnd",
                                                                        &CGXComboBoxWnd::classCGXComboBoxWnd};

namespace {

// Window positions count characters; texts are UTF-8.
int CharCount(const CString& s) { return PvUtf8CharCount(s, size_t(s.GetLength())); }

int ByteOffsetOfChar(const CString& s, int nChar) { return PvUtf8ByteOffset(s, nChar); }

BOOL TouchesTabList(const CGXStyle& style)
{
    if (style.GetIncludeChoiceList())
        return TRUE;
    for (WORD id : {GX_IDS_UA_TABLIST_KEYCOL, GX_IDS_UA_TABLIST_TEXTCOL, GX_IDS_UA_TABLIST_SHOWALLCOLS,
                    GX_IDS_UA_TABLIST_TITLES, GX_IDS_UA_TABLIST_COLWIDTHS, GX_IDS_UA_TABLIST_SORTCOL})
        if (style.HasUserAttribute(id))
            return TRUE;
    return FALSE;
}

BOOL BeginsNoCase(const CString& sField, const CString& sText)
{
    const int n = sText.GetLength();
    return sField.GetLength() >= n && strncasecmp(sField, sText, size_t(n)) == 0;
}

}  // namespace

// ---- The edit part ----

CGXTabbedCBEditWnd::CGXTabbedCBEditWnd(CGXTabbedComboBoxWnd* pControl) : CGXComboEditPart(pControl), m_pTabbed(pControl) {}

LRESULT CGXTabbedCBEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && lParam) {
        // Only the display column shows: the text is cut at its first tab.
        const char* p = reinterpret_cast<const char*>(lParam);
        const size_t n = strnlen(p, 255);
        if (const void* t = std::memchr(p, '\t', n)) {
            const CString sCut(p, int(static_cast<const char*>(t) - p));
            return CGXComboEditPart::WindowProc(message, wParam, LPARAM(LPCTSTR(sCut)));
        }
    }
    if (message == WM_CHAR && m_pTabbed && m_pTabbed->OnEditPartChar(UINT(wParam), lParam))
        return 0;
    return CGXComboEditPart::WindowProc(message, wParam, lParam);
}

// ---- The control ----

CGXTabbedComboBoxWnd::CGXTabbedComboBoxWnd(CGXGridCore* pGrid) : CGXComboBoxWnd(pGrid) { m_bDropOnClick = FALSE; }

CGXTabbedComboBoxWnd::~CGXTabbedComboBoxWnd()
{
    if (m_pHeader && m_pHeader->GetSafeHwnd())
        m_pHeader->DestroyWindow();
    m_pHeader.reset();
}

void CGXTabbedComboBoxWnd::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle checkStyle;
    checkStyle.SetControl(WORD(GX_IDS_CTRL_CHECKBOX3D));
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_KEYCOL);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, &checkStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_TITLES, &checkStyle);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TABLIST_SORTCOL);
}

std::unique_ptr<CEdit> CGXTabbedComboBoxWnd::MakeEditPart() { return std::make_unique<CGXTabbedCBEditWnd>(this); }

BOOL CGXTabbedComboBoxWnd::CreateControl(DWORD nKind, UINT nID)
{
    const DWORD dwStyle = (nKind & 3) | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS | CBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    return CGXComboBoxWnd::CreateControl(dwStyle, nID);
}

// ---- Binding and the list ----

void CGXTabbedComboBoxWnd::InitForCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXComboBoxWnd::InitForCell(nRow, nCol);
    if (!HasWindow())
        return;
    const CGXStyle& style = GetCellStyle();
    const BOOL bReadOnly = m_pGrid->IsReadOnly() || (style.GetIncludeReadOnly() && style.GetReadOnly());
    if (CEdit* pEdit = GetEditPart())
        pEdit->SetReadOnly(bReadOnly);
    else
        m_pWnd->EnableWindow(!bReadOnly);
}

void CGXTabbedComboBoxWnd::FillFromChoiceList()
{
    // Called by the binding: the settings are the bound cell's.
    const CGXStyle& style = GetCellStyle();
    m_settings = CGXTabbedComboBox::ReadSettings(style);
    m_strSortedList = style.GetIncludeChoiceList() ? style.GetChoiceList() : CString();
    if (m_settings.nSortCol >= 0 && !m_strSortedList.IsEmpty())
        SortChoiceList(m_strSortedList, m_settings.nSortCol, m_settings.bTitles);

    int widths[CGXTabbedComboBox::kMaxColumns];
    std::fill(std::begin(widths), std::end(widths), -1);
    std::fill(std::begin(m_anTabStops), std::end(m_anTabStops), 0);
    m_nColCount = 0;
    m_nTotalWidth = 0;
    m_pWnd->ResetContent();
    if (m_pHeader)
        m_pHeader->m_strHeader.Empty();
    CDC* pDC = m_pGrid->GetMeasureDC();
    {
        CDCStateGuard guard(pDC);
        if (pDC) {
            guard.SelectFont(m_pGrid->LookupFont(style.GetFont()));
            TEXTMETRIC tm {};
            pDC->GetTextMetrics(&tm);
            m_nLineHeight = std::max<int>(1, tm.tmHeight);
        }
        CGXChoiceListReader lines(m_strSortedList);
        CString sLine;
        for (BOOL bFirst = TRUE; lines.Next(sLine); bFirst = FALSE) {
            if (pDC)
                MeasureTabbedColumns(pDC, sLine, CGXTabbedComboBox::kMaxColumns, widths);
            const CString sEntry = m_settings.nTextCol <= 0
                                       ? sLine
                                       : CGXTabbedComboBox::Field(sLine, m_settings.nTextCol) + "\t" + sLine;
            if (bFirst && m_settings.bTitles)
                EnsureHeader()->m_strHeader = sEntry;
            else
                m_pWnd->AddString(sEntry);
        }
    }
    if (pDC)
        m_pGrid->ReleaseMeasureDC();
    while (m_nColCount < CGXTabbedComboBox::kMaxColumns && widths[m_nColCount] >= 0)
        ++m_nColCount;
    // Column widths: a number given for a column, else what it measured (hidden unless shown).
    const char* p = m_settings.strWidths;
    int nSum = 0;
    for (int i = 0; i < m_nColCount; ++i) {
        int w = 0;
        if (p && *p >= '0' && *p <= '9') {
            while (*p >= '0' && *p <= '9') {
                w = std::min(w * 10 + (*p - '0'), 0x7FFF);
                ++p;
            }
            while (*p && !(*p >= '0' && *p <= '9'))
                ++p;
        } else if (m_settings.bShowAllCols || i == m_settings.nTextCol) {
            w = widths[i] + CGXTabbedComboBox::kColumnPadding;
        }
        nSum += w;
        m_anTabStops[i] = nSum;
    }
    m_nTotalWidth = nSum + ::GetSystemMetrics(SM_CXVSCROLL);
}

CGXTabbedLBoxHeader* CGXTabbedComboBoxWnd::EnsureHeader()
{
    if (!m_pHeader) {
        m_pHeader = std::make_unique<CGXTabbedLBoxHeader>();
        m_pHeader->Create(GetGridWnd());
    }
    return m_pHeader.get();
}

CString CGXTabbedComboBoxWnd::TextOfEntry(int i)
{
    CString sEntry;
    if (HasWindow() && i >= 0 && i < m_pWnd->GetCount())
        m_pWnd->GetLBText(i, sEntry);
    return CGXTabbedComboBox::Field(sEntry, 0);
}

CString CGXTabbedComboBoxWnd::KeyOfEntry(int i)
{
    CString sEntry;
    if (HasWindow() && i >= 0 && i < m_pWnd->GetCount())
        m_pWnd->GetLBText(i, sEntry);
    // Entries that carry the text column first have the line's fields one further on.
    return CGXTabbedComboBox::Field(sEntry, m_settings.nKeyCol + (m_settings.nTextCol > 0 ? 1 : 0));
}

int CGXTabbedComboBoxWnd::FindKeyEntry(const CString& sKey)
{
    if (!HasWindow())
        return -1;
    for (int i = 0, n = m_pWnd->GetCount(); i < n; ++i)
        if (KeyOfEntry(i) == sKey)
            return i;
    return -1;
}

int CGXTabbedComboBoxWnd::FindTextEntry(const CString& sText, BOOL bPrefix)
{
    if (!HasWindow() || sText.IsEmpty())
        return -1;
    // The selected entry first, so that entries of the same text keep the one picked.
    const int nCur = m_pWnd->GetCurSel();
    if (nCur >= 0 && TextOfEntry(nCur).CompareNoCase(sText) == 0)
        return nCur;
    int nPrefix = -1;
    for (int i = 0, n = m_pWnd->GetCount(); i < n; ++i) {
        const CString sField = TextOfEntry(i);
        if (sField.CompareNoCase(sText) == 0)
            return i;
        if (bPrefix && nPrefix < 0 && BeginsNoCase(sField, sText))
            nPrefix = i;
    }
    return nPrefix;
}

void CGXTabbedComboBoxWnd::SetCellValue(LPCTSTR pszText)
{
    if (!m_bInit || !HasWindow())
        return;
    const CString sKey = pszText ? CString(pszText) : m_pGrid->StoredCellValueText(m_nRow, m_nCol);
    // The list is filled from the sorted copy: the entry's index is the line's.
    m_pWnd->SetCurSel(sKey.IsEmpty() ? -1 : FindKeyEntry(sKey));
    if (!IsDropDownList())
        m_pWnd->SetEditSel(0, -1);
}

BOOL CGXTabbedComboBoxWnd::GetCellValueText(CString& sText)
{
    sText.Empty();
    if (!m_bInit || !HasWindow())
        return CGXStatic::GetCellValueText(sText);
    if (!IsDropDownList()) {
        sText = GetWindowTextOf();
        return TRUE;
    }
    sText = TextOfEntry(m_pWnd->GetCurSel());
    return TRUE;
}

BOOL CGXTabbedComboBoxWnd::GetEditText(CString& sText)
{
    sText.Empty();
    if (!m_bInit || !HasWindow())
        return FALSE;
    // A drop-down list names its entry by the selection; a typed text by its exact match
    // before the first entry it begins.
    if (IsDropDownList()) {
        const int nSel = m_pWnd->GetCurSel();
        if (nSel >= 0)
            sText = KeyOfEntry(nSel);
        return TRUE;
    }
    const CString sShown = GetWindowTextOf();
    if (sShown.IsEmpty())
        return TRUE;
    const int i = FindTextEntry(sShown);
    if (i < 0)
        return FALSE;
    sText = KeyOfEntry(i);
    return TRUE;
}

BOOL CGXTabbedComboBoxWnd::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszValue, const CGXStyle& style)
{
    const CString sKey = pszValue ? CString(pszValue) : style.GetIncludeValue() ? style.GetValue() : CString();
    sResult.Empty();
    if (!style.GetIncludeChoiceList())
        return FALSE;
    const CGXTabbedComboBox::Settings s = CGXTabbedComboBox::ReadSettings(style);
    CString sLine;
    if (FindChoiceListEntry(style.GetChoiceList(), sKey, s.nKeyCol, s.bTitles, TRUE, sLine) < 0)
        return FALSE;
    sResult = CGXTabbedComboBox::Field(sLine, s.nTextCol);
    return TRUE;
}

BOOL CGXTabbedComboBoxWnd::ConvertDisplayText(CString& sText, ROWCOL, ROWCOL, const CGXStyle& style)
{
    if (sText.IsEmpty() || !m_bUseChoiceList)
        return TRUE;
    if (!style.GetIncludeChoiceList())
        return FALSE;
    const CGXTabbedComboBox::Settings s = CGXTabbedComboBox::ReadSettings(style);
    CString sLine;
    if (FindChoiceListEntry(style.GetChoiceList(), sText, s.nTextCol, s.bTitles, TRUE, sLine) < 0)
        return FALSE;
    sText = CGXTabbedComboBox::Field(sLine, s.nKeyCol);
    return TRUE;
}

BOOL CGXTabbedComboBoxWnd::ValidateText(const CString& sText)
{
    if (sText.IsEmpty() || !m_bUseChoiceList || !m_bInit)
        return TRUE;
    const CGXStyle& style = GetCellStyle();
    if (!style.GetIncludeChoiceList())
        return FALSE;
    const CGXTabbedComboBox::Settings s = CGXTabbedComboBox::ReadSettings(style);
    CString sLine;
    return FindChoiceListEntry(style.GetChoiceList(), sText, s.nTextCol, s.bTitles, FALSE, sLine) >= 0;
}

BOOL CGXTabbedComboBoxWnd::Validate()
{
    if (IsActive() && IsModified()) {
        CString sKey;
        if (!GetEditText(sKey))
            return FALSE;
    }
    return CGXComboBoxWnd::Validate();
}

BOOL CGXTabbedComboBoxWnd::StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                                           const CGXStyle* pOldStyle)
{
    if (!CGXComboBoxWnd::StoreStyleRange(nRow, nCol, pStyle, mt, nType, pOldStyle))
        return FALSE;
    if (!pStyle || (mt != gxOverride && mt != gxApplyNew))
        return TRUE;
    if (m_pGrid->IsCurrentCellAt(nRow, nCol) && IsInitializedFor(nRow, nCol)
        && (TouchesTabList(*pStyle) || pStyle->GetIncludeControl() || (pStyle->GetIncludeValue() && !IsModified())))
        ReleaseCell();
    return TRUE;
}

CSize CGXTabbedComboBoxWnd::ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert)
{
    CSize size = CGXStatic::ComputeContentSize(pDC, nRow, nCol, style, bVert);
    if (!pDC || !style.GetIncludeChoiceList())
        return size;
    const CSize content =
        AddBorderToSize(CGXTabbedComboBox::ChoiceListExtent(pDC, m_pGrid, style), nRow, nCol, style);
    return CSize(std::max(size.cx, content.cx), std::max(size.cy, content.cy));
}

// ---- Drawing ----

void CGXTabbedComboBoxWnd::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                const CGXStyle* pStandardStyle)
{
    if (!pDC)
        return;
    if (m_pGrid->IsCurrentCellAt(nRow, nCol)) {
        m_rgbCellText = style.ResolveTextColor();
        m_rgbCellBack = style.GetInterior().ResolveBrushColor();
    }
    const BOOL bActiveHere = IsInitializedFor(nRow, nCol) && m_bActive && HasWindow() && !m_pGrid->IsPrinting()
                             && m_pGrid->IsCurrentCellAt(nRow, nCol);
    if (bActiveHere) {
        CGXComboBoxWnd::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    // Inactive cells show their key's text (an entry of the bound cell's window would name
    // another cell's list), or the pool bitmap that text names.
    CString sText;
    if (GetDisplayText(sText, nRow, nCol, nullptr, style) && !sText.IsEmpty())
        if (HGLOBAL hDIB = CGXDIBPool::GetPool()->GetDIB(sText)) {
            Draw3dBackground(pDC, rect, style);
            const CRect inner = ComputeInnerRect(nRow, nCol, &rect, &style);
            UINT nFlags = 0;
            if (style.GetIncludeHorizontalAlignment())
                nFlags |= style.GetHorizontalAlignment() == 1 ? 1 : style.GetHorizontalAlignment() == 2 ? 2 : 0;
            if (style.GetIncludeVerticalAlignment())
                nFlags |= style.GetVerticalAlignment() == 1 ? 4 : style.GetVerticalAlignment() == 2 ? 8 : 0;
            DrawDIB(pDC->GetSafeHdc(), hDIB, inner, 0, nFlags);
            CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
            return;
        }
    CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

void CGXTabbedComboBoxWnd::DrawItem(LPDRAWITEMSTRUCT pDis)
{
    if (!pDis || !HasWindow())
        return;
    CDC* pDC = CDC::FromHandle(pDis->hDC);
    const CRect rect(pDis->rcItem);
    const BOOL bSelected = (pDis->itemState & ODS_SELECTED) != 0;
    const COLORREF back = bSelected ? ::GetSysColor(COLOR_HIGHLIGHT) : m_rgbCellBack;
    const COLORREF fore = bSelected ? m_rgbHighlightText : m_rgbCellText;
    if (int(pDis->itemID) < 0 || int(pDis->itemID) >= m_pWnd->GetCount()) {
        pDC->FillSolidRect(&rect, m_rgbCellBack);
        return;
    }
    CString sEntry;
    m_pWnd->GetLBText(int(pDis->itemID), sEntry);
    // In the window's font, whoever prepared the DC.
    CDCStateGuard guard(pDC);
    if (CFont* pFont = m_pWnd->GetFont())
        guard.SelectFont(pFont);
    // The selection field shows the text column alone; the list all or the shown columns.
    const BOOL bField = (pDis->itemState & ODS_COMBOBOXEDIT) != 0;
    DrawTabbedItem(pDC, rect, sEntry, bField || !m_settings.bShowAllCols, m_settings.nTextCol, m_nColCount, m_anTabStops,
                   back, fore);
    if ((pDis->itemState & ODS_FOCUS) && !bField)
        pDC->DrawFocusRect(&rect);
}

void CGXTabbedComboBoxWnd::MeasureItem(LPMEASUREITEMSTRUCT pMis)
{
    if (!pMis)
        return;
    int nHeight = m_nLineHeight;
    if (HasWindow() && int(pMis->itemID) >= 0 && int(pMis->itemID) < m_pWnd->GetCount()) {
        CString sEntry;
        m_pWnd->GetLBText(int(pMis->itemID), sEntry);
        if (sEntry.IsEmpty())
            sEntry = m_strLastEntry;
        else
            m_strLastEntry = sEntry;
        MeasureTabbedItemHeight(sEntry, FALSE, m_settings.nTextCol, CGXTabbedComboBox::kMaxColumns, nHeight);
    }
    pMis->itemHeight = UINT(std::max(1, nHeight));
}

// ---- Mouse ----

void CGXTabbedComboBoxWnd::OnChildButtonClicked(CGXChild* pChild)
{
    if (pChild == m_pButton && HasWindow() && m_bInit && (m_bActive || !m_bDropOnClick)) {
        const BOOL bWasActive = m_bActive;
        if (!EnsureActive())
            return;
        if (!bWasActive)
            Refresh();
        if (!IsListOpen() && !m_bDropOnClick) {
            const CRect rectButton = m_pButton->GetRect();
            if (CWnd* pGridWnd = GetGridWnd())
                pGridWnd->UpdateWindow();
            const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
            PostClickToCombo(CPoint(rectButton.left - inner.left + 5, rectButton.top - inner.top + 5));
        }
    }
    CGXStatic::OnChildButtonClicked(pChild);
}

// ---- The window ----

void CGXTabbedComboBoxWnd::Hide()
{
    if (m_pHeader && m_pHeader->GetSafeHwnd() && m_pHeader->IsWindowVisible())
        m_pHeader->ShowWindow(SW_HIDE);
    CGXComboBoxWnd::Hide();
}

int CGXTabbedComboBoxWnd::HeaderHeight()
{
    CGXTabbedLBoxHeader* pHeader = EnsureHeader();
    int nHeight = m_nLineHeight;
    if (CDC* pDC = m_pGrid->GetMeasureDC()) {
        {
            CDCStateGuard guard(pDC);
            guard.SelectFont(pHeader->m_pFont);
            TEXTMETRIC tm {};
            pDC->GetTextMetrics(&tm);
            nHeight = tm.tmHeight;
        }
        m_pGrid->ReleaseMeasureDC();
    }
    return nHeight + CGXTabbedComboBox::kHeaderPadding;
}

BOOL CGXTabbedComboBoxWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor)
{
    if (m_bInCtlColor || !m_bActive || !HasWindow() || !pWnd || !pWnd->GetSafeHwnd())
        return FALSE;
    m_bInCtlColor = TRUE;
    const HWND hWnd = pWnd->GetSafeHwnd();
    char szClass[32] = {};
    ::GetClassName(hWnd, szClass, sizeof szClass);
    if (nCtlColor == CTLCOLOR_LISTBOX && strcasecmp(szClass, "ComboLBox") == 0) {
        CRect rect, rectCombo, rectClient;
        ::GetWindowRect(hWnd, &rect);
        m_pWnd->GetWindowRect(&rectCombo);
        m_pWnd->GetClientRect(&rectClient);
        CRect desk;
        ::GetWindowRect(::GetDesktopWindow(), &desk);
        // 1. As wide as the columns; at the desktop's right edge, right-aligned with the combo.
        rect.right = rect.left + std::max<int>(rectClient.Width(), m_nTotalWidth);
        if (rect.right > desk.right)
            rect.OffsetRect(rectCombo.right - rect.right, 0);
        // 2. The titles on the list: between the combo and a list below it, else on the list.
        if (m_settings.bTitles && !(m_pHeader && m_pHeader->GetSafeHwnd() && m_pHeader->IsWindowVisible())) {
            CGXTabbedLBoxHeader* pHeader = EnsureHeader();
            pHeader->m_bTabbed = m_settings.bShowAllCols;
            pHeader->m_nDisplayOffset = m_settings.nTextCol;
            pHeader->m_nTabStops = m_nColCount;
            pHeader->m_pTabStops = m_anTabStops;
            pHeader->m_pFont = m_pWnd->GetFont();
            const int nHeight = HeaderHeight();
            CRect rectHeader;
            if (rect.top >= rectCombo.bottom - 1) {
                rectHeader = CRect(rect.left, rect.top, rect.right, rect.top + nHeight);
                rect.OffsetRect(0, nHeight);
            } else {
                rectHeader = CRect(rect.left, rect.top - nHeight, rect.right, rect.top);
            }
            pHeader->SetWindowPos(&CWnd::wndTopMost, rectHeader.left, rectHeader.top, rectHeader.Width(),
                                  rectHeader.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
            pHeader->Invalidate();
        }
        // 3. Kept on the desktop; moved when it changed.
        rect.IntersectRect(&rect, &desk);
        if (rect != m_rectList) {
            m_rectList = rect;
            ::MoveWindow(hWnd, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
            if (m_pHeader && m_pHeader->GetSafeHwnd() && m_pHeader->IsWindowVisible()) {
                CRect rectHeader;
                m_pHeader->GetWindowRect(&rectHeader);
                m_pHeader->SetWindowPos(&CWnd::wndTopMost, rect.left, rectHeader.top, rect.Width(), rectHeader.Height(),
                                        SWP_NOACTIVATE);
                m_pHeader->UpdateWindow();
            }
        }
    } else if (nCtlColor == CTLCOLOR_EDIT && !IsListOpen() && m_pHeader && m_pHeader->GetSafeHwnd()
               && m_pHeader->IsWindowVisible()) {
        // 4. A header left over from a list that closed.
        m_pHeader->ShowWindow(SW_HIDE);
    }
    m_bInCtlColor = FALSE;
    return FALSE;
}

BOOL CGXTabbedComboBoxWnd::HandleCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (HasWindow() && HWND(lParam) == m_pWnd->GetSafeHwnd()) {
        if (HIWORD(wParam) == CBN_CLOSEUP) {
            if (m_pHeader && m_pHeader->GetSafeHwnd())
                m_pHeader->ShowWindow(SW_HIDE);
            m_rectList.SetRectEmpty();
        } else if (HIWORD(wParam) == CBN_DROPDOWN) {
            m_rectList.SetRectEmpty();
        }
    }
    return CGXComboBoxWnd::HandleCommandMessage(wParam, lParam);
}

BOOL CGXTabbedComboBoxWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_SHOWWINDOW && !wParam && m_pHeader && m_pHeader->GetSafeHwnd())
        m_pHeader->ShowWindow(SW_HIDE);
    return CGXComboBoxWnd::OnWindowMessage(message, wParam, lParam, result);
}

BOOL CGXTabbedComboBoxWnd::FilterKeyDown(UINT nChar, LPARAM lParam)
{
    if (nChar == VK_ESCAPE && m_bInit && m_bActive && !(GetKeyState(VK_CONTROL) & 0x8000)) {
        // One press closes the list and cancels the edit.
        if (IsListOpen())
            m_pWnd->ShowDropDown(FALSE);
        if (CancelEditing()) {
            InitForCell(m_nRow, m_nCol);
            Refresh();
            AfterCancelEditing();
            if (CWnd* pGridWnd = GetGridWnd())
                WithFocusChangesIgnored([&] { pGridWnd->SetFocus(); });
        }
        return TRUE;
    }
    return CGXComboBoxWnd::FilterKeyDown(nChar, lParam);
}

BOOL CGXTabbedComboBoxWnd::OnEditPartChar(UINT nChar, LPARAM)
{
    if (!m_bInit || !m_bActive || !HasWindow() || nChar < 32 || nChar == 127 || IsCellReadOnly() || !m_bUseChoiceList)
        return FALSE;
    CEdit* pEdit = GetEditPart();
    if (!pEdit || (pEdit->GetStyle() & ES_READONLY))
        return FALSE;
    // The text the character would make.
    const CString sOld = GetWindowTextOf();
    int nStart = 0, nEnd = 0;
    pEdit->GetSel(nStart, nEnd);
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    const CString sChar = GXCodePointToUtf8(nChar);
    const CString sNew = sOld.Left(ByteOffsetOfChar(sOld, nStart)) + sChar + sOld.Mid(ByteOffsetOfChar(sOld, nEnd));
    int nFound = -1;
    for (int i = 0, n = m_pWnd->GetCount(); i < n && nFound < 0; ++i)
        if (BeginsNoCase(TextOfEntry(i), sNew))
            nFound = i;
    if (nFound < 0)
        return TRUE;  // refused: the text, caret and selection stay
    pEdit->ReplaceSel(sChar, TRUE);
    if (m_bAutoComplete) {
        const int nTyped = CharCount(sNew);
        m_pWnd->SetCurSel(nFound);
        pEdit->SetWindowText(TextOfEntry(nFound));
        pEdit->SetSel(nTyped, -1);
    }
    SetModified(TRUE);
    NotifyModified();
    return TRUE;
}
