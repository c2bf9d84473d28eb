// The edit control: typing, selection, undo, clipboard, limits, wrapping and scrolling.

#include "ctltest.h"

#include <string>

static std::pair<int, int> sel(HWND h)
{
    DWORD a = 0, b = 0;
    SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {int(a), int(b)};
}

TEST_F(CtlTest, EditTypingSelectionUndoClipboard)
{
    HWND e = make(WC_EDIT, "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22, 10);
    click(e, 5, 5);
    ASSERT_EQ(GetFocus(), e);
    type("hello world");
    EXPECT_EQ(text(e), "hello world");
    EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(noted(10, EN_CHANGE));

    key(VK_HOME, false, true);                 // Shift+Home selects back to the start
    EXPECT_EQ(sel(e), std::make_pair(0, 11));
    key(VK_END);
    key(VK_LEFT, true, true);                  // Ctrl+Shift+Left: the last word
    EXPECT_EQ(sel(e), std::make_pair(6, 11));
    key('C', true);                            // Ctrl+C
    PvInputText("\x03");                       // as the keyboard layer delivers it
    PvPumpMessages();
    type("there");
    EXPECT_EQ(text(e), "hello there");

    // One typing run is one undo step; undo again redoes.
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(text(e), "hello world");
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(text(e), "hello there");

    SendMessage(e, EM_SETSEL, 0, 5);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "world there");
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, WM_CUT, 0, 0);
    EXPECT_EQ(text(e), "");
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "world there");

    // Backspace and Delete take whole UTF-8 characters.
    SetWindowText(e, "a\xc3\xa9z");
    SendMessage(e, EM_SETSEL, 3, 3);
    PvInputText("\b");
    PvPumpMessages();
    EXPECT_EQ(text(e), "az");
}

TEST_F(CtlTest, EditLimitReadOnlyPassword)
{
    HWND e = make(WC_EDIT, "", WS_BORDER, 10, 10, 200, 22, 11);
    SendMessage(e, EM_LIMITTEXT, 5, 0);
    SetFocus(e);
    type("abcdefg");
    EXPECT_EQ(text(e), "abcde");
    EXPECT_TRUE(noted(11, EN_MAXTEXT));

    SendMessage(e, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
    type("x");
    key(VK_DELETE);
    EXPECT_EQ(text(e), "abcde");
    SendMessage(e, EM_SETREADONLY, FALSE, 0);

    SendMessage(e, EM_SETPASSWORDCHAR, '*', 0);
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, WM_COPY, 0, 0);             // a password never reaches the clipboard
    SendMessage(e, EM_SETSEL, 5, 5);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "abcde");
}

TEST_F(CtlTest, MultiLineEditWrapsAndScrolls)
{
    HWND e = make(WC_EDIT, "", WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 10, 120, 40, 12);
    SetFocus(e);
    type("the quick brown fox jumps over the lazy dog again and again");
    int lines = int(SendMessage(e, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 2) << "long text wraps inside the formatting rectangle";
    // Wrapped lines break between words.
    for (int i = 1; i < lines; ++i) {
        int start = int(SendMessage(e, EM_LINEINDEX, WPARAM(i), 0));
        EXPECT_EQ(text(e)[size_t(start) - 1], ' ') << "line " << i;
    }
    EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the caret's line scrolled into view";
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, WPARAM(-1), 0), lines - 1);

    key(VK_HOME, true);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessage(e, EM_LINESCROLL, 0, 255);
    EXPECT_LE(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), lines - 1);
    EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    // Enter inserts a line break; Up and Down keep to the lines. Setting the text of a
    // multi-line edit sends no change notification.
    notes.clear();
    SetWindowText(e, "one");
    EXPECT_FALSE(noted(12, EN_CHANGE));
    SendMessage(e, EM_SETSEL, 3, 3);
    PvInputText("\r");
    PvPumpMessages();
    type("two");
    EXPECT_EQ(text(e), "one\r\ntwo");
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 2);
    key(VK_UP);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, WPARAM(-1), 0), 0);
    key(VK_END);
    key(VK_RIGHT);                              // over the line break in one step
    EXPECT_EQ(sel(e), std::make_pair(5, 5));

    // A format rectangle narrower than the window wraps sooner.
    SetWindowText(e, "aaa bbb ccc ddd");
    RECT r {0, 0, 30, 200};
    SendMessage(e, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 4);
}

TEST_F(CtlTest, EditMouseSelectsAndCreatingManyIsCheap)
{
    HWND e = make(WC_EDIT, "alpha beta", WS_BORDER, 10, 10, 200, 22, 13);
    click(e, 150, 5);
    EXPECT_EQ(sel(e), std::make_pair(10, 10)) << "a click past the end puts the caret at the end";
    click(e, 2, 5, true);                       // double click selects the word
    EXPECT_EQ(sel(e), std::make_pair(0, 6));
    for (int i = 0; i < 200; ++i) {
        HWND t = CreateWindowEx(0, "edit", "x", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
        ASSERT_TRUE(t);
        DestroyWindow(t);
    }
}
