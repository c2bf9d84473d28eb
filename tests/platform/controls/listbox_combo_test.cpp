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
    HWND p = makeParent("OwnerDrawParent", &OwnerDrawLog::proc, 620);
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

static std::vector<std::string> listTexts(HWND lb)
{
    std::vector<std::string> v;
    char buf[256];
    for (int i = 0; i < int(SendMessage(lb, LB_GETCOUNT, 0, 0)); ++i) {
        SendMessage(lb, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
        v.push_back(buf);
    }
    return v;
}

// Sorting, finding and type-ahead compare as a person reads: case-blind, accents beside their letters.
TEST_F(CtlTest, ListBoxSortsFindsAndTypesAheadAsPeopleRead)
{
    HWND lb = make(WC_LISTBOX, nullptr, LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 10, 10, 150, 100, 21);
    for (const char* s : {"Zoe", "\xc3\x89mile", "emma", "Eric", "adam", "\xc3\xa9lise", "Ed"})
        SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(listTexts(lb), (std::vector<std::string> {"adam", "Ed", "\xc3\xa9lise", "\xc3\x89mile", "emma", "Eric", "Zoe"}));

    struct Case {
        const char* name;
        UINT msg;
        const char* key;
        int expect;
    };
    const Case cases[] = {
        {.name = "prefix, case-blind", .msg = LB_FINDSTRING, .key = "ER", .expect = 5},
        {.name = "prefix with its accent", .msg = LB_FINDSTRING, .key = "\xc3\xa9l", .expect = 2},
        {.name = "an accent is not its base letter", .msg = LB_FINDSTRING, .key = "el", .expect = LB_ERR},
        {.name = "exact, case-blind", .msg = LB_FINDSTRINGEXACT, .key = "\xc3\x89MILE", .expect = 3},
        {.name = "exact is not a prefix", .msg = LB_FINDSTRINGEXACT, .key = "Em", .expect = LB_ERR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendMessage(lb, c.msg, WPARAM(-1), reinterpret_cast<LPARAM>(c.key)), c.expect);
    }

    // Letters typed together search for all of them; the same letter again steps on.
    SetFocus(lb);
    type("em");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 4) << "\"em\" finds emma, not Ed";
    PvSetTestClock(GetTickCount() + 5000);
    type("e");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 5) << "after a pause a new search starts after the selection";
    type("e");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1) << "the same letter again steps to the next, wrapping round";
    PvClearTestClock();

    // The combo box's sorted list follows the same rule.
    HWND cb = make(WC_COMBOBOX, nullptr, CBS_DROPDOWNLIST | CBS_SORT, 200, 10, 150, 100, 22);
    for (const char* s : {"b", "\xc3\xa1", "A", "c"}) SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    char buf[16];
    std::string order;
    for (int i = 0; i < 4; ++i) {
        SendMessage(cb, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
        order += std::string(buf) + " ";
    }
    EXPECT_EQ(order, "A \xc3\xa1 b c ");
}

