#include "app/Config.h"

#include "platform/sys/registry.h"
#include "platform/win/pvwin.h"
#include "resources/resource.h"
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

const char kMainKey[] = "SOFTWARE\\Morlow Systems, Inc.\\Paravel\\3.0\\main";
const char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer";

void touch(const fs::path& p, const char* text = "x")
{
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

void setValue(HKEY root, const char* key, const char* name, const char* value)
{
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyEx(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), DWORD(strlen(value) + 1)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

void deleteValue(HKEY root, const char* key, const char* name)
{
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(root, key, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    RegDeleteValue(h, name);
    RegCloseKey(h);
}

// A complete installation in a temporary folder, with its registry.
class ConfigTest : public ::testing::Test {
public:
    void SetUp() override
    {
        PvRegisterAppResources();
        root = fs::temp_directory_path() / ("pv_config_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "registry");
        ::setenv("PV_REGISTRY_DIR", (root / "registry").c_str(), 1);
        data = (root / "data").string() + "/";
        media = (root / "media").string() + "/";
        touch(root / "dir.mdb");
        touch(root / "custom.mdb");
        touch(data + "treelist.bma");
        touch(data + "cpyright.rtf");
        touch(data + "Settings.ini", "[Section1]\nGridHint=0\n");
        touch(media + "home.htm");
        setValue(HKEY_CURRENT_USER, kMainKey, "DatabasePath", (root / "dir.mdb").c_str());
        setValue(HKEY_CURRENT_USER, kMainKey, "DataPath", data.c_str());
        setValue(HKEY_CURRENT_USER, kMainKey, "MediaPath", media.c_str());
        setValue(HKEY_CURRENT_USER, kMainKey, "CustomPath", (root / "custom.mdb").c_str());
        setValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", "5.50.4134.0600");
        ResetConfiguration();
    }
    void TearDown() override
    {
        ::unsetenv("PV_REGISTRY_DIR");
        fs::remove_all(root);
        ResetConfiguration();
    }

    fs::path root;
    std::string data, media;
};

std::string tail(const char* what)
{
    return std::string(what) + " could not be found.\nIf this path is to your CD-ROM drive, make sure the program CD is in "
                               "the drive.\nIf this path is to your hard drive, please re-install this program and try again";
}

} // namespace

TEST_F(ConfigTest, CompleteInstallationLoads)
{
    MsgBoxLog boxes;
    ASSERT_TRUE(LoadConfiguration());
    EXPECT_TRUE(boxes.entries().empty());
    EXPECT_STREQ(GetDataPath(), data.c_str());
    EXPECT_STREQ(GetHomePagePath(), (media + "home.htm").c_str());
    EXPECT_STREQ(GetIEVersion(), "5.50.4134.0600");
    EXPECT_EQ(GetGridHint(), 0);
    EXPECT_STREQ(GetMainKeyPath(), kMainKey);
}

TEST_F(ConfigTest, EachProblemGivesExactlyOneMessage)
{
    struct Case {
        const char* name;
        std::function<void(ConfigTest&)> damage;
        const char* answers;
        bool ok;
        std::function<std::string(ConfigTest&)> text; // empty: no message
        const char* buttons;
        size_t boxes;
    };
    const std::string keyStart = "This program has not been properly installed!\nRegistry key " + std::string(kMainKey) + "\\";
    const std::string keyEnd = " does not exist.\nPlease re-install the program and try again.\nThis program will shut down.";
    auto missing = [](const char* value) {
        return [value](ConfigTest&) { deleteValue(HKEY_CURRENT_USER, kMainKey, value); };
    };
    auto keyText = [&](const char* value) {
        return [=](ConfigTest&) { return keyStart + value + keyEnd; };
    };
    const Case cases[] = {
        {"no key", [](ConfigTest& t) { fs::remove(t.root / "registry" / "HKEY_CURRENT_USER.hive"); }, "", false,
         [](ConfigTest&) {
             return "This program has not been properly installed!\nRegistry root " + std::string(kMainKey) +
                    " does not exist.\nPlease re-install the program and try again.\nThis program will shut down.";
         },
         "ok", 1},
        {"no DatabasePath", missing("DatabasePath"), "", false, keyText("DatabasePath"), "ok", 1},
        {"no DataPath", missing("DataPath"), "", false, keyText("DataPath"), "ok", 1},
        {"no MediaPath", missing("MediaPath"), "", false, keyText("MediaPath"), "ok", 1},
        {"no CustomPath", missing("CustomPath"), "", false, keyText("CustomPath"), "ok", 1},
        {"database missing, cancel", [](ConfigTest& t) { fs::remove(t.root / "dir.mdb"); }, "cancel", false,
         [](ConfigTest& t) { return "The file " + (t.root / "dir.mdb").string() + tail(""); }, "retrycancel", 1},
        {"database missing, retry then cancel", [](ConfigTest& t) { fs::remove(t.root / "dir.mdb"); }, "retry,cancel",
         false, [](ConfigTest& t) { return "The file " + (t.root / "dir.mdb").string() + tail(""); }, "retrycancel", 2},
        {"data path without separator",
         [](ConfigTest& t) { setValue(HKEY_CURRENT_USER, kMainKey, "DataPath", (t.root / "data").c_str()); }, "cancel",
         false, [](ConfigTest& t) { return "The file " + (t.root / "data").string() + tail("treelist.bma"); },
         "retrycancel", 1},
        {"no copyright text",
         [](ConfigTest& t) { fs::remove(t.data + "cpyright.rtf"); }, "cancel", false,
         [](ConfigTest& t) {
             return "The files " + t.data + "cpyright.txt or " + t.data + tail("cpyright.rtf");
         },
         "retrycancel", 1},
        {"only cpyright.txt",
         [](ConfigTest& t) { fs::remove(t.data + "cpyright.rtf"); touch(t.data + "cpyright.txt"); }, "", true, nullptr,
         "", 0},
        {"no home page", [](ConfigTest& t) { fs::remove(t.media + "home.htm"); }, "cancel", false,
         [](ConfigTest& t) { return "The file " + t.media + tail("home.htm") + "."; }, "retrycancel", 1},
        {"custom database missing", [](ConfigTest& t) { fs::remove(t.root / "custom.mdb"); }, "", false,
         [](ConfigTest& t) {
             return "The file " + (t.root / "custom.mdb").string() +
                    " could not be found.\nPlease re-install this program and try again";
         },
         "ok", 1},
        {"no browser key", [](ConfigTest& t) { fs::remove(t.root / "registry" / "HKEY_LOCAL_MACHINE.hive"); }, "", false,
         [](ConfigTest&) {
             return std::string("Internet Explorer version 5.0 is not installed!\nRegistry root ") + kBrowserKey +
                    " does not exist.\nPlease re-install Internet Explorer 5.0 and try again.\nThis program will shut down.";
         },
         "ok", 1},
        {"no browser version", [](ConfigTest&) { deleteValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version"); }, "", false,
         [](ConfigTest&) {
             return std::string("Internet Explorer version 5.0 is not installed!\nRegistry key ") + kBrowserKey +
                    "\\Version does not exist.\nPlease re-install Internet Explorer 5.0 and try again.\nThis program will shut down.";
         },
         "ok", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.damage(*this);
        MsgBoxLog boxes;
        boxes.answers(c.answers);
        EXPECT_EQ(bool(LoadConfiguration()), c.ok);
        auto entries = boxes.entries();
        ASSERT_EQ(entries.size(), c.boxes);
        for (const MsgBoxEntry& e : entries) {
            EXPECT_EQ(e.text, c.text(*this));
            EXPECT_EQ(e.buttons, c.buttons);
            // The framework gives a plain OK box its warning icon.
            EXPECT_EQ(e.icon, std::string(c.buttons) == "ok" ? "warning" : "none");
        }
    }
}

TEST_F(ConfigTest, BrowserVersionsAndGridHint)
{
    struct Case { const char* version; bool ok; };
    const Case versions[] = {
        {"4.72.3110.8", false}, {"5.00.2614.3500", true}, {"10.0.9200.16384", true}, {"", true}, {"4.9", false},
    };
    for (const Case& c : versions) {
        SCOPED_TRACE(c.version);
        setValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", c.version);
        MsgBoxLog boxes;
        EXPECT_EQ(bool(LoadConfiguration()), c.ok);
        auto entries = boxes.entries();
        ASSERT_EQ(entries.size(), c.ok ? 0u : 1u);
        if (!c.ok) {
            EXPECT_EQ(entries[0].text, "You need at least Internet Explorer version 5.0 to run this program properly!\n"
                                       "Please install Internet Explorer 5.0 from the Paravel CD and try again.\n"
                                       "This program will shut down.");
        }
    }

    setValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", "6.0.2900.2180");
    struct Hint { const char* ini; int want; };
    const Hint hints[] = {{nullptr, 1}, {"[Section1]\nGridHint=25\n", 2}, {"[Section1]\nGridHint=x\n", 0}};
    for (const Hint& h : hints) {
        fs::remove(data + "Settings.ini");
        if (h.ini)
            touch(data + "Settings.ini", h.ini);
        MsgBoxLog boxes;
        ASSERT_TRUE(LoadConfiguration());
        EXPECT_EQ(GetGridHint(), h.want);
    }
    WriteGridHintSetting(0);
    EXPECT_EQ(GetGridHint(), 0);
    ASSERT_TRUE(LoadConfiguration());
    EXPECT_EQ(GetGridHint(), 0);
}

namespace {
std::string g_missingFile;
}

TEST_F(ConfigTest, RetryAfterTheFileAppearsContinuesStartUp)
{
    g_missingFile = (root / "dir.mdb").string();
    fs::remove(g_missingFile);
    // The user inserts the CD while the box is up, then chooses Retry.
    PvSetMessageBoxObserver([](LPCTSTR, UINT) { touch(g_missingFile); });
    MsgBoxLog boxes;
    boxes.answers("retry");
    EXPECT_TRUE(LoadConfiguration());
    PvSetMessageBoxObserver(nullptr);
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "The file " + g_missingFile + tail(""));
    EXPECT_EQ(entries[0].answer, "retry");
}

TEST_F(ConfigTest, HomePageFallsBackToDataFolder)
{
    fs::remove(media + "home.htm");
    touch(data + "home.htm");
    MsgBoxLog boxes;
    ASSERT_TRUE(LoadConfiguration());
    EXPECT_STREQ(GetHomePagePath(), (data + "home.htm").c_str());
}

TEST_F(ConfigTest, OverlongRegistryValueCountsAsMissing)
{
    setValue(HKEY_CURRENT_USER, kMainKey, "DataPath", std::string(300, 'd').c_str());
    MsgBoxLog boxes;
    EXPECT_FALSE(LoadConfiguration());
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].text.find("\\DataPath does not exist."), std::string::npos);
}
