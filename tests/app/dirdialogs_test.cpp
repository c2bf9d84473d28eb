// The please-wait window, the name prompt and the Hints window.

#include "platform/controls/controls.h"
#include "app/DirectoryDialogs.h"

#include "app/Config.h"
#include "platform/sys/profile.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "resources/directory_ids.h"
#include "resources/frame_ids.h"
#include "tests/app/directory_fixture.h"
#include "tests/app/msgbox_log.h"

#include <functional>

void PvRegisterAppResources();

namespace {

class DirectoryDialogTest : public DirectoryInstallation {
protected:
    void SetUp() override
    {
        DirectoryInstallation::SetUp();
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        PvRegisterFrameResources();
    }
};

// The name prompt with a hook that runs once it is up.
class TestSaveDlg : public CSaveResultsDlg {
public:
    std::function<void(CDialog*)> m_onInit;
    BOOL OnInitDialog() override
    {
        CSaveResultsDlg::OnInitDialog();
        if (m_onInit)
            m_onInit(this);
        return TRUE;
    }
};

CString repeat(const char* s, int n)
{
    CString out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST_F(DirectoryDialogTest, NameLimitCountsCharacters)
{
    struct Case {
        const char* name;
        int count;
        INT_PTR result;
        bool refused;
    };
    const Case cases[] = {{"255 accented", 255, IDOK, false}, {"256 accented", 256, IDCANCEL, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MsgBoxLog boxes;
        TestSaveDlg dlg;
        dlg.m_strCaption = "Save Your Results";
        dlg.m_strPrompt = "Name this list:";
        dlg.m_strName = repeat("\xC3\xA9", c.count);
        CString caption, prompt;
        dlg.m_onInit = [&](CDialog* d) {
            d->GetWindowText(caption);
            d->GetDlgItemText(IDC_SAVE_PROMPT, prompt);
            PvInputKeyStroke(VK_RETURN);
            if (c.refused)
                PvInputKeyStroke(VK_ESCAPE); // the refusal keeps the dialog up
        };
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_STREQ(caption, "Save Your Results");
        EXPECT_STREQ(prompt, "Name this list:");
        const auto entries = boxes.entries();
        if (c.refused) {
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].text, "Enter no more than 255 characters.");
        } else {
            EXPECT_TRUE(entries.empty());
            EXPECT_EQ(dlg.m_strName, repeat("\xC3\xA9", 255));
        }
    }
}

TEST_F(DirectoryDialogTest, EachHintClickWritesTheSetting)
{
    const CString ini = GetDataPath() + "Settings.ini";
    auto stored = [&] { return GetPrivateProfileInt("Section1", "GridHint", -1, ini); };
    const int before = stored();
    std::vector<int> seen;
    struct Probe : CHintsDlg {
        std::function<void(CDialog*)> onInit;
        BOOL OnInitDialog() override
        {
            CHintsDlg::OnInitDialog();
            onInit(this);
            return TRUE;
        }
    } dlg;
    dlg.onInit = [&](CDialog* d) {
        HWND check = ::GetDlgItem(d->m_hWnd, IDC_HINTS_CHECK);
        ASSERT_NE(check, nullptr);
        for (int i = 0; i < 2; ++i) {
            ::SendMessage(check, BM_CLICK, 0, 0);
            seen.push_back(stored());
        }
        PvInputKeyStroke(VK_RETURN);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<int>{0, 1})); // written at once, each time
    EXPECT_EQ(stored(), before == -1 ? 1 : before);
    EXPECT_EQ(GetGridHint(), 1);
}

TEST_F(DirectoryDialogTest, PleaseWaitShowsItsPictureInTheButtonColours)
{
    CFrameWnd* owner = new CFrameWnd;
    ASSERT_TRUE(owner->Create(nullptr, "owner"));
    {
        CPleaseWaitDlg dlg;
        ASSERT_TRUE(dlg.Create(owner));
        HWND picture = ::GetDlgItem(dlg.m_hWnd, IDC_PLEASE_WAIT_PICTURE);
        ASSERT_NE(picture, nullptr);
        auto* hbm = reinterpret_cast<HBITMAP>(::SendMessage(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(hbm, nullptr);
        CBitmap* bm = CBitmap::FromHandle(hbm);
        BITMAP info {};
        ASSERT_TRUE(bm->GetBitmap(&info));
        std::vector<BYTE> bits(size_t(info.bmWidth) * size_t(info.bmHeight) * 4);
        bm->GetBitmapBits(DWORD(bits.size()), bits.data());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(RGB(bits[2], bits[1], bits[0]), face); // the corner is the ground
        dlg.Close();
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
    owner->DestroyWindow();
}

// The prompt opens with its proposed name selected, so that what the user types replaces it.
TEST_F(DirectoryDialogTest, TypingReplacesTheProposedName)
{
    TestSaveDlg dlg;
    dlg.m_strName = "Faculty";
    dlg.m_onInit = [&](CDialog*) {
        PvInputText("Staff");
        PvInputKeyStroke(VK_RETURN);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.m_strName, "Staff");
}
