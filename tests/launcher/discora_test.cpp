// Discora's decisions, driven through fake INI, registry, window and process services.
#include "launcher/Discora.h"

#include "platform/sys/registry.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct RegValue {
    DWORD type = REG_SZ;
    std::string bytes; // as stored, terminator included when there is one
};

RegValue sz(const std::string& s) { return { REG_SZ, s + '\0' }; }

struct Window {
    std::string cls, title;
};

struct World {
    std::string modulePath = "/media/cdrom/bin/discora";
    std::string volumeRoot = "/media/cdrom";
    bool iniExists = true;
    std::map<std::string, std::string> ini; // "Section/Key" -> value
    std::map<std::string, RegValue> keys; // HKLM sub-key -> default value (type REG_NONE: none)
    std::vector<Window> windows;
    UINT execResult = 33;
    std::vector<std::string> files; // existing files, for telling a program from its arguments
};

class Fakes : public IDiscoraProfile, public IDiscoraRegistry, public IDiscoraWindows, public IDiscoraProcess
{
public:
    explicit Fakes(const World& s) : m(s) {}

    std::vector<std::string> started;
    std::vector<std::string> messages;
    std::vector<std::string> iniFilesRead;
    int openKeys = 0;

    DWORD GetPrivateProfileString(LPCTSTR app, LPCTSTR key, LPCTSTR def, LPTSTR out, DWORD size,
        LPCTSTR file) override
    {
        iniFilesRead.push_back(file);
        std::string v = def;
        auto it = m.ini.find(std::string(app) + "/" + key);
        if (m.iniExists && it != m.ini.end())
            v = it->second;
        const size_t n = std::min<size_t>(v.size(), size - 1);
        std::memcpy(out, v.data(), n);
        out[n] = '\0';
        return DWORD(n);
    }
    UINT GetPrivateProfileInt(LPCTSTR app, LPCTSTR key, INT def, LPCTSTR file) override
    {
        iniFilesRead.push_back(file);
        auto it = m.ini.find(std::string(app) + "/" + key);
        return (m.iniExists && it != m.ini.end()) ? UINT(std::stoi(it->second)) : UINT(def);
    }

    LONG OpenLocalMachineKey(LPCTSTR subKey, HKEY* result) override
    {
        auto it = m.keys.find(subKey);
        if (it == m.keys.end())
            return ERROR_FILE_NOT_FOUND;
        ++openKeys;
        *result = reinterpret_cast<HKEY>(&it->second);
        return ERROR_SUCCESS;
    }
    LONG QueryValue(HKEY key, LPCTSTR name, LPDWORD type, LPBYTE data, LPDWORD cb) override
    {
        EXPECT_EQ(name, nullptr);
        const RegValue& v = *reinterpret_cast<const RegValue*>(key);
        if (v.type == REG_NONE)
            return ERROR_FILE_NOT_FOUND;
        *type = v.type;
        if (v.bytes.size() > *cb) {
            *cb = DWORD(v.bytes.size());
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, v.bytes.data(), v.bytes.size());
        *cb = DWORD(v.bytes.size());
        return ERROR_SUCCESS;
    }
    LONG CloseKey(HKEY) override
    {
        --openKeys;
        return ERROR_SUCCESS;
    }

    bool FindWindow(LPCTSTR cls, LPCTSTR title) override
    {
        EXPECT_TRUE(title == nullptr || *title) << "an empty title must not be a condition";
        for (const Window& w : m.windows)
            if (w.cls == cls && (!title || w.title == title))
                return true;
        return false;
    }
    int MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) override
    {
        messages.push_back(std::string(caption) + "|" + text);
        EXPECT_EQ(type, UINT(MB_OK | MB_ICONERROR));
        return IDOK;
    }

    DWORD GetModuleFileName(LPTSTR out, DWORD size) override
    {
        const size_t n = std::min<size_t>(m.modulePath.size(), size);
        std::memcpy(out, m.modulePath.data(), n);
        if (n < size)
            out[n] = '\0';
        return DWORD(n);
    }
    CString GetVolumeRoot(const CString&) override { return m.volumeRoot.c_str(); }
    bool IsFile(const CString& path) override
    {
        return std::find(m.files.begin(), m.files.end(), path.str()) != m.files.end();
    }
    UINT WinExec(LPCTSTR cmd, UINT show) override
    {
        EXPECT_EQ(show, UINT(SW_SHOW));
        started.push_back(cmd);
        return m.execResult;
    }

private:
    World m;
};

struct Result {
    std::vector<std::string> started, messages;
};

