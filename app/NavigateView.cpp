// The outline: loading table Tree into the tree, adding items, opening them, and the mouse.

#include "app/NavigateView.h"

#include "app/Config.h"
#include "app/DaoqueryView.h"
#include "app/MainFrm.h"
#include "app/MediaView.h"
#include "app/ViewerDoc.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/base/exceptions.h"
#include "platform/sys/shell.h"
#include "platform/ui/menu.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"
#include "resources/frame_ids.h"
#include "resources/outline_ids.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

IMPLEMENT_DYNCREATE(CNavigateView, CTreeView)

BEGIN_MESSAGE_MAP(CNavigateView, CTreeView)
    ON_WM_SHOWWINDOW()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_WM_SETFOCUS()
    ON_WM_DESTROY()
    ON_COMMAND(ID_RENAME_DIRECTORY_LIST, OnRenameDirectoryList)
    ON_COMMAND(ID_DELETE_DIRECTORY_LIST, OnDeleteDirectoryList)
    ON_COMMAND(ID_RENAME_FAVORITE, OnRenameFavorite)
    ON_COMMAND(ID_DELETE_FAVORITE, OnDeleteFavorite)
    ON_COMMAND(ID_FAVORITE_NOTES, OnFavoriteNotes)
    ON_COMMAND(ID_ORGANIZE_FAVORITES, OnOrganizeFavorites)
END_MESSAGE_MAP()

namespace {

const char kReinstall[] = "\nPlease re-install this program and try again";
const char kViewsKey[] = "Views";
const char kFavoritesKey[] = "Favorites";
// The saved lists' root is known by this text: the context menu looks for it.
const char kViewsText[] = "Directory Lists";
// A hit on the item itself, not beside it.
const UINT kOnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;

CString outlineOpenError(const CDaoException& e)
{
    return "Error opening the outline! This program was unable to open the table named Tree in the custom database " +
           GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

CString outlineWriteError(const CDaoException& e)
{
    return "Error writing to the outline! This program was unable to write to the table named Tree in the custom "
           "database " + GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

} // namespace

CString OutlineReadError(const CDaoException& e)
{
    return "Error reading the outline! This program was unable to read from the table named Tree in the custom "
           "database " + GetCustomPath() + kReinstall + PvJetErrorTail(e);
}

BOOL ParseRecordKeyLink(const CString& strLink, long& nKey)
{
    const char* text = strLink;
    if (!*text)
        return FALSE;
    for (const char* p = *text == '-' ? text + 1 : text; ; ++p) {
        if (!*p)
            break;
        if (*p < '0' || *p > '9')
            return FALSE;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno == ERANGE || end == text || *end || value < LONG_MIN || value > LONG_MAX)
        return FALSE;
    nKey = long(value);
    return TRUE;
}

CNavigateView::CNavigateView() = default;
CNavigateView::~CNavigateView() = default;

BOOL CNavigateView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    return CTreeView::PreCreateWindow(cs);
}

void CNavigateView::OnDraw(CDC* pDC) { pDC->SetBkColor(RGB(255, 255, 255)); }

CMainFrame* CNavigateView::GetMainFrame() const { return dynamic_cast<CMainFrame*>(GetParentFrame()); }

// ---- Keys and items ----

HTREEITEM CNavigateView::FindItem(const CString& strKey) const
{
    void* p = nullptr;
    return m_keyMap.Lookup(strKey, p) ? static_cast<HTREEITEM>(p) : nullptr;
}

CString CNavigateView::GetItemKey(HTREEITEM hItem) const
{
    auto it = m_itemKeys.find(hItem);
    return it == m_itemKeys.end() ? CString() : *it->second;
}

HTREEITEM CNavigateView::InsertOutlineItem(const CString& strKey, const CString& strText, int nImage,
                                           int nSelectedImage, HTREEITEM hParent)
{
    auto key = std::make_unique<CString>(strKey);
    HTREEITEM hItem = GetTreeCtrl().InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, strText,
                                               nImage, nSelectedImage, 0, 0, reinterpret_cast<LPARAM>(key.get()),
                                               hParent, TVI_LAST);
    if (!hItem)
        return nullptr;
    m_itemKeys[hItem] = std::move(key);
    m_keyMap.SetAt(strKey, hItem);
    return hItem;
}

