// Drives the pvreg program as install scripts do.

#include "platform/sys/registry.h"

#include "sys_test_util.h"

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace {

std::string shellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

class PvregTest : public ScratchDirTest {
protected:
    struct Result {
        int status = -1;
        std::string out, err;
    };
    Result run(const std::vector<std::string>& args)
    {
        std::string cmd = shellQuote(PVREG_EXE);
        for (const std::string& a : args)
            cmd += " " + shellQuote(a);
        std::string errFile = m_dir + "/stderr.txt";
        cmd += " 2>" + shellQuote(errFile);
        Result r;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p)
            return r;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = readFile(errFile);
        return r;
    }
};

TEST_F(PvregTest, ScriptedSession)
{
    struct Step {
        std::vector<std::string> args;
        bool ok;
        const char* out; // exact stdout (on success)
        const char* err; // part of the one stderr line (on failure)
    };
    const Step steps[] = {
        { { "set", "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer", "Version", "5.50.4807.2300" }, true, "", "" },
        { { "get", "HKLM\\SOFTWARE\\microsoft\\Internet Explorer", "version" }, true, "5.50.4807.2300\n", "" },
        { { "set", "HKCU\\Software\\P", "", "C:\\Program Files\\p.exe \"%1\"" }, true, "", "" },
        { { "get", "HKCU\\Software\\P" }, true, "C:\\Program Files\\p.exe \"%1\"\n", "" },
        { { "set", "-t", "dword", "HKCU\\Software\\P", "Count", "42" }, true, "", "" },
        { { "get", "hkcu\\Software\\P", "count" }, true, "42\n", "" },
        { { "set", "-t", "binary", "HKCU\\Software\\P", "Blob", "00,7f,FF" }, true, "", "" },
        { { "get", "HKCU\\Software\\P", "Blob" }, true, "00,7f,ff\n", "" },
        { { "set", "HKCU\\Software\\P\\Sub", "x", "line1\nline2" }, true, "", "" },
        { { "list", "HKCU\\Software\\P" }, true,
            "[Sub]\n@=\"C:\\\\Program Files\\\\p.exe \\\"%1\\\"\"\n\"Count\"=dword:0000002a\n\"Blob\"=hex:00,7f,ff\n", "" },
        { { "list", "HKCU\\Software\\P\\Sub" }, true, "\"x\"=\"line1\\nline2\"\n", "" },
        { { "delete", "HKCU\\Software\\P", "Count" }, true, "", "" },
        { { "get", "HKCU\\Software\\P", "Count" }, false, "", "value 'Count' under HKCU\\Software\\P not found" },
        { { "delete", "HKCU\\Software\\P", "Count" }, false, "", "not found" },
        { { "delete", "HKCU\\Software\\P" }, true, "", "" },
        { { "list", "HKCU\\Software" }, true, "", "" },
        { { "list", "HKCU\\Software\\P" }, false, "", "key HKCU\\Software\\P not found" },
        { { "delete", "HKCU" }, false, "", "will not delete a whole hive" },
        { { "get", "HKEY_CLASSES_ROOT\\x" }, false, "", "unknown root" },
        { { "frob" }, false, "", "unknown command" },
        { { "set", "HKCU\\a" }, false, "", "set takes KEY NAME VALUE" },
        { { "set", "-t", "dword", "HKCU\\a", "n", "-1" }, false, "", "not a number" },
        { { "set", "-t", "dword", "HKCU\\a", "n", "4294967296" }, false, "", "not a number" },
        { { "set", "-t", "binary", "HKCU\\a", "n", "0g" }, false, "", "not hex bytes" },
        { { "set", "HKCU\\bad\x01name", "n", "v" }, false, "", "invalid key name" },
    };
    for (const Step& s : steps) {
        std::string what;
        for (const std::string& a : s.args)
            what += a + " ";
        Result r = run(s.args);
        if (s.ok) {
            EXPECT_EQ(r.status, 0) << what << r.err;
            EXPECT_EQ(r.out, s.out) << what;
            EXPECT_EQ(r.err, "") << what;
        } else {
            EXPECT_NE(r.status, 0) << what;
            EXPECT_NE(r.err.find(s.err), std::string::npos) << what << "-> " << r.err;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << what << "one line: " << r.err;
        }
    }

    // What the tool wrote is what the program reads.
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", 0, KEY_READ, &h), ERROR_SUCCESS);
    char buf[32];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueEx(h, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "5.50.4807.2300");
    RegCloseKey(h);
}

