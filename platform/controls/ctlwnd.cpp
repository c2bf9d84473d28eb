// The framework's control wrappers.

#include "platform/controls/ctlwnd.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

BOOL PvCreateControl(CWnd* pWnd, LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, const RECT& rect,
                     CWnd* pParentWnd, UINT nID, DWORD dwExStyle)
{
    PvRegisterStandardControls();
    return pWnd->CreateEx(dwExStyle, lpszClass, lpszText, dwStyle, rect, pParentWnd, nID);
}

// Owner-draw messages that the parent reflects come back to the control's own handlers.
template <class T>
static BOOL ownerDrawNotify(T* self, UINT message, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM: self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); break;
    case WM_MEASUREITEM: self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); break;
    case WM_COMPAREITEM: {
        LRESULT r = self->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        if (pResult) *pResult = r;
        return TRUE;
    }
    case WM_DELETEITEM: self->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)); break;
    default: return FALSE;
    }
    if (pResult) *pResult = TRUE;
    return TRUE;
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult) *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ownerDrawNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ownerDrawNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    int n = GetTextLen(nIndex);
    if (n < 0) { rString.Empty(); return; }
    std::vector<char> buf(size_t(n) + 1, 0);
    GetText(nIndex, buf.data());
    rString = buf.data();
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int n = GetLBTextLen(nIndex);
    if (n < 0) { rString.Empty(); return; }
    std::vector<char> buf(size_t(n) + 1, 0);
    GetLBText(nIndex, buf.data());
    rString = buf.data();
}

// ---- CCheckListBox ----
// The check states live in a side table (a window property) kept in step with the items on
// insert and delete, so each item's data stays the caller's.

CCheckListBox::~CCheckListBox()
{
    auto* v = reinterpret_cast<std::vector<State>*>(::GetProp(m_hWnd, "PvCheckStates"));
    if (m_hWnd && v) { ::RemoveProp(m_hWnd, "PvCheckStates"); delete v; }
}

BOOL CCheckListBox::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    return CListBox::PreCreateWindow(cs);
}

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    dwStyle |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

CCheckListBox::State* CCheckListBox::stateOf(int nIndex) const
{
    if (!m_hWnd) return nullptr;
    auto* v = reinterpret_cast<std::vector<State>*>(::GetProp(m_hWnd, "PvCheckStates"));
    if (!v) return nullptr;
    if (nIndex < 0 || nIndex >= int(v->size())) return nullptr;
    return &(*v)[size_t(nIndex)];
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    State* s = stateOf(nIndex);
    if (!s) return;
    s->check = nCheck;
    RECT r;
    if (GetItemRect(nIndex, &r) != LB_ERR) InvalidateRect(&r, FALSE);
}

int CCheckListBox::GetCheck(int nIndex) const
{
    State* s = stateOf(nIndex);
    return s ? s->check : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    State* s = stateOf(nIndex);
    if (!s) return;
    s->enabled = bEnabled != FALSE;
    RECT r;
    if (GetItemRect(nIndex, &r) != LB_ERR) InvalidateRect(&r, FALSE);
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
    State* s = stateOf(nIndex);
    return s ? s->enabled : FALSE;
}