void CNavigateView::ForgetKeys(HTREEITEM hItem)
{
    CTreeCtrl& tree = GetTreeCtrl();
    for (HTREEITEM hChild = tree.GetChildItem(hItem); hChild; hChild = tree.GetNextSiblingItem(hChild))
        ForgetKeys(hChild);
    auto it = m_itemKeys.find(hItem);
    if (it == m_itemKeys.end())
        return;
    // A key mapped to another item (a duplicate in the table) keeps that item.
    if (FindItem(*it->second) == hItem)
        m_keyMap.RemoveKey(*it->second);
    m_itemKeys.erase(it);
}

void CNavigateView::RemoveOutlineItem(HTREEITEM hItem)
{
    ForgetKeys(hItem);
    GetTreeCtrl().DeleteItem(hItem);
}

void CNavigateView::RekeyItem(HTREEITEM hItem, const CString& strNewKey)
{
    auto it = m_itemKeys.find(hItem);
    if (it == m_itemKeys.end())
        return;
    if (FindItem(*it->second) == hItem)
        m_keyMap.RemoveKey(*it->second);
    *it->second = strNewKey;
    m_keyMap.SetAt(strNewKey, hItem);
}

void CNavigateView::CountUnder(const CString& strParent, int nDelta)
{
    if (strParent == kViewsKey)
        m_nViewCount += nDelta;
    else if (strParent == kFavoritesKey)
        m_nFavoriteCount += nDelta;
}

BOOL CNavigateView::SeekKey(const CString& strKey)
{
    if (m_treeSet.IsBOF() && m_treeSet.IsEOF())
        return FALSE;
    for (m_treeSet.MoveFirst(); !m_treeSet.IsEOF(); m_treeSet.MoveNext())
        if (m_treeSet.m_Key == strKey)
            return TRUE;
    return FALSE;
}

// ---- Loading ----

void CNavigateView::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CTreeView::OnShowWindow(bShow, nStatus);
    m_nFolderImage = 2;
    m_nFolderSelectedImage = 1;
    m_nFavoriteImage = 0;
    m_nFavoriteNotesImage = 3;
    if (!m_bFirstShow)
        return;
    m_bFirstShow = FALSE;
    LoadImageList();
    LoadOutline();
}

void CNavigateView::LoadImageList()
{
    const CString path = GetDataPath() + "TreeList.bma";
    for (;;) {
        CFile file;
        if (file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) {
            try {
                CArchive ar(&file, CArchive::load, 4096);
                // A damaged list leaves the outline without pictures; its texts still show.
                if (m_imageList.Read(&ar))
                    GetTreeCtrl().SetImageList(&m_imageList, TVSIL_NORMAL);
            } catch (CException&) {
                m_imageList.DeleteImageList();
            }
            return;
        }
        if (AfxMessageBox("The file " + GetDataPath() +
                              "TreeList.bma could not be found.\nIf this path is to your CD-ROM drive, make sure the "
                              "program CD is in the drive.\nIf this path is to your hard drive, please re-install "
                              "this program and try again",
                          MB_RETRYCANCEL) != IDRETRY)
            return;
    }
}

void CNavigateView::LoadOutline()
{
    try {
        m_treeSet.Open();
    } catch (const CDaoException& e) {
        AfxMessageBox(outlineOpenError(e), MB_ICONEXCLAMATION);
        return;
    }
    CTreeCtrl& tree = GetTreeCtrl();
    try {
        m_treeSet.SetCurrentIndex("Order");
        m_treeSet.SetLockingMode(FALSE);
        if (!(m_treeSet.IsBOF() && m_treeSet.IsEOF()))
            m_treeSet.MoveFirst();
        for (; !m_treeSet.IsEOF(); m_treeSet.MoveNext()) {
            const CTreeRecordset& row = m_treeSet;
            if (row.m_Parent.IsEmpty()) {
                InsertOutlineItem(row.m_Key, row.m_Text, int(row.m_Image), int(row.m_Selected_Image), TVI_ROOT);
                continue;
            }
            CountUnder(row.m_Parent, 1);
            HTREEITEM hParent = FindItem(row.m_Parent);
            if (!hParent) {
                AfxMessageBox("There is an error in the table named Tree in the custom database " + GetCustomPath() +
                              "\nError adding " + row.m_Text + " to the outline, the parent node " + row.m_Parent +
                              " was not found.\nPlease re-install this program and try again.  If the problem "
                              "persists, please call the toll free number found in the about dialog in the help menu "
                              "of this program.");
                continue;
            }
            InsertOutlineItem(row.m_Key, row.m_Text, int(row.m_Image), int(row.m_Selected_Image), hParent);
            if (row.m_Expanded == 1)
                tree.Expand(hParent, TVE_EXPAND);
        }
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
    }
    if (HTREEITEM hFirst = tree.GetRootItem())
        tree.Expand(hFirst, TVE_EXPAND);
}

