#include "grid/controls/gxchklist.h"

#include <cerrno>
#include <cstdlib>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxstyle.h"
#include "platform/win/win.h"

const CGXControlClass CGXCheckListComboBox::classCGXCheckListComboBox = {"CGXCheckListComboBox",
                                                                         &CGXComboBox::classCGXComboBox};

// ---- The list ----

LRESULT CGXCheckListComboLBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        m_bKeyUsed = TRUE;
        m_nOldSel = GetCurSel();
        break;
    case WM_LBUTTONDOWN:
        m_bMousePressed = TRUE;
        m_nOldSel = GetCurSel();
        break;
    case WM_LBUTTONUP: {
        const LRESULT r = CCheckListBox::WindowProc(message, wParam, lParam);
        m_bMousePressed = FALSE;  // the list stays open
        return r;
    }
    case WM_KEYUP:
        if (!m_bKeyUsed)
            break;
        if (wParam == VK_TAB) {
            m_pOwner->PostToEditWnd(WM_KEYDOWN, VK_TAB, 1);
            m_pOwner->PostToEditWnd(WM_KEYUP, VK_TAB, 1);
            m_pOwner->SendToEditWnd(WM_GX_CHOICEMADE);  // may delete this list: nothing follows
            return 0;
        }
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            m_pOwner->SendToEditWnd(WM_GX_CHOICEMADE);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN: m_bKeyUsed = TRUE; return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_DOWN && m_bKeyUsed)
            m_pOwner->SendToEditWnd(WM_GX_CHOICEMADE);
        return 0;
    case WM_KILLFOCUS: {
        const LRESULT r = CCheckListBox::WindowProc(message, wParam, lParam);
        m_pOwner->PostToEditWnd(WM_GX_CHOICEMADE);
        return r;
    }
    case WM_ERASEBKGND:
        if (GXEraseListWithParentBrush(this, HDC(wParam)))
            return TRUE;
        break;
    default: break;
    }
    return CCheckListBox::WindowProc(message, wParam, lParam);
}

// ---- The control ----

CGXCheckListComboBox::CGXCheckListComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags)
    : CGXComboBox(pGrid, nEditID, nListBoxID, nFlags)
{
}

DWORD CGXCheckListComboBox::ParseMask(const CString& sValue)
{
    const char* p = sValue;
    if (!p || !*p)
        return 0;
    char* end = nullptr;
    errno = 0;
    const unsigned long long n = std::strtoull(p, &end, 10);
    if (end == p || *end || errno == ERANGE || *p == '-' || n > 0xFFFFFFFFull)
        return 0;
    return DWORD(n);
}

BOOL CGXCheckListComboBox::GetDisplayText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR, const CGXStyle& style)
{
    sResult.Empty();
    if (!style.GetIncludeChoiceList())
        return FALSE;
    CGXChoiceListReader(style.GetChoiceList()).Next(sResult);
    return TRUE;
}

void CGXCheckListComboBox::Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                const CGXStyle* pStandardStyle)
{
    // The caption in every state: the edit window never shows.
    if (IsInitializedFor(nRow, nCol) && m_bActive)
        Hide();
    CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXCheckListComboBox::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags)
{
    if (message != WM_SYSKEYDOWN)
        return FALSE;
    return CGXComboBox::HandleKeyMessage(message, wParam, lParam, flags);
}

BOOL CGXCheckListComboBox::OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point)
{
    return CGXControl::OnLeftButtonUp(nRow, nCol, flags, point);
}

DWORD CGXCheckListComboBox::ComputeEditStyle(CRect& rectFormat, int& nNeededHeight)
{
    return CGXComboBox::ComputeEditStyle(rectFormat, nNeededHeight) | ES_READONLY;
}

BOOL CGXCheckListComboBox::OnEditChar(UINT, UINT, UINT, LRESULT& result)
{
    result = 0;
    m_strPendingText.Empty();
    return TRUE;
}

