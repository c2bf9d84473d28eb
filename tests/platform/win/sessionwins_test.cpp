// FindWindow sees the top-level windows of other processes of the session, and forgets those
// of a process that died without cleaning up.

#include "wintest.h"

#include "platform/win/sessionwins.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SessionWindows : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        std::string tmpl = (std::filesystem::temp_directory_path() / "pvwin-session-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
        setenv("PV_REGISTRY_DIR", m_dir.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        unsetenv("PV_REGISTRY_DIR");
        std::filesystem::remove_all(m_dir);
        WinTest::TearDown();
    }

    // Another program: opens a window, goes idle (which publishes it), then waits to be killed.
    void startOther(const char* cls, const char* title)
    {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        m_child = fork();
        ASSERT_GE(m_child, 0);
        if (m_child == 0) {
            close(ready[0]);
            registerClass(cls, 0);
            CreateWindowEx(0, cls, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
            pvwin::PublishSessionWindows();
            (void)!write(ready[1], "r", 1);
            for (;;) pause();
        }
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
    }

    std::string m_dir;
    pid_t m_child = -1;
};

}  // namespace

TEST_F(SessionWindows, FindsAnotherProcessesWindowUntilItDies)
{
    startOther("ParavelSetupWnd", "Paravel Setup\tstep 1");
    struct Case {
        const char* name;
        const char* cls;
        const char* title;
        bool found;
    };
    const Case cases[] = {
        {"class and title", "ParavelSetupWnd", "Paravel Setup\tstep 1", true},
        {"class case-blind", "paravelsetupwnd", "Paravel Setup\tstep 1", true},
        {"any title", "ParavelSetupWnd", nullptr, true},
        {"title alone", nullptr, "Paravel Setup\tstep 1", true},
        {"other title", "ParavelSetupWnd", "Paravel Setup", false},
        {"other class", "OtherWnd", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindWindow(c.cls, c.title) != nullptr, c.found);
    }
    // The handle stands for a window elsewhere: nothing here takes it for one of ours.
    EXPECT_FALSE(IsWindow(FindWindow("ParavelSetupWnd", nullptr)));

    // Our own windows are found as before, and published without touching the other's line.
    HWND mine = CreateWindowEx(0, "WinTestPlain", "Mine", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
    EXPECT_EQ(FindWindow("WinTestPlain", "Mine"), mine);
    pvwin::PublishSessionWindows();
    EXPECT_NE(FindWindow("ParavelSetupWnd", nullptr), nullptr);

    // Killed: its line is stale, ignored at once and dropped by the next writer.
    kill(m_child, SIGKILL);
    waitpid(m_child, nullptr, 0);
    m_child = -1;
    EXPECT_EQ(FindWindow("ParavelSetupWnd", nullptr), nullptr);
    SetWindowText(mine, "Mine, renamed");
    pvwin::PublishSessionWindows();
    std::ifstream in(pvwin::SessionWindowsFile());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("ParavelSetupWnd"), std::string::npos) << text;
    EXPECT_NE(text.find("Mine, renamed"), std::string::npos) << text;

    // With no window left, nothing of ours remains.
    DestroyWindow(mine);
    pvwin::PublishSessionWindows();
    EXPECT_FALSE(std::filesystem::exists(pvwin::SessionWindowsFile()));
}
