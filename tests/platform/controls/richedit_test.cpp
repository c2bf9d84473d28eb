// The RTF reader and writer, and the rich edit control around them.

#include "ctltest.h"

#include "platform/controls/rtf.h"
#include "platform/gdi/recording.h"

using pvrtf::CharFmt;
using pvrtf::Doc;

TEST(Rtf, StyledParagraphRoundTrips)
{
    const char* src =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
        "\\pard\\qc\\f1\\fs28 Copyright {\\b bold \\i both}\\b0  plain \\cf1 red\\cf0  \\ul under\\ulnone  \\strike gone\\strike0\\par"
        "\\pard\\qr caf\\'e9 \\{x\\} \\\\ \\u8364? end\\par}";
    Doc d = pvrtf::ReadRtf(src, CharFmt {});
    ASSERT_TRUE(d.consistent());
    EXPECT_EQ(d.text, "Copyright bold both plain red under gone\ncaf\xc3\xa9 {x} \\ \xe2\x82\xac end");
    ASSERT_EQ(d.paraCount(), 2);
    EXPECT_EQ(d.paras[0], pvrtf::AlignCenter);
    EXPECT_EQ(d.paras[1], pvrtf::AlignRight);

    auto fmtAt = [&](const Doc& doc, const char* word) -> const CharFmt& {
        size_t at = doc.text.find(word);
        EXPECT_NE(at, std::string::npos) << word;
        return doc.formats[doc.fmt[at]];
    };
    struct Case {
        const char* word;
        bool bold, italic, underline, strike, autoColor;
        COLORREF color;
    };
    const Case cases[] = {
        {"Copyright", false, false, false, false, true, 0},
        {"bold", true, false, false, false, true, 0},
        {"both", true, true, false, false, true, 0},
        {"plain", false, false, false, false, true, 0},
        {"red", false, false, false, false, false, RGB(255, 0, 0)},
        {"under", false, false, true, false, true, 0},
        {"gone", false, false, false, true, true, 0},
    };
    // The writer's output reads back to the same document.
    Doc back = pvrtf::ReadRtf(pvrtf::WriteRtf(d), CharFmt {});
    for (const Doc* doc : {&d, &back}) {
        EXPECT_EQ(doc->text, d.text);
        EXPECT_EQ(doc->paras, d.paras);
        for (const Case& c : cases) {
            const CharFmt& f = fmtAt(*doc, c.word);
            EXPECT_EQ(f.bold, c.bold) << c.word;
            EXPECT_EQ(f.italic, c.italic) << c.word;
            EXPECT_EQ(f.underline, c.underline) << c.word;
            EXPECT_EQ(f.strike, c.strike) << c.word;
            EXPECT_EQ(f.autoColor, c.autoColor) << c.word;
            if (!c.autoColor) {
                EXPECT_EQ(f.color, c.color) << c.word;
            }
            EXPECT_EQ(f.face, "Times New Roman") << c.word;
            EXPECT_EQ(f.twips, 280) << c.word;
        }
    }
}

TEST(Rtf, DamagedAndPlainInputIsReadSafely)
{
    struct Case {
        const char* what;
        std::string in;
        std::string text;
    };
    const Case cases[] = {
        {"plain text", "line one\r\nline two", "line one\nline two"},
        {"unclosed groups", "{\\rtf1 {\\b open {\\i deeper", "open deeper"},
        {"stray closers", "{\\rtf1 a}}}} b", "a"},
        {"cut escape", "{\\rtf1 x\\'", "x"},
        {"huge numbers", "{\\rtf1\\fs99999999999999 big\\cf99999 c\\f-5 d}", "bigcd"},
        {"skipped destinations", "{\\rtf1{\\*\\generator Foo;}{\\info{\\title T}}text}", "text"},
        {"escaped line feed breaks the paragraph", "{\\rtf1 a\\'0ab\\u13?c}", "a\nb\nc"},
        {"deep nesting", "{\\rtf1 " + std::string(5000, '{') + "x" + std::string(5000, '}') + "y}", "y"},
        {"plain text in braces", "{Hello, world}", "Hello, world"},
        {"a path in braces keeps its backslashes", "{C:\\temp\\new}", "C:\\temp\\new"},
        {"escaped braces in braces", "{a \\{b\\} c\\\\d}", "a {b} c\\d"},
        {"a character beyond the basic plane as two halves", "{\\rtf1 a\\u-10179?\\u-8704?b}", "a\xf0\x9f\x98\x80" "b"},
        {"a lone first half", "{\\rtf1 a\\u-10179?b}", "a\xef\xbf\xbd" "b"},
    };
    for (const Case& c : cases) {
        Doc d = pvrtf::ReadRtf(c.in, CharFmt {});
        EXPECT_TRUE(d.consistent()) << c.what;
        EXPECT_EQ(d.text, c.text) << c.what;
    }
}