BOOL CGXCheckListComboBox::OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_SETFOCUS:
        // The grid window keeps the keys of this cell.
        if (m_pDropDown)
            OnCloseList(TRUE);
        MoveFocus(GetGridWnd());
        return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // The Tab the list hands on reaches the grid even once the control is inactive.
        m_pGrid->ProcessKeyMessage(message, wParam, lParam, GX_KEY_FROMCONTROL);
        return TRUE;
    default: return CGXComboBox::OnEditWindowMessage(message, wParam, lParam, result);
    }
}

CListBox* CGXCheckListComboBox::CreateListBox(CWnd* pParent, UINT nID)
{
    // Through the check-list box's own creation, which makes it owner-drawn.
    return AttachListBox(pParent, std::make_unique<CGXCheckListComboLBox>(this), [&](CListBox* p, const CRect& rect) {
        return static_cast<CCheckListBox*>(p)->Create(ListStyle() | WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_HASSTRINGS,
                                                      rect, pParent, nID);
    });
}

void CGXCheckListComboBox::FillListBox(CListBox* pListBox)
{
    auto* pList = dynamic_cast<CCheckListBox*>(pListBox);
    m_nEntries = 0;
    if (!pList || !m_bInit)
        return;
    const CGXStyle& style = GetCellStyle();
    if (!style.GetIncludeChoiceList())
        return;
    CGXChoiceListReader lines(style.GetChoiceList());
    CString sLine;
    lines.Next(sLine);  // the caption
    while (lines.Next(sLine)) {
        pList->AddString(sLine);
        ++m_nEntries;
    }
    const DWORD dwMask = ParseMask(m_pGrid->StoredCellValueText(m_nRow, m_nCol));
    for (int i = 0; i < m_nEntries; ++i) {
        if (i >= kMaxBits) {
            pList->Enable(i, FALSE);
            continue;
        }
        if (dwMask & (DWORD(1) << i))
            pList->SetCheck(i, 1);
    }
}

void CGXCheckListComboBox::TakeListSelection(CListBox* pListBox)
{
    auto* pList = dynamic_cast<CCheckListBox*>(pListBox);
    if (!pList || !m_bInit)
        return;
    DWORD dwMask = 0, dwExisting = 0;
    const int nCount = std::min(pList->GetCount(), int(kMaxBits));
    for (int i = 0; i < nCount; ++i) {
        dwExisting |= DWORD(1) << i;
        if (pList->GetCheck(i))
            dwMask |= DWORD(1) << i;
    }
    // Bits beyond the entries stay until the ticks change.
    const CString sStored = m_pGrid->StoredCellValueText(m_nRow, m_nCol);
    if (dwMask == (ParseMask(sStored) & dwExisting))
        return;
    SetModified(TRUE);
    CString sValue;
    if (dwMask)
        sValue.Format("%lu", static_cast<unsigned long>(dwMask));
    CGXStyle style;
    style.SetValue(sValue);
    m_pGrid->SetStyleRange(CGXCellRange(m_nRow, m_nCol), style);
}

void CGXCheckListComboBox::OnChoiceMade()
{
    BOOL bFocusInside = FALSE, bOnGrid = FALSE;
    if (!CloseWithChoice(bFocusInside, bOnGrid))
        return;
    if (bFocusInside || bOnGrid)
        MoveFocus(GetGridWnd());
    SetModified(FALSE);
    SetActive(FALSE);
    Refresh();
}

void CGXCheckListComboBox::OnCloseList(BOOL) { OnChoiceMade(); }

void CGXCheckListComboBox::OnListKillFocus()
{
    if (!m_pDropDown)
        return;
    const HWND hFocus = ::GetFocus();
    CWnd* pGridWnd = GetGridWnd();
    if (IsInside(hFocus, m_pDropDown->GetSafeHwnd()) || IsInside(hFocus, pGridWnd ? pGridWnd->GetSafeHwnd() : nullptr))
        return;
    OnCloseList(FALSE);
}
