#pragma once
// CTreeCtrl: the framework's wrapper of the tree view window.

#include "platform/controls/ctlwnd.h"
#include "platform/controls/imagelist.h"

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
    }

    HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
    }
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                         LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
    }
    HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST)
    {
        return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0,
                          hParent, hInsertAfter);
    }
    BOOL DeleteItem(HTREEITEM hItem) { return BOOL(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem))); }
    BOOL DeleteAllItems() { return BOOL(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT))); }
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return BOOL(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem))); }
    UINT GetCount() const { return UINT(SendMessage(TVM_GETCOUNT)); }
    UINT GetIndent() const { return UINT(SendMessage(TVM_GETINDENT)); }
    void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
    CImageList* GetImageList(int nImageList) const
    {
        return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, WPARAM(nImageList))));
    }
    CImageList* SetImageList(CImageList* pImageList, int nImageList);
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    BOOL Select(HTREEITEM hItem, UINT nCode) { return BOOL(SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem))); }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
    BOOL GetItem(TVITEM* pItem) const { return BOOL(SendMessage(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
    BOOL SetItem(TVITEM* pItem) { return BOOL(SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
    BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) { return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0); }
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
    {
        return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
    }
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
    {
        return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
    }
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData) { return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, LPARAM(dwData)); }
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
    {
        *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
        return BOOL(SendMessage(TVM_GETITEMRECT, WPARAM(bTextOnly), reinterpret_cast<LPARAM>(lpRect)));
    }
    UINT GetVisibleCount() const { return UINT(SendMessage(TVM_GETVISIBLECOUNT)); }
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const
    {
        TVHITTESTINFO ht {pt, 0, nullptr};
        HTREEITEM h = HitTest(&ht);
        if (pFlags) *pFlags = ht.flags;
        return h;
    }
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    BOOL SortChildren(HTREEITEM hItem) { return BOOL(SendMessage(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(hItem))); }
    BOOL EnsureVisible(HTREEITEM hItem) { return BOOL(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem))); }
    COLORREF SetBkColor(COLORREF clr) { return COLORREF(SendMessage(TVM_SETBKCOLOR, 0, LPARAM(clr))); }
    COLORREF SetTextColor(COLORREF clr) { return COLORREF(SendMessage(TVM_SETTEXTCOLOR, 0, LPARAM(clr))); }
    SHORT SetItemHeight(SHORT cyHeight) { return SHORT(SendMessage(TVM_SETITEMHEIGHT, WPARAM(cyHeight))); }
    SHORT GetItemHeight() const { return SHORT(SendMessage(TVM_GETITEMHEIGHT)); }
};

