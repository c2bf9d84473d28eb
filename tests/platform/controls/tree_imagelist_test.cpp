// Tree view and image list: expansion, hit tests, notifications, the archive round trip.

#include "ctltest.h"

#include "platform/base/CFile.h"

#include <algorithm>
#include <string>

TEST_F(CtlTest, TreeExpandsCollapsesAndHitTests)
{
    CWnd host;
    host.Attach(parent);
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                            CRect(10, 10, 260, 300), &host, 50));
    HTREEITEM views = tree.InsertItem("Directory Views", 0, 0);
    HTREEITEM favs = tree.InsertItem("Favorites", 1, 1);
    HTREEITEM a = tree.InsertItem("Staff", 2, 1, views);
    HTREEITEM b = tree.InsertItem("Students", 2, 1, views);
    HTREEITEM c = tree.InsertItem("Smith, Ann", 0, 0, favs);
    tree.SetItemData(c, 99);
    EXPECT_EQ(tree.GetCount(), 5u);
    EXPECT_EQ(tree.GetRootItem(), views);
    EXPECT_EQ(tree.GetNextSiblingItem(views), favs);
    EXPECT_EQ(tree.GetChildItem(views), a);
    EXPECT_EQ(tree.GetNextSiblingItem(a), b);
    EXPECT_EQ(tree.GetParentItem(c), favs);
    EXPECT_EQ(tree.GetItemData(c), 99u);
    EXPECT_EQ(tree.GetItemText(b), "Students");
    int img = -1, selImg = -1;
    tree.GetItemImage(a, img, selImg);
    EXPECT_EQ(img, 2);
    EXPECT_EQ(selImg, 1);
    EXPECT_TRUE(tree.ItemHasChildren(views));
    EXPECT_FALSE(tree.ItemHasChildren(a));

    // Collapsed: the children are not visible and the second root sits on the second row.
    EXPECT_EQ(tree.GetNextVisibleItem(views), favs);
    RECT r;
    ASSERT_TRUE(tree.GetItemRect(favs, &r, TRUE));
    UINT flags = 0;
    EXPECT_EQ(tree.HitTest(CPoint(r.left + 3, r.top + 2), &flags), favs);
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
    EXPECT_EQ(tree.HitTest(CPoint(r.left + 3, 280), &flags), nullptr);
    EXPECT_TRUE(flags & TVHT_NOWHERE);

    // A click on the button expands; the notifications come before and after.
    notes.clear();
    ASSERT_TRUE(tree.GetItemRect(views, &r, TRUE));
    int buttonX = int(tree.GetIndent()) / 2;
    EXPECT_EQ(tree.HitTest(CPoint(buttonX, r.top + 4), &flags), views);
    EXPECT_TRUE(flags & TVHT_ONITEMBUTTON);
    click(tree.m_hWnd, buttonX, r.top + 4);
    EXPECT_TRUE(tree.GetItemState(views, TVIS_EXPANDED));
    EXPECT_TRUE(noted(50, int(TVN_ITEMEXPANDING)));
    EXPECT_TRUE(noted(50, int(TVN_ITEMEXPANDED)));
    EXPECT_EQ(tree.GetNextVisibleItem(views), a);

    // Selecting a child, then collapsing its parent moves the selection up.
    ASSERT_TRUE(tree.GetItemRect(b, &r, TRUE));
    click(tree.m_hWnd, r.left + 3, r.top + 3);
    EXPECT_EQ(tree.GetSelectedItem(), b);
    EXPECT_TRUE(noted(50, int(TVN_SELCHANGED)));
    key(VK_LEFT);                                   // to the parent
    EXPECT_EQ(tree.GetSelectedItem(), views);
    key(VK_LEFT);                                   // collapses it
    EXPECT_FALSE(tree.GetItemState(views, TVIS_EXPANDED));
    key(VK_DOWN);
    EXPECT_EQ(tree.GetSelectedItem(), favs);
    key(VK_RIGHT);
    EXPECT_TRUE(tree.GetItemState(favs, TVIS_EXPANDED));
    tree.Expand(views, TVE_EXPAND);
    tree.SelectItem(a);
    tree.Expand(views, TVE_COLLAPSE);
    EXPECT_EQ(tree.GetSelectedItem(), views);

    // Deleting an item takes its children; stale handles are refused, not followed.
    notes.clear();
    EXPECT_TRUE(tree.DeleteItem(views));
    EXPECT_EQ(tree.GetCount(), 2u);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), Note {50, int(TVN_DELETEITEM)}), 3);
    EXPECT_FALSE(tree.DeleteItem(a));
    EXPECT_EQ(tree.GetItemText(a), "");
    tree.DestroyWindow();
    host.Detach();
}

