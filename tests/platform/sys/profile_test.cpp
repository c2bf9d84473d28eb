#include "platform/sys/profile.h"

#include "sys_test_util.h"

#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kFixture[] = "; settings written by hand\r\n"
                        "[Section1]\r\n"
                        "GridHint=0\r\n"
                        "  Spaced Key  =   padded value   \r\n"
                        "Quoted=\"  kept blanks  \"\r\n"
                        "Single='x'\r\n"
                        "Half=\"open\r\n"
                        "Empty=\r\n"
                        "NoEquals line\r\n"
                        "; comment = not a key\r\n"
                        "\r\n"
                        "[Numbers]\r\n"
                        "plain=42\r\n"
                        "neg=-7\r\n"
                        "lead=12abc\r\n"
                        "none=abc\r\n"
                        "big=4294967297\r\n"
                        "\r\n"
                        "[section1]\r\n"
                        "GridHint=shadowed by the first section\r\n"
                        "Later=from the second\r\n"
                        "[Odd]name]\r\n"
                        "Caf\xc3\xa9=\xc3\xa9t\xc3\xa9\r\n";

class ProfileTest : public ScratchDirTest {
protected:
    void SetUp() override
    {
        ScratchDirTest::SetUp();
        m_ini = m_dir + "/Settings.ini";
        writeFile(m_ini, kFixture);
    }
    std::string m_ini;
};

TEST_F(ProfileTest, ReadsValuesAndDefaults)
{
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        DWORD size;
        const char* expect;
        DWORD rc;
    };
    const Case cases[] = {
        { "Section1", "GridHint", "1", 2, "0", 1 },
        { "SECTION1", "gridhint", "1", 64, "0", 1 },
        { "Section1", "Spaced Key", "", 64, "padded value", 12 },
        { "Section1", "Quoted", "", 64, "  kept blanks  ", 15 },
        { "Section1", "Single", "", 64, "x", 1 },
        { "Section1", "Half", "", 64, "\"open", 5 },
        { "Section1", "Empty", "dflt", 64, "", 0 },
        { "Section1", "NoEquals line", "dflt", 64, "dflt", 4 },
        { "Section1", "; comment", "dflt", 64, "dflt", 4 },
        { "Section1", "Later", "", 64, "from the second", 15 },
        { "Section1", "Missing", "default  ", 64, "default", 7 },
        { "Section1", "Missing", nullptr, 64, "", 0 },
        { "Section1", "Spaced Key", "", 7, "padded", 6 },   // cut: size - 1 reported
        { "Section1", "Missing", "abcdef", 4, "abc", 3 },
        { "Odd]name", "Caf\xc3\xa9", "", 64, "\xc3\xa9t\xc3\xa9", 5 },
        { "Odd]name", "CAF\xc3\x89", "", 64, "\xc3\xa9t\xc3\xa9", 5 }, // case-blind beyond ASCII
        { "Odd]name", "Caf\xc3\xa9", "", 5, "\xc3\xa9t", 4 },        // never half a character
        { "Odd]name", "Caf\xc3\xa9", "", 2, "", 1 },
        { "Nope", "GridHint", "1", 2, "1", 1 },
    };
    for (const Case& c : cases) {
        char buf[80];
        std::memset(buf, 'Z', sizeof buf);
        DWORD rc = GetPrivateProfileString(c.section, c.key, c.def, buf, c.size, m_ini.c_str());
        EXPECT_EQ(rc, c.rc) << c.section << "/" << c.key;
        EXPECT_STREQ(buf, c.expect) << c.section << "/" << c.key;
        EXPECT_EQ(buf[c.size], 'Z') << "wrote past the buffer";
    }

    char buf[8] = "xx";
    EXPECT_EQ(GetPrivateProfileString("Section1", "GridHint", "1", buf, 2, (m_dir + "/absent.ini").c_str()), 1u);
    EXPECT_STREQ(buf, "1");
    std::string winPath = m_dir + "\\Settings.ini";
    EXPECT_EQ(GetPrivateProfileString("Numbers", "plain", "", buf, sizeof buf, winPath.c_str()), 2u);
    EXPECT_STREQ(buf, "42");
    EXPECT_EQ(GetPrivateProfileString("Numbers", "plain", "", buf, 0, m_ini.c_str()), 0u);
}

