// The dialog keyboard interface with the real controls, as traces: each case names the documented
// behaviour, starts with the focus on one control, gives keys, and compares what the dialog heard
// and where the focus ended.

#include "notesdlg.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace notesdemo;

namespace {

struct Key {
    UINT vk;
    bool shift = false;
    bool alt = false;
    const char* text = nullptr; // typed characters instead of a key
};

struct KeyCase {
    const char* name;
    UINT focus;       // where the focus starts
    bool wantReturn;  // the notes field has ES_WANTRETURN
    bool dropped;     // the grade list is open before the keys
    std::vector<Key> keys;
    std::vector<std::string> expected; // what the dialog heard
    UINT focusAfter;
    const char* notesAfter;
    int gradeAfter;
};

class DialogKeys : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterDialog(IDD_NOTES, NotesTemplate());
    }
    void TearDown() override { PvResetWindowSystem(); }
    static void Pump()
    {
        for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
        }
    }
    CWinApp app {"Dialog Keys"};
};

std::string caseName(const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; }

TEST_P(DialogKeys, Case)
{
    const KeyCase& c = GetParam();
    CNotesDlg dlg;
    std::vector<std::string> heard;
    ASSERT_TRUE(dlg.Create(IDD_NOTES));
    dlg.ShowWindow(SW_SHOW);
    dlg.SetActiveWindow();
    HWND notes = ::GetDlgItem(dlg.m_hWnd, IDC_NOTES);
    HWND grade = ::GetDlgItem(dlg.m_hWnd, IDC_GRADE);
    if (c.wantReturn) ::SetWindowLong(notes, GWL_STYLE, ::GetWindowLong(notes, GWL_STYLE) | ES_WANTRETURN);
    ::SetWindowText(notes, "Line one");
    dlg.GotoDlgCtrl(dlg.GetDlgItem(int(c.focus)));
    ::SendMessage(notes, EM_SETSEL, 8, 8); // the dialog selected it all when it gave the focus
    if (c.dropped) ::SendMessage(grade, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    dlg.m_onEvent = [&](const std::string& e) { heard.push_back(e); };
    for (const Key& k : c.keys) {
        if (k.text) PvInputText(k.text);
        else PvInputKeyStroke(k.vk, false, k.shift, k.alt);
        Pump();
    }
    dlg.m_onEvent = nullptr;
    EXPECT_EQ(heard, c.expected);
    HWND focus = ::GetFocus();
    EXPECT_EQ(focus ? ::GetDlgCtrlID(focus) : 0, int(c.focusAfter));
    CString text;
    dlg.GetDlgItemText(IDC_NOTES, text);
    EXPECT_STREQ(text, c.notesAfter);
    EXPECT_EQ(int(::SendMessage(grade, CB_GETCURSEL, 0, 0)), c.gradeAfter);
    EXPECT_EQ(::SendMessage(grade, CB_GETDROPPEDSTATE, 0, 0), 0);
    dlg.DestroyWindow();
}

const KeyCase kCases[] = {
    {"TabInAMultiLineEditMovesToTheNextControlWithoutTypingATab", IDC_NOTES, false, false, {{VK_TAB}},
     {"notes KILLFOCUS", "grade SETFOCUS"}, IDC_GRADE, "Line one", 1},
    {"ShiftTabInAMultiLineEditMovesToThePreviousControl", IDC_NOTES, false, false, {{VK_TAB, true}},
     {"notes KILLFOCUS"}, IDCANCEL, "Line one", 1},
    {"EnterInAMultiLineEditWithoutWantReturnPressesTheDefaultButton", IDC_NOTES, false, false, {{VK_RETURN}},
     {"ok", "notes KILLFOCUS"}, 0, "Line one", 1},
    {"EnterInAMultiLineEditWithWantReturnBreaksTheLine", IDC_NOTES, true, false, {{VK_RETURN}}, {}, IDC_NOTES,
     "Line one\r\n", 1},
    {"EscInAMultiLineEditCancelsTheDialog", IDC_NOTES, false, false, {{VK_ESCAPE}}, {"cancel", "notes KILLFOCUS"}, 0,
     "Line one", 1},
    {"EnterInADroppedComboSelectsTheItemClosesTheListAndKeepsTheDialog", IDC_GRADE, false, true, {{VK_DOWN}, {VK_RETURN}},
     {"grade SELENDOK", "grade CLOSEUP"}, IDC_GRADE, "Line one", 2},
    {"EscInADroppedComboClosesTheListAndKeepsTheDialog", IDC_GRADE, false, true, {{VK_ESCAPE}},
     {"grade SELENDCANCEL", "grade CLOSEUP"}, IDC_GRADE, "Line one", 1},
    {"EnterInAClosedComboPressesTheDefaultButton", IDC_GRADE, false, false, {{VK_RETURN}}, {"ok", "grade KILLFOCUS"}, 0,
     "Line one", 1},
    {"AltLetterMovesToTheControlAfterItsLabel", IDC_NOTES, false, false, {{'G', false, true}},
     {"notes KILLFOCUS", "grade SETFOCUS"}, IDC_GRADE, "Line one", 1},
    {"AltLetterClicksTheCheckBoxItNames", IDC_NOTES, false, false, {{'R', false, true}},
     {"notes KILLFOCUS", "remind CLICKED"}, IDC_REMIND, "Line one", 1},
    {"PlainLetterIsAMnemonicWhereTheFocusTakesNoCharacters", IDC_REMIND, false, false, {{0, false, false, "n"}},
     {"notes SETFOCUS"}, IDC_NOTES, "Line one", 1},
    {"PlainLetterInAnEditIsTyped", IDC_NOTES, false, false, {{0, false, false, "g"}}, {}, IDC_NOTES, "Line oneg", 1},
};
INSTANTIATE_TEST_SUITE_P(Documented, DialogKeys, ::testing::ValuesIn(kCases), caseName);

// The control hears which key, and the message itself, each time a key is asked about.
TEST_F(DialogKeys, GetDlgCodeCarriesTheKeyAndTheMessageOnEveryKey)
{
    CNotesDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_NOTES));
    dlg.ShowWindow(SW_SHOW);
    dlg.SetActiveWindow();
    HWND notes = ::GetDlgItem(dlg.m_hWnd, IDC_NOTES);
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_NOTES));
    static std::vector<std::string> asked;
    static WNDPROC orig;
    asked.clear();
    orig = reinterpret_cast<WNDPROC>(::SetWindowLong(notes, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(
        +[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_GETDLGCODE) {
                const MSG* msg = reinterpret_cast<const MSG*>(lp);
                asked.push_back(std::to_string(wp) + (msg ? (msg->message == WM_KEYDOWN ? " keydown" : msg->message == WM_CHAR ? " char" : " other") : " none"));
            }
            return ::CallWindowProc(orig, h, m, wp, lp);
        })));
    PvInputKeyStroke(VK_HOME);
    PvInputText("x");
    Pump();
    EXPECT_EQ(asked, (std::vector<std::string> {"36 keydown", "120 char"}));
    ::SetWindowLong(notes, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(orig));
    dlg.DestroyWindow();
}

} // namespace