TEST_F(CtlTest, ImageListSurvivesArchiveRoundTrip)
{
    // A strip of three 4x4 images: red, green, and blue with a magenta (transparent) corner.
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CBitmap strip;
    ASSERT_TRUE(strip.CreateBitmap(12, 4, 1, 32, nullptr));
    CBitmap* old = screen.SelectObject(&strip);
    screen.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 0));
    screen.FillSolidRect(4, 0, 4, 4, RGB(0, 255, 0));
    screen.FillSolidRect(8, 0, 4, 4, RGB(0, 0, 255));
    screen.SetPixelV(8, 0, RGB(255, 0, 255));
    screen.SelectObject(old);

    CImageList il;
    ASSERT_TRUE(il.Create(4, 4, ILC_COLOR24 | ILC_MASK, 3, 1));
    EXPECT_EQ(il.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(il.GetImageCount(), 3);

    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        ASSERT_TRUE(il.Write(&ar));
        ar.Close();
    }
    mem.SeekToBegin();
    CImageList back;
    {
        CArchive ar(&mem, CArchive::load);
        ASSERT_TRUE(back.Read(&ar));
    }
    ASSERT_EQ(back.GetImageCount(), 3);
    int cx = 0, cy = 0;
    back.GetIconSize(&cx, &cy);
    EXPECT_EQ(cx, 4);
    EXPECT_EQ(cy, 4);

    // Drawn over white, the transparent corner stays white.
    CBitmap target;
    target.CreateBitmap(8, 8, 1, 32, nullptr);
    old = screen.SelectObject(&target);
    screen.FillSolidRect(0, 0, 8, 8, RGB(255, 255, 255));
    back.Draw(&screen, 2, CPoint(1, 1), ILD_TRANSPARENT);
    EXPECT_EQ(screen.GetPixel(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(screen.GetPixel(2, 2), RGB(0, 0, 255));
    back.Draw(&screen, 0, CPoint(1, 1), ILD_NORMAL);
    EXPECT_EQ(screen.GetPixel(1, 1), RGB(255, 0, 0));
    screen.SelectObject(old);

    // Damaged archives are refused: wrong magic, absurd sizes, cut short.
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"wrong magic", std::string("XXXX\x01\x00\x04\x00\x04\x00", 10)},
        {"huge side", std::string("PVIL\x01\x00\xff\xff\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00", 22)},
        {"cut short", std::string("PVIL\x01\x00\x04\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00\x01\x02", 24)},
        {"empty", std::string()},
    };
    for (const Case& c : cases) {
        CMemFile f(reinterpret_cast<BYTE*>(const_cast<char*>(c.bytes.data())), UINT(c.bytes.size()));
        CArchive ar(&f, CArchive::load);
        CImageList bad;
        EXPECT_FALSE(bad.Read(&ar)) << c.what;
        EXPECT_EQ(bad.GetImageCount(), 0) << c.what;
    }
}

// Callback texts are asked of the parent; Backspace goes to the parent, numpad * opens all below;
// children sort as people read.
struct DispInfoParent {
    static inline int asked = 0;
    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == TVN_GETDISPINFO) {
            auto* di = reinterpret_cast<NMTVDISPINFO*>(l);
            ++asked;
            snprintf(di->item.pszText, size_t(di->item.cchTextMax), "item %d", int(di->item.lParam));
            return 0;
        }
        return DefWindowProc(h, m, w, l);
    }
};

TEST_F(CtlTest, TreeCallbackTextsKeysAndSorting)
{
    HWND p = makeParent("DispInfoParent", &DispInfoParent::proc);
    HWND t = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 250, 250, p, nullptr, nullptr, nullptr);
    auto add = [&](HTREEITEM parentItem, const char* s, LPARAM data, HTREEITEM after = TVI_LAST) {
        TVINSERTSTRUCT ins {};
        ins.hParent = parentItem;
        ins.hInsertAfter = after;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = s ? const_cast<char*>(s) : LPSTR_TEXTCALLBACK;
        ins.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    auto textOf = [&](HTREEITEM i) {
        char b[64] = {};
        TVITEM it {};
        it.mask = TVIF_TEXT;
        it.hItem = i;
        it.pszText = b;
        it.cchTextMax = sizeof b;
        SendMessage(t, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
        return std::string(b);
    };
    HTREEITEM cb = add(TVI_ROOT, nullptr, 7);
    DispInfoParent::asked = 0;
    EXPECT_EQ(textOf(cb), "item 7");
    EXPECT_EQ(DispInfoParent::asked, 1);
    UpdateWindow(t);

    // Sorting, both on insert and on request.
    HWND t2 = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 250, 250, p, nullptr, nullptr, nullptr);
    std::swap(t, t2);
    HTREEITEM root = add(TVI_ROOT, "root", 0);
    for (const char* s : {"b", "\xc3\xa9", "E", "a", "f"}) add(root, s, 0, TVI_SORT);
    auto kids = [&](HTREEITEM of) {
        std::string order;
        for (HTREEITEM c = reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(of))); c;
             c = reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(c))))
            order += textOf(c) + " ";
        return order;
    };
    EXPECT_EQ(kids(root), "a b E \xc3\xa9 f ");
    HTREEITEM other = add(TVI_ROOT, "other", 0);
    for (const char* s : {"\xc3\x89t\xc3\xa9", "zeta", "Eta", "alpha"}) add(other, s, 0);
    SendMessage(t, TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(kids(other), "alpha Eta \xc3\x89t\xc3\xa9 zeta ");

    // Keys: numpad * opens everything below the selection, Backspace goes to the parent.
    HTREEITEM deep = add(root, "z", 0);
    HTREEITEM deeper = add(deep, "zz", 0);
    add(deeper, "zzz", 0);
    SendMessage(t, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
    SetFocus(t);
    key(VK_MULTIPLY);
    auto state = [&](HTREEITEM i) {
        TVITEM it {};
        it.mask = TVIF_STATE;
        it.hItem = i;
        it.stateMask = TVIS_EXPANDED;
        SendMessage(t, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
        return it.state;
    };
    EXPECT_TRUE(state(root) & TVIS_EXPANDED);
    EXPECT_TRUE(state(deep) & TVIS_EXPANDED);
    EXPECT_TRUE(state(deeper) & TVIS_EXPANDED);
    SendMessage(t, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(deeper));
    key(VK_BACK);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_GETNEXTITEM, TVGN_CARET, 0)), deep);
    key(VK_BACK);
    key(VK_BACK);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_GETNEXTITEM, TVGN_CARET, 0)), root) << "a root item stays";
    DestroyWindow(p);
}