TEST_F(CtlTest, RichEditStreamsFormatsAndResizes)
{
    CWnd host;
    host.Attach(parent);
    CRichEditCtrl re;
    ASSERT_TRUE(re.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(10, 10, 210, 110), &host, 60));
    re.PvSetRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello {\\b world}\\par second}");
    EXPECT_EQ(text(re.m_hWnd), "Hello world\r\nsecond");
    EXPECT_FALSE(re.GetModify());

    re.SetSel(6, 11);
    CHARFORMAT cf {};
    cf.cbSize = sizeof cf;
    re.GetSelectionCharFormat(cf);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    cf.dwMask = CFM_ITALIC | CFM_COLOR;
    cf.dwEffects = CFE_ITALIC;
    cf.crTextColor = RGB(0, 128, 0);
    re.SetSelectionCharFormat(cf);
    PARAFORMAT pf {};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = PFA_CENTER;
    re.SetParaFormat(pf);

    Doc out = pvrtf::ReadRtf(std::string(re.PvGetRtf()), CharFmt {});
    size_t w = out.text.find("world");
    ASSERT_NE(w, std::string::npos);
    EXPECT_TRUE(out.formats[out.fmt[w]].bold);
    EXPECT_TRUE(out.formats[out.fmt[w]].italic);
    EXPECT_EQ(out.formats[out.fmt[w]].color, RGB(0, 128, 0));
    EXPECT_EQ(out.paras[0], pvrtf::AlignCenter);
    EXPECT_EQ(out.paras[1], pvrtf::AlignLeft);

    // Typing goes in with the format before the caret; the limit holds.
    re.SetFocus();
    re.SetSel(11, 11);
    type("!");
    EXPECT_EQ(text(re.m_hWnd), "Hello world!\r\nsecond");
    EXPECT_TRUE(re.GetModify());
    re.LimitText(20);
    type("xyz");
    EXPECT_EQ(text(re.m_hWnd), "Hello world!x\r\nsecond");

    // The size the text wants is asked for when the mask says so.
    notes.clear();
    re.SetEventMask(ENM_REQUESTRESIZE | ENM_CHANGE);
    re.RequestResize();
    EXPECT_TRUE(noted(60, EN_REQUESTRESIZE));
    re.PvSetRtf("plain words", SF_TEXT);
    EXPECT_TRUE(noted(60, EN_CHANGE));
    EXPECT_EQ(text(re.m_hWnd), "plain words");

    // Rendering into another DC answers where the next page starts.
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(400, 300, 1, 32, nullptr);
    CBitmap* old = mem.SelectObject(&bm);
    mem.FillSolidRect(0, 0, 400, 300, RGB(255, 255, 255));
    FORMATRANGE fr {};
    fr.hdc = fr.hdcTarget = mem.m_hDC;
    fr.rc = RECT {0, 0, 400 * 15, 300 * 15};
    fr.rcPage = fr.rc;
    fr.chrg = CHARRANGE {0, -1};
    EXPECT_EQ(re.FormatRange(&fr, TRUE), 11);
    re.FormatRange(nullptr, FALSE);
    bool inked = false;
    for (int y = 0; y < 30 && !inked; ++y)
        for (int x = 0; x < 100 && !inked; ++x) inked = mem.GetPixel(x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(inked);
    mem.SelectObject(old);
    re.DestroyWindow();
    host.Detach();
}