void CCheckListBox::toggle(int nIndex)
{
    State* s = stateOf(nIndex);
    if (!s || !s->enabled) return;
    int modes = (m_nStyle == BS_AUTO3STATE || m_nStyle == BS_3STATE) ? 3 : 2;
    SetCheck(nIndex, (s->check + 1) % modes);
    if (CWnd* p = GetParent())
        p->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    if (mis) mis->itemHeight = std::max<UINT>(mis->itemHeight, 15);
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (!dis || int(dis->itemID) < 0) return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect rc(dis->rcItem);
    const State* s = stateOf(int(dis->itemID));
    bool sel = (dis->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&rc, GetSysColor(COLOR_WINDOW));
    RECT box {rc.left + 1, rc.top + (rc.Height() - 13) / 2, rc.left + 14, rc.top + (rc.Height() - 13) / 2 + 13};
    UINT st = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (s && s->check) st |= DFCS_CHECKED;
    if (s && s->check == 2) st |= DFCS_BUTTON3STATE;
    if (s && !s->enabled) st |= DFCS_INACTIVE;
    dc->DrawFrameControl(&box, DFC_BUTTON, st);
    CRect tr(rc.left + 17, rc.top, rc.right, rc.bottom);
    CString text;
    GetText(int(dis->itemID), text);
    if (sel) dc->FillSolidRect(&tr, GetSysColor(COLOR_HIGHLIGHT));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(s && !s->enabled ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    CRect t2 = tr;
    t2.left += 2;
    dc->DrawText(text, &t2, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (dis->itemState & ODS_FOCUS) dc->DrawFocusRect(&tr);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* v = reinterpret_cast<std::vector<State>*>(::GetProp(m_hWnd, "PvCheckStates"));
    if (!v) {
        v = new std::vector<State>(size_t(std::max(0, int(DefWindowProc(LB_GETCOUNT, 0, 0)))));
        ::SetProp(m_hWnd, "PvCheckStates", v);
    }
    switch (message) {
    case LB_ADDSTRING: case LB_INSERTSTRING: {
        LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        if (r >= 0 && size_t(r) <= v->size()) v->insert(v->begin() + r, State {});
        return r;
    }
    case LB_DELETESTRING: {
        LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        if (r >= 0 && wParam < v->size()) v->erase(v->begin() + long(wParam));
        return r;
    }
    case LB_RESETCONTENT: v->clear(); break;
    case WM_LBUTTONDOWN: {
        CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        BOOL outside = TRUE;
        UINT idx = ItemFromPoint(pt, outside);
        LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        RECT ir;
        if (!outside && GetItemRect(int(idx), &ir) != LB_ERR && pt.x < ir.left + 15) toggle(int(idx));
        return r;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            int i = GetCurSel();
            if (i >= 0) toggle(i);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveProp(m_hWnd, "PvCheckStates");
        delete v;
        break;
    default: break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

// ---- CTreeCtrl ----
#include "platform/controls/treectrl.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT tvi {};
    tvi.hParent = hParent;
    tvi.hInsertAfter = hInsertAfter;
    tvi.item.mask = nMask;
    tvi.item.pszText = const_cast<LPTSTR>(lpszItem);
    tvi.item.iImage = nImage;
    tvi.item.iSelectedImage = nSelectedImage;
    tvi.item.state = nState;
    tvi.item.stateMask = nStateMask;
    tvi.item.lParam = lParam;
    return InsertItem(&tvi);
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageList)
{
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, WPARAM(nImageList),
                                                               reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr)));
    return CImageList::FromHandle(old);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEM tv {};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = hItem;
    return GetItem(&tv) && tv.cChildren != 0;
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    TVITEM tv {};
    tv.mask = nMask;
    tv.hItem = hItem;
    tv.pszText = const_cast<LPTSTR>(lpszItem);
    tv.iImage = nImage;
    tv.iSelectedImage = nSelectedImage;
    tv.state = nState;
    tv.stateMask = nStateMask;
    tv.lParam = lParam;
    return SetItem(&tv);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    std::vector<char> buf(4096, 0);
    TVITEM tv {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = hItem;
    tv.pszText = buf.data();
    tv.cchTextMax = int(buf.size());
    if (!GetItem(&tv)) return CString();
    return CString(buf.data());
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEM tv {};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = hItem;
    if (!GetItem(&tv)) return FALSE;
    nImage = tv.iImage;
    nSelectedImage = tv.iSelectedImage;
    return TRUE;
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEM tv {};
    tv.mask = TVIF_STATE | TVIF_HANDLE;
    tv.hItem = hItem;
    tv.stateMask = nStateMask;
    return GetItem(&tv) ? (tv.state & nStateMask) : 0;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEM tv {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = hItem;
    return GetItem(&tv) ? DWORD_PTR(tv.lParam) : 0;
}

// ---- CRichEditCtrl ----
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE cr {};
    GetSel(cr);
    std::vector<char> buf(size_t(std::max<LONG>(0, cr.cpMax - cr.cpMin)) * 2 + 2, 0);
    SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
    return CString(buf.data());
}

namespace {
struct StringCookie {
    const CString* in = nullptr;
    size_t pos = 0;
    std::string out;
};
DWORD readString(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb)
{
    auto* c = reinterpret_cast<StringCookie*>(cookie);
    size_t left = size_t(c->in->GetLength()) - c->pos;
    size_t n = std::min(left, size_t(std::max<LONG>(cb, 0)));
    memcpy(buf, static_cast<LPCTSTR>(*c->in) + c->pos, n);
    c->pos += n;
    *pcb = LONG(n);
    return 0;
}
DWORD writeString(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb)
{
    auto* c = reinterpret_cast<StringCookie*>(cookie);
    c->out.append(reinterpret_cast<const char*>(buf), size_t(std::max<LONG>(cb, 0)));
    *pcb = cb;
    return 0;
}
} // namespace

void CRichEditCtrl::PvSetRtf(const CString& rtf, int nFormat)
{
    StringCookie c;
    c.in = &rtf;
    EDITSTREAM es {reinterpret_cast<DWORD_PTR>(&c), 0, &readString};
    StreamIn(nFormat, es);
}

CString CRichEditCtrl::PvGetRtf(int nFormat)
{
    StringCookie c;
    EDITSTREAM es {reinterpret_cast<DWORD_PTR>(&c), 0, &writeString};
    StreamOut(nFormat, es);
    return CString(c.out);
}
