// List boxes and combo boxes: selection by mouse and keys, owner draw, dropping the list.

#include "ctltest.h"

#include <algorithm>
#include <strings.h>

TEST_F(CtlTest, ListBoxSelectsByMouseAndKeys)
{
    HWND lb = make(WC_LISTBOX, nullptr, LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER, 10, 10, 150, 80, 20);
    for (const char* s : {"pear", "apple", "fig", "banana", "cherry", "grape", "kiwi", "lime", "mango"})
        SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    ASSERT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 9);
    char buf[64];
    SendMessage(lb, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "apple") << "sorted";
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), LB_ERR);

    RECT r;
    SendMessage(lb, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    click(lb, 5, r.top + 2);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(noted(20, LBN_SELCHANGE));
    click(lb, 5, r.top + 2, true);
    EXPECT_TRUE(noted(20, LBN_DBLCLK));

    key(VK_END);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 8);
    EXPECT_GT(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 0) << "the selection scrolled into view";
    PvInputText("c");
    PvPumpMessages();
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2) << "typing a letter selects the next item with it";

    notes.clear();
    SendMessage(lb, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(notes.empty()) << "the program's own selection is not announced";
    SendMessage(lb, LB_SETITEMDATA, 3, 77);
    EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 3, 0), 77);
    EXPECT_EQ(SendMessage(lb, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("FIG")), 3);
    EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessage(lb, LB_GETTEXT, 99, reinterpret_cast<LPARAM>(buf)), LB_ERR);
}

// An owner-drawn list box asks its parent to measure and draw each item.
struct OwnerDrawLog {
    static inline int measured = 0;
    static inline std::vector<UINT> drawn;
    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_MEASUREITEM) { ++measured; reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 20; return TRUE; }
        if (m == WM_DRAWITEM) { drawn.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(l)->itemID); return TRUE; }
        return DefWindowProc(h, m, w, l);
    }
};

TEST_F(CtlTest, OwnerDrawListBoxAndCheckList)
{
    WNDCLASS wc {};
    wc.lpfnWndProc = &OwnerDrawLog::proc;
    wc.lpszClassName = "OwnerDrawParent";
    RegisterClass(&wc);
    HWND p = CreateWindowEx(0, "OwnerDrawParent", "", WS_POPUP | WS_VISIBLE, 620, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    HWND lb = CreateWindowEx(0, WC_LISTBOX, nullptr, WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED, 0, 0, 200, 100, p, nullptr, nullptr, nullptr);
    SendMessage(lb, LB_ADDSTRING, 0, 1234);
    SendMessage(lb, LB_ADDSTRING, 0, 5678);
    PvPumpMessages();
    EXPECT_EQ(OwnerDrawLog::measured, 1);
    EXPECT_EQ(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 1, 0), 5678) << "without strings the item is its data";
    EXPECT_NE(std::find(OwnerDrawLog::drawn.begin(), OwnerDrawLog::drawn.end(), 1u), OwnerDrawLog::drawn.end());

    CWnd host;
    host.Attach(parent);
    CCheckListBox clb;
    ASSERT_TRUE(clb.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(10, 10, 200, 100), &host, 30));
    clb.AddString("one");
    clb.AddString("two");
    clb.SetItemData(1, 42);
    clb.SetCheck(1, 1);
    EXPECT_EQ(clb.GetCheck(0), 0);
    EXPECT_EQ(clb.GetCheck(1), 1);
    clb.InsertString(0, "zero");
    EXPECT_EQ(clb.GetCheck(2), 1) << "check states follow their items";
    EXPECT_EQ(clb.GetItemData(2), 42u);
    RECT r;
    clb.GetItemRect(0, &r);
    click(clb.m_hWnd, 5, r.top + 3);
    EXPECT_EQ(clb.GetCheck(0), 1) << "a click on the box toggles it";
    EXPECT_TRUE(noted(30, int(CCheckListBox::CLBN_CHKCHANGE)));
    key(VK_SPACE);
    EXPECT_EQ(clb.GetCheck(0), 0);
    clb.DestroyWindow();
    host.Detach();
}

TEST_F(CtlTest, ComboDropsFollowsKeysAndCloses)
{
    HWND cb = make(WC_COMBOBOX, nullptr, CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 200, 40);
    for (const char* s : {"Red", "Green", "Blue", "Black"}) SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RECT wr;
    GetWindowRect(cb, &wr);
    EXPECT_LT(wr.bottom - wr.top, 40) << "the window is the selection field; the list drops below it";

    click(cb, 140, 5);
    EXPECT_TRUE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(noted(40, CBN_DROPDOWN));
    HWND list = nullptr;
    EnumWindows([](HWND w, LPARAM lp) -> BOOL {
        char cls[32];
        GetClassName(w, cls, sizeof cls);
        if (strcasecmp(cls, "ComboLBox") == 0 && IsWindowVisible(w)) { *reinterpret_cast<HWND*>(lp) = w; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&list));
    ASSERT_TRUE(list) << "the dropped list is a visible pop-up of class ComboLBox";
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, wr.bottom);

    notes.clear();
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(SendMessage(cb, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(noted(40, CBN_SELCHANGE));
    EXPECT_TRUE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0)) << "arrow keys keep the list open";
    key(VK_RETURN);
    EXPECT_FALSE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    std::vector<int> codes;
    for (const Note& n : notes) if (n.id == 40) codes.push_back(n.code);
    EXPECT_EQ(codes, (std::vector<int> {CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_EQ(text(cb), "Green");

    // A click on an item picks it; a click elsewhere cancels.
    click(cb, 140, 5);
    SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&lr));
    POINT p {5, lr.top + 2};
    ClientToScreen(list, &p);
    notes.clear();
    PvInputClick(p.x, p.y);
    PvPumpMessages();
    EXPECT_EQ(SendMessage(cb, CB_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(noted(40, CBN_SELENDOK));
    click(cb, 140, 5);
    notes.clear();
    PvInputClick(500, 350);
    PvPumpMessages();
    EXPECT_FALSE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(noted(40, CBN_SELENDCANCEL));
    EXPECT_TRUE(noted(40, CBN_CLOSEUP));

    // Typing a letter selects the next item that begins with it, wrapping round.
    SetFocus(cb);
    type("b");
    EXPECT_EQ(SendMessage(cb, CB_GETCURSEL, 0, 0), 3);
    type("b");
    EXPECT_EQ(SendMessage(cb, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(CtlTest, DropDownComboHasAnEditFirstChild)
{
    HWND cb = make(WC_COMBOBOX, "start", CBS_DROPDOWN | CBS_AUTOHSCROLL, 10, 10, 150, 120, 41);
    HWND edit = GetWindow(cb, GW_CHILD);
    ASSERT_TRUE(edit);
    char cls[32];
    GetClassName(edit, cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");
    EXPECT_EQ(text(cb), "start");
    SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha"));
    SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta"));
    SendMessage(cb, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(text(edit), "beta");
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
    type("x");
    EXPECT_TRUE(noted(41, CBN_EDITCHANGE));
    EXPECT_EQ(text(cb), "x");
    key(VK_F4);
    EXPECT_TRUE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    key(VK_ESCAPE);
    EXPECT_FALSE(SendMessage(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessage(cb, CB_SETDROPPEDWIDTH, 300, 0), 300);
    EXPECT_EQ(SendMessage(cb, CB_GETDROPPEDWIDTH, 0, 0), 300);
}