// ---- Adding ----

BOOL CNavigateView::AddOutlineItem(CString Key, CString Parent, CString Text, int Image, int SelectedImage,
                                   CString Link, CString Type)
{
    if (Parent == kViewsKey && !FindItem(kViewsKey) &&
        !AddOutlineItem(kViewsKey, "", kViewsText, 0, 0, "", ""))
        return FALSE;
    if (Parent == kFavoritesKey && !FindItem(kFavoritesKey) &&
        !AddOutlineItem(kFavoritesKey, "", "Favorites", 1, 1, "", ""))
        return FALSE;
    try {
        if (!m_treeSet.AppendRow(Key, Parent, Text, Image, SelectedImage, Link, Type, 0))
            return FALSE;
    } catch (const CDaoException& e) {
        AfxMessageBox(outlineWriteError(e), MB_ICONEXCLAMATION);
        return FALSE;
    }
    HTREEITEM hParent = TVI_ROOT;
    if (!Parent.IsEmpty()) {
        CountUnder(Parent, 1);
        hParent = FindItem(Parent);
        if (!hParent) {
            AfxMessageBox("Error adding " + Text + " to the outline, the parent node " + Parent + " was not found.");
            return TRUE;
        }
    }
    InsertOutlineItem(Key, Text, Image, SelectedImage, hParent);
    Invalidate();
    return TRUE;
}

// ---- Opening ----

void CNavigateView::OpenOutlineItem()
{
    m_bDetailsHistory = FALSE;
    HTREEITEM hItem = GetTreeCtrl().GetSelectedItem();
    if (!hItem)
        return;
    CString type, link;
    try {
        if (SeekKey(GetItemKey(hItem))) {
            type = m_treeSet.m_Type;
            link = m_treeSet.m_Link;
        }
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
        return;
    }
    OpenByType(type, link, hItem);
}

void CNavigateView::OpenByType(const CString& type, const CString& link, HTREEITEM hItem)
{
    CMainFrame* frame = GetMainFrame();
    if (type == "Query") {
        if (!frame)
            return;
        CWaitCursor wait;
        m_bDetailsHistory = TRUE;
        try {
            if (auto* doc = dynamic_cast<CViewerDoc*>(GetDocument()))
                doc->m_strQuery = link;
            frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
            if (frame->m_pQueryView)
                frame->m_pQueryView->RunQuery(link);
            frame->ShowSelectedRowDetails();
        } catch (const CViewerAbort&) {
            // the user gave up on the database
        }
    } else if (type == "Media" || type == "EmbedWeb") {
        if (!frame)
            return;
        CWaitCursor wait;
        frame->SwitchLayout(ID_LAYOUT_HOME);
        if (frame->m_pMediaView)
            frame->m_pMediaView->Navigate2(type == "Media" ? GetMediaPath() + link : link, 0, nullptr, nullptr,
                                           nullptr, 0);
        if (type == "Media") {
            frame->m_wndSplitter2.SetRowInfo(0, 0, 0);
            frame->m_wndSplitter2.RecalcLayout();
        }
    } else if (type == "Web") {
        // A link is a page to show, never a program to run.
        const bool opened = !PvNamesProgram(link) &&
                            reinterpret_cast<INT_PTR>(ShellExecute(m_hWnd, "open", link, nullptr, nullptr,
                                                                   SW_SHOWMINNOACTIVE)) > 32;
        if (!opened)
            AfxMessageBox("Unable to find " + link, MB_ICONINFORMATION);
    } else if (type == "Details") {
        OpenRecordDetails(link);
    } else if (hItem) {
        GetTreeCtrl().Expand(hItem, TVE_TOGGLE);
    }
}

