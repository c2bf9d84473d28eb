#include "platform/sys/shell.h"

#include "sys_test_util.h"

#include <cstring>
#include <sys/stat.h>
#include <thread>

namespace {

TEST(CommandSplitting, WindowsRules)
{
    struct Case {
        const char* line;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        { "", {} },
        { "   \t ", {} },
        { "a b\tc", { "a", "b", "c" } },
        { "\"a b\" c", { "a b", "c" } },
        { "\"\"", { "" } },
        { "x\"\"y", { "xy" } },
        { "a\\b c\\\\d", { "a\\b", "c\\\\d" } },           // backslashes before no quote are literal
        { "a\\\"b", { "a\"b" } },                          // 1 backslash + quote: literal quote
        { "a\\\\\"b c\"", { "a\\b c" } },                  // 2 backslashes + quote: one, quote opens
        { "a\\\\\\\"b", { "a\\\"b" } },                    // 3 + quote: one and a literal quote
        { "\"C:\\Program Files\\\" next", { "C:\\Program Files\" next" } },
        { "\"a \"\"quoted\"\" word\"", { "a \"quoted\" word" } },
        { "\"unterminated arg", { "unterminated arg" } },
        { "ab\"c d\"ef g", { "abc def", "g" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PvSplitCommandArguments(c.line), c.args) << c.line;
}

class ShellTest : public ScratchDirTest {
protected:
    void TearDown() override
    {
        PvSetShellOpener(nullptr);
        ScratchDirTest::TearDown();
    }
    // A script that writes its arguments, one per line, to `log` and exits with `code`.
    std::string script(const std::string& path, const std::string& log, int code)
    {
        writeFile(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + log + ".tmp'\nmv '" + log
                + ".tmp' '" + log + "'\nexit " + std::to_string(code) + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    // The log a started (not awaited) program writes; empty if it never comes.
    std::string awaitLog(const std::string& log)
    {
        for (int i = 0; i < 1000 && !std::filesystem::exists(log); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return readFile(log);
    }
};

TEST_F(ShellTest, CreateProcessRunsAndReportsExit)
{
    std::string dir = m_dir + "/with space";
    std::string log = m_dir + "/args.txt";
    script(dir + "/prog", log, 7);

    struct Case {
        std::string line;
        const char* expect;
    };
    const Case cases[] = {
        { "\"" + dir + "/prog\" a \"b c\" d\\\"e", "a\nb c\nd\"e\n" },
        { dir + "/prog  x  y", "x\ny\n" }, // unquoted path with a blank still found
        { dir + "/prog", "" },
    };
    for (const Case& c : cases) {
        std::filesystem::remove(log);
        std::string line = c.line;
        PROCESS_INFORMATION pi {};
        ASSERT_TRUE(CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
            nullptr, nullptr, &pi))
            << c.line;
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
        DWORD code = 0;
        ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
        EXPECT_EQ(code, 7u);
        EXPECT_TRUE(CloseHandle(pi.hProcess));
        EXPECT_EQ(readFile(log), c.expect) << c.line;
    }
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x1234)));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);

    // Found on PATH, started in a given folder.
    std::string line = "sh -c \"pwd > out.txt\"";
    PROCESS_INFORMATION pi {};
    ASSERT_TRUE(CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, m_dir.c_str(), nullptr, &pi));
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(readFile(m_dir + "/out.txt"), std::filesystem::canonical(m_dir).string() + "\n");
}

TEST_F(ShellTest, WinExecResults)
{
    std::string log = m_dir + "/winexec.txt";
    script(m_dir + "/setup", log, 0);
    writeFile(m_dir + "/notes.txt", "not a program\n");
    chmod((m_dir + "/notes.txt").c_str(), 0644);

    std::string winStyle = m_dir + "\\setup --from \"E:\\\" x"; // the separators a CD path brings
    EXPECT_GT(WinExec(winStyle.c_str(), SW_SHOW), 31u);
    EXPECT_EQ(awaitLog(log), "--from\nE:\" x\n");

    struct Case {
        std::string line;
        UINT expect;
    };
    const Case cases[] = {
        { m_dir + "/missing arg", ERROR_FILE_NOT_FOUND },
        { m_dir + "/no/such/dir/prog", ERROR_PATH_NOT_FOUND },
        { "pv-no-such-program-anywhere", ERROR_FILE_NOT_FOUND },
        { m_dir + "/notes.txt", ERROR_BAD_FORMAT },
        { "", ERROR_FILE_NOT_FOUND },
    };
    for (const Case& c : cases)
        EXPECT_EQ(WinExec(c.line.c_str(), SW_SHOW), c.expect) << c.line;
}