TEST_F(PvregTest, ConcurrentWritersLoseNothing)
{
    // Each writer reads, changes and rewrites the whole hive; the lock must serialise them.
    std::string cmd;
    for (int i = 0; i < 12; ++i)
        cmd += shellQuote(PVREG_EXE) + " set 'HKCU\\Software\\Race' v" + std::to_string(i) + " " + std::to_string(i) + " & ";
    cmd += "wait";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_READ, &h), ERROR_SUCCESS);
    for (int i = 0; i < 12; ++i) {
        char buf[8];
        DWORD size = sizeof buf;
        std::string name = "v" + std::to_string(i);
        ASSERT_EQ(RegQueryValueEx(h, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS)
            << name;
        EXPECT_EQ(std::string(buf), std::to_string(i));
    }
    RegCloseKey(h);
    for (const auto& e : std::filesystem::directory_iterator(m_regDir))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << "temporary file left: " << e.path();
}

TEST_F(PvregTest, DamagedHiveGivesOneLineAndIsKept)
{
    const std::string damaged = "PVREG 1\n[Software]\n\"v\"=dword:xyz\n";
    writeFile(PvRegistryHivePath(HKEY_CURRENT_USER), damaged);
    for (const std::vector<std::string>& args : { std::vector<std::string> { "get", "HKCU\\Software", "v" },
             std::vector<std::string> { "set", "HKCU\\Software", "v", "1" },
             std::vector<std::string> { "delete", "HKCU\\Software" } }) {
        Result r = run(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, "pvreg: registry file " + PvRegistryHivePath(HKEY_CURRENT_USER)
                      + " is damaged (line 3: expected a hex number)\n")
            << args[0];
    }
    EXPECT_EQ(readFile(PvRegistryHivePath(HKEY_CURRENT_USER)), damaged);
    EXPECT_EQ(run({ "set", "HKLM\\Software", "v", "1" }).status, 0) << "the other hive still works";
}

TEST_F(PvregTest, FailedOutputIsReportedAtAnySize)
{
    ASSERT_EQ(run({ "set", "HKCU\\Software\\Out", "small", "x" }).status, 0);
    HKEY big = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Big", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                  nullptr, &big, nullptr),
        ERROR_SUCCESS);
    const std::string value(100, 'v');
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(RegSetValueEx(big, ("k" + std::to_string(i)).c_str(), 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1)),
            ERROR_SUCCESS);
    RegCloseKey(big);
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        { "one short line", { "get", "HKCU\\Software\\Out", "small" } },
        { "more than a buffer", { "list", "HKCU\\Software\\Big" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string cmd = shellQuote(PVREG_EXE);
        for (const std::string& a : c.args)
            cmd += " " + shellQuote(a);
        const std::string errFile = m_dir + "/full.txt";
        int st = std::system((cmd + " >/dev/full 2>" + shellQuote(errFile)).c_str());
        ASSERT_TRUE(WIFEXITED(st));
        EXPECT_EQ(WEXITSTATUS(st), 1);
        EXPECT_EQ(readFile(errFile), "pvreg: cannot write output\n");
        EXPECT_EQ(run(c.args).status, 0) << "the same command succeeds into a pipe";
    }
}

TEST_F(PvregTest, ReadOnlyHiveIsRefused)
{
    ASSERT_EQ(run({ "set", "HKCU\\Software\\Kept", "v", "1" }).status, 0);
    const std::string hive = PvRegistryHivePath(HKEY_CURRENT_USER);
    const std::string before = readFile(hive);
    chmod(hive.c_str(), 0444);
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(h, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(h, "v"), ERROR_ACCESS_DENIED);
    RegCloseKey(h);
    Result r = run({ "set", "HKCU\\Software\\Kept", "v", "3" });
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write registry file"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(hive), before);
    EXPECT_EQ(run({ "get", "HKCU\\Software\\Kept", "v" }).out, "1\n") << "still readable";
}

} // namespace