void CNavigateView::OpenRecordDetails(const CString& strLink)
{
    CMainFrame* frame = GetMainFrame();
    long key = 0;
    if (!frame || !ParseRecordKeyLink(strLink, key))
        key = 0;
    if (frame && key != frame->m_nCurrentKey) {
        CWaitCursor wait;
        CDaoqueryView* grid = frame->m_pQueryView;
        ROWCOL row = 0, col = 0;
        if (!grid || !grid->QueryCurrentCell(row, col))
            col = 1;
        try {
            if (auto* doc = dynamic_cast<CViewerDoc*>(GetDocument()))
                doc->OpenDirectoryDatabase();
            frame->ShowAllEntries();
        } catch (const CViewerAbort&) {
            m_bDetailsHistory = TRUE;
            return;
        }
        const long found = frame->GoToRecordRow(key);
        if (found == -1) {
            AfxMessageBox("This person does not exist in the database.");
            m_bDetailsHistory = TRUE;
            return;
        }
        frame->ShowRecordDetails(key, FALSE);
        if (grid) {
            grid->PlaceCurrentCell(ROWCOL(found), 1, 10);
            grid->PlaceCurrentCell(ROWCOL(found), col, 10);
        }
    }
    m_bDetailsHistory = TRUE;
}

// ---- Mouse and focus ----

void CNavigateView::OnLButtonDown(UINT nFlags, CPoint point)
{
    CTreeCtrl& tree = GetTreeCtrl();
    UINT flags = 0;
    HTREEITEM hItem = tree.HitTest(point, &flags);
    if (!hItem || !(flags & kOnItem)) {
        CTreeView::OnLButtonDown(nFlags, point);
        return;
    }
    tree.SelectItem(hItem);
    OpenOutlineItem();
}

void CNavigateView::OnLButtonDblClk(UINT, CPoint)
{
    m_bDetailsHistory = FALSE;
    HTREEITEM hItem = GetTreeCtrl().GetSelectedItem();
    if (!hItem)
        return;
    try {
        if (SeekKey(GetItemKey(hItem)) && m_treeSet.m_Type == "Details")
            m_bDetailsHistory = TRUE;
    } catch (const CDaoException& e) {
        AfxMessageBox(OutlineReadError(e), MB_ICONEXCLAMATION);
    }
}

void CNavigateView::OnRButtonDown(UINT, CPoint point)
{
    ClientToScreen(&point);
    ShowContextMenu(point);
}

// The menu came with the button going down; the control would offer it again on the way up.
void CNavigateView::OnRButtonUp(UINT, CPoint) {}

void CNavigateView::OnContextMenu(CWnd*, CPoint point) { ShowContextMenu(point); }

UINT CNavigateView::ChooseContextMenu(CPoint ptScreen)
{
    CTreeCtrl& tree = GetTreeCtrl();
    CPoint ptClient = ptScreen;
    ScreenToClient(&ptClient);
    UINT flags = 0;
    HTREEITEM hHit = tree.HitTest(ptClient, &flags);
    if (!hHit || !(flags & kOnItem))
        return 0;
    tree.SelectItem(hHit);
    if (tree.ItemHasChildren(hHit))
        return 0;
    HTREEITEM hY = hHit;
    if (tree.GetItemText(hHit) != "People with E-Mail Addresses") {
        hY = tree.GetParentItem(hHit);
        if (hY && tree.GetItemText(hY) == kViewsText)
            return IDR_DIRECTORY_LIST_MENU;
    }
    if (hY && tree.GetItemText(hY) == "Favorites")
        return IDR_FAVORITE_MENU;
    HTREEITEM hZ = hY ? tree.GetParentItem(hY) : nullptr;
    return hZ && tree.GetItemText(hZ) == "Favorites" ? IDR_FAVORITE_MENU : 0;
}

void CNavigateView::ShowContextMenu(CPoint ptScreen)
{
    const UINT nMenu = ChooseContextMenu(ptScreen);
    CMenu menu;
    if (!nMenu || !menu.LoadMenu(nMenu))
        return;
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, this);
}

// Menu commands keep going to the directory grid.
void CNavigateView::OnSetFocus(CWnd* pOldWnd)
{
    CTreeView::OnSetFocus(pOldWnd);
    CMainFrame* frame = GetMainFrame();
    if (frame && frame->m_pQueryView)
        frame->SetActiveView(frame->m_pQueryView, TRUE);
}

void CNavigateView::OnDestroy()
{
    m_keyMap.RemoveAll();
    GetTreeCtrl().DeleteAllItems();
    m_itemKeys.clear();
    CTreeView::OnDestroy();
}