TEST_F(ProfileTest, ListsSectionsAndKeys)
{
    struct Case {
        const char* section;
        DWORD size;
        std::string expect; // including the zeros
        DWORD rc;
    };
    const Case cases[] = {
        { nullptr, 100, std::string("Section1\0Numbers\0Odd]name\0\0", 27), 26 },
        { "Numbers", 100, std::string("plain\0neg\0lead\0none\0big\0\0", 25), 24 },
        { "section1", 100,
            std::string("GridHint\0Spaced Key\0Quoted\0Single\0Half\0Empty\0Later\0\0", 52), 51 },
        { "Nope", 100, std::string("\0\0", 2), 0 },
        { "Numbers", 11, std::string("plain\0neg\0\0", 11), 9 },     // only the final zero after "neg"
        { "Numbers", 13, std::string("plain\0neg\0l\0\0", 13), 11 }, // cut inside "lead"
        { "Numbers", 9, std::string("plain\0n\0\0", 9), 7 },
        { "Numbers", 1, std::string("\0", 1), 0 },
    };
    for (const Case& c : cases) {
        char buf[128];
        std::memset(buf, 'Z', sizeof buf);
        DWORD rc = GetPrivateProfileString(c.section, nullptr, "ignored", buf, c.size, m_ini.c_str());
        EXPECT_EQ(rc, c.rc) << (c.section ? c.section : "(sections)") << " size " << c.size;
        EXPECT_EQ(std::string(buf, c.expect.size()), c.expect) << (c.section ? c.section : "(sections)") << " size " << c.size;
        EXPECT_EQ(buf[c.size], 'Z');
    }
}

TEST_F(ProfileTest, ReadsNumbers)
{
    struct Case {
        const char* key;
        INT def;
        UINT expect;
    };
    const Case cases[] = {
        { "plain", 5, 42 }, { "neg", 5, static_cast<UINT>(-7) }, { "lead", 5, 12 },
        { "none", 5, 0 }, { "big", 5, 1 }, { "missing", 5, 5 }, { "missing", -1, static_cast<UINT>(-1) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPrivateProfileInt("Numbers", c.key, c.def, m_ini.c_str()), c.expect) << c.key;
    EXPECT_EQ(GetPrivateProfileInt("Section1", "GridHint", 1, (m_dir + "/absent.ini").c_str()), 1u);
}

TEST_F(ProfileTest, WritesKeepEverythingElse)
{
    struct Step {
        const char* section;
        const char* key;
        const char* value;
        const char* before; // text that must be replaced...
        const char* after;  // ...by this, the rest of the file unchanged
    };
    const Step steps[] = {
        { "SECTION1", "gridhint", "1", "GridHint=0\r\n", "GridHint=1\r\n" },
        { "Section1", "New", "v", "Empty=\r\n", "Empty=\r\nNew=v\r\n" },
        { "Numbers", "neg", nullptr, "neg=-7\r\n", "" },
        { "Numbers", nullptr, nullptr, "[Numbers]\r\nplain=42\r\nlead=12abc\r\nnone=abc\r\nbig=4294967297\r\n\r\n", "" },
    };
    std::string expect = kFixture;
    for (const Step& s : steps) {
        ASSERT_TRUE(WritePrivateProfileString(s.section, s.key, s.value, m_ini.c_str())) << s.before;
        size_t at = expect.find(s.before);
        ASSERT_NE(at, std::string::npos) << s.before;
        expect.replace(at, std::strlen(s.before), s.after);
        EXPECT_EQ(readFile(m_ini), expect) << "after " << s.before;
    }
    // A new section goes to the end, in the file's own line endings.
    ASSERT_TRUE(WritePrivateProfileString("Fresh", "k", "v w", m_ini.c_str()));
    expect += "\r\n[Fresh]\r\nk=v w\r\n";
    EXPECT_EQ(readFile(m_ini), expect);

    // Deleting what is not there, and a flush, change nothing.
    EXPECT_TRUE(WritePrivateProfileString("Fresh", "absent", nullptr, m_ini.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("Absent", nullptr, nullptr, m_ini.c_str()));
    EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, m_ini.c_str()));
    EXPECT_EQ(readFile(m_ini), expect);

    // Text that would break the file's lines is refused and the file kept.
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileString("Fresh", "k", "1\r\n[Injected]", m_ini.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(WritePrivateProfileString("Fresh", "a=b", "1", m_ini.c_str()));
    EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "1", m_ini.c_str()));
    EXPECT_EQ(readFile(m_ini), expect);

    char buf[16];
    EXPECT_EQ(GetPrivateProfileString("fresh", "K", "", buf, sizeof buf, m_ini.c_str()), 3u);
    EXPECT_STREQ(buf, "v w");
}

