// Copy, cut and paste of the edit and rich edit controls go through the process's one clipboard.

#include "ctltest.h"

#include "platform/sys/globalmem.h"

#include <cstring>

namespace {

std::string clipboardData(UINT format)
{
    std::string s;
    if (!OpenClipboard(nullptr)) return "<not opened>";
    if (HGLOBAL h = GetClipboardData(format)) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p) s.assign(p, strnlen(p, GlobalSize(h)));
        GlobalUnlock(h);
    } else {
        s = "<none>";
    }
    CloseClipboard();
    return s;
}

void putText(const char* text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (text) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        memcpy(GlobalLock(h), text, strlen(text) + 1);
        GlobalUnlock(h);
        SetClipboardData(CF_TEXT, h);
    }
    CloseClipboard();
}

} // namespace

TEST_F(CtlTest, EditCopyAndPasteUseTheClipboard)
{
    for (const char* cls : {WC_EDIT, RICHEDIT_CLASS}) {
        SCOPED_TRACE(cls);
        HWND e = make(cls, "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22, 10);
        SetFocus(e);
        type("copy me");
        SendMessage(e, EM_SETSEL, 0, 4);
        key('C', true);
        EXPECT_EQ(clipboardData(CF_TEXT), "copy") << "Ctrl+C puts the selection on the clipboard";

        putText("from elsewhere");
        SendMessage(e, EM_SETSEL, 0, -1);
        key('V', true);
        EXPECT_EQ(text(e), "from elsewhere") << "Ctrl+V pastes what another window put there";

        putText(nullptr);
        SendMessage(e, EM_SETSEL, 0, 4);
        key('V', true);
        EXPECT_EQ(text(e), "from elsewhere") << "after EmptyClipboard nothing pastes";

        SendMessage(e, EM_SETSEL, 5, -1);
        key('X', true);
        EXPECT_EQ(text(e), "from ");
        EXPECT_EQ(clipboardData(CF_TEXT), "elsewhere") << "Ctrl+X cuts to the clipboard";
        DestroyWindow(e);
    }
}

TEST_F(CtlTest, RichEditCopyGivesRtfAndTextAndPastesItsFormats)
{
    HWND r = make(RICHEDIT_CLASS, "", WS_BORDER | ES_MULTILINE, 10, 10, 300, 80, 20);
    SetWindowText(r, "{\\rtf1 plain {\\b bold} end}");
    SendMessage(r, EM_SETSEL, 6, 10);
    SendMessage(r, WM_COPY, 0, 0);
    UINT rtf = RegisterClipboardFormat("Rich Text Format");
    EXPECT_EQ(clipboardData(CF_TEXT), "bold");
    std::string data = clipboardData(rtf);
    EXPECT_EQ(data.rfind("{\\rtf1", 0), 0u) << data;
    EXPECT_NE(data.find("\\b"), std::string::npos) << data;

    // Pasting into another rich edit keeps the bold.
    HWND r2 = make(RICHEDIT_CLASS, "", WS_BORDER | ES_MULTILINE, 10, 100, 300, 80, 21);
    SendMessage(r2, WM_PASTE, 0, 0);
    EXPECT_EQ(text(r2), "bold");
    SendMessage(r2, EM_SETSEL, 0, 4);
    CHARFORMAT cf {};
    cf.cbSize = sizeof cf;
    SendMessage(r2, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);

    // A plain edit takes the text.
    HWND e = make(WC_EDIT, "", WS_BORDER, 10, 200, 200, 22, 22);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "bold");
}
