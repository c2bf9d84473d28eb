#include "platform/sys/hive.h"
#include "platform/sys/registry.h"

#include "sys_test_util.h"

#include <cstring>
#include <vector>

namespace {

class RegistryTest : public ScratchDirTest {
protected:
    HKEY create(HKEY root, const char* path)
    {
        HKEY h = nullptr;
        DWORD disp = 0;
        EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, &disp), ERROR_SUCCESS) << path;
        return h;
    }
    static LONG setString(HKEY h, const char* name, const std::string& text)
    {
        return RegSetValueEx(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
            static_cast<DWORD>(text.size() + 1));
    }
    std::string hive(HKEY root) { return PvRegistryHivePath(root); }
};

TEST_F(RegistryTest, CreateSetQueryAcrossHandlesAndCase)
{
    HKEY h = create(HKEY_CURRENT_USER, "SOFTWARE\\Morlow Systems, Inc.\\Paravel\\3.0\\main");
    ASSERT_EQ(setString(h, "DataPath", "C:\\Paravel\\Data\\"), ERROR_SUCCESS);
    DWORD count = 16;
    ASSERT_EQ(RegSetValueEx(h, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);

    // Opened again by a differently cased path, read by a differently cased name.
    HKEY r = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\MORLOW SYSTEMS, INC.\\paravel\\3.0\\Main", 0, KEY_READ, &r),
        ERROR_SUCCESS);
    char buf[256];
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueEx(r, "datapath", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buf, "C:\\Paravel\\Data\\");
    EXPECT_EQ(size, std::strlen("C:\\Paravel\\Data\\") + 1);
    DWORD got = 0;
    size = sizeof got;
    ASSERT_EQ(RegQueryValueEx(r, "COUNT", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(got, 16u);

    // A read-only handle may not write; the other hive does not see this one's keys.
    EXPECT_EQ(setString(r, "DataPath", "x"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(r), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Morlow Systems, Inc.", 0, KEY_READ, &r), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r, nullptr);

    // The file on disk is the readable text form, and survives a reopen.
    std::string text = readFile(hive(HKEY_CURRENT_USER));
    EXPECT_NE(text.find("[SOFTWARE\\Morlow Systems, Inc.\\Paravel\\3.0\\main]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"DataPath\"=\"C:\\\\Paravel\\\\Data\\\\\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Count\"=dword:00000010\n"), std::string::npos) << text;
}

TEST_F(RegistryTest, QueryBufferSizes)
{
    HKEY h = create(HKEY_CURRENT_USER, "Sizes");
    std::string s255(255, 'a'), s256(256, 'b');
    std::string b256(256, '\x7f'), b257(257, '\x01');
    ASSERT_EQ(setString(h, "s255", s255), ERROR_SUCCESS);
    ASSERT_EQ(setString(h, "s256", s256), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, "b256", 0, REG_BINARY, reinterpret_cast<const BYTE*>(b256.data()), 256), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, "b257", 0, REG_BINARY, reinterpret_cast<const BYTE*>(b257.data()), 257), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(h, "empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);

    struct Case {
        const char* name;
        DWORD buffer;
        LONG rc;
        DWORD size;
    };
    const Case cases[] = {
        { "s255", 256, ERROR_SUCCESS, 256 },   // 255 characters and the zero fill the buffer exactly
        { "s256", 256, ERROR_MORE_DATA, 257 }, // the zero no longer fits
        { "b256", 256, ERROR_SUCCESS, 256 },
        { "b257", 256, ERROR_MORE_DATA, 257 },
        { "empty", 256, ERROR_SUCCESS, 1 },
        { "empty", 0, ERROR_MORE_DATA, 1 },
        { "missing", 256, ERROR_FILE_NOT_FOUND, 256 },
    };
    for (const Case& c : cases) {
        std::vector<BYTE> buf(300, 0xEE);
        DWORD size = c.buffer;
        EXPECT_EQ(RegQueryValueEx(h, c.name, nullptr, nullptr, buf.data(), &size), c.rc) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
        EXPECT_EQ(buf[c.buffer], 0xEE) << c.name << ": nothing written past the buffer";
        // Without a buffer only the size is asked for.
        size = 0;
        if (c.rc != ERROR_FILE_NOT_FOUND) {
            EXPECT_EQ(RegQueryValueEx(h, c.name, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS) << c.name;
            EXPECT_EQ(size, c.size) << c.name;
        }
    }
    std::vector<BYTE> buf(256);
    DWORD size = 256;
    ASSERT_EQ(RegQueryValueEx(h, "s255", nullptr, nullptr, buf.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf.data())), s255);
    EXPECT_EQ(RegQueryValueEx(h, "s255", nullptr, nullptr, buf.data(), nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(h);
}

TEST_F(RegistryTest, DefaultValueOfAnyTypeAndStringsCutAtZero)
{
    HKEY h = create(HKEY_LOCAL_MACHINE, "Software\\Paravel\\Installed");
    // A 256-byte buffer holding a short text, as the configuration writes it.
    char block[256] = "/opt/paravel/bin/paravel";
    ASSERT_EQ(RegSetValueEx(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(block), sizeof block), ERROR_SUCCESS);
    char out[260];
    DWORD size = sizeof out;
    ASSERT_EQ(RegQueryValueEx(h, "", nullptr, nullptr, reinterpret_cast<BYTE*>(out), &size), ERROR_SUCCESS);
    EXPECT_STREQ(out, block);
    EXPECT_EQ(size, std::strlen(block) + 1);
    EXPECT_NE(readFile(hive(HKEY_LOCAL_MACHINE)).find("@=\"/opt/paravel/bin/paravel\"\n"), std::string::npos);
    RegCloseKey(h);
}

TEST_F(RegistryTest, EnumerationOrderAndLimits)
{
    HKEY h = create(HKEY_CURRENT_USER, "Grid\\Styles");
    for (const char* k : { "zeta", "Alpha", "#57400", "beta" })
        RegCloseKey(create(h, k));
    setString(h, "First", "1");
    setString(h, "Second", "2");

    std::vector<std::string> keys;
    char name[16];
    for (DWORD i = 0;; ++i) {
        LONG rc = RegEnumKey(h, i, name, sizeof name);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        keys.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::string> { "#57400", "Alpha", "beta", "zeta" }));
    EXPECT_EQ(RegEnumKey(h, 1, name, 5), ERROR_MORE_DATA) << "\"Alpha\" needs 6 with its zero";
    EXPECT_EQ(RegEnumKey(h, 1, name, 6), ERROR_SUCCESS);

    char vname[8];
    DWORD cch = sizeof vname, type = 0;
    char data[8];
    DWORD cb = sizeof data;
    ASSERT_EQ(RegEnumValue(h, 1, vname, &cch, nullptr, &type, reinterpret_cast<BYTE*>(data), &cb), ERROR_SUCCESS);
    EXPECT_STREQ(vname, "Second");
    EXPECT_EQ(cch, 6u);
    EXPECT_STREQ(data, "2");
    cch = sizeof vname;
    EXPECT_EQ(RegEnumValue(h, 2, vname, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    HKEY ro = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Grid\\Styles", 0, KEY_QUERY_VALUE, &ro), ERROR_SUCCESS);
    EXPECT_EQ(RegEnumKey(ro, 0, name, sizeof name), ERROR_ACCESS_DENIED);
    RegCloseKey(ro);
    RegCloseKey(h);
}

TEST_F(RegistryTest, Deletion)
{
    HKEY h = create(HKEY_CURRENT_USER, "Del\\Child\\Grandchild");
    setString(h, "v", "1");
    HKEY del = create(HKEY_CURRENT_USER, "Del");
    setString(del, "keep", "k");
    setString(del, "gone", "g");

    EXPECT_EQ(RegDeleteValue(del, "GONE"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(del, "gone"), ERROR_FILE_NOT_FOUND);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(del, "keep", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKey(del, "Child"), ERROR_ACCESS_DENIED) << "a key with sub-keys stays";
    EXPECT_EQ(RegDeleteKey(del, "Child\\Grandchild"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(h, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), ERROR_KEY_DELETED)
        << "a handle to a deleted key reports it";
    EXPECT_EQ(RegDeleteKey(del, "Nope"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED) << "the hive root stays";

    RegCloseKey(create(del, "Child\\Again\\Deeper"));
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "DEL\\child"), ERROR_SUCCESS);
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Del\\Child", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTree(del, nullptr), ERROR_SUCCESS) << "empties the key itself";
    EXPECT_EQ(RegQueryValueEx(del, "keep", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Del", 0, KEY_READ, &probe), ERROR_SUCCESS);
    RegCloseKey(probe);
    RegCloseKey(del);
    RegCloseKey(h);
}

TEST_F(RegistryTest, HandlesAndArguments)
{
    HKEY h = create(HKEY_CURRENT_USER, "A");
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(h, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "x", 0, KEY_READ, &h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    std::string longName(300, 'k');
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
        ERROR_INVALID_NAME);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "bad\nname", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
        ERROR_INVALID_NAME);
    // No key deeper than the hive file can hold, not even step by step from a handle.
    std::string deep;
    for (size_t i = 0; i < pvreg::kMaxDepth; ++i)
        deep += "k\\";
    HKEY d = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &d, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyEx(d, "one more", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_INVALID_NAME);
    RegCloseKey(d);
    HKEY again = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, &again), ERROR_SUCCESS) << "the file still reads";
    RegCloseKey(again);

    DWORD disp = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "a", 0, nullptr, 0, KEY_READ, nullptr, &h, &disp), ERROR_SUCCESS);
    EXPECT_EQ(disp, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyEx(h, "new", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_ACCESS_DENIED);
    RegCloseKey(h);
}

TEST_F(RegistryTest, EscapedTextRoundTrips)
{
    HKEY h = create(HKEY_CURRENT_USER, "Text");
    const std::string texts[] = {
        "quote \" and backslash \\ at the end\\",
        "line\nbreak\r\ttab",
        std::string("bell\x07 and del\x7f"),
        "caf\xc3\xa9 \xe2\x82\xac",
        "",
    };
    int i = 0;
    for (const std::string& t : texts) {
        std::string name = "n" + std::to_string(i++) + "\"\\";
        ASSERT_EQ(setString(h, name.c_str(), t), ERROR_SUCCESS);
    }
    // What another process would read from the file.
    pvreg::RegKey root;
    std::string err;
    ASSERT_TRUE(pvreg::parseHive(readFile(hive(HKEY_CURRENT_USER)), root, &err)) << err;
    const pvreg::RegKey* k = root.findSubkey("TEXT");
    ASSERT_NE(k, nullptr);
    i = 0;
    for (const std::string& t : texts) {
        std::string name = "N" + std::to_string(i++) + "\"\\";
        const pvreg::RegValue* v = k->findValue(name);
        ASSERT_NE(v, nullptr) << name;
        EXPECT_EQ(v->data, t);
    }
    RegCloseKey(h);
}

TEST_F(RegistryTest, FileEditedOutsideIsSeen)
{
    writeFile(hive(HKEY_LOCAL_MACHINE),
        "PVREG 1\r\n; written by an installer\r\n\r\n[Software\\Microsoft\\Internet Explorer]\r\n"
        "  \"Version\" = \"5.50.4807.2300\"\r\n\"Raw\"=hex:00,ff\r\n\"Multi\"=hex(7):61,00,00\r\n");
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", 0, KEY_READ, &h), ERROR_SUCCESS);
    char buf[64];
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueEx(h, "Version", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "5.50.4807.2300");
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueEx(h, "Multi", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(size, 3u);

    // Replaced again behind our back (a new file, as a rename leaves it).
    std::string next = hive(HKEY_LOCAL_MACHINE) + ".new";
    writeFile(next, "PVREG 1\n[Software\\Microsoft\\Internet Explorer]\n\"Version\"=\"6.0\"\n");
    std::filesystem::rename(next, hive(HKEY_LOCAL_MACHINE));
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueEx(h, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "6.0");
    RegCloseKey(h);
}

TEST_F(RegistryTest, DamagedHiveIsReportedAndNeverOverwritten)
{
    const std::string damaged = "PVREG 1\n[Software]\n\"Good\"=\"1\"\n\"Broken\"=\"no end\n";
    writeFile(hive(HKEY_CURRENT_USER), damaged);
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_REGISTRY_CORRUPT);
    std::string problem = PvRegLastProblem();
    EXPECT_NE(problem.find(hive(HKEY_CURRENT_USER)), std::string::npos) << problem;
    EXPECT_NE(problem.find("line 4"), std::string::npos) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line";

    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Other", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
        ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegSetValueEx(HKEY_CURRENT_USER, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
        ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, nullptr), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(readFile(hive(HKEY_CURRENT_USER)), damaged);

    // The other hive is unaffected.
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Fine", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
        ERROR_SUCCESS);
    EXPECT_TRUE(PvRegLastProblem().empty());
    RegCloseKey(h);
}

TEST(HiveParser, RejectsDamageWithItsLine)
{
    struct Case {
        const char* text;
        const char* where;
    };
    const Case cases[] = {
        { "REGEDIT4\n", "line 1" },
        { "\n", "line 1" },
        { "PVREG 1\n[Software\n", "line 2" },
        { "PVREG 1\n[a\\\\b]\n", "line 2" },
        { "PVREG 1\n[\\a]\n", "line 2" },
        { "PVREG 1\n[a]\n\"v\"=\"x\\q\"\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=\"x\\x0\"\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=\"\\x00\"\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=dword:123456789\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=dword:\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=hex:0,1\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=hex:00,\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=hex(zz):00\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=\"x\" trailing\n", "line 3" },
        { "PVREG 1\n[a]\n\"\"=\"x\"\n", "line 3" },
        { "PVREG 1\n[a]\nv=\"x\"\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"\"x\"\n", "line 3" },
        { "PVREG 1\n[a]\n\"v\"=number:1\n", "line 3" },
        { "PVREG 1\n[a\x01]\n", "line 2" },
    };
    for (const Case& c : cases) {
        pvreg::RegKey root;
        root.addSubkey("stale");
        std::string err;
        EXPECT_FALSE(pvreg::parseHive(c.text, root, &err)) << c.text;
        EXPECT_EQ(err.rfind(c.where, 0), 0u) << c.text << " -> " << err;
        EXPECT_TRUE(root.subkeys.empty());
    }
}

TEST(HiveParser, RoundTripsEveryForm)
{
    const char* text = "PVREG 1\n"
                       "\n[]\n@=\"root default\"\n"
                       "\n[Empty]\n"
                       "\n[Keys]\n\"s\"=\"a\\\\b\\\"c\\n\"\n@=dword:0000002a\n\"e\"=expand:\"%HOME%\"\n"
                       "\"b\"=hex:\n\"q\"=hex(b):01,02,03,04,05,06,07,08\n\"odd dword\"=hex(4):01,02\n"
                       "\n[Keys\\Sub]\n";
    pvreg::RegKey root;
    std::string err;
    ASSERT_TRUE(pvreg::parseHive(text, root, &err)) << err;
    EXPECT_EQ(pvreg::serializeHive(root), text);
}

} // namespace