TEST_F(ProfileTest, NewFilesAndFailures)
{
    std::string fresh = m_dir + "\\Discora.ini"; // a Windows-style name
    EXPECT_TRUE(WritePrivateProfileString("Application", "Start", nullptr, fresh.c_str()));
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/Discora.ini")) << "a deletion creates no file";
    ASSERT_TRUE(WritePrivateProfileString("Application", "Start", "1", fresh.c_str()));
    EXPECT_EQ(readFile(m_dir + "/Discora.ini"), "[Application]\nStart=1\n");
    EXPECT_EQ(GetPrivateProfileInt("Application", "Start", 0, fresh.c_str()), 1u);

    // A last line ended by a lone CR is ended properly before anything follows it.
    std::string cr = m_dir + "/cr.ini";
    writeFile(cr, "[a]\r");
    ASSERT_TRUE(WritePrivateProfileString("a", "k", "1", cr.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("b", "k", "2", cr.c_str()));
    EXPECT_EQ(readFile(cr), "[a]\r\nk=1\n\r\n[b]\r\nk=2\r\n"); // the first ending in the file sets the style
    EXPECT_EQ(GetPrivateProfileInt("a", "k", 0, cr.c_str()), 1u);

    // No folder: fails, says so, creates nothing.
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileString("a", "b", "c", (m_dir + "/no/such/dir/x.ini").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // A folder we may not write: the file is kept as it was.
    if (geteuid() != 0) {
        std::string ro = m_dir + "/ro";
        std::filesystem::create_directory(ro);
        writeFile(ro + "/s.ini", "[s]\nk=1\n");
        chmod(ro.c_str(), 0555);
        EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", (ro + "/s.ini").c_str()));
        EXPECT_EQ(readFile(ro + "/s.ini"), "[s]\nk=1\n");
        chmod(ro.c_str(), 0755);
    }

    // Writing through a link changes the file it points at and keeps the link.
    std::string target = m_dir + "/target.ini";
    writeFile(target, "[s]\nk=1\n");
    std::filesystem::create_symlink(target, m_dir + "/link.ini");
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", (m_dir + "/link.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir + "/link.ini"));
    EXPECT_EQ(readFile(target), "[s]\nk=2\n");
}

TEST_F(ProfileTest, RefusedWritesChangeNothing)
{
    struct Case {
        const char* name;
        const char* key;
        DWORD error;
    };
    const Case cases[] = {
        {"key opening a section", "[Fake", ERROR_INVALID_PARAMETER},
        {"key reading as a comment", ";note", ERROR_INVALID_PARAMETER},
        {"key with a leading blank", " key", ERROR_INVALID_PARAMETER},
        {"key with a leading tab", "\tkey", ERROR_INVALID_PARAMETER},
        {"key with '='", "a=b", ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileString("Section1", c.key, "v", m_ini.c_str()));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(readFile(m_ini), kFixture);
    }
    // Inner brackets, semicolons and blanks are fine.
    EXPECT_TRUE(WritePrivateProfileString("Section1", "a[1];b c", "v", m_ini.c_str()));
    char buf[8];
    EXPECT_EQ(GetPrivateProfileString("Section1", "a[1];b c", "", buf, sizeof buf, m_ini.c_str()), 1u);

    // A read-only file is refused, even for a user who could write it anyway.
    const std::string ro = m_dir + "/readonly.ini";
    writeFile(ro, "[s]\nk=1\n");
    chmod(ro.c_str(), 0444);
    for (const char* value : {"2", static_cast<const char*>(nullptr)}) {
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileString("s", "k", value, ro.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(readFile(ro), "[s]\nk=1\n");
    EXPECT_EQ(GetPrivateProfileInt("s", "k", 0, ro.c_str()), 1u) << "still readable";
}

TEST_F(ProfileTest, ReadingAMissingFileSaysSo)
{
    const std::string missing = m_dir + "/missing.ini";
    char buf[16];
    SetLastError(0);
    EXPECT_EQ(GetPrivateProfileString("a", "b", "dflt", buf, sizeof buf, missing.c_str()), 4u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(GetPrivateProfileInt("a", "b", 7, missing.c_str()), 7u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    GetPrivateProfileString("Section1", "GridHint", "", buf, sizeof buf, m_ini.c_str());
    EXPECT_EQ(GetLastError(), 0u) << "an existing file sets no error";
}

TEST_F(ProfileTest, TemporaryFilesOfAKilledWriterAreCleanedOnTheNextWrite)
{
    // A pid that surely has no process: a child that has been reaped.
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = m_ini + ".tmp" + std::to_string(child) + "Ab12Cd";
    const std::string live = m_ini + ".tmp" + std::to_string(getpid()) + "Ef34Gh";
    const std::string other = m_dir + "/Other.ini.tmp" + std::to_string(child) + "Ij56Kl";
    for (const std::string& f : {dead, live, other})
        writeFile(f, "half written");
    ASSERT_TRUE(WritePrivateProfileString("Section1", "GridHint", "1", m_ini.c_str()));
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(live)) << "a live writer's file stays";
    EXPECT_TRUE(std::filesystem::exists(other)) << "another file's temporaries are not ours";
}

} // namespace
