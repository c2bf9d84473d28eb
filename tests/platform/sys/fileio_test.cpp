// Paths found as on a CD: a name with no exact match is matched without regard to case.

#include "platform/sys/fileio.h"

#include "sys_test_util.h"

TEST(FindPathNoCase, MatchesEachNameCaseBlind)
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvcd-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const std::string cd = tmpl;
    std::filesystem::create_directories(cd + "/SETUP");
    std::ofstream(cd + "/SETUP/Setup.EXE") << "x";
    std::ofstream(cd + "/DISCORA.INI") << "x";
    std::ofstream(cd + "/discora.ini.bak") << "x";
    struct Case {
        const char* name;
        std::string asked, found;
    };
    const Case cases[] = {
        {"exact", cd + "/DISCORA.INI", cd + "/DISCORA.INI"},
        {"file case-blind", cd + "/Discora.ini", cd + "/DISCORA.INI"},
        {"folder and file", cd + "/setup/setup.exe", cd + "/SETUP/Setup.EXE"},
        {"missing file kept", cd + "/setup/install.exe", cd + "/SETUP/install.exe"},
        {"missing folder kept", cd + "/none/setup.exe", cd + "/none/setup.exe"},
        {"trailing slash", cd + "/setup/", cd + "/SETUP/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(pvsys::findPathNoCase(c.asked), c.found);
    }
    std::filesystem::remove_all(cd);
}