// Point sizes become pixels rounded, as fonts made from points do: text in a rich edit is as
// large as the same size elsewhere.
TEST_F(CtlTest, RichEditFontSizesRoundToPixels)
{
    HWND re = make(RICHEDIT_CLASS, "", ES_MULTILINE, 10, 10, 300, 100, 65);
    struct Case {
        int twips;
        LONG height;
    };
    const Case cases[] = {{150, -10}, {160, -11}, {165, -11}, {180, -12}, {200, -13}, {240, -16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.twips);
        CHARFORMAT cf {};
        cf.cbSize = sizeof cf;
        cf.dwMask = CFM_SIZE;
        cf.yHeight = c.twips;
        SetWindowText(re, "Sized");
        SendMessage(re, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
        CRecordingDC dc(300, 100);
        FORMATRANGE fr {};
        fr.hdc = fr.hdcTarget = dc.m_hDC;
        fr.rc = RECT {0, 0, 300 * 15, 100 * 15};
        fr.rcPage = fr.rc;
        fr.chrg = CHARRANGE {0, -1};
        SendMessage(re, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
        bool found = false;
        for (const PvGdiRecord& r : dc.Records())
            if (r.text == CString("Sized")) {
                found = true;
                EXPECT_EQ(r.fontHeight, c.height);
            }
        EXPECT_TRUE(found) << dc.Dump();
    }
}

TEST(Rtf, CharactersBeyondTheBasicPlaneRoundTrip)
{
    Doc d = pvrtf::ReadPlain("a\xf0\x9f\x98\x80 \xf0\x9d\x84\x9e z", CharFmt {});
    Doc back = pvrtf::ReadRtf(pvrtf::WriteRtf(d), CharFmt {});
    EXPECT_EQ(back.text, d.text);
}

TEST_F(CtlTest, RichEditLimitsTypingFormatsAndScrolls)
{
    CWnd host;
    host.Attach(parent);
    CRichEditCtrl re;
    ASSERT_TRUE(re.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | WS_VSCROLL, CRect(10, 10, 210, 110), &host, 61));
    struct Limit {
        const char* name;
        UINT msg;
        LPARAM value;
        int expect;
    };
    const Limit limits[] = {
        {.name = "EM_EXLIMITTEXT(0) is 64K", .msg = EM_EXLIMITTEXT, .value = 0, .expect = 65536},
        {.name = "EM_EXLIMITTEXT(100)", .msg = EM_EXLIMITTEXT, .value = 100, .expect = 100},
    };
    EXPECT_EQ(re.SendMessage(EM_GETLIMITTEXT, 0, 0), 32767) << "the default";
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.name);
        re.SendMessage(l.msg, 0, l.value);
        EXPECT_EQ(re.SendMessage(EM_GETLIMITTEXT, 0, 0), l.expect);
    }

    // Plain text streamed in is not held to the limit; RTF and typing are, in characters.
    re.LimitText(5);
    re.PvSetRtf("0123456789", SF_TEXT);
    EXPECT_EQ(text(re.m_hWnd), "0123456789");
    re.PvSetRtf("{\\rtf1 \\'e9\\'e9\\'e9\\'e9\\'e9\\'e9\\'e9}");
    EXPECT_EQ(text(re.m_hWnd), "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");

    // Text typed at a paragraph's start takes that paragraph's format, not the one before.
    re.LimitText(0);
    re.PvSetRtf("{\\rtf1 plain\\par {\\b bold}}");
    re.SetFocus();
    re.SetSel(6, 6);
    type("x");
    EXPECT_EQ(text(re.m_hWnd), "plain\r\nxbold");
    re.SetSel(6, 7);
    CHARFORMAT cf {};
    cf.cbSize = sizeof cf;
    re.GetSelectionCharFormat(cf);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);

    // The vertical scroll bar follows the text and scrolls it.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\r\n";
    re.PvSetRtf(many.c_str(), SF_TEXT);
    SCROLLINFO si {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(re.m_hWnd, SB_VERT, &si));
    EXPECT_GT(si.nMax + 1, int(si.nPage)) << "the text is taller than the window";
    EXPECT_EQ(re.GetFirstVisibleLine(), 0);
    re.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    int first = re.GetFirstVisibleLine();
    EXPECT_GT(first, 0);
    GetScrollInfo(re.m_hWnd, SB_VERT, &si);
    EXPECT_GT(si.nPos, 0) << "the bar's thumb moved with the text";
    re.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(re.GetFirstVisibleLine(), first);
    re.SendMessage(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(re.GetFirstVisibleLine(), 0);
    re.DestroyWindow();
    host.Detach();
}

// Ranges beyond 16 bits: PBM_SETRANGE takes 0..65,535 and PBM_SETRANGE32 any int.
TEST_F(CtlTest, ProgressRanges)
{
    HWND pb = make(PROGRESS_CLASS, nullptr, 0, 10, 10, 200, 18, 70);
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        int low, high;
    };
    const Case cases[] = {
        {.name = "16-bit range above 32,767", .msg = PBM_SETRANGE, .wp = 0, .lp = MAKELPARAM(0, 50000), .low = 0, .high = 50000},
        {.name = "32-bit range", .msg = PBM_SETRANGE32, .wp = WPARAM(-100), .lp = 200000, .low = -100, .high = 200000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessage(pb, c.msg, c.wp, c.lp);
        PBRANGE r {};
        SendMessage(pb, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r.iLow, c.low);
        EXPECT_EQ(r.iHigh, c.high);
        SendMessage(pb, PBM_SETPOS, WPARAM(c.high - 1), 0);
        EXPECT_EQ(SendMessage(pb, PBM_GETPOS, 0, 0), c.high - 1);
    }
}

