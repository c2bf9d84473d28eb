// The edit control: typing, selection, undo, clipboard, limits, wrapping and scrolling.

#include "ctltest.h"

#include <string>
#include <vector>

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

    // Backspace and Delete take whole UTF-8 characters; positions count characters.
    SetWindowText(e, "a\xc3\xa9z");
    SendMessage(e, EM_SETSEL, 2, 2);
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

// Positions, lengths and limits count characters, whatever their UTF-8 length.
TEST_F(CtlTest, EditCountsCharactersNotBytes)
{
    const std::string e5 = "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9";   // five e-acute
    struct Case {
        const char* name;
        int limit;          // 0: the default
        std::string typed;
        std::string expect;
    };
    const Case cases[] = {
        {.name = "a limit of 5 takes five two-byte characters", .limit = 5, .typed = e5 + "x", .expect = e5},
        {.name = "a limit of 3 cuts between characters", .limit = 3, .typed = e5, .expect = "\xc3\xa9\xc3\xa9\xc3\xa9"},
        {.name = "a four-byte character is one", .limit = 2, .typed = "\xf0\x9f\x98\x80" "ab", .expect = "\xf0\x9f\x98\x80" "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND e = make(WC_EDIT, "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22, 14);
        if (c.limit) SendMessage(e, EM_LIMITTEXT, WPARAM(c.limit), 0);
        SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.typed.c_str()));
        EXPECT_EQ(text(e), c.expect);
        DestroyWindow(e);
    }

    HWND e = make(WC_EDIT, "", WS_BORDER | ES_MULTILINE, 10, 10, 200, 80, 15);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 32767) << "the documented default";
    SetWindowText(e, ("a" + e5 + "\r\n" + e5).c_str());
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 8) << "a, five characters, CR, LF";
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 8, 0), 5);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 9, 0), 1);
    SendMessage(e, EM_SETSEL, 1, 6);
    EXPECT_EQ(sel(e), std::make_pair(1, 6));
    SendMessage(e, WM_COPY, 0, 0);
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), e5) << "EM_SETSEL 1..6 selected the five characters";

    // Beyond 65,535 the packed answer is -1; the pointers still get the positions.
    SetWindowText(e, std::string(70000, 'x').c_str());
    SendMessage(e, EM_SETSEL, 10, 69000);
    DWORD a = 0, b = 0;
    EXPECT_EQ(SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b)), -1);
    EXPECT_EQ(a, 10u);
    EXPECT_EQ(b, 69000u);
    SendMessage(e, EM_SETSEL, 10, 65535);
    EXPECT_EQ(SendMessage(e, EM_GETSEL, 0, 0), MAKELONG(10, 65535));
}

// A tab is as wide on screen as where the caret and the mouse put the text after it.
TEST_F(CtlTest, EditMeasuresTabsAsDrawn)
{
    HWND e = make(WC_EDIT, "ab\tc\tdef", WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL, 10, 10, 400, 40, 16);
    auto x = [&](int i) { return int(short(LOWORD(SendMessage(e, EM_POSFROMCHAR, WPARAM(i), 0)))); };
    int x0 = x(0);
    int stop = x(3) - x0;
    EXPECT_GT(stop, x(2) - x0) << "the tab reaches to its stop";
    EXPECT_EQ(x(5) - x0, 2 * stop) << "stops are evenly spaced from the line's start";
    for (int i : {3, 5, 6}) {
        SCOPED_TRACE(i);
        LRESULT r = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(x(i) + 1, 5));
        EXPECT_EQ(LOWORD(r), i) << "a click at the drawn character finds it";
    }
}

// Editing a long wrapped paragraph lays out only what changed; the lines must still be the
// ones a fresh layout of the same text gives.
TEST_F(CtlTest, EditWrapsIncrementallyAsAFreshLayoutWould)
{
    std::string para;
    for (int i = 0; i < 300; ++i) para += (i % 7 == 0 ? "longerword" : "w") + std::to_string(i) + " ";
    HWND e = make(WC_EDIT, para.c_str(), WS_BORDER | ES_MULTILINE, 10, 10, 150, 200, 17);
    HWND fresh = make(WC_EDIT, "", WS_BORDER | ES_MULTILINE, 10, 220, 150, 100, 18);
    auto lineStarts = [](HWND w) {
        std::vector<int> v;
        int n = int(SendMessage(w, EM_GETLINECOUNT, 0, 0));
        for (int i = 0; i < n; ++i) v.push_back(int(SendMessage(w, EM_LINEINDEX, WPARAM(i), 0)));
        return v;
    };
    struct Edit {
        int from, to;
        const char* text;
    };
    const Edit edits[] = {
        {40, 40, "inserted words here "}, {41, 44, ""}, {0, 0, "x"}, {100, 140, ""}, {200, 200, "\r\n"},
        {10, 11, "averyveryveryveryverylongwordthatmustbreak"}, {250, 251, ""}, {3, 3, "\t"},
    };
    SetFocus(e);
    for (const Edit& ed : edits) {
        SCOPED_TRACE(std::string("at ") + std::to_string(ed.from) + ": " + ed.text);
        SendMessage(e, EM_SETSEL, WPARAM(ed.from), ed.to);
        SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ed.text));
        SetWindowText(fresh, text(e).c_str());
        EXPECT_EQ(lineStarts(e), lineStarts(fresh));
    }
    // Typing and deleting at a line's start.
    int second = int(SendMessage(e, EM_LINEINDEX, 2, 0));
    SendMessage(e, EM_SETSEL, WPARAM(second), second);
    type("zz");
    PvInputText("\b\b\b");
    PvPumpMessages();
    SetWindowText(fresh, text(e).c_str());
    EXPECT_EQ(lineStarts(e), lineStarts(fresh));
}