Result run(const World& s, const char* arguments, bool previous = false)
{
    Fakes f(s);
    DiscoraSystem sys { f, f, f, f };
    EXPECT_EQ(DiscoraMain(sys, previous, arguments), 0);
    EXPECT_EQ(f.openKeys, 0) << "every opened key is closed";
    for (const std::string& file : f.iniFilesRead)
        EXPECT_EQ(file, s.modulePath.substr(0, s.modulePath.find_last_of("/\\") + 1) + "Discora.ini");
    return { f.started, f.messages };
}

const char* const kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\paravel";

World installed(int start)
{
    World s;
    s.ini = { { "Application/RegKey", kKey }, { "Application/Start", std::to_string(start) },
        { "Setup/WindowClass", "PvSetup" }, { "Setup/Run", "setup" } };
    s.keys[kKey] = sz("/opt/paravel/paravel");
    return s;
}

World notInstalled(const std::string& run)
{
    World s;
    s.ini = { { "Application/RegKey", kKey }, { "Setup/WindowClass", "PvSetup" },
        { "Setup/WindowTitle", "Paravel Setup" }, { "Setup/Run", run } };
    return s;
}

TEST(Discora, Decisions)
{
    struct Case {
        const char* name;
        World setup;
        const char* arguments;
        std::vector<std::string> started;
    };
    World setupRunning = notInstalled("setup");
    setupRunning.windows = { { "PvSetup", "Paravel Setup" } };
    World emptyClass = notInstalled("setup");
    emptyClass.ini["Setup/WindowClass"] = "";
    emptyClass.windows = { { "", "Paravel Setup" }, { "Other", "Paravel Setup" } };
    World noIni = installed(1);
    noIni.iniExists = false;
    World noRegKey = installed(1);
    noRegKey.ini.erase("Application/RegKey");
    World bothEmpty = notInstalled("setup");
    bothEmpty.ini.erase("Setup/WindowClass");
    bothEmpty.ini.erase("Setup/WindowTitle");
    bothEmpty.windows = { { "", "" } };
    World classOnly = notInstalled("setup");
    classOnly.ini.erase("Setup/WindowTitle");
    classOnly.windows = { { "PvSetup", "Another title" } };
    World atFsRoot = notInstalled("\\setup");
    atFsRoot.modulePath = "/discora";
    atFsRoot.volumeRoot = "";

    const Case cases[] = {
        { "installed, Start 0: nothing, World ignored", installed(0), "-x", {} },
        { "installed, Start 1 with arguments", installed(1), "--demo \"a b\"",
            { "/opt/paravel/paravel --demo \"a b\"" } },
        { "installed, no arguments: one trailing blank", installed(1), "", { "/opt/paravel/paravel " } },
        { "setup from the file-system root", notInstalled("\\setup\\setup.sh"), "-q",
            { "/media/cdrom/setup/setup.sh -q" } },
        { "setup relative to Discora's folder", notInstalled("setup\\setup.sh"), "",
            { "/media/cdrom/bin/setup/setup.sh " } },
        { "setup window already present", setupRunning, "", {} },
        { "empty class with a title matches no window", emptyClass, "", { "/media/cdrom/bin/setup " } },
        { "missing INI: nothing", noIni, "", {} },
        { "no RegKey: setup path", noRegKey, "", { "/media/cdrom/bin/setup " } },
        { "no window named: setup runs", bothEmpty, "", { "/media/cdrom/bin/setup " } },
        { "class alone finds the window", classOnly, "", {} },
        { "root of / and a program at /", atFsRoot, "", { "/setup " } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result r = run(c.setup, c.arguments);
        EXPECT_EQ(r.started, c.started);
        EXPECT_TRUE(r.messages.empty());
    }
}

TEST(Discora, RegistryValueIsReadOnlyAsAStringWithinItsLength)
{
    struct Case {
        const char* name;
        RegValue value;
        std::vector<std::string> started;
    };
    const Case cases[] = {
        { "string", sz("/opt/p/paravel"), { "/opt/p/paravel " } },
        { "expandable string", { REG_EXPAND_SZ, std::string("/opt/p/paravel") + '\0' }, { "/opt/p/paravel " } },
        { "no terminating zero", { REG_SZ, std::string("/opt/p/paravel") }, {} },
        { "binary", { REG_BINARY, std::string("/opt/p/paravel") + '\0' }, {} },
        { "number", { REG_DWORD, std::string("\x01\x02\x03\x04", 4) }, {} },
        { "longer than the buffer", sz(std::string(300, 'a')), {} },
        { "exactly fills the buffer", sz("/" + std::string(258, 'a')), {} /* too long with the blank */ },
        { "empty string", sz(""), {} },
        { "no default value", { REG_NONE, "" }, {} },
        { "zero inside: the string ends there", { REG_SZ, std::string("/opt/a\0junk\0", 12) }, { "/opt/a " } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World s = installed(1);
        s.keys[kKey] = c.value;
        const Result r = run(s, "");
        EXPECT_EQ(r.started, c.started);
    }
}

TEST(Discora, PathsWithBlanksAreQuoted)
{
    World s = notInstalled("Setup Files\\setup");
    s.modulePath = "/media/My CD/discora";
    EXPECT_EQ(run(s, "-q").started, std::vector<std::string> { "\"/media/My CD/Setup Files/setup\" -q" });

    struct Case {
        const char* value;
        std::vector<std::string> files;
        const char* started;
    };
    const Case cases[] = {
        { "/opt/Para vel/paravel", {}, "\"/opt/Para vel/paravel\" x" },
        // A value already quoted is a complete command and is kept.
        { "\"/opt/Para vel/paravel\" --demo", {}, "\"/opt/Para vel/paravel\" --demo x" },
        // The shortest run of words that names a file is the program; the rest are arguments.
        { "/opt/paravel/paravel --demo a\\b", { "/opt/paravel/paravel" }, "/opt/paravel/paravel --demo a\\b x" },
        { "/opt/My Apps/paravel --demo", { "/opt/My Apps/paravel" }, "\"/opt/My Apps/paravel\" --demo x" },
        { "\\opt\\paravel\\paravel", {}, "/opt/paravel/paravel x" },
    };
    for (const Case& c : cases) {
        World i = installed(1);
        i.keys[kKey] = sz(c.value);
        i.files = c.files;
        EXPECT_EQ(run(i, "x").started, std::vector<std::string> { c.started }) << c.value;
    }

    World args = notInstalled("setup\\setup.sh --auto");
    args.files = { "/media/cdrom/bin/setup/setup.sh" };
    EXPECT_EQ(run(args, "-q").started, std::vector<std::string> { "/media/cdrom/bin/setup/setup.sh --auto -q" });
}

TEST(Discora, FailuresAreReported)
{
    World failing = notInstalled("setup");
    failing.execResult = 2;
    Result r = run(failing, "-q");
    EXPECT_EQ(r.started.size(), 1u);
    EXPECT_EQ(r.messages, std::vector<std::string> { "Error|Discora could not start the program:\n/media/cdrom/bin/setup -q" });

    // Too long for the command-line buffer: refused before anything starts.
    r = run(notInstalled("setup"), std::string(250, 'a').c_str());
    EXPECT_TRUE(r.started.empty());
    EXPECT_EQ(r.messages, std::vector<std::string> { std::string("Error|") + kDiscoraCommandTooLong });

    r = run(installed(1), "", true);
    EXPECT_TRUE(r.started.empty());
    EXPECT_EQ(r.messages, std::vector<std::string> { "Error|Discora is already running." });
}

TEST(Discora, OverlongSettingsAreCutNeverOverrun)
{
    // Values longer than their buffers arrive cut by the INI functions; a program folder that
    // does not fit is refused.
    World s = notInstalled(std::string(400, 'r'));
    s.ini["Setup/WindowClass"] = std::string(200, 'c');
    s.ini["Application/RegKey"] = std::string(500, 'k');
    Result r = run(s, "");
    EXPECT_TRUE(r.started.empty());
    EXPECT_EQ(r.messages.size(), 1u); // the command line is too long to start

    World deep = installed(1);
    deep.modulePath = "/" + std::string(300, 'd') + "/discora";
    r = run(deep, "");
    EXPECT_TRUE(r.started.empty());
    EXPECT_TRUE(r.messages.empty());
}

TEST(Discora, ArgumentsSurviveWindowsStyleSplitting)
{
    struct Case {
        std::vector<const char*> argv;
        const char* line;
    };
    const Case cases[] = {
        { { "discora" }, "" },
        { { "discora", "-a", "b" }, "-a b" },
        { { "discora", "two words" }, "\"two words\"" },
        { { "discora", "" }, "\"\"" },
        { { "discora", "say \"hi\"" }, "\"say \\\"hi\\\"\"" },
        { { "discora", "C:\\dir\\", "x y\\" }, "C:\\dir\\ \"x y\\\\\"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiscoraJoinArguments(int(c.argv.size()), c.argv.data()), CString(c.line));
}

} // namespace