TEST_F(ShellTest, ShellExecuteThroughTheOpener)
{
    std::string log = m_dir + "/opened.txt";
    std::string ok = script(m_dir + "/open-ok", log, 0);
    std::string noTool = script(m_dir + "/open-none", log, 3);
    std::string broken = script(m_dir + "/open-fails", log, 4);
    writeFile(m_dir + "/data/cpyright.rtf", "{\\rtf1 text}");
    std::string file = m_dir + "/data/cpyright.rtf";
    std::string winFile = m_dir + "\\data\\cpyright.rtf";

    struct Case {
        std::string opener;
        const char* verb;
        std::string target;
        const char* directory;
        INT_PTR expect; // 42 stands for "above 32"
        std::string opened;
    };
    const Case cases[] = {
        { ok, "open", file, nullptr, 42, file },
        { ok, nullptr, winFile, nullptr, 42, file },
        { ok, "open", "cpyright.rtf", "", SE_ERR_FNF, "" },
        { ok, "open", "cpyright.rtf", "(data)", 42, file },
        { ok, "open", "http://www.example.com/partner", nullptr, 42, "http://www.example.com/partner" },
        { ok, "open", "mailto:office@example.com", nullptr, 42, "mailto:office@example.com" },
        { ok, "open", m_dir + "/data/missing.rtf", nullptr, SE_ERR_FNF, "" },
        { ok, "open", m_dir + "/nodir/x.rtf", nullptr, SE_ERR_PNF, "" },
        { ok, "open", "", nullptr, SE_ERR_FNF, "" },
        { ok, "print", file, nullptr, SE_ERR_NOASSOC, "" },
        { noTool, "open", "http://www.example.com/", nullptr, SE_ERR_NOASSOC, "http://www.example.com/" },
        { broken, "open", file, nullptr, SE_ERR_ASSOCINCOMPLETE, file },
        { m_dir + "/no-opener", "open", file, nullptr, SE_ERR_NOASSOC, "" },
    };
    std::string dataDir = m_dir + "/data";
    for (const Case& c : cases) {
        std::filesystem::remove(log);
        PvSetShellOpener(c.opener.c_str());
        const char* dir = c.directory && std::strcmp(c.directory, "(data)") == 0 ? dataDir.c_str() : c.directory;
        INT_PTR rc = reinterpret_cast<INT_PTR>(ShellExecute(nullptr, c.verb, c.target.c_str(), nullptr, dir, SW_SHOWNORMAL));
        if (c.expect == 42)
            EXPECT_GT(rc, 32) << c.target;
        else
            EXPECT_EQ(rc, c.expect) << c.target;
        EXPECT_EQ(std::filesystem::exists(log) ? readFile(log) : std::string(), c.opened.empty() ? "" : c.opened + "\n")
            << c.target;
    }

    // A real program is run with its parameters rather than handed to the opener.
    std::string progLog = m_dir + "/prog.txt";
    std::string prog = script(m_dir + "/prog", progLog, 0);
    PvSetShellOpener(broken.c_str());
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecute(nullptr, "open", prog.c_str(), "one \"two three\"", nullptr, SW_SHOW)),
        32);
    EXPECT_EQ(awaitLog(progLog), "one\ntwo three\n");
}

TEST(ModuleFileName, PathOfThisProgram)
{
    char buf[4096];
    DWORD n = GetModuleFileName(nullptr, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::strlen(buf), n);
    EXPECT_EQ(buf[0], '/');
    EXPECT_NE(std::string(buf).find("test_sys"), std::string::npos) << buf;

    char small[5];
    std::memset(small, 'Z', sizeof small);
    EXPECT_EQ(GetModuleFileName(nullptr, small, 4), 4u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small, 4), std::string(buf, 3) + '\0');
    EXPECT_EQ(small[4], 'Z');
}

} // namespace