// LBS_EXTENDEDSEL: a click selects one, Shift stretches from the anchor, Ctrl toggles, a drag spans.
TEST_F(CtlTest, ExtendedSelectionListBox)
{
    HWND lb = make(WC_LISTBOX, nullptr, LBS_NOTIFY | LBS_EXTENDEDSEL, 10, 10, 150, 200, 23);
    for (const char* s : {"0", "1", "2", "3", "4", "5", "6", "7"}) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    auto selected = [&] {
        std::vector<int> v(8);
        v.resize(size_t(SendMessage(lb, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(v.data()))));
        return v;
    };
    auto at = [&](int i) {
        RECT r;
        SendMessage(lb, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        POINT p {5, int(r.top) + 2};
        ClientToScreen(lb, &p);
        return p;
    };
    struct Step {
        const char* name;
        int item;
        bool shift, ctrl;
        std::vector<int> expect;
    };
    const Step clicks[] = {
        {.name = "click", .item = 2, .shift = false, .ctrl = false, .expect = {2}},
        {.name = "shift+click", .item = 5, .shift = true, .ctrl = false, .expect = {2, 3, 4, 5}},
        {.name = "shift+click back over the anchor", .item = 0, .shift = true, .ctrl = false, .expect = {0, 1, 2}},
        {.name = "ctrl+click adds", .item = 6, .shift = false, .ctrl = true, .expect = {0, 1, 2, 6}},
        {.name = "ctrl+click again removes", .item = 1, .shift = false, .ctrl = true, .expect = {0, 2, 6}},
        {.name = "a plain click starts afresh", .item = 4, .shift = false, .ctrl = false, .expect = {4}},
    };
    for (const Step& s : clicks) {
        SCOPED_TRACE(s.name);
        if (s.shift) PvInputKey(VK_SHIFT, true);
        if (s.ctrl) PvInputKey(VK_CONTROL, true);
        POINT p = at(s.item);
        PvInputClick(p.x, p.y);
        if (s.shift) PvInputKey(VK_SHIFT, false);
        if (s.ctrl) PvInputKey(VK_CONTROL, false);
        PvPumpMessages();
        EXPECT_EQ(selected(), s.expect);
    }
    key(VK_DOWN, false, true);
    key(VK_DOWN, false, true);
    EXPECT_EQ(selected(), (std::vector<int> {4, 5, 6})) << "Shift+Down stretches from the anchor";
    key(VK_UP);
    EXPECT_EQ(selected(), (std::vector<int> {5})) << "a plain arrow moves a single selection";

    // Dragging from 1 to 3.
    POINT a = at(1), b = at(3);
    PvInputMouseMove(a.x, a.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(b.x, b.y);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_EQ(selected(), (std::vector<int> {1, 2, 3}));
    EXPECT_TRUE(noted(23, LBN_SELCHANGE));
}

// The program's own changes to a combo's edit are not the user's: no CBN_EDITUPDATE or
// CBN_EDITCHANGE, so a handler that puts text back does not call itself again.
struct RestoringParent {
    static inline int editChanges = 0;
    static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_COMMAND && (HIWORD(w) == CBN_EDITCHANGE || HIWORD(w) == CBN_EDITUPDATE)) {
            if (++editChanges > 50) return 0;   // would recurse without end
            if (HIWORD(w) == CBN_EDITCHANGE) SetWindowText(reinterpret_cast<HWND>(l), "locked");
        }
        return DefWindowProc(h, m, w, l);
    }
};

TEST_F(CtlTest, ComboReportsOnlyTheUsersEditsAndKeyboardClose)
{
    HWND p = makeParent("RestoringParent", &RestoringParent::proc);
    HWND cb = CreateWindowEx(0, WC_COMBOBOX, "locked", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 10, 150, 120, p, nullptr, nullptr, nullptr);
    for (const char* s : {"alpha", "beta"}) SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RestoringParent::editChanges = 0;
    struct Case {
        const char* name;
        void (*act)(HWND);
    };
    const Case quiet[] = {
        {"CB_SETCURSEL", [](HWND c) { SendMessage(c, CB_SETCURSEL, 1, 0); }},
        {"CB_SETCURSEL -1", [](HWND c) { SendMessage(c, CB_SETCURSEL, WPARAM(-1), 0); }},
        {"CB_SELECTSTRING", [](HWND c) { SendMessage(c, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("al")); }},
        {"WM_SETTEXT", [](HWND c) { SetWindowText(c, "other"); }},
        {"CB_RESETCONTENT", [](HWND c) { SendMessage(c, CB_RESETCONTENT, 0, 0); }},
    };
    for (const Case& c : quiet) {
        SCOPED_TRACE(c.name);
        c.act(cb);
        EXPECT_EQ(RestoringParent::editChanges, 0);
    }
    // The user's typing is reported, and the handler's own restore does not re-enter.
    SetFocus(GetWindow(cb, GW_CHILD));
    type("x");
    EXPECT_EQ(RestoringParent::editChanges, 2) << "one CBN_EDITUPDATE and one CBN_EDITCHANGE";
    EXPECT_EQ(text(cb), "locked");
    DestroyWindow(p);

    // F4 and Alt+Up close the list; after the arrows moved, the choice is confirmed.
    HWND dl = make(WC_COMBOBOX, nullptr, CBS_DROPDOWNLIST, 10, 10, 150, 200, 42);
    for (const char* s : {"one", "two", "three"}) SendMessage(dl, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessage(dl, CB_SETCURSEL, 0, 0);
    SetFocus(dl);
    struct Close {
        const char* name;
        UINT vk;
        bool alt;
        bool move;
        std::vector<int> expect;
    };
    const Close closes[] = {
        {.name = "F4 after a move", .vk = VK_F4, .alt = false, .move = true, .expect = {CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}},
        {.name = "Alt+Up after a move", .vk = VK_UP, .alt = true, .move = true, .expect = {CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}},
        {.name = "F4 without a move", .vk = VK_F4, .alt = false, .move = false, .expect = {CBN_CLOSEUP}},
    };
    for (const Close& c : closes) {
        SCOPED_TRACE(c.name);
        SendMessage(dl, CB_SETCURSEL, 0, 0);
        key(VK_F4);
        ASSERT_TRUE(SendMessage(dl, CB_GETDROPPEDSTATE, 0, 0));
        notes.clear();
        if (c.move) key(VK_DOWN);
        key(c.vk, false, false, c.alt);
        EXPECT_FALSE(SendMessage(dl, CB_GETDROPPEDSTATE, 0, 0));
        std::vector<int> codes;
        for (const Note& n : notes) if (n.id == 42) codes.push_back(n.code);
        EXPECT_EQ(codes, c.expect);
    }
}

// What the grid's combo cells lean on: the parts named by CB_GETCOMBOBOXINFO, the dropped list
// naming itself in its colour request to the combo's parent, a list that opens above the field
// when the desktop has no room below, and a text limit counted in characters.
namespace {
HWND g_colorFrom = nullptr;
LRESULT ColorParentProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_CTLCOLORLISTBOX) g_colorFrom = reinterpret_cast<HWND>(l);
    return DefWindowProc(h, m, w, l);
}
} // namespace