// Positions the rich edit takes and gives count characters, whatever the bytes of UTF-8.
TEST_F(CtlTest, RichEditPositionsCountCharacters)
{
    HWND re = make(RICHEDIT_CLASS, "", ES_MULTILINE, 10, 10, 300, 100, 62);
    SendMessage(re, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SetWindowText(re, "\xc3\xa9\xc3\xa9\xc3\xa9 abc\r\n\xe2\x82\xac\xe2\x82\xac tail");
    SendMessage(re, EM_SETSEL, 1, 3);
    DWORD a = 0, b = 0;
    SendMessage(re, EM_GETSEL, WPARAM(&a), LPARAM(&b));
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 3u);
    char sel[32] = {};
    SendMessage(re, EM_GETSELTEXT, 0, LPARAM(sel));
    EXPECT_STREQ(sel, "\xc3\xa9\xc3\xa9");
    CHARRANGE cr {8, 10};
    SendMessage(re, EM_EXSETSEL, 0, LPARAM(&cr));
    CHARRANGE got {};
    SendMessage(re, EM_EXGETSEL, 0, LPARAM(&got));
    EXPECT_EQ(got.cpMin, 8);
    EXPECT_EQ(got.cpMax, 10);
    SendMessage(re, EM_GETSELTEXT, 0, LPARAM(sel));
    EXPECT_STREQ(sel, "\xe2\x82\xac\xe2\x82\xac") << "the break is one character";
    EXPECT_EQ(SendMessage(re, EM_LINEINDEX, 1, 0), 8);
    EXPECT_EQ(SendMessage(re, EM_LINEFROMCHAR, 9, 0), 1);
    char range[32] = {};
    TEXTRANGE tr {{4, 7}, range};
    SendMessage(re, EM_GETTEXTRANGE, 0, LPARAM(&tr));
    EXPECT_STREQ(range, "abc");
    POINT pt {};
    SendMessage(re, EM_POSFROMCHAR, WPARAM(&pt), 9);
    pt.x += 1;
    pt.y += 2;
    EXPECT_EQ(SendMessage(re, EM_CHARFROMPOS, 0, LPARAM(&pt)), 9);
    DestroyWindow(re);
}

// Typing and deleting lay out again only around the change; the lines must equal those of a
// control given the same text at once, at every step.
TEST_F(CtlTest, RichEditRelayoutAfterEditsMatchesAFreshLayout)
{
    std::string words;
    for (int i = 0; words.size() < 3000; ++i)
        words += (i % 37 == 36) ? "\r\n" : "w" + std::to_string(i * 7919 % 1000) + " ";
    HWND re = make(RICHEDIT_CLASS, "", ES_MULTILINE, 10, 10, 220, 100, 63);
    HWND fresh = make(RICHEDIT_CLASS, "", ES_MULTILINE, 10, 120, 220, 100, 64);
    for (HWND h : {re, fresh}) {
        SendMessage(h, EM_EXLIMITTEXT, 0, 0);
        SendMessage(h, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    }
    SetWindowText(re, words.c_str());
    SetFocus(re);
    ASSERT_GT(SendMessage(re, EM_GETLINECOUNT, 0, 0), 100);
    auto lineStarts = [](HWND h) {
        std::vector<LRESULT> v;
        const LRESULT n = SendMessage(h, EM_GETLINECOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) v.push_back(SendMessage(h, EM_LINEINDEX, WPARAM(i), 0));
        return v;
    };
    struct Edit {
        int at;
        const char* keys;  // typed; '\b' deletes
    } edits[] = {{0, "x"}, {40, "longerwordthatwraps "}, {41, "\b\b\b"}, {300, " "}, {301, "\b"}, {500, "\r"},
                 {900, "a b c d e f g h"}, {2000, "\b\b\b\b\b\b\b\b\b\b"}, {2990, "end"}};
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.at);
        SendMessage(re, EM_SETSEL, WPARAM(e.at), LPARAM(e.at));
        for (const char* k = e.keys; *k; ++k)
            SendMessage(re, WM_CHAR, WPARAM(*k), 1);
        std::vector<char> buf(size_t(GetWindowTextLength(re)) + 1);
        GetWindowText(re, buf.data(), int(buf.size()));
        SetWindowText(fresh, buf.data());
        EXPECT_EQ(lineStarts(re), lineStarts(fresh));
    }
    DestroyWindow(fresh);
    DestroyWindow(re);
}
