// The RTF reader and writer, and the rich edit control around them.

#include "ctltest.h"

#include "platform/controls/rtf.h"

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