TEST_F(CtlTest, ComboPartsListColourPlacementAndCharacterLimit)
{
    HWND host = makeParent("ComboColorParent", &ColorParentProc);
    HWND cb = CreateWindowEx(0, WC_COMBOBOX, "", CBS_DROPDOWN | WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 150, 120, host,
                             reinterpret_cast<HMENU>(uintptr_t(42)), nullptr, nullptr);
    for (const char* s : {"Red", "Green", "Blue"}) SendMessage(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    COMBOBOXINFO info {};
    EXPECT_FALSE(GetComboBoxInfo(cb, &info)) << "the size must be set";
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(cb, &info));
    EXPECT_EQ(info.hwndCombo, cb);
    EXPECT_EQ(info.hwndItem, GetWindow(cb, GW_CHILD));
    ASSERT_TRUE(info.hwndList);
    char cls[32];
    GetClassName(info.hwndList, cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "ComboLBox");
    EXPECT_GT(info.rcButton.right - info.rcButton.left, 0);

    g_colorFrom = nullptr;
    SendMessage(cb, CB_SHOWDROPDOWN, TRUE, 0);
    UpdateWindow(info.hwndList);
    PvPumpMessages();
    EXPECT_EQ(g_colorFrom, info.hwndList) << "the list, not the combo, asks for its colours";
    RECT wr, lr;
    GetWindowRect(cb, &wr);
    GetWindowRect(info.hwndList, &lr);
    EXPECT_EQ(lr.top, wr.bottom);
    SendMessage(cb, CB_SHOWDROPDOWN, FALSE, 0);

    // Near the desktop's bottom the list opens above.
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    RECT hostRect;
    GetWindowRect(host, &hostRect);
    SetWindowPos(cb, nullptr, 10, int(desk.bottom - hostRect.top) - 30, 150, 120, SWP_NOZORDER);
    SetWindowPos(host, nullptr, 0, 0, 300, int(desk.bottom - hostRect.top), SWP_NOMOVE | SWP_NOZORDER);
    SendMessage(cb, CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(cb, &wr);
    GetWindowRect(info.hwndList, &lr);
    EXPECT_EQ(lr.bottom, wr.top) << "above the field";
    SendMessage(cb, CB_SHOWDROPDOWN, FALSE, 0);

    // The limit counts characters, not bytes.
    SendMessage(cb, CB_LIMITTEXT, 3, 0);
    SetWindowText(cb, "");
    SetFocus(info.hwndItem);
    for (const char* s : {"\xC3\xA4", "\xC3\xB6", "\xC3\xBC", "x"}) {
        // One UTF-8 character a message, as typed.
        UINT cp = 0;
        if (static_cast<unsigned char>(s[0]) < 0x80) cp = UINT(s[0]);
        else cp = ((UINT(static_cast<unsigned char>(s[0])) & 0x1F) << 6) | (UINT(static_cast<unsigned char>(s[1])) & 0x3F);
        SendMessage(info.hwndItem, WM_CHAR, cp, 1);
    }
    char buf[32] = {};
    GetWindowText(cb, buf, sizeof buf);
    EXPECT_STREQ(buf, "\xC3\xA4\xC3\xB6\xC3\xBC") << "three characters of two bytes each fit a limit of three";
    DestroyWindow(host);
}
